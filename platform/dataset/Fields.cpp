#include "platform/dataset/Fields.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/dataset/DBConsts.h"
#include "platform/dataset/DataSet.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

using namespace orv::db;

namespace {

// A native value buffer: on the stack for the usual sizes, on the heap for long texts.
class ValueBuffer {
 public:
  explicit ValueBuffer(std::size_t size) {
    if (size > FLocal.size()) FHeap.reset(new char[size]);
    std::memset(Data(), 0, size);
  }
  char* Data() { return FHeap ? FHeap.get() : FLocal.data(); }

 private:
  std::array<char, 512> FLocal;
  std::unique_ptr<char[]> FHeap;
};

// Integer kinds and Booleans: stored without a detour through floating point.
bool VarIsOrdinal(const Variant& v) {
  switch (VarType(v)) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varBoolean:
      return true;
    default:
      return false;
  }
}

bool IsStringType(TFieldType type) {
  return type == ftString || type == ftFixedChar || type == ftGuid;
}

// Whether a field of `fieldType` may stand for a definition of `defType`: the same native
// format.
bool CompatibleTypes(TFieldType fieldType, TFieldType defType) {
  if (fieldType == defType) return true;
  if (IsStringType(fieldType) && IsStringType(defType)) return true;
  if ((fieldType == ftInteger || fieldType == ftAutoInc) &&
      (defType == ftInteger || defType == ftAutoInc))
    return true;
  if ((fieldType == ftFloat || fieldType == ftCurrency) &&
      (defType == ftFloat || defType == ftCurrency))
    return true;
  const auto isBlob = [](TFieldType t) {
    return (t >= ftBlob && t <= ftTypedBinary) || t == ftOraBlob || t == ftOraClob;
  };
  return isBlob(fieldType) && isBlob(defType);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TField

TField::TField(TComponent* owner) : TComponent(owner) { FValidChars.set(); }

TField::~TField() = default;

void TField::BeforeDestruction() {
  if (FDataSet) {
    TDataSet* dataSet = FDataSet;
    if (dataSet->GetActive() && !dataSet->GetComponentState().Contains(csDestroying)) {
      try {
        dataSet->Close();
      } catch (...) {
        // Teardown never throws.
      }
    }
    dataSet->FFields.Remove(this);
    FDataSet = nullptr;
  }
  inherited::BeforeDestruction();
}

void TField::CheckInactive() const {
  if (FDataSet) FDataSet->CheckInactive();
}

void TField::SetDataSet(TDataSet* value) {
  if (value == FDataSet) return;
  if (FDataSet) FDataSet->CheckInactive();
  if (value) {
    value->CheckInactive();
    TField* other = value->FindField(FFieldName);
    if (other && !FFieldName.empty()) DatabaseErrorFmt(SDuplicateFieldName, {FFieldName}, value);
  }
  if (FDataSet) FDataSet->FFields.Remove(this);
  FDataSet = nullptr;
  if (value) value->FFields.Add(this);
}

void TField::SetFieldName(const AnsiString& value) {
  if (value == FFieldName) return;
  if (FDataSet) {
    FDataSet->CheckInactive();
    TField* other = FDataSet->FindField(value);
    if (other && other != this) DatabaseErrorFmt(SDuplicateFieldName, {value}, FDataSet);
  }
  FFieldName = value;
  if (FDataSet) FDataSet->DataEvent(deFieldListChange, 0);
}

void TField::SetSize(Integer value) {
  CheckInactive();
  if (value < 0) DatabaseError(SInvalidFieldSize, this);
  FSize = value;
}

void TField::SetFieldType(TFieldType value) { FDataType = value; }

void TField::SetFieldKind(TFieldKind value) {
  if (value == FFieldKind) return;
  CheckInactive();
  FFieldKind = value;
}

void TField::SetCalculated(bool value) {
  if (value)
    SetFieldKind(fkCalculated);
  else if (FFieldKind == fkCalculated)
    SetFieldKind(fkData);
}

void TField::SetLookup(bool value) {
  if (value)
    SetFieldKind(fkLookup);
  else if (FFieldKind == fkLookup)
    SetFieldKind(fkData);
}

Integer TField::GetIndex() const { return FDataSet ? FDataSet->FFields.IndexOf(this) : -1; }

void TField::SetIndex(Integer value) {
  if (!FDataSet) return;
  FDataSet->FFields.SetFieldIndex(this, value);
  PropertyChanged(true);
}

bool TField::GetIsIndexField() const {
  return FDataSet && FDataSet->GetIsIndexField(const_cast<TField*>(this));
}

void TField::PropertyChanged(bool layoutAffected) {
  if (FDataSet && FDataSet->GetActive())
    FDataSet->DataEvent(layoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::SetDisplayLabel(const AnsiString& value) {
  if (value == FDisplayLabel) return;
  FDisplayLabel = value;
  PropertyChanged(true);
}

const AnsiString& TField::GetDisplayName() const {
  return FDisplayLabel.empty() ? FFieldName : FDisplayLabel;
}

Integer TField::GetDisplayWidth() const {
  if (FDisplayWidth > 0) return FDisplayWidth;
  if (IsStringType(FDataType) || FDataType == ftWideString) return FSize > 0 ? FSize : 1;
  return 10;
}

void TField::SetDisplayWidth(Integer value) {
  if (value == FDisplayWidth) return;
  FDisplayWidth = value;
  PropertyChanged(true);
}

void TField::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  PropertyChanged(true);
}

void TField::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  PropertyChanged(false);
}

void TField::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  PropertyChanged(false);
}

