// The data controller: the model behind grids, lookup lists and the filter control.
//
// A controller holds one field per item (column), the records in a data storage (or in a custom
// data source reached through its provider), and a row model that filters and orders the
// records into rows and keeps the focus and the selection. Every change is recorded as pending
// change bits while the controller is locked and delivered once, at the outermost unlock, in a
// fixed order: update notices to the owner's update callback (data or layout, focus, selection,
// search, bookmark), then the grouping and sorting events. Data changes merge while locked: two
// items of one record make a record change, two records a whole-data change.
//
// Rows are ordered by the grouping fields, then by the sorting fields, and last by the record
// index, so rows that compare equal keep their load order. Sorting runs our own quicksort over
// the record list; the comparison mode of every sorting field is decided once per sort, and
// text compared by the locale's collation is compared through sort keys made once per record.
//
// Record indexes: 0 .. GetRecordCount() - 1 are stored records; internal records (the new-item
// record, the provider's saved copy, locate buffers) are negative; cxNullEditingRecordIndex
// means "no record" wherever an editing record is held; -1 means no row or record in row and
// focus operations.
#pragma once

#include <memory>
#include <vector>

#include "components/data/cxDataStorage.h"
#include "components/data/cxDataUtils.h"
#include "components/data/cxFilter.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Sets.h"

class TcxCustomDataController;
class TcxCustomDataControllerInfo;
class TcxCustomDataField;
class TcxCustomDataFieldList;
class TcxCustomDataProvider;
class TcxCustomDataSource;
class TcxDataSelection;
class TcxDataFilterCriteria;
class TcxDataFilterList;

// The "no record" value of an editing record index (0x80000001).
inline constexpr Integer cxNullEditingRecordIndex = Integer(-2147483647);

enum TcxDataSortOrder : Byte { soNone, soAscending, soDescending };

enum TcxDataControllerOption {
  dcoAnsiSort,
  dcoCaseInsensitive,
  dcoAssignGroupingValues,
  dcoAssignMasterDetailKeys,
  dcoSaveExpanding,
  dcoSortByDisplayText,
  dcoFocusTopRowAfterSorting,
  dcoGroupsAlwaysExpanded,
  dcoImmediatePost,
  dcoInsertOnNewItemRowFocusing,
};
using TcxDataControllerOptions = orv::Set<TcxDataControllerOption>;

// The kind of a data change: one item of one record, one record, records added, records
// deleted, the whole data.
enum TcxDataChange : Integer { dcField, dcRecord, dcNew, dcDeleted, dcTotal };

// Why two records are compared; the base controller treats every mode alike.
enum TcxDataControllerComparisonMode { dccmSorting, dccmGrouping, dccmLocating };

// A controller error: bad item, record or row index, provider mode, stream format.
ORV_DECLARE_EXCEPTION(EcxInvalidDataControllerOperation, EdxException);

// ==== Events =================================================================================

class TcxUpdateControlInfo;
class TBasicAction;

using TcxDataControllerNotifyEvent = orv::Event<void(TcxCustomDataController* dataController)>;
using TcxDataDetailExpandedEvent = orv::Event<void(TcxCustomDataController* dataController, Integer recordIndex)>;
using TcxDataDetailExpandingEvent =
    orv::Event<void(TcxCustomDataController* dataController, Integer recordIndex, Boolean& allow)>;
using TcxDataRecordChangedEvent =
    orv::Event<void(TcxCustomDataController* dataController, Integer recordIndex, Integer itemIndex)>;
using TcxDataFilterRecordEvent =
    orv::Event<void(TcxCustomDataController* dataController, Integer recordIndex, Boolean& accept)>;
using TcxDataControllerCompareEvent =
    orv::Event<void(TcxCustomDataController* dataController, Integer recordIndex1, Integer recordIndex2,
                    Integer itemIndex, const Variant& v1, const Variant& v2, Integer& compare)>;
// The owner's update callback: receives one update notice, which the controller frees afterwards.
using TcxUpdateControlEvent = orv::Event<void(TcxUpdateControlInfo* info)>;

// ==== Quicksort ==============================================================================

// compare(context, item, pivot item): negative, zero or positive.
using TcxListCompareFunc = Integer (*)(void* context, Pointer item1, Pointer item2);

// Sorts items[first .. last] in place by Hoare partitioning around the middle element. The scans
// stay inside the range and every partition shrinks it, so a comparison that contradicts itself
// (a handler answering at random) still ends with a permutation of the items; the recursion goes
// into the smaller part, so the stack stays logarithmic on any input.
void QuickSortList(Pointer* items, Integer first, Integer last, TcxListCompareFunc compare, void* context);
void QuickSortList(TList* list, Integer first, Integer last, TcxListCompareFunc compare, void* context);
// The grid's and filter control's name for QuickSortList.
inline void SortPointerList(TList* list, Integer first, Integer last, TcxListCompareFunc compare, void* context) {
  QuickSortList(list, first, last, compare, context);
}

// ==== Update notices =========================================================================

class TcxUpdateControlInfo : public TObject {
  ORV_CLASS(TcxUpdateControlInfo, TObject)
 public:
  TcxUpdateControlInfo() = default;
};

// The data changed: kind, item (-1 for several) and record (-1 for several).
class TcxDataChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxDataChangedInfo, TcxUpdateControlInfo)
 public:
  TcxDataChangedInfo(TcxDataChange kind, Integer itemIndex, Integer recordIndex)
      : FKind(kind), FItemIndex(itemIndex), FRecordIndex(recordIndex) {}
  TcxDataChange GetKind() const { return FKind; }
  Integer GetItemIndex() const { return FItemIndex; }
  Integer GetRecordIndex() const { return FRecordIndex; }

 private:
  TcxDataChange FKind;
  Integer FItemIndex;
  Integer FRecordIndex;
};

class TcxFocusedRecordChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxFocusedRecordChangedInfo, TcxUpdateControlInfo)
 public:
  TcxFocusedRecordChangedInfo(Integer prevFocusedRecordIndex, Boolean newItemRowFocusingChanged,
                              Integer focusedRowIndex, Integer prevFocusedRowIndex, Integer focusedRecordIndex)
      : FFocusedRecordIndex(focusedRecordIndex),
        FPrevFocusedRecordIndex(prevFocusedRecordIndex),
        FPrevFocusedRowIndex(prevFocusedRowIndex),
        FFocusedRowIndex(focusedRowIndex),
        FNewItemRowFocusingChanged(newItemRowFocusingChanged) {}
  Integer GetFocusedRecordIndex() const { return FFocusedRecordIndex; }
  Integer GetPrevFocusedRecordIndex() const { return FPrevFocusedRecordIndex; }
  Integer GetPrevFocusedRowIndex() const { return FPrevFocusedRowIndex; }
  Integer GetFocusedRowIndex() const { return FFocusedRowIndex; }
  Boolean GetNewItemRowFocusingChanged() const { return FNewItemRowFocusingChanged; }

 private:
  Integer FFocusedRecordIndex;
  Integer FPrevFocusedRecordIndex;
  Integer FPrevFocusedRowIndex;
  Integer FFocusedRowIndex;
  Boolean FNewItemRowFocusingChanged;
};

class TcxFocusedRowChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxFocusedRowChangedInfo, TcxUpdateControlInfo)
 public:
  TcxFocusedRowChangedInfo(Integer prevFocusedRowIndex, Integer focusedRowIndex)
      : FPrevFocusedRowIndex(prevFocusedRowIndex), FFocusedRowIndex(focusedRowIndex) {}
  Integer GetPrevFocusedRowIndex() const { return FPrevFocusedRowIndex; }
  Integer GetFocusedRowIndex() const { return FFocusedRowIndex; }

 private:
  Integer FPrevFocusedRowIndex;
  Integer FFocusedRowIndex;
};

class TcxUpdateRecordInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxUpdateRecordInfo, TcxUpdateControlInfo)
 public:
  explicit TcxUpdateRecordInfo(Integer recordIndex) : FRecordIndex(recordIndex) {}
  Integer GetRecordIndex() const { return FRecordIndex; }

 private:
  Integer FRecordIndex;
};

// The rows whose selection changed; an empty list means all rows.
class TcxSelectionChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxSelectionChangedInfo, TcxUpdateControlInfo)
 public:
  TcxSelectionChangedInfo() = default;
  // The first row when not -1, the second when not -1 and different from the first.
  TcxSelectionChangedInfo(Integer rowIndex1, Integer rowIndex2);
  Integer GetCount() const { return Integer(FRowIndexes.size()); }
  Integer GetRowIndex(Integer index) const { return FRowIndexes.at(std::size_t(index)); }

 private:
  std::vector<Integer> FRowIndexes;
};

class TcxGroupingChangingInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxGroupingChangingInfo, TcxUpdateControlInfo)
 public:
  TcxGroupingChangingInfo() = default;
};

class TcxLayoutChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxLayoutChangedInfo, TcxUpdateControlInfo)
 public:
  TcxLayoutChangedInfo() = default;
};

class TcxBookmarkChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxBookmarkChangedInfo, TcxUpdateControlInfo)
 public:
  TcxBookmarkChangedInfo() = default;
};

class TcxSearchChangedInfo : public TcxUpdateControlInfo {
  ORV_CLASS(TcxSearchChangedInfo, TcxUpdateControlInfo)
 public:
  TcxSearchChangedInfo() = default;
};

// ==== Focus, expanding and selection records =================================================

// Where the focus is: row, record and the row's level.
class TcxDataFocusingInfo : public TObject {
  ORV_CLASS(TcxDataFocusingInfo, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataControllerInfo* dataControllerInfo);
  explicit TcxDataFocusingInfo(TcxCustomDataControllerInfo* dataControllerInfo);

  // Copies level, previous record, record and row; clears the changed and previous-new-item
  // flags.
  void Assign(TcxDataFocusingInfo* source);
  // Level, record and row := -1 (the previous record stays).
  void Clear();
  // Same record and level; while a resort is pending, also the same row.
  Boolean IsEqual(TcxDataFocusingInfo* other) const;
  void SetToCurrentRecord();
  void UpdateFromRow();

  Boolean GetChanged() const { return FChanged; }
  void SetChanged(Boolean value) { FChanged = value; }
  Integer GetLevel() const { return FLevel; }
  void SetLevel(Integer value) { FLevel = value; }
  Boolean GetPrevNewItemRowFocused() const { return FPrevNewItemRowFocused; }
  void SetPrevNewItemRowFocused(Boolean value) { FPrevNewItemRowFocused = value; }
  Integer GetPrevRecordIndex() const { return FPrevRecordIndex; }
  Integer GetRecordIndex() const { return FRecordIndex; }
  void SetRecordIndex(Integer value) { FRecordIndex = value; }
  Integer GetRowIndex() const { return FRowIndex; }
  void SetRowIndex(Integer value) { FRowIndex = value; }

 private:
  Boolean FChanged = false;
  TcxCustomDataControllerInfo* FDataControllerInfo;
  Integer FLevel = -1;
  Boolean FPrevNewItemRowFocused = false;
  Integer FPrevRecordIndex = -1;
  Integer FRecordIndex = -1;
  Integer FRowIndex = -1;
};

// One saved group state: level, grouping value, state bits.
struct TcxDataExpandingInfo {
  Integer Level = 0;
  Variant Value;
  Integer State = 0;
};

// Expanded (and selected) group rows saved across a rebuild of the rows.
class TcxDataExpandingInfos : public TObject {
  ORV_CLASS(TcxDataExpandingInfos, TObject)
 public:
  enum TSaveState { essExpanding = 1, essSelection = 2 };

  TcxDataExpandingInfos() = default;

  // EcxInvalidDataControllerOperation "Item already exists" for a field saved already;
  // otherwise appended, and the items cleared.
  void AddField(TcxCustomDataField* field);
  void AddItem(Integer level, const Variant& value, Integer state);
  // Everything is cleared when the field is one of the saved fields.
  void CheckField(TcxCustomDataField* field);
  void Clear();
  Integer IndexOfField(TcxCustomDataField* field) const;
  Integer FieldCount() const { return Integer(FFields.size()); }
  TcxCustomDataField* GetField(Integer index) const { return FFields.at(std::size_t(index)); }
  Integer Count() const { return Integer(FItems.size()); }
  const TcxDataExpandingInfo& GetItem(Integer index) const { return FItems.at(std::size_t(index)); }
  Integer GetSaveStates() const { return FSaveStates; }
  void SetSaveStates(Integer value) { FSaveStates = value; }

 private:
  std::vector<TcxCustomDataField*> FFields;
  std::vector<TcxDataExpandingInfo> FItems;
  Integer FSaveStates = 0;
};

// One selected row: a data row holds its level and record, a group row level -1 and its group.
struct TcxDataSelectionItem {
  Integer Level = 0;
  Integer RecordIndex = -1;
  Integer RowIndex = -1;
};

// The selected rows of a controller, in ascending row order.
class TcxDataSelection : public TObject {
  ORV_CLASS(TcxDataSelection, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataController* dataController);
  explicit TcxDataSelection(TcxCustomDataController* dataController);

  virtual void ClearAnchor() { FAnchorRowIndex = -1; }
  // Position -1 appends.
  virtual void AddItem(Integer position, Integer rowIndex, Integer recordIndex, Integer level);
  virtual void ClearItems();
  virtual void DeleteItem(Integer index);
  // Shrinks from the end, or grows by items whose row and record are their position (level 0).
  virtual void SetItemCount(Integer count);
  void AddAndNotify(Integer position, Integer rowIndex, Integer recordIndex, Integer level);
  // Binary search by row: True with the position, else False with the insert position.
  virtual Boolean FindByRowIndex(Integer rowIndex, Integer& index) const;

  void ClearAndNotify();
  void ClearWithAnchor();
  void Delete(Integer index);
  Integer Count() const { return Integer(FItems.size()); }
  const TcxDataSelectionItem& GetItem(Integer index) const { return FItems.at(std::size_t(index)); }
  TcxDataSelectionItem& GetItemRef(Integer index) { return FItems.at(std::size_t(index)); }
  Integer IndexOfGroup(Integer dataGroupIndex) const;
  Integer IndexOfRecord(Integer recordIndex) const;
  Boolean IsRecordSelected(Integer recordIndex) const { return IndexOfRecord(recordIndex) != -1; }
  Boolean IsRowSelected(Integer rowIndex) const;
  void SortByRowIndex();
  // Deletes, last first, the data-row items whose record has no row in the filtered list.
  void RemoveFilteredOut();

  Integer GetAnchorRowIndex() const { return FAnchorRowIndex; }
  void SetAnchorRowIndex(Integer value) { FAnchorRowIndex = value; }
  TcxCustomDataController* GetDataController() const { return FDataController; }
  void SetOnChanged(const TNotifyEvent& value) { FOnChanged = value; }

 protected:
  void Changed();

 private:
  Integer FAnchorRowIndex = -1;
  TcxCustomDataController* FDataController;
  std::vector<TcxDataSelectionItem> FItems;
  TNotifyEvent FOnChanged;
};

using TcxDataSelectionClass = orv::ClassOf<TcxDataSelection>;

// ==== Sorting field lists ====================================================================

struct TcxDataSortInfo {
  TcxCustomDataField* Field = nullptr;
  TcxDataSortOrder SortOrder = soNone;
};

// Fields with their sort orders; every change runs the changed notification.
class TcxSortingFieldList : public TObject {
  ORV_CLASS(TcxSortingFieldList, TObject)
 public:
  TcxSortingFieldList() = default;

  // Present: a real order sets it, soNone deletes the entry; absent: a real order appends it.
  virtual void SetFieldSortOrder(TcxCustomDataField* field, TcxDataSortOrder sortOrder);
  void Append(TcxCustomDataField* field, TcxDataSortOrder sortOrder);
  void Insert(Integer index, TcxCustomDataField* field, TcxDataSortOrder sortOrder);
  void DeleteAt(Integer index);
  void Remove(TcxCustomDataField* field);
  void Move(Integer fromIndex, Integer toIndex);
  void RemoveAll();
  Integer IndexOf(TcxCustomDataField* field) const;
  TcxDataSortOrder GetSortOrder(TcxCustomDataField* field) const;
  void SetSortOrder(Integer index, TcxDataSortOrder sortOrder);
  // Below 0 removes the field; an absent field is inserted at min(index, count) ascending; a
  // present one moves to min(index, count - 1).
  void ChangeIndex(TcxCustomDataField* field, Integer index);
  void NotifyIfContains(TcxCustomDataField* field);
  // Appends every entry of the other list whose field is not here yet.
  void Merge(TcxSortingFieldList* other);
  Integer Count() const { return Integer(FItems.size()); }
  const TcxDataSortInfo& GetItem(Integer index) const { return FItems.at(std::size_t(index)); }
  // The grid's names for Count and GetItem.
  Integer GetCount() const { return Count(); }

