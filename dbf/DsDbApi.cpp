#include "dbf/DsDbApi.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "dbf/DsDbParser.h"
#include "dbf/DsDbUtils.h"
#include "platform/dataset/DataSet.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/SysUtils.h"

AnsiString DsErrorMessage(Integer code) {
  if (code >= 0 && code < DsErrorCount) return DsErrorTexts[code];
  AnsiString text = SUnknownErrorCode;
  const std::size_t at = text.find("%d");
  return text.replace(at, 2, std::to_string(code));
}

Integer DsCheck(Integer code) {
  const Integer low = code & 0xFF;
  if (low != 0) throw EDatabaseError(DsErrorMessage(low));
  return code;
}

bool DsSameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (DsUpperCaseTable[static_cast<Byte>(a[i])] != DsUpperCaseTable[static_cast<Byte>(b[i])])
      return false;
  return true;
}

// ---- TDsDiskFile ----

namespace orv {

std::unique_ptr<TDsDiskFile> TDsDiskFile::Open(const AnsiString& fileName, Word mode) {
  const Integer handle = FileOpen(fileName, mode);
  if (handle < 0) return nullptr;
  return std::unique_ptr<TDsDiskFile>(new TDsDiskFile(handle));
}

TDsDiskFile::~TDsDiskFile() { FileClose(FHandle); }

bool TDsDiskFile::Seek(Int64 position) {
  if (position < 0) return false;
  FPosition = position;
  return true;
}

Int64 TDsDiskFile::GetSize() { return FileSize(FHandle); }

bool TDsDiskFile::SyncPosition() {
  if (FFilePosition == FPosition) return true;
  if (FileSeek(FHandle, FPosition, FILE_BEGIN) != FPosition) {
    FFilePosition = -1;
    return false;
  }
  FFilePosition = FPosition;
  return true;
}

Integer TDsDiskFile::ReadFile(void* buffer, Integer count) {
  if (!SyncPosition()) return -1;
  const Integer got = FileRead(FHandle, buffer, count);
  if (got < 0) {
    FFilePosition = -1;
    return -1;
  }
  FFilePosition += got;
  return got;
}

Integer TDsDiskFile::Read(void* buffer, Integer count) {
  if (count <= 0) return 0;
  const Int64 start = FPosition;
  Integer got;
  if (start >= FWindowStart && start + count <= FWindowStart + FWindowLength) {
    std::memcpy(buffer, FWindow.data() + (start - FWindowStart), std::size_t(count));
    got = count;
  } else if (start == FLastReadEnd && count < kReadAhead) {
    // A scan: fill the window from here and serve the read from it.
    if (FWindow.empty()) FWindow.resize(kReadAhead);
    FWindowLength = 0;
    const Integer filled = ReadFile(FWindow.data(), kReadAhead);
    if (filled < 0) return -1;
    FWindowStart = start;
    FWindowLength = filled;
    got = filled < count ? filled : count;
    if (got > 0) std::memcpy(buffer, FWindow.data(), std::size_t(got));
  } else {
    got = ReadFile(buffer, count);
    if (got < 0) return -1;
  }
  FPosition = start + got;
  FLastReadEnd = FPosition;
  return got;
}

Integer TDsDiskFile::Write(const void* buffer, Integer count) {
  if (count <= 0) return 0;
  const Int64 start = FPosition;
  if (!SyncPosition()) return -1;
  const Integer written = FileWrite(FHandle, buffer, count);
  if (written < 0) {
    FFilePosition = -1;
    return -1;
  }
  FFilePosition += written;
  FPosition = start + written;
  // Keep the window true to the file where the write overlaps it.
  const Int64 from = start > FWindowStart ? start : FWindowStart;
  const Int64 to = std::min<Int64>(start + written, FWindowStart + FWindowLength);
  if (from < to)
    std::memcpy(FWindow.data() + (from - FWindowStart), static_cast<const Byte*>(buffer) + (from - start),
                std::size_t(to - from));
  return written;
}

}  // namespace orv

// ---- TDsCustomHandle ----

