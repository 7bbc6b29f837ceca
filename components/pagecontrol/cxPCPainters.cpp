#include "components/pagecontrol/cxPCPainters.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/drawing/Gdi.h"

namespace {

using RegionPtr = std::unique_ptr<TcxRegion, orv::FreeDeleter>;

Boolean IsFocusedControl(TcxCustomTabControl* control) {
  return control->HandleAllocated() && control->IsFocused();
}

}  // namespace

// ==== Drawing utilities ========================================================================

TColor PCLightColor() {
  static const TColor color = [] {
    const COLORREF c = ColorToRGB(clBtnFace);
    auto lighten = [](Integer channel) { return channel + 20 > 235 ? 255 : channel + 20; };
    return TColor(RGB(lighten(GetRValue(c)), lighten(GetGValue(c)), lighten(GetBValue(c))));
  }();
  return color;
}

void AddFigurePoints(TPoints& points, std::initializer_list<TPoint> newPoints, TLinePositions& linePositions,
                     std::initializer_list<TLinePosition> newLinePositions) {
  points.insert(points.end(), newPoints.begin(), newPoints.end());
  linePositions.insert(linePositions.end(), newLinePositions.begin(), newLinePositions.end());
}

void DrawRectLines(TcxCanvas* canvas, TRect& rect, std::initializer_list<Byte> sides,
                   std::initializer_list<TColor> colors, Boolean excludeFromClip) {
  const TRect original = rect;
  auto color = colors.begin();
  for (Byte side : sides) {
    const TColor c = *color++;
    switch (side) {
      case 0:
        canvas->FillRectWithColor({rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, c);
        ++rect.Left;
        break;
      case 1:
        canvas->FillRectWithColor({rect.Left, rect.Top, rect.Right, rect.Top + 1}, c);
        ++rect.Top;
        break;
      case 2:
        canvas->FillRectWithColor({rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, c);
        --rect.Right;
        break;
      default:
        canvas->FillRectWithColor({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, c);
        --rect.Bottom;
        break;
    }
  }
  if (excludeFromClip) {
    auto* band = new TcxRegion(original);
    band->CombineWith(new TcxRegion(rect), roSubtract);
    canvas->SetClipRegion(band, roSubtract);
  }
}

void GetControlBoundsRect(TcxCustomTabControl* tabControl, TRect& rect) {
  rect = {0, 0, tabControl->GetWidth(), tabControl->GetHeight()};
}

TcxRegion* CreateFigureRegion(const TPoints& source, const TLinePositions& linePositions, Boolean leftGroup) {
  TPoints points = source;
  auto has = [&](TLinePosition lp) {
    return std::find(linePositions.begin(), linePositions.end(), lp) != linePositions.end();
  };
  for (std::size_t i = 0; i + 1 < points.size() && i < linePositions.size(); ++i) {
    TPoint& a = points[i];
    TPoint& b = points[i + 1];
    const TLinePosition lp = linePositions[i];
    const Boolean left = lp == lpL || lp == lpLT || lp == lpT || lp == lpLB;
    if (left != leftGroup) continue;
    switch (lp) {
      case lpL:
        ++a.X;
        if (has(lpLB)) ++a.Y;
        ++b.X;
        if (has(lpLT)) --b.Y;
        break;
      case lpLT:
        if (has(lpL)) ++a.Y; else ++a.X;
        if (has(lpT)) ++b.X; else ++b.Y;
        break;
      case lpT:
        ++a.Y;
        if (has(lpLT)) --a.X;
        ++b.Y;
        if (has(lpRT)) ++b.X;
        break;
      case lpLB:
        if (has(lpB)) ++a.X; else --a.Y;
        if (has(lpL)) --b.Y; else ++b.X;
        break;
      case lpRT:
        if (has(lpT)) ++a.X; else --a.Y;
        if (has(lpR)) --b.Y; else ++b.X;
        break;
      case lpR:
        ++a.X;
        if (has(lpRT)) ++a.Y;
        ++b.X;
        if (has(lpRB)) --b.Y;
        break;
      case lpRB:
        if (has(lpR)) ++a.Y; else ++a.X;
        if (has(lpB)) ++b.X; else ++b.Y;
        break;
      case lpB:
        ++a.Y;
        if (has(lpRB)) --a.X;
        ++b.Y;
        if (has(lpLB)) ++b.X;
        break;
    }
  }
  std::vector<POINT> poly(points.begin(), points.end());
  return new TcxRegion(CreatePolygonRgn(poly.data(), int(poly.size()), WINDING));
}

void GetOrientedRectSize(const TRect& rect, Boolean horizontal, Integer& width, Integer& height) {
  width = rect.Width();
  height = rect.Height();
  if (!horizontal) std::swap(width, height);
}

void ColorToHSV(TColor color, double& h, double& s, double& v) {
  const COLORREF c = ColorToRGB(color);
  const double r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  const double max = std::max({r, g, b}), min = std::min({r, g, b});
  v = max * 100 / 255;
  s = max == 0 ? 0 : 100 - min * 100 / max;
  if (s == 0) {
    h = 0;
    return;
  }
  const double d = max - min;
  if (max == r)
    h = (g - b) * 60 / d;
  else if (max == g)
    h = (b - r) * 60 / d + 120;
  else
    h = (r - g) * 60 / d + 240;
  if (h < 0) h += 360;
}

TColor HSVToColor(double h, double s, double v) {
  if (v == 0) return TColor(RGB(0, 0, 0));
  const double top = v * 255 / 100;
  const double bottom = top * (100 - s) / 100;
  const double d = top - bottom;
  double r, g, b;
  if (h <= 60) {
    r = top; g = bottom + d * h / 60; b = bottom;
  } else if (h <= 120) {
    r = top + d * (60 - h) / 60; g = top; b = bottom;
  } else if (h <= 180) {
    r = bottom; g = top; b = bottom + d * (h - 120) / 60;
  } else if (h <= 240) {
    r = bottom; g = top + d * (180 - h) / 60; b = top;
  } else if (h <= 300) {
    r = bottom + d * (h - 240) / 60; g = bottom; b = top;
  } else {
    r = top; g = bottom; b = top + d * (300 - h) / 60;
  }
  auto channel = [](double x) { return Byte(std::clamp(std::trunc(x), 0.0, 255.0)); };
  return TColor(RGB(channel(r), channel(g), channel(b)));
}

TColor BrightenColor(TColor color, Byte percent) {
  double h, s, v;
  ColorToHSV(color, h, s, v);
  v = std::min(100.0, (percent + 100) * v / 100);
  return HSVToColor(h, s, v);
}

namespace {

TColor gOneNoteColors[6];
TcxPaletteChangedNotifier* gPaletteNotifier = nullptr;

}  // namespace

TColor OneNoteSchemeColor(Integer column) { return gOneNoteColors[std::clamp(column, 1, 6) - 1]; }

void LoadOneNoteSchemeColors() {
  static const TColor table[4][6] = {
      {clBtnShadow, clBtnShadow, TColor(RGB(255, 255, 255)), TColor(RGB(10, 36, 106)), clBtnFace, clBtnFace},
      {TColor(RGB(59, 97, 156)), TColor(RGB(0, 53, 154)), TColor(RGB(255, 255, 255)), TColor(RGB(0, 0, 128)),
       TColor(RGB(255, 255, 255)), TColor(RGB(117, 166, 241))},
      {TColor(RGB(96, 128, 88)), TColor(RGB(96, 119, 107)), TColor(RGB(255, 255, 255)), TColor(RGB(63, 93, 56)),
       TColor(RGB(255, 255, 255)), TColor(RGB(176, 194, 140))},
      {TColor(RGB(124, 124, 148)), TColor(RGB(118, 116, 146)), TColor(RGB(255, 255, 255)),
       TColor(RGB(75, 75, 111)), TColor(RGB(255, 255, 255)), TColor(RGB(186, 185, 206))}};
  const Integer scheme = std::clamp(GetOffice11ColorScheme(), 0, 3);
  for (Integer i = 0; i < 6; ++i) gOneNoteColors[i] = table[scheme][i];
}

void TcxPaletteChangedNotifier::NotifyPaletteChanged() {
  LoadOneNoteSchemeColors();
  inherited::NotifyPaletteChanged();
}

// ==== Registration =============================================================================

namespace {

const TClass kPainterClasses[] = {
    TcxPCTabsPainter::StaticClass(),      TcxPCButtonsPainter::StaticClass(),
    TcxPCFlatButtonsPainter::StaticClass(), TcxPCExtraFlatPainter::StaticClass(),
    TcxPCUltraFlatPainter::StaticClass(), TcxPCFlatPainter::StaticClass(),
    TcxPCOffice11Painter::StaticClass(),  TcxPCSlantedPainter::StaticClass(),
    TcxPCOneNotePainter::StaticClass()};

struct TPaintersUnit {
  TPaintersUnit() {
    PCLightColor();
    gPaletteNotifier = new TcxPaletteChangedNotifier(true);
    LoadOneNoteSchemeColors();
    for (TClass c : kPainterClasses) RegisterPCPainterClass(c);
  }
  ~TPaintersUnit() {
    for (TClass c : kPainterClasses) UnregisterPCPainterClass(c);
    FreeAndNil(gPaletteNotifier);
  }
};

}  // namespace

void orv::StartPCPaintersUnit() { static TPaintersUnit unit; }

// ==== Standard painter =========================================================================

namespace {

// Rows of the standard tables: 0 tabs, 1 buttons, 2 flat buttons.
Integer StyleRow(Integer standardStyle) { return std::clamp(standardStyle, 0, 2); }

}  // namespace

Integer TcxPCStandardPainter::GetTabExtraWidth(Integer visibleIndex) {
  if (!HasImages() || (visibleIndex != -1 && !ShowsImage(visibleIndex) && !GetTabControl()->GetRotate()))
    return 12;
  return GetImageSize().cx + 2 * GetTabControl()->GetImageBorder() + 18;
}

Integer TcxPCStandardPainter::GetMinTabNormalWidth(Integer visibleIndex) {
  return std::max(GetTabExtraWidth(visibleIndex), GetMinTabNormalWidthLimit());
}

Integer TcxPCStandardPainter::CalculateTabNormalWidth(TcxTab* tab) {
  TcxCustomTabControl* c = GetTabControl();
  if (c->GetTabWidth() > 0) return c->GetTabWidth();
  const Integer v = tab->GetVisibleIndex();
  TcxCanvas* canvas = GetScreenCanvas();
  c->PrepareTabFont(tab, canvas);
  const Integer width = GetTabExtraWidth(v) + canvas->TextWidthOf(tab->GetCaption());
  return std::max(width, GetMinTabNormalWidth(v));
}

Integer TcxPCStandardPainter::GetTabContentHeight() {
  Integer result = GetMaxTabTextHeight() + 8;
  if (HasImages()) result = std::max(result, GetImageSize().cy + 2 * GetTabControl()->GetImageBorder() + 6);
  return result;
}

Integer TcxPCStandardPainter::CalculateTabNormalHeight() {
  Integer height = std::max(GetTabContentHeight(), GetMinTabNormalHeight());
  if (GetTabControl()->GetRotate() && HasImages() && (height - GetImageSize().cy) % 2 != 0) ++height;
  return std::max(height, Integer(GetTabControl()->GetTabHeight()));
}

Integer TcxPCStandardPainter::GetMinTabNormalHeight() {
  static const Integer values[3] = {18, 20, 20};
  return values[StyleRow(GetStandardStyle())];
}

Integer TcxPCStandardPainter::GetTabsRowOverlap() {
  static const Integer values[3] = {2, 4, 4};
  return values[StyleRow(GetStandardStyle())];
}

Boolean TcxPCStandardPainter::IsMainTab(Integer visibleIndex) { return GetTab(visibleIndex)->IsMainTab(); }

void TcxPCStandardPainter::GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  static const Integer values[3][2][4] = {{{6, 1, 0, 0}, {8, 1, 0, 3}},
                                          {{6, -1, 0, 1}, {7, -1, 0, 1}},
                                          {{6, -1, 0, 1}, {7, -1, 0, 1}}};
  const auto& row = values[StyleRow(GetStandardStyle())][IsMainTab(visibleIndex) ? 1 : 0];
  std::copy(row, row + 4, offsets);
}

void TcxPCStandardPainter::GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  static const Integer values[3][2][4] = {{{5, 1, 5, -1}, {5, 1, 5, 2}},
                                          {{6, 0, 4, 1}, {6, 0, 4, 1}},
                                          {{6, 0, 4, 1}, {6, 0, 4, 1}}};
  const auto& row = values[StyleRow(GetStandardStyle())][IsMainTab(visibleIndex) ? 1 : 0];
  std::copy(row, row + 4, offsets);
}

void TcxPCStandardPainter::GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) {
  static const Integer values[3][2][2] = {{{2, 2}, {4, 4}}, {{3, 3}, {3, 3}}, {{2, 2}, {4, 2}}};
  const auto& row = values[StyleRow(GetStandardStyle())][IsMainTab(visibleIndex) ? 1 : 0];
  offset1 = row[0];
  offset2 = row[1];
}

void TcxPCStandardPainter::GetTabCutTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) {
  static const Integer values[3][2][2] = {{{2, 2}, {4, 4}}, {{3, 3}, {3, 3}}, {{2, 2}, {3, 2}}};
  const auto& row = values[StyleRow(GetStandardStyle())][IsMainTab(visibleIndex) ? 1 : 0];
  offset1 = row[0];
  offset2 = row[1];
}

void TcxPCStandardPainter::GetTabsNormalDistance(Integer& along, Integer& across) {
  static const Integer values[3][2] = {{0, 0}, {3, 3}, {10, 3}};
  const auto& row = values[StyleRow(GetStandardStyle())];
  along = row[0];
  across = row[1];
}

void TcxPCStandardPainter::StoreTabImageAndTextRects(Integer visibleIndex, const TRect& imageRect,
                                                     const TRect& textRect) {
  FTabImageAndTextData.ImageRect = imageRect;
  FTabImageAndTextData.TextRect = textRect;
}

TColor TcxPCStandardPainter::GetControlBackgroundColor() { return GetTabControl()->GetColor(); }

TColor TcxPCStandardPainter::GetButtonGlyphColor(TcxPCNavigatorButtonState state) {
  return state == nbsHotTrack ? GetHotTrackColor() : clBtnText;
}

Integer TcxPCStandardPainter::GetButtonWidth(TcxPCNavigatorButton button) {
  if (button == nbGoDialog) return IsVerticalStrip() ? 13 : 12;
  return 20;
}

// ---- Navigator buttons ----

TcxPCNavigatorButtonPositions TcxPCStandardPainter::GetButtonsQueue(TcxPCNavigatorButtons buttons) {
  const TcxPCNavigatorPosition p = GetTabControl()->GetNavigatorPosition();
  const Boolean atStart = IsVerticalStrip() ? (p == npLeftTop || p == npRightTop)
                                            : (p == npLeftTop || p == npLeftBottom);
  static const TcxPCNavigatorButton startOrder[] = {nbClose, nbTopLeft, nbBottomRight, nbGoDialog};
  static const TcxPCNavigatorButton endOrder[] = {nbGoDialog, nbTopLeft, nbBottomRight, nbClose};
  TcxPCNavigatorButtonPositions queue;
  for (TcxPCNavigatorButton b : atStart ? startOrder : endOrder)
    if (buttons.Contains(b)) queue.push_back({b, TRect()});
  return queue;
}