  void SetOnChanged(const TNotifyEvent& value) { FOnChanged = value; }

 protected:
  void Changed();

 private:
  std::vector<TcxDataSortInfo> FItems;
  TNotifyEvent FOnChanged;
};

// The grouping levels in order; a grouping field is always ordered.
class TcxGroupingFieldList : public TcxSortingFieldList {
  ORV_CLASS(TcxGroupingFieldList, TcxSortingFieldList)
 public:
  TcxGroupingFieldList() = default;
  // soNone becomes soAscending.
  void SetFieldSortOrder(TcxCustomDataField* field, TcxDataSortOrder sortOrder) override;
  // Each grouping entry takes its field's order in the sorting list, else soAscending.
  void UpdateSorting(TcxSortingFieldList* sortingList);
};

// ==== Controller fields ======================================================================

// The field of one item (or an internal field: record handles, keys, details). It owns a value
// definition in the controller's storage, or shares the storage of another field.
class TcxCustomDataField : public TObject {
  ORV_CLASS(TcxCustomDataField, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataFieldList* fieldList);
  explicit TcxCustomDataField(TcxCustomDataFieldList* fieldList);

  // The source's value definition and value type move to this field.
  virtual void TakeOverValueDef(TcxCustomDataField* source);
  virtual void ComponentRemoved(TComponent* component) {}
  // A value definition exists, or the controller is in provider mode.
  virtual Boolean CanModify(Integer editValueSource);
  virtual Boolean IsUnbound() { return false; }
  virtual Boolean IsValueDefInternal() { return FIsInternal; }

  TcxValueDef* GetValueDef() const;
  TcxValueTypeClass GetValueTypeClass() const;
  Boolean GetTextStored() const;
  void ChangeValueType(TcxValueTypeClass valueTypeClass);
  void ChangeTextStored(Boolean value);
  void ChangeInternal(Boolean value);
  // Shares the storage of the last field of the value's reference chain (nil stops sharing);
  // a chain that comes back to this field is ignored.
  void ShareStorageWith(TcxCustomDataField* value);
  void MoveTo(Integer index);
  Integer GetIndex() const;
  TcxCustomDataController* OwnerController() const;
  TcxCustomDataFieldList* GetFieldList() const { return FFieldList; }
  Boolean GetIsInternal() const { return FIsInternal; }
  TObject* GetItem() const { return FItem; }
  void SetItem(TObject* value) { FItem = value; }
  TcxCustomDataField* GetReferenceField() const { return FReferenceField; }
  Boolean GetNeedConversion() const { return FNeedConversion; }
  void SetNeedConversion(Boolean value) { FNeedConversion = value; }

  void BeginRecreate();
  void EndRecreate();

  void BeforeDestruction() override;

 private:
  friend class TcxCustomDataControllerInfo;
  friend class TcxCustomDataController;
  friend class TcxCustomDataFieldList;

  void FreeValueDef();

  TcxCustomDataFieldList* FFieldList;
  Boolean FIsInternal = false;
  TObject* FItem = nullptr;
  Integer FRecreateLockCount = 0;
  // Sorting caches: the comparison mode (0 undecided, -1 storage, 1 values, 2 display texts)
  // and the index of this field's sort keys during one sort (-1: none).
  Integer FCompareMode = 0;
  Integer FSortKeysIndex = -1;
  Boolean FNeedConversion = false;
  TcxCustomDataField* FReferenceField = nullptr;
  Boolean FTextStored = false;
  TcxValueDef* FValueDef = nullptr;
  TcxValueTypeClass FValueTypeClass;
  // The update-fields pass marks the fields it has handled.
  Boolean FUpdated = false;
};

using TcxCustomDataFieldClass = orv::ClassOf<TcxCustomDataField>;

// The item fields first, in item order, then the internal fields.
class TcxCustomDataFieldList : public TObject {
  ORV_CLASS(TcxCustomDataFieldList, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataController* dataController);
  explicit TcxCustomDataFieldList(TcxCustomDataController* dataController);

  virtual void ComponentRemoved(TComponent* component);

  // Internal fields are appended; item fields go before the first internal field.
  void Add(TcxCustomDataField* field);
  // Called by a dying field: fields that shared it are re-pointed, the field leaves the list
  // and the controller forgets it.
  void Remove(TcxCustomDataField* field);
  void Clear();
  TcxCustomDataField* FindByItem(TObject* item) const;
  Integer Count() const { return Integer(FItems.size()); }
  TcxCustomDataField* GetField(Integer index) const { return FItems.at(std::size_t(index)); }
  Integer IndexOf(TcxCustomDataField* field) const;
  void Move(Integer fromIndex, Integer toIndex);
  // The item fields.
  Integer GetItemCount() const { return Count() - FInternalCount; }
  TcxCustomDataController* GetDataController() const { return FDataController; }
  Boolean GetFieldDestroyed() const { return FFieldDestroyed; }
  void SetFieldDestroyed(Boolean value) { FFieldDestroyed = value; }

  void BeforeDestruction() override;

 private:
  friend class TcxCustomDataField;
  void RecountInternal();

  TcxCustomDataController* FDataController;
  Boolean FFieldDestroyed = false;
  Integer FInternalCount = 0;
  std::vector<TcxCustomDataField*> FItems;
};

// ==== Custom data source and provider ========================================================

// A record source an application may attach to an unbound controller's provider: values, texts
// and record creation then go through it, and each storage record keeps only the source's
// record handle. Record and item handles are the source's own.
class TcxCustomDataSource : public TObject {
  ORV_CLASS(TcxCustomDataSource, TObject)
 public:
  TcxCustomDataSource() = default;

  virtual Pointer AppendRecord() { return nullptr; }
  virtual void CustomSort() {}
  virtual void DeleteRecord(Pointer recordHandle) {}
  virtual Boolean GetDetailHasChildren(Integer recordIndex, Integer relationIndex) { return false; }
  virtual AnsiString GetDisplayText(Pointer recordHandle, Pointer itemHandle);
  // True with `value` set when the record holds a value for the item (compared by the value
  // type of the item's field); the base raises "GetInfoForCompare not implemented".
  virtual Boolean GetInfoForCompare(Pointer recordHandle, Pointer itemHandle, Variant& value);
  virtual Pointer GetItemHandle(Integer itemIndex) { return reinterpret_cast<Pointer>(static_cast<NativeInt>(itemIndex)); }
  virtual Variant GetRecordId(Pointer recordHandle) { return Null(); }
  virtual Variant GetValue(Pointer recordHandle, Pointer itemHandle) { return Null(); }
  virtual Pointer InsertRecord(Pointer recordHandle) { return nullptr; }
  virtual Boolean IsCustomSorting() { return false; }
  virtual Boolean IsInsertSupported() { return false; }
  // Whether the source compares its values itself (else the controller compares converted
  // values) and whether it offers NativeCompare.
  virtual Boolean IsNativeCompare() { return false; }
  virtual Boolean IsNativeCompareFunc() { return false; }
  virtual Boolean IsRecordIdSupported() { return false; }
  // Appends one storage record per record of the source (AppendRecordHandle).
  virtual void LoadRecordHandles() {}
  virtual Integer NativeCompareFunc(Pointer recordHandle1, Pointer recordHandle2, Pointer itemHandle) { return 0; }
  virtual void SetRecordCount(Integer count) {}
  virtual void SetValue(Pointer recordHandle, Pointer itemHandle, const Variant& value) {}

  // The provider calling the source now, and the one it falls back to.
  TcxCustomDataProvider* GetProvider() const { return FCurrentProvider ? FCurrentProvider : FProvider; }
  TcxCustomDataController* GetDataController() const;
  // The storage record's handle, the record of a handle (-1), a new record for a handle.
  Pointer GetRecordHandle(Integer recordIndex);
  Integer GetRecordIndexByHandle(Pointer recordHandle);
  Integer AppendRecordHandle(Pointer recordHandle);
  // Tells every provider that uses the source that its data changed.
  void DataChanged();

  void BeforeDestruction() override;

 private:
  friend class TcxCustomDataProvider;
  TcxCustomDataProvider* FCurrentProvider = nullptr;
  TcxCustomDataProvider* FProvider = nullptr;
  std::vector<TcxCustomDataProvider*> FProviders;
};

// Connects a controller to where its records come from (its storage, a custom data source, or
// a dataset in a descendant) and keeps the controller's editing state and two lock counters.
class TcxCustomDataProvider : public TObject {
  ORV_CLASS(TcxCustomDataProvider, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataController* dataController);
  explicit TcxCustomDataProvider(TcxCustomDataController* dataController);

  // State queries.
  virtual void CustomSort();
  virtual Boolean IsCustomDataSourceSupported() { return true; }
  virtual Boolean IsCustomSorting();
  virtual Boolean IsGridMode() { return false; }
  virtual Boolean HasOpenDataSet() { return false; }
  virtual Boolean IsOtherInsert() { return false; }
  virtual Boolean IsRecordIdSupported();
  virtual Boolean IsSyncMode() { return false; }
  virtual Boolean IsActive() { return FCustomDataSource != nullptr; }
  virtual Boolean AreFieldsAvailable() { return false; }
  virtual Boolean IsBOF() { return true; }
  virtual Boolean IsChanging() { return FChanging; }
  virtual Boolean IsEditing() { return FEditingRecordIndex != cxNullEditingRecordIndex; }
  virtual Boolean IsEOF() { return true; }
  virtual Boolean IsGridModeUpdating() { return false; }
  virtual Boolean IsInserting() { return IsEditing() && FInserting; }
  virtual Boolean IsModified() { return FModified; }
  virtual Boolean EditsInStorage() { return !CanModify(); }
  // Navigation: empty here; the dataset provider moves its dataset.
  virtual void RecordRead(Integer recordIndex) {}
  virtual void First() { FFieldsRecreated = false; }
  virtual void Prior() {}
  virtual void Next() {}
  virtual void Last() {}
  virtual void MoveBy(Integer distance) {}
  virtual void Scroll(Integer distance) {}
  virtual void SavePos() {}
  virtual void RestorePos() {}
  virtual Boolean CanAppend() { return CanModify(); }
  virtual Boolean CanDelete();
  virtual Boolean CanInsert() { return CanModify(); }
  virtual Boolean CanModify() { return true; }
  // Editing. A record index of cxNullEditingRecordIndex is no record.
  // Opens an edit of the record (checked) unless one is open, and marks it changing.
  virtual Boolean CanInitEditing(Integer recordIndex);
  virtual void Append() { StartInserting(true); }
  virtual void Cancel();
  virtual void UpdateData();
  virtual void Delete();
  // The records (ascending, no duplicates) are deleted last first.
  virtual void DeleteRecords(const std::vector<Integer>& recordIndexes);
  virtual void DeleteSelection();
  virtual void Edit() { SetEditing(); }
  // EcxInvalidDataControllerOperation "RecordIndex out of range" for no record (value Null).
  virtual void GetEditValue(Integer recordIndex, TcxCustomDataField* field, TcxDataEditValueSource kind, Variant& value);
  virtual void Insert() { StartInserting(false); }
  virtual void Post(Boolean force);
  virtual void PostEditingData();
  // A text edit with an empty text stores Null; whether the value was written.
  virtual Boolean SetEditValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value,
                               TcxDataEditValueSource kind);
  // Computes the record to focus after the delete (the controller's nearest record).
  virtual void BeginDeleting();
  virtual void EndDeleting();
  virtual void AssignItemValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value);
  // Grouping values of a new record (dcoAssignGroupingValues), then OnNewRecord.
  virtual void AssignItemValues(Integer recordIndex, const std::vector<Variant>& groupingValues);
  virtual void StartEditing();
  virtual void StartInserting(Boolean append);
  virtual void SetEditing() { StartEditing(); }
  // Editing state.
  virtual void ResetChanging() { FChanging = false; }
  // Forgets the edit: the new-item record is deleted, the neighbours and flags reset and the
  // saved copy freed.
  virtual void ResetEditing();
  virtual void ResetModified() { FModified = false; }
  virtual void SetChanging() { FChanging = true; }
  virtual void SetModified() { FModified = true; }
  // Locks.
  virtual void LockLocate() { ++FLocateCount; }
  virtual void UnlockLocate() { --FLocateCount; }
  virtual void Freeze() { ++FLockCount; }
  virtual void Unfreeze() { --FLockCount; }
  // Record access through the custom data source; without one: -1, Null, '' or nothing.
  virtual Integer AppendRecord();
  virtual void DeleteRecord(Integer recordIndex);
  virtual Boolean GetDetailHasChildren(Integer recordIndex, Integer relationIndex);
  virtual AnsiString GetDisplayText(Integer recordIndex, TcxCustomDataField* field);
  virtual AnsiString GetExternalDataDisplayText(Integer recordIndex, TcxCustomDataField* field) { return AnsiString(); }
  virtual Variant GetExternalDataValue(Integer recordIndex, TcxCustomDataField* field) { return Null(); }
  virtual Variant GetRecordId(Integer recordIndex);
  virtual Integer GetRecordIndex() { return -1; }
  virtual Variant GetValue(Integer recordIndex, TcxCustomDataField* field);
  // The reader a reload fills records with; the base reads nothing (every value Null).
  virtual TcxValueDefReader* CreateValueDefReader();
  virtual Integer InsertRecord(Integer recordIndex);
  virtual void LoadDataBuffer() {}
  // Null before a value, two nulls equal, values by the field's value type.
  virtual Integer CompareRecords(Integer recordIndex1, Integer recordIndex2, TcxCustomDataField* field);
  virtual Integer NativeCompare(Integer recordIndex1, Integer recordIndex2, TcxCustomDataField* field);
  virtual void SetDisplayText(Integer recordIndex, TcxCustomDataField* field, const AnsiString& text) {}
  virtual void SetRecordCount(Integer count);
  virtual void SetValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value);
  // Notifications from the source.
  virtual void ActiveChanged(Boolean active);
  virtual void DataChanged(TcxDataChange kind, Integer itemIndex, Integer recordIndex);
  virtual void DataScrolled(Integer distance);
  virtual void LayoutChanged(Integer kind);

  // Attaches a custom data source (only when supported); the controller rebuilds its structure.
  void SetCustomDataSource(TcxCustomDataSource* value);
  TcxCustomDataSource* GetCustomDataSource() const { return FCustomDataSource; }
  // Provider mode: a new storage record holding the handle; -1 without a data source.
  Integer AppendRecordHandle(Pointer recordHandle);
  void LoadRecordHandles();
  // The saved copy of the editing record's values, an internal storage record (0: none).
  void CopyToSavedRecord(Integer recordIndex);
  void FreeSavedRecord();

  TcxCustomDataController* GetDataController() const { return FDataController; }
  Boolean GetActiveChanging() const { return FActiveChanging; }
  void SetActiveChanging(Boolean value) { FActiveChanging = value; }
  Integer GetEditingRecordIndex() const { return FEditingRecordIndex; }
  void SetEditingRecordIndex(Integer value) { FEditingRecordIndex = value; }
  Integer GetEditingRecordIndex1() const { return FEditingRecordIndex1; }
  void SetEditingRecordIndex1(Integer value) { FEditingRecordIndex1 = value; }
  Integer GetEditingRecordIndex2() const { return FEditingRecordIndex2; }
  void SetEditingRecordIndex2(Integer value) { FEditingRecordIndex2 = value; }
  Integer GetInsertedRecordIndex() const { return FInsertedRecordIndex; }
  void SetInsertedRecordIndex(Integer value) { FInsertedRecordIndex = value; }
  Integer GetLocateCount() const { return FLocateCount; }
  Integer GetLockCount() const { return FLockCount; }
  Integer GetSavedRecordIndex() const { return FSavedRecordIndex; }
  Boolean GetFieldsRecreated() const { return FFieldsRecreated; }
  void SetFieldsRecreated(Boolean value) { FFieldsRecreated = value; }
  Boolean GetLoadAllNeeded() const { return FLoadAllNeeded; }
  void SetLoadAllNeeded(Boolean value) { FLoadAllNeeded = value; }
  Boolean GetDataChangedLocked() const { return FDataChangedLocked; }
  void SetDataChangedLocked(Boolean value) { FDataChangedLocked = value; }
  void SetInserting(Boolean value) { FInserting = value; }
  // The own inserting flag, whatever the source's state says.
  Boolean GetInserting() const { return FInserting; }

  void BeforeDestruction() override;

 protected:
  friend class TcxCustomDataController;
  // Makes this provider the source's calling provider; false without a source.
  Boolean EnterSource() const;
  Pointer ItemHandle(TcxCustomDataField* field) const;

 private:
  // The source forgets this provider.
  void DetachFromSource();
  Boolean FActiveChanging = false;
  Boolean FChanging = false;
  TcxCustomDataSource* FCustomDataSource = nullptr;
  Boolean FDataChangedLocked = false;
  TcxCustomDataController* FDataController;
  Integer FEditingRecordIndex = cxNullEditingRecordIndex;
  // The record above (only when the edited row was the last row) and the record below the
  // edited row; they keep the edited record in place while it is edited.
  Integer FEditingRecordIndex1 = cxNullEditingRecordIndex;
  Integer FEditingRecordIndex2 = cxNullEditingRecordIndex;
  Integer FInsertedRecordIndex = -1;
  Integer FLocateCount = 0;
  Integer FLockCount = 0;
  Boolean FModified = false;
  Boolean FFieldsRecreated = false;
  Integer FSavedRecordIndex = 0;
  Boolean FInserting = false;
  Boolean FLoadAllNeeded = false;
  Boolean FInUpdateData = false;
};

