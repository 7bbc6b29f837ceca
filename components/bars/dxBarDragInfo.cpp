#include "components/bars/dxBarDragInfo.h"

#include <cstdlib>

#include "components/bars/dxBarDesignController.h"
#include "components/bars/dxBarDrawing.h"
#include "components/bars/dxBarPopupMenuEd.h"
#include "components/foundation/cxClasses.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {
TdxBarDragInfo* gActiveDrag = nullptr;

// A press on a link that waits for the mouse to move far enough.
struct TPendingItemDrag {
  TcxObjectLink* Control = nullptr;
  TdxBarItemLink* Link = nullptr;
  TPoint Point{0, 0};
};
TPendingItemDrag gPendingDrag;

TCustomdxBarControl* LinkedControl(TcxObjectLink* link) {
  return link ? static_cast<TCustomdxBarControl*>(link->Ref) : nullptr;
}

// The link under a client point of a bar window, with the side of it the point is on and
// whether the point lies in the group gap in front of it.
TdxBarItemControl* ItemControlAtPos(TCustomdxBarControl* control, const TPoint& p, Boolean vertical,
                                    Boolean& firstPart, Boolean& groupGap) {
  firstPart = false;
  groupGap = false;
  for (Integer i = 0; i < control->GetViewInfoCount(); ++i) {
    TdxBarItemControl* itemControl = control->GetViewInfoControl(i);
    TdxBarItemLink* link = itemControl->GetItemLink();
    if (!link) continue;
    const TRect r = link->GetItemRect();
    if (r.Right <= r.Left || r.Bottom <= r.Top) continue;
    if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) {
      firstPart = vertical ? p.Y < (r.Top + r.Bottom) / 2 : p.X < (r.Left + r.Right) / 2;
      return itemControl;
    }
    const Integer gap = control->GetBeginGroupOffset(link);
    if (gap <= 0) continue;
    // The separator room in front of a link that begins a group belongs to that link.
    const TRect g = vertical ? TRect{r.Left, r.Top - gap, r.Right, r.Top} : TRect{r.Left - gap, r.Top, r.Left, r.Bottom};
    if (p.X >= g.Left && p.X < g.Right && p.Y >= g.Top && p.Y < g.Bottom) {
      groupGap = true;
      firstPart = vertical ? p.Y < (g.Top + g.Bottom) / 2 : p.X < (g.Left + g.Right) / 2;
      return itemControl;
    }
  }
  return nullptr;
}

// The view-info neighbours of a link in its window (nil at either end).
Integer ViewIndexOf(TCustomdxBarControl* control, TdxBarItemLink* link) {
  for (Integer i = 0; i < control->GetViewInfoCount(); ++i)
    if (control->GetViewInfoControl(i)->GetItemLink() == link) return i;
  return -1;
}

TdxBarItemLink* ViewNeighbour(TCustomdxBarControl* control, TdxBarItemLink* link, Integer step) {
  const Integer i = ViewIndexOf(control, link);
  if (i < 0) return nullptr;
  const Integer j = i + step;
  if (j < 0 || j >= control->GetViewInfoCount()) return nullptr;
  return control->GetViewInfoControl(j)->GetItemLink();
}

// Whether the link's control ends its row (the next one starts a new line).
Boolean IsLastInRow(TCustomdxBarControl* control, TdxBarItemLink* link, Boolean vertical) {
  TdxBarItemLink* next = ViewNeighbour(control, link, 1);
  if (!next) return true;
  const TRect a = link->GetItemRect(), b = next->GetItemRect();
  return vertical ? b.Left >= a.Right : b.Top >= a.Bottom;
}

// A window whose links changed shows them at once; a docked toolbar takes the room they need.
void RefitBarControl(TCustomdxBarControl* control) {
  if (!control) return;
  control->Refresh(true);
  if (auto* toolbar = dynamic_cast<TdxBarControl*>(control))
    if (TdxDockControl* dock = toolbar->GetDockingStyle() != dsNone ? toolbar->GetDockControl() : nullptr)
      dock->Realign();
}

void RegisterDragCursors() {
  if (!Screen) return;
  Screen->SetCursors(dxBarDragCursor, Screen->GetCursors(crDrag));
  Screen->SetCursors(dxBarDragCopyCursor, Screen->GetCursors(crMultiDrag));
  Screen->SetCursors(dxBarDragNoDropCursor, Screen->GetCursors(crNoDrop));
}
}  // namespace

