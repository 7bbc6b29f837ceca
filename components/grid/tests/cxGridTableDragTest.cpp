// The grid table view under the mouse of the headless desktop while something is dragged: records
// dragged with the platform's drag and drop (scrolling at the edges on the test clock, the drag
// cursors and image, highlighting and focusing the record under the mouse), a column header
// dragged into the group-by box, and the horizontal scroll position.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxCustomData.h"
#include "components/editors-more/cxCheckListBox.h"
#include "components/grid/cxGridCustomization.h"
#include "components/grid/cxGridCommon.h"
#include "components/grid/cxGridTableViewController.h"
#include "components/grid/tests/GridTableViewFixture.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"

namespace grid_table_drag_test {
namespace {

using grid_table_view_test::GridTableViewTest;

std::string DragGoldenPath(const char* name) {
  return std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/" + name;
}

class TableDragTest : public GridTableViewTest {
 protected:
  void Configure(Integer towns, Integer height) {
    Grid->GetLookAndFeel()->SetKind(lfOffice11);
    Grid->GetLookAndFeel()->SetNativeStyle(false);
    View->GetOptionsView()->SetGroupByBox(false);
    View->GetFilterBox()->SetVisible(fvNever);
    View->GetOptionsData()->SetEditing(false);
    View->GetOptionsSelection()->SetCellSelect(false);
    Country = AddColumn("Страна"_a, 90);
    City = AddColumn("Город"_a, 120);
    Lon = AddColumn("Г.Долгота"_a, 70);
    Lat = AddColumn("Г.Широта"_a, 70);
    for (TcxGridColumn* column : {Country, City, Lon, Lat}) column->GetOptions()->SetFiltering(false);
    FillTowns(towns);
    Grid->SetBounds(0, 0, 400, height);
    Layout();
  }
  TcxGridTableController* Ctrl() const { return static_cast<TcxGridTableController*>(View->GetController()); }
  // A view of 64 columns whose quick-customization list, opened by a click on the indicator's
  // header, does not fit one column below the header.
  TcxGridColumnsCustomizationPopup* OpenQuickCustomizationOfSixtyColumns() {
    Configure(10, 230);
    for (Integer i = 0; i < 60; ++i) AddColumn("Столбец "_a + IntToStr(i), 30);
    View->GetOptionsView()->SetIndicator(true);
    View->GetOptionsCustomize()->SetColumnsQuickCustomization(true);
    Run();
    auto* popup = dynamic_cast<TcxGridColumnsCustomizationPopup*>(Ctrl()->GetItemsCustomizationPopup());
    if (!popup) return nullptr;
    popup->SetOwnLoop(false);
    const TRect b = Indicator()->Item(0)->GetBounds();
    orv::headless::AdvanceTime(1000);
    MoveTo(TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
    orv::headless::MouseDown(0);
    Run();
    orv::headless::MouseUp(0);
    Run();
    return popup;
  }
  TcxGridSite* Site() const { return View->GetSite(); }
  TPoint ToScreen(const TPoint& client) const { return Site()->ClientToScreen(client); }
  void MoveTo(const TPoint& client) {
    const TPoint p = ToScreen(client);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  TRect RecordsBounds() {
    TRect r;
    ViewInfo()->GetRecordsViewInfo()->GetBounds(r);
    return r;
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
  // Presses at a client point of the site; while the site waits for the drag to start, the mouse
  // moves `dy` pixels down, past the drag threshold, so that the platform's drag begins.
  void StartRecordDrag(const TPoint& from, Integer dy = 12) {
    orv::headless::AdvanceTime(1000);
    MoveTo(from);
    const TPoint moved = ToScreen(TPoint{from.X, from.Y + dy});
    int step = 0;
    orv::headless::SetIdleHandler([&]() {
      if (step++ > 0) return false;
      orv::headless::MouseMove(moved.X, moved.Y);
      return true;
    });
    orv::headless::MouseDown(0);
    Run();
    orv::headless::SetIdleHandler(nullptr);
  }
  void Release() {
    orv::headless::MouseUp(0);
    Run();
  }
  void Tick(DWORD ms) {
    orv::headless::AdvanceTime(ms);
    Run();
  }
  TPoint HeaderCentre(TcxGridColumn* column) {
    for (Integer i = 0; i < Header()->Count(); ++i)
      if (Header()->GetItemColumn(i) == column) {
        const TRect b = Header()->Item(i)->GetBounds();
        return TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
      }
    ADD_FAILURE() << "no header cell";
    return {};
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
    Release();
  }
  void ExpectGolden(HWND window, const char* name) {
    const orv::TImageCheck check = orv::MatchGoldenImage(orv::headless::CaptureWindow(window), DragGoldenPath(name));
    EXPECT_TRUE(check) << check.Message;
  }

  TcxGridColumn* Country = nullptr;
  TcxGridColumn* City = nullptr;
  TcxGridColumn* Lon = nullptr;
  TcxGridColumn* Lat = nullptr;
};

TEST_F(TableDragTest, DraggingNearTheRecordsEdgesScrollsEveryTwentyMillisecondsOfTheClock) {
  Configure(40, 230);
  View->SetDragMode(dmAutomatic);
  Run();
  ASSERT_EQ(Ctrl()->GetTopRecordIndex(), 0);
  StartRecordDrag(RowPoint(2));
  ASSERT_NE(GetDragObject(), nullptr) << "the platform drag started";

  // Within 15 pixels of the records' bottom edge: the drag scroll timer runs downwards.
  const TRect records = RecordsBounds();
  MoveTo(TPoint{150, records.Bottom - 5});
  EXPECT_EQ(Ctrl()->GetDragScrollDirectionValue(), dirDown);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 0) << "nothing scrolls before the first tick";
  Tick(19);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 0);
  Tick(1);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 1);
  Tick(20);
  Tick(20);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 3);
  // The record under the mouse is drag-highlighted.
  TcxCustomGridRecord* highlighted = Ctrl()->GetDragHighlightedRecord();
  ASSERT_NE(highlighted, nullptr);
  EXPECT_TRUE(highlighted->DragHighlighted());

