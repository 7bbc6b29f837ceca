// Bar items and their links: the caption and hint rule, categories, visibility and enabled
// rules, the click path with actions, buttons with check and radio-group behaviour, the lists
// of shown links with separators and group starts, recent use, sub items, list and container
// items, the item styles data and the item options.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarStrs.h"
#include "components/foundation/cxControls.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/controls/Graphics.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

class TItemEvents : public TObject {
  ORV_CLASS(TItemEvents, TObject)
 public:
  TItemEvents() = default;
  void Click(TObject* sender) { Log.push_back("click:" + AnsiString(sender ? sender->ClassName() : "nil")); }
  void Execute(TObject* sender) { Log.push_back("execute"); }
  void Throw(TObject* sender) { throw Exception("broken"); }
  void ManagerClick(TdxBarManager* sender, TdxBarItem* item) { Log.push_back("manager"); }
  std::vector<AnsiString> Log;
};

class BarItemTest : public orv::test::HeadlessFormTest {
 protected:
  // A form of no size with border and caption, never shown: the items are only built.
  BarItemTest() : HeadlessFormTest({0, 0, 0, 0}, false) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    BarHookServices() = TdxBarHookServices();
    Manager = new TdxBarManager(Form.get());
    Bar = Manager->AddToolbar(true);
  }
  template <class T = TdxBarButton>
  T* NewItem(const AnsiString& caption = AnsiString()) {
    auto* item = new T(Form.get());
    if (!caption.empty()) item->SetCaption(caption);
    return item;
  }

  TdxBarManager* Manager = nullptr;
  TdxBar* Bar = nullptr;
  TItemEvents Events;
};

// ---- Construction, category and streaming parent

TEST_F(BarItemTest, ANewItemJoinsItsOwnersManagerWithoutCategory) {
  auto* item = new TdxBarItem(Form.get());
  EXPECT_EQ(item->GetBarManager(), Manager);
  EXPECT_EQ(Manager->GetItemList()->IndexOf(item), Manager->GetItemCount() - 1);
  EXPECT_EQ(item->GetCategory(), -1);
  EXPECT_FALSE(item->HasParent());
  EXPECT_EQ(item->GetParentComponent(), nullptr);
  EXPECT_EQ(item->GetCaption(), "");
  EXPECT_EQ(item->GetDefaultCaption(), "New Item");
  EXPECT_EQ(NewItem()->GetDefaultCaption(), "New Button");
  EXPECT_EQ(NewItem<TdxBarSubItem>()->GetDefaultCaption(), "New SubItem");
  EXPECT_EQ(NewItem<TdxBarSeparator>()->GetDefaultCaption(), "New Separator");

  item->SetCategory(0);
  EXPECT_TRUE(item->HasParent());
  EXPECT_EQ(item->GetParentComponent(), Manager);

  // An owner without a manager of its own: the first living manager takes the item.
  Owned<TComponent> plain(new TComponent(nullptr));
  auto* stray = new TdxBarButton(plain.get());
  EXPECT_EQ(stray->GetBarManager(), Manager);
  stray->Free();
}

TEST_F(BarItemTest, SetParentComponentTakesOnlyAManager) {
  // A second manager on another form takes the item from the first; anything else is refused
  // and leaves the item where it was.
  Owned<TForm> other(new TForm(nullptr));
  other->AfterConstruction();
  auto* otherManager = new TdxBarManager(other.get());
  auto* item = NewItem("Move me");
  item->SetParentComponent(otherManager);
  EXPECT_EQ(item->GetBarManager(), otherManager);
  EXPECT_EQ(Manager->GetItemList()->IndexOf(item), -1);
  EXPECT_GE(otherManager->GetItemList()->IndexOf(item), 0);

  EXPECT_THROW(item->SetParentComponent(Form.get()), EConvertError);
  EXPECT_THROW(item->SetParentComponent(nullptr), EConvertError);
  EXPECT_EQ(item->GetBarManager(), otherManager);
  item->Free();
}

TEST_F(BarItemTest, SetCategoryChecksTheIndexAndMovesTheItemBehindItsCategory) {
  Manager->GetCategories()->Add("File");
  TdxBarButton* a = NewItem("a");
  TdxBarButton* b = NewItem("b");
  TdxBarButton* c = NewItem("c");
  a->SetCategory(1);
  b->SetCategory(0);
  EXPECT_EQ(a->GetIndex(), 0);
  c->SetCategory(1);  // behind a, the last item of category 1
  EXPECT_EQ(c->GetIndex(), 1);
  EXPECT_EQ(b->GetIndex(), 2);
  b->SetCategory(1);  // b lies behind c: it goes to c's index + 1
  EXPECT_EQ(b->GetIndex(), 2);
  for (Integer bad : {-1, 2, 99}) {
    b->SetCategory(bad);
    EXPECT_EQ(b->GetCategory(), 1) << bad;
  }
}

// ---- Caption and hint

TEST_F(BarItemTest, TheHintFollowsTheCaptionWhileItCameFromIt) {
  struct {
    const char* hint;
    const char* newCaption;
    const char* expected;
  } cases[] = {
      {"", "&Save...", "Save"},                      // an empty hint takes the stripped caption
      {"Open", "&Close", "Close"},                   // the old caption's text follows
      {"Open|Opens a file", "C&lose", "Close|Opens a file"},  // the long part stays
      {"Something else", "Close", "Something else"},  // a hint of its own stays
  };
  for (auto c : cases) {
    TdxBarButton* item = NewItem("&Open...");
    item->SetHint(c.hint);
    item->SetCaption(c.newCaption);
    EXPECT_EQ(item->GetHint(), c.expected) << c.hint;
  }
  auto* subItem = NewItem<TdxBarSubItem>("File");
  subItem->SetCaption("Files");
  EXPECT_EQ(subItem->GetHint(), "");

  TdxBarButton* item = NewItem("x");
  item->SetMergeOrder(-5);
  EXPECT_EQ(item->GetMergeOrder(), 0);
  item->SetWidth(-3);
  EXPECT_EQ(item->GetWidth(), 0);
}