namespace {

// A block never grows beyond this, whatever the records per block asked for.
constexpr Int64 kMaxBlockBytes = 16 * 1024 * 1024;
// What a filtered scan reads at once.
constexpr std::size_t kScanBlockBytes = std::size_t(1) << 20;
constexpr Byte kBlank = 0x20;
constexpr Byte kDeleted = 0x2A;

}  // namespace

TDsCustomHandle::TDsCustomHandle() = default;

TDsCustomHandle::~TDsCustomHandle() = default;

void TDsCustomHandle::SetHeader(std::unique_ptr<TDsCustomHeader> value) {
  FHeader = std::move(value);
  if (FFilter) FFilter->InvalidateRecordTest();  // its layouts were those of the old header
}

Byte TDsCustomHandle::TranslateToFile(void* bytes, Integer count) const {
  return DsTranslateToFile(FCodePage, bytes, count);
}

Byte TDsCustomHandle::TranslateFromFile(void* bytes, Integer count) const {
  return DsTranslateFromFile(FCodePage, bytes, count);
}

void TDsCustomHandle::AttachFile(const AnsiString& fileName, std::unique_ptr<orv::IDsFile> file,
                                 bool exclusive, bool readOnly, bool fileReadOnly,
                                 const orv::TDsOpenParams* params) {
  FFileName = fileName;
  FFile = std::move(file);
  FExclusive = exclusive;
  FReadOnly = readOnly;
  FFileReadOnly = fileReadOnly;
  if (params) {
    FShowDeleted = params->ShowDeleted;
    FCodePage = params->CodePage;
    FBlockCapacity = params->BufferRecords;
  } else {
    FShowDeleted = false;
    FCodePage = ascii_ANSI;
    FBlockCapacity = 100;
  }
  FCursor = 0;
  FCurrentRecord = nullptr;
}

void TDsCustomHandle::SetBufferRecords(Integer value) {
  const Integer recordSize = GetRecordSize() > 0 ? GetRecordSize() : 1;
  const Int64 most = std::max<Int64>(1, kMaxBlockBytes / recordSize);
  FBlockCapacity = static_cast<Integer>(std::clamp<Int64>(value, 1, most));
  ResetBlock();
}

void TDsCustomHandle::ResetBlock() {
  // The current record must not point into memory that is about to move.
  if (FCurrentRecord && !FBlock.empty() && FCurrentRecord >= FBlock.data() &&
      FCurrentRecord < FBlock.data() + FBlock.size())
    FCurrentRecord = nullptr;
  FBlock.assign(std::size_t(FBlockCapacity) * std::size_t(std::max(GetRecordSize(), 0)), kBlank);
  FBlockFirst = 1;
  FBlockCount = 0;
}

Integer TDsCustomHandle::GetRecordCount() const { return FHeader ? FHeader->GetRecordCount() : 0; }

Integer TDsCustomHandle::GetRecordSize() const { return FHeader ? FHeader->GetRecordSize() : 0; }

Byte TDsCustomHandle::GetRecordState(const Byte* record) const {
  return record && record[0] == kDeleted ? orv::dsRecDeleted : orv::dsRecActive;
}

Byte TDsCustomHandle::GetDeletionByte(Byte state) const {
  return state == orv::dsRecDeleted ? kDeleted : kBlank;
}

Int64 TDsCustomHandle::RecordOffset(Integer n) const {
  return Int64(FHeader->GetHeaderSize()) + Int64(n - 1) * Int64(GetRecordSize());
}

// ---- navigation ----

Byte TDsCustomHandle::First() {
  FCursor = 0;
  return dsErrNone;
}

Byte TDsCustomHandle::Last() {
  FCursor = GetRecordCount() + 1;
  return dsErrNone;
}

Byte TDsCustomHandle::GoTo(Integer n) {
  FCursor = n;
  return dsErrNone;
}

