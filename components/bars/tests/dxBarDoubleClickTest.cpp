// Double clicks on bar windows: outside the classic look a double click on the selected item
// control goes to the control when it takes double clicks (a sub item's menu that keeps rarely
// used items back shows them all), and is a second press for every other control (an edit
// opened by the first press keeps its window, a combo's button keeps its list down); in the
// classic look the bars know no double clicks.

#include <gtest/gtest.h>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarEdit.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

struct TDropDownLog {
  Integer DropDowns = 0, CloseUps = 0;
  void DropDown(TObject*) { ++DropDowns; }
  void CloseUp(TObject*) { ++CloseUps; }
};

// A sub item control that counts the double clicks handed to it.
class TDoubleClickCountingControl : public TdxBarSubItemControl {
  ORV_CLASS(TDoubleClickCountingControl, TdxBarSubItemControl)
 public:
  using TdxBarSubItemControl::TdxBarSubItemControl;
  Boolean WantsDoubleClick() override { return false; }
  Boolean CanDoubleClick() override { return true; }
  void DoubleClick() override { ++DoubleClicks; }
  Integer DoubleClicks = 0;
};

class TDoubleClickCountingItem : public TdxBarSubItem {
  ORV_CLASS(TDoubleClickCountingItem, TdxBarSubItem)
 public:
  explicit TDoubleClickCountingItem(TComponent* owner) : TdxBarSubItem(owner) {}
  TClass GetControlClass(Boolean textRotated) override { return TDoubleClickCountingControl::StaticClass(); }
};

class BarDoubleClickTest : public orv::test::HeadlessFormTest {
 protected:
  BarDoubleClickTest() : HeadlessFormTest({100, 100, 420, 220}) {}

  void TearDown() override {
    Form.reset();
    TdxBarSubMenuControl::SetShowFullMenus(false);
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }

  // A docked toolbar in a look with "File" (a sub item whose second entry is rarely used), an
  // edit and a combo.
  void Build(TdxBarManagerStyle style) {
    Manager = NewTestBarManager(Form.get());
    Manager->SetStyle(style);
    Manager->SetShowFullMenusAfterDelay(false);
    Manager->BeginUpdate();
    Toolbar = Manager->AddToolbar(false);
    Toolbar->SetDockingStyle(dsTop);
    File = NewItem<TdxBarSubItem>("File");
    File->GetItemLinks()->AddItem(NewItem<TdxBarButton>("Open"));
    File->GetItemLinks()->AddItem(NewItem<TdxBarButton>("Export"))->SetMostRecentlyUsed(false);
    Edit = NewItem<TdxBarEdit>("Town");
    Edit->SetWidth(80);
    Combo = NewItem<TdxBarCombo>("Land");
    Combo->SetWidth(80);
    Combo->GetItems()->Add("ALPHA");
    Combo->GetItems()->Add("BETA");
    Toolbar->GetLinks()->AddItem(File);
    Toolbar->GetLinks()->AddItem(Edit);
    Toolbar->GetLinks()->AddItem(Combo);
    Toolbar->SetVisible(true);
    Manager->EndUpdate();
    Show();
  }
  template <class T>
  T* NewItem(const char* caption) {
    auto* item = new T(Form.get());
    item->SetParentComponent(Manager);
    item->SetCaption(caption);
    return item;
  }
  TCustomdxBarControl* Window() const { return Toolbar->GetControl(); }
  TdxBarItemControl* ControlOf(TdxBarItem* item) const {
    for (Integer i = 0; i < Toolbar->GetLinks()->GetCount(); ++i)
      if (Toolbar->GetLinks()->GetItem(i)->GetItem() == item) return Toolbar->GetLinks()->GetItem(i)->GetControl();
    return nullptr;
  }
  TPoint ScreenPoint(const TRect& r) const {
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(Window()->GetHandle(), &p);
    return TPoint{p.X, p.Y};
  }
  void DoubleClickAt(const TPoint& p) {
    orv::headless::MouseMove(p.X, p.Y);
    Run();
    orv::headless::DoubleClick(p.X, p.Y);
    Run();
  }
  TdxBarSubMenuControl* FileMenu() const {
    return dynamic_cast<TdxBarSubMenuControl*>(File->GetItemLinks()->GetBarControl());
  }

