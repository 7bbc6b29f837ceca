// The bar manager on a form: its life cycle with the owner, the process-wide manager list and
// hooks, the property rules, categories and groups, the shortcut, Alt and F10 dispatch through
// the keyboard hook, and form descriptions of a manager with its bars and items.

#include <gtest/gtest.h>

#include <memory>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarEdit.h"
#include "components/bars/dxBarStrs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// Counts clicks and the keys the focused edit receives.
class TClickCounter : public TObject {
  ORV_CLASS(TClickCounter, TObject)
 public:
  TClickCounter() = default;
  void Click(TObject* sender) {
    ++Clicks;
    LastSender = sender;
  }
  void ManagerClick(TdxBarManager* sender, TdxBarItem* item) { ManagerClicks.push_back(item); }
  int Clicks = 0;
  TObject* LastSender = nullptr;
  std::vector<TdxBarItem*> ManagerClicks;
};

int gNavigationStarts = 0;
TdxBarManager* gNavigationManager = nullptr;
void CountNavigation(TdxBarManager* manager) {
  ++gNavigationStarts;
  gNavigationManager = manager;
}

class BarManagerTest : public orv::test::HeadlessFormTest {
 protected:
  // A sizable form with border and caption.
  BarManagerTest() : HeadlessFormTest({100, 100, 400, 300}, false) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    gNavigationStarts = 0;
    gNavigationManager = nullptr;
    BarHookServices() = TdxBarHookServices();
    BarHookServices().StartNavigation = CountNavigation;
    Edit = new TEdit(Form.get());
    Edit->SetParent(Form.get());
    Manager = new TdxBarManager(Form.get());
    MainMenu = Manager->AddToolbar(true);
    Button = AddButton("Copy", ShortCut('C', false, true, false));
    MainMenu->GetLinks()->AddItem(Button);
  }
  void TearDown() override {
    Form.reset();
    Second.reset();
    BarHookServices() = TdxBarHookServices();
    HeadlessFormTest::TearDown();
  }

  TdxBarButton* AddButton(const AnsiString& caption, TShortCut shortCut) {
    auto* button = new TdxBarButton(Form.get());
    button->SetParentComponent(Manager);
    button->SetCategory(0);
    button->SetCaption(caption);
    button->SetShortCut(shortCut);
    button->SetOnClick(TNotifyEvent(&Counter, &TClickCounter::Click));
    return button;
  }
  void ShowAndFocus() {
    Form->Show();
    Run();
    Edit->SetFocus();
    Run();
    ASSERT_EQ(GetFocus(), Edit->GetHandle());
  }
  Owned<TForm> Second;
  TEdit* Edit = nullptr;
  TdxBarManager* Manager = nullptr;
  TdxBar* MainMenu = nullptr;
  TdxBarButton* Button = nullptr;
  TClickCounter Counter;
};

// ---- Life cycle, list and hooks

TEST_F(BarManagerTest, OwnerRulesAndTheFirstManagerKeepsWorking) {
  EXPECT_EQ(GetBarManagerOwnedBy(Form.get()), Manager);
  EXPECT_EQ(GetBarManagerOwnedBy(Manager), Manager);
  EXPECT_EQ(GetBarManagerOwnedBy(Edit), nullptr);

  const int components = Form->GetComponentCount();
  try {
    new TdxBarManager(Form.get());
    FAIL() << "a second manager on one form";
  } catch (EdxException& e) {
    EXPECT_EQ(e.GetMessage(), GetLocalizedResourceString(&dxSBAR_BARMANAGERMORETHANONE));
  }
  EXPECT_EQ(Form->GetComponentCount(), components);
  EXPECT_EQ(dxBarManagerList()->GetCount(), 1);

  Owned<TComponent> plain(new TComponent(nullptr));
  EXPECT_THROW(new TdxBarManager(plain.get()), EdxException);
  EXPECT_EQ(plain->GetComponentCount(), 0);

  // The first manager still dispatches.
  ShowAndFocus();
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
}

TEST_F(BarManagerTest, NilOwnerMeansTheMainForm) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  ASSERT_EQ(Application->GetMainForm(), main);
  auto* manager = new TdxBarManager(nullptr);
  EXPECT_EQ(manager->GetOwner(), main);
  EXPECT_EQ(GetBarManagerOwnedBy(main), manager);
  main->Free();
  EXPECT_EQ(dxBarManagerList()->GetCount(), 1);
}

TEST_F(BarManagerTest, HooksLiveWithTheManagers) {
  EXPECT_TRUE(BarHooksInstalled());
  Owned<TForm> other(new TForm(nullptr));
  auto* second = new TdxBarManager(other.get());
  EXPECT_EQ(dxBarManagerList()->GetCount(), 2);
  EXPECT_EQ(dxBarManagerList()->GetManager(1), second);
  EXPECT_EQ(dxBarManagerList()->GetManager(2), nullptr);
  other.reset();
  EXPECT_TRUE(BarHooksInstalled());
  Form.reset();
  EXPECT_FALSE(BarHooksInstalled());
  EXPECT_EQ(dxBarManagerList()->GetCount(), 0);
}

TEST_F(BarManagerTest, DestroyingTheManagerFreesItsBarsItemsAndGroups) {
  TdxBarGroup* group = Manager->AddGroup();
  group->Add(Button);
  const int before = Form->GetComponentCount();
  EXPECT_EQ(Manager->GetItemCount(), 1);
  EXPECT_EQ(Manager->GetBarCount(), 1);
  Manager->Free();
  // The manager, its bar, its button and its group are gone; the edit stays.
  EXPECT_EQ(Form->GetComponentCount(), before - 4);
  EXPECT_FALSE(BarHooksInstalled());
}

TEST_F(BarManagerTest, FreeingAnItemDropsItFromTheListsAndLinks) {
  TdxBarGroup* group = Manager->AddGroup();
  group->Add(Button);
  Button->Free();
  EXPECT_EQ(Manager->GetItemCount(), 0);
  EXPECT_EQ(group->GetCount(), 0);
  EXPECT_EQ(MainMenu->GetLinks()->GetCount(), 0);
}

// ---- Properties

