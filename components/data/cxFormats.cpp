#include "components/data/cxFormats.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "components/data/cxDateUtils.h"
#include "platform/controls/Forms.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"
#include "platform/windowing/UtilWindow.h"

namespace {

TcxFormatController* gFormatController = nullptr;

// ==== Tokenizing =============================================================================

class TFormatTokenizer {
 public:
  explicit TFormatTokenizer(TcxDateTimeFormatInfo& info) : FInfo(info) {}

  // Parses `format` at nesting level `level`; false when the format cannot be tokenized.
  bool Parse(const AnsiString& format, Integer level) {
    if (level >= 2) return true;
    bool hasAmPm = false, hasHour = false;
    char lastLetter = 0;
    std::size_t i = 0;
    const std::size_t n = format.size();
    while (i < n) {
      const char c = format[i];
      char letter = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
      if (letter >= 'A' && letter <= 'Z') {
        if (letter == 'M' && lastLetter == 'H') letter = 'N';
        lastLetter = letter;
      }
      // A run counts the equal characters as written.
      std::size_t run = 1;
      while (i + run < n && format[i + run] == c) ++run;
      switch (letter) {
        case '"':
        case '\'': {
          const std::size_t close = format.find(c, i + 1);
          const std::size_t end = close == AnsiString::npos ? n : close;
          AddLiteral(format.substr(i + 1, end - i - 1));
          i = close == AnsiString::npos ? n : close + 1;
          continue;
        }
        case '/': AddItem(dfiDateSeparator, ""); i += 1; continue;
        case ':': AddItem(dfiTimeSeparator, ""); i += 1; continue;
        case 'A': {
          auto at = [&](const char* word) {
            const std::size_t len = std::strlen(word);
            return i + len <= n && SameText(format.substr(i, len), word);
          };
          if (at("AM/PM")) {
            AddItem(dfiAmPm, format.substr(i, 5)), hasAmPm = true, i += 5;
          } else if (at("A/P")) {
            AddItem(dfiAmPm, format.substr(i, 3)), hasAmPm = true, i += 3;
          } else if (at("AMPM")) {
            AddItem(dfiAmPm, "AMPM"), hasAmPm = true, i += 4;
          } else if (at("AAAA")) {
            AddItem(dfiDay, "DDDD"), i += 4;
          } else if (at("AAA")) {
            AddItem(dfiDay, "DDD"), i += 3;
          } else {
            AddLiteral(AnsiString(1, c)), i += 1;
          }
          continue;
        }
        case 'C':
          if (!Parse(FormatSettings.ShortDateFormat, level + 1)) return false;
          AddLiteral(" ");
          if (!Parse(FormatSettings.LongTimeFormat, level + 1)) return false;
          break;
        case 'D':
          if (run <= 4) {
            AddItem(dfiDay, AnsiString(run, 'D'));
          } else if (run == 5) {
            if (!Parse(FormatSettings.ShortDateFormat, level + 1)) return false;
          } else if (!Parse(FormatSettings.LongDateFormat, level + 1)) {
            return false;
          }
          break;
        case 'E':
        case 'Y': AddItem(dfiYear, run > 2 ? "YYYY" : "YY"); break;
        case 'G': return false;
        case 'H':
          AddItem(dfiHour, AnsiString(std::min<std::size_t>(run, 2), 'H'));
          hasHour = true;
          break;
        case 'M': AddItem(dfiMonth, AnsiString(std::min<std::size_t>(run, 4), 'M')); break;
        case 'N': AddItem(dfiMinute, AnsiString(std::min<std::size_t>(run, 2), 'N')); break;
        case 'S': AddItem(dfiSecond, AnsiString(std::min<std::size_t>(run, 2), 'S')); break;
        case 'Z': AddItem(dfiMillisecond, AnsiString(std::min<std::size_t>(run, 3), 'Z')); break;
        case 'T':
          if (!Parse(run == 1 ? FormatSettings.ShortTimeFormat : FormatSettings.LongTimeFormat, level + 1))
            return false;
          break;
        default:
          AddLiteral(AnsiString(1, c));
          i += 1;
          continue;
      }
      i += run;
    }
    if (hasHour) FInfo.Is12HourFormat = hasAmPm;
    return true;
  }

