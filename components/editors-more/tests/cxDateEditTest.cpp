// The date editor: the kind's defaults, dates typed and confirmed with Enter (29 February of leap
// and common years, the time of day kept under a new date, unreadable texts by DateOnError), typing
// into the date-and-time mask, a two-digit-year format, the OnValidate handler, the drop-down
// calendar driven by keys and mouse, bounds, and a date round-tripping through a dataset field.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "components/data/cxDateUtils.h"
#include "components/data/cxFormats.h"
#include "components/editors-more/cxDateEdit.h"
#include "components/editors-more/cxEditDBRegisteredRepositoryItems.h"
#include "components/editors-more/cxEditRepositoryItems.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/editors/cxButtons.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/DateTime.h"

using namespace edmore_test;

namespace {

TDateTime FixedDateEditNow() { return EncodeDate(2024, 2, 14) + 10.5 / 24; }

class DateEditTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    FSavedNow = orv::SetNowFunction(&FixedDateEditNow);
  }
  void TearDown() override {
    orv::SetNowFunction(FSavedNow);
    FormTest::TearDown();
  }
  TcxDateEdit* AddEdit(Integer y = 10) {
    auto* e = new TcxDateEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(10, y, 120, 21);
    return e;
  }
  // Focuses, replaces the whole text by typing and confirms with Enter.
  static void TypeAndEnter(TcxDateEdit* e, const char* text) {
    e->SetFocus();
    Run();
    e->SelectAll();
    orv::headless::PressKey(VK_DELETE);
    Run();
    e->SetSelection(0, 0);
    orv::headless::TypeText(text);
    Run();
    orv::headless::PressKey(VK_RETURN);
    Run();
  }
  static AnsiString Stamp(TDateTime d) { return d == NullDate ? AnsiString("null") : FormatDateTime("yyyy-mm-dd hh:nn", d); }
  orv::TNowFunction FSavedNow = nullptr;
};

}  // namespace

TEST_F(DateEditTest, KindDecidesInputKindAndButtonsUnlessAssigned) {
  Owned<TcxDateEditProperties> p(new TcxDateEditProperties(nullptr));
  EXPECT_EQ(p->GetKind(), ckDate);
  EXPECT_EQ(p->GetInputKind(), ikRegExpr);
  EXPECT_EQ(p->GetDateButtons(), (TDateButtons{btnClear, btnToday}));
  p->SetKind(ckDateTime);
  EXPECT_EQ(p->GetInputKind(), ikMask);
  EXPECT_EQ(p->GetDateButtons(), (TDateButtons{btnClear, btnNow}));
  p->SetInputKind(ikStandard);
  p->SetDateButtons(TDateButtons{btnToday});
  p->SetKind(ckDate);
  EXPECT_EQ(p->GetInputKind(), ikStandard) << "an assigned kind stays";
  EXPECT_EQ(p->GetDateButtons(), TDateButtons{btnToday});
  // Bounds: 0 means none; a minimum after the maximum disables both.
  EXPECT_FALSE(p->IsValueBoundsDefined());
  p->SetMinDate(EncodeDate(2024, 1, 1));
  EXPECT_TRUE(p->IsValueBoundDefined(0));
  EXPECT_FALSE(p->IsValueBoundDefined(1));
  p->SetMaxDate(EncodeDate(2023, 1, 1));
  EXPECT_FALSE(p->IsValueBoundsDefined());
  EXPECT_FALSE(p->IsValueBoundDefined(0));
}

TEST_F(DateEditTest, TypedDatesAreConfirmedWithEnter) {
  TcxDateEdit* e = AddEdit();
  e->GetProperties()->SetDateOnError(deNull);
  Show();
  struct Case {
    const char* typed;
    const char* value;
  };
  const Case cases[] = {
      {"29.02.2024", "2024-02-29 00:00"},
      {"29.02.2023", "null"},  // no such day: DateOnError deNull
      {"01.03.2023", "2023-03-01 00:00"},
  };
  for (const Case& c : cases) {
    TypeAndEnter(e, c.typed);
    EXPECT_EQ(Stamp(e->GetDate()), AnsiString(c.value)) << c.typed;
  }
  e->GetProperties()->SetDateOnError(deToday);
  TypeAndEnter(e, "31.02.2024");
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-14 00:00") << "an unreadable text becomes today";
}

