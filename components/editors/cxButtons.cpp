#include "components/editors/cxButtons.h"

#include <algorithm>
#include <memory>

#include "platform/controls/ActnList.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/UserControls.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Math.h"
#include "components/foundation/cxContainer.h"
#include "platform/windowing/User.h"

namespace {

template <class T>
using ButtonOwned = std::unique_ptr<T, orv::FreeDeleter>;

TcxGlyphCache* gButtonGlyphCache = nullptr;

// The caption without accelerator marks ("&&" stays one "&").
AnsiString ButtonCaptionWithoutPrefix(const AnsiString& caption) {
  AnsiString result;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    result += caption[i];
  }
  return result;
}

}  // namespace

TcxGlyphCache* GetGlyphCache() { return gButtonGlyphCache; }

// ==== Published ===============================================================================

const orv::EnumNames<TcxButtonMenuKind> kButtonMenuKindNames("TcxButtonKind",
                                                             {"cxbkStandard", "cxbkDropDown", "cxbkDropDownButton"});
const orv::EnumNames<TButtonLayout> kButtonLayoutNames("TButtonLayout",
                                                       {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});
const orv::EnumNames<TcxButtonAssignedColor> kButtonAssignedColorNames(
    "TcxButtonAssignedColor", {"cxbcDefault", "cxbcDefaultText", "cxbcDisabled", "cxbcDisabledText", "cxbcHot",
                               "cxbcHotText", "cxbcNormal", "cxbcNormalText", "cxbcPressed", "cxbcPressedText"});

ORV_PUBLISH(TcxButtonColors) {
  using T = TcxButtonColors;
  p.Property("AssignedColors", &T::GetAssignedColors, &T::SetAssignedColors).Stored([](T*) { return false; });
  struct Entry {
    const char* name;
    TcxButtonAssignedColor index;
  };
  for (const Entry& e : {Entry{"Default", cxbcDefault}, Entry{"DefaultText", cxbcDefaultText},
                         Entry{"Normal", cxbcNormal}, Entry{"NormalText", cxbcNormalText}, Entry{"Hot", cxbcHot},
                         Entry{"HotText", cxbcHotText}, Entry{"Pressed", cxbcPressed},
                         Entry{"PressedText", cxbcPressedText}, Entry{"Disabled", cxbcDisabled},
                         Entry{"DisabledText", cxbcDisabledText}}) {
    const TcxButtonAssignedColor index = e.index;
    p.Property(e.name, [index](T* c) { return c->GetColor(index); },
               [index](T* c, TColor v) { c->SetColor(index, v); })
        .Kind("TColor")
        .Stored([index](T* c) { return c->IsColorStored(index); });
  }
}

ORV_PUBLISH(TcxSpeedButtonOptions) {
  using T = TcxSpeedButtonOptions;
  p.Property("GroupIndex", &T::GetGroupIndex, &T::SetGroupIndex).Default(0);
  p.Property("CanBeFocused", &T::GetCanBeFocused, &T::SetCanBeFocused).Default(true);
  p.Property("AllowAllUp", &T::GetAllowAllUp, &T::SetAllowAllUp).Default(false);
  p.Property("Down", &T::GetDown, &T::SetDown).Default(false);
  p.Property("Flat", &T::GetFlat, &T::SetFlat).Default(false);
  p.Property("Transparent", &T::GetTransparent, &T::SetTransparent).Default(false);
}

ORV_PUBLISH(TcxButton) {
  using T = TcxButton;
  p.Property("CanBeFocused", &T::GetCanBeFocused, &T::SetCanBeFocused).Stored([](T*) { return false; });
  p.Property("GroupIndex", &T::GetGroupIndex, &T::SetGroupIndex).Stored([](T*) { return false; });
  p.Property("Down", &T::GetDown, &T::SetDown).Stored([](T*) { return false; });
  p.Property("AllowAllUp", &T::GetAllowAllUp, &T::SetAllowAllUp).Stored([](T*) { return false; });
  orv::PublishLayout(p);
  p.Property("Action", &TControl::GetAction, &TControl::SetAction);
  p.Property("Enabled", &TControl::GetEnabled, &TControl::SetEnabled).Default(true);
  p.Property("ParentShowHint", &TControl::GetParentShowHint, &TControl::SetParentShowHint).Default(true);
  p.Property("ShowHint", &TControl::GetShowHint, &TControl::SetShowHint)
      .Stored([](T* c) { return !c->GetParentShowHint(); });
  p.Property("Visible", &TControl::GetVisible, &TControl::SetVisible).Default(true);
  orv::PublishCaption(p);
  orv::PublishFont(p);
  p.Property("Cancel", &T::GetCancel, &T::SetCancel).Default(false);
  p.Property("Colors", &T::GetColors).Stored([](T* b) { return b->GetColors()->AnyAssigned(); });
  p.Property("Default", &T::GetDefault, &T::SetDefault).Default(false);
  p.Property("DropDownMenu", &T::GetDropDownMenu, &T::SetDropDownMenu);
  p.Property("Glyph", &T::GetGlyph, &T::SetGlyph).Stored([](T* b) { return !b->GetGlyph()->GetEmpty(); });
  p.Property("Kind", &T::GetKind, &T::SetKind).Default(cxbkStandard);
  p.Property("Layout", &T::GetLayout, &T::SetLayout).Default(blGlyphLeft);
  p.Property("LookAndFeel", &T::GetLookAndFeel);
  p.Property("Margin", &T::GetMargin, &T::SetMargin).Default(-1);
  p.Property("ModalResult", &T::GetModalResult, &T::SetModalResult).Default(mrNone);
  p.Property("NumGlyphs", &T::GetNumGlyphs, &T::SetNumGlyphs).Default(1);
  p.Property("PopupAlignment", &T::GetPopupAlignment, &T::SetPopupAlignment).Default(paLeft);
  p.Property("PopupMenu", &T::GetButtonPopupMenu, &T::SetButtonPopupMenu);
  p.Property("Spacing", &T::GetSpacing, &T::SetSpacing).Default(4);
  p.Property("SpeedButtonOptions", &T::GetSpeedButtonOptions);
  orv::PublishTabs(p, true);
  p.Property("UseSystemPaint", &T::GetUseSystemPaint, &T::SetUseSystemPaint).Default(false);
  orv::PublishClickEvents(p);
  p.Property("OnDropDownMenuPopup", &T::GetOnDropDownMenuPopup, &T::SetOnDropDownMenuPopup);
  p.Property("OnEnter", &T::GetOnEnter, &T::SetOnEnter);
  p.Property("OnExit", &T::GetOnExit, &T::SetOnExit);
  p.Property("OnGetDrawParams", &T::GetOnGetDrawParams, &T::SetOnGetDrawParams);
  p.Property("OnMouseEnter", &T::GetOnMouseEnter, &T::SetOnMouseEnter);
  p.Property("OnMouseLeave", &T::GetOnMouseLeave, &T::SetOnMouseLeave);
}

