// The table controller's multi-selection by keys and mouse on top of the data controller's row
// selection, its mouse handlers, pull focusing (dragging the pressed mouse over records moves the
// focus and widens the selection, scrolling at the edges), the data scroll timer of the moving
// objects and the quick customization popup it makes on demand.
#include "components/data/cxCustomData.h"
#include "components/foundation/cxClasses.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableView.h"
#include "components/grid/cxGridDBTableView.h"
#include "platform/runtime/SysUtils.h"

#include <memory>

namespace {

using LinkPtr = std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter>;

// Runs its action when the scope ends, also when it ends by an exception.
template <class F>
struct TSelectionScopeExit {
  F Action;
  ~TSelectionScopeExit() { Action(); }
};
template <class F>
TSelectionScopeExit(F) -> TSelectionScopeExit<F>;

// The modifier keys of a shift state.
TShiftState Modifiers(TShiftState shift) {
  TShiftState result;
  for (TShiftStateItem flag : {ssShift, ssAlt, ssCtrl})
    if (shift.Contains(flag)) result.Include(flag);
  return result;
}

Boolean IsRecordClick(TcxCustomGridHitTest* hitTest) {
  auto* recordHitTest = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  return recordHitTest && recordHitTest->CountsAsRecordClick() && !dynamic_cast<TcxGridExpandButtonHitTest*>(hitTest);
}

TcxCustomGridRecord* HitRecordOf(TcxCustomGridHitTest* hitTest) {
  auto* recordHitTest = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  return recordHitTest ? recordHitTest->HitRecord() : nullptr;
}

}  // namespace

void TcxCustomGridTableController::FreeSelectionState() {
  StopPullFocusing();
  SetScrollDirection(dirNone);
  FreeAndNil(FCheckTopRecordTimer);
  FreeAndNil(FItemsCustomizationPopup);
}

// ---- Navigation in step with the selection ------------------------------------------------------

Boolean TcxCustomGridTableController::NavigateRecord(Integer recordIndex, Boolean forward, Boolean goOnCycle,
                                                     Boolean syncSelection) {
  std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(GetGridView()->AddListenerLink());
  const Boolean moved = FocusNextRecord(recordIndex, forward, goOnCycle);
  // An event handler may have freed the view on the way.
  if (moved && syncSelection && link->GetGridView() && IsMultiSelectActive()) DoSingleSelection();
  return moved;
}

void TcxCustomGridTableController::PostCheckTopRecordIndex() {
  if (FCheckTopRecordTimer || !GetDataController()->IsGridMode()) return;
  FCheckTopRecordTimer = new TcxTimer(nullptr);
  FCheckTopRecordTimer->SetInterval(1);
  FCheckTopRecordTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomGridTableController::CheckTopRecordTimerHandler));
}

void TcxCustomGridTableController::CheckTopRecordTimerHandler(TObject* sender) {
  FreeAndNil(FCheckTopRecordTimer);
  TcxCustomGridViewInfo* viewInfo = GetGridView()->GetViewInfo();
  if (!viewInfo || !viewInfo->IsCalculated()) return;
  if (auto* navigation = dynamic_cast<IcxGridDataControllerNavigation*>(GetDataController()))
    navigation->UpdateGridModeBufferCount();
}

// ---- Multi-selection ----------------------------------------------------------------------------

Boolean TcxCustomGridTableController::CanPostponeRecordSelection(TShiftState shift) {
  if (shift.Contains(ssLeft) && IsEditing()) return false;
  if (shift.Contains(ssDouble) && !shift.Contains(ssRight)) return false;
  return true;
}

Boolean TcxCustomGridTableController::IsMultiSelectActive(Boolean checkFocus) {
  if (!GetTableView()->GetTableOptionsSelection()->GetMultiSelect()) return false;
  if (!checkFocus) return true;
  TcxCustomGrid* grid = GetGridView()->GetControlGrid();
  return !grid || grid->GetFocusedView() == GetGridView();
}

Boolean TcxCustomGridTableController::CanProcessMultiSelect(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  if (!IsMultiSelectActive() || !IsRecordClick(hitTest)) return false;
  TcxCustomGridRecord* record = HitRecordOf(hitTest);
  return record && record == GetFocusedRecord();
}

Boolean TcxCustomGridTableController::IsKeyForMultiSelect(Word key, TShiftState shift, Boolean focusedRecordChanged) {
  return IsMultiSelectActive() && IsKeyForMultiSelectCore(key, shift, focusedRecordChanged);
}

Boolean TcxCustomGridTableController::IsKeyForMultiSelectCore(Word key, TShiftState shift,
                                                              Boolean focusedRecordChanged) {
  if (key == VK_SPACE || key == VK_PRIOR || key == VK_NEXT) return true;
  // Ctrl+Insert and Ctrl+C copy the selection.
  if (shift.Contains(ssCtrl) && (key == VK_INSERT || key == 'C')) return false;
  return focusedRecordChanged;
}

