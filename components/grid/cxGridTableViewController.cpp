// The grid table view's controller and the drag-and-drop objects of its parts.
#include "components/grid/cxGridTableViewController.h"

#include <algorithm>
#include <memory>

#include "components/data/cxCustomData.h"
#include "components/editors/cxTextEdit.h"
#include "components/foundation/cxClasses.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableViewFiltering.h"
#include "components/grid/cxGridCustomization.h"
#include "components/grid/cxGridMasterDataRowViewInfo.h"
#include "components/grid/cxGridTableViewInfo.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

using LinkPtr = std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter>;

// Runs its action when the scope ends, also when it ends by an exception.
template <class F>
struct TTableControllerScopeExit {
  F Action;
  ~TTableControllerScopeExit() { Action(); }
};
template <class F>
TTableControllerScopeExit(F) -> TTableControllerScopeExit<F>;

// The zone where a column header drag scrolls the view horizontally.
constexpr Integer kHorzScrollZone = 15;

TcxGridTableViewInfo* TableViewInfoOf(TcxCustomGridView* view) {
  return dynamic_cast<TcxGridTableViewInfo*>(view->GetViewInfo());
}

// The cell of a column in a strip (header or group-by box), nil when it shows none.
TcxGridColumnHeaderViewInfo* ColumnCell(TcxGridColumnContainerViewInfo* container, TcxGridColumn* column) {
  if (!container || !column) return nullptr;
  for (Integer i = 0; i < container->Count(); ++i)
    if (container->GetItemColumn(i) == column) return container->Item(i);
  return nullptr;
}

}  // namespace

// ==== Table controller ===========================================================================

TcxGridTableView* TcxGridTableController::GridView() const { return static_cast<TcxGridTableView*>(GetGridView()); }

void TcxGridTableController::BeforeDestruction() {
  FSelectedColumns.clear();
  inherited::BeforeDestruction();
}

TcxGridColumn* TcxGridTableController::GetFocusedColumn() const { return dynamic_cast<TcxGridColumn*>(GetFocusedItem()); }

Boolean TcxGridTableController::IsColumnFixedDuringHorzSizing(TcxGridColumn* column) {
  auto* forced = dynamic_cast<TcxGridColumn*>(GetForcingWidthItem());
  if (!forced) return false;
  if (column == forced) return true;
  return !forced->IsLast() && column->GetVisibleIndex() < forced->GetVisibleIndex();
}

void TcxGridTableController::LeftPosChanged() { GridView()->LayoutChanged(); }

Boolean TcxGridTableController::IsCellMultiSelect() { return GridView()->GetOptionsSelection()->GetCellMultiSelect(); }

Boolean TcxGridTableController::IsSpecialRowFocused() {
  TcxGridViewData* data = GridView()->GetViewData();
  if (data && data->GetFilterRow() && data->GetFilterRow()->GetSelected()) return true;
  return data && data->HasNewItemRecord() && GetDataController()->GetNewItemRowFocused();
}

// ---- Special rows ----

Boolean TcxGridTableController::FocusPrevToSpecialRow() {
  TcxGridViewData* data = GridView()->GetViewData();
  if (!data) return false;
  TcxGridFilterRow* filterRow = data->GetFilterRow();
  const Boolean filterFocused = filterRow && filterRow->GetSelected();
  const Boolean hasNewItemRow = data->HasNewItemRecord();
  const Boolean newItemFocused = hasNewItemRow && GetDataController()->GetNewItemRowFocused();
  Boolean cycled = false;
  const Boolean recordBefore =
      GetFocusedRecordIndex() != -1 && !newItemFocused && FindNextRecord(GetFocusedRecordIndex(), false, false, cycled) != -1;
  if (hasNewItemRow && !newItemFocused) {
    if (filterFocused || recordBefore) return false;
    FocusRecord(data->GetNewItemRecord());
    return GetDataController()->GetNewItemRowFocused();
  }
  if (filterRow && !filterFocused && (hasNewItemRow || !recordBefore)) {
    if (newItemFocused) GetDataController()->SetNewItemRowFocused(false);
    filterRow->SetSelected(true);
    return true;
  }
  return false;
}

Boolean TcxGridTableController::FocusNextFromSpecialRow() {
  TcxGridViewData* data = GridView()->GetViewData();
  if (!data) return false;
  TcxGridFilterRow* filterRow = data->GetFilterRow();
  if (filterRow && filterRow->GetSelected()) {
    if (data->HasNewItemRecord()) {
      filterRow->SetSelected(false);
      FocusRecord(data->GetNewItemRecord());
      return GetDataController()->GetNewItemRowFocused();
    }
    const Boolean moved = FocusNextRecord(GetTopRecordIndex() - 1, true, false);
    if (moved) filterRow->SetSelected(false);
    return moved;
  }
  if (data->HasNewItemRecord() && GetDataController()->GetNewItemRowFocused()) {
    GetDataController()->SetNewItemRowFocused(false);
    FocusNextRecord(GetTopRecordIndex() - 1, true, false);
    return GetFocusedRecordIndex() == GetTopRecordIndex();
  }
  return false;
}

void TcxGridTableController::SpecialRowFocusChanging(Boolean focusing) {
  if (focusing) {
    SetFocusedRecordIndex(-1);
  } else if (TcxGridEditingController* editing = FindEditingController()) {
    editing->HideEdit(!GridView()->GetComponentState().Contains(csDestroying));
  }
}

void TcxGridTableController::SpecialRowFocusChanged() {
  const Integer index = GetFocusedRecordIndex();
  inherited::FocusedRecordChanged(index, index, false);
}

TcxCustomGridRecord* TcxGridTableController::GetFocusedRecord() {
  TcxGridViewData* data = GridView()->GetViewData();
  if (data && data->HasFilterRow() && data->GetFilterRow() && data->GetFilterRow()->GetSelected())
    return data->GetFilterRow();
  return inherited::GetFocusedRecord();
}

void TcxGridTableController::FocusRecord(TcxCustomGridRecord* record) {
  TcxGridViewData* data = GridView()->GetViewData();
  TcxGridFilterRow* filterRow = data && data->HasFilterRow() ? data->GetFilterRow() : nullptr;
  if (filterRow && record == filterRow) {
    filterRow->SetSelected(true);
    return;
  }
  if (filterRow && filterRow->GetSelected()) {
    filterRow->SetSelected(false);
    if (!record) return;
  }
  inherited::FocusRecord(record);
}

