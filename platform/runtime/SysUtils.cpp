#include "platform/runtime/SysUtils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/Math.h"

// ---------------------------------------------------------------------------------------------
// Case and comparison

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) { return orv::CollateCompare(a, b, 0); }

int AnsiCompareText(const AnsiString& a, const AnsiString& b) { return orv::CollateCompare(a, b, NORM_IGNORECASE); }

bool AnsiSameStr(const AnsiString& a, const AnsiString& b) { return AnsiCompareStr(a, b) == 0; }

bool AnsiSameText(const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) == 0; }

AnsiString AnsiUpperCase(const AnsiString& s) {
  AnsiString r = s;
  CharUpperBuff(r.data(), static_cast<Cardinal>(r.size()));
  return r;
}

AnsiString AnsiLowerCase(const AnsiString& s) {
  AnsiString r = s;
  CharLowerBuff(r.data(), static_cast<Cardinal>(r.size()));
  return r;
}

int CompareStr(const AnsiString& a, const AnsiString& b) {
  const int r = a.compare(b);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

namespace {
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
}  // namespace

int CompareText(const AnsiString& a, const AnsiString& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(AsciiUpper(a[i])), y = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool SameText(const AnsiString& a, const AnsiString& b) { return CompareText(a, b) == 0; }

AnsiString UpperCase(const AnsiString& s) {
  AnsiString r = s;
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

AnsiString LowerCase(const AnsiString& s) {
  AnsiString r = s;
  for (char& c : r) c = AsciiLower(c);
  return r;
}

// ---------------------------------------------------------------------------------------------
// Strings

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

AnsiString Trim(const AnsiString& s) {
  std::size_t first = 0, last = s.size();
  while (first < last && IsBlank(s[first])) ++first;
  while (last > first && IsBlank(s[last - 1])) --last;
  return s.substr(first, last - first);
}

AnsiString TrimLeft(const AnsiString& s) {
  std::size_t first = 0;
  while (first < s.size() && IsBlank(s[first])) ++first;
  return s.substr(first);
}

AnsiString TrimRight(const AnsiString& s) {
  std::size_t last = s.size();
  while (last > 0 && IsBlank(s[last - 1])) --last;
  return s.substr(0, last);
}

int Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const std::size_t p = s.find(sub);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

AnsiString Copy(const AnsiString& s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<std::size_t>(index) > s.size()) return AnsiString();
  return s.substr(static_cast<std::size_t>(index) - 1, static_cast<std::size_t>(count));
}

AnsiString StringOfChar(char c, int count) { return count > 0 ? AnsiString(static_cast<std::size_t>(count), c) : AnsiString(); }

AnsiString QuotedStr(const AnsiString& s) {
  AnsiString r = "'";
  for (const char c : s) {
    r.push_back(c);
    if (c == '\'') r.push_back('\'');
  }
  r.push_back('\'');
  return r;
}

// ---------------------------------------------------------------------------------------------
// Integers

AnsiString IntToStr(Integer value) { return std::to_string(value); }

AnsiString IntToStr(Int64 value) { return std::to_string(value); }

AnsiString IntToHex(Int64 value, int digits) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*llX", digits < 0 ? 0 : digits > 16 ? 16 : digits,
                static_cast<unsigned long long>(value));
  return buf;
}

