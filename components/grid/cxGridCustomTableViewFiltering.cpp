// The table views' filtering options, the recently used filters and the table background bitmaps.
#include <algorithm>
#include <cmath>
#include <map>
#include <typeinfo>
#include <cstring>
#include <memory>

#include "components/filtercontrol/cxFilterControlDialog.h"
#include "components/filtercontrol/cxFilterDialog.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableView.h"
#include "components/grid/cxGridCustomTableViewFiltering.h"
#include "components/grid/cxGridStrs.h"
#include "components/data/cxDataUtils.h"
#include "components/data/cxDateUtils.h"
#include "components/data/cxFilterConsts.h"
#include "components/foundation/cxClasses.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exceptions.h"
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

Boolean TcxCustomGridTableView::DoFilterCustomization() {
  Boolean done = false;
  if (FOnFilterCustomization) FOnFilterCustomization(this, done);
  return done;
}

Boolean TcxCustomGridTableView::DoFilterDialogShow(TcxCustomGridTableItem* item) {
  Boolean done = false;
  if (FOnFilterDialogShow) FOnFilterDialogShow(this, item, done);
  return done;
}

// Which dialog opens: the filter builder for the whole filter, or the custom filter dialog for one
// item when the filter can be shown in it. The program's handlers may take over either. An
// installed opener stands in for the dialogs themselves (with nil for the builder).
void TcxCustomGridTableView::DoFilterCustomize(TcxCustomGridTableItem* item) {
  if (DoFilterDialogShow(item)) return;
  TcxDataFilterCriteria* filter = GetDataController()->GetFilter();
  auto* grid = dynamic_cast<TcxCustomGrid*>(GetControl());
  TFont* font = grid ? grid->GetFont() : nullptr;
  TcxLookAndFeel* lookAndFeel = grid ? grid->GetLookAndFeel() : nullptr;
  TcxGridFilterCustomizeProc proc = FilterCustomizeProc();
  if (!item || IsFilterTooComplexForDialog(filter)) {
    if (DoFilterCustomization()) return;
    if (proc) {
      proc(FFiltering, nullptr);
      return;
    }
    ShowFilterControlDialog(this, lookAndFeel, clDefault, font, AnsiString(), FOnFilterControlDialogShow,
                            TNotifyEvent(FFiltering, &TcxCustomGridTableFiltering::FilterControlDialogApply));
    return;
  }
  if (proc) {
    proc(FFiltering, item);
    return;
  }
  TcxCustomEditProperties* properties = item->GetPropertiesValue();
  if (!properties) properties = item->GetPropertiesObject();
  if (ShowFilterDialog(filter, item, properties, font, lookAndFeel, item->GetDataBinding()->GetValueTypeClass(),
                       item->GetAlternateCaptionInEffect())) {
    filter->SetActive(true);
    FFiltering->AddFilterToMRUItems();
  }
}

// ---- IcxFilterControl ----

AnsiString TcxCustomGridTableView::GetCaption(Integer index) { return GetItem(index)->GetAlternateCaptionInEffect(); }

TcxFilterCriteria* TcxCustomGridTableView::GetCriteria() { return GetDataController()->GetFilter(); }

TObject* TcxCustomGridTableView::GetItemLink(Integer index) { return GetItem(index); }

Integer TcxCustomGridTableView::GetItemLinkID(Integer index) { return GetItem(index)->GetID(); }

AnsiString TcxCustomGridTableView::GetItemLinkName(Integer index) {
  return GetDataController()->GetItemName(GetItem(index));
}

AnsiString TcxCustomGridTableView::GetFieldName(Integer index) {
  return GetItem(index)->GetDataBinding()->GetFilterFieldName();
}

TcxCustomEditProperties* TcxCustomGridTableView::GetProperties(Integer index) {
  TcxCustomGridTableItem* item = GetItem(index);
  return item->GetPropertiesValue() ? item->GetPropertiesValue() : item->GetPropertiesObject();
}

TcxValueTypeClass TcxCustomGridTableView::GetValueType(Integer index) {
  return GetItem(index)->GetDataBinding()->GetValueTypeClass();
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

TcxGridDataController::~TcxGridDataController() { orv::Free(FLoadedData); }

void TcxGridDataController::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  if (IsProviderMode()) return;
  // Without an ancestor to compare with, the records are written when there are any.
  filer->DefineBinaryProperty("Data", TStreamProc(this, &TcxGridDataController::ReadData),
                              TStreamProc(this, &TcxGridDataController::WriteData), GetRecordCount() > 0);
}

