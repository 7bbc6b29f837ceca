// The record navigator of a table view on the headless desktop: shown in a strip under the
// records when the view option says so, its buttons acting on the data controller and enabled by
// its state, clicks and hints by real mouse input, the grid forwarding the navigator interface
// to its focused view, the Insert and Delete keys, and the painted strip (golden image).
#include <gtest/gtest.h>

#include "components/grid/cxGrid.h"
#include "components/grid/cxGridStrs.h"
#include "components/grid/tests/GridFixture.h"
#include "components/grid/tests/GridTableRows.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/drawing/GoldenImage.h"

namespace grid_test {
namespace {

class TNavDataController : public TcxGridDataController {
  ORV_CLASS(TNavDataController, TcxGridDataController)
 public:
  explicit TNavDataController(TComponent* owner) : TcxGridDataController(owner) {}
};

class TNavViewData : public TcxCustomGridTableViewData {
  ORV_CLASS(TNavViewData, TcxCustomGridTableViewData)
 public:
  explicit TNavViewData(TcxCustomGridView* view) : TcxCustomGridTableViewData(view) {}
  TcxCustomGridRecordClass RecordClassForRow(const TcxRowInfo&) override { return grid_rows::TDataRow::StaticClass(); }
};

class TNavColumn : public TcxCustomGridTableItem {
  ORV_CLASS(TNavColumn, TcxCustomGridTableItem)
 public:
  explicit TNavColumn(TComponent* owner) : TcxCustomGridTableItem(owner) {}
};

class TNavView : public TcxCustomGridTableView {
  ORV_CLASS(TNavView, TcxCustomGridTableView)
 public:
  explicit TNavView(TComponent* owner) : TcxCustomGridTableView(owner) {}
  TcxCustomGridTableItemClass GetItemClass() override { return TNavColumn::StaticClass(); }
  TcxCustomDataControllerClass GetDataControllerClass() override { return TNavDataController::StaticClass(); }
  TcxCustomGridViewDataClass GetViewDataClass() override { return TNavViewData::StaticClass(); }
  TcxCustomGridViewInfoClass GetViewInfoClass() override { return grid_rows::TTableViewInfo::StaticClass(); }
};

// What the delete question was asked, answered as the test says.
struct TDeleteQuestion {
  static inline int Asked = 0;
  static inline AnsiString Text;
  static inline Boolean Answer = true;
  static Boolean Ask(const AnsiString& caption, const AnsiString& text) {
    ++Asked;
    Text = text;
    return Answer;
  }
};

class NavigatorTest : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    TDeleteQuestion::Asked = 0;
    TDeleteQuestion::Answer = true;
    FSavedQuestion = TcxCustomGridTableController::DeleteConfirmationQuestion;
    TcxCustomGridTableController::DeleteConfirmationQuestion = &TDeleteQuestion::Ask;
    View = static_cast<TNavView*>(Grid->CreateView(TNavView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
    AddColumn("Страна"_a);
    AddColumn("Город"_a);
    Grid->GetFont()->SetName("Arial");
    Grid->GetFont()->SetHeight(-11);
    Grid->SetBorderStyle(cxcbsNone);
    Grid->GetLookAndFeel()->SetKind(lfStandard);
    Grid->GetLookAndFeel()->SetNativeStyle(false);
    Grid->SetBounds(10, 10, 300, 150);
    View->GetTableOptionsView()->SetNavigator(true);
  }
  void AddColumn(const AnsiString& caption) {
    TcxCustomGridTableItem* item = View->CreateItem();
    item->SetCaption(caption);
    item->SetWidth(100);
  }
  void TearDown() override {
    TcxCustomGridTableController::DeleteConfirmationQuestion = FSavedQuestion;
    GridFixture::TearDown();
  }
  void Fill(Integer count) {
    TcxCustomDataController* dc = View->GetDataController();
    dc->BeginUpdate();
    dc->SetRecordCount(count);
    for (Integer i = 0; i < count; ++i) {
      dc->SetValue(i, 0, Variant(i % 2 ? "Россия"_a : "Франция"_a));
      dc->SetValue(i, 1, Variant("Town" + IntToStr(i)));
    }
    dc->EndUpdate();
  }
  void Layout() {
    Show();
    Run();
  }
  TcxCustomGridTableViewInfo* ViewInfo() const { return View->GetTableViewInfo(); }
  TcxNavigatorViewInfo* Navigator() const { return ViewInfo()->GetNavigatorViewInfo(); }
  TcxCustomGridTableController* Ctrl() const { return View->GetTableController(); }
  TcxCustomDataController* DC() const { return View->GetDataController(); }
  // The centre of a button, in screen coordinates.
  TPoint ButtonPoint(Integer index) {
    TcxNavigatorButtonViewInfo* info = Navigator()->FindButtonViewInfo(View->GetNavigatorButtons()->GetButton(index));
    EXPECT_NE(info, nullptr) << index;
    if (!info) return {};
    const TRect& b = info->Bounds;
    return View->GetSite()->ClientToScreen(TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
  }
  void ClickButton(Integer index) {
    const TPoint p = ButtonPoint(index);
    orv::headless::MouseMove(p.X, p.Y);
    orv::headless::Click(p.X, p.Y);
    Run();
  }
  Boolean Enabled(Integer index) { return View->GetNavigatorButtons()->GetButton(index)->GetEffectiveEnabled(); }

  TNavView* View = nullptr;

 private:
  Boolean (*FSavedQuestion)(const AnsiString&, const AnsiString&) = nullptr;
};

TEST_F(NavigatorTest, TheStripLiesUnderTheRecordsOnlyWhenTheOptionSaysSo) {
  Fill(3);
  View->GetTableOptionsView()->SetNavigator(false);
  Layout();
  const Integer fullBottom = ViewInfo()->GetBounds().Bottom;
  EXPECT_FALSE(ViewInfo()->GetNavigatorSiteViewInfo()->GetVisible());
  EXPECT_EQ(ViewInfo()->GetHitTest(TPoint{5, fullBottom - 3})->GetHitTestCode(), 0);

  View->GetTableOptionsView()->SetNavigator(true);
  Run();
  const Integer height = ViewInfo()->NavigatorSiteHeight();
  EXPECT_EQ(height, GetSystemMetrics(SM_CYHSCROLL)) << "as tall as the horizontal scroll bar";
  EXPECT_EQ(ViewInfo()->GetBounds().Bottom, fullBottom - height) << "the records give up the strip";
  const TRect site = ViewInfo()->GetNavigatorSiteViewInfo()->GetBounds();
  EXPECT_EQ(site.Top, fullBottom - height);
  EXPECT_EQ(site.Bottom, fullBottom);
  EXPECT_EQ(site.Left, 0);
  // Fifteen buttons (Append hidden), the offset to the right of them.
  EXPECT_EQ(Navigator()->GetButtonViewInfoCount(), 15);
  const TRect row = ViewInfo()->GetNavigatorBounds();
  EXPECT_EQ(row.Width(), ViewInfo()->GetNavigatorSize().cx);
  EXPECT_EQ(site.Width(), row.Width() + 50);
  EXPECT_EQ(Navigator()->GetButtonViewInfo(14)->Bounds.Right, row.Right);
  const TRect first = Navigator()->GetButtonViewInfo(0)->Bounds;
  TcxCustomGridHitTest* hit = ViewInfo()->GetHitTest(TPoint{first.Left + 2, first.Top + 2});
  EXPECT_EQ(hit->GetHitTestCode(), htNavigator);
  EXPECT_EQ(hit->GetViewInfo(), ViewInfo()->GetNavigatorSiteViewInfo());

  // Showing Append widens the row and relays the view out.
  const Integer width = row.Width();
  View->GetNavigatorButtons()->GetButton(NBDI_APPEND)->SetVisible(true);
  Run();
  EXPECT_EQ(Navigator()->GetButtonViewInfoCount(), 16);
  EXPECT_GT(ViewInfo()->GetNavigatorBounds().Width(), width);
  EXPECT_EQ(ViewInfo()->GetNavigatorSiteViewInfo()->GetBounds().Width(), ViewInfo()->GetNavigatorBounds().Width() + 50);
}

TEST_F(NavigatorTest, ButtonsAreEnabledByTheStateOfTheData) {
  Fill(5);
  View->GetTableOptionsData()->SetAppending(true);
  Layout();
  struct Case {
    const char* state;
    std::function<void()> make;
    // First, PriorPage, Prior, Next, NextPage, Last, Insert, Append, Delete, Edit, Post, Cancel.
    const char* enabled;
  };
  const Case cases[] = {
      {"first record", [&] { Ctrl()->GoToFirst(); }, "000111111100"},
      {"middle record", [&] { Ctrl()->SetFocusedRecordIndex(2); }, "111111111100"},
      {"last record", [&] { Ctrl()->GoToLast(); }, "111000111100"},
      {"editing", [&] { DC()->Edit(); }, "111000111011"},
      {"posted", [&] { DC()->Post(); }, "111000111100"},
      {"no appending or deleting",
       [&] {
         View->GetTableOptionsData()->SetAppending(false);
         View->GetTableOptionsData()->SetDeleting(false);
         View->GetTableOptionsData()->SetInserting(false);
       },
       "111000000100"},
  };
  for (const Case& c : cases) {
    c.make();
    Run();
    std::string got;
    for (Integer i = 0; i <= NBDI_CANCEL; ++i) got += Enabled(i) ? '1' : '0';
    EXPECT_EQ(got, c.enabled) << c.state;
    // The cached states the strip paints follow the data's notices.
    for (Integer i = 0; i < Navigator()->GetButtonViewInfoCount(); ++i) {
      TcxNavigatorButtonViewInfo* info = Navigator()->GetButtonViewInfo(i);
      EXPECT_EQ(info->Enabled, info->Button->GetEffectiveEnabled()) << c.state << " button " << info->Button->GetButtonIndex();
    }
  }
  EXPECT_TRUE(Enabled(NBDI_REFRESH));
  EXPECT_TRUE(Enabled(NBDI_FILTER));
  // Filter opens the dialog of the view's whole filter through the installed opener.
  static TcxCustomGridTableFiltering* opened;
  static TcxCustomGridTableItem* openedItem;
  opened = nullptr;
  openedItem = View->GetItem(0);
  SetGridFilterCustomizeProc([](TcxCustomGridTableFiltering* filtering, TcxCustomGridTableItem* item) {
    opened = filtering;
    openedItem = item;
  });
  View->DoAction(NBDI_FILTER);
  SetGridFilterCustomizeProc(nullptr);
  EXPECT_EQ(opened, View->GetFiltering());
  EXPECT_EQ(openedItem, nullptr);
  EXPECT_FALSE(Enabled(NBDI_GOTOBOOKMARK)) << "no bookmark yet";
  // A disabled site disables every button.
  View->GetSite()->SetEnabled(false);
  EXPECT_FALSE(Enabled(NBDI_REFRESH));
  View->GetSite()->SetEnabled(true);
}

TEST_F(NavigatorTest, ClicksMoveTheFocusEditPostCancelAndKeepABookmark) {
  Fill(30);
  View->GetTableOptionsSelection()->SetCellSelect(true);
  Layout();
  Ctrl()->GoToFirst();
  Run();
  ClickButton(NBDI_NEXT);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 1);
  ClickButton(NBDI_LAST);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 29);
  EXPECT_GT(Ctrl()->GetTopRecordIndex(), 0) << "the focused record is brought into view";
  ClickButton(NBDI_FIRST);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 0);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 0);
  ClickButton(NBDI_NEXTPAGE);
  const Integer pageEnd = Ctrl()->GetTopRecordIndex() + Ctrl()->GetVisibleRecordCount() - 1;
  EXPECT_GT(pageEnd, 1);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), pageEnd) << "the last record of the page";
  ClickButton(NBDI_PRIOR);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), pageEnd - 1);

  // A bookmark on the record, then back to it from elsewhere.
  ClickButton(NBDI_SAVEBOOKMARK);
  EXPECT_TRUE(Enabled(NBDI_GOTOBOOKMARK));
  ClickButton(NBDI_LAST);
  ClickButton(NBDI_GOTOBOOKMARK);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), pageEnd - 1);

  // Edit opens the focused cell's editor; Cancel drops what was typed; Post keeps it.
  const Integer row = pageEnd - 1;
  View->GetSite()->SetFocus();
  View->GetItem(1)->SetFocused(true);
  Run();
  ClickButton(NBDI_EDIT);
  ASSERT_TRUE(Ctrl()->IsEditing());
  orv::headless::TypeUtf8("Тверь");
  Run();
  ClickButton(NBDI_CANCEL);
  EXPECT_FALSE(Ctrl()->IsEditing());
  EXPECT_FALSE(DC()->IsEditing());
  EXPECT_EQ(VarToStr(DC()->GetValue(row, 1)), "Town" + IntToStr(row));
  ClickButton(NBDI_EDIT);
  ASSERT_TRUE(Ctrl()->IsEditing());
  orv::headless::TypeUtf8("Тверь");
  Run();
  EXPECT_TRUE(Enabled(NBDI_POST)) << "typing started the record's edit";
  ClickButton(NBDI_POST);
  EXPECT_FALSE(Ctrl()->IsEditing());
  EXPECT_FALSE(DC()->IsEditing());
  EXPECT_EQ(VarToStr(DC()->GetValue(row, 1)), "Тверь"_a);
}

