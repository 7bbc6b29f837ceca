// The table views' filtering options, the recently used filters and the table background bitmaps.
#include <algorithm>
#include <typeinfo>
#include <cstring>
#include <memory>

#include "components/grid/cxGridCustomTableView.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Streams.h"

// ==== Item filter drop-down options =============================================================

void TcxGridItemFilterPopupOptions::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* options = dynamic_cast<TcxGridItemFilterPopupOptions*>(source)) {
    SetApplyMultiSelectChanges(options->GetApplyMultiSelectChanges());
    SetDropDownWidth(options->GetDropDownWidth());
    SetMaxDropDownItemCount(options->GetMaxDropDownItemCount());
    SetMultiSelect(options->GetMultiSelect());
  }
}

void TcxGridItemFilterPopupOptions::SetApplyMultiSelectChanges(TcxGridItemFilterPopupApplyChangesMode value) {
  if (FApplyMultiSelectChanges == value) return;
  FApplyMultiSelectChanges = value;
  Changed(vcProperty);
}

void TcxGridItemFilterPopupOptions::SetDropDownWidth(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FDropDownWidth == value) return;
  FDropDownWidth = value;
  Changed(vcProperty);
}

void TcxGridItemFilterPopupOptions::SetMaxDropDownItemCount(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FMaxDropDownItemCount == value) return;
  FMaxDropDownItemCount = value;
  Changed(vcProperty);
}

void TcxGridItemFilterPopupOptions::SetMultiSelect(Boolean value) {
  if (FMultiSelect == value) return;
  FMultiSelect = value;
  Changed(vcProperty);
}

// ==== Recently used filters =====================================================================

namespace {

using TStreamPtr = std::unique_ptr<TMemoryStream, orv::FreeDeleter>;

Boolean StreamsEqual(TMemoryStream* a, TMemoryStream* b) {
  return a->GetSize() == b->GetSize() && std::memcmp(a->GetMemory(), b->GetMemory(), std::size_t(a->GetSize())) == 0;
}

TStreamPtr FilterStream(TcxFilterCriteria* filter) {
  TStreamPtr stream(new TMemoryStream());
  filter->WriteToStream(stream.get());
  return stream;
}

}  // namespace

TcxGridFilterMRUItem::TcxGridFilterMRUItem(TcxFilterCriteria* filter) {
  auto* source = static_cast<TcxDataFilterCriteria*>(filter);
  FFilter = source->GetDataController()->CreateFilter();
  FFilter->AssignCriteria(source, true);
}

TcxGridFilterMRUItem::~TcxGridFilterMRUItem() { orv::Free(FFilter); }

TMemoryStream* TcxGridFilterMRUItem::GetFilterStream() { return FilterStream(FFilter).release(); }

Boolean TcxGridFilterMRUItem::Equals(TcxMRUItem* item) {
  auto* other = dynamic_cast<TcxGridFilterMRUItem*>(item);
  return other && IsSameFilter(other->FFilter);
}

Boolean TcxGridFilterMRUItem::IsSameFilter(TcxFilterCriteria* filter) {
  TStreamPtr own = FilterStream(FFilter);
  TStreamPtr other = FilterStream(filter);
  return StreamsEqual(own.get(), other.get());
}

AnsiString TcxGridFilterMRUItem::GetCaption() { return FFilter->GetFilterCaption(); }

void TcxGridFilterMRUItem::ApplyTo(TcxFilterCriteria* filter) { filter->AssignItems(FFilter, true); }

void TcxGridFilterMRUItems::RefreshVisibleItems() {
  const Integer oldCount = GetVisibleItemCount();
  FVisibleItems.clear();
  TcxCustomGridTableView* view = FFiltering->GetTableView();
  TcxFilterCriteria* current = view && view->GetDataController() ? view->GetDataController()->GetFilter() : nullptr;
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TcxGridFilterMRUItem* item = GetItem(i);
    if (!current || !item->IsSameFilter(current)) FVisibleItems.push_back(item);
  }
  if (GetVisibleItemCount() != oldCount) FFiltering->MRUItemsVisibleCountChanged(oldCount, GetVisibleItemCount());
}

void TcxGridFilterMRUItems::AddFilter(TcxFilterCriteria* filter) {
  if (!filter || filter->IsEmptyCriteria()) return;
  // The visible list points at items the push may free.
  FVisibleItems.clear();
  PushItem(new TcxGridFilterMRUItem(filter));
  RefreshVisibleItems();
}

