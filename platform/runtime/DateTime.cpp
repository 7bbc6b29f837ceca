#include "platform/runtime/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Math.h"

namespace {

constexpr Word kMonthDays[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

// Time-stamp day numbers of the supported range: 1 January 0001 .. 31 December 9999.
constexpr Integer kMaxTimeStampDate = 3652059;

[[noreturn]] void InvalidTimeStamp() { throw EConvertError("Invalid date/time stamp"); }

orv::TNowFunction gNow = &orv::SystemNow;

}  // namespace

TTimeStamp DateTimeToTimeStamp(TDateTime dateTime) {
  if (!(dateTime >= MinDateTime - 1 && dateTime < MaxDateTime + 1)) InvalidTimeStamp();
  // Whole milliseconds; the day is the whole part (toward zero) and the time runs forward from
  // that day's midnight whatever the sign.
  const Int64 ms = Round(dateTime * MSecsPerDay);
  TTimeStamp result;
  result.Date = static_cast<Integer>(DateDelta + ms / MSecsPerDay);
  result.Time = static_cast<Integer>((ms < 0 ? -ms : ms) % MSecsPerDay);
  return result;
}

TDateTime TimeStampToDateTime(const TTimeStamp& timeStamp) {
  if (timeStamp.Time < 0 || timeStamp.Time >= MSecsPerDay || timeStamp.Date <= 0) InvalidTimeStamp();
  const double days = double(timeStamp.Date) - DateDelta;
  const double time = double(timeStamp.Time) / MSecsPerDay;
  return days < 0 ? days - time : days + time;
}

double TimeStampToMSecs(const TTimeStamp& timeStamp) {
  return double(Int64(timeStamp.Date) * MSecsPerDay + timeStamp.Time);
}

TTimeStamp MSecsToTimeStamp(double mSecs) {
  // Anything from day 1 to the last day of year 9999.
  if (!(mSecs >= double(MSecsPerDay) && mSecs < (double(kMaxTimeStampDate) + 1) * MSecsPerDay)) {
    InvalidTimeStamp();
  }
  const Int64 ms = static_cast<Int64>(mSecs);
  TTimeStamp result;
  result.Date = static_cast<Integer>(ms / MSecsPerDay);
  result.Time = static_cast<Integer>(ms % MSecsPerDay);
  return result;
}

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInAMonth(Word year, Word month) {
  if (month < 1 || month > 12) return 0;
  return kMonthDays[IsLeapYear(year)][month - 1];
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
  if (day < 1 || day > DaysInAMonth(year, month)) return false;
  const bool leap = IsLeapYear(year);
  Integer days = day;
  for (Word m = 1; m < month; ++m) days += kMonthDays[leap][m - 1];
  const Integer y = year - 1;
  date = double(y * 365 + y / 4 - y / 100 + y / 400 + days - DateDelta);
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime result;
  if (!TryEncodeDate(year, month, day, result)) throw EConvertError("Invalid argument to date encode");
  return result;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  constexpr Integer kD1 = 365, kD4 = kD1 * 4 + 1, kD100 = kD4 * 25 - 1, kD400 = kD100 * 4 + 1;
  Integer t = DateTimeToTimeStamp(date).Date;
  if (t <= 0) {
    year = month = day = 0;
    return;
  }
  --t;  // days since 1 January 0001, 0-based
  Integer y = 1;
  y += (t / kD400) * 400;
  t %= kD400;
  Integer i = t / kD100;
  if (i == 4) i = 3;  // the last day of a 400-year cycle
  y += i * 100;
  t -= i * kD100;
  y += (t / kD4) * 4;
  t %= kD4;
  i = t / kD1;
  if (i == 4) i = 3;  // the last day of a leap cycle
  y += i;
  t -= i * kD1;
  const bool leap = IsLeapYear(static_cast<Word>(y));
  Word m = 1;
  while (t >= kMonthDays[leap][m - 1]) {
    t -= kMonthDays[leap][m - 1];
    ++m;
  }
  year = static_cast<Word>(y);
  month = m;
  day = static_cast<Word>(t + 1);
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
  if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
  time = double(Integer(hour) * 3600000 + Integer(min) * 60000 + Integer(sec) * 1000 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime result;
  if (!TryEncodeTime(hour, min, sec, msec, result)) throw EConvertError("Invalid argument to time encode");
  return result;
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  Integer ms = DateTimeToTimeStamp(time).Time;
  hour = static_cast<Word>(ms / 3600000);
  ms %= 3600000;
  min = static_cast<Word>(ms / 60000);
  ms %= 60000;
  sec = static_cast<Word>(ms / 1000);
  msec = static_cast<Word>(ms % 1000);
}

Word DayOfWeek(TDateTime date) { return static_cast<Word>(DateTimeToTimeStamp(date).Date % 7 + 1); }

TDateTime Now() { return gNow(); }

TDateTime Date() { return double(DateTimeToTimeStamp(Now()).Date - DateDelta); }

TDateTime Time() { return double(DateTimeToTimeStamp(Now()).Time) / MSecsPerDay; }

namespace orv {

TNowFunction SetNowFunction(TNowFunction now) {
  const TNowFunction previous = gNow;
  gNow = now ? now : &SystemNow;
  return previous;
}

TDateTime SystemNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return EncodeDate(static_cast<Word>(local.tm_year + 1900), static_cast<Word>(local.tm_mon + 1),
                    static_cast<Word>(local.tm_mday)) +
         EncodeTime(static_cast<Word>(local.tm_hour), static_cast<Word>(local.tm_min),
                    static_cast<Word>(local.tm_sec > 59 ? 59 : local.tm_sec), static_cast<Word>(ms));
}

}  // namespace orv
