#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "components/data/cxFilterConsts.h"
#include "components/editors-more/cxRadioGroup.h"
#include "components/editors/cxButtons.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxTextEdit.h"
#include "components/filtercontrol/cxFilterControlDialog.h"
#include "components/filtercontrol/cxFilterDialog.h"
#include "components/filtercontrol/tests/FilterControlFixture.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Graphics.h"

using namespace fc_test;

namespace {

class FilterDialogsTest : public FilterControlTest {
 protected:
  void SetUp() override {
    FilterControlTest::SetUp();
    DialogFont.reset(new TFont);
    DialogFont->SetName(orv::kTestFontFace);
    DialogFont->SetHeight(-11);
    orv::ResetFilterControlDialogBounds();
  }
  void TearDown() override {
    orv::headless::SetIdleHandler(nullptr);
    orv::SetFileDialogHandler(nullptr);
    Application->SetOnException(TExceptionEvent());
    DialogFont.reset();
    FilterControlTest::TearDown();
  }
  // Runs `act` once the modal dialog waits for input; `act` closes it.
  static void WhenShown(std::function<void()> act) {
    auto done = std::make_shared<bool>(false);
    orv::headless::SetIdleHandler([done, act] {
      if (*done) return false;
      *done = true;
      act();
      return true;
    });
  }
  bool ShowCustom(Integer itemIndex) {
    return ShowFilterDialog(Link->Criteria, Item(itemIndex), Link->Properties, DialogFont.get(), nullptr,
                            Item(itemIndex)->ValueType, Item(itemIndex)->Caption);
  }
  static TcxFilterDialog* OpenCustomDialog() {
    for (Integer i = 0; i < Screen->GetFormCount(); ++i)
      if (auto* dialog = dynamic_cast<TcxFilterDialog*>(Screen->GetForm(i))) return dialog;
    return nullptr;
  }
  static TfmFilterControlDialog* OpenBuilder() {
    for (Integer i = 0; i < Screen->GetFormCount(); ++i)
      if (auto* dialog = dynamic_cast<TfmFilterControlDialog*>(Screen->GetForm(i))) return dialog;
    return nullptr;
  }
  static void ClickControl(TControl* c) {
    const TPoint p = c->ClientToScreen(TPoint{c->GetWidth() / 2, c->GetHeight() / 2});
    orv::headless::AdvanceTime(1000);
    orv::headless::Click(p.X, p.Y);
  }
  static void SetText(TcxCustomEdit* edit, const AnsiString& text) { edit->SetEditValueProperty(Variant(text)); }
  static void Select(TcxComboBox* comboBox, const AnsiString& text) {
    comboBox->SetItemIndexProperty(comboBox->GetProperties()->GetItems()->IndexOf(text));
  }

  std::unique_ptr<TFont, orv::FreeDeleter> DialogFont;
};

}  // namespace

TEST_F(FilterDialogsTest, TheCustomDialogPreselectsLikeForTextAndEqualsForNumbers) {
  struct TCase {
    Integer Item;
    const char* Operator;
  };
  for (const TCase& c : {TCase{0, "like"}, TCase{2, "equals"}}) {
    AnsiString first, second;
    bool hintsVisible = false;
    WhenShown([&] {
      TcxFilterDialog* dialog = OpenCustomDialog();
      ASSERT_NE(dialog, nullptr);
      first = dialog->cbOperator1->GetProperties()->GetItems()->Get(dialog->cbOperator1->GetItemIndexProperty());
      second = dialog->cbOperator2->GetProperties()->GetItems()->Get(dialog->cbOperator2->GetItemIndexProperty());
      hintsVisible = dialog->lblSingle->GetVisible();
      ClickControl(dialog->btnCancel);
    });
    EXPECT_FALSE(ShowCustom(c.Item));
    EXPECT_EQ(first, AnsiString(c.Operator));
    EXPECT_EQ(second, "");
    EXPECT_EQ(hintsVisible, c.Item == 0);
  }
  EXPECT_TRUE(Link->Criteria->IsEmptyCriteria()) << "Cancel changes nothing";
}

