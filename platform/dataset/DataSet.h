// TDataSet: the buffered, navigable record source that tables and in-memory datasets extend.
//
// A descendant supplies a cursor through the virtual protocol below (open and close, record
// buffers, GetRecord current/next/prior, bookmarks, positioning, posting, field data). The base
// class keeps a ring of record buffers around the active record, as large as the largest
// BufferCount of the data links that show it (at least one), and turns navigation and editing
// into cursor calls plus notifications to its data sources.
//
// The ring. FBuffers holds FBufferCount + 1 buffers: the first FRecordCount are consecutive
// records of the cursor, FActiveRecord is the current record among them, and the last one is
// spare: GetRecord fetches into it, and a full ring then rotates its pointers (no copying, no
// allocation). FCurrentRecord names the buffer on which the descendant's cursor stands (-1 when
// unknown); SetCurrentRecord moves the cursor there through InternalSetToRecord (or
// InternalFirst/InternalLast for a buffer flagged BOF/EOF).
//
// Scroll notices carry the window's shift: deDataSetScroll with info S means the records of the
// ring moved S places towards the front (S < 0: towards the back). Data links turn it into the
// distance their own rows moved (see TDataLink).
#pragma once

#include <vector>

#include "platform/dataset/FieldDefs.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Sets.h"
#include "platform/runtime/SysUtils.h"
#include "platform/runtime/Variants.h"

class TDataSource;
class TDataLink;
class TStream;

enum TDataSetState {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
  dsCurValue,
  dsBlockRead,
  dsInternalCalc,
  dsOpening,
};

enum TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  dePropertyChange,
  deFieldListChange,
  deFocusControl,
  deParentScroll,
  deConnectChange,
  deReconcileError,
  // A state change while the dataset's controls are disabled; info 1 when the dataset is
  // active afterwards, 0 when it is inactive.
  deDisabledStateChange,
};

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };

enum TResyncModeItem { rmExact, rmCenter };
using TResyncMode = orv::Set<TResyncModeItem>;
enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = orv::Set<TLocateOption>;
enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = orv::Set<TFilterOption>;

// One record buffer of the ring; its layout is the descendant's.
using TRecordBuffer = Byte*;
// Bookmark data: BookmarkSize bytes.
using TBookmark = const Byte*;
// A bookmark held as a string of BookmarkSize bytes; empty for none.
using TBookmarkStr = AnsiString;

using TDataSetNotifyEvent = orv::Event<void(TDataSet* dataSet)>;
using TFilterRecordEvent = orv::Event<void(TDataSet* dataSet, bool& accept)>;

// Raised when a dataset cannot create its cursor.
ORV_DECLARE_EXCEPTION(ENoResultSet, EDatabaseError);

// Raises EDatabaseError with `message`, prefixed with "<component name>: " when a named
// component is given.
[[noreturn]] void DatabaseError(const AnsiString& message, TComponent* component = nullptr);
// The same with each "%s" of `format` replaced by the next argument.
[[noreturn]] void DatabaseErrorFmt(const AnsiString& format, std::initializer_list<TVarRec> args,
                                   TComponent* component = nullptr);

class TDataSet : public TComponent {
  ORV_CLASS(TDataSet, TComponent)
 public:
  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;
  void BeforeDestruction() override;

  // ---- opening ----
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  bool GetActive() const { return FState != dsInactive && FState != dsOpening; }
  void SetActive(bool value);
  TDataSetState GetState() const { return FState; }

