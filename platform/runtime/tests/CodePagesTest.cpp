#include "platform/runtime/CodePages.h"

#include <gtest/gtest.h>

#include "platform/runtime/AnsiString.h"

namespace {

TEST(CodePages, TranslatesBetweenCp866AndWindows1251) {
  // cp866 bytes as an independent codec writes them.
  const std::string oem = "\x8C\xAE\xE1\xAA\xA2\xA0 \xF0\xAB\xAA\xA8\xAD\xAE \xF1 \xFC";
  EXPECT_EQ(orv::Cp866ToAnsi(oem), "Москва Ёлкино ё №"_a);
  EXPECT_EQ(orv::AnsiToCp866("Москва Ёлкино ё №"_a), oem);

  // Every character both code pages hold survives the round trip; the rest is replaced.
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const AnsiString ansi = orv::Cp866ToAnsi(one, '\x01');
    if (ansi != "\x01") {
      EXPECT_EQ(orv::AnsiToCp866(ansi), one) << b;
    }
  }
  EXPECT_EQ(orv::Cp866ToAnsi("\xB0\xC5"), "??");            // box drawing
  EXPECT_EQ(orv::AnsiToCp866("ЂІ"_a, '#'), "##");
}

TEST(CodePages, ConvertsToAndFromUtf16) {
  EXPECT_EQ(orv::AnsiToWide("Ёж €"_a), u"Ёж €");
  EXPECT_EQ(orv::WideToAnsi(u"Ёж €"), "Ёж €"_a);
  EXPECT_EQ(orv::WideToAnsi(u"日\U0001F600x"), "??x");  // a surrogate pair is one character
  EXPECT_EQ(orv::Utf8ToWide("a\U0001F600"), u"a\U0001F600");
  EXPECT_EQ(orv::WideToUtf8(u"a\U0001F600Ё"), "a\U0001F600Ё");
  const std::u16string lone = {u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
  EXPECT_EQ(orv::WideToUtf8(lone), "a\uFFFDb\uFFFD");
  EXPECT_EQ(orv::Utf8ToWide("\xFF"), u"\uFFFD");
  AnsiString all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(orv::WideToAnsi(orv::AnsiToWide(all)), all);
}

}  // namespace
