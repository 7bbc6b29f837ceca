// The dataset component over one .DBF table: what forms, data sources, grids and the in-memory
// table use. It keeps no file logic of its own: it opens a table handle through the flat
// interface (DsDbfApi.h), moves it, decodes and encodes fields through the field codec, hands
// its Filter text to the handle's filter language and raises every error code of the handle
// as a database error with the code's message.
//
// Record buffer (one per buffered row, zero-filled when allocated):
//
//   offset                           size              content
//   0                                record size       the raw record, deletion byte first
//   record size                      CalcFieldsSize    calculated fields: at each field's
//                                                      Offset a value-present byte, the value
//   record size + CalcFieldsSize     P x blob fields   blob cache: per blob field, in field
//                                                      order, a pointer (P bytes) to the memo
//                                                      read for this record, or null
//   blob cache end                   6                 record information: physical record
//                                                      number (int32), record state (0 active,
//                                                      3 deleted, 2 new), bookmark flag
//   + 6                              4                 bookmark: the physical record number
//
// Bookmarks and RecNo are physical record numbers (from 1); RecordCount is the number of
// records the header counts, deleted ones included.
//
// Blob fields (memo, binary, picture) are read through TBlobStream from the table's memo file.
// A memo read whole on the active record of a browsing dataset stays in the record buffer's
// blob cache until the buffer receives another record, so that a grid repainting a row or a
// second read of the field does not go to the file again.
#pragma once

#include "dbf/DsCP.h"
#include "dbf/DsDbApi.h"
#include "platform/dataset/DataSet.h"
#include "platform/runtime/Streams.h"

class TDsDatabase;
class TBlobStream;

class TDsDbfTable : public TDataSet {
  ORV_CLASS(TDsDbfTable, TDataSet)
 public:
  using TDataSet::BookmarkValid;
  using TDataSet::CompareBookmarks;

  explicit TDsDbfTable(TComponent* owner);
  ~TDsDbfTable() override;
  void BeforeDestruction() override;

  // ---- published properties ----
  // The connection whose DatabaseName is the table's folder. The dataset registers with it and
  // is closed when it disconnects. Only while inactive, like the four below.
  TDsDatabase* GetDatabase() const { return FDatabase; }
  void SetDatabase(TDsDatabase* value);
  // The file name; its extension becomes ".dbf" when the table opens.
  const AnsiString& GetTableName() const { return FTableName; }
  void SetTableName(const AnsiString& value);
  // Records per read-ahead block of the handle; values below 1 are ignored.
  Integer GetBufferRecords() const { return FBufferRecords; }
  void SetBufferRecords(Integer value);
  // True whatever is set when the Database has it set.
  bool GetExclusive() const { return FExclusive; }
  void SetExclusive(bool value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // Whether records marked deleted are visible.
  bool GetShowDeleted() const { return FShowDeleted; }
  void SetShowDeleted(bool value);
  // The language driver that text fields are translated with.
  CP_TYPE GetCodePage() const { return FCodePage; }
  void SetCodePage(CP_TYPE value);

  // ---- header-write batch ----
  // Between the two, appends and deletes leave the file header for EndBatch, which rewrites it
  // only when the batch changed the file.
  void BeginBatch();
  void EndBatch();

  // The open table handle (null while closed).
  TDsCustomHandle* GetHandle() const { return FHandle; }

  // ---- the dataset's operations ----
  Integer GetRecordCount() const override;
  Integer GetRecNo() const override;
  void SetRecNo(Integer value) override;
  bool IsSequenced() const override { return false; }
  // Not when ReadOnly is set or the file itself cannot be written.
  bool GetCanModify() const override;

  // A name that no field has raises "Field '...' not found". Values compare as values; a
  // partial key matches the start of a text.
  bool Locate(const AnsiString& keyFields, const Variant& keyValues,
              TLocateOptions options) override;
  // Null when nothing matches; otherwise the found record becomes current.
  Variant Lookup(const AnsiString& keyFields, const Variant& keyValues,
                 const AnsiString& resultFields) override;
  bool FindRecord(bool restart, bool goForward) override;

  // Filter, FilterOptions and Filtered: while active, a new value installs the filter in the
  // handle first (a refused text raises "Invalid filter expression." and changes nothing),
  // then the value is stored and the dataset moves to its first record. The same value again
  // does nothing. OnFilterRecord is not used.
  void SetFiltered(bool value) override;
  void SetFilterOptions(TFilterOptions value) override;
  void SetFilterText(const AnsiString& value) override;

  bool GetFieldData(TField* field, void* buffer) override;
  bool GetFieldText(TField* field, AnsiString& value) override;
  void SetFieldData(TField* field, const void* buffer) override;
  bool GetCurrentRecord(TRecordBuffer buffer) override;

  // A TBlobStream over a blob field of the current record; the caller frees it.
  TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) override;
  // Reads the whole memo of blob field `fieldNo` of the current record into `buffer` (grown by
  // a quarter more than needed when too short) and returns its length; 0 for a blank memo.
  // Errors raise, except in the block-read state, where they give 0.
  Integer GetBlobFieldData(Integer fieldNo, std::vector<Byte>& buffer) override;
  void CloseBlob(TField* field) override;

