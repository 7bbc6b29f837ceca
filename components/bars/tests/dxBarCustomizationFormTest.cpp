// The customization form at run time: opened and closed with the manager's customizing mode,
// its toolbars list, its options acting on the manager, a command dragged from its list onto a
// toolbar and dragged off again, and the pictures of its three pages.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCustForm.h"
#include "components/bars/dxBarDragInfo.h"
#include "components/bars/dxBarNameEd.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/forms/Filer.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/Backend.h"
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
  static std::string Rows(TListBox* list) { return Rows(list->GetItems()); }
  static std::string Rows(TStrings* items) {
    std::string rows;
    for (Integer i = 0; i < items->GetCount(); ++i) rows += items->Get(i) + "|";
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
  // A new toolbar, named in the name dialog, joins the list and becomes the selected one.
  AnsiString proposed;
  orv::headless::SetIdleHandler([&] {
    TdxBarNameEd* editor = GetActiveNameEditor();
    if (!editor) return false;
    proposed = editor->GetNameEdit()->GetText();
    editor->GetNameEdit()->SetText("Drawing");
    editor->GetOKButton()->Click();
    return true;
  });
  form->NewToolBar();
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_EQ(proposed, "Custom 1");
  ASSERT_EQ(Manager->GetBarCount(), 4);
  EXPECT_EQ(Manager->GetBar(3)->GetCaption(), "Drawing");
  EXPECT_EQ(form->GetBarsListBox()->GetItems()->GetCount(), 4);
  EXPECT_EQ(form->GetBarsListBox()->GetItemIndex(), 3);
  // Cancelled, the dialog makes no toolbar.
  orv::headless::SetIdleHandler([&] {
    TdxBarNameEd* editor = GetActiveNameEditor();
    if (!editor) return false;
    editor->GetCancelButton()->Click();
    return true;
  });
  form->NewToolBar();
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_EQ(Manager->GetBarCount(), 4);
}

// What the name dialog shows and allows: the caption and label of each use, OK only with a
// name, and no toolbar caption given twice.
TEST_F(BarCustomizationFormTest, TheNameDialogRefusesEmptyNamesAndTakenToolbarCaptions) {
  struct Case {
    Integer Kind, Mode;
    const char* Caption;
    const char* Label;
  };
  const Case cases[] = {{0, 0, "Add Toolbar", "&Toolbar name:"},
                        {0, 1, "Rename Toolbar", "&Toolbar name:"},
                        {1, 0, "Add Category", "&Category name:"},
                        {1, 1, "Insert Category", "&Category name:"},
                        {1, 2, "Rename Category", "&Category name:"},
                        {1, 7, "", "&Category name:"}};
  for (const Case& c : cases) {
    std::string caption, label;
    orv::headless::SetIdleHandler([&] {
      TdxBarNameEd* editor = GetActiveNameEditor();
      if (!editor) return false;
      caption = editor->GetCaption();
      label = editor->GetNameLabel()->GetCaption();
      editor->GetCancelButton()->Click();
      return true;
    });
    AnsiString name = "x";
    EXPECT_FALSE(ShowNameEditor(name, c.Kind, c.Mode, nullptr, Manager));
    orv::headless::SetIdleHandler(nullptr);
    EXPECT_EQ(caption, c.Caption) << c.Kind << c.Mode;
    EXPECT_EQ(label, c.Label);
    EXPECT_EQ(name, "x");
  }

  // An empty name cannot be confirmed; one character enables OK.
  std::vector<bool> okEnabled;
  std::vector<std::string> messages;
  orv::SetMessageBoxHandler([&](HWND, const AnsiString& text, const AnsiString&, UINT type) {
    messages.push_back(text + (type & MB_ICONERROR ? " (error)" : ""));
    return IDOK;
  });
  Integer step = 0;
  orv::headless::SetIdleHandler([&] {
    TdxBarNameEd* editor = GetActiveNameEditor();
    if (!editor) return false;
    switch (step++) {
      case 0:
        okEnabled.push_back(editor->GetOKButton()->GetEnabled());
        editor->GetNameEdit()->SetText("S");
        okEnabled.push_back(editor->GetOKButton()->GetEnabled());
        // Another toolbar's caption: the dialog stays open with a message.
        editor->GetNameEdit()->SetText("Standard");
        editor->GetOKButton()->Click();
        return true;
      case 1:
        editor->GetNameEdit()->SetText("Standard 2");
        editor->GetOKButton()->Click();
        return true;
      default:
        return false;
    }
  });
  AnsiString name;
  EXPECT_TRUE(ShowNameEditor(name, 0, 0, nullptr, Manager));
  orv::headless::SetIdleHandler(nullptr);
  orv::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(okEnabled, (std::vector<bool>{false, true}));
  EXPECT_EQ(messages, (std::vector<std::string>{"A toolbar named 'Standard' already exists. Type another name. (error)"}));
  EXPECT_EQ(name, "Standard 2");

  // Renaming a toolbar to its own caption is no clash; category names are never checked.
  messages.clear();
  orv::SetMessageBoxHandler([&](HWND, const AnsiString& text, const AnsiString&, UINT) {
    messages.push_back(text);
    return IDOK;
  });
  for (Integer kind : {0, 1}) {
    orv::headless::SetIdleHandler([&] {
      TdxBarNameEd* editor = GetActiveNameEditor();
      if (!editor) return false;
      editor->GetOKButton()->Click();
      return true;
    });
    AnsiString own = "Standard";
    EXPECT_TRUE(ShowNameEditor(own, kind, 1, kind == 0 ? Manager->GetBar(1) : nullptr, Manager));
    orv::headless::SetIdleHandler(nullptr);
  }
  orv::SetMessageBoxHandler(nullptr);
  EXPECT_TRUE(messages.empty());
}

