// Typed value storage of the data controllers: the value types (how one kind of value lives in a
// raw record buffer), the value definitions that lay records out, the data storage with its
// normal and internal records and its record stream, and the sorted lookup list.
//
// Record buffer (one heap block per record, zero-filled when allocated; a record without a
// buffer reads null everywhere):
//
//   offset  size  content
//   0       1     flags; bit 0 = internal record in use
//   1       4     record ID (int32), only while KeepRecordIDs is set
//   1 or 5  ...   the slots of the value definitions that occupy buffer bytes, in list order
//
// Slot of one value definition:
//
//   size                     content
//   1                        null flag: 0 = null, 1 = has a value
//   BufferSize of the type   the value buffer
//   pointer size             only when the definition keeps display texts: the text slot, a
//                            pointer to a string cell (nil = no text)
//
// Values that live outside the buffer (strings, variants, objects) and text slots hold pointers,
// pointer-sized on every machine. A definition that occupies no bytes has buffer size 0: value
// operations on it do nothing and read Null, so it can never touch its neighbour's slot.
//
// Record stream, one record (little-endian):
//
//   bytes     content
//   1         1 when the record has no buffer (nothing follows), else 0
//   4         record ID, only while KeepRecordIDs is set
//   then per value definition with Streamed set, in item order:
//   1         1 = null, 0 = present
//   ...       the value in its type's stream form, only when present
//   ...       only when the definition keeps texts: the display text, ANSI form (int32 byte
//             count, bytes), or UTF-16 form when the record began with "DXUFMT"
//
// A writer first puts "DXAFMT" at the position and returns to it, so a record shorter than six
// bytes leaves the rest of that signature behind it (the next record overwrites it).
#pragma once

#include <memory>
#include <vector>

#include "components/data/cxVariants.h"
#include "platform/runtime/Lists.h"

namespace orv {

// Memory for a storage's list of record buffers, which grows to millions of entries: large
// blocks are aligned so that the system may back them with large pages, which costs one page
// fault where small pages cost hundreds.
void* AllocateRecordList(std::size_t bytes);
void FreeRecordList(void* p) noexcept;

template <class T>
struct TRecordListAllocator {
  using value_type = T;
  TRecordListAllocator() = default;
  template <class U>
  TRecordListAllocator(const TRecordListAllocator<U>&) {}
  T* allocate(std::size_t n) { return static_cast<T*>(AllocateRecordList(n * sizeof(T))); }
  void deallocate(T* p, std::size_t) noexcept { FreeRecordList(p); }
  friend bool operator==(const TRecordListAllocator&, const TRecordListAllocator&) { return true; }
  friend bool operator!=(const TRecordListAllocator&, const TRecordListAllocator&) { return false; }
};

}  // namespace orv

class TcxValueType;
class TcxValueDefs;
class TcxDataStorage;

// ==== Value types ============================================================================

// A class reference of the value types ("class of TcxValueType"). Value types are stateless:
// their operations are class operations, called through the one shared object of each class
// that this reference holds. It converts to and from TClass, so classes compare as TClass.
class TcxValueTypeClass {
 public:
  constexpr TcxValueTypeClass() = default;
  constexpr TcxValueTypeClass(std::nullptr_t) {}
  // `c` must be TcxValueType or a descendant (a programming error otherwise).
  TcxValueTypeClass(TClass c);

  const TcxValueType* operator->() const { return FType; }
  TClass Get() const;
  operator TClass() const { return Get(); }

 private:
  const TcxValueType* FType = nullptr;
};

// How one kind of value is kept in a value buffer. Buffer pointers point at the value buffer
// inside a record (after the null flag); text slots at the text slot. A "resolved" pointer is
// what ResolveBuffer makes of a buffer pointer: the cell pointer for variants, nil for a text
// slot without a text, the buffer pointer itself for the others.
class TcxValueType : public TObject {
  ORV_CLASS(TcxValueType, TObject)
 public:
  TcxValueType() = default;

