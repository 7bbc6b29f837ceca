// The table controller's multi-selection by keys and mouse on top of the data controller's row
// selection, its mouse handlers, pull focusing (dragging the pressed mouse over records moves the
// focus and widens the selection, scrolling at the edges), the data scroll timer of the moving
// objects, the view as a source or target of the platform's drag and drop (drag cursor and image,
// scrolling at the edges, highlighting, focusing and opening what the drag rests on) and the quick
// customization popup it makes on demand.
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
  SetDragScrollDirection(dirNone);
  FDragHighlightedRecord = nullptr;
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

void TcxCustomGridTableController::FocusLost() {
  UnselectRecordOnExit(GetFocusedRecord());
  inherited::FocusLost();
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

// ---- The platform's drag and drop ---------------------------------------------------------------

namespace {

// Expands a record once a drag has rested on its expand button.
class TcxGridDragOpenInfoExpand : public TcxCustomGridDragOpenInfo {
  ORV_CLASS(TcxGridDragOpenInfoExpand, TcxCustomGridDragOpenInfo)
 public:
  explicit TcxGridDragOpenInfoExpand(TcxCustomGridRecord* record) : FGridRecord(record) {}
  Boolean IsSameTarget(TcxCustomGridDragOpenInfo* info) override {
    return inherited::IsSameTarget(info) && static_cast<TcxGridDragOpenInfoExpand*>(info)->FGridRecord == FGridRecord;
  }
  void Open() override { FGridRecord->ExpandIfPossible(false); }

 private:
  TcxCustomGridRecord* FGridRecord;
};

TcxCustomGridRecordsViewInfo* RecordsViewInfoOf(TcxCustomGridViewInfo* viewInfo) {
  auto* tableViewInfo = dynamic_cast<TcxCustomGridTableViewInfo*>(viewInfo);
  return tableViewInfo ? tableViewInfo->GetRecordsViewInfo() : nullptr;
}

}  // namespace

Boolean TcxCustomGridTableController::AllowAutoDrag(Integer x, Integer y) {
  return inherited::AllowAutoDrag(x, y) && IsRecordClick(GetViewInfo()->GetHitTest(x, y));
}

void TcxCustomGridTableController::BeginDragAndDrop() {
  if (FEditingController) FEditingController->HideEdit(true);
  inherited::BeginDragAndDrop();
}

void TcxCustomGridTableController::BeforeStartDrag() {
  inherited::BeforeStartDrag();
  TcxCustomDataController* dc = GetDataController();
  if (!dc->IsEditing()) return;
  if (dc->GetEditState() & TcxCustomDataController::dceModified)
    dc->Post();
  else
    dc->Cancel();
}

void TcxCustomGridTableController::StartDrag(TDragObject*& dragObject) {
  inherited::StartDrag(dragObject);
  if (TcxGridSite* site = GetSite())
    site->SetDragCursor(GetDataController()->GetSelectedCount() < 2 ? crcxGridDrag : crcxGridMultiDrag);
  FDragDropText = GetDragDropText();
}

AnsiString TcxCustomGridTableController::GetDragDropText() {
  AnsiString text;
  if (!GetTableView()->GetTableOptionsBehavior()->GetDragDropText()) return text;
  if (TcxCustomGridRecord* record = GetFocusedRecord()) GetTableView()->DoGetDragDropText(record, GetFocusedItem(), text);
  return text;
}

void TcxCustomGridTableController::GetDragDropTextViewParams(TcxViewParams& params) {
  GetTableView()->GetTableStyles()->GetContentParams(nullptr, nullptr, params);
}

void TcxCustomGridTableController::GetDragImagesSize(TSize& size) {
  size = TSize{0, 0};
  if (FDragDropText.empty()) return;
  TcxViewParams params;
  GetDragDropTextViewParams(params);
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  bitmap->SetSize(1, 1);
  TcxCanvas canvas(bitmap->GetCanvas());
  if (params.Font) canvas.SetFont(params.Font);
  const TSize text = canvas.GetTextSize(FDragDropText);
  size = TSize{text.cx + 35, text.cy + 10};
}

void TcxCustomGridTableController::DrawDragImage(TcxCanvas* canvas, const TRect& rect) {
  if (FDragDropText.empty()) return;
  TcxViewParams params;
  GetDragDropTextViewParams(params);
  canvas->FillRect(rect, params.Color);
  TRect r = rect;
  r.Left += 25;
  canvas->DrawFocusFrames(r, 3);
  r = TRect{r.Left + 5, r.Top + 5, r.Right - 5, r.Bottom - 5};
  if (params.Font) canvas->SetFont(params.Font);
  canvas->SetFontColor(params.TextColor);
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->DrawTextInRect(FDragDropText, r, 0);
}

Boolean TcxCustomGridTableController::IsFirstPageRecord(TcxCustomGridRecord* record) {
  return record && record->GetIndex() == GetTopRecordIndex();
}

Boolean TcxCustomGridTableController::IsLastPageRecord(TcxCustomGridRecord* record) {
  TcxCustomGridRecordsViewInfo* records = RecordsViewInfoOf(GetViewInfo());
  if (!record || !records || records->Count() == 0) return false;
  TcxCustomGridRecordViewInfo* last = records->ExistingItem(records->Count() - 1);
  return last && last->GetGridRecord() == record;
}

TcxDirection TcxCustomGridTableController::GetDragScrollDirection(Integer x, Integer y) {
  // The table views lay their records out top to bottom.
  TcxCustomGridRecord* record = HitRecordOf(GetViewInfo()->GetHitTest(x, y));
  if (IsFirstPageRecord(record)) return dirUp;
  if (IsLastPageRecord(record)) return dirDown;
  return dirNone;
}

TcxCustomGridDragOpenInfo* TcxCustomGridTableController::GetDragOpenInfo(TcxCustomGridHitTest* hitTest) {
  if (hitTest && hitTest->GetHitTestCode() == htExpandButton)
    if (TcxCustomGridRecord* record = HitRecordOf(hitTest)) return new TcxGridDragOpenInfoExpand(record);
  return nullptr;
}

void TcxCustomGridTableController::SetDragScrollDirection(TcxDirection direction) {
  if (direction == dirNone) {
    FreeAndNil(FDragScrollTimer);
    FDragScrollDirection = dirNone;
    return;
  }
  FDragScrollDirection = direction;
  if (FDragScrollTimer) return;
  FDragScrollTimer = new TcxTimer(nullptr);
  FDragScrollTimer->SetInterval(Cardinal(GetDragScrollInterval()));
  FDragScrollTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomGridTableController::DragScrollTimerHandler));
}