  // ---- structure ----
  TFieldDefs& GetFieldDefs() { return FFieldDefs; }
  TFields& GetFields() { return FFields; }
  const TFields& GetFields() const { return FFields; }
  Integer GetFieldCount() const { return FFields.GetCount(); }
  // Case-insensitive; FieldByName raises "Field '...' not found".
  TField* FindField(const AnsiString& fieldName) const { return FFields.FindField(fieldName); }
  TField* FieldByName(const AnsiString& fieldName) const;
  TField* FieldByNumber(Integer fieldNo) const { return FFields.FieldByNumber(fieldNo); }
  // The fields of a ";"-separated name list, in order; an unknown name raises "not found".
  void GetFieldList(std::vector<TField*>& list, const AnsiString& fieldNames) const;
  // The values of a ";"-separated field list: one name gives the value, several a variant
  // array (0..n-1).
  Variant GetFieldValues(const AnsiString& fieldNames) const;
  void SetFieldValues(const AnsiString& fieldNames, const Variant& value);
  // Whether the fields were created from the field definitions when the dataset opened.
  bool GetDefaultFields() const { return FDefaultFields; }
  // Offsets of the calculated-field slots are assigned by BindFields; this is their total size.
  Integer GetCalcFieldsSize() const { return FCalcFieldsSize; }
  bool GetAutoCalcFields() const { return FAutoCalcFields; }
  void SetAutoCalcFields(bool value) { FAutoCalcFields = value; }

  // ---- navigation ----
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves by `distance` records; returns how many records it actually moved (signed).
  Integer MoveBy(Integer distance);
  bool GetBOF() const { return FBOF; }
  bool GetEOF() const { return FEOF; }
  bool IsEmpty() const { return FActiveRecord >= FRecordCount; }
  // The number of the current record (1-based) and the number of records, as the descendant
  // counts them; -1 when it cannot tell.
  virtual Integer GetRecNo() const { return -1; }
  virtual void SetRecNo(Integer value) {}
  virtual Integer GetRecordCount() const { return -1; }
  // Whether RecNo gives the true position of the record.
  virtual bool IsSequenced() const { return true; }
  // A forward-only cursor (none of ours is one).
  virtual bool IsUnidirectional() const { return false; }
  // Re-reads the current record and its neighbours from the cursor.
  void Refresh();

  // ---- editing ----
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // Posts a modified record, cancels an unmodified one; raises when the dataset is closed.
  void CheckBrowseMode();
  // Asks the data links to write their pending edits into the record.
  void UpdateRecord();
  bool GetModified() const { return FModified; }
  virtual bool GetCanModify() const { return true; }
  void ClearFields();

  // ---- bookmarks ----
  TBookmarkStr GetBookmarkStr() const;
  // Makes the bookmarked record current (BeforeScroll, re-read centred, AfterScroll).
  void SetBookmarkStr(const TBookmarkStr& value);
  // The `Bookmark` property under its plain accessor names.
  TBookmarkStr GetBookmark() const { return GetBookmarkStr(); }
  void SetBookmark(const TBookmarkStr& value) { SetBookmarkStr(value); }
  void GotoBookmark(const TBookmarkStr& bookmark) { SetBookmarkStr(bookmark); }
  // An empty bookmark is invalid, and so is any while the dataset is closed; others ask the
  // descendant. (A descendant that overrides the TBookmark forms below keeps these reachable
  // with `using TDataSet::BookmarkValid; using TDataSet::CompareBookmarks;`.)
  bool BookmarkValid(const TBookmarkStr& bookmark);
  // Absent bookmarks: both 0; only the first -1; only the second 1. Others ask the descendant.
  Integer CompareBookmarks(const TBookmarkStr& bookmark1, const TBookmarkStr& bookmark2);
  Integer GetBookmarkSize() const { return FBookmarkSize; }

  // ---- filtering and searching ----
  const AnsiString& GetFilter() const { return FFilterText; }
  void SetFilter(const AnsiString& value) { SetFilterText(value); }
  bool GetFiltered() const { return FFiltered; }
  virtual void SetFiltered(bool value);
  TFilterOptions GetFilterOptions() const { return FFilterOptions; }
  virtual void SetFilterOptions(TFilterOptions value);
  virtual void SetFilterText(const AnsiString& value);
  TFilterRecordEvent GetOnFilterRecord() const { return FOnFilterRecord; }
  virtual void SetOnFilterRecord(TFilterRecordEvent value);

