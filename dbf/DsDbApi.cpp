#include "dbf/DsDbApi.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "platform/runtime/Exceptions.h"
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

// ---- TDsCustomHandle ----

TDsCustomHandle::TDsCustomHandle() = default;

TDsCustomHandle::~TDsCustomHandle() = default;

void TDsCustomHandle::SetHeader(std::unique_ptr<TDsCustomHeader> value) { FHeader = std::move(value); }

Byte TDsCustomHandle::TranslateToFile(void* bytes, Integer count) const {
  return DsTranslateToFile(FCodePage, bytes, count);
}

Byte TDsCustomHandle::TranslateFromFile(void* bytes, Integer count) const {
  return DsTranslateFromFile(FCodePage, bytes, count);
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

// Room for the largest native value: a text of 255 bytes and its zero.
constexpr Integer kValueBufferSize = 264;

struct TValueBuffer {
  alignas(8) Byte Bytes[kValueBufferSize];
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

bool TDsCustomField::IsNull(const Byte* record) const {
  bool isNull = true;
  GetData(record, nullptr, isNull);
  return isNull;
}

bool TDsCustomField::AsBoolean(const Byte* record) const {
  TValueBuffer buffer;  // written by GetData whenever the field is not null
  bool isNull = true;
  GetData(record, buffer.Bytes, isNull);
  return !isNull && buffer.Bytes[0] != 0;
}

// The value of a numeric field as a double (every int32 fits exactly); false for a null field
// or one of another type.
bool TDsCustomField::NumericValue(const Byte* record, double& value) const {
  TValueBuffer buffer;  // written by GetData whenever the field is not null
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
  TValueBuffer buffer;  // written by GetData whenever the field is not null
  bool isNull = true;
  GetData(record, buffer.Bytes, isNull);
  if (isNull) return AnsiString();
  switch (GetFieldType()) {
    case ftString: {
      const auto* text = reinterpret_cast<const char*>(buffer.Bytes);
      const void* end = std::memchr(text, 0, kValueBufferSize);
      return AnsiString(text, end ? static_cast<const char*>(end) - text : kValueBufferSize);
    }
    case ftSmallint:
      return IntToStr(Integer(Load<SmallInt>(buffer)));
    case ftWord:
      return IntToStr(Integer(Load<Word>(buffer)));
    case ftInteger:
    case ftAutoInc:
      return IntToStr(Load<Integer>(buffer));
    case ftBoolean:
      return Load<SmallInt>(buffer) != 0 ? "True" : "False";
    case ftFloat:
      return FloatToStr(Load<double>(buffer));
    case ftCurrency:
      return CurrToStr(Currency::FromDouble(Load<double>(buffer)));
    default:
      return AnsiString();
  }
}

TDateTime TDsCustomField::AsDateTime(const Byte* record) const {
  TValueBuffer buffer;  // written by GetData whenever the field is not null
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
