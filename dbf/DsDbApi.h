// The engine's boundary between error codes and exceptions, and the abstract bases of its
// table header, field descriptors and table handle.
//
// Below the components, every operation returns a one-byte error code (DsConsts.h); the
// components raise a non-zero code through DsCheck.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "dbf/DsCP.h"
#include "dbf/DsConsts.h"
#include "platform/dataset/FieldTypes.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Types.h"
#include "platform/runtime/Variants.h"

// The message of an error code: the table's text, or a generic message naming the code for
// a code the table does not hold.
AnsiString DsErrorMessage(Integer code);

// Raises EDatabaseError with the message of the code when its low byte is not 0; returns the
// code otherwise. Every handle result that the components check goes through it.
Integer DsCheck(Integer code);

namespace orv {

// What the engine needs of an open table file: positioned reads and writes. The table handle
// supplies the real file; tests use memory.
class IDsFile {
 public:
  virtual ~IDsFile() = default;
  // False when the position cannot be reached.
  virtual bool Seek(Int64 position) = 0;
  // Bytes actually read or written (fewer at the end of the file); -1 on an error.
  virtual Integer Read(void* buffer, Integer count) = 0;
  virtual Integer Write(const void* buffer, Integer count) = 0;
  // The size of the file in bytes; -1 when the file cannot tell (then nothing that the size
  // bounds, such as a memo, can be read from it).
  virtual Int64 GetSize() { return -1; }
};

// A table file on disk, through the platform's file layer (share modes, names in any letter
// case, "\" separators).
//
// A read that starts where the previous one ended is served from a read-ahead window of
// kReadAhead bytes, so that a scan through small record blocks costs one system call per
// window instead of one per block. Any other read goes to the file; writes go to the file at
// once and are copied into the window where they overlap it. The window is no staler than the
// handle's own record block: both hold what the file had when they were filled.
class TDsDiskFile : public IDsFile {
 public:
  static constexpr Integer kReadAhead = 64 * 1024;

  // Opens an existing file with an open mode of FileSystem.h (access or'ed with sharing);
  // null when it cannot be opened.
  static std::unique_ptr<TDsDiskFile> Open(const AnsiString& fileName, Word mode);
  TDsDiskFile(const TDsDiskFile&) = delete;
  TDsDiskFile& operator=(const TDsDiskFile&) = delete;
  ~TDsDiskFile() override;

  bool Seek(Int64 position) override;
  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 GetSize() override;

 private:
  explicit TDsDiskFile(Integer handle) : FHandle(handle) {}
  // Moves the system's file position to FPosition unless it is there.
  bool SyncPosition();
  Integer ReadFile(void* buffer, Integer count);

  Integer FHandle;
  Int64 FPosition = 0;
  Int64 FFilePosition = 0;
  Int64 FLastReadEnd = -1;
  std::vector<Byte> FWindow;
  Int64 FWindowStart = 0;
  Integer FWindowLength = 0;
};

// Record states as reads report them and the table component keeps them.
inline constexpr Byte dsRecActive = 0;
inline constexpr Byte dsRecInserted = 2;
inline constexpr Byte dsRecDeleted = 3;

// What a read tells of the record it stopped at.
struct TDsRecordInfo {
  Integer RecNo = 0;
  Byte State = dsRecActive;
  bool Deleted = false;
};

// The settings a table component opens its handle with.
struct TDsOpenParams {
  Integer BufferRecords = 10;
  bool ShowDeleted = false;
  CP_TYPE CodePage = ascii_ANSI;
};

}  // namespace orv

class TDsCustomHeader;
class TDsDbParser;
struct Currency;

// One open table: its file, header and code page, a cursor that moves over the records while
// skipping deleted ones and those its filter rejects, a read-ahead block of records, writes
// in place and at the end, and a search by field values.
//
// Every operation returns an error code (DsConsts.h; 0 = success, 29/30 = begin/end of file)
// and never raises, except SetFilter for a text it refuses.
//
// The cursor is a physical record number: 0 stands before the first record, count + 1 after
// the last. The block holds up to GetBlockCapacity() consecutive records read in one go;
// moving forward fills it so that it starts at the wanted record, moving backward so that it
// ends there. The current record (what the field codec and the filter read when they are given
// no record) is the cursor's record inside the block after a read.
//
// A handle made with the default constructor has no file: the header, code page and current
// record can be set by hand (the codec's and the filter's tests do that).
class TDsCustomHandle {
 public:
  TDsCustomHandle();
  TDsCustomHandle(const TDsCustomHandle&) = delete;
  TDsCustomHandle& operator=(const TDsCustomHandle&) = delete;
  virtual ~TDsCustomHandle();

