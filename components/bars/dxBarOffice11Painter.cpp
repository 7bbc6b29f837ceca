// The Office 2003 bar painter: toolbars shaded across with a two-stage gradient and rounded at
// their corners over the dock's own left-to-right shading, hot and pressed items filled with the
// state gradients inside the selection frame, dotted grips, two-line separators and the floating
// frame of three one-pixel frames. Every colour is the foundation's Office 2003 palette.

#include <algorithm>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarDrawing.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

TRect Shrunk(const TRect& r, Integer d) { return TRect{r.Left + d, r.Top + d, r.Right - d, r.Bottom - d}; }

HBRUSH PaletteBrush(HBRUSH brush, TColor color) {
  // The palette's brushes exist while the resources are acquired (every manager holds them);
  // a system brush stands in otherwise.
  return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

void FrameWithColor(HDC dc, const TRect& rect, TColor color) { FrameDCRectWithColor(dc, rect, color); }

// The colour FillTwoStageGradient paints at `position` (0-based) of a run `length` long.
TColor TwoStageColorAt(Integer length, Integer position, TColor color1, TColor color2) {
  if (length <= 0) return color1;
  position = std::clamp(position, 0, length - 1);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, length);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  FillTwoStageGradient(dc, TRect{0, 0, 1, length}, color1, color2, false);
  const TColor color = TColor(GetPixel(dc, 0, position));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return color;
}

TColor Mix(TColor a, TColor b) { return BlendColors(a, b, 50); }

void Pixel(HDC dc, Integer x, Integer y, TColor color) { SetPixel(dc, x, y, COLORREF(ColorToRGB(color))); }

// The two colours of the dock gradient of a site: left sites take the first on both ends, right
// sites the second.
void DockColors(TdxDockControl* dock, TColor& c1, TColor& c2) {
  c1 = Office11DockGradientColor1;
  c2 = Office11DockGradientColor2;
  if (!dock) return;
  if (dock->GetDockingStyle() == dsLeft) c2 = c1;
  if (dock->GetDockingStyle() == dsRight) c1 = c2;
}

}  // namespace

Boolean TdxBarOffice11Painter::ShowsPressedState() { return !IsOffice11SchemeThemed(); }

TColor TdxBarOffice11Painter::GetEditDisabledTextColor() { return Office11DisabledTextColor; }
TColor TdxBarOffice11Painter::GetCalendarHeaderColor() { return Office11CalendarHeaderColor; }
HBRUSH TdxBarOffice11Painter::GetArrowItemBrush() { return PaletteBrush(Office11ArrowItemBrush, Office11ArrowItemColor); }

TColor TdxBarOffice11Painter::GetItemTextColor(TdxBarItemControl* control, Boolean selected, Boolean flat) {
  if (selected && !flat) return IsWhiteButtonFace() ? TColor(clWhite) : Office11SelectedTextColor;
  return Office11ItemTextColor;
}

void TdxBarOffice11Painter::GetDisabledTextColorPair(TdxBarItemControl* control, Boolean selected, TColor& text,
                                                     TColor& shadow, Boolean flat) {
  text = shadow = Office11DisabledTextColor;
}

TColor TdxBarOffice11Painter::GetFloatingCaptionColor(TCustomdxBarControl* barControl, Boolean active) {
  return Office11FloatingCaptionColor;
}
TColor TdxBarOffice11Painter::GetFloatingCaptionTextColor() { return Office11FloatingCaptionTextColor; }

TColor TdxBarOffice11Painter::GetCaptionButtonGlyphColor(TCustomdxBarControl* barControl, Integer state) {
  if (state == 1) return Office11CaptionButtonHotGlyphColor;
  if (state == 2) return Office11CaptionButtonPressedGlyphColor;
  return Office11FloatingCaptionTextColor;
}

HBRUSH TdxBarOffice11Painter::GetToolbarBrush() {
  return PaletteBrush(Office11MenuBackgroundBrush, Office11MenuBackgroundColor);
}
HBRUSH TdxBarOffice11Painter::GetToolbarBrushForBar(TCustomdxBarControl* barControl) {
  auto* toolbar = dynamic_cast<TdxBarControl*>(barControl);
  if (barControl && (barControl->IsMainMenu() || (toolbar && toolbar->GetBar() && toolbar->GetBar()->CanHaveSizeGrip())))
    return GetSysColorBrush(COLOR_BTNFACE);
  return TdxBarFlatPainter::GetToolbarBrushForBar(barControl);
}
HBRUSH TdxBarOffice11Painter::GetQuickControlBrush(TCustomdxBarControl* barControl) {
  return PaletteBrush(Office11MenuBackgroundBrush, Office11MenuBackgroundColor);
}
HBRUSH TdxBarOffice11Painter::GetCheckedBrush() { return PaletteBrush(Office11CheckedBrush, Office11CheckedColor); }
HBRUSH TdxBarOffice11Painter::GetFaceBrush() {
  return PaletteBrush(Office11PressedSelectedBrush, Office11PressedSelectedColor);
}
HBRUSH TdxBarOffice11Painter::GetSelectionBrush() { return PaletteBrush(Office11SelectedBrush, Office11SelectedColor); }
HBRUSH TdxBarOffice11Painter::GetFlatToolbarBrush(TdxBarItemControl* control) {
  TCustomdxBarControl* parent = control ? control->GetParent() : nullptr;
  return parent ? parent->GetBackgroundBrush() : GetToolbarBrush();
}
HBRUSH TdxBarOffice11Painter::GetShadowBrush() { return PaletteBrush(Office11BorderBrush, Office11BorderColor); }
TColor TdxBarOffice11Painter::GetShadowColor() { return Office11SeparatorDarkColor; }

