// The tab control: its model (tabs, visible list, selection and events), the painter choice,
// the layout in every tab position, scrolling and navigator buttons, multi-line rows, hit tests
// and the mouse and keyboard.
#include <algorithm>
#include <map>
#include <vector>

#include "components/foundation/cxGeometry.h"
#include "components/pagecontrol/cxPCConsts.h"
#include "components/pagecontrol/tests/PCFixture.h"

using namespace pc_test;

namespace {

std::string ErrorText(const std::function<void()>& f) {
  try {
    f();
  } catch (const EdxException& e) {
    return e.GetMessage();
  }
  return "(no error)";
}

std::vector<Integer> RowSizes(TcxCustomTabControl* c) {
  std::map<Integer, Integer> rows;
  for (Integer i = 0; i < c->GetVisibleTabList()->GetCount(); ++i) ++rows[c->GetTabs()->GetVisibleTab(i)->GetRow()];
  std::vector<Integer> result;
  for (const auto& [row, count] : rows) result.push_back(count);
  return result;
}

}  // namespace

TEST_F(PCTest, NewControlDefaultsAndStyleChoice) {
  auto* c = Add(0, 0, 289, 193);
  c->SetBounds(0, 0, 289, 193);
  EXPECT_EQ(c->GetTabIndex(), -1);
  EXPECT_EQ(c->GetStyle(), 0);
  ASSERT_NE(c->GetPainter(), nullptr);
  auto* fresh = new TcxTabControl(Form.get());
  EXPECT_EQ(fresh->GetWidth(), 289);
  EXPECT_EQ(fresh->GetHeight(), 193);
  EXPECT_EQ(fresh->GetOptions(), cxPCDefaultOptions);

  // Style 0 follows the look and feel.
  const std::pair<TcxLookAndFeelKind, TcxPCStyleID> kinds[] = {
      {lfFlat, 7}, {lfOffice11, 8}, {lfUltraFlat, 6}, {lfStandard, 1}};
  for (const auto& [kind, id] : kinds) {
    c->GetLookAndFeel()->SetKind(kind);
    EXPECT_EQ(c->GetPainter()->GetStyleID(), id) << kind;
    EXPECT_EQ(c->GetStyle(), 0);
  }
  // An id without a painter is ignored; 0 brings the look and feel's style back.
  c->SetStyle(8);
  EXPECT_EQ(c->GetStyle(), 8);
  c->SetStyle(4);
  EXPECT_EQ(c->GetStyle(), 8);
  EXPECT_EQ(c->GetPainter()->GetStyleID(), 8);
  c->SetStyle(0);
  EXPECT_EQ(c->GetStyle(), 0);
  EXPECT_EQ(c->GetPainter()->GetStyleID(), 1);
  // OneNote cannot rotate: choosing it switches Rotate off, and turning it on raises.
  c->SetRotate(true);
  c->SetStyle(10);
  EXPECT_FALSE(c->GetRotate());
  EXPECT_EQ(ErrorText([&] { c->SetRotate(true); }), "OneNote style does not support rotation of tabs");
}

TEST_F(PCTest, PaintersFactoryRegistry) {
  TcxPCPaintersFactory* factory = PaintersFactory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->GetCount(), 9);
  RegisterPCPainterClass(TcxPCTabsPainter::StaticClass());
  EXPECT_EQ(factory->GetCount(), 9);
  EXPECT_EQ(factory->FindPainterClassByStyleID(4).Get(), nullptr);
  EXPECT_EQ(factory->FindPainterClassByStyleID(10).Get(), TcxPCOneNotePainter::StaticClass());
  EXPECT_EQ(ErrorText([&] { factory->GetPainterInstance(nullptr, nullptr); }),
            "TcxPCPaintersFactory.GetPainterInstance: PCPainterClass is nil");
  // Unregistering every class frees the factory; a later registration makes a new one.
  std::vector<TcxPCPainterClass> classes;
  for (Integer i = 0; i < factory->GetCount(); ++i) classes.push_back(factory->GetPainterClass(i));
  for (const auto& cls : classes) UnregisterPCPainterClass(cls);
  EXPECT_EQ(PaintersFactory(), nullptr);
  for (const auto& cls : classes) RegisterPCPainterClass(cls);
  ASSERT_NE(PaintersFactory(), nullptr);
  EXPECT_EQ(PaintersFactory()->GetCount(), 9);
  Owned<TcxLookAndFeel> lookAndFeel(new TcxLookAndFeel(nullptr));
  lookAndFeel->SetNativeStyle(true);
  EXPECT_EQ(PaintersFactory()->GetDefaultStyleID(lookAndFeel.get()), 7);  // the last default: Flat
}

