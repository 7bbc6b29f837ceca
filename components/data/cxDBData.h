// The dataset-bound data controller: a controller whose records come from a dataset reached
// through a data source.
//
// Each item is described by a dataset field (TcxDBDataField) that knows the name of the dataset's
// field and the TField it is bound to. The provider (TcxDBDataProvider) reads the dataset through
// its own data link (TcxDBDataLink), turns the dataset's notices into controller notices and moves
// the dataset when the controller's focus moves. A data-set change (a new filter, a refresh, the
// dataset opened) reloads every record that the dataset lets through into the controller's
// storage, between a freeze of the dataset's controls and a saved position; a scroll of the
// dataset moves the focus to the same record.
//
// The provider's current record is the record index of the dataset's current record: counted by
// the dataset's scrolls, and derived anew from the dataset's position after every reload.
//
// Every dataset provider is listed in one registry: providers over one dataset check each other's
// locks before they act, and a provider that sees a change while another one is reading the
// dataset waits for that reader's load to end and then handles the change.
#pragma once

#include <functional>
#include <vector>

#include "components/data/cxCustomData.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/FieldDirectRead.h"
#include "platform/runtime/Strings.h"

class TcxDBDataController;
class TcxDBDataProvider;

// ==== Field routines =========================================================================

// The value type that holds a field's values; TcxStringValueType without a field.
TcxValueTypeClass GetFieldValueTypeClass(TField* field);
// Whether the storage keeps each record's display text of the field; `flag` (the item is
// editable) decides for large-object and Boolean fields.
Boolean IsFieldDisplayTextStored(TField* field, Boolean flag);
// A float, BCD or FMTBCD field with its Currency flag and neither a display format nor an
// OnGetText handler.
Boolean IsCurrencyField(TField* field);
// The field can be modified and either any type is allowed, or it is no large object, or it has
// an OnSetText handler.
Boolean CanModifyField(TField* field, Boolean anyType);
// The lookup's key fields of its dataset exist (at least one) and each can be modified.
Boolean CanModifyLookupField(TField* field);
// Wraps a name that is no valid identifier in "[" and "]".
void QuoteFieldName(AnsiString& name);
// The name of the field in a dataset's filter text: empty for nil; the field's Origin unless
// ignoring it; else the quoted field name.
AnsiString GetFilterFieldName(TField* field, Boolean ignoreOrigin);
// Equal after upper-casing both.
Boolean SameFieldName(const AnsiString& name1, const AnsiString& name2);
// Whether a ";"-separated list holds more than one name.
Boolean HasSeveralFieldNames(const AnsiString& names);
Integer GetFieldNameCount(const AnsiString& names);
// The editors' name for GetFieldNameCount.
inline Integer CountFieldNames(const AnsiString& names) { return GetFieldNameCount(names); }
// Every key field exists, the key holds one value per field (a variant array 0..n-1 for several
// fields), and a Null part belongs only to a field that does not count up by itself.
Boolean IsKeyValueValid(TDataSet* dataSet, const AnsiString& keyFieldNames, const Variant& key);
// Clears the list and adds each name of the ";"-separated list, trimmed.
void SplitFieldNames(const AnsiString& names, TStrings* list);
// The field's value: Null for a null field, the wide text of a wide-string field.
Variant ReadFieldValue(TField* field);
// No field: Null; one: its value; several: a variant array 0..n-1 of their values.
Variant ReadFieldValues(TDataSet* dataSet, const std::vector<TField*>& fields);
// A date-time field given a floating-point value takes it as a date-time.
void WriteFieldValue(TField* field, const Variant& value);
// One field: the value; several: element i of the array to field i.
void WriteFieldValues(TDataSet* dataSet, const std::vector<TField*>& fields, const Variant& value);
// Whether a key value fits the dataset: every name is a field of it; an array has exactly one
// element per field, a single value needs a single name; Null only for a field that is no
// auto-increment field.
Boolean CheckKeyValues(TDataSet* dataSet, const AnsiString& names, const Variant& value);

namespace orv {
// Bytes, var bytes, blob to cursor, ADT to dataset.
Boolean IsLargeObjectFieldType(TFieldType type);
}  // namespace orv

// ==== Dataset field ==========================================================================

// The field of an item (or an internal field: keys) bound by name to a dataset field. A field
// with several names (a multi-field key) has one internal sub-field per name and no storage of
// its own. A field that shares another field's storage answers that field's TField and
// sub-fields.
class TcxDBDataField : public TcxCustomDataField {
  ORV_CLASS(TcxDBDataField, TcxCustomDataField)
 public:
  explicit TcxDBDataField(TcxCustomDataFieldList* fieldList);

  // Also takes a dataset source's TField and sub-fields, which the source loses.
  void TakeOverValueDef(TcxCustomDataField* source) override;
  // The bound TField is gone: dropped, and the controller's layout changes unless it is reading.
  void ComponentRemoved(TComponent* component) override;
  Boolean CanModify(Integer editValueSource) override;
  // Not internal, no field name, no TField, and a value definition exists.
  Boolean IsUnbound() override;
  // A storage read skips the field unless it is bound to a TField (or is unbound while the
  // controller copies values without the dataset).
  Boolean IsValueDefInternal() override;

  TField* GetField() const;
  // A field being destroyed counts as nil; a change asks the TField's free notification and
  // frees the sub-fields.
  void SetField(TField* value);
  const AnsiString& GetFieldName() const { return FFieldName; }
  Integer GetFieldCount() const;
  TcxDBDataField* GetFieldItem(Integer index) const;
  TcxDBDataField* GetParentField() const { return FParentField; }
  Boolean GetIsCurrency() const { return FIsCurrency; }
  Boolean IsLookup() const;
  // EcxInvalidDataControllerOperation "ADataField.FParentField <> nil" when the field already
  // has a parent; a field added twice is kept once.
  void AddField(TcxDBDataField* field);
  void RemoveField(TcxDBDataField* field);
  // Frees the sub-fields.
  void ClearFields();
  TcxDBDataController* DataController() const;

  void BeforeDestruction() override;

 private:
  friend class TcxDBDataController;

