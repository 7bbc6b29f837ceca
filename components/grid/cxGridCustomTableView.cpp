#include "components/grid/cxGridCustomTableView.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "components/editors/cxTextEdit.h"
#include "components/foundation/cxControls.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableViewFiltering.h"
#include "components/grid/cxGridDBTableView.h"
#include "components/grid/cxGridLevel.h"
#include "components/grid/cxGridStrs.h"
#include "platform/controls/Clipbrd.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/Streams.h"

namespace {

// -1, 0 or 1 as the first value sorts before, with or after the second.
Integer CompareOrder(const Variant& a, const Variant& b) {
  switch (VarCompareValue(a, b)) {
    case vrLessThan:
      return -1;
    case vrGreaterThan:
      return 1;
    default:
      return 0;
  }
}

// Hourglass cursor for the lifetime of the object (also when the work raises).
struct TGridTableHourglass {
  TGridTableHourglass() { ShowHourglassCursor(); }
  ~TGridTableHourglass() { HideHourglassCursor(); }
  TGridTableHourglass(const TGridTableHourglass&) = delete;
  TGridTableHourglass& operator=(const TGridTableHourglass&) = delete;
};

// The view's update lock for a scope (also when the work raises).
// (The unlock runs changes that may raise, so it is not left to a destructor.)
template <class F>
void GridTableLocked(TcxCustomGridView* view, F&& work) {
  view->BeginUpdate();
  try {
    work();
  } catch (...) {
    view->EndUpdate();
    throw;
  }
  view->EndUpdate();
}

// "Hex:" and two upper-case hexadecimal digits per byte.
AnsiString GridTableStreamToHexText(TMemoryStream* stream) {
  if (stream->GetSize() == 0) return AnsiString();
  static const char kDigits[] = "0123456789ABCDEF";
  AnsiString text = "Hex:";
  const auto* bytes = static_cast<const Byte*>(stream->GetMemory());
  for (Int64 i = 0; i < stream->GetSize(); ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

Integer GridTableHexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The bytes after the first four characters; false for malformed hexadecimal.
Boolean GridTableHexTextToStream(const AnsiString& text, TMemoryStream* stream) {
  const std::size_t length = text.size() - 4;
  if (length % 2 != 0) return false;
  for (std::size_t i = 4; i < text.size(); i += 2) {
    const Integer high = GridTableHexDigit(text[i]);
    const Integer low = GridTableHexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    const Byte b = Byte(high * 16 + low);
    stream->Write(&b, 1);
  }
  stream->SetPosition(0);
  return true;
}

TcxGridDefaultRepositoryItemLookup gGridDefaultRepositoryItemLookup = nullptr;

// Text editing for every value type until the editor collection installs its lookup.
class TcxGridFallbackTextRepositoryItem : public TcxEditRepositoryItem {
  ORV_CLASS(TcxGridFallbackTextRepositoryItem, TcxEditRepositoryItem)
 public:
  explicit TcxGridFallbackTextRepositoryItem(TComponent* owner) : TcxEditRepositoryItem(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TcxTextEditProperties::StaticClass(); }
};

TcxEditRepositoryItem* GridFallbackTextRepositoryItem() {
  // Kept to the end of the program: its text properties reach the locale format controller
  // when freed, which static destruction may already have taken away.
  static TcxGridFallbackTextRepositoryItem* item = new TcxGridFallbackTextRepositoryItem(nullptr);
  return item;
}

}  // namespace

void SetGridDefaultRepositoryItemLookup(TcxGridDefaultRepositoryItemLookup lookup) {
  gGridDefaultRepositoryItemLookup = lookup;
}

// ==== Changes ===================================================================================

void TcxGridDataChange::Run() {
  if (auto* view = dynamic_cast<TcxCustomGridTableView*>(GetGridView())) view->RecordsViewDataChanged();
}

void TcxGridRecordChange::Run() {
  auto* view = dynamic_cast<TcxCustomGridTableView*>(GetGridView());
  if (!view) return;
  // The record is looked up by its row again: the object named at submission may have been
  // replaced since (a data change is never queued, so it does not absorb this change).
  TcxCustomGridRecord* record = view->GetTableViewData()->ExistingRecordAt(FRecordIndex);
  if (!record || record != FRecord) return;
  TcxCustomGridCellViewInfo* viewInfo = record->GetViewInfo();
  if (!viewInfo) return;
  if (FItem && (view->IndexOfItem(FItem) == -1 || !FItem->GetActuallyVisible())) return;
  if (!view->IsVisible()) return;
  viewInfo->Recalculate();
  const TRect bounds = viewInfo->GetBounds();
  if (!RectIsEmpty(bounds)) view->ViewChanged(bounds);
}

Boolean TcxGridRecordChange::IsCoveredBy(TcxCustomGridChange* other) {
  auto* viewChange = dynamic_cast<TcxCustomGridViewChange*>(other);
  if (!viewChange || viewChange->GetGridView() != GetGridView()) return false;
  return other->InheritsFrom(TcxGridLayoutChange::StaticClass()) ||
         other->InheritsFrom(TcxGridSizeChange::StaticClass()) ||
         other->InheritsFrom(TcxGridDataChange::StaticClass());
}

Boolean TcxGridRecordChange::IsSameAs(TcxCustomGridChange* other) {
  if (!inherited::IsSameAs(other)) return false;
  auto* change = static_cast<TcxGridRecordChange*>(other);
  return change->FRecord == FRecord && change->FRecordIndex == FRecordIndex && change->FItem == FItem;
}

void TcxGridFocusedRecordChange::Run() {
  auto* view = dynamic_cast<TcxCustomGridTableView*>(GetGridView());
  if (!view) return;
  TcxCustomGridTableController* controller = view->GetTableController();
  TcxCustomGridTableViewData* viewData = view->GetTableViewData();
  if (view->GetDataController()->IsGridMode() && view->GetSite()) view->GetSite()->UpdateScrollBars();
  if ((FFocusedRecordIndex != FPrevFocusedRecordIndex || FNewItemRecordFocusingChanged) &&
      !controller->IsFocusing())
    controller->MakeFocusedRecordVisible();
  if (view->RecordHeightsVaryWithFocus()) {
    view->SizeChanged(false, false);
  } else {
    if (TcxCustomGridRecord* record = viewData->CheckedRecordAt(FPrevFocusedRecordIndex)) record->Invalidate();
    if (FFocusedRecordIndex != FPrevFocusedRecordIndex)
      if (TcxCustomGridRecord* record = viewData->CheckedRecordAt(FFocusedRecordIndex)) record->Invalidate();
    if (FNewItemRecordFocusingChanged && viewData->GetNewItemRecord()) viewData->GetNewItemRecord()->Invalidate();
  }
  view->DoFocusedRecordChanged(FPrevFocusedRecordIndex, FFocusedRecordIndex, FNewItemRecordFocusingChanged);
}

// ==== Hit tests =================================================================================

TcxCustomGridRecord* TcxGridRecordHitTest::HitRecord() const {
  return FViewData ? FViewData->RecordOfKind(FGridRecordKind, FGridRecordIndex) : nullptr;
}

void TcxGridRecordHitTest::SetHitRecord(TcxCustomGridRecord* record) {
  if (record) {
    FViewData = record->GetViewData();
    FGridRecordIndex = record->GetIndex();
    FGridRecordKind = FViewData->KindOfRecord(record);
  } else {
    FViewData = nullptr;
    FGridRecordIndex = -1;
    FGridRecordKind = -1;
  }
}

// ==== Records ===================================================================================

void TcxCustomGridRecord::BeforeDestruction() {
  FViewInfo = nullptr;
  inherited::BeforeDestruction();
}

TcxCustomGridTableView* TcxCustomGridRecord::GetGridView() const { return FViewData->GetGridView(); }
TcxCustomDataController* TcxCustomGridRecord::GetDataController() const { return FViewData->GetDataController(); }
TcxCustomGridTableController* TcxCustomGridRecord::GetController() const {
  return GetGridView()->GetTableController();
}

void TcxCustomGridRecord::RefreshRecordInfo() {
  if (IsNewItemRecord()) {
    FRecordInfo = TcxRowInfo();
    FRecordInfo.RecordIndex = GetDataController()->GetNewItemRecordIndex();
  } else {
    FRecordInfo = GetDataController()->GetRowInfo(FIndex);
  }
}

Boolean TcxCustomGridRecord::IsLast() { return FIndex + 1 == FViewData->GetRecordCount(); }

TcxCustomGridRecord* TcxCustomGridRecord::GetParentRecord() {
  if (GetLevel() == 0) {
    TcxCustomGridView* view = GetGridView();
    if (!view->IsDetail()) return nullptr;
    auto* master = dynamic_cast<TcxCustomGridTableView*>(view->MasterGridView());
    return master ? master->GetTableViewData()->CheckedRecordAt(view->MasterGridRecordIndex()) : nullptr;
  }
  for (Integer i = FIndex - 1; i >= 0; --i) {
    TcxCustomGridRecord* record = FViewData->RecordAt(i);
    if (record->GetLevel() < GetLevel()) return record;
  }
  return nullptr;
}

Boolean TcxCustomGridRecord::GetSelected() {
  if (IsNewItemRecord()) return GetDataController()->GetNewItemRowFocused();
  return GetDataController()->IsRowSelected(FIndex);
}

Boolean TcxCustomGridRecord::ReadVisible() {
  if (IsNewItemRecord()) return true;
  return FViewInfo && FViewInfo->GetVisible();
}

void TcxCustomGridRecord::SetSelected(Boolean value) {
  if (IsNewItemRecord()) {
    GetDataController()->SetNewItemRowFocused(value);
    return;
  }
  if (GetGridView()->GetTableOptionsSelection()->GetMultiSelect()) GetDataController()->ChangeRowSelection(FIndex, value);
}

void TcxCustomGridRecord::GetDisplayText(Integer itemIndex, AnsiString& text) {
  Integer index = itemIndex;
  GetDataController()->GetRowDisplayText(FRecordInfo, index, text);
}

Integer TcxCustomGridRecord::GetValueCount() { return GetDataController()->GetItemCount(); }

void TcxCustomGridRecord::GetValue(Integer itemIndex, Variant& value) {
  GetDataController()->GetRowValue(FRecordInfo, itemIndex, value);
}

void TcxCustomGridRecord::SetDisplayText(Integer itemIndex, const AnsiString& text) {
  GetDataController()->SetDisplayText(GetRecordIndex(), itemIndex, text);
}

void TcxCustomGridRecord::SetValue(Integer itemIndex, const Variant& value) {
  GetDataController()->SetValue(GetRecordIndex(), itemIndex, value);
}

void TcxCustomGridRecord::KeyDown(Word& key, TShiftState shift) {
  if ((key == VK_RETURN || key == VK_F2 || key == 229) && shift.Empty() && GetHasCells()) {
    TcxCustomGridTableController* controller = GetController();
    if (TcxCustomGridTableItem* item = controller->GetFocusedItem()) {
      if (item->CanEdit()) {
        controller->GetEditingController()->ShowEdit(item);
        if (controller->IsEditing()) key = 0;
      }
    }
    return;
  }
  if (key == VK_ADD || key == VK_SUBTRACT) {
    if (!GetExpandable()) return;
    if (key == VK_ADD)
      ExpandIfPossible(false);
    else
      CollapseIfPossible(false);
    key = 0;
  }
}

Boolean TcxCustomGridRecord::CanFocus() { return GetGridView()->DoCanFocusRecord(this); }

Boolean TcxCustomGridRecord::CanFocusCells() { return GetGridView()->GetTableOptionsSelection()->GetCellSelect(); }

void TcxCustomGridRecord::Invalidate(TcxCustomGridTableItem* item) {
  if (FViewInfo) GetGridView()->AddChange(new TcxGridRecordChange(GetGridView(), item, FIndex, this));
}

Boolean TcxCustomGridRecord::GetFocused() { return GetController()->GetFocusedRecord() == this; }

void TcxCustomGridRecord::SetFocused(Boolean value) {
  if (value)
    GetController()->FocusRecord(this);
  else if (GetFocused())
    GetController()->FocusRecord(nullptr);
}

void TcxCustomGridRecord::SetExpanded(Boolean value) {
  if (value == GetExpanded()) return;
  if (value)
    ExpandIfPossible(false);
  else
    CollapseIfPossible(false);
}

Boolean TcxCustomGridRecord::IsEditing() { return FViewData->GetEditingRecord() == this; }
Boolean TcxCustomGridRecord::IsNewItemRecord() { return FViewData->GetNewItemRecord() == this; }

Boolean TcxCustomGridRecord::IsValid() {
  return GetRecordIndex() >= 0 && GetRecordIndex() < GetDataController()->GetRecordCount();
}

Boolean TcxCustomGridRecord::IsParentRecordLast(Integer depth) {
  if (IsLast()) return true;
  return FViewData->RecordAt(FIndex + 1)->GetLevel() < GetLevel() - depth;
}

Integer TcxCustomGridRecord::LastParentRecordCount() {
  if (GetLevel() == 0) return 0;
  Integer count = 0;
  while (count < GetLevel() && IsParentRecordLast(count)) ++count;
  return count;
}

Boolean TcxCustomGridRecord::DragHighlighted() { return GetController()->GetDragHighlightedRecord() == this; }

void TcxCustomGridRecord::MakeVisible() { GetController()->MakeRecordVisible(this); }

// ==== View data =================================================================================

TcxCustomGridTableViewData::~TcxCustomGridTableViewData() {
  DestroyNewItemRecord();
  DestroyRecords();
}

TcxCustomGridTableView* TcxCustomGridTableViewData::GetGridView() const {
  return static_cast<TcxCustomGridTableView*>(TcxGridViewHandler::GetGridView());
}

TcxCustomGridRecord** TcxCustomGridTableViewData::Slot(Integer index) {
  std::unique_ptr<TcxCustomGridRecord*[]>& page = FPages[std::size_t(index >> kPageShift)];
  if (!page) page.reset(new TcxCustomGridRecord*[kPageSize]());
  return &page[std::size_t(index & (kPageSize - 1))];
}

TcxCustomGridRecord* TcxCustomGridTableViewData::SlotValue(Integer index) const {
  const std::unique_ptr<TcxCustomGridRecord*[]>& page = FPages[std::size_t(index >> kPageShift)];
  return page ? page[std::size_t(index & (kPageSize - 1))] : nullptr;
}

TcxCustomGridRecord* TcxCustomGridTableViewData::RecordAt(Integer index) {
  TcxCustomGridRecord** slot = Slot(index);
  if (!*slot) {
    const TcxRowInfo info = GetDataController()->GetRowInfo(index);
    *slot = RecordClassForRow(info).Create(this, index, info);
    ++FCreatedCount;
  }
  return *slot;
}

TcxCustomGridRecord* TcxCustomGridTableViewData::CheckedRecordAt(Integer index) {
  return IsRowIndexInRange(index) ? RecordAt(index) : nullptr;
}

TcxCustomGridRecord* TcxCustomGridTableViewData::ExistingRecordAt(Integer index) const {
  return IsRowIndexInRange(index) ? SlotValue(index) : nullptr;
}

Integer TcxCustomGridTableViewData::CreatedRecordCount() const { return FCreatedCount; }

TcxCustomGridRecord* TcxCustomGridTableViewData::RecordOfKind(Integer kind, Integer index) {
  if (kind == 1) return FNewItemRecord;
  if (kind == 0) return CheckedRecordAt(index);
  return nullptr;
}

TcxCustomGridRecord* TcxCustomGridTableViewData::RecordOfDataRecord(Integer recordIndex) {
  TcxCustomDataController* controller = GetDataController();
  if (FNewItemRecord && recordIndex == controller->GetNewItemRecordIndex()) return FNewItemRecord;
  if (recordIndex < 0 || recordIndex >= controller->GetRecordCount()) return nullptr;
  if (GetGridView()->IsUpdateLocked() || !controller->IsRowModelConsistent()) {
    for (std::size_t p = 0; p < FPages.size(); ++p) {
      if (!FPages[p]) continue;
      for (Integer i = 0; i < kPageSize; ++i) {
        TcxCustomGridRecord* record = FPages[p][std::size_t(i)];
        if (record && record->GetIsData() && record->GetRecordIndex() == recordIndex) return record;
      }
    }
    // The row numbering cannot be trusted now: no record is made from it.
    return nullptr;
  }
  return CheckedRecordAt(controller->GetRowIndexByRecordIndex(recordIndex, false));
}

void TcxCustomGridTableViewData::UpdateEditingRecord() {
  TcxCustomDataController* controller = GetDataController();
  FEditingRecord = controller->IsEditing() ? RecordOfDataRecord(controller->GetEditingRecordIndex()) : nullptr;
}

void TcxCustomGridTableViewData::RefreshRecordInfos() {
  if (FNewItemRecord) FNewItemRecord->RefreshRecordInfo();
  for (const auto& page : FPages)
    if (page)
      for (Integer i = 0; i < kPageSize; ++i)
        if (TcxCustomGridRecord* record = page[std::size_t(i)]) record->RefreshRecordInfo();
  UpdateEditingRecord();
}

void TcxCustomGridTableViewData::SyncNewItemRecord() {
  if (HasNewItemRecord()) {
    if (!FNewItemRecord) CreateNewItemRecord();
  } else {
    DestroyNewItemRecord();
  }
}

void TcxCustomGridTableViewData::CreateNewItemRecord() {
  TcxCustomGridRecordClass recordClass = NewItemRecordClass();
  if (!recordClass) return;
  FNewItemRecord = recordClass.Create(this, -1, TcxRowInfo());
  FNewItemRecord->RefreshRecordInfo();
}

void TcxCustomGridTableViewData::DestroyNewItemRecord() {
  if (FEditingRecord == FNewItemRecord) FEditingRecord = nullptr;
  FreeAndNil(FNewItemRecord);
}

void TcxCustomGridTableViewData::DestroyRecords() {
  FEditingRecord = FEditingRecord == FNewItemRecord ? FEditingRecord : nullptr;
  for (auto& page : FPages)
    if (page)
      for (Integer i = 0; i < kPageSize; ++i) FreeAndNil(page[std::size_t(i)]);
  FPages.clear();
  FRecordCount = 0;
  FCreatedCount = 0;
}

void TcxCustomGridTableViewData::ResetRecords(Integer rowCount) {
  if (FNewItemRecord) {
    DestroyNewItemRecord();
    CreateNewItemRecord();
  }
  DestroyRecords();
  FRecordCount = std::max<Integer>(rowCount, 0);
  FPages.resize(std::size_t((Int64(FRecordCount) + kPageSize - 1) >> kPageShift));
  UpdateEditingRecord();
  GetGridView()->SizeChanged(GetDataController()->IsDetailTemplate(), false);
}

void TcxCustomGridTableViewData::CollapseAll(Boolean recursive) {
  GridTableLocked(GetGridView(), [&] {
    for (Integer i = GetRecordCount() - 1; i >= 0; --i)
      if (i < GetRecordCount()) RecordAt(i)->CollapseIfPossible(recursive);
  });
}

void TcxCustomGridTableViewData::ExpandAll(Boolean recursive) {
  GridTableLocked(GetGridView(), [&] {
    const Integer count = GetRecordCount();
    for (Integer i = 0; i < count && i < GetRecordCount(); ++i) RecordAt(i)->ExpandIfPossible(recursive);
  });
}

Boolean TcxCustomGridTableViewData::ItemDisplayText(Integer recordIndex, Integer itemIndex, Integer mode,
                                                    Boolean converted, AnsiString& text) {
  TcxCustomGridTableView* view = GetGridView();
  if (itemIndex < 0 || itemIndex >= view->GetItemCount()) return false;
  TcxCustomEditProperties* properties = view->GetItem(itemIndex)->GetPropertiesForRecordIndex(recordIndex);
  if (!properties) return false;
  if (!converted && properties->GetValueExchangeMode(false) != 0) return false;
  Variant value = GetDataController()->GetValue(recordIndex, itemIndex);
  if (converted && UsesDateHandling(view->GetItem(itemIndex), mode)) {
    Variant result;
    ConvertDateValue(view->GetItem(itemIndex), value, result, mode);
    value = result;
  }
  properties->EditValueToDisplayText(value, text);
  return true;
}

namespace {

// The ranges that an item's dates group by; none when they group by exact values.
TcxGridGroupingDateRanges* ActiveGroupingRanges(TcxCustomGridTableItem* item) {
  TcxGridGroupingDateRanges* ranges = item ? item->GetGroupingDateRanges() : nullptr;
  return ranges && ranges->Count() > 0 ? ranges : nullptr;
}

// The form of a date that the ranges look at: its date part unless some range needs the time.
TDateTime RangeLookupDate(TcxGridDateRanges* ranges, const Variant& value) {
  const TDateTime date = VarToDateTime(value);
  return ranges->AnyUsesTime() ? date : TDateTime(std::floor(double(date)));
}

}  // namespace

Boolean TcxCustomGridTableViewData::UsesDateHandling(TcxCustomGridTableItem* item, Integer mode) {
  if (!item || !item->GetDataBinding()) return false;
  const Boolean dates = TClass(item->GetDataBinding()->GetValueTypeClass()) == TClass(TcxDateTimeValueType::StaticClass());
  if (!dates) return false;
  if (mode == 1) return ActiveGroupingRanges(item) != nullptr;
  if (mode != 2) return false;
  return GetGridView()->GetDateTimeHandling()->GetIgnoreTimeForFiltering() &&
         item->GetOptions()->GetIgnoreTimeForFiltering();
}

Boolean TcxCustomGridTableViewData::ComparesConvertedValues(Integer itemIndex, Integer mode) {
  TcxCustomGridTableView* view = GetGridView();
  if (itemIndex < 0 || itemIndex >= view->GetItemCount() || (mode != 0 && mode != 1)) return false;
  TcxCustomGridTableItem* item = view->GetItem(itemIndex);
  if (!UsesDateHandling(item, 1)) return false;
  if (mode == 1) return true;
  const Integer groupIndex = item->GetGroupIndex();
  if (groupIndex == -1) return false;
  return groupIndex < view->GetGroupedItemCount() - 1 ||
         item->GetGroupingDateRanges()->AnySortsByTime();
}

void TcxCustomGridTableViewData::ConvertDateValue(TcxCustomGridTableItem* item, const Variant& value, Variant& result,
                                                  Integer mode) {
  if (VarIsNull(value) || VarIsEmpty(value)) {
    result = value;
    return;
  }
  TcxGridGroupingDateRanges* ranges = mode < 2 ? ActiveGroupingRanges(item) : nullptr;
  if (!ranges) {
    result = VarFromDateTime(TDateTime(std::floor(double(VarToDateTime(value)))));
    return;
  }
  const TDateTime date = RangeLookupDate(ranges, value);
  TcxCustomGridDateRange* range = ranges->FindRange(date);
  if (!range)
    result = VarFromDateTime(date);
  else
    result = mode == 1 ? range->GroupValueOf(date) : range->SortValueOf(date);
}

Integer TcxCustomGridTableViewData::CompareItemValues(Integer itemIndex, const Variant& value1, const Variant& value2,
                                                      Integer mode) {
  TcxCustomGridTableView* view = GetGridView();
  TcxCustomGridTableItem* item = itemIndex >= 0 && itemIndex < view->GetItemCount() ? view->GetItem(itemIndex) : nullptr;
  Variant a, b;
  ConvertDateValue(item, value1, a, mode == 0 ? 0 : 1);
  ConvertDateValue(item, value2, b, mode == 0 ? 0 : 1);
  return CompareOrder(a, b);
}

void TcxCustomGridTableViewData::GroupValueDisplayText(Integer recordIndex, Integer itemIndex, AnsiString& text,
                                                       Integer mode) {
  text.clear();
  TcxCustomGridTableView* view = GetGridView();
  if (mode == 1 && itemIndex >= 0 && itemIndex < view->GetItemCount()) {
    if (TcxGridGroupingDateRanges* ranges = ActiveGroupingRanges(view->GetItem(itemIndex))) {
      const Variant value = GetDataController()->GetValue(recordIndex, itemIndex);
      if (!VarIsNull(value) && !VarIsEmpty(value)) {
        const TDateTime date = RangeLookupDate(ranges, value);
        if (TcxCustomGridDateRange* range = ranges->FindRange(date)) text = range->TextOf(date);
      }
    }
  }
  if (text.empty()) ItemDisplayText(recordIndex, itemIndex, mode, true, text);
}

// ==== Item data binding =========================================================================

// What an item's editor properties take their defaults from in an unbound view.
class TcxGridDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
  ORV_CLASS(TcxGridDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
 public:
  explicit TcxGridDefaultValuesProvider(TPersistent* owner) : TcxCustomEditDefaultValuesProvider(owner) {}
  Boolean HasDefaultDisplayFormat(Boolean editing) override {
    return orv::grid::ItemHasDefaultDisplayFormat(static_cast<TcxGridItemDataBinding*>(GetOwner()), editing);
  }
};

Boolean orv::grid::ItemHasDefaultDisplayFormat(TcxGridItemDataBinding* binding, Boolean editing) {
  TcxCustomGridTableItem* item = binding ? binding->GetItem() : nullptr;
  if (!item) return false;
  TcxCustomDataController* controller = binding->GetDataController();
  const Integer index = item->GetIndex();
  if (controller && index >= 0 && index < controller->GetItemCount() &&
      controller->IsItemDisplayTextStored(index, !editing))
    return true;
  return bool(item->GetOnGetDataText());
}

// The provider's class is the data controller's choice (the dataset-bound one answers from the
// bound field).
TcxGridItemDataBinding::TcxGridItemDataBinding(TcxCustomGridTableItem* item) : FItem(item) {
  TClass providerClass = TcxGridDefaultValuesProvider::StaticClass();
  if (auto* navigation = dynamic_cast<IcxGridDataControllerNavigation*>(GetDataController()))
    if (TClass cls = navigation->GetDefaultValuesProviderClass()) providerClass = cls;
  FDefaultValuesProvider = orv::ClassOf<TcxCustomEditDefaultValuesProvider>(providerClass).Create(this);
}

TcxGridItemDataBinding::~TcxGridItemDataBinding() { orv::Free(FDefaultValuesProvider); }

TPersistent* TcxGridItemDataBinding::GetOwner() { return FItem; }

void TcxGridItemDataBinding::Assign(TPersistent* source) {
  if (auto* binding = dynamic_cast<TcxGridItemDataBinding*>(source)) {
    SetData(binding->GetData());
    SetValueTypeClass(binding->GetValueTypeClass());
    return;
  }
  inherited::Assign(source);
}

TcxCustomGridTableView* TcxGridItemDataBinding::GetGridView() const { return FItem->GetGridView(); }
TcxCustomDataController* TcxGridItemDataBinding::GetDataController() const { return FItem->GetDataController(); }

TcxDataFilterCriteria* TcxGridItemDataBinding::GetFilterCriteria() const {
  TcxCustomDataController* controller = GetDataController();
  return controller ? controller->GetFilter() : nullptr;
}

TcxFilterCriteriaItem* TcxGridItemDataBinding::GetFilterCriteriaItem() const {
  TcxDataFilterCriteria* criteria = GetFilterCriteria();
  return criteria ? criteria->FindItemForLink(FItem) : nullptr;
}

TcxValueTypeClass TcxGridItemDataBinding::GetValueTypeClass() const {
  TcxCustomDataController* controller = GetDataController();
  if (!controller || FItem->GetIndex() < 0 || FItem->GetIndex() >= controller->GetItemCount()) return nullptr;
  return controller->GetItemValueTypeClass(FItem->GetIndex());
}

void TcxGridItemDataBinding::SetValueTypeClass(TcxValueTypeClass value) {
  TcxCustomDataController* controller = GetDataController();
  if (!controller || FItem->GetIndex() < 0 || FItem->GetIndex() >= controller->GetItemCount()) return;
  if (TClass(GetValueTypeClass()) == TClass(value)) return;
  controller->SetItemValueTypeClass(FItem->GetIndex(), value);
  FItem->ValueTypeClassChanged();
}

AnsiString TcxGridItemDataBinding::GetValueType() const {
  TcxValueTypeClass valueType = GetValueTypeClass();
  return TClass(valueType) ? valueType->TypeCaption() : AnsiString();
}

void TcxGridItemDataBinding::SetValueType(const AnsiString& value) {
  if (value == GetValueType()) return;
  SetValueTypeClass(ValueTypeRegistry()->FindByCaption(value));
}

void TcxGridItemDataBinding::SetData(TObject* value) {
  if (FData == value) return;
  FData = value;
  FItem->Changed(vcProperty);
}

Boolean TcxGridItemDataBinding::GetFiltered() const { return GetFilterCriteriaItem() != nullptr; }

void TcxGridItemDataBinding::SetFiltered(Boolean value) {
  if (value) return;
  if (TcxDataFilterCriteria* criteria = GetFilterCriteria()) criteria->RemoveItemsByLink(FItem);
}

TcxValueTypeClass TcxGridItemDataBinding::GetDefaultValueTypeClass() { return TcxStringValueType::StaticClass(); }

Boolean TcxGridItemDataBinding::IsValueTypeClassStored() {
  return TClass(GetValueTypeClass()) != TClass(GetDefaultValueTypeClass());
}

TcxEditRepositoryItem* TcxGridItemDataBinding::GetDefaultRepositoryItem() {
  return gGridDefaultRepositoryItemLookup ? gGridDefaultRepositoryItemLookup(GetValueTypeClass())
                                          : GridFallbackTextRepositoryItem();
}

// ==== Comparing dates by their grouping ranges ==================================================

namespace {

// Asked for every comparison of every sort: fields of other types leave at the cheap type test.
TcxCustomGridTableItem* DateFieldItem(TcxCustomGridTableView* view, TcxCustomDataField* field) {
  if (!view || !field || field->GetIsInternal()) return nullptr;
  if (!IsDateTimeValueType(field->GetValueTypeClass())) return nullptr;
  auto* item = dynamic_cast<TcxCustomGridTableItem*>(field->GetItem());
  return item && item->GetGridView() == view ? item : nullptr;
}

}  // namespace

Boolean orv::grid::ViewComparesDates(TcxCustomGridTableView* view, TcxCustomDataField* field, Integer mode) {
  TcxCustomGridTableItem* item = DateFieldItem(view, field);
  if (!item || (mode != 0 && mode != 1)) return false;
  TcxCustomGridTableViewData* data = view->GetTableViewData();
  if (!data) return false;
  if (data->ComparesConvertedValues(item->GetIndex(), mode)) return true;
  // The last grouping level sorts its records by their own dates, yet the records of one range
  // must stay together: relative ranges are not in date order (this week surrounds today).
  return mode == 0 && item->GetGroupIndex() != -1 && data->UsesDateHandling(item, 1);
}

Integer orv::grid::ViewCompareDates(TcxCustomGridTableView* view, TcxCustomDataField* field, const Variant& value1,
                                    const Variant& value2, Integer mode) {
  TcxCustomGridTableItem* item = DateFieldItem(view, field);
  TcxCustomGridTableViewData* data = view->GetTableViewData();
  const Integer result = data->CompareItemValues(item->GetIndex(), value1, value2, mode);
  if (result != 0 || mode != 0 || data->ComparesConvertedValues(item->GetIndex(), 0)) return result;
  return CompareOrder(value1, value2);
}

void orv::grid::ViewRefreshGroupingDateRanges(TcxCustomGridTableView* view) {
  if (!view) return;
  for (Integer i = 0; i < view->GetItemCount(); ++i) view->GetItem(i)->RefreshGroupingDateRanges();
}

// ==== Grid data controller ======================================================================

TcxCustomGridTableView* TcxGridDataController::GetGridView() const {
  return dynamic_cast<TcxCustomGridTableView*>(GetOwnerComponent());
}

namespace orv::grid {

TObject* ViewItem(TcxCustomGridTableView* view, Integer index) {
  return view && index >= 0 && index < view->GetItemCount() ? view->GetItem(index) : nullptr;
}

Integer ViewItemID(TObject* item) {
  auto* tableItem = dynamic_cast<TcxCustomGridTableItem*>(item);
  return tableItem ? tableItem->GetID() : -1;
}

Boolean ViewDisplayText(TcxCustomGridTableView* view, Integer recordIndex, Integer itemIndex, AnsiString& text) {
  return view && view->GetTableViewData() &&
         view->GetTableViewData()->ItemDisplayText(recordIndex, itemIndex, 0, true, text);
}

void ItemDataText(TcxCustomGridTableView* view, Integer recordIndex, Integer itemIndex, AnsiString& text) {
  if (view && itemIndex >= 0 && itemIndex < view->GetItemCount())
    view->GetItem(itemIndex)->DoGetDataText(recordIndex, text);
}

AnsiString ItemFilterCaption(TcxCustomGridTableView* view, Integer itemIndex) {
  if (!view || itemIndex < 0 || itemIndex >= view->GetItemCount()) return AnsiString();
  return view->GetItem(itemIndex)->GetAlternateCaptionInEffect();
}

Boolean ItemSortByDisplayText(TcxCustomGridTableView* view, Integer itemIndex, Boolean defaultValue) {
  if (!view || itemIndex < 0 || itemIndex >= view->GetItemCount()) return defaultValue;
  return view->GetItem(itemIndex)->SortByDisplayText(defaultValue);
}

void ItemValueTypeChanged(TcxCustomGridTableView* view, Integer itemIndex) {
  if (view && itemIndex >= 0 && itemIndex < view->GetItemCount()) view->GetItem(itemIndex)->ValueTypeClassChanged();
}

void ViewFilterChanged(TcxCustomGridTableView* view) {
  if (view && view->GetFiltering()) view->GetFiltering()->ViewFilterChanged();
}

}  // namespace orv::grid

TObject* TcxGridDataController::GetItem(Integer index) { return orv::grid::ViewItem(GetGridView(), index); }

TObject* orv::grid::CreateDetailView(TcxCustomDataRelation* relation, Integer recordIndex) {
  auto* level = relation ? dynamic_cast<TcxGridLevel*>(relation->GetItem()) : nullptr;
  return level ? level->CreateDetailView(relation, recordIndex) : nullptr;
}

TcxCustomDataController* orv::grid::DetailViewDataController(TObject* linkObject) {
  auto* view = dynamic_cast<TcxCustomGridView*>(linkObject);
  return view ? view->GetDataController() : nullptr;
}

TObject* TcxGridDataController::CreateDetailLinkObject(TcxCustomDataRelation* relation, Integer recordIndex) {
  return orv::grid::CreateDetailView(relation, recordIndex);
}

TcxCustomDataController* TcxGridDataController::GetDetailDataController(TObject* linkObject) {
  return orv::grid::DetailViewDataController(linkObject);
}

Integer TcxGridDataController::GetItemID(TObject* item) { return orv::grid::ViewItemID(item); }

Boolean TcxGridDataController::CanSelectRow(Integer rowIndex) {
  TcxCustomGridTableView* view = GetGridView();
  return !view || view->DoCanSelectRecord(rowIndex);
}

void TcxGridDataController::ItemValueTypeChanged(Integer itemIndex) {
  inherited::ItemValueTypeChanged(itemIndex);
  orv::grid::ItemValueTypeChanged(GetGridView(), itemIndex);
}

AnsiString TcxGridDataController::GetDisplayText(Integer recordIndex, Integer itemIndex) {
  TcxCustomGridTableView* view = GetGridView();
  AnsiString text;
  if (!orv::grid::ViewDisplayText(view, recordIndex, itemIndex, text)) text = inherited::GetDisplayText(recordIndex, itemIndex);
  orv::grid::ItemDataText(view, recordIndex, itemIndex, text);
  return text;
}

AnsiString TcxGridDataController::GetItemFilterCaption(Integer itemIndex) {
  return orv::grid::ItemFilterCaption(GetGridView(), itemIndex);
}

Integer TcxGridDataController::CompareRecordsByField(Integer recordIndex1, Integer recordIndex2,
                                                     TcxCustomDataField* field, TcxDataControllerComparisonMode mode) {
  if (!orv::grid::ViewComparesDates(GetGridView(), field, Integer(mode)))
    return inherited::CompareRecordsByField(recordIndex1, recordIndex2, field, mode);
  return orv::grid::ViewCompareDates(GetGridView(), field, GetSortingValue(recordIndex1, field),
                                     GetSortingValue(recordIndex2, field), Integer(mode));
}

Boolean TcxGridDataController::NeedsValueConversion(TcxCustomDataField* field) {
  return orv::grid::ViewComparesDates(GetGridView(), field, 1) || inherited::NeedsValueConversion(field);
}

void TcxGridDataController::Refresh() {
  orv::grid::ViewRefreshGroupingDateRanges(GetGridView());
  inherited::Refresh();
}

Boolean TcxGridDataController::GetItemSortByDisplayText(Integer itemIndex, Boolean defaultValue) {
  return orv::grid::ItemSortByDisplayText(GetGridView(), itemIndex, defaultValue);
}

TcxDataSummaryItemClass TcxGridDataController::GetSummaryItemClass() {
  TcxCustomGridTableView* view = GetGridView();
  TcxDataSummaryItemClass cls = view ? view->GetSummaryItemClass() : TcxDataSummaryItemClass();
  return cls ? cls : inherited::GetSummaryItemClass();
}

TcxDataSummaryGroupItemLinkClass TcxGridDataController::GetSummaryGroupItemLinkClass() {
  TcxCustomGridTableView* view = GetGridView();
  TcxDataSummaryGroupItemLinkClass cls = view ? view->GetSummaryGroupItemLinkClass() : TcxDataSummaryGroupItemLinkClass();
  return cls ? cls : inherited::GetSummaryGroupItemLinkClass();
}

void TcxGridDataController::FilterChanged() {
  inherited::FilterChanged();
  orv::grid::ViewFilterChanged(GetGridView());
}

void TcxGridDataController::BeginUpdate() {
  if (TcxCustomGridTableView* view = GetGridView()) view->BeginUpdate();
  inherited::BeginUpdate();
}

void TcxGridDataController::EndUpdate() {
  TcxCustomGridTableView* view = GetGridView();
  try {
    inherited::EndUpdate();
  } catch (...) {
    if (view) view->EndUpdate();
    throw;
  }
  if (view) view->EndUpdate();
}

// ==== Item options ==============================================================================

TPersistent* TcxCustomGridTableItemCustomOptions::GetOwner() { return FItem; }

void TcxCustomGridTableItemCustomOptions::Changed(TcxGridViewChangeKind kind) { FItem->Changed(kind); }

#define ORV_GRID_ITEM_OPTION(Name, Kind)                               \
  void TcxCustomGridTableItemOptions::Set##Name(Boolean value) {       \
    if (F##Name == value) return;                                      \
    F##Name = value;                                                   \
    Changed(Kind);                                                     \
  }
ORV_GRID_ITEM_OPTION(FilteringFilteredItemsList, vcProperty)
ORV_GRID_ITEM_OPTION(FilteringMRUItemsList, vcProperty)
ORV_GRID_ITEM_OPTION(FilteringPopup, vcSize)
ORV_GRID_ITEM_OPTION(FilteringPopupMultiSelect, vcProperty)
ORV_GRID_ITEM_OPTION(Grouping, vcProperty)
ORV_GRID_ITEM_OPTION(Moving, vcProperty)
ORV_GRID_ITEM_OPTION(Sorting, vcProperty)
#undef ORV_GRID_ITEM_OPTION

void TcxCustomGridTableItemOptions::SetEditing(Boolean value) {
  if (FEditing == value) return;
  FEditing = value;
  Changed(vcLayout);
}

void TcxCustomGridTableItemOptions::SetFiltering(Boolean value) {
  if (FFiltering == value) return;
  FFiltering = value;
  if (TcxCustomGridTableView* view = GetItem()->GetGridView()) view->RefreshFilterableItemsList();
  Changed(vcLayout);
}

void TcxCustomGridTableItemOptions::SetFocusing(Boolean value) {
  if (FFocusing == value) return;
  FFocusing = value;
  if (!value && GetItem()->GetGridView() && GetItem()->GetFocused()) GetItem()->SetFocused(false);
  Changed(vcProperty);
}

void TcxCustomGridTableItemOptions::SetIgnoreTimeForFiltering(Boolean value) {
  if (FIgnoreTimeForFiltering == value) return;
  FIgnoreTimeForFiltering = value;
  if (TcxCustomDataController* controller = GetItem()->GetDataController()) controller->Refresh();
}

void TcxCustomGridTableItemOptions::SetIncSearch(Boolean value) {
  if (FIncSearch == value) return;
  FIncSearch = value;
  Changed(vcProperty);
}

void TcxCustomGridTableItemOptions::SetShowCaption(Boolean value) {
  if (FShowCaption == value) return;
  BeforeShowCaptionChange();
  FShowCaption = value;
  Changed(vcSize);
}

void TcxCustomGridTableItemOptions::SetShowEditButtons(TcxGridItemShowEditButtons value) {
  if (FShowEditButtons == value) return;
  FShowEditButtons = value;
  Changed(vcSize);
}

void TcxCustomGridTableItemOptions::SetSortByDisplayText(TcxGridItemSortByDisplayText value) {
  if (FSortByDisplayText == value) return;
  FSortByDisplayText = value;
  if (TcxCustomDataController* controller = GetItem()->GetDataController()) controller->RequestRefresh();
}

void TcxCustomGridTableItemOptions::Assign(TPersistent* source) {
  auto* options = dynamic_cast<TcxCustomGridTableItemOptions*>(source);
  if (!options) {
    inherited::Assign(source);
    return;
  }
  SetEditing(options->GetEditing());
  SetFiltering(options->GetFiltering());
  SetFilteringFilteredItemsList(options->GetFilteringFilteredItemsList());
  SetFilteringMRUItemsList(options->GetFilteringMRUItemsList());
  SetFilteringPopup(options->GetFilteringPopup());
  SetFilteringPopupMultiSelect(options->GetFilteringPopupMultiSelect());
  SetFocusing(options->GetFocusing());
  SetGrouping(options->GetGrouping());
  SetIgnoreTimeForFiltering(options->GetIgnoreTimeForFiltering());
  SetIncSearch(options->GetIncSearch());
  SetMoving(options->GetMoving());
  SetShowCaption(options->GetShowCaption());
  SetShowEditButtons(options->GetShowEditButtons());
  SetSortByDisplayText(options->GetSortByDisplayText());
  SetSorting(options->GetSorting());
}

// ==== Item styles ===============================================================================

TcxCustomGridTableItem* TcxCustomGridTableItemStyles::GetItem() const {
  return dynamic_cast<TcxCustomGridTableItem*>(const_cast<TcxCustomGridTableItemStyles*>(this)->GetOwner());
}

TcxCustomGridView* TcxCustomGridTableItemStyles::GetGridView() const {
  TcxCustomGridTableItem* item = GetItem();
  return item ? item->GetGridView() : nullptr;
}

void TcxCustomGridTableItemStyles::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* styles = dynamic_cast<TcxCustomGridTableItemStyles*>(source)) {
    SetContent(styles->GetContent());
    SetOnGetContentStyle(styles->GetOnGetContentStyle());
  }
}