TEST_F(FilterDialogsTest, TwoConditionsOfAnAndGroupReopenAndOKReplacesTheItemsConditions) {
  TcxFilterCriteriaItemList* group = Link->Criteria->GetRoot()->AddGroup(fbcAnd);
  group->AddItem(Item(2), focGreater, Variant(5), "5");
  group->AddItem(Item(2), focLess, Variant(10), "10");
  Link->Criteria->GetRoot()->AddItem(Item(0), focEqual, Variant(AnsiString("Россия"_a)), "Россия"_a);
  ASSERT_FALSE(IsFilterTooComplexForDialog(Link->Criteria));
  bool painted = false;
  WhenShown([&] {
    TcxFilterDialog* dialog = OpenCustomDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->OperatorOf(dialog->cbOperator1), fcopGreater);
    EXPECT_EQ(dialog->OperatorOf(dialog->cbOperator2), fcopLess);
    EXPECT_TRUE(dialog->rbAnd->GetChecked());
    EXPECT_EQ(dialog->GetCaption(), "Custom Filter");
    EXPECT_EQ(dialog->lblColumnCaption->GetCaption(), "LAT ");
    EXPECT_TRUE(Golden(dialog, "custom-filter.png"));
    painted = true;
    // 60 or blank.
    SetText(dialog->GetValueEdit1(), "60");
    dialog->rbOr->SetChecked(true);
    Select(dialog->cbOperator2, "is blank");
    ClickControl(dialog->btnOK);
  });
  EXPECT_TRUE(ShowCustom(2));
  EXPECT_TRUE(painted);
  EXPECT_EQ(Describe(Link->Criteria->GetRoot()),
            orv::AnsiToUtf8("AND(COUNTRY 0 Россия, OR(LAT 4 60, LAT 0 null))"_a));
  auto* blank = static_cast<TcxFilterCriteriaItem*>(
      static_cast<TcxFilterCriteriaItemList*>(Link->Criteria->GetRoot()->GetItem(1))->GetItem(1));
  EXPECT_EQ(blank->GetDisplayValue(), "blank");
}

namespace {

class TErrors : public TObject {
  ORV_CLASS(TErrors, TObject)
 public:
  TErrors() = default;
  void Handle(TObject*, Exception& e) { Messages.push_back(e.GetMessage()); }
  std::vector<AnsiString> Messages;
};
}  // namespace

TEST_F(FilterDialogsTest, AnInvalidValueKeepsTheCustomDialogOpen) {
  Owned<TErrors> errors(new TErrors);
  Application->SetOnException(TExceptionEvent(errors.get(), &TErrors::Handle));
  int step = 0;
  orv::headless::SetIdleHandler([&] {
    TcxFilterDialog* dialog = OpenCustomDialog();
    if (!dialog) return false;
    ++step;
    if (step == 1) {
      SetText(dialog->GetValueEdit1(), "abc");
      ClickControl(dialog->btnOK);
    } else if (step == 2) {
      EXPECT_TRUE(dialog->GetVisible()) << "still open after the rejected value";
      ClickControl(dialog->btnCancel);
    } else {
      return false;
    }
    return true;
  });
  EXPECT_FALSE(ShowCustom(2));
  ASSERT_EQ(errors->Messages.size(), 1u);
  EXPECT_EQ(errors->Messages[0], "Invalid value");
  EXPECT_TRUE(Link->Criteria->IsEmptyCriteria());
}

TEST_F(FilterDialogsTest, FiltersTooComplexForTheCustomDialog) {
  struct TCase {
    const char* Name;
    std::function<void(TcxFilterCriteriaItemList*)> Fill;
    bool TooComplex;
  };
  auto* country = Item(0);
  auto* lat = Item(2);
  const TCase cases[] = {
      {"empty", [](TcxFilterCriteriaItemList*) {}, false},
      {"OR root", [&](TcxFilterCriteriaItemList* r) {
         r->SetBoolOperator(fbcOr);
         r->AddItem(country, focEqual, Variant(1), "1");
       }, true},
      {"one item twice at the root", [&](TcxFilterCriteriaItemList* r) {
         r->AddItem(lat, focGreater, Variant(1), "1");
         r->AddItem(lat, focLess, Variant(5), "5");
       }, true},
      {"two items", [&](TcxFilterCriteriaItemList* r) {
         r->AddItem(lat, focGreater, Variant(1), "1");
         r->AddItem(country, focLike, Variant(AnsiString("a%")), "a%");
       }, false},
      {"between", [&](TcxFilterCriteriaItemList* r) {
         r->AddItem(lat, focBetween, VarArrayOf({Variant(1), Variant(2)}), "1;2");
       }, true},
      {"group of three", [&](TcxFilterCriteriaItemList* r) {
         TcxFilterCriteriaItemList* g = r->AddGroup(fbcOr);
         for (int i = 0; i < 3; ++i) g->AddItem(lat, focEqual, Variant(i), "x");
       }, true},
      {"NOT AND group", [&](TcxFilterCriteriaItemList* r) {
         TcxFilterCriteriaItemList* g = r->AddGroup(fbcNotAnd);
         g->AddItem(lat, focEqual, Variant(1), "1");
         g->AddItem(lat, focEqual, Variant(2), "2");
       }, true},
      {"group of two items", [&](TcxFilterCriteriaItemList* r) {
         TcxFilterCriteriaItemList* g = r->AddGroup(fbcOr);
         g->AddItem(lat, focEqual, Variant(1), "1");
         g->AddItem(country, focEqual, Variant(2), "2");
       }, true},
  };
  for (const TCase& c : cases) {
    Link->Criteria->RemoveAllItems();
    c.Fill(Link->Criteria->GetRoot());
    EXPECT_EQ(IsFilterTooComplexForDialog(Link->Criteria), c.TooComplex) << c.Name;
  }
}