  TDsCustomHeader* GetHeader() const { return FHeader.get(); }
  // Takes ownership of the header (replacing and freeing a previous one).
  void SetHeader(std::unique_ptr<TDsCustomHeader> value);

  CP_TYPE GetCodePage() const { return FCodePage; }
  void SetCodePage(CP_TYPE value);

  // The record that the field codec and the filter read when they are given none: after a read
  // the record last read. May be null.
  Byte* GetCurrentRecord() const { return FCurrentRecord; }
  void SetCurrentRecord(Byte* value) { FCurrentRecord = value; }

  // Text translation in place with the handle's code page: from Windows-1251 to the table's
  // code page / back. Both return 0.
  Byte TranslateToFile(void* bytes, Integer count) const;
  Byte TranslateFromFile(void* bytes, Integer count) const;

  // ---- the open file ----
  const AnsiString& GetFileName() const { return FFileName; }
  orv::IDsFile* GetFile() const { return FFile.get(); }
  // The error code of the open: 0 when the handle is usable.
  Byte GetStatus() const { return FStatus; }
  bool GetExclusive() const { return FExclusive; }
  // Opened for reading only: asked for, or the file could not be opened for writing (a file
  // without write permission still opens for reading and searching). Writes answer
  // dsErrTableReadOnly.
  bool GetReadOnly() const { return FReadOnly || FFileReadOnly; }
  // True when the read-only state comes from the file, not from the request.
  bool GetFileReadOnly() const { return FFileReadOnly; }

  // ---- settings ----
  Integer GetBufferRecords() const { return FBlockCapacity; }
  // Records per block (below 1: 1; capped so that a block stays within 16 MB). Empties the
  // block.
  void SetBufferRecords(Integer value);
  bool GetShowDeleted() const { return FShowDeleted; }
  void SetShowDeleted(bool value) { FShowDeleted = value; }

  // ---- answers of the table format ----
  // Records the header counts, deleted ones included.
  virtual Integer GetRecordCount() const;
  virtual Integer GetDeletedCount() const { return 0; }
  // Bytes per record, the deletion byte included.
  virtual Integer GetRecordSize() const;
  // dsRecDeleted when the record's deletion byte is "*", else dsRecActive.
  virtual Byte GetRecordState(const Byte* record) const;
  // "*" for dsRecDeleted, " " for any other state.
  virtual Byte GetDeletionByte(Byte state) const;
  virtual Integer GetBookmarkSize() const { return 4; }

  // ---- navigation ----
  Integer GetCursor() const { return FCursor; }
  // Cursor before the first / after the last record.
  Byte First();
  Byte Last();
  // Cursor := n, unchecked (a later read says whether a record is there).
  Byte GoTo(Integer n);
  // Moves to the next / prior visible record and copies it into `buffer` (record-size bytes);
  // `info` may be null. dsErrEndOfFile / dsErrBeginOfFile when there is none.
  Byte GetNext(Byte* buffer, orv::TDsRecordInfo* info = nullptr);
  Byte GetPrior(Byte* buffer, orv::TDsRecordInfo* info = nullptr);
  // Re-reads the cursor's record: 30 after the last, 29 before the first, dsErrRecordDeleted
  // on a deleted record while deleted ones are hidden, 30 when the filter rejects it.
  Byte GetCurrent(Byte* buffer, orv::TDsRecordInfo* info = nullptr);

  // ---- the block (for tests and diagnostics) ----
  Integer GetBlockCapacity() const { return FBlockCapacity; }
  Integer GetBlockFirst() const { return FBlockFirst; }
  Integer GetBlockCount() const { return FBlockCount; }

  // ---- writes ----
  // Writes `buffer` as a new record after the last one; the cursor stands on it. Inside a
  // batch, or when `writeHeader` is off, the header prefix is left for later.
  Byte AppendRecord(const Byte* buffer, bool writeHeader);
  // Rewrites the cursor's record.
  Byte UpdateRecord(const Byte* buffer);
  // Marks the cursor's record deleted ("*"); there is no undelete.
  Byte DeleteRecord(bool writeHeader);
  // A blank record: every byte blank, auto-increment fields 01 00 00 00.
  Byte InitRecord(Byte* buffer) const;
  // Writes the header prefix and, when `endMark`, the end-of-file mark after the last record.
  Byte WriteHeader(bool endMark);

  // Header-write batch: appends and deletes inside it leave the header to EndBatch, which
  // writes the prefix only when the batch changed the file and the end mark only when it
  // appended records, so that a batch around a search writes nothing.
  Byte BeginBatch();
  Byte EndBatch();
  bool GetBatch() const { return FBatch; }

