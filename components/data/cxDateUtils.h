// Date routines shared by the date editors, the calendar and the date filters: the value that
// stands for no date, date parts and boundaries, week numbers, month and weekday names in the
// locale and in other calendars, the texts of dates in editors and the parser of what a user
// typed (smart words such as "today" or "eom" with a day offset, or the locale's date form).
//
// Calendar tables convert between the platform's date numbers and the year, month and day of a
// calendar: Gregorian and its variants, Japanese, Taiwan, Korean and Thai (Gregorian arithmetic
// with shifted years and eras), Hijri (the tabular Islamic calendar) and Hebrew (5343 to 5999).
// Invalid calendar input never raises: it gives the calendar's earliest date, and results are
// clamped to the calendar's supported range.
#pragma once

#include "components/foundation/cxClasses.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/Persistent.h"

class TcxCustomCalendarTable;

// ==== Constants ==============================================================================

// No date, for every routine here; editors show it as empty text.
inline constexpr TDateTime NullDate = -700000;
// 1 January of year 100: the earliest date an editor accepts.
inline constexpr TDateTime MinEditDate = -657434;
// 31 December 9999 23:59:59.999.
inline constexpr TDateTime MaxEditDateTime = 2958465.99999;

// The editors' names for the same values (date editor, calendar control).
inline constexpr TDateTime NoDateMarker = NullDate;
inline TDateTime GetMinSupportedDate() { return MinEditDate; }

// Windows calendar ids of the locale calendar types.
inline constexpr Integer CAL_GREGORIAN = 1;
inline constexpr Integer CAL_GREGORIAN_US = 2;
inline constexpr Integer CAL_JAPAN = 3;
inline constexpr Integer CAL_TAIWAN = 4;
inline constexpr Integer CAL_KOREA = 5;
inline constexpr Integer CAL_HIJRI = 6;
inline constexpr Integer CAL_THAI = 7;
inline constexpr Integer CAL_HEBREW = 8;
inline constexpr Integer CAL_GREGORIAN_ME_FRENCH = 9;
inline constexpr Integer CAL_GREGORIAN_ARABIC = 10;
inline constexpr Integer CAL_GREGORIAN_XLIT_ENGLISH = 11;
inline constexpr Integer CAL_GREGORIAN_XLIT_FRENCH = 12;

// Calendar information types.
inline constexpr Cardinal CAL_RETURN_NUMBER = 0x20000000;
inline constexpr Cardinal CAL_ITWODIGITYEARMAX = 0x00000030;
inline constexpr Cardinal CAL_SYEARMONTH = 0x0000002F;

// ==== Smart date input =======================================================================

// Consulted when no smart word matches; unset in this system.
using TcxSmartDateHook = Boolean (*)(const AnsiString& text, TDateTime& date);
extern TcxSmartDateHook SmartDateHook;

// The 20 smart words, by index: 0 today, 1 yesterday, 2 tomorrow, 3-9 Sunday .. Saturday,
// 10-16 first .. seventh, 17 bom, 18 eom, 19 now; read from the string repository each time.
inline constexpr Integer kSmartWordCount = 20;
void LoadSmartWords(AnsiString (&words)[kSmartWordCount]);
// The index of the word that the trimmed text starts with (longer words first), or -1.
Integer MatchSmartWord(const AnsiString& text, Integer& wordLength);
// A smart word with an optional signed day offset ("tomorrow+2", "today - 1"); otherwise
// SmartDateHook when set.
Boolean TrySmartTextToDate(const AnsiString& text, TDateTime& date);
// Appends the smart words to a regular-expression mask: "(" mask ")|(" words ")" and an
// optional signed offset of one to four digits; "now" only with `withNow`.
void AppendSmartWordsToMask(AnsiString& mask, Boolean withNow);
// Appends the word to the mask: runs of other characters in single quotes, quotes as \'.
void QuoteForRegExpr(AnsiString& mask, const AnsiString& word);

// ==== Date parts and boundaries ==============================================================

