#include "platform/runtime/Locale.h"

#include <cstdio>
#include <string_view>

#include "platform/runtime/AnsiString.h"

namespace {

TFormatSettings RussianSettings() {
  TFormatSettings s;
  s.Locale = LANG_RUSSIAN_RUSSIA;
  s.DecimalSeparator = ',';
  s.ThousandSeparator = '\xA0';  // a non-breaking space
  s.ListSeparator = ';';
  s.CurrencyString = "р."_a;
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  s.CurrencyDecimals = 2;
  s.DateSeparator = '.';
  s.TimeSeparator = ':';
  s.ShortDateFormat = "dd.MM.yyyy";
  s.LongDateFormat = "d MMMM yyyy 'г.'"_a;
  s.ShortTimeFormat = "H:mm";
  s.LongTimeFormat = "H:mm:ss";
  const std::string_view longMonths[12] = {"Январь"_a, "Февраль"_a, "Март"_a,     "Апрель"_a,
                                           "Май"_a,    "Июнь"_a,    "Июль"_a,     "Август"_a,
                                           "Сентябрь"_a, "Октябрь"_a, "Ноябрь"_a, "Декабрь"_a};
  const std::string_view shortMonths[12] = {"янв"_a, "фев"_a, "мар"_a, "апр"_a, "май"_a, "июн"_a,
                                            "июл"_a, "авг"_a, "сен"_a, "окт"_a, "ноя"_a, "дек"_a};
  const std::string_view genitive[12] = {"января"_a,  "февраля"_a,  "марта"_a,    "апреля"_a,
                                         "мая"_a,     "июня"_a,     "июля"_a,     "августа"_a,
                                         "сентября"_a, "октября"_a, "ноября"_a, "декабря"_a};
  const std::string_view longDays[7] = {"воскресенье"_a, "понедельник"_a, "вторник"_a, "среда"_a,
                                        "четверг"_a,     "пятница"_a,     "суббота"_a};
  const std::string_view shortDays[7] = {"Вс"_a, "Пн"_a, "Вт"_a, "Ср"_a, "Чт"_a, "Пт"_a, "Сб"_a};
  for (int i = 0; i < 12; ++i) {
    s.LongMonthNames[i] = longMonths[i];
    s.ShortMonthNames[i] = shortMonths[i];
    s.GenitiveMonthNames[i] = genitive[i];
  }
  for (int i = 0; i < 7; ++i) {
    s.LongDayNames[i] = longDays[i];
    s.ShortDayNames[i] = shortDays[i];
    s.ShortestDayNames[i] = shortDays[(i + 1) % 7];
  }
  s.FirstDayOfWeek = 0;
  s.FirstWeekOfYear = 0;
  s.EraName = "н.э."_a;
  s.LanguageName = "Russian";
  s.AbbrevLanguageName = "RUS";
  s.AnsiCodePage = 1251;
  s.OemCodePage = 866;
  return s;
}

TFormatSettings EnglishUSSettings() {
  TFormatSettings s;
  s.Locale = LANG_ENGLISH_US;
  s.DecimalSeparator = '.';
  s.ThousandSeparator = ',';
  s.ListSeparator = ',';
  s.CurrencyString = "$";
  s.CurrencyFormat = 0;
  s.NegCurrFormat = 0;
  s.CurrencyDecimals = 2;
  s.DateSeparator = '/';
  s.TimeSeparator = ':';
  s.ShortDateFormat = "M/d/yyyy";
  s.LongDateFormat = "dddd, MMMM dd, yyyy";
  s.ShortTimeFormat = "h:mm AMPM";
  s.LongTimeFormat = "h:mm:ss AMPM";
  s.TimeAMString = "AM";
  s.TimePMString = "PM";
  const char* const longMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};
  const char* const longDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  for (int i = 0; i < 12; ++i) {
    s.LongMonthNames[i] = longMonths[i];
    s.ShortMonthNames[i] = AnsiString(longMonths[i], 3);
    s.GenitiveMonthNames[i] = longMonths[i];
  }
  for (int i = 0; i < 7; ++i) {
    s.LongDayNames[i] = longDays[i];
    s.ShortDayNames[i] = AnsiString(longDays[i], 3);
    s.ShortestDayNames[i] = AnsiString(longDays[(i + 1) % 7], 2);
  }
  s.FirstDayOfWeek = 6;
  s.FirstWeekOfYear = 0;
  s.EraName = "A.D.";
  s.LanguageName = "English";
  s.AbbrevLanguageName = "ENU";
  s.AnsiCodePage = 1252;
  s.OemCodePage = 437;
  return s;
}

