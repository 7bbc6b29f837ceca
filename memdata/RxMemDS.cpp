#include "memdata/RxMemDS.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>

#include "memdata/DBUtils.h"
#include "platform/dataset/DBConsts.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/Streams.h"
#include "platform/forms/Published.h"

using namespace orv::db;

namespace {

constexpr Integer kNoID = std::numeric_limits<Integer>::min();

const char* const SMemNoRecords = "No data found";
const char* const STypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";

bool IsBlobType(TFieldType type) {
  return (type >= ftBlob && type <= ftTypedBinary) || type == ftOraBlob || type == ftOraClob;
}

bool IsDataType(TFieldType type) {
  switch (type) {
    case ftFixedChar:
    case ftWideString:
    case ftLargeint:
    case ftADT:
    case ftVariant:
    case ftGuid:
      return true;
    default:
      return type >= ftString && type <= ftAutoInc;
  }
}

bool IsSupportedType(TFieldType type) { return IsDataType(type) || IsBlobType(type); }

// Text kinds whose empty text counts as no value.
bool EmptyTextIsNull(TFieldType type) {
  return type == ftString || type == ftFixedChar || type == ftWideString || type == ftGuid;
}

Integer ValueSize(const TFieldDef& def) {
  const Integer size = std::max(def.GetSize(), 0);
  switch (def.GetDataType()) {
    case ftString:
    case ftFixedChar:
      return size + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
      return 2;
    case ftInteger:
    case ftDate:
    case ftTime:
    case ftAutoInc:
      return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
    case ftLargeint:
      return 8;
    case ftBCD:
      return 34;
    case ftBytes:
      return size;
    case ftVarBytes:
      return size + 2;
    case ftWideString:
      return 2 * size + 2;
    case ftVariant:
      return 16;
    case ftGuid:
      return std::max(39, size + 1);
    default:
      return 0;
  }
}

// Bytes the data block gives to the children of an object field, depth first.
Integer ChildBlockSize(TFieldDef& def) {
  if (!def.HasChildDefs()) return 0;
  Integer total = 0;
  TFieldDefs& children = def.GetChildDefs();
  for (Integer i = 0; i < children.GetCount(); ++i) {
    TFieldDef& child = *children[i];
    if (!IsBlobType(child.GetDataType())) total += 1 + ValueSize(child);
    total += ChildBlockSize(child);
  }
  return total;
}

// Removes the definitions of types a memory dataset cannot hold, children included.
void RemoveUnsupported(TFieldDefs& defs) {
  for (Integer i = defs.GetCount() - 1; i >= 0; --i) {
    TFieldDef* def = defs[i];
    if (!IsSupportedType(def->GetDataType()))
      defs.Delete(i);
    else if (def->HasChildDefs())
      RemoveUnsupported(def->GetChildDefs());
  }
}

bool TextPresent(TFieldType type, const Byte* value) {
  if (type == ftWideString) return value[0] != 0 || value[1] != 0;
  return value[0] != 0;
}

AnsiString KindName(TFieldKind kind) {
  switch (kind) {
    case fkData:
      return "Data";
    case fkCalculated:
      return "Calculated";
    case fkLookup:
      return "Lookup";
    case fkInternalCalc:
      return "InternalCalc";
    default:
      return "Aggregate";
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TMemoryRecord

TMemoryRecord::TMemoryRecord(TRxMemoryData* memoryData, bool updateParent) {
  SetMemoryData(memoryData, updateParent);
}

TMemoryRecord::~TMemoryRecord() = default;

void TMemoryRecord::BeforeDestruction() {
  SetMemoryData(nullptr, true);
  inherited::BeforeDestruction();
}

void TMemoryRecord::SetMemoryData(TRxMemoryData* value, bool updateParent) {
  if (FMemoryData == value) return;
  if (FMemoryData) {
    FMemoryData->DetachRecord(this);
    FMemoryData->ReleaseBlock(FData);
    FData = nullptr;
    FBlobs.reset();
    FMemoryData = nullptr;
  }
  if (!value) return;
  if (updateParent) {
    FID = value->NextID();
    value->FRecords.push_back(this);
  }
  FData = value->AllocBlock();
  if (value->FBlobCount > 0) FBlobs.reset(new AnsiString[static_cast<std::size_t>(value->FBlobCount)]);
  FMemoryData = value;
}

Integer TMemoryRecord::GetIndex() const { return FMemoryData ? FMemoryData->IndexOfRecord(this) : -1; }

void TMemoryRecord::SetIndex(Integer value) {
  const Integer current = GetIndex();
  if (current < 0 || current == value) return;
  std::vector<TMemoryRecord*>& list = FMemoryData->FRecords;
  if (value < 0 || value >= static_cast<Integer>(list.size())) throw EListError("List index out of bounds");
  list.erase(list.begin() + current);
  list.insert(list.begin() + value, this);
}

// ---------------------------------------------------------------------------------------------
// Construction, records

TRxMemoryData::TRxMemoryData(TComponent* owner) : TDataSet(owner), FLastID(kNoID) {}

void TRxMemoryData::BeforeDestruction() {
  Destroying();
  inherited::BeforeDestruction();
  FSortFields.clear();
  ClearRecords();
}

void TRxMemoryData::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove)
    FSortFields.erase(std::remove(FSortFields.begin(), FSortFields.end(), component), FSortFields.end());
}

Integer TRxMemoryData::GetCapacity() const { return static_cast<Integer>(FRecords.capacity()); }

void TRxMemoryData::SetCapacity(Integer value) {
  if (value < static_cast<Integer>(FRecords.size())) throw EListError("List capacity out of bounds");
  if (value == GetCapacity()) return;
  std::vector<TMemoryRecord*> list;
  list.reserve(static_cast<std::size_t>(value));
  list.assign(FRecords.begin(), FRecords.end());
  FRecords.swap(list);
}

Integer TRxMemoryData::NextID() {
  // Identities are never given twice while the dataset lives; after 2^32 - 1 records they
  // could only start again when no record and no bookmark can refer to an old one.
  if (FLastID == std::numeric_limits<Integer>::max()) {
    if (!FRecords.empty()) DatabaseError("Too many records", this);
    FLastID = kNoID;
  }
  return ++FLastID;
}

void TRxMemoryData::ClearRecords() {
  std::vector<TMemoryRecord*> records;
  records.swap(FRecords);
  // The list and the blocks go as a whole: the records need not leave them one by one.
  for (TMemoryRecord* record : records) {
    record->FMemoryData = nullptr;
    record->FData = nullptr;
    record->Free();
  }
  FRecordPos = -1;
  ResetBlocks();
}

Byte* TRxMemoryData::AllocBlock() {
  if (FBlockSize == 0) FBlockSize = static_cast<std::size_t>(std::max(FRecordSize, 1));
  Byte* block;
  if (!FFreeBlocks.empty()) {
    block = FFreeBlocks.back();
    FFreeBlocks.pop_back();
  } else {
    if (FBlockChunks.empty() || FChunkUsed + FBlockSize > FChunkSize) {
      // Chunks grow with the table, up to 4 MB.
      FChunkSize = std::max(FBlockSize * 16, std::min<std::size_t>(std::size_t(4) << 20, FChunkSize * 2));
      FBlockChunks.emplace_back(new Byte[FChunkSize]);
      FChunkUsed = 0;
    }
    block = FBlockChunks.back().get() + FChunkUsed;
    FChunkUsed += FBlockSize;
  }
  std::memset(block, 0, FBlockSize);
  return block;
}

void TRxMemoryData::ReleaseBlock(Byte* block) {
  if (block) FFreeBlocks.push_back(block);
}

void TRxMemoryData::ResetBlocks() {
  FFreeBlocks.clear();
  FBlockChunks.clear();
  FChunkUsed = 0;
  FChunkSize = 0;
  FBlockSize = 0;
}

void TRxMemoryData::FreeRecord(Integer index) {
  TMemoryRecord* record = FRecords[static_cast<std::size_t>(index)];
  FRecords.erase(FRecords.begin() + index);
  record->FMemoryData = nullptr;
  record->Free();
}

void TRxMemoryData::DetachRecord(TMemoryRecord* record) {
  const Integer index = IndexOfRecord(record);
  if (index >= 0) FRecords.erase(FRecords.begin() + index);
}

TMemoryRecord* TRxMemoryData::AddRecord() { return new TMemoryRecord(this); }

TMemoryRecord* TRxMemoryData::InsertRecord(Integer index) {
  TMemoryRecord* record = AddRecord();
  const Integer last = static_cast<Integer>(FRecords.size()) - 1;
  if (index < last) {
    FRecords.pop_back();
    FRecords.insert(FRecords.begin() + index, record);
  }
  return record;
}

Integer TRxMemoryData::IndexOfRecord(const TMemoryRecord* record) const {
  auto it = std::find(FRecords.begin(), FRecords.end(), record);
  return it == FRecords.end() ? -1 : static_cast<Integer>(it - FRecords.begin());
}

Integer TRxMemoryData::IndexOfID(Integer id) const {
  const Integer count = static_cast<Integer>(FRecords.size());
  // The records around the cursor are the likely ones: the ring of buffers lies there.
  const Integer from = std::clamp(FRecordPos - 64, 0, count);
  const Integer to = std::clamp(FRecordPos + 64, 0, count);
  for (Integer i = from; i < to; ++i)
    if (FRecords[static_cast<std::size_t>(i)]->FID == id) return i;
  for (Integer i = 0; i < from; ++i)
    if (FRecords[static_cast<std::size_t>(i)]->FID == id) return i;
  for (Integer i = to; i < count; ++i)
    if (FRecords[static_cast<std::size_t>(i)]->FID == id) return i;
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Structure and layout

void TRxMemoryData::InitFieldDefsFromFields() {
  TFieldDefs& defs = GetFieldDefs();
  defs.Clear();
  for (TField* field : GetFields()) {
    const TFieldKind kind = field->GetFieldKind();
    if (kind != fkData && kind != fkInternalCalc) continue;
    if (!IsSupportedType(field->GetDataType()))
      DatabaseErrorFmt(SUnknownFieldType, {field->GetDisplayName()}, this);
    TFieldDef* def = defs.Add(field->GetFieldName(), field->GetDataType(), field->GetSize(),
                              field->GetRequired());
    if (kind == fkInternalCalc) def->SetInternalCalcField(true);
  }
}

void TRxMemoryData::CalcLayout() {
  TFieldDefs& defs = GetFieldDefs();
  FSlots.clear();
  FFieldNoIndex.clear();
  FBlobCount = 0;
  Integer offset = 0;
  for (Integer i = 0; i < defs.GetCount(); ++i) {
    TFieldDef& def = *defs[i];
    Slot slot{-1, 0, -1, def.GetDataType()};
    if (IsBlobType(def.GetDataType())) {
      slot.BlobIndex = FBlobCount++;
    } else {
      slot.Offset = offset;
      slot.Size = ValueSize(def);
      offset += 1 + slot.Size;
    }
    offset += ChildBlockSize(def);
    FSlots.push_back(slot);
    const Integer fieldNo = def.GetFieldNo();
    if (fieldNo > 0) {
      if (static_cast<Integer>(FFieldNoIndex.size()) <= fieldNo)
        FFieldNoIndex.resize(static_cast<std::size_t>(fieldNo) + 1, -1);
      FFieldNoIndex[static_cast<std::size_t>(fieldNo)] = i;
    }
  }
  FRecordSize = offset;
}

const TRxMemoryData::Slot* TRxMemoryData::FieldSlot(const TField* field) const {
  const Integer fieldNo = field->GetFieldNo();
  if (fieldNo <= 0 || fieldNo >= static_cast<Integer>(FFieldNoIndex.size())) return nullptr;
  const Integer index = FFieldNoIndex[static_cast<std::size_t>(fieldNo)];
  return index < 0 ? nullptr : &FSlots[static_cast<std::size_t>(index)];
}

void TRxMemoryData::OpenCursor(bool infoQuery) {
  if (!infoQuery) {
    // Records made while the dataset was closed have no layout to keep to.
    ClearRecords();
    // Field objects, when there are any, define the structure.
    if (GetFieldCount() > 0) InitFieldDefsFromFields();
    CalcLayout();
    FActive = true;
  }
  inherited::OpenCursor(infoQuery);
}

void TRxMemoryData::InternalOpen() {
  SetBookmarkSize(4);
  if (GetDefaultFields()) CreateFields();
  BindFields(true);
  FBookmarkOffset = FRecordSize + GetCalcFieldsSize();
  const Integer align = static_cast<Integer>(alignof(AnsiString));
  FBlobOffset = (FBookmarkOffset + 8 + align - 1) / align * align;
  FRecordBufferSize = FBlobOffset + FBlobCount * static_cast<Integer>(sizeof(AnsiString));
  FRecordPos = -1;
}

void TRxMemoryData::InternalClose() {
  ClearRecords();
  FAutoInc = 1;
  BindFields(false);
  if (GetDefaultFields()) DestroyFields();
  FSortFields.clear();
  FActive = false;
}

// ---------------------------------------------------------------------------------------------
// Record buffers

TRecordBuffer TRxMemoryData::AllocRecordBuffer() {
  auto* buffer = static_cast<TRecordBuffer>(::operator new(static_cast<std::size_t>(FRecordBufferSize)));
  std::memset(buffer, 0, static_cast<std::size_t>(FBlobOffset));
  AnsiString* blobs = reinterpret_cast<AnsiString*>(buffer + FBlobOffset);
  for (Integer i = 0; i < FBlobCount; ++i) new (blobs + i) AnsiString();
  return buffer;
}

void TRxMemoryData::FreeRecordBuffer(TRecordBuffer& buffer) {
  AnsiString* blobs = BufferBlobs(buffer);
  for (Integer i = 0; i < FBlobCount; ++i) blobs[i].~AnsiString();
  ::operator delete(buffer);
  buffer = nullptr;
}

AnsiString* TRxMemoryData::BufferBlobs(TRecordBuffer buffer) const {
  return std::launder(reinterpret_cast<AnsiString*>(buffer + FBlobOffset));
}

Integer TRxMemoryData::BufferID(TRecordBuffer buffer) const {
  Integer id;
  std::memcpy(&id, buffer + FBookmarkOffset, 4);
  return id;
}

void TRxMemoryData::SetBufferID(TRecordBuffer buffer, Integer id) const {
  std::memcpy(buffer + FBookmarkOffset, &id, 4);
}

TBookmarkFlag TRxMemoryData::GetBookmarkFlag(TRecordBuffer buffer) {
  return static_cast<TBookmarkFlag>(buffer[FBookmarkOffset + 4]);
}

void TRxMemoryData::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) {
  buffer[FBookmarkOffset + 4] = static_cast<Byte>(value);
}

void TRxMemoryData::GetBookmarkData(TRecordBuffer buffer, void* data) {
  std::memcpy(data, buffer + FBookmarkOffset, 4);
}

void TRxMemoryData::SetBookmarkData(TRecordBuffer buffer, const void* data) {
  std::memcpy(buffer + FBookmarkOffset, data, 4);
}

void TRxMemoryData::CopyRecordToBuffer(const TMemoryRecord& record, TRecordBuffer buffer) const {
  std::memcpy(buffer, record.FData, static_cast<std::size_t>(FRecordSize));
  SetBufferID(buffer, record.FID);
  buffer[FBookmarkOffset + 4] = static_cast<Byte>(bfCurrent);
  AnsiString* blobs = BufferBlobs(buffer);
  for (Integer i = 0; i < FBlobCount; ++i) blobs[i] = record.FBlobs[static_cast<std::size_t>(i)];
}

void TRxMemoryData::CopyBufferToRecord(TRecordBuffer buffer, TMemoryRecord& record) const {
  std::memcpy(record.FData, buffer, static_cast<std::size_t>(FRecordSize));
  const AnsiString* blobs = BufferBlobs(buffer);
  for (Integer i = 0; i < FBlobCount; ++i) record.FBlobs[static_cast<std::size_t>(i)] = blobs[i];
}

void TRxMemoryData::InternalInitRecord(TRecordBuffer buffer) {
  std::memset(buffer, 0, static_cast<std::size_t>(FBookmarkOffset));
  AnsiString* blobs = BufferBlobs(buffer);
  for (Integer i = 0; i < FBlobCount; ++i) blobs[i].clear();
}

void TRxMemoryData::InitRecord(TRecordBuffer buffer) {
  inherited::InitRecord(buffer);
  SetBufferID(buffer, kNoID);
  SetBookmarkFlag(buffer, bfInserted);
}

void TRxMemoryData::ClearCalcFields(TRecordBuffer buffer) {
  std::memset(buffer + FRecordSize, 0, static_cast<std::size_t>(GetCalcFieldsSize()));
}

// ---------------------------------------------------------------------------------------------
// Navigation

Integer TRxMemoryData::GetRecordCount() const { return static_cast<Integer>(FRecords.size()); }

Integer TRxMemoryData::GetRecNo() const {
  if (!GetActive()) return -1;
  const_cast<TRxMemoryData*>(this)->UpdateCursorPos();
  if (FRecordPos == -1 && !FRecords.empty()) return 1;
  return FRecordPos + 1;
}

void TRxMemoryData::SetRecNo(Integer value) {
  CheckBrowseMode();
  if (value < 1 || value > GetRecordCount()) return;
  DoBeforeScroll();
  FRecordPos = value - 1;
  Resync({});
  DoAfterScroll();
}

bool TRxMemoryData::IsSequenced() const { return !GetFiltered(); }

void TRxMemoryData::InternalFirst() { FRecordPos = -1; }

void TRxMemoryData::InternalLast() { FRecordPos = static_cast<Integer>(FRecords.size()); }

bool TRxMemoryData::RecordFilter() {
  if (!GetOnFilterRecord()) return true;
  if (FRecordPos < 0 || FRecordPos >= static_cast<Integer>(FRecords.size())) return false;
  bool accept = true;
  const TDataSetState saved = SetTempState(dsFilter);
  try {
    CopyRecordToBuffer(*FRecords[static_cast<std::size_t>(FRecordPos)], TempBuffer());
    GetOnFilterRecord()(this, accept);
  } catch (...) {
    // The handler's failure is reported; the record counts as the handler left it.
    try {
      InternalHandleException();
    } catch (...) {
      RestoreState(saved);
      throw;
    }
  }
  RestoreState(saved);
  return accept;
}

TGetResult TRxMemoryData::GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) {
  const Integer count = static_cast<Integer>(FRecords.size());
  TGetResult result = grOK;
  if (count < 1) {
    result = grEOF;
  } else {
    FRecordPos = std::clamp(FRecordPos, -1, count);
    bool accept = true;
    switch (getMode) {
      case gmPrior:
        if (FRecordPos <= 0) {
          result = grBOF;
          FRecordPos = -1;
        } else {
          do {
            --FRecordPos;
            if (GetFiltered()) accept = RecordFilter();
          } while (!accept && FRecordPos >= 0);
          if (!accept) {
            result = grBOF;
            FRecordPos = -1;
          }
        }
        break;
      case gmCurrent:
        if (FRecordPos < 0 || FRecordPos >= count || (GetFiltered() && !RecordFilter()))
          result = grError;
        break;
      case gmNext:
        if (FRecordPos >= count - 1) {
          result = grEOF;
        } else {
          do {
            ++FRecordPos;
            if (GetFiltered()) accept = RecordFilter();
          } while (!accept && FRecordPos < count);
          if (!accept) {
            result = grEOF;
            FRecordPos = count - 1;
          }
        }
        break;
    }
  }
  if (result == grOK) {
    CopyRecordToBuffer(*FRecords[static_cast<std::size_t>(FRecordPos)], buffer);
    GetCalcFields(buffer);
  } else if (result == grError && doCheck) {
    DatabaseError(SMemNoRecords, this);
  }
  return result;
}

