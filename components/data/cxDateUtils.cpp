#include "components/data/cxDateUtils.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "components/data/cxFormats.h"
#include "components/data/cxLibraryConsts.h"
#include "components/foundation/cxGraphics.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SysUtils.h"
#include "platform/runtime/Variants.h"

TcxSmartDateHook SmartDateHook = nullptr;

namespace {

using TTableOwner = std::unique_ptr<TcxCustomCalendarTable, orv::FreeDeleter>;

Int64 FloorDiv(Int64 a, Int64 b) {
  Int64 q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

Int64 FloorMod(Int64 a, Int64 b) { return a - FloorDiv(a, b) * b; }

// A date from Gregorian parts of any range; false when they make no date of years 1..9999.
bool TryMakeDate(Int64 year, Int64 month, Int64 day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  return TryEncodeDate(Word(year), Word(month), Word(day), date);
}

bool TryMakeTime(Int64 hours, Int64 minutes, Int64 seconds, Int64 milliseconds, TDateTime& time) {
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 || milliseconds < 0 ||
      milliseconds > 999)
    return false;
  return TryEncodeTime(Word(hours), Word(minutes), Word(seconds), Word(milliseconds), time);
}

// A whole day and a time of day as one date-time: before 30 December 1899 the whole part is
// negative while the time still runs forward from midnight.
TDateTime CombineDateTime(TDateTime day, TDateTime time) { return day < 0 ? day - time : day + time; }

bool InPlatformRange(TDateTime date) { return date >= MinDateTime && date < MaxDateTime + 1; }

// The time-stamp day number (1 January 0001 is 1) of a date-time of any range.
Int64 DayNumberOf(TDateTime date) { return DateDelta + Int64(GetDatePart(date)); }

// 0 Sunday .. 6 Saturday, for a date-time of any range.
Integer WeekdayOfAny(TDateTime date) { return Integer(FloorMod(DayNumberOf(date), 7)); }

void DecodeParts(TDateTime date, Integer& year, Integer& month, Integer& day) {
  Word y = 0, m = 0, d = 0;
  if (InPlatformRange(date)) DecodeDate(date, y, m, d);
  year = y, month = m, day = d;
}

Integer YearOfAny(TDateTime date) {
  Integer y, m, d;
  DecodeParts(date, y, m, d);
  return y;
}

Integer LocaleFirstWeekRule() {
  return StrToIntDef(GetLocaleStr(GetThreadLocale(), LOCALE_IFIRSTWEEKOFYEAR, "0"), 0) + 1;
}

Boolean UsePlatformFormats() { return GetFormatController()->GetUsePlatformFormats(); }

// The calendar given, or the locale's for nil (made for the call).
class TCalendarRef {
 public:
  explicit TCalendarRef(TcxCustomCalendarTable* calendar) : FCalendar(calendar) {
    if (!FCalendar) {
      FOwned.reset(CreateLocaleCalendarTable());
      FCalendar = FOwned.get();
    }
  }
  TcxCustomCalendarTable* operator->() const { return FCalendar; }
  TcxCustomCalendarTable* Get() const { return FCalendar; }

 private:
  TcxCustomCalendarTable* FCalendar;
  TTableOwner FOwned;
};

// Whether the table reckons as the locale does, so that the locale's texts of its dates hold.
Boolean IsLocaleCalendar(TcxCustomCalendarTable* calendar) {
  const Boolean gregorian = IsGregorianCalendarTable(calendar);
  if (gregorian) return IsGregorianCalendarTable(nullptr);
  return calendar->CalendarIdent() == LocaleCalendarType();
}

// ---- The locale's reading of a date text -------------------------------------------------------

// A month name of the locale (long, short or the form after a day number): its number, else 0.
Integer MonthOfName(const AnsiString& word) {
  for (Integer m = 0; m < 12; ++m)
    if (AnsiSameText(word, FormatSettings.LongMonthNames[m]) || AnsiSameText(word, FormatSettings.ShortMonthNames[m]) ||
        AnsiSameText(word, FormatSettings.GenitiveMonthNames[m]))
      return m + 1;
  return 0;
}

bool IsDigits(const AnsiString& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What the locale's date conversion reads: day, month and year numbers (or a month name) in
// the order of the short date format, separated by blanks, the date separator or commas, then
// an optional time.
bool LocaleTextToDateTime(const AnsiString& text, TDateTime& value) {
  std::vector<AnsiString> tokens;
  AnsiString current;
  const char separator = FormatSettings.DateSeparator;
  std::size_t i = 0;
  std::size_t timeStart = text.size();
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == separator || c == ',') {
      if (!current.empty()) tokens.push_back(current);
      current.clear();
      if (tokens.size() == 3) {
        timeStart = i;
        break;
      }
      continue;
    }
    current += c;
  }
  if (i == text.size() && !current.empty()) tokens.push_back(current);
  // The date is the leading run of numbers and month names; the rest is the time.
  std::size_t dateCount = 0;
  while (dateCount < tokens.size() && dateCount < 3 && (IsDigits(tokens[dateCount]) || MonthOfName(tokens[dateCount])))
    ++dateCount;
  AnsiString timeText;
  for (std::size_t k = dateCount; k < tokens.size(); ++k) timeText += (timeText.empty() ? "" : " ") + tokens[k];
  if (timeStart < text.size()) timeText += (timeText.empty() ? "" : " ") + text.substr(timeStart);
  timeText = Trim(timeText);
  if (dateCount == 0) return !timeText.empty() && TryStrToTime(timeText, value);
  if (dateCount == 1) return false;
  AnsiString dateText;
  for (std::size_t k = 0; k < dateCount; ++k) {
    if (k > 0) dateText += separator;
    const Integer month = IsDigits(tokens[k]) ? 0 : MonthOfName(tokens[k]);
    dateText += month ? IntToStr(month) : tokens[k];
  }
  TDateTime date = 0, time = 0;
  if (!TryStrToDate(dateText, date)) return false;
  if (!timeText.empty() && !TryStrToTime(timeText, time)) return false;
  value = CombineDateTime(date, time);
  return true;
}

// A date text as the variant conversion or the platform reads it; raises EConvertError.
TDateTime ConvertDateText(const AnsiString& text, Boolean localeParser) {
  if (!localeParser) return StrToDateTime(text);
  TDateTime value = 0;
  if (!LocaleTextToDateTime(text, value)) throw EConvertError("'" + text + "' is not a valid date");
  return value;
}

bool InEditRange(TDateTime date) {
  if (!(date > -2147483648.0 && date < 2147483647.0)) return false;
  if (!InPlatformRange(date)) return false;
  Integer y, m, d;
  DecodeParts(date, y, m, d);
  return y >= 1 && y <= 9999;
}

// The Gregorian reading of an edit text (smart words first).
TDateTime ParseGregorianEditText(const AnsiString& trimmed, Boolean platformFormats) {
  TDateTime result = NullDate;
  if (!TrySmartTextToDate(trimmed, result)) {
    AnsiString text = trimmed;
    CleanDateText(text, !platformFormats);
    result = ConvertDateText(text, !platformFormats);
  }
  return InEditRange(result) ? result : NullDate;
}

}  // namespace

// ==== Smart date input =======================================================================

void LoadSmartWords(AnsiString (&words)[kSmartWordCount]) {
  static constexpr PResStringRec kWords[kSmartWordCount] = {
      &cxSDateToday,  &cxSDateYesterday, &cxSDateTomorrow, &cxSDateSunday, &cxSDateMonday,
      &cxSDateTuesday, &cxSDateWednesday, &cxSDateThursday, &cxSDateFriday, &cxSDateSaturday,
      &cxSDateFirst,  &cxSDateSecond,    &cxSDateThird,    &cxSDateFourth, &cxSDateFifth,
      &cxSDateSixth,  &cxSDateSeventh,   &cxSDateBOM,      &cxSDateEOM,    &cxSDateNow};
  for (Integer i = 0; i < kSmartWordCount; ++i) words[i] = GetLocalizedResourceString(kWords[i]);
}

Integer MatchSmartWord(const AnsiString& text, Integer& wordLength) {
  AnsiString words[kSmartWordCount];
  LoadSmartWords(words);
  std::array<Integer, kSmartWordCount> order;
  for (Integer i = 0; i < kSmartWordCount; ++i) order[i] = i;
  // Longer words first, so that a word is never taken for a shorter one it starts with.
  std::stable_sort(order.begin(), order.end(), [&](Integer a, Integer b) {
    if (words[a].size() != words[b].size()) return words[a].size() > words[b].size();
    return AnsiCompareText(words[a], words[b]) > 0;
  });
  const AnsiString s = Trim(text);
  for (const Integer index : order) {
    const AnsiString& word = words[index];
    if (word.size() <= s.size() && AnsiSameText(s.substr(0, word.size()), word)) {
      wordLength = Integer(word.size());
      return index;
    }
  }
  wordLength = 0;
  return -1;
}

