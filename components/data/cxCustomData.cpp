#include "components/data/cxCustomData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>

#include "components/data/cxDataConsts.h"
#include "components/data/cxFilterConsts.h"
#include "components/foundation/cxClasses.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

namespace {

[[noreturn]] void RaiseControllerError(const TResStringRec& rec) {
  throw EcxInvalidDataControllerOperation(GetLocalizedResourceString(&rec));
}

template <class T>
Integer IndexIn(const std::vector<T>& items, const T& item) {
  const auto it = std::find(items.begin(), items.end(), item);
  return it == items.end() ? -1 : Integer(it - items.begin());
}

Boolean SameTypeClass(TcxValueTypeClass a, TcxValueTypeClass b) { return TClass(a) == TClass(b); }

// The field a value definition (or its internal mirror) belongs to, or nil.
TcxCustomDataField* FieldOfDef(TcxValueDef* def) {
  return def ? dynamic_cast<TcxCustomDataField*>(def->GetLinkedObject()) : nullptr;
}

Boolean IsInternalFieldDef(TcxValueDef* def) {
  TcxCustomDataField* field = FieldOfDef(def);
  return field && field->IsValueDefInternal();
}

// The quicksort shared by the record list and the pointer lists: Hoare partitioning around the
// middle element, the scans bounded by the range and every step shrinking it, recursion into the
// smaller part. With a consistent comparison the bounds never bite and the partitions are those
// of the classic routine, so the order is the same.
struct TNoPrefetch {
  template <class T>
  void operator()(const T&) const {}
};

template <class T, class Compare, class Prefetch = TNoPrefetch>
void QuickSortRange(T* items, Integer first, Integer last, Compare& compare, const Prefetch& prefetch = Prefetch()) {
  // How far ahead of each scan the data the comparison reads is asked for.
  constexpr Integer kAhead = 12;
  Integer l = first, r = last;
  while (l < r) {
    Integer i = l, j = r;
    const T pivot = items[(static_cast<std::uint32_t>(l) + static_cast<std::uint32_t>(r)) >> 1];
    do {
      while (i <= r) {
        if (i + kAhead <= r) prefetch(items[i + kAhead]);
        if (compare(items[i], pivot) >= 0) break;
        ++i;
      }
      while (j >= l) {
        if (j - kAhead >= l) prefetch(items[j - kAhead]);
        if (compare(items[j], pivot) <= 0) break;
        --j;
      }
      if (i <= j) {
        std::swap(items[i], items[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    // Only a comparison that contradicts itself leaves a part as large as the range.
    if (j >= r) j = r - 1;
    if (i <= l) i = l + 1;
    if (j - l < r - i) {
      if (l < j) QuickSortRange(items, l, j, compare, prefetch);
      l = i;
    } else {
      if (i < r) QuickSortRange(items, i, r, compare, prefetch);
      r = j;
    }
  }
}

}  // namespace

// ==== Quicksort ==============================================================================

void QuickSortList(Pointer* items, Integer first, Integer last, TcxListCompareFunc compare, void* context) {
  auto cmp = [compare, context](Pointer a, Pointer b) { return compare(context, a, b); };
  QuickSortRange(items, first, last, cmp);
}

void QuickSortList(TList* list, Integer first, Integer last, TcxListCompareFunc compare, void* context) {
  if (first >= last) return;
  // Both ends are checked (EListError); the items are reordered in place, without notices.
  list->Get(first);
  list->Get(last);
  QuickSortList(const_cast<Pointer*>(list->List()), first, last, compare, context);
}

// ==== Update notices =========================================================================

TcxSelectionChangedInfo::TcxSelectionChangedInfo(Integer rowIndex1, Integer rowIndex2) {
  if (rowIndex1 != -1) FRowIndexes.push_back(rowIndex1);
  if (rowIndex2 != -1 && rowIndex2 != rowIndex1) FRowIndexes.push_back(rowIndex2);
}

// ==== Focusing info ==========================================================================

TcxDataFocusingInfo::TcxDataFocusingInfo(TcxCustomDataControllerInfo* dataControllerInfo)
    : FDataControllerInfo(dataControllerInfo) {}

void TcxDataFocusingInfo::Assign(TcxDataFocusingInfo* source) {
  FLevel = source->FLevel;
  FPrevRecordIndex = source->FPrevRecordIndex;
  FRecordIndex = source->FRecordIndex;
  FRowIndex = source->FRowIndex;
  FChanged = false;
  FPrevNewItemRowFocused = false;
}

void TcxDataFocusingInfo::Clear() {
  FLevel = -1;
  FRecordIndex = -1;
  FRowIndex = -1;
}

Boolean TcxDataFocusingInfo::IsEqual(TcxDataFocusingInfo* other) const {
  if (FRecordIndex != other->FRecordIndex || FLevel != other->FLevel) return false;
  if (FDataControllerInfo->GetChanges() & TcxCustomDataControllerInfo::ricSorting) return FRowIndex == other->FRowIndex;
  return true;
}

void TcxDataFocusingInfo::SetToCurrentRecord() {
  FLevel = -1;
  FRecordIndex = FDataControllerInfo->GetDataController()->GetCurrentRecordIndex();
}

void TcxDataFocusingInfo::UpdateFromRow() {
  if (FRowIndex == -1) {
    FLevel = -1;
    FRecordIndex = -1;
  } else {
    FLevel = FDataControllerInfo->GetRowInfo(FRowIndex).Level;
    FRecordIndex = FDataControllerInfo->GetDataController()->GetCurrentRecordIndex();
  }
  FPrevRecordIndex = FRecordIndex;
}

// ==== Expanding infos ========================================================================

void TcxDataExpandingInfos::AddField(TcxCustomDataField* field) {
  if (IndexOfField(field) != -1) RaiseControllerError(cxSDataItemExistError);
  FFields.push_back(field);
  FItems.clear();
}

void TcxDataExpandingInfos::AddItem(Integer level, const Variant& value, Integer state) {
  FItems.push_back({level, value, state});
}

void TcxDataExpandingInfos::CheckField(TcxCustomDataField* field) {
  if (IndexOfField(field) != -1) Clear();
}

void TcxDataExpandingInfos::Clear() {
  FFields.clear();
  FItems.clear();
  FSaveStates = 0;
}

Integer TcxDataExpandingInfos::IndexOfField(TcxCustomDataField* field) const { return IndexIn(FFields, field); }

// ==== Selection ==============================================================================

TcxDataSelection::TcxDataSelection(TcxCustomDataController* dataController) : FDataController(dataController) {}

void TcxDataSelection::AddItem(Integer position, Integer rowIndex, Integer recordIndex, Integer level) {
  const TcxDataSelectionItem item{level, recordIndex, rowIndex};
  if (position < 0 || position >= Count())
    FItems.push_back(item);
  else
    FItems.insert(FItems.begin() + position, item);
}

void TcxDataSelection::ClearItems() { FItems.clear(); }

void TcxDataSelection::DeleteItem(Integer index) {
  if (GetItem(index).RowIndex == FAnchorRowIndex) ClearAnchor();
  FItems.erase(FItems.begin() + index);
}

void TcxDataSelection::SetItemCount(Integer count) {
  count = std::max<Integer>(count, 0);
  while (Count() > count) DeleteItem(Count() - 1);
  while (Count() < count) AddItem(-1, Count(), Count(), 0);
}

void TcxDataSelection::AddAndNotify(Integer position, Integer rowIndex, Integer recordIndex, Integer level) {
  AddItem(position, rowIndex, recordIndex, level);
  Changed();
}

Boolean TcxDataSelection::FindByRowIndex(Integer rowIndex, Integer& index) const {
  Integer low = 0, high = Count() - 1;
  while (low <= high) {
    const Integer middle = low + (high - low) / 2;
    const Integer row = FItems[std::size_t(middle)].RowIndex;
    if (row == rowIndex) {
      index = middle;
      return true;
    }
    if (row < rowIndex)
      low = middle + 1;
    else
      high = middle - 1;
  }
  index = low;
  return false;
}

void TcxDataSelection::ClearAndNotify() {
  ClearItems();
  Changed();
}

void TcxDataSelection::ClearWithAnchor() {
  ClearAnchor();
  ClearItems();
  Changed();
}

void TcxDataSelection::Delete(Integer index) {
  DeleteItem(index);
  Changed();
}

Integer TcxDataSelection::IndexOfGroup(Integer dataGroupIndex) const {
  for (Integer i = 0; i < Count(); ++i)
    if (FItems[std::size_t(i)].Level == -1 && FItems[std::size_t(i)].RecordIndex == dataGroupIndex) return i;
  return -1;
}

Integer TcxDataSelection::IndexOfRecord(Integer recordIndex) const {
  for (Integer i = 0; i < Count(); ++i)
    if (FItems[std::size_t(i)].Level != -1 && FItems[std::size_t(i)].RecordIndex == recordIndex) return i;
  return -1;
}

Boolean TcxDataSelection::IsRowSelected(Integer rowIndex) const {
  Integer index;
  return FindByRowIndex(rowIndex, index);
}

void TcxDataSelection::SortByRowIndex() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const TcxDataSelectionItem& a, const TcxDataSelectionItem& b) { return a.RowIndex < b.RowIndex; });
}

void TcxDataSelection::RemoveFilteredOut() {
  Boolean removed = false;
  for (Integer i = Count() - 1; i >= 0; --i) {
    const TcxDataSelectionItem& item = FItems[std::size_t(i)];
    if (item.Level != -1 && FDataController->GetFilteredIndexOfRecord(item.RecordIndex) == -1) {
      DeleteItem(i);
      removed = true;
    }
  }
  if (removed) Changed();
}

void TcxDataSelection::Changed() {
  if (FOnChanged) FOnChanged(this);
}

// ==== Sorting field lists ====================================================================

void TcxSortingFieldList::SetFieldSortOrder(TcxCustomDataField* field, TcxDataSortOrder sortOrder) {
  const Integer index = IndexOf(field);
  if (index != -1) {
    if (sortOrder == soNone)
      DeleteAt(index);
    else
      SetSortOrder(index, sortOrder);
  } else if (sortOrder != soNone) {
    Append(field, sortOrder);
  }
}

void TcxSortingFieldList::Append(TcxCustomDataField* field, TcxDataSortOrder sortOrder) {
  FItems.push_back({field, sortOrder});
  Changed();
}

void TcxSortingFieldList::Insert(Integer index, TcxCustomDataField* field, TcxDataSortOrder sortOrder) {
  index = std::clamp<Integer>(index, 0, Count());
  FItems.insert(FItems.begin() + index, {field, sortOrder});
  Changed();
}

void TcxSortingFieldList::DeleteAt(Integer index) {
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TcxSortingFieldList::Remove(TcxCustomDataField* field) {
  const Integer index = IndexOf(field);
  if (index != -1) DeleteAt(index);
}

void TcxSortingFieldList::Move(Integer fromIndex, Integer toIndex) {
  if (fromIndex == toIndex) return;
  const TcxDataSortInfo item = FItems.at(std::size_t(fromIndex));
  FItems.erase(FItems.begin() + fromIndex);
  FItems.insert(FItems.begin() + std::clamp<Integer>(toIndex, 0, Count()), item);
  Changed();
}

void TcxSortingFieldList::RemoveAll() {
  while (Count() > 0) DeleteAt(0);
}

Integer TcxSortingFieldList::IndexOf(TcxCustomDataField* field) const {
  for (Integer i = 0; i < Count(); ++i)
    if (FItems[std::size_t(i)].Field == field) return i;
  return -1;
}

TcxDataSortOrder TcxSortingFieldList::GetSortOrder(TcxCustomDataField* field) const {
  const Integer index = IndexOf(field);
  return index == -1 ? soNone : FItems[std::size_t(index)].SortOrder;
}

void TcxSortingFieldList::SetSortOrder(Integer index, TcxDataSortOrder sortOrder) {
  TcxDataSortInfo& item = FItems.at(std::size_t(index));
  if (item.SortOrder == sortOrder) return;
  item.SortOrder = sortOrder;
  Changed();
}

void TcxSortingFieldList::ChangeIndex(TcxCustomDataField* field, Integer index) {
  if (index < 0) {
    Remove(field);
    return;
  }
  const Integer current = IndexOf(field);
  if (current == -1)
    Insert(std::min(index, Count()), field, soAscending);
  else
    Move(current, std::min(index, Count() - 1));
}

void TcxSortingFieldList::NotifyIfContains(TcxCustomDataField* field) {
  if (IndexOf(field) != -1) Changed();
}

void TcxSortingFieldList::Merge(TcxSortingFieldList* other) {
  for (Integer i = 0; i < other->Count(); ++i) {
    const TcxDataSortInfo& item = other->GetItem(i);
    if (IndexOf(item.Field) == -1) Append(item.Field, item.SortOrder);
  }
}

void TcxSortingFieldList::Changed() {
  if (FOnChanged) FOnChanged(this);
}

void TcxGroupingFieldList::SetFieldSortOrder(TcxCustomDataField* field, TcxDataSortOrder sortOrder) {
  inherited::SetFieldSortOrder(field, sortOrder == soNone ? soAscending : sortOrder);
}

void TcxGroupingFieldList::UpdateSorting(TcxSortingFieldList* sortingList) {
  for (Integer i = 0; i < Count(); ++i) {
    const TcxDataSortOrder order = sortingList->GetSortOrder(GetItem(i).Field);
    SetSortOrder(i, order == soNone ? soAscending : order);
  }
}

// ==== Fields =================================================================================

TcxCustomDataField::TcxCustomDataField(TcxCustomDataFieldList* fieldList) : FFieldList(fieldList) {}

void TcxCustomDataField::TakeOverValueDef(TcxCustomDataField* source) {
  FValueDef = source->FValueDef;
  if (FValueDef) FValueDef->SetLinkedObject(this);
  FValueTypeClass = source->FValueTypeClass;
  FTextStored = source->FTextStored;
  source->FValueDef = nullptr;
  source->FValueTypeClass = nullptr;
  FReferenceField = nullptr;
}

Boolean TcxCustomDataField::CanModify(Integer editValueSource) {
  return GetValueDef() != nullptr || OwnerController()->IsProviderMode();
}

TcxValueDef* TcxCustomDataField::GetValueDef() const { return FReferenceField ? FReferenceField->GetValueDef() : FValueDef; }

TcxValueTypeClass TcxCustomDataField::GetValueTypeClass() const {
  return FReferenceField ? FReferenceField->GetValueTypeClass() : FValueTypeClass;
}

Boolean TcxCustomDataField::GetTextStored() const { return FReferenceField ? FReferenceField->GetTextStored() : FTextStored; }

void TcxCustomDataField::ChangeValueType(TcxValueTypeClass valueTypeClass) {
  if (FReferenceField || SameTypeClass(FValueTypeClass, valueTypeClass)) return;
  BeginRecreate();
  FValueTypeClass = valueTypeClass;
  EndRecreate();
}

void TcxCustomDataField::ChangeTextStored(Boolean value) {
  if (FReferenceField || FTextStored == value) return;
  BeginRecreate();
  FTextStored = value;
  EndRecreate();
}

void TcxCustomDataField::ChangeInternal(Boolean value) {
  FIsInternal = value;
  FFieldList->RecountInternal();
}

void TcxCustomDataField::ShareStorageWith(TcxCustomDataField* value) {
  if (value == FReferenceField) return;
  TcxCustomDataField* last = value;
  while (last && last->FReferenceField) last = last->FReferenceField;
  if (last == this) return;
  if (!FReferenceField) {
    FreeValueDef();
    FValueTypeClass = nullptr;
  }
  FReferenceField = last;
  if (!last) EndRecreate();  // a lone field gets its own storage again when it has a type
}

void TcxCustomDataField::MoveTo(Integer index) { FFieldList->Move(GetIndex(), index); }

Integer TcxCustomDataField::GetIndex() const { return FFieldList->IndexOf(const_cast<TcxCustomDataField*>(this)); }

TcxCustomDataController* TcxCustomDataField::OwnerController() const { return FFieldList->GetDataController(); }

void TcxCustomDataField::BeginRecreate() {
  if (FRecreateLockCount++ == 0 && !FReferenceField) FreeValueDef();
}

void TcxCustomDataField::EndRecreate() {
  if (FRecreateLockCount > 0) --FRecreateLockCount;
  if (FRecreateLockCount != 0 || FReferenceField || FValueDef || !TClass(FValueTypeClass)) return;
  TcxDataStorage* storage = OwnerController()->GetDataStorage();
  FValueDef = storage->GetValueDefs()->AddValueDef(FValueTypeClass, FIsInternal, FTextStored, this);
}

void TcxCustomDataField::FreeValueDef() {
  if (!FValueDef) return;
  TcxValueDef* def = FValueDef;
  FValueDef = nullptr;
  def->Free();
}

void TcxCustomDataField::BeforeDestruction() {
  FFieldList->Remove(this);
  FreeValueDef();
  inherited::BeforeDestruction();
}

TcxCustomDataFieldList::TcxCustomDataFieldList(TcxCustomDataController* dataController)
    : FDataController(dataController) {}

void TcxCustomDataFieldList::ComponentRemoved(TComponent* component) {
  for (std::size_t i = 0; i < FItems.size(); ++i) FItems[i]->ComponentRemoved(component);
}

void TcxCustomDataFieldList::Add(TcxCustomDataField* field) {
  if (field->GetIsInternal())
    FItems.push_back(field);
  else
    FItems.insert(FItems.begin() + GetItemCount(), field);
  RecountInternal();
}

void TcxCustomDataFieldList::Remove(TcxCustomDataField* field) {
  const Integer index = IndexOf(field);
  if (index == -1) return;
  FFieldDestroyed = true;
  TcxCustomDataField* heir = nullptr;
  for (TcxCustomDataField* other : FItems) {
    if (other->FReferenceField != field) continue;
    if (!heir) {
      heir = other;
      heir->TakeOverValueDef(field);
    } else {
      other->FReferenceField = heir;
    }
  }
  FItems.erase(FItems.begin() + index);
  FDataController->FieldRemoved(field);
  RecountInternal();
}

void TcxCustomDataFieldList::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

TcxCustomDataField* TcxCustomDataFieldList::FindByItem(TObject* item) const {
  if (!item) return nullptr;
  for (TcxCustomDataField* field : FItems)
    if (field->GetItem() == item) return field;
  return nullptr;
}

Integer TcxCustomDataFieldList::IndexOf(TcxCustomDataField* field) const { return IndexIn(FItems, field); }

void TcxCustomDataFieldList::Move(Integer fromIndex, Integer toIndex) {
  if (fromIndex == toIndex || fromIndex < 0 || fromIndex >= Count()) return;
  TcxCustomDataField* field = FItems[std::size_t(fromIndex)];
  FItems.erase(FItems.begin() + fromIndex);
  FItems.insert(FItems.begin() + std::clamp<Integer>(toIndex, 0, Count()), field);
}

void TcxCustomDataFieldList::RecountInternal() {
  FInternalCount = Integer(std::count_if(FItems.begin(), FItems.end(), [](TcxCustomDataField* f) { return f->GetIsInternal(); }));
}

void TcxCustomDataFieldList::BeforeDestruction() {
  Clear();
  inherited::BeforeDestruction();
}

// ==== Custom data source =====================================================================

AnsiString TcxCustomDataSource::GetDisplayText(Pointer recordHandle, Pointer itemHandle) {
  try {
    return VarToStr(GetValue(recordHandle, itemHandle));
  } catch (const EVariantError&) {
    return AnsiString();
  }
}

Boolean TcxCustomDataSource::GetInfoForCompare(Pointer recordHandle, Pointer itemHandle, Variant& value) {
  RaiseControllerError(cxSDataCustomDataSourceInvalidCompare);
}

TcxCustomDataController* TcxCustomDataSource::GetDataController() const {
  TcxCustomDataProvider* provider = GetProvider();
  return provider ? provider->GetDataController() : nullptr;
}

Pointer TcxCustomDataSource::GetRecordHandle(Integer recordIndex) {
  TcxCustomDataController* controller = GetDataController();
  TcxCustomDataField* field = controller ? controller->GetRecordHandlesField() : nullptr;
  if (!field || !field->GetValueDef()) return nullptr;
  const Variant value = controller->GetDataStorage()->FetchValue(recordIndex, field->GetValueDef());
  return value.IsNull() ? nullptr : reinterpret_cast<Pointer>(static_cast<NativeInt>(value.AsInt64()));
}

Integer TcxCustomDataSource::GetRecordIndexByHandle(Pointer recordHandle) {
  TcxCustomDataController* controller = GetDataController();
  if (!controller) return -1;
  const Integer count = controller->GetDataStorage()->GetStoredRecordCount();
  for (Integer i = 0; i < count; ++i)
    if (GetRecordHandle(i) == recordHandle) return i;
  return -1;
}

Integer TcxCustomDataSource::AppendRecordHandle(Pointer recordHandle) {
  TcxCustomDataProvider* provider = GetProvider();
  return provider ? provider->AppendRecordHandle(recordHandle) : -1;
}

void TcxCustomDataSource::DataChanged() {
  const std::vector<TcxCustomDataProvider*> providers = FProviders;
  for (TcxCustomDataProvider* provider : providers) {
    FCurrentProvider = provider;
    provider->DataChanged(dcTotal, -1, -1);
  }
  FCurrentProvider = nullptr;
}

void TcxCustomDataSource::BeforeDestruction() {
  while (!FProviders.empty()) FProviders.back()->SetCustomDataSource(nullptr);
  inherited::BeforeDestruction();
}

// ==== Provider ===============================================================================

TcxCustomDataProvider::TcxCustomDataProvider(TcxCustomDataController* dataController)
    : FDataController(dataController) {}

Boolean TcxCustomDataProvider::EnterSource() const {
  if (!FCustomDataSource) return false;
  FCustomDataSource->FCurrentProvider = const_cast<TcxCustomDataProvider*>(this);
  return true;
}

Pointer TcxCustomDataProvider::ItemHandle(TcxCustomDataField* field) const {
  return FCustomDataSource->GetItemHandle(field->GetIndex());
}

void TcxCustomDataProvider::CustomSort() {
  if (EnterSource()) FCustomDataSource->CustomSort();
}

Boolean TcxCustomDataProvider::IsCustomSorting() { return EnterSource() && FCustomDataSource->IsCustomSorting(); }

Boolean TcxCustomDataProvider::IsRecordIdSupported() { return EnterSource() && FCustomDataSource->IsRecordIdSupported(); }

Boolean TcxCustomDataProvider::CanDelete() { return FDataController->GetFilteredRecordCount() > 0; }

void TcxCustomDataProvider::ResetEditing() {
  const Integer newItemRecord = FDataController->FNewItemRecordIndex;
  if (FEditingRecordIndex == newItemRecord && newItemRecord < 0 && FDataController->FDataStorage) {
    FDataController->FDataStorage->RemoveRecord(newItemRecord);
    FDataController->FNewItemRecordIndex = 0;
  }
  FEditingRecordIndex = cxNullEditingRecordIndex;
  FEditingRecordIndex1 = cxNullEditingRecordIndex;
  FEditingRecordIndex2 = cxNullEditingRecordIndex;
  FInserting = false;
  ResetChanging();
  ResetModified();
  FreeSavedRecord();
}

Integer TcxCustomDataProvider::AppendRecord() {
  if (!EnterSource()) return -1;
  Pointer handle = FCustomDataSource->AppendRecord();
  const Integer index = FCustomDataSource->GetRecordIndexByHandle(handle);
  return index != -1 ? index : AppendRecordHandle(handle);
}

void TcxCustomDataProvider::DeleteRecord(Integer recordIndex) {
  if (EnterSource()) FCustomDataSource->DeleteRecord(FCustomDataSource->GetRecordHandle(recordIndex));
}

Boolean TcxCustomDataProvider::GetDetailHasChildren(Integer recordIndex, Integer relationIndex) {
  return EnterSource() && FCustomDataSource->GetDetailHasChildren(recordIndex, relationIndex);
}

AnsiString TcxCustomDataProvider::GetDisplayText(Integer recordIndex, TcxCustomDataField* field) {
  if (!EnterSource()) return AnsiString();
  return FCustomDataSource->GetDisplayText(FCustomDataSource->GetRecordHandle(recordIndex), ItemHandle(field));
}

Variant TcxCustomDataProvider::GetRecordId(Integer recordIndex) {
  if (!EnterSource()) return Null();
  return FCustomDataSource->GetRecordId(FCustomDataSource->GetRecordHandle(recordIndex));
}

Variant TcxCustomDataProvider::GetValue(Integer recordIndex, TcxCustomDataField* field) {
  if (!EnterSource()) return Null();
  return FCustomDataSource->GetValue(FCustomDataSource->GetRecordHandle(recordIndex), ItemHandle(field));
}

TcxValueDefReader* TcxCustomDataProvider::CreateValueDefReader() { return new TcxValueDefReader; }

Integer TcxCustomDataProvider::InsertRecord(Integer recordIndex) {
  if (!EnterSource()) return -1;
  Pointer handle = FCustomDataSource->IsInsertSupported()
                       ? FCustomDataSource->InsertRecord(FCustomDataSource->GetRecordHandle(recordIndex))
                       : FCustomDataSource->AppendRecord();
  const Integer index = FCustomDataSource->GetRecordIndexByHandle(handle);
  return index != -1 ? index : AppendRecordHandle(handle);
}

Integer TcxCustomDataProvider::CompareRecords(Integer recordIndex1, Integer recordIndex2, TcxCustomDataField* field) {
  TcxDataStorage* storage = FDataController->GetDataStorage();
  TcxValueDef* def = field->GetValueDef();
  if (recordIndex1 < 0 && recordIndex2 < 0) return def ? storage->CompareRecordValues(recordIndex1, recordIndex2, def) : 0;
  auto valueOf = [&](Integer recordIndex, Variant& value) -> Boolean {
    if (recordIndex < 0) {
      value = def ? storage->FetchValue(recordIndex, def) : Null();
      return !value.IsNull();
    }
    if (!EnterSource()) return false;
    return FCustomDataSource->GetInfoForCompare(FCustomDataSource->GetRecordHandle(recordIndex), ItemHandle(field), value);
  };
  Variant v1, v2;
  const Boolean present1 = valueOf(recordIndex1, v1), present2 = valueOf(recordIndex2, v2);
  if (!present1 || !present2) return present1 == present2 ? 0 : present1 ? 1 : -1;
  return CompareVariants(v1, v2);
}

Integer TcxCustomDataProvider::NativeCompare(Integer recordIndex1, Integer recordIndex2, TcxCustomDataField* field) {
  if (!EnterSource()) return 0;
  return FCustomDataSource->NativeCompareFunc(FCustomDataSource->GetRecordHandle(recordIndex1),
                                              FCustomDataSource->GetRecordHandle(recordIndex2), ItemHandle(field));
}

void TcxCustomDataProvider::SetRecordCount(Integer count) {
  if (EnterSource()) FCustomDataSource->SetRecordCount(count);
}

void TcxCustomDataProvider::SetValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value) {
  if (EnterSource()) FCustomDataSource->SetValue(FCustomDataSource->GetRecordHandle(recordIndex), ItemHandle(field), value);
}

void TcxCustomDataProvider::ActiveChanged(Boolean active) {
  FDataController->ActiveChanged(active);
  ResetEditing();
}

void TcxCustomDataProvider::DataChanged(TcxDataChange kind, Integer itemIndex, Integer recordIndex) {
  if (FLockCount == 0) FDataController->DataChanged(kind, itemIndex, recordIndex);
  if (FDataChangedLocked)
    ResetChanging();
  else
    ResetEditing();
}

void TcxCustomDataProvider::DataScrolled(Integer distance) {
  FDataController->DataScrolled(distance);
  ResetChanging();
}

void TcxCustomDataProvider::LayoutChanged(Integer kind) { FDataController->LayoutChanged(kind); }

void TcxCustomDataProvider::DetachFromSource() {
  if (!FCustomDataSource) return;
    auto& providers = FCustomDataSource->FProviders;
    providers.erase(std::remove(providers.begin(), providers.end(), this), providers.end());
    if (FCustomDataSource->FProvider == this) FCustomDataSource->FProvider = providers.empty() ? nullptr : providers.front();
    if (FCustomDataSource->FCurrentProvider == this) FCustomDataSource->FCurrentProvider = nullptr;
}

void TcxCustomDataProvider::SetCustomDataSource(TcxCustomDataSource* value) {
  if (!IsCustomDataSourceSupported() || value == FCustomDataSource) return;
  DetachFromSource();
  FCustomDataSource = value;
  if (value) {
    value->FProviders.push_back(this);
    if (!value->FProvider) value->FProvider = this;
  }
  if (FDataController->IsDestroying()) return;
  FDataController->FInSetDataSource = true;
  try {
    FDataController->RebuildStructure();
  } catch (...) {
    FDataController->FInSetDataSource = false;
    throw;
  }
  FDataController->FInSetDataSource = false;
}

Integer TcxCustomDataProvider::AppendRecordHandle(Pointer recordHandle) {
  TcxCustomDataField* field = FDataController->GetRecordHandlesField();
  if (!FCustomDataSource || !field || !field->GetValueDef()) return -1;
  TcxDataStorage* storage = FDataController->GetDataStorage();
  const Integer index = storage->AddRecord();
  storage->StoreValue(index, field->GetValueDef(), Variant(static_cast<Int64>(reinterpret_cast<NativeInt>(recordHandle))));
  return index;
}

void TcxCustomDataProvider::LoadRecordHandles() {
  if (EnterSource()) FCustomDataSource->LoadRecordHandles();
}

void TcxCustomDataProvider::CopyToSavedRecord(Integer recordIndex) {
  if (FSavedRecordIndex == 0) FSavedRecordIndex = FDataController->GetDataStorage()->AppendInternalRecord();
  FDataController->CopyRecordValues(recordIndex, FSavedRecordIndex);
}

void TcxCustomDataProvider::FreeSavedRecord() {
  if (FSavedRecordIndex == 0) return;
  const Integer index = FSavedRecordIndex;
  FSavedRecordIndex = 0;
  if (FDataController->FDataStorage) FDataController->FDataStorage->RemoveRecord(index);
}

// ---- Editing ----

namespace {

// Releases a lock pair on every way out of a scope.
// An unlock that fails while another failure is already on its way is dropped, so that the first
// one reaches the caller.
template <class Unlock>
struct ScopeExit {
  Unlock Fn;
  int Pending = std::uncaught_exceptions();
  ~ScopeExit() noexcept(false) {
    if (std::uncaught_exceptions() == Pending) {
      Fn();
      return;
    }
    try {
      Fn();
    } catch (...) {
    }
  }
};
template <class Unlock>
ScopeExit(Unlock) -> ScopeExit<Unlock>;

// The grouping values of a record, one per grouping level (none without a record).
std::vector<Variant> GroupingValuesOf(TcxCustomDataController* controller, Integer recordIndex) {
  std::vector<Variant> values;
  TcxGroupingFieldList* grouping = controller->GetDataControllerInfo()->GetGroupingFieldList();
  if (recordIndex < 0 || recordIndex >= controller->GetRecordCount()) return values;
  for (Integer i = 0; i < grouping->Count(); ++i)
    values.push_back(controller->GetGroupingValue(recordIndex, grouping->GetItem(i).Field));
  return values;
}

}  // namespace

Boolean TcxCustomDataProvider::CanInitEditing(Integer recordIndex) {
  FDataController->CheckRecordRange(recordIndex);
  if (!IsEditing()) SetEditing();
  SetChanging();
  return true;
}

void TcxCustomDataProvider::UpdateData() {
  if (FInUpdateData) return;
  FInUpdateData = true;
  ScopeExit reset{[this] { FInUpdateData = false; }};
  if (IsChanging()) FDataController->UpdateEditorValue();
}

void TcxCustomDataProvider::PostEditingData() {
  UpdateData();
  ResetChanging();
}

void TcxCustomDataProvider::GetEditValue(Integer recordIndex, TcxCustomDataField* field, TcxDataEditValueSource kind,
                                         Variant& value) {
  if (recordIndex == cxNullEditingRecordIndex) {
    value = Null();
    RaiseControllerError(cxSDataRecordIndexError);
  }
  value = FDataController->GetFieldValue(recordIndex, field);
}

Boolean TcxCustomDataProvider::SetEditValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value,
                                            TcxDataEditValueSource kind) {
  const Boolean emptyText = kind == evsText && (value.IsNull() || value.AsString().empty());
  FDataController->SetValue(recordIndex, field->GetIndex(), emptyText ? Null() : value);
  SetModified();
  return true;
}

void TcxCustomDataProvider::AssignItemValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value) {
  FDataController->SetValue(recordIndex, field->GetIndex(), value);
}

void TcxCustomDataProvider::AssignItemValues(Integer recordIndex, const std::vector<Variant>& groupingValues) {
  TcxGroupingFieldList* grouping = FDataController->GetDataControllerInfo()->GetGroupingFieldList();
  if (grouping->Count() > 0 && FDataController->GetOptions().Contains(dcoAssignGroupingValues))
    for (Integer i = 0; i < grouping->Count() && std::size_t(i) < groupingValues.size(); ++i)
      AssignItemValue(recordIndex, grouping->GetItem(i).Field, groupingValues[std::size_t(i)]);
  FDataController->DoNewRecord(recordIndex);
}