Integer TcxPCStandardPainter::GetButtonsRegionWidth(TcxPCNavigatorButtons buttons) {
  const TcxPCNavigatorButtonPositions queue = GetButtonsQueue(buttons);
  Integer result = 0;
  for (std::size_t i = 0; i < queue.size(); ++i) {
    result += GetButtonWidth(queue[i].Button);
    // The distances belong to the region too: without them the last buttons would lie over
    // the tabs of styles that space their buttons.
    if (i + 1 < queue.size()) result += GetButtonsDistance(queue[i].Button, queue[i + 1].Button);
  }
  if (result > 0) result += GetButtonsRegionWOffset() + GetButtonsRegionFromTabsOffset();
  return result;
}

void TcxPCStandardPainter::CalculateButtonsRegion(TcxPCNavigatorButtons buttons) {
  TcxCustomTabControl* c = GetTabControl();
  const TcxPCNavigatorButtonPositions queue = GetButtonsQueue(buttons);
  const Integer t = GetButtonHeight();
  Integer l = 0;
  for (std::size_t i = 0; i < queue.size(); ++i) {
    l += GetButtonWidth(queue[i].Button);
    if (i + 1 < queue.size()) l += GetButtonsDistance(queue[i].Button, queue[i + 1].Button);
  }
  const TcxPCNavigatorPosition p = c->GetNavigatorPosition();
  const Integer h = GetButtonsRegionHOffset(), w = GetButtonsRegionWOffset();
  switch (c->GetTabPosition()) {
    case tpLeft:
    case tpRight: {
      const Integer left = c->GetTabPosition() == tpLeft ? h : c->GetWidth() - t - h;
      const Integer top = (p == npLeftBottom || p == npRightBottom) ? c->GetHeight() - l - w : w;
      FButtonsRegion = MakeRectBounds(left, top, t, l);
      break;
    }
    default: {
      const Integer left = (p == npRightTop || p == npRightBottom) ? c->GetWidth() - l - w : w;
      const Integer top = c->GetTabPosition() == tpTop ? h : c->GetHeight() - t - h;
      FButtonsRegion = MakeRectBounds(left, top, l, t);
      break;
    }
  }
}

void TcxPCStandardPainter::CalculateButtonsPositions(TcxPCNavigatorButtons buttons) {
  FButtonPositions.clear();
  if (buttons.Empty()) {
    FButtonsRegion = TRect();
    return;
  }
  CalculateButtonsRegion(buttons);
  FButtonPositions = GetButtonsQueue(buttons);
  const Boolean vertical = IsVerticalStrip();
  Integer position = vertical ? FButtonsRegion.Top : FButtonsRegion.Left;
  for (std::size_t i = 0; i < FButtonPositions.size(); ++i) {
    auto& entry = FButtonPositions[i];
    const Integer length = GetButtonWidth(entry.Button);
    entry.Rect = vertical ? MakeRectBounds(FButtonsRegion.Left, position, GetButtonHeight(), length)
                          : MakeRectBounds(position, FButtonsRegion.Top, length, GetButtonHeight());
    position += length;
    if (i + 1 < FButtonPositions.size()) position += GetButtonsDistance(entry.Button, FButtonPositions[i + 1].Button);
  }
}

TcxPCTabsPosition TcxPCStandardPainter::GetTabsPosition(TcxPCNavigatorButtons buttons) {
  TcxCustomTabControl* c = GetTabControl();
  TcxPCTabsPosition result;
  const Integer b = GetButtonsRegionWidth(buttons);
  const TcxPCMargins container = c->GetIsTabsContainer() ? GetTabsContainerOffsets() : TRect();
  const TcxPCMargins extension = GetTabsAreaExtension();
  TRect r{extension.Left, extension.Top, c->GetWidth() - extension.Right, c->GetHeight() - extension.Bottom};
  const TcxTabPosition position = c->GetTabPosition();
  if (buttons.Empty()) {
    r = ExtendRectByRotatedMargins(r, container, position);
  } else {
    r = ExtendRectByRotatedMargins(r, TRect{0, container.Top, 0, 0}, position);
    const TcxPCMargins rotated = RotateMargins(container, position);
    const TcxPCNavigatorPosition p = c->GetNavigatorPosition();
    if (IsVerticalStrip()) {
      if (p == npLeftBottom || p == npRightBottom) {
        r.Bottom -= b;
        r.Top += rotated.Top;
      } else {
        r.Top += b;
        r.Bottom -= rotated.Bottom;
      }
    } else {
      if (p == npRightTop || p == npRightBottom) {
        r.Right -= b;
        r.Left += rotated.Left;
      } else {
        r.Left += b;
        r.Right -= rotated.Right;
      }
    }
  }
  result.ExtendedTabsRect = r;
  result.NormalTabsRect = r;
  result.NormalRowWidth = IsVerticalStrip() ? r.Height() : r.Width();
  Integer along, across;
  GetTabsNormalDistance(along, across);
  result.MinDistanceBetweenParts = across;
  CalculateButtonsPositions(buttons);
  return result;
}

TRect TcxPCStandardPainter::GetButtonRect(TcxPCNavigatorButton button) const {
  for (const auto& entry : FButtonPositions)
    if (entry.Button == button) return entry.Rect;
  return TRect();
}

Boolean TcxPCStandardPainter::GetButtonAt(Integer x, Integer y, TcxPCNavigatorButton& button) {
  for (const auto& entry : FButtonPositions) {
    if (IsPointInRect(entry.Rect, x, y)) {
      button = entry.Button;
      return true;
    }
  }
  return false;
}

TRect TcxPCStandardPainter::GetGoDialogButtonBounds() { return GetButtonRect(nbGoDialog); }

void TcxPCStandardPainter::GetGoDialogPosition(Integer width, Integer height, Integer& x, Integer& y) {
  const TRect r = GetGoDialogButtonBounds();
  const TcxPCNavigatorPosition p = GetTabControl()->GetNavigatorPosition();
  x = (p == npRightTop || p == npRightBottom) ? r.Right - width : r.Left;
  y = (p == npLeftBottom || p == npRightBottom) ? r.Top - height : r.Bottom;
}

void TcxPCStandardPainter::RepaintButton(TcxPCNavigatorButton button, TcxPCNavigatorButtonState oldState) {
  const TRect r = GetButtonRect(button);
  if (!RectIsEmpty(r)) GetTabControl()->InvalidateArea(r, false);
}

void TcxPCStandardPainter::RepaintButtonsRegion() {
  if (!FButtonPositions.empty()) GetTabControl()->InvalidateArea(FButtonsRegion, false);
}

Integer TcxPCStandardPainter::GetButtonArrowDirection(TcxPCNavigatorButton button) {
  switch (button) {
    case nbTopLeft: return IsVerticalStrip() ? adUp : adLeft;
    case nbBottomRight: return IsVerticalStrip() ? adDown : adRight;
    default: return adDown;
  }
}

TcxPCButtonGlyphInfo TcxPCStandardPainter::GetButtonGlyphInfo(TcxPCNavigatorButton button) {
  const TcxPCNavigatorButtonState state = GetTabControl()->GetNavigatorButtonState(button);
  TcxPCButtonGlyphInfo info;
  info.FillColor = GetButtonGlyphColor(state);
  info.PenColor = info.FillColor;
  info.Enabled = GetTabControl()->GetEnabled() && state != nbsDisabled;
  info.AlternativeCloseGlyph = false;
  return info;
}

TPoint TcxPCStandardPainter::GetButtonGlyphOffset(TcxPCNavigatorButton button) {
  const Boolean vertical = IsVerticalStrip();
  Integer boxW, boxH;
  if (button == nbClose) {
    boxW = 8;
    boxH = 7;
    if (vertical) std::swap(boxW, boxH);
  } else {
    const Integer s = (button == nbGoDialog ? 4 : 5) - 1;
    if (button == nbGoDialog || vertical) {
      boxW = 2 * s + 1;
      boxH = s + 1;
    } else {
      boxW = s + 1;
      boxH = 2 * s + 1;
    }
  }
  Integer w = GetButtonWidth(button), h = GetButtonHeight();
  if (vertical) std::swap(w, h);
  TPoint p{(w - boxW) / 2, (h - boxH) / 2};
  if (button == nbGoDialog) ++p.Y;
  if (GetTabControl()->GetNavigatorButtonState(button) == nbsPressed) {
    if (button != nbGoDialog) ++p.X;
    ++p.Y;
  }
  return p;
}

void TcxPCStandardPainter::DrawButtonGlyph(TcxPCNavigatorButton button, const TPoint& o, TColor fillColor,
                                           TColor penColor, Boolean alternativeClose) {
  TcxCanvas* canvas = GetCanvas();
  if (button == nbClose) {
    std::vector<std::pair<TPoint, TPoint>> lines;
    const Integer x = o.X, y = o.Y;
    if (alternativeClose) {
      if (IsVerticalStrip())
        lines = {{{x, y}, {x + 6, y + 6}}, {{x, y + 1}, {x + 6, y + 7}}, {{x, y + 6}, {x + 6, y}}, {{x, y + 7}, {x + 6, y + 1}}};
      else
        lines = {{{x + 1, y}, {x + 7, y + 6}}, {{x, y}, {x + 6, y + 6}}, {{x, y + 6}, {x + 6, y}}, {{x + 1, y + 6}, {x + 7, y}}};
    } else {
      lines = {{{x + 1, y}, {x + 8, y + 7}}, {{x, y}, {x + 8, y + 8}}, {{x, y + 1}, {x + 7, y + 8}},
               {{x, y + 7}, {x + 7, y}},     {{x, y + 8}, {x + 8, y}}, {{x + 1, y + 8}, {x + 8, y + 1}}};
    }
    canvas->SetPenColor(penColor);
    for (const auto& line : lines) {
      canvas->MoveToPoint(line.first.X, line.first.Y);
      canvas->LineToPoint(line.second.X, line.second.Y);
    }
    return;
  }
  const Integer s = (button == nbGoDialog ? 4 : 5) - 1;
  TPoint points[3];
  switch (GetButtonArrowDirection(button)) {
    case adUp: points[0] = {0, s}; points[1] = {s, 0}; points[2] = {2 * s, s}; break;
    case adDown: points[0] = {0, 0}; points[1] = {2 * s, 0}; points[2] = {s, s}; break;
    case adLeft: points[0] = {s, 0}; points[1] = {s, 2 * s}; points[2] = {0, s}; break;
    default: points[0] = {0, 0}; points[1] = {s, s}; points[2] = {0, 2 * s}; break;
  }
  for (TPoint& p : points) p = {p.X + o.X, p.Y + o.Y};
  canvas->SetBrushColor(fillColor);
  canvas->SetPenColor(penColor);
  canvas->DrawPolygon(points, 3);
}

void TcxPCStandardPainter::DrawButton(TcxPCNavigatorButton button, const TRect& rect) {
  const TcxPCNavigatorButtonState state = GetTabControl()->GetNavigatorButtonState(button);
  TRect r = rect;
  DrawButtonFrame(r, state);
  DrawButtonBackground(r, state);
  const TcxPCButtonGlyphInfo info = GetButtonGlyphInfo(button);
  const TPoint offset = GetButtonGlyphOffset(button);
  const TPoint origin{rect.Left + offset.X, rect.Top + offset.Y};
  if (info.Enabled) {
    DrawButtonGlyph(button, origin, info.FillColor, info.PenColor, info.AlternativeCloseGlyph);
  } else {
    DrawButtonGlyph(button, {origin.X + 1, origin.Y + 1}, clBtnHighlight, clBtnHighlight, info.AlternativeCloseGlyph);
    DrawButtonGlyph(button, origin, clBtnShadow, clBtnShadow, info.AlternativeCloseGlyph);
  }
}

void TcxPCStandardPainter::DrawButtonBackground(const TRect& rect, TcxPCNavigatorButtonState state) {
  FillRect(rect, GetButtonColor(state));
}

void TcxPCStandardPainter::Draw3DButtonFrame(const TRect& r, Boolean pressed, Boolean flat) {
  const Integer l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
  const TColor outerTL = pressed ? (flat ? cl3DDkShadow : clBtnShadow) : cl3DLight;
  const TColor innerTL = pressed ? cl3DDkShadow : clBtnHighlight;
  const TColor outerBR = pressed ? (flat ? cl3DLight : clBtnHighlight) : cl3DDkShadow;
  const TColor innerBR = pressed ? cl3DLight : clBtnShadow;
  TcxCanvas* canvas = GetCanvas();
  const TPoint outer1[] = {{l, b - 2}, {l, t}, {rt - 2, t}};
  const TPoint outer2[] = {{l, b - 1}, {rt - 1, b - 1}, {rt - 1, t}};
  DrawPolylineWithEnd(outer1, 3, canvas, outerTL);
  DrawPolylineWithEnd(outer2, 3, canvas, outerBR);
  if (flat) return;
  const TPoint inner1[] = {{l + 1, b - 3}, {l + 1, t + 1}, {rt - 3, t + 1}};
  const TPoint inner2[] = {{l + 1, b - 2}, {rt - 2, b - 2}, {rt - 2, t + 1}};
  DrawPolylineWithEnd(inner1, 3, canvas, innerTL);
  DrawPolylineWithEnd(inner2, 3, canvas, innerBR);
}

void TcxPCStandardPainter::DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) {
  Draw3DButtonFrame(rect, state == nbsPressed, false);
  rect = GetInflatedRect(rect, -2, -2);
}

void TcxPCStandardPainter::DrawFrame(const TRect& rect) {
  TRect r = rect;
  TcxCanvas* canvas = GetCanvas();
  // Light sides first, so that the dark ones own the top-right and bottom-left corners.
  canvas->FillRectWithColor({r.Left, r.Top, r.Left + 1, r.Bottom}, clBtnHighlight);
  canvas->FillRectWithColor({r.Left, r.Top, r.Right, r.Top + 1}, clBtnHighlight);
  canvas->FillRectWithColor({r.Right - 1, r.Top, r.Right, r.Bottom}, cl3DDkShadow);
  canvas->FillRectWithColor({r.Left, r.Bottom - 1, r.Right, r.Bottom}, cl3DDkShadow);
  r = GetInflatedRect(r, -1, -1);
  canvas->FillRectWithColor({r.Left, r.Top, r.Left + 1, r.Bottom}, cl3DLight);
  canvas->FillRectWithColor({r.Left, r.Top, r.Right, r.Top + 1}, cl3DLight);
  canvas->FillRectWithColor({r.Right - 1, r.Top, r.Right, r.Bottom}, clBtnShadow);
  canvas->FillRectWithColor({r.Left, r.Bottom - 1, r.Right, r.Bottom}, clBtnShadow);
}

void TcxPCStandardPainter::PaintButtons() {
  TcxCanvas* canvas = GetCanvas();
  for (const auto& entry : FButtonPositions) {
    if (!canvas->IsRectVisible(entry.Rect)) continue;
    if (!SetClipToRect(entry.Rect, true)) continue;
    DrawButton(entry.Button, entry.Rect);
    RestoreClip();
    canvas->ExcludeFromClip(entry.Rect);
  }
}

void TcxPCStandardPainter::PaintFrame() {
  TRect r = GetPageFrameRect();
  const Integer minimum = GetMinFrameRectSize();
  if (r.Width() < minimum) r.Right = r.Left + minimum;
  if (r.Height() < minimum) r.Bottom = r.Top + minimum;
  DrawFrame(r);
}

void TcxPCStandardPainter::Paint() {
  DoPaint();
  FillRect({0, 0, GetTabControl()->GetWidth(), GetTabControl()->GetHeight()}, GetControlBackgroundColor());
}

void TcxPCStandardPainter::PaintTabs() {
  TcxCustomTabControl* c = GetTabControl();
  for (Integer i = 0; i < c->GetVisibleTabList()->GetCount(); ++i)
    if (c->IsTabShown(i)) PaintTab(i);
}

