// The hint window base on the headless window system: kept inside the work area, shown topmost
// without activation, animated only for short texts and as the system settings choose, its
// border and background flags, and the standard-hint mode.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "components/foundation/cxControls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// Records whether the window was already on screen when the final showing came (it is when an
// animation showed it).
class TTestHint : public TcxBaseHintWindow {
  ORV_CLASS(TTestHint, TcxBaseHintWindow)
 public:
  explicit TTestHint(TComponent* owner) : TcxBaseHintWindow(owner) {}
  void PrepareShow() override { ++Prepares; }
  void ShowNoActivate() override {
    VisibleBeforeShow = IsWindowVisible(GetHandle());
    inherited::ShowNoActivate();
  }
  int Prepares = 0;
  bool VisibleBeforeShow = false;
};

void SetTooltipAnimation(bool animation, bool fade) {
  SystemParametersInfo(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(std::uintptr_t(animation)), 0);
  SystemParametersInfo(SPI_SETTOOLTIPFADE, 0, reinterpret_cast<void*>(std::uintptr_t(fade)), 0);
}

class HintWindowTest : public orv::test::HeadlessFormTest {
 protected:
  HintWindowTest() : HeadlessFormTest({100, 100, 300, 200}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Form->Show();
    Application->ProcessMessages();
    Hint.reset(new TTestHint(nullptr));
  }
  void TearDown() override {
    Hint.reset();
    HeadlessFormTest::TearDown();
  }
  Owned<TTestHint> Hint;
};

TEST_F(HintWindowTest, DefaultsAnimateAutomaticallyAfterATenthOfASecond) {
  EXPECT_EQ(Hint->GetAnimationStyle(), cxhaAuto);
  EXPECT_EQ(Hint->GetAnimationDelay(), 100u);
  EXPECT_FALSE(Hint->GetStandardHint());
  EXPECT_FALSE(Hint->GetNeedEraseBackground());
}

TEST_F(HintWindowTest, StaysInsideTheWorkArea) {
  const TRect area = GetWorkAreaAtPoint(TPoint{0, 0});
  struct {
    TPoint Asked;
    TPoint Expected;
  } const cases[] = {
      {{50, 60}, {50, 60}},
      {{area.Right - 10, 60}, {area.Right - 80, 60}},
      {{50, area.Bottom - 5}, {50, area.Bottom - 20}},
      {{area.Left - 30, area.Top - 40}, {area.Left, area.Top}},
  };
  for (const auto& c : cases) {
    Hint->SetBounds(c.Asked.X, c.Asked.Y, 80, 20);
    EXPECT_EQ(Hint->GetLeft(), c.Expected.X) << c.Asked.X;
    EXPECT_EQ(Hint->GetTop(), c.Expected.Y) << c.Asked.Y;
  }
}

TEST_F(HintWindowTest, ActivateShowsTopmostWithoutActivation) {
  SetTooltipAnimation(false, false);
  Hint->ActivateHint({200, 150, 300, 170}, "Подсказка"_a);
  Application->ProcessMessages();
  EXPECT_TRUE(IsWindowVisible(Hint->GetHandle()));
  EXPECT_EQ(Hint->GetBoundsRect(), (TRect{200, 150, 300, 170}));
  EXPECT_EQ(Hint->GetCaption(), "Подсказка"_a);
  EXPECT_TRUE(GetWindowLong(Hint->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetActiveWindow(), Form->GetHandle());
  EXPECT_EQ(Hint->Prepares, 1);
}

TEST_F(HintWindowTest, OnlyShortTextsAreAnimated) {
  SetTooltipAnimation(true, true);
  for (const std::size_t length : {std::size_t(5), std::size_t(99), std::size_t(100), std::size_t(250)}) {
    Hint->ReleaseHandle();
    Hint->ActivateHint({200, 150, 300, 170}, AnsiString(length, 'x'));
    EXPECT_EQ(Hint->VisibleBeforeShow, length < 100) << length;
    EXPECT_TRUE(IsWindowVisible(Hint->GetHandle()));
  }
  // No animation style: shown at once.
  Hint->SetAnimationStyle(cxhaNone);
  Hint->ReleaseHandle();
  Hint->ActivateHint({200, 150, 300, 170}, "x");
  EXPECT_FALSE(Hint->VisibleBeforeShow);
}

TEST_F(HintWindowTest, TheSystemSettingsChooseTheAutomaticAnimation) {
  struct {
    TcxHintAnimate Style;
    bool Animation;
    bool Fade;
    TcxHintAnimate Expected;
  } const cases[] = {
      {cxhaAuto, true, true, cxhaFadeIn},          {cxhaAuto, true, false, cxhaSlideDownward},
      {cxhaAuto, false, true, cxhaNone},           {cxhaSlideFromLeft, true, false, cxhaSlideFromLeft},
      {cxhaSlideFromLeft, false, false, cxhaNone}, {cxhaNone, true, true, cxhaNone},
  };
  for (const auto& c : cases) {
    SetTooltipAnimation(c.Animation, c.Fade);
    Hint->SetAnimationStyle(c.Style);
    EXPECT_EQ(Hint->GetEffectiveAnimationStyle(), c.Expected) << int(c.Style) << c.Animation << c.Fade;
  }
}

TEST_F(HintWindowTest, BorderAndStandardModeShapeTheWindow) {
  Hint->HandleNeeded();
  EXPECT_TRUE(GetWindowLong(Hint->GetHandle(), GWL_STYLE) & WS_BORDER);
  Hint->SetHasBorder(false);
  Hint->ReleaseHandle();
  Hint->HandleNeeded();
  EXPECT_FALSE(GetWindowLong(Hint->GetHandle(), GWL_STYLE) & WS_BORDER);
  // The platform's own window in standard-hint mode.
  Hint->SetStandardHint(true);
  Hint->ReleaseHandle();
  Hint->HandleNeeded();
  EXPECT_TRUE(GetWindowLong(Hint->GetHandle(), GWL_STYLE) & WS_BORDER);
}

TEST_F(HintWindowTest, StandardModeLeavesPlacementToThePlatform) {
  SetTooltipAnimation(true, true);
  Hint->SetStandardHint(true);
  Hint->ActivateHint({200, 150, 300, 170}, "x");
  EXPECT_TRUE(IsWindowVisible(Hint->GetHandle()));
  EXPECT_EQ(Hint->Prepares, 0);
  EXPECT_EQ(Hint->GetLeft(), 200);
  EXPECT_EQ(Hint->GetTop(), 150);
}

TEST_F(HintWindowTest, ErasesItsBackgroundOnlyWhenAsked) {
  Hint->HandleNeeded();
  HDC dc = GetDC(Hint->GetHandle());
  EXPECT_EQ(SendMessage(Hint->GetHandle(), WM_ERASEBKGND, WPARAM(dc), 0), 1);
  Hint->SetNeedEraseBackground(true);
  SendMessage(Hint->GetHandle(), WM_ERASEBKGND, WPARAM(dc), 0);
  ReleaseDC(Hint->GetHandle(), dc);
}

TEST_F(HintWindowTest, ShowHintWindowActivatesTheWindow) {
  SetTooltipAnimation(false, false);
  ShowHintWindow(Hint.get(), {20, 30, 120, 50}, "text");
  EXPECT_TRUE(IsWindowVisible(Hint->GetHandle()));
  EXPECT_EQ(Hint->GetBoundsRect(), (TRect{20, 30, 120, 50}));
  ShowHintWindow(nullptr, {20, 30, 120, 50}, "text");  // nothing to show
}

}  // namespace
