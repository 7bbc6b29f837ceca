// Application menus: the button row's entries mirror their buttons into hidden internal items,
// follow their changes and destruction, run their clicks, and are placed right-aligned in a row
// as long as they fit; the extra pane's width. The menu window opened from a drop-down button: its
// item column beside the extra pane that lists the recent entries, accelerators that go round the
// items, the entries and the buttons, closing, and golden images of the open menu.

#include <gtest/gtest.h>

#include <vector>

#include <algorithm>
#include <cmath>
#include <string>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarApplicationMenu.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/runtime/Math.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

class BarApplicationMenuTest : public orv::test::HeadlessFormTest {
 protected:
  BarApplicationMenuTest() : HeadlessFormTest({100, 100, 320, 160}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = new TdxBarManager(Form.get());
    Buttons = new TdxBarApplicationMenuButtons(Form.get(), Manager);
    Options = new TdxBarButton(Form.get());
    Options->SetParentComponent(Manager);
    Options->SetCaption("Options");
    Options->SetHint("Program options");
  }
  void TearDown() override {
    orv::Free(Buttons);
    Form.reset();
    HeadlessFormTest::TearDown();
  }
  TdxBarManager* Manager = nullptr;
  TdxBarApplicationMenuButtons* Buttons = nullptr;
  TdxBarButton* Options = nullptr;
};

struct TMirrorClicks {
  Integer Count = 0;
  void Click(TObject*) { ++Count; }
};

}  // namespace

TEST_F(BarApplicationMenuTest, AnEntryMirrorsItsButtonAndIsHiddenWithoutOne) {
  TdxBarApplicationMenuButton* entry = Buttons->Add();
  TdxBarApplicationMenuButtonItem* item = entry->GetInternalItem();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetVisible(), ivNever);
  entry->SetItem(Options);
  EXPECT_EQ(item->GetCaption(), "Options");
  EXPECT_EQ(item->GetHint(), "Program options");
  EXPECT_EQ(item->GetVisible(), ivAlways);
  EXPECT_TRUE(item->GetEnabled());
  // Disabling the button disables the entry (when the row is made); destroying the button
  // empties and hides the entry.
  Options->SetEnabled(false);
  auto* row = new TdxBarPopupMenu(Form.get());
  row->SetBarManager(Manager);
  Buttons->PopulateLinks(row->GetItemLinks());
  ASSERT_EQ(row->GetItemLinks()->GetCount(), 1);
  EXPECT_EQ(row->GetItemLinks()->GetItem(0)->GetItem(), item);
  EXPECT_FALSE(item->GetEnabled());
  Options->Free();
  EXPECT_EQ(entry->GetItem(), nullptr);
  EXPECT_EQ(item->GetCaption(), "");
  EXPECT_EQ(item->GetVisible(), ivNever);
}

TEST_F(BarApplicationMenuTest, TheEntrysClickRunsOnlyTheButtonsOnClick) {
  TMirrorClicks clicks;
  Options->SetOnClick(TNotifyEvent(&clicks, &TMirrorClicks::Click));
  TdxBarApplicationMenuButton* entry = Buttons->Add();
  entry->SetItem(Options);
  entry->GetInternalItem()->Click();
  EXPECT_EQ(clicks.Count, 1);
  entry->SetWidth(-4);
  EXPECT_EQ(entry->GetWidth(), 0);
  entry->SetWidth(80);
  EXPECT_EQ(entry->GetWidth(), 80);
}

TEST_F(BarApplicationMenuTest, TheRowIsRightAlignedAndEndsAtTheFirstEntryThatDoesNotFit) {
  const std::vector<TRect> rects = CalcApplicationMenuButtonsLayout({60, 70, 80}, TRect{0, 0, 300, 24});
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0], (TRect{78, 0, 138, 24}));
  EXPECT_EQ(rects[1], (TRect{144, 0, 214, 24}));
  EXPECT_EQ(rects[2], (TRect{220, 0, 300, 24}));
  const std::vector<TRect> narrow = CalcApplicationMenuButtonsLayout({60, 200, 20}, TRect{0, 0, 150, 24});
  EXPECT_EQ(narrow[0], (TRect{90, 0, 150, 24}));
  EXPECT_EQ(narrow[1], TRect());
  EXPECT_EQ(narrow[2], TRect());  // after one that does not fit, none is shown
}

