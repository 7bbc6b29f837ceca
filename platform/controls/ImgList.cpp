#include "platform/controls/ImgList.h"

#include <algorithm>
#include <memory>

#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/windowing/User.h"

namespace {

using TBitmapPtr = std::unique_ptr<TBitmap, orv::FreeDeleter>;

COLORREF GetRGBColor(TColor value) {
  if (value == clNone) return CLR_NONE;
  if (value == clDefault) return CLR_DEFAULT;
  return ColorToRGB(value);
}

constexpr UINT kDrawingStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
constexpr UINT kImageTypes[] = {0, ILD_MASK};

// Copies image `index` of a platform list into a 32-bit image and a 1-bit mask (nullptr: none).
void ExtractImage(HIMAGELIST list, int index, TBitmap* image, TBitmap* mask) {
  IMAGEINFO info;
  if (!ImageList_GetImageInfo(list, index, &info)) return;
  const TRect r = info.rcImage;
  auto copy = [&](HBITMAP strip, TBitmap* to, TPixelFormat format) {
    to->SetPixelFormat(format);
    to->SetSize(r.Width(), r.Height());
    const orv::TSurface* from = orv::GetBitmapSurface(strip);
    orv::TSurface* dst = orv::GetBitmapSurface(to->GetHandle());
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x) dst->SetPixel(x, y, from->Pixel(r.Left + x, r.Top + y));
  };
  copy(info.hbmImage, image, pf32bit);
  if (mask && info.hbmMask) copy(info.hbmMask, mask, pf1bit);
}

}  // namespace

// ---- TChangeLink ------------------------------------------------------------------------------

void TChangeLink::Change() {
  if (FOnChange) FOnChange(FSender);
}

void TChangeLink::BeforeDestruction() {
  if (FSender) FSender->UnRegisterChanges(this);
  inherited::BeforeDestruction();
}

// ---- TCustomImageList -------------------------------------------------------------------------

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner), FClients(new TList) {
  Initialize();
}

TCustomImageList::TCustomImageList(TComponent* owner, Integer width, Integer height)
    : TComponent(owner), FWidth(width), FHeight(height), FClients(new TList) {
  Initialize();
}

TCustomImageList::~TCustomImageList() {
  orv::Free(FMonoBitmap);
  FreeHandle();
  FClients->Free();
}

void TCustomImageList::BeforeDestruction() {
  Destroying();
  while (FClients->GetCount() > 0)
    UnRegisterChanges(static_cast<TChangeLink*>(FClients->Last()));
  inherited::BeforeDestruction();
}

UINT TCustomImageList::GetCreationFlags() const {
  static constexpr UINT kDepths[] = {ILC_COLORDDB, ILC_COLOR4, ILC_COLOR8,
                                     ILC_COLOR16,  ILC_COLOR24, ILC_COLOR32};
  return kDepths[FColorDepth] | (FMasked ? ILC_MASK : 0);
}

void TCustomImageList::HandleNeeded() {
  if (FHandle) return;
  FHandle = ImageList_Create(FWidth, FHeight, GetCreationFlags(), FAllocBy, FAllocBy);
  if (!FHandle) throw EInvalidOperation("Error creating window image list");
  ImageList_SetBkColor(FHandle, GetRGBColor(FBkColor));
}

HIMAGELIST TCustomImageList::GetHandle() {
  HandleNeeded();
  return FHandle;
}

void TCustomImageList::FreeHandle() {
  if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

void TCustomImageList::SetHandle(HIMAGELIST value) {
  if (value == FHandle) return;
  FreeHandle();
  FHandle = value;
  if (FHandle) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(FHandle, &cx, &cy);
    FWidth = cx;
    FHeight = cy;
    const COLORREF bk = ImageList_GetBkColor(FHandle);
    FBkColor = bk == CLR_NONE ? clNone : TColor(bk);
  }
  Change();
}