  virtual Integer CompareBuffers(const void* buffer1, const void* buffer2) const;
  virtual void ReleaseBuffer(void* buffer) const {}
  // Disposes the string cell of the slot (nothing when nil) and clears the slot.
  virtual void ReleaseTextBuffer(void* textSlot) const;
  virtual Integer BufferSize() const { return 0; }
  virtual Variant BufferToVariant(const void* buffer) const { return Null(); }
  // The variant's text; '' when the platform cannot convert it.
  virtual AnsiString BufferDisplayText(const void* buffer) const;
  virtual AnsiString TextBufferToString(const void* textSlot) const;
  virtual void StreamInValue(void* buffer, TStream* stream) const;
  virtual void StreamInText(void* textSlot, TStream* stream) const;
  // Conversion errors (EVariantError) propagate; the buffer then keeps its value.
  virtual void VariantToBuffer(void* buffer, const Variant& value) const {}
  virtual void StringToTextBuffer(void* textSlot, const AnsiString& text) const;
  virtual void StreamOutValue(const void* buffer, TStream* stream) const;
  virtual void StreamOutText(const void* textSlot, TStream* stream) const;
  // The class name without a leading "Tcx" and without the first "ValueType": "String".
  virtual AnsiString TypeCaption() const;
  virtual Integer CompareData(const void* data1, const void* data2) const;
  virtual Variant ResolvedToVariant(const void* data) const { return BufferToVariant(data); }
  virtual TVarType VariantTypeCode() const { return varVariant; }
  // Null and any value of an any-variant type pass unchanged; otherwise the value is converted
  // in place to VariantTypeCode. False, with the value untouched, when it cannot be converted.
  virtual Boolean CoerceVariant(Variant& value) const;
  virtual Boolean IsTextType() const { return false; }
  virtual const void* ResolveBuffer(const void* buffer) const { return buffer; }

  // The editors' and the filter control's name for IsTextType.
  Boolean IsString() const { return IsTextType(); }
  // The filter control's name for CoerceVariant.
  Boolean IsValueValid(Variant& value) const { return CoerceVariant(value); }
};

// 8-bit text: up to seven bytes inside the buffer itself, longer texts in a heap cell the buffer
// points to (nil: no value).
class TcxStringValueType : public TcxValueType {
  ORV_CLASS(TcxStringValueType, TcxValueType)
 public:
  Integer CompareBuffers(const void* buffer1, const void* buffer2) const override;
  void ReleaseBuffer(void* buffer) const override;
  Integer BufferSize() const override;
  Variant BufferToVariant(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  Variant ResolvedToVariant(const void* data) const override;
  TVarType VariantTypeCode() const override { return varString; }
  Boolean IsTextType() const override { return true; }
  const void* ResolveBuffer(const void* buffer) const override;
};

// UTF-16 text in a heap cell, streamed in UTF-16 form whatever the stream's flag.
class TcxWideStringValueType : public TcxStringValueType {
  ORV_CLASS(TcxWideStringValueType, TcxStringValueType)
 public:
  Variant BufferToVariant(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varOleStr; }
};

class TcxSmallintValueType : public TcxValueType {
  ORV_CLASS(TcxSmallintValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 2; }
  Variant BufferToVariant(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varSmallint; }
};

class TcxIntegerValueType : public TcxValueType {
  ORV_CLASS(TcxIntegerValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 4; }
  Variant BufferToVariant(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varInteger; }
};

class TcxWordValueType : public TcxValueType {
  ORV_CLASS(TcxWordValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 2; }
  Variant BufferToVariant(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varWord; }
};

class TcxBooleanValueType : public TcxValueType {
  ORV_CLASS(TcxBooleanValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 1; }
  Variant BufferToVariant(const void* buffer) const override;
  // "True" / "False".
  AnsiString BufferDisplayText(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varBoolean; }
};

// A double, streamed as 10 bytes of extended precision.
class TcxFloatValueType : public TcxValueType {
  ORV_CLASS(TcxFloatValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 8; }
  Variant BufferToVariant(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varDouble; }
};

// The value times 10 000 as a 64-bit integer.
class TcxCurrencyValueType : public TcxValueType {
  ORV_CLASS(TcxCurrencyValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 8; }
  Variant BufferToVariant(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varCurrency; }
};

class TcxDateTimeValueType : public TcxValueType {
  ORV_CLASS(TcxDateTimeValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 8; }
  Variant BufferToVariant(const void* buffer) const override;
  AnsiString BufferDisplayText(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varDate; }
};

class TcxLargeIntValueType : public TcxValueType {
  ORV_CLASS(TcxLargeIntValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 8; }
  Variant BufferToVariant(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varInt64; }
};

// A decimal number of up to 64 digits: precision (1 byte), sign (bit 7) and decimal places
// (bits 0-5) in one byte, then 32 bytes of digits, two per byte, high nibble first. The platform
// has no decimal variant: values read as doubles, while display texts and order come from the
// exact digits.
class TcxFMTBcdValueType : public TcxValueType {
  ORV_CLASS(TcxFMTBcdValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 34; }
  Variant BufferToVariant(const void* buffer) const override;
  // The number in general format (no leading or trailing zeros, the locale's separator).
  AnsiString BufferDisplayText(const void* buffer) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varDouble; }
};