void TcxCustomDataProvider::StartEditing() {
  TcxCustomDataController* controller = FDataController;
  if (controller->IsNewItemRowEditing() && !IsInserting()) {
    Insert();
    return;
  }
  FEditingRecordIndex = controller->GetRecordIndexForEditing();
  if (FEditingRecordIndex >= 0) {
    FEditingRecordIndex1 = cxNullEditingRecordIndex;
    FEditingRecordIndex2 = cxNullEditingRecordIndex;
    const Integer row = controller->GetFocusedRowIndex();
    if (row >= 0 && row < controller->GetRowCount()) {
      if (row < controller->GetRowCount() - 1)
        FEditingRecordIndex2 = controller->GetRowInfo(row + 1).RecordIndex;
      else
        FEditingRecordIndex1 = controller->GetRowInfo(row > 0 ? row - 1 : row).RecordIndex;
    }
  }
  if (FEditingRecordIndex != cxNullEditingRecordIndex && !IsInserting() &&
      (!HasOpenDataSet() || controller->IsSmartRefresh()))
    CopyToSavedRecord(FEditingRecordIndex);
  controller->Change(TcxCustomDataController::dccUpdateRecord);
}

void TcxCustomDataProvider::StartInserting(Boolean append) {
  TcxCustomDataController* controller = FDataController;
  const Boolean openDataSet = HasOpenDataSet();
  if (!openDataSet && IsInserting() && !IsChanging() && !IsModified()) return;
  if (!openDataSet && IsEditing() && (IsChanging() || IsModified())) {
    if (IsChanging()) PostEditingData();
    Post(false);
  }
  controller->DoBeforeInsert();
  std::vector<Variant> groupingValues;
  {
    controller->LockUpdate();
    ScopeExit unlock{[controller] { controller->UnlockUpdate(); }};
    if (controller->IsNewItemRowEditing()) {
      Integer source = controller->GetFocusedRecordIndex();
      if (source == -1 && controller->GetRowCount() > 0) source = controller->GetRowInfo(0).RecordIndex;
      FEditingRecordIndex = controller->GetNewItemRecordIndex();
      controller->FNewItemRowFocused = true;
      groupingValues = GroupingValuesOf(controller, source);
    } else {
      if (!append) controller->ClearSelection();
      if (IsGridMode()) {
        FEditingRecordIndex = controller->GetEffectiveFocusedRecordIndex();
        groupingValues = GroupingValuesOf(controller, FEditingRecordIndex);
      } else if (append) {
        const Integer rowCount = controller->GetRowCount();
        const Integer last = rowCount > 0 ? controller->GetRowInfo(rowCount - 1).RecordIndex : -1;
        groupingValues = GroupingValuesOf(controller, last);
        FEditingRecordIndex = controller->AppendRecord();
        FEditingRecordIndex1 = last != -1 ? last : cxNullEditingRecordIndex;
      } else {
        const Integer focused = controller->GetFocusedRecordIndex();
        const Integer position = focused != -1 ? focused : 0;
        groupingValues = GroupingValuesOf(controller, focused);
        Integer inserted;
        if (controller->IsProviderMode()) {
          if (position < 0 || position > controller->GetRecordCount()) RaiseControllerError(cxSDataRecordIndexError);
          inserted = InsertRecord(position);
        } else {
          controller->InsertRecord(position);
          inserted = position;
        }
        FEditingRecordIndex = inserted;
        FEditingRecordIndex2 =
            inserted <= position && position < controller->GetRecordCount() - 1 ? position + 1 : position;
      }
    }
    AssignItemValues(FEditingRecordIndex, groupingValues);
    ResetChanging();
    FInserting = true;
  }
  controller->ChangeFocusedRecordIndex(FEditingRecordIndex);
  controller->DoAfterInsert();
}

void TcxCustomDataProvider::Post(Boolean force) {
  TcxCustomDataController* controller = FDataController;
  controller->BeginUpdate();
  ScopeExit unlock{[controller] { controller->EndUpdate(); }};
  UpdateData();
  Integer target = -1;
  Boolean posted = false;
  if (!IsInserting() || IsModified() || force) {
    controller->DoBeforePost();
    target = FEditingRecordIndex;
    if (IsInserting() && FEditingRecordIndex != cxNullEditingRecordIndex && FEditingRecordIndex < 0 &&
        FEditingRecordIndex == controller->FNewItemRecordIndex) {
      // A record typed in the new-item row becomes a real record only now.
      const Boolean savedLocked = FDataChangedLocked;
      if (FCustomDataSource) FDataChangedLocked = true;
      try {
        target = controller->AppendRecord();
      } catch (...) {
        FDataChangedLocked = savedLocked;
        throw;
      }
      FDataChangedLocked = savedLocked;
      FInsertedRecordIndex = target;
      controller->CopyRecordValues(FEditingRecordIndex, target);
    }
    ResetEditing();
    posted = true;
  } else {
    Cancel();
  }
  controller->DataChanged(dcRecord, -1, target);
  if (posted) controller->DoAfterPost();
}

void TcxCustomDataProvider::Cancel() {
  TcxCustomDataController* controller = FDataController;
  controller->DoBeforeCancel();
  Integer refocusRecord = -1;
  {
    controller->LockUpdate();
    ScopeExit unlock{[controller] { controller->UnlockUpdate(); }};
    const Integer editing = FEditingRecordIndex;
    if (editing != cxNullEditingRecordIndex &&
        ((editing >= 0 && editing < controller->GetRecordCount()) || editing == controller->FNewItemRecordIndex)) {
      if (IsInserting()) {
        const Integer focused = controller->GetFocusedRecordIndex();
        controller->DeleteRecord(editing);
        if (!controller->FInCancel && focused > 0 && focused >= controller->GetRecordCount()) refocusRecord = focused - 1;
      } else if (FSavedRecordIndex != 0) {
        controller->CopyRecordValues(FSavedRecordIndex, editing);
      }
    }
    ResetEditing();
  }
  // After the rows were rebuilt, so that the record maps onto its row.
  if (refocusRecord != -1 && refocusRecord < controller->GetRecordCount()) controller->ChangeFocusedRecordIndex(refocusRecord);
  controller->DoAfterCancel();
}

void TcxCustomDataProvider::BeginDeleting() {
  TcxCustomDataController* controller = FDataController;
  if (IsGridMode()) return;
  Integer row = controller->GetFocusedRowIndex();
  if (row < 0 || row >= controller->GetRowCount()) return;
  const Boolean selection = controller->GetMultiSelect() && controller->GetSelectedCount() > 0;
  if (selection && controller->IsRowSelected(row)) {
    // The selected rows go together: the first row after the focused one that stays, else the
    // last one before it.
    const Integer focused = row;
    row = -1;
    for (Integer r = focused + 1; r < controller->GetRowCount() && row == -1; ++r)
      if (!controller->IsRowSelected(r)) row = r;
    for (Integer r = focused - 1; r >= 0 && row == -1; --r)
      if (!controller->IsRowSelected(r)) row = r;
  } else if (!selection) {
    row = controller->FInfo->GetNearestRowIndex(row);
  }
  if (row >= 0 && row < controller->GetRowCount()) controller->FNearestRecordIndex = controller->GetRowInfo(row).RecordIndex;
}

void TcxCustomDataProvider::EndDeleting() { FDataController->FNearestRecordIndex = -1; }

void TcxCustomDataProvider::Delete() {
  TcxCustomDataController* controller = FDataController;
  if (controller->GetFocusedRowIndex() == -1) return;
  const Integer recordIndex = controller->GetFocusedRecordIndex();
  if (recordIndex < 0) return;
  controller->DoBeforeDelete(recordIndex);
  controller->DeleteRecord(recordIndex);
  controller->FocusNearestRecord();
  controller->DoAfterDelete();
}

void TcxCustomDataProvider::DeleteRecords(const std::vector<Integer>& recordIndexes) {
  TcxCustomDataController* controller = FDataController;
  {
    controller->BeginUpdate();
    ScopeExit unlock{[controller] { controller->EndUpdate(); }};
    for (auto it = recordIndexes.rbegin(); it != recordIndexes.rend(); ++it) {
      controller->DoBeforeDelete(*it);
      controller->DeleteRecord(*it);
      controller->DoAfterDelete();
    }
    if (controller->FDeletingSelection) controller->ClearSelection();
  }
  controller->FocusNearestRecord();
}

void TcxCustomDataProvider::DeleteSelection() {
  TcxCustomDataController* controller = FDataController;
  std::vector<Integer> recordIndexes;
  const Integer levelCount = controller->GetDataControllerInfo()->GetDataGroups()->GetLevelCount();
  for (Integer i = 0; i < controller->GetSelectedCount(); ++i) {
    const Integer row = controller->GetSelectedRowIndex(i);
    if (row < 0 || row >= controller->GetRowCount()) continue;
    // A group row contributes every record of its group.
    const TcxRowInfo info = controller->GetRowInfo(row);
    if (info.Level < levelCount)
      controller->GetGroups()->CollectRowRecordIndexes(recordIndexes, row);
    else
      recordIndexes.push_back(info.RecordIndex);
  }
  const Boolean saved = controller->FDeletingSelection;
  controller->FDeletingSelection = true;
  ScopeExit reset{[controller, saved] { controller->FDeletingSelection = saved; }};
  controller->DeleteRecordList(recordIndexes);
}

void TcxCustomDataProvider::BeforeDestruction() {
  FreeSavedRecord();
  DetachFromSource();
  FCustomDataSource = nullptr;
  inherited::BeforeDestruction();
}

// ==== Group rows =============================================================================

void TcxDataGroups::Clear() {
  FLevelFields.clear();
  FItems.clear();
  FDeepest.clear();
}

void TcxDataGroups::AddLevelField(TcxCustomDataField* field) { FLevelFields.push_back(field); }

TcxDataGroupInfo* TcxDataGroups::AddGroup() {
  FItems.emplace_back();
  return &FItems.back();
}

Integer TcxDataGroups::GetLevel(Integer index) const {
  return index >= 0 && index < GetCount() ? FItems[std::size_t(index)].Level : -1;
}

Integer TcxDataGroups::GetRowCount() const {
  if (FItems.empty()) return 0;
  const TcxDataGroupInfo& group = FItems[std::size_t(FindVisibleGroup(GetCount() - 1))];
  if (group.Level == GetLevelCount() - 1 && group.Expanded) return group.RowIndex + (group.Last - group.First + 1) + 1;
  return group.RowIndex + 1;
}

Integer TcxDataGroups::LocateRow(Integer rowIndex, Integer& holder) const {
  // Row numbers never decrease; of the groups sharing one, the first is the visible one (the
  // others are its hidden descendants).
  const auto it = std::lower_bound(FItems.begin(), FItems.end(), rowIndex,
                                   [](const TcxDataGroupInfo& g, Integer row) { return g.RowIndex < row; });
  const Integer index = Integer(it - FItems.begin());
  if (it != FItems.end() && it->RowIndex == rowIndex) {
    holder = index;
    return index;
  }
  holder = index - 1;
  return -1;
}

Integer TcxDataGroups::FindByRowIndex(Integer rowIndex, TcxDataGroupInfo*& group) {
  Integer holder;
  const Integer index = LocateRow(rowIndex, holder);
  group = holder >= 0 ? &FItems[std::size_t(holder)] : nullptr;
  return index;
}

Integer TcxDataGroups::FindRowGroup(Integer rowIndex) const {
  Integer holder;
  LocateRow(rowIndex, holder);
  return holder;
}

Integer TcxDataGroups::FindVisibleGroup(Integer index) const {
  Integer result = index;
  for (Integer a = FItems[std::size_t(index)].Parent; a != -1; a = FItems[std::size_t(a)].Parent)
    if (!FItems[std::size_t(a)].Expanded) result = a;
  return result;
}

TcxRowInfo TcxDataGroups::GetRowInfo(Integer rowIndex) const {
  TcxRowInfo info;
  info.Level = 0;
  info.RecordListIndex = 0;
  Integer holder;
  const Integer index = LocateRow(rowIndex, holder);
  if (holder < 0) return info;
  const TcxDataGroupInfo& group = FItems[std::size_t(holder)];
  if (index != -1) {
    info.Expanded = group.Expanded;
    info.Level = group.Level;
    info.RecordListIndex = GetFirstRecordListIndex(index);
  } else {
    info.Level = GetLevelCount();
    info.RecordListIndex = rowIndex + group.First - group.RowIndex - 1;
  }
  return info;
}

Integer TcxDataGroups::GetIndexByRowIndex(Integer rowIndex, Integer level) const {
  Integer index = FindRowGroup(rowIndex);
  if (index == -1 || level == -1) return index;
  if (FItems[std::size_t(index)].Level < level) {
    for (Integer i = index + 1; i < GetCount(); ++i)
      if (FItems[std::size_t(i)].Level == level) return i;
    return -1;
  }
  while (index != -1 && FItems[std::size_t(index)].Level > level) index = FItems[std::size_t(index)].Parent;
  return index;
}

Integer TcxDataGroups::GetDeepestGroupByRecordListIndex(Integer recordListIndex) const {
  const auto it = std::upper_bound(FDeepest.begin(), FDeepest.end(), recordListIndex,
                                   [this](Integer position, Integer g) { return position < FItems[std::size_t(g)].First; });
  if (it == FDeepest.begin()) return -1;
  const Integer index = *(it - 1);
  return recordListIndex <= FItems[std::size_t(index)].Last ? index : -1;
}

Integer TcxDataGroups::GetGroupIndexByRecordListIndex(Integer recordListIndex, Integer level) const {
  if (level < 0 || level >= GetLevelCount()) return -1;
  Integer index = GetDeepestGroupByRecordListIndex(recordListIndex);
  while (index != -1 && FItems[std::size_t(index)].Level > level) index = FItems[std::size_t(index)].Parent;
  return index;
}

Integer TcxDataGroups::GetFirstRecordListIndex(Integer index) const {
  const Integer deepest = GetLevelCount() - 1;
  while (FItems[std::size_t(index)].Level < deepest) index = FItems[std::size_t(index)].First;
  return FItems[std::size_t(index)].First;
}

Integer TcxDataGroups::GetLastRecordListIndex(Integer index) const {
  const Integer end = GetSubtreeEnd(index);
  return FItems[std::size_t(end)].Last;
}

Integer TcxDataGroups::GetSubtreeEnd(Integer index) const {
  const Integer level = FItems[std::size_t(index)].Level;
  Integer end = index;
  while (end + 1 < GetCount() && FItems[std::size_t(end + 1)].Level > level) ++end;
  return end;
}

Integer TcxDataGroups::GetChildCount(Integer index) const {
  if (index == -1) {
    Integer count = 0;
    for (const TcxDataGroupInfo& group : FItems)
      if (group.Level == 0) ++count;
    return count;
  }
  if (index < 0 || index >= GetCount()) return 0;
  const TcxDataGroupInfo& group = FItems[std::size_t(index)];
  if (group.Level == GetLevelCount() - 1) return group.Last - group.First + 1;
  Integer count = 0;
  for (Integer i = index + 1, end = GetSubtreeEnd(index); i <= end; ++i)
    if (FItems[std::size_t(i)].Level == group.Level + 1) ++count;
  return count;
}

Integer TcxDataGroups::GetChildIndex(Integer index, Integer childIndex) const {
  if (childIndex < 0 || index < -1 || index >= GetCount()) return -1;
  if (index != -1 && FItems[std::size_t(index)].Level == GetLevelCount() - 1) return -1;
  const Integer level = index == -1 ? 0 : FItems[std::size_t(index)].Level + 1;
  const Integer end = index == -1 ? GetCount() - 1 : GetSubtreeEnd(index);
  for (Integer i = index + 1; i <= end; ++i)
    if (FItems[std::size_t(i)].Level == level && childIndex-- == 0) return i;
  return -1;
}

Integer TcxDataGroups::GetChildRecordListIndex(Integer index, Integer childIndex) const {
  if (index < 0 || index >= GetCount() || FItems[std::size_t(index)].Level != GetLevelCount() - 1) return -1;
  const TcxDataGroupInfo& group = FItems[std::size_t(index)];
  const Integer position = group.First + childIndex;
  return childIndex >= 0 && position <= group.Last ? position : -1;
}

Boolean TcxDataGroups::IsVisible(Integer index) const {
  for (Integer a = FItems[std::size_t(index)].Parent; a != -1; a = FItems[std::size_t(a)].Parent)
    if (!FItems[std::size_t(a)].Expanded) return false;
  return true;
}

void TcxDataGroups::ChangeExpanding(Integer rowIndex, Boolean expanded, Boolean recursive) {
  TcxDataGroupInfo* group;
  const Integer index = FindByRowIndex(rowIndex, group);
  if (index == -1) return;
  const Integer end = recursive ? GetSubtreeEnd(index) : index;
  for (Integer i = index; i <= end; ++i) FItems[std::size_t(i)].Expanded = expanded;
  Renumber();
}

void TcxDataGroups::ChangeAllExpanding(Boolean expanded) {
  for (TcxDataGroupInfo& group : FItems) group.Expanded = expanded;
  Renumber();
}

Boolean TcxDataGroups::MakeVisible(Integer index, Boolean expandItself) {
  Boolean changed = false;
  for (Integer a = expandItself ? index : FItems[std::size_t(index)].Parent; a != -1; a = FItems[std::size_t(a)].Parent)
    if (!FItems[std::size_t(a)].Expanded) {
      FItems[std::size_t(a)].Expanded = true;
      changed = true;
    }
  if (changed) Renumber();
  return changed;
}

void TcxDataGroups::Renumber() {
  const Integer deepest = GetLevelCount() - 1;
  // Whether the rows of a group's children are shown: the group is visible and expanded.
  std::vector<char> open(FItems.size(), 0);
  Integer counter = 0;
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    TcxDataGroupInfo& group = FItems[i];
    const Boolean visible = group.Parent == -1 || open[std::size_t(group.Parent)];
    if (visible) {
      group.RowIndex = counter++;
      if (group.Expanded) {
        open[i] = 1;
        if (group.Level == deepest) counter += group.Last - group.First + 1;
      }
    } else {
      group.RowIndex = FItems[std::size_t(group.Parent)].RowIndex;
    }
  }
}

void TcxDataGroups::UpdateIndexes() {
  const Integer deepest = GetLevelCount() - 1;
  std::vector<Integer> open(std::size_t(std::max<Integer>(GetLevelCount(), 0)), -1);
  FDeepest.clear();
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxDataGroupInfo& group = FItems[std::size_t(i)];
    const Integer level = std::clamp<Integer>(group.Level, 0, std::max<Integer>(deepest, 0));
    group.Parent = level > 0 ? open[std::size_t(level - 1)] : -1;
    open[std::size_t(level)] = i;
    if (level == deepest)
      FDeepest.push_back(i);
    else
      group.First = i + 1;
  }
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[std::size_t(i)].Level != deepest) FItems[std::size_t(i)].Last = GetSubtreeEnd(i);
  Renumber();
}

// ==== Row model ==============================================================================

// The sort keys of one field for one sort, made once per record so that the comparisons of the
// sort read compact arrays instead of walking record buffers and building variants. Text keys are
// byte strings whose byte-wise order is the field's string rule (the locale's collation, or the
// upper-cased ordinal order); number keys hold the stored value (doubles for floating types, 64-bit
// integers for the others), compared exactly as the value type compares them. A record without a
// key (no text value, a null number) is compared the ordinary way.
struct TcxCustomDataControllerInfo::TSortKeys {
  enum TKind { skText, skDouble, skInt64 };
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  // One entry per record, value and presence side by side: a comparison touches one cache line
  // per record.
  struct TNumber {
    union {
      double Double;
      Int64 Integer;
    };
    Boolean Present;
  };
  struct TText {
    std::uint32_t Start;   // offset in Data
    std::uint32_t Length;  // kNone: no key
  };
  TKind Kind = skText;
  std::vector<TNumber> Numbers;
  std::vector<TText> Texts;
  std::string Data;

  void Prefetch(Integer recordIndex) const {
    const std::size_t r = std::size_t(recordIndex);
    if (Kind == skText) {
      if (r < Texts.size()) {
        __builtin_prefetch(&Texts[r]);
        if (Texts[r].Length != kNone) __builtin_prefetch(Data.data() + Texts[r].Start);
      }
    } else if (r < Numbers.size()) {
      __builtin_prefetch(&Numbers[r]);
    }
  }
  Boolean Has(Integer recordIndex) const {
    const std::size_t r = std::size_t(recordIndex);
    if (recordIndex < 0) return false;
    if (Kind == skText) return r < Texts.size() && Texts[r].Length != kNone;
    return r < Numbers.size() && Numbers[r].Present;
  }
  Integer Compare(Integer recordIndex1, Integer recordIndex2) const {
    const std::size_t a = std::size_t(recordIndex1), b = std::size_t(recordIndex2);
    switch (Kind) {
      case skDouble: {
        const double x = Numbers[a].Double, y = Numbers[b].Double;
        return x < y ? -1 : x > y ? 1 : 0;
      }
      case skInt64: {
        const Int64 x = Numbers[a].Integer, y = Numbers[b].Integer;
        return x < y ? -1 : x > y ? 1 : 0;
      }
      default: {
        const TText& ta = Texts[a];
        const TText& tb = Texts[b];
        const int r = std::memcmp(Data.data() + ta.Start, Data.data() + tb.Start, std::min(ta.Length, tb.Length));
        if (r != 0) return r < 0 ? -1 : 1;
        return ta.Length < tb.Length ? -1 : ta.Length > tb.Length ? 1 : 0;
      }
    }
  }
};

TcxCustomDataControllerInfo::TcxCustomDataControllerInfo(TcxCustomDataController* dataController)
    : FDataController(dataController),
      FSortingFieldList(new TcxSortingFieldList),
      FGroupingFieldList(new TcxGroupingFieldList),
      FTotalSortingFieldList(new TcxSortingFieldList),
      FExpandingInfos(new TcxDataExpandingInfos),
      FDataGroups(new TcxDataGroups),
      FFocusingInfo(new TcxDataFocusingInfo(this)),
      FPrevFocusingInfo(new TcxDataFocusingInfo(this)) {
  FSortingFieldList->SetOnChanged(TNotifyEvent(this, &TcxCustomDataControllerInfo::SortingListChanged));
  FGroupingFieldList->SetOnChanged(TNotifyEvent(this, &TcxCustomDataControllerInfo::GroupingListChanged));
}

TcxCustomDataControllerInfo::~TcxCustomDataControllerInfo() = default;

void TcxCustomDataControllerInfo::BeforeDestruction() {
  FreeSortKeys();
  orv::Free(FSelection);
  FSelection = nullptr;
  FPrevFocusingInfo->Free();
  FFocusingInfo->Free();
  FExpandingInfos->Free();
  FDataGroups->Free();
  FTotalSortingFieldList->Free();
  FGroupingFieldList->Free();
  FSortingFieldList->Free();
  inherited::BeforeDestruction();
}

void TcxCustomDataControllerInfo::AddChanges(Word changes) { FChanges |= changes; }

void TcxCustomDataControllerInfo::CheckUpdate() {
  if (FChanges != 0 && FLockCount == 0 && !FInUpdate) Update();
}

void TcxCustomDataControllerInfo::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  CheckUpdate();
}

void TcxCustomDataControllerInfo::SortingListChanged(TObject*) { AddChanges(ricSorting); }

void TcxCustomDataControllerInfo::GroupingListChanged(TObject*) { AddChanges(ricGrouping | ricSorting | ricSummary); }

void TcxCustomDataControllerInfo::SelectionChanged(TObject*) {
  AddChanges(ricSelection);
  if (TcxDataSummary* summary = FDataController->FindSummary(); summary && summary->HasSelectionOptions())
    AddChanges(ricSummary);
}

Boolean TcxCustomDataControllerInfo::IsSortingBySummary() {
  TcxCustomDataController* controller = FDataController;
  TcxDataSummary* summary = controller->FindSummary();
  if (!summary || !IsGrouped() || summary->CountsSelectedRecords() || !TClass(controller->GetSortingBySummaryEngineClass()))
    return false;
  for (Integer level = 0; level < FGroupingFieldList->Count(); ++level) {
    TcxDataGroupSummaryItems* items = summary->GetGroupSummaryItems(level);
    if (items && items->GetSortedItem()) return true;
  }
  return false;
}

void TcxCustomDataControllerInfo::Refresh() {
  Word changes = ricRecordList;
  if (!FDataController->IsDataStructureChanging()) changes |= ricSummary;
  if (FSortingFieldList->Count() > 0) changes |= ricSorting;
  if (FGroupingFieldList->Count() > 0) changes |= ricGrouping;
  AddChanges(changes);
  CheckUpdate();
}

void TcxCustomDataControllerInfo::CheckFocusedRow() {
  AddChanges(ricCheckFocusedRow);
  FFocusingInfo->SetToCurrentRecord();
  CheckUpdate();
}

void TcxCustomDataControllerInfo::SummaryChanged(Boolean redo) {
  const Boolean sortingBySummary = IsSortingBySummary();
  AddChanges(!redo || sortingBySummary ? ricSummary : ricLayout);
  if (sortingBySummary) AddChanges(ricGrouping);
  CheckUpdate();
}

void TcxCustomDataControllerInfo::LayoutChanged() {
  AddChanges(ricLayout);
  if (!FInUpdate) CheckUpdate();
}

void TcxCustomDataControllerInfo::ExpandingChanged() {
  AddChanges(ricExpanding);
  FExpandingFlag = true;
  CheckUpdate();
}

void TcxCustomDataControllerInfo::FocusChanged(Boolean newItemRowFocusingChanged) {
  AddChanges(ricRecheckFocus);
  if (newItemRowFocusingChanged) FPrevFocusingInfo->SetChanged(true);
  CheckUpdate();
}

void TcxCustomDataControllerInfo::RecordsCountChanged() { AddChanges(ricRecheckFocus); }

void TcxCustomDataControllerInfo::RecordIndexesShifted(Integer recordIndex, Integer delta) {
  // Only grouped rows find the focus by its record at more than one row; the focused record
  // follows the shift, so that the rebuild does not expand the group of whichever record took
  // its index (a deleted one is simply lost).
  if (!IsGrouped()) return;
  for (TcxDataFocusingInfo* info : {FFocusingInfo, FPrevFocusingInfo}) {
    const Integer focused = info->GetRecordIndex();
    if (focused < 0 || focused < recordIndex) continue;
    if (delta < 0 && focused == recordIndex)
      info->SetRecordIndex(-1);
    else
      info->SetRecordIndex(focused + delta);
  }
}

void TcxCustomDataControllerInfo::FieldRemoved(TcxCustomDataField* field) {
  FSortingFieldList->Remove(field);
  if (FGroupingFieldList->IndexOf(field) != -1) ClearSelection();
  FGroupingFieldList->Remove(field);
  FGroupingFieldList->UpdateSorting(FSortingFieldList);
  FTotalSortingFieldList->Remove(field);
  FExpandingInfos->CheckField(field);
}