bool TField::GetCanModify() const {
  if (FReadOnly || !FDataSet || FFieldNo <= 0) return false;
  if (FDataSet->GetState() == dsSetKey) return GetIsIndexField();
  return FDataSet->GetCanModify();
}

void TField::SetLookupDataSet(TDataSet* value) {
  if (value == FLookupDataSet) return;
  CheckInactive();
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = value;
  if (FLookupDataSet) FLookupDataSet->FreeNotification(this);
}

void TField::SetKeyFields(const AnsiString& value) {
  CheckInactive();
  FKeyFields = value;
}

void TField::SetLookupKeyFields(const AnsiString& value) {
  CheckInactive();
  FLookupKeyFields = value;
}

void TField::SetLookupResultField(const AnsiString& value) {
  CheckInactive();
  FLookupResultField = value;
}

void TField::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FLookupDataSet) FLookupDataSet = nullptr;
}

bool TField::GetData(void* buffer) const {
  if (FValidating) {
    if (!FValueBuffer) return false;
    if (buffer) std::memcpy(buffer, FValueBuffer, static_cast<std::size_t>(GetDataSize()));
    return true;
  }
  if (!FDataSet || FDataSet->FBuffers.empty()) return false;
  return FDataSet->GetFieldData(const_cast<TField*>(this), buffer);
}

bool TField::GetDataText(AnsiString& value) const {
  if (!FValidating && FDataSet && !FDataSet->FBuffers.empty()) return FDataSet->GetFieldText(const_cast<TField*>(this), value);
  const std::size_t size = static_cast<std::size_t>(GetDataSize());
  value.assign(size, '\0');
  if (!GetData(value.data())) {
    value.clear();
    return false;
  }
  value.resize(strnlen(value.data(), size));
  return true;
}

void TField::SetData(const void* buffer) {
  if (!FDataSet) DatabaseErrorFmt(SNoDataSet, {}, this);
  const TDataSetState state = FDataSet->GetState();
  if (!orv::IsWriteState(state)) DatabaseError(SNotEditing, FDataSet);
  if (FReadOnly && FFieldKind == fkData && (state == dsEdit || state == dsInsert))
    DatabaseErrorFmt(SFieldReadOnly, {GetDisplayName()}, FDataSet);
  FDataSet->SetFieldData(this, buffer);
}

void TField::Validate(const void* buffer) {
  if (!FOnValidate) return;
  // The handler reads the value being stored, not the one in the record.
  FValidating = true;
  FValueBuffer = buffer;
  try {
    FOnValidate(this);
  } catch (...) {
    FValidating = false;
    FValueBuffer = nullptr;
    throw;
  }
  FValidating = false;
  FValueBuffer = nullptr;
}

void TField::Change() {
  if (FOnChange) FOnChange(this);
}

bool TField::GetIsNull() const { return !GetData(nullptr); }

void TField::Clear() { SetData(nullptr); }

void TField::AccessError(const char* typeName) const {
  DatabaseErrorFmt(SFieldAccessError, {GetDisplayName(), typeName}, const_cast<TField*>(this));
}

AnsiString TField::GetAsString() const {
  AccessError("String");
}
void TField::SetAsString(const AnsiString& value) { AccessError("String"); }
Integer TField::GetAsInteger() const { AccessError("Integer"); }
void TField::SetAsInteger(Integer value) { AccessError("Integer"); }
Int64 TField::GetAsLargeInt() const { return GetAsInteger(); }
void TField::SetAsLargeInt(Int64 value) {
  if (value < std::numeric_limits<Integer>::min() || value > std::numeric_limits<Integer>::max())
    AccessError("LargeInt");
  SetAsInteger(static_cast<Integer>(value));
}
double TField::GetAsFloat() const { AccessError("Float"); }
void TField::SetAsFloat(double value) { AccessError("Float"); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBoolean(bool value) { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTime(TDateTime value) { AccessError("DateTime"); }
Variant TField::GetAsVariant() const { AccessError("Variant"); }

void TField::SetAsVariant(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value))
    Clear();
  else
    SetAsString(VarToStr(value));
}