Byte TDsCustomHandle::FetchRecord(Integer n, TDirection direction, Byte notThere, bool skipping) {
  if (!FFile || !FHeader) return notThere;
  if (BlockHolds(n)) {
    // The common case of a scan: one look at the record size.
    const Integer size = GetRecordSize();
    if (size <= 0) return notThere;
    FCurrentRecord = FBlock.data() + std::size_t(n - FBlockFirst) * std::size_t(size);
    return dsErrNone;
  }
  if (GetRecordSize() <= 0) return notThere;
  {
    if (FBlock.empty()) ResetBlock();
    const Integer first = direction == dirForward ? n : std::max(1, n - FBlockCapacity + 1);
    std::size_t bytes = std::size_t(FBlockCapacity) * std::size_t(GetRecordSize());
    if (skipping && direction == dirForward && bytes < kScanBlockBytes) {
      // A step that passes over hidden records reads on in large blocks, about as
      // fast as the system gives the file; unfiltered browsing keeps blocks of BufferRecords.
      bytes = kScanBlockBytes / std::size_t(GetRecordSize()) * std::size_t(GetRecordSize());
      if (FBlock.size() < bytes) {
        FCurrentRecord = nullptr;
        FBlock.resize(bytes, kBlank);
      }
    }
    FBlockFirst = first;
    FBlockCount = 0;
    if (!FFile->Seek(RecordOffset(first))) return dsErrCannotSeekFile;
    const Integer got = FFile->Read(FBlock.data(), static_cast<Integer>(bytes));
    if (got < 0) return dsErrCannotReadFile;
    FBlockCount = got / GetRecordSize();
    if (!BlockHolds(n)) return notThere;
  }
  FCurrentRecord = BlockRecord(n);
  return dsErrNone;
}

void TDsCustomHandle::FillInfo(Integer n, orv::TDsRecordInfo* info) const {
  if (!info) return;
  info->RecNo = n;
  info->State = GetRecordState(FCurrentRecord);
  info->Deleted = info->State == orv::dsRecDeleted;
}

bool TDsCustomHandle::Visible(orv::TDsRecordInfo& info) {
  return (!info.Deleted || FShowDeleted) && AcceptRecord();
}

Byte TDsCustomHandle::Step(Byte* buffer, orv::TDsRecordInfo* info, TDirection direction) {
  const Integer count = GetRecordCount();
  orv::TDsRecordInfo local;
  bool skipping = false;
  // Forward, the filter's record test passes over what it rejects a block at a time.
  const bool tested = direction == dirForward && FFilter && FFilter->HasRecordTest();
  for (;;) {
    if (direction == dirForward) {
      if (FCursor <= count) ++FCursor;
      if (FCursor > count) return dsErrEndOfFile;
    } else {
      if (FCursor > count + 1) FCursor = count + 1;
      if (FCursor > 0) --FCursor;
      if (FCursor == 0) return dsErrBeginOfFile;
    }
    const Byte code =
        FetchRecord(FCursor, direction, direction == dirForward ? dsErrEndOfFile : dsErrBeginOfFile, skipping);
    if (code != dsErrNone) return code;
    if (tested) {
      const Integer last = std::min(count, FBlockFirst + FBlockCount - 1);
      const Integer rejected = FFilter->SkipRejected(FCurrentRecord, last - FCursor + 1, GetRecordSize());
      if (rejected > 0) {
        skipping = true;
        FCursor += rejected - 1;
        if (FCursor >= last) continue;  // the rest of the block is rejected
        ++FCursor;
        FCurrentRecord = BlockRecord(FCursor);
      }
    }
    FillInfo(FCursor, &local);
    if (Visible(local)) {
      if (info) *info = local;
      std::memcpy(buffer, FCurrentRecord, std::size_t(GetRecordSize()));
      return dsErrNone;
    }
    skipping = true;
  }
}

Byte TDsCustomHandle::GetNext(Byte* buffer, orv::TDsRecordInfo* info) {
  return Step(buffer, info, dirForward);
}

Byte TDsCustomHandle::GetPrior(Byte* buffer, orv::TDsRecordInfo* info) {
  return Step(buffer, info, dirBackward);
}

Byte TDsCustomHandle::GetCurrent(Byte* buffer, orv::TDsRecordInfo* info) {
  if (FCursor > GetRecordCount()) return dsErrEndOfFile;
  if (FCursor < 1) return dsErrBeginOfFile;
  const Byte code = FetchRecord(FCursor, dirForward, dsErrEndOfFile);
  if (code != dsErrNone) return code;
  orv::TDsRecordInfo local;
  FillInfo(FCursor, &local);
  if (info) *info = local;
  std::memcpy(buffer, FCurrentRecord, std::size_t(GetRecordSize()));
  if (local.Deleted && !FShowDeleted) return dsErrRecordDeleted;
  return AcceptRecord() ? dsErrNone : dsErrEndOfFile;
}

