#include "components/editors-more/cxImage.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditPublished.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Jpeg.h"
#include "platform/controls/Menus.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

const bool kImageRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxImageProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryImageItem));
  return true;
}();

// The header some data fields put before a picture: 1, 256 (16 bits each), then the length.
Integer PictureDataOffset(const Byte* data, std::size_t size) {
  if (size <= 7) return 0;
  const Word a = Word(data[0] | (data[1] << 8));
  const Word b = Word(data[2] | (data[3] << 8));
  const Cardinal length = Cardinal(data[4]) | (Cardinal(data[5]) << 8) | (Cardinal(data[6]) << 16) |
                          (Cardinal(data[7]) << 24);
  return a == 1 && b == 256 && std::size_t(length) == size - 8 ? 8 : 0;
}

AnsiString PictureValueBytes(const Variant& value) {
  if (VarIsStr(value)) return VarToStr(value);
  Variant copy = value;
  const Integer n = VarArrayHighBound(copy, 1) - VarArrayLowBound(copy, 1) + 1;
  if (n <= 0) return AnsiString();
  AnsiString bytes(std::size_t(n), '\0');
  std::memcpy(bytes.data(), VarArrayLock(copy), std::size_t(n));
  VarArrayUnlock(copy);
  return bytes;
}

TcxCustomImageProperties* AsImageProperties(TcxCustomEditProperties* properties) {
  return static_cast<TcxCustomImageProperties*>(properties);
}

}  // namespace

// ==== Known graphic classes and value conversion ===============================================

std::vector<TGraphicClass>& KnownGraphicClasses() {
  static std::vector<TGraphicClass> classes = [] {
    std::vector<TGraphicClass> list{TBitmap::StaticClass(), TIcon::StaticClass()};
    // The PNG picture joins only when its unit registered it by name.
    if (TClass png = FindClass("TdxPNGImage"); png && png->InheritsFrom(TGraphic::StaticClass()))
      list.push_back(TGraphicClass(png));
    list.push_back(TJPEGImage::StaticClass());
    return list;
  }();
  return classes;
}

TGraphicClass FindKnownGraphicClass(const AnsiString& name) {
  for (TGraphicClass c : KnownGraphicClasses())
    if (SameText(c->ClassName(), name)) return c;
  return TGraphicClass();
}

TGraphicClass DefaultGraphicClass() {
  const auto& list = KnownGraphicClasses();
  return list.empty() ? TGraphicClass() : list.front();
}

Boolean IsPictureValue(const Variant& value) { return VarIsStr(value) || VarIsArray(value); }

void LoadPictureFromValue(TPicture* picture, TGraphicClass graphicClass, const Variant& value) {
  if (!IsPictureValue(value)) {
    picture->Assign(nullptr);
    return;
  }
  try {
    const AnsiString bytes = PictureValueBytes(value);
    const Integer offset = PictureDataOffset(reinterpret_cast<const Byte*>(bytes.data()), bytes.size());
    if (bytes.size() <= std::size_t(offset)) {
      picture->Assign(nullptr);
      return;
    }
    std::unique_ptr<TMemoryStream, orv::FreeDeleter> stream(new TMemoryStream);
    stream->WriteBuffer(bytes.data() + offset, Integer(bytes.size()) - offset);
    stream->SetPosition(0);
    if (graphicClass) {
      std::unique_ptr<TGraphic, orv::FreeDeleter> graphic(graphicClass.Create());
      graphic->LoadFromStream(stream.get());
      picture->SetGraphic(graphic.get());
    } else {
      picture->LoadFromStream(stream.get());
    }
  } catch (const Exception&) {
    picture->Assign(nullptr);
  }
}

void SavePictureToValue(TPicture* picture, AnsiString& bytes) {
  bytes.clear();
  if (!picture || !picture->GetGraphic() || picture->GetGraphic()->GetEmpty()) return;
  std::unique_ptr<TMemoryStream, orv::FreeDeleter> stream(new TMemoryStream);
  picture->GetGraphic()->SaveToStream(stream.get());
  bytes.assign(static_cast<const char*>(stream->GetMemory()), std::size_t(stream->GetSize()));
}

TRect FitRectProportionally(const TRect& rect, Integer width, Integer height) {
  if (rect.Right - rect.Left <= 0 || rect.Bottom - rect.Top <= 0 || width <= 0 || height <= 0) return rect;
  TRect r = rect;
  const Integer rw = rect.Right - rect.Left;
  const Integer rh = rect.Bottom - rect.Top;
  if (double(rw) / double(rh) >= double(width) / double(height))
    r.Right = r.Left + Integer(Int64(rh) * width / height);
  else
    r.Bottom = r.Top + Integer(Int64(rw) * height / width);
  return r;
}