void TcxCustomDataControllerInfo::FieldComparisonChanged(TcxCustomDataField* field) {
  AddChanges(ricLayout);
  FSortingFieldList->NotifyIfContains(field);
  FGroupingFieldList->NotifyIfContains(field);
  if (FGroupingFieldList->IndexOf(field) != -1) ClearSelection();
  FExpandingInfos->CheckField(field);
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ChangeSortIndex(TcxCustomDataField* field, Integer index) {
  const Integer current = FSortingFieldList->IndexOf(field);
  if (current != -1 && FSortingFieldList->Count() > 0) {
    index = std::clamp<Integer>(index, 0, FSortingFieldList->Count() - 1);
    if (index != current) {
      FSortingFieldList->Move(current, index);
      FDataController->PostEditing();
      FDataController->FSortingChanged = true;
    }
  }
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ChangeSortOrder(TcxCustomDataField* field, TcxDataSortOrder sortOrder) {
  FSortingFieldList->SetFieldSortOrder(field, sortOrder);
  FGroupingFieldList->UpdateSorting(FSortingFieldList);
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ClearSorting(Boolean keepGroupedItems) {
  const Integer count = FSortingFieldList->Count();
  if (keepGroupedItems) {
    for (Integer i = FSortingFieldList->Count() - 1; i >= 0; --i)
      if (FGroupingFieldList->IndexOf(FSortingFieldList->GetItem(i).Field) == -1) FSortingFieldList->DeleteAt(i);
  } else {
    FSortingFieldList->RemoveAll();
    FGroupingFieldList->UpdateSorting(FSortingFieldList);
  }
  if (FSortingFieldList->Count() != count) {
    FDataController->PostEditing();
    FDataController->FSortingChanged = true;
  }
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ChangeGrouping(TcxCustomDataField* field, Integer groupIndex) {
  FGroupingFieldList->ChangeIndex(field, groupIndex);
  FGroupingFieldList->UpdateSorting(FSortingFieldList);
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ClearGrouping() {
  FGroupingFieldList->RemoveAll();
  CheckUpdate();
}

// ---- Comparison ----

void TcxCustomDataControllerInfo::PrepareSorting() {
  for (Integer i = 0; i < FTotalSortingFieldList->Count(); ++i) {
    TcxCustomDataField* field = FTotalSortingFieldList->GetItem(i).Field;
    field->FCompareMode = 0;
    if (FDataController->NeedsValueConversion(field))
      field->FCompareMode = FDataController->IsSortByDisplayText(field) ? 2 : 1;
    else
      field->FCompareMode = -1;
  }
}

void TcxCustomDataControllerInfo::UnprepareSorting() {
  for (Integer i = 0; i < FTotalSortingFieldList->Count(); ++i) FTotalSortingFieldList->GetItem(i).Field->FCompareMode = 0;
}

Integer TcxCustomDataControllerInfo::CompareByTotalList(Integer recordIndex1, Integer recordIndex2) {
  for (Integer i = 0; i < FTotalSortingFieldList->Count(); ++i) {
    const Integer result =
        FDataController->CompareRecordsBySortField(recordIndex1, recordIndex2, FTotalSortingFieldList->GetItem(i), dccmSorting);
    if (result != 0) return result;
  }
  return 0;
}

Integer TcxCustomDataControllerInfo::CompareRecordsForSorting(Integer recordIndex1, Integer recordIndex2) {
  if (recordIndex1 == recordIndex2) return 0;
  TcxCustomDataProvider* provider = FDataController->GetProvider();
  const Integer editing = provider->GetEditingRecordIndex();
  const Integer above = provider->GetEditingRecordIndex1(), below = provider->GetEditingRecordIndex2();
  if ((above != cxNullEditingRecordIndex || below != cxNullEditingRecordIndex) &&
      (recordIndex1 == editing || recordIndex2 == editing)) {
    // The edited record stays where it was: last when it was the last row, else just above the
    // record that was below it.
    if (above != cxNullEditingRecordIndex) return recordIndex1 == editing ? 1 : -1;
    if (recordIndex1 == editing) {
      if (recordIndex2 == below) return -1;
      recordIndex1 = below;
    } else {
      if (recordIndex1 == below) return 1;
      recordIndex2 = below;
    }
  }
  const Integer result = CompareByTotalList(recordIndex1, recordIndex2);
  return result != 0 ? result : FDataController->CompareRecordsByIndex(recordIndex1, recordIndex2);
}

Integer TcxCustomDataControllerInfo::CompareRecordsForGrouping(Integer recordIndex1, Integer recordIndex2, Integer level) {
  if (recordIndex1 == recordIndex2) return 0;
  TcxCustomDataProvider* provider = FDataController->GetProvider();
  const Integer editing = provider->GetEditingRecordIndex();
  const Integer saved = provider->GetSavedRecordIndex();
  const Integer above = provider->GetEditingRecordIndex1(), below = provider->GetEditingRecordIndex2();
  if (saved != 0) {
    // The edited record stays in its old group while it is edited.
    if (recordIndex1 == editing) recordIndex1 = saved;
    if (recordIndex2 == editing) recordIndex2 = saved;
  } else if ((above != cxNullEditingRecordIndex || below != cxNullEditingRecordIndex) &&
             (recordIndex1 == editing || recordIndex2 == editing)) {
    if (above != cxNullEditingRecordIndex) return 0;
    if (recordIndex1 == editing) recordIndex1 = below;
    if (recordIndex2 == editing) recordIndex2 = below;
  }
  return FDataController->CompareRecordsBySortField(recordIndex1, recordIndex2, FTotalSortingFieldList->GetItem(level),
                                                    dccmGrouping);
}

namespace {

// The kind of number key that orders values of the type exactly as the type compares them;
// False for types that keep no plain number.
Boolean NumberKeyKind(TcxValueTypeClass valueType, Boolean& isDouble) {
  const TClass c = valueType;
  isDouble = c == TcxFloatValueType::StaticClass() || c == TcxDateTimeValueType::StaticClass();
  return isDouble || c == TcxIntegerValueType::StaticClass() || c == TcxSmallintValueType::StaticClass() ||
         c == TcxWordValueType::StaticClass() || c == TcxLargeIntValueType::StaticClass() ||
         c == TcxBooleanValueType::StaticClass() || c == TcxCurrencyValueType::StaticClass();
}

}  // namespace

void TcxCustomDataControllerInfo::BuildSortKeys() {
  FreeSortKeys();
  TcxCustomDataController* controller = FDataController;
  // OnCompare and a custom data source decide themselves.
  if (controller->FOnCompare || controller->IsProviderMode()) return;
  const Boolean ansiSort = controller->FOptions.Contains(dcoAnsiSort);
  const Boolean caseInsensitive = controller->FOptions.Contains(dcoCaseInsensitive);
  const Integer recordCount = controller->GetRecordCount();
  TcxDataStorage* storage = controller->GetDataStorage();
  for (Integer i = 0; i < FTotalSortingFieldList->Count(); ++i) {
    TcxCustomDataField* field = FTotalSortingFieldList->GetItem(i).Field;
    TcxValueDef* def = field->GetValueDef();
    if (field->FSortKeysIndex != -1 || field->FCompareMode == 0 || !def) continue;
    const TcxValueTypeClass valueType = field->GetValueTypeClass();
    auto keys = std::make_unique<TSortKeys>();
    Boolean isDouble = false;
    // Stored 8-bit texts compare byte by byte: their own bytes are the key.
    const Boolean storedText = field->FCompareMode < 0 && TClass(valueType) == TcxStringValueType::StaticClass();
    if (field->FCompareMode < 0 && !storedText) {
      // Stored values compared by their type.
      if (!NumberKeyKind(valueType, isDouble)) continue;
      keys->Kind = isDouble ? TSortKeys::skDouble : TSortKeys::skInt64;
      TSortKeys::TNumber none{};
      none.Integer = 0;
      none.Present = false;
      keys->Numbers.assign(std::size_t(recordCount), none);
      const TClass typeClass = valueType;
      for (const Integer recordIndex : FRecordList) {
        if (recordIndex < 0 || recordIndex >= recordCount) continue;
        const Variant value = storage->FetchValue(recordIndex, def);
        if (value.IsNull()) continue;
        TSortKeys::TNumber& key = keys->Numbers[std::size_t(recordIndex)];
        if (isDouble)
          key.Double = value.AsDouble();
        else if (typeClass == TcxCurrencyValueType::StaticClass())
          key.Integer = value.AsCurrency().Scaled;
        else if (typeClass == TcxBooleanValueType::StaticClass())
          key.Integer = value.AsBoolean() ? 1 : 0;  // the stored byte
        else
          key.Integer = value.AsInt64();
        key.Present = true;
      }
    } else {
      // The string rule applies to display texts (mode 2) and to text values (mode 1).
      if (field->FCompareMode == 1 && !(TClass(valueType) && valueType->IsTextType())) continue;
      keys->Texts.assign(std::size_t(recordCount), TSortKeys::TText{0, TSortKeys::kNone});
      for (const Integer recordIndex : FRecordList) {
        if (recordIndex < 0 || recordIndex >= recordCount) continue;
        const Variant value = storedText ? storage->FetchValue(recordIndex, def) : controller->GetSortingValue(recordIndex, field);
        if (!VarIsStr(value)) continue;
        std::string key = value.AsString();
        if (!storedText) {
          if (ansiSort)
            key = orv::AnsiSortKey(key, caseInsensitive ? NORM_IGNORECASE : 0);
          else if (caseInsensitive)
            CharUpperBuff(key.data(), Cardinal(key.size()));
          else
            key = orv::AnsiSortKey(key, 0);  // CompareVariants compares texts by the collation
        }
        if (keys->Data.size() + key.size() >= TSortKeys::kNone) break;  // beyond 4 GB: compare the rest directly
        keys->Texts[std::size_t(recordIndex)] = {std::uint32_t(keys->Data.size()), std::uint32_t(key.size())};
        keys->Data += key;
      }
    }
    field->FSortKeysIndex = Integer(FSortKeys.size());
    FSortKeys.push_back(std::move(keys));
  }
}

namespace {

// Ranks the records' text keys when few distinct texts are among them (records grouped by a
// country, say): ranks[record] orders as the keys do, equal ranks exactly for equal keys. False
// when the records hold too many distinct texts for ranking to pay.
template <class TKeys>
Boolean RankTextKeys(const TKeys& keys, const std::vector<Integer>& records, std::vector<std::uint32_t>& ranks) {
  const std::size_t limit = records.size() / 16 + 1;
  std::unordered_map<std::string_view, std::uint32_t> ids;
  std::vector<std::string_view> distinct;
  ranks.assign(keys.Texts.size(), 0);
  for (const Integer recordIndex : records) {
    const auto& text = keys.Texts[std::size_t(recordIndex)];
    const std::string_view key(keys.Data.data() + text.Start, text.Length);
    const auto [it, added] = ids.try_emplace(key, std::uint32_t(distinct.size()));
    if (added) {
      if (distinct.size() >= limit) return false;
      distinct.push_back(key);
    }
    ranks[std::size_t(recordIndex)] = it->second;
  }
  // Byte-wise order, the shorter of two texts first where one begins the other: as the keys
  // compare.
  std::vector<std::uint32_t> order(distinct.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&distinct](std::uint32_t a, std::uint32_t b) {
    return distinct[a].compare(distinct[b]) < 0;
  });
  std::vector<std::uint32_t> rankOf(distinct.size());
  for (std::size_t i = 0; i < order.size(); ++i) rankOf[order[i]] = std::uint32_t(i);
  for (const Integer recordIndex : records) ranks[std::size_t(recordIndex)] = rankOf[ranks[std::size_t(recordIndex)]];
  return true;
}

}  // namespace

Boolean TcxCustomDataControllerInfo::SortRecordListByKeys() {
  // An edited record held in its place compares by its neighbours: the general comparison.
  TcxCustomDataProvider* provider = FDataController->GetProvider();
  if (provider->GetEditingRecordIndex1() != cxNullEditingRecordIndex ||
      provider->GetEditingRecordIndex2() != cxNullEditingRecordIndex)
    return false;
  struct TFieldKeys {
    const TSortKeys* Keys;
    Boolean Descending;
  };
  std::vector<TFieldKeys> fields;
  for (Integer i = 0; i < FTotalSortingFieldList->Count(); ++i) {
    const TcxDataSortInfo& info = FTotalSortingFieldList->GetItem(i);
    if (info.Field->FSortKeysIndex < 0) return false;
    fields.push_back({FSortKeys[std::size_t(info.Field->FSortKeysIndex)].get(), info.SortOrder == soDescending});
  }
  if (fields.empty()) return false;
  for (const Integer recordIndex : FRecordList)
    for (const TFieldKeys& f : fields)
      if (!f.Keys->Has(recordIndex)) return false;
  // What the general comparison gives when every record has its keys: field by field, each
  // turned for a descending order, then the record index. The first field's text key leads
  // with its first eight bytes as a number, beside the record index: most pairs part there,
  // without reaching for the keys.
  struct TItem {
    std::uint64_t Prefix;
    Integer Record;
  };
  const TSortKeys& first = *fields.front().Keys;
  const Boolean prefixed = first.Kind == TSortKeys::skText;
  const Boolean firstDescending = fields.front().Descending;
  // Few distinct texts in the first field: their ranks stand for them exactly, so the first
  // field never reaches for its texts; alone, rank and record make one number to sort.
  std::vector<std::uint32_t> ranks;
  if (prefixed && RankTextKeys(first, FRecordList, ranks)) {
    const std::uint32_t top = ranks.empty() ? 0 : *std::max_element(ranks.begin(), ranks.end());
    auto rankOf = [&](Integer recordIndex) {
      const std::uint32_t rank = ranks[std::size_t(recordIndex)];
      return std::uint64_t(firstDescending ? top - rank : rank);
    };
    if (fields.size() == 1) {
      std::vector<std::uint64_t> order;
      order.reserve(FRecordList.size());
      for (const Integer recordIndex : FRecordList) order.push_back(rankOf(recordIndex) << 32 | std::uint32_t(recordIndex));
      std::sort(order.begin(), order.end());
      for (std::size_t i = 0; i < order.size(); ++i) FRecordList[i] = Integer(std::uint32_t(order[i]));
      return true;
    }
    std::vector<TItem> items;
    items.reserve(FRecordList.size());
    for (const Integer recordIndex : FRecordList) items.push_back({rankOf(recordIndex), recordIndex});
    std::sort(items.begin(), items.end(), [&fields](const TItem& a, const TItem& b) {
      if (a.Prefix != b.Prefix) return a.Prefix < b.Prefix;
      for (std::size_t i = 1; i < fields.size(); ++i) {
        const Integer c = fields[i].Keys->Compare(a.Record, b.Record);
        if (c != 0) return fields[i].Descending ? c > 0 : c < 0;
      }
      return a.Record < b.Record;
    });
    for (std::size_t i = 0; i < items.size(); ++i) FRecordList[i] = items[i].Record;
    return true;
  }
  std::vector<TItem> items;
  items.reserve(FRecordList.size());
  for (const Integer recordIndex : FRecordList) {
    std::uint64_t prefix = 0;
    if (prefixed) {
      const TSortKeys::TText& t = first.Texts[std::size_t(recordIndex)];
      const auto* bytes = reinterpret_cast<const unsigned char*>(first.Data.data() + t.Start);
      for (std::uint32_t k = 0; k < 8; ++k) prefix = prefix << 8 | (k < t.Length ? bytes[k] : 0u);
    }
    items.push_back({prefix, recordIndex});
  }
  std::sort(items.begin(), items.end(), [&fields, firstDescending](const TItem& a, const TItem& b) {
    if (a.Prefix != b.Prefix) return firstDescending ? a.Prefix > b.Prefix : a.Prefix < b.Prefix;
    for (const TFieldKeys& f : fields) {
      const Integer c = f.Keys->Compare(a.Record, b.Record);
      if (c != 0) return f.Descending ? c > 0 : c < 0;
    }
    return a.Record < b.Record;
  });
  for (std::size_t i = 0; i < items.size(); ++i) FRecordList[i] = items[i].Record;
  return true;
}

void TcxCustomDataControllerInfo::FreeSortKeys() {
  if (FSortKeys.empty()) return;
  FSortKeys.clear();
  for (Integer i = 0; i < FDataController->FFields->Count(); ++i) FDataController->FFields->GetField(i)->FSortKeysIndex = -1;
}

// ---- Rebuild ----

void TcxCustomDataControllerInfo::RebuildRecordList() {
  const Integer count = FDataController->GetRecordCount();
  FRecordList.resize(std::size_t(count));
  for (Integer i = 0; i < count; ++i) FRecordList[std::size_t(i)] = i;
}

void TcxCustomDataControllerInfo::RebuildPositions() {
  const Integer count = std::max<Integer>(FDataController->GetRecordCount(), 0);
  FRecordPositions.assign(std::size_t(count), -1);
  for (std::size_t i = 0; i < FRecordList.size(); ++i) {
    const Integer recordIndex = FRecordList[i];
    if (recordIndex >= 0 && recordIndex < count) FRecordPositions[std::size_t(recordIndex)] = Integer(i);
  }
}

void TcxCustomDataControllerInfo::FilterRecordList() {
  TcxCustomDataController* controller = FDataController;
  const Boolean byEvent = controller->HasFilterRecordHandler() && !controller->IsGridMode();
  TcxDataFilterCriteria* criteria = controller->FFilter;
  const Boolean byCriteria = criteria && criteria->IsFiltering();
  const Boolean byIncremental = controller->HasIncrementalFilter();
  if (!byEvent && !byCriteria && !byIncremental) return;
  const Integer editing = controller->GetProvider()->GetEditingRecordIndex();
  // One pass from the last position to the first (the order the handler sees); the records
  // that stay are gathered at the end of the list, which is then cut at the front.
  std::size_t kept = FRecordList.size();
  for (std::size_t i = FRecordList.size(); i-- > 0;) {
    const Integer recordIndex = FRecordList[i];
    Boolean accept = true;
    if (recordIndex != editing) {
      if (byEvent) controller->DoFilterRecord(recordIndex, accept);
      if (accept && byIncremental) accept = controller->MatchesIncrementalFilter(recordIndex);
      if (accept && byCriteria) accept = criteria->DoFilterRecord(recordIndex);
    }
    if (accept) FRecordList[--kept] = recordIndex;
  }
  if (kept == 0) return;
  FRecordList.erase(FRecordList.begin(), FRecordList.begin() + std::ptrdiff_t(kept));
  RebuildPositions();
  if (FSelection && !controller->IsGridMode()) FSelection->RemoveFilteredOut();
  if (controller->FFocusCheckAfterFilterRequested) {
    controller->FFocusCheckAfterFilterRequested = false;
    controller->FFilterChanged = true;
  }
}

void TcxCustomDataControllerInfo::SortRecordList() {
  FTotalSortingFieldList->SetOnChanged(nullptr);
  while (FTotalSortingFieldList->Count() > 0) FTotalSortingFieldList->DeleteAt(0);
  FTotalSortingFieldList->Merge(FGroupingFieldList);
  FTotalSortingFieldList->Merge(FSortingFieldList);
  if (FDataController->IsGridMode() || FRecordList.empty()) return;
  if (FTotalSortingFieldList->Count() == 0) {
    // Only the record index orders the rows.
    std::sort(FRecordList.begin(), FRecordList.end());
    return;
  }
  PrepareSorting();
  try {
    if (FDataController->IsProviderMode() && FDataController->GetProvider()->IsCustomSorting()) {
      FDataController->GetProvider()->CustomSort();
    } else {
      BuildSortKeys();
      if (SortRecordListByKeys()) {
        FreeSortKeys();
        UnprepareSorting();
        return;
      }
      auto compare = [this](Integer a, Integer b) { return CompareRecordsForSorting(a, b); };
      // The keys of the first field are read for every comparison in random record order: the
      // scans ask for them ahead of time.
      const TSortKeys* keys = nullptr;
      TcxCustomDataField* first = FTotalSortingFieldList->GetItem(0).Field;
      if (first->FSortKeysIndex >= 0) keys = FSortKeys[std::size_t(first->FSortKeysIndex)].get();
      auto prefetch = [keys](Integer recordIndex) { keys->Prefetch(recordIndex); };
      if (keys)
        QuickSortRange(FRecordList.data(), 0, Integer(FRecordList.size()) - 1, compare, prefetch);
      else
        QuickSortRange(FRecordList.data(), 0, Integer(FRecordList.size()) - 1, compare);
    }
  } catch (...) {
    FreeSortKeys();
    UnprepareSorting();
    throw;
  }
  FreeSortKeys();
  UnprepareSorting();
}

void TcxCustomDataControllerInfo::BuildGroups() {
  FDataGroups->Clear();
  for (Integer i = 0; i < FGroupingFieldList->Count(); ++i) FDataGroups->AddLevelField(FGroupingFieldList->GetItem(i).Field);
  const Integer levelCount = FDataGroups->GetLevelCount();
  const Integer count = GetFilteredRecordCount();
  if (levelCount == 0 || count == 0) return;
  std::vector<Integer> open(std::size_t(levelCount), -1);
  std::vector<Integer> keys(std::size_t(levelCount), -1);
  Integer topOrdinal = 0;
  // Opens a group of each level from `level` down for the record at `position`.
  auto openFrom = [&](Integer level, Integer position) {
    for (Integer l = level; l < levelCount; ++l) {
      const Integer index = FDataGroups->GetCount();
      TcxDataGroupInfo* group = FDataGroups->AddGroup();
      group->RowIndex = topOrdinal;
      group->Level = l;
      group->First = l < levelCount - 1 ? index + 1 : position;
      group->Parent = l > 0 ? open[std::size_t(l - 1)] : -1;
      open[std::size_t(l)] = index;
      keys[std::size_t(l)] = FRecordList[std::size_t(position)];
      group->GroupingValue = FDataController->GetGroupingValue(keys[std::size_t(l)], FDataGroups->GetLevelField(l));
    }
  };
  // Closes the open groups of `level` and below; the deepest ends before `position`.
  auto closeFrom = [&](Integer level, Integer position) {
    for (Integer l = levelCount - 1; l >= level; --l) {
      TcxDataGroupInfo* group = FDataGroups->GetItem(open[std::size_t(l)]);
      group->Last = l == levelCount - 1 ? position - 1 : FDataGroups->GetCount() - 1;
    }
  };
  PrepareSorting();
  try {
    openFrom(0, 0);
    for (Integer position = 1; position < count; ++position) {
      const Integer recordIndex = FRecordList[std::size_t(position)];
      Integer level = 0;
      while (level < levelCount && CompareRecordsForGrouping(keys[std::size_t(level)], recordIndex, level) == 0) ++level;
      if (level == levelCount) continue;
      if (level == 0) ++topOrdinal;
      closeFrom(level, position);
      openFrom(level, position);
    }
    closeFrom(0, count);
  } catch (...) {
    UnprepareSorting();
    FDataGroups->Clear();
    throw;
  }
  UnprepareSorting();
  FDataGroups->UpdateIndexes();
}

Integer TcxCustomDataControllerInfo::SaveStates() {
  TcxCustomDataController* controller = FDataController;
  const Boolean saveExpanding = controller->FOptions.Contains(dcoSaveExpanding);
  const Boolean selected = FSelection && FSelection->Count() > 0;
  Integer states = 0;
  if (saveExpanding && (FChanges & (ricRecordList | ricGrouping))) states |= TcxDataExpandingInfos::essExpanding;
  if (selected && (FChanges & (ricRecordList | ricGrouping | ricSorting | ricExpanding)))
    states |= TcxDataExpandingInfos::essSelection;
  SaveExpanding(states);
  return states;
}

void TcxCustomDataControllerInfo::SaveExpanding(Integer states) {
  FExpandingInfos->Clear();
  FExpandingInfos->SetSaveStates(states);
  if (states == 0) return;
  // The saved groups are those of the last rebuild; they are only of use while the grouping
  // fields are the same.
  const Integer levelCount = FDataGroups->GetLevelCount();
  if (levelCount != FGroupingFieldList->Count() || FDataGroups->GetCount() == 0) return;
  for (Integer level = 0; level < levelCount; ++level)
    if (FDataGroups->GetLevelField(level) != FGroupingFieldList->GetItem(level).Field) return;
  for (Integer level = 0; level < levelCount; ++level) FExpandingInfos->AddField(FDataGroups->GetLevelField(level));
  TcxCustomDataController* controller = FDataController;
  const Boolean alwaysExpanded = controller->FOptions.Contains(dcoGroupsAlwaysExpanded);
  const Boolean selected = FSelection && FSelection->Count() > 0;
  // The selected group rows, looked up once.
  std::vector<char> groupSelected(std::size_t(FDataGroups->GetCount()), 0);
  if ((states & TcxDataExpandingInfos::essSelection) && FSelection)
    for (Integer i = 0; i < FSelection->Count(); ++i) {
      const TcxDataSelectionItem& item = FSelection->GetItem(i);
      if (item.Level == -1 && item.RecordIndex >= 0 && item.RecordIndex < FDataGroups->GetCount())
        groupSelected[std::size_t(item.RecordIndex)] = 1;
    }
  // Each saved group is located again by the values of its own and its ancestors' levels, so an
  // ancestor of a saved group is saved too (without state bits of its own when it has none).
  std::vector<Integer> savedAt(std::size_t(levelCount), -1);
  for (Integer i = 0; i < FDataGroups->GetCount(); ++i) {
    if (!FDataGroups->IsVisible(i)) continue;
    const TcxDataGroupInfo& group = FDataGroups->GetItemRef(i);
    Integer flags = 0;
    if (group.Expanded && !(alwaysExpanded && !selected)) flags |= TcxDataExpandingInfos::essExpanding;
    if (groupSelected[std::size_t(i)]) flags |= TcxDataExpandingInfos::essSelection;
    if (flags == 0) continue;
    // Ancestors not saved yet, outermost first.
    std::vector<Integer> missing;
    for (Integer a = group.Parent; a != -1 && savedAt[std::size_t(FDataGroups->GetLevel(a))] != a;
         a = FDataGroups->GetParentIndex(a))
      missing.push_back(a);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
      const Integer level = FDataGroups->GetLevel(*it);
      FExpandingInfos->AddItem(level, FDataGroups->GetItemRef(*it).GroupingValue, 0);
      savedAt[std::size_t(level)] = *it;
    }
    FExpandingInfos->AddItem(group.Level, group.GroupingValue, flags);
    savedAt[std::size_t(group.Level)] = i;
  }
}

void TcxCustomDataControllerInfo::RestoreStates(Integer savedStates) {
  TcxCustomDataController* controller = FDataController;
  const Boolean grouped = IsGrouped();
  const Boolean alwaysExpanded = controller->FOptions.Contains(dcoGroupsAlwaysExpanded);
  if (grouped && alwaysExpanded) {
    FDataGroups->ChangeAllExpanding(true);
    FExpandingFlag = true;
  }
  if (savedStates == 0) return;
  const Integer levelCount = FDataGroups->GetLevelCount();
  Boolean sameFields = FExpandingInfos->FieldCount() == FGroupingFieldList->Count();
  for (Integer i = 0; sameFields && i < FExpandingInfos->FieldCount(); ++i)
    sameFields = FExpandingInfos->GetField(i) == FGroupingFieldList->GetItem(i).Field;
  const Boolean selection =
      (savedStates & TcxDataExpandingInfos::essSelection) && FSelection && !controller->IsGridMode();
  if (!sameFields) {
    if (selection && FSelection->Count() > 0) FSelection->ClearAndNotify();
    return;
  }
  Boolean changed = false;
  if (selection)
    for (Integer i = FSelection->Count() - 1; i >= 0; --i) {
      const TcxDataSelectionItem& item = FSelection->GetItem(i);
      if (item.Level == -1 || item.Level != levelCount) {
        FSelection->DeleteItem(i);
        changed = true;
      }
    }
  std::vector<Integer> reselected;
  if (grouped && FExpandingInfos->Count() > 0) {
    TcxValueDefUnboundReader reader;
    std::unique_ptr<TcxDataControllerGroupLocateObject, orv::FreeDeleter> locate(
        new TcxDataControllerGroupLocateObject(controller));
    for (Integer k = 0; k < FExpandingInfos->Count(); ++k) {
      const TcxDataExpandingInfo& info = FExpandingInfos->GetItem(k);
      if (info.Level < 0 || info.Level >= levelCount) continue;
      // The values of shallower entries stay; deeper ones go.
      reader.Truncate(info.Level);
      reader.SetValue(FDataGroups->GetLevelField(info.Level)->GetValueDef(), info.Value);
      if (info.State == 0) continue;
      locate->SetLevel(info.Level);
      locate->ReadData(&reader);
      const Integer recordIndex = locate->FindRecordIndex();
      if (recordIndex == -1) continue;
      const Integer group = FDataGroups->GetGroupIndexByRecordListIndex(GetFilteredIndexOfRecord(recordIndex), info.Level);
      if (group == -1) continue;
      if ((savedStates & TcxDataExpandingInfos::essExpanding) && (info.State & TcxDataExpandingInfos::essExpanding))
        FDataGroups->GetItem(group)->Expanded = true;
      if (info.State & TcxDataExpandingInfos::essSelection) reselected.push_back(group);
    }
    if (!alwaysExpanded) FDataGroups->Renumber();
  }
  if (!selection) return;
  // Record entries take the data row of their record (removed when it is hidden); re-selected
  // groups take their group row.
  for (Integer i = FSelection->Count() - 1; i >= 0; --i) {
    TcxDataSelectionItem& item = FSelection->GetItemRef(i);
    const Integer row = GetRowIndexByRecordIndex(item.RecordIndex, false);
    if (row == -1) {
      FSelection->DeleteItem(i);
      changed = true;
    } else if (item.RowIndex != row) {
      item.RowIndex = row;
      changed = true;
    }
  }
  // Group entries were all dropped above; a group located twice is selected once.
  std::sort(reselected.begin(), reselected.end());
  reselected.erase(std::unique(reselected.begin(), reselected.end()), reselected.end());
  for (const Integer group : reselected) {
    if (!FDataGroups->IsVisible(group)) continue;
    FSelection->AddItem(-1, FDataGroups->GetItemRef(group).RowIndex, group, -1);
    changed = true;
  }
  FSelection->SortByRowIndex();
  if (FSelection->GetAnchorRowIndex() != -1 && !FSelection->IsRowSelected(FSelection->GetAnchorRowIndex()))
    FSelection->ClearAnchor();
  if (changed) AddChanges(ricSelection);
}

void TcxCustomDataControllerInfo::RecomputeSelectionRows() {
  // In grid mode the selection is held by dataset bookmarks, not by records of the buffer.
  if (!FSelection || FSelection->Count() == 0 || FDataController->IsGridMode()) return;
  Boolean changed = false;
  for (Integer i = FSelection->Count() - 1; i >= 0; --i) {
    TcxDataSelectionItem& item = FSelection->GetItemRef(i);
    Integer row = -1;
    if (item.Level == -1) {
      if (item.RecordIndex >= 0 && item.RecordIndex < FDataGroups->GetCount() && FDataGroups->IsVisible(item.RecordIndex))
        row = FDataGroups->GetItemRef(item.RecordIndex).RowIndex;
    } else {
      row = GetRowIndexByRecordIndex(item.RecordIndex, false);
    }
    if (row == -1) {
      FSelection->DeleteItem(i);
      changed = true;
    } else if (item.RowIndex != row) {
      item.RowIndex = row;
      changed = true;
    }
  }
  if (!changed) return;
  FSelection->SortByRowIndex();
  if (FSelection->GetAnchorRowIndex() != -1 && !FSelection->IsRowSelected(FSelection->GetAnchorRowIndex()))
    FSelection->ClearAnchor();
  AddChanges(ricSelection);
}

Integer TcxCustomDataControllerInfo::RowRecordIndex(Integer rowIndex) const {
  if (!IsGrouped()) return FRecordList[std::size_t(rowIndex)];
  return GetFilteredRecordIndex(FDataGroups->GetRowInfo(rowIndex).RecordListIndex);
}

Integer TcxCustomDataControllerInfo::FocusedRecordRow(Boolean makeVisible) {
  const Integer recordIndex = FFocusingInfo->GetRecordIndex();
  const Integer position = recordIndex < 0 ? -1 : GetFilteredIndexOfRecord(recordIndex);
  if (position == -1) return -1;
  if (!IsGrouped()) return position;
  const Integer levelCount = FDataGroups->GetLevelCount();
  const Integer deepest = FDataGroups->GetDeepestGroupByRecordListIndex(position);
  if (deepest == -1) return -1;
  Integer level = std::min(FFocusingInfo->GetLevel(), levelCount);
  if (makeVisible) {
    if (level < levelCount && position == FDataGroups->GetItemRef(deepest).First) {
      // The record opens its group: the group row of the focusing level (or, without one, the
      // outermost group the record opens) shows it.
      Integer group = deepest;
      for (;;) {
        const Integer parent = FDataGroups->GetParentIndex(group);
        if (parent == -1 || (level != -1 && FDataGroups->GetLevel(group) <= level) ||
            FDataGroups->GetFirstRecordListIndex(parent) != position)
          break;
        group = parent;
      }
      if (FDataGroups->MakeVisible(group, false)) ExpandingChanged();
      return FDataGroups->GetItemRef(group).RowIndex;
    }
    if (FDataGroups->MakeVisible(deepest, true)) ExpandingChanged();
    const TcxDataGroupInfo& group = FDataGroups->GetItemRef(deepest);
    return group.RowIndex + position - group.First + 1;
  }
  const TcxDataGroupInfo& group = FDataGroups->GetItemRef(deepest);
  const Boolean visible = FDataGroups->IsVisible(deepest);
  if (level == levelCount) {
    if (visible && group.Expanded) return group.RowIndex + position - group.First + 1;
    level = levelCount - 1;
  }
  if (level < 0) return visible ? group.RowIndex : -1;
  Integer index = deepest;
  while (index != -1 && FDataGroups->GetLevel(index) > level) index = FDataGroups->GetParentIndex(index);
  return index == -1 ? -1 : FDataGroups->GetItemRef(index).RowIndex;
}

void TcxCustomDataControllerInfo::CheckFocusingAfterRebuild() {
  const Integer row = FFocusingInfo->GetRowIndex();
  const Integer recordIndex = FFocusingInfo->GetRecordIndex();
  const Integer count = GetRowCount();
  // Lost: the focused row lies beyond the rows, shows another record (or, grouped, the same
  // record at another level), or no row is focused while the focused record (the dataset
  // cursor's, for a controller that follows one) has a row.
  Boolean lost;
  if (row >= count)
    lost = true;
  else if (row >= 0)
    lost = RowRecordIndex(row) != recordIndex ||
           (IsGrouped() && FFocusingInfo->GetLevel() != -1 && GetRowInfo(row).Level != FFocusingInfo->GetLevel());
  else
    lost = recordIndex >= 0;
  if (lost) ChangeFocusedRow(FocusedRecordRow(true), true);
  if (FPrevFocusingInfo->GetRowIndex() >= count) FPrevFocusingInfo->SetRowIndex(-1);
  TcxCustomDataController* controller = FDataController;
  if (controller->FFilterChanged && GetFocusedRowIndex() == -1 && !controller->FNewItemRowFocused &&
      controller->GetProvider()->GetLocateCount() == 0) {
    controller->FFilterChanged = false;
    FFocusingInfo->Clear();
    ChangeFocusedRow(0, true);
  }
}

void TcxCustomDataControllerInfo::MoveFocusAfterCollapse() {
  const Integer row = FocusedRecordRow(false);
  if (row == GetFocusedRowIndex()) return;
  if (FDataController->IsSmartRefresh()) FFocusingInfo->Clear();
  // Not forced: a controller that follows a dataset moves its cursor onto the group row's record.
  ChangeFocusedRow(row, false);
}

void TcxCustomDataControllerInfo::FocusTopRowAfterSorting() {
  TcxCustomDataController* controller = FDataController;
  if (!controller->FOptions.Contains(dcoFocusTopRowAfterSorting) || controller->FInNotify) return;
  if (!controller->FGroupingChanged && !controller->FSortingChanged && !controller->FJustLoaded) return;
  controller->FJustLoaded = false;
  FFocusingInfo->Clear();
  ChangeFocusedRow(0, true);
  ClearSelection();
}

void TcxCustomDataControllerInfo::Update() {
  TcxCustomDataController* controller = FDataController;
  FInUpdate = true;
  auto finish = [this, controller] {
    FExpandingInfos->Clear();
    if (FExpandingFlag) RecomputeSelectionRows();
    FExpandingFlag = false;
    if (FChanges & (ricSorting | ricExpanding)) controller->RereadPrevSelection();
    FInUpdate = false;
    ReportChanges();
  };
  try {
    // Grouped rows need every record: a grid-mode controller switches to a full load and back.
    const Boolean wasGridMode = controller->IsGridMode();
    controller->GetProvider()->SetLoadAllNeeded(FGroupingFieldList->Count() > 0);
    if (controller->IsGridMode() != wasGridMode) {
      controller->RebuildStructure();
      AddChanges(ricRecordList);
    }
    if (controller->FSortingBySummaryChanged) AddChanges(ricSorting | ricGrouping | ricSummary);
    TComponent* owner = controller->GetOwnerComponent();
    TcxDataSummary* summary = controller->FindSummary();
    const Boolean summaries = summary && (FChanges & ricSummary) && !controller->IsDestroying() &&
                              !(owner && owner->GetComponentState().Contains(csReading));
    const Integer savedStates = SaveStates();
    const Boolean listChanged = (FChanges & (ricRecordList | ricGrouping | ricSorting)) != 0;
    if (FChanges & ricRecordList) {
      RebuildRecordList();
      FilterRecordList();
    }
    // The footer does not depend on the order; with selection-based options it waits for the
    // selection to be restored.
    if (summaries && !summary->HasSelectionOptions()) summary->CalculateFooter();
    if (FChanges & (ricGrouping | ricSorting)) SortRecordList();
    if (listChanged) RebuildPositions();
    if (FChanges & ricGrouping) {
      controller->NotifyControl(new TcxGroupingChangingInfo);
      BuildGroups();
    }
    if (FChanges & (ricGrouping | ricSorting)) FocusTopRowAfterSorting();
    RestoreStates(savedStates);
    CheckFocusingAfterRebuild();
    if (summaries) {
      if (summary->HasSelectionOptions()) summary->CalculateFooter();
      summary->CalculateGroupsAndNotify();
    }
    if ((summaries || (FChanges & (ricGrouping | ricSorting))) && IsSortingBySummary()) {
      // The engine reorders the groups; the focus and the selection follow them.
      std::unique_ptr<TcxSortingBySummaryEngine, orv::FreeDeleter> engine(
          controller->GetSortingBySummaryEngineClass().Create(this));
      engine->Sort();
      engine.reset();
      FExpandingFlag = true;
      CheckFocusingAfterRebuild();
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TcxCustomDataControllerInfo::ReportChanges() {
  const Word changes = FChanges;
  FChanges = 0;
  TcxCustomDataController* controller = FDataController;
  Word bits = 0;
  if (changes & (ricSorting | ricLayout)) bits |= TcxCustomDataController::dccLayout;
  if (changes & (ricRecordList | ricGrouping | ricExpanding)) bits |= TcxCustomDataController::dccData;
  if (changes & (ricFocusedRow | ricCheckFocusedRow | ricRecheckFocus)) bits |= TcxCustomDataController::dccFocus;
  if (changes & ricSelection) bits |= TcxCustomDataController::dccSelection;
  if (changes & ricSummary) bits |= TcxCustomDataController::dccSummary;
  if (controller->FGroupingChanged) bits |= TcxCustomDataController::dccGrouping;
  if (controller->FSortingChanged) bits |= TcxCustomDataController::dccSorting;
  controller->FGroupingChanged = false;
  controller->FSortingChanged = false;
  controller->FFilterChanged = false;
  controller->FSortingBySummaryChanged = false;
  controller->FJustLoaded = false;
  controller->Change(bits);
}

// ---- Rows ----

Integer TcxCustomDataControllerInfo::GetRowCount() const {
  return IsGrouped() ? FDataGroups->GetRowCount() : Integer(FRecordList.size());
}

void TcxCustomDataControllerInfo::CheckRowIndex(Integer rowIndex) const {
  if (rowIndex < 0 || rowIndex >= GetRowCount()) RaiseControllerError(cxSDataRowIndexError);
}

TcxRowInfo TcxCustomDataControllerInfo::GetRowInfo(Integer rowIndex) const {
  CheckRowIndex(rowIndex);
  TcxRowInfo info;
  if (IsGrouped()) {
    info = FDataGroups->GetRowInfo(rowIndex);
    info.RecordIndex = GetFilteredRecordIndex(info.RecordListIndex);
    return info;
  }
  info.Level = 0;
  info.RecordListIndex = rowIndex;
  info.RecordIndex = FRecordList[std::size_t(rowIndex)];
  return info;
}

Integer TcxCustomDataControllerInfo::GetRowIndexByRecordIndex(Integer recordIndex, Boolean makeVisible) {
  const Integer position = GetFilteredIndexOfRecord(recordIndex);
  if (position == -1 || !IsGrouped()) return position;
  const Integer group = FDataGroups->GetDeepestGroupByRecordListIndex(position);
  if (group == -1) return -1;
  if (makeVisible) {
    if (FDataGroups->MakeVisible(group, true)) ExpandingChanged();
  } else if (!FDataGroups->GetItemRef(group).Expanded || !FDataGroups->IsVisible(group)) {
    return -1;
  }
  const TcxDataGroupInfo& info = FDataGroups->GetItemRef(group);
  return info.RowIndex + position - info.First + 1;
}

Integer TcxCustomDataControllerInfo::GetNearestRowIndex(Integer rowIndex) const {
  CheckRowIndex(rowIndex);
  const Integer count = GetRowCount();
  if (!IsGrouped()) return rowIndex + 1 < count ? rowIndex + 1 : rowIndex - 1;
  const Integer level = GetRowInfo(rowIndex).Level;
  if (rowIndex + 1 < count && GetRowInfo(rowIndex + 1).Level == level) return rowIndex + 1;
  if (rowIndex - 1 >= 0 && GetRowInfo(rowIndex - 1).Level == level) return rowIndex - 1;
  if (rowIndex + 1 >= count) return rowIndex - 1 >= 0 ? rowIndex - 1 : rowIndex;
  return rowIndex + 1;
}

Integer TcxCustomDataControllerInfo::GetFilteredRecordIndex(Integer index) const {
  return index >= 0 && index < GetFilteredRecordCount() ? FRecordList[std::size_t(index)] : -1;
}

Integer TcxCustomDataControllerInfo::GetFilteredIndexOfRecord(Integer recordIndex) const {
  if (recordIndex < 0 || std::size_t(recordIndex) >= FRecordPositions.size()) return -1;
  const Integer position = FRecordPositions[std::size_t(recordIndex)];
  // Records added or deleted since the last rebuild are not rows yet.
  return position >= 0 && position < GetFilteredRecordCount() && FRecordList[std::size_t(position)] == recordIndex ? position : -1;
}

// ---- Focus ----

Integer TcxCustomDataControllerInfo::GetFocusedRecordIndex() const {
  const Integer row = FFocusingInfo->GetRowIndex();
  return row >= 0 && row < GetRowCount() ? RowRecordIndex(row) : -1;
}

void TcxCustomDataControllerInfo::ChangeFocusedRow(Integer rowIndex, Boolean force) {
  rowIndex = std::clamp<Integer>(rowIndex, -1, GetRowCount() - 1);
  if (rowIndex == FFocusingInfo->GetRowIndex()) return;
  struct Flag {
    Boolean& Value;
    Boolean Saved;
    ~Flag() { Value = Saved; }
  } focusing{FFocusing, FFocusing};
  FFocusing = true;
  // A series of moves reports its first previous row.
  if (!(FChanges & ricFocusedRow)) FPrevFocusingInfo->Assign(FFocusingInfo);
  Boolean allowed = force;
  if (!allowed) {
    Flag inCanFocus{FInCanFocus, FInCanFocus};
    FInCanFocus = true;
    allowed = FDataController->CanFocusRecord(rowIndex >= 0 ? RowRecordIndex(rowIndex) : -1);
  }
  if (allowed) {
    FDataController->FocusedRowChanging(rowIndex);
    FFocusingInfo->SetRowIndex(rowIndex);
  }
  const Integer count = GetRowCount();
  if (FFocusingInfo->GetRowIndex() >= count) FFocusingInfo->SetRowIndex(-1);
  if (FPrevFocusingInfo->GetRowIndex() >= count) FPrevFocusingInfo->SetRowIndex(-1);
  if (allowed || FPrevFocusingInfo->GetRowIndex() != -1) {
    FFocusingInfo->UpdateFromRow();
    const Integer recordIndex = FFocusingInfo->GetRecordIndex();
    const Integer row = FFocusingInfo->GetRowIndex();
    if (recordIndex >= 0 && (row < 0 || RowRecordIndex(row) != recordIndex)) FFocusingInfo->SetRowIndex(FocusedRecordRow(true));
  }
  if (!FFocusingInfo->IsEqual(FPrevFocusingInfo)) {
    AddChanges(ricFocusedRow | ricRecheckFocus);
    // A single-selection summary counts the focused record.
    if (TcxDataSummary* summary = FDataController->FindSummary();
        summary && summary->HasSelectionOptions() && FDataController->IsSingleSelectMode())
      AddChanges(ricSummary);
    if (FDataController->FNewItemRowFocusingChanged) {
      FPrevFocusingInfo->SetChanged(true);
      FDataController->FNewItemRowFocusingChanged = false;
    }
    FDataController->FocusedRecordChanged(FPrevFocusingInfo->GetRecordIndex(), FFocusingInfo->GetRecordIndex());
    FDataController->SetFocusedSelected(true);
  }
}

void TcxCustomDataControllerInfo::ChangeFocusedRowIndex(Integer rowIndex) {
  FDataController->BeginUpdate();
  try {
    ChangeFocusedRow(rowIndex, false);
  } catch (...) {
    FDataController->EndUpdate();
    throw;
  }
  FDataController->EndUpdate();
}

void TcxCustomDataControllerInfo::ChangeExpanding(Integer rowIndex, Boolean expanded, Boolean recursive) {
  CheckRowIndex(rowIndex);
  TcxCustomDataController* controller = FDataController;
  if (!IsGrouped() || controller->FOptions.Contains(dcoGroupsAlwaysExpanded)) return;
  TcxDataGroupInfo* info;
  const Integer group = FDataGroups->FindByRowIndex(rowIndex, info);
  if (group == -1) return;
  controller->BeginUpdate();
  ScopeExit unlock{[controller] { controller->EndUpdate(); }};
  if (!expanded) {
    // A pending edit of a record that the collapse hides is finished first.
    const Integer focused = GetFocusedRowIndex();
    if (focused > rowIndex) {
      const Integer focusedGroup = FDataGroups->FindRowGroup(focused);
      if (focusedGroup >= group && focusedGroup <= FDataGroups->GetSubtreeEnd(group)) controller->CheckBrowseMode();
    }
  }
  FDataGroups->ChangeExpanding(rowIndex, expanded, recursive);
  ExpandingChanged();
  if (!expanded) MoveFocusAfterCollapse();
}

void TcxCustomDataControllerInfo::AllExpandingChanged(Boolean expanded) {
  TcxCustomDataController* controller = FDataController;
  if (!IsGrouped() || controller->FOptions.Contains(dcoGroupsAlwaysExpanded)) return;
  controller->BeginUpdate();
  ScopeExit unlock{[controller] { controller->EndUpdate(); }};
  if (!expanded && GetFocusedRowIndex() != -1 && GetRowInfo(GetFocusedRowIndex()).Level > 0) controller->CheckBrowseMode();
  FDataGroups->ChangeAllExpanding(expanded);
  ExpandingChanged();
  if (!expanded) MoveFocusAfterCollapse();
}

void TcxCustomDataControllerInfo::FullCollapse() { AllExpandingChanged(false); }

void TcxCustomDataControllerInfo::FullExpand() { AllExpandingChanged(true); }

// ---- Selection ----

TcxDataSelection* TcxCustomDataControllerInfo::GetSelection() {
  if (!FSelection) {
    FSelection = FDataController->GetSelectionClass().Create(FDataController);
    FSelection->SetOnChanged(TNotifyEvent(this, &TcxCustomDataControllerInfo::SelectionChanged));
  }
  return FSelection;
}

void TcxCustomDataControllerInfo::CheckSelection() {
  if (!FSelection || FSelection->Count() == 0 || FDataController->IsGridMode()) return;
  const Integer count = FDataController->GetRecordCount();
  if (count == 0) {
    FSelection->ClearAndNotify();
  } else {
    Boolean removed = false;
    for (Integer i = FSelection->Count() - 1; i >= 0; --i) {
      const TcxDataSelectionItem& item = FSelection->GetItem(i);
      if (item.Level != -1 && item.RecordIndex >= count) {
        FSelection->DeleteItem(i);
        removed = true;
      }
    }
    if (removed) AddChanges(ricSelection);
  }
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ChangeRowSelection(Integer rowIndex, Boolean select) {
  CheckRowIndex(rowIndex);
  TcxDataSelection* selection = GetSelection();
  Integer position;
  const Boolean selected = selection->FindByRowIndex(rowIndex, position);
  if (selected && !select) {
    selection->Delete(position);
  } else if (!selected && select && FDataController->CanSelectRow(rowIndex)) {
    const TcxRowInfo info = GetRowInfo(rowIndex);
    if (IsGrouped() && info.Level < FDataGroups->GetLevelCount())
      selection->AddAndNotify(position, rowIndex, FDataGroups->FindRowGroup(rowIndex), -1);
    else
      selection->AddAndNotify(position, rowIndex, info.RecordIndex, info.Level);
  }
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ClearSelection() {
  if (FSelection && FSelection->Count() > 0) FSelection->ClearAndNotify();
  CheckUpdate();
}

Integer TcxCustomDataControllerInfo::GetSelectedCount() const { return FSelection ? FSelection->Count() : 0; }

Integer TcxCustomDataControllerInfo::GetSelectedRowIndex(Integer index) const {
  return FSelection && index >= 0 && index < FSelection->Count() ? FSelection->GetItem(index).RowIndex : -1;
}

Boolean TcxCustomDataControllerInfo::IsRowSelected(Integer rowIndex) const {
  CheckRowIndex(rowIndex);
  return FSelection && FSelection->IsRowSelected(rowIndex);
}

// ==== Locate objects =========================================================================

void TcxDataControllerLocateObject::Clear() {
  if (FRecordIndex == 0) return;
  const Integer index = FRecordIndex;
  FRecordIndex = 0;
  if (TcxDataStorage* storage = FDataController->GetDataStorage()) storage->RemoveRecord(index);
}

void TcxDataControllerLocateObject::ReadData(TcxValueDefReader* reader) {
  if (FRecordIndex == 0) FRecordIndex = FDataController->GetDataStorage()->AppendInternalRecord();
  FDataController->BeginInternalRecordRead();
  try {
    FDataController->GetDataStorage()->FillRecord(FRecordIndex, reader);
  } catch (...) {
    FDataController->EndInternalRecordRead();
    throw;
  }
  FDataController->EndInternalRecordRead();
}

void TcxDataControllerLocateObject::BeforeDestruction() {
  Clear();
  inherited::BeforeDestruction();
}

Integer TcxDataControllerKeyLocateObject::FindRecordIndex() {
  if (GetRecordIndex() == 0) return -1;
  return GetDataController()->FindRecordIndexByKeys(GetRecordIndex(), FKeyFields);
}

TcxDataControllerGroupLocateObject::TcxDataControllerGroupLocateObject(TcxCustomDataController* dataController)
    : TcxDataControllerLocateObject(dataController) {
  TcxGroupingFieldList* grouping = dataController->GetDataControllerInfo()->GetGroupingFieldList();
  for (Integer i = 0; i < grouping->Count(); ++i)
    if (dataController->IsSortByDisplayText(grouping->GetItem(i).Field)) FIsGroupDataSorted = false;
}

Integer TcxDataControllerGroupLocateObject::FindRecordIndex() {
  if (GetRecordIndex() == 0) return -1;
  TcxCustomDataController* controller = GetDataController();
  controller->SetInternalFind(true);
  try {
    const Integer result = controller->FindRecordIndexByGroupValues(GetRecordIndex(), FLevel + 1, FIsGroupDataSorted);
    controller->SetInternalFind(false);
    return result;
  } catch (...) {
    controller->SetInternalFind(false);
    throw;
  }
}

// ==== Readers ================================================================================

namespace {

// An internal mirror stands for the normal definition it mirrors.
TcxValueDef* NormalDefOf(TcxValueDef* def) {
  if (def && def->InheritsFrom(TcxInternalValueDef::StaticClass())) {
    if (auto* normal = dynamic_cast<TcxValueDef*>(def->GetLinkObject())) return normal;
  }
  return def;
}

}  // namespace

Variant TcxValueDefUnboundReader::ProvideValue(TcxValueDef* def) {
  const Integer index = IndexIn(FDefs, NormalDefOf(def));
  if (index == -1 || index >= Integer(FValues.size()) || FValues[std::size_t(index)].IsEmpty()) return Null();
  return FValues[std::size_t(index)];
}

Boolean TcxValueDefUnboundReader::SkipsValueDef(TcxValueDef* def) { return IsInternalFieldDef(def); }

void TcxValueDefUnboundReader::SetValue(TcxValueDef* def, const Variant& value) {
  Integer index = IndexIn(FDefs, def);
  if (index == -1) {
    FDefs.push_back(def);
    index = Integer(FDefs.size()) - 1;
  }
  if (FValues.size() < FDefs.size()) FValues.resize(FDefs.size());
  FValues[std::size_t(index)] = value;
}

void TcxValueDefUnboundReader::Truncate(Integer count) {
  if (count < Integer(FValues.size())) FValues.resize(std::size_t(std::max<Integer>(count, 0)));
}

AnsiString TcxValueDefRecordReader::ProvideDisplayText(TcxValueDef* def) {
  TcxCustomDataField* field = FieldOfDef(def);
  if (!field || field->GetIsInternal()) return AnsiString();
  return FDataController->GetFieldDisplayText(FRecordIndex, field);
}

Variant TcxValueDefRecordReader::ProvideValue(TcxValueDef* def) {
  TcxCustomDataField* field = FieldOfDef(def);
  return field ? FDataController->GetFieldValue(FRecordIndex, field) : Null();
}

Boolean TcxValueDefRecordReader::SkipsValueDef(TcxValueDef* def) { return IsInternalFieldDef(def); }

// ==== Notifier ===============================================================================

TcxDataControllerNotifier::TcxDataControllerNotifier(TcxCustomDataController* dataController)
    : TComponent(nullptr), FDataController(dataController) {}

void TcxDataControllerNotifier::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component != this) FDataController->RemoveNotification(component);
}

// ==== Controller =============================================================================

TcxCustomDataController::TcxCustomDataController(TComponent* owner)
    : FOwner(owner), FOptions{dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding} {
  FDataStorage = new TcxDataStorage;
  FFields = new TcxCustomDataFieldList(this);
  FInfo = new TcxCustomDataControllerInfo(this);
  ResetDataChangeInfo();
  FNotifier = new TcxDataControllerNotifier(this);
  FFilters = new TcxDataFilterList;
  FGroups = new TcxDataControllerGroups(this);
  FDataStorage->SetOnClearInternalRecords(TNotifyEvent(this, &TcxCustomDataController::StorageCleared));
}

TcxCustomDataController::~TcxCustomDataController() = default;

void TcxCustomDataController::BeforeDestruction() {
  FDestroying = true;
  FreeAndNil(FNotifier);
  FreeAndNil(FSaveObject);
  if (FMasterRelation) {
    if (FMasterRelation->FDetailDataController == this) FMasterRelation->FDetailDataController = nullptr;
    FMasterRelation = nullptr;
  }
  FreeAndNil(FRelations);
  FreeAndNil(FInfo);
  FreeAndNil(FSummary);
  FreeAndNil(FFilter);
  FreeAndNil(FFilters);
  if (FDataStorage) FDataStorage->ClearAll(false);
  FreeAndNil(FFields);
  if (FProvider) FProvider->FreeSavedRecord();
  FreeAndNil(FDataStorage);
  FreeAndNil(FProvider);
  FreeAndNil(FSearch);
  FreeAndNil(FGroups);
  FDataChangedListeners.clear();
  for (TcxDataListenerLink* link : FListenerLinks) link->FDataController = nullptr;
  FListenerLinks.clear();
  inherited::BeforeDestruction();
}

TcxCustomDataProvider* TcxCustomDataController::GetProvider() {
  if (!FProvider) FProvider = GetProviderClass().Create(this);
  return FProvider;
}

void TcxCustomDataController::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxCustomDataController*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  SetOptions(other->FOptions);
  FOnCompare = other->FOnCompare;
  FOnDataChanged = other->FOnDataChanged;
  FOnGroupingChanged = other->FOnGroupingChanged;
  FOnNewRecord = other->FOnNewRecord;
  FOnRecordChanged = other->FOnRecordChanged;
  FOnSortingChanged = other->FOnSortingChanged;
  FOnDetailExpanding = other->FOnDetailExpanding;
  FOnDetailExpanded = other->FOnDetailExpanded;
  FOnDetailCollapsing = other->FOnDetailCollapsing;
  FOnDetailCollapsed = other->FOnDetailCollapsed;
  if (other->FFilter) GetFilter()->AssignCriteria(other->FFilter, false);
  if (other->FSummary) GetSummary()->Assign(other->FSummary);
  SetOnFilterRecord(other->FOnFilterRecord);
}

void TcxCustomDataController::SetOptions(TcxDataControllerOptions value) {
  if (FOptions == value) return;
  FOptions = value;
  Refresh();
}

// ---- Items and fields ----

Integer TcxCustomDataController::GetItemCount() { return FFields->GetItemCount(); }

void TcxCustomDataController::CheckItemRange(Integer itemIndex) {
  if (itemIndex < 0 || itemIndex >= GetItemCount()) RaiseControllerError(cxSDataItemIndexError);
}

TcxCustomDataField* TcxCustomDataController::GetItemField(Integer itemIndex) {
  CheckItemRange(itemIndex);
  return FFields->GetField(itemIndex);
}

TcxCustomDataField* TcxCustomDataController::GetFieldByItem(TObject* item) const { return FFields->FindByItem(item); }

TcxCustomDataField* TcxCustomDataController::AddInternalField(TcxCustomDataField* referenceField,
                                                              TcxValueTypeClass valueTypeClass) {
  TcxCustomDataField* field = GetFieldClass().Create(FFields);
  field->FIsInternal = true;
  FFields->Add(field);
  if (referenceField)
    field->ShareStorageWith(referenceField);
  else
    field->ChangeValueType(valueTypeClass);
  return field;
}

TcxCustomDataField* TcxCustomDataController::AddField() {
  TcxCustomDataField* field = GetFieldClass().Create(FFields);
  FFields->Add(field);
  return field;
}

void TcxCustomDataController::AddItem(TObject* item) {
  if (GetFieldByItem(item)) RaiseControllerError(cxSDataItemExistError);
  AddField()->SetItem(item);
}

void TcxCustomDataController::RemoveItem(TObject* item) {
  TcxCustomDataField* field = GetFieldByItem(item);
  if (!field) return;
  LockUpdate();
  try {
    FInfo->FieldRemoved(field);
    field->Free();
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

void TcxCustomDataController::UpdateItemIndexes() {
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TcxCustomDataField* field = FFields->FindByItem(GetItem(i));
    if (field) field->MoveTo(i);
  }
  Change(dccLayout);
}

TObject* TcxCustomDataController::FindItemByID(Integer id) {
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (GetItemID(GetItem(i)) == id) return GetItem(i);
  return nullptr;
}

TObject* TcxCustomDataController::FindItemByName(const AnsiString& name) {
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (SameText(GetItemName(GetItem(i)), name)) return GetItem(i);
  return nullptr;
}

TObject* TcxCustomDataController::FindItemWithSameID(TObject* item) {
  const Integer id = GetItemID(item);
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (GetItem(i) != item && GetItemID(GetItem(i)) == id) return GetItem(i);
  return nullptr;
}

AnsiString TcxCustomDataController::GetItemName(TObject* item) {
  auto* component = dynamic_cast<TComponent*>(item);
  return component ? component->GetName() : AnsiString();
}

Boolean TcxCustomDataController::IsProviderField(TcxCustomDataField* field) {
  if (!field->GetIsInternal()) return true;
  return field->GetReferenceField() && !field->GetReferenceField()->GetIsInternal();
}

void TcxCustomDataController::UpdateFields() {
  for (Integer i = 0; i < FFields->Count(); ++i) FFields->GetField(i)->FUpdated = false;
  // A field destroyed during a call restarts the pass, which skips the fields handled.
  for (;;) {
    FFields->SetFieldDestroyed(false);
    Boolean restarted = false;
    for (Integer i = 0; i < FFields->Count(); ++i) {
      TcxCustomDataField* field = FFields->GetField(i);
      if (field->FUpdated) continue;
      field->FUpdated = true;
      UpdateField(field);
      if (FFields->GetFieldDestroyed()) {
        restarted = true;
        break;
      }
    }
    if (!restarted) break;
  }
}

void TcxCustomDataController::FieldRemoved(TcxCustomDataField* field) {
  if (FIncrementalFilterField == field) {
    FIncrementalFilterField = nullptr;
    FIncrementalFilterText.clear();
  }
  if (FRecordHandlesField == field) FRecordHandlesField = nullptr;
  if (FSortingBySummaryField == field) FSortingBySummaryField = nullptr;
  if (FSearchField == field) {
    if (FSearch) FSearch->Cancel();
    FSearchField = nullptr;
  }
  if (FFilters) FFilters->RemoveItemByItemLink(field);
  if (FFilter) FFilter->RemoveItemByItemLink(field);
  if (FRelations) FRelations->RemoveField(field);
  if (FSummary && FInfo) FSummary->RemoveItemByField(field);
  if (FInfo) FInfo->FieldRemoved(field);
}

TcxValueTypeClass TcxCustomDataController::GetItemValueTypeClass(Integer itemIndex) {
  return GetItemField(itemIndex)->GetValueTypeClass();
}

void TcxCustomDataController::SetItemValueTypeClass(Integer itemIndex, TcxValueTypeClass valueTypeClass) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  if (SameTypeClass(field->GetValueTypeClass(), valueTypeClass)) return;
  field->ChangeValueType(valueTypeClass);
  if (IsProviderMode()) RebuildStructure();
  FInfo->FieldComparisonChanged(field);
  ItemValueTypeChanged(itemIndex);
}

Boolean TcxCustomDataController::GetItemTextStored(Integer itemIndex) { return GetItemField(itemIndex)->GetTextStored(); }

void TcxCustomDataController::SetItemTextStored(Integer itemIndex, Boolean value) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  if (field->GetTextStored() == value) return;
  field->ChangeTextStored(value);
  if (IsProviderMode()) RebuildStructure();
  FInfo->FieldComparisonChanged(field);
}

void TcxCustomDataController::SetItemNeedsConversion(Integer itemIndex, Boolean value) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  if (field->GetNeedConversion() == value) return;
  field->SetNeedConversion(value);
  FInfo->FieldComparisonChanged(field);
}

// ---- Records and values ----

Integer TcxCustomDataController::GetRecordCount() { return FDataStorage->GetStoredRecordCount(); }

Integer TcxCustomDataController::GetNewItemRecordIndex() {
  if (FNewItemRecordIndex == 0) FNewItemRecordIndex = FDataStorage->AppendInternalRecord();
  return FNewItemRecordIndex;
}

void TcxCustomDataController::CheckRecordRange(Integer recordIndex) {
  const Integer newItemRecord = GetNewItemRecordIndex();
  if (recordIndex >= 0 && recordIndex < GetRecordCount()) return;
  if (recordIndex == newItemRecord) return;
  const Integer saved = GetProvider()->GetSavedRecordIndex();
  if (saved != 0 && recordIndex == saved) return;
  RaiseControllerError(cxSDataRecordIndexError);
}

Variant TcxCustomDataController::GetFieldValue(Integer recordIndex, TcxCustomDataField* field) {
  if (IsProviderField(field)) {
    if (IsProviderMode() && recordIndex >= 0) return GetProvider()->GetValue(recordIndex, field);
    if (IsGridMode()) return GetProvider()->GetExternalDataValue(recordIndex, field);
  }
  TcxValueDef* def = field->GetValueDef();
  return def ? FDataStorage->FetchValue(recordIndex, def) : Null();
}

AnsiString TcxCustomDataController::GetFieldDisplayText(Integer recordIndex, TcxCustomDataField* field) {
  if (IsProviderField(field)) {
    if (IsProviderMode() && recordIndex >= 0) return GetProvider()->GetDisplayText(recordIndex, field);
    if (IsGridMode()) return GetProvider()->GetExternalDataDisplayText(recordIndex, field);
  }
  TcxValueDef* def = field->GetValueDef();
  return def ? FDataStorage->FetchDisplayText(recordIndex, def) : AnsiString();
}

Variant TcxCustomDataController::GetValue(Integer recordIndex, Integer itemIndex) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  CheckRecordRange(recordIndex);
  return GetFieldValue(recordIndex, field);
}

AnsiString TcxCustomDataController::GetDisplayText(Integer recordIndex, Integer itemIndex) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  CheckRecordRange(recordIndex);
  return GetFieldDisplayText(recordIndex, field);
}

void TcxCustomDataController::SetValue(Integer recordIndex, Integer itemIndex, const Variant& value) {
  if (IsGridMode()) return;
  TcxCustomDataField* field = GetItemField(itemIndex);
  CheckRecordRange(recordIndex);
  if (IsProviderMode() && recordIndex >= 0)
    GetProvider()->SetValue(recordIndex, field, value);
  else if (TcxValueDef* def = field->GetValueDef())
    FDataStorage->StoreValue(recordIndex, def, value);
  DataChanged(dcField, itemIndex, recordIndex);
}

void TcxCustomDataController::SetDisplayText(Integer recordIndex, Integer itemIndex, const AnsiString& text) {
  if (IsGridMode()) return;
  TcxCustomDataField* field = GetItemField(itemIndex);
  CheckRecordRange(recordIndex);
  if (IsProviderMode() && recordIndex >= 0)
    GetProvider()->SetDisplayText(recordIndex, field, text);
  else if (TcxValueDef* def = field->GetValueDef())
    FDataStorage->StoreDisplayText(recordIndex, def, text);
  DataChanged(dcField, itemIndex, recordIndex);
}

void TcxCustomDataController::SetRecordCount(Integer value) {
  if (IsGridMode()) return;
  value = std::max<Integer>(value, 0);
  const Integer count = GetRecordCount();
  if (value == count) return;
  if (IsProviderMode()) {
    GetProvider()->SetRecordCount(value);
    return;
  }
  FDataStorage->SetStoredRecordCount(value);
  if (FRelations) FRelations->TrimDetailObjects(value);
  CheckSelection(-1);
  ValidateEditingRecord(-1);
  DataChanged(value > count ? dcNew : dcDeleted, -1, -1);
}

Integer TcxCustomDataController::AppendRecord() {
  if (IsProviderMode()) return GetProvider()->AppendRecord();
  const Integer recordIndex = FDataStorage->AddRecord();
  DataChanged(dcNew, -1, recordIndex);
  return recordIndex;
}

void TcxCustomDataController::InsertRecord(Integer recordIndex) {
  if (recordIndex < 0 || recordIndex > GetRecordCount()) RaiseControllerError(cxSDataRecordIndexError);
  if (IsProviderMode()) {
    GetProvider()->InsertRecord(recordIndex);
    return;
  }
  FDataStorage->InsertRecordAt(recordIndex);
  FInfo->RecordIndexesShifted(recordIndex, 1);
  RecordInserted(recordIndex);
  DataChanged(dcNew, -1, recordIndex);
}

void TcxCustomDataController::DeleteRecord(Integer recordIndex) {
  CheckRecordRange(recordIndex);
  if (GetProvider()->GetEditingRecordIndex() == recordIndex) GetProvider()->SetEditingRecordIndex(cxNullEditingRecordIndex);
  if (IsProviderMode() && recordIndex >= 0) {
    GetProvider()->DeleteRecord(recordIndex);
    return;
  }
  DeleteRecordFromStorage(recordIndex);
  FInfo->RecordIndexesShifted(recordIndex, -1);
  RecordDeleted(recordIndex);
  CheckSelection(recordIndex);
  if (FNewItemRecordIndex == recordIndex) FNewItemRecordIndex = 0;
  DataChanged(dcDeleted, -1, recordIndex);
}

void TcxCustomDataController::DeleteRecordFromStorage(Integer recordIndex) { FDataStorage->RemoveRecord(recordIndex); }

void TcxCustomDataController::RecordDeleted(Integer recordIndex) {
  ValidateEditingRecord(recordIndex);
  if (FRelations) {
    FRelations->RecordDeleted(recordIndex);
    ReindexDetailMasters(recordIndex);
  }
  // The bookmark follows its record: gone with it, or one place down when a record before it went.
  if (recordIndex >= 0 && FBookmarkRecordIndex >= 0) {
    if (recordIndex == FBookmarkRecordIndex) {
      ClearBookmark();
      Change(dccBookmark);
    } else if (recordIndex < FBookmarkRecordIndex) {
      --FBookmarkRecordIndex;
    }
  }
}

void TcxCustomDataController::ValidateEditingRecord(Integer recordIndex) {
  TcxCustomDataProvider* provider = GetProvider();
  const Integer editing = provider->GetEditingRecordIndex();
  if (editing == cxNullEditingRecordIndex) return;
  if (recordIndex == -1 || (recordIndex >= 0 && recordIndex <= editing) || editing >= GetRecordCount())
    provider->ResetEditing();
}

Variant TcxCustomDataController::GetRecordID(Integer recordIndex) {
  if (recordIndex < 0 || recordIndex >= GetRecordCount()) RaiseControllerError(cxSDataRecordIndexError);
  if (FDataStorage->GetKeepRecordIDs()) return Variant(FDataStorage->RecordIDOf(recordIndex));
  if (IsProviderMode() && GetProvider()->IsRecordIdSupported()) return GetProvider()->GetRecordId(recordIndex);
  return Null();
}

Variant TcxCustomDataController::GetRecordKeyValues(Integer recordIndex, const std::vector<TcxCustomDataField*>& keyFields) {
  if (keyFields.empty()) return IsProviderMode() ? GetProvider()->GetRecordId(recordIndex) : Null();
  if (keyFields.size() == 1) return GetFieldValue(recordIndex, keyFields.front());
  Variant result = VarArrayCreate(0, Integer(keyFields.size()) - 1, varVariant);
  for (std::size_t i = 0; i < keyFields.size(); ++i) result.PutElement(Integer(i), GetFieldValue(recordIndex, keyFields[i]));
  return result;
}

void TcxCustomDataController::CopyRecordValues(Integer fromRecordIndex, Integer toRecordIndex) {
  TcxValueDefRecordReader reader(this, fromRecordIndex);
  FDataStorage->FillRecord(toRecordIndex, &reader);
  if (IsProviderMode() && toRecordIndex >= 0) {
    for (Integer i = 0; i < FFields->Count(); ++i) {
      TcxCustomDataField* field = FFields->GetField(i);
      if (!field->GetIsInternal() && field->GetValueDef()) WriteStoredValueToProvider(toRecordIndex, field);
    }
  }
  if (toRecordIndex >= 0) DataChanged(dcRecord, -1, toRecordIndex);
}

void TcxCustomDataController::WriteStoredValueToProvider(Integer recordIndex, TcxCustomDataField* field) {
  TcxValueDef* def = field->GetValueDef();
  GetProvider()->SetValue(recordIndex, field, FDataStorage->FetchValue(recordIndex, def));
  if (def->GetEffectiveKeepsText())
    GetProvider()->SetDisplayText(recordIndex, field, FDataStorage->FetchDisplayText(recordIndex, def));
}

void TcxCustomDataController::AfterReadRecord(Integer recordIndex) { GetProvider()->RecordRead(recordIndex); }

void TcxCustomDataController::AppendRecordFromReader(TcxValueDefReader* reader) {
  if (IsProviderMode()) {
    GetProvider()->AppendRecord();
    return;
  }
  const Integer recordIndex = FDataStorage->AddRecord();
  FDataStorage->FillRecord(recordIndex, reader);
  AfterReadRecord(recordIndex);
}

namespace {

// A group row shows the value of its level's grouping item.
Integer RowItemIndex(TcxCustomDataController* controller, const TcxRowInfo& rowInfo, Integer itemIndex) {
  TcxGroupingFieldList* grouping = controller->GetDataControllerInfo()->GetGroupingFieldList();
  // (The new-item row's record is internal, negative.)
  if (rowInfo.Level >= 0 && rowInfo.Level < grouping->Count() && rowInfo.RecordIndex >= 0)
    return grouping->GetItem(rowInfo.Level).Field->GetIndex();
  return itemIndex;
}

}  // namespace

void TcxCustomDataController::GetRowDisplayText(const TcxRowInfo& rowInfo, Integer& itemIndex, AnsiString& text) {
  itemIndex = RowItemIndex(this, rowInfo, itemIndex);
  text = GetDisplayText(rowInfo.RecordIndex, itemIndex);
}

void TcxCustomDataController::GetRowValue(const TcxRowInfo& rowInfo, Integer itemIndex, Variant& value) {
  value = GetValue(rowInfo.RecordIndex, RowItemIndex(this, rowInfo, itemIndex));
}

// ---- Modes ----

Boolean TcxCustomDataController::IsDestroying() {
  return FDestroying || (FOwner && FOwner->GetComponentState().Contains(csDestroying));
}

Boolean TcxCustomDataController::IsLoading() { return FOwner && FOwner->GetComponentState().Contains(csLoading); }

Boolean TcxCustomDataController::NeedsStructureUpdate() { return IsProviderMode() || FStructureRecreated; }

Boolean TcxCustomDataController::IsProviderMode() { return GetProvider()->GetCustomDataSource() != nullptr; }

Boolean TcxCustomDataController::IsUnboundMode() {
  return GetProvider()->IsCustomDataSourceSupported() && !GetProvider()->GetCustomDataSource();
}

// ---- Loading and structure ----

void TcxCustomDataController::LoadData() {
  if (FRelations) FRelations->FreeDetailObjects();
  FDataStorage->ClearAll(false);
  TcxCustomDataProvider* provider = GetProvider();
  if (provider->IsActive() && !IsIncrementalLoadMode()) {
    if (!IsDetailTemplate()) ReadRecords();
    FInLoadStorage = true;
    CheckSelection(-1);
    FInLoadStorage = false;
    CheckFocusedRow();
  }
  Change(dccData);
  DataLoaded();
}

void TcxCustomDataController::ReadRecords() {
  TcxCustomDataProvider* provider = GetProvider();
  if (IsGridMode()) {
    FDataStorage->StartLoading();
    provider->LoadDataBuffer();
    FDataStorage->FinishLoading();
    return;
  }
  provider->Freeze();
  try {
    provider->SavePos();
    provider->First();
    if (provider->GetFieldsRecreated()) UpdateFields();
    FDataStorage->StartLoading();
    try {
      if (IsProviderMode()) {
        provider->LoadRecordHandles();
      } else {
        std::unique_ptr<TcxValueDefReader, orv::FreeDeleter> reader(provider->CreateValueDefReader());
        while (!provider->IsEOF()) {
          const Integer recordIndex = FDataStorage->AddRecord();
          FDataStorage->FillRecord(recordIndex, reader.get());
          AfterReadRecord(recordIndex);
          provider->Next();
        }
      }
    } catch (...) {
      FDataStorage->FinishLoading();
      throw;
    }
    FDataStorage->FinishLoading();
    FJustLoaded = provider->GetActiveChanging();
    provider->RestorePos();
  } catch (...) {
    provider->Unfreeze();
    throw;
  }
  provider->Unfreeze();
}

void TcxCustomDataController::DataLoaded() { NotifyDataLoaded(); }

void TcxCustomDataController::StorageCleared(TObject* sender) {
  if (FProvider) FProvider->FSavedRecordIndex = 0;
  FNewItemRecordIndex = 0;
}

void TcxCustomDataController::RebuildStructure() {
  BeginUpdate();
  try {
    TcxCustomDataProvider* provider = GetProvider();
    provider->ResetEditing();
    if (!IsUnboundMode() || (FInSetDataSource && !provider->GetCustomDataSource())) FDataStorage->ClearAll(false);
    CheckSelection(-1);
    FDataStorage->SetKeepOnlyStoredValues(IsProviderMode() || IsGridMode());
    FDataStorage->SetKeepRecordIDs(IsUnboundMode() && UsesRecordID());
    if (!provider->GetCustomDataSource()) {
      if (FRecordHandlesField) FRecordHandlesField->Free();
    } else if (!FRecordHandlesField) {
      FRecordHandlesField = AddInternalField(nullptr, TcxLargeIntValueType::StaticClass());
    }
    FStructureRecreated = true;
    LayoutChanged(2);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomDataController::ActiveChanged(Boolean active) {
  FActive = active;
  UpdateItems(GetProvider()->IsActive());
}

void TcxCustomDataController::DataScrolled(Integer distance) { CheckFocusedRow(); }

void TcxCustomDataController::LayoutChanged(Integer kinds) { UpdateItems(GetProvider()->IsActive()); }

void TcxCustomDataController::UpdateItems(Boolean force) {
  if (FInUpdateItems) return;
  FInUpdateItems = true;
  try {
    // While the rows are locked the reload waits for the unlock.
    if (FInfo->LockCount() > 0) FStructureChanged = true;
    if (NeedsStructureUpdate()) UpdateStructure(force);
  } catch (...) {
    FInUpdateItems = false;
    throw;
  }
  FInUpdateItems = false;
}

void TcxCustomDataController::UpdateStructure(Boolean force) {
  BeginUpdate();
  try {
    if (NeedsStructureUpdate()) {
      if (force || GetProvider()->AreFieldsAvailable()) {
        if (FUpdateFieldsLockCount > 0)
          FUpdateFieldsPending = true;
        else if (!GetProvider()->IsGridModeUpdating())
          UpdateFields();
      }
      if (!FStructureChanged) LoadData();
    }
    FInfo->Refresh();
  } catch (...) {
    FStructureRecreated = false;
    EndUpdate();
    throw;
  }
  FStructureRecreated = false;
  EndUpdate();
}

void TcxCustomDataController::BeginLoad() {
  LockUpdate();
  SavePosition();
  FDataStorage->StartLoading();
}

void TcxCustomDataController::EndLoad() {
  FDataStorage->FinishLoading();
  RestorePosition();
  UnlockUpdate();
  CheckFocusedRow();
  FInfo->Refresh();
}

void TcxCustomDataController::Loaded() {
  if (FFilter && FFilter->FChangedWhileLoading) {
    FFilter->FChangedWhileLoading = false;
    FilterChanged();
  }
  if (FDataChangedEventPending) DoDataChanged();
  if (FAfterSummaryPending && FSummary) {
    FAfterSummaryPending = false;
    FSummary->DoAfterSummary();
  }
}

void TcxCustomDataController::Refresh() {
  LockUpdate();
  try {
    FInfo->Refresh();
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

// ---- Data stream ----

namespace {

const char* const kDataControllerSignature = "DataController1";

// The record stream carries the definitions in the order of their items.
int CompareDefsByItem(void* item1, void* item2) {
  TcxCustomDataField* a = FieldOfDef(static_cast<TcxValueDef*>(item1));
  TcxCustomDataField* b = FieldOfDef(static_cast<TcxValueDef*>(item2));
  const Integer ia = a ? a->GetIndex() : 0, ib = b ? b->GetIndex() : 0;
  return ia < ib ? -1 : ia > ib ? 1 : 0;
}

}  // namespace

void TcxCustomDataController::SaveDataToStream(TStream* stream) {
  TcxValueDefs* defs = FDataStorage->GetValueDefs();
  std::vector<TcxValueDef*> streamed;
  for (Integer i = 0; i < defs->GetCount(); ++i) {
    TcxValueDef* def = defs->GetItem(i);
    const Boolean stored = !IsProviderMode() && !IsInternalFieldDef(def);
    def->SetStreamed(stored);
    if (stored) streamed.push_back(def);
  }
  std::stable_sort(streamed.begin(), streamed.end(), [](TcxValueDef* a, TcxValueDef* b) { return CompareDefsByItem(a, b) < 0; });
  SaveAnsiText(stream, kDataControllerSignature);
  orv::WriteInteger(stream, Integer(streamed.size()));
  for (TcxValueDef* def : streamed) SaveAnsiText(stream, TClass(def->GetValueTypeClass())->ClassName());
  const Integer count = GetRecordCount();
  orv::WriteInteger(stream, count);
  FDataStorage->StartStreaming(&CompareDefsByItem);
  try {
    for (Integer i = 0; i < count; ++i) FDataStorage->SaveRecord(i, stream);
  } catch (...) {
    FDataStorage->FinishStreaming();
    throw;
  }
  FDataStorage->FinishStreaming();
}

void TcxCustomDataController::LoadDataFromStream(TStream* stream) {
  if (IsProviderMode()) RaiseControllerError(cxSDataProviderModeError);
  TcxValueDefs* defs = FDataStorage->GetValueDefs();
  std::vector<TcxValueDef*> streamed;
  for (Integer i = 0; i < defs->GetCount(); ++i) {
    TcxValueDef* def = defs->GetItem(i);
    const Boolean stored = !IsInternalFieldDef(def);
    def->SetStreamed(stored);
    if (stored) streamed.push_back(def);
  }
  std::stable_sort(streamed.begin(), streamed.end(), [](TcxValueDef* a, TcxValueDef* b) { return CompareDefsByItem(a, b) < 0; });
  auto invalid = [] { RaiseControllerError(cxSDataInvalidStreamFormat); };
  // The header is checked before anything changes: a foreign or cut stream leaves the data.
  try {
    if (LoadAnsiText(stream) != kDataControllerSignature) invalid();
    if (orv::ReadInteger(stream) != Integer(streamed.size())) invalid();
    for (TcxValueDef* def : streamed)
      if (LoadAnsiText(stream) != TClass(def->GetValueTypeClass())->ClassName()) invalid();
  } catch (const EReadError&) {
    invalid();
  }
  const Integer count = orv::ReadInteger(stream);
  if (count < 0) invalid();
  orv::CheckReadCount(stream, count, 1);
  LockUpdate();
  try {
    ClearSelection();
    FDataStorage->SetStoredRecordCount(count);
    FDataStorage->StartStreaming(&CompareDefsByItem);
    try {
      for (Integer i = 0; i < count; ++i) FDataStorage->LoadRecord(i, stream);
    } catch (...) {
      FDataStorage->FinishStreaming();
      throw;
    }
    FDataStorage->FinishStreaming();
    CheckSelection(-1);
    DataChanged(dcTotal, -1, -1);
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

// ---- Update cycle ----

void TcxCustomDataController::ResetDataChangeInfo() {
  FDataChangeKind = dcTotal;
  FDataChangeItemIndex = -1;
  FDataChangeRecordIndex = -1;
  FDataChangePending = false;
}

Boolean TcxCustomDataController::IsSingleRecordPending() const {
  if (FDataChangeRecordIndex != -1) return true;
  return FNewItemRecordIndex == -1 && FUseNewItemRowForEditing && FNewItemRowFocused;
}

void TcxCustomDataController::DataChanged(TcxDataChange kind, Integer itemIndex, Integer recordIndex) {
  if (FDestroying) return;
  // Changes merge while the controller is locked. A merged change never narrows: two items of
  // one record make a record change, two records (or a record change beside added or deleted
  // records) the whole data, and the whole data stays the whole data until it is delivered.
  auto structural = [](TcxDataChange k) { return k == dcNew || k == dcDeleted || k == dcTotal; };
  if (!FDataChangePending) {
    FDataChangeKind = kind;
    FDataChangeItemIndex = itemIndex;
    FDataChangeRecordIndex = recordIndex;
  } else if (FDataChangeKind == dcTotal || (kind != FDataChangeKind && (structural(kind) || structural(FDataChangeKind)))) {
    FDataChangeKind = dcTotal;
    FDataChangeItemIndex = -1;
    FDataChangeRecordIndex = -1;
  } else if (recordIndex != FDataChangeRecordIndex) {
    if (!structural(kind)) FDataChangeKind = dcTotal;
    FDataChangeItemIndex = -1;
    FDataChangeRecordIndex = -1;
  } else if (structural(kind)) {
    if (itemIndex != FDataChangeItemIndex) FDataChangeItemIndex = -1;
  } else if (!(kind == dcField && FDataChangeKind == dcField && itemIndex == FDataChangeItemIndex)) {
    FDataChangeKind = dcRecord;
    FDataChangeItemIndex = -1;
  }
  FDataChangePending = true;
  switch (kind) {
    case dcTotal:
      UpdateStructure(false);
      break;
    case dcNew:
    case dcDeleted:
      FInfo->RecordsCountChanged();
      FInfo->Refresh();
      break;
    default:
      FInfo->Refresh();
      break;
  }
  CheckChanges();
}

void TcxCustomDataController::LockUpdate() { FInfo->BeginUpdate(); }

void TcxCustomDataController::UnlockUpdate() {
  FInfo->EndUpdate();
  CheckChanges();
}

void TcxCustomDataController::Change(Word changes) {
  FChanges |= changes;
  CheckChanges();
}

void TcxCustomDataController::CheckChanges() {
  if (!FInfo || FInfo->LockCount() != 0 || FInfo->IsInUpdate()) return;
  BeforeApplyChanges();
  if (FChanges == 0) return;
  if (FStructureChanged) {
    FStructureChanged = false;
    LayoutChanged(1);
  }
  ApplyChanges();
}

void TcxCustomDataController::ApplyChanges() {
  const Word changes = FChanges;
  FChanges = 0;
  if (changes == 0) return;
  if (changes & dccData) {
    if (FDataChangeKind == dcField && FDataChangeItemIndex == -1) FDataChangeKind = dcRecord;
    if ((FDataChangeKind == dcField || FDataChangeKind == dcRecord) && FDataChangeRecordIndex == -1 &&
        !(FNewItemRecordIndex == -1))
      FDataChangeKind = dcTotal;
    try {
      NotifyControl(new TcxDataChangedInfo(FDataChangeKind, FDataChangeItemIndex, FDataChangeRecordIndex));
      DoDataChanged();
    } catch (...) {
      ResetDataChangeInfo();
      throw;
    }
    ResetDataChangeInfo();
  } else if (changes & (dccLayout | dccDetail | dccSummary)) {
    NotifyControl(new TcxLayoutChangedInfo);
  } else if (changes & dccUpdateRecord) {
    NotifyControl(new TcxUpdateRecordInfo(GetFocusedRecordIndex()));
    if (FSearch) FSearch->Cancel();
  }
  if (changes & dccFocus) {
    TcxDataFocusingInfo* prev = FInfo->GetPrevFocusingInfo();
    TcxDataFocusingInfo* current = FInfo->GetFocusingInfo();
    const Integer prevRow = prev->GetRowIndex(), prevRecord = prev->GetRecordIndex(), changed = prev->GetChanged();
    const Integer row = current->GetRowIndex(), record = current->GetRecordIndex();
    prev->Assign(current);
    if (prevRow != row) NotifyControl(new TcxFocusedRowChangedInfo(prevRow, row));
    if (prevRecord >= 0 || record >= 0 || changed) {
      NotifyControl(new TcxFocusedRecordChangedInfo(prevRecord, changed, row, prevRow, record));
      if (FSearch) FSearch->Cancel();
    }
  }
  if (changes & dccSelection) {
    const Integer count = GetSelectedCount();
    const Integer single = count == 1 ? GetSelectedRowIndex(0) : -1;
    const Boolean pair = FPrevSelectedCount <= 1;
    const Integer previous = FPrevSelectedRowIndex;
    FPrevSelectedCount = count;
    FPrevSelectedRowIndex = single;
    NotifyControl(pair ? new TcxSelectionChangedInfo(previous, single) : new TcxSelectionChangedInfo);
  }
  if (changes & dccSearch) NotifyControl(new TcxSearchChangedInfo);
  if (changes & dccBookmark) NotifyControl(new TcxBookmarkChangedInfo);
  const Boolean reading = FOwner && FOwner->GetComponentState().Contains(csReading);
  if ((changes & dccGrouping) && !reading && FOnGroupingChanged) FOnGroupingChanged(this);
  if ((changes & dccSorting) && !reading && !FInSortingChangedEvent && FOnSortingChanged) {
    FInSortingChangedEvent = true;
    try {
      FOnSortingChanged(this);
    } catch (...) {
      FInSortingChangedEvent = false;
      throw;
    }
    FInSortingChangedEvent = false;
  }
}

void TcxCustomDataController::RereadPrevSelection() {
  if (FPrevSelectedCount != 1) return;
  FPrevSelectedCount = GetSelectedCount();
  FPrevSelectedRowIndex = FPrevSelectedCount == 1 ? GetSelectedRowIndex(0) : -1;
}

void TcxCustomDataController::UpdateControl(TcxUpdateControlInfo* info) {
  if (FOnUpdateControl) FOnUpdateControl(info);
}

void TcxCustomDataController::NotifyControl(TcxUpdateControlInfo* info) {
  const Boolean saved = FInNotify;
  FInNotify = true;
  try {
    UpdateControl(info);
  } catch (...) {
    info->Free();
    FInNotify = saved;
    throw;
  }
  info->Free();
  FInNotify = saved;
}

void TcxCustomDataController::DoDataChanged() {
  if (IsDestroying()) return;
  if (!FOnDataChanged && !FOnRecordChanged && FDataChangedListeners.empty()) return;
  if (IsLoading()) {
    FDataChangedEventPending = true;
    return;
  }
  FDataChangedEventPending = false;
  NotifyDataChanged();
}

void TcxCustomDataController::NotifyDataChanged() {
  if (IsDetailTemplate()) return;
  if ((FDataChangeKind == dcField || FDataChangeKind == dcRecord) && IsSingleRecordPending() && FOnRecordChanged)
    FOnRecordChanged(this, FDataChangeRecordIndex, FDataChangeItemIndex);
  if (FOnDataChanged) FOnDataChanged(this);
  if (IsGridMode() && GetProvider()->GetLocateCount() > 0) return;
  // A listener may remove itself or others while the list is called.
  const std::vector<TDataChangedListener> listeners = FDataChangedListeners;
  for (const TDataChangedListener& listener : listeners) listener.Method(listener.Sender);
}

void TcxCustomDataController::RemoveNotification(TComponent* component) { FFields->ComponentRemoved(component); }

void TcxCustomDataController::FilterChanged() {
  FFocusCheckAfterFilterRequested = true;
  Cancel();
  Refresh();
  CheckBookmark(-1);
  RereadPrevSelection();
}

void TcxCustomDataController::AddDataChangedListener(TObject* sender, const TNotifyEvent& method) {
  FDataChangedListeners.push_back({sender, method});
}

void TcxCustomDataController::RemoveDataChangedListener(TObject* sender, const TNotifyEvent& method) {
  for (auto it = FDataChangedListeners.begin(); it != FDataChangedListeners.end(); ++it) {
    if (it->Sender == sender && it->Method == method) {
      FDataChangedListeners.erase(it);
      return;
    }
  }
}

void TcxCustomDataController::BeginLocate() {
  ++FLocateCount;
  GetProvider()->LockLocate();
}

void TcxCustomDataController::EndLocate() {
  GetProvider()->UnlockLocate();
  --FLocateCount;
}

void TcxCustomDataController::BeginUpdateFields() { ++FUpdateFieldsLockCount; }

void TcxCustomDataController::EndUpdateFields() {
  if (FUpdateFieldsLockCount > 0) --FUpdateFieldsLockCount;
  if (FUpdateFieldsLockCount == 0 && FUpdateFieldsPending) {
    FUpdateFieldsPending = false;
    LayoutChanged(1);
  }
}

void TcxCustomDataController::BeginSaveState() {
  if (FSaveStateCount++ != 0) return;
  BeginUpdate();
  try {
    FSaveObject = new TcxSaveObject;
    FSaveObject->Save(this);
  } catch (...) {
    FreeAndNil(FSaveObject);
    --FSaveStateCount;
    EndUpdate();
    throw;
  }
}

void TcxCustomDataController::EndSaveState() {
  if (FSaveStateCount == 0 || --FSaveStateCount != 0) return;
  ScopeExit end{[this] {
    FreeAndNil(FSaveObject);
    EndUpdate();
  }};
  if (FSaveObject) FSaveObject->Restore(this);
}

void TcxCustomDataController::EndDeferDataSetRefresh() {
  if (FDataSetRefreshDeferCount == 0 || --FDataSetRefreshDeferCount != 0) return;
  DeferredDataSetRefresh();
}

TcxDataListenerLink* TcxCustomDataController::AddListenerLink() {
  auto* link = new TcxDataListenerLink(this);
  FListenerLinks.push_back(link);
  return link;
}

void TcxCustomDataController::RemoveListenerLink(TcxDataListenerLink*& link) {
  if (!link) return;
  if (TcxCustomDataController* controller = link->FDataController) {
    auto& links = controller->FListenerLinks;
    links.erase(std::remove(links.begin(), links.end(), link), links.end());
  }
  FreeAndNil(link);
}

// ---- Events ----

void TcxCustomDataController::DoFilterRecord(Integer recordIndex, Boolean& accept) {
  accept = true;
  if (FOnFilterRecord) FOnFilterRecord(this, recordIndex, accept);
}

void TcxCustomDataController::DoNewRecord(Integer recordIndex) {
  if (FOnNewRecord) FOnNewRecord(this, recordIndex);
}

void TcxCustomDataController::DoDetailExpanding(Integer recordIndex, Boolean& allow) {
  if (FOnDetailExpanding) FOnDetailExpanding(this, recordIndex, allow);
}

void TcxCustomDataController::DoDetailExpanded(Integer recordIndex) {
  if (FOnDetailExpanded) FOnDetailExpanded(this, recordIndex);
}

void TcxCustomDataController::DoDetailCollapsing(Integer recordIndex, Boolean& allow) {
  if (FOnDetailCollapsing) FOnDetailCollapsing(this, recordIndex, allow);
}

void TcxCustomDataController::DoDetailCollapsed(Integer recordIndex) {
  if (FOnDetailCollapsed) FOnDetailCollapsed(this, recordIndex);
}

void TcxCustomDataController::SetOnCompare(const TcxDataControllerCompareEvent& value) { FOnCompare = value; }

void TcxCustomDataController::SetOnFilterRecord(const TcxDataFilterRecordEvent& value) {
  if (FOnFilterRecord == value) return;
  FOnFilterRecord = value;
  // Through the bound criteria, so that a pending edit is posted and OnChanged fires as for
  // any other filter change.
  GetFilter()->MarkChanged();
}

// ---- Focus and selection ----

Integer TcxCustomDataController::GetCurrentRecordIndex() {
  TcxCustomDataProvider* provider = GetProvider();
  if (provider->HasOpenDataSet() && provider->IsSyncMode()) return provider->GetRecordIndex();
  return GetFocusedRecordIndex();
}

Boolean TcxCustomDataController::ChangeFocusedRowIndex(Integer rowIndex) {
  TcxCustomDataProvider* provider = GetProvider();
  if (provider->IsSyncMode() && !provider->IsInserting() && rowIndex != GetFocusedRowIndex() && !CanChangeFocusedRow())
    return false;
  FInfo->ChangeFocusedRowIndex(rowIndex);
  return true;
}

Boolean TcxCustomDataController::ChangeFocusedRecordIndex(Integer recordIndex) {
  return ChangeFocusedRowIndex(GetRowIndexByRecordIndex(recordIndex, true));
}

void TcxCustomDataController::GotoFirst() {
  if (IsGridMode())
    GetProvider()->First();
  else
    ChangeFocusedRowIndex(0);
}

void TcxCustomDataController::GotoLast() {
  if (IsGridMode())
    GetProvider()->Last();
  else
    ChangeFocusedRowIndex(GetRowCount() - 1);
}

void TcxCustomDataController::GotoNext() {
  if (IsGridMode())
    GetProvider()->Next();
  else
    ChangeFocusedRowIndex(GetFocusedRowIndex() + 1);
}

void TcxCustomDataController::GotoPrev() {
  if (IsGridMode())
    GetProvider()->Prior();
  else
    ChangeFocusedRowIndex(std::max<Integer>(GetFocusedRowIndex() - 1, 0));
}

void TcxCustomDataController::MoveBy(Integer distance) {
  if (IsGridMode()) {
    GetProvider()->MoveBy(distance);
    return;
  }
  const Int64 row = Int64(GetFocusedRowIndex()) + distance;
  ChangeFocusedRowIndex(Integer(std::clamp<Int64>(row, 0, std::max<Integer>(GetRowCount() - 1, 0))));
}

Boolean TcxCustomDataController::IsBOF() {
  if (IsGridMode()) return GetProvider()->IsBOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == 0;
}

Boolean TcxCustomDataController::IsEOF() {
  if (IsGridMode()) return GetProvider()->IsEOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == GetRowCount() - 1;
}

void TcxCustomDataController::Scroll(Integer distance) {
  if (IsGridMode()) GetProvider()->Scroll(distance);
}

void TcxCustomDataController::CheckFocusedRow() {
  if (GetProvider()->GetLocateCount() > 0 && FInfo->IsFocusing()) return;
  FInfo->CheckFocusedRow();
}

Integer TcxCustomDataController::GetRecordIndexForEditing() {
  if (FUseNewItemRowForEditing && FNewItemRowFocused) return GetNewItemRecordIndex();
  if (GetFocusedRowIndex() == -1) return cxNullEditingRecordIndex;
  return GetFocusedRecordIndex();
}

Integer TcxCustomDataController::GetEditingRecordIndex() {
  const Integer editing = GetProvider()->GetEditingRecordIndex();
  return editing != cxNullEditingRecordIndex ? editing : GetRecordIndexForEditing();
}

void TcxCustomDataController::SetMultiSelect(Boolean value) {
  if (FMultiSelect == value) return;
  FMultiSelect = value;
  FFocusedSelected = true;
  LockUpdate();
  try {
    if (!value)
      FInfo->ClearSelection();
    else if (GetFocusedRowIndex() != -1)
      FInfo->ChangeRowSelection(GetFocusedRowIndex(), true);
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

void TcxCustomDataController::SetFocusedSelected(Boolean value) {
  if (!IsSingleSelectMode() || FFocusedSelected == value) return;
  FFocusedSelected = value;
  if (GetFocusedRowIndex() != -1) {
    FPrevSelectedCount = 1;
    FPrevSelectedRowIndex = GetFocusedRowIndex();
  }
  Change(dccSelection);
}

Integer TcxCustomDataController::GetSelectedCount() {
  if (!IsSingleSelectMode()) return FInfo->GetSelectedCount();
  return GetFocusedRowIndex() != -1 && FFocusedSelected ? 1 : 0;
}

Integer TcxCustomDataController::GetSelectedRowIndex(Integer index) {
  if (!IsSingleSelectMode()) return FInfo->GetSelectedRowIndex(index);
  return index == 0 && GetSelectedCount() == 1 ? GetFocusedRowIndex() : -1;
}

Boolean TcxCustomDataController::IsRowSelected(Integer rowIndex) {
  if (!IsSingleSelectMode()) return FInfo->IsRowSelected(rowIndex);
  return rowIndex != -1 && rowIndex == GetFocusedRowIndex() && FFocusedSelected;
}

void TcxCustomDataController::ChangeRowSelection(Integer rowIndex, Boolean select) {
  if (!IsSingleSelectMode()) FInfo->ChangeRowSelection(rowIndex, select);
}

void TcxCustomDataController::ClearSelection() { FInfo->ClearSelection(); }

void TcxCustomDataController::SelectAll() {
  if (GetRowCount() > 0) SelectRows(0, GetRowCount() - 1);
}

void TcxCustomDataController::SelectRows(Integer startRowIndex, Integer endRowIndex) {
  if (IsSingleSelectMode()) return;
  if (startRowIndex > endRowIndex) std::swap(startRowIndex, endRowIndex);
  LockUpdate();
  try {
    for (Integer row = startRowIndex; row <= endRowIndex; ++row) FInfo->ChangeRowSelection(row, true);
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

void TcxCustomDataController::CheckSelection(Integer deletedRecordIndex) { FInfo->CheckSelection(); }

void TcxCustomDataController::SetSelectionAnchor(Integer rowIndex) {
  FInfo->CheckRowIndex(rowIndex);
  GetSelection()->SetAnchorRowIndex(rowIndex);
}

Integer TcxCustomDataController::GetSelectionAnchorRowIndex() { return GetSelection()->GetAnchorRowIndex(); }

void TcxCustomDataController::SelectFromAnchor(Integer rowIndex, Boolean keepSelection) {
  const Integer anchor = GetSelectionAnchorRowIndex();
  if (anchor == -1) return;
  LockUpdate();
  ScopeExit unlock{[this] { UnlockUpdate(); }};
  if (!keepSelection) ClearSelection();
  GetSelection()->SetAnchorRowIndex(anchor);
  SelectRows(anchor, rowIndex);
}

void TcxCustomDataController::SelectFocusedRow() {
  const Integer row = GetFocusedRowIndex();
  LockUpdate();
  ScopeExit unlock{[this] { UnlockUpdate(); }};
  ClearSelection();
  if (row == -1) return;
  SetSelectionAnchor(row);
  ChangeRowSelection(row, true);
}

void TcxCustomDataController::SyncSelectionWithFocusedRow() {
  if (IsSingleSelectMode()) return;
  LockUpdate();
  ScopeExit unlock{[this] { UnlockUpdate(); }};
  ClearSelection();
  if (GetFocusedRowIndex() != -1) ChangeRowSelection(GetFocusedRowIndex(), true);
}

Boolean TcxCustomDataController::FocusSelectedRow(Integer selectedIndex) {
  const Integer row = GetSelectedRowIndex(selectedIndex);
  if (row < 0 || row >= GetRowCount()) return false;
  ChangeFocusedRowIndex(row);
  return GetFocusedRowIndex() == row;
}

void TcxCustomDataController::ForEachRow(Boolean selectedRowsOnly, const TcxDataControllerEachRowProc& proc, Pointer data) {
  if (selectedRowsOnly) {
    for (Integer i = 0; i < GetSelectedCount(); ++i) {
      const Integer row = GetSelectedRowIndex(i);
      if (row >= 0 && row < GetRowCount()) proc(data, row, GetRowInfo(row));
    }
    return;
  }
  for (Integer row = 0; row < GetRowCount(); ++row) proc(data, row, GetRowInfo(row));
}

// ---- Editing ----

Integer TcxCustomDataController::GetEditState() {
  TcxCustomDataProvider* provider = GetProvider();
  if (!provider->IsEditing()) return 0;
  Integer state = provider->IsInserting() ? dceInsert : dceEdit;
  if (provider->IsChanging()) state |= dceChanging;
  if (provider->IsModified()) state |= dceModified;
  return state;
}

Boolean TcxCustomDataController::IsEditing() {
  return (GetEditState() & (dceInsert | dceEdit)) != 0 && GetProvider()->GetEditingRecordIndex() != cxNullEditingRecordIndex;
}

Integer TcxCustomDataController::GetAllowedOperations() {
  TcxCustomDataProvider* provider = GetProvider();
  Integer result = 0;
  if (provider->CanAppend()) result |= dcoAppend;
  if (provider->CanDelete()) result |= dcoDelete;
  if (provider->CanModify()) result |= dcoEdit;
  if (provider->CanInsert()) result |= dcoInsert;
  if (!(provider->HasOpenDataSet() && !provider->IsSyncMode())) result |= dcoSync;
  return result;
}

void TcxCustomDataController::Append() {
  if (GetProvider()->CanAppend()) GetProvider()->Append();
}

void TcxCustomDataController::Insert() {
  if (GetProvider()->CanInsert()) GetProvider()->Insert();
}

void TcxCustomDataController::Edit() {
  if (GetProvider()->CanModify()) GetProvider()->Edit();
}

Boolean TcxCustomDataController::EditItem(Integer itemIndex) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  TcxCustomDataProvider* provider = GetProvider();
  if (!provider->CanModify() && !field->IsUnbound()) return false;
  if (!(field->CanModify(evsValue) && IsItemEditable(itemIndex))) return false;
  return provider->CanInitEditing(GetEditingRecordIndex());
}

Boolean TcxCustomDataController::SetEditValue(Integer itemIndex, const Variant& value, TcxDataEditValueSource kind) {
  if (!EditItem(itemIndex)) return false;
  const Boolean written = GetProvider()->SetEditValue(GetEditingRecordIndex(), GetItemField(itemIndex), value, kind);
  if (written && IsImmediatePost()) Post(false);
  return written;
}

Variant TcxCustomDataController::GetEditValue(Integer itemIndex, TcxDataEditValueSource kind) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  if (FUseNewItemRowForEditing && FNewItemRowFocused && !IsEditing()) return Null();
  Variant value;
  GetProvider()->GetEditValue(GetEditingRecordIndex(), field, kind, value);
  return value;
}

void TcxCustomDataController::Post(Boolean force) {
  TcxDataListenerLink* link = AddListenerLink();
  ScopeExit release{[&link] {
    TcxCustomDataController* controller = link->GetDataController();
    if (controller) controller->RemoveListenerLink(link);
    else FreeAndNil(link);
  }};
  FFocusCheckAfterFilterRequested = true;
  TcxCustomDataProvider* provider = GetProvider();
  if (provider->IsEditing()) provider->Post(force);
  if (link->GetDataController()) provider->SetInsertedRecordIndex(-1);
}

void TcxCustomDataController::Cancel() {
  if (FInCancel) return;
  FInCancel = true;
  ScopeExit reset{[this] { FInCancel = false; }};
  TcxCustomDataProvider* provider = GetProvider();
  // Without an edit there is nothing to undo and the focus stays where it is.
  if (!provider->IsEditing()) return;
  const Integer row = GetFocusedRowIndex();
  provider->Cancel();
  if (!FInfo->IsInCanFocus()) ChangeFocusedRowIndex(std::min<Integer>(row, GetRowCount() - 1));
}

void TcxCustomDataController::UpdateData() { GetProvider()->PostEditingData(); }

void TcxCustomDataController::PostEditing() {
  if (IsEditing()) Post(false);
}

Boolean TcxCustomDataController::CanFocusRecord(Integer recordIndex) {
  TcxCustomDataProvider* provider = GetProvider();
  if (!provider->HasOpenDataSet() && provider->IsEditing() && recordIndex != provider->GetEditingRecordIndex()) Post(false);
  return true;
}

void TcxCustomDataController::DeleteFocused() {
  TcxCustomDataProvider* provider = GetProvider();
  if (GetFocusedRowIndex() == -1 || !provider->CanDelete()) return;
  {
    provider->BeginDeleting();
    ScopeExit end{[provider] { provider->EndDeleting(); }};
    const Integer row = GetFocusedRowIndex();
    if (row >= 0 && row < GetRowCount() && GetRowInfo(row).Level < FInfo->GetDataGroups()->GetLevelCount()) {
      // A group row takes every record under it.
      std::vector<Integer> recordIndexes;
      FGroups->CollectRowRecordIndexes(recordIndexes, row);
      const Integer focused = GetFocusedRecordIndex();
      try {
        DeleteRecordList(recordIndexes);
      } catch (...) {
        FNearestRecordIndex = focused;
        throw;
      }
    } else {
      DeleteFocusedRecord();
    }
  }
  ClearSelection();
}

void TcxCustomDataController::DeleteFocusedRecord() {
  const Integer focused = GetFocusedRecordIndex();
  if (FNearestRecordIndex != -1 && FNearestRecordIndex >= focused) --FNearestRecordIndex;
  try {
    GetProvider()->Delete();
  } catch (...) {
    // A failed delete leaves the focus where it was.
    FNearestRecordIndex = focused;
    throw;
  }
}

void TcxCustomDataController::DeleteSelection() {
  TcxCustomDataProvider* provider = GetProvider();
  if (GetSelectedCount() == 0 || !provider->CanDelete()) return;
  provider->BeginDeleting();
  ScopeExit end{[provider] { provider->EndDeleting(); }};
  if (IsSingleSelectMode())
    DeleteFocusedRecord();
  else
    provider->DeleteSelection();
}

void TcxCustomDataController::DeleteRecordList(std::vector<Integer> recordIndexes) {
  std::sort(recordIndexes.begin(), recordIndexes.end());
  recordIndexes.erase(std::unique(recordIndexes.begin(), recordIndexes.end()), recordIndexes.end());
  if (FNearestRecordIndex >= 0) {
    // The nearest record itself may be among the deleted (a selected successor): the next record
    // that stays takes its place, else the last one before it.
    Integer nearest = FNearestRecordIndex;
    const Integer count = GetRecordCount();
    auto deleted = [&](Integer r) { return std::binary_search(recordIndexes.begin(), recordIndexes.end(), r); };
    if (deleted(nearest)) {
      Integer next = nearest;
      while (next < count && deleted(next)) ++next;
      if (next >= count) {
        next = nearest;
        while (next >= 0 && deleted(next)) --next;
      }
      nearest = next < count ? next : -1;
    }
    if (nearest >= 0)
      nearest -= Integer(std::upper_bound(recordIndexes.begin(), recordIndexes.end(), nearest) - recordIndexes.begin());
    FNearestRecordIndex = nearest;
  }
  GetProvider()->DeleteRecords(recordIndexes);
}

void TcxCustomDataController::FocusNearestRecord() {
  if (FNearestRecordIndex == -1) {
    if (GetFocusedRowIndex() == -1 && LockCount() == 0 && GetRowCount() > 0) ChangeFocusedRowIndex(GetRowCount() - 1);
  } else if (FNearestRecordIndex >= 0 && FNearestRecordIndex < GetRecordCount()) {
    ChangeFocusedRecordIndex(FNearestRecordIndex);
  }
}

void TcxCustomDataController::SetUseNewItemRowForEditing(Boolean value) {
  if (FUseNewItemRowForEditing == value) return;
  Cancel();
  ClearSelection();
  FUseNewItemRowForEditing = value;
  Change(dccData);
}

void TcxCustomDataController::SetNewItemRowFocused(Boolean value) {
  if (FNewItemRowFocused == value) return;
  {
    LockUpdate();
    ScopeExit unlock{[this] { UnlockUpdate(); }};
    if (value)
      FInfo->ChangeFocusedRow(-1, true);
    else if (!IsDestroying())
      Post(false);
    FNewItemRowFocusingChanged = true;
    FInfo->FocusChanged(true);
    FNewItemRowFocused = value;
  }
  if (FOptions.Contains(dcoInsertOnNewItemRowFocusing) && IsNewItemRowEditing() && !GetProvider()->IsInserting()) Insert();
}

void TcxCustomDataController::DoAfterCancel() {
  if (FOnAfterCancel) FOnAfterCancel(this);
}

void TcxCustomDataController::DoAfterDelete() {
  if (FOnAfterDelete) FOnAfterDelete(this);
}

void TcxCustomDataController::DoAfterInsert() {
  if (FOnAfterInsert) FOnAfterInsert(this);
}

void TcxCustomDataController::DoAfterPost() {
  if (FOnAfterPost) FOnAfterPost(this);
}

void TcxCustomDataController::DoBeforeCancel() {
  if (FOnBeforeCancel) FOnBeforeCancel(this);
}

void TcxCustomDataController::DoBeforeDelete(Integer recordIndex) {
  if (FOnBeforeDelete) FOnBeforeDelete(this, recordIndex);
}

void TcxCustomDataController::DoBeforeInsert() {
  if (FOnBeforeInsert) FOnBeforeInsert(this);
}

void TcxCustomDataController::DoBeforePost() {
  if (FOnBeforePost) FOnBeforePost(this);
}

// ---- Bookmark ----

Boolean TcxCustomDataController::SetBookmark() {
  const Integer recordIndex = GetFocusedRecordIndex();
  if (recordIndex == FBookmarkRecordIndex) return false;
  FBookmarkRecordIndex = recordIndex;
  return true;
}

void TcxCustomDataController::GotoBookmark() {
  if (FBookmarkRecordIndex >= 0 && FBookmarkRecordIndex < GetRecordCount()) ChangeFocusedRecordIndex(FBookmarkRecordIndex);
}

Boolean TcxCustomDataController::IsBookmarkRow(Integer rowIndex) {
  return HasBookmark() && rowIndex >= 0 && rowIndex < GetRowCount() && GetRowInfo(rowIndex).RecordIndex == FBookmarkRecordIndex;
}

Boolean TcxCustomDataController::IsBookmarkAffected(Integer recordIndex) {
  return recordIndex == FBookmarkRecordIndex || GetFilteredIndexOfRecord(FBookmarkRecordIndex) == -1;
}

void TcxCustomDataController::CheckBookmark(Integer recordIndex) {
  if (!HasBookmark() || !IsBookmarkAffected(recordIndex)) return;
  ClearBookmark();
  Change(dccBookmark);
}

void TcxCustomDataController::SaveBookmark() {
  if (SetBookmark()) Change(dccBookmark);
}

void TcxCustomDataController::ResetBookmark() {
  if (!HasBookmark()) return;
  ClearBookmark();
  Change(dccBookmark);
}

void TcxCustomDataController::RestoreBookmark() {
  if (HasBookmark()) GotoBookmark();
}

// ---- Incremental filter and text search ----

Integer TcxCustomDataController::SetIncrementalFilter(Integer itemIndex, const AnsiString& text) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  FIncrementalFilterField = field;
  FIncrementalFilterText = text;
  Refresh();
  return GetFilteredRecordCount() > 0 ? GetFilteredRecordIndex(0) : -1;
}

Boolean TcxCustomDataController::ChangeIncrementalFilterText(const AnsiString& text) {
  if (!FIncrementalFilterField || text == FIncrementalFilterText) return false;
  SetIncrementalFilter(FIncrementalFilterField->GetIndex(), text);
  return true;
}

void TcxCustomDataController::ResetIncrementalFilter() {
  const Boolean active = HasIncrementalFilter();
  FIncrementalFilterField = nullptr;
  FIncrementalFilterText.clear();
  if (active && !IsDestroying()) Refresh();
}

Integer TcxCustomDataController::GetIncrementalFilterItemIndex() const {
  return FIncrementalFilterField ? FIncrementalFilterField->GetIndex() : -1;
}

Boolean TcxCustomDataController::MatchesIncrementalFilter(Integer recordIndex) {
  return TextMatchesSearch(GetFieldDisplayText(recordIndex, FIncrementalFilterField), FIncrementalFilterText, true);
}

Integer TcxCustomDataController::FindRecordByText(Integer startRecordListIndex, Integer itemIndex, const AnsiString& text,
                                                  Boolean partial, Boolean wrap, Boolean forward) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  const Integer count = GetFilteredRecordCount();
  if (startRecordListIndex < 0 || startRecordListIndex >= count) return -1;
  // Positions first .. last in the search direction; the answer is the first match's record.
  auto search = [&](Integer first, Integer last) -> Integer {
    const Integer step = forward ? 1 : -1;
    for (Integer position = first; forward ? position <= last : position >= last; position += step) {
      const Integer recordIndex = GetFilteredRecordIndex(position);
      if (TextMatchesSearch(GetFieldDisplayText(recordIndex, field), text, partial)) return recordIndex;
    }
    return -1;
  };
  Integer result = forward ? search(startRecordListIndex, count - 1) : search(startRecordListIndex, 0);
  if (result == -1 && wrap)
    result = forward ? search(0, startRecordListIndex - 1) : search(count - 1, startRecordListIndex + 1);
  return result;
}

// ---- Sorting and comparison ----

namespace {

// The string rule of the comparison: the locale's collation under dcoAnsiSort, else the
// variant order, or the upper-cased ordinal order when case is ignored.
Integer CompareTexts(TcxDataControllerOptions options, const Variant& v1, const Variant& v2) {
  const Boolean caseInsensitive = options.Contains(dcoCaseInsensitive);
  if (options.Contains(dcoAnsiSort))
    return CompareString(LOCALE_USER_DEFAULT, caseInsensitive ? NORM_IGNORECASE : 0, v1.AsString(), v2.AsString()) - CSTR_EQUAL;
  if (!caseInsensitive) return CompareVariants(v1, v2);
  AnsiString a = v1.AsString(), b = v2.AsString();
  CharUpperBuff(a.data(), Cardinal(a.size()));
  CharUpperBuff(b.data(), Cardinal(b.size()));
  const int r = a.compare(b);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

}  // namespace

Integer TcxCustomDataController::CompareRecordsByField(Integer recordIndex1, Integer recordIndex2, TcxCustomDataField* field,
                                                       TcxDataControllerComparisonMode mode) {
  const Boolean byEvent = FOnCompare && !field->GetIsInternal();
  if (!byEvent && field->FSortKeysIndex >= 0) {
    const TcxCustomDataControllerInfo::TSortKeys& keys = *FInfo->FSortKeys[std::size_t(field->FSortKeysIndex)];
    if (keys.Has(recordIndex1) && keys.Has(recordIndex2)) return keys.Compare(recordIndex1, recordIndex2);
  }
  if (!byEvent && !NeedsValueConversion(field)) {
    TcxValueDef* def = field->GetValueDef();
    if (!def) return 0;
    if (IsProviderMode()) return GetProvider()->CompareRecords(recordIndex1, recordIndex2, field);
    return FDataStorage->CompareRecordValues(recordIndex1, recordIndex2, def);
  }
  if (IsProviderMode() && !FOnCompare && GetCustomDataSource()->IsNativeCompareFunc() && recordIndex1 >= 0 &&
      recordIndex2 >= 0)
    return GetProvider()->NativeCompare(recordIndex1, recordIndex2, field);
  const Variant v1 = GetSortingValue(recordIndex1, field);
  const Variant v2 = GetSortingValue(recordIndex2, field);
  if (byEvent) {
    Integer compare = 0;
    FOnCompare(this, recordIndex1, recordIndex2, field->GetIndex(), v1, v2, compare);
    return compare;
  }
  if (VarIsStr(v1) && VarIsStr(v2)) return CompareTexts(FOptions, v1, v2);
  return CompareVariants(v1, v2);
}

Integer TcxCustomDataController::CompareRecordsBySortField(Integer recordIndex1, Integer recordIndex2,
                                                           const TcxDataSortInfo& sortInfo,
                                                           TcxDataControllerComparisonMode mode) {
  const Integer result = CompareRecordsByField(recordIndex1, recordIndex2, sortInfo.Field, mode);
  return sortInfo.SortOrder == soDescending ? -result : result;
}

Variant TcxCustomDataController::GetSortingValue(Integer recordIndex, TcxCustomDataField* field) {
  if (field->FCompareMode == 2) {
    if (recordIndex >= 0 && !field->GetIsInternal()) return Variant(GetDisplayText(recordIndex, field->GetIndex()));
    return Variant(GetFieldDisplayText(recordIndex, field));
  }
  return GetFieldValue(recordIndex, field);
}

Boolean TcxCustomDataController::NeedsValueConversion(TcxCustomDataField* field) {
  if (field->FCompareMode != 0) return field->FCompareMode > 0;
  Boolean result = field->GetNeedConversion() || IsStringCompareField(field) || IsSortByDisplayText(field);
  if (!result && IsProviderMode()) result = !GetCustomDataSource()->IsNativeCompare();
  return result;
}

Boolean TcxCustomDataController::IsStringCompareField(TcxCustomDataField* field) {
  if (!FOptions.Contains(dcoAnsiSort) && !FOptions.Contains(dcoCaseInsensitive)) return false;
  if (!field->GetValueDef()) return false;
  const TcxValueTypeClass valueType = field->GetValueTypeClass();
  return TClass(valueType) && valueType->IsTextType();
}

Boolean TcxCustomDataController::IsSortByDisplayText(TcxCustomDataField* field) {
  if (field->GetIsInternal() || FInternalFind) return false;
  return GetItemSortByDisplayText(field->GetIndex(), FOptions.Contains(dcoSortByDisplayText));
}

Boolean TcxCustomDataController::IsTextSortedItem(Integer itemIndex) {
  if (GetItemSortByDisplayText(itemIndex, true)) return true;
  const TcxValueTypeClass valueType = GetItemField(itemIndex)->GetValueTypeClass();
  return FOptions.Contains(dcoAnsiSort) && TClass(valueType) && valueType->IsTextType();
}

Boolean TcxCustomDataController::RefreshIfItemSorted(Integer itemIndex) {
  if (itemIndex != -1 && GetItemSortOrder(itemIndex) == soNone) return false;
  Refresh();
  return true;
}

void TcxCustomDataController::ChangeSorting(Integer itemIndex, TcxDataSortOrder sortOrder) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  if (FInfo->GetSortingFieldList()->GetSortOrder(field) == sortOrder) return;
  PostEditing();
  FSortingChanged = true;
  FInfo->ChangeSortOrder(field, sortOrder);
}

void TcxCustomDataController::ChangeSortIndex(Integer itemIndex, Integer sortIndex) {
  if (GetItemSortIndex(itemIndex) == sortIndex) return;
  TcxCustomDataField* field = GetItemField(itemIndex);
  LockUpdate();
  try {
    const Boolean grouped = FInfo->GetGroupingFieldList()->IndexOf(field) != -1;
    if (grouped && GetItemSortOrder(itemIndex) == soAscending && sortIndex == -1) {
      ChangeSorting(itemIndex, soNone);
    } else {
      if (FInfo->GetSortingFieldList()->IndexOf(field) == -1) ChangeSorting(itemIndex, GetItemSortOrder(itemIndex));
      if (GetItemSortOrder(itemIndex) != soNone) FInfo->ChangeSortIndex(field, sortIndex);
    }
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
}

void TcxCustomDataController::ClearSorting(Boolean keepGroupedItems) { FInfo->ClearSorting(keepGroupedItems); }

TcxDataSortOrder TcxCustomDataController::GetItemSortOrder(Integer itemIndex) {
  TcxCustomDataField* field = GetItemField(itemIndex);
  const TcxDataSortOrder order = FInfo->GetSortingFieldList()->GetSortOrder(field);
  return order != soNone ? order : FInfo->GetGroupingFieldList()->GetSortOrder(field);
}

Integer TcxCustomDataController::GetItemSortIndex(Integer itemIndex) {
  return FInfo->GetSortingFieldList()->IndexOf(GetItemField(itemIndex));
}

Integer TcxCustomDataController::GetSortingItemIndex(Integer index) const {
  return FInfo->GetSortingFieldList()->GetItem(index).Field->GetIndex();
}

Integer TcxCustomDataController::GetSortingBySummaryItemIndex() const {
  return FSortingBySummaryField ? FSortingBySummaryField->GetIndex() : -1;
}

void TcxCustomDataController::SetSortingBySummaryItemIndex(Integer itemIndex) {
  TcxCustomDataField* field = itemIndex == -1 ? nullptr : GetItemField(itemIndex);
  if (field == FSortingBySummaryField) return;
  FSortingBySummaryField = field;
  if (IsDestroying()) return;
  FSortingBySummaryChanged = true;
  Change(dccSorting);
}

Integer TcxCustomDataController::FindRecordIndexByKeys(Integer internalRecordIndex,
                                                       const std::vector<TcxCustomDataField*>& keyFields) {
  if (keyFields.empty()) return -1;
  for (TcxCustomDataField* field : keyFields) {
    field->FCompareMode = 0;
    field->FCompareMode = NeedsValueConversion(field) ? (IsSortByDisplayText(field) ? 2 : 1) : -1;
  }
  Integer result = -1;
  try {
    const Integer count = GetRecordCount();
    for (Integer recordIndex = 0; recordIndex < count && result == -1; ++recordIndex) {
      Boolean equal = true;
      for (TcxCustomDataField* field : keyFields)
        if (CompareRecordsByField(recordIndex, internalRecordIndex, field, dccmLocating) != 0) {
          equal = false;
          break;
        }
      if (equal) result = recordIndex;
    }
  } catch (...) {
    for (TcxCustomDataField* field : keyFields) field->FCompareMode = 0;
    throw;
  }
  for (TcxCustomDataField* field : keyFields) field->FCompareMode = 0;
  return result;
}

Integer TcxCustomDataController::FindRecordIndexByGroupValues(Integer internalRecordIndex, Integer levelCount, Boolean sorted) {
  TcxCustomDataControllerInfo* info = FInfo;
  levelCount = std::min(levelCount, info->GetTotalSortingFieldList()->Count());
  if (levelCount <= 0) return -1;
  auto compareAt = [&](Integer position) {
    const Integer recordIndex = info->GetFilteredRecordIndex(position);
    for (Integer level = 0; level < levelCount; ++level) {
      const Integer result = info->CompareRecordsForGrouping(recordIndex, internalRecordIndex, level);
      if (result != 0) return result;
    }
    return 0;
  };
  Integer result = -1;
  info->PrepareSorting();
  try {
    const Integer count = info->GetFilteredRecordCount();
    if (sorted) {
      Integer low = 0, high = count - 1;
      while (low <= high) {
        const Integer middle = low + (high - low) / 2;
        const Integer c = compareAt(middle);
        if (c == 0) {
          result = info->GetFilteredRecordIndex(middle);
          break;
        }
        if (c < 0)
          low = middle + 1;
        else
          high = middle - 1;
      }
    } else {
      for (Integer position = 0; position < count; ++position)
        if (compareAt(position) == 0) {
          result = info->GetFilteredRecordIndex(position);
          break;
        }
    }
  } catch (...) {
    info->UnprepareSorting();
    throw;
  }
  info->UnprepareSorting();
  return result;
}

// ==== Incremental search =====================================================================

TcxDataControllerSearch* TcxCustomDataController::GetSearch() {
  if (!FSearch) FSearch = GetSearchClass().Create(this);
  return FSearch;
}

void TcxDataControllerSearch::FocusFoundRecord(Integer recordListIndex) {
  Lock();
  ScopeExit unlock{[this] { Unlock(); }};
  FDataController->ChangeFocusedRecordIndex(FDataController->GetFilteredRecordIndex(recordListIndex));
  FDataController->SelectFocusedRow();
}

Integer TcxDataControllerSearch::DoSearch(Integer startRecordListIndex, Integer endRecordListIndex, const AnsiString& text,
                                          Boolean forward) {
  TcxCustomDataController* controller = FDataController;
  const Integer count = controller->GetFilteredRecordCount();
  const Integer itemIndex = GetItemIndex();
  if (count == 0 || itemIndex == -1) return -1;
  if (endRecordListIndex == -1) endRecordListIndex = forward ? count - 1 : 0;
  const Integer step = forward ? 1 : -1;
  for (Integer position = startRecordListIndex; forward ? position <= endRecordListIndex : position >= endRecordListIndex;
       position += step) {
    if (position < 0 || position >= count) continue;
    const Integer recordIndex = controller->GetFilteredRecordIndex(position);
    if (TextMatchesSearch(controller->GetSearchDisplayText(recordIndex, itemIndex), text, true)) return position;
  }
  return -1;
}

Boolean TcxDataControllerSearch::Locate(Integer itemIndex, const AnsiString& text) {
  TcxCustomDataController* controller = FDataController;
  if (text.empty() || controller->GetFilteredRecordCount() == 0) return false;
  SetItemIndex(itemIndex);
  Boolean found;
  if (controller->IsGridMode()) {
    found = controller->SearchInGridMode(text, true, false);
  } else {
    const Integer focused = controller->GetFocusedRecordIndex();
    Integer start = focused == -1 ? 0 : controller->GetFilteredIndexOfRecord(focused);
    if (start < 0) start = 0;
    Integer position = DoSearch(start, -1, text, true);
    if (position == -1 && start > 0) position = DoSearch(0, start - 1, text, true);
    found = position != -1;
    if (found) FocusFoundRecord(position);
  }
  if (found) {
    controller->FSearching = true;
    controller->FSearchText = text;
    controller->Change(TcxCustomDataController::dccSearch);
    if (!controller->IsSingleSelectMode()) controller->SelectFocusedRow();
  }
  return found;
}

Boolean TcxDataControllerSearch::LocateNext(Boolean forward) {
  TcxCustomDataController* controller = FDataController;
  if (!controller->FSearching || controller->FSearchText.empty() || !controller->FSearchField ||
      controller->GetFilteredRecordCount() == 0)
    return false;
  Boolean found = false;
  if (controller->IsGridMode()) {
    found = controller->SearchInGridMode(controller->FSearchText, forward, true);
  } else {
    const Integer focused = controller->GetFocusedRecordIndex();
    const Integer current = focused == -1 ? -1 : controller->GetFilteredIndexOfRecord(focused);
    if (current == -1) return false;
    if (forward ? current == controller->GetFilteredRecordCount() - 1 : current == 0) return false;
    const Integer position = DoSearch(forward ? current + 1 : current - 1, -1, controller->FSearchText, forward);
    found = position != -1;
    if (found) FocusFoundRecord(position);
  }
  if (found && !controller->IsSingleSelectMode()) controller->SelectFocusedRow();
  return found;
}

void TcxDataControllerSearch::Cancel() {
  if (FLocked || !FDataController->FSearching) return;
  FDataController->FSearchText.clear();
  FDataController->FSearching = false;
  FDataController->Change(TcxCustomDataController::dccSearch);
}

Integer TcxDataControllerSearch::GetItemIndex() {
  return FDataController->FSearchField ? FDataController->FSearchField->GetIndex() : -1;
}

void TcxDataControllerSearch::SetItemIndex(Integer value) { FDataController->FSearchField = FDataController->GetItemField(value); }

Boolean TcxDataControllerSearch::GetSearching() { return FDataController->FSearching; }

AnsiString TcxDataControllerSearch::GetSearchText() { return FDataController->FSearchText; }

// ==== Groups interface =======================================================================

TcxDataGroups* TcxDataControllerGroups::DataGroups() { return FDataController->GetDataControllerInfo()->GetDataGroups(); }

void TcxDataControllerGroups::ChangeExpanding(Integer rowIndex, Boolean expanded, Boolean recursive) {
  FDataController->GetDataControllerInfo()->ChangeExpanding(rowIndex, expanded, recursive);
}

void TcxDataControllerGroups::ChangeGroupIndex(Integer itemIndex, Integer groupIndex) {
  TcxCustomDataField* field = FDataController->GetItemField(itemIndex);
  if (GetFieldGroupingLevel(field) == groupIndex) return;
  FDataController->PostEditing();
  FDataController->FGroupingChanged = true;
  FDataController->GetDataControllerInfo()->ChangeGrouping(field, groupIndex);
}

void TcxDataControllerGroups::ClearGrouping() {
  if (GetGroupingLevelCount() == 0) return;
  FDataController->PostEditing();
  FDataController->FGroupingChanged = true;
  FDataController->GetDataControllerInfo()->ClearGrouping();
}

void TcxDataControllerGroups::FullCollapse() { FDataController->GetDataControllerInfo()->FullCollapse(); }

void TcxDataControllerGroups::FullExpand() { FDataController->GetDataControllerInfo()->FullExpand(); }

Boolean TcxDataControllerGroups::IsRowInGroup(Integer rowIndex, Integer groupRowIndex) {
  TcxDataGroups* groups = DataGroups();
  if (groups->GetCount() == 0) return false;
  const Integer group = groups->FindRowGroup(rowIndex);
  const Integer parent = groups->FindRowGroup(groupRowIndex);
  if (group == -1 || parent == -1) return false;
  if (group == parent) return true;
  return groups->GetLevel(group) > groups->GetLevel(parent) && group > parent && group <= groups->GetSubtreeEnd(parent);
}

void TcxDataControllerGroups::CollectRecordIndexes(std::vector<Integer>& list, Integer dataGroupIndex) {
  TcxDataGroups* groups = DataGroups();
  if (dataGroupIndex < 0 || dataGroupIndex >= groups->GetCount()) return;
  // The records under a group lie side by side in the record list.
  const Integer last = groups->GetLastRecordListIndex(dataGroupIndex);
  for (Integer position = groups->GetFirstRecordListIndex(dataGroupIndex); position <= last; ++position)
    list.push_back(FDataController->GetFilteredRecordIndex(position));
}

void TcxDataControllerGroups::CollectRowRecordIndexes(std::vector<Integer>& list, Integer rowIndex) {
  CollectRecordIndexes(list, GetRowDataGroup(rowIndex));
}

Integer TcxDataControllerGroups::GetChildCount(Integer dataGroupIndex) { return DataGroups()->GetChildCount(dataGroupIndex); }

Integer TcxDataControllerGroups::GetChildDataGroupIndex(Integer dataGroupIndex, Integer childIndex) {
  return DataGroups()->GetChildIndex(dataGroupIndex, childIndex);
}

Integer TcxDataControllerGroups::GetChildRecordIndex(Integer dataGroupIndex, Integer childIndex) {
  const Integer position = DataGroups()->GetChildRecordListIndex(dataGroupIndex, childIndex);
  return position == -1 ? -1 : FDataController->GetFilteredRecordIndex(position);
}

Integer TcxDataControllerGroups::GetRowDataGroup(Integer rowIndex) {
  if (rowIndex < 0 || rowIndex >= FDataController->GetRowCount()) return -1;
  return DataGroups()->FindRowGroup(rowIndex);
}

Integer TcxDataControllerGroups::GetFieldGroupingLevel(TcxCustomDataField* field) {
  return FDataController->GetDataControllerInfo()->GetGroupingFieldList()->IndexOf(field);
}

Integer TcxDataControllerGroups::GetGroupingLevelCount() {
  return FDataController->GetDataControllerInfo()->GetGroupingFieldList()->Count();
}

Integer TcxDataControllerGroups::GetLevelItemIndex(Integer level) {
  return FDataController->GetDataControllerInfo()->GetGroupingFieldList()->GetItem(level).Field->GetIndex();
}

Integer TcxDataControllerGroups::GetItemGroupIndex(Integer itemIndex) {
  return GetFieldGroupingLevel(FDataController->GetItemField(itemIndex));
}

Integer TcxDataControllerGroups::GetLevel(Integer dataGroupIndex) { return DataGroups()->GetLevel(dataGroupIndex); }

// ==== Summaries ==============================================================================

namespace {

// The summary a collection of summary items, links or groups belongs to.
TcxDataSummary* SummaryOf(TCollection* collection) {
  if (auto* items = dynamic_cast<TcxDataSummaryItems*>(collection)) return items->GetSummary();
  if (auto* links = dynamic_cast<TcxDataSummaryGroupItemLinks*>(collection))
    return links->GetSummaryGroup() ? links->GetSummaryGroup()->GetSummary() : nullptr;
  if (auto* groups = dynamic_cast<TcxDataSummaryGroups*>(collection)) return groups->GetSummary();
  return nullptr;
}

Boolean IsIntegerVarType(TVarType type) {
  switch (type) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

// a + b for the running sums: integers stay integers (as a 64-bit value, a float once they
// would overflow), currencies stay currencies, a date-time stays a date-time, others are floats.
Variant AddSummaryValues(const Variant& a, const Variant& b) {
  const TVarType ta = a.GetType(), tb = b.GetType();
  if (IsIntegerVarType(ta) && IsIntegerVarType(tb)) {
    Int64 sum;
    if (!__builtin_add_overflow(a.AsInt64(), b.AsInt64(), &sum)) return Variant(static_cast<long long>(sum));
    return Variant(a.AsDouble() + b.AsDouble());
  }
  if (ta == varCurrency && (tb == varCurrency || IsIntegerVarType(tb))) {
    Int64 sum;
    if (!__builtin_add_overflow(a.AsCurrency().Scaled, b.AsCurrency().Scaled, &sum)) return Variant(Currency{sum});
  }
  if (ta == varDate) return Variant::FromDate(a.AsDouble() + b.AsDouble());
  return Variant(a.AsDouble() + b.AsDouble());
}

}  // namespace

// ---- items

void TcxCustomDataSummaryItem::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxCustomDataSummaryItem*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TCollection* collection = GetCollection();
  if (collection) collection->BeginUpdate();
  ScopeExit end{[collection] {
    if (collection) collection->EndUpdate();
  }};
  AssignValues(other);
}

void TcxCustomDataSummaryItem::AssignValues(TcxCustomDataSummaryItem* source) {
  TcxCustomDataController* controller = GetDataController();
  TObject* link = source->GetItemLink();
  if (controller && link && source->GetDataController() != controller) link = controller->FindItemWithSameID(link);
  SetItemLink(link);
  SetFormat(source->FFormat);
  SetKind(source->FKind);
}

Boolean TcxCustomDataSummaryItem::IsCurrency(TVarType varType) { return IsCurrencyVarType(varType); }

TObject* TcxCustomDataSummaryItem::GetItemLink() { return FField ? FField->GetItem() : nullptr; }

void TcxCustomDataSummaryItem::SetItemLink(TObject* value) {
  if (GetItemLink() == value && (value || !FField)) return;
  TcxCustomDataController* controller = GetDataController();
  TcxCustomDataField* field = value && controller ? controller->GetFieldByItem(value) : nullptr;
  if (field == FField) return;
  FieldChanging(field);
  TCollection* collection = GetCollection();
  if (collection) collection->BeginUpdate();
  FField = field;
  if (collection) collection->EndUpdate();
}

void TcxCustomDataSummaryItem::SetFormat(const AnsiString& value) {
  if (FFormat == value) return;
  FFormat = value;
  Changed(false);
}

void TcxCustomDataSummaryItem::SetKind(TcxSummaryKind value) {
  if (FKind == value) return;
  FKind = value;
  Changed(true);
}

AnsiString TcxCustomDataSummaryItem::FormatValue(const Variant& value, Boolean isFooter) {
  if (value.IsNull()) return AnsiString();
  if (FKind == skNone) return VarToStr(value);
  const TVarType type = value.GetType();
  const Integer valueKind = IsCurrency(type) ? 1 : type == varDate ? 2 : 0;
  const AnsiString format = GetFormat(valueKind, isFooter);
  if (valueKind != 2 || FKind == skCount) return FormatFloat(format, value.IsEmpty() ? 0.0 : value.AsDouble());
  // A date: the format is a plain label in front of the locale's text.
  const TDateTime date = value.AsDateTime();
  const double days = std::trunc(date), dayTime = date - days;
  AnsiString text;
  if (dayTime == 0)
    text = DateToStr(date);
  else if (days != 0)
    text = DateToStr(date) + " " + TimeToStr(date);
  else
    text = TimeToStr(date);
  return format + text;
}

void TcxDataSummaryItem::BeforeDestruction() {
  if (FSorted) {
    // Un-sorting reports nothing while the collection goes.
    FSorted = false;
  }
  inherited::BeforeDestruction();
}

void TcxDataSummaryItem::AssignValues(TcxCustomDataSummaryItem* source) {
  inherited::AssignValues(source);
  if (auto* other = dynamic_cast<TcxDataSummaryItem*>(source)) {
    SetPosition(other->FPosition);
    SetSorted(other->FSorted);
    FOnGetText = other->FOnGetText;
  }
}

TcxDataSummaryItems* TcxDataSummaryItem::GetOwnerItems() { return dynamic_cast<TcxDataSummaryItems*>(GetCollection()); }

TcxCustomDataController* TcxDataSummaryItem::GetDataController() {
  TcxDataSummaryItems* items = GetOwnerItems();
  return items ? items->GetDataController() : nullptr;
}

AnsiString TcxDataSummaryItem::GetFormat(Integer valueKind, Boolean isFooter) {
  if (!GetFormat().empty()) return GetFormat();
  TcxDataSummaryItems* items = GetOwnerItems();
  return items ? items->GetDefaultFormat(valueKind, GetKind(), isFooter) : AnsiString();
}

AnsiString TcxDataSummaryItem::FormatValue(const Variant& value, Boolean isFooter) {
  AnsiString text = inherited::FormatValue(value, isFooter);
  if (FOnGetText) FOnGetText(this, value, isFooter, text);
  return text;
}

Boolean TcxDataSummaryItem::IsCalculable() {
  return GetDataField() != nullptr || (GetKind() == skCount && GetPosition() == spGroup);
}

Boolean TcxDataSummaryItem::StoresPosition() {
  TcxDataSummaryItems* items = GetOwnerItems();
  return items ? items->StoresItemPosition(this) : FPosition != spGroup;
}

TcxSummaryPosition TcxDataSummaryItem::GetPosition() {
  TcxDataSummaryItems* items = GetOwnerItems();
  return items ? items->GetPositionOfItem(this) : FPosition;
}

void TcxDataSummaryItem::SetPosition(TcxSummaryPosition value) {
  if (FPosition == value) return;
  FPosition = value;
  Changed(false);
}

void TcxDataSummaryItem::SetSorted(Boolean value) {
  if (FSorted == value) return;
  if (TcxDataSummaryItems* items = GetOwnerItems()) items->ItemSortedChanging(this, value);
  FSorted = value;
  Changed(true);
}

// ---- item collections

TPersistent* TcxDataSummaryItems::GetOwner() { return FSummary; }

TcxCustomDataController* TcxDataSummaryItems::GetDataController() const {
  return FSummary ? FSummary->GetDataController() : nullptr;
}

void TcxDataSummaryItems::Update(TCollectionItem* item) {
  if (FSummary) FSummary->Changed(item != nullptr);
}

Boolean TcxDataSummaryItems::ArePropertiesDefault(TcxDataSummaryItem* item, Integer properties) {
  if ((properties & 1) && !item->GetFormat().empty()) return false;
  if ((properties & 2) && item->GetKind() != skNone) return false;
  if ((properties & 4) && item->GetSorted()) return false;
  return true;
}

AnsiString TcxDataSummaryItems::GetDefaultFormat(Integer valueKind, TcxSummaryKind kind, Boolean isFooter) {
  // Other values, currency values, date prefixes.
  static const char* const kGroup[6][3] = {{"", "", ""},
                                           {"SUM=0.00;SUM=-0.00", "SUM=%s;SUM=-%s", "SUM="},
                                           {"MIN=0.00;MIN=-0.00", "MIN=%s;MIN=-%s", "MIN="},
                                           {"MAX=0.00;MAX=-0.00", "MAX=%s;MAX=-%s", "MAX="},
                                           {"COUNT=0", "COUNT=0", "COUNT=0"},
                                           {"AVG=0.00;AVG=-0.00", "AVG=%s;AVG=-%s", "AVG="}};
  static const char* const kFooter[6][3] = {{"", "", ""},
                                            {"0.00;-0.00", "%s;-%s", ""},
                                            {"MIN=0.00;MIN=-0.00", "MIN=%s;MIN=-%s", "MIN="},
                                            {"MAX=0.00;MAX=-0.00", "MAX=%s;MAX=-%s", "MAX="},
                                            {"0", "0", "0"},
                                            {"AVG=0.00;AVG=-0.00", "AVG=%s;AVG=-%s", "AVG="}};
  if (kind > skAverage || valueKind < 0 || valueKind > 2) return AnsiString();
  AnsiString format = (isFooter ? kFooter : kGroup)[kind][valueKind];
  if (valueKind == 1) {
    const AnsiString currency = CurrencyDisplayFormat();
    for (std::size_t at = format.find("%s"); at != AnsiString::npos; at = format.find("%s", at + currency.size()))
      format.replace(at, 2, currency);
  }
  return format;
}

TcxDataSummaryItem* TcxDataSummaryItems::FindItemByField(Integer itemIndex, TcxSummaryPosition position, Boolean matchKind,
                                                          TcxSummaryKind kind) {
  TcxCustomDataController* controller = GetDataController();
  TcxCustomDataField* field = controller->GetItemField(itemIndex);
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxDataSummaryItem* item = GetSummaryItem(i);
    if (item->GetField() == field && item->GetPosition() == position && (!matchKind || item->GetKind() == kind)) return item;
  }
  return nullptr;
}

TcxDataSummaryItem* TcxDataSummaryItems::AddItem(TObject* itemLink, TcxSummaryPosition position, TcxSummaryKind kind,
                                                 const AnsiString& format) {
  BeginUpdate();
  ScopeExit end{[this] { EndUpdate(); }};
  TcxDataSummaryItem* item = Add();
  item->SetItemLink(itemLink);
  item->SetPosition(position);
  item->SetKind(kind);
  item->SetFormat(format);
  return item;
}

Integer TcxDataSummaryItems::IndexOfItemLink(TObject* itemLink) {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetSummaryItem(i)->GetItemLink() == itemLink) return i;
  return -1;
}

TcxDataSummaryItem* TcxDataSummaryItems::ItemOfItemLink(TObject* itemLink) {
  return ItemOfField(itemLink ? GetDataController()->GetFieldByItem(itemLink) : nullptr);
}

Integer TcxDataSummaryItems::IndexOfField(TcxCustomDataField* field) {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetSummaryItem(i)->GetField() == field) return i;
  return -1;
}

TcxDataSummaryItem* TcxDataSummaryItems::ItemOfField(TcxCustomDataField* field) {
  const Integer index = IndexOfField(field);
  return index == -1 ? nullptr : GetSummaryItem(index);
}

AnsiString TcxDataSummaryItems::GetItemFormat(Integer itemIndex, TcxSummaryPosition position) {
  TcxDataSummaryItem* item = FindItemByField(itemIndex, position);
  return item ? item->GetFormat() : AnsiString();
}

TcxSummaryKind TcxDataSummaryItems::GetItemKind(Integer itemIndex, TcxSummaryPosition position) {
  TcxDataSummaryItem* item = FindItemByField(itemIndex, position);
  return item ? item->GetKind() : skNone;
}

Boolean TcxDataSummaryItems::GetItemSorted(Integer itemIndex, TcxSummaryPosition position) {
  TcxDataSummaryItem* item = FindItemByField(itemIndex, position);
  return item && item->GetSorted();
}

void TcxDataSummaryItems::SetItemProperty(Integer itemIndex, TcxSummaryPosition position, Integer property,
                                          const AnsiString& format, TcxSummaryKind kind, Boolean sorted) {
  TcxDataSummaryItem* item = FindItemByField(itemIndex, position);
  const Boolean isDefault = property == 1 ? format.empty() : property == 2 ? kind == skNone : !sorted;
  if (!item) {
    if (isDefault) return;
    item = AddItem(GetDataController()->GetItem(itemIndex), position, skNone, AnsiString());
  }
  if (property == 1)
    item->SetFormat(format);
  else if (property == 2)
    item->SetKind(kind);
  else
    item->SetSorted(sorted);
  if (ArePropertiesDefault(item, 1 | 2 | 4)) item->Free();
}

void TcxDataSummaryItems::SetItemFormat(Integer itemIndex, TcxSummaryPosition position, const AnsiString& value) {
  SetItemProperty(itemIndex, position, 1, value, skNone, false);
}

void TcxDataSummaryItems::SetItemKind(Integer itemIndex, TcxSummaryPosition position, TcxSummaryKind value) {
  SetItemProperty(itemIndex, position, 2, AnsiString(), value, false);
}

void TcxDataSummaryItems::SetItemSorted(Integer itemIndex, TcxSummaryPosition position, Boolean value) {
  SetItemProperty(itemIndex, position, 4, AnsiString(), skNone, value);
}

TPersistent* TcxDataGroupSummaryItems::GetOwner() {
  if (FSummaryGroup) return FSummaryGroup;
  return GetSummary();
}

void TcxDataGroupSummaryItems::ItemSortedChanging(TcxDataSummaryItem* item, Boolean sorted) {
  if (!sorted) return;
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxDataSummaryItem* other = GetSummaryItem(i);
    if (other != item && other->GetSorted()) other->SetSorted(false);
  }
}

AnsiString TcxDataGroupSummaryItems::FormatValues(const Variant& values) {
  AnsiString text;
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxDataSummaryItem* item = GetSummaryItem(i);
    if (item->GetPosition() != spGroup) continue;
    const Variant value = values.IsArray() && i >= values.LowBound() && i <= values.HighBound() ? values.GetElement(i) : Null();
    const AnsiString itemText = item->FormatValue(value, false);
    if (!text.empty()) text += FSeparator + " ";
    text += itemText;
  }
  if (!text.empty()) text = FBeginText + text + FEndText;
  return text;
}

TcxDataSummaryItem* TcxDataGroupSummaryItems::GetSortedItem() {
  TcxCustomDataController* controller = GetDataController();
  const Integer sortingItem = controller ? controller->GetSortingBySummaryItemIndex() : -1;
  if (sortingItem != -1) {
    TcxCustomDataField* field = controller->GetItemField(sortingItem);
    for (Integer i = 0; i < GetCount(); ++i)
      if (GetSummaryItem(i)->GetField() == field) return GetSummaryItem(i);
  }
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetSummaryItem(i)->GetSorted()) return GetSummaryItem(i);
  return nullptr;
}

void TcxDataGroupSummaryItems::TextChanged() {
  // Reported as a change of the first item: a relayout.
  if (GetCount() > 0)
    Update(GetItem(0));
  else if (GetSummary())
    GetSummary()->Changed(true);
}

void TcxDataGroupSummaryItems::SetBeginText(const AnsiString& value) {
  if (FBeginText == value) return;
  FBeginText = value;
  TextChanged();
}

void TcxDataGroupSummaryItems::SetEndText(const AnsiString& value) {
  if (FEndText == value) return;
  FEndText = value;
  TextChanged();
}

void TcxDataGroupSummaryItems::SetSeparator(const AnsiString& value) {
  if (FSeparator == value) return;
  FSeparator = value;
  TextChanged();
}

// ---- summary groups

TcxCustomDataController* TcxDataSummaryGroupItemLink::GetDataController() {
  TcxDataSummary* summary = SummaryOf(GetCollection());
  return summary ? summary->GetDataController() : nullptr;
}

TcxDataSummaryGroup* TcxDataSummaryGroupItemLink::GetSummaryGroup() {
  auto* links = dynamic_cast<TcxDataSummaryGroupItemLinks*>(GetCollection());
  return links ? links->GetSummaryGroup() : nullptr;
}

void TcxDataSummaryGroupItemLink::FieldChanging(TcxCustomDataField* field) {
  if (!field) return;
  TcxDataSummaryGroup* own = GetSummaryGroup();
  TcxDataSummary* summary = own ? own->GetSummary() : nullptr;
  if (!summary) return;
  TcxDataSummaryGroups* groups = summary->GetSummaryGroups();
  for (Integer g = 0; g < groups->GetCount(); ++g) {
    TcxDataSummaryGroup* group = groups->GetGroup(g);
    if (group == own) continue;
    TcxDataSummaryGroupItemLinks* links = group->GetLinks();
    for (Integer i = links->GetCount() - 1; i >= 0; --i)
      if (links->GetLink(i)->GetField() == field) links->GetLink(i)->Free();
  }
}

TPersistent* TcxDataSummaryGroupItemLinks::GetOwner() { return FSummaryGroup; }

Integer TcxDataSummaryGroupItemLinks::IndexOfItemLink(TObject* itemLink) {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetLink(i)->GetItemLink() == itemLink) return i;
  return -1;
}

void TcxDataSummaryGroupItemLinks::Update(TCollectionItem* item) {
  if (TcxDataSummary* summary = SummaryOf(this)) summary->Changed(false);
}

TcxDataSummaryGroup::TcxDataSummaryGroup(TCollection* collection) : TCollectionItem(collection) {
  TcxDataSummary* summary = SummaryOf(collection);
  TcxDataSummaryItemClass itemClass =
      summary ? summary->GetSummaryItemClass() : TcxDataSummaryItemClass(TcxDataSummaryItem::StaticClass());
  FSummaryItems = new TcxDataGroupSummaryItems(summary, itemClass);
  FSummaryItems->FSummaryGroup = this;
}

void TcxDataSummaryGroup::BeforeDestruction() {
  FreeAndNil(FLinks);
  FreeAndNil(FSummaryItems);
  inherited::BeforeDestruction();
}

TcxDataSummary* TcxDataSummaryGroup::GetSummary() { return SummaryOf(GetCollection()); }

TcxDataSummaryGroupItemLinks* TcxDataSummaryGroup::GetLinks() {
  if (!FLinks) {
    TcxDataSummary* summary = GetSummary();
    TcxDataSummaryGroupItemLinkClass linkClass =
        summary ? summary->GetGroupItemLinkClass()
                : TcxDataSummaryGroupItemLinkClass(TcxDataSummaryGroupItemLink::StaticClass());
    FLinks = new TcxDataSummaryGroupItemLinks(this, linkClass);
  }
  return FLinks;
}

void TcxDataSummaryGroup::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxDataSummaryGroup*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  GetLinks()->Assign(other->GetLinks());
  FSummaryItems->Assign(other->FSummaryItems);
  FSummaryItems->CopyEvents(other->FSummaryItems);
  FSummaryItems->SetBeginText(other->FSummaryItems->GetBeginText());
  FSummaryItems->SetEndText(other->FSummaryItems->GetEndText());
  FSummaryItems->SetSeparator(other->FSummaryItems->GetSeparator());
}

