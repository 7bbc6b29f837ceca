#include "platform/runtime/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"
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

// ---------------------------------------------------------------------------------------------
// Text

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool StartsWithNoCase(const AnsiString& s, std::size_t i, const char* word) {
  for (std::size_t k = 0; word[k]; ++k)
    if (i + k >= s.size() || Lower(s[i + k]) != word[k]) return false;
  return true;
}

AnsiString TwoDigits(int v) {
  AnsiString r = std::to_string(v);
  return r.size() < 2 ? "0" + r : r;
}

struct DateParts {
  Word Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0, Dow = 1;
  bool TimeIsZero = true;
};

void FormatInto(AnsiString& out, const AnsiString& format, const DateParts& p, int depth) {
  if (depth > 2) return;
  const TFormatSettings& fs = FormatSettings;
  // 12-hour clock when the picture holds a marker.
  bool twelveHour = false;
  bool dayNumber = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p") || StartsWithNoCase(format, i, "ampm"))
      twelveHour = true;
    if (Lower(format[i]) == 'd') {
      std::size_t n = 1;
      while (i + n < format.size() && Lower(format[i + n]) == 'd') ++n;
      if (n <= 2) dayNumber = true;
      i += n - 1;
    }
  }
  char lastToken = 0;
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    const char lc = Lower(c);
    if (c == '"' || c == '\'') {
      std::size_t j = i + 1;
      while (j < format.size() && format[j] != c) out.push_back(format[j++]);
      i = j + 1;
      continue;
    }
    std::size_t n = 1;
    while (i + n < format.size() && Lower(format[i + n]) == lc) ++n;
    switch (lc) {
      case 'c':
        FormatInto(out, fs.ShortDateFormat, p, depth + 1);
        if (!p.TimeIsZero) {
          out.push_back(' ');
          FormatInto(out, fs.LongTimeFormat, p, depth + 1);
        }
        break;
      case 'd':
        switch (n) {
          case 1: out += std::to_string(p.Day); break;
          case 2: out += TwoDigits(p.Day); break;
          case 3: out += fs.ShortDayNames[p.Dow - 1]; break;
          case 4: out += fs.LongDayNames[p.Dow - 1]; break;
          case 5: FormatInto(out, fs.ShortDateFormat, p, depth + 1); break;
          default: FormatInto(out, fs.LongDateFormat, p, depth + 1); break;
        }
        break;
      case 'm':
        if (lastToken == 'h') {
          out += n == 1 ? std::to_string(p.Min) : TwoDigits(p.Min);
          n = n > 2 ? 2 : n;
        } else if (n == 1) {
          out += std::to_string(p.Month);
        } else if (n == 2) {
          out += TwoDigits(p.Month);
        } else if (n == 3) {
          out += fs.ShortMonthNames[p.Month - 1];
        } else {
          out += dayNumber ? fs.GenitiveMonthNames[p.Month - 1] : fs.LongMonthNames[p.Month - 1];
        }
        break;
      case 'y':
        if (n <= 2) {
          out += TwoDigits(p.Year % 100);
        } else {
          AnsiString y = std::to_string(p.Year);
          out += AnsiString(y.size() < 4 ? 4 - y.size() : 0, '0') + y;
        }
        break;
      case 'h': {
        int h = p.Hour;
        if (twelveHour) {
          h %= 12;
          if (h == 0) h = 12;
        }
        out += n == 1 ? std::to_string(h) : TwoDigits(h);
        if (n > 2) n = 2;
        break;
      }
      case 'n':
        out += n == 1 ? std::to_string(p.Min) : TwoDigits(p.Min);
        if (n > 2) n = 2;
        break;
      case 's':
        out += n == 1 ? std::to_string(p.Sec) : TwoDigits(p.Sec);
        if (n > 2) n = 2;
        break;
      case 'z':
        if (n >= 3) {
          AnsiString ms = std::to_string(p.MSec + 1000).substr(1);
          out += ms;
          n = 3;
        } else {
          out += std::to_string(p.MSec);
          n = 1;
        }
        break;
      case 't':
        FormatInto(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, depth + 1);
        if (n > 2) n = 2;
        break;
      case 'a':
        n = 1;
        if (StartsWithNoCase(format, i, "am/pm")) {
          out += p.Hour < 12 ? format.substr(i, 2) : format.substr(i + 3, 2);
          n = 5;
        } else if (StartsWithNoCase(format, i, "a/p")) {
          out.push_back(p.Hour < 12 ? format[i] : format[i + 2]);
          n = 3;
        } else if (StartsWithNoCase(format, i, "ampm")) {
          out += p.Hour < 12 ? fs.TimeAMString : fs.TimePMString;
          n = 4;
        } else {
          out.push_back(c);
        }
        break;
      case '/':
        n = 1;
        out.push_back(fs.DateSeparator);
        break;
      case ':':
        n = 1;
        out.push_back(fs.TimeSeparator);
        break;
      default:
        n = 1;
        out.push_back(c);
        break;
    }
    if (lc == 'h' || lc == 'd' || lc == 'm' || lc == 'y' || lc == 'n' || lc == 's' || lc == 'z') lastToken = lc;
    i += n;
  }
}