const TFormatSettings& Settings(LCID) { return FormatSettings; }

AnsiString Digit(int n) { return AnsiString(1, static_cast<char>('0' + n)); }

// A picture of the platform's FormatDateTime (AM/PM as "AMPM") in the locale's syntax ("tt").
AnsiString ToLocaleTimePicture(const AnsiString& picture) {
  AnsiString out;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    if (picture.compare(i, 4, "AMPM") == 0) {
      out += "tt";
      i += 3;
    } else {
      out.push_back(picture[i]);
    }
  }
  return out;
}

bool Is24Hour(const TFormatSettings& s) {
  for (const char c : s.LongTimeFormat)
    if (c == 'H') return true;
  return s.LongTimeFormat.find("AMPM") == AnsiString::npos && s.LongTimeFormat.find("am/pm") == AnsiString::npos;
}

// Reads a run of one letter at picture[i]; returns its length.
std::size_t RunLength(const AnsiString& picture, std::size_t i) {
  std::size_t n = 1;
  while (i + n < picture.size() && picture[i + n] == picture[i]) ++n;
  return n;
}

// Copies a quoted literal starting at picture[i] (a single quote); '' inside stands for one
// quote. Returns the index after the closing quote.
std::size_t CopyQuoted(const AnsiString& picture, std::size_t i, AnsiString& out) {
  ++i;
  while (i < picture.size()) {
    if (picture[i] == '\'') {
      if (i + 1 < picture.size() && picture[i + 1] == '\'') {
        out.push_back('\'');
        i += 2;
        continue;
      }
      return i + 1;
    }
    out.push_back(picture[i++]);
  }
  return i;
}

AnsiString Padded(int value, std::size_t width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", static_cast<int>(width), value);
  return buf;
}

}  // namespace

TFormatSettings FormatSettings = RussianSettings();

namespace orv {

TFormatSettings LocaleProfileSettings(TLocaleProfile profile) {
  return profile == TLocaleProfile::Russian ? RussianSettings() : EnglishUSSettings();
}

void SetLocaleProfile(TLocaleProfile profile) { FormatSettings = LocaleProfileSettings(profile); }

TLocaleScope::TLocaleScope(TLocaleProfile profile) : FSaved(FormatSettings) { SetLocaleProfile(profile); }

TLocaleScope::~TLocaleScope() { FormatSettings = FSaved; }

}  // namespace orv

LCID GetThreadLocale() { return FormatSettings.Locale; }

LCID GetUserDefaultLCID() { return FormatSettings.Locale; }