Boolean TrySmartTextToDate(const AnsiString& text, TDateTime& date) {
  const AnsiString s = Trim(text);
  Integer length = 0;
  const Integer index = MatchSmartWord(s, length);
  if (index < 0) return SmartDateHook ? SmartDateHook(text, date) : false;
  const TDateTime today = Date();
  TDateTime result = today;
  switch (index) {
    case 0: result = today; break;
    case 1: result = today - 1; break;
    case 2: result = today + 1; break;
    case 17: result = GetFirstDayOfMonth(today); break;
    case 18: result = GetLastDayOfMonth(true, today); break;
    case 19: result = Now(); break;
    default:
      if (index >= 3 && index <= 9) {
        const Integer d = (index - 3) + 1 - DayOfWeek(today);
        result = d >= 0 ? today + d : today + 7 + d;
      } else {
        result = today - (GetWeekdayIndex(today) - (index - 10));
      }
      break;
  }
  const AnsiString rest = Trim(s.substr(std::size_t(length)));
  if (rest.size() >= 2 && (rest[0] == '+' || rest[0] == '-')) {
    Integer days = 0;
    if (TryStrToInt(Trim(rest.substr(1)), days)) result += rest[0] == '+' ? days : -Int64(days);
  }
  date = result;
  return true;
}

void QuoteForRegExpr(AnsiString& mask, const AnsiString& word) {
  bool open = false;
  for (const char c : word) {
    if (c == '\'') {
      if (open) mask += '\'';
      open = false;
      mask += "\\'";
    } else {
      if (!open) mask += '\'';
      open = true;
      mask += c;
    }
  }
  if (open) mask += '\'';
}

void AppendSmartWordsToMask(AnsiString& mask, Boolean withNow) {
  AnsiString words[kSmartWordCount];
  LoadSmartWords(words);
  AnsiString result = "(" + mask + ")|(";
  const Integer last = withNow ? kSmartWordCount - 1 : kSmartWordCount - 2;
  for (Integer i = 0; i <= last; ++i) {
    if (i > 0) result += "|";
    QuoteForRegExpr(result, words[i]);
  }
  mask = result + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}

// ==== Date parts and boundaries ==============================================================

TDateTime GetDatePart(TDateTime date) {
  if (std::isnan(date)) return 0;
  if (date >= MinDateTime - 1 && date < MaxDateTime + 1) return TDateTime(DateTimeToTimeStamp(date).Date - DateDelta);
  return std::trunc(date);
}

TDateTime GetTimePart(TDateTime date) {
  if (std::isnan(date)) return 0;
  if (date >= MinDateTime - 1 && date < MaxDateTime + 1)
    return TDateTime(DateTimeToTimeStamp(date).Time) / MSecsPerDay;
  return std::fabs(date - std::trunc(date));
}

Integer GetMonthIndex(TDateTime date) {
  Integer y, m, d;
  DecodeParts(date, y, m, d);
  return y * 12 + m - 12;
}

Integer DecodeDatePart(TcxDateElement element, TcxCustomCalendarTable* calendar, TDateTime date) {
  Integer y, m, d;
  if (calendar) {
    const TcxEraDateTime parts = calendar->SplitDateTime(date);
    y = parts.Year, m = parts.Month, d = parts.Day;
  } else {
    DecodeParts(date, y, m, d);
  }
  switch (element) {
    case deYear: return y;
    case deMonth: return m;
    default: return d;
  }
}

Boolean IsLeapYearNumber(Integer year) {
  const Int64 y = year;
  return FloorMod(y, 4) == 0 && (FloorMod(y, 100) != 0 || FloorMod(y, 400) == 0);
}

Integer DaysInMonth(Integer year, Integer month) {
  static constexpr Integer kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYearNumber(year) ? 29 : kDays[month - 1];
}

Integer GetWeekdayIndex(TDateTime date) {
  Integer result = WeekdayOfAny(date) - GetFormatController()->GetWeekStartDay();
  if (result < 0) result += 7;
  return result;
}

TDateTime GetFirstDayOfMonth(TDateTime date) {
  Integer y, m, d;
  DecodeParts(date, y, m, d);
  TDateTime result = 0;
  return TryMakeDate(y, m, 1, result) ? result : GetDatePart(date);
}

TDateTime GetFirstDayOfYear(TDateTime date) {
  Integer y, m, d;
  DecodeParts(date, y, m, d);
  TDateTime result = 0;
  return TryMakeDate(y, 1, 1, result) ? result : GetDatePart(date);
}

TDateTime GetLastDayOfMonth(Boolean dateOnly, TDateTime date) {
  Integer y, m, d;
  DecodeParts(date, y, m, d);
  TDateTime result = 0;
  if (!TryMakeDate(y, m, DaysInMonth(y, m), result)) return GetDatePart(date);
  return dateOnly ? result : CombineDateTime(result, EncodeTime(23, 59, 59, 999));
}

TDateTime GetLastDayOfYear(Boolean dateOnly, TDateTime date) {
  Integer y, m, d;
  DecodeParts(date, y, m, d);
  TDateTime result = 0;
  if (!TryMakeDate(y, 12, 31, result)) return GetDatePart(date);
  return dateOnly ? result : CombineDateTime(result, EncodeTime(23, 59, 59, 999));
}

Integer LocaleWeekStartDay() {
  const Integer d = StrToIntDef(GetLocaleStr(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK, "0"), 0);
  return d == 6 ? 0 : d + 1;
}

TDateTime WeekStartOnOrBefore(TDateTime date, Integer firstWeekday) {
  const Integer back = Integer(FloorMod(WeekdayOfAny(date) - firstWeekday, 7));
  return GetDatePart(date) - back;
}

namespace {

// The first day of week 1 of a Gregorian year by the rule (1-3).
TDateTime FirstWeekStart(Integer year, Integer firstWeekday, Integer rule) {
  TDateTime january = 0;
  if (!TryMakeDate(year, 1, 1, january)) return MinDateTime;
  TDateTime p = WeekStartOnOrBefore(january, firstWeekday);
  if (rule == 2 && YearOfAny(p) < year) p += 7;
  if (rule == 3 && YearOfAny(p + 3) < year) p += 7;
  return p;
}

}  // namespace

Integer WeekNumberOfDate(Integer firstWeekday, Integer rule, TDateTime date) {
  if (rule == 0) rule = LocaleFirstWeekRule();
  const TDateTime day = GetDatePart(date);
  Integer y, m, d;
  DecodeParts(day, y, m, d);
  TDateTime p = FirstWeekStart(y, firstWeekday, rule);
  // A day before week 1 belongs to the last week of the year before.
  if (day < p && y > 1) p = FirstWeekStart(y - 1, firstWeekday, rule);
  const Integer week = std::max<Integer>(1, Integer((day - p) / 7) + 1);
  if (m == 12) {
    const TDateTime s = WeekStartOnOrBefore(day, firstWeekday);
    Integer y2, m2, d2;
    if (rule == 1) {
      DecodeParts(s + 6, y2, m2, d2);
      if (m2 == 1) return 1;
    } else if (rule == 3) {
      DecodeParts(s + 3, y2, m2, d2);
      if (m2 == 1) return 1;
    }
  }
  return week;
}

Boolean IsValidDate(TDateTime date) { return date == NullDate || (date >= MinEditDate && date <= MaxEditDateTime); }

// ==== Locale access ==========================================================================

AnsiString LocaleInfoText(LCID locale, LCTYPE type) {
  AnsiString text = GetLocaleInfo(locale, type);
  if (text.size() > 255) text.resize(255);
  return text;
}

Integer LocaleCalendarType() {
  return StrToIntDef(LocaleInfoText(GetThreadLocale(), LOCALE_ICALENDARTYPE), CAL_GREGORIAN);
}

TcxCustomCalendarTable* CreateCalendarTable(Integer calendarType) {
  switch (calendarType) {
    case CAL_JAPAN: return new TcxJapaneseCalendarTable;
    case CAL_TAIWAN: return new TcxTaiwanCalendarTable;
    case CAL_KOREA: return new TcxKoreanCalendarTable;
    case CAL_HIJRI: return new TcxHijriCalendarTable;
    case CAL_THAI: return new TcxThaiCalendarTable;
    case CAL_HEBREW: return new TcxHebrewCalendarTable;
    case CAL_GREGORIAN:
    case CAL_GREGORIAN_US:
    case CAL_GREGORIAN_ME_FRENCH:
    case CAL_GREGORIAN_ARABIC:
    case CAL_GREGORIAN_XLIT_ENGLISH:
    case CAL_GREGORIAN_XLIT_FRENCH: return new TcxGregorianCalendarTable(calendarType);
    default: return new TcxGregorianCalendarTable;
  }
}