void TRxMemoryData::InternalGotoBookmark(TBookmark bookmark) {
  Integer id;
  std::memcpy(&id, bookmark, 4);
  const Integer index = IndexOfID(id);
  if (index < 0) return;
  const Integer saved = FRecordPos;
  FRecordPos = index;
  if (GetFiltered() && !RecordFilter()) FRecordPos = saved;
}

void TRxMemoryData::InternalSetToRecord(TRecordBuffer buffer) {
  InternalGotoBookmark(buffer + FBookmarkOffset);
}

bool TRxMemoryData::BookmarkValid(TBookmark bookmark) {
  if (!FActive) return false;
  Integer id;
  std::memcpy(&id, bookmark, 4);
  // A bookmark of a deleted record is no longer valid.
  return id != kNoID && id <= FLastID && IndexOfID(id) >= 0;
}

Integer TRxMemoryData::CompareBookmarks(TBookmark bookmark1, TBookmark bookmark2) {
  if (!bookmark1 && !bookmark2) return 0;
  if (!bookmark1) return -1;
  if (!bookmark2) return 1;
  Integer a, b;
  std::memcpy(&a, bookmark1, 4);
  std::memcpy(&b, bookmark2, 4);
  return a < b ? -1 : (a > b ? 1 : 0);
}