  TdxBarManager* Manager = nullptr;
  TdxBar* Toolbar = nullptr;
  TdxBarSubItem* File = nullptr;
  TdxBarEdit* Edit = nullptr;
  TdxBarCombo* Combo = nullptr;
};

}  // namespace

TEST_F(BarDoubleClickTest, ADoubleClickOnASubItemShowsTheRarelyUsedEntriesOfItsMenu) {
  Build(bmsFlat);
  DoubleClickAt(ScreenPoint(Toolbar->GetLinks()->GetItem(0)->GetItemRect()));
  TdxBarSubMenuControl* menu = FileMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(IsWindowVisible(menu->GetHandle()));
  EXPECT_TRUE(TdxBarSubMenuControl::GetShowFullMenus());
  EXPECT_EQ(File->GetItemLinks()->GetVisibleItemCount(), 2);
  EXPECT_FALSE(menu->IsMarkVisible());
}

TEST_F(BarDoubleClickTest, TheClassicLookTakesADoubleClickAsTwoPresses) {
  Build(bmsStandard);
  DoubleClickAt(ScreenPoint(Toolbar->GetLinks()->GetItem(0)->GetItemRect()));
  // The second press closed the menu the first opened; nothing was expanded.
  EXPECT_FALSE(TdxBarSubMenuControl::GetShowFullMenus());
  TdxBarSubMenuControl* menu = FileMenu();
  EXPECT_TRUE(menu == nullptr || !IsWindowVisible(menu->GetHandle()));
}

TEST_F(BarDoubleClickTest, AControlThatTakesDoubleClicksGetsTheSecondPressAsOne) {
  Build(bmsOffice11);
  auto* item = NewItem<TDoubleClickCountingItem>("Own");
  // With an entry its menu opens on the first press and the item stays selected.
  item->GetItemLinks()->AddItem(NewItem<TdxBarButton>("Entry"));
  Manager->BeginUpdate();
  TdxBar* own = Manager->AddToolbar(false);
  own->SetDockingStyle(dsBottom);
  own->GetLinks()->AddItem(item);
  own->SetVisible(true);
  Manager->EndUpdate();
  Run();
  TdxBarItemLink* link = own->GetLinks()->GetItem(0);
  auto* control = dynamic_cast<TDoubleClickCountingControl*>(link->GetControl());
  ASSERT_NE(control, nullptr);
  POINT p{(link->GetItemRect().Left + link->GetItemRect().Right) / 2,
          (link->GetItemRect().Top + link->GetItemRect().Bottom) / 2};
  ClientToScreen(own->GetControl()->GetHandle(), &p);
  DoubleClickAt(TPoint{p.X, p.Y});
  // The first press selected it; the second reached it as a double click.
  EXPECT_EQ(control->DoubleClicks, 1);
}

TEST_F(BarDoubleClickTest, ADoubleClickOnAnEditOpensItsWindowForTyping) {
  Build(bmsFlat);
  auto* control = dynamic_cast<TdxBarEditControl*>(ControlOf(Edit));
  ASSERT_NE(control, nullptr);
  DoubleClickAt(ScreenPoint(control->GetPartRect(0)));
  ASSERT_TRUE(control->GetFocused());
  orv::headless::TypeText("Ufa");
  Run();
  orv::headless::KeyDown(VK_RETURN);
  orv::headless::KeyUp(VK_RETURN);
  Run();
  EXPECT_EQ(Edit->GetText(), "Ufa");
}

TEST_F(BarDoubleClickTest, ADoubleClickOnAComboButtonDropsTheListDownOnce) {
  Build(bmsFlat);
  auto* control = dynamic_cast<TdxBarComboControl*>(ControlOf(Combo));
  ASSERT_NE(control, nullptr);
  ASSERT_GE(control->GetPartCount(), 4);
  TDropDownLog log;
  Combo->SetOnDropDown(TNotifyEvent(&log, &TDropDownLog::DropDown));
  Combo->SetOnCloseUp(TNotifyEvent(&log, &TDropDownLog::CloseUp));
  // The first press drops the list down; the second, a press on the open list's button, closes it
  // only when released over the list's edit window, as a second click does.
  DoubleClickAt(ScreenPoint(control->GetPartRect(3)));
  EXPECT_TRUE(control->IsDroppedDown());
  EXPECT_TRUE(IsWindowVisible(Combo->GetListBox()->GetHandle()));
  EXPECT_EQ(log.DropDowns, 1);
  EXPECT_EQ(log.CloseUps, 0);
}