TcxCustomCalendarTable* CreateLocaleCalendarTable() { return CreateCalendarTable(LocaleCalendarType()); }

Boolean IsGregorianCalendarTable(TcxCustomCalendarTable* calendar) {
  // A type the tables do not know is read with the Gregorian table.
  const Integer ident = calendar ? calendar->CalendarIdent() : LocaleCalendarType();
  if (!calendar && (ident < CAL_JAPAN || ident > CAL_HEBREW)) return true;
  return ident == CAL_GREGORIAN || ident == CAL_GREGORIAN_US || (ident >= CAL_GREGORIAN_ME_FRENCH && ident <= CAL_GREGORIAN_XLIT_FRENCH);
}

Boolean BoundGetCalendarInfo(Integer calendar, Cardinal type, AnsiString& text, Integer& value) {
  // The platform offers no calendar information: every caller takes its documented fallback.
  text.clear();
  value = 0;
  return false;
}

TFormatSettings LocaleFormatSettings() {
  TFormatSettings settings = FormatSettings;
  const LCID locale = GetThreadLocale();
  const AnsiString dateSeparator = LocaleInfoText(locale, LOCALE_SDATE);
  const AnsiString timeSeparator = LocaleInfoText(locale, LOCALE_STIME);
  settings.DateSeparator = dateSeparator.empty() ? '/' : dateSeparator[0];
  settings.TimeSeparator = timeSeparator.empty() ? ':' : timeSeparator[0];
  settings.ShortDateFormat = LocaleInfoText(locale, LOCALE_SSHORTDATE);
  settings.LongDateFormat = LocaleInfoText(locale, LOCALE_SLONGDATE);
  settings.LongTimeFormat = LocaleInfoText(locale, LOCALE_STIMEFORMAT);
  settings.TimeAMString = LocaleInfoText(locale, LOCALE_S1159);
  settings.TimePMString = LocaleInfoText(locale, LOCALE_S2359);
  return settings;
}

// ==== Names and captions =====================================================================

Boolean FormatDateWithLocale(AnsiString& text, Cardinal flags, const AnsiString& pattern, TDateTime date) {
  if (UsePlatformFormats() && IsGregorianCalendarTable(nullptr)) {
    FormatDateByPattern(pattern.empty() ? FormatSettings.LongDateFormat : pattern, 0, text, date);
    return true;
  }
  text = GetDateFormat(GetThreadLocale(), flags, date, pattern);
  return !text.empty();
}

void FormatDateByPattern(const AnsiString& pattern, char fixedSeparator, AnsiString& text, TDateTime date) {
  text.clear();
  if (!InPlatformRange(date)) return;
  Word year, month, day;
  DecodeDate(date, year, month, day);
  const Integer weekday = WeekdayOfAny(date);
  AnsiString separator;
  auto element = [&](const AnsiString& value) {
    if (!text.empty()) text += fixedSeparator ? AnsiString(1, fixedSeparator) : separator;
    separator.clear();
    text += value;
  };
  auto padded = [](Integer value, Integer width) {
    AnsiString s = IntToStr(value);
    return s.size() < std::size_t(width) ? AnsiString(width - s.size(), '0') + s : s;
  };
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char c = char(std::tolower(static_cast<unsigned char>(pattern[i])));
    std::size_t run = 1;
    while (i + run < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[i + run])) == c) ++run;
    switch (c) {
      case 'd':
        if (run == 1) element(IntToStr(Integer(day)));
        else if (run == 2) element(padded(day, 2));
        else if (run == 3) element(FormatSettings.ShortDayNames[weekday]);
        else element(FormatSettings.LongDayNames[weekday]);
        break;
      case 'e': break;
      case 'm': element(run >= 4 ? FormatSettings.LongMonthNames[month - 1] : padded(month, 2)); break;
      case 'y': element(run >= 4 ? padded(year % 10000, 4) : padded(year % 100, 2)); break;
      default: separator.append(run, pattern[i]); break;
    }
    i += run;
  }
}

void GetLongMonthName(TcxCustomCalendarTable* calendar, AnsiString& text, TDateTime date) {
  TCalendarRef cal(calendar);
  const TcxEraDateTime parts = cal->SplitDateTime(date);
  const Boolean gregorian = IsGregorianCalendarTable(cal.Get());
  if (!(gregorian && UsePlatformFormats())) {
    const TDateTime first = cal->JoinDateTime({parts.Era, parts.Year, parts.Month, 1});
    if (FormatDateWithLocale(text, 0, "MMMM", first)) return;
  }
  text = parts.Month >= 1 && parts.Month <= 12 ? FormatSettings.LongMonthNames[parts.Month - 1] : AnsiString();
}

void MonthNameInCalendar(Integer year, Integer month, TcxCustomCalendarTable* calendar, AnsiString& text) {
  TCalendarRef cal(calendar);
  text.clear();
  if (!cal->MonthInRange(year, month)) return;
  GetLongMonthName(cal.Get(), text, cal->JoinDate({-1, year, month, 1}));
}

void GetYearText(TcxCustomCalendarTable* calendar, AnsiString& text, TDateTime date) {
  TCalendarRef cal(calendar);
  const TcxEraDateTime parts = cal->SplitDateTime(date);
  // The locale writes the years of its own calendar; another calendar's year is its number.
  if (IsLocaleCalendar(cal.Get()) && FormatDateWithLocale(text, 0, "yyyy", cal->JoinDateTime(parts))) return;
  text = IntToStr(parts.Year);
}

void GetMonthYearCaption(TcxCustomCalendarTable* calendar, AnsiString& text, TDateTime date) {
  TCalendarRef cal(calendar);
  if (UsePlatformFormats() && IsGregorianCalendarTable(cal.Get())) {
    FormatDateByPattern("mmmm yyyy", ' ', text, date);
    return;
  }
  AnsiString format;
  Integer unused = 0;
  if (BoundGetCalendarInfo(cal->CalendarIdent(), CAL_SYEARMONTH, format, unused) &&
      FormatDateWithLocale(text, 0, format, date))
    return;
  AnsiString month, year;
  GetLongMonthName(cal.Get(), month, date);
  GetYearText(cal.Get(), year, date);
  text = month + " " + year;
}

void DayOfWeekCaption(Integer day, Byte charset, AnsiString& text) {
  text.clear();
  if (day < 1 || day > 7) return;
  if (UsePlatformFormats() && IsGregorianCalendarTable(nullptr)) {
    text = FormatSettings.ShortDayNames[day % 7];
  } else {
    const LCTYPE first = OsWinVista ? LOCALE_SSHORTESTDAYNAME1 : LOCALE_SABBREVDAYNAME1;
    text = LocaleInfoText(GetThreadLocale(), first + LCTYPE(day - 1));
  }
  if (text.empty()) return;
  text = IsChineseOrArabicCharset(charset, text) ? text.substr(text.size() - 1) : text.substr(0, 1);
}

void DayNumberText(AnsiString& text, TDateTime date) {
  if (FormatDateWithLocale(text, 0, "d", date)) return;
  text = InPlatformRange(date) ? FormatDateTime("d", date) : AnsiString();
}

void CalendarDayText(Integer day, TcxCustomCalendarTable* calendar, AnsiString& text) {
  TCalendarRef cal(calendar);
  DayNumberText(text, cal->JoinDate({-1, cal->FirstYear(), 1, day}));
}

void CalendarDateTimeText(AnsiString& text, TDateTime date) {
  FormatDateWithLocale(text, 0, LocaleInfoText(GetThreadLocale(), LOCALE_SSHORTDATE), date);
  if (GetTimePart(date) > 0) text += " " + TimeToStr(date);
}

// ==== Edit text ==============================================================================

AnsiString EditDateFormatPattern(Boolean fourDigitYear, Boolean platformFormats, TDateTime date) {
  AnsiString pattern;
  if (platformFormats) {
    pattern = FormatSettings.ShortDateFormat;
    if (GetTimePart(date) != 0) pattern += " " + FormatSettings.LongTimeFormat;
  } else {
    pattern = LocaleInfoText(GetThreadLocale(), LOCALE_SSHORTDATE);
  }
  if (fourDigitYear) {
    const AnsiString upper = UpperCase(pattern);
    if (upper.find("YY") != AnsiString::npos && upper.find("YYY") == AnsiString::npos) {
      for (std::size_t i = upper.find("YY"); i != AnsiString::npos; i = UpperCase(pattern).find("YY", i + 4))
        pattern.insert(i, pattern.substr(i, 2));
    }
  }
  return pattern;
}

