// An array-backed dataset for the tests (and the navigation benchmark): records live in a vector,
// the cursor is an index into it, a bookmark is the record's 4-byte identity.
//
// Record layout (per field definition, in order): one value-present byte, then the native value
// of the type; blob fields are kept beside the block. Record buffer: the record block, the
// calculated-field area, then (aligned) the record information (identity, bookmark flag).
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/dataset/DataSet.h"
#include "platform/runtime/Streams.h"

namespace orvtest {

inline bool IsBlobType(TFieldType type) {
  return (type >= ftBlob && type <= ftTypedBinary) || type == ftOraBlob || type == ftOraClob;
}

inline Integer NativeSize(TFieldType type, Integer size) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftGuid:
      return size + 1;
    case ftWideString:
      return (size + 1) * 2;
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
    default:
      return 0;
  }
}

class TArrayDataSet : public TDataSet {
  ORV_CLASS(TArrayDataSet, TDataSet)
 public:
  using TDataSet::BookmarkValid;
  using TDataSet::CompareBookmarks;

  struct Record {
    Integer Id = 0;
    std::vector<Byte> Data;
    std::vector<AnsiString> Blobs;
  };

  explicit TArrayDataSet(TComponent* owner) : TDataSet(owner) {}

  // ---- direct access for tests ----
  std::vector<Record> Records;
  bool FailOpen = false;
  bool ReadOnly = false;
  Integer CloseCursorCalls = 0;
  Integer InternalCloseCalls = 0;
  Integer AllocCount = 0;
  Integer CompareCalls = 0;
  Integer InitFieldDefsCalls = 0;

  // Appends a stored record of integers / texts / floats, in field-definition order, without
  // notifications. Definitions must exist (the layout is computed on first use).
  void AddRow(std::initializer_list<Variant> values) {
    ComputeLayout();
    Record r;
    r.Id = ++FLastId;
    r.Data.assign(static_cast<std::size_t>(FRecordSize), 0);
    r.Blobs.assign(FBlobCount, AnsiString());
    Integer i = 0;
    for (const Variant& v : values) {
      TFieldDef* def = GetFieldDefs()[i];
      Byte* p = r.Data.data() + FOffsets[static_cast<std::size_t>(i)];
      if (!VarIsNull(v) && !VarIsEmpty(v)) {
        if (IsBlobType(def->GetDataType())) {
          r.Blobs[static_cast<std::size_t>(FBlobIndex[static_cast<std::size_t>(i)])] = VarToStr(v);
        } else {
          p[0] = 1;
          EncodeNative(def, v, p + 1);
        }
      }
      ++i;
    }
    Records.push_back(std::move(r));
  }

  Integer Position() const { return FPos; }

  Integer GetRecordCount() const override { return static_cast<Integer>(Records.size()); }

  Integer GetRecNo() const override {
    const TRecordBuffer buffer = GetActiveRecordBuffer();
    if (!buffer) return -1;
    const Integer index = IndexOfId(Info(buffer)->Id);
    return index < 0 ? -1 : index + 1;
  }

  void SetRecNo(Integer value) override {
    CheckBrowseMode();
    if (value < 1 || value > GetRecordCount()) return;
    DoBeforeScroll();
    FPos = value - 1;
    Resync({rmCenter});
    DoAfterScroll();
  }

  bool GetCanModify() const override { return !ReadOnly; }

  // Finds the next (or prior) record that the filter accepts.
  bool FindRecord(bool restart, bool goForward) override {
    CheckBrowseMode();
    DoBeforeScroll();
    SetFound(false);
    UpdateCursorPos();
    CursorPosChanged();
    if (restart) FPos = goForward ? -1 : static_cast<Integer>(Records.size());
    const bool saved = FFilterActive;
    FFilterActive = true;
    const TGetResult r = GetRecord(TempBuffer(), goForward ? gmNext : gmPrior, true);
    FFilterActive = saved;
    if (r == grOK) {
      Resync({rmExact, rmCenter});
      SetFound(true);
      DoAfterScroll();
    }
    return GetFound();
  }

  TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) override;

  bool GetFieldData(TField* field, void* buffer) override {
    const TRecordBuffer record = GetActiveRecordBuffer();
    if (!record) return false;
    Integer size;
    const Byte* p = FieldSlot(field, record, size);
    if (!p[0]) return false;
    if (buffer) std::memcpy(buffer, p + 1, static_cast<std::size_t>(size));
    return true;
  }

  void SetFieldData(TField* field, const void* buffer) override {
    const TRecordBuffer record = GetActiveRecordBuffer();
    if (!record) DatabaseError("Dataset not in edit or insert mode", this);
    field->Validate(buffer);
    Integer size;
    Byte* p = FieldSlot(field, record, size);
    p[0] = buffer ? 1 : 0;
    if (buffer)
      std::memcpy(p + 1, buffer, static_cast<std::size_t>(size));
    else
      std::memset(p + 1, 0, static_cast<std::size_t>(size));
    if (GetState() != dsCalcFields && GetState() != dsFilter)
      DataEvent(deFieldChange, reinterpret_cast<NativeInt>(field));
  }

  // The blob texts of a record buffer.
  std::vector<AnsiString>& BufferBlobs(TRecordBuffer buffer) { return FBufferBlobs[buffer]; }

 protected:
  struct RecInfo {
    Integer Id;
    TBookmarkFlag Flag;
  };

  // The record information sits at the next 8-byte boundary after the calculated fields.
  Integer InfoOffset() const { return (FRecordSize + GetCalcFieldsSize() + 7) & ~7; }
  RecInfo* Info(TRecordBuffer buffer) const {
    return reinterpret_cast<RecInfo*>(buffer + InfoOffset());
  }

  TRecordBuffer AllocRecordBuffer() override {
    ++AllocCount;
    const std::size_t size = static_cast<std::size_t>(InfoOffset()) + sizeof(RecInfo);
    auto* buffer = new Byte[size]();
    FBufferBlobs[buffer].assign(FBlobCount, AnsiString());
    return buffer;
  }

  void FreeRecordBuffer(TRecordBuffer& buffer) override {
    FBufferBlobs.erase(buffer);
    delete[] buffer;
    buffer = nullptr;
  }

  TGetResult GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) override {
    const Integer count = static_cast<Integer>(Records.size());
    switch (getMode) {
      case gmCurrent:
        if (FPos < 0 || FPos >= count || !Accepted(FPos)) return grError;
        break;
      case gmNext:
        do {
          ++FPos;
        } while (FPos < count && !Accepted(FPos));
        if (FPos >= count) {
          FPos = count;
          return grEOF;
        }
        break;
      case gmPrior:
        do {
          --FPos;
        } while (FPos >= 0 && !Accepted(FPos));
        if (FPos < 0) {
          FPos = -1;
          return grBOF;
        }
        break;
    }
    CopyToBuffer(Records[static_cast<std::size_t>(FPos)], buffer);
    GetCalcFields(buffer);
    return grOK;
  }

  Integer GetRecordSize() const override { return FRecordSize; }
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) override { return Info(buffer)->Flag; }
  void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) override { Info(buffer)->Flag = value; }
  void GetBookmarkData(TRecordBuffer buffer, void* data) override {
    std::memcpy(data, &Info(buffer)->Id, 4);
  }
  void SetBookmarkData(TRecordBuffer buffer, const void* data) override {
    std::memcpy(&Info(buffer)->Id, data, 4);
  }

  void InternalOpen() override {
    if (FailOpen) DatabaseError("Cannot open the test data", this);
    ComputeLayout();
    SetBookmarkSize(4);
    if (GetDefaultFields()) CreateFields();
    BindFields(true);
    FPos = -1;
    FIsOpen = true;
  }

  void CloseCursor() override {
    ++CloseCursorCalls;
    TDataSet::CloseCursor();
  }

  void InternalClose() override {
    ++InternalCloseCalls;
    BindFields(false);
    if (GetDefaultFields()) DestroyFields();
    FIsOpen = false;
  }

  bool IsCursorOpen() const override { return FIsOpen; }
  void InternalInitFieldDefs() override { ++InitFieldDefsCalls; }
  void InternalFirst() override { FPos = -1; }
  void InternalLast() override { FPos = static_cast<Integer>(Records.size()); }

  void InternalGotoBookmark(TBookmark bookmark) override {
    Integer id;
    std::memcpy(&id, bookmark, 4);
    // A bookmark of a record that is gone leaves the cursor on no record.
    FPos = IndexOfId(id);
  }

  void InternalSetToRecord(TRecordBuffer buffer) override {
    InternalGotoBookmark(reinterpret_cast<TBookmark>(&Info(buffer)->Id));
  }

  void InternalInitRecord(TRecordBuffer buffer) override {
    std::memset(buffer, 0, static_cast<std::size_t>(FRecordSize + GetCalcFieldsSize()));
    Info(buffer)->Id = 0;
    BufferBlobs(buffer).assign(FBlobCount, AnsiString());
  }

  void ClearCalcFields(TRecordBuffer buffer) override {
    std::memset(buffer + FRecordSize, 0, static_cast<std::size_t>(GetCalcFieldsSize()));
  }

  void InternalPost() override {
    TDataSet::InternalPost();
    const TRecordBuffer buffer = ActiveBuffer();
    if (GetState() == dsEdit) {
      CopyFromBuffer(buffer, Records[static_cast<std::size_t>(FPos)]);
      return;
    }
    Record r;
    r.Id = ++FLastId;
    CopyFromBuffer(buffer, r);
    const Integer count = static_cast<Integer>(Records.size());
    const Integer at = FPos < 0 ? 0 : std::min(FPos, count);
    Records.insert(Records.begin() + at, std::move(r));
    FPos = at;
  }

  void InternalAddRecord(const void* buffer, bool append) override {
    Record r;
    r.Id = ++FLastId;
    CopyFromBuffer(static_cast<TRecordBuffer>(const_cast<void*>(buffer)), r);
    if (append || FPos < 0 || FPos >= static_cast<Integer>(Records.size())) {
      Records.push_back(std::move(r));
      FPos = static_cast<Integer>(Records.size()) - 1;
    } else {
      Records.insert(Records.begin() + FPos, std::move(r));
    }
  }

  void InternalDelete() override {
    Records.erase(Records.begin() + FPos);
    if (FPos >= static_cast<Integer>(Records.size())) FPos = static_cast<Integer>(Records.size()) - 1;
  }

  bool BookmarkValid(TBookmark bookmark) override {
    Integer id;
    std::memcpy(&id, bookmark, 4);
    return IndexOfId(id) >= 0;
  }

  Integer CompareBookmarks(TBookmark bookmark1, TBookmark bookmark2) override {
    ++CompareCalls;
    Integer a, b;
    std::memcpy(&a, bookmark1, 4);
    std::memcpy(&b, bookmark2, 4);
    return a < b ? -1 : (a > b ? 1 : 0);
  }

 private:
  // A field's value-present byte in `record` (its value follows), and the value's size.
  Byte* FieldSlot(TField* field, TRecordBuffer record, Integer& size) const {
    if (field->GetFieldKind() == fkCalculated || field->GetFieldKind() == fkLookup) {
      size = field->GetDataSize();
      return record + FRecordSize + field->GetOffset();
    }
    const std::size_t i = static_cast<std::size_t>(field->GetFieldNo() - 1);
    size = FSizes[i];
    return record + FOffsets[i];
  }

  void ComputeLayout() {
    FOffsets.clear();
    FSizes.clear();
    FBlobIndex.clear();
    FBlobCount = 0;
    Integer offset = 0;
    for (Integer i = 0; i < GetFieldDefs().GetCount(); ++i) {
      TFieldDef* def = GetFieldDefs()[i];
      FOffsets.push_back(offset);
      if (IsBlobType(def->GetDataType())) {
        FSizes.push_back(0);
        FBlobIndex.push_back(static_cast<Integer>(FBlobCount++));
        offset += 1;
      } else {
        FSizes.push_back(NativeSize(def->GetDataType(), def->GetSize()));
        FBlobIndex.push_back(-1);
        offset += 1 + FSizes.back();
      }
    }
    FRecordSize = offset;
  }

  bool Accepted(Integer index) {
    if (!(FFilterActive || GetFiltered()) || !GetOnFilterRecord()) return true;
    const TDataSetState saved = SetTempState(dsFilter);
    CopyToBuffer(Records[static_cast<std::size_t>(index)], TempBuffer());
    bool accept = true;
    try {
      GetOnFilterRecord()(this, accept);
    } catch (...) {
      RestoreState(saved);
      throw;
    }
    RestoreState(saved);
    return accept;
  }

  void CopyToBuffer(const Record& r, TRecordBuffer buffer) {
    std::memcpy(buffer, r.Data.data(), static_cast<std::size_t>(FRecordSize));
    Info(buffer)->Id = r.Id;
    Info(buffer)->Flag = bfCurrent;
    if (FBlobCount) BufferBlobs(buffer) = r.Blobs;
  }

  void CopyFromBuffer(TRecordBuffer buffer, Record& r) {
    r.Data.assign(buffer, buffer + FRecordSize);
    r.Blobs = BufferBlobs(buffer);
  }

  Integer IndexOfId(Integer id) const {
    for (std::size_t i = 0; i < Records.size(); ++i)
      if (Records[i].Id == id) return static_cast<Integer>(i);
    return -1;
  }

  static void EncodeNative(TFieldDef* def, const Variant& v, Byte* p) {
    switch (def->GetDataType()) {
      case ftString:
      case ftFixedChar:
      case ftGuid: {
        const AnsiString s = VarToStr(v);
        std::memcpy(p, s.data(), std::min<std::size_t>(s.size(), static_cast<std::size_t>(def->GetSize())));
        break;
      }
      case ftSmallint: {
        const SmallInt x = static_cast<SmallInt>(v.AsInteger());
        std::memcpy(p, &x, 2);
        break;
      }
      case ftWord:
      case ftBoolean: {
        const Word x = def->GetDataType() == ftBoolean ? (v.AsBoolean() ? 0xFFFF : 0)
                                                       : static_cast<Word>(v.AsInteger());
        std::memcpy(p, &x, 2);
        break;
      }
      case ftInteger:
      case ftAutoInc: {
        const Integer x = v.AsInteger();
        std::memcpy(p, &x, 4);
        break;
      }
      case ftLargeint: {
        const Int64 x = v.AsInt64();
        std::memcpy(p, &x, 8);
        break;
      }
      case ftFloat:
      case ftCurrency: {
        const double x = v.AsDouble();
        std::memcpy(p, &x, 8);
        break;
      }
      case ftDate: {
        const Integer x = DateTimeToTimeStamp(VarToDateTime(v)).Date;
        std::memcpy(p, &x, 4);
        break;
      }
      case ftTime: {
        const Integer x = DateTimeToTimeStamp(VarToDateTime(v)).Time;
        std::memcpy(p, &x, 4);
        break;
      }
      case ftDateTime: {
        const double x = TimeStampToMSecs(DateTimeToTimeStamp(VarToDateTime(v)));
        std::memcpy(p, &x, 8);
        break;
      }
      default:
        break;
    }
  }

  friend class TArrayBlobStream;
  std::vector<Integer> FOffsets;
  std::vector<Integer> FSizes;
  std::vector<Integer> FBlobIndex;
  std::size_t FBlobCount = 0;
  Integer FRecordSize = 0;
  Integer FPos = -1;
  Integer FLastId = 0;
  bool FIsOpen = false;
  bool FFilterActive = false;
  std::map<TRecordBuffer, std::vector<AnsiString>> FBufferBlobs;
};