  // In the middle of the records nothing scrolls any more.
  MoveTo(TPoint{150, (records.Top + records.Bottom) / 2});
  EXPECT_EQ(Ctrl()->GetDragScrollDirectionValue(), dirNone);
  Tick(100);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 3);

  // Near the top edge it scrolls back up, and stops at the first record.
  MoveTo(TPoint{150, records.Top + 3});
  EXPECT_EQ(Ctrl()->GetDragScrollDirectionValue(), dirUp);
  for (int i = 0; i < 6; ++i) Tick(20);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 0);

  // The drop ends it all: no timer, no highlighted record; the focus stays (no drag focusing).
  Release();
  EXPECT_EQ(GetDragObject(), nullptr);
  EXPECT_EQ(Ctrl()->GetDragScrollDirectionValue(), dirNone);
  EXPECT_EQ(Ctrl()->GetDragHighlightedRecord(), nullptr);
  Tick(100);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 0);
  EXPECT_EQ(View->GetDataController()->GetFocusedRowIndex(), 2);
}

TEST_F(TableDragTest, WithoutDragScrollingTheEdgesDoNotScroll) {
  Configure(40, 230);
  View->SetDragMode(dmAutomatic);
  View->GetOptionsBehavior()->SetDragScrolling(false);
  Run();
  StartRecordDrag(RowPoint(2));
  MoveTo(TPoint{150, RecordsBounds().Bottom - 5});
  Tick(100);
  EXPECT_EQ(Ctrl()->GetTopRecordIndex(), 0);
  Release();
}

TEST_F(TableDragTest, TheDragCursorTellsOneRecordFromSeveralAndTheRecordUnderTheMouseTakesTheFocus) {
  Configure(10, 230);
  View->SetDragMode(dmAutomatic);
  View->GetOptionsBehavior()->SetDragFocusing(dfDragOver);
  auto accept = [](TObject*, TObject*, Integer, Integer, TDragState, bool& accepted) { accepted = true; };
  View->SetOnDragOver(TDragOverEvent::Callable(accept));
  Run();
  StartRecordDrag(RowPoint(1));
  EXPECT_EQ(Screen->GetCursor(), crcxGridDrag);
  MoveTo(RowPoint(5));
  EXPECT_EQ(View->GetDataController()->GetFocusedRowIndex(), 5) << "drag focusing on drag-over";
  Release();

  View->GetOptionsBehavior()->SetDragFocusing(dfNone);
  View->GetOptionsSelection()->SetMultiSelect(true);
  View->GetDataController()->SelectRows(1, 3);
  StartRecordDrag(RowPoint(2));
  EXPECT_EQ(Screen->GetCursor(), crcxGridMultiDrag);
  Release();
}

