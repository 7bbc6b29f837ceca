#include "dbf/DsDbfTable.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "dbf/DsDatabase.h"
#include "dbf/DsDbParser.h"
#include "dbf/DsDbUtils.h"
#include "dbf/DsDbfApi.h"
#include "platform/dataset/DBConsts.h"
#include "platform/dataset/FieldDirectRead.h"
#include "platform/runtime/SysUtils.h"
#include "platform/forms/Published.h"

namespace {

// Record information: record number (4 bytes), state, bookmark flag.
constexpr Integer kRecordInfoSize = 6;
constexpr Integer kStateAt = 4;
constexpr Integer kFlagAt = 5;

Integer LoadInt(const Byte* p) {
  Integer value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

void StoreInt(Byte* p, Integer value) { std::memcpy(p, &value, sizeof value); }

bool IsCalculatedKind(const TField* field) {
  return field->GetFieldKind() == fkCalculated || field->GetFieldKind() == fkLookup;
}

// ---- direct reads of many records' fields (a data controller's load) ----
// The same decoding GetFieldText and GetFieldData reach for a stored field of an open table,
// without the field's, the dataset's and the handle's layers between.

bool DirectText(const void* source, TRecordBuffer record, AnsiString& value) {
  return static_cast<const TDbfField*>(source)->ReadText(record, value);
}

bool DirectFloat(const void* source, TRecordBuffer record, double& value) {
  return static_cast<const TDbfField*>(source)->ReadFloat(record, value);
}

bool FindDirectRead(TDataSet* dataSet, TField* field, TFieldDirectRead& read) {
  auto* table = static_cast<TDsDbfTable*>(dataSet);
  TDsCustomHandle* handle = table->GetHandle();
  TDsCustomHeader* header = handle ? handle->GetHeader() : nullptr;
  if (!header || field->GetFieldKind() != fkData || field->IsBlob()) return false;
  const Integer fieldNo = field->GetFieldNo();
  if (fieldNo < 1 || fieldNo > header->GetFieldCount()) return false;
  const auto* dbfField = dynamic_cast<const TDbfField*>(header->GetField(fieldNo - 1));
  if (!dbfField || dbfField->IsBlob()) return false;
  const char letter = dbfField->GetTypeLetter();
  const TClass c = field->ClassType();
  // A text no longer than the field's own data size, which GetFieldText would cut it to.
  if (letter == 'C' && c == TStringField::StaticClass() && field->GetDataSize() >= dbfField->GetLength()) {
    read.Text = DirectText;
  } else if ((letter == 'N' || letter == 'F') && dbfField->GetDataSize() == Integer(sizeof(double)) &&
             (c == TFloatField::StaticClass() || c == TCurrencyField::StaticClass())) {
    read.Float = DirectFloat;
  } else {
    return false;
  }
  read.Source = dbfField;
  return true;
}

// DsCheck for a memo read: a failure of a table whose memo file is missing says which file.
void DsCheckMemoCode(TDsCustomHandle* handle, Byte code) {
  if (code == dsErrNone) return;
  const auto* table = dynamic_cast<TDbfHandle*>(handle);
  const TDbfBlobHandle* memo = table ? table->GetBlobHandle() : nullptr;
  if (memo && !memo->GetFile() && !memo->GetFileName().empty())
    DatabaseErrorFmt(SMemoFileNotFound, {memo->GetFileName()});
  DsCheck(code);
}

}  // namespace

TDsDbfTable::TDsDbfTable(TComponent* owner) : TDataSet(owner) {
  static const bool registered = (RegisterFieldDirectRead(StaticClass(), FindDirectRead), true);
  (void)registered;
}

TDsDbfTable::~TDsDbfTable() {
  // BeforeDestruction closed the cursor; a handle can only remain after a failed teardown.
  if (FHandle) DbfCloseTable(FHandle);
}

void TDsDbfTable::BeforeDestruction() {
  if (FDatabase) FDatabase->UnRegisterClient(this);
  inherited::BeforeDestruction();
}

void TDsDbfTable::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FDatabase) {
    // The connection closed this dataset while it went.
    FDatabase = nullptr;
  }
}

