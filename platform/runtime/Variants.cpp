#include "platform/runtime/Variants.h"

#include <cmath>
#include <limits>
#include <vector>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Math.h"

struct TVarArrayData {
  TVarType ElementType = varVariant;
  Integer LowBound = 0;
  std::vector<Variant> Items;  // every element kind but bytes
  std::vector<Byte> Bytes;     // byte arrays, kept as plain bytes for blob data

  std::size_t Count() const { return ElementType == varByte ? Bytes.size() : Items.size(); }
};

namespace {

[[noreturn]] void CastError(TVarType from, TVarType to) {
  throw EVariantError("Could not convert variant of type (" + VarTypeAsText(from) + ") into type (" +
                      VarTypeAsText(to) + ")");
}

[[noreturn]] void OverflowError(TVarType from, TVarType to) {
  throw EVariantError("Overflow while converting variant of type (" + VarTypeAsText(from) + ") into type (" +
                      VarTypeAsText(to) + ")");
}

[[noreturn]] void InvalidOperation() { throw EVariantError("Invalid variant operation"); }

bool IsIntegerType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsStringType(TVarType t) { return t == varString || t == varOleStr; }

bool IsKnownScalar(TVarType t) {
  return t == varEmpty || t == varNull || IsIntegerType(t) || t == varSingle || t == varDouble || t == varCurrency ||
         t == varDate || t == varBoolean || IsStringType(t);
}

// The range of an integer type.
void IntegerRange(TVarType t, Int64& min, Int64& max) {
  switch (t) {
    case varShortInt: min = -128, max = 127; break;
    case varByte: min = 0, max = 255; break;
    case varSmallint: min = -32768, max = 32767; break;
    case varWord: min = 0, max = 65535; break;
    case varInteger: min = std::numeric_limits<Integer>::min(), max = std::numeric_limits<Integer>::max(); break;
    case varLongWord: min = 0, max = 0xFFFFFFFFll; break;
    default: min = std::numeric_limits<Int64>::min(), max = std::numeric_limits<Int64>::max(); break;
  }
}

bool TextToBoolean(const AnsiString& s, bool& value) {
  const AnsiString t = Trim(s);
  if (SameText(t, "True")) return value = true, true;
  if (SameText(t, "False")) return value = false, true;
  double d = 0;
  if (TextToFloat(t, d)) return value = d != 0, true;
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Life cycle

Variant::Variant(const Variant& other) : FType(varEmpty), FInt64(0) { CopyFrom(other); }

Variant::Variant(Variant&& other) noexcept : FType(other.FType), FInt64(other.FInt64) {
  other.FType = varEmpty;
  other.FInt64 = 0;
}

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    Release();
    FType = other.FType;
    FInt64 = other.FInt64;
    other.FType = varEmpty;
    other.FInt64 = 0;
  }
  return *this;
}

Variant::~Variant() { Release(); }

void Variant::Release() noexcept {
  if (FType == varString) delete FString;
  else if (FType == varOleStr) delete FWideString;
  else if (FType & varArray) delete FArray;
  FType = varEmpty;
  FInt64 = 0;
}

void Variant::CopyFrom(const Variant& other) {
  if (other.FType == varString) {
    FString = new AnsiString(*other.FString);
  } else if (other.FType == varOleStr) {
    FWideString = new WideString(*other.FWideString);
  } else if (other.FType & varArray) {
    FArray = new TVarArrayData(*other.FArray);
  } else {
    FInt64 = other.FInt64;
  }
  FType = other.FType;
}

Variant::Variant(const char* v) : FType(varString), FInt64(0) { FString = new AnsiString(v ? v : ""); }
Variant::Variant(char v) : FType(varString), FInt64(0) { FString = new AnsiString(1, v); }
Variant::Variant(const AnsiString& v) : FType(varString), FInt64(0) { FString = new AnsiString(v); }
Variant::Variant(std::string_view v) : FType(varString), FInt64(0) { FString = new AnsiString(v); }
Variant::Variant(const orv::AnsiLiteral& v) : FType(varString), FInt64(0) { FString = new AnsiString(v.View()); }
Variant::Variant(const WideString& v) : FType(varOleStr), FInt64(0) { FWideString = new WideString(v); }
Variant::Variant(const char16_t* v) : FType(varOleStr), FInt64(0) { FWideString = new WideString(v ? v : u""); }