void TcxGridTableController::FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex,
                                                  Boolean newItemRecordFocusingChanged) {
  TcxGridViewData* data = GridView()->GetViewData();
  TcxGridFilterRow* filterRow = data && data->HasFilterRow() ? data->GetFilterRow() : nullptr;
  if (filterRow && filterRow->GetSelected() && FApplyingFilterRowValue) return;
  inherited::FocusedRecordChanged(prevFocusedRecordIndex, focusedRecordIndex, newItemRecordFocusingChanged);
  if (filterRow && prevFocusedRecordIndex != focusedRecordIndex) filterRow->SetSelected(false);
}

void TcxGridTableController::FocusLost() {
  if (TcxGridViewData* data = GridView()->GetViewData()) {
    if (data->GetFilterRow()) data->GetFilterRow()->SetSelected(false);
    if (data->HasNewItemRecord() && GetDataController()->GetNewItemRowFocused())
      GetDataController()->SetNewItemRowFocused(false);
  }
  inherited::FocusLost();
}

TcxGridEditingControllerClass TcxGridTableController::GetEditingControllerClass() {
  return TcxGridTableEditingController::StaticClass();
}

// ---- Editing in the filter row ----

Boolean TcxGridTableEditingController::IsFilterRowFocused() {
  return dynamic_cast<TcxGridFilterRow*>(GetController()->GetFocusedRecord()) != nullptr;
}

Boolean TcxGridTableEditingController::CanInitEditing() {
  // The filter row edits conditions: no record of the data controller goes into editing.
  return IsFilterRowFocused() || inherited::CanInitEditing();
}

Boolean TcxGridTableEditingController::CanUpdateEditValue() {
  return !FApplyingImmediateFiltering && inherited::CanUpdateEditValue();
}

void TcxGridTableEditingController::UpdateData() {
  if (!IsFilterRowFocused()) inherited::UpdateData();
}

Boolean TcxGridTableEditingController::GetHideEditOnFocusedRecordChange() {
  auto* view = dynamic_cast<TcxGridTableView*>(GetGridView());
  if (view && view->GetViewData() && view->GetViewData()->HasFilterRow()) return true;
  return inherited::GetHideEditOnFocusedRecordChange();
}

void TcxGridTableEditingController::InitEdit() {
  inherited::InitEdit();
  if (!IsFilterRowFocused() || !GetEdit()) return;
  TcxCustomEditProperties* properties = GetEdit()->GetActiveProperties();
  properties->SetReadOnly(false);
  // A condition applied on leaving the cell is typed in full: the column's values complete it.
  // Only the editor's own properties take them (shared ones would carry them to every editor).
  auto* view = dynamic_cast<TcxGridTableView*>(GetGridView());
  auto* textProperties = dynamic_cast<TcxCustomTextEditProperties*>(properties);
  if (!view || !textProperties || properties != GetEdit()->GetProperties() || !GetEditingItem() ||
      view->GetFilterRow()->GetApplyChanges() != fracOnCellExit)
    return;
  std::unique_ptr<TcxGridFilterValueList, void (*)(TcxGridFilterValueList*)> values(
      orv::grid::NewFilterValueList(GetEditingItem()), [](TcxGridFilterValueList* list) { orv::Free(list); });
  orv::grid::LoadFilterValueList(GetEditingItem(), values.get(), true, true, true);
  TStringList* lookup = textProperties->GetLookupItems();
  lookup->BeginUpdate();
  try {
    lookup->Clear();
    for (Integer i = 0; i < values->GetCount(); ++i) lookup->Add(values->GetEntry(i).DisplayText);
  } catch (...) {
    lookup->EndUpdate();
    throw;
  }
  lookup->EndUpdate();
}

void TcxGridTableEditingController::DoEditChanged() {
  inherited::DoEditChanged();
  auto* view = dynamic_cast<TcxGridTableView*>(GetGridView());
  if (!view || !IsFilterRowFocused() || !GetEditingItem() || !GetEdit() ||
      view->GetFilterRow()->GetApplyChanges() != fracImmediately)
    return;
  FApplyingImmediateFiltering = true;
  try {
    Variant value;
    GetEdit()->GetEditingValue(value);
    GetEditingItem()->SetEditValue(value);
  } catch (...) {
    FApplyingImmediateFiltering = false;
    throw;
  }
  FApplyingImmediateFiltering = false;
}

void TcxGridTableEditingController::DoEditKeyDown(Word& key, TShiftState shift) {
  auto* view = dynamic_cast<TcxGridTableView*>(GetGridView());
  // With immediate applying Escape takes back what was typed, and so the column's condition.
  if (key == VK_ESCAPE && view && IsFilterRowFocused() && GetEdit() &&
      view->GetFilterRow()->GetApplyChanges() == fracImmediately)
    GetEdit()->Reset();
  inherited::DoEditKeyDown(key, shift);
}

// ---- Horizontal position ----

Integer TcxGridTableController::DataWidth() {
  TcxGridTableViewInfo* viewInfo = TableViewInfoOf(GridView());
  return viewInfo ? viewInfo->DataWidth() : 0;
}

Integer TcxGridTableController::VisibleDataWidth() {
  TcxGridTableViewInfo* viewInfo = TableViewInfoOf(GridView());
  if (!viewInfo) return 0;
  TRect client;
  viewInfo->GetClientBounds(client);
  return client.Width();
}

void TcxGridTableController::SetLeftPos(Integer value) {
  value = std::max(0, std::min(value, DataWidth() - VisibleDataWidth()));
  if (value == FLeftPos) return;
  FLeftPos = value;
  LeftPosChanged();
  GridView()->DoLeftPosChanged();
}

void TcxGridTableController::MakeItemVisible(TcxCustomGridTableItem* item) {
  auto* column = dynamic_cast<TcxGridColumn*>(item);
  if (!column || column->GetVisibleIndex() < 0 || !column->CanScroll()) return;
  TcxGridTableViewInfo* viewInfo = TableViewInfoOf(GridView());
  TcxGridColumnHeaderViewInfo* cell = viewInfo ? ColumnCell(viewInfo->HeaderViewInfo(), column) : nullptr;
  if (!cell) return;
  TRect area;
  viewInfo->GetClientBounds(area);
  const TRect bounds = cell->GetBounds();
  Integer leftPos = FLeftPos;
  if (bounds.Width() < area.Width() && bounds.Right > area.Right) leftPos += bounds.Right - area.Right;
  if (bounds.Left - (leftPos - FLeftPos) < area.Left) leftPos -= area.Left - (bounds.Left - (leftPos - FLeftPos));
  SetLeftPos(leftPos);
}

Boolean TcxGridTableController::CanScrollData(TcxDirection direction) {
  switch (direction) {
    case dirLeft: return FLeftPos > 0;
    case dirRight: return std::max(0, std::min(FLeftPos + 10, DataWidth() - VisibleDataWidth())) != FLeftPos;
    case dirUp: return GetTopRecordIndex() > 0;
    case dirDown: {
      Integer index = GetTopRecordIndex() + 1;
      CheckTopRecordIndex(index);
      return index != GetTopRecordIndex();
    }
    default: return false;
  }
}

