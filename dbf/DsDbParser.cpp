#include "dbf/DsDbParser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "dbf/DsCP.h"
#include "dbf/DsConsts.h"
#include "dbf/DsDbUtils.h"
#include "dbf/DsDbfApi.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SysUtils.h"

using namespace orv;

namespace {

// ---------------------------------------------------------------------------------------------
// Kinds and the operator matrix

using TKindMask = std::uint32_t;

constexpr TKindMask Bit(TDbKind kind) { return TKindMask(1) << kind; }

constexpr TKindMask kValueKinds = Bit(dkText) | Bit(dkBoolean) | Bit(dkInteger) | Bit(dkFloat) |
                                  Bit(dkDate) | Bit(dkTime) | Bit(dkDateTime) | Bit(dkNull);
constexpr TKindMask kNumberKinds = Bit(dkInteger) | Bit(dkFloat);

constexpr bool IsComparison(TDbKind op) { return op >= dkEqual && op <= dkLessEqual; }
constexpr bool IsLogical(TDbKind op) { return op >= dkAnd && op <= dkXor; }
constexpr bool IsAdditive(TDbKind op) { return op == dkPlus || op == dkMinus; }
constexpr bool IsNumber(TDbKind kind) { return kind == dkInteger || kind == dkFloat; }
constexpr bool IsTemporal(TDbKind kind) { return kind >= dkDate && kind <= dkDateTime; }
// The operators of the expression level; "*" and "/" form terms.
constexpr bool IsExpressionOperator(TDbKind kind) {
  return (kind >= dkEqual && kind <= dkMinus);
}

// The kind of a pair of dates, times or date-times, or dkNone when they do not combine.
constexpr TDbKind TemporalPairKind(TDbKind l, TDbKind r) {
  if (l == dkDate && r == dkDate) return dkDate;
  if (l == dkTime && r == dkTime) return dkTime;
  if ((l == dkDate || l == dkDateTime) && (r == dkDate || r == dkDateTime)) return dkDateTime;
  return dkNone;
}

// The kind that `l op r` yields when its operands convert, or dkNone when the pair never
// combines. The check at tokenizing and the evaluation share it.
TDbKind ResultKind(TDbKind op, TDbKind l, TDbKind r) {
  if (op == dkNot) return dkNone;
  if (l == dkNull) return op == dkEqual || op == dkNotEqual ? dkBoolean : dkNone;
  if (r == dkNull) {
    if (l == dkText) return op == dkEqual || op == dkNotEqual ? dkBoolean : dkNone;
    return op == dkNotEqual ? dkBoolean : dkNone;
  }
  // A text meeting a number or a time stamp is read as one first.
  if (l == dkText && IsNumber(r)) l = dkFloat;
  else if (IsNumber(l) && r == dkText) r = dkFloat;
  else if (l == dkText && IsTemporal(r)) l = r;
  else if (IsTemporal(l) && r == dkText) r = l;

  if (IsComparison(op)) {
    if (l == r && (l == dkText || l == dkBoolean)) return dkBoolean;
    if (IsNumber(l) && IsNumber(r)) return dkBoolean;
    if (TemporalPairKind(l, r) != dkNone) return dkBoolean;
    return dkNone;
  }
  if (IsLogical(op)) return l == dkBoolean && r == dkBoolean ? dkBoolean : dkNone;
  if (l == dkText && r == dkText) return op == dkPlus ? dkText : dkNone;
  if (IsNumber(l) && IsNumber(r))
    return l == dkInteger && r == dkInteger && op != dkDivide ? dkInteger : dkFloat;
  if (IsAdditive(op)) return TemporalPairKind(l, r);
  return dkNone;
}

// The kinds `l op r` can yield for operands of the kinds in the two masks.
TKindMask ResultKinds(TDbKind op, TKindMask left, TKindMask right) {
  TKindMask result = 0;
  for (int l = 0; l < 32; ++l) {
    if (!(left & (TKindMask(1) << l))) continue;
    for (int r = 0; r < 32; ++r) {
      if (!(right & (TKindMask(1) << r))) continue;
      const TDbKind k = ResultKind(op, TDbKind(l), TDbKind(r));
      if (k != dkNone) result |= Bit(k);
    }
  }
  return result;
}

// The value kind of a field type; dkNone for types the language cannot read.
TDbKind FieldKind(TFieldType type) {
  switch (type) {
    case ftString:
    case ftWideString:
      return dkText;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return dkInteger;
    case ftBoolean:
      return dkBoolean;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
      return dkFloat;
    case ftDate:
      return dkDate;
    case ftTime:
      return dkTime;
    case ftDateTime:
      return dkDateTime;
    default:
      return dkNone;
  }
}

// ---------------------------------------------------------------------------------------------
// Texts

void SetText(TDbValue& value, const char* text, std::size_t length) {
  value.Kind = dkText;
  value.Text = text;
  value.TextLength = static_cast<Integer>(std::min<std::size_t>(length, DbMaxText));
}

// Copies `text`, cut to DbMaxText, into `buffer` and makes `value` that text.
void SetBufferText(TDbValue& value, char* buffer, std::string_view text) {
  const std::size_t n = std::min<std::size_t>(text.size(), DbMaxText);
  if (n) std::memmove(buffer, text.data(), n);
  buffer[n] = 0;
  SetText(value, buffer, n);
}

unsigned char UpperByte(unsigned char c) { return DsUpperCaseTable[c]; }

// One character of a wildcard pattern against one of the value.
template <bool CaseInsensitive>
bool SameChar(char value, char pattern) {
  if (pattern == '?') return true;
  if constexpr (CaseInsensitive)
    return UpperByte(static_cast<unsigned char>(value)) ==
           UpperByte(static_cast<unsigned char>(pattern));
  else
    return value == pattern;
}

template <bool CaseInsensitive>
bool SegmentMatches(const char* value, std::string_view segment) {
  for (std::size_t i = 0; i < segment.size(); ++i)
    if (!SameChar<CaseInsensitive>(value[i], segment[i])) return false;
  return true;
}

// "*" matches any run of characters, "?" any one character. Without "*" the value must have
// the pattern's length, which must not be 0. Middle segments match at their leftmost place;
// the last segment must match the end of the value.
template <bool CaseInsensitive>
bool WildcardMatch(std::string_view value, std::string_view pattern) {
  const std::size_t star = pattern.find('*');
  if (star == std::string_view::npos) {
    if constexpr (!CaseInsensitive) return DsMatchSingle(value, pattern, '?');
    return !pattern.empty() && value.size() == pattern.size() &&
           SegmentMatches<CaseInsensitive>(value.data(), pattern);
  }
  // The part before the first "*" anchors at the start.
  if (star > value.size() || !SegmentMatches<CaseInsensitive>(value.data(), pattern.substr(0, star)))
    return false;
  std::size_t at = star;  // matched so far in the value
  std::size_t p = star;   // position in the pattern
  for (;;) {
    while (p < pattern.size() && pattern[p] == '*') ++p;
    const std::size_t next = pattern.find('*', p);
    if (next == std::string_view::npos) {
      // The last segment must match the end of what is left.
      const std::string_view last = pattern.substr(p);
      if (last.size() > value.size() - at) return false;
      return SegmentMatches<CaseInsensitive>(value.data() + value.size() - last.size(), last);
    }
    const std::string_view segment = pattern.substr(p, next - p);
    bool found = false;
    for (std::size_t i = at; i + segment.size() <= value.size(); ++i)
      if (SegmentMatches<CaseInsensitive>(value.data() + i, segment)) {
        at = i + segment.size();
        found = true;
        break;
      }
    if (!found) return false;
    p = next;
  }
}

// The locale's comparison, as AnsiCompareStr and AnsiCompareText make it.
int CompareTexts(const TDbValue& l, const TDbValue& r, bool caseInsensitive) {
  return CollateCompare(l.GetText(), r.GetText(), caseInsensitive ? NORM_IGNORECASE : 0);
}

bool TextsEqual(const TDbValue& l, const TDbValue& r, Byte options) {
  const bool caseInsensitive = options & dpoCaseInsensitive;
  if (options & dpoNoPartialCompare) return CompareTexts(l, r, caseInsensitive) == 0;
  return caseInsensitive ? WildcardMatch<true>(l.GetText(), r.GetText())
                         : WildcardMatch<false>(l.GetText(), r.GetText());
}

// ---------------------------------------------------------------------------------------------
// Conversions of texts

// The platform's Val: leading blanks, "." as the decimal point, nothing after the number.
bool TextToNumber(std::string_view text, double& value) {
  Integer code = 0;
  Val(text, value, code);
  return code == 0;
}

// A date, time or date and time in the locale's formats.
bool TextToTemporal(std::string_view text, TDbKind kind, double& value) {
  const AnsiString s(text);
  switch (kind) {
    case dkDate: return TryStrToDate(s, value);
    case dkTime: return TryStrToTime(s, value);
    default: return TryStrToDateTime(s, value);
  }
}


// ---------------------------------------------------------------------------------------------
// Operators

template <typename T>
bool Compare(TDbKind op, T l, T r) {
  switch (op) {
    case dkEqual: return l == r;
    case dkNotEqual: return l != r;
    case dkGreater: return l > r;
    case dkLess: return l < r;
    case dkGreaterEqual: return l >= r;
    default: return l <= r;
  }
}

void SetBoolean(TDbValue& value, bool b) {
  value.Kind = dkBoolean;
  value.AsBoolean = b;
}

void SetFloat(TDbValue& value, TDbKind kind, double d) {
  value.Kind = kind;
  value.AsFloat = d;
}

double NumberOf(const TDbValue& v) { return v.Kind == dkInteger ? double(v.AsInteger) : v.AsFloat; }

inline bool ApplyNumbers(TDbKind op, TDbValue& l, const TDbValue& r) {
  if (l.Kind == dkInteger && r.Kind == dkInteger) {
    const Integer a = l.AsInteger, b = r.AsInteger;
    // 32-bit wrapping arithmetic, computed unsigned so that it is defined.
    const auto ua = static_cast<std::uint32_t>(a), ub = static_cast<std::uint32_t>(b);
    switch (op) {
      case dkPlus: l.AsInteger = static_cast<Integer>(ua + ub); return true;
      case dkMinus: l.AsInteger = static_cast<Integer>(ua - ub); return true;
      case dkMultiply: l.AsInteger = static_cast<Integer>(ua * ub); return true;
      case dkDivide:
        if (b == 0) return false;
        SetFloat(l, dkFloat, double(a) / double(b));
        return true;
      default:
        if (!IsComparison(op)) return false;
        SetBoolean(l, Compare(op, a, b));
        return true;
    }
  }
  const double a = NumberOf(l), b = NumberOf(r);
  switch (op) {
    case dkPlus: SetFloat(l, dkFloat, a + b); return true;
    case dkMinus: SetFloat(l, dkFloat, a - b); return true;
    case dkMultiply: SetFloat(l, dkFloat, a * b); return true;
    case dkDivide:
      if (b == 0) return false;
      SetFloat(l, dkFloat, a / b);
      return true;
    default:
      if (!IsComparison(op)) return false;
      SetBoolean(l, Compare(op, a, b));
      return true;
  }
}

// Reads a text as the number or time stamp kind `kind`; False when it is none.
bool ConvertText(const TDbValue& text, TDbKind kind, TDbValue& out) {
  double d = 0;
  if (kind == dkFloat) {
    if (!TextToNumber(text.GetText(), d)) return false;
  } else {
    if (!TextToTemporal(text.GetText(), kind, d)) return false;
    if (kind == dkDate) d = std::trunc(d);
  }
  SetFloat(out, kind, d);
  return true;
}

// l := l op r for every pair but two numbers or two Booleans; False when they do not combine.
[[gnu::noinline]] bool ApplyOther(TDbKind op, TDbValue& l, const TDbValue& r, char* buffer,
                                  Byte options) {
  if (op == dkNot) return false;
  if (l.Kind == dkNull) {
    if (op != dkEqual && op != dkNotEqual) return false;
    SetBoolean(l, (r.Kind == dkNull) == (op == dkEqual));
    return true;
  }
  if (r.Kind == dkNull) {
    if (l.Kind == dkText) {
      if (op != dkEqual && op != dkNotEqual) return false;
      SetBoolean(l, (l.TextLength == 0) == (op == dkEqual));
      return true;
    }
    if (op != dkNotEqual) return false;
    SetBoolean(l, true);
    return true;
  }

  if (l.Kind == dkText && r.Kind == dkText) {
    if (op == dkEqual) {
      SetBoolean(l, TextsEqual(l, r, options));
    } else if (IsComparison(op)) {
      SetBoolean(l, Compare(op, CompareTexts(l, r, options & dpoCaseInsensitive), 0));
    } else if (op == dkPlus) {
      const std::size_t n = std::min<std::size_t>(l.TextLength, DbMaxText);
      const std::size_t m = std::min<std::size_t>(r.TextLength, DbMaxText - n);
      // Either operand may already sit in this buffer only if it is this operator's own
      // earlier result, which cannot happen within one evaluation; move anyway.
      std::memmove(buffer, l.Text, n);
      std::memcpy(buffer + n, r.Text, m);
      buffer[n + m] = 0;
      SetText(l, buffer, n + m);
    } else {
      return false;
    }
    return true;
  }

  // A text meeting a number or a time stamp is read as one.
  TDbValue right = r;
  if (l.Kind == dkText && (IsNumber(r.Kind) || IsTemporal(r.Kind))) {
    if (!ConvertText(l, IsNumber(r.Kind) ? dkFloat : r.Kind, l)) return false;
  } else if (r.Kind == dkText && (IsNumber(l.Kind) || IsTemporal(l.Kind))) {
    if (!ConvertText(r, IsNumber(l.Kind) ? dkFloat : l.Kind, right)) return false;
  }

  if (IsNumber(l.Kind) && IsNumber(right.Kind)) return ApplyNumbers(op, l, right);
  const TDbKind pair = TemporalPairKind(l.Kind, right.Kind);
  if (pair == dkNone) return false;
  if (IsComparison(op)) {
    SetBoolean(l, Compare(op, l.AsFloat, right.AsFloat));
    return true;
  }
  if (op == dkPlus) SetFloat(l, pair, l.AsFloat + right.AsFloat);
  else if (op == dkMinus) SetFloat(l, pair, l.AsFloat - right.AsFloat);
  else return false;
  return true;
}

// l := l op r; False when the operands do not combine. Numbers and Booleans, which the
// searches combine most, take the short way.
inline bool ApplyOperator(TDbKind op, TDbValue& l, const TDbValue& r, char* buffer, Byte options) {
  if (IsNumber(l.Kind) && IsNumber(r.Kind)) return ApplyNumbers(op, l, r);
  if (l.Kind == dkBoolean && r.Kind == dkBoolean) {
    const bool a = l.AsBoolean, b = r.AsBoolean;
    switch (op) {
      case dkAnd: l.AsBoolean = a && b; return true;
      case dkOr: l.AsBoolean = a || b; return true;
      case dkXor: l.AsBoolean = a != b; return true;
      default:
        if (!IsComparison(op)) return false;
        l.AsBoolean = Compare(op, int(a), int(b));
        return true;
    }
  }
  return ApplyOther(op, l, r, buffer, options);
}

// ---------------------------------------------------------------------------------------------
// Built-in functions

bool IsNumberValue(const TDbValue& v) { return IsNumber(v.Kind); }

void FnTrunc(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (!IsNumberValue(a)) return;
  SetFloat(result, dkFloat, a.Kind == dkInteger ? double(a.AsInteger) : std::trunc(a.AsFloat));
}

// Halves go to the even neighbour.
double RoundHalfEven(double x) {
  const double r = std::round(x);  // halves away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
  return r;
}

void FnRound(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (!IsNumberValue(a)) return;
  SetFloat(result, dkFloat, a.Kind == dkInteger ? double(a.AsInteger) : RoundHalfEven(a.AsFloat));
}

void FnFrac(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  // A whole number has no fraction.
  if (a.Kind == dkInteger) SetFloat(result, dkFloat, 0);
  else if (a.Kind == dkFloat) SetFloat(result, dkFloat, a.AsFloat - std::trunc(a.AsFloat));
}

// StrToInt's rules: Val of an integer.
void FnStrToInt(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (a.Kind != dkText) return;
  Integer n = 0, code = 0;
  Val(a.GetText(), n, code);
  if (code != 0) return;
  result.Kind = dkInteger;
  result.AsInteger = n;
}

// StrToFloat's rules: the locale's decimal separator.
void FnStrToFloat(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (a.Kind != dkText) return;
  double d = 0;
  if (!TextToFloat(a.GetText(), d)) return;
  SetFloat(result, dkFloat, d);
}

void FnIntToStr(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (a.Kind != dkInteger) return;
  call.SetTextResult(result, IntToStr(a.AsInteger));
}

void FnFloatToStr(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (a.Kind != dkFloat) return;
  call.SetTextResult(result, FloatToStr(a.AsFloat));
}

// Upper or lower case by the locale, in the call's buffer.
void FnUpper(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (a.Kind != dkText) return;
  call.SetTextResult(result, a.GetText());
  CharUpperBuff(call.GetBuffer(), Cardinal(result.TextLength));
}

void FnLower(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (a.Kind != dkText) return;
  call.SetTextResult(result, a.GetText());
  CharLowerBuff(call.GetBuffer(), Cardinal(result.TextLength));
}

// The field's value, never NULL: a null field reads as the empty text, 0 or False.
void FnField(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (a.Kind != dkText) return;
  const Integer field = call.GetParser().FindField(a.GetText());
  if (field < 0 || !call.ReadField(field, result) || result.Kind != dkNull) return;
  const TDbKind kind = FieldKind(call.GetParser().GetSource()->GetFilterFieldType(field));
  result = TDbValue{};
  result.Kind = kind;
  if (kind == dkText) call.SetTextResult(result, {});
}

void FnPos(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue &a = call.Arg(0), &b = call.Arg(1);
  if (a.Kind != dkText || b.Kind != dkText) return;
  result.Kind = dkInteger;
  result.AsInteger = Pos(a.GetText(), b.GetText());
}

// POS of both texts upper-cased by the locale.
void FnPosText(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue &a = call.Arg(0), &b = call.Arg(1);
  if (a.Kind != dkText || b.Kind != dkText) return;
  char sub[DbMaxText + 1];
  const std::string_view aText = a.GetText(), bText = b.GetText();
  std::memcpy(sub, aText.data(), aText.size());
  CharUpperBuff(sub, Cardinal(aText.size()));
  TDbValue upper;
  call.SetTextResult(upper, bText);
  CharUpperBuff(call.GetBuffer(), Cardinal(upper.TextLength));
  result = TDbValue{};
  result.Kind = dkInteger;
  result.AsInteger = Pos(std::string_view(sub, aText.size()), upper.GetText());
}

// Count characters from the index (from 1); an index below 1 starts at the first character
// without shortening the count.
void FnCopy(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue &s = call.Arg(0), &index = call.Arg(1), &count = call.Arg(2);
  if (s.Kind != dkText || index.Kind != dkInteger || count.Kind != dkInteger) return;
  const Int64 length = s.TextLength;
  Int64 from = index.AsInteger < 1 ? 0 : std::min<Int64>(Int64(index.AsInteger) - 1, length);
  const Int64 n = std::clamp<Int64>(count.AsInteger, 0, length - from);
  call.SetTextResult(result, s.GetText().substr(std::size_t(from), std::size_t(n)));
}

void FnTrim(const TDbFunctionCall& call, TDbValue& result) {
  const TDbValue& a = call.Arg(0);
  if (a.Kind != dkText) return;
  std::string_view t = a.GetText();
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!t.empty() && blank(t.front())) t.remove_prefix(1);
  while (!t.empty() && blank(t.back())) t.remove_suffix(1);
  call.SetTextResult(result, t);
}

