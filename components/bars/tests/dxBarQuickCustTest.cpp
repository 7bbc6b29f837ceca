// The quick-customization menu of a toolbar ("Add or Remove Buttons"): one check entry per
// link of the toolbar; a click hides or shows that link on the toolbar and leaves the menu open
// with the check updated.

#include <gtest/gtest.h>

#include <string>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarQuickControl.h"
#include "components/bars/dxBarQuickCust.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class BarQuickCustTest : public orv::test::HeadlessFormTest {
 protected:
  BarQuickCustTest() : HeadlessFormTest({100, 100, 320, 200}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Manager->SetStyle(bmsFlat);
    Manager->BeginUpdate();
    Toolbar = Manager->AddToolbar(false);
    for (const char* caption : {"Find", "Copy", "Export"}) {
      auto* button = new TdxBarButton(Form.get());
      button->SetParentComponent(Manager);
      button->SetCaption(caption);
      Toolbar->GetLinks()->AddItem(button);
    }
    Toolbar->SetVisible(true);
    Manager->EndUpdate();
  }
  void TearDown() override {
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }

  // Clicks the centre of a link's rectangle in its bar window.
  void ClickLink(TdxBarItemLink* link) {
    TCustomdxBarControl* window = link->GetBarControl();
    ASSERT_NE(window, nullptr);
    const TRect r = link->GetItemRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(window->GetHandle(), &p);
    orv::headless::Click(p.X, p.Y);
    Run();
  }

  TdxBarManager* Manager = nullptr;
  TdxBar* Toolbar = nullptr;
};

}  // namespace

TEST_F(BarQuickCustTest, ACheckEntryHidesItsToolbarButtonAndTheMenuStaysOpen) {
  auto* popup = new TdxBarPopupMenu(Form.get());
  popup->SetBarManager(Manager);
  TdxBarQuickAccessItem* access = AddQuickCustomizationItem(Toolbar, popup->GetItemLinks());
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(access->GetCaption(), "&Add or Remove Buttons");
  Show();
  TdxBarItemLink* copy = Toolbar->GetLinks()->GetItem(1);
  EXPECT_FALSE(RectIsEmpty(copy->GetItemRect()));
  popup->PopupEx(150, 150, 0, 0, true, nullptr, false, nullptr);
  Run();
  ASSERT_TRUE(popup->IsShown());
  ClickLink(popup->GetItemLinks()->GetItem(0));
  TdxBarItemLinks* entries = access->GetLinks();
  ASSERT_EQ(entries->GetCount(), 3);
  ASSERT_NE(entries->GetBarControl(), nullptr);
  auto* entry = dynamic_cast<TdxBarQuickCustItemControl*>(entries->GetItem(1)->GetControl());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->GetCaption(), "Copy");
  EXPECT_TRUE(entry->IsChecked());
  {
    const orv::TImageCheck check = orv::MatchGoldenImage(
        orv::headless::CaptureWindow(entries->GetBarControl()->GetHandle()),
        std::string(ORV_SOURCE_DIR) + "/components/bars/tests/golden/bar_quickcust_menu_flat.png");
    EXPECT_TRUE(check) << check.Message;
  }
  ClickLink(entries->GetItem(1));
  // The toolbar no longer shows the button; the menu is still open, the entry unchecked.
  EXPECT_FALSE(copy->GetVisible());
  EXPECT_TRUE(RectIsEmpty(copy->GetItemRect()) || !copy->GetControl());
  ASSERT_NE(entries->GetBarControl(), nullptr);
  EXPECT_TRUE(IsWindowVisible(entries->GetBarControl()->GetHandle()));
  entry = dynamic_cast<TdxBarQuickCustItemControl*>(entries->GetItem(1)->GetControl());
  ASSERT_NE(entry, nullptr);
  EXPECT_FALSE(entry->IsChecked());
  // A second click shows it again.
  ClickLink(entries->GetItem(1));
  EXPECT_TRUE(copy->GetVisible());
  EXPECT_FALSE(RectIsEmpty(copy->GetItemRect()));
}

TEST_F(BarQuickCustTest, NoEntryForAToolbarThatDoesNotAllowQuickCustomizing) {
  Toolbar->SetAllowQuickCustomizing(false);
  auto* popup = new TdxBarPopupMenu(Form.get());
  popup->SetBarManager(Manager);
  EXPECT_EQ(AddQuickCustomizationItem(Toolbar, popup->GetItemLinks()), nullptr);
  EXPECT_EQ(popup->GetItemLinks()->GetCount(), 0);
}