void TcxPCStandardPainter::PaintTab(Integer visibleIndex) {
  TcxCanvas* canvas = GetCanvas();
  TcxTab* tab = GetTab(visibleIndex);
  RegionPtr region(GetTabClipRegion(visibleIndex));
  SaveClip();
  {
    auto* copy = new TcxRegion;
    copy->CombineWith(region.get(), roSet, false);
    canvas->SetClipRegion(copy, GetTabClipRgnOperation(visibleIndex));
  }
  Boolean ownerDrew = false;
  try {
    if (IsOwnerDrawn() && DoOwnerDraw(visibleIndex)) {
      ownerDrew = true;
    } else {
      tab->FPaintBitmap = new TcxBitmap32;
      if (IsNativePainting()) DrawNativeTab(tab, visibleIndex);
      DrawTabImageAndText(tab, visibleIndex);
      DrawTab(tab, visibleIndex);
      FreeAndNil(tab->FPaintBitmap);
    }
  } catch (...) {
    FreeAndNil(tab->FPaintBitmap);
    RestoreClip();
    throw;
  }
  RestoreClip();
  if (ownerDrew || !IsTabBodyTransparent(visibleIndex)) {
    NotifyTabPainted(visibleIndex);
    canvas->SetClipRegion(region.release(), roSubtract);
  } else {
    auto* area = new TcxRegion(FTabImageAndTextData.TextRect);
    area->CombineWith(new TcxRegion(FTabImageAndTextData.ImageRect), roAdd);
    canvas->SetClipRegion(area, roSubtract);
  }
}

void TcxPCStandardPainter::DrawFocusRect(Integer visibleIndex, const TRect& rect) {
  TcxCustomTabControl* c = GetTabControl();
  TcxTab* tab = GetTab(visibleIndex);
  if (!tab->IsMainTab() || !tab->IsEnabled() || !IsFocusedControl(c)) return;
  const TRect visible = tab->GetVisibleRect();
  if (RectIsEmpty(visible)) return;
  if (!SetClipToRect(visible, false)) return;
  GetCanvas()->DrawFocusFrame(GetInflatedRect(rect, -1, -1));
  RestoreClip();
}

void TcxPCStandardPainter::RepaintTab(Integer visibleIndex, TcxPCTabPropertyChanged changedProperty) {
  if (GetCaptionOrientation() != 0) GetTab(visibleIndex)->FreeVerticalTextBitmap();
  InvalidateTabRect(visibleIndex);
}

TRect TcxPCStandardPainter::ExtendTowardsPage(const TRect& rect, Integer visibleIndex, Integer delta) {
  TRect r = rect;
  switch (TabSide(visibleIndex)) {
    case 0: r.Bottom += delta; break;
    case 1: r.Top -= delta; break;
    case 2: r.Right += delta; break;
    default: r.Left -= delta; break;
  }
  return r;
}

// ==== Tabs painter ============================================================================

namespace {

// The glyph offsets of the Tabs and button styles: fixed per button, one pixel further right and
// down while pressed.
TPoint FixedButtonGlyphOffset(TcxPCNavigatorButton button, Boolean vertical, Boolean pressed) {
  TPoint p;
  switch (button) {
    case nbTopLeft: p = vertical ? TPoint{5, 7} : TPoint{6, 5}; break;
    case nbBottomRight: p = vertical ? TPoint{5, 7} : TPoint{8, 5}; break;
    case nbGoDialog: p = vertical ? TPoint{6, 4} : TPoint{2, 8}; break;
    default: p = {5, 5}; break;
  }
  if (pressed) {
    ++p.X;
    ++p.Y;
  }
  return p;
}

}  // namespace

Boolean TcxPCTabsPainter::HasLookAndFeel(TcxLookAndFeel* lookAndFeel) const {
  const Integer id = lookAndFeel->GetPainterForThemeType(totTab)->StyleId();
  return id == cxPainterStyleStandard || id == cxPainterStyleThemed;
}

Boolean TcxPCTabsPainter::IsDefault(TcxLookAndFeel* lookAndFeel) const { return lookAndFeel->GetNativeStyle(); }

Boolean TcxPCTabsPainter::IsNativePainting() {
  TcxCustomTabControl* c = GetTabControl();
  // Visual styles are absent on this platform, so the theme of the tab class never opens and the
  // classic drawing below always runs.
  return c && !c->IsDestroying() && c->GetLookAndFeel()->GetNativeStyle() && IsVisualStyleActiveFor(totTab) &&
         GetThemeHandle(totTab) != 0;
}

TRect TcxPCTabsPainter::GetTabCorrection(Integer visibleIndex) {
  if (!GetTab(visibleIndex)->IsMainTab()) return TRect();
  switch (TabSide(visibleIndex)) {
    case 0: return {-2, -2, 2, 1};
    case 1: return {-2, -1, 2, 2};
    case 2: return {-2, -2, 1, 2};
    default: return {-1, -2, 2, 2};
  }
}

Integer TcxPCTabsPainter::GetButtonsRegionHOffset() { return GetTabControl()->GetIsTabsContainer() ? 2 : 0; }
Integer TcxPCTabsPainter::GetButtonsRegionWOffset() { return GetTabControl()->GetIsTabsContainer() ? 2 : 0; }

TcxPCMargins TcxPCTabsPainter::GetPageFrameRectOffset() {
  TcxPCMargins m = TcxPCStandardPainter::GetPageFrameRectOffset();
  TcxCustomTabControl* c = GetTabControl();
  if (!c->GetHideTabs() && c->GetRowCount() > 0) --m.Top;
  return m;
}

TcxPCMargins TcxPCTabsPainter::GetPageClientRectOffset() {
  TcxPCMargins m = TcxPCStandardPainter::GetPageClientRectOffset();
  if (!IsNativePainting() && GetTabControl()->GetIsTabsContainer()) m.Top += 3 - GetFrameWidth();
  return m;
}

void TcxPCTabsPainter::GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  TcxPCStandardPainter::GetImageWithTextContentOffsets(visibleIndex, offsets);
  const Integer code = GetTabSideCode(visibleIndex);
  if (code == 5 || code == 7 || code == 10) ++offsets[3];
}

void TcxPCTabsPainter::GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  TcxPCStandardPainter::GetTextContentOffsets(visibleIndex, offsets);
  const Integer code = GetTabSideCode(visibleIndex);
  if (code == 5 || code == 7 || code == 10) ++offsets[3];
}

void TcxPCTabsPainter::GetImageOnlyContentOffsets(Integer visibleIndex, Integer (&offsets)[2]) {
  offsets[0] = 0;
  offsets[1] = 0;
  if (GetTabControl()->GetRotate() && IsMainTab(visibleIndex)) {
    const Integer code = GetTabSideCode(visibleIndex);
    const Boolean first = code == 3 || code == 6 || code == 11;
    offsets[0] = first ? 2 : 1;
    offsets[1] = first ? 1 : 2;
  }
}

void TcxPCTabsPainter::GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) {
  if (!IsMainTab(visibleIndex)) {
    offset1 = 3;
    offset2 = 3;
  } else if (GetTabControl()->GetRotate()) {
    offset1 = 4;
    offset2 = 5;
  } else {
    offset1 = 5;
    offset2 = 5;
  }
  const Integer code = GetTabSideCode(visibleIndex);
  if (code == 3 || code == 6 || code == 11) std::swap(offset1, offset2);
}

void TcxPCTabsPainter::GetTabCutTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) {
  GetTabTextWOffset(visibleIndex, offset1, offset2);
}

TColor TcxPCTabsPainter::GetTabBodyColor(Integer visibleIndex) {
  if (GetTab(visibleIndex)->GetHighlighted()) return GetHighlightColor();
  const TColor color = GetTabColor(visibleIndex);
  return color == clDefault ? clBtnFace : color;
}

TcxRegion* TcxPCTabsPainter::GetTabClipRegion(Integer visibleIndex) {
  TRect r = GetTab(visibleIndex)->GetVisibleRect();
  if (GetTab(visibleIndex)->IsMainTab()) r = ExtendTowardsPage(r, visibleIndex, 1);
  return new TcxRegion(r);
}

TcxRegionOperation TcxPCTabsPainter::GetTabClipRgnOperation(Integer visibleIndex) {
  return GetTab(visibleIndex)->IsMainTab() ? roSet : roIntersect;
}

TcxPCTabsPosition TcxPCTabsPainter::GetTabsPosition(TcxPCNavigatorButtons buttons) {
  TcxCustomTabControl* c = GetTabControl();
  TcxPCTabsPosition result;
  const TcxPCMargins container = c->GetIsTabsContainer() ? GetTabsContainerOffsets() : TRect();
  const TcxTabPosition position = c->GetTabPosition();
  TRect ext = ExtendRectByRotatedMargins({0, 0, c->GetWidth(), c->GetHeight()}, TRect{0, container.Top, 0, 0},
                                         position);
  const TcxPCMargins rotated = RotateMargins(container, position);
  const Boolean vertical = IsVerticalStrip();
  const Integer b = GetButtonsRegionWidth(buttons);
  const TcxPCNavigatorPosition p = c->GetNavigatorPosition();
  const Boolean navAtEnd = vertical ? (p == npLeftBottom || p == npRightBottom) : (p == npRightTop || p == npRightBottom);
  if (vertical) {
    ext.Top += (!buttons.Empty() && !navAtEnd) ? b : rotated.Top;
    ext.Bottom -= (!buttons.Empty() && navAtEnd) ? b : rotated.Bottom;
  } else {
    ext.Left += (!buttons.Empty() && !navAtEnd) ? b : rotated.Left;
    ext.Right -= (!buttons.Empty() && navAtEnd) ? b : rotated.Right;
  }
  TRect normal = ext;
  switch (position) {
    case tpTop: normal.Top += 2; break;
    case tpBottom: normal.Bottom -= 2; break;
    case tpLeft: normal.Left += 2; break;
    case tpRight: normal.Right -= 2; break;
  }
  if (vertical) {
    normal.Top += 2;
    normal.Bottom -= 2;
  } else {
    normal.Left += 2;
    normal.Right -= 2;
  }
  result.ExtendedTabsRect = ext;
  result.NormalTabsRect = normal;
  result.NormalRowWidth = vertical ? normal.Height() : normal.Width();
  result.NearBorderOffset = (position == tpTop || position == tpLeft) ? 1 : 0;
  result.FarBorderOffset = (position == tpBottom || position == tpRight) ? -1 : 0;
  result.MinDistanceBetweenParts = 0;
  CalculateButtonsPositions(buttons);
  return result;
}

Integer TcxPCTabsPainter::GetTabContentHeight() {
  return TcxPCStandardPainter::GetTabContentHeight() - (GetTabControl()->GetRotate() ? 2 : 3);
}

Integer TcxPCTabsPainter::GetMinFrameRectSize() {
  return GetTabControl()->GetIsTabsContainer() ? GetFrameWidth() + 3 : TcxPCStandardPainter::GetMinFrameRectSize();
}

Integer TcxPCTabsPainter::GetButtonWidth(TcxPCNavigatorButton button) {
  if (IsNativePainting()) return 17;
  return TcxPCStandardPainter::GetButtonWidth(button);
}

TPoint TcxPCTabsPainter::GetButtonGlyphOffset(TcxPCNavigatorButton button) {
  return FixedButtonGlyphOffset(button, IsVerticalStrip(),
                                GetTabControl()->GetNavigatorButtonState(button) == nbsPressed);
}

void TcxPCTabsPainter::PaintTabs() {
  TcxCustomTabControl* c = GetTabControl();
  const Integer main = c->GetMainTabVisibleIndex();
  if (main != -1 && c->IsTabShown(main)) PaintTab(main);
  for (Integer i = 0; i < c->GetVisibleTabList()->GetCount(); ++i)
    if (i != main && c->IsTabShown(i)) PaintTab(i);
}

void TcxPCTabsPainter::PaintFrame() {
  TcxPCStandardPainter::PaintFrame();
  if (GetTabControl()->GetIsTabsContainer())
    FillRect(GetInflatedRect(GetPageFrameRect(), -GetFrameWidth(), -GetFrameWidth()), clBtnFace);
}

void TcxPCTabsPainter::InvalidateTabRect(Integer visibleIndex) {
  GetTabControl()->InvalidateArea(ExtendTowardsPage(GetTab(visibleIndex)->GetVisibleRect(), visibleIndex, 1), false);
}

void TcxPCTabsPainter::RepaintTab(Integer visibleIndex, TcxPCTabPropertyChanged changedProperty) {
  if (changedProperty == tpcIsMainTab && !GetTab(visibleIndex)->IsMainTab()) {
    if (GetCaptionOrientation() != 0) GetTab(visibleIndex)->FreeVerticalTextBitmap();
    InvalidateTabsArea(visibleIndex);
    return;
  }
  TcxPCStandardPainter::RepaintTab(visibleIndex, changedProperty);
}

void TcxPCTabsPainter::DrawTab(TcxTab* tab, Integer visibleIndex) {
  const TRect full = tab->GetFullRect();
  const TRect body = ExtendTowardsPage(GetInflatedRect(full, -2, -2), visibleIndex, 2);
  FillRect(body, GetTabBodyColor(visibleIndex));
  if (tab->IsMainTab()) {
    DrawFocusRect(visibleIndex, ExtendTowardsPage(body, visibleIndex, 1));
  } else {
    TRect strip = full;
    switch (TabSide(visibleIndex)) {
      case 0: strip.Top = strip.Bottom - 2; break;
      case 1: strip.Bottom = strip.Top + 2; break;
      case 2: strip.Left = strip.Right - 2; break;
      default: strip.Right = strip.Left + 2; break;
    }
    FillRect(strip, GetTabControl()->GetColor());
  }
  DrawTabOutline(visibleIndex);
}

