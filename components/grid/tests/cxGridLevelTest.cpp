// The level tree: attaching, detaching and ordering levels, the active level and its event, the
// focused view following visibility, views moving between levels, and the clamped settings.
#include <gtest/gtest.h>

#include "components/grid/tests/GridFixture.h"

namespace grid_test {
namespace {

struct TEvents {
  std::vector<TcxGridLevel*> ActiveTabs;
  std::vector<std::pair<TcxCustomGridView*, TcxCustomGridView*>> FocusChanges;
  void ActiveTabChanged(TcxCustomGrid*, TcxGridLevel* level) { ActiveTabs.push_back(level); }
  void FocusedViewChanged(TcxCustomGrid*, TcxCustomGridView* prev, TcxCustomGridView* focused) {
    FocusChanges.push_back({prev, focused});
  }
};

class LevelTest : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    Grid->SetOnActiveTabChanged(TcxGridActiveTabChangedEvent(&Events, &TEvents::ActiveTabChanged));
    Grid->SetOnFocusedViewChanged(TcxGridFocusedViewChangedEvent(&Events, &TEvents::FocusedViewChanged));
  }
  TEvents Events;
};

TEST_F(LevelTest, TheFirstVisibleTopLevelBecomesActiveAndItsViewFocused) {
  TcxGridLevel* level = nullptr;
  TTestGridView* view = AddLevelWithView(&level);
  EXPECT_EQ(Grid->GetActiveLevel(), level);
  EXPECT_EQ(Grid->ActiveView(), view);
  EXPECT_EQ(Grid->GetFocusedView(), view);
  EXPECT_TRUE(level->IsTop());
  EXPECT_TRUE(level->IsActive());
  EXPECT_TRUE(level->IsShown());
  EXPECT_TRUE(Grid->GetRootLevel()->IsRoot());
  EXPECT_EQ(level->GetParent(), Grid->GetRootLevel());
  EXPECT_EQ(level->GetControl(), Grid);
  EXPECT_EQ(view->GetLevel(), level);
  EXPECT_TRUE(view->IsVisible());
  EXPECT_TRUE(view->CanCalculate());
  ASSERT_EQ(Events.ActiveTabs.size(), 1u);
  EXPECT_EQ(Events.ActiveTabs[0], level);
  ASSERT_FALSE(Events.FocusChanges.empty());
  EXPECT_EQ(Events.FocusChanges.back().second, view);
}

TEST_F(LevelTest, HidingTheOnlyLevelLeavesNoActiveLevelAndNoFocusedView) {
  TcxGridLevel* level = nullptr;
  TTestGridView* view = AddLevelWithView(&level);
  level->SetVisible(false);
  EXPECT_EQ(Grid->GetActiveLevel(), nullptr);
  EXPECT_EQ(Grid->GetFocusedView(), nullptr);
  EXPECT_FALSE(view->IsVisible());
  EXPECT_TRUE(view->IsPattern());  // detached from its relation as a template
  EXPECT_EQ(Grid->GetRootLevel()->GetVisibleCount(), 0);
  level->SetVisible(true);
  EXPECT_EQ(Grid->GetActiveLevel(), level);
}

TEST_F(LevelTest, HidingTheActiveOfTwoLevelsActivatesTheFirstVisible) {
  TcxGridLevel* first = nullptr;
  TcxGridLevel* second = nullptr;
  AddLevelWithView(&first);
  TTestGridView* view2 = AddLevelWithView(&second);
  second->SetActive(true);
  EXPECT_EQ(Grid->GetActiveLevel(), second);
  EXPECT_EQ(Grid->GetFocusedView(), view2);
  EXPECT_FALSE(first->IsShown());
  second->SetVisible(false);
  EXPECT_EQ(Grid->GetActiveLevel(), first);
  EXPECT_EQ(Grid->GetFocusedView(), first->GetGridView());
  // An invisible level cannot be activated; a deeper level never is.
  second->SetActive(true);
  EXPECT_EQ(Grid->GetActiveLevel(), first);
  TcxGridLevel* deep = first->Add();
  deep->SetActive(true);
  EXPECT_EQ(Grid->GetActiveLevel(), first);
  EXPECT_FALSE(deep->IsTop());
}