// ---- writes ----

Byte TDsCustomHandle::WriteAt(Int64 offset, const void* bytes, Integer count) {
  if (!FFile->Seek(offset)) return dsErrCannotSeekFile;
  return FFile->Write(bytes, count) == count ? dsErrNone : dsErrCannotWriteFile;
}

Byte TDsCustomHandle::AppendRecord(const Byte* buffer, bool writeHeader) {
  if (GetReadOnly()) return dsErrTableReadOnly;
  if (!FFile || !FHeader) return dsErrInvalidHandle;
  const Integer count = GetRecordCount();
  if (count == std::numeric_limits<Integer>::max()) return dsErrCannotWriteFile;
  const Integer size = GetRecordSize();
  const Integer n = count + 1;
  const Byte code = WriteAt(RecordOffset(n), buffer, size);
  if (code != dsErrNone) return code;
  FHeader->SetRecordCount(n);
  FCursor = n;
  if (FBlock.empty()) ResetBlock();
  if (FBlockCount > 0 && FBlockFirst + FBlockCount - 1 == count && FBlockCount < FBlockCapacity) {
    ++FBlockCount;
  } else {
    FBlockFirst = n;
    FBlockCount = 1;
  }
  FCurrentRecord = BlockRecord(n);
  std::memcpy(FCurrentRecord, buffer, std::size_t(size));
  if (FBatch) {
    FPendingPrefix = FPendingEndMark = true;
    return dsErrNone;
  }
  return writeHeader ? FHeader->WritePrefix() : dsErrNone;
}

Byte TDsCustomHandle::UpdateRecord(const Byte* buffer) {
  if (GetReadOnly()) return dsErrTableReadOnly;
  if (!FFile || !FHeader) return dsErrInvalidHandle;
  if (FCursor < 1 || FCursor > GetRecordCount()) return dsErrNotCurrentRecord;
  const Integer size = GetRecordSize();
  const Byte code = WriteAt(RecordOffset(FCursor), buffer, size);
  if (code != dsErrNone) return code;
  if (BlockHolds(FCursor)) std::memcpy(BlockRecord(FCursor), buffer, std::size_t(size));
  return dsErrNone;
}

Byte TDsCustomHandle::DeleteRecord(bool writeHeader) {
  if (GetReadOnly()) return dsErrTableReadOnly;
  if (!FFile || !FHeader) return dsErrInvalidHandle;
  if (FCursor < 1 || FCursor > GetRecordCount()) return dsErrNotCurrentRecord;
  const Byte mark = GetDeletionByte(orv::dsRecDeleted);
  const Byte code = WriteAt(RecordOffset(FCursor), &mark, 1);
  if (code != dsErrNone) return code;
  if (BlockHolds(FCursor)) BlockRecord(FCursor)[0] = mark;
  if (!writeHeader) return dsErrNone;
  if (FBatch) {
    FPendingPrefix = true;
    return dsErrNone;
  }
  return FHeader->WritePrefix();
}

Byte TDsCustomHandle::InitRecord(Byte* buffer) const {
  const Integer size = GetRecordSize();
  if (size > 0) std::memset(buffer, kBlank, std::size_t(size));
  if (!FHeader) return dsErrNone;
  for (Integer i = 0; i < FHeader->GetFieldCount(); ++i) {
    const TDsCustomField* field = FHeader->GetField(i);
    if (field->GetFieldType() != ftAutoInc || field->GetLength() < 4) continue;
    Byte* p = buffer + field->GetOffset();
    p[0] = 1;
    p[1] = p[2] = p[3] = 0;
  }
  return dsErrNone;
}

Byte TDsCustomHandle::WriteHeader(bool endMark) {
  if (GetReadOnly()) return dsErrTableReadOnly;
  if (!FHeader) return dsErrInvalidHandle;
  const Byte code = FHeader->WritePrefix();
  if (code != dsErrNone || !endMark) return code;
  return FHeader->WriteEndMark();
}

