// The navigator buttons: defaults, enabling by the navigated data, layout of the row, clicks,
// auto-repeat of Prior and Next, the delete confirmation, and the notifier.
#include <gtest/gtest.h>

#include "components/editors-more/cxNavigator.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"

using namespace edmore_test;

namespace {

class TTestData : public IcxNavigator {
 public:
  Boolean CanAppend() override { return true; }
  Boolean CanDelete() override { return true; }
  Boolean CanEdit() override { return true; }
  Boolean CanInsert() override { return true; }
  Boolean IsActive() override { return Active; }
  Boolean IsBof() override { return Bof; }
  Boolean IsBookmarkAvailable() override { return false; }
  Boolean IsEditing() override { return Editing; }
  Boolean IsEof() override { return false; }
  void ClearBookmark() override {}
  void DoAction(Integer buttonIndex) override { Actions.push_back(buttonIndex); }
  Boolean Active = true;
  Boolean Bof = true;
  Boolean Editing = false;
  std::vector<Integer> Actions;
};

class TTestHost : public TObject, public IcxNavigatorOwner {
 public:
  explicit TTestHost(TWinControl* control) : Control(control) {
    Buttons.reset(new TcxNavigatorControlButtons(this));
    Buttons->SetOnGetControl(TcxNavigatorGetControlEvent(this, &TTestHost::GetData));
    LookAndFeel.reset(new TcxLookAndFeel(nullptr));
  }
  IcxNavigator* GetData(TObject*) { return HasData ? &Data : nullptr; }
  void NavigatorChanged(Integer changeType) override { Changes.push_back(changeType); }
  TRect GetNavigatorBounds() override { return Bounds; }
  TcxCustomNavigatorButtons* GetNavigatorButtons() override { return Buttons.get(); }
  TCanvas* GetNavigatorCanvas() override { return nullptr; }
  TWinControl* GetNavigatorControl() override { return Control; }
  Boolean GetNavigatorFocused() override { return false; }
  TcxLookAndFeel* GetNavigatorLookAndFeel() override { return LookAndFeel.get(); }
  TComponent* GetNavigatorOwner() override { return Control; }
  Boolean GetNavigatorShowHint() override { return false; }
  Boolean GetNavigatorTabStop() override { return false; }
  void RefreshNavigator() override { ++Refreshes; }
  void NavigatorStateChanged() override { ++StateChanges; }

  TWinControl* Control;
  TRect Bounds{0, 0, 200, 20};
  Owned<TcxNavigatorControlButtons> Buttons;
  Owned<TcxLookAndFeel> LookAndFeel;
  TTestData Data;
  Boolean HasData = true;
  std::vector<Integer> Changes;
  int Refreshes = 0;
  int StateChanges = 0;
};

using NavigatorTest = FormTest;

}  // namespace

TEST_F(NavigatorTest, FifteenButtonsShowAndTheirEnablingFollowsTheData) {
  TTestHost host(Form.get());
  int visible = 0;
  for (Integer i = 0; i < NavigatorButtonCount; ++i) visible += host.Buttons->GetButton(i)->GetVisible();
  EXPECT_EQ(visible, 15);
  EXPECT_FALSE(host.Buttons->GetButton(NBDI_APPEND)->GetVisible());
  EXPECT_EQ(host.Buttons->GetButton(NBDI_NEXT)->GetEffectiveHint(), "Next record");
  EXPECT_FALSE(host.Buttons->GetButton(NBDI_PRIOR)->GetEffectiveEnabled()) << "at the beginning";
  EXPECT_TRUE(host.Buttons->GetButton(NBDI_NEXT)->GetEffectiveEnabled());
  EXPECT_FALSE(host.Buttons->GetButton(NBDI_POST)->GetEffectiveEnabled());
  host.Data.Editing = true;
  EXPECT_TRUE(host.Buttons->GetButton(NBDI_POST)->GetEffectiveEnabled());
  EXPECT_FALSE(host.Buttons->GetButton(NBDI_EDIT)->GetEffectiveEnabled());
  host.Data.Active = false;
  EXPECT_FALSE(host.Buttons->GetButton(NBDI_NEXT)->GetEffectiveEnabled());
  EXPECT_TRUE(host.Buttons->GetButton(NBDI_FILTER)->GetEffectiveEnabled()) << "Filter stays enabled";
  host.HasData = false;
  EXPECT_FALSE(host.Buttons->GetButton(NBDI_FILTER)->GetEffectiveEnabled());
  // Setting Visible to its current value still makes it stored.
  host.Buttons->GetButton(NBDI_FIRST)->SetVisible(true);
  EXPECT_TRUE(host.Buttons->GetButton(NBDI_FIRST)->IsVisibleAssigned());
  host.Buttons->GetButton(NBDI_APPEND)->SetVisible(true);
  EXPECT_EQ(host.Changes.back(), 1);
}

