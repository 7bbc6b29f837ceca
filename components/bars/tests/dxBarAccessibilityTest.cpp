// The accessibility helper tree of the bars on the headless desktop: dock site, toolbars and
// items in one tree with their screen rectangles and visibility, Tab order through the tree
// with wrapping at the root, the default key tips, and helpers freed once their owners go.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarAccessibility.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class BarAccessibilityTest : public orv::test::HeadlessFormTest {
 protected:
  BarAccessibilityTest() : HeadlessFormTest({100, 100, 420, 220}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Manager->SetStyle(bmsFlat);
  }
  void TearDown() override {
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }

  TdxBar* AddToolbar(const std::vector<const char*>& captions) {
    Manager->BeginUpdate();
    TdxBar* bar = Manager->AddToolbar(false);
    for (const char* caption : captions) AddButton(bar->GetLinks(), caption);
    bar->SetOneOnRow(true);
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(true);
    Manager->EndUpdate();
    return bar;
  }
  TdxBarButton* AddButton(TdxBarItemLinks* links, const AnsiString& caption) {
    auto* button = new TdxBarButton(Form.get());
    button->SetParentComponent(Manager);
    button->SetCaption(caption);
    links->AddItem(button);
    return button;
  }
  static TdxBarAccessibilityHelper* HelperOf(TdxBarItemLink* link) {
    return GetBarAccessibilityHelper(link->GetControl());
  }

  TdxBarManager* Manager = nullptr;
};

}  // namespace

TEST_F(BarAccessibilityTest, TheDockSiteToolbarsAndItemsFormOneTree) {
  TdxBar* first = AddToolbar({"One", "Two"});
  TdxBar* second = AddToolbar({"Three"});
  Show();
  auto* window = dynamic_cast<TdxBarControl*>(first->GetControl());
  ASSERT_NE(window, nullptr);
  TdxDockControl* dock = window->GetDockControl();
  ASSERT_NE(dock, nullptr);

  TdxBarAccessibilityHelper* dockHelper = GetBarAccessibilityHelper(dock);
  TdxBarAccessibilityHelper* toolbar = GetBarAccessibilityHelper(window);
  ASSERT_NE(dockHelper, nullptr);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(GetBarAccessibilityHelper(window), toolbar) << "one helper per owner";
  EXPECT_EQ(dockHelper->GetParentHelper(), nullptr);
  EXPECT_EQ(toolbar->GetParentHelper(), dockHelper);
  EXPECT_EQ(dockHelper->GetNavigationChildCount(), 2);
  EXPECT_EQ(dockHelper->GetNavigationChildIndex(toolbar), dockHelper->GetNavigationChildIndex(toolbar));
  EXPECT_NE(dockHelper->GetNavigationChildIndex(GetBarAccessibilityHelper(second->GetControl())),
            dockHelper->GetNavigationChildIndex(toolbar));
  EXPECT_EQ(toolbar->GetOwnerManager(), Manager);
  EXPECT_EQ(toolbar->GetOwnerWindowHandle(), window->GetHandle());

  // The items in view order, each in its place on the screen, under the toolbar's window.
  ASSERT_EQ(toolbar->GetNavigationChildCount(), window->GetViewInfoCount());
  TdxBarItemLink* link = first->GetLinks()->GetItem(1);
  TdxBarAccessibilityHelper* item = HelperOf(link);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetParentHelper(), toolbar);
  EXPECT_GE(toolbar->GetNavigationChildIndex(item), 0);
  EXPECT_EQ(item->GetOwnerWindowHandle(), window->GetHandle());
  TRect screen;
  item->GetScreenRect(0, screen);
  POINT at{link->GetItemRect().Left, link->GetItemRect().Top};
  ClientToScreen(window->GetHandle(), &at);
  EXPECT_EQ(screen.Left, at.X);
  EXPECT_EQ(screen.Top, at.Y);
  EXPECT_EQ(screen.Width(), link->GetItemRect().Width());
  EXPECT_TRUE(item->IsVisible());
  EXPECT_TRUE(item->CanBeSelected());
  EXPECT_EQ(item->GetOwnerManager(), Manager);

  // A hidden toolbar's window, and with it its items, are invisible and not selectable.
  ShowWindow(window->GetHandle(), SW_HIDE);
  EXPECT_FALSE(toolbar->IsVisible());
  EXPECT_FALSE(item->IsVisible());
  EXPECT_FALSE(item->CanBeSelected());
  item->GetScreenRect(0, screen);
  EXPECT_TRUE(RectIsEmpty(screen));
}