namespace {

// Val for integers into [min, max]. Returns the error position (0 on success).
Integer ValInteger(std::string_view s, Int64 min, Int64 max, Int64& value) {
  value = 0;
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  const std::size_t firstDigit = i;
  // Magnitude limit: max for positive numbers, -min for negative ones.
  const UInt64 limit = negative ? static_cast<UInt64>(-(min + 1)) + 1 : static_cast<UInt64>(max);
  UInt64 magnitude = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return static_cast<Integer>(i + 1);
    // Hexadecimal reads as the bit pattern of the type (up to its width), as the platform does.
    const UInt64 hexLimit = max == std::numeric_limits<Int64>::max() ? ~UInt64(0) : static_cast<UInt64>(max) * 2 + 1;
    const UInt64 cap = base == 16 ? hexLimit : limit;
    if (magnitude > (cap - static_cast<UInt64>(d)) / static_cast<UInt64>(base)) return static_cast<Integer>(i + 1);
    magnitude = magnitude * static_cast<UInt64>(base) + static_cast<UInt64>(d);
  }
  if (i == firstDigit) return static_cast<Integer>(i + 1);
  if (base == 16 && magnitude > static_cast<UInt64>(max)) {
    // A pattern with the top bit set is a negative number of the type's width.
    const int bits = max == std::numeric_limits<Int64>::max() ? 64 : 32;
    Int64 v = bits == 64 ? static_cast<Int64>(magnitude) : static_cast<Int64>(static_cast<Integer>(static_cast<Cardinal>(magnitude)));
    value = negative ? -v : v;
    return 0;
  }
  value = negative ? static_cast<Int64>(0 - magnitude) : static_cast<Int64>(magnitude);
  return 0;
}

[[noreturn]] void InvalidInteger(const AnsiString& s) { throw EConvertError("'" + s + "' is not a valid integer value"); }

}  // namespace

void Val(std::string_view s, Integer& value, Integer& code) {
  Int64 v = 0;
  code = ValInteger(s, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(), v);
  value = code == 0 ? static_cast<Integer>(v) : 0;
}

void Val(std::string_view s, Int64& value, Integer& code) {
  code = ValInteger(s, std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max(), value);
  if (code != 0) value = 0;
}

bool TryStrToInt(const AnsiString& s, Integer& value) {
  Integer code = 0;
  Integer v = 0;
  Val(s, v, code);
  if (code == 0) value = v;
  return code == 0;
}

bool TryStrToInt64(const AnsiString& s, Int64& value) {
  Integer code = 0;
  Int64 v = 0;
  Val(s, v, code);
  if (code == 0) value = v;
  return code == 0;
}

Integer StrToInt(const AnsiString& s) {
  Integer v = 0;
  if (!TryStrToInt(s, v)) InvalidInteger(s);
  return v;
}

Int64 StrToInt64(const AnsiString& s) {
  Int64 v = 0;
  if (!TryStrToInt64(s, v)) InvalidInteger(s);
  return v;
}

Integer StrToIntDef(const AnsiString& s, Integer defaultValue) {
  Integer v = 0;
  return TryStrToInt(s, v) ? v : defaultValue;
}

// ---------------------------------------------------------------------------------------------
// Decimal digits of a double

namespace {

// The decimal form of a value: 0.D1D2D3... x 10^Exponent, digits without trailing zeros
// (none for zero).
struct TFloatRec {
  int Exponent = 0;
  bool Negative = false;
  char Digits[24]{};  // zero-terminated
  int Count = 0;
};

// Takes the value to 18 significant digits (the platform's working precision), then rounds
// those digits half away from zero to `precision` significant digits and to `decimals` digits
// after the point, as the platform does.
TFloatRec FloatToDecimal(double value, int precision, int decimals) {
  TFloatRec r;
  r.Negative = std::signbit(value);
  if (value == 0) return r;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));  // d.ddddddddddddddddde+xx
  char digits[20];
  int n = 0;
  for (const char* p = buf; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits[n++] = *p;
  r.Exponent = std::atoi(std::strchr(buf, 'e') + 1) + 1;
  if (precision > 18) precision = 18;
  int keep = precision;
  if (decimals < 99 && r.Exponent + decimals < keep) keep = r.Exponent + decimals;
  if (keep < 0) {
    r.Count = 0;
    r.Exponent = 0;
    return r;
  }
  bool carry = keep < n && digits[keep] >= '5';
  n = keep;
  for (int i = n - 1; carry && i >= 0; --i) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      carry = false;
    }
  }
  if (carry) {  // 999.. rounded up to 1000..
    for (int i = n; i > 0; --i) digits[i] = digits[i - 1];
    digits[0] = '1';
    ++n;
    ++r.Exponent;
    if (n > keep && keep > 0) --n;
  }
  while (n > 0 && digits[n - 1] == '0') --n;
  if (n == 0) {
    r.Exponent = 0;
    return r;
  }
  std::memcpy(r.Digits, digits, static_cast<std::size_t>(n));
  r.Digits[n] = 0;
  r.Count = n;
  return r;
}