TEST_F(NavigatorTest, ARowSpreadsTheSpareWidthEvenly) {
  TTestHost host(Form.get());
  Owned<TcxNavigatorViewInfo> info(new TcxNavigatorViewInfo(&host, false));
  Integer width = 10, height = 0;
  info->CalculateBounds(width, height, true);
  ASSERT_EQ(info->GetButtonViewInfoCount(), 15);
  const Integer each = info->GetButtonViewInfo(0)->Bounds.Width();
  EXPECT_EQ(width, each * 15) << "a smaller width is widened to the buttons' sum";
  Integer wide = each * 15 + 29;
  info->CalculateBounds(wide, height, true);
  EXPECT_EQ(wide, each * 15 + 15) << "29 spare pixels give one more each, the rest is dropped";
  EXPECT_EQ(info->GetButtonViewInfo(1)->Bounds.Left, each + 1);
}

TEST_F(NavigatorTest, ClicksActAndNextRepeatsWhileHeld) {
  Show();
  TTestHost host(Form.get());
  host.Data.Bof = false;
  Owned<TcxNavigatorViewInfo> info(new TcxNavigatorViewInfo(&host, false));
  info->Calculate();
  TcxNavigatorButtonViewInfo* next = info->FindButtonViewInfo(host.Buttons->GetButton(NBDI_NEXT));
  TcxNavigatorButtonViewInfo* last = info->FindButtonViewInfo(host.Buttons->GetButton(NBDI_LAST));
  const TPoint inNext{next->Bounds.Left + 2, next->Bounds.Top + 2};
  info->TrackMouse(inNext.X, inNext.Y);
  const TPoint screen = Form->ClientToScreen(inNext);
  orv::headless::MouseMove(screen.X, screen.Y);
  orv::headless::MouseDown();
  info->MouseDown(inNext.X, inNext.Y);
  orv::headless::AdvanceTime(400);
  Run();
  EXPECT_EQ(host.Data.Actions.size(), 1u) << "the first repeat after 400 ms";
  orv::headless::AdvanceTime(100);
  Run();
  EXPECT_EQ(host.Data.Actions.size(), 2u);
  orv::headless::MouseUp();
  info->MouseUp(inNext.X, inNext.Y);
  EXPECT_EQ(host.Data.Actions.size(), 3u) << "and the release clicks once more";
  // Released outside the pressed button: no click.
  info->MouseDown(last->Bounds.Left + 1, last->Bounds.Top + 1);
  info->MouseUp(-1, -1);
  EXPECT_EQ(host.Data.Actions.size(), 3u);
  EXPECT_EQ(host.Refreshes, 3);
}

TEST_F(NavigatorTest, DeleteAsksFirstAndTheNotifierRefreshesEveryHost) {
  TTestHost host(Form.get());
  auto refuse = [](const AnsiString&) -> Boolean { return false; };
  auto saved = TcxNavigatorControlButtons::ConfirmDeleteQuestion;
  TcxNavigatorControlButtons::ConfirmDeleteQuestion = refuse;
  host.Buttons->GetButton(NBDI_DELETE)->Click();
  EXPECT_TRUE(host.Data.Actions.empty());
  EXPECT_EQ(host.Refreshes, 1) << "a cancelled delete still refreshes the host";
  host.Buttons->SetConfirmDelete(false);
  host.Buttons->GetButton(NBDI_DELETE)->Click();
  EXPECT_EQ(host.Data.Actions, (std::vector<Integer>{NBDI_DELETE}));
  TcxNavigatorControlButtons::ConfirmDeleteQuestion = saved;
  TTestHost other(Form.get());
  Owned<TcxNavigatorControlNotifier> notifier(new TcxNavigatorControlNotifier);
  notifier->AddNavigator(&host);
  notifier->AddNavigator(&other);
  notifier->NotifyNavigators();
  EXPECT_EQ(host.Refreshes, 3);
  EXPECT_EQ(other.Refreshes, 1);
}