struct TBuiltin {
  const char* Name;
  TDbFunctionHandler Handler;
  Integer ArgCount;
  std::array<TKindMask, 3> Args;
  TKindMask Result;  // 0: decided by the arguments (FIELD)
};

constexpr TKindMask kText = Bit(dkText);
constexpr TKindMask kInt = Bit(dkInteger);
constexpr TKindMask kFloat = Bit(dkFloat);

const TBuiltin kBuiltins[] = {
    {"TRUNC", FnTrunc, 1, {kNumberKinds}, kFloat},
    {"ROUND", FnRound, 1, {kNumberKinds}, kFloat},
    {"FRAC", FnFrac, 1, {kNumberKinds}, kFloat},
    {"STRTOINT", FnStrToInt, 1, {kText}, kInt},
    {"STRTOFLOAT", FnStrToFloat, 1, {kText}, kFloat},
    {"INTTOSTR", FnIntToStr, 1, {kInt}, kText},
    {"FLOATTOSTR", FnFloatToStr, 1, {kFloat}, kText},
    {"UPPER", FnUpper, 1, {kText}, kText},
    {"LOWER", FnLower, 1, {kText}, kText},
    {"FIELD", FnField, 1, {kText}, 0},
    {"POS", FnPos, 2, {kText, kText}, kInt},
    {"POSSTR", FnPos, 2, {kText, kText}, kInt},
    {"POSTEXT", FnPosText, 2, {kText, kText}, kInt},
    {"COPY", FnCopy, 3, {kText, kInt, kInt}, kText},
    {"TRIM", FnTrim, 1, {kText}, kText},
};

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x != y && UpperByte(x) != UpperByte(y)) return false;
  }
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$'; }
bool IsWordChar(char c) { return IsWordStart(c) || IsDigit(c); }

