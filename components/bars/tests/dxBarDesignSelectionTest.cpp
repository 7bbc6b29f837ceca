// The customizing selection of bars, items and links: clicks select links and the design
// controller follows the last selected one; Delete removes the selection (at run time only the
// last selected link, while designing the selected objects with the several-links question),
// and what follows the deleted objects becomes the selection.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCustomCustomizationForm.h"
#include "components/bars/dxBarDesignController.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxClasses.h"
#include "platform/controls/Forms.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

// A designer that keeps any number of selected objects, as a form designer does.
class TTestDesigner : public TcxIUnknownObject, public IdxBarDesigner {
 public:
  Boolean AllowsDeletion() override { return true; }
  void FillSelection(TList* list) override {
    for (TPersistent* object : Selection) list->Add(object);
  }
  Integer GetSelectionState(TPersistent* object) override { return IsSelectedObject(object) ? 1 : 0; }
  Boolean IsSelectedObject(TPersistent* object) override { return IndexOf(object) >= 0; }
  void ChangeSelection(TPersistent* object, Integer operation) override {
    const Integer index = IndexOf(object);
    if (operation == 2) Selection.clear();
    if (operation == 1) {
      if (index >= 0) Selection.erase(Selection.begin() + index);
    } else if (IndexOf(object) < 0) {
      Selection.push_back(object);
    }
  }
  void ReplaceSelection(TList* list) override {
    Selection.clear();
    for (Integer i = 0; i < list->GetCount(); ++i) Selection.push_back(static_cast<TPersistent*>(list->Get(i)));
  }
  void EditItem(TdxBarItem* item) override {}
  Boolean MakeUniqueName(const AnsiString& prefix, AnsiString& name) override { return false; }
  Integer IndexOf(TPersistent* object) const {
    for (size_t i = 0; i < Selection.size(); ++i)
      if (Selection[i] == object) return Integer(i);
    return -1;
  }
  std::vector<TPersistent*> Selection;
};

class BarDesignSelectionTest : public BarFormTest {
 protected:
  BarDesignSelectionTest() : BarFormTest({100, 100, 420, 300}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Bar = AddTestToolbar(Manager, Form.get(), "Tools", dsTop, 3);
    Links = Bar->GetLinks();
    Show();
  }
  void TearDown() override {
    if (TdxBarSubMenuControl* menu = GetBarDesignController()->GetCustomizingMenu()) menu->HideControl();
    if (Manager) {
      if (Manager->GetDesigner() == &Designer) Manager->SetDesigner(nullptr);
      SetDesigning(false);
      Manager->SetCustomizingMode(false);
    }
    orv::SetMessageBoxHandler(nullptr);
    Run();
    BarFormTest::TearDown();
  }
  // The form and its components as a designer edits them, with the test designer's selection.
  void Design() {
    SetDesigning(true);
    Manager->SetDesigner(&Designer);
    Run();
  }
  void SetDesigning(Boolean on) {
    for (Integer i = 0; i < Form->GetComponentCount(); ++i)
      if (on)
        IncludeComponentState(Form->GetComponent(i), TComponentState{csDesigning});
      else
        ExcludeComponentState(Form->GetComponent(i), TComponentState{csDesigning});
  }
  void PressLink(Integer index, Integer button = 0, Boolean shift = false) {
    const TRect r = Links->GetItem(index)->GetItemRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(Bar->GetControl()->GetHandle(), &p);
    if (shift) orv::headless::KeyDown(VK_SHIFT);
    orv::headless::Click(p.X, p.Y, button);
    if (shift) orv::headless::KeyUp(VK_SHIFT);
    Run();
  }
  // What a click on a link does while designing: the link is selected with the operation, and
  // its bar window selects its control.
  void Select(Integer index, Integer operation) {
    Run();
    TdxBarItemLink* link = Links->GetItem(index);
    ASSERT_NE(Bar->GetControl(), nullptr);
    ASSERT_NE(link->GetControl(), nullptr);
    Bar->GetControl()->SetSelectedItemControl(link->GetControl());
    GetBarDesignController()->SelectSelectableItem(link, operation);
  }
  std::string Captions() {
    std::string text;
    for (Integer i = 0; i < Links->GetCount(); ++i) text += Links->GetItem(i)->GetItem()->GetCaption() + ";";
    return text;
  }
  // Answers each message box with `answer` and counts them.
  void AnswerMessageBoxes(Integer answer) {
    orv::SetMessageBoxHandler([this, answer](HWND, const AnsiString&, const AnsiString&, UINT) {
      ++MessageBoxes;
      return answer;
    });
  }

  // Customizing mode at run time, with the customization form moved off the toolbar.
  void StartCustomizing() {
    Manager->SetCustomizingMode(true);
    Run();
    if (TdxBarCustomCustomizationForm* form = GetActiveCustomizationForm()) {
      form->SetBounds(560, 300, form->GetWidth(), form->GetHeight());
      Run();
    }
  }

