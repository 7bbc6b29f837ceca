// Field objects: the typed access to one column of a dataset's current record.
//
// A field reads and writes its value through its dataset (`TDataSet::GetFieldData` and
// `SetFieldData`) in the native buffer format of its type (see FieldTypes.h); the kinds below
// turn that format into text, numbers, dates and variants. `TFields` is the ordered list of a
// dataset's field objects.
#pragma once

#include <bitset>
#include <vector>

#include "platform/dataset/FieldDefs.h"
#include "platform/dataset/FieldTypes.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Variants.h"

class TDataSet;
class TField;
class TStream;

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };


enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

using TFieldNotifyEvent = orv::Event<void(TField* sender)>;
// Gives the text of the field: the display text when `displayText`, else the edit text.
using TFieldGetTextEvent = orv::Event<void(TField* sender, AnsiString& text, bool displayText)>;
using TFieldSetTextEvent = orv::Event<void(TField* sender, const AnsiString& text)>;

// Characters a user may type into the field (indexed by byte).
using TFieldChars = std::bitset<256>;

class TField : public TComponent {
  ORV_CLASS(TField, TComponent)
 public:
  explicit TField(TComponent* owner);
  void BeforeDestruction() override;

  // ---- identity and layout ----
  TDataSet* GetDataSet() const { return FDataSet; }
  // Moves the field into `value`'s field list (out of its old dataset's); both inactive.
  void SetDataSet(TDataSet* value);
  const AnsiString& GetFieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& value);
  // 1-based number of the physical field; 0 for a field that has none (calculated fields).
  Integer GetFieldNo() const { return FFieldNo; }
  TFieldType GetDataType() const { return FDataType; }
  Integer GetSize() const { return FSize; }
  void SetSize(Integer value);
  // Bytes of the native value that GetData/SetData exchange.
  virtual Integer GetDataSize() const { return 0; }
  TFieldKind GetFieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind value);
  bool GetCalculated() const { return FFieldKind == fkCalculated; }
  void SetCalculated(bool value);
  bool GetLookup() const { return FFieldKind == fkLookup; }
  void SetLookup(bool value);
  // Offset of a calculated field's slot in the dataset's calculated-field area.
  Integer GetOffset() const { return FOffset; }
  // Position in the dataset's field list.
  Integer GetIndex() const;
  void SetIndex(Integer value);
  bool IsBlob() const { return IsBlobClass(); }
  virtual bool IsBlobClass() const { return false; }
  // Whether the field is one of the dataset's current index (sort) fields.
  bool GetIsIndexField() const;

  // ---- presentation ----
  const AnsiString& GetDisplayLabel() const { return FDisplayLabel; }
  void SetDisplayLabel(const AnsiString& value);
  // The display label, or the field name when there is none.
  const AnsiString& GetDisplayName() const;
  Integer GetDisplayWidth() const;
  void SetDisplayWidth(Integer value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  const AnsiString& GetEditMask() const { return FEditMask; }
  void SetEditMask(const AnsiString& value) { FEditMask = value; }
  const AnsiString& GetOrigin() const { return FOrigin; }
  void SetOrigin(const AnsiString& value) { FOrigin = value; }
  const TFieldChars& GetValidChars() const { return FValidChars; }
  void SetValidChars(const TFieldChars& value) { FValidChars = value; }
  virtual bool IsValidChar(char c) const { return FValidChars.test(static_cast<unsigned char>(c)); }

  // ---- editing rules ----
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  bool GetRequired() const { return FRequired; }
  void SetRequired(bool value) { FRequired = value; }
  // Not read-only, a data field (or a lookup), and the dataset can be modified.
  bool GetCanModify() const;

  // ---- lookup fields ----
  TDataSet* GetLookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* value);
  const AnsiString& GetKeyFields() const { return FKeyFields; }
  void SetKeyFields(const AnsiString& value);
  const AnsiString& GetLookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const AnsiString& value);
  const AnsiString& GetLookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const AnsiString& value);

  // ---- values ----
  // Reads the native value of the current record into `buffer` (may be nullptr: only the
  // null test). False when the field is null.
  bool GetData(void* buffer) const;
  // The native value of a text field as text (GetData up to the first zero byte); false and
  // empty when null.
  bool GetDataText(AnsiString& value) const;
  // Writes a native value (nullptr: null) into the current record.
  void SetData(const void* buffer);
  // Calls OnValidate; the dataset calls it before it stores a new value.
  virtual void Validate(const void* buffer);
  // Called by the dataset after a value was stored.
  virtual void Change();

  virtual bool GetIsNull() const;
  bool IsNull() const { return GetIsNull(); }
  virtual void Clear();

  virtual AnsiString GetAsString() const;
  virtual void SetAsString(const AnsiString& value);
  virtual Integer GetAsInteger() const;
  virtual void SetAsInteger(Integer value);
  virtual Int64 GetAsLargeInt() const;
  virtual void SetAsLargeInt(Int64 value);
  virtual double GetAsFloat() const;
  virtual void SetAsFloat(double value);
  virtual double GetAsCurrency() const { return GetAsFloat(); }
  virtual void SetAsCurrency(double value) { SetAsFloat(value); }
  virtual bool GetAsBoolean() const;
  virtual void SetAsBoolean(bool value);
  virtual TDateTime GetAsDateTime() const;
  virtual void SetAsDateTime(TDateTime value);
  // The value as a variant: Null for a null field.
  virtual Variant GetAsVariant() const;
  virtual void SetAsVariant(const Variant& value);
  Variant GetValue() const { return GetAsVariant(); }
  void SetValue(const Variant& value) { SetAsVariant(value); }

  // The text shown in a cell (DisplayFormat, OnGetText) and the text an editor starts with.
  AnsiString GetDisplayText() const;
  AnsiString GetEditText() const;
  void SetEditText(const AnsiString& value);
  // Sets the value from text (OnSetText when assigned).
  void SetText(const AnsiString& value);
  AnsiString GetText() const { return GetEditText(); }

  TFieldGetTextEvent GetOnGetText() const { return FOnGetText; }
  void SetOnGetText(TFieldGetTextEvent value) { FOnGetText = value; }
  TFieldSetTextEvent GetOnSetText() const { return FOnSetText; }
  void SetOnSetText(TFieldSetTextEvent value) { FOnSetText = value; }
  TFieldNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TFieldNotifyEvent value) { FOnChange = value; }
  TFieldNotifyEvent GetOnValidate() const { return FOnValidate; }
  void SetOnValidate(TFieldNotifyEvent value) { FOnValidate = value; }

  // Asks the dataset's data links to focus the control that shows this field.
  void FocusControl();

  // Copies the value of `source` (null stays null).
  void AssignValue(const TField* source);

  // ---- used by the dataset ----
  // Binds the field for an open dataset: looks up its definition (data fields) and reserves its
  // calculated-field slot. Called by TDataSet::BindFields.
  void Bind(bool binding);
  void SetFieldType(TFieldType value);
  void SetFieldNo(Integer value) { FFieldNo = value; }
  void SetOffset(Integer value) { FOffset = value; }
  // The lookup's cached result, per buffered record, is not kept: lookups are computed with the
  // other calculated fields.
  void CalcLookupValue();

 protected:
  // Gives the text of the value; DisplayText uses displayText = true.
  virtual void GetText(AnsiString& text, bool displayText) const;
  virtual void SetTextValue(const AnsiString& text) { SetAsString(text); }
  // Raises "Cannot access field '...' as type ...".
  [[noreturn]] void AccessError(const char* typeName) const;
  void CheckInactive() const;
  // Raises "Field '...' cannot be modified" unless the field can be written.
  void CheckReadOnly() const;
  void SetDataTypeInternal(TFieldType value) { FDataType = value; }
  void SetDefaultAlignment(TAlignment value) { FAlignment = value; }
  void PropertyChanged(bool layoutAffected);
  void Notification(TComponent* component, TOperation operation) override;
  ~TField() override;

 private:
  friend class TFields;
  TDataSet* FDataSet = nullptr;
  AnsiString FFieldName;
  Integer FFieldNo = 0;
  TFieldType FDataType = ftUnknown;
  Integer FSize = 0;
  TFieldKind FFieldKind = fkData;
  Integer FOffset = 0;
  AnsiString FDisplayLabel;
  Integer FDisplayWidth = 0;
  bool FVisible = true;
  TAlignment FAlignment = taLeftJustify;
  AnsiString FEditMask;
  AnsiString FOrigin;
  TFieldChars FValidChars;
  bool FReadOnly = false;
  bool FRequired = false;
  TDataSet* FLookupDataSet = nullptr;
  AnsiString FKeyFields;
  AnsiString FLookupKeyFields;
  AnsiString FLookupResultField;
  TFieldGetTextEvent FOnGetText;
  TFieldSetTextEvent FOnSetText;
  TFieldNotifyEvent FOnChange;
  TFieldNotifyEvent FOnValidate;
  // While OnValidate runs, reads of the field see the value being stored.
  bool FValidating = false;
  const void* FValueBuffer = nullptr;
};