void TField::GetText(AnsiString& text, bool displayText) const { text = GetAsString(); }

AnsiString TField::GetDisplayText() const {
  AnsiString text;
  if (FOnGetText)
    FOnGetText(const_cast<TField*>(this), text, true);
  else
    GetText(text, true);
  return text;
}

AnsiString TField::GetEditText() const {
  AnsiString text;
  if (FOnGetText)
    FOnGetText(const_cast<TField*>(this), text, false);
  else
    GetText(text, false);
  return text;
}

void TField::SetEditText(const AnsiString& value) { SetText(value); }

void TField::SetText(const AnsiString& value) {
  if (FOnSetText)
    FOnSetText(this, value);
  else
    SetTextValue(value);
}

void TField::FocusControl() {
  if (!FDataSet || !FDataSet->GetActive()) return;
  TField* field = this;
  FDataSet->DataEvent(deFocusControl, reinterpret_cast<NativeInt>(&field));
}

void TField::AssignValue(const TField* source) {
  if (!source || source->GetIsNull())
    Clear();
  else
    SetAsVariant(source->GetAsVariant());
}

void TField::Bind(bool binding) {
  if (!binding) return;
  switch (FFieldKind) {
    case fkCalculated:
      FFieldNo = 0;
      break;
    case fkLookup:
      FFieldNo = 0;
      if (!FLookupDataSet || FKeyFields.empty() || FLookupKeyFields.empty() ||
          FLookupResultField.empty())
        DatabaseErrorFmt(SLookupInfoError, {GetDisplayName()}, FDataSet);
      break;
    default: {
      TFieldDef* def = FDataSet->GetFieldDefs().FindDef(FFieldName);
      if (!def) DatabaseErrorFmt(SFieldNotFound, {GetDisplayName()}, FDataSet);
      if (!CompatibleTypes(FDataType, def->GetDataType()) ||
          (IsStringType(FDataType) && FSize < def->GetSize()))
        DatabaseErrorFmt(SFieldTypeMismatch, {GetDisplayName()}, FDataSet);
      FFieldNo = def->GetFieldNo();
      break;
    }
  }
}

void TField::CalcLookupValue() {
  if (!FLookupDataSet || !FLookupDataSet->GetActive() || !FDataSet) return;
  const Variant key = FDataSet->GetFieldValues(FKeyFields);
  SetAsVariant(FLookupDataSet->Lookup(FLookupKeyFields, key, FLookupResultField));
}

// ---------------------------------------------------------------------------------------------
// TStringField

TStringField::TStringField(TComponent* owner) : TField(owner) {
  SetDataTypeInternal(ftString);
  SetSize(20);
}

bool TStringField::GetValueText(AnsiString& value) const {
  // Straight into the result, whose memory a caller reading many records reuses.
  if (!GetDataText(value)) return false;
  if (FFixedChar && FTransliterate) {
    while (!value.empty() && value.back() == ' ') value.pop_back();
  }
  return true;
}

AnsiString TStringField::GetAsString() const {
  AnsiString value;
  GetValueText(value);
  return value;
}

void TStringField::SetAsString(const AnsiString& value) {
  const std::size_t size = static_cast<std::size_t>(GetDataSize());
  ValueBuffer buffer(size);
  std::memcpy(buffer.Data(), value.data(), std::min(value.size(), size - 1));
  SetData(buffer.Data());
}

Integer TStringField::GetAsInteger() const { return StrToInt(GetAsString()); }
void TStringField::SetAsInteger(Integer value) { SetAsString(IntToStr(value)); }
Int64 TStringField::GetAsLargeInt() const { return StrToInt64(GetAsString()); }
void TStringField::SetAsLargeInt(Int64 value) { SetAsString(IntToStr(value)); }
double TStringField::GetAsFloat() const { return StrToFloat(GetAsString()); }
void TStringField::SetAsFloat(double value) { SetAsString(FloatToStr(value)); }

bool TStringField::GetAsBoolean() const {
  const AnsiString s = GetAsString();
  return !s.empty() && (s[0] == 'T' || s[0] == 't' || s[0] == 'Y' || s[0] == 'y');
}

void TStringField::SetAsBoolean(bool value) { SetAsString(value ? "T" : "F"); }
TDateTime TStringField::GetAsDateTime() const { return StrToDateTime(GetAsString()); }
void TStringField::SetAsDateTime(TDateTime value) { SetAsString(DateTimeToStr(value)); }

Variant TStringField::GetAsVariant() const {
  AnsiString value;
  if (!GetValueText(value)) return Null();
  return Variant(value);
}

TGuidField::TGuidField(TComponent* owner) : TStringField(owner) {
  SetDataTypeInternal(ftGuid);
  SetSize(38);
}