// Parentheses and function calls nest at most this deep, so that no text can exhaust the stack.
constexpr int kMaxDepth = 200;

// opOperatorConstant applies an operator whose right operand is a constant held in the op;
// opFieldOperatorConstant pushes `field op constant`.
enum TOpCode : Byte { opConstant, opField, opOperator, opOperatorConstant, opFieldOperatorConstant, opCall };

constexpr Integer kNoBuffer = -1;
constexpr Integer kBufferSize = DbMaxText + 1;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Parser data

struct TDsDbParser::TToken {
  TDbKind Kind = dkNone;
  Integer Index = -1;  // field or function
  TDbValue Value;      // constants
};

struct TDsDbParser::TOp {
  TOpCode Code = opConstant;
  TDbKind Operator = dkNone;
  // A comparison with a number constant: a number operand compares with Number directly.
  bool NumberComparison = false;
  Integer Index = -1;     // field slot or function
  Integer ArgCount = 0;
  Integer Buffer = kNoBuffer;  // offset in FBuffers of a text result
  // A text field "=" a text constant: the characters before the constant's first "*", which
  // any text that matches begins with.
  Integer Anchor = 0;
  double Number = 0;           // a number constant as a double
  TDbValue Value;              // constants
};

// A field that the expression reads: decoded at most once per evaluation.
struct TDsDbParser::TFieldSlot {
  Integer Field = -1;
  TDbKind Kind = dkNone;
  Integer Buffer = kNoBuffer;  // offset in FBuffers for a text field
  UInt64 Evaluation = 0;       // the evaluation that read Value
  TDbValue Value;
};

struct TDsDbParser::TFunction {
  AnsiString Name;
  Integer ArgCount = 0;
  TDbFunctionHandler Handler = nullptr;
  std::array<TKindMask, 3> Args{kValueKinds, kValueKinds, kValueKinds};
  TKindMask Result = kValueKinds;  // 0: the kind of the field FIELD names
};

// Recursive descent over the tokens that emits the postfix program and works out which kinds
// each part can yield; a part that can yield no kind at all refuses the text.
class TDsDbParser::TCompiler {
 public:
  explicit TCompiler(TDsDbParser& parser) : P(parser) {}

  bool Run() {
    TKindMask kinds = 0;
    if (!Expression(0, kinds)) return false;
    // Surplus closing parentheses at the end are tolerated; anything else after the
    // expression is an error.
    while (Current() == dkClose) ++FPos;
    return Current() == dkNone;
  }

  Integer MaxDepth() const { return FMaxDepth; }
  Integer BufferCount() const { return FBuffers; }

 private:
  TDbKind Current() const { return P.FTokens[FPos].Kind; }

  // The slot of a field, shared by every mention of it.
  Integer Slot(Integer field, TDbKind kind) {
    for (std::size_t i = 0; i < P.FFieldSlots.size(); ++i)
      if (P.FFieldSlots[i].Field == field) return static_cast<Integer>(i);
    TFieldSlot slot;
    slot.Field = field;
    slot.Kind = kind;
    if (kind == dkText) slot.Buffer = FBuffers++ * kBufferSize;
    P.FFieldSlots.push_back(slot);
    return static_cast<Integer>(P.FFieldSlots.size() - 1);
  }

  void Emit(TOp op, Integer stackChange, bool textResult) {
    if (textResult) op.Buffer = FBuffers++ * kBufferSize;
    P.FProgram.push_back(op);
    FDepth += stackChange;
    FMaxDepth = std::max(FMaxDepth, FDepth);
  }

  bool Expression(int depth, TKindMask& kinds) {
    if (!Term(depth, kinds)) return false;
    while (IsExpressionOperator(Current())) {
      const TDbKind op = Current();
      ++FPos;
      TKindMask right = 0;
      if (!Term(depth, right) || !Combine(op, kinds, right)) return false;
    }
    const TDbKind k = Current();
    return k == dkNone || k == dkClose || k == dkComma;
  }

  bool Term(int depth, TKindMask& kinds) {
    if (!Factor(depth, kinds)) return false;
    while (Current() == dkMultiply || Current() == dkDivide) {
      const TDbKind op = Current();
      ++FPos;
      TKindMask right = 0;
      if (!Factor(depth, right) || !Combine(op, kinds, right)) return false;
    }
    return true;
  }