void TcxGridFilterMRUItems::DeleteEmptyItems() {
  const Integer count = GetItemCount();
  FVisibleItems.clear();
  for (Integer i = count - 1; i >= 0; --i)
    if (GetItem(i)->GetFilter()->IsEmptyCriteria()) DeleteItem(i);
  RefreshVisibleItems();
}

// ==== Filtering options =========================================================================

// The owned objects come from the class factories as this class answers them (a constructor
// reaches no descendant's override).
TcxCustomGridTableFiltering::TcxCustomGridTableFiltering(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {
  FItemPopup = TcxCustomGridTableFiltering::ItemFilterPopupOptionsClass().Create(GetGridView());
  FMRUItems = TcxCustomGridTableFiltering::FilterMRUItemsClass().Create(this);
  FMRUItems->SetMaxCount(FMRUItemsListCount + 1);
}

TcxCustomGridTableFiltering::~TcxCustomGridTableFiltering() {
  orv::Free(FMRUItems);
  orv::Free(FItemPopup);
}

TcxCustomGridTableView* TcxCustomGridTableFiltering::GetTableView() const {
  return dynamic_cast<TcxCustomGridTableView*>(GetGridView());
}

void TcxCustomGridTableFiltering::Assign(TPersistent* source) {
  auto* filtering = dynamic_cast<TcxCustomGridTableFiltering*>(source);
  if (!filtering) {
    inherited::Assign(source);
    return;
  }
  SetItemFilteredItemsList(filtering->GetItemFilteredItemsList());
  SetItemMRUItemsList(filtering->GetItemMRUItemsList());
  SetItemMRUItemsListCount(filtering->GetItemMRUItemsListCount());
  SetItemPopup(filtering->GetItemPopup());
  SetMRUItemsList(filtering->GetMRUItemsList());
  SetMRUItemsListCount(filtering->GetMRUItemsListCount());
}

void TcxCustomGridTableFiltering::SetItemFilteredItemsList(Boolean value) {
  if (FItemFilteredItemsList == value) return;
  FItemFilteredItemsList = value;
  Changed(vcProperty);
}

void TcxCustomGridTableFiltering::SetItemMRUItemsList(Boolean value) {
  if (FItemMRUItemsList == value) return;
  FItemMRUItemsList = value;
  Changed(vcProperty);
}

void TcxCustomGridTableFiltering::SetItemMRUItemsListCount(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FItemMRUItemsListCount == value) return;
  FItemMRUItemsListCount = value;
  Changed(vcProperty);
}

void TcxCustomGridTableFiltering::SetMRUItemsList(Boolean value) {
  if (FMRUItemsList == value) return;
  FMRUItemsList = value;
  Changed(vcSize);
}

void TcxCustomGridTableFiltering::SetMRUItemsListCount(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FMRUItemsListCount == value) return;
  FMRUItemsListCount = value;
  // One more than shown: the filter in force is kept but never offered.
  FMRUItems->SetMaxCount(value > 0 ? value + 1 : 0);
  FMRUItems->RefreshVisibleItems();
  Changed(vcProperty);
}

void TcxCustomGridTableFiltering::ViewFilterChanged() { FMRUItems->RefreshVisibleItems(); }

Boolean TcxCustomGridTableFiltering::IsMRUItemsListAvailable() {
  return FMRUItemsList && FMRUItems->GetVisibleItemCount() > 0;
}

void TcxCustomGridTableFiltering::MRUItemsVisibleCountChanged(Integer oldCount, Integer newCount) {
  if (FMRUItemsList && (oldCount == 0 || newCount == 0)) Changed(vcSize);
}

void TcxCustomGridTableFiltering::Customize(TcxCustomGridTableItem* item) {
  if (TcxCustomGridTableView* view = GetTableView()) view->DoFilterCustomize(item);
}

void TcxCustomGridTableFiltering::AddFilterToMRUItems(TcxFilterCriteria* filter) {
  if (!filter) {
    TcxCustomGridTableView* view = GetTableView();
    if (!view || !view->GetDataController()) return;
    filter = view->GetDataController()->GetFilter();
  }
  FMRUItems->AddFilter(filter);
}