TEST_F(DateEditTest, DateKindKeepsTheTimeOfDayUnderANewDate) {
  TcxDateEdit* e = AddEdit();
  Show();
  e->SetEditValue(Variant::FromDate(EncodeDate(2024, 3, 5) + 10.5 / 24));
  TypeAndEnter(e, "29.02.2024");
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-29 10:30");
  e->GetProperties()->SetShowTime(false);
  Form->SetFocus();
  Run();
  EXPECT_EQ(e->GetText(), "29.02.2024");
  // Clearing the text gives the saved time alone.
  e->SetFocus();
  Run();
  e->SelectAll();
  orv::headless::PressKey(VK_DELETE);
  orv::headless::PressKey(VK_RETURN);
  Run();
  Variant v;
  e->GetEditValue(v);
  ASSERT_FALSE(VarIsNull(v));
  EXPECT_DOUBLE_EQ(v.AsDouble(), 10.5 / 24);
}

TEST_F(DateEditTest, PopupCalendarPicksADay) {
  TcxDateEdit* e = AddEdit();
  Show();
  e->SetDate(EncodeDate(2024, 2, 10));
  e->SetFocus();
  Run();
  orv::headless::PressKey(VK_DOWN, false, false, true);
  Run();
  ASSERT_TRUE(e->HasOpenPopup());
  TcxPopupCalendar* c = e->GetCalendar();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", c->GetSelectedDate()), "2024-02-10");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", c->GetDisplayMonth()), "2024-02-01");
  // Keys move the calendar's selection; Enter takes it.
  orv::headless::PressKey(VK_END, false, true);
  Run();
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-29 00:00");
  // The mouse: a click on a day chooses it and closes.
  orv::headless::PressKey(VK_F4);
  Run();
  ASSERT_TRUE(e->HasOpenPopup());
  const TRect cell = c->GetCellRect(2, 1);  // Wednesday of the second row: 7 February
  const TPoint p = c->ClientToScreen(TPoint{(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2});
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-07 00:00");
  // Escape closes without a change.
  orv::headless::PressKey(VK_F4);
  Run();
  orv::headless::PressKey(VK_LEFT);
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-07 00:00");
  // With PostPopupValueOnTab, Tab takes the calendar's day and closes.
  e->GetProperties()->SetPostPopupValueOnTab(true);
  orv::headless::PressKey(VK_F4);
  Run();
  orv::headless::PressKey(VK_RIGHT);
  orv::headless::PressKey(VK_TAB);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-08 00:00");
}

TEST_F(DateEditTest, DateRoundTripsThroughADatasetField) {
  Owned<TComponent> root(new TComponent(nullptr));
  auto* data = new TRxMemoryData(root.get());
  data->GetFieldDefs().Add("FOUNDED", ftDate);
  data->Open();
  data->Append();
  TField* field = data->FieldByName("FOUNDED");
  field->SetValue(Variant::FromDate(EncodeDate(1147, 4, 4)));
  data->Post();
  TcxEditRepositoryItem* item = FieldTypeEditorRegistry()->ItemForField(field);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->GetProperties()->InheritsFrom(TcxDateEditProperties::StaticClass()));

  TcxDateEdit* e = AddEdit();
  Show();
  e->SetEditValue(field->GetValue());
  EXPECT_EQ(e->GetText(), "04.04.1147");
  TypeAndEnter(e, "29.02.2024");
  data->Edit();
  Variant v;
  e->GetEditValue(v);
  field->SetValue(v);
  data->Post();
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", field->GetAsDateTime()), "2024-02-29");
}

TEST_F(DateEditTest, EscapeWithTheOkButtonFocusedCancelsTheDateTimePopup) {
  TcxDateEdit* e = AddEdit();
  e->GetProperties()->SetKind(ckDateTime);
  Show();
  e->SetDate(EncodeDate(2024, 2, 10) + 0.5);
  e->SetFocus();
  Run();
  orv::headless::PressKey(VK_F4);
  Run();
  ASSERT_TRUE(e->HasOpenPopup());
  TcxPopupCalendar* c = e->GetCalendar();
  c->GetButton(btnOk)->SetFocus();
  Run();
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(e->GetCloseReason(), dcrCancel);
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-10 12:00");
}

namespace {

// A short date format with a two-digit year, undone (with the format controller rebuilt) on leaving.
class TTwoDigitYearScope {
 public:
  TTwoDigitYearScope() {
    FormatSettings.ShortDateFormat = "dd.MM.yy";
    Broadcast();
  }
  ~TTwoDigitYearScope() {
    FormatSettings = FSaved;
    Broadcast();
  }

 private:
  static void Broadcast() {
    static const char kIntl[] = "intl";
    SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kIntl));
  }
  TFormatSettings FSaved = FormatSettings;
};

