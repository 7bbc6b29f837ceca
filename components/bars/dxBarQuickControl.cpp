// The dxBar unit, continued: the "More Buttons" popup of a toolbar's mark.

#include "components/bars/dxBarQuickControl.h"

#include <algorithm>
#include <vector>

#include "components/bars/dxBarQuickCust.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGeometry.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

// Only one mark popup is open at a time: the one the last pressed mark made.
TdxBarQuickControl* gOpenQuickControl = nullptr;

}  // namespace

TdxBar* TdxBarQuickControl::MakePopupBar(TdxBarControl* parent) {
  TdxBarManager* manager = parent ? parent->GetOwnerBarManager() : nullptr;
  if (!manager || !manager->GetBars()) return nullptr;
  TdxBar* bar = nullptr;
  manager->GetBars()->BeginUpdate();
  try {
    bar = manager->GetBars()->Add();
    bar->SetAllowQuickCustomizing(false);
    bar->SetHidden(true);
    bar->SetDockingStyle(dsNone);
    bar->GetFont()->Assign(parent->GetFont());
    bar->SetUseOwnFont(false);
  } catch (...) {
    manager->GetBars()->EndUpdate();
    throw;
  }
  manager->GetBars()->EndUpdate();
  return bar;
}

TdxBarQuickControl::TdxBarQuickControl(TdxBarControl* parent)
    : TdxBarControl(parent ? parent->GetOwnerBarManager() : nullptr, MakePopupBar(parent)), FParentToolbar(parent) {
  FDockingStyle = dsNone;
  FPopupSourceBar = parent ? parent->GetBar() : nullptr;
  if (parent) {
    SetParentBarControl(parent);
    FOwnerBounds = parent->GetMarkScreenRect();
  }
  if (TdxBar* bar = GetBar()) bar->GetItemLinks()->SetInternal(true);
  FHidingTimer = new TcxTimer(nullptr);
  FHidingTimer->SetEnabled(false);
  FHidingTimer->SetInterval(200);
  FHidingTimer->SetOnTimer(TNotifyEvent(this, &TdxBarQuickControl::HidingCheck));
  FShadow = new TdxBarShadow(this);
  gOpenQuickControl = this;
}

void TdxBarQuickControl::BeforeDestruction() {
  if (gOpenQuickControl == this) gOpenQuickControl = nullptr;
  if (FHidingTimer) FHidingTimer->SetEnabled(false);
  if (FShadow) FShadow->SetShown(false);
  inherited::BeforeDestruction();
}

TdxBarQuickControl::~TdxBarQuickControl() {
  orv::Free(FHidingTimer);
  orv::Free(FShadow);
  if (FParentToolbar && FParentToolbar->FQuickControl == this) FParentToolbar->FQuickControl = nullptr;
  // The quick-customization entry was made for this popup alone: it goes after the links that
  // show it, with the hidden bar.
  std::vector<TComponent*> entries;
  if (FItemLinks)
    for (Integer i = 0; i < FItemLinks->GetCount(); ++i)
      if (auto* access = dynamic_cast<TdxBarQuickAccessItem*>(FItemLinks->GetItem(i)->GetItem()))
        entries.push_back(access);
  SetItemLinks(nullptr);
  // A bar freed first (with its manager) has already let go of this window.
  if (TdxBar* bar = GetBar()) {
    ForgetBar();
    if (bar->GetControl() == this) bar->SetControl(nullptr);
    bar->Free();
  }
  for (TComponent* entry : entries) entry->Free();
}

TdxBarQuickControl* TdxBarQuickControl::GetOpenQuickControl() { return gOpenQuickControl; }

HBRUSH TdxBarQuickControl::GetBackgroundBrush() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->GetQuickControlBrush(this) : GetSysColorBrush(COLOR_BTNFACE);
}

void TdxBarQuickControl::DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color) {
  // No picture, colour or dock shows through the popup: skip the toolbar's background and let
  // the plain bar fill it with this control's own brush.
  TCustomdxBarControl::DrawBackground(dc, rect, brush, color);
}

TSize TdxBarQuickControl::GetPopupSize() {
  if (!HandleAllocated()) HandleNeeded();
  TSize size = CalcFloatingSize(0);
  TRect borders;
  GetBorders(borders);
  return TSize{size.cx + borders.Left + borders.Right, size.cy + borders.Top + borders.Bottom};
}

void TdxBarQuickControl::PopupAt(const TRect& ownerRect) {
  FClosedByEscape = false;
  FOwnerBounds = ownerRect;
  TdxBarPainter* painter = GetPainter();
  const Boolean parentFloats = FParentToolbar && FParentToolbar->GetDockingStyle() == dsNone;
  const Boolean alignLeft = parentFloats && painter && painter->DrawsQuickControlFrame();
  const Boolean vertical = FParentToolbar && FParentToolbar->IsVertical();
  const TSize size = GetPopupSize();
  const Integer w = size.cx, h = size.cy;
  Integer x, y;
  if (vertical) {
    x = ownerRect.Right;
    y = ownerRect.Top;
  } else {
    x = alignLeft ? ownerRect.Left : ownerRect.Right - w;
    y = ownerRect.Bottom;
  }
  const TRect area = GetWorkAreaAtPoint(TPoint{x, y});
  if (vertical) {
    if (x + w > area.Right) x = ownerRect.Left - w;
    if (y < area.Top) y = area.Top;
    if (y + h > area.Bottom) y = area.Bottom - h;
  } else {
    if (x < area.Left) x = area.Left;
    if (x + w > area.Right) x = area.Right - w;
    if (y + h > area.Bottom) y = ownerRect.Top - h;
  }
  SetBounds(x, y, w, h);
  SetWindowPos(GetHandle(), nullptr, x, y, w, h, SWP_NOACTIVATE | SWP_NOZORDER | SWP_FRAMECHANGED);
  Refresh(true);
  SetVisible(true);
  ShowWindow(GetHandle(), SW_SHOWNOACTIVATE);
  RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  UpdateShadow();
}

