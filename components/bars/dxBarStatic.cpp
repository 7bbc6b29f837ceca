// The dxBar unit, continued: the controls of labels and separators.

#include <algorithm>

#include "components/bars/dxBar.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"

// ==== Labels ==================================================================================

Boolean TdxBarCustomStaticControl::AcceptsSelection() {
  // Only the customizing user picks a label.
  return inherited::AcceptsSelection() && GetParent() && GetParent()->InCustomizingMode();
}

Byte TdxBarCustomStaticControl::GetDefaultContentKinds() {
  Byte kinds = 0;
  if (GetItem() && GetItem()->GetShowCaption()) kinds |= ceText;
  if (HasImageForSize(GetSizeMode())) kinds |= ceIcon;
  return kinds;
}

TdxBarItemControlDrawParamsClass TdxBarCustomStaticControl::GetDrawParamsClass() {
  return TdxBarStaticLikeControlDrawParams::StaticClass();
}

void TdxBarCustomStaticControl::Draw(const TRect& rect, Integer hostKind) {
  if (TdxBarPainter* painter = GetPainter()) painter->DrawStatic(GetDrawParams(), rect);
}

// ==== Separators ==============================================================================

namespace {
Boolean SeparatorInMenu(TdxBarItemControl* control) { return control->GetParent() && control->GetParent()->GetKind() == 2; }
}  // namespace

TdxBarItemControlDrawParamsClass TdxBarSeparatorControl::GetDrawParamsClass() {
  return TdxBarSeparatorControlDrawParams::StaticClass();
}

void TdxBarSeparatorControl::CalcDrawParams(Boolean full) {
  inherited::CalcDrawParams(full);
  if (auto* p = dynamic_cast<TdxBarSeparatorControlDrawParams*>(GetDrawParams()))
    p->FirstShown = GetItemLink() && GetItemLink()->GetVisibleIndex() == 0;
}

Byte TdxBarSeparatorControl::GetDefaultContentKinds() {
  return SeparatorInMenu(this) && GetItem() && GetItem()->GetShowCaption() ? Byte(ceText) : Byte(0);
}

void TdxBarSeparatorControl::Draw(const TRect& rect, Integer hostKind) {
  TdxBarPainter* painter = GetPainter();
  TcxCanvas* canvas = GetCanvas();
  if (!painter || !canvas) return;
  // A captioned separator writes its caption in bold (the item's style is not used).
  TFont* font = canvas->GetFont();
  const TFontStyles style = font->GetStyle();
  font->SetStyle(style + TFontStyles{fsBold});
  painter->DrawSeparatorItem(GetDrawParams(), rect);
  font->SetStyle(style);
}

Integer TdxBarSeparatorControl::GetWidth() {
  if (SeparatorInMenu(this)) return GetMinWidth();
  return GetParent() ? GetParent()->GetBeginGroupSize() : 6;
}

Integer TdxBarSeparatorControl::GetHeight() {
  TCustomdxBarControl* parent = GetParent();
  if (!SeparatorInMenu(this)) return GetTextSize();
  if (!(GetContentKinds() & ceText)) return parent ? parent->GetBeginGroupSize() : 6;
  TdxBarPainter* painter = GetPainter();
  const Integer line = painter ? painter->GetSeparatorLineHeight() : 2;
  const Boolean first = GetItemLink() && GetItemLink()->GetVisibleIndex() == 0;
  return line * (first ? 1 : 2) + GetTextSize();
}

Integer TdxBarSeparatorControl::GetMinWidth() {
  TdxBarPainter* painter = GetPainter();
  return (painter ? painter->GetSeparatorItemSize(GetDrawParams()) : 6) + GetCaptionWidth();
}