// Year (signed 16-bit), month, day, hour, minute, second (unsigned 16-bit each), fractions
// (milliseconds, unsigned 32-bit). Reads and streams as a date variant.
class TcxSQLTimeStampValueType : public TcxValueType {
  ORV_CLASS(TcxSQLTimeStampValueType, TcxValueType)
 public:
  Integer BufferSize() const override { return 16; }
  Variant BufferToVariant(const void* buffer) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varDate; }
};

// Any variant, in a heap cell; the buffer holds the cell pointer.
class TcxVariantValueType : public TcxValueType {
  ORV_CLASS(TcxVariantValueType, TcxValueType)
 public:
  Integer CompareBuffers(const void* buffer1, const void* buffer2) const override;
  void ReleaseBuffer(void* buffer) const override;
  Integer BufferSize() const override;
  Variant BufferToVariant(const void* buffer) const override;
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  Integer CompareData(const void* data1, const void* data2) const override;
  Variant ResolvedToVariant(const void* data) const override;
  const void* ResolveBuffer(const void* buffer) const override;
};

// An object reference owned by the buffer (freed with it), pointer-sized; reads as a 64-bit
// integer and is neither written to nor read from streams.
class TcxObjectValueType : public TcxIntegerValueType {
  ORV_CLASS(TcxObjectValueType, TcxIntegerValueType)
 public:
  void ReleaseBuffer(void* buffer) const override;
  Integer BufferSize() const override;
  Variant BufferToVariant(const void* buffer) const override;
  void StreamInValue(void* buffer, TStream* stream) const override {}
  void VariantToBuffer(void* buffer, const Variant& value) const override;
  void StreamOutValue(const void* buffer, TStream* stream) const override {}
  Integer CompareData(const void* data1, const void* data2) const override;
  TVarType VariantTypeCode() const override { return varInt64; }
};

// True for exactly the DateTime and SQLTimeStamp types (not their descendants).
Boolean IsDateTimeValueType(TcxValueTypeClass valueTypeClass);

// The value types by caption.
class TcxValueTypeClassList : public TObject {
  ORV_CLASS(TcxValueTypeClassList, TObject)
 public:
  TcxValueTypeClassList() = default;

  // Appends the class unless it is registered already.
  void RegisterType(TcxValueTypeClass valueTypeClass);
  void UnregisterType(TcxValueTypeClass valueTypeClass);
  // The first class whose TypeCaption equals the text exactly (case-sensitive), or nil.
  TcxValueTypeClass FindByCaption(const AnsiString& caption) const;
  Integer GetCount() const { return Integer(FItems.size()); }
  TcxValueTypeClass GetItem(Integer index) const;

 private:
  std::vector<TcxValueTypeClass> FItems;
};