// The day that contains the moment, and its time of day as a fraction.
TDateTime GetDatePart(TDateTime date);
TDateTime GetTimePart(TDateTime date);
// year * 12 + month - 12.
Integer GetMonthIndex(TDateTime date);
enum TcxDateElement : Byte { deYear, deMonth, deDay };
// That element of the date, from the calendar when one is given, else the Gregorian one.
Integer DecodeDatePart(TcxDateElement element, TcxCustomCalendarTable* calendar, TDateTime date);
Boolean IsLeapYearNumber(Integer year);
Integer DaysInMonth(Integer year, Integer month);
// 0..6, counted from the format controller's first day of the week.
Integer GetWeekdayIndex(TDateTime date);
TDateTime GetFirstDayOfMonth(TDateTime date);
TDateTime GetFirstDayOfYear(TDateTime date);
// The last day, at 23:59:59.999 unless `dateOnly`.
TDateTime GetLastDayOfMonth(Boolean dateOnly, TDateTime date);
TDateTime GetLastDayOfYear(Boolean dateOnly, TDateTime date);
// The locale's first day of the week, 0 Sunday .. 6 Saturday.
Integer LocaleWeekStartDay();
// The latest day on or before the date whose weekday (0 Sunday .. 6) is `firstWeekday`.
TDateTime WeekStartOnOrBefore(TDateTime date, Integer firstWeekday);
// Rules: 0 the locale's, 1 the week of 1 January, 2 the first full week, 3 the first week with
// four days. Days before the first week of their year belong to the last week of the year before.
Integer WeekNumberOfDate(Integer firstWeekday, Integer rule, TDateTime date);
// The null date, or a date from 1 January 100 to 31 December 9999 23:59:59.999.
Boolean IsValidDate(TDateTime date);

// ==== Locale access ==========================================================================

AnsiString LocaleInfoText(LCID locale, LCTYPE type);
// The thread locale's calendar type (a Windows calendar id).
Integer LocaleCalendarType();
// A new table for the calendar type (the Gregorian table for types it does not know); the
// caller frees it.
TcxCustomCalendarTable* CreateCalendarTable(Integer calendarType);
TcxCustomCalendarTable* CreateLocaleCalendarTable();
// Whether the table's (nil: the locale's) calendar is Gregorian (ids 1, 2 and 9-12).
Boolean IsGregorianCalendarTable(TcxCustomCalendarTable* calendar);
inline Boolean IsGregorianCalendar(TcxCustomCalendarTable* calendar) {  // editors' name
  return IsGregorianCalendarTable(calendar);
}
// Calendar information of the platform; empty when the platform has none (as here).
Boolean BoundGetCalendarInfo(Integer calendar, Cardinal type, AnsiString& text, Integer& value);
// The date and time settings of the thread locale.
TFormatSettings LocaleFormatSettings();

// ==== Names and captions =====================================================================

// A nil calendar is the Gregorian one.
void GetLongMonthName(TcxCustomCalendarTable* calendar, AnsiString& text, TDateTime date);
// Empty for a month that the calendar does not have.
void MonthNameInCalendar(Integer year, Integer month, TcxCustomCalendarTable* calendar, AnsiString& text);
void GetYearText(TcxCustomCalendarTable* calendar, AnsiString& text, TDateTime date);
void GetMonthYearCaption(TcxCustomCalendarTable* calendar, AnsiString& text, TDateTime date);
// Day 1 Monday .. 7 Sunday; one character of the locale's short day name (empty outside 1-7).
void DayOfWeekCaption(Integer day, Byte charset, AnsiString& text);
inline AnsiString GetWeekdayShortName(Integer day, Byte charset) {  // calendar control
  AnsiString text;
  DayOfWeekCaption(day, charset, text);
  return text;
}
void DayNumberText(AnsiString& text, TDateTime date);
inline AnsiString GetDayText(TDateTime date) {  // calendar control
  AnsiString text;
  DayNumberText(text, date);
  return text;
}
void CalendarDayText(Integer day, TcxCustomCalendarTable* calendar, AnsiString& text);
// The date in a locale picture ("d", "MMMM", "yyyy" ...; the locale's short or long date by
// `flags` when empty); false and empty text when it cannot be formatted.
Boolean FormatDateWithLocale(AnsiString& text, Cardinal flags, const AnsiString& pattern, TDateTime date);
// The date in a pattern of d, m, y runs ("e" runs skipped); the characters between elements are
// written before the next element (or `fixedSeparator` instead, when it is not 0).
void FormatDateByPattern(const AnsiString& pattern, char fixedSeparator, AnsiString& text, TDateTime date);
// The locale's short date, and a blank and the time when the time part is above 0.
void CalendarDateTimeText(AnsiString& text, TDateTime date);
inline AnsiString DateTimeToDisplayText(TDateTime date) {  // calendar control, date editor
  AnsiString text;
  CalendarDateTimeText(text, date);
  return text;
}