TEST_F(PCTest, TabsListIndexesAndErrors) {
  auto* c = Add(0, 0, 289, 193);
  TEventLog log;
  c->SetOnChange(TNotifyEvent(&log, &TEventLog::Change));
  AddTabs(c, {"One"});
  EXPECT_EQ(c->GetTabIndex(), 0);  // the first tab is selected without events
  AddTabs(c, {"Two", "Three"});
  EXPECT_EQ(c->GetTabIndex(), 0);
  EXPECT_EQ(log.Changes, 0);
  TcxTabs* tabs = c->GetTabs();
  EXPECT_EQ(tabs->GetTab(2)->GetStoredImageIndex(), 2);
  tabs->Insert(0, "Zero");
  EXPECT_EQ(tabs->GetTab(3)->GetIndex(), 3);
  EXPECT_EQ(tabs->GetTab(3)->GetStoredImageIndex(), 2);
  EXPECT_TRUE(tabs->GetTab(3)->IsImageIndexStored());
  EXPECT_EQ(tabs->GetTab(3)->GetImageIndex(), -1);  // no images: no image applies
  EXPECT_EQ(ErrorText([&] { tabs->Get(4); }), "TcxTabs.Get: Tab's index (4) out of bounds");
  EXPECT_EQ(ErrorText([&] { tabs->Insert(6, "x"); }), "TcxTabs.Insert: Tab's index (6) out of bounds");
  EXPECT_EQ(ErrorText([&] { tabs->GetVisibleTab(4); }),
            "TcxTabs.GetVisibleTab: TabVisibleIndex (4) must be between 0 and 3");
  EXPECT_EQ(tabs->GetCount(), 4);
  tabs->Delete(0);
  EXPECT_EQ(tabs->Get(0), "One");
  EXPECT_EQ(tabs->GetTab(2)->GetIndex(), 2);
  tabs->Move(2, 0);
  EXPECT_EQ(tabs->Get(0), "Three");
  EXPECT_EQ(c->GetVisibleTabList()->GetCount(), 3);

  // The visible list follows Visible; its errors name the range.
  tabs->GetTab(1)->SetVisible(false);
  EXPECT_EQ(c->GetVisibleTabList()->GetCount(), 2);
  EXPECT_EQ(c->GetVisibleTabList()->IndexOf(2), 1);
  EXPECT_EQ(ErrorText([&] { c->GetVisibleTabList()->GetTab(2); }),
            "TcxVisibleTabList.GetTab: TabVisibleIndex (2) must be between 0 and 1");
  tabs->Clear();
  EXPECT_EQ(ErrorText([&] { c->GetVisibleTabList()->GetTab(0); }),
            "TcxVisibleTabList.GetTab: There are no visible tabs");
  EXPECT_EQ(ErrorText([&] { c->CalculateTabNormalSizes(); }),
            "TcxCustomTabControl.CalculateTabNormalSizes: Tabs.Count = 0");
}

TEST_F(PCTest, VisibleListFindsInsertionPositions) {
  auto* c = Add(0, 0, 289, 193);
  TcxVisibleTabList* list = c->GetVisibleTabList();
  Integer position = -1;
  EXPECT_FALSE(list->Find(3, position));
  EXPECT_EQ(position, 0);
  AddTabs(c, {"a", "b", "c", "d", "e"});
  c->GetTabs()->GetTab(2)->SetVisible(false);
  EXPECT_TRUE(list->Find(3, position));
  EXPECT_EQ(position, 2);
  EXPECT_FALSE(list->Find(2, position));
  EXPECT_EQ(position, 2);
  EXPECT_FALSE(list->Find(9, position));
  EXPECT_EQ(position, 4);
}

