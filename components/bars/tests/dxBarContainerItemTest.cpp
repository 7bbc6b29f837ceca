// List and container items on a toolbar: a click opens a menu of the links the item generates
// (a list item's numbered entries; a container item's menu lists its own links), an entry runs
// its command, and closing the menu removes the generated links; while customizing no menu opens.
// Inside a menu both show their links in place of their own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

struct TContainerLog {
  std::vector<std::string> Events;
  void Click(TObject* sender) { Events.push_back("click " + static_cast<TdxBarItem*>(sender)->GetCaption()); }
  void GetData(TObject* sender) { Events.push_back("data"); }
};

class BarContainerItemTest : public BarFormTest {
 protected:
  BarContainerItemTest() : BarFormTest({100, 100, 420, 300}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Manager->BeginUpdate();
    Bar = Manager->AddToolbar(false);
    List = new TdxBarListItem(Form.get());
    List->SetParentComponent(Manager);
    List->SetCaption("Towns");
    List->GetItems()->Add("Omsk");
    List->GetItems()->Add("Tara");
    List->SetOnClick(TNotifyEvent(&Log, &TContainerLog::Click));
    List->SetOnGetData(TNotifyEvent(&Log, &TContainerLog::GetData));
    Bar->GetLinks()->AddItem(List);
    Container = new TdxBarContainerItem(Form.get());
    Container->SetParentComponent(Manager);
    Container->SetCaption("Tools");
    for (const char* caption : {"Measure", "Route"}) {
      auto* button = NewTestButton(Manager, Form.get(), caption, TNotifyEvent(&Log, &TContainerLog::Click));
      Container->GetLinks()->AddItem(button);
    }
    Bar->GetLinks()->AddItem(Container);
    // A sub item whose menu holds both between two buttons.
    Places = new TdxBarSubItem(Form.get());
    Places->SetParentComponent(Manager);
    Places->SetCaption("Places");
    Places->GetItemLinks()->AddItem(NewTestButton(Manager, Form.get(), "Find", TNotifyEvent(&Log, &TContainerLog::Click)));
    Places->GetItemLinks()->AddItem(List);
    Places->GetItemLinks()->AddItem(Container);
    Places->GetItemLinks()->AddItem(NewTestButton(Manager, Form.get(), "Print", TNotifyEvent(&Log, &TContainerLog::Click)));
    Bar->GetLinks()->AddItem(Places);
    Bar->SetDockingStyle(dsTop);
    Bar->SetVisible(true);
    Manager->EndUpdate();
    Show();
    Run();
  }

  TdxBarSubItemControl* ControlOf(Integer index) const {
    return dynamic_cast<TdxBarSubItemControl*>(Bar->GetLinks()->GetItem(index)->GetControl());
  }
  void ClickAt(TCustomdxBarControl* window, const TRect& r) {
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(window->GetHandle(), &p);
    orv::headless::Click(p.X, p.Y);
    Run();
  }
  TdxBarSubMenuControl* Open(Integer index) {
    TdxBarSubItemControl* control = ControlOf(index);
    if (!control) return nullptr;
    ClickAt(Bar->GetControl(), Bar->GetLinks()->GetItem(index)->GetItemRect());
    return control->GetSubMenuControl();
  }
  static std::vector<AnsiString> Shown(TdxBarSubMenuControl* menu) {
    std::vector<AnsiString> captions;
    for (Integer i = 0; i < menu->GetViewInfoCount(); ++i) captions.push_back(menu->GetViewInfoControl(i)->GetCaption());
    return captions;
  }

  TdxBar* Bar = nullptr;
  TdxBarListItem* List = nullptr;
  TdxBarContainerItem* Container = nullptr;
  TdxBarSubItem* Places = nullptr;
  TContainerLog Log;
};

}  // namespace

