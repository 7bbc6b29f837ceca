// The splash window and the about box: their form descriptions, the one splash window at a
// time, the about box hidden by OK and by Escape and shown again alike, and how both look.
#include <gtest/gtest.h>

#include <string>

#include "app/UStart.h"
#include "app/fMsgF1DE.h"
#include "components/editors-more/cxLabel.h"
#include "components/editors/cxButtons.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

::testing::AssertionResult StartGolden(TWinControl* c, const std::string& name) {
  const orv::TImageCheck check = orv::MatchGoldenImage(
      orv::headless::CaptureWindow(c->GetHandle()), std::string(ORV_SOURCE_DIR) + "/app/tests/golden/" + name);
  if (check) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << check.Message;
}

Integer CountStartWindows() {
  Integer n = 0;
  for (Integer i = 0; i < Application->GetComponentCount(); ++i)
    if (dynamic_cast<TFStart*>(Application->GetComponent(i))) ++n;
  return n;
}

class StartWindow : public ::testing::Test {
 protected:
  void SetUp() override { orv::test::ResetHeadlessDesktop(); }
  void TearDown() override {
    CloseStartWindow();
    orv::headless::Reset();
  }
};

TEST_F(StartWindow, ShowsOneBorderlessCentredBoxThatIsPaintedBeforeTheWorkStarts) {
  ShowStartWindow();
  TFStart* first = FStart;
  ASSERT_NE(first, nullptr);
  ShowStartWindow();
  ASSERT_NE(FStart, nullptr);
  EXPECT_EQ(CountStartWindows(), 1);
  EXPECT_TRUE(IsWindowVisible(FStart->GetHandle()));
  EXPECT_EQ(FStart->GetBorderStyle(), bsNone);
  EXPECT_EQ(FStart->GetClientWidth(), 210);
  EXPECT_EQ(FStart->GetClientHeight(), 91);
  // Centred on the 1024 x 768 headless screen.
  EXPECT_EQ(FStart->GetBoundsRect(), (TRect{407, 338, 617, 429}));
  EXPECT_EQ(FStart->cxLabel1->GetCaption(), "Загрузка данных..."_a);
  EXPECT_EQ(FStart->cxLabel1->GetStyle()->GetFont()->GetHeight(), -16);
  // Painted by ShowStartWindow itself: no further message is handled before the capture.
  EXPECT_TRUE(StartGolden(FStart, "splash.png"));

  CloseStartWindow();
  EXPECT_EQ(FStart, nullptr);
  EXPECT_EQ(CountStartWindows(), 0);
  CloseStartWindow();  // nothing to close
  EXPECT_EQ(FStart, nullptr);
}

class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::test::ResetHeadlessDesktop();
    Application->CreateForm(frmMsgF1DE);
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    frmMsgF1DE->Free();
    frmMsgF1DE = nullptr;
    orv::headless::Reset();
  }
  // Shows the about box modally; `act` runs once the box waits for input.
  static Integer ShowModalAndThen(std::function<void()> act) {
    bool done = false;
    orv::headless::SetIdleHandler([&] {
      if (done) return false;
      done = true;
      act();
      return true;
    });
    const Integer result = frmMsgF1DE->ShowModal();
    orv::headless::SetIdleHandler(nullptr);
    EXPECT_TRUE(done);
    return result;
  }
  static void ClickOK() {
    const TPoint p = frmMsgF1DE->btnOK->ClientToScreen(Point(40, 12));
    orv::headless::Click(p.X, p.Y);
  }
};

TEST_F(AboutBox, IsCreatedHiddenWithItsOnePageAndPictures) {
  ASSERT_NE(frmMsgF1DE, nullptr);
  EXPECT_FALSE(frmMsgF1DE->GetVisible());
  EXPECT_EQ(frmMsgF1DE->GetClientWidth(), 400);
  EXPECT_EQ(frmMsgF1DE->GetClientHeight(), 204);
  EXPECT_EQ(frmMsgF1DE->GetBorderStyle(), bsNone);
  ASSERT_EQ(frmMsgF1DE->cxPageControl1->GetPageCount(), 1);
  EXPECT_EQ(frmMsgF1DE->cxTabSheet1->GetCaption(), "О программе"_a);
  EXPECT_EQ(frmMsgF1DE->cxTabSheet1->GetImageIndex(), 0);
  EXPECT_EQ(frmMsgF1DE->LbUnit3->GetCaption(), "Орване"_a);
  EXPECT_EQ(frmMsgF1DE->LbUnit4->GetCaption(), "1.1  (build: 23.12.2006)"_a);
  EXPECT_TRUE(frmMsgF1DE->btnOK->GetCancel());
  EXPECT_EQ(frmMsgF1DE->GetActiveControl(), frmMsgF1DE->btnOK);
  EXPECT_EQ(frmMsgF1DE->ImageList->GetCount(), 6);
  EXPECT_EQ(frmMsgF1DE->Image1->GetPicture()->GetWidth(), 32);
  EXPECT_EQ(frmMsgF1DE->Image1->GetPicture()->GetHeight(), 32);
}

TEST_F(AboutBox, OKAndEscapeHideItAndItShowsAgainAlike) {
  bool painted = false;
  ShowModalAndThen([&] {
    EXPECT_TRUE(frmMsgF1DE->GetVisible());
    EXPECT_TRUE(StartGolden(frmMsgF1DE, "about.png"));
    painted = true;
    ClickOK();
  });
  EXPECT_TRUE(painted);
  EXPECT_FALSE(frmMsgF1DE->GetVisible());
  EXPECT_FALSE(IsWindowVisible(frmMsgF1DE->GetHandle()));

  // The mouse leaves the button it clicked, which would otherwise show hot.
  orv::headless::MouseMove(0, 0);
  TfrmMsgF1DE* same = frmMsgF1DE;
  ShowModalAndThen([&] {
    EXPECT_TRUE(StartGolden(frmMsgF1DE, "about.png"));
    orv::headless::PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(frmMsgF1DE, same);
  EXPECT_FALSE(frmMsgF1DE->GetVisible());
}

}  // namespace