TEST_F(PCTest, TabIndexChangesWithEvents) {
  auto* c = Add(0, 0, 289, 193);
  AddTabs(c, {"One", "Two", "Three", "Four", "Five"});
  TEventLog log;
  c->SetOnChanging(TcxTabChangingEvent(&log, &TEventLog::Changing));
  c->SetOnChange(TNotifyEvent(&log, &TEventLog::Change));
  c->SetTabIndex(5);
  c->SetTabIndex(-2);
  EXPECT_EQ(c->GetTabIndex(), 0);
  EXPECT_EQ(log.Changings, 0);
  c->SetTabIndex(2);
  EXPECT_EQ(c->GetTabIndex(), 2);
  EXPECT_EQ(c->GetMainTabVisibleIndex(), 2);
  EXPECT_EQ(log.Changings, 1);
  EXPECT_EQ(log.Changes, 1);
  log.Allow = false;
  c->SetTabIndex(3);
  EXPECT_EQ(c->GetTabIndex(), 2);
  EXPECT_EQ(log.Changes, 1);
  log.Allow = true;
  c->SetTabIndex(-1);
  EXPECT_EQ(c->GetTabIndex(), -1);
  EXPECT_EQ(c->GetMainTabVisibleIndex(), -1);
  // Locked change events are not fired.
  c->LockChangeEvents(true);
  c->SetTabIndex(1);
  c->LockChangeEvents(false);
  c->LockChangeEvents(false);
  EXPECT_EQ(c->GetTabIndex(), 1);
  EXPECT_EQ(log.Changes, 2);

  // Hiding the selected tab keeps TabIndex; the main tab moves on to the next visible tab.
  c->GetTabs()->GetTab(1)->SetVisible(false);
  EXPECT_EQ(c->GetTabIndex(), 1);
  EXPECT_EQ(c->GetMainTabVisibleIndex(), 1);
  EXPECT_EQ(c->GetTabs()->GetVisibleTab(1)->GetCaption(), "Three");
}

TEST_F(PCTest, SelectedTabsFollowTheStyle) {
  auto* c = Add(0, 0, 289, 193);
  AddTabs(c, {"One", "Two", "Three"});
  c->SetStyle(1);
  c->GetTabs()->GetTab(1)->SetSelected(true);
  EXPECT_FALSE(c->GetTabs()->GetTab(1)->GetSelected());
  c->SetStyle(2);
  c->GetTabs()->GetTab(1)->SetSelected(true);
  EXPECT_TRUE(c->GetTabs()->GetTab(1)->GetSelected());
  EXPECT_FALSE(c->GetMultiSelect());
  c->GetTabs()->GetTab(2)->SetSelected(true);
  EXPECT_TRUE(c->GetMultiSelect());
}

TEST_F(PCTest, PropertySettersKeepTheirRules) {
  auto* c = Add(0, 0, 289, 193);
  AddTabs(c, {"One"});
  c->SetImageBorder(2);
  c->SetImageBorder(-3);
  EXPECT_EQ(c->GetImageBorder(), 2);
  c->SetStyle(1);
  c->SetMaxRotatedTabWidth(10);
  EXPECT_GE(c->GetMaxRotatedTabWidth(), 42);
  c->SetMaxRotatedTabWidth(-5);
  EXPECT_EQ(c->GetMaxRotatedTabWidth(), 0);
  // Hidden tabs: the page takes the whole control and no tab answers a hit test.
  c->SetHideTabs(true);
  EXPECT_EQ(c->GetPageClientRect(), Rect(2, 2, 287, 191));
  EXPECT_EQ(c->GetTabVisibleIndexAt(10, 10), -1);
  // Not focusable: left out of the tab order.
  c->SetFocusable(false);
  EXPECT_FALSE(c->CanFocus());
}

// ---- Layout ----

struct TPositionCase {
  TcxTabPosition Position;
  TRect MainFull;    // tab 0, selected
  TRect SecondFull;  // tab 1
  TRect PageFrame;
};

class PCLayoutTest : public PCTest, public ::testing::WithParamInterface<TPositionCase> {};

