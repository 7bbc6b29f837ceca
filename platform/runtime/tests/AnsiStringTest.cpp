#include "platform/runtime/AnsiString.h"

#include <gtest/gtest.h>

#include "platform/runtime/Exceptions.h"

namespace {

TEST(AnsiLiteral, ConvertsUtf8SourceToWindows1251AtCompileTime) {
  constexpr std::string_view moscow = "Москва"_a;
  static_assert(moscow.size() == 6);
  static_assert(static_cast<unsigned char>(moscow[0]) == 0xCC);  // М
  static_assert(static_cast<unsigned char>("Ёё№"_a[0]) == 0xA8);
  static_assert(static_cast<unsigned char>("Ёё№"_a[1]) == 0xB8);
  static_assert(static_cast<unsigned char>("Ёё№"_a[2]) == 0xB9);
  static_assert("abc"_a.size() == 3);
  static_assert(""_a.size() == 0);

  const AnsiString s = "Всего найдено записей: "_a;
  EXPECT_EQ(s.size(), 23u);
  EXPECT_TRUE(s == "Всего найдено записей: "_a);
  EXPECT_EQ(s + "1"_a, "Всего найдено записей: 1"_a);
  EXPECT_STREQ("Орване"_a.c_str(), "\xCE\xF0\xE2\xE0\xED\xE5");
}

TEST(AnsiConversion, RoundTripsEveryByteThroughUtf8) {
  AnsiString all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(orv::Utf8ToAnsi(orv::AnsiToUtf8(all)), all);
  EXPECT_EQ(orv::AnsiToUtf8("Ёж €"_a), "Ёж €");
}

TEST(AnsiConversion, ReplacesWhatTheCodePageCannotHold) {
  struct Case {
    std::string_view Utf8;
    std::string_view Expected;
  } const cases[] = {
      {"日本", "??"},
      {"a\xFF" "b", "a?b"},          // a stray byte
      {"\xD0", "?"},                  // a sequence cut short
      {"\xED\xA0\x80", "???"},        // an encoded surrogate
      {"😀x", "?x"},
  };
  for (const auto& c : cases) EXPECT_EQ(orv::Utf8ToAnsi(c.Utf8), c.Expected) << c.Utf8;
}

TEST(Exceptions, CarryTheirMessageAndFamily) {
  try {
    throw EFOpenError("Cannot open file"_a);
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.GetMessage(), "Cannot open file");
    EXPECT_NE(dynamic_cast<const EFileStreamError*>(&e), nullptr);
  }
  const EReadError readError("x");
  EXPECT_EQ(dynamic_cast<const EFileStreamError*>(static_cast<const Exception*>(&readError)), nullptr);
}

}  // namespace