TEST_F(NavigatorTest, UnderMultiSelectionEveryMoveButtonLeavesTheNewRecordAloneSelected) {
  Fill(30);
  View->GetTableOptionsSelection()->SetMultiSelect(true);
  Layout();
  Ctrl()->GoToFirst();
  Run();
  for (Integer button : {NBDI_NEXT, NBDI_NEXTPAGE, NBDI_NEXTPAGE, NBDI_PRIOR, NBDI_PRIORPAGE, NBDI_LAST, NBDI_FIRST}) {
    DC()->ChangeRowSelection(3, true);
    DC()->ChangeRowSelection(5, true);
    ClickButton(button);
    const Integer focused = Ctrl()->GetFocusedRecordIndex();
    ASSERT_EQ(DC()->GetSelectedCount(), 1) << button;
    EXPECT_EQ(DC()->GetSelectedRowIndex(0), focused) << button;
  }
}

TEST_F(NavigatorTest, InsertAndDeleteAskAsTheDataOptionsSay) {
  Fill(4);
  Layout();
  Ctrl()->SetFocusedRecordIndex(1);
  Run();
  ClickButton(NBDI_INSERT);
  EXPECT_EQ(DC()->GetRecordCount(), 5);
  EXPECT_TRUE(DC()->IsEditing()) << "the new record is being inserted";
  ClickButton(NBDI_CANCEL);
  EXPECT_EQ(DC()->GetRecordCount(), 4);

  // The navigator does not ask itself; the view's confirmation option does, and No keeps it.
  EXPECT_FALSE(View->GetNavigatorButtons()->GetConfirmDelete());
  Ctrl()->SetFocusedRecordIndex(2);
  Run();
  TDeleteQuestion::Answer = false;
  ClickButton(NBDI_DELETE);
  EXPECT_EQ(TDeleteQuestion::Asked, 1);
  EXPECT_EQ(TDeleteQuestion::Text, "Delete record?");
  EXPECT_EQ(DC()->GetRecordCount(), 4);
  TDeleteQuestion::Answer = true;
  ClickButton(NBDI_DELETE);
  EXPECT_EQ(DC()->GetRecordCount(), 3);
  EXPECT_EQ(VarToStr(DC()->GetValue(2, 1)), "Town3");

  // The keys do the same: Delete without the question, Insert a new record.
  View->GetTableOptionsData()->SetDeletingConfirmation(false);
  View->GetSite()->SetFocus();
  Run();
  orv::headless::PressKey(VK_DELETE);
  Run();
  EXPECT_EQ(DC()->GetRecordCount(), 2);
  EXPECT_EQ(TDeleteQuestion::Asked, 2);
  orv::headless::PressKey(VK_INSERT);
  Run();
  EXPECT_EQ(DC()->GetRecordCount(), 3);
  View->GetTableOptionsData()->SetInserting(false);
  DC()->Cancel();
  orv::headless::PressKey(VK_INSERT);
  Run();
  EXPECT_EQ(DC()->GetRecordCount(), 2) << "inserting switched off";
}