TEST_P(PCLayoutTest, TabRectsInEveryPosition) {
  const TPositionCase& k = GetParam();
  auto* c = Add(0, 0, 289, 193);
  c->SetStyle(1);  // Tabs
  c->SetTabPosition(k.Position);
  AddTabs(c, {"One", "Two", "Three"});
  Show();
  // 18-pixel tabs (12-pixel text + 8, less 3, at least 18), 42 wide (12 + text, at least 42).
  EXPECT_EQ(c->GetTabs()->GetTabNormalHeight(), 18);
  EXPECT_EQ(c->GetTabs()->GetTab(2)->GetNormalWidth(), 42);
  EXPECT_EQ(TabRect(c, 0), k.MainFull);
  EXPECT_EQ(TabRect(c, 1), k.SecondFull);
  EXPECT_EQ(c->GetPainter()->GetPageFrameRect(), k.PageFrame);
  EXPECT_EQ(c->GetPageClientRect(), GetInflatedRect(k.PageFrame, -2, -2));
  EXPECT_TRUE(c->GetNavigatorButtons().Empty());
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PCLayoutTest,
    ::testing::Values(TPositionCase{tpTop, {0, 0, 46, 21}, {44, 2, 86, 20}, {0, 20, 289, 193}},
                      TPositionCase{tpBottom, {0, 172, 46, 193}, {44, 173, 86, 191}, {0, 0, 289, 173}},
                      // Left and right strips run from the bottom up (captions read bottom to top).
                      TPositionCase{tpLeft, {0, 147, 21, 193}, {2, 107, 20, 149}, {20, 0, 289, 193}},
                      TPositionCase{tpRight, {268, 147, 289, 193}, {269, 107, 287, 149}, {0, 0, 269, 193}}));

TEST_F(PCTest, ScrollArrowsAndGoDialogButton) {
  auto* c = Add(0, 0, 200, 100);
  c->SetStyle(1);
  AddTabs(c, {"Tab0", "Tab1", "Tab2"});
  c->SetOptions(cxPCDefaultOptions + TcxPCOptions{pcoGoDialog});
  Show();
  // All fit: only the go-dialog button (always shown), 12 wide at the right.
  EXPECT_EQ(c->GetNavigatorButtons(), TcxPCNavigatorButtons{nbGoDialog});
  EXPECT_EQ(c->GetPainter()->GetGoDialogButtonBounds(), Rect(188, 0, 200, 20));
  c->SetOptions(cxPCDefaultOptions);
  EXPECT_TRUE(c->GetNavigatorButtons().Empty());

  // Too many tabs: arrows; the tabs after the row end are not shown.
  AddTabs(c, {"Tab3", "Tab4", "Tab5"});
  EXPECT_EQ(c->GetNavigatorButtons(), (TcxPCNavigatorButtons{nbTopLeft, nbBottomRight}));
  EXPECT_EQ(c->GetFirstShownTab(), 0);
  // Row: 2 .. 200 - 40 - 2 = 158 long 156: three tabs of 42 fit, the fourth is cut.
  EXPECT_EQ(c->GetLastShownTab(), 3);
  EXPECT_FALSE(c->GetLastTabFullyVisible());
  EXPECT_FALSE(c->IsTabShown(4));
  EXPECT_EQ(c->GetNavigatorButtonState(nbTopLeft), nbsDisabled);
  EXPECT_EQ(c->GetNavigatorButtonState(nbBottomRight), nbsNormal);
  TcxPCNavigatorButton button;
  ASSERT_TRUE(c->GetPainter()->GetButtonAt(165, 10, button));
  EXPECT_EQ(button, nbTopLeft);

  // Scroll to the end; the forward arrow is then disabled.
  c->ScrollOneTab(nbBottomRight);
  c->ScrollOneTab(nbBottomRight);
  c->ScrollOneTab(nbBottomRight);
  c->ScrollOneTab(nbBottomRight);
  EXPECT_EQ(c->GetFirstShownTab(), 3);
  EXPECT_TRUE(c->GetLastTabFullyVisible());
  EXPECT_EQ(c->GetLastShownTab(), 5);
  EXPECT_EQ(c->GetNavigatorButtonState(nbBottomRight), nbsDisabled);
  // Widened: the first shown tab moves back as far as the rest still fits (a row of 196
  // holds four tabs).
  c->SetWidth(240);
  EXPECT_EQ(c->GetFirstShownTab(), 2);
  EXPECT_EQ(c->GetLastShownTab(), 5);
  c->SetWidth(400);
  EXPECT_EQ(c->GetFirstShownTab(), 0);
  EXPECT_TRUE(c->GetNavigatorButtons().Empty());
  // A control too small for any tab shows none.
  c->SetWidth(30);
  EXPECT_EQ(c->GetTabVisibleIndexAt(10, 10), -1);
  EXPECT_TRUE(RectIsEmpty(c->GetNearTabsArea()));
}

