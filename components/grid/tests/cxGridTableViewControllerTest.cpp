// The grid table view driven by the mouse and keys of the headless desktop: sorting by header
// clicks, sizing a column by its border, moving a column by its header, selecting rows with Ctrl
// and Shift, and the indicator's quick customization popup showing and hiding a column.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/data/cxCustomData.h"
#include "components/editors-more/cxCheckListBox.h"
#include "components/grid/cxGridCustomization.h"
#include "components/grid/cxGridStrs.h"
#include "components/pagecontrol/cxPC.h"
#include "components/grid/cxGridTableViewController.h"
#include "components/grid/tests/GridTableViewFixture.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"

namespace grid_table_view_test {
namespace {

std::string ControllerGoldenPath(const char* name) {
  return std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/" + name;
}

enum TModifier { kNone = 0, kShift = 1, kCtrl = 2 };

class TableViewControllerTest : public GridTableViewTest {
 protected:
  // Four columns without automatic widths, the first ten towns, no indicator.
  void Configure(Boolean indicator = false) {
    Grid->GetLookAndFeel()->SetKind(lfOffice11);
    Grid->GetLookAndFeel()->SetNativeStyle(false);
    View->GetOptionsView()->SetGroupByBox(false);
    View->GetOptionsView()->SetIndicator(indicator);
    View->GetFilterBox()->SetVisible(fvNever);
    View->GetOptionsData()->SetEditing(false);
    View->GetOptionsSelection()->SetCellSelect(false);
    Country = AddColumn("Страна"_a, 90);
    City = AddColumn("Город"_a, 120);
    Lon = AddColumn("Г.Долгота"_a, 70);
    Lat = AddColumn("Г.Широта"_a, 70);
    for (TcxGridColumn* column : {Country, City, Lon, Lat}) column->GetOptions()->SetFiltering(false);
    FillTowns();
    Grid->SetBounds(0, 0, 400, 230);
    Layout();
  }
  TcxGridTableController* Ctrl() const { return static_cast<TcxGridTableController*>(View->GetController()); }
  TcxCustomDataController* DC() const { return View->GetDataController(); }

