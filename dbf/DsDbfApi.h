// The .DBF table file: its header and field descriptors in memory, the field codec, the open
// table handle and the flat interface through which the table component drives it.
//
// Layout of a .DBF file (numbers little-endian unless said otherwise):
//
//   prefix, 32 bytes
//     0   1  version byte: 0x03 dBASE III (IV when byte 29 is not 0), 0x83 dBASE III with
//             memo, 0x8B dBASE IV with memo, 0x05 dBASE V, 0x04 and 0x8C dBASE VII,
//             0x02, 0x30 and 0xF5 FoxPro; any other byte is refused
//     1   3  date of the last update: year - 1900, month, day
//     4   4  number of records, deleted ones included
//     8   2  header size: offset of the first record
//    10   2  record size, the deletion byte included
//    15   1  1 = enciphered (refused)
//    28   1  1 = a production index exists
//    29   1  language-driver byte
//   dBASE VII only, 36 more bytes: the language-driver name (32 bytes) and 4 reserved
//
//   field descriptors, one per field, 32 bytes (48 for dBASE VII):
//                 name          type letter  length  decimals
//     32 bytes    0..10         11           16      17
//     48 bytes    0..31         32           33      34
//   a name ends at its first zero byte; the other bytes are kept as read
//   one byte 0x0D ends the descriptors (without it they end at the header size)
//
//   records from the header size on, each: the deletion byte (" " active, "*" deleted), then
//   the fields in descriptor order without gaps; one byte 0x1A follows the last record.
#pragma once

#include <array>

#include "dbf/DsDbApi.h"

// Table levels, numbered as the header reports them.
enum TDbfLevel : Byte { dlUnknown, dlDBaseIII, dlDBaseIV, dlDBaseV, dlDBaseVII, dlFoxPro };

class TDbfHeader;

// One field descriptor of a .DBF table and its codec.
//
// Native values by type letter (what GetData writes and SetData reads):
//   "C"            ftString    zero-terminated Windows-1251 text, trailing blanks removed
//   "N", "F"       ftFloat     double (the digits right-aligned in the field)
//   "O"            ftFloat     double (dBASE VII: 8 bytes big-endian, sign-adjusted to sort)
//   "D"            ftDate      int32 time-stamp day number ("yyyymmdd" in the field)
//   "L"            ftBoolean   int16: -1 true ("T", "Y"), 0 false ("F", "N")
//   "I", "+"       ftInteger / ftAutoInc  int32 (dBASE VII: big-endian, sign bit inverted;
//                              FoxPro: little-endian)
//   "@"            ftDateTime  double: time-stamp milliseconds (8 bytes big-endian)
//   "T"            ftTime      int32 milliseconds since midnight (FoxPro date-time: day and
//                              milliseconds, 4 bytes little-endian each)
//   "Y"            ftCurrency  double (FoxPro: int64 little-endian, times 10 000)
//   "M", "B", "P", "G"  memo kinds  int32 block number of the memo file
//   other letters  ftUnknown   the field's bytes as they are
// A field is null when all its bytes are blanks; "I", "+", "@", "O" and "T" also when all its
// bytes are zero (a FoxPro "I" reads 0 then). Digits that form no number, no date or no
// logical read as null too.
class TDbfField : public TDsCustomField {
 public:
  // `descriptor`: the descriptor bytes of the header's level (32 or 48).
  TDbfField(TDbfHeader* header, const Byte* descriptor, Integer fieldNo, Integer offset);

  const AnsiString& GetName() const override { return FName; }
  // The name as the descriptor holds it; GetName differs when another field had it first.
  const AnsiString& GetDescriptorName() const { return FDescriptorName; }
  char GetTypeLetter() const { return FLetter; }
  TFieldType GetFieldType() const override { return FFieldType; }
  Integer GetLength() const override { return FLength; }
  Integer GetDecimals() const override { return FDecimals; }
  Integer GetFieldNo() const override { return FFieldNo; }
  Integer GetOffset() const override { return FOffset; }
  Integer GetDataSize() const override { return FDataSize; }
  const Byte* GetDescriptor() const { return FDescriptor.data(); }

  void GetData(const Byte* record, void* destination, bool& isNull) const override;
  Byte SetData(const void* value, Byte* record) override;

  // The field type of a type letter.
  static TFieldType FieldTypeOf(char letter);

 private:
  friend class TDbfHeader;

  CP_TYPE GetCodePage() const;

  std::array<Byte, 48> FDescriptor{};
  TDbfLevel FLevel;
  AnsiString FName;
  AnsiString FDescriptorName;
  char FLetter;
  TFieldType FFieldType;
  Integer FLength;
  Integer FDecimals;
  Integer FFieldNo;
  Integer FOffset;
  Integer FDataSize;
};

// The header of an open .DBF table: the prefix as read and the field descriptors.
class TDbfHeader : public TDsCustomHeader {
 public:
  TDbfHeader(TDsCustomHandle* handle, orv::IDsFile* file);

  // Reads the prefix and the descriptors: 0, or dsErrCannotSeekFile, dsErrCannotReadFile,
  // dsErrInvalidDatabaseFile (an unknown level or a header that contradicts itself: a header
  // size below the prefix, a record size of 0, a descriptor cut off by the end of the header,
  // fields that do not fit the record size) or dsErrTableCrypted. After a failure the header
  // holds no fields.
  Byte Read() override;
  // The prefix as held in memory (the record count current, the update date as read).
  Byte WritePrefix() override;
  // The byte 0x1A after the last record.
  Byte WriteEndMark() override;

