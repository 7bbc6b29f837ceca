// The painter of the platform's visual styles: toolbar buttons, split-button drop-downs and
// separators from the "ToolBar" class, grips and the dock background from "Rebar", the caption
// and child-window buttons from "Window", edit frames and colours from "Edit", combo buttons
// from "ComboBox", the size grip from "Status". Main-menu entries that are hot, pressed, down or
// open get a plain highlight fill instead of a themed button.
//
// The manager creates this painter only while visual styles are active. Where a theme class does
// not open, the themed drawing draws nothing and the metrics keep the plain look's values.

#include <algorithm>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCommon.h"
#include "components/bars/dxBarDrawing.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

// Theme parts and states (the platform's visual-style numbering).
enum : int {
  kXpTpButton = 1, kXpTpSplitbutton = 3, kXpTpSplitbuttondropdown = 4, kXpTpSeparator = 5, kXpTpSeparatorvert = 6,
  kXpRpGripper = 1, kXpRpGrippervert = 2,
  kXpWpMdiminbutton = 16, kXpWpSmallclosebutton = 19, kXpWpMdiclosebutton = 20, kXpWpMdirestorebutton = 22,
  kXpEpEdittext = 1, kXpCpDropdownbutton = 1, kXpPpChunk = 3, kXpPpBar = 1, kXpSpGripper = 3,
  kXpTsMin = 0, kXpTsTrue = 1, kXpTmtFillcolor = 3802, kXpTmtTextcolor = 3803
};

struct TXpMetrics {
  Integer SeparatorSize = 6;
  TSize CaptionButtonSize{0, 0};
  Integer ExtraHeight = 6;
  Integer ComboArrowWidth = 0;
  TRect EditButtonOffsets{2, 2, 2, 2};
  Integer GripWidth = 3;
  Integer ProgressChunkSize = 12;
  Integer SeparatorLineHeight = 2;
  TSize SizeGripSize{0, 0};
};

TXpMetrics& XpMetrics() {
  static TXpMetrics metrics;
  return metrics;
}

HTHEME XpTheme(TdxThemedObjectKind kind) { return GetThemeHandle(kind); }

void XpDraw(TdxThemedObjectKind kind, HDC dc, int part, int state, const TRect& rect) {
  HTHEME theme = XpTheme(kind);
  if (!theme) return;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawThemeBackground(theme, dc, part, state, r, nullptr);
}

Boolean XpPartSize(TdxThemedObjectKind kind, int part, int state, int sizeKind, SIZE& size) {
  HTHEME theme = XpTheme(kind);
  return theme && GetThemePartSizeWithoutRect(theme, nullptr, part, state, sizeKind, size) == S_OK;
}

Boolean XpContentRect(TdxThemedObjectKind kind, int part, int state, const TRect& bounds, TRect& content) {
  HTHEME theme = XpTheme(kind);
  RECT b{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom}, c{};
  if (!theme || GetThemeBackgroundContentRect(theme, nullptr, part, state, b, c) != S_OK) return false;
  content = TRect{c.Left, c.Top, c.Right, c.Bottom};
  return true;
}

TColor XpColor(TdxThemedObjectKind kind, int part, int state, int property, TColor fallback) {
  COLORREF color = 0;
  HTHEME theme = XpTheme(kind);
  if (theme && GetThemeColor(theme, part, state, property, color) == S_OK) return TColor(color);
  return TColor(ColorToRGB(fallback));
}

void XpFill(HDC dc, const TRect& rect, HBRUSH brush) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FillRect(dc, &r, brush);
}

HBRUSH XpParentBrush(TdxBarPainter* painter, TdxBarItemControl* control) {
  TCustomdxBarControl* parent = control ? control->GetParent() : nullptr;
  return parent ? parent->GetBackgroundBrush() : painter->GetToolbarBrush();
}

Boolean XpNonRecent(TdxBarItemControl* control) {
  auto* subMenu = control ? dynamic_cast<TdxBarSubMenuControl*>(control->GetParent()) : nullptr;
  return subMenu && subMenu->IsNonRecent(control);
}

