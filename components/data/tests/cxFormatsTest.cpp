// The format controller: its values under the Russian and the US English locales, the
// tokenizer and the masks built from it, the currency patterns, the item positions the date
// editors step through, and the notices to listeners.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "components/data/cxFormats.h"
#include "components/data/cxLibraryConsts.h"
#include "platform/runtime/Locale.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using TControllerOwner = std::unique_ptr<TcxFormatController, orv::FreeDeleter>;

// Items as "kind:text" separated by "|" (kinds by their letter).
std::string Render(const TcxDateTimeFormatInfo& info) {
  static const char* const kKinds[] = {"L", "Y", "M", "D", "H", "N", "S", "Z", "A", "/", ":"};
  std::string result;
  for (const TcxDateTimeFormatItem& item : info.Items) {
    if (!result.empty()) result += "|";
    result += std::string(kKinds[item.Kind]) + ":" + item.Data;
  }
  return result;
}

std::string Tokens(const AnsiString& format) {
  TcxDateTimeFormatInfo info;
  TcxFormatController::TokenizeDateTimeFormat(format, info);
  return Render(info);
}

const AnsiString kSmartWordsDate =
    "('today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|'Friday'|"
    "'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom')"
    "((\\+|-)\\d(\\d(\\d\\d?)?)?)?";

struct TProfileCase {
  orv::TLocaleProfile Profile;
  const char* Currency;
  Integer WeekStartDay;
  const char* PaddedShortDate;
  const char* DateItems;
  const char* TimeItems;
  const char* StandardDateMask;
  const char* StandardDateTimeMask;
  const char* DateDisplayFormat;
  const char* DateTimeDisplayFormat;
  const char* RegExprDate;  // without the smart words
  const char* RegExprTime;
};

TEST(FormatController, ValuesFollowTheLocaleProfile) {
  const TProfileCase cases[] = {
      {orv::TLocaleProfile::Russian, ",0.00 р'.';-,0.00 р'.'", 1, "dd.MM.yyyy", "D:DD|L:.|M:MM|L:.|Y:YYYY",
       "H:24H|::|N:NN|::|S:SS", "!99\\.99\\.9999;1; ", "!99\\.99\\.9999\\ 99:99:99;1; ", "dd'.'mm'.'yyyy",
       "dd'.'mm'.'yyyy' 'hh:nn:ss",
       "([012]?[1-9]|[123]0|31)'.'((0?[1-9]|1[012])|('янв'|'фев'|'мар'|'апр'|'май'|'июн'|'июл'|'авг'|'сен'|"
       "'окт'|'ноя'|'дек'))'.'\\d\\d\\d\\d",
       "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d"},
      {orv::TLocaleProfile::EnglishUS, "$,0.00;($,0.00)", 0, "MM/dd/yyyy", "M:M|/:|D:D|/:|Y:YYYY",
       "H:12H|::|N:NN|::|S:SS|L: |A:AMPM", "!99/99/9999;1; ", "!99/99/9999\\ 99:99:99\\ cc;1; ", "mm/dd/yyyy",
       "mm/dd/yyyy' 'hh:nn:ss' 'ampm",
       "((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|'Oct'|'Nov'|'Dec'))\\/"
       "([012]?[1-9]|[123]0|31)\\/\\d\\d\\d\\d",
       "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?"},
  };
  for (const TProfileCase& c : cases) {
    orv::TLocaleScope scope(c.Profile);
    TControllerOwner controller(new TcxFormatController);
    SCOPED_TRACE(c.PaddedShortDate);
    EXPECT_EQ(controller->GetCurrencyPattern(), AnsiString(orv::Utf8ToAnsi(c.Currency)));
    EXPECT_EQ(controller->GetWeekStartDay(), c.WeekStartDay);
    EXPECT_EQ(controller->GetFirstWeekday(), c.WeekStartDay);
    EXPECT_EQ(controller->GetPaddedShortDateFormat(), c.PaddedShortDate);
    EXPECT_EQ(Render(controller->GetDateFormatItems()), c.DateItems);
    EXPECT_EQ(Render(controller->GetTimeFormatItems()), c.TimeItems);
    EXPECT_EQ(Render(controller->GetDateTimeFormatItems()),
              std::string(c.DateItems) + "|L: |" + c.TimeItems);
    EXPECT_EQ(controller->GetStandardDateMask(), c.StandardDateMask);
    EXPECT_EQ(controller->GetStandardDateTimeMask(), c.StandardDateTimeMask);
    EXPECT_EQ(controller->GetDateDisplayFormat(), c.DateDisplayFormat);
    EXPECT_EQ(controller->GetDateTimeDisplayFormat(), c.DateTimeDisplayFormat);
    const AnsiString date = orv::Utf8ToAnsi(c.RegExprDate);
    EXPECT_EQ(controller->GetRegExprDateMask(), "(" + date + ")|" + kSmartWordsDate);
    const AnsiString dateTimeWords = AnsiString(kSmartWordsDate).replace(kSmartWordsDate.find("'eom')"), 6,
                                                                         "'eom'|'now')");
    EXPECT_EQ(controller->GetRegExprDateTimeMask(),
              "(" + date + " ' '(" + AnsiString(c.RegExprTime) + ")?)|" + dateTimeWords);
    EXPECT_EQ(controller->GetFirstWeekRule(), 0);
    EXPECT_FALSE(controller->GetUsePlatformFormats());
    EXPECT_FALSE(controller->GetStandardDateTimeMaskFixed());
  }
}