// ---------------------------------------------------------------------------------------------
// TWideStringField

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) {
  SetDataTypeInternal(ftWideString);
}

WideString TWideStringField::GetAsWideString() const {
  const std::size_t size = static_cast<std::size_t>(GetDataSize());
  ValueBuffer buffer(size);
  if (!GetData(buffer.Data())) return WideString();
  const auto* text = reinterpret_cast<const char16_t*>(buffer.Data());
  std::size_t length = 0;
  while (length < static_cast<std::size_t>(GetSize()) && text[length] != 0) ++length;
  return WideString(text, length);
}

void TWideStringField::SetAsWideString(const WideString& value) {
  const std::size_t size = static_cast<std::size_t>(GetDataSize());
  ValueBuffer buffer(size);
  const std::size_t count = std::min(value.size(), static_cast<std::size_t>(GetSize()));
  std::memcpy(buffer.Data(), value.data(), count * sizeof(char16_t));
  SetData(buffer.Data());
}

AnsiString TWideStringField::GetAsString() const { return orv::WideToAnsi(GetAsWideString()); }
void TWideStringField::SetAsString(const AnsiString& value) { SetAsWideString(orv::AnsiToWide(value)); }

Variant TWideStringField::GetAsVariant() const {
  if (GetIsNull()) return Null();
  return Variant(GetAsString());
}

// ---------------------------------------------------------------------------------------------
// Numeric fields

TNumericField::TNumericField(TComponent* owner) : TField(owner) {
  SetDefaultAlignment(taRightJustify);
}

void TNumericField::SetDisplayFormat(const AnsiString& value) {
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  PropertyChanged(false);
}

void TNumericField::SetEditFormat(const AnsiString& value) {
  if (value == FEditFormat) return;
  FEditFormat = value;
  PropertyChanged(false);
}

TIntegerField::TIntegerField(TComponent* owner) : TNumericField(owner) {
  SetDataTypeInternal(ftInteger);
}

bool TIntegerField::GetValueInt(Int64& value) const {
  Integer v = 0;
  if (!GetData(&v)) return false;
  value = v;
  return true;
}

void TIntegerField::CheckRange(Int64 value, Int64 typeMin, Int64 typeMax) const {
  Int64 low = typeMin, high = typeMax;
  if (FMinValue != 0 || FMaxValue != 0) {
    low = std::max<Int64>(low, FMinValue);
    high = std::min<Int64>(high, FMaxValue);
  }
  if (value < low || value > high)
    DatabaseErrorFmt(SFieldRangeError, {IntToStr(value), GetDisplayName(), IntToStr(low), IntToStr(high)},
                     const_cast<TIntegerField*>(this));
}

void TIntegerField::StoreInt(Int64 value) {
  CheckRange(value, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max());
  const Integer v = static_cast<Integer>(value);
  SetData(&v);
}

AnsiString TIntegerField::GetAsString() const {
  Int64 v;
  return GetValueInt(v) ? IntToStr(v) : AnsiString();
}

void TIntegerField::SetAsString(const AnsiString& value) {
  if (value.empty()) {
    Clear();
    return;
  }
  Int64 v;
  if (!TryStrToInt64(value, v)) DatabaseErrorFmt(SNotAnInteger, {value, GetDisplayName()}, this);
  StoreInt(v);
}

Integer TIntegerField::GetAsInteger() const {
  Int64 v = 0;
  GetValueInt(v);
  return static_cast<Integer>(v);
}

void TIntegerField::SetAsInteger(Integer value) { StoreInt(value); }

Int64 TIntegerField::GetAsLargeInt() const {
  Int64 v = 0;
  GetValueInt(v);
  return v;
}

void TIntegerField::SetAsLargeInt(Int64 value) { StoreInt(value); }

double TIntegerField::GetAsFloat() const { return static_cast<double>(GetAsLargeInt()); }

void TIntegerField::SetAsFloat(double value) {
  if (!(value >= -9.2e18 && value <= 9.2e18))
    DatabaseErrorFmt(SNotAnInteger, {FloatToStr(value), GetDisplayName()}, this);
  StoreInt(Round(value));
}

Variant TIntegerField::GetAsVariant() const {
  Int64 v;
  if (!GetValueInt(v)) return Null();
  if (GetDataType() == ftLargeint) return Variant(v);
  return Variant(static_cast<Integer>(v));
}

void TIntegerField::SetAsVariant(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value)) {
    Clear();
  } else if (VarIsStr(value)) {
    SetAsString(VarToStr(value));
  } else if (VarIsOrdinal(value)) {
    StoreInt(value.AsInt64());
  } else {
    SetAsFloat(value.AsDouble());
  }
}

