// The item filter drop-down and the recently used filters drop-down.
#include "components/grid/cxGridFilterPopup.h"

#include <algorithm>

#include "components/editors/cxButtons.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableViewFiltering.h"
#include "components/grid/cxGridStrs.h"
#include "components/grid/cxGridTableViewInfo.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Strings.h"
#include "platform/windowing/User.h"

namespace {

// Set while a filter drop-down fills itself: the filter changes it makes on the way (none are
// expected) must not reach the drop-down half made.
Boolean& FilterPopupInitializing() {
  static Boolean value = false;
  return value;
}

}  // namespace

// ==== Filter drop-down list ======================================================================

TcxGridFilterPopupListBox::TcxGridFilterPopupListBox(TcxGridFilterPopup* popup) : TcxGridPopupListBox(popup) {}

TcxGridFilterPopup* TcxGridFilterPopupListBox::FilterPopup() const {
  return static_cast<TcxGridFilterPopup*>(GetPopup());
}

Boolean TcxGridFilterPopupListBox::IsCheckable(Integer index) {
  return FilterPopup() && FilterPopup()->CanBeChecked(index);
}

Boolean TcxGridFilterPopupListBox::IsItemSelectable(Integer index) {
  return !FilterPopup() || FilterPopup()->EntryKind(index) != Integer(fvkGridSeparator);
}

void TcxGridFilterPopupListBox::InnerMouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  FPressOnCheck = GetShowChecks() && x < CheckAreaWidth();
  inherited::InnerMouseDown(button, shift, x, y);
}

void TcxGridFilterPopupListBox::InnerKeyDown(Word& key, TShiftState shift) {
  // Space toggles the check box of the entry; Enter chooses the entry alone.
  FPressOnCheck = key == VK_SPACE;
  inherited::InnerKeyDown(key, shift);
}

void TcxGridFilterPopupListBox::DoAction(Integer index) {
  if (index == -1 || !IsItemSelectable(index)) return;
  FCheckAction = HasCheck(index) && FPressOnCheck;
  if (FCheckAction) {
    inherited::DoAction(index);
    return;
  }
  // The entry alone: the drop-down closes, except for the entries that open a dialog or that the
  // program handles itself.
  orv::TObjectLinkGuard guard(this);
  const Integer kind = FilterPopup() ? FilterPopup()->EntryKind(index) : -1;
  if (kind != Integer(fvkCustom) && kind != Integer(fvkSpecial) && GetPopup()) GetPopup()->CloseUp();
  if (guard.Alive() && GetOnAction()) GetOnAction()(this, index);
}

Boolean TcxGridFilterPopupListBox::DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect,
                                              TOwnerDrawState state) {
  if (!FilterPopup() || FilterPopup()->EntryKind(index) != Integer(fvkGridSeparator))
    return inherited::DoDrawItem(canvas, index, rect, state);
  canvas->FillRect(rect, GetStyle()->GetVisibleColor());
  const Integer y = (rect.Top + rect.Bottom - 3) / 2;
  canvas->GetPen()->SetColor(clBtnShadow);
  canvas->MoveToPoint(rect.Left, y);
  canvas->LineToPoint(rect.Right, y);
  canvas->MoveToPoint(rect.Left, y + 2);
  canvas->LineToPoint(rect.Right, y + 2);
  return true;
}

// ==== Filter drop-down ===========================================================================

TcxGridFilterPopup::TcxGridFilterPopup(TcxCustomGridView* gridView) : TcxCustomGridPopup(gridView) {
  SetAlignHorz(pahRight);
  FValues = new TStringList;
  FValueList = new TcxGridFilterValueList(TableView()->GetDataController()->GetFilter());
  FListBox = new TcxGridFilterPopupListBox(this);
  FListBox->SetOnAction(TcxGridPopupListBoxActionEvent(this, &TcxGridFilterPopup::ListBoxAction));
  FApplyButton = new TcxButton(this);
  FApplyButton->SetCaption(GetLocalizedResourceString(&scxGridFilterApplyButtonCaption));
  if (gridView->LookAndFeel()) FApplyButton->GetLookAndFeel()->SetMaster(gridView->LookAndFeel());
  FApplyButton->SetParentFont(true);
  FApplyButton->SetOnClick(TNotifyEvent(this, &TcxGridFilterPopup::ApplyButtonClick));
  UpdateApplyButton();
}

