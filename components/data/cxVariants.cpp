#include "components/data/cxVariants.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "components/data/cxDataConsts.h"
#include "components/foundation/dxCore.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/Exceptions.h"

// The stream is little-endian and the raw primitives copy values as held in memory.
static_assert(std::endian::native == std::endian::little, "the variant stream assumes a little-endian machine");

// The variant stream's type bytes are the form filer's value types (TValueType).
namespace {

template <class T>
T ReadRaw(TStream* stream) {
  T value;
  stream->ReadBuffer(&value, Integer(sizeof value));
  return value;
}

template <class T>
void WriteRaw(TStream* stream, T value) {
  stream->WriteBuffer(&value, Integer(sizeof value));
}

Boolean IsBooleanVariant(const Variant& v) { return v.GetType() == varBoolean; }

// An integer value in the smallest of the stream's integer forms.
void SaveIntegerValue(TStream* stream, Int64 v) {
  if (v >= -128 && v <= 127) {
    orv::WriteByte(stream, vaInt8);
    WriteRaw(stream, static_cast<ShortInt>(v));
  } else if (v >= -32768 && v <= 32767) {
    orv::WriteByte(stream, vaInt16);
    WriteRaw(stream, static_cast<SmallInt>(v));
  } else if (v >= std::numeric_limits<Integer>::min() && v <= std::numeric_limits<Integer>::max()) {
    orv::WriteByte(stream, vaInt32);
    WriteRaw(stream, static_cast<Integer>(v));
  } else {
    orv::WriteByte(stream, vaInt64);
    WriteRaw(stream, v);
  }
}

// An integer value written by SaveIntegerValue (the element count of an array).
Int64 LoadIntegerValue(TStream* stream) {
  switch (orv::ReadByte(stream)) {
    case vaInt8: return ReadRaw<ShortInt>(stream);
    case vaInt16: return ReadRaw<SmallInt>(stream);
    case vaInt32: return ReadRaw<Integer>(stream);
    case vaInt64: return ReadRaw<Int64>(stream);
    default: orv::RaiseDataReadError();
  }
}

void SaveText(TStream* stream, const AnsiString& text) {
  if (text.size() > 255) {
    orv::WriteByte(stream, vaLString);
    SaveAnsiText(stream, text);
  } else {
    orv::WriteByte(stream, vaString);
    orv::WriteByte(stream, Byte(text.size()));
    stream->WriteBuffer(text.data(), Integer(text.size()));
  }
}

Variant LoadVariantAt(TStream* stream, Integer depth) {
  const Byte type = orv::ReadByte(stream);
  switch (type) {
    case vaNull: return Null();
    case vaList: {
      if (depth >= kMaxVariantNesting) orv::RaiseDataReadError();
      const Int64 count = LoadIntegerValue(stream);
      // Every element takes at least its type byte.
      orv::CheckReadCount(stream, count, 1);
      if (count > std::numeric_limits<Integer>::max()) orv::RaiseDataReadError();
      Variant array = VarArrayCreate(0, Integer(count - 1), varVariant);
      for (Integer i = 0; i < Integer(count); ++i) array.PutElement(i, LoadVariantAt(stream, depth + 1));
      return array;
    }
    case vaInt8: return Variant(static_cast<signed char>(ReadRaw<ShortInt>(stream)));
    case vaInt16: return Variant(static_cast<short>(ReadRaw<SmallInt>(stream)));
    case vaInt32: return Variant(static_cast<int>(ReadRaw<Integer>(stream)));
    case vaInt64: return Variant(static_cast<long long>(ReadRaw<Int64>(stream)));
    case vaExtended: return Variant(orv::ReadExtended(stream));
    case vaString: {
      const Byte length = orv::ReadByte(stream);
      AnsiString text(length, '\0');
      stream->ReadBuffer(text.data(), length);
      return Variant(text);
    }
    case vaLString: return Variant(LoadAnsiText(stream));
    case vaFalse: return Variant(false);
    case vaTrue: return Variant(true);
    case vaNil: return Variant();
    case vaSingle: return Variant(ReadRaw<float>(stream));
    case vaCurrency: return Variant(orv::ReadCurrency(stream));
    case vaDate: return Variant::FromDate(orv::ReadDateTime(stream));
    case vaWString: return Variant(LoadUnicodeText(stream));
    default: orv::RaiseDataReadError();
  }
}

}  // namespace

