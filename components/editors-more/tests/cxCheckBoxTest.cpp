// The check box (three states mapped to edit values, toggled by mouse, Space and accelerator),
// the check glyph helpers, and the caption items with the check-state value formats.
#include <gtest/gtest.h>

#include "components/data/cxVariants.h"
#include "components/editors-more/cxCheckBox.h"
#include "platform/controls/ActnList.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxFilterControlUtils.h"
#include "components/foundation/cxLookAndFeels.h"

using namespace edmore_test;

namespace {

class TCheckEvents : public TObject {
 public:
  void Click(TObject*) { ++Clicks; }
  void Change(TObject*) { ++Changes; }
  int Clicks = 0;
  int Changes = 0;
};

class CheckBoxTest : public FormTest {
 protected:
  TcxCheckBox* Add(const AnsiString& caption, Integer x = 10, Integer y = 10) {
    auto* c = new TcxCheckBox(Form.get());
    c->SetParent(Form.get());
    c->SetBounds(x, y, 121, 21);
    c->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
    c->GetStyle()->GetFont()->SetHeight(-8);
    c->SetCaption(caption);
    c->SetOnClick(TNotifyEvent(&Events, &TCheckEvents::Click));
    c->GetProperties()->SetOnChange(TNotifyEvent(&Events, &TCheckEvents::Change));
    return c;
  }
  static void ClickOn(TControl* c) {
    const TPoint p = c->ClientToScreen(TPoint{6, c->GetHeight() / 2});
    orv::headless::MouseMove(p.X, p.Y);
    orv::headless::MouseDown();
    Run();
    orv::headless::MouseUp();
    Run();
  }
  TCheckEvents Events;
};

// Captions for the value formats.
class TFruit : public IcxCaptionItems {
 public:
  explicit TFruit(std::vector<AnsiString> names) : Names(std::move(names)) {}
  AnsiString GetCaption(Integer index) override { return Names[std::size_t(index)]; }
  Integer GetCount() override { return Integer(Names.size()); }
  std::vector<AnsiString> Names;
};

}  // namespace

TEST_F(CheckBoxTest, ValuesMapToThreeStates) {
  TcxCheckBox* c = Add("Box");
  EXPECT_EQ(c->GetState(), cbsUnchecked);
  EXPECT_TRUE(VarEqualsExactly(c->GetEditValueProperty(), Variant(false)));
  c->SetEditValueProperty(Null());
  EXPECT_EQ(c->GetState(), cbsGrayed);
  c->SetEditValueProperty(Variant(true));
  EXPECT_TRUE(c->GetChecked());
  c->SetEditValueProperty(Variant(AnsiString("other")));
  EXPECT_EQ(c->GetState(), cbsGrayed) << "an unknown value shows grayed";
  TcxCheckBoxProperties* p = c->GetProperties();
  p->SetValueChecked(Variant(false));
  EXPECT_TRUE(VarEqualsExactly(p->GetValueChecked(), Variant(true))) << "the current unchecked value is refused";
  p->SetValueChecked(Variant(AnsiString("Y")));
  p->SetValueUnchecked(Variant(AnsiString("N")));
  c->SetChecked(true);
  EXPECT_EQ(VarToStr(c->GetEditValueProperty()), "Y");
  AnsiString text;
  p->EditValueToDisplayText(Variant(AnsiString("N")), text);
  EXPECT_EQ(text, "False");
  EXPECT_TRUE(p->AcceptsEditValue(Variant(AnsiString("Y"))));
  EXPECT_FALSE(p->AcceptsEditValue(Variant(AnsiString("y"))));
}

TEST_F(CheckBoxTest, ClicksCycleThreeStatesWithAllowGrayed) {
  TcxCheckBox* c = Add("Box");
  c->GetProperties()->SetAllowGrayed(true);
  Show();
  const TcxCheckBoxState expected[] = {cbsGrayed, cbsChecked, cbsUnchecked, cbsGrayed};
  int n = 0;
  for (TcxCheckBoxState state : expected) {
    ClickOn(c);
    ++n;
    EXPECT_EQ(c->GetState(), state) << "click " << n;
  }
  EXPECT_EQ(Events.Clicks, 4);
  EXPECT_EQ(Events.Changes, 4);
}