  TField* FField = nullptr;
  AnsiString FFieldName;
  std::vector<TcxDBDataField*> FFields;
  Boolean FIsCurrency = false;
  TcxDBDataField* FParentField = nullptr;
};

// ==== Reader =================================================================================

// Fills a storage record from the dataset's current record.
class TcxValueDefDBReader : public TcxValueDefReader {
  ORV_CLASS(TcxValueDefDBReader, TcxValueDefReader)
 public:
  TcxValueDefDBReader() = default;

  AnsiString ProvideDisplayText(TcxValueDef* def) override;
  Variant ProvideValue(TcxValueDef* def) override;
  Boolean SkipsValueDef(TcxValueDef* def) override;
  Boolean ProvidesTextValue(TcxValueDef* def) override;
  Boolean ProvidesFloatValue(TcxValueDef* def) override;
  Boolean ProvideTextValue(TcxValueDef* def, AnsiString& value) override;
  Boolean ProvideFloatValue(TcxValueDef* def, double& value) override;
  void StartRecord() override;

 private:
  // A definition's dataset field and how it is read, found on the definition's first read: a
  // reader lives for one fill of records, during which the fields stay.
  struct TFieldRead {
    TcxValueDef* Def;
    TcxDBDataField* DataField;
    TField* Field;
    Byte Kind;
    // The dataset's own reader of the field's stored value, when it offers one.
    TFieldDirectRead Direct;
  };
  // Records are filled definition by definition in the same order: the next entry is the one,
  // and after the last the first again.
  const TFieldRead& Resolve(TcxValueDef* def) {
    if (FNextRead >= FReads.size()) FNextRead = 0;
    if (FNextRead < FReads.size() && FReads[FNextRead].Def == def) return FReads[FNextRead++];
    return Find(def);
  }
  // The entry of a definition out of order, made on its first read.
  const TFieldRead& Find(TcxValueDef* def);
  std::vector<TFieldRead> FReads;
  std::size_t FNextRead = 0;
  // The record buffer the direct reads take, once per record of a fill (StartRecord): the
  // dataset's current record stays put while a record's values are read. Only direct reads of
  // the dataset that gave it use it; before the first StartRecord every read takes its own.
  TRecordBuffer DirectRecord(TField* field) {
    return field->GetDataSet() == FRecordDataSet ? FRecord : TakeRecord(field);
  }
  TRecordBuffer TakeRecord(TField* field);
  // The dataset whose record FRecord holds for the record being filled; nil for none (FRecord
  // then nil too, what a field without a dataset reads).
  TDataSet* FRecordDataSet = nullptr;
  TRecordBuffer FRecord = nullptr;
  bool FRecordPerFill = false;
};

// ==== Data link ==============================================================================

// The provider's link to its data source: a control link (the dataset's DisableControls
// silences it) that hands the dataset's notices to the provider.
class TcxDBDataLink : public TDataLink {
  ORV_CLASS(TcxDBDataLink, TDataLink)
 public:
  using TCreateSignature = void(TcxDBDataProvider* provider);
  explicit TcxDBDataLink(TcxDBDataProvider* provider);

  TcxDBDataProvider* GetProvider() const { return FProvider; }

 protected:
  void ActiveChanged() override;
  void DataEvent(TDataEvent event, NativeInt info) override;
  void DataSetChanged() override;
  void DataSetScrolled(Integer distance) override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* field) override;
  void UpdateData() override;
  void FocusControl(TField*& field) override;

 private:
  friend class TcxDBDataProvider;

  TcxDBDataProvider* FProvider;
  Boolean FLayoutChanged = false;
  Boolean FPreventLayoutChanged = false;
};

// ==== Provider ===============================================================================

class TcxDBDataProvider : public TcxCustomDataProvider {
  ORV_CLASS(TcxDBDataProvider, TcxCustomDataProvider)
 public:
  explicit TcxDBDataProvider(TcxCustomDataController* dataController);

  // State.
  Boolean IsCustomDataSourceSupported() override { return false; }
  // GridMode set, a dataset that is not unidirectional, no grouping (which needs every record)
  // and no detail template.
  Boolean IsGridMode() override;
  // Grid mode: the storage gets one empty record per row of the link's buffer.
  void LoadDataBuffer() override;
  // Grid mode: the TField's value or text at the link's buffer row.
  Variant GetExternalDataValue(Integer recordIndex, TcxCustomDataField* field) override;
  AnsiString GetExternalDataDisplayText(Integer recordIndex, TcxCustomDataField* field) override;
  // Grid mode: moves the dataset past the visible buffer by the distance.
  void Scroll(Integer distance) override;
  Boolean HasOpenDataSet() override;
  Boolean IsOtherInsert() override;
  Boolean IsSyncMode() override;
  Boolean IsActive() override;
  Boolean AreFieldsAvailable() override;
  Boolean IsBOF() override;
  Boolean IsEditing() override;
  Boolean IsEOF() override;
  Boolean IsInserting() override;
  Boolean IsModified() override;
  Boolean CanModify() override;
  Integer GetRecordIndex() override;
  TcxValueDefReader* CreateValueDefReader() override;

  // Navigation.
  void First() override;
  void Prior() override;
  void Next() override;
  void Last() override;
  void MoveBy(Integer distance) override;
  void SavePos() override;
  void RestorePos() override;
  void RecordRead(Integer recordIndex) override;

  // Locks.
  void LockLocate() override;
  void Freeze() override;
  void Unfreeze() override;

