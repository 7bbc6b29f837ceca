// The bar windows on the headless desktop: the main-menu bar docked at the top of its form as a
// child window with its links in one row, hot tracking, pressing and clicking its items, the
// classic looks in golden images, a floating toolbar with its caption and close button, and
// item hints with their shortcut text after the hint delay.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

class BarControlTest : public BarFormTest {
 protected:
  BarControlTest() : BarFormTest({100, 100, 320, 120}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    MainMenu = Manager->AddToolbar(true);
    Find = AddButton("Find", ShortCut('F', false, true, false), "Find towns|Finds the towns near a point");
    Copy = AddButton("Copy", ShortCut('C', false, true, false), "Copy");
    Exit = AddButton("Exit", VK_F10, "");
    MainMenu->GetLinks()->AddItem(Exit)->SetBeginGroup(true);
  }

  TdxBarButton* AddButton(const AnsiString& caption, TShortCut shortCut, const AnsiString& hint) {
    auto* button = NewTestButton(Manager, Form.get(), caption);
    button->SetShortCut(shortCut);
    button->SetHint(hint);
    button->SetOnClick(TNotifyEvent(&Log, &TClickLog::Click));
    if (caption != "Exit") MainMenu->GetLinks()->AddItem(button);
    return button;
  }

  TdxBarControl* MainWindow() const { return dynamic_cast<TdxBarControl*>(MainMenu->GetControl()); }
  TdxBarItemLink* LinkOf(TdxBarItem* item) const {
    for (Integer i = 0; i < MainMenu->GetLinks()->GetCount(); ++i)
      if (MainMenu->GetLinks()->GetItem(i)->GetItem() == item) return MainMenu->GetLinks()->GetItem(i);
    return nullptr;
  }
  // The screen point at the centre of an item of the main menu.
  TPoint ScreenCentreOf(TdxBarItem* item) const {
    const TRect r = LinkOf(item)->GetItemRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(MainWindow()->GetHandle(), &p);
    return TPoint{p.X, p.Y};
  }
  void MoveTo(TdxBarItem* item) {
    const TPoint p = ScreenCentreOf(item);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }


  TdxBar* MainMenu = nullptr;
  TdxBarButton* Find = nullptr;
  TdxBarButton* Copy = nullptr;
  TdxBarButton* Exit = nullptr;
  TClickLog Log;
};

}  // namespace