 private:
  void AddLiteral(const AnsiString& text) {
    if (!FInfo.Items.empty() && FInfo.Items.back().Kind == dfiLiteral)
      FInfo.Items.back().Data += text;
    else
      FInfo.Items.push_back({dfiLiteral, text});
    FInfo.DefinedItems[dfiLiteral] = true;
  }

  // Items of kinds year .. AM/PM are added once per info; separators always.
  void AddItem(TcxDateTimeFormatItemKind kind, const AnsiString& text) {
    if (kind >= dfiYear && kind <= dfiAmPm && FInfo.DefinedItems[kind]) return;
    FInfo.Items.push_back({kind, text});
    FInfo.DefinedItems[kind] = true;
  }

  TcxDateTimeFormatInfo& FInfo;
};

// The month names of the regular-expression mask, each in single quotes.
AnsiString MonthNamesPattern(Boolean longNames) {
  AnsiString result;
  for (Integer m = 0; m < 12; ++m) {
    if (m > 0) result += "|";
    result += "'" + (longNames ? FormatSettings.LongMonthNames[m] : FormatSettings.ShortMonthNames[m]) + "'";
  }
  return result;
}

AnsiString SeparatorPattern(char separator) {
  if (separator == ' ') return "' '";
  if (separator == 0) return "";
  return AnsiString("\\") + separator;
}

Integer LongerAmPmLength() {
  return Integer(std::max(FormatSettings.TimeAMString.size(), FormatSettings.TimePMString.size()));
}

struct TFormatControllerHolder {
  std::unique_ptr<TcxFormatController, orv::FreeDeleter> Controller;
};

}  // namespace

// ==== TcxFormatController ====================================================================

TcxFormatController::TcxFormatController() {
  if (!gFormatController) gFormatController = this;
  Rebuild();
  GetResourceStringsRepository()->AddListener(this);
  FRegistered = true;
}

TcxFormatController::~TcxFormatController() {
  if (gFormatController == this) gFormatController = nullptr;
}

void TcxFormatController::BeforeDestruction() {
  if (FRegistered) GetResourceStringsRepository()->RemoveListener(this);
  FRegistered = false;
  FListeners.clear();
  if (FWindow) DeallocateHWnd(FWindow);
  FWindow = nullptr;
  inherited::BeforeDestruction();
}

void TcxFormatController::HandleMessage(TMessage& message) {
  try {
    if (message.Msg == WM_SETTINGCHANGE && message.WParam == 0 && message.LParam != 0 &&
        SameText(reinterpret_cast<const char*>(message.LParam), "intl")) {
      // The format settings are the locale itself here: nothing to re-read before rebuilding.
      Rebuild();
      NotifyFormatsChanged();
      message.Result = 0;
    } else if (message.Msg == WM_TIMECHANGE) {
      NotifyTimeChanged();
      message.Result = 0;
    } else {
      message.Result = DefWindowProc(FWindow, message.Msg, message.WParam, message.LParam);
    }
  } catch (...) {
    Application->HandleException(this);
  }
}

void TcxFormatController::AddFormatListener(IcxFormatsChangeListener* listener) {
  if (!listener || std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end()) return;
  // The window may have been destroyed under us (a desktop torn down around the long-lived
  // controller): make a new one, or the locale and time notices would never arrive again.
  if (FWindow && !IsWindow(FWindow)) FWindow = nullptr;
  if (!FWindow) FWindow = AllocateHWnd(TWndMethod(this, &TcxFormatController::WndProc));
  FListeners.push_back(listener);
}

void TcxFormatController::RemoveFormatListener(IcxFormatsChangeListener* listener) {
  const auto found = std::find(FListeners.begin(), FListeners.end(), listener);
  if (found == FListeners.end()) return;
  FListeners.erase(found);
  if (FListeners.empty() && FWindow) {
    DeallocateHWnd(FWindow);
    FWindow = nullptr;
  }
}

void TcxFormatController::NotifyFormatsChanged() {
  // A listener may leave (or others join) while being told: walk a copy, skipping the gone.
  const std::vector<IcxFormatsChangeListener*> listeners = FListeners;
  for (IcxFormatsChangeListener* listener : listeners)
    if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end()) listener->FormatsChanged();
}