  bool Combine(TDbKind op, TKindMask& kinds, TKindMask right) {
    kinds = ResultKinds(op, kinds, right);
    if (!kinds) return false;
    TOp o;
    o.Code = opOperator;
    o.Operator = op;
    if (P.FProgram.back().Code == opConstant) {
      // The right operand is a constant: fold it into the operator.
      o.Code = opOperatorConstant;
      o.Value = P.FProgram.back().Value;
      P.FProgram.pop_back();
      FDepth -= 1;
      if (IsNumber(o.Value.Kind)) {
        o.Number = NumberOf(o.Value);
        o.NumberComparison = IsComparison(op);
      }
      if (P.FProgram.back().Code == opField) {
        // ... and the left one a field, which is then its whole left operand.
        o.Code = opFieldOperatorConstant;
        o.Index = P.FProgram.back().Index;
        if (op == dkEqual && o.Value.Kind == dkText && P.FFieldSlots[std::size_t(o.Index)].Kind == dkText)
          o.Anchor = Integer(std::min(o.Value.GetText().find('*'), o.Value.GetText().size()));
        P.FProgram.pop_back();
        FDepth -= 1;
        Emit(o, 1, (kinds & kText) != 0);
        return true;
      }
      Emit(o, 0, (kinds & kText) != 0);
      return true;
    }
    Emit(o, -1, (kinds & kText) != 0);
    return true;
  }

  bool Factor(int depth, TKindMask& kinds) {
    if (depth >= kMaxDepth) return false;
    const TToken& t = P.FTokens[FPos];
    switch (t.Kind) {
      case dkOpen: {
        ++FPos;
        if (!Expression(depth + 1, kinds) || Current() != dkClose) return false;
        ++FPos;
        return true;
      }
      case dkFunction:
        ++FPos;
        return Call(depth, t.Index, kinds);
      case dkField: {
        ++FPos;
        const TDbKind kind = FieldKind(P.FSource->GetFilterFieldType(t.Index));
        if (kind == dkNone) return false;
        kinds = Bit(kind) | Bit(dkNull);
        TOp o;
        o.Code = opField;
        o.Index = Slot(t.Index, kind);
        Emit(o, 1, false);
        return true;
      }
      case dkText:
      case dkBoolean:
      case dkInteger:
      case dkFloat:
      case dkNull: {
        ++FPos;
        kinds = Bit(t.Kind);
        TOp o;
        o.Code = opConstant;
        o.Value = t.Value;
        Emit(o, 1, false);
        return true;
      }
      default:
        return false;
    }
  }

  bool Call(int depth, Integer function, TKindMask& kinds) {
    const TFunction& f = P.FFunctions[function];
    if (Current() != dkOpen) return false;
    ++FPos;
    const std::size_t start = P.FProgram.size();
    for (Integer i = 0; i < f.ArgCount; ++i) {
      if (i > 0) {
        if (Current() != dkComma) return false;
        ++FPos;
      }
      TKindMask arg = 0;
      if (!Expression(depth + 1, arg)) return false;
      const TKindMask accepted = i < 3 ? f.Args[std::size_t(i)] : kValueKinds;
      if (!(arg & accepted)) return false;
    }
    if (Current() != dkClose) return false;
    ++FPos;
    kinds = f.Result;
    if (!kinds) {
      // FIELD: a constant name gives the field's kind; a computed one may give any.
      kinds = kValueKinds & ~Bit(dkNull);
      if (P.FProgram.size() == start + 1 && P.FProgram[start].Code == opConstant) {
        const Integer field = P.FindField(P.FProgram[start].Value.GetText());
        if (field < 0) return false;
        const TDbKind kind = FieldKind(P.FSource->GetFilterFieldType(field));
        if (kind == dkNone) return false;
        kinds = Bit(kind);
      }
    }
    TOp o;
    o.Code = opCall;
    o.Index = function;
    o.ArgCount = f.ArgCount;
    // Every call gets a text buffer: FIELD reads text fields into it.
    Emit(o, 1 - f.ArgCount, true);
    return true;
  }

  TDsDbParser& P;
  std::size_t FPos = 0;
  Integer FDepth = 0;
  Integer FMaxDepth = 0;
  Integer FBuffers = 0;
};

// ---------------------------------------------------------------------------------------------
// TDsDbParser

TDsDbParser::TDsDbParser(IDbFilterSource* source) : FSource(source) {
  for (const TBuiltin& b : kBuiltins) {
    RegisterFunction(b.Name, b.ArgCount, b.Handler);
    TFunction& f = FFunctions.back();
    f.Args = b.Args;
    f.Result = b.Result;
  }
}

TDsDbParser::TDsDbParser(TDsCustomHandle* handle)
    : TDsDbParser(static_cast<IDbFilterSource*>(nullptr)) {
  FHandleSource = std::make_unique<TDsHandleFilterSource>(handle);
  FSource = FHandleSource.get();
}

TDsDbParser::~TDsDbParser() = default;

void TDsDbParser::SetText(const AnsiString& value) {
  if (value == FText) return;
  FText = value;
  FTokenized = false;
}

Integer TDsDbParser::FindField(std::string_view name) const {
  return FSource ? FSource->FindFilterField(name) : -1;
}

Integer TDsDbParser::FindFunction(std::string_view name) const {
  for (std::size_t i = 0; i < FFunctions.size(); ++i)
    if (SameWord(FFunctions[i].Name, name)) return static_cast<Integer>(i);
  return -1;
}

void TDsDbParser::RegisterFunction(std::string_view name, Integer argCount, TDbFunctionHandler handler) {
  TFunction f;
  f.Name = AnsiString(name.substr(0, 64));
  f.ArgCount = std::clamp<Integer>(argCount, 0, 255);
  f.Handler = handler;
  const Integer existing = FindFunction(f.Name);
  if (existing >= 0) FFunctions[std::size_t(existing)] = std::move(f);
  else FFunctions.push_back(std::move(f));
  FTokenized = false;
}

std::vector<TDbKind> TDsDbParser::GetTokenKinds() const {
  std::vector<TDbKind> kinds;
  for (const TToken& t : FTokens) kinds.push_back(t.Kind);
  return kinds;
}

bool TDsDbParser::TokenizeText() {
  FTokens.clear();
  const std::string_view s = FText;
  const std::size_t n = s.size();
  auto add = [this](TDbKind kind) { FTokens.push_back(TToken{kind, -1, {}}); };
  std::size_t i = 0;
  while (i < n) {
    const char c = s[i];
    const char next = i + 1 < n ? s[i + 1] : '\0';
    switch (c) {
      case '(': add(dkOpen); ++i; continue;
      case ')': add(dkClose); ++i; continue;
      case ',': add(dkComma); ++i; continue;
      case '+': add(dkPlus); ++i; continue;
      case '*': add(dkMultiply); ++i; continue;
      case '/': add(dkDivide); ++i; continue;
      case '=': add(dkEqual); ++i; continue;
      case '<':
        if (next == '=') { add(dkLessEqual); i += 2; }
        else if (next == '>') { add(dkNotEqual); i += 2; }
        else { add(dkLess); ++i; }
        continue;
      case '>':
        if (next == '=') { add(dkGreaterEqual); i += 2; }
        else { add(dkGreater); ++i; }
        continue;
      case '!':
        // Only "!=" means something.
        if (next != '=') return false;
        add(dkNotEqual);
        i += 2;
        continue;
      default:
        break;
    }
    bool negative = false;
    if (c == '-') {
      const bool signPosition = i == 0 || s[i - 1] == '<' || s[i - 1] == '=' || s[i - 1] == '>';
      if (!signPosition) { add(dkMinus); ++i; continue; }
      // A sign belongs to the number that directly follows it and to nothing else.
      if (!IsDigit(next)) return false;
      negative = true;
      ++i;
    }
    const char d = s[i];
    if (IsDigit(d)) {
      std::size_t j = i;
      bool point = false;
      while (j < n && (IsDigit(s[j]) || s[j] == '.')) point |= s[j++] == '.';
      const std::string_view digits = s.substr(i, j - i);
      TToken t;
      if (point) {
        double v = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
        if (ec != std::errc() || end != digits.data() + digits.size()) return false;
        t.Kind = dkFloat;
        t.Value.AsFloat = negative ? -v : v;
      } else {
        Int64 v = 0;
        for (char ch : digits) {
          v = v * 10 + (ch - '0');
          if (v > Int64(std::numeric_limits<Integer>::max()) + 1) return false;
        }
        if (negative) v = -v;
        if (v > std::numeric_limits<Integer>::max()) return false;
        t.Kind = dkInteger;
        t.Value.AsInteger = static_cast<Integer>(v);
      }
      t.Value.Kind = t.Kind;
      FTokens.push_back(t);
      i = j;
      continue;
    }
    if (c == '\'') {
      // No escapes; an unterminated text runs to the end.
      const std::size_t close = s.find('\'', i + 1);
      const std::size_t end = close == std::string_view::npos ? n : close;
      TToken t;
      t.Kind = dkText;
      ::SetText(t.Value, s.data() + i + 1, end - i - 1);
      FTokens.push_back(t);
      i = close == std::string_view::npos ? n : close + 1;
      continue;
    }
    if (IsWordStart(c)) {
      std::size_t j = i + 1;
      while (j < n && IsWordChar(s[j])) ++j;
      const std::string_view word = s.substr(i, j - i);
      i = j;
      TToken t;
      if (SameWord(word, "TRUE") || SameWord(word, "FALSE")) {
        t.Kind = dkBoolean;
        SetBoolean(t.Value, SameWord(word, "TRUE"));
      } else if (SameWord(word, "NULL")) {
        t.Kind = t.Value.Kind = dkNull;
      } else if (SameWord(word, "AND")) {
        t.Kind = dkAnd;
      } else if (SameWord(word, "OR")) {
        t.Kind = dkOr;
      } else if (SameWord(word, "XOR")) {
        t.Kind = dkXor;
      } else if (SameWord(word, "NOT")) {
        t.Kind = dkNot;
      } else if ((t.Index = FindField(word)) >= 0) {
        t.Kind = dkField;
      } else if ((t.Index = FindFunction(word)) >= 0) {
        t.Kind = dkFunction;
      } else {
        return false;  // a word that names nothing
      }
      FTokens.push_back(t);
      continue;
    }
    // Blanks and control characters separate tokens; any other character is an error.
    if (static_cast<unsigned char>(c) <= ' ') { ++i; continue; }
    return false;
  }
  return true;
}