TEST_F(BarControlTest, TheMainMenuIsAChildWindowAtTheTopWithItsLinksInOneRow) {
  Show();
  TdxBarControl* window = MainWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->HandleAllocated());
  // In the dock site along the top of the form.
  TdxDockControl* site = Manager->GetBars()->GetDockControl(dsTop);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(::GetParent(window->GetHandle()), site->GetHandle());
  EXPECT_EQ(::GetParent(site->GetHandle()), Form->GetHandle());
  EXPECT_TRUE(GetWindowLong(window->GetHandle(), GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(IsWindowVisible(window->GetHandle()));
  // At the top, across the whole client width.
  EXPECT_EQ(window->GetLeft(), 0);
  EXPECT_EQ(window->GetTop(), 0);
  EXPECT_EQ(window->GetWidth(), Form->GetClientWidth());

  // One row: every link on the same line, left to right, each as wide as its caption needs
  // (caption plus half the font's point size on both sides), the group start after a gap.
  TdxBarItemControl* find = LinkOf(Find)->GetControl();
  ASSERT_NE(find, nullptr);
  const TRect f = LinkOf(Find)->GetItemRect();
  const TRect c = LinkOf(Copy)->GetItemRect();
  const TRect e = LinkOf(Exit)->GetItemRect();
  EXPECT_EQ(f.Left, 0);
  EXPECT_EQ(c.Left, f.Right);
  EXPECT_EQ(e.Left, c.Right + Manager->GetPainter()->GetToolbarSeparatorSize());
  EXPECT_EQ(f.Top, c.Top);
  EXPECT_EQ(c.Top, e.Top);
  const Integer offset = Manager->GetFont()->GetSize() / 2;
  TCanvas* canvas = window->GetCanvas();
  canvas->SetFont(window->GetFont());
  EXPECT_EQ(f.Width(), canvas->TextWidth("Find") + 2 * offset);
  EXPECT_EQ(e.Width(), canvas->TextWidth("Exit") + 2 * offset);
  // The row is as high as the bar's text height or a glyph cell, inside the docked border.
  const Integer glyphCell = 16 + Manager->GetPainter()->GetExtraHeight();
  EXPECT_EQ(f.Height(), std::max(window->GetTextSize(), glyphCell));
  EXPECT_EQ(window->GetClientHeight(), f.Height());
  EXPECT_EQ(window->GetViewInfoCount(), 3);

  // A hidden bar gives its window back; shown again it gets a new one.
  MainMenu->SetVisible(false);
  EXPECT_EQ(MainMenu->GetControl(), nullptr);
  MainMenu->SetVisible(true);
  Run();
  ASSERT_NE(MainWindow(), nullptr);
  EXPECT_EQ(MainWindow()->GetViewInfoCount(), 3);
}

TEST_F(BarControlTest, ANewCaptionOrLinkLaysTheRowOutAgain) {
  Show();
  const Integer before = LinkOf(Copy)->GetItemRect().Width();
  Find->SetCaption("Find the towns");
  Run();
  EXPECT_GT(LinkOf(Find)->GetItemRect().Width(), before);
  EXPECT_EQ(LinkOf(Copy)->GetItemRect().Left, LinkOf(Find)->GetItemRect().Right);
  TdxBarButton* help = AddButton("Help", 0, "");
  Run();
  ASSERT_NE(LinkOf(help)->GetControl(), nullptr);
  EXPECT_EQ(LinkOf(help)->GetItemRect().Left, LinkOf(Exit)->GetItemRect().Right);
  EXPECT_EQ(MainWindow()->GetViewInfoCount(), 4);
}

TEST_F(BarControlTest, HoverHotTracksAndAClickFiresOnClickOnce) {
  Show();
  TdxBarControl* window = MainWindow();
  MoveTo(Copy);
  EXPECT_EQ(window->GetSelectedItemControl(), LinkOf(Copy)->GetControl());
  EXPECT_EQ(LinkOf(Copy)->GetControl()->GetHotPartIndex(), 0);
  EXPECT_TRUE(Log.Clicks.empty());
  MoveTo(Find);
  EXPECT_EQ(window->GetSelectedItemControl(), LinkOf(Find)->GetControl());
  EXPECT_EQ(LinkOf(Copy)->GetControl()->GetHotPartIndex(), -1);

  orv::headless::MouseDown();
  Run();
  EXPECT_TRUE(Log.Clicks.empty());  // the release clicks
  EXPECT_TRUE(window->IsActive());
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Find"}));
  EXPECT_FALSE(window->IsActive());
  EXPECT_EQ(Manager->GetFocusedBarControl(), nullptr);

  // Released elsewhere, a press clicks nothing.
  MoveTo(Copy);
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseMove(150, 190);
  Run();
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(Log.Clicks.size(), 1u);

  // Disabled items take no hot tracking and no click.
  Copy->SetEnabled(false);
  MoveTo(Copy);
  EXPECT_EQ(LinkOf(Copy)->GetControl()->GetHotPartIndex(), -1);
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(Log.Clicks.size(), 1u);

  // Leaving the bar drops the hot item.
  MoveTo(Exit);
  EXPECT_EQ(window->GetSelectedItemControl(), LinkOf(Exit)->GetControl());
  orv::headless::MouseMove(150, 200);
  Run();
  EXPECT_EQ(window->GetSelectedItemControl(), nullptr);
}

TEST_F(BarControlTest, AClickHandlerThatFreesTheBarLeavesNoDanglingWindow) {
  struct TFreeing {
    TdxBar* Bar;
    Integer Calls = 0;
    void Click(TObject*) {
      ++Calls;
      Bar->Free();
    }
  } freeing{MainMenu};
  Copy->SetOnClick(TNotifyEvent(&freeing, &TFreeing::Click));
  Show();
  MoveTo(Copy);
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(freeing.Calls, 1);
  EXPECT_EQ(Manager->GetBarCount(), 0);
  orv::headless::MouseMove(120, 105);
  Run();
}

TEST_F(BarControlTest, CheckedButtonsToggleDownOnEachClick) {
  Copy->SetButtonStyle(bsChecked);
  Show();
  for (Boolean expected : {true, false}) {
    MoveTo(Copy);
    orv::headless::MouseDown();
    Run();
    orv::headless::MouseUp();
    Run();
    EXPECT_EQ(Copy->GetDown(), expected);
  }
}

TEST_F(BarControlTest, GoldenImagesOfTheClassicLooks) {
  Form->SetBounds(100, 100, 240, 60);
  struct TCase {
    TdxBarManagerStyle Style;
    Boolean Press;
    const char* Golden;
  };
  // The enhanced look raises the item under the mouse; both looks sink the pressed item.
  const TCase cases[] = {
      {bmsEnhanced, false, "bar-enhanced-hot.png"},
      {bmsEnhanced, true, "bar-enhanced-pressed.png"},
      {bmsStandard, true, "bar-standard-pressed.png"},
  };
  Show();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Golden);
    Manager->SetStyle(c.Style);
    Run();
    MoveTo(Copy);
    if (c.Press) {
      orv::headless::MouseDown();
      Run();
    }
    EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(Form->GetHandle()), c.Golden));
    if (c.Press) {
      orv::headless::MouseMove(150, 200);
      Run();
      orv::headless::MouseUp();
      Run();
    }
    orv::headless::MouseMove(150, 200);
    Run();
  }
  EXPECT_TRUE(Log.Clicks.empty());
}