TdxBarDragInfo* GetActiveBarDrag() { return gActiveDrag; }

void DragBarItem(TdxBarManager* barManager, TdxBarItem* item, TdxBarItemLink* link, const TPoint* downPoint) {
  if (gActiveDrag || !barManager || !item) return;
  TdxBarDragInfo drag(barManager);
  gActiveDrag = &drag;
  try {
    drag.StartDrag(item, link, downPoint);
    drag.TrackDrag();
  } catch (...) {
    drag.FinishDrag();
    gActiveDrag = nullptr;
    throw;
  }
  drag.FinishDrag();
  gActiveDrag = nullptr;
}

// ---- Pending presses

Boolean IsBeyondDragThreshold(const TPoint& from, const TPoint& to) {
  const Integer cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
  return std::abs(to.X - from.X) > cx / 2 || std::abs(to.Y - from.Y) > cy / 2;
}

void BeginPendingItemDrag(TCustomdxBarControl* control, TdxBarItemLink* link, const TPoint& point) {
  ReleaseObjectLink(gPendingDrag.Control);
  gPendingDrag.Control = CreateObjectLink(control);
  gPendingDrag.Link = link;
  gPendingDrag.Point = point;
  if (control && control->HandleAllocated()) SetCapture(control->GetHandle());
}

Boolean CancelPendingItemDrag(TCustomdxBarControl* control) {
  if (!gPendingDrag.Control || LinkedControl(gPendingDrag.Control) != control) return false;
  ReleaseObjectLink(gPendingDrag.Control);
  if (control && control->HandleAllocated() && GetCapture() == control->GetHandle()) ReleaseCapture();
  return true;
}

Boolean ContinuePendingItemDrag(TCustomdxBarControl* control, const TPoint& point) {
  if (!gPendingDrag.Control || LinkedControl(gPendingDrag.Control) != control) return false;
  if (!IsBeyondDragThreshold(gPendingDrag.Point, point)) return true;
  const TPoint down = gPendingDrag.Point;
  TdxBarItemLink* pressed = gPendingDrag.Link;
  CancelPendingItemDrag(control);
  // The pressed link, while the window still shows it.
  TdxBarItemLink* link = nullptr;
  for (Integer i = 0; !link && i < control->GetViewInfoCount(); ++i)
    if (control->GetViewInfoControl(i)->GetItemLink() == pressed) link = pressed;
  TdxBarManager* manager = control->GetOwnerBarManager();
  if (!link || !link->GetItem() || !manager) return true;
  POINT screen{down.X, down.Y};
  ClientToScreen(control->GetHandle(), &screen);
  const TPoint screenDown{screen.X, screen.Y};
  DragBarItem(manager, link->GetItem(), link, &screenDown);
  return true;
}

// ---- The drag

TdxBarDragInfo::~TdxBarDragInfo() {
  ReleaseObjectLink(FTarget);
  ReleaseObjectLink(FMarkControl);
}

TCustomdxBarControl* TdxBarDragInfo::GetTargetControl() const { return LinkedControl(FTarget); }

TCustomdxBarControl* TdxBarDragInfo::GetMarkControl() const { return LinkedControl(FMarkControl); }

void TdxBarDragInfo::StartDrag(TdxBarItem* item, TdxBarItemLink* link, const TPoint* downPoint) {
  FItem = item;
  FItemLink = link;
  POINT down{};
  if (downPoint)
    down = POINT{downPoint->X, downPoint->Y};
  else
    GetCursorPos(&down);
  if (link) {
    if (TCustomdxBarControl* control = link->GetOwnerLinks()->GetBarControl(); control && control->HandleAllocated()) {
      ScreenToClient(control->GetHandle(), &down);
      const TRect r = link->GetItemRect();
      FDownPoint = TPoint{down.X - r.Left, down.Y - r.Top};
    }
  }
  RegisterDragCursors();
  FSavedCursor = GetCursor();
  FCaptureWindow = FBarManager->GetParentHandle();
  if (FCaptureWindow) SetCapture(FCaptureWindow);
  SetState(dsNoDrop);
}

void TdxBarDragInfo::TrackDrag() {
  TdxBarDesignController* controller = GetBarDesignController();
  if (controller) controller->SetDragging(true);
  try {
    Track();
  } catch (...) {
    if (controller) controller->SetDragging(false);
    throw;
  }
  if (controller) controller->SetDragging(false);
}

