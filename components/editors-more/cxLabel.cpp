#include "components/editors-more/cxLabel.h"

#include <cmath>

#include "components/editors-more/cxExtEditUtils.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/Menus.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"

namespace {

template <class T>
using LabelOwned = std::unique_ptr<T, orv::FreeDeleter>;

inline constexpr TResStringRec scxSEditRepositoryLabelItem{"Label|Represents a Label"_a};

// "&&" becomes "&", a lone "&" vanishes before its letter and a trailing one becomes "_".
AnsiString LabelStripAccelChars(const AnsiString& text) {
  AnsiString result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      result += text[i];
    } else if (i + 1 == text.size()) {
      result += '_';
    } else if (text[i + 1] == '&') {
      result += '&';
      ++i;
    }
  }
  return result;
}

// Font size in points of the canvas font (the font's own notion of its size).
Integer LabelFontPointSize(TcxCanvas* canvas) { return canvas->GetFont()->GetSize(); }

const bool kLabelRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxLabelProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryLabelItem));
  return true;
}();

}  // namespace

// ==== Line options =============================================================================

void TcxLabelLineOptions::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxLabelLineOptions*>(source)) {
    FVisible = s->FVisible;
    FAlignment = s->FAlignment;
    FInnerColor = s->FInnerColor;
    FOuterColor = s->FOuterColor;
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TcxLabelLineOptions::Changed() { FireNotifyEvent(this, FOnChanged); }

void TcxLabelLineOptions::SetAlignment(TcxLabelLineAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Changed();
}

void TcxLabelLineOptions::SetInnerColor(TColor value) {
  if (value == FInnerColor) return;
  FInnerColor = value;
  Changed();
}

void TcxLabelLineOptions::SetOuterColor(TColor value) {
  if (value == FOuterColor) return;
  FOuterColor = value;
  Changed();
}

void TcxLabelLineOptions::SetVisible(Boolean value) {
  if (value == FVisible) return;
  FVisible = value;
  Changed();
}

// ==== Properties ===============================================================================

TcxCustomLabelProperties::TcxCustomLabelProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner), FLineOptions(new TcxLabelLineOptions) {
  FLineOptions->SetOnChanged(TNotifyEvent(this, &TcxCustomLabelProperties::ChildChanged));
}

TcxCustomLabelProperties::~TcxCustomLabelProperties() {
  orv::Free(FGlyph);
  orv::Free(FLineOptions);
}

void TcxCustomLabelProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomLabelProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetLabelEffect(s->FLabelEffect);
    SetLabelStyle(s->FLabelStyle);
    SetOrientation(s->FOrientation);
    SetDepth(s->FDepth);
    SetShadowedColor(s->FShadowedColor);
    SetAngle(s->FAngle);
    SetPenWidth(s->FPenWidth);
    SetGlyph(s->FGlyph);
    SetShowAccelChar(s->FShowAccelChar);
    SetWordWrap(s->FWordWrap);
    SetLineOptions(s->FLineOptions);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxCustomEditClass TcxCustomLabelProperties::GetEditClass() { return TcxLabel::StaticClass(); }
TcxCustomEditStyleClass TcxCustomLabelProperties::GetStyleClass() { return TcxLabelEditStyle::StaticClass(); }
TcxCustomEditViewInfoClass TcxCustomLabelProperties::GetViewInfoClass() {
  return TcxCustomLabelViewInfo::StaticClass();
}
TcxCustomEditViewDataClass TcxCustomLabelProperties::GetViewDataClass() {
  return TcxCustomLabelViewData::StaticClass();
}

void TcxCustomLabelProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean) {
  displayValue = Variant(VarIsNull(value) || VarIsEmpty(value) ? AnsiString() : VarToStr(value));
}

void TcxCustomLabelProperties::EditValueToDisplayText(const Variant& value, AnsiString& text) {
  Variant display;
  EditValueToDisplayValue(value, display, false);
  text = VarToStr(display);
}

TSize TcxCustomLabelProperties::CalculateExtrusionExtent() {
  if (FLabelEffect == cxleNormal) return TSize{0, 0};
  switch (FOrientation) {
    case cxoLeft:
    case cxoRight: return TSize{FDepth, 0};
    case cxoTop:
    case cxoBottom: return TSize{0, FDepth};
    default: return TSize{FDepth, FDepth};
  }
}

void TcxCustomLabelProperties::SetAngle(Integer value) {
  if (value == FAngle) return;
  FAngle = value;
  Changed();
}

