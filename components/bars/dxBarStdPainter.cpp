// The standard and enhanced painters: the classic three-dimensional look of one-pixel raised and
// sunken edges on button faces, double-line grips (one line in the enhanced look), and menus in
// which rarely used items sit in a framed, darker group. Also the base answers for the toolbar
// mark's chevrons and the shadow of disabled dots.

#include <algorithm>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarDrawing.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

void SpFill(HDC dc, const TRect& rect, HBRUSH brush) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FillRect(dc, &r, brush);
}

void SpFrame(HDC dc, const TRect& rect, HBRUSH brush) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FrameRect(dc, &r, brush);
}

void SpEdge(HDC dc, const TRect& rect, UINT edge, UINT flags = BF_RECT) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, edge, flags);
}

TRect SpInset(const TRect& r, Integer d) { return TRect{r.Left + d, r.Top + d, r.Right - d, r.Bottom - d}; }

// A pen of a colour selected for a few strokes.
class TSpPen {
 public:
  TSpPen(HDC dc, COLORREF color) : FDC(dc), FPen(CreatePen(PS_SOLID, 1, color)), FOld(SelectObject(dc, FPen)) {}
  ~TSpPen() {
    SelectObject(FDC, FOld);
    DeleteObject(FPen);
  }
  TSpPen(const TSpPen&) = delete;
  TSpPen& operator=(const TSpPen&) = delete;
  void Line(Integer x0, Integer y0, Integer x1, Integer y1) {
    MoveToEx(FDC, x0, y0, nullptr);
    LineTo(FDC, x1, y1);
  }
  void Polyline(const TPoint* points, Integer count) {
    MoveToEx(FDC, points[0].X, points[0].Y, nullptr);
    for (Integer i = 1; i < count; ++i) LineTo(FDC, points[i].X, points[i].Y);
  }

 private:
  HDC FDC;
  HPEN FPen;
  HGDIOBJ FOld;
};

HBRUSH SpParentBrush(TdxBarPainter* painter, TdxBarItemControl* control) {
  TCustomdxBarControl* parent = control ? control->GetParent() : nullptr;
  return parent ? parent->GetBackgroundBrush() : painter->GetToolbarBrush();
}

Boolean SpNonRecent(TdxBarItemControl* control) {
  auto* subMenu = control ? dynamic_cast<TdxBarSubMenuControl*>(control->GetParent()) : nullptr;
  return subMenu && subMenu->IsNonRecent(control);
}

}  // namespace

// ==== Base answers the styles build on ============================================================

void TdxBarPainter::DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state,
                                       const TRect& rect) {}

void TdxBarPainter::DrawMarkChevrons(TdxBarControl* toolbar, HDC dc, Integer a, const TRect& rect) {
  TSpPen pen(dc, GetSysColor(COLOR_BTNTEXT));
  if (!toolbar->IsVertical()) {
    const Integer y = IsCompactHeight(toolbar, rect) ? 3 : 4;
    for (Integer i = 0; i < 2; ++i) {
      const TPoint points[] = {{a + i, y}, {a + 2 + i, y + 2}, {a - 1 + i, y + 5}};
      pen.Polyline(points, 3);
    }
  } else {
    const Integer w = toolbar->GetClientWidth();
    for (Integer i = 0; i < 2; ++i) {
      const TPoint points[] = {{w - 8, a + i}, {w - 6, a + 2 + i}, {w - 3, a - 1 + i}};
      pen.Polyline(points, 3);
    }
  }
}

void TdxBarPainter::FillShadowRect(HDC dc, const TRect& rect) { SpFill(dc, rect, GetSysColorBrush(COLOR_BTNSHADOW)); }

void TdxBarPainter::DrawMDIChildButton(TdxBarControl* toolbar, Integer kind, const TRect& rect, HDC dc,
                                       Integer state) {}

HBRUSH TdxBarPainter::GetEditBackgroundBrush(TdxBarButtonLikeControlDrawParams* params, Boolean checkMark) {
  return params && params->Owner ? params->Owner->GetBkBrush() : GetToolbarBrush();
}

// ==== Standard painter ============================================================================

