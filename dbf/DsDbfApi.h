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
//    10   2  record size, the deletion byte included; the records the file holds after the
//             header size bound the record count (a writer that stopped in the middle of an
//             append leaves a count past them: the records that are there are the table)
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
//   a character field longer than 255 keeps its length's high byte in the decimals byte; that
//   long length is taken where the field lengths then add up to the record size, the short one
//   where they add up without it (a header where neither adds up is refused)
//   one byte 0x0D ends the descriptors (without it they end at the header size)
//
//   records from the header size on, each: the deletion byte (" " active, "*" deleted), then
//   the fields in descriptor order without gaps; one byte 0x1A follows the last record.
//
// Layout of a memo file, beside the table with the extension ".fpt" (FoxPro) or ".dbt" (every
// other level). Memo ("M"), binary ("B"), general ("G") and picture ("P") fields hold the number
// of the block where their content starts; a blank field or a number below 1 is no memo.
//
//   header, 512 bytes (block 0 and the blocks it covers; never memo content)
//     0   4  next free block (not used by the reader)
//     dBASE IV, V, VII: 20  2  block size, little-endian
//     FoxPro:            6  2  block size, big-endian
//     dBASE III: no block size; blocks are 512 bytes (so are those of a size word 0)
//   block n starts at n * block size; a memo runs on through the blocks that follow
//     dBASE IV, V, VII: FF FF 08 00, the memo's length + 8 (4 bytes little-endian), content
//     FoxPro:           block type (4 bytes), the memo's length (4 bytes big-endian), content
//     dBASE III:        content, ended by 0x1A 0x1A (or by the end of the file); a dBASE IV
//                       level block without the FF FF 08 00 mark is read this way too, since
//                       such tables often carry a dBASE III memo file
#pragma once

#include <array>
#include <memory>

#include "dbf/DsDbApi.h"

// Table levels, numbered as the header reports them.
enum TDbfLevel : Byte { dlUnknown, dlDBaseIII, dlDBaseIV, dlDBaseV, dlDBaseVII, dlFoxPro };

class TDbfHeader;

namespace orv {
// The value of a number field's bytes ("N", "F") when they hold the usual form (blanks, a sign,
// at most 15 digits around one "."), bit for bit what TDbfField decodes; False for any other
// form, which only the codec decides (null included). For callers that read many records.
bool DbfReadPlainNumber(const Byte* p, Integer length, double& value);
// The same reading short of its last step: the value is scaled / DbfDecimalPowers[decimals],
// where `scaled` is the exact whole number of the digits with the text's sign ("-0" gives
// -0.0) and `decimals` is 0..15.
bool DbfReadPlainDecimal(const Byte* p, Integer length, double& scaled, Integer& decimals);
// The same with `scaled` as a whole number (|scaled| < 10^15; "-0" gives 0).
bool DbfReadPlainScaled(const Byte* p, Integer length, Int64& scaled, Integer& decimals);
inline constexpr double DbfDecimalPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
// Numbers are read from at most this many characters of a field.
inline constexpr Integer DbfMaxNumberText = 32;
}  // namespace orv

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
//   "T"            ftDateTime  double: time-stamp milliseconds (FoxPro date-time: the Julian
//                              day and the milliseconds since midnight, 4 bytes little-endian
//                              each; day 0 is no date-time)
//   "Y"            ftCurrency  double (FoxPro: int64 little-endian, times 10 000; GetCurrency
//                              reads it exactly)
//   "B" of 8 bytes in a FoxPro table  ftFloat  double (8 bytes little-endian)
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
  bool GetCurrency(const Byte* record, Currency& value) const override;
  void GetText(const Byte* record, AnsiString& value, bool& isNull) const override;
  // For a caller that reads the same fields of many records (a data controller's load): what
  // GetText and GetData give for `record` (not nil), a null value as False (and an empty text).
  bool ReadText(const Byte* record, AnsiString& value) const;
  bool ReadFloat(const Byte* record, double& value) const;

  // Whether the field's content lies in the memo file ("M", "G", "P", and "B" but for the
  // FoxPro double).
  bool IsBlob() const;

  // The field type of a type letter (FoxPro's 8-byte "B" is ftFloat, whatever this says).
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
  // The read table of the code page texts were last read in (null: the bytes are the text's
  // own), so that a read of many records looks it up once.
  mutable const Byte* FReadTable = nullptr;
  mutable CP_TYPE FReadTableCodePage = ascii_ANSI;
  mutable bool FReadTableKnown = false;
};

// The header of an open .DBF table: the prefix as read and the field descriptors.
class TDbfHeader : public TDsCustomHeader {
 public:
  TDbfHeader(TDsCustomHandle* handle, orv::IDsFile* file);

  // Reads the prefix and the descriptors: 0, or dsErrCannotSeekFile, dsErrCannotReadFile,
  // dsErrInvalidDatabaseFile (an unknown level or a header that contradicts itself: a header
  // size below the prefix, a record size of 0, a descriptor cut off by the end of the header,
  // fields that do not fit the record size, long character fields whose lengths add up to the
  // record size neither way) or dsErrTableCrypted. After a failure the header holds no fields.
  // A record count past the records the file holds is lowered to them.
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

class TDbfHandle;

// The memo file of an open table: measures and reads the memo that a blob field of a record
// points at (see the memo layout above).
//
// Every block number and length is checked against the memo file's size before anything is
// read or allocated: a memo that would start inside the 512-byte header or past the end of the
// file, or run past its end, gives dsErrInvalidBlock. Content of "M" fields is translated from
// the table's code page; other blob fields are passed as they are. A table without a memo file
// opens; its memos then fail with dsErrCannotOpenFile (blank memos read as empty), and the
// table component names the missing file in its error.
//
// The engine stores no memo content: writes that would change a memo are refused (see
// DbfPutBlob).
class TDbfBlobHandle {
 public:
  static constexpr Integer kHeaderSize = 512;