AnsiString GetLocaleInfo(LCID locale, LCTYPE type) {
  const TFormatSettings& s = Settings(locale);
  const bool russian = s.Locale == LANG_RUSSIAN_RUSSIA;
  type &= ~LOCALE_NOUSEROVERRIDE;
  if (type >= LOCALE_SDAYNAME1 && type < LOCALE_SDAYNAME1 + 7) return s.LongDayNames[(type - LOCALE_SDAYNAME1 + 1) % 7];
  if (type >= LOCALE_SABBREVDAYNAME1 && type < LOCALE_SABBREVDAYNAME1 + 7)
    return s.ShortDayNames[(type - LOCALE_SABBREVDAYNAME1 + 1) % 7];
  if (type >= LOCALE_SMONTHNAME1 && type < LOCALE_SMONTHNAME1 + 12) return s.LongMonthNames[type - LOCALE_SMONTHNAME1];
  if (type >= LOCALE_SABBREVMONTHNAME1 && type < LOCALE_SABBREVMONTHNAME1 + 12)
    return s.ShortMonthNames[type - LOCALE_SABBREVMONTHNAME1];
  if (type >= LOCALE_SSHORTESTDAYNAME1 && type < LOCALE_SSHORTESTDAYNAME1 + 7)
    return s.ShortestDayNames[type - LOCALE_SSHORTESTDAYNAME1];
  const AnsiString& shortDate = s.ShortDateFormat;
  auto dateOrder = [&]() -> AnsiString {
    for (const char c : shortDate) {
      if (c == 'M' || c == 'm') return "0";
      if (c == 'd' || c == 'D') return "1";
      if (c == 'y' || c == 'Y') return "2";
    }
    return "0";
  };
  auto hasRun = [&](const AnsiString& picture, char letter) {
    for (std::size_t i = 0; i < picture.size(); ++i)
      if (picture[i] == letter) return RunLength(picture, i) >= 2;
    return false;
  };
  char hex[8];
  switch (type) {
    case LOCALE_ILANGUAGE:
      std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(s.Locale & 0xFFFF));
      return hex;
    case LOCALE_SABBREVLANGNAME: return s.AbbrevLanguageName;
    case LOCALE_SENGLANGUAGE: return s.LanguageName;
    case LOCALE_SLIST: return AnsiString(1, s.ListSeparator);
    case LOCALE_IMEASURE: return russian ? "0" : "1";
    case LOCALE_SDECIMAL:
    case LOCALE_SMONDECIMALSEP: return AnsiString(1, s.DecimalSeparator);
    case LOCALE_STHOUSAND:
    case LOCALE_SMONTHOUSANDSEP: return AnsiString(1, s.ThousandSeparator);
    case LOCALE_SGROUPING: return "3;0";
    case LOCALE_IDIGITS: return "2";
    case LOCALE_ILZERO: return "1";
    case LOCALE_SCURRENCY: return s.CurrencyString;
    case LOCALE_ICURRDIGITS: return std::to_string(s.CurrencyDecimals);
    case LOCALE_ICURRENCY: return std::to_string(s.CurrencyFormat);
    case LOCALE_INEGCURR: return std::to_string(s.NegCurrFormat);
    case LOCALE_SDATE: return AnsiString(1, s.DateSeparator);
    case LOCALE_STIME: return AnsiString(1, s.TimeSeparator);
    case LOCALE_SSHORTDATE: return shortDate;
    case LOCALE_SLONGDATE: return s.LongDateFormat;
    case LOCALE_IDATE:
    case LOCALE_ILDATE: return dateOrder();
    case LOCALE_ITIME: return Is24Hour(s) ? "1" : "0";
    case LOCALE_ICENTURY: return "1";
    case LOCALE_ITLZERO: return hasRun(s.LongTimeFormat, 'h') || hasRun(s.LongTimeFormat, 'H') ? "1" : "0";
    case LOCALE_IDAYLZERO: return hasRun(shortDate, 'd') ? "1" : "0";
    case LOCALE_IMONLZERO: return hasRun(shortDate, 'M') || hasRun(shortDate, 'm') ? "1" : "0";
    case LOCALE_S1159: return s.TimeAMString;
    case LOCALE_S2359: return s.TimePMString;
    case LOCALE_SPOSITIVESIGN: return "";
    case LOCALE_SNEGATIVESIGN: return "-";
    case LOCALE_STIMEFORMAT: return ToLocaleTimePicture(s.LongTimeFormat);
    case LOCALE_IDEFAULTANSICODEPAGE: return std::to_string(s.AnsiCodePage);
    case LOCALE_IDEFAULTCODEPAGE: return std::to_string(s.OemCodePage);
    case LOCALE_ITIMEMARKPOSN: return "0";
    case LOCALE_SYEARMONTH: return russian ? "MMMM yyyy" : "MMMM, yyyy";
    case LOCALE_ICALENDARTYPE: return "1";
    case LOCALE_IFIRSTDAYOFWEEK: return Digit(s.FirstDayOfWeek);
    case LOCALE_IFIRSTWEEKOFYEAR: return Digit(s.FirstWeekOfYear);
    default: return "";
  }
}

AnsiString GetLocaleStr(LCID locale, LCTYPE type, const AnsiString& defaultValue) {
  AnsiString result = GetLocaleInfo(locale, type);
  return result.empty() ? defaultValue : result;
}