// ---- Visibility and enabled state

TEST_F(BarItemTest, VisibilityAndEnabledFollowTheCustomizingState) {
  TdxBarButton* always = NewItem("always");
  TdxBarButton* customizing = NewItem("customizing");
  TdxBarButton* never = NewItem("never");
  customizing->SetVisible(ivInCustomizing);
  never->SetVisible(ivNever);
  TdxBarItemLinks* links = Bar->GetLinks();
  for (TdxBarItem* item : {static_cast<TdxBarItem*>(always), static_cast<TdxBarItem*>(customizing),
                           static_cast<TdxBarItem*>(never)})
    links->AddItem(item);
  EXPECT_EQ(links->GetVisibleItemCount(), 1);
  EXPECT_EQ(links->GetVisibleItem(0)->GetItem(), always);

  Manager->SetCustomizingMode(true);
  EXPECT_TRUE(customizing->GetRealVisible());
  EXPECT_FALSE(never->GetRealVisible());
  links->RefreshLists();
  EXPECT_EQ(links->GetVisibleItemCount(), 2);

  // While the user customizes, a disabled item with a category can be dragged.
  always->SetEnabled(false);
  EXPECT_FALSE(always->GetEnabled());
  always->SetCategory(0);
  EXPECT_TRUE(always->GetEnabled());
  Manager->SetCustomizingMode(false);
  EXPECT_FALSE(always->GetEnabled());
  links->RefreshLists();
  EXPECT_EQ(links->GetVisibleItemCount(), 1);

  // In design mode every link shows.
  IncludeComponentState(Manager, TComponentState{csDesigning});
  links->RefreshLists();
  EXPECT_EQ(links->GetVisibleItemCount(), 3);
  ExcludeComponentState(Manager, TComponentState{csDesigning});
}

// ---- Click path and actions

TEST_F(BarItemTest, TheClickRunsTheManagersHandlerThenTheItemsOrItsAction) {
  Manager->SetOnClickItem(TdxBarClickItemEvent(&Events, &TItemEvents::ManagerClick));
  auto* actions = new TActionList(Form.get());
  auto* action = new TAction(Form.get());
  action->SetActionList(actions);
  action->SetOnExecute(TNotifyEvent(&Events, &TItemEvents::Execute));

  TdxBarButton* plain = NewItem("plain");
  plain->SetOnClick(TNotifyEvent(&Events, &TItemEvents::Click));
  plain->DoClick();
  EXPECT_EQ(Events.Log, (std::vector<AnsiString>{"manager", "click:TdxBarButton"}));

  // OnClick taken from the action runs the action once, not the handler directly.
  Events.Log.clear();
  TdxBarButton* bound = NewItem();
  bound->SetAction(action);
  EXPECT_TRUE(bound->GetOnClick() == action->GetOnExecute());
  bound->DoClick();
  EXPECT_EQ(Events.Log, (std::vector<AnsiString>{"manager", "execute"}));

  // A handler of its own wins over the action.
  Events.Log.clear();
  bound->SetOnClick(TNotifyEvent(&Events, &TItemEvents::Click));
  bound->DoClick();
  EXPECT_EQ(Events.Log, (std::vector<AnsiString>{"manager", "click:TdxBarButton"}));

  // Disabled items and sub items do not click.
  Events.Log.clear();
  plain->SetEnabled(false);
  plain->DoClick();
  auto* subItem = NewItem<TdxBarSubItem>("sub");
  subItem->SetOnClick(TNotifyEvent(&Events, &TItemEvents::Click));
  subItem->DoClick();
  EXPECT_TRUE(Events.Log.empty());

  // A failing handler goes to the application's exception handler; the caller goes on.
  int boxes = 0;
  orv::SetMessageBoxHandler([&](HWND, const AnsiString& text, const AnsiString&, UINT) {
    ++boxes;
    return IDOK;
  });
  TdxBarButton* failing = NewItem("failing");
  failing->SetOnClick(TNotifyEvent(&Events, &TItemEvents::Throw));
  EXPECT_NO_THROW(failing->DoClick());
  orv::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(boxes, 1);
}

TEST_F(BarItemTest, TheActionFillsTheItemAndItsLinkedValuesAreNotStored) {
  auto* actions = new TActionList(Form.get());
  auto* action = new TAction(Form.get());
  action->SetActionList(actions);
  action->SetCaption("Копировать в буфер"_a);
  action->SetImageIndex(5);
  action->SetShortCut(ShortCut('C', false, true, false));
  action->SetOnExecute(TNotifyEvent(&Events, &TItemEvents::Execute));

  TdxBarButton* item = NewItem();
  item->SetAction(action);
  EXPECT_EQ(item->GetCaption(), "Копировать в буфер"_a);
  EXPECT_EQ(item->GetImageIndex(), 5);
  EXPECT_EQ(item->GetShortCut(), ShortCut('C', false, true, false));
  EXPECT_TRUE(item->GetActionLink()->IsCaptionLinked());
  EXPECT_FALSE(item->IsCaptionStored());

  // The action's changes reach the item while its values follow the action.
  action->SetEnabled(false);
  EXPECT_FALSE(item->GetEnabled());
  action->SetEnabled(true);
  action->SetCaption("Копировать"_a);
  EXPECT_EQ(item->GetCaption(), "Копировать"_a);

  // A caption set by hand no longer counts as the action's: the link leaves it alone and it
  // is stored.
  item->SetCaption("Своё"_a);
  item->GetActionLink()->SetCaption("Другое"_a);
  EXPECT_EQ(item->GetCaption(), "Своё"_a);
  EXPECT_TRUE(item->IsCaptionStored());

  // With check defaults an item keeps the values it already has.
  TdxBarButton* own = NewItem("Own");
  own->SetShortCut(VK_F2);
  own->SetOnClick(TNotifyEvent(&Events, &TItemEvents::Click));
  own->ActionChange(action, true);
  EXPECT_EQ(own->GetCaption(), "Own");
  EXPECT_EQ(own->GetShortCut(), VK_F2);
  EXPECT_EQ(own->GetImageIndex(), 5);
  EXPECT_TRUE(own->GetOnClick() == TNotifyEvent(&Events, &TItemEvents::Click));

  // The action going away leaves the item its values.
  action->Free();
  EXPECT_EQ(item->GetAction(), nullptr);
  EXPECT_EQ(item->GetCaption(), "Своё"_a);
  EXPECT_EQ(item->GetImageIndex(), 5);
}