void TcxGridTableController::ScrollData(TcxDirection direction) {
  switch (direction) {
    case dirLeft: SetLeftPos(FLeftPos - 10); break;
    case dirRight: SetLeftPos(FLeftPos + 10); break;
    case dirUp: ScrollRecords(false, 1); break;
    case dirDown: ScrollRecords(true, 1); break;
    default: break;
  }
}

void TcxGridTableController::CheckScrolling(const TPoint& point) {
  TcxGridTableViewInfo* viewInfo = TableViewInfoOf(GridView());
  if (!viewInfo) return;
  TRect area;
  viewInfo->GetClientBounds(area);
  // A dragged header lies above the rows: the zones run the view's whole height.
  if (TcxGridSite* site = GetSite()) {
    const TRect siteClient = site->GetClientRect();
    area.Top = siteClient.Top;
    area.Bottom = siteClient.Bottom;
  }
  TcxDirection direction = dirNone;
  if (IsPointInRect(area, point)) {
    if (point.X < area.Left + kHorzScrollZone)
      direction = dirLeft;
    else if (point.X >= area.Right - kHorzScrollZone)
      direction = dirRight;
  }
  if (direction != GetScrollDirection()) SetScrollDirection(direction);
}

TcxDirection TcxGridTableController::GetDragScrollDirection(Integer x, Integer y) {
  TcxGridTableViewInfo* viewInfo = TableViewInfoOf(GridView());
  if (!viewInfo) return dirNone;
  const TPoint point{x, y};
  if (TcxCustomGridRecordsViewInfo* records = viewInfo->GetRecordsViewInfo()) {
    TRect area;
    records->GetBounds(area);
    if (IsPointInRect(area, point)) {
      if (y < area.Top + kHorzScrollZone) return dirUp;
      if (y >= area.Bottom - kHorzScrollZone) return dirDown;
    }
  }
  TRect area;
  viewInfo->GetClientBounds(area);
  if (IsPointInRect(area, point)) {
    if (x < area.Left + kHorzScrollZone) return dirLeft;
    if (x >= area.Right - kHorzScrollZone) return dirRight;
  }
  return dirNone;
}

void TcxGridTableController::InitScrollBarsParameters() {
  inherited::InitScrollBarsParameters();
  const Integer visible = VisibleDataWidth();
  const Integer data = DataWidth();
  if (data > visible && visible > 0)
    SetScrollBarInfo(sbHorizontal, 0, data - 1, 10, visible, FLeftPos, true, true);
}

void TcxGridTableController::Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (kind != sbHorizontal || DataWidth() <= VisibleDataWidth()) {
    inherited::Scroll(kind, code, position);
    return;
  }
  switch (code) {
    case scLineUp: ScrollData(dirLeft); break;
    case scLineDown: ScrollData(dirRight); break;
    case scPageUp: SetLeftPos(FLeftPos - VisibleDataWidth()); break;
    case scPageDown: SetLeftPos(FLeftPos + VisibleDataWidth()); break;
    case scTrack: SetLeftPos(position); break;
    default: break;
  }
  position = FLeftPos;
}

void TcxGridTableController::CheckTopRecordIndex(Integer& index) {
  inherited::CheckTopRecordIndex(index);
}

// ---- Cell multi-select ----

void TcxGridTableController::ColumnSelectionChanged(TcxGridColumn* column, Boolean selected) {
  auto it = std::find(FSelectedColumns.begin(), FSelectedColumns.end(), column);
  if (selected && it == FSelectedColumns.end()) FSelectedColumns.push_back(column);
  if (!selected && it != FSelectedColumns.end()) FSelectedColumns.erase(it);
}

void TcxGridTableController::SelectColumnRange(TcxGridColumn* first, TcxGridColumn* last) {
  TcxGridTableView* view = GridView();
  std::vector<TcxGridColumn*> columns;
  for (Integer i = 0; i < view->GetVisibleColumnCount(); ++i) columns.push_back(view->GetVisibleColumn(i));
  if (columns.empty()) return;
  Integer from = first ? first->GetVisibleIndex() : 0;
  Integer to = last ? last->GetVisibleIndex() : Integer(columns.size()) - 1;
  if (from < 0) from = 0;
  if (to < 0) to = Integer(columns.size()) - 1;
  if (from > to) std::swap(from, to);
  std::vector<TcxGridColumn*> range(columns.begin() + from, columns.begin() + to + 1);
  Boolean same = range.size() == FSelectedColumns.size();
  for (TcxGridColumn* column : range)
    if (!column->GetSelected()) same = false;
  if (same) return;
  view->BeginUpdate();
  TTableControllerScopeExit unlock{[view] { view->EndUpdate(); }};
  for (Integer i = 0; i < view->GetColumnCount(); ++i) {
    view->GetColumn(i)->SetSelected(false);
    ColumnSelectionChanged(view->GetColumn(i), false);
  }
  for (TcxGridColumn* column : range) {
    column->SetSelected(true);
    ColumnSelectionChanged(column, true);
  }
  view->DoSelectionChanged();
}

void TcxGridTableController::ClearColumnSelection() {
  if (FSelectedColumns.empty()) return;
  TcxGridTableView* view = GridView();
  view->BeginUpdate();
  TTableControllerScopeExit unlock{[view] { view->EndUpdate(); }};
  while (!FSelectedColumns.empty()) {
    TcxGridColumn* column = FSelectedColumns.back();
    FSelectedColumns.pop_back();
    column->SetSelected(false);
  }
}

Boolean TcxGridTableController::NeedsCellSelectionUpdate(TcxGridColumn* prevFocusedColumn) {
  return IsCellMultiSelect() && GetFocusedColumn() != prevFocusedColumn;
}

void TcxGridTableController::UpdateCellSelection(TShiftState shift) {
  if (shift.Contains(ssShift)) {
    SelectColumnRange(FCellSelectionAnchor, GetFocusedColumn());
  } else {
    ClearColumnSelection();
    GetDataController()->ClearSelection();
    if (GetFocusedRecordIndex() != -1) GetDataController()->ChangeRowSelection(GetFocusedRecordIndex(), true);
    FCellSelectionAnchor = GetFocusedColumn();
    if (FCellSelectionAnchor) SelectColumnRange(FCellSelectionAnchor, FCellSelectionAnchor);
  }
}

void TcxGridTableController::DoRangeSelection(Boolean replace) {
  inherited::DoRangeSelection(IsCellMultiSelect() ? true : replace);
}

