// The grid's top details site: level tabs on top and on the left, the frame and client area
// around the active view, tab clicks and accelerators switching the active level (the click frees
// the tab control that handles it, since the grid makes its details site again), the tab hit
// test, captions without accelerators, and golden images of both tab positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/grid/tests/GridFixture.h"
#include "platform/drawing/GoldenImage.h"

namespace grid_test {
namespace {

std::string DetailsSiteGoldenPath(const char* name) {
  return std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/" + name;
}

class DetailsSiteTest : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    Towns = AddLevelWithView(&TownsLevel);
    Countries = AddLevelWithView(&CountriesLevel);
    TownsLevel->SetCaption("&Города"_a);
    CountriesLevel->SetCaption("&Страны"_a);
  }
  void ShowWithTabs(TcxGridDetailTabsPosition position, Integer frameWidth = 0) {
    Grid->GetRootLevelOptions()->SetDetailTabsPosition(position);
    Grid->GetRootLevelOptions()->SetDetailFrameWidth(frameWidth);
    Show();
    Run();
  }
  TcxGridTopDetailsSiteViewInfo* Site() const { return Grid->GetViewInfo()->GetDetailsSiteViewInfo(); }
  TcxGridLevelTabControl* Tabs() const { return Site()->GetTabsViewInfo()->GetTabControl(); }
  // A screen point inside the tab of the visible index.
  TPoint TabPoint(Integer visibleIndex) {
    TcxGridLevelTabControl* tabs = Tabs();
    const Boolean vertical = Site()->GetTabsViewInfo()->IsVertical();
    for (Integer along = 0; along < (vertical ? tabs->GetHeight() : tabs->GetWidth()); ++along) {
      const TPoint p = vertical ? TPoint{tabs->GetWidth() / 2, along} : TPoint{along, tabs->GetHeight() / 2};
      if (tabs->GetTabVisibleIndexAt(p.X, p.Y) == visibleIndex) {
        const TPoint q = vertical ? TPoint{p.X, p.Y + 5} : TPoint{p.X + 5, p.Y};
        return tabs->ClientToScreen(q);
      }
    }
    ADD_FAILURE() << "no tab " << visibleIndex;
    return TPoint{0, 0};
  }
  // The goldens' captions carry no accelerator markers: the tab control draws a caption's
  // ampersands as they stand.
  void ExpectGolden(const char* name) {
    TownsLevel->SetCaption("Города"_a);
    CountriesLevel->SetCaption("Страны"_a);
    Run();
    const orv::TImageCheck check =
        orv::MatchGoldenImage(orv::headless::CaptureWindow(Grid->GetHandle()), DetailsSiteGoldenPath(name));
    EXPECT_TRUE(check) << check.Message;
  }

  TcxGridLevel* TownsLevel = nullptr;
  TcxGridLevel* CountriesLevel = nullptr;
  TTestGridView* Towns = nullptr;
  TTestGridView* Countries = nullptr;
};

TEST_F(DetailsSiteTest, WithoutTabsTheActiveViewTakesTheWholeClientArea) {
  ShowWithTabs(dtpNone);
  ASSERT_NE(Site(), nullptr);
  EXPECT_FALSE(Site()->HasTabs());
  EXPECT_EQ(Site()->GetBounds(), Grid->GetClientBounds());
  EXPECT_EQ(Towns->GetSite()->GetBoundsRect(), Grid->GetClientBounds());
}

TEST_F(DetailsSiteTest, TopTabsLieAboveTheFrameAndTheViewInsideIt) {
  ShowWithTabs(dtpTop, 2);
  ASSERT_TRUE(Site()->HasTabs());
  TcxCustomGridDetailsSiteTabsViewInfo* tabs = Site()->GetTabsViewInfo();
  EXPECT_FALSE(tabs->IsVertical());
  ASSERT_EQ(Tabs()->GetTabs()->GetCount(), 2);
  EXPECT_EQ(Tabs()->GetTabLevel(0), TownsLevel);
  EXPECT_EQ(Tabs()->GetTabLevel(1), CountriesLevel);
  EXPECT_EQ(Tabs()->SelectedLevel(), TownsLevel);
  EXPECT_EQ(Tabs()->GetParent(), Grid);
  const TRect client = Grid->GetClientBounds();
  const Integer tabsHeight = tabs->GetHeight();
  EXPECT_GT(tabsHeight, 0);
  EXPECT_EQ(tabs->GetBounds(), (TRect{client.Left, client.Top, client.Right, client.Top + tabsHeight}));
  const TRect viewArea{client.Left + 2, client.Top + tabsHeight + 2, client.Right - 2, client.Bottom - 2};
  EXPECT_EQ(Site()->GetClientBoundsValue(), viewArea);
  EXPECT_EQ(Towns->GetSite()->GetBoundsRect(), viewArea);
  EXPECT_EQ(Site()->GetNonClientHeight(), tabsHeight + 4);
  ExpectGolden("details-site-top-tabs.png");
}

