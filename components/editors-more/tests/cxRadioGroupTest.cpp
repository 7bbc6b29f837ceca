// The radio group: the item index as edit value, values matched by item value or caption,
// column layout and arrow-key moves between the buttons, clicks, and a golden image.
#include <gtest/gtest.h>

#include "components/editors-more/cxRadioGroup.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxFilterControlUtils.h"
#include "components/foundation/cxLookAndFeels.h"

using namespace edmore_test;

namespace {

class TGroupEvents : public TObject {
 public:
  void Change(TObject*) { ++Changes; }
  void Click(TObject*) { ++Clicks; }
  int Changes = 0;
  int Clicks = 0;
};

class RadioGroupTest : public FormTest {
 protected:
  TcxRadioGroup* Add(std::initializer_list<const char*> captions, Integer columns = 1, Integer w = 200,
                     Integer h = 100) {
    auto* g = new TcxRadioGroup(Form.get());
    g->SetParent(Form.get());
    g->SetBounds(10, 10, w, h);
    g->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
    g->GetStyle()->GetFont()->SetHeight(-8);
    g->SetCaption("Group");
    for (const char* c : captions) g->GetProperties()->GetRadioItems()->Add()->SetCaption(c);
    g->GetProperties()->SetColumns(columns);
    g->GetProperties()->SetOnChange(TNotifyEvent(&Events, &TGroupEvents::Change));
    g->SetOnClick(TNotifyEvent(&Events, &TGroupEvents::Click));
    return g;
  }
  TGroupEvents Events;
};

}  // namespace

TEST_F(RadioGroupTest, ItemIndexIsKeptAsTheEditValue) {
  TcxRadioGroup* g = Add({"A", "B", "C"});
  Show();
  EXPECT_EQ(g->GetButtonCount(), 3);
  EXPECT_EQ(g->GetItemIndex(), -1);
  EXPECT_TRUE(VarIsNull(g->GetEditValueProperty()));
  g->SetItemIndex(1);
  EXPECT_EQ(VarToStr(g->GetEditValueProperty()), "B") << "an item without value gives its caption";
  EXPECT_TRUE(g->GetRadioButton(1)->GetChecked());
  EXPECT_EQ(Events.Changes, 1);
  g->SetItemIndex(1);
  EXPECT_EQ(Events.Changes, 1) << "the same index fires nothing";
  g->SetEditValueProperty(Variant(AnsiString("C")));
  EXPECT_EQ(g->GetItemIndex(), 2);
  EXPECT_FALSE(g->GetRadioButton(1)->GetChecked());
  g->SetItemIndex(5);
  EXPECT_EQ(g->GetItemIndex(), 2) << "clamped to the last item";
  g->GetProperties()->SetDefaultCaption("none");
  g->SetEditValueProperty(Variant(AnsiString("Z")));
  EXPECT_EQ(g->GetItemIndex(), -1);
  AnsiString text;
  g->GetProperties()->EditValueToDisplayText(Variant(AnsiString("Z")), text);
  EXPECT_EQ(text, "none");
  g->Clear();
  EXPECT_TRUE(VarIsNull(g->GetEditValueProperty()));
}

TEST_F(RadioGroupTest, ValuesMatchTheFirstItemWithThatValue) {
  std::unique_ptr<TcxRadioGroupProperties, orv::FreeDeleter> p(new TcxRadioGroupProperties(nullptr));
  p->GetRadioItems()->Add()->SetCaption("B");
  p->GetRadioItems()->Add()->SetValue(Variant(20));
  p->GetRadioItems()->Add()->SetValue(Variant(20));
  EXPECT_EQ(p->GetItemIndexByValue(Variant(AnsiString("B"))), 0);
  EXPECT_EQ(p->GetItemIndexByValue(Variant(AnsiString("b"))), -1) << "captions match case-sensitively";
  EXPECT_EQ(p->GetItemIndexByValue(Variant(20)), 1);
  EXPECT_EQ(p->GetItemIndexByValue(Null()), -1);
  std::unique_ptr<TcxCustomEditProperties, orv::FreeDeleter> sample(p->CreateEmptyCopy());
  auto* copy = static_cast<TcxRadioGroupProperties*>(sample.get());
  EXPECT_EQ(copy->GetItems()->GetCount(), 3);
  EXPECT_EQ(copy->GetColumns(), 3);
}

