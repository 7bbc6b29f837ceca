// Menus of the program's main menu on the headless desktop: "Программа" opens its submenu under
// the bar item, hovering "Результат поиска" opens the nested one beside it, F10 and Alt enter
// keyboard mode, the arrows and Enter run an item, Escape closes one level at a time and a
// click outside closes all; placement against the work area; popup menus at a point and as a
// control's context menu; shadows; the slide animation; golden images of an open menu.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "components/bars/dxBar.h"
#include "components/bars/tests/MainMenuFixture.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImgList.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/SysUtils.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

class SubMenuTest : public MainMenuFormTest {
 protected:
  void SetUp() override {
    MainMenuFormTest::SetUp();
    if (HasFatalFailure()) return;
    Form->Show();
    Run();
  }
  void Press(Word key, bool shift = false, bool ctrl = false) {
    orv::headless::PressKey(key, shift, ctrl);
    Run();
  }
  void ClickAt(const TPoint& p) {
    orv::headless::Click(p.X, p.Y);
    Run();
  }
  void MoveTo(const TPoint& p) {
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  TdxBarSubMenuControl* OpenProgram() {
    ClickAt(CentreOf(ItemScreenRect(MenuBar(), "Программа"_a)));
    return MenuOf("dxBarSubItem1");
  }
};

TEST_F(SubMenuTest, AClickOnProgramOpensItsMenuUnderTheItem) {
  const TRect item = ItemScreenRect(MenuBar(), "Программа"_a);
  TdxBarSubMenuControl* menu = OpenProgram();
  ASSERT_NE(menu, nullptr);
  // A real popup window, its top-left corner at the item's bottom-left corner.
  EXPECT_TRUE(GetWindowLong(menu->GetHandle(), GWL_STYLE) & WS_POPUP);
  const TRect window = WindowRect(menu);
  EXPECT_EQ(window.Left, item.Left);
  EXPECT_EQ(window.Top, item.Bottom);
  EXPECT_FALSE(menu->IsFlippedVertically());
  EXPECT_EQ(menu->GetParentBarControl(), MenuBar());
  EXPECT_TRUE(menu->IsActive());
  // Its two links one under the other, the second after a group gap, both as wide as the menu.
  ASSERT_EQ(menu->GetViewInfoCount(), 2);
  const TRect results = menu->GetViewInfoControl(0)->GetItemRect();
  const TRect exit = menu->GetViewInfoControl(1)->GetItemRect();
  EXPECT_EQ(menu->GetViewInfoControl(0)->GetCaption(), "Результат поиска"_a);
  EXPECT_EQ(exit.Top, results.Bottom + menu->GetBeginGroupSize());
  EXPECT_EQ(results.Width(), exit.Width());
  EXPECT_EQ(results.Width(), menu->GetItemsRect().Width());
  // The opening item shows open; a second click leaves the menu open.
  auto* opener = dynamic_cast<TdxBarSubItemControl*>(LinkIn(MenuBar(), "Программа"_a)->GetControl());
  ASSERT_NE(opener, nullptr);
  EXPECT_TRUE(opener->IsDroppedDown());
  ClickAt(CentreOf(item));
  EXPECT_EQ(MenuOf("dxBarSubItem1"), menu);
}

TEST_F(SubMenuTest, HoveringResultsOpensTheNestedMenuBesideItAfterTheDelay) {
  TdxBarSubMenuControl* menu = OpenProgram();
  ASSERT_NE(menu, nullptr);
  const TRect results = ItemScreenRect(menu, "Результат поиска"_a);
  MoveTo(CentreOf(results));
  EXPECT_EQ(MenuOf("dxBarSubItem3"), nullptr);  // not before the hover delay
  orv::headless::AdvanceTime(400);
  Run();
  TdxBarSubMenuControl* nested = MenuOf("dxBarSubItem3");
  ASSERT_NE(nested, nullptr);
  const TRect window = WindowRect(nested);
  EXPECT_EQ(window.Left, results.Right);
  EXPECT_EQ(window.Top, results.Top - menu->GetBorderOffset());
  EXPECT_EQ(nested->GetParentBarControl(), menu);
  EXPECT_EQ(nested->GetOwnerWidth(), results.Width());
  // The nested menu lists the two commands with their shortcuts; a click runs one and closes
  // every level.
  ASSERT_EQ(nested->GetViewInfoCount(), 2);
  EXPECT_EQ(nested->GetViewInfoControl(1)->GetDrawParams()->ShortCutText, "Ctrl+C");
  ClickAt(CentreOf(ItemScreenRect(nested, "Копировать в буфер"_a)));
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"copy"}));
  EXPECT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  EXPECT_EQ(MenuOf("dxBarSubItem3"), nullptr);
  EXPECT_FALSE(MenuBar()->IsActive());
}