TEST_F(BarContainerItemTest, AListItemsMenuShowsItsEntriesAndAnEntrySelectsAndClicksIt) {
  ASSERT_NE(dynamic_cast<TdxBarContainerItemControl*>(ControlOf(0)), nullptr);
  TdxBarSubMenuControl* menu = Open(0);
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->IsActive());
  EXPECT_EQ(Shown(menu), (std::vector<AnsiString>{"&1 Omsk", "&2 Tara"}));
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"data"}));
  // Below the item, as a sub item's menu.
  RECT window{};
  GetWindowRect(menu->GetHandle(), &window);
  const TRect item = Bar->GetLinks()->GetItem(0)->GetItemRect();
  POINT bottomLeft{item.Left, item.Bottom};
  ClientToScreen(Bar->GetControl()->GetHandle(), &bottomLeft);
  EXPECT_EQ(window.Left, bottomLeft.X);
  EXPECT_EQ(window.Top, bottomLeft.Y);

  ClickAt(menu, menu->GetViewInfoControl(1)->GetItemRect());
  EXPECT_EQ(List->GetItemIndex(), 1);
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"data", "click Towns"}));
  EXPECT_EQ(ControlOf(0)->GetSubMenuControl(), nullptr) << "the menu goes with the click";
  EXPECT_EQ(List->GetItemLinks()->GetCount(), 0) << "the generated links go with the menu";

  // Opened again, the item asks for its data again and lists its entries once.
  menu = Open(0);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), (std::vector<AnsiString>{"&1 Omsk", "&2 Tara"}));
  EXPECT_EQ(Log.Events.back(), "data");
}

TEST_F(BarContainerItemTest, AContainerItemsMenuShowsItsLinksWhichRunTheirCommands) {
  TdxBarSubMenuControl* menu = Open(1);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), (std::vector<AnsiString>{"Measure", "Route"}));
  ClickAt(menu, menu->GetViewInfoControl(1)->GetItemRect());
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"click Route"}));
  EXPECT_EQ(ControlOf(1)->GetSubMenuControl(), nullptr);
  EXPECT_EQ(Container->GetLinks()->GetCount(), 2) << "closing leaves its own links alone";

  // Escape closes an open one; opened again it lists the same links once.
  menu = Open(1);
  ASSERT_NE(menu, nullptr);
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_EQ(ControlOf(1)->GetSubMenuControl(), nullptr);
  orv::headless::PressKey(VK_ESCAPE);  // and the toolbar leaves keyboard mode
  Run();
  orv::headless::AdvanceTime(1000);  // the next press is no double click
  menu = Open(1);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), (std::vector<AnsiString>{"Measure", "Route"}));
}

TEST_F(BarContainerItemTest, WhileCustomizingAContainerItemOpensNoMenu) {
  Manager->SetCustomizingMode(true);
  TdxBarSubItemControl* control = ControlOf(1);
  ASSERT_NE(control, nullptr);
  control->DropDown(false);
  Run();
  EXPECT_EQ(control->GetSubMenuControl(), nullptr);
  Manager->SetCustomizingMode(false);
}

TEST_F(BarContainerItemTest, InsideAMenuTheyShowTheirLinksInPlaceOfTheirOwnUntilItCloses) {
  auto linkItems = [this] {
    std::vector<TdxBarItem*> items;
    for (Integer i = 0; i < Places->GetItemLinks()->GetCount(); ++i) items.push_back(Places->GetItemLinks()->GetItem(i)->GetItem());
    return items;
  };
  const std::vector<TdxBarItem*> designed = linkItems();
  TdxBarItemLink* listLink = Places->GetItemLinks()->GetItem(1);
  TdxBarSubMenuControl* menu = Open(2);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), (std::vector<AnsiString>{"Find", "&1 Omsk", "&2 Tara", "Measure", "Route", "Print"}));
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"data"}));
  // Each stands apart from its neighbours as a group.
  EXPECT_TRUE(Places->GetItemLinks()->GetItem(1)->GetBeginGroup());
  EXPECT_TRUE(Places->GetItemLinks()->GetItem(3)->GetBeginGroup());
  EXPECT_EQ(listLink->GetCollection(), nullptr) << "the list item's own link is out meanwhile";

  ClickAt(menu, menu->GetViewInfoControl(2)->GetItemRect());
  EXPECT_EQ(List->GetItemIndex(), 1);
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"data", "click Towns"}));
  EXPECT_EQ(ControlOf(2)->GetSubMenuControl(), nullptr);
  // Closed, the menu's links are the designed ones again, the own links back in their places.
  EXPECT_EQ(linkItems(), designed);
  EXPECT_EQ(Places->GetItemLinks()->GetItem(1), listLink);
  EXPECT_EQ(Container->GetLinks()->GetCount(), 2);

  // Opened again it shows the entries once; a container's link runs its command.
  orv::headless::AdvanceTime(1000);
  menu = Open(2);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Shown(menu), (std::vector<AnsiString>{"Find", "&1 Omsk", "&2 Tara", "Measure", "Route", "Print"}));
  ClickAt(menu, menu->GetViewInfoControl(4)->GetItemRect());
  EXPECT_EQ(Log.Events.back(), "click Route");
  EXPECT_EQ(linkItems(), designed);
}