void TcxGridDataController::ReadData(TStream* stream) {
  Integer size = 0;
  stream->ReadBuffer(&size, sizeof size);
  if (size < 0 || size > stream->GetSize() - stream->GetPosition()) throw EReadError("Invalid stream format");
  orv::Free(FLoadedData);
  FLoadedData = nullptr;
  FLoadedData = new TMemoryStream;
  if (size > 0) FLoadedData->CopyFrom(stream, size);
  FLoadedData->SetPosition(0);
}

void TcxGridDataController::WriteData(TStream* stream) {
  TMemoryStream data;
  SaveDataToStream(&data);
  const Integer size = Integer(data.GetSize());
  stream->WriteBuffer(&size, sizeof size);
  data.SetPosition(0);
  if (size > 0) stream->CopyFrom(&data, size);
}

void TcxGridDataController::Loaded() {
  inherited::Loaded();
  if (!FLoadedData) return;
  TMemoryStream* data = FLoadedData;
  FLoadedData = nullptr;
  try {
    if (!IsProviderMode()) LoadDataFromStream(data);
  } catch (...) {
    orv::Free(data);
    throw;
  }
  orv::Free(data);
}

// ==== Sorting groups by a summary ===============================================================

TcxSortingBySummaryEngineClass orv::grid::ViewSortingBySummaryEngineClass(TcxCustomGridTableView* view) {
  TClass cls = view && view->GetViewData() ? view->GetViewData()->GetSortingBySummaryEngineClass() : TClass();
  return cls ? TcxSortingBySummaryEngineClass(cls) : TcxSortingBySummaryEngineClass();
}

TcxSortingBySummaryEngineClass TcxGridDataController::GetSortingBySummaryEngineClass() {
  return orv::grid::ViewSortingBySummaryEngineClass(GetGridView());
}

// ==== Date ranges ================================================================================

namespace {

TDateTime DateOnly(TDateTime date) { return TDateTime(std::floor(double(date))); }

Word YearOfDate(TDateTime date) {
  Word year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  return year;
}

Variant DateValue(TDateTime date) { return VarFromDateTime(date); }

TcxGridDateRanges* RangeContainer(TcxCustomGridDateRange* range) { return range->GetContainer(); }

TcxCustomGridTableDateTimeHandling* RangeHandling(TcxCustomGridDateRange* range) {
  return range->GetContainer() ? range->GetContainer()->GetDateTimeHandling() : nullptr;
}

AnsiString FormatWith(const AnsiString& format, TDateTime date) {
  return format.empty() ? AnsiString() : FormatDateTime(format, date);
}

}  // namespace

void TcxCustomGridDateRange::BeforeDestruction() {
  if (FContainer) FContainer->Remove(this);
  inherited::BeforeDestruction();
}

Variant TcxCustomGridDateRange::SortValueOf(TDateTime date) {
  return SortsByTime() ? DateValue(GetTimePart(date)) : GroupValueOf(date);
}

Boolean TcxGridHourRange::IncludesDate(TDateTime date) { return true; }
Variant TcxGridHourRange::GroupValueOf(TDateTime date) {
  const double time = double(GetTimePart(date));
  return DateValue(TDateTime(std::floor(time * 24 + 1e-9) / 24));
}
AnsiString TcxGridHourRange::TextOf(TDateTime date) {
  TcxCustomGridTableDateTimeHandling* handling = RangeHandling(this);
  return handling ? FormatWith(handling->GetHourFormatInEffect(), GroupValueOf(date).AsDateTime()) : AnsiString();
}

Boolean TcxGridDayRange::IncludesDate(TDateTime date) { return true; }
Variant TcxGridDayRange::GroupValueOf(TDateTime date) { return DateValue(date); }
AnsiString TcxGridDayRange::TextOf(TDateTime date) {
  TcxCustomGridTableDateTimeHandling* handling = RangeHandling(this);
  return handling ? FormatWith(handling->GetDateFormatInEffect(), date) : AnsiString();
}