void TcxFormatController::NotifyTimeChanged() {
  const std::vector<IcxFormatsChangeListener*> listeners = FListeners;
  for (IcxFormatsChangeListener* listener : listeners) {
    if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) continue;
    if (auto* timeListener = Supports<IcxSystemTimeListener>(listener)) timeListener->SystemTimeChanged();
  }
}

void TcxFormatController::ResourceStringsChanged() {
  Rebuild();
  NotifyFormatsChanged();
}

void TcxFormatController::Rebuild() {
  FCurrencyPattern = BuildCurrencyPattern();
  FWeekStartDay = LocaleWeekStartDay();
  FPaddedShortDateFormat = BuildPaddedDateFormat(false);
  BuildDateTimeFormats();
}

void TcxFormatController::BuildDateTimeFormats() {
  TokenizeDateTimeFormat(FormatSettings.ShortDateFormat, FDateFormatInfo);
  TokenizeDateTimeFormat(FormatSettings.LongTimeFormat, FTimeFormatInfo);
  TokenizeDateTimeFormat(FormatSettings.ShortDateFormat + " " + FormatSettings.LongTimeFormat, FDateTimeFormatInfo);
  if (!FStandardDateMaskFixed) FStandardDateMask = BuildStandardMask(FDateFormatInfo, 0);
  if (!FRegExprDateMaskFixed) {
    FRegExprDateMask = BuildRegExprMask(FDateFormatInfo, 0);
    AppendSmartWordsToMask(FRegExprDateMask, false);
  }
  if (!FRegExprDateTimeMaskFixed) {
    FRegExprDateTimeMask =
        BuildRegExprMask(FDateFormatInfo, 0) + " ' '(" + BuildRegExprMask(FTimeFormatInfo, 1) + ")?";
    AppendSmartWordsToMask(FRegExprDateTimeMask, true);
  }
  if (!FStandardDateTimeMaskFixed) FStandardDateTimeMask = BuildStandardMask(FDateTimeFormatInfo, 2);
  FDateDisplayFormat = BuildDisplayFormat(FDateFormatInfo);
  FDateTimeDisplayFormat = BuildDisplayFormat(FDateTimeFormatInfo);
}

void TcxFormatController::SetStandardDateMask(const AnsiString& value) {
  FStandardDateMaskFixed = true;
  FStandardDateMask = value;
}

void TcxFormatController::SetStandardDateTimeMask(const AnsiString& value) {
  FStandardDateTimeMaskFixed = true;
  FStandardDateTimeMask = value;
}

void TcxFormatController::SetRegExprDateMask(const AnsiString& value) {
  FRegExprDateMaskFixed = true;
  FRegExprDateMask = value;
}

void TcxFormatController::SetRegExprDateTimeMask(const AnsiString& value) {
  FRegExprDateTimeMaskFixed = true;
  FRegExprDateTimeMask = value;
}

// ---- Format items ----------------------------------------------------------------------------

Integer TcxFormatController::AmPmStyle(const AnsiString& text) {
  if (SameText(text, "A/P")) return 0;
  if (SameText(text, "AM/PM")) return 1;
  return 2;
}

Integer TcxFormatController::FormatItemTextLength(const TcxDateTimeFormatItem& item) {
  switch (item.Kind) {
    case dfiLiteral: return Integer(item.Data.size());
    case dfiYear: return item.Data.size() == 2 ? 2 : 4;
    case dfiMonth:
    case dfiDay: return item.Data.size() > 2 ? 3 : 2;
    case dfiHour:
    case dfiMinute:
    case dfiSecond: return 2;
    case dfiAmPm:
      switch (AmPmStyle(item.Data)) {
        case 0: return 1;
        case 1: return 2;
        default: return LongerAmPmLength();
      }
    case dfiDateSeparator:
    case dfiTimeSeparator: return 1;
    case dfiMillisecond: return 0;
  }
  return 0;
}

Integer TcxFormatController::FormatTextLength(const TcxDateTimeFormatInfo& info) {
  Integer result = 0;
  for (const TcxDateTimeFormatItem& item : info.Items) result += FormatItemTextLength(item);
  return result;
}