Variant Variant::FromDate(TDateTime v) noexcept {
  Variant r;
  r.FType = varDate;
  r.FDouble = v;
  return r;
}

Variant Variant::NullValue() noexcept {
  Variant r;
  r.FType = varNull;
  return r;
}

Variant Null() { return Variant::NullValue(); }
Variant Unassigned() { return Variant(); }
Variant VarFromDateTime(TDateTime value) { return Variant::FromDate(value); }

// ---------------------------------------------------------------------------------------------
// Casts

Int64 Variant::AsInt64() const {
  switch (FType) {
    case varEmpty: return 0;
    case varBoolean: return FBoolean ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate:
      if (!(std::fabs(FDouble) < 9.2e18)) OverflowError(FType, varInt64);
      return Round(FDouble);
    case varCurrency: {
      // Banker's rounding of the scaled value to whole units.
      const Int64 whole = FInt64 / 10000, rest = FInt64 % 10000;
      if (rest > 5000 || (rest == 5000 && (whole & 1))) return whole + 1;
      if (rest < -5000 || (rest == -5000 && (whole & 1))) return whole - 1;
      return whole;
    }
    case varString:
    case varOleStr: {
      const AnsiString s = Trim(AsString());
      Int64 v = 0;
      if (TryStrToInt64(s, v)) return v;
      double d = 0;
      if (TextToFloat(s, d) && std::fabs(d) < 9.2e18) return Round(d);
      CastError(FType, varInt64);
    }
    default:
      if (IsIntegerType(FType)) return FInt64;
      CastError(FType, varInt64);
  }
}

Integer Variant::AsInteger() const {
  const Int64 v = AsInt64();
  if (v < std::numeric_limits<Integer>::min() || v > std::numeric_limits<Integer>::max()) OverflowError(FType, varInteger);
  return static_cast<Integer>(v);
}

double Variant::AsDouble() const {
  switch (FType) {
    case varEmpty: return 0;
    case varBoolean: return FBoolean ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate: return FDouble;
    case varCurrency: return static_cast<double>(FInt64) / 10000.0;
    case varString:
    case varOleStr: {
      double d = 0;
      if (TextToFloat(AsString(), d)) return d;
      CastError(FType, varDouble);
    }
    default:
      if (IsIntegerType(FType)) return static_cast<double>(FInt64);
      CastError(FType, varDouble);
  }
}

Currency Variant::AsCurrency() const {
  if (FType == varCurrency) return Currency{FInt64};
  if (IsIntegerType(FType) || FType == varBoolean || FType == varEmpty) {
    const Int64 v = AsInt64();
    if (v > std::numeric_limits<Int64>::max() / 10000 || v < std::numeric_limits<Int64>::min() / 10000)
      OverflowError(FType, varCurrency);
    return Currency{v * 10000};
  }
  const double d = AsDouble();
  if (!(std::fabs(d) < 922337203685477.0)) OverflowError(FType, varCurrency);
  return Currency::FromDouble(d);
}

TDateTime Variant::AsDateTime() const {
  if (FType == varString || FType == varOleStr) {
    TDateTime v = 0;
    if (TryStrToDateTime(Trim(AsString()), v)) return v;
    CastError(FType, varDate);
  }
  const double d = AsDouble();
  if (!(d > MinDateTime - 1 && d < MaxDateTime + 1)) OverflowError(FType, varDate);
  return d;
}

bool Variant::AsBoolean() const {
  switch (FType) {
    case varEmpty: return false;
    case varBoolean: return FBoolean;
    case varString:
    case varOleStr: {
      bool b = false;
      if (TextToBoolean(AsString(), b)) return b;
      CastError(FType, varBoolean);
    }
    default:
      if (IsIntegerType(FType) || FType == varCurrency) return FInt64 != 0;
      if (FType == varSingle || FType == varDouble || FType == varDate) return FDouble != 0;
      CastError(FType, varBoolean);
  }
}