  TPoint Screen(const TPoint& client) const { return View->GetSite()->ClientToScreen(client); }
  TRect HeaderBounds(TcxGridColumn* column) {
    for (Integer i = 0; i < Header()->Count(); ++i)
      if (Header()->GetItemColumn(i) == column) return Header()->Item(i)->GetBounds();
    ADD_FAILURE() << "no header cell";
    return {};
  }
  TPoint HeaderCentre(TcxGridColumn* column) {
    const TRect b = HeaderBounds(column);
    return TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  }
  TPoint RowPoint(Integer rowIndex) {
    for (Integer i = 0; i < Rows()->Count(); ++i)
      if (Row(i)->GetGridRecord()->GetIndex() == rowIndex) {
        const TRect b = Row(i)->GetBounds();
        return TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
      }
    ADD_FAILURE() << "row " << rowIndex << " not shown";
    return {};
  }
  void Modifiers(int modifiers, bool down) {
    if (modifiers & kShift) down ? orv::headless::KeyDown(VK_SHIFT) : orv::headless::KeyUp(VK_SHIFT);
    if (modifiers & kCtrl) down ? orv::headless::KeyDown(VK_CONTROL) : orv::headless::KeyUp(VK_CONTROL);
  }
  void MoveTo(const TPoint& client) {
    const TPoint p = Screen(client);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  // A click at a client point of the site, with modifier keys held around it.
  void ClickAt(const TPoint& client, int modifiers = kNone) {
    orv::headless::AdvanceTime(1000);  // never a double click
    MoveTo(client);
    Modifiers(modifiers, true);
    orv::headless::MouseDown(0);
    Run();
    orv::headless::MouseUp(0);
    Run();
    Modifiers(modifiers, false);
    Run();
  }
  // Presses at one client point, moves in steps to another and releases there.
  void DragFromTo(const TPoint& from, const TPoint& to) {
    orv::headless::AdvanceTime(1000);
    MoveTo(from);
    orv::headless::MouseDown(0);
    Run();
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
      MoveTo(TPoint{from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps});
    orv::headless::MouseUp(0);
    Run();
  }
  std::vector<AnsiString> CitiesInRowOrder() {
    std::vector<AnsiString> cities;
    for (Integer r = 0; r < View->GetViewData()->GetRowCount(); ++r)
      cities.push_back(View->GetViewData()->GetRow(r)->GetDisplayTexts(City->GetIndex()));
    return cities;
  }
  std::vector<Integer> SelectedRows() {
    std::vector<Integer> rows;
    for (Integer i = 0; i < DC()->GetSelectedCount(); ++i) rows.push_back(DC()->GetSelectedRowIndex(i));
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  std::vector<AnsiString> VisibleCaptions() {
    std::vector<AnsiString> captions;
    for (Integer i = 0; i < View->GetVisibleColumnCount(); ++i) captions.push_back(View->GetVisibleColumn(i)->GetCaption());
    return captions;
  }
  void ExpectGolden(const char* name) {
    const orv::TImageCheck check =
        orv::MatchGoldenImage(orv::headless::CaptureWindow(View->GetSite()->GetHandle()), ControllerGoldenPath(name));
    EXPECT_TRUE(check) << check.Message;
  }

  TcxGridColumn* Country = nullptr;
  TcxGridColumn* City = nullptr;
  TcxGridColumn* Lon = nullptr;
  TcxGridColumn* Lat = nullptr;
};

TEST_F(TableViewControllerTest, HeaderClicksSortReverseAddAndRemoveSortColumns) {
  Configure();
  int clicks = 0;
  auto onClick = [&](TcxGridTableView*, TcxGridColumn*) { ++clicks; };
  View->SetOnColumnHeaderClick(TcxGridColumnEvent::Callable(onClick));

  ClickAt(HeaderCentre(City));
  EXPECT_EQ(City->GetSortOrder(), soAscending);
  EXPECT_EQ(CitiesInRowOrder().front(), "Берлин"_a);
  EXPECT_EQ(CitiesInRowOrder().back(), "Токио"_a);

  ClickAt(HeaderCentre(City));  // again: reversed
  EXPECT_EQ(City->GetSortOrder(), soDescending);
  EXPECT_EQ(CitiesInRowOrder().front(), "Токио"_a);

  ClickAt(HeaderCentre(Country), kShift);  // Shift adds the column after the sorted one
  EXPECT_EQ(City->GetSortOrder(), soDescending);
  EXPECT_EQ(City->GetSortIndex(), 0);
  EXPECT_EQ(Country->GetSortOrder(), soAscending);
  EXPECT_EQ(Country->GetSortIndex(), 1);
  ExpectGolden("table-controller-two-sorted-headers.png");

  ClickAt(HeaderCentre(Country), kCtrl);  // Ctrl removes the column's sorting
  EXPECT_EQ(Country->GetSortOrder(), soNone);
  EXPECT_EQ(City->GetSortOrder(), soDescending);

  ClickAt(HeaderCentre(Country));  // a plain click sorts by that column alone
  EXPECT_EQ(Country->GetSortOrder(), soAscending);
  EXPECT_EQ(City->GetSortOrder(), soNone);
  EXPECT_EQ(CitiesInRowOrder().front(), "Сидней"_a);  // Австралия
  EXPECT_EQ(clicks, 5);
}

TEST_F(TableViewControllerTest, AColumnThatCannotSortIgnoresHeaderClicks) {
  Configure();
  City->GetOptions()->SetSorting(false);
  ClickAt(HeaderCentre(City));
  EXPECT_EQ(City->GetSortOrder(), soNone);
  EXPECT_EQ(CitiesInRowOrder().front(), "Москва"_a);
}

TEST_F(TableViewControllerTest, DraggingAColumnBorderSizesTheColumn) {
  Configure();
  int sizeChanges = 0;
  auto onSize = [&](TcxGridTableView*, TcxGridColumn* column) {
    ++sizeChanges;
    EXPECT_EQ(column, City);
  };
  View->SetOnColumnSizeChanged(TcxGridColumnEvent::Callable(onSize));
  const TRect header = HeaderBounds(City);
  const Integer oldWidth = header.Width();
  const TPoint edge{header.Right - 1, (header.Top + header.Bottom) / 2};
  ASSERT_NE(dynamic_cast<TcxGridColumnHeaderHorzSizingEdgeHitTest*>(ViewInfo()->GetHitTest(edge)), nullptr);

  DragFromTo(edge, TPoint{edge.X + 40, edge.Y + 30});
  EXPECT_EQ(City->GetWidth(), oldWidth + 40);
  EXPECT_EQ(HeaderBounds(City).Width(), oldWidth + 40);
  EXPECT_EQ(HeaderBounds(Lon).Left, HeaderBounds(City).Right);
  EXPECT_EQ(sizeChanges, 1);
  ExpectGolden("table-controller-sized-column.png");

  // Released where it started: nothing changes, no event.
  const TPoint newEdge{HeaderBounds(City).Right - 1, edge.Y};
  DragFromTo(newEdge, TPoint{newEdge.X + 30, newEdge.Y});
  const Integer widened = City->GetWidth();
  EXPECT_EQ(widened, oldWidth + 70);
  orv::headless::AdvanceTime(1000);
  MoveTo(TPoint{HeaderBounds(City).Right - 1, edge.Y});
  orv::headless::MouseDown(0);
  Run();
  MoveTo(TPoint{HeaderBounds(City).Right + 20, edge.Y});
  MoveTo(TPoint{HeaderBounds(City).Right - 1, edge.Y});
  orv::headless::MouseUp(0);
  Run();
  EXPECT_EQ(City->GetWidth(), widened);
  EXPECT_EQ(sizeChanges, 2);
  // A column is never narrower than its least width.
  DragFromTo(TPoint{HeaderBounds(City).Right - 1, edge.Y}, TPoint{HeaderBounds(City).Left - 50, edge.Y});
  EXPECT_EQ(HeaderBounds(City).Width(), Header()->Item(1)->CalculateMinWidth());
  EXPECT_EQ(City->GetSortOrder(), soNone) << "a sizing drag is no header click";
}

TEST_F(TableViewControllerTest, DraggingARowsIndicatorEdgeSizesTheRows) {
  Configure(true);
  View->GetOptionsCustomize()->SetDataRowSizing(true);
  Run();
  const TRect row = Row(0)->GetBounds();
  const Integer oldHeight = row.Height();
  const TPoint edge{Indicator()->GetBounds().Left + 5, row.Bottom - 1};
  ASSERT_NE(dynamic_cast<TcxGridRowSizingEdgeHitTest*>(ViewInfo()->GetHitTest(edge)), nullptr);
  DragFromTo(edge, TPoint{edge.X, edge.Y + 12});
  EXPECT_EQ(Row(0)->GetBounds().Height(), oldHeight + 12);
  EXPECT_EQ(Row(1)->GetBounds().Height(), oldHeight + 12) << "every data row takes the height";
  EXPECT_GT(View->GetOptionsView()->GetDataRowHeight(), 0);
}

TEST_F(TableViewControllerTest, DraggingAHeaderMovesTheColumnWhereMovingIsAllowed) {
  Configure();
  int moves = 0;
  auto onPos = [&](TcxGridTableView*, TcxGridColumn*) { ++moves; };
  View->SetOnColumnPosChanged(TcxGridColumnEvent::Callable(onPos));
  const TPoint grip{HeaderBounds(Country).Left + 20, HeaderCentre(Country).Y};

  // Onto the gap right after its own header: no change, no event.
  DragFromTo(grip, TPoint{HeaderBounds(City).Left + 5, grip.Y});
  EXPECT_EQ(VisibleCaptions(), (std::vector<AnsiString>{"Страна"_a, "Город"_a, "Г.Долгота"_a, "Г.Широта"_a}));
  EXPECT_EQ(moves, 0);
  EXPECT_EQ(Country->GetSortOrder(), soNone) << "a moving drag is no header click";

  // Past the middle of the third header: it lands between the third and the fourth.
  DragFromTo(grip, TPoint{HeaderCentre(Lon).X + 10, grip.Y});
  EXPECT_EQ(VisibleCaptions(), (std::vector<AnsiString>{"Город"_a, "Г.Долгота"_a, "Страна"_a, "Г.Широта"_a}));
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(Ctrl()->GetMovingItem(), nullptr);
  ExpectGolden("table-controller-moved-column.png");

  // A column whose moving is off does not start a drag.
  Lat->GetOptions()->SetMoving(false);
  DragFromTo(HeaderCentre(Lat), TPoint{HeaderBounds(City).Left + 3, grip.Y});
  EXPECT_EQ(Lat->GetVisibleIndex(), 3);
  // Nor does any column when the view forbids moving.
  Lat->GetOptions()->SetMoving(true);
  View->GetOptionsCustomize()->SetColumnMoving(false);
  DragFromTo(HeaderCentre(Lat), TPoint{HeaderBounds(City).Left + 3, grip.Y});
  EXPECT_EQ(Lat->GetVisibleIndex(), 3);
  EXPECT_EQ(moves, 1);
}

TEST_F(TableViewControllerTest, WhileAColumnIsMovedTwoArrowsMarkTheGapItWouldLandIn) {
  Configure();
  Grid->SetBounds(0, 40, 400, 230);  // room above the header for the upper arrow
  Run();
  const TPoint grip{HeaderBounds(Country).Left + 20, HeaderCentre(Country).Y};
  orv::headless::AdvanceTime(1000);
  MoveTo(grip);
  orv::headless::MouseDown(0);
  Run();
  MoveTo(TPoint{grip.X + 20, grip.Y});
  auto* moving = dynamic_cast<TcxCustomGridMovingObject*>(View->GetSite()->GetDragAndDropObject());
  ASSERT_NE(moving, nullptr);
  EXPECT_EQ(Ctrl()->GetMovingItem(), Country);

  // Over the left half of the fourth header: the gap before it. One arrow above the header
  // points down at the gap, one below points up; both centred on the gap's line.
  const TRect header = HeaderBounds(Lat);
  const Integer gapY = grip.Y;
  MoveTo(TPoint{header.Left + 10, gapY});
  struct TArrowRects {
    RECT Top, Bottom;
  };
  auto arrowRects = [&]() {
    TArrowRects r{};
    for (int i = 0; i < 2; ++i) {
      TcxDragAndDropArrow* arrow = moving->GetArrow(i);
      EXPECT_NE(arrow, nullptr);
      if (!arrow) return r;
      EXPECT_TRUE(arrow->GetShowing()) << "arrow " << i;
      GetWindowRect(arrow->GetHandle(), i == 0 ? &r.Top : &r.Bottom);
    }
    return r;
  };
  const TArrowRects first = arrowRects();
  const TPoint gapTop = Screen(TPoint{header.Left, header.Top});
  const TPoint gapBottom = Screen(TPoint{header.Left, header.Bottom});
  for (const RECT& r : {first.Top, first.Bottom}) {
    EXPECT_LE(r.Left, gapTop.X);
    EXPECT_GE(r.Right, gapTop.X);
    EXPECT_NEAR((r.Left + r.Right) / 2, gapTop.X, 1);
  }
  EXPECT_LE(first.Top.Bottom, gapTop.Y + 1);
  EXPECT_GE(first.Bottom.Top, gapBottom.Y - 1);
  const orv::TImageCheck screen = orv::MatchGoldenImage(orv::headless::CaptureScreen(),
                                                        ControllerGoldenPath("table-controller-moving-arrows-screen.png"));
  EXPECT_TRUE(screen) << screen.Message;

  // Within the same gap the arrows stay where they are.
  MoveTo(TPoint{header.Left + 14, gapY});
  const TArrowRects same = arrowRects();
  EXPECT_EQ(same.Top.Left, first.Top.Left);
  EXPECT_EQ(same.Bottom.Left, first.Bottom.Left);

  // Past the middle of the last header: the gap after it, at the header's right end.
  MoveTo(TPoint{header.Right - 5, gapY});
  const TArrowRects end = arrowRects();
  const TPoint endTop = Screen(TPoint{header.Right, header.Top});
  EXPECT_NEAR((end.Top.Left + end.Top.Right) / 2, endTop.X, 1);
  EXPECT_NEAR((end.Bottom.Left + end.Bottom.Right) / 2, endTop.X, 1);

  // Far below the view no container takes it (column hiding is off): no arrows.
  MoveTo(TPoint{header.Right - 5, header.Bottom + 150});
  for (int i = 0; i < 2; ++i)
    if (TcxDragAndDropArrow* arrow = moving->GetArrow(i)) {
      EXPECT_FALSE(arrow->GetShowing()) << "arrow " << i;
    }
  MoveTo(TPoint{header.Left + 10, gapY});
  orv::headless::MouseUp(0);
  Run();
  EXPECT_EQ(VisibleCaptions(), (std::vector<AnsiString>{"Город"_a, "Г.Долгота"_a, "Страна"_a, "Г.Широта"_a}));
  EXPECT_EQ(Ctrl()->GetMovingItem(), nullptr);
}

TEST_F(TableViewControllerTest, DraggingAHeaderOffTheViewHidesItOnlyWithColumnHiding) {
  Configure();
  const TPoint grip = HeaderCentre(Lon);
  const TPoint outside{grip.X, HeaderBounds(Lon).Bottom + 120};
  DragFromTo(grip, outside);
  EXPECT_TRUE(Lon->GetVisible());
  View->GetOptionsCustomize()->SetColumnHiding(true);
  DragFromTo(grip, outside);
  EXPECT_FALSE(Lon->GetVisible());
}

TEST_F(TableViewControllerTest, TheCustomizationFormListsAColumnDraggedOutOfTheViewIntoIt) {
  Configure();
  View->GetController()->SetCustomization(true);
  auto* form = dynamic_cast<TcxGridTableCustomizationForm*>(View->GetController()->GetCustomizationForm());
  ASSERT_NE(form, nullptr);
  // Away from the grid, so that the headers stay uncovered.
  form->SetBounds(600, 150, 180, 300);
  Run();
  ASSERT_TRUE(form->GetVisible());
  EXPECT_EQ(form->GetPageControl()->GetActivePage(), form->GetItemsPage());
  EXPECT_EQ(form->GetItemsPage()->GetCaption(), GetLocalizedResourceString(&scxGridCustomizationFormColumnsPageCaption));
  TcxCustomGridTableItemsListBox* list = form->GetItemsListBox();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetCount(), 0) << "every column is shown";
  auto listPoint = [&](const TPoint& listClient) { return View->GetSite()->ScreenToClient(list->ClientToScreen(listClient)); };

  // A header dragged into the form's list: the column is hidden and listed there.
  DragFromTo(HeaderCentre(Lon), listPoint(TPoint{list->GetWidth() / 2, list->GetHeight() / 2}));
  EXPECT_FALSE(Lon->GetVisible());
  EXPECT_EQ(VisibleCaptions(), (std::vector<AnsiString>{"Страна"_a, "Город"_a, "Г.Широта"_a}));
  ASSERT_EQ(list->GetCount(), 1);
  EXPECT_EQ(list->GetItems()->Get(0), "Г.Долгота"_a);
  EXPECT_EQ(Ctrl()->GetMovingItem(), nullptr);

  // A press on the entry that stays within the drag-detect area starts nothing.
  const TRect entry = list->ItemRect(0);
  const TPoint entryCentre{(entry.Left + entry.Right) / 2, (entry.Top + entry.Bottom) / 2};
  DragFromTo(listPoint(entryCentre), listPoint(TPoint{entryCentre.X + 1, entryCentre.Y}));
  EXPECT_FALSE(Lon->GetVisible());
  EXPECT_EQ(list->GetCount(), 1);

  // The entry dragged back onto the header, over the left half of "Город": shown again there, and
  // gone from the list.
  const TRect city = HeaderBounds(City);
  DragFromTo(listPoint(entryCentre), TPoint{city.Left + 10, (city.Top + city.Bottom) / 2});
  EXPECT_TRUE(Lon->GetVisible());
  EXPECT_EQ(VisibleCaptions(), (std::vector<AnsiString>{"Страна"_a, "Г.Долгота"_a, "Город"_a, "Г.Широта"_a}));
  EXPECT_EQ(list->GetCount(), 0);
  EXPECT_EQ(Ctrl()->GetMovingItem(), nullptr);

  View->GetController()->SetCustomization(false);
}

TEST_F(TableViewControllerTest, TheCustomizationFormsListFillsItsPageWhereverTheFormIsPlaced) {
  Configure();
  View->GetController()->SetCustomization(true);
  auto* form = dynamic_cast<TcxGridTableCustomizationForm*>(View->GetController()->GetCustomizationForm());
  ASSERT_NE(form, nullptr);
  for (const TRect& bounds : {TRect{600, 150, 780, 450}, TRect{500, 20, 760, 420}}) {
    form->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    Run();
    TcxCustomGridTableItemsListBox* list = form->GetItemsListBox();
    const TRect client = form->GetClientRect();
    const Integer margin = form->GetMargin();
    EXPECT_EQ(form->GetPageControl()->GetBoundsRect(),
              (TRect{margin, margin, client.Right - margin, client.Bottom - margin}));
    EXPECT_EQ(list->GetWidth(), form->GetItemsPage()->GetClientWidth());
    EXPECT_EQ(list->GetHeight(), form->GetItemsPage()->GetClientHeight());
    EXPECT_GT(list->GetHeight(), client.Height() / 2);
    // A press in the middle of the list reaches the list's own window.
    const TPoint centre = list->ClientToScreen(TPoint{list->GetWidth() / 2, list->GetHeight() / 2});
    HWND window = WindowFromPoint(POINT{centre.X, centre.Y});
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindControl(window), list->GetInnerListBox());
  }
  View->GetController()->SetCustomization(false);
}

TEST_F(TableViewControllerTest, CtrlAndShiftClicksSelectRows) {
  Configure(true);
  View->GetOptionsSelection()->SetMultiSelect(true);
  Run();
  ClickAt(RowPoint(1));
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1}));
  ClickAt(RowPoint(3), kCtrl);  // adds
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1, 3}));
  ClickAt(RowPoint(6), kShift);  // the range from the anchor (row 3), dropping the rest
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{3, 4, 5, 6}));
  ClickAt(RowPoint(0), kCtrl);
  ClickAt(RowPoint(8), kCtrl | kShift);  // Shift+Ctrl adds the range from the anchor (row 0)
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  ExpectGolden("table-controller-selected-rows.png");
  ClickAt(RowPoint(4), kCtrl);  // removes a selected row
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{0, 1, 2, 3, 5, 6, 7, 8}));
  ClickAt(RowPoint(2));  // a plain click leaves only that row
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{2}));
}

