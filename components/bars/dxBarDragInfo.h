// Dragging items while bars are customized: a command from the customization form's list onto
// a bar, or a link from its place to another place, another bar, or off the bars.
#pragma once

#include "components/bars/dxBar.h"

enum TdxBarDragState { dsNoneDrag, dsNoDrop, dsSamePlace, dsIntoCategory, dsCopy, dsMove };

// One drag, from the mouse-down to the mouse-up: captures the mouse, runs its own message loop
// and changes the links on release.
class TdxBarDragInfo : public TObject {
  ORV_CLASS(TdxBarDragInfo, TObject)
 public:
  explicit TdxBarDragInfo(TdxBarManager* barManager) : FBarManager(barManager) {}

  void StartDrag(TdxBarItem* item, TdxBarItemLink* link);
  // The modal loop: ends on the mouse-up (dropping), on Escape or when the capture is lost.
  void TrackDrag();
  void FinishDrag();

  TdxBarDragState GetState() const { return FState; }
  TdxBarItem* GetItem() const { return FItem; }
  TdxBarItemLink* GetItemLink() const { return FItemLink; }
  // Where the last mouse move found the target.
  TCustomdxBarControl* GetTargetControl() const { return FTarget; }
  TdxBarItemLink* GetTargetLink() const { return FTargetLink; }

 private:
  void MouseMoved();
  void Drop();
  void RemoveDraggedLink();
  Boolean CanDropHere() const;
  TdxBarManager* FBarManager;
  TdxBarItem* FItem = nullptr;
  TdxBarItemLink* FItemLink = nullptr;
  HWND FCaptureWindow = nullptr;
  TdxBarDragState FState = dsNoneDrag;
  TCustomdxBarControl* FTarget = nullptr;
  TdxBarItemLink* FTargetLink = nullptr;
  Boolean FFirstPart = false;
  Boolean FVertical = false;
  Boolean FCopying = false;
};

// The manager's drag of an item (from the commands list, link nil) or of a link: start, track,
// finish. Nothing while another drag runs.
void DragBarItem(TdxBarManager* barManager, TdxBarItem* item, TdxBarItemLink* link);
// The drag running now (nil when none).
TdxBarDragInfo* GetActiveBarDrag();