  // Editing through the dataset (in the storage when the dataset cannot be edited).
  Boolean CanInitEditing(Integer recordIndex) override;
  void Append() override;
  void Insert() override;
  void Cancel() override;
  void Delete() override;
  // Moves onto each record, last first, and deletes it from the dataset.
  void DeleteRecords(const std::vector<Integer>& recordIndexes) override;
  void Edit() override;
  // The values of the dataset's current record.
  void GetEditValue(Integer recordIndex, TcxCustomDataField* field, TcxDataEditValueSource kind, Variant& value) override;
  void Post(Boolean force) override;
  void PostEditingData() override;
  Boolean SetEditValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value,
                       TcxDataEditValueSource kind) override;
  void EndDeleting() override;
  void AssignItemValue(Integer recordIndex, TcxCustomDataField* field, const Variant& value) override;
  void AssignItemValues(Integer recordIndex, const std::vector<Variant>& groupingValues) override;

  // Notifications.
  void ActiveChanged(Boolean active) override;
  void DataScrolled(Integer distance) override;
  void LayoutChanged(Integer kind) override;

  virtual Boolean IsDataSetModified();
  virtual Boolean BookmarkValid(const TBookmarkStr& bookmark);
  // -1 while the link is inactive, else the dataset's comparison.
  virtual Integer CompareBookmarks(const TBookmarkStr& bookmark1, const TBookmarkStr& bookmark2);
  virtual void CancelDataSet();
  virtual void RecordChanged(TField* field);

  // A detail over a dataset shared with other details of the same template: whether the dataset
  // stands for this detail. Becoming current makes every other detail of the template forget its
  // focused record, since the dataset has left their records.
  Boolean IsDataSetCurrent();
  void SetDataSetCurrent(Boolean value);
  // A key-linked detail asks its dataset whether any record holds the master record's key.
  Boolean GetDetailHasChildren(Integer recordIndex, Integer relationIndex) override;

  TDataSource* GetDataSource() const { return FDataLink->GetDataSource(); }
  // The link's data source; when the link's activity stays the same, the controller updates its
  // fields.
  void SetDataSource(TDataSource* value);
  TDataSet* GetDataSet() const { return FDataLink->GetDataSet(); }
  TcxDBDataLink* GetDBDataLink() const { return FDataLink; }
  TcxDBDataController* DataController() const;
  // The dataset fields the controller itself filled in the current new record.
  const std::vector<TField*>& GetAssignedFields() const { return FAssignedFields; }
  Boolean IsInInsertNotification() const { return FInInsertNotification; }
  // The record index of the dataset's current record.
  Integer GetCurrentRecordIndex() const { return FCurrentRecordIndex; }
  Boolean GetPostLocate() const { return FPostLocate; }
  Boolean IsInFirst() const { return FInFirst; }
  Boolean IsInNotify() const { return FInNotify; }
  // The providers waiting for this one's load to end.
  Integer GetListenerCount() const { return Integer(FListeners.size()); }

  void BeforeDestruction() override;

 private:
  friend class TcxDBDataLink;
  friend class TcxDBDataController;

  // The data link's data-set change.
  void DataSetChanged();
  // The data-set change held back while the controller deferred refreshes, made now.
  void MakeHeldDataSetChange();
  // Grid mode: the buffer is sized again and reloaded when its record count changed, else its
  // values are read anew.
  void RefillGridModeBuffer();
  // Reads `read` with the link's active record on the buffer row (put back afterwards).
  template <class R>
  R ReadBufferRow(Integer recordIndex, R (*read)(TField*), TField* field, R none);
  // A detail linked to its master by key fields, outside grid mode: it reads only the records
  // that hold its master record's key.
  Boolean IsKeyLinkedDetail();
  // Positions a key-linked detail's dataset on the first record of its master's key.
  void DetailFirst();
  // A detail re-queried per master record whose dataset now holds another master's records: the
  // dataset's changes are not this detail's.
  Boolean IsDetailDataSetOfAnotherMaster();
  // The dataset's first record, or a key-linked detail's first one.
  void MoveToFirst();
  // The link's data-set change as a scroll of no distance.
  void DataSetScrolledNone() { DataScrolled(0); }
  // Providers over the same dataset in the registry (this one included when asked).
  std::vector<TcxDBDataProvider*> ProvidersOverDataSet(Boolean includeSelf) const;
  // Every provider over the dataset whose controller is no detail template hears that an edit
  // of the dataset is being given up for a locate or a read.
  void MarkPostLocate();
  void AddListener(TcxDBDataProvider* provider);
  void RemoveListener(TcxDBDataProvider* provider);
  // Lets every waiting provider handle its data-set change now.
  void NotifyListeners();
  // The dataset's Append or Insert, after an open edit was posted or given up.
  void InsertThroughDataSet(Boolean append);
  // The dataset entered insert state: the controller gets a new record in its storage.
  void MirrorInsert();
  // Reads the dataset's current record into the editing record.
  void RereadEditingRecord();
  // Smart refresh after a post: the edited record alone is read again from the dataset (or
  // dropped when the dataset no longer holds its key) instead of reloading every record.
  void RefreshUpdatedRecord();
  void ForgetUpdatingRecord();
  // Smart refresh: a new-item row's record posted to the dataset becomes a real record of the
  // storage (its values copied from the new-item record, which goes), to be read again once the
  // dataset reports the change.
  void KeepPostedNewItemRecord();
  void AddAssignedField(TField* field);

  TcxDBDataLink* FDataLink = nullptr;
  std::vector<TField*> FAssignedFields;
  Boolean FInInitEditing = false;
  Boolean FInInsertNotification = false;
  Boolean FInsertOperation = false;
  Boolean FInFirst = false;
  Boolean FInInsert = false;
  Boolean FInNotify = false;
  std::vector<TcxDBDataProvider*> FListeners;
  Boolean FPostLocate = false;
  // A whole-data change arrived while the controller deferred dataset refreshes.
  Boolean FDataSetChangeHeld = false;
  // The shared detail dataset stands for this detail.
  Boolean FDataSetCurrent = false;
  // Smart refresh: the record whose dataset edit is pending (kNoUpdatingRecord when none).
  static constexpr Integer kNoUpdatingRecord = Integer(0x80000001);
  Integer FUpdatingRecordIndex = kNoUpdatingRecord;
  Boolean FUpdatingRecordIsInserting = false;
  // Smart refresh: the record appended for a posted new-item row; -1 when none.
  Integer FUpdatingNewRecordIndex = -1;
  Integer FCurrentRecordIndex = 0;
  // Position kept by SavePos, and what the load between SavePos and RestorePos found.
  TBookmarkStr FSavedBookmark;
  Boolean FSavedBOF = false;
  Boolean FSavedEOF = false;
  Integer FSavedActiveRecord = 0;
  Boolean FPositionSaved = false;
  Boolean FLoadRan = false;
  Integer FSavedRecordIndex = -1;
  Integer FReadCount = 0;
};