void TcxCustomLabelProperties::SetDepth(Word value) {
  if (value == FDepth) return;
  FDepth = value;
  Changed();
}

TBitmap* TcxCustomLabelProperties::GetGlyph() {
  if (!FGlyph) {
    FGlyph = new TBitmap;
    FGlyph->SetOnChange(TNotifyEvent(this, &TcxCustomLabelProperties::ChildChanged));
  }
  return FGlyph;
}

void TcxCustomLabelProperties::SetGlyph(TBitmap* value) {
  if (!value) {
    FreeAndNil(FGlyph);
  } else {
    GetGlyph()->Assign(value);
  }
  Changed();
}

void TcxCustomLabelProperties::SetLabelEffect(TcxLabelEffect value) {
  if (value == FLabelEffect) return;
  FLabelEffect = value;
  Changed();
}

void TcxCustomLabelProperties::SetLabelStyle(TcxLabelStyle value) {
  if (value == FLabelStyle) return;
  FLabelStyle = value;
  Changed();
}

void TcxCustomLabelProperties::SetOrientation(TcxLabelOrientation value) {
  if (value == FOrientation) return;
  FOrientation = value;
  Changed();
}

void TcxCustomLabelProperties::SetPenWidth(Integer value) {
  if (value == FPenWidth) return;
  FPenWidth = value;
  Changed();
}

void TcxCustomLabelProperties::SetShadowedColor(TColor value) {
  if (value == FShadowedColor) return;
  FShadowedColor = value;
  Changed();
}

void TcxCustomLabelProperties::SetShowAccelChar(Boolean value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  Changed();
}

void TcxCustomLabelProperties::SetShowEndEllipsis(Boolean value) {
  if (value == FShowEndEllipsis) return;
  FShowEndEllipsis = value;
  Changed();
}

void TcxCustomLabelProperties::SetWordWrap(Boolean value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  Changed();
}

// ==== Style ====================================================================================

TcxContainerBorderStyle TcxLabelEditStyle::GetDefaultBorderStyle() const {
  return IsRootStyle() ? cbsNone : inherited::GetDefaultBorderStyle();
}

// ==== View data ================================================================================

Integer TcxCustomLabelViewData::GetStyleShift(TcxCanvas* canvas) {
  const TcxLabelStyle style = LabelProperties()->GetLabelStyle();
  if (style != cxlsRaised && style != cxlsLowered) return 0;
  return LabelFontPointSize(canvas) < 12 ? 1 : 2;
}

void TcxCustomLabelViewData::CalculateSeparatorRect(TRect& textRect, const TRect& clientRect, TRect& lineRect,
                                                    Boolean vertical, Integer lineHeight, Boolean shown,
                                                    TcxLabelLineAlignment alignment) {
  if (!shown) {
    lineRect = TRect{};
    return;
  }
  lineRect = clientRect;
  const Integer k = alignment == cxllaTop ? 1 : (alignment == cxllaBottom ? -1 : 0);
  if (!vertical) {
    switch (alignment) {
      case cxllaTop: lineRect.Bottom = lineRect.Top + lineHeight; break;
      case cxllaBottom: lineRect.Top = lineRect.Bottom - lineHeight; break;
      case cxllaCenter:
        lineRect.Top = clientRect.Top + (GetClampedRectHeight(clientRect) - lineHeight) / 2;
        lineRect.Bottom = lineRect.Top + lineHeight;
        if (HorzAlignment == taLeftJustify)
          lineRect.Left = textRect.Right + 3;
        else if (HorzAlignment == taRightJustify)
          lineRect.Right = textRect.Left - 3;
        break;
    }
    textRect.Top += k * lineHeight;
    textRect.Bottom += k * lineHeight;
  } else {
    switch (alignment) {
      case cxllaTop: lineRect.Right = lineRect.Left + lineHeight; break;
      case cxllaBottom: lineRect.Left = lineRect.Right - lineHeight; break;
      case cxllaCenter:
        lineRect.Left = clientRect.Left + (GetClampedRectWidth(clientRect) - lineHeight) / 2;
        lineRect.Right = lineRect.Left + lineHeight;
        if (VertAlignment == taTopJustify)
          lineRect.Top = textRect.Bottom - 3;
        else if (VertAlignment == taBottomJustify)
          lineRect.Bottom = textRect.Top + 3;
        break;
    }
    textRect.Left -= k * lineHeight;
    textRect.Right -= k * lineHeight;
  }
}