using TFieldClass = orv::ClassOf<TField>;

// Text of up to Size bytes, native form: zero-terminated 8-bit text.
class TStringField : public TField {
  ORV_CLASS(TStringField, TField)
 public:
  explicit TStringField(TComponent* owner);
  Integer GetDataSize() const override { return GetSize() + 1; }
  bool GetFixedChar() const { return FFixedChar; }
  void SetFixedChar(bool value) { FFixedChar = value; }
  // Trailing blanks of fixed-width text are cut on reading (on by default).
  bool GetTransliterate() const { return FTransliterate; }
  void SetTransliterate(bool value) { FTransliterate = value; }

  // The text, false when null; no allocation beyond the result for short fields.
  bool GetValueText(AnsiString& value) const;

  AnsiString GetAsString() const override;
  void SetAsString(const AnsiString& value) override;
  Integer GetAsInteger() const override;
  void SetAsInteger(Integer value) override;
  Int64 GetAsLargeInt() const override;
  void SetAsLargeInt(Int64 value) override;
  double GetAsFloat() const override;
  void SetAsFloat(double value) override;
  bool GetAsBoolean() const override;
  void SetAsBoolean(bool value) override;
  TDateTime GetAsDateTime() const override;
  void SetAsDateTime(TDateTime value) override;
  Variant GetAsVariant() const override;