// ==== Bookmark selection =====================================================================

// Dataset bookmarks, kept in dataset order.
class TcxBookmarkList : public TStringList {
  ORV_CLASS(TcxBookmarkList, TStringList)
 public:
  TcxBookmarkList() = default;
};

// The selection of a dataset-bound controller: outside grid mode its base; in grid mode the
// selected records are dataset bookmarks (the base keeps as many items as there are bookmarks),
// so a selection reaches beyond the buffer the controller holds.
class TcxDBDataSelection : public TcxDataSelection {
  ORV_CLASS(TcxDBDataSelection, TcxDataSelection)
 public:
  explicit TcxDBDataSelection(TcxCustomDataController* dataController);
  void BeforeDestruction() override;

  void ClearAnchor() override;
  void AddItem(Integer position, Integer rowIndex, Integer recordIndex, Integer level) override;
  void ClearItems() override;
  void DeleteItem(Integer index) override;
  // Grid mode: the row's bookmark in the bookmark list.
  Boolean FindByRowIndex(Integer rowIndex, Integer& index) const override;

  // Grid mode: every record of the dataset.
  void SelectAll();
  // Grid mode: the records from one bookmark to the other (either order), added to the
  // selection when keeping it, else in its place.
  void SelectRange(const TBookmarkStr& bookmark1, const TBookmarkStr& bookmark2, Boolean keepSelection);
  // Binary search by CompareBookmarks: True with the position, else False with the insert
  // position.
  Boolean FindBookmark(const TBookmarkStr& bookmark, Integer& index) const;
  TcxBookmarkList* GetBookmarks() const { return FBookmarks; }
  const TBookmarkStr& GetAnchorBookmark() const { return FAnchorBookmark; }
  void SetAnchorBookmark(const TBookmarkStr& value) { FAnchorBookmark = value; }

 private:
  TcxDBDataController* DBController() const;
  Boolean InGridMode() const;
  // The base items follow the bookmarks.
  void SyncItemCount();
  // Inserts the current record's bookmark in order unless it is there.
  void AddCurrentBookmark();

  TcxBookmarkList* FBookmarks;
  TBookmarkStr FAnchorBookmark;
  Boolean FInSelectAll = false;
};

// ==== Data mode settings =====================================================================

class TcxDBProviderDetailFilterAdapter;
class TcxDBDataModeController;
using TcxDBDataModeControllerDetailFirstEvent =
    orv::Event<void(TcxDBDataModeController* sender, TDataSet* dataSet, const AnsiString& masterDetailKeyFieldNames,
                    const Variant& masterDetailKeyValues, Boolean& reopened)>;
using TcxDBDataModeControllerDetailIsCurrentQueryEvent =
    orv::Event<Boolean(TcxDBDataModeController* sender, TDataSet* dataSet, const AnsiString& masterDetailKeyFieldNames,
                       const Variant& masterDetailKeyValues)>;

// How the controller follows its dataset.
class TcxDBDataModeController : public TPersistent {
  ORV_CLASS(TcxDBDataModeController, TPersistent)
 public:
  using TCreateSignature = void(TcxDBDataController* dataController);
  explicit TcxDBDataModeController(TcxDBDataController* dataController) : FDataController(dataController) {}

  // Every setting through its setter, and both events.
  void Assign(TPersistent* source) override;
  // Whether a detail dataset holds the records of the master key already (the event's answer;
  // False without one).
  virtual Boolean DetailIsCurrentQuery(const AnsiString& masterDetailKeyFieldNames, const Variant& masterDetailKeyValues);
  // Positions a detail dataset on its first record for the master key (the event).
  virtual void DetailFirst(const AnsiString& masterDetailKeyFieldNames, const Variant& masterDetailKeyValues,
                           Boolean& reopened);

  // The focused row follows the dataset's cursor and moves it. A change makes an active provider
  // check its focus again.
  Boolean GetSyncMode() const { return FSyncMode; }
  void SetSyncMode(Boolean value);
  Boolean GetDetailInSQLMode() const { return FDetailInSQLMode; }
  void SetDetailInSQLMode(Boolean value) { FDetailInSQLMode = value; }
  Boolean GetDetailSyncMode() const { return FDetailSyncMode; }
  void SetDetailSyncMode(Boolean value) { FDetailSyncMode = value; }
  // Load only the data link's buffer. A change that changes the controller's effective grid
  // mode rebuilds its structure.
  Boolean GetGridMode() const { return FGridMode; }
  void SetGridMode(Boolean value);
  // The buffer size (0: the controller's default); negative values become 0.
  Integer GetGridModeBufferCount() const { return FGridModeBufferCount; }
  void SetGridModeBufferCount(Integer value);
  // Refresh only the edited record after a post; a change outside grid mode makes the provider
  // check its focus again.
  Boolean GetSmartRefresh() const { return FSmartRefresh; }
  void SetSmartRefresh(Boolean value);
  // Mirror an insert of the dataset into the controller.
  Boolean GetInsertTracking() const { return FInsertTracking; }
  void SetInsertTracking(Boolean value) { FInsertTracking = value; }
  const TcxDBDataModeControllerDetailFirstEvent& GetOnDetailFirst() const { return FOnDetailFirst; }
  void SetOnDetailFirst(const TcxDBDataModeControllerDetailFirstEvent& value) { FOnDetailFirst = value; }
  const TcxDBDataModeControllerDetailIsCurrentQueryEvent& GetOnDetailIsCurrentQuery() const {
    return FOnDetailIsCurrentQuery;
  }
  void SetOnDetailIsCurrentQuery(const TcxDBDataModeControllerDetailIsCurrentQueryEvent& value) {
    FOnDetailIsCurrentQuery = value;
  }
  TcxDBDataController* GetDataController() const { return FDataController; }

