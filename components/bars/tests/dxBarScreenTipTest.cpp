// Screen tips: the repository's fonts and names, the tip's width, and a toolbar button with a
// screen tip that shows it (not the plain hint) after the screen tip's delay on the test clock.

#include <gtest/gtest.h>

#include <string>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarScreenTip.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class BarScreenTipTest : public orv::test::HeadlessFormTest {
 protected:
  BarScreenTipTest() : HeadlessFormTest({100, 100, 320, 160}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    BarHookServices() = TdxBarHookServices();
    BarHintServices() = TdxBarHintServices();
    Repository = new TdxBarScreenTipRepository(Form.get());
    Repository->SetName("Tips");
  }
  void TearDown() override {
    Form.reset();
    BarHookServices() = TdxBarHookServices();
    BarHintServices() = TdxBarHintServices();
    HeadlessFormTest::TearDown();
  }

  TdxBarScreenTipRepository* Repository = nullptr;
};

HWND VisibleHintWindow(HWND except) {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w) && w != except && dynamic_cast<TdxBarHintWindow*>(FindControl(w))) return w;
  return nullptr;
}

}  // namespace

TEST_F(BarScreenTipTest, ANewTipIsNamedAndItsHeaderFollowsTheNameUntilEdited) {
  TdxBarScreenTip* tip = Repository->GetItems()->Add();
  EXPECT_EQ(tip->GetName(), "TipsScreenTip1");
  EXPECT_EQ(tip->GetHeader()->GetText(), "TipsScreenTip1");
  EXPECT_EQ(tip->GetRepository(), Repository);
  tip->SetName("FindTip");
  EXPECT_EQ(tip->GetHeader()->GetText(), "FindTip");
  tip->GetHeader()->SetText("Find towns");
  tip->SetName("FindTip2");
  EXPECT_EQ(tip->GetHeader()->GetText(), "Find towns");
  EXPECT_EQ(tip->GetDisplayName(), "FindTip2 - 'Find towns'");
}

TEST_F(BarScreenTipTest, TheWidthComesFromTheDescriptionGlyphUnlessSet) {
  TdxBarScreenTip* tip = Repository->GetItems()->Add();
  EXPECT_EQ(tip->GetActualWidth(), 210);
  TBitmap glyph;
  glyph.SetWidth(32);
  glyph.SetHeight(32);
  tip->GetDescription()->SetGlyph(&glyph);
  EXPECT_EQ(tip->GetActualWidth(), 318);
  tip->SetWidth(250);
  EXPECT_EQ(tip->GetActualWidth(), 250);
}

TEST_F(BarScreenTipTest, FontsAreBoldDarkGreyHintFontsUntilAssigned) {
  EXPECT_TRUE(Repository->GetAssignedFonts().Empty());
  EXPECT_TRUE(Repository->GetFont(stbHeader)->GetStyle().Contains(fsBold));
  EXPECT_TRUE(Repository->GetFont(stbFooter)->GetStyle().Contains(fsBold));
  EXPECT_FALSE(Repository->GetFont(stbDescription)->GetStyle().Contains(fsBold));
  EXPECT_EQ(Repository->GetFont(stbDescription)->GetColor(), TColor(0x4C4C4C));
  TFont font;
  font.SetName(orv::kTestFontFace);
  Repository->SetHeaderFont(&font);
  EXPECT_EQ(Repository->GetAssignedFonts(), TdxScreenTipRepositoryFonts{stbHeader});
  EXPECT_EQ(Repository->GetFont(stbHeader), Repository->GetHeaderFont());
  // Assigning a repository copies its standard footer and its assigned set last.
  auto* other = new TdxBarScreenTipRepository(Form.get());
  Repository->GetStandardFooter()->SetText("Press F1 for help");
  other->Assign(Repository);
  EXPECT_EQ(other->GetStandardFooter()->GetText(), "Press F1 for help");
  EXPECT_EQ(other->GetAssignedFonts(), TdxScreenTipRepositoryFonts{stbHeader});
}

TEST_F(BarScreenTipTest, DestroyingTheTipClearsTheItemsScreenTip) {
  auto* manager = new TdxBarManager(Form.get());
  auto* button = new TdxBarButton(Form.get());
  button->SetParentComponent(manager);
  TdxBarScreenTip* tip = Repository->GetItems()->Add();
  button->SetScreenTip(tip);
  EXPECT_EQ(button->GetScreenTip(), tip);
  tip->Free();
  EXPECT_EQ(button->GetScreenTip(), nullptr);
}

TEST_F(BarScreenTipTest, AButtonShowsItsScreenTipAfterTheScreenTipDelay) {
  auto* manager = new TdxBarManager(Form.get());
  manager->GetFont()->SetName(orv::kTestFontFace);
  manager->GetFont()->SetHeight(-11);
  TdxBar* bar = manager->AddToolbar(true);
  auto* button = new TdxBarButton(Form.get());
  button->SetParentComponent(manager);
  button->SetCaption("Find");
  button->SetHint("Find towns");
  bar->GetLinks()->AddItem(button);
  TdxBarScreenTip* tip = Repository->GetItems()->Add();
  tip->GetHeader()->SetText("Find towns");
  tip->GetDescription()->SetText("Finds the towns near the given coordinates.");
  for (Integer i = 0; i < 3; ++i) {
    TFont font;
    font.SetName(orv::kTestFontFace);
    font.SetHeight(-8);
    if (i != stbDescription) font.SetStyle(TFontStyles{fsBold});
    if (i == stbHeader) Repository->SetHeaderFont(&font);
    if (i == stbDescription) Repository->SetDescriptionFont(&font);
    if (i == stbFooter) Repository->SetFooterFont(&font);
  }
  button->SetScreenTip(tip);
  Show();
  TdxBarItemLink* link = bar->GetLinks()->GetItem(0);
  const TRect r = link->GetItemRect();
  POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  ClientToScreen(bar->GetControl()->GetHandle(), &p);
  orv::headless::MouseMove(p.X, p.Y);
  Run();
  orv::headless::AdvanceTime(899);
  EXPECT_EQ(VisibleHintWindow(Form->GetHandle()), nullptr);
  orv::headless::AdvanceTime(1);
  HWND hint = VisibleHintWindow(Form->GetHandle());
  ASSERT_NE(hint, nullptr);
  auto* window = dynamic_cast<TdxBarHintWindow*>(FindControl(hint));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->GetIsScreenTip());
  auto* info = dynamic_cast<TdxBarScreenTipViewInfo*>(window->GetViewInfo());
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->GetHeaderText(), "Find towns");
  RECT bounds{};
  GetWindowRect(hint, &bounds);
  EXPECT_EQ(bounds.Right - bounds.Left, 210);
  Run();
  const orv::TImageCheck check = orv::MatchGoldenImage(
      orv::headless::CaptureWindow(hint), std::string(ORV_SOURCE_DIR) + "/components/bars/tests/golden/bar_screentip.png");
  EXPECT_TRUE(check) << check.Message;
  // A screen tip stays far longer than a plain hint.
  orv::headless::AdvanceTime(10000);
  EXPECT_TRUE(IsWindowVisible(hint));
}