using TcxCustomDataProviderClass = orv::ClassOf<TcxCustomDataProvider>;

// ==== Row model ==============================================================================

struct TcxRowInfo {
  Boolean Expanded = false;
  Integer Level = 0;
  Integer RecordIndex = -1;
  // The row's position in the filtered record list (for a group row, its first record's).
  Integer RecordListIndex = -1;
};

// ==== Group rows =============================================================================

// One group row. Upper levels: First is the index of the first child group and Last the index of
// the last group of the subtree; the deepest level: First .. Last are positions in the filtered,
// sorted record list. A hidden group carries the row number of its visible ancestor.
struct TcxDataGroupInfo {
  Integer RowIndex = 0;
  Boolean Expanded = false;
  Integer Level = 0;
  Integer First = 0;
  Integer Last = 0;
  // One value per summary item of the group's level, or Null.
  Variant SummaryValues;
  // The index of the enclosing group (-1 at level 0).
  Integer Parent = -1;
  // The group's value of its level's grouping field, read when the groups were built (records
  // added or deleted since then do not change it).
  Variant GroupingValue;
};

// The group rows of a grouped controller: a list in pre-order (each group before its children)
// over the sorted record list, one level per grouping field. Row numbers never decrease along
// the list, so a row is found by binary search.
class TcxDataGroups : public TObject {
  ORV_CLASS(TcxDataGroups, TObject)
 public:
  TcxDataGroups() = default;

  void Clear();
  void AddLevelField(TcxCustomDataField* field);
  // Appends a group (collapsed, row 0) and answers it; valid until the next AddGroup.
  TcxDataGroupInfo* AddGroup();
  Integer GetLevelCount() const { return Integer(FLevelFields.size()); }
  TcxCustomDataField* GetLevelField(Integer level) const { return FLevelFields.at(std::size_t(level)); }
  Integer GetCount() const { return Integer(FItems.size()); }
  TcxDataGroupInfo* GetItem(Integer index) { return &FItems.at(std::size_t(index)); }
  const TcxDataGroupInfo& GetItemRef(Integer index) const { return FItems.at(std::size_t(index)); }
  void SetItem(Integer index, const TcxDataGroupInfo& group) { FItems.at(std::size_t(index)) = group; }
  // -1 outside the list.
  Integer GetLevel(Integer index) const;
  Boolean IsDeepest(Integer index) const { return GetLevel(index) == GetLevelCount() - 1; }

  Integer GetRowCount() const;
  // The group shown at the row; -1 for a data row, with `group` the group whose data rows hold
  // it (nil without groups).
  Integer FindByRowIndex(Integer rowIndex, TcxDataGroupInfo*& group);
  // The group index of the row: the group shown there, or for a data row the deepest group that
  // holds it; -1 without groups.
  Integer FindRowGroup(Integer rowIndex) const;
  // The group that shows the row of the group at `index`: its outermost collapsed ancestor, else
  // itself.
  Integer FindVisibleGroup(Integer index) const;
  // A group row: {Expanded, Level, first record position}; a data row: {False, level count,
  // record position}; zeros without groups.
  TcxRowInfo GetRowInfo(Integer rowIndex) const;
  // The group of the row (-1: as it is); with a level, the group of that level for it.
  Integer GetIndexByRowIndex(Integer rowIndex, Integer level = -1) const;
  // The group of the level that holds the record position; -1 when none.
  Integer GetGroupIndexByRecordListIndex(Integer recordListIndex, Integer level) const;
  // The deepest group that holds the record position; -1 when none.
  Integer GetDeepestGroupByRecordListIndex(Integer recordListIndex) const;
  Integer GetFirstRecordListIndex(Integer index) const;
  Integer GetLastRecordListIndex(Integer index) const;
  // The last group of the subtree of the group.
  Integer GetSubtreeEnd(Integer index) const;
  // Group -1 stands for the root (its children are the level-0 groups).
  Integer GetChildCount(Integer index) const;
  Integer GetChildIndex(Integer index, Integer childIndex) const;
  Integer GetChildRecordListIndex(Integer index, Integer childIndex) const;
  Integer GetParentIndex(Integer index) const { return FItems.at(std::size_t(index)).Parent; }
  // Whether every ancestor of the group is expanded.
  Boolean IsVisible(Integer index) const;

  void ChangeExpanding(Integer rowIndex, Boolean expanded, Boolean recursive);
  void ChangeAllExpanding(Boolean expanded);
  // Expands the group (when asked) and each collapsed ancestor; whether anything changed.
  Boolean MakeVisible(Integer index, Boolean expandItself);
  // Recomputes every row number from the expanded states.
  void Renumber();
  // Recomputes the links of the upper levels (parent, first and last child) after the list was
  // reordered, then the row numbers.
  void UpdateIndexes();

 private:
  // The group shown at the row (-1 when none) and, in `holder`, that group or the last group
  // whose row is before the row (-1 when none).
  Integer LocateRow(Integer rowIndex, Integer& holder) const;

  std::vector<TcxCustomDataField*> FLevelFields;
  std::vector<TcxDataGroupInfo> FItems;
  // The deepest groups in list order (their record positions increase).
  std::vector<Integer> FDeepest;
  friend class TcxCustomDataControllerInfo;
};

// Turns the controller's records into rows: the filtered and ordered record list, the sorting
// and grouping field lists, the focused row and the selection. Rebuilds in one pass when its
// change bits say so, at the outermost unlock.
class TcxCustomDataControllerInfo : public TObject {
  ORV_CLASS(TcxCustomDataControllerInfo, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataController* dataController);
  explicit TcxCustomDataControllerInfo(TcxCustomDataController* dataController);
  ~TcxCustomDataControllerInfo() override;  // where TSortKeys is complete

  virtual void CheckSelection();
  virtual void Update();

  // Locking and change entry points.
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  Integer LockCount() const { return FLockCount; }
  Boolean IsInUpdate() const { return FInUpdate; }
  void Refresh();
  void CheckFocusedRow();
  void SummaryChanged(Boolean redo);
  void LayoutChanged();
  void ExpandingChanged();
  // Every selection entry takes its row again at the end of the next rebuild.
  void MarkExpandingChanged() { FExpandingFlag = true; }
  void FocusChanged(Boolean newItemRowFocusingChanged);
  void FieldRemoved(TcxCustomDataField* field);
  void FieldComparisonChanged(TcxCustomDataField* field);
  // Records were added or deleted: the focus is checked again at the rebuild.
  void RecordsCountChanged();
  // A record was inserted (delta 1) or deleted (-1) at the index: the focus keeps its record.
  void RecordIndexesShifted(Integer recordIndex, Integer delta);

  // Sorting.
  void ChangeSortIndex(TcxCustomDataField* field, Integer index);
  void ChangeSortOrder(TcxCustomDataField* field, TcxDataSortOrder sortOrder);
  void ClearSorting(Boolean keepGroupedItems);
  void ChangeGrouping(TcxCustomDataField* field, Integer groupIndex);
  void ClearGrouping();
  TcxSortingFieldList* GetSortingFieldList() const { return FSortingFieldList; }
  TcxGroupingFieldList* GetGroupingFieldList() const { return FGroupingFieldList; }
  TcxSortingFieldList* GetTotalSortingFieldList() const { return FTotalSortingFieldList; }
  // Comparison of two records for the sort: the edited record keeps its place, then every
  // entry of the total list, then the record index.
  Integer CompareRecordsForSorting(Integer recordIndex1, Integer recordIndex2);
  // Comparison of two records on grouping level `level` (an entry of the total list).
  Integer CompareRecordsForGrouping(Integer recordIndex1, Integer recordIndex2, Integer level);
  // The grid's name for CompareRecordsForGrouping.
  Integer CompareRecords(Integer recordIndex1, Integer recordIndex2, Integer level) {
    return CompareRecordsForGrouping(recordIndex1, recordIndex2, level);
  }
  // Groups are ordered by a group summary: an engine exists, a level's group summary items
  // hold a sorted item and the summaries do not count selected records.
  Boolean IsSortingBySummary();
  // Fills (and clears) the comparison caches of every entry of the total list.
  void PrepareSorting();
  void UnprepareSorting();

  // Rows.
  Integer GetRowCount() const;
  // EcxInvalidDataControllerOperation "RowIndex out of range" outside 0 .. GetRowCount() - 1.
  TcxRowInfo GetRowInfo(Integer rowIndex) const;
  // The record's row, -1 when it has none; constant time.
  Integer GetRowIndexByRecordIndex(Integer recordIndex, Boolean makeVisible);
  Integer GetNearestRowIndex(Integer rowIndex) const;
  void CheckRowIndex(Integer rowIndex) const;

  // Filtered record list.
  Integer GetFilteredRecordCount() const { return Integer(FRecordList.size()); }
  Integer GetFilteredRecordIndex(Integer index) const;
  // The record's position in the filtered list, -1 when filtered out; constant time.
  Integer GetFilteredIndexOfRecord(Integer recordIndex) const;
  // The grid's name for GetFilteredRecordIndex.
  Integer GetRecordListItem(Integer index) const { return GetFilteredRecordIndex(index); }

  // Focus.
  void ChangeFocusedRow(Integer rowIndex, Boolean force);
  void ChangeFocusedRowIndex(Integer rowIndex);
  Integer GetFocusedRowIndex() const { return FFocusingInfo->GetRowIndex(); }
  Integer GetFocusedRecordIndex() const;
  TcxDataFocusingInfo* GetFocusingInfo() const { return FFocusingInfo; }
  TcxDataFocusingInfo* GetPrevFocusingInfo() const { return FPrevFocusingInfo; }
  Boolean IsFocusing() const { return FFocusing; }
  Boolean IsInCanFocus() const { return FInCanFocus; }

  // Group rows and expanding.
  TcxDataGroups* GetDataGroups() const { return FDataGroups; }
  // The rows are group rows and data rows (the last rebuild grouped).
  Boolean IsGrouped() const { return FDataGroups->GetLevelCount() > 0; }
  // "RowIndex out of range" for a bad row; nothing without groups or with
  // dcoGroupsAlwaysExpanded; after a collapse the focus moves to the row that shows the focused
  // record.
  void ChangeExpanding(Integer rowIndex, Boolean expanded, Boolean recursive);
  void FullCollapse();
  void FullExpand();
  TcxDataExpandingInfos* GetExpandingInfos() const { return FExpandingInfos; }

  // Selection.
  void ChangeRowSelection(Integer rowIndex, Boolean select);
  void ClearSelection();
  Integer GetSelectedCount() const;
  Integer GetSelectedRowIndex(Integer index) const;
  Boolean IsRowSelected(Integer rowIndex) const;
  TcxDataSelection* GetSelection();

  Integer GetChanges() const { return FChanges; }
  TcxCustomDataController* GetDataController() const { return FDataController; }

  void BeforeDestruction() override;

  // Change bits of the row model.
  static constexpr Word ricRecordList = 1;
  static constexpr Word ricGrouping = 2;
  static constexpr Word ricSorting = 4;
  static constexpr Word ricFocusedRow = 8;
  static constexpr Word ricLayout = 16;
  static constexpr Word ricExpanding = 32;
  static constexpr Word ricCheckFocusedRow = 64;
  static constexpr Word ricSelection = 128;
  static constexpr Word ricSummary = 256;
  static constexpr Word ricRecheckFocus = 512;

 private:
  friend class TcxCustomDataController;
  struct TSortKeys;

  void AddChanges(Word changes);
  void CheckUpdate();
  void SortingListChanged(TObject* sender);
  void GroupingListChanged(TObject* sender);
  void SelectionChanged(TObject* sender);
  void RebuildRecordList();
  void FilterRecordList();
  void SortRecordList();
  void RebuildPositions();
  void BuildSortKeys();
  // Sorts the record list on the keys alone when every sorting field has a key for every
  // record; False (nothing done) otherwise.
  Boolean SortRecordListByKeys();
  void FreeSortKeys();
  Integer CompareByTotalList(Integer recordIndex1, Integer recordIndex2);
  Integer SaveStates();
  void RestoreStates(Integer savedStates);
  void CheckFocusingAfterRebuild();
  void FocusTopRowAfterSorting();
  void ReportChanges();
  // The row that shows the focused record at the focusing level; making visible expands its
  // groups, else -1 (or an enclosing group row) when it is hidden.
  Integer FocusedRecordRow(Boolean makeVisible);
  Integer RowRecordIndex(Integer rowIndex) const;
  void BuildGroups();
  void MoveFocusAfterCollapse();
  // Every selection entry takes its current row (a record entry without expanding); entries
  // without a row are dropped.
  void RecomputeSelectionRows();
  void SaveExpanding(Integer states);
  void RestoreExpanding();
  void AllExpandingChanged(Boolean expanded);

  TcxCustomDataController* FDataController;
  std::vector<Integer> FRecordList;
  // Record index -> position in FRecordList (-1: filtered out); rebuilt with the list.
  std::vector<Integer> FRecordPositions;
  TcxSortingFieldList* FSortingFieldList;
  TcxGroupingFieldList* FGroupingFieldList;
  TcxSortingFieldList* FTotalSortingFieldList;
  TcxDataExpandingInfos* FExpandingInfos;
  TcxDataGroups* FDataGroups;
  TcxDataFocusingInfo* FFocusingInfo;
  TcxDataFocusingInfo* FPrevFocusingInfo;
  TcxDataSelection* FSelection = nullptr;
  Integer FLockCount = 0;
  Word FChanges = 0;
  Boolean FInUpdate = false;
  Boolean FExpandingFlag = false;
  Boolean FFocusing = false;
  Boolean FInCanFocus = false;
  std::vector<std::unique_ptr<TSortKeys>> FSortKeys;
};

// ==== Sorting by summary and locate objects ==================================================

// Reorders the groups by a group summary; the grid supplies one.
class TcxSortingBySummaryEngine : public TObject {
  ORV_CLASS(TcxSortingBySummaryEngine, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataControllerInfo* dataControllerInfo);
  explicit TcxSortingBySummaryEngine(TcxCustomDataControllerInfo* dataControllerInfo)
      : FDataControllerInfo(dataControllerInfo) {}
  virtual void Sort() = 0;
  TcxCustomDataControllerInfo* GetDataControllerInfo() const { return FDataControllerInfo; }

 private:
  TcxCustomDataControllerInfo* FDataControllerInfo;
};

using TcxSortingBySummaryEngineClass = orv::ClassOf<TcxSortingBySummaryEngine>;

// How an engine orders the groups of one level: by which group summary item (-1: none) and in
// which direction.
class TcxSortingBySummaryInfo : public TObject {
  ORV_CLASS(TcxSortingBySummaryInfo, TObject)
 public:
  TcxSortingBySummaryInfo() = default;
  TcxDataSortOrder SortOrder = soNone;
  Integer SummaryIndex = -1;
};

// Finds records by values: ReadData fills an internal record of the storage from a reader,
// FindRecordIndex answers the matching record or -1.
class TcxDataControllerLocateObject : public TObject {
  ORV_CLASS(TcxDataControllerLocateObject, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataController* dataController);
  explicit TcxDataControllerLocateObject(TcxCustomDataController* dataController)
      : FDataController(dataController) {}

  virtual void Clear();
  virtual Integer FindRecordIndex() { return -1; }

  void ReadData(TcxValueDefReader* reader);
  TcxCustomDataController* GetDataController() const { return FDataController; }
  // The internal record (0 before the first ReadData).
  Integer GetRecordIndex() const { return FRecordIndex; }

  void BeforeDestruction() override;

 private:
  TcxCustomDataController* FDataController;
  Integer FRecordIndex = 0;
};