void DateTimeToEditTextWith(Boolean fourDigitYear, Boolean platformFormats, AnsiString& text, TDateTime date) {
  text.clear();
  if (date == NullDate) return;
  const AnsiString pattern = EditDateFormatPattern(fourDigitYear, platformFormats, date);
  if (platformFormats) {
    text = InPlatformRange(date) ? FormatDateTime(pattern, date) : AnsiString();
    return;
  }
  const LCID locale = GetThreadLocale();
  text = GetDateFormat(locale, 0, date, pattern);
  if (text.empty()) {
    try {
      text = VarToStr(VarFromDateTime(date));
    } catch (const Exception&) {
      text.clear();
    }
    return;
  }
  if (GetTimePart(date) != 0) text += " " + GetTimeFormat(locale, 0, date, "");
}

void DateTimeToEditText(Boolean useDisplayFormat, Boolean withTime, Boolean fourDigitYear, AnsiString& text,
                        TDateTime date) {
  text.clear();
  if (date == NullDate) return;
  if (!IsGregorianCalendarTable(nullptr)) {
    CalendarDateTimeText(text, date);
    return;
  }
  if (useDisplayFormat) {
    const TcxFormatController* controller = GetFormatController();
    if (!InPlatformRange(date)) return;
    text = withTime ? FormatDateTime(controller->GetDateTimeDisplayFormat(), date)
                    : FormatDateTime(controller->GetDateDisplayFormat(), GetDatePart(date));
    return;
  }
  DateTimeToEditTextWith(fourDigitYear, UsePlatformFormats(), text, date);
}

void CleanDateText(AnsiString& text, Boolean useLocaleSeparators) {
  const LCID locale = GetThreadLocale();
  std::vector<AnsiString> separatorWords;
  if (useLocaleSeparators) {
    separatorWords = {LocaleInfoText(locale, LOCALE_SDATE), LocaleInfoText(locale, LOCALE_STIME),
                      GetLocaleStr(locale, LOCALE_S1159, "am"), GetLocaleStr(locale, LOCALE_S2359, "pm")};
  } else {
    separatorWords = {AnsiString(1, FormatSettings.DateSeparator), AnsiString(1, FormatSettings.TimeSeparator),
                      FormatSettings.TimeAMString, FormatSettings.TimePMString};
  }
  for (AnsiString& word : separatorWords) word = AnsiUpperCase(Trim(word));
  const TcxFormatController* controller = GetFormatController();
  for (const TcxDateTimeFormatInfo* info : {&controller->GetDateFormatItems(), &controller->GetTimeFormatItems()}) {
    for (const TcxDateTimeFormatItem& item : info->Items) {
      if (item.Kind != dfiLiteral) continue;
      const AnsiString literal = AnsiUpperCase(Trim(item.Data));
      if (literal.empty() || std::find(separatorWords.begin(), separatorWords.end(), literal) != separatorWords.end())
        continue;
      AnsiString upper = AnsiUpperCase(text);
      for (std::size_t at = upper.find(literal); at != AnsiString::npos; at = upper.find(literal, at + literal.size())) {
        text.replace(at, literal.size(), AnsiString(literal.size(), ' '));
        upper.replace(at, literal.size(), AnsiString(literal.size(), ' '));
      }
    }
  }
  text = Trim(text);
  AnsiString shrunk;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool blank = static_cast<unsigned char>(text[i]) <= ' ';
    const bool nextBlank = i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= ' ';
    if (!(blank && nextBlank)) shrunk += text[i];
  }
  text = shrunk;
  if (useLocaleSeparators) {
    const AnsiString separator = LocaleInfoText(locale, LOCALE_SDATE);
    if (!separator.empty())
      for (std::size_t at = text.find(separator); at != AnsiString::npos; at = text.find(separator, at + separator.size()))
        text.replace(at, separator.size(), AnsiString(separator.size(), ' '));
  }
}

TDateTime ParseEditDateText(const AnsiString& text, Boolean platformFormats) {
  try {
    const AnsiString trimmed = Trim(text);
    if (trimmed.empty()) return NullDate;
    if (IsGregorianCalendarTable(nullptr)) return ParseGregorianEditText(trimmed, platformFormats);
    return ParseDateInCalendar(trimmed);
  } catch (const Exception&) {
    return NullDate;
  }
}

Boolean TryEditTextToDate(const AnsiString& text, TDateTime& date) {
  date = ParseEditDateText(text, UsePlatformFormats());
  return date != NullDate;
}

Boolean TryTextToDateTime(const AnsiString& text, Boolean localeParser, TDateTime& date) {
  date = NullDate;
  try {
    if (IsGregorianCalendarTable(nullptr)) {
      AnsiString cleaned = text;
      CleanDateText(cleaned, localeParser);
      date = ConvertDateText(cleaned, localeParser);
    } else {
      date = ParseDateInCalendar(text);
    }
    return date != NullDate;
  } catch (const Exception&) {
    date = NullDate;
    return false;
  }
}

TDateTime ParseDateInCalendar(const AnsiString& text) {
  const Integer type = LocaleCalendarType();
  if (type >= CAL_JAPAN && type <= CAL_HEBREW) {
    TTableOwner calendar(CreateCalendarTable(type));
    TcxEraDateTime parts;
    if (!ScanCalendarDate(text, LocaleFormatSettings(), calendar.get(), parts)) return NullDate;
    return calendar->JoinDateTime(parts);
  }
  // Any other calendar reads as the Gregorian one (never back into this function).
  try {
    const AnsiString trimmed = Trim(text);
    return trimmed.empty() ? NullDate : ParseGregorianEditText(trimmed, UsePlatformFormats());
  } catch (const Exception&) {
    return NullDate;
  }
}

Integer DateOrderOf(const AnsiString& shortDateFormat) {
  for (const char c : shortDateFormat) {
    switch (c) {
      case 'm':
      case 'M': return 0;
      case 'd':
      case 'D': return 1;
      case 'y':
      case 'Y': return 2;
      default: break;
    }
  }
  return 0;
}

Boolean ScanCalendarDate(const AnsiString& text, const TFormatSettings& settings, TcxCustomCalendarTable* calendar,
                         TcxEraDateTime& date) {
  if (!calendar) return false;
  const AnsiString& format = settings.ShortDateFormat;
  std::size_t pos = 0;
  Integer eraOffset = 0;
  if (!format.empty() && (format[0] == 'g' || format[0] == 'G')) {
    // The era's name runs up to the first digit; the platform knows one era, whose offset is 0.
    while (pos < text.size() && !(text[pos] >= '0' && text[pos] <= '9')) ++pos;
  }
  const char separator = settings.DateSeparator;
  auto field = [&](char stop) {
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] != stop) ++pos;
    AnsiString result = text.substr(start, pos - start);
    if (pos < text.size()) ++pos;
    return Trim(result);
  };
  AnsiString fields[3];
  fields[0] = field(separator);
  fields[1] = field(separator);
  if (separator == ' ' && pos < text.size() && !(text[pos] >= '0' && text[pos] <= '9')) {
    // A month name of several words: the next word joins the month field.
    fields[1] += " " + field(' ');
  }
  fields[2] = field(' ');
  const Integer order = DateOrderOf(format);
  const AnsiString& yearText = order == 2 ? fields[0] : fields[2];
  const AnsiString& monthText = order == 0 ? fields[0] : fields[1];
  const AnsiString& dayText = order == 0 ? fields[1] : order == 1 ? fields[0] : fields[2];
  date = TcxEraDateTime();
  date.Year = calendar->ParseYearText(yearText);
  date.Month = calendar->ParseMonthText(date.Year, monthText);
  date.Day = calendar->ParseDayText(dayText);
  date.Era = calendar->EraOfYear(eraOffset + 1);
  const AnsiString rest = Trim(text.substr(std::min(pos, text.size())));
  if (!rest.empty()) {
    Word h, n, s, ms;
    DecodeTime(StrToTime(rest), h, n, s, ms);
    date.Hours = Byte(h), date.Minutes = Byte(n), date.Seconds = Byte(s), date.Milliseconds = ms;
  }
  return true;
}

// ==== Calendar tables ========================================================================

void TcxEra::Assign(TPersistent* source) {
  if (auto* era = dynamic_cast<TcxEra*>(source)) {
    FEra = era->FEra;
    FMaxEraYear = era->FMaxEraYear;
    FMinEraYear = era->FMinEraYear;
    FBeginDate = era->FBeginDate;
    FYearOffset = era->FYearOffset;
    return;
  }
  inherited::Assign(source);
}

TcxCustomCalendarTable::TcxCustomCalendarTable() : FEras(new TcxEras) {}

TcxCustomCalendarTable::~TcxCustomCalendarTable() { FEras->Free(); }

TcxEra* TcxCustomCalendarTable::EraAt(Integer era) {
  if (era == -1) return BaseEra();
  return era >= 0 && era < FEras->GetCount() ? FEras->GetItem(era) : nullptr;
}

void TcxCustomCalendarTable::AddEraYearOffset(Integer& year, Integer era) {
  if (TcxEra* e = EraAt(era)) year = Integer(std::clamp<Int64>(Int64(year) + e->GetYearOffset(), INT_MIN, INT_MAX));
}