Boolean TcxFormatController::FindFormatItemAt(const TcxDateTimeFormatInfo& info, Integer position,
                                              TcxFormatItemPosition& found) {
  if (position <= 0) return false;
  Integer start = 1;
  for (const TcxDateTimeFormatItem& item : info.Items) {
    const Integer length = FormatItemTextLength(item);
    if (start + length > position) {
      found.Kind = item.Kind;
      found.Start = start;
      found.Length = length;
      found.AmPmStyle = item.Kind == dfiAmPm ? AmPmStyle(item.Data) : 0;
      return true;
    }
    start += length;
  }
  return false;
}

// ---- Builders --------------------------------------------------------------------------------

AnsiString TcxFormatController::BuildCurrencyPattern() {
  const TFormatSettings& fs = FormatSettings;
  const AnsiString digits = ",0." + AnsiString(fs.CurrencyDecimals, '0');
  AnsiString symbol;
  for (const char c : fs.CurrencyString) {
    if (c == ',' || c == '.')
      symbol += AnsiString("'") + c + "'";
    else
      symbol += c;
  }
  AnsiString positive;
  switch (fs.CurrencyFormat) {
    case 0: positive = symbol + digits; break;
    case 1: positive = digits + symbol; break;
    case 2: positive = symbol + " " + digits; break;
    default: positive = digits + " " + symbol; break;
  }
  AnsiString negative;
  switch (fs.NegCurrFormat) {
    case 0: negative = "(" + symbol + digits + ")"; break;
    case 1: negative = "-" + symbol + digits; break;
    case 2: negative = symbol + "-" + digits; break;
    case 3: negative = symbol + digits + "-"; break;
    case 4: negative = "(" + digits + symbol + ")"; break;
    case 5: negative = "-" + digits + symbol; break;
    case 6: negative = digits + "-" + symbol; break;
    case 7: negative = digits + symbol + "-"; break;
    case 8: negative = "-" + digits + " " + symbol; break;
    case 9: negative = "-" + symbol + " " + digits; break;
    case 10: negative = digits + " " + symbol + "-"; break;
    case 11: negative = symbol + " " + digits + "-"; break;
    case 12: negative = symbol + " -" + digits; break;
    case 13: negative = digits + "- " + symbol; break;
    case 14: negative = "(" + symbol + " " + digits + ")"; break;
    default: negative = "(" + digits + " " + symbol + ")"; break;
  }
  return positive + ";" + negative;
}

AnsiString TcxFormatController::BuildPaddedDateFormat(Boolean limitMonths) {
  const AnsiString& format = FormatSettings.ShortDateFormat;
  AnsiString result;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == 'd' || c == 'M') {
      const bool before = i > 0 && format[i - 1] == c;
      const bool after = i + 1 < format.size() && format[i + 1] == c;
      if (!before && !after) result += c;
    }
    result += c;
  }
  if (limitMonths) {
    // The first run of more than three "M" is cut to three.
    for (std::size_t i = 0; i < result.size(); ++i) {
      if (result[i] != 'M') continue;
      std::size_t run = 1;
      while (i + run < result.size() && result[i + run] == 'M') ++run;
      if (run > 3) {
        result.erase(i + 3, run - 3);
        break;
      }
      i += run - 1;
    }
  }
  return result;
}

void TcxFormatController::TokenizeDateTimeFormat(const AnsiString& format, TcxDateTimeFormatInfo& info) {
  info.Clear();
  TFormatTokenizer tokenizer(info);
  if (!tokenizer.Parse(format.empty() ? AnsiString("C") : format, 0)) {
    info.Clear();
    return;
  }
  if (info.DefinedItems[dfiHour]) {
    for (TcxDateTimeFormatItem& item : info.Items)
      if (item.Kind == dfiHour) {
        item.Data = (info.Is12HourFormat ? "12" : "24") + item.Data;
        break;
      }
  } else if (info.DefinedItems[dfiAmPm]) {
    std::erase_if(info.Items, [](const TcxDateTimeFormatItem& item) { return item.Kind == dfiAmPm; });
    info.DefinedItems[dfiAmPm] = false;
  }
}

