#include "platform/runtime/Collation.h"

#include <cstring>

#include "platform/runtime/AnsiString.h"

namespace {

enum TCharKind : Byte { ckIgnored, ckSymbol, ckSpecial, ckAlnum };

// Groups in collation order; the characters of one group share their level-1 weight and differ
// by their level-2 weight, in the order written. Only lower case is listed: an upper-case
// letter takes the weights of its lower-case form and the upper-case mark on level 3.
constexpr std::string_view kOrder[] = {
    "\t", "\n", "\v", "\f", "\r", " \xA0",
    // Hyphens and apostrophes: here only for SORT_STRINGSORT; the word sort weighs them last.
    "'", "-",
    "\x96", "\x97",  // en and em dash
    "!", "\"", "\xAB", "\xBB", "\x84", "\x93", "\x94", "\x91", "\x92", "\x82", "\x8B", "\x9B",
    "#", "%", "\x89", "&", "(", ")", "*", ",", ".", "\x85", "/", ":", ";", "?", "@", "[", "\\", "]", "^", "_",
    "`", "{", "|", "\xA6", "}", "~", "\x86", "\x87", "\x95", "\xB7", "\xB6", "\xA7", "\xA9", "\xAE", "\x99",
    "\xB0", "\xB9", "\xAC", "+", "\xB1", "<", "=", ">", "\xA4", "$", "\x88", "\xB5",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
    "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z",
    "а"_a, "б"_a, "в"_a, "гѓ"_a, "ґ"_a, "д"_a, "ђ"_a, "её"_a, "є"_a, "ж"_a, "з"_a, "ѕ"_a, "и"_a,
    "ії"_a, "й"_a, "ј"_a, "кќ"_a, "л"_a, "љ"_a, "м"_a, "н"_a, "њ"_a, "о"_a, "п"_a, "р"_a, "с"_a,
    "т"_a, "ћ"_a, "у"_a, "ў"_a, "ф"_a, "х"_a, "ц"_a, "ч"_a, "џ"_a, "ш"_a, "щ"_a, "ъ"_a, "ы"_a,
    "ь"_a, "э"_a, "ю"_a, "я"_a,
};

struct Tables {
  Byte Upper[256]{};
  Byte Lower[256]{};
  Byte Kind[256]{};
  Byte Primary[256]{};    // level 1, 2.. (0 for ignored characters)
  Byte Diacritic[256]{};  // level 2, 2..
  Byte Case[256]{};       // level 3, 2 lower or uncased, 3 upper

  constexpr Tables() {
    for (int b = 0; b < 256; ++b) {
      const char32_t c = orv::Cp1251ToUnicode(static_cast<unsigned char>(b));
      const int up = orv::UnicodeToCp1251(orv::UpperCodePoint(c));
      const int low = orv::UnicodeToCp1251(orv::LowerCodePoint(c));
      Upper[b] = static_cast<Byte>(up >= 0 ? up : b);
      Lower[b] = static_cast<Byte>(low >= 0 ? low : b);
    }
    Byte primary = 2;
    for (const std::string_view group : kOrder) {
      Byte diacritic = 2;
      for (const char ch : group) {
        const auto b = static_cast<unsigned char>(ch);
        const bool alnum = (b >= '0' && b <= '9') || Upper[b] != b;
        const Byte kind = b == '-' || b == '\'' ? ckSpecial : alnum ? ckAlnum : ckSymbol;
        for (const Byte each : {static_cast<Byte>(b), Upper[b]}) {
          Kind[each] = kind;
          Primary[each] = primary;
          Diacritic[each] = diacritic;
          Case[each] = each == b ? 2 : 3;
        }
        ++diacritic;
      }
      ++primary;
    }
  }
};

constexpr Tables kTables;

constexpr bool Skipped(unsigned char b, Cardinal flags) {
  switch (kTables.Kind[b]) {
    case ckIgnored: return true;
    case ckSpecial: return !(flags & SORT_STRINGSORT) || (flags & NORM_IGNORESYMBOLS);
    case ckSymbol: return (flags & NORM_IGNORESYMBOLS) != 0;
    default: return false;
  }
}

// Level-1 weights with 0 for the characters that do not count, one row per combination of the
// two flags that decide what counts: the inner loops then test one table.
struct CountedTables {
  Byte Rows[4][256]{};
  constexpr CountedTables() {
    for (int row = 0; row < 4; ++row) {
      const Cardinal flags = ((row & 1) ? SORT_STRINGSORT : 0) | ((row & 2) ? NORM_IGNORESYMBOLS : 0);
      for (int b = 0; b < 256; ++b) Rows[row][b] = Skipped(static_cast<unsigned char>(b), flags) ? 0 : kTables.Primary[b];
    }
  }
};

constexpr CountedTables kCounted;

const Byte* CountedRow(Cardinal flags) {
  return kCounted.Rows[((flags & SORT_STRINGSORT) ? 1 : 0) | ((flags & NORM_IGNORESYMBOLS) ? 2 : 0)];
}

// Walks the characters that count on levels 1 to 3.
struct Cursor {
  std::string_view Text;
  const Byte* Counted;
  std::size_t Index = 0;