AnsiString Variant::AsString() const {
  switch (FType) {
    case varEmpty: return AnsiString();
    case varString: return *FString;
    case varOleStr: return orv::WideToAnsi(*FWideString);
    case varBoolean: return FBoolean ? "True" : "False";
    case varSingle: return FloatToStrF(FDouble, ffGeneral, 7, 0);
    case varDouble: return FloatToStr(FDouble);
    case varCurrency: return CurrToStr(Currency{FInt64});
    case varDate: {
      // A moment without a date part reads as its time alone.
      if (std::trunc(FDouble) == 0 && FDouble != 0) return TimeToStr(FDouble);
      return DateTimeToStr(FDouble);
    }
    default:
      if (IsIntegerType(FType)) return IntToStr(FInt64);
      CastError(FType, varString);
  }
}

WideString Variant::AsWideString() const {
  if (FType == varOleStr) return *FWideString;
  if (FType == varNull || (FType & varArray)) CastError(FType, varOleStr);
  return orv::AnsiToWide(AsString());
}

Variant VarAsType(const Variant& v, TVarType type) {
  const TVarType from = v.GetType();
  if (type == from || type == varVariant) return v;
  if (type == varEmpty) return Variant();
  if (type == varNull) return Null();
  if (from == varNull || (from & varArray)) CastError(from, type);
  switch (type) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64: {
      const Int64 x = v.AsInt64();
      Int64 min, max;
      IntegerRange(type, min, max);
      if (x < min || x > max) OverflowError(from, type);
      switch (type) {
        case varSmallint: return Variant(static_cast<short>(x));
        case varInteger: return Variant(static_cast<int>(x));
        case varShortInt: return Variant(static_cast<signed char>(x));
        case varByte: return Variant(static_cast<unsigned char>(x));
        case varWord: return Variant(static_cast<unsigned short>(x));
        case varLongWord: return Variant(static_cast<unsigned>(x));
        default: return Variant(static_cast<long long>(x));
      }
    }
    case varSingle: return Variant(static_cast<float>(v.AsDouble()));
    case varDouble: return Variant(v.AsDouble());
    case varCurrency: return Variant(v.AsCurrency());
    case varDate: return Variant::FromDate(v.AsDateTime());
    case varBoolean: return Variant(v.AsBoolean());
    case varString: return Variant(v.AsString());
    case varOleStr: return Variant(v.AsWideString());
    default: CastError(from, type);
  }
}

AnsiString VarToStr(const Variant& v) { return v.IsNull() ? AnsiString() : v.AsString(); }

WideString VarToWideStr(const Variant& v) { return v.IsNull() ? WideString() : v.AsWideString(); }

TDateTime VarToDateTime(const Variant& v) {
  if (v.IsNull()) CastError(varNull, varDate);
  return v.AsDateTime();
}

// ---------------------------------------------------------------------------------------------
// Tests and names

TVarType VarType(const Variant& v) { return v.GetType(); }
bool VarIsNull(const Variant& v) { return v.IsNull(); }
bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
bool VarIsArray(const Variant& v) { return v.IsArray(); }
bool VarIsStr(const Variant& v) { return IsStringType(v.GetType()); }
bool VarIsType(const Variant& v, TVarType type) { return v.GetType() == type; }

bool VarIsNumeric(const Variant& v) {
  const TVarType t = v.GetType();
  return IsIntegerType(t) || t == varSingle || t == varDouble || t == varCurrency;
}

