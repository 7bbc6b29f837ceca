// A dock site the user places on the form: a toolbar docked into it through its DockControl
// stands in the site's rows and takes the site's side; the site grows to hold it; leaving the
// site (a side of its own, floating, the site freed) puts the toolbar back at the form's edge,
// and a toolbar made floating goes back into the site it last stood in.

#include <gtest/gtest.h>

#include "components/bars/dxBar.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/User.h"

namespace {

class BarUserDockSiteTest : public BarFormTest {
 protected:
  BarUserDockSiteTest() : BarFormTest({100, 100, 420, 300}) {}

  void SetUp() override {
    BarFormTest::SetUp();
    Site = new TdxBarDockControl(Form.get());
    Site->SetParent(Form.get());
    Site->SetDockAlign(dalNone);
    Site->SetBounds(20, 120, 300, 0);
    Site->SetBarManager(Manager);
    Bar = AddTestToolbar(Manager, Form.get(), "Tools", dsTop, 2);
    Show();
    Run();
  }

  TdxBarControl* Window() const { return dynamic_cast<TdxBarControl*>(Bar->GetControl()); }

  TdxBarDockControl* Site = nullptr;
  TdxBar* Bar = nullptr;
};

}  // namespace

TEST_F(BarUserDockSiteTest, ADockedToolbarStandsInTheSitesRowAndTheSiteGrowsToHoldIt) {
  TdxDockControl* top = GetFormDockControl(Manager, dsTop);
  ASSERT_NE(Window(), nullptr);
  ASSERT_EQ(Window()->GetParent(), top);
  EXPECT_EQ(Site->GetHeight(), 0) << "an empty site takes no room at run time";

  Bar->SetDockControl(Site);
  Run();
  EXPECT_EQ(Bar->GetDockControl(), Site);
  EXPECT_EQ(Bar->GetDockingStyle(), dsTop) << "the site's side";
  EXPECT_EQ(Bar->GetRealDockControl(), Site);
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(Window()->GetParent(), Site);
  ASSERT_NE(Site->FindCol(Window()), nullptr);
  EXPECT_EQ(top->FindCol(Window()), nullptr);
  EXPECT_EQ(Site->GetRowCount(), 1);
  EXPECT_EQ(Bar->GetDockRow()->GetDockControl(), Site);
  EXPECT_EQ(Site->GetHeight(), Window()->GetHeight()) << "one row as thick as the toolbar";
  EXPECT_EQ(top->GetHeight(), 0) << "the form's top site is empty again";
  EXPECT_EQ(Site->GetLeft(), 20);
  EXPECT_EQ(Site->GetTop(), 120);

  // A side of its own takes it back to the form's edge.
  Bar->SetDockingStyle(dsBottom);
  Run();
  EXPECT_EQ(Bar->GetDockControl(), nullptr);
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(Window()->GetParent(), GetFormDockControl(Manager, dsBottom));
  EXPECT_EQ(Site->FindCol(Window()), nullptr);
  EXPECT_EQ(Site->GetHeight(), 0);
}

TEST_F(BarUserDockSiteTest, TheSitesSideAndFreeingItMoveTheToolbar) {
  Bar->SetDockControl(Site);
  Run();
  Site->SetDockAlign(dalLeft);
  Run();
  EXPECT_EQ(Bar->GetDockingStyle(), dsLeft) << "the bar reads its site's side";
  EXPECT_EQ(Window()->GetDockingStyle(), dsLeft);

  Site->Free();
  Site = nullptr;
  Run();
  EXPECT_EQ(Bar->GetDockControl(), nullptr);
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(Window()->GetParent(), GetFormDockControl(Manager, dsLeft)) << "back at the form's edge of its side";
}

TEST_F(BarUserDockSiteTest, AToolbarMadeFloatingGoesBackIntoTheSiteItLastStoodIn) {
  Bar->SetDockControl(Site);
  Run();
  ASSERT_EQ(Window()->GetParent(), Site);
  Window()->ToggleDocking();  // as a double click on its grip
  Run();
  EXPECT_EQ(Bar->GetDockingStyle(), dsNone);
  EXPECT_EQ(Bar->GetDockControl(), nullptr);
  EXPECT_EQ(Bar->GetDockedDockControl(), Site) << "where it stood is remembered";
  EXPECT_EQ(Site->GetHeight(), 0);

  Window()->ToggleDocking();
  Run();
  EXPECT_EQ(Bar->GetDockControl(), Site);
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(Window()->GetParent(), Site);
  EXPECT_EQ(Site->GetHeight(), Window()->GetHeight());
}