void TcxCustomGridTableItemStyles::SetOnGetContentStyle(const TcxGridGetCellStyleEvent& value) {
  if (FOnGetContentStyle == value) return;
  FOnGetContentStyle = value;
  if (TcxCustomGridTableItem* item = GetItem()) item->Changed(vcProperty);
}

void TcxCustomGridTableItemStyles::GetContentParams(TcxCustomGridRecord* record, TcxViewParams& params) {
  TcxStyle* style = nullptr;
  auto* view = static_cast<TcxCustomGridTableView*>(GetGridView());
  if (record && FOnGetContentStyle) FOnGetContentStyle(view, record, GetItem(), style);
  ResolveStyleParams(isContent, record, style, params);
}

void TcxCustomGridTableItemStyles::GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) {
  inherited::GetDefaultStyleParams(index, data, params);
  auto* view = static_cast<TcxCustomGridTableView*>(GetGridView());
  if (index == isContent && view)
    view->GetTableStyles()->GetRecordContentParams(dynamic_cast<TcxCustomGridRecord*>(data), GetItem(), params);
}

// ==== Items =====================================================================================

TcxCustomGridTableItem::TcxCustomGridTableItem(TComponent* owner) : TcxComponent(owner) {}

void TcxCustomGridTableItem::BeforeDestruction() {
  // Marked first, so that letting the repository item go does not take a default one again.
  Destroying();
  DestroySharedEditViewData();
  SetRepositoryItem(nullptr);
  if (FGridView) FGridView->RemoveItem(this);
  FreeAndNil(FGroupingDateRanges);
  DestroySubClasses();
  inherited::BeforeDestruction();
}