// The drawings the XP look borrows from the flat look: check marks, floating borders.
TdxBarFlatPainter& XpFlatPainter() {
  static TdxBarFlatPainter painter{TcxCustomLookAndFeelPainterClass()};
  return painter;
}

}  // namespace

TdxBarXPPainter::TdxBarXPPainter(TcxCustomLookAndFeelPainterClass skinPainter) : TdxBarPainter(skinPainter) {
  MeasureThemeMetrics();
}

void TdxBarXPPainter::MeasureThemeMetrics() {
  TXpMetrics& m = XpMetrics();
  m = TXpMetrics();
  SIZE size{};
  if (XpPartSize(totToolBar, kXpTpSeparator, 1, kXpTsMin, size)) m.SeparatorSize = size.cx;
  if (XpPartSize(totWindow, kXpWpSmallclosebutton, 1, kXpTsTrue, size)) m.CaptionButtonSize = TSize{size.cx, size.cy};
  TRect content;
  const TRect hundred{0, 0, 100, 100};
  if (XpContentRect(totToolBar, kXpTpSplitbutton, 1, hundred, content)) m.ExtraHeight = 100 - content.Height();
  if (XpPartSize(totComboBox, kXpCpDropdownbutton, 1, kXpTsTrue, size)) m.ComboArrowWidth = size.cx;
  if (XpContentRect(totEdit, kXpEpEdittext, 1, hundred, content))
    m.EditButtonOffsets = TRect{content.Left, content.Top, 100 - content.Right, 100 - content.Bottom};
  if (XpPartSize(totRebar, kXpRpGripper, 1, kXpTsTrue, size)) m.GripWidth = size.cx;
  if (XpPartSize(totProgress, kXpPpChunk, 0, kXpTsTrue, size)) {
    m.ProgressChunkSize = size.cy;
    if (XpContentRect(totProgress, kXpPpBar, 0, hundred, content))
      m.ProgressChunkSize += content.Left + (100 - content.Right);
  }
  if (XpPartSize(totToolBar, kXpTpSeparatorvert, 1, kXpTsTrue, size)) m.SeparatorLineHeight = size.cy;
  if (XpPartSize(totStatus, kXpSpGripper, 0, kXpTsTrue, size)) m.SizeGripSize = TSize{size.cx, size.cy};
}

Boolean TdxBarXPPainter::DrawsAsMenuBarItem(TdxBarItemControl* control) { return control && control->IsInMainMenu(); }

Integer TdxBarXPPainter::GetGripWidth() { return XpMetrics().GripWidth; }

Integer TdxBarXPPainter::GetButtonArrowWidth(TdxBarManager* manager) {
  return TdxBarPainter::GetButtonArrowWidth(manager) + 3;
}

Integer TdxBarXPPainter::GetLargeButtonArrowWidth(TdxBarManager* manager) {
  return TdxBarPainter::GetLargeButtonArrowWidth(manager) + 3;
}

Integer TdxBarXPPainter::CalcComboArrowWidth(TCustomdxBarControl* barControl, Integer zeroWidth) {
  const Integer width = XpMetrics().ComboArrowWidth;
  return width > 0 ? width : TdxBarPainter::CalcComboArrowWidth(barControl, zeroWidth);
}

Integer TdxBarXPPainter::GetToolbarSeparatorSize() { return XpMetrics().SeparatorSize; }

void TdxBarXPPainter::GetCaptionButtonSize(TSize& size) {
  size = XpMetrics().CaptionButtonSize;
  if (size.cx <= 0 || size.cy <= 0) TdxBarPainter::GetCaptionButtonSize(size);
}

Integer TdxBarXPPainter::GetExtraHeight() { return XpMetrics().ExtraHeight; }

Integer TdxBarXPPainter::GetMenuSeparatorSize() { return XpMetrics().SeparatorLineHeight; }

void TdxBarXPPainter::GetEditButtonOffsets(Integer paintType, TRect& rect) { rect = XpMetrics().EditButtonOffsets; }

