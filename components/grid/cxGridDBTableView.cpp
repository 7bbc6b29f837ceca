#include "components/grid/cxGridDBTableView.h"

#include <algorithm>

#include "components/editors-more/cxDBEdit.h"
#include "components/editors-more/cxEditDBRegisteredRepositoryItems.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGraphics.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Fields.h"
#include "platform/forms/Published.h"

// ==== Default values provider ===================================================================

// The dataset-bound editors' defaults for a column: those of its field, while it has one.
class TcxGridDBDefaultValuesProvider : public TcxCustomDBEditDefaultValuesProvider {
  ORV_CLASS(TcxGridDBDefaultValuesProvider, TcxCustomDBEditDefaultValuesProvider)
 public:
  explicit TcxGridDBDefaultValuesProvider(TPersistent* owner) : TcxCustomDBEditDefaultValuesProvider(owner) {}
  Boolean IsModifiable() override { return FFieldName.empty() || inherited::IsModifiable(); }
  Boolean HasDefaultDisplayFormat(Boolean editing) override {
    return orv::grid::ItemHasDefaultDisplayFormat(static_cast<TcxGridItemDataBinding*>(GetOwner()), editing);
  }
  const AnsiString& GetFieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& value) { FFieldName = value; }

 private:
  AnsiString FFieldName;
};

// ==== Dataset-bound data controller =============================================================

TcxCustomGridTableView* TcxGridDBDataController::GetGridViewValue() const {
  return dynamic_cast<TcxCustomGridTableView*>(GetOwnerComponent());
}

TcxCustomGridView* TcxGridDBDataController::GetGridView() { return GetGridViewValue(); }

void TcxGridDBDataController::CreateAllItems(Boolean missingItemsOnly) {
  TDataSet* dataSet = GetDataSet();
  TcxCustomGridTableView* view = GetGridViewValue();
  if (!dataSet || !view) return;
  view->BeginUpdate();
  BeginUpdate();
  try {
    for (Integer i = 0; i < dataSet->GetFieldCount(); ++i) {
      TField* field = dataSet->GetFields().GetField(i);
      if (missingItemsOnly && GetItemByFieldName(field->GetFieldName())) continue;
      TcxCustomGridTableItem* item = view->CreateItem();
      if (auto* binding = dynamic_cast<TcxGridItemDBDataBinding*>(item->GetDataBinding()))
        binding->SetFieldName(field->GetFieldName());
      if (TComponent* owner = item->GetOwner())
        item->SetName(GenerateUniqueComponentName(owner, view, item, "TcxGrid", field->GetFieldName()));
      item->SetVisible(field->GetVisible());
    }
  } catch (...) {
    EndUpdate();
    view->EndUpdate();
    throw;
  }
  EndUpdate();
  view->EndUpdate();
}

void TcxGridDBDataController::DeleteAllItems() {
  if (TcxCustomGridTableView* view = GetGridViewValue()) view->ClearItems();
}

void TcxGridDBDataController::GetFakeComponentLinks(TList* list) {
  TDataSource* source = GetDataSource();
  TcxCustomGridTableView* view = GetGridViewValue();
  if (!source || !view || source->GetOwner() == view->GetOwner()) return;
  if (list->IndexOf(source->GetOwner()) < 0) list->Add(source->GetOwner());
}

Boolean TcxGridDBDataController::HasAllItems() {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return true;
  for (Integer i = 0; i < dataSet->GetFieldCount(); ++i)
    if (!GetItemByFieldName(dataSet->GetFields().GetField(i)->GetFieldName())) return false;
  return true;
}

Boolean TcxGridDBDataController::SupportsRecNoScrolling() {
  TcxCustomGridTableView* view = GetGridViewValue();
  return IsGridMode() && IsDataSetSequenced() && view && view->RecordHeightsFixed();
}

Boolean TcxGridDBDataController::ScrollRecord(Boolean forward) {
  if (!SupportsRecNoScrolling()) return false;
  TcxCustomGridTableController* controller = GetGridViewValue()->GetTableController();
  if (forward)
    controller->GoToNext();
  else
    controller->GoToPrev();
  return true;
}

Boolean TcxGridDBDataController::ScrollPage(Boolean forward) {
  if (!SupportsRecNoScrolling()) return false;
  TcxCustomGridTableController* controller = GetGridViewValue()->GetTableController();
  if (forward)
    controller->ShowNextPage(false);
  else
    controller->ShowPrevPage(false);
  return true;
}

TcxGridItemDataBindingClass TcxGridDBDataController::GetItemDataBindingClass() {
  return TcxGridItemDBDataBinding::StaticClass();
}

TClass TcxGridDBDataController::GetDefaultValuesProviderClass() {
  return TcxGridDBDefaultValuesProvider::StaticClass();
}