TcxCustomGridTableItem::~TcxCustomGridTableItem() = default;

void TcxCustomGridTableItem::CreateSubClasses() {
  FOptions = GetOptionsClass().Create(this);
  FStyles = GetStylesClass().Create(this);
}

void TcxCustomGridTableItem::CheckSubClasses() const {
  // Made once the object is whole, so that the class factories of descendants answer.
  if (!FOptions) const_cast<TcxCustomGridTableItem*>(this)->CreateSubClasses();
}

void TcxCustomGridTableItem::DestroySubClasses() {
  FCellStyleUseCount = 0;
  FreeAndNil(FCellStyle);
  FPropertiesValue = nullptr;
  FreeAndNil(FProperties);
  FreeAndNil(FStyles);
  FreeAndNil(FOptions);
}

TcxCustomGridTableItemOptionsClass TcxCustomGridTableItem::GetOptionsClass() {
  return TcxCustomGridTableItemOptions::StaticClass();
}
TcxCustomGridTableItemStylesClass TcxCustomGridTableItem::GetStylesClass() {
  return TcxCustomGridTableItemStyles::StaticClass();
}

TComponent* TcxCustomGridTableItem::GetParentComponent() const { return FGridView; }

void TcxCustomGridTableItem::SetParentComponent(TComponent* value) {
  CheckSubClasses();
  if (auto* view = dynamic_cast<TcxCustomGridTableView*>(value)) view->AddItem(this);
}

TcxCustomDataController* TcxCustomGridTableItem::GetDataController() const {
  return FGridView ? FGridView->GetDataController() : nullptr;
}
TcxCustomGridTableController* TcxCustomGridTableItem::GetController() const {
  return FGridView ? FGridView->GetTableController() : nullptr;
}
TcxCustomGridTableViewData* TcxCustomGridTableItem::GetViewData() const {
  return FGridView ? FGridView->GetTableViewData() : nullptr;
}

void TcxCustomGridTableItem::Assign(TPersistent* source) {
  auto* item = dynamic_cast<TcxCustomGridTableItem*>(source);
  if (!item) {
    inherited::Assign(source);
    return;
  }
  SetAlternateCaption(item->GetAlternateCaption());
  if (item->FIsCaptionAssigned) SetCaption(item->GetCaption());
  SetBestFitMaxWidth(item->GetBestFitMaxWidth());
  if (item->FIsHeaderAlignmentHorzAssigned) SetHeaderAlignmentHorz(item->GetHeaderAlignmentHorz());
  if (item->FIsHeaderAlignmentVertAssigned) SetHeaderAlignmentVert(item->GetHeaderAlignmentVert());
  SetMinWidth(item->FMinWidth);
  if (item->FIsWidthAssigned) SetWidth(item->FWidth);
  SetPropertiesClass(item->GetPropertiesClass());
  if (FProperties && item->GetPropertiesObject()) FProperties->Assign(item->GetPropertiesObject());
  SetRepositoryItem(item->GetRepositoryItem());
  if (FDataBinding && item->GetDataBinding()) FDataBinding->Assign(item->GetDataBinding());
  GetOptions()->Assign(item->GetOptions());
  GetStyles()->Assign(item->GetStyles());
  SetVisible(item->GetVisible());
  SetVisibleForCustomization(item->GetVisibleForCustomization());
  SetTag(item->GetTag());
  SetOnGetDataText(item->GetOnGetDataText());
  SetOnGetCellHint(item->GetOnGetCellHint());
  SetOnGetDisplayText(item->GetOnGetDisplayText());
  SetOnGetFilterDisplayText(item->GetOnGetFilterDisplayText());
  SetOnGetProperties(item->GetOnGetProperties());
  SetOnGetPropertiesForEdit(item->GetOnGetPropertiesForEdit());
  SetOnUserFiltering(item->GetOnUserFiltering());
  SetOnGetFilterValues(item->GetOnGetFilterValues());
  SetOnInitFilteringDateRanges(item->GetOnInitFilteringDateRanges());
  SetDateTimeGrouping(item->GetDateTimeGrouping());
  SetOnInitGroupingDateRanges(item->GetOnInitGroupingDateRanges());
}

AnsiString TcxCustomGridTableItem::GetObjectName() {
  AnsiString name;
  GetStoredObjectName(name);
  return name;
}

void TcxCustomGridTableItem::GetStoredObjectName(AnsiString& name) {
  if (FGridView && !FGridView->GetStoringName().empty())
    name = IntToStr(FID);
  else
    name = GetName();
}

Boolean TcxCustomGridTableItem::GetStoredProperties(TStrings* properties) {
  if (FPropertiesValue) properties->Add("AlignmentHorz");
  properties->Add("Index");
  properties->Add("Visible");
  properties->Add("SortOrder");
  properties->Add("SortIndex");
  properties->Add("WasVisibleBeforeGrouping");
  if (FOnGetStoredProperties) FOnGetStoredProperties(this, properties);
  return true;
}

void TcxCustomGridTableItem::GetStoredPropertyValue(const AnsiString& name, Variant& value) {
  if (name == "AlignmentHorz") {
    if (FPropertiesValue) value = Integer(FPropertiesValue->GetAlignment()->GetHorz());
  } else if (name == "Index") {
    value = FIndex;
  } else if (name == "Visible") {
    value = bool(GetVisible());
  } else if (name == "SortOrder") {
    value = Integer(GetSortOrder());
  } else if (name == "SortIndex") {
    value = GetSortIndex();
  } else if (name == "WasVisibleBeforeGrouping") {
    value = bool(FWasVisibleBeforeGrouping);
  } else if (FOnGetStoredPropertyValue) {
    FOnGetStoredPropertyValue(this, name, value);
  }
}

void TcxCustomGridTableItem::SetStoredPropertyValue(const AnsiString& name, const Variant& value) {
  if (name == "AlignmentHorz") {
    const auto alignment = TAlignment(value.AsInteger());
    if (!FPropertiesValue || FPropertiesValue->GetAlignment()->GetHorz() == alignment) return;
    if (!FRepositoryItem && !FProperties) {
      TcxCustomEditProperties* source = FPropertiesValue;
      SetPropertiesClass(TcxCustomEditPropertiesClass(source->ClassType()));
      if (FProperties) FProperties->Assign(source);
    }
    if (FProperties) FProperties->GetAlignment()->SetHorz(alignment);
  } else if (name == "Index") {
    SetIndex(value.AsInteger());
  } else if (name == "Visible") {
    SetVisible(value.AsBoolean());
  } else if (name == "SortOrder") {
    SetSortOrder(TcxDataSortOrder(value.AsInteger()));
  } else if (name == "SortIndex") {
    SetSortIndex(value.AsInteger());
  } else if (name == "WasVisibleBeforeGrouping") {
    FWasVisibleBeforeGrouping = value.AsBoolean();
  } else if (FOnSetStoredPropertyValue) {
    FOnSetStoredPropertyValue(this, name, value);
  }
}

void TcxCustomGridTableItem::CreateDataBinding() {
  FDataBinding = FGridView->GetItemDataBindingClass().Create(this);
  FDataBinding->SetValueTypeClass(FDataBinding->GetDefaultValueTypeClass());
}

void TcxCustomGridTableItem::DestroyDataBinding() { FreeAndNil(FDataBinding); }

void TcxCustomGridTableItem::SetGridView(TcxCustomGridTableView* value) {
  CheckSubClasses();
  FGridView = value;
  if (FGridView)
    CreateDataBinding();
  else
    DestroyDataBinding();
  RecomputePropertiesValue();
  if (FGridView)
    InitGroupingDateRanges();
  else
    FreeAndNil(FGroupingDateRanges);  // they read the settings of the view the item left
}

// ---- Grouping by date ranges ----

void TcxCustomGridTableItem::SetDateTimeGrouping(TcxGridDateTimeGrouping value) {
  if (FDateTimeGrouping == value) return;
  FDateTimeGrouping = value;
  DateTimeGroupingChanged();
}

TcxGridDateTimeGrouping TcxCustomGridTableItem::GetDateTimeGroupingInEffect() {
  if (FDateTimeGrouping != dtgDefault || !FGridView) return FDateTimeGrouping;
  return FGridView->GetDateTimeHandling()->GetGrouping();
}

void TcxCustomGridTableItem::SetOnInitGroupingDateRanges(const TcxGridInitDateRangesEvent& value) {
  if (FOnInitGroupingDateRanges == value) return;
  FOnInitGroupingDateRanges = value;
  Changed(vcProperty);
}

Boolean TcxCustomGridTableItem::UseGroupingDateRanges(Boolean byEvent) {
  if (!FGridView || !IsDateTimeValueType(GetDataBinding()->GetValueTypeClass())) return false;
  if (byEvent) return FGridView->GetOnInitGroupingDateRanges() || FOnInitGroupingDateRanges;
  return FGroupingDateRanges && FGroupingDateRanges->Count() > 0;
}

void TcxCustomGridTableItem::RefreshGroupingDateRanges() {
  if (UseGroupingDateRanges(true)) InitGroupingDateRanges();
}

void TcxCustomGridTableItem::InitGroupingDateRanges() {
  if (!FGridView) return;
  if (!FGroupingDateRanges) FGroupingDateRanges = new TcxGridGroupingDateRanges;
  FGroupingDateRanges->Setup(FGridView->GetDateTimeHandling(), GetDateTimeGroupingInEffect());
  DoInitGroupingDateRanges(FGroupingDateRanges);
}

void TcxCustomGridTableItem::DoInitGroupingDateRanges(TcxGridDateRanges* dateRanges) {
  if (FGridView) FGridView->DoInitGroupingDateRanges(this, dateRanges);
  if (FOnInitGroupingDateRanges) FOnInitGroupingDateRanges(this, dateRanges);
}

void TcxCustomGridTableItem::DateTimeGroupingChanged() {
  if (!FGridView) return;
  InitGroupingDateRanges();
  // The rows are grouped again by the new ranges.
  GetDataController()->Refresh();
}

// ---- Caption, widths, alignment ----

void TcxCustomGridTableItem::SetAlternateCaption(const AnsiString& value) {
  if (FAlternateCaption == value) return;
  FAlternateCaption = value;
  CaptionChanged();
}

AnsiString TcxCustomGridTableItem::GetAlternateCaptionInEffect() {
  return FAlternateCaption.empty() ? GetAlternateCaptionDefault() : FAlternateCaption;
}

AnsiString TcxCustomGridTableItem::GetCaption() { return FIsCaptionAssigned ? FCaption : GetDefaultCaption(); }

void TcxCustomGridTableItem::SetCaption(const AnsiString& value) {
  if (value == GetCaption() && FIsCaptionAssigned) return;
  FCaption = value;
  FIsCaptionAssigned = true;
  CaptionChanged();
}

Boolean TcxCustomGridTableItem::IsCaptionStored() { return FIsCaptionAssigned && FCaption != GetDefaultCaption(); }

AnsiString TcxCustomGridTableItem::GetDefaultCaption() {
  return FDataBinding ? FDataBinding->GetDefaultCaption() : AnsiString();
}

void TcxCustomGridTableItem::CaptionChanged() {
  if (FGridView) FGridView->ItemCaptionChanged(this);
}

void TcxCustomGridTableItem::SetBestFitMaxWidth(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FBestFitMaxWidth == value) return;
  FBestFitMaxWidth = value;
  Changed(vcProperty);
}

void TcxCustomGridTableItem::SetHeaderAlignmentHorz(TAlignment value) {
  if (value == GetHeaderAlignmentHorz()) return;
  FHeaderAlignmentHorz = value;
  FIsHeaderAlignmentHorzAssigned = true;
  Changed(vcLayout);
}

void TcxCustomGridTableItem::SetHeaderAlignmentVert(TcxAlignmentVert value) {
  if (value == GetHeaderAlignmentVert()) return;
  FHeaderAlignmentVert = value;
  FIsHeaderAlignmentVertAssigned = true;
  Changed(vcLayout);
}

Integer TcxCustomGridTableItem::GetMinWidth() { return HasFixedWidth() ? GetWidth() : FMinWidth; }

void TcxCustomGridTableItem::SetMinWidth(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FMinWidth == value) return;
  FMinWidth = value;
  if (IsLoading(this)) return;
  if (GetWidth() < FMinWidth)
    SetWidth(FMinWidth);
  else
    Changed(vcSize);
}

Integer TcxCustomGridTableItem::GetWidth() { return FIsWidthAssigned ? FWidth : GetDefaultWidth(); }

void TcxCustomGridTableItem::SetWidth(Integer value) {
  const Integer minimum = HasFixedWidth() ? 0 : FMinWidth;
  value = std::max(value, minimum);
  if (!IsLoading(this) && FIsWidthAssigned && value == FWidth) return;
  FWidth = value;
  FIsWidthAssigned = true;
  Changed(vcSize);
}

Integer TcxCustomGridTableItem::GetDefaultWidth() { return FDataBinding ? FDataBinding->GetDefaultWidth(true) : 64; }

void TcxCustomGridTableItem::ForceWidth(Integer value) {
  TcxCustomGridTableController* controller = GetController();
  if (controller) controller->SetForcingWidthItem(this);
  try {
    SetWidth(value);
  } catch (...) {
    if (controller) controller->SetForcingWidthItem(nullptr);
    throw;
  }
  if (controller) controller->SetForcingWidthItem(nullptr);
}

Boolean TcxCustomGridTableItem::GetFixed() {
  return (GetController() && GetController()->GetForcingWidthItem() == this) || HasFixedWidth();
}

void TcxCustomGridTableItem::RestoreDefaults() {
  FIsCaptionAssigned = false;
  FIsHeaderAlignmentHorzAssigned = false;
  FIsHeaderAlignmentVertAssigned = false;
  FIsWidthAssigned = false;
  Changed(vcSize);
}

// ---- Index, visibility, sorting ----

void TcxCustomGridTableItem::SetIndex(Integer value) {
  if (!FGridView) return;
  if (FGridView->IsRestoringItems())
    FGridView->AddPendingIndexItem(this, value);
  else
    FGridView->ChangeItemIndex(this, value);
}

void TcxCustomGridTableItem::SetVisible(Boolean value) {
  if (value == ReadVisible()) return;
  if (FGridView) FGridView->SaveItemsVisibilities();
  FVisible = value;
  VisibleChanged();
  if (FGridView) {
    FGridView->CheckItemVisibilities();
    FGridView->RefreshCustomizationForm();
  }
}

void TcxCustomGridTableItem::SetVisibleForCustomization(Boolean value) {
  if (FVisibleForCustomization == value) return;
  FVisibleForCustomization = value;
  VisibleForCustomizationChanged();
}

void TcxCustomGridTableItem::VisibleForCustomizationChanged() {
  if (FGridView) FGridView->RefreshCustomizationForm();
  Changed(vcProperty);
}

Boolean TcxCustomGridTableItem::IsLast() {
  return FGridView && FVisibleIndex >= 0 && FVisibleIndex + 1 == FGridView->GetVisibleItemCount();
}

TcxDataSortOrder TcxCustomGridTableItem::GetSortOrder() {
  TcxCustomDataController* controller = GetDataController();
  return controller && FIndex >= 0 ? controller->GetItemSortOrder(FIndex) : soNone;
}

void TcxCustomGridTableItem::SetSortOrder(TcxDataSortOrder value) {
  if (!GetDataController() || FIndex < 0 || value == GetSortOrder()) return;
  TGridTableHourglass hourglass;
  GetDataController()->ChangeSorting(FIndex, value);
}

Boolean TcxCustomGridTableItem::IsSortOrderStored() { return GetSortOrder() != soNone && GetSortIndex() != -1; }

Integer TcxCustomGridTableItem::GetSortIndex() {
  TcxCustomDataController* controller = GetDataController();
  return controller && FIndex >= 0 ? controller->GetItemSortingIndex(FIndex) : -1;
}

void TcxCustomGridTableItem::SetSortIndex(Integer value) {
  if (!FGridView) return;
  if (FGridView->IsAssigningItems()) {
    if (value != -1) FGridView->AddPendingSortedItem(this, value);
    return;
  }
  if (value == GetSortIndex()) return;
  TGridTableHourglass hourglass;
  GetDataController()->ChangeSortingIndex(FIndex, value);
}

Integer TcxCustomGridTableItem::GetGroupIndex() {
  TcxCustomDataController* controller = GetDataController();
  return controller && FIndex >= 0 ? controller->GetGroups()->GetItemGroupIndex(FIndex) : -1;
}

void TcxCustomGridTableItem::SetGroupIndex(Integer value) {
  if (!FGridView) return;
  if (FGridView->IsAssigningItems()) {
    if (value != -1) FGridView->AddPendingGroupedItem(this, value);
    return;
  }
  if (value == GetGroupIndex()) return;
  TGridTableHourglass hourglass;
  if (GetGroupIndex() == -1 && !FGridView->IsAfterAssigningItems()) FWasVisibleBeforeGrouping = GetVisible();
  GetDataController()->GetGroups()->ChangeGrouping(FIndex, value);
}

// ---- Focus ----

Boolean TcxCustomGridTableItem::GetFocused() { return GetController() && GetController()->GetFocusedItem() == this; }

void TcxCustomGridTableItem::SetFocused(Boolean value) {
  TcxCustomGridTableController* controller = GetController();
  if (!controller) return;
  if (value) {
    controller->SetFocusedItem(this);
  } else if (GetFocused()) {
    if (!controller->FocusNextItem(FVisibleIndex, true, true)) controller->SetFocusedItem(nullptr);
  }
}

// ---- Properties ----

void TcxCustomGridTableItem::SetPropertiesObject(TcxCustomEditProperties* value) {
  if (FProperties && value) FProperties->Assign(value);
}

AnsiString TcxCustomGridTableItem::GetPropertiesClassName() const {
  return FProperties ? AnsiString(FProperties->ClassName()) : AnsiString();
}

void TcxCustomGridTableItem::SetPropertiesClassName(const AnsiString& value) {
  TClass found = value.empty() ? nullptr : GetEditPropertiesRegistry()->FindByClassName(value);
  SetPropertiesClass(found ? TcxCustomEditPropertiesClass(found) : TcxCustomEditPropertiesClass());
}

void TcxCustomGridTableItem::SetPropertiesClass(TcxCustomEditPropertiesClass value) {
  if (TClass(FPropertiesClass) == TClass(value)) return;
  FPropertiesClass = value;
  if (FPropertiesValue == FProperties) FPropertiesValue = nullptr;
  FreeAndNil(FProperties);
  if (TClass(value)) {
    FProperties = value.Create(this);
    FProperties->SetOnPropertiesChanged(TNotifyEvent(this, &TcxCustomGridTableItem::PropertiesChangedHandler));
  }
  RecomputePropertiesValue();
  RunPropertiesChanged();
}

void TcxCustomGridTableItem::SetRepositoryItem(TcxEditRepositoryItem* value) {
  if (FRepositoryItem == value) return;
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  FRepositoryItem = value;
  if (FRepositoryItem) FRepositoryItem->AddListener(this);
  RecomputePropertiesValue();
  RunPropertiesChanged();
}

void TcxCustomGridTableItem::RecomputePropertiesValue() {
  if (FLastUsedDefaultRepositoryItem) {
    FLastUsedDefaultRepositoryItem->RemoveListener(this);
    FLastUsedDefaultRepositoryItem = nullptr;
  }
  const Boolean destroying = GetComponentState().Contains(csDestroying);
  if (!FGridView) {
    FPropertiesValue = nullptr;
  } else if (FProperties && !FRepositoryItem) {
    FPropertiesValue = FProperties;
  } else {
    TcxEditRepositoryItem* item = FRepositoryItem;
    if (!item && !destroying && FDataBinding) {
      item = FDataBinding->GetDefaultRepositoryItem();
      if (item) {
        item->AddListener(this);
        FLastUsedDefaultRepositoryItem = item;
      }
    }
    FPropertiesValue = item ? item->GetProperties() : nullptr;
  }
  if (!destroying && FPropertiesValue && GetDataController()) GetDataController()->RequestRefresh();
}

void TcxCustomGridTableItem::PropertiesChangedHandler(TObject* sender) { RunPropertiesChanged(); }

void TcxCustomGridTableItem::RunPropertiesChanged() {
  if (!FGridView || GetComponentState().Contains(csDestroying)) return;
  FGridView->RefreshFilterableItemsList();
  if (FIndex < 0 || !GetDataController()->RefreshIfItemSorted(FIndex)) Changed(vcSize);
}

void TcxCustomGridTableItem::ItemRemoved(TcxEditRepositoryItem* sender) {
  if (sender == FLastUsedDefaultRepositoryItem) {
    FLastUsedDefaultRepositoryItem = nullptr;
    RecomputePropertiesValue();
  } else if (sender == FRepositoryItem) {
    SetRepositoryItem(nullptr);
  }
}

void TcxCustomGridTableItem::PropertiesChanged(TcxEditRepositoryItem* sender) {
  if (GetDataController() && !GetDataController()->IsDetailTemplate()) RunPropertiesChanged();
}