void TcxGridTableController::DoSingleSelection() {
  inherited::DoSingleSelection();
  if (!IsCellMultiSelect()) return;
  TcxGridColumn* focused = GetFocusedColumn();
  if (focused && !(FSelectedColumns.size() == 1 && FSelectedColumns.front() == focused)) {
    FCellSelectionAnchor = focused;
    SelectColumnRange(focused, focused);
  }
}

void TcxGridTableController::MultiSelectKeyDown(Word& key, TShiftState shift) {
  if (!IsCellMultiSelect()) {
    inherited::MultiSelectKeyDown(key, shift);
    return;
  }
  if (shift.Contains(ssShift)) {
    SelectFocusedRecordFromAnchor(true);
  } else {
    SetAnchorToFocusedRecord(false);
    TcxCustomGridTableController::DoSingleSelection();
  }
}

Boolean TcxGridTableController::CanPostponeRecordSelection(TShiftState shift) {
  return !IsCellMultiSelect() && inherited::CanPostponeRecordSelection(shift);
}

void TcxGridTableController::SetFocusedItem(TcxCustomGridTableItem* value) {
  inherited::SetFocusedItem(value);
  if (!FCellSelectionAnchor) FCellSelectionAnchor = GetFocusedColumn();
}

// ---- Header press and click ----

void TcxGridTableController::SetPressedColumn(TcxGridColumn* value) {
  if (FPressedColumn == value) return;
  TcxGridColumn* prev = FPressedColumn;
  FPressedColumn = value;
  TcxGridTableViewInfo* viewInfo = TableViewInfoOf(GridView());
  if (!viewInfo || viewInfo->GetIsCalculating() || !GetSite()) return;
  for (TcxGridColumn* column : {prev, value}) {
    if (!column) continue;
    for (TcxGridColumnContainerViewInfo* container :
         {static_cast<TcxGridColumnContainerViewInfo*>(viewInfo->HeaderViewInfo()),
          static_cast<TcxGridColumnContainerViewInfo*>(viewInfo->GroupByBoxViewInfo())})
      if (TcxGridColumnHeaderViewInfo* cell = ColumnCell(container, column)) GetSite()->InvalidateRect(cell->GetBounds(), false);
  }
}

void TcxGridTableController::UngroupAll() {
  TcxGridTableView* view = GridView();
  view->BeginUpdate();
  TTableControllerScopeExit unlock{[view] { view->EndUpdate(); }};
  for (Integer i = 0; i < view->GetGroupedColumnCount(); ++i) view->GetGroupedColumn(i)->SetVisible(true);
  view->GetDataController()->GetGroups()->ClearGrouping();
}

void TcxGridTableController::DoColumnHeaderClickAction(TcxGridColumn* column, TShiftState shift) {
  if (!column || !column->CanSort()) return;
  TcxGridTableView* view = GridView();
  const Boolean groupBySorting = view->GetOptionsCustomize()->GetGroupBySorting();
  TcxCustomDataController* dc = view->GetDataController();
  TCursor prevCursor = Screen->GetCursor();
  Screen->SetCursor(crHourGlass);
  TTableControllerScopeExit restoreCursor{[prevCursor] { Screen->SetCursor(prevCursor); }};
  {
    view->BeginUpdate();
    TTableControllerScopeExit unlock{[view] { view->EndUpdate(); }};
    if (shift.Contains(ssCtrl)) {
      if (groupBySorting && column->GetGroupIndex() == 0 && column->CanGroup()) {
        column->SetGroupIndex(-1);
        column->SetVisible(true);
      }
      column->SetSortOrder(soNone);
      if (groupBySorting) {
        // The first sorted column that can be grouped leads the grouping.
        TcxGridColumn* first = nullptr;
        for (Integer i = 0; i < view->GetColumnCount(); ++i) {
          TcxGridColumn* sorted = view->GetColumn(i);
          if (sorted->GetSortIndex() >= 0 && sorted->CanGroup() &&
              (!first || sorted->GetSortIndex() < first->GetSortIndex()))
            first = sorted;
        }
        if (first) first->SetGroupIndex(0);
      }
    } else {
      const TcxDataSortOrder prevOrder = column->GetSortOrder();
      if (!shift.Contains(ssShift) && column->GetGroupIndex() == -1) {
        if (groupBySorting && column->CanGroup()) UngroupAll();
        dc->ClearSorting(true);
      }
      column->SetSortOrder(prevOrder == soAscending ? soDescending : soAscending);
      if (groupBySorting && column->GetSortIndex() == 0 && view->GetGroupedColumnCount() == 0 && column->CanGroup())
        column->SetGroupIndex(0);
    }
  }
  InvalidateFocusedRecord();
  DesignerModified();
}

void TcxGridTableController::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  LinkPtr link(GetGridView()->AddListenerLink());
  inherited::MouseDown(button, shift, x, y);
  if (!link->GetGridView()) return;
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(x, y);
  auto* header = dynamic_cast<TcxGridColumnHeaderHitTest*>(hitTest);
  if (header && button == mbLeft && !shift.Contains(ssDouble))
    SetPressedColumn(static_cast<TcxGridColumn*>(header->GetColumn()));
  if (IsCellMultiSelect() && button == mbLeft && !shift.Contains(ssDouble)) {
    if (dynamic_cast<TcxGridRowIndicatorHitTest*>(hitTest))
      SelectAllColumns();
    else if (dynamic_cast<TcxGridRecordCellHitTest*>(hitTest))
      SelectColumnRange(shift.Contains(ssShift) ? FCellSelectionAnchor : GetFocusedColumn(), GetFocusedColumn());
  }
}

void TcxGridTableController::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  LinkPtr link(GetGridView()->AddListenerLink());
  inherited::MouseUp(button, shift, x, y);
  if (!link->GetGridView()) return;
  TcxGridColumn* pressed = FPressedColumn;
  TcxGridSite* site = GetSite();
  if (pressed && button == mbLeft && site && site->IsInDragDetectArea(x, y)) DoColumnHeaderClickAction(pressed, shift);
  if (link->GetGridView()) SetPressedColumn(nullptr);
}

void TcxGridTableController::CancelMouseOperation() {
  inherited::CancelMouseOperation();
  SetPressedColumn(nullptr);
}

void TcxGridTableController::EndDragAndDrop(Boolean accepted) {
  SetPressedColumn(nullptr);
  inherited::EndDragAndDrop(accepted);
}

void TcxGridTableController::CheckCustomizationFormBounds(TRect& rect) {
  TcxGridTableViewInfo* viewInfo = TableViewInfoOf(GridView());
  TcxGridSite* site = GetSite();
  if (!viewInfo || !site || !site->HandleAllocated()) return;
  const Integer headerTop = site->ClientToScreen(TPoint{0, viewInfo->HeaderViewInfo()->GetBounds().Top}).Y;
  if (rect.Top < headerTop) rect = GetOffsetRect(rect, 0, headerTop - rect.Top);
}