// Rebuilds the platform list with the current flags, keeping the images.
void TCustomImageList::RecreateHandle() {
  if (!FHandle) return;
  HIMAGELIST old = FHandle;
  const bool share = FShareImages;
  FHandle = nullptr;
  HandleNeeded();
  const int count = ImageList_GetImageCount(old);
  for (int i = 0; i < count; ++i) {
    TBitmapPtr image(new TBitmap), mask(new TBitmap);
    ExtractImage(old, i, image.get(), mask.get());
    ImageList_Add(FHandle, image->GetHandle(), mask->GetEmpty() ? nullptr : mask->GetHandle());
  }
  if (!share) ImageList_Destroy(old);
}

Integer TCustomImageList::GetCount() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

bool TCustomImageList::ValidIndex(Integer index) { return index >= 0 && index < GetCount(); }

void TCustomImageList::CheckImage(TGraphic* image) {
  if (image && (image->GetHeight() < FHeight || image->GetWidth() < FWidth))
    throw EInvalidOperation("Invalid image size");
}

Integer TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  HandleNeeded();
  if (!image) return -1;
  CheckImage(image);
  const Integer result = ImageList_Add(FHandle, image->GetHandle(), mask ? mask->GetHandle() : nullptr);
  Change();
  return result;
}

Integer TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  HandleNeeded();
  if (!image) return -1;
  CheckImage(image);
  Integer result;
  if (FMasked && maskColor != clNone)
    result = ImageList_AddMasked(FHandle, image->GetHandle(), GetRGBColor(maskColor));
  else
    result = ImageList_Add(FHandle, image->GetHandle(), nullptr);
  Change();
  return result;
}

Integer TCustomImageList::AddIcon(TIcon* image) {
  HandleNeeded();
  if (!image || image->GetEmpty()) return -1;
  CheckImage(image);
  // The icon's transparent pixels become the mask.
  TBitmap* pixels = image->GetImage();
  TBitmapPtr mask(new TBitmap);
  mask->SetPixelFormat(pf1bit);
  mask->SetSize(pixels->GetWidth(), pixels->GetHeight());
  orv::TSurface* m = orv::GetBitmapSurface(mask->GetHandle());
  const orv::TSurface* p = orv::GetBitmapSurface(pixels->GetHandle());
  for (int y = 0; y < p->Height(); ++y)
    for (int x = 0; x < p->Width(); ++x)
      m->SetPixel(x, y, orv::PixelAlpha(p->Pixel(x, y)) == 0 ? 0x00FFFFFF : 0);
  const Integer result = ImageList_Add(FHandle, pixels->GetHandle(), mask->GetHandle());
  Change();
  return result;
}

void TCustomImageList::AddImages(TCustomImageList* value) {
  if (!value || !value->FHandle) return;
  HandleNeeded();
  const int count = value->GetCount();
  for (int i = 0; i < count; ++i) {
    TBitmapPtr image(new TBitmap), mask(new TBitmap);
    ExtractImage(value->FHandle, i, image.get(), mask.get());
    ImageList_Add(FHandle, image->GetHandle(), mask->GetEmpty() ? nullptr : mask->GetHandle());
  }
  Change();
}

void TCustomImageList::Clear() { Delete(-1); }

void TCustomImageList::Delete(Integer index) {
  if (index != -1 && !ValidIndex(index)) throw EInvalidOperation("Invalid image list index");
  if (FHandle) ImageList_Remove(FHandle, index);
  Change();
}