TEST_F(BarCustomizationFormTest, OnlyAToolbarTheUserMadeCanBeRenamedAtRunTime) {
  TdxBarCustomizationForm* form = Open();
  ASSERT_NE(form, nullptr);
  // The first toolbar, read from the form description, is selected.
  EXPECT_FALSE(form->GetToolbarButton(1)->GetEnabled());
  orv::headless::SetIdleHandler([&] {
    TdxBarNameEd* editor = GetActiveNameEditor();
    if (!editor) return false;
    editor->GetOKButton()->Click();
    return true;
  });
  form->NewToolBar();
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_TRUE(form->GetToolbarButton(1)->GetEnabled());
  orv::headless::SetIdleHandler([&] {
    TdxBarNameEd* editor = GetActiveNameEditor();
    if (!editor) return false;
    EXPECT_EQ(editor->GetNameEdit()->GetText(), "Custom 1");
    editor->GetNameEdit()->SetText("Mine");
    editor->GetOKButton()->Click();
    return true;
  });
  form->GetToolbarButton(1)->Click();
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_EQ(Manager->GetBar(3)->GetCaption(), "Mine");
  EXPECT_EQ(form->GetBarsListBox()->GetItems()->Get(3), "Mine");
  // A predefined toolbar is not offered, and asking anyway changes nothing.
  form->GetBarsListBox()->SetItemIndex(1);
  form->SyncSelectionToDesigner(form->GetBarsListBox());
  EXPECT_FALSE(form->GetToolbarButton(1)->GetEnabled());
  form->RenameSelectedToolBar();
  EXPECT_EQ(Manager->GetBar(1)->GetCaption(), "Standard");
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

// Both animation combos list the five animations, show the manager's and set it when the user
// chooses one; a change made by code shows in both.
TEST_F(BarCustomizationFormTest, TheMenuAnimationCombosActOnTheManager) {
  Manager->SetMenuAnimations(maSlide);
  TdxBarCustomizationForm* form = Open();
  ASSERT_NE(form, nullptr);
  for (const Boolean enhanced : {false, true}) {
    TComboBox* combo = form->GetMenuAnimationsComboBox(enhanced);
    EXPECT_EQ(Rows(combo->GetItems()), "(None)|Random|Unfold|Slide|Fade|");
    EXPECT_EQ(combo->GetItemIndex(), 3);
  }
  // The user picks "Fade" in the standard panel's combo by the keyboard.
  form->SetActivePageIndex(2);
  orv::headless::ProcessMessages();
  TComboBox* standard = form->GetMenuAnimationsComboBox(false);
  ASSERT_TRUE(standard->GetVisible());
  standard->SetFocus();
  orv::headless::PressKey(VK_END);
  orv::headless::ProcessMessages();
  EXPECT_EQ(Manager->GetMenuAnimations(), maFade);
  EXPECT_EQ(form->GetMenuAnimationsComboBox(true)->GetItemIndex(), 4);
  Manager->SetMenuAnimations(maNone);
  EXPECT_EQ(standard->GetItemIndex(), 0);
  EXPECT_EQ(form->GetMenuAnimationsComboBox(true)->GetItemIndex(), 0);
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
  orv::headless::MouseMove(from.X, from.Y + 5);
  orv::headless::MouseMove(to.X, to.Y);
  orv::headless::MouseUp();
  orv::headless::ProcessMessages();
  ASSERT_EQ(links->GetCount(), 3);
  EXPECT_EQ(links->GetItem(2)->GetItem(), Manager->GetItemByName("bSave"));
  EXPECT_EQ(GetActiveBarDrag(), nullptr);
  // The new link is the selection, and the commands list shows its command.
  EXPECT_EQ(commands->GetItemIndex(), 2);

  // Dragged off the bars with the mouse, the new button goes.
  const TPoint added = ScreenCenter(toolbar, links->GetItem(2)->GetItemRect());
  orv::headless::MouseMove(added.X, added.Y);
  orv::headless::MouseDown();
  orv::headless::MouseMove(added.X, added.Y + 4);
  orv::headless::MouseMove(5, 5);
  orv::headless::MouseUp();
  orv::headless::ProcessMessages();
  ASSERT_EQ(links->GetCount(), 2);
  EXPECT_EQ(links->GetItem(1)->GetItem(), Manager->GetItemByName("bOpen"));
  EXPECT_EQ(GetCapture(), nullptr);

  // A command released over nothing adds nothing, and so does a press that never moved.
  orv::headless::MouseMove(from.X, from.Y);
  orv::headless::MouseDown();
  orv::headless::MouseMove(from.X, from.Y + 5);
  orv::headless::MouseMove(5, 5);
  orv::headless::MouseUp();
  orv::headless::MouseMove(from.X, from.Y);
  orv::headless::MouseDown();
  orv::headless::MouseUp();
  orv::headless::ProcessMessages();
  EXPECT_EQ(links->GetCount(), 2);
}

// Dragging the buttons of a customized toolbar with the mouse.
class BarItemDragTest : public BarCustomizationFormTest {
 protected:
  void SetUp() override {
    BarCustomizationFormTest::SetUp();
    CustomizationForm = Open();
    ASSERT_NE(CustomizationForm, nullptr);
    // Beside the window of the bars, not over it.
    CustomizationForm->SetBounds(560, 300, CustomizationForm->GetWidth(), CustomizationForm->GetHeight());
    orv::headless::ProcessMessages();
    Links = Manager->GetBar(1)->GetLinks();
    Toolbar = Links->GetBarControl();
    ASSERT_NE(Toolbar, nullptr);
  }
  TPoint Center(Integer index) { return ScreenCenter(Toolbar, Links->GetItem(index)->GetItemRect()); }
  // Where a point on the right end of a button lies on the screen.
  TPoint RightEnd(Integer index) {
    const TRect r = Links->GetItem(index)->GetItemRect();
    return ScreenCenter(Toolbar, TRect{r.Right - 4, r.Top, r.Right, r.Bottom});
  }
  std::string Names() {
    std::string names;
    for (Integer i = 0; i < Links->GetCount(); ++i)
      names += Links->GetItem(i)->GetItem()->GetName() + (Links->GetItem(i)->GetBeginGroupValue() ? "*" : "") + "|";
    return names;
  }
  // Presses at `from` and passes each point of `path` in turn (the first one starts the drag).
  static void Press(const TPoint& from, const std::vector<TPoint>& path) {
    orv::headless::MouseMove(from.X, from.Y);
    orv::headless::MouseDown();
    for (const TPoint& p : path) orv::headless::MouseMove(p.X, p.Y);
  }
  TdxBarCustomizationForm* CustomizationForm = nullptr;
  TdxBarItemLinks* Links = nullptr;
  TCustomdxBarControl* Toolbar = nullptr;
};

TEST_F(BarItemDragTest, AButtonMovesWhereItIsDroppedAndCtrlCopiesIt) {
  ASSERT_EQ(Names(), "bNew|bOpen|");
  const TPoint newButton = Center(0);
  // A press without a move only selects the button's command.
  orv::headless::MouseMove(Center(1).X, Center(1).Y);
  orv::headless::MouseDown();
  orv::headless::MouseUp();
  orv::headless::ProcessMessages();
  EXPECT_EQ(Names(), "bNew|bOpen|");
  EXPECT_EQ(CustomizationForm->GetCommandsListBox()->GetItemIndex(), 1);
  EXPECT_EQ(GetCapture(), nullptr);

  // New dropped on the right half of Open moves behind it.
  Press(newButton, {TPoint{newButton.X + 5, newButton.Y}, RightEnd(1)});
  orv::headless::MouseUp();
  orv::headless::ProcessMessages();
  ASSERT_EQ(Names(), "bOpen|bNew|");
  EXPECT_EQ(GetActiveBarDrag(), nullptr);

  // With Ctrl held while it is dragged, the source stays: Open is copied behind New.
  const TPoint open = Center(0);
  Press(open, {TPoint{open.X + 5, open.Y}});
  orv::headless::KeyDown(VK_CONTROL);
  const TPoint target = RightEnd(1);
  orv::headless::MouseMove(target.X, target.Y);
  orv::headless::MouseUp();
  orv::headless::KeyUp(VK_CONTROL);
  orv::headless::ProcessMessages();
  EXPECT_EQ(Names(), "bOpen|bNew|bOpen|");

  // Ctrl pressed and let go again during the drag moves after all.
  const TPoint last = Center(2);
  Press(last, {TPoint{last.X - 5, last.Y}});
  orv::headless::KeyDown(VK_CONTROL);
  orv::headless::KeyUp(VK_CONTROL);
  const TPoint first = Center(0);
  orv::headless::MouseMove(first.X - 3, first.Y);
  orv::headless::MouseUp();
  orv::headless::ProcessMessages();
  EXPECT_EQ(Names(), "bOpen|bOpen|bNew|");
}

TEST_F(BarItemDragTest, EscapeEndsTheDragWithTheBarsUnchanged) {
  const HCURSOR before = LoadCursor(nullptr, IDC_ARROW);
  SetCursor(before);
  const TPoint newButton = Center(0);
  Press(newButton, {TPoint{newButton.X + 5, newButton.Y}, RightEnd(1)});
  orv::headless::KeyDown(VK_ESCAPE);
  orv::headless::KeyUp(VK_ESCAPE);
  orv::headless::MouseUp();
  orv::headless::ProcessMessages();
  EXPECT_EQ(Names(), "bNew|bOpen|");
  EXPECT_EQ(GetActiveBarDrag(), nullptr);
  EXPECT_EQ(GetCursor(), before);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(BarItemDragTest, ADragWithinTheButtonStartsOrEndsItsGroupBeyondThreePixels) {
  // Each row: the distance dragged along the bar and the group start it leaves on Open.
  struct Case {
    Integer Distance;
    Boolean BeginGroup;
  };
  const Case cases[] = {{3, false}, {-4, false}, {4, true}, {-3, true}, {6, true}, {-4, false}};
  for (const Case& c : cases) {
    const TPoint open = Center(1);
    const Integer step = c.Distance > 0 ? 3 : -3;
    Press(open, {TPoint{open.X + step, open.Y}, TPoint{open.X + c.Distance, open.Y}});
    orv::headless::MouseUp();
    orv::headless::ProcessMessages();
    ASSERT_EQ(Links->GetCount(), 2) << Names() << c.Distance;
    EXPECT_EQ(Links->GetItem(1)->GetBeginGroupValue(), c.BeginGroup) << c.Distance;
  }
}

TEST_F(BarItemDragTest, TheInsertionMarkShowsWhereTheButtonWouldLand) {
  const TPoint newButton = Center(0);
  const TRect open = Links->GetItem(1)->GetItemRect();
  struct Seen {
    Boolean Shown = false;
    TRect Rect;
    Boolean FirstPart = true;
    TdxBarDragState State = dsNoneDrag;
    orv::TSurface WithMark, WithoutMark;
  } seen;
  orv::headless::SetIdleHandler([&] {
    TdxBarDragInfo* drag = GetActiveBarDrag();
    if (!drag) return false;
    seen.Shown = drag->IsMarkShown();
    seen.Rect = drag->GetMarkRect();
    seen.FirstPart = drag->GetMarkFirstPart();
    seen.State = drag->GetState();
    seen.WithMark = orv::headless::CaptureClient(Toolbar->GetHandle()).Clone();
    // Drawn a second time the inverted mark goes, and a third time it is back.
    HDC dc = GetDC(Toolbar->GetHandle());
    TdxBarDragInfo::DrawMark(dc, seen.Rect, false, seen.FirstPart);
    seen.WithoutMark = orv::headless::CaptureClient(Toolbar->GetHandle()).Clone();
    TdxBarDragInfo::DrawMark(dc, seen.Rect, false, seen.FirstPart);
    ReleaseDC(Toolbar->GetHandle(), dc);
    orv::headless::MouseUp();
    return true;
  });
  Press(newButton, {TPoint{newButton.X + 5, newButton.Y}, RightEnd(1)});
  orv::headless::ProcessMessages();
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_EQ(seen.State, dsMove);
  ASSERT_TRUE(seen.Shown);
  // Open ends the row: the mark stands at its end.
  EXPECT_EQ(seen.Rect, open);
  EXPECT_FALSE(seen.FirstPart);
  ASSERT_FALSE(seen.WithMark.IsEmpty());
  // The I-beam: its two stems and its serifs are inverted pixels, the rest of the button is not.
  const Integer l = open.Right - 6, middle = (open.Top + open.Bottom) / 2;
  const struct {
    Integer X, Y;
    Boolean Inverted;
  } pixels[] = {{l + 2, middle, true},       {l + 3, middle, true},         {l, open.Top, true},
                {l + 5, open.Top, true},      {l + 1, open.Top + 1, true},   {l, open.Bottom - 1, true},
                {l + 1, middle, false},       {l + 4, middle, false},        {l - 1, middle, false},
                {l + 6, open.Top, false}};
  for (const auto& p : pixels) {
    const orv::TPixel with = seen.WithMark.Pixel(p.X, p.Y) & 0xFFFFFF;
    const orv::TPixel without = seen.WithoutMark.Pixel(p.X, p.Y) & 0xFFFFFF;
    if (p.Inverted)
      EXPECT_EQ(with, ~without & 0xFFFFFF) << p.X << "," << p.Y;
    else
      EXPECT_EQ(with, without) << p.X << "," << p.Y;
  }
  EXPECT_EQ(Names(), "bOpen|bNew|");
}

TEST_F(BarItemDragTest, DoubleClickOnADockSiteStartsCustomizing) {
  Manager->SetCustomizingMode(false);
  ASSERT_EQ(GetActiveCustomizationForm(), nullptr);
  TdxDockControl* dock = Manager->GetBars()->GetDockControl(dsTop);
  ASSERT_NE(dock, nullptr);
  RECT site{}, bar{};
  GetWindowRect(dock->GetHandle(), &site);
  GetWindowRect(Toolbar->GetHandle(), &bar);
  // The free room right of the Standard toolbar, in its row.
  orv::headless::DoubleClick(site.Right - 5, (bar.Top + bar.Bottom) / 2);
  orv::headless::ProcessMessages();
  EXPECT_TRUE(Manager->IsCustomizing());
  EXPECT_NE(GetActiveCustomizationForm(), nullptr);
  // Not for a manager that may not be customized.
  Manager->SetCustomizingMode(false);
  Manager->SetCanCustomize(false);
  orv::headless::DoubleClick(site.Right - 5, (bar.Top + bar.Bottom) / 2);
  orv::headless::ProcessMessages();
  EXPECT_FALSE(Manager->IsCustomizing());
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