Boolean TcxGridMonthRange::IncludesDate(TDateTime date) { return true; }
Variant TcxGridMonthRange::GroupValueOf(TDateTime date) { return DateValue(GetFirstDayOfMonth(date)); }
AnsiString TcxGridMonthRange::TextOf(TDateTime date) {
  TcxCustomGridTableDateTimeHandling* handling = RangeHandling(this);
  return FormatWith(handling ? handling->GetMonthFormatInEffect() : GetLocalizedResourceString(&scxGridMonthFormat),
                    date);
}
Variant TcxGridMonthRange::FilterValueOf(Boolean dateOnly, TDateTime date) {
  return MakeVariantPair(DateValue(GetFirstDayOfMonth(date)), DateValue(GetLastDayOfMonth(dateOnly, date)));
}

Boolean TcxGridYearRange::IncludesDate(TDateTime date) { return true; }
Variant TcxGridYearRange::GroupValueOf(TDateTime date) { return DateValue(GetFirstDayOfYear(date)); }
AnsiString TcxGridYearRange::TextOf(TDateTime date) {
  TcxCustomGridTableDateTimeHandling* handling = RangeHandling(this);
  return FormatWith(handling ? handling->GetYearFormatInEffect() : GetLocalizedResourceString(&scxGridYearFormat),
                    date);
}
Variant TcxGridYearRange::FilterValueOf(Boolean dateOnly, TDateTime date) {
  return MakeVariantPair(DateValue(GetFirstDayOfYear(date)), DateValue(GetLastDayOfYear(dateOnly, date)));
}

#define ORV_GRID_DAY_RANGE_BODY(Name, Offset, Text)                                                   \
  Boolean Name::IncludesDate(TDateTime date) {                                                       \
    return double(date) == double(RangeContainer(this)->GetToday()) + (Offset);                      \
  }                                                                                                  \
  AnsiString Name::TextOf(TDateTime date) { return GetLocalizedResourceString(&Text); }              \
  Variant Name::GroupValueOf(TDateTime date) { return DateValue(date); }

ORV_GRID_DAY_RANGE_BODY(TcxGridYesterdayRange, -1, scxGridYesterday)
ORV_GRID_DAY_RANGE_BODY(TcxGridTodayRange, 0, scxGridToday)
ORV_GRID_DAY_RANGE_BODY(TcxGridTomorrowRange, 1, scxGridTomorrow)

#define ORV_GRID_WEEK_RANGE_BODY(Name, Offset, Text)                                                  \
  Boolean Name::IncludesDate(TDateTime date) {                                                       \
    return double(GetWeekStartDate(date)) == double(RangeContainer(this)->GetWeekStart()) + (Offset); \
  }                                                                                                  \
  AnsiString Name::TextOf(TDateTime date) { return GetLocalizedResourceString(&Text); }              \
  Variant Name::GroupValueOf(TDateTime date) { return Variant(double(GetWeekStartDate(date)) + 0.1); }

ORV_GRID_WEEK_RANGE_BODY(TcxGridLastWeekRange, -7, scxGridLastWeek)
ORV_GRID_WEEK_RANGE_BODY(TcxGridThisWeekRange, 0, scxGridThisWeek)
ORV_GRID_WEEK_RANGE_BODY(TcxGridNextWeekRange, 7, scxGridNextWeek)

#define ORV_GRID_MONTH_RANGE_BODY(Name, Offset, Text)                                                  \
  Boolean Name::IncludesDate(TDateTime date) {                                                        \
    return GetMonthIndex(date) == RangeContainer(this)->GetMonthIndex() + (Offset);                   \
  }                                                                                                   \
  AnsiString Name::TextOf(TDateTime date) { return GetLocalizedResourceString(&Text); }               \
  Variant Name::GroupValueOf(TDateTime date) { return Variant(double(GetFirstDayOfMonth(date)) + 0.2); }

ORV_GRID_MONTH_RANGE_BODY(TcxGridLastMonthRange, -1, scxGridLastMonth)
ORV_GRID_MONTH_RANGE_BODY(TcxGridThisMonthRange, 0, scxGridThisMonth)
ORV_GRID_MONTH_RANGE_BODY(TcxGridNextMonthRange, 1, scxGridNextMonth)