void TcxCustomGridTableFiltering::FilterControlDialogApply(TObject* sender) {
  TcxCustomGridTableView* view = GetTableView();
  if (!view) return;
  TcxDataFilterCriteria* filter = view->GetDataController()->GetFilter();
  if (!filter->IsEmptyCriteria()) filter->SetActive(true);
  AddFilterToMRUItems();
}

// Older descriptions kept these here; each goes to the property that replaced it.
void TcxCustomGridTableFiltering::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  using T = TcxCustomGridTableFiltering;
  filer->DefineProperty("CustomizeDialog", TReaderProc(this, &T::ReadCustomizeDialog), TWriterProc(), false);
  filer->DefineProperty("DropDownWidth", TReaderProc(this, &T::ReadDropDownWidth), TWriterProc(), false);
  filer->DefineProperty("MaxDropDownCount", TReaderProc(this, &T::ReadMaxDropDownCount), TWriterProc(), false);
  filer->DefineProperty("MRUItemsListDropDownCount", TReaderProc(this, &T::ReadMRUItemsListDropDownCount),
                        TWriterProc(), false);
  filer->DefineProperty("Position", TReaderProc(this, &T::ReadPosition), TWriterProc(), false);
  filer->DefineProperty("Visible", TReaderProc(this, &T::ReadVisible), TWriterProc(), false);
}

namespace {

const orv::EnumNames<TcxGridFilterPosition> kFilterPositionNames("TcxGridFilterPosition", {"fpTop", "fpBottom"});
const orv::EnumNames<TcxGridFilterVisible> kFilterVisibleNames("TcxGridFilterVisible",
                                                               {"fvNever", "fvNonEmpty", "fvAlways"});
const orv::EnumNames<TcxGridItemFilterPopupApplyChangesMode> kApplyChangesNames(
    "TcxGridItemFilterPopupApplyChangesMode", {"fpacImmediately", "fpacOnButtonClick"});

template <class E>
E ReadEnumIdent(TReader* reader) {
  const AnsiString ident = reader->ReadIdent();
  Int64 ordinal = 0;
  const orv::EnumInfo* info = orv::FindEnumInfo(typeid(E));
  if (!info || !info->OrdinalOf(ident, ordinal)) throw EReadError("Invalid property value " + ident);
  return E(ordinal);
}

}  // namespace

void TcxCustomGridTableFiltering::ReadCustomizeDialog(TReader* reader) {
  const Boolean value = reader->ReadBoolean();
  if (auto* view = GetTableView()) view->GetFilterBox()->SetCustomizeDialog(value);
}

void TcxCustomGridTableFiltering::ReadDropDownWidth(TReader* reader) { FItemPopup->SetDropDownWidth(reader->ReadInteger()); }

void TcxCustomGridTableFiltering::ReadMaxDropDownCount(TReader* reader) {
  FItemPopup->SetMaxDropDownItemCount(reader->ReadInteger());
}

void TcxCustomGridTableFiltering::ReadMRUItemsListDropDownCount(TReader* reader) {
  const Integer value = reader->ReadInteger();
  if (auto* view = GetTableView()) view->GetFilterBox()->SetMRUItemsListDropDownCount(value);
}

void TcxCustomGridTableFiltering::ReadPosition(TReader* reader) {
  const auto value = ReadEnumIdent<TcxGridFilterPosition>(reader);
  if (auto* view = GetTableView()) view->GetFilterBox()->SetPosition(value);
}

void TcxCustomGridTableFiltering::ReadVisible(TReader* reader) {
  const auto value = ReadEnumIdent<TcxGridFilterVisible>(reader);
  if (auto* view = GetTableView()) view->GetFilterBox()->SetVisible(value);
}

// ==== Table background bitmaps ==================================================================

void TcxCustomGridTableBackgroundBitmaps::Assign(TPersistent* source) {
  if (auto* bitmaps = dynamic_cast<TcxCustomGridTableBackgroundBitmaps*>(source)) {
    SetValue(1, bitmaps->GetValue(1));
    SetValue(2, bitmaps->GetValue(2));
  }
  inherited::Assign(source);
}

Integer TcxCustomGridTableBackgroundBitmaps::GetBitmapStyleIndex(Integer index) {
  if (index == 1) return vsContent;
  if (index == 2) return vsFilterBox;
  return inherited::GetBitmapStyleIndex(index);
}

// ==== Published properties ======================================================================