 protected:
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& buffer) override;
  TGetResult GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) override;
  Integer GetRecordSize() const override { return FRecordSize; }
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) override;
  void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) override;
  void GetBookmarkData(TRecordBuffer buffer, void* data) override;
  void SetBookmarkData(TRecordBuffer buffer, const void* data) override;
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return FHandle != nullptr; }
  void InternalInitFieldDefs() override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalGotoBookmark(TBookmark bookmark) override;
  void InternalSetToRecord(TRecordBuffer buffer) override;
  void InternalInitRecord(TRecordBuffer buffer) override;
  void InternalAddRecord(const void* buffer, bool append) override;
  void InternalInsert() override;
  void InternalPost() override;
  void InternalDelete() override;
  void OpenCursor(bool infoQuery) override;
  void CloseCursor() override;
  void InitFieldDefs() override;
  void InitRecord(TRecordBuffer buffer) override;
  void ClearCalcFields(TRecordBuffer buffer) override;
  bool BookmarkValid(TBookmark bookmark) override { return FHandle != nullptr; }
  Integer CompareBookmarks(TBookmark bookmark1, TBookmark bookmark2) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TBlobStream;

  // The memo cached for a blob field in a record buffer (null when none); SetBlobCache takes
  // the text (empty clears the slot).
  const AnsiString* GetBlobCache(TRecordBuffer buffer, TField* field) const;
  void SetBlobCache(TRecordBuffer buffer, TField* field, AnsiString text);
  // Frees every cached memo of the buffer.
  void ClearBlobCache(TRecordBuffer buffer);
  Byte* BlobSlot(TRecordBuffer buffer, TField* field) const;
  // The file's path: the database's folder and the table name with the extension ".dbf".
  AnsiString TablePath() const;
  void CheckTableProperties() const;
  void BuildFieldDefs(TDsCustomHandle* handle);
  // Installs the filter that the three values describe in the handle, or clears it.
  void InstallFilter(const AnsiString& text, bool filtered, TFilterOptions options);
  // Installs the filter of the new values (a refused text raises and changes nothing), stores
  // them and moves to the first record.
  void ChangeFilter(const AnsiString& text, bool filtered, TFilterOptions options);
  Byte* RecordInfo(TRecordBuffer buffer) const { return buffer + FRecordInfoOffset; }
  Integer BufferRecNo(TRecordBuffer buffer) const;

  TDsDatabase* FDatabase = nullptr;
  TDsCustomHandle* FHandle = nullptr;
  AnsiString FTableName;
  Integer FBufferRecords = 10;
  bool FExclusive = false;
  bool FReadOnly = false;
  bool FShowDeleted = false;
  CP_TYPE FCodePage = ascii_ANSI;
  Integer FRecordSize = 0;
  Integer FCalcFieldsOffset = 0;
  Integer FBlobCacheOffset = 0;
  // The slot of each field number in the blob cache (-1: not a blob field); the slot count.
  std::vector<Integer> FBlobIndex;
  Integer FBlobFieldCount = 0;
  // Blob streams keep a memo read whole in the record buffer; on from construction.
  bool FCacheBlobs = true;
  Integer FRecordInfoOffset = 0;
  Integer FBookmarkOffset = 0;
  Integer FBufferSize = 0;
};

// The stream over one blob field of the dataset's current record (see TDsDbfTable).
//
// A read-mode stream on the active record of a dataset whose memo is already cached, or whose
// memo is blank, serves its bytes from the record buffer's blob cache; otherwise it reads
// through the table's memo file and, once it has read the whole memo in order, stores it in the
// cache. Reads past the end of the memo return what remains.
//
// The engine stores no memo content: a write mode needs an editable field in the edit or
// insert state, and a write or cut that would change the memo raises the handle's refusal as a
// database error, so a memo is never reported as written when it was not. Created without a
// record (an empty dataset), the stream reads nothing.
class TBlobStream : public TStream {
  ORV_CLASS(TBlobStream, TStream)
 public:
  using TCreateSignature = void(TField* field, TBlobStreamMode mode);
  // Raises "Cannot access field '%s' in a filter" in the filter state; in a write mode "Field
  // '%s' cannot be modified" for a read-only field and "Dataset not in edit or insert mode"
  // outside editing.
  TBlobStream(TField* field, TBlobStreamMode mode);
  ~TBlobStream() override;

  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  // The memo's length.
  Int64 GetSize() override;
  // Cuts the memo to `newSize` bytes (refused unless that changes nothing).
  void SetSize(Int64 newSize) override;

  // Whether reads are served from the record buffer's blob cache.
  bool GetCached() const { return FCached; }

 private:
  // The stream's memo in the cache, or null.
  const AnsiString* CachedText() const;

  TField* FField;
  TDsDbfTable* FDataSet;
  TRecordBuffer FBuffer = nullptr;
  Integer FFieldNo;
  TBlobStreamMode FMode;
  bool FOpened = false;
  bool FCached = false;
  Int64 FPosition = 0;
  // The memo's length once measured (-1 before).
  Int64 FSize = -1;
  // What has been read in order from the start, on its way into the cache.
  AnsiString FCacheText;
};