TEST_F(CheckBoxTest, SpaceTogglesOnReleaseAndValueChangesFireEvents) {
  TcxCheckBox* c = Add("Box");
  Show();
  c->SetFocus();
  Run();
  orv::headless::KeyDown(VK_SPACE);
  Run();
  EXPECT_FALSE(c->GetChecked());
  EXPECT_EQ(c->GetCheckViewInfo()->CheckBoxState, ecsPressed);
  orv::headless::KeyUp(VK_SPACE);
  Run();
  EXPECT_TRUE(c->GetChecked());
  EXPECT_EQ(Events.Clicks, 1);
  // A new ValueChecked that the current value no longer matches turns the box grayed, with events.
  c->GetProperties()->SetValueChecked(Variant(1));
  EXPECT_EQ(c->GetState(), cbsGrayed);
  EXPECT_EQ(Events.Clicks, 2);
  EXPECT_EQ(Events.Changes, 2);
}

TEST_F(CheckBoxTest, AnActionsCheckedStateReachesTheBoxWithoutClicks) {
  TcxCheckBox* c = Add("Linked");
  c->GetProperties()->SetAllowGrayed(true);
  Show();
  Owned<TAction> action(new TAction(nullptr));
  action->SetCaption("Linked");
  action->SetChecked(true);
  c->SetAction(action.get());
  EXPECT_TRUE(c->GetChecked());
  action->SetChecked(false);
  EXPECT_FALSE(c->GetChecked());
  action->SetChecked(true);
  EXPECT_TRUE(c->GetChecked());
  EXPECT_EQ(Events.Clicks, 0);
  EXPECT_EQ(Events.Changes, 0) << "set through the action, not by the user";
}

TEST_F(CheckBoxTest, AClickOnALinkedBoxRunsTheActionUnlessItsOwnOnClickWasSetAfterLinking) {
  TcxCheckBox* c = Add("Linked");
  Show();
  TCheckEvents executes;
  Owned<TAction> action(new TAction(nullptr));
  action->SetOnExecute(TNotifyEvent(&executes, &TCheckEvents::Click));
  // Linking gives the box the action's handler in place of the OnClick it had.
  c->SetAction(action.get());
  ClickOn(c);
  EXPECT_TRUE(c->GetChecked());
  EXPECT_EQ(executes.Clicks, 1) << "the click runs the action";
  EXPECT_EQ(Events.Clicks, 0) << "the handler set before linking was replaced";
  EXPECT_EQ(Events.Changes, 1);
  // An OnClick set after linking differs from the action's handler and wins over the action.
  c->SetOnClick(TNotifyEvent(&Events, &TCheckEvents::Click));
  ClickOn(c);
  EXPECT_FALSE(c->GetChecked());
  EXPECT_EQ(Events.Clicks, 1);
  EXPECT_EQ(executes.Clicks, 1);
  // Unlinked, the box clicks through its own handler again.
  c->SetAction(nullptr);
  ClickOn(c);
  EXPECT_EQ(Events.Clicks, 2);
  EXPECT_EQ(executes.Clicks, 1);
}