  // Finds the first record whose fields (";"-separated names) hold the values (one value, or
  // a variant array with one element per field) and makes it current. The base scans the
  // dataset; descendants may search their own way.
  virtual bool Locate(const AnsiString& keyFields, const Variant& keyValues,
                      TLocateOptions options);
  // The values of `resultFields` in the first record that matches; Null when none does. The
  // base leaves the current record where it was.
  virtual Variant Lookup(const AnsiString& keyFields, const Variant& keyValues,
                         const AnsiString& resultFields);
  bool FindFirst() { return FindRecord(true, true); }
  bool FindLast() { return FindRecord(true, false); }
  bool FindNext() { return FindRecord(false, true); }
  bool FindPrior() { return FindRecord(false, false); }
  // Moves to the next (or prior) record that the filter accepts; the base finds nothing.
  virtual bool FindRecord(bool restart, bool goForward) { return false; }
  bool GetFound() const { return FFound; }

  // ---- data sources and controls ----
  // While disabled, data links hear nothing; when the count returns to 0 they get one state
  // notice if the state changed and one data-set change (layout change when the layout
  // changed) if anything happened meanwhile.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount != 0; }
  // Whether `dataSource` is one of this dataset's sources (a link to it would be circular).
  bool IsLinkedTo(TDataSource* dataSource) const;
  Integer GetDataSourceCount() const { return static_cast<Integer>(FDataSources.size()); }

  // Handles an event and notifies the data sources (see DisableControls).
  void DataEvent(TDataEvent event, NativeInt info);

  // ---- record and field access for descendants and fields ----
  virtual bool GetFieldData(TField* field, void* buffer);
  // A text field's value as GetFieldData gives it (up to its first zero byte), straight into
  // `value`; false and empty when null. A dataset that knows its texts' lengths overrides it.
  virtual bool GetFieldText(TField* field, AnsiString& value);
  virtual void SetFieldData(TField* field, const void* buffer);
  // A stream over a blob field of the current record; the caller frees it.
  virtual TStream* CreateBlobStream(TField* field, TBlobStreamMode mode);
  // The whole content of blob field `fieldNo` of the current record; returns its length.
  virtual Integer GetBlobFieldData(Integer fieldNo, std::vector<Byte>& buffer);
  virtual void CloseBlob(TField* field) {}
  // Copies the current record into `buffer`; false when there is none.
  virtual bool GetCurrentRecord(TRecordBuffer buffer) { return false; }
  virtual bool GetIsIndexField(TField* field) const { return false; }

  TRecordBuffer ActiveBuffer() const { return FBuffers.empty() ? nullptr : FBuffers[FActiveRecord]; }
  // The record buffer that field reads of the current state use: the active buffer in browse
  // (none when empty), edit and insert; the calculation buffer in the calculated-field states;
  // the temporary buffer in the filter state.
  TRecordBuffer GetActiveRecordBuffer() const;

  // Makes the descendant's cursor stand on the active record.
  void UpdateCursorPos();
  // Forgets which buffer the cursor stands on (after the cursor moved on its own).
  void CursorPosChanged() { FCurrentRecord = -1; }
  // Rebuilds the ring around the cursor's record (rmExact: it must still exist; rmCenter: put
  // it in the middle of the ring) and sends a data-set change.
  virtual void Resync(TResyncMode mode);