TEST(FormatController, TokenizerReadsEveryFormatLetter) {
  orv::TLocaleScope scope(orv::TLocaleProfile::Russian);
  const struct {
    const char* Format;
    const char* Items;
  } cases[] = {
      {"g.yyyy", ""},                                   // the era letter refuses the format
      {"dd.MM.gg", ""},
      {"h:mm AM/PM", "H:12H|::|N:NN|L: |A:AM/PM"},      // 12-hour with the format's own AM/PM
      {"h:mm a/p", "H:12H|::|N:NN|L: |A:a/p"},
      {"H:mm", "H:24H|::|N:NN"},
      {"dd AM/PM", "D:DD|L: "},                          // AM/PM without an hour is dropped
      {"hh:mm:ss.zzz", "H:24HH|::|N:NN|::|S:SS|L:.|Z:ZZZ"},
      {"HHH", "H:24HH"},
      {"ddddd", "D:DD|L:.|M:MM|L:.|Y:YYYY"},            // the short date, nested
      {"dddddd", "D:D|L: |M:MMMM|L: |Y:YYYY|L: г."},     // the long date with its quoted word
      {"c", "D:DD|L:.|M:MM|L:.|Y:YYYY|L: |H:24H|::|N:NN|::|S:SS"},
      {"", "D:DD|L:.|M:MM|L:.|Y:YYYY|L: |H:24H|::|N:NN|::|S:SS"},
      {"t", "H:24H|::|N:NN"},
      {"tt", "H:24H|::|N:NN|::|S:SS"},
      {"dddd, MMMMM yy", "D:DDDD|L:, |M:MMMM|L: |Y:YY"},
      {"MM/MM", "M:MM|/:"},                              // a second month item is dropped
      {"aaaa aaa", "D:DDDD|L: "},
      {"e", "Y:YY"},
      {"'he said \"x\"' yyyy", "L:he said \"x\" |Y:YYYY"},
      {"\"q'\" d", "L:q' |D:D"},
      {"hh mm", "H:24HH|L: |N:NN"},                    // minutes after hours
      {"mm hh", "M:MM|L: |H:24HH"},
      {"x 'open", "L:x open"},                           // an unclosed quote runs to the end
  };
  for (const auto& c : cases) EXPECT_EQ(Tokens(orv::Utf8ToAnsi(c.Format)), orv::Utf8ToAnsi(c.Items)) << c.Format;
}

