// TRxMemoryData: a dataset whose records live in memory.
//
// Records are kept in an ordered list of TMemoryRecord objects. Each has an identity, handed out
// in increasing order from 0x80000001 (the lowest int32, 0x80000000, means "none"); the identity
// is the record's bookmark and breaks ties when sorting, so a sort is stable with respect to the
// order in which the records were added. Identities are never handed out twice while the
// dataset object lives, so an old bookmark never lands on another record.
//
// Data block of a record (one per record, RecordSize bytes): for each field definition in order
// (child definitions of an object field depth first), a value-present byte (0 or 1) followed by
// the value in the field type's native form (platform/dataset/FieldTypes.h):
//
//   ftString, ftFixedChar            size + 1     zero-terminated text
//   ftWideString                     2*size + 2   zero-terminated UTF-16
//   ftGuid                           39           zero-terminated text
//   ftSmallint, ftWord, ftBoolean    2
//   ftInteger, ftDate, ftTime,
//   ftAutoInc                        4
//   ftFloat, ftCurrency, ftDateTime,
//   ftLargeint                       8
//   ftBCD                            34
//   ftBytes                          size
//   ftVarBytes                       size + 2
//   ftVariant                        16
//   ftADT                            0            (its children follow)
//
// Blob fields (ftBlob .. ftTypedBinary, ftOraBlob, ftOraClob) take no place in the block: each
// record holds one text per blob field beside it. Text of the text types counts as a value only
// when it is not empty: an empty text reads back as null.
//
// Record buffer (the dataset's ring): the data block; the calculated fields (CalcFieldsSize);
// 8 bytes of bookmark information (identity int32, bookmark flag byte); then, aligned, one
// AnsiString per blob field.
#pragma once

#include <memory>
#include <vector>

#include "platform/dataset/DataSet.h"
#include "platform/runtime/Persistent.h"

class TRxMemoryData;

// One record of a memory dataset.
class TMemoryRecord : public TPersistent {
  ORV_CLASS(TMemoryRecord, TPersistent)
 public:
  // Attaches the record to `memoryData`: with `updateParent` it goes to the end of the list
  // with a new identity; otherwise it only gets a data block of the dataset's layout.
  explicit TMemoryRecord(TRxMemoryData* memoryData, bool updateParent = true);
  // Detaches the record (leaves the list; its data and blob texts go with it).
  void BeforeDestruction() override;

  TRxMemoryData* GetMemoryData() const { return FMemoryData; }
  Integer GetID() const { return FID; }
  // Position in the dataset's list; -1 when not in it.
  Integer GetIndex() const;
  // Moves the record to position `value` of the list (its identity stays).
  void SetIndex(Integer value);
  Byte* GetData() const { return FData; }

 protected:
  ~TMemoryRecord() override;

 private:
  friend class TRxMemoryData;
  void SetMemoryData(TRxMemoryData* value, bool updateParent);

  TRxMemoryData* FMemoryData = nullptr;
  Integer FID = 0;
  Byte* FData = nullptr;  // a block of the dataset's block pool
  std::unique_ptr<AnsiString[]> FBlobs;
};

// How LoadRecordsFrom treats the dataset's own structure and records.
enum TLoadMode {
  lmCopy,    // replace structure and records by those of the source
  lmAppend,  // append the source's records to the records of the present structure
};

class TRxMemoryData : public TDataSet {
  ORV_CLASS(TRxMemoryData, TDataSet)
 public:
  using TDataSet::BookmarkValid;
  using TDataSet::CompareBookmarks;

  explicit TRxMemoryData(TComponent* owner);
  void BeforeDestruction() override;

  // The capacity of the record list (how many records fit before it grows).
  Integer GetCapacity() const;
  void SetCapacity(Integer value);

  Integer GetRecordCount() const override;
  Integer GetRecNo() const override;
  void SetRecNo(Integer value) override;
  bool IsSequenced() const override;

  void SetFiltered(bool value) override;
  void SetOnFilterRecord(TFilterRecordEvent value) override;