// ==== Edit text ==============================================================================

void DateTimeToEditText(Boolean useDisplayFormat, Boolean withTime, Boolean fourDigitYear, AnsiString& text,
                        TDateTime date);
void DateTimeToEditTextWith(Boolean fourDigitYear, Boolean platformFormats, AnsiString& text, TDateTime date);
AnsiString EditDateFormatPattern(Boolean fourDigitYear, Boolean platformFormats, TDateTime date);
// What a user typed, as a date: smart words, else the locale's date form (or the platform's with
// `platformFormats`); NullDate for an empty, unreadable or out-of-range text. Never raises.
TDateTime ParseEditDateText(const AnsiString& text, Boolean platformFormats);
// ParseEditDateText with the format controller's platform-formats flag; false for NullDate.
Boolean TryEditTextToDate(const AnsiString& text, TDateTime& date);
inline Boolean TryParseDateText(const AnsiString& text, TDateTime& date) {  // date editor
  return TryEditTextToDate(text, date);
}
inline Boolean TryTextToDateTime(const AnsiString& text, TDateTime& date) {  // date editor, calendar
  return TryEditTextToDate(text, date);
}
// A date or date-time text without smart words and without the range check, through the
// locale's reading (`localeParser`) or the platform's; false and NullDate on failure.
Boolean TryTextToDateTime(const AnsiString& text, Boolean localeParser, TDateTime& date);
// Removes the literal words of the locale's formats and extra blanks; with `useLocaleSeparators`
// the date separators become blanks.
void CleanDateText(AnsiString& text, Boolean useLocaleSeparators);
// A text in the locale's calendar (types 3-8), else TryEditTextToDate's Gregorian reading.
TDateTime ParseDateInCalendar(const AnsiString& text);
struct TcxEraDateTime;
// Reads day, month and year in the order of the short date format, the year, month and day texts
// through the calendar, and an optional time after them. Raises EConvertError for a field that
// is no number.
Boolean ScanCalendarDate(const AnsiString& text, const TFormatSettings& settings, TcxCustomCalendarTable* calendar,
                         TcxEraDateTime& date);
// 0 month-day-year, 1 day-month-year, 2 year-month-day.
Integer DateOrderOf(const AnsiString& shortDateFormat);

// ==== Calendar tables ========================================================================

struct TcxEraDate {
  Integer Era = -1;  // -1: the default era
  Integer Year = 0;
  Integer Month = 0;
  Integer Day = 0;
  friend bool operator==(const TcxEraDate&, const TcxEraDate&) = default;
};

struct TcxEraDateTime {
  Integer Era = -1;
  Integer Year = 0;
  Integer Month = 0;
  Integer Day = 0;
  Byte Hours = 0;
  Byte Minutes = 0;
  Byte Seconds = 0;
  Word Milliseconds = 0;
  TcxEraDate Date() const { return {Era, Year, Month, Day}; }
  friend bool operator==(const TcxEraDateTime&, const TcxEraDateTime&) = default;
};
using TcxCalendarDateParts = TcxEraDateTime;  // the editors' name

// One era of a calendar: Gregorian year = era year + YearOffset.
class TcxEra : public TPersistent {
  ORV_CLASS(TcxEra, TPersistent)
 public:
  TcxEra(Integer era, Integer maxEraYear, Integer minEraYear, Integer yearOffset, TDateTime beginDate)
      : FEra(era), FMaxEraYear(maxEraYear), FMinEraYear(minEraYear), FBeginDate(beginDate), FYearOffset(yearOffset) {}