 private:
  TcxDBDataController* FDataController;
  Boolean FDetailInSQLMode = false;
  Boolean FDetailSyncMode = true;
  Boolean FGridMode = false;
  Integer FGridModeBufferCount = 0;
  Boolean FSmartRefresh = false;
  Boolean FInsertTracking = true;
  Boolean FSyncMode = true;
  TcxDBDataModeControllerDetailFirstEvent FOnDetailFirst;
  TcxDBDataModeControllerDetailIsCurrentQueryEvent FOnDetailIsCurrentQuery;
};

// ==== Dataset relation =======================================================================

// A relation of a dataset-bound master whose detail template names key fields: the master keeps
// an internal field bound to the template's MasterKeyFieldNames, and each master record's values
// of it are the key its detail reads (the detail records whose DetailKeyFieldNames hold them).
class TcxDBDataRelation : public TcxCustomDataRelation {
  ORV_CLASS(TcxDBDataRelation, TcxCustomDataRelation)
 public:
  TcxDBDataRelation(TcxCustomDataRelationList* relationList, TObject* item)
      : TcxCustomDataRelation(relationList, item) {}
  void BeforeDestruction() override;

  void ForgetField(TcxCustomDataField* field) override;
  // The master key field exists and the detail template names its detail key fields.
  virtual Boolean HasKeyLink();
  // The master key field, or its sub-fields when it has several names.
  void GetMasterKeyFieldList(std::vector<TcxCustomDataField*>& list);
  // The master record's values of the master key fields (one field: its value; several: an
  // array); Null when the relation is not linked by keys. "RecordIndex out of range" for a
  // record the master does not hold.
  Variant GetMasterKeyValues(Integer recordIndex);
  // Read from the relation's detail template (of the master's own template for a master clone).
  AnsiString GetDetailKeyFieldNames();
  AnsiString GetMasterKeyFieldNames();
  // The template's key names changed: the master applies the relation again (a master clone
  // follows its own template instead).
  void KeyFieldNamesChanged();
  TcxDBDataField* GetMasterKeyField() const { return FMasterKeyField; }

 private:
  friend class TcxDBDataController;
  friend class TcxDBDataProvider;
  // The dataset-bound template controller of this relation; nil when there is none.
  TcxDBDataController* DetailTemplate();
  // Binds the master key field to the template's MasterKeyFieldNames (frees it when empty).
  void UpdateMasterKeyField();
  void FreeMasterKeyField();

  TcxDBDataField* FMasterKeyField = nullptr;
};

// ==== Controller =============================================================================

class TcxDBDataController : public TcxCustomDataController {
  ORV_CLASS(TcxDBDataController, TcxCustomDataController)
 public:
  explicit TcxDBDataController(TComponent* owner);

  // Inherited; from another dataset controller also the data mode, data source and key names.
  void Assign(TPersistent* source) override;

  // ---- Properties ----
  TDataSource* GetDataSource();
  void SetDataSource(TDataSource* value);
  const AnsiString& GetKeyFieldNames() const { return FKeyFieldNames; }
  // Rebuilds the key field: an empty text frees it.
  void SetKeyFieldNames(const AnsiString& value);
  // The detail fields (";"-separated) that hold a master record's key, and the master fields
  // that make it. A change re-links the controller's master relation.
  const AnsiString& GetDetailKeyFieldNames() const { return FDetailKeyFieldNames; }
  void SetDetailKeyFieldNames(const AnsiString& value);
  const AnsiString& GetMasterKeyFieldNames() const { return FMasterKeyFieldNames; }
  void SetMasterKeyFieldNames(const AnsiString& value);
  TcxDBDataModeController* GetDataModeController() const { return FDataModeController; }
  void SetDataModeController(TcxDBDataModeController* value) { FDataModeController->Assign(value); }

  // ---- Dataset access ----
  TDataSet* GetDataSet();
  // The dataset's RecordCount when it is active, else 0.
  Integer GetDataSetRecordCount();
  // The dataset's RecNo when it is active, else -1.
  Integer GetDataSetRecNo();
  void SetDataSetRecNo(Integer value);
  Boolean IsDataSetSequenced();
  TcxDBDataProvider* GetDBProvider() { return static_cast<TcxDBDataProvider*>(GetProvider()); }

  // ---- Items and their dataset fields ----
  // The TField bound to the item (nil when unbound); "ItemIndex out of range" for a bad index.
  // (The controller field of an item is inherited::GetItemField.)
  TField* GetItemField(Integer itemIndex);
  AnsiString GetItemFieldName(Integer itemIndex);
  // The first item whose field name equals the name, ignoring case; nil when none.
  TObject* GetItemByFieldName(const AnsiString& fieldName);
  // Binds the item to another dataset field when the name differs.
  void ChangeItemFieldName(Integer itemIndex, const AnsiString& fieldName);
  // The item's name in dataset filter texts; the one-argument form follows the bound criteria's
  // IgnoreOrigin.
  AnsiString GetItemFilterFieldName(Integer itemIndex) override;
  AnsiString GetItemFilterFieldName(Integer itemIndex, Boolean ignoreOrigin);

  // ---- Keys ----
  // The record whose key equals the value: one key field and a single value, or several key
  // fields and an array of at least as many elements; anything else gives -1.
  Integer FindRecordIndexByKey(const Variant& keyValue);
  // The lookup editors' name for FindRecordIndexByKey.
  Integer GetRecordIndexByKey(const Variant& keyValue) { return FindRecordIndexByKey(keyValue); }
  // Focuses the record of that key (-1: no focused row); whether a row was focused.
  Boolean LocateByKey(const Variant& keyValue);
  // Appends the key field, or its sub-fields when it has several names.
  void GetKeyFieldList(std::vector<TcxCustomDataField*>& list) override;
  // The record's key values (one field: its value; several: an array), Null without keys.
  Variant GetRecordID(Integer recordIndex) override;
  TcxDBDataField* GetKeyField() const { return FKeyField; }