#define ORV_GRID_YEAR_RANGE_BODY(Name, Offset, Text)                                                  \
  Boolean Name::IncludesDate(TDateTime date) {                                                       \
    return Integer(YearOfDate(date)) == Integer(RangeContainer(this)->GetYear()) + (Offset);         \
  }                                                                                                  \
  AnsiString Name::TextOf(TDateTime date) { return GetLocalizedResourceString(&Text); }              \
  Variant Name::GroupValueOf(TDateTime date) { return Variant(double(GetFirstDayOfYear(date)) + 0.3); }

ORV_GRID_YEAR_RANGE_BODY(TcxGridLastYearRange, -1, scxGridLastYear)
ORV_GRID_YEAR_RANGE_BODY(TcxGridThisYearRange, 0, scxGridThisYear)
ORV_GRID_YEAR_RANGE_BODY(TcxGridNextYearRange, 1, scxGridNextYear)

#undef ORV_GRID_DAY_RANGE_BODY
#undef ORV_GRID_WEEK_RANGE_BODY
#undef ORV_GRID_MONTH_RANGE_BODY
#undef ORV_GRID_YEAR_RANGE_BODY

void TcxGridDateRanges::BeforeDestruction() {
  Clear();
  inherited::BeforeDestruction();
}

void TcxGridDateRanges::CaptureToday() {
  FToday = DateOnly(Now());
  FWeekStart = GetWeekStartDate(FToday);
  DecodeDate(FToday, FYear, FMonth, FDay);
  FMonthIndex = ::GetMonthIndex(FToday);
}

void TcxGridDateRanges::Setup(TcxCustomGridTableDateTimeHandling* handling) {
  FDateTimeHandling = handling;
  CaptureToday();
  Clear();
}

Integer TcxGridDateRanges::Add(TcxCustomGridDateRange* range) {
  range->FContainer = this;
  FItems.push_back(range);
  return Count() - 1;
}

void TcxGridDateRanges::Remove(TcxCustomGridDateRange* range) {
  auto it = std::find(FItems.begin(), FItems.end(), range);
  if (it == FItems.end()) return;
  FItems.erase(it);
  range->FContainer = nullptr;
}

void TcxGridDateRanges::Clear() {
  while (!FItems.empty()) {
    TcxCustomGridDateRange* range = FItems.back();
    FItems.pop_back();
    range->FContainer = nullptr;
    range->Free();
  }
}

TcxCustomGridDateRange* TcxGridDateRanges::FindRange(TDateTime date) {
  for (TcxCustomGridDateRange* range : FItems)
    if (range->IncludesDate(date)) return range;
  return nullptr;
}

Boolean TcxGridDateRanges::AnySortsByTime() {
  return std::any_of(FItems.begin(), FItems.end(), [](TcxCustomGridDateRange* r) { return r->SortsByTime(); });
}

Boolean TcxGridDateRanges::AnyUsesTime() {
  return std::any_of(FItems.begin(), FItems.end(), [](TcxCustomGridDateRange* r) { return r->UsesTime(); });
}

void TcxGridFilteringDateRanges::Setup(TcxCustomGridTableDateTimeHandling* handling, TcxGridDateTimeFilters filters) {
  TcxGridDateRanges::Setup(handling);
  if (filters.Contains(dtfYears)) Add(TcxGridYearRange::StaticClass());
  if (filters.Contains(dtfMonths)) Add(TcxGridMonthRange::StaticClass());
}

void TcxGridGroupingDateRanges::Setup(TcxCustomGridTableDateTimeHandling* handling, TcxGridDateTimeGrouping grouping) {
  TcxGridDateRanges::Setup(handling);
  switch (grouping) {
    case dtgRelativeToToday:
      for (TClass cls : {TcxGridYesterdayRange::StaticClass(), TcxGridTodayRange::StaticClass(),
                         TcxGridTomorrowRange::StaticClass(), TcxGridLastWeekRange::StaticClass(),
                         TcxGridThisWeekRange::StaticClass(), TcxGridNextWeekRange::StaticClass(),
                         TcxGridLastMonthRange::StaticClass(), TcxGridThisMonthRange::StaticClass(),
                         TcxGridNextMonthRange::StaticClass(), TcxGridLastYearRange::StaticClass(),
                         TcxGridThisYearRange::StaticClass(), TcxGridNextYearRange::StaticClass()})
        Add(TcxCustomGridDateRangeClass(cls));
      break;
    case dtgByHour: Add(TcxGridHourRange::StaticClass()); break;
    case dtgByDate: Add(TcxGridDayRange::StaticClass()); break;
    case dtgByMonth: Add(TcxGridMonthRange::StaticClass()); break;
    case dtgByYear: Add(TcxGridYearRange::StaticClass()); break;
    default: break;
  }
}