TEST_F(SubMenuTest, HoveringAnotherBarItemWhileAMenuIsOpenSwitchesMenus) {
  ASSERT_NE(OpenProgram(), nullptr);
  MoveTo(CentreOf(ItemScreenRect(MenuBar(), "Сведения"_a)));
  EXPECT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  TdxBarSubMenuControl* about = MenuOf("dxBarSubItem2");
  ASSERT_NE(about, nullptr);
  ClickAt(CentreOf(ItemScreenRect(about, "О программе"_a)));
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"about"}));
}

TEST_F(SubMenuTest, F10AndAltEnterKeyboardModeAndTheArrowsAndEnterRunAnItem) {
  struct TCase {
    const char* name;
    Word key;
  } cases[] = {{"F10", VK_F10}, {"Alt", VK_MENU}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Form->Log.clear();
    Press(c.key);
    ASSERT_TRUE(MenuBar()->IsActive());
    ASSERT_NE(MenuBar()->GetSelectedItemControl(), nullptr);
    EXPECT_EQ(MenuBar()->GetSelectedItemControl()->GetCaption(), "Программа"_a);
    EXPECT_EQ(MenuOf("dxBarSubItem1"), nullptr);
    // Down opens the menu with its first item selected; Down again moves to "Выход".
    Press(VK_DOWN);
    TdxBarSubMenuControl* menu = MenuOf("dxBarSubItem1");
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(menu->GetSelectedItemControl(), nullptr);
    EXPECT_EQ(menu->GetSelectedItemControl()->GetCaption(), "Результат поиска"_a);
    Press(VK_DOWN);
    EXPECT_EQ(menu->GetSelectedItemControl()->GetCaption(), "Выход"_a);
    Press(VK_UP);
    // Right opens the nested menu, Enter there runs "Записать в файл...".
    Press(VK_RIGHT);
    TdxBarSubMenuControl* nested = MenuOf("dxBarSubItem3");
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->GetSelectedItemControl()->GetCaption(), "Записать в файл..."_a);
    Press(VK_RETURN);
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"write"}));
    EXPECT_EQ(MenuOf("dxBarSubItem1"), nullptr);
    EXPECT_FALSE(MenuBar()->IsActive());
  }
}

TEST_F(SubMenuTest, EscapeClosesOneLevelAtATimeAndRightMovesToTheNextBarItem) {
  Press(VK_F10);
  Press(VK_RETURN);
  ASSERT_NE(MenuOf("dxBarSubItem1"), nullptr);
  Press(VK_RETURN);
  ASSERT_NE(MenuOf("dxBarSubItem3"), nullptr);
  Press(VK_ESCAPE);
  EXPECT_EQ(MenuOf("dxBarSubItem3"), nullptr);
  ASSERT_NE(MenuOf("dxBarSubItem1"), nullptr);
  EXPECT_TRUE(MenuOf("dxBarSubItem1")->IsActive());
  Press(VK_ESCAPE);
  EXPECT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  EXPECT_TRUE(MenuBar()->IsActive());  // still in keyboard mode on the bar
  Press(VK_RIGHT);
  EXPECT_EQ(MenuBar()->GetSelectedItemControl()->GetCaption(), "Сведения"_a);
  EXPECT_EQ(MenuOf("dxBarSubItem2"), nullptr);
  Press(VK_ESCAPE);
  EXPECT_FALSE(MenuBar()->IsActive());
  EXPECT_TRUE(Form->Log.empty());

  // In an open menu, Right on a command moves to the next bar item's menu.
  Press(VK_F10);
  Press(VK_DOWN);
  Press(VK_DOWN);  // "Выход"
  Press(VK_RIGHT);
  EXPECT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  TdxBarSubMenuControl* about = MenuOf("dxBarSubItem2");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->GetSelectedItemControl()->GetCaption(), "О программе"_a);
  Press(VK_RETURN);
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"about"}));
}