// Tab goes through the selectable items of the whole tree in order, on from one toolbar to the
// next; past the last it wraps to the first, and Shift+Tab on the first goes to the last.
TEST_F(BarAccessibilityTest, TabStepsThroughTheTreeAndWrapsAtTheRoot) {
  TdxBar* first = AddToolbar({"One", "Two"});
  TdxBar* second = AddToolbar({"Three", "Four"});
  Show();
  ASSERT_NE(first->GetControl(), nullptr);
  TdxBarAccessibilityHelper* dock = GetBarAccessibilityHelper(
      dynamic_cast<TdxBarControl*>(first->GetControl())->GetDockControl());
  ASSERT_NE(dock, nullptr);
  std::vector<TdxBarAccessibilityHelper*> order;
  for (TdxBar* bar : {first, second})
    for (Integer i = 0; i < bar->GetLinks()->GetCount(); ++i) order.push_back(HelperOf(bar->GetLinks()->GetItem(i)));
  // The rows of the dock site decide which toolbar comes first.
  if (dock->GetNavigationChildIndex(GetBarAccessibilityHelper(second->GetControl())) == 0)
    std::rotate(order.begin(), order.begin() + 2, order.end());
  EXPECT_EQ(dock->FindFirstSelectable(), order.front());
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(order[i]->FindNextForTab(false), order[(i + 1) % order.size()]) << i;
    EXPECT_EQ(order[(i + 1) % order.size()]->FindNextForTab(true), order[i]) << i;
  }
}

TEST_F(BarAccessibilityTest, DefaultKeyTipsComeFromACtrlLetterShortcutOrTheAccelerator) {
  const struct {
    const char* Caption;
    Integer ShortCut;
    const char* KeyTip;
    const char* Expected;
  } cases[] = {
      {"Save", 0x4053, "", "S"},          // Ctrl+S
      {"&Open", 0, "", "O"},              // the accelerator, upper case
      {"&export", 0, "", "E"},
      {"Plain", 0, "", "Y"},              // neither
      {"Find", 0x0072, "", "Y"},          // F3 is no Ctrl+letter
      {"&Open", 0x4053, "", "S"},         // the shortcut before the accelerator
      {"About", 0, "AB", "AB"},           // an assigned key tip wins
      {"Long", 0, "ABCDE", "ABC"},        // at most 3 characters
  };
  std::vector<const char*> captions;
  for (const auto& c : cases) captions.push_back(c.Caption);
  TdxBar* bar = AddToolbar(captions);
  for (size_t i = 0; i < std::size(cases); ++i) {
    TdxBarItem* item = bar->GetLinks()->GetItem(Integer(i))->GetItem();
    item->SetShortCut(TShortCut(cases[i].ShortCut));
    item->SetKeyTip(cases[i].KeyTip);
  }
  Show();
  for (size_t i = 0; i < std::size(cases); ++i) {
    TdxBarAccessibilityHelper* helper = HelperOf(bar->GetLinks()->GetItem(Integer(i)));
    ASSERT_NE(helper, nullptr) << i;
    EXPECT_EQ(helper->GetKeyTipText(), cases[i].Expected) << cases[i].Caption;
  }
}

// A menu's key tips lead from the item that opened it; the helper of an item control that goes
// is freed at the next lookup instead of answering for a freed object.
TEST_F(BarAccessibilityTest, AMenuLeadsFromItsItemAndHelpersGoWithTheirOwners) {
  Manager->BeginUpdate();
  TdxBar* bar = Manager->AddToolbar(false);
  auto* sub = new TdxBarSubItem(Form.get());
  sub->SetParentComponent(Manager);
  sub->SetCaption("&File");
  bar->GetLinks()->AddItem(sub);
  AddButton(sub->GetItemLinks(), "&Open");
  bar->SetVisible(true);
  Manager->EndUpdate();
  Show();
  auto* control = dynamic_cast<TdxBarSubItemControl*>(bar->GetLinks()->GetItem(0)->GetControl());
  ASSERT_NE(control, nullptr);
  control->DropDown(false);
  Run();
  TdxBarSubMenuControl* menu = control->GetSubMenuControl();
  ASSERT_NE(menu, nullptr);
  TdxBarAccessibilityHelper* menuHelper = GetBarAccessibilityHelper(menu);
  ASSERT_NE(menuHelper, nullptr);
  EXPECT_EQ(menuHelper->GetParentHelper(), nullptr);
  EXPECT_TRUE(menuHelper->IsKeyTipContainer());
  EXPECT_EQ(menuHelper->GetKeyTipParent(), GetBarAccessibilityHelper(control));
  std::vector<TdxBarAccessibilityHelper*> tips;
  menuHelper->CollectChildKeyTips(tips);
  ASSERT_EQ(tips.size(), 1u);
  EXPECT_EQ(tips[0]->GetKeyTipText(), "O");

  TcxObjectLink* helperLink = CreateObjectLink(GetBarAccessibilityHelper(control));
  bar->SetVisible(false);  // the window and its item controls go
  Run();
  auto* other = new TdxBarButton(Form.get());
  EXPECT_EQ(GetBarAccessibilityHelper(other), nullptr) << "no helper for objects that are not bar objects";
  EXPECT_EQ(helperLink->Ref, nullptr);
  ReleaseObjectLink(helperLink);
}