TEST_F(BarManagerTest, PropertyRules) {
  EXPECT_TRUE(Manager->GetUseSystemFont());
  EXPECT_EQ(Manager->GetRecentUseThreshold(), 20);
  struct {
    int percents, stored, threshold;
  } cases[] = {{95, 95, 20}, {90, 90, 10}, {100, 100, 0}, {0, 0, 1}, {200, 100, 0}};
  for (auto c : cases) {
    Manager->SetMostRecentItemsPercents(c.percents);
    EXPECT_EQ(Manager->GetMostRecentItemsPercents(), c.stored) << c.percents;
    EXPECT_EQ(Manager->GetRecentUseThreshold(), c.threshold) << c.percents;
  }
  Manager->SetButtonArrowWidth(1);
  EXPECT_EQ(Manager->GetButtonArrowWidth(), 11);
  Manager->SetLargeButtonArrowWidth(1);
  EXPECT_EQ(Manager->GetLargeButtonArrowWidth(), 13);
  Manager->SetWaitForDockingTime(-5);
  EXPECT_EQ(Manager->GetWaitForDockingTime(), 21);
  Manager->SetRegistryPath("Software\\X");
  EXPECT_EQ(Manager->GetRegistryPath(), "\\Software\\X\\");
  Manager->SetRegistryPath("");
  EXPECT_EQ(Manager->GetRegistryPath(), "");

  Form->SetColor(clRed);
  EXPECT_EQ(Manager->GetDockColor(), clRed);
  Manager->SetDockColor(clBlue);
  EXPECT_FALSE(Manager->GetAutoDockColor());
  EXPECT_EQ(Manager->GetDockColor(), clBlue);
}

TEST_F(BarManagerTest, StyleChoosesThePainter) {
  EXPECT_TRUE(Manager->GetPainter()->InheritsFrom(TdxBarEnhancedPainter::StaticClass()));
  Manager->SetStyle(bmsXP);  // no visual styles here
  EXPECT_EQ(Manager->GetEffectiveStyle(), bmsXP);
  EXPECT_EQ(Manager->GetPainter()->ClassType(), TdxBarEnhancedPainter::StaticClass());
  Manager->SetStyle(bmsOffice11);
  EXPECT_EQ(Manager->GetPainter()->ClassType(), TdxBarOffice11Painter::StaticClass());
  Manager->SetStyle(bmsUseLookAndFeel);
  Manager->GetLookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_EQ(Manager->GetEffectiveStyle(), bmsFlat);
  EXPECT_EQ(Manager->GetPainter()->ClassType(), TdxBarFlatPainter::StaticClass());
  Manager->GetLookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(Manager->GetEffectiveStyle(), bmsStandard);
  EXPECT_FALSE(Manager->SupportsRecentItems());
  EXPECT_FALSE(Manager->UseRecentItems());
}

TEST_F(BarManagerTest, LookupsAndNames) {
  // The fixture's button was made at run time and has no name: an empty name must not find it.
  ASSERT_EQ(Button->GetName(), "");
  EXPECT_EQ(Manager->GetItemByName(""), nullptr);
  Button->SetName("btnCopy");
  EXPECT_EQ(Manager->GetItemByName("BTNCOPY"), Button);
  EXPECT_EQ(Manager->GetItemByName("none"), nullptr);
  EXPECT_EQ(Manager->GetItem(5), nullptr);
  EXPECT_EQ(Manager->GetBarByCaption("Custom 1"), MainMenu);
  EXPECT_EQ(Manager->GetUniqueBarCaption("Custom "), "Custom 2");
  EXPECT_EQ(Manager->GetUniqueItemName(TdxBarButton::StaticClass()), "dxBarButton1");
  AnsiString caption = "Sa&ve && Exit";
  EXPECT_EQ(GetAcceleratorPosition(caption, false), 4);
  EXPECT_EQ(GetAcceleratorPosition(caption, true), 3);
  EXPECT_EQ(caption, "Save & Exit");
}

class TTestMenu : public TdxBarComponent {
  ORV_CLASS(TTestMenu, TdxBarComponent)
 public:
  explicit TTestMenu(TComponent* owner) : TdxBarComponent(owner) {}
};
class TTestItem : public TdxBarItem {
  ORV_CLASS(TTestItem, TdxBarItem)
 public:
  explicit TTestItem(TComponent* owner) : TdxBarItem(owner) {}
};
class TTestSubItem : public TTestItem {
  ORV_CLASS(TTestSubItem, TTestItem)
 public:
  explicit TTestSubItem(TComponent* owner) : TTestItem(owner) {}
};
class TTestItemControl : public TObject {
  ORV_CLASS(TTestItemControl, TObject)
 public:
  TTestItemControl() = default;
};

TEST_F(BarManagerTest, RegisteredPopupMenusGoWithTheManagerOrLeaveWhenFreed) {
  auto* kept = new TTestMenu(Form.get());
  kept->SetName("menuKept");
  auto* freed = new TTestMenu(Form.get());
  Manager->AddPopupMenu(kept);
  Manager->AddPopupMenu(freed);
  Manager->AddPopupMenu(kept);
  EXPECT_EQ(Manager->GetPopupMenuCount(), 2);
  freed->Free();
  EXPECT_EQ(Manager->GetPopupMenuCount(), 1);
  EXPECT_EQ(Manager->GetPopupMenu(0), kept);
  const int before = Form->GetComponentCount();
  Manager->Free();
  EXPECT_EQ(Form->FindComponent("menuKept"), nullptr);
  EXPECT_LT(Form->GetComponentCount(), before);
}

TEST_F(BarManagerTest, ItemClassRegistryAnswersTheNearestRegisteredAncestor) {
  TdxBarItemList* list = GetBarItemClassList();
  const int count = list->GetCount(), visible = list->GetVisibleItemCount();
  RegisterBarItem(TTestItem::StaticClass(), TTestItemControl::StaticClass(), true);
  RegisterBarItem(TTestMenu::StaticClass(), TTestItemControl::StaticClass(), false);
  EXPECT_EQ(list->GetCount(), count + 2);
  EXPECT_EQ(list->GetVisibleItemCount(), visible + 1);
  EXPECT_EQ(list->GetVisibleItemClass(visible), TTestItem::StaticClass());
  EXPECT_EQ(list->GetVisibleItemClass(visible + 1), nullptr);
  EXPECT_EQ(list->FindControlClass(TTestSubItem::StaticClass()), TTestItemControl::StaticClass());
  EXPECT_EQ(list->FindControlClass(TdxBarItem::StaticClass()), nullptr);
  EXPECT_EQ(GetClass("TTestItem"), TTestItem::StaticClass());
  list->DeleteRecord(list->GetCount() - 1);
  list->DeleteRecord(list->GetCount() - 1);
  EXPECT_EQ(list->GetCount(), count);
  EXPECT_EQ(GetClass("TTestItem"), nullptr);
}