// ==== Glyph list and cache ====================================================================

TcxGlyphList::TcxGlyphList(Integer width, Integer height) : TcxImageList(nullptr, width, height) {
  FUsedSlots = new TBits;
}

TcxGlyphList::~TcxGlyphList() { orv::Free(FUsedSlots); }

Integer TcxGlyphList::TakeSlot(TcxBitmap* image) {
  Integer index = -1;
  for (Integer i = 0; i < FUsedSlots->GetSize(); ++i)
    if (!FUsedSlots->GetBit(i)) {
      index = i;
      break;
    }
  if (index < 0) {
    index = AddImage(image, nullptr);
    if (FUsedSlots->GetSize() < index + 1) FUsedSlots->SetSize(index + 1);
  }
  FUsedSlots->SetBit(index, true);
  return index;
}

Integer TcxGlyphList::StoreImage(TcxBitmap* image, TcxBitmap* mask) {
  const Integer index = TakeSlot(image);
  ReplaceImage(index, image, mask);
  ++FUsedCount;
  return index;
}

void TcxGlyphList::FreeSlot(Integer index) {
  if (index < 0 || index >= FUsedSlots->GetSize() || !FUsedSlots->GetBit(index)) return;
  FUsedSlots->SetBit(index, false);
  --FUsedCount;
}

TcxGlyphCache::TcxGlyphCache() : FLists(new TList) {}

TcxGlyphCache::~TcxGlyphCache() { orv::Free(FLists); }

TcxGlyphList* TcxGlyphCache::ListForSize(Integer width, Integer height) {
  for (Integer i = FLists->GetCount() - 1; i >= 0; --i) {
    auto* list = static_cast<TcxGlyphList*>(FLists->Get(i));
    if (list->GetWidth() == width && list->GetHeight() == height) return list;
  }
  auto* list = new TcxGlyphList(width, height);
  FLists->Add(list);
  return list;
}

void TcxGlyphCache::ReleaseUnusedList(TcxGlyphList* list) {
  if (!list || list->GetUsedCount() != 0) return;
  FLists->Remove(list);
  list->Free();
}

// ==== Image information =======================================================================

TcxButtonImageInfo::TcxButtonImageInfo() : FGlyph(new TBitmap) {}

TcxButtonImageInfo::~TcxButtonImageInfo() { orv::Free(FGlyph); }

void TcxButtonImageInfo::SetOnChange(const TNotifyEvent& value) {
  FOnChange = value;
  FGlyph->SetOnChange(value);
}

void TcxButtonImageInfo::SetImages(TCustomImageList* value) {
  if (FImages == value) return;
  FImages = value;
  if (FGlyph->GetEmpty() && FImageIndex != -1 && FOnChange) FOnChange(nullptr);
}

void TcxButtonImageInfo::SetImageIndex(Integer value) {
  if (FImageIndex == value) return;
  FImageIndex = value;
  if (FGlyph->GetEmpty() && FImages && FOnChange) FOnChange(nullptr);
}

Boolean TcxButtonImageInfo::HasImage() {
  return !FGlyph->GetEmpty() || (FImages && FImageIndex >= 0 && FImageIndex < FImages->GetCount());
}

TSize TcxButtonImageInfo::ImageSize() {
  if (!HasImage()) return TSize{0, 0};
  if (!FGlyph->GetEmpty()) return TSize{FGlyph->GetWidth(), FGlyph->GetHeight()};
  return TSize{FImages->GetWidth(), FImages->GetHeight()};
}

// ==== Glyph ===================================================================================

TcxButtonGlyph::TcxButtonGlyph() : FImageInfo(new TcxButtonImageInfo) {
  FImageInfo->SetOnChange(TNotifyEvent(this, &TcxButtonGlyph::PictureChanged));
  if (!gButtonGlyphCache) gButtonGlyphCache = new TcxGlyphCache;
}

TcxButtonGlyph::~TcxButtonGlyph() {
  orv::Free(FImageInfo);
  ReleaseImages();
  if (gButtonGlyphCache && gButtonGlyphCache->HasNoLists()) {
    gButtonGlyphCache->Free();
    gButtonGlyphCache = nullptr;
  }
}

void TcxButtonGlyph::SetGlyph(TBitmap* value) {
  FImageInfo->GetGlyph()->Assign(value);
  Integer q = 1;
  if (value && value->GetHeight() > 0 && value->GetWidth() % value->GetHeight() == 0) {
    q = value->GetWidth() / value->GetHeight();
    if (q >= 5) q = 1;
  }
  SetNumGlyphs(q);
}

