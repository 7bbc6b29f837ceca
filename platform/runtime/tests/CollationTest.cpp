#include "platform/runtime/Collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"

namespace {

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int KeyCompare(const AnsiString& a, const AnsiString& b, Cardinal flags) {
  return Sign(orv::AnsiSortKey(a, flags).compare(orv::AnsiSortKey(b, flags)));
}

// The corpus is ordered by an independent implementation of Russian collation.
std::vector<AnsiString> LoadTowns() {
  std::ifstream in(std::string(ORV_SOURCE_DIR) + "/platform/runtime/tests/fixtures/russian-towns.txt");
  std::vector<AnsiString> towns;
  std::string line;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '#') towns.push_back(orv::Utf8ToAnsi(line));
  return towns;
}

TEST(Collation, SortsRealTownNamesInRussianOrder) {
  const std::vector<AnsiString> expected = LoadTowns();
  ASSERT_GT(expected.size(), 200u);
  std::vector<AnsiString> shuffled = expected;
  std::mt19937 random(4);
  std::shuffle(shuffled.begin(), shuffled.end(), random);

  std::vector<AnsiString> byCompare = shuffled;
  std::sort(byCompare.begin(), byCompare.end(), [](const AnsiString& a, const AnsiString& b) { return AnsiCompareStr(a, b) < 0; });
  EXPECT_EQ(byCompare, expected);

  std::vector<std::pair<std::string, AnsiString>> keyed;
  for (const auto& s : shuffled) keyed.emplace_back(orv::AnsiSortKey(s), s);
  std::sort(keyed.begin(), keyed.end());
  std::vector<AnsiString> byKey;
  for (const auto& k : keyed) byKey.push_back(k.second);
  EXPECT_EQ(byKey, expected);
}

TEST(Collation, OrdersPairsAsTheWordSortDoes) {
  const struct {
    AnsiString A, B;
    int Expected;  // sign of compare(A, B), case-sensitive
    int IgnoringCase;
  } cases[] = {
      {"Ейск"_a, "Ёлкино"_a, -1, -1},              // Ё sorts with Е ...
      {"Ёлкино"_a, "Елец"_a, 1, 1},
      {"Орел"_a, "Орёл"_a, -1, -1},                // ... and only marks tell them apart
      {"орел"_a, "Орел"_a, -1, 0},                 // lower case first, on the last level
      {"орёл"_a, "Орел"_a, 1, 1},                  // the mark outweighs the case
      {"ёж"_a, "ЁЖ"_a, -1, 0},
      {"яблоко"_a, "Ящик"_a, -1, -1},              // letters before case
      {"Zurich", "Аахен"_a, -1, -1},               // Latin before Cyrillic
      {"zeta", "Alpha", 1, 1},
      {"2-й"_a, "Абаза"_a, -1, -1},                // digits before letters
      {"10", "9", -1, -1},                          // digits as characters
      {"!", "0", -1, -1},                           // punctuation before digits
      {"Ростов"_a, "Ростов-на-Дону"_a, -1, -1},
      {"Ростов Великий"_a, "Ростов-на-Дону"_a, -1, -1},  // a blank counts, a hyphen does not
      {"Ростовка"_a, "Ростов-на-Дону"_a, -1, -1},
      {"Гусев"_a, "Гусь-Хрустальный"_a, -1, -1},
      {"coop", "co-op", -1, -1},                    // same letters: the hyphen decides last
      {"co-op", "coop", 1, 1},
      {"Co-op", "coop", 1, 1},                      // case is weighed before the hyphen
      {"Кот-д'Ивуар"_a, "Котдивуар"_a, 1, 1},
      {"Кот-д'Ивуар"_a, "Котельнич"_a, -1, -1},
      {"abc", "abc", 0, 0},
      {"", "a", -1, -1},
      {"", "", 0, 0},
      {"a\xAD" "b", "ab", 0, 0},                    // a soft hyphen is ignored
      {"Ґ"_a, "Д"_a, -1, -1},
      {"ї"_a, "й"_a, -1, -1},
      {"Ї"_a, "і"_a, 1, 1},
  };
  for (const auto& c : cases) {
    const std::string label = orv::AnsiToUtf8(c.A) + " | " + orv::AnsiToUtf8(c.B);
    EXPECT_EQ(Sign(AnsiCompareStr(c.A, c.B)), c.Expected) << label;
    EXPECT_EQ(Sign(AnsiCompareStr(c.B, c.A)), -c.Expected) << label;
    EXPECT_EQ(Sign(AnsiCompareText(c.A, c.B)), c.IgnoringCase) << label;
    EXPECT_EQ(KeyCompare(c.A, c.B, 0), c.Expected) << label;
    EXPECT_EQ(KeyCompare(c.A, c.B, NORM_IGNORECASE), c.IgnoringCase) << label;
    EXPECT_EQ(CompareString(LOCALE_USER_DEFAULT, 0, c.A, c.B), c.Expected + 2) << label;
  }
}