// Locates the first record whose key fields equal the read values.
class TcxDataControllerKeyLocateObject : public TcxDataControllerLocateObject {
  ORV_CLASS(TcxDataControllerKeyLocateObject, TcxDataControllerLocateObject)
 public:
  explicit TcxDataControllerKeyLocateObject(TcxCustomDataController* dataController)
      : TcxDataControllerLocateObject(dataController) {}

  Integer FindRecordIndex() override;
  std::vector<TcxCustomDataField*>& KeyFields() { return FKeyFields; }

 private:
  std::vector<TcxCustomDataField*> FKeyFields;
};

// Locates the record of a group level by the grouping values of the levels above it.
class TcxDataControllerGroupLocateObject : public TcxDataControllerLocateObject {
  ORV_CLASS(TcxDataControllerGroupLocateObject, TcxDataControllerLocateObject)
 public:
  explicit TcxDataControllerGroupLocateObject(TcxCustomDataController* dataController);

  Integer FindRecordIndex() override;
  Integer GetLevel() const { return FLevel; }
  void SetLevel(Integer value) { FLevel = value; }
  Boolean GetIsGroupDataSorted() const { return FIsGroupDataSorted; }

 private:
  Integer FLevel = 0;
  Boolean FIsGroupDataSorted = true;
};

// ==== Readers ================================================================================

// Values given one by one for value definitions; used to locate records by values.
class TcxValueDefUnboundReader : public TcxValueDefReader {
  ORV_CLASS(TcxValueDefUnboundReader, TcxValueDefReader)
 public:
  TcxValueDefUnboundReader() = default;

  Variant ProvideValue(TcxValueDef* def) override;
  Boolean SkipsValueDef(TcxValueDef* def) override;

  void SetValue(TcxValueDef* def, const Variant& value);
  // Drops the values from the end down to `count` (the definitions stay).
  void Truncate(Integer count);
  void Clear() { Truncate(0); }

 private:
  std::vector<TcxValueDef*> FDefs;
  std::vector<Variant> FValues;
};

// The values and display texts of one record of a controller.
class TcxValueDefRecordReader : public TcxValueDefReader {
  ORV_CLASS(TcxValueDefRecordReader, TcxValueDefReader)
 public:
  TcxValueDefRecordReader(TcxCustomDataController* dataController, Integer recordIndex)
      : FDataController(dataController), FRecordIndex(recordIndex) {}

  AnsiString ProvideDisplayText(TcxValueDef* def) override;
  Variant ProvideValue(TcxValueDef* def) override;
  Boolean SkipsValueDef(TcxValueDef* def) override;

 private:
  TcxCustomDataController* FDataController;
  Integer FRecordIndex;
};

// ==== Controller =============================================================================

// A guard on a controller: reads nil once the controller is gone.
class TcxDataListenerLink : public TObject {
  ORV_CLASS(TcxDataListenerLink, TObject)
 public:
  explicit TcxDataListenerLink(TcxCustomDataController* dataController) : FDataController(dataController) {}
  TcxCustomDataController* GetDataController() const { return FDataController; }

 private:
  friend class TcxCustomDataController;
  TcxCustomDataController* FDataController;
};

// A hidden component whose free notifications reach the controller.
class TcxDataControllerNotifier : public TComponent {
  ORV_CLASS(TcxDataControllerNotifier, TComponent)
 public:
  explicit TcxDataControllerNotifier(TcxCustomDataController* dataController);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TcxCustomDataController* FDataController;
};

// ==== Incremental search and the groups interface =============================================

// The incremental search of a controller: finds the next record whose display text in one item
// starts with the typed text (ignoring case) and focuses it. The search state (searching, text,
// item) lives in the controller.
class TcxDataControllerSearch : public TObject {
  ORV_CLASS(TcxDataControllerSearch, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataController* dataController);
  explicit TcxDataControllerSearch(TcxCustomDataController* dataController) : FDataController(dataController) {}

  // Focuses the record at the filtered position and makes its row the only selected one.
  virtual void FocusFoundRecord(Integer recordListIndex);
  // The first filtered position from start to end (-1: the last position forward, 0 backward)
  // whose search text starts with the text; -1 when none.
  virtual Integer DoSearch(Integer startRecordListIndex, Integer endRecordListIndex, const AnsiString& text,
                           Boolean forward);
  // Searches from the focused record forward, wrapping to the top; whether a record was found.
  virtual Boolean Locate(Integer itemIndex, const AnsiString& text);
  // The next (or previous) match of the current search, without wrapping.
  virtual Boolean LocateNext(Boolean forward);
  virtual void Lock() { FLocked = true; }
  virtual void Unlock() { FLocked = false; }

  // Ends the search (nothing while locked).
  void Cancel();
  // -1 when no item is searched.
  Integer GetItemIndex();
  // EcxInvalidDataControllerOperation "ItemIndex out of range" for a bad item.
  void SetItemIndex(Integer value);
  Boolean GetSearching();
  AnsiString GetSearchText();
  Boolean GetLocked() const { return FLocked; }
  TcxCustomDataController* GetDataController() const { return FDataController; }

 private:
  TcxCustomDataController* FDataController;
  Boolean FLocked = false;
};

using TcxDataControllerSearchClass = orv::ClassOf<TcxDataControllerSearch>;

// The grouping interface of a controller: grouping items, group rows, expanding and the records
// under a group row. Data groups are indexes into the row model's group list.
class TcxDataControllerGroups : public TObject {
  ORV_CLASS(TcxDataControllerGroups, TObject)
 public:
  explicit TcxDataControllerGroups(TcxCustomDataController* dataController) : FDataController(dataController) {}

  void ChangeExpanding(Integer rowIndex, Boolean expanded, Boolean recursive);
  // Moves the item to that grouping level (-1 ungroups); "ItemIndex out of range".
  void ChangeGroupIndex(Integer itemIndex, Integer groupIndex);
  // The grid's name for ChangeGroupIndex.
  void ChangeGrouping(Integer itemIndex, Integer groupIndex) { ChangeGroupIndex(itemIndex, groupIndex); }
  void ClearGrouping();
  void FullCollapse();
  void FullExpand();
  // Whether the row lies in the group row's group (the group row itself included).
  Boolean IsRowInGroup(Integer rowIndex, Integer groupRowIndex);
  // Appends the record indexes of every data row under the group.
  void CollectRecordIndexes(std::vector<Integer>& list, Integer dataGroupIndex);
  // The same for the group of a row (for a data row, the deepest group that holds it).
  void CollectRowRecordIndexes(std::vector<Integer>& list, Integer rowIndex);
  // Children of a group: child groups, or below the last level the group's records.
  Integer GetChildCount(Integer dataGroupIndex);
  Integer GetChildDataGroupIndex(Integer dataGroupIndex, Integer childIndex);
  // The record of the child position; -1 when there is none.
  Integer GetChildRecordIndex(Integer dataGroupIndex, Integer childIndex);
  // The grid's name for GetChildRecordIndex.
  Integer GetChildRecord(Integer dataGroupIndex, Integer childIndex) { return GetChildRecordIndex(dataGroupIndex, childIndex); }
  Integer GetRowDataGroup(Integer rowIndex);
  Integer GetDataGroupIndexByRowIndex(Integer rowIndex) { return GetRowDataGroup(rowIndex); }
  Integer GetFieldGroupingLevel(TcxCustomDataField* field);
  Integer GetGroupingLevelCount();
  Integer GetLevelItemIndex(Integer level);
  // "ItemIndex out of range" for a bad item; -1 when not grouped.
  Integer GetItemGroupIndex(Integer itemIndex);
  Integer GetLevel(Integer dataGroupIndex);
  TcxCustomDataController* GetDataController() const { return FDataController; }

 private:
  TcxDataGroups* DataGroups();
  TcxCustomDataController* FDataController;
};

// ==== Summaries ==============================================================================

enum TcxSummaryKind : Byte { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TcxSummaryPosition : Byte { spGroup, spFooter };
enum TcxSummaryOption { soNullIgnore, soSelectedRecords, soMultipleSelectedRecords };
using TcxSummaryOptions = orv::Set<TcxSummaryOption>;

class TcxDataSummary;
class TcxDataSummaryItem;
class TcxDataSummaryItems;
class TcxDataSummaryGroup;

struct TcxSummaryEventArguments {
  Integer RecordIndex;
  TcxDataSummaryItem* SummaryItem;
};
// Value: the record's value (changeable); SummaryValue and CountValue: the running value and
// count; Done: True skips the built-in step.
struct TcxSummaryEventOutArguments {
  Variant Value;
  Variant SummaryValue;
  Integer CountValue;
  Boolean Done;
};
using TcxSummaryEvent = orv::Event<void(TcxDataSummaryItems* sender, const TcxSummaryEventArguments& arguments,
                                        TcxSummaryEventOutArguments& outArguments)>;
using TcxDataSummaryItemGetTextEvent =
    orv::Event<void(TcxDataSummaryItem* sender, const Variant& value, Boolean isFooter, AnsiString& text)>;
using TcxAfterSummaryEvent = orv::Event<void(TcxDataSummary* sender)>;

// What a summary item summarizes (the controller field of an item), how and with which format.
class TcxCustomDataSummaryItem : public TCollectionItem {
  ORV_CLASS(TcxCustomDataSummaryItem, TCollectionItem)
 public:
  explicit TcxCustomDataSummaryItem(TCollection* collection) : TCollectionItem(collection) {}

  // From another summary item, inside the collection's update bracket, through AssignValues.
  void Assign(TPersistent* source) override;
  // The item link mapped to this controller's item of the same ID, Format and Kind.
  virtual void AssignValues(TcxCustomDataSummaryItem* source);
  virtual TcxCustomDataController* GetDataController() { return nullptr; }
  // The format for a value kind (0 other, 1 currency, 2 date): the item's Format.
  virtual AnsiString GetFormat(Integer valueKind, Boolean isFooter) { return FFormat; }
  // varCurrency (the only currency variant type here).
  virtual Boolean IsCurrency(TVarType varType);
  virtual void FieldChanging(TcxCustomDataField* field) {}
  // Null: empty; skNone: the value's text; numbers (and counts) through the number-format
  // pattern; dates as the locale writes them after the format.
  virtual AnsiString FormatValue(const Variant& value, Boolean isFooter);

  // The item object of the field (nil without one); setting looks up the item's field.
  TObject* GetItemLink();
  void SetItemLink(TObject* value);
  TcxCustomDataField* GetField() const { return FField; }
  // Sets the field without the change bracket (a field that goes).
  void ClearField() { FField = nullptr; }
  const AnsiString& GetFormat() const { return FFormat; }
  void SetFormat(const AnsiString& value);
  TcxSummaryKind GetKind() const { return FKind; }
  void SetKind(TcxSummaryKind value);

 protected:
  void SetField(TcxCustomDataField* value) { FField = value; }

 private:
  TcxCustomDataField* FField = nullptr;
  AnsiString FFormat;
  TcxSummaryKind FKind = skNone;
};

// A summary item of a footer or of group rows.
class TcxDataSummaryItem : public TcxCustomDataSummaryItem {
  ORV_CLASS(TcxDataSummaryItem, TcxCustomDataSummaryItem)
 public:
  explicit TcxDataSummaryItem(TCollection* collection) : TcxCustomDataSummaryItem(collection) {}
  void BeforeDestruction() override;

  using TcxCustomDataSummaryItem::GetFormat;
  // Also Position, Sorted and OnGetText.
  void AssignValues(TcxCustomDataSummaryItem* source) override;
  // The owning collection's summary's controller.
  TcxCustomDataController* GetDataController() override;
  // The collection's default format when the item's Format is empty.
  AnsiString GetFormat(Integer valueKind, Boolean isFooter) override;
  // Then OnGetText.
  AnsiString FormatValue(const Variant& value, Boolean isFooter) override;
  // A data field, or a count in group position.
  virtual Boolean IsCalculable();
  virtual Boolean StoresPosition();
  virtual TcxCustomDataField* GetDataField() { return GetField(); }

  // The collection's position for the item (spFooter for every footer item).
  TcxSummaryPosition GetPosition();
  void SetPosition(TcxSummaryPosition value);
  Boolean GetSorted() const { return FSorted; }
  void SetSorted(Boolean value);
  const TcxDataSummaryItemGetTextEvent& GetOnGetText() const { return FOnGetText; }
  void SetOnGetText(const TcxDataSummaryItemGetTextEvent& value) { FOnGetText = value; }
  // Its summary items collection (nil in another collection).
  TcxDataSummaryItems* GetOwnerItems();
  TcxSummaryPosition GetStoredPosition() const { return FPosition; }

 private:
  TcxSummaryPosition FPosition = spGroup;
  Boolean FSorted = false;
  TcxDataSummaryItemGetTextEvent FOnGetText;
};

using TcxDataSummaryItemClass = orv::ClassOf<TcxDataSummaryItem>;

// The summary items of a footer, of group rows by default, or of a summary group.
class TcxDataSummaryItems : public TcxCollection {
  ORV_CLASS(TcxDataSummaryItems, TcxCollection)
 public:
  using TCreateSignature = void(TcxDataSummary* summary, TCollectionItemClass itemClass);
  TcxDataSummaryItems(TcxDataSummary* summary, TCollectionItemClass itemClass)
      : TcxCollection(itemClass), FSummary(summary) {}

  TPersistent* GetOwner() override;
  virtual void ItemSortedChanging(TcxDataSummaryItem* item, Boolean sorted) {}
  virtual TcxSummaryPosition GetPositionOfItem(TcxDataSummaryItem* item) { return item->GetStoredPosition(); }
  virtual Boolean StoresItemPosition(TcxDataSummaryItem* item) { return item->GetStoredPosition() != spGroup; }
  // Property bits: 1 Format, 2 Kind, 4 Sorted; False when a selected property is not default.
  virtual Boolean ArePropertiesDefault(TcxDataSummaryItem* item, Integer properties);
  virtual void CopyEvents(TcxDataSummaryItems* source) { FOnSummary = source->FOnSummary; }
  virtual AnsiString GetDefaultFormat(Integer valueKind, TcxSummaryKind kind, Boolean isFooter);
  // The text of a group row's values; empty here.
  virtual AnsiString FormatValues(const Variant& values) { return AnsiString(); }
  // "ItemIndex out of range" for a bad item; the first item of that item and position (and
  // kind, when matched); nil when none.
  virtual TcxDataSummaryItem* FindItemByField(Integer itemIndex, TcxSummaryPosition position, Boolean matchKind = false,
                                              TcxSummaryKind kind = skNone);

  TcxDataSummaryItem* Add() { return static_cast<TcxDataSummaryItem*>(TCollection::Add()); }
  TcxDataSummaryItem* AddItem(TObject* itemLink, TcxSummaryPosition position, TcxSummaryKind kind, const AnsiString& format);
  TcxDataSummaryItem* GetSummaryItem(Integer index) const { return static_cast<TcxDataSummaryItem*>(GetItem(index)); }
  TcxDataSummaryItem* GetItems(Integer index) const { return GetSummaryItem(index); }
  Integer Count() const { return GetCount(); }
  Integer IndexOfItemLink(TObject* itemLink);
  TcxDataSummaryItem* ItemOfItemLink(TObject* itemLink);
  Integer IndexOfField(TcxCustomDataField* field);
  TcxDataSummaryItem* ItemOfField(TcxCustomDataField* field);

  // The grid's column summary properties, by (item index, position).
  AnsiString GetItemFormat(Integer itemIndex, TcxSummaryPosition position);
  TcxSummaryKind GetItemKind(Integer itemIndex, TcxSummaryPosition position);
  Boolean GetItemSorted(Integer itemIndex, TcxSummaryPosition position);
  void SetItemFormat(Integer itemIndex, TcxSummaryPosition position, const AnsiString& value);
  void SetItemKind(Integer itemIndex, TcxSummaryPosition position, TcxSummaryKind value);
  void SetItemSorted(Integer itemIndex, TcxSummaryPosition position, Boolean value);

  TcxDataSummary* GetSummary() const { return FSummary; }
  TcxCustomDataController* GetDataController() const;
  const TcxSummaryEvent& GetOnSummary() const { return FOnSummary; }
  void SetOnSummary(const TcxSummaryEvent& value) { FOnSummary = value; }

 protected:
  // A change of one item reports a relayout, any other change a recalculation.
  void Update(TCollectionItem* item) override;

 private:
  void SetItemProperty(Integer itemIndex, TcxSummaryPosition position, Integer property, const AnsiString& format,
                       TcxSummaryKind kind, Boolean sorted);