TEST_F(TableDragTest, TheDragImageShowsTheDragDropTextBesideTheCursor) {
  Configure(10, 230);
  View->SetDragMode(dmAutomatic);
  View->GetOptionsBehavior()->SetDragDropText(true);
  auto text = [](TcxCustomGridTableView*, TcxCustomGridRecord*, TcxCustomGridTableItem*, AnsiString& t) {
    t = "Город Москва"_a;
  };
  View->SetOnGetDragDropText(TcxGridGetDragDropTextEvent::Callable(text));
  Run();
  StartRecordDrag(RowPoint(0));
  ASSERT_NE(GetDragObject(), nullptr);
  EXPECT_EQ(Ctrl()->GetDragDropTextValue(), "Город Москва"_a);
  TDragImageList* images = Site()->GetDragImages();
  ASSERT_NE(images, nullptr);
  ASSERT_TRUE(images->GetDragging());
  MoveTo(RowPoint(4));
  HWND image = images->GetDragImageWindow();
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(IsWindowVisible(image)) << "the site displays drag images";
  RECT r;
  GetWindowRect(image, &r);
  TSize size;
  Ctrl()->GetDragImagesSize(size);
  EXPECT_EQ(r.Width(), size.cx);
  EXPECT_EQ(r.Height(), size.cy);
  EXPECT_GT(size.cx, 35) << "the text's width and 35";
  // On the screen the image's frames and text lie over the rows; its background lets them show.
  const orv::TSurface screen = orv::headless::CaptureScreen();
  const TRect area{r.Left - 10, r.Top - 10, r.Right + 10, r.Bottom + 10};
  orv::TSurface crop(area.Width(), area.Height());
  for (int y = 0; y < area.Height(); ++y)
    for (int x = 0; x < area.Width(); ++x) crop.SetPixel(x, y, screen.Pixel(area.Left + x, area.Top + y));
  const orv::TImageCheck check = orv::MatchGoldenImage(crop, DragGoldenPath("table-drag-image-text.png"));
  EXPECT_TRUE(check) << check.Message;
  Release();
  EXPECT_FALSE(IsWindow(image));
}

TEST_F(TableDragTest, ADragRestingOnAGroupsExpandButtonOpensTheGroupAfterTheGridsWait) {
  Configure(10, 260);
  View->SetDragMode(dmAutomatic);
  Country->SetGroupIndex(0);
  Run();
  View->GetViewData()->GetRow(0)->SetExpanded(true);  // Австралия: Сидней
  Run();
  ASSERT_FALSE(View->GetViewData()->GetRow(2)->GetExpanded());
  // The expand button of the third row (Германия), found by its hit test.
  TPoint button{-1, -1};
  const TPoint centre = RowPoint(2);
  for (Integer x = 0; x < 60 && button.X < 0; ++x)
    if (TcxCustomGridHitTest* hit = ViewInfo()->GetHitTest(TPoint{x, centre.Y}))
      if (hit->GetHitTestCode() == htExpandButton) button = TPoint{x, centre.Y};
  ASSERT_GE(button.X, 0) << "no expand button on the group row";

  StartRecordDrag(RowPoint(1));
  ASSERT_NE(GetDragObject(), nullptr);
  MoveTo(button);
  Tick(Grid->GetDragOpeningWaitTime() - 1);
  EXPECT_FALSE(View->GetViewData()->GetRow(2)->GetExpanded()) << "not before the wait";
  MoveTo(TPoint{button.X + 1, button.Y});  // still the same button: the wait goes on
  Tick(1);
  EXPECT_TRUE(View->GetViewData()->GetRow(2)->GetExpanded());
  Release();
  EXPECT_EQ(Grid->GetController()->GetDragOpenInfoValue(), nullptr);
}

