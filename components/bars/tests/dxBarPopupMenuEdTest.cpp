// The submenu editor: opened for a sub item's links it starts customizing, shows the links as a
// submenu hanging under its caption, keeps that submenu with it, and goes with the sub item and
// with the end of customizing.

#include <gtest/gtest.h>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCustForm.h"
#include "components/bars/dxBarPopupMenuEd.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class BarSubMenuEditorTest : public orv::test::HeadlessFormTest {
 protected:
  BarSubMenuEditorTest() : HeadlessFormTest({100, 100, 400, 300}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Manager->BeginUpdate();
    Toolbar = Manager->AddToolbar(false);
    Tools = new TdxBarSubItem(Form.get());
    Tools->SetParentComponent(Manager);
    Tools->SetCaption("Tools");
    Toolbar->GetLinks()->AddItem(Tools);
    for (const char* caption : {"Find", "Replace"}) {
      auto* button = new TdxBarButton(Form.get());
      button->SetParentComponent(Manager);
      button->SetCaption(caption);
      Tools->GetItemLinks()->AddItem(button);
    }
    Toolbar->SetVisible(true);
    Manager->EndUpdate();
    Show();
  }
  void TearDown() override {
    if (Manager) Manager->SetCustomizingMode(false);
    Run();
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }
  TdxBarSubMenuEditor* Open() {
    ShowSubMenuEditor(Tools->GetItemLinks());
    Run();
    return GetSubMenuEditor();
  }

  TdxBarManager* Manager = nullptr;
  TdxBar* Toolbar = nullptr;
  TdxBarSubItem* Tools = nullptr;
};

TEST_F(BarSubMenuEditorTest, OpensCustomizingAndHangsTheSubmenuUnderItsCaption) {
  TdxBarSubMenuEditor* editor = Open();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(Manager->IsCustomizing());
  auto* form = dynamic_cast<TdxBarCustomizationForm*>(GetActiveCustomizationForm());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->GetPageControl()->GetActivePage(), form->GetPageControl()->GetPage(1));
  EXPECT_EQ(editor->GetCaption(), "Bar Manager SubMenu Editor");
  EXPECT_EQ(editor->GetItemLinks(), Tools->GetItemLinks());
  EXPECT_EQ(editor->GetClientHeight(), 0);
  TCustomdxBarControl* menu = editor->GetSubMenuControl();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(IsWindowVisible(menu->GetHandle()));
  RECT editorRect{}, menuRect{};
  GetWindowRect(editor->GetHandle(), &editorRect);
  GetWindowRect(menu->GetHandle(), &menuRect);
  EXPECT_EQ(menuRect.Left, editorRect.Left);
  EXPECT_EQ(menuRect.Top, editorRect.Bottom);
  EXPECT_EQ(editor->GetWidth(), menu->GetWidth());
  // Moved by its caption, the submenu moves along.
  editor->SetBounds(editor->GetLeft() + 30, editor->GetTop() + 20, editor->GetWidth(), editor->GetHeight());
  Run();
  GetWindowRect(editor->GetHandle(), &editorRect);
  GetWindowRect(menu->GetHandle(), &menuRect);
  EXPECT_EQ(menuRect.Left, editorRect.Left);
  EXPECT_EQ(menuRect.Top, editorRect.Bottom);
  // Its size cannot change: no wider or narrower than the submenu, no higher than its caption.
  const Integer width = editor->GetWidth(), height = editor->GetHeight();
  editor->SetBounds(editor->GetLeft(), editor->GetTop(), width + 50, height + 40);
  EXPECT_EQ(editor->GetWidth(), width);
  EXPECT_EQ(editor->GetHeight(), height);
}

TEST_F(BarSubMenuEditorTest, TheCloseButtonHidesTheSubmenuAndTheCaptionBringsItBack) {
  TdxBarSubMenuEditor* editor = Open();
  ASSERT_NE(editor, nullptr);
  ASSERT_NE(editor->GetSubMenuControl(), nullptr);
  SendMessage(editor->GetHandle(), WM_NCLBUTTONDOWN, HTCLOSE, 0);
  Run();
  EXPECT_EQ(GetSubMenuEditor(), editor);
  EXPECT_EQ(editor->GetSubMenuControl(), nullptr);
  SendMessage(editor->GetHandle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  Run();
  ASSERT_NE(editor->GetSubMenuControl(), nullptr);
  EXPECT_TRUE(IsWindowVisible(editor->GetSubMenuControl()->GetHandle()));
}

TEST_F(BarSubMenuEditorTest, KeepsItsTopLeftCornerInTheWorkArea) {
  TdxBarSubMenuEditor* editor = Open();
  ASSERT_NE(editor, nullptr);
  editor->Hide();
  editor->SetBounds(-40, -25, editor->GetWidth(), editor->GetHeight());
  editor->Show();
  Run();
  const TRect workArea = GetWorkAreaAtPoint(TPoint{0, 0});
  EXPECT_EQ(editor->GetLeft(), workArea.Left);
  EXPECT_EQ(editor->GetTop(), workArea.Top);
}

TEST_F(BarSubMenuEditorTest, GoesWithItsSubItemAndWithTheEndOfCustomizing) {
  ASSERT_NE(Open(), nullptr);
  // Opened again for other links, the one editor turns to them.
  auto* other = new TdxBarSubItem(Form.get());
  other->SetParentComponent(Manager);
  TdxBarSubMenuEditor* editor = GetSubMenuEditor();
  ShowSubMenuEditor(other->GetItemLinks());
  Run();
  EXPECT_EQ(GetSubMenuEditor(), editor);
  EXPECT_EQ(editor->GetItemLinks(), other->GetItemLinks());
  other->Free();
  Run();
  EXPECT_EQ(GetSubMenuEditor(), nullptr);
  // Open again, then customizing ends.
  ASSERT_NE(Open(), nullptr);
  Manager->SetCustomizingMode(false);
  Run();
  EXPECT_EQ(GetSubMenuEditor(), nullptr);
  EXPECT_EQ(Tools->GetItemLinks()->GetBarControl(), nullptr);
}

}  // namespace
