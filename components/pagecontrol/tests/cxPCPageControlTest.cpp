// The page control: sheets mirrored into tabs, switching pages by tab, by ActivePage and by
// freeing the active page, OnPageChanging, page order and its error.
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "components/pagecontrol/tests/PCFixture.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Filer.h"

using namespace pc_test;

namespace {

TcxTabSheet* AddSheet(TcxPageControl* pc, const char* caption) {
  auto* sheet = new TcxTabSheet(pc->GetOwner());
  sheet->SetCaption(caption);
  sheet->SetPageControl(pc);
  return sheet;
}

// A control of the library on a page: it tells its parent of each invalidation of its own.
class TPageChild : public TcxControl {
  ORV_CLASS(TPageChild, TcxControl)
 public:
  using TcxControl::TcxControl;
  int Invalidations = 0;
  void Dispatch(TMessage& message) override {
    if (message.Msg == CM_INVALIDATE) ++Invalidations;
    inherited::Dispatch(message);
  }
};

}  // namespace

TEST_F(PCTest, AChildInvalidatedOnAPageOfAGradientPageControlIsInvalidatedOnce) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  pc->GetLookAndFeel()->SetKind(lfOffice11);
  pc->GetLookAndFeel()->SetNativeStyle(false);
  TcxTabSheet* sheet = AddSheet(pc, "One");
  auto* child = new TPageChild(Form.get());
  child->SetParent(sheet);
  child->SetBounds(10, 10, 100, 50);
  Show();
  ASSERT_TRUE(pc->NeedsRedrawOnResize());
  ValidateRect(sheet->GetHandle(), nullptr);
  ValidateRect(child->GetHandle(), nullptr);
  child->Invalidations = 0;
  // The child reports to the sheet, which repaints itself but does not invalidate the child again.
  child->Invalidate();
  EXPECT_EQ(child->Invalidations, 1);
  RECT r;
  EXPECT_TRUE(GetUpdateRect(sheet->GetHandle(), &r, FALSE));
  // The sheet invalidated by itself still takes the child showing its background along.
  child->Invalidations = 0;
  sheet->Invalidate();
  EXPECT_EQ(child->Invalidations, 1);
}

TEST_F(PCTest, PagesMirrorTheirTabsAndSwitch) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  pc->SetStyle(8);
  TcxTabSheet* a = AddSheet(pc, "Alpha");
  TcxTabSheet* b = AddSheet(pc, "Beta");
  TcxTabSheet* c = AddSheet(pc, "Gamma");
  Show();
  EXPECT_EQ(pc->GetPageCount(), 3);
  EXPECT_EQ(pc->GetActivePage(), a);
  EXPECT_EQ(pc->GetTabIndex(), 0);
  EXPECT_EQ(pc->GetTabs()->Get(1), "Beta");
  EXPECT_TRUE(a->GetVisible());
  EXPECT_FALSE(b->GetVisible());
  // The active sheet fills the page client rect.
  EXPECT_EQ(a->GetBoundsRect(), pc->GetPageClientRect());

  TEventLog log;
  pc->SetOnChange(TNotifyEvent(&log, &TEventLog::Change));
  pc->SetOnPageChanging(TcxPageChangingEvent(&log, &TEventLog::PageChanging));
  // A click on a tab shows its page: one OnPageChanging, one OnChange.
  const TPoint p = Center(TabRect(pc, 2));
  Click(pc, p.X, p.Y);
  EXPECT_EQ(pc->GetActivePage(), c);
  EXPECT_TRUE(c->GetVisible());
  EXPECT_FALSE(a->GetVisible());
  EXPECT_EQ(log.PageChangings, 1);
  EXPECT_EQ(log.LastPage, c);
  EXPECT_EQ(log.Changes, 1);
  // A refusing handler keeps the page and the tab.
  log.Allow = false;
  pc->SetTabIndex(1);
  EXPECT_EQ(pc->GetActivePage(), c);
  EXPECT_EQ(pc->GetTabIndex(), 2);
  pc->SetActivePage(a);
  EXPECT_EQ(pc->GetActivePage(), c);
  log.Allow = true;
  // ActivePage moves the tab along without a second OnChange.
  pc->SetActivePage(b);
  EXPECT_EQ(pc->GetTabIndex(), 1);
  EXPECT_EQ(log.Changes, 2);

  // Captions and visibility follow the sheet.
  b->SetCaption("Bravo");
  EXPECT_EQ(pc->GetTabs()->Get(1), "Bravo");
  c->SetTabVisible(false);
  EXPECT_FALSE(pc->GetTabs()->GetTab(2)->GetVisible());
  EXPECT_EQ(pc->GetVisibleTabList()->GetCount(), 2);
}

