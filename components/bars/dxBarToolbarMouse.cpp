// The dxBar unit, continued: what the toolbar window does with the mouse outside its items. Its
// hit test tells the grip, the empty room and a floating caption (which drag the toolbar) from
// its items and its "More Buttons" mark; dragging runs the bar collection's move loop, which
// docks the toolbar where the pointer comes near a dock site and floats it elsewhere; the
// borders of a floating toolbar size it; and the mark opens a popup with the links the toolbar
// has no room for.

#include <algorithm>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarDesignController.h"
#include "components/bars/dxBarDrawing.h"
#include "components/bars/dxBarFadingHelpers.h"
#include "components/bars/dxBarQuickControl.h"
#include "components/bars/dxBarQuickCust.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/Forms.h"
#include "platform/runtime/Math.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

Boolean IsInRect(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// The one move in progress (the move loop is modal, so there is never more than one).
struct TBarMoveState {
  TdxBarControl* Control = nullptr;
  TdxBarDockingStyle StartStyle = dsNone;
  // Added to the pointer so that a toolbar grabbed in a row stays in that row while the
  // pointer wanders across it.
  TPoint DragOffset{};
  // Where the pointer holds the window, and the window's size then.
  TPoint GrabPoint{};
  TSize GrabSize{};
  HWND CaptureWindow = nullptr;
};
TBarMoveState gMove;

constexpr UINT_PTR kDockingWaitTimer = 0x7D01;

Boolean CanTakeFocus(TWinControl* control) {
  for (TWinControl* c = control; c; c = c->GetParent()) {
    if (!c->GetVisible() || !c->GetEnabled()) return false;
    if (dynamic_cast<TCustomForm*>(c)) break;
  }
  return true;
}

// The dock site the point docks a toolbar at (nil: it floats there).
TdxDockControl* FindDockTarget(TdxBarControl* toolbar, TPoint point, TdxBarDockingStyle& style) {
  style = dsNone;
  TdxBar* bar = toolbar->GetBar();
  TdxBarManager* manager = toolbar->GetOwnerBarManager();
  if (!bar || !manager) return nullptr;
  // Ctrl held keeps the toolbar floating.
  if (GetAsyncKeyState(VK_CONTROL) < 0) return nullptr;
  static const TdxBarDockingStyle order[] = {dsLeft, dsRight, dsTop, dsBottom};
  for (Integer pass = 0; pass < 2; ++pass) {
    if (pass == 1) {
      if (gMove.DragOffset.X == 0 && gMove.DragOffset.Y == 0) break;
      point = TPoint{point.X - gMove.DragOffset.X, point.Y - gMove.DragOffset.Y};
    }
    for (TdxBarDockingStyle s : order) {
      TdxDockControl* site = GetFormDockControl(manager, s);
      if (!site || !site->HandleAllocated()) continue;
      if (!CanTakeFocus(site) && !manager->IsDesigning()) continue;
      if (!manager->CanDock(bar, s, site)) continue;
      TRect zone;
      site->GetDockingZone(zone);
      if (!IsInRect(zone, point)) continue;
      style = s;
      return site;
    }
  }
  return nullptr;
}

void MoveStep(TPoint point, Boolean byTimer) {
  TdxBarControl* toolbar = gMove.Control;
  TdxBar* bar = toolbar ? toolbar->GetBar() : nullptr;
  TdxBarManager* manager = bar ? bar->GetBarManager() : nullptr;
  if (!manager) return;
  TdxBarDockingStyle style;
  TdxDockControl* site = FindDockTarget(toolbar, point, style);
  // A floating toolbar docks only once the pointer has rested near the site a moment.
  if (!byTimer && toolbar->GetDockingStyle() == dsNone && site && manager->GetWaitForDockingTime() > 0) {
    SetTimer(gMove.CaptureWindow, kDockingWaitTimer, UINT(manager->GetWaitForDockingTime()), nullptr);
    site = nullptr;
    style = dsNone;
  }
  if (!site) point = TPoint{point.X - gMove.DragOffset.X, point.Y - gMove.DragOffset.Y};
  if (style == toolbar->GetDockingStyle() && site == toolbar->GetDockControl()) {
    if (site) {
      site->MoveBarControl(toolbar, point);
    } else {
      const TPoint grab = toolbar->GetSizeForDockingStyle(dsNone);
      SetWindowPos(toolbar->GetHandle(), nullptr, point.X - grab.X, point.Y - grab.Y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return;
  }
  toolbar->MoveToDock(style, point);
}

}  // namespace

// ==== The move loop ===========================================================================

TdxBarControl* TdxBars::GetMovingBarControl() const { return gMove.Control; }

void TdxBars::MoveBarControl(TdxBarControl* barControl) {
  TdxBar* bar = barControl ? barControl->GetBar() : nullptr;
  if (!bar || !bar->CanMove() || gMove.Control || !barControl->HandleAllocated()) return;
  HWND captureWindow = FBarManager ? FBarManager->GetParentHandle() : nullptr;
  if (!captureWindow) return;
  RECT window{};
  GetWindowRect(barControl->GetHandle(), &window);
  POINT cursor{};
  GetCursorPos(&cursor);
  gMove = TBarMoveState{};
  gMove.Control = barControl;
  gMove.StartStyle = barControl->GetDockingStyle();
  gMove.GrabPoint = TPoint{cursor.X - window.Left, cursor.Y - window.Top};
  gMove.GrabSize = TSize{std::max<Integer>(window.Right - window.Left, 1), std::max<Integer>(window.Bottom - window.Top, 1)};
  gMove.CaptureWindow = captureWindow;
  // A toolbar grabbed in its row keeps to that row while the pointer stays within the row's band.
  if (TdxDockControl* site = barControl->GetDockControl())
    if (TdxDockCol* col = site->FindCol(barControl)) {
      TPoint insert{cursor.X, cursor.Y};
      site->GetRowInsertPoint(site->IndexOfRow(col->GetRow()), false, insert);
      if (site->IsVertical())
        gMove.DragOffset.X = insert.X - cursor.X;
      else
        gMove.DragOffset.Y = insert.Y - cursor.Y;
    }
  barControl->SetMoving(true);
  orv::TObjectLinkGuard alive(barControl);
  SetCapture(captureWindow);
  TPoint last{cursor.X, cursor.Y};
  auto finish = [&] {
    KillTimer(captureWindow, kDockingWaitTimer);
    if (GetCapture() == captureWindow) ReleaseCapture();
    gMove = TBarMoveState{};
    if (!alive.Alive()) return;
    barControl->SetMoving(false);
    if (TdxDockControl* site = barControl->GetDockControl()) site->UpdateColumnPositions();
    barControl->StorePosition();
  };
  try {
    MSG msg{};
    while (GetCapture() == captureWindow && alive.Alive()) {
      const BOOL got = GetMessage(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (!got) {
        PostQuitMessage(Integer(msg.wParam));
        break;
      }
      if (msg.message == WM_TIMER && msg.hwnd == captureWindow && msg.wParam == kDockingWaitTimer) {
        KillTimer(captureWindow, kDockingWaitTimer);
        POINT p{};
        GetCursorPos(&p);
        MoveStep(TPoint{p.X + gMove.DragOffset.X, p.Y + gMove.DragOffset.Y}, true);
        continue;
      }
      if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL) {
        // Ctrl decides between docking and floating at once, wherever the pointer is.
        POINT p{};
        GetCursorPos(&p);
        last = TPoint{p.X, p.Y};
        MoveStep(TPoint{p.X + gMove.DragOffset.X, p.Y + gMove.DragOffset.Y}, false);
        continue;
      }
      if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
        continue;
      }
      if (msg.message == WM_MOUSEMOVE) {
        POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        if (msg.hwnd) ::ClientToScreen(msg.hwnd, &p);
        if (p.X == last.X && p.Y == last.Y) continue;
        last = TPoint{p.X, p.Y};
        MoveStep(TPoint{p.X + gMove.DragOffset.X, p.Y + gMove.DragOffset.Y}, false);
        continue;
      }
      if (msg.message == WM_LBUTTONUP) break;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

TPoint TdxBars::GetMoveDragOffset() const { return gMove.DragOffset; }

// ==== Toolbar: moving and sizing ==============================================================

TRect TdxBarControl::GetDragAreaRect() {
  if (FDockingStyle == dsNone || !FBar || FBar->GetBorderStyle() == bbsNone) return TRect();
  return IsVertical() ? TRect{-100, -100, 100, 0} : TRect{-100, -100, 0, 100};
}

void TdxBarControl::SetMoving(Boolean value) {
  if (FMoving == value) return;
  FMoving = value;
  if (HandleAllocated()) Invalidate();
}

TPoint TdxBarControl::GetSizeForDockingStyle(TdxBarDockingStyle style) {
  if (gMove.Control == this && style == gMove.StartStyle && style != dsNone)
    return IsVertical() ? TPoint{-gMove.DragOffset.X, gMove.GrabPoint.Y} : TPoint{gMove.GrabPoint.X, -gMove.DragOffset.Y};
  TSize size;
  CalcBarControlSize(style, size);
  if (gMove.Control != this) return TPoint{size.cx / 2, size.cy / 2};
  // Held at the same proportions as where the user grabbed it.
  return TPoint{MulDiv(size.cx, gMove.GrabPoint.X, gMove.GrabSize.cx),
                MulDiv(size.cy, gMove.GrabPoint.Y, gMove.GrabSize.cy)};
}

void TdxBarControl::MoveToDock(TdxBarDockingStyle style, const TPoint& point) {
  if (!FBar || IsDestroying()) return;
  ShowWindow(GetHandle(), SW_HIDE);
  if (style == dsNone) {
    const TPoint grab = GetSizeForDockingStyle(dsNone);
    FBar->SetFloatLeft(point.X - grab.X);
    FBar->SetFloatTop(point.Y - grab.Y);
  } else {
    FInsertAtPoint = true;
    FInsertPoint = point;
  }
  try {
    if (FBar->GetDockingStyle() == style)
      SetDockingStyle(style);
    else
      FBar->SetDockingStyle(style);
  } catch (...) {
    FInsertAtPoint = false;
    throw;
  }
  FInsertAtPoint = false;
  if (HandleAllocated() && !IsWindowVisible(GetHandle())) ShowWindow(GetHandle(), SW_SHOWNOACTIVATE);
}

void TdxBarControl::ToggleDocking() {
  TdxBarManager* manager = GetOwnerBarManager();
  if (!FBar || !manager || manager->IsDesigning()) return;
  if (FDockingStyle != dsNone) {
    if (!manager->CanDock(FBar, dsNone, nullptr)) return;
    StorePosition();
    FBar->SetDockingStyle(dsNone);
    return;
  }
  // Back to the user dock site it last stood in, when there is one.
  if (TdxBarDockControl* site = FBar->GetDockedDockControl()) {
    if (!manager->CanDock(FBar, site->GetDockingStyle(), site)) return;
    StorePosition();
    FBar->SetDockControl(site);
    return;
  }
  TdxBarDockingStyle style = FBar->GetDockedDockingStyle();
  if (style == dsNone) {
    // Never docked: a row of its own at the end of the top site.
    style = dsTop;
    FBar->SetOneOnRow(true);
    if (TdxDockControl* site = GetFormDockControl(manager, dsTop)) FBar->SetRow(site->GetRowCount());
  }
  if (!manager->CanDock(FBar, style, GetFormDockControl(manager, style))) return;
  StorePosition();
  FBar->SetDockingStyle(style);
}

void TdxBarControl::StorePosition() {
  if (!FBar || FMoving || IsDestroying() || !HandleAllocated()) return;
  TdxBarManager* manager = GetOwnerBarManager();
  if (!manager || manager->InDestruction()) return;
  if (FDockingStyle == dsNone) {
    StoreFloatingPosition();
    return;
  }
  TdxDockControl* site = GetDockControl();
  if (!site || site->IsDestroyingWindows()) return;
  FBar->SetDockedDockingStyle(FDockingStyle);
  FBar->SetDockedDockControl(dynamic_cast<TdxBarDockControl*>(site));
  if (TdxDockCol* col = site->FindCol(this)) {
    TdxDockRow* row = col->GetRow();
    FBar->SetOneOnRow(row->GetColCount() == 1);
    FBar->SetRow(site->IndexOfRow(row));
    FBar->SetDockedLeft(GetLeft());
    FBar->SetDockedTop(GetTop());
  }
}

void TdxBarControl::StoreFloatingPosition() {
  if (!FBar || !HandleAllocated()) return;
  RECT r{};
  GetWindowRect(GetHandle(), &r);
  FBar->SetFloatLeft(r.Left);
  FBar->SetFloatTop(r.Top);
  FBar->SetFloatClientWidth(GetClientWidth());
  FBar->SetFloatClientHeight(GetClientHeight());
}

// ---- Floating sizes

TSize TdxBarControl::CalcFloatingSize(Integer wantedWidth) {
  const Integer minWidth = GetMinWidth(dsNone);
  const Integer length = std::max(wantedWidth, minWidth);
  // The rows the links wrap into at that length; the window is as wide as its longest row.
  Integer longest = 0, position = 0, row = 0, across = 0;
  if (FItemLinks)
    for (Integer i = 0; i < FItemLinks->GetVisibleItemCount(); ++i) {
      TdxBarItemLink* link = FItemLinks->GetVisibleItem(i);
      TdxBarItemControl* c = link->GetControl();
      if (!c) continue;
      const Integer size = c->CalcWidth();
      const Integer gap = link->GetBeginGroup() && position > 0 ? GetBeginGroupSize() : 0;
      if (position > 0 && position + gap + size > length) {
        longest = std::max(longest, position);
        across += row + gap;
        position = size;
        row = c->CalcHeight();
        continue;
      }
      position += gap + size;
      row = std::max(row, c->CalcHeight());
    }
  longest = std::max(longest, position);
  return TSize{std::max(longest, minWidth), std::max(across + row, GetMinHeight(dsNone))};
}

TSize TdxBarControl::CalcVerticalSize(Integer wantedHeight) {
  TSize size = CalcFloatingSize(CalcWidthForStyle(dsNone));
  // Narrower one pixel at a time while the rows stay within the height wanted.
  for (Integer width = size.cx - 1; width >= GetMinWidth(dsNone); --width) {
    const TSize next = CalcFloatingSize(width);
    if (next.cy > wantedHeight) break;
    if (next.cx < size.cx) {
      size = next;
      width = next.cx;
    }
  }
  return size;
}

void TdxBarControl::SizeLoop(Integer hitCode) {
  if (!FBar || FDockingStyle != dsNone || !HandleAllocated()) return;
  TRect borders;
  GetBorders(borders);
  const Integer horz = borders.Left + borders.Right, vert = borders.Top + borders.Bottom;
  RECT start{};
  GetWindowRect(GetHandle(), &start);
  POINT from{};
  GetCursorPos(&from);
  orv::TObjectLinkGuard alive(this);
  HWND window = GetHandle();
  SetCapture(window);
  auto apply = [&](POINT p) {
    TRect r{start.Left, start.Top, start.Right, start.Bottom};
    const Integer dx = p.X - from.X, dy = p.Y - from.Y;
    TSize size;
    switch (hitCode) {
      case HTLEFT:
      case HTRIGHT: {
        const Integer wanted = (hitCode == HTLEFT ? r.Width() - dx : r.Width() + dx) - horz;
        size = CalcFloatingSize(wanted);
        if (hitCode == HTLEFT) r.Left = r.Right - (size.cx + horz); else r.Right = r.Left + size.cx + horz;
        r.Bottom = r.Top + size.cy + vert;
        break;
      }
      default: {
        const Integer wanted = (hitCode == HTTOP ? r.Height() - dy : r.Height() + dy) - vert;
        size = CalcVerticalSize(wanted);
        r.Right = r.Left + size.cx + horz;
        if (hitCode == HTTOP) r.Top = r.Bottom - (size.cy + vert); else r.Bottom = r.Top + size.cy + vert;
        break;
      }
    }
    if (r.Top < -15) r = TRect{r.Left, -15, r.Right, -15 + r.Height()};
    FBar->SetFloatClientWidth(size.cx);
    SetWindowPos(window, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  };
  try {
    MSG msg{};
    while (alive.Alive() && GetCapture() == window) {
      const BOOL got = GetMessage(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (!got) {
        PostQuitMessage(Integer(msg.wParam));
        break;
      }
      if (msg.message == WM_MOUSEMOVE) {
        POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        if (msg.hwnd) ::ClientToScreen(msg.hwnd, &p);
        apply(p);
        continue;
      }
      if (msg.message == WM_LBUTTONUP) break;
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        SetWindowPos(window, nullptr, start.Left, start.Top, start.Right - start.Left, start.Bottom - start.Top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      }
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  } catch (...) {
    if (GetCapture() == window) ReleaseCapture();
    throw;
  }
  if (GetCapture() == window) ReleaseCapture();
  if (alive.Alive()) StorePosition();
}

// ---- Hit test

Integer TdxBarControl::HitTest(const TPoint& screenPoint, Integer systemCode) {
  RECT window{};
  GetWindowRect(GetHandle(), &window);
  TRect borders;
  GetBorders(borders);
  const TPoint local{screenPoint.X - window.Left, screenPoint.Y - window.Top};
  const TPoint p{local.X - borders.Left, local.Y - borders.Top};
  const TRect client = GetClientRect();
  const Boolean inClient = IsInRect(client, p);
  const Boolean customizing = InCustomizingMode();
  auto pressable = [&] {
    TdxBarItemControl* control = inClient ? GetItemControlAtPos(p) : nullptr;
    return control && (customizing || control->CanPress());
  };
  auto remember = [&](Integer code, Integer answer) {
    FLastHitCode = code;
    return answer;
  };
  if (FDockingStyle == dsNone) {
    if (!inClient) {
      TdxBarPainter* painter = GetPainter();
      const Integer fw = painter ? painter->GetFloatingFrameWidth() : 3;
      const Integer fh = painter ? painter->GetFloatingFrameHeight() : 3;
      const Integer w = window.Right - window.Left, h = window.Bottom - window.Top;
      // Only the four sides size the toolbar: its corners give no sizing code.
      if (local.Y < fh) return remember(HTTOP, HTTOP);
      if (local.X >= w - fw) return remember(HTRIGHT, HTRIGHT);
      if (local.Y >= h - fh) return remember(HTBOTTOM, HTBOTTOM);
      if (local.X < fw) return remember(HTLEFT, HTLEFT);
    }
    if (!customizing && IsMarkVisible() && IsInRect(GetMarkRect(), p)) return remember(HTCLIENT, HTCLIENT);
    if (HasCloseButton() && IsInRect(GetCloseButtonRect(), local)) return remember(HTCLOSE, HTCLOSE);
    if (pressable()) return remember(HTCLIENT, HTCLIENT);
    return remember(HTCAPTION, HTCLIENT);
  }
  // Docked: the toolbar answers HTCLIENT everywhere, so that the system never moves it; what a
  // press does is decided by the remembered code.
  if (pressable()) return remember(HTCLIENT, HTCLIENT);
  const Boolean beforeClient = IsVertical() ? p.Y < 0 : p.X < 0;
  if (!beforeClient && IsMarkVisible() && IsInRect(GetMarkRect(), p)) return remember(HTCLIENT, HTCLIENT);
  (void)systemCode;
  return remember(HTCAPTION, HTCLIENT);
}

void TdxBarControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (button == mbLeft && !InCustomizingMode()) {
    const TPoint point{x, y};
    TdxBarPainter* painter = GetPainter();
    // A double click on the mark toggles its popup as a press does.
    if (IsMarkVisible() && IsInRect(GetMarkRect(), point)) {
      if (FIgnoreMarkClick) {
        // The press that closed the mark's popup does not open it again.
        FIgnoreMarkClick = false;
        return;
      }
      if (painter && painter->AllowsQuickCustomizing()) SetMarkState(FMarkState == 2 ? 1 : 2);
      return;
    }
    if (FLastHitCode == HTCAPTION && !shift.Contains(ssDouble)) {
      if (TdxBarManager* manager = GetOwnerBarManager())
        if (manager->GetBars()) manager->GetBars()->MoveBarControl(this);
      return;
    }
  }
  orv::TObjectLinkGuard self(this);
  inherited::MouseDown(button, shift, x, y);
  // Outside customizing the right button offers the toolbars menu, not a menu of the item.
  if (self.Alive() && button == mbRight && !InCustomizingMode())
    if (TdxBarManager* manager = GetOwnerBarManager(); manager && !manager->IsDesigning())
      GetBarDesignController()->ShowToolbarsMenu(manager);
}

void TdxBarControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  // The mark lights up under the pointer while no bar window has the keyboard.
  TdxBarPainter* painter = GetPainter();
  if (!FMoving && FMarkState != 2 && painter && painter->AllowsQuickCustomizing() && IsMarkVisible() &&
      !InCustomizingMode()) {
    const Integer state = IsInRect(GetMarkRect(), TPoint{x, y}) ? 1 : 0;
    if (state != FMarkState) SetMarkState(state);
  }
  inherited::MouseMove(shift, x, y);
}

// ==== Toolbar: the "More Buttons" mark ========================================================

Boolean TdxBarControl::IsMarkVisible() {
  if (!FBar || !FBar->GetShowMark() || IsPopup()) return false;
  if (FTruncated) return true;
  TdxBarPainter* painter = GetPainter();
  return painter && painter->AllowsQuickCustomizing() && FBar->GetAllowQuickCustomizing();
}

Integer TdxBarControl::GetMarkAreaSize() {
  if (!IsMarkVisible()) return 0;
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->GetMarkSize(this) : 11;
}

TRect TdxBarControl::GetMarkRect() {
  TRect rect;
  const Integer size = GetMarkAreaSize();
  if (size == 0) return rect;
  const TRect client = GetClientRect();
  if (FDockingStyle == dsLeft || FDockingStyle == dsRight) {
    rect = TRect{0, client.Height() - size, client.Width(), client.Height()};
  } else if (FDockingStyle != dsNone) {
    rect = TRect{client.Width() - size, 0, client.Width(), client.Height()};
  } else {
    // The caption's own button: a square at the caption's right end, before the close button.
    TRect borders;
    GetBorders(borders);
    const TRect caption = GetCaptionRect();
    const TRect c{caption.Left - borders.Left, caption.Top - borders.Top, caption.Right - borders.Left,
                  caption.Bottom - borders.Top};
    rect = TRect{c.Right - c.Height(), c.Top, c.Right, c.Bottom};
    if (HasCloseButton()) {
      TdxBarPainter* painter = GetPainter();
      const Integer shift = (painter ? painter->GetSmallCaptionHeight() : c.Height()) + 1;
      rect = TRect{rect.Left - shift, rect.Top, rect.Right - shift, rect.Bottom};
    }
    rect.Left = std::max(rect.Left, c.Left);
  }
  if (TdxBarPainter* painter = GetPainter()) painter->CalcMarkRect(this, rect);
  return rect;
}

TRect TdxBarControl::GetMarkScreenRect() {
  TRect r = GetMarkRect();
  if (!HandleAllocated()) return r;
  POINT a{r.Left, r.Top}, b{r.Right, r.Bottom};
  ::ClientToScreen(GetHandle(), &a);
  ::ClientToScreen(GetHandle(), &b);
  return TRect{a.X, a.Y, b.X, b.Y};
}

void TdxBarControl::FillMarkPopup(TdxBarItemLinks* links) {
  if (!FItemLinks || !links) return;
  for (Integer i = 0; i < FItemLinks->GetAvailableItemCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->GetAvailableItem(i);
    if (!link->GetItem()) continue;
    const Boolean shown = link->GetControl() && !RectIsEmpty(link->GetItemRect()) && HasItemControl(link->GetControl());
    if (shown) continue;
    TdxBarItemLink* copy = links->Add();
    copy->SetItem(link->GetItem());
    copy->SetBeginGroup(link->GetBeginGroup() && links->GetCount() > 1);
  }
  // The "Add or Remove Buttons" entry, in a group of its own, where the look and the bar let the
  // user customize the toolbar from its mark.
  TdxBarPainter* painter = GetPainter();
  if (FBar && painter && painter->AllowsQuickCustomizing()) AddQuickCustomizationItem(FBar, links);
}

void TdxBarControl::SetMarkState(Integer value) {
  if (InCustomizingMode() || FMarkState == value) return;
  const Integer old = FMarkState;
  FMarkState = value;
  TdxBarManager* manager = GetOwnerBarManager();
  orv::TObjectLinkGuard alive(this);
  if (TdxBarQuickControl* old = FQuickControl) {
    FQuickControl = nullptr;
    old->FParentToolbar = nullptr;
    if (!old->IsDestroying()) old->Free();
    if (!alive.Alive()) return;
  }
  if (value == 2 && manager) {
    // The popup lists the links the toolbar has no room for, under the mark.
    if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    auto* quick = new TdxBarQuickControl(this);
    FQuickControl = quick;
    if (quick->GetItemLinks()) FillMarkPopup(quick->GetItemLinks());
    quick->PopupAt(GetMarkScreenRect());
    if (!alive.Alive()) return;
    PlayMenuSound(msPopup);
  }
  // Lighting up fades in and going dark fades out, where the look fades (a pressed mark does not).
  if (FMarkFadingHelper && CanFadeMark()) {
    if (old == 1)
      FMarkFadingHelper->FadeOut();
    else if (old == 0)
      FMarkFadingHelper->FadeIn();
  }
  InvalidateMark();
}

Boolean TdxBarControl::CanFadeMark() {
  TdxBarPainter* painter = GetPainter();
  return painter && painter->SupportsFading() && GetGlobalFader();
}

void TdxBarControl::InvalidateMark() {
  if (!HandleAllocated()) return;
  const TRect r = GetMarkRect();
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  InvalidateRect(GetHandle(), &rect, FALSE);
  if (FDockingStyle == dsNone) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TdxBarControl::DrawMark(HDC dc) {
  if (FDockingStyle == dsNone || !IsMarkVisible()) return;
  TdxBarPainter* painter = GetPainter();
  if (!painter) return;
  const TRect rect = GetMarkRect();
  if (RectIsEmpty(rect)) return;
  // While the mark fades, the fader's current frame stands for its background.
  if (FMarkFadingHelper && !FMarkFadingHelper->IsIdle())
    FMarkFadingHelper->DrawFadingFrame(dc, rect);
  else
    painter->DrawMarkBackground(this, dc, GetBackgroundBrush(), FMarkState, rect);
  painter->DrawMarkGlyphs(this, dc, rect);
  ExcludeClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

// ==== Painter: the mark's glyphs ==============================================================

void TdxBarPainter::DrawMarkGlyphs(TdxBarControl* toolbar, HDC dc, const TRect& rect) {
  TdxBar* bar = toolbar->GetBar();
  if (AllowsQuickCustomizing() && bar && bar->GetAllowQuickCustomizing()) {
    const TColor color = TColor(GetSysColor(GetMarkGlyphColor(toolbar)));
    if (!toolbar->IsVertical()) {
      const Integer x = rect.Left + 3, y = rect.Bottom - 7 + (IsCompactHeight(toolbar, rect) ? 1 : 0);
      const TPoint points[] = {{x, y}, {x + 4, y}, {x + 2, y + 2}};
      FillPolygonWithColors(dc, points, 3, color, color);
    } else {
      const Integer x = rect.Left + 5, y = rect.Top + 3;
      const TPoint points[] = {{x, y}, {x, y + 4}, {x - 2, y + 2}};
      FillPolygonWithColors(dc, points, 3, color, color);
    }
  }
  if (toolbar->IsTruncated()) {
    const Integer start = toolbar->IsVertical() ? rect.Top : rect.Left;
    DrawMarkChevrons(toolbar, dc, start + 2, rect);
    DrawMarkChevrons(toolbar, dc, start + 6, rect);
  }
}