TEST_F(BarManagerTest, TheItemKindsAreRegisteredWithTheirControlsInListOrder) {
  TdxBarItemList* list = GetBarItemClassList();
  const TClass offered[] = {TdxBarButton::StaticClass(),      TdxBarLargeButton::StaticClass(),
                            TdxBarEdit::StaticClass(),        TCustomdxBarCombo::StaticClass(),
                            TdxBarCombo::StaticClass(),       TdxBarSubItem::StaticClass(),
                            TdxBarListItem::StaticClass(),    TdxBarContainerItem::StaticClass(),
                            TdxBarSeparator::StaticClass()};
  const int count = int(sizeof(offered) / sizeof(offered[0]));
  ASSERT_GE(list->GetVisibleItemCount(), count);
  for (int i = 0; i < count; ++i) EXPECT_EQ(list->GetVisibleItemClass(i), offered[i]) << i;
  struct {
    TdxBarItem* item;
    TClass control;
  } cases[] = {{Button, TdxBarButtonControl::StaticClass()},
               {new TdxBarLargeButton(Form.get()), TdxBarLargeButtonControl::StaticClass()},
               {new TdxBarSubItem(Form.get()), TdxBarSubItemControl::StaticClass()},
               {new TdxBarListItem(Form.get()), TdxBarContainerItemControl::StaticClass()},
               {new TdxBarLabel(Form.get()), TdxBarCustomStaticControl::StaticClass()},
               {new TdxBarSeparator(Form.get()), TdxBarSeparatorControl::StaticClass()},
               // An item kind without a control of its own has none (the registry's nearest
               // ancestor answers only through FindControlClass).
               {new TdxBarItem(Form.get()), nullptr}};
  for (auto c : cases) EXPECT_EQ(c.item->GetControlClass(false), c.control) << c.item->ClassName();
  // A link's control is made from its item's class.
  TdxBarItemControl* control =
      TdxBarItemControlClass(Button->GetControlClass(false)).Create(MainMenu->GetLinks()->GetItem(0));
  EXPECT_EQ(control->ClassType(), TdxBarButtonControl::StaticClass());
  EXPECT_EQ(control->GetItem(), Button);
  control->Free();
  // Descriptions can name every kind.
  EXPECT_EQ(GetClass("TdxBarLargeButton"), TdxBarLargeButton::StaticClass());
  EXPECT_EQ(GetClass("TdxBarExtraPaneListItem"), TdxBarExtraPaneListItem::StaticClass());
}

namespace {

// A button whose controls count how often bar windows make them: a bar window makes its item
// controls afresh each time it lays itself out again.
class TCountedButton : public TdxBarButton {
  ORV_CLASS(TCountedButton, TdxBarButton)
 public:
  explicit TCountedButton(TComponent* owner) : TdxBarButton(owner) {}
};
class TCountedButtonControl : public TdxBarButtonControl {
  ORV_CLASS(TCountedButtonControl, TdxBarButtonControl)
 public:
  static inline int Made = 0;
  explicit TCountedButtonControl(TdxBarItemLink* link) : TdxBarButtonControl(link) { ++Made; }
};

}  // namespace

TEST_F(BarManagerTest, UpdateLocksNestAndRelayOutOnce) {
  TdxBarItemList* kinds = GetBarItemClassList();
  RegisterBarItem(TCountedButton::StaticClass(), TCountedButtonControl::StaticClass(), false);
  auto* counted = new TCountedButton(Form.get());
  counted->SetParentComponent(Manager);
  counted->SetCaption("Counted");
  TdxBarItemLink* link = MainMenu->GetLinks()->AddItem(counted);
  ShowAndFocus();
  ASSERT_NE(MainMenu->GetControl(), nullptr);
  ASSERT_NE(link->GetControl(), nullptr);
  const Integer width = link->GetItemRect().Width();
  const Integer realigns = Manager->GetRealignCount();

  // Each of these changes lays the bar window out again at once outside a lock.
  TCountedButtonControl::Made = 0;
  Manager->BeginUpdate();
  Manager->BeginUpdate();
  EXPECT_TRUE(Manager->IsUpdateLocked());
  counted->SetCaption("Counted twice over");
  MainMenu->GetLinks()->AddItem(AddButton("More", 0));
  Manager->EndUpdate();
  EXPECT_EQ(TCountedButtonControl::Made, 0);
  EXPECT_TRUE(MainMenu->GetChanged());
  Manager->EndUpdate();
  EXPECT_FALSE(Manager->IsUpdateLocked());
  EXPECT_EQ(TCountedButtonControl::Made, 1);
  EXPECT_EQ(Manager->GetRealignCount(), realigns + 1);
  EXPECT_FALSE(MainMenu->GetChanged());
  EXPECT_GT(link->GetItemRect().Width(), width);  // laid out with the new caption
  Manager->EndUpdate();  // an unbalanced end changes nothing
  EXPECT_FALSE(Manager->IsUpdateLocked());
  EXPECT_EQ(TCountedButtonControl::Made, 1);
  counted->SetCaption("Counted");
  EXPECT_EQ(TCountedButtonControl::Made, 2);

  // Freeing an item whose links stand on three bars inside a lock lays each bar window out once,
  // at the end.
  TdxBar* second = Manager->AddToolbar();
  TdxBar* third = Manager->AddToolbar();
  second->GetLinks()->AddItem(Button);
  third->GetLinks()->AddItem(Button);
  second->GetLinks()->AddItem(counted);
  third->GetLinks()->AddItem(counted);
  ASSERT_NE(second->GetControl(), nullptr);
  ASSERT_NE(third->GetControl(), nullptr);
  TCountedButtonControl::Made = 0;
  Manager->BeginUpdate();
  Button->Free();
  EXPECT_EQ(TCountedButtonControl::Made, 0);
  Manager->EndUpdate();
  EXPECT_EQ(TCountedButtonControl::Made, 3);
  for (TdxBar* bar : {MainMenu, second, third})
    for (Integer i = 0; i < bar->GetLinks()->GetCount(); ++i)
      EXPECT_NE(bar->GetLinks()->GetItem(i)->GetItem(), static_cast<TdxBarItem*>(nullptr));
  EXPECT_EQ(MainMenu->GetLinks()->GetCount() + second->GetLinks()->GetCount() + third->GetLinks()->GetCount(), 4);
  kinds->DeleteRecord(kinds->GetCount() - 1);
}