TPersistent* TcxDataSummaryGroups::GetOwner() { return FSummary; }

TcxDataSummaryGroup* TcxDataSummaryGroups::FindByItemLink(TObject* itemLink) {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetGroup(i)->GetLinks()->IndexOfItemLink(itemLink) != -1) return GetGroup(i);
  return nullptr;
}

void TcxDataSummaryGroups::Update(TCollectionItem* item) {
  if (FSummary) FSummary->Changed(false);
}

// ---- summary

TcxDataSummary* TcxCustomDataController::GetSummary() {
  if (!FSummary) FSummary = GetSummaryClass().Create(this);
  return FSummary;
}

void TcxCustomDataController::SummaryChanged(Boolean itemOnly) { FInfo->SummaryChanged(itemOnly); }

TcxDataSummary::TcxDataSummary(TcxCustomDataController* dataController) : FDataController(dataController) {
  const TcxDataSummaryItemClass itemClass = dataController->GetSummaryItemClass();
  FDefaultGroupSummaryItems = new TcxDataGroupSummaryItems(this, itemClass);
  FFooterSummaryItems = new TcxDataFooterSummaryItems(this, itemClass);
  FSummaryGroups = new TcxDataSummaryGroups(this);
  FFooterSummaryValues = Null();
}

void TcxDataSummary::BeforeDestruction() {
  FDestroying = true;
  FreeAndNil(FSummaryGroups);
  FreeAndNil(FFooterSummaryItems);
  FreeAndNil(FDefaultGroupSummaryItems);
  inherited::BeforeDestruction();
}