TEST_F(DetailsSiteTest, LeftTabsAreRotatedBesideTheView) {
  ShowWithTabs(dtpLeft, 1);
  ASSERT_TRUE(Site()->HasTabs());
  TcxCustomGridDetailsSiteTabsViewInfo* tabs = Site()->GetTabsViewInfo();
  EXPECT_TRUE(tabs->IsVertical());
  EXPECT_TRUE(Tabs()->GetRotate());
  EXPECT_EQ(Tabs()->GetTabPosition(), tpLeft);
  const TRect client = Grid->GetClientBounds();
  const Integer tabsWidth = tabs->GetWidth();
  EXPECT_GT(tabsWidth, 0);
  EXPECT_EQ(Towns->GetSite()->GetBoundsRect(),
            (TRect{client.Left + tabsWidth + 1, client.Top + 1, client.Right - 1, client.Bottom - 1}));
  ExpectGolden("details-site-left-tabs.png");
}

TEST_F(DetailsSiteTest, ClickingATabActivatesItsLevelThoughTheClickRebuildsTheTabs) {
  for (TcxGridDetailTabsPosition position : {dtpTop, dtpLeft}) {
    SCOPED_TRACE(position == dtpTop ? "top" : "left");
    ShowWithTabs(position);
    Grid->SetActiveLevel(TownsLevel);
    Run();
    TcxGridLevelTabControl* clicked = Tabs();
    const TPoint second = TabPoint(1);
    orv::headless::Click(second.X, second.Y);
    Run();
    EXPECT_EQ(Grid->GetActiveLevel(), CountriesLevel);
    EXPECT_EQ(Grid->GetFocusedView(), Countries);
    EXPECT_TRUE(Countries->GetSite()->GetVisible());
    // The grid made its tabs again for the new active level.
    EXPECT_NE(Tabs(), clicked);
    EXPECT_EQ(Tabs()->SelectedLevel(), CountriesLevel);
    const TPoint first = TabPoint(0);
    orv::headless::Click(first.X, first.Y);
    Run();
    EXPECT_EQ(Grid->GetActiveLevel(), TownsLevel);
    EXPECT_EQ(Tabs()->SelectedLevel(), TownsLevel);
  }
}

TEST_F(DetailsSiteTest, ATabIsHitTestedAndOpenedByADragRestingOnIt) {
  ShowWithTabs(dtpTop);
  const TPoint second = Grid->ScreenToClient(TabPoint(1));
  auto* hitTest = dynamic_cast<TcxGridDetailsSiteTabHitTest*>(Grid->GetViewInfo()->GetHitTest(second));
  ASSERT_NE(hitTest, nullptr);
  EXPECT_EQ(hitTest->GetHitTestCode(), htTab);
  EXPECT_EQ(hitTest->GetLevel(), CountriesLevel);
  EXPECT_EQ(hitTest->GetOwner(), Grid);
  // Below the tabs the active view answers.
  const TPoint inView{Grid->GetClientBounds().Left + 15, Grid->GetClientBounds().Bottom - 5};
  EXPECT_EQ(dynamic_cast<TcxGridDetailsSiteTabHitTest*>(Grid->GetViewInfo()->GetHitTest(inView)), nullptr);
  TcxCustomGridDragOpenInfo* info = Grid->GetController()->GetDragOpenInfo(second);
  ASSERT_NE(info, nullptr);
  info->Open();
  info->Free();
  EXPECT_EQ(Grid->GetActiveLevel(), CountriesLevel);
}

TEST_F(DetailsSiteTest, TheTopTabsAcceleratorsSelectTheirLevel) {
  ShowWithTabs(dtpTop);
  EXPECT_TRUE(Tabs()->GetShowAccelerators());
  EXPECT_EQ(Tabs()->GetTabs()->GetTab(1)->GetCaption(), "&Страны"_a);
  EXPECT_FALSE(Grid->GetViewInfo()->GetDetailsSiteViewInfo()->ProcessDialogChar('x'));
  EXPECT_TRUE(Grid->GetViewInfo()->GetDetailsSiteViewInfo()->ProcessDialogChar(("с"_a).c_str()[0]));
  Run();
  EXPECT_EQ(Grid->GetActiveLevel(), CountriesLevel);
}