TEST_F(SubMenuTest, AClickOutsideClosesEveryLevel) {
  TdxBarSubMenuControl* menu = OpenProgram();
  ASSERT_NE(menu, nullptr);
  MoveTo(CentreOf(ItemScreenRect(menu, "Результат поиска"_a)));
  orv::headless::AdvanceTime(400);
  Run();
  ASSERT_NE(MenuOf("dxBarSubItem3"), nullptr);
  const TRect form = Form->GetBoundsRect();
  ClickAt(TPoint{form.Right - 20, form.Bottom - 20});
  EXPECT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  EXPECT_EQ(MenuOf("dxBarSubItem3"), nullptr);
  EXPECT_FALSE(MenuBar()->IsActive());
  EXPECT_TRUE(Form->Log.empty());
  // The bar works as before: a click opens the menu again.
  EXPECT_NE(OpenProgram(), nullptr);
}

TEST_F(SubMenuTest, AMenuPlacesItselfInsideTheWorkArea) {
  const TRect wa = GetWorkAreaAtPoint(TPoint{0, 0});
  Owned<TdxBarSubMenuControl> menu(new TdxBarSubMenuControl(Manager));
  menu->SetItemLinks(Find<TdxBarSubItem>("dxBarSubItem1")->GetLinks());
  menu->HandleNeeded();
  const TSize size = menu->CalcNaturalSize();
  ASSERT_GT(size.cx, 100);
  struct TCase {
    const char* name;
    TPoint at;
    Integer ownerWidth, ownerHeight;
    TPoint expected;
    Boolean flippedH, flippedV;
  } cases[] = {
      {"fits", {100, 100}, 0, 20, {100, 100}, false, false},
      {"below an item at the right edge: shifted left", {wa.Right - 10, 100}, 0, 20, {wa.Right - size.cx, 100}, false, false},
      {"below an item near the bottom: above it", {100, wa.Bottom - 5}, 0, 20, {100, wa.Bottom - 5 - 20 - size.cy}, false, true},
      {"beside an item at the right edge: on its left", {wa.Right - 5, 100}, 80, 0, {wa.Right - 5 - 80 - size.cx, 100}, true, false},
      {"at a point in the bottom-right corner: up and left", {wa.Right - 5, wa.Bottom - 5}, 0, 0,
       {wa.Right - 5 - size.cx, wa.Bottom - 5 - size.cy}, true, true},
      {"at a point left of the work area", {wa.Left - 50, 100}, 0, 0, {wa.Left, 100}, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    menu->SetOwnerWidth(c.ownerWidth);
    menu->SetOwnerHeight(c.ownerHeight);
    menu->SetBounds(c.at.X, c.at.Y, 10, 10);
    Boolean h = false, v = false;
    menu->CalcPosition(TSize{0, 0}, h, v);
    EXPECT_EQ(menu->GetLeft(), c.expected.X);
    EXPECT_EQ(menu->GetTop(), c.expected.Y);
    EXPECT_EQ(menu->GetWidth(), size.cx);
    EXPECT_EQ(h, c.flippedH);
    EXPECT_EQ(v, c.flippedV);
  }
  // With more room below than above, a menu too tall for the room below is shortened instead.
  menu->SetOwnerWidth(0);
  menu->SetOwnerHeight(20);
  menu->SetBounds(100, wa.Top + 40, 10, 10);
  Boolean h = false, v = false;
  menu->CalcPosition(TSize{size.cx, wa.Height()}, h, v);
  EXPECT_FALSE(v);
  EXPECT_EQ(menu->GetTop(), wa.Top + 40);
  EXPECT_EQ(menu->GetHeight(), wa.Bottom - (wa.Top + 40));
}

TEST_F(SubMenuTest, AMenuTallerThanTheScreenScrollsWithItsArrows) {
  auto* sub = Find<TdxBarSubItem>("dxBarSubItem3");
  for (Integer i = 0; i < 80; ++i) {
    auto* button = new TdxBarButton(Form.get());
    button->SetParentComponent(Manager);
    button->SetCaption("Пункт "_a + IntToStr(i));
    sub->GetLinks()->AddItem(button);
  }
  TdxBarSubMenuControl* menu = OpenProgram();
  ASSERT_NE(menu, nullptr);
  MoveTo(CentreOf(ItemScreenRect(menu, "Результат поиска"_a)));
  orv::headless::AdvanceTime(400);
  Run();
  TdxBarSubMenuControl* nested = MenuOf("dxBarSubItem3");
  ASSERT_NE(nested, nullptr);
  const TRect wa = GetWorkAreaAtPoint(TPoint{0, 0});
  EXPECT_LE(WindowRect(nested).Bottom, wa.Bottom);
  EXPECT_FALSE(nested->IsUpArrowVisible());
  EXPECT_TRUE(nested->IsDownArrowVisible());
  const Integer last = nested->GetLastVisibleIndex();
  // Resting on the down arrow scrolls one link per tick.
  const TRect window = WindowRect(nested);
  MoveTo(TPoint{(window.Left + window.Right) / 2, window.Bottom - 4});
  EXPECT_TRUE(nested->IsScrolling());
  orv::headless::AdvanceTime(Integer(nested->GetScrollInterval()));
  Run();
  orv::headless::AdvanceTime(Integer(nested->GetScrollInterval()));
  Run();
  EXPECT_EQ(nested->GetTopIndex(), 2);
  EXPECT_TRUE(nested->IsUpArrowVisible());
  EXPECT_EQ(nested->GetLastVisibleIndex(), last + 2);
  // The keyboard brings a selected link into view.
  MoveTo(TPoint{(window.Left + window.Right) / 2, (window.Top + window.Bottom) / 2});
  nested->SetSelectedItemControl(nested->GetItemLinks()->GetVisibleItem(0)->GetControl());
  nested->MakeItemVisible(nested->GetItemLinks()->GetVisibleItem(0)->GetControl());
  EXPECT_EQ(nested->GetTopIndex(), 0);
}

TEST_F(SubMenuTest, ShadowsJoinTheOpeningItemOrFollowAPointMenu) {
  const Integer s = TdxBarShadow::GetStripWidth();
  Owned<TdxBarSubMenuControl> menu(new TdxBarSubMenuControl(Manager));
  TdxBarShadow shadow(menu.get());
  // A menu at a point: its right strip faded at the top and its bottom strip at both ends.
  shadow.SetRects(TRect(), TRect{100, 100, 200, 300});
  ASSERT_EQ(shadow.GetPartCount(), 2);
  EXPECT_EQ(shadow.GetPart(0)->GetPartBounds(), (TRect{100 + s, 300, 200 + s, 300 + s}));
  EXPECT_EQ(shadow.GetPart(0)->GetCorners(), 0x3);
  EXPECT_EQ(shadow.GetPart(1)->GetPartBounds(), (TRect{200, 100 + s, 200 + s, 300}));
  EXPECT_EQ(shadow.GetPart(1)->GetCorners(), 0x4);
  // Under a narrower bar item: the item's right strip, the menu's bottom and right strips.
  shadow.SetRects(TRect{100, 80, 160, 100}, TRect{100, 100, 200, 300});
  ASSERT_EQ(shadow.GetPartCount(), 3);
  EXPECT_EQ(shadow.GetPart(0)->GetPartBounds(), (TRect{160, 80 + s, 160 + s, 100}));
  EXPECT_EQ(shadow.GetPart(2)->GetPartBounds(), (TRect{200, 100 + s, 200 + s, 300}));
  // A menu flipped above its item: the menu is the upper rectangle.
  shadow.SetRects(TRect{100, 300, 160, 320}, TRect{100, 100, 200, 300});
  EXPECT_EQ(shadow.GetPart(0)->GetPartBounds(), (TRect{200, 100 + s, 200 + s, 300}));
  if (TdxBarShadow::UsesLayeredStrips()) {
    // The gradient: 60, 45, 30, 15 away from the edge, faded towards the ends.
    shadow.SetRects(TRect(), TRect{100, 100, 200, 300});
    TdxBarShadowPart* bottom = shadow.GetPart(0);
    EXPECT_EQ(bottom->GetAlpha(50, 0), 60);
    EXPECT_EQ(bottom->GetAlpha(50, 3), 15);
    EXPECT_EQ(bottom->GetAlpha(0, 0), MulDiv(60, 1, 5));
  }
}

TEST_F(SubMenuTest, TheSlideAnimationGrowsTheMenuFrameByFrameAndAKeyEndsIt) {
  Manager->SetMenuAnimations(maSlide);
  TdxBarSubMenuControl* menu = nullptr;
  ClickAt(CentreOf(ItemScreenRect(MenuBar(), "Программа"_a)));
  menu = dynamic_cast<TdxBarSubMenuControl*>(Find<TdxBarSubItem>("dxBarSubItem1")->GetLinks()->GetBarControl());
  ASSERT_NE(menu, nullptr);
  TdxBarAnimationThread* animation = menu->GetAnimationThread();
  ASSERT_NE(animation, nullptr);
  const Integer height = menu->GetClientHeight();
  EXPECT_EQ(animation->GetFrameCount(), height / 17);
  orv::headless::AdvanceTime(10);
  Run();
  EXPECT_EQ(animation->GetFramesDrawn(), 1);
  EXPECT_EQ(menu->GetClientHeight(), 17);
  EXPECT_FALSE(menu->GetShadow()->GetVisible());
  // A key shows the finished menu at once, then is handled.
  Press(VK_DOWN);
  EXPECT_EQ(menu->GetAnimationThread(), nullptr);
  EXPECT_EQ(menu->GetClientHeight(), height);
  ASSERT_NE(menu->GetSelectedItemControl(), nullptr);
}

TEST_F(SubMenuTest, APopupMenuShowsAtAPointAndRunsItsItems) {
  auto* popup = new TdxBarPopupMenu(Form.get());
  popup->GetLinks()->AddItem(Find<TdxBarButton>("dxBarButton1"));
  popup->GetLinks()->AddItem(Find<TdxBarButton>("dxBarButton2"))->SetBeginGroup(true);
  static int popups = 0, closeUps = 0;
  popups = closeUps = 0;
  struct THandlers : TObject {
    void Popup(TObject*) { ++popups; }
    void CloseUp(TObject*) { ++closeUps; }
  } handlers;
  popup->SetOnPopup(TNotifyEvent(&handlers, &THandlers::Popup));
  popup->SetOnCloseUp(TNotifyEvent(&handlers, &THandlers::CloseUp));
  popup->PopupEx(300, 250, 0, 0, true, nullptr, false, nullptr);
  Run();
  ASSERT_TRUE(popup->IsShown());
  TdxBarSubMenuControl* menu = popup->GetSubMenuControl();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(WindowRect(menu).Left, 300);
  EXPECT_EQ(WindowRect(menu).Top, 250);
  EXPECT_EQ(popups, 1);
  // Popping up again while shown does nothing.
  popup->PopupEx(10, 10, 0, 0, true, nullptr, false, nullptr);
  EXPECT_EQ(popup->GetSubMenuControl(), menu);
  // A right click in a menu at a point acts as a left click.
  const TPoint item = CentreOf(ItemScreenRect(menu, "Копировать в буфер"_a));
  orv::headless::Click(item.X, item.Y, 1);
  Run();
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"copy"}));
  EXPECT_FALSE(popup->IsShown());
  EXPECT_EQ(popup->GetSubMenuControl(), nullptr);
  EXPECT_EQ(closeUps, 1);
  // Escape closes a root popup menu.
  popup->PopupEx(300, 250, 0, 0, true, nullptr, false, nullptr);
  Run();
  Press(VK_DOWN);
  Press(VK_ESCAPE);
  EXPECT_FALSE(popup->IsShown());
}

