// Russian collation of Windows-1251 text, and its case mapping.
//
// Texts compare level by level, as the locale's word sort does:
//   1. letters and digits: punctuation and blanks first, then digits, Latin, then Cyrillic
//      letters (Ё with Е, Ukrainian and other Cyrillic letters beside their Russian
//      neighbours); hyphens and apostrophes do not count here, so "Komsomolsk-na-Amure" stays
//      among its neighbours;
//   2. marks on letters (Е before Ё);
//   3. case (lower case first);
//   4. where the hyphens and apostrophes stand (a text without them first).
// A difference on an earlier level decides. SORT_STRINGSORT makes hyphens and apostrophes
// ordinary punctuation on level 1. Soft hyphens and control characters are ignored.
//
// Sort keys hold the same order as byte strings, so a large list is sorted by comparing keys
// made once instead of walking the levels on every comparison.
#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/Types.h"

using LCID = Cardinal;

inline constexpr Cardinal NORM_IGNORECASE = 0x0001;
inline constexpr Cardinal NORM_IGNORENONSPACE = 0x0002;  // level 2 (marks) is skipped
inline constexpr Cardinal NORM_IGNORESYMBOLS = 0x0004;   // punctuation and blanks are ignored
inline constexpr Cardinal SORT_STRINGSORT = 0x1000;

inline constexpr int CSTR_LESS_THAN = 1;
inline constexpr int CSTR_EQUAL = 2;
inline constexpr int CSTR_GREATER_THAN = 3;

// CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN. Every locale collates as Russian.
int CompareString(LCID locale, Cardinal flags, std::string_view a, std::string_view b);
// With explicit lengths; a negative length reads up to a terminating zero.
int CompareString(LCID locale, Cardinal flags, const char* a, int lengthA, const char* b, int lengthB);

// Windows-1251 case mapping in place, all Cyrillic letters of the code page included.
void CharUpperBuff(char* text, Cardinal length);
void CharLowerBuff(char* text, Cardinal length);

namespace orv {

// -1, 0 or 1.
int CollateCompare(std::string_view a, std::string_view b, Cardinal flags = 0);
// A byte string whose byte-wise order (std::string comparison, memcmp) is CollateCompare's.
std::string AnsiSortKey(std::string_view text, Cardinal flags = 0);

char AnsiUpperChar(char c);
char AnsiLowerChar(char c);

// The case mapping behind both, on code points: the Latin letters and the Cyrillic letters of
// Windows-1251, its Cyrillic extensions included; every other code point unchanged.
constexpr char32_t UpperCodePoint(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c >= 0x0430 && c <= 0x044F) return c - 0x20;  // а..я
  if (c >= 0x0450 && c <= 0x045F) return c - 0x50;  // ѐ..џ: ё, ђ, ѓ, є, ѕ, і, ї, ј, љ, ...
  if (c == 0x0491) return 0x0490;                   // ґ
  return c;
}

constexpr char32_t LowerCodePoint(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 0x20;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  if (c == 0x0490) return 0x0491;
  return c;
}

}  // namespace orv