TEST_F(LevelTest, AViewGivenToAnotherLevelLeavesTheFirstWithout) {
  TcxGridLevel* a = nullptr;
  TTestGridView* view = AddLevelWithView(&a);
  TcxGridLevel* b = Grid->AddLevel();
  b->SetGridView(view);
  EXPECT_EQ(a->GetGridView(), nullptr);
  EXPECT_EQ(b->GetGridView(), view);
  EXPECT_EQ(view->GetLevel(), b);
}

TEST_F(LevelTest, FreeingAViewClearsItsLevelAndFreeingALevelKeepsTheView) {
  TcxGridLevel* level = nullptr;
  TTestGridView* view = AddLevelWithView(&level);
  TcxGridListenerLink* link = view->AddListenerLink();
  view->Free();
  EXPECT_EQ(level->GetGridView(), nullptr);
  EXPECT_EQ(link->GetGridView(), nullptr);
  EXPECT_EQ(Grid->GetFocusedView(), nullptr);
  EXPECT_EQ(Grid->GetViewCount(), 0);
  link->Free();

  TcxGridLevel* other = nullptr;
  TTestGridView* kept = AddLevelWithView(&other);
  other->Free();
  EXPECT_EQ(kept->GetLevel(), nullptr);
  EXPECT_EQ(Grid->GetViewCount(), 1);
  EXPECT_EQ(Grid->GetRootLevel()->GetCount(), 1);
}

TEST_F(LevelTest, ChildIndexesAreClampedAndVisibleItemsFollowTheOrder) {
  TcxGridLevel* a = Grid->AddLevel();
  TcxGridLevel* b = Grid->AddLevel();
  TcxGridLevel* c = Grid->AddLevel();
  b->SetVisible(false);
  c->SetIndex(-4);
  EXPECT_EQ(c->GetIndex(), 0);
  a->SetIndex(99);
  EXPECT_EQ(a->GetIndex(), 2);
  EXPECT_EQ(Grid->GetRootLevel()->GetItem(1), b);
  ASSERT_EQ(Grid->GetRootLevel()->GetVisibleCount(), 2);
  EXPECT_EQ(Grid->GetRootLevel()->GetVisibleItem(0), c);
  EXPECT_EQ(Grid->GetRootLevel()->GetVisibleItem(1), a);
}

TEST_F(LevelTest, AViewHearsWhenTheVisibilityOfAChildLevelChanges) {
  TcxGridLevel* level = nullptr;
  TTestGridView* view = AddLevelWithView(&level);
  TcxGridLevel* child = level->Add();
  view->DataControllerNotices = 0;
  child->SetVisible(false);
  child->SetVisible(true);
  EXPECT_EQ(view->DataControllerNotices, 2);
  EXPECT_TRUE(child->AreParentsVisible());
  level->SetVisible(false);
  EXPECT_FALSE(child->AreParentsVisible());
}

TEST_F(LevelTest, ADetailLevelsViewIsAPatternThatMakesClonesPerMasterRecord) {
  TcxGridLevel* master = nullptr;
  TTestGridView* masterView = AddLevelWithView(&master);
  EXPECT_FALSE(masterView->IsPattern());
  TcxGridLevel* detail = master->Add();
  TTestGridView* pattern = AddView();
  detail->SetGridView(pattern);
  ASSERT_NE(detail->GetDataRelation(), nullptr);
  EXPECT_EQ(detail->GetDataRelation()->GetItem(), detail);
  EXPECT_EQ(detail->GetDataRelation()->GetDataController(), masterView->GetDataController());
  EXPECT_TRUE(pattern->IsPattern());
  EXPECT_FALSE(pattern->IsVisible());

  TcxCustomGridView* clone = detail->CreateDetailView(detail->GetDataRelation(), 0);
  ASSERT_NE(clone, nullptr);
  EXPECT_TRUE(clone->IsTransient());
  EXPECT_EQ(clone->PatternGridView(), pattern);
  EXPECT_EQ(pattern->CloneCount(), 1);
  EXPECT_TRUE(clone->IsDetail());
  EXPECT_FALSE(clone->IsPattern());
  EXPECT_EQ(clone->MasterGridView(), masterView);
  EXPECT_EQ(clone->MasterRecordIndex(), 0);
  EXPECT_TRUE(clone->HasAsMaster(masterView));
  clone->Free();
  EXPECT_EQ(pattern->CloneCount(), 0);
  // An invisible level makes no detail.
  detail->SetVisible(false);
  EXPECT_EQ(detail->CreateDetailView(detail->GetDataRelation(), 0), nullptr);
}