TEST_F(CheckBoxTest, FilterRowChoosesCheckedOrUncheckedFromAFixedList) {
  std::unique_ptr<TcxCheckBoxProperties, orv::FreeDeleter> p(new TcxCheckBoxProperties(nullptr));
  p->SetValueChecked(Variant(AnsiString("Y")));
  p->SetValueUnchecked(Variant(AnsiString("N")));
  const TcxCustomFilterEditHelper* helper =
      FilterEditsController()->FindFilterEditHelper(TcxCheckBoxProperties::StaticClass());
  ASSERT_NE(helper, nullptr);
  EXPECT_EQ(helper->ClassName(), "TcxFilterCheckBoxHelper");
  EXPECT_EQ(helper->GetFilterEditorClass(), TcxComboBox::StaticClass());
  EXPECT_TRUE(helper->UsesDisplayText());
  TcxFilterControlOperators ops;
  helper->GetSupportedOperators(p.get(), nullptr, ops, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 9, 10}));

  auto* combo = new TcxComboBox(Form.get());
  combo->SetParent(Form.get());
  helper->InitializeEdit(combo, p.get());
  AnsiString checkedText, uncheckedText;
  p->EditValueToDisplayText(p->GetValueChecked(), checkedText);
  p->EditValueToDisplayText(p->GetValueUnchecked(), uncheckedText);
  EXPECT_EQ(combo->GetProperties()->GetDropDownListStyle(), lsFixedList);
  ASSERT_EQ(combo->GetProperties()->GetItems()->GetCount(), 2);
  EXPECT_EQ(combo->GetProperties()->GetItems()->Get(0), checkedText);
  EXPECT_EQ(combo->GetProperties()->GetItems()->Get(1), uncheckedText);
  struct Case {
    Variant set;
    Integer index;
    Variant value;
  };
  const Case cases[] = {
      {Variant(AnsiString("N")), 1, Variant(AnsiString("N"))},
      {Variant(AnsiString("Y")), 0, Variant(AnsiString("Y"))},
      {Null(), -1, Null()},
  };
  for (const Case& c : cases) {
    helper->SetEditValue(combo, p.get(), c.set);
    EXPECT_EQ(combo->GetItemIndexProperty(), c.index);
    AnsiString text, expectedText;
    Variant value;
    helper->GetEditValueAndText(combo, p.get(), text, value);
    EXPECT_TRUE(AreVariantsEqual(value, c.value)) << c.index;
    if (c.index >= 0) p->EditValueToDisplayText(c.value, expectedText);
    EXPECT_EQ(text, expectedText) << c.index;
  }
}

TEST_F(CheckBoxTest, GlyphIndexAndBorderOffsets) {
  EXPECT_EQ(GetEditCheckGlyphIndex(cbsChecked, ecsPressed, true, 6), 4);
  EXPECT_EQ(GetEditCheckGlyphIndex(cbsGrayed, ecsPressed, true, 4), 2);
  EXPECT_EQ(GetEditCheckGlyphIndex(cbsChecked, ecsNormal, false, 4), 1);
  const Integer offsets[] = {2, 1, 0, 0, 0, 1, 1};
  for (int s = 0; s < 7; ++s)
    EXPECT_EQ(GetEditCheckBorderOffset(TcxEditBorderStyle(s), false, false, nullptr), offsets[s]) << s;
  EXPECT_EQ(GetEditCheckBorderOffset(ebsNone, true, false, nullptr), 0);
  EXPECT_EQ(GetEditCheckBorderOffset(lfStandard, false, false, nullptr), 0);
  EXPECT_EQ(GetEditCheckBorderOffset(lfUltraFlat, false, false, nullptr), 1);
}