void TcxPCTabsPainter::DrawTabOutline(Integer visibleIndex) {
  TcxTab* tab = GetTab(visibleIndex);
  const TRect r = tab->GetFullRect();
  const Integer side = TabSide(visibleIndex);
  const Integer l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
  TcxCanvas* canvas = GetCanvas();
  auto line = [&](std::initializer_list<TPoint> points, TColor color) {
    const std::vector<TPoint> v(points);
    DrawPolylineWithEnd(v.data(), Integer(v.size()), canvas, color);
  };
  // Light lines on the left and top, dark lines on the right and bottom, for every side.
  switch (side) {
    case 0:
      line({{l, b - 1}, {l, t + 2}, {l + 2, t}, {rt - 3, t}}, clBtnHighlight);
      line({{l + 1, b - 1}, {l + 1, t + 2}, {l + 2, t + 1}, {rt - 3, t + 1}}, cl3DLight);
      line({{rt - 1, b - 1}, {rt - 1, t + 2}, {rt - 2, t + 1}}, cl3DDkShadow);
      line({{rt - 2, b - 1}, {rt - 2, t + 2}}, clBtnShadow);
      break;
    case 1:
      line({{l, t}, {l, b - 3}}, clBtnHighlight);
      line({{l + 1, t}, {l + 1, b - 3}}, cl3DLight);
      line({{l + 1, b - 2}, {l + 2, b - 1}, {rt - 3, b - 1}, {rt - 1, b - 3}, {rt - 1, t}}, cl3DDkShadow);
      line({{l + 2, b - 2}, {rt - 3, b - 2}, {rt - 2, b - 3}, {rt - 2, t}}, clBtnShadow);
      break;
    case 2:
      line({{rt - 1, t}, {l + 2, t}, {l, t + 2}, {l, b - 3}}, clBtnHighlight);
      line({{rt - 1, t + 1}, {l + 2, t + 1}, {l + 1, t + 2}, {l + 1, b - 3}}, cl3DLight);
      line({{l + 1, b - 2}, {l + 2, b - 1}, {rt - 1, b - 1}}, cl3DDkShadow);
      line({{l + 2, b - 2}, {rt - 1, b - 2}}, clBtnShadow);
      break;
    default:
      line({{l, t}, {rt - 3, t}}, clBtnHighlight);
      line({{l, t + 1}, {rt - 3, t + 1}}, cl3DLight);
      line({{rt - 2, t + 1}, {rt - 1, t + 2}, {rt - 1, b - 3}, {rt - 3, b - 1}, {l, b - 1}}, cl3DDkShadow);
      line({{rt - 2, t + 2}, {rt - 2, b - 3}, {rt - 3, b - 2}, {l, b - 2}}, clBtnShadow);
      break;
  }
  if (tab->IsMainTab()) {
    // The row line beyond the main tab merges it with the page; drawn for a top tab and turned
    // to the tab's side.
    TcxCustomTabControl* c = GetTabControl();
    const TColor body = c->GetIsTabsContainer() ? clBtnFace : GetTabBodyColor(visibleIndex);
    const TRect v = side >= 2 ? TRect{r.Left, r.Bottom - r.Width(), r.Left + r.Height(), r.Bottom} : r;
    const Boolean horizontal = c->IsHorizontalStrip();
    auto atEdge = [&](Integer x) {
      TPoint p{x, v.Bottom};
      TransformPoints(r, &p, 1, side);
      const Integer along = horizontal ? p.X : p.Y;
      const Integer limit = horizontal ? c->GetWidth() : c->GetHeight();
      return along <= 0 || along >= limit - 1;
    };
    const Boolean atStart = atEdge(v.Left), atEnd = atEdge(v.Right - 1);
    for (Integer x = v.Left; x < v.Right; ++x) {
      TColor color = body;
      if (x == v.Left && atStart)
        color = clBtnHighlight;
      else if (x <= v.Left + 1)
        color = cl3DLight;
      else if (atEnd && x == v.Right - 2)
        color = clBtnShadow;
      else if (atEnd && x == v.Right - 1)
        color = cl3DDkShadow;
      TPoint p{x, v.Bottom};
      TransformPoints(r, &p, 1, side);
      GetCanvas()->SetPixelColor(p.X, p.Y, color);
    }
  }
  DrawTabCorners(visibleIndex);
}

void TcxPCTabsPainter::GetTabCornerColors(Integer visibleIndex, TColor& firstColor, TColor& lastColor) {
  TcxCustomTabControl* c = GetTabControl();
  TcxTab* tab = GetTab(visibleIndex);
  const Integer row = tab->GetVisibleRow();
  const Integer n = c->GetRowCount(), p = c->GetTopOrLeftPartRowCount();
  if ((row == 0 && p > 0) || (row == n - 1 && n - p > 0)) {
    firstColor = c->GetColor();
    lastColor = c->GetColor();
    return;
  }
  firstColor = clBtnFace;
  lastColor = clBtnFace;
  if (tab->IsMainTab() && !c->GetRotate()) {
    const Integer count = c->GetVisibleTabList()->GetCount();
    const Boolean first = visibleIndex == 0 || GetTab(visibleIndex - 1)->GetVisibleRow() != row;
    const Boolean last = visibleIndex == count - 1 || GetTab(visibleIndex + 1)->GetVisibleRow() != row;
    if (first) firstColor = c->GetColor();
    if (last) lastColor = c->GetColor();
  }
}

void TcxPCTabsPainter::DrawTabCorners(Integer visibleIndex) {
  TColor first, last;
  GetTabCornerColors(visibleIndex, first, last);
  const Integer side = TabSide(visibleIndex);
  if ((side == 2 || side == 3) && !GetTabControl()->GetOptions().Contains(pcoTopToBottomText)) std::swap(first, last);
  const TRect r = GetTab(visibleIndex)->GetFullRect();
  // The corners of a top tab, turned to the tab's side.
  // The tab as a top tab with the same left and bottom (what TransformPoints expects).
  TRect top = r;
  if (side >= 2) top = {r.Left, r.Bottom - r.Width(), r.Left + r.Height(), r.Bottom};
  TPoint points[6] = {{top.Left, top.Top + 1},      {top.Left, top.Top},      {top.Left + 1, top.Top},
                      {top.Right - 2, top.Top},     {top.Right - 1, top.Top}, {top.Right - 1, top.Top + 1}};
  TransformPoints(r, points, 6, side);
  for (Integer i = 0; i < 6; ++i) GetCanvas()->SetPixelColor(points[i].X, points[i].Y, i < 3 ? first : last);
}

// ==== Buttons and FlatButtons ==================================================================

Integer TcxPCButtonedPainter::GetButtonsRegionHOffset() { return GetTabControl()->GetIsTabsContainer() ? 2 : 0; }
Integer TcxPCButtonedPainter::GetButtonsRegionWOffset() { return GetTabControl()->GetIsTabsContainer() ? 2 : 0; }

TcxPCMargins TcxPCButtonedPainter::GetPageFrameRectOffset() {
  TcxPCMargins m = TcxPCStandardPainter::GetPageFrameRectOffset();
  if (GetTabControl()->GetRowCount() > 0 && !GetTabControl()->GetHideTabs()) m.Top += 2;
  return m;
}

TColor TcxPCButtonedPainter::GetTabBodyColor(Integer visibleIndex) {
  if (GetTab(visibleIndex)->GetHighlighted()) return GetHighlightColor();
  const TColor color = GetTabColor(visibleIndex);
  if (color != clDefault) return color;
  return GetTab(visibleIndex)->IsMainTab() ? clBtnHighlight : clBtnFace;
}

void TcxPCButtonedPainter::GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) {
  offset1 = HasImages() ? 3 : 4;
  offset2 = 4;
}

void TcxPCButtonedPainter::GetTabCutTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) {
  GetTabTextWOffset(visibleIndex, offset1, offset2);
}

TPoint TcxPCButtonedPainter::GetButtonGlyphOffset(TcxPCNavigatorButton button) {
  return FixedButtonGlyphOffset(button, IsVerticalStrip(),
                                GetTabControl()->GetNavigatorButtonState(button) == nbsPressed);
}

Boolean TcxPCButtonedPainter::IsMainTab(Integer visibleIndex) {
  TcxTab* tab = GetTab(visibleIndex);
  return !tab->IsTracking() && (tab->IsPressed() || tab->GetSelected() || tab->IsMainTab());
}

Boolean TcxPCButtonsPainter::IsMainTab(Integer visibleIndex) {
  TcxTab* tab = GetTab(visibleIndex);
  return tab->IsTracking() || tab->IsPressed() || tab->GetSelected() || tab->IsMainTab();
}

void TcxPCButtonsPainter::DrawTab(TcxTab* tab, Integer visibleIndex) {
  TRect r = tab->GetFullRect();
  const Boolean pressed = IsMainTab(visibleIndex);
  TRect frame = r;
  if (pressed)
    DrawRectLines(GetCanvas(), frame, {0, 1, 2, 3, 0, 1, 2, 3},
                  {cl3DDkShadow, cl3DDkShadow, clBtnHighlight, clBtnHighlight, clBtnShadow, clBtnShadow, cl3DLight,
                   cl3DLight},
                  false);
  else
    DrawRectLines(GetCanvas(), frame, {0, 1, 2, 3, 0, 1, 2, 3},
                  {clBtnHighlight, clBtnHighlight, cl3DDkShadow, cl3DDkShadow, cl3DLight, cl3DLight, clBtnShadow,
                   clBtnShadow},
                  false);
  FillRect(GetInflatedRect(r, -2, -2), GetTabBodyColor(visibleIndex));
  DrawFocusRect(visibleIndex, GetInflatedRect(r, -1, -1));
}

void TcxPCFlatButtonsPainter::DrawTab(TcxTab* tab, Integer visibleIndex) {
  TRect r = tab->GetFullRect();
  const Boolean pressed = !tab->IsTracking() && (tab->IsPressed() || tab->GetSelected() || tab->IsMainTab());
  Integer inset = 0;
  if (pressed) {
    Draw3DButtonFrame(r, true, true);
    inset = 2;
  } else if (tab->IsHotTrack() || tab->IsTracking()) {
    TRect frame = r;
    DrawRectLines(GetCanvas(), frame, {0, 1, 2, 3}, {clBtnHighlight, clBtnHighlight, clBtnShadow, clBtnShadow}, false);
    inset = 1;
  }
  const TRect inside = GetInflatedRect(r, -inset, -inset);
  FillRect(inside, GetTabBodyColor(visibleIndex));
  DrawFocusRect(visibleIndex, GetInflatedRect(inside, 1, 1));
}

void TcxPCFlatButtonsPainter::PaintTab(Integer visibleIndex) {
  TcxPCStandardPainter::PaintTab(visibleIndex);
  TcxCustomTabControl* c = GetTabControl();
  TcxTab* tab = GetTab(visibleIndex);
  if (c->GetRotate() || visibleIndex + 1 >= c->GetVisibleTabList()->GetCount() ||
      GetTab(visibleIndex + 1)->GetVisibleRow() != tab->GetVisibleRow() || !c->IsTabShown(visibleIndex + 1))
    return;
  Integer along, across;
  c->GetTabsDistances(along, across);
  const Integer gap = along;
  if (gap <= 0) return;
  const TRect r = tab->GetNormalRect();
  const Boolean horizontal = c->IsHorizontalStrip();
  const Boolean backward = c->IsBackwardStrip();
  TRect gapRect;
  if (horizontal)
    gapRect = backward ? TRect{r.Left - gap, r.Top, r.Left, r.Bottom} : TRect{r.Right, r.Top, r.Right + gap, r.Bottom};
  else
    gapRect = backward ? TRect{r.Left, r.Top - gap, r.Right, r.Top} : TRect{r.Left, r.Bottom, r.Right, r.Bottom + gap};
  FillRect(gapRect, c->GetColor());
  const Integer offset = (gap - 2) / 2;
  if (horizontal) {
    const Integer x = gapRect.Left + offset;
    FillRect({x, r.Top + 1, x + 1, r.Bottom - 2}, clBtnShadow);
    FillRect({x + 1, r.Top + 1, x + 2, r.Bottom - 2}, clBtnHighlight);
  } else {
    const Integer y = gapRect.Top + offset;
    FillRect({r.Left + 1, y, r.Right - 2, y + 1}, clBtnShadow);
    FillRect({r.Left + 1, y + 1, r.Right - 2, y + 2}, clBtnHighlight);
  }
  GetCanvas()->ExcludeFromClip(gapRect);
}

// ==== ExtraFlat ================================================================================

namespace {

Boolean TabsShownWithRows(TcxCustomTabControl* c) { return !c->GetHideTabs() && c->GetRowCount() > 0; }

Boolean RowsOnOppositeSide(TcxCustomTabControl* c) {
  const TcxTabPosition p = c->GetTabPosition();
  if (p == tpTop || p == tpLeft) return c->GetTopOrLeftPartRowCount() != c->GetRowCount();
  return c->GetTopOrLeftPartRowCount() != 0;
}

}  // namespace

Integer TcxPCExtraFlatPainter::CalculateTabNormalWidth(TcxTab* tab) {
  TcxCustomTabControl* c = GetTabControl();
  if (c->GetTabWidth() >= 1) return c->GetTabWidth();
  const Integer v = tab->GetVisibleIndex();
  TcxCanvas* canvas = GetScreenCanvas();
  c->PrepareTabFont(tab, canvas);
  const Integer caption = tab->GetCaption().empty() ? 12 : canvas->TextWidthOf(tab->GetCaption()) + 9;
  return std::max(GetTabExtraWidth(v) + caption, GetMinTabNormalWidth(v));
}

Integer TcxPCExtraFlatPainter::CalculateTabNormalHeight() {
  Integer height = std::max(GetTabContentHeight(), GetMinTabNormalHeight());
  if (GetTabControl()->GetRotate() && HasImages() && (height - GetImageSize().cy) % 2 != 0) ++height;
  const Integer requested = GetTabControl()->GetTabHeight() - 4;
  if (requested >= GetMinTabNormalHeight()) height = std::max(height, requested);
  return height;
}

TRect TcxPCExtraFlatPainter::GetTabCorrection(Integer visibleIndex) {
  return GetTab(visibleIndex)->IsMainTab() ? TRect{-1, -1, 1, 1} : TRect();
}

Integer TcxPCExtraFlatPainter::GetTabExtraWidth(Integer visibleIndex) {
  if (!HasImages() || (visibleIndex != -1 && !ShowsImage(visibleIndex) && !GetTabControl()->GetRotate())) return 0;
  return GetImageSize().cx + 2 * GetTabControl()->GetImageBorder() + 4;
}

void TcxPCExtraFlatPainter::GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  offsets[0] = IsMainTab(visibleIndex) ? 3 : 2;
  offsets[1] = offsets[2] = offsets[3] = 0;
}

void TcxPCExtraFlatPainter::GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  const Boolean main = IsMainTab(visibleIndex);
  offsets[0] = main ? 6 : 5;
  offsets[1] = 2;
  offsets[2] = 3;
  offsets[3] = 0;
  const Integer code = GetTabSideCode(visibleIndex);
  if (code == 5 || code == 7 || code == 10) {
    offsets[1] = 0;
    offsets[3] = 0;
  }
  if (ShowsImage(visibleIndex)) offsets[0] += main ? 1 : 2;
}

void TcxPCExtraFlatPainter::GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) {
  offset1 = offset2 = IsMainTab(visibleIndex) ? 3 : 2;
}

void TcxPCExtraFlatPainter::GetTabsNormalDistance(Integer& along, Integer& across) {
  along = GetTabSeparatorWidth();
  across = GetRowIndent() + 3;
}

TcxPCTabsPosition TcxPCExtraFlatPainter::GetTabsPosition(TcxPCNavigatorButtons buttons) {
  TcxPCTabsPosition result = TcxPCStandardPainter::GetTabsPosition(buttons);
  // The row lines between the last row and the page belong to the tabs area.
  result.NearBorderOffset = GetRowIndent();
  result.FarBorderOffset = -GetRowIndent();
  return result;
}

void TcxPCExtraFlatPainter::CorrectPageClientRectOffset(TcxPCMargins& margins) {
  if (HasFrame() && TabsShownWithRows(GetTabControl())) --margins.Top;
}

TcxPCMargins TcxPCExtraFlatPainter::GetPageClientRectOffset() {
  TcxPCMargins m = TcxPCStandardPainter::GetPageClientRectOffset();
  if (TabsShownWithRows(GetTabControl())) m.Top += 2;
  CorrectPageClientRectOffset(m);
  return m;
}

TcxPCMargins TcxPCExtraFlatPainter::GetPageFrameRectOffset() {
  TcxPCMargins m = TcxPCStandardPainter::GetPageFrameRectOffset();
  if (TabsShownWithRows(GetTabControl()) && RowsOnOppositeSide(GetTabControl())) m.Bottom += 3;
  return m;
}

TColor TcxPCExtraFlatPainter::GetDefaultClientColor() {
  return GetTabControl()->GetActivePageObject() ? TcxPCStandardPainter::GetDefaultClientColor()
                                                : GetControlBackgroundColor();
}

TColor TcxPCExtraFlatPainter::GetTabsAreaColor() {
  return GetTabControl()->GetIsTabsContainer() ? GetTabControl()->GetColor() : PCLightColor();
}

TColor TcxPCExtraFlatPainter::GetTabBodyColor(Integer visibleIndex) {
  TcxTab* tab = GetTab(visibleIndex);
  if (tab->GetHighlighted()) return GetHighlightColor();
  const TColor color = GetTabColor(visibleIndex);
  if (color != clDefault) return color;
  return tab->IsMainTab() ? clBtnFace : GetTabsAreaColor();
}

