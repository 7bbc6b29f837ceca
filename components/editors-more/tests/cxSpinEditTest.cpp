// The spin editor: a bounded integer stepped by keys, buttons, wheel and the repeat timer, the
// value a user types checked against the bounds on leaving, and the main window's tolerance
// spinners driven as a user would.
#include <gtest/gtest.h>

#include <memory>

#include "components/editors-more/cxProgressBar.h"
#include "components/editors-more/cxSpinEdit.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/editors/cxTextEdit.h"
#include "platform/controls/StdCtrls.h"

using namespace edmore_test;

namespace {

// The main window's tolerance handler: a typed value below 1 becomes 1, an empty text stays.
class TToleranceHandler : public TObject {
 public:
  void Change(TObject* sender) {
    ++Changes;
    auto* spin = static_cast<TcxSpinEdit*>(sender);
    if (!spin->GetText().empty() && spin->GetValue().AsInt64() < 1) spin->SetValue(Variant(Int64(1)));
  }
  int Changes = 0;
};

class SpinEditTest : public FormTest {
 protected:
  TcxSpinEdit* AddTolerance(Double max, Integer x = 10, Integer y = 10) {
    auto* s = new TcxSpinEdit(Form.get());
    s->SetParent(Form.get());
    s->SetBounds(x, y, 41, 21);
    s->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
    s->GetStyle()->GetFont()->SetHeight(-8);
    s->GetProperties()->SetMinValue(1);
    s->GetProperties()->SetMaxValue(max);
    s->SetValue(Variant(Int64(1)));
    s->GetProperties()->SetOnChange(TNotifyEvent(&Handler, &TToleranceHandler::Change));
    return s;
  }
  static void Type(const char* text) {
    for (const char* c = text; *c; ++c) orv::headless::TypeText(std::string(1, *c));
    Run();
  }
  TToleranceHandler Handler;
};

}  // namespace

TEST_F(SpinEditTest, ValueIsABoundedInteger) {
  TcxSpinEdit* s = AddTolerance(180);
  Show();
  EXPECT_EQ(VarType(s->GetValue()), varInt64);
  EXPECT_EQ(s->GetValue().AsInt64(), 1);
  EXPECT_EQ(s->GetText(), "1");
  s->SetValue(Variant(Int64(42)));
  EXPECT_EQ(s->GetText(), "42");
  s->SetValue(Null());
  EXPECT_EQ(s->GetValue().AsInt64(), 42) << "only numbers are taken";
  s->GetProperties()->SetValueType(vtFloat);
  s->SetValue(Variant(2.5));
  EXPECT_EQ(s->GetValue().AsDouble(), 2.5);
}

TEST_F(SpinEditTest, KeysAndWheelStepWithinTheBounds) {
  TcxSpinEdit* s = AddTolerance(90);
  Show();
  s->SetFocus();
  Run();
  orv::headless::PressKey(VK_UP);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 2);
  orv::headless::PressKey(VK_PRIOR);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 12);
  for (int i = 0; i < 10; ++i) orv::headless::PressKey(VK_PRIOR);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 90) << "a spin past the maximum ends on it";
  orv::headless::PressKey(VK_NEXT);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 80);
  for (int i = 0; i < 10; ++i) orv::headless::PressKey(VK_NEXT);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 1);
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 1);
  EXPECT_GE(Handler.Changes, 4);
  s->GetProperties()->SetCircular(true);
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 90) << "a circular spinner wraps";
}

TEST_F(SpinEditTest, TypingZeroAndLeavingGivesTheMinimum) {
  auto* other = new TEdit(Form.get());
  other->SetParent(Form.get());
  other->SetBounds(100, 10, 60, 21);
  TcxSpinEdit* s = AddTolerance(180);
  Show();
  s->SetFocus();
  Run();
  s->SelectAll();
  Type("0");
  EXPECT_EQ(s->GetText(), "1") << "the window's handler puts 1 back at once";
  s->SelectAll();
  Type("250");
  other->SetFocus();
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 180) << "leaving clamps a typed value into the bounds";
  EXPECT_EQ(s->GetText(), "180");
  s->SetFocus();
  Run();
  s->SelectAll();
  Type("x");
  EXPECT_EQ(s->GetText(), "180") << "a letter is refused and leaves the text";
}

