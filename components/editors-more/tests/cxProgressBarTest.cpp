// The progress bar: the clamped position, Min and Max moving each other, text styles, peak
// tracking, the bar's rectangles, the marquee animation on the test clock, and golden images.
#include <gtest/gtest.h>

#include <vector>

#include "components/editors-more/cxProgressBar.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/runtime/Locale.h"

using namespace edmore_test;

namespace {

class ProgressBarTest : public FormTest {
 protected:
  TcxProgressBar* Add(Integer x = 10, Integer y = 10, Integer w = 121, Integer h = 21) {
    auto* b = new TcxProgressBar(Form.get());
    b->SetParent(Form.get());
    b->SetBounds(x, y, w, h);
    b->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
    b->GetStyle()->GetFont()->SetHeight(-8);
    return b;
  }
};

using Props = std::unique_ptr<TcxProgressBarProperties, orv::FreeDeleter>;

}  // namespace

TEST_F(ProgressBarTest, PositionIsClampedIntoTheRange) {
  TcxProgressBar* b = Add();
  Show();
  b->SetPosition(150);
  EXPECT_EQ(b->GetPosition(), 100);
  b->SetPosition(-5);
  EXPECT_EQ(b->GetPosition(), 0);
  b->SetPosition(42.5);
  EXPECT_EQ(b->GetEditValueProperty().AsDouble(), 42.5);
  // An empty range clamps nothing.
  b->GetProperties()->SetMax(0);
  b->SetPosition(7);
  EXPECT_EQ(b->GetPosition(), 7);
}

TEST_F(ProgressBarTest, MinAndMaxMoveEachOtherAndCarryOverloadAndPeak) {
  Props p(new TcxProgressBarProperties(nullptr));
  EXPECT_EQ(p->GetMin(), 0);
  EXPECT_EQ(p->GetMax(), 100);
  p->SetPeakValue(90);
  p->SetMax(50);
  EXPECT_EQ(p->GetOverloadValue(), 50);
  EXPECT_EQ(p->GetPeakValue(), 50);
  p->SetMin(70);
  EXPECT_EQ(p->GetMax(), 70) << "Max follows a Min set above it";
  EXPECT_EQ(p->GetOverloadValue(), 70);
  p->SetMax(10);
  EXPECT_EQ(p->GetMin(), 10);
  p->SetOverloadValue(500);
  EXPECT_EQ(p->GetOverloadValue(), 10) << "clamped into [Min, Max]";
}

TEST_F(ProgressBarTest, TextStylesAndTheirSwitches) {
  Props p(new TcxProgressBarProperties(nullptr));
  p->SetAnimationSpeed(25);
  EXPECT_EQ(p->GetAnimationSpeed(), 20);
  p->SetMarquee(true);
  EXPECT_EQ(p->GetShowTextStyle(), cxtsText);
  p->SetShowTextStyle(cxtsPosition);
  EXPECT_EQ(p->GetShowTextStyle(), cxtsText) << "locked while Marquee is on";
  p->SetMarquee(false);
  p->SetShowTextStyle(cxtsPercent);
  p->SetText("Export");
  EXPECT_EQ(p->GetShowTextStyle(), cxtsText);
  p->SetBarStyle(cxbsAnimation);
  EXPECT_EQ(p->GetBeginColor(), TColor(0x00D328));
}

TEST_F(ProgressBarTest, DisplayValuesAndPercentText) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  Props p(new TcxProgressBarProperties(nullptr));
  struct Case {
    Variant value;
    const char* text;
  };
  const Case cases[] = {
      {Variant(12.5), "12 %"}, {Variant(13.5), "14 %"}, {Variant(AnsiString("12.5")), "12 %"},
      {Variant(AnsiString("abc")), "0 %"}, {Variant(250), "100 %"}, {Null(), "0 %"},
  };
  for (const Case& c : cases) {
    AnsiString text;
    p->EditValueToDisplayText(c.value, text);
    EXPECT_EQ(text, c.text) << VarToStr(c.value);
  }
  Variant display;
  p->EditValueToDisplayValue(Variant(AnsiString("12.5")), display, false);
  EXPECT_EQ(display.AsDouble(), 12.5);
  p->SetShowTextStyle(cxtsPosition);
  AnsiString text;
  p->EditValueToDisplayText(Variant(42.25), text);
  EXPECT_EQ(text, "42.25");
}