HBRUSH TdxBarOffice11Painter::GetItemBackgroundBrush(TdxBarItemControlDrawParams* params) {
  if (!params->Enabled) return GetSysColorBrush(COLOR_BTNFACE);
  TCustomdxBarControl* parent = params->Owner ? params->Owner->GetParent() : nullptr;
  if (!params->Selected) return parent ? parent->GetBackgroundBrush() : GetToolbarBrush();
  return params->MenuOpen ? GetFaceBrush() : GetSelectionBrush();
}

void TdxBarOffice11Painter::GetDockedBorderMargins(TCustomdxBarControl* barControl, TRect& rect) {
  auto* toolbar = dynamic_cast<TdxBarControl*>(barControl);
  GetDockedBorderSizes(toolbar ? toolbar->GetBar() : nullptr, toolbar ? toolbar->GetDockingStyle() : dsTop, rect);
}

void TdxBarOffice11Painter::GetDockedBorderSizes(TdxBar* bar, TdxBarDockingStyle style, TRect& rect) {
  if (bar && bar->GetBorderStyle() != bbsSingle) {
    TdxBarFlatPainter::GetDockedBorderSizes(bar, style, rect);
    return;
  }
  rect = style == dsLeft || style == dsRight ? TRect{0, 2, 0, 2} : TRect{2, 0, 2, 0};
}

void TdxBarOffice11Painter::DrawSelectionFrame(HDC dc, const TRect& rect) { DrawOffice11SelectionFrame(dc, rect); }

void TdxBarOffice11Painter::DrawOwnerFrame(TCustomdxBarControl* barControl, HDC dc, const TRect& rect) {
  FrameWithColor(dc, rect, Office11BorderColor);
}

// ---- Items

void TdxBarOffice11Painter::DrawGlyphFrame(TdxBarButtonLikeControlDrawParams* params, HDC dc, const TRect& rect) {
  TdxBarItemControl* control = params->Owner;
  TCustomdxBarControl* parent = control->GetParent();
  const Boolean hot = params->Selected && params->Enabled;
  const Boolean pressed = params->Sunken;
  const Boolean down = params->Down;
  const Boolean inMenu = params->HostKind == hkMenu;
  const Boolean vertical = params->HostKind == hkRotatedToolbar || (parent && parent->IsVertical());
  if (control->HasOwnBkBrush() || (hot && inMenu && !down && (params->Content & ceIcon) == 0)) {
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    FillRect(dc, &r, control->GetBkBrush());
    return;
  }
  const Boolean dropDown = params->HasDropDown;
  if (dropDown && params->MenuOpen && !down) {
    DrawGradientRect(dc, rect, Office11OwnerJointColor1, Office11OwnerJointColor2, vertical);
  } else if (!inMenu && (hot || pressed || down)) {
    TColor c1, c2;
    if (parent && parent->IsPopup()) {
      c1 = c2 = pressed || down ? Office11PopupOwnerColor : Office11HotGradientColor1;
    } else if (!pressed && !down) {
      c1 = Office11HotGradientColor1;
      c2 = Office11HotGradientColor2;
    } else if (hot) {
      c1 = Office11PressedGradientColor2;
      c2 = Office11PressedGradientColor1;
    } else {
      c1 = Office11PressedGradientColor1;
      c2 = Office11PressedGradientColor2;
      if (ColorToRGB(c1) == ColorToRGB(c2)) c1 = c2 = Office11CheckedColor;
    }
    DrawGradientRect(dc, rect, c1, c2, vertical);
  } else {
    FillItemBackground(control, dc, hot || pressed || down, GetItemBackgroundBrush(params), rect);
  }
  auto* button = dynamic_cast<TdxBarButton*>(control->GetItem());
  if (params->MenuOpen && dropDown) {
    DrawOwnerJointAndFrame(parent ? parent->GetChildBarControl() : nullptr, dc, parent, control, rect);
  } else if ((hot && !inMenu) || (down && button && button->GetDown())) {
    DrawOffice11SelectionFrame(dc, rect);
  } else if (down) {
    FrameWithColor(dc, rect, Office11HighlightColor);
  }
}

void TdxBarOffice11Painter::DrawButtonEdge(TdxBarItemControl* control, HDC dc, Boolean down, Boolean selected,
                                           Integer paintType, HBRUSH brush, const TRect& rect) {
  if (!selected && paintType != hkMenu && !down) {
    FrameItemBackground(control, dc, true, brush, rect);
  } else if (selected || paintType != hkMenu) {
    DrawOffice11SelectionFrame(dc, rect);
  } else {
    FrameWithColor(dc, rect, Office11SeparatorDarkColor);
  }
}

// ---- Toolbars

void TdxBarOffice11Painter::DrawGripDots(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal,
                                         const TRect& rect) {
  DrawOffice11GripDots(dc, rect, horizontal);
}

