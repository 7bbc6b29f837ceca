// A page control as a dock site: a docked form gets a page of its own that follows its caption
// and visibility, and undocking removes the page again.
#include "components/pagecontrol/tests/PCFixture.h"
#include "platform/controls/Forms.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

using namespace pc_test;

namespace {

struct UnDockLog {
  int Calls = 0;
  bool Allow = true;
  void UnDock(TObject* sender, TControl* client, TWinControl* newTarget, bool& allow) {
    ++Calls;
    allow = Allow;
  }
};

}  // namespace

TEST_F(PCTest, ADockedFormGetsItsOwnPageAndUndockingRemovesIt) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  pc->SetDockSite(true);
  auto* first = new TcxTabSheet(pc->GetOwner());
  first->SetCaption("First");
  first->SetPageControl(pc);
  Show();
  orv::test::Owned<TForm> docked(new TForm(nullptr));
  docked->AfterConstruction();
  docked->SetCaption("Tools");
  docked->SetBounds(400, 300, 120, 90);
  docked->SetVisible(true);

  ASSERT_TRUE(docked->ManualDock(pc));
  ASSERT_EQ(pc->GetPageCount(), 2);
  TcxTabSheet* page = pc->GetPage(1);
  EXPECT_EQ(page->GetCaption(), "Tools");
  EXPECT_EQ(pc->GetActivePage(), page);
  EXPECT_EQ(docked->GetParent(), page);
  EXPECT_EQ(docked->GetAlign(), alClient);
  EXPECT_EQ(docked->GetHostDockSite(), pc);
  ASSERT_EQ(pc->GetDockClientCount(), 1);
  EXPECT_EQ(pc->GetDockClients(0), docked.get());
  EXPECT_EQ(pc->GetTabs()->Get(1), "Tools");

  // The page follows the form's caption up to a line break, and its visibility.
  docked->SetCaption("Panel\nsecond line");
  EXPECT_EQ(page->GetCaption(), "Panel");
  docked->SetVisible(false);
  EXPECT_FALSE(page->GetTabVisible());
  docked->SetVisible(true);
  EXPECT_TRUE(page->GetTabVisible());

  // Docking it again only moves its page to the end.
  auto* last = new TcxTabSheet(pc->GetOwner());
  last->SetPageControl(pc);
  ASSERT_TRUE(docked->ManualDock(pc));
  EXPECT_EQ(pc->GetPageCount(), 3);
  EXPECT_EQ(page->GetPageIndex(), 2);

  // A site that keeps its client: nothing changes.
  UnDockLog log;
  log.Allow = false;
  pc->SetOnUnDock(TUnDockEvent(&log, &UnDockLog::UnDock));
  EXPECT_FALSE(docked->ManualDock(nullptr));
  EXPECT_EQ(log.Calls, 1);
  EXPECT_EQ(pc->GetPageCount(), 3);
  EXPECT_EQ(docked->GetParent(), page);

  // Floating: the page goes (the page before it, as for any freed last page, becomes active) and
  // the form survives on its own.
  log.Allow = true;
  pc->SetActivePage(page);
  ASSERT_TRUE(docked->ManualDock(nullptr));
  EXPECT_EQ(log.Calls, 2);
  EXPECT_EQ(pc->GetPageCount(), 2);
  EXPECT_EQ(docked->GetParent(), nullptr);
  EXPECT_EQ(docked->GetHostDockSite(), nullptr);
  EXPECT_EQ(docked->GetAlign(), alNone);
  EXPECT_EQ(pc->GetDockClientCount(), 0);
  EXPECT_EQ(pc->GetActivePage(), last);
  EXPECT_EQ(first->GetPageIndex(), 0);
}

TEST_F(PCTest, FreeingADockedFormFreesNothingElseAndLeavesTheSite) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  pc->SetDockSite(true);
  Show();
  auto* docked = new TForm(nullptr);
  docked->AfterConstruction();
  docked->SetCaption("Tools");
  docked->SetVisible(true);
  ASSERT_TRUE(docked->ManualDock(pc));
  ASSERT_EQ(pc->GetPageCount(), 1);
  docked->Free();
  EXPECT_EQ(pc->GetDockClientCount(), 0);
  // The page stays (empty), as a page whose control was freed does.
  EXPECT_EQ(pc->GetPageCount(), 1);
}