// The toolbar's own mark: its popup ends with the "Add or Remove Buttons" entry, whose menu
// hides a button of the toolbar; the look without quick customizing adds none.
TEST_F(BarQuickCustTest, TheMarkPopupsEntryHidesAToolbarButton) {
  Show();
  auto* window = dynamic_cast<TdxBarControl*>(Toolbar->GetControl());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->IsMarkVisible());
  const TRect mark = window->GetMarkScreenRect();
  orv::headless::Click((mark.Left + mark.Right) / 2, (mark.Top + mark.Bottom) / 2);
  Run();
  TdxBarQuickControl* popup = window->GetQuickControl();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(IsWindowVisible(popup->GetHandle()));
  // Every button fits, so the entry is all the popup lists.
  ASSERT_EQ(popup->GetItemLinks()->GetCount(), 1);
  TdxBarItemLink* entryLink = popup->GetItemLinks()->GetItem(0);
  auto* access = dynamic_cast<TdxBarQuickAccessItem*>(entryLink->GetItem());
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(access->GetToolbar(), Toolbar);

  ClickLink(entryLink);
  TdxBarItemLinks* entries = access->GetLinks();
  ASSERT_EQ(entries->GetCount(), 3);
  ASSERT_NE(entries->GetBarControl(), nullptr);
  TdxBarItemLink* copy = Toolbar->GetLinks()->GetItem(1);
  ASSERT_FALSE(RectIsEmpty(copy->GetItemRect()));
  ClickLink(entries->GetItem(1));
  EXPECT_FALSE(copy->GetVisible());
  EXPECT_TRUE(RectIsEmpty(copy->GetItemRect()) || !copy->GetControl());
  ASSERT_NE(entries->GetBarControl(), nullptr);
  EXPECT_TRUE(IsWindowVisible(entries->GetBarControl()->GetHandle()));

  // Escape closes the menus one at a time; the mark is normal again and the entry made for the
  // popup went with it the next time the mark opens.
  TcxObjectLink* accessLink = CreateObjectLink(access);
  for (Integer i = 0; i < 3 && window->GetMarkState() == 2; ++i) {
    orv::headless::KeyDown(VK_ESCAPE);
    orv::headless::KeyUp(VK_ESCAPE);
    Run();
  }
  EXPECT_NE(window->GetMarkState(), 2);
  orv::headless::Click((mark.Left + mark.Right) / 2, (mark.Top + mark.Bottom) / 2);
  Run();
  EXPECT_EQ(accessLink->Ref, nullptr);
  ReleaseObjectLink(accessLink);
}

TEST_F(BarQuickCustTest, NoEntryInTheMarkPopupOfTheStandardLook) {
  Manager->SetStyle(bmsStandard);
  Show();
  auto* window = dynamic_cast<TdxBarControl*>(Toolbar->GetControl());
  ASSERT_NE(window, nullptr);
  auto* popup = new TdxBarPopupMenu(Form.get());
  popup->SetBarManager(Manager);
  window->FillMarkPopup(popup->GetItemLinks());
  EXPECT_EQ(popup->GetItemLinks()->GetCount(), 0);
  Manager->SetStyle(bmsFlat);
  Run();
  window = dynamic_cast<TdxBarControl*>(Toolbar->GetControl());
  ASSERT_NE(window, nullptr);
  window->FillMarkPopup(popup->GetItemLinks());
  ASSERT_EQ(popup->GetItemLinks()->GetCount(), 1);
  EXPECT_NE(dynamic_cast<TdxBarQuickAccessItem*>(popup->GetItemLinks()->GetItem(0)->GetItem()), nullptr);
}

TEST_F(BarQuickCustTest, AnEntryForgetsItsToolbarWhenTheToolbarGoes) {
  auto* popup = new TdxBarPopupMenu(Form.get());
  popup->SetBarManager(Manager);
  TdxBarQuickAccessItem* access = AddQuickCustomizationItem(Toolbar, popup->GetItemLinks());
  ASSERT_NE(access, nullptr);
  Toolbar->Free();
  EXPECT_EQ(access->GetToolbar(), nullptr);
  // Opening its menu now lists nothing instead of reading the freed toolbar.
  access->FillQuickCustomizationMenu(access->GetLinks());
  EXPECT_EQ(access->GetLinks()->GetCount(), 0);
}