// ---- properties ----

void TDsDbfTable::SetDatabase(TDsDatabase* value) {
  if (value == FDatabase) return;
  CheckInactive();
  if (FDatabase) {
    FDatabase->UnRegisterClient(this);
    FDatabase->RemoveFreeNotification(this);
  }
  FDatabase = value;
  if (FDatabase) {
    FDatabase->RegisterClient(this);
    FDatabase->FreeNotification(this);
  }
}

void TDsDbfTable::SetTableName(const AnsiString& value) {
  if (value == FTableName) return;
  CheckInactive();
  FTableName = value;
  DataEvent(dePropertyChange, 0);
}

void TDsDbfTable::SetBufferRecords(Integer value) {
  if (value == FBufferRecords || value < 1) return;
  CheckInactive();
  FBufferRecords = value;
}

void TDsDbfTable::SetExclusive(bool value) {
  value = value || (FDatabase && FDatabase->GetExclusive());
  if (value == FExclusive) return;
  CheckInactive();
  FExclusive = value;
}

void TDsDbfTable::SetReadOnly(bool value) {
  value = value || (FDatabase && FDatabase->GetReadOnly());
  if (value == FReadOnly) return;
  CheckInactive();
  FReadOnly = value;
}

void TDsDbfTable::SetShowDeleted(bool value) {
  if (value == FShowDeleted) return;
  if (GetActive()) CheckBrowseMode();
  FShowDeleted = value;
  if (!GetActive()) return;
  FHandle->SetShowDeleted(value);
  UpdateCursorPos();
  Resync({});
}

void TDsDbfTable::SetCodePage(CP_TYPE value) {
  if (value == FCodePage) return;
  FCodePage = value;
  if (FHandle) FHandle->SetCodePage(value);
  if (GetActive()) Refresh();
}

void TDsDbfTable::BeginBatch() { DsCheck(DbfBeginBatch(FHandle)); }

void TDsDbfTable::EndBatch() { DsCheck(DbfEndBatch(FHandle)); }

bool TDsDbfTable::GetCanModify() const {
  return inherited::GetCanModify() && !FReadOnly && !(FHandle && FHandle->GetReadOnly());
}

// ---- opening and closing ----

void TDsDbfTable::CheckTableProperties() const {
  auto* self = const_cast<TDsDbfTable*>(this);
  if (!FDatabase) DatabaseError(SMissingDatabase, self);
  if (FTableName.empty()) DatabaseError(SMissingTableName, self);
}

AnsiString TDsDbfTable::TablePath() const {
  return DsIncludeTrailingBackslash(FDatabase->GetDatabaseName()) + ChangeFileExt(FTableName, ".dbf");
}

void TDsDbfTable::OpenCursor(bool infoQuery) {
  if (!FHandle) {
    CheckTableProperties();
    FDatabase->Open();
    orv::TDsOpenParams params;
    params.BufferRecords = FBufferRecords;
    params.ShowDeleted = FShowDeleted;
    params.CodePage = FCodePage;
    const bool readOnly = FReadOnly || FDatabase->GetReadOnly();
    const bool exclusive = FExclusive || FDatabase->GetExclusive();
    DsCheck(DbfOpenTable(TablePath(), readOnly, exclusive, &params, FHandle));
  }
  if (!FHandle) throw ENoResultSet(SErrorCreatingCursor);
  inherited::OpenCursor(infoQuery);
}

void TDsDbfTable::CloseCursor() {
  inherited::CloseCursor();
  if (FHandle) DbfCloseTable(FHandle);
}