TEST_F(DetailsSiteTest, WithoutAcceleratorsCaptionsShowTheirAmpersandsLiterally) {
  ShowWithTabs(dtpTop);
  struct TCase {
    const char* Caption;
    const char* Shown;
  };
  const TCase cases[] = {{"&Towns", "Towns"}, {"A && B", "A && B"}, {"Plain", "Plain"}, {"&&&X", "&&X"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Caption);
    TownsLevel->SetCaption(c.Caption);
    Run();
    Tabs()->SetShowAccelerators(false);
    EXPECT_EQ(Tabs()->GetTabs()->GetTab(0)->GetCaption(), AnsiString(c.Shown));
    Tabs()->SetShowAccelerators(true);
    EXPECT_EQ(Tabs()->GetTabs()->GetTab(0)->GetCaption(), AnsiString(c.Caption));
  }
}

TEST_F(DetailsSiteTest, AnEmptyLevelHasNoTabWhenTabsForEmptyDetailsIsOff) {
  Grid->GetRootLevelOptions()->SetTabsForEmptyDetails(false);
  ShowWithTabs(dtpTop);
  // Neither view has records: only the active level keeps its tab.
  ASSERT_EQ(Tabs()->GetTabs()->GetCount(), 1);
  EXPECT_EQ(Tabs()->GetTabLevel(0), Grid->GetActiveLevel());
}

// What the grid's own mouse handlers hear, in its client coordinates.
struct TGridMouseLog {
  std::vector<std::string> Events;
  std::vector<TPoint> Points;
  void Down(TObject*, TMouseButton, TShiftState, Integer x, Integer y) { Add("down", x, y); }
  void Up(TObject*, TMouseButton, TShiftState, Integer x, Integer y) { Add("up", x, y); }
  void Move(TObject*, TShiftState, Integer x, Integer y) { Add("move", x, y); }
  void Double(TObject*) { Events.push_back("double"); }
  void Add(const char* name, Integer x, Integer y) {
    Events.push_back(name);
    Points.push_back(TPoint{x, y});
  }
};

TEST_F(DetailsSiteTest, TheTabsPassTheirMouseToTheGridAtThePointInItsClientArea) {
  for (TcxGridDetailTabsPosition position : {dtpTop, dtpLeft}) {
    SCOPED_TRACE(position == dtpTop ? "top" : "left");
    ShowWithTabs(position);
    Grid->SetActiveLevel(TownsLevel);
    Run();
    TGridMouseLog log;
    Grid->SetOnMouseDown(TMouseEvent(&log, &TGridMouseLog::Down));
    Grid->SetOnMouseUp(TMouseEvent(&log, &TGridMouseLog::Up));
    Grid->SetOnMouseMove(TMouseMoveEvent(&log, &TGridMouseLog::Move));
    Grid->SetOnDblClick(TNotifyEvent(&log, &TGridMouseLog::Double));
    // A click on the selected tab, and one on the other tab, which rebuilds the tabs under it.
    for (Integer tab : {0, 1}) {
      const TPoint screen = TabPoint(tab);
      const TPoint client = Grid->ScreenToClient(screen);
      log = TGridMouseLog();
      orv::headless::Click(screen.X, screen.Y);
      Run();
      ASSERT_EQ(log.Events, (std::vector<std::string>{"move", "down", "up"})) << tab;
      for (const TPoint& p : log.Points) EXPECT_EQ(p, client) << tab;
    }
    EXPECT_EQ(Grid->GetActiveLevel(), CountriesLevel);
    // A double click on a tab is one for the grid too.
    const TPoint screen = TabPoint(1);
    log = TGridMouseLog();
    orv::headless::DoubleClick(screen.X, screen.Y);
    Run();
    EXPECT_NE(std::find(log.Events.begin(), log.Events.end(), "double"), log.Events.end());
    Grid->SetOnMouseDown(TMouseEvent());
    Grid->SetOnMouseUp(TMouseEvent());
    Grid->SetOnMouseMove(TMouseMoveEvent());
    Grid->SetOnDblClick(TNotifyEvent());
  }
}

}  // namespace
}  // namespace grid_test