bool TDsDbParser::Compile() {
  FProgram.clear();
  FFieldSlots.clear();
  TCompiler compiler(*this);
  if (!compiler.Run()) return false;
  FStack.assign(std::size_t(std::max(compiler.MaxDepth(), 1)), TDbValue{});
  FBuffers.assign(std::size_t(compiler.BufferCount()) * kBufferSize, 0);
  SplitConjuncts();
  return true;
}

// AND yields a value only for two Booleans, and True only when both are True; a part without
// a value leaves the whole without one. So the whole is True exactly when every operand of the
// top-level AND chain is True, whatever the order in which they are evaluated, and the first
// one that is not True rejects the record.
void TDsDbParser::SplitConjuncts() {
  FConjuncts.clear();
  FAcceptsNothing = false;
  // Where the subexpression that ends with each op starts, and where a binary operator's
  // right operand starts.
  const std::size_t n = FProgram.size();
  std::vector<Integer> start(n), rightStart(n, -1), open;
  for (std::size_t i = 0; i < n; ++i) {
    const TOp& op = FProgram[i];
    Integer s = Integer(i);
    switch (op.Code) {
      case opOperator:
        rightStart[i] = open.back();
        open.pop_back();
        s = open.back();
        open.pop_back();
        break;
      case opOperatorConstant:
        s = open.back();
        open.pop_back();
        break;
      case opCall:
        for (Integer a = 0; a < op.ArgCount; ++a) {
          s = open.back();
          open.pop_back();
        }
        break;
      default:
        break;
    }
    start[i] = s;
    open.push_back(s);
  }
  // The operands of the chain in the order of the text.
  std::vector<Integer> ends{Integer(n)};
  while (!ends.empty()) {
    const Integer end = ends.back();
    ends.pop_back();
    const TOp& root = FProgram[std::size_t(end - 1)];
    if (root.Operator == dkAnd && root.Code == opOperator) {
      ends.push_back(end - 1);
      ends.push_back(rightStart[std::size_t(end - 1)]);
    } else if (root.Operator == dkAnd && root.Code == opOperatorConstant) {
      const TDbValue& c = root.Value;
      if (c.Kind != dkBoolean || !c.AsBoolean) FAcceptsNothing = true;
      ends.push_back(end - 1);
    } else {
      FConjuncts.push_back(TConjunct{start[std::size_t(end - 1)], end});
    }
  }
}

bool TDsDbParser::Tokenize() {
  if (FTokenized) return FValid;
  FRecordTestBuilt = false;
  const bool tokenized = TokenizeText();
  if (!tokenized) FTokens.clear();
  FTokens.push_back(TToken{});  // the end
  FValid = tokenized && Compile();
  if (!FValid) {
    FProgram.clear();
    FFieldSlots.clear();
    FConjuncts.clear();
    FStack.clear();
    FBuffers.clear();
  }
  FTokenized = true;
  return FValid;
}

void TDsDbParser::Check() {
  if (!Tokenize()) throw Exception(SInvalidFilterExpression);
}

bool TDsDbParser::ReadField(Integer field, char* buffer, TDbValue& value) const {
  return ReadField(field, FieldKind(FSource->GetFilterFieldType(field)), buffer, value);
}

bool TDsDbParser::ReadField(Integer field, TDbKind kind, char* buffer, TDbValue& value) const {
  if (kind == dkNone) return false;
  TDbFieldData data;
  data.Text = buffer;
  if (!FSource->GetFilterFieldData(field, data)) {
    value.Kind = dkNull;
    return true;
  }
  value.Kind = kind;
  switch (kind) {
    case dkText:
      ::SetText(value, buffer, std::size_t(std::clamp<Integer>(data.TextLength, 0, DbMaxText)));
      break;
    case dkInteger: value.AsInteger = data.AsInteger; break;
    case dkBoolean: value.AsBoolean = data.AsBoolean; break;
    default: value.AsFloat = data.AsFloat; break;
  }
  return true;
}

inline const TDbValue& TDsDbParser::FieldValue(Integer slotIndex) {
  // The record does not change during an evaluation: each field is decoded once.
  TFieldSlot& slot = FFieldSlots[std::size_t(slotIndex)];
  if (slot.Evaluation != FEvaluation) {
    ReadField(slot.Field, slot.Kind, slot.Buffer == kNoBuffer ? nullptr : FBuffers.data() + slot.Buffer,
              slot.Value);
    slot.Evaluation = FEvaluation;
  }
  return slot.Value;
}

// A null field matches no pattern, so "=" gives False for it as for a text that differs.
bool TDsDbParser::RejectedByBytes(const TOp& op) const {
  const TFieldSlot& slot = FFieldSlots[std::size_t(op.Index)];
  TDbFieldBytes stored;
  if (slot.Evaluation == FEvaluation || !FSource->GetFilterFieldBytes(slot.Field, stored)) return false;
  const char* pattern = op.Value.Text;
  const Integer n = std::min(op.Anchor, stored.Length);
  const bool caseInsensitive = FOptions & dpoCaseInsensitive;
  for (Integer i = 0; i < n; ++i) {
    if (pattern[i] == '?') continue;
    const Byte b = stored.Table ? stored.Table[stored.Bytes[i]] : stored.Bytes[i];
    const Byte p = static_cast<Byte>(pattern[i]);
    if (caseInsensitive ? UpperByte(b) != UpperByte(p) : b != p) return true;
  }
  return false;
}

const TDbValue* TDsDbParser::Run(Integer begin, Integer end) {
  TDbValue* sp = FStack.data();
  char* buffers = FBuffers.data();
  const TOp* const last = FProgram.data() + end;
  for (const TOp* op = FProgram.data() + begin; op != last; ++op) {
    switch (op->Code) {
      case opConstant:
        *sp++ = op->Value;
        break;
      case opField:
        *sp++ = FieldValue(op->Index);
        break;
      case opFieldOperatorConstant: {
        if (op->Anchor > 0 && !(FOptions & dpoNoPartialCompare) && RejectedByBytes(*op)) {
          SetBoolean(*sp++, false);
          break;
        }
        const TDbValue& field = FieldValue(op->Index);
        if (op->NumberComparison && IsNumber(field.Kind)) {
          // Two numbers compare as doubles (exact for 32-bit integers).
          SetBoolean(*sp++, Compare(op->Operator, NumberOf(field), op->Number));
          break;
        }
        *sp = field;
        if (!ApplyOperator(op->Operator, *sp, op->Value,
                           op->Buffer == kNoBuffer ? nullptr : buffers + op->Buffer, FOptions))
          return nullptr;
        ++sp;
        break;
      }
      case opOperatorConstant:
        if (op->NumberComparison && IsNumber(sp[-1].Kind)) {
          SetBoolean(sp[-1], Compare(op->Operator, NumberOf(sp[-1]), op->Number));
          break;
        }
        if (!ApplyOperator(op->Operator, sp[-1], op->Value,
                           op->Buffer == kNoBuffer ? nullptr : buffers + op->Buffer, FOptions))
          return nullptr;
        break;
      case opOperator:
        --sp;
        if (!ApplyOperator(op->Operator, sp[-1], *sp,
                           op->Buffer == kNoBuffer ? nullptr : buffers + op->Buffer, FOptions))
          return nullptr;
        break;
      case opCall: {
        sp -= op->ArgCount;
        TDbValue result;
        const TDbFunctionCall call(*this, sp, op->ArgCount, buffers + op->Buffer);
        FFunctions[std::size_t(op->Index)].Handler(call, result);
        if (result.Kind == dkNone) return nullptr;
        *sp++ = result;
        break;
      }
    }
  }
  return FStack.data();
}