TEST_F(BarManagerTest, RenamingTheManagerAtDesignTimeRenamesItsItems) {
  Manager->SetName("dxBarManager1");
  Button->SetName("dxBarManager1Button1");
  TdxBarButton* plain = AddButton("Plain", 0);
  plain->SetName("Button1");
  Manager->SetName("bm");  // not designing: items keep their names
  EXPECT_EQ(Button->GetName(), "dxBarManager1Button1");
  Manager->SetName("dxBarManager1");
  IncludeComponentState(Manager, TComponentState{csDesigning});
  EXPECT_TRUE(Manager->InCustomizingMode());
  Manager->SetName("bm");
  EXPECT_EQ(Button->GetName(), "bmButton1");
  EXPECT_EQ(plain->GetName(), "Button1");
  ExcludeComponentState(Manager, TComponentState{csDesigning});
}

// ---- Categories and groups

TEST_F(BarManagerTest, CategoryEditsKeepTheItemsCategories) {
  TdxBarManagerCategories* categories = Manager->GetCategories();
  ASSERT_EQ(categories->GetCount(), 1);
  EXPECT_EQ(categories->Get(0), "Default");
  categories->Add("File");
  categories->Add("Edit");
  TdxBarButton* file = AddButton("Open", 0);
  file->SetCategory(1);
  TdxBarButton* edit = AddButton("Paste", 0);
  edit->SetCategory(2);

  categories->Move(0, 2);  // Default moves behind Edit
  EXPECT_EQ(Button->GetCategory(), 2);
  EXPECT_EQ(file->GetCategory(), 0);
  EXPECT_EQ(edit->GetCategory(), 1);
  EXPECT_EQ(categories->Get(2), "Default");

  categories->Delete(0);  // File and its item go
  EXPECT_EQ(Manager->GetItemCount(), 2);
  EXPECT_EQ(edit->GetCategory(), 0);
  EXPECT_EQ(Button->GetCategory(), 1);

  categories->Delete(1);
  categories->Delete(0);
  EXPECT_EQ(Manager->GetItemCount(), 0);
  ASSERT_EQ(categories->GetCount(), 1);
  EXPECT_EQ(categories->Get(0), "Default");
}

TEST_F(BarManagerTest, CategoryItemsVisibleAndVisible) {
  Manager->SetCategoryItemsVisible(0, ivNever);
  EXPECT_EQ(Button->GetVisible(), ivNever);
  EXPECT_EQ(Manager->GetCategoryItemsVisible(0), ivNever);
  Manager->SetCategoryItemsVisible(0, ivAlways);
  EXPECT_EQ(Button->GetVisible(), ivAlways);
  EXPECT_EQ(Manager->GetCategoryItemsVisible(7), ivNever);
  EXPECT_FALSE(Manager->GetCategoryVisible(7));
  Manager->GetCategories()->Add("Hidden");
  Manager->SetCategoryVisible(0, false);
  EXPECT_EQ(Manager->GetRealCategoryIndex(0), 1);
  EXPECT_EQ(Manager->GetRealCategoryIndex(1), -1);
}

TEST_F(BarManagerTest, GroupsSetTheirMembersAndRefuseRecursion) {
  TdxBarGroup* outer = Manager->AddGroup();
  TdxBarGroup* inner = Manager->AddGroup();
  TdxBarButton* other = AddButton("Other", 0);
  outer->Add(inner);
  inner->Add(Button);
  outer->Add(other);
  outer->SetEnabled(false);
  EXPECT_FALSE(Button->GetEnabled());
  EXPECT_FALSE(other->GetEnabled());
  outer->SetVisible(ivNever);
  EXPECT_EQ(Button->GetVisible(), ivNever);
  try {
    inner->Add(outer);
    FAIL() << "a recursive group";
  } catch (EdxException& e) {
    EXPECT_EQ(e.GetMessage(), "You cannot create recursive groups");
  }
  EXPECT_EQ(inner->GetCount(), 1);
  EXPECT_THROW(outer->Add(outer), EdxException);
}

// ---- Shortcut dispatch

TEST_F(BarManagerTest, ShortcutReachesOnClickOnceAndNotTheFocusedEdit) {
  Manager->SetOnClickItem(TdxBarClickItemEvent(&Counter, &TClickCounter::ManagerClick));
  ShowAndFocus();
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
  EXPECT_EQ(Counter.LastSender, Button);
  ASSERT_EQ(Counter.ManagerClicks.size(), 1u);
  EXPECT_EQ(Counter.ManagerClicks[0], Button);
  EXPECT_EQ(Edit->GetText(), "");  // the edit saw no character

  // A plain C types into the edit and clicks nothing.
  orv::headless::PressKey('C');
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
  EXPECT_EQ(Edit->GetText(), "c");
}

TEST_F(BarManagerTest, DisabledItemsAndCustomizingRunNothing) {
  ShowAndFocus();
  Button->SetEnabled(false);
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 0);
  Button->SetEnabled(true);
  Manager->SetCustomizingMode(true);
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 0);
  Manager->SetCustomizingMode(false);
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
}

TEST_F(BarManagerTest, ShortcutsOfOtherBarsAndOfTheMainMenuOnly) {
  TdxBar* toolbar = Manager->AddToolbar(false);
  TdxBarButton* find = AddButton("Find", VK_F2);
  toolbar->GetLinks()->AddItem(find);
  toolbar->SetVisible(false);
  ShowAndFocus();
  // A hidden toolbar has no window and is not searched; a bar waiting for its window is.
  EXPECT_EQ(toolbar->GetControl(), nullptr);
  orv::headless::PressKey(VK_F2);
  Run();
  EXPECT_EQ(Counter.Clicks, 0);
  Manager->AddRestoringBar(toolbar);
  orv::headless::PressKey(VK_F2);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
  EXPECT_EQ(Counter.LastSender, find);
}

TEST_F(BarManagerTest, BarWindowsDecideWhetherTheirBarsAreSearched) {
  TdxBar* toolbar = Manager->AddToolbar(false);
  TdxBarButton* find = AddButton("Find", VK_F2);
  toolbar->GetLinks()->AddItem(find);
  ShowAndFocus();
  ASSERT_NE(MainMenu->GetControl(), nullptr);
  ASSERT_NE(toolbar->GetControl(), nullptr);
  HWND mainWindow = MainMenu->GetControl()->GetHandle();
  ShowWindow(mainWindow, SW_HIDE);
  EXPECT_EQ(Manager->GetMainMenuBar(), nullptr);  // its window is hidden
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 0);
  ShowWindow(mainWindow, SW_SHOWNA);
  EXPECT_EQ(Manager->GetMainMenuBar(), MainMenu);
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);

  orv::headless::PressKey(VK_F2);
  Run();
  EXPECT_EQ(Counter.Clicks, 2);
  toolbar->SetVisible(false);  // takes its window away
  EXPECT_EQ(toolbar->GetControl(), nullptr);
  orv::headless::PressKey(VK_F2);
  Run();
  EXPECT_EQ(Counter.Clicks, 2);
}