  TcxDataSummary* FSummary;
  TcxSummaryEvent FOnSummary;
};

// Every footer item is in footer position and stores none.
class TcxDataFooterSummaryItems : public TcxDataSummaryItems {
  ORV_CLASS(TcxDataFooterSummaryItems, TcxDataSummaryItems)
 public:
  TcxDataFooterSummaryItems(TcxDataSummary* summary, TCollectionItemClass itemClass)
      : TcxDataSummaryItems(summary, itemClass) {}
  TcxSummaryPosition GetPositionOfItem(TcxDataSummaryItem* item) override { return spFooter; }
  Boolean StoresItemPosition(TcxDataSummaryItem* item) override { return false; }
};

// Group-row items: their texts are joined and wrapped as "(SUM=1.00, COUNT=2)"; at most one
// item is Sorted.
class TcxDataGroupSummaryItems : public TcxDataSummaryItems {
  ORV_CLASS(TcxDataGroupSummaryItems, TcxDataSummaryItems)
 public:
  TcxDataGroupSummaryItems(TcxDataSummary* summary, TCollectionItemClass itemClass)
      : TcxDataSummaryItems(summary, itemClass) {}

  // Its summary group when it has one, else the summary.
  TPersistent* GetOwner() override;
  // A newly sorted item un-sorts the previously sorted one.
  void ItemSortedChanging(TcxDataSummaryItem* item, Boolean sorted) override;
  AnsiString FormatValues(const Variant& values) override;
  // The item linked to the controller's sorting-by-summary item, else the first Sorted item.
  TcxDataSummaryItem* GetSortedItem();

  const AnsiString& GetBeginText() const { return FBeginText; }
  void SetBeginText(const AnsiString& value);
  const AnsiString& GetEndText() const { return FEndText; }
  void SetEndText(const AnsiString& value);
  const AnsiString& GetSeparator() const { return FSeparator; }
  void SetSeparator(const AnsiString& value);
  TcxDataSummaryGroup* GetSummaryGroup() const { return FSummaryGroup; }

 private:
  friend class TcxDataSummaryGroup;
  void TextChanged();
  TcxDataSummaryGroup* FSummaryGroup = nullptr;
  AnsiString FBeginText = "(";
  AnsiString FEndText = ")";
  AnsiString FSeparator = ",";
};

// Links a grouping item to a summary group; an item belongs to at most one summary group.
class TcxDataSummaryGroupItemLink : public TcxCustomDataSummaryItem {
  ORV_CLASS(TcxDataSummaryGroupItemLink, TcxCustomDataSummaryItem)
 public:
  explicit TcxDataSummaryGroupItemLink(TCollection* collection) : TcxCustomDataSummaryItem(collection) {}
  TcxCustomDataController* GetDataController() override;
  // Removes every other summary group's link to the field.
  void FieldChanging(TcxCustomDataField* field) override;
  TcxDataSummaryGroup* GetSummaryGroup();
};

using TcxDataSummaryGroupItemLinkClass = orv::ClassOf<TcxDataSummaryGroupItemLink>;

class TcxDataSummaryGroupItemLinks : public TcxCollection {
  ORV_CLASS(TcxDataSummaryGroupItemLinks, TcxCollection)
 public:
  using TCreateSignature = void(TcxDataSummaryGroup* summaryGroup, TCollectionItemClass itemClass);
  TcxDataSummaryGroupItemLinks(TcxDataSummaryGroup* summaryGroup, TCollectionItemClass itemClass)
      : TcxCollection(itemClass), FSummaryGroup(summaryGroup) {}
  TPersistent* GetOwner() override;
  TcxDataSummaryGroupItemLink* Add() { return static_cast<TcxDataSummaryGroupItemLink*>(TCollection::Add()); }
  TcxDataSummaryGroupItemLink* GetLink(Integer index) const {
    return static_cast<TcxDataSummaryGroupItemLink*>(GetItem(index));
  }
  Integer IndexOfItemLink(TObject* itemLink);
  TcxDataSummaryGroup* GetSummaryGroup() const { return FSummaryGroup; }

 protected:
  // Any change recalculates.
  void Update(TCollectionItem* item) override;

 private:
  TcxDataSummaryGroup* FSummaryGroup;
};

// Summary items for the group rows of the grouping items it links.
class TcxDataSummaryGroup : public TCollectionItem {
  ORV_CLASS(TcxDataSummaryGroup, TCollectionItem)
 public:
  explicit TcxDataSummaryGroup(TCollection* collection);
  void BeforeDestruction() override;
  void Assign(TPersistent* source) override;

  // Made on first use, with the controller's link class.
  TcxDataSummaryGroupItemLinks* GetLinks();
  TcxDataGroupSummaryItems* GetSummaryItems() const { return FSummaryItems; }
  TcxDataSummary* GetSummary();

 private:
  TcxDataSummaryGroupItemLinks* FLinks = nullptr;
  TcxDataGroupSummaryItems* FSummaryItems = nullptr;
};

class TcxDataSummaryGroups : public TcxCollection {
  ORV_CLASS(TcxDataSummaryGroups, TcxCollection)
 public:
  using TCreateSignature = void(TcxDataSummary* summary);
  explicit TcxDataSummaryGroups(TcxDataSummary* summary)
      : TcxCollection(TcxDataSummaryGroup::StaticClass()), FSummary(summary) {}
  TPersistent* GetOwner() override;
  TcxDataSummaryGroup* Add() { return static_cast<TcxDataSummaryGroup*>(TCollection::Add()); }
  TcxDataSummaryGroup* GetGroup(Integer index) const { return static_cast<TcxDataSummaryGroup*>(GetItem(index)); }
  // The first group whose links hold the item object; nil when none.
  TcxDataSummaryGroup* FindByItemLink(TObject* itemLink);
  TcxDataSummary* GetSummary() const { return FSummary; }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TcxDataSummary* FSummary;
};

// The summaries of a controller: footer values over the filtered records and values per group
// row, recalculated by the row model's rebuild.
class TcxDataSummary : public TPersistent {
  ORV_CLASS(TcxDataSummary, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomDataController* dataController);
  explicit TcxDataSummary(TcxCustomDataController* dataController);
  void BeforeDestruction() override;
  TPersistent* GetOwner() override;
  // Item collections, summary groups, Options, then the events, inside one update.
  void Assign(TPersistent* source) override;

  // Arrays sized to the items: counts 0, values Empty.
  virtual void PrepareValues(TcxDataSummaryItems* items, std::vector<Integer>& counts, std::vector<Variant>& values);
  virtual void CalculateRange(TcxDataSummaryItems* items, Integer firstRecordListIndex, Integer lastRecordListIndex,
                              std::vector<Integer>& counts, std::vector<Variant>& values);
  // Nothing inside OnAfterSummary or while locked; else DoChanged.
  virtual void Changed(Boolean itemOnly);
  virtual void DoAfterSummary();
  virtual void FinishValue(TcxDataSummaryItem* item, Variant& value, Integer count);
  virtual void AccumulateRecord(TcxDataSummaryItem* item, Integer recordIndex, Variant& value, Integer& count);
  // A variant array of the finished values; Null without items.
  virtual Variant FinishValues(TcxDataSummaryItems* items, std::vector<Integer>& counts, std::vector<Variant>& values);
  // The record at the position; -1 when summaries count selected records and it is not one.
  virtual Integer GetRecordIndex(Integer recordListIndex);
  virtual TcxDataSummaryGroupItemLinkClass GetGroupItemLinkClass();
  virtual TcxDataSummaryItemClass GetSummaryItemClass();
  virtual Boolean IsValidIndex(const Variant& values, Integer index);
  virtual void DoChanged(Boolean itemOnly);
  virtual void AssignEvents(TcxDataSummary* source) { FOnAfterSummary = source->FOnAfterSummary; }
  virtual void CalculateFooter() { DoCalculateFooter(); }
  virtual void CalculateGroupsAndNotify();
  virtual void Calculate();
  virtual void DoCalculateFooter();
  virtual void DoCalculateGroups();

  void BeginUpdate();
  void EndUpdate();
  // The end of an update that changed nothing.
  void CancelUpdate();

  Variant GetFooterSummaryValue(Integer index);
  AnsiString GetFooterSummaryText(Integer index);
  // The grid's form.
  void GetFooterSummaryText(Integer index, AnsiString& text) { text = GetFooterSummaryText(index); }
  // Nil for a level outside the grouping; the items of the summary group linked to the level's
  // grouping item, else the default group items.
  TcxDataGroupSummaryItems* GetGroupSummaryItems(Integer level);
  Boolean GetGroupSummaryInfo(Integer rowIndex, TcxDataSummaryItems*& items, Variant& values);
  AnsiString GetGroupSummaryText(Integer rowIndex);
  void GetGroupSummaryText(Integer rowIndex, AnsiString& text) { text = GetGroupSummaryText(rowIndex); }
  // The text of the item for the group of that level that holds the row.
  AnsiString GetGroupFooterSummaryText(Integer rowIndex, Integer level, Integer index);
  void GetGroupFooterSummaryText(Integer rowIndex, Integer level, AnsiString& text, Integer index) {
    text = GetGroupFooterSummaryText(rowIndex, level, index);
  }
  Variant GetGroupSummaryValues(Integer dataGroupIndex);
  // The collection of another summary that plays the same role as `items` here.
  TcxDataSummaryItems* GetMatchingSummaryItems(TcxDataSummary* other, TcxDataSummaryItems* items);
  // Inside one update every item and link of the field loses its field.
  void RemoveItemByField(TcxCustomDataField* field);
  // soSelectedRecords, or soMultipleSelectedRecords with more than one selected row.
  Boolean CountsSelectedRecords();
  Boolean HasSelectionOptions() const {
    return FOptions.Contains(soSelectedRecords) || FOptions.Contains(soMultipleSelectedRecords);
  }

  TcxCustomDataController* GetDataController() const { return FDataController; }
  TcxDataGroupSummaryItems* GetDefaultGroupSummaryItems() const { return FDefaultGroupSummaryItems; }
  TcxDataFooterSummaryItems* GetFooterSummaryItems() const { return FFooterSummaryItems; }
  TcxDataSummaryGroups* GetSummaryGroups() const { return FSummaryGroups; }
  const Variant& GetFooterSummaryValues() const { return FFooterSummaryValues; }
  TcxSummaryOptions GetOptions() const { return FOptions; }
  // Both selection options: the one that was set already is dropped.
  void SetOptions(TcxSummaryOptions value);
  const TcxAfterSummaryEvent& GetOnAfterSummary() const { return FOnAfterSummary; }
  void SetOnAfterSummary(const TcxAfterSummaryEvent& value) { FOnAfterSummary = value; }
  Boolean IsDestroying() const { return FDestroying; }
  Integer GetLockCount() const { return FLockCount; }

 private:
  TcxCustomDataController* FDataController;
  TcxDataGroupSummaryItems* FDefaultGroupSummaryItems = nullptr;
  TcxDataFooterSummaryItems* FFooterSummaryItems = nullptr;
  TcxDataSummaryGroups* FSummaryGroups = nullptr;
  Variant FFooterSummaryValues;
  TcxSummaryOptions FOptions;
  Integer FLockCount = 0;
  Boolean FInAfterSummary = false;
  Boolean FDestroying = false;
  TcxAfterSummaryEvent FOnAfterSummary;
};

using TcxDataSummaryClass = orv::ClassOf<TcxDataSummary>;

// ==== Relations and detail objects ==========================================================

class TcxCustomDataRelationList;

// Makes the controller the master of detail controllers through one item (a grid level): the
// detail template is the controller designed for it; every master record may have a clone.
class TcxCustomDataRelation : public TObject {
  ORV_CLASS(TcxCustomDataRelation, TObject)
 public:
  using TCreateSignature = void(TcxCustomDataRelationList* relationList, TObject* item);
  // Registers itself in the list.
  TcxCustomDataRelation(TcxCustomDataRelationList* relationList, TObject* item);
  // Detaches the template and leaves the list.
  void BeforeDestruction() override;

  virtual void ForgetField(TcxCustomDataField* field) {}
  virtual void CopyFrom(TcxCustomDataRelation* source) {}

  // The list applies the relation again.
  void Changed();
  TcxCustomDataController* GetDataController() const;
  Integer GetIndex() const;
  TcxCustomDataController* GetDetailDataController() const { return FDetailDataController; }
  TObject* GetItem() const { return FItem; }
  TcxCustomDataRelationList* GetRelationList() const { return FRelationList; }

 private:
  friend class TcxCustomDataController;
  friend class TcxCustomDataRelationList;
  TcxCustomDataController* FDetailDataController = nullptr;
  TObject* FItem;
  TcxCustomDataRelationList* FRelationList;
};

using TcxCustomDataRelationClass = orv::ClassOf<TcxCustomDataRelation>;

// The detail state of one relation of a master record: its link object (e.g. a grid detail
// view, freed with it) and the cached has-children answer.
struct TcxDetailInfoObject {
  TObject* LinkObject = nullptr;
  Boolean HasChildren = false;
  Boolean HasChildrenAssigned = false;
};

// The detail state of one master record.
class TcxDetailObject : public TObject {
  ORV_CLASS(TcxDetailObject, TObject)
 public:
  TcxDetailObject() = default;
  void BeforeDestruction() override { ClearInfoObjects(); inherited::BeforeDestruction(); }

  void ClearInfoObjects();
  // Frees the info object's link object; whether there was one.
  Boolean ClearInfoObject(Integer index);
  // nil outside the list.
  TcxDetailInfoObject* GetInfoObject(Integer index);
  // The info object of the index, made (and the list grown) when missing.
  TcxDetailInfoObject* InfoObject(Integer index);
  TObject* GetLinkObject(Integer index);
  void SetLinkObject(Integer index, TObject* value);
  Integer LinkObjectCount() const { return Integer(FInfoObjects.size()); }
  // No link object at all.
  Boolean IsEmpty();
  // Forgets the cached answers; whether any was set.
  Boolean ResetHasChildren();
  // The list grows to the relation count; -1 without info objects, else clamped, and a relation
  // without a detail controller gives way to the first that has one.
  void CorrectActiveRelationIndex(TcxCustomDataRelationList* relations);

  Integer ActiveRelationIndex = -1;
  Boolean Expanded = false;

 private:
  std::vector<TcxDetailInfoObject> FInfoObjects;
};

// The relations of a master controller and the detail objects of its records (kept beside the
// records: inserted and deleted with them, freed with a reload).
class TcxCustomDataRelationList : public TObject {
  ORV_CLASS(TcxCustomDataRelationList, TObject)
 public:
  explicit TcxCustomDataRelationList(TcxCustomDataController* dataController) : FDataController(dataController) {}
  void BeforeDestruction() override;

  // A relation of the controller's relation class for the item.
  TcxCustomDataRelation* Add(TObject* item);
  void Assign(TcxCustomDataRelationList* source);
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  void Clear();
  TcxCustomDataRelation* FindByItem(TObject* item);
  void Move(Integer fromIndex, Integer toIndex);
  Integer Count() const { return Integer(FItems.size()); }
  Integer GetCount() const { return Count(); }
  TcxCustomDataRelation* GetItem(Integer index) const { return FItems.at(std::size_t(index)); }
  // No relation has a detail template.
  Boolean IsDetailFree();
  // The record's detail object, made when missing ("RecordIndex out of range" for a bad record);
  // nil (and an existing one freed) while no relation has a template.
  TcxDetailObject* GetDetailObject(Integer recordIndex);
  TcxDetailObject* GetStoredDetailObject(Integer recordIndex) const;
  // The record's detail object holds a link object for the relation (-1: any).
  Boolean HasDetail(Integer recordIndex, Integer relationIndex);
  // Frees the record's link objects of the relation (-1: all); False without a detail object.
  Boolean ClearDetailObject(Integer recordIndex, Integer relationIndex);
  void RemoveField(TcxCustomDataField* field);
  TcxCustomDataController* GetDataController() const { return FDataController; }

  // Bookkeeping with the records.
  void RecordInserted(Integer recordIndex);
  void RecordDeleted(Integer recordIndex);
  void FreeDetailObjects();
  // Frees the detail objects of the records from the count on.
  void TrimDetailObjects(Integer recordCount);

 private:
  friend class TcxCustomDataRelation;
  void Changed(TcxCustomDataRelation* relation);
  void FreeDetailObject(TcxDetailObject*& object);

  TcxCustomDataController* FDataController;
  std::vector<TcxCustomDataRelation*> FItems;
  std::vector<TcxDetailObject*> FDetailObjects;
  Integer FLockCount = 0;
};

// ==== Saved keys =============================================================================

class TcxSaveObject;

// A record's key with what was saved for it.
struct TcxKeyInfo {
  Variant Key;
  // Selected keys: the selection entry's index.
  Integer SelectionIndex = -1;
  // Detail keys: the active relation and the detail controller's own saved state.
  Integer ActiveRelationIndex = -1;
  TcxSaveObject* SaveObject = nullptr;
};

// Key values of records, saved before a reload and matched against the records afterwards.
// (Named apart from the control unit's set of wanted keys, TcxKeys.)
class TcxDataControllerKeys : public TObject {
  ORV_CLASS(TcxDataControllerKeys, TObject)
 public:
  TcxDataControllerKeys() = default;
  void BeforeDestruction() override;

