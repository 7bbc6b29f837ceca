#include "platform/runtime/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

namespace {

using orv::TLocaleProfile;
using orv::TLocaleScope;

TEST(SysUtils, IntegersToAndFromText) {
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToStr(Int64(1) << 40), "1099511627776");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFFFFFFFFFF");

  const struct {
    const char* Text;
    bool Ok;
    Integer Value;
  } cases[] = {
      {"12", true, 12},     {" 12", true, 12},        {"-5", true, -5},       {"+7", true, 7},
      {"$FF", true, 255},   {"0x10", true, 16},       {"-2147483648", true, -2147483647 - 1},
      {"2147483647", true, 2147483647},               {"$FFFFFFFF", true, -1},
      {"2147483648", false, 0}, {"12 ", false, 0},    {"1.5", false, 0},      {"", false, 0},
      {" ", false, 0},      {"-", false, 0},          {"12a", false, 0},      {"55с"_a.c_str(), false, 0},
      {"$", false, 0},      {"1e3", false, 0},
  };
  for (const auto& c : cases) {
    Integer v = 99;
    EXPECT_EQ(TryStrToInt(c.Text, v), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(v, c.Value) << c.Text;
      EXPECT_EQ(StrToInt(c.Text), c.Value);
    } else {
      EXPECT_EQ(v, 99) << c.Text;
      EXPECT_THROW(StrToInt(c.Text), EConvertError) << c.Text;
      EXPECT_EQ(StrToIntDef(c.Text, -3), -3);
    }
  }
  try {
    StrToInt("12x");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.GetMessage(), "'12x' is not a valid integer value");
  }
  EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<Int64>::min());
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST(SysUtils, ValReadsNumbersWithThePlatformRules) {
  const struct {
    const char* Text;
    double Value;
    Integer Code;
  } reals[] = {
      {"   12.50", 12.5, 0}, {"12.50   ", 0, 6}, {"-.5", -0.5, 0}, {"1.", 1, 0},     {"1e3", 1000, 0},
      {"2.5E-2", 0.025, 0}, {"abc", 0, 1},      {"", 0, 1},        {"   ", 0, 4},    {"12,5", 0, 3},
      {"1e", 0, 3},         {"+", 0, 2},        {"0", 0, 0},       {"-0012", -12, 0},
  };
  for (const auto& c : reals) {
    double v = 77;
    Integer code = -1;
    Val(c.Text, v, code);
    EXPECT_EQ(code, c.Code) << '"' << c.Text << '"';
    EXPECT_EQ(v, c.Value) << '"' << c.Text << '"';
  }
  Integer i = 5, code = -1;
  Val("  -42", i, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(i, -42);
  Val("4x", i, code);
  EXPECT_EQ(code, 2);
  EXPECT_EQ(i, 0);
  Val("99999999999", i, code);
  EXPECT_EQ(code, 10);  // the digit that overflows
}

TEST(SysUtils, StrWritesFixedPointRightAligned) {
  const struct {
    double Value;
    int Width, Decimals;
    const char* Expected;
  } cases[] = {
      {3.14159, 8, 2, "    3.14"}, {12.5, 1, 3, "12.500"}, {-0.5, 0, 0, "-1"}, {0.125, 6, 2, "  0.13"},
      {-0.001, 6, 2, "  0.00"},     {55.75, 10, 4, "   55.7500"}, {1e20, 5, 1, "100000000000000000000.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Str(c.Value, c.Width, c.Decimals), c.Expected) << c.Value;
  EXPECT_EQ(Str(Int64(-12), 5), "  -12");
}

TEST(SysUtils, FloatToStrUsesFifteenSignificantDigits) {
  TLocaleScope english(TLocaleProfile::EnglishUS);
  const struct {
    double Value;
    const char* Expected;
  } cases[] = {
      {0, "0"},
      {1.5, "1.5"},
      {-2.5, "-2.5"},
      {100, "100"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {1234567890123456.0, "1.23456789012346E15"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {-1.25e-7, "-1.25E-7"},
      {55.7, "55.7"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.Value), c.Expected) << c.Expected;
}

TEST(SysUtils, FloatToStrFFormats) {
  TLocaleScope english(TLocaleProfile::EnglishUS);
  const struct {
    double Value;
    TFloatFormat Format;
    int Precision, Digits;
    const char* Expected;
  } cases[] = {
      {1234.5678, ffFixed, 15, 2, "1234.57"},
      {1234.5678, ffNumber, 15, 2, "1,234.57"},
      {-1234567.5, ffNumber, 15, 0, "-1,234,568"},
      {1234.5, ffExponent, 4, 2, "1.235E+03"},
      {-0.000123, ffExponent, 3, 0, "-1.23E-4"},
      {1234.5678, ffGeneral, 5, 0, "1234.6"},
      {1234.5678, ffGeneral, 3, 0, "1.23E3"},
      {1234.5678, ffGeneral, 3, 2, "1.23E03"},
      {0.125, ffFixed, 15, 2, "0.13"},   // halves away from zero on the decimal digits
      {2.675, ffFixed, 15, 2, "2.67"},   // the double lies below 2.675
      {-0.001, ffFixed, 15, 2, "0.00"},  // no sign on a zero
      {123456789.123, ffFixed, 6, 2, "1.23457E8"},  // more whole digits than the precision
      {1e20, ffFixed, 15, 2, "1E20"},
      {1234.5, ffCurrency, 15, 2, "$1,234.50"},
      {-1234.5, ffCurrency, 15, 2, "($1,234.50)"},
      {9.999, ffFixed, 15, 2, "10.00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits), c.Expected) << c.Expected;
}

TEST(SysUtils, RussianSeparatorsInNumbers) {
  EXPECT_EQ(FloatToStr(55.75), "55,75");
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2), "1\xA0" "234\xA0" "567,89");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2), "-1\u00A0" "234,50 р."_a);
  EXPECT_EQ(FormatFloat("0.00", 3.14159), "3,14");
  EXPECT_EQ(Format("%.2f", {3.14159}), "3,14");
  EXPECT_EQ(StrToFloat("1,5"), 1.5);
  EXPECT_EQ(StrToFloat(" -2,5e3 "), -2500);
  EXPECT_THROW(StrToFloat("1.5"), EConvertError);
  EXPECT_THROW(StrToFloat("1\xA0" "000"), EConvertError);
  // Val keeps its '.' whatever the locale.
  double v = 0;
  Integer code = 0;
  Val("1.5", v, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(v, 1.5);
}

TEST(SysUtils, FormatFloatPatterns) {
  TLocaleScope english(TLocaleProfile::EnglishUS);
  const struct {
    const char* Format;
    double Value;
    const char* Expected;
  } cases[] = {
      {"0.00", 3.14159, "3.14"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0", 999.5, "1,000"},
      {"#.##", 0.5, ".5"},
      {"0.##", 1, "1"},
      {"0.0#", 1.5, "1.5"},
      {"000", 7, "007"},
      {"#", 0, ""},
      {"0", 2.5, "3"},
      {"0", -0.4, "0"},
      {"00.0", -1.25, "-01.3"},
      {"0.00;(0.00)", -3.5, "(3.50)"},
      {"0.00;(0.00)", 3.5, "3.50"},
      {"0.0;-0.0;'nothing'", 0.04, "nothing"},
      {"0.0;;'zero'", -0.01, "zero"},
      {"0.00E+00", 1234, "1.23E+03"},
      {"0.###E-0", 0.000123, "1.23E-4"},
      {"00.0e+0", 1234, "12.3e+2"},
      {"\"$\"#,##0", 1234, "$1,234"},
      {"0 'pcs'", 12, "12 pcs"},
      {"", 1.5, "1.5"},
      {"0-00", 1234, "12-34"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.Format, c.Value), c.Expected) << c.Format << " " << c.Value;
}

TEST(SysUtils, FormatPadsByBytesAndChecksItsArguments) {
  TLocaleScope english(TLocaleProfile::EnglishUS);
  EXPECT_EQ(Format("%s: %d", {"a", 5}), "a: 5");
  EXPECT_EQ(Format("%-10s|", {"Москва"_a}), "Москва    |"_a);
  EXPECT_EQ(Format("%10s|", {AnsiString("Ёж"_a)}), "        Ёж|"_a);
  EXPECT_EQ(Format("%5d|%-5d|%.3d", {42, 42, 7}), "   42|42   |007");
  EXPECT_EQ(Format("%x %.4X", {255, 255}), "FF 00FF");
  EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
  EXPECT_EQ(Format("%*d|%.*f", {5, 42, 1, 2.25}), "   42|2.3");
  EXPECT_EQ(Format("%.3s%%", {"abcdef"}), "abc%");
  EXPECT_EQ(Format("%s%%", {'x'}), "x%");
  EXPECT_EQ(Format("%d", {Int64(1) << 40}), "1099511627776");
  EXPECT_EQ(Format("%n", {1234.5}), "1,234.50");
  EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
  EXPECT_EQ(Format("%g", {0.5}), "0.5");
  EXPECT_EQ(Format("%m", {-3.0}), "($3.00)");
  EXPECT_THROW(Format("%d", {1.5}), EConvertError);
  EXPECT_THROW(Format("%f", {1}), EConvertError);
  EXPECT_THROW(Format("%s %s", {"a"}), EConvertError);
  EXPECT_THROW(Format("%", {}), EConvertError);
  EXPECT_THROW(Format("%q", {1}), EConvertError);
}

TEST(SysUtils, StringHelpers) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(UpperCase("abc ёж"_a), "ABC ёж"_a);
  EXPECT_EQ(LowerCase("ABC ЁЖ"_a), "abc ЁЖ"_a);
  EXPECT_EQ(CompareText("abc", "ABD"), -1);
  EXPECT_TRUE(SameText("Orvane.DBF", "ORVANE.dbf"));
  EXPECT_EQ(Pos("ск"_a, "Москва"_a), 3);
  EXPECT_EQ(Pos("x", "Москва"_a), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Copy("Москва"_a, 2, 3), "оск"_a);
  EXPECT_EQ(Copy("abc", 0, 2), "ab");
  EXPECT_EQ(Copy("abc", 3, 10), "c");
  EXPECT_EQ(Copy("abc", 4, 1), "");
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false, true), "False");
}

TEST(SysUtils, FileNames) {
  const struct {
    const char* Name;
    const char* Path;
    const char* File;
    const char* Ext;
  } cases[] = {
      {"C:\\Prog\\DB\\Orvane.DBF", "C:\\Prog\\DB\\", "Orvane.DBF", ".DBF"},
      {"/home/u/DB/ORVANE.DBF", "/home/u/DB/", "ORVANE.DBF", ".DBF"},
      {"C:file.txt", "C:", "file.txt", ".txt"},
      {"dir.d\\file", "dir.d\\", "file", ""},
      {"archive.tar.gz", "", "archive.tar.gz", ".gz"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.Name), c.Path) << c.Name;
    EXPECT_EQ(ExtractFileName(c.Name), c.File) << c.Name;
    EXPECT_EQ(ExtractFileExt(c.Name), c.Ext) << c.Name;
  }
  EXPECT_EQ(ChangeFileExt("DB\\ORVANE.DBF", ".DBT"), "DB\\ORVANE.DBT");
  EXPECT_EQ(ChangeFileExt("dir.d\\file", ".txt"), "dir.d\\file.txt");
  EXPECT_EQ(ChangeFileExt("Орване.txt"_a, ""), "Орване"_a);
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\a"), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
}

TEST(SysUtils, CurrencyKeepsFourDecimals) {
  TLocaleScope english(TLocaleProfile::EnglishUS);
  EXPECT_EQ(Currency::FromDouble(1.23456).Scaled, 12346);
  EXPECT_EQ(Currency::FromDouble(0.00005).Scaled, 0);  // banker's: the half goes to even
  EXPECT_EQ(CurrToStr(Currency{-12345}), "-1.2345");
  EXPECT_EQ(CurrToStr(Currency{922337203685477580}), "92233720368547.758");
  EXPECT_EQ(CurrToStr(Currency{-5}), "-0.0005");
  EXPECT_EQ(CurrToStr(Currency{std::numeric_limits<Int64>::min()}), "-922337203685477.5808");
}

}  // namespace