void TdxBarOffice11Painter::DrawToolbarSeparator(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal,
                                                 HBRUSH brush, const TRect& rect) {
  barControl->DrawBackground(dc, rect, brush, clNone);
  const Integer offset = GetSeparatorOffset();
  if (horizontal) {
    const TRect r{rect.Left + offset, rect.Top, rect.Right - offset, rect.Bottom};
    const Integer y = rect.Top + (rect.Height() - 2) / 2;
    FillDCRectWithColor(dc, TRect{r.Left + 3, y, r.Right - 4, y + 1}, Office11SeparatorDarkColor);
    FillDCRectWithColor(dc, TRect{r.Left + 4, y + 1, r.Right - 3, y + 2}, Office11SeparatorLightColor);
  } else {
    const TRect r{rect.Left, rect.Top + offset, rect.Right, rect.Bottom - offset};
    const Integer x = rect.Left + (rect.Width() - 2) / 2;
    FillDCRectWithColor(dc, TRect{x, r.Top + 3, x + 1, r.Bottom - 4}, Office11SeparatorDarkColor);
    FillDCRectWithColor(dc, TRect{x + 1, r.Top + 4, x + 2, r.Bottom - 3}, Office11SeparatorLightColor);
  }
}

void TdxBarOffice11Painter::DrawCaptionButtonBackground(TCustomdxBarControl* barControl, HDC dc, Integer state,
                                                        const TRect& rect) {
  if (state == 0) {
    FillDCRectWithColor(dc, rect, GetFloatingCaptionColor(barControl, true));
    return;
  }
  DrawOffice11SelectionFrame(dc, rect);
  FillDCRectWithColor(dc, Shrunk(rect, 1), state == 1 ? Office11HotGradientColor1 : Office11HotGradientColor2);
}

void TdxBarOffice11Painter::DrawDockBackground(TdxDockControl* dockControl, HDC dc, TColor color, HBRUSH brush,
                                               const TRect& whole, const TRect& origin, const TRect& rect) {
  if (RectIsEmpty(whole)) return;
  Boolean empty = true;
  HBITMAP cache = dockControl->GetBackgroundCache(empty);
  if (empty) {
    HDC screen = GetDC(nullptr);
    cache = CreateCompatibleBitmap(screen, whole.Width(), whole.Height());
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, cache);
    TColor c1, c2;
    DockColors(dockControl, c1, c2);
    DrawGradientRect(memory, TRect{0, 0, whole.Width(), whole.Height()}, c1, c2, true);
    SelectObject(memory, old);
    DeleteDC(memory);
    dockControl->SetBackgroundCache(cache);
  }
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, cache);
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), memory, rect.Left - origin.Left, rect.Top - origin.Top,
         SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

void TdxBarOffice11Painter::DrawDockBackgroundUnderBar(TdxBarControl* toolbar, HDC dc, TColor color, HBRUSH brush,
                                                       const TRect& origin, const TRect& rect) {
  TdxBar* bar = toolbar->GetBar();
  if (!bar || bar->GetBorderStyle() == bbsNone || toolbar->IsMainMenu() || !bar->GetBackgroundBitmap()->GetEmpty()) {
    TdxBarFlatPainter::DrawDockBackgroundUnderBar(toolbar, dc, color, brush, origin, rect);
    return;
  }
  const Boolean vertical = toolbar->IsVertical();
  const TRect own = vertical ? TRect{origin.Left + 1, origin.Top, origin.Right - 1, origin.Bottom}
                             : TRect{origin.Left, origin.Top + 1, origin.Right, origin.Bottom - 1};
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  FillTwoStageGradient(dc, own, Office11ToolbarGradientColor1, Office11ToolbarGradientColor2, vertical);
  RestoreDC(dc, saved);
}

void TdxBarOffice11Painter::DrawBarBackgroundBitmap(TCustomdxBarControl* barControl, HDC dc, TColor color,
                                                    HBRUSH brush, const TRect& origin, const TRect& rect) {
  auto* toolbar = dynamic_cast<TdxBarControl*>(barControl);
  const Boolean picture = toolbar && toolbar->GetBar() && !toolbar->GetBar()->GetBackgroundBitmap()->GetEmpty();
  if (barControl->IsPopup() || picture) {
    TdxBarFlatPainter::DrawBarBackgroundBitmap(barControl, dc, color, brush, origin, rect);
    return;
  }
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  DrawGradientRect(dc, origin, Office11ToolbarGradientColor1, Office11ToolbarGradientColor2, false);
  RestoreDC(dc, saved);
}

