// The grid's update lock and change queue: queued changes run once at the outermost EndUpdate,
// minus duplicates and covered changes, in submission order; changes that must not wait run at
// once; CancelUpdate drops the queue; a view that goes takes its queued changes with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/grid/tests/GridFixture.h"

namespace grid_test {
namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}
int& Freed() {
  static int freed = 0;
  return freed;
}

std::string ViewName(TcxCustomGridView* view) { return view ? view->GetName() : "grid"; }

// The queue's own classes with their covering rules, logging instead of relayouting.
class TLogLayoutChange : public TcxGridLayoutChange {
  ORV_CLASS(TLogLayoutChange, TcxGridLayoutChange)
 public:
  using TcxGridLayoutChange::TcxGridLayoutChange;
  ~TLogLayoutChange() override { ++Freed(); }
  void Run() override { Log().push_back("layout " + ViewName(GetGridView())); }
};

class TLogSizeChange : public TcxGridSizeChange {
  ORV_CLASS(TLogSizeChange, TcxGridSizeChange)
 public:
  using TcxGridSizeChange::TcxGridSizeChange;
  ~TLogSizeChange() override { ++Freed(); }
  void Run() override { Log().push_back("size " + ViewName(GetGridView())); }
};

class TLogViewChange : public TcxGridViewChange {
  ORV_CLASS(TLogViewChange, TcxGridViewChange)
 public:
  using TcxGridViewChange::TcxGridViewChange;
  ~TLogViewChange() override { ++Freed(); }
  void Run() override { Log().push_back("repaint " + ViewName(GetGridView())); }
};

// A named change with configurable answers; `Queue` is submitted to the grid when it runs.
class TNamedChange : public TcxCustomGridChange {
  ORV_CLASS(TNamedChange, TcxCustomGridChange)
 public:
  explicit TNamedChange(std::string name) : Name(std::move(name)) {}
  ~TNamedChange() override { ++Freed(); }
  std::string Name;
  Boolean Inside = true;
  Boolean Queueable = true;
  Boolean Raises = false;
  TcxCustomGridChange* Queue = nullptr;
  Boolean RunsInsideLock() override { return Inside; }
  Boolean CanBeQueued() override { return Queueable; }
  Boolean DropsDuplicates() override { return false; }
  void Run() override {
    Log().push_back(Name + (GetControl()->IsUpdateLocked() ? " locked" : " unlocked"));
    if (Queue) GetControl()->AddChange(Queue);
    if (Raises) throw EInvalidOperation("change failed");
  }
};

class ChangeQueueTest : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    Log().clear();
    Freed() = 0;
    View1 = AddView();
    View1->SetName("View1");
    View2 = AddView();
    View2->SetName("View2");
  }
  TTestGridView* View1 = nullptr;
  TTestGridView* View2 = nullptr;
};

TEST_F(ChangeQueueTest, TenGridSizeChangesRunAsOneLayout) {
  int layouts = 0;
  struct TCounter {
    int* Count;
    void Changed(TcxCustomGrid*, TcxCustomGridView*) { ++*Count; }
  } counter{&layouts};
  Grid->SetOnLayoutChanged(TcxGridLayoutChangedEvent(&counter, &TCounter::Changed));
  Grid->BeginUpdate();
  for (int i = 0; i < 10; ++i) Grid->SizeChanged();
  EXPECT_EQ(Grid->GetChangeCount(), 10);
  EXPECT_EQ(layouts, 0);
  Grid->EndUpdate();
  EXPECT_EQ(layouts, 1);
  EXPECT_EQ(Grid->GetChangeCount(), 0);
}

