// Date routines: smart date input, parsing and texts of edited dates, names and captions,
// date parts and week numbers, under the Russian and the US English locales on a fixed clock.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>

#include "components/data/cxDateUtils.h"
#include "components/data/cxFormats.h"
#include "components/data/cxLibraryConsts.h"
#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Exceptions.h"

namespace {

// Wednesday, 15 May 2024, 10:30.
TDateTime FixedNow() { return EncodeDate(2024, 5, 15) + EncodeTime(10, 30, 0, 0); }

TDateTime Ymd(Word y, Word m, Word d) { return EncodeDate(y, m, d); }

// Switches the locale and the clock for one test; the program's format controller follows.
class DateUtils : public ::testing::Test {
 protected:
  void Use(orv::TLocaleProfile profile) {
    FScope.reset();
    FScope.emplace(profile);
    GetFormatController()->Rebuild();
  }
  void SetUp() override {
    FSavedNow = orv::SetNowFunction(&FixedNow);
    Use(orv::TLocaleProfile::Russian);
  }
  void TearDown() override {
    FScope.reset();
    GetFormatController()->SetUsePlatformFormats(false);
    GetFormatController()->Rebuild();
    orv::SetNowFunction(FSavedNow);
    SmartDateHook = nullptr;
  }
  std::optional<orv::TLocaleScope> FScope;
  orv::TNowFunction FSavedNow = nullptr;
};

TEST_F(DateUtils, SmartWordsAndOffsets) {
  const struct {
    const char* Text;
    TDateTime Expected;
  } cases[] = {
      {"today", Ymd(2024, 5, 15)},         {"TODAY", Ymd(2024, 5, 15)},        {"todays", Ymd(2024, 5, 15)},
      {"  tomorrow  ", Ymd(2024, 5, 16)},  {"yesterday", Ymd(2024, 5, 14)},    {"tomorrow+2", Ymd(2024, 5, 18)},
      {"today - 1", Ymd(2024, 5, 14)},     {"today +  2", Ymd(2024, 5, 17)},   {"yesterday-10", Ymd(2024, 5, 4)},
      {"today+", Ymd(2024, 5, 15)},        {"today+x", Ymd(2024, 5, 15)},      {"today 5", Ymd(2024, 5, 15)},
      {"today+99999999999", Ymd(2024, 5, 15)},
      {"bom", Ymd(2024, 5, 1)},            {"bom-1", Ymd(2024, 4, 30)},        {"eom", Ymd(2024, 5, 31)},
      {"Sunday", Ymd(2024, 5, 19)},        {"monday", Ymd(2024, 5, 20)},       {"Tuesday", Ymd(2024, 5, 21)},
      {"Wednesday", Ymd(2024, 5, 15)},     {"Thursday", Ymd(2024, 5, 16)},     {"Friday", Ymd(2024, 5, 17)},
      {"Saturday", Ymd(2024, 5, 18)},      {"first", Ymd(2024, 5, 13)},        {"second", Ymd(2024, 5, 14)},
      {"third", Ymd(2024, 5, 15)},         {"seventh", Ymd(2024, 5, 19)},      {"second+1", Ymd(2024, 5, 15)},
      {"now", FixedNow()},               {"NOW", FixedNow()},              {"nowhere", FixedNow()},
      {"now+1", FixedNow() + 1},
  };
  for (const auto& c : cases) {
    TDateTime date = 0;
    ASSERT_TRUE(TrySmartTextToDate(c.Text, date)) << c.Text;
    EXPECT_EQ(date, c.Expected) << c.Text;
  }
  TDateTime date = 0;
  EXPECT_FALSE(TrySmartTextToDate("15.05.2024", date));
  EXPECT_FALSE(TrySmartTextToDate("", date));

  // Weeks start on Sunday in the US: "first" is Sunday, "seventh" Saturday of this week.
  Use(orv::TLocaleProfile::EnglishUS);
  ASSERT_TRUE(TrySmartTextToDate("first", date));
  EXPECT_EQ(date, Ymd(2024, 5, 12));
  ASSERT_TRUE(TrySmartTextToDate("seventh", date));
  EXPECT_EQ(date, Ymd(2024, 5, 18));
}

TEST_F(DateUtils, SmartWordsComeFromTheRepositoryAndTheHook) {
  cxSetResourceString(&cxSDateTomorrow, "завтра"_a);
  TDateTime date = 0;
  EXPECT_TRUE(TrySmartTextToDate("Завтра+1"_a, date));
  EXPECT_EQ(date, Ymd(2024, 5, 17));
  cxSetResourceString(&cxSDateTomorrow, "tomorrow");

  // An empty word matches every text, as the last candidate.
  cxSetResourceString(&cxSDateBOM, "");
  EXPECT_TRUE(TrySmartTextToDate("zzz", date));
  EXPECT_EQ(date, Ymd(2024, 5, 1));
  EXPECT_TRUE(TrySmartTextToDate("eom", date));
  EXPECT_EQ(date, Ymd(2024, 5, 31));
  cxSetResourceString(&cxSDateBOM, "bom");

  SmartDateHook = [](const AnsiString& text, TDateTime& result) {
    if (text != "xmas") return false;
    result = EncodeDate(2024, 12, 25);
    return true;
  };
  EXPECT_TRUE(TrySmartTextToDate("xmas", date));
  EXPECT_EQ(date, Ymd(2024, 12, 25));
  EXPECT_FALSE(TrySmartTextToDate("easter", date));
  EXPECT_EQ(ParseEditDateText("xmas", false), Ymd(2024, 12, 25));
}

TEST_F(DateUtils, SmartWordsInMasks) {
  AnsiString mask = "x";
  AppendSmartWordsToMask(mask, true);
  EXPECT_EQ(mask.substr(0, 25), "(x)|('today'|'yesterday'|");
  EXPECT_NE(mask.find("|'eom'|'now')((\\+|-)\\d(\\d(\\d\\d?)?)?)?"), AnsiString::npos);
  mask = "";
  QuoteForRegExpr(mask, "it's 'q'");
  EXPECT_EQ(mask, "'it'\\''s '\\''q'\\'");
  mask = "";
  QuoteForRegExpr(mask, "");
  EXPECT_EQ(mask, "");
}

TEST_F(DateUtils, EditTextsParseInTheLocalesForm) {
  const struct {
    orv::TLocaleProfile Profile;
    const char* Text;
    Boolean PlatformFormats;
    TDateTime Expected;
  } cases[] = {
      {orv::TLocaleProfile::Russian, "", false, NullDate},
      {orv::TLocaleProfile::Russian, "   ", false, NullDate},
      {orv::TLocaleProfile::Russian, "31.12.2020", false, Ymd(2020, 12, 31)},
      {orv::TLocaleProfile::Russian, " 5.01.2020 ", false, Ymd(2020, 1, 5)},
      {orv::TLocaleProfile::Russian, "5.1.20", false, Ymd(2020, 1, 5)},
      {orv::TLocaleProfile::Russian, "31.02.2020", false, NullDate},
      {orv::TLocaleProfile::Russian, "1.1.10000", false, NullDate},
      {orv::TLocaleProfile::Russian, "5 января 2020", false, Ymd(2020, 1, 5)},
      {orv::TLocaleProfile::Russian, "15.05.2024 10:30", false, FixedNow()},
      {orv::TLocaleProfile::Russian, "15.05", false, Ymd(2024, 5, 15)},
      {orv::TLocaleProfile::Russian, "tomorrow", false, Ymd(2024, 5, 16)},
      {orv::TLocaleProfile::Russian, "today+3000000", false, NullDate},
      {orv::TLocaleProfile::Russian, "abc", false, NullDate},
      {orv::TLocaleProfile::Russian, "15", false, NullDate},
      {orv::TLocaleProfile::Russian, "15.05.2024", true, Ymd(2024, 5, 15)},
      {orv::TLocaleProfile::Russian, "15 05 2024", true, NullDate},
      {orv::TLocaleProfile::EnglishUS, "5/15/2024", false, Ymd(2024, 5, 15)},
      {orv::TLocaleProfile::EnglishUS, "5/15/2024 10:30 PM", false, Ymd(2024, 5, 15) + EncodeTime(22, 30, 0, 0)},
      {orv::TLocaleProfile::EnglishUS, "May 15 2024", false, Ymd(2024, 5, 15)},
      {orv::TLocaleProfile::EnglishUS, "15/5/2024", false, NullDate},
      {orv::TLocaleProfile::EnglishUS, "5/15/2024", true, Ymd(2024, 5, 15)},
  };
  for (const auto& c : cases) {
    Use(c.Profile);
    EXPECT_EQ(ParseEditDateText(orv::Utf8ToAnsi(c.Text), c.PlatformFormats), c.Expected) << c.Text;
  }
  Use(orv::TLocaleProfile::Russian);
  TDateTime date = 0;
  EXPECT_TRUE(TryEditTextToDate("1.2.2003", date));
  EXPECT_EQ(date, Ymd(2003, 2, 1));
  EXPECT_FALSE(TryEditTextToDate("", date));
  EXPECT_EQ(date, NullDate);
  EXPECT_TRUE(TryParseDateText("1.2.2003", date));
  EXPECT_TRUE(TryTextToDateTime("today", date));  // the editors' form takes smart words
}

TEST_F(DateUtils, LiteralWordsOfTheFormatAreIgnored) {
  FormatSettings.ShortDateFormat = "d.MM.yyyy 'г.'"_a;
  GetFormatController()->Rebuild();
  EXPECT_EQ(ParseEditDateText("5.01.2020 г."_a, false), Ymd(2020, 1, 5));
  EXPECT_EQ(ParseEditDateText("5.01.2020 Г."_a, false), Ymd(2020, 1, 5));
  AnsiString text = "5.01.2020  г.  "_a;
  CleanDateText(text, true);
  EXPECT_EQ(text, "5 01 2020");
  text = "5.01.2020   г."_a;
  CleanDateText(text, false);
  EXPECT_EQ(text, "5.01.2020");
}

TEST_F(DateUtils, TextToDateTimeWithoutSmartWordsOrRangeCheck) {
  TDateTime date = 0;
  EXPECT_TRUE(TryTextToDateTime("15.05.2024", true, date));
  EXPECT_EQ(date, Ymd(2024, 5, 15));
  EXPECT_TRUE(TryTextToDateTime("15.05.2024 10:30", false, date));
  EXPECT_EQ(date, FixedNow());
  EXPECT_FALSE(TryTextToDateTime("tomorrow", true, date));
  EXPECT_EQ(date, NullDate);
  EXPECT_FALSE(TryTextToDateTime("", false, date));
}

TEST_F(DateUtils, EditTextsOfDates) {
  const TDateTime withTime = FixedNow();
  const struct {
    orv::TLocaleProfile Profile;
    Boolean DisplayFormat, WithTime, FourDigits;
    TDateTime Date;
    const char* Text;
  } cases[] = {
      {orv::TLocaleProfile::Russian, false, false, false, NullDate, ""},
      {orv::TLocaleProfile::Russian, false, false, false, Ymd(2024, 5, 15), "15.05.2024"},
      {orv::TLocaleProfile::Russian, false, false, false, withTime, "15.05.2024 10:30:00"},
      {orv::TLocaleProfile::Russian, true, true, false, withTime, "15.05.2024 10:30:00"},
      {orv::TLocaleProfile::Russian, true, false, false, withTime, "15.05.2024"},
      {orv::TLocaleProfile::Russian, true, false, false, NullDate, ""},
      {orv::TLocaleProfile::EnglishUS, false, false, false, Ymd(2024, 5, 15), "5/15/2024"},
      {orv::TLocaleProfile::EnglishUS, false, false, false, withTime, "5/15/2024 10:30:00 AM"},
      {orv::TLocaleProfile::EnglishUS, true, true, false, withTime, "05/15/2024 10:30:00 AM"},
  };
  for (const auto& c : cases) {
    Use(c.Profile);
    AnsiString text = "junk";
    DateTimeToEditText(c.DisplayFormat, c.WithTime, c.FourDigits, text, c.Date);
    EXPECT_EQ(text, c.Text) << c.Text;
  }
  // A two-digit year is widened on request.
  Use(orv::TLocaleProfile::Russian);
  FormatSettings.ShortDateFormat = "dd.MM.yy";
  AnsiString text;
  DateTimeToEditTextWith(false, false, text, Ymd(2024, 5, 15));
  EXPECT_EQ(text, "15.05.24");
  DateTimeToEditTextWith(true, false, text, Ymd(2024, 5, 15));
  EXPECT_EQ(text, "15.05.2024");
  EXPECT_EQ(EditDateFormatPattern(true, false, 0), "dd.MM.yyyy");
  EXPECT_EQ(EditDateFormatPattern(true, true, withTime), "dd.MM.yyyy H:mm:ss");
  // The platform's formats.
  GetFormatController()->SetUsePlatformFormats(true);
  DateTimeToEditText(false, false, false, text, withTime);
  EXPECT_EQ(text, "15.05.24 10:30:00");
  // Outside the locale's years the variant text stands in, and nothing raises.
  EXPECT_NO_THROW(DateTimeToEditTextWith(false, false, text, -800000));
}

TEST_F(DateUtils, NamesAndCaptions) {
  const struct {
    orv::TLocaleProfile Profile;
    const char* Month;
    const char* Caption;
    const char* Sunday;
    const char* Monday;
    const char* Pattern;
  } cases[] = {
      {orv::TLocaleProfile::Russian, "Май", "Май 2024", "В", "П", "15-Май-24"},
      {orv::TLocaleProfile::EnglishUS, "May", "May 2024", "S", "M", "15-May-24"},
  };
  const TDateTime date = FixedNow();
  for (const auto& c : cases) {
    Use(c.Profile);
    AnsiString text;
    GetLongMonthName(nullptr, text, date);
    EXPECT_EQ(text, orv::Utf8ToAnsi(c.Month));
    GetMonthYearCaption(nullptr, text, date);
    EXPECT_EQ(text, orv::Utf8ToAnsi(c.Caption));
    GetYearText(nullptr, text, date);
    EXPECT_EQ(text, "2024");
    EXPECT_EQ(GetWeekdayShortName(7, DEFAULT_CHARSET), orv::Utf8ToAnsi(c.Sunday));
    EXPECT_EQ(GetWeekdayShortName(1, DEFAULT_CHARSET), orv::Utf8ToAnsi(c.Monday));
    EXPECT_EQ(GetWeekdayShortName(0, DEFAULT_CHARSET), "");
    EXPECT_EQ(GetWeekdayShortName(8, DEFAULT_CHARSET), "");
    EXPECT_EQ(GetDayText(date), "15");
    CalendarDayText(3, nullptr, text);
    EXPECT_EQ(text, "3");
    FormatDateByPattern("d mmmm yy", '-', text, date);
    EXPECT_EQ(text, orv::Utf8ToAnsi(c.Pattern));
    AnsiString month;
    MonthNameInCalendar(2024, 13, nullptr, month);
    EXPECT_EQ(month, "");
    MonthNameInCalendar(2024, 1, nullptr, month);
    EXPECT_EQ(month, c.Profile == orv::TLocaleProfile::Russian ? "Январь"_a : AnsiString("January"));
  }
  // Arabic and Chinese texts keep their last character.
  Use(orv::TLocaleProfile::Russian);
  EXPECT_EQ(GetWeekdayShortName(7, ARABIC_CHARSET), "с"_a);
  // Patterns: day and weekday forms, skipped era runs, separators written between elements.
  AnsiString text;
  FormatDateByPattern("ddd, dddd e", 0, text, date);
  EXPECT_EQ(text, "Ср, среда"_a);
  FormatDateByPattern("dd/mm/yyyy", 0, text, date);
  EXPECT_EQ(text, "15/05/2024");
  FormatDateByPattern("y.m.d", 0, text, Ymd(2024, 1, 5));
  EXPECT_EQ(text, "24.01.5");
  CalendarDateTimeText(text, date);
  EXPECT_EQ(text, "15.05.2024 10:30:00");
  EXPECT_EQ(DateTimeToDisplayText(Ymd(2024, 5, 15)), "15.05.2024");
  // In the platform's formats.
  GetFormatController()->SetUsePlatformFormats(true);
  GetMonthYearCaption(nullptr, text, date);
  EXPECT_EQ(text, "Май 2024"_a);
  EXPECT_EQ(GetWeekdayShortName(7, DEFAULT_CHARSET), "В"_a);
  // Another calendar's years are its own.
  std::unique_ptr<TcxCustomCalendarTable, orv::FreeDeleter> thai(CreateCalendarTable(CAL_THAI));
  GetFormatController()->SetUsePlatformFormats(false);
  GetYearText(thai.get(), text, date);
  EXPECT_EQ(text, "2567");
  GetMonthYearCaption(thai.get(), text, date);
  EXPECT_EQ(text, "Май 2567"_a);
}

TEST_F(DateUtils, DatePartsAndBoundaries) {
  EXPECT_EQ(GetDatePart(FixedNow()), Ymd(2024, 5, 15));
  EXPECT_NEAR(GetTimePart(FixedNow()), 10.5 / 24, 1e-9);
  EXPECT_EQ(GetDatePart(-1.25), -1);
  EXPECT_NEAR(GetTimePart(-1.25), 0.25, 1e-9);
  EXPECT_EQ(GetDatePart(NullDate), NullDate);
  EXPECT_EQ(GetTimePart(NullDate), 0);
  EXPECT_EQ(GetMonthIndex(FixedNow()), 2024 * 12 + 5 - 12);
  EXPECT_EQ(GetFirstDayOfMonth(FixedNow()), Ymd(2024, 5, 1));
  EXPECT_EQ(GetFirstDayOfYear(FixedNow()), Ymd(2024, 1, 1));
  EXPECT_EQ(GetLastDayOfMonth(true, FixedNow()), Ymd(2024, 5, 31));
  EXPECT_EQ(GetLastDayOfMonth(false, Ymd(2024, 2, 3)), Ymd(2024, 2, 29) + EncodeTime(23, 59, 59, 999));
  EXPECT_EQ(GetLastDayOfYear(true, FixedNow()), Ymd(2024, 12, 31));
  EXPECT_EQ(GetLastDayOfYear(false, FixedNow()), Ymd(2024, 12, 31) + EncodeTime(23, 59, 59, 999));
  EXPECT_EQ(DecodeDatePart(deYear, nullptr, FixedNow()), 2024);
  EXPECT_EQ(DecodeDatePart(deMonth, nullptr, FixedNow()), 5);
  EXPECT_EQ(DecodeDatePart(deDay, nullptr, FixedNow()), 15);
  std::unique_ptr<TcxCustomCalendarTable, orv::FreeDeleter> thai(CreateCalendarTable(CAL_THAI));
  EXPECT_EQ(DecodeDatePart(deYear, thai.get(), FixedNow()), 2567);

  const struct {
    Integer Year;
    Boolean Leap;
  } leaps[] = {{2024, true}, {2023, false}, {2000, true}, {1900, false}, {-4, true}, {-100, false}, {0, true}};
  for (const auto& c : leaps) EXPECT_EQ(IsLeapYearNumber(c.Year), c.Leap) << c.Year;
  const Integer days[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (Integer m = 1; m <= 12; ++m) EXPECT_EQ(DaysInMonth(2023, m), days[m]);
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2024, 13), 0);