namespace {

// Whether a selected item looks hot: always in a look that hot-tracks; otherwise only when it was
// reached by keyboard or its window is in menu mode, not merely under the mouse.
Boolean SpLooksHot(TdxBarPainter* painter, TdxBarItemControlDrawParams* params) {
  if (!params->Selected || !params->Enabled) return false;
  if (painter->SupportsHotTracking() || params->KeyboardSelected) return true;
  TCustomdxBarControl* parent = params->Owner ? params->Owner->GetParent() : nullptr;
  return parent && parent->IsActive();
}

}  // namespace

void TdxBarStandardPainter::DrawGlyphFrame(TdxBarButtonLikeControlDrawParams* params, HDC dc, const TRect& rect) {
  const Boolean hot = SpLooksHot(this, params);
  // A split button's glyph stays raised while only its drop-down part is open.
  const Boolean split = params->IsButton && params->HasDropDown;
  const Boolean sunken = params->Down || params->Sunken || (params->MenuOpen && !split);
  if (!sunken && !hot) return;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void TdxBarStandardPainter::DrawButtonFrame(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH brush) {
  inherited::DrawButtonFrame(params, rect, brush);
  if (SpLooksHot(this, params)) {
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    DrawEdge(params->Canvas->GetHandle(), &r, params->MenuOpen ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else if (params->HostKind == hkMenu) {
    // The etched line between a menu button and its drop-down part.
    SpEdge(params->Canvas->GetHandle(), TRect{rect.Left - 1, rect.Top, rect.Left + 1, rect.Bottom}, EDGE_ETCHED,
           BF_LEFT | BF_RIGHT);
  }
}

namespace {

void SpDrawGripBar(HDC dc, const TRect& grip, Boolean horizontal) {
  RECT r{grip.Left, grip.Top, grip.Right, grip.Bottom};
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  if (horizontal)
    SetPixel(dc, grip.Left, grip.Bottom - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  else
    SetPixel(dc, grip.Right - 1, grip.Top, GetSysColor(COLOR_BTNHIGHLIGHT));
  RECT inside{grip.Left + 1, grip.Top + 1, grip.Right - 1, grip.Bottom - 1};
  FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNFACE));
  ExcludeClipRect(dc, grip.Left, grip.Top, grip.Right, grip.Bottom);
}

}  // namespace

void TdxBarStandardPainter::DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  rect = TRect{rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2};
  if (!toolbar->CanMove()) return;
  const Boolean horizontal = !toolbar->IsVertical();
  TRect grip = horizontal ? TRect{rect.Left + GetGripIndent(), rect.Top, rect.Left + GetGripIndent() + GetGripWidth(), rect.Bottom}
                          : TRect{rect.Left, rect.Top + GetGripIndent(), rect.Right, rect.Top + GetGripIndent() + GetGripWidth()};
  SpDrawGripBar(dc, grip, horizontal);
  const Integer w = GetGripWidth();
  grip = horizontal ? TRect{grip.Left + w, grip.Top, grip.Right + w, grip.Bottom}
                    : TRect{grip.Left, grip.Top + w, grip.Right, grip.Bottom + w};
  SpDrawGripBar(dc, grip, horizontal);
}

void TdxBarEnhancedPainter::DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  rect = TRect{rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2};
  if (!toolbar->CanMove()) return;
  const Boolean horizontal = !toolbar->IsVertical();
  const TRect grip = horizontal ? TRect{rect.Left + GetGripIndent(), rect.Top + 1, rect.Left + GetGripIndent() + GetGripWidth(), rect.Bottom - 1}
                                : TRect{rect.Left + 1, rect.Top + GetGripIndent(), rect.Right - 1, rect.Top + GetGripIndent() + GetGripWidth()};
  RECT g{grip.Left, grip.Top, grip.Right, grip.Bottom};
  DrawEdge(dc, &g, BDR_RAISEDINNER, BF_RECT);
  RECT inside{grip.Left + 1, grip.Top + 1, grip.Right - 1, grip.Bottom - 1};
  FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNFACE));
  ExcludeClipRect(dc, grip.Left, grip.Top, grip.Right, grip.Bottom);
}

void TdxBarStandardPainter::DrawFloatingBorder(TdxBarControl* toolbar, HDC dc, const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  RECT inner{rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2};
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  for (Integer i = 0; i < 2 && inner.Right > inner.Left && inner.Bottom > inner.Top; ++i) {
    FrameRect(dc, &inner, face);
    inner = RECT{inner.Left + 1, inner.Top + 1, inner.Right - 1, inner.Bottom - 1};
  }
}