TColor TdxBarXPPainter::GetProgressColor() {
  return XpColor(totProgress, kXpPpChunk, 0, kXpTmtFillcolor, TdxBarPainter::GetProgressColor());
}

Integer TdxBarXPPainter::GetProgressChunkSize() { return XpMetrics().ProgressChunkSize; }

TColor TdxBarXPPainter::GetEditDefaultColor(TdxBarItemControl* control) {
  return XpColor(totEdit, kXpEpEdittext, 1, kXpTmtFillcolor, clWindow);
}
TColor TdxBarXPPainter::GetEditTextDefaultColor() { return XpColor(totEdit, kXpEpEdittext, 1, kXpTmtTextcolor, clWindowText); }
TColor TdxBarXPPainter::GetEditDisabledTextColor() { return XpColor(totEdit, kXpEpEdittext, 4, kXpTmtTextcolor, clGrayText); }
TColor TdxBarXPPainter::GetBarBackgroundColor(TdxBarItemControl* control) {
  return XpColor(totEdit, kXpEpEdittext, 4, kXpTmtFillcolor, clBtnFace);
}

HBRUSH TdxBarXPPainter::GetToolbarBrushForBar(TCustomdxBarControl* barControl) {
  // The themed toolbar colour as a solid brush; the plain toolbar brush when the theme gives none.
  COLORREF color = 0;
  HTHEME theme = XpTheme(totToolBar);
  if (!theme || GetThemeColor(theme, 0, 0, kXpTmtFillcolor, color) != S_OK) return GetToolbarBrush();
  return GetSolidBrushCache()->GetBrush(TColor(color));
}

void TdxBarXPPainter::DrawGlyphFrame(TdxBarButtonLikeControlDrawParams* params, HDC dc, const TRect& rect) {
  TdxBarItemControl* control = params->Owner;
  const Boolean split = params->IsButton && params->HasDropDown;
  const Boolean inMenu = params->HostKind == hkMenu;
  const Boolean hot = params->Selected;
  const Boolean checkMark = inMenu && !(params->Content & ceIcon);
  if ((inMenu && checkMark && (hot || XpNonRecent(control)) && !params->Down) || (control && control->HasOwnBkBrush())) {
    XpFill(dc, rect, GetEditBackgroundBrush(params, checkMark));
    return;
  }
  FillItemBackground(control, dc, false, nullptr, rect);
  if (DrawsAsMenuBarItem(control) && !inMenu && (hot || params->Sunken || params->Down || params->MenuOpen)) {
    XpFill(dc, rect, GetSysColorBrush(COLOR_HIGHLIGHT));
    return;
  }
  int state = 1;
  if (!params->Enabled)
    state = 4;
  else if (params->Sunken)
    state = 3;
  else if (params->Down || (params->MenuOpen && !split))
    state = 5;
  else if (hot)
    state = 2;
  XpDraw(totToolBar, dc, split ? kXpTpSplitbutton : kXpTpButton, state, rect);
}

void TdxBarXPPainter::DrawButtonFrame(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH brush) {
  TdxBarPainter::DrawButtonFrame(params, rect, brush);
  const Boolean inMenu = params->HostKind == hkMenu;
  auto* button = dynamic_cast<TdxBarButtonLikeControlDrawParams*>(params);
  int state = 1;
  if (!params->Enabled || (button && !button->DropDownEnabled))
    state = 4;
  else if (params->MenuOpen || (params->Pressed && !inMenu))
    state = 3;
  else if (button && button->Down && !inMenu)
    state = 5;
  else if (params->Selected)
    state = 2;
  XpDraw(totToolBar, params->Canvas->GetHandle(), inMenu ? kXpTpButton : kXpTpSplitbuttondropdown, state, rect);
}

void TdxBarXPPainter::DrawCheckGlyph(TdxBarItemControl* control, HDC dc, Integer scale, Integer top, Integer left) {
  XpFlatPainter().DrawCheckGlyph(control, dc, scale, top, left);
}