TEST_F(PCTest, FreeingTheActivePageActivatesTheNext) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  TcxTabSheet* a = AddSheet(pc, "A");
  TcxTabSheet* b = AddSheet(pc, "B");
  TcxTabSheet* c = AddSheet(pc, "C");
  TcxTabSheet* d = AddSheet(pc, "D");
  Show();
  c->SetEnabled(false);
  pc->SetActivePage(b);
  b->Free();
  // The next page that is enabled and has a visible tab.
  EXPECT_EQ(pc->GetActivePage(), d);
  EXPECT_EQ(pc->GetTabIndex(), 2);
  EXPECT_EQ(pc->GetPageCount(), 3);
  EXPECT_EQ(pc->GetTabs()->GetCount(), 3);
  // The last one: the previous page.
  d->Free();
  EXPECT_EQ(pc->GetActivePage(), a);
  // Hiding the active page's tab activates the next visible page.
  c->SetEnabled(true);
  a->SetTabVisible(false);
  EXPECT_EQ(pc->GetActivePage(), c);
  EXPECT_EQ(pc->GetTabIndex(), 1);
}

TEST_F(PCTest, PageOrderAndItsError) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  TcxTabSheet* a = AddSheet(pc, "A");
  AddSheet(pc, "B");
  TcxTabSheet* c = AddSheet(pc, "C");
  Show();
  c->SetPageIndex(0);
  EXPECT_EQ(pc->GetPage(0), c);
  EXPECT_EQ(pc->GetTabs()->Get(0), "C");
  EXPECT_EQ(a->GetPageIndex(), 1);
  EXPECT_EQ(pc->GetActivePage(), a);
  EXPECT_EQ(pc->GetTabIndex(), 1);
  try {
    a->SetPageIndex(3);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.GetMessage(), "3 is an invalid PageIndex value.  PageIndex must be between 0 and 2");
  }
  EXPECT_EQ(a->GetPageIndex(), 1);
}

TEST_F(PCTest, ASheetWhoseTabBecomesVisibleIsActivated) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  auto* sheet = new TcxTabSheet(Form.get());
  sheet->SetTabVisible(false);
  sheet->SetPageControl(pc);
  EXPECT_EQ(pc->GetActivePage(), nullptr);
  sheet->SetTabVisible(true);
  EXPECT_EQ(pc->GetActivePage(), sheet);
  // ActivePage to a sheet without a visible tab shows it with TabIndex -1.
  auto* hidden = new TcxTabSheet(Form.get());
  hidden->SetTabVisible(false);
  hidden->SetPageControl(pc);
  pc->SetActivePage(hidden);
  EXPECT_EQ(pc->GetActivePage(), hidden);
  EXPECT_EQ(pc->GetTabIndex(), -1);
}

TEST_F(PCTest, FreeingThePageControlTakesItsSheets) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  TcxTabSheet* a = AddSheet(pc, "A");
  AddSheet(pc, "B");
  auto* edit = new TEdit(Form.get());
  edit->SetParent(a);
  Show();
  TcxObjectLink* link = CreateObjectLink(a);
  pc->Free();
  EXPECT_EQ(link->Ref, nullptr);
  ReleaseObjectLink(link);
  Run();
}

TEST_F(PCTest, SheetsTakeOnlyAPageControlAsParent) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  TcxTabSheet* a = AddSheet(pc, "A");
  EXPECT_THROW(a->SetParent(Form.get()), EAbort);
  EXPECT_EQ(a->GetPageControl(), pc);
  a->SetParent(nullptr);
  EXPECT_EQ(pc->GetPageCount(), 0);
  EXPECT_EQ(pc->GetActivePage(), nullptr);
  a->SetParent(pc);
  EXPECT_EQ(pc->GetActivePage(), a);
}

TEST_F(PCTest, PageColoursReachTheirTabs) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  TcxTabSheet* a = AddSheet(pc, "A");
  TcxTabSheet* b = AddSheet(pc, "B");
  b->SetColor(clYellow);
  EXPECT_EQ(pc->GetTabColor(1), TColor(clDefault));
  pc->SetOptions(cxPCDefaultOptions + TcxPCOptions{pcoUsePageColorForTab});
  EXPECT_EQ(pc->GetTabColor(1), TColor(clYellow));
  EXPECT_EQ(pc->GetTabColor(0), TColor(clDefault));  // a page with its parent's colour
  // The Slanted style always uses the page colour; the client area shows the active page's.
  pc->SetOptions(cxPCDefaultOptions);
  pc->SetStyle(9);
  EXPECT_EQ(pc->GetTabColor(1), TColor(clYellow));
  pc->SetActivePage(b);
  EXPECT_EQ(pc->GetPainter()->GetClientColor(), TColor(clYellow));
  pc->SetActivePage(a);
  EXPECT_EQ(pc->GetPainter()->GetClientColor(), pc->GetColor());
}