Boolean TcxGridDBDataController::IsBOF() {
  TcxCustomGridTableView* view = GetGridViewValue();
  return !view || view->GetTableController()->IsStart();
}

Boolean TcxGridDBDataController::IsEOF() {
  TcxCustomGridTableView* view = GetGridViewValue();
  return !view || view->GetTableController()->IsFinish();
}

void TcxGridDBDataController::RememberScrollPosition() {
  if (!SupportsRecNoScrolling()) {
    FPrevScrollBarPos = -1;
    return;
  }
  // Inserting keeps the position it had.
  if (GetEditState() & dceInsert) return;
  FPrevScrollBarPos = GetDataSetRecNo() - 1;
}

Integer TcxGridDBDataController::GetScrollBarRecordCount() {
  if (!SupportsRecNoScrolling()) return -1;
  return GetDataSetRecordCount() + GetGridViewValue()->GetTableController()->GetVisibleRecordCount() - 1;
}

Boolean TcxGridDBDataController::SetScrollBarPosition(Integer position) {
  if (!SupportsRecNoScrolling()) return false;
  SetDataSetRecNo(position + 1);
  return true;
}

TObject* TcxGridDBDataController::GetItem(Integer index) { return orv::grid::ViewItem(GetGridViewValue(), index); }

Integer TcxGridDBDataController::GetItemID(TObject* item) { return orv::grid::ViewItemID(item); }

Boolean TcxGridDBDataController::CanSelectRow(Integer rowIndex) {
  TcxCustomGridTableView* view = GetGridViewValue();
  return !view || view->DoCanSelectRecord(rowIndex);
}

void TcxGridDBDataController::ItemValueTypeChanged(Integer itemIndex) {
  inherited::ItemValueTypeChanged(itemIndex);
  orv::grid::ItemValueTypeChanged(GetGridViewValue(), itemIndex);
}

AnsiString TcxGridDBDataController::GetDisplayText(Integer recordIndex, Integer itemIndex) {
  TcxCustomGridTableView* view = GetGridViewValue();
  AnsiString text;
  if (!orv::grid::ViewDisplayText(view, recordIndex, itemIndex, text)) text = inherited::GetDisplayText(recordIndex, itemIndex);
  orv::grid::ItemDataText(view, recordIndex, itemIndex, text);
  return text;
}

AnsiString TcxGridDBDataController::GetItemFilterCaption(Integer itemIndex) {
  return orv::grid::ItemFilterCaption(GetGridViewValue(), itemIndex);
}

Integer TcxGridDBDataController::CompareRecordsByField(Integer recordIndex1, Integer recordIndex2,
                                                       TcxCustomDataField* field, TcxDataControllerComparisonMode mode) {
  if (!orv::grid::ViewComparesDates(GetGridViewValue(), field, Integer(mode)))
    return inherited::CompareRecordsByField(recordIndex1, recordIndex2, field, mode);
  return orv::grid::ViewCompareDates(GetGridViewValue(), field, GetSortingValue(recordIndex1, field),
                                     GetSortingValue(recordIndex2, field), Integer(mode));
}

Boolean TcxGridDBDataController::NeedsValueConversion(TcxCustomDataField* field) {
  return orv::grid::ViewComparesDates(GetGridViewValue(), field, 1) || inherited::NeedsValueConversion(field);
}

void TcxGridDBDataController::Refresh() {
  orv::grid::ViewRefreshGroupingDateRanges(GetGridViewValue());
  inherited::Refresh();
}

Boolean TcxGridDBDataController::GetItemSortByDisplayText(Integer itemIndex, Boolean defaultValue) {
  return orv::grid::ItemSortByDisplayText(GetGridViewValue(), itemIndex, defaultValue);
}

void TcxGridDBDataController::BeginUpdate() {
  if (TcxCustomGridTableView* view = GetGridViewValue()) view->BeginUpdate();
  inherited::BeginUpdate();
}

void TcxGridDBDataController::EndUpdate() {
  TcxCustomGridTableView* view = GetGridViewValue();
  try {
    inherited::EndUpdate();
  } catch (...) {
    if (view) view->EndUpdate();
    throw;
  }
  if (view) view->EndUpdate();
}

TcxDataSummaryItemClass TcxGridDBDataController::GetSummaryItemClass() {
  TcxCustomGridTableView* view = GetGridViewValue();
  TcxDataSummaryItemClass cls = view ? view->GetSummaryItemClass() : TcxDataSummaryItemClass();
  return cls ? cls : inherited::GetSummaryItemClass();
}