TEST_F(ChangeQueueTest, CompactionDropsDuplicatesAndCoveredChanges) {
  struct TCase {
    const char* Name;
    std::vector<std::pair<const char*, int>> Submitted;  // kind, view (0 grid, 1, 2)
    std::vector<std::string> Expected;
  };
  const std::vector<TCase> cases = {
      {"view layout then grid size", {{"layout", 1}, {"size", 0}}, {"size grid"}},
      {"grid size then view layout", {{"size", 0}, {"layout", 1}}, {"size grid"}},
      {"repaint then layout of the view", {{"repaint", 1}, {"layout", 1}}, {"layout View1"}},
      {"layout then repaint of the view", {{"layout", 1}, {"repaint", 1}}, {"layout View1"}},
      {"repaints of two views stay", {{"repaint", 1}, {"repaint", 2}}, {"repaint View1", "repaint View2"}},
      {"duplicate layouts", {{"layout", 1}, {"layout", 2}, {"layout", 1}}, {"layout View1", "layout View2"}},
      {"grid layout covers view layouts", {{"layout", 1}, {"layout", 0}, {"layout", 2}}, {"layout grid"}},
      {"view size covers its layout", {{"layout", 2}, {"size", 2}, {"repaint", 1}}, {"size View2", "repaint View1"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Log().clear();
    Grid->BeginUpdate();
    for (const auto& [kind, index] : c.Submitted) {
      TcxCustomGridView* view = index == 0 ? nullptr : index == 1 ? View1 : View2;
      const std::string k = kind;
      if (k == "layout")
        Grid->AddChange(new TLogLayoutChange(view));
      else if (k == "size")
        Grid->AddChange(new TLogSizeChange(view, false, false));
      else
        Grid->AddChange(new TLogViewChange(view));
    }
    Grid->EndUpdate();
    EXPECT_EQ(Log(), c.Expected);
  }
}

TEST_F(ChangeQueueTest, NestedLocksRunAtTheOutermostEndUpdateOnly) {
  Grid->BeginUpdate();
  Grid->BeginUpdate();
  Grid->AddChange(new TNamedChange("a"));
  Grid->EndUpdate();
  EXPECT_TRUE(Log().empty());
  Grid->EndUpdate();
  EXPECT_EQ(Log(), (std::vector<std::string>{"a unlocked"}));
  // An extra EndUpdate does nothing and never drives the count below zero.
  Grid->EndUpdate();
  Grid->CancelUpdate();
  EXPECT_EQ(Grid->GetUpdateLockCount(), 0);
}

TEST_F(ChangeQueueTest, ABatchRunsInsideItsLockAndAChangeThatMayNotIsRunUnlocked) {
  auto* c = new TNamedChange("c");
  auto* a = new TNamedChange("a");
  a->Queue = c;
  auto* b = new TNamedChange("b");
  b->Inside = false;
  Grid->BeginUpdate();
  Grid->AddChange(a);
  Grid->AddChange(b);
  Grid->EndUpdate();
  // c was queued by a inside the batch lock and runs when the lock is released before b.
  EXPECT_EQ(Log(), (std::vector<std::string>{"a locked", "c unlocked", "b unlocked"}));
  EXPECT_EQ(Freed(), 3);
}

TEST_F(ChangeQueueTest, AChangeThatCannotBeQueuedRunsAtOnceInsideALock) {
  auto* now = new TNamedChange("data");
  now->Queueable = false;
  Grid->BeginUpdate();
  Grid->AddChange(new TNamedChange("later"));
  Grid->AddChange(now);
  EXPECT_EQ(Log(), (std::vector<std::string>{"data locked"}));
  Grid->EndUpdate();
  EXPECT_EQ(Log(), (std::vector<std::string>{"data locked", "later unlocked"}));
}

TEST_F(ChangeQueueTest, CancelUpdateFreesTheQueuedChangesWithoutRunningThem) {
  Grid->BeginUpdate();
  Grid->AddChange(new TNamedChange("a"));
  Grid->AddChange(new TLogLayoutChange(View1));
  Grid->CancelUpdate();
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(Freed(), 2);
  EXPECT_EQ(Grid->GetChangeCount(), 0);
}

TEST_F(ChangeQueueTest, AFailingChangeIsFreedAndTheBatchLockReleased) {
  auto* bad = new TNamedChange("bad");
  bad->Raises = true;
  Grid->BeginUpdate();
  Grid->AddChange(bad);
  Grid->AddChange(new TNamedChange("next"));
  EXPECT_THROW(Grid->EndUpdate(), EInvalidOperation);
  EXPECT_EQ(Grid->GetUpdateLockCount(), 0);
  EXPECT_EQ(Freed(), 2);
  // An unlocked grid runs a failing change at once and frees it all the same.
  auto* again = new TNamedChange("again");
  again->Raises = true;
  EXPECT_THROW(Grid->AddChange(again), EInvalidOperation);
  EXPECT_EQ(Freed(), 3);
}

TEST_F(ChangeQueueTest, RemovingAViewDiscardsItsQueuedChanges) {
  Grid->BeginUpdate();
  Grid->AddChange(new TLogLayoutChange(View1));
  Grid->AddChange(new TLogViewChange(View2));
  View1->Free();
  EXPECT_EQ(Grid->GetChangeCount(), 1);
  EXPECT_EQ(Freed(), 1);
  Grid->EndUpdate();
  EXPECT_EQ(Log(), (std::vector<std::string>{"repaint View2"}));
}

TEST_F(ChangeQueueTest, AViewLocksTheGridThroughItsOwnUpdateLock) {
  View1->BeginUpdate();
  EXPECT_TRUE(Grid->IsUpdateLocked());
  EXPECT_TRUE(View1->IsUpdateLocked());
  Grid->AddChange(new TNamedChange("a"));
  View1->EndUpdate();
  EXPECT_FALSE(Grid->IsUpdateLocked());
  EXPECT_EQ(Log(), (std::vector<std::string>{"a unlocked"}));
}

TEST_F(ChangeQueueTest, AViewWithoutGridRunsItsChangeAtOnce) {
  Owned<TTestGridView> lone(static_cast<TTestGridView*>(
      TcxControlChildComponent::CreateForControl(TTestGridView::StaticClass(), nullptr, false)));
  lone->SetName("Lone");
  EXPECT_TRUE(lone->AddChange(new TLogViewChange(lone.get())));
  EXPECT_EQ(Log(), (std::vector<std::string>{"repaint Lone"}));
  EXPECT_EQ(Freed(), 1);
}

TEST_F(ChangeQueueTest, ListenersHearTheKindsTheyAcceptInOrderUntilOneHandles) {
  struct TListener : public IcxGridNotificationHandler {
    TListener(std::string name, TcxGridNotificationKinds kinds, bool handles)
        : Name(std::move(name)), Kinds(kinds), Handles(handles) {}
    std::string Name;
    TcxGridNotificationKinds Kinds;
    bool Handles;
    TcxGridNotificationKinds NotificationKinds() override { return Kinds; }
    void Notify(TcxGridNotificationKind kind, TObject* data, Boolean& handled) override {
      Log().push_back(Name + " " + std::to_string(int(kind)));
      handled = Handles;
    }
  };
  TListener a("a", {gnkFocusedViewChanged, gnkKeyDown}, false);
  TListener b("b", {gnkKeyDown}, true);
  TListener c("c", {gnkKeyDown, gnkCustomization}, false);
  Grid->AddListener(&a);
  Grid->AddListener(&b);
  Grid->AddListener(&c);
  EXPECT_TRUE(Grid->NotifyListeners(gnkKeyDown, nullptr));
  EXPECT_FALSE(Grid->NotifyListeners(gnkCustomization, nullptr));
  EXPECT_FALSE(Grid->NotifyListeners(gnkRecordCountChanged, nullptr));
  EXPECT_EQ(Log(), (std::vector<std::string>{"a 5", "b 5", "c 4"}));
  Grid->RemoveListener(&a);
  Grid->RemoveListener(&b);
  Grid->RemoveListener(&c);
}

TEST_F(ChangeQueueTest, DragOpeningWaitTimeIsNeverNegative) {
  Grid->SetDragOpeningWaitTime(-5);
  EXPECT_EQ(Grid->GetDragOpeningWaitTime(), 0);
  Grid->SetDragOpeningWaitTime(300);
  EXPECT_EQ(Grid->GetDragOpeningWaitTime(), 300);
}

}  // namespace
}  // namespace grid_test