void TDsDbfTable::InternalOpen() {
  FRecordSize = DbfGetRecordSize(FHandle);
  SetBookmarkSize(4);
  GetFieldDefs().SetUpdated(false);
  GetFieldDefs().Update();
  if (GetDefaultFields()) CreateFields();
  BindFields(true);
  // One cache slot per blob data field, in field order.
  FBlobIndex.assign(std::size_t(GetFieldDefs().GetCount() + 1), -1);
  FBlobFieldCount = 0;
  for (TField* field : GetFields()) {
    const Integer fieldNo = field->GetFieldNo();
    if (field->GetFieldKind() == fkData && field->IsBlob() && fieldNo > 0 &&
        fieldNo < Integer(FBlobIndex.size()))
      FBlobIndex[std::size_t(fieldNo)] = FBlobFieldCount++;
  }
  FCalcFieldsOffset = FRecordSize;
  FBlobCacheOffset = FCalcFieldsOffset + GetCalcFieldsSize();
  FRecordInfoOffset = FBlobCacheOffset + FBlobFieldCount * Integer(sizeof(AnsiString*));
  FBookmarkOffset = FRecordInfoOffset + kRecordInfoSize;
  FBufferSize = FBookmarkOffset + 4;
  InstallFilter(GetFilter(), GetFiltered(), GetFilterOptions());
}

void TDsDbfTable::InternalClose() {
  BindFields(false);
  if (GetDefaultFields()) DestroyFields();
}

void TDsDbfTable::InitFieldDefs() {
  if (FHandle) {
    InternalInitFieldDefs();
    return;
  }
  CheckTableProperties();
  TDsCustomHandle* handle = nullptr;
  DsCheck(DbfOpenTable(TablePath(), true, false, nullptr, handle));
  try {
    BuildFieldDefs(handle);
  } catch (...) {
    DbfCloseTable(handle);
    throw;
  }
  DbfCloseTable(handle);
}

void TDsDbfTable::InternalInitFieldDefs() { BuildFieldDefs(FHandle); }

void TDsDbfTable::BuildFieldDefs(TDsCustomHandle* handle) {
  TFieldDefs& defs = GetFieldDefs();
  defs.Clear();
  const TDsCustomHeader* header = handle->GetHeader();
  for (Integer i = 0; i < header->GetFieldCount(); ++i) {
    const TDsCustomField* field = header->GetField(i);
    const auto* dbfField = dynamic_cast<const TDbfField*>(field);
    const AnsiString& base = dbfField ? dbfField->GetDescriptorName() : field->GetName();
    AnsiString name = base;
    for (Integer counter = 1; defs.IndexOf(name) >= 0; ++counter) name = Format("%s_%d", {base, counter});
    const TFieldType type = field->GetFieldType();
    Integer size = 0;
    switch (type) {
      case ftString:
      case ftBytes:
      case ftVarBytes:
      case ftBlob:
      case ftMemo:
      case ftGraphic:
      case ftFmtMemo:
      case ftParadoxOle:
        size = field->GetLength();
        break;
      case ftBCD:
        size = field->GetDecimals();
        break;
      default:
        break;
    }
    TFieldDef* def = defs.Add(name, type, size);
    if (type == ftBCD) def->SetPrecision(32);
    if (type == ftAutoInc) def->SetAttributes(def->GetAttributes() | faReadonly);
  }
}

// ---- record buffers ----

TRecordBuffer TDsDbfTable::AllocRecordBuffer() { return new Byte[std::size_t(FBufferSize)](); }

void TDsDbfTable::FreeRecordBuffer(TRecordBuffer& buffer) {
  ClearBlobCache(buffer);
  delete[] buffer;
  buffer = nullptr;
}

TBookmarkFlag TDsDbfTable::GetBookmarkFlag(TRecordBuffer buffer) {
  return static_cast<TBookmarkFlag>(RecordInfo(buffer)[kFlagAt]);
}

void TDsDbfTable::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) {
  RecordInfo(buffer)[kFlagAt] = static_cast<Byte>(value);
}

void TDsDbfTable::GetBookmarkData(TRecordBuffer buffer, void* data) {
  std::memcpy(data, buffer + FBookmarkOffset, 4);
}

