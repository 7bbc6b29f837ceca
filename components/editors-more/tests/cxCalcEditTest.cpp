// The calculator editor: number formatting, typed characters, and the main window's coordinate
// field computing in its popup calculator and taking the result.
#include <gtest/gtest.h>

#include "components/editors-more/cxCalc.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/editors/cxFilterControlUtils.h"
#include "platform/controls/Clipbrd.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/runtime/Locale.h"

using namespace edmore_test;

namespace {

class CalcEditTest : public FormTest {
 protected:
  TcxCalcEdit* Add() {
    auto* e = new TcxCalcEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(10, 10, 57, 21);
    e->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
    e->GetStyle()->GetFont()->SetHeight(-8);
    e->GetProperties()->SetPrecision(15);
    e->GetStyle()->SetBorderStyle(cbsOffice11);
    e->GetStyle()->GetLookAndFeel()->SetKind(lfOffice11);
    return e;
  }
};

}  // namespace

TEST_F(CalcEditTest, NumbersAreShownWithTheirPrecisionAndFormats) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  std::unique_ptr<TcxCalcEditProperties, orv::FreeDeleter> p(new TcxCalcEditProperties(nullptr));
  struct Case {
    Variant value;
    bool thousands, scientific;
    const char* text;
  };
  const Case cases[] = {
      {Variant(0.0), false, false, "0"},
      {Variant(1.0 / 3), false, false, "0.333333333333333"},
      {Variant(1200000.5), true, false, "1,200,000.5"},
      {Variant(1500.0), false, true, "1.5E+3"},
      {Null(), false, false, ""},
  };
  for (const Case& c : cases) {
    p->SetUseThousandSeparator(c.thousands);
    p->SetScientificFormat(c.scientific);
    Variant shown;
    p->EditValueToDisplayValue(c.value, shown, true);
    EXPECT_EQ(VarToStr(shown), c.text);
  }
  Variant back;
  p->SetUseThousandSeparator(true);
  p->SetScientificFormat(false);
  EXPECT_TRUE(p->TextToValue("1,200,000.5", back));
  EXPECT_EQ(back.AsDouble(), 1200000.5);
  EXPECT_FALSE(p->TextToValue("abc", back));
  EXPECT_TRUE(VarIsNull(back));
  EXPECT_EQ(p->GetPrecision(), 15);
  p->SetPrecision(20);
  EXPECT_EQ(p->GetPrecision(), 15) << "never above 15";
}

TEST_F(CalcEditTest, PopupCalculatorComputesAndTheResultIsTaken) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  TcxCalcEdit* e = Add();
  Show();
  EXPECT_EQ(e->GetValue(), 0);
  e->SetFocus();
  Run();
  e->DropDown();
  Run();
  ASSERT_TRUE(e->HasOpenPopup());
  for (const char* keys : {"1", "2", ".", "5", "*", "3", "="}) {
    orv::headless::TypeText(keys);
    Run();
  }
  EXPECT_EQ(e->GetText(), "37.5") << "the calculator writes into the editor";
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(e->GetValue(), 37.5);
  // A division by zero leaves 0 when the popup closes.
  e->DropDown();
  Run();
  e->GetCalculator()->SetBeepOnError(false);
  for (const char* keys : {"5", "/", "0", "="}) {
    orv::headless::TypeText(keys);
    Run();
  }
  EXPECT_EQ(e->GetText(), "Error");
  orv::headless::PressKey(VK_F4);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(e->GetValue(), 0) << "closed on an error, the value is 0";
}

TEST_F(CalcEditTest, PrecisionIsRecordedAsAssignedAndCopiedOnlyThen) {
  using Props = std::unique_ptr<TcxCalcEditProperties, orv::FreeDeleter>;
  Props a(new TcxCalcEditProperties(nullptr)), b(new TcxCalcEditProperties(nullptr));
  EXPECT_FALSE(a->IsPrecisionAssigned());
  EXPECT_EQ(a->GetPrecision(), 15) << "without data the precision is 15";
  a->SetPrecision(15);
  EXPECT_TRUE(a->IsPrecisionAssigned()) << "assigning the default value still counts";
  EXPECT_TRUE(a->GetCalcAssignedValues()->GetPrecision());
  a->SetPrecision(7);
  b->Assign(a.get());
  EXPECT_TRUE(b->IsPrecisionAssigned());
  EXPECT_EQ(b->GetPrecision(), 7);
  // Copying from properties without an assigned precision clears the record.
  Props plain(new TcxCalcEditProperties(nullptr));
  b->Assign(plain.get());
  EXPECT_FALSE(b->IsPrecisionAssigned());
  EXPECT_EQ(b->GetPrecision(), 15);
  a->GetAssignedValues()->ResetToDefaults();
  EXPECT_FALSE(a->IsPrecisionAssigned());
}