// ==== Item filter values =========================================================================

namespace {

struct TDateFilterEntry {
  TcxGridDateTimeFilter Filter;
  TcxFilterOperatorCode Kind;
  const TResStringRec* Text;
};

const TDateFilterEntry kDateFilterEntries[] = {
    {dtfRelativeDays, focYesterday, &scxGridYesterday},
    {dtfRelativeDays, focToday, &scxGridToday},
    {dtfRelativeDays, focTomorrow, &scxGridTomorrow},
    {dtfRelativeDayPeriods, focLast30Days, &scxGridLast30Days},
    {dtfRelativeDayPeriods, focLast14Days, &scxGridLast14Days},
    {dtfRelativeDayPeriods, focLast7Days, &scxGridLast7Days},
    {dtfRelativeDayPeriods, focNext7Days, &scxGridNext7Days},
    {dtfRelativeDayPeriods, focNext14Days, &scxGridNext14Days},
    {dtfRelativeDayPeriods, focNext30Days, &scxGridNext30Days},
    {dtfRelativeWeeks, focLastTwoWeeks, &scxGridLastTwoWeeks},
    {dtfRelativeWeeks, focLastWeek, &scxGridLastWeek},
    {dtfRelativeWeeks, focThisWeek, &scxGridThisWeek},
    {dtfRelativeWeeks, focNextWeek, &scxGridNextWeek},
    {dtfRelativeWeeks, focNextTwoWeeks, &scxGridNextTwoWeeks},
    {dtfRelativeMonths, focLastMonth, &scxGridLastMonth},
    {dtfRelativeMonths, focThisMonth, &scxGridThisMonth},
    {dtfRelativeMonths, focNextMonth, &scxGridNextMonth},
    {dtfRelativeYears, focLastYear, &scxGridLastYear},
    {dtfRelativeYears, focThisYear, &scxGridThisYear},
    {dtfRelativeYears, focNextYear, &scxGridNextYear},
    {dtfPastFuture, focInPast, &scxGridPast},
    {dtfPastFuture, focInFuture, &scxGridFuture},
};

Boolean SameFilterValue(const Variant& a, const Variant& b) {
  if (VarIsArray(a) || VarIsArray(b)) {
    if (!VarIsArray(a) || !VarIsArray(b) || a.LowBound() != b.LowBound() || a.HighBound() != b.HighBound())
      return false;
    for (Integer i = a.LowBound(); i <= a.HighBound(); ++i)
      if (VarCompareValue(a.GetElement(i), b.GetElement(i)) != vrEqual) return false;
    return true;
  }
  if (VarIsNull(a) || VarIsNull(b)) return VarIsNull(a) && VarIsNull(b);
  return VarCompareValue(a, b) == vrEqual;
}

// Each item's recently used filter values, freed with the item.
class TFilterMRUValuesKeeper : public TComponent {
  ORV_CLASS(TFilterMRUValuesKeeper, TComponent)
 public:
  TFilterMRUValuesKeeper() : TComponent(nullptr) {}
  void BeforeDestruction() override {
    for (auto& entry : FLists) orv::Free(entry.second);
    FLists.clear();
    inherited::BeforeDestruction();
  }
  TcxGridFilterMRUValueItems* ListOf(TcxCustomGridTableItem* item) {
    auto it = FLists.find(item);
    if (it != FLists.end()) return it->second;
    auto* list = new TcxGridFilterMRUValueItems;
    TcxCustomGridTableView* view = item->GetGridView();
    list->SetMaxCount(view ? view->GetFiltering()->GetItemMRUItemsListCount() : 5);
    FLists[item] = list;
    item->FreeNotification(this);
    return list;
  }
  void Notification(TComponent* component, TOperation operation) override {
    inherited::Notification(component, operation);
    if (operation != opRemove) return;
    auto it = FLists.find(static_cast<TcxCustomGridTableItem*>(component));
    if (it == FLists.end()) return;
    orv::Free(it->second);
    FLists.erase(it);
  }

