// Bars as the manager's model holds them: the main-menu invariants, unique captions, clamped
// positions, the values a description gives while the manager loads, the bar events, the bar's
// own font and the queries the toolbar windows ask.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarStrs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/windowing/Headless.h"

namespace {

using orv::test::Owned;

class TBarEvents : public TObject {
  ORV_CLASS(TBarEvents, TObject)
 public:
  TBarEvents() = default;
  void Add(TdxBarManager*, TdxBar* bar) { Log.push_back("add:" + bar->GetCaption()); }
  void Delete(TdxBarManager*, TdxBar* bar) { Log.push_back("delete:" + bar->GetCaption()); }
  void VisibleChange(TdxBarManager*, TdxBar* bar) {
    Log.push_back("visible:" + bar->GetCaption() + (bar->GetVisible() ? "=1" : "=0"));
  }
  void DockingStyleChange(TdxBarManager*, TdxBar* bar) { Log.push_back("dock:" + bar->GetCaption()); }
  std::vector<AnsiString> Log;
};

class BarTest : public orv::test::HeadlessFormTest {
 protected:
  // A form of no size with border and caption, never shown: the bars are only built.
  BarTest() : HeadlessFormTest({0, 0, 0, 0}, false) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = new TdxBarManager(Form.get());
  }
  void Listen(TdxBarManager* manager) {
    manager->SetOnBarAdd(TdxBarEvent(&Events, &TBarEvents::Add));
    manager->SetOnBarDelete(TdxBarEvent(&Events, &TBarEvents::Delete));
    manager->SetOnBarVisibleChange(TdxBarVisibleChangeEvent(&Events, &TBarEvents::VisibleChange));
    manager->SetOnBarDockingStyleChange(TdxBarEvent(&Events, &TBarEvents::DockingStyleChange));
  }

  TdxBarManager* Manager = nullptr;
  TBarEvents Events;
};

TEST_F(BarTest, OneMainMenuAtATimeAlwaysMultiLineAndAWholeRow) {
  TdxBar* first = Manager->AddToolbar(true);
  TdxBar* second = Manager->AddToolbar();
  EXPECT_TRUE(first->GetMultiLine());
  EXPECT_TRUE(first->GetWholeRow());
  EXPECT_FALSE(second->GetMultiLine());
  first->SetMultiLine(false);  // refused on a main menu
  first->SetWholeRow(false);
  EXPECT_TRUE(first->GetMultiLine());
  EXPECT_TRUE(first->GetWholeRow());

  second->SetIsMainMenu(true);
  EXPECT_EQ(Manager->GetMainMenuBarRaw(), second);
  EXPECT_FALSE(first->GetIsMainMenu());
  EXPECT_FALSE(first->GetMultiLine());
  EXPECT_FALSE(first->GetWholeRow());
  EXPECT_TRUE(second->GetMultiLine());
  EXPECT_TRUE(second->GetWholeRow());
  EXPECT_FALSE(second->CanClose());
  EXPECT_TRUE(first->CanClose());

  second->SetIsMainMenu(false);
  EXPECT_EQ(Manager->GetMainMenuBarRaw(), nullptr);
  second->Free();
  first->SetIsMainMenu(true);
  first->Free();  // the manager forgets its main menu with it
  EXPECT_EQ(Manager->GetMainMenuBarRaw(), nullptr);
}

TEST_F(BarTest, CaptionsStayUniqueAndPositionsAreNeverNegative) {
  TdxBar* a = Manager->AddToolbar();
  TdxBar* b = Manager->AddToolbar();
  a->SetCaption("Tools");
  b->SetCaption("Tools");
  EXPECT_EQ(b->GetCaption(), "Custom 2");
  b->SetCaption("Edit");
  EXPECT_EQ(b->GetCaption(), "Edit");

  struct {
    void (TdxBar::*set)(Integer);
    Integer (TdxBar::*get)() const;
  } clamped[] = {{&TdxBar::SetDockedLeft, &TdxBar::GetDockedLeft},
                 {&TdxBar::SetDockedTop, &TdxBar::GetDockedTop},
                 {&TdxBar::SetRow, &TdxBar::GetRow}};
  TdxBar* rowless = Manager->GetBars()->Add();  // in no dock row: Row reads what was set
  for (auto c : clamped) {
    (rowless->*c.set)(7);
    EXPECT_EQ((rowless->*c.get)(), 7);
    (rowless->*c.set)(-3);
    EXPECT_EQ((rowless->*c.get)(), 0);
  }
  // A docked bar reads the row it is in: asked for row 7 of two, it gets one new last row,
  // and its own first row, left empty, goes.
  ASSERT_NE(a->GetDockRow(), nullptr);
  a->SetRow(7);
  EXPECT_EQ(a->GetRow(), 1);
  EXPECT_EQ(b->GetRow(), 0);
  a->SetRow(-3);
  EXPECT_EQ(a->GetRow(), 0);
  a->SetFloatLeft(-40);  // floating windows may stand left of the screen
  EXPECT_EQ(a->GetFloatLeft(), -40);
}