TEST_F(BarApplicationMenuTest, TheExtraPaneWidthIsScaledOrARatioOfTheMenu) {
  EXPECT_EQ(CalcApplicationMenuExtraPaneWidth(100, 0.5, 400, 26, 13), 200);
  EXPECT_EQ(CalcApplicationMenuExtraPaneWidth(0, 0.25, 301, 26, 13), 75);
}

// ==== The menu window =========================================================================

namespace {

// A menu window as a look with room for the button row lays it out: the row gets 30 pixels
// below the items.
class TRoomyApplicationMenuControl : public TdxBarApplicationMenuControl {
 public:
  using TdxBarApplicationMenuControl::TdxBarApplicationMenuControl;
  void GetContentOffsets(TRect& rect) override {
    TdxBarApplicationMenuControl::GetContentOffsets(rect);
    rect.Bottom += 30;
  }
};

// The component behind an application menu, as the program's own would be: its links, the
// button row, the recent entries and the pane's width.
class TTestApplicationMenu : public TdxBarPopupMenu, public IdxBarApplicationMenuOwner {
 public:
  TTestApplicationMenu(TComponent* owner, TdxBarManager* manager) : TdxBarPopupMenu(owner) {
    SetBarManager(manager);
    Buttons = new TdxBarApplicationMenuButtons(this, manager);
    Recent = new TdxBarExtraPaneListItem(owner);
    Recent->SetParentComponent(manager);
    Recent->SetCaption("Recent Documents");
  }
  ~TTestApplicationMenu() override {
    orv::Free(Buttons);
    for (orv::TBarExtraPaneEntry* entry : Entries) orv::Free(entry);
  }
  TdxBarSubMenuControl* CreateBarControl() override {
    if (RoomForButtons) return new TRoomyApplicationMenuControl(GetBarManager());
    return new TdxBarApplicationMenuControl(GetBarManager());
  }
  TdxBarApplicationMenuButtons* GetApplicationMenuButtons() override { return Buttons; }
  TdxBarExtraPaneListItem* GetExtraPaneListItem() override { return Recent; }
  Integer GetExtraPaneItemCount() override { return Integer(Entries.size()); }
  orv::TBarExtraPaneEntry* GetExtraPaneItem(Integer index) override { return Entries.at(size_t(index)); }
  Integer GetApplicationMenuExtraPaneWidth() override { return FixedWidth; }
  double GetApplicationMenuExtraPaneWidthRatio() override { return Ratio; }

  void AddEntry(const AnsiString& name) {
    auto* entry = new orv::TBarExtraPaneEntry;
    entry->DisplayName = name;
    Entries.push_back(entry);
  }

  TdxBarApplicationMenuButtons* Buttons;
  TdxBarExtraPaneListItem* Recent;
  std::vector<orv::TBarExtraPaneEntry*> Entries;
  Integer FixedWidth = 0;
  double Ratio = 0.5;
  Boolean RoomForButtons = false;
};

// Clicks of items and of the recent-documents list's entries.
struct TAppMenuClickLog : TClickLog {
  void RecentClick(TObject* sender) {
    auto* list = static_cast<TdxBarListItem*>(sender);
    Clicks.push_back("recent " + std::to_string(list->GetItemIndex()));
  }
};

class ApplicationMenuWindowTest : public BarFormTest {
 protected:
  ApplicationMenuWindowTest() : BarFormTest({100, 100, 460, 360}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Manager->SetStyle(bmsOffice11);
    Manager->SetMenuAnimations(maNone);
    Toolbar = Manager->AddToolbar(true);
    AppButton = NewTestButton(Manager, Form.get(), "File");
    AppButton->SetButtonStyle(bsDropDown);
    Toolbar->GetLinks()->AddItem(AppButton);
    Menu = new TTestApplicationMenu(Form.get(), Manager);
    for (const char* caption : {"&New", "&Open", "&Print", "&Close"})
      Menu->GetLinks()->AddItem(NewTestButton(Manager, Form.get(), caption, TNotifyEvent(&Log, &TAppMenuClickLog::Click)));
    for (const char* caption : {"Alpha", "Beta", "Gamma"}) Menu->AddEntry(caption);
    Menu->Recent->SetOnClick(TNotifyEvent(&Log, &TAppMenuClickLog::RecentClick));
    for (const char* caption : {"&Properties", "E&xit Program"}) {
      TdxBarButton* mirrored = NewTestButton(Manager, Form.get(), caption, TNotifyEvent(&Log, &TAppMenuClickLog::Click));
      Menu->Buttons->Add()->SetItem(mirrored);
    }
    AppButton->SetDropDownMenu(Menu);
  }