 private:
  std::map<TcxCustomGridTableItem*, TcxGridFilterMRUValueItems*> FLists;
};

TFilterMRUValuesKeeper* MRUValuesKeeper() {
  static std::unique_ptr<TFilterMRUValuesKeeper, orv::FreeDeleter> keeper(new TFilterMRUValuesKeeper);
  return keeper.get();
}

}  // namespace

Boolean TcxGridFilterMRUValueItem::Equals(TcxMRUItem* item) {
  auto* other = dynamic_cast<TcxGridFilterMRUValueItem*>(item);
  return other && SameFilterValue(Value, other->Value);
}

void TcxGridFilterMRUValueItems::AddValue(const Variant& value, const AnsiString& displayText) {
  PushItem(new TcxGridFilterMRUValueItem(value, displayText));
}

void TcxGridFilterMRUValueItems::AddToValueList(TcxFilterValueList* valueList) {
  for (Integer i = 0; i < GetItemCount(); ++i) {
    auto* item = static_cast<TcxGridFilterMRUValueItem*>(GetItemAt(i));
    valueList->AddEntry(fvkRecent, item->Value, false, item->DisplayText);
  }
}

Integer TcxGridFilterValueList::IndexOfDateValue(const Variant& value) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetEntry(i).Kind == fvkGridDate && SameFilterValue(GetEntry(i).Value, value)) return i;
  return -1;
}

void TcxGridFilterValueList::GetSupportedDateOperators(orv::Set<TcxFilterOperatorCode>& operators) {
  operators = {};
  for (Integer kind = focYesterday; kind <= focInFuture; ++kind) operators.Include(TcxFilterOperatorCode(kind));
}

void TcxGridFilterValueList::AddDateTimeFilterValues(TcxCustomGridTableItem* item) {
  const TcxGridDateTimeFilters filters = orv::grid::ItemDateTimeFilters(item);
  for (const TDateFilterEntry& entry : kDateFilterEntries)
    if (filters.Contains(entry.Filter))
      AddEntry(fvkGridDate, Variant(Integer(entry.Kind)), false, GetLocalizedResourceString(entry.Text));
  AddEntry(fvkGridSeparator, Null(), false, AnsiString());
}

void TcxGridFilterValueList::AddDateRangeValues(TcxCustomGridDateRange* range, Boolean dateOnly) {
  Integer i = 0;
  while (i < GetCount() && GetEntry(i).Kind != fvkValue) ++i;
  for (; i < GetCount(); ++i) {
    const Variant value = GetEntry(i).Value;
    if (VarIsNull(value) || VarIsEmpty(value)) continue;
    TDateTime date;
    try {
      date = value.AsDateTime();
    } catch (const Exception&) {
      continue;
    }
    if (!range->IncludesDate(date)) continue;
    const Variant filterValue = range->FilterValueOf(dateOnly, date);
    if (IndexOfDateValue(filterValue) >= 0) continue;
    AddEntry(fvkGridDate, filterValue, false, range->TextOf(date));
    ++i;  // the entry went in before the values
  }
}

void TcxGridFilterValueList::AddDateRanges(TcxCustomGridTableItem* item) {
  TcxCustomGridTableView* view = item->GetGridView();
  std::unique_ptr<TcxGridFilteringDateRanges, orv::FreeDeleter> ranges(new TcxGridFilteringDateRanges);
  ranges->Setup(view->GetDateTimeHandling(), orv::grid::ItemDateTimeFilters(item));
  item->DoInitFilteringDateRanges(ranges.get());
  const Boolean dateOnly = view->GetDateTimeHandling()->GetIgnoreTimeForFiltering() &&
                           item->GetOptions()->GetIgnoreTimeForFiltering();
  for (Integer i = 0; i < ranges->Count(); ++i) AddDateRangeValues(ranges->Items(i), dateOnly);
}

void TcxGridFilterValueList::LoadForItem(TcxCustomGridTableItem* item, Boolean displayTextOrder,
                                         Boolean filteredOnly) {
  Load(item->GetIndex(), displayTextOrder, filteredOnly);
  if (orv::grid::ItemUsesFilteringDateRanges(item, true)) AddDateTimeFilterValues(item);
  if (orv::grid::ItemUsesFilteringDateRanges(item, false)) AddDateRanges(item);
}