void TdxBarDragInfo::Track() {
  // The moves that started the drag may have been merged into one: take the place at once.
  MouseMoved();
  MSG msg{};
  for (;;) {
    if (!FCaptureWindow || GetCapture() != FCaptureWindow) return;
    const BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == -1) return;
    if (got == 0) {
      PostQuitMessage(Integer(msg.wParam));
      return;
    }
    switch (msg.message) {
      case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) {
          SetState(dsNoneDrag);
          return;
        }
        if (msg.wParam == VK_CONTROL) {
          FCtrlOverride = 1;
          if (CanDropHere()) SetState(dsCopy);
        }
        continue;
      case WM_KEYUP:
        if (msg.wParam == VK_CONTROL) {
          FCtrlOverride = 0;
          if (CanDropHere()) UpdateState(true);
        }
        continue;
      case WM_MOUSEMOVE:
        MouseMoved();
        continue;
      case WM_LBUTTONUP:
        MouseMoved();
        Drop();
        return;
      default:
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
  }
}

void TdxBarDragInfo::MouseMoved() {
  POINT cursor{};
  GetCursorPos(&cursor);
  TCustomdxBarControl* target = nullptr;
  // Over the submenu editor its submenu opens, so that the item can be dropped into it.
  if (TdxBarSubMenuEditor* editor = GetSubMenuEditor(); editor && editor->HandleAllocated())
    if (WindowFromPoint(cursor) == editor->GetHandle()) editor->Perform(CM_ACTIVATE, 0, 0);
  // The bar window under the mouse, when it is one of this manager's being customized.
  for (HWND window = WindowFromPoint(cursor); window && !target; window = GetParent(window))
    if (auto* control = dynamic_cast<TCustomdxBarControl*>(FindControl(window));
        control && control->GetOwnerBarManager() == FBarManager)
      target = control;
  if (target && !target->InCustomizingMode()) target = nullptr;
  if (target != GetTargetControl()) {
    ReleaseObjectLink(FTarget);
    FTarget = CreateObjectLink(target);
  }
  TdxBarItemLink* link = nullptr;
  if (target) {
    POINT client = cursor;
    ScreenToClient(target->GetHandle(), &client);
    FVertical = target->IsVertical();
    TdxBarItemControl* control = ItemControlAtPos(target, TPoint{client.X, client.Y}, FVertical, FFirstPart, FGroupGap);
    link = control ? control->GetItemLink() : nullptr;
    if (link && link != FTargetLink) {
      HideMark();
      // The link under the mouse is the window's selected one while the drag passes over it.
      orv::TObjectLinkGuard alive(target);
      target->ChangeSelection(control);
      if (!alive.Alive()) return;
      // Repainted before the mark is drawn over it.
      FlushPaintMessages();
      if (!alive.Alive()) return;
    }
  } else {
    FFirstPart = FGroupGap = false;
  }
  FTargetLink = link;
  UpdateState(true);
}

Boolean TdxBarDragInfo::CanDropHere() const {
  TCustomdxBarControl* target = GetTargetControl();
  if (!target) return false;
  if (FTargetLink) return FTargetLink->GetControl() != nullptr;
  // An empty bar takes a drop anywhere.
  TdxBarItemLinks* links = target->GetItemLinks();
  return links && links->GetVisibleItemCount() == 0;
}

Boolean TdxBarDragInfo::IsCopyMode() const {
  if (!FItemLink) return true;
  if (FCtrlOverride >= 0) return FCtrlOverride == 1;
  return GetAsyncKeyState(VK_CONTROL) < 0;
}

Boolean TdxBarDragInfo::LeavesLinkInPlace() const {
  if (!CanDropHere()) return true;
  if (!FItemLink) return false;
  TCustomdxBarControl* target = GetTargetControl();
  if (FTargetLink == FItemLink) return !(FGroupGap && FFirstPart);
  if (!target || FItemLink->GetOwnerLinks()->GetBarControl() != target) return false;
  TdxBarItemLink* previous = ViewNeighbour(target, FItemLink, -1);
  TdxBarItemLink* next = ViewNeighbour(target, FItemLink, 1);
  // Just after the link before it, or just before the link after it.
  if (previous && FTargetLink == previous && !FItemLink->GetBeginGroup() && !FGroupGap && !FFirstPart) return true;
  if (next && FTargetLink == next && FFirstPart && (FGroupGap || !next->GetBeginGroup())) return true;
  return false;
}