AnsiString TcxFormatController::BuildStandardMask(const TcxDateTimeFormatInfo& info, Integer mode) {
  if (info.Items.empty()) return "";
  AnsiString result = mode == 1 ? "" : "!";
  for (const TcxDateTimeFormatItem& item : info.Items) {
    switch (item.Kind) {
      case dfiLiteral:
        for (const char c : item.Data) result += AnsiString("\\") + c;
        break;
      case dfiYear: result += item.Data.size() == 2 ? "99" : "9999"; break;
      case dfiMonth:
      case dfiDay: result += item.Data.size() > 2 ? "lll" : "99"; break;
      case dfiHour:
      case dfiMinute:
      case dfiSecond: result += mode == 1 ? "00" : "99"; break;
      case dfiAmPm:
        switch (AmPmStyle(item.Data)) {
          case 0: result += "c"; break;
          case 1: result += "cc"; break;
          default: result += AnsiString(LongerAmPmLength(), 'c'); break;
        }
        break;
      case dfiDateSeparator: result += "/"; break;
      case dfiTimeSeparator: result += ":"; break;
      case dfiMillisecond: break;
    }
  }
  return result + (mode == 1 ? ";1;0" : ";1; ");
}

AnsiString TcxFormatController::BuildRegExprMask(const TcxDateTimeFormatInfo& info, Integer mode) {
  if (mode == 2 || info.Items.empty()) return "";
  AnsiString result;
  for (const TcxDateTimeFormatItem& item : info.Items) {
    if (item.Kind == dfiLiteral) {
      result += "'" + item.Data + "'";
      continue;
    }
    if (mode == 0) {
      switch (item.Kind) {
        // A two-digit year also takes the whole year: a date whose short year would read back
        // in another century is written out in full, and the mask must not cut it.
        case dfiYear: result += item.Data == "YY" ? "\\d\\d(\\d\\d)?" : "\\d\\d\\d\\d"; break;
        case dfiMonth:
          result += "((0?[1-9]|1[012])|(" + MonthNamesPattern(item.Data.size() == 4) + "))";
          break;
        case dfiDay: result += "([012]?[1-9]|[123]0|31)"; break;
        case dfiDateSeparator: result += SeparatorPattern(FormatSettings.DateSeparator); break;
        default: break;
      }
    } else {
      switch (item.Kind) {
        case dfiHour:
          result += item.Data.rfind("12", 0) == 0 ? "(0?[1-9]|1[012])" : "([01]?\\d|2[0-3])";
          break;
        case dfiMinute:
        case dfiSecond: result += "[0-5]?\\d"; break;
        case dfiAmPm: {
          const Integer style = AmPmStyle(item.Data);
          if (style == 0) {
            result += "(A|P)?";
          } else if (style == 1) {
            result += "(AM|PM)?";
          } else {
            const AnsiString& am = FormatSettings.TimeAMString;
            const AnsiString& pm = FormatSettings.TimePMString;
            if (!am.empty() && !pm.empty())
              result += "('" + am + "'|'" + pm + "')?";
            else if (!am.empty() || !pm.empty())
              result += "('" + (am.empty() ? pm : am) + "')?";
          }
          break;
        }
        case dfiTimeSeparator: result += SeparatorPattern(FormatSettings.TimeSeparator); break;
        default: break;
      }
    }
  }
  return result;
}

AnsiString TcxFormatController::BuildDisplayFormat(const TcxDateTimeFormatInfo& info) {
  AnsiString result;
  for (const TcxDateTimeFormatItem& item : info.Items) {
    switch (item.Kind) {
      case dfiLiteral: result += "'" + item.Data + "'"; break;
      case dfiYear: result += LowerCase(item.Data); break;
      case dfiMonth: result += item.Data.size() > 2 ? "mmm" : "mm"; break;
      case dfiDay: result += item.Data.size() > 2 ? "ddd" : "dd"; break;
      case dfiHour: result += "hh"; break;
      case dfiMinute: result += "nn"; break;
      case dfiSecond: result += "ss"; break;
      case dfiAmPm: result += LowerCase(item.Data); break;
      case dfiDateSeparator: result += "/"; break;
      case dfiTimeSeparator: result += ":"; break;
      case dfiMillisecond: break;
    }
  }
  return result;
}

TcxFormatController* GetFormatController() {
  // The repository this controller joins must outlive it: make it first.
  GetResourceStringsRepository();
  static TFormatControllerHolder holder;
  if (!gFormatController) holder.Controller.reset(new TcxFormatController);
  return gFormatController;
}