 private:
  bool FFixedChar = false;
  bool FTransliterate = true;
};

// A GUID held as its 38-character text.
class TGuidField : public TStringField {
  ORV_CLASS(TGuidField, TStringField)
 public:
  explicit TGuidField(TComponent* owner);
};

// Text of up to Size characters, native form: zero-terminated UTF-16.
class TWideStringField : public TStringField {
  ORV_CLASS(TWideStringField, TStringField)
 public:
  explicit TWideStringField(TComponent* owner);
  Integer GetDataSize() const override { return (GetSize() + 1) * 2; }
  WideString GetAsWideString() const;
  void SetAsWideString(const WideString& value);
  AnsiString GetAsString() const override;
  void SetAsString(const AnsiString& value) override;
  Variant GetAsVariant() const override;
};

// Base of the numeric kinds: display and edit formats, right alignment.
class TNumericField : public TField {
  ORV_CLASS(TNumericField, TField)
 public:
  explicit TNumericField(TComponent* owner);
  const AnsiString& GetDisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const AnsiString& value);
  const AnsiString& GetEditFormat() const { return FEditFormat; }
  void SetEditFormat(const AnsiString& value);

 private:
  AnsiString FDisplayFormat;
  AnsiString FEditFormat;
};

// 32-bit integers; the 16-bit and auto-increment kinds derive from it.
class TIntegerField : public TNumericField {
  ORV_CLASS(TIntegerField, TNumericField)
 public:
  explicit TIntegerField(TComponent* owner);
  Integer GetDataSize() const override { return 4; }
  // 0 and 0 mean no range check.
  Integer GetMinValue() const { return FMinValue; }
  void SetMinValue(Integer value) { FMinValue = value; }
  Integer GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(Integer value) { FMaxValue = value; }

  // The value, false when null.
  virtual bool GetValueInt(Int64& value) const;

  AnsiString GetAsString() const override;
  void SetAsString(const AnsiString& value) override;
  Integer GetAsInteger() const override;
  void SetAsInteger(Integer value) override;
  Int64 GetAsLargeInt() const override;
  void SetAsLargeInt(Int64 value) override;
  double GetAsFloat() const override;
  void SetAsFloat(double value) override;
  Variant GetAsVariant() const override;
  void SetAsVariant(const Variant& value) override;

 protected:
  void GetText(AnsiString& text, bool displayText) const override;
  // Range of the native type; raises the range error outside it or outside Min/MaxValue.
  void CheckRange(Int64 value, Int64 typeMin, Int64 typeMax) const;
  virtual void StoreInt(Int64 value);

 private:
  Integer FMinValue = 0;
  Integer FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
  ORV_CLASS(TSmallintField, TIntegerField)
 public:
  explicit TSmallintField(TComponent* owner);
  Integer GetDataSize() const override { return 2; }
  bool GetValueInt(Int64& value) const override;

 protected:
  void StoreInt(Int64 value) override;
};

class TWordField : public TIntegerField {
  ORV_CLASS(TWordField, TIntegerField)
 public:
  explicit TWordField(TComponent* owner);
  Integer GetDataSize() const override { return 2; }
  bool GetValueInt(Int64& value) const override;