void TcxButtonGlyph::SetNumGlyphs(Integer value) {
  value = std::clamp<Integer>(value, 1, 4);
  if (value == FNumGlyphs) return;
  FNumGlyphs = value;
  PictureChanged(this);
}

TSize TcxButtonGlyph::GlyphImageSize() {
  TSize size = FImageInfo->ImageSize();
  if (!FImageInfo->GetGlyph()->GetEmpty()) size.cx /= FNumGlyphs;
  return size;
}

void TcxButtonGlyph::PictureChanged(TObject* sender) {
  ReleaseImages();
  if (FOnChange) FOnChange(this);
}

void TcxButtonGlyph::ReleaseImages() {
  for (Integer& index : FCachedIndexes) {
    if (index != -1 && FGlyphList) FGlyphList->FreeSlot(index);
    index = -1;
  }
  if (gButtonGlyphCache) gButtonGlyphCache->ReleaseUnusedList(FGlyphList);
  FGlyphList = nullptr;
}

Integer TcxButtonGlyph::StateImageIndex(TcxButtonState state) {
  Integer number = 0;
  if (state == cxbsPressed) number = FNumGlyphs < 3 ? 0 : 2;
  if (state == cxbsDisabled) number = 1;
  if (FCachedIndexes[number] != -1 || !HasImage()) return FCachedIndexes[number];
  const TSize size = GlyphImageSize();
  if (size.cx <= 0 || size.cy <= 0) return -1;
  ButtonOwned<TcxBitmap> image(new TcxBitmap(size.cx, size.cy, pf32bit));
  ButtonOwned<TcxBitmap> mask(new TcxBitmap(size.cx, size.cy));
  const TRect bounds{0, 0, size.cx, size.cy};
  TBitmap* glyph = FImageInfo->GetGlyph();
  HDC imageDC = image->GetCanvas()->GetHandle();
  TColor transparent = clNone;
  if (!glyph->GetEmpty()) {
    transparent = glyph->GetTransparentColor();
    FillRect(imageDC, &bounds, GetCachedSolidBrush(transparent));
    if (number == 1 && FNumGlyphs == 1) {
      ButtonOwned<TcxBitmap> whole(new TcxBitmap(glyph->GetWidth(), glyph->GetHeight()));
      BitBlt(whole->GetCanvas()->GetHandle(), 0, 0, glyph->GetWidth(), glyph->GetHeight(),
             glyph->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
      DrawGlyphOrImage(imageDC, bounds, bounds, whole.get(), nullptr, -1, idmDisabled, false, nullptr, transparent);
    } else {
      const Integer k = number < FNumGlyphs ? number : 0;
      BitBlt(imageDC, 0, 0, size.cx, size.cy, glyph->GetCanvas()->GetHandle(), k * size.cx, 0, SRCCOPY);
    }
  } else {
    transparent = TColor(0xFF00FF);
    FillRect(imageDC, &bounds, GetCachedSolidBrush(transparent));
    DrawGlyphOrImage(imageDC, bounds, bounds, nullptr, FImageInfo->GetImages(), FImageInfo->GetImageIndex(),
                     number == 1 ? idmDisabled : idmNormal, false, nullptr, clNone);
  }
  // The mask: white where the transparent colour shows.
  HDC maskDC = mask->GetCanvas()->GetHandle();
  const COLORREF key = ColorToRGB(transparent);
  for (Integer y = 0; y < size.cy; ++y)
    for (Integer x = 0; x < size.cx; ++x)
      SetPixel(maskDC, x, y, GetPixel(imageDC, x, y) == key ? RGB(255, 255, 255) : RGB(0, 0, 0));
  if (!FGlyphList) {
    if (!gButtonGlyphCache) gButtonGlyphCache = new TcxGlyphCache;
    FGlyphList = gButtonGlyphCache->ListForSize(size.cx, size.cy);
  }
  FCachedIndexes[number] = FGlyphList->StoreImage(image.get(), mask.get());
  return FCachedIndexes[number];
}

TRect TcxButtonGlyph::GlyphCaptionMargins(TButtonLayout layout) {
  return HasImage() ? TRect{} : TRect{1, 0, 2, 0};
}

void TcxButtonGlyph::MeasureGlyphCaption(TcxCanvas* canvas, const TRect& client, const AnsiString& caption,
                                         TButtonLayout layout, Integer spacing, UINT textFlags, Boolean wordWrap,
                                         TRect& textRect, TSize& extent) {
  if (caption.empty()) {
    textRect = TRect{};
    extent = TSize{0, 0};
    return;
  }
  textRect = TRect{0, 0, client.Right - client.Left, 0};
  if (layout == blGlyphLeft || layout == blGlyphRight) textRect.Right -= GlyphImageSize().cx + spacing;
  const TRect m = GlyphCaptionMargins(layout);
  textRect = TRect{textRect.Left + m.Left, textRect.Top + m.Top, textRect.Right - m.Right, textRect.Bottom - m.Bottom};
  DrawText(canvas->GetHandle(), caption.c_str(), Integer(caption.size()), &textRect,
           textFlags | DT_CALCRECT | (wordWrap ? DT_WORDBREAK : 0));
  extent = TSize{textRect.Right - textRect.Left + m.Left + m.Right, textRect.Bottom - textRect.Top + m.Top + m.Bottom};
}

void TcxButtonGlyph::LayoutGlyph(TcxCanvas* canvas, const TRect& client, const TPoint& offset,
                                 const AnsiString& caption, TButtonLayout layout, Integer margin, Integer spacing,
                                 UINT textFlags, Boolean wordWrap, TPoint& glyphPos, TRect& textRect) {
  if (textFlags & DT_RIGHT) {
    if (layout == blGlyphLeft)
      layout = blGlyphRight;
    else if (layout == blGlyphRight)
      layout = blGlyphLeft;
  }
  TSize ts{};
  MeasureGlyphCaption(canvas, client, caption, layout, spacing, textFlags, wordWrap, textRect, ts);
  const TSize gs = HasImage() ? GlyphImageSize() : TSize{0, 0};
  const TSize bs{client.Right - client.Left, client.Bottom - client.Top};
  TPoint textPos{};
  const Boolean horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  if (horizontal) {
    glyphPos.Y = (bs.cy - gs.cy) / 2;
    textPos.Y = (bs.cy - ts.cy - 1) / 2;
  } else {
    glyphPos.X = (bs.cx - gs.cx) / 2;
    textPos.X = (bs.cx - ts.cx) / 2;
  }
  if (ts.cx == 0 || gs.cx == 0) spacing = 0;
  const Integer a = horizontal ? bs.cx : bs.cy;
  const Integer g = horizontal ? gs.cx : gs.cy;
  const Integer t = horizontal ? ts.cx : ts.cy;
  if (margin == -1 && spacing == -1) {
    margin = (a - (g + t)) / 3;
    spacing = margin;
  } else if (margin == -1) {
    margin = (a - (g + spacing + t)) / 2;
  } else if (spacing == -1) {
    spacing = ((a - margin - g) - t) / 2;
  }
  Integer glyphAt = 0;
  Integer textAt = 0;
  if (layout == blGlyphLeft || layout == blGlyphTop) {
    glyphAt = margin;
    textAt = margin + g + spacing;
  } else {
    glyphAt = a - margin - g;
    textAt = glyphAt - spacing - t;
  }
  if (horizontal) {
    glyphPos.X = glyphAt;
    textPos.X = textAt;
  } else {
    glyphPos.Y = glyphAt;
    textPos.Y = textAt;
  }
  glyphPos = TPoint{glyphPos.X + client.Left + offset.X, glyphPos.Y + client.Top + offset.Y};
  const Integer w = textRect.Right - textRect.Left;
  const Integer h = textRect.Bottom - textRect.Top;
  const TRect m = GlyphCaptionMargins(layout);
  textRect.Left = client.Left + textPos.X + offset.X + m.Left;
  textRect.Top = client.Top + textPos.Y + offset.Y + m.Top;
  textRect.Right = textRect.Left + w;
  textRect.Bottom = textRect.Top + h;
}

void TcxButtonGlyph::PaintGlyphImage(TcxCanvas* canvas, const TPoint& position, TcxButtonState state) {
  if (!HasImage()) return;
  const Integer index = StateImageIndex(state);
  if (index >= 0 && FGlyphList) FGlyphList->Draw(canvas, position.X, position.Y, index);
}

void TcxButtonGlyph::PaintGlyphCaption(TcxCanvas* canvas, const AnsiString& caption, Boolean skin, Boolean wordWrap,
                                       UINT textFlags, TcxButtonState state, const TRect& textRect) {
  if (caption.empty()) return;
  HDC dc = canvas->GetHandle();
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const UINT flags = textFlags | DT_CENTER | DT_VCENTER | (wordWrap ? DT_WORDBREAK : 0);
  if (state == cxbsDisabled && !skin) {
    const COLORREF old = SetTextColor(dc, ColorToRGB(clBtnHighlight));
    TRect shifted{textRect.Left + 1, textRect.Top + 1, textRect.Right + 1, textRect.Bottom + 1};
    DrawText(dc, caption.c_str(), Integer(caption.size()), &shifted, flags);
    SetTextColor(dc, old);
  }
  TRect r = textRect;
  DrawText(dc, caption.c_str(), Integer(caption.size()), &r, flags);
  SetBkMode(dc, oldMode);
}

void TcxButtonGlyph::PaintGlyph(TcxCanvas* canvas, const TRect& client, const TPoint& offset,
                                const AnsiString& caption, TButtonLayout layout, Integer margin, Integer spacing,
                                TcxButtonState state, UINT textFlags, Boolean wordWrap, Boolean skin) {
  TPoint glyphPos{};
  TRect textRect{};
  LayoutGlyph(canvas, client, offset, caption, layout, margin, spacing, textFlags, wordWrap, glyphPos, textRect);
  PaintGlyphImage(canvas, glyphPos, state);
  PaintGlyphCaption(canvas, caption, skin, wordWrap, textFlags, state, textRect);
}

// ==== Colours =================================================================================

namespace {

TcxButtonAssignedColor ButtonColorIndexOfState(TcxButtonState state) {
  switch (state) {
    case cxbsDefault: return cxbcDefault;
    case cxbsHot: return cxbcHot;
    case cxbsPressed: return cxbcPressed;
    case cxbsDisabled: return cxbcDisabled;
    default: return cxbcNormal;
  }
}

}  // namespace

void TcxButtonColors::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxButtonColors*>(source)) {
    std::copy(std::begin(s->FColors), std::end(s->FColors), std::begin(FColors));
    FAssignedColors = s->FAssignedColors;
    if (FButton) FButton->Invalidate();
    return;
  }
  inherited::Assign(source);
}

