#include "dbf/DsDbfApi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "dbf/DsDbUtils.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/SysUtils.h"

namespace {

constexpr Byte kBlankByte = 0x20;
constexpr Byte kDescriptorEnd = 0x0D;
constexpr Byte kEndOfFile = 0x1A;
// The time-stamp day number of 31 December 9999, the last day the date routines know.
constexpr Integer kMaxDay = 3652059;
// FoxPro date-times count days from the Julian day 0; this is the Julian day of the time
// stamp's day 0.
constexpr Integer kJulianDayOfDay0 = 1721425;

bool AllBytes(const Byte* p, Integer count, Byte value) {
  for (Integer i = 0; i < count; ++i)
    if (p[i] != value) return false;
  return true;
}

template <typename T>
void Store(void* destination, T value) {
  if (destination) std::memcpy(destination, &value, sizeof value);
}

template <typename T>
T Fetch(const void* value) {
  T result;
  std::memcpy(&result, value, sizeof result);
  return result;
}

// The characters of a number field without the blanks around it (leading blanks are part of
// a right-aligned number; trailing blanks appear when a writer aligned it left).
std::string_view NumberText(const Byte* p, Integer length) {
  Integer n = length < orv::DbfMaxNumberText ? length : orv::DbfMaxNumberText;
  while (n > 0 && p[n - 1] == kBlankByte) --n;
  return {reinterpret_cast<const char*>(p), static_cast<std::size_t>(n)};
}

// The usual number field (blanks, a sign, at most 15 digits around one ".") read directly:
// its digits make an exact integer, `scaled` (with the text's sign), and the number is that
// over 10^decimals. False for any other text.
bool PlainDecimal(std::string_view text, UInt64& mantissa, bool& negative, Integer& decimals) {
  // Read in one pass over the bytes: blanks, a sign, the whole digits, then the decimals.
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end && *p == ' ') ++p;
  negative = false;
  if (p != end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  mantissa = 0;  // wraps harmlessly past 19 digits: more than 15 go through Val
  const char* const digitsStart = p;
  while (p != end && static_cast<unsigned char>(*p - '0') < 10) mantissa = mantissa * 10 + UInt64(*p++ - '0');
  Integer digits = Integer(p - digitsStart);
  decimals = 0;
  if (p != end && *p == '.') {
    const char* const decimalsStart = ++p;
    while (p != end && static_cast<unsigned char>(*p - '0') < 10) mantissa = mantissa * 10 + UInt64(*p++ - '0');
    decimals = Integer(p - decimalsStart);
    if (decimals == 0) return false;  // "12." is Val's to read
    digits += decimals;
  }
  return p == end && digits > 0 && digits <= 15;
}


// The dBASE VII double: big-endian, with the sign bit set for positive numbers and every bit
// inverted for negative ones, so that the bytes sort as the numbers do.
double DecodeSortableDouble(const Byte* p) {
  UInt64 bits = DsGetBigEndian64(p);
  bits = (bits & 0x8000000000000000ull) ? bits & 0x7FFFFFFFFFFFFFFFull : ~bits;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void EncodeSortableDouble(Byte* p, double value) {
  UInt64 bits;
  std::memcpy(&bits, &value, sizeof bits);
  bits = (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
  DsPutBigEndian64(p, bits);
}

// FoxPro's double: 8 bytes little-endian.
double DbfFoxProDouble(const Byte* p) {
  const UInt64 bits = UInt64(DsGetLittleEndian32(p)) | UInt64(DsGetLittleEndian32(p + 4)) << 32;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void PutDbfFoxProDouble(Byte* p, double value) {
  UInt64 bits;
  std::memcpy(&bits, &value, sizeof bits);
  DsPutLittleEndian32(p, LongWord(bits));
  DsPutLittleEndian32(p + 4, LongWord(bits >> 32));
}

// Milliseconds of the first and past the last moment the time-stamp routines accept.
constexpr double kMinMSecs = double(MSecsPerDay);
constexpr double kEndMSecs = double(kMaxDay + 1) * MSecsPerDay;

}  // namespace

namespace {

// The whole number of 8 digit characters, the first the most significant, in a handful of
// multiplications (the digits are 0..9 each, so no product crosses into its neighbour).
std::uint32_t EightDigits(UInt64 word) {
  constexpr UInt64 kLow = 0x000000FF000000FFull;
  word -= 0x3030303030303030ull;
  word = word * 10 + (word >> 8);
  word = ((word & kLow) * (100 + (1000000ull << 32)) + ((word >> 16) & kLow) * (1 + (10000ull << 32))) >> 32;
  return std::uint32_t(word);
}

// The text of at most 8 characters ending the field, digits with at most one "." that has a
// digit after it, read as one word: the last 8 bytes with the blanks and sign before the text
// taken for leading zeros, the point taken out. False where the word is not of that form;
// the byte loop then decides. Needs n >= 8 and 1 <= text <= 8.
bool WordDecimal(const Byte* p, Integer n, Integer text, UInt64& mantissa, Integer& decimals) {
  constexpr UInt64 kZeros = 0x3030303030303030ull, kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  UInt64 word;
  std::memcpy(&word, p + n - 8, sizeof word);
  if (text < 8) {
    const UInt64 keep = ~UInt64(0) << (8 * (8 - text));
    word = (word & keep) | (kZeros & ~keep);
  }
  // The first byte equal to "." is the lowest zero byte of word ^ dots (exact for the lowest).
  const UInt64 dots = word ^ 0x2E2E2E2E2E2E2E2Eull;
  const UInt64 found = (dots - kOnes) & ~dots & kHigh;
  decimals = 0;
  if (found) {
    const int k = __builtin_ctzll(found) / 8;  // the point's byte
    if (k == 7) return false;                  // "12." is Val's to read
    decimals = 7 - k;
    const UInt64 below = k == 0 ? 0 : (~UInt64(0) >> (8 * (8 - k)));
    const UInt64 above = ~UInt64(0) << (8 * (k + 1));
    word = ((word & below) << 8) | (word & above) | 0x30;
  }
  if ((word & 0xF0F0F0F0F0F0F0F0ull) != kZeros || ((word + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) != kZeros)
    return false;
  mantissa = EightDigits(word);
  return true;
}

// A number that ends the field (blanks, a sign, at most 15 digits around one "." with a digit
// after it) in one pass over its bytes, a text of at most 8 characters after the blanks and
// the sign as one word, as PlainDecimal reads the same text; false for any other text,
// trailing blanks included.
bool RightAlignedDecimal(const Byte* p, Integer n, UInt64& mantissa, bool& negative, Integer& decimals) {
  Integer i = 0;
  while (i < n && p[i] == kBlankByte) ++i;
  negative = false;
  if (i < n && (p[i] == '-' || p[i] == '+')) negative = p[i++] == '-';
  if (n >= 8 && n - i >= 1 && n - i <= 8 && WordDecimal(p, n, n - i, mantissa, decimals)) return true;
  mantissa = 0;  // wraps harmlessly past 19 digits: more than 15 are refused
  Integer digits = 0, point = -1;
  for (; i < n; ++i) {
    const unsigned digit = unsigned(p[i]) - '0';
    if (digit <= 9) {
      mantissa = mantissa * 10 + digit;
      ++digits;
    } else if (p[i] == '.' && point < 0) {
      point = i;
    } else {
      return false;
    }
  }
  decimals = point < 0 ? 0 : n - 1 - point;
  return !(point >= 0 && decimals == 0) && digits > 0 && digits <= 15;  // "12." is Val's to read
}

// The usual number's digits as an exact whole number below 10^15, its sign and its decimals.
bool PlainMantissa(const Byte* p, Integer length, UInt64& mantissa, bool& negative, Integer& decimals) {
  // Most number fields are right-aligned: one pass; the rest (trailing blanks, texts longer
  // than a number's) as their trimmed text reads.
  if (length > 0 && length <= orv::DbfMaxNumberText && RightAlignedDecimal(p, length, mantissa, negative, decimals))
    return true;
  return PlainDecimal(NumberText(p, length), mantissa, negative, decimals);
}

}  // namespace

bool orv::DbfReadPlainDecimal(const Byte* p, Integer length, double& scaled, Integer& decimals) {
  UInt64 mantissa = 0;
  bool negative = false;
  if (!PlainMantissa(p, length, mantissa, negative, decimals)) return false;
  scaled = negative ? -static_cast<double>(mantissa) : static_cast<double>(mantissa);
  return true;
}

bool orv::DbfReadPlainScaled(const Byte* p, Integer length, Int64& scaled, Integer& decimals) {
  UInt64 mantissa = 0;
  bool negative = false;
  if (!PlainMantissa(p, length, mantissa, negative, decimals)) return false;
  scaled = negative ? -static_cast<Int64>(mantissa) : static_cast<Int64>(mantissa);
  return true;
}

bool orv::DbfReadPlainNumber(const Byte* p, Integer length, double& value) {
  double scaled = 0;
  Integer decimals = 0;
  if (!DbfReadPlainDecimal(p, length, scaled, decimals)) return false;
  value = scaled / DbfDecimalPowers[decimals];
  return true;
}

namespace {

// The length of a text field's bytes without its trailing blanks, a word at a time: texts are
// mostly padding.
Integer TextEnd(const Byte* p, Integer n) {
  constexpr UInt64 kBlankWord = 0x2020202020202020ull;
  Integer end = n;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  while (end >= 8) {
    UInt64 word;
    std::memcpy(&word, p + end - 8, sizeof word);
    // The last byte of the word is its most significant: the leading equal bytes are blanks.
    if (const UInt64 other = word ^ kBlankWord) return end - __builtin_clzll(other) / 8;
    end -= 8;
  }
#endif
  while (end > 0 && p[end - 1] == kBlankByte) --end;
  return end;
}

// The index of the first zero byte of p[0, n), or n.
Integer FirstZero(const Byte* p, Integer n) {
  Integer i = 0;
  for (; i + 8 <= n; i += 8) {
    UInt64 word;
    std::memcpy(&word, p + i, sizeof word);
    if ((word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull) break;
  }
  while (i < n && p[i] != 0) ++i;
  return i;
}

// Whether p[0, n) holds a zero byte, where `readable` (at least n) bytes from p may be read: by
// words, the last overlapping the one before it, and a short text as one word of the field's
// bytes with those past it set, rather than byte by byte. Texts seldom hold one.
bool HasZeroByte(const Byte* p, Integer n, Integer readable) {
  auto zeroIn = [](UInt64 word) { return ((word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull) != 0; };
  auto wordAt = [](const Byte* at) {
    UInt64 word;
    std::memcpy(&word, at, sizeof word);
    return word;
  };
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  constexpr bool kFirstByteLowest = true;
#else
  constexpr bool kFirstByteLowest = false;
#endif
  if (n < 8) {
    if (readable < 8 || !kFirstByteLowest) {
      for (Integer i = 0; i < n; ++i)
        if (p[i] == 0) return true;
      return false;
    }
    return zeroIn(wordAt(p) | (~UInt64(0) << (8 * n)));
  }
  for (Integer i = 0; i + 8 < n; i += 8)
    if (zeroIn(wordAt(p + i))) return true;
  return zeroIn(wordAt(p + n - 8));
}

// A number laid out as its descriptor says, the common case (blanks, an optional sign, the
// whole digits, a point and exactly `decimals` digits ending the field): the exact integer of
// its digits with the text's sign, as PlainDecimal reads the same text. False for any other
// text, which the general readers then decide. One pass with no search for the point.
bool FixedDecimal(const Byte* p, Integer n, Integer decimals, double& scaled) {
  const Integer point = n - decimals - 1;
  if (decimals <= 0 || point < 0 || n > orv::DbfMaxNumberText || p[point] != '.') return false;
  Integer i = 0;
  while (i < point && p[i] == kBlankByte) ++i;
  bool negative = false;
  if (i < point && (p[i] == '-' || p[i] == '+')) negative = p[i++] == '-';
  if (point - i + decimals > 15) return false;
  UInt64 mantissa = 0;
  if (n >= 8 && n - i <= 8) {
    // The text (digits, the point, digits) lies in the last 8 bytes: read as one word, the bytes
    // before it taken for leading zeros and the point taken out, as WordDecimal does.
    UInt64 word;
    std::memcpy(&word, p + n - 8, sizeof word);
    const Integer text = n - i;
    if (text < 8) {
      const UInt64 keep = ~UInt64(0) << (8 * (8 - text));
      word = (word & keep) | (0x3030303030303030ull & ~keep);
    }
    const Integer k = 7 - decimals;  // the point's byte in the word
    const UInt64 below = k == 0 ? 0 : (~UInt64(0) >> (8 * (8 - k)));
    const UInt64 above = ~UInt64(0) << (8 * (k + 1));
    word = ((word & below) << 8) | (word & above) | 0x30;
    if ((word & 0xF0F0F0F0F0F0F0F0ull) != 0x3030303030303030ull ||
        ((word + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) != 0x3030303030303030ull)
      return false;
    mantissa = EightDigits(word);
    scaled = negative ? -static_cast<double>(mantissa) : static_cast<double>(mantissa);
    return true;
  }
  for (; i < point; ++i) {
    const unsigned digit = unsigned(p[i]) - '0';
    if (digit > 9) return false;
    mantissa = mantissa * 10 + digit;
  }
  for (i = point + 1; i < n; ++i) {
    const unsigned digit = unsigned(p[i]) - '0';
    if (digit > 9) return false;
    mantissa = mantissa * 10 + digit;
  }
  scaled = negative ? -static_cast<double>(mantissa) : static_cast<double>(mantissa);
  return true;
}

// The length of a text field's text (up to its first zero byte, without trailing blanks), or
// -1 for a blank field. One backward pass finds both the blank field and the text's end; texts
// are mostly padding, so this is the shorter walk.
Integer StoredTextLength(const Byte* p, Integer n) {
  const Integer end = TextEnd(p, n);
  if (end == 0) return -1;
  if (!HasZeroByte(p, end, n)) return end;
  Integer len = end;
  if (const Integer zero = FirstZero(p, end); zero < end) {
    len = zero;
    while (len > 0 && p[len - 1] == kBlankByte) --len;
  }
  return len;
}

}  // namespace

// ---- TDbfField ----

TFieldType TDbfField::FieldTypeOf(char letter) {
  switch (letter) {
    case 'C': return ftString;
    case 'N': case 'F': case 'O': return ftFloat;
    case 'D': return ftDate;
    case 'L': return ftBoolean;
    case 'I': return ftInteger;
    case '+': return ftAutoInc;
    case '@': case 'T': return ftDateTime;
    case 'Y': return ftCurrency;
    case 'M': return ftMemo;
    case 'B': return ftTypedBinary;
    case 'G': return ftDBaseOle;
    case 'P': return ftGraphic;
    default: return ftUnknown;
  }
}

TDbfField::TDbfField(TDbfHeader* header, const Byte* descriptor, Integer fieldNo, Integer offset)
    : TDsCustomField(header), FLevel(header ? header->GetLevel() : dlUnknown), FFieldNo(fieldNo),
      FOffset(offset) {
  const bool wide = FLevel == dlDBaseVII;
  const Integer size = wide ? 48 : 32;
  std::memcpy(FDescriptor.data(), descriptor, static_cast<std::size_t>(size));
  if (FLevel == dlUnknown) {
    FLetter = 0;
    FLength = FDecimals = 0;
  } else {
    const Integer nameSize = wide ? 32 : 11;
    Integer n = 0;
    while (n < nameSize && descriptor[n] != 0) ++n;
    while (n > 0 && descriptor[n - 1] <= kBlankByte) --n;
    FDescriptorName.assign(reinterpret_cast<const char*>(descriptor), static_cast<std::size_t>(n));
    FLetter = static_cast<char>(descriptor[wide ? 32 : 11]);
    FLength = descriptor[wide ? 33 : 16];
    FDecimals = descriptor[wide ? 34 : 17];
  }
  FName = FDescriptorName;
  FFieldType = IsBlob() || FLetter != 'B' ? FieldTypeOf(FLetter) : ftFloat;
  switch (FLetter) {
    case 'C': FDataSize = FLength + 1; break;
    case 'N': case 'F': case 'O': case 'Y': case '@': case 'T': FDataSize = 8; break;
    case 'L': FDataSize = 2; break;
    case 'D': case 'I': case '+': FDataSize = 4; break;
    case 'B': FDataSize = IsBlob() ? 4 : 8; break;
    case 'M': case 'P': case 'G': FDataSize = 4; break;
    default: FDataSize = FLength; break;
  }
}

bool TDbfField::IsBlob() const {
  // FoxPro writes its doubles with the letter that dBASE gives binary memos.
  if (FLetter == 'B') return !(FLevel == dlFoxPro && FLength == 8);
  return FLetter == 'M' || FLetter == 'G' || FLetter == 'P';
}

void TDbfField::GetText(const Byte* record, AnsiString& value, bool& isNull) const {
  if (FLetter != 'C') {
    TDsCustomField::GetText(record, value, isNull);
    return;
  }
  isNull = true;
  record = ResolveRecord(record);
  if (!record) {
    value.clear();
    return;
  }
  isNull = !ReadText(record, value);
}

bool TDbfField::ReadText(const Byte* record, AnsiString& value) const {
  if (FLetter != 'C') {
    bool isNull = true;
    GetText(record, value, isNull);
    if (isNull) value.clear();
    return !isNull;
  }
  const Integer len = StoredTextLength(record + FOffset, FLength);
  if (len < 0) {
    value.clear();
    return false;
  }
  // Resized, not assigned: the string's old bytes are overwritten anyway. Translated as copied,
  // in one pass.
  value.resize(static_cast<std::size_t>(len));
  const CP_TYPE codePage = GetCodePage();
  if (!FReadTableKnown || codePage != FReadTableCodePage) {
    FReadTable = DsIsIdentityCodePage(codePage) ? nullptr : DsReadTable(codePage);
    FReadTableCodePage = codePage;
    FReadTableKnown = true;
  }
  const Byte* from = record + FOffset;
  char* to = value.data();
  if (!FReadTable) {
    std::memcpy(to, from, static_cast<std::size_t>(len));
    return true;
  }
  const Byte* table = FReadTable;
  for (Integer i = 0; i < len; ++i) to[i] = static_cast<char>(table[from[i]]);
  return true;
}

bool TDbfField::ReadFloat(const Byte* record, double& value) const {
  // The usual number laid out as the descriptor says, without the codec's dispatch.
  double scaled = 0;
  if ((FLetter == 'N' || FLetter == 'F') && FixedDecimal(record + FOffset, FLength, FDecimals, scaled)) {
    value = scaled / orv::DbfDecimalPowers[FDecimals];
    return true;
  }
  double v = 0;
  bool isNull = true;
  GetData(record, &v, isNull);
  if (isNull) return false;
  value = v;
  return true;
}

bool TDbfField::GetCurrency(const Byte* record, Currency& value) const {
  if (FLetter != 'Y') return TDsCustomField::GetCurrency(record, value);
  record = ResolveRecord(record);
  if (!record || FLength < 8) return false;
  const Byte* p = record + FOffset;
  if (AllBytes(p, FLength, kBlankByte)) return false;
  value.Scaled = static_cast<Int64>(static_cast<UInt64>(DsGetLittleEndian32(p)) |
                                    static_cast<UInt64>(DsGetLittleEndian32(p + 4)) << 32);
  return true;
}

CP_TYPE TDbfField::GetCodePage() const {
  const TDsCustomHandle* handle = GetHandle();
  return handle ? handle->GetCodePage() : ascii_ANSI;
}

void TDbfField::GetData(const Byte* record, void* destination, bool& isNull) const {
  isNull = true;
  record = ResolveRecord(record);
  if (!record) return;
  const Byte* p = record + FOffset;
  const Integer n = FLength;
  if (FLetter == 'C') {
    const Integer len = StoredTextLength(p, n);
    if (len < 0) return;
    isNull = false;
    if (destination) {
      auto* text = static_cast<Byte*>(destination);
      std::memcpy(text, p, static_cast<std::size_t>(len));
      text[len] = 0;
      DsTranslateFromFile(GetCodePage(), text, len);
    }
    return;
  }
  if (FLetter == 'N' || FLetter == 'F') {
    double value = 0;
    // The usual number directly (dividing the exact integer of its digits by an exact power
    // of ten rounds correctly, as Val does; a blank field is no such number); any other text
    // as Val reads it.
    double scaled = 0;
    if (FixedDecimal(p, n, FDecimals, scaled)) {
      value = scaled / orv::DbfDecimalPowers[FDecimals];
    } else if (!orv::DbfReadPlainNumber(p, n, value)) {
      if (AllBytes(p, n, kBlankByte)) return;
      Integer code = 0;
      Val(NumberText(p, n), value, code);
      if (code != 0) return;
    }
    isNull = false;
    Store(destination, value);
    return;
  }
  if (AllBytes(p, n, kBlankByte)) return;

  switch (FLetter) {
    case 'D': {
      if (n < 8) return;
      Word parts[3] = {0, 0, 0};
      const Integer widths[3] = {4, 2, 2};
      const Byte* digit = p;
      for (int part = 0; part < 3; ++part)
        for (Integer i = 0; i < widths[part]; ++i, ++digit) {
          if (*digit < '0' || *digit > '9') return;
          parts[part] = static_cast<Word>(parts[part] * 10 + (*digit - '0'));
        }
      TDateTime date = 0;
      if (!TryEncodeDate(parts[0], parts[1], parts[2], date)) return;
      isNull = false;
      Store(destination, static_cast<Integer>(date) + DateDelta);
      return;
    }
    case 'L': {
      SmallInt value;
      switch (p[0]) {
        case 'T': case 't': case 'Y': case 'y': value = -1; break;
        case 'F': case 'f': case 'N': case 'n': value = 0; break;
        default: return;  // "?" or anything else: no value
      }
      isNull = false;
      Store(destination, value);
      return;
    }
    case 'I':
    case '+': {
      if (n < 4) return;
      if (FLevel == dlFoxPro) {
        isNull = false;
        Store(destination, static_cast<Integer>(DsGetLittleEndian32(p)));
        return;
      }
      if (AllBytes(p, 4, 0)) return;
      isNull = false;
      Store(destination, static_cast<Integer>(DsGetBigEndian32(p) ^ 0x80000000u));
      return;
    }
    case '@': {
      if (n < 8 || AllBytes(p, 8, 0)) return;
      const UInt64 bits = DsGetBigEndian64(p);
      double mSecs;
      std::memcpy(&mSecs, &bits, sizeof mSecs);
      // Anything but milliseconds of a moment in years 1 to 9999 is no date-time.
      if (!(mSecs >= kMinMSecs && mSecs < kEndMSecs)) return;
      isNull = false;
      Store(destination, mSecs);
      return;
    }
    case 'O': {
      if (n < 8 || AllBytes(p, 8, 0)) return;
      isNull = false;
      Store(destination, DecodeSortableDouble(p));
      return;
    }
    case 'T': {
      if (n < 8) return;
      // A day before year 1 or after 9999 (day 0 included: the empty date-time) is no value.
      const Int64 day = Int64(DsGetLittleEndian32(p)) - kJulianDayOfDay0;
      const LongWord mSecs = DsGetLittleEndian32(p + 4);
      if (day < 1 || day > kMaxDay || mSecs >= LongWord(MSecsPerDay)) return;
      isNull = false;
      Store(destination, double(day) * MSecsPerDay + double(mSecs));
      return;
    }
    case 'Y': {
      if (n < 8) return;
      const auto scaled = static_cast<Int64>(static_cast<UInt64>(DsGetLittleEndian32(p)) |
                                             static_cast<UInt64>(DsGetLittleEndian32(p + 4)) << 32);
      isNull = false;
      Store(destination, static_cast<double>(scaled) / 10000.0);
      return;
    }
    case 'B':
      if (!IsBlob()) {
        isNull = false;
        Store(destination, DbfFoxProDouble(p));
        return;
      }
      [[fallthrough]];
    case 'M':
    case 'P':
    case 'G': {
      Integer block = 0;
      if (n == 4) {
        block = static_cast<Integer>(DsGetLittleEndian32(p));  // FoxPro's binary block number
      } else {
        Integer code = 0;
        std::string_view text = NumberText(p, n);
        Val(text, block, code);
        if (code != 0) block = 0;
      }
      isNull = false;
      Store(destination, block);
      return;
    }
    default:
      isNull = false;
      if (destination) std::memcpy(destination, p, static_cast<std::size_t>(n));
      return;
  }
}

Byte TDbfField::SetData(const void* value, Byte* record) {
  record = ResolveRecord(record);
  if (!record) return dsErrInvalidParameter;
  Byte* p = record + FOffset;
  const Integer n = FLength;
  const auto blank = [&] { std::memset(p, kBlankByte, static_cast<std::size_t>(n)); };

  if (!value) {
    if ((FLetter == 'I' || FLetter == '+' || FLetter == '@') && n > 0)
      std::memset(p, 0, static_cast<std::size_t>(n));
    else
      blank();
    return dsErrNone;
  }

  switch (FLetter) {
    case 'C': {
      const auto* text = static_cast<const Byte*>(value);
      Integer len = 0;
      while (len < n && text[len] != 0) ++len;
      blank();
      std::memcpy(p, text, static_cast<std::size_t>(len));
      DsTranslateToFile(GetCodePage(), p, len);
      return dsErrNone;
    }
    case 'N':
    case 'F': {
      const double number = Fetch<double>(value);
      if (!std::isfinite(number)) return dsErrInvalidParameter;
      const AnsiString text = Str(number, n, FDecimals);
      // A number that does not fit is refused rather than cut to its leading digits.
      if (static_cast<Integer>(text.size()) > n) return dsErrInvalidParameter;
      blank();
      std::memcpy(p + n - text.size(), text.data(), text.size());
      return dsErrNone;
    }
    case 'D': {
      const Integer day = Fetch<Integer>(value);
      if (n < 8 || day < 1 || day > kMaxDay) return dsErrInvalidParameter;
      Word year, month, dayOfMonth;
      DecodeDate(static_cast<TDateTime>(day - DateDelta), year, month, dayOfMonth);
      const Integer digits[3] = {year, month, dayOfMonth};
      const Integer widths[3] = {4, 2, 2};
      blank();
      Byte* out = p;
      for (int part = 0; part < 3; ++part) {
        Integer v = digits[part];
        for (Integer i = widths[part] - 1; i >= 0; --i, v /= 10) out[i] = static_cast<Byte>('0' + v % 10);
        out += widths[part];
      }
      return dsErrNone;
    }
    case 'L':
      blank();
      if (n > 0) p[0] = Fetch<SmallInt>(value) != 0 ? 'T' : 'F';
      return dsErrNone;
    case 'I':
    case '+': {
      if (n < 4) return dsErrInvalidParameter;
      const auto number = static_cast<LongWord>(Fetch<Integer>(value));
      blank();
      if (FLevel == dlFoxPro)
        DsPutLittleEndian32(p, number);
      else
        DsPutBigEndian32(p, number ^ 0x80000000u);
      return dsErrNone;
    }
    case '@': {
      if (n < 8) return dsErrInvalidParameter;
      UInt64 bits;
      std::memcpy(&bits, value, sizeof bits);
      blank();
      DsPutBigEndian64(p, bits);
      return dsErrNone;
    }
    case 'O':
      if (n < 8) return dsErrInvalidParameter;
      blank();
      EncodeSortableDouble(p, Fetch<double>(value));
      return dsErrNone;
    case 'T': {
      const double mSecs = std::floor(Fetch<double>(value) + 0.5);
      if (n < 8 || !(mSecs >= kMinMSecs && mSecs < kEndMSecs)) return dsErrInvalidParameter;
      const double day = std::floor(mSecs / MSecsPerDay);
      blank();
      DsPutLittleEndian32(p, static_cast<LongWord>(day) + kJulianDayOfDay0);
      DsPutLittleEndian32(p + 4, static_cast<LongWord>(mSecs - day * MSecsPerDay));
      return dsErrNone;
    }
    case 'Y': {
      const double scaled = std::nearbyint(Fetch<double>(value) * 10000.0);
      if (n < 8 || !(scaled > -9.2e18 && scaled < 9.2e18)) return dsErrInvalidParameter;
      const auto bits = static_cast<UInt64>(static_cast<Int64>(scaled));
      blank();
      DsPutLittleEndian32(p, static_cast<LongWord>(bits));
      DsPutLittleEndian32(p + 4, static_cast<LongWord>(bits >> 32));
      return dsErrNone;
    }
    case 'B':
      if (!IsBlob()) {
        if (n < 8) return dsErrInvalidParameter;
        blank();
        PutDbfFoxProDouble(p, Fetch<double>(value));
        return dsErrNone;
      }
      [[fallthrough]];
    case 'M':
    case 'P':
    case 'G': {
      const Integer block = Fetch<Integer>(value);
      if (n == 4) {
        DsPutLittleEndian32(p, static_cast<LongWord>(block));
        return dsErrNone;
      }
      const std::string text = block > 0 ? std::to_string(block) : std::string();
      if (static_cast<Integer>(text.size()) > n) return dsErrInvalidParameter;
      blank();
      std::memcpy(p + n - text.size(), text.data(), text.size());
      return dsErrNone;
    }
    default:
      std::memcpy(p, value, static_cast<std::size_t>(n));
      return dsErrNone;
  }
}

// ---- TDbfHeader ----

TDbfHeader::TDbfHeader(TDsCustomHandle* handle, orv::IDsFile* file) : TDsCustomHeader(handle, file) {}

TDbfLevel TDbfHeader::LevelOf(const Byte* prefix) {
  switch (prefix[0]) {
    case 0x03: return prefix[29] == 0 ? dlDBaseIII : dlDBaseIV;
    case 0x83: return dlDBaseIII;
    case 0x8B: return dlDBaseIV;
    case 0x05: return dlDBaseV;
    case 0x04: case 0x8C: return dlDBaseVII;
    case 0x02: case 0x30: case 0xF5: return dlFoxPro;
    default: return dlUnknown;
  }
}

Integer TDbfHeader::GetHeaderSize() const { return DsGetLittleEndian16(&FPrefix[8]); }

void TDbfHeader::SetHeaderSize(Integer value) { DsPutLittleEndian16(&FPrefix[8], static_cast<Word>(value)); }

Integer TDbfHeader::GetRecordSize() const { return DsGetLittleEndian16(&FPrefix[10]); }

void TDbfHeader::SetRecordSize(Integer value) { DsPutLittleEndian16(&FPrefix[10], static_cast<Word>(value)); }

Integer TDbfHeader::GetRecordCount() const { return static_cast<Integer>(DsGetLittleEndian32(&FPrefix[4])); }

void TDbfHeader::SetRecordCount(Integer value) {
  DsPutLittleEndian32(&FPrefix[4], static_cast<LongWord>(value));
}

Byte TDbfHeader::Read() {
  ClearFields();
  FLevel = dlUnknown;
  if (SeekToStart() != dsErrNone) return dsErrCannotSeekFile;
  orv::IDsFile* file = GetFile();
  if (file->Read(FPrefix.data(), 32) != 32) return dsErrCannotReadFile;
  const TDbfLevel level = LevelOf(FPrefix.data());
  if (level == dlUnknown) return dsErrInvalidDatabaseFile;
  if (FPrefix[15] == 1) return dsErrTableCrypted;
  if (level == dlDBaseVII && file->Read(&FPrefix[32], 36) != 36) return dsErrCannotReadFile;
  FLevel = level;

  // A header that contradicts itself is refused before anything is read by its numbers.
  const Integer prefixSize = GetPrefixSize();
  const Integer headerSize = GetHeaderSize();
  if (headerSize < prefixSize || GetRecordSize() == 0 ||
      DsGetLittleEndian32(&FPrefix[4]) > LongWord(std::numeric_limits<Integer>::max())) {
    FLevel = dlUnknown;
    return dsErrInvalidDatabaseFile;
  }

  if (!file->Seek(prefixSize)) {
    FLevel = dlUnknown;
    return dsErrCannotSeekFile;
  }
  std::vector<Byte> area(static_cast<std::size_t>(headerSize - prefixSize));
  const Integer got = area.empty() ? 0 : file->Read(area.data(), static_cast<Integer>(area.size()));
  if (got < 0) {
    FLevel = dlUnknown;
    return dsErrCannotReadFile;
  }
  const Byte code = ReadDescriptors(area.data(), got);
  if (code != dsErrNone) {
    ClearFields();
    FLevel = dlUnknown;
    return code;
  }
  // A count past the records the file holds (a writer stopped in the middle of an append, or a
  // header size past the end of the file) would let reading forward, reading backward and the
  // count disagree: the records that are there are the table.
  const Int64 fileSize = file->GetSize();
  if (fileSize >= 0) {
    const Int64 held = fileSize > headerSize ? (fileSize - headerSize) / GetRecordSize() : 0;
    if (held < GetRecordCount()) SetRecordCount(static_cast<Integer>(held));
  }
  return dsErrNone;
}

Byte TDbfHeader::ReadDescriptors(const Byte* area, Integer size) {
  const Integer step = GetDescriptorSize();
  const Integer lengthAt = FLevel == dlDBaseVII ? 33 : 16;
  const Integer letterAt = FLevel == dlDBaseVII ? 32 : 11;
  const Integer recordSize = GetRecordSize();
  // Character fields longer than 255 bytes keep the high byte of their length in the decimals
  // byte. Which reading holds is told by the record size: the long lengths where they add up
  // to it, else the short ones (other writers leave junk in that byte); a header where
  // character fields carry such a byte and neither adds up is refused rather than read with
  // fields that overlap.
  Int64 shortTotal = 1, longTotal = 1;
  bool anyLong = false;
  for (Integer at = 0; at + step <= size && area[at] != kDescriptorEnd; at += step) {
    const Integer high = area[at + lengthAt + 1];
    shortTotal += area[at + lengthAt];
    longTotal += area[at + lengthAt] + (area[at + letterAt] == 'C' ? high * 256 : 0);
    anyLong = anyLong || (area[at + letterAt] == 'C' && high != 0);
  }
  const bool useLong = anyLong && shortTotal != recordSize && longTotal == recordSize;
  if (anyLong && shortTotal != recordSize && !useLong) return dsErrInvalidDatabaseFile;
  Integer offset = 1;  // after the deletion byte
  for (Integer at = 0; at < size && area[at] != kDescriptorEnd; at += step) {
    if (at + step > size) return dsErrInvalidDatabaseFile;
    const bool isLong = useLong && area[at + letterAt] == 'C';
    const Integer length = area[at + lengthAt] + (isLong ? area[at + lengthAt + 1] * 256 : 0);
    if (offset + length > recordSize) return dsErrInvalidDatabaseFile;
    auto field = std::make_unique<TDbfField>(this, area + at, GetFieldCount() + 1, offset);
    if (isLong) {
      field->FLength = length;
      field->FDecimals = 0;
      field->FDataSize = length + 1;
    }
    // A name that an earlier field holds gets a number: NAME, NAME_1, NAME_2, ...
    for (Integer counter = 1; FindField(field->FName); ++counter)
      field->FName = field->FDescriptorName + "_" + std::to_string(counter);
    AddField(std::move(field));
    offset += length;
  }
  return dsErrNone;
}

Byte TDbfHeader::WritePrefix() {
  if (SeekToStart() != dsErrNone) return dsErrCannotSeekFile;
  const Integer size = GetPrefixSize();
  return GetFile()->Write(FPrefix.data(), size) == size ? dsErrNone : dsErrCannotWriteFile;
}

Byte TDbfHeader::WriteEndMark() {
  orv::IDsFile* file = GetFile();
  const Int64 at = Int64(GetHeaderSize()) + Int64(GetRecordCount()) * GetRecordSize();
  if (!file || !file->Seek(at)) return dsErrCannotSeekFile;
  return file->Write(&kEndOfFile, 1) == 1 ? dsErrNone : dsErrCannotWriteFile;
}

// ---- TDbfBlobHandle ----

namespace {

const TDbfField* DbfBlobFieldOf(const TDsCustomHeader* header, Integer index) {
  const auto* field = header ? dynamic_cast<const TDbfField*>(header->GetField(index)) : nullptr;
  return field && field->IsBlob() ? field : nullptr;
}

constexpr Byte kDBaseIVBlockMark[4] = {0xFF, 0xFF, 0x08, 0x00};
constexpr Byte kDBaseIIIMemoEnd[2] = {0x1A, 0x1A};

}  // namespace

TDbfBlobHandle::TDbfBlobHandle(TDbfHandle* owner) : FOwner(owner) {
  const AnsiString ext = owner->GetDbfHeader()->GetLevel() == dlFoxPro ? ".fpt" : ".dbt";
  const Word share = owner->GetExclusive() ? fmShareExclusive : fmShareDenyNone;
  FFileName = ChangeFileExt(owner->GetFileName(), ext);
  FFile = orv::TDsDiskFile::Open(FFileName, Word(fmOpenRead | share));
  ReadHeader();
}

TDbfBlobHandle::TDbfBlobHandle(TDbfHandle* owner, std::unique_ptr<orv::IDsFile> file)
    : FOwner(owner), FFile(std::move(file)) {
  ReadHeader();
}

TDbfBlobHandle::~TDbfBlobHandle() = default;

void TDbfBlobHandle::ReadHeader() {
  // A header cut short reads as zeros: its block size word then falls back to 512.
  if (FFile && FFile->Seek(0)) {
    const Integer got = std::max(FFile->Read(FHeader.data(), kHeaderSize), 0);
    std::fill(FHeader.begin() + got, FHeader.end(), Byte(0));
  }
  Integer size = 0;
  switch (FOwner->GetDbfHeader()->GetLevel()) {
    case dlDBaseIV:
    case dlDBaseV:
    case dlDBaseVII:
      size = DsGetLittleEndian16(&FHeader[20]);
      break;
    case dlFoxPro:
      size = Integer(FHeader[6]) << 8 | FHeader[7];
      break;
    default:
      break;
  }
  // A size of 0 is a dBASE III header (or a damaged one): its blocks are 512 bytes.
  FBlockSize = size > 0 ? size : kHeaderSize;
}

Byte TDbfBlobHandle::BlockOf(const Byte* record, Integer fieldNo, Integer& block, bool& isMemoText) const {
  block = 0;
  const TDbfField* field = DbfBlobFieldOf(FOwner->GetHeader(), fieldNo - 1);
  if (!field) return dsErrNotBlobField;
  isMemoText = field->GetFieldType() == ftMemo;
  bool isNull = true;
  Integer value = 0;
  field->GetData(record, &value, isNull);
  if (!isNull && value > 0) block = value;
  return dsErrNone;
}

Byte TDbfBlobHandle::Measure(Integer block) {
  FLast = TExtent();
  if (!FFile) return dsErrCannotOpenFile;
  const Int64 fileSize = FFile->GetSize();
  const Int64 blockStart = Int64(block) * FBlockSize;
  // The header is no memo, and a memo needs at least its block's first bytes in the file.
  if (blockStart < kHeaderSize || fileSize < 0 || blockStart >= fileSize) return dsErrInvalidBlock;
  if (!FFile->Seek(blockStart)) return dsErrCannotSeekFile;
  Byte head[8] = {};
  const Integer got = FFile->Read(head, 8);
  if (got < 0) return dsErrCannotReadFile;

  const TDbfLevel level = FOwner->GetDbfHeader()->GetLevel();
  Int64 start = blockStart + 8;
  Int64 length = -1;
  if (got == 8 && level == dlFoxPro) {
    length = DsGetBigEndian32(head + 4);
  } else if (got == 8 && (level == dlDBaseIV || level == dlDBaseV || level == dlDBaseVII) &&
             std::memcmp(head, kDBaseIVBlockMark, 4) == 0) {
    length = Int64(DsGetLittleEndian32(head + 4)) - 8;
  } else if (level != dlFoxPro) {
    // dBASE III: the content starts at the block and ends at 0x1A 0x1A or the end of the file.
    start = blockStart;
    const Int64 end = DsSearchFile(FFile.get(), start, kDBaseIIIMemoEnd, 2);
    length = (end >= 0 ? end : fileSize) - start;
  }
  if (length < 0 || length > std::numeric_limits<Integer>::max() || start + length > fileSize)
    return dsErrInvalidBlock;
  FLast.Block = block;
  FLast.Start = start;
  FLast.Length = static_cast<Integer>(length);
  return dsErrNone;
}

Byte TDbfBlobHandle::GetBlobSize(const Byte* record, Integer fieldNo, Integer& size) {
  size = 0;
  Integer block = 0;
  bool isMemoText = false;
  Byte code = BlockOf(record, fieldNo, block, isMemoText);
  if (code != dsErrNone || block == 0) return code;
  code = Measure(block);
  if (code == dsErrNone) size = FLast.Length;
  return code;
}

Byte TDbfBlobHandle::GetBlob(const Byte* record, Integer fieldNo, Integer offset, Integer count,
                             void* buffer, Integer& bytesRead) {
  bytesRead = 0;
  Integer block = 0;
  bool isMemoText = false;
  Byte code = BlockOf(record, fieldNo, block, isMemoText);
  if (code != dsErrNone || block == 0) return code;
  if (FLast.Block != block && (code = Measure(block)) != dsErrNone) return code;
  if (offset < 0 || offset > FLast.Length || count < 0) return dsErrInvalidBlobOffset;
  const Integer wanted = std::min(count, FLast.Length - offset);
  if (wanted > 0) {
    if (!buffer) return dsErrInvalidParameter;
    if (!FFile->Seek(FLast.Start + offset)) return dsErrCannotSeekFile;
    const Integer got = FFile->Read(buffer, wanted);
    if (got < 0) return dsErrCannotReadFile;
    bytesRead = got;
    if (isMemoText) FOwner->TranslateFromFile(buffer, got);
  }
  return bytesRead < count ? dsErrEndOfBlob : dsErrNone;
}

// ---- TDbfHandle ----

TDbfHandle::TDbfHandle(const AnsiString& fileName, const orv::TDsOpenParams* params, bool exclusive,
                       bool readOnly) {
  const Word share = exclusive ? fmShareExclusive : fmShareDenyNone;
  bool fileReadOnly = false;
  std::unique_ptr<orv::TDsDiskFile> file =
      orv::TDsDiskFile::Open(fileName, Word((readOnly ? fmOpenRead : fmOpenReadWrite) | share));
  if (!file && !readOnly) {
    // No write permission: the table still serves reads and searches.
    file = orv::TDsDiskFile::Open(fileName, Word(fmOpenRead | share));
    fileReadOnly = file != nullptr;
  }
  AttachFile(fileName, std::move(file), exclusive, readOnly, fileReadOnly, params);
  if (!GetFile()) {
    SetStatus(dsErrCannotOpenFile);
    return;
  }
  ReadHeader();
  if (GetStatus() == dsErrNone && HasBlobFields()) FBlobHandle = std::make_unique<TDbfBlobHandle>(this);
}

TDbfHandle::TDbfHandle(std::unique_ptr<orv::IDsFile> file, const orv::TDsOpenParams* params,
                       bool readOnly, std::unique_ptr<orv::IDsFile> memoFile) {
  AttachFile(AnsiString(), std::move(file), false, readOnly, false, params);
  if (!GetFile()) {
    SetStatus(dsErrCannotOpenFile);
    return;
  }
  ReadHeader();
  if (GetStatus() == dsErrNone && HasBlobFields())
    FBlobHandle = std::make_unique<TDbfBlobHandle>(this, std::move(memoFile));
}

TDbfHandle::~TDbfHandle() = default;

bool TDbfHandle::HasBlobFields() const {
  const TDsCustomHeader* header = GetHeader();
  if (!header) return false;
  for (Integer i = 0; i < header->GetFieldCount(); ++i)
    if (DbfBlobFieldOf(header, i)) return true;
  return false;
}

void TDbfHandle::ReadHeader() {
  auto header = std::make_unique<TDbfHeader>(this, GetFile());
  const Byte code = header->Read();
  SetHeader(std::move(header));
  SetStatus(code);
  if (code == dsErrNone) SetBufferRecords(GetBufferRecords());
}

// ---- The flat handle interface ----

namespace {

TDsCustomField* FieldOf(TDsCustomHandle* handle, Integer fieldNo) {
  TDsCustomHeader* header = handle->GetHeader();
  return header ? header->GetField(fieldNo - 1) : nullptr;
}

}  // namespace

Byte DbfOpenTable(const AnsiString& path, bool readOnly, bool exclusive,
                  const orv::TDsOpenParams* params, TDsCustomHandle*& handle) {
  if (handle) return dsErrInvalidHandle;
  auto table = std::make_unique<TDbfHandle>(path, params, exclusive, readOnly);
  const Byte code = table->GetStatus();
  if (code != dsErrNone) return code;
  handle = table.release();
  return dsErrNone;
}

Byte DbfCloseTable(TDsCustomHandle*& handle) {
  if (!handle) return dsErrInvalidHandle;
  delete handle;
  handle = nullptr;
  return dsErrNone;
}

Byte DbfFirst(TDsCustomHandle* handle) { return handle ? handle->First() : dsErrInvalidHandle; }

Byte DbfLast(TDsCustomHandle* handle) { return handle ? handle->Last() : dsErrInvalidHandle; }

Byte DbfGetBookmark(TDsCustomHandle* handle, Integer& recNo) {
  if (!handle) return dsErrInvalidHandle;
  recNo = handle->GetCursor();
  return dsErrNone;
}

Byte DbfGotoBookmark(TDsCustomHandle* handle, Integer recNo) {
  return handle ? handle->GoTo(recNo) : dsErrInvalidHandle;
}

Byte DbfSetFilter(TDsCustomHandle* handle, const AnsiString& text, Byte options) {
  return handle ? handle->SetFilter(text, options) : dsErrInvalidHandle;
}

Byte DbfClearFilter(TDsCustomHandle* handle) { return handle ? handle->ClearFilter() : dsErrInvalidHandle; }

Byte DbfGetNext(TDsCustomHandle* handle, Byte* buffer, orv::TDsRecordInfo* info) {
  return handle ? handle->GetNext(buffer, info) : dsErrInvalidHandle;
}

Byte DbfGetPrior(TDsCustomHandle* handle, Byte* buffer, orv::TDsRecordInfo* info) {
  return handle ? handle->GetPrior(buffer, info) : dsErrInvalidHandle;
}

Byte DbfGetCurrent(TDsCustomHandle* handle, Byte* buffer, orv::TDsRecordInfo* info) {
  return handle ? handle->GetCurrent(buffer, info) : dsErrInvalidHandle;
}

Byte DbfInitRecord(TDsCustomHandle* handle, Byte* buffer) {
  return handle ? handle->InitRecord(buffer) : dsErrInvalidHandle;
}

Byte DbfAppendRecord(TDsCustomHandle* handle, const Byte* buffer) {
  if (!handle) return dsErrInvalidHandle;
  const Byte code = handle->AppendRecord(buffer, false);
  if (code != dsErrNone || handle->GetBatch()) return code;
  return handle->WriteHeader(true);
}

Byte DbfInsertRecord(TDsCustomHandle* handle, const Byte* buffer) { return DbfAppendRecord(handle, buffer); }

Byte DbfModifyRecord(TDsCustomHandle* handle, const Byte* buffer) {
  return handle ? handle->UpdateRecord(buffer) : dsErrInvalidHandle;
}

Byte DbfDeleteRecord(TDsCustomHandle* handle) {
  return handle ? handle->DeleteRecord(true) : dsErrInvalidHandle;
}

Byte DbfGetRecordCount(TDsCustomHandle* handle, Integer& count) {
  if (!handle) return dsErrInvalidHandle;
  count = handle->GetRecordCount() - handle->GetDeletedCount();
  return dsErrNone;
}

Byte DbfBeginBatch(TDsCustomHandle* handle) { return handle ? handle->BeginBatch() : dsErrInvalidHandle; }

Byte DbfEndBatch(TDsCustomHandle* handle) { return handle ? handle->EndBatch() : dsErrInvalidHandle; }

Byte DbfLocate(TDsCustomHandle* handle, const AnsiString& fields, const Variant& values,
               bool caseInsensitive, bool partialKey) {
  return handle ? handle->Locate(fields, values, caseInsensitive, partialKey) : dsErrInvalidHandle;
}

Byte DbfGetField(TDsCustomHandle* handle, Integer fieldNo, const Byte* record, void* destination,
                 bool& isNull) {
  if (!handle) return dsErrInvalidHandle;
  const TDsCustomField* field = FieldOf(handle, fieldNo);
  if (!field) return dsErrFieldNotFound;
  field->GetData(record, destination, isNull);
  return dsErrNone;
}

Byte DbfGetFieldText(TDsCustomHandle* handle, Integer fieldNo, const Byte* record, AnsiString& value,
                     bool& isNull) {
  if (!handle) return dsErrInvalidHandle;
  const TDsCustomField* field = FieldOf(handle, fieldNo);
  if (!field) return dsErrFieldNotFound;
  field->GetText(record, value, isNull);
  return dsErrNone;
}

Byte DbfPutField(TDsCustomHandle* handle, Integer fieldNo, Byte* record, const void* value) {
  if (!handle) return dsErrInvalidHandle;
  TDsCustomField* field = FieldOf(handle, fieldNo);
  if (!field) return dsErrFieldNotFound;
  return field->SetData(value, record);
}

namespace {

TDbfBlobHandle* BlobHandleOf(TDsCustomHandle* handle) {
  auto* table = dynamic_cast<TDbfHandle*>(handle);
  return table ? table->GetBlobHandle() : nullptr;
}

// 0 when the field is a blob field of a .DBF handle, else the code that says why not.
Byte CheckBlobField(TDsCustomHandle* handle, Integer fieldNo) {
  if (!dynamic_cast<TDbfHandle*>(handle)) return dsErrInvalidHandle;
  return DbfBlobFieldOf(handle->GetHeader(), fieldNo - 1) ? dsErrNone : dsErrNotBlobField;
}

Byte RefuseMemoWrite(TDsCustomHandle* handle) {
  return handle->GetReadOnly() ? dsErrTableReadOnly : dsErrFieldReadOnly;
}

}  // namespace

Byte DbfGetBlobSize(TDsCustomHandle* handle, const Byte* record, Integer fieldNo, Integer& size) {
  size = 0;
  if (const Byte code = CheckBlobField(handle, fieldNo)) return code;
  return BlobHandleOf(handle)->GetBlobSize(record, fieldNo, size);
}

Byte DbfGetBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo, Integer offset,
                Integer count, void* buffer, Integer& bytesRead) {
  bytesRead = 0;
  if (const Byte code = CheckBlobField(handle, fieldNo)) return code;
  return BlobHandleOf(handle)->GetBlob(record, fieldNo, offset, count, buffer, bytesRead);
}

Byte DbfOpenBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo) {
  return CheckBlobField(handle, fieldNo);
}

Byte DbfFreeBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo) {
  return CheckBlobField(handle, fieldNo);
}

Byte DbfPutBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo, Integer offset,
                Integer count, const void* buffer) {
  if (const Byte code = CheckBlobField(handle, fieldNo)) return code;
  return count <= 0 ? dsErrNone : RefuseMemoWrite(handle);
}

Byte DbfTruncateBlob(TDsCustomHandle* handle, const Byte* record, Integer fieldNo, Integer size) {
  Integer length = 0;
  const Byte code = DbfGetBlobSize(handle, record, fieldNo, length);
  if (code == dsErrInvalidHandle || code == dsErrNotBlobField) return code;
  // Nothing to cut (a blank memo, or one no longer than the size) is done at once.
  return code == dsErrNone && length <= size ? dsErrNone : RefuseMemoWrite(handle);
}

Integer DbfGetRecordSize(TDsCustomHandle* handle) { return handle ? handle->GetRecordSize() : 0; }

Integer DbfGetDataSize(TDsCustomHandle* handle) {
  return handle && handle->GetRecordSize() > 0 ? handle->GetRecordSize() - 1 : 0;
}