  virtual void RestoreData() {}
  virtual void SaveData() {}
  virtual void FreeInfo(TcxKeyInfo& info) {}
  void Clear();
  // Takes the controller's key fields, saves and sorts the key infos by their keys.
  void Save(TcxCustomDataController* dataController);
  // Restores when anything was saved, then clears.
  void Restore(TcxCustomDataController* dataController);
  // The key info of the record's key; -1 when none.
  Integer FindRecordKey(Integer recordIndex);
  Integer Count() const { return Integer(FInfos.size()); }
  TcxKeyInfo& GetInfo(Integer index) { return FInfos.at(std::size_t(index)); }
  TcxCustomDataController* GetDataController() const { return FDataController; }

 protected:
  void AddInfo(TcxKeyInfo info) { FInfos.push_back(std::move(info)); }
  Variant RecordKey(Integer recordIndex);

 private:
  TcxCustomDataController* FDataController = nullptr;
  std::vector<TcxCustomDataField*> FKeyFields;
  std::vector<TcxKeyInfo> FInfos;
};

// The records with expanded details, their active relations and their details' own state.
class TcxDetailKeys : public TcxDataControllerKeys {
  ORV_CLASS(TcxDetailKeys, TcxDataControllerKeys)
 public:
  TcxDetailKeys() = default;
  void RestoreData() override;
  void SaveData() override;
  void FreeInfo(TcxKeyInfo& info) override;
};

// The selected records.
class TcxSelectedKeys : public TcxDataControllerKeys {
  ORV_CLASS(TcxSelectedKeys, TcxDataControllerKeys)
 public:
  TcxSelectedKeys() = default;
  void RestoreData() override;
  void SaveData() override;
};

// Expanded details and selected rows of a controller kept by key across a reload.
class TcxSaveObject : public TObject {
  ORV_CLASS(TcxSaveObject, TObject)
 public:
  TcxSaveObject() = default;
  // The key lists are members: their saved detail states go here.
  void BeforeDestruction() override {
    FDetailKeys.Clear();
    FSelectedKeys.Clear();
    inherited::BeforeDestruction();
  }
  // Nothing while a link object is being made, while the controller goes, or without keys.
  void Save(TcxCustomDataController* dataController);
  // Without keys every record's detail links go.
  void Restore(TcxCustomDataController* dataController);

 private:
  TcxDetailKeys FDetailKeys;
  TcxSelectedKeys FSelectedKeys;
};

class TcxCustomDataController : public TInterfacedPersistent {
  ORV_CLASS(TcxCustomDataController, TInterfacedPersistent)
 public:
  using TCreateSignature = void(TComponent* owner);
  explicit TcxCustomDataController(TComponent* owner);

  TPersistent* GetOwner() override { return FOwner; }
  TComponent* GetOwnerComponent() const { return FOwner; }
  void Assign(TPersistent* source) override;

  // ---- Items and fields ----
  virtual TObject* GetItem(Integer index) = 0;
  virtual Integer GetItemCount();
  // A field of GetFieldClass for an item; an internal field (no item) that has its own value
  // type, or shares the storage of a reference field.
  virtual TcxCustomDataField* AddField();
  virtual TcxCustomDataField* AddInternalField(TcxCustomDataField* referenceField, TcxValueTypeClass valueTypeClass);
  // EcxInvalidDataControllerOperation "Item already exists" when the item has a field.
  virtual void AddItem(TObject* item);
  virtual void RemoveItem(TObject* item);
  virtual void UpdateItemIndexes();
  virtual TObject* FindItemByID(Integer id);
  virtual TObject* FindItemByName(const AnsiString& name);
  virtual TObject* FindItemWithSameID(TObject* item);
  virtual Integer GetItemID(TObject* item) { return -1; }
  virtual AnsiString GetItemName(TObject* item);
  virtual Boolean IsProviderField(TcxCustomDataField* field);
  virtual void UpdateField(TcxCustomDataField* field) {}
  virtual void UpdateFields();
  virtual void FieldRemoved(TcxCustomDataField* field);
  virtual void ItemValueTypeChanged(Integer itemIndex) {}
  TcxValueTypeClass GetItemValueTypeClass(Integer itemIndex);
  virtual void SetItemValueTypeClass(Integer itemIndex, TcxValueTypeClass valueTypeClass);
  virtual Boolean GetItemTextStored(Integer itemIndex);
  virtual void SetItemTextStored(Integer itemIndex, Boolean value);
  virtual Boolean GetItemNeedsConversion(Integer itemIndex) { return false; }
  virtual void SetItemNeedsConversion(Integer itemIndex, Boolean value);
  virtual Boolean IsItemDisplayTextStored(Integer itemIndex, Boolean flag) { return GetItemTextStored(itemIndex); }
  TcxCustomDataField* GetItemField(Integer itemIndex);
  TcxCustomDataField* GetFieldByItem(TObject* item) const;
  // EcxInvalidDataControllerOperation "ItemIndex out of range" outside 0 .. GetItemCount() - 1.
  void CheckItemRange(Integer itemIndex);
  TcxCustomDataFieldList* GetFields() const { return FFields; }

  // ---- Records and values ----
  virtual Integer GetRecordCount();
  virtual void SetRecordCount(Integer value);
  virtual Variant GetValue(Integer recordIndex, Integer itemIndex);
  virtual void SetValue(Integer recordIndex, Integer itemIndex, const Variant& value);
  virtual AnsiString GetDisplayText(Integer recordIndex, Integer itemIndex);
  virtual void SetDisplayText(Integer recordIndex, Integer itemIndex, const AnsiString& text);
  virtual Variant GetFieldValue(Integer recordIndex, TcxCustomDataField* field);
  virtual AnsiString GetFieldDisplayText(Integer recordIndex, TcxCustomDataField* field);
  virtual Variant GetRecordID(Integer recordIndex);
  virtual Variant GetRecordKeyValues(Integer recordIndex, const std::vector<TcxCustomDataField*>& keyFields);
  virtual Variant GetGroupingValue(Integer recordIndex, TcxCustomDataField* field) { return GetFieldValue(recordIndex, field); }
  Integer AppendRecord();
  void InsertRecord(Integer recordIndex);
  void DeleteRecord(Integer recordIndex);
  virtual void CopyRecordValues(Integer fromRecordIndex, Integer toRecordIndex);
  // The detail objects of later records move with them.
  virtual void RecordInserted(Integer recordIndex);
  virtual void RecordDeleted(Integer recordIndex);
  virtual void DeleteRecordFromStorage(Integer recordIndex);
  virtual void AfterReadRecord(Integer recordIndex);
  virtual void AppendRecordFromReader(TcxValueDefReader* reader);
  virtual void BeginInternalRecordRead() {}
  virtual void EndInternalRecordRead() {}
  virtual Boolean UsesRecordID() { return false; }
  virtual void WriteStoredValueToProvider(Integer recordIndex, TcxCustomDataField* field);
  // EcxInvalidDataControllerOperation "RecordIndex out of range" unless the record is stored,
  // is the new-item record or is the provider's saved record.
  void CheckRecordRange(Integer recordIndex);
  // The new-item row's internal record, made on first use.
  virtual Integer GetNewItemRecordIndex();
  TcxDataStorage* GetDataStorage() const { return FDataStorage; }
  // The grid's row access.
  void GetRowDisplayText(const TcxRowInfo& rowInfo, Integer& itemIndex, AnsiString& text);
  void GetRowValue(const TcxRowInfo& rowInfo, Integer itemIndex, Variant& value);

  // ---- Modes ----
  virtual Boolean IsDestroying();
  virtual Boolean IsLoading();
  virtual Boolean IsSingleSelectMode() { return !FMultiSelect; }
  virtual Boolean IsImmediatePost() { return FOptions.Contains(dcoImmediatePost) || GetProvider()->EditsInStorage(); }
  virtual Boolean HasRecordKeys() { return false; }
  // The fields whose values are a record's key (none here).
  virtual void GetKeyFieldList(std::vector<TcxCustomDataField*>& list) {}
  virtual Boolean NeedsStructureUpdate();
  virtual Boolean IsProviderMode();
  virtual Boolean IsIncrementalLoadMode() { return false; }
  virtual Boolean IsSmartRefresh() { return false; }
  virtual Boolean IsUnboundMode();
  virtual Boolean IsGridMode() { return GetProvider()->IsGridMode(); }
  virtual Boolean IsDataStructureChanging() { return FDataStructureChanging; }
  virtual Boolean IsSynchronizationEnabled() { return false; }
  virtual Boolean IsDataChangeLocked() { return FDataChangedLockCount != 0; }
  // A master relation is set.
  virtual Boolean IsDetailMode() { return FMasterRelation != nullptr; }
  // 0 no detail, 1 template (no master record, or marked as the template), 2 clone.
  Integer GetDetailMode();
  Boolean IsDetailTemplate() { return GetDetailMode() == 1; }
  Boolean IsProviderFrozen() { return FProvider && FProvider->GetLockCount() > 0; }
  // The grid's name for IsProviderFrozen.
  Boolean IsProviderLocked() { return IsProviderFrozen(); }

  // ---- Loading and structure ----
  virtual void LoadData();
  virtual void NotifyDataLoaded() {}
  // The last EndDeferDataSetRefresh: a dataset-bound controller makes the change it held back.
  virtual void DeferredDataSetRefresh() {}
  virtual void RebuildStructure();
  virtual void DataLoaded();
  virtual void StorageCleared(TObject* sender);
  virtual void ActiveChanged(Boolean active);
  virtual void DataScrolled(Integer distance);
  virtual void LayoutChanged(Integer kinds);
  virtual void CustomDataSourceChanged() {}
  virtual void BeginLoad();
  virtual void EndLoad();
  virtual void Loaded();
  virtual void Refresh();
  virtual void RefreshExternalData() {}
  void UpdateItems(Boolean force);
  void UpdateStructure(Boolean force);
  void SaveDataToStream(TStream* stream);
  void LoadDataFromStream(TStream* stream);

  // ---- Update cycle and notifications ----
  virtual void BeforeApplyChanges() {}
  virtual void DoDataChanged();
  virtual void RemoveNotification(TComponent* component);
  virtual void FilterChanged();
  // A relayout only (itemOnly) or a recalculation of the summaries.
  virtual void SummaryChanged(Boolean itemOnly);
  // Merges the change into the pending one and refreshes the rows; delivered at the unlock.
  virtual void DataChanged(TcxDataChange kind, Integer itemIndex, Integer recordIndex);
  virtual void UpdateControl(TcxUpdateControlInfo* info);
  virtual void BeginUpdate() { LockUpdate(); }
  virtual void EndUpdate() { UnlockUpdate(); }
  void LockUpdate();
  void UnlockUpdate();
  Integer LockCount() const { return FInfo->LockCount(); }
  // The grid's name for a non-zero LockCount.
  Boolean IsUpdateLocked() const { return LockCount() != 0; }
  Boolean IsRowModelConsistent() const { return !FInfo->IsInUpdate(); }
  // Adds change bits and delivers them unless locked.
  void Change(Word changes);
  void CheckChanges();
  // Sets the in-notify flag, hands the notice to UpdateControl and frees it in every case.
  void NotifyControl(TcxUpdateControlInfo* info);
  Boolean IsInNotify() const { return FInNotify; }
  void AddDataChangedListener(TObject* sender, const TNotifyEvent& method);
  void RemoveDataChangedListener(TObject* sender, const TNotifyEvent& method);
  // The editors' names for the listener operations.
  void AddDataChangedNotify(TObject* sender, const TNotifyEvent& method) { AddDataChangedListener(sender, method); }
  void RemoveDataChangedNotify(TObject* sender, const TNotifyEvent& method) { RemoveDataChangedListener(sender, method); }
  void LockDataChangedNotify() { ++FDataChangedLockCount; }
  void UnlockDataChangedNotify() { --FDataChangedLockCount; }
  // The lookup editors' names for the data-change lock.
  void LockDataChanged() { LockDataChangedNotify(); }
  void UnlockDataChanged() { UnlockDataChangedNotify(); }
  void BeginLocate();
  void EndLocate();
  Integer GetLocateCount() const { return FLocateCount; }
  void BeginUpdateFields();
  void EndUpdateFields();
  // A lock bracket around a reload or a delete that keeps the user's place.
  void BeginSaveState();
  void EndSaveState();
  // While deferred (the calls nest), a whole-data change that the controller's dataset reports
  // in browse state waits, and the last end makes it once: a caller that changes the dataset in
  // several steps (a filter set piece by piece) pays for one reload instead of one per step.
  // Meanwhile the controller keeps the data it had. An end without a begin does nothing.
  void BeginDeferDataSetRefresh() { ++FDataSetRefreshDeferCount; }
  void EndDeferDataSetRefresh();
  Boolean IsDataSetRefreshDeferred() const { return FDataSetRefreshDeferCount > 0; }
  TcxDataListenerLink* AddListenerLink();
  void RemoveListenerLink(TcxDataListenerLink*& link);
  virtual Boolean ExecuteAction(TBasicAction* action) { return false; }
  virtual Boolean UpdateAction(TBasicAction* action) { return false; }

  // ---- Events ----
  virtual void DoFilterRecord(Integer recordIndex, Boolean& accept);
  virtual Boolean HasFilterRecordHandler() { return bool(FOnFilterRecord); }
  virtual void DoNewRecord(Integer recordIndex);
  virtual void DoDetailExpanding(Integer recordIndex, Boolean& allow);
  virtual void DoDetailExpanded(Integer recordIndex);
  virtual void DoDetailCollapsing(Integer recordIndex, Boolean& allow);
  virtual void DoDetailCollapsed(Integer recordIndex);

  // ---- Rows, focus and selection ----
  Integer GetRowCount() const { return FInfo->GetRowCount(); }
  TcxRowInfo GetRowInfo(Integer rowIndex) const { return FInfo->GetRowInfo(rowIndex); }
  Integer GetRowIndexByRecordIndex(Integer recordIndex, Boolean makeVisible) {
    return FInfo->GetRowIndexByRecordIndex(recordIndex, makeVisible);
  }
  Integer GetFilteredRecordCount() const { return FInfo->GetFilteredRecordCount(); }
  Integer GetFilteredRecordIndex(Integer index) const { return FInfo->GetFilteredRecordIndex(index); }
  Integer GetFilteredIndexOfRecord(Integer recordIndex) const { return FInfo->GetFilteredIndexOfRecord(recordIndex); }
  Integer GetFocusedRowIndex() const { return FInfo->GetFocusedRowIndex(); }
  Integer GetFocusedRecordIndex() const { return FInfo->GetFocusedRecordIndex(); }
  virtual Integer GetEffectiveFocusedRecordIndex() { return GetFocusedRecordIndex(); }
  virtual Integer GetCurrentRecordIndex();
  // Focuses a row (-1: none); False when the controller refuses.
  Boolean ChangeFocusedRowIndex(Integer rowIndex);
  Boolean ChangeFocusedRecordIndex(Integer recordIndex);
  void GotoFirst();
  void GotoLast();
  void GotoNext();
  void GotoPrev();
  void MoveBy(Integer distance);
  // The editors' names for GotoNext, GotoPrev and MoveBy.
  void FocusNextRow() { GotoNext(); }
  void FocusPreviousRow() { GotoPrev(); }
  void MoveFocusBy(Integer distance) { MoveBy(distance); }
  Boolean IsBOF();
  Boolean IsEOF();
  void Scroll(Integer distance);
  // Posts a pending edit of another record when no dataset is bound.
  virtual Boolean CanFocusRecord(Integer recordIndex);
  virtual void FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex) {}
  virtual Boolean CanChangeFocusedRow() { return true; }
  virtual void CheckFocusedRow();
  virtual void FocusedRowChanging(Integer rowIndex) {}
  virtual void CheckBrowseMode() {}
  virtual void PostEditing();
  virtual void SavePosition() { GetProvider()->SavePos(); }
  virtual void RestorePosition() { GetProvider()->RestorePos(); }
  virtual Boolean CanSelectRow(Integer rowIndex) { return true; }
  virtual TcxDataSelectionClass GetSelectionClass() { return TcxDataSelection::StaticClass(); }
  Boolean GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(Boolean value);
  Boolean GetFocusedSelected() const { return FFocusedSelected; }
  void SetFocusedSelected(Boolean value);
  Integer GetSelectedCount();
  virtual Integer GetSelectedRowIndex(Integer index);
  Boolean IsRowSelected(Integer rowIndex);
  void ChangeRowSelection(Integer rowIndex, Boolean select);
  void ClearSelection();
  virtual void SelectAll();
  void SelectRows(Integer startRowIndex, Integer endRowIndex);
  TcxDataSelection* GetSelection() { return FInfo->GetSelection(); }
  // Drops the selection entries whose records are gone (-1: after a reload).
  void CheckSelection(Integer deletedRecordIndex);
  virtual Variant GetRowID(Integer rowIndex) { return Variant(rowIndex); }
  Boolean GetNewItemRowFocused() const { return FNewItemRowFocused; }
  Boolean GetUseNewItemRowForEditing() const { return FUseNewItemRowForEditing; }
  Boolean IsNewItemRowEditing() const { return FUseNewItemRowForEditing && FNewItemRowFocused; }
  // The new-item record while the new-item row is focused for editing, no record without a
  // focused row, else the focused row's record.
  virtual Integer GetRecordIndexForEditing();
  Integer GetEditingRecordIndex();
  virtual void ValidateEditingRecord(Integer recordIndex);