Byte TDsCustomHandle::BeginBatch() {
  FBatch = true;
  return dsErrNone;
}

Byte TDsCustomHandle::EndBatch() {
  FBatch = false;
  const bool prefix = FPendingPrefix, endMark = FPendingEndMark;
  FPendingPrefix = FPendingEndMark = false;
  if (!prefix && !endMark) return dsErrNone;
  if (!FHeader) return dsErrInvalidHandle;
  Byte code = prefix ? FHeader->WritePrefix() : dsErrNone;
  if (code == dsErrNone && endMark) code = FHeader->WriteEndMark();
  return code;
}

// ---- filter ----

Byte TDsCustomHandle::SetFilter(const AnsiString& text, Byte options) {
  if (text.empty()) return ClearFilter();
  if (FFilter && FFilter->GetText() == text) {
    // The tokens stay; options change only how texts compare.
    FFilter->SetOptions(options);
    return dsErrNone;
  }
  auto filter = std::make_unique<TDsDbParser>(this);
  filter->SetText(text);
  filter->SetOptions(options);
  filter->Check();  // raises for a refused text; the installed filter stays
  FFilter = std::move(filter);
  return dsErrNone;
}

void TDsCustomHandle::SetCodePage(CP_TYPE value) {
  if (value == FCodePage) return;
  FCodePage = value;
  // The filter's record test holds the code page's translation of its patterns.
  if (FFilter) FFilter->InvalidateRecordTest();
}

Byte TDsCustomHandle::ClearFilter() {
  FFilter.reset();
  return dsErrNone;
}

const AnsiString& TDsCustomHandle::GetFilterText() const {
  static const AnsiString empty;
  return FFilter ? FFilter->GetText() : empty;
}

Byte TDsCustomHandle::GetFilterOptions() const { return FFilter ? FFilter->GetOptions() : 0; }

bool TDsCustomHandle::AcceptRecord() { return !FFilter || FFilter->Accept(); }

// ---- search ----

namespace {

bool IsTextType(TFieldType type) {
  return type == ftString || type == ftFixedChar || type == ftWideString || type == ftMemo ||
         type == ftFmtMemo;
}

// The value of a field on a record as a variant (Null when the field is null).
Variant FieldValue(const TDsCustomField* field, const Byte* record) {
  if (field->IsNull(record)) return Null();
  switch (field->GetFieldType()) {
    case ftSmallint:
    case ftWord:
    case ftInteger:
    case ftAutoInc:
      return field->AsInteger(record);
    case ftBoolean:
      return field->AsBoolean(record);
    case ftFloat:
    case ftCurrency:
    case ftBCD:
      return field->AsFloat(record);
    case ftDate:
    case ftTime:
    case ftDateTime:
      return VarFromDateTime(field->AsDateTime(record));
    default:
      return field->AsString(record);
  }
}

bool KeyMatches(const TDsCustomField* field, const Byte* record, const Variant& key,
                bool caseInsensitive, bool partialKey) {
  if (VarIsNull(key) || VarIsEmpty(key)) return field->IsNull(record);
  if (field->IsNull(record)) return false;
  try {
    if (IsTextType(field->GetFieldType())) {
      AnsiString text = field->AsString(record);
      const AnsiString keyText = VarToStr(key);
      if (partialKey && text.size() > keyText.size()) text.resize(keyText.size());
      return caseInsensitive ? AnsiCompareText(text, keyText) == 0 : AnsiCompareStr(text, keyText) == 0;
    }
    return VarCompareValue(FieldValue(field, record), key) == vrEqual;
  } catch (const Exception&) {
    // A key that cannot be compared with the field's kind matches no record.
    return false;
  }
}

}  // namespace