TEST_F(ProgressBarTest, BarRectanglesOverloadAndPeak) {
  TcxProgressBar* b = Add();
  b->GetProperties()->SetShowOverload(true);
  b->GetProperties()->SetShowPeak(true);
  Show();
  TcxCustomProgressBarViewInfo* info = b->GetBarViewInfo();
  // Auto-sized to the text height (10 + 3) and the 2-pixel transparent border: a bar of 117 x 13.
  EXPECT_EQ(info->BarBounds, (TRect{2, 2, 119, 15}));
  b->SetPosition(50);
  Run();
  EXPECT_EQ(info->FilledBounds, (TRect{2, 2, 60, 15}));
  EXPECT_FALSE(info->OverloadShown);
  EXPECT_EQ(info->PeakBounds, (TRect{60, 2, 62, 15}));
  b->SetPosition(90);
  Run();
  EXPECT_TRUE(info->OverloadShown);
  EXPECT_EQ(info->FilledBounds, (TRect{2, 2, 95, 15}));
  EXPECT_EQ(info->OverloadBounds, (TRect{95, 2, 107, 15}));
  // The peak stays at the highest position laid out.
  b->SetPosition(20);
  Run();
  EXPECT_EQ(b->GetProperties()->GetPeakValue(), 90);
  EXPECT_EQ(info->PeakBounds.Left, 2 + 105);
}

TEST_F(ProgressBarTest, LEDSizeFollowsTheBarThickness) {
  TcxProgressBar* b = Add(10, 10, 121, 10);
  b->GetProperties()->SetBarStyle(cxbsLEDs);
  b->SetAutoSize(false);
  b->SetBounds(10, 10, 121, 10);
  Show();
  b->SetPosition(50);
  Run();
  TcxCustomProgressBarViewInfo* info = b->GetBarViewInfo();
  EXPECT_EQ(info->FilledBounds.Height(), 6);
  EXPECT_EQ(info->GetLEDSize(), 6);
}

TEST_F(ProgressBarTest, MarqueeMovesOnTheTimer) {
  TcxProgressBar* b = Add();
  b->GetProperties()->SetAnimationSpeed(20);
  b->GetProperties()->SetMarquee(true);
  Show();
  TcxCustomProgressBarViewInfo* info = b->GetBarViewInfo();
  ASSERT_NE(info->GetStepTimer(), nullptr);
  const Integer start = info->AnimationOffset;
  EXPECT_EQ(start, -25);
  orv::headless::AdvanceTime(30);
  Run();
  EXPECT_EQ(info->AnimationOffset, start + 40) << "speed 20 moves 40 pixels a step";
  // Past the far end the block starts again from the near end.
  for (int i = 0; i < 5; ++i) {
    orv::headless::AdvanceTime(30);
    Run();
  }
  EXPECT_LT(info->AnimationOffset, 121);
  b->GetProperties()->SetAnimationSpeed(0);
  Run();
  EXPECT_EQ(info->GetStepTimer(), nullptr) << "speed 0 runs no timer";
}

TEST_F(ProgressBarTest, MarqueeCyclesAndPingPongPausesAtTheEnds) {
  TcxProgressBar* b = Add();
  b->GetProperties()->SetAnimationSpeed(10);
  b->GetProperties()->SetAnimationRestartDelay(100);
  b->GetProperties()->SetMarquee(true);
  Show();
  TcxCustomProgressBarViewInfo* info = b->GetBarViewInfo();
  auto tick = [] {
    orv::headless::AdvanceTime(30);
    Run();
  };
  // A cycle runs from the near end past the far end, then starts again from the near end.
  std::vector<Integer> offsets{info->AnimationOffset};
  while (offsets.size() < 40 && (offsets.size() < 2 || offsets.back() > offsets[offsets.size() - 2])) {
    tick();
    offsets.push_back(info->AnimationOffset);
  }
  ASSERT_LT(offsets.size(), 40u) << "the block comes back";
  EXPECT_EQ(offsets.front(), -25);
  EXPECT_EQ(offsets[1], -5) << "speed 10 moves 20 pixels a step";
  EXPECT_GT(offsets[offsets.size() - 2], info->Bounds.Width() + 25 - 20) << "it left the far end";
  EXPECT_EQ(offsets.back(), -25);
  // The restart delay holds it there for 100 ms, then it moves again.
  for (int i = 0; i < 3; ++i) tick();
  EXPECT_EQ(info->AnimationOffset, -25);
  tick();
  EXPECT_EQ(info->AnimationOffset, -5);

  // Ping-pong: forward to the far end, a 500 ms pause, then back.
  b->GetProperties()->SetAnimationRestartDelay(500);
  b->GetProperties()->SetAnimationPath(cxapPingPong);
  Run();
  EXPECT_EQ(info->AnimationOffset, 25);
  Integer before = info->AnimationOffset;
  int steps = 0;
  while (steps < 40 && info->AnimationDirectionSign > 0) {
    before = info->AnimationOffset;
    tick();
    ++steps;
  }
  ASSERT_LT(steps, 40) << "it turns";
  const Integer turned = info->AnimationOffset;
  EXPECT_EQ(turned, before + 20 - 1) << "past the end it steps back one pixel and turns";
  EXPECT_GT(turned, info->Bounds.Width() - 25);
  for (int i = 0; i < 16; ++i) tick();  // 480 ms
  EXPECT_EQ(info->AnimationOffset, turned) << "paused";
  tick();
  EXPECT_EQ(info->AnimationOffset, turned - 20) << "and back the other way";
}