void LoadPictureFromFileChecked(TPicture* picture, const AnsiString& fileName) {
  std::unique_ptr<TPicture, orv::FreeDeleter> loaded(new TPicture);
  const auto refuse = [&fileName] {
    throw EInvalidGraphic(Format("The file %s holds no readable picture", {ExtractFileName(fileName)}));
  };
  try {
    loaded->LoadFromFile(fileName);
  } catch (const EInvalidGraphic&) {
    throw;
  } catch (const EFOpenError&) {
    throw;
  } catch (const Exception&) {
    // Each picture class reports bad data in its own way (the PNG class through its drawing
    // library's error); the caller gets one kind of error for all of them.
    refuse();
  }
  TGraphic* graphic = loaded->GetGraphic();
  // A JPEG reader keeps going over a stream that is cut short or broken and fills the rest
  // grey; such a file is refused like any other that holds no whole picture.
  auto* jpeg = dynamic_cast<TJPEGImage*>(graphic);
  if (!graphic || graphic->GetEmpty() || (jpeg && !jpeg->IsIntact())) refuse();
  picture->Assign(loaded.get());
}

Boolean UsesStretchedDrawing(TcxCustomImageProperties* properties, const TSize& pictureSize, const TSize& areaSize) {
  return properties->GetStretch() ||
         (properties->GetProportional() && (areaSize.cy < pictureSize.cy || areaSize.cx < pictureSize.cx));
}

// ==== Popup menu layout ========================================================================

TcxPopupMenuLayout::~TcxPopupMenuLayout() {
  if (FCustomMenuItemGlyph) FCustomMenuItemGlyph->Free();
}

TBitmap* TcxPopupMenuLayout::GetCustomMenuItemGlyph() {
  if (!FCustomMenuItemGlyph) FCustomMenuItemGlyph = new TBitmap;
  return FCustomMenuItemGlyph;
}

void TcxPopupMenuLayout::SetCustomMenuItemGlyph(TBitmap* value) {
  if (!value) {
    FreeAndNil(FCustomMenuItemGlyph);
    return;
  }
  GetCustomMenuItemGlyph()->Assign(value);
}

void TcxPopupMenuLayout::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxPopupMenuLayout*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  FMenuItems = s->FMenuItems;
  FCustomMenuItemCaption = s->FCustomMenuItemCaption;
  SetCustomMenuItemGlyph(s->FCustomMenuItemGlyph);
}

// ==== Properties ===============================================================================

TcxCustomImageProperties::TcxCustomImageProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner), FPopupMenuLayout(new TcxPopupMenuLayout(nullptr)) {
  FGraphicClass = GetDefaultGraphicClass();
}

TcxCustomImageProperties::~TcxCustomImageProperties() { FPopupMenuLayout->Free(); }

TcxCustomEditViewDataClass TcxCustomImageProperties::GetViewDataClass() { return TcxImageViewData::StaticClass(); }
TcxCustomEditViewInfoClass TcxCustomImageProperties::GetViewInfoClass() { return TcxImageViewInfo::StaticClass(); }
TcxCustomEditClass TcxCustomImageProperties::GetEditClass() { return TcxImage::StaticClass(); }

TGraphicClass TcxCustomImageProperties::ResolveGraphicClass(TObject* item, Integer recordIndex,
                                                            Boolean pastingFromClipboard) {
  if (FGraphicClass) return FGraphicClass;
  TGraphicClass result = pastingFromClipboard ? TGraphicClass(TBitmap::StaticClass()) : TGraphicClass();
  if (FOnGetGraphicClass) FOnGetGraphicClass(item, recordIndex, pastingFromClipboard, result);
  return result;
}

void TcxCustomImageProperties::EditValueToDisplayText(const Variant& value, AnsiString& text) {
  text = VarIsNull(value) ? AnsiString() : FCaption;
}

void TcxCustomImageProperties::CheckDisplayValue(Variant& displayValue, AnsiString& errorText,
                                                 TcxCustomEdit* editor, Boolean& error) {
  auto* image = dynamic_cast<TcxCustomImage*>(editor);
  if (!image) return;
  image->LockEditValueChanging(true);
  try {
    if (FOnAssignPicture) FOnAssignPicture(editor, image->GetPicture());
    if (TcxEditRepositoryItem* item = editor->GetRepositoryItem()) {
      auto* itemProperties = dynamic_cast<TcxCustomImageProperties*>(item->GetProperties());
      if (itemProperties && itemProperties != this && itemProperties->FOnAssignPicture)
        itemProperties->FOnAssignPicture(editor, image->GetPicture());
    }
    editor->SaveModifiedFlags();
    try {
      editor->SetModified(false);
      editor->DoEditing();
    } catch (...) {
      editor->RestoreModifiedFlags();
      throw;
    }
    editor->RestoreModifiedFlags();
  } catch (...) {
    image->LockEditValueChanging(false);
    throw;
  }
  image->LockEditValueChanging(false);
}

void TcxCustomImageProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomImageProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetCaption(s->FCaption);
    SetCenter(s->FCenter);
    SetCustomFilter(s->FCustomFilter);
    SetGraphicClass(s->FGraphicClass);
    SetGraphicTransparency(s->FGraphicTransparency);
    SetPopupMenuLayout(s->FPopupMenuLayout);
    SetShowFocusRect(s->FShowFocusRect);
    SetProportional(s->FProportional);
    SetStretch(s->FStretch);
    FOnAssignPicture = s->FOnAssignPicture;
    FOnCustomClick = s->FOnCustomClick;
    FOnGetGraphicClass = s->FOnGetGraphicClass;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