void TDsDbfTable::SetBookmarkData(TRecordBuffer buffer, const void* data) {
  std::memcpy(buffer + FBookmarkOffset, data, 4);
}

Integer TDsDbfTable::CompareBookmarks(TBookmark bookmark1, TBookmark bookmark2) {
  const Integer a = LoadInt(bookmark1), b = LoadInt(bookmark2);
  return a > b ? 1 : (a < b ? -1 : 0);
}

Integer TDsDbfTable::BufferRecNo(TRecordBuffer buffer) const { return LoadInt(RecordInfo(buffer)); }

TGetResult TDsDbfTable::GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) {
  // The buffer is about to hold another record: its cached memos are not that record's.
  ClearBlobCache(buffer);
  orv::TDsRecordInfo info;
  Byte code;
  switch (getMode) {
    case gmNext:
      code = DbfGetNext(FHandle, buffer, &info);
      break;
    case gmPrior:
      code = DbfGetPrior(FHandle, buffer, &info);
      break;
    default:
      code = DbfGetCurrent(FHandle, buffer, &info);
      break;
  }
  if (code == dsErrBeginOfFile) return grBOF;
  if (code == dsErrEndOfFile) return grEOF;
  if (code != dsErrNone) {
    if (doCheck) DsCheck(code);
    return grError;
  }
  Byte* recordInfo = RecordInfo(buffer);
  StoreInt(recordInfo, info.RecNo);
  recordInfo[kStateAt] = info.State;
  recordInfo[kFlagAt] = static_cast<Byte>(bfCurrent);
  StoreInt(buffer + FBookmarkOffset, info.RecNo);
  GetCalcFields(buffer);
  return grOK;
}

bool TDsDbfTable::GetCurrentRecord(TRecordBuffer buffer) {
  if (IsEmpty() || GetBookmarkFlag(ActiveBuffer()) != bfCurrent) return false;
  UpdateCursorPos();
  return DbfGetCurrent(FHandle, buffer, nullptr) == dsErrNone;
}

void TDsDbfTable::ClearCalcFields(TRecordBuffer buffer) {
  std::memset(buffer + FCalcFieldsOffset, 0, std::size_t(GetCalcFieldsSize()));
}

void TDsDbfTable::InitRecord(TRecordBuffer buffer) {
  inherited::InitRecord(buffer);
  Byte* recordInfo = RecordInfo(buffer);
  StoreInt(recordInfo, -1);
  recordInfo[kStateAt] = orv::dsRecInserted;
  recordInfo[kFlagAt] = static_cast<Byte>(bfInserted);
}

void TDsDbfTable::InternalInitRecord(TRecordBuffer buffer) {
  ClearBlobCache(buffer);
  DsCheck(DbfInitRecord(FHandle, buffer));
}

// ---- cursor ----

void TDsDbfTable::InternalFirst() { DsCheck(DbfFirst(FHandle)); }

void TDsDbfTable::InternalLast() { DsCheck(DbfLast(FHandle)); }

void TDsDbfTable::InternalGotoBookmark(TBookmark bookmark) {
  DsCheck(DbfGotoBookmark(FHandle, LoadInt(bookmark)));
}

void TDsDbfTable::InternalSetToRecord(TRecordBuffer buffer) {
  InternalGotoBookmark(buffer + FBookmarkOffset);
}

Integer TDsDbfTable::GetRecordCount() const {
  CheckActive();
  Integer count = 0;
  DsCheck(DbfGetRecordCount(FHandle, count));
  return count;
}

Integer TDsDbfTable::GetRecNo() const {
  const TRecordBuffer buffer = GetState() == dsCalcFields ? CalcBuffer() : GetActiveRecordBuffer();
  return buffer ? BufferRecNo(buffer) : -1;
}

void TDsDbfTable::SetRecNo(Integer value) {
  CheckBrowseMode();
  if (value == GetRecNo()) return;
  DoBeforeScroll();
  DsCheck(DbfGotoBookmark(FHandle, value));
  Resync({rmCenter});
  DoAfterScroll();
}