TEST_F(BarManagerTest, ManagersOfOneFormShareShortcutsAndActivation) {
  auto* box = new TGroupBox(Form.get());
  box->SetParent(Form.get());
  box->SetBounds(10, 60, 200, 100);
  auto* inner = new TEdit(Form.get());
  inner->SetParent(box);
  auto* boxManager = new TdxBarManager(box);
  TdxBar* boxMenu = boxManager->AddToolbar(true);
  auto* paste = new TdxBarButton(Form.get());
  paste->SetParentComponent(boxManager);
  paste->SetShortCut(ShortCut('V', false, true, false));
  paste->SetOnClick(TNotifyEvent(&Counter, &TClickCounter::Click));
  boxMenu->GetLinks()->AddItem(paste);
  ShowAndFocus();

  EXPECT_EQ(dxBarManagerList()->GetNextManager(Manager), boxManager);
  EXPECT_EQ(dxBarManagerList()->GetNextManager(boxManager), Manager);
  EXPECT_EQ(dxBarManagerList()->GetNextManager(boxManager, false), Manager);
  EXPECT_EQ(FindComponentBarManager(inner), boxManager);
  EXPECT_EQ(FindComponentBarManager(Edit), Manager);
  EXPECT_EQ(FindBarManagerForm(boxManager, fsoAnyForm), Form.get());
  // The form's activation reaches the manager of the box inside it.
  EXPECT_TRUE(boxManager->IsOwnerFormActive());

  // From the form's edit, the box's shortcut runs (another manager of the form) ...
  orv::headless::PressKey('V', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
  EXPECT_EQ(Counter.LastSender, paste);
  // ... and from the box's edit the form's (the owner windows upwards).
  inner->SetFocus();
  Run();
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 2);
  EXPECT_EQ(Counter.LastSender, Button);
}

TEST_F(BarManagerTest, AnotherActiveFormNeedsAllowCallFromAnotherForm) {
  TForm* main = nullptr;
  Form.reset();
  Application->CreateForm(main);
  Form.reset(main);
  main->SetBounds(50, 50, 300, 200);
  Manager = new TdxBarManager(main);
  MainMenu = Manager->AddToolbar(true);
  Button = AddButton("Copy", ShortCut('C', false, true, false));
  MainMenu->GetLinks()->AddItem(Button);
  main->Show();
  Run();

  Second.reset(new TForm(nullptr));
  Second->SetBounds(500, 100, 200, 150);
  Second->AfterConstruction();
  Second->Show();
  Run();
  ASSERT_EQ(GetActiveWindow(), Second->GetHandle());
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 0);
  Manager->SetAllowCallFromAnotherForm(true);
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
}

TEST_F(BarManagerTest, HandlerThatFreesTheItemEndsTheClickSafely) {
  struct TFreeing : TObject {
    TdxBarItem* Item = nullptr;
    int Calls = 0;
    void ManagerClick(TdxBarManager*, TdxBarItem* item) {
      ++Calls;
      item->Free();
    }
  } freeing;
  Manager->SetOnClickItem(TdxBarClickItemEvent(&freeing, &TFreeing::ManagerClick));
  ShowAndFocus();
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(freeing.Calls, 1);
  EXPECT_EQ(Counter.Clicks, 0);
  EXPECT_EQ(Manager->GetItemCount(), 0);
}

// ---- Alt and F10

TEST_F(BarManagerTest, F10AndAltSelectTheMainMenu) {
  ShowAndFocus();
  orv::headless::PressKey(VK_F10);
  Run();
  EXPECT_EQ(gNavigationStarts, 1);
  EXPECT_EQ(gNavigationManager, Manager);

  orv::headless::PressKey(VK_F10, true);  // Shift+F10 is no menu key
  Run();
  EXPECT_EQ(gNavigationStarts, 1);

  orv::headless::KeyDown(VK_MENU);
  orv::headless::KeyUp(VK_MENU);
  Run();
  EXPECT_EQ(gNavigationStarts, 2);

  // A letter between Alt down and up ends the Alt-alone state.
  orv::headless::KeyDown(VK_MENU);
  orv::headless::PressKey('X');
  orv::headless::KeyUp(VK_MENU);
  Run();
  EXPECT_EQ(gNavigationStarts, 2);

  Manager->SetUseF10ForMenu(false);
  orv::headless::PressKey(VK_F10);
  Run();
  EXPECT_EQ(gNavigationStarts, 2);
}

TEST_F(BarManagerTest, F10ShortcutRunsWhenF10IsNoMenuKey) {
  TdxBarButton* exit = AddButton("Exit", VK_F10);
  MainMenu->GetLinks()->AddItem(exit);
  ShowAndFocus();
  orv::headless::PressKey(VK_F10);
  Run();
  EXPECT_EQ(Counter.Clicks, 0);
  Manager->SetUseF10ForMenu(false);
  orv::headless::PressKey(VK_F10);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
  EXPECT_EQ(Counter.LastSender, exit);
}

TEST_F(BarManagerTest, AltLetterFindsTheAcceleratorLink) {
  static std::vector<std::pair<TdxBarItemLink*, bool>> pressed;
  pressed.clear();
  BarHookServices().AcceleratorLinkPressed = [](TdxBarItemLink* link, Boolean unique) {
    pressed.push_back({link, unique});
  };
  Button->SetCaption("&File");
  TdxBarButton* find = AddButton("Fin&d && &Fix", 0);
  TdxBarButton* edit = AddButton("&Edit", 0);
  TdxBarItemLink* findLink = MainMenu->GetLinks()->AddItem(find);
  TdxBarItemLink* editLink = MainMenu->GetLinks()->AddItem(edit);
  ShowAndFocus();
  ASSERT_NE(MainMenu->GetControl(), nullptr);  // the shown main menu has its window
  auto altPress = [](int key) {
    orv::headless::KeyDown(VK_MENU);
    orv::headless::PressKey(key);
    orv::headless::KeyUp(VK_MENU);
    Run();
  };
  altPress('F');
  ASSERT_EQ(pressed.size(), 1u);
  EXPECT_EQ(pressed[0].first, MainMenu->GetLinks()->GetItem(0));
  EXPECT_FALSE(pressed[0].second);  // "Fin&d && &Fix" shares the F
  EXPECT_EQ(MainMenu->GetLinks()->FindAcceleratorLink('F', pressed[0].first), findLink);
  altPress('E');
  ASSERT_EQ(pressed.size(), 2u);
  EXPECT_EQ(pressed[1].first, editLink);
  EXPECT_TRUE(pressed[1].second);
  EXPECT_EQ(gNavigationStarts, 0);  // the letter ended the Alt-alone state
  edit->SetEnabled(false);
  altPress('E');
  EXPECT_EQ(pressed.size(), 2u);
  altPress('Q');
  EXPECT_EQ(pressed.size(), 2u);
}