TEST_F(NavigatorTest, HoldingNextRepeatsAndAHintShowsTheButtonsText) {
  Fill(40);
  View->GetTableOptionsBehavior()->SetNavigatorHints(true);
  Layout();
  Ctrl()->GoToFirst();
  Run();
  const TPoint next = ButtonPoint(NBDI_NEXT);
  orv::headless::MouseMove(next.X, next.Y);
  Run();
  orv::headless::AdvanceTime(600);
  ASSERT_NE(Navigator()->GetHintWindow(), nullptr) << "the hint shows after a pause";
  EXPECT_EQ(Navigator()->GetHintWindow()->GetCaption(), "Next record");
  orv::headless::MouseDown();
  Run();
  EXPECT_EQ(Navigator()->GetHintWindow(), nullptr) << "a press hides the hint";
  orv::headless::AdvanceTime(400);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 1) << "the first repeat after 400 ms";
  orv::headless::AdvanceTime(100);
  orv::headless::AdvanceTime(100);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 3) << "then every 100 ms";
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 4) << "and the release over the button clicks";
  // Without the option no hint shows.
  View->GetTableOptionsBehavior()->SetNavigatorHints(false);
  const TPoint last = ButtonPoint(NBDI_LAST);
  orv::headless::MouseMove(last.X, last.Y);
  orv::headless::AdvanceTime(600);
  EXPECT_EQ(Navigator()->GetHintWindow(), nullptr);
}