void TCustomImageList::Insert(Integer index, TBitmap* image, TBitmap* mask) {
  if (index < 0 || index > GetCount()) throw EInvalidOperation("Unable to insert an image");
  BeginUpdate();
  try {
    const Integer before = GetCount();
    Add(image, mask);
    const Integer added = GetCount() - before;
    for (Integer i = 0; i < added; ++i) Move(before + i, index + i);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomImageList::InsertIcon(Integer index, TIcon* image) {
  if (index < 0 || index > GetCount()) throw EInvalidOperation("Unable to insert an image");
  BeginUpdate();
  const Integer before = GetCount();
  AddIcon(image);
  if (GetCount() > before) Move(before, index);
  EndUpdate();
}

void TCustomImageList::InsertMasked(Integer index, TBitmap* image, TColor maskColor) {
  if (index < 0 || index > GetCount()) throw EInvalidOperation("Unable to insert an image");
  BeginUpdate();
  const Integer before = GetCount();
  AddMasked(image, maskColor);
  const Integer added = GetCount() - before;
  for (Integer i = 0; i < added; ++i) Move(before + i, index + i);
  EndUpdate();
}

void TCustomImageList::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  if (!ValidIndex(curIndex) || !ValidIndex(newIndex))
    throw EInvalidOperation("Invalid image list index");
  // One neighbour at a time, so the images between keep their order.
  const Integer step = curIndex < newIndex ? 1 : -1;
  for (Integer i = curIndex; i != newIndex; i += step) ImageList_Copy(FHandle, i + step, FHandle, i, ILCF_SWAP);
  Change();
}

void TCustomImageList::Replace(Integer index, TBitmap* image, TBitmap* mask) {
  if (!ValidIndex(index)) throw EInvalidOperation("Failed to replace image");
  CheckImage(image);
  if (!image || !ImageList_Replace(FHandle, index, image->GetHandle(), mask ? mask->GetHandle() : nullptr))
    throw EInvalidOperation("Failed to replace image");
  Change();
}

void TCustomImageList::ReplaceMasked(Integer index, TBitmap* newImage, TColor maskColor) {
  if (!ValidIndex(index) || !newImage) throw EInvalidOperation("Failed to replace image");
  CheckImage(newImage);
  // Build the mask the way AddMasked does, in a scratch list of one image.
  HIMAGELIST scratch = ImageList_Create(FWidth, FHeight, GetCreationFlags(), 1, 1);
  if (FMasked && maskColor != clNone)
    ImageList_AddMasked(scratch, newImage->GetHandle(), GetRGBColor(maskColor));
  else
    ImageList_Add(scratch, newImage->GetHandle(), nullptr);
  TBitmapPtr image(new TBitmap), mask(new TBitmap);
  ExtractImage(scratch, 0, image.get(), mask.get());
  ImageList_Destroy(scratch);
  ImageList_Replace(FHandle, index, image->GetHandle(), mask->GetEmpty() ? nullptr : mask->GetHandle());
  Change();
}

bool TCustomImageList::GetBitmap(Integer index, TBitmap* image) {
  if (!image || !FHandle || !ValidIndex(index)) return false;
  image->SetHeight(FHeight);
  image->SetWidth(FWidth);
  Draw(image->GetCanvas(), 0, 0, index);
  return true;
}

HBITMAP TCustomImageList::GetImageBitmap() {
  IMAGEINFO info;
  return FHandle && ImageList_GetImageInfo(FHandle, 0, &info) ? info.hbmImage : nullptr;
}

HBITMAP TCustomImageList::GetMaskBitmap() {
  IMAGEINFO info;
  return FHandle && ImageList_GetImageInfo(FHandle, 0, &info) ? info.hbmMask : nullptr;
}

void TCustomImageList::Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled) {
  Draw(canvas, x, y, index, FDrawingStyle, FImageType, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, Integer x, Integer y, Integer index,
                            TDrawingStyle drawingStyle, TImageType imageType, bool enabled) {
  if (FHandle) DoDraw(index, canvas, x, y, kDrawingStyles[drawingStyle] | kImageTypes[imageType], enabled);
}

void TCustomImageList::DoDraw(Integer index, TCanvas* canvas, Integer x, Integer y, UINT style,
                              bool enabled) {
  if (!FHandle) return;
  if (enabled) {
    ImageList_DrawEx(FHandle, index, canvas->GetHandle(), x, y, 0, 0, GetRGBColor(FBkColor),
                     GetRGBColor(FBlendColor), style);
    return;
  }
  // Disabled: the silhouette of every pixel that is not white and not transparent, in
  // clBtnHighlight one pixel down and right, then in clBtnShadow in place.
  constexpr DWORD ROP_DSPDxax = 0x00E20746;
  if (!FMonoBitmap) {
    FMonoBitmap = new TBitmap;
    FMonoBitmap->SetMonochrome(true);
  }
  FMonoBitmap->SetSize(FWidth, FHeight);
  {
    TBitmapPtr white(new TBitmap);
    white->SetPixelFormat(pf32bit);
    white->SetSize(FWidth, FHeight);
    ImageList_DrawEx(FHandle, index, white->GetCanvas()->GetHandle(), 0, 0, 0, 0, CLR_NONE, 0, ILD_NORMAL);
    FMonoBitmap->GetCanvas()->Draw(0, 0, white.get());
  }
  HDC src = FMonoBitmap->GetCanvas()->GetHandle();
  auto emboss = [&](TColor color, Integer dx) {
    canvas->GetBrush()->SetColor(color);
    HDC dest = canvas->GetHandle();
    const COLORREF text = ::SetTextColor(dest, 0xFFFFFF), back = ::SetBkColor(dest, 0);
    BitBlt(dest, x + dx, y + dx, FWidth, FHeight, src, 0, 0, ROP_DSPDxax);
    ::SetTextColor(dest, text);
    ::SetBkColor(dest, back);
  };
  emboss(clBtnHighlight, 1);
  emboss(clBtnShadow, 0);
}

void TCustomImageList::RegisterChanges(TChangeLink* value) {
  if (!value || FClients->IndexOf(value) >= 0) return;
  value->SetSender(this);
  FClients->Add(value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* value) {
  if (!value) return;
  if (FClients->Remove(value) >= 0) value->SetSender(nullptr);
}

void TCustomImageList::BeginUpdate() { ++FUpdateCount; }

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0 && FChanged) {
    FChanged = false;
    Change();
  }
}