// The keys of an active toolbar move through the helper tree: Left and Right step through the
// toolbar's items (round at the ends), Down and Up reach the nearest item on the toolbar below or
// above, whose window takes over; Tab goes on from the last item to the next toolbar and
// Shift+Tab from the very first wraps to the last item of the tree.
TEST_F(BarAccessibilityTest, ArrowsAndTabMoveTheSelectionAcrossToolbarsThroughTheTree) {
  TdxBar* first = AddToolbar({"One", "Two"});
  TdxBar* second = AddToolbar({"Three", "Four"});
  Show();
  Run();
  auto* upper = dynamic_cast<TdxBarControl*>(first->GetControl());
  auto* lower = dynamic_cast<TdxBarControl*>(second->GetControl());
  ASSERT_NE(upper, nullptr);
  ASSERT_NE(lower, nullptr);
  if (upper->GetTop() > lower->GetTop()) {
    std::swap(upper, lower);
    std::swap(first, second);
  }
  ASSERT_GE(lower->GetTop(), upper->GetTop() + upper->GetHeight()) << "one toolbar under the other";
  auto control = [](TdxBar* bar, Integer i) { return bar->GetLinks()->GetItem(i)->GetControl(); };
  auto press = [](Word key, Boolean withShift = false) {
    if (withShift) orv::headless::KeyDown(VK_SHIFT);
    orv::headless::PressKey(key);
    Run();
    if (withShift) orv::headless::KeyUp(VK_SHIFT);
    Run();
  };
  auto selectedOf = [](TdxBarControl* window) { return window->IsActive() ? window->GetSelectedItemControl() : nullptr; };

  upper->ActivateWithItem(control(first, 1));
  ASSERT_TRUE(upper->IsActive());
  press(VK_RIGHT);  // past the last item: round to the first
  EXPECT_EQ(selectedOf(upper), control(first, 0));
  press(VK_LEFT);
  EXPECT_EQ(selectedOf(upper), control(first, 1));
  press(VK_LEFT);
  EXPECT_EQ(selectedOf(upper), control(first, 0));

  // Down: the item under "One" on the other toolbar, whose window becomes the active one.
  press(VK_DOWN);
  EXPECT_EQ(selectedOf(lower), control(second, 0));
  EXPECT_FALSE(upper->IsActive());
  EXPECT_EQ(upper->GetSelectedItemControl(), nullptr);
  press(VK_DOWN);  // nothing below: the selection stays
  EXPECT_EQ(selectedOf(lower), control(second, 0));
  press(VK_UP);
  EXPECT_EQ(selectedOf(upper), control(first, 0));
  EXPECT_FALSE(lower->IsActive());

  // Tab: on in tree order to the next toolbar; Shift+Tab on the very first wraps to the last.
  press(VK_RIGHT);
  press(VK_TAB);
  EXPECT_EQ(selectedOf(lower), control(second, 0));
  press(VK_TAB, true);
  EXPECT_EQ(selectedOf(upper), control(first, 1));
  press(VK_LEFT);
  press(VK_TAB, true);
  EXPECT_EQ(selectedOf(lower), control(second, 1));
  EXPECT_FALSE(upper->IsActive());

  // Escape leaves the keyboard mode from the toolbar reached by the keys.
  press(VK_ESCAPE);
  EXPECT_FALSE(lower->IsActive());
  EXPECT_FALSE(upper->IsActive());
}

// On a toolbar docked at the left the items stand one under the other: Right and Left step to
// the next and previous item (as on a horizontal toolbar), the keys the user reads along the bar.
TEST_F(BarAccessibilityTest, OnALeftDockedToolbarRightAndLeftStepThroughItsItems) {
  Manager->BeginUpdate();
  TdxBar* bar = Manager->AddToolbar(false);
  for (const char* caption : {"One", "Two", "Three"}) AddButton(bar->GetLinks(), caption);
  bar->SetDockingStyle(dsLeft);
  bar->SetVisible(true);
  Manager->EndUpdate();
  Show();
  Run();
  auto* window = dynamic_cast<TdxBarControl*>(bar->GetControl());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->IsVertical());
  auto control = [bar](Integer i) { return bar->GetLinks()->GetItem(i)->GetControl(); };
  window->ActivateWithItem(control(0));
  const struct {
    Word Key;
    Integer Expected;
  } steps[] = {{VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_RIGHT, 0}, {VK_LEFT, 2}, {VK_LEFT, 1}};
  for (const auto& step : steps) {
    orv::headless::PressKey(step.Key);
    Run();
    ASSERT_TRUE(window->IsActive());
    EXPECT_EQ(window->GetSelectedItemControl(), control(step.Expected)) << step.Key << " to " << step.Expected;
  }
}