  // ---- filter ----
  // Installs a filter text with parser options (dpoCaseInsensitive, dpoNoPartialCompare). The
  // text is checked by the grammar and the operand kinds, never evaluated on a record. A text
  // that the check refuses raises Exception("Invalid filter expression.") and leaves the
  // installed filter as it was. An empty text clears the filter.
  Byte SetFilter(const AnsiString& text, Byte options);
  Byte ClearFilter();
  const AnsiString& GetFilterText() const;
  Byte GetFilterOptions() const;
  // True without a filter; otherwise whether the filter yields True on the current record.
  bool AcceptRecord();

  // ---- search ----
  // Moves to the first visible record whose fields (";"-separated names) hold the values:
  // `values` itself for one field, else a variant array with one element per field. Values
  // compare as values: texts by the locale's comparison (case-insensitive on request; a
  // partial key matches the start of the text), other kinds by the variant comparison, a
  // Null or unassigned key matches a null field. Returns 0 (found), dsErrRecordNotFound (the
  // cursor is back where it was), dsErrFieldNotFound (a name that no field of the table has)
  // or dsErrInvalidParameter (fewer values than fields).
  Byte Locate(const AnsiString& fields, const Variant& values, bool caseInsensitive,
              bool partialKey);

 protected:
  // Takes the open file of a format's Create, with the settings of the open (`params` null:
  // a temporary handle, 100 records per block and ascii_ANSI).
  void AttachFile(const AnsiString& fileName, std::unique_ptr<orv::IDsFile> file, bool exclusive,
                  bool readOnly, bool fileReadOnly, const orv::TDsOpenParams* params);
  void SetStatus(Byte value) { FStatus = value; }
  // Offset of record n (from 1) in the file.
  Int64 RecordOffset(Integer n) const;

  std::unique_ptr<TDsCustomHeader> FHeader;
  CP_TYPE FCodePage = ascii_ANSI;
  Byte* FCurrentRecord = nullptr;

 private:
  enum TDirection { dirForward, dirBackward };
  // Points the current record at record n inside the block, refilling the block when it does
  // not hold it. 0, dsErrCannotSeekFile, dsErrCannotReadFile, or `notThere` when the file
  // has no such record.
  // `skipping`: a forward step passing over records the filter or the deletion mark hides,
  // which reads ahead in large blocks.
  Byte FetchRecord(Integer n, TDirection direction, Byte notThere, bool skipping = false);
  Byte* BlockRecord(Integer n) { return FBlock.data() + std::size_t(n - FBlockFirst) * std::size_t(GetRecordSize()); }
  bool BlockHolds(Integer n) const { return n >= FBlockFirst && n < FBlockFirst + FBlockCount; }
  // Whether the current record is visible (deleted ones only when shown; the filter).
  bool Visible(orv::TDsRecordInfo& info);
  void FillInfo(Integer n, orv::TDsRecordInfo* info) const;
  Byte Step(Byte* buffer, orv::TDsRecordInfo* info, TDirection direction);
  Byte WriteAt(Int64 offset, const void* bytes, Integer count);
  void ResetBlock();

  AnsiString FFileName;
  std::unique_ptr<orv::IDsFile> FFile;
  Byte FStatus = dsErrNone;
  bool FExclusive = false;
  bool FReadOnly = false;
  bool FFileReadOnly = false;
  bool FShowDeleted = false;
  std::vector<Byte> FBlock;
  Integer FBlockCapacity = 100;
  Integer FBlockFirst = 1;
  Integer FBlockCount = 0;
  Integer FCursor = 0;
  bool FBatch = false;
  bool FPendingPrefix = false;
  bool FPendingEndMark = false;
  std::unique_ptr<TDsDbParser> FFilter;
};

// The connection handle of a database component: the folder of its tables.
class TDsDbHandle {
 public:
  explicit TDsDbHandle(const AnsiString& databaseName) : FDatabaseName(databaseName) {}
  const AnsiString& GetDatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const AnsiString& value) { FDatabaseName = value; }

 private:
  AnsiString FDatabaseName;
};

// One field descriptor of an open table, with its codec: decodes the field's bytes of a record
// into the dataset's native value (FieldTypes.h) and encodes a native value back. The typed
// getters decode first; a null record pointer means the handle's current record.
class TDsCustomField {
 public:
  explicit TDsCustomField(TDsCustomHeader* header) : FHeader(header) {}
  TDsCustomField(const TDsCustomField&) = delete;
  TDsCustomField& operator=(const TDsCustomField&) = delete;
  virtual ~TDsCustomField() = default;