// The registry, created on first use with String, WideString, Smallint, Integer, Word, Boolean,
// Float, Currency, DateTime, LargeInt, FMTBcd, SQLTimeStamp, Variant and Object registered.
TcxValueTypeClassList* ValueTypeRegistry();

// ==== Value definitions ======================================================================

class TcxValueDef;
using TcxValueDefClass = orv::ClassOf<TcxValueDef>;

// One value per record, of one value type, laid out by its list. Freeing a definition removes
// it from its list and its bytes from every record.
class TcxValueDef : public TObject {
  ORV_CLASS(TcxValueDef, TObject)
 public:
  using TCreateSignature = void(TcxValueDefs* valueDefs, TcxValueTypeClass valueTypeClass);
  TcxValueDef(TcxValueDefs* valueDefs, TcxValueTypeClass valueTypeClass);

  // The field or item the definition belongs to.
  virtual TObject* GetLinkedObject() { return FLinkObject; }
  // InBuffer, or always while the storage keeps every value (KeepOnlyStoredValues off).
  virtual Boolean OccupiesBuffer();
  virtual void SetLinkedObject(TObject* value) { FLinkObject = value; }
  // Copies InBuffer and KeepsText.
  virtual void CopySettings(TcxValueDef* source);

  TcxValueDefs* GetValueDefs() const { return FValueDefs; }
  TcxValueTypeClass GetValueTypeClass() const { return FValueTypeClass; }
  TObject* GetLinkObject() const { return FLinkObject; }
  // Changing either lays the records out again, keeping their values, then tells the list
  // (DefsChanged).
  Boolean GetInBuffer() const { return FInBuffer; }
  void SetInBuffer(Boolean value);
  Boolean GetKeepsText() const { return FKeepsText; }
  void SetKeepsText(Boolean value);
  // KeepsText of a definition that occupies buffer bytes.
  Boolean GetEffectiveKeepsText() const { return FTextStored; }
  Boolean GetStreamed() const { return FStreamed; }
  void SetStreamed(Boolean value) { FStreamed = value; }

  // Layout: the slot's offset in the record, the value type's size and the bytes the slot takes
  // (0 when the definition occupies none).
  Integer GetOffset() const { return FOffset; }
  Integer GetDataSize() const { return FDataSize; }
  Integer GetBufferSize() const { return FBufferSize; }

  void BeforeDestruction() override;

 private:
  friend class TcxValueDefs;
  friend class TcxDataStorage;
  void ChangeSetting(Boolean& setting, Boolean value, Boolean resyncNeeded);

  TcxValueDefs* FValueDefs;
  TcxValueTypeClass FValueTypeClass;
  TObject* FLinkObject = nullptr;
  Boolean FInBuffer = true;
  Boolean FKeepsText = false;
  Boolean FStreamed = true;
  Integer FOffset = 0;
  Integer FDataSize = 0;
  Integer FBufferSize = 0;
  Boolean FTextStored = false;
};

// The mirror of a normal definition inside the internal definitions; its link object is that
// normal definition.
class TcxInternalValueDef : public TcxValueDef {
  ORV_CLASS(TcxInternalValueDef, TcxValueDef)
 public:
  TcxInternalValueDef(TcxValueDefs* valueDefs, TcxValueTypeClass valueTypeClass)
      : TcxValueDef(valueDefs, valueTypeClass) {}

  // The mirrored definition's link object (nil when unlinked).
  TObject* GetLinkedObject() override;
  Boolean OccupiesBuffer() override { return true; }
};

class TcxValueDefs : public TObject {
  ORV_CLASS(TcxValueDefs, TObject)
 public:
  using TCreateSignature = void(TcxDataStorage* storage);
  explicit TcxValueDefs(TcxDataStorage* storage);

  // Forwards to the storage.
  virtual void DefsChanged(TcxValueDef* def, Boolean resyncNeeded);
  virtual TcxValueDefClass DefClass() { return TcxValueDef::StaticClass(); }
  // Gives every definition its offset, sizes and text slot from `startOffset` on.
  virtual void LayOut(Integer startOffset);

