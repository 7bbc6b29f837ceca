#include "components/foundation/cxImageList.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Streams.h"

namespace {

using BitmapPtr = std::unique_ptr<TcxBitmap, orv::FreeDeleter>;
using CanvasPtr = std::unique_ptr<TcxCanvas, orv::FreeDeleter>;

// The platform list of a TcxImageList: 32-bit colour with masks.
constexpr UINT kListFlags = ILC_COLOR32 | ILC_MASK;

// Copies the pixels of `area` of one surface to the top-left corner of another (both as large
// as needed; the platform keeps every pixel format as 32-bit pixels).
void CopyPixels(const orv::TSurface& from, const TRect& area, orv::TSurface& to) {
  for (Integer y = 0; y < area.Height(); ++y)
    std::copy_n(from.Row(area.Top + y) + area.Left, area.Width(), to.Row(y));
}

// A copy of `area` of a bitmap (which lies inside it) in the bitmap's pixel format.
BitmapPtr CopyCell(TBitmap* source, const TRect& area) {
  BitmapPtr result(new TcxBitmap(area.Width(), area.Height(), source->GetPixelFormat()));
  const orv::TSurface* from = orv::GetBitmapSurface(source->GetHandle());
  orv::TSurface* to = orv::GetBitmapSurface(result->GetHandle());
  if (from && to) CopyPixels(*from, area, *to);
  return result;
}

// `area` of a platform strip into `dest`, in `pixelFormat`.
void CopyStripArea(HBITMAP strip, const TRect& area, TBitmap* dest, TPixelFormat pixelFormat) {
  dest->SetPixelFormat(pixelFormat);
  dest->SetSize(area.Width(), area.Height());
  const orv::TSurface* from = orv::GetBitmapSurface(strip);
  orv::TSurface* to = orv::GetBitmapSurface(dest->GetHandle());
  if (from && to) CopyPixels(*from, area, *to);
  dest->Changed(dest);
}

// The colour a masked add makes transparent: clDefault is the image's top-left pixel, as the
// platform takes it.
COLORREF ResolveMaskColor(TBitmap* image, TColor maskColor) {
  if (maskColor != clDefault) return ColorToRGB(maskColor);
  const orv::TSurface* s = orv::GetBitmapSurface(image->GetHandle());
  return s && !s->IsEmpty() ? orv::PixelToColor(s->Pixel(0, 0)) & 0xFFFFFF : 0;
}

Boolean SameSize(TBitmap* a, TBitmap* b) {
  return a->GetWidth() == b->GetWidth() && a->GetHeight() == b->GetHeight();
}

}  // namespace

ORV_PUBLISH(TcxImageInfoItem) {
  using T = TcxImageInfoItem;
  p.Property("Image", &T::GetImage, &T::SetImage);
  p.Property("Mask", &T::GetMask, &T::SetMask);
  p.Property("MaskColor", &T::GetMaskColor, &T::SetMaskColor).Kind("TColor").Default(clNone);
}

ORV_PUBLISH(TcxImageList) {
  using T = TcxImageList;
  p.Property("BlendColor", &T::GetBlendColor, &T::SetBlendColor).Kind("TColor").Default(clNone);
  p.Property("BkColor", &T::GetBkColor, &T::SetBkColor).Kind("TColor").Default(clNone);
  p.Property("CompressData", &T::GetCompressData, &T::SetCompressData).Default(false);
  p.Property("DrawingStyle", &T::GetDrawingStyle, &T::SetDrawingStyle).Default(dsNormal);
  p.Property("Height", &T::GetHeight, &T::SetHeight).Default(16);
  p.Property("ImageType", &T::GetImageType, &T::SetImageType).Default(itImage);
  p.Property("ShareImages", &T::GetShareImages, &T::SetShareImages).Default(false);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Default(16);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
}

// ---- TcxImageInfo ----

TcxImageInfo::TcxImageInfo() : FImage(new TcxBitmap), FMask(new TcxBitmap(0, 0, pf1bit)) {}