  TTestDesigner Designer;
  TdxBar* Bar = nullptr;
  TdxBarItemLinks* Links = nullptr;
  Integer MessageBoxes = 0;
};

TEST_F(BarDesignSelectionTest, AtRunTimeDeleteRemovesOnlyTheLastSelectedLinkWithoutAsking) {
  TdxBarDesignController* controller = GetBarDesignController();
  StartCustomizing();
  TdxBarItem* second = Links->GetItem(1)->GetItem();
  // The second button is linked twice: its links are no reason to ask at run time.
  Bar->GetLinks()->AddItem(second);
  Run();
  PressLink(1);
  ASSERT_EQ(controller->GetLastSelectedItem(), static_cast<IdxBarSelectableItem*>(Links->GetItem(1)));
  EXPECT_TRUE(Links->GetItem(1)->IsInSelection());
  AnswerMessageBoxes(IDNO);
  const Integer commands = Manager->GetItemCount();
  // Nothing was taken for a design-time deletion.
  EXPECT_FALSE(controller->DeleteSelectedObjects(false, false));
  EXPECT_EQ(MessageBoxes, 0);
  EXPECT_EQ(Captions(), "Tools1;Tools3;Tools2;");
  EXPECT_EQ(Manager->GetItemCount(), commands);
  // The freed link is no longer the last selected item, and another Delete deletes nothing.
  EXPECT_EQ(controller->GetLastSelectedItem(), nullptr);
  EXPECT_FALSE(controller->DeleteSelectedObjects(false, false));
  EXPECT_EQ(Links->GetCount(), 3);
}

TEST_F(BarDesignSelectionTest, TheDeleteKeyDeletesTheSelectedLinkOnlyWhileCustomizing) {
  TdxBarDesignController* controller = GetBarDesignController();
  StartCustomizing();
  PressLink(0);
  ASSERT_NE(controller->GetLastSelectedItem(), nullptr);
  // Only while the manager's form has the focus.
  SetFocus(Form->GetHandle());
  orv::headless::PressKey(VK_DELETE);
  Run();
  EXPECT_EQ(Captions(), "Tools2;Tools3;");
  PressLink(0);
  ASSERT_NE(controller->GetLastSelectedItem(), nullptr);
  // Once customizing has ended the key is the form's again: a link that was selected stays.
  Manager->SetCustomizingMode(false);
  Run();
  SetFocus(Form->GetHandle());
  orv::headless::PressKey(VK_DELETE);
  Run();
  EXPECT_EQ(Captions(), "Tools2;Tools3;");
}

TEST_F(BarDesignSelectionTest, SelectingLinksAndTakingTheLastSelectedOneOut) {
  Design();
  TdxBarDesignController* controller = GetBarDesignController();
  Select(0, 2);
  TdxBarItemLink* first = Links->GetItem(0);
  // A link is selected through its item.
  EXPECT_EQ(Designer.Selection, (std::vector<TPersistent*>{first->GetItem()}));
  EXPECT_TRUE(first->IsInSelection());
  EXPECT_TRUE(controller->IsLastSelected(first));
  EXPECT_TRUE(controller->ShouldSelectDefault(first));
  // Added: the second one is the last selected.
  Select(1, 0);
  EXPECT_EQ(Designer.Selection.size(), 2u);
  EXPECT_TRUE(controller->IsLastSelected(Links->GetItem(1)));
  EXPECT_FALSE(controller->HasSingleSelection(Manager));
  EXPECT_FALSE(controller->ShouldSelectDefault(first));
  // Taken out: it was the last selected, so none is.
  Select(1, 1);
  EXPECT_EQ(Designer.Selection, (std::vector<TPersistent*>{first->GetItem()}));
  EXPECT_EQ(controller->GetLastSelectedItem(), nullptr);
  // Made the only one.
  Select(0, 0);
  Select(2, 2);
  EXPECT_EQ(Designer.Selection, (std::vector<TPersistent*>{Links->GetItem(2)->GetItem()}));
}

TEST_F(BarDesignSelectionTest, ADeletedLinkHandsTheSelectionToTheNextLink) {
  Design();
  TdxBarDesignController* controller = GetBarDesignController();
  Select(1, 2);
  ASSERT_TRUE(controller->HasDeletableSelection());
  EXPECT_TRUE(controller->DeleteSelectedObjects(false, false));
  // The item stays a command: only its link went.
  EXPECT_EQ(Captions(), "Tools1;Tools3;");
  EXPECT_EQ(Designer.Selection, (std::vector<TPersistent*>{Links->GetItem(1)->GetItem()}));
}

