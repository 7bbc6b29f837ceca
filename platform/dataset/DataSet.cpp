#include "platform/dataset/DataSet.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/dataset/DBConsts.h"
#include "platform/dataset/DataSource.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"
#include "platform/forms/Published.h"

using namespace orv::db;

// ---------------------------------------------------------------------------------------------
// Errors

void DatabaseError(const AnsiString& message, TComponent* component) {
  if (component && !component->GetName().empty())
    throw EDatabaseError(component->GetName() + ": " + message);
  throw EDatabaseError(message);
}

void DatabaseErrorFmt(const AnsiString& format, std::initializer_list<TVarRec> args,
                      TComponent* component) {
  DatabaseError(Format(format, args), component);
}

namespace orv {

std::vector<AnsiString> ExtractFieldNames(const AnsiString& fieldNames) {
  std::vector<AnsiString> names;
  std::size_t start = 0;
  while (start <= fieldNames.size()) {
    std::size_t end = fieldNames.find(';', start);
    if (end == AnsiString::npos) end = fieldNames.size();
    AnsiString name = Trim(fieldNames.substr(start, end - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = end + 1;
  }
  return names;
}

}  // namespace orv

// ---------------------------------------------------------------------------------------------
// Construction and teardown

TDataSet::TDataSet(TComponent* owner) : TComponent(owner), FFieldDefs(this), FFields(this) {}

TDataSet::~TDataSet() {
  // BeforeDestruction closed the cursor; a dataset whose constructor failed holds nothing.
}

void TDataSet::BeforeDestruction() {
  Destroying();
  try {
    SetActive(false);
  } catch (...) {
    // Teardown never throws: a cursor that fails to close is abandoned.
    FState = dsInactive;
  }
  FreeBuffers();
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  // Fields of other owners stay alive: they only leave this dataset.
  FFields.Clear();
  inherited::BeforeDestruction();
}

void TDataSet::Loaded() {
  inherited::Loaded();
  if (FStreamedActive) SetActive(true);
}

void TDataSet::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TDataSet::SetActive(bool value) {
  const TComponentState cs = GetComponentState();
  if (cs.Contains(csReading) || cs.Contains(csLoading)) {
    FStreamedActive = value;
    return;
  }
  if (value == GetActive()) return;
  if (value) {
    DoBeforeOpen();
    OpenCursor(false);
    SetState(dsBrowse);
    DoAfterOpen();
    if (!IsEmpty()) DoAfterScroll();
  } else {
    const bool destroying = cs.Contains(csDestroying);
    if (!destroying) DoBeforeClose();
    SetState(dsInactive);
    CloseCursor();
    if (!destroying) DoAfterClose();
  }
}

void TDataSet::OpenCursor(bool infoQuery) {
  if (infoQuery) {
    InternalInitFieldDefs();
    return;
  }
  const TDataSetState saved = FState;
  FState = dsOpening;
  FDefaultFields = FFields.GetCount() == 0;
  try {
    InternalOpen();
    FInternalOpenComplete = true;
    UpdateBufferCount();
    ClearBuffers();
    InternalFirst();
    GetNextRecords();
    FBOF = true;
    FEOF = FRecordCount == 0;
  } catch (...) {
    FState = saved;
    try {
      CloseCursor();
    } catch (...) {
      // The error of the open is the one to report.
    }
    throw;
  }
  FState = saved;
}

void TDataSet::CloseCursor() {
  FInternalOpenComplete = false;
  FreeBuffers();
  InternalClose();
  FDefaultFields = false;
}

void TDataSet::InitFieldDefs() {
  if (IsCursorOpen()) {
    InternalInitFieldDefs();
    return;
  }
  const TDataSetState saved = FState;
  FState = dsOpening;
  try {
    OpenCursor(true);
  } catch (...) {
    FState = saved;
    try {
      CloseCursor();
    } catch (...) {
    }
    throw;
  }
  FState = saved;
  CloseCursor();
}

void TDataSet::CheckActive() const {
  if (FState == dsInactive || FState == dsOpening)
    DatabaseError(SDataSetClosed, const_cast<TDataSet*>(this));
}

void TDataSet::CheckInactive() const {
  if (GetActive()) DatabaseError(SDataSetOpen, const_cast<TDataSet*>(this));
}

void TDataSet::CheckCanModify() const {
  if (!GetCanModify()) DatabaseError(SDataSetReadOnly, const_cast<TDataSet*>(this));
}

void TDataSet::SetState(TDataSetState value) {
  if (FState == value) return;
  FState = value;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState value) {
  const TDataSetState old = FState;
  FState = value;
  ++FTempStateDepth;
  return old;
}

void TDataSet::RestoreState(TDataSetState value) {
  FState = value;
  if (FTempStateDepth > 0) --FTempStateDepth;
}

// ---------------------------------------------------------------------------------------------
// Fields

TField* TDataSet::FieldByName(const AnsiString& fieldName) const {
  return FFields.FieldByName(fieldName);
}

void TDataSet::GetFieldList(std::vector<TField*>& list, const AnsiString& fieldNames) const {
  list.clear();
  for (const AnsiString& name : orv::ExtractFieldNames(fieldNames)) list.push_back(FieldByName(name));
}

Variant TDataSet::GetFieldValues(const AnsiString& fieldNames) const {
  std::vector<TField*> fields;
  GetFieldList(fields, fieldNames);
  if (fields.size() == 1) return fields[0]->GetAsVariant();
  Variant result = VarArrayCreate(0, static_cast<Integer>(fields.size()) - 1, varVariant);
  for (std::size_t i = 0; i < fields.size(); ++i)
    result.PutElement(static_cast<Integer>(i), fields[i]->GetAsVariant());
  return result;
}

void TDataSet::SetFieldValues(const AnsiString& fieldNames, const Variant& value) {
  std::vector<TField*> fields;
  GetFieldList(fields, fieldNames);
  if (fields.size() == 1 && !VarIsArray(value)) {
    fields[0]->SetAsVariant(value);
    return;
  }
  if (!VarIsArray(value)) {
    if (!fields.empty()) fields[0]->SetAsVariant(value);
    return;
  }
  const Integer low = VarArrayLowBound(value, 1);
  const Integer high = VarArrayHighBound(value, 1);
  for (std::size_t i = 0; i < fields.size() && low + static_cast<Integer>(i) <= high; ++i)
    fields[i]->SetAsVariant(value.GetElement(low + static_cast<Integer>(i)));
}

void TDataSet::CreateFields() {
  for (Integer i = 0; i < FFieldDefs.GetCount(); ++i) {
    TFieldDef* def = FFieldDefs[i];
    if (!DefaultFieldClass(def->GetDataType())) continue;
    def->CreateField(this);
  }
}

void TDataSet::DestroyFields() {
  for (Integer i = FFields.GetCount() - 1; i >= 0; --i) {
    TField* field = FFields[i];
    if (field->GetOwner() == this) field->Free();
  }
}

void TDataSet::BindFields(bool binding) {
  FCalcFieldsSize = 0;
  FHasCalcFields = false;
  for (TField* field : FFields) field->Bind(binding);
  if (!binding) return;
  for (TField* field : FFields) {
    switch (field->GetFieldKind()) {
      case fkCalculated:
      case fkLookup:
        field->SetOffset(FCalcFieldsSize);
        FCalcFieldsSize += field->GetDataSize() + 1;
        FHasCalcFields = true;
        break;
      case fkInternalCalc:
        FHasCalcFields = true;
        break;
      default:
        break;
    }
  }
}

bool TDataSet::GetFieldData(TField* field, void* buffer) { return false; }

bool TDataSet::GetFieldText(TField* field, AnsiString& value) {
  // Zeroed first, so that the text ends inside the result whatever the descendant writes.
  const std::size_t size = static_cast<std::size_t>(field->GetDataSize());
  value.assign(size, '\0');
  if (!GetFieldData(field, value.data())) {
    value.clear();
    return false;
  }
  value.resize(strnlen(value.data(), size));
  return true;
}

void TDataSet::SetFieldData(TField* field, const void* buffer) {}

TStream* TDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) { return nullptr; }

Integer TDataSet::GetBlobFieldData(Integer fieldNo, std::vector<Byte>& buffer) {
  TField* field = FieldByNumber(fieldNo);
  if (!field) return 0;
  std::unique_ptr<TStream, orv::FreeDeleter> stream(CreateBlobStream(field, bmRead));
  if (!stream) return 0;
  const Int64 size = stream->GetSize();
  buffer.resize(static_cast<std::size_t>(size));
  return size > 0 ? stream->Read(buffer.data(), static_cast<Integer>(size)) : 0;
}

TRecordBuffer TDataSet::GetActiveRecordBuffer() const {
  switch (FState) {
    case dsBrowse:
      return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsSetKey:
      return ActiveBuffer();
    case dsCalcFields:
    case dsInternalCalc:
      return FCalcBuffer;
    case dsFilter:
      return FTempBuffer;
    default:
      return nullptr;
  }
}

void TDataSet::InitRecord(TRecordBuffer buffer) {
  InternalInitRecord(buffer);
  ClearCalcFields(buffer);
  SetBookmarkFlag(buffer, bfInserted);
}

void TDataSet::GetCalcFields(TRecordBuffer buffer) {
  if (!FHasCalcFields) return;
  const TDataSetState saved = SetTempState(dsCalcFields);
  const TRecordBuffer savedBuffer = FCalcBuffer;
  FCalcBuffer = buffer;
  try {
    ClearCalcFields(buffer);
    CalculateFields(buffer);
  } catch (...) {
    FCalcBuffer = savedBuffer;
    RestoreState(saved);
    throw;
  }
  FCalcBuffer = savedBuffer;
  RestoreState(saved);
}

void TDataSet::CalculateFields(TRecordBuffer buffer) {
  for (TField* field : FFields)
    if (field->GetFieldKind() == fkLookup) field->CalcLookupValue();
  DoOnCalcFields();
}

void TDataSet::InternalHandleException() {}

void TDataSet::InternalPost() {
  for (TField* field : FFields) {
    if (field->GetRequired() && !field->GetReadOnly() && field->GetFieldKind() == fkData &&
        field->GetIsNull()) {
      field->FocusControl();
      DatabaseErrorFmt(SFieldRequired, {field->GetDisplayName()}, this);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The buffer ring

void TDataSet::FreeBuffers() {
  for (TRecordBuffer& buffer : FBuffers)
    if (buffer) FreeRecordBuffer(buffer);
  FBuffers.clear();
  if (FTempBuffer) FreeRecordBuffer(FTempBuffer);
  FTempBuffer = nullptr;
  FCalcBuffer = nullptr;
  FBufferCount = 0;
  ClearBuffers();
}

void TDataSet::UpdateBufferCount() {
  if (!IsCursorOpen()) return;
  Integer count = 1;
  for (TDataSource* source : FDataSources)
    for (TDataLink* link : source->FDataLinks) count = std::max(count, link->FBufferCount);
  SetBufferCount(count);
}

void TDataSet::SetBufferCount(Integer value) {
  if (value < 1) value = 1;
  if (!FTempBuffer) FTempBuffer = AllocRecordBuffer();
  if (FBuffers.empty()) {
    FBuffers.reserve(value + 1);
    for (Integer i = 0; i <= value; ++i) FBuffers.push_back(AllocRecordBuffer());
    FBufferCount = value;
    ClearBuffers();
    return;
  }
  if (value == FBufferCount) return;
  if (value > FBufferCount) {
    for (Integer i = FBufferCount; i < value; ++i) FBuffers.push_back(AllocRecordBuffer());
    FBufferCount = value;
    if (FRecordCount > 0) {
      GetNextRecords();
      const Integer added = GetPriorRecords();
      FActiveRecord += added;
      if (FCurrentRecord >= FRecordCount) FCurrentRecord = -1;
    }
    return;
  }
  // Shrinking: keep the active record inside the ring, dropping records at the front first.
  const Integer drop = std::max(0, FActiveRecord - (value - 1));
  if (drop > 0) {
    std::rotate(FBuffers.begin(), FBuffers.begin() + drop, FBuffers.end());
    FActiveRecord -= drop;
    FRecordCount -= drop;
    FCurrentRecord = FCurrentRecord >= drop ? FCurrentRecord - drop : -1;
  }
  FRecordCount = std::min(FRecordCount, value);
  if (FCurrentRecord >= FRecordCount) FCurrentRecord = -1;
  while (static_cast<Integer>(FBuffers.size()) > value + 1) {
    FreeRecordBuffer(FBuffers.back());
    FBuffers.pop_back();
  }
  FBufferCount = value;
}

void TDataSet::ClearBuffers() {
  FRecordCount = 0;
  FActiveRecord = 0;
  FCurrentRecord = -1;
  FBOF = true;
  FEOF = true;
}

void TDataSet::ActivateBuffers() {
  FRecordCount = 1;
  FActiveRecord = 0;
  FCurrentRecord = 0;
  FBOF = false;
  FEOF = false;
}

void TDataSet::SetCurrentRecord(Integer index) {
  if (FCurrentRecord == index) return;
  const TRecordBuffer buffer = FBuffers[index];
  switch (GetBookmarkFlag(buffer)) {
    case bfCurrent:
    case bfInserted:
      InternalSetToRecord(buffer);
      break;
    case bfBOF:
      InternalFirst();
      break;
    case bfEOF:
      InternalLast();
      break;
  }
  FCurrentRecord = index;
}

void TDataSet::UpdateCursorPos() {
  if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

void TDataSet::MoveBuffer(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  const TRecordBuffer buffer = FBuffers[curIndex];
  if (curIndex < newIndex) {
    std::move(FBuffers.begin() + curIndex + 1, FBuffers.begin() + newIndex + 1,
              FBuffers.begin() + curIndex);
    if (FCurrentRecord == curIndex)
      FCurrentRecord = newIndex;
    else if (FCurrentRecord > curIndex && FCurrentRecord <= newIndex)
      --FCurrentRecord;
  } else {
    std::move_backward(FBuffers.begin() + newIndex, FBuffers.begin() + curIndex,
                       FBuffers.begin() + curIndex + 1);
    if (FCurrentRecord == curIndex)
      FCurrentRecord = newIndex;
    else if (FCurrentRecord >= newIndex && FCurrentRecord < curIndex)
      ++FCurrentRecord;
  }
  FBuffers[newIndex] = buffer;
}

bool TDataSet::GetNextRecord() {
  TGetMode mode = gmNext;
  if (FRecordCount > 0) {
    SetCurrentRecord(FRecordCount - 1);
    // A record inserted before another stands on that other record's bookmark: the cursor is
    // already on the record that follows it.
    if (FState == dsInsert && FCurrentRecord == FActiveRecord &&
        GetBookmarkFlag(ActiveBuffer()) == bfInserted)
      mode = gmCurrent;
  }
  const bool ok = GetRecord(FBuffers[FRecordCount], mode, true) == grOK;
  if (ok) {
    if (FRecordCount == 0) {
      ActivateBuffers();
    } else {
      if (FRecordCount < FBufferCount)
        ++FRecordCount;
      else
        MoveBuffer(0, FRecordCount);
      FCurrentRecord = FRecordCount - 1;
    }
  } else {
    CursorPosChanged();
  }
  return ok;
}

bool TDataSet::GetPriorRecord() {
  if (FRecordCount > 0) SetCurrentRecord(0);
  const bool ok = GetRecord(FBuffers[FRecordCount], gmPrior, true) == grOK;
  if (ok) {
    if (FRecordCount == 0) {
      ActivateBuffers();
    } else {
      MoveBuffer(FRecordCount, 0);
      if (FRecordCount < FBufferCount) ++FRecordCount;
      FCurrentRecord = 0;
    }
  } else {
    CursorPosChanged();
  }
  return ok;
}

Integer TDataSet::GetNextRecords() {
  Integer count = 0;
  while (FRecordCount < FBufferCount && GetNextRecord()) ++count;
  return count;
}

Integer TDataSet::GetPriorRecords() {
  Integer count = 0;
  while (FRecordCount < FBufferCount && GetPriorRecord()) ++count;
  return count;
}

void TDataSet::SetActiveRecord(Integer value) {
  if (value >= 0 && value < std::max(FRecordCount, 1)) FActiveRecord = value;
}

void TDataSet::Resync(TResyncMode mode) {
  const Integer slot = FRecordCount;
  if (mode.Contains(rmExact)) {
    CursorPosChanged();
    if (GetRecord(FBuffers[slot], gmCurrent, true) != grOK) DatabaseError(SRecordNotFound, this);
  } else if (GetRecord(FBuffers[slot], gmCurrent, false) != grOK &&
             GetRecord(FBuffers[slot], gmNext, false) != grOK &&
             GetRecord(FBuffers[slot], gmPrior, false) != grOK) {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
    return;
  }
  const Integer before = mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
  std::swap(FBuffers[0], FBuffers[slot]);
  ActivateBuffers();
  Integer got = 0;
  while (got < before && GetPriorRecord()) ++got;
  FActiveRecord = got;
  GetNextRecords();
  DataEvent(deDataSetChange, 0);
}

// ---------------------------------------------------------------------------------------------
// Navigation

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  try {
    InternalFirst();
    GetNextRecords();
  } catch (...) {
    FBOF = true;
    DataEvent(deDataSetChange, 0);
    throw;
  }
  FBOF = true;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  try {
    InternalLast();
    GetPriorRecords();
  } catch (...) {
    FEOF = true;
    DataEvent(deDataSetChange, 0);
    throw;
  }
  FActiveRecord = std::max(FRecordCount - 1, 0);
  FEOF = true;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

Integer TDataSet::MoveBy(Integer distance) {
  CheckBrowseMode();
  Integer result = 0;
  DoBeforeScroll();
  if ((distance > 0 && !FEOF) || (distance < 0 && !FBOF)) {
    FBOF = false;
    FEOF = false;
    const Integer oldRecordCount = FRecordCount;
    Integer shift = 0;
    auto notify = [&] {
      if (FRecordCount != oldRecordCount)
        DataEvent(deDataSetChange, 0);
      else
        DataEvent(deDataSetScroll, shift);
    };
    try {
      while (distance > 0) {
        if (FActiveRecord < FRecordCount - 1) {
          ++FActiveRecord;
        } else {
          const bool full = FRecordCount == FBufferCount;
          if (!GetNextRecord()) {
            FEOF = true;
            break;
          }
          if (full) ++shift;
          FActiveRecord = FRecordCount - 1;
        }
        --distance;
        ++result;
      }
      while (distance < 0) {
        if (FActiveRecord > 0) {
          --FActiveRecord;
        } else {
          if (!GetPriorRecord()) {
            FBOF = true;
            break;
          }
          --shift;
          FActiveRecord = 0;
        }
        ++distance;
        --result;
      }
    } catch (...) {
      notify();
      throw;
    }
    notify();
  }
  DoAfterScroll();
  return result;
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  DoBeforeRefresh();
  UpdateCursorPos();
  InternalRefresh();
  Resync({});
  DoAfterRefresh();
}

// ---------------------------------------------------------------------------------------------
// Editing

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  if (FRecordCount == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  CheckCanModify();
  DoBeforeEdit();
  UpdateCursorPos();
  InternalEdit();
  GetCalcFields(ActiveBuffer());
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  DoAfterEdit();
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  CheckCanModify();
  DoBeforeInsert();
  DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
  SetState(dsInsert);
  try {
    DoOnNewRecord();
  } catch (...) {
    UpdateCursorPos();
    SetState(dsBrowse);
    Resync({});
    throw;
  }
  FModified = false;
  DataEvent(deDataSetChange, 0);
  DoAfterInsert();
  DoAfterScroll();
}

void TDataSet::Insert() {
  BeginInsertAppend();
  AnsiString before;
  if (FRecordCount > 0 && FBookmarkSize > 0) {
    before.assign(static_cast<std::size_t>(FBookmarkSize), '\0');
    GetBookmarkData(ActiveBuffer(), before.data());
  }
  const bool hadRecords = FRecordCount > 0;
  MoveBuffer(FRecordCount, FActiveRecord);
  const TRecordBuffer buffer = ActiveBuffer();
  InitRecord(buffer);
  if (!hadRecords)
    SetBookmarkFlag(buffer, bfBOF);
  else if (!before.empty())
    SetBookmarkData(buffer, before.data());
  if (FRecordCount < FBufferCount) ++FRecordCount;
  if (FCurrentRecord >= FRecordCount) FCurrentRecord = -1;
  if (!hadRecords) {
    FBOF = false;
    FEOF = false;
  }
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::Append() {
  BeginInsertAppend();
  ClearBuffers();
  const TRecordBuffer buffer = FBuffers[0];
  InitRecord(buffer);
  SetBookmarkFlag(buffer, bfEOF);
  FRecordCount = 1;
  FBOF = false;
  FEOF = false;
  GetPriorRecords();
  FActiveRecord = FRecordCount - 1;
  InternalLast();
  FCurrentRecord = FActiveRecord;
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::Post() {
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) {
    if (FState == dsSetKey) SetState(dsBrowse);
    return;
  }
  DataEvent(deCheckBrowseMode, 0);
  DoBeforePost();
  UpdateCursorPos();
  InternalPost();
  SetState(dsBrowse);
  Resync({});
  DoAfterPost();
}

void TDataSet::Cancel() {
  if (FState == dsSetKey) {
    SetState(dsBrowse);
    return;
  }
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeCancel();
  const bool doScroll = FState == dsInsert;
  if (doScroll) DoBeforeScroll();
  UpdateCursorPos();
  InternalCancel();
  SetState(dsBrowse);
  Resync({});
  DoAfterCancel();
  if (doScroll) DoAfterScroll();
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert || FState == dsSetKey) {
    Cancel();
    return;
  }
  if (FRecordCount == 0) DatabaseError(SDataSetEmpty, this);
  CheckCanModify();
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeDelete();
  DoBeforeScroll();
  UpdateCursorPos();
  InternalDelete();
  SetState(dsBrowse);
  Resync({});
  DoAfterDelete();
  DoAfterScroll();
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  switch (FState) {
    case dsEdit:
    case dsInsert:
      UpdateRecord();
      if (FModified)
        Post();
      else
        Cancel();
      break;
    case dsSetKey:
      Post();
      break;
    default:
      break;
  }
}

void TDataSet::UpdateRecord() {
  if (FState != dsEdit && FState != dsInsert && FState != dsSetKey)
    DatabaseError(SNotEditing, this);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::ClearFields() {
  if (FState != dsEdit && FState != dsInsert && FState != dsSetKey)
    DatabaseError(SNotEditing, this);
  DataEvent(deCheckBrowseMode, 0);
  InternalInitRecord(ActiveBuffer());
  if (FState != dsSetKey) GetCalcFields(ActiveBuffer());
  DataEvent(deRecordChange, 0);
}

// ---------------------------------------------------------------------------------------------
// Bookmarks

TBookmarkStr TDataSet::GetBookmarkStr() const {
  if (FBookmarkSize <= 0) return TBookmarkStr();
  const TRecordBuffer buffer = GetActiveRecordBuffer();
  auto* self = const_cast<TDataSet*>(this);
  if (!buffer || self->GetBookmarkFlag(buffer) != bfCurrent) return TBookmarkStr();
  TBookmarkStr result(static_cast<std::size_t>(FBookmarkSize), '\0');
  self->GetBookmarkData(buffer, result.data());
  return result;
}

void TDataSet::SetBookmarkStr(const TBookmarkStr& value) {
  if (value.empty()) return;
  CheckBrowseMode();
  if (static_cast<Integer>(value.size()) < FBookmarkSize) DatabaseError(SBookmarkNotFound, this);
  DoBeforeScroll();
  InternalGotoBookmark(reinterpret_cast<TBookmark>(value.data()));
  Resync({rmExact, rmCenter});
  DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmarkStr& bookmark) {
  if (bookmark.empty() || static_cast<Integer>(bookmark.size()) < FBookmarkSize || !GetActive())
    return false;
  return BookmarkValid(reinterpret_cast<TBookmark>(bookmark.data()));
}

Integer TDataSet::CompareBookmarks(const TBookmarkStr& bookmark1, const TBookmarkStr& bookmark2) {
  if (bookmark1.empty()) return bookmark2.empty() ? 0 : -1;
  if (bookmark2.empty()) return 1;
  const Integer r = CompareBookmarks(reinterpret_cast<TBookmark>(bookmark1.data()),
                                     reinterpret_cast<TBookmark>(bookmark2.data()));
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// Filter properties: stored here, installed by descendants.

void TDataSet::SetFiltered(bool value) { FFiltered = value; }
void TDataSet::SetFilterOptions(TFilterOptions value) { FFilterOptions = value; }
void TDataSet::SetFilterText(const AnsiString& value) { FFilterText = value; }
void TDataSet::SetOnFilterRecord(TFilterRecordEvent value) { FOnFilterRecord = value; }

// ---------------------------------------------------------------------------------------------
// Locate and Lookup

namespace {

bool IsTextField(const TField* field) {
  switch (field->GetDataType()) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
    case ftMemo:
    case ftFmtMemo:
      return true;
    default:
      return false;
  }
}

bool FieldMatches(const TField* field, const Variant& key, TLocateOptions options) {
  if (VarIsNull(key) || VarIsEmpty(key)) return field->GetIsNull();
  if (field->GetIsNull()) return false;
  if (IsTextField(field)) {
    AnsiString text = field->GetAsString();
    const AnsiString keyText = VarToStr(key);
    if (options.Contains(loPartialKey) && text.size() > keyText.size())
      text.resize(keyText.size());
    return options.Contains(loCaseInsensitive) ? AnsiCompareText(text, keyText) == 0
                                               : AnsiCompareStr(text, keyText) == 0;
  }
  try {
    return VarCompareValue(field->GetAsVariant(), key) == vrEqual;
  } catch (const EVariantError&) {
    return false;
  } catch (const EConvertError&) {
    return false;
  }
}

}  // namespace

bool TDataSet::RecordMatches(const std::vector<TField*>& fields, const Variant& keyValues,
                             TLocateOptions options) {
  if (fields.size() == 1) {
    if (VarIsArray(keyValues))
      return FieldMatches(fields[0], keyValues.GetElement(VarArrayLowBound(keyValues, 1)), options);
    return FieldMatches(fields[0], keyValues, options);
  }
  if (!VarIsArray(keyValues)) return false;
  const Integer low = VarArrayLowBound(keyValues, 1);
  if (VarArrayHighBound(keyValues, 1) - low + 1 < static_cast<Integer>(fields.size())) return false;
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!FieldMatches(fields[i], keyValues.GetElement(low + static_cast<Integer>(i)), options))
      return false;
  return true;
}

// Scans the cursor from its first record for a match, reading each record into a spare buffer
// of the ring that stands in for the active one, so that neither the ring nor the data links
// see the scan. Found and `syncCursor`: the found record becomes current.
bool TDataSet::LocateRecord(const AnsiString& keyFields, const Variant& keyValues,
                            TLocateOptions options, bool syncCursor, const AnsiString* resultFields,
                            Variant* result) {
  CheckBrowseMode();
  std::vector<TField*> fields;
  GetFieldList(fields, keyFields);
  std::vector<TField*> results;
  if (resultFields) GetFieldList(results, *resultFields);
  if (IsEmpty()) return false;
  if (syncCursor) DoBeforeScroll();
  const Integer slot = FRecordCount;
  std::swap(FBuffers[FActiveRecord], FBuffers[slot]);
  CursorPosChanged();
  bool found = false;
  try {
    InternalFirst();
    while (GetRecord(FBuffers[FActiveRecord], gmNext, true) == grOK) {
      if (RecordMatches(fields, keyValues, options)) {
        found = true;
        break;
      }
    }
    if (found && result) {
      if (results.size() == 1) {
        *result = results[0]->GetAsVariant();
      } else {
        *result = VarArrayCreate(0, static_cast<Integer>(results.size()) - 1, varVariant);
        for (std::size_t i = 0; i < results.size(); ++i)
          result->PutElement(static_cast<Integer>(i), results[i]->GetAsVariant());
      }
    }
  } catch (...) {
    std::swap(FBuffers[FActiveRecord], FBuffers[slot]);
    CursorPosChanged();
    throw;
  }
  std::swap(FBuffers[FActiveRecord], FBuffers[slot]);
  CursorPosChanged();
  if (found && syncCursor) {
    Resync({rmExact, rmCenter});
    DoAfterScroll();
  }
  return found;
}

bool TDataSet::Locate(const AnsiString& keyFields, const Variant& keyValues,
                      TLocateOptions options) {
  return LocateRecord(keyFields, keyValues, options, true, nullptr, nullptr);
}

Variant TDataSet::Lookup(const AnsiString& keyFields, const Variant& keyValues,
                         const AnsiString& resultFields) {
  Variant result = Null();
  if (!LocateRecord(keyFields, keyValues, {}, false, &resultFields, &result)) return Null();
  return result;
}

// ---------------------------------------------------------------------------------------------
// Data sources and notification

void TDataSet::AddDataSource(TDataSource* dataSource) {
  FDataSources.push_back(dataSource);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* dataSource) {
  auto it = std::find(FDataSources.begin(), FDataSources.end(), dataSource);
  if (it != FDataSources.end()) FDataSources.erase(it);
  if (!GetComponentState().Contains(csDestroying)) UpdateBufferCount();
}

bool TDataSet::IsLinkedTo(TDataSource* dataSource) const {
  return std::find(FDataSources.begin(), FDataSources.end(), dataSource) != FDataSources.end();
}

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FEnableEvent = deDataSetChange;
    FEventPending = false;
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount != 0) return;
  const bool pending = FEventPending;
  FEventPending = false;
  if (FState != FDisableState) DataEvent(deUpdateState, 0);
  if (pending && FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

void TDataSet::DataEvent(TDataEvent event, NativeInt info) {
  switch (event) {
    case deFieldChange: {
      auto* field = reinterpret_cast<TField*>(info);
      if (field && (field->GetFieldKind() == fkData || field->GetFieldKind() == fkInternalCalc))
        FModified = true;
      if (FState != dsSetKey && FAutoCalcFields && FHasCalcFields && !FBuffers.empty())
        GetCalcFields(ActiveBuffer());
      if (field) field->Change();
      break;
    }
    case dePropertyChange:
      FFieldDefs.SetUpdated(false);
      break;
    default:
      break;
  }
  if (FTempStateDepth > 0) return;
  NotifySources(event, info);
}

void TDataSet::NotifySources(TDataEvent event, NativeInt info) {
  if (FDisableCount == 0) {
    // A source may leave the list while it is told; index each time.
    for (std::size_t i = 0; i < FDataSources.size(); ++i) FDataSources[i]->DataEvent(event, info);
    return;
  }
  switch (event) {
    case deUpdateState:
      if (FState == dsInactive) FEnableEvent = deLayoutChange;
      FEventPending = true;
      for (std::size_t i = 0; i < FDataSources.size(); ++i)
        FDataSources[i]->DataEvent(deDisabledStateChange, FState != dsInactive ? 1 : 0);
      break;
    case deLayoutChange:
      FEnableEvent = deLayoutChange;
      FEventPending = true;
      break;
    case deCheckBrowseMode:
    case deUpdateRecord:
    case deFocusControl:
      // Requests to the controls, not changes: nothing to replay.
      break;
    default:
      FEventPending = true;
      break;
  }
}

// Published properties, read and written by form descriptions.
namespace {

const orv::EnumNames<TFieldType> kFieldTypeNames(
    "TFieldType",
    {"ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord", "ftBoolean", "ftFloat", "ftCurrency",
     "ftBCD", "ftDate", "ftTime", "ftDateTime", "ftBytes", "ftVarBytes", "ftAutoInc", "ftBlob", "ftMemo",
     "ftGraphic", "ftFmtMemo", "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor", "ftFixedChar",
     "ftWideString", "ftLargeint", "ftADT", "ftArray", "ftReference", "ftDataSet", "ftOraBlob", "ftOraClob",
     "ftVariant", "ftInterface", "ftIDispatch", "ftGuid", "ftTimeStamp", "ftFMTBcd"});
const orv::EnumNames<TFilterOption> kFilterOptionNames("TFilterOption", {"foCaseInsensitive", "foNoPartialCompare"});

// Field definitions are plain records kept by their list.
void PublishFieldDef(orv::Published<TFieldDef>& p) {
  using T = TFieldDef;
  p.Property("Name", &T::GetName, &T::SetName);
  p.Property("DataType", &T::GetDataType, &T::SetDataType).Default(ftUnknown);
  p.Property("Precision", &T::GetPrecision, &T::SetPrecision).Default(0);
  p.Property("Size", &T::GetSize, &T::SetSize).Default(0);
}
const orv::PlainProperties<TFieldDef> kFieldDefProperties(&PublishFieldDef);
const orv::ListAccess<TFieldDefs, TFieldDef> kFieldDefsAccess(
    kFieldDefProperties, [](TFieldDefs& defs) { return defs.GetCount(); },
    [](TFieldDefs& defs, Integer i) { return defs.GetItem(i); },
    [](TFieldDefs& defs) { return defs.AddFieldDef(); }, [](TFieldDefs& defs) { defs.Clear(); });

}  // namespace

ORV_PUBLISH(TDataSet) {
  using T = TDataSet;
  p.Property("Active", &T::GetActive, &T::SetActive).Default(false);
  p.Property("AutoCalcFields", &T::GetAutoCalcFields, &T::SetAutoCalcFields).Default(true);
  p.Collection("FieldDefs", &T::GetFieldDefs, kFieldDefsAccess);
  p.Property("Filter", &T::GetFilter, &T::SetFilter);
  p.Property("Filtered", &T::GetFiltered, &T::SetFiltered).Default(false);
  p.Property("FilterOptions", &T::GetFilterOptions, &T::SetFilterOptions).Default(TFilterOptions{});
  p.Property("BeforeOpen", &T::GetBeforeOpen, &T::SetBeforeOpen);
  p.Property("AfterOpen", &T::GetAfterOpen, &T::SetAfterOpen);
  p.Property("BeforeClose", &T::GetBeforeClose, &T::SetBeforeClose);
  p.Property("AfterClose", &T::GetAfterClose, &T::SetAfterClose);
  p.Property("BeforeScroll", &T::GetBeforeScroll, &T::SetBeforeScroll);
  p.Property("AfterScroll", &T::GetAfterScroll, &T::SetAfterScroll);
  p.Property("OnCalcFields", &T::GetOnCalcFields, &T::SetOnCalcFields);
  p.Property("OnFilterRecord", &T::GetOnFilterRecord, &T::SetOnFilterRecord);
  p.Property("OnNewRecord", &T::GetOnNewRecord, &T::SetOnNewRecord);
}