void TcxButtonColors::SetAssignedColors(TcxButtonAssignedColors value) {
  if (FAssignedColors == value) return;
  if (!FButton || !FButton->GetComponentState().Contains(csDesigning)) return;
  for (Integer i = 0; i < 10; ++i) {
    const auto index = TcxButtonAssignedColor(i);
    if (!value.Contains(index)) FColors[i] = clDefault;
    if (value.Contains(index) && FColors[i] == clDefault) value.Exclude(index);
  }
  FAssignedColors = value;
  FButton->Invalidate();
}

void TcxButtonColors::SetColor(TcxButtonAssignedColor index, TColor value) {
  if (value == clNone || value == clDefault) {
    FColors[index] = clDefault;
    FAssignedColors.Exclude(index);
    if (FButton) FButton->Invalidate();
    return;
  }
  if (FColors[index] == value) return;
  FColors[index] = value;
  FAssignedColors.Include(index);
  if (FButton) FButton->Invalidate();
}

TColor TcxButtonColors::GetBackgroundColor(TcxButtonState state) const {
  const TcxButtonAssignedColor index = ButtonColorIndexOfState(state);
  if (FAssignedColors.Contains(index)) return FColors[index];
  return index == cxbcNormal ? FColors[cxbcDefault] : FColors[cxbcNormal];
}