bool TRxMemoryData::GetCurrentRecord(TRecordBuffer buffer) {
  if (IsEmpty() || GetBookmarkFlag(ActiveBuffer()) != bfCurrent) return false;
  UpdateCursorPos();
  if (FRecordPos < 0 || FRecordPos >= static_cast<Integer>(FRecords.size())) return false;
  std::memcpy(buffer, FRecords[static_cast<std::size_t>(FRecordPos)]->FData,
              static_cast<std::size_t>(FRecordSize));
  return true;
}

void TRxMemoryData::SetFiltered(bool value) {
  if (GetActive()) CheckBrowseMode();
  if (value == GetFiltered()) return;
  inherited::SetFiltered(value);
  if (GetActive()) First();
}

void TRxMemoryData::SetOnFilterRecord(TFilterRecordEvent value) {
  if (GetActive()) CheckBrowseMode();
  inherited::SetOnFilterRecord(value);
  if (GetActive() && GetFiltered()) First();
}

bool TRxMemoryData::Locate(const AnsiString& keyFields, const Variant& keyValues,
                           TLocateOptions options) {
  DoBeforeScroll();
  const bool found = LocateInDataSet(this, keyFields, keyValues, options);
  SetFound(found);
  if (found) {
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
  }
  return found;
}

// ---------------------------------------------------------------------------------------------
// Field data

