// The toolbars menu: a right click on a dock site's free room or on a toolbar, outside
// customizing, lists the toolbars the user may show or hide (checked while shown) and
// "&Customize..."; its entries are temporary items that never join the manager's commands.

#include <gtest/gtest.h>

#include <string>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCustomCustomizationForm.h"
#include "components/bars/dxBarDesignController.h"
#include "components/bars/dxBarEdit.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class BarToolbarsMenuTest : public orv::test::HeadlessFormTest {
 protected:
  BarToolbarsMenuTest() : HeadlessFormTest({100, 100, 420, 300}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Manager->BeginUpdate();
    MainMenu = AddBar("Main menu", true);
    Standard = AddBar("Standard", true);
    Tools = AddBar("Tools", false);
    Secret = AddBar("Secret", false);
    Secret->SetHidden(true);
    MainMenu->SetIsMainMenu(true);
    Manager->EndUpdate();
    Show();
  }
  void TearDown() override {
    if (TdxBarSubMenuControl* menu = GetBarDesignController()->GetToolbarsMenu()) menu->HideControl();
    if (TdxBarSubMenuControl* menu = GetBarDesignController()->GetCustomizingMenu()) menu->HideControl();
    if (Manager) Manager->SetCustomizingMode(false);
    Run();
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }
  TdxBar* AddBar(const char* caption, Boolean visible) {
    TdxBar* bar = Manager->AddToolbar(false);
    bar->SetCaption(caption);
    auto* button = new TdxBarButton(Form.get());
    button->SetParentComponent(Manager);
    button->SetCaption(std::string(caption) + " button");
    bar->GetLinks()->AddItem(button);
    bar->SetVisible(visible);
    return bar;
  }
  // The entries of the open toolbars menu: caption, [x] when down, - when disabled, | before a
  // group.
  static std::string Entries() { return Entries(GetBarDesignController()->GetToolbarsMenu()); }
  static std::string Entries(TdxBarSubMenuControl* menu) {
    if (!menu) return "<none>";
    std::string text;
    TdxBarItemLinks* links = menu->GetItemLinks();
    for (Integer i = 0; i < links->GetCount(); ++i) {
      TdxBarItemLink* link = links->GetItem(i);
      auto* button = dynamic_cast<TdxBarButton*>(link->GetItem());
      if (link->GetBeginGroup()) text += "| ";
      text += link->GetItem()->GetCaption();
      if (button && button->GetDown()) text += " [x]";
      if (!link->GetItem()->GetEnabled()) text += " -";
      text += "; ";
    }
    return text;
  }
  static void RightClick(TWinControl* control, Integer x, Integer y) {
    POINT p{x, y};
    ClientToScreen(control->GetHandle(), &p);
    orv::headless::Click(p.X, p.Y, 1);
    Run();
  }
  void ClickEntry(Integer index) { ClickEntry(GetBarDesignController()->GetToolbarsMenu(), index); }
  void ClickEntry(TdxBarSubMenuControl* menu, Integer index) {
    ASSERT_NE(menu, nullptr);
    const TRect r = menu->GetItemLinks()->GetItem(index)->GetItemRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(menu->GetHandle(), &p);
    orv::headless::Click(p.X, p.Y);
    Run();
  }

  TdxBarManager* Manager = nullptr;
  TdxBar *MainMenu = nullptr, *Standard = nullptr, *Tools = nullptr, *Secret = nullptr;
};

TEST_F(BarToolbarsMenuTest, ARightClickOnADockSiteListsTheToolbarsTheUserMayShowOrHide) {
  TdxDockControl* site = Manager->GetBars()->GetDockControl(dsTop);
  ASSERT_NE(site, nullptr);
  const Integer commands = Manager->GetItemCount();
  // The free room right of the last toolbar.
  RightClick(site, site->GetClientWidth() - 3, 3);
  ASSERT_NE(GetBarDesignController()->GetToolbarsMenu(), nullptr);
  // Neither the main menu (it cannot close) nor the hidden toolbar.
  EXPECT_EQ(Entries(), "Standard [x]; Tools; | &Customize...; ");
  EXPECT_EQ(Manager->GetItemCount(), commands);
  EXPECT_TRUE(IsWindowVisible(GetBarDesignController()->GetToolbarsMenu()->GetHandle()));
  // "Tools" is shown by its entry; the menu closes.
  ClickEntry(1);
  EXPECT_TRUE(Tools->GetVisible());
  EXPECT_EQ(GetBarDesignController()->GetToolbarsMenu(), nullptr);
  // Opened again, its entries are made afresh.
  RightClick(site, site->GetClientWidth() - 3, 3);
  EXPECT_EQ(Entries(), "Standard [x]; Tools [x]; | &Customize...; ");
  EXPECT_EQ(GetBarDesignController()->GetInternalItemCount(), 3);
  ClickEntry(0);
  EXPECT_FALSE(Standard->GetVisible());
}

