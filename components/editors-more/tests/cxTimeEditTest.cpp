// The time editor: the six layouts' texts, spinning the part under the caret (with and without
// Circular), the digit and AM/PM rules while typing, the date kept under a new time, and a time
// round-tripping through a dataset field.
#include <gtest/gtest.h>

#include <cmath>

#include "components/editors-more/cxEditDBRegisteredRepositoryItems.h"
#include "components/editors-more/cxEditRepositoryItems.h"
#include "components/editors-more/cxTimeEdit.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/Locale.h"

using namespace edmore_test;

namespace {

constexpr Double kTime130509 = (13 * 3600 + 5 * 60 + 9) / 86400.0;

class TimeEditTest : public FormTest {
 protected:
  TcxTimeEdit* AddEdit(Integer x = 10, Integer y = 10) {
    auto* e = new TcxTimeEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(x, y, 100, 21);
    return e;
  }
  // Focuses the editor and puts the caret at a 0-based text position.
  static void FocusAt(TcxTimeEdit* e, Integer caret) {
    e->SetFocus();
    Run();
    e->SetSelection(caret, 0);
  }
  static void Press(int key) {
    orv::headless::PressKey(key);
    Run();
  }
  static void Type(const char* text) {
    orv::headless::TypeText(text);
    Run();
  }
  static Integer Seconds(TcxTimeEdit* e) { return Integer(std::lround(e->GetValue().AsDouble())); }
};

}  // namespace

TEST_F(TimeEditTest, LayoutsShowTheTimeAndValueCountsSeconds) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  TcxTimeEdit* e = AddEdit();
  TcxTimeEdit* other = AddEdit(10, 40);
  Show();
  e->SetTime(kTime130509);
  struct Case {
    TcxTimeEditTimeFormat format;
    bool use24;
    const char* text;
  };
  const Case cases[] = {
      {tfHourMinSec, true, "13:05:09"}, {tfHourMinSec, false, "01:05:09 PM"}, {tfHourMin, true, "13:05"},
      {tfHourMin, false, "01:05 PM"},   {tfHour, true, "13"},                  {tfHour, false, "01 PM"},
  };
  for (const Case& c : cases) {
    e->GetProperties()->SetTimeFormat(c.format);
    e->GetProperties()->SetUse24HourFormat(c.use24);
    EXPECT_EQ(e->GetText(), AnsiString(c.text)) << c.text << " unfocused";
    e->SetFocus();
    Run();
    EXPECT_EQ(e->GetText(), AnsiString(c.text)) << c.text << " focused";
    const Integer expected = c.format == tfHourMinSec ? 13 * 3600 + 5 * 60 + 9 : c.format == tfHourMin ? 13 * 3600 + 5 * 60 : 13 * 3600;
    EXPECT_EQ(Seconds(e), expected) << c.text;
    other->SetFocus();
    Run();
  }
  e->GetProperties()->SetTimeFormat(tfHourMinSec);
  e->GetProperties()->SetUse24HourFormat(true);
  e->SetEditValue(Null());
  EXPECT_EQ(e->GetText(), "") << "Null shows nothing unfocused";
  e->SetFocus();
  Run();
  EXPECT_EQ(e->GetText(), "00:00:00") << "and midnight while editing";
}

TEST_F(TimeEditTest, ArrowsSpinThePartUnderTheCaret) {
  TcxTimeEdit* e = AddEdit();
  Show();
  struct Case {
    const char* start;
    Integer caret;
    int key;
    bool circular;
    const char* text;
    Integer selStart;
  };
  const Case cases[] = {
      {"10:20:30", 3, VK_UP, false, "10:21:30", 4},     // minutes step by 60 seconds
      {"10:20:30", 0, VK_DOWN, false, "09:20:30", 1},   // hours by 3600
      {"10:20:30", 7, VK_UP, false, "10:20:31", 7},     // seconds by 1
      {"23:59:30", 0, VK_UP, false, "23:59:30", 1},     // past midnight is refused
      {"23:59:30", 0, VK_UP, true, "00:59:30", 1},      // or wraps
      {"23:59:59", 7, VK_UP, true, "00:00:00", 7},      // the last second of the day wraps to 0
      {"00:10:00", 0, VK_DOWN, true, "23:10:00", 1},
  };
  for (const Case& c : cases) {
    e->GetProperties()->SetCircular(c.circular);
    e->SetEditValue(Variant::FromDate(StrToTime(c.start)));
    FocusAt(e, c.caret);
    Press(c.key);
    EXPECT_EQ(e->GetText(), AnsiString(c.text)) << c.start << " caret " << c.caret;
    EXPECT_EQ(e->GetSelectionStart(), c.selStart) << c.start << " caret " << c.caret;
    EXPECT_EQ(e->GetSelectionLength(), 1) << "the part's last digit is selected";
  }
}