void TIntegerField::GetText(AnsiString& text, bool displayText) const {
  Int64 v;
  if (!GetValueInt(v)) {
    text.clear();
    return;
  }
  const AnsiString& format =
      displayText || GetEditFormat().empty() ? GetDisplayFormat() : GetEditFormat();
  text = format.empty() ? IntToStr(v) : FormatFloat(format, static_cast<double>(v));
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner) {
  SetDataTypeInternal(ftSmallint);
}

bool TSmallintField::GetValueInt(Int64& value) const {
  SmallInt v = 0;
  if (!GetData(&v)) return false;
  value = v;
  return true;
}

void TSmallintField::StoreInt(Int64 value) {
  CheckRange(value, std::numeric_limits<SmallInt>::min(), std::numeric_limits<SmallInt>::max());
  const SmallInt v = static_cast<SmallInt>(value);
  SetData(&v);
}

TWordField::TWordField(TComponent* owner) : TIntegerField(owner) { SetDataTypeInternal(ftWord); }

bool TWordField::GetValueInt(Int64& value) const {
  Word v = 0;
  if (!GetData(&v)) return false;
  value = v;
  return true;
}

void TWordField::StoreInt(Int64 value) {
  CheckRange(value, 0, std::numeric_limits<Word>::max());
  const Word v = static_cast<Word>(value);
  SetData(&v);
}

TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner) {
  SetDataTypeInternal(ftAutoInc);
}

TLargeintField::TLargeintField(TComponent* owner) : TIntegerField(owner) {
  SetDataTypeInternal(ftLargeint);
}

bool TLargeintField::GetValueInt(Int64& value) const {
  Int64 v = 0;
  if (!GetData(&v)) return false;
  value = v;
  return true;
}

void TLargeintField::StoreInt(Int64 value) {
  if ((FLargeMinValue != 0 || FLargeMaxValue != 0) &&
      (value < FLargeMinValue || value > FLargeMaxValue))
    DatabaseErrorFmt(SFieldRangeError,
                     {IntToStr(value), GetDisplayName(), IntToStr(FLargeMinValue), IntToStr(FLargeMaxValue)},
                     this);
  SetData(&value);
}

// ---------------------------------------------------------------------------------------------
// Floating-point fields

namespace {

// The default texts of float and BCD values: the display or edit format when set, else the
// general format at `precision` digits (money amounts with the locale's currency digits).
AnsiString FloatText(double value, bool displayText, const AnsiString& displayFormat,
                     const AnsiString& editFormat, bool currency, Integer precision) {
  const AnsiString& format = displayText || editFormat.empty() ? displayFormat : editFormat;
  if (!format.empty()) return FormatFloat(format, value);
  if (currency)
    return FloatToStrF(value, displayText ? ffCurrency : ffFixed, precision,
                       FormatSettings.CurrencyDecimals);
  return FloatToStrF(value, ffGeneral, precision, 0);
}

}  // namespace

namespace orv {

TRealField::TRealField(TComponent* owner, Integer precision, Integer minPrecision,
                       Integer maxPrecision)
    : TNumericField(owner),
      FPrecision(precision),
      FMinPrecision(minPrecision),
      FMaxPrecision(maxPrecision) {}

void TRealField::SetCurrency(bool value) {
  if (value == FCurrency) return;
  FCurrency = value;
  PropertyChanged(false);
}

void TRealField::SetPrecision(Integer value) {
  value = std::clamp(value, FMinPrecision, FMaxPrecision);
  if (value == FPrecision) return;
  FPrecision = value;
  PropertyChanged(false);
}

AnsiString TRealField::GetAsString() const {
  double v;
  return GetValueFloat(v) ? FloatToStr(v) : AnsiString();
}

void TRealField::SetAsString(const AnsiString& value) {
  if (value.empty()) {
    Clear();
    return;
  }
  double v;
  if (!TryStrToFloat(value, v)) DatabaseErrorFmt(SNotAFloat, {value, GetDisplayName()}, this);
  SetAsFloat(v);
}

Integer TRealField::GetAsInteger() const { return static_cast<Integer>(Round(GetAsFloat())); }
void TRealField::SetAsInteger(Integer value) { SetAsFloat(value); }
Int64 TRealField::GetAsLargeInt() const { return Round(GetAsFloat()); }
void TRealField::SetAsLargeInt(Int64 value) { SetAsFloat(static_cast<double>(value)); }

double TRealField::GetAsFloat() const {
  double v = 0;
  GetValueFloat(v);
  return v;
}

void TRealField::SetAsFloat(double value) {
  if ((FMinValue != 0 || FMaxValue != 0) && (value < FMinValue || value > FMaxValue))
    DatabaseErrorFmt(SFieldRangeError,
                     {FloatToStr(value), GetDisplayName(), FloatToStr(FMinValue), FloatToStr(FMaxValue)},
                     this);
  StoreFloat(value);
}

Variant TRealField::GetAsVariant() const {
  double v;
  if (!GetValueFloat(v)) return Null();
  return Variant(v);
}

void TRealField::SetAsVariant(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value))
    Clear();
  else if (VarIsStr(value))
    SetAsString(VarToStr(value));
  else
    SetAsFloat(value.AsDouble());
}