const TDbValue& TDsDbParser::Evaluate() {
  Tokenize();
  FResult = TDbValue{};
  if (!FValid) return FResult;
  ++FEvaluation;
  if (const TDbValue* value = Run(0, Integer(FProgram.size()))) FResult = *value;
  return FResult;
}

bool TDsDbParser::Accept() {
  if (!Tokenize() || FAcceptsNothing) return false;
  ++FEvaluation;
  for (const TConjunct& c : FConjuncts) {
    const TDbValue* value = Run(c.Begin, c.End);
    if (!value || value->Kind != dkBoolean || !value->AsBoolean) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// The record test

namespace {

// Operations applied to a number field before it is compared, at most.
constexpr int kMaxRecordSteps = 4;
// Distinct number fields one test reads (each read once per record), at most.
constexpr int kMaxRecordNumbers = 32;
// Depth of the AND/OR nesting of one operand, at most.
constexpr int kMaxRecordDepth = 32;

}  // namespace

// The program of the record test: the tested operands of the AND chain in postfix, each
// yielding "surely not True" (False or no value) or "cannot tell". AND is surely not True
// when either side is; OR only when both are.
struct TDsDbParser::TRecordTest {
  enum TKind : Byte { rkNumber, rkPrefix, rkAnd, rkOr };
  struct TNode {
    TKind Kind = rkAnd;
    TDbKind Compare = dkNone;  // rkNumber: the comparison with Value
    Byte Steps = 0;            // rkNumber: operations before the comparison
    Byte Number = 0;           // rkNumber: index in Numbers
    std::array<TDbKind, kMaxRecordSteps> StepOps{};
    std::array<double, kMaxRecordSteps> StepValues{};
    double Value = 0;
    // rkNumber without steps: by the number's decimals, bounds of its scaled whole number
    // (DbfReadPlainDecimal) below and above which it is surely less and greater than Value.
    std::array<double, 16> Below{}, Above{};
    bool RejectsBelow = false, RejectsAbove = false;
    Integer Offset = 0;        // rkPrefix: the field's bytes
    Integer Length = 0;        // rkPrefix: characters tested
    std::size_t Mask = 0;      // rkPrefix: offset in Masks of Length tables of 256 bytes
  };
  struct TNumber {
    Integer Offset = 0;
    Integer Length = 0;
  };
  std::vector<TNode> Nodes;
  std::vector<Integer> Ends;  // where each tested operand ends in Nodes
  std::vector<TNumber> Numbers;
  // Per prefix character: 1 for every stored byte that the pattern's character admits.
  std::vector<Byte> Masks;
  // Every operand is a single comparison (no AND or OR inside).
  bool Leaves = false;

  // The operands that compare one number field, as it reads, with a constant ("=", "<", ">",
  // "<=", ">="), taken out of Nodes: each lets through the readings whose scaled whole number
  // lies in one interval for each count of decimals, and those of one field are met together,
  // so a record is tested by one reading and one comparison per field.
  struct TRange {
    Integer Offset = 0;
    Integer Length = 0;
    // By decimals: the scaled numbers let through are Low .. Low + Span.
    std::array<Int64, 16> Low{};
    std::array<UInt64, 16> Span{};
  };
  std::vector<TRange> Ranges;

  bool RangesReject(const Byte* record) const {
    for (const TRange& r : Ranges) {
      Int64 scaled;
      Integer decimals;
      // A reading that is not plain is the codec's to decide.
      if (DbfReadPlainScaled(record + r.Offset, r.Length, scaled, decimals) &&
          UInt64(scaled - r.Low[std::size_t(decimals)]) > r.Span[std::size_t(decimals)])
        return true;
    }
    return false;
  }

  // Largest scaled number a plain reading gives (15 digits).
  static constexpr Int64 kMaxScaled = 999999999999999;

  // The scaled numbers s of `decimals` whose reading s / 10^decimals compares with the node's
  // Value as the node asks: [low, high], empty when low > high. The reading grows with s, so
  // each end is found by halving.
  static void Interval(const TNode& n, std::size_t decimals, Int64& low, Int64& high) {
    const double power = DbfDecimalPowers[decimals];
    auto reading = [power](Int64 s) { return double(s) / power; };
    // The first s of [a, b] where a predicate that turns from false to true holds; b + 1 if none.
    auto first = [](Int64 a, Int64 b, auto holds) {
      while (a <= b) {
        const Int64 m = a + (b - a) / 2;
        if (holds(m)) b = m - 1;
        else a = m + 1;
      }
      return a;
    };
    const double v = n.Value;
    low = -kMaxScaled;
    high = kMaxScaled;
    switch (n.Compare) {
      case dkGreater: low = first(-kMaxScaled, kMaxScaled, [&](Int64 s) { return reading(s) > v; }); break;
      case dkGreaterEqual: low = first(-kMaxScaled, kMaxScaled, [&](Int64 s) { return reading(s) >= v; }); break;
      case dkLess: high = first(-kMaxScaled, kMaxScaled, [&](Int64 s) { return !(reading(s) < v); }) - 1; break;
      case dkLessEqual: high = first(-kMaxScaled, kMaxScaled, [&](Int64 s) { return !(reading(s) <= v); }) - 1; break;
      default:  // dkEqual
        low = first(-kMaxScaled, kMaxScaled, [&](Int64 s) { return reading(s) >= v; });
        high = first(-kMaxScaled, kMaxScaled, [&](Int64 s) { return reading(s) > v; }) - 1;
        break;
    }
  }

  // Takes the single comparisons that ranges can test out of Nodes into Ranges.
  void MakeRanges() {
    std::vector<TNode> rest;
    std::vector<Integer> restEnds;
    Integer begin = 0;
    for (const Integer end : Ends) {
      const TNode& n = Nodes[std::size_t(begin)];
      if (end - begin == 1 && n.Kind == rkNumber && n.Steps == 0 && n.Compare != dkNotEqual) {
        const TNumber& number = Numbers[n.Number];
        auto it = std::find_if(Ranges.begin(), Ranges.end(), [&](const TRange& r) {
          return r.Offset == number.Offset && r.Length == number.Length;
        });
        if (it == Ranges.end()) {
          TRange r;
          r.Offset = number.Offset;
          r.Length = number.Length;
          r.Low.fill(-kMaxScaled);
          r.Span.fill(UInt64(2 * kMaxScaled));
          Ranges.push_back(r);
          it = Ranges.end() - 1;
        }
        for (std::size_t d = 0; d < it->Low.size(); ++d) {
          Int64 low = 0, high = 0;
          Interval(n, d, low, high);
          low = std::max(low, it->Low[d]);
          high = std::min(high, it->Low[d] + Int64(it->Span[d]));
          if (low > high) low = high = kMaxScaled + 1;  // nothing a reading gives
          it->Low[d] = low;
          it->Span[d] = UInt64(high - low);
        }
      } else {
        rest.insert(rest.end(), Nodes.begin() + begin, Nodes.begin() + end);
        restEnds.push_back(Integer(rest.size()));
      }
      begin = end;
    }
    Nodes = std::move(rest);
    Ends = std::move(restEnds);
    Leaves = !Ends.empty() && Ends.back() == Integer(Ends.size());
  }

  bool PrefixRejects(const TNode& n, const Byte* record) const {
    const Byte* bytes = record + n.Offset;
    const Byte* mask = Masks.data() + n.Mask;
    for (Integer i = 0; i < n.Length; ++i, mask += 256)
      if (!mask[bytes[i]]) return true;
    return false;
  }

  // Sets the bounds of a comparison without steps. A scaled number s and its value
  // x = s / 10^d (rounded): when s lies below Value * 10^d by a margin far beyond the rounding
  // of both products, x is below Value, and so above; near the bound only x tells.
  static void SetBounds(TNode& n) {
    for (std::size_t d = 0; d < n.Below.size(); ++d) {
      const double bound = n.Value * DbfDecimalPowers[d];
      const double margin = std::fabs(bound) * 1e-9;
      n.Below[d] = bound - margin;  // NaN for an infinite bound: then x always decides
      n.Above[d] = bound + margin;
    }
    n.RejectsBelow = !Holds(n.Compare, -1);
    n.RejectsAbove = !Holds(n.Compare, 1);
  }

  static bool Holds(TDbKind op, int order) {
    switch (op) {
      case dkEqual: return order == 0;
      case dkNotEqual: return order != 0;
      case dkGreater: return order > 0;
      case dkLess: return order < 0;
      case dkGreaterEqual: return order >= 0;
      default: return order <= 0;
    }
  }

  // The numbers of one record, each read on first use.
  struct TRead {
    double Scaled[kMaxRecordNumbers];
    Integer Decimals[kMaxRecordNumbers];
    std::uint32_t Read = 0, Plain = 0;
  };

  bool NumberRejects(const TNode& node, const Byte* record, TRead& r) const {
    const std::uint32_t bit = std::uint32_t(1) << node.Number;
    if (!(r.Read & bit)) {
      r.Read |= bit;
      const TNumber& f = Numbers[node.Number];
      if (DbfReadPlainDecimal(record + f.Offset, f.Length, r.Scaled[node.Number], r.Decimals[node.Number]))
        r.Plain |= bit;
    }
    if (!(r.Plain & bit)) return false;  // only the codec can read it
    const double s = r.Scaled[node.Number];
    const Integer d = r.Decimals[node.Number];
    if (node.Steps == 0) {
      if (s < node.Below[std::size_t(d)]) return node.RejectsBelow;
      if (s > node.Above[std::size_t(d)]) return node.RejectsAbove;
    }
    // The value as the field's reading gives it, then the interpreter's arithmetic of a
    // floating-point field with number constants.
    double v = s / DbfDecimalPowers[d];
    for (Byte k = 0; k < node.Steps; ++k) {
      const double c = node.StepValues[k];
      switch (node.StepOps[k]) {
        case dkPlus: v = v + c; break;
        case dkMinus: v = v - c; break;
        case dkMultiply: v = v * c; break;
        default:
          if (c == 0) return true;  // no value
          v = v / c;
          break;
      }
    }
    return !::Compare(node.Compare, v, node.Value);
  }

  bool Rejects(const Byte* record) const {
    if (!Ranges.empty() && RangesReject(record)) return true;
    TRead read;
    if (Leaves) {
      // Every operand one comparison: the first that rejects decides.
      for (const TNode& node : Nodes)
        if (node.Kind == rkPrefix ? PrefixRejects(node, record) : NumberRejects(node, record, read)) return true;
      return false;
    }
    bool stack[kMaxRecordDepth];
    const TNode* node = Nodes.data();
    for (const Integer end : Ends) {
      int sp = 0;
      for (const TNode* const last = Nodes.data() + end; node != last; ++node) {
        switch (node->Kind) {
          case rkNumber:
            stack[sp++] = NumberRejects(*node, record, read);
            break;
          case rkPrefix:
            stack[sp++] = PrefixRejects(*node, record);
            break;
          case rkAnd:
            --sp;
            stack[sp - 1] = stack[sp - 1] || stack[sp];
            break;
          case rkOr:
            --sp;
            stack[sp - 1] = stack[sp - 1] && stack[sp];
            break;
        }
      }
      if (stack[0]) return true;
    }
    return false;
  }
};

namespace {

constexpr bool IsArithmetic(TDbKind op) { return op >= dkPlus && op <= dkDivide; }

}  // namespace

void TDsDbParser::BuildRecordTest() {
  FRecordTestBuilt = true;
  FRecordTestOptions = FOptions;
  FRecordTest.reset();
  if (!FValid || FAcceptsNothing || !FSource) return;
  auto test = std::make_unique<TRecordTest>();
  using TNode = TRecordTest::TNode;
  // What each value of the program's stack is to the test.
  enum TEntryKind : Byte { ekOther, ekTest, ekArithmetic };
  struct TEntry {
    TEntryKind Kind = ekOther;
    TNode Node;  // ekArithmetic: the number and its operations so far
  };
  auto layoutOf = [this](Integer slot, TDbFieldLayout& layout) {
    const TFieldSlot& s = FFieldSlots[std::size_t(slot)];
    layout = TDbFieldLayout{};
    return FSource->GetFilterFieldLayout(s.Field, layout) && layout.Length > 0 &&
           layout.Number == (s.Kind == dkFloat) && (layout.Number || s.Kind == dkText);
  };
  auto numberOf = [&test](const TDbFieldLayout& layout) -> Integer {
    for (std::size_t i = 0; i < test->Numbers.size(); ++i)
      if (test->Numbers[i].Offset == layout.Offset && test->Numbers[i].Length == layout.Length)
        return Integer(i);
    if (test->Numbers.size() >= std::size_t(kMaxRecordNumbers)) return -1;
    test->Numbers.push_back({layout.Offset, layout.Length});
    return Integer(test->Numbers.size() - 1);
  };
  const bool caseInsensitive = FOptions & dpoCaseInsensitive;
  for (const TConjunct& c : FConjuncts) {
    const std::size_t nodes = test->Nodes.size(), masks = test->Masks.size(), numbers = test->Numbers.size();
    std::vector<TEntry> stack;
    bool call = false;
    for (Integer i = c.Begin; i < c.End && !call; ++i) {
      const TOp& op = FProgram[std::size_t(i)];
      TEntry entry;
      switch (op.Code) {
        case opConstant:
        case opField:
          stack.push_back(entry);
          break;
        case opFieldOperatorConstant: {
          TDbFieldLayout layout;
          const bool laidOut = layoutOf(op.Index, layout);
          if (!laidOut) {
            // Read only by the source's decoding.
          } else if (layout.Number && IsNumber(op.Value.Kind) &&
                     (op.NumberComparison || IsArithmetic(op.Operator))) {
            const Integer number = numberOf(layout);
            if (number >= 0) {
              entry.Node.Kind = TRecordTest::rkNumber;
              entry.Node.Number = Byte(number);
              if (op.NumberComparison) {
                entry.Kind = ekTest;
                entry.Node.Compare = op.Operator;
                entry.Node.Value = op.Number;
                TRecordTest::SetBounds(entry.Node);
                test->Nodes.push_back(entry.Node);
              } else {
                entry.Kind = ekArithmetic;
                entry.Node.StepOps[0] = op.Operator;
                entry.Node.StepValues[0] = op.Number;
                entry.Node.Steps = 1;
              }
            }
          } else if (!layout.Number && op.Operator == dkEqual && op.Anchor > 0 &&
                     !(FOptions & dpoNoPartialCompare)) {
            // As RejectedByBytes: the pattern's leading characters against the stored bytes.
            entry.Kind = ekTest;
            entry.Node.Kind = TRecordTest::rkPrefix;
            entry.Node.Offset = layout.Offset;
            entry.Node.Length = std::min(op.Anchor, layout.Length);
            entry.Node.Mask = test->Masks.size();
            for (Integer k = 0; k < entry.Node.Length; ++k) {
              const Byte p = static_cast<Byte>(op.Value.Text[k]);
              for (int b = 0; b < 256; ++b) {
                const Byte t = layout.Table ? layout.Table[b] : Byte(b);
                const bool admits = p == '?' || (caseInsensitive ? UpperByte(t) == UpperByte(p) : t == p);
                test->Masks.push_back(admits ? 1 : 0);
              }
            }
            test->Nodes.push_back(entry.Node);
          }
          stack.push_back(entry);
          break;
        }
        case opOperatorConstant: {
          TEntry& top = stack.back();
          if (top.Kind == ekArithmetic && IsNumber(op.Value.Kind) && op.NumberComparison) {
            top.Kind = ekTest;
            top.Node.Compare = op.Operator;
            top.Node.Value = op.Number;
            test->Nodes.push_back(top.Node);
          } else if (top.Kind == ekArithmetic && IsNumber(op.Value.Kind) && IsArithmetic(op.Operator) &&
                     top.Node.Steps < kMaxRecordSteps) {
            top.Node.StepOps[top.Node.Steps] = op.Operator;
            top.Node.StepValues[top.Node.Steps] = op.Number;
            ++top.Node.Steps;
          } else {
            top = TEntry{};
          }
          break;
        }
        case opOperator: {
          const TEntry right = stack.back();
          stack.pop_back();
          TEntry& left = stack.back();
          if (left.Kind == ekTest && right.Kind == ekTest && (op.Operator == dkAnd || op.Operator == dkOr)) {
            TNode n;
            n.Kind = op.Operator == dkAnd ? TRecordTest::rkAnd : TRecordTest::rkOr;
            test->Nodes.push_back(n);
          } else {
            left = TEntry{};
          }
          break;
        }
        case opCall:
          call = true;
          break;
      }
    }
    // An operand that calls a function ends the test: Accept would call it before it reads
    // the operands after it.
    if (call) {
      test->Nodes.resize(nodes);
      test->Masks.resize(masks);
      test->Numbers.resize(numbers);
      break;
    }
    // Deeper than the evaluation's stack: left to Accept.
    int depth = 0, most = 0;
    for (std::size_t k = nodes; k < test->Nodes.size(); ++k) {
      const auto kind = test->Nodes[k].Kind;
      depth += kind == TRecordTest::rkNumber || kind == TRecordTest::rkPrefix ? 1 : -1;
      most = std::max(most, depth);
    }
    if (stack.size() == 1 && stack.back().Kind == ekTest && most <= kMaxRecordDepth) {
      test->Ends.push_back(Integer(test->Nodes.size()));
    } else {
      test->Nodes.resize(nodes);
      test->Masks.resize(masks);
      test->Numbers.resize(numbers);
    }
  }
  if (test->Ends.empty()) return;
  test->MakeRanges();
  FRecordTest = std::move(test);
}

bool TDsDbParser::HasRecordTest() {
  if (!Tokenize()) return false;
  if (!FRecordTestBuilt || FRecordTestOptions != FOptions) BuildRecordTest();
  return FRecordTest != nullptr;
}

Integer TDsDbParser::SkipRejected(const Byte* records, Integer count, Integer size) {
  if (!HasRecordTest()) return 0;
  const TRecordTest& test = *FRecordTest;
  Integer i = 0;
  if (test.Ends.empty()) {
    // Only ranges: a reading and a comparison per tested field.
    for (; i < count; ++i, records += size)
      if (!test.RangesReject(records)) break;
    return i;
  }
  if (test.Ends[0] == 1 && test.Nodes[0].Kind == TRecordTest::rkPrefix) {
    // A name search: most records differ from the pattern in their first character.
    const Byte* first = test.Masks.data() + test.Nodes[0].Mask;
    const Integer offset = test.Nodes[0].Offset;
    for (; i < count; ++i, records += size)
      if (first[records[offset]] && !test.Rejects(records)) break;
    return i;
  }
  for (; i < count; ++i, records += size)
    if (!test.Rejects(records)) break;
  return i;
}

// ---------------------------------------------------------------------------------------------
// TDbFunctionCall

void TDbFunctionCall::SetTextResult(TDbValue& result, std::string_view text) const {
  SetBufferText(result, FBuffer, text);
}

bool TDbFunctionCall::ReadField(Integer field, TDbValue& value) const {
  return FParser.ReadField(field, FBuffer, value);
}

// ---------------------------------------------------------------------------------------------
// TDsHandleFilterSource

TDsCustomField* TDsHandleFilterSource::Field(Integer index) const {
  const TDsCustomHeader* header = FHandle ? FHandle->GetHeader() : nullptr;
  return header ? header->GetField(index) : nullptr;
}

Integer TDsHandleFilterSource::FindFilterField(std::string_view name) const {
  const TDsCustomHeader* header = FHandle ? FHandle->GetHeader() : nullptr;
  if (!header) return -1;
  for (Integer i = 0; i < header->GetFieldCount(); ++i)
    if (DsSameName(header->GetField(i)->GetName(), name)) return i;
  return -1;
}

TFieldType TDsHandleFilterSource::GetFilterFieldType(Integer field) const {
  const TDsCustomField* f = Field(field);
  if (!f) return ftUnknown;
  Layout(FHandle->GetHeader(), field);  // learnt while checking, so reading allocates nothing
  return f->GetFieldType();
}

inline const TDsHandleFilterSource::TFieldLayout& TDsHandleFilterSource::Layout(
    const TDsCustomHeader* header, Integer field) const {
  if (header != FLayoutHeader || FLayouts.size() != std::size_t(header->GetFieldCount())) Learn(header);
  return FLayouts[std::size_t(field)];
}

void TDsHandleFilterSource::Learn(const TDsCustomHeader* header) const {
  FLayoutHeader = header;
  FLayouts.assign(std::size_t(header->GetFieldCount()), TFieldLayout{});
  for (Integer i = 0; i < header->GetFieldCount(); ++i) {
    const auto* f = dynamic_cast<const TDbfField*>(header->GetField(i));
    if (!f || f->GetHandle() != FHandle || f->GetOffset() + f->GetLength() > header->GetRecordSize())
      continue;
    const char letter = f->GetTypeLetter();
    if ((letter == 'N' || letter == 'F') && f->GetLength() <= DbfMaxNumberText)
      FLayouts[std::size_t(i)] = TFieldLayout{f->GetOffset(), f->GetLength(), true};
    else if (letter == 'C')
      FLayouts[std::size_t(i)] = TFieldLayout{f->GetOffset(), f->GetLength(), false};
  }
}

bool TDsHandleFilterSource::GetFilterFieldBytes(Integer field, TDbFieldBytes& bytes) const {
  const TDsCustomHeader* header = FHandle ? FHandle->GetHeader() : nullptr;
  const Byte* record = FHandle ? FHandle->GetCurrentRecord() : nullptr;
  if (!header || !record || field < 0 || field >= header->GetFieldCount()) return false;
  const TFieldLayout& layout = Layout(header, field);
  if (layout.Length == 0 || layout.Number) return false;
  // The codec's text: the bytes up to a zero or the end, without trailing blanks, translated.
  bytes.Bytes = record + layout.Offset;
  bytes.Length = layout.Length;
  bytes.Table = DsReadTable(FHandle->GetCodePage());
  return true;
}

bool TDsHandleFilterSource::GetFilterFieldLayout(Integer field, TDbFieldLayout& layout) const {
  const TDsCustomHeader* header = FHandle ? FHandle->GetHeader() : nullptr;
  if (!header || field < 0 || field >= header->GetFieldCount()) return false;
  const TFieldLayout& known = Layout(header, field);
  if (known.Length == 0) return false;
  layout.Offset = known.Offset;
  layout.Length = known.Length;
  layout.Number = known.Number;
  layout.Table = known.Number ? nullptr : DsReadTable(FHandle->GetCodePage());
  return true;
}

bool TDsHandleFilterSource::GetFilterFieldData(Integer field, TDbFieldData& data) const {
  const TDsCustomHeader* header = FHandle ? FHandle->GetHeader() : nullptr;
  if (!header || field < 0 || field >= header->GetFieldCount()) return false;
  const TFieldLayout& layout = Layout(header, field);
  const Byte* record = FHandle->GetCurrentRecord();
  if (layout.Number && record && orv::DbfReadPlainNumber(record + layout.Offset, layout.Length, data.AsFloat))
    return true;
  const TDsCustomField* f = header->GetField(field);
  const TFieldType type = f->GetFieldType();
  const Integer size = f->GetDataSize();
  bool isNull = true;
  if (type == ftString || type == ftWideString) {
    char* text = data.Text;
    if (!text || size > DbMaxText + 1) {
      if (FScratch.size() < std::size_t(size) + 1) FScratch.resize(std::size_t(size) + 1);
      text = FScratch.data();
    }
    f->GetData(nullptr, text, isNull);
    if (isNull) return false;
    const std::size_t n = std::min<std::size_t>(strnlen(text, std::size_t(size)), DbMaxText);
    if (data.Text && text != data.Text) std::memcpy(data.Text, text, n);
    data.TextLength = static_cast<Integer>(n);
    return true;
  }
  // Native values (FieldTypes.h) of the types the language reads fit in 8 bytes.
  alignas(8) Byte value[16] = {};
  const bool temporal = type == ftDate || type == ftTime || type == ftDateTime;
  if (size > Integer(sizeof value)) {
    // A native value wider than the codec of this engine writes: ask the typed getters.
    if (f->IsNull()) return false;
    data.AsInteger = f->AsInteger();
    data.AsBoolean = f->AsBoolean();
    data.AsFloat = temporal ? f->AsDateTime() : f->AsFloat();
    return true;
  }
  f->GetData(nullptr, value, isNull);
  if (isNull) return false;
  auto load = [&value](auto v) {
    std::memcpy(&v, value, sizeof v);
    return v;
  };
  switch (type) {
    case ftSmallint: data.AsInteger = load(SmallInt()); break;
    case ftWord: data.AsInteger = load(Word()); break;
    case ftInteger:
    case ftAutoInc: data.AsInteger = load(Integer()); break;
    case ftBoolean: data.AsBoolean = value[0] != 0; break;
    case ftFloat:
    case ftCurrency: data.AsFloat = load(double()); break;
    default: data.AsFloat = temporal ? f->AsDateTime() : f->AsFloat(); break;
  }
  return true;
}