TEST_F(PCTest, PageControlReadFromAFormDescription) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  TEventLog log;
  pc->SetOnChange(TNotifyEvent(&log, &TEventLog::Change));
  orv::ReadComponentFromText(pc,
                             "object PC: TcxPageControl\n"
                             "  ActivePage = Sheet2\n"
                             "  ShowFrame = True\n"
                             "  object Sheet1: TcxTabSheet\n"
                             "    Caption = 'One'\n"
                             "  end\n"
                             "  object Sheet2: TcxTabSheet\n"
                             "    Caption = 'Two'\n"
                             "    ImageIndex = 0\n"
                             "  end\n"
                             "end\n");
  ASSERT_EQ(pc->GetPageCount(), 2);
  EXPECT_EQ(pc->GetActivePage(), pc->GetPage(1));
  EXPECT_EQ(pc->GetTabIndex(), 1);
  EXPECT_EQ(pc->GetTabs()->Get(0), "One");
  EXPECT_EQ(pc->GetTabs()->Get(1), "Two");
  EXPECT_EQ(pc->GetPage(1)->GetImageIndex(), 0);
  EXPECT_EQ(log.Changes, 0);
  Show();
  EXPECT_TRUE(pc->GetPage(1)->GetVisible());
  EXPECT_FALSE(pc->GetPage(0)->GetVisible());
  const AnsiString text = orv::WriteComponentToText(pc);
  EXPECT_NE(text.find("ActivePage = Sheet2"), AnsiString::npos) << text;
  EXPECT_NE(text.find("object Sheet1: TcxTabSheet"), AnsiString::npos) << text;
  // The platform's control properties travel too, and only when they differ from the defaults.
  for (const char* name : {"Align", "Anchors", "Visible", "Enabled", "TabStop", "Color"})
    EXPECT_EQ(text.find(AnsiString("  ") + name + " ="), AnsiString::npos) << name << "\n" << text;
  orv::ReadComponentFromText(pc,
                             "object PC: TcxPageControl\n"
                             "  Align = alClient\n"
                             "  Anchors = [akLeft, akTop, akRight]\n"
                             "  TabStop = False\n"
                             "end\n");
  EXPECT_EQ(pc->GetAlign(), alClient);
  EXPECT_EQ(pc->GetAnchors(), (TAnchors{akLeft, akTop, akRight}));
  EXPECT_FALSE(pc->GetTabStop());
  const AnsiString again = orv::WriteComponentToText(pc);
  EXPECT_NE(again.find("Align = alClient"), AnsiString::npos) << again;
  EXPECT_NE(again.find("TabStop = False"), AnsiString::npos) << again;
}

TEST_F(PCTest, TabSheetsStoreTheirOwnPropertiesButNotTheirPlaceInThePageControl) {
  auto* pc = Add<TcxPageControl>(10, 10, 300, 200);
  orv::ReadComponentFromText(pc,
                             "object PC: TcxPageControl\n"
                             "  object Sheet1: TcxTabSheet\n"
                             "    Left = 50\n"
                             "    Width = 7\n"
                             "    Visible = True\n"
                             "    BorderWidth = 4\n"
                             "    Caption = 'One'\n"
                             "    Constraints.MinWidth = 20\n"
                             "    DragMode = dmAutomatic\n"
                             "    Enabled = False\n"
                             "    Font.Name = 'Orv Sheet'\n"
                             "    ParentFont = False\n"
                             "    ParentShowHint = False\n"
                             "    ShowHint = True\n"
                             "  end\n"
                             "  object Sheet2: TcxTabSheet\n"
                             "    Caption = 'Two'\n"
                             "  end\n"
                             "end\n");
  ASSERT_EQ(pc->GetPageCount(), 2);
  TcxTabSheet* sheet = pc->GetPage(0);
  EXPECT_EQ(sheet->GetBorderWidth(), 4);
  EXPECT_EQ(sheet->GetConstraints()->GetMinWidth(), 20);
  EXPECT_EQ(sheet->GetDragMode(), dmAutomatic);
  EXPECT_FALSE(sheet->GetEnabled());
  EXPECT_EQ(sheet->GetFont()->GetName(), "Orv Sheet");
  EXPECT_TRUE(sheet->GetShowHint());
  EXPECT_EQ(sheet->GetPageIndex(), 0);
  Show();
  const AnsiString text = orv::WriteComponentToText(pc);
  for (const char* line : {"BorderWidth = 4", "Constraints.MinWidth = 20", "DragMode = dmAutomatic", "Enabled = False",
                           "Font.Name = 'Orv Sheet'", "ParentShowHint = False", "ShowHint = True"})
    EXPECT_NE(text.find(line), AnsiString::npos) << line << "\n" << text;
  // The page control places and shows its pages: none of that is a page's to store.
  for (const char* name : {"Left", "Top", "Width", "Height", "Visible", "PageIndex"})
    EXPECT_EQ(text.find(AnsiString("    ") + name + " ="), AnsiString::npos) << name << "\n" << text;
}