TPersistent* TcxDataSummary::GetOwner() { return FDataController; }

void TcxDataSummary::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxDataSummary*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  ScopeExit end{[this] { EndUpdate(); }};
  FDefaultGroupSummaryItems->Assign(other->FDefaultGroupSummaryItems);
  FDefaultGroupSummaryItems->CopyEvents(other->FDefaultGroupSummaryItems);
  FFooterSummaryItems->Assign(other->FFooterSummaryItems);
  FFooterSummaryItems->CopyEvents(other->FFooterSummaryItems);
  FSummaryGroups->Assign(other->FSummaryGroups);
  SetOptions(other->FOptions);
  AssignEvents(other);
}

void TcxDataSummary::BeginUpdate() {
  FDataController->LockUpdate();
  ++FLockCount;
}

void TcxDataSummary::EndUpdate() {
  --FLockCount;
  ScopeExit unlock{[this] { FDataController->UnlockUpdate(); }};
  Changed(false);
}

void TcxDataSummary::CancelUpdate() {
  FDataController->UnlockUpdate();
  --FLockCount;
}

void TcxDataSummary::Changed(Boolean itemOnly) {
  if (FInAfterSummary || FLockCount != 0) return;
  DoChanged(itemOnly);
}

void TcxDataSummary::DoChanged(Boolean itemOnly) {
  if (FDestroying || FDataController->IsDestroying()) return;
  FDataController->SummaryChanged(itemOnly);
}