void TcxCustomCalendarTable::NormalizeEraYear(Integer& year, Integer& era) { NormalizeEraYearAt(year, era, 1, 1); }

void TcxCustomCalendarTable::NormalizeEraYearAt(Integer& year, Integer& era, Integer month, Integer day) {
  Integer gregorian = year;
  AddEraYearOffset(gregorian, era);
  era = EraOfDate(gregorian, month, day);
  year = era >= 0 ? gregorian - FEras->GetItem(era)->GetYearOffset() : gregorian;
}

void TcxCustomCalendarTable::ClampDate(TDateTime& date) {
  if (std::isnan(date) || date < EarliestDate()) date = EarliestDate();
  else if (date > LatestDate()) date = LatestDate();
}

TDateTime TcxCustomCalendarTable::ShiftDays(const TcxEraDateTime& date, Integer count) {
  const TDateTime joined = JoinDateTime(date);
  // Days move on the whole day so that the time of day survives crossing 30 December 1899.
  TDateTime result = CombineDateTime(GetDatePart(joined) + count, GetTimePart(joined));
  ClampDate(result);
  return result;
}

TDateTime TcxCustomCalendarTable::ShiftMonthsOf(TDateTime date, Integer count) {
  return ShiftMonths(SplitDateTime(date), count);
}

TDateTime TcxCustomCalendarTable::ShiftMonths(const TcxEraDateTime& date, Integer count) {
  if (!DayInRangeInEra(date.Era, date.Year, date.Month, date.Day)) return EarliestDate();
  Int64 m = Int64(date.Month) + count;
  Integer y = date.Year, e = date.Era;
  const bool forward = m > MonthCountInEra(e, y);
  while (m > MonthCountInEra(e, y) || m <= 0) {
    // A walk that leaves every calendar's years has no valid end.
    if (y < -20000 || y > 20000) return EarliestDate();
    if (forward) {
      const Integer n = MonthCountInEra(e, y);
      if (n <= 0) return EarliestDate();
      m -= n;
      ++y;
    } else {
      const Integer n = MonthCountInEra(e, y - 1);
      if (n <= 0) return EarliestDate();
      m += n;
      --y;
    }
  }
  Integer day = std::min(date.Day, MonthLengthInEra(e, y, Integer(m)));
  NormalizeEraYearAt(y, e, Integer(m), day);
  TcxEraDateTime result = date;
  result.Era = e, result.Year = y, result.Month = Integer(m), result.Day = day;
  if (!DayInRangeInEra(e, y, Integer(m), day)) return EarliestDate();
  return JoinDateTime(result);
}

TDateTime TcxCustomCalendarTable::ShiftYearsOf(TDateTime date, Integer count) {
  return ShiftYears(SplitDateTime(date), count);
}

TDateTime TcxCustomCalendarTable::ShiftYears(const TcxEraDateTime& date, Integer count) {
  if (!DayInRangeInEra(date.Era, date.Year, date.Month, date.Day)) return EarliestDate();
  const Int64 target = Int64(date.Year) + count;
  if (target < -20000 || target > 20000) return EarliestDate();
  Integer y = Integer(target), e = date.Era;
  NormalizeEraYear(y, e);
  if (!YearInRangeInEra(e, y)) return EarliestDate();
  const Integer month = std::min(date.Month, MonthCountInEra(e, y));
  const Integer day = std::min(date.Day, MonthLengthInEra(e, y, month));
  NormalizeEraYearAt(y, e, month, day);
  TcxEraDateTime result = date;
  result.Era = e, result.Year = y, result.Month = month, result.Day = day;
  return JoinDateTime(result);
}

TDateTime TcxCustomCalendarTable::ShiftWeeksOf(TDateTime date, Integer count) {
  return ShiftWeeks(SplitDateTime(date), count);
}

TDateTime TcxCustomCalendarTable::ShiftWeeks(const TcxEraDateTime& date, Integer count) {
  const Int64 days = Int64(count) * 7;
  return ShiftDays(date, Integer(std::clamp<Int64>(days, -4000000, 4000000)));
}

TcxEraDateTime TcxCustomCalendarTable::SplitDate(Integer year, Integer month, Integer day) {
  return SplitDateTimeParts(year, month, day, 0, 0, 0, 0);
}

TcxEraDateTime TcxCustomCalendarTable::SplitDateTimeParts(Integer year, Integer month, Integer day, Integer hours,
                                                          Integer minutes, Integer seconds, Integer milliseconds) {
  TDateTime d = 0, t = 0;
  if (!TryMakeDate(year, month, day, d) || !TryMakeTime(hours, minutes, seconds, milliseconds, t))
    return SplitDateTime(EarliestDate());
  return SplitDateTime(CombineDateTime(d, t));
}

Integer TcxCustomCalendarTable::DayOfYearOf(TDateTime date) { return DayOfYearIn(SplitDateTime(date)); }

Integer TcxCustomCalendarTable::DayOfYearIn(const TcxEraDateTime& date) {
  // Month lengths of the record's own era: an era year may be leap where the default era's
  // year of the same number is not.
  Int64 result = date.Day;
  for (Integer m = 1; m < date.Month && m <= 13; ++m) result += MonthLengthInEra(date.Era, date.Year, m);
  return Integer(std::clamp<Int64>(result, INT_MIN, INT_MAX));
}

Integer TcxCustomCalendarTable::MonthLength(Integer year, Integer month) { return MonthLengthInEra(-1, year, month); }

Integer TcxCustomCalendarTable::YearLength(Integer year) { return YearLengthInEra(-1, year); }

Integer TcxCustomCalendarTable::EraOfYear(Integer year) { return EraOfDate(year, 1, 1); }

Integer TcxCustomCalendarTable::EraOfDate(Integer year, Integer month, Integer day) {
  if (FEras->GetCount() == 0) return -1;
  TDateTime date = 0;
  if (!TryMakeDate(year, month, day, date)) return -1;
  Integer result = -1;
  for (Integer i = 0; i < FEras->GetCount(); ++i)
    if (FEras->GetItem(i)->GetBeginDate() <= date) result = i;
  return result;
}

TDateTime TcxCustomCalendarTable::WeekStartOf(TDateTime date) {
  TcxEraDateTime start;
  WeekStartIn(SplitDateTime(date), start);
  return JoinDateTime(start);
}

TDateTime TcxCustomCalendarTable::WeekStartFrom(TDateTime date, Integer startWeekday) {
  const Integer back = Integer(FloorMod(WeekdayOfAny(date) - startWeekday, 7));
  return GetDatePart(date) - back;
}

void TcxCustomCalendarTable::WeekStartIn(const TcxEraDateTime& date, TcxEraDateTime& result) {
  const Integer back = Integer(FloorMod(WeekdayIn(date) - FirstWeekdayOfCalendar(), 7));
  result = SplitDateTime(ShiftDays(date, -back));
}

void TcxCustomCalendarTable::WeekStartFromRecord(const TcxEraDateTime& date, Integer startWeekday,
                                                 TcxEraDateTime& result) {
  result = SplitDateTime(WeekStartFrom(JoinDateTime(date), startWeekday));
}

Integer TcxCustomCalendarTable::MonthCount(Integer year) { return MonthCountInEra(-1, year); }

Integer TcxCustomCalendarTable::YearOfDateValue(TDateTime date) { return SplitDateTime(date).Year; }

Integer TcxCustomCalendarTable::YearOfDate(const TcxEraDate& date) { return date.Year; }

Integer TcxCustomCalendarTable::YearOfDateTime(const TcxEraDateTime& date) { return date.Year; }

Integer TcxCustomCalendarTable::WeekdayOf(TDateTime date) { return WeekdayOfAny(date); }

Integer TcxCustomCalendarTable::WeekdayIn(const TcxEraDateTime& date) { return WeekdayOf(JoinDateTime(date)); }

Integer TcxCustomCalendarTable::WeekNumberOf(TDateTime date, Integer startWeekday, Integer rule) {
  return WeekNumberIn(SplitDateTime(date), startWeekday, rule);
}

Boolean TcxCustomCalendarTable::DayIsLeap(Integer year, Integer month, Integer day) {
  return DayIsLeapInEra(-1, year, month, day);
}

Boolean TcxCustomCalendarTable::MonthIsLeap(Integer year, Integer month) { return MonthIsLeapInEra(-1, year, month); }

Boolean TcxCustomCalendarTable::YearIsLeap(Integer year) { return YearIsLeapInEra(-1, year); }

Boolean TcxCustomCalendarTable::YearInRange(Integer year) { return YearInRangeInEra(-1, year); }

Boolean TcxCustomCalendarTable::YearInRangeInEra(Integer era, Integer year) {
  return FirstYear() <= year && year <= LastYear();
}