// ---- Buttons

TEST_F(BarItemTest, RadioGroupButtonsStayExclusive) {
  TdxBarButton* buttons[3];
  for (auto*& button : buttons) {
    button = NewItem("radio");
    button->SetButtonStyle(bsChecked);
    button->SetGroupIndex(1);
  }
  buttons[0]->DoClick();
  EXPECT_TRUE(buttons[0]->GetDown());
  buttons[1]->DoClick();  // pressing the second releases the first
  EXPECT_FALSE(buttons[0]->GetDown());
  EXPECT_TRUE(buttons[1]->GetDown());
  buttons[1]->DoClick();  // the last down button of a group stays down
  EXPECT_TRUE(buttons[1]->GetDown());
  buttons[2]->SetDown(true);
  EXPECT_EQ(int(buttons[0]->GetDown()) + int(buttons[1]->GetDown()) + int(buttons[2]->GetDown()), 1);

  buttons[0]->SetAllowAllUp(true);  // the group shares the setting
  EXPECT_TRUE(buttons[2]->GetAllowAllUp());
  buttons[2]->DoClick();
  EXPECT_FALSE(buttons[2]->GetDown());

  // Another manager's group of the same index is another group.
  Owned<TForm> other(new TForm(nullptr));
  new TdxBarManager(other.get());
  auto* foreign = new TdxBarButton(other.get());
  foreign->SetButtonStyle(bsChecked);
  foreign->SetGroupIndex(1);
  buttons[0]->SetDown(true);
  foreign->SetDown(true);
  EXPECT_TRUE(buttons[0]->GetDown());

  // Only checkable buttons go down or join groups; a new style releases the button.
  TdxBarButton* plain = NewItem("plain");
  plain->SetDown(true);
  EXPECT_FALSE(plain->GetDown());
  plain->SetGroupIndex(5);
  EXPECT_EQ(plain->GetGroupIndex(), 0);
  buttons[0]->SetButtonStyle(bsDropDown);
  EXPECT_FALSE(buttons[0]->GetDown());
}

// ---- Large buttons

// Whether a line of the text, without its indentation, starts with `start`.
bool HasLineStarting(const AnsiString& text, const char* start) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (line.find_first_not_of(' ') != std::string::npos && line.compare(line.find_first_not_of(' '), std::strlen(start), start) == 0)
      return true;
  return false;
}

// Reads one large button from a description into a fresh form and answers it; the form is kept
// in `form`.
TdxBarLargeButton* ReadLargeButton(Owned<TForm>& form, const char* values) {
  const AnsiString text = AnsiString("object LargeForm: TForm\n"
                                     "  object dxBarManager1: TdxBarManager\n"
                                     "    Categories.Strings = (\n"
                                     "      'Default')\n"
                                     "    object Large: TdxBarLargeButton\n"
                                     "      Category = 0\n") +
                          values +
                          "    end\n"
                          "  end\n"
                          "end\n";
  form.reset(new TForm(nullptr));
  orv::ReadComponentFromText(form.get(), text);
  return dynamic_cast<TdxBarLargeButton*>(form->FindComponent("Large"));
}

TEST_F(BarItemTest, ALargeButtonsSmallIndexMirrorsTheLargeOneUntilSetByHand) {
  auto* large = NewItem<TdxBarLargeButton>("Big");
  EXPECT_TRUE(large->GetShowCaption());
  EXPECT_TRUE(large->GetSyncImageIndex());
  large->SetLargeImageIndex(3);
  EXPECT_EQ(large->GetImageIndex(), 3);
  EXPECT_TRUE(large->HasImage());
  large->SetImageIndex(1);  // by hand: the mirror breaks
  EXPECT_FALSE(large->GetSyncImageIndex());
  large->SetLargeImageIndex(4);
  EXPECT_EQ(large->GetImageIndex(), 1);
  large->SetSyncImageIndex(true);  // restored: the small index follows again at once
  EXPECT_EQ(large->GetImageIndex(), 4);
  EXPECT_FALSE(large->HasHotImage());
  large->SetHotImageIndex(0);
  EXPECT_TRUE(large->HasHotImage());
  large->SetHeight(-1);
  EXPECT_EQ(large->GetHeight(), 0);
}