  Integer GetEra() const { return FEra; }
  Integer GetMaxEraYear() const { return FMaxEraYear; }
  Integer GetMinEraYear() const { return FMinEraYear; }
  TDateTime GetBeginDate() const { return FBeginDate; }
  Integer GetYearOffset() const { return FYearOffset; }
  void Assign(TPersistent* source) override;

 private:
  Integer FEra;
  Integer FMaxEraYear;
  Integer FMinEraYear;
  TDateTime FBeginDate;
  Integer FYearOffset;
};

// The eras of a table in chronological order; owns them.
class TcxEras : public TcxObjectList {
  ORV_CLASS(TcxEras, TcxObjectList)
 public:
  TcxEras() : TcxObjectList(true) {}
  ~TcxEras() override { Clear(); }
  TcxEra* GetItem(Integer index) const { return static_cast<TcxEra*>(Get(index)); }
};

// The calendar interface. Operations without an era argument work in the default era (-1).
class TcxCustomCalendarTable : public TObject {
  ORV_CLASS(TcxCustomCalendarTable, TObject)
 public:
  TcxCustomCalendarTable();
  ~TcxCustomCalendarTable() override;

  TcxEras* GetEras() const { return FEras; }

  virtual void NormalizeEraYear(Integer& year, Integer& era);
  virtual void NormalizeEraYearAt(Integer& year, Integer& era, Integer month, Integer day);
  // 1 solar, 2 lunar, 3 lunisolar.
  virtual Integer AlgorithmKind() = 0;
  virtual Integer CalendarIdent() = 0;
  virtual TcxEra* BaseEra() = 0;
  virtual TDateTime LatestDate() = 0;
  virtual TDateTime EarliestDate() = 0;
  virtual void ClampDate(TDateTime& date);
  virtual Integer LastYear() = 0;
  virtual Integer FirstYear() = 0;
  virtual TDateTime ShiftDays(const TcxEraDateTime& date, Integer count);
  virtual TDateTime ShiftMonthsOf(TDateTime date, Integer count);
  virtual TDateTime ShiftMonths(const TcxEraDateTime& date, Integer count);
  virtual TDateTime ShiftYearsOf(TDateTime date, Integer count);
  virtual TDateTime ShiftYears(const TcxEraDateTime& date, Integer count);
  virtual TDateTime ShiftWeeksOf(TDateTime date, Integer count);
  virtual TDateTime ShiftWeeks(const TcxEraDateTime& date, Integer count);
  virtual TcxEraDateTime SplitDateTime(TDateTime date) = 0;
  // From Gregorian parts; invalid parts split the earliest date.
  virtual TcxEraDateTime SplitDate(Integer year, Integer month, Integer day);
  virtual TcxEraDateTime SplitDateTimeParts(Integer year, Integer month, Integer day, Integer hours, Integer minutes,
                                            Integer seconds, Integer milliseconds);
  virtual Integer DayOfYearOf(TDateTime date);
  virtual Integer DayOfYearIn(const TcxEraDateTime& date);
  virtual Integer MonthLength(Integer year, Integer month);
  virtual Integer MonthLengthInEra(Integer era, Integer year, Integer month) = 0;
  virtual Integer YearLength(Integer year);
  virtual Integer YearLengthInEra(Integer era, Integer year) = 0;
  virtual Integer EraOfYear(Integer year);
  // The last era (in list order) that began on or before the Gregorian date; -1 for none.
  virtual Integer EraOfDate(Integer year, Integer month, Integer day);
  virtual TDateTime WeekStartOf(TDateTime date);
  virtual TDateTime WeekStartFrom(TDateTime date, Integer startWeekday);
  virtual void WeekStartIn(const TcxEraDateTime& date, TcxEraDateTime& result);
  virtual void WeekStartFromRecord(const TcxEraDateTime& date, Integer startWeekday, TcxEraDateTime& result);
  // 0 Sunday .. 6 Saturday.
  virtual Integer FirstWeekdayOfCalendar() = 0;
  virtual Integer WholeWeeksInYear(Integer year) = 0;
  virtual Integer MonthCount(Integer year);
  virtual Integer MonthCountInEra(Integer era, Integer year) = 0;
  virtual Integer YearOfDateValue(TDateTime date);
  virtual Integer YearOfDate(const TcxEraDate& date);
  virtual Integer YearOfDateTime(const TcxEraDateTime& date);
  // 0 Sunday .. 6 Saturday.
  virtual Integer WeekdayOf(TDateTime date);
  virtual Integer WeekdayIn(const TcxEraDateTime& date);
  virtual Integer WeekNumberOf(TDateTime date, Integer startWeekday, Integer rule);
  virtual Integer WeekNumberIn(const TcxEraDateTime& date, Integer startWeekday, Integer rule) = 0;
  virtual Boolean DayIsLeap(Integer year, Integer month, Integer day);
  virtual Boolean DayIsLeapInEra(Integer era, Integer year, Integer month, Integer day) = 0;
  virtual Boolean MonthIsLeap(Integer year, Integer month);
  virtual Boolean MonthIsLeapInEra(Integer era, Integer year, Integer month) = 0;
  virtual Boolean YearIsLeap(Integer year);
  virtual Boolean YearIsLeapInEra(Integer era, Integer year) = 0;
  virtual Boolean YearInRange(Integer year);
  virtual Boolean YearInRangeInEra(Integer era, Integer year);
  virtual Boolean MonthInRange(Integer year, Integer month);
  virtual Boolean MonthInRangeInEra(Integer era, Integer year, Integer month);
  virtual Boolean DayInRange(Integer year, Integer month, Integer day);
  virtual Boolean DayInRangeInEra(Integer era, Integer year, Integer month, Integer day);
  virtual Boolean DateInRange(TDateTime date);
  virtual TDateTime JoinDate(const TcxEraDate& date);
  virtual TDateTime JoinDateParts(Integer year, Integer month, Integer day);
  virtual TDateTime JoinDateTimeParts(Integer year, Integer month, Integer day, Integer hours, Integer minutes,
                                      Integer seconds, Integer milliseconds);
  virtual TDateTime JoinDateTime(const TcxEraDateTime& date) = 0;
  // Raise EConvertError for a text that is no number.
  virtual Integer ParseDayText(const AnsiString& text);
  virtual Integer ParseMonthText(Integer year, const AnsiString& text);
  virtual Integer ParseYearText(const AnsiString& text);