void TdxBarDragInfo::UpdateState(Boolean accept) {
  if (!accept || !CanDropHere())
    SetState(dsNoDrop);
  else if (IsCopyMode())
    SetState(dsCopy);
  else if (FTargetLink && FItemLink && (FTargetLink == FItemLink || LeavesLinkInPlace()))
    SetState(dsSamePlace);
  else
    SetState(dsMove);
}

void TdxBarDragInfo::SetState(TdxBarDragState value) {
  FState = value;
  if (value == dsNoDrop) FTargetLink = nullptr;
  ApplyCursorAndMark();
}

void TdxBarDragInfo::ApplyCursorAndMark() {
  switch (FState) {
    case dsNoneDrag:
      SetCursor(FSavedCursor);
      HideMark();
      break;
    case dsNoDrop:
      SetCursor(Screen ? Screen->GetCursors(dxBarDragNoDropCursor) : nullptr);
      HideMark();
      break;
    case dsSamePlace:
      SetCursor(Screen ? Screen->GetCursors(dxBarDragCursor) : nullptr);
      HideMark();
      break;
    case dsIntoCategory:
      SetCursor(Screen ? Screen->GetCursors(dxBarDragCursor) : nullptr);
      break;
    case dsCopy:
      SetCursor(Screen ? Screen->GetCursors(dxBarDragCopyCursor) : nullptr);
      ShowMark();
      break;
    case dsMove:
      SetCursor(Screen ? Screen->GetCursors(dxBarDragCursor) : nullptr);
      if (LeavesLinkInPlace())
        HideMark();
      else
        ShowMark();
      break;
  }
}

void TdxBarDragInfo::DrawMark(HDC dc, const TRect& r, Boolean vertical, Boolean firstPart) {
  POINT points[12];
  if (vertical) {
    const Integer t = firstPart ? r.Top : r.Bottom - 6;
    const POINT p[12] = {{r.Left, t},          {r.Left, t + 6},          {r.Left + 1, t + 1},  {r.Left + 1, t + 5},
                         {r.Left + 2, t + 2},  {r.Right - 2, t + 2},     {r.Left + 2, t + 3},  {r.Right - 2, t + 3},
                         {r.Right - 2, t + 1}, {r.Right - 2, t + 5},     {r.Right - 1, t},     {r.Right - 1, t + 6}};
    for (Integer i = 0; i < 12; ++i) points[i] = p[i];
  } else {
    const Integer l = firstPart ? r.Left : r.Right - 6;
    const POINT p[12] = {{l, r.Top},          {l + 6, r.Top},          {l + 1, r.Top + 1},  {l + 5, r.Top + 1},
                         {l + 2, r.Top + 2},  {l + 2, r.Bottom - 2},   {l + 3, r.Top + 2},  {l + 3, r.Bottom - 2},
                         {l + 1, r.Bottom - 2}, {l + 5, r.Bottom - 2}, {l, r.Bottom - 1},   {l + 6, r.Bottom - 1}};
    for (Integer i = 0; i < 12; ++i) points[i] = p[i];
  }
  const DWORD counts[6] = {2, 2, 2, 2, 2, 2};
  const int rop = SetROP2(dc, R2_NOT);
  PolyPolyline(dc, points, counts, 6);
  SetROP2(dc, rop == 0 ? R2_COPYPEN : rop);
}

void TdxBarDragInfo::ShowMark() {
  TCustomdxBarControl* target = GetTargetControl();
  if (!target || !target->HandleAllocated()) {
    HideMark();
    return;
  }
  // Where the new link would stand: at the start or the end of a link.
  TdxBarItemLink* link = FTargetLink;
  Boolean first = FFirstPart;
  TRect rect;
  if (link) {
    if (FGroupGap) {
      if (FFirstPart)
        if (TdxBarItemLink* previous = ViewNeighbour(target, link, -1)) link = previous;
      first = !FFirstPart;
    } else if (!FFirstPart) {
      TdxBarItemLink* next = ViewNeighbour(target, link, 1);
      if (next && !IsLastInRow(target, link, FVertical) && !next->GetBeginGroup()) {
        link = next;
        first = true;
      }
    }
    rect = link->GetItemRect();
  } else {
    rect = target->GetClientRect();
    first = true;
  }
  if (FMarkShown && GetMarkControl() == target && rect == FMarkRect && first == FMarkFirstPart &&
      FVertical == FMarkVertical)
    return;
  HideMark();
  FMarkControl = CreateObjectLink(target);
  FMarkRect = rect;
  FMarkFirstPart = first;
  FMarkVertical = FVertical;
  FMarkShown = true;
  HDC dc = GetDC(target->GetHandle());
  DrawMark(dc, FMarkRect, FMarkVertical, FMarkFirstPart);
  ReleaseDC(target->GetHandle(), dc);
}