TEST_F(BarItemTest, ALargeButtonReadFromADescriptionKeepsItsIndexesAndIsWrittenBackSo) {
  struct {
    const char* values;
    int image, large;
    bool sync;
    bool writesImageIndex;
  } cases[] = {
      // Only the large index: the small one follows it.
      {"      LargeImageIndex = 3\n", 3, 3, true, false},
      // Both, differing by choice: both are kept and the mirror is off.
      {"      LargeImageIndex = 3\n      SyncImageIndex = False\n      ImageIndex = 2\n", 2, 3, false, true},
      // An older description without SyncImageIndex: differing indexes still turn it off.
      {"      LargeImageIndex = 3\n      ImageIndex = 2\n", 2, 3, false, true},
      // The small index before the large one.
      {"      ImageIndex = 2\n      LargeImageIndex = 3\n", 2, 3, false, true},
      // Equal indexes mirror.
      {"      ImageIndex = 5\n      LargeImageIndex = 5\n", 5, 5, true, false},
  };
  Form.reset();
  for (const auto& c : cases) {
    Owned<TForm> form;
    TdxBarLargeButton* large = ReadLargeButton(form, c.values);
    ASSERT_NE(large, nullptr) << c.values;
    EXPECT_EQ(large->GetImageIndex(), c.image) << c.values;
    EXPECT_EQ(large->GetLargeImageIndex(), c.large) << c.values;
    EXPECT_EQ(large->GetSyncImageIndex(), c.sync) << c.values;
    const AnsiString written = orv::WriteComponentToText(form.get());
    EXPECT_EQ(HasLineStarting(written, "ImageIndex = "), c.writesImageIndex) << written;
    // Read back, the button is the same.
    Owned<TForm> again(new TForm(nullptr));
    orv::ReadComponentFromText(again.get(), written);
    auto* copy = dynamic_cast<TdxBarLargeButton*>(again->FindComponent("Large"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetImageIndex(), c.image) << written;
    EXPECT_EQ(copy->GetLargeImageIndex(), c.large) << written;
    EXPECT_EQ(copy->GetSyncImageIndex(), c.sync) << written;
  }
}

TEST_F(BarItemTest, ALargeButtonsAcceleratorOnAToolbarNeedsItsCaptionShown) {
  auto* large = NewItem<TdxBarLargeButton>("&Open");
  large->SetPaintStyle(psCaptionGlyph);
  TdxBarItemLink* onBar = Bar->GetLinks()->AddItem(large);
  auto* sub = NewItem<TdxBarSubItem>("Menu");
  TdxBarItemLink* inMenu = sub->GetLinks()->AddItem(large);
  EXPECT_TRUE(large->CanUseAccelerator(onBar));
  large->SetShowCaption(false);
  EXPECT_FALSE(large->CanUseAccelerator(onBar));
  EXPECT_TRUE(large->CanUseAccelerator(inMenu));
}

// ---- Designer and customizing selection

struct TRefusingDesigner : IdxBarDesigner {
  bool Allow = false;
  Boolean AllowsDeletion() override { return Allow; }
  void FillSelection(TList*) override {}
  Integer GetSelectionState(TPersistent*) override { return 0; }
  Boolean IsSelectedObject(TPersistent*) override { return false; }
  void ChangeSelection(TPersistent*, Integer) override {}
  void ReplaceSelection(TList*) override {}
  void EditItem(TdxBarItem* item) override { Edited = item; }
  Boolean MakeUniqueName(const AnsiString&, AnsiString&) override { return false; }
  TdxBarItem* Edited = nullptr;
};

TEST_F(BarItemTest, DeletingASelectedItemTakesItsLinksFirstAndTheItemOnlyWhenForcedOrBare) {
  TdxBarButton* button = NewItem("Copy");
  Bar->GetLinks()->AddItem(button);
  auto* sub = NewItem<TdxBarSubItem>("Menu");
  sub->GetLinks()->AddItem(button);
  TObject* selection = button;
  EXPECT_TRUE(button->HasSeveralLinks());
  button->DeleteSelectable(selection, false);
  EXPECT_EQ(button->GetLinkCount(), 0);  // the links went, the item stays selected
  EXPECT_EQ(Bar->GetLinks()->GetCount(), 0);
  EXPECT_EQ(selection, button);
  EXPECT_GE(Manager->GetItemList()->IndexOf(button), 0);

  // A designer that refuses deletion keeps the bare item.
  TRefusingDesigner designer;
  Manager->SetDesigner(&designer);
  EXPECT_FALSE(button->IsDeletable(false));
  button->DeleteSelectable(selection, false);
  EXPECT_EQ(selection, button);
  ASSERT_GE(Manager->GetItemList()->IndexOf(button), 0);
  button->ActivateInDesigner();
  EXPECT_EQ(designer.Edited, button);
  designer.Allow = true;
  Bar->GetLinks()->AddItem(button);
  button->DeleteSelectable(selection, true);  // forced: the item itself goes
  EXPECT_EQ(selection, nullptr);
  EXPECT_EQ(Manager->GetItemList()->IndexOf(button), -1);
  EXPECT_EQ(Bar->GetLinks()->GetCount(), 0);
  Manager->SetDesigner(nullptr);
}

TEST_F(BarItemTest, CustomizationCommandSetsPerKindAtRunTimeAndInDesignMode) {
  struct {
    TdxBarItem* item;
    int runTime, design;
  } cases[] = {
      {NewItem<TdxBarItem>(), 1049, 2},
      {NewItem<TdxBarButton>(), 1049 | 0x20, 2 | 0x120},
      {NewItem<TdxBarLargeButton>(), 1049, 2 | 0x100},
      {NewItem<TdxBarSubItem>(), 1049, 2 | 0x100},
      {NewItem<TdxBarSeparator>(), 1049 & ~0x1000, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.item->GetCustomizationCommands(), c.runTime) << c.item->ClassName();
    IncludeComponentState(c.item, TComponentState{csDesigning});
    EXPECT_EQ(c.item->GetCustomizationCommands(), c.design) << c.item->ClassName();
    ExcludeComponentState(c.item, TComponentState{csDesigning});
  }
}

// ---- Links

TEST_F(BarItemTest, LinksRefuseSeparatorsOnToolbarsAndRecursiveMenus) {
  auto* separator = NewItem<TdxBarSeparator>("-");
  try {
    Bar->GetLinks()->AddItem(separator);
    FAIL() << "a separator on a toolbar";
  } catch (EdxException& e) {
    EXPECT_EQ(e.GetMessage(), "A separator item cannot be placed on the specified toolbar");
  }
  EXPECT_EQ(Bar->GetLinks()->GetCount(), 0);

  auto* outer = NewItem<TdxBarSubItem>("outer");
  auto* inner = NewItem<TdxBarSubItem>("inner");
  EXPECT_NO_THROW(outer->GetLinks()->AddItem(separator));
  outer->GetLinks()->AddItem(inner);
  EXPECT_THROW(inner->GetLinks()->AddItem(outer), EdxException);
  EXPECT_THROW(outer->GetLinks()->AddItem(outer), EdxException);
  EXPECT_EQ(inner->GetLinks()->GetCount(), 0);
  EXPECT_EQ(outer->GetLinks()->GetCount(), 2);

  // Setting a link's item to nil frees the link; freeing the item frees its links.
  outer->GetLinks()->GetItem(0)->SetItem(nullptr);
  EXPECT_EQ(outer->GetLinks()->GetCount(), 1);
  inner->Free();
  EXPECT_EQ(outer->GetLinks()->GetCount(), 0);
}

TEST_F(BarItemTest, MenusHideLoneSeparatorsAndPassGroupStartsOfHiddenLinks) {
  auto* menu = NewItem<TdxBarSubItem>("menu");
  TdxBarItemLinks* links = menu->GetLinks();
  auto add = [&](TdxBarItem* item) { return links->AddItem(item); };
  TdxBarItemLink* first = add(NewItem<TdxBarSeparator>("s0"));
  TdxBarItemLink* a = add(NewItem("a"));
  TdxBarItemLink* s1 = add(NewItem<TdxBarSeparator>("s1"));
  TdxBarItemLink* s2 = add(NewItem<TdxBarSeparator>("s2"));
  TdxBarItemLink* b = add(NewItem("b"));
  TdxBarItemLink* hidden = add(NewItem("hidden"));
  TdxBarItemLink* c = add(NewItem("c"));
  TdxBarItemLink* last = add(NewItem<TdxBarSeparator>("s3"));
  hidden->SetBeginGroup(true);
  hidden->SetVisible(false);
  b->SetBeginGroup(true);
  links->RefreshLists();
  // A separator at the start shows; of two in a row only the second; one at the end none.
  std::vector<TdxBarItemLink*> shown;
  for (Integer i = 0; i < links->GetVisibleItemCount(); ++i) shown.push_back(links->GetVisibleItem(i));
  EXPECT_EQ(shown, (std::vector<TdxBarItemLink*>{first, a, s2, b, c}));
  EXPECT_EQ(s1->GetVisibleIndex(), -1);
  EXPECT_EQ(last->GetVisibleIndex(), -1);
  EXPECT_FALSE(b->GetBeginGroup());       // right after a shown separator
  EXPECT_TRUE(c->GetBeginGroup());        // the hidden link's group start moves on
  EXPECT_FALSE(first->GetBeginGroup());  // the first shown link never begins a group
  EXPECT_TRUE(hidden->GetBeginGroup());  // a hidden link reports its own flag
}

TEST_F(BarItemTest, UserOverridesAndTheirFlags) {
  TdxBarButton* item = NewItem("Item");
  TdxBarItemLink* link = Bar->GetLinks()->AddItem(item);
  link->SetUserCaption("Mine");
  EXPECT_TRUE(link->GetUserDefine().Contains(udCaption));
  EXPECT_EQ(link->GetCaption(), "Mine");
  link->SetUserDefine(TdxBarUserDefines{});
  EXPECT_EQ(link->GetUserCaption(), "");
  EXPECT_EQ(link->GetCaption(), "Item");
  link->SetUserWidth(0);  // the width it shows already: no override
  EXPECT_FALSE(link->GetUserDefine().Contains(udWidth));
  link->SetUserPaintStyle(psCaptionGlyph);
  EXPECT_EQ(link->GetPaintStyle(), psCaptionGlyph);
  EXPECT_TRUE(link->GetUserDefine().Contains(udPaintStyle));
}

TEST_F(BarItemTest, TheRecentCountCoversTheLinksUsedOftenEnough) {
  Manager->SetStyle(bmsOffice11);
  auto* menu = NewItem<TdxBarSubItem>("menu");
  TdxBarItemLinks* links = menu->GetLinks();
  TdxBarItemLink* l[4];
  const Integer counts[4] = {20, 20, 3, 0};
  for (int i = 0; i < 4; ++i) l[i] = links->AddItem(NewItem("x"));
  for (int i = 0; i < 4; ++i) l[i]->SetUseCount(counts[i]);
  for (int i = 3; i >= 0; --i) l[i]->SetRecentIndex(0);  // recent order: l0, l1, l2, l3
  // Threshold 0 + MulDiv(20, 5, 100) = 1: the first three recent links qualify.
  EXPECT_EQ(links->CalcRecentItemCount(), 3);
  links->SetRecentItemCount(3);
  EXPECT_EQ(links->GetVisibleItemCount(), 3);
  EXPECT_EQ(l[3]->GetVisibleIndex(), -1);
  l[3]->MarkUsed();  // used now: first in the recent list
  EXPECT_EQ(l[3]->GetRecentIndex(), 0);
  EXPECT_EQ(l[3]->GetUseCount(), 1);
  EXPECT_EQ(l[2]->GetVisibleIndex(), -1);
  links->SetRecentItemCount(-1);
  EXPECT_EQ(links->GetVisibleItemCount(), 4);

  Manager->SetStyle(bmsStandard);  // no recent items in the standard style
  EXPECT_EQ(links->CalcRecentItemCount(), -1);
}

TEST_F(BarItemTest, ShortcutsReachItemsInsideSubItemsButNotDisabledOnes) {
  auto* menu = NewItem<TdxBarSubItem>("menu");
  auto* inner = NewItem<TdxBarSubItem>("inner");
  TdxBarButton* deep = NewItem("deep");
  deep->SetShortCut(VK_F2);
  deep->SetOnClick(TNotifyEvent(&Events, &TItemEvents::Click));
  inner->GetLinks()->AddItem(deep);
  menu->GetLinks()->AddItem(inner);
  Bar->GetLinks()->AddItem(menu);
  Form->Show();  // the main menu takes shortcuts while its window is shown
  EXPECT_TRUE(Manager->ManagerExecuteShortCut(VK_F2));
  EXPECT_EQ(Events.Log.size(), 1u);
  deep->SetEnabled(false);
  EXPECT_FALSE(Manager->ManagerExecuteShortCut(VK_F2));
  deep->SetEnabled(true);
  deep->SetVisible(ivNever);  // hidden items are not searched
  EXPECT_FALSE(Manager->ManagerExecuteShortCut(VK_F2));
  EXPECT_EQ(Events.Log.size(), 1u);
}

TEST(BarViewLevels, TheMostCompactLevelOfASet) {
  const struct {
    TdxBarItemViewLevels Levels;
    Integer Level;
  } cases[] = {
      {{}, 255},
      {{ivlLargeIconWithText}, ivlLargeIconWithText},
      {{ivlLargeIconWithText, ivlSmallIcon}, ivlSmallIcon},
      {{ivlSmallIconWithText, ivlControlOnly, ivlLargeIconWithText}, ivlControlOnly},
  };
  for (const auto& c : cases) EXPECT_EQ(GetMostCompactViewLevel(c.Levels), c.Level);
}

TEST_F(BarItemTest, AcceleratorsOfLinks) {
  TdxBarItemLink* digit = Bar->GetLinks()->AddItem(NewItem("Item &1"));
  TdxBarItemLink* letter = Bar->GetLinks()->AddItem(NewItem("&Edit"));
  EXPECT_TRUE(digit->IsAccelerator('1', TShiftState{}));
  EXPECT_FALSE(digit->IsAccelerator('1', TShiftState{ssShift}));
  EXPECT_TRUE(letter->IsAccelerator('E', TShiftState{ssAlt}));
  EXPECT_FALSE(letter->IsAccelerator('E', TShiftState{ssCtrl}));
  EXPECT_FALSE(letter->IsAccelerator('X', TShiftState{}));
}

TEST_F(BarItemTest, MergingJoinsSubItemsOfOneCaptionAndUnmergingTakesOnlyThatBarsLinks) {
  auto* file = NewItem<TdxBarSubItem>("File");
  file->SetMergeKind(mkMergeByCaption);
  file->GetLinks()->AddItem(NewItem("Open"));
  TdxBarButton* help = NewItem("Help");
  help->SetMergeOrder(5);
  Bar->GetLinks()->AddItem(file);
  Bar->GetLinks()->AddItem(help);

  TdxBar* child = Manager->AddToolbar();
  auto* childFile = NewItem<TdxBarSubItem>("File");
  childFile->SetMergeKind(mkMergeByCaption);
  childFile->GetLinks()->AddItem(NewItem("Save"));
  TdxBarButton* tools = NewItem("Tools");
  tools->SetMergeOrder(1);  // before Help, whose order is greater
  TdxBarButton* none = NewItem("Private");
  none->SetMergeKind(mkNone);
  child->GetLinks()->AddItem(childFile);
  child->GetLinks()->AddItem(tools);
  child->GetLinks()->AddItem(none);
  TdxBar* other = Manager->AddToolbar();
  other->GetLinks()->AddItem(NewItem("Other"));

  Bar->GetLinks()->Merge(child->GetLinks());
  Bar->GetLinks()->Merge(other->GetLinks());
  // File, Other (order 0, behind File), Tools (order 1), Help (order 5).
  ASSERT_EQ(Bar->GetLinks()->GetCount(), 4);
  EXPECT_EQ(Bar->GetLinks()->GetItem(0)->GetItem(), file);  // no second "File"
  EXPECT_EQ(Bar->GetLinks()->GetItem(1)->GetCaption(), "Other");
  EXPECT_EQ(Bar->GetLinks()->GetItem(1)->GetMergeSourceBar(), other);
  EXPECT_EQ(Bar->GetLinks()->GetItem(2)->GetItem(), tools);
  EXPECT_EQ(Bar->GetLinks()->GetItem(2)->GetMergeSourceBar(), child);
  EXPECT_EQ(Bar->GetLinks()->GetItem(3)->GetItem(), help);
  EXPECT_EQ(Bar->GetLinks()->GetItem(3)->GetMergeSourceBar(), nullptr);
  ASSERT_EQ(file->GetLinks()->GetCount(), 2);
  EXPECT_EQ(file->GetLinks()->GetItem(1)->GetCaption(), "Save");

  Bar->GetLinks()->Unmerge(child);
  ASSERT_EQ(Bar->GetLinks()->GetCount(), 3);
  EXPECT_EQ(Bar->GetLinks()->GetItem(1)->GetCaption(), "Other");
  EXPECT_EQ(file->GetLinks()->GetCount(), 1);
  Bar->GetLinks()->Unmerge(nullptr);
  EXPECT_EQ(Bar->GetLinks()->GetCount(), 2);
}

TEST_F(BarItemTest, TheDetachingBarIsAValidBarIndexAndIsForgottenWithItsBar) {
  TdxBar* second = Manager->AddToolbar();
  TdxBar* third = Manager->AddToolbar();
  auto* sub = NewItem<TdxBarSubItem>("Menu");
  EXPECT_EQ(sub->GetDetachingBar(), -1);
  for (Integer bad : {-2, 3, 99}) {
    sub->SetDetachingBar(bad);
    EXPECT_EQ(sub->GetDetachingBar(), -1) << bad;
  }
  sub->SetDetachingBar(2);
  EXPECT_EQ(sub->GetDetachingBarObject(), third);
  second->Free();  // the index follows the bar
  EXPECT_EQ(sub->GetDetachingBar(), 1);
  third->Free();
  EXPECT_EQ(sub->GetDetachingBar(), -1);
  EXPECT_EQ(sub->GetDetachingBarObject(), nullptr);

  // Written and read back with the description.
  TdxBar* tools = Manager->AddToolbar();
  Manager->GetCategories()->Add("Default");
  sub->SetCategory(0);
  sub->SetName("subMenu");
  sub->SetDetachingBar(1);
  ASSERT_EQ(sub->GetDetachingBarObject(), tools);
  const AnsiString written = orv::WriteComponentToText(Form.get());
  EXPECT_NE(written.find("DetachingBar = 1"), AnsiString::npos) << written;
  Owned<TForm> copy(new TForm(nullptr));
  Form.reset();
  orv::ReadComponentFromText(copy.get(), written);
  auto* copied = dynamic_cast<TdxBarSubItem*>(copy->FindComponent("subMenu"));
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->GetDetachingBar(), 1);
}