TEST_F(ProgressBarTest, StatusBarBarFollowsASearchFrom0To100) {
  // As the main window drives it: hidden at first, shown for a search, stepped 0..100, hidden.
  TcxProgressBar* b = Add(4, 4, 122, 21);
  b->GetStyle()->GetLookAndFeel()->SetKind(lfOffice11);
  b->GetStyle()->GetFont()->SetStyle(TFontStyles{fsBold});
  b->GetProperties()->SetPeakValue(100);
  b->SetVisible(false);
  Show();
  EXPECT_FALSE(IsWindowVisible(b->GetHandle()));
  b->SetVisible(true);
  b->SetPosition(0);
  Run();
  TcxCustomProgressBarViewInfo* info = b->GetBarViewInfo();
  EXPECT_EQ(info->FilledBounds.Width(), 0);
  Integer previous = -1;
  for (int position = 10; position <= 100; position += 10) {
    b->SetPosition(position);
    Run();
    EXPECT_GT(info->FilledBounds.Width(), previous) << position;
    previous = info->FilledBounds.Width();
    AnsiString text;
    b->GetProperties()->EditValueToDisplayText(Variant(Double(position)), text);
    EXPECT_EQ(text, IntToStr(position) + " %");
  }
  EXPECT_EQ(info->FilledBounds, info->BarBounds) << "full at 100";
  b->SetVisible(false);
  Run();
  EXPECT_FALSE(IsWindowVisible(b->GetHandle()));
}

TEST_F(ProgressBarTest, GoldenStatusBarBarAndStyles) {
  Form->SetBounds(100, 100, 150, 130);
  // The main window's status-bar bar: Office 11 look, bold text, PeakValue 100.
  TcxProgressBar* status = Add(4, 4, 122, 21);
  status->GetStyle()->GetLookAndFeel()->SetKind(lfOffice11);
  status->GetStyle()->GetLookAndFeel()->SetNativeStyle(true);
  status->GetStyle()->GetFont()->SetName("Arial");
  status->GetStyle()->GetFont()->SetHeight(-11);
  status->GetStyle()->GetFont()->SetStyle(TFontStyles{fsBold});
  status->GetProperties()->SetPeakValue(100);
  TcxProgressBar* leds = Add(4, 30, 122, 21);
  leds->GetProperties()->SetBarStyle(cxbsLEDs);
  leds->GetProperties()->SetShowText(false);
  TcxProgressBar* gradient = Add(4, 56, 122, 21);
  gradient->GetProperties()->SetBarStyle(cxbsGradient);
  gradient->GetProperties()->SetShowOverload(true);
  gradient->GetProperties()->SetShowText(false);
  TcxProgressBar* peak = Add(4, 82, 122, 21);
  peak->GetProperties()->SetShowPeak(true);
  peak->GetProperties()->SetBarBevelOuter(cxbvRaised);
  peak->GetProperties()->SetShowText(false);
  Show();
  status->SetPosition(40);
  leds->SetPosition(60);
  gradient->SetPosition(90);
  peak->SetPosition(70);
  peak->SetPosition(30);
  Run();
  ExpectGolden(Form.get(), "progressbar-styles");
}
