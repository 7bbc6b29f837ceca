#include "components/bars/dxBarDragInfo.h"

#include <cstdlib>

#include "platform/controls/Controls.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {
TdxBarDragInfo* gActiveDrag = nullptr;
}  // namespace

TdxBarDragInfo* GetActiveBarDrag() { return gActiveDrag; }

void DragBarItem(TdxBarManager* barManager, TdxBarItem* item, TdxBarItemLink* link) {
  if (gActiveDrag || !barManager || !item) return;
  TdxBarDragInfo drag(barManager);
  gActiveDrag = &drag;
  try {
    drag.StartDrag(item, link);
    drag.TrackDrag();
  } catch (...) {
    drag.FinishDrag();
    gActiveDrag = nullptr;
    throw;
  }
  drag.FinishDrag();
  gActiveDrag = nullptr;
}

void TdxBarDragInfo::StartDrag(TdxBarItem* item, TdxBarItemLink* link) {
  FItem = item;
  FItemLink = link;
  FState = dsNoDrop;
  FCaptureWindow = FBarManager->GetParentHandle();
  if (FCaptureWindow) SetCapture(FCaptureWindow);
}

void TdxBarDragInfo::TrackDrag() {
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
          FState = dsNoneDrag;
          return;
        }
        if (msg.wParam == VK_CONTROL) FCopying = true;
        continue;
      case WM_KEYUP:
        if (msg.wParam == VK_CONTROL) FCopying = false;
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
  FTarget = nullptr;
  FTargetLink = nullptr;
  // The bar window under the mouse, when it is one of this manager's.
  for (HWND window = WindowFromPoint(cursor); window && !FTarget; window = GetParent(window))
    if (auto* control = dynamic_cast<TCustomdxBarControl*>(FindControl(window)); control && control->GetOwnerBarManager() == FBarManager)
      FTarget = control;
  if (FTarget) {
    POINT client = cursor;
    ScreenToClient(FTarget->GetHandle(), &client);
    FVertical = FTarget->IsVertical();
    TdxBarItemLinks* links = FTarget->GetItemLinks();
    for (Integer i = 0; links && i < links->GetCount(); ++i) {
      const TRect& r = links->GetItem(i)->GetItemRect();
      if (r.Right <= r.Left || client.X < r.Left || client.X >= r.Right || client.Y < r.Top || client.Y >= r.Bottom)
        continue;
      FTargetLink = links->GetItem(i);
      FFirstPart = FVertical ? client.Y < (r.Top + r.Bottom) / 2 : client.X < (r.Left + r.Right) / 2;
      break;
    }
  }
  if (!CanDropHere())
    FState = dsNoDrop;
  else if (FCopying || !FItemLink)
    FState = dsCopy;
  else if (FTargetLink == FItemLink)
    FState = dsSamePlace;
  else
    FState = dsMove;
}

Boolean TdxBarDragInfo::CanDropHere() const {
  if (!FTarget) return false;
  if (FTargetLink) return true;
  // An empty bar takes a drop anywhere.
  TdxBarItemLinks* links = FTarget->GetItemLinks();
  return links && links->GetVisibleItemCount() == 0;
}

void TdxBarDragInfo::RemoveDraggedLink() {
  if (!FItemLink) return;
  TdxBarItemLink* link = FItemLink;
  FItemLink = nullptr;
  link->Free();
  FBarManager->DesignerModified();
}

void TdxBarDragInfo::Drop() {
  const TdxBarDragState state = FState;
  FState = dsNoneDrag;
  switch (state) {
    case dsNoDrop:
      RemoveDraggedLink();
      return;
    case dsCopy:
    case dsMove: {
      TdxBarItemLinks* links = FTarget->GetItemLinks();
      FBarManager->LockDesignerModified(true);
      FBarManager->BeginUpdate();
      try {
        TdxBarItemLink* link = links->Add();
        if (FItemLink) {
          link->Assign(FItemLink);
          link->SetBeginGroup(false);
        } else {
          link->SetItem(FItem);
        }
        if (FTargetLink) {
          Integer index = FTargetLink->GetIndex() + (FFirstPart ? 0 : 1);
          if (index > link->GetIndex()) --index;
          link->SetIndex(index);
          if (FFirstPart && FTargetLink->GetBeginGroupValue()) {
            link->SetBeginGroup(true);
            FTargetLink->SetBeginGroup(false);
          }
        }
        if (state == dsMove) RemoveDraggedLink();
        FItemLink = link;
      } catch (...) {
        FBarManager->EndUpdate();
        FBarManager->LockDesignerModified(false);
        throw;
      }
      FBarManager->EndUpdate();
      FBarManager->LockDesignerModified(false);
      FBarManager->ChangeSelection(FItemLink, 2);
      FItemLink = nullptr;
      return;
    }
    default:
      return;
  }
}

void TdxBarDragInfo::FinishDrag() {
  if (FCaptureWindow && GetCapture() == FCaptureWindow) ReleaseCapture();
  FState = dsNoneDrag;
  FItem = nullptr;
  FItemLink = nullptr;
  FTarget = nullptr;
  FTargetLink = nullptr;
}