TEST_F(SpinEditTest, AHeldButtonRepeatsAfter400ThenEvery100Ms) {
  TcxSpinEdit* s = AddTolerance(180, 10, 10);
  s->SetAutoSize(false);
  s->SetBounds(10, 10, 60, 24);
  Show();
  TcxCustomEditViewInfo* info = s->GetEditViewInfo();
  ASSERT_EQ(info->GetButtonCount(), 2);
  const TRect up = info->GetButton(1)->Bounds;
  EXPECT_LT(up.Bottom, info->GetButton(0)->Bounds.Bottom) << "increment above decrement";
  const TPoint p = s->ClientToScreen(TPoint{(up.Left + up.Right) / 2, (up.Top + up.Bottom) / 2});
  orv::headless::MouseMove(p.X, p.Y);
  orv::headless::MouseDown();
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 2);
  orv::headless::AdvanceTime(399);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 2);
  orv::headless::AdvanceTime(1);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 3);
  orv::headless::AdvanceTime(100);
  Run();
  orv::headless::AdvanceTime(100);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 5);
  orv::headless::MouseUp();
  Run();
  orv::headless::AdvanceTime(500);
  Run();
  EXPECT_EQ(s->GetValue().AsInt64(), 5) << "released: no more repeats";
}

TEST_F(SpinEditTest, GoldenTolerancesInOffice2003Look) {
  Form->SetBounds(100, 100, 120, 40);
  TcxSpinEdit* lon = AddTolerance(180, 4, 8);
  TcxSpinEdit* lat = AddTolerance(90, 60, 8);
  for (TcxSpinEdit* s : {lon, lat}) {
    s->GetStyle()->GetLookAndFeel()->SetKind(lfOffice11);
    s->GetStyle()->SetBorderStyle(cbsOffice11);
  }
  lat->SetValue(Variant(Int64(45)));
  Show();
  ExpectGolden(Form.get(), "spinedit-office11");
}

TEST(SpinEditFilterHelpers, SpinAndProgressBarValuesAreEnteredWithASpinEditor) {
  using Spin = std::unique_ptr<TcxSpinEditProperties, orv::FreeDeleter>;
  using Bar = std::unique_ptr<TcxProgressBarProperties, orv::FreeDeleter>;
  const TcxCustomFilterEditHelper* spinHelper = FilterEditsController()->FindFilterEditHelper(TcxSpinEditProperties::StaticClass());
  const TcxCustomFilterEditHelper* barHelper = FilterEditsController()->FindFilterEditHelper(TcxProgressBarProperties::StaticClass());
  ASSERT_NE(spinHelper, nullptr);
  ASSERT_NE(barHelper, nullptr);
  ASSERT_NE(spinHelper, barHelper);
  EXPECT_EQ(spinHelper->GetFilterEditorClass(), TcxSpinEdit::StaticClass());
  EXPECT_EQ(barHelper->GetFilterEditorClass(), TcxSpinEdit::StaticClass());
  EXPECT_TRUE(spinHelper->KeepsEditButtons());
  // Numbers are compared and ranged, never matched with "like".
  TcxFilterControlOperators ops;
  spinHelper->GetSupportedOperators(nullptr, TcxValueTypeClass(), ops, false);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10}));
  spinHelper->GetSupportedOperators(nullptr, TcxValueTypeClass(), ops, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}));
  // The filter editor of a progress bar column spins within the bar's range.
  Bar bar(new TcxProgressBarProperties(nullptr));
  bar->SetMin(10);
  bar->SetMax(90);
  Spin filter(new TcxSpinEditProperties(nullptr));
  filter->SetCanEdit(false);
  barHelper->InitFilterProperties(filter.get(), bar.get(), false);
  EXPECT_TRUE(filter->GetCanEdit());
  EXPECT_EQ(filter->GetMinValue(), 10);
  EXPECT_EQ(filter->GetMaxValue(), 90);
  EXPECT_EQ(filter->GetButtons()->GetCount(), 2) << "the set-up drops the buttons; the spin buttons come back";
}

TEST_F(SpinEditTest, AClickOnEitherHalfOfTheButtonColumnSteps) {
  TcxSpinEdit* s = AddTolerance(180, 10, 10);
  s->SetAutoSize(false);
  s->SetBounds(10, 10, 60, 24);
  s->SetValue(Variant(Int64(5)));
  Show();
  TcxCustomEditViewInfo* info = s->GetEditViewInfo();
  ASSERT_EQ(info->GetButtonCount(), 2);
  struct Case {
    Integer button;
    Int64 value;
  };
  // Button 0 is the lower half (decrement), button 1 the upper half (increment).
  for (const Case& c : {Case{0, 4}, Case{0, 3}, Case{1, 4}}) {
    const TRect r = info->GetButton(c.button)->Bounds;
    const TPoint p = s->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    orv::headless::AdvanceTime(1000);
    orv::headless::Click(p.X, p.Y);
    Run();
    EXPECT_EQ(s->GetValue().AsInt64(), c.value) << "button " << c.button;
  }
}