TEST_F(TableDragTest, DraggingAHeaderIntoTheGroupByBoxGroupsByItsColumn) {
  Configure(10, 260);
  View->GetOptionsView()->SetGroupByBox(true);
  Run();
  EXPECT_EQ(Country->GetGroupIndex(), -1);
  TcxGridGroupByBoxViewInfo* box = ViewInfo()->GroupByBoxViewInfo();
  ASSERT_NE(box, nullptr);
  const TRect boxBounds = box->GetBounds();
  DragFromTo(HeaderCentre(Country), TPoint{boxBounds.Left + 40, (boxBounds.Top + boxBounds.Bottom) / 2});
  EXPECT_EQ(Country->GetGroupIndex(), 0);
  EXPECT_FALSE(Country->GetVisible()) << "a grouped column leaves the header";
  EXPECT_EQ(View->GetDataController()->GetGroups()->GetGroupingLevelCount(), 1);
  // Ten towns in nine countries: nine group rows, collapsed.
  EXPECT_EQ(View->GetViewData()->GetRowCount(), 9);
  EXPECT_EQ(Ctrl()->GetMovingItem(), nullptr);
  ExpectGolden(Site()->GetHandle(), "table-drag-grouped-by-country.png");

  // A second header dropped after the first grouped one groups within it.
  box = ViewInfo()->GroupByBoxViewInfo();
  const TRect first = box->Item(0)->GetBounds();
  DragFromTo(HeaderCentre(City), TPoint{first.Right + 30, (first.Top + first.Bottom) / 2});
  EXPECT_EQ(Country->GetGroupIndex(), 0);
  EXPECT_EQ(City->GetGroupIndex(), 1);

  // Dragged from the box back onto the header: ungrouped and shown again.
  box = ViewInfo()->GroupByBoxViewInfo();
  const TRect grouped = box->Item(0)->GetBounds();
  const TPoint headerPoint = HeaderCentre(Lon);
  // The header's upper part lies within 15 pixels of the box; it is still the header's.
  const Integer headerTop = Header()->GetBounds().Top;
  DragFromTo(TPoint{(grouped.Left + grouped.Right) / 2, (grouped.Top + grouped.Bottom) / 2},
             TPoint{headerPoint.X - 20, headerTop + 3});
  EXPECT_EQ(Country->GetGroupIndex(), -1);
  EXPECT_TRUE(Country->GetVisible());
  EXPECT_EQ(City->GetGroupIndex(), 0);
}

TEST_F(TableDragTest, LeftPosScrollsTheColumnsWithinTheDataWidth) {
  Configure(10, 230);
  Grid->SetBounds(0, 0, 250, 230);
  Run();
  TcxGridTableController* ctrl = Ctrl();
  const Integer dataWidth = ViewInfo()->DataWidth();
  ASSERT_EQ(dataWidth, 90 + 120 + 70 + 70);
  TRect client;
  ViewInfo()->GetClientBounds(client);
  const Integer visible = client.Width();
  const Integer cityLeft = Header()->Item(1)->GetBounds().Left;
  struct TCase {
    Integer Set, Expected;
  };
  const TCase cases[] = {{-5, 0}, {30, 30}, {dataWidth, dataWidth - visible}, {100000, dataWidth - visible}};
  for (const TCase& c : cases) {
    ctrl->SetLeftPos(c.Set);
    Run();
    EXPECT_EQ(ctrl->GetLeftPos(), c.Expected) << "set " << c.Set;
    EXPECT_EQ(Header()->Item(1)->GetBounds().Left, cityLeft - c.Expected) << "the headers move with it";
  }
  // Right at the end scrolls no further; Left steps back 10 pixels.
  Site()->SetFocus();
  orv::headless::PressKey(VK_LEFT);
  Run();
  EXPECT_EQ(ctrl->GetLeftPos(), dataWidth - visible - 10);
  // Focusing the first column brings it back into view.
  ctrl->MakeItemVisible(Country);
  EXPECT_EQ(ctrl->GetLeftPos(), 0);
  // While a header is dragged, the right edge of the data area scrolls the columns.
  const TPoint grip = HeaderCentre(Country);
  orv::headless::AdvanceTime(1000);
  MoveTo(grip);
  orv::headless::MouseDown(0);
  Run();
  MoveTo(TPoint{grip.X + 20, grip.Y});
  MoveTo(TPoint{client.Right - 5, grip.Y});
  EXPECT_EQ(ctrl->GetScrollDirection(), dirRight);
  Tick(35);
  EXPECT_EQ(ctrl->GetLeftPos(), 10);
  Tick(35);
  EXPECT_EQ(ctrl->GetLeftPos(), 20);
  Release();
  EXPECT_EQ(ctrl->GetScrollDirection(), dirNone);
}