  // ---- Master-detail ----
  // DetailKeyFieldNames when MasterKeyFieldNames is set, else empty.
  AnsiString GetMasterDetailKeyFieldNames();
  // The dataset's fields of those names, found on first use.
  const std::vector<TField*>& GetMasterDetailKeyFields();
  // A detail clone's master record key (unassigned until it has a master record).
  const Variant& GetMasterDetailKeyValues() const { return FMasterDetailKeyValues; }
  // A detail clone takes its master record's key values.
  void SetMasterRelation(TcxCustomDataRelation* relation, Integer masterRecordIndex) override;
  // The master key fields of the dataset relations follow their templates' MasterKeyFieldNames.
  void RelationChanged(TcxCustomDataRelation* relation) override;
  TcxCustomDataRelationClass GetRelationClass() override { return TcxDBDataRelation::StaticClass(); }
  // A focused record makes the shared detail dataset current for this controller.
  void FocusedRecordChanged(Integer prevFocusedRecordIndex, Integer focusedRecordIndex) override;
  // A detail's focus moves only when its master's may; the master's and then this controller's
  // pending edits are posted first (False when either controller went meanwhile).
  Boolean CanChangeFocusedRow() override;
  // Grid mode: a record's details expand only while it is the focused (current) record.
  Boolean CanChangeDetailExpanding(Integer recordIndex, Boolean expanded) override;
  // A detail in detail sync mode re-queried per master record: the dataset is queried again for
  // this detail's master key unless it already is.
  void CheckDetailDataSetCurrent() override;
  void RemoveNotification(TComponent* component) override;
  // The shared detail dataset became current, or stopped being current, for this controller.
  virtual void DataSetCurrentChanged(Boolean current) {}
  Boolean IsInResetDataSetCurrent() const { return FInResetDataSetCurrent; }

  // ---- Overrides ----
  TcxCustomDataProviderClass GetProviderClass() override { return TcxDBDataProvider::StaticClass(); }
  TcxCustomDataFieldClass GetFieldClass() override { return TcxDBDataField::StaticClass(); }
  TcxDataFilterCriteriaClass GetFilterCriteriaClass() override;
  TcxDataSummaryItemClass GetSummaryItemClass() override;
  Boolean IsProviderField(TcxCustomDataField* field) override;
  Boolean HasRecordKeys() override;
  Boolean NeedsStructureUpdate() override { return true; }
  Boolean IsDataStructureChanging() override;
  void LoadData() override;
  void NotifyDataLoaded() override;
  void DeferredDataSetRefresh() override;
  void UpdateField(TcxCustomDataField* field) override;
  void UpdateFields() override;
  void RebuildStructure() override;
  void ActiveChanged(Boolean active) override;
  void CheckFocusedRow() override;
  Boolean CanFocusRecord(Integer recordIndex) override;
  void CheckBrowseMode() override;
  void RefreshExternalData() override;
  void BeginInternalRecordRead() override { FInUnboundCopy = true; }
  void EndInternalRecordRead() override { FInUnboundCopy = false; }
  void Loaded() override;
  void SetItemValueTypeClass(Integer itemIndex, TcxValueTypeClass valueTypeClass) override;
  Boolean IsItemDisplayTextStored(Integer itemIndex, Boolean flag) override;
  Variant GetGroupingValue(Integer recordIndex, TcxCustomDataField* field) override;

  // ---- Grid mode ----
  // The incremental search through the dataset: from the current record wrapping once, or from
  // the next one without wrapping.
  Boolean SearchInGridMode(const AnsiString& text, Boolean forward, Boolean fromNext) override;
  // The link's active buffer row in grid mode.
  Integer GetEffectiveFocusedRecordIndex() override;
  // Also while the dataset inserts, in grid mode.
  Boolean IsDataChangeLocked() override;
  // The row's bookmark in grid mode.
  Variant GetRowID(Integer rowIndex) override;
  // Grid mode: every record of the dataset from its first, or the focused row.
  void ForEachRow(Boolean selectedRowsOnly, const TcxDataControllerEachRowProc& proc, Pointer data) override;
  // Grid mode keeps the bookmark as the dataset's bookmark.
  Boolean SetBookmark() override;
  void ClearBookmark() override;
  void GotoBookmark() override;
  Boolean HasBookmark() override;
  Boolean IsBookmarkRow(Integer rowIndex) override;
  Boolean IsBookmarkAffected(Integer recordIndex) override;
  // Grid mode: the bookmark selection.
  TcxDataSelectionClass GetSelectionClass() override { return TcxDBDataSelection::StaticClass(); }
  Integer GetSelectedRowIndex(Integer index) override;
  Integer GetSelectionAnchorRowIndex() override;
  Boolean IsSelectionAnchorSet() override;
  void SelectAll() override;
  void SelectFromAnchor(Integer rowIndex, Boolean keepSelection) override;
  void SetSelectionAnchor(Integer rowIndex) override;
  Boolean FocusSelectedRow(Integer selectedIndex) override;
  // The selected bookmark (single selection: the focused row's); "DataController not in
  // GridMode" outside grid mode.
  TBookmarkStr GetSelectedBookmark(Integer index);
  // The dataset's bookmark of a buffer row (empty outside grid mode).
  TBookmarkStr GetRowBookmark(Integer rowIndex);

  // ---- Grid-mode settings ----
  // The buffer size when the settings name none; the grid's view answers the rows it shows.
  virtual Integer GetDefaultGridModeBufferCount() { return 100; }
  // The settings' buffer size, else the default.
  Integer GetGridModeBufferCount();
  // The editors' lock of grid-mode notifications.
  void LockGridModeNotify() { ++FGridModeNotifyLockCount; }
  void UnlockGridModeNotify() { --FGridModeNotifyLockCount; }
  Boolean IsGridModeNotifyLocked() const { return FGridModeNotifyLockCount > 0; }
  // The detail filter adapter of the dataset's class; "DetailFilterController not found" when
  // none fits.
  TcxDBProviderDetailFilterAdapter* GetDetailFilterAdapter();
  // Applies a new buffer size in grid mode: the buffer is refilled.
  void UpdateGridModeBufferCount();
  // Records have keys, grid mode is off and the settings ask for it.
  Boolean IsSmartRefresh() override;

