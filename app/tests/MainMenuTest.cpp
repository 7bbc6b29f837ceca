// The main window's menu driven through the desktop's input as a user drives it: the bar at the
// top with "Программа" and "Сведения", the export and the copy reached through "Результат
// поиска", the about box by F1 and through "Сведения", the copy by Ctrl+C, and F10 entering the
// menu from the keyboard, where "Выход" ends the program.
#include <gtest/gtest.h>

#include <string>

#include "app/Program.h"
#include "app/UMain.h"
#include "app/fMsgF1DE.h"
#include "app/tests/AppTestSupport.h"
#include "components/bars/dxBar.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxButtons.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

using namespace apptest;

namespace {

class MainMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::test::ResetHeadlessDesktop();
    Boxes = std::make_unique<MessageBoxes>();
    ASSERT_TRUE(orv::StartProgramData());
    orv::CreateProgramWindows();
    Run();
    ASSERT_NE(FMain, nullptr);
    ASSERT_NE(FMain->dxBarManager1, nullptr);
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    orv::ShutDownProgram();
    Boxes.reset();
    orv::headless::Reset();
  }
  static void Run() { Application->ProcessMessages(); }
  static void Press(Word key, bool shift = false, bool ctrl = false) {
    orv::headless::PressKey(key, shift, ctrl);
    Run();
  }
  static TdxBarControl* Bar() {
    return dynamic_cast<TdxBarControl*>(FMain->dxBarManager1->GetMainMenuBar()->GetControl());
  }
  static TdxBarSubMenuControl* MenuOf(TdxBarSubItem* item) {
    auto* menu = dynamic_cast<TdxBarSubMenuControl*>(item->GetLinks()->GetBarControl());
    return menu && menu->HandleAllocated() && IsWindowVisible(menu->GetHandle()) ? menu : nullptr;
  }
  // The screen centre of the item with the caption in a bar window.
  static TPoint CentreOf(TCustomdxBarControl* window, const AnsiString& caption) {
    TdxBarItemLinks* links = window->GetItemLinks();
    for (Integer i = 0; i < links->GetCount(); ++i)
      if (links->GetItem(i)->GetCaption() == caption) {
        const TRect r = links->GetItem(i)->GetItemRect();
        POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        ClientToScreen(window->GetHandle(), &p);
        return TPoint{p.X, p.Y};
      }
    ADD_FAILURE() << "no item " << orv::AnsiToUtf8(caption);
    return TPoint{0, 0};
  }
  static void ClickAt(const TPoint& p) {
    orv::headless::AdvanceTime(1000);  // no double click with the click before
    orv::headless::Click(p.X, p.Y);
    Run();
  }
  static void HoverAt(const TPoint& p) {
    orv::headless::MouseMove(p.X, p.Y);
    Run();
    orv::headless::AdvanceTime(400);
    Run();
  }
  // Runs `act` once the about box's own loop waits, then closes the box by Escape.
  static bool AboutBoxShownBy(const std::function<void()>& act) {
    bool shown = false;
    orv::headless::SetIdleHandler([&] {
      if (shown || !frmMsgF1DE || !frmMsgF1DE->HandleAllocated() || !IsWindowVisible(frmMsgF1DE->GetHandle()))
        return false;
      shown = true;
      orv::headless::PressKey(VK_ESCAPE);
      return true;
    });
    act();
    orv::headless::SetIdleHandler(nullptr);
    return shown;
  }
  static void FindMoscow() {
    const TPoint p = FMain->cxComboBox1->ClientToScreen(Point(8, FMain->cxComboBox1->GetHeight() / 2));
    ClickAt(p);
    orv::headless::PressKey(VK_HOME);
    orv::headless::PressKey(VK_END, true);
    orv::headless::TypeText("Россия"_a);
    orv::headless::PressKey(VK_TAB);
    orv::headless::PressKey(VK_HOME);
    orv::headless::PressKey(VK_END, true);
    orv::headless::TypeText("Москва"_a);
    orv::headless::PressKey(VK_TAB);
    Run();
    ClickAt(FMain->cxButton2->ClientToScreen(Point(10, 10)));
  }

  std::unique_ptr<MessageBoxes> Boxes;
};