TEST_F(PCTest, NavigatorButtonOrderAtEitherEnd) {
  auto* c = Add(0, 0, 150, 100);
  c->SetStyle(1);
  AddTabs(c, {"Tab0", "Tab1", "Tab2", "Tab3"});
  c->SetOptions(cxPCDefaultOptions + TcxPCOptions{pcoGoDialog, pcoCloseButton});
  auto order = [&] {
    std::vector<TcxPCNavigatorButton> result;
    for (const auto& entry : static_cast<TcxPCStandardPainter*>(c->GetPainter())->GetButtonPositions())
      result.push_back(entry.Button);
    return result;
  };
  EXPECT_EQ(order(), (std::vector<TcxPCNavigatorButton>{nbGoDialog, nbTopLeft, nbBottomRight, nbClose}));
  EXPECT_EQ(static_cast<TcxPCStandardPainter*>(c->GetPainter())->GetButtonsRegion(), Rect(78, 0, 150, 20));
  c->SetNavigatorPosition(npLeftTop);
  EXPECT_EQ(order(), (std::vector<TcxPCNavigatorButton>{nbClose, nbTopLeft, nbBottomRight, nbGoDialog}));
  EXPECT_EQ(static_cast<TcxPCStandardPainter*>(c->GetPainter())->GetButtonsRegion(), Rect(0, 0, 72, 20));
  // Tabs start after the buttons.
  EXPECT_EQ(TabRect(c, 1).Left, 72 + 2 + 42);
}

TEST_F(PCTest, MultiLineRowsAreBalancedAndOrdered) {
  auto* c = Add(0, 0, 289, 193);
  c->SetStyle(1);
  for (int i = 0; i < 13; ++i) c->GetTabs()->Add("Tab" + std::to_string(10 + i));
  c->SetMultiLine(true);
  // Six tabs of 42 fit a row of 285: 6 + 6 + 1, balanced to 4 + 4 + 5.
  EXPECT_EQ(c->GetRowCount(), 3);
  EXPECT_EQ(RowSizes(c), (std::vector<Integer>{4, 4, 5}));
  EXPECT_TRUE(c->GetNavigatorButtons().Empty());
  // Rows are stretched to the row width.
  const TRect first = c->GetTabs()->GetTab(0)->GetNormalRect();
  const TRect fourth = c->GetTabs()->GetTab(3)->GetNormalRect();
  EXPECT_EQ(first.Left, 2);
  EXPECT_EQ(fourth.Right, 287);
  // A tab-shaped style puts the main tab's row next to the page.
  c->SetTabIndex(0);
  EXPECT_EQ(c->GetTabs()->GetTab(0)->GetVisibleRow(), 2);
  EXPECT_EQ(c->GetTabs()->GetTab(4)->GetVisibleRow(), 0);
  EXPECT_EQ(c->GetTabs()->GetTab(8)->GetVisibleRow(), 1);
  // ScrollOpposite: the rows after the main tab's row go below the page.
  c->SetTabIndex(4);
  c->SetScrollOpposite(true);
  EXPECT_EQ(c->GetTopOrLeftPartRowCount(), 2);
  EXPECT_EQ(c->GetTabs()->GetTab(8)->GetSide(), 1);
  EXPECT_GT(c->GetTabs()->GetTab(8)->GetNormalRect().Top, c->GetPainter()->GetPageFrameRect().Top);
  // A button style keeps the row order.
  c->SetScrollOpposite(false);
  c->SetStyle(2);
  c->SetTabIndex(0);
  EXPECT_EQ(c->GetTabs()->GetTab(0)->GetVisibleRow(), 0);
  // RaggedRight: rows are not stretched.
  c->SetStyle(1);
  c->SetRaggedRight(true);
  EXPECT_EQ(c->GetTabs()->GetTab(0)->GetNormalWidth(), 42);
}

TEST_F(PCTest, MultiLineLongTabFillsARowAlone) {
  auto* c = Add(0, 0, 150, 193);
  c->SetStyle(1);
  AddTabs(c, {"A", "A very long caption", "B"});
  c->SetMultiLine(true);
  EXPECT_EQ(RowSizes(c), (std::vector<Integer>{1, 1, 1}));
  // Cut to the row width (150 - 4).
  EXPECT_EQ(c->GetTabs()->GetTab(1)->GetNormalWidth(), 146);
}