TEST_F(CalcEditTest, CalculatorLivesInThePopupEditorsPopup) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  TcxCalcEdit* e = Add();
  e->GetProperties()->SetPrecision(4);
  Show();
  e->SetFocus();
  Run();
  TcxPopupCalculator* calc = e->GetCalculator();
  EXPECT_EQ(e->GetProperties()->GetPopupControl(), calc);
  EXPECT_EQ(calc->GetPrecision(), 4) << "the calculator follows the properties";
  EXPECT_FALSE(e->GetProperties()->GetPopupSizeable());
  e->DropDown();
  Run();
  ASSERT_TRUE(e->HasOpenPopup());
  EXPECT_EQ(calc->GetParent(), e->GetPopupWindow());
  EXPECT_TRUE(calc->Focused()) << "the popup takes the keys";
  // Escape is the calculator's "C" and then closes without taking the result as the value; the
  // text the calculator wrote stays.
  e->SetValue(2);
  for (const char* keys : {"9", "+", "1", "="}) orv::headless::TypeText(keys);
  Run();
  EXPECT_EQ(e->GetText(), "10");
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(calc->GetParent(), e->GetPopupWindow()) << "the calculator is put back where it was";
  EXPECT_EQ(e->GetText(), "0");
  EXPECT_EQ(e->GetValue(), 2);
  // Shift+Insert in the open calculator pastes the clipboard's number into the editor.
  e->DropDown();
  Run();
  ASSERT_TRUE(e->HasOpenPopup());
  Clipboard()->SetAsText("42.25");
  orv::headless::KeyDown(VK_SHIFT);
  orv::headless::PressKey(VK_INSERT);
  orv::headless::KeyUp(VK_SHIFT);
  Run();
  EXPECT_EQ(e->GetText(), "42.25");
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  ASSERT_FALSE(e->HasOpenPopup());
  // With QuickClose "=" closes the popup and takes the result.
  e->GetProperties()->SetQuickClose(true);
  e->DropDown();
  Run();
  ASSERT_TRUE(e->HasOpenPopup());
  for (const char* keys : {"6", "/", "4", "="}) orv::headless::TypeText(keys);
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
  EXPECT_EQ(e->GetValue(), 1.5);
  // A read-only editor does not open.
  e->GetProperties()->SetReadOnly(true);
  e->DropDown();
  Run();
  EXPECT_FALSE(e->HasOpenPopup());
}

TEST_F(CalcEditTest, FilterHelperEntersNumbersWithAQuickClosingCalculator) {
  const TcxCustomFilterEditHelper* helper =
      FilterEditsController()->FindFilterEditHelper(TcxCalcEditProperties::StaticClass());
  ASSERT_NE(helper, nullptr);
  EXPECT_EQ(helper->ClassType(), TcxFilterCalcEditHelper::StaticClass());
  EXPECT_EQ(helper->GetFilterEditorClass(), TcxCalcEdit::StaticClass());
  EXPECT_TRUE(helper->KeepsEditButtons()) << "the drop-down button stays";
  TcxFilterControlOperators ops, extended;
  helper->GetSupportedOperators(nullptr, nullptr, ops, false);
  helper->GetSupportedOperators(nullptr, nullptr, extended, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10}));
  EXPECT_EQ(extended, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}));
  using Props = std::unique_ptr<TcxCalcEditProperties, orv::FreeDeleter>;
  Props column(new TcxCalcEditProperties(nullptr)), filter(new TcxCalcEditProperties(nullptr));
  column->SetPrecision(6);
  column->SetReadOnly(true);
  helper->InitFilterProperties(filter.get(), column.get(), helper->KeepsEditButtons());
  EXPECT_TRUE(filter->GetQuickClose());
  EXPECT_EQ(filter->GetPrecision(), 6);
  EXPECT_FALSE(filter->GetReadOnly());
  EXPECT_EQ(filter->GetButtons()->GetCount(), 1);
}

TEST_F(CalcEditTest, OnlyNumberCharactersAreTyped) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  TcxCalcEdit* e = Add();
  e->GetProperties()->SetCalcBeepOnError(false);
  Show();
  e->SetFocus();
  Run();
  e->SelectAll();
  orv::headless::TypeText("-");
  orv::headless::TypeText("1");
  orv::headless::TypeText("x");
  orv::headless::TypeText(",");
  orv::headless::TypeText("5");
  Run();
  EXPECT_EQ(e->GetText(), "-1.5") << "a comma types the decimal separator, a letter is refused";
}