  bool GetFieldData(TField* field, void* buffer) override;
  void SetFieldData(TField* field, const void* buffer) override;
  TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) override;
  void CloseBlob(TField* field) override;
  bool GetCurrentRecord(TRecordBuffer buffer) override;
  bool GetIsIndexField(TField* field) const override;

  bool Locate(const AnsiString& keyFields, const Variant& keyValues,
              TLocateOptions options) override;

  // Replaces the field definitions and fields by those of `source` (nullptr: none), leaving
  // out the types a memory dataset cannot hold. The dataset must be closed.
  void TakeStructureFrom(TDataSet* source);
  // Copies the records that `source` shows, in its order, and returns how many. lmCopy first
  // takes the structure of `source`. With `recordCount` > 0 at most that many records are
  // copied, from `source`'s current record on; otherwise all of them from its first. `source`
  // is left closed again when it was closed.
  Integer LoadRecordsFrom(TDataSet* source, Integer recordCount = 0, TLoadMode mode = lmCopy);
  // Orders the records by the ";"-separated fields (data fields of a non-blob type), then by
  // identity, ascending or descending. The current record stays current.
  void SortByFields(const AnsiString& fieldNames, bool caseInsensitive = true,
                    bool descending = false);

 protected:
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& buffer) override;
  TGetResult GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) override;
  Integer GetRecordSize() const override { return FRecordSize; }
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) override;
  void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) override;
  void GetBookmarkData(TRecordBuffer buffer, void* data) override;
  void SetBookmarkData(TRecordBuffer buffer, const void* data) override;
  void OpenCursor(bool infoQuery) override;
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return FActive; }
  void InternalInitFieldDefs() override {}
  void InternalFirst() override;
  void InternalLast() override;
  void InternalGotoBookmark(TBookmark bookmark) override;
  void InternalSetToRecord(TRecordBuffer buffer) override;
  void InternalInitRecord(TRecordBuffer buffer) override;
  void InitRecord(TRecordBuffer buffer) override;
  void ClearCalcFields(TRecordBuffer buffer) override;
  void InternalAddRecord(const void* buffer, bool append) override;
  void InternalPost() override;
  void InternalDelete() override;
  bool BookmarkValid(TBookmark bookmark) override;
  Integer CompareBookmarks(TBookmark bookmark1, TBookmark bookmark2) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TMemoryRecord;
  friend class TMemBlobStream;

  // Where a field definition's value lies in the data block.
  struct Slot {
    Integer Offset;     // of the value-present byte; -1 for blob fields
    Integer Size;       // of the value
    Integer BlobIndex;  // blob fields: index among the blob texts; else -1
    TFieldType Type;
  };

  void ClearRecords();
  // Removes the record at `index` from the list and frees it.
  void FreeRecord(Integer index);
  TMemoryRecord* AddRecord();
  TMemoryRecord* InsertRecord(Integer index);
  Integer NextID();
  void DetachRecord(TMemoryRecord* record);
  Integer IndexOfRecord(const TMemoryRecord* record) const;
  // The position of the record with identity `id`, -1 when there is none.
  Integer IndexOfID(Integer id) const;
  // Data blocks of the records, cut from large chunks: one allocation serves many records.
  Byte* AllocBlock();
  void ReleaseBlock(Byte* block);
  void ResetBlocks();
  void InitFieldDefsFromFields();
  void CalcLayout();
  const Slot* FieldSlot(const TField* field) const;
  bool RecordFilter();
  void CopyRecordToBuffer(const TMemoryRecord& record, TRecordBuffer buffer) const;
  void CopyBufferToRecord(TRecordBuffer buffer, TMemoryRecord& record) const;
  void SetAutoIncFields(TRecordBuffer buffer);
  AnsiString* BufferBlobs(TRecordBuffer buffer) const;
  Integer BufferID(TRecordBuffer buffer) const;
  void SetBufferID(TRecordBuffer buffer, Integer id) const;
  void BuildSortFields(const AnsiString& fieldNames);
  void Sort();
  void SortRecords();

  std::vector<TMemoryRecord*> FRecords;
  Integer FRecordPos = -1;
  Integer FLastID;
  Integer FAutoInc = 1;
  bool FActive = false;
  // Indexed by field-definition position.
  std::vector<Slot> FSlots;
  // Field number (1-based) -> field-definition position.
  std::vector<Integer> FFieldNoIndex;
  Integer FRecordSize = 0;
  Integer FBlobCount = 0;
  Integer FBookmarkOffset = 0;
  Integer FBlobOffset = 0;
  Integer FRecordBufferSize = 0;
  std::vector<std::unique_ptr<Byte[]>> FBlockChunks;
  std::vector<Byte*> FFreeBlocks;
  std::size_t FBlockSize = 0;
  std::size_t FChunkUsed = 0;
  std::size_t FChunkSize = 0;
  // The sort state.
  std::vector<TField*> FSortFields;
  bool FCaseInsensitiveSort = false;
  bool FDescendingSort = false;
};