void TcxCustomLabelViewData::AlignTextArea(const TRect& clientRect, const TSize& textSize, TRect& textRect,
                                           Integer angle) {
  textRect = clientRect;
  if (IsInplace && !AreSeparatorsShown(angle)) return;
  switch (HorzAlignment) {
    case taLeftJustify: textRect.Right = std::min(clientRect.Left + textSize.cx, clientRect.Right); break;
    case taRightJustify: textRect.Left = std::max(clientRect.Right - textSize.cx, clientRect.Left); break;
    case taCenter:
      textRect.Left = clientRect.Left + (GetClampedRectWidth(clientRect) - textSize.cx) / 2;
      textRect.Right = textRect.Left + textSize.cx;
      break;
  }
  switch (VertAlignment) {
    case taTopJustify: textRect.Bottom = std::min(textRect.Top + textSize.cy, textRect.Bottom); break;
    case taBottomJustify: textRect.Top = std::max(textRect.Bottom - textSize.cy, textRect.Top); break;
    case taVCenter:
      textRect.Top = textRect.Top + (GetClampedRectHeight(textRect) - textSize.cy) / 2;
      textRect.Bottom = textRect.Top + textSize.cy;
      break;
  }
}

void TcxCustomLabelViewData::MeasureCaption(TcxCanvas* canvas, const TRect& rect, TSize& size,
                                            const AnsiString& caption) {
  TcxCustomLabelProperties* p = LabelProperties();
  const Integer angle = GetEffectiveFontAngle(canvas, p->GetAngle());
  AnsiString text = caption;
  if (angle != 0 && p->GetShowAccelChar()) text = LabelStripAccelChars(text);
  UINT flags = DT_CALCRECT | DT_LEFT | DT_TOP;
  if (p->GetWordWrap() && angle == 0 && (!IsInplace || rect.Right > 0)) flags |= DT_WORDBREAK;
  if (!(p->GetShowAccelChar() && angle == 0)) flags |= DT_NOPREFIX;
  TRect r = rect;
  DrawText(canvas->GetDCHandle(), text.c_str(), Integer(text.size()), &r, flags);
  const Integer w = GetClampedRectWidth(r);
  const Integer h = GetClampedRectHeight(r);
  if (angle == 0) {
    size = TSize{w, h};
  } else {
    const double a = angle * M_PI / 180.0;
    size.cx = Integer(std::trunc(std::fabs(w * std::cos(a)) + std::fabs(h * std::sin(a)) + 0.5));
    size.cy = Integer(std::trunc(std::fabs(w * std::sin(a)) + std::fabs(h * std::cos(a)) + 0.5));
  }
  const Integer shift = GetStyleShift(canvas);
  const TSize extrusion = p->CalculateExtrusionExtent();
  size.cx += shift + extrusion.cx;
  size.cy += shift + extrusion.cy;
}

Integer TcxCustomLabelViewData::GetTextOutFlags() {
  TcxCustomLabelProperties* p = LabelProperties();
  const Boolean wordWrap = p->GetWordWrap() && ((p->GetAngle() % 360) + 360) % 360 == 0;
  return MakeTextFlags(0, HorzAlignment, VertAlignment, (PaintFlags & 1) != 0, wordWrap, 0, false, false);
}

Integer TcxCustomLabelViewData::GetSeparatorHeight() {
  if (Style && Style->GetLookAndFeel()) return Style->GetLookAndFeel()->CurrentPainter()->LabelLineHeight();
  return 2;
}

Boolean TcxCustomLabelViewData::AreSeparatorsShown(Integer angle) {
  return LabelProperties()->GetLineOptions()->GetVisible() && (angle == 0 || angle == 90);
}

void TcxCustomLabelViewData::EditValueToDrawText(const Variant& value, AnsiString& text) {
  Properties->EditValueToDisplayText(value, text);
}

void TcxCustomLabelViewData::SetViewInfoValue(TcxCanvas* canvas, const Variant& value,
                                              TcxCustomEditViewInfo* viewInfo) {
  AnsiString text;
  EditValueToDrawText(value, text);
  static_cast<TcxCustomLabelViewInfo*>(viewInfo)->Text = text;
}

void TcxCustomLabelViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                               TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                               const TPoint& mousePos) {
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  if (IsInplace && (bounds.Bottom == orv::kMaxInt || bounds.Right == orv::kMaxInt)) return;
  auto* info = static_cast<TcxCustomLabelViewInfo*>(viewInfo);
  TcxCustomLabelProperties* p = LabelProperties();
  if (!IsInplace && Edit) info->Transparent = Edit->GetTransparent();
  info->LabelEffect = p->GetLabelEffect();
  info->LabelStyle = p->GetLabelStyle();
  info->Orientation = p->GetOrientation();
  info->Depth = p->GetDepth();
  info->ShadowedColor = p->GetShadowedColor();
  info->ShowAccelChar = p->GetShowAccelChar();
  info->Angle = p->GetAngle();
  info->PenWidth = p->GetPenWidth();
  info->WordWrap = p->GetWordWrap();
  info->SeparatorOuterColor = p->GetLineOptions()->GetOuterColor();
  info->SeparatorInnerColor = p->GetLineOptions()->GetInnerColor();
  info->HorzAlignment = HorzAlignment;
  info->VertAlignment = VertAlignment;
  info->ShowEndEllipsis = (PaintFlags & 1) != 0;
  info->Glyph = p->GetGlyph();
  info->ExtrusionExtent = p->CalculateExtrusionExtent();
  info->TextColor = info->DefaultTextColor;
  info->LinePainter = Style->GetLookAndFeel()->CurrentPainter();
  // Text layout.
  canvas->PushState();
  try {
    canvas->SetFont(Style->GetVisibleFont());
    const Integer angle = GetEffectiveFontAngle(canvas, p->GetAngle());
    info->EffectiveAngle = angle;
    TSize size{0, 0};
    MeasureCaption(canvas, info->ClientRect, size, info->Text);
    info->StyleShift = GetStyleShift(canvas);
    TRect textRect{};
    AlignTextArea(info->ClientRect, size, textRect, angle);
    info->SeparatorVertical = angle != 0;
    CalculateSeparatorRect(textRect, info->ClientRect, info->SeparatorRect, info->SeparatorVertical,
                           GetSeparatorHeight(), AreSeparatorsShown(angle), p->GetLineOptions()->GetAlignment());
    info->LabelTextBounds = textRect;
  } catch (...) {
    canvas->PopState();
    throw;
  }
  canvas->PopState();
  if (IsInplace || !IsFocusedView || info->Text.empty())
    info->FocusFrame = TRect{};
  else
    info->FocusFrame = TRect{info->LabelTextBounds.Left - 1, info->LabelTextBounds.Top - 1, info->LabelTextBounds.Right + 1, info->LabelTextBounds.Bottom + 1};
  info->TextMargins = GetTextOffsets();
}

TSize TcxCustomLabelViewData::GetContentSize(TcxCanvas* canvas, const Variant& value,
                                             const TcxEditSizeProperties& sizeLimits) {
  TcxCustomLabelProperties* p = LabelProperties();
  TSize size{0, 0};
  canvas->PushState();
  try {
    canvas->SetFont(Style->GetVisibleFont());
    TRect r{0, 0, sizeLimits.Width, 0};
    AnsiString text;
    if (Edit)
      Edit->GetDisplayText(text);
    else
      Properties->EditValueToDisplayText(value, text);
    if (text.empty()) text = " ";
    const TSize extrusion = p->CalculateExtrusionExtent();
    const Integer shift = GetStyleShift(canvas);
    const Boolean bordered = !IsInplace && Style->GetEditBorderStyle() != ebsNone;
    if (r.Right >= 0) {
      r.Right -= extrusion.cx + shift;
      if (IsInplace)
        r.Right -= GetContentExtents().cx;
      else if (bordered)
        r.Right -= 2;
    }
    MeasureCaption(canvas, r, size, text);
    if (IsInplace) {
      const TSize e = GetContentExtents();
      size.cx += e.cx;
      size.cy += e.cy;
    } else if (bordered) {
      size.cx += 2;
    }
    const Integer angle = GetEffectiveFontAngle(canvas, p->GetAngle());
    if (AreSeparatorsShown(angle) && p->GetLineOptions()->GetAlignment() != cxllaCenter) {
      if (angle == 0)
        size.cy += GetSeparatorHeight();
      else
        size.cx -= GetSeparatorHeight();
    }
  } catch (...) {
    canvas->PopState();
    throw;
  }
  canvas->PopState();
  return size;
}

// ==== View info ================================================================================

TcxCustomLabelViewInfo::TcxCustomLabelViewInfo() = default;
TcxCustomLabelViewInfo::~TcxCustomLabelViewInfo() = default;

void TcxCustomLabelViewInfo::Assign(TObject* source) {
  inherited::Assign(source);
  if (auto* s = dynamic_cast<TcxCustomLabelViewInfo*>(source)) {
    Text = s->Text;
    LabelTextBounds = s->LabelTextBounds;
    SeparatorRect = s->SeparatorRect;
  }
}