void TRealField::GetText(AnsiString& text, bool displayText) const {
  double v;
  if (!GetValueFloat(v)) {
    text.clear();
    return;
  }
  text = FloatText(v, displayText, GetDisplayFormat(), GetEditFormat(), FCurrency, TextPrecision());
}

}  // namespace orv

TFloatField::TFloatField(TComponent* owner) : TRealField(owner, 15, 2, 15) {
  SetDataTypeInternal(ftFloat);
}

bool TFloatField::GetValueFloat(double& value) const {
  double v = 0;
  if (!GetData(&v)) return false;
  value = v;
  return true;
}

void TFloatField::StoreFloat(double value) { SetData(&value); }

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) {
  SetDataTypeInternal(ftCurrency);
  SetCurrency(true);
}

// ---------------------------------------------------------------------------------------------
// TBCDField

TBCDField::TBCDField(TComponent* owner) : TRealField(owner, 0, 0, 32) {
  SetDataTypeInternal(ftBCD);
  SetSize(4);
}

bool TBCDField::GetValueFloat(double& value) const {
  Byte block[34] = {};
  if (!GetData(block)) return false;
  std::memcpy(&value, block, sizeof value);
  return true;
}

void TBCDField::StoreFloat(double value) {
  Byte block[34] = {};
  std::memcpy(block, &value, sizeof value);
  SetData(block);
}

Integer TBCDField::TextPrecision() const {
  return GetPrecision() > 0 ? std::min(GetPrecision(), 15) : 15;
}

// ---------------------------------------------------------------------------------------------
// TBooleanField

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) {
  SetDataTypeInternal(ftBoolean);
  SetDisplayValues("True;False");
}

void TBooleanField::SetDisplayValues(const AnsiString& value) {
  FDisplayValues = value;
  const std::size_t p = value.find(';');
  if (p == AnsiString::npos) {
    FTextTrue = value;
    FTextFalse.clear();
  } else {
    FTextTrue = value.substr(0, p);
    FTextFalse = value.substr(p + 1);
  }
  PropertyChanged(false);
}

bool TBooleanField::GetAsBoolean() const {
  Word v = 0;
  return GetData(&v) && v != 0;
}

void TBooleanField::SetAsBoolean(bool value) {
  // The platform's 16-bit true is all bits set.
  const Word v = value ? 0xFFFF : 0;
  SetData(&v);
}

AnsiString TBooleanField::GetAsString() const {
  Word v = 0;
  if (!GetData(&v)) return AnsiString();
  return v != 0 ? FTextTrue : FTextFalse;
}

void TBooleanField::SetAsString(const AnsiString& value) {
  if (value.empty()) {
    Clear();
    return;
  }
  // A prefix of either text is enough: "T", "f", "Tr" ...
  const auto matches = [&](const AnsiString& text) {
    return AnsiCompareText(value, text.substr(0, value.size())) == 0;
  };
  if (matches(FTextFalse))
    SetAsBoolean(false);
  else if (matches(FTextTrue))
    SetAsBoolean(true);
  else
    DatabaseErrorFmt(SNotABoolean, {value, GetDisplayName()}, this);
}

Integer TBooleanField::GetAsInteger() const { return GetAsBoolean() ? 1 : 0; }
void TBooleanField::SetAsInteger(Integer value) { SetAsBoolean(value != 0); }

Variant TBooleanField::GetAsVariant() const {
  Word v = 0;
  if (!GetData(&v)) return Null();
  return Variant(v != 0);
}

void TBooleanField::SetAsVariant(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value))
    Clear();
  else if (VarIsStr(value))
    SetAsString(VarToStr(value));
  else
    SetAsBoolean(value.AsBoolean());
}

void TBooleanField::GetText(AnsiString& text, bool displayText) const { text = GetAsString(); }

// ---------------------------------------------------------------------------------------------
// Date and time fields

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner) {
  SetDataTypeInternal(ftDateTime);
}

void TDateTimeField::SetDisplayFormat(const AnsiString& value) {
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  PropertyChanged(false);
}

bool TDateTimeField::GetValueDateTime(TDateTime& value) const {
  // A native value that names no moment (a damaged record) reads as no value rather than
  // failing every display of the record.
  try {
    switch (GetDataType()) {
      case ftDate: {
        Integer day = 0;
        if (!GetData(&day)) return false;
        value = TimeStampToDateTime(TTimeStamp{0, day});
        return true;
      }
      case ftTime: {
        Integer ms = 0;
        if (!GetData(&ms)) return false;
        value = TimeStampToDateTime(TTimeStamp{ms, DateDelta});
        return true;
      }
      default: {
        double ms = 0;
        if (!GetData(&ms)) return false;
        value = TimeStampToDateTime(MSecsToTimeStamp(ms));
        return true;
      }
    }
  } catch (const EConvertError&) {
    return false;
  }
}