 protected:
  void StoreInt(Int64 value) override;
};

class TAutoIncField : public TIntegerField {
  ORV_CLASS(TAutoIncField, TIntegerField)
 public:
  explicit TAutoIncField(TComponent* owner);
};

class TLargeintField : public TIntegerField {
  ORV_CLASS(TLargeintField, TIntegerField)
 public:
  explicit TLargeintField(TComponent* owner);
  Integer GetDataSize() const override { return 8; }
  bool GetValueInt(Int64& value) const override;
  Int64 GetLargeMinValue() const { return FLargeMinValue; }
  void SetLargeMinValue(Int64 value) { FLargeMinValue = value; }
  Int64 GetLargeMaxValue() const { return FLargeMaxValue; }
  void SetLargeMaxValue(Int64 value) { FLargeMaxValue = value; }

 protected:
  void StoreInt(Int64 value) override;

 private:
  Int64 FLargeMinValue = 0;
  Int64 FLargeMaxValue = 0;
};

namespace orv {

// The common ground of the floating-point kinds (TFloatField, TBCDField): money texts,
// precision, range and the conversions, over the kind's own native form.
class TRealField : public TNumericField {
  ORV_CLASS(TRealField, TNumericField)
 public:
  bool GetCurrency() const { return FCurrency; }
  void SetCurrency(bool value);
  Integer GetPrecision() const { return FPrecision; }
  // Clamped to the kind's range of digits.
  void SetPrecision(Integer value);
  // 0 and 0 mean no range check.
  double GetMinValue() const { return FMinValue; }
  void SetMinValue(double value) { FMinValue = value; }
  double GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(double value) { FMaxValue = value; }

  // The value, false when null.
  virtual bool GetValueFloat(double& value) const = 0;

  AnsiString GetAsString() const override;
  void SetAsString(const AnsiString& value) override;
  Integer GetAsInteger() const override;
  void SetAsInteger(Integer value) override;
  Int64 GetAsLargeInt() const override;
  void SetAsLargeInt(Int64 value) override;
  double GetAsFloat() const override;
  void SetAsFloat(double value) override;
  Variant GetAsVariant() const override;
  void SetAsVariant(const Variant& value) override;

 protected:
  TRealField(TComponent* owner, Integer precision, Integer minPrecision, Integer maxPrecision);
  void GetText(AnsiString& text, bool displayText) const override;
  // Writes a value that passed the range check.
  virtual void StoreFloat(double value) = 0;
  // Significant digits of the default texts.
  virtual Integer TextPrecision() const { return FPrecision; }

 private:
  bool FCurrency = false;
  Integer FPrecision;
  Integer FMinPrecision;
  Integer FMaxPrecision;
  double FMinValue = 0;
  double FMaxValue = 0;
};

}  // namespace orv

// Double values; `Currency` makes the default texts money amounts; Precision 2..15 (15).
class TFloatField : public orv::TRealField {
  ORV_CLASS(TFloatField, orv::TRealField)
 public:
  explicit TFloatField(TComponent* owner);
  Integer GetDataSize() const override { return 8; }
  bool GetValueFloat(double& value) const override;

 protected:
  void StoreFloat(double value) override;
};

class TCurrencyField : public TFloatField {
  ORV_CLASS(TCurrencyField, TFloatField)
 public:
  explicit TCurrencyField(TComponent* owner);
};

// Fixed-point decimal values; `Size` is the number of decimals, Precision 0..32. Native form: a
// 34-byte block whose first 8 bytes hold the value as a double, the rest zero.
class TBCDField : public orv::TRealField {
  ORV_CLASS(TBCDField, orv::TRealField)
 public:
  explicit TBCDField(TComponent* owner);
  Integer GetDataSize() const override { return 34; }
  bool GetValueFloat(double& value) const override;

 protected:
  void StoreFloat(double value) override;
  Integer TextPrecision() const override;
};

// Native form: 16-bit, 0 false and any other value true.
class TBooleanField : public TField {
  ORV_CLASS(TBooleanField, TField)
 public:
  explicit TBooleanField(TComponent* owner);
  Integer GetDataSize() const override { return 2; }
  // "True;False" by default: the texts of the two values, separated by ";".
  const AnsiString& GetDisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const AnsiString& value);

  AnsiString GetAsString() const override;
  void SetAsString(const AnsiString& value) override;
  bool GetAsBoolean() const override;
  void SetAsBoolean(bool value) override;
  Integer GetAsInteger() const override;
  void SetAsInteger(Integer value) override;
  Variant GetAsVariant() const override;
  void SetAsVariant(const Variant& value) override;

 protected:
  void GetText(AnsiString& text, bool displayText) const override;

 private:
  AnsiString FDisplayValues;
  AnsiString FTextTrue;
  AnsiString FTextFalse;
};