AnsiString SpecialValueText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

AnsiString ExponentText(int exponent, int minDigits, bool alwaysSign) {
  AnsiString r = "E";
  if (exponent < 0) r.push_back('-');
  else if (alwaysSign) r.push_back('+');
  AnsiString d = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(d.size()) < minDigits) d.insert(0, static_cast<std::size_t>(minDigits) - d.size(), '0');
  return r + d;
}

// The integer and fraction digits of a rounded decimal, fraction padded to `decimals`.
void SplitFixed(const TFloatRec& r, int decimals, AnsiString& whole, AnsiString& fraction) {
  whole.clear();
  fraction.clear();
  for (int i = 0; i < r.Exponent; ++i) whole.push_back(i < r.Count ? r.Digits[i] : '0');
  if (whole.empty()) whole = "0";
  for (int i = 0; i < decimals; ++i) {
    const int k = r.Exponent + i;
    fraction.push_back(k >= 0 && k < r.Count ? r.Digits[k] : '0');
  }
}

AnsiString GroupThousands(const AnsiString& whole, char separator) {
  if (!separator) return whole;
  AnsiString r;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) r.push_back(separator);
    r.push_back(whole[i]);
  }
  return r;
}

AnsiString GeneralText(const TFloatRec& r, int precision, int expDigits) {
  if (r.Count == 0) return "0";
  const char dec = FormatSettings.DecimalSeparator;
  AnsiString out = r.Negative ? "-" : "";
  if (r.Exponent > precision || r.Exponent < -3) {
    out.push_back(r.Digits[0]);
    if (r.Count > 1) {
      out.push_back(dec);
      out.append(r.Digits + 1, static_cast<std::size_t>(r.Count - 1));
    }
    return out + ExponentText(r.Exponent - 1, expDigits, false);
  }
  if (r.Exponent <= 0) {
    out += "0";
    out.push_back(dec);
    out.append(static_cast<std::size_t>(-r.Exponent), '0');
    out.append(r.Digits, static_cast<std::size_t>(r.Count));
    return out;
  }
  for (int i = 0; i < r.Exponent; ++i) out.push_back(i < r.Count ? r.Digits[i] : '0');
  if (r.Count > r.Exponent) {
    out.push_back(dec);
    out.append(r.Digits + r.Exponent, static_cast<std::size_t>(r.Count - r.Exponent));
  }
  return out;
}

AnsiString CurrencyText(const AnsiString& number, bool negative) {
  const AnsiString& sym = FormatSettings.CurrencyString;
  if (!negative) {
    switch (FormatSettings.CurrencyFormat) {
      case 0: return sym + number;
      case 1: return number + sym;
      case 2: return sym + " " + number;
      default: return number + " " + sym;
    }
  }
  switch (FormatSettings.NegCurrFormat) {
    case 0: return "(" + sym + number + ")";
    case 1: return "-" + sym + number;
    case 2: return sym + "-" + number;
    case 3: return sym + number + "-";
    case 4: return "(" + number + sym + ")";
    case 5: return "-" + number + sym;
    case 6: return number + "-" + sym;
    case 7: return number + sym + "-";
    case 8: return "-" + number + " " + sym;
    case 9: return "-" + sym + " " + number;
    case 10: return number + " " + sym + "-";
    case 11: return sym + " " + number + "-";
    case 12: return sym + " -" + number;
    case 13: return number + "- " + sym;
    case 14: return "(" + sym + " " + number + ")";
    default: return "(" + number + " " + sym + ")";
  }
}

}  // namespace

AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  if (!std::isfinite(value)) return SpecialValueText(value);
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  if (digits < 0) digits = 0;
  const char dec = FormatSettings.DecimalSeparator;
  switch (format) {
    case ffGeneral:
      return GeneralText(FloatToDecimal(value, precision, 99), precision, digits > 4 ? 4 : digits);
    case ffExponent: {
      const TFloatRec r = FloatToDecimal(value, precision, 99);
      AnsiString out = r.Negative && r.Count ? "-" : "";
      out.push_back(r.Count ? r.Digits[0] : '0');
      if (precision > 1) out.push_back(dec);
      for (int i = 1; i < precision; ++i) out.push_back(i < r.Count ? r.Digits[i] : '0');
      return out + ExponentText(r.Count ? r.Exponent - 1 : 0, digits > 4 ? 4 : digits, true);
    }
    default: {
      if (digits > 18) digits = 18;
      const TFloatRec r = FloatToDecimal(value, precision, digits);
      // Too large for fixed notation at this precision: the general form.
      if (r.Exponent > precision) return GeneralText(FloatToDecimal(value, precision, 99), precision, 0);
      AnsiString whole, fraction;
      SplitFixed(r, digits, whole, fraction);
      if (format != ffFixed) whole = GroupThousands(whole, FormatSettings.ThousandSeparator);
      AnsiString number = whole;
      if (digits > 0) number += AnsiString(1, dec) + fraction;
      const bool negative = r.Negative && r.Count > 0;
      if (format == ffCurrency) return CurrencyText(number, negative);
      return negative ? "-" + number : number;
    }
  }
}

AnsiString FloatToStr(double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

AnsiString CurrToStr(Currency value) {
  // Exact from the scaled integer: a double cannot hold every currency value.
  const bool negative = value.Scaled < 0;
  const UInt64 magnitude = negative ? 0 - static_cast<UInt64>(value.Scaled) : static_cast<UInt64>(value.Scaled);
  AnsiString text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
  AnsiString fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += AnsiString(1, FormatSettings.DecimalSeparator) + fraction;
  return text;
}

Currency Currency::FromDouble(double value) { return Currency{Round(value * 10000.0)}; }

AnsiString BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? "True" : "False";
  return value ? "-1" : "0";
}

// ---------------------------------------------------------------------------------------------
// FormatFloat

namespace {

struct Section {
  std::string_view Text;
  int IntPlaceholders = 0;  // 0 and # before the decimal point
  int IntZeros = 0;         // placeholders from the first 0 to the decimal point
  int FracMax = 0;          // placeholders after the point
  int FracMin = 0;          // up to the last 0 after the point
  bool Thousands = false;
  bool Scientific = false;
  bool ExpSign = false;     // E+ (always a sign) rather than E-
  int ExpDigits = 0;
};

// Splits the format into its sections, respecting quotes.
int SplitSections(std::string_view format, std::string_view out[3]) {
  int count = 0;
  std::size_t start = 0;
  char quote = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';' && count < 2) {
      out[count++] = format.substr(start, i - start);
      start = i + 1;
    }
  }
  out[count++] = format.substr(start);
  return count;
}