TEST(cxCheckStates, CaptionsFormat) {
  TFruit fruit({"Apple", "Banana", "Cherry"});
  TcxCheckStates states{cbsChecked, cbsUnchecked, cbsGrayed};
  EXPECT_EQ(VarToStr(CheckStatesToValue(states, &fruit, cvfCaptions)), "6:Cherry;5:Apple");
  EXPECT_EQ(VarToStr(CheckStatesToValue({cbsChecked, cbsUnchecked, cbsUnchecked}, &fruit, cvfCaptions)), ";5:Apple");
  EXPECT_EQ(VarToStr(CheckStatesToValue({cbsUnchecked, cbsUnchecked, cbsUnchecked}, &fruit, cvfCaptions)), "");
  struct Case {
    const char* text;
    bool ok;
    TcxCheckStates states;
  };
  const Case cases[] = {
      {"6:Cherry;5:Apple", true, {cbsChecked, cbsUnchecked, cbsGrayed}},
      {"5:apple", true, {cbsGrayed, cbsUnchecked, cbsUnchecked}},
      {";5:Apple;6:Banana", false, {cbsUnchecked, cbsUnchecked, cbsUnchecked}},
      {";4:Pear", false, {cbsUnchecked, cbsUnchecked, cbsUnchecked}},
      {"9:Apple", false, {cbsUnchecked, cbsUnchecked, cbsUnchecked}},
      {"99999999999:A", false, {cbsUnchecked, cbsUnchecked, cbsUnchecked}},
      {"", true, {cbsUnchecked, cbsUnchecked, cbsUnchecked}},
  };
  for (const Case& c : cases) {
    TcxCheckStates read;
    EXPECT_EQ(CheckStatesFromValue(Variant(AnsiString(c.text)), &fruit, cvfCaptions, read), c.ok) << c.text;
    EXPECT_EQ(read, c.states) << c.text;
  }
  TcxCheckStates read;
  EXPECT_FALSE(CheckStatesFromValue(Variant(5), &fruit, cvfCaptions, read)) << "only strings and Null";
}

TEST(cxCheckStates, IndicesIntegerAndStatesStringFormats) {
  TFruit fruit({"A", "B", "C", "D"});
  const TcxCheckStates states{cbsGrayed, cbsChecked, cbsUnchecked, cbsChecked};
  EXPECT_EQ(VarToStr(CheckStatesToValue(states, &fruit, cvfIndices)), "0;1,3");
  EXPECT_EQ(CheckStatesToValue(states, &fruit, cvfInteger).AsInt64(), 10);
  EXPECT_EQ(VarToStr(CheckStatesToValue(states, &fruit, cvfStatesString)), "2101");
  EXPECT_TRUE(VarIsNull(CheckStatesToValue(states, &fruit, cvfCustom)));
  TcxCheckStates read;
  EXPECT_TRUE(CheckStatesFromValue(Variant(AnsiString("0;1,3")), &fruit, cvfIndices, read));
  EXPECT_EQ(read, states);
  EXPECT_FALSE(CheckStatesFromValue(Variant(AnsiString("1,x")), &fruit, cvfIndices, read));
  EXPECT_FALSE(CheckStatesFromValue(Variant(AnsiString("4")), &fruit, cvfIndices, read));
  EXPECT_TRUE(CheckStatesFromValue(Variant(5), &fruit, cvfInteger, read));
  EXPECT_EQ(read, (TcxCheckStates{cbsChecked, cbsUnchecked, cbsChecked, cbsUnchecked}));
  EXPECT_FALSE(CheckStatesFromValue(Variant(AnsiString("5x")), &fruit, cvfInteger, read));
  EXPECT_TRUE(CheckStatesFromValue(Variant(AnsiString("12")), &fruit, cvfStatesString, read));
  EXPECT_EQ(read, (TcxCheckStates{cbsChecked, cbsGrayed, cbsUnchecked, cbsUnchecked}));
  EXPECT_FALSE(CheckStatesFromValue(Variant(AnsiString("13")), &fruit, cvfStatesString, read));
  EXPECT_EQ(read, (TcxCheckStates(4, cbsUnchecked))) << "a failed reading leaves every item unchecked";
}

TEST_F(CheckBoxTest, GoldenChecksInOffice2003Look) {
  Form->SetBounds(100, 100, 150, 80);
  TcxCheckBox* a = Add("Checked", 4, 4);
  a->SetChecked(true);
  TcxCheckBox* b = Add("Grayed", 4, 28);
  b->GetProperties()->SetAllowGrayed(true);
  b->SetState(cbsGrayed);
  TcxCheckBox* c = Add("Office", 4, 52);
  c->GetStyle()->SetBorderStyle(cbsOffice11);
  c->SetChecked(true);
  Show();
  ExpectGolden(Form.get(), "checkbox-states");
}