Integer TcxPCExtraFlatPainter::GetButtonsDistance(TcxPCNavigatorButton button, TcxPCNavigatorButton nextButton) {
  if (button == nbClose || nextButton == nbClose || (button != nbGoDialog && nextButton != nbGoDialog)) return 3;
  return 0;
}

TPoint TcxPCExtraFlatPainter::GetButtonGlyphOffset(TcxPCNavigatorButton button) {
  const Boolean pressed = GetTabControl()->GetNavigatorButtonState(button) == nbsPressed;
  switch (button) {
    case nbGoDialog: return {3, pressed ? 5 : 4};
    case nbClose: return IsVerticalStrip() ? TPoint{3, 2} : TPoint{2, 3};
    default:
      switch (GetButtonArrowDirection(button)) {
        case adUp: return {2, 5};
        case adDown: return {2, 3};
        case adLeft: return {5, 2};
        default: return {3, 2};
      }
  }
}

TColor TcxPCExtraFlatPainter::GetButtonColor(TcxPCNavigatorButtonState state) {
  return state == nbsPressed || state == nbsHotTrack ? clBtnFace : GetTabsAreaColor();
}

TColor TcxPCExtraFlatPainter::GetButtonGlyphColor(TcxPCNavigatorButtonState state) {
  if (GetTabControl()->GetEnabled() && state != nbsDisabled) return state == nbsPressed ? clBtnHighlight : clBtnText;
  return clBtnShadow;
}

TcxPCButtonGlyphInfo TcxPCExtraFlatPainter::GetButtonGlyphInfo(TcxPCNavigatorButton button) {
  const TcxPCNavigatorButtonState state = GetTabControl()->GetNavigatorButtonState(button);
  TcxPCButtonGlyphInfo info;
  info.PenColor = GetButtonGlyphColor(state);
  info.FillColor = info.PenColor;
  info.Enabled = true;
  info.AlternativeCloseGlyph = button == nbClose;
  if (button == nbClose || !GetTabControl()->GetEnabled() || state == nbsDisabled) info.FillColor = PCLightColor();
  return info;
}

void TcxPCExtraFlatPainter::DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) {
  if (state != nbsPressed && state != nbsHotTrack) return;
  const Boolean pressed = state == nbsPressed;
  DrawRectLines(GetCanvas(), rect, {0, 1, 2, 3},
                {pressed ? clBtnShadow : clBtnHighlight, pressed ? clBtnShadow : clBtnHighlight,
                 pressed ? clBtnHighlight : clBtnShadow, pressed ? clBtnHighlight : clBtnShadow},
                false);
}

void TcxPCExtraFlatPainter::DrawPageFrameLines(TColor a, TColor b) {
  TRect r = GetPageFrameRect();
  TcxCanvas* canvas = GetCanvas();
  if (!TabsShownWithRows(GetTabControl())) {
    DrawRectLines(canvas, r, {0, 1, 2, 3}, {a, a, b, b}, false);
    return;
  }
  switch (GetTabControl()->GetTabPosition()) {
    case tpTop: DrawRectLines(canvas, r, {2, 3, 0}, {b, b, a}, false); break;
    case tpBottom: DrawRectLines(canvas, r, {2, 1, 0}, {b, a, a}, false); break;
    case tpLeft: DrawRectLines(canvas, r, {3, 2, 1}, {b, b, a}, false); break;
    case tpRight: DrawRectLines(canvas, r, {3, 0, 1}, {b, a, a}, false); break;
  }
}

void TcxPCExtraFlatPainter::PaintFrame() { DrawPageFrameLines(clBtnHighlight, clBtnShadow); }

TRect TcxPCExtraFlatPainter::GetJointBandRect() {
  TcxCustomTabControl* c = GetTabControl();
  if (!TabsShownWithRows(c)) return TRect();
  const TRect client = GetPageClientRect();
  switch (c->GetTabPosition()) {
    case tpTop: return {client.Left, client.Top - 2, client.Right, client.Top};
    case tpBottom: return {client.Left, client.Bottom, client.Right, client.Bottom + 2};
    case tpLeft: return {client.Left - 2, client.Top, client.Left, client.Bottom};
    default: return {client.Right, client.Top, client.Right + 2, client.Bottom};
  }
}

TColor TcxPCExtraFlatPainter::GetJointBandColor() {
  const Integer main = GetTabControl()->GetMainTabVisibleIndex();
  if (main != -1) {
    const TColor color = GetTabColor(main);
    if (color != clDefault) return color;
  }
  return clBtnFace;
}

void TcxPCExtraFlatPainter::PaintPageArea() {
  const TRect band = GetJointBandRect();
  if (!RectIsEmpty(band)) FillRect(band, GetJointBandColor());
  TcxPCStandardPainter::PaintPageArea();
}

void TcxPCExtraFlatPainter::DoPaint() {
  PaintPageArea();
  if (!GetTabControl()->GetHideTabs()) {
    PaintButtons();
    PaintTabs();
  }
}