void TdxBarDragInfo::HideMark() {
  if (!FMarkShown) return;
  FMarkShown = false;
  // Drawn again, the inverted strokes go.
  if (TCustomdxBarControl* control = GetMarkControl(); control && control->HandleAllocated()) {
    HDC dc = GetDC(control->GetHandle());
    DrawMark(dc, FMarkRect, FMarkVertical, FMarkFirstPart);
    ReleaseDC(control->GetHandle(), dc);
  }
  ReleaseObjectLink(FMarkControl);
}

void TdxBarDragInfo::RemoveDraggedLink() {
  if (!FItemLink) return;
  TdxBarItemLink* link = FItemLink;
  FItemLink = nullptr;
  link->Free();
  FBarManager->DesignerModified();
}

void TdxBarDragInfo::DropOnSamePlace() {
  TdxBarItemLink* link = FItemLink;
  TCustomdxBarControl* control = link ? link->GetOwnerLinks()->GetBarControl() : nullptr;
  if (!control || !control->HandleAllocated()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(control->GetHandle(), &cursor);
  const TRect r = link->GetItemRect();
  const Integer d = FVertical ? cursor.Y - r.Top - FDownPoint.Y : cursor.X - r.Left - FDownPoint.X;
  if (std::abs(d) <= 3) return;
  // Towards the end starts a group before the link, towards the start ends it.
  if ((d > 0) == link->GetBeginGroup()) {
    control->SetSelectedItemControl(link->GetControl());
    return;
  }
  link->SetBeginGroup(d > 0);
  RefitBarControl(control);
  FBarManager->DesignerModified();
}

void TdxBarDragInfo::Drop() {
  const TdxBarDragState state = FState;
  switch (state) {
    case dsNoDrop:
      SetState(dsNoneDrag);
      RemoveDraggedLink();
      return;
    case dsSamePlace:
      SetState(dsNoneDrag);
      DropOnSamePlace();
      return;
    case dsCopy:
    case dsMove: {
      SetState(dsNoneDrag);
      TCustomdxBarControl* target = GetTargetControl();
      if (!target) return;
      TdxBarItemLinks* links = target->GetItemLinks();
      TdxBarItemLink* link = nullptr;
      FBarManager->LockDesignerModified(true);
      FBarManager->BeginUpdate();
      try {
        link = links->Add();
        if (FItemLink) {
          link->Assign(FItemLink);
          link->SetBeginGroup(false);
        } else {
          link->SetItem(FItem);
        }
        if (FTargetLink) {
          Integer index = FTargetLink->GetIndex() + (!FGroupGap && !FFirstPart ? 1 : 0);
          if (index > link->GetIndex()) --index;
          link->SetIndex(index);
          // Dropped in front of a group's first link, the new one takes over the group start.
          if ((FGroupGap && !FFirstPart) || (!FGroupGap && FFirstPart && FTargetLink->GetBeginGroupValue())) {
            link->SetBeginGroup(true);
            FTargetLink->SetBeginGroup(false);
          }
        }
        if (state == dsMove) RemoveDraggedLink();
      } catch (...) {
        FBarManager->EndUpdate();
        FBarManager->LockDesignerModified(false);
        throw;
      }
      FBarManager->EndUpdate();
      FBarManager->LockDesignerModified(false);
      // The window shows the new link at once, in its place.
      RefitBarControl(GetTargetControl());
      FBarManager->ChangeSelection(link, 2);
      return;
    }
    default:
      SetState(dsNoneDrag);
      return;
  }
}

void TdxBarDragInfo::FinishDrag() {
  if (FCaptureWindow && GetCapture() == FCaptureWindow) ReleaseCapture();
  SetState(dsNoneDrag);
  if (TdxBarItemControl* control = FItemLink ? FItemLink->GetControl() : nullptr; control && control->GetParent())
    control->GetParent()->RepaintItemControl(control);
  FItem = nullptr;
  FItemLink = nullptr;
  ReleaseObjectLink(FTarget);
  FTargetLink = nullptr;
}
