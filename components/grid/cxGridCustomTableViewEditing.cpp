// In-place editing of a table view's cells: the editing controller with its one editor over the
// focused cell, the items' edit values, and the view's editing and cell events.
#include <algorithm>
#include <memory>

#include "components/data/cxCustomData.h"
#include "components/foundation/cxControls.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableView.h"
#include "components/grid/cxGridLevel.h"
#include "platform/runtime/Exceptions.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

// Sets a flag for a scope and clears it on the way out, also when the work raises.
struct TFlagHold {
  Boolean& Flag;
  explicit TFlagHold(Boolean& flag) : Flag(flag) { Flag = true; }
  ~TFlagHold() { Flag = false; }
};

// The system's double-click time, after which a click on the focused cell opens its editor.
constexpr Cardinal kDoubleClickTime = 500;

}  // namespace

// ==== Records ===================================================================================

orv::ClassOf<TcxCustomGridRecordViewInfo> TcxCustomGridRecord::GetViewInfoClass() {
  return orv::ClassOf<TcxCustomGridRecordViewInfo>();
}

TcxCustomGridViewInfoCacheItemClass TcxCustomGridRecord::GetViewInfoCacheItemClass() {
  return TcxCustomGridTableViewInfoCacheItem::StaticClass();
}

// ==== Items =====================================================================================

void TcxCustomGridTableItem::RemoveCell(TcxGridTableDataCellViewInfo* cell) {
  FCells.erase(std::remove(FCells.begin(), FCells.end(), cell), FCells.end());
}

TcxGridTableDataCellViewInfo* TcxCustomGridTableItem::GetFocusedCellViewInfo() {
  TcxCustomGridTableController* controller = GetController();
  TcxCustomGridRecord* record = controller ? controller->GetFocusedRecord() : nullptr;
  if (!record || !record->GetHasCells() || !record->GetViewInfo()) return nullptr;
  auto* recordViewInfo = dynamic_cast<TcxCustomGridRecordViewInfo*>(record->GetViewInfo());
  return recordViewInfo ? recordViewInfo->GetCellViewInfoByItem(this) : nullptr;
}