void TcxCustomGridTableItem::ValueTypeClassChanged() {
  if (FDataBinding) FDataBinding->Init();
  RecomputePropertiesValue();
  if (FProperties) FProperties->Changed();
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetProperties(TcxCustomGridRecord* record) {
  TcxCustomEditProperties* properties = FPropertiesValue;
  if (FOnGetProperties) FOnGetProperties(this, record, properties);
  return properties;
}

void TcxCustomGridTableItem::InitProperties(TcxCustomEditProperties* properties) {
  if (!properties || !FDataBinding) return;
  properties->BeginUpdate();
  try {
    properties->SetDefaultValuesProvider(FDataBinding->GetDefaultValuesProvider());
  } catch (...) {
    properties->EndUpdate(false);
    throw;
  }
  properties->EndUpdate(false);
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetPropertiesForRecord(TcxCustomGridRecord* record) {
  TcxCustomEditProperties* properties = GetProperties(record);
  InitProperties(properties);
  return properties;
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetPropertiesForRecordIndex(Integer recordIndex) {
  if (FOnGetProperties && GetViewData())
    if (TcxCustomGridRecord* record = GetViewData()->RecordOfDataRecord(recordIndex))
      return GetPropertiesForRecord(record);
  return FPropertiesValue;
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetPropertiesForEdit() {
  TcxCustomGridRecord* focused = GetController() ? GetController()->GetFocusedRecord() : nullptr;
  TcxCustomEditProperties* properties = GetPropertiesForRecord(focused);
  DoGetPropertiesForEdit(focused, properties);
  InitProperties(properties);
  return properties;
}

void TcxCustomGridTableItem::DoGetPropertiesForEdit(TcxCustomGridRecord* record, TcxCustomEditProperties*& properties) {
  if (FOnGetPropertiesForEdit) FOnGetPropertiesForEdit(this, record, properties);
}

Boolean TcxCustomGridTableItem::SortByDisplayText(Boolean considerEditor) {
  switch (GetOptions()->GetSortByDisplayText()) {
    case isbtOn:
      return true;
    case isbtOff:
      return false;
    default:
      return bool(FOnGetDataText) ||
             (considerEditor && FPropertiesValue && (FPropertiesValue->GetCapabilities() & 512) != 0);
  }
}

// ---- Capabilities ----

namespace {
Boolean GridItemHasCapability(TcxCustomEditProperties* properties, Word capability) {
  // Without properties the controller's own text handling serves: everything is allowed.
  return !properties || (properties->GetCapabilities() & capability) != 0;
}
}  // namespace

Boolean TcxCustomGridTableItem::CanAutoHeight() {
  return FPropertiesValue && (FPropertiesValue->GetCapabilities() & 2) != 0;
}

Boolean TcxCustomGridTableItem::CanEdit() {
  TcxCustomGridTableController* controller = GetController();
  TcxCustomGridRecord* focused = controller ? controller->GetFocusedRecord() : nullptr;
  // Editing needs the focused cell on screen and a controller that works on its own rows or
  // follows its dataset's cursor (the sync bit).
  return focused && CanFocus(focused) && GetEditable() && GetFocusedCellViewInfo() &&
         (GetDataController()->GetAllowedOperations() & TcxCustomDataController::dcoSync) != 0;
}

Boolean TcxCustomGridTableItem::CanFilter(Boolean visually) {
  if (!GridItemHasCapability(FPropertiesValue, 8) || !GetOptions()->GetFiltering()) return false;
  if (!visually) return true;
  return FGridView && FGridView->GetOptionsCustomize()->GetItemFiltering() && GetOptions()->GetFilteringPopup();
}

Boolean TcxCustomGridTableItem::CanFocus(TcxCustomGridRecord* record) {
  if (!GetActuallyVisible() || !GetOptions()->GetFocusing()) return false;
  if (!record) return FGridView && FGridView->GetTableOptionsSelection()->GetCellSelect();
  return record->CanFocusCells();
}

Boolean TcxCustomGridTableItem::CanGroup() {
  return GridItemHasCapability(FPropertiesValue, 256) && FGridView &&
         FGridView->GetOptionsCustomize()->GetItemGrouping() && GetOptions()->GetGrouping();
}

Boolean TcxCustomGridTableItem::CanHide() { return !(IsFirst() && IsLast()) && CanMove(); }

Boolean TcxCustomGridTableItem::CanIncSearch() {
  return GridItemHasCapability(FPropertiesValue, 64) && FGridView &&
         FGridView->GetTableOptionsBehavior()->GetIncSearch() && GetOptions()->GetIncSearch();
}

Boolean TcxCustomGridTableItem::CanMove() {
  return IsDesignTime() || (FGridView && FGridView->GetOptionsCustomize()->GetItemMoving() && GetOptions()->GetMoving());
}

Boolean TcxCustomGridTableItem::CanSort() {
  return GridItemHasCapability(FPropertiesValue, 256) && FGridView &&
         FGridView->GetOptionsCustomize()->GetItemSorting() && GetOptions()->GetSorting();
}

Boolean TcxCustomGridTableItem::GetEditable() {
  return FGridView && FGridView->GetTableOptionsData()->GetEditing() && GetOptions()->GetEditing();
}

void TcxCustomGridTableItem::Changed(TcxGridViewChangeKind kind) {
  if (FGridView) FGridView->Changed(kind);
}

// ---- Cell view data ----

TcxCustomEditStyle* TcxCustomGridTableItem::CreateEditStyle() {
  TcxCustomEditStyleClass styleClass =
      FPropertiesValue ? FPropertiesValue->GetStyleClass() : TcxCustomEditStyleClass(TcxEditStyle::StaticClass());
  TcxCustomEditStyle* style = styleClass.Create(nullptr, true, nullptr, csNormalStyle);
  if (FGridView && FGridView->GetControl() && FGridView->LookAndFeel())
    style->GetLookAndFeel()->SetMaster(FGridView->LookAndFeel());
  return style;
}

TcxCustomEditStyle* TcxCustomGridTableItem::AcquireCellStyle() {
  if (!FCellStyle) FCellStyle = CreateEditStyle();
  ++FCellStyleUseCount;
  return FCellStyle;
}

void TcxCustomGridTableItem::ReleaseCellStyle() {
  if (FCellStyleUseCount == 0) return;
  if (--FCellStyleUseCount == 0) FreeAndNil(FCellStyle);
}

void TcxCustomGridTableItem::InitStyle(TcxCustomEditStyle* style, const TcxViewParams& params, Boolean focused) {
  style->SetColor(params.Color);
  if (params.Font) style->SetFont(params.Font);
  style->SetTextColor(params.TextColor);
  style->SetButtonTransparency(ShowsEditButtons(focused) ? ebtNone : ebtHideInactive);
  style->SetHotTrack(true);
}

Boolean TcxCustomGridTableItem::ShowsEditButtons(Boolean focused) {
  switch (GetOptions()->GetShowEditButtons()) {
    case isebAlways:
      return true;
    case isebNever:
      return false;
    default:
      break;
  }
  if (!FGridView) return false;
  switch (FGridView->GetTableOptionsView()->GetShowEditButtons()) {
    case gsebAlways:
      return true;
    case gsebForFocusedRecord:
      return focused;
    default:
      return false;
  }
}

void TcxCustomGridTableItem::EditViewDataGetDisplayText(TObject* sender, AnsiString& text) {
  auto* viewData = dynamic_cast<TcxCustomEditViewData*>(sender);
  TcxCustomGridRecord* record =
      viewData && viewData->Data ? dynamic_cast<TcxCustomGridRecord*>(static_cast<TObject*>(viewData->Data)) : nullptr;
  DoGetDisplayText(record, text);
}

TcxCustomEditViewData* TcxCustomGridTableItem::CreateEditViewData(TcxCustomEditProperties* properties) {
  if (!properties) return nullptr;
  // The view data reads the alignment and formats the properties answer for this item now (a
  // default repository item's properties serve several items).
  InitProperties(properties);
  TcxCustomEditStyle* style = AcquireCellStyle();
  TcxCustomEditViewData* viewData = nullptr;
  try {
    viewData = properties->CreateViewData(style, true);
  } catch (...) {
    ReleaseCellStyle();
    throw;
  }
  viewData->Data = static_cast<TObject*>(this);
  viewData->OnGetDisplayText = TcxEditGetDisplayTextEvent(this, &TcxCustomGridTableItem::EditViewDataGetDisplayText);
  return viewData;
}

void TcxCustomGridTableItem::DestroyEditViewData(TcxCustomEditViewData*& viewData) {
  if (!viewData) return;
  FreeAndNil(viewData);
  ReleaseCellStyle();
}

void TcxCustomGridTableItem::CreateSharedEditViewData() {
  if (!FEditViewData) FEditViewData = CreateEditViewData(FPropertiesValue);
}

void TcxCustomGridTableItem::DestroySharedEditViewData() { DestroyEditViewData(FEditViewData); }

TcxCustomEditViewData* TcxCustomGridTableItem::GetCellViewData(TcxCustomEditProperties* properties, Boolean& mustFree) {
  mustFree = bool(FOnGetProperties) || !FEditViewData;
  return mustFree ? CreateEditViewData(properties) : FEditViewData;
}

Integer TcxCustomGridTableItem::CalculateDefaultCellHeight(TcxCanvas* canvas, TFont* font) {
  if (!FPropertiesValue) return 0;
  TcxCustomEditStyle* style = AcquireCellStyle();
  Integer height = 0;
  try {
    style->SetFont(font);
    TcxEditSizeProperties limits;
    limits.MaxLineCount = 1;
    height = FPropertiesValue->CalculateEditSize(canvas, style, true, Variant(), limits).cy;
  } catch (...) {
    ReleaseCellStyle();
    throw;
  }
  ReleaseCellStyle();
  return height == 0 ? 0 : height + 2;
}

// ---- Best fit ----

Integer TcxCustomGridTableItem::CalculateBestFitWidth() {
  TcxCustomGridView* view = FGridView;
  if (!view || !view->GetViewInfo() || !view->GetViewInfo()->Canvas() || !FPropertiesValue) return 0;
  TcxCanvas* canvas = view->GetViewInfo()->Canvas();
  TcxCustomEditProperties* properties = FPropertiesValue;
  const Boolean exchangesValues = properties->GetValueExchangeMode(false) == 0;
  TcxCustomEditViewData* viewData = CreateEditViewData(properties);
  struct TViewDataGuard {
    TcxCustomGridTableItem* Item;
    TcxCustomEditViewData*& Data;
    ~TViewDataGuard() { Item->DestroyEditViewData(Data); }
  } guard{this, viewData};
  TcxEditSizeProperties limits;
  if (FGridView->GetTableOptionsView()->GetCellAutoHeight()) {
    viewData->MaxLineCount = FGridView->GetTableOptionsView()->GetCellTextMaxLineCount();
    limits.MaxLineCount = viewData->MaxLineCount;
  }
  const Integer n = FGridView->GetTableOptionsBehavior()->GetBestFitMaxRecordCount();
  Integer first = 0;
  Integer last = FGridView->GetTableViewData()->GetRecordCount() - 1;
  if (n > 0) {
    first = std::max<Integer>(GetController()->GetTopRecordIndex(), 0);
    last = std::min<Integer>(last, Integer(std::min<Int64>(Int64(first) + n - 1, orv::kGridMaxInt)));
  }
  Integer width = 0;
  for (Integer i = first; i <= last; ++i) {
    TcxCustomGridRecord* record = FGridView->GetTableViewData()->RecordAt(i);
    if (!record->GetHasCells()) continue;
    Variant value;
    if (exchangesValues) {
      record->GetValue(FIndex, value);
    } else {
      AnsiString text;
      record->GetDisplayText(FIndex, text);
      value = text;
    }
    viewData->Data = static_cast<TObject*>(record);
    width = std::max<Integer>(width, viewData->GetContentSize(canvas, value, limits).cx);
  }
  viewData->Data = nullptr;
  width = std::max<Integer>(width, viewData->GetContentSize(canvas, Variant(), limits).cx);
  if (width != 0) width += 2;
  return width;
}

Integer TcxCustomGridTableItem::GetBestFitWidth() {
  Integer width = CalculateBestFitWidth();
  if (FBestFitMaxWidth != 0) width = std::min(width, FBestFitMaxWidth);
  return width;
}

void TcxCustomGridTableItem::ApplyBestFit(Boolean checkCanSize, Boolean fireEvents) {
  if (!GetDataController() || GetDataController()->IsDetailTemplate()) return;
  if (checkCanSize && !CanHorzSize()) return;
  {
    TGridTableHourglass hourglass;
    try {
      ForceWidth(GetBestFitWidth());
      Changed(vcSize);
    } catch (...) {
      BestFitApplied(fireEvents);
      throw;
    }
  }
  BestFitApplied(fireEvents);
}

// ---- Events ----

#define ORV_GRID_ITEM_EVENT(Name, Type, Kind)                             \
  void TcxCustomGridTableItem::Set##Name(const Type& value) {             \
    if (F##Name == value) return;                                         \
    F##Name = value;                                                      \
    Changed(Kind);                                                        \
  }
ORV_GRID_ITEM_EVENT(OnGetDataText, TcxGridGetDataTextEvent, vcProperty)
ORV_GRID_ITEM_EVENT(OnGetCellHint, TcxGridGetCellHintEvent, vcProperty)
ORV_GRID_ITEM_EVENT(OnGetDisplayText, TcxGridGetDisplayTextEvent, vcProperty)
ORV_GRID_ITEM_EVENT(OnGetFilterDisplayText, TcxGridGetFilterDisplayTextEvent, vcProperty)
ORV_GRID_ITEM_EVENT(OnGetProperties, TcxGridGetPropertiesEvent, vcLayout)
ORV_GRID_ITEM_EVENT(OnGetPropertiesForEdit, TcxGridGetPropertiesEvent, vcProperty)
ORV_GRID_ITEM_EVENT(OnGetStoredProperties, TcxGridTableItemGetStoredPropertiesEvent, vcProperty)
ORV_GRID_ITEM_EVENT(OnGetStoredPropertyValue, TcxGridTableItemGetStoredPropertyValueEvent, vcProperty)
ORV_GRID_ITEM_EVENT(OnSetStoredPropertyValue, TcxGridTableItemSetStoredPropertyValueEvent, vcProperty)
ORV_GRID_ITEM_EVENT(OnUserFiltering, TcxGridUserFilteringEvent, vcProperty)
#undef ORV_GRID_ITEM_EVENT

void TcxCustomGridTableItem::DoGetDataText(Integer recordIndex, AnsiString& text) {
  if (FOnGetDataText) FOnGetDataText(this, recordIndex, text);
}

void TcxCustomGridTableItem::DoGetCellHint(TcxCustomGridRecord* record, TcxGridTableDataCellViewInfo* cellViewInfo,
                                           const TPoint& mousePos, AnsiString& hintText, Boolean& isHintMultiLine,
                                           TRect& hintTextRect) {
  if (FOnGetCellHint) FOnGetCellHint(this, record, cellViewInfo, mousePos, hintText, isHintMultiLine, hintTextRect);
}

void TcxCustomGridTableItem::DoGetDisplayText(TcxCustomGridRecord* record, AnsiString& text) {
  if (FOnGetDisplayText) FOnGetDisplayText(this, record, text);
}

void TcxCustomGridTableItem::GetFilterDisplayText(const Variant& value, AnsiString& text) {
  if (FOnGetFilterDisplayText) FOnGetFilterDisplayText(this, value, text);
}

void TcxCustomGridTableItem::DoGetFilterValues(TcxDataFilterValueList* valueList) {
  if (FOnGetFilterValues) FOnGetFilterValues(this, valueList);
}

void TcxCustomGridTableItem::DoInitFilteringDateRanges(TcxGridDateRanges* dateRanges) {
  if (FGridView) FGridView->DoInitFilteringDateRanges(this, dateRanges);
  if (FOnInitFilteringDateRanges) FOnInitFilteringDateRanges(this, dateRanges);
}

Boolean TcxCustomGridTableItem::CanFilterUsingChecks() {
  return GetGridView() && GetGridView()->GetFiltering()->GetItemPopup()->GetMultiSelect() &&
         GetOptions()->GetFilteringPopupMultiSelect();
}

Boolean TcxCustomGridTableItem::CanFilterMRUValueItems() {
  return GetGridView() && GetGridView()->GetFiltering()->GetItemMRUItemsList() &&
         GetOptions()->GetFilteringMRUItemsList() && !CanFilterUsingChecks();
}

Boolean TcxCustomGridTableItem::UseFilteredValuesForFilterList() {
  return GetGridView() && GetGridView()->GetFiltering()->GetItemFilteredItemsList() &&
         GetOptions()->GetFilteringFilteredItemsList();
}

void TcxCustomGridTableItem::DoUserFiltering(const Variant& value, const AnsiString& displayText) {
  if (FOnUserFiltering) FOnUserFiltering(this, value, displayText);
}

// ---- Streaming ----

void TcxCustomGridTableItem::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("Hidden", TReaderProc(this, &TcxCustomGridTableItem::ReadHidden), TWriterProc(), false);
  filer->DefineProperty("IsCaptionAssigned", TReaderProc(this, &TcxCustomGridTableItem::ReadIsCaptionAssigned),
                        TWriterProc(this, &TcxCustomGridTableItem::WriteIsCaptionAssigned),
                        FIsCaptionAssigned && GetCaption().empty());
}

void TcxCustomGridTableItem::ReadHidden(TReader* reader) { SetVisibleForCustomization(!reader->ReadBoolean()); }
void TcxCustomGridTableItem::ReadIsCaptionAssigned(TReader* reader) { FIsCaptionAssigned = reader->ReadBoolean(); }
void TcxCustomGridTableItem::WriteIsCaptionAssigned(TWriter* writer) { writer->WriteBoolean(true); }

// ==== Table controller ==========================================================================

TcxCustomGridTableView* TcxCustomGridTableController::GetTableView() const {
  return static_cast<TcxCustomGridTableView*>(GetGridView());
}

TcxCustomGridTableViewData* TcxCustomGridTableController::GetTableViewData() const {
  return GetTableView()->GetTableViewData();
}

Integer TcxCustomGridTableController::GetFocusedRecordIndex() { return GetDataController()->GetFocusedRowIndex(); }

void TcxCustomGridTableController::SetFocusedRecordIndex(Integer value) {
  GetDataController()->ChangeFocusedRowIndex(value);
}

TcxCustomGridRecord* TcxCustomGridTableController::GetFocusedRecord() {
  TcxCustomGridTableViewData* viewData = GetTableViewData();
  if (!viewData) return nullptr;
  if (GetDataController()->GetNewItemRowFocused() && viewData->GetNewItemRecord()) return viewData->GetNewItemRecord();
  return viewData->CheckedRecordAt(GetFocusedRecordIndex());
}

void TcxCustomGridTableController::FocusRecord(TcxCustomGridRecord* record) {
  if (record && record->IsNewItemRecord()) {
    GetDataController()->SetNewItemRowFocused(true);
    return;
  }
  if (record && !record->CanFocus()) return;
  SetFocusedRecordIndex(record ? record->GetIndex() : -1);
}

void TcxCustomGridTableController::SetFocusedItem(TcxCustomGridTableItem* value) {
  if (FFocusedItem == value) return;
  if (value && !value->CanFocus(GetFocusedRecord())) return;
  if (FFocusedItem && FEditingController && !FEditingController->IsEditPreparing())
    FEditingController->HideEdit(true);
  if (IsIncSearching()) CancelIncSearching();
  TcxCustomGridTableItem* prev = FFocusedItem;
  FFocusedItem = value;
  if (TcxCustomGridRecord* record = GetFocusedRecord()) record->Invalidate();
  // Editing needs a focused item: the navigator's Edit follows.
  if (!prev || !value) GetTableView()->RefreshNavigators();
  GetTableView()->DoFocusedItemChanged(prev, value);
  ShowEditorIfNeeded();
}

Boolean TcxCustomGridTableController::FocusFirstAvailableItem() {
  TcxCustomGridTableView* view = GetTableView();
  for (Integer i = 0; i < view->GetVisibleItemCount(); ++i) {
    TcxCustomGridTableItem* item = view->GetVisibleItem(i);
    if (item->CanFocus(GetFocusedRecord())) {
      SetFocusedItem(item);
      return FFocusedItem == item;
    }
  }
  return false;
}

Boolean TcxCustomGridTableController::FocusNextItem(Integer fromVisibleIndex, Boolean goForward, Boolean goOnCycle) {
  TcxCustomGridTableView* view = GetTableView();
  const Integer count = view->GetVisibleItemCount();
  if (count == 0) return false;
  Integer index = fromVisibleIndex;
  for (Integer step = 0; step < count; ++step) {
    index += goForward ? 1 : -1;
    if (index >= count || index < 0) {
      if (!goOnCycle) return false;
      index = goForward ? 0 : count - 1;
    }
    if (index == fromVisibleIndex) break;
    TcxCustomGridTableItem* item = view->GetVisibleItem(index);
    if (item->CanFocus(GetFocusedRecord())) {
      SetFocusedItem(item);
      return FFocusedItem == item;
    }
  }
  return false;
}

Boolean TcxCustomGridTableController::FocusNextCell(Boolean goForward, Boolean stopAtRecordEnd,
                                                   Boolean nextRecordOnCycle) {
  TcxCustomGridTableView* view = GetTableView();
  const Boolean onCycle = view->GetTableOptionsBehavior()->GetFocusCellOnCycle();
  TcxCustomGridRecord* record = GetFocusedRecord();
  if (record && record->GetHasCells() && record->CanFocusCells()) {
    const Integer from = FFocusedItem ? FFocusedItem->GetVisibleIndex() : -1;
    if (FocusNextItem(from, goForward, false)) return true;
    if (!(nextRecordOnCycle && onCycle)) return false;
    // Past the record's end: the next record, at its first (or last) cell.
    std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(view->AddListenerLink());
    const Integer row = GetFocusedRecordIndex();
    if (!FocusNextRecord(row, goForward, false) || !link->GetGridView() || GetFocusedRecordIndex() == row) return false;
    return FocusNextItem(goForward ? -1 : view->GetVisibleItemCount(), goForward, false);
  }
  if (stopAtRecordEnd || !onCycle) return false;
  std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(view->AddListenerLink());
  if (!FocusNextRecord(GetFocusedRecordIndex(), goForward, false) || !link->GetGridView()) return false;
  record = GetFocusedRecord();
  if (record && record->GetHasCells() && record->CanFocusCells())
    FocusNextItem(goForward ? -1 : view->GetVisibleItemCount(), goForward, false);
  return true;
}

TcxCustomGridTableItem* TcxCustomGridTableController::GetIncSearchingItem() const {
  TcxDataControllerSearch* search = GetDataController()->GetSearch();
  if (!search->GetSearching()) return nullptr;
  const Integer index = search->GetItemIndex();
  TcxCustomGridTableView* view = GetTableView();
  return index >= 0 && index < view->GetItemCount() ? view->GetItem(index) : nullptr;
}

// ---- Top record and pages ----

void TcxCustomGridTableController::SetTopRecordIndex(Integer value) {
  CheckTopRecordIndex(value);
  SetTopRecordIndexValue(value);
}

void TcxCustomGridTableController::SetTopRecordIndexValue(Integer value) {
  if (FTopRecordIndex == value) return;
  const Integer distance = value - FTopRecordIndex;
  FTopRecordIndex = value;
  TcxCustomGridTableView* view = GetTableView();
  // A laid-out view shifts the records that stay on screen instead of laying itself out again.
  TcxCustomGridTableViewInfo* viewInfo = view->GetTableViewInfo();
  if (viewInfo && viewInfo->IsCalculated() && !viewInfo->GetIsCalculating() && !view->IsDetail() &&
      viewInfo->CanOffsetRecords(distance)) {
    view->ScrollRecords(true, 0, distance);
    view->DoTopRecordIndexChanged();
    return;
  }
  if (view->IsDetail())
    view->SizeChanged(false, false);
  else
    view->LayoutChanged(true);
  view->DoTopRecordIndexChanged();
}

void TcxCustomGridTableController::CheckTopRecordIndex(Integer& index) {
  if (FCheckingTopRecordIndex) return;
  FCheckingTopRecordIndex = true;
  struct TGuard {
    Boolean& Flag;
    ~TGuard() { Flag = false; }
  } guard{FCheckingTopRecordIndex};
  // In grid mode a top beyond the loaded records moves the record buffer instead, as far as the
  // dataset goes.
  TcxCustomDataController* dc = GetDataController();
  const Boolean gridMode = dc->IsGridMode();
  Integer count = GetTableViewData()->GetRecordCount();
  if (index < 0) {
    const Boolean inserting = (dc->GetEditState() & TcxCustomDataController::dceInsert) != 0;
    if (gridMode && !inserting && !dc->IsBOF()) dc->Scroll(index);
    index = 0;
  }
  count = GetTableViewData()->GetRecordCount();
  if (index > count - 1) {
    if (gridMode && !dc->IsEOF()) dc->Scroll(index - count + 1);
    count = GetTableViewData()->GetRecordCount();
    index = std::max<Integer>(count - 1, 0);
  }
  if (index > 0) {
    // An unchanged top whose page is still full stays.
    if (!gridMode && index == FTopRecordIndex && GetVisibleRecordCount() < count - index) return;
    Integer maxTop = std::max<Integer>(GetMaxTopRecordIndex(), 0);
    if (index > maxTop) {
      if (gridMode && !dc->IsEOF()) {
        dc->Scroll(index - maxTop);
        maxTop = std::max<Integer>(GetMaxTopRecordIndex(), 0);
      }
      index = maxTop;
    }
  }
}

void TcxCustomGridTableController::CheckCoordinates() {
  inherited::CheckCoordinates();
  Integer index = FTopRecordIndex;
  CheckTopRecordIndex(index);
  if (index == FTopRecordIndex) return;
  TcxCustomGridTableView* view = GetTableView();
  if (!view->IsDetail()) {
    SetTopRecordIndexValue(index);
    return;
  }
  // A detail is laid out inside its master's layout, which must not start over from here: the
  // detail lays itself out again at once from the new top, and the master measures that.
  FTopRecordIndex = index;
  view->GetViewInfo()->Recalculate();
  view->DoTopRecordIndexChanged();
}

Integer TcxCustomGridTableController::GetPageRecordCount(Integer recordIndex, Boolean forward) {
  TcxCustomGridTableView* view = GetTableView();
  TcxCustomGridTableViewInfo* viewInfo = view->GetTableViewInfo();
  const Integer left = forward ? GetTableViewData()->GetRecordCount() - recordIndex : recordIndex + 1;
  if (left <= 0) return 0;
  if (viewInfo) {
    TRect client;
    viewInfo->GetClientBounds(client);
    if (client.Width() <= 0 || client.Height() <= 0) return 0;
    // Records of one height: the page is counted without laying records out, so it does not
    // depend on the records the layout happens to show (a top near the end shows few).
    if (view->RecordHeightsFixed()) {
      const Integer page = viewInfo->EqualHeightPageRecordCount();
      if (page >= 0) return std::min(page, left);
    }
  }
  return std::max<Integer>(0, std::min(GetVisibleRecordCount(), left));
}

Integer TcxCustomGridTableController::GetMaxTopRecordIndex() {
  const Integer count = GetTableViewData()->GetRecordCount();
  return count - GetPageRecordCount(count - 1, false);
}

namespace {

// Whether none of the view's records is on screen yet: the view has not been laid out, or its
// records were laid out and none fitted or there were none. A layout that does not lay records
// out at all cannot tell and moves nothing. While the grid is locked the layout keeps what its
// last calculation showed, so a reload under the lock keeps the page the user sees.
Boolean ShowsNoRecordYet(TcxCustomGridTableView* view) {
  TcxCustomGridViewInfo* viewInfo = view->GetViewInfo();
  if (!viewInfo || !viewInfo->IsCalculated()) return true;
  TcxCustomGridTableViewInfo* tableViewInfo = view->GetTableViewInfo();
  return tableViewInfo && tableViewInfo->VisibleRecordCount() == 0;
}

}  // namespace

void TcxCustomGridTableController::MakeRecordVisible(TcxCustomGridRecord* record) {
  if (!record || record->IsNewItemRecord() || record->GetIndex() < 0) return;
  // A focused detail that keeps its masters still (a press handed to its editor) keeps them all.
  if (TcxCustomGrid* grid = GetGridView()->GetControlGrid())
    if (auto* focused = dynamic_cast<TcxCustomGridTableView*>(grid->GetFocusedView()))
      if (focused != GetGridView() && focused->HasAsMaster(GetGridView()) && focused->GetDontMakeMasterRecordVisible())
        return;
  const Integer index = record->GetIndex();
  if (index < FTopRecordIndex) {
    SetTopRecordIndex(index);
  } else if (GetVisibleRecordCount() > 0) {
    // Rows of different heights (expanded master rows): the page is counted again from the new
    // top until the record is on it.
    while (index >= FTopRecordIndex + GetVisibleRecordCount()) {
      const Integer prevTop = FTopRecordIndex;
      SetTopRecordIndex(index - GetPageRecordCount(index, false) + 1);
      if (FTopRecordIndex == prevTop) break;
    }
  } else if (index > FTopRecordIndex && ShowsNoRecordYet(GetTableView())) {
    // No page to keep yet: the record starts the first one.
    SetTopRecordIndex(index);
  }
  // A detail's record is only in view once the master row that holds the detail is.
  auto* view = dynamic_cast<TcxCustomGridTableView*>(GetGridView());
  if (view && view->IsDetail()) view->CheckMasterRecordVisible();
}

void TcxCustomGridTableView::CheckMasterRecordVisible() {
  if (FDontMakeMasterRecordVisible) return;
  auto* master = dynamic_cast<TcxCustomGridTableView*>(MasterGridView());
  // A master expanding or collapsing a detail keeps its page where the user left it.
  if (!master || master->GetDataController()->IsDetailExpanding()) return;
  const Integer rowIndex = MasterGridRecordIndex();
  TcxCustomGridTableViewData* data = master->GetTableViewData();
  if (!data->IsRowIndexInRange(rowIndex)) return;
  data->RecordAt(rowIndex)->MakeVisible();
}

Boolean TcxCustomGridTableView::RecordHeightsFixed() {
  TcxCustomGridTableViewInfo* viewInfo = GetTableViewInfo();
  TcxCustomGridRecordsViewInfo* records = viewInfo ? viewInfo->GetRecordsViewInfo() : nullptr;
  return !(records && records->RecordHeightsVary());
}

Boolean TcxCustomGridTableView::IsDetailVisible(TcxCustomGridView* detail) {
  if (!detail || detail->MasterGridView() != this) return false;
  const Integer rowIndex = detail->MasterGridRecordIndex();
  TcxCustomGridTableViewData* data = GetTableViewData();
  if (!data || !data->IsRowIndexInRange(rowIndex)) return false;
  auto* viewInfo = dynamic_cast<TcxCustomGridRecordViewInfo*>(data->RecordAt(rowIndex)->GetViewInfo());
  return viewInfo && viewInfo->IsDetailVisible(detail);
}

void TcxCustomGridTableController::ShowNextPage(Boolean syncSelection) {
  MakeFocusedRecordVisible();
  const Integer visible = GetVisibleRecordCount();
  if (visible <= 0) return;
  if (GetFocusedRecordIndex() == FTopRecordIndex + visible - 1) ScrollPageDown();
  const Integer last = std::min(FTopRecordIndex + GetVisibleRecordCount(), GetTableViewData()->GetRecordCount()) - 1;
  if (last < 0) return;
  std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(GetGridView()->AddListenerLink());
  SetFocusedRecordIndex(last);
  if (syncSelection && link->GetGridView() && IsMultiSelectActive()) DoSingleSelection();
}

void TcxCustomGridTableController::ShowPrevPage(Boolean syncSelection) {
  MakeFocusedRecordVisible();
  if (GetFocusedRecordIndex() == FTopRecordIndex) ScrollPageUp();
  if (GetTableViewData()->GetRecordCount() == 0) return;
  std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(GetGridView()->AddListenerLink());
  SetFocusedRecordIndex(FTopRecordIndex);
  if (syncSelection && link->GetGridView() && IsMultiSelectActive()) DoSingleSelection();
}

// ---- Record navigation ----

Integer TcxCustomGridTableController::FindNextRecord(Integer recordIndex, Boolean forward, Boolean goOnCycle,
                                                     Boolean& cycled) {
  cycled = false;
  TcxCustomGridTableViewData* data = GetTableViewData();
  // Grid mode: a step past either end of the loaded records first moves the record buffer one
  // record on, and the start follows the records it held.
  TcxCustomDataController* dc = GetDataController();
  if (dc->IsGridMode() && recordIndex != -1) {
    if (forward && recordIndex == data->GetRecordCount() - 1 && !dc->IsEOF()) {
      dc->Scroll(1);
      if (!dc->IsEOF()) --recordIndex;
    } else if (!forward && recordIndex == 0 && !dc->IsBOF()) {
      dc->Scroll(-1);
      if (!dc->IsBOF()) ++recordIndex;
    }
  }
  const Integer count = data->GetRecordCount();
  if (count == 0) return -1;
  Integer index = recordIndex;
  for (Integer step = 0; step < count; ++step) {
    index += forward ? 1 : -1;
    if (index >= count || index < 0) {
      if (!goOnCycle && recordIndex != -1) return -1;
      if (recordIndex != -1) cycled = true;
      index = forward ? 0 : count - 1;
    }
    if (index == recordIndex) return -1;
    if (data->RecordAt(index)->CanFocus()) return index;
  }
  return -1;
}

Boolean TcxCustomGridTableController::FocusNextRecord(Integer recordIndex, Boolean forward, Boolean goOnCycle) {
  TcxCustomDataController* controller = GetDataController();
  if (controller->IsEditing()) {
    if ((controller->GetEditState() & TcxCustomDataController::dceModified) != 0) {
      controller->Post();
      recordIndex = GetFocusedRecordIndex();
    } else if (controller->GetEditState() == TcxCustomDataController::dceInsert) {
      controller->Cancel();
      return true;
    }
  }
  // Grid mode: the first and the last record are those of the dataset, loaded first.
  if (recordIndex == -1 && controller->IsGridMode()) {
    if (forward)
      controller->GotoFirst();
    else
      controller->GotoLast();
  }
  Boolean cycled = false;
  const Integer next = FindNextRecord(recordIndex, forward, goOnCycle, cycled);
  if (next == -1) {
    // Past the last record a new one is appended when the view allows it.
    if (forward && CanAppend(true) && (controller->GetEditState() & TcxCustomDataController::dceInsert) == 0) {
      CreateNewRecord(true);
      return true;
    }
    return false;
  }
  std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(GetGridView()->AddListenerLink());
  GetTableViewData()->RecordAt(next)->SetFocused(true);
  if (!link->GetGridView()) return true;
  return GetFocusedRecordIndex() == next;
}

Boolean TcxCustomGridTableController::IsStart() {
  if (GetDataController()->IsGridMode()) return GetDataController()->IsBOF();
  Boolean cycled = false;
  return FindNextRecord(GetFocusedRecordIndex(), false, false, cycled) == -1;
}

Boolean TcxCustomGridTableController::IsFinish() {
  if (GetDataController()->IsGridMode()) return GetDataController()->IsEOF();
  Boolean cycled = false;
  return FindNextRecord(GetFocusedRecordIndex(), true, false, cycled) == -1;
}

// ---- Keyboard ----

void TcxCustomGridTableController::KeyDown(Word& key, TShiftState shift) {
  std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(GetGridView()->AddListenerLink());
  if (IsIncSearching()) {
    IncSearchKeyDown(key, shift);
    if (!link->GetGridView()) {
      key = 0;
      return;
    }
  }
  const Integer prevTop = FTopRecordIndex;
  const Integer prevFocused = GetFocusedRecordIndex();
  Word pressed = key;
  inherited::KeyDown(key, shift);
  if (!link->GetGridView()) {
    key = 0;
    return;
  }
  if (IsKeyForMultiSelect(pressed, shift, GetFocusedRecordIndex() != prevFocused)) {
    MultiSelectKeyDown(pressed, shift);
    if (!link->GetGridView()) {
      key = 0;
      return;
    }
  }
  if (FTopRecordIndex != prevTop && GetSite() && GetSite()->HandleAllocated()) GetSite()->Update();
}

void TcxCustomGridTableController::DoKeyDown(Word& key, TShiftState shift) {
  // A key the editor passed on is not the record's (Enter would open the editor again).
  if (TcxCustomGridRecord* record = FKeyFromEditor ? nullptr : GetFocusedRecord()) {
    record->KeyDown(key, shift);
    if (key == 0) return;
  }
  const Boolean ctrl = shift.Contains(ssCtrl);
  TcxCustomGridRecord* focused = GetFocusedRecord();
  const Boolean hasCells = focused && focused->GetHasCells() && focused->CanFocusCells();
  switch (key) {
    // The walk over the records; Home and End go to the first and last cell of a record whose
    // cells take the focus, else (and with Ctrl) to the first and last record.
    case VK_UP:
    case VK_DOWN:
      FocusNextRecord(GetFocusedRecordIndex(), key == VK_DOWN, false);
      key = 0;
      break;
    case VK_HOME:
      if (ctrl || !hasCells)
        GoToFirst(false);
      else
        FocusNextItem(-1, true, false);
      key = 0;
      break;
    case VK_END:
      if (ctrl || !hasCells)
        GoToLast(false);
      else
        FocusNextItem(GetTableView()->GetVisibleItemCount(), false, false);
      key = 0;
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (hasCells && FFocusedItem) {
        FocusNextItem(FFocusedItem->GetVisibleIndex(), key == VK_RIGHT, false);
        key = 0;
      }
      break;
    case VK_TAB:
      if (GetTableView()->GetTableOptionsBehavior()->GetFocusCellOnTab()) {
        const Boolean back = shift.Contains(ssShift);
        TcxCustomGrid* grid = GetGridView()->GetControlGrid();
        if (ctrl) {
          if (grid) grid->FocusNextControl(!back);
        } else if (!FocusNextCell(!back, false, true) && !IsEditing() && grid) {
          grid->FocusNextControl(!back);
        }
        key = 0;
      }
      break;
    case VK_RETURN:
      if (GetTableView()->GetTableOptionsBehavior()->GetGoToNextCellOnEnter() && !ctrl) {
        // Consumed even when the focus cannot move: Enter never leaves the grid here.
        FocusNextCell(!shift.Contains(ssShift), false, true);
        key = 0;
      }
      break;
    case VK_ESCAPE:
      if (GetDataController()->IsEditing()) {
        GetDataController()->Cancel();
        key = 0;
        // The record left editing: with multi-selection it is the selected one again.
        if (!GetDataController()->IsEditing() && GetTableView()->GetTableOptionsSelection()->GetMultiSelect() &&
            GetFocusedRecordIndex() != -1)
          GetDataController()->ChangeRowSelection(GetFocusedRecordIndex(), true);
      }
      break;
    case VK_PRIOR:
      ShowPrevPage(false);
      key = 0;
      break;
    case VK_NEXT:
      ShowNextPage(false);
      key = 0;
      break;
    case VK_INSERT:
      if (ctrl && !IsEditing())
        GetTableView()->CopyToClipboard(false);
      else if (shift.Empty() && CanInsert(true))
        CreateNewRecord(false);
      break;
    case VK_DELETE:
      if ((shift.Empty() || shift == TShiftState{ssCtrl}) && CanDelete(true)) {
        DeleteSelection();
        key = 0;
      }
      break;
    case 'A':
      if (ctrl) GetDataController()->SelectAll();
      break;
    case 'C':
      // With an editor open the copy is the editor's.
      if (ctrl && !IsEditing()) GetTableView()->CopyToClipboard(false);
      break;
    default:
      break;
  }
}

void TcxCustomGridTableController::KeyPress(char& key) {
  if (FSwallowNextChar) {
    FSwallowNextChar = false;
    return;
  }
  const Boolean printable = Byte(key) >= 32 && key != 127;
  if ((printable || key == '\b') && !GetDataController()->IsEditing()) {
    TcxCustomGridTableItem* item = IsIncSearching() ? GetIncSearchingItem() : GetItemForIncSearching();
    if (item && item->CanIncSearch()) {
      if (key == '\b') {
        const AnsiString text = GetIncSearchingText();
        SetIncSearchingText(text.empty() ? text : text.substr(0, text.size() - 1));
      } else {
        SetIncSearchingText(GetIncSearchingText() + key);
      }
      key = 0;
      return;
    }
  }
  // A typed character opens the focused cell's editor with it.
  const Boolean editingChar = printable || key == '\b' || key == 0x16 || key == 0x18;
  if (editingChar && GetFocusedRecord() && GetFocusedRecord()->GetHasCells() && FFocusedItem) {
    GetEditingController()->ShowEditByKey(FFocusedItem, key);
    if (IsEditing()) key = 0;
  }
}

// ---- Incremental search ----

TcxCustomGridTableItem* TcxCustomGridTableController::GetItemForIncSearching() {
  TcxCustomGridTableView* view = GetTableView();
  if (view->GetTableOptionsSelection()->GetCellSelect()) return FFocusedItem;
  if (TcxCustomGridTableItem* item = view->GetTableOptionsBehavior()->GetIncSearchItem()) return item;
  return view->GetVisibleItemCount() > 0 ? view->GetVisibleItem(0) : nullptr;
}

Boolean TcxCustomGridTableController::IsIncSearching() { return GetDataController()->GetSearch()->GetSearching(); }

AnsiString TcxCustomGridTableController::GetIncSearchingText() {
  return IsIncSearching() ? GetDataController()->GetSearch()->GetSearchText() : AnsiString();
}

void TcxCustomGridTableController::SetIncSearchingText(const AnsiString& value) {
  if (value == GetIncSearchingText()) return;
  TcxCustomGridTableItem* item = IsIncSearching() ? GetIncSearchingItem() : GetItemForIncSearching();
  if (!item) return;
  if (value.empty())
    CancelIncSearching();
  else
    GetDataController()->GetSearch()->Locate(item->GetIndex(), value);
}

void TcxCustomGridTableController::CancelIncSearching() { GetDataController()->GetSearch()->Cancel(); }

void TcxCustomGridTableController::IncSearchKeyDown(Word& key, TShiftState shift) {
  switch (key) {
    case VK_BACK: {
      const AnsiString text = GetIncSearchingText();
      SetIncSearchingText(text.substr(0, text.empty() ? 0 : text.size() - 1));
      key = 0;
      break;
    }
    case VK_ESCAPE:
      CancelIncSearching();
      key = 0;
      break;
    case VK_UP:
    case VK_DOWN:
      if (shift.Contains(ssCtrl)) {
        GetDataController()->GetSearch()->LocateNext(key == VK_DOWN);
        key = 0;
      }
      break;
    default:
      break;
  }
}

void TcxCustomGridTableController::MakeFocusedRecordVisible() {
  if (TcxCustomGridRecord* record = GetFocusedRecord()) MakeRecordVisible(record);
}

void TcxCustomGridTableController::FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex,
                                                        Boolean newItemRecordFocusingChanged) {
  if (FEditingController && FEditingController->IsEditing() && FEditingController->GetHideEditOnFocusedRecordChange())
    FEditingController->HideEdit(true);
  GetTableView()->FocusedRecordChanged(prevFocusedRecordIndex, focusedRecordIndex, newItemRecordFocusingChanged);
}

void TcxCustomGridTableController::ItemRemoved(TcxCustomGridTableItem* item) {
  if (FForcingWidthItem == item) FForcingWidthItem = nullptr;
  if (FFocusedItem == item) {
    const Integer visibleIndex = item->GetVisibleIndex();
    FFocusedItem = nullptr;
    if (visibleIndex >= 0) FocusNextItem(visibleIndex - 1, true, true);
  }
}

// ==== Options ===================================================================================

#define ORV_GRID_OPTION(Class, Name, Type, Kind) \
  void Class::Set##Name(Type value) {            \
    if (F##Name == value) return;                \
    F##Name = value;                             \
    Changed(Kind);                               \
  }

ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, AlwaysShowEditor, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, CellHints, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, CopyCaptionsToClipboard, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, DragDropText, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, DragFocusing, TcxGridDragFocusing, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, DragHighlighting, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, DragOpening, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, DragScrolling, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, FocusCellOnCycle, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, FocusFirstCellOnNewRecord, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, GoToNextCellOnEnter, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, ImmediateEditor, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, IncSearch, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, IncSearchItem, TcxCustomGridTableItem*, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, NavigatorHints, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsBehavior, PullFocusing, Boolean, vcProperty)

void TcxCustomGridTableOptionsBehavior::SetBestFitMaxRecordCount(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FBestFitMaxRecordCount == value) return;
  FBestFitMaxRecordCount = value;
  Changed(vcProperty);
}