Integer TcxGridFilterValueList::GetIndexForCondition(TcxFilterCriteriaItem* condition) {
  if (condition) {
    orv::Set<TcxFilterOperatorCode> dateOperators;
    GetSupportedDateOperators(dateOperators);
    if (dateOperators.Contains(condition->GetOperatorCode())) {
      const Integer index = IndexOfDateValue(Variant(Integer(condition->GetOperatorCode())));
      if (index >= 0) return index;
    } else if (condition->GetOperatorCode() == focBetween) {
      const Integer index = IndexOfDateValue(condition->GetValue());
      if (index >= 0) return index;
    }
  }
  return inherited::GetIndexForCondition(condition);
}

TcxGridFilterMRUValueItems* orv::grid::ItemFilterMRUValueItems(TcxCustomGridTableItem* item) {
  return MRUValuesKeeper()->ListOf(item);
}

TcxGridDateTimeFilters orv::grid::ItemDateTimeFilters(TcxCustomGridTableItem* item) {
  TcxCustomGridTableView* view = item->GetGridView();
  if (!view || !IsDateTimeValueType(item->GetDataBinding()->GetValueTypeClass())) return {};
  return view->GetDateTimeHandling()->GetFilters();
}

Boolean orv::grid::ItemUsesFilteringDateRanges(TcxCustomGridTableItem* item, Boolean relative) {
  if (!item->GetGridView() || !IsDateTimeValueType(item->GetDataBinding()->GetValueTypeClass())) return false;
  const TcxGridDateTimeFilters filters = item->GetGridView()->GetDateTimeHandling()->GetFilters();
  if (relative) return !(filters - TcxGridDateTimeFilters{dtfMonths, dtfYears}).Empty();
  // A handler may add ranges of its own to an empty set.
  return filters.Contains(dtfMonths) || filters.Contains(dtfYears) || item->GetGridView()->GetOnInitFilteringDateRanges() ||
         item->GetOnInitFilteringDateRanges();
}

TcxGridFilterValueList* orv::grid::NewFilterValueList(TcxCustomGridTableItem* item) {
  return new TcxGridFilterValueList(item->GetGridView()->GetDataController()->GetFilter());
}

void orv::grid::LoadFilterValueList(TcxCustomGridTableItem* item, TcxGridFilterValueList* valueList,
                                    Boolean valuesOnly, Boolean filteredValuesAllowed, Boolean displayTextOrder) {
  const Boolean filteredOnly = filteredValuesAllowed && item->UseFilteredValuesForFilterList();
  valueList->LoadForItem(item, displayTextOrder, filteredOnly);
  item->DoGetFilterValues(valueList);
  if (valuesOnly) {
    for (Integer i = valueList->GetCount() - 1; i >= 0; --i)
      if (valueList->GetEntry(i).Kind != fvkValue) valueList->DeleteEntry(i);
  } else if (item->CanFilterMRUValueItems()) {
    ItemFilterMRUValueItems(item)->AddToValueList(valueList);
  }
}