void TdxBarOffice11Painter::DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) {
  TdxBar* bar = toolbar->GetBar();
  TdxDockControl* dock = toolbar->GetDockControl();
  const Boolean vertical = toolbar->IsVertical();
  TRect borders;
  toolbar->GetBorders(borders);
  const TRect window = rect;
  const TRect client{borders.Left, borders.Top, window.Right - borders.Right, window.Bottom - borders.Bottom};
  auto dockFill = [&](const TRect& r) {
    if (!RectIsEmpty(r)) TdxBarFlatPainter::DrawDockBackgroundUnderBar(toolbar, dc, clNone, brush, client, r);
  };
  auto toolbarFill = [&](const TRect& r) {
    if (!RectIsEmpty(r)) DrawDockBackgroundUnderBar(toolbar, dc, clNone, brush, client, r);
  };
  if (toolbar->IsMainMenu() || !bar || bar->GetBorderStyle() != bbsSingle) {
    // Only strips of the dock along both long edges.
    if (toolbar->IsMainMenu()) {
      if (vertical) {
        dockFill(TRect{window.Left, window.Top, window.Left + 2, window.Bottom});
        dockFill(TRect{window.Right - 2, window.Top, window.Right, window.Bottom});
      } else {
        dockFill(TRect{window.Left, window.Top, window.Right, window.Top + 2});
        dockFill(TRect{window.Left, window.Bottom - 2, window.Right, window.Bottom});
      }
    }
    return;
  }
  // The dock's colour at a position along the toolbar (the dock shades left to right).
  POINT inDock{0, 0};
  if (dock && toolbar->HandleAllocated() && dock->HandleAllocated())
    MapWindowPoints(toolbar->GetHandle(), dock->GetHandle(), &inDock, 1);
  TColor d1, d2;
  DockColors(dock, d1, d2);
  const TRect dockRect{0, 0, dock ? std::max(dock->GetClientWidth(), 1) : 1, 1};
  const Integer clientX = inDock.X - client.Left;
  auto D = [&](Integer x) { return GetGradientColorAtPos(dockRect, clientX + x, d1, d2, true); };
  // The toolbar gradient's colour at a row (horizontal toolbars) or column (vertical ones).
  const Integer runStart = vertical ? client.Left + 1 : client.Top + 1;
  const Integer runLength = vertical ? client.Width() - 2 : client.Height() - 2;
  auto G = [&](Integer p) {
    return TwoStageColorAt(runLength, p - runStart, Office11ToolbarGradientColor1, Office11ToolbarGradientColor2);
  };
  const Integer state = std::clamp(toolbar->GetMarkState(), 0, 2);
  const TColor ML = Office11MarkLightColors[state];
  const TColor M1 = Office11MarkGradientColors1[state];
  const TColor M2 = Office11MarkGradientColors2[state];
  // The mark closes the toolbar's far end with its gradient.
  const Integer markArea = toolbar->GetMarkAreaSize();
  const Boolean hasMark = markArea > 0;
  const Integer mark = GetMarkSize(toolbar);
  auto markGradient = [&](const TRect& whole, const TRect* parts, Boolean horizontalRun) {
    const int clip = SaveDC(dc);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (Integer i = 0; i < 4; ++i) {
      HRGN part = CreateRectRgn(parts[i].Left, parts[i].Top, parts[i].Right, parts[i].Bottom);
      CombineRgn(region, region, part, RGN_OR);
      DeleteObject(part);
    }
    ExtSelectClipRgn(dc, region, RGN_AND);
    DeleteObject(region);
    FillTwoStageGradient(dc, whole, M1, M2, horizontalRun);
    RestoreDC(dc, clip);
  };
  const TColor Cc = Office11ToolbarCornerColor;
  const Integer L = window.Left, T = window.Top, R = window.Right, B = window.Bottom;
  const int saved = SaveDC(dc);
  if (!vertical) {
    dockFill(TRect{L, T, L + 2, B});
    dockFill(TRect{L + 2, T, R, T + 1});
    const Integer l = L + 2, t = T + 1;
    dockFill(TRect{l, B - 2, l + 1, B - 1});
    dockFill(TRect{l + 1, B - 1, l + 2, B});
    toolbarFill(TRect{l, t + 2, l + 1, B - 3});
    Pixel(dc, l + 1, B - 3, Cc);
    Pixel(dc, l, B - 3, Mix(D(l), Cc));
    Pixel(dc, l + 1, B - 2, Mix(D(l), Cc));
    Pixel(dc, l, t + 1, Mix(D(l), G(t + 1)));
    Pixel(dc, l + 1, t, Mix(D(l), G(t + 1)));
    // Top edge.
    toolbarFill(TRect{l + 2, t, R - 2 - markArea, t + 1});
    if (hasMark) {
      Pixel(dc, R - mark - 1, t, ML);
      Pixel(dc, R - 2, t + 1, ML);
      Pixel(dc, R - mark - 2, t, Mix(ML, G(t + 1)));
      Pixel(dc, R - 2, t, Mix(ML, D(R)));
      Pixel(dc, R - 1, t + 1, Mix(ML, D(R)));
    } else {
      Pixel(dc, R - 2, t, Mix(D(R), G(t + 1)));
      Pixel(dc, R - 1, t + 1, Mix(D(R), G(t + 1)));
    }
    // End edge: the mark's gradient, or the toolbar's.
    if (hasMark) {
      const TRect parts[] = {TRect{R - mark, t, R - 2, t + 1}, TRect{R - 2, t + 2, R, B - 2},
                             TRect{R - mark - 1, B - 1, R - 2, B}, TRect{R - mark, B - 2, R - 1, B - 1}};
      markGradient(TRect{R - mark - 1, t, R, B}, parts, false);
      Pixel(dc, R - 1, B - 2, Mix(M2, D(R)));
      Pixel(dc, R - 2, B - 1, Mix(M2, D(R)));
    } else {
      toolbarFill(TRect{R - 2, t + 1, R - 1, B - 2});
      toolbarFill(TRect{R - 1, t + 2, R, B - 1});
    }
    // Bottom edge and its shadow line, which stops short of the mark.
    toolbarFill(TRect{l + 2, B - 2, R - 2 - markArea, B - 1});
    if (hasMark) {
      Pixel(dc, R - mark - 2, B - 1, Mix(M2, Cc));
      Pixel(dc, R - mark - 1, B - 2, Mix(M2, Cc));
      Pixel(dc, R - mark - 2, B - 2, Cc);
      FillDCRectWithColor(dc, TRect{l + 2, B - 1, R - mark - 2, B}, Office11ToolbarShadowLineColor);
    } else {
      Pixel(dc, R - 2, B - 1, Mix(Cc, D(R)));
      Pixel(dc, R - 1, B - 2, Mix(Cc, D(R)));
      Pixel(dc, R - 2, B - 2, Cc);
      FillDCRectWithColor(dc, TRect{l + 2, B - 1, R - 2, B}, Office11ToolbarShadowLineColor);
    }
    dockFill(TRect{l, t, l + 1, t + 1});
    dockFill(TRect{R - 1, t, R, t + 1});
    dockFill(TRect{l, B - 1, l + 1, B});
    dockFill(TRect{R - 1, B - 1, R, B});
  } else {
    dockFill(TRect{L, T, R, T + 2});
    dockFill(TRect{L, T + 2, L + 1, B});
    const Integer l = L + 1, t = T + 2;
    toolbarFill(TRect{l, t + 2, l + 1, B - 2 - markArea});
    toolbarFill(TRect{l + 2, t, R - 2, t + 1});
    Pixel(dc, R - 2, t + 1, Cc);
    Pixel(dc, R - 2, t, Mix(D(l), Cc));
    Pixel(dc, R - 1, t + 1, Mix(D(l), Cc));
    Pixel(dc, l, t + 1, Mix(D(l), G(l)));
    Pixel(dc, l + 1, t, Mix(D(l), G(l)));
    if (hasMark) {
      Pixel(dc, l, B - mark - 2, Mix(ML, G(l + 1)));
      Pixel(dc, l, B - mark - 1, ML);
      Pixel(dc, l + 1, B - 2, ML);
      Pixel(dc, l, B - 2, Mix(ML, D(l)));
      Pixel(dc, l + 1, B - 1, Mix(ML, D(l)));
    } else {
      Pixel(dc, l, B - 2, Mix(D(l), G(l + 1)));
      Pixel(dc, l + 1, B - 1, Mix(D(l), G(l + 1)));
    }
    toolbarFill(TRect{R - 2, t + 2, R - 1, B - 2 - markArea});
    if (hasMark) {
      const TRect parts[] = {TRect{l, B - mark, l + 1, B - 2}, TRect{l + 2, B - 2, R - 2, B},
                             TRect{R - 2, B - mark, R - 1, B - 1}, TRect{R - 1, B - mark - 1, R, B - 2}};
      markGradient(TRect{l, B - mark - 1, R, B}, parts, true);
      Pixel(dc, R - 1, B - 2, Mix(M2, D(R)));
      Pixel(dc, R - 2, B - 1, Mix(M2, D(R)));
      Pixel(dc, R - 2, B - mark - 1, Mix(M2, Cc));
      Pixel(dc, R - 1, B - mark - 2, Mix(M2, Cc));
      Pixel(dc, R - 2, B - mark - 2, Cc);
      FillDCRectWithColor(dc, TRect{R - 1, t + 2, R, B - mark - 2}, Office11ToolbarShadowLineColor);
    } else {
      toolbarFill(TRect{l + 2, B - 1, R - 1, B});
      toolbarFill(TRect{l + 1, B - 2, R - 2, B - 1});
      Pixel(dc, R - 2, B - 1, Mix(Cc, D(R)));
      Pixel(dc, R - 1, B - 2, Mix(Cc, D(R)));
      Pixel(dc, R - 2, B - 2, Cc);
      FillDCRectWithColor(dc, TRect{R - 1, t + 2, R, B - 2}, Office11ToolbarShadowLineColor);
    }
    dockFill(TRect{l, t, l + 1, t + 1});
    dockFill(TRect{R - 1, t, R, t + 1});
    dockFill(TRect{l, B - 1, l + 1, B});
    dockFill(TRect{R - 1, B - 1, R, B});
  }
  RestoreDC(dc, saved);
  if (toolbar->CanMove()) {
    const TRect inner = Shrunk(window, 2);
    const Integer start = (vertical ? inner.Top : inner.Left) + GetGripIndent();
    const TRect grip = vertical ? TRect{inner.Left + 3, start, inner.Right - 3, start + GetGripWidth()}
                                : TRect{start, inner.Top + 3, start + GetGripWidth(), inner.Bottom - 3};
    DrawGripDots(toolbar, dc, !vertical, grip);
  }
  rect = client;
}

