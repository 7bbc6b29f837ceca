// The expand button of a menu that hides its rarely used items: shown along the bottom while
// items are hidden; a click on it, Ctrl+Down, Down on the last shown item and (when the manager
// asks for it) the delay of an untouched menu show them all, the menu staying where it opened.

#include <gtest/gtest.h>

#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class BarExpandButtonTest : public BarFormTest {
 protected:
  BarExpandButtonTest() : BarFormTest({100, 100, 420, 300}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Manager->SetStyle(bmsEnhanced);
    Manager->SetMenusShowRecentItemsFirst(true);
    Manager->SetShowFullMenusAfterDelay(false);
    Manager->BeginUpdate();
    Bar = Manager->AddToolbar(true);
    Sub = new TdxBarSubItem(Form.get());
    Sub->SetParentComponent(Manager);
    Sub->SetCaption("&File");
    Bar->GetLinks()->AddItem(Sub);
    // "Print" and "Export" are rarely used: the menu hides them until it is expanded.
    for (const char* caption : {"Open", "Save", "Print", "Export"}) {
      auto* button = NewTestButton(Manager, Form.get(), caption);
      TdxBarItemLink* link = Sub->GetItemLinks()->AddItem(button);
      link->SetMostRecentlyUsed(AnsiString(caption) != "Print" && AnsiString(caption) != "Export");
    }
    Bar->SetVisible(true);
    Manager->EndUpdate();
    Show();
    Run();
  }

  TdxBarSubItemControl* Opener() const {
    return dynamic_cast<TdxBarSubItemControl*>(Bar->GetLinks()->GetItem(0)->GetControl());
  }
  TdxBarSubMenuControl* Open() {
    TdxBarSubItemControl* opener = Opener();
    if (!opener) return nullptr;
    const TRect r = Bar->GetLinks()->GetItem(0)->GetItemRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(Bar->GetControl()->GetHandle(), &p);
    orv::headless::Click(p.X, p.Y);
    Run();
    return opener->GetSubMenuControl();
  }
  static std::vector<AnsiString> Shown(TdxBarSubMenuControl* menu) {
    std::vector<AnsiString> captions;
    for (Integer i = 0; i < menu->GetViewInfoCount(); ++i) captions.push_back(menu->GetViewInfoControl(i)->GetCaption());
    return captions;
  }
  static TPoint ScreenCentre(TdxBarSubMenuControl* menu, const TRect& r) {
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(menu->GetHandle(), &p);
    return TPoint{p.X, p.Y};
  }
  static TPoint WindowOrigin(TdxBarSubMenuControl* menu) {
    RECT r{};
    GetWindowRect(menu->GetHandle(), &r);
    return TPoint{r.Left, r.Top};
  }
  void Press(Word key, bool ctrl = false) {
    if (ctrl) orv::headless::KeyDown(VK_CONTROL);
    orv::headless::PressKey(key);
    Run();
    if (ctrl) orv::headless::KeyUp(VK_CONTROL);
    Run();
  }

  TdxBar* Bar = nullptr;
  TdxBarSubItem* Sub = nullptr;
  const std::vector<AnsiString> Recent{"Open", "Save"};
  const std::vector<AnsiString> All{"Open", "Save", "Print", "Export"};
};

}  // namespace