TEST_F(BarDesignSelectionTest, AnItemWithSeveralLinksIsDeletedOnlyWhenTheUserAgrees) {
  Design();
  TdxBarDesignController* controller = GetBarDesignController();
  TdxBarItem* second = Links->GetItem(1)->GetItem();
  second->SetName("Second");
  Links->AddItem(second);
  Run();
  Select(1, 2);
  AnswerMessageBoxes(IDNO);
  // Declined: the selection was taken, but nothing goes.
  EXPECT_TRUE(controller->DeleteSelectedObjects(false, false));
  EXPECT_EQ(MessageBoxes, 1);
  EXPECT_EQ(Captions(), "Tools1;Tools2;Tools3;Tools2;");
  EXPECT_EQ(Designer.Selection, (std::vector<TPersistent*>{second}));
  AnswerMessageBoxes(IDYES);
  EXPECT_TRUE(controller->DeleteSelectedObjects(false, false));
  EXPECT_EQ(MessageBoxes, 2);
  // Both links went; the item stays a command.
  EXPECT_EQ(Captions(), "Tools1;Tools3;");
  EXPECT_EQ(Manager->GetItemByName("Second"), second);
}

TEST_F(BarDesignSelectionTest, DeletingWithItemsFreesTheItemAndSkipsWhatGoesWithIt) {
  Design();
  TdxBarDesignController* controller = GetBarDesignController();
  TdxBarItem* second = Links->GetItem(1)->GetItem();
  second->SetName("Second");
  Select(1, 2);
  // The link too: it goes with its item, so it is not deleted on its own.
  Designer.Selection.push_back(Links->GetItem(1));
  const Integer commands = Manager->GetItemCount();
  AnswerMessageBoxes(IDNO);
  EXPECT_TRUE(controller->DeleteSelectedObjects(true, false));
  EXPECT_EQ(MessageBoxes, 0);
  EXPECT_EQ(Manager->GetItemCount(), commands - 1);
  EXPECT_EQ(Manager->GetItemByName("Second"), nullptr);
  EXPECT_EQ(Captions(), "Tools1;Tools3;");
  // The command after it on the bar is selected.
  EXPECT_EQ(Designer.Selection, (std::vector<TPersistent*>{Links->GetItem(1)->GetItem()}));
}

TEST_F(BarDesignSelectionTest, TheLastSelectedItemIsDroppedWhenItGoesOrTheApplicationIsLeft) {
  Design();
  TdxBarDesignController* controller = GetBarDesignController();
  Select(0, 2);
  ASSERT_NE(controller->GetLastSelectedItem(), nullptr);
  orv::headless::SetAppActive(false);
  Run();
  controller->SyncLastSelectedItem();
  EXPECT_EQ(controller->GetLastSelectedItem(), nullptr);
  orv::headless::SetAppActive(true);
  Run();
  Select(0, 2);
  ASSERT_NE(controller->GetLastSelectedItem(), nullptr);
  // Freed, the link leaves no reference behind.
  Designer.Selection.clear();
  Links->GetItem(0)->Free();
  EXPECT_EQ(controller->GetLastSelectedItem(), nullptr);
  // A bar selected and freed likewise.
  controller->SelectPersistent(Bar, 2);
  EXPECT_EQ(controller->GetLastSelectedItem(), static_cast<IdxBarSelectableItem*>(Bar));
  Designer.Selection.clear();
  Bar->Free();
  Bar = nullptr;
  EXPECT_EQ(controller->GetLastSelectedItem(), nullptr);
}

// While designing, the link menu of a toolbar button offers the design commands less what a
// toolbar cannot carry out (position, view levels, button groups, distribution, recent use).
TEST_F(BarDesignSelectionTest, TheDesignLinkMenuOfAToolbarButton) {
  Design();
  TdxBarDesignController* controller = GetBarDesignController();
  Select(1, 2);
  TdxBarItemLink* link = Links->GetItem(1);
  controller->ShowLinkMenu(Bar->GetControl(), link);
  Run();
  TdxBarSubMenuControl* menu = controller->GetCustomizingMenu();
  ASSERT_NE(menu, nullptr);
  TdxBarItemLinks* entries = menu->GetItemLinks();
  std::string captions;
  for (Integer i = 0; i < entries->GetCount(); ++i) captions += entries->GetItem(i)->GetItem()->GetCaption() + ";";
  EXPECT_EQ(captions,
            "&Reset;&Delete;Delete Item;Delete Link;&Caption:;Defa&ult style;&Text Only (Always);"
            "Text &Only (in Menus);Image &and Text;Begin a &Group;&Visible;");
  // "&Visible" hides the link.
  TdxBarItem* visible = entries->GetItem(entries->GetCount() - 1)->GetItem();
  visible->GetOnClick()(visible);
  EXPECT_FALSE(link->GetVisible());
}

}  // namespace