// ---- writes ----

void TDsDbfTable::InternalInsert() { CursorPosChanged(); }

void TDsDbfTable::InternalPost() {
  inherited::InternalPost();
  if (GetState() == dsEdit)
    DsCheck(DbfModifyRecord(FHandle, ActiveBuffer()));
  else
    DsCheck(DbfAppendRecord(FHandle, ActiveBuffer()));
}

void TDsDbfTable::InternalAddRecord(const void* buffer, bool append) {
  DsCheck(DbfAppendRecord(FHandle, static_cast<const Byte*>(buffer)));
}

void TDsDbfTable::InternalDelete() { DsCheck(DbfDeleteRecord(FHandle)); }

// ---- fields ----

bool TDsDbfTable::GetFieldData(TField* field, void* buffer) {
  const TRecordBuffer record = GetActiveRecordBuffer();
  if (!record || !FHandle) return false;
  if (IsCalculatedKind(field)) {
    const Byte* slot = record + FCalcFieldsOffset + field->GetOffset();
    if (!slot[0]) return false;
    if (buffer) std::memcpy(buffer, slot + 1, std::size_t(field->GetDataSize()));
    return true;
  }
  bool isNull = true;
  // A blob field's native value is its content, read through a stream; the codec's block
  // number is not it and does not fit the field's empty data size.
  if (field->IsBlob()) buffer = nullptr;
  if (DbfGetField(FHandle, field->GetFieldNo(), record, buffer, isNull) != dsErrNone) return false;
  return !isNull;
}

bool TDsDbfTable::GetFieldText(TField* field, AnsiString& value) {
  const TRecordBuffer record = GetActiveRecordBuffer();
  if (!record || !FHandle || IsCalculatedKind(field) || field->IsBlob()) return inherited::GetFieldText(field, value);
  bool isNull = true;
  if (DbfGetFieldText(FHandle, field->GetFieldNo(), record, value, isNull) != dsErrNone || isNull) {
    value.clear();
    return false;
  }
  // No more than the field's own data size, as a read through its data buffer gives.
  const std::size_t size = static_cast<std::size_t>(field->GetDataSize());
  if (value.size() > size) value.resize(size);
  return true;
}

void TDsDbfTable::SetFieldData(TField* field, const void* buffer) {
  const TRecordBuffer record = GetActiveRecordBuffer();
  if (!record || !FHandle) DatabaseError(orv::db::SNotEditing, this);
  if (IsCalculatedKind(field)) {
    Byte* slot = record + FCalcFieldsOffset + field->GetOffset();
    slot[0] = buffer ? 1 : 0;
    if (buffer)
      std::memcpy(slot + 1, buffer, std::size_t(field->GetDataSize()));
    else
      std::memset(slot + 1, 0, std::size_t(field->GetDataSize()));
  } else {
    field->Validate(buffer);
    if (field->GetFieldKind() != fkInternalCalc)
      DsCheck(DbfPutField(FHandle, field->GetFieldNo(), record, buffer));
  }
  const TDataSetState state = GetState();
  if (state != dsCalcFields && state != dsFilter && state != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<NativeInt>(field));
}

// ---- filter ----

void TDsDbfTable::InstallFilter(const AnsiString& text, bool filtered, TFilterOptions options) {
  if (!text.empty() && filtered) {
    Byte flags = 0;
    if (options.Contains(foCaseInsensitive)) flags |= orv::dpoCaseInsensitive;
    if (options.Contains(foNoPartialCompare)) flags |= orv::dpoNoPartialCompare;
    DsCheck(DbfSetFilter(FHandle, text, flags));
  } else {
    DsCheck(DbfClearFilter(FHandle));
  }
}

void TDsDbfTable::ChangeFilter(const AnsiString& text, bool filtered, TFilterOptions options) {
  InstallFilter(text, filtered, options);
  inherited::SetFilterText(text);
  inherited::SetFiltered(filtered);
  inherited::SetFilterOptions(options);
  First();
}