TDateTime TDateTimeField::GetAsDateTime() const {
  TDateTime v = 0;
  GetValueDateTime(v);
  return v;
}

void TDateTimeField::SetAsDateTime(TDateTime value) {
  const TTimeStamp stamp = DateTimeToTimeStamp(value);
  switch (GetDataType()) {
    case ftDate: {
      const Integer day = stamp.Date;
      SetData(&day);
      break;
    }
    case ftTime: {
      const Integer ms = stamp.Time;
      SetData(&ms);
      break;
    }
    default: {
      const double ms = TimeStampToMSecs(stamp);
      SetData(&ms);
      break;
    }
  }
}

double TDateTimeField::GetAsFloat() const { return GetAsDateTime(); }
void TDateTimeField::SetAsFloat(double value) { SetAsDateTime(value); }

AnsiString TDateTimeField::GetAsString() const {
  AnsiString text;
  GetText(text, false);
  return text;
}

void TDateTimeField::SetAsString(const AnsiString& value) {
  if (value.empty()) {
    Clear();
    return;
  }
  TDateTime v;
  bool ok;
  switch (GetDataType()) {
    case ftDate:
      ok = TryStrToDate(value, v);
      break;
    case ftTime:
      ok = TryStrToTime(value, v);
      break;
    default:
      ok = TryStrToDateTime(value, v);
      break;
  }
  if (!ok) DatabaseErrorFmt(SNotADate, {value, GetDisplayName()}, this);
  SetAsDateTime(v);
}

Variant TDateTimeField::GetAsVariant() const {
  TDateTime v;
  if (!GetValueDateTime(v)) return Null();
  return VarFromDateTime(v);
}

void TDateTimeField::SetAsVariant(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value))
    Clear();
  else if (VarIsStr(value))
    SetAsString(VarToStr(value));
  else
    SetAsDateTime(VarToDateTime(value));
}

void TDateTimeField::GetText(AnsiString& text, bool displayText) const {
  TDateTime v;
  if (!GetValueDateTime(v)) {
    text.clear();
    return;
  }
  if (displayText && !FDisplayFormat.empty()) {
    text = FormatDateTime(FDisplayFormat, v);
    return;
  }
  switch (GetDataType()) {
    case ftDate:
      text = DateToStr(v);
      break;
    case ftTime:
      text = TimeToStr(v);
      break;
    default:
      text = DateTimeToStr(v);
      break;
  }
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner) { SetDataTypeInternal(ftDate); }

TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner) { SetDataTypeInternal(ftTime); }

// ---------------------------------------------------------------------------------------------
// Blob fields

TBlobField::TBlobField(TComponent* owner) : TField(owner) { SetDataTypeInternal(ftBlob); }

AnsiString TBlobField::GetAsBytes() const {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !dataSet->GetActive()) return AnsiString();
  std::unique_ptr<TStream, orv::FreeDeleter> stream(
      dataSet->CreateBlobStream(const_cast<TBlobField*>(this), bmRead));
  if (!stream) return AnsiString();
  AnsiString bytes(static_cast<std::size_t>(std::max<Int64>(stream->GetSize(), 0)), '\0');
  const Integer read = bytes.empty() ? 0 : stream->Read(bytes.data(), static_cast<Integer>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(std::max(read, 0)));
  return bytes;
}

bool TBlobField::GetIsNull() const {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || !dataSet->GetActive()) return true;
  std::unique_ptr<TStream, orv::FreeDeleter> stream(
      dataSet->CreateBlobStream(const_cast<TBlobField*>(this), bmRead));
  return !stream || stream->GetSize() == 0;
}

void TBlobField::Clear() { SetAsString(AnsiString()); }

AnsiString TBlobField::GetAsString() const { return GetAsBytes(); }

void TBlobField::SetAsString(const AnsiString& value) {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) DatabaseError(SNoDataSet, this);
  std::unique_ptr<TStream, orv::FreeDeleter> stream(dataSet->CreateBlobStream(this, bmWrite));
  if (!stream) return;
  if (!value.empty()) stream->WriteBuffer(value.data(), static_cast<Integer>(value.size()));
}

void TBlobField::LoadFromStream(TStream* stream) {
  const Int64 size = stream->GetSize() - stream->GetPosition();
  AnsiString bytes(static_cast<std::size_t>(std::max<Int64>(size, 0)), '\0');
  if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  SetAsString(bytes);
}