TEST_F(TimeEditTest, SpinButtonsStepThePartUnderTheCaret) {
  TcxTimeEdit* e = AddEdit();
  Show();
  e->SetEditValue(Variant::FromDate(StrToTime("10:20:30")));
  FocusAt(e, 3);
  TcxCustomEditViewInfo* info = e->GetEditViewInfo();
  ASSERT_EQ(info->GetButtonCount(), 2);
  auto centre = [&](Integer button) {
    const TRect r = info->GetButton(button)->Bounds;
    return e->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  };
  const TPoint up = centre(1);
  const TPoint down = centre(0);
  orv::headless::Click(up.X, up.Y);
  Run();
  EXPECT_EQ(e->GetText(), "10:21:30");
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(down.X, down.Y);
  Run();
  EXPECT_EQ(e->GetText(), "10:20:30") << "the lower button steps down";
  orv::headless::AdvanceTime(1000);
  // A click into the hours moves the caret there: the buttons then step hours.
  const TPoint hours = e->ClientToScreen(TPoint{5, e->GetHeight() / 2});
  orv::headless::Click(hours.X, hours.Y);
  Run();
  orv::headless::Click(up.X, up.Y);
  Run();
  EXPECT_EQ(e->GetText(), "11:20:30");
}

TEST_F(TimeEditTest, ArrowsOnTheAmPmPartSwapIt) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  TcxTimeEdit* e = AddEdit();
  e->GetProperties()->SetUse24HourFormat(false);
  Show();
  for (int key : {VK_UP, VK_DOWN}) {
    e->SetTime(kTime130509);
    FocusAt(e, 9);
    Press(key);
    EXPECT_EQ(e->GetText(), "01:05:09 AM") << key;
    EXPECT_EQ(e->GetSelectionStart(), 9);
    EXPECT_EQ(e->GetSelectionLength(), 2) << "the new AM text is selected";
    Press(key);
    EXPECT_EQ(e->GetText(), "01:05:09 PM") << key;
  }
}

TEST_F(TimeEditTest, TypedDigitsKeepEachPartInRange) {
  TcxTimeEdit* e = AddEdit();
  Show();
  struct Case {
    const char* start;
    Integer caret;
    const char* typed;
    const char* text;
    Integer caretAfter;
  };
  const Case cases[] = {
      {"00:00:00", 0, "5", "05:00:00", 3},   // above 2: the hour becomes 0 and 5
      {"09:00:00", 0, "2", "20:00:00", 1},   // 29 is no hour: 2 starts it, the second digit 0
      {"20:00:00", 1, "7", "07:00:00", 3},   // 27 is no hour: the first digit becomes 0
      {"10:00:00", 0, "0", "00:00:00", 1},   // 00 is an hour of the 24-hour clock
      {"12:00:00", 3, "7", "12:07:00", 6},   // minutes above 5 likewise
      {"12:34:56", 3, "6", "12:06:56", 6},
      {"12:34:56", 0, "1", "12:34:56", 1},   // in range: written as typed
      {"12:34:56", 0, "15", "15:34:56", 3},
  };
  for (const Case& c : cases) {
    e->SetEditValue(Variant::FromDate(StrToTime(c.start)));
    FocusAt(e, c.caret);
    Type(c.typed);
    EXPECT_EQ(e->GetText(), AnsiString(c.text)) << c.start << " + " << c.typed;
    EXPECT_EQ(e->GetSelectionStart(), c.caretAfter) << c.start << " + " << c.typed;
  }
}

