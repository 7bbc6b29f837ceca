// Calendar tables: every day of each calendar's range splits and joins back, era tables, the
// shifting and leap rules, the Hijri and Hebrew arithmetic, and invalid input that never raises.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "components/data/cxDateUtils.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

namespace {

using TTable = std::unique_ptr<TcxCustomCalendarTable, orv::FreeDeleter>;

TDateTime D(Word y, Word m, Word d) { return EncodeDate(y, m, d); }

TTable Make(Integer type) { return TTable(CreateCalendarTable(type)); }

TcxEraDateTime Parts(Integer era, Integer year, Integer month, Integer day) {
  TcxEraDateTime parts;
  parts.Era = era, parts.Year = year, parts.Month = month, parts.Day = day;
  return parts;
}

// Walks every day from the earliest to the latest date: each splits into the day after the
// previous one's parts and joins back to itself.
void CheckEveryDay(Integer type) {
  TTable table = Make(type);
  const TDateTime first = GetDatePart(table->EarliestDate());
  const TDateTime last = GetDatePart(table->LatestDate());
  TcxEraDateTime previous = table->SplitDateTime(first);
  ASSERT_EQ(table->JoinDateTime(previous), first) << type;
  Int64 days = 0;
  for (TDateTime day = first + 1; day <= last; day += 1, ++days) {
    const TcxEraDateTime parts = table->SplitDateTime(day);
    const bool nextDay = parts.Year == previous.Year && parts.Month == previous.Month && parts.Day == previous.Day + 1;
    const bool nextMonth = parts.Day == 1 && ((parts.Year == previous.Year && parts.Month == previous.Month + 1) ||
                                              (parts.Month == 1 && parts.Year != previous.Year));
    // A new era starts again at year 1, in the middle of a month.
    const bool nextEra = parts.Era == previous.Era + 1 && parts.Year == 1;
    if (!(nextDay || nextMonth || nextEra) || table->JoinDateTime(parts) != day ||
        parts.Day > table->MonthLengthInEra(parts.Era, parts.Year, parts.Month)) {
      FAIL() << "calendar " << type << " at " << day << ": " << parts.Era << "/" << parts.Year << "/" << parts.Month
             << "/" << parts.Day << " after " << previous.Year << "/" << previous.Month << "/" << previous.Day;
    }
    previous = parts;
  }
  EXPECT_GT(days, 200000);
  // Times of day survive, before and after 30 December 1899.
  for (const TDateTime moment : {first + 1.75, 12345.25, last - 1.5}) {
    const TcxEraDateTime parts = table->SplitDateTime(moment);
    EXPECT_NEAR(table->JoinDateTime(parts), moment, 1e-8) << type << " " << moment;
  }
}

TEST(CalendarRoundTrip, Gregorian) { CheckEveryDay(CAL_GREGORIAN); }
TEST(CalendarRoundTrip, Japanese) { CheckEveryDay(CAL_JAPAN); }
TEST(CalendarRoundTrip, Taiwan) { CheckEveryDay(CAL_TAIWAN); }
TEST(CalendarRoundTrip, Korean) { CheckEveryDay(CAL_KOREA); }
TEST(CalendarRoundTrip, Thai) { CheckEveryDay(CAL_THAI); }
TEST(CalendarRoundTrip, Hijri) { CheckEveryDay(CAL_HIJRI); }
TEST(CalendarRoundTrip, Hebrew) { CheckEveryDay(CAL_HEBREW); }

TEST(CalendarTables, RangesAndKinds) {
  const struct {
    Integer Type, Kind, FirstYear, LastYear, FirstWeekday;
    TDateTime Earliest, Latest;
  } cases[] = {
      {CAL_GREGORIAN, 1, 100, 9999, 0, D(100, 1, 1), 2958465.99999},
      {CAL_GREGORIAN_ARABIC, 1, 100, 9999, 6, D(100, 1, 1), 2958465.99999},
      {CAL_GREGORIAN_ME_FRENCH, 1, 100, 9999, 1, D(100, 1, 1), 2958465.99999},
      {CAL_JAPAN, 1, 1, 8011, 0, D(1868, 9, 8), D(9999, 12, 31)},
      {CAL_TAIWAN, 1, 1, 8088, 0, D(1912, 1, 1), D(9999, 12, 31)},
      {CAL_KOREA, 1, 2334, 12332, 0, D(1, 1, 1), D(9999, 12, 31)},
      {CAL_THAI, 1, 544, 10542, 0, D(1, 1, 1), D(9999, 12, 31)},
      {CAL_HIJRI, 2, 1, 9666, 6, D(622, 7, 16), D(9666, 4, 3)},
      {CAL_HEBREW, 3, 5343, 5999, 0, D(1583, 1, 1), D(2239, 9, 29) + EncodeTime(23, 59, 59, 999)},
  };
  for (const auto& c : cases) {
    TTable table = Make(c.Type);
    EXPECT_EQ(table->AlgorithmKind(), c.Kind) << c.Type;
    EXPECT_EQ(table->FirstYear(), c.FirstYear) << c.Type;
    EXPECT_EQ(table->LastYear(), c.LastYear) << c.Type;
    EXPECT_EQ(table->FirstWeekdayOfCalendar(), c.FirstWeekday) << c.Type;
    EXPECT_EQ(table->EarliestDate(), c.Earliest) << c.Type;
    EXPECT_EQ(table->LatestDate(), c.Latest) << c.Type;
  }
}

TEST(CalendarTables, EraTables) {
  const struct {
    Integer Type, BaseEra;
    std::vector<std::array<Integer, 4>> Eras;  // number, last year, first year, offset
    std::vector<TDateTime> Starts;
  } cases[] = {
      {CAL_JAPAN, 3, {{1, 45, 1, 1867}, {2, 15, 1, 1911}, {3, 64, 1, 1925}, {4, 8011, 1, 1988}},
       {D(1868, 9, 8), D(1912, 7, 30), D(1926, 12, 25), D(1989, 1, 8)}},
      {CAL_TAIWAN, 0, {{1, 8088, 1, 1911}}, {D(1912, 1, 1)}},
      {CAL_KOREA, 0, {{0, 12332, 2334, -2333}}, {D(1, 1, 1)}},
      {CAL_THAI, 0, {{0, 10542, 544, -543}}, {D(1, 1, 1)}},
      {CAL_GREGORIAN, -1, {}, {}},
      {CAL_HIJRI, -1, {}, {}},
      {CAL_HEBREW, -1, {}, {}},
  };
  for (const auto& c : cases) {
    TTable table = Make(c.Type);
    TcxEras* eras = table->GetEras();
    ASSERT_EQ(eras->GetCount(), Integer(c.Eras.size())) << c.Type;
    for (Integer i = 0; i < eras->GetCount(); ++i) {
      TcxEra* era = eras->GetItem(i);
      EXPECT_EQ(era->GetEra(), c.Eras[i][0]);
      EXPECT_EQ(era->GetMaxEraYear(), c.Eras[i][1]);
      EXPECT_EQ(era->GetMinEraYear(), c.Eras[i][2]);
      EXPECT_EQ(era->GetYearOffset(), c.Eras[i][3]);
      EXPECT_EQ(era->GetBeginDate(), c.Starts[i]);
    }
    if (c.BaseEra >= 0) {
      EXPECT_EQ(table->BaseEra(), eras->GetItem(c.BaseEra)) << c.Type;
    } else {
      TcxEra* base = table->BaseEra();
      EXPECT_EQ(base->GetEra(), -1);
      EXPECT_EQ(base->GetMaxEraYear(), 9999);
      EXPECT_EQ(base->GetYearOffset(), 0);
      EXPECT_EQ(base->GetBeginDate(), NullDate);
    }
  }
  TcxEra copy(0, 0, 0, 0, 0);
  TTable japan = Make(CAL_JAPAN);
  copy.Assign(japan->GetEras()->GetItem(1));
  EXPECT_EQ(copy.GetEra(), 2);
  EXPECT_EQ(copy.GetYearOffset(), 1911);
  EXPECT_EQ(copy.GetBeginDate(), D(1912, 7, 30));
}

TEST(CalendarTables, YearsOfTheEraCalendars) {
  const struct {
    Integer Type;
    TDateTime Date;
    Integer Era, Year;
  } cases[] = {
      {CAL_JAPAN, D(1989, 1, 7), 2, 64},  {CAL_JAPAN, D(1989, 1, 8), 3, 1},  {CAL_JAPAN, D(1868, 9, 8), 0, 1},
      {CAL_JAPAN, D(1912, 7, 29), 0, 45}, {CAL_JAPAN, D(2024, 5, 1), 3, 36}, {CAL_THAI, D(2024, 5, 1), 0, 2567},
      {CAL_KOREA, D(2024, 5, 1), 0, 4357}, {CAL_TAIWAN, D(2024, 5, 1), 0, 113}, {CAL_GREGORIAN, D(2024, 5, 1), -1, 2024},
  };
  for (const auto& c : cases) {
    TTable table = Make(c.Type);
    const TcxEraDateTime parts = table->SplitDateTime(c.Date);
    EXPECT_EQ(parts.Era, c.Era) << c.Type << " " << c.Date;
    EXPECT_EQ(parts.Year, c.Year) << c.Type << " " << c.Date;
    EXPECT_EQ(table->YearOfDateValue(c.Date), c.Year);
  }
  TTable japan = Make(CAL_JAPAN);
  // Two years after Showa 63 is Heisei 2.
  const TDateTime shifted = japan->ShiftYears(Parts(2, 63, 6, 1), 2);
  EXPECT_EQ(shifted, D(1990, 6, 1));
  const TcxEraDateTime parts = japan->SplitDateTime(shifted);
  EXPECT_EQ(parts.Era, 3);
  EXPECT_EQ(parts.Year, 2);
  // Era 0 reads the year relative to the first era; a year past its end moves to the next era.
  Integer year = 10, era = 0;
  japan->NormalizeEraYearAt(year, era, 1, 1);
  EXPECT_EQ(era, 0);
  EXPECT_EQ(year, 10);
  year = 50, era = 0;
  japan->NormalizeEraYearAt(year, era, 1, 1);
  EXPECT_EQ(era, 1);
  EXPECT_EQ(year, 6);
  EXPECT_EQ(japan->EraOfDate(1800, 1, 1), -1);
  EXPECT_EQ(japan->EraOfYear(1927), 2);
  // Showa 63 was a leap year although Heisei 63 is not.
  EXPECT_TRUE(japan->YearIsLeapInEra(2, 63));
  EXPECT_FALSE(japan->YearIsLeap(63));
  EXPECT_EQ(japan->DayOfYearIn(Parts(2, 63, 3, 1)), 61);
  EXPECT_EQ(japan->JoinDateTime(Parts(2, 63, 12, 31)), D(1988, 12, 31));
}

TEST(CalendarTables, GregorianShiftsAndLeaps) {
  TTable table = Make(CAL_GREGORIAN);
  const struct {
    TDateTime From;
    Integer Months;
    TDateTime To;
  } months[] = {{D(2024, 1, 31), 1, D(2024, 2, 29)},  {D(2024, 1, 31), -2, D(2023, 11, 30)},
                {D(2024, 5, 15), 12, D(2025, 5, 15)}, {D(2024, 5, 15), -17, D(2022, 12, 15)},
                {D(2024, 5, 15), 0, D(2024, 5, 15)},  {D(9999, 12, 1), 1, table->EarliestDate()}};
  for (const auto& c : months) EXPECT_EQ(table->ShiftMonthsOf(c.From, c.Months), c.To) << c.From << " " << c.Months;
  EXPECT_EQ(table->ShiftYearsOf(D(2024, 2, 29), 1), D(2025, 2, 28));
  EXPECT_EQ(table->ShiftYearsOf(D(2024, 2, 29), 4), D(2028, 2, 29));
  EXPECT_EQ(table->ShiftWeeksOf(D(2024, 5, 15), -2), D(2024, 5, 1));
  EXPECT_EQ(table->ShiftDays(table->SplitDateTime(-1.25), 2), 1.25);  // 29 to 31 December 1899, 06:00
  EXPECT_EQ(table->ShiftDays(table->SplitDateTime(D(9999, 12, 30)), 5), table->LatestDate());
  // The editors' names.
  EXPECT_EQ(table->ShiftDateByMonths(1, D(2024, 1, 31)), D(2024, 2, 29));
  EXPECT_EQ(table->ShiftDateByMonths(D(2024, 1, 31), 1), D(2024, 2, 29));
  EXPECT_EQ(table->ShiftDateByYears(-1, D(2024, 2, 29)), D(2023, 2, 28));
  EXPECT_EQ(table->ShiftPartsByMonths(table->DateToParts(D(2024, 3, 31)), -1), D(2024, 2, 29));
  EXPECT_EQ(table->PartsToDate(table->DateToParts(D(2024, 3, 31))), D(2024, 3, 31));
  EXPECT_EQ(table->GetDaysInMonth(-1, 2023, 2), 28);

  EXPECT_TRUE(table->DayIsLeap(2024, 2, 29));
  EXPECT_FALSE(table->DayIsLeap(2023, 2, 28));
  EXPECT_FALSE(table->DayIsLeap(2024, 3, 29));
  EXPECT_TRUE(table->MonthIsLeap(2000, 2));
  EXPECT_FALSE(table->YearIsLeap(1900));
  EXPECT_EQ(table->YearLength(2024), 366);
  EXPECT_EQ(table->MonthCount(2024), 12);
  EXPECT_EQ(table->DayOfYearOf(D(2024, 3, 1)), 61);
  EXPECT_EQ(table->WholeWeeksInYear(2016), 53);  // a leap year from a Friday
  EXPECT_EQ(table->WholeWeeksInYear(2020), 52);
  EXPECT_EQ(table->WholeWeeksInYear(2023), 52);
  EXPECT_EQ(table->WholeWeeksInYear(2022), 53);  // from a Saturday
  // Week starts: a Wednesday from Monday is two days back; a Monday stays.
  EXPECT_EQ(table->WeekStartFrom(D(2024, 5, 15), 1), D(2024, 5, 13));
  EXPECT_EQ(table->WeekStartFrom(D(2024, 5, 13), 1), D(2024, 5, 13));
  EXPECT_EQ(table->WeekStartOf(D(2024, 5, 15)), D(2024, 5, 12));
  TcxEraDateTime start;
  table->WeekStartFromRecord(table->SplitDateTime(D(2024, 5, 15)), 4, start);
  EXPECT_EQ(start, table->SplitDateTime(D(2024, 5, 9)));
  EXPECT_EQ(table->WeekdayOf(D(2024, 5, 15)), 3);
  EXPECT_EQ(table->WeekNumberOf(D(2018, 12, 31), 1, 3), 1);
  EXPECT_EQ(table->GetWeekNumber(1, 3, D(2021, 1, 1)), 53);
  EXPECT_TRUE(table->IsYearInRange(-1, 100));
  EXPECT_FALSE(table->IsYearInRange(-1, 99));
  EXPECT_TRUE(table->IsValidCalendarDate(D(2024, 5, 15)));
}

TEST(CalendarTables, InvalidInputNeverRaises) {
  for (Integer type = 1; type <= 12; ++type) {
    TTable table = Make(type);
    const TDateTime earliest = table->EarliestDate();
    const TDateTime latest = table->LatestDate();
    const TcxEraDateTime bad[] = {Parts(-1, 2024, 13, 1), Parts(-1, 2024, 0, 1), Parts(-1, 2024, 1, 0),
                                  Parts(-1, 2024, 1, 32), Parts(-1, 0, 1, 1),    Parts(-1, INT_MIN, INT_MIN, INT_MIN),
                                  Parts(7, 2024, -5, 1),  Parts(-1, 6000, 1, 1)};
    for (const TcxEraDateTime& parts : bad) {
      SCOPED_TRACE(::testing::Message() << type << ": " << parts.Year << "/" << parts.Month << "/" << parts.Day);
      EXPECT_NO_THROW({
        const TDateTime joined = table->JoinDateTime(parts);
        EXPECT_GE(joined, earliest);
        EXPECT_LE(joined, latest);
        const bool valid = table->DayInRangeInEra(parts.Era, parts.Year, parts.Month, parts.Day);
        if (!valid && type != CAL_HIJRI) {
          EXPECT_EQ(joined, earliest);
        }
        if (!valid) {
          EXPECT_EQ(table->ShiftMonths(parts, 1), earliest);
          EXPECT_EQ(table->ShiftYears(parts, 1), earliest);
        }
        table->ShiftDays(parts, INT_MAX);
        table->ShiftWeeks(parts, INT_MIN);
        table->MonthLengthInEra(parts.Era, parts.Year, parts.Month);
        table->DayOfYearIn(parts);
        table->WeekNumberIn(parts, 1, 3);
      });
    }
    // A time of day that does not exist.
    TcxEraDateTime noTime = table->SplitDateTime(latest);
    noTime.Hours = 30;
    EXPECT_EQ(table->JoinDateTime(noTime), type == CAL_HIJRI ? GetDatePart(latest) : earliest) << type;
    // Dates beyond the range split as the nearest supported date.
    for (const TDateTime date : {NullDate, -1e12, 1e12, std::numeric_limits<double>::quiet_NaN()}) {
      const TcxEraDateTime parts = table->SplitDateTime(date);
      const TDateTime joined = table->JoinDateTime(parts);
      EXPECT_TRUE(joined == GetDatePart(earliest) || std::fabs(joined - latest) < 1e-3) << type << " " << date;
    }
    EXPECT_EQ(table->SplitDate(2023, 2, 30), table->SplitDateTime(earliest)) << type;
    // The Hijri arithmetic joins any parts: the impossible time is left out.
    EXPECT_EQ(table->JoinDateTimeParts(2024, 1, 1, 99, 0, 0, 0),
              type == CAL_HIJRI ? table->JoinDateParts(2024, 1, 1) : earliest)
        << type;
    EXPECT_EQ(table->ShiftMonthsOf(D(2024, 5, 15), INT_MAX), earliest) << type;
    EXPECT_EQ(table->ShiftYearsOf(D(2024, 5, 15), INT_MIN), earliest) << type;
    EXPECT_EQ(table->ShiftDays(table->SplitDateTime(latest), 10), latest) << type;
    EXPECT_EQ(table->ShiftDays(table->SplitDateTime(earliest), -10), GetDatePart(earliest)) << type;
  }
}

TEST(CalendarTables, TextsOfDaysMonthsAndYears) {
  orv::TLocaleScope scope(orv::TLocaleProfile::Russian);
  TTable table = Make(CAL_GREGORIAN);
  EXPECT_EQ(table->ParseDayText("12"), 12);
  EXPECT_EQ(table->ParseMonthText(2024, "ФЕВРАЛЬ"_a), 2);
  EXPECT_EQ(table->ParseMonthText(2024, "мар"_a), 3);
  EXPECT_EQ(table->ParseMonthText(2024, "11"), 11);
  EXPECT_THROW(table->ParseMonthText(2024, "xyz"), EConvertError);
  // Two-digit years: with the platform's limit absent, the century window of the settings
  // gives the limit (here 2029, as current year 2025 - 95 + 99).
  const orv::TNowFunction saved = orv::SetNowFunction([] { return EncodeDate(2025, 6, 1); });
  FormatSettings.TwoDigitYearCenturyWindow = 95;
  const struct {
    const char* Text;
    Integer Year;
  } years[] = {{"25", 2025}, {"45", 1945}, {"2045", 2045}, {"29", 2029}, {"30", 1930}, {"0", 2000}, {"045", 45}};
  for (const auto& c : years) EXPECT_EQ(table->ParseYearText(c.Text), c.Year) << c.Text;
  // Era calendars keep two-digit era years as they are.
  TTable japan = Make(CAL_JAPAN);
  EXPECT_EQ(japan->ParseYearText("63"), 63);
  orv::SetNowFunction(saved);
}

TEST(CalendarTables, Hijri) {
  TTable table = Make(CAL_HIJRI);
  const struct {
    Integer Year;
    Boolean Leap;
  } leaps[] = {{1, false}, {2, true}, {15, true}, {16, false}, {29, true}, {30, false}, {32, true}, {0, false}};
  for (const auto& c : leaps) {
    EXPECT_EQ(table->YearIsLeap(c.Year), c.Leap) << c.Year;
    EXPECT_EQ(table->YearLength(c.Year), c.Leap ? 355 : 354) << c.Year;
  }
  EXPECT_EQ(table->MonthLength(2, 12), 30);
  EXPECT_EQ(table->MonthLength(1, 12), 29);
  EXPECT_EQ(table->MonthLength(1, 1), 30);
  EXPECT_EQ(table->MonthLength(1, 2), 29);
  EXPECT_TRUE(table->DayIsLeap(2, 12, 30));
  EXPECT_FALSE(table->DayIsLeap(2, 11, 30));
  EXPECT_EQ(table->WholeWeeksInYear(5), 50);
  EXPECT_EQ(table->MonthCount(5), 12);
  // The range begins two days before 1 Muharram 1.
  EXPECT_EQ(table->SplitDateTime(table->EarliestDate()), Parts(-1, 0, 12, 28));
  EXPECT_EQ(table->JoinDateTime(Parts(-1, 1, 1, 1)), table->EarliestDate() + 2);
  EXPECT_EQ(table->JoinDateTime(Parts(-1, 1, 1, 1)), D(622, 7, 18));
  // Thirty years are 10631 days.
  EXPECT_EQ(table->JoinDateTime(Parts(-1, 31, 1, 1)) - table->JoinDateTime(Parts(-1, 1, 1, 1)), 10631);
  const TcxEraDateTime latest = table->SplitDateTime(table->LatestDate());
  EXPECT_EQ(table->JoinDateTime(latest), GetDatePart(table->LatestDate()) + GetTimePart(table->LatestDate()));
  // Week 1 holds 1 Muharram under the first rule; weeks start on Saturday.
  const TcxEraDateTime newYear = Parts(-1, 1445, 1, 1);
  EXPECT_EQ(table->WeekNumberIn(newYear, 0, 1), 1);
  EXPECT_EQ(table->WeekStartOf(table->JoinDateTime(newYear)) + 7 > table->JoinDateTime(newYear), true);
  EXPECT_EQ(table->WeekdayOf(table->WeekStartOf(table->JoinDateTime(Parts(-1, 1445, 5, 17)))), 6);
}

TEST(CalendarTables, Hebrew) {
  TcxHebrewCalendarTable table;
  EXPECT_EQ(table.JoinDateTime(Parts(-1, 5784, 1, 1)), D(2023, 9, 16));
  EXPECT_EQ(table.JoinDateTime(Parts(-1, 5784, 8, 23)), D(2024, 5, 1));
  EXPECT_EQ(table.JoinDateTime(Parts(-1, 5785, 1, 1)), D(2024, 10, 3));
  EXPECT_EQ(table.JoinDateTime(Parts(-1, 5786, 1, 1)), D(2025, 9, 23));
  EXPECT_TRUE(table.YearIsLeap(5784));
  EXPECT_EQ(table.MonthCount(5784), 13);
  EXPECT_EQ(table.YearLength(5784), 383);
  EXPECT_FALSE(table.YearIsLeap(5785));
  EXPECT_EQ(table.MonthCount(5785), 12);
  EXPECT_EQ(table.YearLength(5785), 355);
  EXPECT_EQ(table.YearCode(5784), 4);
  EXPECT_EQ(table.YearKind(5784), 1);
  EXPECT_EQ(table.YearCode(5785), 3);
  EXPECT_TRUE(table.MonthIsLeap(5784, 7));
  EXPECT_FALSE(table.MonthIsLeap(5785, 7));
  EXPECT_TRUE(table.DayIsLeap(5784, 7, 29));
  EXPECT_EQ(table.YearLength(5342), 0);
  EXPECT_EQ(table.YearKind(5342), 0);
  EXPECT_EQ(table.MonthLength(5342, 1), 0);
  EXPECT_FALSE(table.YearIsLeap(6000));
  // 1 January 2024 was 20 Tevet 5784.
  Integer month = 0, day = 0;
  table.JanuaryDate(2024, month, day);
  EXPECT_EQ(month, 4);
  EXPECT_EQ(day, 20);
  EXPECT_EQ(table.SplitDateTime(D(2024, 1, 1)), Parts(-1, 5784, 4, 20));
  table.JanuaryDate(1000, month, day);
  EXPECT_EQ(month, 0);
  // Every year lies in the table: 353 to 355 or 383 to 385 days, January in Kislev to Shevat.
  for (Integer year = 5343; year <= 5999; ++year) {
    const Integer length = table.YearLength(year);
    EXPECT_TRUE((length >= 353 && length <= 355) || (length >= 383 && length <= 385)) << year;
    table.JanuaryDate(year - 3760, month, day);
    EXPECT_TRUE(month >= 3 && month <= 5) << year;
    if (year > 5343 && year < 5999) {
      EXPECT_EQ(table.JoinDateTime(Parts(-1, year + 1, 1, 1)) - table.JoinDateTime(Parts(-1, year, 1, 1)), length)
          << year;
    }
  }
  EXPECT_EQ(table.SplitDateTime(table.LatestDate()).Year, 5999);
  EXPECT_EQ(table.SplitDateTime(table.EarliestDate()).Year, 5343);
  EXPECT_EQ(table.DaysFromJanuary(4, 4, 25, 4, 20), 5);
  EXPECT_EQ(table.DaysFromJanuary(4, 5, 1, 4, 20), 10);
  EXPECT_EQ(table.DaysFromJanuary(4, 3, 29, 4, 20), -20);

  // Hebrew numerals: alef 1, yod 10, shin 300, samekh 60; other bytes count nothing.
  EXPECT_EQ(TcxHebrewCalendarTable::HebrewNumeralValue("\xE0"), 1);
  EXPECT_EQ(TcxHebrewCalendarTable::HebrewNumeralValue("\xE9"), 10);
  EXPECT_EQ(TcxHebrewCalendarTable::HebrewNumeralValue("\xF9\xF1"), 360);
  EXPECT_EQ(TcxHebrewCalendarTable::HebrewNumeralValue("\xEA\xEB"), 20);  // 11 counts nothing
  EXPECT_EQ(TcxHebrewCalendarTable::HebrewNumeralValue("12"), 0);
  EXPECT_EQ(table.ParseDayText("12"), 12);
  EXPECT_EQ(table.ParseDayText("\xE9\xE1"), 12);
  EXPECT_EQ(table.ParseYearText("\xFA\xF9\xF4\xE3"), 5784);  // 400 + 300 + 80 + 4
  EXPECT_EQ(table.ParseMonthText(5784, "\xE7"), 8);
  EXPECT_EQ(table.ParseMonthText(5784, "13"), 13);
  // Week numbers start on Sunday; the first rule puts 1 Tishri in week 1.
  EXPECT_EQ(table.WeekNumberIn(Parts(-1, 5784, 1, 1), 1, 1), 1);
  EXPECT_EQ(table.WeekNumberIn(Parts(-1, 5784, 1, 8), 1, 1), 2);
}

}  // namespace