TEST_F(SubMenuTest, AControlsContextMenuComesFromItsPopupMenuLink) {
  auto* panel = new TPanel(Form.get());
  panel->SetParent(Form.get());
  panel->SetBounds(200, 150, 200, 150);
  auto* popup = new TdxBarPopupMenu(Form.get());
  popup->GetLinks()->AddItem(Find<TdxBarButton>("dxBarButton4"));
  TdxBarPopupMenuLink* link = Manager->GetPopupMenuLinks()->Add();
  link->SetControl(panel);
  link->SetPopupMenu(popup);
  Run();
  const TPoint at = panel->ClientToScreen(TPoint{30, 40});
  // The menu runs its own loop while shown: the click on its item is queued first.
  TdxBarSubMenuControl* seen = nullptr;
  orv::headless::SetIdleHandler([&] {
    if (!seen && popup->GetSubMenuControl()) {
      seen = popup->GetSubMenuControl();
      EXPECT_EQ(WindowRect(seen).Left, at.X);
      EXPECT_EQ(WindowRect(seen).Top, at.Y);
      const TPoint item = CentreOf(ItemScreenRect(seen, "Выход"_a));
      orv::headless::Click(item.X, item.Y);
      return true;
    }
    return false;
  });
  orv::headless::Click(at.X, at.Y, 1);
  Run();
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_NE(seen, nullptr);
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"exit"}));
  EXPECT_FALSE(popup->IsShown());
}