bool TRxMemoryData::GetFieldData(TField* field, void* buffer) {
  const TRecordBuffer record = GetActiveRecordBuffer();
  if (!record) return false;
  const std::size_t dataSize = static_cast<std::size_t>(std::max(field->GetDataSize(), 0));
  const TFieldKind kind = field->GetFieldKind();
  if (kind == fkCalculated || kind == fkLookup) {
    switch (GetState()) {
      case dsBrowse:
      case dsEdit:
      case dsInsert:
      case dsSetKey:
      case dsCalcFields:
        break;
      default:
        return false;
    }
    const Byte* p = record + FRecordSize + field->GetOffset();
    if (!p[0]) return false;
    if (buffer) std::memcpy(buffer, p + 1, dataSize);
    return true;
  }
  const Slot* slot = FieldSlot(field);
  if (!slot || slot->Offset < 0) return false;
  const Byte* p = record + slot->Offset;
  if (!p[0]) return false;
  if (EmptyTextIsNull(slot->Type) && !TextPresent(slot->Type, p + 1)) return false;
  if (buffer) {
    const std::size_t n = std::min(dataSize, static_cast<std::size_t>(slot->Size));
    std::memcpy(buffer, p + 1, n);
    if (n < dataSize) std::memset(static_cast<Byte*>(buffer) + n, 0, dataSize - n);
  }
  return true;
}