  // A new definition of DefClass with those settings, appended; every record of the list gets
  // its slot (null). A normal definition first gets its internal mirror.
  TcxValueDef* AddValueDef(TcxValueTypeClass valueTypeClass, Boolean stored, Boolean textStored, TObject* linkObject);
  // Frees every definition, last first.
  void RemoveAll();
  Integer GetCount() const { return Integer(FItems.size()); }
  // In the storage's streaming order while one is set.
  TcxValueDef* GetItem(Integer index) const;
  Integer IndexOf(TcxValueDef* def) const;
  // The definitions that occupy buffer bytes.
  Integer BufferedCount() const;
  Integer GetRecordOffset() const { return FRecordOffset; }
  Integer GetRecordSize() const { return FRecordSize; }
  TcxDataStorage* GetStorage() const { return FStorage; }

  void BeforeDestruction() override;

 protected:
  TcxDataStorage* FStorage;
  std::vector<TcxValueDef*> FItems;
  Integer FRecordOffset = 1;
  Integer FRecordSize = 1;

 private:
  friend class TcxValueDef;
  friend class TcxDataStorage;
  // Takes a freed definition out of the list and its bytes out of the records.
  void RemoveDef(TcxValueDef* def);
};

class TcxInternalValueDefs : public TcxValueDefs {
  ORV_CLASS(TcxInternalValueDefs, TcxValueDefs)
 public:
  explicit TcxInternalValueDefs(TcxDataStorage* storage) : TcxValueDefs(storage) {}

  TcxValueDefClass DefClass() override { return TcxInternalValueDef::StaticClass(); }
  // The mirror linked to the object, searched from the last definition; nil when none.
  TcxValueDef* FindByLink(TObject* linkObject) const;
  // Frees that mirror.
  void RemoveByLink(TObject* linkObject);
};

// The source of the values when a record is filled.
class TcxValueDefReader : public TObject {
  ORV_CLASS(TcxValueDefReader, TObject)
 public:
  TcxValueDefReader() = default;

  virtual AnsiString ProvideDisplayText(TcxValueDef* def) { return AnsiString(); }
  virtual Variant ProvideValue(TcxValueDef* def) { return Null(); }
  virtual Boolean SkipsValueDef(TcxValueDef* def) { return false; }

  // Reads without a Variant, for filling many records: whether the reader gives the
  // definition's value as text (ProvideTextValue) or as a double (ProvideFloatValue), each the
  // value ProvideValue would give. Asked once per definition and fill; the reads answer False
  // for a null value.
  virtual Boolean ProvidesTextValue(TcxValueDef* def) { return false; }
  virtual Boolean ProvidesFloatValue(TcxValueDef* def) { return false; }
  virtual Boolean ProvideTextValue(TcxValueDef* def, AnsiString& value) { return false; }
  virtual Boolean ProvideFloatValue(TcxValueDef* def, double& value) { return false; }
  // Told before each record of such a fill, ahead of its reads: what the record's values
  // share (where they are read from) may then be taken once per record.
  virtual void StartRecord() {}
};

// ==== Data storage ===========================================================================

// Called for each definition of a record (ForEachValueDef).
using TcxValueDefProc = orv::Event<void(TcxValueDef* def, Integer recordIndex, Pointer argument, TcxValueDefReader* reader)>;
// Negative, zero or positive as def1 goes before, with or after def2 in the record stream.
using TcxValueDefCompare = TListSortCompare;

// The records of a data controller. Record r >= 0 is entry r of the record list; r < 0 is the
// internal record -r - 1, a scratch record laid out by the internal definitions (one mirror per
// normal definition). Every value operation given a normal definition for a negative index uses
// its mirror. Out-of-range indexes raise EListError.
class TcxDataStorage : public TObject {
  ORV_CLASS(TcxDataStorage, TObject)
 public:
  TcxDataStorage();