#define ORV_IMAGE_SETTER(Name, Type)                           \
  void TcxCustomImageProperties::Set##Name(Type value) {     \
    if (F##Name == value) return;                            \
    F##Name = value;                                         \
    Changed();                                               \
  }
ORV_IMAGE_SETTER(Center, Boolean)
ORV_IMAGE_SETTER(GraphicTransparency, TcxImageTransparency)
ORV_IMAGE_SETTER(Proportional, Boolean)
ORV_IMAGE_SETTER(ShowFocusRect, Boolean)
ORV_IMAGE_SETTER(Stretch, Boolean)
#undef ORV_IMAGE_SETTER

void TcxCustomImageProperties::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  FCaption = value;
  Changed();
}

void TcxCustomImageProperties::SetGraphicClass(TGraphicClass value) {
  if (FGraphicClass == value) return;
  FGraphicClass = value;
  Changed();
}

AnsiString TcxCustomImageProperties::GetGraphicClassName() const {
  return FGraphicClass ? AnsiString(FGraphicClass->ClassName()) : AnsiString();
}

void TcxCustomImageProperties::SetGraphicClassName(const AnsiString& value) {
  if (value.empty()) {
    SetGraphicClass(TGraphicClass());
    return;
  }
  if (TGraphicClass c = FindKnownGraphicClass(value)) SetGraphicClass(c);
}

// ==== View info ================================================================================

TcxImageViewInfo::~TcxImageViewInfo() {
  if (BufferBitmap) BufferBitmap->Free();
  if (OwnsPicture && Picture) Picture->Free();
}

Boolean TcxImageViewInfo::NeedsRepaintOnStateChange() {
  const Boolean noPicture = !Picture || !Picture->GetGraphic() || Picture->GetGraphic()->GetEmpty();
  return noPicture && !Caption.empty();
}

TRect TcxImageViewInfo::GetPictureRect() {
  const TRect cr = ClientRect;
  const TSize picture{Picture->GetWidth(), Picture->GetHeight()};
  const TSize area{cr.Right - cr.Left, cr.Bottom - cr.Top};
  TRect pr;
  if (UsesStretchedDrawing(AsImageProperties(Properties), picture, area)) {
    pr = Proportional ? FitRectProportionally(cr, picture.cx, picture.cy) : cr;
  } else {
    pr = TRect{cr.Left, cr.Top, cr.Left + picture.cx, cr.Top + picture.cy};
  }
  if (Center) {
    const Integer dx = ((cr.Right - cr.Left) - (pr.Right - pr.Left)) / 2;
    const Integer dy = ((cr.Bottom - cr.Top) - (pr.Bottom - pr.Top)) / 2;
    pr = TRect{pr.Left + dx, pr.Top + dy, pr.Right + dx, pr.Bottom + dy};
  } else {
    pr = TRect{pr.Left - ScrollOffset.X, pr.Top - ScrollOffset.Y, pr.Right - ScrollOffset.X,
               pr.Bottom - ScrollOffset.Y};
  }
  return pr;
}

void TcxImageViewInfo::DoPaint(TcxCanvas* canvas) {
  const TRect cr = ClientRect;
  const Boolean noPicture = !Picture || !Picture->GetGraphic() || Picture->GetGraphic()->GetEmpty();
  if (noPicture) {
    inherited::DoPaint(canvas);
    if (!Caption.empty()) {
      canvas->SetBrushClear(true);
      if (TextFont) canvas->SetFont(TextFont);
      canvas->SetFontColor(DefaultTextColor);
      canvas->DrawTextInRect(Caption, cr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      canvas->SetBrushClear(false);
    }
    if (ShowFocusRect) {
      canvas->SetBrushClear(true);
      canvas->GetCanvas()->Rectangle(cr);
      canvas->SetBrushClear(false);
    }
    return;
  }
  const TRect pr = GetPictureRect();
  canvas->PushClipRegion();
  try {
    canvas->ExcludeFromClip(cr);
    DrawEditBackgroundAndButtons(canvas, this, false, 0);
  } catch (...) {
    canvas->PopClipRegion();
    throw;
  }
  canvas->PopClipRegion();
  canvas->PushClipRegion();
  try {
    if (ShowFocusRect) {
      canvas->SetBrushClear(true);
      canvas->GetCanvas()->Rectangle(cr);
      canvas->SetBrushClear(false);
      canvas->IntersectClip(TRect{cr.Left + 1, cr.Top + 1, cr.Right - 1, cr.Bottom - 1});
    } else {
      canvas->IntersectClip(cr);
    }
    TGraphic* graphic = Picture->GetGraphic();
    if (IsTransparentView || !graphic->GetTransparent()) {
      canvas->GetCanvas()->StretchDraw(pr, graphic);
    } else {
      // An opaque view of a transparent graphic: composed on the background first.
      if (!BufferBitmap) BufferBitmap = new TBitmap;
      BufferBitmap->SetSize(pr.Right - pr.Left, pr.Bottom - pr.Top);
      BufferBitmap->GetCanvas()->GetBrush()->SetColor(BackgroundColor);
      BufferBitmap->GetCanvas()->FillRect(TRect{0, 0, pr.Right - pr.Left, pr.Bottom - pr.Top});
      BufferBitmap->GetCanvas()->StretchDraw(TRect{0, 0, pr.Right - pr.Left, pr.Bottom - pr.Top}, graphic);
      canvas->GetCanvas()->Draw(pr.Left, pr.Top, BufferBitmap);
    }
    TRect common{};
    const Boolean coversClient = IntersectRects(common, pr, cr) && common == cr;
    if (!IsTransparentView && !coversClient) {
      canvas->PushClipRegion();
      canvas->ExcludeFromClip(pr);
      canvas->FillRect(cr, BackgroundColor);
      canvas->PopClipRegion();
    }
  } catch (...) {
    canvas->PopClipRegion();
    throw;
  }
  canvas->PopClipRegion();
}

// ==== View data ================================================================================

void TcxImageViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                         TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                         const TPoint& mousePos) {
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  if (bounds.Right <= bounds.Left || bounds.Bottom <= bounds.Top) return;
  auto* vi = static_cast<TcxImageViewInfo*>(viewInfo);
  auto* p = AsImageProperties(Properties);
  vi->Caption = p->GetCaption();
  vi->Center = p->GetCenter();
  vi->Stretch = p->GetStretch();
  vi->Proportional = p->GetProportional();
  vi->ShowFocusRect = p->GetShowFocusRect() && vi->IsFocused && !IsInplace;
  if (vi->Center || vi->Stretch) vi->ScrollOffset = TPoint{0, 0};
}