TEST_F(TableDragTest, ATallQuickCustomizationListShowsInColumnsThatFitTheWorkArea) {
  TcxGridColumnsCustomizationPopup* popup = OpenQuickCustomizationOfSixtyColumns();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(popup->IsVisible());
  // 64 entries do not fit one column below the header: the list takes columns and fits.
  EXPECT_GE(popup->GetColumnCount(), 2);
  RECT r;
  GetWindowRect(popup->GetHandle(), &r);
  const TRect area = GetWorkAreaAtPoint(TPoint{r.Left, r.Top});
  EXPECT_LE(r.Bottom, area.Bottom);
  EXPECT_LE(r.Right, area.Right);

  orv::headless::PressKey(VK_ESCAPE);
  Run();
}

TEST_F(TableDragTest, AnEntryRestingAtAnEdgeOfAListInColumnsScrollsItEveryFourHundredMilliseconds) {
  TcxGridColumnsCustomizationPopup* popup = OpenQuickCustomizationOfSixtyColumns();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(popup->IsVisible());
  ASSERT_GE(popup->GetColumnCount(), 2);
  TcxCheckListBox* list = popup->GetCheckListBox();
  TcxCustomInnerCheckListBox* inner = list->GetInnerCheckListBox();
  // Half the list's height: its columns no longer show every entry.
  list->SetBounds(list->GetLeft(), list->GetTop(), list->GetWidth(), list->GetHeight() / 2);
  Run();
  const Integer count = list->GetItems()->GetCount();
  ASSERT_EQ(inner->ItemAtPos(TPoint{inner->GetClientWidth() - 2, inner->GetClientHeight() - 2}, true) < count - 1, true);

  // An entry dragged over the list (the list's drag-over step, as the drag reports it) that rests
  // at the list's right edge.
  bool accept = false;
  auto dragOver = [&](Integer x, TDragState state = dsDragMove) {
    const TRect first = inner->ItemRect(0);
    list->GetOnDragOver()(list, list, x + inner->GetLeft(), (first.Top + first.Bottom) / 2 + inner->GetTop(), state,
                          accept);
    Run();
  };
  auto restAt = [&](Integer x) {
    const TRect first = inner->ItemRect(0);
    const TPoint p = inner->ClientToScreen(TPoint{x, (first.Top + first.Bottom) / 2});
    orv::headless::MouseMove(p.X, p.Y);
    dragOver(x);
  };
  restAt(inner->GetClientWidth() / 2);
  EXPECT_TRUE(accept);
  restAt(inner->GetClientWidth() - 20);
  EXPECT_EQ(popup->GetAutoScrollDirection(), 0) << "20 pixels from the edge is no edge yet";
  restAt(inner->GetClientWidth() - 5);
  EXPECT_EQ(popup->GetAutoScrollDirection(), 2);
  Tick(399);
  EXPECT_EQ(inner->GetTopIndex(), 0);
  Tick(1);
  const Integer afterOne = inner->GetTopIndex();
  EXPECT_GT(afterOne, 0);
  Tick(400);
  const Integer afterTwo = inner->GetTopIndex();
  EXPECT_GT(afterTwo, afterOne);

  // At the left edge it goes back one entry a tick; the new direction waits the whole interval.
  restAt(5);
  EXPECT_EQ(popup->GetAutoScrollDirection(), 1);
  Tick(300);
  EXPECT_EQ(inner->GetTopIndex(), afterTwo);
  Tick(100);
  EXPECT_EQ(inner->GetTopIndex(), afterTwo - 1);

  // Away from the edges nothing scrolls; leaving the list and the end of the drag stop it too.
  restAt(inner->GetClientWidth() / 2);
  EXPECT_EQ(popup->GetAutoScrollDirection(), 0);
  Tick(1000);
  EXPECT_EQ(inner->GetTopIndex(), afterTwo - 1);
  restAt(inner->GetClientWidth() - 5);
  dragOver(inner->GetClientWidth() - 5, dsDragLeave);
  EXPECT_EQ(popup->GetAutoScrollDirection(), 0);
  restAt(inner->GetClientWidth() - 5);
  list->GetOnEndDrag()(list, nullptr, 0, 0);
  EXPECT_EQ(popup->GetAutoScrollDirection(), 0);
  const Integer top = inner->GetTopIndex();
  Tick(1000);
  EXPECT_EQ(inner->GetTopIndex(), top);

  // A list of one column never scrolls sideways.
  list->SetColumns(0);
  restAt(inner->GetClientWidth() - 5);
  EXPECT_EQ(popup->GetAutoScrollDirection(), 0);
  orv::headless::PressKey(VK_ESCAPE);
  Run();
}

}  // namespace
}  // namespace grid_table_drag_test