void TcxDataSummary::SetOptions(TcxSummaryOptions value) {
  if (value.Contains(soSelectedRecords) && value.Contains(soMultipleSelectedRecords)) {
    if (FOptions.Contains(soSelectedRecords))
      value -= TcxSummaryOptions{soSelectedRecords};
    else
      value -= TcxSummaryOptions{soMultipleSelectedRecords};
  }
  if (FOptions == value) return;
  FOptions = value;
  Changed(false);
}

Boolean TcxDataSummary::CountsSelectedRecords() {
  return FOptions.Contains(soSelectedRecords) ||
         (FOptions.Contains(soMultipleSelectedRecords) && FDataController->GetSelectedCount() > 1);
}

void TcxDataSummary::PrepareValues(TcxDataSummaryItems* items, std::vector<Integer>& counts, std::vector<Variant>& values) {
  const std::size_t count = items ? std::size_t(items->GetCount()) : 0;
  counts.assign(count, 0);
  values.assign(count, Variant());
}

Integer TcxDataSummary::GetRecordIndex(Integer recordListIndex) {
  const Integer recordIndex = FDataController->GetFilteredRecordIndex(recordListIndex);
  if (recordIndex < 0 || !CountsSelectedRecords()) return recordIndex;
  if (FDataController->IsSingleSelectMode())
    return FDataController->GetSelectedCount() > 0 && recordIndex == FDataController->GetFocusedRecordIndex() ? recordIndex
                                                                                                             : -1;
  return FDataController->GetSelection()->IsRecordSelected(recordIndex) ? recordIndex : -1;
}

