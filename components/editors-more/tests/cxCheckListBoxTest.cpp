// The check list box: the items' check states as one edit value in each format and back, the
// direction of that synchronisation, toggling by mouse (on release over the pressed check, at
// once when dragging is automatic), Space and double click, the 64-item limit of the integer
// format, the list without checks, and a golden image in the Office 2003 look.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/editors-more/cxCheckListBox.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/runtime/Exceptions.h"

using namespace edmore_test;

namespace {

class TClickLog : public TObject {
 public:
  void ClickCheck(TObject* sender, Integer index, TcxCheckBoxState prev, TcxCheckBoxState next) {
    Log.push_back(std::to_string(index) + ":" + std::to_string(int(prev)) + ">" + std::to_string(int(next)));
  }
  void ValueChanged(TObject*) { ++Changes; }
  void DrawItem(TWinControl*, Integer index, TRect, TOwnerDrawState) { ++Drawn; }
  void ToStates(TObject*, const TcxCheckStates& states, Variant& value) { value = Variant(Int64(states.size())); }
  void FromStates(TObject*, const Variant&, TcxCheckStates& states) {}
  std::vector<std::string> Log;
  int Changes = 0;
  int Drawn = 0;
};

class CheckListBoxTest : public FormTest {
 protected:
  TcxCheckListBox* Add(std::initializer_list<const char*> texts, Integer x = 10, Integer y = 10) {
    auto* box = new TcxCheckListBox(Form.get());
    box->SetParent(Form.get());
    box->SetBounds(x, y, 140, 100);
    box->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
    box->GetStyle()->GetFont()->SetHeight(-8);
    for (const char* t : texts) box->GetItems()->Add()->SetText(t);
    box->SetOnClickCheck(TcxClickCheckEvent(&Log, &TClickLog::ClickCheck));
    return box;
  }
  // The centre of an item's check in screen coordinates.
  static TPoint CheckCentre(TcxCheckListBox* box, Integer index) {
    TcxCustomInnerCheckListBox* list = box->GetInnerCheckListBox();
    const TRect r = list->GetCheckRect(list->ItemRect(index), false);
    return list->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  }
  static TPoint TextPoint(TcxCheckListBox* box, Integer index) {
    TcxCustomInnerCheckListBox* list = box->GetInnerCheckListBox();
    const TRect r = list->ItemRect(index);
    return list->ClientToScreen(TPoint{r.Right - 10, (r.Top + r.Bottom) / 2});
  }
  static std::string States(TcxCheckListBox* box) {
    std::string s;
    for (Integer i = 0; i < box->GetItems()->GetCount(); ++i)
      s += char('0' + int(box->GetItems()->GetItem(i)->GetState()));
    return s;
  }
  TClickLog Log;
};

}  // namespace

TEST_F(CheckListBoxTest, StatesFormOneEditValueInEachFormat) {
  TcxCheckListBox* box = Add({"Alpha", "Beta", "Gamma"});
  box->SetAllowGrayed(true);
  Show();
  EXPECT_EQ(VarType(box->GetEditValue()), varInt64);
  EXPECT_EQ(box->GetEditValue().AsInt64(), 0);
  struct Case {
    TcxCheckStatesValueFormat format;
    const char* text;  // nullptr: the integer value below
    Int64 number;
  };
  // Beta grayed, Gamma checked (the integer format cannot hold the grayed Beta).
  const Case cases[] = {
      {cvfStatesString, "021", 0},
      {cvfIndices, "1;2", 0},
      {cvfCaptions, "4:Beta;5:Gamma", 0},
      {cvfInteger, nullptr, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.format));
    box->SetEditValueFormat(cvfStatesString);
    for (Integer i = 0; i < 3; ++i) box->GetItems()->GetItem(i)->SetState(cbsUnchecked);
    box->GetItems()->GetItem(1)->SetState(cbsGrayed);
    box->GetItems()->GetItem(2)->SetState(cbsChecked);
    box->SetEditValueFormat(c.format);
    if (c.text)
      EXPECT_EQ(VarToStr(box->GetEditValue()), c.text);
    else
      EXPECT_EQ(box->GetEditValue().AsInt64(), c.number);
    // Read back in the same format: the states follow the value.
    box->SetEditValue(Variant(Int64(0)));
    box->SetEditValue(c.text ? Variant(AnsiString(c.text)) : Variant(c.number));
    EXPECT_EQ(States(box), c.text ? "021" : "001");
  }
  // A value the format cannot read leaves every item unchecked, without an error.
  box->SetEditValueFormat(cvfIndices);
  box->SetEditValue(Variant(AnsiString("7;x")));
  EXPECT_EQ(States(box), "000");
}