  // ---- events ----
  TDataSetNotifyEvent GetBeforeOpen() const { return FBeforeOpen; }
  void SetBeforeOpen(TDataSetNotifyEvent value) { FBeforeOpen = value; }
  TDataSetNotifyEvent GetAfterOpen() const { return FAfterOpen; }
  void SetAfterOpen(TDataSetNotifyEvent value) { FAfterOpen = value; }
  TDataSetNotifyEvent GetBeforeClose() const { return FBeforeClose; }
  void SetBeforeClose(TDataSetNotifyEvent value) { FBeforeClose = value; }
  TDataSetNotifyEvent GetAfterClose() const { return FAfterClose; }
  void SetAfterClose(TDataSetNotifyEvent value) { FAfterClose = value; }
  TDataSetNotifyEvent GetBeforeInsert() const { return FBeforeInsert; }
  void SetBeforeInsert(TDataSetNotifyEvent value) { FBeforeInsert = value; }
  TDataSetNotifyEvent GetAfterInsert() const { return FAfterInsert; }
  void SetAfterInsert(TDataSetNotifyEvent value) { FAfterInsert = value; }
  TDataSetNotifyEvent GetBeforeEdit() const { return FBeforeEdit; }
  void SetBeforeEdit(TDataSetNotifyEvent value) { FBeforeEdit = value; }
  TDataSetNotifyEvent GetAfterEdit() const { return FAfterEdit; }
  void SetAfterEdit(TDataSetNotifyEvent value) { FAfterEdit = value; }
  TDataSetNotifyEvent GetBeforePost() const { return FBeforePost; }
  void SetBeforePost(TDataSetNotifyEvent value) { FBeforePost = value; }
  TDataSetNotifyEvent GetAfterPost() const { return FAfterPost; }
  void SetAfterPost(TDataSetNotifyEvent value) { FAfterPost = value; }
  TDataSetNotifyEvent GetBeforeCancel() const { return FBeforeCancel; }
  void SetBeforeCancel(TDataSetNotifyEvent value) { FBeforeCancel = value; }
  TDataSetNotifyEvent GetAfterCancel() const { return FAfterCancel; }
  void SetAfterCancel(TDataSetNotifyEvent value) { FAfterCancel = value; }
  TDataSetNotifyEvent GetBeforeDelete() const { return FBeforeDelete; }
  void SetBeforeDelete(TDataSetNotifyEvent value) { FBeforeDelete = value; }
  TDataSetNotifyEvent GetAfterDelete() const { return FAfterDelete; }
  void SetAfterDelete(TDataSetNotifyEvent value) { FAfterDelete = value; }
  TDataSetNotifyEvent GetBeforeScroll() const { return FBeforeScroll; }
  void SetBeforeScroll(TDataSetNotifyEvent value) { FBeforeScroll = value; }
  TDataSetNotifyEvent GetAfterScroll() const { return FAfterScroll; }
  void SetAfterScroll(TDataSetNotifyEvent value) { FAfterScroll = value; }
  TDataSetNotifyEvent GetBeforeRefresh() const { return FBeforeRefresh; }
  void SetBeforeRefresh(TDataSetNotifyEvent value) { FBeforeRefresh = value; }
  TDataSetNotifyEvent GetAfterRefresh() const { return FAfterRefresh; }
  void SetAfterRefresh(TDataSetNotifyEvent value) { FAfterRefresh = value; }
  TDataSetNotifyEvent GetOnCalcFields() const { return FOnCalcFields; }
  void SetOnCalcFields(TDataSetNotifyEvent value) { FOnCalcFields = value; }
  TDataSetNotifyEvent GetOnNewRecord() const { return FOnNewRecord; }
  void SetOnNewRecord(TDataSetNotifyEvent value) { FOnNewRecord = value; }