TColor TcxButtonColors::GetTextColor(TcxButtonState state) const {
  const auto index = TcxButtonAssignedColor(ButtonColorIndexOfState(state) + 1);
  if (FAssignedColors.Contains(index)) return FColors[index];
  return index == cxbcNormalText ? FColors[cxbcDefaultText] : FColors[cxbcNormalText];
}

// ==== Speed-button options ====================================================================

TPersistent* TcxSpeedButtonOptions::GetOwner() { return FButton; }

void TcxSpeedButtonOptions::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxSpeedButtonOptions*>(source)) {
    SetGroupIndex(s->FGroupIndex);
    SetAllowAllUp(s->FAllowAllUp);
    SetCanBeFocused(s->FCanBeFocused);
    SetDown(s->GetDown());
    SetFlat(s->FFlat);
    SetTransparent(s->FTransparent);
    return;
  }
  inherited::Assign(source);
}

Boolean TcxSpeedButtonOptions::GetDown() const { return FButton->GetDown(); }

void TcxSpeedButtonOptions::SetGroupIndex(Integer value) {
  if (FGroupIndex == value) return;
  FGroupIndex = value;
  UpdateGroup();
}

void TcxSpeedButtonOptions::SetCanBeFocused(Boolean value) {
  if (FCanBeFocused == value) return;
  FCanBeFocused = value;
  if (!value && FButton->GetTabStop()) FButton->SetTabStop(false);
  FButton->Invalidate();
}

void TcxSpeedButtonOptions::SetAllowAllUp(Boolean value) {
  if (FAllowAllUp == value) return;
  FAllowAllUp = value;
  UpdateGroup();
}

void TcxSpeedButtonOptions::SetDown(Boolean value) {
  if (FGroupIndex == 0) value = value && FButton->IsSpeedButton();
  if (value == GetDown()) return;
  // The last down button of a group stays down unless all may be up.
  if (!value && FGroupIndex != 0 && !FAllowAllUp && FLockCount == 0) return;
  FButton->SetDownFlag(value);
  if (value) UpdateGroup();
  FButton->Invalidate();
}

void TcxSpeedButtonOptions::UpdateGroup() {
  if (FGroupIndex == 0 || !FButton->GetParent() || !GetDown()) return;
  TWinControl* parent = FButton->GetParent();
  for (Integer i = 0; i < parent->GetControlCount(); ++i) {
    auto* other = dynamic_cast<TcxCustomButton*>(parent->GetControl(i));
    if (!other || other == FButton || other->GetGroupIndex() != FGroupIndex || !other->GetDown()) continue;
    TcxSpeedButtonOptions* options = other->GetSpeedButtonOptions();
    ++options->FLockCount;
    other->SetDownFlag(false);
    other->Invalidate();
    --options->FLockCount;
  }
}

void TcxSpeedButtonOptions::SetFlat(Boolean value) {
  if (FFlat == value) return;
  FFlat = value;
  if (FButton->IsSpeedButton()) FButton->Invalidate();
}

void TcxSpeedButtonOptions::SetTransparent(Boolean value) {
  if (FTransparent == value) return;
  FTransparent = value;
  if (FButton->IsSpeedButton()) FButton->Invalidate();
}

// ==== The button ==============================================================================

TcxButtonGlyph* TcxButtonActionLink::ClientGlyph() const {
  auto* button = dynamic_cast<TcxCustomButton*>(FClient);
  if (!button || button->GetComponentState().Contains(csDestroying)) return nullptr;
  return button->GetGlyphObject();
}

void TcxButtonActionLink::BeforeDestruction() {
  // The button's own teardown frees the link after its glyph: nothing to clear then.
  if (TcxButtonGlyph* glyph = ClientGlyph()) {
    glyph->SetImages(nullptr);
    glyph->SetImageIndex(-1);
  }
  inherited::BeforeDestruction();
}

void TcxButtonActionLink::SetImageIndex(Integer value) {
  inherited::SetImageIndex(value);
  if (TcxButtonGlyph* glyph = ClientGlyph()) glyph->SetImageIndex(value);
}

TcxCustomButton::TcxCustomButton(TComponent* owner) : TButton(owner) {
  FControlCanvas = new TControlCanvas;
  FControlCanvas->SetControl(this);
  FPaintCanvas = new TcxCanvas(FControlCanvas);
  FColors = new TcxButtonColors(this);
  FLookAndFeel = new TcxLookAndFeel(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxCustomButton::LookAndFeelChanged));
  FSpeedButtonOptions = new TcxSpeedButtonOptions(this);
  FGlyph = GetGlyphClass().Create();
  FGlyph->SetOnChange(TNotifyEvent(this, &TcxCustomButton::GlyphChanged));
  SetDoubleBuffered(true);
  TControlStyle style = GetControlStyle();
  style.Include(csOpaque);
  style.Include(csReflector);
  SetControlStyle(style);
}