TcxDataSummaryGroupItemLinkClass TcxGridDBDataController::GetSummaryGroupItemLinkClass() {
  TcxCustomGridTableView* view = GetGridViewValue();
  TcxDataSummaryGroupItemLinkClass cls = view ? view->GetSummaryGroupItemLinkClass() : TcxDataSummaryGroupItemLinkClass();
  return cls ? cls : inherited::GetSummaryGroupItemLinkClass();
}

void TcxGridDBDataController::FilterChanged() {
  inherited::FilterChanged();
  orv::grid::ViewFilterChanged(GetGridViewValue());
}

TcxSortingBySummaryEngineClass TcxGridDBDataController::GetSortingBySummaryEngineClass() {
  return orv::grid::ViewSortingBySummaryEngineClass(GetGridViewValue());
}

Integer TcxGridDBDataController::GetDefaultGridModeBufferCount() {
  // As many records as the view can show at any size, not the rows it shows now: a buffer of
  // the fully visible rows left a partly visible last row empty, and any taller view blank.
  TcxCustomGridTableView* view = GetGridViewValue();
  auto* viewInfo = view ? dynamic_cast<TcxCustomGridTableViewInfo*>(view->GetViewInfo()) : nullptr;
  const Integer count = viewInfo ? viewInfo->BufferRecordCount() : 0;
  return count > 0 ? count : inherited::GetDefaultGridModeBufferCount();
}

// ==== Field binding =============================================================================

TcxGridDBDataController* TcxGridItemDBDataBinding::GetDBDataController() const {
  return dynamic_cast<TcxGridDBDataController*>(GetDataController());
}

AnsiString TcxGridItemDBDataBinding::GetFieldName() const {
  TcxGridDBDataController* controller = GetDBDataController();
  const Integer index = GetItem()->GetIndex();
  if (!controller || index < 0 || index >= controller->GetItemCount()) return AnsiString();
  return controller->GetItemFieldName(index);
}

void TcxGridItemDBDataBinding::SetFieldName(const AnsiString& value) {
  TcxGridDBDataController* controller = GetDBDataController();
  const Integer index = GetItem()->GetIndex();
  if (!controller || index < 0 || index >= controller->GetItemCount()) return;
  if (value == GetFieldName()) return;
  controller->ChangeItemFieldName(index, value);
}

TField* TcxGridItemDBDataBinding::GetField() const {
  TcxGridDBDataController* controller = GetDBDataController();
  const Integer index = GetItem()->GetIndex();
  if (!controller || index < 0 || index >= controller->GetItemCount()) return nullptr;
  return controller->GetItemField(index);
}

void TcxGridItemDBDataBinding::Assign(TPersistent* source) {
  if (auto* binding = dynamic_cast<TcxGridItemDBDataBinding*>(source)) SetFieldName(binding->GetFieldName());
  inherited::Assign(source);
}

AnsiString TcxGridItemDBDataBinding::GetFilterFieldName() {
  TField* field = GetField();
  return field ? field->GetFieldName() : AnsiString();
}

void TcxGridItemDBDataBinding::Init() {
  inherited::Init();
  if (auto* provider = dynamic_cast<TcxGridDBDefaultValuesProvider*>(GetDefaultValuesProvider())) {
    TcxGridDBDataController* controller = GetDBDataController();
    provider->SetDataSource(controller ? controller->GetDataSource() : nullptr);
    provider->SetField(GetField());
    provider->SetFieldName(GetFieldName());
  }
}

AnsiString TcxGridItemDBDataBinding::GetDefaultCaption() {
  if (TField* field = GetField()) return field->GetDisplayName();
  return GetFieldName();
}

TcxEditRepositoryItem* TcxGridItemDBDataBinding::GetDefaultRepositoryItem() {
  if (TField* field = GetField())
    if (TcxEditRepositoryItem* item = FieldTypeEditorRegistry()->ItemForField(field)) return item;
  return inherited::GetDefaultRepositoryItem();
}

Integer TcxGridItemDBDataBinding::GetDefaultWidth(Boolean considerHeader) {
  TField* field = GetField();
  TcxCustomGridTableView* view = GetGridView();
  if (!field || !view || !view->GetViewInfo() || !view->GetViewInfo()->Canvas())
    return inherited::GetDefaultWidth(considerHeader);
  TcxViewParams params;
  GetItem()->GetStyles()->GetContentParams(nullptr, params);
  TcxCanvas* canvas = view->GetViewInfo()->Canvas();
  if (params.Font) canvas->SetFont(params.Font);
  return canvas->TextWidth("0") * field->GetDisplayWidth() + 4;
}

// ==== Summary item ==============================================================================

TcxGridDBTableSummaryItem::TcxGridDBTableSummaryItem(TCollection* collection) : TcxDBDataSummaryItem(collection) {}