  // ---- Hooks ----
  virtual void DataSourceChanged() {}
  // The dataset's position changed in grid mode over a sequenced dataset.
  virtual void GridModePositionChanged() {}
  // The controller filled a new record's values (grouping values) before the user's.
  virtual void NewRecordValuesAssigned(Integer recordIndex) {}
  // The first stored record whose key fields equal the dataset's current key values; -1 when
  // none or without keys.
  virtual Integer LocateRecordByCurrentKey();
  // Moves the dataset onto the record; False for a negative record.
  virtual Boolean MoveDataSetToRecord(Integer recordIndex);

  Boolean IsInUnboundCopy() const { return FInUnboundCopy; }
  Boolean IsInCheckBrowseMode() const { return FInCheckBrowseMode; }

  void BeforeDestruction() override;

 protected:
  // Binds a field to a name: sharers of its old storage are re-pointed; several names give one
  // internal sub-field per name; a name another field has already shares that field's storage.
  void ChangeFieldName(TcxDBDataField* field, const AnsiString& fieldName);
  // Takes the value type, text-stored and currency flags from the bound TField.
  void SetupField(TcxDBDataField* field, Boolean force);

 private:
  friend class TcxDBDataField;
  friend class TcxDBDataProvider;
  friend class TcxDBDataRelation;
  friend class TcxDBDataSummaryItem;

  void ItemValueTypeChangedWithSharers(TcxDBDataField* field);
  // SQL mode: re-queries the dataset for this detail's master key when its query holds another.
  void CheckCurrentQuery();
  // A detail template following its dataset: the records its dataset stands on belong to the
  // detail of one master record; the master's dataset is moved there (up the chain) and the
  // record's detail expanded.
  void LocateDetailForDataSetPosition();
  // That detail (this controller itself when it has no master or no key link); nil when none.
  TcxCustomDataController* FindDetailForDataSetPosition();
  // The key names changed: the master relation re-links and the key fields are found again.
  void MasterDetailKeyFieldNamesChanged();
  void ForgetMasterDetailKeyFields();
  // The dataset walk of SearchInGridMode, inside the search object's lock.
  Boolean SearchDataSet(TDataSet* dataSet, const std::function<Boolean()>& matches, Boolean forward, Boolean fromNext);
  Variant GetDataSetKeyValues();

  TcxDBDataModeController* FDataModeController = nullptr;
  // Its free notifications reach RemoveNotification when a bound TField goes.
  TcxDataControllerNotifier* FFieldNotifier = nullptr;
  TcxDBDataField* FKeyField = nullptr;
  AnsiString FKeyFieldNames;
  AnsiString FDetailKeyFieldNames;
  AnsiString FMasterKeyFieldNames;
  Variant FMasterDetailKeyValues;
  std::vector<TField*> FMasterDetailKeyFields;
  Boolean FMasterDetailKeyFieldsFound = false;
  Boolean FInResetDataSetCurrent = false;
  Boolean FInCheckCurrentQuery = false;
  // The dataset is being moved to the master record of a detail's position.
  Boolean FInUpdateDataSetPos = false;
  // A template: the dataset's record when it last looked.
  TBookmarkStr FFollowedPosition;
  Boolean FInCheckBrowseMode = false;
  Boolean FInUnboundCopy = false;
  Integer FGridModeNotifyLockCount = 0;
  TBookmarkStr FBookmark;
  Boolean FLoaded = false;
  Boolean FResetDataSetFields = false;
};

// ==== Dataset filter criteria ================================================================

// The blank tests as SQL datasets write them.
class TcxFilterSQLNullOperator : public TcxFilterNullOperator {
  ORV_CLASS(TcxFilterSQLNullOperator, TcxFilterNullOperator)
 public:
  explicit TcxFilterSQLNullOperator(TcxFilterCriteriaItem* criteriaItem) : TcxFilterNullOperator(criteriaItem) {}
  AnsiString GetSymbol() override { return "IS"; }
};

class TcxFilterSQLNotNullOperator : public TcxFilterNotNullOperator {
  ORV_CLASS(TcxFilterSQLNotNullOperator, TcxFilterNotNullOperator)
 public:
  explicit TcxFilterSQLNotNullOperator(TcxFilterCriteriaItem* criteriaItem) : TcxFilterNotNullOperator(criteriaItem) {}
  AnsiString GetSymbol() override { return "IS NOT"; }
};

// An adapter serves one dataset class and its descendants.
class TcxDBAdapterItem : public TObject {
  ORV_CLASS(TcxDBAdapterItem, TObject)
 public:
  using TCreateSignature = void(TClass dataSetClass);
  explicit TcxDBAdapterItem(TClass dataSetClass) : FDataSetClass(dataSetClass) {}
  TClass GetDataSetClass() const { return FDataSetClass; }

 private:
  TClass FDataSetClass;
};

using TcxDBAdapterItemClass = orv::ClassOf<TcxDBAdapterItem>;

// Owned adapters, an ancestor dataset class before its descendants, so that the last match is
// the most derived one.
class TcxDBAdapterList : public TObject {
  ORV_CLASS(TcxDBAdapterList, TObject)
 public:
  TcxDBAdapterList() = default;
  void BeforeDestruction() override;
  // Scans from the last adapter to the first: the first whose class is the dataset class or an
  // ancestor of it is found; an adapter of a descendant class passed on the way notes its
  // position as the place to insert.
  virtual Boolean FindAdapter(TClass dataSetClass, Integer& index);
  virtual void RegisterAdapter(TClass dataSetClass, TcxDBAdapterItemClass adapterClass);
  // Frees every adapter of exactly that dataset class and adapter class.
  virtual void UnregisterAdapter(TClass dataSetClass, TcxDBAdapterItemClass adapterClass);
  // The adapter for the dataset class; nullptr when none.
  TcxDBAdapterItem* FindAdapterFor(TClass dataSetClass);
  Integer GetCount() const { return Integer(FItems.size()); }
  TcxDBAdapterItem* GetItem(Integer index) const { return FItems.at(std::size_t(index)); }

 private:
  std::vector<TcxDBAdapterItem*> FItems;
};