void TcxGridFilterPopup::BeforeDestruction() {
  orv::Free(FValueList);
  FValueList = nullptr;
  orv::Free(FValues);
  FValues = nullptr;
  inherited::BeforeDestruction();
}

TcxCustomGridTableView* TcxGridFilterPopup::TableView() const {
  return static_cast<TcxCustomGridTableView*>(GetGridView());
}

Integer TcxGridFilterPopup::EntryKind(Integer index) const {
  if (!FValueList || index < 0 || index >= FValueList->GetCount()) return -1;
  return Integer(FValueList->GetEntry(index).Kind);
}

void TcxGridFilterPopup::FillValues() {
  if (!FItem) {
    FValues->Clear();
    return;
  }
  // The list belongs to the filter of the view the item is in now.
  orv::Free(FValueList);
  FValueList = nullptr;
  FValueList = orv::grid::NewFilterValueList(FItem);
  orv::grid::GetFilterStrings(FItem, FValues, FValueList);
}

void TcxGridFilterPopup::SetupListBox() {
  TcxGridItemFilterPopupOptions* options = TableView()->GetFiltering()->GetItemPopup();
  FListBox->SetMaxVisibleItemCount(options->GetMaxDropDownItemCount());
  FListBox->SetShowChecks(IsMultiSelect());
  FListBox->AdjustSize(FValues);
  if (options->GetDropDownWidth() > 0)
    FListBox->SetClientWidth(std::max(options->GetDropDownWidth(), FListBox->GetMinWidth()));
}

void TcxGridFilterPopup::ApplyCheckedValues(const TcxGridIndexes& indexes) {
  if (FItem) orv::grid::ApplyFilterSelectedIndexes(FItem, FValueList, indexes);
}

void TcxGridFilterPopup::ApplyValue(Integer index) {
  if (!FItem) return;
  const Integer kind = EntryKind(index);
  orv::TObjectLinkGuard guard(this);
  orv::grid::ApplyFilterValueEntry(FValueList, FItem, index, true, true, nullptr);
  if (!guard.Alive()) return;
  if (kind != Integer(fvkCustom) && kind != Integer(fvkSpecial)) TableView()->GetFiltering()->AddFilterToMRUItems();
}

Boolean TcxGridFilterPopup::AppliesImmediately() {
  return TableView()->GetFiltering()->GetItemPopup()->GetApplyMultiSelectChanges() == fpacImmediately;
}

void TcxGridFilterPopup::GetCheckedIndexes(TcxGridIndexes& indexes) {
  indexes.clear();
  if (!FItem) return;
  TcxGridIndexes selected;
  orv::grid::GetFilterSelectedIndexes(FItem, FValueList, selected);
  for (Integer index : selected)
    if (CanBeChecked(index)) indexes.push_back(index);
}

Integer TcxGridFilterPopup::GetSelectedIndex() {
  if (!FItem || !FValueList) return -1;
  return FValueList->GetIndexForCondition(FItem->GetDataBinding()->GetFilterCriteriaItem());
}

void TcxGridFilterPopup::AdjustLayout() {
  FListBox->SetBounds(0, 0, FListBox->GetWidth(), FListBox->GetHeight());
  if (ShowsApplyButton()) {
    FApplyButton->SetParent(this);
    FApplyButton->SetBounds(0, FListBox->GetHeight(), FListBox->GetWidth(), FApplyButton->GetHeight());
  } else {
    FApplyButton->SetParent(nullptr);
  }
}