TEST_F(NavigatorTest, TheGridNavigatesItsFocusedView) {
  Fill(3);
  Layout();
  TcxCustomGrid* grid = Grid;
  Ctrl()->GoToFirst();
  Run();
  EXPECT_TRUE(grid->IsActive());
  EXPECT_TRUE(grid->IsBof());
  EXPECT_FALSE(grid->IsEof());
  grid->DoAction(NBDI_LAST);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 2);
  EXPECT_TRUE(grid->IsEof());
  // A navigator registered with the grid hears of data changes of its focused view.
  struct THost : public IcxNavigatorOwner {
    int Refreshes = 0;
    void NavigatorChanged(Integer) override {}
    TRect GetNavigatorBounds() override { return {}; }
    TcxCustomNavigatorButtons* GetNavigatorButtons() override { return nullptr; }
    TCanvas* GetNavigatorCanvas() override { return nullptr; }
    TWinControl* GetNavigatorControl() override { return nullptr; }
    Boolean GetNavigatorFocused() override { return false; }
    TcxLookAndFeel* GetNavigatorLookAndFeel() override { return nullptr; }
    TComponent* GetNavigatorOwner() override { return nullptr; }
    Boolean GetNavigatorShowHint() override { return false; }
    Boolean GetNavigatorTabStop() override { return false; }
    void RefreshNavigator() override { ++Refreshes; }
    void NavigatorStateChanged() override {}
  } host;
  grid->GetNavigatorNotifier()->AddNavigator(&host);
  Grid->SetFocusedView(View);
  Ctrl()->GoToFirst();
  Run();
  EXPECT_GT(host.Refreshes, 0);
  grid->GetNavigatorNotifier()->RemoveNavigator(&host);
  // Without a focused view every query answers False and actions do nothing.
  Owned<TcxGrid> empty(new TcxGrid(nullptr));
  EXPECT_EQ(empty->GetFocusedView(), nullptr);
  EXPECT_FALSE(empty->IsActive());
  EXPECT_FALSE(empty->CanDelete());
  empty->DoAction(NBDI_FIRST);
}