TEST_F(TableViewControllerTest, CtrlClickOnASelectedRowUnselectsItOnlyOnReleaseOverIt) {
  Configure(true);
  View->GetOptionsSelection()->SetMultiSelect(true);
  Run();
  ClickAt(RowPoint(1));
  ClickAt(RowPoint(2), kCtrl);
  orv::headless::AdvanceTime(1000);
  MoveTo(RowPoint(2));
  orv::headless::KeyDown(VK_CONTROL);
  orv::headless::MouseDown(0);
  Run();
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1, 2})) << "the decision waits for the release";
  MoveTo(RowPoint(5));
  orv::headless::MouseUp(0);
  orv::headless::KeyUp(VK_CONTROL);
  Run();
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1, 2})) << "released over another row";
}

TEST_F(TableViewControllerTest, KeysMoveTheFocusAndTheSelection) {
  Configure(true);
  View->GetOptionsSelection()->SetMultiSelect(true);
  Run();
  ClickAt(RowPoint(1));
  struct TStep {
    Word Key;
    int Modifiers;
    Integer Focused;
    std::vector<Integer> Selected;
  };
  const TStep steps[] = {
      {VK_DOWN, kShift, 2, {1, 2}},       {VK_DOWN, kShift, 3, {1, 2, 3}}, {VK_DOWN, kCtrl, 4, {1, 2, 3}},
      {VK_SPACE, kCtrl, 4, {1, 2, 3, 4}}, {VK_UP, kNone, 3, {3}},
  };
  for (const TStep& step : steps) {
    orv::headless::PressKey(step.Key, step.Modifiers & kShift, step.Modifiers & kCtrl);
    Run();
    EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), step.Focused) << step.Key;
    EXPECT_EQ(SelectedRows(), step.Selected) << step.Key;
  }
}