void TcxImageViewData::SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) {
  auto* vi = static_cast<TcxImageViewInfo*>(viewInfo);
  if (VarToStr(value).empty()) {
    if (vi->Picture) vi->Picture->Assign(nullptr);
    return;
  }
  if (!vi->Picture) {
    vi->Picture = new TPicture;
    vi->OwnsPicture = true;
  }
  auto* p = AsImageProperties(Properties);
  LoadPictureFromValue(vi->Picture, p->ResolveGraphicClass(HostItem1, Integer(reinterpret_cast<NativeInt>(HostItem2)), false),
                       value);
  if (p->GetGraphicTransparency() != gtDefault && vi->Picture->GetGraphic())
    vi->Picture->GetGraphic()->SetTransparent(p->GetGraphicTransparency() == gtTransparent);
}

TSize TcxImageViewData::GetContentSize(TcxCanvas* canvas, const Variant& value,
                                       const TcxEditSizeProperties& sizeLimits) {
  auto* p = AsImageProperties(Properties);
  if (!IsInplace) {
    auto* image = dynamic_cast<TcxCustomImage*>(Edit);
    if (!image) return TSize{0, 0};
    return TSize{image->GetPicture()->GetWidth(), image->GetPicture()->GetHeight()};
  }
  if (Edit) {
    const TRect extent = GetBorderExtent();
    return TSize{Edit->GetWidth() - (extent.Left + extent.Right), Edit->GetHeight() - (extent.Top + extent.Bottom)};
  }
  TSize size{0, p->GetEmptyValueHeight()};
  if (!IsPictureValue(value)) {
    if (!p->GetCaption().empty()) {
      canvas->SetFont(Style->GetVisibleFont());
      size = canvas->GetTextSize(p->GetCaption());
    }
    return size;
  }
  std::unique_ptr<TPicture, orv::FreeDeleter> picture(new TPicture);
  LoadPictureFromValue(picture.get(), p->ResolveGraphicClass(HostItem1, Integer(reinterpret_cast<NativeInt>(HostItem2)), false),
                       value);
  const Integer pw = picture->GetWidth();
  const Integer ph = picture->GetHeight();
  size = TSize{pw, ph};
  // A negative limit is no limit (and so no reason to shrink the picture).
  const TSize area{sizeLimits.Width < 0 ? pw : sizeLimits.Width, sizeLimits.Height < 0 ? ph : sizeLimits.Height};
  if (UsesStretchedDrawing(p, size, area)) {
    if (sizeLimits.Width > 0 && pw > 0)
      size = TSize{sizeLimits.Width, Integer(std::nearbyint(double(sizeLimits.Width) * ph / pw))};
    else if (sizeLimits.Height >= 1 && ph > 0)
      size = TSize{Integer(std::nearbyint(double(sizeLimits.Height) * pw / ph)), sizeLimits.Height};
  }
  return size;
}

// ==== The editor ===============================================================================

TcxCustomEditPropertiesClass TcxCustomImage::GetPropertiesClass() { return TcxCustomImageProperties::StaticClass(); }
TcxCustomEditPropertiesClass TcxImage::GetPropertiesClass() { return TcxImageProperties::StaticClass(); }

