#include "dbf/DsDbfTable.h"

#include <cstring>
#include <vector>

#include "dbf/DsDatabase.h"
#include "dbf/DsDbParser.h"
#include "dbf/DsDbUtils.h"
#include "dbf/DsDbfApi.h"
#include "platform/dataset/DBConsts.h"
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

}  // namespace

TDsDbfTable::TDsDbfTable(TComponent* owner) : TDataSet(owner) {}

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
  FCalcFieldsOffset = FRecordSize;
  FRecordInfoOffset = FCalcFieldsOffset + GetCalcFieldsSize();
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

void TDsDbfTable::InternalInitRecord(TRecordBuffer buffer) { DsCheck(DbfInitRecord(FHandle, buffer)); }

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