void TcxGridFilterPopup::InitContents() {
  FillValues();
  SetupListBox();
  FListBox->GetItems()->Assign(FValues);
  TcxGridIndexes checked;
  if (FListBox->GetShowChecks()) {
    GetCheckedIndexes(checked);
    FListBox->SetCheckedIndexes(checked);
  }
  FListBox->HandleNeeded();
  FListBox->SetItemIndex(checked.empty() ? GetSelectedIndex() : -1);
  FListBox->Invalidate();
}

Boolean TcxGridFilterPopup::ShowsApplyButton() { return IsMultiSelect() && !AppliesImmediately(); }

Boolean TcxGridFilterPopup::CanBeChecked(Integer index) {
  const Integer kind = EntryKind(index);
  return kind == Integer(fvkBlanks) || kind == Integer(fvkValue) || kind == Integer(fvkGridDate);
}

Boolean TcxGridFilterPopup::IsMultiSelect() {
  return FItem && FItem->CanFilterUsingChecks();
}

void TcxGridFilterPopup::UpdateApplyButton() { FApplyButton->SetEnabled(FChangesPending); }

void TcxGridFilterPopup::SetChangesPending(Boolean value) {
  FChangesPending = value;
  UpdateApplyButton();
}

void TcxGridFilterPopup::Popup() {
  auto* owner = dynamic_cast<IcxGridFilterPopupOwner*>(GetPopupOwner());
  FItem = owner ? owner->GetItem() : nullptr;
  {
    orv::TFlagScope initializing(FilterPopupInitializing(), true);
    // The list is measured in the font it will show.
    InitPopupFont();
    InitContents();
    AdjustLayout();
  }
  SetChangesPending(false);
  inherited::Popup();
}

void TcxGridFilterPopup::CloseUp() {
  inherited::CloseUp();
  if (FChangesPending && AppliesImmediately()) TableView()->GetFiltering()->AddFilterToMRUItems();
  FChangesPending = false;
}

void TcxGridFilterPopup::ListBoxAction(TcxGridPopupListBox* sender, Integer index) {
  if (FilterPopupInitializing()) return;
  if (FListBox->WasCheckAction()) {
    if (AppliesImmediately()) {
      TcxGridIndexes checked;
      FListBox->GetCheckedIndexes(checked);
      std::sort(checked.begin(), checked.end());
      ApplyCheckedValues(checked);
    }
    SetChangesPending(true);
  } else {
    ApplyValue(index);
  }
}

void TcxGridFilterPopup::ApplyButtonClick(TObject* sender) {
  orv::TObjectLinkGuard guard(this);
  FChangesPending = false;
  CloseUp();
  if (!guard.Alive()) return;
  TcxGridIndexes checked;
  FListBox->GetCheckedIndexes(checked);
  std::sort(checked.begin(), checked.end());
  ApplyCheckedValues(checked);
  TableView()->GetFiltering()->AddFilterToMRUItems();
}

// ==== Recently used filters drop-down ============================================================

TcxGridFilterMRUItemsPopup::TcxGridFilterMRUItemsPopup(TcxCustomGridView* gridView) : TcxCustomGridPopup(gridView) {
  FListBox = new TcxGridPopupListBox(this);
  FListBox->SetOnAction(TcxGridPopupListBoxActionEvent(this, &TcxGridFilterMRUItemsPopup::ListBoxAction));
}

TcxCustomGridTableView* TcxGridFilterMRUItemsPopup::TableView() const {
  return static_cast<TcxCustomGridTableView*>(GetGridView());
}

void TcxGridFilterMRUItemsPopup::Popup() {
  InitPopupFont();
  FListBox->SetVertItemSpacing(2);
  FListBox->SetMaxVisibleItemCount(TableView()->GetFilterBox()->GetMRUItemsListDropDownCount());
  FillItems(FListBox->GetItems());
  FListBox->HandleNeeded();
  FListBox->AdjustSize(nullptr);
  FListBox->SetBounds(0, 0, FListBox->GetWidth(), FListBox->GetHeight());
  FListBox->SetItemIndex(-1);
  inherited::Popup();
}

