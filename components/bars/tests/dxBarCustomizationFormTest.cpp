// The customization form at run time: opened and closed with the manager's customizing mode,
// its toolbars list, its options acting on the manager, a command dragged from its list onto a
// toolbar and dragged off again, and the pictures of its three pages.

#include <gtest/gtest.h>

#include <memory>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCustForm.h"
#include "components/bars/dxBarDragInfo.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/forms/Filer.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

const char* const kCustomizedForm = R"(object FCustom: TForm
  Left = 40
  Top = 40
  Caption = 'Custom'
  ClientHeight = 200
  ClientWidth = 400
  object dxBarManager1: TdxBarManager
    Categories.Strings = (
      'File'
      'Help')
    Categories.ItemsVisibles = (
      2
      2)
    Categories.Visibles = (
      True
      True)
    Style = bmsStandard
    object dxBarManager1Bar1: TdxBar
      Caption = 'Main menu'
      DockingStyle = dsTop
      IsMainMenu = True
      ItemLinks = <
        item
          Visible = True
          ItemName = 'bNew'
        end>
      Row = 0
      Visible = True
      WholeRow = True
    end
    object dxBarManager1Bar2: TdxBar
      Caption = 'Standard'
      DockingStyle = dsTop
      ItemLinks = <
        item
          Visible = True
          ItemName = 'bNew'
        end
        item
          Visible = True
          ItemName = 'bOpen'
        end>
      Row = 1
      Visible = True
    end
    object dxBarManager1Bar3: TdxBar
      Caption = 'Tools'
      DockingStyle = dsTop
      Row = 2
      Visible = False
    end
    object bNew: TdxBarButton
      Caption = '&New'
      Category = 0
      Description = 'Makes a new document'
    end
    object bOpen: TdxBarButton
      Caption = '&Open'
      Category = 0
    end
    object bSave: TdxBarButton
      Caption = '&Save'
      Category = 0
      Description = 'Writes the document'
    end
    object bAbout: TdxBarButton
      Caption = '&About'
      Category = 1
    end
  end
end
)";

class BarCustomizationFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    Form.reset(new TForm(nullptr));
    orv::ReadComponentFromText(Form.get(), kCustomizedForm);
    Manager = GetBarManagerOwnedBy(Form.get());
    ASSERT_NE(Manager, nullptr);
    Form->Show();
    orv::headless::ProcessMessages();
  }
  void TearDown() override {
    if (Manager) Manager->SetCustomizingMode(false);
    Form.reset();
    orv::headless::Reset();
  }
  TdxBarCustomizationForm* Open() {
    Manager->SetCustomizingMode(true);
    orv::headless::ProcessMessages();
    return dynamic_cast<TdxBarCustomizationForm*>(GetActiveCustomizationForm());
  }
  static std::string Rows(TListBox* list) {
    std::string rows;
    for (Integer i = 0; i < list->GetItems()->GetCount(); ++i) rows += list->GetItems()->Get(i) + "|";
    return rows;
  }
  static TPoint ScreenCenter(TWinControl* control, const TRect& rect) {
    POINT p{(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2};
    ClientToScreen(control->GetHandle(), &p);
    return TPoint{p.X, p.Y};
  }
  static ::testing::AssertionResult Golden(HWND window, const std::string& name) {
    const orv::TImageCheck check = orv::MatchGoldenImage(
        orv::headless::CaptureWindow(window), ORV_SOURCE_DIR "/components/bars/tests/golden/" + name);
    if (check) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << check.Message;
  }

  std::unique_ptr<TForm, orv::FreeDeleter> Form;
  TdxBarManager* Manager = nullptr;
};

TEST_F(BarCustomizationFormTest, CustomizingOpensTheOneFormAndClosingItEndsCustomizing) {
  TdxBarCustomizationForm* form = Open();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(Manager->IsCustomizing());
  EXPECT_EQ(form->GetCaption(), "Customize");
  EXPECT_EQ(form->GetPageControl()->GetPageCount(), 3);
  EXPECT_EQ(Rows(form->GetBarsListBox()), "Main menu|Standard|Tools|");
  EXPECT_EQ(Rows(form->GetCategoriesListBox()), "File|Help|");
  EXPECT_EQ(Rows(form->GetCommandsListBox()), "&New|&Open|&Save|");
  // The first toolbar starts selected.
  EXPECT_EQ(form->GetBarsListBox()->GetItemIndex(), 0);

  // Another manager cannot customize meanwhile.
  std::unique_ptr<TForm, orv::FreeDeleter> other(new TForm(nullptr));
  other->AfterConstruction();
  auto* otherManager = new TdxBarManager(other.get());
  otherManager->SetCustomizingMode(true);
  EXPECT_FALSE(otherManager->IsCustomizing());
  EXPECT_EQ(GetActiveCustomizationForm(), form);

  // Close ends customizing; the form is gone.
  form->GetCloseButton()->Click();
  orv::headless::ProcessMessages();
  EXPECT_EQ(GetActiveCustomizationForm(), nullptr);
  EXPECT_FALSE(Manager->IsCustomizing());
  // And customizing ended from code frees a form opened again.
  ASSERT_NE(Open(), nullptr);
  Manager->SetCustomizingMode(false);
  EXPECT_EQ(GetActiveCustomizationForm(), nullptr);
}