void TcxCustomGridTableController::DragScrollTimerHandler(TObject* sender) {
  if (!CanScrollData(FDragScrollDirection)) return;
  TDragObject* dragObject = GetDragObject();
  if (dragObject) dragObject->HideDragImage();
  ScrollData(FDragScrollDirection);
  if (TcxGridSite* site = GetSite())
    if (site->HandleAllocated()) site->Update();
  if (dragObject && GetDragObject() == dragObject) dragObject->ShowDragImage();
}

void TcxCustomGridTableController::ChangeDragHighlightedRecord(TcxCustomGridRecord* record) {
  if (FDragHighlightedRecord == record) return;
  TcxCustomGridRecord* old = FDragHighlightedRecord;
  FDragHighlightedRecord = record;
  if (old) old->Invalidate();
  if (record) record->Invalidate();
}

void TcxCustomGridTableController::FocusRecordAtPoint(Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(x, y);
  auto* viewHitTest = dynamic_cast<TcxCustomGridViewHitTest*>(hitTest);
  if (viewHitTest && viewHitTest->GetGridView() && viewHitTest->GetGridView() != GetGridView()) {
    if (TcxCustomGrid* grid = GetGridView()->GetControlGrid()) grid->SetFocusedView(viewHitTest->GetGridView());
    return;
  }
  if (TcxCustomGridRecord* record = HitRecordOf(hitTest)) FocusRecord(record);
}

void TcxCustomGridTableController::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  inherited::DragOver(source, x, y, state, accept);
  LinkPtr link(GetGridView()->AddListenerLink());
  TcxCustomGridTableOptionsBehavior* options = GetTableView()->GetTableOptionsBehavior();
  const Boolean leaving = state == dsDragLeave;
  if (options->GetDragScrolling()) {
    const TcxDirection direction = leaving ? dirNone : GetDragScrollDirection(x, y);
    SetDragScrollDirection(direction);
  }
  if (options->GetDragOpening()) {
    TcxCustomGrid* grid = GetGridView()->GetControlGrid();
    TcxGridController* gridController = grid ? grid->GetController() : nullptr;
    if (gridController)
      gridController->DragOpen(leaving ? nullptr : GetDragOpenInfo(GetViewInfo()->GetHitTest(x, y)));
  }
  if (options->GetDragHighlighting())
    ChangeDragHighlightedRecord(leaving ? nullptr : HitRecordOf(GetViewInfo()->GetHitTest(x, y)));
  if (!leaving && options->GetDragFocusing() == dfDragOver && link->GetGridView()) FocusRecordAtPoint(x, y);
}

void TcxCustomGridTableController::DragDrop(TObject* source, Integer x, Integer y) {
  if (GetTableView()->GetTableOptionsBehavior()->GetDragFocusing() == dfDragDrop) {
    LinkPtr link(GetGridView()->AddListenerLink());
    FocusRecordAtPoint(x, y);
    if (!link->GetGridView()) return;
  }
  inherited::DragDrop(source, x, y);
}

void TcxCustomGridTableController::EndDrag(TObject* target, Integer x, Integer y) {
  ChangeDragHighlightedRecord(nullptr);
  if (TcxCustomGrid* grid = GetGridView()->GetControlGrid())
    if (grid->GetController()) grid->GetController()->StopDragOpen();
  SetDragScrollDirection(dirNone);
  inherited::EndDrag(target, x, y);
}
