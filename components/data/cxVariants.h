// The one ordering of variants that sorting, filtering, lookups and value lists share, the
// equality and type tests built on it, small variant-array helpers, and the variant stream.
//
// Variant stream: one value is a type byte followed by its payload; all numbers little-endian.
//
//   byte  kind            payload                                   read back as
//   0     Null            -                                         Null
//   1     array           element count as an integer value          [0, count-1] of any-variant
//                         (type byte 2, 3, 4 or 19 with payload),
//                         then that many complete values
//   2     8-bit integer   1 byte, signed                            varShortInt
//   3     16-bit integer  2 bytes, signed                           varSmallint
//   4     32-bit integer  4 bytes, signed                           varInteger
//   5     extended        10 bytes, 80-bit extended precision       varDouble
//   6     short string    1 length byte, the bytes                  varString
//   8, 9  False, True     -                                         varBoolean
//   12    long string     int32 length, the bytes                   varString
//   13    Empty           -                                         Empty
//   15    single          4 bytes                                   varSingle
//   16    currency        8 bytes, the value times 10 000           varCurrency
//   17    date            8 bytes, 64-bit float                     varDate
//   18    wide string     int32 character count, UTF-16 units       varOleStr
//   19    64-bit integer  8 bytes, signed                           varInt64
//
// Every other byte is invalid. Integers are written in the smallest of forms 2, 3, 4 and 19 that
// holds them. Text forms used beside the variant stream: ANSI (int32 byte count, then the bytes)
// and UTF-16 (int32 character count, then the code units).
//
// Readers never trust the stream: a length or count that the remaining bytes cannot hold, or
// arrays nested deeper than kMaxVariantNesting, raise EReadError "Stream read error" before
// anything is allocated.
#pragma once

#include "platform/runtime/Object.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Variants.h"

// ==== Comparison and tests ===================================================================

// Negative, zero or positive. Empty sorts before Null, Null before every other value; an array
// sorts after a scalar, two arrays by their high bounds, then element by element; scalars by the
// platform's variant rules. A pair the platform cannot compare (EVariantError) reads as "less".
Integer CompareVariants(const Variant& a, const Variant& b);
namespace orv {
// The ordering of CompareVariants, except that a pair the platform cannot compare raises
// EVariantError instead of reading as "less" (the filter's comparisons).
Integer CompareVariantsRaising(const Variant& a, const Variant& b);
}  // namespace orv
Boolean SameVariants(const Variant& a, const Variant& b);
// SameVariants, except that a Boolean beside a non-Null value compares as text ("True" / "False"
// against the other's text); a value without a text form is unequal.
Boolean AreVariantsEqual(const Variant& a, const Variant& b);
// The same variant type and equal values.
Boolean VarEqualsExactly(const Variant& a, const Variant& b);

Boolean IsDateTimeVarType(TVarType varType);
Boolean IsDateTimeVariant(const Variant& value);
Boolean IsNumericVariant(const Variant& value);
Boolean IsCurrencyVarType(TVarType varType);
// Null, or a string equal to ''.
Boolean IsNullOrEmptyString(const Variant& value);

// ==== Arrays =================================================================================

// [0..1] of any-variant holding a and b.
Variant MakeVariantPair(const Variant& a, const Variant& b);
// [0..0] holding the value.
Variant MakeVariantArrayOf(const Variant& value);
// The filter control's name for MakeVariantArrayOf.
inline Variant MakeVariantArrayOfOne(const Variant& value) { return MakeVariantArrayOf(value); }
// Replaces a one-dimensional array by one a element longer: the same elements at the same
// indexes, then the value.
void AppendToVariantArray(Variant& array, const Variant& value);

// ==== Variant stream =========================================================================

// Arrays inside arrays deeper than this are refused by LoadVariant.
inline constexpr Integer kMaxVariantNesting = 64;

// EWriteError "Stream write error" for a value that has no stream form.
void SaveVariant(TStream* stream, const Variant& value);
// EReadError "Stream read error" for an invalid type byte, a count or length the stream cannot
// hold, or nesting beyond kMaxVariantNesting; short reads raise the stream's read error.
Variant LoadVariant(TStream* stream);

void SaveAnsiText(TStream* stream, const AnsiString& text);
AnsiString LoadAnsiText(TStream* stream);
void SaveUnicodeText(TStream* stream, const WideString& text);
WideString LoadUnicodeText(TStream* stream);

namespace orv {

// Raw values as held in memory, without a type byte (all little-endian).
Byte ReadByte(TStream* stream);
Boolean ReadBoolean(TStream* stream);
SmallInt ReadSmallInt(TStream* stream);
Word ReadWord(TStream* stream);
Integer ReadInteger(TStream* stream);
Int64 ReadLargeInt(TStream* stream);
Currency ReadCurrency(TStream* stream);
TDateTime ReadDateTime(TStream* stream);
// 10 bytes of 80-bit extended precision, rounded to the nearest double.
double ReadExtended(TStream* stream);
void WriteByte(TStream* stream, Byte value);
void WriteBoolean(TStream* stream, Boolean value);
void WriteSmallInt(TStream* stream, SmallInt value);
void WriteWord(TStream* stream, Word value);
void WriteInteger(TStream* stream, Integer value);
void WriteLargeInt(TStream* stream, Int64 value);
void WriteCurrency(TStream* stream, Currency value);
void WriteDateTime(TStream* stream, TDateTime value);
// The double exactly, as 10 bytes of 80-bit extended precision.
void WriteExtended(TStream* stream, double value);

// The 80-bit form of a double (exact) and back (rounded to nearest, ties to even).
void DoubleToExtendedBytes(double value, Byte bytes[10]);
double ExtendedBytesToDouble(const Byte bytes[10]);

// The bytes left between the stream's position and its end (0 when past it).
Int64 RemainingBytes(TStream* stream);
// Raises EReadError "Stream read error" unless `count` (>= 0) items of `itemSize` bytes fit in
// the remaining bytes.
void CheckReadCount(TStream* stream, Int64 count, Int64 itemSize);
// EReadError / EWriteError with the data controller's stream messages.
[[noreturn]] void RaiseDataReadError();
[[noreturn]] void RaiseDataWriteError();

}  // namespace orv

// ==== Filers =================================================================================

// A stream holder for the data controller's own stream. Creating one consumes a leading
// "DXAFMT" / "DXUFMT" signature when at least 7 bytes remain; "DXUFMT" sets IsUnicode.
class TcxFiler : public TObject {
  ORV_CLASS(TcxFiler, TObject)
 public:
  using TCreateSignature = void(TStream* stream);
  explicit TcxFiler(TStream* stream);

  TStream* GetStream() const { return FStream; }
  Boolean GetIsUnicode() const { return FIsUnicode; }

  AnsiString LoadText() { return LoadAnsiText(FStream); }
  void SaveText(const AnsiString& text) { SaveAnsiText(FStream, text); }
  Integer LoadInt() { return orv::ReadInteger(FStream); }
  void SaveInt(Integer value) { orv::WriteInteger(FStream, value); }

 private:
  TStream* FStream;
  Boolean FIsUnicode;
};

class TcxReader : public TcxFiler {
  ORV_CLASS(TcxReader, TcxFiler)
 public:
  explicit TcxReader(TStream* stream) : TcxFiler(stream) {}
};

class TcxWriter : public TcxFiler {
  ORV_CLASS(TcxWriter, TcxFiler)
 public:
  explicit TcxWriter(TStream* stream) : TcxFiler(stream) {}
};