void TCustomImageList::Change() {
  FChanged = true;
  if (FUpdateCount > 0) return;
  FChanged = false;
  for (Integer i = 0; i < FClients->GetCount(); ++i) static_cast<TChangeLink*>(FClients->Get(i))->Change();
  if (FOnChange) FOnChange(this);
}

void TCustomImageList::SetBkColor(TColor value) {
  if (value == FBkColor) return;
  FBkColor = value;
  if (FHandle) ImageList_SetBkColor(FHandle, GetRGBColor(value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor value) {
  if (value == FBlendColor) return;
  FBlendColor = value;
  Change();
}

void TCustomImageList::SetColorDepth(TColorDepth value) {
  if (value == FColorDepth) return;
  FColorDepth = value;
  RecreateHandle();
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle value) {
  if (value == FDrawingStyle) return;
  FDrawingStyle = value;
  Change();
}

void TCustomImageList::SetImageType(TImageType value) {
  if (value == FImageType) return;
  FImageType = value;
  Change();
}

void TCustomImageList::SetMasked(bool value) {
  if (value == FMasked) return;
  FMasked = value;
  RecreateHandle();
  Change();
}

void TCustomImageList::SetSize(Integer width, Integer height) {
  if (width == FWidth && height == FHeight) return;
  if (width <= 0 || height <= 0) throw EInvalidOperation("Invalid image size");
  FWidth = width;
  FHeight = height;
  if (FHandle) ImageList_SetIconSize(FHandle, width, height);
  Change();
}

void TCustomImageList::Assign(TPersistent* source) {
  if (!source) {
    Clear();
    return;
  }
  if (auto* list = dynamic_cast<TCustomImageList*>(source)) {
    if (list == this) return;
    BeginUpdate();
    FMasked = list->FMasked;
    FColorDepth = list->FColorDepth;
    FImageType = list->FImageType;
    FDrawingStyle = list->FDrawingStyle;
    FShareImages = list->FShareImages;
    FAllocBy = list->FAllocBy;
    FreeHandle();
    FWidth = list->FWidth;
    FHeight = list->FHeight;
    FBkColor = list->FBkColor;
    FBlendColor = list->FBlendColor;
    HandleNeeded();
    AddImages(list);
    Change();
    EndUpdate();
    return;
  }
  inherited::Assign(source);
}

void TCustomImageList::ReadData(TStream* stream) {
  HIMAGELIST list = ImageList_Read(stream);
  if (!list) throw EReadError("Failed to read ImageList data from stream");
  const bool share = FShareImages;
  FShareImages = false;
  SetHandle(list);
  FShareImages = share;
  FMasked = (ImageList_GetFlags(list) & ILC_MASK) != 0;
}

void TCustomImageList::WriteData(TStream* stream) {
  HandleNeeded();
  if (!ImageList_Write(FHandle, stream)) throw EWriteError("Failed to write ImageList data to stream");
}

void TCustomImageList::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineBinaryProperty("Bitmap", TStreamProc(this, &TCustomImageList::ReadData),
                              TStreamProc(this, &TCustomImageList::WriteData), GetCount() > 0);
}

bool TCustomImageList::Equal(TCustomImageList* other) {
  if (!other) return false;
  if (GetCount() != other->GetCount()) return false;
  if (GetCount() == 0) return true;
  TMemoryStream a, b;
  WriteData(&a);
  other->WriteData(&b);
  return a.GetSize() == b.GetSize() &&
         std::equal(static_cast<const Byte*>(a.GetMemory()),
                    static_cast<const Byte*>(a.GetMemory()) + a.GetSize(),
                    static_cast<const Byte*>(b.GetMemory()));
}

// ---- TDragImageList ---------------------------------------------------------------------------

bool TDragImageList::SetDragImage(Integer index, Integer hotSpotX, Integer hotSpotY) {
  if (index < 0 || index >= GetCount()) return false;
  FDragIndex = index;
  FHotSpot = {hotSpotX, hotSpotY};
  return true;
}

namespace {

constexpr const char* kDragImageClass = "TDragImageWindow";
constexpr const char* kDragImageProp = "TDragImageList";

LRESULT DragImageWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (auto* list = static_cast<TDragImageList*>(GetProp(window, kDragImageProp))) {
        TCanvas canvas;
        canvas.SetHandle(dc);
        list->Draw(&canvas, 0, 0, list->GetDragIndex(), dsNormal, itImage);
        canvas.SetHandle(nullptr);
      }
      EndPaint(window, &ps);
      return 0;
    }
    default: return DefWindowProc(window, msg, wParam, lParam);
  }
}