class TcxDBFilterOperatorAdapter : public TcxDBAdapterItem {
  ORV_CLASS(TcxDBFilterOperatorAdapter, TcxDBAdapterItem)
 public:
  explicit TcxDBFilterOperatorAdapter(TClass dataSetClass) : TcxDBAdapterItem(dataSetClass) {}
  // The blank tests become their SQL forms on a dataset whose class name holds "QUERY" in any
  // case.
  virtual void PrepareOperatorClass(TObject* item, TDataSet* dataSet, TcxFilterOperatorClass& operatorClass);
};

// The filter operator adapters by dataset class (TcxDBFilterOperatorAdapter for TDataSet).
TcxDBAdapterList* cxDBFilterOperatorAdapters();

// Positions a detail dataset on a master key: by locating in one dataset, or by re-querying a
// dataset whose published Params hold the key's parameter.
class TcxDBProviderDetailFilterAdapter : public TcxDBAdapterItem {
  ORV_CLASS(TcxDBProviderDetailFilterAdapter, TcxDBAdapterItem)
 public:
  explicit TcxDBProviderDetailFilterAdapter(TClass dataSetClass) : TcxDBAdapterItem(dataSetClass) {}
  // The parameter already holds the value (False for a dataset without Params).
  virtual Boolean IsCurrentQuery(TDataSet* dataSet, const AnsiString& paramName, const Variant& value);
  // The dataset's first record when the parameter holds the value; otherwise it is opened again
  // with the value, and `reopened` is set.
  virtual void ReopenSQL(TDataSet* dataSet, const AnsiString& paramName, const Variant& value, Boolean& reopened);
  virtual void SelectDetail(TDataSet* dataSet, const AnsiString& names, const Variant& values, Boolean sqlMode,
                            Boolean& reopened);
};

// The detail filter adapters by dataset class (TcxDBProviderDetailFilterAdapter for TDataSet).
TcxDBAdapterList* cxDetailFilterControllers();

class TcxDBDataFilterCriteria;

class TcxDBDataFilterCriteriaItem : public TcxDataFilterCriteriaItem {
  ORV_CLASS(TcxDBDataFilterCriteriaItem, TcxDataFilterCriteriaItem)
 public:
  TcxDBDataFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                              TcxFilterOperatorCode operatorCode, const Variant& value,
                              const AnsiString& displayValue)
      : TcxDataFilterCriteriaItem(parent, itemLink, operatorCode, value, displayValue) {}
  // The inherited class as the adapter of the controller's dataset adjusts it.
  TcxFilterOperatorClass GetOperatorClass() override;
};

using TcxDBDataFilterBeforeChangeEvent =
    orv::Event<void(TcxDBDataFilterCriteria* sender, TDataSet* dataSet, const AnsiString& filterText)>;
using TcxDBDataFilterFormatFilterTextValueEvent =
    orv::Event<void(TcxDBDataFilterCriteria* sender, const Variant& value, AnsiString& displayValue)>;

// Criteria of a dataset-bound controller: they filter its rows, or with AutoDataSetFilter hand
// their filter text to the dataset itself.
class TcxDBDataFilterCriteria : public TcxDataFilterCriteria {
  ORV_CLASS(TcxDBDataFilterCriteria, TcxDataFilterCriteria)
 public:
  explicit TcxDBDataFilterCriteria(TcxCustomDataController* dataController);

  void DoFormatFilterTextValue(TcxFilterCriteriaItem* item, const Variant& value, AnsiString& text) override;
  TcxFilterCriteriaItemClass GetItemClass() override;
  void DoChanged() override;
  void AssignCriteria(TPersistent* source, Boolean withoutNames = false) override;
  void CopyEvents(TcxFilterCriteria* source) override;
  void RestoreDefaults() override;
  // The controller filters its rows itself: inherited, no OnBeforeChange handler and the
  // dataset filter not in use.
  Boolean IsFiltering() override;
  // AutoDataSetFilter and no smart refresh.
  Boolean IsDataSetFilterInUse();

  Boolean GetAutoDataSetFilter() const { return FAutoDataSetFilter; }
  void SetAutoDataSetFilter(Boolean value);
  Boolean GetIgnoreOrigin() const { return FIgnoreOrigin; }
  void SetIgnoreOrigin(Boolean value);
  const TcxDBDataFilterBeforeChangeEvent& GetOnBeforeChange() const { return FOnBeforeChange; }
  void SetOnBeforeChange(const TcxDBDataFilterBeforeChangeEvent& value) { FOnBeforeChange = value; }
  const TcxDBDataFilterFormatFilterTextValueEvent& GetOnFormatFilterTextValue() const {
    return FOnFormatFilterTextValue;
  }
  void SetOnFormatFilterTextValue(const TcxDBDataFilterFormatFilterTextValueEvent& value) {
    FOnFormatFilterTextValue = value;
  }
  TcxDBDataController* GetDBDataController() const;

 private:
  Boolean FAutoDataSetFilter = false;
  Boolean FIgnoreOrigin = true;
  TcxDBDataFilterBeforeChangeEvent FOnBeforeChange;
  TcxDBDataFilterFormatFilterTextValueEvent FOnFormatFilterTextValue;
};

// ==== Dataset summary item ===================================================================

// A summary item that summarizes a dataset field by name, whether or not an item shows it: the
// controller keeps an internal field bound to the name.
class TcxDBDataSummaryItem : public TcxDataSummaryItem {
  ORV_CLASS(TcxDBDataSummaryItem, TcxDataSummaryItem)
 public:
  explicit TcxDBDataSummaryItem(TCollection* collection) : TcxDataSummaryItem(collection) {}
  void BeforeDestruction() override;

  // Also FieldName, from another dataset summary item.
  void Assign(TPersistent* source) override;
  // A data field bound to a TField answers its currency flag.
  Boolean IsCurrency(TVarType varType) override;
  // The field bound to FieldName when there is one, else the item's field.
  TcxCustomDataField* GetDataField() override;

  const AnsiString& GetFieldName() const { return FFieldName; }
  // An empty name frees the data field; otherwise it is made on first use and bound to the
  // name(s).
  void SetFieldName(const AnsiString& value);
  TcxDBDataField* GetDBDataField() const { return FDataField; }

 private:
  TcxDBDataField* FDataField = nullptr;
  AnsiString FFieldName;
};