Boolean TcxCustomCalendarTable::MonthInRange(Integer year, Integer month) { return MonthInRangeInEra(-1, year, month); }

Boolean TcxCustomCalendarTable::MonthInRangeInEra(Integer era, Integer year, Integer month) {
  return YearInRangeInEra(era, year) && month >= 1 && Cardinal(month) <= Cardinal(MonthCountInEra(era, year));
}

Boolean TcxCustomCalendarTable::DayInRange(Integer year, Integer month, Integer day) {
  return DayInRangeInEra(-1, year, month, day);
}

Boolean TcxCustomCalendarTable::DayInRangeInEra(Integer era, Integer year, Integer month, Integer day) {
  return MonthInRangeInEra(era, year, month) && day >= 1 &&
         Cardinal(day) <= Cardinal(MonthLengthInEra(era, year, month));
}

Boolean TcxCustomCalendarTable::DateInRange(TDateTime date) {
  const TcxEraDateTime parts = SplitDateTime(date);
  return DayInRangeInEra(parts.Era, parts.Year, parts.Month, parts.Day);
}

TDateTime TcxCustomCalendarTable::JoinDate(const TcxEraDate& date) {
  TcxEraDateTime parts;
  parts.Era = date.Era, parts.Year = date.Year, parts.Month = date.Month, parts.Day = date.Day;
  return JoinDateTime(parts);
}

TDateTime TcxCustomCalendarTable::JoinDateParts(Integer year, Integer month, Integer day) {
  return JoinDateTimeParts(year, month, day, 0, 0, 0, 0);
}

TDateTime TcxCustomCalendarTable::JoinDateTimeParts(Integer year, Integer month, Integer day, Integer hours,
                                                    Integer minutes, Integer seconds, Integer milliseconds) {
  if (hours < 0 || hours > 255 || minutes < 0 || minutes > 255 || seconds < 0 || seconds > 255 || milliseconds < 0 ||
      milliseconds > 65535)
    return EarliestDate();
  TcxEraDateTime parts;
  parts.Era = -1, parts.Year = year, parts.Month = month, parts.Day = day;
  parts.Hours = Byte(hours), parts.Minutes = Byte(minutes), parts.Seconds = Byte(seconds);
  parts.Milliseconds = Word(milliseconds);
  return JoinDateTime(parts);
}

Integer TcxCustomCalendarTable::ParseDayText(const AnsiString& text) { return StrToInt(text); }

Integer TcxCustomCalendarTable::ParseMonthText(Integer year, const AnsiString& text) {
  for (Integer m = 0; m < 12; ++m)
    if (AnsiCompareText(text, FormatSettings.LongMonthNames[m]) == 0) return m + 1;
  for (Integer m = 0; m < 12; ++m)
    if (AnsiCompareText(text, FormatSettings.ShortMonthNames[m]) == 0) return m + 1;
  return StrToInt(text);
}

Integer TcxCustomCalendarTable::ParseYearText(const AnsiString& text) {
  const Integer value = StrToInt(text);
  if (text.size() > 2) return value;
  AnsiString unusedText;
  Integer limit = 0;
  BoundGetCalendarInfo(CalendarIdent(), CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, unusedText, limit);
  if (limit <= 0) {
    // Without the platform's limit, two-digit years follow the century window of the format
    // settings, counted in this calendar's years; era calendars keep them as written.
    const Integer current = YearOfDateValue(Date());
    const Integer window = FormatSettings.TwoDigitYearCenturyWindow;
    if (current < 100) limit = 99;
    else limit = window > 0 ? current - window + 99 : current / 100 * 100 + 99;
  }
  Integer result = value + limit / 100 * 100;
  if (limit % 100 < value) result -= 100;
  return result;
}

Integer TcxCustomCalendarTable::LunarWeekNumberIn(const TcxEraDateTime& date, Integer rule) {
  if (rule == 0) rule = LocaleFirstWeekRule();
  auto firstWeekStart = [&](Integer year) {
    TcxEraDateTime first;
    first.Year = year, first.Month = 1, first.Day = 1;
    TDateTime s = WeekStartOf(JoinDateTime(first));
    if (rule == 2 && SplitDateTime(s).Year < year) s += 7;
    if (rule == 3 && SplitDateTime(s + 3).Year < year) s += 7;
    return s;
  };
  const TDateTime day = GetDatePart(JoinDateTime(date));
  TDateTime s = firstWeekStart(date.Year);
  // A day before week 1 belongs to the last week of the year before.
  if (day < s && date.Year > INT_MIN) s = firstWeekStart(date.Year - 1);
  const Integer week = std::max<Integer>(1, Integer((day - s) / 7) + 1);
  if (date.Month == MonthCountInEra(date.Era, date.Year)) {
    TcxEraDateTime start;
    WeekStartIn(date, start);
    const TDateTime t = GetDatePart(JoinDateTime(start));
    if (rule == 1 && SplitDateTime(t + 6).Month == 1) return 1;
    if (rule == 3 && SplitDateTime(t + 3).Month == 1) return 1;
  }
  return week;
}

// ---- Gregorian -------------------------------------------------------------------------------

TcxGregorianCalendarTable::TcxGregorianCalendarTable() : FDefaultEra(new TcxEra(-1, 9999, 1, 0, NullDate)) {}

TcxGregorianCalendarTable::TcxGregorianCalendarTable(Integer calendarIdent) : TcxGregorianCalendarTable() {
  FCalendarIdent = calendarIdent;
}

TcxGregorianCalendarTable::~TcxGregorianCalendarTable() { FDefaultEra->Free(); }

TcxEraDateTime TcxGregorianCalendarTable::SplitDateTime(TDateTime date) {
  ClampDate(date);
  TcxEraDateTime result;
  Word y, m, d, h, n, s, ms;
  DecodeDate(date, y, m, d);
  DecodeTime(date, h, n, s, ms);
  result.Era = EraOfDate(y, m, d);
  TcxEra* era = EraAt(result.Era);
  result.Year = y - (era ? era->GetYearOffset() : 0);
  result.Month = m, result.Day = d;
  result.Hours = Byte(h), result.Minutes = Byte(n), result.Seconds = Byte(s), result.Milliseconds = ms;
  return result;
}

TDateTime TcxGregorianCalendarTable::JoinDateTime(const TcxEraDateTime& date) {
  if (!DayInRangeInEra(date.Era, date.Year, date.Month, date.Day)) return EarliestDate();
  Integer year = date.Year;
  AddEraYearOffset(year, date.Era);
  TDateTime d = 0, t = 0;
  if (!TryMakeDate(year, date.Month, date.Day, d) ||
      !TryMakeTime(date.Hours, date.Minutes, date.Seconds, date.Milliseconds, t))
    return EarliestDate();
  TDateTime result = CombineDateTime(d, t);
  ClampDate(result);
  return result;
}

Integer TcxGregorianCalendarTable::FirstWeekdayOfCalendar() {
  switch (FCalendarIdent) {
    case CAL_GREGORIAN_ME_FRENCH:
    case CAL_GREGORIAN_XLIT_ENGLISH:
    case CAL_GREGORIAN_XLIT_FRENCH: return 1;
    case CAL_GREGORIAN_ARABIC: return 6;
    default: return 0;
  }
}

Boolean TcxGregorianCalendarTable::YearIsLeapInEra(Integer era, Integer year) {
  AddEraYearOffset(year, era);
  return IsLeapYearNumber(year);
}

Integer TcxGregorianCalendarTable::MonthLengthInEra(Integer era, Integer year, Integer month) {
  static constexpr Integer kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && YearIsLeapInEra(era, year) ? 29 : kDays[month - 1];
}

Integer TcxGregorianCalendarTable::YearLengthInEra(Integer era, Integer year) {
  return YearIsLeapInEra(era, year) ? 366 : 365;
}

Boolean TcxGregorianCalendarTable::MonthIsLeapInEra(Integer era, Integer year, Integer month) {
  return month == 2 && YearIsLeapInEra(era, year);
}

Boolean TcxGregorianCalendarTable::DayIsLeapInEra(Integer era, Integer year, Integer month, Integer day) {
  return MonthIsLeapInEra(era, year, month) && day == 29;
}

Integer TcxGregorianCalendarTable::WholeWeeksInYear(Integer year) {
  TcxEraDateTime first;
  first.Year = year, first.Month = 1, first.Day = 1;
  Integer w = WeekdayIn(first) - FirstWeekdayOfCalendar();
  if (w < 0) w += 7;
  return (YearIsLeap(year) && w > 4) || w > 5 ? 53 : 52;
}

Integer TcxGregorianCalendarTable::WeekNumberIn(const TcxEraDateTime& date, Integer startWeekday, Integer rule) {
  return WeekNumberOfDate(startWeekday, rule, JoinDateTime(date));
}

// ---- Japanese and the one-era tables ------------------------------------------------------