// The controller remembers the selected object through its helper; a helper whose owner goes is
// forgotten, so no freed object stays selected.
TEST_F(BarAccessibilityTest, TheSelectedObjectIsForgottenWhenItsOwnerGoes) {
  TdxBar* bar = AddToolbar({"One", "Two"});
  Show();
  Run();
  auto* window = dynamic_cast<TdxBarControl*>(bar->GetControl());
  ASSERT_NE(window, nullptr);
  window->ActivateWithItem(bar->GetLinks()->GetItem(0)->GetControl());
  orv::headless::PressKey(VK_RIGHT);
  Run();
  TdxBarNavigationController* controller = GetBarNavigationController();
  TdxBarAccessibilityHelper* selected = HelperOf(bar->GetLinks()->GetItem(1));
  EXPECT_EQ(controller->GetSelectedObject(), selected);
  EXPECT_EQ(controller->GetSelectedParent(), GetBarAccessibilityHelper(window));
  bar->SetVisible(false);  // the window and its item controls go
  Run();
  GetBarAccessibilityHelper(Form.get());  // any lookup frees the helpers of owners that went
  EXPECT_EQ(controller->GetSelectedObject(), nullptr);
  EXPECT_EQ(controller->GetSelectedParent(), nullptr);
}

// In an open menu Down, Up and Tab step through the menu's items by its helper: the controller
// then holds the item reached as the selected object and the menu as its parent; a disabled
// item is passed over and the ends go round.
TEST_F(BarAccessibilityTest, InAnOpenMenuDownUpAndTabStepThroughItsItemsByItsHelper) {
  Manager->BeginUpdate();
  TdxBar* bar = Manager->AddToolbar(false);
  auto* sub = new TdxBarSubItem(Form.get());
  sub->SetParentComponent(Manager);
  sub->SetCaption("&File");
  bar->GetLinks()->AddItem(sub);
  AddButton(sub->GetItemLinks(), "&Open");
  AddButton(sub->GetItemLinks(), "&Close")->SetEnabled(false);
  AddButton(sub->GetItemLinks(), "&Save");
  bar->SetVisible(true);
  Manager->EndUpdate();
  Show();
  auto* control = dynamic_cast<TdxBarSubItemControl*>(bar->GetLinks()->GetItem(0)->GetControl());
  ASSERT_NE(control, nullptr);
  control->DropDown(false);
  Run();
  TdxBarSubMenuControl* menu = control->GetSubMenuControl();
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->IsActive());
  TdxBarItemLinks* links = sub->GetItemLinks();
  auto press = [](Word key, Boolean withShift = false) {
    if (withShift) orv::headless::KeyDown(VK_SHIFT);
    orv::headless::PressKey(key);
    Run();
    if (withShift) orv::headless::KeyUp(VK_SHIFT);
    Run();
  };
  TdxBarNavigationController* navigation = GetBarNavigationController();
  struct {
    Word Key;
    Boolean Shift;
    Integer Expected;
  } steps[] = {{VK_DOWN, false, 2},  // past the disabled one
               {VK_DOWN, false, 0},  // round
               {VK_UP, false, 2},    {VK_UP, false, 0}, {VK_TAB, false, 2}, {VK_TAB, true, 0}};
  // Opened from the keyboard, the menu starts on its first item.
  EXPECT_EQ(menu->GetSelectedItemControl(), links->GetItem(0)->GetControl());
  for (const auto& step : steps) {
    press(step.Key, step.Shift);
    SCOPED_TRACE(step.Key);
    ASSERT_NE(control->GetSubMenuControl(), nullptr) << "the menu stays open";
    EXPECT_EQ(menu->GetSelectedItemControl(), links->GetItem(step.Expected)->GetControl());
    EXPECT_EQ(navigation->GetSelectedObject(), HelperOf(links->GetItem(step.Expected)));
    EXPECT_EQ(navigation->GetSelectedParent(), GetBarAccessibilityHelper(menu));
  }
  press(VK_ESCAPE);
  EXPECT_EQ(control->GetSubMenuControl(), nullptr);
}