void TcxCustomLabelViewInfo::OffsetRects(Integer dx, Integer dy) {
  inherited::OffsetRects(dx, dy);
  LabelTextBounds = GetOffsetRect(LabelTextBounds, dx, dy);
  if (!orv::IsEmptyRect(SeparatorRect)) SeparatorRect = GetOffsetRect(SeparatorRect, dx, dy);
  if (!orv::IsEmptyRect(FocusFrame)) FocusFrame = GetOffsetRect(FocusFrame, dx, dy);
}

void TcxCustomLabelViewInfo::DoPaint(TcxCanvas* canvas) {
  if (!Transparent || InplaceView) inherited::DoPaint(canvas);
  DrawLabel(canvas);
}

void TcxCustomLabelViewInfo::DrawLabelBackground(TcxCanvas* canvas, const TRect& rect) {
  if (InplaceView && BackgroundDrawHandler) {
    Boolean handled = false;
    BackgroundDrawHandler(this, canvas, handled);
    if (handled) return;
  }
  if (Transparent) {
    if (!InplaceView && Edit && !IsPaintingCopy) DrawTransparentBackground(Edit, canvas, rect);
    return;
  }
  canvas->FillRectWithColor(rect, BackgroundColor);
}

void TcxCustomLabelViewInfo::DrawLabel(TcxCanvas* canvas) {
  if (orv::IsEmptyRect(ClientRect)) return;
  TRect textRect = LabelTextBounds;
  if (InplaceView) textRect = TRect{textRect.Left + TextMargins.Left, textRect.Top + TextMargins.Top, textRect.Right - TextMargins.Right, textRect.Bottom - TextMargins.Bottom};
  canvas->PushState();
  try {
    DrawContent(canvas, ClientRect, textRect, SeparatorRect);
  } catch (...) {
    canvas->PopState();
    throw;
  }
  canvas->PopState();
}

void TcxCustomLabelViewInfo::DrawTextAt(TcxCanvas* canvas, const TPoint& at, const TRect& textRect) {
  if (EffectiveAngle != 0) {
    const AnsiString text = ShowAccelChar ? LabelStripAccelChars(Text) : Text;
    ExtTextOutString(canvas->GetDCHandle(), text, at, nullptr, 0);
    return;
  }
  TRect r = textRect;
  r.Right -= ExtrusionExtent.cx;
  r.Bottom -= ExtrusionExtent.cy;
  r = GetOffsetRect(r, at.X, at.Y);
  Integer flags = MakeTextFlags(0, HorzAlignment, VertAlignment, ShowEndEllipsis && InplaceView,
                                WordWrap, 0, false, ShowAccelChar);
  canvas->DrawTextInRect(Text, r, flags, true);
}

void TcxCustomLabelViewInfo::DrawTexturedText(TcxCanvas* canvas, const TPoint& at, const TRect& textRect) {
  if (Glyph && !Glyph->GetEmpty()) {
    const HDC dc = canvas->GetDCHandle();
    ::BeginPath(dc);
    DrawTextAt(canvas, at, textRect);
    ::EndPath(dc);
    const HRGN shape = PathToRegion(dc);
    canvas->SaveDC();
    if (shape) ExtSelectClipRgn(dc, shape, RGN_AND);
    canvas->FillRectOrTile(textRect, Glyph);
    canvas->RestoreDC();
    if (shape) DeleteObject(shape);
    return;
  }
  DrawTextAt(canvas, at, textRect);
}