// A stream over one blob text of a record buffer.
class TArrayBlobStream : public TStream {
  ORV_CLASS(TArrayBlobStream, TStream)
 public:
  using TCreateSignature = void();
  TArrayBlobStream(TArrayDataSet* dataSet, TField* field, TBlobStreamMode mode)
      : FDataSet(dataSet), FField(field), FMode(mode) {
    const TRecordBuffer buffer = dataSet->GetActiveRecordBuffer();
    if (!buffer) return;
    const Integer index = dataSet->FBlobIndex[static_cast<std::size_t>(field->GetFieldNo() - 1)];
    FText = &dataSet->BufferBlobs(buffer)[static_cast<std::size_t>(index)];
    if (mode != bmRead) {
      if (field->GetReadOnly()) DatabaseError("Field '" + field->GetDisplayName() + "' cannot be modified", dataSet);
      if (dataSet->GetState() != dsEdit && dataSet->GetState() != dsInsert)
        DatabaseError("Dataset not in edit or insert mode", dataSet);
      if (mode == bmWrite) {
        FText->clear();
        FModified = true;
      }
    }
  }

  void BeforeDestruction() override {
    if (FModified) {
      if (auto* blob = dynamic_cast<TBlobField*>(FField)) blob->SetModified(true);
      FDataSet->DataEvent(deFieldChange, reinterpret_cast<NativeInt>(FField));
    }
    TStream::BeforeDestruction();
  }