TEST_F(CheckListBoxTest, SwitchingTheFormatFollowsWhatLastLed) {
  TcxCheckListBox* box = Add({"A", "B", "C"});
  box->SetAllowGrayed(true);
  box->SetEditValueFormat(cvfStatesString);
  Show();
  // The states lead after a change in code: grayed items turn unchecked in the integer format.
  box->GetItems()->GetItem(0)->SetState(cbsGrayed);
  box->GetItems()->GetItem(2)->SetState(cbsChecked);
  EXPECT_TRUE(box->GetEditValueFromStates());
  box->SetEditValueFormat(cvfInteger);
  EXPECT_EQ(States(box), "001");
  EXPECT_EQ(box->GetEditValue().AsInt64(), 4);
  // An item set to grayed in code stays unchecked while the format is the integer one.
  box->GetItems()->GetItem(1)->SetState(cbsGrayed);
  EXPECT_EQ(box->GetItems()->GetItem(1)->GetState(), cbsUnchecked);
  // The value leads after it was assigned: the kept value is read again in the new format.
  box->SetEditValueFormat(cvfStatesString);
  box->SetEditValue(Variant(AnsiString("3")));
  EXPECT_FALSE(box->GetEditValueFromStates());
  EXPECT_EQ(States(box), "000") << "\"3\" is no state";
  box->SetEditValueFormat(cvfInteger);
  EXPECT_EQ(States(box), "110") << "the string \"3\" read as the integer 3";
  EXPECT_EQ(VarToStr(box->GetEditValue()), "3");
  // Items added later take their states from the leading value.
  box->GetItems()->Add()->SetText("D");
  EXPECT_EQ(States(box), "1100");
}

TEST_F(CheckListBoxTest, ClicksToggleOnReleaseOverThePressedCheck) {
  TcxCheckListBox* box = Add({"One", "Two", "Three"});
  box->SetAllowGrayed(true);
  box->SetEditValueFormat(cvfStatesString);
  Show();
  TcxCustomInnerCheckListBox* list = box->GetInnerCheckListBox();
  const TPoint check = CheckCentre(box, 1);
  // Pressed, moved off and released: nothing.
  orv::headless::MouseMove(check.X, check.Y);
  orv::headless::MouseDown();
  Run();
  EXPECT_EQ(list->GetPressedCheckIndex(), 1);
  const TPoint away = TextPoint(box, 1);
  orv::headless::MouseMove(away.X, away.Y);
  Run();
  EXPECT_EQ(list->GetPressedCheckIndex(), -1) << "shown pressed only while over it";
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(States(box), "000");
  // Pressed, moved off and back, released: toggles.
  orv::headless::MouseMove(check.X, check.Y);
  orv::headless::MouseDown();
  orv::headless::MouseMove(away.X, away.Y);
  orv::headless::MouseMove(check.X, check.Y);
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(States(box), "020");
  // With AllowGrayed the clicks cycle unchecked, grayed, checked, unchecked.
  orv::headless::Click(check.X, check.Y);
  Run();
  orv::headless::Click(check.X, check.Y);
  Run();
  EXPECT_EQ(States(box), "000");
  EXPECT_EQ(Log.Log, (std::vector<std::string>{"1:0>2", "1:2>1", "1:1>0"}));
  EXPECT_EQ(VarToStr(box->GetEditValue()), "000");
  // A click on the text selects without toggling.
  orv::headless::Click(away.X, away.Y);
  Run();
  EXPECT_EQ(box->GetItemIndex(), 1);
  EXPECT_EQ(States(box), "000");
}