// ==== Comparison and tests ===================================================================

namespace {

// The one ordering; `raise` lets an EVariantError of a scalar pair through instead of "less".
Integer CompareVariantValues(const Variant& a, const Variant& b, bool raise) {
  const bool arrayA = a.IsArray(), arrayB = b.IsArray();
  if (arrayA || arrayB) {
    if (!arrayB) return 1;
    if (!arrayA) return -1;
    const Integer highA = a.HighBound(), highB = b.HighBound();
    if (highA != highB) {
      const Int64 difference = Int64(highA) - highB;
      return difference > 0 ? Integer(std::min<Int64>(difference, std::numeric_limits<Integer>::max()))
                            : Integer(std::max<Int64>(difference, -std::numeric_limits<Integer>::max()));
    }
    // Elements from 0 up, skipping indexes below either array's low bound (they hold nothing).
    for (Integer i = std::max({0, a.LowBound(), b.LowBound()}); i <= highA; ++i) {
      const Integer r = CompareVariantValues(a.GetElement(i), b.GetElement(i), raise);
      if (r != 0) return r;
    }
    return 0;
  }
  try {
    if (a.IsEmpty()) return b.IsEmpty() ? 0 : -1;
    if (b.IsEmpty()) return 1;
    if (a == b) return 0;
    if (a.IsNull()) return -1;
    if (b.IsNull()) return 1;
    return a < b ? -1 : 1;
  } catch (const EVariantError&) {
    if (raise) throw;
    return -1;
  }
}

}  // namespace

Integer CompareVariants(const Variant& a, const Variant& b) { return CompareVariantValues(a, b, false); }

Integer orv::CompareVariantsRaising(const Variant& a, const Variant& b) { return CompareVariantValues(a, b, true); }

Boolean SameVariants(const Variant& a, const Variant& b) { return CompareVariants(a, b) == 0; }

Boolean AreVariantsEqual(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull() || (!IsBooleanVariant(a) && !IsBooleanVariant(b))) return SameVariants(a, b);
  try {
    return VarAsType(a, varString) == VarAsType(b, varString);
  } catch (const EVariantError&) {
    return false;
  }
}

Boolean VarEqualsExactly(const Variant& a, const Variant& b) {
  return a.GetType() == b.GetType() && SameVariants(a, b);
}

Boolean IsDateTimeVarType(TVarType varType) { return varType == varDate; }

Boolean IsDateTimeVariant(const Variant& value) { return IsDateTimeVarType(value.GetType() & varTypeMask) && !value.IsArray(); }

Boolean IsNumericVariant(const Variant& value) { return VarIsNumeric(value); }

Boolean IsCurrencyVarType(TVarType varType) { return varType == varCurrency; }

Boolean IsNullOrEmptyString(const Variant& value) {
  switch (value.GetType()) {
    case varNull: return true;
    case varString: return value.AsString().empty();
    case varOleStr: return value.AsWideString().empty();
    default: return false;
  }
}

// ==== Arrays =================================================================================

Variant MakeVariantPair(const Variant& a, const Variant& b) { return VarArrayOf({a, b}); }

Variant MakeVariantArrayOf(const Variant& value) { return VarArrayOf({value}); }

void AppendToVariantArray(Variant& array, const Variant& value) {
  const Integer low = VarArrayLowBound(array, 1), high = VarArrayHighBound(array, 1);
  Variant result = VarArrayCreate(low, high + 1, varVariant);
  for (Integer i = low; i <= high; ++i) result.PutElement(i, array.GetElement(i));
  result.PutElement(high + 1, value);
  array = std::move(result);
}

// ==== Variant stream =========================================================================