TcxImageInfo::~TcxImageInfo() {
  orv::Free(FImage);
  orv::Free(FMask);
}

void TcxImageInfo::Assign(TPersistent* source) {
  if (auto* info = dynamic_cast<TcxImageInfo*>(source)) {
    SetImage(info->FImage);
    SetMask(info->FMask);
    FMaskColor = info->FMaskColor;
    return;
  }
  inherited::Assign(source);
}

void TcxImageInfo::SetImage(TcxBitmap* value) { FImage->Assign(value); }
void TcxImageInfo::SetMask(TcxBitmap* value) { FMask->Assign(value); }

// ---- Items and the collection ----

TcxImageInfoItem::TcxImageInfoItem(TCollection* collection)
    : TCollectionItem(collection), FImageInfo(new TcxImageInfo) {
  if (auto* owner = dynamic_cast<TcxImageInfoCollection*>(collection))
    SetCompressData(owner->GetCompressData());
}

TcxImageInfoItem::~TcxImageInfoItem() { orv::Free(FImageInfo); }

void TcxImageInfoItem::Assign(TPersistent* source) {
  if (auto* item = dynamic_cast<TcxImageInfoItem*>(source)) {
    FImageInfo->Assign(item->FImageInfo);
    return;
  }
  inherited::Assign(source);
}

Boolean TcxImageInfoItem::GetCompressData() const {
  return GetImage()->GetCompressData() && GetMask()->GetCompressData();
}

void TcxImageInfoItem::SetCompressData(Boolean value) {
  GetImage()->SetCompressData(value);
  GetMask()->SetCompressData(value);
}

TcxImageInfoCollection::TcxImageInfoCollection(TcxImageList* owner)
    : TOwnedCollection(owner, TcxImageInfoItem::StaticClass()) {}

void TcxImageInfoCollection::SetCompressData(Boolean value) {
  if (value == FCompressData) return;
  FCompressData = value;
  for (Integer i = 0; i < GetCount(); ++i) GetItem(i)->SetCompressData(value);
}

// ---- TcxImageList: creation ----

TcxImageList::TcxImageList(TComponent* owner) : TDragImageList(owner) { Initialize(); }

TcxImageList::TcxImageList(TComponent* owner, Integer width, Integer height)
    : TDragImageList(owner, std::max(width, 1), std::max(height, 1)) {
  Initialize();
}

void TcxImageList::Initialize() {
  if (FImages) return;
  inherited::Initialize();
  FImages = new TcxImageInfoCollection(this);
  SetColorDepth(cd32Bit);
  SetMasked(true);
  GetHandle();
}

TcxImageList::~TcxImageList() { orv::Free(FImages); }