TcxJapaneseCalendarTable::TcxJapaneseCalendarTable() {
  struct TEraRow {
    Integer Era, MaxYear, MinYear, Offset;
    Word Year, Month, Day;
  };
  static constexpr TEraRow kEras[] = {{1, 45, 1, 1867, 1868, 9, 8},
                                      {2, 15, 1, 1911, 1912, 7, 30},
                                      {3, 64, 1, 1925, 1926, 12, 25},
                                      {4, 8011, 1, 1988, 1989, 1, 8}};
  for (const TEraRow& row : kEras)
    GetEras()->Add(new TcxEra(row.Era, row.MaxYear, row.MinYear, row.Offset, EncodeDate(row.Year, row.Month, row.Day)));
}

TDateTime TcxJapaneseCalendarTable::LatestDate() { return EncodeDate(9999, 12, 31); }

void TcxJapaneseCalendarTable::SetSingleEra(TcxEra* era) {
  GetEras()->Clear();
  GetEras()->Add(era);
}

TcxTaiwanCalendarTable::TcxTaiwanCalendarTable() { SetSingleEra(new TcxEra(1, 8088, 1, 1911, EncodeDate(1912, 1, 1))); }

TcxKoreanCalendarTable::TcxKoreanCalendarTable() {
  SetSingleEra(new TcxEra(0, 12332, 2334, -2333, EncodeDate(1, 1, 1)));
}

TcxThaiCalendarTable::TcxThaiCalendarTable() { SetSingleEra(new TcxEra(0, 10542, 544, -543, EncodeDate(1, 1, 1))); }

// ---- Hijri -----------------------------------------------------------------------------------

namespace {

// Years of the 30-year cycle that have 355 days.
bool HijriLeapInCycle(Int64 yearInCycle) {
  switch (yearInCycle) {
    case 2: case 5: case 7: case 10: case 13: case 15: case 18: case 21: case 24: case 26: case 29: return true;
    default: return false;
  }
}

// Leap years among years 1..count (count may be 0 or negative: then minus those of count+1..0).
Int64 HijriLeapYearsUpTo(Int64 count) {
  const Int64 cycles = FloorDiv(count, 30);
  Int64 result = cycles * 11;
  for (Int64 i = 1; i <= FloorMod(count, 30); ++i) result += HijriLeapInCycle(i) ? 1 : 0;
  return result;
}

// The day number of 1 Muharram of the year, 1 Muharram of year 1 being day 1.
Int64 HijriYearStart(Int64 year) { return 1 + 354 * (year - 1) + HijriLeapYearsUpTo(year - 1); }

// The time-stamp day number of the day before 1 Muharram 1.
constexpr Int64 kHijriEpoch = 227013;

}  // namespace

TcxHijriCalendarTable::TcxHijriCalendarTable() : FDefaultEra(new TcxEra(-1, 9999, 1, 0, NullDate)) {}

TcxHijriCalendarTable::~TcxHijriCalendarTable() { FDefaultEra->Free(); }

TDateTime TcxHijriCalendarTable::LatestDate() { return EncodeDate(9666, 4, 3); }

TDateTime TcxHijriCalendarTable::EarliestDate() { return EncodeDate(622, 7, 16); }

Boolean TcxHijriCalendarTable::YearIsLeapInEra(Integer era, Integer year) { return HijriLeapInCycle(FloorMod(year, 30)); }

Integer TcxHijriCalendarTable::MonthLengthInEra(Integer era, Integer year, Integer month) {
  if (month < 1 || month > 12) return 0;
  if (month == 12 && YearIsLeapInEra(era, year)) return 30;
  return month % 2 == 1 ? 30 : 29;
}

Integer TcxHijriCalendarTable::YearLengthInEra(Integer era, Integer year) {
  return YearIsLeapInEra(era, year) ? 355 : 354;
}

Boolean TcxHijriCalendarTable::MonthIsLeapInEra(Integer era, Integer year, Integer month) {
  return month == 12 && YearIsLeapInEra(era, year);
}

Boolean TcxHijriCalendarTable::DayIsLeapInEra(Integer era, Integer year, Integer month, Integer day) {
  return MonthIsLeap(year, month) && day == 30;
}

TDateTime TcxHijriCalendarTable::JoinDateTime(const TcxEraDateTime& date) {
  // Days counted with floored divisions, so that the days before 1 Muharram 1 (year 0, which the
  // range begins with) join as correctly as the others.
  const Int64 day = kHijriEpoch + HijriYearStart(date.Year) - 1 + DayOfYearIn(date);
  TDateTime result = TDateTime(day - DateDelta);
  TDateTime time = 0;
  if (TryMakeTime(date.Hours, date.Minutes, date.Seconds, date.Milliseconds, time)) result = CombineDateTime(result, time);
  ClampDate(result);
  return result;
}

TcxEraDateTime TcxHijriCalendarTable::SplitDateTime(TDateTime date) {
  ClampDate(date);
  TcxEraDateTime result;
  Word h, n, s, ms;
  DecodeTime(date, h, n, s, ms);
  result.Hours = Byte(h), result.Minutes = Byte(n), result.Seconds = Byte(s), result.Milliseconds = ms;
  const Int64 dayNumber = DayNumberOf(date) - kHijriEpoch;
  // Estimate the year from the mean year length, then settle it on the year starts.
  Int64 year = FloorDiv(30 * dayNumber, 10631) + 1;
  while (HijriYearStart(year) > dayNumber) --year;
  while (HijriYearStart(year + 1) <= dayNumber) ++year;
  Integer day = Integer(dayNumber - HijriYearStart(year) + 1);
  Integer month = 1;
  while (month < 12 && day > MonthLengthInEra(-1, Integer(year), month)) {
    day -= MonthLengthInEra(-1, Integer(year), month);
    ++month;
  }
  result.Year = Integer(year), result.Month = month, result.Day = day;
  return result;
}

Integer TcxHijriCalendarTable::WeekNumberIn(const TcxEraDateTime& date, Integer startWeekday, Integer rule) {
  return LunarWeekNumberIn(date, rule);
}

Integer TcxHijriCalendarTable::ParseMonthText(Integer year, const AnsiString& text) {
  for (Integer m = 1; m <= 12; ++m) {
    AnsiString name;
    MonthNameInCalendar(year, m, this, name);
    if (!name.empty() && AnsiCompareText(name, text) == 0) return m;
  }
  return inherited::ParseMonthText(year, text);
}

// ---- Hebrew ----------------------------------------------------------------------------------