void TcxCustomGridTableController::DoSingleSelection() {
  TcxCustomDataController* dc = GetDataController();
  const Integer focused = GetFocusedRecordIndex();
  if (dc->GetSelectedCount() == 1 && dc->GetSelectedRowIndex(0) == focused) return;
  TcxCustomGridView* view = GetGridView();
  view->BeginUpdate();
  TSelectionScopeExit unlock{[view] { view->EndUpdate(); }};
  dc->ClearSelection();
  if (focused != -1) dc->ChangeRowSelection(focused, true);
}

void TcxCustomGridTableController::ResetUnselecting() {
  FPendingUnselect = false;
  FUnselectingRecordIndex = -1;
}

void TcxCustomGridTableController::InvalidateFocusedRecord() {
  if (TcxCustomGridRecord* record = GetFocusedRecord()) record->Invalidate();
}

void TcxCustomGridTableController::InvalidateSelection() {
  TcxCustomDataController* dc = GetDataController();
  TcxCustomGridTableViewData* viewData = GetTableViewData();
  if (!viewData) return;
  for (Integer i = 0; i < dc->GetSelectedCount(); ++i)
    if (TcxCustomGridRecord* record = viewData->CheckedRecordAt(dc->GetSelectedRowIndex(i))) record->Invalidate();
}

void TcxCustomGridTableController::MultiSelectKeyDown(Word& key, TShiftState shift) {
  if (key == VK_SPACE && shift.Contains(ssCtrl)) {
    ToggleFocusedRecordSelection();
    SetSwallowNextChar();
    return;
  }
  if (key != 0 && shift.Contains(ssShift)) {
    SelectFocusedRecordFromAnchor(true);
    return;
  }
  SetAnchorToFocusedRecord(false);
  // Ctrl with a moving key moves the focus and the anchor and keeps the selection.
  if (Modifiers(shift) != TShiftState{ssCtrl}) DoSingleSelection();
}

void TcxCustomGridTableController::MultiSelectMouseDown(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  const TShiftState modifiers = Modifiers(shift);
  TcxCustomGridRecord* record = HitRecordOf(hitTest);
  if (modifiers.Empty() || modifiers == TShiftState{ssCtrl}) SetAnchorToFocusedRecord(false);
  if (modifiers == TShiftState{ssCtrl} && CanToggleSelection()) {
    // A selected record waits for the mouse-up, so that a drag of the selection can start.
    if (CanPostponeRecordSelection(shift) && record && record->GetSelected()) {
      FPendingUnselect = true;
      FUnselectingRecordIndex = record->GetIndex();
    } else {
      ToggleFocusedRecordSelection();
    }
    return;
  }
  if (modifiers == TShiftState{ssShift} || modifiers == TShiftState{ssShift, ssCtrl}) {
    DoRangeSelection(!(modifiers == TShiftState{ssShift, ssCtrl} && CanRangeSelectAdd()));
    return;
  }
  if (CanPostponeRecordSelection(shift) && record && record->GetSelected()) {
    FPendingUnselect = true;
    FUnselectingRecordIndex = record->GetIndex();
  } else {
    DoNormalSelection();
  }
}

void TcxCustomGridTableController::MultiSelectMouseUp(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  if (!FPendingUnselect) return;
  TcxCustomGridRecord* record = HitRecordOf(hitTest);
  if (!record || record->GetIndex() != FUnselectingRecordIndex || !IsRecordClick(hitTest)) return;
  if (Modifiers(shift) == TShiftState{ssCtrl} && CanToggleSelection())
    ToggleFocusedRecordSelection();
  else
    DoSingleSelection();
}

void TcxCustomGridTableController::ToggleFocusedRecordSelection() {
  if (TcxCustomGridRecord* record = GetFocusedRecord()) record->SetSelected(!record->GetSelected());
}

void TcxCustomGridTableController::SelectFocusedRecordFromAnchor(Boolean replace) {
  const Integer focused = GetFocusedRecordIndex();
  if (focused == -1) return;
  TcxCustomDataController* dc = GetDataController();
  if (!dc->IsSelectionAnchorSet()) dc->SetSelectionAnchor(focused);
  dc->SelectFromAnchor(focused, !replace);
}

void TcxCustomGridTableController::SetAnchorToFocusedRecord(Boolean single) {
  if (GetFocusedRecordIndex() != -1) GetDataController()->SetSelectionAnchor(GetFocusedRecordIndex());
  if (single) DoSingleSelection();
}