void SaveVariant(TStream* stream, const Variant& value) {
  if (value.IsArray()) {
    const Integer low = value.LowBound(), high = value.HighBound();
    orv::WriteByte(stream, vaList);
    SaveIntegerValue(stream, Int64(high) - low + 1);
    for (Integer i = low; i <= high; ++i) SaveVariant(stream, value.GetElement(i));
    return;
  }
  switch (value.GetType() & varTypeMask) {
    case varEmpty: orv::WriteByte(stream, vaNil); break;
    case varNull: orv::WriteByte(stream, vaNull); break;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: SaveIntegerValue(stream, value.AsInt64()); break;
    case varSingle:
      orv::WriteByte(stream, vaSingle);
      WriteRaw(stream, static_cast<float>(value.AsDouble()));
      break;
    case varDouble:
      orv::WriteByte(stream, vaExtended);
      orv::WriteExtended(stream, value.AsDouble());
      break;
    case varCurrency:
      orv::WriteByte(stream, vaCurrency);
      orv::WriteCurrency(stream, value.AsCurrency());
      break;
    case varDate:
      orv::WriteByte(stream, vaDate);
      orv::WriteDateTime(stream, value.AsDateTime());
      break;
    case varOleStr:
      orv::WriteByte(stream, vaWString);
      SaveUnicodeText(stream, value.AsWideString());
      break;
    case varBoolean: orv::WriteByte(stream, value.AsBoolean() ? vaTrue : vaFalse); break;
    case varString: SaveText(stream, value.AsString()); break;
    default: {
      AnsiString text;
      try {
        text = VariantToAnsiString(value);
      } catch (const Exception&) {
        orv::RaiseDataWriteError();
      }
      SaveText(stream, text);
    }
  }
}

Variant LoadVariant(TStream* stream) { return LoadVariantAt(stream, 0); }

void SaveAnsiText(TStream* stream, const AnsiString& text) {
  if (text.size() > std::size_t(std::numeric_limits<Integer>::max())) orv::RaiseDataWriteError();
  orv::WriteInteger(stream, Integer(text.size()));
  stream->WriteBuffer(text.data(), Integer(text.size()));
}

AnsiString LoadAnsiText(TStream* stream) {
  const Integer length = orv::ReadInteger(stream);
  orv::CheckReadCount(stream, length, 1);
  AnsiString text(std::size_t(length), '\0');
  stream->ReadBuffer(text.data(), length);
  return text;
}

void SaveUnicodeText(TStream* stream, const WideString& text) {
  if (text.size() > std::size_t(std::numeric_limits<Integer>::max() / 2)) orv::RaiseDataWriteError();
  orv::WriteInteger(stream, Integer(text.size()));
  stream->WriteBuffer(text.data(), Integer(text.size() * 2));
}

WideString LoadUnicodeText(TStream* stream) {
  const Integer length = orv::ReadInteger(stream);
  orv::CheckReadCount(stream, length, 2);
  WideString text(std::size_t(length), u'\0');
  stream->ReadBuffer(text.data(), length * 2);
  return text;
}

// ==== Raw primitives =========================================================================

Byte orv::ReadByte(TStream* stream) { return ReadRaw<Byte>(stream); }
Boolean orv::ReadBoolean(TStream* stream) { return ReadRaw<Byte>(stream) != 0; }
SmallInt orv::ReadSmallInt(TStream* stream) { return ReadRaw<SmallInt>(stream); }
Word orv::ReadWord(TStream* stream) { return ReadRaw<Word>(stream); }
Integer orv::ReadInteger(TStream* stream) { return ReadRaw<Integer>(stream); }
Int64 orv::ReadLargeInt(TStream* stream) { return ReadRaw<Int64>(stream); }
Currency orv::ReadCurrency(TStream* stream) { return Currency{ReadRaw<Int64>(stream)}; }
TDateTime orv::ReadDateTime(TStream* stream) { return ReadRaw<double>(stream); }