  // The next counted byte, or -1 at the end.
  int Next() {
    while (Index < Text.size()) {
      const auto b = static_cast<unsigned char>(Text[Index++]);
      if (Counted[b]) return b;
    }
    return -1;
  }
};

int CompareLevel(std::string_view a, std::string_view b, Cardinal flags, const Byte* weights) {
  const Byte* counted = CountedRow(flags);
  Cursor ca{a, counted}, cb{b, counted};
  for (;;) {
    const int x = ca.Next(), y = cb.Next();
    if (x < 0 || y < 0) return x < 0 ? (y < 0 ? 0 : -1) : 1;
    if (weights[x] != weights[y]) return weights[x] < weights[y] ? -1 : 1;
  }
}

bool WordSortSpecials(Cardinal flags) { return !(flags & (SORT_STRINGSORT | NORM_IGNORESYMBOLS)); }

// Level 4 walks the hyphens and apostrophes with the number of counted characters before each.
struct SpecialCursor {
  std::string_view Text;
  Cardinal Flags;
  std::size_t Index = 0;
  std::size_t Counted = 0;

  bool Next(std::size_t& position, Byte& weight) {
    while (Index < Text.size()) {
      const auto b = static_cast<unsigned char>(Text[Index++]);
      if (kTables.Kind[b] == ckSpecial) {
        position = Counted;
        weight = kTables.Primary[b];
        return true;
      }
      if (CountedRow(Flags)[b]) ++Counted;
    }
    return false;
  }
};

// Writes the weights of one level at key[pos..] and returns the new end. Trailing default
// weights are dropped: both sides of a comparison that reaches a level after the first have the
// same number of counted characters, so they do not change the order.
std::size_t WriteLevel(std::string& key, std::size_t pos, std::string_view text, const Byte* counted,
                       const Byte* weights, bool trimDefaults) {
  const std::size_t start = pos;
  for (const char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    if (counted[b]) key[pos++] = static_cast<char>(weights[b]);
  }
  if (trimDefaults) {
    while (pos > start && key[pos - 1] == 2) --pos;
  }
  return pos;
}

}  // namespace

namespace orv {

int CollateCompare(std::string_view a, std::string_view b, Cardinal flags) {
  if (int r = CompareLevel(a, b, flags, kTables.Primary)) return r;
  if (!(flags & NORM_IGNORENONSPACE)) {
    if (int r = CompareLevel(a, b, flags, kTables.Diacritic)) return r;
  }
  if (!(flags & NORM_IGNORECASE)) {
    if (int r = CompareLevel(a, b, flags, kTables.Case)) return r;
  }
  if (WordSortSpecials(flags)) {
    SpecialCursor ca{a, flags}, cb{b, flags};
    for (;;) {
      std::size_t pa = 0, pb = 0;
      Byte wa = 0, wb = 0;
      const bool ha = ca.Next(pa, wa), hb = cb.Next(pb, wb);
      if (!ha || !hb) return !ha ? (!hb ? 0 : -1) : 1;
      if (pa != pb) return pa < pb ? -1 : 1;
      if (wa != wb) return wa < wb ? -1 : 1;
    }
  }
  return 0;
}

std::string AnsiSortKey(std::string_view text, Cardinal flags) {
  const Byte* counted = CountedRow(flags);
  // Three levels of at most one byte per character and their separators, filled in place.
  std::string key(text.size() * 3 + 3, '\0');
  std::size_t pos = WriteLevel(key, 0, text, counted, kTables.Primary, false);
  key[pos++] = '\x01';
  if (!(flags & NORM_IGNORENONSPACE)) pos = WriteLevel(key, pos, text, counted, kTables.Diacritic, true);
  key[pos++] = '\x01';
  if (!(flags & NORM_IGNORECASE)) pos = WriteLevel(key, pos, text, counted, kTables.Case, true);
  key[pos++] = '\x01';
  key.resize(pos);
  if (WordSortSpecials(flags)) {
    SpecialCursor c{text, flags};
    std::size_t position = 0;
    Byte weight = 0;
    while (c.Next(position, weight)) {
      // Every byte of a key level stays above the level separator.
      if (position > 250 * 250) position = 250 * 250;
      key.push_back(static_cast<char>(2 + position / 250));
      key.push_back(static_cast<char>(2 + position % 250));
      key.push_back(static_cast<char>(weight));
    }
  }
  return key;
}

char AnsiUpperChar(char c) { return static_cast<char>(kTables.Upper[static_cast<unsigned char>(c)]); }

char AnsiLowerChar(char c) { return static_cast<char>(kTables.Lower[static_cast<unsigned char>(c)]); }

}  // namespace orv

int CompareString(LCID, Cardinal flags, std::string_view a, std::string_view b) {
  return orv::CollateCompare(a, b, flags) + 2;
}

int CompareString(LCID locale, Cardinal flags, const char* a, int lengthA, const char* b, int lengthB) {
  const std::string_view va(a, lengthA < 0 ? std::strlen(a) : static_cast<std::size_t>(lengthA));
  const std::string_view vb(b, lengthB < 0 ? std::strlen(b) : static_cast<std::size_t>(lengthB));
  return CompareString(locale, flags, va, vb);
}

void CharUpperBuff(char* text, Cardinal length) {
  for (Cardinal i = 0; i < length; ++i) text[i] = orv::AnsiUpperChar(text[i]);
}

void CharLowerBuff(char* text, Cardinal length) {
  for (Cardinal i = 0; i < length; ++i) text[i] = orv::AnsiLowerChar(text[i]);
}