// ---- Container items

TEST_F(BarItemTest, AListItemGeneratesNumberedButtons) {
  auto* list = NewItem<TdxBarListItem>("list");
  for (int i = 0; i < 11; ++i) list->GetItems()->Add(i == 1 ? AnsiString("-") : "entry" + IntToStr(i));
  list->SetItemIndex(2);
  EXPECT_EQ(list->GetDataIndex(), 1);
  list->SetDataIndex(50);
  EXPECT_EQ(list->GetItemIndex(), 11);
  auto* menu = NewItem<TdxBarSubItem>("menu");
  list->AddListItems(menu->GetLinks(), 0, nullptr, true);
  ASSERT_EQ(menu->GetLinks()->GetCount(), 10);
  EXPECT_EQ(menu->GetLinks()->GetItem(0)->GetCaption(), "&1 entry0");
  EXPECT_EQ(menu->GetLinks()->GetItem(1)->GetCaption(), "&2 entry2");
  EXPECT_TRUE(menu->GetLinks()->GetItem(1)->GetBeginGroupValue());  // after the "-" entry
  EXPECT_EQ(menu->GetLinks()->GetItem(9)->GetCaption(), "&A entry10");
  // The generated buttons are not the manager's commands.
  EXPECT_EQ(Manager->GetItemList()->IndexOf(list->GetGenerated(0)), -1);
  // Clicking an entry selects it and clicks the list item.
  list->SetOnClick(TNotifyEvent(&Events, &TItemEvents::Click));
  list->GetGenerated(1)->DoClick();
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(Events.Log, (std::vector<AnsiString>{"click:TdxBarListItem"}));
  list->DeleteListItems(menu->GetLinks(), 0);
  EXPECT_EQ(menu->GetLinks()->GetCount(), 0);

  auto* empty = NewItem<TdxBarListItem>("empty");
  EXPECT_FALSE(empty->GetRealVisible());
}