void TdxBarQuickControl::UpdateShadow() {
  if (!FShadow || IsDestroying()) return;
  TdxBarPainter* painter = GetPainter();
  if (!painter || !painter->HasShadow(this) || !HandleAllocated() || !IsWindowVisible(GetHandle())) {
    FShadow->SetShown(false);
    return;
  }
  RECT bounds{};
  GetWindowRect(GetHandle(), &bounds);
  const TRect window{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
  // The mark and its popup cast one shadow where they meet.
  TRect owner;
  if (painter->ShadowTouchesOwner(this) && !RectIsEmpty(FOwnerBounds) &&
      (FOwnerBounds.Bottom == window.Top || FOwnerBounds.Top == window.Bottom || FOwnerBounds.Right == window.Left ||
       FOwnerBounds.Left == window.Right))
    owner = FOwnerBounds;
  FShadow->SetRects(owner, window);
  FShadow->SetShown(true);
}

void TdxBarQuickControl::StartHidingTimer() {
  if (FHidingTimer) FHidingTimer->SetEnabled(true);
}

Boolean TdxBarQuickControl::IsHidingTimerRunning() const { return FHidingTimer && FHidingTimer->GetEnabled(); }

void TdxBarQuickControl::HidingCheck(TObject* sender) {
  FHidingTimer->SetEnabled(false);
  TdxBarManager* manager = GetOwnerBarManager();
  TdxBarItemControl* selected = manager ? manager->GetSelectedItem() : nullptr;
  if (!selected || selected->GetParent() == this) return;
  try {
    if (TdxBarControl* parent = FParentToolbar) parent->SetMarkState(0);
  } catch (...) {
    // Closing is tidying up after the user moved on: a failure there must not reach the timer.
  }
}

void TdxBarQuickControl::DoClose() {
  orv::TObjectLinkGuard self(this);
  inherited::DoClose();
  if (!self.Alive()) return;
  TdxBarControl* parent = FParentToolbar;
  if (!parent) return;
  // The press on the mark that closed the popup must not open it again.
  if (GetAsyncKeyState(VK_LBUTTON) < 0 && parent->HandleAllocated() && parent->IsMarkVisible()) {
    POINT p{};
    GetCursorPos(&p);
    ::ScreenToClient(parent->GetHandle(), &p);
    const TRect mark = parent->GetMarkRect();
    if (p.X >= mark.Left && p.X < mark.Right && p.Y >= mark.Top && p.Y < mark.Bottom) parent->FIgnoreMarkClick = true;
  }
  parent->SetMarkState(0);
}

void TdxBarQuickControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST: {
      // The popup is neither moved nor sized: its frame answers as a plain border.
      inherited::WndProc(message);
      if (message.Result != HTCLIENT) message.Result = HTBORDER;
      FLastHitCode = HTCLIENT;
      return;
    }
    case WM_NCPAINT: {
      inherited::WndProc(message);
      if (!HandleAllocated()) return;
      HDC dc = GetWindowDC(GetHandle());
      if (TdxBarPainter* painter = GetPainter()) painter->FillOwnerLinkArea(this, dc);
      ReleaseDC(GetHandle(), dc);
      return;
    }
    case WM_WINDOWPOSCHANGED:
      inherited::WndProc(message);
      UpdateShadow();
      return;
    case WM_DESTROY:
      // The popup may go with its owner form: its shadow goes with it.
      if (FShadow) FShadow->SetShown(false);
      break;
    case WM_RBUTTONDOWN:
      // No context menu on the popup.
      message.Result = DefWindowProc(GetHandle(), message.Msg, message.WParam, message.LParam);
      return;
    default:
      break;
  }
  inherited::WndProc(message);
}

void TdxBarQuickControl::HandleMouseDownOutside(HWND window, UINT message) {
  TdxBarQuickControl* quick = gOpenQuickControl;
  if (!quick || quick->IsActive() || quick->IsDestroying() || !quick->HandleAllocated() || quick->InCustomizingMode())
    return;
  HWND own = quick->GetHandle();
  if (window && (window == own || IsChild(own, window))) return;
  // A menu opened from the popup is in use: outside clicks close that chain, popup included.
  for (TCustomdxBarControl* child = quick->GetChildBarControl(); child; child = child->GetChildBarControl())
    if (child->HandleAllocated() && window && (window == child->GetHandle() || IsChild(child->GetHandle(), window)))
      return;
  TdxBarControl* parent = quick->FParentToolbar;
  const Boolean rightDown = message == WM_RBUTTONDOWN || message == WM_NCRBUTTONDOWN;
  if (parent && parent->HandleAllocated() && window && (window == parent->GetHandle() || IsChild(parent->GetHandle(), window)) &&
      !rightDown)
    return;
  if (parent)
    parent->SetMarkState(0);
  else
    quick->Free();
}