TEST(FormatController, MasksAndDisplayFormatsOfFormatItems) {
  orv::TLocaleScope scope(orv::TLocaleProfile::EnglishUS);
  const struct {
    const char* Format;
    const char* Standard0;
    const char* Standard1;
    const char* RegExpr1;
    const char* Display;
  } cases[] = {
      {"h:mm a/p", "!99:99\\ c;1; ", "00:00\\ c;1;0", "(0?[1-9]|1[012])\\:[0-5]?\\d' '(A|P)?", "hh:nn' 'a/p"},
      {"h:mm AM/PM", "!99:99\\ cc;1; ", "00:00\\ cc;1;0", "(0?[1-9]|1[012])\\:[0-5]?\\d' '(AM|PM)?",
       "hh:nn' 'am/pm"},
      {"ddd MMM yy", "!lll\\ lll\\ 99;1; ", "lll\\ lll\\ 99;1;0", "' '' '", "ddd' 'mmm' 'yy"},
      {"g", "", "", "", ""},
  };
  for (const auto& c : cases) {
    TcxDateTimeFormatInfo info;
    TcxFormatController::TokenizeDateTimeFormat(c.Format, info);
    EXPECT_EQ(TcxFormatController::BuildStandardMask(info, 0), c.Standard0) << c.Format;
    EXPECT_EQ(TcxFormatController::BuildStandardMask(info, 1), c.Standard1) << c.Format;
    EXPECT_EQ(TcxFormatController::BuildRegExprMask(info, 1), c.RegExpr1) << c.Format;
    EXPECT_EQ(TcxFormatController::BuildRegExprMask(info, 2), "") << c.Format;
    EXPECT_EQ(TcxFormatController::BuildDisplayFormat(info), c.Display) << c.Format;
  }
  // Long month names with four letters; blank separators as a quoted blank.
  FormatSettings.ShortDateFormat = "d MMMM yyyy";
  FormatSettings.DateSeparator = ' ';
  TcxDateTimeFormatInfo info;
  TcxFormatController::TokenizeDateTimeFormat("d/MMMM", info);
  EXPECT_EQ(TcxFormatController::BuildRegExprMask(info, 0),
            "([012]?[1-9]|[123]0|31)' '((0?[1-9]|1[012])|('January'|'February'|'March'|'April'|'May'|'June'|"
            "'July'|'August'|'September'|'October'|'November'|'December'))");
  // A two-digit year takes two or four digits: a date whose short year would read back in
  // another century is shown with its whole year.
  TcxFormatController::TokenizeDateTimeFormat("dd.MM.yy", info);
  const AnsiString twoDigit = TcxFormatController::BuildRegExprMask(info, 0);
  const AnsiString year = "'.'\\d\\d(\\d\\d)?";
  ASSERT_GT(twoDigit.size(), year.size());
  EXPECT_EQ(twoDigit.substr(twoDigit.size() - year.size()), year);
  // The locale's own AM/PM strings, one of them empty.
  FormatSettings.TimeAMString = "";
  FormatSettings.TimePMString = "pm";
  TcxFormatController::TokenizeDateTimeFormat("h AMPM", info);
  EXPECT_EQ(TcxFormatController::BuildRegExprMask(info, 1), "(0?[1-9]|1[012])' '('pm')?");
  FormatSettings.TimePMString = "";
  EXPECT_EQ(TcxFormatController::BuildRegExprMask(info, 1), "(0?[1-9]|1[012])' '");
}

TEST(FormatController, CurrencyPatternsOfEveryPositionAndNegativeForm) {
  orv::TLocaleScope scope(orv::TLocaleProfile::EnglishUS);
  FormatSettings.CurrencyString = "$";
  FormatSettings.CurrencyDecimals = 2;
  const char* const positive[4] = {"$,0.00", ",0.00$", "$ ,0.00", ",0.00 $"};
  const char* const negative[16] = {"($,0.00)",  "-$,0.00",  "$-,0.00",  "$,0.00-",   "(,0.00$)",  "-,0.00$",
                                    ",0.00-$",   ",0.00$-",  "-,0.00 $", "-$ ,0.00",  ",0.00 $-", "$ ,0.00-",
                                    "$ -,0.00",  ",0.00- $", "($ ,0.00)", "(,0.00 $)"};
  for (Byte position = 0; position < 4; ++position) {
    for (Byte form = 0; form < 16; ++form) {
      FormatSettings.CurrencyFormat = position;
      FormatSettings.NegCurrFormat = form;
      EXPECT_EQ(TcxFormatController::BuildCurrencyPattern(), std::string(positive[position]) + ";" + negative[form]);
    }
  }
  // The symbol's separators are quoted; no decimals leave the bare point.
  FormatSettings.CurrencyString = "S.,";
  FormatSettings.CurrencyDecimals = 0;
  FormatSettings.CurrencyFormat = 1;
  FormatSettings.NegCurrFormat = 5;
  EXPECT_EQ(TcxFormatController::BuildCurrencyPattern(), ",0.S'.'',';-,0.S'.'','");
}

TEST(FormatController, PaddedShortDateFormat) {
  orv::TLocaleScope scope(orv::TLocaleProfile::EnglishUS);
  const struct {
    const char* Format;
    const char* Padded;
    const char* Limited;
  } cases[] = {{"M/d/yyyy", "MM/dd/yyyy", "MM/dd/yyyy"},
               {"d.MMMMM.yy", "dd.MMMMM.yy", "dd.MMM.yy"},
               {"ddd d MMMM", "ddd dd MMMM", "ddd dd MMM"},
               {"D m", "D m", "D m"}};
  for (const auto& c : cases) {
    FormatSettings.ShortDateFormat = c.Format;
    EXPECT_EQ(TcxFormatController::BuildPaddedDateFormat(false), c.Padded);
    EXPECT_EQ(TcxFormatController::BuildPaddedDateFormat(true), c.Limited);
  }
}