TEST_F(BarTest, BarEventsFireForChangesButNotForTheManagersOwnTeardown) {
  Listen(Manager);
  TdxBar* bar = Manager->AddToolbar();  // added, docked at the top and shown
  EXPECT_EQ(Events.Log, (std::vector<AnsiString>{"add:", "dock:Custom 1", "visible:Custom 1=1"}));
  Events.Log.clear();
  bar->SetVisible(true);  // unchanged: nothing
  bar->DockTo(dsNone);
  bar->SetVisible(false);
  bar->SetDockingStyle(dsNone);
  EXPECT_EQ(Events.Log, (std::vector<AnsiString>{"dock:Custom 1", "visible:Custom 1=0"}));
  EXPECT_EQ(bar->GetDockingStyle(), dsNone);
  Events.Log.clear();
  bar->Free();
  EXPECT_EQ(Events.Log, (std::vector<AnsiString>{"delete:Custom 1"}));
  Manager->AddToolbar();
  Events.Log.clear();
  Form.reset();  // the manager goes with its bars: no deletes reported
  EXPECT_TRUE(Events.Log.empty());
}

TEST_F(BarTest, MovingIsImpossibleOnlyWhenNoStyleIsLeft) {
  TdxBar* bar = Manager->AddToolbar();
  EXPECT_TRUE(bar->CanMove());
  bar->SetNotDocking(TdxBarDockingStyles{dsLeft, dsTop, dsRight, dsBottom});
  EXPECT_TRUE(bar->CanMove());  // it may still float
  Manager->SetNotDocking(TdxBarDockingStyles{dsNone});
  EXPECT_FALSE(bar->CanMove());
  bar->SetNotDocking(TdxBarDockingStyles{});
  EXPECT_TRUE(bar->CanMove());

  EXPECT_FALSE(bar->CanHaveSizeGrip());
  bar->SetBorderStyle(bbsNone);
  bar->SetDockingStyle(dsBottom);
  bar->SetWholeRow(true);
  EXPECT_TRUE(bar->CanHaveSizeGrip());
  EXPECT_FALSE(bar->CanReset());  // made at run time: nothing to reset to
}

TEST_F(BarTest, TheBarsOwnFontIsTakenByAnOutsideChangeAndGivenBack) {
  Manager->SetUseSystemFont(false);
  Manager->GetFont()->SetName("Arial");
  TdxBar* bar = Manager->AddToolbar();
  EXPECT_EQ(bar->GetFont()->GetName(), "Arial");  // the manager's, not the bar's own
  EXPECT_FALSE(bar->GetUseOwnFont());
  bar->GetFont()->SetName("Tahoma");
  EXPECT_TRUE(bar->GetUseOwnFont());
  EXPECT_EQ(bar->GetItemFont()->GetName(), "Tahoma");
  EXPECT_TRUE(bar->IsFontStored());
  bar->SetUseOwnFont(false);
  EXPECT_EQ(bar->GetFont()->GetName(), "Arial");
  EXPECT_FALSE(bar->GetUseOwnFont());
  EXPECT_FALSE(bar->IsFontStored());
}