void TcxCustomGridTableOptionsBehavior::SetFocusCellOnTab(Boolean value) {
  if (FFocusCellOnTab == value) return;
  FFocusCellOnTab = value;
  if (TcxGridSite* site = GetGridView()->GetSite()) {
    TcxKeys keys = site->GetKeys();
    if (value)
      keys.Include(kTab);
    else
      keys.Exclude(kTab);
    site->SetKeys(keys);
  }
  Changed(vcProperty);
}

void TcxCustomGridTableOptionsBehavior::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxCustomGridTableOptionsBehavior*>(source)) {
    SetAlwaysShowEditor(o->GetAlwaysShowEditor());
    SetBestFitMaxRecordCount(o->GetBestFitMaxRecordCount());
    SetCellHints(o->GetCellHints());
    SetCopyCaptionsToClipboard(o->GetCopyCaptionsToClipboard());
    SetDragDropText(o->GetDragDropText());
    SetDragFocusing(o->GetDragFocusing());
    SetDragHighlighting(o->GetDragHighlighting());
    SetDragOpening(o->GetDragOpening());
    SetDragScrolling(o->GetDragScrolling());
    SetFocusCellOnCycle(o->GetFocusCellOnCycle());
    SetFocusCellOnTab(o->GetFocusCellOnTab());
    SetFocusFirstCellOnNewRecord(o->GetFocusFirstCellOnNewRecord());
    SetGoToNextCellOnEnter(o->GetGoToNextCellOnEnter());
    SetImmediateEditor(o->GetImmediateEditor());
    SetIncSearch(o->GetIncSearch());
    SetIncSearchItem(o->GetIncSearchItem());
    SetNavigatorHints(o->GetNavigatorHints());
    SetPullFocusing(o->GetPullFocusing());
  }
  inherited::Assign(source);
}