  // Opens the memo file beside the owner's table for reading, with the table's sharing.
  explicit TDbfBlobHandle(TDbfHandle* owner);
  // Over a memo file that is already open (null: none); memory files in tests.
  TDbfBlobHandle(TDbfHandle* owner, std::unique_ptr<orv::IDsFile> file);
  TDbfBlobHandle(const TDbfBlobHandle&) = delete;
  TDbfBlobHandle& operator=(const TDbfBlobHandle&) = delete;
  ~TDbfBlobHandle();

  orv::IDsFile* GetFile() const { return FFile.get(); }
  // The memo file's name beside the table (empty for a memo file handed over open).
  const AnsiString& GetFileName() const { return FFileName; }
  // Bytes per block as the header gives it for the table's level.
  Integer GetBlockSize() const { return FBlockSize; }
  const Byte* GetHeader() const { return FHeader.data(); }

  // The memo length of field `fieldNo` (from 1) of `record`: 0 for a blank memo; otherwise
  // dsErrCannotOpenFile (no memo file), dsErrCannotSeekFile, dsErrCannotReadFile,
  // dsErrInvalidBlock or dsErrNotBlobField.
  Byte GetBlobSize(const Byte* record, Integer fieldNo, Integer& size);
  // Reads up to `count` bytes of the memo from `offset` on. Fewer bytes than asked for (the
  // memo ends): dsErrEndOfBlob with the bytes read in `bytesRead`; an offset outside the memo:
  // dsErrInvalidBlobOffset; other failures as GetBlobSize.
  Byte GetBlob(const Byte* record, Integer fieldNo, Integer offset, Integer count, void* buffer,
               Integer& bytesRead);

 private:
  // Where a memo's content lies in the file.
  struct TExtent {
    Integer Block = 0;
    Int64 Start = 0;
    Integer Length = 0;
  };
  void ReadHeader();
  // The block number of the field (0 for a blank memo).
  Byte BlockOf(const Byte* record, Integer fieldNo, Integer& block, bool& isMemoText) const;
  // Measures the memo at `block` and remembers it for the reads that follow.
  Byte Measure(Integer block);

  TDbfHandle* FOwner;
  AnsiString FFileName;
  std::unique_ptr<orv::IDsFile> FFile;
  std::array<Byte, kHeaderSize> FHeader{};
  Integer FBlockSize = kHeaderSize;
  // The memo measured last; a read of the same block uses it instead of measuring again (a
  // dBASE III memo is measured by a search through the file).
  TExtent FLast;
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
// A table with blob fields opens its memo file (TDbfBlobHandle) once the header is read.
class TDbfHandle : public TDsCustomHandle {
 public:
  // `params` null: a temporary handle (100 records per block, ascii_ANSI).
  TDbfHandle(const AnsiString& fileName, const orv::TDsOpenParams* params, bool exclusive,
             bool readOnly);
  // Over files that are already open (memory files in tests); `memoFile` may be null.
  TDbfHandle(std::unique_ptr<orv::IDsFile> file, const orv::TDsOpenParams* params, bool readOnly,
             std::unique_ptr<orv::IDsFile> memoFile = nullptr);
  ~TDbfHandle() override;

  TDbfHeader* GetDbfHeader() const { return static_cast<TDbfHeader*>(FHeader.get()); }
  // The memo file; null for a table without blob fields or whose header was refused.
  TDbfBlobHandle* GetBlobHandle() const { return FBlobHandle.get(); }
  // Whether the table has fields whose content lies in a memo file.
  bool HasBlobFields() const;

 private:
  void ReadHeader();

  std::unique_ptr<TDbfBlobHandle> FBlobHandle;
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
// Decodes a text field as TDsCustomField::GetText does.
Byte DbfGetFieldText(TDsCustomHandle* handle, Integer fieldNo, const Byte* record, AnsiString& value,
                     bool& isNull);
// ---- Memos of blob fields (TDbfBlobHandle) ----
// A handle that is not a .DBF handle answers dsErrInvalidHandle; a field that is no blob field
// dsErrNotBlobField.
Byte DbfGetBlobSize(TDsCustomHandle* handle, const Byte* record, Integer fieldNo, Integer& size);
Byte DbfGetBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo, Integer offset,
                Integer count, void* buffer, Integer& bytesRead);
// Opening and releasing a memo need nothing of the file: 0.
Byte DbfOpenBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo);
Byte DbfFreeBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo);
// The engine stores no memo content. Writing `count` bytes at `offset`, or cutting the memo to
// `size` bytes, succeeds only when it changes nothing (no bytes; a memo no longer than the
// size); otherwise the answer is dsErrTableReadOnly for a read-only table and
// dsErrFieldReadOnly for any other, so that a caller never takes an unstored memo for stored.
Byte DbfPutBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo, Integer offset,
                Integer count, const void* buffer);
Byte DbfTruncateBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo, Integer size);

// The record size, and the data size (the record without its deletion byte); 0 without a handle.
Integer DbfGetRecordSize(TDsCustomHandle* handle);
Integer DbfGetDataSize(TDsCustomHandle* handle);
