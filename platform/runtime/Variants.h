// Variant: one value of any of the platform's variant kinds, with its type code, casts,
// comparison and one-dimensional arrays.
//
// Scalars (integers, floating point, currency, date, Boolean) live inside the 16-byte object;
// strings and arrays own one heap block. Casts that cannot be made raise EVariantError.
// Comparison follows the platform: Null equals only Null and sorts below every value, Empty
// reads as 0, '' or False beside another kind, strings collate by the locale, a string beside a
// number, date or Boolean is converted to that kind (failing with EVariantError), numbers
// compare numerically, False sorts below True.
#pragma once

#include <initializer_list>
#include <string_view>

#include "platform/runtime/DateTime.h"
#include "platform/runtime/SysUtils.h"
#include "platform/runtime/Types.h"

using TVarType = Word;

inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varString = 0x0100;
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;
inline constexpr TVarType varByRef = 0x4000;

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

struct TVarArrayData;

class Variant {
 public:
  Variant() noexcept : FType(varEmpty), FInt64(0) {}
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  Variant(char v);  // a one-character string, as the platform keeps characters
  Variant(bool v) noexcept : FType(varBoolean), FInt64(0) { FBoolean = v; }
  Variant(signed char v) noexcept : FType(varShortInt), FInt64(v) {}
  Variant(unsigned char v) noexcept : FType(varByte), FInt64(v) {}
  Variant(short v) noexcept : FType(varSmallint), FInt64(v) {}
  Variant(unsigned short v) noexcept : FType(varWord), FInt64(v) {}
  Variant(int v) noexcept : FType(varInteger), FInt64(v) {}
  Variant(unsigned v) noexcept : FType(varLongWord), FInt64(v) {}
  Variant(long v) noexcept : FType(varInt64), FInt64(v) {}
  Variant(long long v) noexcept : FType(varInt64), FInt64(v) {}
  Variant(float v) noexcept : FType(varSingle), FInt64(0) { FDouble = v; }
  Variant(double v) noexcept : FType(varDouble), FInt64(0) { FDouble = v; }
  Variant(Currency v) noexcept : FType(varCurrency), FInt64(v.Scaled) {}
  Variant(const char* v);
  Variant(const AnsiString& v);
  Variant(std::string_view v);
  Variant(const orv::AnsiLiteral& v);
  Variant(const WideString& v);
  Variant(const char16_t* v);

  static Variant FromDate(TDateTime v) noexcept;
  static Variant NullValue() noexcept;

  TVarType GetType() const { return FType; }
  bool IsEmpty() const { return FType == varEmpty; }
  bool IsNull() const { return FType == varNull; }
  bool IsArray() const { return (FType & varArray) != 0; }

  // Casts with the platform's rules; EVariantError when the value has no such form.
  Integer AsInteger() const;
  Int64 AsInt64() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  bool AsBoolean() const;
  AnsiString AsString() const;
  WideString AsWideString() const;

  // Elements of a one-dimensional array, by index within its bounds (EVariantError outside).
  Variant GetElement(Integer index) const;
  void PutElement(Integer index, const Variant& value);
  Integer LowBound() const;
  Integer HighBound() const;
  // The bytes of a byte array (nullptr for other arrays).
  Byte* ByteData();
  const Byte* ByteData() const;

  // The platform's equality and order; arrays raise EVariantError.
  friend bool operator==(const Variant& a, const Variant& b);
  friend bool operator<(const Variant& a, const Variant& b);
  friend bool operator>(const Variant& a, const Variant& b) { return b < a; }
  friend bool operator<=(const Variant& a, const Variant& b) { return !(b < a); }
  friend bool operator>=(const Variant& a, const Variant& b) { return !(a < b); }

 private:
  friend Variant VarArrayCreate(Integer lowBound, Integer highBound, TVarType elementType);
  friend void VarArrayRedim(Variant& array, Integer highBound);
  const TVarArrayData& ArrayData() const;
  TVarArrayData& ArrayData();
  void Release() noexcept;
  void CopyFrom(const Variant& other);

  TVarType FType;
  union {
    Int64 FInt64;  // every integer kind, currency (scaled by 10 000)
    double FDouble;  // single, double, date
    bool FBoolean;
    AnsiString* FString;
    WideString* FWideString;
    TVarArrayData* FArray;
  };
};

Variant Null();
Variant Unassigned();
Variant VarFromDateTime(TDateTime value);

TVarType VarType(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsArray(const Variant& v);
bool VarIsStr(const Variant& v);
bool VarIsNumeric(const Variant& v);  // integers, floating point, currency (not dates, not Booleans)
bool VarIsType(const Variant& v, TVarType type);

// The value in another kind; Null casts only to Null, Empty, and the any-variant kind.
Variant VarAsType(const Variant& v, TVarType type);
// Text of a value; '' for Null and Empty.
AnsiString VarToStr(const Variant& v);
WideString VarToWideStr(const Variant& v);
TDateTime VarToDateTime(const Variant& v);
// The platform's relationship: Null is equal only to Null and below any other value.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
// The name of a type code ("Integer", "String", "Array Byte").
AnsiString VarTypeAsText(TVarType type);

// One-dimensional arrays [lowBound, highBound] of elements of one kind (varVariant: any kind).
// Elements start Empty (0 for numeric element kinds).
Variant VarArrayCreate(Integer lowBound, Integer highBound, TVarType elementType);
// [0, n-1] of any-variant elements holding the values.
Variant VarArrayOf(std::initializer_list<Variant> values);
Integer VarArrayDimCount(const Variant& v);
// Dimension 1 only; EVariantError for anything else.
Integer VarArrayLowBound(const Variant& v, Integer dim);
Integer VarArrayHighBound(const Variant& v, Integer dim);
// Changes the high bound, keeping the elements that stay.
void VarArrayRedim(Variant& array, Integer highBound);
// The bytes of a byte array; EVariantError for other values.
void* VarArrayLock(Variant& array);
void VarArrayUnlock(Variant& array);