// The key-up of a consumed shortcut is consumed too; the hook answers the direct call.
TEST_F(BarManagerTest, KeyUpOfAConsumedKeyIsSwallowed) {
  ShowAndFocus();
  orv::headless::KeyDown(VK_CONTROL);
  Run();
  SetKeyboardHookDirectCall(true);
  const LPARAM downData = 0x002E0001;
  EXPECT_EQ(KeyboardHookProc(HC_ACTION, 'C', downData), 1);
  EXPECT_EQ(Counter.Clicks, 1);
  EXPECT_EQ(KeyboardHookProc(HC_ACTION, 'C', LPARAM(DWORD(downData) | 0xC0000000u)), 1);
  // Another key-up passes.
  EXPECT_EQ(KeyboardHookProc(HC_ACTION, 'V', LPARAM(0xC02F0001u)), 0);
  SetKeyboardHookDirectCall(false);
  orv::headless::KeyUp(VK_CONTROL);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
}

// ---- The bar windows' side of the hooks

struct TFakeBarWindows {
  static inline bool Active = false;
  static inline int Closes = 0;
  static inline std::vector<std::pair<UINT, WPARAM>> Keys;
  static TCustomdxBarControl* GetActive() {
    return Active ? reinterpret_cast<TCustomdxBarControl*>(&Active) : nullptr;
  }
  static Boolean TakesKeys() { return Active; }
  static Boolean SendKey(UINT message, WPARAM key, LPARAM) {
    Keys.push_back({message, key});
    if (key == VK_ESCAPE) Active = false;
    return Active;
  }
  static void Close() {
    ++Closes;
    Active = false;
  }
  static void Install() {
    Active = false;
    Closes = 0;
    Keys.clear();
    BarHookServices().GetActiveBarControl = GetActive;
    BarHookServices().ActiveBarControlTakesKeys = TakesKeys;
    BarHookServices().SendKeyToActiveBarControl = SendKey;
    BarHookServices().CloseActiveBarControls = Close;
  }
};

TEST_F(BarManagerTest, AnActiveBarWindowTakesTheKeysAndOutsideClicksCloseIt) {
  TFakeBarWindows::Install();
  ShowAndFocus();
  TFakeBarWindows::Active = true;
  orv::headless::PressKey(VK_DOWN);
  orv::headless::PressKey('C', false, true);  // no shortcut while a menu has the keys
  Run();
  EXPECT_EQ(Counter.Clicks, 0);
  EXPECT_EQ(Edit->GetText(), "");
  ASSERT_GE(TFakeBarWindows::Keys.size(), 2u);
  EXPECT_EQ(TFakeBarWindows::Keys[0], std::make_pair(UINT(WM_KEYDOWN), WPARAM(VK_DOWN)));
  // The key-up of a key the menu took is swallowed with it.
  EXPECT_EQ(TFakeBarWindows::Keys[1], std::make_pair(UINT(WM_KEYDOWN), WPARAM(VK_CONTROL)));

  // Esc closes the menu on its key-down; its key-up still goes nowhere else.
  TFakeBarWindows::Keys.clear();
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_FALSE(TFakeBarWindows::Active);
  EXPECT_EQ(TFakeBarWindows::Keys.size(), 1u);

  // A click outside an open menu closes it.
  TFakeBarWindows::Active = true;
  const TRect r = Edit->GetClientRect();
  TPoint p = Edit->ClientToScreen(TPoint{r.Left + 2, r.Top + 2});
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_EQ(TFakeBarWindows::Closes, 1);
  EXPECT_FALSE(TFakeBarWindows::Active);

  // With the menu closed the shortcut works again.
  orv::headless::PressKey('C', false, true);
  Run();
  EXPECT_EQ(Counter.Clicks, 1);
}

TEST_F(BarManagerTest, AFailingHandlerIsShownAndTheKeyIsHandledOnce) {
  struct TThrowing : TObject {
    int Calls = 0;
    void Click(TObject*) {
      ++Calls;
      throw Exception("broken handler");
    }
  } throwing;
  Button->SetOnClick(TNotifyEvent(&throwing, &TThrowing::Click));
  int boxes = 0;
  orv::SetMessageBoxHandler([&](HWND, const AnsiString& text, const AnsiString&, UINT) {
    ++boxes;
    EXPECT_EQ(text.substr(0, 14), "broken handler");
    return IDOK;
  });
  ShowAndFocus();
  orv::headless::PressKey('C', false, true);
  Run();
  orv::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(throwing.Calls, 1);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(Edit->GetText(), "");
}

// ---- Hints

struct TFakeHintWindow {
  static inline bool Visible = false;
  static inline std::vector<std::string> Shown;
  static Boolean Show(TdxBarManager*, const AnsiString& text, const AnsiString& shortCut) {
    Visible = true;
    Shown.push_back(text + (shortCut.empty() ? "" : "|" + shortCut));
    return true;
  }
  static void Hide() { Visible = false; }
  static Boolean IsVisible() { return Visible; }
  static void Install() {
    Visible = false;
    Shown.clear();
    BarHintServices() = TdxBarHintServices{Show, Hide, IsVisible, nullptr, nullptr};
  }
};

class THintObject : public TObject, public IdxBarHintSource {
  ORV_CLASS(THintObject, TObject)
 public:
  THintObject(AnsiString hint, Boolean enabled) : FHint(std::move(hint)), FEnabled(enabled) {}
  void GetHintInfo(AnsiString& hint, AnsiString& shortCut, Boolean& enabled) override {
    hint = FHint;
    shortCut = "Ctrl+C";
    enabled = FEnabled;
  }

 private:
  AnsiString FHint;
  Boolean FEnabled;
};