void TdxBarStandardPainter::DrawCloseButton(TdxBarControl* toolbar, HDC dc, const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  HBRUSH caption = CreateSolidBrush(COLORREF(GetFloatingCaptionColor(toolbar, true)));
  FrameRect(dc, &r, caption);
  DeleteObject(caption);
  RECT inside{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  DrawFrameControl(dc, &inside, DFC_CAPTION, DFCS_CAPTIONCLOSE | (toolbar->GetCloseButtonState() == 2 ? DFCS_PUSHED : 0));
}


void TdxBarStandardPainter::GetMenuContentOffsets(TCustomdxBarControl* subMenu, TRect& rect) {
  TdxBarPainter::GetMenuContentOffsets(subMenu, rect);
  auto* menu = dynamic_cast<TdxBarSubMenuControl*>(subMenu);
  if (menu && menu->IsDetachCaptionVisible()) rect.Top = 0;
}

void TdxBarStandardPainter::DrawCheckGlyph(TdxBarItemControl* control, HDC dc, Integer s, Integer y, Integer x) {
  const Boolean enabled = !control || control->IsEnabled();
  const Integer o = enabled ? 0 : 1;
  Integer k = 0;
  auto strokes = [&](COLORREF color, Integer count) {
    TSpPen pen(dc, color);
    for (Integer i = 0; i < count; ++i, ++k) {
      const TPoint points[] = {{x + s, y + 2 * s + k + o}, {x + 3 * s, y + 4 * s + k + o}, {x + 8 * s, y - s + k + o}};
      pen.Polyline(points, 3);
    }
  };
  if (enabled) {
    const Boolean black = IsBlackButtonFace();
    const COLORREF dark = black ? RGB(255, 255, 255) : RGB(0, 0, 0);
    const COLORREF light = black ? RGB(0, 0, 0) : RGB(255, 255, 255);
    strokes(RGB(0xC0, 0xC0, 0xC0), s);
    strokes(dark, 2 * s);
    strokes(light, s);
    TSpPen pen(dc, light);
    pen.Line(x + s - 1, y + 2 * s + 1, x + s - 1, y + 6 * s - 1);
    pen.Line(x + 8 * s, y - s + 2, x + 8 * s, y + 3 * s);
    return;
  }
  strokes(GetSysColor(COLOR_BTNSHADOW), 2 * s);
  TSpPen pen(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  for (Integer c = 0; c < s; ++c) {
    pen.Line(x + 3 * s + 1, y + 7 * s - c - 1, x + 9 * s, y + s - c);
    pen.Line(x + 4 * s, y + 7 * s - c, x + 9 * s, y + 2 * s - c);
  }
}

void TdxBarStandardPainter::DrawMarkChevrons(TdxBarControl* toolbar, HDC dc, Integer a, const TRect& rect) {
  if (!toolbar->IsVertical()) {
    {
      TSpPen pen(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      pen.Line(a - 1, 1, a + 2, 4);
      pen.Line(a + 3, 4, a - 1, 8);
    }
    TSpPen pen(dc, GetSysColor(COLOR_BTNSHADOW));
    const TPoint points[] = {{a, 1}, {a + 2, 3}, {a + 2, 4}, {a - 1, 7}};
    pen.Polyline(points, 4);
    return;
  }
  const Integer w = toolbar->GetClientWidth();
  {
    TSpPen pen(dc, GetSysColor(COLOR_BTNSHADOW));
    pen.Line(w - 8, a, w - 4, a + 4);
    pen.Line(w - 4, a + 1, w - 2, a - 1);
  }
  TSpPen pen(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  const TPoint points[] = {{w - 7, a}, {w - 5, a + 2}, {w - 4, a + 2}, {w - 1, a - 1}};
  pen.Polyline(points, 4);
}

void TdxBarStandardPainter::DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state,
                                               const TRect& rect) {
  toolbar->DrawBackground(dc, rect, brush, clNone);
}

void TdxBarStandardPainter::CalcMarkRect(TdxBarControl* toolbar, TRect& rect) {
  if (toolbar->GetDockingStyle() != dsNone) {
    TdxBarPainter::CalcMarkRect(toolbar, rect);
    return;
  }
  // Floating: the start of the caption, in client coordinates.
  TRect borders;
  toolbar->GetBorders(borders);
  const TRect caption = toolbar->GetCaptionRect();
  rect = TRect{caption.Left - borders.Left, caption.Top - borders.Top, caption.Right - borders.Left,
               caption.Bottom - borders.Top};
  rect.Right = std::min(rect.Right, rect.Left + 13);
}

void TdxBarStandardPainter::FillShadowRect(HDC dc, const TRect& rect) {
  SpFill(dc, TRect{rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1}, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  TdxBarPainter::FillShadowRect(dc, rect);
}

void TdxBarStandardPainter::DrawMDIChildButton(TdxBarControl* toolbar, Integer kind, const TRect& rect, HDC dc,
                                               Integer state) {
  static const UINT kinds[] = {DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE, DFCS_CAPTIONCLOSE};
  UINT flags = kinds[std::clamp(kind, 0, 2)];
  if (state == 1) flags |= DFCS_INACTIVE;
  if (state == 4) flags |= DFCS_PUSHED;
  // The flat close button of a maximized child without system menu needs a maximized MDI child,
  // which this platform has none of: the platform's caption button is drawn.
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawFrameControl(dc, &r, DFC_CAPTION, flags);
}

HBRUSH TdxBarStandardPainter::GetEditBackgroundBrush(TdxBarButtonLikeControlDrawParams* params, Boolean checkMark) {
  const Boolean hot = params->Selected;
  if (params->Down && params->Enabled) return hot ? GetFaceBrush() : GetCheckedBrush();
  if (hot && params->HostKind == hkMenu && checkMark && !params->Down) return GetSelectionBrush();
  return params->Owner ? params->Owner->GetBkBrush() : GetToolbarBrush();
}

void TdxBarPainter::FillClassicMenuItem(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH background,
                                        Boolean nonRecent, Boolean fillLeftOfIcon) {
  TdxBarItemControl* control = params->Owner;
  if (!control || !params->Canvas) return;
  HDC dc = params->Canvas->GetHandle();
  TCustomdxBarControl* parent = control->GetParent();
  TRect icon;
  CalcMenuIconRect(rect, parent ? GetIconAreaSize(parent) : rect.Height(), icon);
  const Boolean selected = params->Selected && params->Enabled;
  const Boolean useBrush = selected || nonRecent;
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  const Boolean down = button && button->Down;
  const Boolean glyph = (params->Content & ceIcon) != 0 && control->IsGlyphShown();
  HBRUSH column = selected && !down && !glyph ? GetSelectionBrush() : background;
  // The icon cell: behind a glyph the brush of its state (the checked brush behind a down
  // glyph); without glyph it is part of the column.
  if (glyph)
    FillItemBackground(control, dc, useBrush || down, button ? GetEditBackgroundBrush(button, false) : background, icon);
  else
    FillItemBackground(control, dc, useBrush, column, icon);
  FillItemBackground(control, dc, useBrush, column, TRect{icon.Right, rect.Top, icon.Right + 1, rect.Bottom});
  FillItemBackground(control, dc, useBrush, column, TRect{icon.Left, rect.Top, icon.Right, icon.Top});
  FillItemBackground(control, dc, useBrush, column, TRect{icon.Left, icon.Bottom, icon.Right, rect.Bottom});
  if (fillLeftOfIcon && icon.Left > rect.Left)
    FillItemBackground(control, dc, useBrush, column, TRect{rect.Left, rect.Top, icon.Left, rect.Bottom});
  FillItemBackground(control, dc, useBrush, selected ? GetSelectionBrush() : background,
                     TRect{icon.Right + 1, rect.Top, rect.Right, rect.Bottom});
}

void TdxBarStandardPainter::DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& rect) {
  TdxBarItemControl* control = params->Owner;
  if (!control) return;
  FillClassicMenuItem(params, rect, control->GetBkBrush(), SpNonRecent(control), true);
}

void TdxBarStandardPainter::DrawMenuItemFrame(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control,
                                              Integer visibleIndex, const TRect& rect, HDC dc) {
  if (!subMenu || !control) return;
  const Boolean nonRecent = subMenu->IsNonRecent(control);
  const Integer offset = OffsetsRecentGroups() ? 1 : 0;
  HBRUSH background = subMenu->GetBackgroundBrush();
  if (subMenu->StartsRecentGroup(control)) {
    Integer top = rect.Top;
    TdxBarItemLink* link = control->GetItemLink();
    if (!nonRecent && link && link->GetBeginGroup()) top -= subMenu->GetBeginGroupSize();
    SpFill(dc, TRect{rect.Left - offset, top - 1, rect.Right + 1, top},
           GetSysColorBrush(nonRecent ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
  }
  if (!nonRecent) return;
  if (visibleIndex == 0 && !subMenu->IsDetachCaptionVisible()) {
    SpFill(dc, TRect{rect.Left - offset, rect.Top - 1, rect.Right + 2, rect.Top}, background);
    SetPixel(dc, rect.Right + 1, rect.Top - 2, GetSysColor(COLOR_BTNHIGHLIGHT));
  }
  SpFill(dc, TRect{rect.Left - offset, rect.Top, rect.Left, rect.Bottom}, background);
  SpFill(dc, TRect{rect.Right, rect.Top, rect.Right + 2, rect.Bottom}, background);
  // The last visible item: the area below it down to the bottom of the client area.
  Boolean last = true;
  for (Integer i = subMenu->GetViewInfoCount() - 1; i >= 0; --i) {
    TdxBarItemControl* other = subMenu->GetViewInfoControl(i);
    const TRect r = other->GetItemRect();
    if (r.Right <= r.Left || r.Bottom <= r.Top) continue;
    last = other == control;
    break;
  }
  if (last) {
    const Integer height = subMenu->GetClientHeight();
    SpFill(dc, TRect{rect.Left - offset, rect.Bottom, rect.Right + 2, height}, background);
    if (offset != 0) SetPixel(dc, rect.Left - 2, height - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  }
}

void TdxBarStandardPainter::DrawEditButtonFrame(TdxBarItemControlDrawParams* params, HDC dc, Boolean pressed,
                                                Boolean hot, Boolean enabled, const TRect& rect) {
  HBRUSH brush = SpParentBrush(this, params->Owner);
  if (hot)
    SpEdge(dc, rect, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
  else
    SpFrame(dc, rect, brush);
  SpFill(dc, SpInset(rect, 1), brush);
}

void TdxBarStandardPainter::DrawComboButton(TdxBarItemControlDrawParams* params, TRect& rect, HBRUSH brush) {
  HDC dc = params->Canvas->GetHandle();
  TdxBarItemControl* control = params->Owner;
  const TRect column{rect.Left - 1, rect.Top, rect.Left, rect.Bottom};
  if (params->Selected && params->Enabled) {
    SpEdge(dc, rect, params->MenuOpen ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
    SpFill(dc, column, SpParentBrush(this, control));
  } else {
    HBRUSH frame = params->Enabled && control ? control->GetBkBrush() : SpParentBrush(this, control);
    SpFrame(dc, rect, frame);
    SpFill(dc, column, frame);
  }
  SpFill(dc, SpInset(rect, 1), brush);
  if (params->MenuOpen) rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1};
}

void TdxBarStandardPainter::DrawDropDownListBorder(HDC dc, TColor color, const TRect& rect) {
  SpEdge(dc, rect, EDGE_RAISED);
}

// ==== Enhanced painter ============================================================================

void TdxBarEnhancedPainter::DrawMarkChevrons(TdxBarControl* toolbar, HDC dc, Integer a, const TRect& rect) {
  TdxBarPainter::DrawMarkChevrons(toolbar, dc, a, rect);
}

void TdxBarEnhancedPainter::DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state,
                                               const TRect& rect) {
  if (state == 1)
    SpEdge(dc, rect, BDR_RAISEDINNER);
  else if (state == 2)
    SpEdge(dc, rect, BDR_SUNKENOUTER);
  else
    SpFrame(dc, rect, brush);
  const TRect inner = SpInset(rect, 1);
  if (inner.Right > inner.Left && inner.Bottom > inner.Top) toolbar->DrawBackground(dc, inner, brush, clNone);
}