AnsiString VarTypeAsText(TVarType type) {
  AnsiString name;
  switch (type & varTypeMask) {
    case varEmpty: name = "Empty"; break;
    case varNull: name = "Null"; break;
    case varSmallint: name = "Smallint"; break;
    case varInteger: name = "Integer"; break;
    case varSingle: name = "Single"; break;
    case varDouble: name = "Double"; break;
    case varCurrency: name = "Currency"; break;
    case varDate: name = "Date"; break;
    case varOleStr: name = "OleStr"; break;
    case varBoolean: name = "Boolean"; break;
    case varVariant: name = "Variant"; break;
    case varShortInt: name = "ShortInt"; break;
    case varByte: name = "Byte"; break;
    case varWord: name = "Word"; break;
    case varLongWord: name = "LongWord"; break;
    case varInt64: name = "Int64"; break;
    case varString: name = "String"; break;
    default: name = "Unknown"; break;
  }
  return (type & varArray) ? "Array " + name : name;
}

// ---------------------------------------------------------------------------------------------
// Comparison

namespace {

// -1, 0 or 1 by the platform's rules for two scalars; Null handled by the callers.
int CompareScalars(const Variant& a, const Variant& b) {
  TVarType ta = a.GetType(), tb = b.GetType();
  if ((ta & varArray) || (tb & varArray) || !IsKnownScalar(ta) || !IsKnownScalar(tb)) InvalidOperation();
  auto sign = [](auto x, auto y) { return x < y ? -1 : y < x ? 1 : 0; };
  // Empty takes the kind of the other side.
  if (ta == varEmpty || tb == varEmpty) {
    if (ta == tb) return 0;
    auto zeroOf = [](TVarType t) { return IsStringType(t) ? Variant("") : t == varBoolean ? Variant(false) : Variant(0); };
    return ta == varEmpty ? CompareScalars(zeroOf(tb), b) : CompareScalars(a, zeroOf(ta));
  }
  if (IsStringType(ta) && IsStringType(tb)) {
    const int r = AnsiCompareStr(a.AsString(), b.AsString());
    return r < 0 ? -1 : r > 0 ? 1 : 0;
  }
  // A string beside another kind is read as that kind.
  if (IsStringType(ta) || IsStringType(tb)) {
    const bool left = IsStringType(ta);
    const Variant& other = left ? b : a;
    const TVarType target = other.GetType() == varBoolean ? varBoolean : other.GetType() == varDate ? varDate : varDouble;
    const Variant converted = VarAsType(left ? a : b, target);
    return left ? CompareScalars(converted, b) : CompareScalars(a, converted);
  }
  if (ta == varBoolean && tb == varBoolean) return sign(a.AsBoolean(), b.AsBoolean());
  const bool intA = IsIntegerType(ta) || ta == varBoolean, intB = IsIntegerType(tb) || tb == varBoolean;
  if (intA && intB) return sign(a.AsInt64(), b.AsInt64());
  if (ta == varCurrency && tb == varCurrency) return sign(a.AsCurrency().Scaled, b.AsCurrency().Scaled);
  return sign(a.AsDouble(), b.AsDouble());
}

int CompareWithNull(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return a.IsNull() == b.IsNull() ? 0 : a.IsNull() ? -1 : 1;
  return CompareScalars(a, b);
}

}  // namespace

bool operator==(const Variant& a, const Variant& b) { return CompareWithNull(a, b) == 0; }

bool operator<(const Variant& a, const Variant& b) { return CompareWithNull(a, b) < 0; }

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull() ? vrEqual : vrNotEqual;
  const int r = CompareScalars(a, b);
  return r == 0 ? vrEqual : r < 0 ? vrLessThan : vrGreaterThan;
}

// ---------------------------------------------------------------------------------------------
// Arrays

const TVarArrayData& Variant::ArrayData() const {
  if (!IsArray()) throw EVariantError("Variant is not an array");
  return *FArray;
}

TVarArrayData& Variant::ArrayData() {
  if (!IsArray()) throw EVariantError("Variant is not an array");
  return *FArray;
}

