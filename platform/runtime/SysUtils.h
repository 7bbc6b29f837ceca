// String, number and file-name routines of the run-time library.
//
// Numbers read and write text exactly as the platform does: decimal rounding half away from
// zero on the digits, 15 significant digits for FloatToStr, the locale's separators from
// FormatSettings (Locale.h) where the platform uses them, and '.' where it does not (Val, Str).
#pragma once

#include <initializer_list>
#include <string_view>

#include "platform/runtime/Types.h"

namespace orv {
struct AnsiLiteral;
}

// Windows-1251 case mapping and the locale's comparison (Collation.h). Negative, zero or
// positive; the ...Str forms tell case apart, the ...Text forms do not.
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);
int AnsiCompareText(const AnsiString& a, const AnsiString& b);
bool AnsiSameStr(const AnsiString& a, const AnsiString& b);
bool AnsiSameText(const AnsiString& a, const AnsiString& b);
AnsiString AnsiUpperCase(const AnsiString& s);
AnsiString AnsiLowerCase(const AnsiString& s);

// Ordinal comparison and ASCII-only case mapping.
int CompareStr(const AnsiString& a, const AnsiString& b);
int CompareText(const AnsiString& a, const AnsiString& b);
bool SameText(const AnsiString& a, const AnsiString& b);
AnsiString UpperCase(const AnsiString& s);
AnsiString LowerCase(const AnsiString& s);

// Without leading and/or trailing blanks and control characters (bytes up to 0x20).
AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);
// 1-based position of `sub` in `s`; 0 when absent or when `sub` is empty.
int Pos(std::string_view sub, std::string_view s);
// `count` bytes from the 1-based `index`, clipped to the string (an index below 1 reads as 1).
AnsiString Copy(const AnsiString& s, int index, int count);
AnsiString StringOfChar(char c, int count);
// In single quotes, inner quotes doubled.
AnsiString QuotedStr(const AnsiString& s);

AnsiString IntToStr(Integer value);
AnsiString IntToStr(Int64 value);
// Upper-case hexadecimal, at least `digits` digits.
AnsiString IntToHex(Int64 value, int digits);
// Leading blanks, a sign, decimal digits or "$"/"0x" and hexadecimal digits, nothing after.
// Raise EConvertError "'<s>' is not a valid integer value" otherwise or out of range.
Integer StrToInt(const AnsiString& s);
Int64 StrToInt64(const AnsiString& s);
Integer StrToIntDef(const AnsiString& s, Integer defaultValue);
bool TryStrToInt(const AnsiString& s, Integer& value);
bool TryStrToInt64(const AnsiString& s, Int64& value);

// The platform's Val: leading blanks, then a number that must end the text (a trailing blank
// fails). `code` is 0 on success, else the 1-based position of the first offending character
// (the length + 1 when the text ends too early); the value is 0 then.
// Reals use '.' whatever the locale and take an exponent; integers take "$"/"0x" hexadecimal.
void Val(std::string_view s, double& value, Integer& code);
void Val(std::string_view s, Integer& value, Integer& code);
void Val(std::string_view s, Int64& value, Integer& code);
// The platform's Str: fixed-point with `decimals` digits after '.', right-aligned in `width`
// (never cut); Str(value, width) for integers.
AnsiString Str(double value, int width, int decimals);
AnsiString Str(Int64 value, int width);

// A currency value: the amount times 10 000, as the platform stores it.
struct Currency {
  Int64 Scaled = 0;
  static Currency FromDouble(double value);  // rounded to 4 decimals, banker's rule
  double ToDouble() const { return static_cast<double>(Scaled) / 10000.0; }
  friend constexpr bool operator==(Currency, Currency) = default;
  friend constexpr auto operator<=>(Currency a, Currency b) { return a.Scaled <=> b.Scaled; }
};

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// ffGeneral with 15 significant digits.
AnsiString FloatToStr(double value);
// precision: significant digits (1..18); digits: ffGeneral and ffExponent the least number of
// exponent digits (0..4), ffFixed, ffNumber and ffCurrency the digits after the separator.
AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
// Pattern sections "positive;negative;zero" with 0 # . , E+ E- e+ e- and quoted literals.
AnsiString FormatFloat(const AnsiString& format, double value);
AnsiString CurrToStr(Currency value);
// With the locale's decimal separator, no thousand separators; blanks around are allowed.
// StrToFloat raises EConvertError "'<s>' is not a valid floating point value".
double StrToFloat(const AnsiString& s);
double StrToFloatDef(const AnsiString& s, double defaultValue);
bool TryStrToFloat(const AnsiString& s, double& value);
bool TextToFloat(std::string_view text, double& value);
// "True"/"False" with useBoolStrs, else "-1"/"0".
AnsiString BoolToStr(bool value, bool useBoolStrs = false);

// One argument of Format.
struct TVarRec {
  enum TKind : Byte { vtInteger, vtInt64, vtExtended, vtString, vtChar, vtBoolean, vtCurrency, vtPointer };
  TKind Kind;
  union {
    Int64 VInteger;
    double VExtended;
    bool VBoolean;
    const void* VPointer;
  };
  std::string_view VString;

  TVarRec(int v) : Kind(vtInteger), VInteger(v) {}
  TVarRec(long v) : Kind(vtInt64), VInteger(v) {}
  TVarRec(long long v) : Kind(vtInt64), VInteger(v) {}
  TVarRec(unsigned v) : Kind(vtInt64), VInteger(v) {}
  TVarRec(unsigned long v) : Kind(vtInt64), VInteger(static_cast<Int64>(v)) {}
  TVarRec(unsigned long long v) : Kind(vtInt64), VInteger(static_cast<Int64>(v)) {}
  TVarRec(double v) : Kind(vtExtended), VExtended(v) {}
  TVarRec(char v) : Kind(vtChar), VInteger(static_cast<unsigned char>(v)) {}
  TVarRec(bool v) : Kind(vtBoolean), VBoolean(v) {}
  TVarRec(Currency v) : Kind(vtCurrency), VInteger(v.Scaled) {}
  TVarRec(const char* v) : Kind(vtString), VInteger(0), VString(v ? v : "") {}
  TVarRec(const AnsiString& v) : Kind(vtString), VInteger(0), VString(v) {}
  TVarRec(std::string_view v) : Kind(vtString), VInteger(0), VString(v) {}
  TVarRec(const orv::AnsiLiteral& v);
  TVarRec(const void* v) : Kind(vtPointer), VPointer(v) {}
};

// The platform's Format: "%[index:][-][width][.precision]type", types d u x e f g n m s p %.
// Padding counts bytes, so Windows-1251 text pads to the column. A specifier that does not fit
// its argument raises EConvertError.
AnsiString Format(const AnsiString& format, std::initializer_list<TVarRec> args);

// File names: "\" and "/" both separate folders, ":" ends a drive.
AnsiString ExtractFilePath(const AnsiString& fileName);  // up to and including the last separator
AnsiString ExtractFileName(const AnsiString& fileName);
AnsiString ExtractFileExt(const AnsiString& fileName);   // with the dot; empty when none
AnsiString ChangeFileExt(const AnsiString& fileName, const AnsiString& extension);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& path);
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path);