double orv::ReadExtended(TStream* stream) {
  Byte bytes[10];
  stream->ReadBuffer(bytes, 10);
  return ExtendedBytesToDouble(bytes);
}

void orv::WriteByte(TStream* stream, Byte value) { WriteRaw(stream, value); }
void orv::WriteBoolean(TStream* stream, Boolean value) { WriteRaw(stream, Byte(value ? 1 : 0)); }
void orv::WriteSmallInt(TStream* stream, SmallInt value) { WriteRaw(stream, value); }
void orv::WriteWord(TStream* stream, Word value) { WriteRaw(stream, value); }
void orv::WriteInteger(TStream* stream, Integer value) { WriteRaw(stream, value); }
void orv::WriteLargeInt(TStream* stream, Int64 value) { WriteRaw(stream, value); }
void orv::WriteCurrency(TStream* stream, Currency value) { WriteRaw(stream, value.Scaled); }
void orv::WriteDateTime(TStream* stream, TDateTime value) { WriteRaw(stream, value); }

void orv::WriteExtended(TStream* stream, double value) {
  Byte bytes[10];
  DoubleToExtendedBytes(value, bytes);
  stream->WriteBuffer(bytes, 10);
}

// 80-bit extended layout: bytes 0-7 the 64-bit mantissa with an explicit integer bit (bit 63),
// bytes 8-9 the sign (bit 15) and the exponent biased by 16383 (0x7FFF: infinity or NaN).
void orv::DoubleToExtendedBytes(double value, Byte bytes[10]) {
  const UInt64 bits = std::bit_cast<UInt64>(value);
  const Word sign = Word(bits >> 63);
  const Integer exponent = Integer((bits >> 52) & 0x7FF);
  const UInt64 fraction = bits & ((UInt64(1) << 52) - 1);
  UInt64 mantissa = 0;
  Integer biased = 0;
  if (exponent == 0x7FF) {
    biased = 0x7FFF;
    mantissa = (UInt64(1) << 63) | (fraction << 11);
  } else if (exponent != 0) {
    biased = exponent - 1023 + 16383;
    mantissa = (UInt64(1) << 63) | (fraction << 11);
  } else if (fraction != 0) {
    // A subnormal double is a normal extended number: fraction * 2^-1074.
    const Integer shift = std::countl_zero(fraction);
    mantissa = fraction << shift;
    biased = -1074 + 63 - shift + 16383;
  }
  const Word signExponent = Word((sign << 15) | biased);
  std::memcpy(bytes, &mantissa, 8);
  std::memcpy(bytes + 8, &signExponent, 2);
}

double orv::ExtendedBytesToDouble(const Byte bytes[10]) {
  UInt64 mantissa;
  Word signExponent;
  std::memcpy(&mantissa, bytes, 8);
  std::memcpy(&signExponent, bytes + 8, 2);
  const bool negative = (signExponent & 0x8000) != 0;
  const Integer biased = signExponent & 0x7FFF;
  double result;
  if (biased == 0x7FFF) {
    result = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
  } else if (mantissa == 0) {
    result = 0;
  } else {
    // The conversion of the mantissa rounds to 53 bits; the scaling is exact for normal results.
    result = std::ldexp(static_cast<double>(mantissa), (biased == 0 ? 1 : biased) - 16383 - 63);
  }
  return negative ? -result : result;
}

Int64 orv::RemainingBytes(TStream* stream) { return std::max<Int64>(stream->GetSize() - stream->GetPosition(), 0); }

void orv::CheckReadCount(TStream* stream, Int64 count, Int64 itemSize) {
  if (count < 0 || count > RemainingBytes(stream) / itemSize) RaiseDataReadError();
}

void orv::RaiseDataReadError() { throw EReadError(LoadResString(&cxSDataReadError)); }

void orv::RaiseDataWriteError() { throw EWriteError(LoadResString(&cxSDataWriteError)); }

// ==== Filers =================================================================================

TcxFiler::TcxFiler(TStream* stream) : FStream(stream), FIsUnicode(ReadStreamFormatSignature(stream)) {}