TEST_F(CheckListBoxTest, DoubleClickSpaceAndDisabledItems) {
  TcxCheckListBox* box = Add({"One", "Two", "Three"});
  Show();
  // A double click on a check toggles on the first release and again on the double click.
  const TPoint check = CheckCentre(box, 0);
  orv::headless::DoubleClick(check.X, check.Y);
  Run();
  EXPECT_EQ(Log.Log.size(), 2u);
  EXPECT_EQ(States(box), "000");
  // Over the text, a double click toggles the selected item only while AllowDblClickToggle is on.
  const TPoint text = TextPoint(box, 2);
  orv::headless::DoubleClick(text.X, text.Y);
  Run();
  EXPECT_EQ(States(box), "001");
  box->SetAllowDblClickToggle(false);
  orv::headless::DoubleClick(text.X, text.Y);
  Run();
  EXPECT_EQ(States(box), "001");
  // Space toggles the selected item; a disabled item never toggles.
  orv::headless::PressKey(VK_SPACE);
  Run();
  EXPECT_EQ(States(box), "000");
  box->GetItems()->GetItem(2)->SetEnabled(false);
  orv::headless::PressKey(VK_SPACE);
  orv::headless::Click(CheckCentre(box, 2).X, CheckCentre(box, 2).Y);
  Run();
  EXPECT_EQ(States(box), "000");
  EXPECT_EQ(box->GetEditValue().AsInt64(), 0);
}

TEST_F(CheckListBoxTest, AutomaticDraggingTogglesOnThePress) {
  TcxCheckListBox* box = Add({"One", "Two"});
  box->SetDragMode(dmAutomatic);
  Show();
  const TPoint check = CheckCentre(box, 1);
  orv::headless::MouseMove(check.X, check.Y);
  orv::headless::MouseDown();
  Run();
  EXPECT_EQ(States(box), "01") << "toggled before the release";
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(States(box), "01") << "and not again on it";
  EXPECT_EQ(box->GetInnerCheckListBox()->GetDragMode(), dmAutomatic);
}

TEST_F(CheckListBoxTest, IntegerFormatHoldsAtMost64Items) {
  TcxCheckListBox* box = Add({});
  for (int i = 0; i < 64; ++i) box->GetItems()->Add()->SetText("Item " + std::to_string(i));
  box->GetItems()->GetItem(63)->SetState(cbsChecked);
  EXPECT_EQ(box->GetEditValue().AsInt64(), Int64(1) << 63);
  try {
    box->GetItems()->Add();
    FAIL() << "a 65th item is refused";
  } catch (const EdxException& e) {
    EXPECT_EQ(e.GetMessage(), "The number\xA0of items cannot be greater than 64, if the EditValueFormat is cvfInteger");
  }
  EXPECT_EQ(box->GetItems()->GetCount(), 65) << "the item stays";
  EXPECT_EQ(box->GetItemCount(), 65) << "and shows";
  EXPECT_NO_THROW(box->SetEditValueFormat(cvfStatesString)) << "the states string holds any count";
  EXPECT_THROW(box->SetEditValueFormat(cvfInteger), EdxException);
  EXPECT_EQ(box->GetEditValueFormat(), cvfInteger) << "the format keeps its new value";
  box->GetItems()->Delete(64);
  // With both conversion events the format is the handlers' own and takes any count.
  box->SetOnCheckStatesToEditValue(TcxCheckStatesToEditValueEvent(&Log, &TClickLog::ToStates));
  box->SetOnEditValueToCheckStates(TcxEditValueToCheckStatesEvent(&Log, &TClickLog::FromStates));
  EXPECT_EQ(box->GetEffectiveValueFormat(), cvfCustom);
  EXPECT_NO_THROW(box->GetItems()->Add());
  box->GetItems()->GetItem(0)->SetState(cbsChecked);
  EXPECT_EQ(box->GetEditValue().AsInt64(), 65) << "the handler built the value";
}