void TcxCustomButton::ActionChange(TObject* sender, bool checkDefaults) {
  inherited::ActionChange(sender, checkDefaults);
  UpdateImageInfo();
}

void TcxCustomButton::UpdateImageInfo() {
  TCustomImageList* images = nullptr;
  Integer index = -1;
  if (TControlActionLink* link = GetActionLink())
    if (auto* action = dynamic_cast<TCustomAction*>(link->GetAction()))
      if (action->GetActionList()) {
        images = action->GetImages();
        index = action->GetImageIndex();
      }
  FGlyph->SetImages(images);
  FGlyph->SetImageIndex(index);
}

void TcxCustomButton::BeforeDestruction() {
  StopMouseTracking(this);
  inherited::BeforeDestruction();
}

TcxCustomButton::~TcxCustomButton() {
  orv::Free(FSpeedButtonOptions);
  orv::Free(FLookAndFeel);
  orv::Free(FColors);
  orv::Free(FGlyph);
  orv::Free(FPaintCanvas);
  orv::Free(FControlCanvas);
}

void TcxCustomButton::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FDropDownMenu) FDropDownMenu = nullptr;
  if (component == FPopupMenu) FPopupMenu = nullptr;
}

void TcxCustomButton::SetDropDownMenu(TPopupMenu* value) {
  if (FDropDownMenu == value) return;
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = value;
  if (value) value->FreeNotification(this);
}

void TcxCustomButton::SetButtonPopupMenu(TComponent* value) {
  if (value && !dynamic_cast<TPopupMenu*>(value)) value = nullptr;
  if (FPopupMenu == value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = value;
  if (value) value->FreeNotification(this);
}

void TcxCustomButton::SetKind(TcxButtonMenuKind value) {
  if (FKind == value) return;
  FKind = value;
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomButton::SetLayout(TButtonLayout value) {
  if (FLayout == value) return;
  FLayout = value;
  Invalidate();
}

void TcxCustomButton::SetMargin(Integer value) {
  if (value < -1 || FMargin == value) return;
  FMargin = value;
  Invalidate();
}

void TcxCustomButton::SetSpacing(Integer value) {
  if (FSpacing == value) return;
  FSpacing = value;
  Invalidate();
}

void TcxCustomButton::SetUseSystemPaint(Boolean value) {
  if (FUseSystemPaint == value) return;
  FUseSystemPaint = value;
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomButton::SetDownFlag(Boolean value) {
  if (value)
    FMouseFlags |= kDownFlag;
  else
    FMouseFlags &= ~kDownFlag;
}

bool TcxCustomButton::CanFocus() {
  return inherited::CanFocus() && (GetCanBeFocused() || GetComponentState().Contains(csDesigning));
}

void TcxCustomButton::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {
  if (FUseSystemPaint && HandleAllocated())
    RecreateWnd();
  else
    Invalidate();
}

TcxCustomLookAndFeelPainterClass TcxCustomButton::GetPainter() {
  if (TcxCustomLookAndFeelPainterClass skin = FLookAndFeel->GetSkinPainter()) return skin;
  return FLookAndFeel->CurrentPainter();
}

void TcxCustomButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (!UsesSystemPainting()) params.Style = (params.Style & ~DWORD(0xF)) | BS_OWNERDRAW;
}

void TcxCustomButton::CreateHandle() {
  inherited::CreateHandle();
  FGlyph->StateImageIndex(GetEnabled() ? cxbsNormal : cxbsDisabled);
}

void TcxCustomButton::SetButtonStyle(bool isDefault) {
  if (UsesSystemPainting()) {
    inherited::SetButtonStyle(isDefault);
    return;
  }
  if (FIsDefaultLook == isDefault) return;
  FIsDefaultLook = isDefault;
  Invalidate();
}

void TcxCustomButton::CalculateCaptionSize(TSize& size) {
  TcxCanvas canvas(static_cast<HDC>(nullptr));
  HDC dc = GetDC(nullptr);
  canvas.SetDCHandle(dc);
  canvas.SetFont(GetFont());
  AnsiString caption = ButtonCaptionWithoutPrefix(GetCaption());
  if (caption.empty()) caption = " ";
  size.cx = canvas.TextWidth(caption) + 3 * canvas.TextWidth("R");
  size.cy = MulDiv(canvas.TextHeight("Wg"), 14, 8);
  canvas.SetDCHandle(nullptr);
  ReleaseDC(nullptr, dc);
}

Boolean TcxCustomButton::DoDropDownMenuPopup(TPopupMenu*& menu) {
  Boolean handled = false;
  if (FOnDropDownMenuPopup) FOnDropDownMenuPopup(this, menu, handled);
  return handled;
}

Boolean TcxCustomButton::ShowPopupMenu(TComponent* menu, Integer x, Integer y) {
  auto* popup = dynamic_cast<TPopupMenu*>(menu);
  if (!popup) return false;
  popup->SetPopupComponent(this);
  popup->Popup(x, y);
  return true;
}

Boolean TcxCustomButton::IsInDropDownPart(const TPoint& p) {
  const TRect client{0, 0, GetWidth(), GetHeight()};
  if (FKind == cxbkDropDown) return IsPointInRect(client, p);
  if (FKind == cxbkDropDownButton) return IsPointInRect(TRect{client.Right - kArrowWidth, 0, client.Right, client.Bottom}, p);
  return false;
}

void TcxCustomButton::ShowDropDownMenu() {
  if (IsDropDownMenuShown()) return;
  TPopupMenu* menu = FDropDownMenu;
  if (DoDropDownMenuPopup(menu) || !menu) return;
  orv::TObjectLinkGuard guard(this);
  FMouseFlags |= kMenuShownFlag;
  Invalidate();
  const TRect r{0, 0, GetWidth(), GetHeight()};
  Integer x = r.Left;
  if (FPopupAlignment == paRight) x = r.Right;
  if (FPopupAlignment == paCenter) x = (r.Left + r.Right) / 2;
  const TPoint p = ClientToScreen(TPoint{x, r.Bottom});
  menu->SetAlignment(FPopupAlignment);
  menu->SetPopupComponent(this);
  menu->Popup(p.X, p.Y);
  if (!guard.Alive()) return;
  FMouseFlags &= ~kMenuShownFlag;
  const TPoint cursor = HandleAllocated() ? ScreenToClient(QueryCursorPos()) : TPoint{-1, -1};
  FMenuClosedOverArrow = FKind == cxbkDropDownButton && IsInDropDownPart(cursor);
  Invalidate();
}

void TcxCustomButton::Click() {
  const Boolean main = (FMouseFlags & kMainPressedFlag) || !(FMouseFlags & kDropDownPressedFlag);
  if (GetCanBeFocused() && main && !(FMouseFlags & kAccelFlag) && GetGroupIndex() != 0)
    SetDown(!GetDown());
  FMouseFlags &= ~kAccelFlag;
  if (FKind == cxbkDropDown) {
    if (HandleAllocated()) PostMessage(GetHandle(), CM_DROPDOWNPOPUPMENU, 0, 0);
    return;
  }
  if (FKind == cxbkDropDownButton && !main) return;
  inherited::Click();
}

void TcxCustomButton::MouseEntered() {
  if (GetComponentState().Contains(csDesigning) || IsHot()) return;
  DoMouseEnter();
  StartMouseTracking(this, TRect{0, 0, GetWidth(), GetHeight()}, this);
  FMouseFlags |= kHotFlag;
  if (GetEnabled()) Invalidate();
}

void TcxCustomButton::MouseLeft() {
  if (!IsHot()) return;
  DoMouseLeave();
  StopMouseTracking(this);
  FMouseFlags &= ~kHotFlag;
  if (GetEnabled()) Invalidate();
}

void TcxCustomButton::MouseLeave() { MouseLeft(); }

void TcxCustomButton::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  if (IsPointInRect(TRect{0, 0, GetWidth(), GetHeight()}, TPoint{x, y}))
    MouseEntered();
  else
    MouseLeft();
}

void TcxCustomButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  if (!GetCanBeFocused() && HandleAllocated()) SetCapture(GetHandle());
  inherited::MouseDown(button, shift, x, y);
  if (!guard.Alive() || button != mbLeft) return;
  if (FKind != cxbkStandard && IsInDropDownPart(TPoint{x, y})) {
    FMouseFlags |= kDropDownPressedFlag;
    if (FKind == cxbkDropDownButton && !IsDropDownMenuShown() && !FMenuClosedOverArrow) {
      Invalidate();
      ShowDropDownMenu();
      if (!guard.Alive()) return;
    }
  } else {
    FMouseFlags |= kMainPressedFlag;
  }
  Invalidate();
}

void TcxCustomButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  if (!GetCanBeFocused() && button == mbLeft && IsHot() &&
      ((FMouseFlags & kMainPressedFlag) || ((FMouseFlags & kDropDownPressedFlag) && !FMenuClosedOverArrow))) {
    SetDown(!GetDown());
    inherited::MouseUp(button, shift, x, y);
    if (!guard.Alive()) return;
    Click();
    if (!guard.Alive()) return;
  } else {
    inherited::MouseUp(button, shift, x, y);
    if (!guard.Alive()) return;
  }
  FMouseFlags &= ~(kMainPressedFlag | kDropDownPressedFlag);
  Invalidate();
  if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
  if (!IsDropDownMenuShown()) FMenuClosedOverArrow = false;
}

void TcxCustomButton::KeyDown(Word& key, TShiftState shift) {
  if (FKind == cxbkDropDownButton && (key == VK_UP || key == VK_DOWN) &&
      (shift.Contains(ssAlt) || shift.Contains(ssShift))) {
    key = 0;
    ShowDropDownMenu();
    return;
  }
  inherited::KeyDown(key, shift);
}

void TcxCustomButton::WndProc(TMessage& message) {
  if (IsSpeedButton() && !GetCanBeFocused() && !GetComponentState().Contains(csDesigning)) {
    if (message.Msg == WM_LBUTTONDOWN) {
      MouseDown(mbLeft, KeysToShiftState(message.WParam), GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
      return;
    }
    if (message.Msg == WM_LBUTTONDBLCLK) {
      DblClick();
      return;
    }
  }
  if (message.Msg == WM_LBUTTONDBLCLK) message.Msg = WM_LBUTTONDOWN;
  inherited::WndProc(message);
}

void TcxCustomButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_DRAWITEM: {
      if (GetComponentState().Contains(csDestroying)) return;
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
      PaintOn(item->hDC, (item->itemState & ODS_SELECTED) != 0, (item->itemState & ODS_FOCUS) != 0);
      message.Result = 1;
      return;
    }
    case CM_DROPDOWNPOPUPMENU: ShowDropDownMenu(); return;
    case CM_CLOSEUPPOPUPMENU: return;
    case CM_MOUSEENTER:
      inherited::Dispatch(message);
      MouseEntered();
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(message);
      MouseLeft();
      return;
    case CM_DIALOGCHAR:
      FMouseFlags |= kAccelFlag;
      inherited::Dispatch(message);
      FMouseFlags &= ~kAccelFlag;
      return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      inherited::Dispatch(message);
      Invalidate();
      return;
    case WM_CONTEXTMENU: {
      if (FPopupMenu && !GetComponentState().Contains(csDesigning)) {
        TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        if (p.X == -1 && p.Y == -1) p = ClientToScreen(TPoint{0, 0});
        if (ShowPopupMenu(FPopupMenu, p.X, p.Y)) {
          message.Result = 1;
          return;
        }
      }
      break;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

void TcxCustomButton::DrawBackground(TcxCanvas* canvas, TcxCustomLookAndFeelPainterClass painter, TRect r,
                                     TcxButtonState state, TColor color, TColor textColor) {
  TcxSpeedButtonOptions* options = FSpeedButtonOptions;
  if ((!options->GetFlat() && !options->GetTransparent()) || GetCanBeFocused()) {
    painter->DrawPushButton(canvas, r, AnsiString(), state, true, color, textColor);
    return;
  }
  const TcxLookAndFeelKind kind = FLookAndFeel->GetKind();
  if (!FLookAndFeel->GetSkinPainter() && !FLookAndFeel->GetNativeStyle() && kind != lfOffice11 &&
      (!options->GetFlat() || GetComponentState().Contains(csDesigning) ||
       (state != cxbsDisabled && (IsHot() || state != cxbsNormal)))) {
    painter->DrawButtonFrame(canvas, r, state);
    const Integer w = painter->ButtonBorderWidth(state);
    r = TRect{r.Left + w, r.Top + w, r.Right - w, r.Bottom - w};
  }
  canvas->SaveDC();
  canvas->IntersectClip(r);
  if (!options->GetTransparent() || (state != cxbsDisabled && state != cxbsNormal && !IsHot()) ||
      (IsHot() && painter->SupportsButtonHotTrack()))
    painter->DrawPushButton(canvas, r, AnsiString(), state, false, color, textColor);
  else
    canvas->FillRect(TRect{0, 0, GetWidth(), GetHeight()}, GetParent() ? GetParent()->GetColor() : clBtnFace);
  canvas->RestoreDC();
}

void TcxCustomButton::PaintOn(HDC dc, Boolean selected, Boolean focused) {
  if (UsesSystemPainting()) return;
  FPaintAsPressed = (selected && !(FMouseFlags & kDropDownPressedFlag)) ||
                    (IsDropDownMenuShown() && FKind == cxbkDropDown) ||
                    (IsSpeedButton() && (GetDown() || (IsHot() && (FMouseFlags & kMainPressedFlag))));
  FPaintAsDefault = (focused || (GetDefault() && GetComponentState().Contains(csDesigning)) || FIsDefaultLook) &&
                    GetCanBeFocused();
  TcxCustomLookAndFeelPainterClass painter = GetPainter();
  TcxButtonState state = cxbsNormal;
  if (!GetEnabled())
    state = cxbsDisabled;
  else if (FPaintAsPressed)
    state = cxbsPressed;
  else if (IsHot() && painter->SupportsButtonHotTrack())
    state = cxbsHot;
  else if (FPaintAsDefault)
    state = cxbsDefault;
  FPaintState = state;
  TcxCanvas* canvas = FPaintCanvas;
  canvas->SetDCHandle(dc);
  try {
    const TRect client{0, 0, GetWidth(), GetHeight()};
    TRect r = client;
    TRect arrow{};
    if (FKind == cxbkDropDownButton) {
      arrow = TRect{r.Right - kArrowWidth, r.Top, r.Right, r.Bottom};
      r.Right -= 13;
    }
    canvas->SetFont(GetFont());
    TColor color = FColors->GetBackgroundColor(state);
    TColor textColor = FColors->GetTextColor(state);
    if (textColor == clDefault) textColor = painter->ButtonGlyphColor(state, GetFont()->GetColor());
    canvas->SetFontColor(textColor);
    if (FOnGetDrawParams) {
      FOnGetDrawParams(this, state, color, canvas->GetFont());
      textColor = canvas->GetFont()->GetColor();
    }
    DrawBackground(canvas, painter, r, state, color, textColor);
    const Integer shift = state == cxbsPressed ? painter->ButtonPressedTextShift() : 0;
    canvas->SaveDC();
    const Integer w = painter->ButtonBorderWidth(state);
    TRect clip{client.Left + w, client.Top + w, client.Right - w, client.Bottom - w};
    if (FKind == cxbkDropDownButton) clip.Right -= 13;
    canvas->IntersectClip(clip);
    const Integer w0 = painter->ButtonBorderWidth(cxbsDefault);
    TRect content{client.Left + w0, client.Top + w0, client.Right - w0, client.Bottom - w0};
    if (FKind == cxbkDropDownButton) content.Right -= 13;
    SetTextColor(canvas->GetHandle(), ColorToRGB(textColor));
    UpdateImageInfo();
    FGlyph->PaintGlyph(canvas, content, TPoint{shift, shift}, GetCaption(), FLayout, FMargin, FSpacing, state, 0,
                       GetWordWrap(), FLookAndFeel->GetSkinPainter() != nullptr);
    canvas->RestoreDC();
    if (FKind == cxbkDropDownButton) {
      TcxButtonState arrowState = state;
      if (IsDropDownMenuShown())
        arrowState = cxbsPressed;
      else if (arrowState == cxbsPressed)
        arrowState = FIsDefaultLook ? cxbsHot : cxbsNormal;
      DrawBackground(canvas, painter, arrow, arrowState, color, textColor);
      painter->DrawStateArrow(canvas, arrow, arrowState, adDown);
    }
    if (GetCanBeFocused() && focused && !IsDropDownMenuShown()) {
      const TRect focusRect = painter->ButtonFocusBounds(canvas, client);
      canvas->DrawFocusFrame(focusRect);
    }
  } catch (...) {
    canvas->SetDCHandle(nullptr);
    throw;
  }
  canvas->SetDCHandle(nullptr);
}
