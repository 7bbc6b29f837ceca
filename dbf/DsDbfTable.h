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
//   record size + CalcFieldsSize     6                 record information: physical record
//                                                      number (int32), record state (0 active,
//                                                      3 deleted, 2 new), bookmark flag
//   + 6                              4                 bookmark: the physical record number
//
// Bookmarks and RecNo are physical record numbers (from 1); RecordCount is the number of
// records the header counts, deleted ones included.
#pragma once

#include "dbf/DsCP.h"
#include "dbf/DsDbApi.h"
#include "platform/dataset/DataSet.h"

class TDsDatabase;

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
  void SetFieldData(TField* field, const void* buffer) override;
  bool GetCurrentRecord(TRecordBuffer buffer) override;

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
  Integer FRecordInfoOffset = 0;
  Integer FBookmarkOffset = 0;
  Integer FBufferSize = 0;
};
