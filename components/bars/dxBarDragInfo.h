// Dragging items while bars are customized: a command from the customization form's list onto
// a bar, or a link from its place to another place, another bar, or off the bars.
#pragma once

#include "components/bars/dxBar.h"

class TcxObjectLink;

enum TdxBarDragState { dsNoneDrag, dsNoDrop, dsSamePlace, dsIntoCategory, dsCopy, dsMove };

// Cursors of the drag, in the screen's cursor table (filled on first use).
constexpr Integer dxBarDragCursor = 1041;
constexpr Integer dxBarDragCopyCursor = 1042;
constexpr Integer dxBarDragNoDropCursor = 1043;

// One drag, from the mouse-down to the mouse-up: captures the mouse, runs its own message loop,
// shows where the link would land with an inverted insertion mark and changes the links on
// release.
class TdxBarDragInfo : public TObject {
  ORV_CLASS(TdxBarDragInfo, TObject)
 public:
  explicit TdxBarDragInfo(TdxBarManager* barManager) : FBarManager(barManager) {}
  ~TdxBarDragInfo() override;

  // `downPoint` (screen) is where the mouse went down on a dragged link; without it the cursor
  // position at the start counts.
  void StartDrag(TdxBarItem* item, TdxBarItemLink* link, const TPoint* downPoint = nullptr);
  // The modal loop: ends on the mouse-up (dropping), on Escape or when the capture is lost.
  void TrackDrag();
  void FinishDrag();

  TdxBarDragState GetState() const { return FState; }
  TdxBarItem* GetItem() const { return FItem; }
  TdxBarItemLink* GetItemLink() const { return FItemLink; }
  // Where the last mouse move found the target (nil when that window is gone).
  TCustomdxBarControl* GetTargetControl() const;
  TdxBarItemLink* GetTargetLink() const { return FTargetLink; }
  // The insertion mark: shown, the window it is drawn on and its rectangle (client).
  Boolean IsMarkShown() const { return FMarkShown; }
  TCustomdxBarControl* GetMarkControl() const;
  const TRect& GetMarkRect() const { return FMarkRect; }
  Boolean GetMarkFirstPart() const { return FMarkFirstPart; }

  // The six strokes of an insertion mark in a rectangle: an I-beam across a vertical bar's
  // item at its top or bottom, or along a horizontal bar's item at its left or right.
  static void DrawMark(HDC dc, const TRect& rect, Boolean vertical, Boolean firstPart);

 private:
  void Track();
  void MouseMoved();
  void UpdateState(Boolean accept);
  Boolean CanDropHere() const;
  Boolean IsCopyMode() const;
  Boolean LeavesLinkInPlace() const;
  void SetState(TdxBarDragState value);
  void ApplyCursorAndMark();
  void ShowMark();
  void HideMark();
  void Drop();
  void DropOnSamePlace();
  void RemoveDraggedLink();

  TdxBarManager* FBarManager;
  TdxBarItem* FItem = nullptr;
  TdxBarItemLink* FItemLink = nullptr;
  // The mouse-down point of a dragged link, relative to the link's rectangle.
  TPoint FDownPoint{0, 0};
  HCURSOR FSavedCursor = nullptr;
  HWND FCaptureWindow = nullptr;
  TdxBarDragState FState = dsNoneDrag;
  TcxObjectLink* FTarget = nullptr;
  TdxBarItemLink* FTargetLink = nullptr;
  Boolean FFirstPart = false;
  Boolean FGroupGap = false;
  Boolean FVertical = false;
  // Ctrl as the key messages of the loop told it (the thread's key state may lag behind).
  Integer FCtrlOverride = -1;
  Boolean FMarkShown = false;
  TcxObjectLink* FMarkControl = nullptr;
  TRect FMarkRect;
  Boolean FMarkFirstPart = false;
  Boolean FMarkVertical = false;
};

// The manager's drag of an item (from the commands list, link nil) or of a link: start, track,
// finish. Nothing while another drag runs. `downPoint`: see StartDrag.
void DragBarItem(TdxBarManager* barManager, TdxBarItem* item, TdxBarItemLink* link,
                 const TPoint* downPoint = nullptr);
// The drag running now (nil when none).
TdxBarDragInfo* GetActiveBarDrag();

// A press on a link of a customized bar window waits for the mouse to leave the system drag
// rectangle before the link is dragged: the window remembers the press here (client point).
void BeginPendingItemDrag(TCustomdxBarControl* control, TdxBarItemLink* link, const TPoint& point);
// For a move over the window of a pending press: True when the press was pending (the move is
// then used up); the drag of the pressed link starts once the point leaves the drag rectangle.
Boolean ContinuePendingItemDrag(TCustomdxBarControl* control, const TPoint& point);
// Forgets a pending press of the window (True when there was one).
Boolean CancelPendingItemDrag(TCustomdxBarControl* control);
// Whether a point (client) left the system drag rectangle around another.
Boolean IsBeyondDragThreshold(const TPoint& from, const TPoint& to);