// The button sits along the bottom under the last shown item; the pointer lights it up and a
// click shows every item, the expanded ones marked rarely used, in a menu opened at the same place.
TEST_F(BarExpandButtonTest, AClickOnTheButtonShowsTheHiddenItemsWhereTheMenuOpened) {
  TdxBarSubMenuControl* menu = Open();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), Recent);
  ASSERT_TRUE(menu->IsMarkVisible());
  const TRect mark = menu->GetMarkRect();
  const TRect last = menu->GetViewInfoControl(1)->GetItemRect();
  EXPECT_GE(mark.Top, last.Bottom);
  EXPECT_EQ(mark.Bottom + Manager->GetPainter()->GetMenuInnerBorderWidth(), menu->GetClientHeight());
  const TPoint origin = WindowOrigin(menu);

  const TPoint at = ScreenCentre(menu, mark);
  orv::headless::MouseMove(at.X, at.Y);
  Run();
  EXPECT_EQ(menu->GetMarkState(), 1);
  EXPECT_EQ(Shown(menu), Recent) << "hovering alone does not expand without the delay option";
  orv::headless::Click(at.X, at.Y);
  Run();
  menu = Opener()->GetSubMenuControl();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), All);
  EXPECT_FALSE(menu->IsMarkVisible());
  EXPECT_TRUE(menu->IsActive());
  EXPECT_EQ(WindowOrigin(menu).X, origin.X);
  EXPECT_EQ(WindowOrigin(menu).Y, origin.Y);
  EXPECT_FALSE(menu->IsNonRecent(menu->GetViewInfoControl(1)));
  EXPECT_TRUE(menu->IsNonRecent(menu->GetViewInfoControl(2)));
  EXPECT_TRUE(menu->IsNonRecent(menu->GetViewInfoControl(3)));

  // Closed and opened again, the menu hides the rarely used items once more.
  Press(VK_ESCAPE);
  Press(VK_ESCAPE);
  Press(VK_ESCAPE);
  ASSERT_EQ(Opener()->GetSubMenuControl() ? Opener()->GetSubMenuControl()->HandleAllocated() : false, false);
  menu = Open();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), Recent);
}

// From the keyboard: Ctrl+Down expands and leaves the selection where it is; Down on the last
// shown item expands and moves on to the first item that was hidden.
TEST_F(BarExpandButtonTest, CtrlDownExpandsInPlaceAndDownOnTheLastItemMovesIntoTheNewItems) {
  const struct {
    const char* Name;
    Word Key;
    bool Ctrl;
    const char* SelectedAfter;
  } cases[] = {{"Ctrl+Down", VK_DOWN, true, "Save"}, {"Down", VK_DOWN, false, "Print"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Press(VK_F10);
    Press(VK_DOWN);  // opens the menu from the keyboard, its first item selected
    TdxBarSubMenuControl* menu = Opener()->GetSubMenuControl();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(Shown(menu), Recent);
    Press(VK_DOWN);
    ASSERT_NE(menu->GetSelectedItemControl(), nullptr);
    ASSERT_EQ(menu->GetSelectedItemControl()->GetCaption(), "Save");
    Press(c.Key, c.Ctrl);
    menu = Opener()->GetSubMenuControl();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Shown(menu), All);
    ASSERT_NE(menu->GetSelectedItemControl(), nullptr);
    EXPECT_EQ(menu->GetSelectedItemControl()->GetCaption(), c.SelectedAfter);
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);
  }
}

// With ShowFullMenusAfterDelay an untouched menu expands by itself after four seconds, and the
// pointer resting on the button expands it after the hint delay.
TEST_F(BarExpandButtonTest, WithTheDelayOptionTheMenuExpandsByItself) {
  Manager->SetShowFullMenusAfterDelay(true);
  TdxBarSubMenuControl* menu = Open();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), Recent);
  orv::headless::AdvanceTime(3900);
  Run();
  EXPECT_EQ(Shown(Opener()->GetSubMenuControl()), Recent);
  orv::headless::AdvanceTime(200);
  Run();
  menu = Opener()->GetSubMenuControl();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), All);

  Press(VK_ESCAPE);
  Press(VK_ESCAPE);
  Press(VK_ESCAPE);
  menu = Open();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(Shown(menu), Recent);
  const TPoint at = ScreenCentre(menu, menu->GetMarkRect());
  orv::headless::MouseMove(at.X, at.Y);
  Run();
  orv::headless::AdvanceTime(1100);
  Run();
  menu = Opener()->GetSubMenuControl();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), All);
}