// Date and time kinds. Native forms: ftDate int32 time-stamp day number; ftTime int32
// milliseconds since midnight; ftDateTime double milliseconds of the time stamp.
class TDateTimeField : public TField {
  ORV_CLASS(TDateTimeField, TField)
 public:
  explicit TDateTimeField(TComponent* owner);
  Integer GetDataSize() const override { return 8; }
  const AnsiString& GetDisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const AnsiString& value);

  bool GetValueDateTime(TDateTime& value) const;

  AnsiString GetAsString() const override;
  void SetAsString(const AnsiString& value) override;
  double GetAsFloat() const override;
  void SetAsFloat(double value) override;
  TDateTime GetAsDateTime() const override;
  void SetAsDateTime(TDateTime value) override;
  Variant GetAsVariant() const override;
  void SetAsVariant(const Variant& value) override;

 protected:
  void GetText(AnsiString& text, bool displayText) const override;

 private:
  AnsiString FDisplayFormat;
};

class TDateField : public TDateTimeField {
  ORV_CLASS(TDateField, TDateTimeField)
 public:
  explicit TDateField(TComponent* owner);
  Integer GetDataSize() const override { return 4; }
};

class TTimeField : public TDateTimeField {
  ORV_CLASS(TTimeField, TDateTimeField)
 public:
  explicit TTimeField(TComponent* owner);
  Integer GetDataSize() const override { return 4; }
};

// Binary large objects, read and written through the dataset's blob streams.
class TBlobField : public TField {
  ORV_CLASS(TBlobField, TField)
 public:
  explicit TBlobField(TComponent* owner);
  bool IsBlobClass() const override { return true; }
  // Whether the field's content was written since the record was read (set by blob streams).
  bool GetModified() const { return FModified; }
  void SetModified(bool value) { FModified = value; }
  TFieldType GetBlobType() const { return GetDataType(); }
  void SetBlobType(TFieldType value) { SetFieldType(value); }

  // The whole content.
  AnsiString GetAsBytes() const;
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream) const;

  bool GetIsNull() const override;
  void Clear() override;
  AnsiString GetAsString() const override;
  void SetAsString(const AnsiString& value) override;
  Variant GetAsVariant() const override;
  void SetAsVariant(const Variant& value) override;

 protected:
  void GetText(AnsiString& text, bool displayText) const override;

 private:
  bool FModified = false;
};

class TMemoField : public TBlobField {
  ORV_CLASS(TMemoField, TBlobField)
 public:
  explicit TMemoField(TComponent* owner);

 protected:
  void GetText(AnsiString& text, bool displayText) const override;
};

class TGraphicField : public TBlobField {
  ORV_CLASS(TGraphicField, TBlobField)
 public:
  explicit TGraphicField(TComponent* owner);
};

// The field class that serves a data type; nullptr when none does.
TFieldClass DefaultFieldClass(TFieldType type);

// The ordered field objects of a dataset. The list does not own them: a field belongs to its
// owner component (the dataset itself for default fields).
class TFields {
 public:
  explicit TFields(TDataSet* dataSet) : FDataSet(dataSet) {}
  TFields(const TFields&) = delete;
  TFields& operator=(const TFields&) = delete;

  TDataSet* GetDataSet() const { return FDataSet; }
  Integer GetCount() const { return static_cast<Integer>(FList.size()); }
  TField* GetField(Integer index) const;
  TField* operator[](Integer index) const { return GetField(index); }
  // Case-insensitive; nullptr when absent.
  TField* FindField(const AnsiString& fieldName) const;
  // Raises "Field '...' not found".
  TField* FieldByName(const AnsiString& fieldName) const;
  // The field bound to physical field number `fieldNo`, or nullptr.
  TField* FieldByNumber(Integer fieldNo) const;
  Integer IndexOf(const TField* field) const;

  void Add(TField* field);
  void Remove(TField* field);
  // Frees every field whose owner is the dataset, removes all others from the list.
  void Clear();
  // Moves `field` to position `index`.
  void SetFieldIndex(TField* field, Integer index);

  auto begin() const { return FList.begin(); }
  auto end() const { return FList.end(); }

 private:
  TDataSet* FDataSet;
  std::vector<TField*> FList;
};