TEST_F(BarManagerTest, HintsShowAfterTheDelayAndAtOnceWithinTheQuickReshowPeriod) {
  TFakeHintWindow::Install();
  THintObject copy("Copy", true), paste("Paste", true), disabled("Cut", false);
  Manager->ActivateHint(true, AnsiString(), &copy);
  orv::headless::AdvanceTime(999);
  EXPECT_TRUE(TFakeHintWindow::Shown.empty());
  orv::headless::AdvanceTime(1);
  ASSERT_EQ(TFakeHintWindow::Shown.size(), 1u);
  EXPECT_EQ(TFakeHintWindow::Shown[0], "Copy");  // no shortcut unless asked

  // Moving onto an empty part of the bar hides it; the next item within 400 ms shows at once.
  Manager->StoreSelectedItem(reinterpret_cast<TdxBarItemControl*>(&copy));
  Manager->ActivateHint(true, AnsiString(), nullptr);
  Manager->StoreSelectedItem(nullptr);
  EXPECT_FALSE(TFakeHintWindow::Visible);
  orv::headless::AdvanceTime(300);
  Manager->SetShowShortCutInHint(true);
  Manager->ActivateHint(true, AnsiString(), &paste);
  ASSERT_EQ(TFakeHintWindow::Shown.size(), 2u);
  EXPECT_EQ(TFakeHintWindow::Shown[1], "Paste|Ctrl+C");

  // The hide delay takes it down.
  orv::headless::AdvanceTime(10000);
  EXPECT_FALSE(TFakeHintWindow::Visible);

  // Disabled objects show a hint only when asked to; ShowHint False shows nothing.
  Manager->SetShowHintForDisabledItems(false);
  Manager->ActivateHint(true, AnsiString(), &disabled);
  orv::headless::AdvanceTime(1000);
  EXPECT_EQ(TFakeHintWindow::Shown.size(), 2u);
  Manager->SetShowHint(false);
  Manager->ActivateHint(true, "Text", nullptr);
  orv::headless::AdvanceTime(1000);
  EXPECT_EQ(TFakeHintWindow::Shown.size(), 2u);
  BarHintServices() = TdxBarHintServices();
}

TEST_F(BarManagerTest, AManagerThatGoesTakesItsPendingHint) {
  TFakeHintWindow::Install();
  Manager->ActivateHint(true, "Pending", nullptr);
  Form.reset();
  orv::headless::AdvanceTime(2000);
  EXPECT_TRUE(TFakeHintWindow::Shown.empty());
  BarHintServices() = TdxBarHintServices();
}

// ---- Owner window

TEST_F(BarManagerTest, TheSystemMenuFontFollowsSettingChanges) {
  ShowAndFocus();
  orv::SystemSettings().NonClient.lfMenuFont.lfHeight = -21;
  orv::SendSettingChange(SPI_SETNONCLIENTMETRICS);
  Run();
  EXPECT_EQ(Manager->GetFont()->GetHeight(), -21);
  // Setting the font by hand leaves the system font.
  Manager->GetFont()->SetName("Arial");
  EXPECT_FALSE(Manager->GetUseSystemFont());
  orv::SystemSettings().NonClient.lfMenuFont.lfHeight = -15;
  Manager->SetScaled(false);
  orv::SendSettingChange(SPI_SETNONCLIENTMETRICS);
  Run();
  EXPECT_EQ(Manager->GetFont()->GetHeight(), -21);
  Manager->SetUseSystemFont(true);
  EXPECT_EQ(Manager->GetFont()->GetHeight(), -15);
}

TEST_F(BarManagerTest, OwnerActivationFollowsTheForm) {
  ShowAndFocus();
  EXPECT_TRUE(Manager->IsOwnerFormActive());
  Second.reset(new TForm(nullptr));
  Second->SetBounds(500, 100, 200, 150);
  Second->AfterConstruction();
  Second->Show();
  Run();
  EXPECT_FALSE(Manager->IsOwnerFormActive());
  Second.reset();
  Run();
  Form->SetFocus();
  Run();
  EXPECT_TRUE(Manager->IsOwnerFormActive());
}

TEST_F(BarManagerTest, FloatingBarsStayInTheWorkArea) {
  // The form sits at (100, 100): a new toolbar floats 50 pixels to its left, at its top.
  TdxBar* floating = Manager->AddToolbar(false);
  floating->SetVisible(false);  // the model keeps the place of a bar without window
  EXPECT_EQ(floating->GetFloatLeft(), 50);
  EXPECT_EQ(floating->GetFloatTop(), 100);
  floating->SetDockingStyle(dsNone);
  floating->SetFloatClientWidth(200);
  floating->SetFloatClientHeight(40);
  floating->SetFloatLeft(900);
  floating->SetFloatTop(-30);
  Manager->KeepFloatingBarsInWorkArea();
  EXPECT_EQ(floating->GetFloatLeft(), 1024 - 200);
  EXPECT_EQ(floating->GetFloatTop(), 0);
  // A bar larger than the area keeps its top-left corner inside.
  floating->SetFloatClientWidth(2000);
  floating->SetFloatClientHeight(1000);
  Manager->KeepFloatingBarsInWorkArea();
  EXPECT_EQ(floating->GetFloatLeft(), 0);
  EXPECT_EQ(floating->GetFloatTop(), 0);
  // Docked bars keep theirs.
  MainMenu->SetFloatLeft(5000);
  Manager->KeepFloatingBarsInWorkArea();
  EXPECT_EQ(MainMenu->GetFloatLeft(), 5000);
  // The form near the left edge: the toolbar floats to its right instead.
  Form->SetBounds(20, 100, 400, 300);
  EXPECT_EQ(Manager->AddToolbar(false)->GetFloatLeft(), 20 + 400 + 10);
}

// ---- Form descriptions

class TBarForm : public TForm {
  ORV_CLASS(TBarForm, TForm)
 public:
  explicit TBarForm(TComponent* owner) : TForm(owner) {}
  void ButtonClick(TObject* sender) { ++Clicks; }
  int Clicks = 0;
};

}  // namespace

ORV_PUBLISH(TBarForm) { p.Method("ButtonClick", &TBarForm::ButtonClick); }