TEST_F(CheckListBoxTest, WithoutChecksItIsASelectionList) {
  TcxCheckListBox* box = Add({"One", "Two"});
  Show();
  TcxCustomInnerCheckListBox* list = box->GetInnerCheckListBox();
  const Integer withChecks = list->GetCheckAreaWidth();
  box->SetShowChecks(false);
  EXPECT_EQ(list->GetCheckAreaWidth(), list->GetMetricsValue().AreaIndent);
  EXPECT_LT(list->GetCheckAreaWidth(), withChecks);
  EXPECT_EQ(list->GetCheckRect(list->ItemRect(0), false), TRect{});
  // Read-only: clicks and keys leave the selection.
  box->SetItemIndex(0);
  box->SetReadOnly(true);
  box->SetFocus();
  Run();
  const TPoint second = TextPoint(box, 1);
  orv::headless::Click(second.X, second.Y);
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(box->GetItemIndex(), 0);
  box->SetReadOnly(false);
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(box->GetItemIndex(), 1);
}

TEST_F(CheckListBoxTest, ValueChangeEventsAndItemPainter) {
  TcxCheckListBox* box = Add({});
  box->SetOnEditValueChanged(TNotifyEvent(&Log, &TClickLog::ValueChanged));
  box->SetOnDrawItem(TDrawItemEvent(&Log, &TClickLog::DrawItem));
  Show();
  box->Repaint();
  Run();
  EXPECT_EQ(Log.Drawn, 0) << "an empty list paints nothing through the item painter";
  box->GetItems()->Add()->SetText("One");
  box->GetItems()->Add()->SetText("Two");
  box->Repaint();
  Run();
  EXPECT_GE(Log.Drawn, 2);
  Log.Changes = 0;
  box->SetEditValue(Variant(Int64(2)));
  box->SetEditValue(Variant(Int64(2)));
  EXPECT_EQ(Log.Changes, 1) << "only a different value is a change";
  EXPECT_EQ(States(box), "01");
  box->SetEditValue(Variant(2.0));
  EXPECT_EQ(Log.Changes, 2) << "another type is a change";
  const TPoint check = CheckCentre(box, 0);
  orv::headless::Click(check.X, check.Y);
  Run();
  EXPECT_EQ(Log.Changes, 3);
  EXPECT_EQ(box->GetEditValue().AsInt64(), 3);
}

TEST_F(CheckListBoxTest, IntegralHeightShowsWholeItems) {
  TcxCheckListBox* box = Add({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
  Show();
  const Integer item = box->GetInnerCheckListBox()->GetItemHeight();
  box->SetIntegralHeight(true);
  box->SetHeight(4 * item + item / 2 + 4);
  Run();
  EXPECT_EQ(box->GetHeight(), box->GetHeightForItemCount(4)) << "no item is cut";
  box->SetAlign(alClient);
  EXPECT_EQ(box->GetHeight(), Form->GetClientHeight()) << "a client-aligned list takes the whole height";
  box->SetAlign(alNone);
  box->SetHeight(4 * item + item / 2 + 4);
  EXPECT_EQ(box->GetHeight(), box->GetHeightForItemCount(4));
  box->SetIntegralHeight(false);
  box->SetHeight(4 * item + item / 2 + 4);
  EXPECT_EQ(box->GetHeight(), 4 * item + item / 2 + 4);
}

TEST_F(CheckListBoxTest, GoldenListInOffice2003Look) {
  Form->SetBounds(100, 100, 160, 100);
  TcxCheckListBox* box = Add({"Alpha", "Beta", "Gamma", "Delta"}, 6, 6);
  box->SetBounds(6, 6, 140, 80);
  box->GetStyle()->GetLookAndFeel()->SetKind(lfOffice11);
  box->GetStyle()->SetBorderStyle(cbsOffice11);
  box->GetStyle()->GetFont()->SetName("Arial");
  box->GetStyle()->GetFont()->SetHeight(-11);
  box->SetEditValueFormat(cvfStatesString);
  box->SetAllowGrayed(true);
  box->SetEditValue(Variant(AnsiString("1201")));
  box->GetItems()->GetItem(2)->SetEnabled(false);
  box->SetItemIndex(1);
  Show();
  ExpectGolden(Form.get(), "checklistbox-office11");
}