TEST_F(PCTest, CalcTabsFullLength) {
  auto* c = Add(0, 0, 100, 100);
  c->SetStyle(1);
  AddTabs(c, {"One", "Two", "Three"});
  // Three tabs of 42 from x = 2, against a row that ends at 97.
  EXPECT_EQ(c->CalcTabsFullLength(), 100 + (2 + 126 - 1) - 97);
}

// ---- Input ----

TEST_F(PCTest, ClicksSelectTabsAndHitTestsFindThem) {
  auto* c = Add(10, 10, 289, 193);
  c->SetStyle(1);
  AddTabs(c, {"One", "Two", "Three"});
  c->GetTabs()->GetTab(2)->SetEnabled(false);
  TEventLog log;
  c->SetOnChange(TNotifyEvent(&log, &TEventLog::Change));
  Show();
  EXPECT_EQ(c->GetTabVisibleIndexAt(50, 10), 1);
  EXPECT_EQ(c->GetTabVisibleIndexAt(50, 40), -1);
  // The main tab's enlarged rect owns the overlap with its neighbour.
  EXPECT_EQ(c->GetTabVisibleIndexAt(45, 10), 0);
  const TPoint p = Center(TabRect(c, 1));
  Click(c, p.X, p.Y);
  EXPECT_EQ(c->GetTabIndex(), 1);
  EXPECT_EQ(log.Changes, 1);
  // A disabled tab ignores the click.
  const TPoint q = Center(TabRect(c, 2));
  Click(c, q.X, q.Y);
  EXPECT_EQ(c->GetTabIndex(), 1);
}

TEST_F(PCTest, KeyboardNavigation) {
  auto* c = Add(10, 10, 289, 193);
  c->SetStyle(1);
  AddTabs(c, {"A", "B", "C", "D"});
  Show();
  c->SetFocus();
  Run();
  auto key = [&](Word k, TShiftState shift) { return c->HandleNavigationKey(k, shift); };
  c->SetTabIndex(3);
  EXPECT_TRUE(key(VK_RIGHT, {}));  // used, nothing to the right
  EXPECT_EQ(c->GetTabIndex(), 3);
  EXPECT_TRUE(key(VK_TAB, {ssCtrl}));  // wraps
  EXPECT_EQ(c->GetTabIndex(), 0);
  EXPECT_TRUE(key(VK_TAB, {ssCtrl, ssShift}));
  EXPECT_EQ(c->GetTabIndex(), 3);
  EXPECT_FALSE(key(VK_TAB, {}));
  EXPECT_FALSE(key(VK_LEFT, {ssAlt}));
  c->GetTabs()->GetTab(0)->SetEnabled(false);
  c->GetTabs()->GetTab(1)->SetEnabled(false);
  EXPECT_TRUE(key(VK_HOME, {}));
  EXPECT_EQ(c->GetTabIndex(), 2);
  EXPECT_TRUE(key(VK_LEFT, {}));  // nothing enabled to the left
  EXPECT_EQ(c->GetTabIndex(), 2);
  EXPECT_TRUE(key(VK_END, {}));
  EXPECT_EQ(c->GetTabIndex(), 3);
  // Through the window system: an arrow key reaches the focused control.
  orv::headless::PressKey(VK_LEFT);
  Run();
  EXPECT_EQ(c->GetTabIndex(), 2);

  // Button styles move a tracking tab that Enter selects.
  c->SetStyle(2);
  EXPECT_TRUE(key(VK_RIGHT, {}));
  EXPECT_EQ(c->GetTrackingTabVisibleIndex(), 3);
  EXPECT_EQ(c->GetTabIndex(), 2);
  EXPECT_TRUE(key(VK_RETURN, {}));
  EXPECT_EQ(c->GetTabIndex(), 3);
}