void TcxCustomImage::Initialize() {
  inherited::Initialize();
  SetAutoSize(false);
  SetWidth(140);
  SetHeight(100);
  FPictureClipboardFormat = Word(RegisterClipboardFormat("Picture"));
  if (!FPicture) {
    FPicture = new TPicture;
    FPicture->SetOnChange(TNotifyEvent(this, &TcxCustomImage::HandlePictureChange));
  }
  if (auto* vi = dynamic_cast<TcxImageViewInfo*>(GetEditViewInfo())) vi->Picture = FPicture;
}

void TcxCustomImage::BeforeDestruction() {
  if (FPicture) FPicture->SetOnChange(TNotifyEvent());
  if (auto* vi = dynamic_cast<TcxImageViewInfo*>(GetEditViewInfo()); vi && !vi->OwnsPicture) vi->Picture = nullptr;
  inherited::BeforeDestruction();
}

TcxCustomImage::~TcxCustomImage() {
  if (FContextMenu) FContextMenu->Free();
  if (FPicture) FPicture->Free();
}

TPicture* TcxCustomImage::GetPicture() {
  EnsureInitialized();
  return FPicture;
}

void TcxCustomImage::SetTransparentImage(Boolean value) {
  if (FTransparent == value) return;
  FTransparent = value;
  if (GetEditViewInfo()) GetEditViewInfo()->IsTransparentView = value;
  Invalidate();
}

void TcxCustomImage::GetEditValue(Variant& value) {
  AnsiString bytes;
  SavePictureToValue(GetPicture(), bytes);
  value = bytes.empty() ? Null() : Variant(bytes);
}

void TcxCustomImage::AssignEditValue(const Variant& value, Boolean isUserAction) {
  FAssigningValue = true;
  try {
    if (IsPictureValue(value))
      LoadPictureFromValue(GetPicture(), ResolveGraphicClass(false), value);
    else
      GetPicture()->Assign(nullptr);
  } catch (...) {
    SetModified(false);
    FAssigningValue = false;
    throw;
  }
  SetModified(false);
  FAssigningValue = false;
}

Boolean TcxCustomImage::CanAutoSize() {
  return inherited::CanAutoSize() && GetPicture()->GetGraphic() && !GetPicture()->GetGraphic()->GetEmpty();
}

Boolean TcxCustomImage::IsKeyPassedToOwner(Word key, TShiftState shift) {
  if (key == VK_INSERT) return !shift.Contains(ssShift) && !shift.Contains(ssCtrl);
  if (key == VK_DELETE) return !shift.Contains(ssShift);
  return inherited::IsKeyPassedToOwner(key, shift);
}

void TcxCustomImage::HandlePropertiesChange(TObject* sender) {
  if (IsInnerEditPending()) return;
  if (FPicture) HandlePictureChange(nullptr);
  UpdateScrollBars();
  inherited::HandlePropertiesChange(sender);
}

// ---- Scrolling (stand-alone) -------------------------------------------------------------------

namespace {

constexpr Integer kImageScrollStep = 8;

}  // namespace

void TcxCustomImage::InitScrollBarsParameters() {
  if (IsInplace() || !FPicture) return;
  TGraphic* graphic = FPicture->GetGraphic();
  TcxCustomImageProperties* p = ImageProperties();
  const TRect client = GetClientBounds();
  if (GetAutoSize() || client.Right <= client.Left || client.Bottom <= client.Top || !graphic ||
      graphic->GetEmpty() || p->GetCenter() || p->GetStretch()) {
    SetScrollBarParams(sbHorizontal, 0, -1, kImageScrollStep, 0, 0, true, true);
    SetScrollBarParams(sbVertical, 0, -1, kImageScrollStep, 0, 0, true, true);
    return;
  }
  SetScrollBarParams(sbHorizontal, 0, graphic->GetWidth() - 1, kImageScrollStep, client.Right - client.Left,
                     FScrollOffset.X, true, true);
  SetScrollBarParams(sbVertical, 0, graphic->GetHeight() - 1, kImageScrollStep, client.Bottom - client.Top,
                     FScrollOffset.Y, true, true);
}

void TcxCustomImage::Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  TcxControlScrollBar* bar = kind == sbHorizontal ? GetHScrollBar() : GetVScrollBar();
  TGraphic* graphic = FPicture ? FPicture->GetGraphic() : nullptr;
  if (!bar || !graphic) return;
  if (code == scLineUp) position = bar->GetData().Position - kImageScrollStep;
  if (code == scLineDown) position = bar->GetData().Position + kImageScrollStep;
  const Integer size = kind == sbHorizontal ? graphic->GetWidth() : graphic->GetHeight();
  position = std::max(0, std::min(position, size - bar->GetData().PageSize));
  bar->GetData().Position = position;
  bar->ApplyParameters();
  UpdateScrollPositions();
}

void TcxCustomImage::UpdateScrollBars() {
  if (IsInplace()) return;
  if (!GetHScrollBar()) UpdateScrollBarsPresence();
  TcxControl::UpdateScrollBars();
  UpdateScrollPositions();
}

void TcxCustomImage::UpdateScrollPositions() {
  if (!HandleAllocated()) return;
  TcxControlScrollBar* h = GetHScrollBar();
  TcxControlScrollBar* v = GetVScrollBar();
  FScrollOffset = TPoint{h && h->GetVisible() ? h->GetData().Position : 0, v && v->GetVisible() ? v->GetData().Position : 0};
  if (auto* vi = dynamic_cast<TcxImageViewInfo*>(GetEditViewInfo())) vi->ScrollOffset = FScrollOffset;
  Invalidate();
}