// The image's opaque pixels as a region (nullptr: the list has no mask, the whole image shows):
// the masked parts of a drag image let the screen under it show through.
HRGN ImageRegion(HIMAGELIST list, int index) {
  IMAGEINFO info;
  if (!list || !ImageList_GetImageInfo(list, index, &info) || !info.hbmMask) return nullptr;
  const orv::TSurface* mask = orv::GetBitmapSurface(info.hbmMask);
  if (!mask) return nullptr;
  const TRect cell = info.rcImage;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  for (int y = 0; y < cell.Height(); ++y) {
    int x = 0;
    while (x < cell.Width()) {
      while (x < cell.Width() && (mask->Pixel(cell.Left + x, cell.Top + y) & 0xFFFFFF) != 0) ++x;
      const int start = x;
      while (x < cell.Width() && (mask->Pixel(cell.Left + x, cell.Top + y) & 0xFFFFFF) == 0) ++x;
      if (x > start) {
        HRGN run = CreateRectRgn(start, y, x, y + 1);
        CombineRgn(region, region, run, RGN_OR);
        DeleteObject(run);
      }
    }
  }
  return region;
}

void RegisterDragImageClass() {
  WNDCLASS wc{};
  if (GetClassInfo(nullptr, kDragImageClass, &wc)) return;
  wc.lpfnWndProc = DragImageWndProc;
  wc.lpszClassName = kDragImageClass;
  RegisterClass(&wc);
}

}  // namespace