void TBlobField::SaveToStream(TStream* stream) const {
  const AnsiString bytes = GetAsBytes();
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

Variant TBlobField::GetAsVariant() const {
  const AnsiString bytes = GetAsBytes();
  if (bytes.empty()) return Null();
  return Variant(bytes);
}

void TBlobField::SetAsVariant(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value))
    Clear();
  else
    SetAsString(VarToStr(value));
}

void TBlobField::GetText(AnsiString& text, bool displayText) const {
  text = GetIsNull() ? "(blob)" : "(BLOB)";
}

TMemoField::TMemoField(TComponent* owner) : TBlobField(owner) { SetDataTypeInternal(ftMemo); }

void TMemoField::GetText(AnsiString& text, bool displayText) const {
  if (displayText)
    text = GetIsNull() ? "(memo)" : "(MEMO)";
  else
    text = GetAsString();
}

TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner) {
  SetDataTypeInternal(ftGraphic);
}

// ---------------------------------------------------------------------------------------------
// Field classes by type

TFieldClass DefaultFieldClass(TFieldType type) {
  switch (type) {
    case ftString:
    case ftFixedChar:
      return TStringField::StaticClass();
    case ftGuid:
      return TGuidField::StaticClass();
    case ftWideString:
      return TWideStringField::StaticClass();
    case ftSmallint:
      return TSmallintField::StaticClass();
    case ftInteger:
      return TIntegerField::StaticClass();
    case ftWord:
      return TWordField::StaticClass();
    case ftAutoInc:
      return TAutoIncField::StaticClass();
    case ftLargeint:
      return TLargeintField::StaticClass();
    case ftBoolean:
      return TBooleanField::StaticClass();
    case ftFloat:
      return TFloatField::StaticClass();
    case ftCurrency:
      return TCurrencyField::StaticClass();
    case ftBCD:
      return TBCDField::StaticClass();
    case ftDate:
      return TDateField::StaticClass();
    case ftTime:
      return TTimeField::StaticClass();
    case ftDateTime:
      return TDateTimeField::StaticClass();
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob:
      return TMemoField::StaticClass();
    case ftGraphic:
      return TGraphicField::StaticClass();
    case ftBlob:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
      return TBlobField::StaticClass();
    default:
      return nullptr;
  }
}

// ---------------------------------------------------------------------------------------------
// TFields

TField* TFields::GetField(Integer index) const {
  if (index < 0 || index >= GetCount()) DatabaseError(SFieldIndexError, FDataSet);
  return FList[static_cast<std::size_t>(index)];
}

TField* TFields::FindField(const AnsiString& fieldName) const {
  for (TField* field : FList)
    if (AnsiCompareText(field->GetFieldName(), fieldName) == 0) return field;
  return nullptr;
}

TField* TFields::FieldByName(const AnsiString& fieldName) const {
  TField* field = FindField(fieldName);
  if (!field) DatabaseErrorFmt(SFieldNotFound, {fieldName}, FDataSet);
  return field;
}

TField* TFields::FieldByNumber(Integer fieldNo) const {
  for (TField* field : FList)
    if (field->GetFieldNo() == fieldNo) return field;
  return nullptr;
}

Integer TFields::IndexOf(const TField* field) const {
  auto it = std::find(FList.begin(), FList.end(), field);
  return it == FList.end() ? -1 : static_cast<Integer>(it - FList.begin());
}

void TFields::Add(TField* field) {
  FList.push_back(field);
  field->FDataSet = FDataSet;
  if (FDataSet) FDataSet->DataEvent(deFieldListChange, 0);
}

void TFields::Remove(TField* field) {
  auto it = std::find(FList.begin(), FList.end(), field);
  if (it == FList.end()) return;
  FList.erase(it);
  field->FDataSet = nullptr;
  if (FDataSet && !FDataSet->GetComponentState().Contains(csDestroying))
    FDataSet->DataEvent(deFieldListChange, 0);
}

void TFields::Clear() {
  while (!FList.empty()) {
    TField* field = FList.back();
    FList.pop_back();
    field->FDataSet = nullptr;
    if (FDataSet && field->GetOwner() == FDataSet) field->Free();
  }
}

void TFields::SetFieldIndex(TField* field, Integer index) {
  const Integer current = IndexOf(field);
  if (current < 0) return;
  index = std::clamp(index, 0, GetCount() - 1);
  if (index == current) return;
  FList.erase(FList.begin() + current);
  FList.insert(FList.begin() + index, field);
}

bool orv::IsWriteState(TDataSetState state) {
  switch (state) {
    case dsEdit:
    case dsInsert:
    case dsSetKey:
    case dsCalcFields:
    case dsFilter:
    case dsNewValue:
    case dsInternalCalc:
      return true;
    default:
      return false;
  }
}