TRect TcxPCExtraFlatPainter::GetMainTabFrameRect() {
  const Integer main = GetTabControl()->GetMainTabVisibleIndex();
  if (main == -1) return TRect();
  const TRect r = GetTab(main)->GetFullRect();
  switch (GetTabControl()->GetTabPosition()) {
    case tpTop: return {r.Left, r.Top, r.Right - 1, r.Bottom + 1};
    case tpBottom: return {r.Left + 1, r.Top - 1, r.Right - 1, r.Bottom - 1};
    case tpLeft: return {r.Left, r.Top, r.Right + 1, r.Bottom - 1};
    default: return {r.Left - 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
}

void TcxPCExtraFlatPainter::GetTabSeparatorOffsets(Integer& offset1, Integer& offset2) {
  offset1 = 2;
  offset2 = 2;
}

TRect TcxPCExtraFlatPainter::GetTabBodyRect(Integer visibleIndex, Boolean row) {
  TcxTab* tab = GetTab(visibleIndex);
  if (tab->IsMainTab() && !row) {
    TRect r = tab->GetFullRect();
    switch (TabSide(visibleIndex)) {
      case 0: return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom};
      case 1: return {r.Left + 1, r.Top, r.Right - 1, r.Bottom - 1};
      case 2: return {r.Left + 1, r.Top + 1, r.Right, r.Bottom - 1};
      default: return {r.Left, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
  }
  TRect r = tab->GetNormalRect();
  const Integer indent = GetRowIndent();
  switch (TabSide(visibleIndex)) {
    case 0: r.Top -= 3; r.Bottom += indent; break;
    case 1: r.Bottom += 3; r.Top -= indent; break;
    case 2: r.Left -= 3; r.Right += indent; break;
    default: r.Right += 3; r.Left -= indent; break;
  }
  return r;
}

void TcxPCExtraFlatPainter::DrawTabBody(TcxCanvas* canvas, const TRect& rect, Integer visibleIndex, Boolean reversed) {
  TRect r = rect;
  if (visibleIndex != -1 && !GetTab(visibleIndex)->IsMainTab()) {
    const TColor area = GetTabsAreaColor();
    DrawRectLines(canvas, r, {0, 1, 2, 3}, {area, area, area, area}, false);
  }
  canvas->FillRectWithColor(r, visibleIndex == -1 ? GetTabsAreaColor() : GetTabBodyColor(visibleIndex));
}

void TcxPCExtraFlatPainter::DrawMainTabOutline(const TRect& rect, TColor a, TColor b) {
  TRect r = rect;
  TcxCanvas* canvas = GetCanvas();
  const TRect original = rect;
  switch (TabSide(GetTabControl()->GetMainTabVisibleIndex())) {
    case 0: DrawRectLines(canvas, r, {0, 1, 2}, {a, a, b}, false); break;
    case 1:
      DrawRectLines(canvas, r, {0, 3, 2}, {a, b, b}, false);
      canvas->SetPixelColor(original.Left, original.Top, b);
      break;
    case 2: DrawRectLines(canvas, r, {1, 0, 3}, {a, a, b}, false); break;
    default:
      DrawRectLines(canvas, r, {1, 2, 3}, {a, b, b}, false);
      canvas->SetPixelColor(original.Left, original.Top, b);
      break;
  }
}

void TcxPCExtraFlatPainter::DrawMainTabFrame(const TRect& rect) { DrawMainTabOutline(rect, clWhite, clBlack); }

void TcxPCExtraFlatPainter::DrawTabSeparator(const TRect& rect) {
  FillRect(rect, clBtnShadow);
  GetCanvas()->ExcludeFromClip(rect);
}

Boolean TcxPCExtraFlatPainter::IsRowNextToPage(Integer row) {
  TcxCustomTabControl* c = GetTabControl();
  const Integer p = c->GetTopOrLeftPartRowCount();
  return row == p - 1 || row == p;
}

TRect TcxPCExtraFlatPainter::GetRowRect(Integer row) {
  TcxCustomTabControl* c = GetTabControl();
  // The across extent of the row: its tabs' bodies.
  Integer first = -1;
  for (Integer i = 0; i < c->GetVisibleTabList()->GetCount(); ++i)
    if (GetTab(i)->GetVisibleRow() == row && c->IsTabShown(i)) {
      first = i;
      break;
    }
  if (first == -1) return TRect();
  TcxTab* tab = GetTab(first);
  TRect r = tab->GetNormalRect();
  const Integer indent = GetRowIndent();
  const Boolean nearPart = row < c->GetTopOrLeftPartRowCount();
  const Boolean horizontal = c->IsHorizontalStrip();
  const Integer shrink = HasRowFrame() ? 1 : 0;
  if (horizontal) {
    r.Left = shrink;
    r.Right = c->GetWidth() - shrink;
    if (nearPart) {
      r.Top -= 3;
      r.Bottom += indent;
    } else {
      r.Top -= indent;
      r.Bottom += 3;
    }
  } else {
    r.Top = shrink;
    r.Bottom = c->GetHeight() - shrink;
    if (nearPart) {
      r.Left -= 3;
      r.Right += indent;
    } else {
      r.Left -= indent;
      r.Right += 3;
    }
  }
  return r;
}

TRect TcxPCExtraFlatPainter::GetRowPageSideRect(const TRect& rowRect, Integer row, Integer count) {
  TcxCustomTabControl* c = GetTabControl();
  const Boolean nearPart = row < c->GetTopOrLeftPartRowCount();
  if (c->IsHorizontalStrip())
    return nearPart ? TRect{rowRect.Left, rowRect.Bottom - count, rowRect.Right, rowRect.Bottom}
                    : TRect{rowRect.Left, rowRect.Top, rowRect.Right, rowRect.Top + count};
  return nearPart ? TRect{rowRect.Right - count, rowRect.Top, rowRect.Right, rowRect.Bottom}
                  : TRect{rowRect.Left, rowRect.Top, rowRect.Left + count, rowRect.Bottom};
}

TRect TcxPCExtraFlatPainter::GetRowLine(const TRect& rowRect, Integer row, Integer index) {
  const TRect band = GetRowPageSideRect(rowRect, row, index + 1);
  const Boolean nearPart = row < GetTabControl()->GetTopOrLeftPartRowCount();
  if (GetTabControl()->IsHorizontalStrip())
    return nearPart ? TRect{band.Left, band.Top, band.Right, band.Top + 1}
                    : TRect{band.Left, band.Bottom - 1, band.Right, band.Bottom};
  return nearPart ? TRect{band.Left, band.Top, band.Left + 1, band.Bottom}
                  : TRect{band.Right - 1, band.Top, band.Right, band.Bottom};
}

void TcxPCExtraFlatPainter::DrawRowLines(const TRect& rect, Integer row) {
  const TcxTabPosition p = GetTabControl()->GetTabPosition();
  const TColor colors[3] = {clBtnFace, clBtnFace, p == tpTop || p == tpLeft ? clWhite : clBlack};
  for (Integer i = 0; i < GetRowIndent() && i < 3; ++i) FillRect(GetRowLine(rect, row, i), colors[i]);
}

void TcxPCExtraFlatPainter::DrawTab(TcxTab* tab, Integer visibleIndex) {
  const Boolean main = tab->IsMainTab();
  if (main) DrawMainTabFrame(tab->GetFullRect());
  if (!IsTabBodyTransparent(visibleIndex)) DrawTabBody(GetCanvas(), GetTabBodyRect(visibleIndex, false), visibleIndex);
  if (main) DrawFocusRect(visibleIndex, GetMainTabFrameRect());
}

void TcxPCExtraFlatPainter::PaintTabs() {
  TcxCustomTabControl* c = GetTabControl();
  TcxCanvas* canvas = GetCanvas();
  const Integer count = c->GetVisibleTabList()->GetCount();
  for (Integer row = 0; row < c->GetRowCount(); ++row) {
    std::vector<TcxPCTabImageAndTextData> records;
    std::vector<Integer> indexes;
    for (Integer i = 0; i < count; ++i) {
      if (!c->IsTabShown(i) || GetTab(i)->GetVisibleRow() != row) continue;
      PaintTab(i);
      records.push_back(FTabImageAndTextData);
      indexes.push_back(i);
      TcxTab* tab = GetTab(i);
      const Boolean lastShown = i == count - 1 || !c->IsTabShown(i + 1);
      if (!tab->IsMainTab() && !lastShown && GetTab(i + 1)->GetVisibleRow() == row && !GetTab(i + 1)->IsMainTab()) {
        Integer o1, o2;
        GetTabSeparatorOffsets(o1, o2);
        const TRect r = tab->GetNormalRect();
        const Integer w = GetTabSeparatorWidth();
        TRect separator;
        if (c->IsHorizontalStrip())
          separator = c->IsBackwardStrip() ? TRect{r.Left - w, r.Top + o1, r.Left, r.Bottom - o2}
                                           : TRect{r.Right, r.Top + o1, r.Right + w, r.Bottom - o2};
        else
          separator = c->IsBackwardStrip() ? TRect{r.Left + o1, r.Top - w, r.Right - o2, r.Top}
                                           : TRect{r.Left + o1, r.Bottom, r.Right - o2, r.Bottom + w};
        DrawTabSeparator(separator);
      }
    }
    const TRect rowRect = GetRowRect(row);
    if (RectIsEmpty(rowRect)) continue;
    DrawRowLines(rowRect, row);
    canvas->ExcludeFromClip(GetRowPageSideRect(rowRect, row, GetRowIndent()));
    DrawTabBody(canvas, rowRect, -1);
    for (std::size_t k = 0; k < indexes.size(); ++k) {
      if (!IsTabBodyTransparent(indexes[k])) continue;
      FTabImageAndTextData = records[k];
      NotifyTabPainted(indexes[k]);
    }
    canvas->ExcludeFromClip(rowRect);
  }
}

// ==== UltraFlat ================================================================================

Boolean TcxPCUltraFlatPainter::HasLookAndFeel(TcxLookAndFeel* lookAndFeel) const {
  return lookAndFeel->GetPainterForThemeType(totTab)->StyleId() == cxPainterStyleUltraFlat;
}

Integer TcxPCUltraFlatPainter::GetButtonsDistance(TcxPCNavigatorButton button, TcxPCNavigatorButton nextButton) {
  return button == nbClose || nextButton == nbClose ? 3 : 1;
}

Integer TcxPCUltraFlatPainter::GetButtonWidth(TcxPCNavigatorButton button) {
  switch (button) {
    case nbGoDialog: return 11;
    case nbClose: return 14;
    default: return 15;
  }
}

TColor TcxPCUltraFlatPainter::GetButtonColor(TcxPCNavigatorButtonState state) {
  switch (state) {
    case nbsHotTrack: return clBtnFace;
    case nbsPressed: return clBtnShadow;
    default: return PCLightColor();
  }
}

TcxPCButtonGlyphInfo TcxPCUltraFlatPainter::GetButtonGlyphInfo(TcxPCNavigatorButton button) {
  const TcxPCNavigatorButtonState state = GetTabControl()->GetNavigatorButtonState(button);
  TcxPCButtonGlyphInfo info;
  info.PenColor = GetButtonGlyphColor(state);
  info.FillColor = info.PenColor;
  info.Enabled = GetTabControl()->GetEnabled();
  info.AlternativeCloseGlyph = button == nbClose;
  return info;
}

void TcxPCUltraFlatPainter::DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) {
  const TColor color = state == nbsHotTrack || state == nbsPressed ? clBlack : clBtnShadow;
  DrawRectLines(GetCanvas(), rect, {0, 1, 2, 3}, {color, color, color, color}, false);
}

void TcxPCUltraFlatPainter::PaintFrame() { DrawPageFrameLines(clBtnShadow, clBtnShadow); }

TRect TcxPCUltraFlatPainter::GetMainTabFrameRect() {
  const Integer main = GetTabControl()->GetMainTabVisibleIndex();
  if (main == -1) return TRect();
  return GetTabBodyRect(main, false);
}

void TcxPCUltraFlatPainter::DrawMainTabFrame(const TRect& rect) { DrawMainTabOutline(rect, clBlack, clBlack); }

void TcxPCUltraFlatPainter::DrawRowLines(const TRect& rect, Integer row) {
  const Boolean next = IsRowNextToPage(row);
  const TColor colors[3] = {clBtnFace, next ? clBtnFace : clBlack, next ? clBlack : clBtnFace};
  for (Integer i = 0; i < GetRowIndent() && i < 3; ++i) FillRect(GetRowLine(rect, row, i), colors[i]);
}

// ==== Office11 =================================================================================

TcxPCOffice11Painter::TcxPCOffice11Painter(TcxCustomTabControl* tabControl) : TcxPCUltraFlatPainter(tabControl) {
  AcquireOffice11Resources();
}

TcxPCOffice11Painter::~TcxPCOffice11Painter() { ReleaseOffice11Resources(); }

Boolean TcxPCOffice11Painter::HasLookAndFeel(TcxLookAndFeel* lookAndFeel) const {
  return !lookAndFeel->GetSkinPainter() &&
         lookAndFeel->GetPainterForThemeType(totTab)->StyleId() == cxPainterStyleOffice11;
}

// The page control's border colour is the palette's highlight entry.
TColor TcxPCOffice11Painter::GetBorderColor() { return Office11HighlightColor; }

void TcxPCOffice11Painter::GetTabSeparatorOffsets(Integer& offset1, Integer& offset2) {
  const TcxTabPosition p = GetTabControl()->GetTabPosition();
  if (p == tpTop || p == tpLeft) {
    offset1 = 0;
    offset2 = 2;
  } else {
    offset1 = 3;
    offset2 = -1;
  }
}

Boolean TcxPCOffice11Painter::GradientHorizontal() {
  const TcxTabPosition p = GetTabControl()->GetTabPosition();
  return p == tpLeft || p == tpRight;
}

void TcxPCOffice11Painter::GradientColors(TColor color1, TColor color2, TColor& first, TColor& second) {
  if (GetTabControl()->GetOptions().Contains(pcoGradient)) {
    first = color1;
    second = color2;
  } else {
    first = second = BlendColors(color1, color2, 50);
  }
}

void TcxPCOffice11Painter::FillGradient(TcxCanvas* canvas, const TRect& rect, TColor color1, TColor color2,
                                        Boolean horizontal) {
  if (RectIsEmpty(rect)) return;
  TColor a, b;
  GradientColors(color1, color2, a, b);
  DrawGradientRect(canvas->GetHandle(), rect, a, b, horizontal);
}

void TcxPCOffice11Painter::DrawTabBody(TcxCanvas* canvas, const TRect& rect, Integer visibleIndex, Boolean reversed) {
  const TColor body = visibleIndex == -1 ? clDefault : GetTabBodyColor(visibleIndex);
  const Boolean main = visibleIndex != -1 && GetTab(visibleIndex)->IsMainTab();
  if (body == clDefault) {
    TColor c1 = main ? Office11SelectedColor1 : Office11BackgroundColor1;
    TColor c2 = main ? Office11SelectedColor2 : Office11BackgroundColor2;
    if (reversed && GetTabControl()->GetOptions().Contains(pcoGradient)) std::swap(c1, c2);
    FillGradient(canvas, rect, c1, c2, GradientHorizontal());
    return;
  }
  TRect r = rect;
  if (!main) {
    const TcxTabPosition p = GetTabControl()->GetTabPosition();
    TColor a, b;
    GradientColors(Office11BackgroundColor1, Office11BackgroundColor2, a, b);
    const TColor line = p == tpTop || p == tpLeft ? b : a;
    TRect one;
    switch (TabSide(visibleIndex)) {
      case 0: one = {r.Left, r.Bottom - 1, r.Right, r.Bottom}; --r.Bottom; break;
      case 1: one = {r.Left, r.Top, r.Right, r.Top + 1}; ++r.Top; break;
      case 2: one = {r.Right - 1, r.Top, r.Right, r.Bottom}; --r.Right; break;
      default: one = {r.Left, r.Top, r.Left + 1, r.Bottom}; ++r.Left; break;
    }
    canvas->FillRectWithColor(one, line);
  }
  canvas->FillRectWithColor(r, body);
}

TColor TcxPCOffice11Painter::GetJointBandColor() {
  const Integer main = GetTabControl()->GetMainTabVisibleIndex();
  if (main != -1) {
    const TColor color = GetTabColor(main);
    if (color != clDefault) return color;
  }
  if (!GetTabControl()->GetOptions().Contains(pcoGradient))
    return BlendColors(Office11SelectedColor1, Office11SelectedColor2, 50);
  const TcxTabPosition p = GetTabControl()->GetTabPosition();
  return p == tpBottom || p == tpRight ? Office11SelectedColor1 : Office11SelectedColor2;
}

TRect TcxPCOffice11Painter::GetJointBandRect() {
  TcxCustomTabControl* c = GetTabControl();
  if (!TabsShownWithRows(c)) return TRect();
  const TRect f = GetPageFrameRect();
  switch (c->GetTabPosition()) {
    case tpTop: return {f.Left, f.Top, f.Right, std::min(f.Top + 2, f.Bottom)};
    case tpBottom: return {f.Left, std::max(f.Bottom - 2, f.Top), f.Right, f.Bottom};
    case tpLeft: return {f.Left, f.Top, std::min(f.Left + 2, f.Right), f.Bottom};
    default: return {std::max(f.Right - 2, f.Left), f.Top, f.Right, f.Bottom};
  }
}

void TcxPCOffice11Painter::DrawMainTabFrame(const TRect& rect) {
  DrawMainTabOutline(rect, GetBorderColor(), GetBorderColor());
}

void TcxPCOffice11Painter::DrawTabSeparator(const TRect& rect) {
  const TRect first{rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1};
  FillRect(first, Office11SeparatorColor1);
  GetCanvas()->ExcludeFromClip(first);
  const TRect second = GetOffsetRect(first, 1, 1);
  FillRect(second, Office11SeparatorColor2);
  GetCanvas()->ExcludeFromClip(second);
}

void TcxPCOffice11Painter::DrawRowLines(const TRect& rect, Integer row) {
  const TRect band = GetRowPageSideRect(rect, row, 1);
  FillRect(band, GetBorderColor());
}

TcxPCMargins TcxPCOffice11Painter::GetPageClientRectOffset() {
  TcxPCMargins m = TcxPCExtraFlatPainter::GetPageClientRectOffset();
  if (!HasFrame() && TabsShownWithRows(GetTabControl()) && RowsOnOppositeSide(GetTabControl())) ++m.Bottom;
  return m;
}

TColor TcxPCOffice11Painter::GetTabBodyColor(Integer visibleIndex) {
  if (GetTab(visibleIndex)->GetHighlighted()) return GetHighlightColor();
  return GetTabColor(visibleIndex);
}

Boolean TcxPCOffice11Painter::IsTabBodyTransparent(Integer visibleIndex) {
  return !GetTab(visibleIndex)->IsMainTab() && GetTabBodyColor(visibleIndex) == clDefault;
}

Boolean TcxPCOffice11Painter::NeedsRedrawOnResize() {
  const TcxPCOptions o = GetTabControl()->GetOptions();
  return o.Contains(pcoGradient) && o.Contains(pcoGradientClientArea);
}

TColor TcxPCOffice11Painter::GetButtonGlyphColor(TcxPCNavigatorButtonState state) {
  return state == nbsDisabled ? Office11DisabledTextColor : Office11TextColor;
}

void TcxPCOffice11Painter::DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) {
  const TColor color =
      GetTabControl()->GetEnabled() && state != nbsDisabled ? GetBorderColor() : Office11DisabledTextColor;
  DrawRectLines(GetCanvas(), rect, {0, 1, 2, 3}, {color, color, color, color}, false);
}

void TcxPCOffice11Painter::DrawButtonBackground(const TRect& rect, TcxPCNavigatorButtonState state) {
  TcxCanvas* canvas = GetCanvas();
  if (!canvas->IsRectVisible(rect)) return;
  // The gradient covers the whole buttons row, clipped to the button.
  TRect row = rect;
  const TRect rowRect = GetRowRect(0);
  if (!RectIsEmpty(rowRect)) {
    if (GetTabControl()->IsHorizontalStrip()) {
      row.Top = rowRect.Top;
      row.Bottom = rowRect.Bottom;
    } else {
      row.Left = rowRect.Left;
      row.Right = rowRect.Right;
    }
  }
  canvas->PushClipRegion();
  canvas->IntersectClip(rect);
  switch (state) {
    case nbsPressed: FillGradient(canvas, row, Office11PressedColor1, Office11PressedColor2, GradientHorizontal()); break;
    case nbsHotTrack: FillGradient(canvas, row, Office11SelectedColor1, Office11SelectedColor2, GradientHorizontal()); break;
    default: DrawTabBody(canvas, row, -1); break;
  }
  canvas->PopClipRegion();
}

void TcxPCOffice11Painter::PaintFrame() {
  const TRect r = GetInflatedRect(GetPageClientRect(), 1, 1);
  TRect frame = r;
  const TColor color = GetBorderColor();
  DrawRectLines(GetCanvas(), frame, {0, 1, 2, 3}, {color, color, color, color}, false);
}

void TcxPCOffice11Painter::PaintPageArea() {
  TcxCustomTabControl* c = GetTabControl();
  if (!HasFrame() && TabsShownWithRows(c) && RowsOnOppositeSide(c)) {
    const TRect client = GetPageClientRect();
    TRect line;
    switch (c->GetTabPosition()) {
      case tpTop: line = {client.Left, client.Bottom, client.Right, client.Bottom + 1}; break;
      case tpBottom: line = {client.Left, client.Top - 1, client.Right, client.Top}; break;
      case tpLeft: line = {client.Right, client.Top, client.Right + 1, client.Bottom}; break;
      default: line = {client.Left - 1, client.Top, client.Left, client.Bottom}; break;
    }
    FillRect(line, GetBorderColor());
  }
  TcxPCExtraFlatPainter::PaintPageArea();
}

void TcxPCOffice11Painter::PaintPageClientArea() {
  auto* page = dynamic_cast<TControl*>(GetTabControl()->GetActivePageObject());
  const TRect r = GetPageClientRect();
  if (!page || page->GetParentColor()) {
    const TcxPCOptions o = GetTabControl()->GetOptions();
    if (o.Contains(pcoGradient) && o.Contains(pcoGradientClientArea))
      DrawGradientRect(GetCanvas()->GetHandle(), r, Office11BackgroundColor1, Office11BackgroundColor2, false);
    else
      FillRect(r, BlendColors(Office11BackgroundColor1, Office11BackgroundColor2, 50));
    return;
  }
  FillRect(r, page->GetColor());
}

void TcxPCOffice11Painter::FillTabBitmapBackground(TcxBitmap* bitmap, const TRect& rect, Integer visibleIndex) {
  if (visibleIndex < 0) return;
  TRect body = GetTabBodyRect(visibleIndex, false);
  if (!GetTab(visibleIndex)->IsMainTab()) body = ExtendTowardsPage(body, visibleIndex, 0);
  // The body in the bitmap's coordinates: the bitmap shows `rect` of the control.
  body = GetOffsetRect(body, -rect.Left, -rect.Top);
  if (GetCaptionOrientation() != 0 && rect.Width() != bitmap->GetWidth()) {
    // A caption drawn upright and turned afterwards: the body is laid out turned too.
    body = {0, 0, bitmap->GetWidth(), bitmap->GetHeight()};
  }
  DrawTabBody(bitmap->GetCanvas(), body, visibleIndex, GetCaptionOrientation() != 0);
}

// ==== Flat =====================================================================================

Boolean TcxPCFlatPainter::HasLookAndFeel(TcxLookAndFeel* lookAndFeel) const {
  return lookAndFeel->GetPainterForThemeType(totTab)->StyleId() == cxPainterStyleFlat;
}

TPoint TcxPCFlatPainter::GetButtonGlyphOffset(TcxPCNavigatorButton button) {
  const TPoint p = TcxPCTabsPainter::GetButtonGlyphOffset(button);
  return {p.X - 1, p.Y - 1};
}

TcxRegion* TcxPCFlatPainter::GetTabClipRegion(Integer visibleIndex) {
  return new TcxRegion(GetTab(visibleIndex)->GetVisibleRect());
}

void TcxPCFlatPainter::DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) {
  const Boolean pressed = state == nbsPressed;
  const TColor a = pressed ? clBtnShadow : clBtnHighlight, b = pressed ? clBtnHighlight : clBtnShadow;
  DrawRectLines(GetCanvas(), rect, {0, 1, 2, 3}, {a, a, b, b}, false);
}

void TcxPCFlatPainter::DrawFrame(const TRect& rect) {
  TRect r = rect;
  DrawRectLines(GetCanvas(), r, {0, 1, 2, 3}, {clBtnHighlight, clBtnHighlight, clBtnShadow, clBtnShadow}, false);
}

void TcxPCFlatPainter::DrawTabOutline(Integer visibleIndex) {
  const TRect r = GetTab(visibleIndex)->GetFullRect();
  const Integer l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
  const TColor h = clBtnHighlight, s = clBtnShadow, f = clBtnFace;
  const TColor c = BrightenColor(GetTabBodyColor(visibleIndex), 85);
  TcxCanvas* canvas = GetCanvas();
  auto line = [&](std::initializer_list<TPoint> points, TColor color) {
    const std::vector<TPoint> v(points);
    DrawPolylineWithEnd(v.data(), Integer(v.size()), canvas, color);
  };
  switch (TabSide(visibleIndex)) {
    case 0:
      line({{l, b - 1}, {l, t + 2}, {l + 2, t}, {rt - 3, t}, {rt - 2, t + 1}}, h);
      line({{rt - 1, t + 2}, {rt - 1, b - 1}}, s);
      line({{l + 1, b - 1}, {l + 1, t + 2}, {l + 2, t + 1}, {rt - 3, t + 1}, {rt - 2, t + 2}, {rt - 2, b - 1}}, c);
      break;
    case 1:
      line({{l, t}, {l, b - 3}, {l + 1, b - 2}}, h);
      line({{l + 2, b - 1}, {rt - 3, b - 1}, {rt - 1, b - 3}, {rt - 1, t}}, s);
      line({{l + 1, t}, {l + 1, b - 3}}, c);
      line({{l + 2, b - 2}, {rt - 3, b - 2}, {rt - 2, b - 3}, {rt - 2, t}}, f);
      break;
    case 2:
      line({{rt - 1, b - 1}, {l + 2, b - 1}}, s);
      line({{l + 1, b - 2}, {l, b - 3}, {l, t + 2}, {l + 2, t}, {rt - 1, t}}, h);
      line({{rt - 1, b - 2}, {l + 2, b - 2}, {l + 1, b - 3}, {l + 1, t + 2}, {l + 2, t + 1}, {rt - 1, t + 1}}, c);
      break;
    default:
      line({{l, t}, {rt - 3, t}, {rt - 2, t + 1}}, h);
      line({{rt - 1, t + 2}, {rt - 1, b - 3}, {rt - 3, b - 1}, {l, b - 1}}, s);
      line({{l, t + 1}, {rt - 3, t + 1}}, c);
      line({{rt - 2, t + 2}, {rt - 2, b - 3}, {rt - 3, b - 2}, {l, b - 2}}, f);
      break;
  }
  DrawTabCorners(visibleIndex);
}