TcxCustomGridTableView* TcxGridDBTableSummaryItem::GetGridView() const {
  TcxCustomDataController* controller = const_cast<TcxGridDBTableSummaryItem*>(this)->GetDataController();
  return controller ? dynamic_cast<TcxCustomGridTableView*>(controller->GetOwner()) : nullptr;
}

TcxGridColumn* TcxGridDBTableSummaryItem::GetColumn() const {
  return dynamic_cast<TcxGridColumn*>(const_cast<TcxGridDBTableSummaryItem*>(this)->GetItemLink());
}

void TcxGridDBTableSummaryItem::SetColumn(TcxGridColumn* value) { SetItemLink(value); }

void TcxGridDBTableSummaryItem::SetDisplayText(const AnsiString& value) {
  if (FDisplayText == value) return;
  FDisplayText = value;
  if (TcxCustomGridTableView* view = GetGridView()) view->Changed(vcProperty);
}

void TcxGridDBTableSummaryItem::SetVisibleForCustomization(Boolean value) {
  if (FVisibleForCustomization == value) return;
  FVisibleForCustomization = value;
  if (TcxCustomGridTableView* view = GetGridView()) view->Changed(vcProperty);
}

void TcxGridDBTableSummaryItem::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* item = dynamic_cast<TcxGridDBTableSummaryItem*>(source)) {
    SetDisplayText(item->GetDisplayText());
    SetVisibleForCustomization(item->GetVisibleForCustomization());
  }
}

AnsiString TcxGridDBTableSummaryItem::GetStoredColumnName() const {
  AnsiString name;
  if (TcxGridColumn* column = GetColumn()) column->GetStoredObjectName(name);
  return name;
}

void TcxGridDBTableSummaryItem::SetStoredColumnName(const AnsiString& value) {
  TcxCustomGridTableView* view = GetGridView();
  SetColumn(view ? dynamic_cast<TcxGridColumn*>(view->FindItemByStoredName(value)) : nullptr);
}

// ==== View ======================================================================================

TcxGridDBDataController* TcxGridDBTableView::GetDataController() const {
  return static_cast<TcxGridDBDataController*>(TcxCustomGridView::GetDataController());
}

void TcxGridDBTableView::SetDataController(TcxGridDBDataController* value) {
  TcxCustomGridView::GetDataController()->Assign(value);
}

TcxGridDBColumn* TcxGridDBTableView::GetColumnByFieldName(const AnsiString& fieldName) const {
  auto* column = GetDataController() ? dynamic_cast<TcxGridDBColumn*>(GetDataController()->GetItemByFieldName(fieldName))
                                     : nullptr;
  return column;
}

TcxCustomDataControllerClass TcxGridDBTableView::GetDataControllerClass() {
  return TcxGridDBDataController::StaticClass();
}

// ==== Registration and published properties =====================================================

namespace {

// The view kind joins the grid's registry once, for as long as the program runs.
struct TDBTableViewRegistration {
  TDBTableViewRegistration() { cxGridRegisteredViews()->AddClass(TcxGridDBTableView::StaticClass(), "DB Table"); }
};
const TDBTableViewRegistration kDBTableViewRegistration;

}  // namespace

ORV_PUBLISH(TcxGridDBDataController) {
  using T = TcxGridDBDataController;
  p.Property("DataModeController", &T::GetDataModeController, &T::SetDataModeController);
  p.Property("DataSource", &T::GetDataSource, &T::SetDataSource);
  p.Property("DetailKeyFieldNames", &T::GetDetailKeyFieldNames, &T::SetDetailKeyFieldNames);
  p.Property("KeyFieldNames", &T::GetKeyFieldNames, &T::SetKeyFieldNames);
  p.Property("MasterKeyFieldNames", &T::GetMasterKeyFieldNames, &T::SetMasterKeyFieldNames);
  orv::grid::PublishGridDataController<T>(p);
}

ORV_PUBLISH(TcxGridItemDBDataBinding) {
  using T = TcxGridItemDBDataBinding;
  p.Property("FieldName", &T::GetFieldName, &T::SetFieldName);
}

ORV_PUBLISH(TcxGridDBColumn) {
  using T = TcxGridDBColumn;
  p.Property("DataBinding", &T::GetDataBinding, &T::SetDataBinding);
}

ORV_PUBLISH(TcxGridDBTableSummaryItem) {
  using T = TcxGridDBTableSummaryItem;
  p.Property("Column", &T::GetColumn, &T::SetColumn);
  p.Property("DisplayText", &T::GetDisplayText, &T::SetDisplayText);
  p.Property("VisibleForCustomization", &T::GetVisibleForCustomization, &T::SetVisibleForCustomization).Default(true);
}

ORV_PUBLISH(TcxGridDBTableView) {
  using T = TcxGridDBTableView;
  p.Property("DataController", &T::GetDataController, &T::SetDataController);
}