TEST_F(BarControlTest, TheStandardLookDoesNotRaiseTheItemUnderTheMouse) {
  // The item under the mouse is selected (its hint shows) but only the enhanced look raises it:
  // the raised edge's highlight would stand at the item's top-left corner.
  const auto cornerOfCopy = [this] {
    const TRect r = LinkOf(Copy)->GetItemRect();
    const orv::TSurface surface = orv::headless::CaptureClient(MainWindow()->GetHandle());
    return orv::PixelToColor(surface.Pixel(r.Left, r.Top));
  };
  Manager->SetStyle(bmsStandard);
  Show();
  MoveTo(Copy);
  EXPECT_EQ(MainWindow()->GetSelectedItemControl(), LinkOf(Copy)->GetControl());
  EXPECT_EQ(cornerOfCopy(), std::uint32_t(ColorToRGB(clBtnFace)));
  Manager->SetStyle(bmsEnhanced);
  Run();
  orv::headless::MouseMove(150, 200);
  Run();
  MoveTo(Copy);
  EXPECT_EQ(cornerOfCopy(), std::uint32_t(ColorToRGB(clBtnHighlight)));
  Manager->SetStyle(bmsStandard);
  Run();
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Copy"}));
}

TEST_F(BarControlTest, AFloatingToolbarHasACaptionAndAClosingButton) {
  TdxBar* tools = Manager->AddToolbar(false);
  tools->SetCaption("Tools");
  tools->SetFloatLeft(150);
  tools->SetFloatTop(200);
  auto* zoom = NewTestButton(Manager, Form.get(), "Zoom");
  tools->GetLinks()->AddItem(zoom);
  tools->SetDockingStyle(dsNone);
  Show();
  auto* window = dynamic_cast<TdxBarControl*>(tools->GetControl());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->HandleAllocated());
  const LONG style = GetWindowLong(window->GetHandle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CHILD);
  EXPECT_TRUE(window->HasCloseButton());
  RECT bounds{};
  GetWindowRect(window->GetHandle(), &bounds);
  EXPECT_EQ(bounds.Left, 150);
  EXPECT_EQ(bounds.Top, 200);
  // The client area lies below the caption, inside the frame.
  TRect borders;
  window->GetBorders(borders);
  const TRect caption = window->GetCaptionRect();
  EXPECT_GE(borders.Top, caption.Bottom);
  EXPECT_EQ(window->GetClientWidth(), window->GetWidth() - borders.Left - borders.Right);
  EXPECT_GE(window->GetClientWidth(), 51 - 0);
  EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(window->GetHandle()), "bar-floating.png"));

  // The bar keeps where its window floats; a window moved off the work area comes back.
  SetWindowPos(window->GetHandle(), nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(tools->GetFloatLeft(), 300);
  EXPECT_EQ(tools->GetFloatTop(), 250);
  EXPECT_EQ(tools->GetFloatClientWidth(), window->GetClientWidth());
  orv::headless::MouseMove(500, 300);
  const TRect area = GetWorkAreaAtPoint(TPoint{500, 300});
  SetWindowPos(window->GetHandle(), nullptr, area.Right + 100, area.Bottom + 50, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(tools->GetFloatLeft(), area.Right - window->GetWidth());
  EXPECT_EQ(tools->GetFloatTop(), area.Bottom - window->GetHeight());
  GetWindowRect(window->GetHandle(), &bounds);

  // A main menu has no close button even when it floats.
  MainMenu->SetDockingStyle(dsNone);
  Run();
  ASSERT_NE(MainWindow(), nullptr);
  EXPECT_FALSE(MainWindow()->HasCloseButton());

  // Pressing and releasing the close button hides the bar and frees its window.
  const TRect close = window->GetCloseButtonRect();
  const Integer x = bounds.Left + (close.Left + close.Right) / 2;
  const Integer y = bounds.Top + (close.Top + close.Bottom) / 2;
  orv::headless::Click(x, y);
  Run();
  EXPECT_FALSE(tools->GetVisible());
  EXPECT_EQ(tools->GetControl(), nullptr);
}

TEST_F(BarControlTest, HintsShowWithTheirShortcutTextAfterTheHintDelay) {
  Manager->SetShowShortCutInHint(true);
  Show();
  MoveTo(Find);
  const TdxBarHintServices& hints = BarHintServices();
  ASSERT_NE(hints.IsHintWindowVisible, nullptr);
  EXPECT_FALSE(hints.IsHintWindowVisible());
  orv::headless::AdvanceTime(999);
  EXPECT_FALSE(hints.IsHintWindowVisible());
  orv::headless::AdvanceTime(1);
  ASSERT_TRUE(hints.IsHintWindowVisible());
  // Only the short part of the hint, with the shortcut's text in brackets.
  HWND hint = nullptr;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w) && w != Form->GetHandle()) hint = w;
  ASSERT_NE(hint, nullptr);
  AnsiString text;
  if (auto* window = dynamic_cast<TdxBarHintWindow*>(FindControl(hint))) {
    auto* info = dynamic_cast<TdxBarHintViewInfo*>(window->GetViewInfo());
    ASSERT_NE(info, nullptr);
    text = info->GetText();
  }
  EXPECT_EQ(text, "Find towns (" + ShortCutToText(ShortCut('F', false, true, false)) + ")");

  // Moving on to an item without hint hides it.
  MoveTo(Exit);
  EXPECT_FALSE(hints.IsHintWindowVisible());
}