Section Analyse(std::string_view text) {
  Section s;
  s.Text = text;
  bool afterPoint = false;
  bool seenZero = false;
  char quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    switch (c) {
      case '"':
      case '\'': quote = c; break;
      case '0':
      case '#':
        if (afterPoint) {
          ++s.FracMax;
          if (c == '0') s.FracMin = s.FracMax;
        } else {
          ++s.IntPlaceholders;
          if (c == '0') seenZero = true;
          if (seenZero) ++s.IntZeros;
        }
        break;
      case '.':
        afterPoint = true;
        break;
      case ',':
        s.Thousands = true;
        break;
      case 'E':
      case 'e':
        if (!s.Scientific && i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-')) {
          s.Scientific = true;
          s.ExpSign = text[i + 1] == '+';
          std::size_t j = i + 2;
          while (j < text.size() && text[j] == '0') ++j;
          s.ExpDigits = static_cast<int>(j - (i + 2));
          if (s.ExpDigits > 4) s.ExpDigits = 4;
          // The exponent's zeros are not digit placeholders.
          i = j - 1;
        }
        break;
      default: break;
    }
  }
  return s;
}

AnsiString ApplySection(const Section& s, double magnitude, bool addMinus) {
  AnsiString whole, fraction;
  int exponent = 0;
  if (s.Scientific) {
    const int intDigits = s.IntPlaceholders > 0 ? s.IntPlaceholders : 1;
    const TFloatRec r = FloatToDecimal(magnitude, intDigits + s.FracMax, 99);
    exponent = r.Count == 0 ? 0 : r.Exponent - intDigits;
    for (int i = 0; i < intDigits; ++i) whole.push_back(i < r.Count ? r.Digits[i] : '0');
    for (int i = 0; i < s.FracMax; ++i) fraction.push_back(intDigits + i < r.Count ? r.Digits[intDigits + i] : '0');
    // Leading zeros of the whole part beyond the 0 placeholders are dropped.
    std::size_t lead = 0;
    while (lead + static_cast<std::size_t>(s.IntZeros) < whole.size() && whole[lead] == '0') ++lead;
    whole.erase(0, lead);
  } else {
    const TFloatRec r = FloatToDecimal(magnitude, 18, s.FracMax);
    for (int i = 0; i < r.Exponent; ++i) whole.push_back(i < r.Count ? r.Digits[i] : '0');
    for (int i = 0; i < s.FracMax; ++i) {
      const int k = r.Exponent + i;
      fraction.push_back(k >= 0 && k < r.Count ? r.Digits[k] : '0');
    }
    if (static_cast<int>(whole.size()) < s.IntZeros) whole.insert(0, static_cast<std::size_t>(s.IntZeros) - whole.size(), '0');
  }
  while (static_cast<int>(fraction.size()) > s.FracMin && fraction.back() == '0') fraction.pop_back();

  AnsiString out = addMinus ? "-" : "";
  const char dec = FormatSettings.DecimalSeparator;
  const char sep = FormatSettings.ThousandSeparator;
  const int nWhole = static_cast<int>(whole.size());
  int placeholder = 0;  // integer placeholders met so far
  int fracIndex = 0;
  bool afterPoint = false;
  char quote = 0;
  auto emitWholeDigit = [&](int k) {
    out.push_back(whole[static_cast<std::size_t>(k)]);
    const int remaining = nWhole - k - 1;
    if (s.Thousands && remaining > 0 && remaining % 3 == 0) out.push_back(sep);
  };
  const std::string_view t = s.Text;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (quote) {
      if (c == quote) quote = 0;
      else out.push_back(c);
      continue;
    }
    switch (c) {
      case '"':
      case '\'':
        quote = c;
        break;
      case '0':
      case '#':
        if (afterPoint) {
          if (fracIndex < static_cast<int>(fraction.size())) out.push_back(fraction[static_cast<std::size_t>(fracIndex)]);
          ++fracIndex;
        } else {
          // The first placeholder takes the digits that have no placeholder of their own.
          const int firstDigit = nWhole - (s.IntPlaceholders - placeholder);
          if (placeholder == 0) {
            for (int k = 0; k <= firstDigit && k < nWhole; ++k)
              if (k >= 0) emitWholeDigit(k);
          } else if (firstDigit >= 0) {
            emitWholeDigit(firstDigit);
          }
          ++placeholder;
        }
        break;
      case '.':
        if (!afterPoint) {
          afterPoint = true;
          if (!fraction.empty()) out.push_back(dec);
        }
        break;
      case ',':
        break;
      case 'E':
      case 'e':
        if (s.Scientific && i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-')) {
          AnsiString e = ExponentText(exponent, s.ExpDigits, s.ExpSign);
          e[0] = c;
          out += e;
          i += 1 + static_cast<std::size_t>(s.ExpDigits);
          while (i + 1 < t.size() && t[i + 1] == '0') ++i;
          break;
        }
        out.push_back(c);
        break;
      default:
        out.push_back(c);
        break;
    }
  }
  return out;
}

}  // namespace