class TDisplayTextHook : public TObject {
  ORV_CLASS(TDisplayTextHook, TObject)
 public:
  TDisplayTextHook() = default;
  void GetText(TObject*, Integer index, AnsiString& text) {
    if (index == 1) text = "renamed";
  }
};

TEST_F(BarItemTest, AnExtraPaneListShowsItsFilesUnderATitle) {
  auto* pane = NewItem<TdxBarExtraPaneListItem>("Recent");
  std::vector<Owned<orv::TBarExtraPaneEntry>> entries;
  struct {
    const char* display;
    const char* file;
    int image;
  } files[] = {{"", "C:\\charts\\moscow.dbf", -1}, {"Old", "/tmp/old.txt", -1}, {"Named", "x.y", 3}};
  for (auto f : files) {
    entries.emplace_back(new orv::TBarExtraPaneEntry);
    entries.back()->DisplayName = f.display;
    entries.back()->FileName = f.file;
    entries.back()->ImageIndex = f.image;
    pane->GetItems()->AddObject(f.file, entries.back().get());
  }
  TDisplayTextHook hook;
  pane->SetOnGetDisplayText(TdxBarExtraPaneGetDisplayTextEvent(&hook, &TDisplayTextHook::GetText));
  auto* menu = NewItem<TdxBarSubItem>("menu");
  pane->AddListItems(menu->GetLinks(), 0, nullptr, true);
  ASSERT_EQ(menu->GetLinks()->GetCount(), 4);
  EXPECT_EQ(menu->GetLinks()->GetItem(0)->GetItem(), pane->GetTitle());
  EXPECT_EQ(menu->GetLinks()->GetItem(0)->GetCaption(), "Recent");
  EXPECT_EQ(menu->GetLinks()->GetItem(1)->GetCaption(), "&1 moscow");  // the file's name without folder
  EXPECT_EQ(menu->GetLinks()->GetItem(2)->GetCaption(), "&2 renamed");
  EXPECT_EQ(menu->GetLinks()->GetItem(3)->GetCaption(), "&3 Named");
  EXPECT_EQ(pane->GetGenerated(0)->GetHint(), "C:\\charts\\moscow.dbf");  // the whole entry
  // One image gives every entry a glyph column.
  EXPECT_EQ(pane->GetGenerated(2)->GetImageIndex(), 3);
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(pane->GetGenerated(i)->GetPaintStyle(), psCaptionGlyph);
  // The title goes with the entries, and again with the pane.
  pane->DeleteListItems(menu->GetLinks(), 0);
  EXPECT_EQ(menu->GetLinks()->GetCount(), 0);
  EXPECT_TRUE(pane->GetRealVisible());  // a caption alone keeps it visible
  pane->Free();
}

