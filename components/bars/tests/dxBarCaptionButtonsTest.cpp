// Caption buttons of a bar: the hit test and state tracking over their rectangles, the hint
// that shows only while a button is hot, clicks, and the screen tip reference cleared when the
// tip goes.

#include <gtest/gtest.h>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCaptionButtons.h"
#include "components/bars/dxBarScreenTip.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

class BarCaptionButtonsTest : public orv::test::HeadlessFormTest {
 protected:
  BarCaptionButtonsTest() : HeadlessFormTest({100, 100, 320, 160}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = new TdxBarManager(Form.get());
    Bar = Manager->AddToolbar(false);
    Buttons = Bar->GetCaptionButtons();
    for (Integer i = 0; i < 3; ++i) {
      TdxBarCaptionButton* button = Buttons->Add();
      button->SetRect(TRect{10 + 20 * i, 2, 26 + 20 * i, 18});
      button->SetHint(i == 0 ? "Pin" : i == 1 ? "Options" : "Close");
    }
  }
  void TearDown() override {
    Form.reset();
    HeadlessFormTest::TearDown();
  }
  TdxBarManager* Manager = nullptr;
  TdxBar* Bar = nullptr;
  TdxBarCaptionButtons* Buttons = nullptr;
};

struct TCaptionClicks {
  Integer Count = 0;
  TObject* Sender = nullptr;
  void Click(TObject* sender) {
    ++Count;
    Sender = sender;
  }
};

}  // namespace

TEST_F(BarCaptionButtonsTest, TheHitTestSkipsDisabledButtonsAndTheBoundsUniteTheRectangles) {
  EXPECT_EQ(Buttons->ButtonAtPoint(TPoint{12, 5}), 0);
  EXPECT_EQ(Buttons->ButtonAtPoint(TPoint{35, 5}), 1);
  EXPECT_EQ(Buttons->ButtonAtPoint(TPoint{27, 5}), -1);  // between two buttons
  Buttons->GetButton(1)->SetEnabled(false);
  EXPECT_EQ(Buttons->GetButton(1)->GetState(), TdxBarCaptionButton::bsDisabled);
  EXPECT_EQ(Buttons->ButtonAtPoint(TPoint{35, 5}), -1);
  EXPECT_EQ(Buttons->GetBounds(), (TRect{10, 2, 66, 18}));
  Buttons->GetButton(2)->SetRect(TRect());
  EXPECT_EQ(Buttons->GetBounds(), (TRect{10, 2, 46, 18}));
  // A bar without rectangles has no bounds.
  TdxBar* other = Manager->AddToolbar(false);
  other->GetCaptionButtons()->Add();
  EXPECT_EQ(other->GetCaptionButtons()->GetBounds(), TRect());
}

TEST_F(BarCaptionButtonsTest, StatesFollowThePointerAndAHintShowsOnlyWhileHot) {
  Buttons->GetButton(1)->SetEnabled(false);
  Buttons->UpdateButtonStates(TPoint{12, 5}, false);
  EXPECT_EQ(Buttons->GetButton(0)->GetState(), TdxBarCaptionButton::bsHot);
  EXPECT_EQ(Buttons->GetButton(2)->GetState(), TdxBarCaptionButton::bsNormal);
  AnsiString hint, shortCut;
  Boolean enabled = false;
  Buttons->GetButton(0)->GetHintInfo(hint, shortCut, enabled);
  EXPECT_EQ(hint, "Pin");
  Buttons->GetButton(2)->GetHintInfo(hint, shortCut, enabled);
  EXPECT_EQ(hint, "");
  Buttons->UpdateButtonStates(TPoint{12, 5}, true);
  EXPECT_EQ(Buttons->GetButton(0)->GetState(), TdxBarCaptionButton::bsPressed);
  // Over the disabled button: it keeps its state, the others go back to normal.
  Buttons->UpdateButtonStates(TPoint{35, 5}, false);
  EXPECT_EQ(Buttons->GetButton(0)->GetState(), TdxBarCaptionButton::bsNormal);
  EXPECT_EQ(Buttons->GetButton(1)->GetState(), TdxBarCaptionButton::bsDisabled);
}

TEST_F(BarCaptionButtonsTest, AClickFiresOnClickAndAssignCopiesTheButton) {
  TCaptionClicks clicks;
  TdxBarCaptionButton* button = Buttons->GetButton(2);
  button->SetOnClick(TNotifyEvent(&clicks, &TCaptionClicks::Click));
  button->Click();
  EXPECT_EQ(clicks.Count, 1);
  EXPECT_EQ(clicks.Sender, button);
  TdxBarCaptionButton* copy = Buttons->Add();
  copy->Assign(button);
  EXPECT_EQ(copy->GetHint(), "Close");
  EXPECT_EQ(copy->GetRect(), button->GetRect());
  copy->Click();
  EXPECT_EQ(clicks.Count, 2);
  // A bar assigned from another takes its caption buttons.
  TdxBar* other = Manager->AddToolbar(false);
  other->Assign(Bar);
  EXPECT_EQ(other->GetCaptionButtons()->GetCount(), 4);
}

TEST_F(BarCaptionButtonsTest, DestroyingTheScreenTipClearsTheButtonsReference) {
  auto* repository = new TdxBarScreenTipRepository(Form.get());
  TdxBarScreenTip* tip = repository->GetItems()->Add();
  Buttons->GetButton(0)->SetScreenTip(tip);
  EXPECT_TRUE(Buttons->GetButton(0)->HasScreenTip());
  tip->Free();
  EXPECT_EQ(Buttons->GetButton(0)->GetScreenTip(), nullptr);
}