void TcxDataSummary::CalculateRange(TcxDataSummaryItems* items, Integer firstRecordListIndex, Integer lastRecordListIndex,
                                    std::vector<Integer>& counts, std::vector<Variant>& values) {
  if (!items || items->GetCount() == 0) return;
  // The items that take part, decided once for the range.
  std::vector<TcxDataSummaryItem*> calculable;
  for (Integer i = 0; i < items->GetCount(); ++i) {
    TcxDataSummaryItem* item = items->GetSummaryItem(i);
    calculable.push_back(item->IsCalculable() ? item : nullptr);
  }
  // Items no handler sees: a count of records, and a sum or average of stored floating-point
  // values, are accumulated straight from the storage without a variant per record; they
  // leave the range exactly as AccumulateRecord would.
  enum TRoad { srGeneral, srRecordCount, srFloatSum };
  enum TSum { ssEmpty, ssZero, ssDouble };
  struct TDirect {
    std::size_t Item;
    TRoad Road;
    TcxValueDef* Def;
    TSum State;
    double Sum;
  };
  std::vector<TDirect> direct;
  const Boolean nullIgnore = FOptions.Contains(soNullIgnore);
  const Boolean storedValues = !FDataController->IsProviderMode() && !FDataController->IsGridMode();
  for (std::size_t i = 0; i < calculable.size(); ++i) {
    TcxDataSummaryItem* item = calculable[i];
    if (!item) continue;
    TcxDataSummaryItems* owner = item->GetOwnerItems();
    if (owner && owner->GetOnSummary()) continue;
    TcxCustomDataField* field = item->GetDataField();
    const TcxSummaryKind kind = item->GetKind();
    if (kind == skCount && !field) {
      direct.push_back({i, srRecordCount, nullptr, ssEmpty, 0});
    } else if ((kind == skSum || kind == skAverage) && field && storedValues && values[i].IsEmpty() &&
               field->GetValueDef() && TClass(field->GetValueTypeClass()) == TcxFloatValueType::StaticClass()) {
      direct.push_back({i, srFloatSum, field->GetValueDef(), ssEmpty, 0});
    } else {
      continue;
    }
    calculable[i] = nullptr;
  }
  Boolean general = false;
  for (TcxDataSummaryItem* item : calculable) general = general || item;
  TcxDataStorage* storage = FDataController->GetDataStorage();
  for (Integer position = firstRecordListIndex; position <= lastRecordListIndex; ++position) {
    const Integer recordIndex = GetRecordIndex(position);
    if (recordIndex == -1) continue;
    for (TDirect& d : direct) {
      if (d.Road == srRecordCount) {
        // Without a field the value is null.
        if (!nullIgnore) ++counts[d.Item];
        continue;
      }
      const void* data = nullptr;
      if (storage->PrepareCompare(recordIndex, d.Def, data)) {
        if (nullIgnore) continue;
        if (d.State == ssEmpty) d.State = ssZero;
      } else {
        double v;
        std::memcpy(&v, data, sizeof v);
        d.Sum = d.State == ssEmpty ? v : d.State == ssZero ? 0.0 + v : d.Sum + v;
        d.State = ssDouble;
      }
      ++counts[d.Item];
    }
    if (general)
      for (std::size_t i = 0; i < calculable.size(); ++i)
        if (calculable[i]) AccumulateRecord(calculable[i], recordIndex, values[i], counts[i]);
  }
  for (const TDirect& d : direct) {
    if (d.State == ssZero)
      values[d.Item] = Variant(0);
    else if (d.State == ssDouble)
      values[d.Item] = Variant(d.Sum);
  }
}

void TcxDataSummary::AccumulateRecord(TcxDataSummaryItem* item, Integer recordIndex, Variant& value, Integer& count) {
  if (!item->IsCalculable()) return;
  TcxCustomDataField* field = item->GetDataField();
  Variant v = field ? FDataController->GetFieldValue(recordIndex, field) : Null();
  TcxDataSummaryItems* items = item->GetOwnerItems();
  if (items && items->GetOnSummary()) {
    const TcxSummaryEventArguments arguments{recordIndex, item};
    TcxSummaryEventOutArguments out{v, value, count, false};
    items->GetOnSummary()(items, arguments, out);
    v = out.Value;
    value = out.SummaryValue;
    count = out.CountValue;
    if (out.Done) return;
  }
  const TcxSummaryKind kind = item->GetKind();
  if (kind == skNone) return;
  if (v.IsNull() && FOptions.Contains(soNullIgnore)) return;
  if (value.IsEmpty()) {
    switch (kind) {
      case skCount:
        break;
      case skMin:
      case skMax:
        if (!v.IsNull()) value = v;
        break;
      default:
        value = v.IsNull() ? Variant(0) : v;
        break;
    }
  } else if (!v.IsNull() && !value.IsNull()) {
    switch (kind) {
      case skSum:
      case skAverage:
        value = AddSummaryValues(value, v);
        break;
      case skMin:
        if (CompareVariants(v, value) < 0) value = v;
        break;
      case skMax:
        if (CompareVariants(v, value) > 0) value = v;
        break;
      default:
        break;
    }
  }
  ++count;
}

void TcxDataSummary::FinishValue(TcxDataSummaryItem* item, Variant& value, Integer count) {
  if (!item->IsCalculable()) return;
  if (value.IsEmpty()) value = Null();
  switch (item->GetKind()) {
    case skCount:
      value = Variant(count);
      break;
    case skAverage:
      if (count > 0 && !value.IsNull()) {
        const TVarType type = value.GetType();
        if (type == varCurrency)
          value = Variant(Currency::FromDouble(value.AsCurrency().ToDouble() / count));
        else if (type == varDate)
          value = Variant::FromDate(value.AsDouble() / count);
        else
          value = Variant(value.AsDouble() / count);
      }
      break;
    default:
      break;
  }
}

Variant TcxDataSummary::FinishValues(TcxDataSummaryItems* items, std::vector<Integer>& counts, std::vector<Variant>& values) {
  if (!items || items->GetCount() == 0) return Null();
  Variant result = VarArrayCreate(0, items->GetCount() - 1, varVariant);
  for (Integer i = 0; i < items->GetCount(); ++i) {
    FinishValue(items->GetSummaryItem(i), values[std::size_t(i)], counts[std::size_t(i)]);
    result.PutElement(i, values[std::size_t(i)]);
  }
  return result;
}

TcxDataSummaryGroupItemLinkClass TcxDataSummary::GetGroupItemLinkClass() {
  return FDataController->GetSummaryGroupItemLinkClass();
}

TcxDataSummaryItemClass TcxDataSummary::GetSummaryItemClass() { return FDataController->GetSummaryItemClass(); }

Boolean TcxDataSummary::IsValidIndex(const Variant& values, Integer index) {
  return values.IsArray() && index >= values.LowBound() && index <= values.HighBound();
}

void TcxDataSummary::DoCalculateFooter() {
  std::vector<Integer> counts;
  std::vector<Variant> values;
  PrepareValues(FFooterSummaryItems, counts, values);
  if (!FDataController->IsGridMode())
    CalculateRange(FFooterSummaryItems, 0, FDataController->GetFilteredRecordCount() - 1, counts, values);
  FFooterSummaryValues = FinishValues(FFooterSummaryItems, counts, values);
}

void TcxDataSummary::DoCalculateGroups() {
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  const Integer levelCount = groups->GetLevelCount();
  const Integer deepest = levelCount - 1;
  std::vector<Integer> counts;
  std::vector<Variant> values;
  for (Integer level = 0; level < levelCount; ++level) {
    TcxDataGroupSummaryItems* items = GetGroupSummaryItems(level);
    Integer current = -1;
    auto finish = [&] {
      if (current != -1) groups->GetItem(current)->SummaryValues = FinishValues(items, counts, values);
    };
    for (Integer i = 0; i < groups->GetCount(); ++i) {
      const TcxDataGroupInfo& group = groups->GetItemRef(i);
      if (group.Level == level) {
        finish();
        PrepareValues(items, counts, values);
        current = i;
      }
      if (group.Level == deepest && current != -1) CalculateRange(items, group.First, group.Last, counts, values);
    }
    finish();
  }
}

void TcxDataSummary::CalculateGroupsAndNotify() {
  DoCalculateGroups();
  DoAfterSummary();
}

void TcxDataSummary::Calculate() {
  CalculateFooter();
  CalculateGroupsAndNotify();
}

void TcxDataSummary::DoAfterSummary() {
  if (!FOnAfterSummary) return;
  if (FDataController->IsLoading()) {
    FDataController->FAfterSummaryPending = true;
    return;
  }
  if (FInAfterSummary || FDataController->IsDetailTemplate() || FDataController->IsDataStructureChanging()) return;
  FInAfterSummary = true;
  ScopeExit reset{[this] { FInAfterSummary = false; }};
  FOnAfterSummary(this);
}

Variant TcxDataSummary::GetFooterSummaryValue(Integer index) {
  return IsValidIndex(FFooterSummaryValues, index) ? FFooterSummaryValues.GetElement(index) : Null();
}

AnsiString TcxDataSummary::GetFooterSummaryText(Integer index) {
  if (index < 0 || index >= FFooterSummaryItems->GetCount()) return AnsiString();
  const Variant value = IsValidIndex(FFooterSummaryValues, index) ? FFooterSummaryValues.GetElement(index) : Variant();
  return FFooterSummaryItems->GetSummaryItem(index)->FormatValue(value, true);
}

TcxDataGroupSummaryItems* TcxDataSummary::GetGroupSummaryItems(Integer level) {
  TcxGroupingFieldList* grouping = FDataController->GetDataControllerInfo()->GetGroupingFieldList();
  if (level < 0 || level >= grouping->Count()) return nullptr;
  TObject* item = grouping->GetItem(level).Field->GetItem();
  if (TcxDataSummaryGroup* group = item ? FSummaryGroups->FindByItemLink(item) : nullptr) return group->GetSummaryItems();
  return FDefaultGroupSummaryItems;
}

Boolean TcxDataSummary::GetGroupSummaryInfo(Integer rowIndex, TcxDataSummaryItems*& items, Variant& values) {
  items = nullptr;
  values = Null();
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  if (rowIndex < 0 || rowIndex >= FDataController->GetRowCount()) return false;
  TcxDataGroupInfo* group;
  if (groups->FindByRowIndex(rowIndex, group) == -1) return false;
  items = GetGroupSummaryItems(group->Level);
  values = group->SummaryValues;
  return items && !values.IsEmpty() && !values.IsNull();
}

AnsiString TcxDataSummary::GetGroupSummaryText(Integer rowIndex) {
  TcxDataSummaryItems* items;
  Variant values;
  if (!GetGroupSummaryInfo(rowIndex, items, values)) return AnsiString();
  return items->FormatValues(values);
}

AnsiString TcxDataSummary::GetGroupFooterSummaryText(Integer rowIndex, Integer level, Integer index) {
  if (rowIndex < 0 || rowIndex >= FDataController->GetRowCount()) return AnsiString();
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  const Integer group = groups->GetIndexByRowIndex(rowIndex, level);
  if (group == -1 || groups->GetLevel(group) != level) return AnsiString();
  TcxDataGroupSummaryItems* items = GetGroupSummaryItems(level);
  const Variant& values = groups->GetItemRef(group).SummaryValues;
  if (!items || index < 0 || index >= items->GetCount() || !IsValidIndex(values, index)) return AnsiString();
  return items->GetSummaryItem(index)->FormatValue(values.GetElement(index), true);
}

Variant TcxDataSummary::GetGroupSummaryValues(Integer dataGroupIndex) {
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  if (dataGroupIndex < 0 || dataGroupIndex >= groups->GetCount()) return Null();
  return groups->GetItemRef(dataGroupIndex).SummaryValues;
}

TcxDataSummaryItems* TcxDataSummary::GetMatchingSummaryItems(TcxDataSummary* other, TcxDataSummaryItems* items) {
  if (items == FFooterSummaryItems) return other->FFooterSummaryItems;
  if (items == FDefaultGroupSummaryItems) return other->FDefaultGroupSummaryItems;
  for (Integer i = 0; i < FSummaryGroups->GetCount(); ++i)
    if (FSummaryGroups->GetGroup(i)->GetSummaryItems() == items)
      return i < other->FSummaryGroups->GetCount() ? other->FSummaryGroups->GetGroup(i)->GetSummaryItems() : nullptr;
  return nullptr;
}

void TcxDataSummary::RemoveItemByField(TcxCustomDataField* field) {
  BeginUpdate();
  Boolean changed = false;
  auto clear = [&](TcxCustomDataSummaryItem* item) {
    if (item->GetField() != field) return;
    item->ClearField();
    changed = true;
  };
  try {
    for (Integer i = 0; i < FFooterSummaryItems->GetCount(); ++i) clear(FFooterSummaryItems->GetSummaryItem(i));
    for (Integer i = 0; i < FDefaultGroupSummaryItems->GetCount(); ++i) clear(FDefaultGroupSummaryItems->GetSummaryItem(i));
    for (Integer g = 0; g < FSummaryGroups->GetCount(); ++g) {
      TcxDataSummaryGroup* group = FSummaryGroups->GetGroup(g);
      for (Integer i = 0; i < group->GetSummaryItems()->GetCount(); ++i) clear(group->GetSummaryItems()->GetSummaryItem(i));
      for (Integer i = 0; i < group->GetLinks()->GetCount(); ++i) clear(group->GetLinks()->GetLink(i));
    }
  } catch (...) {
    CancelUpdate();
    throw;
  }
  if (changed)
    EndUpdate();
  else
    CancelUpdate();
}

// ---- published properties

namespace {

const orv::EnumNames<TcxSummaryKind> kSummaryKindNames("TcxSummaryKind",
                                                        {"skNone", "skSum", "skMin", "skMax", "skCount", "skAverage"});
const orv::EnumNames<TcxSummaryPosition> kSummaryPositionNames("TcxSummaryPosition", {"spGroup", "spFooter"});
const orv::EnumNames<TcxSummaryOption> kSummaryOptionNames("TcxSummaryOption",
                                                            {"soNullIgnore", "soSelectedRecords",
                                                             "soMultipleSelectedRecords"});

}  // namespace

ORV_PUBLISH(TcxDataSummaryItem) {
  using T = TcxDataSummaryItem;
  p.Property("Format", [](T* self) { return self->GetFormat(); }, [](T* self, AnsiString value) { self->SetFormat(value); });
  p.Property("Kind", &T::GetKind, &T::SetKind).Default(skNone);
  p.Property("Position", &T::GetStoredPosition, &T::SetPosition).Stored([](T* self) { return self->StoresPosition(); });
  p.Property("OnGetText", &T::GetOnGetText, &T::SetOnGetText);
}

ORV_PUBLISH(TcxDataSummaryItems) {
  using T = TcxDataSummaryItems;
  p.Property("OnSummary", &T::GetOnSummary, &T::SetOnSummary);
}

ORV_PUBLISH(TcxDataGroupSummaryItems) {
  using T = TcxDataGroupSummaryItems;
  p.Property("BeginText", &T::GetBeginText, &T::SetBeginText).Default(AnsiString("("));
  p.Property("EndText", &T::GetEndText, &T::SetEndText).Default(AnsiString(")"));
  p.Property("Separator", &T::GetSeparator, &T::SetSeparator).Default(AnsiString(","));
}

ORV_PUBLISH(TcxDataSummaryGroupItemLink) {
  using T = TcxDataSummaryGroupItemLink;
  // The linked item is a component of the form (a grid column).
  p.Property(
      "ItemLink", [](T* self) { return dynamic_cast<TComponent*>(self->GetItemLink()); },
      [](T* self, TComponent* value) { self->SetItemLink(value); });
}

ORV_PUBLISH(TcxDataSummaryGroup) {
  using T = TcxDataSummaryGroup;
  p.Property("Links", &T::GetLinks);
  p.Property("SummaryItems", &T::GetSummaryItems);
}

ORV_PUBLISH(TcxDataSummary) {
  using T = TcxDataSummary;
  p.Property("DefaultGroupSummaryItems", &T::GetDefaultGroupSummaryItems);
  p.Property("FooterSummaryItems", &T::GetFooterSummaryItems);
  p.Property("SummaryGroups", &T::GetSummaryGroups);
  p.Property("Options", &T::GetOptions, &T::SetOptions).Default(TcxSummaryOptions{});
  p.Property("OnAfterSummary", &T::GetOnAfterSummary, &T::SetOnAfterSummary);
}

// ==== Relations and detail objects ==========================================================

TcxCustomDataRelation::TcxCustomDataRelation(TcxCustomDataRelationList* relationList, TObject* item)
    : FItem(item), FRelationList(relationList) {
  relationList->FItems.push_back(this);
}

void TcxCustomDataRelation::BeforeDestruction() {
  if (TcxCustomDataController* detail = FDetailDataController) {
    FDetailDataController = nullptr;
    detail->AttachAsDetailTemplate(nullptr, detail->GetIsPattern());
  }
  if (FRelationList) {
    // The records' detail controllers of this relation go first: they hold it as their master
    // relation.
    const Integer index = GetIndex();
    for (TcxDetailObject* object : FRelationList->FDetailObjects)
      if (object) object->ClearInfoObject(index);
    auto& items = FRelationList->FItems;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
    FRelationList->Changed(nullptr);
  }
  inherited::BeforeDestruction();
}

void TcxCustomDataRelation::Changed() { FRelationList->Changed(this); }

TcxCustomDataController* TcxCustomDataRelation::GetDataController() const { return FRelationList->GetDataController(); }

Integer TcxCustomDataRelation::GetIndex() const { return IndexIn(FRelationList->FItems, const_cast<TcxCustomDataRelation*>(this)); }

void TcxDetailObject::ClearInfoObjects() {
  for (std::size_t i = 0; i < FInfoObjects.size(); ++i) ClearInfoObject(Integer(i));
  FInfoObjects.clear();
}

Boolean TcxDetailObject::ClearInfoObject(Integer index) {
  TcxDetailInfoObject* info = GetInfoObject(index);
  if (!info || !info->LinkObject) return false;
  TObject* link = info->LinkObject;
  info->LinkObject = nullptr;
  link->Free();
  return true;
}

TcxDetailInfoObject* TcxDetailObject::GetInfoObject(Integer index) {
  return index >= 0 && index < Integer(FInfoObjects.size()) ? &FInfoObjects[std::size_t(index)] : nullptr;
}