 protected:
  // ---- the cursor protocol (override in descendants) ----
  virtual TRecordBuffer AllocRecordBuffer() = 0;
  virtual void FreeRecordBuffer(TRecordBuffer& buffer) = 0;
  // Fetches the current, next or prior record of the cursor into `buffer` and moves the cursor
  // there. grBOF/grEOF when there is none; grError (or an exception when `doCheck`) on failure.
  virtual TGetResult GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) = 0;
  virtual Integer GetRecordSize() const { return 0; }
  virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) { return bfCurrent; }
  virtual void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) {}
  virtual void GetBookmarkData(TRecordBuffer buffer, void* data) {}
  virtual void SetBookmarkData(TRecordBuffer buffer, const void* data) {}
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  virtual void InternalInitFieldDefs() = 0;
  virtual void InternalHandleException();
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  virtual void InternalGotoBookmark(TBookmark bookmark) {}
  // Moves the cursor onto the record held by `buffer`.
  virtual void InternalSetToRecord(TRecordBuffer buffer) {}
  virtual void InternalInitRecord(TRecordBuffer buffer) {}
  virtual void InternalAddRecord(const void* buffer, bool append) {}
  virtual void InternalEdit() {}
  virtual void InternalInsert() {}
  virtual void InternalCancel() {}
  // The base checks that every required field has a value.
  virtual void InternalPost();
  virtual void InternalDelete() {}
  virtual void InternalRefresh() {}
  // Opens the cursor (with `infoQuery` only the field definitions are read). The base runs
  // InternalOpen and, when it fails, closes the cursor again before passing the error on.
  virtual void OpenCursor(bool infoQuery);
  virtual void CloseCursor();
  // Brings the field definitions up to date (opening the cursor for that when it is closed).
  virtual void InitFieldDefs();
  // A blank record: InternalInitRecord, bookmark flag bfInserted.
  virtual void InitRecord(TRecordBuffer buffer);
  virtual void ClearCalcFields(TRecordBuffer buffer) {}
  // Lookup values and OnCalcFields; runs in the calculated-fields state.
  virtual void CalculateFields(TRecordBuffer buffer);
  // Fills the calculated fields of `buffer` (descendants call it from GetRecord).
  virtual void GetCalcFields(TRecordBuffer buffer);
  virtual bool BookmarkValid(TBookmark bookmark) { return false; }
  virtual Integer CompareBookmarks(TBookmark bookmark1, TBookmark bookmark2) { return 0; }

  virtual void DoBeforeOpen() { Fire(FBeforeOpen); }
  virtual void DoAfterOpen() { Fire(FAfterOpen); }
  virtual void DoBeforeClose() { Fire(FBeforeClose); }
  virtual void DoAfterClose() { Fire(FAfterClose); }
  virtual void DoBeforeInsert() { Fire(FBeforeInsert); }
  virtual void DoAfterInsert() { Fire(FAfterInsert); }
  virtual void DoBeforeEdit() { Fire(FBeforeEdit); }
  virtual void DoAfterEdit() { Fire(FAfterEdit); }
  virtual void DoBeforePost() { Fire(FBeforePost); }
  virtual void DoAfterPost() { Fire(FAfterPost); }
  virtual void DoBeforeCancel() { Fire(FBeforeCancel); }
  virtual void DoAfterCancel() { Fire(FAfterCancel); }
  virtual void DoBeforeDelete() { Fire(FBeforeDelete); }
  virtual void DoAfterDelete() { Fire(FAfterDelete); }
  virtual void DoBeforeScroll() { Fire(FBeforeScroll); }
  virtual void DoAfterScroll() { Fire(FAfterScroll); }
  virtual void DoBeforeRefresh() { Fire(FBeforeRefresh); }
  virtual void DoAfterRefresh() { Fire(FAfterRefresh); }
  virtual void DoOnCalcFields() { Fire(FOnCalcFields); }
  virtual void DoOnNewRecord() { Fire(FOnNewRecord); }

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  // ---- helpers for descendants ----
  void CheckActive() const;
  void CheckInactive() const;
  // Raises "Cannot modify a read-only dataset" unless GetCanModify.
  void CheckCanModify() const;
  void SetState(TDataSetState value);
  // Enters a temporary state (calculated fields, filter ...) without notifying; returns the old
  // one for RestoreState.
  TDataSetState SetTempState(TDataSetState value);
  void RestoreState(TDataSetState value);
  void SetModified(bool value) { FModified = value; }
  void SetFound(bool value) { FFound = value; }
  void SetBookmarkSize(Integer value) { FBookmarkSize = value; }
  // Creates one field per field definition (the default fields), owned by the dataset.
  void CreateFields();
  // Frees the default fields.
  void DestroyFields();
  // Binds the fields to the definitions (field numbers) and lays out the calculated-field
  // slots (one value-present byte, then the value) when `binding`; unbinds otherwise.
  void BindFields(bool binding);
  void SetDefaultFields(bool value) { FDefaultFields = value; }

  TRecordBuffer CalcBuffer() const { return FCalcBuffer; }
  TRecordBuffer TempBuffer() const { return FTempBuffer; }
  Integer GetBufferCount() const { return FBufferCount; }
  // Number of records held in the ring.
  Integer GetBufferRecordCount() const { return FRecordCount; }
  Integer GetActiveRecord() const { return FActiveRecord; }
  TRecordBuffer GetBuffer(Integer index) const { return FBuffers[index]; }
  // Empties the ring (no notification).
  void ClearBuffers();

 private:
  friend class TDataLink;
  friend class TDataSource;
  friend class TField;
  friend class TFieldDefs;
  friend class TFields;

  void Fire(const TDataSetNotifyEvent& event) {
    if (event) event(this);
  }
  void SetBufferCount(Integer value);
  void UpdateBufferCount();
  void SetCurrentRecord(Integer index);
  // Moves buffer `curIndex` to `newIndex`, shifting the buffers between.
  void MoveBuffer(Integer curIndex, Integer newIndex);
  void ActivateBuffers();
  bool GetNextRecord();
  bool GetPriorRecord();
  Integer GetNextRecords();
  Integer GetPriorRecords();
  void BeginInsertAppend();
  void EndInsertAppend();
  void SetActiveRecord(Integer value);
  void AddDataSource(TDataSource* dataSource);
  void RemoveDataSource(TDataSource* dataSource);
  void NotifySources(TDataEvent event, NativeInt info);
  bool RecordMatches(const std::vector<TField*>& fields, const Variant& keyValues,
                     TLocateOptions options);
  // The scan of the base Locate and Lookup (see DataSet.cpp).
  bool LocateRecord(const AnsiString& keyFields, const Variant& keyValues, TLocateOptions options,
                    bool syncCursor, const AnsiString* resultFields, Variant* result);
  void FreeBuffers();

  TDataSetState FState = dsInactive;
  TDataSetState FDisableState = dsInactive;
  TFieldDefs FFieldDefs;
  TFields FFields;
  std::vector<TDataSource*> FDataSources;
  std::vector<TRecordBuffer> FBuffers;
  TRecordBuffer FCalcBuffer = nullptr;
  TRecordBuffer FTempBuffer = nullptr;
  Integer FBufferCount = 0;
  Integer FRecordCount = 0;
  Integer FActiveRecord = 0;
  Integer FCurrentRecord = -1;
  Integer FBookmarkSize = 0;
  Integer FCalcFieldsSize = 0;
  Integer FDisableCount = 0;
  Integer FTempStateDepth = 0;
  TDataEvent FEnableEvent = deDataSetChange;
  bool FEventPending = false;
  bool FBOF = true;
  bool FEOF = true;
  bool FModified = false;
  bool FFound = false;
  bool FDefaultFields = false;
  bool FAutoCalcFields = true;
  bool FInternalOpenComplete = false;
  bool FStreamedActive = false;
  bool FHasCalcFields = false;
  bool FFiltered = false;
  TFilterOptions FFilterOptions;
  AnsiString FFilterText;
  TFilterRecordEvent FOnFilterRecord;
  TDataSetNotifyEvent FBeforeOpen, FAfterOpen, FBeforeClose, FAfterClose;
  TDataSetNotifyEvent FBeforeInsert, FAfterInsert, FBeforeEdit, FAfterEdit;
  TDataSetNotifyEvent FBeforePost, FAfterPost, FBeforeCancel, FAfterCancel;
  TDataSetNotifyEvent FBeforeDelete, FAfterDelete, FBeforeScroll, FAfterScroll;
  TDataSetNotifyEvent FBeforeRefresh, FAfterRefresh, FOnCalcFields, FOnNewRecord;
};

namespace orv {
// The ";"-separated names of a field list, each trimmed; empty names are skipped.
std::vector<AnsiString> ExtractFieldNames(const AnsiString& fieldNames);
// The states in which field values may be written into the active record buffer.
bool IsWriteState(TDataSetState state);
}  // namespace orv