  TDbfLevel GetLevel() const { return FLevel; }
  // 32, or 68 for dBASE VII.
  Integer GetPrefixSize() const { return FLevel == dlDBaseVII ? 68 : 32; }
  // 32, or 48 for dBASE VII.
  Integer GetDescriptorSize() const { return FLevel == dlDBaseVII ? 48 : 32; }
  Integer GetHeaderSize() const override;
  void SetHeaderSize(Integer value) override;
  Integer GetRecordSize() const override;
  void SetRecordSize(Integer value) override;
  Integer GetRecordCount() const override;
  void SetRecordCount(Integer value) override;
  bool GetEnciphered() const { return FPrefix[15] == 1; }
  bool GetProductionIndex() const { return FPrefix[28] == 1; }
  Byte GetLanguageDriver() const { return FPrefix[29]; }
  // The prefix bytes as held (GetPrefixSize() of them).
  const Byte* GetPrefix() const { return FPrefix.data(); }

  // The level of a 32-byte prefix.
  static TDbfLevel LevelOf(const Byte* prefix);

 private:
  Byte ReadDescriptors(const Byte* area, Integer size);

  std::array<Byte, 68> FPrefix{};
  TDbfLevel FLevel = dlUnknown;
};

// An open .DBF table: the handle of TDsCustomHandle with the .DBF header.
//
// Opening: read-only access when asked for, else read-write, with every other opener denied
// when exclusive, none otherwise. A file that cannot be opened for writing but can be for
// reading (no write permission) opens read-only: reads and searches work, writes answer
// dsErrTableReadOnly. A file that cannot be opened at all gives dsErrCannotOpenFile; a header
// the reader refuses gives its code. GetStatus() tells; a handle with a non-zero status is not
// usable.
//
// Memo files are not opened: the blob fields' block numbers read as integers.
class TDbfHandle : public TDsCustomHandle {
 public:
  // `params` null: a temporary handle (100 records per block, ascii_ANSI).
  TDbfHandle(const AnsiString& fileName, const orv::TDsOpenParams* params, bool exclusive,
             bool readOnly);
  // Over a file that is already open (memory files in tests).
  TDbfHandle(std::unique_ptr<orv::IDsFile> file, const orv::TDsOpenParams* params, bool readOnly);

  TDbfHeader* GetDbfHeader() const { return static_cast<TDbfHeader*>(FHeader.get()); }

 private:
  void ReadHeader();
};

// ---- The flat handle interface ----
//
// The table component reaches its handle only through these functions. Each returns an error
// code and never raises, except DbfSetFilter for a refused filter text; where a handle is
// needed and absent, the code is dsErrInvalidHandle.

// Opens a table into `handle`, which must be null (else dsErrInvalidHandle and the handle stays
// open). On a failure the handle stays null and the code is returned.
Byte DbfOpenTable(const AnsiString& path, bool readOnly, bool exclusive,
                  const orv::TDsOpenParams* params, TDsCustomHandle*& handle);
// Closes the table and clears the variable.
Byte DbfCloseTable(TDsCustomHandle*& handle);
Byte DbfFirst(TDsCustomHandle* handle);
Byte DbfLast(TDsCustomHandle* handle);
// The cursor's record number / cursor := record number.
Byte DbfGetBookmark(TDsCustomHandle* handle, Integer& recNo);
Byte DbfGotoBookmark(TDsCustomHandle* handle, Integer recNo);
// `options`: dpoCaseInsensitive | dpoNoPartialCompare (DsDbParser.h).
Byte DbfSetFilter(TDsCustomHandle* handle, const AnsiString& text, Byte options);
Byte DbfClearFilter(TDsCustomHandle* handle);
Byte DbfGetNext(TDsCustomHandle* handle, Byte* buffer, orv::TDsRecordInfo* info);
Byte DbfGetPrior(TDsCustomHandle* handle, Byte* buffer, orv::TDsRecordInfo* info);
Byte DbfGetCurrent(TDsCustomHandle* handle, Byte* buffer, orv::TDsRecordInfo* info);
Byte DbfInitRecord(TDsCustomHandle* handle, Byte* buffer);
// Appends the record; outside a batch the header prefix and the end mark follow at once.
Byte DbfAppendRecord(TDsCustomHandle* handle, const Byte* buffer);
// New records always go to the end of the file: the same as DbfAppendRecord.
Byte DbfInsertRecord(TDsCustomHandle* handle, const Byte* buffer);
Byte DbfModifyRecord(TDsCustomHandle* handle, const Byte* buffer);
// Marks the cursor's record deleted and writes the header prefix (inside a batch: at its end).
Byte DbfDeleteRecord(TDsCustomHandle* handle);
// Records of the header, deleted ones included.
Byte DbfGetRecordCount(TDsCustomHandle* handle, Integer& count);
Byte DbfBeginBatch(TDsCustomHandle* handle);
Byte DbfEndBatch(TDsCustomHandle* handle);
// See TDsCustomHandle::Locate.
Byte DbfLocate(TDsCustomHandle* handle, const AnsiString& fields, const Variant& values,
               bool caseInsensitive, bool partialKey);
// Decodes / encodes field `fieldNo` (from 1) of `record` through the field codec.
Byte DbfGetField(TDsCustomHandle* handle, Integer fieldNo, const Byte* record, void* destination,
                 bool& isNull);
Byte DbfPutField(TDsCustomHandle* handle, Integer fieldNo, Byte* record, const void* value);
// The record size, and the data size (the record without its deletion byte); 0 without a handle.
Integer DbfGetRecordSize(TDsCustomHandle* handle);
Integer DbfGetDataSize(TDsCustomHandle* handle);