void TcxCustomLabelViewInfo::DrawContent(TcxCanvas* canvas, const TRect& area, const TRect& textRect,
                                         const TRect& lineRect) {
  DrawLabelBackground(canvas, area);
  canvas->SetFont(TextFont);
  if (EffectiveAngle != 0) canvas->SetFontAngle(EffectiveAngle);
  // The start point of rotated text: the rotated text's origin so that its box is centred.
  TPoint p{0, 0};
  if (EffectiveAngle != 0) {
    TRect r = textRect;
    r.Right -= ExtrusionExtent.cx;
    r.Bottom -= ExtrusionExtent.cy;
    const AnsiString text = LabelStripAccelChars(Text);
    TRect m{0, 0, 0, 0};
    // Measured unrotated: the size the rotation turns.
    {
      LOGFONT lf = canvas->GetFontInfo();
      lf.lfEscapement = 0;
      lf.lfOrientation = 0;
      const HFONT flat = CreateFontIndirect(&lf);
      const HDC dc = canvas->GetDCHandle();
      const HGDIOBJ old = SelectObject(dc, flat);
      DrawText(dc, text.c_str(), Integer(text.size()), &m, DT_CALCRECT | DT_NOPREFIX);
      SelectObject(dc, old);
      DeleteObject(flat);
    }
    const double a = EffectiveAngle * M_PI / 180.0;
    const double w = GetClampedRectWidth(m);
    const double h = GetClampedRectHeight(m);
    p.X = Integer(std::nearbyint((r.Left + r.Right) / 2.0 - (w / 2) * std::cos(a) - (h / 2) * std::sin(a)));
    p.Y = Integer(std::nearbyint((r.Top + r.Bottom) / 2.0 + (w / 2) * std::sin(a) - (h / 2) * std::cos(a)));
  }
  TSize d{0, 0};
  const Boolean extruded = LabelEffect != cxleNormal && Depth != 0;
  if (extruded) {
    d = ExtrusionExtent;
    if (Orientation == cxoRight || Orientation == cxoRightTop || Orientation == cxoRightBottom) {
      p.X += ExtrusionExtent.cx + StyleShift;
      d.cx = -d.cx;
    }
    if (Orientation == cxoBottom || Orientation == cxoLeftBottom || Orientation == cxoRightBottom) {
      p.Y += ExtrusionExtent.cy + StyleShift;
      d.cy = -d.cy;
    }
    if (LabelEffect == cxleFun || LabelEffect == cxleExtrude) {
      d.cx = (d.cx > 0) - (d.cx < 0);
      d.cy = (d.cy > 0) - (d.cy < 0);
    }
  }
  canvas->SetBrushClear(true);
  if (extruded && (d.cx != 0 || d.cy != 0)) {
    const Integer count = d.cx != 0 ? Depth / std::abs(d.cx) : Depth / std::abs(d.cy);
    const TColor shadow = ColorToRGB(ShadowedColor);
    const TColor back = ColorToRGB(BackgroundColor);
    if (LabelEffect != cxleFun) canvas->SetFontColor(ShadowedColor);
    for (Integer i = 1; i <= count; ++i) {
      if (LabelEffect == cxleFun) {
        auto channel = [&](Integer shiftBits) {
          const Integer b = (back >> shiftBits) & 0xFF;
          const Integer s = (shadow >> shiftBits) & 0xFF;
          return Integer(std::trunc(b + double(i) * (s - b) / count)) & 0xFF;
        };
        canvas->SetFontColor(TColor(channel(0) | (channel(8) << 8) | (channel(16) << 16)));
      }
      DrawTextAt(canvas, p, textRect);
      p.X += d.cx;
      p.Y += d.cy;
    }
  }
  if (d.cx < 0) p.X -= StyleShift;
  if (d.cy < 0) p.Y -= StyleShift;
  const Boolean big = LabelFontPointSize(canvas) >= 12;
  switch (LabelStyle) {
    case cxlsNormal:
      canvas->SetFontColor(TextColor);
      DrawTexturedText(canvas, p, textRect);
      break;
    case cxlsRaised:
      canvas->SetFontColor(clBtnHighlight);
      DrawTextAt(canvas, p, textRect);
      if (big) {
        canvas->SetFontColor(clBtnShadow);
        DrawTextAt(canvas, TPoint{p.X + 2, p.Y + 2}, textRect);
      }
      canvas->SetFontColor(TextColor);
      DrawTexturedText(canvas, TPoint{p.X + 1, p.Y + 1}, textRect);
      break;
    case cxlsLowered:
      if (big) {
        canvas->SetFontColor(clBtnShadow);
        DrawTextAt(canvas, p, textRect);
      }
      canvas->SetFontColor(clBtnHighlight);
      DrawTextAt(canvas, TPoint{p.X + 2, p.Y + 2}, textRect);
      canvas->SetFontColor(TextColor);
      DrawTexturedText(canvas, TPoint{p.X + 1, p.Y + 1}, textRect);
      break;
    case cxlsOutLine: {
      canvas->SetFontColor(TextColor);
      if (Glyph && !Glyph->GetEmpty()) DrawTexturedText(canvas, p, textRect);
      const HDC dc = canvas->GetDCHandle();
      ::BeginPath(dc);
      DrawTextAt(canvas, p, textRect);
      ::EndPath(dc);
      const HPEN pen = CreatePen(PS_SOLID, PenWidth, ColorToRGB(TextColor));
      const HGDIOBJ old = SelectObject(dc, pen);
      StrokePath(dc);
      SelectObject(dc, old);
      DeleteObject(pen);
      break;
    }
  }
  if (!orv::IsEmptyRect(lineRect)) {
    canvas->SaveDC();
    TRect gap = textRect;
    if (SeparatorVertical) {
      gap.Top -= 3;
      gap.Bottom += 3;
    } else {
      gap.Left -= 3;
      gap.Right += 3;
    }
    canvas->ExcludeFromClip(gap);
    TcxCustomLookAndFeelPainterClass painter = LinePainter ? LinePainter : TcxCustomLookAndFeelPainterClass(
                                                                               TcxStandardLookAndFeelPainter::StaticClass());
    painter->DrawLabelLine(canvas, lineRect, SeparatorOuterColor, SeparatorInnerColor, SeparatorVertical);
    canvas->RestoreDC();
  }
  canvas->SetBrushClear(false);
}