Boolean TcxCustomGridTableItem::IsFocusedCellViewInfoPartVisible() {
  if (!CanScroll()) return false;
  TcxGridTableDataCellViewInfo* cell = GetFocusedCellViewInfo();
  if (!cell || !FGridView->GetViewInfo()) return false;
  TRect client;
  FGridView->GetViewInfo()->GetClientBounds(client);
  const TRect& bounds = cell->GetBounds();
  return bounds.Left < client.Left || bounds.Top < client.Top || bounds.Right > client.Right ||
         bounds.Bottom > client.Bottom;
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetEditingProperties() {
  TcxCustomGridTableController* controller = GetController();
  if (controller && IsEditing())
    if (TcxCustomEdit* edit = controller->GetEditingController()->GetEdit()) return edit->GetActiveProperties();
  return GetPropertiesForEdit();
}

void TcxCustomGridTableItem::GetEditValue(Variant& value) {
  TcxCustomGridTableController* controller = GetController();
  if (!controller || !controller->GetFocusedRecord()) {
    value = Variant();
    return;
  }
  TcxCustomEditProperties* properties = GetEditingProperties();
  const TcxDataEditValueSource source =
      properties && properties->GetValueExchangeMode(true) != 0 ? evsText : evsValue;
  value = GetDataController()->GetEditValue(FIndex, source);
}

void TcxCustomGridTableItem::SetEditValue(const Variant& value) {
  TcxCustomEditProperties* properties = GetEditingProperties();
  const TcxDataEditValueSource source =
      properties && properties->GetValueExchangeMode(true) != 0 ? evsText : evsValue;
  GetDataController()->SetEditValue(FIndex, value, source);
}

Boolean TcxCustomGridTableItem::CanInitEditing() { return GetDataController()->EditItem(FIndex); }

Boolean TcxCustomGridTableItem::IsEditing() {
  TcxCustomGridTableController* controller = GetController();
  return controller && controller->GetEditingItem() == this;
}

void TcxCustomGridTableItem::SetItemEditing(Boolean value) {
  TcxCustomGridTableController* controller = GetController();
  if (!controller) return;
  if (value)
    controller->GetEditingController()->SetEditingItem(this);
  else if (IsEditing())
    controller->GetEditingController()->SetEditingItem(nullptr);
}

// ==== Table view: editing and cell events =======================================================

TcxCustomGridTableViewInfo* TcxCustomGridTableView::GetTableViewInfo() const {
  return dynamic_cast<TcxCustomGridTableViewInfo*>(GetViewInfo());
}

void TcxCustomGridTableView::SetFilterBox(TcxGridFilterBox* value) { FFilterBox->Assign(value); }

TcxGridFilterBoxClass TcxCustomGridTableView::GetFilterBoxClass() { return TcxGridFilterBox::StaticClass(); }

TcxCustomGridPainterClass TcxCustomGridTableView::GetPainterClass() {
  return TcxCustomGridTablePainter::StaticClass();
}

TcxCustomGridViewInfoCacheClass TcxCustomGridTableView::GetViewInfoCacheClass() {
  return TcxCustomGridTableViewInfoCache::StaticClass();
}

Boolean TcxCustomGridTableView::IsRecordPartVisible(TcxCustomGridPartViewInfo* part) {
  TcxCustomGrid* grid = GetControlGrid();
  if ((grid && grid->IsUpdateLocked()) || !IsVisible() || !part) return false;
  return part->GetVisible() && part->GetPartHeight() > 0;
}

Boolean TcxCustomGridTableView::ShowItemEditor(Integer index) {
  if (index < 0 || index >= GetItemCount()) return false;
  TcxCustomGridTableItem* item = GetItem(index);
  item->SetItemEditing(true);
  return item->IsEditing();
}

Integer TcxCustomGridTableView::GetDefaultActiveDetailIndex() {
  auto* level = dynamic_cast<TcxGridLevel*>(GetLevel());
  if (!level) return -1;
  for (Integer i = 0; i < level->GetCount(); ++i)
    if (level->GetItem(i)->GetVisible()) return level->GetItem(i)->GetIndex();
  return -1;
}

void TcxCustomGridTableView::ScrollRecords(Boolean byRows, Integer dx, Integer dy) {
  TcxCustomGridTableViewInfo* viewInfo = GetTableViewInfo();
  if (!viewInfo) return;
  viewInfo->Offset(byRows ? dy : 0, byRows ? 0 : dx, byRows ? 0 : dy);
  auto* painter = dynamic_cast<TcxCustomGridTablePainter*>(GetPainter());
  if (!painter) return;
  if (byRows && viewInfo->GetRecordsViewInfo())
    painter->Scroll(viewInfo->GetRecordsViewInfo()->GetItemsOffset(), 0, 0);
  else
    painter->Scroll(0, dx, dy);
}

void TcxCustomGridTableView::PostEditingValue() {
  if (TcxGridEditingController* editing = GetTableController()->FindEditingController()) editing->WriteEditValue();
}

void TcxCustomGridTableView::GroupingChanging() {
  for (TcxCustomGridTableItem* item : FItems) item->SaveActuallyVisible();
}

void TcxCustomGridTableView::ItemValueTypeClassChanged(Integer index) {
  if (index >= 0 && index < GetItemCount()) GetItem(index)->ValueTypeClassChanged();
}

void TcxCustomGridTableView::SearchChanged() {
  TcxCustomGridTableViewInfo* viewInfo = GetTableViewInfo();
  if (!viewInfo || !viewInfo->GetRecordsViewInfo()) return;
  TcxCustomGridRecordsViewInfo* records = viewInfo->GetRecordsViewInfo();
  records->BeforeOffset();
  if (TcxGridTableDataCellViewInfo* cell = records->GetIncSearchingCellViewInfo()) cell->InvalidateCell(true);
  TcxCustomGridTableController* controller = GetTableController();
  if (TcxCustomGridRecord* record = controller->GetFocusedRecord()) record->Invalidate();
}

Boolean TcxCustomGridTableView::DoCellClick(TcxGridTableDataCellViewInfo* cell, TMouseButton button,
                                            TShiftState shift) {
  Boolean handled = false;
  if (FOnCellClick) FOnCellClick(this, cell, button, shift, handled);
  return handled;
}

Boolean TcxCustomGridTableView::DoCellDblClick(TcxGridTableDataCellViewInfo* cell, TMouseButton button,
                                               TShiftState shift) {
  Boolean handled = false;
  if (FOnCellDblClick) FOnCellDblClick(this, cell, button, shift, handled);
  return handled;
}

Boolean TcxCustomGridTableView::DoEditing(TcxCustomGridTableItem* item) {
  Boolean allow = true;
  if (FOnEditing) FOnEditing(this, item, allow);
  return allow;
}

void TcxCustomGridTableView::DoCustomDrawCell(TcxCanvas* canvas, TcxGridTableDataCellViewInfo* viewInfo,
                                              Boolean& done) {
  if (FOnCustomDrawCell) FOnCustomDrawCell(this, canvas, viewInfo, done);
}

void TcxCustomGridTableView::DoCustomDrawPartBackground(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo,
                                                        Boolean& done) {
  if (FOnCustomDrawPartBackground) FOnCustomDrawPartBackground(this, canvas, viewInfo, done);
}

void TcxCustomGridTableView::DoEditChanged(TcxCustomGridTableItem* item) {
  if (FOnEditChanged) FOnEditChanged(this, item);
}

void TcxCustomGridTableView::DoEditKeyDown(TcxCustomGridTableItem* item, TcxCustomEdit* edit, Word& key,
                                           TShiftState shift) {
  if (FOnEditKeyDown) FOnEditKeyDown(this, item, edit, key, shift);
}

void TcxCustomGridTableView::DoEditKeyPress(TcxCustomGridTableItem* item, TcxCustomEdit* edit, char& key) {
  if (FOnEditKeyPress) FOnEditKeyPress(this, item, edit, key);
}

void TcxCustomGridTableView::DoEditKeyUp(TcxCustomGridTableItem* item, TcxCustomEdit* edit, Word& key,
                                         TShiftState shift) {
  if (FOnEditKeyUp) FOnEditKeyUp(this, item, edit, key, shift);
}

void TcxCustomGridTableView::DoEditValueChanged(TcxCustomGridTableItem* item) {
  if (FOnEditValueChanged) FOnEditValueChanged(this, item);
}

void TcxCustomGridTableView::DoGetCellHeight(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                             TcxGridTableDataCellViewInfo* cellViewInfo, Integer& height) {
  if (FOnGetCellHeight) FOnGetCellHeight(this, record, item, cellViewInfo, height);
}

void TcxCustomGridTableView::DoGetDragDropText(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                               AnsiString& text) {
  text.clear();
  if (record && item) record->GetDisplayText(item->GetIndex(), text);
  if (FOnGetDragDropText) FOnGetDragDropText(this, record, item, text);
}

void TcxCustomGridTableView::DoInitEdit(TcxCustomGridTableItem* item, TcxCustomEdit* edit) {
  if (FOnInitEdit) FOnInitEdit(this, item, edit);
}

void TcxCustomGridTableView::DoInitEditValue(TcxCustomGridTableItem* item, TcxCustomEdit* edit, Variant& value) {
  if (FOnInitEditValue) FOnInitEditValue(this, item, edit, value);
}

// ==== Table controller: editing =================================================================

void TcxCustomGridTableController::BeforeDestruction() {
  if (FEditingController) FEditingController->HideEdit(false);
  FreeAndNil(FEditingController);
  FreeSelectionState();
  FreeFilterPopups();
  inherited::BeforeDestruction();
}

TcxGridEditingController* TcxCustomGridTableController::GetEditingController() {
  if (!FEditingController) FEditingController = GetEditingControllerClass().Create(this);
  return FEditingController;
}

TcxGridEditingControllerClass TcxCustomGridTableController::GetEditingControllerClass() {
  return TcxGridEditingController::StaticClass();
}

TcxCustomGridTableItem* TcxCustomGridTableController::GetEditingItem() const {
  return FEditingController ? FEditingController->GetEditingItem() : nullptr;
}

Boolean TcxCustomGridTableController::IsEditing() const { return GetEditingItem() != nullptr; }

Integer TcxCustomGridTableController::GetVisibleRecordCount() {
  TcxCustomGridTableViewInfo* viewInfo = GetTableView()->GetTableViewInfo();
  return viewInfo && viewInfo->IsCalculated() ? viewInfo->VisibleRecordCount() : 0;
}

Boolean TcxCustomGridTableController::IsKeyForController(Word key, TShiftState shift) {
  switch (key) {
    case VK_TAB:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_ESCAPE:
      return true;
    case VK_LEFT:
    case VK_RIGHT:
      return GetTableView()->GetTableOptionsBehavior()->GetAlwaysShowEditor();
    default:
      return false;
  }
}

void TcxCustomGridTableController::ShowEditorIfNeeded() {
  FEditorCheckRequested = false;
  if (!FEditorCheckAllowed || !GetTableView()->GetTableOptionsBehavior()->GetAlwaysShowEditor()) return;
  GetEditingController()->EditShowingByController();
}

void TcxCustomGridTableController::AfterPaint() {
  inherited::AfterPaint();
  if (FEditorCheckRequested) ShowEditorIfNeeded();
}

void TcxCustomGridTableController::BeforePaint() {
  inherited::BeforePaint();
  if (FEditingController) FEditingController->UpdateEditIfNeeded();
}

void TcxCustomGridTableController::BeforeKillFocus() {
  inherited::BeforeKillFocus();
  if (FEditingController) FEditingController->HideEdit(!GetTableView()->IsDestroying());
}

void TcxCustomGridTableController::BeforeScrolling() {
  if (FEditingController) FEditingController->ResetEditPlacement();
}

void TcxCustomGridTableController::AfterScrolling() {
  if (!FEditingController) return;
  FEditingController->UpdateEditPosition();
  FEditingController->HideEditOutOfView();
}

// ==== Editing controller ========================================================================

TcxGridEditingController::TcxGridEditingController(TcxCustomGridTableController* controller)
    : FController(controller) {
  FEditList = new TcxInplaceEditList(controller->GetGridView());
}

TcxGridEditingController::~TcxGridEditingController() {
  StopEditShowingTimer();
  orv::Free(FEditList);
}

TcxCustomGridTableView* TcxGridEditingController::GetGridView() const { return FController->GetTableView(); }

TcxCustomEditProperties* TcxGridEditingController::EditingProperties() {
  return FEditingItem ? FEditingItem->GetPropertiesForEdit() : nullptr;
}

TcxGridTableDataCellViewInfo* TcxGridEditingController::FocusedCellViewInfo() {
  return FEditingItem ? FEditingItem->GetFocusedCellViewInfo() : nullptr;
}

void TcxGridEditingController::HideEditOutOfView() {
  if (!IsEditing() || !FEdit) return;
  TcxGridTableDataCellViewInfo* cell = FocusedCellViewInfo();
  if (FEditPlaced && cell && !FEditingItem->IsFocusedCellViewInfoPartVisible()) return;
  FEditUpdateNeeded = false;
  if (!FEditPreparing) FEdit->SetLeft(30000);
}

Boolean TcxGridEditingController::CanInitEditing() { return FEditingItem && FEditingItem->CanInitEditing(); }

Boolean TcxGridEditingController::CanRemoveEditFocus() {
  return !(IsEditing() && FEdit && FEdit->IsFocused() && !FEditHiding);
}

Boolean TcxGridEditingController::CanUpdateEditValue() {
  return FEditingItem && FEdit && !FEditHiding && !FInitiatingEditing;
}

Boolean TcxGridEditingController::GetHideEditOnFocusedRecordChange() {
  TcxCustomGridTableView* view = GetGridView();
  if (!view->GetTableOptionsBehavior()->GetAlwaysShowEditor() || !FEditingItem) return true;
  if (FEditingItem->GetOnGetProperties() || FEditingItem->GetOnGetPropertiesForEdit()) return true;
  if (FEditingItem->ShowsEditButtons(false)) return true;
  TcxCustomEditProperties* properties = FEditingItem->GetPropertiesForEdit();
  if (properties && (properties->GetCapabilities() & 1) != 0) return true;
  return bool(view->GetOnEditing()) || bool(view->GetOnInitEdit());
}

void TcxGridEditingController::SetEditingItem(TcxCustomGridTableItem* value) {
  if (value == FEditingItem || FEditingItemSetting) return;
  TFlagHold setting(FEditingItemSetting);
  if (value) {
    if (!value->CanEdit()) return;
    if (!GetGridView()->DoEditing(value)) return;
    value->FocusWithSelection();
  }
  HideEdit(false);
  FEditingItem = value;
  if (!value) return;
  try {
    ShowEdit(value);
  } catch (...) {
    FEditingItem = nullptr;
    throw;
  }
  if (FEditPreparing) return;
  if (!FEdit) FEditingItem = nullptr;
}

Boolean TcxGridEditingController::PrepareEdit(TcxCustomGridTableItem* item, Boolean byMouse) {
  FController->SetKeyFromEditor(false);
  if (FEditPreparing || FEditHiding || !item || !FController->GetFocusedRecord()) return false;
  Boolean result = false;
  {
    TFlagHold preparing(FEditPreparing);
    TcxGridSite* site = GetGridView()->GetSite();
    if (item == FEditingItem && !FEditingItemSetting) {
      result = FEdit && (byMouse || (site && site->IsFocused() && !FEdit->IsFocused()));
      if (result)
        if (TcxGridTableDataCellViewInfo* cell = FocusedCellViewInfo()) cell->Recalculate();
      return result;
    }
    if (!FEditingItemSetting) {
      if (site && site->HandleAllocated() && !site->IsFocused()) return false;
      item->SetItemEditing(true);
      if (FEditingItem != item) return false;
    } else if (FEditingItem != item) {
      return false;
    }
    if (item->IsFocusedCellViewInfoPartVisible()) {
      item->SetItemEditing(false);
      return false;
    }
    try {
      TcxCustomEditProperties* properties = EditingProperties();
      if (!properties) return false;
      FEdit = FEditList->GetEditorFor(properties);
    } catch (...) {
      FEdit = nullptr;
      FEditingItem = nullptr;
      throw;
    }
    if (!FEdit) return false;
    if (TcxGridTableDataCellViewInfo* cell = FocusedCellViewInfo()) cell->Recalculate();
    InitEdit();
    result = true;
  }
  if (result)
    if (TcxGridSite* site = GetGridView()->GetSite()) site->SetTabStop(false);
  return result;
}

void TcxGridEditingController::InitEdit() {
  if (TcxCustomEditProperties* properties = FEdit->GetActiveProperties()) {
    FPrevEditOnChange = properties->GetOnChange();
    FPrevEditOnEditValueChanged = properties->GetOnEditValueChanged();
    properties->SetOnChange(TNotifyEvent());
    properties->SetOnEditValueChanged(TNotifyEvent());
  }
  if (TcxCustomGridTableController* controller = FController) {
    TcxCustomGridRecord* record = controller->GetFocusedRecord();
    FEdit->SetInplacePosition(FEditingItem, record ? record->GetRecordIndex() : -1);
  }
  FEdit->SetParent(GetGridView()->GetSite());
  UpdateEditPosition();
  UpdateEditValue();
  AssignEditEvents();
}

void TcxGridEditingController::UpdateEditPosition() {
  if (!FEdit) return;
  TcxGridTableDataCellViewInfo* cell = FocusedCellViewInfo();
  if (!cell || RectIsEmpty(cell->GetBounds())) return;
  if (FInitiatingEditing || !FEditPreparing)
    FEditUpdateNeeded = true;
  else
    UpdateEdit();
  FEditPlaced = true;
}

void TcxGridEditingController::UpdateEdit() {
  FEditUpdateNeeded = false;
  TcxGridTableDataCellViewInfo* cell = FocusedCellViewInfo();
  if (!FEdit || !cell || FEditingItem->IsFocusedCellViewInfoPartVisible() || RectIsEmpty(cell->GetBounds())) return;
  TRect bounds;
  cell->GetEditorBounds(bounds);
  FEdit->SetBoundsRect(bounds);
  if (TcxCustomEditStyle* style = FEditingItem->GetCellStyle()) FEdit->GetStyle()->Assign(style);
  GetGridView()->DoInitEdit(FEditingItem, FEdit);
}

void TcxGridEditingController::UpdateEditValue() {
  if (!CanUpdateEditValue()) return;
  Variant value;
  FEditingItem->GetEditValue(value);
  GetGridView()->DoInitEditValue(FEditingItem, FEdit, value);
  FEdit->LockChangeEvents(true);
  try {
    FEdit->SetEditValue(value);
  } catch (...) {
    FEdit->LockChangeEvents(false, false);
    throw;
  }
  FEdit->LockChangeEvents(false, false);
  FEdit->SelectAll();
}

void TcxGridEditingController::WriteEditValue() {
  if (!IsEditing() || !FEdit || !FEdit->GetModified()) return;
  FEdit->ValidateEditValue(true);
  Variant value;
  FEdit->GetEditValue(value);
  FEditingItem->SetEditValue(value);
  FEdit->SetModifiedAfterEnter(false);
}

void TcxGridEditingController::UpdateData() { GetGridView()->GetDataController()->UpdateData(); }

void TcxGridEditingController::AssignEditEvents() {
  FEdit->SetOnOwnerKeyDown(TKeyEvent(this, &TcxGridEditingController::EditOwnerKey));
  FEdit->SetOnEditing(TcxEditEditingEvent(this, &TcxGridEditingController::EditEditing));
  FEdit->SetOnOwnerPostEditValue(TNotifyEvent(this, &TcxGridEditingController::EditPostEditValue));
  FEdit->SetOnExit(TNotifyEvent(this, &TcxGridEditingController::EditExit));
  FEdit->SetOnKeyDown(TKeyEvent(this, &TcxGridEditingController::EditKeyDown));
  FEdit->SetOnKeyPress(TKeyPressEvent(this, &TcxGridEditingController::EditKeyPress));
  FEdit->SetOnKeyUp(TKeyEvent(this, &TcxGridEditingController::EditKeyUp));
  if (TcxCustomEditProperties* properties = FEdit->GetActiveProperties()) {
    properties->SetOnChange(TNotifyEvent(this, &TcxGridEditingController::EditChanged));
    properties->SetOnEditValueChanged(TNotifyEvent(this, &TcxGridEditingController::EditValueChanged));
  }
}

void TcxGridEditingController::UnassignEditEvents() {
  if (!FEdit) return;
  FEdit->SetOnOwnerKeyDown(TKeyEvent());
  FEdit->SetOnEditing(TcxEditEditingEvent());
  FEdit->SetOnOwnerPostEditValue(TNotifyEvent());
  FEdit->SetOnExit(TNotifyEvent());
  FEdit->SetOnKeyDown(TKeyEvent());
  FEdit->SetOnKeyPress(TKeyPressEvent());
  FEdit->SetOnKeyUp(TKeyEvent());
  if (TcxCustomEditProperties* properties = FEdit->GetActiveProperties()) {
    properties->SetOnChange(FPrevEditOnChange);
    properties->SetOnEditValueChanged(FPrevEditOnEditValueChanged);
  }
  FPrevEditOnChange = TNotifyEvent();
  FPrevEditOnEditValueChanged = TNotifyEvent();
}

void TcxGridEditingController::HideEdit(Boolean accept) {
  FEditUpdateNeeded = false;
  FEditShowPending = false;
  StopEditShowingTimer();
  if (FEditHiding || !IsEditing()) return;
  TFlagHold hiding(FEditHiding);
  TcxCustomGridTableView* view = GetGridView();
  if (accept && FEdit) {
    if (!FEdit->Deactivate()) return;
    WriteEditValue();
    UpdateData();
  }
  FEditingItem = nullptr;
  TcxGridSite* site = view->GetSite();
  if (site && view->GetIsFocused()) site->SetTabStop(true);
  if (FEdit) {
    UninitEdit();
    if (FEdit->IsFocused() && site && !view->IsDestroying()) {
      FEdit->SetModifiedAfterEnter(false);
      if (site->CanFocus()) site->SetFocus();
    } else if (TcxCustomGridRecord* record = FController->GetFocusedRecord()) {
      record->Invalidate();
    }
    FEdit->SetParent(nullptr);
    FEdit = nullptr;
  }
  FErrorOnEditExit = false;
}

void TcxGridEditingController::EditPropertiesRemoved(TcxCustomEditProperties* properties) {
  if (IsEditing() && FEdit && FEditList->FindEditorFor(properties) == FEdit) SetEditingItem(nullptr);
  FEditList->RemoveByProperties(properties);
}

void TcxGridEditingController::ShowEdit(TcxCustomGridTableItem* item) {
  if (!item) item = FController->GetFocusedItem();
  if (PrepareEdit(item, false)) {
    TcxCustomEditData* data = nullptr;
    FEdit->Activate(data);
  }
}

void TcxGridEditingController::ShowEditByKey(TcxCustomGridTableItem* item, char key) {
  if (PrepareEdit(item, false)) {
    TcxCustomEditData* data = nullptr;
    FEdit->ActivateByKey(key, data);
  }
}

void TcxGridEditingController::ShowEditByMouse(TcxCustomGridTableItem* item, TShiftState shift, const TPoint& point) {
  StopEditShowingTimer();
  FEditShowPending = false;
  if (PrepareEdit(item, true)) {
    TcxCustomEditData* data = nullptr;
    FEdit->ActivateByMouse(shift, point.X, point.Y, data);
  }
}

void TcxGridEditingController::ShowEditDelayed(TcxCustomGridTableItem* item) {
  StopEditShowingTimer();
  FEditShowingTimerItem = item;
  FEditShowingTimer = new TcxTimer(nullptr);
  FEditShowingTimer->SetInterval(kDoubleClickTime);
  FEditShowingTimer->SetOnTimer(TNotifyEvent(this, &TcxGridEditingController::EditShowingTimerHandler));
  FEditShowingTimer->SetEnabled(true);
}

void TcxGridEditingController::EditShowingTimerHandler(TObject* sender) {
  TcxCustomGridTableItem* item = FEditShowingTimerItem;
  StopEditShowingTimer();
  if (item) item->SetItemEditing(true);
}

void TcxGridEditingController::StopEditShowingTimer() {
  FEditShowingTimerItem = nullptr;
  FreeAndNil(FEditShowingTimer);
}

void TcxGridEditingController::EditShowingByController() {
  if (IsEditing() && !FocusedCellViewInfo())
    HideEdit(false);
  else
    ShowEdit(nullptr);
}

// ---- The editor's hooks ----

void TcxGridEditingController::EditOwnerKey(TObject* sender, Word& key, TShiftState shift) {
  if (FController->IsKeyForController(key, shift)) FController->KeyDown(key, shift);
}

void TcxGridEditingController::EditChanged(TObject* sender) {
  DoEditChanged();
  FireNotifyEvent(sender, FPrevEditOnChange);
  GetGridView()->DoEditChanged(FEditingItem);
}

void TcxGridEditingController::EditEditing(TObject* sender, Boolean& canEdit) {
  if (FInitiatingEditing) return;
  TFlagHold initiating(FInitiatingEditing);
  canEdit = CanInitEditing();
}

void TcxGridEditingController::EditExit(TObject* sender) {
  if (!GetHideEditOnExit()) return;
  try {
    HideEdit(!FController->IsCancelOnExitNeeded());
  } catch (...) {
    if (IsEditing() && FEdit && FEdit->CanFocus()) {
      FEdit->SetFocus();
      FErrorOnEditExit = true;
    }
    throw;
  }
}

void TcxGridEditingController::EditKeyDown(TObject* sender, Word& key, TShiftState shift) {
  if (key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU) FController->MakeFocusedRecordVisible();
  GetGridView()->DoEditKeyDown(FEditingItem, FEdit, key, shift);
  if (key != 0) DoEditKeyDown(key, shift);
}

void TcxGridEditingController::EditKeyPress(TObject* sender, char& key) {
  GetGridView()->DoEditKeyPress(FEditingItem, FEdit, key);
}

void TcxGridEditingController::EditKeyUp(TObject* sender, Word& key, TShiftState shift) {
  GetGridView()->DoEditKeyUp(FEditingItem, FEdit, key, shift);
}

void TcxGridEditingController::EditPostEditValue(TObject* sender) { WriteEditValue(); }

void TcxGridEditingController::EditValueChanged(TObject* sender) {
  FireNotifyEvent(sender, FPrevEditOnEditValueChanged);
  GetGridView()->DoEditValueChanged(FEditingItem);
}

void TcxGridEditingController::DoEditKeyDown(Word& key, TShiftState shift) {
  switch (key) {
    case VK_RETURN: {
      if (shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return;
      HideEdit(true);
      if (IsEditing()) return;  // the value was refused; the editor stays
      if (GetGridView()->GetTableOptionsBehavior()->GetGoToNextCellOnEnter()) {
        Word k = VK_RETURN;
        FController->SetKeyFromEditor(true);
        try {
          FController->KeyDown(k, shift);
        } catch (...) {
          FController->SetKeyFromEditor(false);
          throw;
        }
        FController->SetKeyFromEditor(false);
        ShowEdit(nullptr);
      } else {
        FController->ShowEditorIfNeeded();
      }
      key = 0;
      break;
    }
    case VK_ESCAPE: {
      const Boolean modified = FEdit && FEdit->GetModified();
      HideEdit(false);
      FController->ShowEditorIfNeeded();
      if (modified) key = 0;
      break;
    }
    case VK_DELETE:
      if (shift == TShiftState{ssCtrl}) FController->KeyDown(key, shift);
      break;
    default:
      break;
  }
}

Boolean TcxCustomGridTableController::IsCancelOnExitNeeded() {
  return GetTableView()->GetTableOptionsData()->GetCancelOnExit() &&
         GetDataController()->GetEditState() == TcxCustomDataController::dceInsert;
}

void TcxCustomGridTableView::ClearRecordViewInfos() {
  if (TcxCustomGridTableViewInfo* viewInfo = GetTableViewInfo())
    if (TcxCustomGridRecordsViewInfo* records = viewInfo->GetRecordsViewInfo()) records->ClearItems();
}