void TDsDbfTable::SetFilterText(const AnsiString& value) {
  if (!GetActive()) return inherited::SetFilterText(value);
  CheckBrowseMode();
  if (value != GetFilter()) ChangeFilter(value, GetFiltered(), GetFilterOptions());
}

void TDsDbfTable::SetFilterOptions(TFilterOptions value) {
  if (!GetActive()) return inherited::SetFilterOptions(value);
  CheckBrowseMode();
  if (value != GetFilterOptions()) ChangeFilter(GetFilter(), GetFiltered(), value);
}

void TDsDbfTable::SetFiltered(bool value) {
  if (!GetActive()) return inherited::SetFiltered(value);
  CheckBrowseMode();
  if (value != GetFiltered()) ChangeFilter(GetFilter(), value, GetFilterOptions());
}

// ---- searching ----

bool TDsDbfTable::Locate(const AnsiString& keyFields, const Variant& keyValues,
                         TLocateOptions options) {
  CheckBrowseMode();
  std::vector<TField*> fields;
  GetFieldList(fields, keyFields);  // an unknown name raises "Field '...' not found"
  DoBeforeScroll();
  const Byte code = DbfLocate(FHandle, keyFields, keyValues, options.Contains(loCaseInsensitive),
                              options.Contains(loPartialKey));
  if (code == dsErrRecordNotFound) return false;
  DsCheck(code);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
  return true;
}

Variant TDsDbfTable::Lookup(const AnsiString& keyFields, const Variant& keyValues,
                            const AnsiString& resultFields) {
  if (!Locate(keyFields, keyValues, {})) return Null();
  return GetFieldValues(resultFields);
}

bool TDsDbfTable::FindRecord(bool restart, bool goForward) {
  CheckBrowseMode();
  DoBeforeScroll();
  SetFound(false);
  UpdateCursorPos();
  CursorPosChanged();
  if (restart) DsCheck(goForward ? DbfFirst(FHandle) : DbfLast(FHandle));
  const Byte code = goForward ? DbfGetNext(FHandle, TempBuffer(), nullptr)
                              : DbfGetPrior(FHandle, TempBuffer(), nullptr);
  if (code == dsErrNone) {
    Resync({rmExact, rmCenter});
    SetFound(true);
    DoAfterScroll();
  } else if (code != dsErrBeginOfFile && code != dsErrEndOfFile) {
    DsCheck(code);
  }
  return GetFound();
}

// Published properties, read and written by form descriptions.
namespace {

std::vector<AnsiString> CodePageNames() {
  std::vector<AnsiString> names;
  for (Integer i = 0; i < CP_TYPE_COUNT; ++i) names.push_back(DsCodePageName(static_cast<CP_TYPE>(i)));
  return names;
}
const orv::EnumNames<CP_TYPE> kCodePageNames("CP_TYPE", CodePageNames());

}  // namespace

ORV_PUBLISH(TDsDbfTable) {
  using T = TDsDbfTable;
  p.Property("BufferRecords", &T::GetBufferRecords, &T::SetBufferRecords).Default(10);
  p.Property("CodePage", &T::GetCodePage, &T::SetCodePage).Default(ascii_ANSI);
  p.Property("Database", &T::GetDatabase, &T::SetDatabase);
  p.Property("Exclusive", &T::GetExclusive, &T::SetExclusive).Default(false);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Default(false);
  p.Property("ShowDeleted", &T::GetShowDeleted, &T::SetShowDeleted).Default(false);
  p.Property("TableName", &T::GetTableName, &T::SetTableName);
}

// ---- blob fields ----

Byte* TDsDbfTable::BlobSlot(TRecordBuffer buffer, TField* field) const {
  const Integer fieldNo = field->GetFieldNo();
  if (!buffer || fieldNo <= 0 || fieldNo >= Integer(FBlobIndex.size())) return nullptr;
  const Integer index = FBlobIndex[std::size_t(fieldNo)];
  return index < 0 ? nullptr : buffer + FBlobCacheOffset + index * Integer(sizeof(AnsiString*));
}