// The open menus drawn as the screen shows them: the bar, the first menu with its group gap and
// the nested one with its shortcut column, and their shadows.
TEST_F(SubMenuTest, GoldenImageOfAnOpenMenu) {
  struct TCase {
    TdxBarManagerStyle style;
    const char* golden;
  } cases[] = {{bmsOffice11, "menu-office11.png"}, {bmsFlat, "menu-flat.png"}, {bmsStandard, "menu-standard.png"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.golden);
    Manager->SetStyle(c.style);
    Run();
    TdxBarSubMenuControl* menu = OpenProgram();
    ASSERT_NE(menu, nullptr);
    MoveTo(CentreOf(ItemScreenRect(menu, "Результат поиска"_a)));
    orv::headless::AdvanceTime(400);
    Run();
    TdxBarSubMenuControl* nested = MenuOf("dxBarSubItem3");
    ASSERT_NE(nested, nullptr);
    MoveTo(CentreOf(ItemScreenRect(nested, "Копировать в буфер"_a)));
    const TRect bar = WindowRect(MenuBar());
    const TRect last = WindowRect(nested);
    const orv::TSurface screen = orv::headless::CaptureScreen();
    orv::TSurface area(last.Right + 8 - bar.Left, WindowRect(menu).Bottom + 8 - bar.Top);
    for (Integer y = 0; y < area.Height(); ++y)
      for (Integer x = 0; x < area.Width(); ++x) area.SetPixel(x, y, screen.Pixel(bar.Left + x, bar.Top + y));
    const orv::TImageCheck check =
        orv::MatchGoldenImage(area, std::string(ORV_SOURCE_DIR) + "/components/bars/tests/golden/" + c.golden);
    EXPECT_TRUE(check) << check.Message;
    ClickAt(TPoint{bar.Right - 5, WindowRect(menu).Bottom + 100});
    ASSERT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  }
}

}  // namespace