void TdxBarOffice11Painter::DrawFloatingBorder(TdxBarControl* toolbar, HDC dc, const TRect& rect) {
  if (toolbar->IsPopup()) {
    FrameWithColor(dc, rect, Office11BorderColor);
    TRect borders;
    toolbar->GetBorders(borders);
    HBRUSH brush = toolbar->GetBackgroundBrush();
    for (TRect r = Shrunk(rect, 1); r.Left < borders.Left && !RectIsEmpty(r); r = Shrunk(r, 1)) {
      RECT f{r.Left, r.Top, r.Right, r.Bottom};
      FrameRect(dc, &f, brush);
    }
    return;
  }
  FrameWithColor(dc, rect, Office11FloatingBorderColor);
  FrameWithColor(dc, Shrunk(rect, 1), Office11FloatingBorderColor);
  FrameWithColor(dc, Shrunk(rect, 2), Office11FloatingInnerBorderColor);
  Pixel(dc, rect.Left, rect.Top, Office11FloatingBorderColor);
  Pixel(dc, rect.Right - 1, rect.Top, Office11FloatingBorderColor);
  Pixel(dc, rect.Left, rect.Bottom - 1, Office11FloatingBorderColor);
  Pixel(dc, rect.Right - 1, rect.Bottom - 1, Office11FloatingBorderColor);
}