TEST_F(LevelTest, SettingsAreClampedAndCaptionsLoseTheirAccelerators) {
  TcxGridLevel* level = Grid->AddLevel();
  struct TCase {
    Integer Max;
    Integer Requested;
    Integer Expected;
  };
  for (const TCase& c : {TCase{100, 250, 100}, TCase{100, -3, 0}, TCase{0, 250, 250}, TCase{300, 250, 250}}) {
    level->SetMaxDetailHeight(c.Max);
    Integer height = c.Requested;
    level->CheckHeight(height);
    EXPECT_EQ(height, c.Expected) << c.Max << " " << c.Requested;
  }
  level->SetMaxDetailHeight(-7);
  EXPECT_EQ(level->GetMaxDetailHeight(), 0);
  level->SetImageIndex(-9);
  EXPECT_EQ(level->GetImageIndex(), -1);
  level->GetOptions()->SetDetailFrameWidth(-2);
  EXPECT_EQ(level->GetOptions()->GetDetailFrameWidth(), 0);
  EXPECT_EQ(Grid->GetRootLevelOptions()->GetDetailFrameWidth(), 0);
  EXPECT_TRUE(Grid->GetRootLevelOptions()->InheritsFrom(TcxGridRootLevelOptions::StaticClass()));
  EXPECT_EQ(level->GetOptions()->GetDetailFrameColorValue(), Grid->GetPainter()->DefaultDetailFrameColor());
  level->SetCaption("&Towns && cities"_a);
  EXPECT_EQ(level->GetDisplayCaption(), "Towns & cities"_a);
}

TEST_F(LevelTest, SettingChangesOfALevelQueueOneRelayoutOfTheGrid) {
  int layouts = 0;
  struct TCounter {
    int* Count;
    void Changed(TcxCustomGrid*, TcxCustomGridView*) { ++*Count; }
  } counter{&layouts};
  AddLevelWithView();
  Grid->SetOnLayoutChanged(TcxGridLayoutChangedEvent(&counter, &TCounter::Changed));
  TcxGridLevel* level = Grid->GetActiveLevel();
  Grid->BeginUpdate();
  level->SetCaption("One"_a);
  level->GetOptions()->SetDetailTabsPosition(dtpTop);
  level->GetOptions()->SetDetailFrameColor(clRed);
  Grid->EndUpdate();
  EXPECT_EQ(layouts, 1);
}

TEST_F(LevelTest, DataChangesRelayoutTheGridOnlyWhenTabsComeAndGoWithData) {
  int layouts = 0;
  struct TCounter {
    int* Count;
    void Changed(TcxCustomGrid*, TcxCustomGridView*) { ++*Count; }
  } counter{&layouts};
  TTestGridView* view = AddLevelWithView();
  Grid->SetOnLayoutChanged(TcxGridLayoutChangedEvent(&counter, &TCounter::Changed));
  TcxDataChangedInfo info(dcTotal, -1, -1);
  view->UpdateControl(&info);
  EXPECT_EQ(layouts, 0);
  Grid->GetRootLevelOptions()->SetDetailTabsPosition(dtpTop);
  Grid->GetRootLevelOptions()->SetTabsForEmptyDetails(false);
  layouts = 0;
  view->UpdateControl(&info);
  EXPECT_EQ(layouts, 1);
  // Other notices of the controller are no data changes.
  TcxGroupingChangingInfo grouping;
  view->UpdateControl(&grouping);
  EXPECT_EQ(layouts, 1);
}

}  // namespace
}  // namespace grid_test