  TdxBarControl* ToolbarWindow() const { return dynamic_cast<TdxBarControl*>(Toolbar->GetControl()); }
  TdxBarButtonControl* AppButtonControl() const {
    return dynamic_cast<TdxBarButtonControl*>(Toolbar->GetLinks()->GetItem(0)->GetControl());
  }
  static TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  static TPoint ScreenCentre(TWinControl* window, const TRect& r) {
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(window->GetHandle(), &p);
    return TPoint{p.X, p.Y};
  }
  static TRect ScreenRect(TWinControl* window) {
    RECT r{};
    GetWindowRect(window->GetHandle(), &r);
    return TRect{r.Left, r.Top, r.Right, r.Bottom};
  }
  // Opens the menu with a press on the application button's arrow.
  TdxBarApplicationMenuControl* Open() {
    if (!FormShown) {
      Show();
      FormShown = true;
    }
    TdxBarButtonControl* button = AppButtonControl();
    const TPoint arrow = ScreenCentre(ToolbarWindow(), button->GetPartRect(1));
    orv::headless::MouseMove(arrow.X, arrow.Y);
    Run();
    orv::headless::MouseDown();
    Run();
    orv::headless::MouseUp();
    Run();
    return dynamic_cast<TdxBarApplicationMenuControl*>(Menu->GetSubMenuControl());
  }
  void Press(Word key) {
    orv::headless::PressKey(key);
    Run();
  }
  static TdxBarItemLink* LinkCaptioned(TdxBarItemLinks* links, const AnsiString& caption) {
    for (Integer i = 0; links && i < links->GetCount(); ++i)
      if (links->GetItem(i)->GetItem() && links->GetItem(i)->GetItem()->GetCaption() == caption) return links->GetItem(i);
    return nullptr;
  }

  TdxBar* Toolbar = nullptr;
  TdxBarButton* AppButton = nullptr;
  TTestApplicationMenu* Menu = nullptr;
  TAppMenuClickLog Log;
  Boolean FormShown = false;
};

}  // namespace

// The application button opens the menu window: the items in a column on the left, the extra pane
// a child window on the right listing the title and the recent entries one under the other, the
// pane as wide as half the item column (or a fixed width scaled with the text).
TEST_F(ApplicationMenuWindowTest, TheButtonOpensTheItemColumnBesideTheExtraPane) {
  TdxBarApplicationMenuControl* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(Menu->IsShown());
  EXPECT_EQ(window->GetBehaviorFlags(), 158);
  EXPECT_TRUE(AppButtonControl()->IsDroppedDown());
  // Below the button.
  const TRect button = AppButtonControl()->GetItemRect();
  POINT below{button.Left, button.Bottom};
  ClientToScreen(ToolbarWindow()->GetHandle(), &below);
  EXPECT_EQ(ScreenRect(window).Left, below.X);
  EXPECT_EQ(ScreenRect(window).Top, below.Y);

  const TRect items = window->GetItemsRect();
  const TRect pane = window->GetExtraPaneRect();
  EXPECT_EQ(pane.Left, items.Right);
  EXPECT_EQ(pane.Top, items.Top);
  EXPECT_EQ(pane.Bottom, items.Bottom);
  EXPECT_EQ(pane.Width(), window->GetExtraPaneWidth());
  EXPECT_EQ(pane.Width(), Integer(std::lround(0.5 * items.Width())));
  for (Integer i = 0; i < Menu->GetLinks()->GetCount(); ++i) {
    const TRect r = Menu->GetLinks()->GetItem(i)->GetItemRect();
    EXPECT_EQ(r.Left, items.Left);
    EXPECT_EQ(r.Right, items.Right);
  }

  // The pane: a child window on the pane's rectangle, the title then the entries.
  TdxBarExtraPaneControl* extra = window->GetExtraPane();
  ASSERT_NE(extra, nullptr);
  ASSERT_TRUE(extra->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(extra->GetHandle()));
  EXPECT_EQ(GetParent(extra->GetHandle()), window->GetHandle());
  POINT origin{pane.Left, pane.Top};
  ClientToScreen(window->GetHandle(), &origin);
  EXPECT_EQ(ScreenRect(extra), (TRect{origin.X, origin.Y, origin.X + pane.Width(), origin.Y + pane.Height()}));
  const std::vector<std::string> expected{"Recent Documents", "&1 Alpha", "&2 Beta", "&3 Gamma"};
  std::vector<std::string> shown;
  Integer y = 0;
  for (Integer i = 0; i < extra->GetViewInfoCount(); ++i) {
    TdxBarItemControl* control = extra->GetViewInfoControl(i);
    shown.push_back(control->GetItem()->GetCaption());
    const TRect r = control->GetItemRect();
    EXPECT_EQ(r.Left, 2);
    EXPECT_EQ(r.Right, pane.Width());
    EXPECT_GE(r.Top, y);
    y = r.Bottom;
  }
  EXPECT_EQ(shown, expected);

  // A fixed width follows the menu's text size against the look's base item height.
  Press(VK_ESCAPE);
  ASSERT_FALSE(Menu->IsShown());
  Menu->FixedWidth = 150;
  window = Open();
  ASSERT_NE(window, nullptr);
  TdxBarPainter* painter = Manager->GetPainter();
  EXPECT_EQ(window->GetExtraPaneWidth(), MulDiv(150, window->GetTextSize(), painter->GetDefaultItemHeight()));
  EXPECT_EQ(window->GetExtraPaneRect().Width(), window->GetExtraPaneWidth());
  Press(VK_ESCAPE);
}