class TValidateLog : public TObject {
 public:
  void Validate(TObject*, Variant& displayValue, AnsiString& errorText, Boolean& error) {
    Seen.push_back(VarToStr(displayValue));
    SeenError.push_back(error);
    if (Replacement) displayValue = Variant(AnsiString(Replacement));
    if (Reject) {
      error = true;
      errorText = "Not a founding date";
    }
    if (Accept) error = false;
  }
  std::vector<AnsiString> Seen;
  std::vector<Boolean> SeenError;
  const char* Replacement = nullptr;
  bool Reject = false;
  bool Accept = false;
};

}  // namespace

TEST_F(DateEditTest, TwoDigitYearFormatShowsDatesThatReadBackAsTheSameDay) {
  TTwoDigitYearScope format;
  TcxDateEdit* e = AddEdit();
  e->GetProperties()->SetInputKind(ikStandard);
  Show();
  struct Case {
    TDateTime value;
    const char* chosen;  // the text a date picked in the calendar shows
    const char* kept;    // the value after focusing, retyping nothing and confirming
  };
  const Case cases[] = {
      {EncodeDate(2024, 2, 29), "29.02.24", "2024-02-29 00:00"},
      {EncodeDate(1147, 4, 4), "04.04.1147", "1147-04-04 00:00"},   // "47" would read as 2047
      {EncodeDate(1950, 12, 31), "31.12.1950", "1950-12-31 00:00"},  // "50" would read as 2050
  };
  for (const Case& c : cases) {
    EXPECT_EQ(e->GetDateDisplayText(c.value), AnsiString(c.chosen)) << c.chosen;
    e->SetDate(c.value);
    e->SetFocus();
    Run();
    // A change and its undoing mark the text as edited, so Enter reads it back.
    orv::headless::PressKey(VK_END);
    orv::headless::TypeText("1");
    orv::headless::PressKey(VK_BACK);
    orv::headless::PressKey(VK_RETURN);
    Run();
    EXPECT_EQ(Stamp(e->GetDate()), AnsiString(c.kept)) << c.chosen << " shown as " << e->GetText();
    Form->SetFocus();
    Run();
  }
}

TEST_F(DateEditTest, TwoDigitYearFormatKeepsTheWholeYearUnderTheRegularExpressionMask) {
  TTwoDigitYearScope format;
  TcxDateEdit* e = AddEdit();
  ASSERT_EQ(e->GetProperties()->GetInputKind(), ikRegExpr);
  Show();
  struct Case {
    TDateTime value;
    const char* editing;  // the focused text
    const char* kept;     // the value after confirming it unchanged
  };
  const Case cases[] = {
      {EncodeDate(2024, 2, 29), "29.02.24", "2024-02-29 00:00"},
      {EncodeDate(1950, 12, 31), "31.12.1950", "1950-12-31 00:00"},  // "50" would read as 2050
  };
  for (const Case& c : cases) {
    e->SetDate(c.value);
    e->SetFocus();
    Run();
    EXPECT_EQ(e->GetText(), AnsiString(c.editing));
    orv::headless::PressKey(VK_END);
    orv::headless::PressKey(VK_BACK);
    orv::headless::TypeText(AnsiString(1, c.editing[std::strlen(c.editing) - 1]).c_str());
    orv::headless::PressKey(VK_RETURN);
    Run();
    EXPECT_EQ(Stamp(e->GetDate()), AnsiString(c.kept)) << c.editing << " shown as " << e->GetText();
    Form->SetFocus();
    Run();
  }
  // Both a two-digit and a four-digit year can be typed.
  TypeAndEnter(e, "01.03.1877");
  EXPECT_EQ(Stamp(e->GetDate()), "1877-03-01 00:00");
  EXPECT_EQ(e->GetText(), "01.03.1877") << "the confirmed text keeps its whole year";
  orv::headless::PressKey(VK_BACK);
  orv::headless::TypeText("7");
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(Stamp(e->GetDate()), "1877-03-01 00:00") << "confirmed again as shown";
  TypeAndEnter(e, "01.03.23");
  EXPECT_EQ(Stamp(e->GetDate()), "2023-03-01 00:00");
}

TEST_F(DateEditTest, TypingIntoTheDateTimeMask) {
  TcxDateEdit* e = AddEdit();
  e->GetProperties()->SetKind(ckDateTime);
  ASSERT_EQ(e->GetProperties()->GetInputKind(), ikMask);
  Show();
  struct Case {
    const char* typed;
    const char* text;
    const char* value;
  };
  const Case cases[] = {
      {"290220241430", "29.02.2024 14:30:00", "2024-02-29 14:30"},
      {"2902202491545", "29.02.2024 09:15:45", "2024-02-29 09:15"},   // 9 can only be a second digit
      {"0103202323", "01.03.2023 23:00:00", "2023-03-01 23:00"},
      {"01032023295", "01.03.2023 09:50:00", "2023-03-01 09:50"},      // 29 is no hour: 9 becomes 09
  };
  for (const Case& c : cases) {
    e->SetEditValue(Null());
    e->SetFocus();
    Run();
    EXPECT_EQ(e->GetText(), "  .  .     00:00:00") << "an empty date-and-time mask shows midnight";
    e->SetSelection(0, 0);
    orv::headless::TypeText(c.typed);
    Run();
    EXPECT_EQ(e->GetText(), AnsiString(c.text)) << c.typed;
    orv::headless::PressKey(VK_RETURN);
    Run();
    EXPECT_EQ(Stamp(e->GetDate()), AnsiString(c.value)) << c.typed;
    Form->SetFocus();
    Run();
  }
}