  // Era -1 adds the default era's offset, an era of the list its own; other values nothing.
  void AddEraYearOffset(Integer& year, Integer era);

  // The editors' names for some of the operations (calendar control, month list, date editor).
  TDateTime ShiftDateByMonths(Integer count, TDateTime date) { return ShiftMonthsOf(date, count); }
  TDateTime ShiftDateByMonths(TDateTime date, Integer count) { return ShiftMonthsOf(date, count); }
  TDateTime ShiftDateByYears(Integer count, TDateTime date) { return ShiftYearsOf(date, count); }
  TDateTime ShiftDateByYears(TDateTime date, Integer count) { return ShiftYearsOf(date, count); }
  TDateTime ShiftPartsByMonths(const TcxCalendarDateParts& parts, Integer count) { return ShiftMonths(parts, count); }
  TcxCalendarDateParts DateToParts(TDateTime date) { return SplitDateTime(date); }
  TDateTime PartsToDate(const TcxCalendarDateParts& parts) { return JoinDateTime(parts); }
  Integer GetDaysInMonth(Integer era, Integer year, Integer month) { return MonthLengthInEra(era, year, month); }
  Integer MonthCount(Integer era, Integer year) { return MonthCountInEra(era, year); }
  Integer GetWeekNumber(Integer startWeekday, Integer rule, TDateTime date) {
    return WeekNumberOf(date, startWeekday, rule);
  }
  Boolean IsYearInRange(Integer era, Integer year) { return YearInRangeInEra(era, year); }
  Boolean IsValidCalendarDate(TDateTime date) { return DateInRange(date); }

 protected:
  // The Hijri and Hebrew week numbers: weeks start on FirstWeekdayOfCalendar.
  Integer LunarWeekNumberIn(const TcxEraDateTime& date, Integer rule);
  // The default era when `era` is -1, else the era of the list (nil when there is none).
  TcxEra* EraAt(Integer era);

 private:
  TcxEras* FEras;
};

using TcxCalendarTableClass = orv::ClassOf<TcxCustomCalendarTable>;