TEST_F(RadioGroupTest, ColumnsRowsAndArrowKeys) {
  TcxRadioGroup* g = Add({"0", "1", "2", "3", "4", "5", "6"}, 4, 240, 100);
  Show();
  EXPECT_EQ(g->GetProperties()->GetColumnCount(), 4);
  EXPECT_EQ(g->GetProperties()->GetRowCount(), 2);
  TcxButtonGroupViewInfo* info = g->GetGroupViewInfo();
  ASSERT_EQ(info->GetButtonCount(), 7);
  EXPECT_EQ(info->GetItemButton(5)->Column, 2);
  EXPECT_EQ(info->GetItemButton(6)->Row, 0);
  // Columns share the width and start at the same offset from each other.
  const Integer cw = info->GetButton(2)->Bounds.Left - info->GetButton(0)->Bounds.Left;
  EXPECT_EQ(info->GetButton(4)->Bounds.Left - info->GetButton(2)->Bounds.Left, cw);
  EXPECT_EQ(g->GetButton(3)->GetBoundsRect(), info->GetButton(3)->Bounds) << "the child buttons sit in their cells";
  g->SetItemIndex(6);
  g->GetRadioButton(6)->SetFocus();
  Run();
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(g->GetItemIndex(), 6) << "the last, shorter column has no row below";
  orv::headless::PressKey(VK_LEFT);
  Run();
  EXPECT_EQ(g->GetItemIndex(), 4);
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(g->GetItemIndex(), 5);
  orv::headless::PressKey(VK_RIGHT);
  Run();
  EXPECT_EQ(g->GetItemIndex(), 5) << "5 + 2 is not an item";
}

TEST_F(RadioGroupTest, AClickChecksTheButtonOnce) {
  TcxRadioGroup* g = Add({"North", "South"});
  Show();
  const TPoint p = g->GetButton(1)->ClientToScreen(TPoint{6, 6});
  orv::headless::MouseMove(p.X, p.Y);
  orv::headless::MouseDown();
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(g->GetItemIndex(), 1);
  EXPECT_EQ(VarToStr(g->GetEditValueProperty()), "South");
  EXPECT_EQ(Events.Changes, 1);
}

TEST_F(RadioGroupTest, GoldenGroupInOffice2003Look) {
  Form->SetBounds(100, 100, 220, 110);
  TcxRadioGroup* g = Add({"Geographic", "Ecliptic", "Both"}, 2, 200, 90);
  g->GetStyle()->GetFont()->SetName("Arial");
  g->GetStyle()->GetFont()->SetHeight(-11);
  g->GetStyle()->GetLookAndFeel()->SetKind(lfOffice11);
  g->GetStyle()->SetBorderStyle(cbsOffice11);
  g->SetItemIndex(1);
  Show();
  ExpectGolden(Form.get(), "radiogroup-office11");
}

TEST_F(RadioGroupTest, FilterRowChoosesAnItemFromAFixedListOfTheCaptions) {
  std::unique_ptr<TcxRadioGroupProperties, orv::FreeDeleter> p(new TcxRadioGroupProperties(nullptr));
  p->GetRadioItems()->Add()->SetCaption("Low");
  auto* high = p->GetRadioItems()->Add();
  high->SetCaption("High");
  high->SetValue(Variant(20));
  p->SetDefaultValue(Variant(-1));
  p->SetDefaultCaption("None");
  const TcxCustomFilterEditHelper* helper =
      FilterEditsController()->FindFilterEditHelper(TcxRadioGroupProperties::StaticClass());
  ASSERT_NE(helper, nullptr);
  EXPECT_EQ(helper->ClassName(), "TcxFilterRadioGroupHelper");
  EXPECT_EQ(helper->GetFilterEditorClass(), TcxComboBox::StaticClass());
  EXPECT_TRUE(helper->UsesDisplayText());
  TcxFilterControlOperators ops, extended;
  helper->GetSupportedOperators(p.get(), nullptr, ops, false);
  helper->GetSupportedOperators(p.get(), nullptr, extended, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 9, 10}));
  EXPECT_EQ(extended, (TcxFilterControlOperators{1, 2, 9, 10, 13, 14}));

  auto* combo = new TcxComboBox(Form.get());
  combo->SetParent(Form.get());
  helper->InitializeEdit(combo, p.get());
  EXPECT_EQ(combo->GetProperties()->GetDropDownListStyle(), lsFixedList);
  ASSERT_EQ(combo->GetProperties()->GetItems()->GetCount(), 2);
  EXPECT_EQ(combo->GetProperties()->GetItems()->Get(1), "High");
  struct Case {
    Variant set;
    Integer index;
    Variant value;
    const char* text;
  };
  const Case cases[] = {
      {Variant(20), 1, Variant(20), "High"},
      {Variant(AnsiString("Low")), 0, Null(), "Low"},
      {Variant(99), -1, Variant(-1), "None"},
  };
  for (const Case& c : cases) {
    helper->SetEditValue(combo, p.get(), c.set);
    EXPECT_EQ(combo->GetItemIndexProperty(), c.index) << c.text;
    AnsiString text;
    Variant value;
    helper->GetEditValueAndText(combo, p.get(), text, value);
    EXPECT_EQ(text, c.text);
    EXPECT_TRUE(AreVariantsEqual(value, c.value)) << c.text;
  }
}