TEST_F(DateEditTest, OnValidateSeesTheTextAndDecides) {
  TcxDateEdit* e = AddEdit();
  TValidateLog log;
  e->GetProperties()->SetOnValidate(TcxEditValidateEvent(&log, &TValidateLog::Validate));
  Show();
  e->SetDate(EncodeDate(2024, 2, 10));
  // A readable date reaches the handler normalised and without an error.
  TypeAndEnter(e, "1.3.2024");
  ASSERT_EQ(log.Seen.size(), 1u);
  EXPECT_EQ(log.Seen[0], "01.03.2024");
  EXPECT_FALSE(log.SeenError[0]);
  EXPECT_EQ(Stamp(e->GetDate()), "2024-03-01 00:00");
  // The handler's text is taken in place of the typed one.
  log.Replacement = "04.04.1147";
  TypeAndEnter(e, "05.05.2024");
  EXPECT_EQ(Stamp(e->GetDate()), "1147-04-04 00:00");
  // An unreadable text reaches the handler as an error; the handler may accept a date of its own.
  log.Seen.clear();
  log.SeenError.clear();
  log.Replacement = "29.02.2024";
  log.Accept = true;
  TypeAndEnter(e, "31.02.2024");
  ASSERT_EQ(log.SeenError.size(), 1u);
  EXPECT_TRUE(log.SeenError[0]);
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-29 00:00");
  // A rejection raises the handler's message and keeps the value.
  log.Replacement = nullptr;
  log.Accept = false;
  log.Reject = true;
  e->SetFocus();
  Run();
  e->SelectAll();
  e->SetSelection(0, 0);
  orv::headless::PressKey(VK_DELETE);
  orv::headless::TypeText("1");
  Run();
  try {
    e->ValidateEditValue(true);
    FAIL() << "no validation error";
  } catch (const EcxEditValidationError& error) {
    EXPECT_EQ(error.GetMessage(), "Not a founding date");
  }
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-29 00:00");
}

TEST_F(DateEditTest, DateOnErrorNoChangeRefusesAnUnreadableTextAndKeepsTheDate) {
  TcxDateEdit* e = AddEdit();
  ASSERT_EQ(e->GetProperties()->GetDateOnError(), deNoChange);
  Show();
  e->SetDate(EncodeDate(2024, 2, 10));
  e->SetFocus();
  Run();
  e->SelectAll();
  orv::headless::PressKey(VK_DELETE);
  e->SetSelection(0, 0);
  orv::headless::TypeText("31.02.2024");
  Run();
  EXPECT_THROW(e->ValidateEditValue(true), EcxEditValidationError);
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-10 00:00");
  EXPECT_TRUE(e->Focused());
  // The text goes back to the date, so a second confirmation is quiet and keeps it.
  EXPECT_EQ(e->GetText(), "10.02.2024");
  EXPECT_NO_THROW(e->ValidateEditValue(true));
  EXPECT_EQ(Stamp(e->GetDate()), "2024-02-10 00:00");
}

TEST_F(DateEditTest, UnfocusedTextKeepsTheTimeUnderShowTimeWithEitherFormats) {
  TcxDateEdit* e = AddEdit();
  TcxDateEdit* other = AddEdit(40);
  Show();
  other->SetFocus();
  Run();
  ASSERT_FALSE(e->Focused());
  e->SetEditValue(Variant::FromDate(EncodeDate(2024, 3, 5) + 10.5 / 24));
  Run();
  const AnsiString localeText = e->GetText();
  EXPECT_NE(localeText.find("10:30"), AnsiString::npos) << localeText;
  GetFormatController()->SetUsePlatformFormats(true);
  e->SetEditValue(Variant::FromDate(EncodeDate(2024, 3, 6) + 10.5 / 24));
  Run();
  const AnsiString platformText = e->GetText();
  GetFormatController()->SetUsePlatformFormats(false);
  EXPECT_NE(platformText.find("10:30"), AnsiString::npos) << platformText;
  EXPECT_NE(platformText.find("06"), AnsiString::npos) << platformText;
}
