// The flat and Office 2003 looks of an open menu of the program's main menu on the headless
// desktop: the frame and its joint with the bar item that opened it, the icon column (the
// gradient band in the Office 2003 look), the selection, the group separator line, the check
// mark of a checked item without a glyph, and golden images of the open menus with their
// shortcut column and shadows.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "components/bars/dxBar.h"
#include "components/bars/tests/MainMenuFixture.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"
#include "platform/drawing/Gdi.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

std::uint32_t Rgb(TColor color) { return std::uint32_t(ColorToRGB(color)) & 0xFFFFFF; }

class MenuPaintersTest : public MainMenuFormTest {
 protected:
  void SetUp() override {
    MainMenuFormTest::SetUp();
    if (HasFatalFailure()) return;
    // No fading in: the menu is on screen as soon as it opens.
    Manager->SetMenuAnimations(maNone);
    Form->Show();
    Run();
  }
  void Hover(const TPoint& p) {
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  TdxBarSubMenuControl* OpenProgram(TdxBarManagerStyle style) {
    Manager->SetStyle(style);
    Run();
    const TPoint p = CentreOf(ItemScreenRect(MenuBar(), "Программа"_a));
    orv::headless::Click(p.X, p.Y);
    Run();
    return MenuOf("dxBarSubItem1");
  }
  // Hovers "Результат поиска" until its nested menu opens.
  TdxBarSubMenuControl* OpenResults(TdxBarSubMenuControl* menu) {
    Hover(CentreOf(ItemScreenRect(menu, "Результат поиска"_a)));
    orv::headless::AdvanceTime(400);
    Run();
    return MenuOf("dxBarSubItem3");
  }
  static std::uint32_t ScreenRgb(Integer x, Integer y) {
    const orv::TSurface screen = orv::headless::CaptureScreen();
    return orv::PixelToColor(screen.Pixel(x, y)) & 0xFFFFFF;
  }
};

// The menu's frame is open where it touches the bar item above it, and the item's frame is
// open towards the menu: one outline runs around both.
TEST_F(MenuPaintersTest, TheMenuFrameJoinsTheOpeningBarItem) {
  struct TCase {
    TdxBarManagerStyle style;
    const char* name;
  } cases[] = {{bmsFlat, "flat"}, {bmsOffice11, "office11"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TdxBarSubMenuControl* menu = OpenProgram(c.style);
    ASSERT_NE(menu, nullptr);
    const TRect item = ItemScreenRect(MenuBar(), "Программа"_a);
    const TRect window = WindowRect(menu);
    ASSERT_EQ(window.Top, item.Bottom);
    ASSERT_GT(window.Width(), item.Width() + 4);
    // Flat: the manager's flat border brush and the owner link brush (its flat toolbar brush).
    LOGBRUSH flatBorder{}, flatToolbar{};
    GetObject(Manager->GetFlatBrush(0), sizeof(flatBorder), &flatBorder);
    GetObject(Manager->GetFlatBrush(1), sizeof(flatToolbar), &flatToolbar);
    const std::uint32_t border =
        c.style == bmsFlat ? std::uint32_t(flatBorder.lbColor) & 0xFFFFFF : Rgb(Office11BorderColor);
    const std::uint32_t link =
        c.style == bmsFlat ? std::uint32_t(flatToolbar.lbColor) & 0xFFFFFF : Rgb(Office11MenuBackgroundColor);
    const orv::TSurface screen = orv::headless::CaptureScreen();
    auto at = [&](Integer x, Integer y) { return orv::PixelToColor(screen.Pixel(x, y)) & 0xFFFFFF; };
    // The menu's top row: open under the item (between its corners), the border beyond it.
    const std::uint32_t joint = at(item.Left + item.Width() / 2, window.Top);
    EXPECT_NE(joint, at(window.Right - 3, window.Top));
    EXPECT_EQ(at(item.Left + 1, window.Top), joint);
    EXPECT_EQ(at(item.Right - 2, window.Top), joint);
    EXPECT_EQ(at(window.Left, window.Top + 5), at(window.Right - 3, window.Top));
    EXPECT_EQ(joint, link);
    EXPECT_EQ(at(window.Right - 3, window.Top), border);
    EXPECT_EQ(at(window.Left, window.Top + 5), border);
    // The item's own frame: its sides framed, its bottom row open towards the menu.
    const std::uint32_t side = at(item.Left, item.Top + item.Height() / 2);
    EXPECT_NE(at(item.Left + item.Width() / 2, item.Bottom - 1), side);
    EXPECT_EQ(at(item.Right - 1, item.Top + item.Height() / 2), side);
    orv::headless::Click(window.Right + 50, window.Bottom + 50);
    Run();
    ASSERT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  }
}

// A menu keeps clear of the bar item it opens from, and joins it, only in the flat looks; a
// menu opened from an item of another menu never does, so its frame runs unbroken beside it.
TEST_F(MenuPaintersTest, OnlyABarItemsMenuInAFlatLookHasOwnerBounds) {
  struct TCase {
    TdxBarManagerStyle style;
    const char* name;
    Boolean flat;
  } cases[] = {{bmsStandard, "standard", false}, {bmsFlat, "flat", true}, {bmsOffice11, "office11", true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TdxBarSubMenuControl* menu = OpenProgram(c.style);
    ASSERT_NE(menu, nullptr);
    const TRect item = ItemScreenRect(MenuBar(), "Программа"_a);
    EXPECT_EQ(menu->GetOwnerBounds(), c.flat ? item : TRect{});
    TdxBarSubMenuControl* nested = OpenResults(menu);
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->GetOwnerBounds(), TRect{});
    const TRect window = WindowRect(nested);
    const TRect opener = ItemScreenRect(menu, "Результат поиска"_a);
    EXPECT_EQ(ScreenRgb(window.Left, opener.Top + opener.Height() / 2), ScreenRgb(window.Left, window.Bottom - 3));
    orv::headless::Click(window.Right + 50, window.Bottom + 50);
    Run();
    ASSERT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  }
}

// The icon column: button face in the flat look, the band gradient in the Office 2003 look;
// the text area white or the palette's menu colour; the begin-group gap's line starts 8 pixels
// after the column in the separator colour.
TEST_F(MenuPaintersTest, IconColumnTextAreaAndGroupSeparator) {
  struct TCase {
    TdxBarManagerStyle style;
    const char* name;
  } cases[] = {{bmsFlat, "flat"}, {bmsOffice11, "office11"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TdxBarSubMenuControl* menu = OpenProgram(c.style);
    ASSERT_NE(menu, nullptr);
    // Away from the items so that none is selected.
    Hover(TPoint{WindowRect(menu).Right + 40, WindowRect(menu).Bottom + 40});
    const TRect exitItem = ItemScreenRect(menu, "Выход"_a);
    const Integer column = menu->GetIconAreaSize() + 1;
    const TPoint client = CentreOf(exitItem);
    const orv::TSurface screen = orv::headless::CaptureScreen();
    auto at = [&](Integer x, Integer y) { return orv::PixelToColor(screen.Pixel(x, y)) & 0xFFFFFF; };
    const std::uint32_t text = at(exitItem.Right - 3, exitItem.Top + 1);
    const std::uint32_t shadow = c.style == bmsFlat ? Rgb(TColor(GetSysColor(COLOR_BTNSHADOW)))
                                                    : Rgb(Office11SeparatorDarkColor);
    if (c.style == bmsFlat) {
      EXPECT_EQ(text, Rgb(TColor(GetSysColor(COLOR_WINDOW))));
      // The icon column in the manager's flat toolbar brush.
      LOGBRUSH toolbar{};
      GetObject(Manager->GetFlatBrush(1), sizeof(toolbar), &toolbar);
      const std::uint32_t face = std::uint32_t(toolbar.lbColor) & 0xFFFFFF;
      EXPECT_EQ(at(exitItem.Left + 1, exitItem.Top + 1), face);
      EXPECT_EQ(at(exitItem.Left + column - 1, client.Y), face);
    } else {
      EXPECT_EQ(text, Rgb(Office11MenuBackgroundColor));
      // The band: the first colour at the window's client edge, the second at the column's end.
      EXPECT_EQ(at(WindowRect(menu).Left + 1, exitItem.Top + 1), Rgb(Office11MenuBandColor1));
      EXPECT_NE(at(exitItem.Left + column - 2, exitItem.Top + 1), Rgb(Office11MenuBandColor1));
    }
    // The separator gap above "Выход": a line on its middle row from the column plus 8.
    const Integer gap = menu->GetBeginGroupSize();
    const Integer y = exitItem.Top - gap + gap / 2;
    EXPECT_EQ(at(exitItem.Left + column + 8, y), shadow);
    EXPECT_EQ(at(exitItem.Right - 2, y), shadow);
    EXPECT_NE(at(exitItem.Left + column + 6, y), shadow);
    EXPECT_NE(at(exitItem.Left + column + 8, y - 1), shadow);
    orv::headless::Click(WindowRect(menu).Right + 50, WindowRect(menu).Bottom + 50);
    Run();
  }
}

// A hot menu item: framed and filled with the selection colour across the icon column too.
TEST_F(MenuPaintersTest, TheHotItemIsFramedAndFilledWithTheSelection) {
  struct TCase {
    TdxBarManagerStyle style;
    const char* name;
  } cases[] = {{bmsFlat, "flat"}, {bmsOffice11, "office11"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TdxBarSubMenuControl* menu = OpenProgram(c.style);
    ASSERT_NE(menu, nullptr);
    const TRect exitItem = ItemScreenRect(menu, "Выход"_a);
    Hover(TPoint{exitItem.Right - 4, exitItem.Top + 3});
    const orv::TSurface screen = orv::headless::CaptureScreen();
    auto at = [&](Integer x, Integer y) { return orv::PixelToColor(screen.Pixel(x, y)) & 0xFFFFFF; };
    TdxBarPainter* painter = Manager->GetPainter();
    LOGBRUSH selection{};
    GetObject(painter->GetSelectionBrush(), sizeof(selection), &selection);
    const std::uint32_t fill = std::uint32_t(selection.lbColor) & 0xFFFFFF;
    EXPECT_EQ(at(exitItem.Right - 3, exitItem.Top + 2), fill);
    EXPECT_EQ(at(exitItem.Left + 2, exitItem.Top + 2), fill);
    const std::uint32_t frame = at(exitItem.Left, exitItem.Top + exitItem.Height() / 2);
    EXPECT_NE(frame, fill);
    EXPECT_EQ(at(exitItem.Right - 1, exitItem.Top + exitItem.Height() / 2), frame);
    EXPECT_EQ(at(exitItem.Left + exitItem.Width() / 2, exitItem.Top), frame);
    orv::headless::Click(WindowRect(menu).Right + 50, WindowRect(menu).Bottom + 50);
    Run();
  }
}

// The flat check mark (also the Office 2003 one): a tick two pixels thick in black, one row
// lower in the shadow colour for a disabled item.
TEST_F(MenuPaintersTest, TheFlatCheckMarkIsATwoPixelTick) {
  Manager->SetStyle(bmsFlat);
  TdxBarPainter* painter = Manager->GetPainter();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 12, 10);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 12, 10};
  FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
  painter->DrawCheckMarkCentered(nullptr, dc, true, hkMenu, TRect{0, 0, 11, 9});
  // A 9 x 7 mark centred in 11 x 9: its top-left at (1, 1); the tick from (x+1, y+2) down to
  // (x+3, y+4), then up to (x+8, y-1), twice.
  std::string art;
  for (Integer y = 0; y < 10; ++y) {
    for (Integer x = 0; x < 12; ++x) art += (GetPixel(dc, x, y) & 0xFFFFFF) == 0 ? '#' : '.';
    art += '\n';
  }
  EXPECT_EQ(art,
            "............\n"
            "........#...\n"
            ".......##...\n"
            "..#...##....\n"
            "..##.##.....\n"
            "...###......\n"
            "....#.......\n"
            "............\n"
            "............\n"
            "............\n");
  // Outside submenus, or unchecked, nothing is drawn.
  FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
  painter->DrawCheckMarkCentered(nullptr, dc, true, hkToolbar, TRect{0, 0, 11, 9});
  painter->DrawCheckMarkCentered(nullptr, dc, false, hkMenu, TRect{0, 0, 11, 9});
  for (Integer y = 0; y < 10; ++y)
    for (Integer x = 0; x < 12; ++x) ASSERT_NE(GetPixel(dc, x, y) & 0xFFFFFF, 0u) << x << "," << y;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

// The open menus as the screen shows them: the bar with the open item, the first menu with its
// group gap, the nested one with its shortcut column ("Ctrl+C") and a hot item, the shadows.
TEST_F(MenuPaintersTest, GoldenImagesOfOpenMenus) {
  struct TCase {
    TdxBarManagerStyle style;
    const char* golden;
  } cases[] = {{bmsOffice11, "menu-open-office11.png"}, {bmsFlat, "menu-open-flat.png"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.golden);
    TdxBarSubMenuControl* menu = OpenProgram(c.style);
    ASSERT_NE(menu, nullptr);
    TdxBarSubMenuControl* nested = OpenResults(menu);
    ASSERT_NE(nested, nullptr);
    Hover(CentreOf(ItemScreenRect(nested, "Копировать в буфер"_a)));
    const TRect bar = WindowRect(MenuBar());
    const TRect last = WindowRect(nested);
    const Integer bottom = std::max(WindowRect(menu).Bottom, last.Bottom);
    const orv::TSurface screen = orv::headless::CaptureScreen();
    orv::TSurface area(last.Right + 8 - bar.Left, bottom + 8 - bar.Top);
    for (Integer y = 0; y < area.Height(); ++y)
      for (Integer x = 0; x < area.Width(); ++x) area.SetPixel(x, y, screen.Pixel(bar.Left + x, bar.Top + y));
    const orv::TImageCheck check =
        orv::MatchGoldenImage(area, std::string(ORV_SOURCE_DIR) + "/components/bars/tests/golden/" + c.golden);
    EXPECT_TRUE(check) << check.Message;
    orv::headless::Click(bar.Right - 5, bottom + 100);
    Run();
    ASSERT_EQ(MenuOf("dxBarSubItem1"), nullptr);
  }
}

}  // namespace