  // Lays out a list from offset 5 while record IDs are kept, else from 1.
  virtual void LayOutDefs(TcxValueDefs* valueDefs);
  virtual void DefsChanged(TcxValueDef* def, Boolean resyncNeeded) {}
  // The internal definitions for a negative index, else the value definitions.
  virtual TcxValueDefs* DefsForRecord(Integer recordIndex);

  TcxValueDefs* GetValueDefs() const { return FValueDefs; }
  TcxInternalValueDefs* GetInternalValueDefs() const { return FInternalValueDefs; }
  Boolean IsDestroying() const { return FDestroying; }

  // Records.
  // A new record without a buffer (with a buffer and the next ID while IDs are kept).
  Integer AddRecord();
  void InsertRecordAt(Integer index);
  // Frees the buffer and removes the entry; the ID counter returns to 1 when no records remain.
  // A negative index frees only that internal record's buffer (its entry stays for reuse).
  void RemoveRecord(Integer index);
  // The first internal record not in use (from -1 down), or a new one: a fresh buffer marked
  // in use.
  Integer AppendInternalRecord();
  Integer GetStoredRecordCount() const { return Integer(FRecords.size()); }
  // Appends records (AddRecord) or removes the last ones; a negative count counts as 0.
  void SetStoredRecordCount(Integer value);
  Integer GetInternalRecordCount() const { return Integer(FInternalRecords.size()); }
  void ClearAll(Boolean keepInternal);
  // Frees the internal records and fires OnClearInternalRecords.
  void DropInternalRecords();
  // Frees every record buffer; empties the list or keeps the entries (bufferless, then given
  // IDs while IDs are kept).
  void DropRecords(Boolean emptyList);
  // Between the two, records are filled in bulk: their buffers and texts come from blocks that
  // are freed together once no record buffer is left, and each definition's way of reading is
  // resolved once.
  void StartLoading();
  void FinishLoading();
  // Whether the record has a buffer.
  Boolean HasBuffer(Integer recordIndex) const;

  // Values.
  Variant FetchValue(Integer recordIndex, TcxValueDef* def);
  // Null clears the value (the display text stays); a value that cannot be converted to the
  // definition's type raises EVariantError and leaves the old value.
  void StoreValue(Integer recordIndex, TcxValueDef* def, const Variant& value);
  AnsiString FetchDisplayText(Integer recordIndex, TcxValueDef* def);
  // Kept only by definitions with effective KeepsText.
  void StoreDisplayText(Integer recordIndex, TcxValueDef* def, const AnsiString& text);
  // Every definition the reader does not skip takes the reader's value (and text).
  void FillRecord(Integer recordIndex, TcxValueDefReader* reader);
  void ForEachValueDef(Integer recordIndex, Pointer argument, TcxValueDefReader* reader, TcxValueDefProc proc);
  // Null (or no buffer) first, two nulls equal, else the type's CompareBuffers.
  Integer CompareRecordValues(Integer recordIndex1, Integer recordIndex2, TcxValueDef* def);
  // True when the value is null; else False and `data` the resolved pointer for CompareData.
  Boolean PrepareCompare(Integer recordIndex, TcxValueDef* def, const void*& data);
  // 0 when the record has no ID (or IDs are not kept).
  Integer RecordIDOf(Integer recordIndex);
  // Nothing while IDs are not kept.
  void AssignRecordID(Integer recordIndex, Integer id);

  // Only definitions with InBuffer take buffer bytes. Changing it frees every record buffer
  // (records with IDs get a new buffer and ID).
  Boolean GetKeepOnlyStoredValues() const { return FKeepOnlyStoredValues; }
  void SetKeepOnlyStoredValues(Boolean value);
  // Changing it frees every record buffer; existing records read ID 0 until given one.
  Boolean GetKeepRecordIDs() const { return FKeepRecordIDs; }
  void SetKeepRecordIDs(Boolean value);

  const TNotifyEvent& GetOnClearInternalRecords() const { return FOnClearInternalRecords; }
  void SetOnClearInternalRecords(const TNotifyEvent& value) { FOnClearInternalRecords = value; }