void TdxBarOffice11Painter::DrawFloatingCaption(TdxBarControl* toolbar, HDC dc, HBRUSH brush, const TRect& captionRect,
                                                TRect textRect) {
  HBRUSH border = CreateSolidBrush(COLORREF(ColorToRGB(Office11FloatingBorderColor)));
  TdxBarFlatPainter::DrawFloatingCaption(toolbar, dc, border, captionRect, textRect);
  DeleteObject(border);
}

// ---- Popups and menus

namespace {

// Paints `rect` clipped, with the band gradient from x = 0 to `width` and the band's extra width
// in the second colour.
void FillBandRows(HDC dc, const TRect& rect, Integer width, Integer extra, TColor c1, TColor c2) {
  const Integer right = std::min(width, rect.Right);
  if (right > rect.Left) FillTwoStageGradient(dc, TRect{0, rect.Top, width, rect.Bottom}, c1, c2, true);
  if (extra > 0) FillDCRectWithColor(dc, TRect{width, rect.Top, width + extra, rect.Bottom}, c2);
}

}  // namespace

void TdxBarOffice11Painter::DrawOwnerJoint(TCustomdxBarControl* popup, HDC dc, TdxBarItemControl* control,
                                           const TRect& joint, const TRect& popupRect) {
  const Boolean dropDown = dynamic_cast<TdxBarSubItemControl*>(control) || dynamic_cast<TdxBarButtonControl*>(control);
  if (!dropDown) {
    TdxBarFlatPainter::DrawOwnerJoint(popup, dc, control, joint, popupRect);
    return;
  }
  // The joint continues the open item's gradient where it meets the popup.
  const Boolean beyond = joint.Width() >= joint.Height() ? joint.Top >= (popupRect.Top + popupRect.Bottom) / 2
                                                         : joint.Left >= (popupRect.Left + popupRect.Right) / 2;
  FillDCRectWithColor(dc, joint, beyond ? Office11OwnerJointColor2 : Office11OwnerJointColor1);
}

HBRUSH TdxBarOffice11Painter::GetOwnerLinkBrush(TdxBarManager* manager) {
  return PaletteBrush(Office11PopupOwnerBrush, Office11PopupOwnerColor);
}

void TdxBarOffice11Painter::FillOwnerLinkArea(TCustomdxBarControl* barControl, HDC dc) {
  const TRect joint = OwnerJointWindowRect(barControl);
  if (!RectIsEmpty(joint)) FillDCRectWithColor(dc, joint, Office11MenuBackgroundColor);
}

Boolean TdxBarOffice11Painter::HasShadow(TCustomdxBarControl* barControl) {
  return barControl && barControl->IsPopupStyle();
}

void TdxBarOffice11Painter::CalcMenuMetrics(TcxCanvas* canvas, Integer textHeight, Integer& markSize,
                                            Integer& arrowWidth) {
  TdxBarFlatPainter::CalcMenuMetrics(canvas, textHeight, markSize, arrowWidth);
  if (Office11SubMenuExpandBitmap) {
    BITMAP info{};
    if (GetObject(Office11SubMenuExpandBitmap, sizeof(info), &info)) markSize = info.bmHeight + 2;
  }
}

Integer TdxBarOffice11Painter::GetDetachCaptionHeight(TdxBarSubMenuControl* subMenu) {
  // The caption size plus 5 (the base adds 3).
  return TdxBarPainter::GetDetachCaptionHeight(subMenu) + 2;
}

void TdxBarOffice11Painter::DeflateDetachCaptionRect(TdxBarSubMenuControl* subMenu, TRect& rect) {
  rect = TRect{rect.Left + 2, rect.Top + 4, rect.Right - 2, rect.Bottom - 4};
}

HBRUSH TdxBarOffice11Painter::GetMenuBrush(TCustomdxBarControl* barControl) {
  return PaletteBrush(Office11MenuBackgroundBrush, Office11MenuBackgroundColor);
}