void TDragImageList::BeforeDestruction() {
  EndDrag();
  inherited::BeforeDestruction();
}

bool TDragImageList::BeginDrag(HWND window, Integer x, Integer y) {
  if (!HandleAllocated()) return false;
  if (FDragging) EndDrag();
  FDragWindow = window == GetDesktopWindow() ? nullptr : window;
  FDragging = true;
  FShown = true;
  FDragPos = {x, y};
  RegisterDragImageClass();
  FImageWindow = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT,
                                kDragImageClass, "", WS_POPUP, 0, 0, GetWidth(), GetHeight(), nullptr, nullptr,
                                nullptr, nullptr);
  if (FImageWindow) {
    SetProp(FImageWindow, kDragImageProp, this);
    if (HRGN region = ImageRegion(GetHandle(), FDragIndex)) SetWindowRgn(FImageWindow, region, FALSE);
  }
  UpdateImageWindow();
  return true;
}

bool TDragImageList::DragMove(Integer x, Integer y) {
  if (!FDragging) return false;
  FDragPos = {x, y};
  UpdateImageWindow();
  return true;
}

bool TDragImageList::EndDrag() {
  const bool was = FDragging;
  FDragging = false;
  FShown = false;
  FDragWindow = nullptr;
  if (FImageWindow) {
    HWND w = FImageWindow;
    FImageWindow = nullptr;
    if (IsWindow(w)) DestroyWindow(w);
  }
  return was;
}

void TDragImageList::HideDragImage() {
  FShown = false;
  UpdateImageWindow();
}

void TDragImageList::ShowDragImage() {
  FShown = FDragging;
  UpdateImageWindow();
}

void TDragImageList::UpdateImageWindow() {
  if (!FImageWindow || !IsWindow(FImageWindow)) return;
  POINT p{FDragPos.X, FDragPos.Y};
  if (FDragWindow && IsWindow(FDragWindow)) ClientToScreen(FDragWindow, &p);
  SetWindowPos(FImageWindow, HWND_TOPMOST, p.X - FHotSpot.X, p.Y - FHotSpot.Y, GetWidth(), GetHeight(),
               SWP_NOACTIVATE | (FShown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

// ---- Form descriptions ------------------------------------------------------------------------

namespace {

const orv::EnumNames<TDrawingStyle> kDrawingStyleNames("TDrawingStyle",
                                                       {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"});
const orv::EnumNames<TImageType> kImageTypeNames("TImageType", {"itImage", "itMask"});
const orv::EnumNames<TColorDepth> kColorDepthNames(
    "TColorDepth", {"cdDeviceDependent", "cd4Bit", "cd8Bit", "cd16Bit", "cd24Bit", "cd32Bit"});

}  // namespace

// The images themselves travel in the list's own "Bitmap" value (DefineProperties).
ORV_PUBLISH(TCustomImageList) {
  using T = TCustomImageList;
  p.Property("AllocBy", &T::GetAllocBy, &T::SetAllocBy).Default(4);
  p.Property("BlendColor", &T::GetBlendColor, &T::SetBlendColor).Kind("TColor").Default(clNone);
  p.Property("BkColor", &T::GetBkColor, &T::SetBkColor).Kind("TColor").Default(clNone);
  p.Property("ColorDepth", &T::GetColorDepth, &T::SetColorDepth).Default(cdDeviceDependent);
  p.Property("DrawingStyle", &T::GetDrawingStyle, &T::SetDrawingStyle).Default(dsNormal);
  p.Property("Height", &T::GetHeight, &T::SetHeight).Default(16);
  p.Property("ImageType", &T::GetImageType, &T::SetImageType).Default(itImage);
  p.Property("Masked", &T::GetMasked, &T::SetMasked).Default(true);
  p.Property("ShareImages", &T::GetShareImages, &T::SetShareImages).Default(false);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Default(16);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
}

ORV_PUBLISH(TDragImageList) {}
ORV_PUBLISH(TImageList) {}
