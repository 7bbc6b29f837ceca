// The program's main menu as its window's description holds it: the menu bar with the sub
// items "Программа", "Результат поиска" and "Сведения", the buttons with their shortcuts,
// images and group starts, two of them bound to actions; read into a manager, written back
// unchanged, and run by its shortcuts.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "components/bars/dxBar.h"
#include "components/bars/tests/MainMenuFixture.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/Menus.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Surface.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

class BarMainMenuTest : public MainMenuFormTest {
 protected:
  void Press(Word key, bool shift = false, bool ctrl = false) {
    orv::headless::PressKey(key, shift, ctrl);
    Run();
  }
};

TEST_F(BarMainMenuTest, TheDescriptionBuildsTheMenuAndIsWrittenBackUnchanged) {
  EXPECT_EQ(Manager->GetStyle(), bmsOffice11);
  EXPECT_EQ(Manager->GetMenuAnimations(), maFade);
  EXPECT_TRUE(Manager->GetUseSystemFont());
  EXPECT_FALSE(Manager->GetMenusShowRecentItemsFirst());
  EXPECT_TRUE(Manager->GetShowShortCutInHint());
  EXPECT_TRUE(Manager->GetUseF10ForMenu());
  ASSERT_EQ(Manager->GetItemCount(), 7);

  TdxBar* bar = Manager->GetMainMenuBarRaw();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetCaption(), "Главное меню"_a);
  // One whole row at the top, shown, and designed (so it can be reset).
  EXPECT_EQ(bar->GetDockingStyle(), dsTop);
  EXPECT_TRUE(bar->GetVisible());
  EXPECT_TRUE(bar->GetWholeRow());
  EXPECT_TRUE(bar->GetMultiLine());
  EXPECT_TRUE(bar->CanReset());
  TdxBarItemLinks* links = bar->GetLinks();
  ASSERT_EQ(links->GetVisibleItemCount(), 2);
  EXPECT_EQ(links->GetItem(0)->GetCaption(), "Программа"_a);
  EXPECT_EQ(links->GetItem(1)->GetCaption(), "Сведения"_a);
  EXPECT_TRUE(links->GetItem(1)->GetBeginGroup());

  auto* program = Find<TdxBarSubItem>("dxBarSubItem1");
  auto* results = Find<TdxBarSubItem>("dxBarSubItem3");
  ASSERT_TRUE(program && results);
  ASSERT_EQ(program->GetLinks()->GetCount(), 2);
  EXPECT_EQ(program->GetLinks()->GetItem(0)->GetItem(), results);
  EXPECT_EQ(program->GetLinks()->GetItem(1)->GetCaption(), "Выход"_a);
  EXPECT_TRUE(program->GetLinks()->GetItem(1)->GetBeginGroup());

  // Action-bound captions, images from the image list, shortcuts.
  struct {
    const char* name;
    AnsiString caption;
    Integer image;
    TShortCut shortCut;
  } buttons[] = {{"dxBarButton3", "Записать в файл..."_a, 3, VK_F2},
                 {"dxBarButton2", "Копировать в буфер"_a, 5, ShortCut('C', false, true, false)},
                 {"dxBarButton4", "Выход"_a, 2, VK_F10},
                 {"dxBarButton1", "О программе"_a, 1, VK_F1}};
  for (auto b : buttons) {
    auto* button = Find<TdxBarButton>(b.name);
    ASSERT_NE(button, nullptr) << b.name;
    EXPECT_EQ(button->GetCaption(), b.caption) << b.name;
    EXPECT_EQ(button->GetImageIndex(), b.image) << b.name;
    EXPECT_TRUE(button->IsImageValid()) << b.name;
    EXPECT_EQ(button->GetShortCut(), b.shortCut) << b.name;
    EXPECT_EQ(button->GetCategory(), 0) << b.name;
  }
  EXPECT_EQ(Manager->GetImages(), Find<TImageList>("ImageList1"));

  const AnsiString written = orv::WriteComponentToText(Form.get());
  EXPECT_EQ(written, Text);
}

TEST_F(BarMainMenuTest, ShortcutsRunTheClicksAndTheActions) {
  Form->Show();
  Run();
  Manager->SetUseF10ForMenu(false);  // with the menu key F10 enters the menu instead
  Press(VK_F1);
  Press(VK_F2);
  Press('C', false, true);
  Press(VK_F10);
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"about", "write", "copy", "exit"}));

  // A disabled action disables its button: its shortcut runs nothing.
  Form->Log.clear();
  Find<TAction>("aWriteToFile")->SetEnabled(false);
  EXPECT_FALSE(Find<TdxBarButton>("dxBarButton3")->GetEnabled());
  Press(VK_F2);
  EXPECT_TRUE(Form->Log.empty());
  Find<TAction>("aWriteToFile")->SetEnabled(true);
  Press(VK_F2);
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"write"}));
}

TEST_F(BarMainMenuTest, TheShownMenuIsAChildWindowAtTheTopWithItsCaptionsInOneRow) {
  Form->Show();
  Run();
  TdxBar* bar = Manager->GetMainMenuBar();
  ASSERT_NE(bar, nullptr);
  auto* window = dynamic_cast<TdxBarControl*>(bar->GetControl());
  ASSERT_NE(window, nullptr);
  // In the dock site along the top of the form.
  EXPECT_EQ(::GetParent(::GetParent(window->GetHandle())), Form->GetHandle());
  EXPECT_EQ(window->GetTop(), 0);
  EXPECT_EQ(window->GetWidth(), Form->GetClientWidth());
  ASSERT_EQ(window->GetViewInfoCount(), 2);
  TdxBarItemControl* program = window->GetViewInfoControl(0);
  TdxBarItemControl* about = window->GetViewInfoControl(1);
  EXPECT_EQ(program->GetCaption(), "Программа"_a);
  EXPECT_EQ(about->GetCaption(), "Сведения"_a);
  // Both carry their image and caption, side by side in one row ("Сведения" starts a group).
  EXPECT_EQ(program->GetContentKinds(), Byte(ceIcon | ceText));
  EXPECT_EQ(program->GetItemRect().Top, about->GetItemRect().Top);
  EXPECT_EQ(about->GetItemRect().Left,
            program->GetItemRect().Right + Manager->GetPainter()->GetToolbarSeparatorSize());
  EXPECT_EQ(window->GetClientHeight(), program->GetItemRect().Height());
  // The glyph is drawn at the start of the item: its cell holds more than the face colour.
  const orv::TSurface surface = orv::headless::CaptureClient(window->GetHandle());
  const TRect r = program->GetItemRect();
  Integer inked = 0;
  for (Integer y = r.Top; y < r.Bottom; ++y)
    for (Integer x = r.Left; x < r.Left + 22; ++x) inked += orv::PixelToColor(surface.Pixel(x, y)) != std::uint32_t(ColorToRGB(clBtnFace));
  EXPECT_GT(inked, 20);
}

TEST_F(BarMainMenuTest, F10EntersTheMenuWhileItIsTheMenuKey) {
  static int starts = 0;
  starts = 0;
  BarHookServices().StartNavigation = [](TdxBarManager*) { ++starts; };
  Form->Show();
  Run();
  Press(VK_F10);
  EXPECT_EQ(starts, 1);
  EXPECT_TRUE(Form->Log.empty());
}

}  // namespace