class TcxGregorianCalendarTable : public TcxCustomCalendarTable {
  ORV_CLASS(TcxGregorianCalendarTable, TcxCustomCalendarTable)
 public:
  TcxGregorianCalendarTable();
  // A Gregorian variant (ids 1, 2 and 9-12).
  explicit TcxGregorianCalendarTable(Integer calendarIdent);
  ~TcxGregorianCalendarTable() override;

  Integer AlgorithmKind() override { return 1; }
  Integer CalendarIdent() override { return FCalendarIdent; }
  TcxEra* BaseEra() override { return FDefaultEra; }
  TDateTime LatestDate() override { return MaxEditDateTime; }
  TDateTime EarliestDate() override { return MinEditDate; }
  Integer LastYear() override { return 9999; }
  Integer FirstYear() override { return 100; }
  // The era of the date (-1 without eras) and the year in it.
  TcxEraDateTime SplitDateTime(TDateTime date) override;
  // The year taken in the record's era; an invalid record gives the earliest date.
  TDateTime JoinDateTime(const TcxEraDateTime& date) override;
  Integer FirstWeekdayOfCalendar() override;
  Integer MonthLengthInEra(Integer era, Integer year, Integer month) override;
  Integer YearLengthInEra(Integer era, Integer year) override;
  Integer MonthCountInEra(Integer era, Integer year) override { return 12; }
  Boolean YearIsLeapInEra(Integer era, Integer year) override;
  Boolean MonthIsLeapInEra(Integer era, Integer year, Integer month) override;
  Boolean DayIsLeapInEra(Integer era, Integer year, Integer month, Integer day) override;
  Integer WholeWeeksInYear(Integer year) override;
  Integer WeekNumberIn(const TcxEraDateTime& date, Integer startWeekday, Integer rule) override;

 protected:
  TcxEra* FDefaultEra;

 private:
  Integer FCalendarIdent = CAL_GREGORIAN;
};

// Gregorian arithmetic with the years counted in eras. The default era is the last one; the
// range begins with the first era and spans the default era's years.
class TcxJapaneseCalendarTable : public TcxGregorianCalendarTable {
  ORV_CLASS(TcxJapaneseCalendarTable, TcxGregorianCalendarTable)
 public:
  TcxJapaneseCalendarTable();

  Integer CalendarIdent() override { return CAL_JAPAN; }
  TcxEra* BaseEra() override { return GetEras()->GetItem(GetEras()->GetCount() - 1); }
  TDateTime LatestDate() override;
  TDateTime EarliestDate() override { return GetEras()->GetItem(0)->GetBeginDate(); }
  Integer LastYear() override { return BaseEra()->GetMaxEraYear(); }
  Integer FirstYear() override { return BaseEra()->GetMinEraYear(); }
  Integer FirstWeekdayOfCalendar() override { return 0; }

 protected:
  // Replaces the eras with the one era of a derived calendar.
  void SetSingleEra(TcxEra* era);
};

class TcxTaiwanCalendarTable : public TcxJapaneseCalendarTable {
  ORV_CLASS(TcxTaiwanCalendarTable, TcxJapaneseCalendarTable)
 public:
  TcxTaiwanCalendarTable();
  Integer CalendarIdent() override { return CAL_TAIWAN; }
};

class TcxKoreanCalendarTable : public TcxJapaneseCalendarTable {
  ORV_CLASS(TcxKoreanCalendarTable, TcxJapaneseCalendarTable)
 public:
  TcxKoreanCalendarTable();
  Integer CalendarIdent() override { return CAL_KOREA; }
};

class TcxThaiCalendarTable : public TcxJapaneseCalendarTable {
  ORV_CLASS(TcxThaiCalendarTable, TcxJapaneseCalendarTable)
 public:
  TcxThaiCalendarTable();
  Integer CalendarIdent() override { return CAL_THAI; }
};

// The tabular Islamic calendar with a 30-year leap cycle; no eras.
class TcxHijriCalendarTable : public TcxCustomCalendarTable {
  ORV_CLASS(TcxHijriCalendarTable, TcxCustomCalendarTable)
 public:
  TcxHijriCalendarTable();
  ~TcxHijriCalendarTable() override;