void TdxBarXPPainter::DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state,
                                         const TRect& rect) {
  toolbar->DrawBackground(dc, rect, brush, clNone);
  TRect r = rect;
  TdxBar* bar = toolbar->GetBar();
  if (bar && bar->GetBorderStyle() == bbsNone) {
    if (toolbar->IsVertical())
      r = TRect{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
    else
      r = TRect{r.Left, r.Top + 2, r.Right, r.Bottom - 2};
  }
  XpDraw(totToolBar, dc, kXpTpButton, std::clamp(state, 0, 2) + 1, r);
}

void TdxBarXPPainter::DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& rect) {
  // As the classic look's, with the window's background for an unselected row.
  TdxBarItemControl* control = params->Owner;
  if (!control) return;
  FillClassicMenuItem(params, rect, XpParentBrush(this, control), XpNonRecent(control), false);
}

HBRUSH TdxBarXPPainter::GetEditBackgroundBrush(TdxBarButtonLikeControlDrawParams* params, Boolean checkMark) {
  if (params->Selected && params->HostKind == hkMenu && checkMark && !params->Down) return GetSelectionBrush();
  return params->Owner ? params->Owner->GetBkBrush() : GetToolbarBrush();
}

void TdxBarXPPainter::DrawDockBackground(TdxDockControl* dockControl, HDC dc, TColor color, HBRUSH brush,
                                         const TRect& whole, const TRect& origin, const TRect& rect) {
  HRGN saved = nullptr;
  Boolean had = false;
  SaveClipRegion(dc, saved, had);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  const TRect all{origin.Left, origin.Top, origin.Left + whole.Width(), origin.Top + whole.Height()};
  XpDraw(totRebar, dc, 0, 1, all);
  // Row lines: a highlight line before each bordered row and a shadow line after it, except at
  // the outer edges of the site.
  const TdxBarDockingStyle style = dockControl->GetDockingStyle();
  const Boolean horizontal = style == dsTop || style == dsBottom;
  const Integer count = dockControl->GetRowCount();
  for (Integer i = 0; i < count; ++i) {
    TdxDockRow* row = dockControl->GetRow(i);
    TdxBar* leading = nullptr;
    for (Integer b = 0; b < row->GetBarCount() && !leading; ++b)
      if (row->GetBar(b)->GetBorderStyle() != bbsNone) leading = row->GetBar(b);
    if (!leading && row->GetBarCount() > 0) continue;
    TRect bounds;
    Boolean any = false;
    for (Integer c = 0; c < row->GetColCount(); ++c) {
      const TRect r = row->GetCol(c)->GetBarControl()->GetBoundsRect();
      bounds = any ? TRect{std::min(bounds.Left, r.Left), std::min(bounds.Top, r.Top), std::max(bounds.Right, r.Right),
                           std::max(bounds.Bottom, r.Bottom)}
                   : r;
      any = true;
    }
    if (!any) continue;
    bounds = TRect{bounds.Left + origin.Left, bounds.Top + origin.Top, bounds.Right + origin.Left, bounds.Bottom + origin.Top};
    const Boolean first = i == 0, last = i == count - 1;
    if (horizontal) {
      if (!(first && style == dsTop))
        XpFill(dc, TRect{all.Left, bounds.Top, all.Right, bounds.Top + 1}, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
      if (!last)
        XpFill(dc, TRect{all.Left, bounds.Bottom - 1, all.Right, bounds.Bottom}, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
      if (!(first && style == dsLeft))
        XpFill(dc, TRect{bounds.Left, all.Top, bounds.Left + 1, all.Bottom}, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
      if (!(last && style == dsRight))
        XpFill(dc, TRect{bounds.Right - 1, all.Top, bounds.Right, all.Bottom}, GetSysColorBrush(COLOR_BTNSHADOW));
    }
  }
  RestoreClipRegion(dc, saved, had);
}

void TdxBarXPPainter::DrawToolbarSeparator(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal, HBRUSH brush,
                                           const TRect& rect) {
  barControl->DrawBackground(dc, rect, brush, clNone);
  XpDraw(totToolBar, dc, horizontal ? kXpTpSeparatorvert : kXpTpSeparator, 1, rect);
}

void TdxBarXPPainter::DrawCloseButton(TdxBarControl* toolbar, HDC dc, const TRect& rect) {
  XpDraw(totWindow, dc, kXpWpSmallclosebutton, std::clamp(toolbar->GetCloseButtonState(), 0, 2) + 1, rect);
}

void TdxBarXPPainter::DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) {
  if (!toolbar->CanMove()) return;
  const TRect inner{rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2};
  const Boolean vertical = toolbar->IsVertical();
  const TRect grip = vertical ? TRect{inner.Left, inner.Top + GetGripIndent(), inner.Right, inner.Top + GetGripIndent() + GetGripWidth()}
                              : TRect{inner.Left + GetGripIndent(), inner.Top, inner.Left + GetGripIndent() + GetGripWidth(), inner.Bottom};
  XpDraw(totRebar, dc, vertical ? kXpRpGrippervert : kXpRpGripper, 1, grip);
}

void TdxBarXPPainter::DrawFloatingBorder(TdxBarControl* toolbar, HDC dc, const TRect& rect) {
  XpFlatPainter().DrawFloatingBorder(toolbar, dc, rect);
}

TColor TdxBarXPPainter::GetFloatingCaptionColor(TCustomdxBarControl* barControl, Boolean active) {
  TdxBarManager* manager = barControl ? barControl->GetOwnerBarManager() : GetBarManager();
  const Boolean ownerActive = manager ? manager->IsOwnerFormActive() : active;
  return TColor(GetSysColor(ownerActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
}

void TdxBarXPPainter::DrawMDIChildButton(TdxBarControl* toolbar, Integer kind, const TRect& rect, HDC dc,
                                         Integer state) {
  toolbar->DrawBackground(dc, rect, toolbar->GetBackgroundBrush(), clNone);
  static const int parts[] = {kXpWpMdiminbutton, kXpWpMdirestorebutton, kXpWpMdiclosebutton};
  const int themeState = state == 1 ? 4 : state == 2 ? 2 : state == 4 ? 3 : 1;
  XpDraw(totWindow, dc, parts[std::clamp(kind, 0, 2)], themeState, rect);
}

Integer TdxBarXPPainter::GetDetachCaptionHeight(TdxBarSubMenuControl* subMenu) {
  return TdxBarPainter::GetDetachCaptionHeight(subMenu) + 1;
}

void TdxBarXPPainter::CalcMenuGroupSeparatorRect(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control,
                                                 TRect& rect, const TRect& itemRect) {
  const Integer height = subMenu ? subMenu->GetBeginGroupSize() : GetMenuSeparatorSize();
  rect = TRect{itemRect.Left, itemRect.Top - height, itemRect.Right, itemRect.Top};
}

void TdxBarXPPainter::DeflateDetachCaptionRect(TdxBarSubMenuControl* subMenu, TRect& rect) {
  rect = TRect{rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2};
}

void TdxBarXPPainter::DrawMenuFrame(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  if (subMenu && subMenu->IsDetachCaptionVisible()) {
    RECT inner{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Top + 1 + GetDetachCaptionHeight(subMenu) + 1};
    FrameRect(dc, &inner, GetMenuBrush(subMenu));
    TRect caption = rect;
    DeflateDetachCaptionRect(subMenu, caption);
    caption.Bottom = caption.Top + TdxBarPainter::GetDetachCaptionHeight(subMenu);
    FillMenuArea(subMenu, dc, caption);
  }
}

HBRUSH TdxBarXPPainter::GetMenuBrush(TCustomdxBarControl* barControl) { return GetSysColorBrush(COLOR_MENU); }

void TdxBarXPPainter::DrawMenuClientFrame(TdxBarSubMenuControl* subMenu, HDC dc, HBRUSH brush, const TRect& rect) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FrameRect(dc, &r, GetMenuBrush(subMenu));
}

void TdxBarXPPainter::DrawMenuGroupSeparator(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control,
                                             const TRect& rect, TcxCanvas* canvas) {
  const Boolean useBrush = subMenu && subMenu->IsNonRecent(control) && !subMenu->StartsRecentGroup(control);
  FillItemBackground(control, canvas->GetHandle(), useBrush, subMenu ? subMenu->GetBackgroundBrush() : GetMenuBrush(nullptr),
                     rect);
  DrawMenuSeparatorLine(canvas, rect);
}

void TdxBarXPPainter::DrawMenuSeparatorLine(TcxCanvas* canvas, const TRect& rect) {
  XpDraw(totToolBar, canvas->GetHandle(), kXpTpSeparatorvert, 1, rect);
}

Boolean TdxBarXPPainter::IsEditSelectedInMenu(TdxBarItemControlDrawParams* params) {
  return params->HostKind == hkMenu && (params->Selected || XpNonRecent(params->Owner));
}

HBRUSH TdxBarXPPainter::GetEditBrush(TdxBarItemControl* control) {
  return control ? control->GetBkBrush() : GetToolbarBrush();
}

void TdxBarXPPainter::DrawEditFrame(TdxBarItemControlDrawParams* params, TRect& rect) {
  HDC dc = params->Canvas->GetHandle();
  const int state = params->Enabled ? 1 : 4;
  const TRect outer = rect;
  TRect content = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  HTHEME theme = XpTheme(totEdit);
  RECT b{rect.Left, rect.Top, rect.Right, rect.Bottom}, c{};
  if (theme && GetThemeBackgroundContentRect(theme, dc, kXpEpEdittext, state, b, c) == S_OK)
    content = TRect{c.Left, c.Top, c.Right, c.Bottom};
  rect = content;
  HRGN saved = nullptr;
  Boolean had = false;
  SaveClipRegion(dc, saved, had);
  ExcludeClipRect(dc, content.Left, content.Top, content.Right, content.Bottom);
  auto* edit = dynamic_cast<TdxBarEditLikeControlDrawParams*>(params);
  const Boolean readOnly = edit && edit->ReadOnlyDisplay;
  if (!params->Selected && ((params->Enabled && params->HostKind != hkMenu) || readOnly))
    FillItemBackground(params->Owner, dc, XpNonRecent(params->Owner), XpParentBrush(this, params->Owner), outer);
  else
    XpDraw(totEdit, dc, kXpEpEdittext, state, outer);
  RestoreClipRegion(dc, saved, had);
}

void TdxBarXPPainter::DrawComboDropDownButton(TdxBarItemControlDrawParams* params, const TRect& rect) {
  HDC dc = params->Canvas->GetHandle();
  const int state = !params->Enabled ? 4 : params->MenuOpen ? 3 : params->Selected ? 2 : 1;
  HTHEME theme = XpTheme(totComboBox);
  if (theme && IsThemeBackgroundPartiallyTransparent(theme, kXpCpDropdownbutton, state)) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(GetEditColor(params)));
    XpFill(dc, rect, brush);
    DeleteObject(brush);
  }
  XpDraw(totComboBox, dc, kXpCpDropdownbutton, state, rect);
}

void TdxBarXPPainter::EraseItemFrame(TdxBarItemControlDrawParams* params, const TRect& rect) {
  FrameItemBackground(params->Owner, params->Canvas->GetHandle(), false, XpParentBrush(this, params->Owner), rect);
}

void TdxBarXPPainter::DrawDropDownPanel(HWND window, Boolean hasPanel, Integer corner, TRect& gripRect,
                                        TRect& closeRect, Boolean hot, Boolean down) {
  gripRect = closeRect = TRect();
  if (!window) return;
  RECT windowRect{}, client{};
  GetWindowRect(window, &windowRect);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const TRect r{0, 0, windowRect.Right - windowRect.Left, windowRect.Bottom - windowRect.Top};
  const Integer bw = std::max<Integer>(origin.X - windowRect.Left, 0);
  HDC dc = GetWindowDC(window);
  if (!dc) return;
  RECT frame{r.Left, r.Top, r.Right, r.Bottom};
  FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
  if (hasPanel) {
    const Integer height = GetDropDownPanelHeight();
    TRect panel{r.Left + bw, r.Top + bw, r.Right - bw, r.Bottom - bw};
    if (corner == 0 || corner == 1) {
      panel.Bottom = panel.Top + height - 1;
      XpFill(dc, TRect{panel.Left, panel.Bottom, panel.Right, panel.Bottom + 1}, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
      const Integer line = panel.Bottom - height;
      XpFill(dc, TRect{panel.Left, line, panel.Right, line + 1}, GetSysColorBrush(COLOR_BTNSHADOW));
      panel.Top = line + 1;
    }
    HRGN saved = nullptr;
    Boolean had = false;
    SaveClipRegion(dc, saved, had);
    // The grip: the scroll bar theme's size box in the corner on button face.
    const TSize gripSize = XpMetrics().SizeGripSize;
    TRect grip = panel;
    const Integer gw = std::max<Integer>(gripSize.cx, GetSystemMetrics(SM_CXVSCROLL));
    const Integer gh = std::max<Integer>(gripSize.cy, GetSystemMetrics(SM_CYHSCROLL));
    if (corner == 1 || corner == 3)
      grip.Left = grip.Right - gw;
    else
      grip.Right = grip.Left + gw;
    if (corner == 0 || corner == 1)
      grip.Bottom = std::min(grip.Bottom, grip.Top + gh);
    else
      grip.Top = std::max(grip.Top, grip.Bottom - gh);
    XpFill(dc, grip, GetSysColorBrush(COLOR_BTNFACE));
    XpDraw(totStatus, dc, kXpSpGripper, 0, grip);
    ExcludeClipRect(dc, grip.Left, grip.Top, grip.Right, grip.Bottom);
    grip = TRect{grip.Left - 2, std::max(grip.Top - 2, panel.Top), grip.Right + 2, std::min(grip.Bottom + 2, panel.Bottom)};
    gripRect = TRect{grip.Left + windowRect.Left, grip.Top + windowRect.Top, grip.Right + windowRect.Left,
                     grip.Bottom + windowRect.Top};
    // The close button: the window theme's small close button at the other end.
    TSize size;
    GetCaptionButtonSize(size);
    const Integer offset = std::max<Integer>((panel.Height() - size.cy) / 2, 0);
    TRect button{0, panel.Top + offset, 0, panel.Top + offset + size.cy};
    if (corner == 1 || corner == 3)
      button.Left = panel.Left + offset;
    else
      button.Left = panel.Right - offset - size.cx;
    button.Right = button.Left + size.cx;
    XpFill(dc, button, GetSysColorBrush(COLOR_BTNFACE));
    XpDraw(totWindow, dc, kXpWpSmallclosebutton, hot && down ? 3 : (hot || down) ? 2 : 1, button);
    ExcludeClipRect(dc, button.Left, button.Top, button.Right, button.Bottom);
    closeRect = TRect{button.Left + windowRect.Left, button.Top + windowRect.Top, button.Right + windowRect.Left,
                      button.Bottom + windowRect.Top};
    XpFill(dc, panel, GetSysColorBrush(COLOR_BTNFACE));
    RestoreClipRegion(dc, saved, had);
    // Both scroll bars of a downward window leave their corner square, filled in button face.
    const LONG style = GetWindowLong(window, GWL_STYLE);
    if ((corner == 2 || corner == 3) && (style & WS_HSCROLL) && (style & WS_VSCROLL)) {
      const Integer w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
      XpFill(dc, TRect{panel.Right - w, panel.Top - 1 - h, panel.Right, panel.Top - 1}, GetSysColorBrush(COLOR_BTNFACE));
    }
  }
  ReleaseDC(window, dc);
}

Integer TdxBarXPPainter::GetDropDownPanelHeight() {
  TSize close;
  GetCaptionButtonSize(close);
  const TSize grip = XpMetrics().SizeGripSize;
  return std::max(close.cy + 4, grip.cy + 1);
}