TEST_F(BarToolbarsMenuTest, ARightClickOnAToolbarOpensItToo) {
  TCustomdxBarControl* window = Standard->GetControl();
  ASSERT_NE(window, nullptr);
  const TRect r = Standard->GetLinks()->GetItem(0)->GetItemRect();
  RightClick(window, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(Entries(), "Standard [x]; Tools; | &Customize...; ");
}

TEST_F(BarToolbarsMenuTest, CustomizeStartsCustomizingAndIsOfferedOnlyWhereAllowed) {
  TdxDockControl* site = Manager->GetBars()->GetDockControl(dsTop);
  RightClick(site, site->GetClientWidth() - 3, 3);
  ClickEntry(2);
  EXPECT_TRUE(Manager->IsCustomizing());
  ASSERT_NE(GetActiveCustomizationForm(), nullptr);
  // While the form is open the entry is there but disabled.
  GetBarDesignController()->ShowToolbarsMenu(Manager);
  Run();
  EXPECT_EQ(Entries(), "Standard [x]; Tools; | &Customize... -; ");
  GetBarDesignController()->GetToolbarsMenu()->HideControl();
  Manager->SetCustomizingMode(false);
  Run();
  // A manager that may not be customized offers no entry for it.
  Manager->SetCanCustomize(false);
  RightClick(site, site->GetClientWidth() - 3, 3);
  EXPECT_EQ(Entries(), "Standard [x]; Tools; ");
  // With nothing to list no menu shows.
  GetBarDesignController()->GetToolbarsMenu()->HideControl();
  Run();
  Standard->SetAllowClose(false);
  Tools->SetHidden(true);
  RightClick(site, site->GetClientWidth() - 3, 3);
  EXPECT_EQ(GetBarDesignController()->GetToolbarsMenu(), nullptr);
}

// While customizing at run time a right press on a link opens its menu: reset, delete, its
// name, its paint style (buttons on toolbars) and begin a group (not for the first link).
TEST_F(BarToolbarsMenuTest, TheLinkMenuOfAToolbarButtonWhileCustomizing) {
  // The toolbar shows the new link once it is shown again.
  Standard->SetVisible(false);
  auto* second = new TdxBarButton(Form.get());
  second->SetParentComponent(Manager);
  second->SetCaption("Print");
  Standard->GetLinks()->AddItem(second);
  Standard->SetVisible(true);
  Run();
  ASSERT_GT(Standard->GetLinks()->GetItem(1)->GetItemRect().Width(), 0);
  Manager->SetCustomizingMode(true);
  Run();
  // The customization form beside the toolbar, not over it.
  TdxBarCustomCustomizationForm* form = GetActiveCustomizationForm();
  ASSERT_NE(form, nullptr);
  form->SetBounds(560, 300, form->GetWidth(), form->GetHeight());
  Run();
  TdxBarDesignController* controller = GetBarDesignController();
  const auto openMenu = [&](Integer index) {
    TCustomdxBarControl* window = Standard->GetControl();
    const TRect r = Standard->GetLinks()->GetItem(index)->GetItemRect();
    RightClick(window, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    return controller->GetCustomizingMenu();
  };
  TdxBarSubMenuControl* menu = openMenu(0);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(controller->GetCustomizingLink(), Standard->GetLinks()->GetItem(0));
  EXPECT_EQ(Entries(menu),
            "&Reset; &Delete; | &Name:; | Defa&ult style [x]; &Text Only (Always); Text &Only (in Menus); "
            "Image &and Text; | Begin a &Group -; ");
  // The name changes only the link's own caption.
  auto* edit = static_cast<TdxBarEdit*>(menu->GetItemLinks()->GetItem(2)->GetItem());
  EXPECT_EQ(edit->GetText(), "Standard button");
  edit->SetText("Mine");
  edit->GetOnChange()(edit);
  TdxBarItemLink* first = Standard->GetLinks()->GetItem(0);
  EXPECT_EQ(first->GetCaption(), "Mine");
  EXPECT_EQ(first->GetItem()->GetCaption(), "Standard button");
  // A paint style entry sets the link's own style.
  ClickEntry(menu, 5);
  EXPECT_EQ(first->GetPaintStyle(), psCaptionInMenu);
  // Reset forgets what the user gave the link.
  EXPECT_EQ(controller->GetCustomizingMenu(), nullptr);
  menu = openMenu(0);
  EXPECT_EQ(Entries(menu).find("Text &Only (in Menus) [x]") != std::string::npos, true);
  ClickEntry(menu, 0);
  EXPECT_EQ(first->GetCaption(), "Standard button");
  EXPECT_EQ(first->GetPaintStyle(), psStandard);
  // The second link may begin a group.
  menu = openMenu(1);
  ASSERT_EQ(controller->GetCustomizingLink(), Standard->GetLinks()->GetItem(1));
  ClickEntry(menu, 7);
  EXPECT_TRUE(Standard->GetLinks()->GetItem(1)->GetBeginGroup());
  // Delete takes the link off the toolbar; its item stays a command.
  const Integer commands = Manager->GetItemCount();
  menu = openMenu(0);
  ClickEntry(menu, 1);
  ASSERT_EQ(Standard->GetLinks()->GetCount(), 1);
  EXPECT_EQ(Standard->GetLinks()->GetItem(0)->GetItem(), second);
  EXPECT_EQ(Manager->GetItemCount(), commands);
}

}  // namespace
