// The locale: one format-settings object that every number, date and locale query reads.
//
// `FormatSettings` starts with the Russian profile, as the program runs; tests of English
// examples switch to the US English profile with orv::SetLocaleProfile. GetLocaleInfo and the
// date and time pictures answer from the same object, so a change made to it (by a test or by
// the program) is seen everywhere at once.
#pragma once

#include "platform/runtime/DateTime.h"
#include "platform/runtime/Types.h"

using LCID = Cardinal;
using LCTYPE = Cardinal;

struct TFormatSettings {
  // Numbers and money.
  char DecimalSeparator = ',';
  char ThousandSeparator = '\xA0';
  char ListSeparator = ';';
  AnsiString CurrencyString;
  Byte CurrencyFormat = 0;  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  Byte NegCurrFormat = 0;   // 0..15, the locale's negative-currency patterns
  Byte CurrencyDecimals = 2;
  // Dates and times, in the picture syntax of FormatDateTime.
  char DateSeparator = '.';
  char TimeSeparator = ':';
  AnsiString ShortDateFormat;
  AnsiString LongDateFormat;
  AnsiString ShortTimeFormat;
  AnsiString LongTimeFormat;
  AnsiString TimeAMString;
  AnsiString TimePMString;
  // Index 0 is January; day names start with Sunday, as DayOfWeek counts.
  AnsiString ShortMonthNames[12];
  AnsiString LongMonthNames[12];
  AnsiString ShortDayNames[7];
  AnsiString LongDayNames[7];
  // A two-digit year is read in the century that puts it within
  // current year - window .. current year - window + 99; 0 keeps the current century.
  Word TwoDigitYearCenturyWindow = 50;

  // What the locale adds beyond the classic settings (read through GetLocaleInfo).
  LCID Locale = 0;
  Byte FirstDayOfWeek = 0;   // 0 Monday .. 6 Sunday, as the locale stores it
  Byte FirstWeekOfYear = 0;  // 0 the week of 1 January, 1 the first full week, 2 the first four-day week
  // Month names as they read after a day number ("5 января"); equal to LongMonthNames in
  // languages without a genitive form.
  AnsiString GenitiveMonthNames[12];
  // Names of the days for the locale queries, Monday first.
  AnsiString ShortestDayNames[7];
  AnsiString EraName;
  AnsiString LanguageName;        // in English, "Russian"
  AnsiString AbbrevLanguageName;  // "RUS"
  Word AnsiCodePage = 1251;
  Word OemCodePage = 866;
};

// The one format-settings object.
extern TFormatSettings FormatSettings;

namespace orv {

enum class TLocaleProfile { Russian, EnglishUS };

// The settings of a profile, as a fresh object.
TFormatSettings LocaleProfileSettings(TLocaleProfile profile);
// Replaces FormatSettings with the profile's settings.
void SetLocaleProfile(TLocaleProfile profile);

// Restores the previous FormatSettings when it goes out of scope (for tests).
class TLocaleScope {
 public:
  explicit TLocaleScope(TLocaleProfile profile);
  ~TLocaleScope();
  TLocaleScope(const TLocaleScope&) = delete;
  TLocaleScope& operator=(const TLocaleScope&) = delete;

 private:
  TFormatSettings FSaved;
};

}  // namespace orv

// Locale identifiers. Every identifier answers from FormatSettings.
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LANG_RUSSIAN_RUSSIA = 0x0419;
inline constexpr LCID LANG_ENGLISH_US = 0x0409;