void TcxGridFilterMRUItemsPopup::FillItems(TStrings* strings) {
  TcxGridFilterMRUItems* items = TableView()->GetFiltering()->GetMRUItems();
  strings->BeginUpdate();
  try {
    strings->Clear();
    for (Integer i = 0; i < items->GetVisibleItemCount(); ++i) {
      TcxGridFilterMRUItem* item = items->GetVisibleItemAt(i);
      strings->AddObject(item->GetCaption(), item);
    }
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

void TcxGridFilterMRUItemsPopup::ApplyItem(Integer index) {
  TStrings* strings = FListBox->GetItems();
  if (index < 0 || index >= strings->GetCount()) return;
  auto* item = static_cast<TcxGridFilterMRUItem*>(strings->GetObject(index));
  item->ApplyTo(TableView()->GetDataController()->GetFilter());
  TableView()->GetFiltering()->AddFilterToMRUItems();
}

Integer TcxGridFilterMRUItemsPopup::SelectedIndex() { return FListBox->GetItemIndex(); }

void TcxGridFilterMRUItemsPopup::ListBoxAction(TcxGridPopupListBox* sender, Integer index) { ApplyItem(index); }

// ==== The table controller's filter drop-downs ===================================================

TcxCustomGridPopupClass TcxCustomGridTableController::GetFilterMRUItemsPopupClass() {
  return TcxGridFilterMRUItemsPopup::StaticClass();
}

TcxCustomGridPopupClass TcxCustomGridTableController::GetFilterPopupClass() {
  return TcxGridFilterPopup::StaticClass();
}

TcxCustomGridPopup* TcxCustomGridTableController::GetFilterMRUItemsPopup() {
  if (!FFilterMRUItemsPopup) FFilterMRUItemsPopup = GetFilterMRUItemsPopupClass().Create(GetGridView());
  return FFilterMRUItemsPopup;
}

TcxCustomGridPopup* TcxCustomGridTableController::GetFilterPopup() {
  if (!FFilterPopup) FFilterPopup = GetFilterPopupClass().Create(GetGridView());
  return FFilterPopup;
}

void TcxCustomGridTableController::FreeFilterPopups() {
  FreeAndNil(FFilterPopup);
  FreeAndNil(FFilterMRUItemsPopup);
}

// ==== Cells that open them =======================================================================

TcxCustomGridPopup* TcxGridFilterDropDownButtonViewInfo::GetPopup() {
  auto* controller = dynamic_cast<TcxCustomGridTableController*>(GetGridView()->GetController());
  return controller ? controller->GetFilterMRUItemsPopup() : nullptr;
}

TcxCustomGridPopup* TcxGridColumnHeaderFilterButtonViewInfo::GetPopup() {
  auto* controller = dynamic_cast<TcxCustomGridTableController*>(GetGridView()->GetController());
  return controller ? controller->GetFilterPopup() : nullptr;
}

TcxCustomGridTableItem* TcxGridColumnHeaderFilterButtonViewInfo::GetItem() { return GetColumn(); }

Boolean TcxGridColumnHeaderFilterButtonViewInfo::UsesPopup() {
  auto* controller = dynamic_cast<TcxCustomGridTableController*>(GetGridView()->GetController());
  return controller && controller->FindFilterPopup();
}

// The drop-down spans the whole header; a recalculated header takes over the drop-down of its
// column.
void TcxGridColumnHeaderFilterButtonViewInfo::GetPopupOwnerBounds(TRect& bounds) {
  bounds = GetBounds();
  bounds.Left = ColumnHeaderViewInfo()->GetBounds().Left;
  bounds.Right = ColumnHeaderViewInfo()->GetBounds().Right;
}

Boolean TcxGridColumnHeaderFilterButtonViewInfo::IsPopupUnowned() {
  if (!inherited::IsPopupUnowned()) return false;
  auto* popup = dynamic_cast<TcxGridFilterPopup*>(GetPopup());
  return popup && popup->GetItem() == GetColumn();
}