TEST(FormatController, FormatItemsAtTextPositions) {
  orv::TLocaleScope scope(orv::TLocaleProfile::Russian);
  TcxDateTimeFormatInfo info;
  TcxFormatController::TokenizeDateTimeFormat("dd.MM.yyyy H:mm:ss", info);
  EXPECT_EQ(TcxFormatController::FormatTextLength(info), 19);
  const struct {
    Integer Position;
    Boolean Found;
    TcxDateTimeFormatItemKind Kind;
    Integer Start, Length;
  } cases[] = {{0, false, dfiLiteral, 0, 0},  {-3, false, dfiLiteral, 0, 0}, {1, true, dfiDay, 1, 2},
               {2, true, dfiDay, 1, 2},       {3, true, dfiLiteral, 3, 1},   {7, true, dfiYear, 7, 4},
               {12, true, dfiHour, 12, 2},    {14, true, dfiTimeSeparator, 14, 1},
               {19, true, dfiSecond, 18, 2},  {20, false, dfiLiteral, 0, 0}};
  for (const auto& c : cases) {
    TcxFormatItemPosition found;
    ASSERT_EQ(TcxFormatController::FindFormatItemAt(info, c.Position, found), c.Found) << c.Position;
    if (!c.Found) continue;
    EXPECT_EQ(found.Kind, c.Kind) << c.Position;
    EXPECT_EQ(found.Start, c.Start) << c.Position;
    EXPECT_EQ(found.Length, c.Length) << c.Position;
  }
  TcxFormatItemPosition found;
  EXPECT_FALSE(TcxFormatController::FindFormatItemAt(TcxDateTimeFormatInfo(), 1, found));

  // AM/PM items: one letter for A/P, two for AM/PM, else the longer locale string.
  FormatSettings.TimeAMString = "vorm.";
  FormatSettings.TimePMString = "nachm.";
  const struct {
    const char* Format;
    Integer Length, Style;
  } ampm[] = {{"h A/P", 1, 0}, {"h am/pm", 2, 1}, {"h AMPM", 6, 2}};
  for (const auto& c : ampm) {
    TcxFormatController::TokenizeDateTimeFormat(c.Format, info);
    ASSERT_TRUE(TcxFormatController::FindFormatItemAt(info, 4, found)) << c.Format;
    EXPECT_EQ(found.Kind, dfiAmPm);
    EXPECT_EQ(found.Length, c.Length) << c.Format;
    EXPECT_EQ(found.AmPmStyle, c.Style) << c.Format;
  }
  EXPECT_EQ(TcxFormatController::FormatItemTextLength({dfiMonth, "MMM"}), 3);
  EXPECT_EQ(TcxFormatController::FormatItemTextLength({dfiYear, "YY"}), 2);
  EXPECT_EQ(TcxFormatController::FormatItemTextLength({dfiMillisecond, "ZZZ"}), 0);
}

// ---- Notices ----------------------------------------------------------------------------------

class TRecordingListener : public IcxFormatsChangeListener {
 public:
  Integer Changes = 0;
  std::function<void()> OnChange;
  void FormatsChanged() override {
    ++Changes;
    if (OnChange) OnChange();
  }
};

class TTimeListener : public TRecordingListener, public IcxSystemTimeListener {
 public:
  Integer TimeChanges = 0;
  void SystemTimeChanged() override { ++TimeChanges; }
};

class TEditorListener : public IcxLocaleFormatListener {
 public:
  Integer Changes = 0;
  void FormatChanged() override { ++Changes; }
};

void BroadcastIntl() {
  static const char kIntl[] = "intl";
  SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kIntl));
}

class FormatControllerNotices : public ::testing::Test {
 protected:
  void SetUp() override { orv::headless::Reset(); }
  orv::TLocaleScope FScope{orv::TLocaleProfile::Russian};
};