AnsiString GetDateFormat(LCID locale, Cardinal flags, TDateTime date, const AnsiString& picture) {
  const TFormatSettings& s = Settings(locale);
  AnsiString pic = picture;
  if (pic.empty()) {
    if (flags & DATE_LONGDATE) {
      pic = s.LongDateFormat;
    } else if (flags & DATE_YEARMONTH) {
      pic = GetLocaleInfo(locale, LOCALE_SYEARMONTH);
    } else {
      pic = s.ShortDateFormat;
    }
  }
  if (!(date > MinDateTime - 1 && date < MaxDateTime)) return "";
  Word year, month, day;
  DecodeDate(date, year, month, day);
  if (year == 0) return "";
  const int dow = DayOfWeek(date) - 1;
  // A month name next to a day number takes the genitive form ("5 января").
  bool dayNumber = false;
  for (std::size_t i = 0; i < pic.size(); i += RunLength(pic, i)) {
    if (pic[i] == '\'') {
      AnsiString skipped;
      i = CopyQuoted(pic, i, skipped);
      if (i >= pic.size()) break;
    }
    if (pic[i] == 'd' && RunLength(pic, i) <= 2) dayNumber = true;
  }
  AnsiString out;
  std::size_t i = 0;
  while (i < pic.size()) {
    const char c = pic[i];
    if (c == '\'') {
      i = CopyQuoted(pic, i, out);
      continue;
    }
    const std::size_t n = RunLength(pic, i);
    switch (c) {
      case 'd':
        out += n == 1 ? std::to_string(day) : n == 2 ? Padded(day, 2) : n == 3 ? s.ShortDayNames[dow] : s.LongDayNames[dow];
        break;
      case 'M':
        out += n == 1   ? std::to_string(month)
               : n == 2 ? Padded(month, 2)
               : n == 3 ? s.ShortMonthNames[month - 1]
                        : (dayNumber ? s.GenitiveMonthNames[month - 1] : s.LongMonthNames[month - 1]);
        break;
      case 'y':
        out += n == 1 ? std::to_string(year % 100) : n == 2 ? Padded(year % 100, 2) : Padded(year, 4);
        break;
      case 'g':
        out += s.EraName;
        break;
      default:
        out.append(n, c);
        break;
    }
    i += n;
  }
  return out;
}

AnsiString GetTimeFormat(LCID locale, Cardinal flags, TDateTime time, const AnsiString& picture) {
  const TFormatSettings& s = Settings(locale);
  const AnsiString pic = picture.empty() ? GetLocaleInfo(locale, LOCALE_STIMEFORMAT) : picture;
  if (!(time > MinDateTime - 1 && time < MaxDateTime)) return "";
  Word hour, min, sec, msec;
  DecodeTime(time, hour, min, sec, msec);
  const AnsiString& marker = hour < 12 ? s.TimeAMString : s.TimePMString;
  // Elements and the literals before them; a suppressed element takes its literal with it.
  AnsiString out;
  AnsiString pendingLiteral;
  std::size_t i = 0;
  while (i < pic.size()) {
    const char c = pic[i];
    if (c == '\'') {
      i = CopyQuoted(pic, i, pendingLiteral);
      continue;
    }
    const std::size_t n = RunLength(pic, i);
    i += n;
    AnsiString element;
    bool suppressed = false;
    switch (c) {
      case 'h':
      case 'H': {
        int h = hour;
        if (c == 'h' && !(flags & TIME_FORCE24HOURFORMAT)) {
          h %= 12;
          if (h == 0) h = 12;
        }
        element = n == 1 ? std::to_string(h) : Padded(h, 2);
        break;
      }
      case 'm':
        suppressed = (flags & TIME_NOMINUTESORSECONDS) != 0;
        element = n == 1 ? std::to_string(min) : Padded(min, 2);
        break;
      case 's':
        suppressed = (flags & (TIME_NOSECONDS | TIME_NOMINUTESORSECONDS)) != 0;
        element = n == 1 ? std::to_string(sec) : Padded(sec, 2);
        break;
      case 't':
        suppressed = (flags & (TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT)) != 0;
        element = n == 1 ? marker.substr(0, 1) : marker;
        break;
      default:
        pendingLiteral.append(n, c);
        continue;
    }
    if (!suppressed) out += pendingLiteral + element;
    pendingLiteral.clear();
  }
  out += pendingLiteral;
  // A marker that is empty (24-hour locales) leaves no trailing blank behind.
  while (!out.empty() && out.back() == ' ' && !pic.empty() && pic.back() != ' ') out.pop_back();
  return out;
}