ORV_GRID_OPTION(TcxCustomGridTableOptionsCustomize, ItemFiltering, Boolean, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableOptionsCustomize, ItemGrouping, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsCustomize, ItemHiding, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsCustomize, ItemMoving, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsCustomize, ItemSorting, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsCustomize, ItemsQuickCustomization, Boolean, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableOptionsCustomize, ItemsQuickCustomizationReordering,
                TcxGridQuickCustomizationReordering, vcProperty)

void TcxCustomGridTableOptionsCustomize::SetItemsQuickCustomizationMaxDropDownCount(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FItemsQuickCustomizationMaxDropDownCount == value) return;
  FItemsQuickCustomizationMaxDropDownCount = value;
  Changed(vcProperty);
}

Boolean TcxCustomGridTableOptionsCustomize::SupportsItemsQuickCustomizationReordering() {
  if (GetGridView()->IsDesignTime()) return true;
  switch (FItemsQuickCustomizationReordering) {
    case qcrEnabled:
      return true;
    case qcrDefault:
      return FItemMoving;
    default:
      return false;
  }
}

void TcxCustomGridTableOptionsCustomize::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxCustomGridTableOptionsCustomize*>(source)) {
    SetItemFiltering(o->GetItemFiltering());
    SetItemGrouping(o->GetItemGrouping());
    SetItemHiding(o->GetItemHiding());
    SetItemMoving(o->GetItemMoving());
    SetItemSorting(o->GetItemSorting());
    SetItemsQuickCustomization(o->GetItemsQuickCustomization());
    SetItemsQuickCustomizationMaxDropDownCount(o->GetItemsQuickCustomizationMaxDropDownCount());
    SetItemsQuickCustomizationReordering(o->GetItemsQuickCustomizationReordering());
  }
  inherited::Assign(source);
}

ORV_GRID_OPTION(TcxCustomGridTableOptionsData, Appending, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsData, CancelOnExit, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsData, Deleting, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsData, DeletingConfirmation, Boolean, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableOptionsData, Inserting, Boolean, vcProperty)

void TcxCustomGridTableOptionsData::SetEditing(Boolean value) {
  if (FEditing == value) return;
  FEditing = value;
  Changed(vcLayout);
}

void TcxCustomGridTableOptionsData::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxCustomGridTableOptionsData*>(source)) {
    SetAppending(o->GetAppending());
    SetCancelOnExit(o->GetCancelOnExit());
    SetDeleting(o->GetDeleting());
    SetDeletingConfirmation(o->GetDeletingConfirmation());
    SetEditing(o->GetEditing());
    SetInserting(o->GetInserting());
  }
  inherited::Assign(source);
}

ORV_GRID_OPTION(TcxCustomGridTableOptionsSelection, HideFocusRectOnExit, Boolean, vcLayout)
ORV_GRID_OPTION(TcxCustomGridTableOptionsSelection, HideSelection, Boolean, vcLayout)
ORV_GRID_OPTION(TcxCustomGridTableOptionsSelection, InvertSelect, Boolean, vcLayout)
ORV_GRID_OPTION(TcxCustomGridTableOptionsSelection, UnselectFocusedRecordOnExit, Boolean, vcProperty)

void TcxCustomGridTableOptionsSelection::SetCellSelect(Boolean value) {
  if (FCellSelect == value) return;
  FCellSelect = value;
  if (auto* view = dynamic_cast<TcxCustomGridTableView*>(GetGridView())) {
    TcxCustomGridTableController* controller = view->GetTableController();
    if (controller) {
      if (value)
        controller->FocusFirstAvailableItem();
      else
        controller->SetFocusedItem(nullptr);
    }
  }
  Changed(vcProperty);
}

Boolean TcxCustomGridTableOptionsSelection::GetMultiSelect() const {
  TcxCustomGridView* view = const_cast<TcxCustomGridTableOptionsSelection*>(this)->GetGridView();
  return view && view->GetDataController() && view->GetDataController()->GetMultiSelect();
}

void TcxCustomGridTableOptionsSelection::SetMultiSelect(Boolean value) {
  if (GetMultiSelect() == value) return;
  GetGridView()->GetDataController()->SetMultiSelect(value);
  Changed(vcProperty);
}

void TcxCustomGridTableOptionsSelection::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxCustomGridTableOptionsSelection*>(source)) {
    SetCellSelect(o->GetCellSelect());
    SetHideFocusRectOnExit(o->GetHideFocusRectOnExit());
    SetHideSelection(o->GetHideSelection());
    SetInvertSelect(o->GetInvertSelect());
    SetMultiSelect(o->GetMultiSelect());
    SetUnselectFocusedRecordOnExit(o->GetUnselectFocusedRecordOnExit());
  }
  inherited::Assign(source);
}

TcxCustomGridTableOptionsView::TcxCustomGridTableOptionsView(TcxCustomGridView* gridView)
    : TcxCustomGridOptionsView(gridView), FNoDataToDisplayInfoText(LoadResString(&scxGridNoDataInfoText)) {}

ORV_GRID_OPTION(TcxCustomGridTableOptionsView, CellAutoHeight, Boolean, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableOptionsView, CellEndEllipsis, Boolean, vcLayout)
ORV_GRID_OPTION(TcxCustomGridTableOptionsView, FocusRect, Boolean, vcLayout)
ORV_GRID_OPTION(TcxCustomGridTableOptionsView, ItemCaptionAutoHeight, Boolean, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableOptionsView, ItemCaptionEndEllipsis, Boolean, vcLayout)
ORV_GRID_OPTION(TcxCustomGridTableOptionsView, Navigator, Boolean, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableOptionsView, ShowEditButtons, TcxGridShowEditButtons, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableOptionsView, ShowItemFilterButtons, TcxGridShowItemFilterButtons, vcSize)

void TcxCustomGridTableOptionsView::SetCellTextMaxLineCount(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FCellTextMaxLineCount == value) return;
  FCellTextMaxLineCount = value;
  Changed(vcSize);
}

void TcxCustomGridTableOptionsView::SetNavigatorOffset(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FNavigatorOffset == value) return;
  FNavigatorOffset = value;
  Changed(vcSize);
}

void TcxCustomGridTableOptionsView::SetNoDataToDisplayInfoText(const AnsiString& value) {
  if (FNoDataToDisplayInfoText == value) return;
  FNoDataToDisplayInfoText = value;
  Changed(vcLayout);
}

Boolean TcxCustomGridTableOptionsView::IsNoDataToDisplayInfoTextStored() const {
  return FNoDataToDisplayInfoText != LoadResString(&scxGridNoDataInfoText);
}

AnsiString TcxCustomGridTableOptionsView::GetNoDataToDisplayInfoText() const {
  return IsNoDataToDisplayInfoTextStored() ? FNoDataToDisplayInfoText
                                           : GetLocalizedResourceString(&scxGridNoDataInfoText);
}

void TcxCustomGridTableOptionsView::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxCustomGridTableOptionsView*>(source)) {
    SetCellAutoHeight(o->GetCellAutoHeight());
    SetCellEndEllipsis(o->GetCellEndEllipsis());
    SetCellTextMaxLineCount(o->GetCellTextMaxLineCount());
    SetFocusRect(o->GetFocusRect());
    SetItemCaptionAutoHeight(o->GetItemCaptionAutoHeight());
    SetItemCaptionEndEllipsis(o->GetItemCaptionEndEllipsis());
    SetNavigator(o->GetNavigator());
    SetNavigatorOffset(o->GetNavigatorOffset());
    SetNoDataToDisplayInfoText(o->GetNoDataToDisplayInfoTextValue());
    SetShowEditButtons(o->GetShowEditButtons());
    SetShowItemFilterButtons(o->GetShowItemFilterButtons());
  }
  inherited::Assign(source);
}

ORV_GRID_OPTION(TcxCustomGridTableDateTimeHandling, DateFormat, const AnsiString&, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableDateTimeHandling, Filters, TcxGridDateTimeFilters, vcProperty)
ORV_GRID_OPTION(TcxCustomGridTableDateTimeHandling, HourFormat, const AnsiString&, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableDateTimeHandling, MonthFormat, const AnsiString&, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableDateTimeHandling, UseLongDateFormat, Boolean, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableDateTimeHandling, UseShortTimeFormat, Boolean, vcSize)
ORV_GRID_OPTION(TcxCustomGridTableDateTimeHandling, YearFormat, const AnsiString&, vcSize)
#undef ORV_GRID_OPTION

void TcxCustomGridTableDateTimeHandling::SetGrouping(TcxGridDateTimeGrouping value) {
  if (value == dtgDefault) value = dtgByDateAndTime;
  if (FGrouping == value) return;
  FGrouping = value;
  auto* view = dynamic_cast<TcxCustomGridTableView*>(GetGridView());
  if (view && view->GetItemCount() > 0) {
    // Every item sets its grouping ranges up again; the rows are grouped again.
    GridTableLocked(view, [&] {
      for (Integer i = 0; i < view->GetItemCount(); ++i) view->GetItem(i)->DateTimeGroupingChanged();
    });
  } else {
    Changed(vcProperty);
  }
}

void TcxCustomGridTableDateTimeHandling::SetIgnoreTimeForFiltering(Boolean value) {
  if (FIgnoreTimeForFiltering == value) return;
  FIgnoreTimeForFiltering = value;
  if (GetGridView()->GetDataController()) GetGridView()->GetDataController()->Refresh();
}

AnsiString TcxCustomGridTableDateTimeHandling::GetDateFormatInEffect() const {
  if (!FDateFormat.empty()) return FDateFormat;
  return FUseLongDateFormat ? FormatSettings.LongDateFormat : AnsiString();
}

AnsiString TcxCustomGridTableDateTimeHandling::GetHourFormatInEffect() const {
  if (!FHourFormat.empty()) return FHourFormat;
  return FUseShortTimeFormat ? FormatSettings.ShortTimeFormat : AnsiString();
}

AnsiString TcxCustomGridTableDateTimeHandling::GetMonthFormatInEffect() const {
  return FMonthFormat.empty() ? GetLocalizedResourceString(&scxGridMonthFormat) : FMonthFormat;
}

AnsiString TcxCustomGridTableDateTimeHandling::GetYearFormatInEffect() const {
  return FYearFormat.empty() ? GetLocalizedResourceString(&scxGridYearFormat) : FYearFormat;
}

void TcxCustomGridTableDateTimeHandling::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxCustomGridTableDateTimeHandling*>(source)) {
    SetDateFormat(o->GetDateFormat());
    SetFilters(o->GetFilters());
    SetGrouping(o->GetGrouping());
    SetHourFormat(o->GetHourFormat());
    SetIgnoreTimeForFiltering(o->GetIgnoreTimeForFiltering());
    SetMonthFormat(o->GetMonthFormat());
    SetUseLongDateFormat(o->GetUseLongDateFormat());
    SetUseShortTimeFormat(o->GetUseShortTimeFormat());
    SetYearFormat(o->GetYearFormat());
  }
  inherited::Assign(source);
}

// ==== View styles ===============================================================================

TcxCustomGridTableView* TcxCustomGridTableViewStyles::GetTableView() const {
  return dynamic_cast<TcxCustomGridTableView*>(GetGridView());
}

void TcxCustomGridTableViewStyles::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* styles = dynamic_cast<TcxCustomGridTableViewStyles*>(source)) {
    for (Integer i = vsContent; i <= vsSelection; ++i) SetStyleValue(i, styles->GetStyleValue(i));
    SetOnGetContentStyle(styles->GetOnGetContentStyle());
  }
}

void TcxCustomGridTableViewStyles::SetOnGetContentStyle(const TcxGridGetCellStyleEvent& value) {
  if (FOnGetContentStyle == value) return;
  FOnGetContentStyle = value;
  if (TcxCustomGridView* view = GetGridView()) view->Changed(vcProperty);
}

void TcxCustomGridTableViewStyles::GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                    TcxViewParams& params) {
  TcxStyle* style = nullptr;
  if (record && FOnGetContentStyle) FOnGetContentStyle(GetTableView(), record, item, style);
  if (record) {
    const Integer index = record->GetIndex() % 2 == 0 ? vsContentEven : vsContentOdd;
    if (GetStyleValue(index)) {
      TcxGridDataCellPos pos(record, item);
      ResolveStyleParams(index, &pos, style, params);
      return;
    }
  }
  ResolveStyleParams(vsContent, record, style, params);
}

void TcxCustomGridTableViewStyles::GetItemContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                        TcxViewParams& params) {
  if (!item)
    GetRecordContentParams(record, item, params);
  else
    item->GetStyles()->GetContentParams(record, params);
}

void TcxCustomGridTableViewStyles::GetCellContentParams(TcxCustomGridRecord* record, TObject* item,
                                                        TcxViewParams& params) {
  if (!item || dynamic_cast<TcxCustomGridTableItem*>(item))
    GetItemContentParams(record, static_cast<TcxCustomGridTableItem*>(item), params);
}

void TcxCustomGridTableViewStyles::GetSelectionParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                      TcxViewParams& params) {
  const Integer index = GetTableView()->IsSelectionActive(record) ? vsSelection : vsInactive;
  if (record) {
    TcxGridCellPos pos(record, item);
    ResolveStyleParams(index, &pos, nullptr, params);
  } else {
    ResolveStyleParams(index, nullptr, nullptr, params);
  }
  params.Bitmap = nullptr;
}

void TcxCustomGridTableViewStyles::GetDataCellParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                     Boolean ignoreSelection, TcxCustomGridCellViewInfo* cellViewInfo,
                                                     Boolean fromViewInfo, TcxViewParams& params) {
  Boolean selected = false;
  if (!ignoreSelection) {
    if (fromViewInfo && cellViewInfo)
      selected = cellViewInfo->GetState() == gcsSelected;
    else
      selected = GetTableView()->IsRecordCellDrawnSelected(record, item);
  }
  if (selected)
    GetSelectionParams(record, item, params);
  else
    GetItemContentParams(record, item, params);
}

void TcxCustomGridTableViewStyles::GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) {
  inherited::GetDefaultStyleParams(index, data, params);
  TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainter();
  switch (index) {
    case vsContent:
      if (auto* record = dynamic_cast<TcxCustomGridRecord*>(data)) {
        params.Color = record->GetIndex() % 2 == 0 ? painter->DefaultContentEvenColor() : painter->DefaultContentOddColor();
      } else {
        params.Color = painter->DefaultContentColor();
      }
      params.TextColor = painter->DefaultContentTextColor();
      break;
    case vsContentEven:
      params.Color = painter->DefaultContentEvenColor();
      params.TextColor = painter->DefaultContentTextColor();
      break;
    case vsContentOdd:
      params.Color = painter->DefaultContentOddColor();
      params.TextColor = painter->DefaultContentTextColor();
      break;
    case vsFilterBox:
      params.Color = painter->DefaultFilterBoxColor();
      params.TextColor = painter->DefaultFilterBoxTextColor();
      break;
    case vsInactive:
    case vsSelection:
      if (auto* pos = dynamic_cast<TcxGridCellPos*>(data)) GetCellContentParams(pos->GridRecord, pos->Item, params);
      params.Color = index == vsSelection ? painter->DefaultSelectionColor() : painter->DefaultInactiveColor();
      params.TextColor =
          index == vsSelection ? painter->DefaultSelectionTextColor() : painter->DefaultInactiveTextColor();
      break;
    case vsIncSearch:
      params.Color = clDefault;
      params.TextColor = clDefault;
      break;
    default:
      break;
  }
}

// ==== The view ==================================================================================

TcxCustomGridTableController* TcxCustomGridTableView::GetTableController() const {
  return static_cast<TcxCustomGridTableController*>(GetController());
}
TcxCustomGridTableViewData* TcxCustomGridTableView::GetTableViewData() const {
  return static_cast<TcxCustomGridTableViewData*>(GetViewData());
}
TcxCustomGridTableOptionsBehavior* TcxCustomGridTableView::GetTableOptionsBehavior() const {
  return static_cast<TcxCustomGridTableOptionsBehavior*>(GetOptionsBehavior());
}
TcxCustomGridTableOptionsData* TcxCustomGridTableView::GetTableOptionsData() const {
  return static_cast<TcxCustomGridTableOptionsData*>(GetOptionsData());
}
TcxCustomGridTableOptionsSelection* TcxCustomGridTableView::GetTableOptionsSelection() const {
  return static_cast<TcxCustomGridTableOptionsSelection*>(GetOptionsSelection());
}
TcxCustomGridTableOptionsView* TcxCustomGridTableView::GetTableOptionsView() const {
  return static_cast<TcxCustomGridTableOptionsView*>(GetOptionsView());
}
TcxCustomGridTableViewStyles* TcxCustomGridTableView::GetTableStyles() const {
  return static_cast<TcxCustomGridTableViewStyles*>(GetStyles());
}

void TcxCustomGridTableView::CreateHandlers() {
  FItems.clear();
  FVisibleItems.clear();
  FFilterableItems.clear();
  FNavigatorNotifier = new TcxNavigatorControlNotifier;
  inherited::CreateHandlers();
  // The buttons show in the view info's navigator site and act on this view.
  FNavigatorButtons = GetNavigatorButtonsClass().Create(static_cast<IcxNavigatorOwner*>(GetTableViewInfo()));
  FNavigatorButtons->SetOnGetControl(TcxNavigatorGetControlEvent(this, &TcxCustomGridTableView::NavigatorGetControl));
  FNavigatorButtons->SetConfirmDelete(false);
}

void TcxCustomGridTableView::DestroyHandlers() {
  // The in-place editor goes first: it works on the items and the records.
  if (TcxCustomGridTableController* controller = GetTableController())
    if (TcxGridEditingController* editing = controller->FindEditingController()) editing->HideEdit(false);
  ClearRecordViewInfos();
  ClearItems();
  // The recently used filters are criteria of the data controller, which frees them with itself.
  if (FFiltering) FFiltering->GetMRUItems()->Clear();
  FreeAndNil(FNavigatorButtons);
  inherited::DestroyHandlers();
  FreeAndNil(FNavigatorNotifier);
}

void TcxCustomGridTableView::CreateOptions() {
  inherited::CreateOptions();
  FDateTimeHandling = GetDateTimeHandlingClass().Create(this);
  FOptionsCustomize = GetOptionsCustomizeClass().Create(this);
  FFilterBox = GetFilterBoxClass().Create(this);
  FFiltering = GetFilteringClass().Create(this);
}

void TcxCustomGridTableView::DestroyOptions() {
  FreeAndNil(FFiltering);
  FreeAndNil(FFilterBox);
  FreeAndNil(FOptionsCustomize);
  FreeAndNil(FDateTimeHandling);
  inherited::DestroyOptions();
}

// ---- Items ----

Integer TcxCustomGridTableView::IndexOfItem(TcxCustomGridTableItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : Integer(it - FItems.begin());
}

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByName(const AnsiString& name) const {
  for (TcxCustomGridTableItem* item : FItems)
    if (item->GetName() == name) return item;
  return nullptr;
}

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByID(Integer id) const {
  for (TcxCustomGridTableItem* item : FItems)
    if (item->GetID() == id) return item;
  return nullptr;
}

Integer TcxCustomGridTableView::GetSortedItemCount() { return GetDataController()->GetSortingItemCount(); }

TcxCustomGridTableItem* TcxCustomGridTableView::GetSortedItem(Integer index) {
  return GetItem(GetDataController()->GetSortingItemIndex(index));
}

Integer TcxCustomGridTableView::GetGroupedItemCount() { return GetDataController()->GetGroups()->GetGroupingLevelCount(); }

TcxCustomGridTableItem* TcxCustomGridTableView::GetGroupedItem(Integer index) {
  return GetItem(GetDataController()->GetGroups()->GetLevelItemIndex(index));
}

TcxCustomGridTableItem* TcxCustomGridTableView::CreateItem() {
  auto* item = GetItemClass().Create(GetOwner());
  AddItem(item);
  return item;
}

void TcxCustomGridTableView::ClearItems() {
  if (FItems.empty()) {
    FNextID = 0;
    return;
  }
  GridTableLocked(this, [&] {
    while (!FItems.empty()) FItems.back()->Free();
  });
  FNextID = 0;
}

void TcxCustomGridTableView::AddItem(TcxCustomGridTableItem* item) {
  if (IndexOfItem(item) != -1) return;
  FItems.push_back(item);
  RefreshItemIndexes();
  item->SetIDValue(FNextID++);
  GetDataController()->AddItem(item);
  item->SetGridView(this);
  item->SetVisible(true);
  RefreshFilterableItemsList();
}