void TRxMemoryData::SetFieldData(TField* field, const void* buffer) {
  const TDataSetState state = GetState();
  if (!orv::IsWriteState(state)) DatabaseError(SNotEditing, this);
  const TRecordBuffer record = GetActiveRecordBuffer();
  if (!record) DatabaseError(SNotEditing, this);
  const TFieldKind kind = field->GetFieldKind();
  if (kind == fkData || kind == fkInternalCalc) {
    if (state == dsCalcFields || state == dsFilter) DatabaseError(SNotEditing, this);
    if (field->GetReadOnly() && state != dsSetKey && state != dsFilter)
      DatabaseErrorFmt(SFieldReadOnly, {field->GetDisplayName()}, this);
    field->Validate(buffer);
    if (kind != fkInternalCalc) {
      const Slot* slot = FieldSlot(field);
      if (slot && slot->Offset >= 0) {
        Byte* p = record + slot->Offset;
        const std::size_t size = static_cast<std::size_t>(slot->Size);
        p[0] = buffer ? 1 : 0;
        if (buffer) {
          const std::size_t n = std::min(size, static_cast<std::size_t>(std::max(field->GetDataSize(), 0)));
          std::memcpy(p + 1, buffer, n);
          if (n < size) std::memset(p + 1 + n, 0, size - n);
          // Text always ends inside its slot.
          if (EmptyTextIsNull(slot->Type) && size > 0) {
            p[size] = 0;
            if (slot->Type == ftWideString && size > 1) p[size - 1] = 0;
          }
        } else {
          std::memset(p + 1, 0, size);
        }
      }
    }
  } else {
    Byte* p = record + FRecordSize + field->GetOffset();
    p[0] = buffer ? 1 : 0;
    const std::size_t size = static_cast<std::size_t>(std::max(field->GetDataSize(), 0));
    if (buffer)
      std::memcpy(p + 1, buffer, size);
    else
      std::memset(p + 1, 0, size);
  }
  if (state != dsCalcFields && state != dsFilter && state != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<NativeInt>(field));
}

bool TRxMemoryData::GetIsIndexField(TField* field) const {
  return std::find(FSortFields.begin(), FSortFields.end(), field) != FSortFields.end();
}

// ---------------------------------------------------------------------------------------------
// Editing

void TRxMemoryData::SetAutoIncFields(TRecordBuffer buffer) {
  bool any = false;
  for (TField* field : GetFields()) {
    if (field->GetFieldKind() != fkData || field->GetDataType() != ftAutoInc) continue;
    const Slot* slot = FieldSlot(field);
    if (!slot || slot->Offset < 0) continue;
    Byte* p = buffer + slot->Offset;
    p[0] = 1;
    std::memcpy(p + 1, &FAutoInc, 4);
    any = true;
  }
  if (any) ++FAutoInc;
}

void TRxMemoryData::InternalAddRecord(const void* buffer, bool append) {
  auto* data = static_cast<TRecordBuffer>(const_cast<void*>(buffer));
  TMemoryRecord* record;
  if (append) {
    record = AddRecord();
    FRecordPos = static_cast<Integer>(FRecords.size()) - 1;
  } else {
    if (FRecordPos < 0) FRecordPos = 0;
    FRecordPos = std::min(FRecordPos, static_cast<Integer>(FRecords.size()));
    record = InsertRecord(FRecordPos);
  }
  SetAutoIncFields(data);
  CopyBufferToRecord(data, *record);
}

void TRxMemoryData::InternalPost() {
  inherited::InternalPost();
  const TRecordBuffer buffer = ActiveBuffer();
  const Integer count = static_cast<Integer>(FRecords.size());
  if (GetState() == dsEdit) {
    if (FRecordPos < 0 || FRecordPos >= count) DatabaseError(SRecordNotFound, this);
    CopyBufferToRecord(buffer, *FRecords[static_cast<std::size_t>(FRecordPos)]);
    return;
  }
  SetAutoIncFields(buffer);
  TMemoryRecord* record;
  if (FRecordPos >= count) {
    record = AddRecord();
    FRecordPos = count;
  } else {
    const Integer at = FRecordPos < 0 ? 0 : FRecordPos;
    record = InsertRecord(at);
    FRecordPos = at;
  }
  CopyBufferToRecord(buffer, *record);
}