TEST_F(FilterDialogsTest, TheBuilderShowsTheLinksFilterSavesItAndRemembersItsPlace) {
  TcxFilterCriteriaItemList* root = Link->Criteria->GetRoot();
  root->AddItem(Item(0), focEqual, Variant(AnsiString("Россия"_a)), "Россия"_a);
  TcxFilterCriteriaItemList* group = root->AddGroup(fbcOr);
  group->AddItem(Item(1), focLike, Variant(AnsiString("Мос%"_a)), "Мос%"_a);
  group->AddItem(Item(2), focGreater, Variant(60), "60");
  const std::string before = Describe(root);
  const std::string path = ::testing::TempDir() + "builder-saved.flt";
  std::remove(path.c_str());
  orv::SetFileDialogHandler([&](TOpenDialog* dialog, bool save, AnsiString& fileName) {
    EXPECT_TRUE(save);
    EXPECT_EQ(dialog->GetTitle(), "Save the active filter to file");
    EXPECT_EQ(fileName, "untitled.flt");
    fileName = path;
    return true;
  });
  TRect shownBounds{};
  WhenShown([&] {
    TfmFilterControlDialog* dialog = OpenBuilder();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetCaption(), "Filter builder - [untitled.flt]");
    EXPECT_EQ(dialog->GetFilterControl()->GetRowCount(), 5);
    EXPECT_TRUE(Golden(dialog, "filter-builder.png"));
    ClickControl(dialog->btSave);
    Run();
    EXPECT_EQ(dialog->GetCaption(), AnsiString("Filter builder - [") + path + "]");
    dialog->SetBounds(dialog->GetLeft() + 10, dialog->GetTop() + 20, 600, 300);
    shownBounds = TRect{dialog->GetLeft(), dialog->GetTop(), dialog->GetWidth(), dialog->GetHeight()};
    // Remove the group, apply, then cancel: the applied filter stays.
    dialog->GetFilterControl()->SetFocusedPart(fhtItem, dialog->GetFilterControl()->GetRow(3));
    dialog->GetFilterControl()->Remove();
    dialog->GetFilterControl()->Remove();
    ClickControl(dialog->btApply);
    Run();
    ClickControl(dialog->btCancel);
  });
  EXPECT_FALSE(ShowFilterControlDialog(Link, nullptr, clDefault, DialogFont.get()));
  EXPECT_EQ(Describe(Link->Criteria->GetRoot()), orv::AnsiToUtf8("AND(COUNTRY 0 Россия)"_a));
  EXPECT_EQ(orv::FilterControlDialogBounds(), shownBounds);

  // The saved file loads back through Open, and the next dialog opens where the last one was.
  orv::SetFileDialogHandler([&](TOpenDialog* dialog, bool save, AnsiString& fileName) {
    EXPECT_FALSE(save);
    fileName = path;
    return true;
  });
  TRect reopened{};
  WhenShown([&] {
    TfmFilterControlDialog* dialog = OpenBuilder();
    ASSERT_NE(dialog, nullptr);
    reopened = TRect{dialog->GetLeft(), dialog->GetTop(), dialog->GetWidth(), dialog->GetHeight()};
    ClickControl(dialog->btOpen);
    Run();
    EXPECT_EQ(dialog->GetFilterControl()->GetRowCount(), 5);
    ClickControl(dialog->btOk);
  });
  EXPECT_TRUE(ShowFilterControlDialog(Link, nullptr, clDefault, DialogFont.get()));
  EXPECT_EQ(reopened, shownBounds);
  EXPECT_EQ(Describe(Link->Criteria->GetRoot()), before);
  std::remove(path.c_str());
}

TEST_F(FilterDialogsTest, EscapeInTheBuildersOpenChooserClosesOnlyTheList) {
  Link->Criteria->GetRoot()->AddItem(Item(0), focEqual, Variant(AnsiString("a")), "a");
  int step = 0;
  bool closedWithList = false;
  orv::headless::SetIdleHandler([&] {
    TfmFilterControlDialog* dialog = OpenBuilder();
    if (!dialog) return false;
    TcxCustomFilterControl* control = dialog->GetFilterControl();
    ++step;
    if (step == 1) {
      control->SetFocus();
      control->SetFocusedPart(fhtItem, control->GetRow(1));
      orv::headless::PressKey(VK_RETURN);
    } else if (step == 2) {
      EXPECT_TRUE(control->GetChooser()->HasOpenPopup());
      orv::headless::PressKey(VK_ESCAPE);
    } else if (step == 3) {
      closedWithList = !dialog->GetVisible();
      EXPECT_FALSE(control->GetChooser()->HasOpenPopup());
      orv::headless::PressKey(VK_ESCAPE);
    } else {
      return false;
    }
    return true;
  });
  EXPECT_FALSE(ShowFilterControlDialog(Link, nullptr, clDefault, DialogFont.get()));
  EXPECT_FALSE(closedWithList);
  EXPECT_EQ(step, 3);
}