Byte TDsCustomHandle::Locate(const AnsiString& fields, const Variant& values, bool caseInsensitive,
                             bool partialKey) {
  if (!FHeader) return dsErrInvalidHandle;
  std::vector<const TDsCustomField*> keyFields;
  std::vector<Variant> keys;
  const bool isArray = VarIsArray(values);
  for (const AnsiString& name : orv::ExtractFieldNames(fields)) {
    const TDsCustomField* field = FHeader->FindField(name);
    if (!field) return dsErrFieldNotFound;
    const Integer k = static_cast<Integer>(keyFields.size());
    if (isArray) {
      if (values.LowBound() + k > values.HighBound()) return dsErrInvalidParameter;
      keys.push_back(values.GetElement(values.LowBound() + k));
    } else {
      if (k > 0) return dsErrInvalidParameter;
      keys.push_back(values);
    }
    keyFields.push_back(field);
  }
  if (keyFields.empty()) return dsErrFieldNotFound;

  const Integer saved = FCursor;
  std::vector<Byte> scratch(std::size_t(std::max(GetRecordSize(), 1)));
  First();
  while (GetNext(scratch.data()) == dsErrNone) {
    bool match = true;
    for (std::size_t i = 0; i < keyFields.size() && match; ++i)
      match = KeyMatches(keyFields[i], FCurrentRecord, keys[i], caseInsensitive, partialKey);
    if (match) return dsErrNone;
  }
  FCursor = saved;
  return dsErrRecordNotFound;
}

// ---- TDsCustomHeader ----

TDsCustomHeader::~TDsCustomHeader() = default;

TDsCustomField* TDsCustomHeader::GetField(Integer index) const {
  if (index < 0 || index >= GetFieldCount()) return nullptr;
  return FFields[static_cast<std::size_t>(index)].get();
}

TDsCustomField* TDsCustomHeader::FindField(std::string_view name) const {
  for (const auto& field : FFields)
    if (DsSameName(field->GetName(), name)) return field.get();
  return nullptr;
}

Byte TDsCustomHeader::SeekToStart() {
  return FFile && FFile->Seek(0) ? dsErrNone : dsErrCannotSeekFile;
}

// ---- TDsCustomField ----

namespace {

// Room for the usual native values: a text of 255 bytes and its zero; longer texts (character
// fields of up to 65 535 bytes) take a buffer of their size.
constexpr Integer kValueBufferSize = 264;

struct TValueBuffer {
  explicit TValueBuffer(const TDsCustomField& field) {
    const Integer size = field.GetDataSize();
    if (size > kValueBufferSize) {
      Large.resize(std::size_t(size));
      Bytes = Large.data();
    }
  }
  TValueBuffer(const TValueBuffer&) = delete;
  TValueBuffer& operator=(const TValueBuffer&) = delete;
  alignas(8) Byte Small[kValueBufferSize];
  std::vector<Byte> Large;
  Byte* Bytes = Small;
  std::size_t Size() const { return Large.empty() ? std::size_t(kValueBufferSize) : Large.size(); }
};

template <typename T>
T Load(const TValueBuffer& buffer) {
  T value;
  std::memcpy(&value, buffer.Bytes, sizeof value);
  return value;
}

// A double truncated toward zero into the int32 range (NaN gives 0).
Integer TruncToInteger(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<Integer>::max();
  if (value <= -2147483648.0) return std::numeric_limits<Integer>::min();
  return static_cast<Integer>(value);
}

}  // namespace

TDsCustomHandle* TDsCustomField::GetHandle() const { return FHeader ? FHeader->GetHandle() : nullptr; }

const Byte* TDsCustomField::ResolveRecord(const Byte* record) const {
  if (record) return record;
  const TDsCustomHandle* handle = GetHandle();
  return handle ? handle->GetCurrentRecord() : nullptr;
}

Byte* TDsCustomField::ResolveRecord(Byte* record) const {
  if (record) return record;
  const TDsCustomHandle* handle = GetHandle();
  return handle ? handle->GetCurrentRecord() : nullptr;
}

void TDsCustomField::GetText(const Byte* record, AnsiString& value, bool& isNull) const {
  const std::size_t size = static_cast<std::size_t>(GetDataSize());
  value.assign(size, '\0');
  GetData(record, value.data(), isNull);
  if (isNull)
    value.clear();
  else
    value.resize(strnlen(value.data(), size));
}

bool TDsCustomField::IsNull(const Byte* record) const {
  bool isNull = true;
  GetData(record, nullptr, isNull);
  return isNull;
}