TEST_F(BarItemTest, AContainerItemIsVisibleWithVisibleOrUnsetLinks) {
  auto* container = NewItem<TdxBarContainerItem>("container");
  EXPECT_FALSE(container->GetRealVisible());
  container->GetLinks()->Add();  // a link without item yet
  EXPECT_TRUE(container->GetRealVisible());
  TdxBarButton* hidden = NewItem("hidden");
  hidden->SetVisible(ivNever);
  container->GetLinks()->GetItem(0)->SetItem(hidden);
  EXPECT_FALSE(container->GetRealVisible());
}

// ---- Styles data and item options

TEST_F(BarItemTest, StyleChangesNotifyOnceWithTheStrongestKind) {
  std::vector<Integer> kinds;
  struct TSink : TObject {
    std::vector<Integer>* Kinds;
    void Changed(Integer kind) { Kinds->push_back(kind); }
  } sink;
  sink.Kinds = &kinds;
  auto* data = new TdxBarItemStylesData(2, TdxBarItemStylesData::TChangeEvent(&sink, &TSink::Changed));
  Owned<TcxStyle> style(new TcxStyle(nullptr));
  data->SetStyle(0, style.get());
  data->SetStyle(1, style.get());
  EXPECT_EQ(style->GetListenerCount(), 1);  // registered once for both slots
  kinds.clear();
  style->SetTextColor(clRed);
  EXPECT_EQ(kinds, (std::vector<Integer>{0}));
  kinds.clear();
  data->Lock();
  data->StyleModified(style.get());  // nothing changed
  style->SetColor(clBlue);
  auto* font = new TFont;
  font->SetHeight(-20);
  style->SetFont(font);
  orv::Free(font);
  data->Unlock();
  ASSERT_FALSE(kinds.empty());
  EXPECT_EQ(kinds.back(), 1);
  data->SetStyle(0, nullptr);
  EXPECT_EQ(style->GetListenerCount(), 1);
  data->SetStyle(1, nullptr);
  EXPECT_EQ(style->GetListenerCount(), 0);
  orv::Free(data);
}

