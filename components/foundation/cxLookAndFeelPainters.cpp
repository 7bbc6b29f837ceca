#include "components/foundation/cxLookAndFeelPainters.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxImageList.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStyles.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

// ==== Painter instances and class references ====================================================

namespace orv {
template <class T>
const T& PainterInstance() {
  static const T instance;
  return instance;
}
}  // namespace orv

namespace {

std::vector<const TcxCustomLookAndFeelPainter*>& PainterRegistry() {
  static std::vector<const TcxCustomLookAndFeelPainter*> registry{
      &orv::PainterInstance<TcxCustomLookAndFeelPainter>(),
      &orv::PainterInstance<TcxStandardLookAndFeelPainter>(),
      &orv::PainterInstance<TcxFlatLookAndFeelPainter>(),
      &orv::PainterInstance<TcxUltraFlatLookAndFeelPainter>(),
      &orv::PainterInstance<TcxOffice11LookAndFeelPainter>(),
      &orv::PainterInstance<TcxWinXPLookAndFeelPainter>()};
  return registry;
}

}  // namespace

TcxCustomLookAndFeelPainterClass::TcxCustomLookAndFeelPainterClass(TClass painterClass) {
  if (!painterClass) return;
  for (const TcxCustomLookAndFeelPainter* p : PainterRegistry())
    if (p->ClassType() == painterClass) {
      FPainter = p;
      return;
    }
  throw EInvalidOperation("Not a registered painter class: " + painterClass->ClassName());
}

TClass TcxCustomLookAndFeelPainterClass::ClassType() const {
  return FPainter ? FPainter->ClassType() : nullptr;
}

bool TcxCustomLookAndFeelPainterClass::InheritsFrom(TClass other) const {
  return FPainter && FPainter->InheritsFrom(other);
}

void RegisterLookAndFeelPainter(const TcxCustomLookAndFeelPainter* painter) {
  auto& registry = PainterRegistry();
  if (painter && std::find(registry.begin(), registry.end(), painter) == registry.end())
    registry.push_back(painter);
}

TcxCustomLookAndFeelPainterClass TcxCustomLookAndFeelPainter::Class() {
  return &orv::PainterInstance<TcxCustomLookAndFeelPainter>();
}
TcxCustomLookAndFeelPainterClass TcxStandardLookAndFeelPainter::Class() {
  return &orv::PainterInstance<TcxStandardLookAndFeelPainter>();
}
TcxCustomLookAndFeelPainterClass TcxFlatLookAndFeelPainter::Class() {
  return &orv::PainterInstance<TcxFlatLookAndFeelPainter>();
}
TcxCustomLookAndFeelPainterClass TcxUltraFlatLookAndFeelPainter::Class() {
  return &orv::PainterInstance<TcxUltraFlatLookAndFeelPainter>();
}
TcxCustomLookAndFeelPainterClass TcxOffice11LookAndFeelPainter::Class() {
  return &orv::PainterInstance<TcxOffice11LookAndFeelPainter>();
}
TcxCustomLookAndFeelPainterClass TcxWinXPLookAndFeelPainter::Class() {
  return &orv::PainterInstance<TcxWinXPLookAndFeelPainter>();
}