  Integer Read(void* buffer, Integer count) override {
    if (!FText) return 0;
    const Integer n = std::max<Integer>(0, std::min<Integer>(count, static_cast<Integer>(FText->size()) - FPosition));
    if (n > 0) std::memcpy(buffer, FText->data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
  }

  Integer Write(const void* buffer, Integer count) override {
    if (!FText || FMode == bmRead) return 0;
    if (static_cast<Integer>(FText->size()) < FPosition + count) FText->resize(static_cast<std::size_t>(FPosition + count));
    std::memcpy(FText->data() + FPosition, buffer, static_cast<std::size_t>(count));
    FPosition += count;
    FModified = true;
    return count;
  }

  Int64 Seek(Int64 offset, TSeekOrigin origin) override {
    const Int64 size = FText ? static_cast<Int64>(FText->size()) : 0;
    switch (origin) {
      case soBeginning: FPosition = static_cast<Integer>(offset); break;
      case soCurrent: FPosition += static_cast<Integer>(offset); break;
      case soEnd: FPosition = static_cast<Integer>(size + offset); break;
    }
    return FPosition;
  }

 private:
  TArrayDataSet* FDataSet;
  TField* FField;
  TBlobStreamMode FMode;
  AnsiString* FText = nullptr;
  Integer FPosition = 0;
  bool FModified = false;
};

inline TStream* TArrayDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
  return new TArrayBlobStream(this, field, mode);
}

}  // namespace orvtest