  // ---- Editing ----
  // Edit state bits.
  static constexpr Integer dceInsert = 1;
  static constexpr Integer dceEdit = 2;
  static constexpr Integer dceChanging = 4;
  static constexpr Integer dceModified = 8;
  // Allowed operation bits.
  static constexpr Integer dcoAppend = 1;
  static constexpr Integer dcoDelete = 2;
  static constexpr Integer dcoEdit = 4;
  static constexpr Integer dcoInsert = 8;
  static constexpr Integer dcoSync = 16;
  virtual Integer GetEditState();
  Boolean IsEditing();
  virtual Integer GetAllowedOperations();
  virtual void Append();
  virtual void Insert();
  virtual void Edit();
  // Opens an edit of the item in the editing record; False when the item may not be edited.
  virtual Boolean EditItem(Integer itemIndex);
  virtual Boolean IsItemEditable(Integer itemIndex) { return true; }
  // Writes the value into the editing record (posted at once under IsImmediatePost).
  virtual Boolean SetEditValue(Integer itemIndex, const Variant& value, TcxDataEditValueSource kind);
  virtual Variant GetEditValue(Integer itemIndex, TcxDataEditValueSource kind);
  virtual void Post(Boolean force = false);
  virtual void Cancel();
  virtual void UpdateData();
  virtual void UpdateEditorValue() {}
  virtual void DeleteFocused();
  virtual void DeleteSelection();
  // Deletes the records through the provider: sorted, without duplicates, the nearest record
  // lowered by one for every deleted record at or below it.
  void DeleteRecordList(std::vector<Integer> recordIndexes);
  // After a delete: focuses the nearest record, or the last row when none was found.
  void FocusNearestRecord();
  Integer GetNearestRecordIndex() const { return FNearestRecordIndex; }
  void SetNearestRecordIndex(Integer value) { FNearestRecordIndex = value; }
  Boolean IsDeletingSelection() const { return FDeletingSelection; }
  void SetUseNewItemRowForEditing(Boolean value);
  void SetNewItemRowFocused(Boolean value);
  virtual void FocusControl(Integer itemIndex, Boolean& done) {}
  // Events of the editing cycle.
  virtual void DoAfterCancel();
  virtual void DoAfterDelete();
  virtual void DoAfterInsert();
  virtual void DoAfterPost();
  virtual void DoBeforeCancel();
  virtual void DoBeforeDelete(Integer recordIndex);
  virtual void DoBeforeInsert();
  virtual void DoBeforePost();
  const TcxDataControllerNotifyEvent& GetOnAfterCancel() const { return FOnAfterCancel; }
  void SetOnAfterCancel(const TcxDataControllerNotifyEvent& value) { FOnAfterCancel = value; }
  const TcxDataControllerNotifyEvent& GetOnAfterDelete() const { return FOnAfterDelete; }
  void SetOnAfterDelete(const TcxDataControllerNotifyEvent& value) { FOnAfterDelete = value; }
  const TcxDataControllerNotifyEvent& GetOnAfterInsert() const { return FOnAfterInsert; }
  void SetOnAfterInsert(const TcxDataControllerNotifyEvent& value) { FOnAfterInsert = value; }
  const TcxDataControllerNotifyEvent& GetOnAfterPost() const { return FOnAfterPost; }
  void SetOnAfterPost(const TcxDataControllerNotifyEvent& value) { FOnAfterPost = value; }
  const TcxDataControllerNotifyEvent& GetOnBeforeCancel() const { return FOnBeforeCancel; }
  void SetOnBeforeCancel(const TcxDataControllerNotifyEvent& value) { FOnBeforeCancel = value; }
  const TcxDataDetailExpandedEvent& GetOnBeforeDelete() const { return FOnBeforeDelete; }
  void SetOnBeforeDelete(const TcxDataDetailExpandedEvent& value) { FOnBeforeDelete = value; }
  const TcxDataControllerNotifyEvent& GetOnBeforeInsert() const { return FOnBeforeInsert; }
  void SetOnBeforeInsert(const TcxDataControllerNotifyEvent& value) { FOnBeforeInsert = value; }
  const TcxDataControllerNotifyEvent& GetOnBeforePost() const { return FOnBeforePost; }
  void SetOnBeforePost(const TcxDataControllerNotifyEvent& value) { FOnBeforePost = value; }

  // ---- Selection anchor and rows ----
  // EcxInvalidDataControllerOperation "RowIndex out of range" for a bad row.
  virtual void SetSelectionAnchor(Integer rowIndex);
  virtual Integer GetSelectionAnchorRowIndex();
  virtual Boolean IsSelectionAnchorSet() { return GetSelectionAnchorRowIndex() != -1; }
  virtual void SelectFromAnchor(Integer rowIndex, Boolean keepSelection);
  void SelectFocusedRow();
  void SyncSelectionWithFocusedRow();
  virtual Boolean FocusSelectedRow(Integer selectedIndex);
  using TcxDataControllerEachRowProc = orv::Event<void(Pointer data, Integer rowIndex, const TcxRowInfo& rowInfo)>;
  virtual void ForEachRow(Boolean selectedRowsOnly, const TcxDataControllerEachRowProc& proc, Pointer data);

  // ---- Bookmark ----
  virtual Boolean SetBookmark();
  virtual void ClearBookmark() { FBookmarkRecordIndex = -1; }
  virtual void GotoBookmark();
  virtual Boolean HasBookmark() { return FBookmarkRecordIndex != -1; }
  virtual Boolean IsBookmarkRow(Integer rowIndex);
  virtual Boolean IsBookmarkAffected(Integer recordIndex);
  // Clears the bookmark when the record change or the filter touched it (-1: any record).
  virtual void CheckBookmark(Integer recordIndex);
  void SaveBookmark();
  void ResetBookmark();
  void RestoreBookmark();
  Integer GetBookmarkRecordIndex() const { return FBookmarkRecordIndex; }

  // ---- Incremental filter and text search ----
  // The first filtered record after the refresh, or -1 when none remains.
  Integer SetIncrementalFilter(Integer itemIndex, const AnsiString& text);
  Boolean ChangeIncrementalFilterText(const AnsiString& text);
  void ResetIncrementalFilter();
  Boolean HasIncrementalFilter() const { return FIncrementalFilterField && !FIncrementalFilterText.empty(); }
  const AnsiString& GetIncrementalFilterText() const { return FIncrementalFilterText; }
  Integer GetIncrementalFilterItemIndex() const;
  virtual Boolean MatchesIncrementalFilter(Integer recordIndex);
  // The first filtered record from the start position whose item text matches; -1 when none.
  Integer FindRecordByText(Integer startRecordListIndex, Integer itemIndex, const AnsiString& text, Boolean partial,
                           Boolean wrap, Boolean forward);
  virtual Boolean SearchInGridMode(const AnsiString& text, Boolean forward, Boolean fromNext) { return false; }
  virtual TcxDataControllerSearchClass GetSearchClass() { return TcxDataControllerSearch::StaticClass(); }
  // The incremental search object, of GetSearchClass, made on first use.
  TcxDataControllerSearch* GetSearch();
  // The grouping interface.
  TcxDataControllerGroups* GetGroups() const { return FGroups; }
  virtual AnsiString GetSearchDisplayText(Integer recordIndex, Integer itemIndex) { return GetDisplayText(recordIndex, itemIndex); }
  virtual AnsiString GetFilterDisplayText(Integer recordIndex, Integer itemIndex) { return GetDisplayText(recordIndex, itemIndex); }

  // ---- Sorting and comparison ----
  virtual Integer CompareRecordsByField(Integer recordIndex1, Integer recordIndex2, TcxCustomDataField* field,
                                        TcxDataControllerComparisonMode mode);
  virtual Integer CompareRecordsByIndex(Integer recordIndex1, Integer recordIndex2) {
    return recordIndex1 < recordIndex2 ? -1 : recordIndex1 > recordIndex2 ? 1 : 0;
  }
  virtual Integer CompareRecordsBySortField(Integer recordIndex1, Integer recordIndex2, const TcxDataSortInfo& sortInfo,
                                            TcxDataControllerComparisonMode mode);
  virtual Variant GetSortingValue(Integer recordIndex, TcxCustomDataField* field);
  virtual Boolean NeedsValueConversion(TcxCustomDataField* field);
  virtual Boolean IsTextSortedItem(Integer itemIndex);
  virtual Boolean IsStringCompareField(TcxCustomDataField* field);
  virtual Boolean IsSortByDisplayText(TcxCustomDataField* field);
  virtual Boolean GetItemSortByDisplayText(Integer itemIndex, Boolean defaultValue) { return false; }
  virtual TcxSortingBySummaryEngineClass GetSortingBySummaryEngineClass() { return nullptr; }
  virtual Boolean RefreshIfItemSorted(Integer itemIndex);
  void RequestRefresh() { Refresh(); }
  void ChangeSorting(Integer itemIndex, TcxDataSortOrder sortOrder);
  void ChangeSortIndex(Integer itemIndex, Integer sortIndex);
  void ClearSorting(Boolean keepGroupedItems);
  TcxDataSortOrder GetItemSortOrder(Integer itemIndex);
  Integer GetItemSortIndex(Integer itemIndex);
  // The grid's names for GetItemSortIndex and ChangeSortIndex.
  Integer GetItemSortingIndex(Integer itemIndex) { return GetItemSortIndex(itemIndex); }
  void ChangeSortingIndex(Integer itemIndex, Integer sortIndex) { ChangeSortIndex(itemIndex, sortIndex); }
  Integer GetSortingItemCount() const { return FInfo->GetSortingFieldList()->Count(); }
  Integer GetSortingItemIndex(Integer index) const;
  Integer GetSortingBySummaryItemIndex() const;
  void SetSortingBySummaryItemIndex(Integer itemIndex);
  // The first record (0 .. GetRecordCount() - 1) whose key fields equal those of the internal
  // record; -1 when none or without key fields.
  Integer FindRecordIndexByKeys(Integer internalRecordIndex, const std::vector<TcxCustomDataField*>& keyFields);
  // The record of the first position (binary search when sorted) whose grouping values on
  // levels 0 .. levelCount - 1 equal the internal record's; -1 when none.
  Integer FindRecordIndexByGroupValues(Integer internalRecordIndex, Integer levelCount, Boolean sorted);
  Boolean IsInternalFind() const { return FInternalFind; }
  void SetInternalFind(Boolean value) { FInternalFind = value; }