namespace {

TEST_F(BarManagerTest, FormDescriptionRoundTrip) {
  const char* text =
      "object BarForm: TBarForm\n"
      "  Left = 10\n"
      "  Top = 10\n"
      "  Width = 300\n"
      "  Height = 200\n"
      "  object dxBarManager1: TdxBarManager\n"
      "    Categories.Strings = (\n"
      "      'Default'\n"
      "      'Tools')\n"
      "    Categories.ItemsVisibles = (\n"
      "      2\n"
      "      0)\n"
      "    Categories.Visibles = (\n"
      "      True\n"
      "      False)\n"
      "    MenuAnimations = maFade\n"
      "    Style = bmsOffice11\n"
      "    UseF10ForMenu = False\n"
      "    UseSystemFont = True\n"
      "    DockControlHeights = (\n"
      "      0\n"
      "      0\n"
      "      23\n"
      "      0)\n"
      "    object dxBarManager1Bar1: TdxBar\n"
      "      Caption = 'Main'\n"
      "      IsMainMenu = True\n"
      "      ItemLinks = <\n"
      "        item\n"
      "          ItemName = 'btnFind'\n"
      "        end\n"
      "        item\n"
      "          ItemName = 'btnTool'\n"
      "        end>\n"
      "      Visible = True\n"
      "    end\n"
      "    object btnFind: TdxBarButton\n"
      "      Caption = 'Find'\n"
      "      Category = 0\n"
      "      ShortCut = 113\n"
      "      OnClick = ButtonClick\n"
      "    end\n"
      "    object btnTool: TdxBarButton\n"
      "      Caption = 'Tool'\n"
      "      Category = 1\n"
      "    end\n"
      "    object grpAll: TdxBarGroup\n"
      "      Items = (\n"
      "        'btnFind'\n"
      "        'nothing'\n"
      "        'btnTool')\n"
      "    end\n"
      "  end\n"
      "end\n";
  Form.reset();
  Owned<TBarForm> form(new TBarForm(nullptr));
  orv::ReadComponentFromText(form.get(), text);
  TdxBarManager* manager = GetBarManagerOwnedBy(form.get());
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->GetStyle(), bmsOffice11);
  EXPECT_EQ(manager->GetMenuAnimations(), maFade);
  EXPECT_FALSE(manager->GetUseF10ForMenu());
  EXPECT_TRUE(manager->IsResetAllowed());
  ASSERT_EQ(manager->GetBarCount(), 1);
  ASSERT_EQ(manager->GetItemCount(), 2);
  ASSERT_EQ(manager->GetGroupCount(), 1);
  EXPECT_EQ(manager->GetGroup(0)->GetCount(), 2);  // the unknown name is skipped
  TdxBar* bar = manager->GetBar(0);
  EXPECT_EQ(manager->GetMainMenuBar(), bar);
  ASSERT_EQ(bar->GetLinks()->GetCount(), 2);
  EXPECT_EQ(bar->GetLinks()->GetItem(0)->GetItem(), manager->GetItem(0));
  EXPECT_EQ(bar->GetLinks()->GetItem(1)->GetItem(), manager->GetItem(1));
  EXPECT_EQ(manager->GetCategoryItemsVisible(1), ivNever);
  EXPECT_EQ(manager->GetItem(1)->GetVisible(), ivNever);
  EXPECT_FALSE(manager->GetCategoryVisible(1));

  const AnsiString written = orv::WriteComponentToText(form.get());
  for (const char* part : {"object dxBarManager1: TdxBarManager", "Style = bmsOffice11", "ItemName = 'btnFind'",
                           "ShortCut = 113", "OnClick = ButtonClick", "object grpAll: TdxBarGroup",
                           "IsMainMenu = True", "DockControlHeights = (", "Categories.ItemsVisibles"})
    EXPECT_NE(written.find(part), AnsiString::npos) << part << "\n" << written;
  EXPECT_EQ(written.find("Bars ="), AnsiString::npos);

  // The streamed shortcut reaches the streamed handler.
  form->Show();
  Run();
  orv::headless::PressKey(VK_F2);
  Run();
  EXPECT_EQ(form->Clicks, 1);

  // And the written text reads back into a fresh form the same way.
  Owned<TBarForm> copy(new TBarForm(nullptr));
  form.reset();
  orv::ReadComponentFromText(copy.get(), written);
  TdxBarManager* copyManager = GetBarManagerOwnedBy(copy.get());
  ASSERT_NE(copyManager, nullptr);
  EXPECT_EQ(copyManager->GetBar(0)->GetLinks()->GetItem(1)->GetItem(), copyManager->GetItem(1));
  EXPECT_EQ(copyManager->GetGroup(0)->GetCount(), 2);
  EXPECT_EQ(copyManager->GetCategories()->GetCount(), 2);
}

TEST_F(BarManagerTest, BrokenLinksAtDesignTimeAreOfferedForDeletion) {
  const char* text =
      "object BrokenForm: TForm\n"
      "  object dxBarManager1: TdxBarManager\n"
      "    Categories.Strings = (\n"
      "      'Default')\n"
      "    object dxBarManager1Bar1: TdxBar\n"
      "      Caption = 'Main'\n"
      "      ItemLinks = <\n"
      "        item\n"
      "          ItemName = 'btnGone'\n"
      "        end\n"
      "        item\n"
      "          ItemName = 'btnFind'\n"
      "        end>\n"
      "    end\n"
      "    object btnFind: TdxBarButton\n"
      "      Caption = 'Find'\n"
      "      Category = 0\n"
      "    end\n"
      "  end\n"
      "end\n";
  Form.reset();
  struct {
    int answer;
    int linksLeft;
    bool aborts;
  } cases[] = {{IDYES, 1, false}, {IDNO, 2, false}, {IDCANCEL, 0, true}};
  for (const auto& c : cases) {
    std::vector<AnsiString> texts;
    orv::SetMessageBoxHandler([&](HWND, const AnsiString& t, const AnsiString&, UINT type) {
      texts.push_back(t);
      EXPECT_EQ(type & MB_TYPEMASK, UINT(MB_YESNOCANCEL));
      return c.answer;
    });
    Owned<TForm> form(new TForm(nullptr));
    IncludeComponentState(form.get(), TComponentState{csDesigning});
    if (c.aborts) {
      EXPECT_THROW(orv::ReadComponentFromText(form.get(), text), EAbort);
    } else {
      orv::ReadComponentFromText(form.get(), text);
      TdxBarManager* manager = GetBarManagerOwnedBy(form.get());
      ASSERT_NE(manager, nullptr);
      ASSERT_EQ(manager->GetBar(0)->GetLinks()->GetCount(), c.linksLeft);
      EXPECT_EQ(manager->GetBar(0)->GetLinks()->GetItem(c.linksLeft - 1)->GetItem(), manager->GetItem(0));
    }
    ASSERT_EQ(texts.size(), 1u) << c.answer;
    EXPECT_EQ(texts[0].find("BrokenForm.dxBarManager1 has broken bar item links."), 0u) << texts[0];
    orv::SetMessageBoxHandler(nullptr);
  }

  // At run time nothing is asked and the empty link stays.
  int asked = 0;
  orv::SetMessageBoxHandler([&](HWND, const AnsiString&, const AnsiString&, UINT) { return ++asked, IDYES; });
  Owned<TForm> form(new TForm(nullptr));
  orv::ReadComponentFromText(form.get(), text);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(GetBarManagerOwnedBy(form.get())->GetBar(0)->GetLinks()->GetCount(), 2);
  orv::SetMessageBoxHandler(nullptr);
}

}  // namespace