void TcxCustomImage::ResetScrollPositions() {
  for (TcxControlScrollBar* bar : {GetHScrollBar(), GetVScrollBar()})
    if (bar) {
      bar->GetData().Position = 0;
      bar->ApplyParameters();
    }
  FScrollOffset = TPoint{0, 0};
  UpdateScrollPositions();
}

bool TcxCustomImage::Focused() { return FDialogOpen || inherited::Focused(); }

void TcxCustomImage::HandlePictureChange(TObject* sender) {
  LockChangeEvents(true);
  try {
    TGraphic* graphic = FPicture->GetGraphic();
    auto* p = ImageProperties();
    if (p->GetGraphicTransparency() != gtDefault && graphic && !graphic->GetEmpty()) {
      const TNotifyEvent saved = FPicture->GetOnChange();
      FPicture->SetOnChange(TNotifyEvent());
      try {
        graphic->SetTransparent(p->GetGraphicTransparency() == gtTransparent);
      } catch (...) {
        FPicture->SetOnChange(saved);
        throw;
      }
      FPicture->SetOnChange(saved);
    }
    if (!GetComponentState().Contains(csLoading)) {
      // A new picture shows from its top-left corner.
      if (sender) ResetScrollPositions();
      AlignInnerControl();
    }
    if (!FAssigningValue && sender) {
      if (GetUserChangeInProgress()) SetModifiedAfterEnter(true);
      DoChange();
      Invalidate();
    }
    if (sender && p->GetImmediatePost() && CanPostEditValue() && ValidateEditValue(true)) PostEditValue(false);
    if (sender) UpdateScrollBars();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

TGraphicClass TcxCustomImage::ResolveGraphicClass(Boolean pastingFromClipboard) {
  if (IsInplace()) return ImageProperties()->ResolveGraphicClass(GetInplaceItem(), GetInplaceRecordIndex(), pastingFromClipboard);
  if (TGraphicClass c = ImageProperties()->GetGraphicClass()) return c;
  TGraphicClass result = pastingFromClipboard ? TGraphicClass(TBitmap::StaticClass()) : TGraphicClass();
  if (FOnGetGraphicClass) FOnGetGraphicClass(this, pastingFromClipboard, result);
  return result;
}

Boolean TcxCustomImage::ClipboardHasPicture() {
  const TGraphicClass c = ImageProperties()->GetGraphicClass();
  if (c == TGraphicClass(TBitmap::StaticClass()) || c == TGraphicClass(TJPEGImage::StaticClass()))
    return Clipboard()->HasFormat(CF_BITMAP);
  if (c == TGraphicClass(TIcon::StaticClass())) return false;
  if (!c) return Clipboard()->HasFormat(CF_BITMAP) || Clipboard()->HasFormat(CF_DIB);
  return Clipboard()->HasFormat(FPictureClipboardFormat) || Clipboard()->HasFormat(CF_BITMAP);
}

void TcxCustomImage::FireCustomClick() {
  if (const TNotifyEvent& e = GetProperties() ? static_cast<TcxCustomImageProperties*>(GetProperties())->GetOnCustomClick()
                                               : TNotifyEvent();
      e)
    e(this);
  if (TcxEditRepositoryItem* item = GetRepositoryItem())
    if (auto* p = dynamic_cast<TcxCustomImageProperties*>(item->GetProperties()); p && p->GetOnCustomClick())
      p->GetOnCustomClick()(this);
}

void TcxCustomImage::CopyToClipboard() {
  if (GetPicture()->GetGraphic()) Clipboard()->Assign(GetPicture());
}

void TcxCustomImage::CutToClipboard() {
  CopyToClipboard();
  DeletePicture();
}

void TcxCustomImage::DeletePicture() {
  if (DoEditing()) GetPicture()->SetGraphic(nullptr);
}

void TcxCustomImage::PasteFromClipboard() {
  if (!ClipboardHasPicture() || !DoEditing()) return;
  if (!Clipboard()->HasFormat(CF_BITMAP)) {
    GetPicture()->Assign(Clipboard());
    return;
  }
  if (ResolveGraphicClass(true) == TGraphicClass(TJPEGImage::StaticClass())) {
    std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
    bitmap->Assign(Clipboard());
    std::unique_ptr<TJPEGImage, orv::FreeDeleter> jpeg(new TJPEGImage);
    jpeg->Assign(bitmap.get());
    jpeg->Compress();
    GetPicture()->SetGraphic(jpeg.get());
  } else {
    GetPicture()->GetBitmap()->Assign(Clipboard());
  }
}

void TcxCustomImage::LoadPictureFromFile() {
  if (!CanModify()) return;
  std::unique_ptr<TOpenDialog, orv::FreeDeleter> dialog(new TOpenDialog(nullptr));
  const TGraphicClass c = ImageProperties()->GetGraphicClass();
  dialog->SetFilter(!ImageProperties()->GetCustomFilter().empty()
                        ? ImageProperties()->GetCustomFilter()
                        : GraphicFilter(c ? c : TGraphicClass(TGraphic::StaticClass())));
  FDialogOpen = true;
  bool confirmed = false;
  try {
    confirmed = dialog->Execute();
  } catch (...) {
    FDialogOpen = false;
    throw;
  }
  FDialogOpen = false;
  if (confirmed && DoEditing()) {
    LoadPictureFromFileChecked(GetPicture(), dialog->GetFileName());
    FireOnCloseUp(4);
  } else {
    FireOnCloseUp(3);
  }
  if (Application) Application->ProcessMessages();
}

void TcxCustomImage::SavePictureToFile() {
  TGraphic* graphic = GetPicture()->GetGraphic();
  if (!graphic) return;
  std::unique_ptr<TSaveDialog, orv::FreeDeleter> dialog(new TSaveDialog(nullptr));
  const TGraphicClass c(graphic->ClassType());
  dialog->SetFilter(!ImageProperties()->GetCustomFilter().empty() ? ImageProperties()->GetCustomFilter()
                                                                   : GraphicFilter(c));
  dialog->SetDefaultExt(GraphicExtension(c));
  FDialogOpen = true;
  bool confirmed = false;
  try {
    confirmed = dialog->Execute();
  } catch (...) {
    FDialogOpen = false;
    throw;
  }
  FDialogOpen = false;
  if (confirmed) GetPicture()->SaveToFile(dialog->GetFileName());
  if (Application) Application->ProcessMessages();
}

void TcxCustomImage::ExecuteMenuItem(Integer tag) {
  SetUserChangeInProgress(true);
  try {
    switch (tag) {
      case 0: CutToClipboard(); break;
      case 1: CopyToClipboard(); break;
      case 2: PasteFromClipboard(); break;
      case 3: DeletePicture(); break;
      case 4: LoadPictureFromFile(); break;
      case 5: SavePictureToFile(); break;
      case 6: FireCustomClick(); break;
      default: break;
    }
  } catch (...) {
    SetUserChangeInProgress(false);
    throw;
  }
  SetUserChangeInProgress(false);
}

void TcxCustomImage::MenuItemClick(TObject* sender) {
  ExecuteMenuItem(Integer(static_cast<TComponent*>(sender)->GetTag()));
}

TPopupMenu* TcxCustomImage::GetContextMenu() {
  if (FContextMenu) return FContextMenu;
  FContextMenu = new TPopupMenu(nullptr);
  const Integer tags[] = {0, 1, 2, 3, -1, 4, 5, -1, 6};
  for (Integer tag : tags) {
    auto* item = new TMenuItem(FContextMenu);
    item->SetTag(tag);
    if (tag == -1) {
      item->SetCaption("-");
    } else {
      if (tag < 6) item->SetImageIndex(tag);
      item->SetOnClick(TNotifyEvent(this, &TcxCustomImage::MenuItemClick));
    }
    FContextMenu->GetItems()->Add(item);
  }
  return FContextMenu;
}

void TcxCustomImage::PrepareContextMenu() {
  TMenuItem* items = GetContextMenu()->GetItems();
  auto* p = ImageProperties();
  const TcxPopupMenuItems menuItems = p->GetPopupMenuLayout()->GetMenuItems();
  const TResStringRec* captions[] = {&cxSMenuItemCaptionCut,    &cxSMenuItemCaptionCopy, &cxSMenuItemCaptionPaste,
                                     &cxSMenuItemCaptionDelete, &cxSMenuItemCaptionLoad, &cxSMenuItemCaptionSave};
  const Boolean m = CanModify();
  const Boolean e = !GetPicture()->GetGraphic() || GetPicture()->GetGraphic()->GetEmpty();
  const Boolean i = p->GetGraphicClass() == TGraphicClass(TIcon::StaticClass());
  const Boolean enabled[] = {m && !e && !i, !e && !i, m && ClipboardHasPicture(), m && !e, m, !e};
  const Integer index[] = {0, 1, 2, 3, 5, 6};
  for (Integer k = 0; k < 6; ++k) {
    TMenuItem* item = items->GetItem(index[k]);
    item->SetCaption(GetLocalizedResourceString(captions[k]));
    item->SetVisible(menuItems.Contains(TcxPopupMenuItem(k)));
    item->SetEnabled(enabled[k]);
  }
  items->GetItem(4)->SetVisible(menuItems.Contains(pmiLoad) || menuItems.Contains(pmiSave));
  items->GetItem(7)->SetVisible(menuItems.Contains(pmiCustom));
  TMenuItem* custom = items->GetItem(8);
  custom->SetVisible(menuItems.Contains(pmiCustom));
  custom->SetCaption(p->GetPopupMenuLayout()->GetCustomMenuItemCaption());
  custom->SetEnabled(true);
}

void TcxCustomImage::DoContextPopup(TPoint mousePos, bool& handled) {
  if (GetPopupMenuComponent() || ImageProperties()->GetPopupMenuLayout()->GetMenuItems().Empty()) {
    inherited::DoContextPopup(mousePos, handled);
    return;
  }
  handled = true;
  if (mousePos.X == -1 && mousePos.Y == -1) mousePos = TPoint{10, 10};
  PrepareContextMenu();
  const TPoint screen = ClientToScreen(mousePos);
  GetContextMenu()->Popup(screen.X, screen.Y);
}

void TcxCustomImage::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  SetUserChangeInProgress(true);
  try {
    if (key == VK_INSERT && shift.Contains(ssShift)) PasteFromClipboard();
    else if (key == VK_INSERT && shift.Contains(ssCtrl) && !shift.Contains(ssShift)) CopyToClipboard();
    else if (key == VK_DELETE && shift.Contains(ssShift)) CutToClipboard();
  } catch (...) {
    SetUserChangeInProgress(false);
    throw;
  }
  SetUserChangeInProgress(false);
}

void TcxCustomImage::KeyPress(char& key) {
  inherited::KeyPress(key);
  SetUserChangeInProgress(true);
  try {
    if (key == 3) CopyToClipboard();
    else if (key == 22) PasteFromClipboard();
    else if (key == 24) CutToClipboard();
  } catch (...) {
    SetUserChangeInProgress(false);
    throw;
  }
  SetUserChangeInProgress(false);
}

// ==== Published ================================================================================

const orv::EnumNames<TcxImageTransparency> kImageTransparencyNames("TcxImageTransparency",
                                                                   {"gtDefault", "gtOpaque", "gtTransparent"});
const orv::EnumNames<TcxPopupMenuItem> kPopupMenuItemNames(
    "TcxPopupMenuItem", {"pmiCut", "pmiCopy", "pmiPaste", "pmiDelete", "pmiLoad", "pmiSave", "pmiCustom"});

ORV_PUBLISH(TcxPopupMenuLayout) {
  using T = TcxPopupMenuLayout;
  p.Property("CustomMenuItemCaption", &T::GetCustomMenuItemCaption, &T::SetCustomMenuItemCaption)
      .Stored([](T* x) { return !x->GetCustomMenuItemCaption().empty(); });
  p.Property("CustomMenuItemGlyph", [](T* x) { return x->GetCustomMenuItemGlyph(); },
             [](T* x, TBitmap* v) { x->SetCustomMenuItemGlyph(v); })
      .Stored([](T* x) { return !x->GetCustomMenuItemGlyph()->GetEmpty(); });
  p.Property("MenuItems", &T::GetMenuItems, &T::SetMenuItems)
      .Default(TcxPopupMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave});
}