  Integer AlgorithmKind() override { return 2; }
  Integer CalendarIdent() override { return CAL_HIJRI; }
  TcxEra* BaseEra() override { return FDefaultEra; }
  TDateTime LatestDate() override;
  TDateTime EarliestDate() override;
  Integer LastYear() override { return 9666; }
  Integer FirstYear() override { return 1; }
  TcxEraDateTime SplitDateTime(TDateTime date) override;
  TDateTime JoinDateTime(const TcxEraDateTime& date) override;
  Integer FirstWeekdayOfCalendar() override { return 6; }
  Integer MonthLengthInEra(Integer era, Integer year, Integer month) override;
  Integer YearLengthInEra(Integer era, Integer year) override;
  Integer MonthCountInEra(Integer era, Integer year) override { return 12; }
  Boolean YearIsLeapInEra(Integer era, Integer year) override;
  Boolean MonthIsLeapInEra(Integer era, Integer year, Integer month) override;
  Boolean DayIsLeapInEra(Integer era, Integer year, Integer month, Integer day) override;
  Integer WholeWeeksInYear(Integer year) override { return 50; }
  Integer WeekNumberIn(const TcxEraDateTime& date, Integer startWeekday, Integer rule) override;
  Integer ParseMonthText(Integer year, const AnsiString& text) override;

 private:
  TcxEra* FDefaultEra;
};

// The Hebrew calendar for the years 5343 to 5999 (Gregorian 1583 to 2239); no eras.
class TcxHebrewCalendarTable : public TcxCustomCalendarTable {
  ORV_CLASS(TcxHebrewCalendarTable, TcxCustomCalendarTable)
 public:
  TcxHebrewCalendarTable();
  ~TcxHebrewCalendarTable() override;

  Integer AlgorithmKind() override { return 3; }
  Integer CalendarIdent() override { return CAL_HEBREW; }
  TcxEra* BaseEra() override { return FDefaultEra; }
  TDateTime LatestDate() override;
  TDateTime EarliestDate() override;
  Integer LastYear() override { return 5999; }
  Integer FirstYear() override { return 5343; }
  TcxEraDateTime SplitDateTime(TDateTime date) override;
  TDateTime JoinDateTime(const TcxEraDateTime& date) override;
  Integer FirstWeekdayOfCalendar() override { return 0; }
  Integer MonthLengthInEra(Integer era, Integer year, Integer month) override;
  Integer YearLengthInEra(Integer era, Integer year) override;
  Integer MonthCountInEra(Integer era, Integer year) override;
  Boolean YearIsLeapInEra(Integer era, Integer year) override;
  Boolean MonthIsLeapInEra(Integer era, Integer year, Integer month) override;
  Boolean DayIsLeapInEra(Integer era, Integer year, Integer month, Integer day) override;
  Integer WholeWeeksInYear(Integer year) override;
  Integer WeekNumberIn(const TcxEraDateTime& date, Integer startWeekday, Integer rule) override;
  Integer ParseDayText(const AnsiString& text) override;
  Integer ParseMonthText(Integer year, const AnsiString& text) override;
  Integer ParseYearText(const AnsiString& text) override;

  // 1 deficient, 2 regular, 3 complete; 0 outside 5343..5999.
  Integer YearKind(Integer year);
  // The Hebrew month and day of 1 January of the Gregorian year (1583..2239); (0, 0) outside.
  void JanuaryDate(Integer gregorianYear, Integer& month, Integer& day);
  // Days from the January date to (month, day) of one Hebrew year, by its month-length row.
  Integer DaysFromJanuary(Integer row, Integer month, Integer day, Integer januaryMonth, Integer januaryDay);
  // The sum of the Hebrew letters of a text (bytes 224 and up) as numerals.
  static Integer HebrewNumeralValue(const AnsiString& text);
  // The year's code: 1-3 common deficient, regular, complete; 4-6 the leap years of those kinds.
  Integer YearCode(Integer year);

 private:
  // The date without clamping, for a valid record.
  TDateTime JoinUnclamped(const TcxEraDateTime& date);
  Integer MonthLengthRow(Integer year);
  TcxEra* FDefaultEra;
};