  // Record stream.
  // Until FinishStreaming, value definitions are reached in the order of `compare`.
  void StartStreaming(TcxValueDefCompare compare);
  void FinishStreaming();
  Boolean IsStreaming() const { return FStreaming; }
  void SaveRecord(Integer recordIndex, TStream* stream);
  // Stream errors propagate; the record keeps what was read so far.
  void LoadRecord(Integer recordIndex, TStream* stream);

  void BeforeDestruction() override;

 protected:
  ~TcxDataStorage() override;

 private:
  friend class TcxValueDefs;
  friend class TcxValueDef;
  struct TSlotLayout;
  struct TLoad;

  using TBufferList = std::vector<Byte*, orv::TRecordListAllocator<Byte*>>;
  TBufferList& BuffersOf(TcxValueDefs* defs);
  Byte*& BufferRef(Integer recordIndex);
  Byte* BufferOf(Integer recordIndex) const;
  Byte* NewBuffer(TcxValueDefs* defs) const;
  Byte* EnsureBuffer(Integer recordIndex);
  // A zeroed record buffer of the value definitions from the loading blocks.
  Byte* NewLoadBuffer();
  // Frees a buffer's memory: nothing for one from the loading blocks.
  void FreeBufferMemory(Byte* buffer);
  void FreeBuffer(Byte*& buffer, TcxValueDefs* defs);
  void FillLoadedRecord(Byte* buffer, TcxValueDefReader* reader);
  void FreeRecordBuffers();
  // The definition that lays out the record's buffer, or nil when `def` has no slot there.
  TcxValueDef* SlotDef(Integer recordIndex, TcxValueDef* def) const;
  void GiveRecordID(Byte* buffer);
  void GiveMissingRecordIDs();
  void ResetRecordIDCounterWhenEmpty();
  // Re-lays out every buffer of the list after its definitions changed; `oldLayout` is the
  // layout before the change, `removed` a definition that is leaving.
  std::vector<TSlotLayout> SnapshotLayout(TcxValueDefs* defs) const;
  void ConvertBuffers(TcxValueDefs* defs, const std::vector<TSlotLayout>& oldLayout, Integer oldRecordOffset,
                      TcxValueDef* removed);

  Integer FRecordIDCounter = 1;
  TcxInternalValueDefs* FInternalValueDefs = nullptr;
  TcxValueDefs* FValueDefs = nullptr;
  TBufferList FInternalRecords;
  TBufferList FRecords;
  Boolean FDestroying = false;
  Boolean FKeepOnlyStoredValues = false;
  Boolean FKeepRecordIDs = false;
  Boolean FStreaming = false;
  std::vector<TcxValueDef*> FStreamingOrder;
  TNotifyEvent FOnClearInternalRecords;
  std::unique_ptr<TLoad> FLoad;
};

// ==== Lookup list ============================================================================

struct TcxLookupListItem {
  Variant Value;
  AnsiString DisplayText;
};
using PcxLookupListItem = TcxLookupListItem*;

// Value-to-text pairs kept sorted by value (CompareVariants) by their users.
class TcxLookupList : public TObject {
  ORV_CLASS(TcxLookupList, TObject)
 public:
  TcxLookupList() = default;

  // Binary search: True with the index of an equal value, else False with the insertion index.
  Boolean Locate(const Variant& value, Integer& index) const;
  void InsertAt(Integer index, const Variant& value, const AnsiString& displayText);
  // Valid until the list changes.
  PcxLookupListItem EntryAt(Integer index);
  Integer GetCount() const { return Integer(FItems.size()); }
  void RemoveAll() { FItems.clear(); }

  // The lookup editors' names for RemoveAll, Locate and InsertAt.
  void Clear() { RemoveAll(); }
  Boolean Find(const Variant& value, Integer& index) const { return Locate(value, index); }
  void Insert(Integer index, const Variant& value, const AnsiString& displayText) { InsertAt(index, value, displayText); }

 private:
  std::vector<TcxLookupListItem> FItems;
};