void TcxCustomGridTableController::UnselectRecordOnExit(TcxCustomGridRecord* record) {
  if (!GetTableView()->GetTableOptionsSelection()->GetUnselectFocusedRecordOnExit() || !IsMultiSelectActive() ||
      !record)
    return;
  if (GetDataController()->GetSelectedCount() == 1 && record->GetSelected()) record->SetSelected(false);
}

// ---- Mouse ----------------------------------------------------------------------------------

void TcxCustomGridTableController::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (TcxGridEditingController* editing = FindEditingController()) editing->StopEditShowingTimer();
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(x, y);
  // The hit test instance is shared; keep what the steps after the cell's handling need.
  LinkPtr link(GetGridView()->AddListenerLink());
  auto afterBase = [&] {
    if (!link->GetGridView()) return;
    hitTest = GetViewInfo()->GetHitTest(x, y);
    auto* viewHitTest = dynamic_cast<TcxCustomGridViewHitTest*>(hitTest);
    if (viewHitTest && viewHitTest->GetGridView() && viewHitTest->GetGridView() != GetGridView()) return;
    if (CanProcessMultiSelect(hitTest, shift)) MultiSelectMouseDown(hitTest, shift);
    if (!link->GetGridView()) return;
    TcxGridSite* site = GetSite();
    if (shift == TShiftState{ssLeft} && IsRecordClick(hitTest) && SupportsPullFocusing() && site &&
        site->GetMouseCapture() && site->GetDragMode() == dmManual)
      StartPullFocusing(true);
  };
  try {
    inherited::MouseDown(button, shift, x, y);
  } catch (...) {
    afterBase();
    throw;
  }
  afterBase();
}

void TcxCustomGridTableController::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  if (!FPullFocusing) return;
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(x, y);
  const TPoint point{x, y};
  if (IsRecordClick(hitTest) && HitRecordOf(hitTest)) {
    if (point != FPullFocusingMousePos) {
      FreeAndNil(FPullFocusingScrollingTimer);
      FPullFocusingScrollingDirection = dirNone;
      PullFocusingSelect(hitTest);
      if (GetFocusedRecordIndex() != -1) FPullFocusingRecordId = GetDataController()->GetRowID(GetFocusedRecordIndex());
      FPullFocusingItem = GetFocusedItem();
      if (GetSite() && GetSite()->HandleAllocated()) GetSite()->Update();
    }
  } else {
    TcxDirection direction = dirNone;
    if (GetPullFocusingScrollingDirection(x, y, direction)) {
      if (!FPullFocusingScrollingTimer || direction != FPullFocusingScrollingDirection) {
        FPullFocusingScrollingDirection = direction;
        if (!FPullFocusingScrollingTimer) {
          FPullFocusingScrollingTimer = new TcxTimer(nullptr);
          FPullFocusingScrollingTimer->SetInterval(50);
          FPullFocusingScrollingTimer->SetOnTimer(
              TNotifyEvent(this, &TcxCustomGridTableController::PullFocusingTimerHandler));
        }
      }
    }
  }
  FPullFocusingMousePos = point;
}

void TcxCustomGridTableController::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  LinkPtr link(GetGridView()->AddListenerLink());
  inherited::MouseUp(button, shift, x, y);
  if (!link->GetGridView()) return;
  if (button == mbLeft) MultiSelectMouseUp(GetViewInfo()->GetHitTest(x, y), shift);
  if (!link->GetGridView()) return;
  ResetUnselecting();
  StopPullFocusing();
}

void TcxCustomGridTableController::CancelMouseOperation() {
  inherited::CancelMouseOperation();
  SetPressedCell(nullptr);
  StopPullFocusing();
  ResetUnselecting();
}

void TcxCustomGridTableController::EndDragAndDrop(Boolean accepted) {
  SetScrollDirection(dirNone);
  inherited::EndDragAndDrop(accepted);
  ShowEditorIfNeeded();
}

// ---- Pull focusing --------------------------------------------------------------------------

Boolean TcxCustomGridTableController::SupportsPullFocusing() {
  return GetTableView()->GetTableOptionsBehavior()->GetPullFocusing();
}

void TcxCustomGridTableController::StartPullFocusing(Boolean rangeReplace) {
  FPullFocusing = true;
  FPullFocusingMousePos = GetViewInfo()->GetMousePos();
  FPullFocusingReplace = rangeReplace;
  FPullFocusingRecordId = Variant();
  FPullFocusingItem = nullptr;
}

void TcxCustomGridTableController::StopPullFocusing() {
  FreeAndNil(FPullFocusingScrollingTimer);
  FPullFocusingScrollingDirection = dirNone;
  FPullFocusingRecordId = Variant();
  FPullFocusingItem = nullptr;
  FPullFocusing = false;
}