// Locale information types.
inline constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;
inline constexpr LCTYPE LOCALE_ILANGUAGE = 0x0001;
inline constexpr LCTYPE LOCALE_SABBREVLANGNAME = 0x0003;
inline constexpr LCTYPE LOCALE_SLIST = 0x000C;
inline constexpr LCTYPE LOCALE_IMEASURE = 0x000D;
inline constexpr LCTYPE LOCALE_SDECIMAL = 0x000E;
inline constexpr LCTYPE LOCALE_STHOUSAND = 0x000F;
inline constexpr LCTYPE LOCALE_SGROUPING = 0x0010;
inline constexpr LCTYPE LOCALE_IDIGITS = 0x0011;
inline constexpr LCTYPE LOCALE_ILZERO = 0x0012;
inline constexpr LCTYPE LOCALE_SCURRENCY = 0x0014;
inline constexpr LCTYPE LOCALE_SMONDECIMALSEP = 0x0016;
inline constexpr LCTYPE LOCALE_SMONTHOUSANDSEP = 0x0017;
inline constexpr LCTYPE LOCALE_ICURRDIGITS = 0x0019;
inline constexpr LCTYPE LOCALE_ICURRENCY = 0x001B;
inline constexpr LCTYPE LOCALE_INEGCURR = 0x001C;
inline constexpr LCTYPE LOCALE_SDATE = 0x001D;
inline constexpr LCTYPE LOCALE_STIME = 0x001E;
inline constexpr LCTYPE LOCALE_SSHORTDATE = 0x001F;
inline constexpr LCTYPE LOCALE_SLONGDATE = 0x0020;
inline constexpr LCTYPE LOCALE_IDATE = 0x0021;
inline constexpr LCTYPE LOCALE_ILDATE = 0x0022;
inline constexpr LCTYPE LOCALE_ITIME = 0x0023;
inline constexpr LCTYPE LOCALE_ICENTURY = 0x0024;
inline constexpr LCTYPE LOCALE_ITLZERO = 0x0025;
inline constexpr LCTYPE LOCALE_IDAYLZERO = 0x0026;
inline constexpr LCTYPE LOCALE_IMONLZERO = 0x0027;
inline constexpr LCTYPE LOCALE_S1159 = 0x0028;
inline constexpr LCTYPE LOCALE_S2359 = 0x0029;
inline constexpr LCTYPE LOCALE_SDAYNAME1 = 0x002A;          // .. 0x0030, Monday first
inline constexpr LCTYPE LOCALE_SABBREVDAYNAME1 = 0x0031;    // .. 0x0037
inline constexpr LCTYPE LOCALE_SMONTHNAME1 = 0x0038;        // .. 0x0043
inline constexpr LCTYPE LOCALE_SABBREVMONTHNAME1 = 0x0044;  // .. 0x004F
inline constexpr LCTYPE LOCALE_SPOSITIVESIGN = 0x0050;
inline constexpr LCTYPE LOCALE_SNEGATIVESIGN = 0x0051;
inline constexpr LCTYPE LOCALE_SSHORTESTDAYNAME1 = 0x0060;  // .. 0x0066
inline constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x1001;
inline constexpr LCTYPE LOCALE_STIMEFORMAT = 0x1003;
inline constexpr LCTYPE LOCALE_IDEFAULTANSICODEPAGE = 0x1004;
inline constexpr LCTYPE LOCALE_ITIMEMARKPOSN = 0x1005;
inline constexpr LCTYPE LOCALE_SYEARMONTH = 0x1006;
inline constexpr LCTYPE LOCALE_ICALENDARTYPE = 0x1009;
inline constexpr LCTYPE LOCALE_IFIRSTDAYOFWEEK = 0x100C;
inline constexpr LCTYPE LOCALE_IFIRSTWEEKOFYEAR = 0x100D;
inline constexpr LCTYPE LOCALE_IDEFAULTCODEPAGE = 0x000B;

// The identifier of the current locale (FormatSettings.Locale).
LCID GetThreadLocale();
LCID GetUserDefaultLCID();
// The text of one piece of locale information; empty for a type the locale does not know.
AnsiString GetLocaleInfo(LCID locale, LCTYPE type);
// GetLocaleInfo, or `defaultValue` when it answers nothing.
AnsiString GetLocaleStr(LCID locale, LCTYPE type, const AnsiString& defaultValue);

// Flags of GetDateFormat and GetTimeFormat.
inline constexpr Cardinal DATE_SHORTDATE = 0x0001;
inline constexpr Cardinal DATE_LONGDATE = 0x0002;
inline constexpr Cardinal DATE_YEARMONTH = 0x0008;
inline constexpr Cardinal TIME_NOMINUTESORSECONDS = 0x0001;
inline constexpr Cardinal TIME_NOSECONDS = 0x0002;
inline constexpr Cardinal TIME_NOTIMEMARKER = 0x0004;
inline constexpr Cardinal TIME_FORCE24HOURFORMAT = 0x0008;

// A date in a locale picture ("d", "dd", "ddd", "dddd", "M" .. "MMMM", "y", "yy", "yyyy",
// "gg", quoted text); with an empty picture, the short or long date of `flags`. Empty when
// the date lies outside years 1..9999.
AnsiString GetDateFormat(LCID locale, Cardinal flags, TDateTime date, const AnsiString& picture);
// A time in a locale picture ("h", "hh", "H", "HH", "m", "mm", "s", "ss", "t", "tt", quoted
// text); with an empty picture, the locale's time format.
AnsiString GetTimeFormat(LCID locale, Cardinal flags, TDateTime time, const AnsiString& picture);