AnsiString FormatFloat(const AnsiString& format, double value) {
  if (!std::isfinite(value)) return SpecialValueText(value);
  if (format.empty()) return FloatToStr(value);
  std::string_view parts[3];
  const int count = SplitSections(format, parts);
  const Section positive = Analyse(parts[0]);
  const bool negative = value < 0;
  const double magnitude = std::fabs(value);
  // Zero after rounding to the section's digits takes the zero section when there is one.
  auto roundsToZero = [&](const Section& s) {
    const TFloatRec r = s.Scientific ? FloatToDecimal(magnitude, s.IntPlaceholders + s.FracMax, 99)
                                     : FloatToDecimal(magnitude, 18, s.FracMax);
    return r.Count == 0;
  };
  const Section& chosen = negative && count >= 2 && !parts[1].empty() ? Analyse(parts[1]) : positive;
  if (count >= 3 && !parts[2].empty() && roundsToZero(chosen)) return ApplySection(Analyse(parts[2]), 0, false);
  if (negative && count >= 2 && !parts[1].empty()) return ApplySection(Analyse(parts[1]), magnitude, false);
  return ApplySection(positive, magnitude, negative && !roundsToZero(positive));
}

// ---------------------------------------------------------------------------------------------
// Reading reals

namespace {

// Parses [sign] digits [sep digits] [e [sign] digits] at s[i]; stops at the first character
// that does not continue the number. Returns false when no digit was read.
bool ScanReal(std::string_view s, std::size_t& i, char separator, double& value) {
  std::string normal;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) normal.push_back(s[i++]);
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    normal.push_back(s[i++]);
    ++digits;
  }
  if (i < s.size() && s[i] == separator) {
    ++i;
    normal.push_back('.');
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      normal.push_back(s[i++]);
      ++digits;
    }
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp.push_back(s[j++]);
    const std::size_t expStart = j;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') exp.push_back(s[j++]);
    if (j == expStart) return false;
    normal += exp;
    i = j;
  }
  const char* begin = normal.data() + (normal[0] == '+' ? 1 : 0);
  const auto [end, ec] = std::from_chars(begin, normal.data() + normal.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is no number.
    if (std::fabs(value) > 1) return false;
    value = 0;
    return true;
  }
  return ec == std::errc() && end == normal.data() + normal.size();
}

}  // namespace

void Val(std::string_view s, double& value, Integer& code) {
  value = 0;
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  double v = 0;
  const std::size_t start = i;
  if (!ScanReal(s, i, '.', v)) {
    // Point at the first character that cannot continue a number.
    std::size_t j = start;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    while (j < s.size() && ((s[j] >= '0' && s[j] <= '9') || s[j] == '.' || s[j] == 'e' || s[j] == 'E' ||
                            ((s[j] == '+' || s[j] == '-') && (s[j - 1] == 'e' || s[j - 1] == 'E'))))
      ++j;
    code = static_cast<Integer>(j + 1);
    return;
  }
  if (i != s.size()) {
    code = static_cast<Integer>(i + 1);
    return;
  }
  value = v;
  code = 0;
}