TcxLookAndFeelKind LookAndFeelStyleToKind(Integer styleId) {
  switch (styleId) {
    case cxPainterStyleFlat: return lfFlat;
    case cxPainterStyleUltraFlat: return lfUltraFlat;
    case cxPainterStyleOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

// ==== Local helpers ===========================================================================

namespace {

TRect Shrink(const TRect& r, Integer d) { return GetInflatedRect(r, -d, -d); }

// A one-pixel frame in one colour on the chosen sides.
void Frame(TcxCanvas* canvas, const TRect& r, TColor color, TcxBorders borders = cxBordersAll) {
  canvas->DrawBorderLines(r, color, 1, borders);
}

// The rectangle less one pixel on each of the chosen sides.
TRect ShrinkOnBorders(const TRect& r, TcxBorders borders, Integer d = 1) {
  TRect result = r;
  if (borders.Contains(bLeft)) result.Left += d;
  if (borders.Contains(bTop)) result.Top += d;
  if (borders.Contains(bRight)) result.Right -= d;
  if (borders.Contains(bBottom)) result.Bottom -= d;
  return result;
}

void FillPixel(TcxCanvas* canvas, Integer x, Integer y, TColor color) {
  canvas->FillRectWithColor({x, y, x + 1, y + 1}, color);
}

void DrawTriangle(TcxCanvas* canvas, const TPoint (&points)[3], TColor color) {
  canvas->SetBrushColor(color);
  canvas->SetPenColor(color);
  canvas->DrawPolygon(points, 3);
}

void FillFromViewParams(TcxCanvas* canvas, const TRect& rect, const TcxViewParams& params) {
  if (RectIsEmpty(rect)) return;
  if (params.Bitmap && !orv::IsBitmapEmpty(params.Bitmap))
    orv::TileBitmap(canvas->GetHandle(), rect, params.Bitmap);
  else
    canvas->FillRectWithColor(rect, params.Color);
}

Integer TextFlags(TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert, Boolean multiLine,
                  Boolean showEndEllipsis) {
  Integer flags = alignmentHorz == 1 ? cxAlignRight : alignmentHorz == 2 ? cxAlignHCenter : cxAlignLeft;
  flags |= alignmentVert == vaBottom ? cxAlignBottom : alignmentVert == vaCenter ? cxAlignVCenter
                                                                                 : cxAlignTop;
  flags |= multiLine ? cxWordBreak : cxSingleLine;
  if (showEndEllipsis) flags |= cxShowEndEllipsis;
  return flags;
}

// Frees a unit object at exit. Declared as a function-local static right after the object is
// made, so that it goes before the drawing layer and window system that the object was made on.
template <class T>
struct TFreeAtExit {
  T*& Object;
  ~TFreeAtExit() {
    T* object = Object;
    Object = nullptr;
    orv::Free(object);
  }
};

// What lies behind a group box (a windowed control) shows through it.
void DrawGroupBoxParentBackground(TcxCanvas* canvas, TObject* control, const TRect& rect) {
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) DrawParentBackground(windowed, canvas, rect);
}

// Rounds halves toward negative infinity, as the sort arrow's vertical placement does.
Integer FloorHalf(Integer value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

}  // namespace

// ==== Base painter: shared helpers ==============================================================

void TcxCustomLookAndFeelPainter::FillBackground(TcxCanvas* canvas, const TRect& rect,
                                                 Boolean transparent, TColor backgroundColor,
                                                 TBitmap* bitmap) const {
  if (!transparent)
    canvas->FillRectWithColor(rect, backgroundColor);
  else if (bitmap && !orv::IsBitmapEmpty(bitmap) && !RectIsEmpty(rect))
    orv::TileBitmap(canvas->GetHandle(), rect, bitmap);
}

void TcxCustomLookAndFeelPainter::DrawDropDownArrowGlyph(TcxCanvas* canvas, const TRect& rect,
                                                         TColor color) const {
  Integer w = rect.Width() / 2;
  if (w % 2 == 0) ++w;
  const Integer h = w / 2 + 1;
  const Integer x0 = (rect.Left + rect.Right - w) / 2;
  const Integer y0 = MulDiv(rect.Top + rect.Bottom - h, 1, 2);
  const TPoint points[3] = {{x0, y0}, {x0 + w - 1, y0}, {x0 + w / 2, y0 + h - 1}};
  DrawTriangle(canvas, points, color);
}

void TcxCustomLookAndFeelPainter::DrawCellText(TcxCanvas* canvas, const TRect& textRect,
                                               TcxAlignmentHorz alignmentHorz,
                                               TcxAlignmentVert alignmentVert, Boolean multiLine,
                                               Boolean showEndEllipsis, const AnsiString& text,
                                               TFont* font, TColor textColor, Boolean enabled) const {
  if (text.empty()) return;
  canvas->SetBrushClear(true);
  if (font) canvas->SetFontHandle(orv::FontHandle(font));
  if (textColor == clDefault && font) textColor = orv::FontColor(font);
  if (textColor != clDefault && textColor != clNone) canvas->SetFontColor(textColor);
  canvas->DrawTextInRect(text, textRect,
                         TextFlags(alignmentHorz, alignmentVert, multiLine, showEndEllipsis), enabled);
  canvas->SetBrushClear(false);
}

void TcxCustomLookAndFeelPainter::DrawContentAndText(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxButtonState state,
    TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert, Boolean multiLine,
    Boolean showEndEllipsis, const AnsiString& text, TFont* font, TColor textColor,
    TColor backgroundColor, TcxDrawBackgroundEvent onDrawBackground, Boolean isFooter) const {
  if (!(onDrawBackground && onDrawBackground(canvas, bounds)))
    canvas->FillRectWithColor(bounds, backgroundColor);
  DrawCellText(canvas, textRect, alignmentHorz, alignmentVert, multiLine, showEndEllipsis, text,
               font, textColor);
}

void TcxCustomLookAndFeelPainter::DrawFooterSeparatorAndBorder(TcxCanvas* canvas, const TRect& rect,
                                                               TcxBorders borders) const {
  const Integer s = FooterSeparatorSize();
  DrawFooterSeparator(canvas, {rect.Left, rect.Top, rect.Right, rect.Top + s});
  DrawFooterFrame(canvas, {rect.Left, rect.Top + s, rect.Right, rect.Bottom});
}

TRect TcxCustomLookAndFeelPainter::FooterCellContentBounds(const TRect& rect) const {
  return Shrink(rect, FooterCellBorderWidth());
}

TRect TcxCustomLookAndFeelPainter::FooterCellTextAreaBounds(const TRect& rect) const {
  return Shrink(FooterCellContentBounds(rect), 2);
}

TColor TcxCustomLookAndFeelPainter::DefaultCalendarContentColor() const {
  const TColor color = DefaultEditorBackgroundColor(false);
  return color == clDefault ? DefaultContentColor() : color;
}

// ==== Arrows ====================================================================================

void TcxCustomLookAndFeelPainter::ComputeArrowTriangle(const TRect& rect,
                                                       TcxArrowDirection direction,
                                                       Boolean proportional, Integer arrowSize,
                                                       TPoint (&points)[3]) {
  TRect r = rect;
  if (proportional) {
    const Integer d = r.Width() - r.Height();
    if (d > 0) {
      r.Left += d / 2;
      r.Right -= d / 2;
    } else {
      r.Top -= d / 2;
      r.Bottom += d / 2;
    }
  }
  const Boolean vertical = direction == adUp || direction == adDown;
  Integer s = arrowSize;
  if (s == 0) s = vertical ? (r.Width() - 1) / 4 + 1 : (r.Height() - 1) / 4 + 1;
  const Integer cx = vertical ? 2 * s - 1 : s;
  const Integer cy = vertical ? s : 2 * s - 1;
  const Integer L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  const Integer y0 = MulDiv(T + B - cy, 1, 2);
  const Integer x0 = (L + R - cx) / 2;
  switch (direction) {
    case adUp:
      points[0] = {(L + R - cx) / 2, y0 + cy - 1};
      points[1] = {(L + R - 1) / 2, y0};
      points[2] = {points[0].X + cx - 1, points[0].Y};
      break;
    case adDown:
      points[2] = {(L + R - cx) / 2, y0};
      points[1] = {(L + R - 1) / 2, y0 + cy - 1};
      points[0] = {points[2].X + cx - 1, y0};
      break;
    case adLeft:
      points[1] = {x0, (T + B) / 2};
      points[2] = {x0 + cx - 1, y0};
      points[0] = {points[2].X, points[2].Y + cy - 1};
      break;
    case adRight:
      points[0] = {x0, y0};
      points[1] = {x0 + cx - 1, (T + B) / 2};
      points[2] = {x0, y0 + cy - 1};
      break;
  }
}

void TcxCustomLookAndFeelPainter::DrawDirectionArrow(TcxCanvas* canvas, const TRect& rect,
                                                     TcxArrowDirection direction,
                                                     TColor color) const {
  TPoint points[3];
  ComputeArrowTriangle(rect, direction, true, 0, points);
  DrawTriangle(canvas, points, color);
}

void TcxCustomLookAndFeelPainter::DrawArrowButton(TcxCanvas* canvas, const TRect& rect,
                                                  TcxButtonState state, TcxArrowDirection direction,
                                                  Boolean drawBackground) const {
  TPoint points[3];
  ComputeArrowTriangle(rect, direction, false, 0, points);
  if (drawBackground)
    DrawArrowButtonBackground(canvas, rect, state);
  else
    canvas->FillRectWithColor(rect, ButtonFaceColor(state));
  DrawTriangle(canvas, points, ButtonGlyphColor(state, clDefault));
}

void TcxCustomLookAndFeelPainter::DrawArrowButtonBackground(TcxCanvas* canvas, const TRect& rect,
                                                            TcxButtonState state) const {
  canvas->FillRectWithColor(rect, ButtonFaceColor(state));
  DrawButtonFrame(canvas, rect, state);
}

void TcxCustomLookAndFeelPainter::DrawStateArrow(TcxCanvas* canvas, const TRect& rect,
                                                 TcxButtonState state,
                                                 TcxArrowDirection direction) const {
  TRect r = rect;
  if (state == cxbsPressed) {
    const Integer shift = ButtonPressedTextShift();
    r = GetOffsetRect(r, shift, shift);
  }
  TPoint points[3];
  ComputeArrowTriangle(r, direction, true, 0, points);
  if (state == cxbsDisabled) {
    const TPoint shifted[3] = {{points[0].X + 1, points[0].Y + 1},
                               {points[1].X + 1, points[1].Y + 1},
                               {points[2].X + 1, points[2].Y + 1}};
    DrawTriangle(canvas, shifted, clBtnHighlight);
    DrawTriangle(canvas, points, clBtnShadow);
  } else {
    DrawTriangle(canvas, points, ButtonGlyphColor(state, clDefault));
  }
}

// ==== Buttons ===================================================================================

TRect TcxCustomLookAndFeelPainter::ButtonFocusBounds(TcxCanvas* canvas, const TRect& rect) const {
  const TRect r = Shrink(rect, 4);
  return RectIsEmpty(r) ? rect : r;
}

TRect TcxCustomLookAndFeelPainter::GroupButtonBorderWidths(Integer buttonCount,
                                                           Integer buttonIndex) const {
  const Integer w = ButtonBorderWidth(cxbsNormal);
  return {w, w, w, w};
}

TColor TcxCustomLookAndFeelPainter::ButtonGlyphColor(TcxButtonState state, TColor color) const {
  if (state == cxbsDisabled) return clBtnShadow;
  return color == clDefault ? clBtnText : color;
}

void TcxCustomLookAndFeelPainter::DrawPushButton(TcxCanvas* canvas, const TRect& rect,
                                                 const AnsiString& caption, TcxButtonState state,
                                                 Boolean drawBorder, TColor color, TColor textColor,
                                                 Boolean wordWrap, TcxButtonKind buttonKind) const {
  TRect r = rect;
  if (drawBorder) {
    DrawButtonFrame(canvas, r, state);
    r = Shrink(r, ButtonBorderWidth(state));
  }
  if (color == clDefault) color = ButtonFaceColor(state);
  canvas->FillRectWithColor(r, color);
  if (textColor == clDefault) textColor = ButtonGlyphColor(state, clDefault);
  canvas->SetBrushClear(true);
  if (r.Height() % 2 != 0) --r.Bottom;
  if (r.Height() < 18) --r.Top;
  if (state == cxbsPressed) {
    const Integer shift = ButtonPressedTextShift();
    r = GetOffsetRect(r, shift, shift);
  }
  if (!caption.empty()) {
    canvas->SetFontColor(textColor);
    canvas->DrawTextInRect(caption, r,
                           cxAlignHCenter | cxAlignVCenter | cxShowPrefix |
                               (wordWrap ? cxWordBreak : cxSingleLine),
                           state != cxbsDisabled);
  }
  canvas->SetBrushClear(false);
}

void TcxCustomLookAndFeelPainter::DrawGroupButton(TcxCanvas* canvas, const TRect& rect,
                                                  TcxButtonState state, Integer buttonCount,
                                                  Integer buttonIndex, TColor frameColor) const {
  DrawPushButton(canvas, rect, "", state, true, clDefault, clDefault, false, cxbkPushButton);
}

// ==== Expand buttons ============================================================================

void TcxCustomLookAndFeelPainter::DrawPlusMinusCross(TcxCanvas* canvas, const TRect& rect,
                                                     Boolean expanded, TColor color) {
  const Integer cx = (rect.Left + rect.Right) / 2, cy = (rect.Top + rect.Bottom) / 2;
  const Integer h = (rect.Width() - 4) / 2;
  canvas->FillRectWithColor({cx - h, cy, cx + h + 1, cy + 1}, color);
  if (!expanded) canvas->FillRectWithColor({cx, cy - h, cx + 1, cy + h + 1}, color);
}

void TcxCustomLookAndFeelPainter::DrawSmallPlusMinusButton(TcxCanvas* canvas, const TRect& rect,
                                                           Boolean expanded, TColor borderColor,
                                                           TColor color) const {
  Frame(canvas, rect, borderColor);
  if (color != clDefault) canvas->FillRectWithColor(Shrink(rect, 1), color);
  DrawPlusMinusCross(canvas, rect, expanded, clBtnText);
}

void TcxCustomLookAndFeelPainter::DrawGroupExpandChevronButton(TcxCanvas* canvas, const TRect& rect,
                                                               Boolean pointingUp,
                                                               TcxButtonState state) const {
  DrawPushButton(canvas, rect, "", state, true, clDefault, clDefault, false, cxbkPushButton);
  canvas->SetPenColor(ButtonGlyphColor(state, clDefault));
  // Two chevrons 7 wide and 4 high, each two rows thick, the second 4 rows below the first.
  const Integer x = (rect.Left + rect.Right - 7) / 2;
  const Integer y = (rect.Top + rect.Bottom - 9) / 2;
  for (Integer chevron = 0; chevron < 2; ++chevron)
    for (Integer row = 0; row < 2; ++row) {
      const Integer top = y + 4 * chevron + row;
      if (pointingUp) {
        canvas->MoveToPoint(x, top + 3);
        canvas->LineToPoint(x + 3, top);
        canvas->LineToPoint(x + 7, top + 4);
      } else {
        canvas->MoveToPoint(x, top);
        canvas->LineToPoint(x + 3, top + 3);
        canvas->LineToPoint(x + 7, top - 1);
      }
    }
}

Boolean TcxCustomLookAndFeelPainter::IsPointInGroupExpandChevronButton(const TRect& rect,
                                                                       const TPoint& point) const {
  return IsPointInRect(rect, point);
}

// ==== Check box, radio button, label line ======================================================

TColor TcxCustomLookAndFeelPainter::CheckBoxColor(TcxButtonState state) const {
  return state == cxbsPressed || state == cxbsDisabled ? clBtnFace : clWindow;
}

namespace {
TSize gCheckBoxSize{13, 13};
}  // namespace

void CalculateCheckBoxSize() {
  // The classic check-box bitmap holds 4 x 3 glyphs of 13 x 13 pixels; the platform layer has
  // no such bitmap, so the classic glyph size stands in for it.
  gCheckBoxSize = {13, 13};
}

TSize TcxCustomLookAndFeelPainter::CheckBoxSize() const { return gCheckBoxSize; }

void TcxCustomLookAndFeelPainter::DrawCheckMark(TcxCanvas* canvas, const TRect& rect,
                                                TcxButtonState state, Boolean checked,
                                                TColor markColor) const {
  if (!canvas->IsBrushClear()) canvas->FillRectWithColor(rect, CheckBoxColor(state));
  if (!checked) return;
  canvas->SetPenColor(markColor);
  const Integer w = rect.Width() - 2, h = rect.Height() - 4;
  const Integer xm = (rect.Left + rect.Right) / 2 - 1;
  const Integer y = (rect.Top + rect.Bottom + h) / 2 - 2;
  for (Integer d = 0; d < 3; ++d) {
    canvas->MoveToPoint(xm - w / 2 + 1, y + d - h / 2);
    canvas->LineToPoint(xm, y + d);
    canvas->LineToPoint(xm + w / 2 + 2, y + d - h);
  }
}

void TcxCustomLookAndFeelPainter::DrawCheckBox(TcxCanvas* canvas, const TRect& rect,
                                               TcxButtonState state, Boolean checked) const {
  DrawCheckBoxWithState(canvas, rect, state, checked ? cbsChecked : cbsUnchecked);
}

void TcxCustomLookAndFeelPainter::DrawCheckBoxWithState(TcxCanvas* canvas, const TRect& rect,
                                                        TcxButtonState state,
                                                        TcxCheckBoxState checkState) const {
  DrawCheckBoxFrame(canvas, rect, state);
  DrawCheckMark(canvas, Shrink(rect, CheckBoxBorderWidth()), state, checkState == cbsChecked,
                state == cxbsDisabled ? clGrayText : clBtnText);
}

void TcxCustomLookAndFeelPainter::DrawRadioButton(TcxCanvas* canvas, Integer x, Integer y,
                                                  TcxButtonState state, Boolean checked,
                                                  Boolean focused, TColor backgroundColor,
                                                  Boolean isDesigning) const {
  GetRadioButtonImageList()->Draw(canvas, x, y, backgroundColor, LookAndFeelStyleToKind(StyleId()),
                                  state, checked, focused, isDesigning);
}

TSize TcxCustomLookAndFeelPainter::RadioButtonGlyphSize() const {
  return GetRadioButtonImageList()->GetSize();
}

void TcxCustomLookAndFeelPainter::DrawLabelLine(TcxCanvas* canvas, const TRect& rect,
                                                TColor shadowColor, TColor highlightColor,
                                                Boolean isVertical) const {
  if (shadowColor == clDefault) shadowColor = clBtnShadow;
  if (highlightColor == clDefault) highlightColor = clBtnHighlight;
  canvas->DrawTwoColorFrame(rect, shadowColor, highlightColor,
                            isVertical ? TcxBorders{bLeft, bRight} : TcxBorders{bTop, bBottom}, 1);
}

// ==== Headers ===================================================================================

void TcxCustomLookAndFeelPainter::DrawHeaderCell(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxNeighbors neighbors,
    TcxBorders borders, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
    const AnsiString& text, TFont* font, TColor textColor, TColor backgroundColor,
    TcxDrawBackgroundEvent onDrawBackground, Boolean isLast, Boolean isGroup) const {
  DrawHeaderCellBorder(canvas, bounds, neighbors, borders);
  DrawContentAndText(canvas, HeaderCellContentBounds(bounds, borders), textRect, state,
                     alignmentHorz, alignmentVert, multiLine, showEndEllipsis, text, font,
                     textColor, backgroundColor, onDrawBackground, false);
}

void TcxCustomLookAndFeelPainter::DrawHeaderCellEx(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxNeighbors neighbors,
    TcxBorders borders, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
    const AnsiString& text, TFont* font, TColor textColor, TColor backgroundColor,
    TcxDrawBackgroundEvent onDrawBackground) const {
  DrawHeaderCell(canvas, bounds, textRect, neighbors, borders, state, alignmentHorz, alignmentVert,
                 multiLine, showEndEllipsis, text, font, textColor, backgroundColor,
                 onDrawBackground, false, false);
}

void TcxCustomLookAndFeelPainter::DrawHeaderCellPressed(TcxCanvas* canvas, const TRect& rect) const {
  canvas->InvertArea(rect);
}

void TcxCustomLookAndFeelPainter::DrawHeaderSection(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxNeighbors neighbors,
    TcxBorders borders, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
    const AnsiString& text, TFont* font, TColor textColor, TColor backgroundColor) const {
  DrawHeaderSectionBorder(canvas, bounds, borders, state);
  DrawHeaderSectionContent(canvas, HeaderSectionContentBounds(bounds, state), textRect, state,
                           alignmentHorz, alignmentVert, multiLine, showEndEllipsis, text, font,
                           textColor, backgroundColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderSectionContent(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxButtonState state,
    TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert, Boolean multiLine,
    Boolean showEndEllipsis, const AnsiString& text, TFont* font, TColor textColor,
    TColor backgroundColor) const {
  canvas->FillRectWithColor(bounds, backgroundColor);
  DrawHeaderSectionText(canvas, HeaderSectionTextBounds(textRect, state), state, alignmentHorz,
                        alignmentVert, multiLine, showEndEllipsis, text, font, textColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderSectionText(
    TcxCanvas* canvas, const TRect& textRect, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
    const AnsiString& text, TFont* font, TColor textColor) const {
  // A disabled section's text is embossed by the canvas.
  DrawCellText(canvas, textRect, alignmentHorz, alignmentVert, multiLine, showEndEllipsis, text,
               font, textColor, state != cxbsDisabled);
}

void TcxCustomLookAndFeelPainter::DrawHeaderSeparatorLine(TcxCanvas* canvas, const TRect& bounds,
                                                          Integer indent, TColor color,
                                                          const TcxViewParams& viewParams) const {
  FillFromViewParams(canvas, {bounds.Left, bounds.Top, bounds.Left + indent, bounds.Bottom},
                     viewParams);
  FillFromViewParams(canvas, {bounds.Right - indent, bounds.Top, bounds.Right, bounds.Bottom},
                     viewParams);
  canvas->FillRectWithColor({bounds.Left + indent, bounds.Top, bounds.Right - indent, bounds.Bottom},
                            color);
}

void TcxCustomLookAndFeelPainter::DrawSortTriangle(TcxCanvas* canvas, const TRect& rect,
                                                   Boolean ascending, TColor color1,
                                                   TColor color2) const {
  const TPoint size = SortArrowSize();
  const Integer w = size.X, h = size.Y, d = ascending ? 1 : -1;
  Integer x = (rect.Left + rect.Right) / 2;
  if (w % 2 == 0) --x;
  const Integer y = ascending ? FloorHalf(rect.Top + rect.Bottom - h)
                              : FloorHalf(rect.Top + rect.Bottom + h) - 1;
  const Integer a = w / 2;
  const Integer a2 = w % 2 == 0 ? a - 1 : a;
  canvas->SetPenColor(color1);
  canvas->MoveToPoint(x + a, y + (h - 2) * d);
  canvas->LineToPoint(x + a - a2, y);
  canvas->LineToPoint(x + a, y + (h - 1) * d);
  if (!ascending) canvas->SetPenColor(color2);
  canvas->LineToPoint(x - a2, y + (h - 1) * d);
  if (ascending) canvas->SetPenColor(color2);
  canvas->LineToPoint(x, y);
  canvas->LineToPoint(x - a2, y + (h - w % 2) * d);
}

TRect TcxCustomLookAndFeelPainter::HeaderCellExtendedBounds(const TRect& rect,
                                                            TcxNeighbors neighbors,
                                                            TcxBorders borders) const {
  const Integer w = HeaderCellBorderWidth();
  const TcxBorders own = HeaderCellBorders(neighbors);
  TRect r = rect;
  if (borders.Contains(bLeft) && !own.Contains(bLeft)) r.Left -= w;
  if (borders.Contains(bTop) && !own.Contains(bTop)) r.Top -= w;
  if (borders.Contains(bRight) && !own.Contains(bRight)) r.Right += w;
  if (borders.Contains(bBottom) && !own.Contains(bBottom)) r.Bottom += w;
  return r;
}

TRect TcxCustomLookAndFeelPainter::HeaderCellContentBounds(const TRect& rect,
                                                           TcxBorders borders) const {
  return ShrinkOnBorders(rect, borders, HeaderCellBorderWidth());
}

TRect TcxCustomLookAndFeelPainter::HeaderSectionTextBounds(const TRect& rect,
                                                           TcxButtonState state) const {
  return state == cxbsPressed ? GetOffsetRect(rect, 1, 1) : rect;
}

TRect TcxCustomLookAndFeelPainter::HeaderSectionContentBounds(const TRect& rect,
                                                              TcxButtonState state) const {
  return Shrink(rect, HeaderSectionBorderWidth(state));
}

Integer TcxCustomLookAndFeelPainter::HeaderCellTextWidth(TcxCanvas* canvas, TcxBorders borders,
                                                         const AnsiString& text, TFont* font) const {
  if (font) canvas->SetFontHandle(orv::FontHandle(font));
  Integer result = canvas->TextWidthOf(text) + 4;
  const Integer w = HeaderCellBorderWidth();
  if (borders.Contains(bLeft)) result += w;
  if (borders.Contains(bRight)) result -= w;
  return result;
}

// ==== Footer ====================================================================================

void TcxCustomLookAndFeelPainter::DrawFooterCell(TcxCanvas* canvas, const TRect& bounds,
                                                 TcxAlignmentHorz alignmentHorz,
                                                 TcxAlignmentVert alignmentVert, Boolean multiLine,
                                                 const AnsiString& text, TFont* font,
                                                 TColor textColor, TColor backgroundColor,
                                                 TcxDrawBackgroundEvent onDrawBackground) const {
  DrawFooterCellFrame(canvas, bounds);
  DrawFooterCellContent(canvas, bounds, alignmentHorz, alignmentVert, multiLine, text, font,
                        textColor, backgroundColor, onDrawBackground);
}

void TcxCustomLookAndFeelPainter::DrawFooterCellContent(
    TcxCanvas* canvas, const TRect& bounds, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, const AnsiString& text, TFont* font,
    TColor textColor, TColor backgroundColor, TcxDrawBackgroundEvent onDrawBackground) const {
  DrawContentAndText(canvas, FooterCellContentBounds(bounds), FooterCellTextAreaBounds(bounds),
                     cxbsNormal, alignmentHorz, alignmentVert, multiLine, false, text, font,
                     textColor, backgroundColor, onDrawBackground, true);
}

void TcxCustomLookAndFeelPainter::DrawFooterArea(TcxCanvas* canvas, const TRect& rect,
                                                 const TcxViewParams& viewParams) const {
  FillFromViewParams(canvas, rect, viewParams);
}

void TcxCustomLookAndFeelPainter::DrawFooterSeparator(TcxCanvas* canvas, const TRect& rect) const {
  canvas->FillRectWithColor(rect, DefaultFooterSeparatorColor());
}

// ==== Filter box ================================================================================

void TcxCustomLookAndFeelPainter::DrawFilterBoxCloseButton(TcxCanvas* canvas, const TRect& rect,
                                                           TcxButtonState state) const {
  DrawButtonFrame(canvas, rect, state);
  const TRect r = Shrink(rect, ButtonBorderWidth(cxbsNormal));
  canvas->FillRectWithColor(r, ButtonFaceColor(state));
  canvas->SetPenColor(ButtonGlyphColor(state, clDefault));
  Integer c = FilterBoxCloseButtonSize().X / 2;
  if (c % 2 == 0) --c;
  Integer x = (r.Left + r.Right - c) / 2, y = (r.Top + r.Bottom - c) / 2;
  if (ButtonGlyphState(state) == cxbsPressed) {
    ++x;
    ++y;
  }
  for (Integer dx = 0; dx < 2; ++dx) {
    canvas->MoveToPoint(x + dx, y);
    canvas->LineToPoint(x + dx + c, y + c);
    canvas->MoveToPoint(x + dx, y + c - 1);
    canvas->LineToPoint(x + dx + c, y - 1);
  }
}

// ==== Indicator =================================================================================

void TcxCustomLookAndFeelPainter::DrawIndicatorCustomizationGlyph(TcxCanvas* canvas,
                                                                  const TRect& rect,
                                                                  TColor color) const {
  canvas->SetPenColor(color);
  const Integer x = rect.Left + 3, w = rect.Width() - 6;
  for (Integer i = 0; i < 5; ++i) {
    const Integer y = (rect.Top + rect.Bottom - 9) / 2 + 2 * i;
    if (i % 2 == 0) FillPixel(canvas, x, y, color);
    canvas->MoveToPoint(x + 2, y);
    canvas->LineToPoint(x + w, y);
  }
}

void TcxCustomLookAndFeelPainter::DrawIndicatorGlyph(TcxCanvas* canvas, const TRect& rect,
                                                     Integer kind) const {
  if (kind == 0) return;
  TcxImageList* images = GetIndicatorImages();
  const Integer index = (kind & 0x7F) - 1;
  // A kind beyond the six glyphs draws nothing.
  if (!images || index < 0 || index >= images->GetCount()) return;
  images->Draw(canvas, (rect.Left + rect.Right - images->GetWidth()) / 2,
               (rect.Top + rect.Bottom - images->GetHeight()) / 2, index);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorCell(TcxCanvas* canvas, const TRect& rect,
                                                    Integer kind, TColor backgroundColor,
                                                    TcxDrawBackgroundEvent onDrawBackground) const {
  DrawHeaderCell(canvas, rect, rect, {}, HeaderCellBorders({nTop, nBottom}), cxbsNormal, 0, vaTop,
                 false, false, "", nullptr, clNone, backgroundColor, onDrawBackground, false, false);
  DrawIndicatorGlyph(canvas, rect, kind);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorCellEx(TcxCanvas* canvas, const TRect& rect,
                                                      Integer kind, TColor backgroundColor,
                                                      TcxDrawBackgroundEvent onDrawBackground) const {
  DrawHeaderCellEx(canvas, rect, rect, {}, cxBordersAll, cxbsNormal, 0, vaTop, false, false, "",
                   nullptr, clNone, backgroundColor, onDrawBackground);
  DrawIndicatorGlyph(canvas, rect, kind);
}

// ==== Scroll bars and size grip =================================================================

void TcxCustomLookAndFeelPainter::DrawScrollBarPageArea(TcxCanvas* canvas, const TRect& rect,
                                                        TcxButtonState state) {
  canvas->FillRectOrTile(rect, GetScrollBarBitmap(state == cxbsPressed));
}

TcxArrowDirection TcxCustomLookAndFeelPainter::ScrollBarArrowDirection(Boolean isHorizontal,
                                                                       TcxScrollBarPart part) {
  if (part == sbpLineUp) return isHorizontal ? adLeft : adUp;
  return isHorizontal ? adRight : adDown;
}

TSize TcxCustomLookAndFeelPainter::SizeGripExtent() const {
  return {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TcxCustomLookAndFeelPainter::DrawSizeGripArea(TcxCanvas* canvas, const TRect& rect,
                                                   TColor backgroundColor) const {
  canvas->FillRectWithColor(rect, backgroundColor);
  TRect r = rect;
  DrawFrameControl(canvas->GetHandle(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

// ==== Calendar and calculator ===================================================================

void TcxCustomLookAndFeelPainter::DrawCalendarDateTimePanel(TcxCanvas* canvas, TRect& rect) const {
  canvas->FillRectWithColor(rect, DefaultCalendarHeaderColor());
  canvas->Draw3DEdge(rect, false, true);
  rect = Shrink(rect, 1);
}

namespace {

// Rounds to the nearest integer, halves to even.
Integer RoundEven(double value) { return Integer(std::nearbyint(value)); }

// Text at a point in the current font and a colour, on a transparent background.
void OutText(HDC dc, Integer x, Integer y, const AnsiString& text, TColor color) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(color));
  TextOut(dc, x, y, text.data(), Integer(text.size()));
}

// A memory DC with a bitmap of its own compatible with `dc`.
struct TScratchDC {
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ OldBitmap = nullptr;
  TScratchDC(HDC dc, Integer width, Integer height) {
    Dc = CreateCompatibleDC(dc);
    Bitmap = CreateCompatibleBitmap(dc, std::max<Integer>(width, 1), std::max<Integer>(height, 1));
    OldBitmap = SelectObject(Dc, Bitmap);
  }
  ~TScratchDC() {
    SelectObject(Dc, OldBitmap);
    DeleteObject(Bitmap);
    DeleteDC(Dc);
  }
  TScratchDC(const TScratchDC&) = delete;
  TScratchDC& operator=(const TScratchDC&) = delete;
};

// A filled triangle pointing left or right whose tip lies at `tipX`, centred on `centerY`.
void DrawHorizontalArrow(TcxCanvas* canvas, Integer tipX, Integer centerY, Integer height,
                         Boolean pointsLeft, TColor color) {
  const Integer half = height / 2;
  const Integer baseX = pointsLeft ? tipX + half : tipX - half;
  const TPoint points[3] = {{tipX, centerY}, {baseX, centerY - half}, {baseX, centerY + half}};
  DrawTriangle(canvas, points, color);
}

// The arrows of a month header inside its inner rect (1 left, 2 right, 3 both), as high as the
// odd number nearest half the inner height.
void DrawMonthHeaderArrows(TcxCanvas* canvas, const TRect& inner, Integer arrows) {
  Integer height = inner.Height() / 2;
  if (height % 2 == 0) --height;
  if (height < 1) return;
  const Integer centerY = (inner.Top + inner.Bottom) / 2, margin = height / 2 + 2;
  if (arrows == 1 || arrows == 3)
    DrawHorizontalArrow(canvas, inner.Left + margin, centerY, height, true, clWindowText);
  if (arrows == 2 || arrows == 3)
    DrawHorizontalArrow(canvas, inner.Right - 1 - margin, centerY, height, false, clWindowText);
}

}  // namespace

void TcxCustomLookAndFeelPainter::DrawCalendarMonthHeader(
    TcxCanvas* canvas, const TRect& rect, const AnsiString& text, TcxNeighbors neighbors,
    const TcxViewParams& viewParams, Integer arrows, TcxBorders sideBorders,
    TcxDrawBackgroundEvent onCustomDraw) const {
  const TcxBorders borders = HeaderCellBorders(neighbors);
  DrawHeaderCell(canvas, rect, rect, neighbors, borders, cxbsNormal, 2, vaCenter, false, false,
                 text, viewParams.Font, viewParams.TextColor, viewParams.Color, onCustomDraw);
  DrawMonthHeaderArrows(canvas, HeaderCellContentBounds(rect, borders), arrows);
}

void TcxCustomLookAndFeelPainter::DrawClockFace(TcxCanvas* canvas, const TRect& rect,
                                                TDateTime time, TColor backgroundColor) const {
  constexpr double kPi = 3.14159265358979323846;
  const Integer cx = (rect.Left + rect.Right) / 2, cy = (rect.Top + rect.Bottom) / 2;
  const double rx = rect.Width() / 2.0 - 2, ry = rect.Height() / 2.0 - 2;
  // The marks are kept out of the clip region while the face is filled.
  canvas->PushClipRegion();
  for (Integer i = 0; i < 60; i += 5) {
    const double a = i * 2 * kPi / 60;
    const Integer x = RoundEven(cx + rx * std::cos(a)), y = RoundEven(cy + ry * std::sin(a));
    canvas->SetPixelColor(x, y, TColor(0x808000));
    canvas->SetPenColor(TColor(0xFFFF00));
    const TPoint light[3] = {{x - 1, y + 1}, {x - 1, y - 1}, {x, y - 1}};
    canvas->DrawPolyline(light, 3);
    canvas->SetPenColor(clBtnText);
    const TPoint dark[3] = {{x, y + 1}, {x + 1, y + 1}, {x + 1, y - 1}};
    canvas->DrawPolyline(dark, 3);
    canvas->ExcludeFromClip({x - 1, y - 1, x + 2, y + 2});
  }
  canvas->FillRectWithColor(rect, backgroundColor);

  Word hours, minutes, seconds, msec;
  DecodeTime(time, hours, minutes, seconds, msec);
  const double rx2 = (rect.Right - rect.Left) / 2.0 - 2, ry2 = (rect.Bottom - rect.Top) / 2.0 - 2;
  auto hand = [&](double f, double width, double tail, double tip) {
    auto at = [&](double radiusX, double radiusY, double angle) {
      return TPoint{RoundEven(cx + radiusX * std::cos(angle)), RoundEven(cy + radiusY * std::sin(angle))};
    };
    const TPoint points[4] = {at(tip * rx2, tip * ry2, f), at(width / 2, width / 2, f + kPi / 2),
                              at(tail * rx2, tail * ry2, f + kPi),
                              at(width / 2, width / 2, f + 3 * kPi / 2)};
    canvas->SetPixelColor(points[0].X, points[0].Y, TColor(0x808000));
    canvas->SetBrushColor(TColor(0x808000));
    canvas->SetPenColor(TColor(0x808000));
    canvas->DrawPolygon(points, 4);
  };
  hand((hours % 12 * 3600 + minutes * 60 + seconds - 10800) * 2 * kPi / 12 / 3600, 9, 0.15, 0.75);
  hand((minutes * 60 + seconds - 900) * 2 * kPi / 3600, 7, 0.2, 0.85);
  const double b = (seconds - 15) * 2 * kPi / 60;
  canvas->SetPenColor(clRed);
  canvas->MoveToPoint(cx, cy);
  canvas->LineToPoint(RoundEven(cx + 0.9 * rx2 * std::cos(b)), RoundEven(cy + 0.9 * ry2 * std::sin(b)));
  canvas->PopClipRegion();
}

void TcxCustomLookAndFeelPainter::DrawNavigatorButtonGlyph(TcxCanvas* canvas,
                                                           TCustomImageList* imageList,
                                                           Integer imageIndex, Integer buttonIndex,
                                                           const TPoint& topLeft, Boolean enabled,
                                                           Boolean customImage) const {
  if (!imageList) return;
  // The platform list draws on a platform canvas: one over the same DC for the call.
  HDC dc = canvas->GetHandle();
  const Integer saved = ::SaveDC(dc);
  {
    std::unique_ptr<TCanvas, orv::FreeDeleter> target(new TCanvas);
    target->SetHandle(dc);
    imageList->Draw(target.get(), topLeft.X, topLeft.Y, imageIndex, enabled);
    target->SetHandle(nullptr);
  }
  ::RestoreDC(dc, saved);
}

void TcxCustomLookAndFeelPainter::DrawProgressBarText(TcxCanvas* canvas, Boolean isVertical,
                                                      Boolean solidText, const AnsiString& text,
                                                      const TRect& textRect, const TRect& barRect,
                                                      const TRect& filledRect,
                                                      TColor textColor) const {
  canvas->PushState();
  canvas->SaveDC();
  if (isVertical) canvas->SetFontAngle(270);
  TColor color = textColor;
  if (color == clDefault || !solidText) color = ProgressBarTextColor();
  // Rotated text runs downwards from the right-top corner.
  const TPoint origin = isVertical ? TPoint{textRect.Right, textRect.Top} : textRect.TopLeft();
  HDC dc = canvas->GetHandle();
  if (solidText) {
    OutText(dc, origin.X, origin.Y, text, color);
  } else if (ProgressBarTextColorByPart(true) == clDefault) {
    // The text shows as the inverse of whatever lies beneath it: white text on black, combined
    // by exclusive or.
    const Integer w = textRect.Width(), h = textRect.Height();
    if (w > 0 && h > 0) {
      TScratchDC mask(dc, w, h);
      PatBlt(mask.Dc, 0, 0, w, h, WHITENESS);
      HGDIOBJ oldFont = SelectObject(mask.Dc, GetCurrentObject(dc, OBJ_FONT));
      OutText(mask.Dc, origin.X - textRect.Left, origin.Y - textRect.Top, text, clBlack);
      SelectObject(mask.Dc, oldFont);
      PatBlt(mask.Dc, 0, 0, w, h, DSTINVERT);
      BitBlt(dc, textRect.Left, textRect.Top, w, h, mask.Dc, 0, 0, SRCINVERT);
    }
  } else {
    TRect overlap;
    if (IntersectRects(overlap, textRect, filledRect)) {
      // Drawn once in the colour of the empty part; the filled part is then put back and the
      // text drawn there again in the over-fill colour.
      const Integer w = overlap.Width(), h = overlap.Height();
      TScratchDC saved(dc, w, h);
      BitBlt(saved.Dc, 0, 0, w, h, dc, overlap.Left, overlap.Top, SRCCOPY);
      OutText(dc, origin.X, origin.Y, text, ProgressBarTextColorByPart(false));
      BitBlt(dc, overlap.Left, overlap.Top, w, h, saved.Dc, 0, 0, SRCCOPY);
      IntersectClipRect(dc, overlap.Left, overlap.Top, overlap.Right, overlap.Bottom);
      OutText(dc, origin.X, origin.Y, text, ProgressBarTextColorByPart(true));
    } else {
      OutText(dc, origin.X, origin.Y, text, color);
    }
  }
  canvas->RestoreDC();
  canvas->PopState();
}

// ---- Navigation buttons, event progress, splitters -----------------------------------------

void TcxCustomLookAndFeelPainter::NavigationButtonSizes(Boolean isNextButton, TRect& borders,
                                                        Boolean& hasText, TSize& arrowSize) const {
  borders = isNextButton ? TRect{2, 6, 0, 6} : TRect{0, 6, 2, 6};
  hasText = true;
  arrowSize = {7, 7};
}

void TcxCustomLookAndFeelPainter::CalculateNavigationButtonLayout(const TRect& rect,
                                                                  Boolean isNextButton,
                                                                  TRect& arrowRect,
                                                                  TRect& textRect) const {
  TRect borders;
  Boolean hasText;
  TSize arrow;
  NavigationButtonSizes(isNextButton, borders, hasText, arrow);
  TRect content = rect;
  ShrinkRectByMargins(content, borders);
  const Integer left = (content.Left + content.Right - arrow.cx) / 2;
  arrowRect = {left, content.Top, left + arrow.cx, content.Top + arrow.cy};
  textRect = hasText ? TRect{content.Left, arrowRect.Bottom + 2, content.Right, content.Bottom}
                     : TRect{};
}

void TcxCustomLookAndFeelPainter::DrawNavigationButtonArrow(TcxCanvas* canvas, const TRect& rect,
                                                            Boolean isNextButton,
                                                            TColor color) const {
  // Bars two pixels high, one step longer every two pixels towards the middle.
  const Integer bars = std::max<Integer>(1, rect.Height() / 2);
  const Integer top = (rect.Top + rect.Bottom - 2 * bars) / 2;
  for (Integer p = 0; p < bars; ++p) {
    const Integer length = std::min<Integer>(2 * (std::min(p, bars - 1 - p) + 1), rect.Width());
    const Integer y = top + 2 * p;
    if (isNextButton)
      canvas->FillRectWithColor({rect.Left, y, rect.Left + length, y + 2}, color);
    else
      canvas->FillRectWithColor({rect.Right - length, y, rect.Right, y + 2}, color);
  }
}

void TcxCustomLookAndFeelPainter::DrawNavigationButtonWithArrow(TcxCanvas* canvas,
                                                                const TRect& rect,
                                                                Boolean isNextButton,
                                                                TcxButtonState state) const {
  canvas->FillRectWithColor(rect, clBtnFace);
  const TcxBorders sides = isNextButton ? TcxBorders{bTop, bRight, bBottom}
                                        : TcxBorders{bLeft, bTop, bBottom};
  if (state == cxbsPressed) {
    canvas->DrawTwoColorFrame(rect, clBtnShadow, clBtnHighlight, sides);
    canvas->DrawTwoColorFrame(ShrinkOnBorders(rect, sides), cl3DDkShadow, cl3DLight, sides);
  } else {
    canvas->DrawTwoColorFrame(rect, clBtnHighlight, cl3DDkShadow, sides);
    canvas->DrawTwoColorFrame(ShrinkOnBorders(rect, sides), cl3DLight, clBtnShadow, sides);
  }
  TRect arrowRect, textRect;
  CalculateNavigationButtonLayout(rect, isNextButton, arrowRect, textRect);
  DrawNavigationButtonArrow(canvas, arrowRect, isNextButton, NavigationButtonTextColor());
}

void TcxCustomLookAndFeelPainter::DrawEventProgress(TcxCanvas* canvas, const TRect& rect,
                                                    const TRect& progressRect,
                                                    const TcxViewParams& viewParams,
                                                    Boolean transparent) const {
  if (!transparent) FillFromViewParams(canvas, rect, viewParams);
  Frame(canvas, rect, TColor(0x808080));
  canvas->FillRectWithColor(progressRect, clNavy);
}

void TcxCustomLookAndFeelPainter::DrawRotatedText(TcxCanvas* canvas, const TRect& rect,
                                                  const AnsiString& text, TFont* font,
                                                  Boolean clockwise) const {
  if (text.empty() || RectIsEmpty(rect)) return;
  canvas->PushState();
  canvas->SaveDC();
  if (font) canvas->SetFontHandle(orv::FontHandle(font));
  // The extent across the turned text is the unturned height, along it the width.
  const TSize size = canvas->GetTextSize(text);
  canvas->SetFontAngle(clockwise ? 270 : 90);
  canvas->IntersectClip(rect);
  const Integer x0 = (rect.Left + rect.Right - size.cy) / 2;
  const Integer y0 = (rect.Top + rect.Bottom - size.cx) / 2;
  HDC dc = canvas->GetHandle();
  if (clockwise)
    OutText(dc, x0 + size.cy, y0, text, NavigationButtonTextColor());
  else
    OutText(dc, x0, y0 + size.cx, text, NavigationButtonTextColor());
  canvas->RestoreDC();
  canvas->PopState();
}

void TcxCustomLookAndFeelPainter::DrawElement242(TcxCanvas* canvas, const TRect& rect,
                                                 Integer colorIndex, Boolean fillInside) const {
  static constexpr TColor kColors[2] = {clWindowText, clHighlight};
  canvas->PushClipRegion();
  const TRect box{rect.Left, rect.Top, rect.Right - 2, rect.Bottom - 2};
  if (fillInside) canvas->FillRectWithColor(Shrink(box, 1), clWindow);
  Frame(canvas, box, kColors[colorIndex == 1 ? 1 : 0]);
  canvas->FillRectWithColor({box.Right, box.Top + 2, rect.Right, rect.Bottom}, clWindowText);
  canvas->FillRectWithColor({box.Left + 2, box.Bottom, box.Right, rect.Bottom}, clWindowText);
  canvas->PopClipRegion();
}

TColor TcxCustomLookAndFeelPainter::CalculatorButtonTextColor(Integer buttonKind) const {
  if (buttonKind <= 2) return clMaroon;
  if (buttonKind <= 6) return clRed;
  if (buttonKind <= 18) return clBlue;
  if (buttonKind <= 22) return clRed;
  if (buttonKind <= 25) return clNavy;
  if (buttonKind == 26) return clRed;
  return clBlue;
}

// ==== Standard painter ==========================================================================

void TcxStandardLookAndFeelPainter::DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const {
  canvas->DrawTwoColorFrame(rect, clBtnShadow, clBtnHighlight);
  canvas->DrawTwoColorFrame(Shrink(rect, 1), cl3DDkShadow, cl3DLight);
}

void TcxStandardLookAndFeelPainter::DrawButtonFrame(TcxCanvas* canvas, const TRect& rect,
                                                    TcxButtonState state) const {
  TRect r = rect;
  if (state == cxbsPressed || state == cxbsDefault) {
    Frame(canvas, r, clBlack);
    r = Shrink(r, 1);
  }
  if (state == cxbsPressed) {
    Frame(canvas, r, clBtnShadow);
    return;
  }
  canvas->DrawTwoColorFrame(r, clBtnHighlight, cl3DDkShadow);
  canvas->DrawTwoColorFrame(Shrink(r, 1), cl3DLight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect,
                                                             Boolean expanded, TColor color) const {
  canvas->DrawTwoColorFrame(rect, clBtnHighlight, cl3DDkShadow);
  TRect r = Shrink(rect, 1);
  canvas->DrawTwoColorFrame(r, clNone, clBtnShadow, {bRight, bBottom});
  --r.Right;
  --r.Bottom;
  canvas->FillRectWithColor(r, color == clDefault ? clBtnFace : color);
  DrawPlusMinusCross(canvas, r, expanded, clBtnText);
  canvas->ExcludeFromClip(rect);
}

void TcxStandardLookAndFeelPainter::DrawGroupExpandChevronButton(TcxCanvas* canvas,
                                                                 const TRect& rect,
                                                                 Boolean pointingUp,
                                                                 TcxButtonState state) const {
  TcxFlatLookAndFeelPainter::Class()->DrawGroupExpandChevronButton(canvas, rect, pointingUp, state);
}

void TcxStandardLookAndFeelPainter::DrawCheckBoxFrame(TcxCanvas* canvas, const TRect& rect,
                                                      TcxButtonState state) const {
  canvas->DrawTwoColorFrame(rect, cl3DDkShadow, cl3DLight);
  canvas->DrawTwoColorFrame(Shrink(rect, 1), clBtnShadow, clBtnHighlight);
}

namespace {

// The standard and flat header cell border: a raised frame whose joints with neighbouring
// cells are patched so that adjacent cells do not show a double highlight.
void DrawRaisedHeaderCellBorder(TcxCanvas* canvas, const TRect& rect, TcxNeighbors neighbors) {
  canvas->DrawTwoColorFrame(rect, clBtnHighlight, clBtnShadow);
  if (neighbors.Contains(nLeft)) {
    FillPixel(canvas, rect.Left, rect.Top + 1, clBtnFace);
    FillPixel(canvas, rect.Left, rect.Bottom - 2, clBtnFace);
  }
  if (neighbors.Contains(nRight)) {
    FillPixel(canvas, rect.Right - 1, rect.Top, clBtnHighlight);
    FillPixel(canvas, rect.Right - 1, rect.Top + 1, clBtnFace);
    FillPixel(canvas, rect.Right - 1, rect.Bottom - 2, clBtnFace);
  }
}

void DrawFooterFrames(TcxCanvas* canvas, const TRect& rect, Boolean cell) {
  if (cell)
    canvas->DrawTwoColorFrame(rect, clBtnShadow, clBtnHighlight);
  else
    canvas->DrawTwoColorFrame(rect, clBtnHighlight, clBtnShadow);
}

// The standard and flat filter drop-down button.
void DrawRaisedFilterDropDownButton(const TcxCustomLookAndFeelPainter* painter, TcxCanvas* canvas,
                                    const TRect& rect, TcxButtonState state, Boolean active) {
  if (state == cxbsPressed)
    canvas->DrawTwoColorFrame(rect, clBtnShadow, clBtnHighlight);
  else
    canvas->DrawTwoColorFrame(rect, clBtnHighlight, clBtnShadow);
  const TRect r = Shrink(rect, 1);
  canvas->FillRectWithColor(r, clBtnFace);
  painter->DrawDropDownArrowGlyph(canvas, r, active ? clBlue : clBtnText);
}

void ExcludeFrameStrips(TcxCanvas* canvas, const TRect& r, TcxBorders borders) {
  if (borders.Contains(bLeft)) canvas->ExcludeFromClip({r.Left, r.Top, r.Left + 1, r.Bottom});
  if (borders.Contains(bTop)) canvas->ExcludeFromClip({r.Left, r.Top, r.Right, r.Top + 1});
  if (borders.Contains(bRight)) canvas->ExcludeFromClip({r.Right - 1, r.Top, r.Right, r.Bottom});
  if (borders.Contains(bBottom)) canvas->ExcludeFromClip({r.Left, r.Bottom - 1, r.Right, r.Bottom});
}

}  // namespace

void TcxStandardLookAndFeelPainter::DrawHeaderCellBorder(TcxCanvas* canvas, const TRect& rect,
                                                         TcxNeighbors neighbors,
                                                         TcxBorders borders) const {
  DrawRaisedHeaderCellBorder(canvas, rect, neighbors);
}

void TcxStandardLookAndFeelPainter::DrawHeaderSectionBorder(TcxCanvas* canvas, const TRect& rect,
                                                            TcxBorders borders,
                                                            TcxButtonState state) const {
  if (state == cxbsPressed) {
    canvas->DrawTwoColorFrame(rect, clBtnShadow, clBtnShadow, borders);
    return;
  }
  canvas->DrawTwoColorFrame(rect, clBtnHighlight, cl3DDkShadow, borders);
  canvas->DrawTwoColorFrame(ShrinkOnBorders(rect, borders), cl3DLight, clBtnShadow, borders);
}

void TcxStandardLookAndFeelPainter::DrawSortArrow(TcxCanvas* canvas, const TRect& rect,
                                                  Boolean ascending) const {
  DrawSortTriangle(canvas, rect, ascending, clBtnHighlight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::DrawFooterFrame(TcxCanvas* canvas, const TRect& rect) const {
  DrawFooterFrames(canvas, rect, false);
}

void TcxStandardLookAndFeelPainter::DrawFooterCellFrame(TcxCanvas* canvas, const TRect& rect) const {
  DrawFooterFrames(canvas, rect, true);
}

void TcxStandardLookAndFeelPainter::DrawFilterDropDownArrowButton(TcxCanvas* canvas,
                                                                  const TRect& rect,
                                                                  TcxButtonState state,
                                                                  Boolean isFilterActive) const {
  DrawRaisedFilterDropDownButton(this, canvas, rect, state, isFilterActive);
}

void TcxStandardLookAndFeelPainter::DrawTabsPane(TcxCanvas* canvas, const TRect& rect,
                                                 TcxBorders borders, Boolean isVertical) const {
  canvas->DrawTwoColorFrame(rect, clBtnHighlight, clBtnShadow, borders);
}

void TcxStandardLookAndFeelPainter::DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal,
                                                         const TRect& rect, TcxScrollBarPart part,
                                                         TcxButtonState state) const {
  if (RectIsEmpty(rect) || (part == sbpThumbnail && state == cxbsDisabled)) return;
  if (state == cxbsHot) state = cxbsNormal;
  auto buttonFrame = [&](const TRect& r, Boolean pressedArrow) {
    if (pressedArrow) {
      Frame(canvas, r, clBtnShadow);
      Frame(canvas, Shrink(r, 1), clBtnFace);
    } else {
      canvas->DrawTwoColorFrame(r, clBtnFace, cl3DDkShadow);
      canvas->DrawTwoColorFrame(Shrink(r, 1), clBtnHighlight, clBtnShadow);
    }
  };
  switch (part) {
    case sbpThumbnail:
      buttonFrame(rect, false);
      canvas->FillRectWithColor(Shrink(rect, ButtonBorderWidth(cxbsNormal)), clBtnFace);
      break;
    case sbpLineUp:
    case sbpLineDown: {
      const Boolean pressed = state == cxbsPressed;
      TRect r = pressed ? GetOffsetRect(rect, 1, 1) : rect;
      static constexpr UINT kDirections[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT,
                                             DFCS_SCROLLRIGHT};
      UINT flags = kDirections[ScrollBarArrowDirection(isHorizontal, part)];
      if (state == cxbsDisabled) flags |= DFCS_INACTIVE;
      if (pressed) flags |= DFCS_FLAT;
      DrawFrameControl(canvas->GetHandle(), &r, DFC_SCROLL, flags);
      buttonFrame(rect, pressed);
      break;
    }
    case sbpPageUp:
    case sbpPageDown:
      DrawScrollBarPageArea(canvas, rect, state);
      break;
    default:
      break;
  }
}

void TcxStandardLookAndFeelPainter::DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect,
                                                        Boolean enabled, TcxCaptionPosition captionPosition,
                                                        TcxBorders borders) const {
  const TRect r = {rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1};
  const TRect shifted = GetOffsetRect(r, 1, 1);
  Frame(canvas, r, clBtnShadow, borders);
  Frame(canvas, shifted, clBtnHighlight, borders);
  ExcludeFrameStrips(canvas, r, borders);
  ExcludeFrameStrips(canvas, shifted, borders);
}

void TcxStandardLookAndFeelPainter::DrawCalendarMonthHeader(
    TcxCanvas* canvas, const TRect& rect, const AnsiString& text, TcxNeighbors neighbors,
    const TcxViewParams& viewParams, Integer arrows, TcxBorders sideBorders,
    TcxDrawBackgroundEvent onCustomDraw) const {
  TcxBorders frame{bTop, bBottom};
  if (sideBorders.Contains(bLeft)) frame += TcxBorders{bLeft};
  if (sideBorders.Contains(bRight)) frame += TcxBorders{bRight};
  Frame(canvas, rect, clBlack, frame);
  TcxCustomLookAndFeelPainter::DrawCalendarMonthHeader(canvas, ShrinkOnBorders(rect, frame), text,
                                                       neighbors, viewParams, arrows, sideBorders,
                                                       onCustomDraw);
}

namespace {

// A splitter's bevel lines on its two long edges (top and bottom of a horizontal splitter, left
// and right of a vertical one), outermost pair first, then the fill inside them.
void DrawSplitterLines(TcxCanvas* canvas, const TRect& rect, const TcxViewParams& viewParams,
                       Boolean isHorizontal, std::initializer_list<std::pair<TColor, TColor>> pairs) {
  TRect r = rect;
  for (const auto& [first, second] : pairs) {
    if (isHorizontal) {
      canvas->FillRectWithColor({r.Left, r.Top, r.Right, r.Top + 1}, first);
      canvas->FillRectWithColor({r.Left, r.Bottom - 1, r.Right, r.Bottom}, second);
      ++r.Top;
      --r.Bottom;
    } else {
      canvas->FillRectWithColor({r.Left, r.Top, r.Left + 1, r.Bottom}, first);
      canvas->FillRectWithColor({r.Right - 1, r.Top, r.Right, r.Bottom}, second);
      ++r.Left;
      --r.Right;
    }
  }
  FillFromViewParams(canvas, r, viewParams);
}

}  // namespace

void TcxStandardLookAndFeelPainter::DrawSplitterBorder(TcxCanvas* canvas, const TRect& rect,
                                                       const TcxViewParams& viewParams,
                                                       Boolean isHorizontal) const {
  DrawSplitterLines(canvas, rect, viewParams, isHorizontal,
                    {{clBtnFace, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}});
}

// ==== Flat painter ==============================================================================

void TcxFlatLookAndFeelPainter::DrawSplitterBorder(TcxCanvas* canvas, const TRect& rect,
                                                   const TcxViewParams& viewParams,
                                                   Boolean isHorizontal) const {
  DrawSplitterLines(canvas, rect, viewParams, isHorizontal, {{clBtnHighlight, clBtnShadow}});
}


void TcxFlatLookAndFeelPainter::DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const {
  canvas->DrawTwoColorFrame(rect, clBtnShadow, clBtnHighlight);
}

void TcxFlatLookAndFeelPainter::DrawButtonFrame(TcxCanvas* canvas, const TRect& rect,
                                                TcxButtonState state) const {
  if (state == cxbsPressed) {
    canvas->DrawTwoColorFrame(rect, clBtnShadow, clBtnHighlight);
  } else if (state == cxbsDefault) {
    Frame(canvas, rect, clBlack);
    canvas->DrawTwoColorFrame(Shrink(rect, 1), clBtnHighlight, clBtnShadow);
  } else {
    canvas->DrawTwoColorFrame(rect, clBtnHighlight, clBtnShadow);
  }
}

void TcxFlatLookAndFeelPainter::DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect,
                                                         Boolean expanded, TColor color) const {
  DrawPushButton(canvas, rect, "", cxbsNormal, true, color, clDefault, false, cxbkPushButton);
  DrawPlusMinusCross(canvas, Shrink(rect, 1), expanded, clBtnText);
  canvas->ExcludeFromClip(rect);
}

void TcxFlatLookAndFeelPainter::DrawCheckBoxFrame(TcxCanvas* canvas, const TRect& rect,
                                                  TcxButtonState state) const {
  canvas->DrawTwoColorFrame(rect, clBtnShadow, clBtnHighlight);
  Frame(canvas, Shrink(rect, 1), CheckBoxColor(state));
}

void TcxFlatLookAndFeelPainter::DrawHeaderCellBorder(TcxCanvas* canvas, const TRect& rect,
                                                     TcxNeighbors neighbors,
                                                     TcxBorders borders) const {
  DrawRaisedHeaderCellBorder(canvas, rect, neighbors);
}

void TcxFlatLookAndFeelPainter::DrawHeaderSectionBorder(TcxCanvas* canvas, const TRect& rect,
                                                        TcxBorders borders,
                                                        TcxButtonState state) const {
  if (state == cxbsPressed)
    canvas->DrawTwoColorFrame(rect, clBtnShadow, clBtnHighlight, borders);
  else
    canvas->DrawTwoColorFrame(rect, clBtnHighlight, clBtnShadow, borders);
}

void TcxFlatLookAndFeelPainter::DrawSortArrow(TcxCanvas* canvas, const TRect& rect,
                                              Boolean ascending) const {
  DrawSortTriangle(canvas, rect, ascending, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawFooterFrame(TcxCanvas* canvas, const TRect& rect) const {
  DrawFooterFrames(canvas, rect, false);
}

void TcxFlatLookAndFeelPainter::DrawFooterCellFrame(TcxCanvas* canvas, const TRect& rect) const {
  DrawFooterFrames(canvas, rect, true);
}

void TcxFlatLookAndFeelPainter::DrawFilterDropDownArrowButton(TcxCanvas* canvas, const TRect& rect,
                                                              TcxButtonState state,
                                                              Boolean isFilterActive) const {
  DrawRaisedFilterDropDownButton(this, canvas, rect, state, isFilterActive);
}

void TcxFlatLookAndFeelPainter::DrawTabsPane(TcxCanvas* canvas, const TRect& rect,
                                             TcxBorders borders, Boolean isVertical) const {
  canvas->DrawTwoColorFrame(rect, clBtnHighlight, clBtnShadow, borders);
}

void TcxFlatLookAndFeelPainter::DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal,
                                                     const TRect& rect, TcxScrollBarPart part,
                                                     TcxButtonState state) const {
  if (RectIsEmpty(rect) || (part == sbpThumbnail && state == cxbsDisabled)) return;
  if (state == cxbsHot) state = cxbsNormal;
  switch (part) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail: {
      DrawPushButton(canvas, rect, "", state, true, clDefault, clDefault, false, cxbkPushButton);
      const TRect r = Shrink(rect, ButtonBorderWidth(cxbsNormal));
      if (part != sbpThumbnail)
        DrawStateArrow(canvas, r, state, ScrollBarArrowDirection(isHorizontal, part));
      break;
    }
    case sbpPageUp:
    case sbpPageDown:
      DrawScrollBarPageArea(canvas, rect, state);
      break;
    default:
      break;
  }
}

void TcxFlatLookAndFeelPainter::DrawCalendarDateTimePanel(TcxCanvas* canvas, TRect& rect) const {
  canvas->FillRectWithColor(rect, DefaultCalendarHeaderColor());
  canvas->FillRectWithColor({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, clBtnFace);
  --rect.Bottom;
}

void TcxFlatLookAndFeelPainter::DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect,
                                                    Boolean enabled, TcxCaptionPosition captionPosition,
                                                    TcxBorders borders) const {
  const TRect inner = ShrinkOnBorders(rect, borders);
  Frame(canvas, rect, clBtnShadow, borders);
  Frame(canvas, inner, clBtnHighlight, borders);
  ExcludeFrameStrips(canvas, rect, borders);
  ExcludeFrameStrips(canvas, inner, borders);
}

// ==== Ultra-flat painter ========================================================================

void TcxUltraFlatLookAndFeelPainter::DrawFooterSeparatorAndBorder(TcxCanvas* canvas,
                                                                  const TRect& rect,
                                                                  TcxBorders borders) const {
  canvas->DrawBorderLines(rect, DefaultFooterSeparatorColor(), FooterSeparatorSize(), borders);
}

void TcxUltraFlatLookAndFeelPainter::DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const {
  Frame(canvas, rect, clBtnShadow);
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonFaceColor(TcxButtonState state) const {
  switch (state) {
    case cxbsHot: return GetLightHighlightColor();
    case cxbsPressed: return GetLightDownHighlightColor();
    default: return clBtnFace;
  }
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonFocusBounds(TcxCanvas* canvas, const TRect& rect) const {
  const TRect r = Shrink(rect, 3);
  return RectIsEmpty(r) ? rect : r;
}

TRect TcxUltraFlatLookAndFeelPainter::GroupButtonBorderWidths(Integer buttonCount,
                                                              Integer buttonIndex) const {
  TRect result{1, 2, 1, 2};
  if (buttonIndex == 0) ++result.Left;
  if (buttonIndex == buttonCount - 1) ++result.Right;
  return result;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonGlyphColor(TcxButtonState state, TColor color) const {
  return state == cxbsPressed ? clHighlightText : inherited::ButtonGlyphColor(state, color);
}

void TcxUltraFlatLookAndFeelPainter::DrawGroupButton(TcxCanvas* canvas, const TRect& rect,
                                                     TcxButtonState state, Integer buttonCount,
                                                     Integer buttonIndex, TColor frameColor) const {
  TRect r = {rect.Left, rect.Top + 1, rect.Right, rect.Bottom - 1};
  if (buttonIndex == 0) ++r.Left;
  if (buttonIndex == buttonCount - 1) --r.Right;
  if (state == cxbsNormal || state == cxbsDisabled) {
    Frame(canvas, r, frameColor);
    r = Shrink(r, 1);
  } else {
    const TColor color = SelectedButtonFrameColor();
    if (buttonIndex > 0) {
      canvas->FillRectWithColor({r.Left, r.Top, r.Left + 1, r.Bottom}, color);
      ++r.Left;
    }
    if (buttonIndex < buttonCount - 1) {
      canvas->FillRectWithColor({r.Right - 1, r.Top, r.Right, r.Bottom}, color);
      --r.Right;
    }
  }
  canvas->FillRectWithColor(r, ButtonFaceColor(state));
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonFrame(TcxCanvas* canvas, const TRect& rect,
                                                     TcxButtonState state) const {
  switch (state) {
    case cxbsDefault:
      Frame(canvas, rect, clWindowFrame);
      Frame(canvas, Shrink(rect, 1), clWindowFrame);
      break;
    case cxbsNormal: Frame(canvas, rect, clBtnText); break;
    case cxbsDisabled: Frame(canvas, rect, clBtnShadow); break;
    default: Frame(canvas, rect, clHighlight); break;
  }
}

void TcxUltraFlatLookAndFeelPainter::DrawGroupButtonFocusFrame(TcxCanvas* canvas, const TRect& rect,
                                                               Boolean inplace,
                                                               Boolean selected) const {
  Frame(canvas, rect, inplace ? clBtnText : selected ? SelectedButtonFrameColor() : clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect,
                                                              Boolean expanded, TColor color) const {
  Frame(canvas, rect, clBtnShadow);
  const TRect r = Shrink(rect, 1);
  canvas->FillRectWithColor(r, color == clDefault ? clBtnFace : color);
  DrawPlusMinusCross(canvas, r, expanded, clBtnText);
  canvas->ExcludeFromClip(rect);
}

void TcxUltraFlatLookAndFeelPainter::DrawCheckBoxFrame(TcxCanvas* canvas, const TRect& rect,
                                                       TcxButtonState state) const {
  Frame(canvas, rect, clBtnText);
  Frame(canvas, Shrink(rect, 1), CheckBoxColor(state));
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderCellEx(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxNeighbors neighbors,
    TcxBorders borders, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
    const AnsiString& text, TFont* font, TColor textColor, TColor backgroundColor,
    TcxDrawBackgroundEvent onDrawBackground) const {
  DrawContentAndText(canvas, bounds, Shrink(textRect, 1), state, alignmentHorz, alignmentVert,
                     multiLine, showEndEllipsis, text, font, textColor, backgroundColor,
                     onDrawBackground, false);
  DrawHeaderCellBorder(canvas, Shrink(bounds, 1), neighbors, borders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderCellBorder(TcxCanvas* canvas, const TRect& rect,
                                                          TcxNeighbors neighbors,
                                                          TcxBorders borders) const {
  TcxBorders sides{bRight, bBottom};
  if (borders.Contains(bLeft)) sides += TcxBorders{bLeft};
  if (borders.Contains(bTop)) sides += TcxBorders{bTop};
  Frame(canvas, rect, clBtnText, sides);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderSectionBorder(TcxCanvas* canvas, const TRect& rect,
                                                             TcxBorders borders,
                                                             TcxButtonState state) const {
  const TColor color = state == cxbsDisabled ? clBtnShadow : clBlack;
  canvas->DrawTwoColorFrame(rect, color, color, borders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderSectionContent(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxButtonState state,
    TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert, Boolean multiLine,
    Boolean showEndEllipsis, const AnsiString& text, TFont* font, TColor textColor,
    TColor backgroundColor) const {
  const Boolean highlighted = state == cxbsHot || state == cxbsPressed || state == cxbsDisabled;
  canvas->FillRectWithColor(bounds, highlighted ? ButtonFaceColor(state) : backgroundColor);
  DrawHeaderSectionText(canvas, HeaderSectionTextBounds(textRect, state), state, alignmentHorz,
                        alignmentVert, multiLine, showEndEllipsis, text, font, textColor);
}

void TcxUltraFlatLookAndFeelPainter::DrawSortArrow(TcxCanvas* canvas, const TRect& rect,
                                                   Boolean ascending) const {
  DrawSortTriangle(canvas, rect, ascending, clBtnShadow, clBtnShadow);
}

TcxBorders TcxUltraFlatLookAndFeelPainter::HeaderCellBorders(TcxNeighbors neighbors) const {
  TcxBorders result = cxBordersAll;
  if (neighbors.Contains(nLeft)) result -= TcxBorders{bLeft};
  if (neighbors.Contains(nTop)) result -= TcxBorders{bTop};
  return result;
}

void TcxUltraFlatLookAndFeelPainter::DrawFooterFrame(TcxCanvas* canvas, const TRect& rect) const {
  canvas->DrawBorderLines(rect, DefaultFooterSeparatorColor(), FooterSeparatorSize(),
                          {bRight, bBottom});
}

void TcxUltraFlatLookAndFeelPainter::DrawFooterCellFrame(TcxCanvas* canvas, const TRect& rect) const {
  Frame(canvas, rect, DefaultFooterSeparatorColor());
}

void TcxUltraFlatLookAndFeelPainter::DrawFilterDropDownArrowButton(TcxCanvas* canvas,
                                                                   const TRect& rect,
                                                                   TcxButtonState state,
                                                                   Boolean isFilterActive) const {
  Frame(canvas, rect, ButtonBorderColor(state));
  const TRect r = Shrink(rect, 1);
  canvas->FillRectWithColor(r, ButtonFaceColor(state));
  DrawDropDownArrowGlyph(canvas, r, isFilterActive ? clBlue : ButtonGlyphColor(state, clDefault));
}

void TcxUltraFlatLookAndFeelPainter::DrawTabsPane(TcxCanvas* canvas, const TRect& rect,
                                                  TcxBorders borders, Boolean isVertical) const {
  const TColor color = TabsFrameColor();
  canvas->DrawTwoColorFrame(rect, color, color, borders, TabItemBorderWidth(isVertical));
}

void TcxUltraFlatLookAndFeelPainter::DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal,
                                                          const TRect& rect, TcxScrollBarPart part,
                                                          TcxButtonState state) const {
  if (RectIsEmpty(rect) || (part == sbpThumbnail && state == cxbsDisabled)) return;
  switch (part) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail:
      DrawPushButton(canvas, rect, "", state, true, clDefault, clDefault, false, cxbkPushButton);
      if (part != sbpThumbnail)
        DrawStateArrow(canvas, rect, state, ScrollBarArrowDirection(isHorizontal, part));
      break;
    case sbpPageUp:
    case sbpPageDown:
      DrawScrollBarPageArea(canvas, rect, state);
      break;
    default:
      break;
  }
}

void TcxUltraFlatLookAndFeelPainter::DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect,
                                                         Boolean enabled, TcxCaptionPosition captionPosition,
                                                         TcxBorders borders) const {
  Frame(canvas, rect, enabled ? clHighlight : clBtnShadow, borders);
  ExcludeFrameStrips(canvas, rect, borders);
}

void TcxUltraFlatLookAndFeelPainter::DrawNavigationButtonWithArrow(TcxCanvas* canvas,
                                                                   const TRect& rect,
                                                                   Boolean isNextButton,
                                                                   TcxButtonState state) const {
  canvas->FillRectWithColor(rect, clBtnFace);
  const TcxBorders sides = isNextButton ? TcxBorders{bTop, bRight, bBottom}
                                        : TcxBorders{bLeft, bTop, bBottom};
  Frame(canvas, rect, state == cxbsPressed ? TabsFrameColor() : DefaultColor246(), sides);
  TRect arrowRect, textRect;
  CalculateNavigationButtonLayout(rect, isNextButton, arrowRect, textRect);
  DrawNavigationButtonArrow(canvas, arrowRect, isNextButton, NavigationButtonTextColor());
}

void TcxUltraFlatLookAndFeelPainter::DrawNavigationBarButton(TcxCanvas* canvas, const TRect& rect,
                                                             TcxButtonState state) const {
  DrawPushButton(canvas, rect, "", state, state == cxbsHot || state == cxbsPressed);
}

void TcxUltraFlatLookAndFeelPainter::DrawSplitterBorder(TcxCanvas* canvas, const TRect& rect,
                                                        const TcxViewParams& viewParams,
                                                        Boolean isHorizontal) const {
  DrawSplitterLines(canvas, rect, viewParams, isHorizontal, {{DefaultColor58(), DefaultColor58()}});
}

void TcxUltraFlatLookAndFeelPainter::DrawElement241(TcxCanvas* canvas, const TRect& rect) const {
  const COLORREF shadow = ColorToRGB(clBtnShadow);
  auto lighten = [](Integer c) { return c + (255 - c) / 3; };
  canvas->FillRectWithColor(rect, TColor(RGB(lighten(GetRValue(shadow)), lighten(GetGValue(shadow)),
                                             lighten(GetBValue(shadow)))));
}

// ==== Office 11 painter =========================================================================

TColor TcxOffice11LookAndFeelPainter::Office11HeaderBottomColor() const { return Office11Color04; }
TColor TcxOffice11LookAndFeelPainter::Office11BorderLineColor() const { return Office11Color13; }
TColor TcxOffice11LookAndFeelPainter::Office11Color250() const { return Office11Color14; }
TColor TcxOffice11LookAndFeelPainter::Office11HeaderBackgroundColor() const {
  return BlendColors(Office11Color03, Office11Color04, 50);
}

TColor TcxOffice11LookAndFeelPainter::ButtonBorderColor(TcxButtonState state) const {
  return state == cxbsNormal ? Office11BorderLineColor() : Office11Color33;
}
TColor TcxOffice11LookAndFeelPainter::SelectedButtonFrameColor() const { return Office11Color33; }

TColor TcxOffice11LookAndFeelPainter::DefaultFilterBoxColor() const { return Office11Color17; }
TColor TcxOffice11LookAndFeelPainter::DefaultFilterBoxTextColor() const { return Office11Color21; }
TColor TcxOffice11LookAndFeelPainter::DefaultFooterColor() const { return Office11Color01; }
TColor TcxOffice11LookAndFeelPainter::DefaultGroupByBoxColor() const { return Office11Color45; }
TColor TcxOffice11LookAndFeelPainter::DefaultGroupByBoxTextColor() const { return Office11Color03; }
TColor TcxOffice11LookAndFeelPainter::DefaultGroupColor() const { return Office11Color48; }
TColor TcxOffice11LookAndFeelPainter::DefaultCalendarHeaderColor() const { return Office11Color01; }
TColor TcxOffice11LookAndFeelPainter::DefaultCalendarSelectionColor() const {
  return Office11Color49;
}
TColor TcxOffice11LookAndFeelPainter::DefaultColor58() const { return Office11Color50; }
TColor TcxOffice11LookAndFeelPainter::DefaultColor59() const { return Office11Color51; }
TColor TcxOffice11LookAndFeelPainter::DefaultTabColor() const { return Office11Color02; }
TColor TcxOffice11LookAndFeelPainter::DefaultColor74() const { return Office11Color01; }

void TcxOffice11LookAndFeelPainter::DrawContentAndText(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxButtonState state,
    TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert, Boolean multiLine,
    Boolean showEndEllipsis, const AnsiString& text, TFont* font, TColor textColor,
    TColor backgroundColor, TcxDrawBackgroundEvent onDrawBackground, Boolean isFooter) const {
  if (!(onDrawBackground && onDrawBackground(canvas, bounds))) {
    TColor top, end;
    if (state == cxbsHot) {
      top = end = Office11Color03;
    } else {
      top = Office11HeaderBackgroundColor();
      end = Office11HeaderBottomColor();
    }
    if (isFooter) {
      canvas->FillRectWithColor(bounds, top);
    } else {
      canvas->FillRectWithColor({bounds.Left, bounds.Top, bounds.Right, bounds.Bottom - 3}, top);
      DrawGradientRect(canvas->GetHandle(),
                       {bounds.Left, bounds.Bottom - 4, bounds.Right, bounds.Bottom}, top, end,
                       false);
    }
  }
  DrawCellText(canvas, textRect, alignmentHorz, alignmentVert, multiLine, showEndEllipsis, text,
               font, textColor);
  if (state == cxbsHot)
    DrawGradientRect(canvas->GetHandle(),
                     {bounds.Left - 1, bounds.Bottom - 2, bounds.Right, bounds.Bottom + 1},
                     Office11Color34, Office11Color35, false);
}

void TcxOffice11LookAndFeelPainter::DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const {
  Frame(canvas, rect, Office11Color47);
}

void TcxOffice11LookAndFeelPainter::DrawBorder193(TcxCanvas* canvas, const TRect& rect) const {
  Frame(canvas, rect, DefaultColor58());
}

TColor TcxOffice11LookAndFeelPainter::ButtonFaceColor(TcxButtonState state) const {
  switch (state) {
    case cxbsHot: return Office11Color34;
    case cxbsPressed: return Office11Color36;
    case cxbsDisabled: return clBtnFace;
    default: return Office11Color01;
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonGlyphColor(TcxButtonState state, TColor color) const {
  if (state == cxbsPressed && !IsOffice11SchemeThemed()) return clHighlightText;
  if (state == cxbsDisabled) return Office11Color43;
  return Office11Color42;
}

void TcxOffice11LookAndFeelPainter::DrawButtonFrame(TcxCanvas* canvas, const TRect& rect,
                                                    TcxButtonState state) const {
  switch (state) {
    case cxbsDefault:
      Frame(canvas, rect, clWindowFrame);
      Frame(canvas, Shrink(rect, 1), clWindowFrame);
      break;
    case cxbsNormal: Frame(canvas, rect, clBtnText); break;
    case cxbsDisabled: Frame(canvas, rect, Office11Color43); break;
    default: Frame(canvas, rect, Office11Color33); break;
  }
}

void TcxOffice11LookAndFeelPainter::DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect,
                                                             Boolean expanded, TColor color) const {
  HBITMAP bitmap = expanded ? Office11ExpandButtonMinusBitmap : Office11ExpandButtonPlusBitmap;
  if (!bitmap) {
    // The shared bitmaps exist while a look and feel holds the Office 11 resources.
    inherited::DrawExpandCollapseButton(canvas, rect, expanded, clDefault);
    return;
  }
  HDC dc = canvas->GetHandle();
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const TColor topLeft = TColor(GetPixel(dc, rect.Left, rect.Top));
  const TColor bottomRight = TColor(GetPixel(dc, rect.Right - 1, rect.Bottom - 1));
  SetPixel(memory, 0, 0, ColorToRGB(BlendColors(TColor(RGB(158, 174, 191)), topLeft, 25)));
  const COLORREF corner = ColorToRGB(BlendColors(TColor(RGB(46, 70, 95)), bottomRight, 25));
  SetPixel(memory, 10, 10, corner);
  SetPixel(memory, 0, 10, corner);
  SetPixel(memory, 10, 0, corner);
  BitBlt(dc, rect.Left, rect.Top, 11, 11, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

void TcxOffice11LookAndFeelPainter::DrawSmallPlusMinusButton(TcxCanvas* canvas, const TRect& rect,
                                                             Boolean expanded, TColor borderColor,
                                                             TColor color) const {
  DrawExpandCollapseButton(canvas, rect, expanded, color);
}

TColor TcxOffice11LookAndFeelPainter::CheckBoxColor(TcxButtonState state) const {
  if (state == cxbsHot || state == cxbsPressed || state == cxbsDisabled)
    return ButtonFaceColor(state);
  return TcxCustomLookAndFeelPainter::CheckBoxColor(state);
}

void TcxOffice11LookAndFeelPainter::DrawHeaderCell(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxNeighbors neighbors,
    TcxBorders borders, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
    const AnsiString& text, TFont* font, TColor textColor, TColor backgroundColor,
    TcxDrawBackgroundEvent onDrawBackground, Boolean isLast, Boolean isGroup) const {
  // The header is always the painter's gradient: the component's background handler is not
  // asked.
  inherited::DrawHeaderCell(canvas, bounds, textRect, neighbors, borders, state, alignmentHorz,
                            alignmentVert, multiLine, showEndEllipsis, text, font, textColor,
                            backgroundColor, {}, isLast, false);
}

void TcxOffice11LookAndFeelPainter::DrawHeaderCellBorder(TcxCanvas* canvas, const TRect& rect,
                                                         TcxNeighbors neighbors,
                                                         TcxBorders borders) const {
  const TColor B = Office11HeaderBackgroundColor(), E = Office11HeaderBottomColor();
  const TColor D = Office11BorderLineColor(), W = Office11Color250();
  const Integer L = rect.Left, T = rect.Top, R = rect.Right, Bt = rect.Bottom;
  if (borders.Contains(bTop)) canvas->FillRectWithColor({L, T, R, T + 1}, B);
  if (borders.Contains(bBottom)) canvas->FillRectWithColor({L, Bt - 1, R, Bt}, D);
  if (borders.Contains(bLeft)) {
    FillPixel(canvas, L, T + 1, B);
    if (neighbors.Contains(nLeft)) {
      FillPixel(canvas, L, T + 2, B);
      FillPixel(canvas, L, Bt - 3, BlendColors(B, E, 25));
      FillPixel(canvas, L, Bt - 2, E);
      canvas->FillRectWithColor({L, T + 2, L + 1, Bt - 3}, W);
    } else {
      FillPixel(canvas, L, Bt - 2, E);
      canvas->FillRectWithColor({L, T + 1, L + 1, Bt - 2}, W);
    }
  }
  if (borders.Contains(bRight)) {
    if (neighbors.Contains(nRight)) {
      FillPixel(canvas, R - 1, T + 1, B);
      FillPixel(canvas, R - 1, T + 2, B);
      FillPixel(canvas, R - 1, Bt - 3, BlendColors(B, E, 25));
      FillPixel(canvas, R - 1, Bt - 2, E);
      canvas->FillRectWithColor({R - 1, T + 2, R, Bt - 3}, D);
    } else {
      FillPixel(canvas, R - 1, T, BlendColors(B, D, 50));
      FillPixel(canvas, R - 1, Bt - 2, BlendColors(E, D, 50));
      canvas->FillRectWithColor({R - 1, T + 1, R, Bt - 2}, D);
    }
  }
}

void TcxOffice11LookAndFeelPainter::DrawHeaderSection(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxNeighbors neighbors,
    TcxBorders borders, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
    const AnsiString& text, TFont* font, TColor textColor, TColor backgroundColor) const {
  DrawHeaderCell(canvas, bounds, textRect, neighbors, borders, state, alignmentHorz, alignmentVert,
                 multiLine, showEndEllipsis, text, font, textColor, backgroundColor);
  if (state == cxbsPressed) DrawHeaderCellPressed(canvas, bounds);
}

void TcxOffice11LookAndFeelPainter::DrawSortArrow(TcxCanvas* canvas, const TRect& rect,
                                                  Boolean ascending) const {
  DrawSortTriangle(canvas, rect, ascending, Office11Color250(), Office11BorderLineColor());
}

void TcxOffice11LookAndFeelPainter::DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal,
                                                         const TRect& rect, TcxScrollBarPart part,
                                                         TcxButtonState state) const {
  // Without visual styles the scroll bars of an Office 11 control look standard.
  if (IsVisualStyleActiveFor(totScrollBar))
    TcxWinXPLookAndFeelPainter::Class()->DrawScrollBarElement(canvas, isHorizontal, rect, part,
                                                              state);
  else
    TcxStandardLookAndFeelPainter::Class()->DrawScrollBarElement(canvas, isHorizontal, rect, part,
                                                                 state);
}

void TcxOffice11LookAndFeelPainter::DrawSizeGripArea(TcxCanvas* canvas, const TRect& rect,
                                                     TColor backgroundColor) const {
  canvas->FillRectWithColor(rect, backgroundColor);
  DrawDiagonalSizeGrip(canvas->GetHandle(), rect);
}

void TcxOffice11LookAndFeelPainter::DrawCalendarDateTimePanel(TcxCanvas* canvas, TRect& rect) const {
  canvas->FillRectWithColor(rect, DefaultCalendarHeaderColor());
}

void TcxOffice11LookAndFeelPainter::DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect,
                                                        Boolean enabled, TcxCaptionPosition captionPosition,
                                                        TcxBorders borders) const {
  if (IsVisualStyleActiveFor(totButton))
    TcxWinXPLookAndFeelPainter::Class()->DrawGroupBoxOutline(canvas, rect, enabled,
                                                             captionPosition, borders);
  else
    inherited::DrawGroupBoxOutline(canvas, rect, enabled, captionPosition, borders);
}

void TcxOffice11LookAndFeelPainter::DrawGroupBoxBackground(TcxCanvas* canvas, TObject* control,
                                                           const TRect& rect, TColor color1,
                                                           TColor color2) const {
  if (color1 == clDefault) {
    DrawGroupBoxParentBackground(canvas, control, rect);
    return;
  }
  if (color2 == clDefault)
    canvas->FillRectWithColor(rect, color1);
  else
    DrawGradientRect(canvas->GetHandle(), rect, color1, color2, false);
}

TColor TcxOffice11LookAndFeelPainter::GroupBoxCaptionTextColor(Boolean enabled) const {
  if (IsVisualStyleActiveFor(totButton))
    return TcxWinXPLookAndFeelPainter::Class()->GroupBoxCaptionTextColor(enabled);
  return TcxCustomLookAndFeelPainter::GroupBoxCaptionTextColor(enabled);
}

void TcxOffice11LookAndFeelPainter::DrawCalendarMonthHeader(
    TcxCanvas* canvas, const TRect& rect, const AnsiString& text, TcxNeighbors neighbors,
    const TcxViewParams& viewParams, Integer arrows, TcxBorders sideBorders,
    TcxDrawBackgroundEvent onCustomDraw) const {
  const TRect inner = Shrink(rect, 1);
  if (!(onCustomDraw && onCustomDraw(canvas, inner))) FillFromViewParams(canvas, inner, viewParams);
  DrawCellText(canvas, inner, 2, vaCenter, false, false, text, viewParams.Font,
               viewParams.TextColor);
  DrawMonthHeaderArrows(canvas, inner, arrows);
}

void TcxOffice11LookAndFeelPainter::DrawNavigationButtonWithArrow(TcxCanvas* canvas,
                                                                  const TRect& rect,
                                                                  Boolean isNextButton,
                                                                  TcxButtonState state) const {
  canvas->FillRectWithColor(rect, state == cxbsHot       ? Office11Color34
                                  : state == cxbsPressed ? Office11Color36
                                                         : Office11Color01);
  const TcxBorders sides = isNextButton ? TcxBorders{bTop, bRight, bBottom}
                                        : TcxBorders{bLeft, bTop, bBottom};
  Frame(canvas, rect, Office11Color50, sides);
  TRect arrowRect, textRect;
  CalculateNavigationButtonLayout(rect, isNextButton, arrowRect, textRect);
  DrawNavigationButtonArrow(canvas, arrowRect, isNextButton, NavigationButtonTextColor());
}

void TcxOffice11LookAndFeelPainter::DrawNavigationBarButton(TcxCanvas* canvas, const TRect& rect,
                                                            TcxButtonState state) const {
  TcxWinXPLookAndFeelPainter::Class()->DrawNavigationBarButton(canvas, rect, state);
}

void TcxOffice11LookAndFeelPainter::DrawElement239(TcxCanvas* canvas, const TRect& rect) const {
  DrawGradientRect(canvas->GetHandle(), rect, Office11Color03, Office11Color04, false);
}

// ==== Themed painter ============================================================================

namespace {

// Theme states by TcxButtonState (default, normal, hot, pressed, disabled).
constexpr Integer kPushButtonStates[5] = {5, 1, 2, 3, 4};
constexpr Integer kHeaderStates[5] = {1, 1, 2, 3, 1};
constexpr Integer kPartStates[5] = {1, 1, 2, 3, 4};  // close button, drop-down, tab, thumb
// Theme property ids.
constexpr Integer TMT_BORDERCOLOR = 3801;
constexpr Integer TMT_TEXTCOLOR = 3803;
constexpr Integer TMT_FILLCOLOR = 204;
// Part size kinds.
constexpr Integer TS_MIN = 0;
constexpr Integer TS_TRUE = 1;

TdxTheme Theme(TdxThemedObjectKind kind) { return GetThemeHandle(kind); }

// A colour property of a theme part, or `fallback` without the theme or the property.
TColor ThemeColor(TdxThemedObjectKind kind, Integer part, Integer state, Integer property,
                  TColor fallback) {
  COLORREF color = 0;
  if (const TdxTheme theme = Theme(kind))
    if (GetThemeColor(theme, part, state, property, color) == S_OK) return TColor(color);
  return fallback;
}

Integer ScrollArrowState(TcxArrowDirection direction, TcxButtonState state) {
  static constexpr Integer kOffsets[5] = {0, 0, 1, 2, 3};
  return 1 + 4 * Integer(direction) + kOffsets[state];
}

Integer CheckState(TcxButtonState state, Boolean checked) {
  static constexpr Integer kStates[5] = {1, 1, 2, 3, 4};
  return kStates[state] + (checked ? 4 : 0);
}

// The inset of a part's content rect within (0, 0, 100, 100); false when it cannot be read.
Boolean ContentInsets(TdxTheme theme, Integer part, Integer state, TRect& insets) {
  RECT content{};
  if (GetThemeBackgroundContentRect(theme, nullptr, part, state, {0, 0, 100, 100}, content) != S_OK)
    return false;
  insets = {content.Left, content.Top, 100 - content.Right, 100 - content.Bottom};
  return true;
}

Boolean PartSize(TdxTheme theme, Integer part, Integer state, Integer kind, SIZE& size) {
  return theme && GetThemePartSizeWithoutRect(theme, nullptr, part, state, kind, size) == S_OK;
}

void DrawThemePart(TcxCanvas* canvas, TdxTheme theme, Integer part, Integer state, const TRect& r) {
  DrawThemeBackground(theme, canvas->GetHandle(), part, state, r, nullptr);
}

// Draws into a 32-bit bitmap of the rect's size turned a quarter and copies the result back
// turned the other way, so that a part made for horizontal use shows vertically.
template <class F>
void DrawTurned(TcxCanvas* canvas, const TRect& rect, F draw) {
  const Integer w = rect.Width(), h = rect.Height();
  if (w <= 0 || h <= 0) return;
  HDC dc = canvas->GetHandle();
  TScratchDC turned(dc, h, w);
  BitBlt(turned.Dc, 0, 0, h, w, nullptr, 0, 0, WHITENESS);
  std::unique_ptr<TcxCanvas, orv::FreeDeleter> scratch(new TcxCanvas(turned.Dc));
  draw(scratch.get(), TRect{0, 0, h, w});
  scratch.reset();
  TScratchDC back(dc, w, h);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) SetPixel(back.Dc, x, y, GetPixel(turned.Dc, h - 1 - y, x));
  BitBlt(dc, rect.Left, rect.Top, w, h, back.Dc, 0, 0, SRCCOPY);
}

}  // namespace

void TcxWinXPLookAndFeelPainter::DrawThemedText(
    TcxCanvas* canvas, TdxTheme theme, Integer part, Integer state, const TRect& textRect,
    TcxAlignmentHorz alignmentHorz, TcxAlignmentVert alignmentVert, Boolean multiLine,
    Boolean showEndEllipsis, Boolean showPrefix, const AnsiString& text, TFont* font,
    TColor textColor) const {
  if (font) canvas->SetFontHandle(orv::FontHandle(font));
  if (textColor == clDefault && font) textColor = orv::FontColor(font);
  if (textColor != clDefault && textColor != clNone) canvas->SetFontColor(textColor);
  TRect r = textRect;
  if (multiLine && alignmentVert != vaTop)
    canvas->AlignMultiLineTextVertically(r, text, alignmentVert == vaBottom ? 1 : 2, true,
                                         showPrefix);
  DWORD flags = alignmentHorz == 1 ? 2 : alignmentHorz == 2 ? 1 : 0;
  flags |= alignmentVert == vaBottom ? 8 : alignmentVert == vaCenter ? 4 : 0;
  flags |= multiLine ? 0x10 : 0x20;
  if (showEndEllipsis) flags |= 0x8000;
  if (!showPrefix) flags |= 0x800;
  flags |= 0x2000;
  DrawThemeTextAnsi(theme, canvas->GetHandle(), part, state, text, flags, 0, r);
}

void TcxWinXPLookAndFeelPainter::DrawNavigationButtonWithArrow(TcxCanvas* canvas,
                                                               const TRect& rect,
                                                               Boolean isNextButton,
                                                               TcxButtonState state) const {
  const TdxTheme theme = Theme(totTab);
  if (!theme) {
    TcxCustomLookAndFeelPainter::DrawNavigationButtonWithArrow(canvas, rect, isNextButton, state);
    return;
  }
  DrawTurned(canvas, rect, [&](TcxCanvas* c, const TRect& r) {
    DrawThemePart(c, theme, 1, kPartStates[state], r);
  });
  TRect arrowRect, textRect;
  CalculateNavigationButtonLayout(rect, isNextButton, arrowRect, textRect);
  DrawNavigationButtonArrow(canvas, arrowRect, isNextButton, NavigationButtonTextColor());
}

Boolean TcxWinXPLookAndFeelPainter::UsesVisualStyles() const { return IsVisualStyleActive(); }

TColor TcxWinXPLookAndFeelPainter::DefaultColor58() const {
  return ThemeColor(totComboBox, 1, 1, TMT_BORDERCOLOR, inherited::DefaultColor58());
}

void TcxWinXPLookAndFeelPainter::DrawArrowButton(TcxCanvas* canvas, const TRect& rect,
                                                 TcxButtonState state, TcxArrowDirection direction,
                                                 Boolean drawBackground) const {
  if (const TdxTheme theme = Theme(totScrollBar))
    DrawThemePart(canvas, theme, 1, ScrollArrowState(direction, state), rect);
  else
    inherited::DrawArrowButton(canvas, rect, state, direction, drawBackground);
}

void TcxWinXPLookAndFeelPainter::DrawArrowButtonBackground(TcxCanvas* canvas, const TRect& rect,
                                                           TcxButtonState state) const {
  if (const TdxTheme theme = Theme(totButton))
    DrawThemePart(canvas, theme, 1, kPushButtonStates[state], rect);
  else
    inherited::DrawArrowButtonBackground(canvas, rect, state);
}

Integer TcxWinXPLookAndFeelPainter::ControlBorderWidth() const {
  return Theme(totListView) ? 1 : inherited::ControlBorderWidth();
}

void TcxWinXPLookAndFeelPainter::DrawControlBorder(TcxCanvas* canvas, const TRect& rect) const {
  const TdxTheme theme = Theme(totListView);
  if (!theme) {
    inherited::DrawControlBorder(canvas, rect);
    return;
  }
  HDC dc = canvas->GetHandle();
  const Integer saved = ::SaveDC(dc);
  const TRect inner = Shrink(rect, 1);
  ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
  DrawThemeBackground(theme, dc, 5, 0, rect, nullptr);
  ::RestoreDC(dc, saved);
}

TRect TcxWinXPLookAndFeelPainter::AdjustGroupButtonRect(const TRect& rect, Integer buttonCount,
                                                        Integer buttonIndex) const {
  const TRect r = inherited::AdjustGroupButtonRect(rect, buttonCount, buttonIndex);
  if (const TdxTheme theme = Theme(totButton))
    if (IsThemeBackgroundPartiallyTransparent(theme, 1, 1)) return GetInflatedRect(r, 1, 1);
  return r;
}

Integer TcxWinXPLookAndFeelPainter::ButtonBorderWidth(TcxButtonState state) const {
  TRect insets;
  if (const TdxTheme theme = Theme(totButton))
    if (ContentInsets(theme, 1, kPushButtonStates[state], insets)) return insets.Left;
  // The standard width of the state, so that a default button keeps its whole frame.
  return inherited::ButtonBorderWidth(state);
}

TColor TcxWinXPLookAndFeelPainter::ButtonFaceColor(TcxButtonState state) const {
  return ThemeColor(totButton, 1, kPushButtonStates[state], TMT_FILLCOLOR,
                    inherited::ButtonFaceColor(state));
}

TRect TcxWinXPLookAndFeelPainter::ButtonFocusBounds(TcxCanvas* canvas, const TRect& rect) const {
  RECT content{};
  if (const TdxTheme theme = Theme(totButton))
    if (GetThemeBackgroundContentRect(theme, canvas ? canvas->GetHandle() : nullptr, 1, 1, rect,
                                      content) == S_OK)
      return content;
  return inherited::ButtonFocusBounds(canvas, rect);
}

TRect TcxWinXPLookAndFeelPainter::GroupButtonBorderWidths(Integer buttonCount,
                                                          Integer buttonIndex) const {
  // Without the theme the standard widths stand in.
  TRect insets;
  const TdxTheme theme = Theme(totButton);
  if (!theme || !ContentInsets(theme, 1, 1, insets))
    return inherited::GroupButtonBorderWidths(buttonCount, buttonIndex);
  if (IsThemeBackgroundPartiallyTransparent(theme, 1, 1)) insets = GetOffsetRect(insets, -1, -1);
  return insets;
}

TColor TcxWinXPLookAndFeelPainter::ButtonGlyphColor(TcxButtonState state, TColor color) const {
  return ThemeColor(totButton, 1, kPushButtonStates[state], TMT_TEXTCOLOR,
                    inherited::ButtonGlyphColor(state, color));
}

void TcxWinXPLookAndFeelPainter::DrawPushButton(TcxCanvas* canvas, const TRect& rect,
                                                const AnsiString& caption, TcxButtonState state,
                                                Boolean drawBorder, TColor color, TColor textColor,
                                                Boolean wordWrap, TcxButtonKind buttonKind) const {
  const TdxTheme theme = Theme(buttonKind == cxbkToolBarButton ? totToolBar : totButton);
  if (!theme) {
    inherited::DrawPushButton(canvas, rect, caption, state, drawBorder, color, textColor, wordWrap,
                              buttonKind);
    return;
  }
  const Integer themeState = kPushButtonStates[state];
  DrawThemePart(canvas, theme, 1, themeState, rect);
  DrawThemedText(canvas, theme, 1, themeState, rect, 2, vaCenter, false, false, true, caption,
                 nullptr, textColor);
}

void TcxWinXPLookAndFeelPainter::DrawExpandCollapseButton(TcxCanvas* canvas, const TRect& rect,
                                                          Boolean expanded, TColor color) const {
  const TdxTheme theme = Theme(totTreeView);
  if (!theme) {
    inherited::DrawExpandCollapseButton(canvas, rect, expanded, color);
    return;
  }
  DrawThemePart(canvas, theme, 2, expanded ? 2 : 1, rect);
  canvas->ExcludeFromClip(rect);
}

void TcxWinXPLookAndFeelPainter::DrawGroupExpandChevronButton(TcxCanvas* canvas, const TRect& rect,
                                                              Boolean pointingUp,
                                                              TcxButtonState state) const {
  const TdxTheme theme = Theme(totExplorerBar);
  if (!theme) {
    inherited::DrawGroupExpandChevronButton(canvas, rect, pointingUp, state);
    return;
  }
  const Integer themeState = state == cxbsHot ? 2 : state == cxbsPressed ? 3 : 1;
  DrawThemePart(canvas, theme, pointingUp ? 6 : 7, themeState, rect);
}

void TcxWinXPLookAndFeelPainter::DrawSmallPlusMinusButton(TcxCanvas* canvas, const TRect& rect,
                                                          Boolean expanded, TColor borderColor,
                                                          TColor color) const {
  if (Theme(totTreeView))
    DrawExpandCollapseButton(canvas, rect, expanded, clDefault);
  else
    TcxCustomLookAndFeelPainter::DrawSmallPlusMinusButton(canvas, rect, expanded, borderColor,
                                                          clDefault);
}

Integer TcxWinXPLookAndFeelPainter::ExpandCollapseButtonSize() const {
  SIZE size{};
  if (PartSize(Theme(totTreeView), 2, 2, TS_TRUE, size)) return size.cx;
  return inherited::ExpandCollapseButtonSize();
}

Integer TcxWinXPLookAndFeelPainter::GroupExpandChevronButtonSize() const {
  SIZE size{};
  if (PartSize(Theme(totExplorerBar), 7, 1, TS_TRUE, size)) return size.cx;
  return 15;
}

Boolean TcxWinXPLookAndFeelPainter::IsPointInGroupExpandChevronButton(const TRect& rect,
                                                                      const TPoint& point) const {
  HRGN region = nullptr;
  if (const TdxTheme theme = Theme(totExplorerBar))
    if (GetThemeBackgroundRegion(theme, nullptr, 7, 1, rect, region) == S_OK && region) {
      const Boolean inside = PtInRegion(region, point.X, point.Y) != 0;
      DeleteObject(region);
      return inside;
    }
  return IsPointInRect(rect, point);
}

Integer TcxWinXPLookAndFeelPainter::SmallPlusMinusButtonSize() const {
  return Theme(totTreeView) ? ExpandCollapseButtonSize() : 9;
}

Integer TcxWinXPLookAndFeelPainter::CheckBoxBorderWidth() const {
  return Theme(totButton) ? 0 : 2;
}

TSize TcxWinXPLookAndFeelPainter::CheckBoxSize() const {
  SIZE size{};
  if (PartSize(Theme(totButton), 3, 5, TS_TRUE, size)) return {size.cx, size.cy};
  return inherited::CheckBoxSize();
}

void TcxWinXPLookAndFeelPainter::DrawCheckMark(TcxCanvas* canvas, const TRect& rect,
                                               TcxButtonState state, Boolean checked,
                                               TColor markColor) const {
  if (const TdxTheme theme = Theme(totButton))
    DrawThemePart(canvas, theme, 3, CheckState(state, checked), rect);
  else
    inherited::DrawCheckMark(canvas, rect, state, checked, markColor);
}

void TcxWinXPLookAndFeelPainter::DrawCheckBoxFrame(TcxCanvas* canvas, const TRect& rect,
                                                   TcxButtonState state) const {
  if (!Theme(totButton)) inherited::DrawCheckBoxFrame(canvas, rect, state);
}

void TcxWinXPLookAndFeelPainter::DrawRadioButton(TcxCanvas* canvas, Integer x, Integer y,
                                                 TcxButtonState state, Boolean checked,
                                                 Boolean focused, TColor backgroundColor,
                                                 Boolean isDesigning) const {
  // Without the theme the standard glyph stands in.
  const TdxTheme theme = Theme(totButton);
  if (!theme) {
    inherited::DrawRadioButton(canvas, x, y, state, checked, focused, backgroundColor, isDesigning);
    return;
  }
  const TSize size = RadioButtonGlyphSize();
  DrawThemePart(canvas, theme, 2, CheckState(state, checked), MakeRectBounds(x, y, size.cx, size.cy));
}

TSize TcxWinXPLookAndFeelPainter::RadioButtonGlyphSize() const {
  SIZE size{};
  if (PartSize(Theme(totButton), 2, 1, TS_TRUE, size)) return {size.cx, size.cy};
  return inherited::RadioButtonGlyphSize();
}

void TcxWinXPLookAndFeelPainter::DrawHeaderCell(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxNeighbors neighbors,
    TcxBorders borders, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
    const AnsiString& text, TFont* font, TColor textColor, TColor backgroundColor,
    TcxDrawBackgroundEvent onDrawBackground, Boolean isLast, Boolean isGroup) const {
  const TdxTheme theme = Theme(totHeader);
  if (!theme) {
    inherited::DrawHeaderCell(canvas, bounds, textRect, neighbors, borders, state, alignmentHorz,
                              alignmentVert, multiLine, showEndEllipsis, text, font, textColor,
                              backgroundColor, onDrawBackground, isLast, isGroup);
    return;
  }
  const Integer themeState = kHeaderStates[state];
  const Integer scheme = GetOffice11ColorScheme();
  const Integer part = isLast && themeState == 1 && (scheme == 1 || scheme == 2) ? 3 : 1;
  DrawThemePart(canvas, theme, part, themeState, bounds);
  const TRect r = state == cxbsPressed ? GetOffsetRect(textRect, 1, 1) : textRect;
  DrawThemedText(canvas, theme, part, themeState, r, alignmentHorz, alignmentVert, multiLine,
                 showEndEllipsis, false, text, font, textColor);
}

void TcxWinXPLookAndFeelPainter::DrawHeaderSection(
    TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxNeighbors neighbors,
    TcxBorders borders, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
    TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
    const AnsiString& text, TFont* font, TColor textColor, TColor backgroundColor) const {
  canvas->FillRectWithColor(bounds, clBtnFace);
  DrawHeaderCell(canvas, bounds, textRect, neighbors, borders, state, alignmentHorz, alignmentVert,
                 multiLine, showEndEllipsis, text, font, textColor, backgroundColor);
}

void TcxWinXPLookAndFeelPainter::DrawSortArrow(TcxCanvas* canvas, const TRect& rect,
                                               Boolean ascending) const {
  TcxUltraFlatLookAndFeelPainter::Class()->DrawSortArrow(canvas, rect, ascending);
}

TPoint TcxWinXPLookAndFeelPainter::SortArrowSize() const {
  return TcxUltraFlatLookAndFeelPainter::Class()->SortArrowSize();
}

Integer TcxWinXPLookAndFeelPainter::HeaderCellBorderWidth() const {
  TRect insets;
  if (const TdxTheme theme = Theme(totHeader))
    if (ContentInsets(theme, 1, 1, insets)) return std::max<Integer>((insets.Left + insets.Top) / 2, 1);
  return inherited::HeaderCellBorderWidth();
}

TRect TcxWinXPLookAndFeelPainter::HeaderSectionContentBounds(const TRect& rect,
                                                             TcxButtonState state) const {
  if (Theme(totHeader)) return Shrink(rect, HeaderCellBorderWidth());
  return inherited::HeaderSectionContentBounds(rect, state);
}

Integer TcxWinXPLookAndFeelPainter::FooterCellBorderWidth() const {
  TRect insets;
  if (const TdxTheme theme = Theme(totTrackBar))
    if (ContentInsets(theme, 1, 1, insets)) return insets.Left;
  return inherited::FooterCellBorderWidth();
}

void TcxWinXPLookAndFeelPainter::DrawFooterCell(TcxCanvas* canvas, const TRect& bounds,
                                                TcxAlignmentHorz alignmentHorz,
                                                TcxAlignmentVert alignmentVert, Boolean multiLine,
                                                const AnsiString& text, TFont* font,
                                                TColor textColor, TColor backgroundColor,
                                                TcxDrawBackgroundEvent onDrawBackground) const {
  const TdxTheme theme = Theme(totTrackBar);
  if (!theme) {
    inherited::DrawFooterCell(canvas, bounds, alignmentHorz, alignmentVert, multiLine, text, font,
                              textColor, backgroundColor, onDrawBackground);
    return;
  }
  DrawThemePart(canvas, theme, 1, 1, bounds);
  DrawThemedText(canvas, theme, 1, 1, FooterCellTextAreaBounds(bounds), alignmentHorz,
                 alignmentVert, multiLine, false, false, text, font, textColor);
}

void TcxWinXPLookAndFeelPainter::DrawFooterFrame(TcxCanvas* canvas, const TRect& rect) const {
  if (const TdxTheme theme = Theme(totEdit))
    DrawThemeEdge(theme, canvas->GetHandle(), 0, 0, rect, 4, 15, nullptr);
  else
    inherited::DrawFooterFrame(canvas, rect);
}

void TcxWinXPLookAndFeelPainter::DrawFilterBoxCloseButton(TcxCanvas* canvas, const TRect& rect,
                                                          TcxButtonState state) const {
  if (const TdxTheme theme = Theme(totWindow))
    DrawThemePart(canvas, theme, 19, kPartStates[state], rect);
  else
    inherited::DrawFilterBoxCloseButton(canvas, rect, state);
}

void TcxWinXPLookAndFeelPainter::DrawFilterDropDownArrowButton(TcxCanvas* canvas, const TRect& rect,
                                                               TcxButtonState state,
                                                               Boolean isFilterActive) const {
  if (const TdxTheme theme = Theme(totComboBox))
    DrawThemePart(canvas, theme, 1, kPartStates[state], rect);
  else
    inherited::DrawFilterDropDownArrowButton(canvas, rect, state, isFilterActive);
}

TPoint TcxWinXPLookAndFeelPainter::FilterCheckBoxSize() const {
  SIZE size{};
  if (PartSize(Theme(totButton), 3, 5, TS_TRUE, size)) return {size.cx, size.cy};
  return {13, 13};
}

TPoint TcxWinXPLookAndFeelPainter::FilterBoxCloseButtonSize() const {
  SIZE size{};
  if (PartSize(Theme(totWindow), 19, 1, TS_TRUE, size)) return {size.cx + 4, size.cy + 4};
  return {16, 14};
}

void TcxWinXPLookAndFeelPainter::DrawTabItem(TcxCanvas* canvas, const TRect& rect,
                                             TcxBorders borders, const AnsiString& text,
                                             TcxButtonState state, Boolean isVertical, TFont* font,
                                             TColor textColor, TColor backgroundColor,
                                             Boolean showPrefix) const {
  const TdxTheme theme = Theme(totTab);
  if (!theme) {
    inherited::DrawTabItem(canvas, rect, borders, text, state, isVertical, font, textColor,
                           backgroundColor, showPrefix);
    return;
  }
  const Integer themeState = kPartStates[state];
  if (isVertical)
    DrawTurned(canvas, rect, [&](TcxCanvas* c, const TRect& r) {
      DrawThemePart(c, theme, 1, themeState, r);
    });
  else
    DrawThemePart(canvas, theme, 1, themeState, rect);
  DrawThemedText(canvas, theme, 1, themeState, rect, 2, vaCenter, false, false, showPrefix, text,
                 font, textColor);
}

void TcxWinXPLookAndFeelPainter::DrawTabItemFrame(TcxCanvas* canvas, const TRect& rect,
                                                  Integer selectedSide, TcxBorders borders,
                                                  Boolean isVertical) const {
  if (!Theme(totTab)) inherited::DrawTabItemFrame(canvas, rect, selectedSide, borders, isVertical);
}

void TcxWinXPLookAndFeelPainter::DrawTabsPane(TcxCanvas* canvas, const TRect& rect,
                                              TcxBorders borders, Boolean isVertical) const {
  const TdxTheme theme = Theme(totTab);
  if (!theme) {
    inherited::DrawTabsPane(canvas, rect, borders, isVertical);
    return;
  }
  // Only the pane's edge toward the tabs falls inside the given rect.
  TRect pane = rect;
  if (!borders.Contains(bLeft)) pane.Left -= 10;
  if (!borders.Contains(bTop)) pane.Top -= 10;
  if (!borders.Contains(bRight)) pane.Right += 10;
  if (!borders.Contains(bBottom)) pane.Bottom += 10;
  HDC dc = canvas->GetHandle();
  const Integer saved = ::SaveDC(dc);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  DrawThemeBackground(theme, dc, 9, 0, pane, nullptr);
  ::RestoreDC(dc, saved);
}

Boolean TcxWinXPLookAndFeelPainter::IsTabDrawingSupported(Boolean isVertical) const {
  return Theme(totTab) != 0;
}

Boolean TcxWinXPLookAndFeelPainter::SupportsTabHotTrack(Boolean isVertical) const {
  return Theme(totTab) != 0;
}

void TcxWinXPLookAndFeelPainter::DrawIndicatorCell(TcxCanvas* canvas, const TRect& rect,
                                                   Integer kind, TColor backgroundColor,
                                                   TcxDrawBackgroundEvent onDrawBackground) const {
  TcxFlatLookAndFeelPainter::Class()->DrawIndicatorCell(canvas, rect, kind, backgroundColor,
                                                        onDrawBackground);
}

Integer TcxWinXPLookAndFeelPainter::ScrollBarMinThumbSize(Boolean isVertical) const {
  const TdxTheme theme = Theme(totScrollBar);
  const Integer part = isVertical ? 8 : 9;
  SIZE minimum{};
  if (!PartSize(theme, part, 1, TS_MIN, minimum)) return 8;
  const Integer m = isVertical ? minimum.cy : minimum.cx;
  SIZE trueSize{};
  const Integer t = PartSize(theme, part, 1, TS_TRUE, trueSize)
                        ? std::max<Integer>(isVertical ? trueSize.cy : trueSize.cx, m + 4)
                        : m;
  return std::max<Integer>(t, 8);
}

void TcxWinXPLookAndFeelPainter::DrawScrollBarElement(TcxCanvas* canvas, Boolean isHorizontal,
                                                      const TRect& rect, TcxScrollBarPart part,
                                                      TcxButtonState state) const {
  if (RectIsEmpty(rect)) return;
  const TdxTheme theme = Theme(totScrollBar);
  if (!theme || part == sbpNone) {
    inherited::DrawScrollBarElement(canvas, isHorizontal, rect, part, state);
    return;
  }
  switch (part) {
    case sbpLineUp:
    case sbpLineDown:
      DrawArrowButton(canvas, rect, state, ScrollBarArrowDirection(isHorizontal, part), true);
      break;
    case sbpThumbnail:
      DrawThemePart(canvas, theme, isHorizontal ? 2 : 3, kPartStates[state], rect);
      DrawThemePart(canvas, theme, isHorizontal ? 8 : 9, 0, rect);
      break;
    case sbpPageUp:
      DrawThemePart(canvas, theme, isHorizontal ? 4 : 6, kPartStates[state], rect);
      break;
    case sbpPageDown:
      DrawThemePart(canvas, theme, isHorizontal ? 5 : 7, kPartStates[state], rect);
      break;
    default:
      break;
  }
}

void TcxWinXPLookAndFeelPainter::DrawSizeGripArea(TcxCanvas* canvas, const TRect& rect,
                                                  TColor backgroundColor) const {
  const TdxTheme theme = Theme(totScrollBar);
  if (!theme) {
    inherited::DrawSizeGripArea(canvas, rect, backgroundColor);
    return;
  }
  canvas->FillRectWithColor(rect, backgroundColor);
  DrawThemePart(canvas, theme, 10, 1, rect);
}

void TcxWinXPLookAndFeelPainter::DrawCalendarMonthHeader(
    TcxCanvas* canvas, const TRect& rect, const AnsiString& text, TcxNeighbors neighbors,
    const TcxViewParams& viewParams, Integer arrows, TcxBorders sideBorders,
    TcxDrawBackgroundEvent onCustomDraw) const {
  // The header cell (themed when the header theme opens) with its arrows, without the
  // standard painter's black frame.
  TcxCustomLookAndFeelPainter::DrawCalendarMonthHeader(canvas, rect, text, neighbors, viewParams,
                                                       arrows, sideBorders, onCustomDraw);
}

void TcxWinXPLookAndFeelPainter::DrawEventProgress(TcxCanvas* canvas, const TRect& rect,
                                                   const TRect& progressRect,
                                                   const TcxViewParams& viewParams,
                                                   Boolean transparent) const {
  const TdxTheme theme = Theme(totProgress);
  if (!theme) {
    inherited::DrawEventProgress(canvas, rect, progressRect, viewParams, transparent);
    return;
  }
  DrawThemePart(canvas, theme, 1, 1, rect);
  DrawThemePart(canvas, theme, 3, 1, progressRect);
}

void TcxWinXPLookAndFeelPainter::DrawNavigationBarButton(TcxCanvas* canvas, const TRect& rect,
                                                         TcxButtonState state) const {
  if (const TdxTheme theme = Theme(totToolBar))
    DrawThemePart(canvas, theme, 1, kPushButtonStates[state], rect);
  else
    inherited::DrawNavigationBarButton(canvas, rect, state);
}

void TcxWinXPLookAndFeelPainter::DrawSplitterBorder(TcxCanvas* canvas, const TRect& rect,
                                                    const TcxViewParams& viewParams,
                                                    Boolean isHorizontal) const {
  if (Theme(totComboBox) && Theme(totListView)) {
    const TColor color = DefaultColor58();
    DrawSplitterLines(canvas, rect, viewParams, isHorizontal, {{color, color}});
  } else {
    TcxStandardLookAndFeelPainter::Class()->DrawSplitterBorder(canvas, rect, viewParams,
                                                               isHorizontal);
  }
}

TRect TcxWinXPLookAndFeelPainter::EventProgressMargins() const {
  return Theme(totProgress) ? TRect{3, 3, 3, 3} : inherited::EventProgressMargins();
}

void TcxWinXPLookAndFeelPainter::DrawCalendarDateTimePanel(TcxCanvas* canvas, TRect& rect) const {
  // Nothing without the header theme.
  if (const TdxTheme theme = Theme(totHeader)) DrawThemePart(canvas, theme, 2, 1, rect);
}

void TcxWinXPLookAndFeelPainter::DrawGroupBoxOutline(TcxCanvas* canvas, const TRect& rect,
                                                     Boolean enabled, TcxCaptionPosition captionPosition,
                                                     TcxBorders borders) const {
  if (const TdxTheme theme = Theme(totButton))
    DrawThemePart(canvas, theme, 4, enabled ? 1 : 2, rect);
  else
    inherited::DrawGroupBoxOutline(canvas, rect, enabled, captionPosition, borders);
}

TColor TcxWinXPLookAndFeelPainter::GroupBoxCaptionTextColor(Boolean enabled) const {
  return ThemeColor(totButton, 4, enabled ? 1 : 2, TMT_TEXTCOLOR,
                    inherited::GroupBoxCaptionTextColor(enabled));
}

void TcxWinXPLookAndFeelPainter::DrawGroupBoxBackground(TcxCanvas* canvas, TObject* control,
                                                        const TRect& rect, TColor color1,
                                                        TColor color2) const {
  if (color1 == clDefault)
    DrawGroupBoxParentBackground(canvas, control, rect);
  else
    canvas->FillRectWithColor(rect, color1);
}

// ==== Extended-style painter registry ===========================================================

TcxExtendedStylePainters::~TcxExtendedStylePainters() {
  for (TcxExtendedStylePainterInfo* item : FItems) item->Free();
}

void TcxExtendedStylePainters::Register(const AnsiString& name,
                                        TcxCustomLookAndFeelPainterClass painter) {
  const Integer index = FindInfoByName(name);
  if (index >= 0) {
    FItems[std::size_t(index)]->Free();
    FItems.erase(FItems.begin() + index);
  }
  FItems.push_back(new TcxExtendedStylePainterInfo(name, painter));
  NotifyListeners();
}

void TcxExtendedStylePainters::Unregister(const AnsiString& name) {
  const Integer index = FindInfoByName(name);
  if (index < 0) return;
  FItems[std::size_t(index)]->Free();
  FItems.erase(FItems.begin() + index);
  NotifyListeners();
}

Integer TcxExtendedStylePainters::FindInfoByName(const AnsiString& name) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (SameText(FItems[i]->GetName(), name)) return Integer(i);
  return -1;
}

Boolean TcxExtendedStylePainters::GetPainterByName(const AnsiString& name,
                                                   TcxCustomLookAndFeelPainterClass& painter) const {
  const Integer index = FindInfoByName(name);
  if (index < 0) return false;
  painter = FItems[std::size_t(index)]->GetPainter();
  return true;
}

void TcxExtendedStylePainters::AddListener(IcxLookAndFeelSkinListener* listener) {
  if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
    FListeners.push_back(listener);
}

void TcxExtendedStylePainters::RemoveListener(IcxLookAndFeelSkinListener* listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}

void TcxExtendedStylePainters::NotifyListeners() {
  // A listener may leave the list while it is told.
  const std::vector<IcxLookAndFeelSkinListener*> listeners = FListeners;
  for (IcxLookAndFeelSkinListener* listener : listeners)
    if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end())
      listener->SkinsChanged();
}

namespace {
TcxExtendedStylePainters* gExtendedStylePainters = nullptr;
Boolean gExtendedStylePaintersFreed = false;
}  // namespace

TcxExtendedStylePainters* GetExtendedStylePainters() {
  if (!gExtendedStylePainters && !gExtendedStylePaintersFreed) {
    gExtendedStylePainters = new TcxExtendedStylePainters;
    static struct THolder {
      ~THolder() {
        gExtendedStylePaintersFreed = true;
        FreeAndNil(gExtendedStylePainters);
      }
    } holder;
  }
  return gExtendedStylePainters;
}

// ==== Indicator images ==========================================================================

namespace {

// 8 x 9 glyphs, black on white; white is transparent.
constexpr const char* kIndicatorGlyphs[6][9] = {
    {"..#.....", "..##....", "..###...", "..####..", "..#####.", "..####..", "..###...",
     "..##....", "..#....."},
    {".##.##..", "...#....", "...#....", "...#....", "...#....", "...#....", "...#....",
     "...#....", ".##.##.."},
    {"........", "...#....", ".#.#.#..", "..###...", "...#....", "..###...", ".#.#.#..",
     "...#....", "........"},
    {"........", "........", "...#....", "..###...", "..###...", "..###...", "...#....",
     "........", "........"},
    {"..#.....", "..##....", "....#...", "..#..#..", "..##.##.", "..#..#..", "....#...",
     "..##....", "..#....."},
    {"........", "########", "#......#", "#......#", ".#....#.", "..####..", "..#..#..",
     "..#..#..", "..####.."}};

TcxImageList* gIndicatorImages = nullptr;

}  // namespace

void CreateIndicatorImages() {
  if (gIndicatorImages) return;
  gIndicatorImages = new TcxImageList(nullptr, 8, 9);
  static TFreeAtExit<TcxImageList> holder{gIndicatorImages};
  for (const auto& glyph : kIndicatorGlyphs) {
    std::unique_ptr<TcxBitmap, orv::FreeDeleter> bitmap(new TcxBitmap(8, 9));
    TcxCanvas* canvas = bitmap->GetCanvas();
    canvas->FillRectWithColor({0, 0, 8, 9}, clWhite);
    for (Integer y = 0; y < 9; ++y)
      for (Integer x = 0; x < 8; ++x)
        if (glyph[y][x] == '#') canvas->SetPixelColor(x, y, clBlack);
    gIndicatorImages->AddMaskedImage(bitmap.get(), clWhite);
  }
}

void DestroyIndicatorImages() { FreeAndNil(gIndicatorImages); }

TcxImageList* GetIndicatorImages() {
  if (!gIndicatorImages) CreateIndicatorImages();
  return gIndicatorImages;
}

// ==== Scroll-bar brush bitmaps ==================================================================

namespace {
TcxBitmap* gScrollBarBitmaps[2] = {nullptr, nullptr};

void FillScrollBarBitmap(TcxBitmap* bitmap, TColor even, TColor odd) {
  TcxCanvas* canvas = bitmap->GetCanvas();
  for (Integer y = 0; y < 8; ++y)
    for (Integer x = 0; x < 8; ++x) canvas->SetPixelColor(x, y, (x + y) % 2 == 0 ? even : odd);
}
}  // namespace

void CreateScrollBarBitmaps() {
  for (TcxBitmap*& bitmap : gScrollBarBitmaps)
    if (!bitmap) bitmap = new TcxBitmap(8, 8);
  static TFreeAtExit<TcxBitmap> light{gScrollBarBitmaps[0]}, dark{gScrollBarBitmaps[1]};
  FillScrollBarBitmap(gScrollBarBitmaps[0], clBtnFace, clBtnHighlight);
  FillScrollBarBitmap(gScrollBarBitmaps[1], clBlack, cl3DDkShadow);
}

void UpdateScrollBarBitmaps() { CreateScrollBarBitmaps(); }

TcxBitmap* GetScrollBarBitmap(Boolean pressed) {
  if (!gScrollBarBitmaps[0]) CreateScrollBarBitmaps();
  return gScrollBarBitmaps[pressed ? 1 : 0];
}

// ==== Radio-button images =======================================================================

namespace {

// The images' map: state + 8 kind + 32 designing + 64 focused + 4 checked - 1 -> image index.
std::vector<Integer> gRadioImageMap;
TcxRadioButtonImageList* gRadioButtonImageList = nullptr;

Integer RadioMapIndex(TcxLookAndFeelKind kind, TcxButtonState state, Boolean checked,
                      Boolean focused, Boolean isDesigning) {
  // Default has no images of its own and is drawn as normal.
  const Integer s = state == cxbsDefault ? Integer(cxbsNormal) : Integer(state);
  return s + 8 * Integer(kind) + 32 * Integer(isDesigning) + 64 * Integer(focused) +
         4 * Integer(checked) - 1;
}

// The pixels of one drawing on a white bitmap: true where the drawing left black.
std::vector<Boolean> BlackPixels(Integer w, Integer h, void (*draw)(HDC, Integer, Integer, const TRect&),
                                 const TRect& area) {
  std::unique_ptr<TcxBitmap, orv::FreeDeleter> bitmap(new TcxBitmap(w, h));
  HDC dc = bitmap->GetCanvas()->GetHandle();
  TcxCanvas* canvas = bitmap->GetCanvas();
  canvas->FillRectWithColor({0, 0, w, h}, clWhite);
  draw(dc, w, h, area);
  std::vector<Boolean> result(std::size_t(w * h));
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      result[std::size_t(y * w + x)] = (GetPixel(dc, x, y) & 0xFFFFFF) == 0;
  return result;
}

void DrawEllipseOutline(HDC dc, Integer w, Integer h, const TRect& area) {
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
  Ellipse(dc, area.Left, area.Top, area.Right, area.Bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

void DrawFilledEllipse(HDC dc, Integer w, Integer h, const TRect& area) {
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  Ellipse(dc, area.Left, area.Top, area.Right, area.Bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

void DrawFilledRoundRect(HDC dc, Integer w, Integer h, const TRect& area) {
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  RoundRect(dc, area.Left, area.Top, area.Right, area.Bottom, w - 1, h - 1);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

}  // namespace

TcxRadioButtonImageList::TcxRadioButtonImageList() {
  CalculateGeometry();
  BuildPattern();
  FImageList = new TcxImageList(nullptr, FSize.cx, FSize.cy);
  // The mask: white, with the glyph's round area black.
  FMask = new TcxBitmap(FSize.cx, FSize.cy);
  const std::vector<Boolean> round =
      BlackPixels(FSize.cx, FSize.cy, DrawFilledRoundRect, {0, 0, FSize.cx, FSize.cy});
  TcxCanvas* canvas = FMask->GetCanvas();
  for (Integer y = 0; y < FSize.cy; ++y)
    for (Integer x = 0; x < FSize.cx; ++x)
      canvas->SetPixelColor(x, y, round[std::size_t(y * FSize.cx + x)] ? clBlack : clWhite);
}

TcxRadioButtonImageList::~TcxRadioButtonImageList() {
  orv::Free(FImageList);
  orv::Free(FMask);
}

void TcxRadioButtonImageList::CalculateGeometry() {
  // The platform layer has no radio-button mask drawing to measure, so the classic glyph stands
  // in: a 12 x 12 ring at the top-left of the 13 x 13 check-box cell with a 4 x 4 dot in its
  // middle.
  FRadioRect = {0, 0, 12, 12};
  FCheckRect = {4, 4, 8, 8};
  FSize = {FRadioRect.Width(), FRadioRect.Height()};
}

void TcxRadioButtonImageList::BuildPattern() {
  const Integer W = FSize.cx, H = FSize.cy;
  FPattern.assign(std::size_t(W * H), 0);
  auto at = [&](Integer x, Integer y) -> Byte& { return FPattern[std::size_t(y * W + x)]; };
  auto belowAntiDiagonal = [&](Integer x, Integer y) {
    return Int64(H - 1) * (W - x - 1) < Int64(y) * (W - 1);
  };
  // Outer ring.
  const std::vector<Boolean> outline = BlackPixels(W, H, DrawEllipseOutline, {0, 0, W, H});
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x)
      if (outline[std::size_t(y * W + x)]) at(x, y) = belowAntiDiagonal(x, y) ? 2 : 1;
  // Body: from the centre column outward over pixels that are still outside.
  const Integer c = W / 2;
  for (Integer y = 1; y <= H - 2; ++y) {
    for (Integer x = c - 1; x >= 0 && at(x, y) == 0; --x) at(x, y) = 5;
    for (Integer x = c; x < W && at(x, y) == 0; ++x) at(x, y) = 5;
  }
  // Inner ring: the body pixels next to the outer ring, found by walking out from the middle.
  std::vector<Boolean> inner(std::size_t(W * H), false);
  for (Integer y = 1; y <= H - 2; ++y) {
    const Boolean edgeRow = y == 1 || y == H - 2;
    Integer x = c;
    while (x > 0 && at(x - 1, y) > 2) {
      if (edgeRow) inner[std::size_t(y * W + x)] = true;
      --x;
    }
    inner[std::size_t(y * W + x)] = true;
    x = c;
    while (x < W - 1 && at(x + 1, y) > 2) {
      if (edgeRow) inner[std::size_t(y * W + x)] = true;
      ++x;
    }
    inner[std::size_t(y * W + x)] = true;
  }
  const Integer m = H / 2;
  for (Integer x = 1; x <= W - 2; ++x) {
    const Boolean edgeColumn = x == 1 || x == W - 2;
    Integer y = m;
    while (y > 0 && at(x, y - 1) > 2) {
      if (edgeColumn) inner[std::size_t(y * W + x)] = true;
      --y;
    }
    inner[std::size_t(y * W + x)] = true;
    y = m;
    while (y < H - 1 && at(x, y + 1) > 2) {
      if (edgeColumn) inner[std::size_t(y * W + x)] = true;
      ++y;
    }
    inner[std::size_t(y * W + x)] = true;
  }
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x) {
      if (!inner[std::size_t(y * W + x)] || at(x, y) <= 2) continue;
      const Int64 left = Int64(H - 1) * (W - x - 1), right = Int64(y) * (W - 1);
      if (left < right) at(x, y) = 4;
      else if (left > right) at(x, y) = 3;
      else at(x, y) = x > W / 2 - 1 ? 4 : 3;
    }
  // Check dot.
  const TRect dot = GetOffsetRect(FCheckRect, -FRadioRect.Left, -FRadioRect.Top);
  const std::vector<Boolean> dotPixels = BlackPixels(W, H, DrawFilledEllipse, dot);
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x)
      if (dotPixels[std::size_t(y * W + x)]) at(x, y) = 6;
}

TColor RadioButtonPatternColor(Integer index, TcxLookAndFeelKind kind, TcxButtonState state,
                               Boolean checked, Boolean focused, Boolean isDesigning) {
  if (state == cxbsDefault) state = cxbsNormal;
  const Boolean disabled = state == cxbsDisabled;
  Boolean highlighted;
  if (kind == lfOffice11)
    highlighted = !disabled && (focused || state == cxbsHot || state == cxbsPressed || isDesigning);
  else
    highlighted = focused || state == cxbsHot || state == cxbsPressed || (isDesigning && !disabled);
  TColor body;
  if (kind == lfOffice11) {
    body = state == cxbsNormal ? clWindow
                               : TcxOffice11LookAndFeelPainter::Class()->ButtonFaceColor(state);
  } else if (disabled) {
    body = clBtnFace;
  } else if (kind == lfUltraFlat) {
    body = state == cxbsHot       ? GetLightHighlightColor()
           : state == cxbsPressed ? GetLightDownHighlightColor()
                                  : clWindow;
  } else {
    body = state == cxbsPressed ? clBtnFace : clWindow;
  }
  switch (index) {
    case 0: return clBlack;
    case 1:
    case 2:
      if (kind == lfUltraFlat) return highlighted ? clHighlight : clBtnShadow;
      if (kind == lfOffice11) return disabled ? Office11Color43 : highlighted ? Office11Color33 : clBtnText;
      return index == 1 ? clBtnShadow : clBtnHighlight;
    case 3:
    case 4:
      if (kind == lfFlat) return cl3DLight;
      if (kind == lfStandard) return index == 3 ? cl3DDkShadow : cl3DLight;
      return body;
    case 5: return body;
    default:
      if (!checked) return body;
      if (disabled) return kind == lfOffice11 ? Office11Color43 : clBtnShadow;
      return clWindowText;
  }
}

void TcxRadioButtonImageList::Prepare() {
  if (FImageList->GetCount() > 0) return;
  const Integer W = FSize.cx, H = FSize.cy;
  std::unique_ptr<TcxBitmap, orv::FreeDeleter> bitmap(new TcxBitmap(W, H, pf32bit));
  for (Integer focused = 0; focused < 2; ++focused)
    for (Integer designing = 0; designing < 2; ++designing)
      for (Integer kind = 0; kind < 4; ++kind)
        for (Integer checked = 0; checked < 2; ++checked)
          for (Integer state = cxbsNormal; state <= cxbsDisabled; ++state) {
            COLORREF colors[7];
            for (Integer i = 0; i < 7; ++i)
              colors[i] = ColorToRGB(RadioButtonPatternColor(
                  i, TcxLookAndFeelKind(kind), TcxButtonState(state), checked != 0, focused != 0,
                  designing != 0));
            TRGBColors pixels(std::size_t(W * H));
            for (std::size_t p = 0; p < pixels.size(); ++p) {
              const COLORREF c = colors[FPattern[p]];
              // COLORREF keeps red low; pixels keep blue low.
              // Outside the glyph the pixel is transparent in the alpha channel as well as in
              // the mask.
              pixels[p] = Cardinal(GetBValue(c)) | Cardinal(GetGValue(c)) << 8 |
                          Cardinal(GetRValue(c)) << 16 | (FPattern[p] == 0 ? 0u : 0xFF000000u);
            }
            StoreBitmapColors(bitmap.get(), pixels, true);
            const Integer imageIndex = FImageList->AddImage(bitmap.get(), FMask);
            const Integer mapIndex = RadioMapIndex(TcxLookAndFeelKind(kind), TcxButtonState(state),
                                                   checked != 0, focused != 0, designing != 0);
            if (Integer(gRadioImageMap.size()) <= mapIndex)
              gRadioImageMap.resize(std::size_t(mapIndex + 1), -1);
            gRadioImageMap[std::size_t(mapIndex)] = imageIndex;
          }
}

void TcxRadioButtonImageList::Reset() {
  FImageList->ClearImages();
  gRadioImageMap.clear();
  Prepare();
}

Integer TcxRadioButtonImageList::GetImageIndex(TcxLookAndFeelKind kind, TcxButtonState state,
                                               Boolean checked, Boolean focused,
                                               Boolean isDesigning) {
  Prepare();
  const Integer mapIndex = RadioMapIndex(kind, state, checked, focused, isDesigning);
  if (mapIndex < 0 || mapIndex >= Integer(gRadioImageMap.size())) return -1;
  return gRadioImageMap[std::size_t(mapIndex)];
}

void TcxRadioButtonImageList::Draw(TcxCanvas* canvas, Integer x, Integer y, TColor backgroundColor,
                                   TcxLookAndFeelKind kind, TcxButtonState state, Boolean checked,
                                   Boolean focused, Boolean isDesigning) {
  const Integer index = GetImageIndex(kind, state, checked, focused, isDesigning);
  if (index < 0) return;
  if (backgroundColor == clDefault) {
    FImageList->Draw(canvas, x, y, index);
    return;
  }
  std::unique_ptr<TcxBitmap, orv::FreeDeleter> bitmap(new TcxBitmap(FSize.cx, FSize.cy));
  bitmap->GetCanvas()->FillRectWithColor({0, 0, FSize.cx, FSize.cy}, backgroundColor);
  FImageList->Draw(bitmap->GetCanvas(), 0, 0, index);
  BitBlt(canvas->GetHandle(), x, y, FSize.cx, FSize.cy, bitmap->GetCanvas()->GetHandle(), 0, 0,
         SRCCOPY);
}

namespace {

// Renders the radio-button images again after a system colour change, before the look and
// feels (ordinary notifiers) tell their controls to repaint.
class TSystemPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
  ORV_CLASS(TSystemPaletteChangedNotifier, TcxSystemPaletteChangedNotifier)
 public:
  TSystemPaletteChangedNotifier() : TcxSystemPaletteChangedNotifier(true) {}
  void NotifyPaletteChanged() override {
    LookAndFeelPaintersSystemColorsChanged();
    inherited::NotifyPaletteChanged();
  }
};

TSystemPaletteChangedNotifier* gPaletteNotifier = nullptr;

}  // namespace

TcxRadioButtonImageList* GetRadioButtonImageList() {
  if (!gRadioButtonImageList) {
    gRadioButtonImageList = new TcxRadioButtonImageList;
    gRadioButtonImageList->Prepare();
    if (!gPaletteNotifier) gPaletteNotifier = new TSystemPaletteChangedNotifier;
    static TFreeAtExit<TcxRadioButtonImageList> list{gRadioButtonImageList};
    static TFreeAtExit<TSystemPaletteChangedNotifier> notifier{gPaletteNotifier};
  }
  return gRadioButtonImageList;
}

void LookAndFeelPaintersSystemColorsChanged() {
  if (gRadioButtonImageList) gRadioButtonImageList->Reset();
  if (gScrollBarBitmaps[0]) UpdateScrollBarBitmaps();
}