TEST_F(TableViewControllerTest, QuickCustomizationPopupHidesAndShowsAColumnWithItsRussianHint) {
  Configure(true);
  View->GetOptionsCustomize()->SetColumnsQuickCustomization(true);
  cxSetResourceString(&scxGridColumnsQuickCustomizationHint, "Управление видимостью столбцов"_a);
  Run();
  TcxCustomGridIndicatorItemViewInfo* header = Indicator()->Item(0);
  const TRect b = header->GetBounds();
  const TPoint centre{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  orv::headless::AdvanceTime(1000);
  MoveTo(centre);
  orv::headless::AdvanceTime(1000);
  Run();
  TcxCustomGridController* controller = View->GetController();
  ASSERT_NE(controller->GetHintWindow(), nullptr);
  EXPECT_EQ(controller->GetHintWindow()->GetCaption(), "Управление видимостью столбцов"_a);

  auto* popup = dynamic_cast<TcxGridColumnsCustomizationPopup*>(Ctrl()->GetItemsCustomizationPopup());
  ASSERT_NE(popup, nullptr);
  popup->SetOwnLoop(false);  // the test drives the desktop's loop itself
  orv::headless::MouseDown(0);
  Run();
  orv::headless::MouseUp(0);
  Run();
  ASSERT_TRUE(popup->IsVisible());
  TcxCheckListBox* list = popup->GetCheckListBox();
  ASSERT_EQ(list->GetItems()->GetCount(), 4);
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(list->GetItems()->GetItem(i)->GetState(), cbsChecked) << i;
  EXPECT_EQ(list->GetItems()->GetItem(1)->GetText(), "Город"_a);

  // A click on the check box of the second entry hides the column at once.
  TcxCustomInnerCheckListBox* inner = list->GetInnerCheckListBox();
  const TRect check = inner->GetCheckRect(inner->ItemRect(1), false);
  const TPoint checkPoint = inner->ClientToScreen(TPoint{(check.Left + check.Right) / 2, (check.Top + check.Bottom) / 2});
  orv::headless::AdvanceTime(1000);
  orv::headless::MouseMove(checkPoint.X, checkPoint.Y);
  orv::headless::Click(checkPoint.X, checkPoint.Y);
  Run();
  EXPECT_FALSE(City->GetVisible());
  EXPECT_EQ(VisibleCaptions(), (std::vector<AnsiString>{"Страна"_a, "Г.Долгота"_a, "Г.Широта"_a}));
  ASSERT_TRUE(popup->IsVisible()) << "the popup stays open";
  EXPECT_EQ(list->GetItems()->GetItem(1)->GetState(), cbsUnchecked);
  const orv::TImageCheck shot = orv::MatchGoldenImage(orv::headless::CaptureScreen(),
                                                      ControllerGoldenPath("table-controller-quick-customization.png"));
  EXPECT_TRUE(shot) << shot.Message;

  // Checked again, it comes back in its old position.
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(checkPoint.X, checkPoint.Y);
  Run();
  EXPECT_TRUE(City->GetVisible());
  EXPECT_EQ(City->GetVisibleIndex(), 1);
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_FALSE(popup->IsVisible());
}

TEST_F(TableViewControllerTest, AnEntryDraggedByTheMouseInTheQuickCustomizationListMovesItsColumn) {
  Configure(true);
  View->GetOptionsCustomize()->SetColumnsQuickCustomization(true);
  Run();
  auto* popup = dynamic_cast<TcxGridColumnsCustomizationPopup*>(Ctrl()->GetItemsCustomizationPopup());
  ASSERT_NE(popup, nullptr);
  popup->SetOwnLoop(false);
  const TRect b = Indicator()->Item(0)->GetBounds();
  ClickAt(TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
  ASSERT_TRUE(popup->IsVisible());
  TcxCheckListBox* list = popup->GetCheckListBox();
  TcxCustomInnerCheckListBox* inner = list->GetInnerCheckListBox();
  ASSERT_EQ(list->GetItems()->GetCount(), 4);
  // A point on an entry's text, right of its check box.
  auto entryPoint = [&](Integer index, Integer dy) {
    const TRect r = inner->ItemRect(index);
    return inner->ClientToScreen(TPoint{(r.Left + r.Right) / 2 + 10, (r.Top + r.Bottom) / 2 + dy});
  };
  // Pressed on "Г.Широта" and dragged, in steps and past the threshold, onto the upper half of
  // the first entry; twice, as the list's drag mode must outlive each press.
  auto dragEntry = [&](Integer from, Integer to) {
    const TPoint start = entryPoint(from, 0);
    const TPoint end = entryPoint(to, -3);
    orv::headless::AdvanceTime(1000);
    orv::headless::MouseMove(start.X, start.Y);
    Run();
    orv::headless::MouseDown(0);
    Run();
    for (int i = 1; i <= 4; ++i) {
      orv::headless::MouseMove(start.X + (end.X - start.X) * i / 4, start.Y + (end.Y - start.Y) * i / 4);
      Run();
    }
    EXPECT_EQ(popup->GetDropTargetIndex(), to) << "the arrows mark the gap above the entry";
    orv::headless::MouseUp(0);
    Run();
    EXPECT_EQ(popup->GetDropTargetIndex(), -1);
  };
  dragEntry(3, 0);
  EXPECT_EQ(VisibleCaptions(), (std::vector<AnsiString>{"Г.Широта"_a, "Страна"_a, "Город"_a, "Г.Долгота"_a}));
  EXPECT_EQ(list->GetItems()->GetItem(0)->GetText(), "Г.Широта"_a) << "the list follows the new order";
  EXPECT_EQ(inner->GetDragMode(), dmAutomatic);
  dragEntry(3, 1);
  EXPECT_EQ(VisibleCaptions(), (std::vector<AnsiString>{"Г.Широта"_a, "Г.Долгота"_a, "Страна"_a, "Город"_a}));
  ASSERT_TRUE(popup->IsVisible()) << "the popup stays open";
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(list->GetItems()->GetItem(i)->GetState(), cbsChecked) << i;
  orv::headless::PressKey(VK_ESCAPE);
  Run();
}

TEST_F(TableViewControllerTest, QuickCustomizationLeavesOutItemsHiddenFromCustomizationAndReorders) {
  Configure(true);
  View->GetOptionsCustomize()->SetColumnsQuickCustomization(true);
  Lat->SetVisibleForCustomization(false);
  Run();
  auto* popup = static_cast<TcxGridColumnsCustomizationPopup*>(Ctrl()->GetItemsCustomizationPopup());
  popup->FillItems();
  TcxCheckListBox* list = popup->GetCheckListBox();
  ASSERT_EQ(list->GetItems()->GetCount(), 3);
  EXPECT_TRUE(popup->AllowsReordering());
  list->SetSelected(0, true);
  popup->DropSelectedAt(3);
  // Moving the first entry below the last one puts the column after the last listed column (the
  // column left out of the list keeps its place).
  EXPECT_EQ(Country->GetIndex(), 2);
  EXPECT_EQ(VisibleCaptions(), (std::vector<AnsiString>{"Город"_a, "Г.Долгота"_a, "Страна"_a, "Г.Широта"_a}));
  View->GetOptionsCustomize()->SetColumnsQuickCustomizationReordering(qcrDisabled);
  EXPECT_FALSE(popup->AllowsReordering());
}

}  // namespace
}  // namespace grid_table_view_test