// The slots may lie at any alignment: pointers go in and out by copy.
const AnsiString* TDsDbfTable::GetBlobCache(TRecordBuffer buffer, TField* field) const {
  const Byte* slot = BlobSlot(buffer, field);
  AnsiString* text = nullptr;
  if (slot) std::memcpy(&text, slot, sizeof text);
  return text;
}

void TDsDbfTable::SetBlobCache(TRecordBuffer buffer, TField* field, AnsiString text) {
  Byte* slot = BlobSlot(buffer, field);
  if (!slot) return;
  AnsiString* old = nullptr;
  std::memcpy(&old, slot, sizeof old);
  delete old;
  AnsiString* kept = text.empty() ? nullptr : new AnsiString(std::move(text));
  std::memcpy(slot, &kept, sizeof kept);
}

void TDsDbfTable::ClearBlobCache(TRecordBuffer buffer) {
  if (!buffer) return;
  for (Integer i = 0; i < FBlobFieldCount; ++i) {
    Byte* slot = buffer + FBlobCacheOffset + i * Integer(sizeof(AnsiString*));
    AnsiString* text = nullptr;
    std::memcpy(&text, slot, sizeof text);
    if (!text) continue;
    delete text;
    text = nullptr;
    std::memcpy(slot, &text, sizeof text);
  }
}

TStream* TDsDbfTable::CreateBlobStream(TField* field, TBlobStreamMode mode) {
  return new TBlobStream(field, mode);
}

Integer TDsDbfTable::GetBlobFieldData(Integer fieldNo, std::vector<Byte>& buffer) {
  const TRecordBuffer record = GetActiveRecordBuffer();
  if (!record || !FHandle) return 0;
  // In the block-read state a memo that cannot be read gives 0 bytes instead of an error.
  const auto check = [this](Byte code) {
    if (code == dsErrNone || code == dsErrEndOfBlob) return true;
    if (GetState() != dsBlockRead) DsCheckMemoCode(FHandle, code);
    return false;
  };
  Integer length = 0;
  if (!check(DbfGetBlobSize(FHandle, record, fieldNo, length)) || length <= 0) return 0;
  if (buffer.size() < std::size_t(length)) buffer.resize(std::size_t(length) + std::size_t(length / 4));
  Integer read = 0;
  if (!check(DbfGetBlob(FHandle, record, fieldNo, 0, length, buffer.data(), read))) return 0;
  return read;
}

void TDsDbfTable::CloseBlob(TField* field) {
  if (FHandle && ActiveBuffer()) DbfFreeBlob(FHandle, ActiveBuffer(), field->GetFieldNo());
}

// ---- TBlobStream ----

TBlobStream::TBlobStream(TField* field, TBlobStreamMode mode)
    : FField(field),
      FDataSet(dynamic_cast<TDsDbfTable*>(field->GetDataSet())),
      FFieldNo(field->GetFieldNo()),
      FMode(mode) {
  if (!FDataSet || !FDataSet->FHandle) return;
  FBuffer = FDataSet->GetActiveRecordBuffer();
  if (!FBuffer) return;
  const TDataSetState state = FDataSet->GetState();
  if (state == dsFilter) DatabaseErrorFmt(SCannotAccessFieldInFilter, {field->GetDisplayName()}, FDataSet);
  if (mode != bmRead) {
    FDataSet->SetBlobCache(FBuffer, field, AnsiString());
    if (field->GetReadOnly()) DatabaseErrorFmt(SFieldCannotBeModified, {field->GetDisplayName()}, FDataSet);
    if (state != dsEdit && state != dsInsert) DatabaseError(SNotEditing, FDataSet);
  } else if (FDataSet->FCacheBlobs && FBuffer == FDataSet->ActiveBuffer()) {
    // A blank memo needs no file; a cached one is served from the buffer.
    Integer block = 0;
    bool isNull = true;
    const bool blank = DbfGetField(FDataSet->FHandle, FFieldNo, FBuffer, &block, isNull) == dsErrNone &&
                       (isNull || block <= 0);
    FCached = blank || CachedText() != nullptr;
  }
  if (!FCached) {
    // Another user may have given the record a new memo since it was read.
    if (state == dsBrowse) FDataSet->GetCurrentRecord(FDataSet->ActiveBuffer());
    DsCheck(DbfOpenBlob(FDataSet->FHandle, FBuffer, FFieldNo));
  }
  FOpened = true;
  if (mode == bmWrite) SetSize(0);
}