TEST_F(PCTest, LeftStripRunsBackwards) {
  auto* c = Add(10, 10, 200, 193);
  c->SetStyle(1);
  c->SetTabPosition(tpLeft);
  AddTabs(c, {"A", "B", "C"});
  Show();
  EXPECT_TRUE(c->IsBackwardStrip());
  // Up is forward: it moves to the next tab, drawn above.
  Word k = VK_UP;
  c->HandleNavigationKey(k, {});
  EXPECT_EQ(c->GetTabIndex(), 1);
  EXPECT_LT(TabRect(c, 1).Top, TabRect(c, 0).Top);
  c->SetOptions(cxPCDefaultOptions + TcxPCOptions{pcoTopToBottomText});
  EXPECT_FALSE(c->IsBackwardStrip());
  EXPECT_GT(TabRect(c, 2).Top, TabRect(c, 1).Top);
}

TEST_F(PCTest, HeldArrowScrollsOnTheTimer) {
  auto* c = Add(10, 10, 200, 100);
  c->SetStyle(1);
  for (int i = 0; i < 10; ++i) c->GetTabs()->Add("Tab" + std::to_string(i));
  Show();
  const TRect arrow = static_cast<TcxPCStandardPainter*>(c->GetPainter())->GetButtonPositions()[1].Rect;
  ASSERT_EQ(static_cast<TcxPCStandardPainter*>(c->GetPainter())->GetButtonPositions()[1].Button, nbBottomRight);
  const TPoint p = Center(arrow);
  Press(c, p.X, p.Y);
  EXPECT_EQ(c->GetFirstShownTab(), 1);
  orv::headless::AdvanceTime(299);
  EXPECT_EQ(c->GetFirstShownTab(), 1);
  orv::headless::AdvanceTime(1);
  EXPECT_EQ(c->GetFirstShownTab(), 2);
  orv::headless::AdvanceTime(150);
  EXPECT_EQ(c->GetFirstShownTab(), 3);
  orv::headless::AdvanceTime(150 * 10);
  // Stops at the end: the forward arrow is disabled there.
  EXPECT_EQ(c->GetNavigatorButtonState(nbBottomRight), nbsDisabled);
  const Integer last = c->GetFirstShownTab();
  Release();
  orv::headless::AdvanceTime(1000);
  EXPECT_EQ(c->GetFirstShownTab(), last);
  EXPECT_TRUE(c->GetLastTabFullyVisible());
}

TEST_F(PCTest, CloseButtonAsksAndDeletesTheTab) {
  auto* c = Add(10, 10, 289, 100);
  c->SetStyle(1);
  AddTabs(c, {"A", "B"});
  c->SetOptions(cxPCDefaultOptions + TcxPCOptions{pcoCloseButton});
  TEventLog log;
  c->SetOnCanClose(TcxPCCanCloseEvent(&log, &TEventLog::CanClose));
  Show();
  const TRect close = static_cast<TcxPCStandardPainter*>(c->GetPainter())->GetButtonPositions()[0].Rect;
  log.Allow = false;
  Click(c, Center(close).X, Center(close).Y);
  EXPECT_EQ(log.CanCloses, 1);
  EXPECT_EQ(c->GetTabs()->GetCount(), 2);
  log.Allow = true;
  Click(c, Center(close).X, Center(close).Y);
  EXPECT_EQ(c->GetTabs()->GetCount(), 1);
  EXPECT_EQ(c->GetTabs()->Get(0), "B");
}

TEST_F(PCTest, GoDialogListsEnabledTabsAndSelects) {
  auto* c = Add(10, 10, 289, 100);
  c->SetStyle(1);
  AddTabs(c, {"&beta", "Alpha", "Gamma", "a&&b"});
  c->GetTabs()->GetTab(2)->SetEnabled(false);
  c->SetTabIndex(1);
  TcxPCGoDialog* dialog = c->GetGoDialog();
  ASSERT_NE(dialog, nullptr);
  dialog->FillItems(true);
  TMenuItem* items = dialog->GetItems();
  ASSERT_EQ(items->GetCount(), 3);
  // Sorted without accelerators and case; captions kept.
  EXPECT_EQ(items->GetItem(0)->GetCaption(), "a&&b");
  EXPECT_EQ(items->GetItem(1)->GetCaption(), "Alpha");
  EXPECT_EQ(items->GetItem(2)->GetCaption(), "&beta");
  EXPECT_TRUE(items->GetItem(1)->GetChecked());
  EXPECT_TRUE(items->GetItem(1)->GetDefault());
  EXPECT_EQ(items->GetItem(2)->GetTag(), 0);
  items->GetItem(2)->Click();
  EXPECT_EQ(c->GetTabIndex(), 0);
}