  EXPECT_EQ(LocaleWeekStartDay(), 1);
  EXPECT_EQ(GetWeekdayIndex(FixedNow()), 2);  // Wednesday, weeks from Monday
  EXPECT_EQ(WeekStartOnOrBefore(FixedNow(), 1), Ymd(2024, 5, 13));
  EXPECT_EQ(WeekStartOnOrBefore(FixedNow(), 3), Ymd(2024, 5, 15));
  EXPECT_EQ(WeekStartOnOrBefore(FixedNow(), 4), Ymd(2024, 5, 9));
  Use(orv::TLocaleProfile::EnglishUS);
  EXPECT_EQ(LocaleWeekStartDay(), 0);
  EXPECT_EQ(GetWeekdayIndex(FixedNow()), 3);

  const struct {
    TDateTime Date;
    Boolean Valid;
  } valid[] = {{NullDate, true},       {MinEditDate, true},     {MinEditDate - 1, false},
               {2958465.99999, true},  {2958466, false},        {0, true}};
  for (const auto& c : valid) EXPECT_EQ(IsValidDate(c.Date), c.Valid) << c.Date;
  EXPECT_EQ(GetMinSupportedDate(), Ymd(100, 1, 1));
}

TEST_F(DateUtils, WeekNumbers) {
  const struct {
    Integer FirstWeekday, Rule;
    TDateTime Date;
    Integer Week;
  } cases[] = {
      {1, 3, Ymd(2018, 12, 31), 1},   // a Monday whose week has four days in the new year
      {1, 3, Ymd(2021, 1, 1), 53},    // before week 1: the last week of the year before
      {1, 3, Ymd(2021, 1, 3), 53},
      {1, 3, Ymd(2021, 1, 4), 1},
      {1, 3, Ymd(2020, 12, 31), 53},
      {1, 3, Ymd(2024, 5, 15), 20},
      {0, 1, Ymd(2024, 1, 1), 1},
      {0, 1, Ymd(2024, 12, 29), 1},   // the week that holds 1 January
      {0, 1, Ymd(2024, 12, 28), 52},
      {0, 2, Ymd(2023, 1, 1), 1},     // a Sunday-first full week from 1 January
      {1, 2, Ymd(2023, 1, 1), 52},    // before the first full week
      {1, 2, Ymd(2023, 1, 2), 1},
      {1, 0, Ymd(2024, 1, 1), 1},     // the locale's rule: the week of 1 January
      {1, 0, Ymd(2024, 12, 31), 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WeekNumberOfDate(c.FirstWeekday, c.Rule, c.Date), c.Week)
        << c.FirstWeekday << " " << c.Rule << " " << c.Date;
}

TEST_F(DateUtils, CalendarTypesOfTheLocale) {
  EXPECT_EQ(LocaleCalendarType(), CAL_GREGORIAN);
  EXPECT_TRUE(IsGregorianCalendarTable(nullptr));
  const struct {
    Integer Type;
    Integer Ident;
    Boolean Gregorian;
  } cases[] = {{1, 1, true},  {2, 2, true},  {3, 3, false}, {4, 4, false},  {5, 5, false},  {6, 6, false},
               {7, 7, false}, {8, 8, false}, {9, 9, true},  {10, 10, true}, {12, 12, true}, {14, 1, true},
               {0, 1, true}};
  for (const auto& c : cases) {
    std::unique_ptr<TcxCustomCalendarTable, orv::FreeDeleter> table(CreateCalendarTable(c.Type));
    EXPECT_EQ(table->CalendarIdent(), c.Ident) << c.Type;
    EXPECT_EQ(IsGregorianCalendar(table.get()), c.Gregorian) << c.Type;
  }
  std::unique_ptr<TcxCustomCalendarTable, orv::FreeDeleter> table(CreateLocaleCalendarTable());
  EXPECT_EQ(table->CalendarIdent(), CAL_GREGORIAN);
  EXPECT_EQ(DateOrderOf("M/d/yyyy"), 0);
  EXPECT_EQ(DateOrderOf("dd.MM.yyyy"), 1);
  EXPECT_EQ(DateOrderOf("yyyy-MM-dd"), 2);
  EXPECT_EQ(LocaleFormatSettings().ShortDateFormat, "dd.MM.yyyy");
}

TEST_F(DateUtils, ScanningDatesOfAnotherCalendar) {
  std::unique_ptr<TcxCustomCalendarTable, orv::FreeDeleter> thai(CreateCalendarTable(CAL_THAI));
  TFormatSettings settings = FormatSettings;
  TcxEraDateTime parts;
  ASSERT_TRUE(ScanCalendarDate("15.05.2567 10:30", settings, thai.get(), parts));
  EXPECT_EQ(parts.Year, 2567);
  EXPECT_EQ(parts.Month, 5);
  EXPECT_EQ(parts.Day, 15);
  EXPECT_EQ(parts.Hours, 10);
  EXPECT_EQ(parts.Minutes, 30);
  EXPECT_EQ(thai->JoinDateTime(parts), FixedNow());
  ASSERT_TRUE(ScanCalendarDate("15.май.2567"_a, settings, thai.get(), parts));
  EXPECT_EQ(parts.Month, 5);
  settings.ShortDateFormat = "d MMMM yyyy";
  settings.DateSeparator = ' ';
  ASSERT_TRUE(ScanCalendarDate("3 Январь 2567"_a, settings, thai.get(), parts));
  EXPECT_EQ(parts.Month, 1);
  EXPECT_EQ(parts.Day, 3);
  EXPECT_THROW(ScanCalendarDate("x.5.2567", FormatSettings, thai.get(), parts), EConvertError);
}

}  // namespace