void orv::grid::GetFilterStrings(TcxCustomGridTableItem* item, TStrings* strings, TcxGridFilterValueList* valueList) {
  LoadFilterValueList(item, valueList, false, true, true);
  strings->BeginUpdate();
  try {
    strings->Clear();
    for (Integer i = 0; i < valueList->GetCount(); ++i) {
      AnsiString text = valueList->GetEntry(i).DisplayText;
      item->GetFilterDisplayText(valueList->GetEntry(i).Value, text);
      strings->AddObject(text, reinterpret_cast<TObject*>(static_cast<intptr_t>(i)));
    }
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

void orv::grid::GetFilterSelectedIndexes(TcxCustomGridTableItem* item, TcxGridFilterValueList* valueList,
                                         TcxGridIndexes& indexes) {
  indexes.clear();
  TcxDataFilterCriteria* filter = item->GetGridView()->GetDataController()->GetFilter();
  TcxFilterCriteriaItem* first = filter->FindItemForLink(item);
  if (!first) return;
  TcxFilterCriteriaItemList* group = first->GetParent();
  std::vector<TcxFilterCriteriaItem*> examined;
  if (group->GetBoolOperator() == fbcAnd) {
    examined.push_back(first);
  } else if (group->GetBoolOperator() == fbcOr) {
    for (Integer i = 0; i < group->GetCount(); ++i)
      if (!group->GetItem(i)->IsGroup()) examined.push_back(static_cast<TcxFilterCriteriaItem*>(group->GetItem(i)));
  } else {
    return;
  }
  for (TcxFilterCriteriaItem* condition : examined) {
    if (condition->GetLinkedItem() != item) continue;
    const Integer index = valueList->GetIndexForCondition(condition);
    if (index < 0 || valueList->GetEntry(index).Kind == fvkCustom) continue;
    indexes.push_back(index);
  }
}

void orv::grid::ApplyFilterSelectedIndexes(TcxCustomGridTableItem* item, TcxGridFilterValueList* valueList,
                                           const TcxGridIndexes& indexes) {
  TcxDataFilterCriteria* filter = item->GetGridView()->GetDataController()->GetFilter();
  filter->BeginUpdate();
  try {
    filter->RemoveItemsByLink(item);
    if (!indexes.empty()) {
      TcxFilterCriteriaItemList* root = filter->GetRoot();
      TcxFilterCriteriaItemList* group = root;
      if (!(root->GetBoolOperator() == fbcOr || (root->GetBoolOperator() == fbcAnd && indexes.size() == 1)))
        group = root->AddGroup(fbcOr);
      for (Integer index : indexes) ApplyFilterValueEntry(valueList, item, index, false, false, group);
    }
  } catch (...) {
    filter->EndUpdate();
    throw;
  }
  filter->EndUpdate();
}

void orv::grid::ApplyFilterValueEntry(TcxGridFilterValueList* valueList, TcxCustomGridTableItem* item, Integer index,
                                      Boolean addToMRUValues, Boolean replaceExisting,
                                      TcxFilterCriteriaItemList* group) {
  if (index < 0 || index >= valueList->GetCount()) return;
  TcxCustomGridTableView* view = item->GetGridView();
  TcxDataFilterCriteria* filter = view->GetDataController()->GetFilter();
  const TcxFilterValueItem entry = valueList->GetEntry(index);
  if (entry.Kind == fvkCustom) {
    view->GetFiltering()->Customize(item);
    return;
  }
  filter->BeginUpdate();
  try {
    if (!group) group = filter->GetRoot();
    auto add = [&](TcxFilterOperatorCode kind, const Variant& value, const AnsiString& text) {
      if (replaceExisting) filter->RemoveItemsByLink(item);
      filter->AddItem(replaceExisting ? filter->GetRoot() : group, item, kind, value, text);
    };
    switch (entry.Kind) {
      case fvkAll:
        item->SetFiltered(false);
        break;
      case fvkBlanks:
        add(focEqual, Null(), FilterCaptionText(&cxSFilterBlankCaption));
        break;
      case fvkNonBlanks:
        add(focNotEqual, Null(), FilterCaptionText(&cxSFilterBlankCaption));
        break;
      case fvkSpecial:
        item->DoUserFiltering(entry.Value, entry.DisplayText);
        break;
      case fvkValue:
      case fvkRecent:
        add(focEqual, entry.Value, entry.DisplayText);
        if (addToMRUValues) ItemFilterMRUValueItems(item)->AddValue(entry.Value, entry.DisplayText);
        break;
      default:
        if (entry.Kind == fvkGridDate) {
          if (VarIsArray(entry.Value)) {
            TcxCustomEditProperties* properties = item->GetPropertiesValue();
            auto text = [&](const Variant& v) {
              AnsiString s;
              if (properties)
                properties->EditValueToDisplayText(v, s);
              else
                s = VarToStr(v);
              return s;
            };
            add(focBetween, entry.Value,
                text(entry.Value.GetElement(entry.Value.LowBound())) + ";" +
                    text(entry.Value.GetElement(entry.Value.HighBound())));
          } else {
            add(TcxFilterOperatorCode(entry.Value.AsInteger()), Null(), AnsiString());
          }
        }
        break;
    }
    if (entry.Kind > fvkCustom) filter->SetActive(true);
  } catch (...) {
    filter->EndUpdate();
    throw;
  }
  filter->EndUpdate();
}