void TdxBarOffice11Painter::DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& rect) {
  TdxBarItemControl* control = params->Owner;
  TCustomdxBarControl* parent = control->GetParent();
  HDC dc = params->Canvas->GetHandle();
  const Integer iconArea = parent ? GetIconAreaSize(parent) : rect.Height();
  TRect iconRect;
  CalcMenuIconRect(rect, iconArea, iconRect);
  const Boolean selected = params->Selected && params->Enabled;
  HBRUSH background = parent ? parent->GetBackgroundBrush() : GetMenuBrush(nullptr);
  if (selected) {
    DrawSelectionFrame(dc, rect);
  } else {
    // The ring is the menu's own background: the band over the icon column, the menu right of it.
    const Integer split = std::min(rect.Left + iconArea + 1, rect.Right);
    FillItemBackground(control, dc, false, background, TRect{rect.Left, rect.Top, split, rect.Top + 1});
    FillItemBackground(control, dc, false, background, TRect{rect.Left, rect.Bottom - 1, split, rect.Bottom});
    FillItemBackground(control, dc, false, background, TRect{rect.Left, rect.Top, rect.Left + 1, rect.Bottom});
    FillItemBackground(control, dc, false, background, TRect{split, rect.Top, rect.Right, rect.Top + 1});
    FillItemBackground(control, dc, false, background, TRect{split, rect.Bottom - 1, rect.Right, rect.Bottom});
    FillItemBackground(control, dc, false, background, TRect{rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
  }
  const TRect inner = Shrunk(rect, 1);
  FillItemBackground(control, dc, selected, selected ? GetSelectionBrush() : background, inner);
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  Integer index;
  TCustomImageList* images;
  TBitmap* glyph;
  if (button && button->Down && !control->GetImageSource(params->SizeMode, index, images, glyph)) {
    const Integer side = std::min(iconRect.Width(), iconRect.Height());
    const Integer l = iconRect.Left + (iconRect.Width() - side) / 2, t = iconRect.Top + (iconRect.Height() - side) / 2;
    const TRect frame{l, t, l + side, t + side};
    FillDCRectWithColor(dc, Shrunk(frame, 1), selected ? Office11PressedSelectedColor : Office11CheckedColor);
    DrawOffice11SelectionFrame(dc, frame);
    DrawCheckMarkCentered(control, dc, true, hkMenu, frame);
  }
}

void TdxBarOffice11Painter::DrawMenuBand(TdxBarSubMenuControl* subMenu, TcxCanvas* canvas, TColor color, HBRUSH brush,
                                         const TRect& rect) {
  if (!subMenu || !HasMenuBand()) {
    TdxBarFlatPainter::DrawMenuBand(subMenu, canvas, color, brush, rect);
    return;
  }
  HDC dc = canvas->GetHandle();
  HRGN saved = nullptr;
  Boolean had = false;
  SaveClipRegion(dc, saved, had);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  // The band runs from the client edge over the icon column of the items.
  const Integer extra = subMenu->GetBandSize();
  const Integer width = std::max(0, subMenu->GetItemsRect().Left - extra) + GetIconAreaSize(subMenu) + 1;
  FillBandRows(dc, rect, width, extra, Office11MenuBandColor1, Office11MenuBandColor2);
  // Rarely used items shown after expanding have the darker band.
  for (Integer i = 0; i < subMenu->GetViewInfoCount(); ++i) {
    TdxBarItemControl* control = subMenu->GetViewInfoControl(i);
    if (!subMenu->IsNonRecent(control)) continue;
    const TRect r = control->GetItemRect();
    const TRect rows{rect.Left, std::max(rect.Top, r.Top), rect.Right, std::min(rect.Bottom, r.Bottom)};
    if (rows.Bottom > rows.Top) FillBandRows(dc, rows, width, extra, Office11NonRecentBandColor1, Office11NonRecentBandColor2);
  }
  if (rect.Right > width + extra) {
    RECT r{std::max(rect.Left, width + extra), rect.Top, rect.Right, rect.Bottom};
    FillRect(dc, &r, brush ? brush : GetMenuBrush(subMenu));
  }
  RestoreClipRegion(dc, saved, had);
}

void TdxBarOffice11Painter::DrawMenuFrame(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) {
  FrameWithColor(dc, rect, Office11BorderColor);
  FillOwnerLinkArea(subMenu, dc);
  if (!subMenu || !subMenu->IsDetachCaptionVisible()) return;
  HBRUSH menu = GetMenuBrush(subMenu);
  const TRect inner = Shrunk(rect, 1);
  const TRect caption{inner.Left, inner.Top, inner.Right, inner.Top + GetDetachCaptionHeight(subMenu) + 5};
  RECT f{caption.Left, caption.Top, caption.Right, caption.Bottom};
  FrameRect(dc, &f, menu);
  RECT top{caption.Left, caption.Top, caption.Right, caption.Top + 2};
  FillRect(dc, &top, menu);
  RECT bottom{caption.Left, caption.Bottom - 1, caption.Right, caption.Bottom};
  FillRect(dc, &bottom, menu);
  FillMenuArea(subMenu, dc, TRect{caption.Left + 1, caption.Top + 2, caption.Right - 1, caption.Bottom - 1});
}

void TdxBarOffice11Painter::DrawMenuClientFrame(TdxBarSubMenuControl* subMenu, HDC dc, HBRUSH brush,
                                                const TRect& rect) {
  if (RectIsEmpty(rect)) return;
  HBRUSH menu = GetMenuBrush(subMenu);
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FrameRect(dc, &r, menu);
  if (!HasMenuBand()) return;
  FillDCRectWithColor(dc, TRect{rect.Left, rect.Top + 1, rect.Left + 1, rect.Bottom - 1}, Office11MenuBandColor1);
}

void TdxBarOffice11Painter::FillMenuArea(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) {
  const Boolean hot = subMenu && subMenu->IsDetachCaptionSelected();
  if (hot) {
    DrawOffice11SelectionFrame(dc, rect);
    FillDCRectWithColor(dc, Shrunk(rect, 1), Office11SelectedColor);
  } else {
    FillDCRectWithColor(dc, rect, Office11MenuAreaColor);
  }
  const Integer dx = rect.Width() / 4;
  const Integer dy = hot ? 1 : 2;
  DrawGripDots(subMenu, dc, false, TRect{rect.Left + dx, rect.Top + dy, rect.Right - dx, rect.Bottom - dy});
}

// ---- The "More Buttons" mark: a gradient tab at the toolbar's far end

void TdxBarOffice11Painter::CalcMarkRect(TdxBarControl* toolbar, TRect& rect) {
  TdxBar* bar = toolbar->GetBar();
  if (toolbar->GetDockingStyle() == dsNone || !bar || bar->GetBorderStyle() == bbsNone || toolbar->IsMainMenu())
    return;
  // The tab reaches into the rounded frame.
  if (toolbar->IsVertical()) {
    rect.Left -= 1;
    rect.Right += 1;
    rect.Bottom += 2;
  } else {
    rect.Top -= 1;
    rect.Right += 2;
    rect.Bottom += 1;
  }
}

void TdxBarOffice11Painter::DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state,
                                               const TRect& rect) {
  state = std::clamp(state, 0, 2);
  TdxBar* bar = toolbar->GetBar();
  const Boolean vertical = toolbar->IsVertical();
  TRect r = rect;
  if (bar && bar->GetBorderStyle() != bbsNone && !toolbar->IsMainMenu()) {
    // The tab starts two pixels into the mark, past a strip of the toolbar's own background.
    const TRect before = vertical ? TRect{r.Left, r.Top, r.Right, r.Top + 2} : TRect{r.Left, r.Top, r.Left + 2, r.Bottom};
    toolbar->DrawBackground(dc, before, toolbar->GetBackgroundBrush(), clNone);
    if (vertical) {
      r.Top += 2;
      r.Right += 2;
    } else {
      r.Left += 2;
      r.Bottom += 2;
    }
  }
  FillTwoStageGradient(dc, r, Office11MarkGradientColors1[state], Office11MarkGradientColors2[state], vertical);
}

void TdxBarOffice11Painter::DrawMarkGlyphs(TdxBarControl* toolbar, HDC dc, const TRect& rect) {
  TdxBar* bar = toolbar->GetBar();
  const Integer offset = !bar || bar->GetBorderStyle() == bbsNone || toolbar->IsMainMenu() ? 2 : 0;
  const Boolean vertical = toolbar->IsVertical();
  auto glyphs = [&](Integer dx, Integer dy, TColor color) {
    if (AllowsQuickCustomizing() && bar && bar->GetAllowQuickCustomizing()) {
      // The arrow at the far end: pointing down on horizontal toolbars, left on vertical ones.
      if (!vertical) {
        const Integer x = (rect.Left + rect.Right - 5) / 2 + dx, y = rect.Bottom - 9 - offset + dy;
        const TPoint points[] = {{x, y}, {x + 4, y}, {x + 2, y + 2}};
        FillPolygonWithColors(dc, points, 3, color, color);
      } else {
        const Integer x = rect.Right - 8 - offset + dx, y = (rect.Top + rect.Bottom - 5) / 2 + dy;
        const TPoint points[] = {{x + 2, y}, {x + 2, y + 4}, {x, y + 2}};
        FillPolygonWithColors(dc, points, 3, color, color);
      }
    }
    if (!toolbar->IsTruncated()) return;
    // Two chevrons near the mark's start.
    HPEN pen = CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(color)));
    HGDIOBJ old = SelectObject(dc, pen);
    for (Integer k = 0; k < 2; ++k)
      for (Integer i = 0; i < 2; ++i) {
        POINT points[3];
        if (!vertical) {
          const Integer x = (rect.Left + rect.Right - 7) / 2 + 4 * k + i + dx, y = rect.Top + 4 + offset + dy;
          points[0] = POINT{x, y};
          points[1] = POINT{x + 2, y + 2};
          points[2] = POINT{x - 1, y + 5};
        } else {
          const Integer x = rect.Left + 4 + offset + dx, y = (rect.Top + rect.Bottom - 7) / 2 + 4 * k + i + dy;
          points[0] = POINT{x, y};
          points[1] = POINT{x + 2, y + 2};
          points[2] = POINT{x + 5, y - 1};
        }
        Polyline(dc, points, 3);
      }
    SelectObject(dc, old);
    DeleteObject(pen);
  };
  glyphs(1, 1, Office11MarkGlyphShadowColor);
  glyphs(0, 0, Office11MarkGlyphColor);
}