// ---- Scrolling over master rows ----

Boolean TcxGridTableController::NeedsExtraScrollForLastDetail(Boolean force) {
  TcxGridTableView* view = GridView();
  TcxGridViewData* data = view->GetViewData();
  const Integer count = data->GetRecordCount();
  if (!view->IsMaster() || count == 0) return false;
  const Integer visible = GetVisibleRecordCount();
  if (!force && visible <= 1) return false;
  const Integer scrollCount = inherited::GetScrollBarRecordCount() - GetScrollBarOffsetBegin() - GetScrollBarOffsetEnd();
  if (GetTopRecordIndex() != scrollCount - visible && !(force && count == 1)) return false;
  auto* row = dynamic_cast<TcxGridMasterDataRow*>(data->GetRow(count - 1));
  if (!row || !row->GetExpanded()) return false;
  auto* rowViewInfo = dynamic_cast<TcxGridMasterDataRowViewInfo*>(row->GetViewInfo());
  if (!rowViewInfo || !rowViewInfo->DetailsShown()) return false;
  TcxGridDetailsSiteViewInfo* site = rowViewInfo->DetailsSiteViewInfo();
  if (!site->ActiveGridViewExists()) return false;
  auto* detail = dynamic_cast<TcxCustomGridTableView*>(site->GetActiveGridView());
  if (!detail || detail->GetTableViewData()->GetRecordCount() == 0) return false;
  // A detail that shows all of its records needs no room beyond what it has.
  TcxCustomGridTableController* detailController = detail->GetTableController();
  if (detailController->GetTopRecordIndex() <= 0 &&
      detailController->GetVisibleRecordCount() >= detail->GetTableViewData()->GetRecordCount() && site->GetFullyVisible())
    return false;
  return !rowViewInfo->IsFullyVisible() && !site->GetFullyVisible() && !site->IsMaxDetailHeightReached();
}

Integer TcxGridTableController::GetMaxTopRecordIndex() {
  return inherited::GetMaxTopRecordIndex() + (NeedsExtraScrollForLastDetail(false) ? 1 : 0);
}

Integer TcxGridTableController::GetScrollBarRecordCount() {
  return inherited::GetScrollBarRecordCount() + (NeedsExtraScrollForLastDetail(false) ? 1 : 0);
}

// ---- Keyboard ----

void TcxGridTableController::KeyDown(Word& key, TShiftState shift) {
  TcxGridColumn* prevFocused = GetFocusedColumn();
  LinkPtr link(GetGridView()->AddListenerLink());
  inherited::KeyDown(key, shift);
  if (!link->GetGridView()) return;
  if (key != 0 && NeedsCellSelectionUpdate(prevFocused)) UpdateCellSelection(shift);
}

void TcxGridTableController::DoKeyDown(Word& key, TShiftState shift) {
  TcxGridTableView* view = GridView();
  switch (key) {
    case VK_PRIOR:
      if (FocusPrevToSpecialRow()) {
        key = 0;
        return;
      }
      if (IsSpecialRowFocused()) {
        key = 0;
        return;
      }
      break;
    case VK_NEXT:
      if (FocusNextFromSpecialRow()) {
        key = 0;
        return;
      }
      break;
    case VK_LEFT:
    case VK_RIGHT: {
      TcxCustomGridRecord* record = GetFocusedRecord();
      if (record && record->GetHasCells() && record->CanFocusCells() && GetFocusedItem() &&
          FocusNextCell(key == VK_RIGHT, true, view->GetOptionsBehavior()->GetFocusCellOnCycle())) {
        key = 0;
        return;
      }
      break;
    }
    case VK_UP:
    case VK_DOWN: {
      const Boolean down = key == VK_DOWN;
      if (down ? FocusNextFromSpecialRow() : FocusPrevToSpecialRow()) {
        key = 0;
        return;
      }
      // The record first (it may expand or collapse).
      if (TcxCustomGridRecord* record = GetFocusedRecord()) {
        record->KeyDown(key, shift);
        if (key == 0) return;
      }
      LinkPtr link(GetGridView()->AddListenerLink());
      const Integer from = IsSpecialRowFocused() ? -1 : GetFocusedRecordIndex();
      const Boolean moved = FocusNextRecord(from, down, false);
      if (!link->GetGridView()) return;
      if (moved && IsSpecialRowFocused()) {
        if (TcxGridFilterRow* filterRow = view->GetViewData()->GetFilterRow()) filterRow->SetSelected(false);
      }
      key = 0;
      if (!IsEditing() && GetSite() && GetSite()->HandleAllocated()) GetSite()->Update();
      return;
    }
    default: break;
  }
  inherited::DoKeyDown(key, shift);
  if (key == VK_LEFT) {
    ScrollData(dirLeft);
    key = 0;
  } else if (key == VK_RIGHT) {
    ScrollData(dirRight);
    key = 0;
  }
}

// ---- Class factories ----

TcxDragAndDropObjectClass TcxGridTableController::GetColumnHeaderMovingObjectClass() {
  return TcxGridColumnHeaderMovingObject::StaticClass();
}

TcxCustomGridPopupClass TcxGridTableController::GetItemsCustomizationPopupClass() {
  return TcxGridColumnsCustomizationPopup::StaticClass();
}

TClass TcxGridTableController::GetCustomizationFormClass() { return TcxGridTableCustomizationForm::StaticClass(); }

TCustomForm* TcxGridTableController::CreateCustomizationForm() {
  TCustomForm* form = inherited::CreateCustomizationForm();
  if (auto* tableForm = dynamic_cast<TcxCustomGridTableCustomizationForm*>(form)) tableForm->CreateItemsPage();
  return form;
}

void TcxGridTableController::RefreshCustomizationForm() {
  if (auto* form = dynamic_cast<TcxCustomGridTableCustomizationForm*>(GetCustomizationForm())) form->RefreshData();
}

// ==== Moving objects =============================================================================

TcxCustomGridTableController* TcxCustomGridTableMovingObject::TableController() const {
  return static_cast<TcxCustomGridTableController*>(Controller());
}

void TcxCustomGridTableMovingObject::DragAndDrop(const TPoint& point, Boolean& accepted) {
  inherited::DragAndDrop(point, accepted);
  TableController()->CheckScrolling(point);
}

TcxCustomGridTableItemMovingObject::~TcxCustomGridTableItemMovingObject() { FreeAndNil(FDestZone); }