  TDsCustomHeader* GetHeader() const { return FHeader; }
  TDsCustomHandle* GetHandle() const;

  virtual const AnsiString& GetName() const = 0;
  virtual TFieldType GetFieldType() const = 0;
  // Bytes in the record.
  virtual Integer GetLength() const = 0;
  virtual Integer GetDecimals() const = 0;
  // 1-based number of the field and offset of its bytes in the record.
  virtual Integer GetFieldNo() const = 0;
  virtual Integer GetOffset() const = 0;
  // Bytes that GetData writes to its destination (and SetData reads from its value).
  virtual Integer GetDataSize() const = 0;

  // Decodes the field of `record` (null: the handle's current record) into `destination`
  // (may be null: then only `isNull` is computed). Writes at most GetDataSize() bytes, and
  // nothing when the field is null. Without any record the field reads as null.
  virtual void GetData(const Byte* record, void* destination, bool& isNull) const = 0;
  // Encodes `value` (GetDataSize() bytes; null: the field's null form) into `record` (null:
  // the handle's current record). Returns 0, or an error code with the record unchanged when
  // the value cannot be stored (dsErrInvalidParameter).
  virtual Byte SetData(const void* value, Byte* record) = 0;
  // The value of a currency field as the exact amount (a currency read through a double loses
  // digits and fails at the ends of the range); false for a null field or one of another type.
  // The base reads the double of GetData.
  virtual bool GetCurrency(const Byte* record, Currency& value) const;
  // The value of a text field as GetData gives it (up to its first zero byte), straight into
  // `value`; empty when null. The base decodes into a buffer of GetDataSize() bytes.
  virtual void GetText(const Byte* record, AnsiString& value, bool& isNull) const;

  bool IsNull(const Byte* record = nullptr) const;
  bool AsBoolean(const Byte* record = nullptr) const;
  Integer AsInteger(const Byte* record = nullptr) const;
  double AsFloat(const Byte* record = nullptr) const;
  AnsiString AsString(const Byte* record = nullptr) const;
  TDateTime AsDateTime(const Byte* record = nullptr) const;

 protected:
  // `record`, or the handle's current record when it is null.
  const Byte* ResolveRecord(const Byte* record) const;
  Byte* ResolveRecord(Byte* record) const;

 private:
  bool NumericValue(const Byte* record, double& value) const;

  TDsCustomHeader* FHeader;
};

// The in-memory header of an open table: its prefix and field descriptors.
class TDsCustomHeader {
 public:
  TDsCustomHeader(TDsCustomHandle* handle, orv::IDsFile* file) : FHandle(handle), FFile(file) {}
  TDsCustomHeader(const TDsCustomHeader&) = delete;
  TDsCustomHeader& operator=(const TDsCustomHeader&) = delete;
  virtual ~TDsCustomHeader();

  TDsCustomHandle* GetHandle() const { return FHandle; }
  orv::IDsFile* GetFile() const { return FFile; }

  Integer GetFieldCount() const { return static_cast<Integer>(FFields.size()); }
  // By position from 0; null outside the list.
  TDsCustomField* GetField(Integer index) const;
  // By name, compared without regard to case; the first match, or null.
  TDsCustomField* FindField(std::string_view name) const;
  // Frees every field.
  void ClearFields() { FFields.clear(); }

  // Reads the header from the file; returns an error code.
  virtual Byte Read() = 0;
  // Writes the prefix as held in memory / the end-of-file mark after the last record.
  virtual Byte WritePrefix() = 0;
  virtual Byte WriteEndMark() = 0;

  virtual Integer GetHeaderSize() const = 0;
  virtual void SetHeaderSize(Integer value) = 0;
  virtual Integer GetRecordSize() const = 0;
  virtual void SetRecordSize(Integer value) = 0;
  virtual Integer GetRecordCount() const = 0;
  virtual void SetRecordCount(Integer value) = 0;
  // Deleted records stay counted among the records: always 0.
  Integer GetDeletedCount() const { return 0; }
  void SetDeletedCount(Integer value) {}

 protected:
  // Seeks the file to its start: 0, or dsErrCannotSeekFile.
  Byte SeekToStart();
  void AddField(std::unique_ptr<TDsCustomField> field) { FFields.push_back(std::move(field)); }

 private:
  TDsCustomHandle* FHandle;
  orv::IDsFile* FFile;
  std::vector<std::unique_ptr<TDsCustomField>> FFields;
};

// Names compared as the engine compares field names: without regard to case, Windows-1251.
bool DsSameName(std::string_view a, std::string_view b);
