#include "platform/runtime/DateTime.h"

#include <gtest/gtest.h>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

namespace {

struct DateCase {
  Word Year, Month, Day;
  double Serial;       // TDateTime
  Integer StampDate;   // time-stamp day number
  Word Weekday;        // 1 = Sunday
};

// Checked against an independent proleptic Gregorian calendar.
constexpr DateCase kDates[] = {
    {1899, 12, 30, 0, 693594, 7},       {1900, 1, 1, 2, 693596, 2},
    {2006, 12, 23, 39074, 732668, 7},   {1, 1, 1, -693593, 1, 2},
    {9999, 12, 31, 2958465, 3652059, 6}, {2000, 2, 29, 36585, 730179, 3},
    {1600, 3, 1, -109511, 584083, 4},   {1752, 9, 14, -53797, 639797, 5},
};

TEST(DateTime, EncodesDecodesAndStampsKnownDates) {
  for (const auto& c : kDates) {
    SCOPED_TRACE(testing::Message() << c.Year << "-" << c.Month << "-" << c.Day);
    EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Serial);
    Word y, m, d;
    DecodeDate(c.Serial < 0 ? c.Serial - 0.75 : c.Serial + 0.75, y, m, d);  // with a time of day
    EXPECT_EQ(y, c.Year);
    EXPECT_EQ(m, c.Month);
    EXPECT_EQ(d, c.Day);
    EXPECT_EQ(DateTimeToTimeStamp(c.Serial).Date, c.StampDate);
    EXPECT_EQ(TimeStampToDateTime({0, c.StampDate}), c.Serial);
    EXPECT_EQ(DayOfWeek(c.Serial), c.Weekday);
  }
}

TEST(DateTime, DecodeRoundTripsEveryDayOfSeveralCenturies) {
  // Covers the 100- and 400-year boundaries and every leap day in between.
  for (double serial = EncodeDate(1590, 1, 1); serial < EncodeDate(2410, 1, 1); serial += 1) {
    Word y, m, d;
    DecodeDate(serial, y, m, d);
    ASSERT_EQ(EncodeDate(y, m, d), serial);
  }
}

TEST(DateTime, RejectsInvalidDatesAndTimes) {
  TDateTime out = 123;
  const Word bad[][3] = {{0, 1, 1}, {10000, 1, 1}, {2001, 2, 29}, {1900, 2, 29}, {2000, 13, 1}, {2000, 4, 31}, {2000, 1, 0}};
  for (const auto& b : bad) {
    EXPECT_FALSE(TryEncodeDate(b[0], b[1], b[2], out)) << b[0] << "-" << b[1] << "-" << b[2];
    EXPECT_THROW(EncodeDate(b[0], b[1], b[2]), EConvertError);
  }
  EXPECT_EQ(out, 123);
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, out));
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

TEST(DateTime, TimeOfDayRoundTripsToTheMillisecond) {
  const Word times[][4] = {{0, 0, 0, 0}, {6, 0, 0, 0}, {12, 34, 56, 789}, {23, 59, 59, 999}};
  for (const auto& t : times) {
    const TDateTime v = EncodeDate(2024, 5, 17) + EncodeTime(t[0], t[1], t[2], t[3]);
    Word h, m, s, ms;
    DecodeTime(v, h, m, s, ms);
    EXPECT_EQ(h, t[0]);
    EXPECT_EQ(m, t[1]);
    EXPECT_EQ(s, t[2]);
    EXPECT_EQ(ms, t[3]);
    EXPECT_EQ(DateTimeToTimeStamp(v).Time, ((t[0] * 60 + t[1]) * 60 + t[2]) * 1000 + t[3]);
  }
}

TEST(DateTime, NegativeDateTimesKeepTheTimeRunningForward) {
  // -1.25 is 29 December 1899 at 06:00, not 18:00.
  const TTimeStamp ts = DateTimeToTimeStamp(-1.25);
  EXPECT_EQ(ts.Date, DateDelta - 1);
  EXPECT_EQ(ts.Time, 6 * 3600000);
  EXPECT_EQ(TimeStampToDateTime(ts), -1.25);
  Word y, m, d, h, mi, s, ms;
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, mi, s, ms);
  EXPECT_EQ(d, 29);
  EXPECT_EQ(h, 6);
}

TEST(TimeStamp, MillisecondCountsRoundTrip) {
  const TTimeStamp ts{45296789, 732668};  // 23.12.2006 12:34:56.789
  const double msecs = TimeStampToMSecs(ts);
  EXPECT_EQ(msecs, 732668.0 * 86400000 + 45296789);
  EXPECT_EQ(MSecsToTimeStamp(msecs), ts);
  EXPECT_EQ(MSecsToTimeStamp(msecs + 0.6), ts);  // fractions of a millisecond are dropped
  const TDateTime v = TimeStampToDateTime(MSecsToTimeStamp(msecs));
  EXPECT_EQ(DateTimeToTimeStamp(v), ts);
}

TEST(TimeStamp, RejectsWhatNoMomentHas) {
  EXPECT_THROW(TimeStampToDateTime({-1, 5}), EConvertError);
  EXPECT_THROW(TimeStampToDateTime({MSecsPerDay, 5}), EConvertError);
  EXPECT_THROW(TimeStampToDateTime({0, 0}), EConvertError);
  EXPECT_THROW(MSecsToTimeStamp(0), EConvertError);
  EXPECT_THROW(MSecsToTimeStamp(-5e12), EConvertError);
  EXPECT_THROW(MSecsToTimeStamp(1e300), EConvertError);
  EXPECT_THROW(MSecsToTimeStamp(0.0 / 0.0), EConvertError);
  EXPECT_THROW(DateTimeToTimeStamp(1e20), EConvertError);
}