AnsiString Str(double value, int width, int decimals) {
  AnsiString text;
  if (!std::isfinite(value)) {
    text = SpecialValueText(value);
  } else {
    if (decimals < 0) decimals = 0;
    if (decimals > 18) decimals = 18;
    const TFloatRec r = FloatToDecimal(value, 18, decimals);
    AnsiString whole, fraction;
    SplitFixed(r, decimals, whole, fraction);
    text = (r.Negative && r.Count ? "-" : "") + whole;
    if (decimals > 0) text += "." + fraction;
  }
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

AnsiString Str(Int64 value, int width) {
  AnsiString text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

bool TextToFloat(std::string_view text, double& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  double v = 0;
  if (!ScanReal(text, i, FormatSettings.DecimalSeparator, v)) return false;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size()) return false;
  value = v;
  return true;
}

bool TryStrToFloat(const AnsiString& s, double& value) { return TextToFloat(s, value); }

double StrToFloat(const AnsiString& s) {
  double v = 0;
  if (!TextToFloat(s, v)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}

double StrToFloatDef(const AnsiString& s, double defaultValue) {
  double v = 0;
  return TextToFloat(s, v) ? v : defaultValue;
}

// ---------------------------------------------------------------------------------------------
// Format

TVarRec::TVarRec(const orv::AnsiLiteral& v) : Kind(vtString), VInteger(0), VString(v.View()) {}

AnsiString Format(const AnsiString& format, std::initializer_list<TVarRec> args) {
  const TVarRec* argv = args.begin();
  const std::size_t argc = args.size();
  std::size_t next = 0;
  auto fail = [&]() -> void { throw EConvertError("Format '" + format + "' invalid or incompatible with argument"); };
  auto takeArg = [&]() -> const TVarRec& {
    if (next >= argc) fail();
    return argv[next++];
  };
  auto readNumber = [&](std::size_t& i, int& n) {
    if (i < format.size() && format[i] == '*') {
      const TVarRec& a = takeArg();
      if (a.Kind != TVarRec::vtInteger && a.Kind != TVarRec::vtInt64) fail();
      n = static_cast<int>(a.VInteger);
      ++i;
      return true;
    }
    bool any = false;
    n = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
      n = n * 10 + (format[i++] - '0');
      if (n > 100000) fail();
      any = true;
    }
    return any;
  };
  AnsiString out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out.push_back(format[i]);
      continue;
    }
    ++i;
    if (i >= format.size()) fail();
    if (format[i] == '%') {
      out.push_back('%');
      continue;
    }
    // [index:]
    {
      std::size_t j = i;
      std::size_t n = 0;
      while (j < format.size() && format[j] >= '0' && format[j] <= '9' && n < 100000) n = n * 10 + static_cast<std::size_t>(format[j++] - '0');
      if (j > i && j < format.size() && format[j] == ':') {
        next = n;
        i = j + 1;
      }
    }
    bool left = false;
    if (i < format.size() && format[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0;
    readNumber(i, width);
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
      ++i;
      readNumber(i, precision);
    }
    if (i >= format.size()) fail();
    const char type = static_cast<char>(format[i] | 0x20);
    const TVarRec& a = takeArg();
    const bool isInt = a.Kind == TVarRec::vtInteger || a.Kind == TVarRec::vtInt64;
    const bool isFloat = a.Kind == TVarRec::vtExtended || a.Kind == TVarRec::vtCurrency;
    const double f = a.Kind == TVarRec::vtCurrency ? static_cast<double>(a.VInteger) / 10000.0 : a.VExtended;
    AnsiString text;
    switch (type) {
      case 'd':
      case 'u': {
        if (!isInt) fail();
        Int64 v = a.VInteger;
        if (type == 'u' && a.Kind == TVarRec::vtInteger) v = static_cast<Cardinal>(v);
        const bool neg = v < 0;
        text = std::to_string(neg ? -static_cast<UInt64>(v) : static_cast<UInt64>(v));
        if (precision > static_cast<int>(text.size())) text.insert(0, static_cast<std::size_t>(precision) - text.size(), '0');
        if (neg) text.insert(0, 1, '-');
        break;
      }
      case 'x': {
        if (!isInt) fail();
        const UInt64 v = a.Kind == TVarRec::vtInteger ? static_cast<Cardinal>(a.VInteger) : static_cast<UInt64>(a.VInteger);
        char buf[24];
        std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v));
        text = buf;
        if (precision > static_cast<int>(text.size())) text.insert(0, static_cast<std::size_t>(precision) - text.size(), '0');
        break;
      }
      case 'e':
        if (!isFloat) fail();
        text = FloatToStrF(f, ffExponent, precision < 0 ? 15 : precision, 3);
        break;
      case 'f':
        if (!isFloat) fail();
        text = FloatToStrF(f, ffFixed, 18, precision < 0 ? 2 : precision);
        break;
      case 'g':
        if (!isFloat) fail();
        text = FloatToStrF(f, ffGeneral, precision < 0 ? 15 : precision, 3);
        break;
      case 'n':
        if (!isFloat) fail();
        text = FloatToStrF(f, ffNumber, 18, precision < 0 ? 2 : precision);
        break;
      case 'm':
        if (!isFloat) fail();
        text = FloatToStrF(f, ffCurrency, 18, precision < 0 ? FormatSettings.CurrencyDecimals : precision);
        break;
      case 's':
        if (a.Kind == TVarRec::vtString) text = AnsiString(a.VString);
        else if (a.Kind == TVarRec::vtChar) text = AnsiString(1, static_cast<char>(a.VInteger));
        else fail();
        if (precision >= 0 && static_cast<std::size_t>(precision) < text.size()) text.resize(static_cast<std::size_t>(precision));
        break;
      case 'p': {
        if (a.Kind != TVarRec::vtPointer) fail();
        char buf[24];
        std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(a.VPointer)));
        text = buf;
        break;
      }
      default:
        fail();
    }
    if (static_cast<int>(text.size()) < width) {
      const std::size_t pad = static_cast<std::size_t>(width) - text.size();
      if (left) text.append(pad, ' ');
      else text.insert(0, pad, ' ');
    }
    out += text;
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// File names