TEST_F(NavigatorTest, GoldenStripUnderTheRecords) {
  Fill(3);
  Grid->SetBounds(10, 10, 330, 90);
  Layout();
  Ctrl()->SetFocusedRecordIndex(1);
  Run();
  const orv::TSurface surface = orv::headless::CaptureWindow(View->GetSite()->GetHandle());
  const orv::TImageCheck check =
      orv::MatchGoldenImage(surface, std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/navigator-strip.png");
  EXPECT_TRUE(check) << check.Message;
}

}  // namespace
}  // namespace grid_test

namespace grid_test {
namespace {

using TableKeysTest = NavigatorTest;

TEST_F(TableKeysTest, TheVerticalBarScrollsByWholeRecords) {
  Fill(30);
  View->GetTableOptionsView()->SetNavigator(false);
  Layout();
  TcxGridSite* site = View->GetSite();
  ASSERT_TRUE(site->IsVScrollBarVisible());
  EXPECT_FALSE(site->IsHScrollBarVisible()) << "without the navigator nothing needs the horizontal bar";
  const Integer page = Ctrl()->GetVisibleRecordCount();
  ASSERT_GT(page, 1);
  EXPECT_EQ(site->GetVScrollBar()->GetMax(), 29);
  EXPECT_EQ(site->GetVScrollBar()->GetPageSize(), page);
  Integer position = 0;
  struct Step {
    TScrollCode code;
    Integer trackTo;
    Integer top;
  };
  const Step steps[] = {{scLineDown, 0, 1},           {scPageDown, 0, 1 + page},    {scLineUp, 0, page},
                        {scTrack, 10, 10},            {scBottom, 0, 30 - page},     {scPageDown, 0, 30 - page},
                        {scTop, 0, 0},                {scLineUp, 0, 0}};
  for (const Step& step : steps) {
    position = step.trackTo;
    Ctrl()->Scroll(sbVertical, step.code, position);
    Run();
    EXPECT_EQ(Ctrl()->GetTopRecordIndex(), step.top) << int(step.code);
    EXPECT_EQ(position, step.top);
    EXPECT_EQ(site->GetVScrollBar()->GetPosition(), step.top) << "the bar follows";
  }
  // The navigator keeps the horizontal bar, disabled, to share its row.
  View->GetTableOptionsView()->SetNavigator(true);
  Run();
  EXPECT_TRUE(site->IsHScrollBarVisible());
  const TRect bar = site->GetHScrollBar()->GetBoundsRect();
  const TRect strip = ViewInfo()->GetNavigatorSiteViewInfo()->GetBounds();
  EXPECT_EQ(strip.Top, bar.Top);
  EXPECT_EQ(strip.Right, bar.Left) << "the bar begins where the navigator site ends";
}

TEST_F(TableKeysTest, ALayoutCopyMayDoEverythingAndItsItemsGoBack) {
  Fill(2);
  Layout();
  auto* copy = static_cast<TNavView*>(Grid->CreateView(TNavView::StaticClass()));
  copy->Assign(View);
  View->GetTableOptionsData()->SetDeleting(false);
  View->GetTableOptionsView()->SetNavigator(false);
  View->PrepareLayoutView(copy);
  EXPECT_TRUE(View->HasLayoutCustomization());
  EXPECT_TRUE(copy->GetTableOptionsData()->GetAppending());
  EXPECT_TRUE(copy->GetTableOptionsData()->GetDeleting());
  EXPECT_TRUE(copy->GetTableOptionsSelection()->GetMultiSelect());
  EXPECT_TRUE(copy->GetTableOptionsView()->GetNavigator());
  // The user reorders and widens the copy's columns; they come back by ID, Tags kept.
  TcxCustomGridTableItem* town = View->GetItem(1);
  town->SetTag(7);
  copy->GetItem(1)->SetIndex(0);
  copy->GetItem(0)->SetWidth(140);
  View->AssignLayoutInUpdate(copy);
  EXPECT_EQ(View->GetItem(0), town);
  EXPECT_EQ(town->GetWidth(), 140);
  EXPECT_EQ(town->GetTag(), 7);
  copy->Free();
}

TEST_F(TableKeysTest, AnOpenEditorTakesTheViewOutOfTheTabOrderAndKeepsItFocused) {
  Fill(2);
  View->GetTableOptionsSelection()->SetCellSelect(true);
  Layout();
  View->GetSite()->SetFocus();
  Ctrl()->GoToFirst();
  View->GetItem(1)->SetFocused(true);
  Run();
  EXPECT_TRUE(View->CanBeTabStop());
  orv::headless::PressKey(VK_F2);
  Run();
  ASSERT_TRUE(Ctrl()->IsEditing());
  EXPECT_FALSE(View->CanBeTabStop());
  EXPECT_TRUE(View->HasFocusedControls()) << "the editor has the focus";
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_TRUE(View->CanBeTabStop());
}

TEST_F(TableKeysTest, TabAndEnterWalkTheCellsAndLeaveAsTheOptionsSay) {
  Fill(3);
  View->GetTableOptionsView()->SetNavigator(false);
  View->GetTableOptionsSelection()->SetCellSelect(true);
  View->GetTableOptionsBehavior()->SetFocusCellOnTab(true);
  // The next control of the form, for the focus that leaves the grid.
  auto* next = new TButton(Form.get());
  next->SetParent(Form.get());
  next->SetBounds(10, 170, 60, 20);
  Layout();
  View->GetSite()->SetFocus();
  Ctrl()->GoToFirst();
  View->GetItem(0)->SetFocused(true);
  Run();
  auto at = [&] { return std::make_pair(Ctrl()->GetFocusedRecordIndex(), Ctrl()->GetFocusedItem()->GetVisibleIndex()); };
  orv::headless::PressKey(VK_TAB);
  Run();
  EXPECT_EQ(at(), std::make_pair(0, 1));
  // Without FocusCellOnCycle the last cell hands the focus to the next control.
  orv::headless::PressKey(VK_TAB);
  Run();
  EXPECT_EQ(at(), std::make_pair(0, 1));
  EXPECT_FALSE(View->GetSite()->IsFocused()) << "the focus left the grid";
  View->GetSite()->SetFocus();
  Run();
  // With it, the walk goes on in the next record, and Shift+Tab comes back.
  View->GetTableOptionsBehavior()->SetFocusCellOnCycle(true);
  orv::headless::PressKey(VK_TAB);
  Run();
  EXPECT_EQ(at(), std::make_pair(1, 0));
  orv::headless::PressKey(VK_TAB, true);
  Run();
  EXPECT_EQ(at(), std::make_pair(0, 1));
  EXPECT_TRUE(View->GetSite()->IsFocused());
  // Enter moves the same way when the option says so (from the editor, which Enter opens).
  View->GetTableOptionsBehavior()->SetGoToNextCellOnEnter(true);
  orv::headless::PressKey(VK_RETURN);
  Run();
  ASSERT_TRUE(Ctrl()->IsEditing());
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(at(), std::make_pair(1, 0));
  EXPECT_TRUE(Ctrl()->IsEditing() || View->GetSite()->IsFocused());
}

}  // namespace
}  // namespace grid_test