// Scanning ---------------------------------------------------------------------------------

struct Scanner {
  const AnsiString& S;
  std::size_t I = 0;

  void SkipBlanks() {
    while (I < S.size() && S[I] == ' ') ++I;
  }
  bool AtEnd() {
    SkipBlanks();
    return I >= S.size();
  }
  bool Char(char c) {
    SkipBlanks();
    if (I < S.size() && S[I] == c) {
      ++I;
      return true;
    }
    return false;
  }
  // Up to `maxDigits` digits; `digits` receives their count.
  bool Number(int& value, int& digits, int maxDigits = 5) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (I < S.size() && S[I] >= '0' && S[I] <= '9' && digits < maxDigits) {
      value = value * 10 + (S[I++] - '0');
      ++digits;
    }
    return digits > 0;
  }
  bool Word(const AnsiString& w) {
    SkipBlanks();
    if (w.empty() || S.size() - I < w.size()) return false;
    for (std::size_t k = 0; k < w.size(); ++k)
      if (Lower(S[I + k]) != Lower(w[k])) return false;
    I += w.size();
    return true;
  }
};

// 0 month-day-year, 1 day-month-year, 2 year-month-day, from the short date format.
int DateOrder() {
  for (const char c : FormatSettings.ShortDateFormat) {
    const char l = Lower(c);
    if (l == 'd') return 1;
    if (l == 'm') return 0;
    if (l == 'y') return 2;
  }
  return 1;
}

bool ScanDate(Scanner& sc, TDateTime& value) {
  int n[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
  const std::size_t start = sc.I;
  if (!sc.Number(n[0], digits[0])) return false;
  if (!sc.Char(FormatSettings.DateSeparator) || !sc.Number(n[1], digits[1])) {
    sc.I = start;
    return false;
  }
  int count = 2;
  const std::size_t afterTwo = sc.I;
  if (sc.Char(FormatSettings.DateSeparator)) {
    if (sc.Number(n[2], digits[2])) {
      count = 3;
    } else {
      sc.I = afterTwo;  // a trailing separator ("5.01.") is allowed
      sc.Char(FormatSettings.DateSeparator);
    }
  }
  Word curYear, curMonth, curDay;
  DecodeDate(Date(), curYear, curMonth, curDay);
  int y, m, d, yearDigits = 4;
  const int order = DateOrder();
  if (count == 2) {
    y = curYear;
    if (order == 0 || order == 2) {
      m = n[0];
      d = n[1];
    } else {
      d = n[0];
      m = n[1];
    }
  } else if (order == 0) {
    m = n[0], d = n[1], y = n[2], yearDigits = digits[2];
  } else if (order == 1) {
    d = n[0], m = n[1], y = n[2], yearDigits = digits[2];
  } else {
    y = n[0], m = n[1], d = n[2], yearDigits = digits[0];
  }
  if (count == 3 && yearDigits <= 2) {
    const int window = FormatSettings.TwoDigitYearCenturyWindow;
    if (window > 0) {
      const int threshold = curYear - window;
      y += threshold / 100 * 100;
      if (y < threshold) y += 100;
    } else {
      y += curYear / 100 * 100;
    }
  }
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
  return TryEncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d), value);
}