// ==== Slanted ==================================================================================

namespace {

// The slant ends of a tab as the outline draws them.
struct TSlantEnds {
  Integer Left;   // 0 vertical, 1 small cut, 2 slant, 3 cut corner
  Integer Right;
};

}  // namespace

TcxTabSlantPositions TcxPCSlantedPainter::GetSlantPositions() {
  TcxCustomTabControl* c = GetTabControl();
  if (c->GetTabSlants()->GetKind() == skSlant && !c->GetRotate()) return c->GetTabSlants()->GetPositions();
  return {};
}

Integer TcxPCSlantedPainter::CalculateCutValue() {
  return GetTabControl()->GetTabSlants()->GetKind() == skSlant ? CalculateTabNormalHeight() - 1 : 6;
}

void TcxPCSlantedPainter::PrepareLayout() {
  TcxPCStandardPainter::PrepareLayout();
  FCutValue = CalculateCutValue();
}

Integer TcxPCSlantedPainter::GetMinTabExtraWidth() {
  TcxCustomTabControl* c = GetTabControl();
  if (c->GetRotate()) return 0;
  const TcxTabSlantPositions positions = c->GetTabSlants()->GetPositions();
  const Integer n = (positions.Contains(spLeft) ? 1 : 0) + (positions.Contains(spRight) ? 1 : 0);
  if (n == 0) return 8;
  if (c->GetTabSlants()->GetKind() == skSlant) return FCutValue * n - 2 * n + 8;
  return FCutValue * n + GetFrameWidth() * (2 - n) + 4;
}

void TcxPCSlantedPainter::GetImageWithBorderSize(Integer& width, Integer& height) {
  const TSize size = GetImageSize();
  const Integer border = GetTabControl()->GetImageBorder();
  width = size.cx > 0 ? size.cx + 2 * border : 0;
  height = size.cy > 0 ? size.cy + 2 * border : 0;
}

// Across a row the caption's margins do not depend on the cut: a slant lies along the row, so
// the cut value only widens the tab (taking it across as well would make every layout taller
// than the one before, since the cut follows the tab height).
void TcxPCSlantedPainter::GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  TcxCustomTabControl* c = GetTabControl();
  offsets[0] = 0;
  offsets[2] = 0;
  if (!c->GetRotate()) {
    offsets[1] = 3;
    offsets[3] = 1;
    return;
  }
  const Boolean cutCorner = c->GetTabSlants()->GetKind() == skCutCorner && !c->GetTabSlants()->GetPositions().Empty();
  offsets[1] = offsets[3] = cutCorner ? FCutValue + 2 : FCutValue + 1;
}

void TcxPCSlantedPainter::GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  offsets[0] = 0;
  offsets[2] = 0;
  if (!GetTabControl()->GetRotate()) {
    offsets[1] = 4;
    offsets[3] = 1;
    return;
  }
  offsets[1] = FCutValue + 3;
  offsets[3] = FCutValue + 1;
}

void TcxPCSlantedPainter::GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) {
  TcxCustomTabControl* c = GetTabControl();
  const TcxTabSlants* slants = c->GetTabSlants();
  const Boolean cutCorner = slants->GetKind() == skCutCorner;
  if (c->GetRotate()) {
    offset1 = 2;
    offset2 = FCutValue + 5 + (cutCorner && !slants->GetPositions().Empty() ? 1 : 0);
  } else {
    const Integer slant = cutCorner ? 6 : FCutValue;
    offset1 = 2 + (slants->GetPositions().Contains(spLeft) ? slant : 0);
    offset2 = 2 + (slants->GetPositions().Contains(spRight) ? slant : 0);
  }
  if (GetCaptionOrientation() == 2) std::swap(offset1, offset2);
}

Integer TcxPCSlantedPainter::GetTabExtraWidth(Integer visibleIndex) {
  Integer o1, o2;
  GetTabTextWOffset(std::max(visibleIndex, 0), o1, o2);
  Integer result = o1 + o2;
  if (visibleIndex != -1 && ShowsImage(visibleIndex)) {
    Integer w, h;
    GetImageWithBorderSize(w, h);
    result += w;
  }
  return std::max(result, GetMinTabExtraWidth());
}

Integer TcxPCSlantedPainter::CalculateTabNormalWidth(TcxTab* tab) {
  TcxCustomTabControl* c = GetTabControl();
  if (!tab->GetVisible()) return 0;
  if (c->GetTabWidth() >= 1) return c->GetTabWidth();
  const Integer v = tab->GetVisibleIndex();
  TcxCanvas* canvas = GetScreenCanvas();
  c->PrepareTabFont(tab, canvas);
  Integer width = GetTabExtraWidth(v) + canvas->TextWidthOf(tab->GetCaption());
  if (ShowsImage(v) || (HasImages() && c->GetRotate())) width += GetImageTextDistance(v);
  return std::max(width, GetMinTabNormalWidth(v));
}

Integer TcxPCSlantedPainter::GetTabContentHeight() {
  Integer text[4], image[4];
  GetTextContentOffsets(0, text);
  GetImageWithTextContentOffsets(0, image);
  Integer w, h;
  GetImageWithBorderSize(w, h);
  return std::max(GetMaxTabTextHeight() + text[1] + text[3], h > 0 ? h + image[1] + image[3] : 0);
}

void TcxPCSlantedPainter::GetTabsNormalDistance(Integer& along, Integer& across) {
  const TcxTabSlantPositions positions = GetSlantPositions();
  const Integer n = (positions.Contains(spLeft) ? 1 : 0) + (positions.Contains(spRight) ? 1 : 0);
  along = n > 0 ? -(FCutValue / 2) * n : 1;
  across = -3;
}

TcxPCMargins TcxPCSlantedPainter::GetTabsAreaExtension() {
  const TcxTabSlantPositions positions = GetSlantPositions();
  TcxPCMargins m;
  if (IsVerticalStrip()) {
    if (positions.Contains(spLeft)) m.Bottom = 1;
    if (positions.Contains(spRight)) m.Top = 1;
  } else {
    if (positions.Contains(spLeft)) m.Left = 1;
    if (positions.Contains(spRight)) m.Right = 1;
  }
  return m;
}

TcxPCMargins TcxPCSlantedPainter::GetTabsContainerOffsets() {
  if (!GetTabControl()->GetIsTabsContainer()) return TRect();
  const TcxTabSlantPositions positions = GetSlantPositions();
  return {positions.Contains(spLeft) ? 1 : 2, 0, positions.Contains(spRight) ? 1 : 2, 2};
}

TColor TcxPCSlantedPainter::GetClientColor() {
  TcxCustomTabControl* c = GetTabControl();
  const Integer main = c->GetMainTabVisibleIndex();
  if (c->GetIsTabsContainer() && main != -1) {
    const TColor color = GetTabColor(main);
    return color == clDefault ? clBtnFace : color;
  }
  return TcxPCStandardPainter::GetClientColor();
}

TcxPCMargins TcxPCSlantedPainter::GetPageClientRectOffset() {
  TcxPCMargins m = TcxPCStandardPainter::GetPageClientRectOffset();
  TcxCustomTabControl* c = GetTabControl();
  if (!TabsShownWithRows(c)) return m;
  if (c->GetIsTabsContainer()) m.Top += 2;
  if (!HasFrame()) {
    ++m.Top;
    if (RowsOnOppositeSide(c)) ++m.Bottom;
  }
  return m;
}

TColor TcxPCSlantedPainter::GetTabBodyColor(Integer visibleIndex) {
  if (GetTab(visibleIndex)->GetHighlighted()) return GetHighlightColor();
  const TColor color = GetTabColor(visibleIndex);
  if (color != clDefault) return color;
  return GetTabControl()->GetIsTabsContainer() ? clBtnFace : GetTabControl()->GetColor();
}

TRect TcxPCSlantedPainter::GetPageJointRect(Integer visibleIndex) {
  const TRect visible = GetTab(visibleIndex)->GetVisibleRect();
  if (RectIsEmpty(visible)) return TRect();
  switch (TabSide(visibleIndex)) {
    case 0: return {visible.Left, visible.Bottom, visible.Right, visible.Bottom + 1};
    case 1: return {visible.Left, visible.Top - 1, visible.Right, visible.Top};
    case 2: return {visible.Right, visible.Top, visible.Right + 1, visible.Bottom};
    default: return {visible.Left - 1, visible.Top, visible.Left, visible.Bottom};
  }
}

TPoints TcxPCSlantedPainter::GetTabOutlinePoints(Integer visibleIndex, const TRect& rect) {
  TcxCustomTabControl* c = GetTabControl();
  const Integer side = TabSide(visibleIndex);
  const Integer l = rect.Left, b = rect.Bottom;
  const Integer w = side >= 2 ? rect.Height() : rect.Width();
  const Integer h = side >= 2 ? rect.Width() : rect.Height();
  const TcxTabSlants* slants = c->GetTabSlants();
  const Boolean counts = !c->GetRotate() || slants->GetKind() == skCutCorner;
  const TcxTabSlantPositions positions = counts ? slants->GetPositions() : TcxTabSlantPositions{};
  const Boolean cutCorner = slants->GetKind() == skCutCorner;
  TPoints points;
  if (positions.Contains(spLeft)) {
    if (cutCorner)
      points = {{l, b - 1}, {l, b + 6 - h}, {l + 6, b - h}};
    else
      points = {{l, b - 1}, {l + h - 1, b - h}};
  } else if (cutCorner && !slants->GetPositions().Empty()) {
    points = {{l, b - 1}, {l, b - h}};
  } else {
    points = {{l, b - 1}, {l, b + 2 - h}, {l + 2, b - h}};
  }
  const Integer r = l + w - 1;
  if (positions.Contains(spRight)) {
    if (cutCorner)
      points.insert(points.end(), {{r - 6, b - h}, {r, b + 6 - h}, {r, b - 1}});
    else
      points.insert(points.end(), {{r - h + 1, b - h}, {r, b - 1}});
  } else if (cutCorner && !slants->GetPositions().Empty()) {
    points.insert(points.end(), {{r, b - h}, {r, b - 1}});
  } else {
    points.insert(points.end(), {{r - 2, b - h}, {r, b + 2 - h}, {r, b - 1}});
  }
  return points;
}

TcxRegion* TcxPCSlantedPainter::GetTabRegion(Integer visibleIndex, Boolean drawing) {
  // Row by row in the coordinates of a top tab: the pixels between the outline's two ends,
  // outline included, turned to the tab's side.
  const TRect rect = GetTab(visibleIndex)->GetFullRect();
  const Integer side = TabSide(visibleIndex);
  const TPoints outline = GetTabOutlinePoints(visibleIndex, rect);
  const Integer h = side >= 2 ? rect.Width() : rect.Height();
  const Integer b = rect.Bottom;
  auto* region = new TcxRegion;
  // The left end runs up to the first point on the top edge, the right end from the last one.
  auto xAt = [&](Integer y, Boolean leftEnd) {
    // Walk the polyline's segments of that end and interpolate.
    const std::size_t n = outline.size();
    Integer result = leftEnd ? INT32_MAX : INT32_MIN;
    for (std::size_t i = 0; i + 1 < n; ++i) {
      const TPoint a = outline[i], c = outline[i + 1];
      if (a.Y == c.Y) {
        if (y == a.Y) result = leftEnd ? std::min({result, a.X, c.X}) : std::max({result, a.X, c.X});
        continue;
      }
      const Integer y0 = std::min(a.Y, c.Y), y1 = std::max(a.Y, c.Y);
      if (y < y0 || y > y1) continue;
      const Integer x = a.X + Integer(Int64(c.X - a.X) * (y - a.Y) / (c.Y - a.Y));
      result = leftEnd ? std::min(result, x) : std::max(result, x);
    }
    return result;
  };
  for (Integer y = b - h; y < b; ++y) {
    Integer x0 = xAt(y, true), x1 = xAt(y, false);
    if (x0 > x1 || x0 == INT32_MAX || x1 == INT32_MIN) continue;
    if (drawing) {
      // The inside only: the outline drawn before stays.
      if (y == b - h) continue;
      ++x0;
      --x1;
      if (x0 > x1) continue;
    }
    TPoint corners[2] = {{x0, y}, {x1, y}};
    TransformPoints(rect, corners, 2, side);
    const TRect span{std::min(corners[0].X, corners[1].X), std::min(corners[0].Y, corners[1].Y),
                     std::max(corners[0].X, corners[1].X) + 1, std::max(corners[0].Y, corners[1].Y) + 1};
    region->CombineWith(new TcxRegion(span), roAdd);
  }
  return region;
}

TcxRegion* TcxPCSlantedPainter::GetTabClipRegion(Integer visibleIndex) {
  TcxRegion* region = GetTabRegion(visibleIndex, false);
  region->CombineWith(new TcxRegion(GetTab(visibleIndex)->GetVisibleRect()), roIntersect);
  if (GetTab(visibleIndex)->IsMainTab()) region->CombineWith(new TcxRegion(GetPageJointRect(visibleIndex)), roAdd);
  return region;
}

Boolean TcxPCSlantedPainter::IsPointOverTab(Integer visibleIndex, Integer x, Integer y) {
  RegionPtr region(GetTabRegion(visibleIndex, false));
  if (!region->PtInRegion(x, y)) return false;
  TcxCustomTabControl* c = GetTabControl();
  const Integer next = visibleIndex + 1;
  if (next < c->GetVisibleTabList()->GetCount() && next == c->GetMainTabVisibleIndex() && c->IsTabShown(next)) {
    RegionPtr mainRegion(GetTabRegion(next, false));
    if (mainRegion->PtInRegion(x, y)) return false;
  }
  return true;
}

void TcxPCSlantedPainter::DrawTabShapeOutline(Integer visibleIndex, const TRect& rect) {
  const TPoints points = GetTabOutlinePoints(visibleIndex, rect);
  std::vector<TPoint> turned(points.begin(), points.end());
  TransformPoints(rect, turned.data(), Integer(turned.size()), TabSide(visibleIndex));
  DrawPolylineWithEnd(turned.data(), Integer(turned.size()), GetCanvas(), GetBorderColor());
}

void TcxPCSlantedPainter::DrawTabHighlightBand(Integer visibleIndex) {
  TcxTab* tab = GetTab(visibleIndex);
  if (!tab->IsHotTrack() && !tab->IsMainTab()) return;
  const TRect r = tab->GetFullRect();
  const Integer d = GetFrameWidth() + 3;
  TRect band;
  switch (TabSide(visibleIndex)) {
    case 0: band = {r.Left, r.Top, r.Right, r.Top + d}; break;
    case 1: band = {r.Left, r.Bottom - d, r.Right, r.Bottom}; break;
    case 2: band = {r.Left, r.Top, r.Left + d, r.Bottom}; break;
    default: band = {r.Right - d, r.Top, r.Right, r.Bottom}; break;
  }
  FillRect(band, clHighlight);
  GetCanvas()->ExcludeFromClip(band);
}