namespace {
// What a new element of an array of that kind holds.
Variant DefaultElement(TVarType elementType) {
  if (elementType == varVariant) return Variant();
  if (elementType == varString) return Variant("");
  if (elementType == varOleStr) return Variant(u"");
  return VarAsType(Variant(0), elementType);
}

std::size_t CheckedIndex(const TVarArrayData& data, Integer index) {
  const Int64 offset = Int64(index) - data.LowBound;
  if (offset < 0 || offset >= static_cast<Int64>(data.Count())) throw EVariantError("Variant or safe array index out of bounds");
  return static_cast<std::size_t>(offset);
}
}  // namespace

Variant Variant::GetElement(Integer index) const {
  const TVarArrayData& data = ArrayData();
  const std::size_t i = CheckedIndex(data, index);
  return data.ElementType == varByte ? Variant(data.Bytes[i]) : data.Items[i];
}

void Variant::PutElement(Integer index, const Variant& value) {
  TVarArrayData& data = ArrayData();
  const std::size_t i = CheckedIndex(data, index);
  if (data.ElementType == varByte) {
    data.Bytes[i] = static_cast<Byte>(VarAsType(value, varByte).AsInteger());
  } else if (data.ElementType == varVariant) {
    data.Items[i] = value;
  } else {
    data.Items[i] = VarAsType(value, data.ElementType);
  }
}

Integer Variant::LowBound() const { return ArrayData().LowBound; }

Integer Variant::HighBound() const {
  const TVarArrayData& data = ArrayData();
  return static_cast<Integer>(data.LowBound + static_cast<Int64>(data.Count()) - 1);
}

Byte* Variant::ByteData() { return IsArray() && FArray->ElementType == varByte ? FArray->Bytes.data() : nullptr; }

const Byte* Variant::ByteData() const {
  return IsArray() && FArray->ElementType == varByte ? FArray->Bytes.data() : nullptr;
}

Variant VarArrayCreate(Integer lowBound, Integer highBound, TVarType elementType) {
  const Int64 count = Int64(highBound) - lowBound + 1;
  if (count < 0 || count > 0x10000000 || (elementType != varVariant && !IsKnownScalar(elementType)) ||
      elementType == varEmpty || elementType == varNull) {
    throw EVariantError("Error creating variant or safe array");
  }
  auto data = new TVarArrayData;
  data->ElementType = elementType;
  data->LowBound = lowBound;
  if (elementType == varByte) {
    data->Bytes.assign(static_cast<std::size_t>(count), 0);
  } else {
    data->Items.assign(static_cast<std::size_t>(count), DefaultElement(elementType));
  }
  Variant r;
  r.FType = static_cast<TVarType>(varArray | elementType);
  r.FArray = data;
  return r;
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  Variant r = VarArrayCreate(0, static_cast<Integer>(values.size()) - 1, varVariant);
  Integer i = 0;
  for (const Variant& v : values) r.PutElement(i++, v);
  return r;
}

Integer VarArrayDimCount(const Variant& v) { return v.IsArray() ? 1 : 0; }

Integer VarArrayLowBound(const Variant& v, Integer dim) {
  if (dim != 1 || !v.IsArray()) throw EVariantError("Invalid variant array dimension");
  return v.LowBound();
}

Integer VarArrayHighBound(const Variant& v, Integer dim) {
  if (dim != 1 || !v.IsArray()) throw EVariantError("Invalid variant array dimension");
  return v.HighBound();
}

void VarArrayRedim(Variant& array, Integer highBound) {
  TVarArrayData& data = array.ArrayData();
  const Int64 count = Int64(highBound) - data.LowBound + 1;
  if (count < 0 || count > 0x10000000) throw EVariantError("Error creating variant or safe array");
  if (data.ElementType == varByte) {
    data.Bytes.resize(static_cast<std::size_t>(count), 0);
  } else {
    data.Items.resize(static_cast<std::size_t>(count), DefaultElement(data.ElementType));
  }
}

void* VarArrayLock(Variant& array) {
  if ((array.GetType() & ~varTypeMask) != varArray || (array.GetType() & varTypeMask) != varByte)
    throw EVariantError("Variant is not a byte array");
  return array.ByteData();
}

void VarArrayUnlock(Variant&) {}