void TcxCustomGridTableView::RemoveItem(TcxCustomGridTableItem* item) {
  const Integer index = IndexOfItem(item);
  if (index == -1) return;
  if (TcxCustomGridTableController* controller = GetTableController())
    if (TcxGridEditingController* editing = controller->FindEditingController())
      if (editing->GetEditingItem() == item) editing->HideEdit(false);
  // The cells of the item go with the laid-out records; the layout makes them again.
  ClearRecordViewInfos();
  GridTableLocked(this, [&] {
    if (GetTableOptionsBehavior() && GetTableOptionsBehavior()->GetIncSearchItem() == item)
      GetTableOptionsBehavior()->SetIncSearchItem(nullptr);
    item->SetVisible(false);
    if (GetTableController()) GetTableController()->ItemRemoved(item);
    FItems.erase(FItems.begin() + index);
    item->SetIndexValue(-1);
    RefreshItemIndexes();
    GetDataController()->RemoveItem(item);
  });
  item->SetGridView(nullptr);
  if (item->GetID() == FNextID - 1) --FNextID;
  RefreshFilterableItemsList();
  RefreshCustomizationForm();
  SynchronizeClones(true);
}

void TcxCustomGridTableView::ChangeItemIndex(TcxCustomGridTableItem* item, Integer index) {
  const Integer current = IndexOfItem(item);
  if (current == -1) return;
  index = std::clamp<Integer>(index, 0, GetItemCount() - 1);
  if (index == current) return;
  FItems.erase(FItems.begin() + current);
  FItems.insert(FItems.begin() + index, item);
  RefreshItemIndexes();
  if (item->GetActuallyVisible()) RefreshVisibleItemsList();
  GetDataController()->UpdateItemIndexes();
  Changed(vcSize);
}

void TcxCustomGridTableView::RefreshItemIndexes() {
  for (std::size_t i = 0; i < FItems.size(); ++i) FItems[i]->SetIndexValue(Integer(i));
}

void TcxCustomGridTableView::RefreshVisibleItemsList() {
  FVisibleItems.clear();
  for (TcxCustomGridTableItem* item : FItems) {
    if (item->GetActuallyVisible()) {
      item->SetVisibleIndexValue(Integer(FVisibleItems.size()));
      FVisibleItems.push_back(item);
    } else {
      item->SetVisibleIndexValue(-1);
    }
  }
}

void TcxCustomGridTableView::RefreshFilterableItemsList() {
  if (IsDestroying()) return;
  FFilterableItems.clear();
  for (TcxCustomGridTableItem* item : FItems)
    if (item->GetFilterable()) FFilterableItems.push_back(item);
}

void TcxCustomGridTableView::SaveItemsVisibilities() {
  for (TcxCustomGridTableItem* item : FItems) item->SaveActuallyVisible();
}

void TcxCustomGridTableView::CheckItemVisibilities() {
  GridTableLocked(this, [&] {
    for (std::size_t i = 0; i < FItems.size(); ++i) {
      TcxCustomGridTableItem* item = FItems[i];
      const Boolean visible = item->GetActuallyVisible();
      if (visible != item->GetSavedVisible()) ItemVisibilityChanged(item, visible);
    }
  });
}

void TcxCustomGridTableView::ItemVisibilityChanged(TcxCustomGridTableItem* item, Boolean value) {
  RefreshVisibleItemsList();
  TcxCustomGridTableController* controller = GetTableController();
  if (value) {
    if (controller && !controller->GetFocusedItem() && !IsLoading()) item->SetFocused(true);
  } else if (controller && controller->GetFocusedItem() == item) {
    item->SetFocused(false);
  }
  Changed(vcSize);
}

void TcxCustomGridTableView::ItemCaptionChanged(TcxCustomGridTableItem* item) {
  if (!item || item->GetVisible() || item->GetGroupIndex() != -1)
    Changed(vcSize);
  else
    Changed(vcProperty);
  RefreshCustomizationForm();
}

void TcxCustomGridTableView::AddPendingGroupedItem(TcxCustomGridTableItem* item, Integer groupIndex) {
  if (groupIndex < 0) return;
  if (std::size_t(groupIndex) >= FPendingGroupedItems.size()) FPendingGroupedItems.resize(std::size_t(groupIndex) + 1);
  FPendingGroupedItems[std::size_t(groupIndex)] = item;
}

void TcxCustomGridTableView::AddPendingSortedItem(TcxCustomGridTableItem* item, Integer sortIndex) {
  if (sortIndex < 0) return;
  if (std::size_t(sortIndex) >= FPendingSortedItems.size()) FPendingSortedItems.resize(std::size_t(sortIndex) + 1);
  FPendingSortedItems[std::size_t(sortIndex)] = item;
}

void TcxCustomGridTableView::AddPendingIndexItem(TcxCustomGridTableItem* item, Integer index) {
  if (index < 0) index = 0;
  if (std::size_t(index) >= FPendingIndexItems.size()) FPendingIndexItems.resize(std::size_t(index) + 1);
  FPendingIndexItems[std::size_t(index)] = item;
}

void TcxCustomGridTableView::BeginAssigningItems() {
  FPendingGroupedItems.clear();
  FPendingSortedItems.clear();
}

void TcxCustomGridTableView::EndAssigningItems() {
  std::vector<TcxCustomGridTableItem*> grouped;
  std::vector<TcxCustomGridTableItem*> sorted;
  grouped.swap(FPendingGroupedItems);
  sorted.swap(FPendingSortedItems);
  // Items freed while reading have left the lists' view already; skip any that are gone.
  Integer groupIndex = 0;
  for (TcxCustomGridTableItem* item : grouped)
    if (item && IndexOfItem(item) != -1) item->SetGroupIndex(groupIndex++);
  Integer sortIndex = 0;
  for (TcxCustomGridTableItem* item : sorted)
    if (item && IndexOfItem(item) != -1) {
      if (item->GetSortIndex() == -1 && item->GetSortOrder() == soNone)
        GetDataController()->ChangeSorting(item->GetIndex(), soAscending);
      item->SetSortIndex(sortIndex++);
    }
}

void TcxCustomGridTableView::ReadState(TReader* reader) {
  BeginAssigningItems();
  FAssigningItems = true;
  try {
    inherited::ReadState(reader);
  } catch (...) {
    FAssigningItems = false;
    FAfterAssigningItems = true;
    try {
      EndAssigningItems();
    } catch (...) {
    }
    FAfterAssigningItems = false;
    throw;
  }
  FAssigningItems = false;
  FAfterAssigningItems = true;
  try {
    EndAssigningItems();
  } catch (...) {
    FAfterAssigningItems = false;
    throw;
  }
  FAfterAssigningItems = false;
}

void TcxCustomGridTableView::GetChildren(TGetChildProc proc, TComponent* root) {
  inherited::GetChildren(proc, root);
  for (TcxCustomGridTableItem* item : FItems)
    if (item->GetOwner() == root) proc(item);
}

void TcxCustomGridTableView::SetChildOrder(TComponent* child, Integer order) {
  if (auto* item = dynamic_cast<TcxCustomGridTableItem*>(child))
    if (IndexOfItem(item) != -1) ChangeItemIndex(item, order);
}

void TcxCustomGridTableView::SetName(const AnsiString& newName) {
  const AnsiString oldName = GetName();
  inherited::SetName(newName);
  if (oldName.empty() || oldName == newName) return;
  for (TcxCustomGridTableItem* item : FItems) {
    const AnsiString& name = item->GetName();
    if (name.size() > oldName.size() && SameText(name.substr(0, oldName.size()), oldName))
      item->SetName(newName + name.substr(oldName.size()));
  }
}

// ---- Notices ----

void TcxCustomGridTableView::UpdateControl(TcxUpdateControlInfo* info) {
  if (IsDestroying()) return;
  if (dynamic_cast<TcxDataChangedInfo*>(info)) {
    DataChanged();
  } else if (dynamic_cast<TcxLayoutChangedInfo*>(info)) {
    DataLayoutChanged();
  } else if (auto* focus = dynamic_cast<TcxFocusedRecordChangedInfo*>(info)) {
    GetTableController()->FocusedRecordChanged(focus->GetPrevFocusedRowIndex(), focus->GetFocusedRowIndex(),
                                               focus->GetNewItemRowFocusingChanged());
  } else if (auto* selection = dynamic_cast<TcxSelectionChangedInfo*>(info)) {
    SelectionChanged(selection);
  } else if (auto* record = dynamic_cast<TcxUpdateRecordInfo*>(info)) {
    RecordChanged(record->GetRecordIndex());
  }
  // Whatever changed, the navigator buttons follow the data's state.
  RefreshNavigators();
  inherited::UpdateControl(info);
}

void TcxCustomGridTableView::DataChanged() {
  GetTableController()->SetDragHighlightedRecord(nullptr);
  for (TcxCustomGridTableItem* item : FItems) item->DataChanged();
  AddChange(new TcxGridDataChange(this));
  SynchronizeClones(true);
}

void TcxCustomGridTableView::RecordsViewDataChanged() {
  const Integer rowCount = GetDataController()->GetRowCount();
  if (TcxCustomGridViewInfoCache* cache = GetViewInfoCache()) cache->SetCount(rowCount);
  // The record view infos show the records about to go; they are made again by the layout.
  ClearRecordViewInfos();
  GetTableViewData()->ResetRecords(rowCount);
  if (TcxCustomGrid* grid = GetControlGrid()) grid->NotifyListeners(gnkRecordCountChanged, this);
}

void TcxCustomGridTableView::DataLayoutChanged() {
  GetTableViewData()->RefreshRecordInfos();
  SizeChanged(false, false);
  SynchronizeClones(true);
}

void TcxCustomGridTableView::RecordChanged(Integer recordIndex) {
  GetTableViewData()->UpdateEditingRecord();
  if (RecordHeightsVary()) {
    SizeChanged(false, false);
    return;
  }
  if (TcxCustomGridRecord* record = GetTableViewData()->RecordOfDataRecord(recordIndex))
    record->Invalidate();
  else
    LayoutChanged(true);
}

void TcxCustomGridTableView::SelectionChanged(TcxSelectionChangedInfo* info) {
  if (info->GetCount() == 0) {
    LayoutChanged(true);
  } else {
    for (Integer i = 0; i < info->GetCount(); ++i)
      if (TcxCustomGridRecord* record = GetTableViewData()->ExistingRecordAt(info->GetRowIndex(i))) record->Invalidate();
  }
  if (!IsLoading()) DoSelectionChanged();
}

void TcxCustomGridTableView::FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex,
                                                  Boolean newItemRecordFocusingChanged) {
  AddChange(new TcxGridFocusedRecordChange(this, newItemRecordFocusingChanged, focusedRecordIndex,
                                           prevFocusedRecordIndex));
}

void TcxCustomGridTableView::DoFocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex,
                                                    Boolean newItemRecordFocusingChanged) {
  if (TcxCustomGrid* grid = GetControlGrid()) grid->NotifyListeners(gnkFocusedRecordChanged, this);
  if (FOnFocusedRecordChanged) {
    TcxCustomGridTableViewData* viewData = GetTableViewData();
    FOnFocusedRecordChanged(this, viewData->CheckedRecordAt(prevFocusedRecordIndex),
                            viewData->CheckedRecordAt(focusedRecordIndex), newItemRecordFocusingChanged);
  }
}

void TcxCustomGridTableView::DoFocusedItemChanged(TcxCustomGridTableItem* prevFocusedItem,
                                                  TcxCustomGridTableItem* focusedItem) {
  if (FOnFocusedItemChanged) FOnFocusedItemChanged(this, prevFocusedItem, focusedItem);
}

void TcxCustomGridTableView::DoSelectionChanged() {
  if (FOnSelectionChanged) FOnSelectionChanged(this);
}

Boolean TcxCustomGridTableView::DoCanFocusRecord(TcxCustomGridRecord* record) {
  Boolean allow = true;
  if (FOnCanFocusRecord) FOnCanFocusRecord(this, record, allow);
  return allow;
}

Boolean TcxCustomGridTableView::DoCanSelectRecord(Integer recordIndex) {
  Boolean allow = true;
  if (FOnCanSelectRecord) FOnCanSelectRecord(this, GetTableViewData()->CheckedRecordAt(recordIndex), allow);
  return allow;
}

// ---- Selection drawing ----

Boolean TcxCustomGridTableView::IsSelectionVisible() {
  return IsControlFocused() || !GetTableOptionsSelection()->GetHideSelection();
}

Boolean TcxCustomGridTableView::IsSelectionActive(TcxCustomGridRecord* record) {
  return IsControlFocused() || (record && record->DragHighlighted());
}

Boolean TcxCustomGridTableView::IsRecordFocusedInView(TcxCustomGridRecord* record) {
  TcxCustomGrid* grid = GetControlGrid();
  return record && record->GetFocused() && grid && grid->GetFocusedView() == this;
}

Boolean TcxCustomGridTableView::IsRecordDrawnSelected(TcxCustomGridRecord* record) {
  if (!record) return false;
  TcxCustomGrid* grid = GetControlGrid();
  return (record->GetSelected() &&
          ((grid && grid->GetFocusedView() == this) || GetTableOptionsSelection()->GetMultiSelect())) ||
         record->DragHighlighted();
}

Boolean TcxCustomGridTableView::IsCellDrawnInSelection(TcxCustomGridRecord* record, TcxCustomGridTableItem* item) {
  if (!record || !record->GetHasCells() || !record->CanFocusCells()) return true;
  const Boolean focusedCell = IsRecordFocusedInView(record) && item && item->GetFocused();
  if (GetTableOptionsSelection()->GetInvertSelect()) return !focusedCell;
  if (!GetTableOptionsSelection()->GetMultiSelect() && !focusedCell) return false;
  return true;
}

Boolean TcxCustomGridTableView::IsRecordCellDrawnSelected(TcxCustomGridRecord* record, TcxCustomGridTableItem* item) {
  return record && IsRecordDrawnSelected(record) && IsCellDrawnInSelection(record, item) && IsSelectionVisible();
}

// ---- Clipboard ----

void TcxCustomGridTableView::GetItemsForCopy(std::vector<TcxCustomGridTableItem*>& list, Boolean copyAll) {
  GetVisibleItemsList(list);
}

void TcxCustomGridTableView::CopyRowProc(Pointer data, Integer rowIndex, const TcxRowInfo& rowInfo) {
  const std::vector<TcxCustomGridTableItem*>& list = *FCopyList;
  TcxCustomDataController* controller = GetDataController();
  const Integer groupingCount = controller->GetGroups() ? controller->GetGroups()->GetGroupingLevelCount() : 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    Integer itemIndex = list[i]->GetIndex();
    AnsiString text;
    controller->GetRowDisplayText(rowInfo, itemIndex, text);
    FCopyText += text;
    FCopyText += '\t';
    if (rowInfo.Level < groupingCount) break;
  }
  if (!list.empty()) FCopyText.pop_back();
  FCopyText += "\r\n";
}

AnsiString TcxCustomGridTableView::GetCopyText(Boolean copyAll) {
  std::vector<TcxCustomGridTableItem*> list;
  GetItemsForCopy(list, copyAll);
  FCopyList = &list;
  FCopyText.clear();
  struct TCopyCleanup {
    TcxCustomGridTableView* View;
    ~TCopyCleanup() { View->FCopyList = nullptr; }
  } cleanup{this};
  if (GetTableOptionsBehavior()->GetCopyCaptionsToClipboard()) {
    for (TcxCustomGridTableItem* item : list) {
      FCopyText += item->GetAlternateCaptionInEffect();
      FCopyText += '\t';
    }
    if (!list.empty()) FCopyText.pop_back();
    FCopyText += "\r\n";
  }
  TcxCustomGrid* grid = GetControlGrid();
  if (grid) grid->BeginUpdate();
  try {
    GetDataController()->ForEachRow(!copyAll,
                                    TcxCustomDataController::TcxDataControllerEachRowProc(
                                        this, &TcxCustomGridTableView::CopyRowProc),
                                    nullptr);
    if (GetDataController()->IsGridMode()) GetTableController()->MakeFocusedRecordVisible();
  } catch (...) {
    if (grid) grid->EndUpdate();
    throw;
  }
  if (grid) grid->EndUpdate();
  AnsiString text;
  text.swap(FCopyText);
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  return text;
}

void TcxCustomGridTableView::CopyToClipboard(Boolean copyAll) { Clipboard()->SetAsText(GetCopyText(copyAll)); }

void TcxCustomGridTableView::ApplyBestFit(TcxCustomGridTableItem* item, Boolean checkCanSize, Boolean fireEvents) {
  if (item) {
    item->ApplyBestFit(checkCanSize, fireEvents);
    return;
  }
  const std::vector<TcxCustomGridTableItem*> items = FVisibleItems;
  GridTableLocked(this, [&] {
    for (TcxCustomGridTableItem* visible : items) visible->ApplyBestFit(checkCanSize, fireEvents);
  });
}

// ---- Layout storage ----

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByStoredName(const AnsiString& name) {
  if (name.empty()) return nullptr;
  if (GetStoringName().empty()) return FindItemByName(name);
  Integer id = 0;
  if (!TryStrToInt(name, id)) return nullptr;
  return FindItemByID(id);
}

Boolean TcxCustomGridTableView::GetStoredProperties(TStrings* properties) {
  if (FTableStorageOptions & 1) {
    properties->Add("FilterActive");
    properties->Add("Filter");
  }
  return inherited::GetStoredProperties(properties);
}

void TcxCustomGridTableView::GetStoredPropertyValue(const AnsiString& name, Variant& value) {
  if ((FTableStorageOptions & 1) && name == "FilterActive") {
    value = bool(GetDataController()->GetFilter()->GetActive());
  } else if ((FTableStorageOptions & 1) && name == "Filter") {
    std::unique_ptr<TMemoryStream, orv::FreeDeleter> stream(new TMemoryStream());
    if (!GetDataController()->GetFilter()->IsEmptyCriteria()) GetDataController()->GetFilter()->WriteToStream(stream.get());
    value = GridTableStreamToHexText(stream.get());
  } else {
    inherited::GetStoredPropertyValue(name, value);
  }
}

void TcxCustomGridTableView::SetStoredPropertyValue(const AnsiString& name, const Variant& value) {
  if ((FTableStorageOptions & 1) && name == "FilterActive") {
    const AnsiString text = UpperCase(VarToStr(value));
    if (text != "TRUE" && text != "FALSE") throw EConvertError(AnsiString());
    GetDataController()->GetFilter()->SetActive(text == "TRUE");
  } else if ((FTableStorageOptions & 1) && name == "Filter") {
    const AnsiString text = VarToStr(value);
    if (text.size() <= 5) return;
    std::unique_ptr<TMemoryStream, orv::FreeDeleter> stream(new TMemoryStream());
    // Malformed hexadecimal leaves the filter as it is.
    if (!GridTableHexTextToStream(text, stream.get())) return;
    GetDataController()->GetFilter()->ReadBinaryData(stream.get());
  } else {
    inherited::SetStoredPropertyValue(name, value);
  }
}

void TcxCustomGridTableView::GetStoredChildren(TStringList* children) {
  for (TcxCustomGridTableItem* item : FItems) children->AddObject(AnsiString(), item);
}

TObject* TcxCustomGridTableView::CreateStoredObject(const AnsiString& objectName, const AnsiString& className) {
  if (className == GetItemClass()->ClassName()) return CreateItem();
  return inherited::CreateStoredObject(objectName, className);
}

void TcxCustomGridTableView::BeforeRestoring() {
  inherited::BeforeRestoring();
  BeginAssigningItems();
  FAssigningItems = true;
  FRestoringItems = true;
  FPendingIndexItems.clear();
}

void TcxCustomGridTableView::AfterRestoring() {
  std::vector<TcxCustomGridTableItem*> pending;
  pending.swap(FPendingIndexItems);
  FRestoringItems = false;
  for (std::size_t i = 0; i < pending.size(); ++i)
    if (pending[i] && IndexOfItem(pending[i]) != -1) ChangeItemIndex(pending[i], Integer(i));
  FAssigningItems = false;
  FAfterAssigningItems = true;
  try {
    EndAssigningItems();
  } catch (...) {
    FAfterAssigningItems = false;
    throw;
  }
  FAfterAssigningItems = false;
  inherited::AfterRestoring();
}

void TcxCustomGridTableView::BeforeLoaded() {
  GridTableLocked(this, [&] {
    inherited::BeforeLoaded();
    DataChanged();
  });
}

void TcxCustomGridTableView::ResetItemsFromStorage() {
  GridTableLocked(this, [&] {
    for (Integer i = 0; i < GetItemCount(); ++i) GetItem(i)->RestoreDefaults();
  });
}

void TcxCustomGridTableView::BoundsChanged(Boolean viewOnly, Boolean partialReset) {
  inherited::BoundsChanged(viewOnly, partialReset);
  if (GetDataController()->IsGridMode()) GetTableController()->PostCheckTopRecordIndex();
}

Boolean TcxCustomGridTableView::CanBeTabStop() {
  TcxCustomGridTableController* controller = GetTableController();
  return inherited::CanBeTabStop() && !(controller && controller->IsEditing());
}

Boolean TcxCustomGridTableView::HasFocusedControls() {
  if (inherited::HasFocusedControls()) return true;
  TcxCustomGridTableController* controller = GetTableController();
  TcxGridEditingController* editing = controller ? controller->FindEditingController() : nullptr;
  return editing && editing->IsEditing() && editing->GetEdit() && editing->GetEdit()->IsFocused();
}

void TcxCustomGridTableView::PrepareLayoutView(TcxCustomGridView* layoutView) {
  inherited::PrepareLayoutView(layoutView);
  auto* view = dynamic_cast<TcxCustomGridTableView*>(layoutView);
  if (!view) return;
  TcxCustomGridTableOptionsData* data = view->GetTableOptionsData();
  data->SetAppending(true);
  data->SetDeleting(true);
  data->SetEditing(true);
  data->SetInserting(true);
  view->GetTableOptionsSelection()->SetMultiSelect(true);
  view->GetTableOptionsView()->SetNavigator(true);
  for (Integer i = 0; i < std::min(GetItemCount(), view->GetItemCount()); ++i)
    view->GetItem(i)->GetDataBinding()->Assign(GetItem(i)->GetDataBinding());
}