// The open menu as the screen shows it: the item column, the extra pane with its title and the
// recent entries, in the Office 2003 and the flat looks (opened at a point, so that no opener
// joins its frame).
TEST_F(ApplicationMenuWindowTest, GoldenImagesOfTheOpenMenu) {
  const struct {
    TdxBarManagerStyle Style;
    const char* Golden;
  } cases[] = {{bmsOffice11, "application-menu-office11.png"}, {bmsFlat, "application-menu-flat.png"}};
  Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Golden);
    Manager->SetStyle(c.Style);
    Run();
    Menu->PopupEx(150, 150, 0, 0, false, nullptr, false, nullptr);
    Run();
    auto* window = dynamic_cast<TdxBarApplicationMenuControl*>(Menu->GetSubMenuControl());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(MatchBarGolden(orv::headless::CaptureWindow(window->GetHandle()), c.Golden));
    Press(VK_ESCAPE);
    ASSERT_FALSE(Menu->IsShown());
  }
}

// A look that gives the button row room: the entries right-aligned in it. An accelerator shared by
// a menu item and a button selects them in turn; one that only an entry of the pane or a button
// has runs it, and the menu closes; so does a click on an entry.
TEST_F(ApplicationMenuWindowTest, AcceleratorsGoRoundTheItemsTheEntriesAndTheButtons) {
  Menu->RoomForButtons = true;
  TdxBarApplicationMenuControl* window = Open();
  ASSERT_NE(window, nullptr);
  const TRect items = window->GetItemsRect();
  const TRect row = window->GetButtonsRect();
  EXPECT_EQ(row.Top, items.Bottom + 4);
  EXPECT_EQ(row.Left, items.Left);
  TdxBarItemLinks* buttons = window->GetButtonLinks();
  ASSERT_EQ(buttons->GetCount(), 2);
  const TRect properties = buttons->GetItem(0)->GetItemRect();
  const TRect exit = buttons->GetItem(1)->GetItemRect();
  EXPECT_FALSE(RectIsEmpty(properties));
  EXPECT_EQ(exit.Right, row.Right);
  EXPECT_EQ(exit.Left, properties.Right + 6);
  EXPECT_EQ(properties.Top, row.Top);
  EXPECT_EQ(window->GetItemControlAtPos(Centre(exit)), buttons->GetItem(1)->GetControl());

  TdxBarItemLink* print = LinkCaptioned(Menu->GetLinks(), "&Print");
  ASSERT_NE(print, nullptr);
  Press('P');
  EXPECT_EQ(window->GetSelectedLink(), print);
  Press('P');
  EXPECT_EQ(window->GetSelectedLink(), buttons->GetItem(0));
  Press('P');
  EXPECT_EQ(window->GetSelectedLink(), print);
  EXPECT_TRUE(Log.Clicks.empty());
  EXPECT_TRUE(Menu->IsShown());

  // The second entry of the pane.
  Press('2');
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_EQ(Log.Clicks, std::vector<std::string>{"recent 1"});

  // A button's letter runs the button it mirrors.
  Log.Clicks.clear();
  ASSERT_NE(Open(), nullptr);
  Press('X');
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_EQ(Log.Clicks, std::vector<std::string>{"E&xit Program"});

  // A click on an entry.
  Log.Clicks.clear();
  window = Open();
  ASSERT_NE(window, nullptr);
  TdxBarExtraPaneControl* pane = window->GetExtraPane();
  TdxBarItemLink* gamma = LinkCaptioned(pane->GetItemLinks(), "&3 Gamma");
  ASSERT_NE(gamma, nullptr);
  const TPoint at = ScreenCentre(pane, gamma->GetItemRect());
  orv::headless::MouseMove(at.X, at.Y);
  Run();
  orv::headless::Click(at.X, at.Y);
  Run();
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_EQ(Log.Clicks, std::vector<std::string>{"recent 2"});
  EXPECT_FALSE(AppButtonControl()->IsDroppedDown());
}