TEST_F(BarItemTest, ItemOptionsFallBackToTheOpeningMenu) {
  auto* menu = NewItem<TdxBarSubItem>("menu");
  auto* submenu = NewItem<TdxBarSubItem>("submenu");
  TdxBarItemOptions* options = submenu->GetItemOptions();
  EXPECT_TRUE(options->GetShowShortCuts());
  EXPECT_FALSE(options->IsOptionStored(ioShowShortCuts));
  submenu->GetLinks()->SetParentLinks(menu->GetLinks());
  menu->GetItemOptions()->SetShowDescriptions(true);
  EXPECT_TRUE(submenu->GetLinks()->GetShowDescriptions());
  options->SetShowShortCuts(false);
  EXPECT_TRUE(options->IsOptionStored(ioShowShortCuts));
  EXPECT_FALSE(submenu->GetLinks()->GetShowShortCuts());
  EXPECT_EQ(submenu->GetLinks()->GetItemSize(), misNormal);
}

// ---- Manager services the items need

TEST_F(BarItemTest, TheEditFontTakesTheIconTitleFontHeight) {
  orv::SystemSettings().IconTitleFont.lfHeight = -17;
  Manager->GetFont()->SetName("Arial");  // an outside change: the edit font follows
  EXPECT_EQ(Manager->GetEditFont()->GetName(), "Arial");
  EXPECT_EQ(Manager->GetEditFont()->GetHeight(), -17);
  orv::SystemSettings().IconTitleFont.lfHeight = -8;  // at least 11 pixels
  Manager->GetFont()->SetName("Tahoma");
  EXPECT_EQ(Manager->GetEditFont()->GetHeight(), -11);
}

TEST_F(BarItemTest, TheManagerClassCarriesTheSkinningMark) {
  EXPECT_TRUE(IsSkinnableClass(TdxBarManager::StaticClass()));
  EXPECT_NE(dynamic_cast<IdxSkinSupport*>(Manager), nullptr);
  EXPECT_FALSE(IsSkinnableClass(TdxBarItem::StaticClass()));
  EXPECT_FALSE(IsSkinnableClass(nullptr));
}

struct TManagerModifiedDesigner : IDesignerNotify {
  int Modified_ = 0;
  void Modified() override { ++Modified_; }
};

TEST_F(BarItemTest, DesignerModifiedTellsTheFormsDesignerInDesignMode) {
  TManagerModifiedDesigner designer;
  Form->SetDesigner(&designer);
  Manager->DesignerModified();
  EXPECT_EQ(designer.Modified_, 0);  // at run time nobody is told
  EXPECT_TRUE(Manager->GetModified());
  IncludeComponentState(Manager, TComponentState{csDesigning});
  Manager->DesignerModified();
  EXPECT_EQ(designer.Modified_, 1);
  Manager->LockDesignerModified(true);
  Manager->DesignerModified();
  Manager->DesignerModified();
  EXPECT_EQ(designer.Modified_, 1);
  Manager->LockDesignerModified(false);  // one held-back notification
  EXPECT_EQ(designer.Modified_, 2);
  ExcludeComponentState(Manager, TComponentState{csDesigning});
  Form->SetDesigner(nullptr);
}

TEST_F(BarItemTest, TheOlderListOfBarsIsReadIntoTheBars) {
  const char* text =
      "object BarForm: TForm\n"
      "  object dxBarManager1: TdxBarManager\n"
      "    Bars = <\n"
      "      item\n"
      "        Caption = 'Main'\n"
      "        IsMainMenu = True\n"
      "        Name = 'OldMain'\n"
      "        Visible = True\n"
      "      end\n"
      "      item\n"
      "        Caption = 'Tools'\n"
      "        DockingStyle = dsLeft\n"
      "      end>\n"
      "  end\n"
      "end\n";
  Form.reset();
  Owned<TForm> form(new TForm(nullptr));
  orv::ReadComponentFromText(form.get(), text);
  TdxBarManager* manager = GetBarManagerOwnedBy(form.get());
  ASSERT_NE(manager, nullptr);
  ASSERT_EQ(manager->GetBarCount(), 2);
  EXPECT_EQ(manager->GetBar(0)->GetCaption(), "Main");
  EXPECT_EQ(manager->GetMainMenuBar(), manager->GetBar(0));
  EXPECT_EQ(manager->GetBar(0)->GetOldName(), "OldMain");
  EXPECT_NE(manager->GetBar(0)->GetName(), "OldMain");
  EXPECT_EQ(manager->GetBar(1)->GetDockingStyle(), dsLeft);
  // Never written back in that form.
  EXPECT_EQ(orv::WriteComponentToText(form.get()).find("Bars ="), AnsiString::npos);
}

}  // namespace