TEST_F(PCTest, GoDialogButtonOpensTheMenu) {
  auto* c = Add(10, 10, 200, 60);
  c->SetStyle(1);
  c->SetOptions(cxPCDefaultOptions + TcxPCOptions{pcoGoDialog});
  AddTabs(c, {"A", "B", "C"});
  Show();
  const TRect go = c->GetPainter()->GetGoDialogButtonBounds();
  ASSERT_FALSE(RectIsEmpty(go));
  // The menu opens below the button; Esc closes it without a choice.
  int opened = 0;
  orv::headless::SetIdleHandler([&] {
    ++opened;
    orv::headless::PressKey(VK_ESCAPE);
    return true;
  });
  Click(c, Center(go).X, Center(go).Y);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(c->GetTabIndex(), 0);
  EXPECT_FALSE(c->IsGoDialogShowing());
  EXPECT_EQ(c->GetNavigatorButtonState(nbGoDialog), nbsNormal);
  // Choosing an item selects its tab.
  int step = 0;
  orv::headless::SetIdleHandler([&] {
    if (step++ == 0) {
      orv::headless::PressKey(VK_DOWN);
      orv::headless::PressKey(VK_DOWN);
      orv::headless::PressKey(VK_RETURN);
    }
    return true;
  });
  Click(c, Center(go).X, Center(go).Y);
  orv::headless::SetIdleHandler(nullptr);
  EXPECT_NE(c->GetTabIndex(), 0);
}

TEST_F(PCTest, HotTrackWheelAndAccelerators) {
  auto* c = Add(10, 10, 150, 60);
  c->SetStyle(1);
  c->SetHotTrack(true);
  AddTabs(c, {"&One", "&Two", "T&hree", "Four", "Five"});
  Show();
  const TRect second = TabRect(c, 1);
  Move(c, Center(second).X, Center(second).Y);
  EXPECT_EQ(c->GetHotTabVisibleIndex(), 1);
  EXPECT_EQ(c->GetPainter()->GetTabTextColor(1), TColor(clHotLight));
  Move(c, 100, 50);
  EXPECT_EQ(c->GetHotTabVisibleIndex(), -1);
  // The wheel over the row scrolls by one tab.
  ASSERT_FALSE(c->GetNavigatorButtons().Empty());
  Move(c, 20, 10);
  orv::headless::Wheel(-WHEEL_DELTA);
  Run();
  EXPECT_EQ(c->GetFirstShownTab(), 1);
  orv::headless::Wheel(WHEEL_DELTA);
  Run();
  EXPECT_EQ(c->GetFirstShownTab(), 0);
  // Accelerators select the tab whose caption carries them.
  EXPECT_TRUE(c->ProcessAccelerator('h'));
  EXPECT_EQ(c->GetTabIndex(), 2);
  EXPECT_FALSE(c->ProcessAccelerator('x'));
}

namespace {

class TOwnerDraw : public TObject {
  ORV_CLASS(TOwnerDraw, TObject)
 public:
  TOwnerDraw() = default;
  void DrawTab(TcxCustomTabControl* control, TcxTab* tab, bool& defaultDraw) {
    ++Calls;
    if (tab->GetIndex() == 1) {
      control->GetCanvas()->FillRectWithColor(tab->GetVisibleRect(), clRed);
      defaultDraw = false;
    }
  }
  int Calls = 0;
};

}  // namespace

TEST_F(PCTest, OwnerDrawnTabs) {
  auto* c = Add(10, 10, 200, 60);
  c->SetStyle(1);
  AddTabs(c, {"A", "B"});
  TOwnerDraw drawer;
  c->SetOnDrawTab(TcxDrawTabEvent(&drawer, &TOwnerDraw::DrawTab));
  Show();
  EXPECT_EQ(drawer.Calls, 0);  // only with OwnerDraw
  c->SetOwnerDraw(true);
  Run();
  EXPECT_EQ(drawer.Calls, 2);
  const TPoint p = Center(TabRect(c, 1));
  const orv::TSurface surface = orv::headless::CaptureWindow(c->GetHandle());
  EXPECT_EQ(orv::PixelToColor(surface.Pixel(p.X, p.Y)), COLORREF(0x0000FF));
}