namespace {

// Records the dock site's events as the mouse drives them.
struct DockLog {
  int Overs = 0;
  int Drops = 0;
  int UnDocks = 0;
  int SiteInfos = 0;
  void DockOver(TObject*, TDragDockObject*, Integer, Integer, TDragState, bool& accept) {
    ++Overs;
    accept = true;
  }
  void DockDrop(TObject*, TDragDockObject*, Integer, Integer) { ++Drops; }
  void UnDock(TObject*, TControl*, TWinControl*, bool& allow) {
    ++UnDocks;
    allow = true;
  }
  void GetSiteInfo(TObject*, TControl*, TRect&, TPoint, bool&) { ++SiteInfos; }
};

}  // namespace

TEST_F(PCTest, AFormDraggedOntoThePageControlByTheMouseBecomesAPageAndFloatsWhenDraggedOff) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  pc->SetDockSite(true);
  auto* first = new TcxTabSheet(pc->GetOwner());
  first->SetCaption("First");
  first->SetPageControl(pc);
  DockLog log;
  pc->SetOnDockOver(TDockOverEvent(&log, &DockLog::DockOver));
  pc->SetOnDockDrop(TDockDropEvent(&log, &DockLog::DockDrop));
  pc->SetOnUnDock(TUnDockEvent(&log, &DockLog::UnDock));
  pc->SetOnGetSiteInfo(TGetSiteInfoEvent(&log, &DockLog::GetSiteInfo));
  Show();
  orv::test::Owned<TForm> docked(new TForm(nullptr));
  docked->AfterConstruction();
  docked->SetBorderStyle(bsNone);
  docked->SetCaption("Tools");
  docked->SetBounds(600, 400, 120, 90);
  docked->SetDragKind(dkDock);
  docked->SetDragMode(dmAutomatic);
  docked->SetVisible(true);
  Run();

  // Pressed on the floating form and dragged in steps over the page control's pages.
  auto dragTo = [](const TPoint& from, const TPoint& to) {
    orv::headless::AdvanceTime(1000);
    orv::headless::MouseMove(from.X, from.Y);
    Run();
    orv::headless::MouseDown(0);
    Run();
    const int steps = 5;
    for (int i = 1; i <= steps; ++i) {
      orv::headless::MouseMove(from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps);
      Run();
    }
    orv::headless::MouseUp(0);
    Run();
  };
  dragTo(TPoint{640, 430}, At(pc, 150, 120));
  EXPECT_GT(log.Overs, 0);
  EXPECT_GT(log.SiteInfos, 0);
  EXPECT_EQ(log.Drops, 1);
  ASSERT_EQ(pc->GetPageCount(), 2);
  TcxTabSheet* page = pc->GetPage(1);
  EXPECT_EQ(page->GetCaption(), "Tools");
  EXPECT_EQ(pc->GetActivePage(), page);
  EXPECT_EQ(docked->GetParent(), page);
  EXPECT_EQ(docked->GetHostDockSite(), pc);
  EXPECT_TRUE(docked->GetVisible());
  EXPECT_TRUE(IsChild(page->GetHandle(), docked->GetHandle())) << "its window lies in the page";
  EXPECT_TRUE(IsWindowVisible(docked->GetHandle()));

  // Pressed on the docked form and dragged away from every dock site: it floats on its own at
  // the place it was let go, and its page goes.
  const TPoint away{700, 600};
  dragTo(At(docked.get(), 30, 30), away);
  EXPECT_EQ(log.UnDocks, 1);
  EXPECT_EQ(pc->GetPageCount(), 1);
  EXPECT_EQ(pc->GetActivePage(), first);
  EXPECT_EQ(docked->GetParent(), nullptr);
  EXPECT_EQ(docked->GetHostDockSite(), nullptr);
  EXPECT_EQ(pc->GetDockClientCount(), 0);
  EXPECT_TRUE(docked->GetVisible());
  EXPECT_TRUE(IsWindowVisible(docked->GetHandle()));
  EXPECT_EQ(GetAncestor(docked->GetHandle(), GA_ROOT), docked->GetHandle());
  RECT r;
  GetWindowRect(docked->GetHandle(), &r);
  EXPECT_TRUE(r.Left <= away.X && away.X < r.Right && r.Top <= away.Y && away.Y < r.Bottom)
      << r.Left << "," << r.Top << "-" << r.Right << "," << r.Bottom;
}