TEST_F(BarCustomizationFormTest, TheToolbarsListShowsAndHidesBars) {
  TdxBarCustomizationForm* form = Open();
  ASSERT_NE(form, nullptr);
  TdxBar* tools = Manager->GetBar(2);
  ASSERT_FALSE(tools->GetVisible());
  form->ToggleBar(2);
  EXPECT_TRUE(tools->GetVisible());
  form->ToggleBar(2);
  EXPECT_FALSE(tools->GetVisible());
  // The main menu cannot be closed: toggling it changes nothing.
  form->ToggleBar(0);
  EXPECT_TRUE(Manager->GetBar(0)->GetVisible());
  // A new toolbar joins the list and becomes the selected one.
  form->NewToolBar();
  EXPECT_EQ(Manager->GetBarCount(), 4);
  EXPECT_EQ(form->GetBarsListBox()->GetItems()->GetCount(), 4);
  EXPECT_EQ(form->GetBarsListBox()->GetItemIndex(), 3);
}

TEST_F(BarCustomizationFormTest, OptionsActOnTheManager) {
  Manager->SetStyle(bmsEnhanced);
  TdxBarCustomizationForm* form = Open();
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(form->GetStandardOptionsPanel()->GetVisible());
  EXPECT_TRUE(form->GetEnhancedOptionsPanel()->GetVisible());
  EXPECT_TRUE(form->GetResetUsageDataButton()->GetEnabled());
  form->GetShowHintCheckBox(true)->SetChecked(false);
  EXPECT_FALSE(Manager->GetShowHint());
  EXPECT_FALSE(form->GetShortCutsInHintCheckBox(true)->GetEnabled());
  // Recent items first off: the delay option is disabled but keeps its mark.
  ASSERT_TRUE(form->GetFullMenusAfterDelayCheckBox()->GetChecked());
  form->GetRecentItemsFirstCheckBox()->SetChecked(false);
  EXPECT_FALSE(Manager->GetMenusShowRecentItemsFirst());
  EXPECT_FALSE(form->GetFullMenusAfterDelayCheckBox()->GetEnabled());
  EXPECT_TRUE(form->GetFullMenusAfterDelayCheckBox()->GetChecked());
  // A change made by code shows in the open form.
  Manager->SetShowHint(true);
  EXPECT_TRUE(form->GetShowHintCheckBox(true)->GetChecked());
  EXPECT_TRUE(form->GetShowHintCheckBox(false)->GetChecked());
}

TEST_F(BarCustomizationFormTest, ACommandDraggedOntoAToolbarAndOffItAgain) {
  TdxBarCustomizationForm* form = Open();
  ASSERT_NE(form, nullptr);
  form->ShowCommandsPage();
  // Beside the window of the bars, not over it.
  form->SetBounds(560, 300, form->GetWidth(), form->GetHeight());
  orv::headless::ProcessMessages();
  TdxBarItemLinks* links = Manager->GetBar(1)->GetLinks();
  ASSERT_EQ(links->GetCount(), 2);
  TCustomdxBarControl* toolbar = links->GetBarControl();
  ASSERT_NE(toolbar, nullptr);

  // Save, from the commands list, dropped on the right half of Open.
  TListBox* commands = form->GetCommandsListBox();
  const TPoint from = ScreenCenter(commands, commands->ItemRect(2));
  TRect open = links->GetItem(1)->GetItemRect();
  const TPoint to = ScreenCenter(toolbar, TRect{open.Right - 4, open.Top, open.Right, open.Bottom});
  orv::headless::MouseMove(from.X, from.Y);
  orv::headless::MouseDown();
  orv::headless::MouseMove(to.X, to.Y);
  orv::headless::MouseUp();
  orv::headless::ProcessMessages();
  ASSERT_EQ(links->GetCount(), 3);
  EXPECT_EQ(links->GetItem(2)->GetItem(), Manager->GetItemByName("bSave"));
  EXPECT_EQ(GetActiveBarDrag(), nullptr);
  // The new link is the selection, and the commands list shows its command.
  EXPECT_EQ(commands->GetItemIndex(), 2);

  // Dragged off the bars, the link goes.
  TdxBarItemLink* added = links->GetItem(2);
  orv::headless::MouseMove(5, 5);
  orv::headless::MouseUp();
  DragBarItem(Manager, added->GetItem(), added);
  orv::headless::ProcessMessages();
  ASSERT_EQ(links->GetCount(), 2);
  EXPECT_EQ(links->GetItem(1)->GetItem(), Manager->GetItemByName("bOpen"));

  // A command released over nothing adds nothing.
  orv::headless::MouseMove(from.X, from.Y);
  orv::headless::MouseDown();
  orv::headless::MouseUp();
  orv::headless::ProcessMessages();
  EXPECT_EQ(links->GetCount(), 2);
}

TEST_F(BarCustomizationFormTest, GoldenImagesOfThePages) {
  TdxBarCustomizationForm* form = Open();
  ASSERT_NE(form, nullptr);
  const char* names[] = {"customize-toolbars.png", "customize-commands.png", "customize-options.png"};
  for (Integer page = 0; page < 3; ++page) {
    form->SetActivePageIndex(page);
    if (page == 1) {
      form->GetCommandsListBox()->SetItemIndex(0);
      form->SetDescription("Makes a new document");
    }
    orv::headless::ProcessMessages();
    EXPECT_TRUE(Golden(form->GetHandle(), names[page])) << names[page];
  }
  // The personalized options of the other styles.
  Manager->SetStyle(bmsEnhanced);
  form->ApplyManagerStyle();
  orv::headless::ProcessMessages();
  EXPECT_TRUE(Golden(form->GetHandle(), "customize-options-personalized.png"));
}

}  // namespace