ORV_PUBLISH(TcxImageProperties) {
  using T = TcxImageProperties;
  p.Property("Caption", &T::GetCaption, &T::SetCaption).Stored([](T* x) { return !x->GetCaption().empty(); });
  p.Property("Center", &T::GetCenter, &T::SetCenter).Default(true);
  p.Property("ClearKey", &T::GetClearKey, &T::SetClearKey).Default(TShortCut(0));
  p.Property("CustomFilter", &T::GetCustomFilter, &T::SetCustomFilter)
      .Stored([](T* x) { return !x->GetCustomFilter().empty(); });
  p.Property("GraphicClassName", &T::GetGraphicClassName, &T::SetGraphicClassName)
      .Stored([](T* x) { return x->GetGraphicClass() != x->GetDefaultGraphicClass(); });
  p.Property("GraphicTransparency", &T::GetGraphicTransparency, &T::SetGraphicTransparency).Default(gtDefault);
  p.Property("ImmediatePost", &T::GetImmediatePost, &T::SetImmediatePost).Default(false);
  p.Property("PopupMenuLayout", &T::GetPopupMenuLayout, &T::SetPopupMenuLayout);
  p.Property("Proportional", &T::GetProportional, &T::SetProportional).Default(true);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T* x) { return x->IsReadOnlyStored(); });
  p.Property("ShowFocusRect", &T::GetShowFocusRect, &T::SetShowFocusRect).Default(true);
  p.Property("Stretch", &T::GetStretch, &T::SetStretch).Default(false);
  p.Property("OnAssignPicture", &T::GetOnAssignPicture, &T::SetOnAssignPicture);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnCustomClick", &T::GetOnCustomClick, &T::SetOnCustomClick);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnGetGraphicClass", &T::GetOnGetGraphicClass, &T::SetOnGetGraphicClass);
}

ORV_PUBLISH(TcxImage) {
  using T = TcxImage;
  orv::PublishLayout(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(false);
  orv::PublishDrag(p);
  orv::PublishState(p);
  orv::PublishColor(p, clWindow, false);
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("Picture", [](T* x) { return x->GetPicture(); }, [](T* x, TPicture* v) { x->SetPicture(v); })
      .Stored([](T* x) { return x->GetPicture()->GetGraphic() != nullptr; });
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxImageProperties* v) { x->SetProperties(v); });
  p.Property("Transparent", &T::GetTransparentImage, &T::SetTransparentImage).Default(false);
  p.Property("OnGetGraphicClass", &T::GetOnGetGraphicClass, &T::SetOnGetGraphicClass);
}