void TcxPCSlantedPainter::GetTabGradientColors(Integer visibleIndex, TColor& first, TColor& second) {
  const TColor body = GetTabBodyColor(visibleIndex);
  if (GetTab(visibleIndex)->IsHotTrack()) {
    first = BrightenColor(body, 20);
    second = body;
  } else {
    first = BrightenColor(body, 13);
    second = ScaleColorComponents(body, 90);
  }
}

void TcxPCSlantedPainter::DrawTabBackground(TcxCanvas* canvas, const TRect& rect, Boolean reversed,
                                            Boolean horizontal, Integer visibleIndex) {
  TcxTab* tab = GetTab(visibleIndex);
  const Boolean main = tab->IsMainTab();
  const Boolean hotMain = main && tab->IsHotTrack() && GradientForHotMainTab();
  const TColor body = GetTabBodyColor(visibleIndex);
  if ((!main || hotMain) && GetTabControl()->GetOptions().Contains(pcoGradient)) {
    TColor first, second;
    GetTabGradientColors(visibleIndex, first, second);
    if (hotMain && (TabSide(visibleIndex) == 1 || TabSide(visibleIndex) == 3)) std::swap(first, second);
    if (reversed) std::swap(first, second);
    DrawGradientRect(canvas->GetHandle(), rect, first, second, horizontal);
    return;
  }
  canvas->FillRectWithColor(rect, body);
}

void TcxPCSlantedPainter::DrawTabPageJoint(Integer visibleIndex) {
  const TRect joint = GetPageJointRect(visibleIndex);
  if (RectIsEmpty(joint)) return;
  FillRect(joint, GetTabBodyColor(visibleIndex));
  const TcxTabSlantPositions positions = GetSlantPositions();
  const TRect r = GetTab(visibleIndex)->GetFullRect();
  const Integer side = TabSide(visibleIndex);
  const Integer w = side >= 2 ? r.Height() : r.Width();
  TPoint corners[2] = {{r.Left, r.Bottom}, {r.Left + w - 1, r.Bottom}};
  TransformPoints(r, corners, 2, side);
  if (!positions.Contains(spLeft)) GetCanvas()->SetPixelColor(corners[0].X, corners[0].Y, GetBorderColor());
  if (!positions.Contains(spRight)) GetCanvas()->SetPixelColor(corners[1].X, corners[1].Y, GetBorderColor());
}

void TcxPCSlantedPainter::DrawTab(TcxTab* tab, Integer visibleIndex) {
  const TRect full = tab->GetFullRect();
  TcxCanvas* canvas = GetCanvas();
  SaveClip();
  DrawTabShapeOutline(visibleIndex, full);
  canvas->SetClipRegion(GetTabRegion(visibleIndex, true), roIntersect);
  DrawTabHighlightBand(visibleIndex);
  const Integer side = TabSide(visibleIndex);
  DrawTabBackground(canvas, full, false, side >= 2, visibleIndex);
  RestoreClip();
  if (tab->IsMainTab()) DrawTabPageJoint(visibleIndex);
  const TRect text = FTabImageAndTextData.TextRect;
  if (!RectIsEmpty(text)) {
    const Boolean vertical = GetCaptionOrientation() != 0;
    DrawFocusRect(visibleIndex, GetInflatedRect(text, vertical ? 2 : 3, vertical ? 3 : 2));
  }
}

void TcxPCSlantedPainter::FillTabBitmapBackground(TcxBitmap* bitmap, const TRect& rect, Integer visibleIndex) {
  if (visibleIndex < 0) return;
  const TRect full = GetTab(visibleIndex)->GetFullRect();
  const Integer side = TabSide(visibleIndex);
  TRect body = GetOffsetRect(full, -rect.Left, -rect.Top);
  if (GetCaptionOrientation() != 0 && rect.Width() != bitmap->GetWidth()) body = {0, 0, bitmap->GetWidth(), bitmap->GetHeight()};
  DrawTabBackground(bitmap->GetCanvas(), body, GetCaptionOrientation() != 0, side >= 2 && GetCaptionOrientation() == 0,
                    visibleIndex);
}

void TcxPCSlantedPainter::PaintTabs() {
  TcxCustomTabControl* c = GetTabControl();
  TcxCanvas* canvas = GetCanvas();
  const Integer main = c->GetMainTabVisibleIndex();
  if (main != -1 && c->IsTabShown(main)) PaintTab(main);
  const Integer n = c->GetRowCount(), p = c->GetTopOrLeftPartRowCount();
  std::vector<Integer> order;
  for (Integer row = p - 1; row >= 0; --row) order.push_back(row);
  for (Integer row = p; row < n; ++row) order.push_back(row);
  const Boolean horizontal = c->IsHorizontalStrip();
  for (Integer row : order) {
    Integer across = -1, thickness = 0;
    for (Integer i = 0; i < c->GetVisibleTabList()->GetCount(); ++i) {
      TcxTab* tab = GetTab(i);
      if (tab->GetVisibleRow() != row || !c->IsTabShown(i)) continue;
      if (across == -1) {
        const TRect r = tab->GetNormalRect();
        across = horizontal ? r.Top : r.Left;
        thickness = horizontal ? r.Height() : r.Width();
      }
      if (i != main) PaintTab(i);
    }
    if (across == -1) continue;
    // The row's base line on the page side.
    const Boolean nearPart = row < p;
    const Integer lineAt = nearPart ? across + thickness : across - 1;
    const TRect line = horizontal ? TRect{0, lineAt, c->GetWidth(), lineAt + 1}
                                  : TRect{lineAt, 0, lineAt + 1, c->GetHeight()};
    FillRect(line, GetBorderColor());
    canvas->ExcludeFromClip(line);
  }
}

Integer TcxPCSlantedPainter::GetButtonsDistance(TcxPCNavigatorButton button, TcxPCNavigatorButton nextButton) {
  return button == nbClose || nextButton == nbClose ? 3 : 1;
}

Integer TcxPCSlantedPainter::GetButtonsRegionHOffset() { return GetTabControl()->GetIsTabsContainer() ? 2 : 1; }
Integer TcxPCSlantedPainter::GetButtonsRegionWOffset() { return GetTabControl()->GetIsTabsContainer() ? 2 : 0; }

Integer TcxPCSlantedPainter::GetButtonWidth(TcxPCNavigatorButton button) {
  switch (button) {
    case nbGoDialog: return 13;
    case nbClose: return 16;
    default: return 17;
  }
}

TColor TcxPCSlantedPainter::GetButtonColor(TcxPCNavigatorButtonState state) {
  switch (state) {
    case nbsHotTrack: return BlendColors(clBtnFace, clWhite, 35);
    case nbsPressed: return BlendColors(clBtnFace, clBlack, 90);
    default: return clBtnFace;
  }
}

TColor TcxPCSlantedPainter::GetButtonGlyphColor(TcxPCNavigatorButtonState state) {
  if (state == nbsDisabled || !GetTabControl()->GetEnabled()) return clBtnShadow;
  if (state == nbsPressed) return BlendColors(GetTabControl()->GetColor(), clWhite, 10);
  return clBtnText;
}

TcxPCButtonGlyphInfo TcxPCSlantedPainter::GetButtonGlyphInfo(TcxPCNavigatorButton button) {
  TcxPCButtonGlyphInfo info;
  info.PenColor = info.FillColor = GetButtonGlyphColor(GetTabControl()->GetNavigatorButtonState(button));
  info.Enabled = true;
  info.AlternativeCloseGlyph = button == nbClose;
  return info;
}

void TcxPCSlantedPainter::DrawButtonFrame(TRect& rect, TcxPCNavigatorButtonState state) {
  const TColor color = state == nbsHotTrack || state == nbsPressed ? clBlack : clBtnShadow;
  DrawRectLines(GetCanvas(), rect, {0, 1, 2, 3}, {color, color, color, color}, false);
}

void TcxPCSlantedPainter::PaintPageClientArea() {
  TRect r = GetPageClientRect();
  if (GetTabControl()->GetIsTabsContainer()) r = ExtendRectByRotatedMargins(r, TRect{0, -2, 0, 0}, GetTabControl()->GetTabPosition());
  FillRect(r, GetClientColor());
}

void TcxPCSlantedPainter::PaintFrame() {
  TRect r = GetInflatedRect(GetPageClientRect(), 1, 1);
  if (GetTabControl()->GetIsTabsContainer()) r = ExtendRectByRotatedMargins(r, TRect{0, -2, 0, 0}, GetTabControl()->GetTabPosition());
  const TColor color = GetBorderColor();
  DrawRectLines(GetCanvas(), r, {0, 1, 2, 3}, {color, color, color, color}, false);
}

// ==== OneNote ==================================================================================

void TcxPCOneNotePainter::GetImageWithTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  offsets[0] = 0;
  offsets[1] = 3;
  offsets[2] = 0;
  offsets[3] = 1;
}

void TcxPCOneNotePainter::GetTextContentOffsets(Integer visibleIndex, Integer (&offsets)[4]) {
  offsets[0] = 0;
  offsets[1] = 4;
  offsets[2] = 0;
  offsets[3] = 1;
}

void TcxPCOneNotePainter::GetTabTextWOffset(Integer visibleIndex, Integer& offset1, Integer& offset2) {
  offset1 = FCutValue;
  offset2 = 4;
  if (GetCaptionOrientation() == 2) std::swap(offset1, offset2);
}

void TcxPCOneNotePainter::GetTabsNormalDistance(Integer& along, Integer& across) {
  along = 5 - FCutValue;
  across = -3;
}

TcxPCMargins TcxPCOneNotePainter::GetTabsAreaExtension() {
  return IsVerticalStrip() ? TRect{0, 4, 0, 4} : TRect{4, 0, 4, 0};
}

TcxPCMargins TcxPCOneNotePainter::GetTabsContainerOffsets() {
  return GetTabControl()->GetIsTabsContainer() ? TRect{0, 0, 0, 2} : TRect();
}

Integer TcxPCOneNotePainter::GetButtonsRegionHOffset() { return GetTabControl()->GetIsTabsContainer() ? 2 : 0; }

TcxRegion* TcxPCOneNotePainter::GetTabRegion(Integer visibleIndex, Boolean drawing) {
  const Integer side = TabSide(visibleIndex);
  TRect r = GetTab(visibleIndex)->GetFullRect();
  std::vector<TPoint> points;
  if (drawing) {
    switch (side) {
      case 0: ++r.Top; ++r.Bottom; break;
      case 1: ++r.Left; break;
      case 2: ++r.Top; ++r.Left; ++r.Right; break;
      default: ++r.Top; break;
    }
    const Integer l = r.Left, b = r.Bottom;
    const Integer w = side >= 2 ? r.Height() : r.Width(), h = side >= 2 ? r.Width() : r.Height();
    Integer a = -2, bb = 3, c = 2;
    if (side == 1) {
      a = -3;
      bb = 4;
    } else if (side == 3) {
      a = -1;
      c = 3;
    }
    points = {{l + 2, b - 1}, {l + h + a, b - h + bb}, {l + h + c, b - h + 1}, {l + w - 2, b - h + 1}, {l + w - 2, b - 1}};
  } else {
    r = GetInflatedRect(r, 1, 1);
    const Integer l = r.Left, b = r.Bottom;
    const Integer w = side >= 2 ? r.Height() : r.Width(), h = side >= 2 ? r.Width() : r.Height();
    if (side == 3)
      points = {{l - 1, b - 1}, {l - 1, b - 3}, {l + 2, b - 3}, {l + h - 2, b - h + 2},
                {l + h + 2, b - h}, {l + w - 4, b - h}, {l + w - 1, b - h + 3}, {l + w - 1, b - 1}};
    else if (side == 2)
      points = {{l, b - 2}, {l + 1, b - 2}, {l + h - 3, b - h + 3}, {l + h + 2, b - h},
                {l + w - 5, b - h}, {l + w - 1, b - h + 4}, {l + w - 1, b - 1}};
    else
      points = {{l, b - 2}, {l + 1, b - 2}, {l + h - 3, b - h + 3}, {l + h + 2, b - h},
                {l + w - 4, b - h}, {l + w - 1, b - h + 3}, {l + w - 1, b - 1}};
  }
  TransformPoints(r, points.data(), Integer(points.size()), side);
  std::vector<POINT> poly(points.begin(), points.end());
  auto* region = new TcxRegion(CreatePolygonRgn(poly.data(), int(poly.size()), WINDING));
  return region;
}

TColor TcxPCOneNotePainter::OutsideColor(Integer x, Integer y) {
  TcxCustomTabControl* c = GetTabControl();
  const Integer v = c->GetTabVisibleIndexAt(x, y);
  return v == -1 ? c->GetColor() : GetTabBodyColor(v);
}

void TcxPCOneNotePainter::DrawTabShapeOutline(Integer visibleIndex, const TRect& rect) {
  TcxTab* tab = GetTab(visibleIndex);
  const TColor body = GetTabBodyColor(visibleIndex);
  TColor first, second, third;
  if (tab->IsHotTrack()) {
    first = second = third = OneNoteSchemeColor(4);
  } else if (tab->IsMainTab()) {
    first = OneNoteSchemeColor(1);
    second = BlendColors(clWhite, body, 60);
    third = BlendColors(second, body, 70);
  } else {
    first = OneNoteSchemeColor(2);
    second = BlendColors(BlendColors(clWhite, OneNoteSchemeColor(6), 50), body, 50);
    third = BlendColors(OneNoteSchemeColor(6), body, 50);
  }
  const Integer side = TabSide(visibleIndex);
  const Integer l = rect.Left, b = rect.Bottom;
  const Integer w = side >= 2 ? rect.Height() : rect.Width(), h = side >= 2 ? rect.Width() : rect.Height();
  auto outside = [&](Integer x, Integer y) {
    TPoint p{x, y};
    TransformPoints(rect, &p, 1, side);
    return OutsideColor(p.X, p.Y);
  };
  DrawTransformedPolyline(rect, {{l, b - 1}}, BlendColors(first, outside(l - 1, b - 1), 25), side);
  DrawTransformedPolyline(rect, {{l + 1, b - 1}, {l + 1, b - 1}, {l + h - 3, b - h + 3}, {l + h + 2, b - h},
                                 {l + w - 3, b - h}, {l + w - 1, b - h + 2}, {l + w - 1, b - 1}},
                          first, side);
  DrawTransformedPolyline(rect, {{l + h + 2, b - h}}, BlendColors(first, outside(l + h + 1, b - h), 60), side);
  DrawTransformedPolyline(rect, {{l + 2, b - 1}, {l + h - 3, b - h + 4}, {l + h + 2, b - h + 1}, {l + w - 4, b - h + 1}},
                          second, side);
  DrawTransformedPolyline(rect, {{l + w - 3, b - h + 1}, {l + w - 2, b - h + 2}, {l + w - 2, b - 1}}, third, side);
}

void TcxPCOneNotePainter::DrawTabPageJoint(Integer visibleIndex) {
  const TRect r = GetTab(visibleIndex)->GetFullRect();
  const Integer side = TabSide(visibleIndex);
  const Integer w = side >= 2 ? r.Height() : r.Width();
  const TColor line = GetTab(visibleIndex)->IsMainTab() ? GetTabBodyColor(visibleIndex) : GetBorderColor();
  DrawTransformedPolyline(r, {{r.Left, r.Bottom}}, BlendColors(GetBorderColor(), line, 50), side);
  DrawTransformedPolyline(r, {{r.Left + 1, r.Bottom}, {r.Left + w - 1, r.Bottom}}, line, side);
}