void TRxMemoryData::InternalDelete() {
  if (FRecordPos < 0 || FRecordPos >= static_cast<Integer>(FRecords.size())) return;
  FreeRecord(FRecordPos);
  if (FRecordPos >= static_cast<Integer>(FRecords.size())) --FRecordPos;
  if (GetFiltered()) {
    while (FRecordPos >= 0 && !RecordFilter()) --FRecordPos;
  }
  // The last identity stays: a bookmark of a deleted record must never name a new one.
}

// ---------------------------------------------------------------------------------------------
// Blobs in memory

// A stream over one blob text of a record buffer of a memory dataset.
class TMemBlobStream : public TStream {
  ORV_CLASS(TMemBlobStream, TStream)
 public:
  using TCreateSignature = void();

  TMemBlobStream(TBlobField* field, TBlobStreamMode mode)
      : FField(field), FDataSet(static_cast<TRxMemoryData*>(field->GetDataSet())), FMode(mode) {
    FBuffer = FDataSet->GetActiveRecordBuffer();
    if (!FBuffer) return;
    const TRxMemoryData::Slot* slot = FDataSet->FieldSlot(field);
    if (!slot || slot->BlobIndex < 0) return;
    if (mode != bmRead) {
      if (field->GetReadOnly()) DatabaseErrorFmt(SFieldReadOnly, {field->GetDisplayName()}, FDataSet);
      if (FDataSet->GetState() != dsEdit && FDataSet->GetState() != dsInsert)
        DatabaseError(SNotEditing, FDataSet);
    }
    FText = &FDataSet->BufferBlobs(FBuffer)[slot->BlobIndex];
    if (mode == bmWrite) Truncate();
  }

  void BeforeDestruction() override {
    if (FModified) {
      FField->SetModified(true);
      FDataSet->DataEvent(deFieldChange, reinterpret_cast<NativeInt>(static_cast<TField*>(FField)));
    }
    inherited::BeforeDestruction();
  }

  Integer Read(void* buffer, Integer count) override {
    if (!FText || count <= 0) return 0;
    const Int64 available = static_cast<Int64>(FText->size()) - FPosition;
    const Integer n = static_cast<Integer>(std::max<Int64>(0, std::min<Int64>(count, available)));
    if (n > 0) std::memcpy(buffer, FText->data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
  }

  Integer Write(const void* buffer, Integer count) override {
    if (!FText || FMode == bmRead || count <= 0) return 0;
    const Int64 end = FPosition + count;
    if (static_cast<Int64>(FText->size()) < end) FText->resize(static_cast<std::size_t>(end));
    std::memcpy(FText->data() + FPosition, buffer, static_cast<std::size_t>(count));
    FPosition = end;
    FModified = true;
    return count;
  }

  Int64 Seek(Int64 offset, TSeekOrigin origin) override {
    switch (origin) {
      case soBeginning:
        FPosition = offset;
        break;
      case soCurrent:
        FPosition += offset;
        break;
      case soEnd:
        FPosition = GetSize() + offset;
        break;
    }
    if (FPosition < 0) FPosition = 0;
    return FPosition;
  }

  Int64 GetSize() override { return FText ? static_cast<Int64>(FText->size()) : 0; }

  void SetSize(Int64 newSize) override {
    if (!FText || FMode == bmRead || newSize < 0) return;
    FText->resize(static_cast<std::size_t>(newSize));
    if (FPosition > newSize) FPosition = newSize;
    FModified = true;
  }

 private:
  void Truncate() {
    FText->clear();
    FPosition = 0;
    FModified = true;
  }

  TBlobField* FField;
  TRxMemoryData* FDataSet;
  TBlobStreamMode FMode;
  TRecordBuffer FBuffer = nullptr;
  AnsiString* FText = nullptr;
  Int64 FPosition = 0;
  bool FModified = false;
};

TStream* TRxMemoryData::CreateBlobStream(TField* field, TBlobStreamMode mode) {
  auto* blob = dynamic_cast<TBlobField*>(field);
  if (!blob || blob->GetDataSet() != this) return nullptr;
  return new TMemBlobStream(blob, mode);
}

void TRxMemoryData::CloseBlob(TField* field) {
  const Slot* slot = FieldSlot(field);
  if (!slot || slot->BlobIndex < 0 || IsEmpty()) return;
  AnsiString& text = BufferBlobs(ActiveBuffer())[slot->BlobIndex];
  if (GetState() == dsEdit && FRecordPos >= 0 && FRecordPos < static_cast<Integer>(FRecords.size()))
    text = FRecords[static_cast<std::size_t>(FRecordPos)]->FBlobs[static_cast<std::size_t>(slot->BlobIndex)];
  else
    text.clear();
}

// ---------------------------------------------------------------------------------------------
// Copying another dataset

void TRxMemoryData::TakeStructureFrom(TDataSet* source) {
  CheckInactive();
  FSortFields.clear();
  for (Integer i = GetFieldCount() - 1; i >= 0; --i) GetFields()[i]->Free();
  if (!source) {
    GetFieldDefs().Clear();
    return;
  }
  source->GetFieldDefs().Update();
  GetFieldDefs().Assign(source->GetFieldDefs());
  RemoveUnsupported(GetFieldDefs());
  // Field numbers follow the definitions that stayed.
  for (Integer i = 0; i < GetFieldDefs().GetCount(); ++i) GetFieldDefs()[i]->SetFieldNo(i + 1);
  CreateFields();
}

Integer TRxMemoryData::LoadRecordsFrom(TDataSet* source, Integer recordCount, TLoadMode mode) {
  if (!source || source == this) return 0;
  Integer copied = 0;
  const bool sourceActive = source->GetActive();
  source->DisableControls();
  DisableControls();
  try {
    SetFiltered(false);
    source->Open();
    source->CheckBrowseMode();
    source->UpdateCursorPos();
    if (mode == lmCopy) {
      Close();
      TakeStructureFrom(source);
    }
    FSortFields.clear();
    if (!GetActive()) Open();
    CheckBrowseMode();
    if (recordCount <= 0) {
      source->First();
      recordCount = 0;
    }
    const orv::RecordFieldCopier copier(source, this, true);
    while (!source->GetEOF()) {
      Append();
      copier.Copy();
      Post();
      ++copied;
      if (recordCount > 0 && copied >= recordCount) break;
      source->Next();
    }
    First();
  } catch (...) {
    try {
      if (!sourceActive) source->Close();
    } catch (...) {
      // The copy's own failure is the one to report.
    }
    EnableControls();
    source->EnableControls();
    throw;
  }
  if (!sourceActive) source->Close();
  EnableControls();
  source->EnableControls();
  return copied;
}

// ---------------------------------------------------------------------------------------------
// Sorting

void TRxMemoryData::SortByFields(const AnsiString& fieldNames, bool caseInsensitive, bool descending) {
  try {
    BuildSortFields(fieldNames);
    FCaseInsensitiveSort = caseInsensitive;
    FDescendingSort = descending;
    Sort();
  } catch (...) {
    FSortFields.clear();
    throw;
  }
}

void TRxMemoryData::BuildSortFields(const AnsiString& fieldNames) {
  FSortFields.clear();
  for (const AnsiString& name : orv::ExtractFieldNames(fieldNames)) {
    TField* field = FieldByName(name);
    const TFieldType type = field->GetDataType();
    if (field->GetFieldKind() != fkData)
      DatabaseErrorFmt(STypeMismatch, {field->GetDisplayName(), AnsiString("Data"), KindName(field->GetFieldKind())}, this);
    if (!IsDataType(type))
      DatabaseErrorFmt(STypeMismatch, {field->GetDisplayName(), AnsiString("a non-blob type"),
                                       field->ClassName()}, this);
    FSortFields.push_back(field);
  }
}

void TRxMemoryData::Sort() {
  if (!GetActive() || FRecords.empty()) return;
  // A pending edit is posted first, while the buffers still match the positions.
  CheckBrowseMode();
  const TBookmarkStr position = GetBookmarkStr();
  SortRecords();
  CursorPosChanged();
  if (!position.empty())
    SetBookmarkStr(position);
  else
    Resync({});
}

namespace {

// The values of one sort field, read once from every record, in a form that compares fast:
// texts as collation sort keys (byte-wise order is the locale's order), numbers as 64-bit
// integers or doubles.
class SortColumn {
 public:
  enum Kind { kText, kInteger, kFloat, kNone };