void TcxCustomGridTableController::PullFocusingSelect(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridRecord* record = HitRecordOf(hitTest);
  if (!record) return;
  LinkPtr link(GetGridView()->AddListenerLink());
  FocusRecord(record);
  if (!link->GetGridView()) return;
  if (auto* cellHitTest = dynamic_cast<TcxGridRecordCellHitTest*>(hitTest))
    if (cellHitTest->GetItem()) SetFocusedItem(cellHitTest->GetItem());
  if (!link->GetGridView() || !IsMultiSelectActive() || GetFocusedRecordIndex() == -1) return;
  const Variant id = GetDataController()->GetRowID(GetFocusedRecordIndex());
  if (FPullFocusingRecordId.IsNull() || FPullFocusingRecordId.IsEmpty() || !(id == FPullFocusingRecordId) ||
      FPullFocusingItem != GetFocusedItem())
    DoRangeSelection(FPullFocusingReplace);
}

Boolean TcxCustomGridTableController::GetPullFocusingScrollingDirection(Integer x, Integer y,
                                                                        TcxDirection& direction) {
  auto* viewInfo = dynamic_cast<TcxCustomGridTableViewInfo*>(GetViewInfo());
  TcxCustomGridRecordsViewInfo* records = viewInfo ? viewInfo->GetRecordsViewInfo() : nullptr;
  if (!records) return false;
  TRect area;
  records->GetBounds(area);
  if (y < area.Top)
    direction = dirUp;
  else if (y >= area.Bottom)
    direction = dirDown;
  else
    return false;
  return true;
}

void TcxCustomGridTableController::ScrollPullFocusing(TcxDirection direction) {
  LinkPtr link(GetGridView()->AddListenerLink());
  const Integer prev = GetFocusedRecordIndex();
  if (direction == dirUp || direction == dirDown) {
    Integer from = direction == dirUp ? GetTopRecordIndex()
                                      : GetTopRecordIndex() + std::max(0, GetVisibleRecordCount() - 1);
    const Boolean allowAppend = GetAllowAppend();
    SetAllowAppend(false);
    TSelectionScopeExit restore{[this, allowAppend] { SetAllowAppend(allowAppend); }};
    FocusNextRecord(from, direction == dirDown, false);
  }
  if (!link->GetGridView()) return;
  if (IsMultiSelectActive() && GetFocusedRecordIndex() != prev) DoRangeSelection(FPullFocusingReplace);
  if (GetSite() && GetSite()->HandleAllocated()) GetSite()->Update();
  FPullFocusingMousePos = GetViewInfo()->GetMousePos();
}

void TcxCustomGridTableController::PullFocusingTimerHandler(TObject* sender) {
  ScrollPullFocusing(FPullFocusingScrollingDirection);
}

// ---- Data scrolling of the moving objects ---------------------------------------------------

void TcxCustomGridTableController::SetScrollDirection(TcxDirection direction) {
  FreeAndNil(FScrollTimer);
  FScrollDirection = direction;
  if (direction == dirNone) return;
  FScrollTimer = new TcxTimer(nullptr);
  FScrollTimer->SetInterval(GetScrollDataTimeInterval(direction));
  FScrollTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomGridTableController::ScrollTimerHandler));
}

void TcxCustomGridTableController::ScrollTimerHandler(TObject* sender) {
  if (!CanScrollData(FScrollDirection)) return;
  TcxCustomGridDragAndDropObject* dragObject = IsDragAndDropRunning() ? DragAndDropObject() : nullptr;
  if (dragObject) dragObject->SetFeedbackHidden(true);
  ScrollData(FScrollDirection);
  if (dragObject && GetSite()) {
    if (GetSite()->HandleAllocated()) GetSite()->Update();
    dragObject->SetFeedbackHidden(false);
    Boolean accepted = false;
    dragObject->DragAndDrop(GetSite()->ScreenToClient(SafeGetCursorPos()), accepted);
  }
}

// ---- Moving item and popups -----------------------------------------------------------------

void TcxCustomGridTableController::SetMovingItem(TcxCustomGridTableItem* value) {
  if (FMovingItem == value) return;
  FMovingItem = value;
  // Only a repaint: a recalculation would free the pressed header, whose mouse capture the drag
  // that is starting needs.
  if (GetSite()) GetSite()->Invalidate();
}

TcxCustomGridPopupClass TcxCustomGridTableController::GetItemsCustomizationPopupClass() {
  return TcxCustomGridPopupClass();
}

TcxCustomGridPopup* TcxCustomGridTableController::GetItemsCustomizationPopup() {
  if (!FItemsCustomizationPopup) {
    TcxCustomGridPopupClass popupClass = GetItemsCustomizationPopupClass();
    if (popupClass) FItemsCustomizationPopup = popupClass.Create(GetGridView());
  }
  return FItemsCustomizationPopup;
}