TEST_F(TimeEditTest, TwelveHourFormRefusesZeroHourAndTakesAmPmLetters) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  TcxTimeEdit* e = AddEdit();
  e->GetProperties()->SetUse24HourFormat(false);
  Show();
  e->SetEditValue(Variant::FromDate(StrToTime("10:00:00 AM")));
  FocusAt(e, 0);
  Type("0");
  EXPECT_EQ(e->GetText(), "01:00:00 AM") << "0 in front of 10 gives 01";
  Type("0");
  EXPECT_EQ(e->GetText(), "01:00:00 AM") << "00 is no hour of the 12-hour clock";
  EXPECT_EQ(e->GetSelectionStart(), 1);
  for (const char* letter : {"p", "P"}) {
    e->SetEditValue(Variant::FromDate(StrToTime("10:00:00 AM")));
    FocusAt(e, 9);
    Type(letter);
    EXPECT_EQ(e->GetText(), "10:00:00 PM") << letter;
    EXPECT_EQ(e->GetSelectionStart(), 11) << "the caret stands behind the PM text";
  }
  Type("x");
  EXPECT_EQ(e->GetText(), "10:00:00 PM");

  // Deleting everything leaves the AM/PM text; the digits become zeros.
  e->SelectAll();
  Press(VK_DELETE);
  EXPECT_EQ(e->GetText(), "00:00:00 PM");
}

TEST_F(TimeEditTest, NewTimeKeepsTheDateOfTheValue) {
  TcxTimeEdit* e = AddEdit();
  Show();
  const TDateTime day = EncodeDate(2000, 1, 2);
  e->SetEditValue(Variant::FromDate(day + 10 / 24.0));
  e->SetTime(0.75);
  Variant v;
  e->GetEditValue(v);
  EXPECT_DOUBLE_EQ(v.AsDouble(), day + 0.75);
  // Typing keeps the date too.
  FocusAt(e, 0);
  Type("08");
  Press(VK_RETURN);
  e->GetEditValue(v);
  EXPECT_DOUBLE_EQ(v.AsDouble(), day + 8 / 24.0 + 0.75 - 18 / 24.0);
  e->Clear();
  e->GetEditValue(v);
  EXPECT_DOUBLE_EQ(v.AsDouble(), day) << "clearing sets midnight of the same day";
}

TEST_F(TimeEditTest, TimeRoundTripsThroughADatasetField) {
  Owned<TComponent> root(new TComponent(nullptr));
  auto* data = new TRxMemoryData(root.get());
  data->GetFieldDefs().Add("START", ftTime);
  data->Open();
  data->Append();
  TField* field = data->FieldByName("START");
  field->SetValue(Variant::FromDate(StrToTime("07:45:00")));
  data->Post();

  // Time fields get a time editor by default.
  TcxEditRepositoryItem* item = FieldTypeEditorRegistry()->ItemForField(field);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->GetProperties()->InheritsFrom(TcxTimeEditProperties::StaticClass()));

  TcxTimeEdit* e = AddEdit();
  Show();
  e->SetEditValue(field->GetValue());
  EXPECT_EQ(e->GetText(), "07:45:00");
  FocusAt(e, 3);
  Press(VK_UP);
  Press(VK_RETURN);
  data->Edit();
  Variant v;
  e->GetEditValue(v);
  field->SetValue(v);
  data->Post();
  EXPECT_EQ(FormatDateTime("hh:nn:ss", field->GetAsDateTime()), "07:46:00");
}

TEST_F(TimeEditTest, GoldenLayouts) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  Form->SetBounds(100, 100, 230, 64);
  const TcxTimeEditTimeFormat formats[3] = {tfHourMinSec, tfHourMin, tfHour};
  for (int i = 0; i < 6; ++i) {
    TcxTimeEdit* e = AddEdit(4 + (i % 2) * 114, 4 + (i / 2) * 20);
    e->SetWidth(108);
    e->GetProperties()->SetTimeFormat(formats[i / 2]);
    e->GetProperties()->SetUse24HourFormat(i % 2 == 0);
    e->SetTime(kTime130509);
  }
  Show();
  ExpectGolden(Form.get(), "timeedit-layouts");
}