// While the bars are customized the menu has no extra pane and no pane width, and the items take
// the whole column.
TEST_F(ApplicationMenuWindowTest, WhileCustomizingThereIsNoExtraPane) {
  Show();
  const Integer bars = Manager->GetBars()->GetCount();
  Manager->SetCustomizingMode(true);
  Menu->PopupEx(200, 150, 0, 0, false, nullptr, false, nullptr);
  Run();
  auto* window = dynamic_cast<TdxBarApplicationMenuControl*>(Menu->GetSubMenuControl());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetExtraPane(), nullptr);
  EXPECT_EQ(window->GetExtraPaneBar(), nullptr);
  EXPECT_EQ(Manager->GetBars()->GetCount(), bars);
  EXPECT_EQ(window->GetExtraPaneWidth(), 0);
  EXPECT_TRUE(RectIsEmpty(window->GetExtraPaneRect()));
  TRect offsets;
  window->GetContentOffsets(offsets);
  EXPECT_EQ(window->GetItemsRect().Right, window->GetClientRect().Right - offsets.Right);
  window->HideControl();
  Run();
  Manager->SetCustomizingMode(false);
}

// The pane's hidden bar is the menu's own: it goes with the menu, and the list item shows its
// entries afresh from the owner's list each time.
TEST_F(ApplicationMenuWindowTest, ThePaneFollowsTheOwnersListAndItsBarGoesWithTheMenu) {
  const Integer bars = Manager->GetBars()->GetCount();
  TdxBarApplicationMenuControl* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Manager->GetBars()->GetCount(), bars + 1);
  ASSERT_NE(window->GetExtraPaneBar(), nullptr);
  EXPECT_TRUE(window->GetExtraPaneBar()->GetHidden());
  Press(VK_ESCAPE);
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_EQ(Manager->GetBars()->GetCount(), bars);
  Menu->AddEntry("Delta");
  window = Open();
  ASSERT_NE(window, nullptr);
  std::vector<std::string> shown;
  TdxBarExtraPaneControl* pane = window->GetExtraPane();
  for (Integer i = 0; i < pane->GetViewInfoCount(); ++i) shown.push_back(pane->GetViewInfoControl(i)->GetItem()->GetCaption());
  EXPECT_EQ(shown, (std::vector<std::string>{"Recent Documents", "&1 Alpha", "&2 Beta", "&3 Gamma", "&4 Delta"}));
  Press(VK_ESCAPE);
}

// Down and Up go through the menu's items, the pane's entries (its title takes no selection) and
// the buttons, and round; Enter on an entry runs it.
TEST_F(ApplicationMenuWindowTest, TheArrowsGoThroughTheItemsTheEntriesAndTheButtons) {
  Menu->RoomForButtons = true;
  TdxBarApplicationMenuControl* window = Open();
  ASSERT_NE(window, nullptr);
  TdxBarExtraPaneControl* pane = window->GetExtraPane();
  auto selected = [&]() -> std::string {
    TdxBarItemControl* control = window->GetSelectedItemControl();
    if (!control) control = pane->GetSelectedItemControl();
    return control && control->GetItem() ? std::string(control->GetItem()->GetCaption()) : std::string();
  };
  std::vector<std::string> down;
  for (Integer i = 0; i < 10; ++i) {
    Press(VK_DOWN);
    down.push_back(selected());
  }
  EXPECT_EQ(down, (std::vector<std::string>{"&New", "&Open", "&Print", "&Close", "&1 Alpha", "&2 Beta", "&3 Gamma",
                                            "&Properties", "E&xit Program", "&New"}));
  // Only one window shows a selection at a time.
  Press(VK_UP);
  EXPECT_EQ(selected(), "E&xit Program");
  Press(VK_UP);
  Press(VK_UP);
  EXPECT_EQ(selected(), "&3 Gamma");
  EXPECT_EQ(window->GetSelectedItemControl(), nullptr);
  Press(VK_UP);
  Press(VK_RETURN);
  EXPECT_FALSE(Menu->IsShown());
  EXPECT_EQ(Log.Clicks, std::vector<std::string>{"recent 1"});
}