TEST(Collation, StringSortAndIgnoreFlags) {
  // String sort: the hyphen is ordinary punctuation, below every letter.
  EXPECT_EQ(Sign(orv::CollateCompare("co-op", "coop", SORT_STRINGSORT)), -1);
  EXPECT_EQ(KeyCompare("co-op", "coop", SORT_STRINGSORT), -1);
  EXPECT_EQ(Sign(orv::CollateCompare("Орел"_a, "Орёл"_a, NORM_IGNORENONSPACE)), 0);
  EXPECT_EQ(Sign(orv::CollateCompare("a, b", "ab", NORM_IGNORESYMBOLS)), 0);
  EXPECT_EQ(CompareString(0, NORM_IGNORECASE, "ABC", -1, "abcd", 3), CSTR_EQUAL);
  EXPECT_EQ(CompareString(0, 0, "ABC", -1, "abcd", 3), CSTR_GREATER_THAN);
}

TEST(Collation, KeysAgreeWithComparisonOnEveryPairOfAMixedSample) {
  // An array, not a vector from a list: clang 14 crashes on a vector of strings listed from plain
  // and "..."_a literals mixed.
  const AnsiString sample[] = {"", "a", "A", "-a", "a-", "'a", "a'b", "ab", "Ab", "a b", "a-b", "ё"_a,
                               "е"_a, "Е"_a, "Ё"_a, "ее"_a, "её"_a, "ёе"_a, "Её"_a, "1", "1a", "a1", "\xA0",
                               " ", "Ъ"_a, "ъ"_a, "ь"_a, "-", "--", "a--b", "a-b-", "\x01", "\xAD",
                               "Ьа"_a, "Ё-а"_a, "е-а"_a};
  for (const Cardinal flags : {0u, Cardinal(NORM_IGNORECASE), Cardinal(SORT_STRINGSORT), Cardinal(NORM_IGNORESYMBOLS)}) {
    for (const auto& a : sample) {
      for (const auto& b : sample) {
        ASSERT_EQ(KeyCompare(a, b, flags), orv::CollateCompare(a, b, flags))
            << orv::AnsiToUtf8(a) << " | " << orv::AnsiToUtf8(b) << " flags " << flags;
      }
    }
  }
}

TEST(Collation, CaseMappingCoversTheCyrillicOfTheCodePage) {
  const struct {
    AnsiString Lower, Upper;
  } cases[] = {
      {"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_a, "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_a},
      {"ђѓљњќћџўјґєїіѕ"_a, "ЂЃЉЊЌЋЏЎЈҐЄЇІЅ"_a},
      {"hello, world 123"_a, "HELLO, WORLD 123"_a},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiUpperCase(c.Lower), c.Upper);
    EXPECT_EQ(AnsiLowerCase(c.Upper), c.Lower);
  }
  // Characters without case stay as they are.
  const AnsiString symbols = "µ№€«»\u00A0\u0098"_a;
  EXPECT_EQ(AnsiUpperCase(symbols), symbols);
  EXPECT_EQ(AnsiLowerCase(symbols), symbols);
  AnsiString buffer = "москва"_a;
  CharUpperBuff(buffer.data(), 3);
  EXPECT_EQ(buffer, "МОСква"_a);
}

}  // namespace