  SortColumn(TFieldType type, Integer offset, Integer size, bool caseInsensitive, std::size_t count)
      : FType(type), FOffset(offset), FSize(size) {
    switch (type) {
      case ftString:
      case ftFixedChar:
      case ftWideString:
        FKind = kText;
        FFlags = caseInsensitive ? NORM_IGNORECASE : 0;
        break;
      case ftGuid:
        FKind = kText;
        FFlags = NORM_IGNORECASE;
        break;
      case ftSmallint:
      case ftWord:
      case ftInteger:
      case ftDate:
      case ftTime:
      case ftAutoInc:
      case ftBoolean:
      case ftLargeint:
        FKind = kInteger;
        break;
      case ftFloat:
      case ftCurrency:
      case ftDateTime:
        FKind = kFloat;
        break;
      default:
        FKind = kNone;
        break;
    }
    FPresent.reserve(count);
    if (FKind == kText) FSpans.reserve(count);
    if (FKind == kInteger) FIntegers.reserve(count);
    if (FKind == kFloat) FFloats.reserve(count);
  }

  void Add(const Byte* data) {
    const Byte* p = data + FOffset;
    bool present = p[0] != 0;
    const Byte* v = p + 1;
    if (present && EmptyTextIsNull(FType)) present = TextPresent(FType, v);
    FPresent.push_back(present);
    switch (FKind) {
      case kText: {
        std::string key;
        if (present) {
          if (FType == ftWideString) {
            std::u16string wide(static_cast<std::size_t>(FSize / 2), u'\0');
            std::memcpy(wide.data(), v, wide.size() * 2);
            wide.resize(std::char_traits<char16_t>::length(wide.c_str()));
            key = orv::AnsiSortKey(orv::WideToAnsi(wide), FFlags);
          } else {
            const char* text = reinterpret_cast<const char*>(v);
            key = orv::AnsiSortKey(std::string_view(text, strnlen(text, static_cast<std::size_t>(FSize))), FFlags);
          }
        }
        FSpans.push_back({FKeys.size(), key.size()});
        FKeys += key;
        break;
      }
      case kInteger:
        FIntegers.push_back(present ? ReadInteger(v) : 0);
        break;
      case kFloat: {
        double d = 0;
        if (present) std::memcpy(&d, v, 8);
        FFloats.push_back(d);
        break;
      }
      case kNone:
        break;
    }
  }

  bool Present(std::size_t i) const { return FPresent[i]; }
  bool IsText() const { return FKind == kText; }
  std::string_view Key(std::size_t i) const {
    return std::string_view(FKeys.data() + FSpans[i].first, FSpans[i].second);
  }

