#include "platform/runtime/Locale.h"

#include <gtest/gtest.h>

#include "platform/runtime/AnsiString.h"

namespace {

using orv::TLocaleProfile;
using orv::TLocaleScope;

TEST(Locale, RussianIsTheDefaultAndQueriesAnswerFromTheSettings) {
  EXPECT_EQ(GetThreadLocale(), LANG_RUSSIAN_RUSSIA);
  const struct {
    LCTYPE Type;
    AnsiString Expected;
  } cases[] = {
      {LOCALE_SDECIMAL, ","},
      {LOCALE_STHOUSAND, "\xA0"},
      {LOCALE_SDATE, "."},
      {LOCALE_SSHORTDATE, "dd.MM.yyyy"},
      {LOCALE_STIMEFORMAT, "H:mm:ss"},
      {LOCALE_SCURRENCY, "р."_a},
      {LOCALE_ICURRENCY, "3"},
      {LOCALE_ICURRDIGITS, "2"},
      {LOCALE_IFIRSTDAYOFWEEK, "0"},
      {LOCALE_IFIRSTWEEKOFYEAR, "0"},
      {LOCALE_SDAYNAME1, "понедельник"_a},
      {LOCALE_SDAYNAME1 + 6, "воскресенье"_a},
      {LOCALE_SABBREVDAYNAME1 + 6, "Вс"_a},
      {LOCALE_SMONTHNAME1 + 11, "Декабрь"_a},
      {LOCALE_SABBREVMONTHNAME1, "янв"_a},
      {LOCALE_S1159, ""},
      {LOCALE_IDATE, "1"},
      {LOCALE_ICALENDARTYPE, "1"},
      {LOCALE_IDEFAULTANSICODEPAGE, "1251"},
      {LOCALE_SDECIMAL | LOCALE_NOUSEROVERRIDE, ","},
      {0x7777, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, c.Type), c.Expected) << std::hex << c.Type;
  EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_S1159, "am"), "am");

  // A change to the settings object is what the queries report.
  FormatSettings.DecimalSeparator = '.';
  EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL), ".");
  FormatSettings.DecimalSeparator = ',';
}

TEST(Locale, EnglishProfileForTheEnglishExamples) {
  {
    TLocaleScope english(TLocaleProfile::EnglishUS);
    EXPECT_EQ(FormatSettings.DecimalSeparator, '.');
    EXPECT_EQ(FormatSettings.ShortDateFormat, "M/d/yyyy");
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK), "6");
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT), "h:mm:ss tt");
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SSHORTESTDAYNAME1 + 6), "Su");
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_IDATE), "0");
  }
  EXPECT_EQ(FormatSettings.DecimalSeparator, ',');
}

TEST(Locale, FormatsDatesInLocalePictures) {
  const TDateTime d = EncodeDate(2006, 12, 3) + EncodeTime(7, 5, 9, 0);  // a Sunday
  const struct {
    AnsiString Picture;
    AnsiString Expected;
  } russian[] = {
      {"", "03.12.2006"},
      {"d.M.yy", "3.12.06"},
      {"dddd, d MMMM yyyy", "воскресенье, 3 декабря 2006"_a},
      {"MMMM yyyy", "Декабрь 2006"_a},
      {"ddd MMM y", "Вс дек 6"_a},
      {"yyyy 'г.' gg"_a, "2006 г. н.э."_a},
      {"'it''s' d", "it's 3"},
  };
  for (const auto& c : russian) EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, d, c.Picture), c.Expected) << c.Picture;
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, DATE_LONGDATE, d, ""), "3 декабря 2006 г."_a);
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, 1e9, ""), "");
  EXPECT_EQ(GetTimeFormat(LOCALE_USER_DEFAULT, 0, d, ""), "7:05:09");
  EXPECT_EQ(GetTimeFormat(LOCALE_USER_DEFAULT, TIME_NOSECONDS, d, "HH:mm:ss"), "07:05");

  TLocaleScope english(TLocaleProfile::EnglishUS);
  const TDateTime evening = EncodeDate(2006, 12, 3) + EncodeTime(19, 5, 9, 0);
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, d, ""), "12/3/2006");
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, DATE_LONGDATE, d, ""), "Sunday, December 03, 2006");
  EXPECT_EQ(GetTimeFormat(LOCALE_USER_DEFAULT, 0, evening, ""), "7:05:09 PM");
  EXPECT_EQ(GetTimeFormat(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT, evening, ""), "19:05:09");
  EXPECT_EQ(GetTimeFormat(LOCALE_USER_DEFAULT, TIME_NOMINUTESORSECONDS, evening, "hh:mm:ss t"), "07 P");
}

}  // namespace