bool ScanTime(Scanner& sc, TDateTime& value) {
  const TFormatSettings& fs = FormatSettings;
  int marker = -1;  // 0 AM, 1 PM
  auto scanMarker = [&]() {
    if (marker < 0 && (sc.Word(fs.TimeAMString) || sc.Word("AM"))) marker = 0;
    else if (marker < 0 && (sc.Word(fs.TimePMString) || sc.Word("PM"))) marker = 1;
  };
  scanMarker();
  int h = 0, m = 0, s = 0, ms = 0, digits = 0;
  if (!sc.Number(h, digits, 2)) return false;
  bool minutes = false;
  if (sc.Char(fs.TimeSeparator)) {
    if (!sc.Number(m, digits, 2)) return false;
    minutes = true;
    if (sc.Char(fs.TimeSeparator)) {
      if (!sc.Number(s, digits, 2)) return false;
      if (sc.Char(fs.DecimalSeparator) || sc.Char('.')) {
        if (!sc.Number(ms, digits, 3)) return false;
      }
    }
  }
  scanMarker();
  if (!minutes && marker < 0) return false;
  if (marker >= 0) {
    if (h < 1 || h > 12) return false;
    if (marker == 0 && h == 12) h = 0;
    if (marker == 1 && h < 12) h += 12;
  }
  return TryEncodeTime(static_cast<Word>(h), static_cast<Word>(m), static_cast<Word>(s), static_cast<Word>(ms), value);
}

DateParts Split(TDateTime dateTime) {
  DateParts p;
  DecodeDate(dateTime, p.Year, p.Month, p.Day);
  DecodeTime(dateTime, p.Hour, p.Min, p.Sec, p.MSec);
  p.Dow = DayOfWeek(dateTime);
  p.TimeIsZero = p.Hour == 0 && p.Min == 0 && p.Sec == 0 && p.MSec == 0;
  return p;
}

}  // namespace

AnsiString FormatDateTime(const AnsiString& format, TDateTime dateTime) {
  const DateParts parts = Split(dateTime);
  AnsiString out;
  FormatInto(out, format.empty() ? AnsiString("c") : format, parts, 0);
  return out;
}

AnsiString DateToStr(TDateTime date) { return FormatDateTime("ddddd", date); }

AnsiString TimeToStr(TDateTime time) { return FormatDateTime("tt", time); }

AnsiString DateTimeToStr(TDateTime dateTime) { return FormatDateTime("c", dateTime); }

bool TryStrToDate(const AnsiString& s, TDateTime& value) {
  Scanner sc{s};
  TDateTime d = 0;
  if (!ScanDate(sc, d) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToTime(const AnsiString& s, TDateTime& value) {
  Scanner sc{s};
  TDateTime t = 0;
  if (!ScanTime(sc, t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(const AnsiString& s, TDateTime& value) {
  Scanner sc{s};
  TDateTime d = 0, t = 0;
  if (ScanDate(sc, d)) {
    if (!sc.AtEnd() && !ScanTime(sc, t)) return false;
    if (!sc.AtEnd()) return false;
    value = d < 0 ? d - t : d + t;
    return true;
  }
  sc.I = 0;
  if (!ScanTime(sc, t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

TDateTime StrToDate(const AnsiString& s) {
  TDateTime v = 0;
  if (!TryStrToDate(s, v)) throw EConvertError("'" + s + "' is not a valid date");
  return v;
}

TDateTime StrToTime(const AnsiString& s) {
  TDateTime v = 0;
  if (!TryStrToTime(s, v)) throw EConvertError("'" + s + "' is not a valid time");
  return v;
}

TDateTime StrToDateTime(const AnsiString& s) {
  TDateTime v = 0;
  if (!TryStrToDateTime(s, v)) throw EConvertError("'" + s + "' is not a valid date and time");
  return v;
}
