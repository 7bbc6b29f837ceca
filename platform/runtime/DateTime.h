// Dates and times of the run-time library.
//
// A TDateTime is a double: the whole part counts days since 30 December 1899, the fraction is
// the time of day. Before that day the whole part is negative while the fraction still runs
// forward from midnight: -1.25 is 29 December 1899, 06:00.
//
// A TTimeStamp splits a moment into whole days counted from 1 January of year 1 (that day being
// 1) and milliseconds since midnight; the dBASE engine stores dates and date-times in that form.
#pragma once

#include "platform/runtime/Types.h"

using TDateTime = double;

inline constexpr Integer HoursPerDay = 24;
inline constexpr Integer MinsPerDay = HoursPerDay * 60;
inline constexpr Integer SecsPerDay = MinsPerDay * 60;
inline constexpr Integer MSecsPerDay = SecsPerDay * 1000;
// The time-stamp day number of 30 December 1899, day 0 of a TDateTime.
inline constexpr Integer DateDelta = 693594;
// TDateTime of 1 January 1970.
inline constexpr Integer UnixDateDelta = 25569;
// The earliest and latest TDateTime that the date routines accept: 1 January 0001 and
// 31 December 9999 at 23:59:59.999.
inline constexpr double MinDateTime = -693593.0;
inline constexpr double MaxDateTime = 2958465.99999999;

struct TTimeStamp {
  Integer Time = 0;  // milliseconds since midnight
  Integer Date = 0;  // days since 1 January 0001, that day being 1
  friend constexpr bool operator==(const TTimeStamp&, const TTimeStamp&) = default;
};

// Both raise EConvertError for a moment outside years 1..9999 (or not a number).
TTimeStamp DateTimeToTimeStamp(TDateTime dateTime);
// Raises EConvertError for a negative or too large time, or a day number below 1.
TDateTime TimeStampToDateTime(const TTimeStamp& timeStamp);
// Milliseconds since the start of day 0 (31 December of year 0). A whole number, held in a
// double as the dBASE engine stores it.
double TimeStampToMSecs(const TTimeStamp& timeStamp);
// The reverse of TimeStampToMSecs; the fraction of a millisecond is dropped. Raises
// EConvertError for a count that gives no valid time stamp.
TTimeStamp MSecsToTimeStamp(double mSecs);

bool IsLeapYear(Word year);
// Days in the month (1..12) of the year; 0 for a month out of range.
Word DaysInAMonth(Word year, Word month);

// Year 1..9999, month 1..12, day 1..days of that month.
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
// Raises EConvertError when TryEncodeDate fails.
TDateTime EncodeDate(Word year, Word month, Word day);
// All zero for a date before 1 January 0001.
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
// Hour 0..23, minute and second 0..59, millisecond 0..999.
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
// Raises EConvertError when TryEncodeTime fails.
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
// 1 = Sunday .. 7 = Saturday.
Word DayOfWeek(TDateTime date);

// Text of dates and times, by the settings of FormatSettings (Locale.h).
//
// FormatDateTime pictures: c, d .. dddddd, m .. mmmm (minutes right after h), yy, yyyy, h, hh,
// n, nn, s, ss, z, zzz, t, tt, am/pm, a/p, ampm, "/" (date separator), ":" (time separator),
// quoted text. A month name after a day number takes the language's genitive form.
AnsiString FormatDateTime(const AnsiString& format, TDateTime dateTime);
AnsiString DateToStr(TDateTime date);          // the short date
AnsiString TimeToStr(TDateTime time);          // the long time
AnsiString DateTimeToStr(TDateTime dateTime);  // the short date, then the long time unless it is 0:00

// Read in the order of the short date format (day, month and year numbers separated by the date
// separator; a missing year is this year, a two-digit year follows the century window) and
// "h:n[:s[.z]]" with an optional AM/PM marker. Blanks around are allowed, nothing else.
bool TryStrToDate(const AnsiString& s, TDateTime& value);
bool TryStrToTime(const AnsiString& s, TDateTime& value);
bool TryStrToDateTime(const AnsiString& s, TDateTime& value);
// Raise EConvertError "'<s>' is not a valid date" (time, date and time).
TDateTime StrToDate(const AnsiString& s);
TDateTime StrToTime(const AnsiString& s);
TDateTime StrToDateTime(const AnsiString& s);

// The current moment of the clock (see orv::SetNowFunction): Now, its whole day and its time.
TDateTime Now();
TDateTime Date();
TDateTime Time();

namespace orv {

// Date, Now and Time read the current moment through this function; tests install their own.
using TNowFunction = TDateTime (*)();
// Installs `now` (nullptr: the system clock) and returns the function it replaces.
TNowFunction SetNowFunction(TNowFunction now);
// The system clock in local time.
TDateTime SystemNow();

}  // namespace orv