  // The first eight bytes of the value's order as an unsigned number: two values whose
  // prefixes differ compare as their prefixes do. For numbers the prefix is the whole order.
  std::uint64_t Prefix(std::size_t i) const {
    if (!FPresent[i]) return 0;
    switch (FKind) {
      case kText: {
        // Padding with zero bytes keeps a key below every longer key it begins.
        const std::string_view key = Key(i);
        std::uint64_t prefix = 0;
        for (std::size_t k = 0; k < 8; ++k)
          prefix = prefix << 8 | (k < key.size() ? static_cast<Byte>(key[k]) : 0);
        return prefix;
      }
      case kInteger:
        return static_cast<std::uint64_t>(FIntegers[i]) ^ (std::uint64_t(1) << 63);
      case kFloat: {
        double d = FFloats[i];
        // A NaN would break the order the sort relies on: it counts as above every number.
        if (std::isnan(d)) return ~std::uint64_t(0);
        if (d == 0) d = 0;  // -0 and +0 are equal
        std::uint64_t bits;
        std::memcpy(&bits, &d, 8);
        return bits >> 63 ? ~bits : bits | (std::uint64_t(1) << 63);
      }
      case kNone:
        break;
    }
    return 0;
  }

  // Below, equal or above zero as record a's value stands to record b's; no value first.
  int Compare(std::size_t a, std::size_t b) const {
    const bool pa = FPresent[a], pb = FPresent[b];
    if (!pa || !pb) return pa == pb ? 0 : (pa ? 1 : -1);
    switch (FKind) {
      case kText: {
        const std::string_view ka(FKeys.data() + FSpans[a].first, FSpans[a].second);
        const std::string_view kb(FKeys.data() + FSpans[b].first, FSpans[b].second);
        const int r = ka.compare(kb);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
      }
      case kInteger:
        return FIntegers[a] < FIntegers[b] ? -1 : (FIntegers[a] > FIntegers[b] ? 1 : 0);
      case kFloat: {
        const double x = FFloats[a], y = FFloats[b];
        // A NaN would break the order the sort relies on: it counts as above every number.
        const bool nx = std::isnan(x), ny = std::isnan(y);
        if (nx || ny) return nx == ny ? 0 : (nx ? 1 : -1);
        return x < y ? -1 : (x > y ? 1 : 0);
      }
      case kNone:
        break;
    }
    return 0;
  }

 private:
  Int64 ReadInteger(const Byte* v) const {
    switch (FType) {
      case ftSmallint: {
        SmallInt x;
        std::memcpy(&x, v, 2);
        return x;
      }
      case ftWord: {
        Word x;
        std::memcpy(&x, v, 2);
        return x;
      }
      case ftBoolean: {
        Word x;
        std::memcpy(&x, v, 2);
        return x != 0 ? 1 : 0;
      }
      case ftLargeint: {
        Int64 x;
        std::memcpy(&x, v, 8);
        return x;
      }
      default: {
        Integer x;
        std::memcpy(&x, v, 4);
        return x;
      }
    }
  }

  TFieldType FType;
  Integer FOffset;
  Integer FSize;
  Kind FKind = kNone;
  Cardinal FFlags = 0;
  std::vector<bool> FPresent;
  std::string FKeys;
  std::vector<std::pair<std::size_t, std::size_t>> FSpans;
  std::vector<Int64> FIntegers;
  std::vector<double> FFloats;
};

}  // namespace

void TRxMemoryData::SortRecords() {
  const std::size_t count = FRecords.size();
  if (count < 2) return;
  std::vector<SortColumn> columns;
  columns.reserve(FSortFields.size());
  for (TField* field : FSortFields) {
    const Slot* slot = FieldSlot(field);
    if (!slot || slot->Offset < 0) continue;
    columns.emplace_back(slot->Type, slot->Offset, slot->Size, FCaseInsensitiveSort, count);
  }
  for (const TMemoryRecord* record : FRecords)
    for (SortColumn& column : columns) column.Add(record->FData);

  // The sort moves small entries that carry the first field's order prefix, so that most
  // comparisons look at nothing else.
  struct Entry {
    std::uint64_t Prefix;
    Integer Id;
    std::uint32_t Index;
    bool Present;
  };
  std::vector<Entry> order(count);
  const SortColumn* first = columns.empty() ? nullptr : &columns.front();
  for (std::size_t i = 0; i < count; ++i) {
    order[i] = {first ? first->Prefix(i) : 0, FRecords[i]->FID, static_cast<std::uint32_t>(i),
                first ? first->Present(i) : false};
  }
  const bool firstIsText = first && first->IsText();
  // Ties go by identity, so the order is total: the descending order is the ascending one
  // reversed, ties included.
  std::sort(order.begin(), order.end(), [&](const Entry& a, const Entry& b) {
    if (a.Present != b.Present) return b.Present;
    if (a.Prefix != b.Prefix) return a.Prefix < b.Prefix;
    if (firstIsText && a.Present) {
      if (const int r = first->Key(a.Index).compare(first->Key(b.Index))) return r < 0;
    }
    for (std::size_t c = 1; c < columns.size(); ++c)
      if (const int r = columns[c].Compare(a.Index, b.Index)) return r < 0;
    return a.Id < b.Id;
  });
  if (FDescendingSort) std::reverse(order.begin(), order.end());
  std::vector<TMemoryRecord*> sorted(count);
  for (std::size_t i = 0; i < count; ++i) sorted[i] = FRecords[order[i].Index];
  FRecords.swap(sorted);
}

// Published properties, read and written by form descriptions.
ORV_PUBLISH(TRxMemoryData) {}