void TcxCustomGridTableItemMovingObject::FindDestination(TcxCustomGridHitTest* hitTest, TcxGridItemContainerKind& kind,
                                                         TcxGridItemContainerZone*& zone) {
  kind = dynamic_cast<TcxGridCustomizationFormHitTest*>(hitTest) ? ckCustomizationForm : ckNone;
  zone = nullptr;
}

void TcxCustomGridTableItemMovingObject::CheckDestinationKind(TcxGridItemContainerKind& kind) {
  if (!IsSourceCustomizationForm() && kind == ckCustomizationForm && !CanRemove()) kind = ckNone;
}

TWinControl* TcxCustomGridTableItemMovingObject::GetSourceListBox() {
  auto* form = dynamic_cast<TcxCustomGridTableCustomizationForm*>(CustomizationForm());
  return form ? form->GetItemsListBox() : nullptr;
}

void TcxCustomGridTableItemMovingObject::PaintSourceItemFromListBox(TcxCanvas* canvas, const TRect& rect, TObject* item) {
  auto* listBox = dynamic_cast<TcxCustomGridItemsListBox*>(GetSourceListBox());
  if (!listBox) return;
  const Integer index = listBox->IndexOfItemObject(item);
  if (index == -1) return;
  canvas->GetBrush()->SetColor(listBox->GetColor());
  canvas->GetFont()->Assign(listBox->GetFont());
  listBox->PaintItem(canvas, rect, false, index);
}

void TcxCustomGridTableItemMovingObject::GetSourceItemBounds(TRect& rect) {
  inherited::GetSourceItemBounds(rect);
  if (rect.Width() > 0 || !IsSourceCustomizationForm()) return;
  auto* listBox = dynamic_cast<TcxCustomGridItemsListBox*>(GetSourceListBox());
  if (!listBox) return;
  const Integer index = listBox->IndexOfItemObject(GetSourceItem());
  if (index == -1) return;
  TRect itemRect = listBox->ItemRect(index);
  const TPoint topLeft = GetSite()->ScreenToClient(listBox->ClientToScreen(TPoint{itemRect.Left, itemRect.Top}));
  rect = TRect{topLeft.X, topLeft.Y, topLeft.X + itemRect.Width(), topLeft.Y + itemRect.Height()};
}

void TcxCustomGridTableItemMovingObject::BeginDragAndDrop() {
  if (auto* form = dynamic_cast<TcxCustomGridTableCustomizationForm*>(CustomizationForm()))
    form->ActivatePage(form->GetItemsPage());
  TableController()->SetMovingItem(SourceItem());
  inherited::BeginDragAndDrop();
}

void TcxCustomGridTableItemMovingObject::ReplaceDestinationZone(TcxGridItemContainerZone* zone) {
  const Boolean same = (!zone && !FDestZone) || (zone && FDestZone && zone->IsEqual(FDestZone) && FDestZone->IsEqual(zone));
  if (same) {
    orv::Free(zone);
    return;
  }
  SetFeedbackHidden(true);
  FreeAndNil(FDestZone);
  FDestZone = zone;
}

void TcxCustomGridTableItemMovingObject::DragAndDrop(const TPoint& point, Boolean& accepted) {
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(point);
  // A point over the open customization form is the form's, whatever lies under it in the view.
  TcxGridCustomizationFormHitTest formHitTest;
  if (CustomizationForm() && Controller()->IsPointInCustomizationForm(GetSite()->ClientToScreen(point)))
    hitTest = &formHitTest;
  TcxGridItemContainerKind kind = ckNone;
  TcxGridItemContainerZone* zone = nullptr;
  FindDestination(hitTest, kind, zone);
  ReplaceDestinationZone(zone);
  CheckDestinationKind(kind);
  if (kind != FDestItemContainerKind) {
    SetFeedbackHidden(true);
    FDestItemContainerKind = kind;
  }
  accepted = FDestItemContainerKind != ckNone;
  inherited::DragAndDrop(point, accepted);
}

void TcxCustomGridTableItemMovingObject::EndDragAndDrop(Boolean accepted) {
  inherited::EndDragAndDrop(accepted);
  TableController()->SetMovingItem(nullptr);
}

// ---- Column header moving ----

TcxGridTableViewInfo* TcxGridColumnHeaderMovingObject::TableViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(ViewInfo());
}

void TcxGridColumnHeaderMovingObject::Init(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  inherited::Init(p, hitTest);
  if (auto* columnHitTest = dynamic_cast<TcxCustomGridColumnHitTest*>(hitTest)) {
    SetSourceItem(columnHitTest->GetColumn());
    SetSourceItemContainerKind(columnHitTest->GetHitContainerKind());
  }
}

void TcxGridColumnHeaderMovingObject::FindDestination(TcxCustomGridHitTest* hitTest, TcxGridItemContainerKind& kind,
                                                      TcxGridItemContainerZone*& zone) {
  inherited::FindDestination(hitTest, kind, zone);
  if (kind != ckNone) return;
  TcxGridTableViewInfo* viewInfo = TableViewInfo();
  const TPoint point = hitTest ? hitTest->GetPos() : GetCurMousePos();
  TcxGridGroupByBoxViewInfo* box = viewInfo->GroupByBoxViewInfo();
  Integer index = box ? box->GetInsertionZone(point) : -1;
  if (index != -1) {
    if (!Column()->CanGroup()) return;
    kind = ckGroupByBox;
    zone = new TcxGridItemContainerZone(index);
    return;
  }
  index = viewInfo->HeaderViewInfo() ? viewInfo->HeaderViewInfo()->GetInsertionZone(point) : -1;
  if (index != -1) {
    kind = ckHeader;
    zone = new TcxGridItemContainerZone(index);
  }
}

Boolean TcxGridColumnHeaderMovingObject::CanRemove() {
  TcxGridColumn* column = Column();
  if (!column->GetVisibleForCustomization()) return false;
  switch (GetSourceItemContainerKind()) {
    case ckGroupByBox: return column->CanGroup();
    case ckHeader:
      return column->CanHide() && (CustomizationForm() != nullptr ||
                                   static_cast<TcxGridTableView*>(GridView())->GetOptionsCustomize()->GetColumnHiding());
    default: return false;
  }
}

Boolean TcxGridColumnHeaderMovingObject::IsDropChanging() {
  TcxGridColumn* column = Column();
  TcxGridItemContainerZone* zone = GetDestZone();
  switch (GetDestItemContainerKind()) {
    case ckHeader: {
      if (!column->GetVisible() || GetSourceItemContainerKind() == ckGroupByBox) return true;
      const Integer index = zone ? zone->GetItemIndex() : -1;
      return index != column->GetVisibleIndex() && index != column->GetVisibleIndex() + 1;
    }
    case ckGroupByBox: {
      if (column->GetGroupIndex() == -1) return true;
      const Integer index = zone ? zone->GetItemIndex() : -1;
      return index != column->GetGroupIndex() && index != column->GetGroupIndex() + 1;
    }
    default: return false;
  }
}