void TcxCustomGridTableView::AssignLayout(TcxCustomGridView* layoutView) {
  inherited::AssignLayout(layoutView);
  auto* view = dynamic_cast<TcxCustomGridTableView*>(layoutView);
  if (!view) return;
  BeginAssigningItems();
  FAssigningItems = true;
  try {
    for (Integer i = 0; i < view->GetItemCount(); ++i) {
      TcxCustomGridTableItem* source = view->GetItem(i);
      TcxCustomGridTableItem* item = FindItemByID(source->GetID());
      if (!item) continue;
      const NativeInt tag = item->GetTag();
      item->Assign(source);
      item->SetTag(tag);
      item->SetIndex(source->GetIndex());
    }
  } catch (...) {
    FAssigningItems = false;
    EndAssigningItems();
    throw;
  }
  FAssigningItems = false;
  EndAssigningItems();
}

void TcxCustomGridTableView::AfterAssignOrLoad() {
  inherited::AfterAssignOrLoad();
  if (!GetTableController()->GetFocusedItem()) GetTableController()->FocusFirstAvailableItem();
}

void TcxCustomGridTableView::DoAssign(TcxCustomGridView* source) {
  if (auto* table = dynamic_cast<TcxCustomGridTableView*>(source)) {
    GridTableLocked(this, [&] {
      if (!IsAssigningPattern()) {
        for (Integer i = 0; i < table->GetItemCount(); ++i) {
          TcxCustomGridTableItem* sourceItem = table->GetItem(i);
          TcxCustomGridTableItem* item = FindItemByID(sourceItem->GetID());
          if (!item) {
            item = CreateItem();
            item->SetIDValue(sourceItem->GetID());
          }
          item->SetIndex(sourceItem->GetIndex());
          item->Assign(sourceItem);
        }
        while (GetItemCount() > table->GetItemCount()) GetItem(GetItemCount() - 1)->Free();
        FNextID = table->FNextID;
      }
      FDateTimeHandling->Assign(table->GetDateTimeHandling());
      FOptionsCustomize->Assign(table->GetOptionsCustomize());
      FFilterBox->Assign(table->GetFilterBox());
      FNavigatorButtons->Assign(table->GetNavigatorButtons());
      FOnCellClick = table->FOnCellClick;
      FOnCellDblClick = table->FOnCellDblClick;
      FOnCustomDrawCell = table->FOnCustomDrawCell;
      FOnCustomDrawPartBackground = table->FOnCustomDrawPartBackground;
      FOnEditing = table->FOnEditing;
      FOnEditChanged = table->FOnEditChanged;
      FOnEditKeyDown = table->FOnEditKeyDown;
      FOnEditKeyPress = table->FOnEditKeyPress;
      FOnEditKeyUp = table->FOnEditKeyUp;
      FOnEditValueChanged = table->FOnEditValueChanged;
      FOnGetCellHeight = table->FOnGetCellHeight;
      FOnGetDragDropText = table->FOnGetDragDropText;
      FOnInitEdit = table->FOnInitEdit;
      FOnInitEditValue = table->FOnInitEditValue;
      FOnFilterControlDialogShow = table->FOnFilterControlDialogShow;
      FOnFilterCustomization = table->FOnFilterCustomization;
      FOnFilterDialogShow = table->FOnFilterDialogShow;
      SetOnCanFocusRecord(table->GetOnCanFocusRecord());
      SetOnCanSelectRecord(table->GetOnCanSelectRecord());
      SetOnFocusedItemChanged(table->GetOnFocusedItemChanged());
      SetOnFocusedRecordChanged(table->GetOnFocusedRecordChanged());
      SetOnSelectionChanged(table->GetOnSelectionChanged());
      SetOnTopRecordIndexChanged(table->GetOnTopRecordIndexChanged());
      SetOnInitFilteringDateRanges(table->GetOnInitFilteringDateRanges());
      SetOnInitGroupingDateRanges(table->GetOnInitGroupingDateRanges());
    });
  }
  inherited::DoAssign(source);
}

#define ORV_GRID_VIEW_EVENT(Name, Type)                          \
  void TcxCustomGridTableView::Set##Name(const Type& value) {    \
    if (F##Name == value) return;                                \
    F##Name = value;                                             \
    Changed(vcProperty);                                         \
  }
ORV_GRID_VIEW_EVENT(OnCanFocusRecord, TcxGridAllowRecordOperationEvent)
ORV_GRID_VIEW_EVENT(OnCanSelectRecord, TcxGridAllowRecordOperationEvent)
ORV_GRID_VIEW_EVENT(OnFocusedItemChanged, TcxGridFocusedItemChangedEvent)
ORV_GRID_VIEW_EVENT(OnFocusedRecordChanged, TcxGridFocusedRecordChangedEvent)
ORV_GRID_VIEW_EVENT(OnSelectionChanged, TcxGridCustomTableViewEvent)
ORV_GRID_VIEW_EVENT(OnTopRecordIndexChanged, TNotifyEvent)

ORV_GRID_VIEW_EVENT(OnInitFilteringDateRanges, TcxGridInitDateRangesEvent)
ORV_GRID_VIEW_EVENT(OnInitGroupingDateRanges, TcxGridInitDateRangesEvent)
#undef ORV_GRID_VIEW_EVENT

void TcxCustomGridTableView::DoInitFilteringDateRanges(TcxCustomGridTableItem* item, TcxGridDateRanges* dateRanges) {
  if (FOnInitFilteringDateRanges) FOnInitFilteringDateRanges(item, dateRanges);
}

void TcxCustomGridTableView::DoInitGroupingDateRanges(TcxCustomGridTableItem* item, TcxGridDateRanges* dateRanges) {
  if (FOnInitGroupingDateRanges) FOnInitGroupingDateRanges(item, dateRanges);
}

// ==== Published properties ======================================================================

namespace {

const orv::EnumNames<TcxDataSortOrder> kGridDataSortOrderNames("TcxDataSortOrder",
                                                               {"soNone", "soAscending", "soDescending"});
const orv::EnumNames<TcxGridItemShowEditButtons> kGridItemShowEditButtonsNames(
    "TcxGridItemShowEditButtons", {"isebDefault", "isebNever", "isebAlways"});
const orv::EnumNames<TcxGridItemSortByDisplayText> kGridItemSortByDisplayTextNames(
    "TcxGridItemSortByDisplayText", {"isbtDefault", "isbtOn", "isbtOff"});
const orv::EnumNames<TcxGridDragFocusing> kGridDragFocusingNames("TcxGridDragFocusing",
                                                                 {"dfNone", "dfDragOver", "dfDragDrop"});
const orv::EnumNames<TcxGridQuickCustomizationReordering> kGridQuickCustomizationReorderingNames(
    "TcxGridQuickCustomizationReordering", {"qcrDefault", "qcrEnabled", "qcrDisabled"});
const orv::EnumNames<TcxGridShowEditButtons> kGridShowEditButtonsNames(
    "TcxGridShowEditButtons", {"gsebNever", "gsebForFocusedRecord", "gsebAlways"});
const orv::EnumNames<TcxGridShowItemFilterButtons> kGridShowItemFilterButtonsNames(
    "TcxGridShowItemFilterButtons", {"sfbAlways", "sfbWhenSelected"});
const orv::EnumNames<TcxGridDateTimeGrouping> kGridDateTimeGroupingNames(
    "TcxGridDateTimeGrouping",
    {"dtgDefault", "dtgByDateAndTime", "dtgRelativeToToday", "dtgByHour", "dtgByDate", "dtgByMonth", "dtgByYear"});
const orv::EnumNames<TcxGridDateTimeFilter> kGridDateTimeFilterNames(
    "TcxGridDateTimeFilter", {"dtfRelativeDays", "dtfRelativeDayPeriods", "dtfRelativeWeeks", "dtfRelativeMonths",
                              "dtfRelativeYears", "dtfPastFuture", "dtfMonths", "dtfYears"});

}  // namespace

ORV_PUBLISH(TcxGridItemDataBinding) {
  using T = TcxGridItemDataBinding;
  p.Property("ValueType", &T::GetValueType, &T::SetValueType).Stored([](T* b) { return b->IsValueTypeStored(); });
}

ORV_PUBLISH(TcxCustomGridTableItemCustomOptions) {}

ORV_PUBLISH(TcxCustomGridTableItemOptions) {
  using T = TcxCustomGridTableItemOptions;
  p.Property("Editing", &T::GetEditing, &T::SetEditing).Default(true);
  p.Property("Filtering", &T::GetFiltering, &T::SetFiltering).Default(true);
  p.Property("FilteringFilteredItemsList", &T::GetFilteringFilteredItemsList, &T::SetFilteringFilteredItemsList)
      .Default(true);
  p.Property("FilteringMRUItemsList", &T::GetFilteringMRUItemsList, &T::SetFilteringMRUItemsList).Default(true);
  p.Property("FilteringPopup", &T::GetFilteringPopup, &T::SetFilteringPopup).Default(true);
  p.Property("FilteringPopupMultiSelect", &T::GetFilteringPopupMultiSelect, &T::SetFilteringPopupMultiSelect)
      .Default(true);
  p.Property("Focusing", &T::GetFocusing, &T::SetFocusing).Default(true);
  p.Property("IgnoreTimeForFiltering", &T::GetIgnoreTimeForFiltering, &T::SetIgnoreTimeForFiltering).Default(true);
  p.Property("IncSearch", &T::GetIncSearch, &T::SetIncSearch).Default(true);
  p.Property("ShowEditButtons", &T::GetShowEditButtons, &T::SetShowEditButtons).Default(isebDefault);
}

ORV_PUBLISH(TcxCustomGridTableItemStyles) {
  using T = TcxCustomGridTableItemStyles;
  p.Property("Content", &T::GetContent, &T::SetContent);
  p.Property("OnGetContentStyle", &T::GetOnGetContentStyle, &T::SetOnGetContentStyle);
}

ORV_PUBLISH(TcxCustomGridTableItem) {
  using T = TcxCustomGridTableItem;
  p.Property("AlternateCaption", &T::GetAlternateCaption, &T::SetAlternateCaption);
  p.Property("Caption", &T::GetCaption, &T::SetCaption).Stored([](T* item) { return item->IsCaptionStored(); });
  p.Property("DataBinding", &T::GetDataBinding, &T::SetDataBinding);
  p.Property("PropertiesClassName", &T::GetPropertiesClassName, &T::SetPropertiesClassName);
  p.Property("Properties", &T::GetPropertiesObject, &T::SetPropertiesObject);
  p.Property("RepositoryItem", &T::GetRepositoryItem, &T::SetRepositoryItem);
  p.Property("Visible", &T::GetVisible, &T::SetVisible)
      .Default(true)
      .Stored([](T* item) { return item->ShouldStoreVisible(); });
  p.Property("PropertiesEvents", &T::GetPropertiesEvents, &T::SetPropertiesEvents);
  p.Property("StylesEvents", &T::GetStylesEvents, &T::SetStylesEvents);
  p.Property("Tag", &T::GetTag, &T::SetTag).Default(NativeInt(0));
  p.Property("OnGetDataText", &T::GetOnGetDataText, &T::SetOnGetDataText);
  p.Property("OnGetCellHint", &T::GetOnGetCellHint, &T::SetOnGetCellHint);
  p.Property("OnGetDisplayText", &T::GetOnGetDisplayText, &T::SetOnGetDisplayText);
  p.Property("OnGetFilterDisplayText", &T::GetOnGetFilterDisplayText, &T::SetOnGetFilterDisplayText);
  p.Property("OnGetProperties", &T::GetOnGetProperties, &T::SetOnGetProperties);
  p.Property("OnGetPropertiesForEdit", &T::GetOnGetPropertiesForEdit, &T::SetOnGetPropertiesForEdit);
  p.Property("OnGetStoredProperties", &T::GetOnGetStoredProperties, &T::SetOnGetStoredProperties);
  p.Property("OnGetStoredPropertyValue", &T::GetOnGetStoredPropertyValue, &T::SetOnGetStoredPropertyValue);
  p.Property("OnSetStoredPropertyValue", &T::GetOnSetStoredPropertyValue, &T::SetOnSetStoredPropertyValue);
  p.Property("OnUserFiltering", &T::GetOnUserFiltering, &T::SetOnUserFiltering);
  p.Property("OnGetFilterValues", &T::GetOnGetFilterValues, &T::SetOnGetFilterValues);
  p.Property("OnInitFilteringDateRanges", &T::GetOnInitFilteringDateRanges, &T::SetOnInitFilteringDateRanges);
}

ORV_PUBLISH(TcxCustomGridTableOptionsBehavior) {
  using T = TcxCustomGridTableOptionsBehavior;
  p.Property("AlwaysShowEditor", &T::GetAlwaysShowEditor, &T::SetAlwaysShowEditor).Default(false);
  p.Property("CellHints", &T::GetCellHints, &T::SetCellHints).Default(false);
  p.Property("CopyCaptionsToClipboard", &T::GetCopyCaptionsToClipboard, &T::SetCopyCaptionsToClipboard).Default(true);
  p.Property("DragDropText", &T::GetDragDropText, &T::SetDragDropText).Default(false);
  p.Property("DragFocusing", &T::GetDragFocusing, &T::SetDragFocusing).Default(dfNone);
  p.Property("DragHighlighting", &T::GetDragHighlighting, &T::SetDragHighlighting).Default(true);
  p.Property("DragOpening", &T::GetDragOpening, &T::SetDragOpening).Default(true);
  p.Property("DragScrolling", &T::GetDragScrolling, &T::SetDragScrolling).Default(true);
  p.Property("FocusCellOnTab", &T::GetFocusCellOnTab, &T::SetFocusCellOnTab).Default(false);
  p.Property("FocusFirstCellOnNewRecord", &T::GetFocusFirstCellOnNewRecord, &T::SetFocusFirstCellOnNewRecord)
      .Default(false);
  p.Property("GoToNextCellOnEnter", &T::GetGoToNextCellOnEnter, &T::SetGoToNextCellOnEnter).Default(false);
  p.Property("ImmediateEditor", &T::GetImmediateEditor, &T::SetImmediateEditor).Default(true);
  p.Property("IncSearch", &T::GetIncSearch, &T::SetIncSearch).Default(false);
  p.Property("IncSearchItem", &T::GetIncSearchItem, &T::SetIncSearchItem);
  p.Property("NavigatorHints", &T::GetNavigatorHints, &T::SetNavigatorHints).Default(false);
}

ORV_PUBLISH(TcxCustomGridTableOptionsCustomize) {}

ORV_PUBLISH(TcxCustomGridTableOptionsData) {
  using T = TcxCustomGridTableOptionsData;
  p.Property("Appending", &T::GetAppending, &T::SetAppending).Default(false);
  p.Property("CancelOnExit", &T::GetCancelOnExit, &T::SetCancelOnExit).Default(true);
  p.Property("Deleting", &T::GetDeleting, &T::SetDeleting).Default(true);
  p.Property("DeletingConfirmation", &T::GetDeletingConfirmation, &T::SetDeletingConfirmation).Default(true);
  p.Property("Editing", &T::GetEditing, &T::SetEditing).Default(true);
  p.Property("Inserting", &T::GetInserting, &T::SetInserting).Default(true);
}

ORV_PUBLISH(TcxCustomGridTableOptionsSelection) {
  using T = TcxCustomGridTableOptionsSelection;
  p.Property("CellSelect", &T::GetCellSelect, &T::SetCellSelect).Default(true);
  p.Property("HideFocusRectOnExit", &T::GetHideFocusRectOnExit, &T::SetHideFocusRectOnExit).Default(true);
  p.Property("HideFocusRect", &T::GetHideFocusRect, &T::SetHideFocusRect).Stored([](T*) { return false; });
  p.Property("HideSelection", &T::GetHideSelection, &T::SetHideSelection).Default(false);
  p.Property("InvertSelect", &T::GetInvertSelect, &T::SetInvertSelect)
      .Stored([](T* o) { return o->IsInvertSelectStored(); });
  p.Property("MultiSelect", &T::GetMultiSelect, &T::SetMultiSelect).Stored([](T* o) { return o->IsMultiSelectStored(); });
  p.Property("UnselectFocusedRecordOnExit", &T::GetUnselectFocusedRecordOnExit, &T::SetUnselectFocusedRecordOnExit)
      .Default(true);
}

ORV_PUBLISH(TcxCustomGridTableOptionsView) {
  using T = TcxCustomGridTableOptionsView;
  p.Property("CellEndEllipsis", &T::GetCellEndEllipsis, &T::SetCellEndEllipsis).Default(false);
  p.Property("FocusRect", &T::GetFocusRect, &T::SetFocusRect).Default(true);
  p.Property("Navigator", &T::GetNavigator, &T::SetNavigator).Default(false);
  p.Property("NavigatorOffset", &T::GetNavigatorOffset, &T::SetNavigatorOffset).Default(50);
  p.Property("NoDataToDisplayInfoText", &T::GetNoDataToDisplayInfoTextValue, &T::SetNoDataToDisplayInfoText)
      .Stored([](T* o) { return o->IsNoDataToDisplayInfoTextStored(); });
  p.Property("ShowEditButtons", &T::GetShowEditButtons, &T::SetShowEditButtons).Default(gsebNever);
}

ORV_PUBLISH(TcxCustomGridTableDateTimeHandling) {
  using T = TcxCustomGridTableDateTimeHandling;
  p.Property("DateFormat", &T::GetDateFormat, &T::SetDateFormat);
  p.Property("Filters", &T::GetFilters, &T::SetFilters);
  p.Property("Grouping", &T::GetGrouping, &T::SetGrouping).Default(dtgByDateAndTime);
  p.Property("HourFormat", &T::GetHourFormat, &T::SetHourFormat);
  p.Property("IgnoreTimeForFiltering", &T::GetIgnoreTimeForFiltering, &T::SetIgnoreTimeForFiltering).Default(false);
  p.Property("MonthFormat", &T::GetMonthFormat, &T::SetMonthFormat);
  p.Property("UseLongDateFormat", &T::GetUseLongDateFormat, &T::SetUseLongDateFormat).Default(true);
  p.Property("UseShortTimeFormat", &T::GetUseShortTimeFormat, &T::SetUseShortTimeFormat).Default(true);
  p.Property("YearFormat", &T::GetYearFormat, &T::SetYearFormat);
}

ORV_PUBLISH(TcxCustomGridTableViewStyles) {
  using T = TcxCustomGridTableViewStyles;
  p.Property("Content", &T::GetContent, &T::SetContent);
  p.Property("ContentEven", &T::GetContentEven, &T::SetContentEven);
  p.Property("ContentOdd", &T::GetContentOdd, &T::SetContentOdd);
  p.Property("FilterBox", &T::GetFilterBox, &T::SetFilterBox);
  p.Property("Inactive", &T::GetInactive, &T::SetInactive);
  p.Property("IncSearch", &T::GetIncSearch, &T::SetIncSearch);
  p.Property("Selection", &T::GetSelection, &T::SetSelection);
  p.Property("OnGetContentStyle", &T::GetOnGetContentStyle, &T::SetOnGetContentStyle);
}

ORV_PUBLISH(TcxCustomGridTableView) {
  using T = TcxCustomGridTableView;
  p.Property("NavigatorButtons", &T::GetNavigatorButtons, &T::SetNavigatorButtons);
  p.Property("NavigatorButtonsEvents", &T::GetNavigatorButtonsEvents, &T::SetNavigatorButtonsEvents);
  p.Property("OnCanFocusRecord", &T::GetOnCanFocusRecord, &T::SetOnCanFocusRecord);
  p.Property("OnCanSelectRecord", &T::GetOnCanSelectRecord, &T::SetOnCanSelectRecord);
  p.Property("OnFocusedItemChanged", &T::GetOnFocusedItemChanged, &T::SetOnFocusedItemChanged);
  p.Property("OnFocusedRecordChanged", &T::GetOnFocusedRecordChanged, &T::SetOnFocusedRecordChanged);
  p.Property("OnInitStoredObject", &T::GetOnInitStoredObject, &T::SetOnInitStoredObject);
  p.Property("OnSelectionChanged", &T::GetOnSelectionChanged, &T::SetOnSelectionChanged);
  p.Property("OnTopRecordIndexChanged", &T::GetOnTopRecordIndexChanged, &T::SetOnTopRecordIndexChanged);
  p.Property("FilterBox", &T::GetFilterBox, &T::SetFilterBox);
  p.Property("OnCellClick", &T::GetOnCellClick, &T::SetOnCellClick);
  p.Property("OnCellDblClick", &T::GetOnCellDblClick, &T::SetOnCellDblClick);
  p.Property("OnCustomDrawCell", &T::GetOnCustomDrawCell, &T::SetOnCustomDrawCell);
  p.Property("OnCustomDrawPartBackground", &T::GetOnCustomDrawPartBackground, &T::SetOnCustomDrawPartBackground);
  p.Property("OnEditing", &T::GetOnEditing, &T::SetOnEditing);
  p.Property("OnEditChanged", &T::GetOnEditChanged, &T::SetOnEditChanged);
  p.Property("OnEditKeyDown", &T::GetOnEditKeyDown, &T::SetOnEditKeyDown);
  p.Property("OnEditKeyPress", &T::GetOnEditKeyPress, &T::SetOnEditKeyPress);
  p.Property("OnEditKeyUp", &T::GetOnEditKeyUp, &T::SetOnEditKeyUp);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnGetCellHeight", &T::GetOnGetCellHeight, &T::SetOnGetCellHeight);
  p.Property("OnGetDragDropText", &T::GetOnGetDragDropText, &T::SetOnGetDragDropText);
  p.Property("OnInitEdit", &T::GetOnInitEdit, &T::SetOnInitEdit);
  p.Property("OnInitEditValue", &T::GetOnInitEditValue, &T::SetOnInitEditValue);
  p.Property("OnFilterControlDialogShow", &T::GetOnFilterControlDialogShow, &T::SetOnFilterControlDialogShow);
  p.Property("OnFilterCustomization", &T::GetOnFilterCustomization, &T::SetOnFilterCustomization);
  p.Property("OnFilterDialogShow", &T::GetOnFilterDialogShow, &T::SetOnFilterDialogShow);
}