TEST_F(BarTest, AssignCopiesTheBarAndItsLinks) {
  auto* button = new TdxBarButton(Form.get());
  Manager->AddToolbar()->SetDockingStyle(dsLeft);
  TdxBar* source = Manager->AddToolbar();
  source->SetCaption("Source");
  source->SetDockingStyle(dsLeft);
  source->SetRow(2);  // a new last row of the left site: its second
  ASSERT_EQ(source->GetRow(), 1);
  source->SetAllowClose(false);
  source->SetColor(clRed);
  source->GetLinks()->AddItem(button);
  TdxBar* copy = Manager->AddToolbar();
  copy->Assign(source);
  EXPECT_NE(copy->GetCaption(), "Source");  // captions stay unique
  EXPECT_EQ(copy->GetDockingStyle(), dsLeft);
  // Row is copied as the source reads it (1), while the copy still stands alone at the top,
  // where it becomes a new last row that its emptied old one leaves as the first; docked on
  // the left from there, it opens a new first row of its own.
  EXPECT_EQ(copy->GetRow(), 0);
  EXPECT_EQ(copy->GetDockRow()->GetDockControl(), GetFormDockControl(Manager, dsLeft));
  EXPECT_FALSE(copy->GetAllowClose());
  EXPECT_EQ(copy->GetColor(), clRed);
  ASSERT_EQ(copy->GetLinks()->GetCount(), 1);
  EXPECT_EQ(copy->GetLinks()->GetItem(0)->GetItem(), button);
}

TEST_F(BarTest, ADescriptionsValuesApplyWhenLoadingEndsAndMakeTheBarsPredefined) {
  const char* text =
      "object BarForm: TForm\n"
      "  object dxBarManager1: TdxBarManager\n"
      "    object dxBarManager1Bar1: TdxBar\n"
      "      Caption = 'Tools'\n"
      "      DockedDockingStyle = dsTop\n"
      "      DockedLeft = 0\n"
      "      DockedTop = 0\n"
      "      DockingStyle = dsLeft\n"
      "      FloatLeft = 0\n"
      "      FloatTop = 0\n"
      "      FloatClientWidth = 0\n"
      "      FloatClientHeight = 0\n"
      "      OneOnRow = True\n"
      "      Row = 1\n"
      "      UseOwnFont = False\n"
      "      Visible = True\n"
      "      WholeRow = False\n"
      "    end\n"
      "  end\n"
      "end\n";
  Form.reset();
  Owned<TForm> form(new TForm(nullptr));
  orv::ReadComponentFromText(form.get(), text);
  TdxBarManager* manager = GetBarManagerOwnedBy(form.get());
  ASSERT_NE(manager, nullptr);
  ASSERT_EQ(manager->GetBarCount(), 1);
  TdxBar* bar = manager->GetBar(0);
  EXPECT_EQ(bar->GetDockingStyle(), dsLeft);
  EXPECT_TRUE(bar->GetVisible());
  EXPECT_EQ(bar->GetRow(), 1);
  EXPECT_TRUE(bar->CanReset());
  // Applying what was read is no docking change of the user's.
  EXPECT_FALSE(bar->GetChanged());
  // A bar added afterwards is not one of the designed bars.
  EXPECT_FALSE(manager->AddToolbar()->CanReset());
  manager->GetBar(1)->Free();
  // Written back as read.
  const AnsiString barPart(std::strstr(text, "    object dxBarManager1Bar1"));
  const AnsiString written = orv::WriteComponentToText(form.get());
  EXPECT_NE(written.find(barPart.substr(0, barPart.find("    end\n") + 8)), AnsiString::npos) << written;
}

struct TCountingDesigner : IDesignerNotify {
  int Modified_ = 0;
  void Modified() override { ++Modified_; }
};

TEST_F(BarTest, AChangedBarTellsTheFormsDesigner) {
  TdxBar* bar = Manager->AddToolbar();
  TCountingDesigner designer;
  Form->SetDesigner(&designer);
  IncludeComponentState(Manager, TComponentState{csDesigning});
  bar->SetCaption("Tools");
  EXPECT_EQ(designer.Modified_, 1);
  bar->SetCaption("Tools");  // unchanged
  bar->SetShowMark(false);   // kept without a change report
  EXPECT_EQ(designer.Modified_, 1);
  bar->SetDockedLeft(4);
  EXPECT_EQ(designer.Modified_, 2);
  ExcludeComponentState(Manager, TComponentState{csDesigning});
  Form->SetDesigner(nullptr);
}

// ---- Merging