ORV_PUBLISH(TcxGridItemFilterPopupOptions) {
  using T = TcxGridItemFilterPopupOptions;
  p.Property("ApplyMultiSelectChanges", &T::GetApplyMultiSelectChanges, &T::SetApplyMultiSelectChanges)
      .Default(fpacImmediately);
  p.Property("DropDownWidth", &T::GetDropDownWidth, &T::SetDropDownWidth).Default(0);
  p.Property("MaxDropDownItemCount", &T::GetMaxDropDownItemCount, &T::SetMaxDropDownItemCount).Default(15);
  p.Property("MultiSelect", &T::GetMultiSelect, &T::SetMultiSelect).Default(true);
}

ORV_PUBLISH(TcxGridFilterBox) {
  using T = TcxGridFilterBox;
  p.Property("CustomizeDialog", &T::GetCustomizeDialog, &T::SetCustomizeDialog).Default(true);
  p.Property("MRUItemsListDropDownCount", &T::GetMRUItemsListDropDownCount, &T::SetMRUItemsListDropDownCount)
      .Default(0);
  p.Property("Position", &T::GetPosition, &T::SetPosition).Default(fpBottom);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(fvNonEmpty);
}

ORV_PUBLISH(TcxCustomGridTableFiltering) {
  using T = TcxCustomGridTableFiltering;
  p.Property("MRUItemsList", &T::GetMRUItemsList, &T::SetMRUItemsList).Default(true);
  p.Property("MRUItemsListCount", &T::GetMRUItemsListCount, &T::SetMRUItemsListCount).Default(10);
}

ORV_PUBLISH(TcxCustomGridTableBackgroundBitmaps) {
  using T = TcxCustomGridTableBackgroundBitmaps;
  p.Property("Content", &T::GetContent, &T::SetContent);
  p.Property("FilterBox", &T::GetFilterBox, &T::SetFilterBox);
}

// ==== The view's filtering ======================================================================

namespace {
TcxGridFilterCustomizeProc& FilterCustomizeProc() {
  static TcxGridFilterCustomizeProc proc = nullptr;
  return proc;
}
}  // namespace

void SetGridFilterCustomizeProc(TcxGridFilterCustomizeProc proc) { FilterCustomizeProc() = proc; }

void TcxCustomGridTableView::DoFilterCustomize(TcxCustomGridTableItem* item) {
  if (TcxGridFilterCustomizeProc proc = FilterCustomizeProc()) proc(FFiltering, item);
}

void TcxCustomGridTableView::SetFiltering(TcxCustomGridTableFiltering* value) { FFiltering->Assign(value); }

TcxCustomGridTableFilteringClass TcxCustomGridTableView::GetFilteringClass() {
  return TcxCustomGridTableFiltering::StaticClass();
}

TcxCustomGridBackgroundBitmapsClass TcxCustomGridTableView::GetBackgroundBitmapsClass() {
  return TcxCustomGridTableBackgroundBitmaps::StaticClass();
}

// ==== The unbound grid data controller's published properties ===================================

namespace {
const orv::EnumNames<TcxDataControllerOption> kDataControllerOptionNames(
    "TcxDataControllerOption",
    {"dcoAnsiSort", "dcoCaseInsensitive", "dcoAssignGroupingValues", "dcoAssignMasterDetailKeys", "dcoSaveExpanding",
     "dcoSortByDisplayText", "dcoFocusTopRowAfterSorting", "dcoGroupsAlwaysExpanded", "dcoImmediatePost",
     "dcoInsertOnNewItemRowFocusing"});
}  // namespace

ORV_PUBLISH(TcxGridDataController) { orv::grid::PublishGridDataController<TcxGridDataController>(p); }

// ==== Sorting groups by a summary ===============================================================

TcxSortingBySummaryEngineClass orv::grid::ViewSortingBySummaryEngineClass(TcxCustomGridTableView* view) {
  TClass cls = view && view->GetViewData() ? view->GetViewData()->GetSortingBySummaryEngineClass() : TClass();
  return cls ? TcxSortingBySummaryEngineClass(cls) : TcxSortingBySummaryEngineClass();
}

TcxSortingBySummaryEngineClass TcxGridDataController::GetSortingBySummaryEngineClass() {
  return orv::grid::ViewSortingBySummaryEngineClass(GetGridView());
}