TBlobStream::~TBlobStream() {
  if (FOpened && !FCached && FDataSet && FDataSet->FHandle) DbfFreeBlob(FDataSet->FHandle, FBuffer, FFieldNo);
}

const AnsiString* TBlobStream::CachedText() const { return FDataSet->GetBlobCache(FBuffer, FField); }

Int64 TBlobStream::GetSize() {
  if (!FOpened) return 0;
  if (FCached) {
    const AnsiString* text = CachedText();
    return text ? Int64(text->size()) : 0;
  }
  if (FSize < 0) {
    Integer size = 0;
    DsCheckMemoCode(FDataSet->FHandle, DbfGetBlobSize(FDataSet->FHandle, FBuffer, FFieldNo, size));
    FSize = size;
  }
  return FSize;
}

Int64 TBlobStream::Seek(Int64 offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: FPosition = offset; break;
    case soCurrent: FPosition += offset; break;
    case soEnd: FPosition = GetSize() + offset; break;
  }
  return FPosition;
}

Integer TBlobStream::Read(void* buffer, Integer count) {
  if (!FOpened || count <= 0 || FPosition < 0) return 0;
  if (FCached) {
    const AnsiString* text = CachedText();
    const Int64 n = std::min<Int64>(count, (text ? Int64(text->size()) : 0) - FPosition);
    if (n <= 0) return 0;
    std::memcpy(buffer, text->data() + FPosition, std::size_t(n));
    FPosition += n;
    return Integer(n);
  }
  if (FPosition > std::numeric_limits<Integer>::max()) return 0;
  Integer got = 0;
  const Byte code = DbfGetBlob(FDataSet->FHandle, FBuffer, FFieldNo, Integer(FPosition), count, buffer, got);
  if (code == dsErrInvalidBlobOffset) return 0;
  if (code != dsErrNone && code != dsErrEndOfBlob) DsCheckMemoCode(FDataSet->FHandle, code);
  // Bytes read in order from the start of the active record's memo go to the cache, which
  // takes the memo once it is whole.
  if (FDataSet->FCacheBlobs && FMode == bmRead && FBuffer == FDataSet->ActiveBuffer() &&
      FPosition == Int64(FCacheText.size())) {
    FCacheText.append(static_cast<const char*>(buffer), std::size_t(got));
    if (Int64(FCacheText.size()) == GetSize()) {
      FDataSet->SetBlobCache(FBuffer, FField, std::move(FCacheText));
      FCacheText = AnsiString();
      FCached = true;
    }
  }
  FPosition += got;
  return got;
}

Integer TBlobStream::Write(const void* buffer, Integer count) {
  if (!FOpened || count <= 0) return 0;
  // The handle refuses every write that would change the memo, and the refusal raises.
  DsCheck(DbfPutBlob(FDataSet->FHandle, FBuffer, FFieldNo, Integer(std::min<Int64>(FPosition, std::numeric_limits<Integer>::max())),
                     count, buffer));
  FDataSet->SetBlobCache(FBuffer, FField, AnsiString());
  FPosition += count;
  return count;
}

void TBlobStream::SetSize(Int64 newSize) {
  if (!FOpened) return;
  const Integer size = Integer(std::clamp<Int64>(newSize, 0, std::numeric_limits<Integer>::max()));
  DsCheck(DbfTruncateBlob(FDataSet->FHandle, FBuffer, FFieldNo, size));
}