Boolean TcxGridColumnHeaderMovingObject::AreArrowsVisible() {
  return GetDestZone() != nullptr && (GetDestItemContainerKind() == ckHeader || GetDestItemContainerKind() == ckGroupByBox) &&
         IsDropChanging();
}

void TcxGridColumnHeaderMovingObject::GetArrowAreaBounds(TRect& rect) {
  inherited::GetArrowAreaBounds(rect);
  TRect client;
  TableViewInfo()->GetClientBounds(client);
  rect.Left = std::max(rect.Left, client.Left);
  rect.Right = std::min(rect.Right, client.Right);
}

void TcxGridColumnHeaderMovingObject::GetArrowsClientRect(TcxArrowPlace place, TRect& rect) {
  rect = TRect{};
  TcxGridItemContainerZone* zone = GetDestZone();
  if (!zone) return;
  TcxGridTableViewInfo* viewInfo = TableViewInfo();
  const Integer index = zone->GetItemIndex();
  if (GetDestItemContainerKind() == ckHeader) {
    TcxGridHeaderViewInfo* header = viewInfo->HeaderViewInfo();
    if (header->Count() == 0) {
      rect = header->GetBounds();
      rect.Right = rect.Left;
    } else if (index < header->Count()) {
      rect = header->Item(index)->GetBounds();
      rect.Right = rect.Left;
    } else {
      rect = header->Item(header->Count() - 1)->GetBounds();
      rect.Left = rect.Right;
    }
    return;
  }
  TcxGridGroupByBoxViewInfo* box = viewInfo->GroupByBoxViewInfo();
  if (box->Count() == 0) {
    rect = box->GetBounds();
    rect.Left += 6;
    rect.Right = rect.Left;
    rect.Top += 8;
    rect.Bottom -= 8;
  } else if (index >= box->Count()) {
    rect = box->Item(box->Count() - 1)->GetBounds();
    rect.Left = rect.Right + 2;
    rect.Right = rect.Left;
  } else {
    rect = box->Item(index)->GetBounds();
    rect.Left -= 2;
    rect.Right = rect.Left;
    if (index > 0) rect = GetOffsetRect(rect, 0, -(box->ItemHeight() / 2) / 2);
  }
}

TcxCustomGridCellViewInfo* TcxGridColumnHeaderMovingObject::GetSourceItemViewInfo() {
  TcxGridTableViewInfo* viewInfo = TableViewInfo();
  switch (GetSourceItemContainerKind()) {
    case ckHeader: return ColumnCell(viewInfo->HeaderViewInfo(), Column());
    case ckGroupByBox: return ColumnCell(viewInfo->GroupByBoxViewInfo(), Column());
    default: return nullptr;
  }
}

void TcxGridColumnHeaderMovingObject::EndDragAndDrop(Boolean accepted) {
  TcxGridColumn* column = Column();
  TcxGridTableView* view = static_cast<TcxGridTableView*>(GridView());
  const Integer prevGroupIndex = column->GetGroupIndex();
  // `accepted` tells a drop from a cancelled drag; where the drop lands is the object's state.
  const Boolean changing = accepted && IsDropChanging();
  const Boolean removing = accepted && GetSourceItemContainerKind() != ckCustomizationForm &&
                           (GetDestItemContainerKind() == ckNone || GetDestItemContainerKind() == ckCustomizationForm) &&
                           CanRemove();
  const TcxGridItemContainerKind destKind = GetDestItemContainerKind();
  const Integer zoneIndex = GetDestZone() ? GetDestZone()->GetItemIndex() : -1;
  const TcxGridItemContainerKind sourceKind = GetSourceItemContainerKind();
  const Boolean formOpen = CustomizationForm() != nullptr;
  inherited::EndDragAndDrop(accepted);
  Boolean changed = false;
  TcxCustomGrid* grid = view->GetControlGrid();
  if (grid) grid->BeginUpdate();
  {
    TTableControllerScopeExit unlock{[grid] {
      if (grid) grid->EndUpdate();
    }};
    if (changing && destKind == ckHeader) {
      Integer index;
      if (zoneIndex >= 0 && zoneIndex < view->GetVisibleColumnCount()) {
        index = view->GetVisibleColumn(zoneIndex)->GetIndex();
        if (column->GetIndex() < index) --index;
      } else {
        index = view->GetColumnCount() - 1;
      }
      column->SetIndex(index);
      if (sourceKind == ckGroupByBox && column->CanGroup()) column->ChangeGroupIndex(-1);
      column->SetVisible(true);
      changed = true;
    } else if (changing && destKind == ckGroupByBox) {
      Integer index = zoneIndex;
      if (column->GetGroupIndex() != -1 && column->GetGroupIndex() < index) --index;
      column->ChangeGroupIndex(index, true);
      changed = true;
    } else if (removing) {
      if (sourceKind == ckHeader) {
        if (column->CanHide()) column->SetVisible(false);
      } else if (sourceKind == ckGroupByBox) {
        const Boolean restore = !(destKind == ckCustomizationForm ||
                                  (view->GetOptionsCustomize()->GetColumnHiding() && column->CanHide()) || formOpen);
        column->ChangeGroupIndex(-1, restore);
      }
      changed = true;
    }
  }
  if (column->GetGroupIndex() != prevGroupIndex) static_cast<TcxGridTableController*>(Controller())->DesignerModified();
  if (changed) view->DoColumnPosChanged(column);
}

// ==== Sizing =====================================================================================

void TcxCustomGridSizingObject::Init(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  inherited::Init(p, hitTest);
  FDestPointX = p.X;
  FDestPointY = p.Y;
}

Integer TcxCustomGridSizingObject::GetDeltaSize() {
  return IsHorizontalSizing() ? FDestPointX - GetDragStartPoint().X : FDestPointY - GetDragStartPoint().Y;
}

void TcxCustomGridSizingObject::GetHorzSizingMarkBounds(TRect& rect) {
  TRect item;
  GetSizingItemBounds(item);
  auto* viewInfo = dynamic_cast<TcxGridTableViewInfo*>(ViewInfo());
  rect.Right = item.Left + GetCurrentSize();
  rect.Left = rect.Right - GetSizingMarkWidth();
  rect.Top = item.Top;
  rect.Bottom = ViewInfo()->GetBounds().Bottom;
  if (viewInfo) {
    TRect bounds;
    viewInfo->GetClientBounds(bounds);
    rect.Bottom = std::max(rect.Top, bounds.Bottom);
  }
}