namespace {
bool IsPathDelimiter(char c) { return c == '\\' || c == '/'; }

std::size_t LastDelimiter(const AnsiString& name) {
  for (std::size_t i = name.size(); i > 0; --i) {
    const char c = name[i - 1];
    if (IsPathDelimiter(c) || c == ':') return i - 1;
  }
  return AnsiString::npos;
}

std::size_t ExtensionStart(const AnsiString& name) {
  const std::size_t delimiter = LastDelimiter(name);
  const std::size_t dot = name.rfind('.');
  if (dot == AnsiString::npos || (delimiter != AnsiString::npos && dot < delimiter)) return AnsiString::npos;
  return dot;
}
}  // namespace

AnsiString ExtractFilePath(const AnsiString& fileName) {
  const std::size_t d = LastDelimiter(fileName);
  return d == AnsiString::npos ? AnsiString() : fileName.substr(0, d + 1);
}

AnsiString ExtractFileName(const AnsiString& fileName) {
  const std::size_t d = LastDelimiter(fileName);
  return d == AnsiString::npos ? fileName : fileName.substr(d + 1);
}

AnsiString ExtractFileExt(const AnsiString& fileName) {
  const std::size_t dot = ExtensionStart(fileName);
  return dot == AnsiString::npos ? AnsiString() : fileName.substr(dot);
}

AnsiString ChangeFileExt(const AnsiString& fileName, const AnsiString& extension) {
  const std::size_t dot = ExtensionStart(fileName);
  return (dot == AnsiString::npos ? fileName : fileName.substr(0, dot)) + extension;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path) {
  if (!path.empty() && IsPathDelimiter(path.back())) return path;
  return path + "\\";
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path) {
  if (!path.empty() && IsPathDelimiter(path.back())) return path.substr(0, path.size() - 1);
  return path;
}