TEST_F(BarControlTest, KeysMoveTheSelectionAndALetterClicksItsItem) {
  Find->SetCaption("&Find");
  Copy->SetCaption("&Copy");
  Exit->SetCaption("E&xit");
  auto* edit = new TEdit(Form.get());
  edit->SetParent(Form.get());
  edit->SetBounds(10, 60, 100, 20);
  Show();
  edit->SetFocus();
  Run();
  TdxBarControl* window = MainWindow();
  auto selected = [&] { return window->GetSelectedItemControl(); };
  auto press = [](int key) {
    orv::headless::PressKey(key);
    Run();
  };
  window->ActivateWithItem(nullptr);
  ASSERT_TRUE(window->IsActive());
  press(VK_LEFT);  // nothing selected: Left starts at the first item
  EXPECT_EQ(selected(), LinkOf(Find)->GetControl());
  press(VK_RIGHT);
  EXPECT_EQ(selected(), LinkOf(Copy)->GetControl());
  press(VK_END);
  EXPECT_EQ(selected(), LinkOf(Exit)->GetControl());
  press(VK_RIGHT);  // round to the first
  EXPECT_EQ(selected(), LinkOf(Find)->GetControl());
  orv::headless::KeyDown(VK_SHIFT);  // Shift+Tab goes left
  press(VK_TAB);
  orv::headless::KeyUp(VK_SHIFT);
  Run();
  EXPECT_EQ(selected(), LinkOf(Exit)->GetControl());
  press(VK_HOME);
  EXPECT_EQ(selected(), LinkOf(Find)->GetControl());
  EXPECT_TRUE(Log.Clicks.empty());
  EXPECT_EQ(GetFocus(), edit->GetHandle());  // the keys never took the focus

  // A letter of one item selects and clicks it, which ends the keyboard mode.
  press('C');
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Copy"}));
  EXPECT_FALSE(window->IsActive());

  // Escape leaves without a click; Enter clicks the selected item.
  window->ActivateWithItem(LinkOf(Exit)->GetControl());
  press(VK_ESCAPE);
  EXPECT_FALSE(window->IsActive());
  window->ActivateWithItem(LinkOf(Exit)->GetControl());
  press(VK_RETURN);
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Copy", "E&xit"}));

  // Alt and a letter reach the item from the form.
  orv::headless::KeyDown(VK_MENU);
  orv::headless::PressKey('F');
  orv::headless::KeyUp(VK_MENU);
  Run();
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Copy", "E&xit", "&Find"}));
}