namespace {

constexpr Integer kHebrewFirstYear = 5343;
constexpr Integer kHebrewLastYear = 5999;

// Month lengths by year kind (rows 1-3 common, 4-6 leap; deficient, regular, complete).
constexpr Integer kHebrewMonthLengths[7][14] = {
    {0},
    {0, 30, 29, 29, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {0, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {0, 30, 30, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {0, 30, 29, 29, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
    {0, 30, 29, 30, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
    {0, 30, 30, 30, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
};

// Days from the epoch of the fixed calendar to the molad-based new year, with the postponements
// that keep Rosh Hashanah off Sunday, Wednesday and Friday.
Int64 HebrewElapsedDays(Int64 year) {
  const Int64 monthsElapsed = FloorDiv(235 * year - 234, 19);
  const Int64 partsElapsed = 12084 + 13753 * monthsElapsed;
  const Int64 days = 29 * monthsElapsed + FloorDiv(partsElapsed, 25920);
  return FloorMod(3 * (days + 1), 7) < 3 ? days + 1 : days;
}

// The further postponement that keeps every year 353 to 355 or 383 to 385 days long.
Int64 HebrewYearLengthCorrection(Int64 year) {
  const Int64 ny0 = HebrewElapsedDays(year - 1), ny1 = HebrewElapsedDays(year), ny2 = HebrewElapsedDays(year + 1);
  if (ny2 - ny1 == 356) return 2;
  if (ny1 - ny0 == 382) return 1;
  return 0;
}

// The time-stamp day number (1 January 0001 is 1) of 1 Tishri of the year.
Int64 HebrewNewYear(Int64 year) { return -1373427 + HebrewElapsedDays(year) + HebrewYearLengthCorrection(year); }

bool HebrewLeapByCycle(Int64 year) { return FloorMod(7 * year + 1, 19) < 7; }

Int64 GregorianDayNumber(Integer year, Integer month, Integer day) {
  return DateDelta + Int64(EncodeDate(Word(year), Word(month), Word(day)));
}

struct THebrewYearInfo {
  Integer Code = 0;          // 1-3 common, 4-6 leap: deficient, regular, complete
  Integer JanuaryMonth = 0;  // the Hebrew date of 1 January of Gregorian year (year - 3760)
  Integer JanuaryDay = 0;
};

// The year table for 5343..5999, computed once from the calendar's rules.
const std::array<THebrewYearInfo, kHebrewLastYear - kHebrewFirstYear + 1>& HebrewYearTable() {
  static const auto table = [] {
    std::array<THebrewYearInfo, kHebrewLastYear - kHebrewFirstYear + 1> result{};
    for (Integer year = kHebrewFirstYear; year <= kHebrewLastYear; ++year) {
      THebrewYearInfo& info = result[year - kHebrewFirstYear];
      const Int64 length = HebrewNewYear(year + 1) - HebrewNewYear(year);
      const bool leap = HebrewLeapByCycle(year);
      info.Code = Integer(length % 10 - 2) + (leap ? 3 : 0);  // 353/383 1, 354/384 2, 355/385 3
      Int64 dayOfYear = GregorianDayNumber(year - 3760, 1, 1) - HebrewNewYear(year) + 1;
      Integer month = 1;
      while (dayOfYear > kHebrewMonthLengths[info.Code][month]) dayOfYear -= kHebrewMonthLengths[info.Code][month++];
      info.JanuaryMonth = month;
      info.JanuaryDay = Integer(dayOfYear);
    }
    return result;
  }();
  return table;
}

}  // namespace

TcxHebrewCalendarTable::TcxHebrewCalendarTable() : FDefaultEra(new TcxEra(-1, 9999, 1, 0, NullDate)) {}

TcxHebrewCalendarTable::~TcxHebrewCalendarTable() { FDefaultEra->Free(); }

TDateTime TcxHebrewCalendarTable::LatestDate() { return EncodeDate(2239, 9, 29) + EncodeTime(23, 59, 59, 999); }

TDateTime TcxHebrewCalendarTable::EarliestDate() { return EncodeDate(1583, 1, 1); }

Integer TcxHebrewCalendarTable::YearCode(Integer year) {
  if (year < kHebrewFirstYear || year > kHebrewLastYear) return 0;
  return HebrewYearTable()[year - kHebrewFirstYear].Code;
}

Integer TcxHebrewCalendarTable::YearKind(Integer year) {
  const Integer code = YearCode(year);
  return code > 3 ? code - 3 : code;
}

void TcxHebrewCalendarTable::JanuaryDate(Integer gregorianYear, Integer& month, Integer& day) {
  const Integer year = gregorianYear + 3760;
  month = day = 0;
  if (year < kHebrewFirstYear || year > kHebrewLastYear) return;
  const THebrewYearInfo& info = HebrewYearTable()[year - kHebrewFirstYear];
  month = info.JanuaryMonth;
  day = info.JanuaryDay;
}

Integer TcxHebrewCalendarTable::MonthLengthRow(Integer year) { return YearCode(year); }

Boolean TcxHebrewCalendarTable::YearIsLeapInEra(Integer era, Integer year) { return YearCode(year) > 3; }

Integer TcxHebrewCalendarTable::MonthCountInEra(Integer era, Integer year) { return YearIsLeapInEra(era, year) ? 13 : 12; }

Integer TcxHebrewCalendarTable::YearLengthInEra(Integer era, Integer year) {
  const Integer kind = YearKind(year);
  if (kind == 0) return 0;
  return 352 + kind + (YearIsLeapInEra(era, year) ? 30 : 0);
}

Integer TcxHebrewCalendarTable::WholeWeeksInYear(Integer year) { return YearLength(year) / 7; }

Integer TcxHebrewCalendarTable::MonthLengthInEra(Integer era, Integer year, Integer month) {
  if (!MonthInRangeInEra(era, year, month)) return 0;
  return kHebrewMonthLengths[MonthLengthRow(year)][month];
}

Boolean TcxHebrewCalendarTable::MonthIsLeapInEra(Integer era, Integer year, Integer month) {
  return MonthInRangeInEra(era, year, month) && YearIsLeapInEra(era, year) && month == 7;
}

Boolean TcxHebrewCalendarTable::DayIsLeapInEra(Integer era, Integer year, Integer month, Integer day) {
  return DayInRangeInEra(era, year, month, day) && MonthIsLeapInEra(era, year, month);
}

Integer TcxHebrewCalendarTable::DaysFromJanuary(Integer row, Integer month, Integer day, Integer januaryMonth,
                                                Integer januaryDay) {
  if (row < 1 || row > 6 || month < 1 || month > 13 || januaryMonth < 1 || januaryMonth > 13) return 0;
  const auto& lengths = kHebrewMonthLengths[row];
  if (month == januaryMonth) return day - januaryDay;
  Integer result = 0;
  if (month > januaryMonth) {
    result = lengths[januaryMonth] - januaryDay;
    for (Integer m = januaryMonth + 1; m < month; ++m) result += lengths[m];
    return result + day;
  }
  result = lengths[month] - day;
  for (Integer m = month + 1; m < januaryMonth; ++m) result += lengths[m];
  return -(result + januaryDay);
}

TDateTime TcxHebrewCalendarTable::JoinUnclamped(const TcxEraDateTime& date) {
  const Integer gregorianYear = date.Year - 3760;
  Integer januaryMonth, januaryDay;
  JanuaryDate(gregorianYear, januaryMonth, januaryDay);
  Int64 day = GregorianDayNumber(gregorianYear, 1, 1);
  if (date.Month != januaryMonth || date.Day != januaryDay)
    day += DaysFromJanuary(MonthLengthRow(date.Year), date.Month, date.Day, januaryMonth, januaryDay);
  TDateTime time = 0;
  TryMakeTime(date.Hours, date.Minutes, date.Seconds, date.Milliseconds, time);
  return CombineDateTime(TDateTime(day - DateDelta), time);
}

TDateTime TcxHebrewCalendarTable::JoinDateTime(const TcxEraDateTime& date) {
  TDateTime time = 0;
  if (!DayInRangeInEra(date.Era, date.Year, date.Month, date.Day) ||
      !TryMakeTime(date.Hours, date.Minutes, date.Seconds, date.Milliseconds, time))
    return EarliestDate();
  TDateTime result = JoinUnclamped(date);
  ClampDate(result);
  return result;
}

TcxEraDateTime TcxHebrewCalendarTable::SplitDateTime(TDateTime date) {
  ClampDate(date);
  TcxEraDateTime result;
  Word y, m, d, h, n, s, ms;
  DecodeDate(date, y, m, d);
  DecodeTime(date, h, n, s, ms);
  result.Hours = Byte(h), result.Minutes = Byte(n), result.Seconds = Byte(s), result.Milliseconds = ms;
  Integer year = y + 3760, month = 1;
  TcxEraDateTime tishri;
  tishri.Year = year, tishri.Month = 1, tishri.Day = 1;
  Int64 i = Int64(GetDatePart(date) - GetDatePart(JoinUnclamped(tishri))) + 1;
  // Every day of a Gregorian year lies on or after 1 Tishri of that Hebrew year: walk forward.
  while (i > MonthLength(year, month)) {
    const Integer length = MonthLength(year, month);
    if (length <= 0) break;
    i -= length;
    if (++month > MonthCount(year)) {
      month = 1;
      ++year;
    }
  }
  result.Year = year, result.Month = month, result.Day = Integer(i);
  return result;
}

Integer TcxHebrewCalendarTable::WeekNumberIn(const TcxEraDateTime& date, Integer startWeekday, Integer rule) {
  return LunarWeekNumberIn(date, rule);
}

Integer TcxHebrewCalendarTable::HebrewNumeralValue(const AnsiString& text) {
  // Letter values by position from alef (k = 1), final forms counted with their letters.
  static constexpr Integer kValues[28] = {0, 1,  2,  3,  4,  5,  6,  7,  8,  9,   10,  0,   20,  30,
                                          40, 40, 50, 50, 60, 70, 0,  80, 80, 90, 100, 200, 300, 400};
  Integer result = 0;
  for (const char c : text) {
    const Integer b = static_cast<unsigned char>(c);
    if (b < 224) continue;
    const Integer k = b - 223;
    if (k < 28) result += kValues[k];
  }
  return result;
}

Integer TcxHebrewCalendarTable::ParseDayText(const AnsiString& text) {
  const Integer value = HebrewNumeralValue(text);
  return value != 0 ? value : inherited::ParseDayText(text);
}

Integer TcxHebrewCalendarTable::ParseMonthText(Integer year, const AnsiString& text) {
  const Integer value = HebrewNumeralValue(text);
  if (MonthInRange(year, value)) return value;
  for (Integer m = 1; m <= 13; ++m) {
    AnsiString name;
    MonthNameInCalendar(year, m, this, name);
    if (!name.empty() && AnsiCompareText(name, text) == 0) return m;
  }
  return inherited::ParseMonthText(year, text);
}

Integer TcxHebrewCalendarTable::ParseYearText(const AnsiString& text) {
  const Integer value = HebrewNumeralValue(text);
  return value != 0 ? value + 5000 : inherited::ParseYearText(text);
}
