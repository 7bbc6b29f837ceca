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
};

}  // namespace orv

class TDsCustomHeader;

// The part of an open table that the header and the field codec rely on: the header itself,
// the code page of text fields and the record that reads without a buffer decode.
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
  void SetCodePage(CP_TYPE value) { FCodePage = value; }

  // The record that the field codec and the filter read when they are given none: after a read
  // the record last read. May be null.
  Byte* GetCurrentRecord() const { return FCurrentRecord; }
  void SetCurrentRecord(Byte* value) { FCurrentRecord = value; }

  // Text translation in place with the handle's code page: from Windows-1251 to the table's
  // code page / back. Both return 0.
  Byte TranslateToFile(void* bytes, Integer count) const;
  Byte TranslateFromFile(void* bytes, Integer count) const;

 protected:
  std::unique_ptr<TDsCustomHeader> FHeader;
  CP_TYPE FCodePage = ascii_ANSI;
  Byte* FCurrentRecord = nullptr;
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