TDateTime FixedNow() { return 39074.5; }

TEST(Clock, DateNowAndTimeReadTheInstalledClock) {
  const auto previous = orv::SetNowFunction(&FixedNow);
  EXPECT_EQ(Now(), 39074.5);
  EXPECT_EQ(Date(), 39074);
  EXPECT_EQ(Time(), 0.5);
  orv::SetNowFunction(previous);
  EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
}

TEST(DateText, FormatDateTimePictures) {
  const TDateTime t = EncodeDate(2006, 12, 3) + EncodeTime(19, 5, 9, 42);  // a Sunday
  const struct {
    AnsiString Format;
    AnsiString Russian;
    AnsiString English;
  } cases[] = {
      {"c", "03.12.2006 19:05:09", "12/3/2006 7:05:09 PM"},
      {"ddddd", "03.12.2006", "12/3/2006"},
      {"dddddd", "3 декабря 2006 г."_a, "Sunday, December 03, 2006"},
      {"d/m/yy", "3.12.06", "3/12/06"},
      {"dd mmm yyyy, dddd"_a, "03 дек 2006, воскресенье"_a, "03 Dec 2006, Sunday"},
      {"mmmm yyyy", "Декабрь 2006"_a, "December 2006"},
      {"d mmmm", "3 декабря"_a, "3 December"},
      {"hh:nn:ss.zzz", "19:05:09.042", "19:05:09.042"},
      {"h:mm am/pm", "7:05 pm", "7:05 pm"},
      {"h:mm A/P", "7:05 P", "7:05 P"},
      {"t", "19:05", "7:05 PM"},
      {"'day' d \"of\" m", "day 3 of 12", "day 3 of 12"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.Format, t), c.Russian) << orv::AnsiToUtf8(c.Format);
  EXPECT_EQ(DateTimeToStr(EncodeDate(2006, 12, 3)), "03.12.2006");
  EXPECT_EQ(TimeToStr(EncodeTime(7, 5, 0, 0)), "7:05:00");
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.Format, t), c.English) << orv::AnsiToUtf8(c.Format);
  EXPECT_EQ(FormatDateTime("hh AMPM", EncodeTime(0, 30, 0, 0)), "12 AM");
}

TDateTime FixedNow2024() { return EncodeDate(2024, 5, 17) + 0.5; }

TEST(DateText, ReadsDatesInTheShortDateOrder) {
  const auto previous = orv::SetNowFunction(&FixedNow2024);
  const struct {
    const char* Text;
    bool Ok;
    Word Y, M, D;
  } russian[] = {
      {"03.12.2006", true, 2006, 12, 3},  {" 3.12.2006 ", true, 2006, 12, 3}, {"5.01.2020", true, 2020, 1, 5},
      {"3.12", true, 2024, 12, 3},        {"3.12.06", true, 2006, 12, 3},     {"3.12.80", true, 1980, 12, 3},
      {"3.12.73", true, 2073, 12, 3},  {"3.12.74", true, 1974, 12, 3},   {"31.02.2020", false, 0, 0, 0},     {"12/3/2006", false, 0, 0, 0},
      {"3.12.2006 x", false, 0, 0, 0},    {"", false, 0, 0, 0},               {"3", false, 0, 0, 0},
      {"0.1.2000", false, 0, 0, 0},       {"1.1.10000", false, 0, 0, 0},
  };
  for (const auto& c : russian) {
    TDateTime v = -1;
    EXPECT_EQ(TryStrToDate(c.Text, v), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(v, EncodeDate(c.Y, c.M, c.D)) << c.Text;
    }
  }
  EXPECT_THROW(StrToDate("31.02.2020"), EConvertError);
  EXPECT_EQ(StrToDateTime("03.12.2006 19:05"), EncodeDate(2006, 12, 3) + EncodeTime(19, 5, 0, 0));
  EXPECT_EQ(StrToDateTime("03.12.2006"), EncodeDate(2006, 12, 3));
  EXPECT_EQ(StrToDateTime("19:05:09"), EncodeTime(19, 5, 9, 0));
  EXPECT_EQ(StrToTime("7:05:09,250"), EncodeTime(7, 5, 9, 250));
  EXPECT_THROW(StrToTime("25:00"), EConvertError);
  EXPECT_THROW(StrToTime("7"), EConvertError);
  EXPECT_THROW(StrToDateTime("03.12.2006 7:"), EConvertError);
  {
    orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
    EXPECT_EQ(StrToDate("12/3/2006"), EncodeDate(2006, 12, 3));
    EXPECT_EQ(StrToTime("7:05 PM"), EncodeTime(19, 5, 0, 0));
    EXPECT_EQ(StrToTime("12:10 am"), EncodeTime(0, 10, 0, 0));
    EXPECT_EQ(StrToTime("7 PM"), EncodeTime(19, 0, 0, 0));
    EXPECT_THROW(StrToTime("13:00 PM"), EConvertError);
  }
  orv::SetNowFunction(previous);
}

}  // namespace