TEST_F(BarControlTest, TheMainMenuWrapsIntoRowsWhenTheFormIsNarrow) {
  // The main menu is multi-line: a narrow form puts the links into two rows, the group that
  // starts with "Exit" moving to the second row whole, and the window grows to hold both.
  Show();
  const Integer oneRow = MainWindow()->GetClientHeight();
  const TRect find = LinkOf(Find)->GetItemRect();
  const TRect copy = LinkOf(Copy)->GetItemRect();
  TRect borders;
  MainWindow()->GetBorders(borders);
  // The mark at the row's end keeps its room.
  Form->SetClientWidth(copy.Right + borders.Left + borders.Right + MainWindow()->GetMarkAreaSize() + 4);
  Run();
  const TRect exit = LinkOf(Exit)->GetItemRect();
  EXPECT_EQ(LinkOf(Copy)->GetItemRect().Top, find.Top);
  EXPECT_EQ(exit.Left, 0);  // no group gap at a row start
  EXPECT_GE(exit.Top, find.Bottom + Manager->GetPainter()->GetToolbarSeparatorSize());
  EXPECT_EQ(MainWindow()->GetClientHeight(), exit.Bottom);
  EXPECT_GT(MainWindow()->GetClientHeight(), oneRow);
  EXPECT_FALSE(MainWindow()->IsTruncated());

  // A single-line toolbar keeps one row and leaves out what does not fit.
  MainMenu->SetIsMainMenu(false);
  MainMenu->SetMultiLine(false);
  Run();
  EXPECT_TRUE(MainWindow()->IsTruncated());
  EXPECT_EQ(MainWindow()->GetViewInfoCount(), 2);
  EXPECT_TRUE(LinkOf(Exit)->GetItemRect().Right <= LinkOf(Exit)->GetItemRect().Left);
}

TEST_F(BarControlTest, ViewLevelsOfAnItemControl) {
  Show();
  TdxBarItemControl* control = LinkOf(Copy)->GetControl();
  ASSERT_NE(control, nullptr);
  // Without an image only the small icon with text is possible; widths of other levels are
  // refused.
  EXPECT_EQ(control->GetPossibleViewLevels(), TdxBarItemViewLevels{ivlSmallIconWithText});
  EXPECT_EQ(control->GetViewInfo()->GetWidth(ivlSmallIconWithText), control->CalcWidth());
  EXPECT_THROW(control->GetViewInfo()->GetWidth(ivlSmallIcon), EdxException);
  // A link that allows none of the possible levels gets the possible ones.
  LinkOf(Copy)->SetViewLevels(TdxBarItemViewLevels{ivlLargeIconWithText});
  control = LinkOf(Copy)->GetControl();  // the changed link was shown by a new control
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->GetAllowedViewLevels(), TdxBarItemViewLevels{ivlSmallIconWithText});
  EXPECT_EQ(control->GetViewInfo()->GetViewLevel(), ivlDefault);
  EXPECT_EQ(control->GetContentKinds(), Byte(ceText));  // a toolbar button without image shows its caption
}