void TcxCustomGridSizingObject::GetVertSizingMarkBounds(TRect& rect) {
  TRect item;
  GetSizingItemBounds(item);
  const TRect bounds = ViewInfo()->GetBounds();
  rect.Left = bounds.Left;
  rect.Right = bounds.Right;
  rect.Bottom = item.Top + GetCurrentSize();
  rect.Top = rect.Bottom - GetSizingMarkWidth();
}

void TcxCustomGridSizingObject::GetSizingMarkBounds(TRect& rect) {
  if (IsHorizontalSizing())
    GetHorzSizingMarkBounds(rect);
  else
    GetVertSizingMarkBounds(rect);
}

void TcxCustomGridSizingObject::InvertMark() {
  TcxGridSite* site = GetSite();
  if (!site || !site->HandleAllocated()) return;
  HDC dc = GetDC(site->GetHandle());
  const RECT r{FMarkBounds.Left, FMarkBounds.Top, FMarkBounds.Right, FMarkBounds.Bottom};
  InvertRect(dc, &r);
  ReleaseDC(site->GetHandle(), dc);
}

void TcxCustomGridSizingObject::FeedbackStateChanged() {
  inherited::FeedbackStateChanged();
  const Boolean show = !GetFeedbackHidden();
  if (show == FMarkDrawn) return;
  if (show) GetSizingMarkBounds(FMarkBounds);
  InvertMark();
  FMarkDrawn = show;
}

void TcxCustomGridSizingObject::HideFeedbackBeforePaint() {
  // The paint draws over the mark: it is drawn anew afterwards.
  FMarkDrawn = false;
}

void TcxCustomGridSizingObject::DrawFeedbackAfterPaint() {
  if (GetFeedbackHidden() || FMarkDrawn) return;
  GetSizingMarkBounds(FMarkBounds);
  InvertMark();
  FMarkDrawn = true;
}

void TcxCustomGridSizingObject::BeginDragAndDrop() { inherited::BeginDragAndDrop(); }

void TcxCustomGridSizingObject::DragAndDrop(const TPoint& point, Boolean& accepted) {
  const Integer prev = IsHorizontalSizing() ? FDestPointX : FDestPointY;
  const Integer next = IsHorizontalSizing() ? point.X : point.Y;
  if (next != prev) {
    SetFeedbackHidden(true);
    if (IsHorizontalSizing())
      FDestPointX = point.X;
    else
      FDestPointY = point.Y;
  }
  accepted = true;
  inherited::DragAndDrop(point, accepted);
}

void TcxCustomGridSizingObject::EndDragAndDrop(Boolean accepted) { inherited::EndDragAndDrop(accepted); }

TCursor TcxCustomGridSizingObject::GetDragAndDropCursor(Boolean accepted) {
  return IsHorizontalSizing() ? crcxGridHorzSize : crcxGridVertSize;
}

// ---- Columns ----

void TcxCustomGridColumnSizingObject::Init(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  inherited::Init(p, hitTest);
  if (auto* columnHitTest = dynamic_cast<TcxCustomGridColumnHitTest*>(hitTest))
    FColumn = static_cast<TcxGridColumn*>(columnHitTest->GetColumn());
}

TcxGridColumnHeaderViewInfo* TcxCustomGridColumnSizingObject::HeaderCell() const {
  auto* viewInfo = dynamic_cast<TcxGridTableViewInfo*>(ViewInfo());
  return viewInfo ? ColumnCell(viewInfo->HeaderViewInfo(), FColumn) : nullptr;
}

void TcxCustomGridColumnSizingObject::GetSizingItemBounds(TRect& rect) {
  TcxGridColumnHeaderViewInfo* cell = HeaderCell();
  rect = cell ? cell->GetBounds() : TRect{};
}

void TcxGridColumnHorzSizingObject::Init(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  inherited::Init(p, hitTest);
  TcxGridColumnHeaderViewInfo* cell = HeaderCell();
  SetStartSize(cell ? cell->GetBounds().Width() : 0);
}

Integer TcxGridColumnHorzSizingObject::GetCurrentSize() {
  Integer size = inherited::GetCurrentSize();
  if (TcxGridColumnHeaderViewInfo* cell = HeaderCell()) cell->CheckWidth(size);
  return size;
}

void TcxGridColumnHorzSizingObject::EndDragAndDrop(Boolean accepted) {
  const Integer size = GetCurrentSize();
  inherited::EndDragAndDrop(accepted);
  TcxGridColumn* column = Column();
  if (!accepted || !column || size == GetStartSize()) return;
  auto* viewInfo = dynamic_cast<TcxGridTableViewInfo*>(ViewInfo());
  // The first column's header also spans the group rows' level indents.
  Integer width = size;
  if (viewInfo && column->IsFirst()) width -= viewInfo->GetLevelIndentsWidth();
  column->ForceWidth(width);
  static_cast<TcxGridTableView*>(GridView())->DoColumnSizeChanged(column);
}

// ---- Rows ----

void TcxGridRowSizingObject::Init(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  inherited::Init(p, hitTest);
  auto* recordHitTest = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  TcxCustomGridRecord* record = recordHitTest ? recordHitTest->HitRecord() : nullptr;
  FRowIndex = record ? record->GetIndex() : -1;
  TcxCustomGridRowViewInfo* row = RowViewInfo();
  SetStartSize(row ? row->GetHeightForSizing() : 0);
}

TcxCustomGridRecord* TcxGridRowSizingObject::Row() const {
  auto* view = static_cast<TcxCustomGridTableView*>(GridView());
  return FRowIndex == -1 || !view->GetTableViewData() ? nullptr : view->GetTableViewData()->CheckedRecordAt(FRowIndex);
}

TcxCustomGridRowViewInfo* TcxGridRowSizingObject::RowViewInfo() const {
  TcxCustomGridRecord* record = Row();
  return record ? dynamic_cast<TcxCustomGridRowViewInfo*>(record->GetViewInfo()) : nullptr;
}

void TcxGridRowSizingObject::GetSizingItemBounds(TRect& rect) {
  TcxCustomGridRowViewInfo* row = RowViewInfo();
  rect = row ? row->GetBounds() : TRect{};
}

Integer TcxGridRowSizingObject::GetCurrentSize() {
  Integer size = inherited::GetCurrentSize();
  if (TcxCustomGridRowViewInfo* row = RowViewInfo()) row->CheckHeight(size);
  return size;
}

void TcxGridRowSizingObject::EndDragAndDrop(Boolean accepted) {
  const Integer size = GetCurrentSize();
  inherited::EndDragAndDrop(accepted);
  if (!accepted || size == GetStartSize()) return;
  if (TcxCustomGridRowViewInfo* row = RowViewInfo()) row->SetHeightBySizing(size);
}