TEST_F(CalcEditTest, GoldenEditorAndPopupInOffice2003Look) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  Form->SetBounds(100, 100, 80, 30);
  TcxCalcEdit* e = Add();
  e->SetBounds(4, 4, 57, 21);
  e->GetStyle()->GetFont()->SetName("Arial");
  e->GetStyle()->GetFont()->SetHeight(-11);
  e->SetValue(37.5);
  Show();
  ExpectGolden(Form.get(), "calcedit-office11");
  e->SetFocus();
  Run();
  e->DropDown();
  Run();
  ASSERT_TRUE(e->HasOpenPopup());
  // The calculator sized its buttons for the editor's font; the popup holds all of it.
  TcxPopupCalculator* calc = e->GetCalculator();
  TWinControl* popup = calc->GetParent();
  EXPECT_GT(calc->GetWidth(), 198) << "an 11-pixel Arial needs larger buttons than the default";
  EXPECT_GE(popup->GetClientWidth(), calc->GetLeft() + calc->GetWidth());
  EXPECT_GE(popup->GetClientHeight(), calc->GetTop() + calc->GetHeight());
  ExpectGolden(e->GetCalculator()->GetParent(), "calcedit-popup-office11");
}

namespace {

// Data whose field formats its numbers itself.
class TFormattingProvider : public TcxCustomEditDefaultValuesProvider {
 public:
  using TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider;
  Boolean HasDefaultDisplayFormat(Boolean formatsItself) override { return formatsItself; }
};

}  // namespace

TEST_F(CalcEditTest, TextFollowsTheFocusAndTheDisplayFormat) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  TcxCalcEdit* e = Add();
  TcxCalcEdit* other = Add();
  other->SetTop(40);
  e->GetProperties()->SetDisplayFormat("0.00");
  e->SetValue(2.5);
  Show();
  other->SetFocus();
  Run();
  EXPECT_EQ(e->GetText(), "2.50") << "unfocused: the display format";
  e->SetFocus();
  Run();
  EXPECT_EQ(e->GetText(), "2.5") << "focused: the number itself";
  e->SelectAll();
  orv::headless::TypeText("7.125");
  Run();
  other->SetFocus();
  Run();
  EXPECT_EQ(e->GetValue(), 7.125);
  EXPECT_EQ(e->GetText(), "7.13") << "left: the typed value in the display format";
}

TEST_F(CalcEditTest, LocaleChangeRewritesTheTextFromTheValue) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  TcxCalcEdit* e = Add();
  TcxCalcEdit* focused = Add();
  focused->SetTop(40);
  e->GetProperties()->SetUseThousandSeparator(true);
  e->SetValue(1234.5);
  focused->SetValue(0.25);
  Show();
  focused->SetFocus();
  Run();
  EXPECT_EQ(e->GetText(), "1,234.5");
  EXPECT_EQ(focused->GetText(), "0.25");
  e->GetCalculator()->SetPrecision(9);
  orv::SetLocaleProfile(orv::TLocaleProfile::Russian);
  orv::SendLocaleChange();
  Run();
  EXPECT_EQ(e->GetText(), "1\xA0"
                          "234,5");
  EXPECT_EQ(focused->GetText(), "0,25") << "the focused editor too";
  EXPECT_EQ(e->GetValue(), 1234.5);
  EXPECT_EQ(e->GetCalculator()->GetPrecision(), 9) << "a locale change leaves the calculator's settings";
}

TEST_F(CalcEditTest, ValuesAreExchangedAsValuesOnlyWhenTheDataFormatsThem) {
  using Props = std::unique_ptr<TcxCalcEditProperties, orv::FreeDeleter>;
  Props p(new TcxCalcEditProperties(nullptr));
  EXPECT_EQ(p->GetValueExchangeMode(false), 0) << "without data: as text";
  Owned<TFormattingProvider> provider(new TFormattingProvider(nullptr));
  p->SetDefaultValuesProvider(provider.get());
  EXPECT_EQ(p->GetValueExchangeMode(false), 1);
  EXPECT_EQ(p->GetValueExchangeMode(true), 0) << "focused: always as text";
  p->SetDisplayFormat("0.0");
  EXPECT_EQ(p->GetValueExchangeMode(false), 0) << "an own display format: as text";
  p->SetDefaultValuesProvider(nullptr);
}
