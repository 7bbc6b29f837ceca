#include "components/foundation/dxCore.h"

#include <gtest/gtest.h>

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Exceptions.h"

namespace {

TEST(dxCore, CharsetToCodePage) {
  const std::pair<Byte, Integer> cases[] = {
      {0, 0},      {1, 0},      {2, 0},      {163, 0},    {128, 932},  {129, 949},
      {130, 949},  {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {177, 1255},
      {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 0},
  };
  for (auto [charset, codePage] : cases) EXPECT_EQ(CharsetToCodePage(charset), codePage) << int(charset);
}

TEST(dxCore, CodePageConversions) {
  const AnsiString town = "Москва"_a;
  const WideString wide = u"Москва";
  EXPECT_EQ(AnsiToWide(town, 1251), wide);
  EXPECT_EQ(AnsiToWide(town, 0), wide);
  EXPECT_EQ(AnsiToWideWithCodePage(town, 1251, 3), u"Мос");
  EXPECT_EQ(AnsiToWideWithCodePage(town, 1251, 100), wide);
  EXPECT_EQ(AnsiToWideWithCodePage("", 1251, -1), u"");
  EXPECT_EQ(AnsiToWide("\xD0\x9C\xD0\xB8\xD1\x80", 65001), u"Мир");
  EXPECT_EQ(AnsiToWide("\x8C\xA8\xE0", 866), u"Мир");

  EXPECT_EQ(WideToAnsi(wide, 1251), town);
  EXPECT_EQ(WideToAnsiWithCodePage(wide, 0, 2), "Мо"_a);
  EXPECT_EQ(WideToAnsi(u"Мир", 65001), "\xD0\x9C\xD0\xB8\xD1\x80");
  EXPECT_EQ(WideToAnsi(u"Мир", 866), "\x8C\xA8\xE0");
  EXPECT_EQ(WideToAnsi(u"a\u4E2Db", 1251), "a?b");
  EXPECT_EQ(ConvertToAnsiString(town, 866), town);
}

// Text under a font's character set other than the Cyrillic one is read by that set's code page,
// not as Windows-1251, and written back the same way.
TEST(dxCore, CodePagesOfOtherCharacterSets) {
  struct Case {
    Byte charset;
    const char* bytes;
    const char16_t* wide;
  } cases[] = {
      {238, "\x8A\xE8\xB9", u"Ščą"},                       // Eastern European (1250)
      {161, "\xC1\xE8\xE2", u"Αθβ"},                       // Greek (1253)
      {162, "\xD0\xFD\xFE", u"Ğış"},                       // Turkish (1254)
      {186, "\xC0\xE6\xFE", u"Ąęž"},                       // Baltic (1257)
      {128, "\x82\xA0\x93\x8C\x8B\x9E", u"あ東京"},      // Shift-JIS (932), double-byte
      {222, "\xA1\xA2", u"กข"},                              // Thai (874)
  };
  for (const Case& c : cases) {
    const Cardinal codePage = Cardinal(CharsetToCodePage(c.charset));
    EXPECT_EQ(AnsiToWide(c.bytes, codePage), c.wide) << codePage;
    EXPECT_EQ(WideToAnsi(c.wide, codePage), c.bytes) << codePage;
  }
  // Windows-1252 by number: the euro sign and the accented Latin letters of its upper half.
  EXPECT_EQ(AnsiToWide("\x80\xE9\xFC", 1252), u"€éü");
  EXPECT_EQ(WideToAnsi(u"€éü", 1252), "\x80\xE9\xFC");
  // A byte the code page leaves undefined, and a lead byte cut off at the end.
  EXPECT_EQ(AnsiToWide("a\x81" "b", 1252), u"a\uFFFDb");
  EXPECT_EQ(AnsiToWide("a\x82", 932), u"a\uFFFD");
  EXPECT_EQ(AnsiToWideWithCodePage("\x82\xA0\x82\xA2", 932, 3), u"あ\uFFFD");
  // Characters a code page lacks, a pair of surrogates counting as one.
  EXPECT_EQ(WideToAnsi(u"aЖb\U0001F600c", 1252), "a?b?c");
  EXPECT_EQ(WideToAnsi(u"Жé", 1250), "?\xE9");
  // A code page without a table keeps ASCII and replaces the rest.
  EXPECT_EQ(AnsiToWide("ab\xC0", 59999), u"ab\uFFFD");
  EXPECT_EQ(WideToAnsi(u"abЖ\U0001F600", 59999), "ab??");
}

TEST(dxCore, HexText) {
  EXPECT_EQ(StringToHex(AnsiString("\x00\x7F\xAB\xFF", 4)), "007FABFF");
  EXPECT_EQ(StringToHex(""), "");
  EXPECT_EQ(HexToString("007fABff"), AnsiString("\x00\x7F\xAB\xFF", 4));
  EXPECT_EQ(HexToString("414"), "A");  // an odd last digit is dropped
  EXPECT_EQ(HexToString("4"), "");
  EXPECT_THROW(HexToString("4G"), EConvertError);
}

TEST(dxCore, ShortStringsAndBytes) {
  const AnsiString long300(300, 'x');
  const orv::ShortString s = StringToShortString(long300);
  EXPECT_EQ(s[0], 255);
  EXPECT_EQ(ShortStringToString(s), AnsiString(255, 'x'));
  EXPECT_EQ(ShortStringToString(StringToShortString("Орел"_a)), "Орел"_a);

  TdxByteSet set{};
  set[1] = 1u << 3;  // byte 35
  set[7] = 1u << 31;  // byte 255
  EXPECT_TRUE(IsByteInSet(35, set));
  EXPECT_TRUE(IsByteInSet(255, set));
  EXPECT_FALSE(IsByteInSet(34, set));
  EXPECT_FALSE(IsByteInSet(0, set));

  char buf[6] = "abcde";
  CopyBytes(buf, buf + 1, 3);  // overlapping
  EXPECT_STREQ(buf, "aabce");
  ZeroBytes(buf + 2, 2);
  EXPECT_EQ(buf[1], 'a');
  EXPECT_EQ(buf[2], 0);
  EXPECT_EQ(buf[4], 'e');
  Integer a = 1, b = 2;
  SwapIntegers(a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
}

TEST(dxCore, ColorToRGBA) {
  EXPECT_EQ(ColorToRGBA(clRed, 255), 0xFFFF0000u);
  EXPECT_EQ(ColorToRGBA(RGB(1, 2, 3), 0x80), 0x80010203u);
  EXPECT_EQ(ColorToRGBA(clBlack, 0), 0u);
  // A system colour is resolved to its current value first.
  const COLORREF face = ColorToRGB(clSystemColor | COLOR_BTNFACE);
  EXPECT_EQ(ColorToRGBA(clSystemColor | COLOR_BTNFACE, 255),
            0xFF000000u | (Cardinal(GetRValue(face)) << 16) | (Cardinal(GetGValue(face)) << 8) | GetBValue(face));
}

TEST(dxCore, VariantsToText) {
  Variant bytes = VarArrayCreate(1, 3, varByte);
  bytes.PutElement(1, Variant(Byte('a')));
  bytes.PutElement(2, Variant(Byte(0)));
  bytes.PutElement(3, Variant(Byte(0xE0)));
  EXPECT_EQ(VariantToAnsiString(bytes), AnsiString("a\0\xE0", 3));
  EXPECT_EQ(VariantToString(VarArrayOf({65, 66})), "AB");
  EXPECT_EQ(VariantToAnsiString(Variant("Омск"_a)), "Омск"_a);
  EXPECT_EQ(VariantToAnsiString(Variant(42)), "42");
  EXPECT_EQ(VariantToAnsiString(Null()), "");
  EXPECT_EQ(VariantToWideString(Variant(u"Омск\u4E2D")), u"Омск\u4E2D");  // no loss
  EXPECT_EQ(VariantToWideString(Variant("Омск"_a)), u"Омск");
  EXPECT_EQ(VariantToWideString(bytes), WideString(u"a\0\u0430", 3));
  EXPECT_TRUE(IsTextOrByteArrayVariant(Variant("x")));
  EXPECT_TRUE(IsTextOrByteArrayVariant(bytes));
  EXPECT_FALSE(IsTextOrByteArrayVariant(Variant(1)));
  EXPECT_FALSE(IsTextOrByteArrayVariant(Null()));
}

TEST(dxCore, OsFlags) {
  struct Case {
    Integer id, major, minor;
    orv::TOsFlags expected;
  } cases[] = {
      //                  9x     95     98     Me     NT     2000   2000+  XP     XP+    2k/XP  Vista  Vista+
      {1, 4, 0, {true, true, false, false, false, false, false, false, false, false, false, false}},
      {1, 4, 10, {true, false, true, false, false, false, false, false, false, false, false, false}},
      {1, 4, 90, {true, false, false, true, false, false, false, false, false, false, false, false}},
      {2, 4, 0, {false, false, false, false, true, false, false, false, false, false, false, false}},
      {2, 5, 0, {false, false, false, false, true, true, true, false, false, true, false, false}},
      {2, 5, 1, {false, false, false, false, true, false, true, true, true, true, false, false}},
      {2, 5, 2, {false, false, false, false, true, false, true, true, true, true, false, false}},
      {2, 6, 0, {false, false, false, false, true, false, true, false, true, false, true, true}},
      {2, 6, 1, {false, false, false, false, true, false, true, false, true, false, true, true}},
      {2, 10, 0, {false, false, false, false, true, false, true, false, true, false, false, true}},
  };
  for (const auto& c : cases) {
    const orv::TOsFlags f = orv::ComputeOsFlags(c.id, c.major, c.minor);
    const auto& e = c.expected;
    const bool actual[] = {f.Win9x, f.Win95, f.Win98, f.WinMe, f.WinNT, f.Win2000,
                           f.Win2000OrLater, f.WinXP, f.WinXPOrLater, f.Win2000OrXP, f.WinVista,
                           f.WinVistaOrLater};
    const bool expected[] = {e.Win9x, e.Win95, e.Win98, e.WinMe, e.WinNT, e.Win2000,
                             e.Win2000OrLater, e.WinXP, e.WinXPOrLater, e.Win2000OrXP, e.WinVista,
                             e.WinVistaOrLater};
    for (int i = 0; i < 12; ++i)
      EXPECT_EQ(actual[i], expected[i]) << c.id << " " << c.major << "." << c.minor << " flag " << i;
  }
  // What our platform reports: the NT family, version 5.1.
  EXPECT_TRUE(OsWinNT && OsWinXP && OsWinXPOrLater && !OsWinVista && !OsWin9x && !OsWow64);
}

}  // namespace