// ==== The control ==============================================================================

TcxCustomLabel::TcxCustomLabel(TComponent* owner) : TcxCustomEdit(owner) { SetBounds(GetLeft(), GetTop(), 121, 21); }

void TcxCustomLabel::Initialize() {
  inherited::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csCaptureMouse);
  SetControlStyle(style);
  SetTabStop(false);
}

void TcxCustomLabel::BeforeDestruction() {
  SetFocusControl(nullptr);
  inherited::BeforeDestruction();
}

void TcxCustomLabel::SetFocusControl(TWinControl* value) {
  if (value == FFocusControl || value == this) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = value;
  if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TcxCustomLabel::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TcxCustomLabel::Loaded() {
  inherited::Loaded();
}

Boolean TcxCustomLabel::UsesAnchorX() {
  return GetActiveLabelProperties()->GetAlignment()->GetHorz() != taLeftJustify;
}

Boolean TcxCustomLabel::UsesAnchorY() {
  return GetActiveLabelProperties()->GetAlignment()->GetVert() != taTopJustify;
}

Boolean TcxCustomLabel::CanAutoWidth() { return !GetActiveLabelProperties()->GetWordWrap(); }

TcxCustomEditPropertiesClass TcxCustomLabel::GetPropertiesClass() { return TcxCustomLabelProperties::StaticClass(); }
TcxCustomEditPropertiesClass TcxLabel::GetPropertiesClass() { return TcxLabelProperties::StaticClass(); }

bool TcxCustomLabel::CanFocus() { return IsInplace() && inherited::CanFocus(); }

Boolean TcxCustomLabel::CanFocusOnClick() { return IsInplace() && inherited::CanFocusOnClick(); }

void TcxCustomLabel::SetAutoSize(bool value) {
  if (value && GetLabelProperties()->GetLineOptions()->GetVisible())
    GetLabelProperties()->GetLineOptions()->SetVisible(false);
  inherited::SetAutoSize(value);
}

void TcxCustomLabel::HandlePropertiesChange(TObject* sender) {
  // Lines beside the text need a fixed size to run in.
  if (GetActiveLabelProperties()->GetLineOptions()->GetVisible() && GetAutoSize()) inherited::SetAutoSize(false);
  inherited::HandlePropertiesChange(sender);
}

void TcxCustomLabel::AssignEditValue(const Variant& value, Boolean isUserAction) {
  inherited::AssignEditValue(value, isUserAction);
  if (!FCaptionGuard) {
    FCaptionGuard = true;
    try {
      SetCaption(IsVarNullOrEmpty(value) ? AnsiString() : VarToStr(value));
    } catch (...) {
      FCaptionGuard = false;
      throw;
    }
    FCaptionGuard = false;
  }
  SetInnerDisplayValue(Variant(GetCaption()));
}

void TcxCustomLabel::SetInnerDisplayValue(const Variant& value) {
  static_cast<TcxCustomLabelViewInfo*>(GetEditViewInfo())->Text = VarToStr(value);
  RefreshStateAtCursor(false);
  Invalidate();
}

void TcxCustomLabel::UpdateDisplayValue() {}

void TcxCustomLabel::GetDisplayText(AnsiString& text) { text = GetCaption(); }

void TcxCustomLabel::TextChanged() {
  inherited::TextChanged();
  if (FCaptionGuard) {
    SetInnerDisplayValue(Variant(GetCaption()));
    return;
  }
  FCaptionGuard = true;
  try {
    ChangeEditValue(Variant(GetCaption()));
  } catch (...) {
    FCaptionGuard = false;
    throw;
  }
  FCaptionGuard = false;
  SetInnerDisplayValue(Variant(GetCaption()));
}

void TcxCustomLabel::Dispatch(TMessage& message) {
  if (message.Msg == CM_DIALOGCHAR && FFocusControl && GetEnabled() &&
      GetActiveLabelProperties()->GetShowAccelChar() && IsAccel(Word(message.WParam), GetCaption()) &&
      FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

// ==== Published ================================================================================

const orv::EnumNames<TcxLabelEffect> kLabelEffectNames("TcxLabelEffect",
                                                       {"cxleNormal", "cxleFun", "cxleExtrude", "cxleCool"});
const orv::EnumNames<TcxLabelStyle> kLabelStyleNames("TcxLabelStyle",
                                                     {"cxlsNormal", "cxlsRaised", "cxlsLowered", "cxlsOutLine"});
const orv::EnumNames<TcxLabelOrientation> kLabelOrientationNames(
    "TcxLabelOrientation",
    {"cxoLeft", "cxoRight", "cxoTop", "cxoBottom", "cxoLeftTop", "cxoLeftBottom", "cxoRightTop", "cxoRightBottom"});
const orv::EnumNames<TcxLabelLineAlignment> kLabelLineAlignmentNames("TcxLabelLineAlignment",
                                                                     {"cxllaTop", "cxllaCenter", "cxllaBottom"});

ORV_PUBLISH(TcxLabelLineOptions) {
  using T = TcxLabelLineOptions;
  p.Property("Alignment", &T::GetAlignment, &T::SetAlignment).Default(cxllaCenter);
  p.Property("InnerColor", &T::GetInnerColor, &T::SetInnerColor).Kind("TColor").Default(clDefault);
  p.Property("OuterColor", &T::GetOuterColor, &T::SetOuterColor).Kind("TColor").Default(clDefault);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(false);
}

ORV_PUBLISH(TcxLabelProperties) {
  using T = TcxLabelProperties;
  p.Property("Alignment", [](T* x) { return x->GetAlignment(); }).Stored([](T* x) { return x->IsAlignmentStored(); });
  p.Property("Angle", &T::GetAngle, &T::SetAngle).Default(0);
  p.Property("Depth", &T::GetDepth, &T::SetDepth).Default(Word(0));
  p.Property("Glyph", &T::GetGlyph, &T::SetGlyph).Stored([](T* x) { return x->HasGlyph() && !x->GetGlyph()->GetEmpty(); });
  p.Property("LabelEffect", &T::GetLabelEffect, &T::SetLabelEffect).Default(cxleNormal);
  p.Property("LabelStyle", &T::GetLabelStyle, &T::SetLabelStyle).Default(cxlsNormal);
  p.Property("LineOptions", &T::GetLineOptions);
  p.Property("Orientation", &T::GetOrientation, &T::SetOrientation).Default(cxoRightBottom);
  p.Property("PenWidth", &T::GetPenWidth, &T::SetPenWidth).Default(1);
  p.Property("ShadowedColor", &T::GetShadowedColor, &T::SetShadowedColor).Kind("TColor").Default(clGrayText);
  p.Property("ShowAccelChar", &T::GetShowAccelChar, &T::SetShowAccelChar).Default(true);
  p.Property("ShowEndEllipsis", &T::GetShowEndEllipsis, &T::SetShowEndEllipsis).Stored([](T*) { return false; });
  p.Property("Transparent", &T::GetTransparent, &T::SetTransparent).Stored([](T*) { return false; });
  p.Property("WordWrap", &T::GetWordWrap, &T::SetWordWrap).Default(false);
}

ORV_PUBLISH(TcxLabelEditStyle) {}

ORV_PUBLISH(TcxLabel) {
  using T = TcxLabel;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishCaption(p);
  orv::PublishDrag(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(true);
  p.Property("FocusControl", &T::GetFocusControl, &T::SetFocusControl);
  p.Property("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor).Default(true);
  p.Property("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont).Default(true);
  p.Property("Style", [](T* x) { return x->GetLabelStyle(); }, [](T* x, TcxLabelEditStyle* v) { x->GetLabelStyle()->Assign(v); });
  p.Property("StyleDisabled", [](T* x) { return x->GetEditStyleDisabled(); });
  p.Property("StyleFocused", [](T* x) { return x->GetEditStyleFocused(); });
  p.Property("StyleHot", [](T* x) { return x->GetEditStyleHot(); });
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxLabelProperties* v) { x->SetProperties(v); });
  p.Property("TabOrder", &TWinControl::GetTabOrder, &TWinControl::SetTabOrder).Stored([](T*) { return false; });
  p.Property("Transparent", [](T* x) { return x->GetTransparent(); }, [](T* x, bool v) { x->SetTransparent(v); }).Default(false);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
}