bool TDsCustomField::AsBoolean(const Byte* record) const {
  TValueBuffer buffer(*this);  // written by GetData whenever the field is not null
  bool isNull = true;
  GetData(record, buffer.Bytes, isNull);
  return !isNull && buffer.Bytes[0] != 0;
}

// The value of a numeric field as a double (every int32 fits exactly); false for a null field
// or one of another type.
bool TDsCustomField::NumericValue(const Byte* record, double& value) const {
  TValueBuffer buffer(*this);  // written by GetData whenever the field is not null
  bool isNull = true;
  GetData(record, buffer.Bytes, isNull);
  if (isNull) return false;
  switch (GetFieldType()) {
    case ftSmallint:
    case ftBoolean:  // 16-bit: -1 for True
      value = Load<SmallInt>(buffer);
      return true;
    case ftWord:
      value = Load<Word>(buffer);
      return true;
    case ftInteger:
    case ftAutoInc:
      value = Load<Integer>(buffer);
      return true;
    case ftFloat:
    case ftCurrency:
      value = Load<double>(buffer);
      return true;
    default:
      return false;
  }
}

Integer TDsCustomField::AsInteger(const Byte* record) const {
  double value = 0;
  return NumericValue(record, value) ? TruncToInteger(value) : 0;
}

double TDsCustomField::AsFloat(const Byte* record) const {
  double value = 0;
  return NumericValue(record, value) ? value : 0;
}

AnsiString TDsCustomField::AsString(const Byte* record) const {
  TValueBuffer buffer(*this);  // written by GetData whenever the field is not null
  bool isNull = true;
  GetData(record, buffer.Bytes, isNull);
  if (isNull) return AnsiString();
  switch (GetFieldType()) {
    case ftString: {
      const auto* text = reinterpret_cast<const char*>(buffer.Bytes);
      const void* end = std::memchr(text, 0, buffer.Size());
      return AnsiString(text, end ? std::size_t(static_cast<const char*>(end) - text) : buffer.Size());
    }
    case ftSmallint:
      return IntToStr(Integer(Load<SmallInt>(buffer)));
    case ftWord:
      return IntToStr(Integer(Load<Word>(buffer)));
    case ftInteger:
    case ftAutoInc:
      return IntToStr(Load<Integer>(buffer));
    case ftBoolean:
      return DsBoolToStr(Load<SmallInt>(buffer) != 0);
    case ftFloat:
      return FloatToStr(Load<double>(buffer));
    case ftCurrency: {
      Currency amount;
      return GetCurrency(record, amount) ? CurrToStr(amount) : AnsiString();
    }
    default:
      return AnsiString();
  }
}

bool TDsCustomField::GetCurrency(const Byte* record, Currency& value) const {
  double amount = 0;
  if (GetFieldType() != ftCurrency || !NumericValue(record, amount)) return false;
  // The amounts a currency holds, times 10 000, fit an int64; a double past them does not.
  if (!(amount > -922337203685477.0 && amount < 922337203685477.0)) return false;
  value = Currency::FromDouble(amount);
  return true;
}

TDateTime TDsCustomField::AsDateTime(const Byte* record) const {
  TValueBuffer buffer(*this);  // written by GetData whenever the field is not null
  bool isNull = true;
  GetData(record, buffer.Bytes, isNull);
  if (isNull) return 0;
  switch (GetFieldType()) {
    case ftDate:
      return static_cast<TDateTime>(Load<Integer>(buffer) - DateDelta);
    case ftTime:
      return static_cast<TDateTime>(Load<Integer>(buffer)) / MSecsPerDay;
    case ftDateTime:
    {
      // The decoder gives only milliseconds of a valid time stamp; rounding must not carry the
      // last millisecond of year 9999 past it.
      const double mSecs = std::floor(Load<double>(buffer) + 0.5);
      const double last = (DateDelta + 2958466.0) * MSecsPerDay - 1.0;  // 9999-12-31 23:59:59.999
      return TimeStampToDateTime(MSecsToTimeStamp(mSecs < last ? mSecs : last));
    }
    default:
      return 0;
  }
}