TEST_F(BarControlTest, ClosingRunsUpTheChainOfWindowsAndEscapeClosesOneLevel) {
  TdxBar* tools = Manager->AddToolbar(false);
  auto* zoom = NewTestButton(Manager, Form.get(), "Zoom", TNotifyEvent(&Log, &TClickLog::Click));
  tools->GetLinks()->AddItem(zoom);
  Show();
  TdxBarControl* root = MainWindow();
  auto* child = dynamic_cast<TdxBarControl*>(tools->GetControl());
  ASSERT_NE(child, nullptr);
  root->SetChildBarControl(child);
  EXPECT_EQ(child->GetParentBarControl(), root);
  const auto active = [] { return BarHookServices().GetActiveBarControl(); };

  root->ActivateWithItem(nullptr);
  child->ActivateWithItem(nullptr);
  EXPECT_EQ(active(), child);
  child->CloseByEscape();  // one level
  EXPECT_FALSE(child->IsActive());
  EXPECT_TRUE(root->IsActive());
  EXPECT_EQ(active(), root);

  // A command in the inner window closes every level before it runs.
  child->ActivateWithItem(tools->GetLinks()->GetItem(0)->GetControl());
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Zoom"}));
  EXPECT_FALSE(child->IsActive());
  EXPECT_FALSE(root->IsActive());
  EXPECT_EQ(active(), nullptr);

  // A child window goes with its parent (its still visible bar then gets a window of its own).
  orv::TObjectLinkGuard childAlive(child);
  MainMenu->SetVisible(false);
  EXPECT_FALSE(childAlive.Alive());
  EXPECT_NE(tools->GetControl(), nullptr);
}

TEST_F(BarControlTest, TheHintOfTheSelectedItemOfAnIdleBar) {
  Show();
  TdxBarControl* window = MainWindow();
  struct TCase {
    TdxBarButton* Button;
    const char* Hint;
    const char* ShortCut;
  };
  // The short part before "|" only; the shortcut's text in brackets, none without a shortcut.
  Exit->SetShortCut(0);
  Exit->SetHint("Leave the program");
  const TCase cases[] = {
      {Find, "Find towns", " (Ctrl+F)"},
      {Copy, "Copy", " (Ctrl+C)"},
      {Exit, "Leave the program", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Hint);
    TdxBarItemControl* control = LinkOf(c.Button)->GetControl();
    window->SetSelectedItemControl(control);
    AnsiString hint, shortCut;
    Boolean enabled = false;
    control->GetHintInfo(hint, shortCut, enabled);
    EXPECT_EQ(hint, c.Hint);
    EXPECT_EQ(shortCut, c.ShortCut);
    EXPECT_TRUE(enabled);
  }
  // An item that is not the selected one, or a bar in menu mode, gives no hint.
  AnsiString hint, shortCut;
  Boolean enabled = false;
  LinkOf(Find)->GetControl()->GetHintInfo(hint, shortCut, enabled);
  EXPECT_EQ(hint, "");
  window->ActivateWithItem(LinkOf(Exit)->GetControl());
  LinkOf(Exit)->GetControl()->GetHintInfo(hint, shortCut, enabled);
  EXPECT_EQ(hint, "");
  window->Deactivate();
}

TEST_F(BarControlTest, AControlFreedDirectlyIsForgottenByItsLinkAndWindow) {
  Show();
  TdxBarControl* window = MainWindow();
  MoveTo(Copy);
  ASSERT_EQ(window->GetSelectedItemControl(), LinkOf(Copy)->GetControl());
  LinkOf(Copy)->GetControl()->Free();
  EXPECT_EQ(LinkOf(Copy)->GetControl(), nullptr);
  EXPECT_EQ(window->GetSelectedItemControl(), nullptr);
  EXPECT_EQ(Manager->GetSelectedItem(), nullptr);
  window->Repaint();
  EXPECT_NE(LinkOf(Copy)->GetControl(), nullptr);
  // An item freed while shown takes its link and control with it.
  Copy->Free();
  Run();
  EXPECT_EQ(window->GetViewInfoCount(), 2);
}