TEST_F(MainMenu, TheBarLiesAtTheTopOfTheWindowWithProgramAndInfo) {
  TdxBarControl* bar = Bar();
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(bar->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(bar->GetHandle()));
  const TPoint client = FMain->ClientToScreen(Point(0, 0));
  RECT r{};
  GetWindowRect(bar->GetHandle(), &r);
  EXPECT_EQ(r.Top, client.Y);
  EXPECT_EQ(r.Left, client.X);
  EXPECT_EQ(r.Right - r.Left, FMain->GetClientWidth());
  // The working area starts below it.
  EXPECT_GE(FMain->cxTabControl1->ClientToScreen(Point(0, 0)).Y, r.Bottom);
  ASSERT_EQ(bar->GetViewInfoCount(), 2);
  EXPECT_EQ(bar->GetViewInfoControl(0)->GetCaption(), "Программа"_a);
  EXPECT_EQ(bar->GetViewInfoControl(1)->GetCaption(), "Сведения"_a);
}

TEST_F(MainMenu, TheMouseReachesTheCopyThroughProgramAndResults) {
  FindMoscow();
  ASSERT_TRUE(FMain->aCopyToClipboard->GetEnabled());
  orv::headless::SetDesktopClipboard("");
  ClickAt(CentreOf(Bar(), "Программа"_a));
  TdxBarSubMenuControl* program = MenuOf(FMain->dxBarSubItem1);
  ASSERT_NE(program, nullptr);
  HoverAt(CentreOf(program, "Результат поиска"_a));
  TdxBarSubMenuControl* results = MenuOf(FMain->dxBarSubItem3);
  ASSERT_NE(results, nullptr);
  ClickAt(CentreOf(results, "Копировать в буфер"_a));
  EXPECT_EQ(MenuOf(FMain->dxBarSubItem1), nullptr);
  EXPECT_EQ(orv::headless::DesktopClipboard().rfind("Страна\tГород", 0), 0u);
  EXPECT_NE(orv::headless::DesktopClipboard().find("Москва"), std::string::npos);
}

TEST_F(MainMenu, CtrlCCopiesTheFoundTowns) {
  FindMoscow();
  orv::headless::SetDesktopClipboard("before");
  Press('C', false, true);
  EXPECT_EQ(orv::headless::DesktopClipboard().rfind("Страна\tГород", 0), 0u);
  EXPECT_NE(orv::headless::DesktopClipboard().find("Москва"), std::string::npos);
}

TEST_F(MainMenu, F1AndTheInfoMenuShowTheAboutBox) {
  EXPECT_TRUE(AboutBoxShownBy([] { Press(VK_F1); }));
  EXPECT_TRUE(AboutBoxShownBy([] {
    ClickAt(CentreOf(Bar(), "Сведения"_a));
    TdxBarSubMenuControl* info = MenuOf(FMain->dxBarSubItem2);
    ASSERT_NE(info, nullptr);
    ClickAt(CentreOf(info, "О программе"_a));
  }));
  EXPECT_FALSE(Application->GetTerminated());
}

TEST_F(MainMenu, F10EntersTheMenuAndExitEndsTheProgram) {
  Press(VK_F10);
  ASSERT_TRUE(Bar()->IsActive());
  EXPECT_FALSE(Application->GetTerminated());
  Press(VK_DOWN);
  TdxBarSubMenuControl* program = MenuOf(FMain->dxBarSubItem1);
  ASSERT_NE(program, nullptr);
  Press(VK_DOWN);
  ASSERT_NE(program->GetSelectedItemControl(), nullptr);
  EXPECT_EQ(program->GetSelectedItemControl()->GetCaption(), "Выход"_a);
  // Escape leaves the menu and then the bar; the window goes on.
  Press(VK_ESCAPE);
  Press(VK_ESCAPE);
  EXPECT_FALSE(Bar()->IsActive());
  EXPECT_FALSE(Application->GetTerminated());
  // Alt enters it too; "Выход" by its letter path ends the program.
  Press(VK_MENU);
  Press(VK_RETURN);
  ASSERT_NE(MenuOf(FMain->dxBarSubItem1), nullptr);
  Press(VK_UP);
  Press(VK_RETURN);
  EXPECT_TRUE(Application->GetTerminated());
}

}  // namespace