TcxDetailInfoObject* TcxDetailObject::InfoObject(Integer index) {
  if (index >= Integer(FInfoObjects.size())) FInfoObjects.resize(std::size_t(index) + 1);
  return &FInfoObjects.at(std::size_t(index));
}

TObject* TcxDetailObject::GetLinkObject(Integer index) {
  TcxDetailInfoObject* info = GetInfoObject(index);
  return info ? info->LinkObject : nullptr;
}

void TcxDetailObject::SetLinkObject(Integer index, TObject* value) { InfoObject(index)->LinkObject = value; }

Boolean TcxDetailObject::IsEmpty() {
  for (const TcxDetailInfoObject& info : FInfoObjects)
    if (info.LinkObject) return false;
  return true;
}

Boolean TcxDetailObject::ResetHasChildren() {
  Boolean any = false;
  for (TcxDetailInfoObject& info : FInfoObjects) {
    any = any || info.HasChildrenAssigned;
    info.HasChildrenAssigned = false;
  }
  return any;
}

void TcxDetailObject::CorrectActiveRelationIndex(TcxCustomDataRelationList* relations) {
  const Integer count = relations->Count();
  if (Integer(FInfoObjects.size()) < count) FInfoObjects.resize(std::size_t(count));
  if (count == 0) {
    ActiveRelationIndex = -1;
    return;
  }
  ActiveRelationIndex = std::clamp<Integer>(ActiveRelationIndex, 0, count - 1);
  if (relations->GetItem(ActiveRelationIndex)->GetDetailDataController()) return;
  for (Integer i = 0; i < count; ++i)
    if (relations->GetItem(i)->GetDetailDataController()) {
      ActiveRelationIndex = i;
      return;
    }
}

void TcxCustomDataRelationList::BeforeDestruction() {
  FLockCount = 1;  // nothing is applied while the list goes
  FreeDetailObjects();
  while (!FItems.empty()) {
    TcxCustomDataRelation* relation = FItems.back();
    FItems.pop_back();
    relation->FRelationList = nullptr;
    relation->Free();
  }
  inherited::BeforeDestruction();
}

TcxCustomDataRelation* TcxCustomDataRelationList::Add(TObject* item) {
  TcxCustomDataRelation* relation = FDataController->GetRelationClass().Create(this, item);
  Changed(relation);
  return relation;
}

void TcxCustomDataRelationList::Assign(TcxCustomDataRelationList* source) {
  BeginUpdate();
  try {
    Clear();
    for (TcxCustomDataRelation* relation : source->FItems) Add(relation->GetItem())->CopyFrom(relation);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomDataRelationList::EndUpdate() {
  --FLockCount;
  Changed(nullptr);
}

void TcxCustomDataRelationList::Clear() {
  BeginUpdate();
  while (!FItems.empty()) FItems.back()->Free();
  EndUpdate();
}

TcxCustomDataRelation* TcxCustomDataRelationList::FindByItem(TObject* item) {
  for (TcxCustomDataRelation* relation : FItems)
    if (relation->GetItem() == item) return relation;
  return nullptr;
}

void TcxCustomDataRelationList::Move(Integer fromIndex, Integer toIndex) {
  if (fromIndex == toIndex) return;
  TcxCustomDataRelation* relation = FItems.at(std::size_t(fromIndex));
  FItems.erase(FItems.begin() + fromIndex);
  FItems.insert(FItems.begin() + std::clamp<Integer>(toIndex, 0, Count()), relation);
  Changed(nullptr);
}

Boolean TcxCustomDataRelationList::IsDetailFree() {
  for (TcxCustomDataRelation* relation : FItems)
    if (relation->GetDetailDataController()) return false;
  return true;
}

void TcxCustomDataRelationList::Changed(TcxCustomDataRelation* relation) {
  if (FLockCount != 0) return;
  TcxCustomDataController* controller = FDataController;
  controller->LockUpdate();
  ScopeExit unlock{[controller] { controller->UnlockUpdate(); }};
  // Every record's details collapse: their relations are not the same any more.
  for (TcxDetailObject* object : FDetailObjects)
    if (object) {
      object->ClearInfoObjects();
      object->Expanded = false;
    }
  if (FItems.empty()) FreeDetailObjects();
  controller->RelationChanged(relation);
}

void TcxCustomDataRelationList::FreeDetailObject(TcxDetailObject*& object) {
  if (!object) return;
  TcxDetailObject* dying = object;
  object = nullptr;
  dying->Free();
}

void TcxCustomDataRelationList::FreeDetailObjects() {
  for (TcxDetailObject*& object : FDetailObjects) FreeDetailObject(object);
  FDetailObjects.clear();
}

void TcxCustomDataRelationList::TrimDetailObjects(Integer recordCount) {
  while (Integer(FDetailObjects.size()) > std::max<Integer>(recordCount, 0)) {
    FreeDetailObject(FDetailObjects.back());
    FDetailObjects.pop_back();
  }
}

TcxDetailObject* TcxCustomDataRelationList::GetStoredDetailObject(Integer recordIndex) const {
  return recordIndex >= 0 && recordIndex < Integer(FDetailObjects.size()) ? FDetailObjects[std::size_t(recordIndex)] : nullptr;
}

TcxDetailObject* TcxCustomDataRelationList::GetDetailObject(Integer recordIndex) {
  if (recordIndex < 0 || recordIndex >= FDataController->GetRecordCount()) RaiseControllerError(cxSDataRecordIndexError);
  if (FItems.empty()) return nullptr;
  if (IsDetailFree()) {
    if (recordIndex < Integer(FDetailObjects.size())) FreeDetailObject(FDetailObjects[std::size_t(recordIndex)]);
    return nullptr;
  }
  if (recordIndex >= Integer(FDetailObjects.size())) FDetailObjects.resize(std::size_t(recordIndex) + 1, nullptr);
  TcxDetailObject*& object = FDetailObjects[std::size_t(recordIndex)];
  if (!object) {
    object = new TcxDetailObject;
    object->ActiveRelationIndex = FDataController->GetDefaultActiveRelationIndex();
  }
  object->CorrectActiveRelationIndex(this);
  return object;
}

Boolean TcxCustomDataRelationList::HasDetail(Integer recordIndex, Integer relationIndex) {
  TcxDetailObject* object = GetStoredDetailObject(recordIndex);
  if (!object) return false;
  if (relationIndex != -1) return object->GetLinkObject(relationIndex) != nullptr;
  return !object->IsEmpty();
}

Boolean TcxCustomDataRelationList::ClearDetailObject(Integer recordIndex, Integer relationIndex) {
  if (recordIndex < 0 || recordIndex >= FDataController->GetRecordCount()) RaiseControllerError(cxSDataRecordIndexError);
  TcxDetailObject* object = GetStoredDetailObject(recordIndex);
  if (!object) return false;
  if (relationIndex == -1)
    object->ClearInfoObjects();
  else
    object->ClearInfoObject(relationIndex);
  return true;
}

void TcxCustomDataRelationList::RemoveField(TcxCustomDataField* field) {
  for (TcxCustomDataRelation* relation : FItems) relation->ForgetField(field);
}

void TcxCustomDataRelationList::RecordInserted(Integer recordIndex) {
  if (recordIndex < Integer(FDetailObjects.size()))
    FDetailObjects.insert(FDetailObjects.begin() + std::max<Integer>(recordIndex, 0), nullptr);
}

void TcxCustomDataRelationList::RecordDeleted(Integer recordIndex) {
  if (recordIndex < 0 || recordIndex >= Integer(FDetailObjects.size())) return;
  FreeDetailObject(FDetailObjects[std::size_t(recordIndex)]);
  FDetailObjects.erase(FDetailObjects.begin() + recordIndex);
}

// ---- controller side

TcxCustomDataRelationList* TcxCustomDataController::GetRelationList() {
  if (!FRelations) FRelations = new TcxCustomDataRelationList(this);
  return FRelations;
}

Integer TcxCustomDataController::GetDetailMode() {
  if (FIsPattern || (FMasterRelation && FMasterRecordIndex == -1)) return 1;
  return FMasterRelation ? 2 : 0;
}

TcxCustomDataController* TcxCustomDataController::GetMasterDataController() const {
  return FMasterRelation ? FMasterRelation->GetDataController() : nullptr;
}

TcxCustomDataController* TcxCustomDataController::GetRootDataController() {
  TcxCustomDataController* controller = this;
  while (TcxCustomDataController* master = controller->GetMasterDataController()) controller = master;
  return controller;
}

TcxCustomDataController* TcxCustomDataController::GetPatternDataController() {
  if (!FMasterRelation) return this;
  return FMasterRelation->GetDetailDataController() ? FMasterRelation->GetDetailDataController() : this;
}

void TcxCustomDataController::SetMasterRelation(TcxCustomDataRelation* relation, Integer masterRecordIndex) {
  if (relation == FMasterRelation && masterRecordIndex == FMasterRecordIndex) return;
  LockUpdate();
  ScopeExit unlock{[this] { UnlockUpdate(); }};
  if (FMasterRelation && FMasterRecordIndex == -1 && FMasterRelation->FDetailDataController == this)
    FMasterRelation->FDetailDataController = nullptr;
  FMasterRelation = relation;
  if (relation && masterRecordIndex == -1) {
    relation->FDetailDataController = this;
    if (relation->FRelationList) relation->FRelationList->GetDataController()->RelationChanged(relation);
  }
  FMasterRecordIndex = relation ? masterRecordIndex : -1;
  LayoutChanged(2);
}

void TcxCustomDataController::AttachAsDetailTemplate(TcxCustomDataRelation* relation, Boolean isTemplate) {
  BeginUpdate();
  ScopeExit end{[this] { EndUpdate(); }};
  SetMasterRelation(relation, -1);
  SetIsPattern(isTemplate);
}

void TcxCustomDataController::SetIsPattern(Boolean value) {
  const Boolean wasTemplate = IsDetailTemplate();
  FIsPattern = value;
  if (wasTemplate != IsDetailTemplate() && !IsDestroying()) RebuildStructure();
}

TObject* TcxCustomDataController::GetDetailLinkObject(Integer recordIndex, Integer relationIndex) {
  TcxDetailObject* object = FRelations ? FRelations->GetDetailObject(recordIndex) : nullptr;
  if (!object || relationIndex < 0 || relationIndex >= FRelations->Count()) return nullptr;
  TObject* link = object->GetLinkObject(relationIndex);
  if (link || FCreatingLinkObject) return link;
  FCreatingLinkObject = true;
  ScopeExit reset{[this] { FCreatingLinkObject = false; }};
  link = CreateDetailLinkObject(FRelations->GetItem(relationIndex), recordIndex);
  // The record may have gone meanwhile.
  if (link && FRelations->GetStoredDetailObject(recordIndex) != object) {
    link->Free();
    return nullptr;
  }
  if (link) object->SetLinkObject(relationIndex, link);
  return link;
}

TcxCustomDataController* TcxCustomDataController::GetDetailDataController(Integer recordIndex, Integer relationIndex) {
  TObject* link = GetDetailLinkObject(recordIndex, relationIndex);
  return link ? GetDetailDataController(link) : nullptr;
}

Boolean TcxCustomDataController::IsDetailDataControllerExist(Integer recordIndex, Integer relationIndex) {
  return FRelations && FRelations->HasDetail(recordIndex, relationIndex);
}

void TcxCustomDataController::RelationChanged(TcxCustomDataRelation* relation) {
  if (IsDestroying()) return;
  if (IsDetailTemplate()) {
    if (FMasterRelation) GetRootDataController()->ResetRelationDetails(FMasterRelation->GetItem());
    return;
  }
  Change(dccData);
}

void TcxCustomDataController::ResetRelationDetails(TObject* item) {
  if (!FRelations) return;
  if (TcxCustomDataRelation* relation = FRelations->FindByItem(item)) {
    const Integer index = relation->GetIndex();
    for (Integer r = 0; r < GetRecordCount(); ++r)
      if (FRelations->GetStoredDetailObject(r)) FRelations->ClearDetailObject(r, index);
    return;
  }
  for (Integer r = 0; r < GetRecordCount(); ++r)
    if (TcxDetailObject* object = FRelations->GetStoredDetailObject(r))
      for (Integer i = 0; i < object->LinkObjectCount(); ++i)
        if (TObject* link = object->GetLinkObject(i))
          if (TcxCustomDataController* detail = GetDetailDataController(link)) detail->ResetRelationDetails(item);
}

void TcxCustomDataController::CheckDetailsBrowseMode() {
  if (!FRelations) return;
  for (Integer r = 0; r < GetRecordCount(); ++r)
    if (TcxDetailObject* object = FRelations->GetStoredDetailObject(r))
      for (Integer i = 0; i < object->LinkObjectCount(); ++i)
        if (TObject* link = object->GetLinkObject(i))
          if (TcxCustomDataController* detail = GetDetailDataController(link)) detail->CheckBrowseMode();
}

Boolean TcxCustomDataController::CanChangeDetailExpanding(Integer recordIndex, Boolean expanded) {
  Boolean allow = true;
  if (expanded)
    DoDetailExpanding(recordIndex, allow);
  else
    DoDetailCollapsing(recordIndex, allow);
  return allow;
}

Boolean TcxCustomDataController::GetDetailExpanding(Integer recordIndex) {
  TcxDetailObject* object = FRelations ? FRelations->GetStoredDetailObject(recordIndex) : nullptr;
  return object && object->Expanded;
}

Boolean TcxCustomDataController::ChangeDetailExpanding(Integer recordIndex, Boolean expanded) {
  if (GetDetailExpanding(recordIndex) == expanded) return true;
  if (recordIndex < 0 || recordIndex >= GetRecordCount() || !FRelations) return false;
  FInDetailExpanding = true;
  ScopeExit reset{[this] { FInDetailExpanding = false; }};
  CheckBrowseMode();
  TcxDetailObject* object = FRelations->GetDetailObject(recordIndex);
  if (!object || !CanChangeDetailExpanding(recordIndex, expanded)) return false;
  object->Expanded = expanded;
  TcxCustomDataController* master = GetMasterDataController();
  if (!master || master->LockCount() == 0) Change(dccDetail);
  if (expanded)
    DoDetailExpanded(recordIndex);
  else
    DoDetailCollapsed(recordIndex);
  return true;
}

Integer TcxCustomDataController::GetDetailActiveRelationIndex(Integer recordIndex) {
  if (!FRelations || FRelations->Count() == 0) return -1;
  TcxDetailObject* object = FRelations->GetDetailObject(recordIndex);
  return object ? object->ActiveRelationIndex : -1;
}

void TcxCustomDataController::ChangeDetailActiveRelationIndex(Integer recordIndex, Integer relationIndex) {
  if (!FRelations || FRelations->Count() == 0) return;
  TcxDetailObject* object = FRelations->GetDetailObject(recordIndex);
  if (!object || object->ActiveRelationIndex == relationIndex) return;
  CheckBrowseMode();
  object->ActiveRelationIndex = relationIndex;
  Change(dccDetail);
}

void TcxCustomDataController::ClearDetailLinkObject(Integer recordIndex, Integer relationIndex) {
  if (FRelations && FRelations->HasDetail(recordIndex, relationIndex) &&
      FRelations->ClearDetailObject(recordIndex, relationIndex))
    Change(dccDetail);
}

void TcxCustomDataController::ClearDetails() {
  if (!FRelations) return;
  LockUpdate();
  ScopeExit unlock{[this] { UnlockUpdate(); }};
  for (Integer r = 0; r < GetRecordCount(); ++r) ClearDetailLinkObject(r, -1);
}

void TcxCustomDataController::CollapseDetails() {
  if (!FRelations) return;
  CheckBrowseMode();
  LockUpdate();
  ScopeExit unlock{[this] { UnlockUpdate(); }};
  for (Integer r = 0; r < GetRecordCount(); ++r) {
    TcxDetailObject* object = FRelations->GetStoredDetailObject(r);
    if (!object) continue;
    object->ClearInfoObjects();
    if (object->Expanded) {
      object->Expanded = false;
      Change(dccDetail);
    }
  }
}

Boolean TcxCustomDataController::HasDetailChildren(Integer recordIndex, Integer relationIndex) {
  if (!FRelations || relationIndex < 0 || relationIndex >= FRelations->Count()) return false;
  if (TcxDetailObject* object = FRelations->GetStoredDetailObject(recordIndex))
    if (TObject* link = object->GetLinkObject(relationIndex))
      if (TcxCustomDataController* detail = GetDetailDataController(link)) return detail->GetRecordCount() > 0;
  if (!IsProviderMode() && !GetProvider()->HasOpenDataSet()) return false;
  TcxDetailObject* object = FRelations->GetDetailObject(recordIndex);
  if (!object) return false;
  TcxDetailInfoObject* info = object->InfoObject(relationIndex);
  if (!info->HasChildrenAssigned) {
    info->HasChildren = GetProvider()->GetDetailHasChildren(recordIndex, relationIndex);
    info->HasChildrenAssigned = true;
  }
  return info->HasChildren;
}

void TcxCustomDataController::ResetDetailHasChildren() {
  if (!FRelations) return;
  Boolean any = false;
  for (Integer r = 0; r < GetRecordCount(); ++r)
    if (TcxDetailObject* object = FRelations->GetStoredDetailObject(r)) any = object->ResetHasChildren() || any;
  if (any) FInfo->LayoutChanged();
}

void TcxCustomDataController::RecordInserted(Integer recordIndex) {
  if (!FRelations) return;
  FRelations->RecordInserted(recordIndex);
  ReindexDetailMasters(recordIndex + 1);
}

void TcxCustomDataController::ReindexDetailMasters(Integer fromRecordIndex) {
  for (Integer r = std::max<Integer>(fromRecordIndex, 0); r < GetRecordCount(); ++r)
    if (TcxDetailObject* object = FRelations->GetStoredDetailObject(r))
      for (Integer i = 0; i < object->LinkObjectCount(); ++i)
        if (TObject* link = object->GetLinkObject(i))
          if (TcxCustomDataController* detail = GetDetailDataController(link)) detail->FMasterRecordIndex = r;
}

// ==== Saved keys =============================================================================

void TcxDataControllerKeys::BeforeDestruction() {
  Clear();
  inherited::BeforeDestruction();
}

void TcxDataControllerKeys::Clear() {
  for (TcxKeyInfo& info : FInfos) FreeInfo(info);
  FInfos.clear();
}

Variant TcxDataControllerKeys::RecordKey(Integer recordIndex) { return FDataController->GetRecordKeyValues(recordIndex, FKeyFields); }

void TcxDataControllerKeys::Save(TcxCustomDataController* dataController) {
  Clear();
  FDataController = dataController;
  FKeyFields.clear();
  dataController->GetKeyFieldList(FKeyFields);
  SaveData();
  std::stable_sort(FInfos.begin(), FInfos.end(),
                   [](const TcxKeyInfo& a, const TcxKeyInfo& b) { return CompareVariants(a.Key, b.Key) < 0; });
}

void TcxDataControllerKeys::Restore(TcxCustomDataController* dataController) {
  FDataController = dataController;
  FKeyFields.clear();
  dataController->GetKeyFieldList(FKeyFields);
  if (!FInfos.empty()) RestoreData();
  Clear();
}

Integer TcxDataControllerKeys::FindRecordKey(Integer recordIndex) {
  const Variant key = RecordKey(recordIndex);
  const auto it = std::lower_bound(FInfos.begin(), FInfos.end(), key,
                                   [](const TcxKeyInfo& info, const Variant& k) { return CompareVariants(info.Key, k) < 0; });
  return it != FInfos.end() && CompareVariants(it->Key, key) == 0 ? Integer(it - FInfos.begin()) : -1;
}

void TcxDetailKeys::FreeInfo(TcxKeyInfo& info) { FreeAndNil(info.SaveObject); }

void TcxDetailKeys::SaveData() {
  TcxCustomDataController* controller = GetDataController();
  TcxCustomDataRelationList* relations = controller->FindRelationList();
  if (!relations) return;
  for (Integer r = 0; r < controller->GetRecordCount(); ++r) {
    TcxDetailObject* object = relations->GetStoredDetailObject(r);
    if (!object || !object->Expanded) continue;
    TcxKeyInfo info;
    info.Key = RecordKey(r);
    info.ActiveRelationIndex = object->ActiveRelationIndex;
    TcxCustomDataController* detail = controller->GetDetailDataController(r, object->ActiveRelationIndex);
    if (detail && detail->InheritsFrom(controller->ClassType())) {
      info.SaveObject = new TcxSaveObject;
      info.SaveObject->Save(detail);
    }
    AddInfo(std::move(info));
  }
}

void TcxDetailKeys::RestoreData() {
  TcxCustomDataController* controller = GetDataController();
  for (Integer r = 0; r < controller->GetRecordCount(); ++r) {
    const Integer index = FindRecordKey(r);
    if (index == -1) continue;
    TcxKeyInfo& info = GetInfo(index);
    controller->ChangeDetailExpanding(r, true);
    controller->ChangeDetailActiveRelationIndex(r, info.ActiveRelationIndex);
    if (!info.SaveObject || !controller->GetDetailExpanding(r) ||
        controller->GetDetailActiveRelationIndex(r) != info.ActiveRelationIndex)
      continue;
    TcxCustomDataController* detail = controller->GetDetailDataController(r, info.ActiveRelationIndex);
    if (detail && detail->InheritsFrom(controller->ClassType())) info.SaveObject->Restore(detail);
  }
}

void TcxSelectedKeys::SaveData() {
  TcxCustomDataController* controller = GetDataController();
  TcxDataSelection* selection = controller->GetSelection();
  for (Integer i = 0; i < selection->Count(); ++i) {
    const TcxDataSelectionItem& item = selection->GetItem(i);
    if (item.Level == -1 || item.RecordIndex < 0 || item.RecordIndex >= controller->GetRecordCount()) continue;
    TcxKeyInfo info;
    info.Key = RecordKey(item.RecordIndex);
    info.SelectionIndex = i;
    AddInfo(std::move(info));
  }
}

void TcxSelectedKeys::RestoreData() {
  TcxCustomDataController* controller = GetDataController();
  TcxDataSelection* selection = controller->GetSelection();
  if (selection->Count() == 0) return;
  // Each saved entry takes the record that now has its key; entries whose key is gone go.
  std::vector<Integer> records(std::size_t(selection->Count()), -1);
  for (Integer r = 0; r < controller->GetRecordCount(); ++r) {
    const Integer index = FindRecordKey(r);
    if (index == -1) continue;
    const Integer entry = GetInfo(index).SelectionIndex;
    if (entry >= 0 && entry < Integer(records.size())) records[std::size_t(entry)] = r;
  }
  for (Integer i = selection->Count() - 1; i >= 0; --i) {
    TcxDataSelectionItem& item = selection->GetItemRef(i);
    if (item.Level == -1) continue;
    if (records[std::size_t(i)] == -1)
      selection->DeleteItem(i);
    else
      item.RecordIndex = records[std::size_t(i)];
  }
  controller->GetDataControllerInfo()->MarkExpandingChanged();
}

void TcxSaveObject::Save(TcxCustomDataController* dataController) {
  if (dataController->FCreatingLinkObject || dataController->IsDestroying() || !dataController->HasRecordKeys()) return;
  FDetailKeys.Save(dataController);
  FSelectedKeys.Save(dataController);
}

void TcxSaveObject::Restore(TcxCustomDataController* dataController) {
  if (dataController->FCreatingLinkObject) return;
  if (dataController->HasRecordKeys()) {
    FDetailKeys.Restore(dataController);
    FSelectedKeys.Restore(dataController);
  } else {
    dataController->ClearDetails();
  }
}

// ==== Unbound controller =====================================================================

TcxDataController::TcxDataController(TComponent* owner) : TcxCustomDataController(owner) { ActiveChanged(true); }

// ==== Filter criteria bound to a controller ==================================================

TcxDataFilterCriteria* TcxCustomDataController::GetFilter() {
  if (!FFilter) FFilter = GetFilterCriteriaClass().Create(this);
  return FFilter;
}

void TcxCustomDataController::SetFilter(TcxDataFilterCriteria* value) { GetFilter()->AssignCriteria(value, true); }

TcxDataFilterCriteriaClass TcxCustomDataController::GetFilterCriteriaClass() {
  return TcxDataFilterCriteria::StaticClass();
}

TcxDataFilterCriteria* TcxCustomDataController::CreateFilter() {
  TcxDataFilterCriteria* criteria = GetFilterCriteriaClass().Create(this);
  criteria->FIsExtraFilter = true;
  FFilters->Add(criteria);
  return criteria;
}

// ---- conditions

TcxDataFilterCriteriaItem::TcxDataFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                                     TcxFilterOperatorCode operatorCode, const Variant& value,
                                                     const AnsiString& displayValue)
    : TcxFilterCriteriaItem(parent, itemLink, operatorCode, value, displayValue) {
  SetLinkedItem(itemLink);
}

TcxCustomDataController* TcxDataFilterCriteriaItem::GetDataController() {
  auto* criteria = static_cast<TcxDataFilterCriteria*>(OwnerCriteria());
  return criteria ? criteria->GetDataController() : nullptr;
}

TcxCustomDataField* TcxDataFilterCriteriaItem::GetField() {
  return static_cast<TcxCustomDataField*>(inherited::GetLinkedItem());
}

Integer TcxDataFilterCriteriaItem::GetItemIndex() {
  TcxCustomDataField* field = GetField();
  return field && field->GetItem() ? field->GetIndex() : -1;
}

void TcxDataFilterCriteriaItem::GetDataValue(Integer recordIndex, Variant& value) {
  TcxCustomDataField* field = GetField();
  TcxCustomDataController* controller = field ? GetDataController() : nullptr;
  if (!controller)
    value = Null();
  else
    value = controller->GetFilterValue(recordIndex, field);
}

AnsiString TcxDataFilterCriteriaItem::GetFieldCaption() {
  const Integer itemIndex = GetItemIndex();
  TcxCustomDataController* controller = GetDataController();
  return itemIndex < 0 || !controller ? AnsiString() : controller->GetItemFilterCaption(itemIndex);
}

AnsiString TcxDataFilterCriteriaItem::GetFieldName() {
  const Integer itemIndex = GetItemIndex();
  TcxCustomDataController* controller = GetDataController();
  return itemIndex < 0 || !controller ? AnsiString() : controller->GetItemFilterFieldName(itemIndex);
}

TObject* TcxDataFilterCriteriaItem::GetLinkedItem() {
  TcxCustomDataField* field = GetField();
  return field ? field->GetItem() : nullptr;
}

void TcxDataFilterCriteriaItem::SetLinkedItem(TObject* value) {
  if (value && !value->InheritsFrom(TcxCustomDataField::StaticClass())) {
    TcxCustomDataController* controller = GetDataController();
    value = controller ? controller->GetFieldByItem(value) : nullptr;
  }
  inherited::SetLinkedItem(value);
}

// ---- criteria

TcxDataFilterCriteria::TcxDataFilterCriteria(TcxCustomDataController* dataController)
    : FDataController(dataController) {
  SetStreamVersion(kDefaultFilterStreamVersion);
}

void TcxDataFilterCriteria::BeforeDestruction() {
  FDestroying = true;
  if (FIsExtraFilter && FDataController && FDataController->GetFilters()) FDataController->GetFilters()->Remove(this);
  SetActive(false);
  inherited::BeforeDestruction();
}

Integer TcxDataFilterCriteria::GetIDByItemLink(TObject* itemLink) { return FDataController->GetItemID(itemLink); }

AnsiString TcxDataFilterCriteria::GetNameByItemLink(TObject* itemLink) { return FDataController->GetItemName(itemLink); }

TObject* TcxDataFilterCriteria::GetItemLinkByID(Integer id) { return FDataController->FindItemByID(id); }

TObject* TcxDataFilterCriteria::GetItemLinkByName(const AnsiString& name) {
  return FDataController->FindItemByName(name);
}

TcxFilterCriteriaItemClass TcxDataFilterCriteria::GetItemClass() { return TcxDataFilterCriteriaItem::StaticClass(); }

orv::ClassOf<TcxFilterValueList> TcxDataFilterCriteria::GetValueListClass() {
  return TcxDataFilterValueList::StaticClass();
}

void TcxDataFilterCriteria::DoChanged() {
  if (FIsExtraFilter || FDestroying || FDataController->IsDestroying()) return;
  if (FDataController->IsLoading()) {
    FChangedWhileLoading = true;
    return;
  }
  // A pending edit is written before the rows are filtered again.
  if (!FDataController->GetProvider()->HasOpenDataSet()) FDataController->Post(false);
  FDataController->FilterChanged();
  inherited::DoChanged();
}

void TcxDataFilterCriteria::AssignCriteria(TPersistent* source, Boolean withoutNames) {
  LockChanges();
  try {
    inherited::AssignCriteria(source, withoutNames);
    if (auto* other = dynamic_cast<TcxDataFilterCriteria*>(source)) SetActive(other->FActive);
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

void TcxDataFilterCriteria::CopyEvents(TcxFilterCriteria* source) {
  inherited::CopyEvents(source);
  if (auto* other = dynamic_cast<TcxDataFilterCriteria*>(source)) FOnGetValueList = other->FOnGetValueList;
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::FindItemForLink(TObject* itemLink) {
  if (itemLink && !itemLink->InheritsFrom(TcxCustomDataField::StaticClass()))
    itemLink = FDataController->GetFieldByItem(itemLink);
  return itemLink ? inherited::FindItemForLink(itemLink) : nullptr;
}

void TcxDataFilterCriteria::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineBinaryProperty("Criteria", TStreamProc(this, &TcxDataFilterCriteria::ReadData),
                              TStreamProc(this, &TcxDataFilterCriteria::WriteData), HasStorableItems());
}

TcxDataFilterValueList* TcxDataFilterCriteria::CreateValueList() {
  return static_cast<TcxDataFilterValueList*>(GetValueListClass().Create(this));
}

Boolean TcxDataFilterCriteria::IsFiltering() {
  return FActive && !IsEmptyCriteria() && !FDataController->IsGridMode();
}

void TcxDataFilterCriteria::SetActive(Boolean value) {
  if (FActive == value) return;
  FActive = value;
  MarkChanged();
}

namespace {

Boolean HasNotNullConditionIn(TcxFilterCriteriaItemList* group, TcxCustomDataField* field) {
  for (Integer i = 0; i < group->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->GetItem(i);
    if (child->IsGroup()) {
      if (HasNotNullConditionIn(static_cast<TcxFilterCriteriaItemList*>(child), field)) return true;
      continue;
    }
    auto* condition = static_cast<TcxDataFilterCriteriaItem*>(child);
    if (condition->GetField() == field && condition->GetOperator() &&
        condition->GetOperator()->InheritsFrom(TcxFilterNotNullOperator::StaticClass()))
      return true;
  }
  return false;
}

}  // namespace

Boolean TcxDataFilterCriteria::HasNotNullCondition(TcxCustomDataField* field) {
  return HasNotNullConditionIn(GetRoot(), field);
}

ORV_PUBLISH(TcxDataFilterCriteria) {
  using T = TcxDataFilterCriteria;
  p.Property("Active", &T::GetActive, &T::SetActive).Default(false);
  p.Property("OnGetValueList", &T::GetOnGetValueList, &T::SetOnGetValueList);
}

// ---- value list

void TcxDataFilterValueList::Load(Integer itemIndex, Boolean initSorting, Boolean filteredOnly) {
  TcxDataFilterCriteria* criteria = GetDataCriteria();
  TcxCustomDataController* controller = criteria->GetDataController();
  TcxCustomDataField* field = controller->GetItemField(itemIndex);
  RemoveEntries();
  if (initSorting) SetSortByDisplayText(controller->IsTextSortedItem(itemIndex));
  AddEntry(fvkAll, Null(), false, FilterCaptionText(&cxSFilterBoxAllCaption));
  AddEntry(fvkCustom, Null(), false, FilterCaptionText(&cxSFilterBoxCustomCaption));
  Boolean blanks = false;
  if (controller->IsGridMode()) {
    blanks = true;
  } else {
    if (filteredOnly && controller->GetFilteredRecordCount() == 0) filteredOnly = false;
    const Integer count = filteredOnly ? controller->GetFilteredRecordCount() : controller->GetRecordCount();
    Variant value;
    for (Integer i = 0; i < count; ++i) {
      const Integer recordIndex = filteredOnly ? controller->GetFilteredRecordIndex(i) : i;
      value = controller->GetFilterValue(recordIndex, field);
      if (criteria->IsNullValue(value))
        blanks = true;
      else
        AddEntry(fvkValue, value, false, controller->GetFilterDisplayText(recordIndex, itemIndex));
    }
  }
  if (blanks) AddEntry(fvkBlanks, Null(), false, FilterCaptionText(&cxSFilterBoxBlanksCaption));
  if (blanks || (filteredOnly && criteria->HasNotNullCondition(field)))
    AddEntry(fvkNonBlanks, Null(), false, FilterCaptionText(&cxSFilterBoxNonBlanksCaption));
  if (criteria->GetOnGetValueList()) criteria->GetOnGetValueList()(criteria, itemIndex, this);
}

// ---- extra criteria

void TcxDataFilterList::BeforeDestruction() {
  Clear();
  inherited::BeforeDestruction();
}

void TcxDataFilterList::Remove(TcxDataFilterCriteria* criteria) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), criteria), FItems.end());
}

void TcxDataFilterList::Clear() {
  while (!FItems.empty()) {
    TcxDataFilterCriteria* criteria = FItems.back();
    FItems.pop_back();
    criteria->Free();
  }
}

void TcxDataFilterList::RemoveItemByItemLink(TObject* field) {
  for (TcxDataFilterCriteria* criteria : FItems) criteria->RemoveItemByItemLink(field);
}