  // ---- Master-detail ----
  // Made on first use.
  TcxCustomDataRelationList* GetRelationList();
  TcxCustomDataRelationList* FindRelationList() const { return FRelations; }
  virtual TcxCustomDataRelationClass GetRelationClass() { return TcxCustomDataRelation::StaticClass(); }
  TcxCustomDataRelation* GetMasterRelation() const { return FMasterRelation; }
  Integer GetMasterRecordIndex() const { return FMasterRecordIndex; }
  TcxCustomDataController* GetMasterDataController() const;
  TcxCustomDataController* GetRootDataController();
  // The template of a detail's relation; a non-detail is its own pattern.
  TcxCustomDataController* GetPatternDataController();
  // Attaches the controller to the relation as the detail of a master record (-1: as its
  // template); nil detaches it.
  virtual void SetMasterRelation(TcxCustomDataRelation* relation, Integer masterRecordIndex);
  void AttachAsDetailTemplate(TcxCustomDataRelation* relation, Boolean isTemplate);
  Boolean GetIsPattern() const { return FIsPattern; }
  void SetIsPattern(Boolean value);
  // The grid makes a detail view for a master record and answers its controller.
  virtual TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, Integer recordIndex) { return nullptr; }
  virtual TcxCustomDataController* GetDetailDataController(TObject* linkObject) { return nullptr; }
  // The detail controller of a record and relation, made on demand.
  TcxCustomDataController* GetDetailDataController(Integer recordIndex, Integer relationIndex);
  virtual Integer GetDefaultActiveRelationIndex() { return 0; }
  virtual void RelationChanged(TcxCustomDataRelation* relation);
  // Every record's links of the item's relation go (recursively in the details).
  virtual void ResetRelationDetails(TObject* item);
  virtual void CheckDetailsBrowseMode();
  // The owning view became focused: a detail makes sure its dataset holds its records.
  virtual void CheckDetailDataSetCurrent() {}
  virtual Boolean CanChangeDetailExpanding(Integer recordIndex, Boolean expanded);
  TObject* GetDetailLinkObject(Integer recordIndex, Integer relationIndex);
  // A detail's link object (its controller) is being made.
  Boolean IsCreatingLinkObject() const { return FCreatingLinkObject; }
  Boolean IsDetailDataControllerExist(Integer recordIndex, Integer relationIndex);
  Boolean GetDetailExpanding(Integer recordIndex);
  // True when the details are (now) in that state; False when refused or without detail state.
  Boolean ChangeDetailExpanding(Integer recordIndex, Boolean expanded);
  // Whether ChangeDetailExpanding is expanding or collapsing a record's details right now.
  Boolean IsDetailExpanding() const { return FInDetailExpanding; }
  Integer GetDetailActiveRelationIndex(Integer recordIndex);
  void ChangeDetailActiveRelationIndex(Integer recordIndex, Integer relationIndex);
  void ClearDetailLinkObject(Integer recordIndex, Integer relationIndex);
  void ClearDetails();
  void CollapseDetails();
  // With an existing detail controller: whether it has records; else the provider's cached
  // answer (False when the controller has no data).
  Boolean HasDetailChildren(Integer recordIndex, Integer relationIndex);
  // The grid's name for HasDetailChildren.
  Boolean HasDetailData(Integer recordIndex, Integer relationIndex) { return HasDetailChildren(recordIndex, relationIndex); }
  void ResetDetailHasChildren();
  // Calls `proc` (data, detail) for every existing detail controller of the relation, reached
  // from the root controller through the existing details of every record down its chain.
  using TcxForEachDetailProc = void (*)(void* data, TcxCustomDataController* detail);
  void ForEachDetail(TcxCustomDataRelation* relation, TcxForEachDetailProc proc, void* data);
  // Every existing detail controller of the relation forgets its master relation.
  void ResetDetailMasterRelations(TcxCustomDataRelation* relation);
  // The record's detail of its active relation focuses its first row when nothing is focused.
  void SyncDetailsFocus(Integer recordIndex);

  // ---- Summaries ----
  virtual TcxDataSummaryClass GetSummaryClass() { return TcxDataSummary::StaticClass(); }
  virtual TcxDataSummaryItemClass GetSummaryItemClass() { return TcxDataSummaryItem::StaticClass(); }
  virtual TcxDataSummaryGroupItemLinkClass GetSummaryGroupItemLinkClass() {
    return TcxDataSummaryGroupItemLink::StaticClass();
  }
  // Made on first use, of GetSummaryClass.
  TcxDataSummary* GetSummary();
  void SetSummary(TcxDataSummary* value) { GetSummary()->Assign(value); }
  // Whether the summary exists and has any item (cheap test for the rebuild).
  TcxDataSummary* FindSummary() const { return FSummary; }

  // ---- Filter ----
  // The bound criteria, of GetFilterCriteriaClass, made on first use.
  TcxDataFilterCriteria* GetFilter();
  // Copies the conditions (matched by item IDs) and Active into the bound criteria.
  void SetFilter(TcxDataFilterCriteria* value);
  virtual orv::ClassOf<TcxDataFilterCriteria> GetFilterCriteriaClass();
  // Further criteria of the filter class, owned by the controller; they filter nothing.
  virtual TcxDataFilterCriteria* CreateFilter();
  TcxDataFilterList* GetFilters() const { return FFilters; }
  // The value a filter condition tests, and the item's caption and field name in filter texts.
  virtual Variant GetFilterValue(Integer recordIndex, TcxCustomDataField* field) { return GetFieldValue(recordIndex, field); }
  virtual AnsiString GetItemFilterCaption(Integer itemIndex) { return AnsiString(); }
  virtual AnsiString GetItemFilterFieldName(Integer itemIndex) { return GetItemFilterCaption(itemIndex); }

  // ---- Provider ----
  virtual TcxCustomDataProviderClass GetProviderClass() { return TcxCustomDataProvider::StaticClass(); }
  virtual TcxCustomDataFieldClass GetFieldClass() { return TcxCustomDataField::StaticClass(); }
  // Made on first use, of GetProviderClass.
  TcxCustomDataProvider* GetProvider();
  TcxCustomDataSource* GetCustomDataSource() { return GetProvider()->GetCustomDataSource(); }
  void SetCustomDataSource(TcxCustomDataSource* value) { GetProvider()->SetCustomDataSource(value); }
  TcxCustomDataField* GetRecordHandlesField() const { return FRecordHandlesField; }
  Boolean IsInSetCustomDataSource() const { return FInSetDataSource; }

  // ---- Properties ----
  TcxDataControllerOptions GetOptions() const { return FOptions; }
  void SetOptions(TcxDataControllerOptions value);
  TcxCustomDataControllerInfo* GetDataControllerInfo() const { return FInfo; }
  Boolean GetActive() const { return FActive; }
  Boolean GetJustLoaded() const { return FJustLoaded; }

  const TcxDataControllerCompareEvent& GetOnCompare() const { return FOnCompare; }
  void SetOnCompare(const TcxDataControllerCompareEvent& value);
  const TNotifyEvent& GetOnDataChanged() const { return FOnDataChanged; }
  void SetOnDataChanged(const TNotifyEvent& value) { FOnDataChanged = value; }
  const TcxDataFilterRecordEvent& GetOnFilterRecord() const { return FOnFilterRecord; }
  void SetOnFilterRecord(const TcxDataFilterRecordEvent& value);
  const TNotifyEvent& GetOnGroupingChanged() const { return FOnGroupingChanged; }
  void SetOnGroupingChanged(const TNotifyEvent& value) { FOnGroupingChanged = value; }
  const TcxDataDetailExpandedEvent& GetOnNewRecord() const { return FOnNewRecord; }
  void SetOnNewRecord(const TcxDataDetailExpandedEvent& value) { FOnNewRecord = value; }
  const TcxDataRecordChangedEvent& GetOnRecordChanged() const { return FOnRecordChanged; }
  void SetOnRecordChanged(const TcxDataRecordChangedEvent& value) { FOnRecordChanged = value; }
  const TNotifyEvent& GetOnSortingChanged() const { return FOnSortingChanged; }
  void SetOnSortingChanged(const TNotifyEvent& value) { FOnSortingChanged = value; }
  const TcxDataDetailExpandingEvent& GetOnDetailExpanding() const { return FOnDetailExpanding; }
  void SetOnDetailExpanding(const TcxDataDetailExpandingEvent& value) { FOnDetailExpanding = value; }
  const TcxDataDetailExpandedEvent& GetOnDetailExpanded() const { return FOnDetailExpanded; }
  void SetOnDetailExpanded(const TcxDataDetailExpandedEvent& value) { FOnDetailExpanded = value; }
  const TcxDataDetailExpandingEvent& GetOnDetailCollapsing() const { return FOnDetailCollapsing; }
  void SetOnDetailCollapsing(const TcxDataDetailExpandingEvent& value) { FOnDetailCollapsing = value; }
  const TcxDataDetailExpandedEvent& GetOnDetailCollapsed() const { return FOnDetailCollapsed; }
  void SetOnDetailCollapsed(const TcxDataDetailExpandedEvent& value) { FOnDetailCollapsed = value; }
  const TcxUpdateControlEvent& GetOnUpdateControl() const { return FOnUpdateControl; }
  void SetOnUpdateControl(const TcxUpdateControlEvent& value) { FOnUpdateControl = value; }

  void BeforeDestruction() override;

  // Change bits of the controller.
  static constexpr Word dccLayout = 1;
  static constexpr Word dccData = 2;
  static constexpr Word dccFocus = 4;
  static constexpr Word dccSelection = 8;
  static constexpr Word dccDetail = 16;
  static constexpr Word dccSummary = 32;
  static constexpr Word dccSearch = 64;
  static constexpr Word dccSorting = 128;
  static constexpr Word dccGrouping = 256;
  static constexpr Word dccDetailLoaded = 512;
  static constexpr Word dccBookmark = 1024;
  static constexpr Word dccUpdateRecord = 2048;

 protected:
  ~TcxCustomDataController() override;
  virtual void NotifyDataChanged();
  void ApplyChanges();
  void ResetDataChangeInfo();
  Boolean IsSingleRecordPending() const;
  // After a rebuild that moved rows: a previous selection of one row is read again, so that a
  // row that only moved is not reported as a selection change.
  void RereadPrevSelection();
  void ReadRecords();
  // The detail controllers of the records from the index on take their records' indexes.
  void ReindexDetailMasters(Integer fromRecordIndex);
  // The focused data record through the provider, the nearest record kept in step.
  void DeleteFocusedRecord();

 private:
  friend class TcxCustomDataControllerInfo;
  friend class TcxCustomDataField;
  friend class TcxCustomDataFieldList;
  friend class TcxCustomDataProvider;
  friend class TcxDataControllerNotifier;
  friend class TcxDataControllerSearch;
  friend class TcxDataControllerGroups;
  friend class TcxDataSummary;
  friend class TcxCustomDataRelationList;
  friend class TcxSaveObject;

  struct TDataChangedListener {
    TObject* Sender;
    TNotifyEvent Method;
  };

  TComponent* FOwner;
  TcxDataControllerOptions FOptions;
  TcxDataStorage* FDataStorage = nullptr;
  TcxCustomDataFieldList* FFields = nullptr;
  TcxCustomDataProvider* FProvider = nullptr;
  TcxCustomDataControllerInfo* FInfo = nullptr;
  TcxDataControllerNotifier* FNotifier = nullptr;
  TcxDataFilterCriteria* FFilter = nullptr;
  TcxDataFilterList* FFilters = nullptr;
  std::vector<TDataChangedListener> FDataChangedListeners;
  std::vector<TcxDataListenerLink*> FListenerLinks;
  TcxCustomDataField* FRecordHandlesField = nullptr;
  Integer FNewItemRecordIndex = 0;
  TcxCustomDataField* FSortingBySummaryField = nullptr;
  Boolean FSortingBySummaryChanged = false;

  // Update cycle.
  Word FChanges = 0;
  TcxDataChange FDataChangeKind = dcTotal;
  Integer FDataChangeItemIndex = -1;
  Integer FDataChangeRecordIndex = -1;
  Boolean FDataChangePending = false;
  Integer FPrevSelectedCount = 0;
  Integer FPrevSelectedRowIndex = -1;
  Boolean FStructureChanged = false;
  Boolean FDataChangedEventPending = false;
  Boolean FInNotify = false;
  Boolean FInSortingChangedEvent = false;
  Boolean FUpdateFieldsPending = false;
  Integer FDataChangedLockCount = 0;
  Integer FLocateCount = 0;
  Integer FUpdateFieldsLockCount = 0;
  Integer FSaveStateCount = 0;
  Integer FDataSetRefreshDeferCount = 0;
  TcxSaveObject* FSaveObject = nullptr;

  // Structure and loading.
  Boolean FActive = false;
  Boolean FInUpdateItems = false;
  Boolean FStructureRecreated = false;
  Boolean FDataStructureChanging = false;
  Boolean FInSetDataSource = false;
  Boolean FJustLoaded = false;
  Boolean FInLoadStorage = false;
  Boolean FDestroying = false;

  // Focus, selection and sorting state the row model reads.
  Boolean FFocusedSelected = true;
  Boolean FMultiSelect = false;
  Boolean FNewItemRowFocused = false;
  Boolean FUseNewItemRowForEditing = false;
  Boolean FNewItemRowFocusingChanged = false;
  Boolean FGroupingChanged = false;
  Boolean FSortingChanged = false;
  Boolean FFilterChanged = false;
  Boolean FFocusCheckAfterFilterRequested = false;
  Boolean FInternalFind = false;

  // Editing, bookmark and incremental filter.
  Integer FNearestRecordIndex = -1;
  Boolean FDeletingSelection = false;
  Boolean FInCancel = false;
  Integer FBookmarkRecordIndex = -1;
  TcxCustomDataField* FIncrementalFilterField = nullptr;
  AnsiString FIncrementalFilterText;
  TcxDataControllerGroups* FGroups = nullptr;
  TcxDataSummary* FSummary = nullptr;
  Boolean FAfterSummaryPending = false;
  TcxCustomDataRelationList* FRelations = nullptr;
  TcxCustomDataRelation* FMasterRelation = nullptr;
  Integer FMasterRecordIndex = -1;
  Boolean FIsPattern = false;
  Boolean FCreatingLinkObject = false;
  Boolean FInDetailExpanding = false;
  TcxDataControllerSearch* FSearch = nullptr;
  Boolean FSearching = false;
  AnsiString FSearchText;
  TcxCustomDataField* FSearchField = nullptr;
  TcxDataControllerNotifyEvent FOnAfterCancel;
  TcxDataControllerNotifyEvent FOnAfterDelete;
  TcxDataControllerNotifyEvent FOnAfterInsert;
  TcxDataControllerNotifyEvent FOnAfterPost;
  TcxDataControllerNotifyEvent FOnBeforeCancel;
  TcxDataDetailExpandedEvent FOnBeforeDelete;
  TcxDataControllerNotifyEvent FOnBeforeInsert;
  TcxDataControllerNotifyEvent FOnBeforePost;

  TcxDataControllerCompareEvent FOnCompare;
  TNotifyEvent FOnDataChanged;
  TcxDataFilterRecordEvent FOnFilterRecord;
  TNotifyEvent FOnGroupingChanged;
  TcxDataDetailExpandedEvent FOnNewRecord;
  TcxDataRecordChangedEvent FOnRecordChanged;
  TNotifyEvent FOnSortingChanged;
  TcxDataDetailExpandingEvent FOnDetailExpanding;
  TcxDataDetailExpandedEvent FOnDetailExpanded;
  TcxDataDetailExpandingEvent FOnDetailCollapsing;
  TcxDataDetailExpandedEvent FOnDetailCollapsed;
  TcxUpdateControlEvent FOnUpdateControl;
};

// The controller whose records live in its own storage (or in a custom data source attached to
// its provider). Active from construction.
class TcxDataController : public TcxCustomDataController {
  ORV_CLASS(TcxDataController, TcxCustomDataController)
 public:
  explicit TcxDataController(TComponent* owner);
};

// ==== Filter criteria bound to a controller ==================================================

// A condition of controller criteria. Its item link is the controller's field of the item; the
// item object is what the criteria's names, IDs and callers see.
class TcxDataFilterCriteriaItem : public TcxFilterCriteriaItem {
  ORV_CLASS(TcxDataFilterCriteriaItem, TcxFilterCriteriaItem)
 public:
  TcxDataFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink, TcxFilterOperatorCode operatorCode,
                            const Variant& value, const AnsiString& displayValue);

  // Null without a field, else the controller's GetFilterValue.
  void GetDataValue(Integer recordIndex, Variant& value) override;
  AnsiString GetFieldCaption() override;
  AnsiString GetFieldName() override;
  // The field's item object (nil without a field).
  TObject* GetLinkedItem() override;
  // A field is kept as it is; any other object is replaced by the controller's field of it.
  void SetLinkedItem(TObject* value) override;
  // The names the grid and the filter control use.
  TObject* GetItemLink() { return GetLinkedItem(); }
  void SetItemLink(TObject* value) { SetLinkedItem(value); }

  TcxCustomDataField* GetField();
  // The field's item index, -1 without a field.
  Integer GetItemIndex();
  TcxCustomDataController* GetDataController();
};

class TcxDataFilterValueList;
using TcxDataFilterGetValueListEvent =
    orv::Event<void(TcxFilterCriteria* sender, Integer itemIndex, TcxDataFilterValueList* valueList)>;

// Criteria whose conditions name the controller's items and test its records. A change
// refilters the rows (unless they are extra criteria made by CreateFilter); form descriptions
// store the conditions as the binary property "Criteria".
class TcxDataFilterCriteria : public TcxFilterCriteria {
  ORV_CLASS(TcxDataFilterCriteria, TcxFilterCriteria)
 public:
  using TCreateSignature = void(TcxCustomDataController* dataController);
  explicit TcxDataFilterCriteria(TcxCustomDataController* dataController);
  void BeforeDestruction() override;

  Integer GetIDByItemLink(TObject* itemLink) override;
  AnsiString GetNameByItemLink(TObject* itemLink) override;
  TObject* GetItemLinkByID(Integer id) override;
  TObject* GetItemLinkByName(const AnsiString& name) override;
  TcxFilterCriteriaItemClass GetItemClass() override;
  orv::ClassOf<TcxFilterValueList> GetValueListClass() override;
  void DoChanged() override;
  void AssignCriteria(TPersistent* source, Boolean withoutNames = false) override;
  void CopyEvents(TcxFilterCriteria* source) override;
  // An item object is first mapped to its field.
  TcxFilterCriteriaItem* FindItemForLink(TObject* itemLink) override;
  TcxFilterCriteriaItem* FindItemByItemLink(TObject* itemLink) { return FindItemForLink(itemLink); }
  void DefineProperties(TFiler* filer) override;

  // A value list of GetValueListClass for these criteria; the caller frees it.
  virtual TcxDataFilterValueList* CreateValueList();
  // Active, not empty, and the controller not in grid mode.
  virtual Boolean IsFiltering();
  // Whether the record passes the conditions.
  Boolean DoFilterRecord(Integer recordIndex) { return EvaluateRecord(recordIndex); }
  // Removes the conditions of a field (the controller calls it when the field dies).
  void RemoveItemByItemLink(TObject* field) { RemoveItemsByLink(field); }
  // Whether the criteria hold a not-blank condition on the field.
  Boolean HasNotNullCondition(TcxCustomDataField* field);

  Boolean GetActive() const { return FActive; }
  void SetActive(Boolean value);
  const TcxDataFilterGetValueListEvent& GetOnGetValueList() const { return FOnGetValueList; }
  void SetOnGetValueList(const TcxDataFilterGetValueListEvent& value) { FOnGetValueList = value; }
  TcxCustomDataController* GetDataController() const { return FDataController; }
  Boolean IsDestroying() const { return FDestroying; }
  // One of the controller's extra criteria (CreateFilter).
  Boolean IsExtraFilter() const { return FIsExtraFilter; }

 protected:
  // While the controller is loading a change only waits for its Loaded.
  Boolean FChangedWhileLoading = false;

 private:
  friend class TcxCustomDataController;
  void ReadData(TStream* stream) { ReadBinaryData(stream); }
  void WriteData(TStream* stream) { WriteToStream(stream); }

  TcxCustomDataController* FDataController;
  Boolean FActive = false;
  Boolean FDestroying = false;
  Boolean FIsExtraFilter = false;
  TcxDataFilterGetValueListEvent FOnGetValueList;
};

using TcxDataFilterCriteriaClass = orv::ClassOf<TcxDataFilterCriteria>;

// The drop-down of one item's filter: (All), (Custom...), (Blanks), (NonBlanks) and the item's
// distinct values.
class TcxDataFilterValueList : public TcxFilterValueList {
  ORV_CLASS(TcxDataFilterValueList, TcxFilterValueList)
 public:
  explicit TcxDataFilterValueList(TcxFilterCriteria* criteria) : TcxFilterValueList(criteria) {}
  // Fills the list from the controller's records (the filtered ones with filteredOnly, when at
  // least one record passes the filters); in grid mode only the special entries.
  virtual void Load(Integer itemIndex, Boolean initSorting = true, Boolean filteredOnly = false);
  TcxDataFilterCriteria* GetDataCriteria() const { return static_cast<TcxDataFilterCriteria*>(GetCriteria()); }
};

// The controller's extra criteria; freeing a criteria takes it out of the list.
class TcxDataFilterList : public TObject {
  ORV_CLASS(TcxDataFilterList, TObject)
 public:
  TcxDataFilterList() = default;
  void BeforeDestruction() override;
  void Add(TcxDataFilterCriteria* criteria) { FItems.push_back(criteria); }
  void Remove(TcxDataFilterCriteria* criteria);
  // Frees every criteria, last first.
  void Clear();
  void RemoveItemByItemLink(TObject* field);
  Integer GetCount() const { return Integer(FItems.size()); }
  TcxDataFilterCriteria* GetItem(Integer index) const { return FItems.at(std::size_t(index)); }

 private:
  std::vector<TcxDataFilterCriteria*> FItems;
};
