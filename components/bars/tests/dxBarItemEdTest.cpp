// The dialog that makes a new bar item: what it offers and proposes, the item it makes, and a
// name it cannot use.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarItemEd.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"

namespace {

class BarItemAddEditorTest : public orv::test::HeadlessFormTest {
 protected:
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Manager->GetCategories()->Clear();
    for (const char* category : {"File", "Edit", "Help"}) Manager->GetCategories()->Add(category);
    Form->SetName("FMain");
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }
  // Runs the dialog; `act` is called on each idle turn with the open dialog and the turn's
  // number, and closes it in the end.
  TdxBarItem* Run(Integer category, const std::function<void(TdxBarItemAddEditor*, Integer)>& act) {
    Integer turn = 0;
    orv::headless::SetIdleHandler([&] {
      TdxBarItemAddEditor* dialog = GetActiveItemAddEditor();
      if (!dialog) return false;
      act(dialog, turn++);
      return true;
    });
    TdxBarItem* item = ShowItemAddEditor(Manager, category);
    orv::headless::SetIdleHandler(nullptr);
    return item;
  }
  static void ChooseClass(TdxBarItemAddEditor* dialog, Integer index) {
    dialog->GetClassComboBox()->SetItemIndex(index);
    dialog->GetClassComboBox()->GetOnClick()(dialog->GetClassComboBox());
  }

  TdxBarManager* Manager = nullptr;
};

TEST_F(BarItemAddEditorTest, OffersTheListedKindsAndTheCategoriesAndProposesAUniqueName) {
  struct Case {
    Integer Given, Chosen;
  };
  for (const Case c : {Case{1, 1}, Case{2, 2}, Case{-1, 0}, Case{3, 0}}) {
    Integer category = -2;
    Run(c.Given, [&](TdxBarItemAddEditor* dialog, Integer) {
      category = dialog->GetCategoryComboBox()->GetItemIndex();
      dialog->GetCancelButton()->Click();
    });
    EXPECT_EQ(category, c.Chosen) << "given " << c.Given;
  }
  TdxBarItemList* classes = GetBarItemClassList();
  ASSERT_GT(classes->GetVisibleItemCount(), 1);
  std::string caption, kinds, firstName, secondName, categories, itemCaption;
  const Integer itemsBefore = Manager->GetItemCount();
  EXPECT_EQ(Run(0, [&](TdxBarItemAddEditor* dialog, Integer) {
              caption = dialog->GetCaption();
              TComboBox* combo = dialog->GetClassComboBox();
              for (Integer i = 0; i < combo->GetItems()->GetCount(); ++i) kinds += combo->GetItems()->Get(i) + "|";
              for (Integer i = 0; i < 3; ++i) categories += dialog->GetCategoryComboBox()->GetItems()->Get(i) + "|";
              firstName = dialog->GetNameEdit()->GetText();
              itemCaption = dialog->GetCaptionEdit()->GetText();
              ChooseClass(dialog, 1);
              secondName = dialog->GetNameEdit()->GetText();
              dialog->GetCancelButton()->Click();
            }),
            nullptr);
  EXPECT_EQ(Manager->GetItemCount(), itemsBefore);
  EXPECT_EQ(caption, "Add New Bar Manager Item");
  std::string expected;
  for (Integer i = 0; i < classes->GetVisibleItemCount(); ++i)
    expected += AnsiString(classes->GetVisibleItemClass(i)->ClassName()) + "|";
  EXPECT_EQ(kinds, expected);
  EXPECT_EQ(categories, "File|Edit|Help|");
  EXPECT_EQ(itemCaption, "New Item");
  EXPECT_EQ(firstName, Manager->GetUniqueItemName(classes->GetVisibleItemClass(0)));
  EXPECT_EQ(secondName, Manager->GetUniqueItemName(classes->GetVisibleItemClass(1)));
}

TEST_F(BarItemAddEditorTest, OkMakesTheItemAndABadNameKeepsTheDialogOpenWithAFreshOne) {
  TdxBarItemList* classes = GetBarItemClassList();
  std::string afterBadName;
  Integer turns = 0;
  const Integer itemsBefore = Manager->GetItemCount();
  TdxBarItem* item = Run(2, [&](TdxBarItemAddEditor* dialog, Integer turn) {
    turns = turn + 1;
    if (turn == 0) {
      ChooseClass(dialog, 1);
      dialog->GetNameEdit()->SetText("not a name");
      dialog->GetOKButton()->Click();
      EXPECT_EQ(Manager->GetItemCount(), itemsBefore);
    } else {
      afterBadName = dialog->GetNameEdit()->GetText();
      dialog->GetNameEdit()->SetText("bHelpTopics");
      dialog->GetCaptionEdit()->SetText("Help &Topics");
      dialog->GetOKButton()->Click();
    }
  });
  EXPECT_EQ(turns, 2);
  EXPECT_EQ(afterBadName, Manager->GetUniqueItemName(classes->GetVisibleItemClass(1)));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->ClassType(), classes->GetVisibleItemClass(1));
  EXPECT_EQ(item->GetName(), "bHelpTopics");
  EXPECT_EQ(item->GetCategory(), 2);
  EXPECT_EQ(item->GetCaption(), "Help &Topics");
  EXPECT_EQ(item->GetOwner(), Form.get());
  EXPECT_EQ(item->GetBarManager(), Manager);
  EXPECT_EQ(Manager->GetItemCount(), itemsBefore + 1);
  // A name another component has is refused the same way.
  Integer refusals = 0;
  TdxBarItem* second = Run(0, [&](TdxBarItemAddEditor* dialog, Integer turn) {
    if (turn == 0) {
      dialog->GetNameEdit()->SetText("bHelpTopics");
      dialog->GetOKButton()->Click();
      if (dialog->GetNameEdit()->GetText() != "bHelpTopics") ++refusals;
    }
    if (turn == 1) dialog->GetCancelButton()->Click();
  });
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(refusals, 1);
  EXPECT_EQ(Manager->GetItemCount(), itemsBefore + 1);
}

TEST_F(BarItemAddEditorTest, GoldenImageOfTheDialog) {
  orv::TImageCheck check;
  Run(1, [&](TdxBarItemAddEditor* dialog, Integer) {
    Application->ProcessMessages();
    check = orv::MatchGoldenImage(orv::headless::CaptureWindow(dialog->GetHandle()),
                                  ORV_SOURCE_DIR "/components/bars/tests/golden/item-add-editor.png");
    dialog->GetCancelButton()->Click();
  });
  EXPECT_TRUE(check) << check.Message;
}

}  // namespace