class BarMergeTest : public BarTest {
 protected:
  void SetUp() override {
    BarTest::SetUp();
    A = Bar("A");
    B = Bar("B");
    C = Bar("C");
  }
  TdxBar* Bar(const char* caption) {
    TdxBar* bar = Manager->AddToolbar();
    bar->SetCaption(caption);
    auto* button = new TdxBarButton(Form.get());
    button->SetCaption(AnsiString(caption) + "1");
    bar->GetLinks()->AddItem(button);
    return bar;
  }
  static std::vector<AnsiString> Captions(TdxBar* bar) {
    std::vector<AnsiString> captions;
    for (Integer i = 0; i < bar->GetLinks()->GetCount(); ++i) captions.push_back(bar->GetLinks()->GetItem(i)->GetCaption());
    return captions;
  }
  TdxBar* A = nullptr;
  TdxBar* B = nullptr;
  TdxBar* C = nullptr;
};

TEST_F(BarMergeTest, AMergedBarsLinksJoinTheTargetAndItHidesUntilUnmerged) {
  A->Merge(B);
  EXPECT_EQ(B->GetMergeTarget(), A);
  EXPECT_EQ(Captions(A), (std::vector<AnsiString>{"A1", "B1"}));
  EXPECT_FALSE(B->GetVisible());
  A->UnMerge(B);
  EXPECT_EQ(B->GetMergeTarget(), nullptr);
  EXPECT_EQ(Captions(A), (std::vector<AnsiString>{"A1"}));
  EXPECT_TRUE(B->GetVisible());
  A->UnMerge(B);  // merged into nothing: nothing happens

  // Merged elsewhere: the bar moves, and keeps the visibility it had before the first merge.
  B->SetVisible(false);
  A->Merge(B);
  B->SetVisible(true);  // shown by hand while merged
  C->Merge(B);
  EXPECT_EQ(Captions(A), (std::vector<AnsiString>{"A1"}));
  EXPECT_EQ(Captions(C), (std::vector<AnsiString>{"C1", "B1"}));
  EXPECT_FALSE(B->GetVisible());
  C->UnMerge(nullptr);
  EXPECT_FALSE(B->GetVisible());
}

TEST_F(BarMergeTest, MergeRulesRaiseBeforeAnythingChanges) {
  A->Merge(B);
  struct {
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {[&] { B->Merge(C); }, "You cannot merge a toolbar with a toolbar that is already merged"},
      {[&] { C->Merge(nullptr); }, "You cannot merge with the specified toolbar"},
      {[&] { C->Merge(C); }, "You cannot merge with the specified toolbar"},
      {[&] { A->Merge(B); }, "The 'B' toolbar is already merged with the 'A' toolbar"},
      {[&] { C->Merge(A); }, "The 'A' toolbar has merged toolbars"},
      {[&] { A->UnMerge(A); }, "You cannot unmerge the specified toolbar"},
      {[&] { C->UnMerge(B); }, "The 'B' toolbar is not merged with the 'C' toolbar"},
  };
  for (auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << "no error: " << c.message;
    } catch (EdxException& e) {
      EXPECT_EQ(e.GetMessage(), c.message);
    }
  }
  EXPECT_EQ(B->GetMergeTarget(), A);
  EXPECT_EQ(Captions(A), (std::vector<AnsiString>{"A1", "B1"}));
  EXPECT_EQ(Captions(C), (std::vector<AnsiString>{"C1"}));
}

TEST_F(BarMergeTest, FreeingEitherSideOfAMergeGivesTheOtherBack) {
  A->Merge(B);
  A->Merge(C);
  A->Free();
  EXPECT_EQ(B->GetMergeTarget(), nullptr);
  EXPECT_TRUE(B->GetVisible());
  EXPECT_TRUE(C->GetVisible());
  A = Bar("A");
  A->Merge(B);
  B->Free();
  EXPECT_EQ(A->GetMergedBarCount(), 0);
  EXPECT_EQ(Captions(A), (std::vector<AnsiString>{"A1"}));
}

TEST_F(BarMergeTest, CustomizingTakesMergesApartAndMakesThemAgain) {
  A->Merge(B);
  A->Merge(C);
  Manager->SetCustomizingMode(true);
  EXPECT_EQ(Captions(A), (std::vector<AnsiString>{"A1"}));
  EXPECT_TRUE(B->GetVisible());  // this manager's own bars show while customizing
  EXPECT_TRUE(C->GetVisible());
  C->Free();  // a kept merge whose bar goes is skipped
  Manager->SetCustomizingMode(false);
  EXPECT_EQ(Captions(A), (std::vector<AnsiString>{"A1", "B1"}));
  EXPECT_EQ(B->GetMergeTarget(), A);
  EXPECT_FALSE(B->GetVisible());
}

}  // namespace