void TcxImageList::SetSize(Integer width, Integer height) {
  if (width == GetWidth() && height == GetHeight()) return;
  BeginUpdate();
  try {
    inherited::SetSize(width, height);
    FImages->Clear();
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate();
}

// ---- Adding ----

Integer TcxImageList::AddToPlatform(TcxBitmap* image, TcxBitmap* mask, Boolean masked,
                                    COLORREF maskColor, Boolean single) {
  HIMAGELIST handle = GetHandle();
  auto add = [&](TBitmap* part, TBitmap* partMask) {
    return masked ? ImageList_AddMasked(handle, part->GetHandle(), maskColor)
                  : ImageList_Add(handle, part->GetHandle(), partMask ? partMask->GetHandle() : nullptr);
  };
  const Integer cx = GetWidth(), cy = GetHeight();
  const Integer w = image->GetWidth(), h = image->GetHeight();
  const Boolean cells = w % cx == 0 && h % cy == 0;
  // The platform takes every image across the bitmap's top row of cells; the entries count the
  // cells of every row, or one image when the size is no multiple of the image size.
  if (w < 2 * cx || (cells && h == cy && !single)) return add(image, mask);
  std::vector<TRect> parts;
  if (single || !cells) {
    parts.push_back({0, 0, std::min(cx, w), std::min(cy, h)});
  } else {
    for (Integer top = 0; top < h; top += cy) parts.push_back(MakeRectBounds(0, top, w, cy));
  }
  Integer first = -1;
  for (const TRect& part : parts) {
    BitmapPtr partImage = CopyCell(image, part);
    BitmapPtr partMask = mask ? CopyCell(mask, part) : nullptr;
    const Integer index = add(partImage.get(), partMask.get());
    if (index < 0) break;
    if (first < 0) first = index;
  }
  return first;
}

void TcxImageList::AddToImageInfo(TcxBitmap* image, TcxBitmap* mask, TColor maskColor) {
  const Integer cx = GetWidth(), cy = GetHeight();
  const Integer w = image->GetWidth(), h = image->GetHeight();
  auto add = [&](TcxBitmap* cellImage, TcxBitmap* cellMask) {
    auto* item = static_cast<TcxImageInfoItem*>(FImages->Add());
    item->SetImage(cellImage);
    if (cellMask) item->SetMask(cellMask);
    item->SetMaskColor(maskColor);
    item->GetImage()->Dormant();
  };
  if (w % cx == 0 && h % cy == 0 && (w != cx || h != cy)) {
    for (Integer top = 0; top < h; top += cy)
      for (Integer left = 0; left < w; left += cx) {
        const TRect cell = MakeRectBounds(left, top, cx, cy);
        BitmapPtr cellImage = CopyCell(image, cell);
        BitmapPtr cellMask = mask ? CopyCell(mask, cell) : nullptr;
        add(cellImage.get(), cellMask.get());
      }
  } else {
    add(image, mask);
  }
}

Integer TcxImageList::AddImage(TcxBitmap* image, TcxBitmap* mask) {
  if (!HasGlyph(image)) return -1;
  if (!HasGlyph(mask)) mask = nullptr;
  // Mixing an image with a mask of another size would read one of them out of bounds.
  else if (!SameSize(image, mask)) return -1;
  const Integer index = AddToPlatform(image, mask, false, 0, false);
  if (index >= 0 && !FSynchronizing) AddToImageInfo(image, mask, clNone);
  Change();
  return index;
}

Integer TcxImageList::AddMaskedImage(TcxBitmap* image, TColor maskColor) {
  if (maskColor == clNone) return AddImage(image, nullptr);
  if (!HasGlyph(image)) return -1;
  Integer index = -1;
  BeginUpdate();
  try {
    const COLORREF color = ResolveMaskColor(image, maskColor);
    index = AddToPlatform(image, nullptr, true, color, false);
    if (index >= 0 && !FSynchronizing) AddToImageInfo(image, nullptr, TColor(color));
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate();
  return index;
}

Integer TcxImageList::AddImageInfo(TcxImageInfo* imageInfo) {
  if (HasGlyph(imageInfo->GetMask())) return AddImage(imageInfo->GetImage(), imageInfo->GetMask());
  return AddMaskedImage(imageInfo->GetImage(), imageInfo->GetMaskColor());
}

// ---- Moving, deleting, inserting ----

void TcxImageList::MoveImage(Integer fromIndex, Integer toIndex) {
  const Integer count = GetCount();
  if (fromIndex == toIndex || fromIndex < 0 || toIndex < 0 || fromIndex >= count || toIndex >= count)
    return;
  BeginUpdate();
  try {
    inherited::Move(fromIndex, toIndex);
    if (fromIndex < FImages->GetCount() && toIndex < FImages->GetCount())
      FImages->GetItem(fromIndex)->SetIndex(toIndex);
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate();
}

void TcxImageList::DeleteImage(Integer index) {
  if (index != -1 && (index < 0 || index >= GetCount())) return;
  BeginUpdate();
  try {
    inherited::Delete(index);
    if (index == -1) FImages->Clear();
    else if (index < FImages->GetCount()) FImages->Delete(index);
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate();
}

void TcxImageList::InsertImage(Integer index, TcxBitmap* image, TcxBitmap* mask) {
  if (index < 0 || index > GetCount()) return;
  BeginUpdate();
  try {
    const Integer first = GetCount();
    if (AddImage(image, mask) >= 0)
      for (Integer k = 0; first + k < GetCount(); ++k) MoveImage(first + k, index + k);
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate();
}

void TcxImageList::ReplaceImage(Integer index, TcxBitmap* image, TcxBitmap* mask) {
  if (index < 0 || index >= GetCount()) return;
  // An image that cannot be added leaves the old one in place rather than only deleting it.
  if (!HasGlyph(image) || (HasGlyph(mask) && !SameSize(image, mask))) return;
  BeginUpdate();
  try {
    DeleteImage(index);
    InsertImage(index, image, mask);
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate();
}

void TcxImageList::EndUpdate(Boolean notify) {
  if (FLockCount <= 0) return;
  --FLockCount;
  if (notify) Change();
}

void TcxImageList::Change() {
  if (FLockCount == 0) inherited::Change();
}

// ---- Reading images ----

void TcxImageList::GetImage(Integer index, TcxBitmap* image, TcxBitmap* mask) {
  if (index < 0 || index >= GetCount()) return;
  TcxImageInfoItem* item = index < FImages->GetCount() ? FImages->GetItem(index) : nullptr;
  if (item && item->GetImage()->GetPixelFormat() == pf32bit) {
    // The platform's copy lost nothing, but the entry keeps the alpha of pixels under the mask.
    if (image) image->Assign(item->GetImage());
    if (mask) {
      if (HasGlyph(item->GetMask())) mask->Assign(item->GetMask());
      else GetPlatformImageInfo(GetHandle(), index, mask, nullptr);
    }
  } else {
    GetPlatformImageInfo(GetHandle(), index, mask, image);
  }
  if (item) item->GetImage()->Dormant();
}

void TcxImageList::GetImageInfo(Integer index, TcxImageInfo* imageInfo) {
  if (index >= 0 && index < FImages->GetCount()) {
    imageInfo->Assign(FImages->GetItem(index)->GetImageInfo());
    return;
  }
  imageInfo->GetImage()->SetSize(0, 0);
  imageInfo->GetMask()->SetSize(0, 0);
  imageInfo->SetMaskColor(clNone);
}

Boolean TcxImageList::GetPlatformImageInfo(HIMAGELIST handle, Integer index, TBitmap* mask, TBitmap* image) {
  IMAGEINFO info;
  if (index < -1 || !ImageList_GetImageInfo(handle, std::max(index, 0), &info)) return false;
  auto area = [&](HBITMAP strip) -> TRect {
    if (index >= 0) return info.rcImage;
    const orv::TSurface* s = orv::GetBitmapSurface(strip);
    return s ? TRect{0, 0, s->Width(), s->Height()} : TRect{};
  };
  if (image) CopyStripArea(info.hbmImage, area(info.hbmImage), image, pf32bit);
  if (mask) {
    if (info.hbmMask) {
      CopyStripArea(info.hbmMask, area(info.hbmMask), mask, pf1bit);
    } else {
      mask->SetPixelFormat(pf1bit);
      mask->SetSize(0, 0);
    }
  }
  return true;
}

Integer TcxImageList::GetPlatformPixelFormat(HIMAGELIST handle) {
  IMAGEINFO info;
  BITMAP bm;
  if (!ImageList_GetImageInfo(handle, 0, &info) || !GetObject(info.hbmImage, sizeof bm, &bm)) return 0;
  return bm.bmBitsPixel;
}

// ---- Drawing ----

void TcxImageList::Draw(TcxCanvas* canvas, const TRect& rect, Integer index, Boolean stretch,
                        Boolean smooth, Boolean enabled) {
  DrawImage(index, canvas, rect, ILD_NORMAL, stretch, smooth, enabled);
}

void TcxImageList::DoDraw(Integer index, TCanvas* canvas, Integer x, Integer y, UINT style, bool enabled) {
  if (!canvas) return;
  CanvasPtr cxCanvas(new TcxCanvas(canvas));
  DrawImage(index, cxCanvas.get(), MakeRectBounds(x, y, GetWidth(), GetHeight()), style, false, false,
            enabled);
}

void TcxImageList::DrawImage(Integer index, TcxCanvas* canvas, const TRect& rect, UINT style,
                             Boolean stretch, Boolean smooth, Boolean enabled) {
  if (!canvas || index < 0 || index >= GetCount()) return;
  const Integer w = GetWidth(), h = GetHeight();
  const Boolean stretching = stretch && (rect.Width() != w || rect.Height() != h);
  const TRect dest = stretching ? rect : GetCenteredRect(rect, w, h);
  const TcxImageDrawMode mode = enabled ? idmNormal : idmDisabled;
  if (FAlphaBlending) {
    DrawGlyphOrImage(canvas->GetDCHandle(), dest, rect, nullptr, this, index, mode, smooth, nullptr,
                     clNone, true);
  } else if (stretching) {
    // The platform's drawing over a key colour, stretched as a glyph that keys it out.
    BitmapPtr glyph(new TcxBitmap(w, h, pf24bit));
    glyph->GetCanvas()->FillRectWithColor(glyph->GetBoundsRect(), clFuchsia);
    inherited::DoDraw(index, glyph->GetCanvas()->GetCanvas(), 0, 0, style, true);
    glyph->SetTransparentColor(clFuchsia);
    DrawGlyphOrImage(canvas->GetDCHandle(), dest, rect, glyph.get(), nullptr, -1, mode, smooth, nullptr,
                     clNone, true);
  } else if (TCanvas* platformCanvas = canvas->GetCanvas()) {
    inherited::DoDraw(index, platformCanvas, dest.Left, dest.Top, style, enabled);
  }
}

// ---- Assigning ----

void TcxImageList::Assign(TPersistent* source) {
  auto* list = dynamic_cast<TCustomImageList*>(source);
  if (!source) {
    ClearImages();
    return;
  }
  if (!list) {
    inherited::Assign(source);
    return;
  }
  if (list == this) return;
  BeginUpdate();
  try {
    // Size, colours and styles; the images are added again below, into a list of our own kind.
    inherited::Assign(source);
    inherited::Delete(-1);
    FImages->Clear();
    SetColorDepth(cd32Bit);
    SetMasked(true);
    if (auto* cxList = dynamic_cast<TcxImageList*>(list)) {
      SetCompressData(cxList->GetCompressData());
      for (Integer i = 0; i < cxList->FImages->GetCount(); ++i)
        AddImageInfo(cxList->FImages->GetItem(i)->GetImageInfo());
    } else {
      BitmapPtr image(new TcxBitmap(0, 0, pf32bit)), mask(new TcxBitmap(0, 0, pf1bit));
      for (Integer i = 0; i < list->GetCount(); ++i) {
        GetPlatformImageInfo(list->GetHandle(), i, mask.get(), image.get());
        AddImage(image.get(), HasGlyph(mask.get()) ? mask.get() : nullptr);
      }
    }
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate();
}

// ---- Streaming ----
//
// Written: "FormatVersion" (1), "DesignInfo" (the designer position) and "ImageInfo", the
// entries as a collection of items with "Image.Data" and "Mask.Data" (each the bitmap's data,
// or its "XDBM" compressed stream) and "MaskColor". Read as well: the platform list's own
// "Bitmap" of older descriptions, from which the entries are rebuilt.

void TcxImageList::DefineProperties(TFiler* filer) {
  // The platform's own "Bitmap" is read from older descriptions but never written.
  if (filer->InheritsFrom(TReader::StaticClass())) inherited::DefineProperties(filer);
  TPersistent* ancestor = filer->GetAncestor();
  filer->DefineProperty("FormatVersion", TReaderProc(this, &TcxImageList::ReadFormatVersion),
                        TWriterProc(this, &TcxImageList::WriteFormatVersion), true);
  filer->DefineProperty("DesignInfo", TReaderProc(this, &TcxImageList::ReadDesignInfo),
                        TWriterProc(this, &TcxImageList::WriteDesignInfo), IsDesignInfoStored(ancestor));
  filer->DefineProperty("ImageInfo", TReaderProc(this, &TcxImageList::ReadImageInfo),
                        TWriterProc(this, &TcxImageList::WriteImageInfo), IsImageInfoStored(ancestor));
}

Boolean TcxImageList::IsDesignInfoStored(TPersistent* ancestor) const {
  auto* list = dynamic_cast<TCustomImageList*>(ancestor);
  return !list || list->GetDesignInfo() != GetDesignInfo();
}

Boolean TcxImageList::IsImageInfoStored(TPersistent* ancestor) {
  if (auto* list = dynamic_cast<TCustomImageList*>(ancestor)) return !IsImageListsEqual(this, list);
  return GetCount() > 0;
}

void TcxImageList::ReadFormatVersion(TReader* reader) { FFormatVersion = reader->ReadInteger(); }
void TcxImageList::WriteFormatVersion(TWriter* writer) { writer->WriteInteger(WrittenFormatVersion); }
void TcxImageList::ReadDesignInfo(TReader* reader) { SetDesignInfo(reader->ReadInteger()); }
void TcxImageList::WriteDesignInfo(TWriter* writer) { writer->WriteInteger(GetDesignInfo()); }

void TcxImageList::ReadImageInfo(TReader* reader) {
  BeginReadImageInfo();
  try {
    reader->ReadCollection(FImages);
  } catch (...) {
    // The entries read so far stay, and the platform list holds the same images.
    EndReadImageInfo();
    throw;
  }
  EndReadImageInfo();
}

void TcxImageList::WriteImageInfo(TWriter* writer) { writer->WriteCollection(FImages); }

void TcxImageList::BeginReadImageInfo() {
  BeginUpdate();
  FImages->Clear();
}

void TcxImageList::EndReadImageInfo() {
  try {
    RebuildFromImageInfo();
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate();
}

void TcxImageList::RebuildFromImageInfo() {
  BeginUpdate();
  FSynchronizing = true;
  try {
    inherited::Delete(-1);
    for (Integer i = 0; i < FImages->GetCount();) {
      TcxImageInfoItem* item = FImages->GetItem(i);
      TcxBitmap* image = item->GetImage();
      TcxBitmap* mask = HasGlyph(item->GetMask()) ? item->GetMask() : nullptr;
      // Each entry becomes exactly one platform image; an entry without pixels has none and
      // goes, and a mask of another size than its image is dropped.
      if (mask && !SameSize(image, mask)) {
        mask->SetSize(0, 0);
        mask = nullptr;
      }
      Integer added = -1;
      if (HasGlyph(image)) {
        const Boolean masked = !mask && item->GetMaskColor() != clNone;
        added = AddToPlatform(image, mask, masked,
                              masked ? ResolveMaskColor(image, item->GetMaskColor()) : 0, true);
      }
      if (added < 0) {
        FImages->Delete(i);
        continue;
      }
      image->Dormant();
      ++i;
    }
  } catch (...) {
    FSynchronizing = false;
    EndUpdate(false);
    throw;
  }
  FSynchronizing = false;
  EndUpdate(false);
}

void TcxImageList::SynchronizeImageInfo() {
  FImages->BeginUpdate();
  try {
    FImages->Clear();
    const Integer count = GetCount();
    for (Integer i = 0; i < count; ++i) {
      auto* item = static_cast<TcxImageInfoItem*>(FImages->Add());
      GetPlatformImageInfo(GetHandle(), i, item->GetMask(), item->GetImage());
      item->SetMaskColor(clNone);
    }
  } catch (...) {
    FImages->EndUpdate();
    throw;
  }
  FImages->EndUpdate();
}

void TcxImageList::ReadData(TStream* stream) {
  BeginUpdate();
  try {
    inherited::ReadData(stream);
    // The list read keeps its images in a list of our own kind.
    if (!GetMasked()) SetMasked(true);
    else if (ImageList_GetFlags(GetHandle()) != kListFlags) RecreateHandle();
    SynchronizeImageInfo();
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate();
}

// ---- Utilities ----

void CopyBitmapInto(TcxBitmap* dest, TcxBitmap* source) {
  StretchBlt(dest->GetCanvas()->GetDCHandle(), 0, 0, dest->GetWidth(), dest->GetHeight(),
             source->GetCanvas()->GetDCHandle(), 0, 0, source->GetWidth(), source->GetHeight(), SRCCOPY);
  dest->Changed();
}

TBitmap* CloneBitmap(TBitmap* bitmap) {
  auto* result = new TBitmap;
  result->Assign(bitmap);
  return result;
}

HBITMAP CopyImageHandle(HBITMAP bitmap) {
  BITMAP bm;
  if (!bitmap || !GetObject(bitmap, sizeof bm, &bm)) return nullptr;
  const orv::TSurface* from = orv::GetBitmapSurface(bitmap);
  if (!from) return nullptr;
  HBITMAP copy;
  if (bm.bmBitsPixel == 32) {
    // A DIB section again, so that its bits stay reachable.
    BITMAPINFO info{};
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biBitCount = 32;
    copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  } else {
    copy = CreateBitmap(bm.bmWidth, bm.bmHeight, bm.bmPlanes, bm.bmBitsPixel, nullptr);
  }
  orv::TSurface* to = copy ? orv::GetBitmapSurface(copy) : nullptr;
  if (!to) {
    if (copy) DeleteObject(copy);
    return nullptr;
  }
  CopyPixels(*from, {0, 0, std::min(from->Width(), to->Width()), std::min(from->Height(), to->Height())}, *to);
  return copy;
}

Boolean IsImageListsEqual(TCustomImageList* list1, TCustomImageList* list2) {
  if (!list1 || !list2) return list1 == list2;
  if (list1 == list2) return true;
  const Integer count = list1->GetCount();
  if (count != list2->GetCount()) return false;
  if (count == 0) return true;
  if (list1->GetWidth() != list2->GetWidth() || list1->GetHeight() != list2->GetHeight()) return false;
  auto cell = [](HBITMAP strip, const TRect& r, Integer y) -> const orv::TPixel* {
    return orv::GetBitmapSurface(strip)->Row(r.Top + y) + r.Left;
  };
  for (Integer i = 0; i < count; ++i) {
    IMAGEINFO a, b;
    if (!ImageList_GetImageInfo(list1->GetHandle(), i, &a) || !ImageList_GetImageInfo(list2->GetHandle(), i, &b))
      return false;
    if (!a.hbmMask != !b.hbmMask) return false;
    for (Integer y = 0; y < a.rcImage.Height(); ++y) {
      const Integer w = a.rcImage.Width();
      if (!std::equal(cell(a.hbmImage, a.rcImage, y), cell(a.hbmImage, a.rcImage, y) + w,
                      cell(b.hbmImage, b.rcImage, y)))
        return false;
      if (a.hbmMask && !std::equal(cell(a.hbmMask, a.rcImage, y), cell(a.hbmMask, a.rcImage, y) + w,
                                   cell(b.hbmMask, b.rcImage, y)))
        return false;
    }
  }
  return true;
}

Integer GetImageCount(TBitmap* bitmap, Integer width, Integer height) {
  if (!bitmap || width <= 0 || height <= 0) return 1;
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  if (w % width != 0 || h % height != 0) return 1;
  return (w / width) * (h / height);
}

void AssignImageListField(TCustomImageList* newList, TCustomImageList*& field, TChangeLink* changeLink,
                          TComponent* owner) {
  if (newList == field) return;
  if (field) {
    if (owner) field->RemoveFreeNotification(owner);
    field->UnRegisterChanges(changeLink);
  }
  field = newList;
  if (field) {
    field->RegisterChanges(changeLink);
    if (owner) field->FreeNotification(owner);
  }
  if (changeLink) changeLink->Change();
}