namespace {

// A form whose handlers a described page control names for its dock events.
class TDockHostForm : public TForm {
  ORV_CLASS(TDockHostForm, TForm)
 public:
  explicit TDockHostForm(TComponent* owner) : TForm(owner) {}
  void PagesDockOver(TObject*, TDragDockObject*, Integer, Integer, TDragState, bool& accept) { ++Overs; }
  void PagesDockDrop(TObject*, TDragDockObject*, Integer, Integer) { ++Drops; }
  void PagesGetSiteInfo(TObject*, TControl*, TRect&, TPoint, bool&) { ++SiteInfos; }
  void PagesUnDock(TObject*, TControl*, TWinControl*, bool& allow) {
    ++UnDocks;
    allow = false;
  }
  void PagesStartDock(TObject*, TDragDockObject*&) { ++StartDocks; }
  void PagesEndDock(TObject*, TObject*, Integer, Integer) { ++EndDocks; }
  int Overs = 0, Drops = 0, SiteInfos = 0, UnDocks = 0, StartDocks = 0, EndDocks = 0;
};

}  // namespace

ORV_PUBLISH(TDockHostForm) {
  using T = TDockHostForm;
  p.Method("PagesDockOver", &T::PagesDockOver);
  p.Method("PagesDockDrop", &T::PagesDockDrop);
  p.Method("PagesGetSiteInfo", &T::PagesGetSiteInfo);
  p.Method("PagesUnDock", &T::PagesUnDock);
  p.Method("PagesStartDock", &T::PagesStartDock);
  p.Method("PagesEndDock", &T::PagesEndDock);
}

TEST_F(PCTest, ADescribedPageControlsDockEventsReachTheFormsHandlers) {
  const char* text =
      "object Host: TDockHostForm\n"
      "  Width = 400\n"
      "  Height = 300\n"
      "  object Pages: TcxPageControl\n"
      "    Width = 300\n"
      "    Height = 200\n"
      "    DockSite = True\n"
      "    OnDockDrop = PagesDockDrop\n"
      "    OnDockOver = PagesDockOver\n"
      "    OnGetSiteInfo = PagesGetSiteInfo\n"
      "    OnUnDock = PagesUnDock\n"
      "    OnStartDock = PagesStartDock\n"
      "    OnEndDock = PagesEndDock\n"
      "  end\n"
      "end\n";
  Owned<TDockHostForm> host(new TDockHostForm(nullptr));
  orv::ReadComponentFromText(host.get(), text);
  auto* pc = dynamic_cast<TcxPageControl*>(host->FindComponent("Pages"));
  ASSERT_NE(pc, nullptr);
  EXPECT_TRUE(pc->GetDockSite());
  host->SetBounds(50, 50, 400, 300);
  host->SetVisible(true);
  Run();

  Owned<TForm> docked(new TForm(nullptr));
  docked->AfterConstruction();
  docked->SetCaption("Tools");
  docked->SetVisible(true);
  ASSERT_TRUE(docked->ManualDock(pc));
  EXPECT_EQ(host->Drops, 1);
  EXPECT_EQ(pc->GetPageCount(), 1);
  // The form's handler keeps the client docked.
  EXPECT_FALSE(docked->ManualDock(nullptr));
  EXPECT_EQ(host->UnDocks, 1);
  EXPECT_EQ(docked->GetHostDockSite(), pc);
  bool accept = false;
  pc->GetOnDockOver()(pc, nullptr, 0, 0, dsDragMove, accept);
  TRect influence;
  bool canDock = true;
  pc->GetOnGetSiteInfo()(pc, docked.get(), influence, TPoint{0, 0}, canDock);
  EXPECT_EQ(host->Overs, 1);
  EXPECT_EQ(host->SiteInfos, 1);
  // As a dock client of its own the control reports its dock drags to the form too.
  TDragDockObject* dragObject = nullptr;
  pc->GetOnStartDock()(pc, dragObject);
  pc->GetOnEndDock()(pc, nullptr, 0, 0);
  EXPECT_EQ(host->StartDocks, 1);
  EXPECT_EQ(host->EndDocks, 1);

  const std::string written = orv::WriteComponentToText(host.get());
  for (const char* line : {"DockSite = True", "OnDockDrop = PagesDockDrop", "OnDockOver = PagesDockOver",
                           "OnGetSiteInfo = PagesGetSiteInfo", "OnUnDock = PagesUnDock",
                           "OnStartDock = PagesStartDock", "OnEndDock = PagesEndDock"})
    EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
  pc->SetOnUnDock(TUnDockEvent());
  docked->ManualDock(nullptr);
}