TEST_F(FormatControllerNotices, RegionalSettingsRebuildOnlyWithListenersAndNotifyEachOnce) {
  TControllerOwner controller(new TcxFormatController);
  EXPECT_EQ(controller->GetWindowHandle(), nullptr);
  // Without listeners there is no window: the broadcast reaches nobody.
  FormatSettings.ShortDateFormat = "yyyy-MM-dd";
  BroadcastIntl();
  EXPECT_EQ(controller->GetStandardDateMask(), "!99\\.99\\.9999;1; ");

  TRecordingListener first;
  TTimeListener second;
  TEditorListener editor;
  controller->AddFormatListener(&first);
  controller->AddFormatListener(&second);
  controller->AddFormatListener(&first);  // at most once
  controller->AddFormatListener(&editor);
  EXPECT_EQ(controller->GetListenerCount(), 3);
  ASSERT_NE(controller->GetWindowHandle(), nullptr);

  BroadcastIntl();
  EXPECT_EQ(controller->GetStandardDateMask(), "!9999\\-99\\-99;1; ");
  EXPECT_EQ(first.Changes, 1);
  EXPECT_EQ(second.Changes, 1);
  EXPECT_EQ(editor.Changes, 1);

  // Other sections, a non-zero action and other messages are not regional settings.
  static const char kOther[] = "Windows";
  SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kOther));
  SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 0x2A, 0);
  EXPECT_EQ(first.Changes, 1);

  // The time broadcast reaches only the time listeners.
  SendMessage(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(second.TimeChanges, 1);
  EXPECT_EQ(first.Changes, 1);

  controller->RemoveFormatListener(&first);
  controller->RemoveFormatListener(&second);
  EXPECT_NE(controller->GetWindowHandle(), nullptr);
  controller->RemoveFormatListener(&editor);
  EXPECT_EQ(controller->GetWindowHandle(), nullptr);
  controller->RemoveFormatListener(&editor);  // absent: nothing
}

TEST_F(FormatControllerNotices, ANewListenerBringsBackAWindowDestroyedUnderTheController) {
  TControllerOwner controller(new TcxFormatController);
  TRecordingListener kept, later;
  controller->AddFormatListener(&kept);
  ASSERT_NE(controller->GetWindowHandle(), nullptr);
  orv::headless::Reset();  // the desktop goes, the long-lived controller and its listener stay
  controller->AddFormatListener(&later);
  ASSERT_NE(controller->GetWindowHandle(), nullptr);
  EXPECT_TRUE(IsWindow(controller->GetWindowHandle()));
  BroadcastIntl();
  EXPECT_EQ(kept.Changes, 1);
  EXPECT_EQ(later.Changes, 1);
  controller->RemoveFormatListener(&kept);
  controller->RemoveFormatListener(&later);
}

TEST_F(FormatControllerNotices, ReplacedSmartWordsRebuildTheMasks) {
  TControllerOwner controller(new TcxFormatController);
  TRecordingListener listener;
  controller->AddFormatListener(&listener);
  cxSetResourceString(&cxSDateToday, "heute");
  controller->TranslationChanged();
  cxSetResourceString(&cxSDateToday, "today");
  EXPECT_EQ(listener.Changes, 1);
  EXPECT_NE(controller->GetRegExprDateMask().find("|('heute'|'yesterday'"), AnsiString::npos);
  controller->RemoveFormatListener(&listener);
}

TEST_F(FormatControllerNotices, ListenersMayLeaveWhileBeingTold) {
  TControllerOwner controller(new TcxFormatController);
  TRecordingListener a, b, c;
  a.OnChange = [&] {
    controller->RemoveFormatListener(&a);
    controller->RemoveFormatListener(&b);
  };
  controller->AddFormatListener(&a);
  controller->AddFormatListener(&b);
  controller->AddFormatListener(&c);
  controller->NotifyFormatsChanged();
  EXPECT_EQ(a.Changes, 1);
  EXPECT_EQ(b.Changes, 0);
  EXPECT_EQ(c.Changes, 1);
  controller->RemoveFormatListener(&c);
}

TEST_F(FormatControllerNotices, ApplicationMasksSurviveRebuilds) {
  TControllerOwner controller(new TcxFormatController);
  controller->SetStandardDateTimeMask("!99.99.99;1;_");
  EXPECT_TRUE(controller->GetStandardDateTimeMaskFixed());
  controller->Rebuild();
  EXPECT_EQ(controller->GetStandardDateTimeMask(), "!99.99.99;1;_");
  EXPECT_EQ(controller->GetStandardDateMask(), "!99\\.99\\.9999;1; ");
}

TEST(FormatController, OneControllerPerProgram) {
  TcxFormatController* controller = GetFormatController();
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(GetFormatController(), controller);
  // A second controller does not replace the program's one.
  TControllerOwner other(new TcxFormatController);
  EXPECT_EQ(GetFormatController(), controller);
}

}  // namespace
