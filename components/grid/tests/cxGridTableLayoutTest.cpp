// The table view laid out on the headless desktop: records on screen and their cells, scrolling by
// whole records, the keyboard walk against the layout, painting (golden image, the no-data text),
// the filter box, and in-place editing of a cell.
#include <gtest/gtest.h>

#include "components/data/cxFilter.h"
#include "components/editors/cxTextEdit.h"
#include "components/grid/tests/GridFixture.h"
#include "components/grid/tests/GridTableRows.h"
#include "components/grid/cxGridStrs.h"
#include "platform/drawing/GoldenImage.h"

namespace grid_test {
namespace {

using grid_rows::TRowViewInfo;
using grid_rows::TRowsViewInfo;

class TLayoutDataController : public TcxGridDataController {
  ORV_CLASS(TLayoutDataController, TcxGridDataController)
 public:
  explicit TLayoutDataController(TComponent* owner) : TcxGridDataController(owner) {}
};

class TLayoutViewData : public TcxCustomGridTableViewData {
  ORV_CLASS(TLayoutViewData, TcxCustomGridTableViewData)
 public:
  explicit TLayoutViewData(TcxCustomGridView* view) : TcxCustomGridTableViewData(view) {}
  TcxCustomGridRecordClass RecordClassForRow(const TcxRowInfo&) override { return grid_rows::TDataRow::StaticClass(); }
};

class TLayoutColumn : public TcxCustomGridTableItem {
  ORV_CLASS(TLayoutColumn, TcxCustomGridTableItem)
 public:
  explicit TLayoutColumn(TComponent* owner) : TcxCustomGridTableItem(owner) {}
};

class TLayoutView : public TcxCustomGridTableView {
  ORV_CLASS(TLayoutView, TcxCustomGridTableView)
 public:
  explicit TLayoutView(TComponent* owner) : TcxCustomGridTableView(owner) {}
  TcxCustomGridTableItemClass GetItemClass() override { return TLayoutColumn::StaticClass(); }
  TcxCustomDataControllerClass GetDataControllerClass() override { return TLayoutDataController::StaticClass(); }
  TcxCustomGridViewDataClass GetViewDataClass() override { return TLayoutViewData::StaticClass(); }
  TcxCustomGridViewInfoClass GetViewInfoClass() override { return grid_rows::TTableViewInfo::StaticClass(); }
};

class TableLayoutTest : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    View = static_cast<TLayoutView*>(Grid->CreateView(TLayoutView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
    Country = AddColumn("Страна"_a, 100);
    Town = AddColumn("Город"_a, 100);
    Id = AddColumn("ID", 60);
    Id->GetDataBinding()->SetValueType("Integer");
    Grid->GetFont()->SetName("Arial");
    Grid->GetFont()->SetHeight(-11);
    Grid->SetBorderStyle(cxcbsNone);
    Grid->GetLookAndFeel()->SetKind(lfStandard);
    Grid->GetLookAndFeel()->SetNativeStyle(false);
  }
  TcxCustomGridTableItem* AddColumn(const AnsiString& caption, Integer width) {
    TcxCustomGridTableItem* item = View->CreateItem();
    item->SetCaption(caption);
    item->SetWidth(width);
    return item;
  }
  void Fill(const std::vector<std::tuple<AnsiString, AnsiString, Integer>>& rows) {
    TcxCustomDataController* dc = View->GetDataController();
    dc->BeginUpdate();
    dc->SetRecordCount(Integer(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      dc->SetValue(Integer(i), 0, Variant(std::get<0>(rows[i])));
      dc->SetValue(Integer(i), 1, Variant(std::get<1>(rows[i])));
      dc->SetValue(Integer(i), 2, Variant(std::get<2>(rows[i])));
    }
    dc->EndUpdate();
  }
  void FillNumbered(Integer count) {
    std::vector<std::tuple<AnsiString, AnsiString, Integer>> rows;
    for (Integer i = 0; i < count; ++i) rows.emplace_back(i % 2 ? "Россия"_a : "Франция"_a, "Town" + IntToStr(i), i);
    Fill(rows);
  }
  // Shows the form and lets the grid lay the view out.
  void Layout() {
    Show();
    Run();
  }
  TcxCustomGridTableViewInfo* ViewInfo() const { return View->GetTableViewInfo(); }
  TRowsViewInfo* Rows() const { return static_cast<TRowsViewInfo*>(ViewInfo()->GetRecordsViewInfo()); }
  TRowViewInfo* Row(Integer i) const { return static_cast<TRowViewInfo*>(Rows()->ExistingItem(i)); }
  TcxCustomGridTableController* Ctrl() const { return View->GetTableController(); }
  void Press(Word key, bool shift = false, bool ctrl = false) {
    orv::headless::PressKey(key, shift, ctrl);
    Run();
  }
  void FocusSite() {
    View->GetSite()->SetFocus();
    Run();
  }

  TLayoutView* View = nullptr;
  TcxCustomGridTableItem* Country = nullptr;
  TcxCustomGridTableItem* Town = nullptr;
  TcxCustomGridTableItem* Id = nullptr;
};

TEST_F(TableLayoutTest, RecordsOnScreenHaveCellsThatShowTheDisplayTexts) {
  FillNumbered(100);
  Layout();
  const Integer rowHeight = Row(0)->GetBounds().Height();
  ASSERT_GT(rowHeight, 0);
  const Integer clientHeight = ViewInfo()->ClientHeight();
  // As many whole rows as fit, and one partly shown row below them.
  EXPECT_EQ(Rows()->GetVisibleCount(), clientHeight / rowHeight);
  EXPECT_EQ(Rows()->Count(), (clientHeight + rowHeight - 1) / rowHeight);
  EXPECT_EQ(Ctrl()->GetVisibleRecordCount(), clientHeight / rowHeight);
  // Each row shows the record of its row, with one cell per column at the column's place.
  TRowViewInfo* row = Row(3);
  EXPECT_EQ(row->GetGridRecord()->GetIndex(), 3);
  EXPECT_EQ(View->GetTableViewData()->RecordAt(3)->GetViewInfo(), row);
  ASSERT_EQ(row->Cells.size(), 3u);
  EXPECT_EQ(row->Cells[1]->GetBounds(), (TRect{100, 3 * rowHeight, 200, 4 * rowHeight}));
  auto* text = dynamic_cast<TcxCustomTextEditViewInfo*>(row->Cells[1]->GetEditViewInfo());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->ShownText, "Town3");
  // A point maps to the cell's record and item.
  auto* hitTest = dynamic_cast<TcxGridRecordCellHitTest*>(ViewInfo()->GetHitTest(TPoint{150, 3 * rowHeight + 2}));
  ASSERT_NE(hitTest, nullptr);
  EXPECT_EQ(hitTest->HitRecord()->GetIndex(), 3);
  EXPECT_EQ(hitTest->GetItem(), Town);
  // Right of the last column lies the empty view.
  EXPECT_EQ(ViewInfo()->GetHitTest(TPoint{280, 2})->GetHitTestCode(), htNone);
  // Only the records on screen got record objects.
  EXPECT_LE(View->GetTableViewData()->CreatedRecordCount(), Rows()->Count());
}

TEST_F(TableLayoutTest, ScrollingByOneRecordKeepsTheRowsThatStayAndMakesOneNew) {
  FillNumbered(100);
  Layout();
  const Integer count = Rows()->Count();
  const Integer rowHeight = Row(0)->GetBounds().Height();
  TRowViewInfo* second = Row(1);
  TRowViewInfo* last = Row(count - 1);
  const int calculations = static_cast<grid_rows::TTableViewInfo*>(ViewInfo())->Calculations;
  Ctrl()->SetTopRecordIndex(1);
  Run();
  EXPECT_EQ(static_cast<grid_rows::TTableViewInfo*>(ViewInfo())->Calculations, calculations);  // shifted, not laid out
  EXPECT_EQ(Row(0), second);  // kept and moved up by one row
  EXPECT_EQ(Row(0)->GetBounds().Top, 0);
  EXPECT_EQ(Row(count - 2), last);
  EXPECT_EQ(Row(count - 1)->GetGridRecord()->GetIndex(), count);  // the new row at the end
  EXPECT_EQ(Row(count - 1)->GetBounds().Top, (count - 1) * rowHeight);
  // The mirror image: back up by one.
  TRowViewInfo* first = Row(0);
  Ctrl()->SetTopRecordIndex(0);
  Run();
  EXPECT_EQ(Row(1), first);
  EXPECT_EQ(Row(1)->GetBounds().Top, rowHeight);
  EXPECT_EQ(Row(0)->GetGridRecord()->GetIndex(), 0);
  // A scroll by at least the number of rows is refused.
  EXPECT_FALSE(ViewInfo()->CanOffsetRecords(count));
  EXPECT_TRUE(ViewInfo()->CanOffsetRecords(count - 1));
}

TEST_F(TableLayoutTest, TheKeyboardWalksTheFocusedAndTheTopRecord) {
  FillNumbered(100);
  Layout();
  FocusSite();
  const Integer page = Ctrl()->GetVisibleRecordCount();
  ASSERT_GT(page, 2);
  Ctrl()->GoToFirst();
  Run();
  struct Step {
    Word Key;
    bool Ctrl;
    Integer Focused, Top;
  };
  const Step steps[] = {
      {VK_DOWN, false, 1, 0},
      {VK_DOWN, false, 2, 0},
      {VK_NEXT, false, page - 1, 0},          // the page's last record first
      {VK_DOWN, false, page, 1},              // one step past the page scrolls by one record
      {VK_NEXT, false, 2 * page, page + 1},   // on the page's last record: a page further down
      {VK_UP, false, 2 * page - 1, page + 1},
      {VK_PRIOR, false, page + 1, page + 1},  // the page's top record first
      {VK_PRIOR, false, 1, 1},                // on the top record: a page further up
      {VK_END, true, 99, 100 - page},         // Ctrl+End: the last record
      {VK_HOME, true, 0, 0},                  // Ctrl+Home: the first record
      {VK_UP, false, 0, 0},                   // nothing above the first
  };
  for (const Step& step : steps) {
    Press(step.Key, false, step.Ctrl);
    EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), step.Focused) << step.Key;
    EXPECT_EQ(Ctrl()->GetTopRecordIndex(), step.Top) << step.Key;
  }
  // Home and End walk the cells of the focused record.
  Town->SetFocused(true);
  Press(VK_END);
  EXPECT_EQ(Ctrl()->GetFocusedItem(), Id);
  Press(VK_HOME);
  EXPECT_EQ(Ctrl()->GetFocusedItem(), Country);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 0);
}

TEST_F(TableLayoutTest, TheIncrementalSearchCellIsTheFoundRecordsCell) {
  Fill({{"Россия"_a, "Казань"_a, 1}, {"Россия"_a, "Москва"_a, 2}, {"Россия"_a, "Мурманск"_a, 4}});
  View->GetTableOptionsBehavior()->SetIncSearch(true);
  View->GetTableOptionsBehavior()->SetIncSearchItem(Town);
  View->GetTableOptionsSelection()->SetCellSelect(false);
  Layout();
  FocusSite();
  Ctrl()->GoToFirst();
  orv::headless::TypeUtf8("Му");
  Run();
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 2);
  TcxGridTableDataCellViewInfo* cell = Rows()->GetIncSearchingCellViewInfo();
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->GetGridRecord()->GetIndex(), 2);
  EXPECT_EQ(cell->GetItem(), Town);
}

TEST_F(TableLayoutTest, AnEmptyViewShowsTheNoDataTextCentred) {
  Layout();
  EXPECT_TRUE(ViewInfo()->ShowsNoDataInfoText());
  View->GetTableOptionsView()->SetNoDataToDisplayInfoText("Нет данных"_a);
  Run();
  orv::TSurface surface = orv::headless::CaptureWindow(View->GetSite()->GetHandle());
  // Dark text pixels only around the middle of the view.
  const int w = surface.Width(), h = surface.Height();
  int dark = 0, darkOffCentre = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((orv::PixelToColor(surface.Pixel(x, y)) & 0x808080) == 0) {
        ++dark;
        if (std::abs(y - h / 2) > 10 || std::abs(x - w / 2) > 40) ++darkOffCentre;
      }
  EXPECT_GT(dark, 20);
  EXPECT_EQ(darkOffCentre, 0);
  // With an empty text nothing is shown.
  FillNumbered(1);
  Run();
  EXPECT_FALSE(ViewInfo()->ShowsNoDataInfoText());
}

TEST_F(TableLayoutTest, TheFilterBoxIsAlwaysMadeAndShownAsTheOptionsSay) {
  FillNumbered(20);
  Layout();
  TcxGridFilterViewInfo* filter = ViewInfo()->GetFilterViewInfo();
  ASSERT_NE(filter, nullptr);
  const TRect full = ViewInfo()->GetBounds();
  // Hidden while the filter is empty (the default).
  EXPECT_FALSE(filter->GetVisible());
  EXPECT_EQ(filter->GetPartHeight(), 0);
  TRect client;
  ViewInfo()->GetClientBounds(client);
  EXPECT_EQ(client, full);
  // Always: at the bottom by default, with only the customize button while the filter is empty.
  View->GetFilterBox()->SetVisible(fvAlways);
  Run();
  const Integer height = filter->GetPartHeight();
  EXPECT_GT(height, 0);
  EXPECT_EQ(filter->GetBounds(), (TRect{full.Left, full.Bottom - height, full.Right, full.Bottom}));
  AnsiString text;
  filter->GetText(text);
  EXPECT_EQ(text, GetLocalizedResourceString(&scxGridFilterIsEmpty));
  TcxGridFilterButtonsViewInfo* buttons = filter->GetButtonsViewInfo();
  EXPECT_FALSE(buttons->Item(0)->GetVisible());  // close
  EXPECT_FALSE(buttons->Item(1)->GetVisible());  // activate
  EXPECT_TRUE(buttons->Item(2)->GetVisible());   // customize
  ViewInfo()->GetClientBounds(client);
  EXPECT_EQ(client.Bottom, full.Bottom - height);
  EXPECT_EQ(Rows()->ContentBounds().Bottom, full.Bottom - height);
  // On top the strip lies above the records.
  View->GetFilterBox()->SetPosition(fpTop);
  Run();
  EXPECT_EQ(filter->GetBounds().Top, full.Top);
  EXPECT_EQ(Row(0)->GetBounds().Top, full.Top + height);
  // The strip answers its hit test; the buttons theirs.
  EXPECT_EQ(ViewInfo()->GetHitTest(TPoint{full.Left + 2, full.Top + height / 2})->GetHitTestCode(), htFilter);
  const TRect customize = buttons->Item(2)->GetBounds();
  EXPECT_EQ(ViewInfo()->GetHitTest(TPoint{(customize.Left + customize.Right) / 2, (customize.Top + customize.Bottom) / 2})->GetHitTestCode(), htFilterCustomizeButton);
  // Never: no strip even with a filter.
  View->GetFilterBox()->SetVisible(fvNever);
  Run();
  EXPECT_EQ(filter->GetPartHeight(), 0);
}

TEST_F(TableLayoutTest, EditingACellPostsItsValueAndEscapeCancels) {
  Fill({{"Россия"_a, "Казань"_a, 1}, {"Россия"_a, "Москва"_a, 2}});
  View->GetTableOptionsSelection()->SetCellSelect(true);
  Layout();
  FocusSite();
  Ctrl()->GoToFirst();
  Town->SetFocused(true);
  Run();
  TcxGridEditingController* editing = Ctrl()->GetEditingController();
  TcxCustomDataController* dc = View->GetDataController();
  auto shownText = [&] { return static_cast<TcxCustomTextEdit*>(editing->GetEdit())->GetTextProperty(); };
  // F2 opens the editor over the focused cell with the cell's value.
  Press(VK_F2);
  ASSERT_TRUE(editing->IsEditing());
  TcxCustomEdit* edit = editing->GetEdit();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetParent(), View->GetSite());
  EXPECT_TRUE(edit->IsFocused());
  TRect editorBounds;
  Town->GetFocusedCellViewInfo()->GetEditorBounds(editorBounds);
  EXPECT_EQ(edit->GetBoundsRect(), editorBounds);
  EXPECT_EQ(shownText(), "Казань"_a);
  // A new value typed and Enter: the editor closes and the value is the record's.
  orv::headless::TypeUtf8("Самара");
  Run();
  Press(VK_RETURN);
  EXPECT_FALSE(editing->IsEditing());
  EXPECT_TRUE(View->GetSite()->IsFocused());
  EXPECT_EQ(dc->GetValue(0, 1).AsString(), "Самара"_a);
  // Leaving the record posts it.
  Press(VK_DOWN);
  EXPECT_FALSE(dc->IsEditing());
  EXPECT_EQ(dc->GetValue(0, 1).AsString(), "Самара"_a);
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 1);
  Press(VK_UP);
  // Escape in a changed editor discards the change; the grid's own Escape then ends the
  // record's edit, which leaves the posted value.
  Press(VK_F2);
  ASSERT_TRUE(editing->IsEditing());
  orv::headless::TypeUtf8("Тула");
  Run();
  EXPECT_EQ(shownText(), "Тула"_a);
  Press(VK_ESCAPE);
  EXPECT_FALSE(editing->IsEditing());
  Press(VK_ESCAPE);
  EXPECT_FALSE(dc->IsEditing());
  EXPECT_EQ(dc->GetValue(0, 1).AsString(), "Самара"_a);
  // A typed character opens the editor with it.
  orv::headless::TypeUtf8("Я");
  Run();
  ASSERT_TRUE(editing->IsEditing());
  EXPECT_EQ(shownText(), "Я"_a);
  Press(VK_ESCAPE);
  EXPECT_FALSE(editing->IsEditing());
  EXPECT_EQ(dc->GetValue(0, 1).AsString(), "Самара"_a);
}

TEST_F(TableLayoutTest, ASmallViewPaintsEvenAndOddRowsAndTheSelectedRow) {
  Fill({{"Россия"_a, "Москва"_a, 1},
        {"Россия"_a, "Казань"_a, 2},
        {"Франция"_a, "Париж"_a, 3},
        {"Беларусь"_a, "Минск"_a, 4},
        {"Россия"_a, "Мурманск"_a, 5}});
  Owned<TcxStyle> even(new TcxStyle(nullptr)), odd(new TcxStyle(nullptr)), selection(new TcxStyle(nullptr));
  even->SetColor(TColor(0xF0F0F0));
  odd->SetColor(TColor(0xD8F0FF));
  selection->SetColor(TColor(0x6A240A));
  selection->SetTextColor(clWhite);
  View->GetTableStyles()->SetContentEven(even.get());
  View->GetTableStyles()->SetContentOdd(odd.get());
  View->GetTableStyles()->SetSelection(selection.get());
  View->GetTableOptionsSelection()->SetMultiSelect(true);
  View->GetTableOptionsSelection()->SetHideSelection(false);
  View->GetTableOptionsView()->SetFocusRect(false);
  Grid->SetBounds(10, 10, 270, 120);
  Layout();
  View->GetDataController()->ChangeRowSelection(2, true);
  Run();
  EXPECT_TRUE(Row(2)->Selected());
  EXPECT_FALSE(Row(1)->Selected());
  const orv::TSurface surface = orv::headless::CaptureWindow(View->GetSite()->GetHandle());
  const orv::TImageCheck check =
      orv::MatchGoldenImage(surface, std::string(ORV_SOURCE_DIR) + "/components/grid/tests/golden/table-rows.png");
  EXPECT_TRUE(check) << check.Message;
}

}  // namespace
}  // namespace grid_test

namespace grid_test {
namespace {

TEST_F(TableLayoutTest, AClickFocusesTheCellAndASecondClickOpensItsEditorAfterTheDoubleClickTime) {
  Fill({{"Россия"_a, "Казань"_a, 1}, {"Россия"_a, "Москва"_a, 2}});
  View->GetTableOptionsSelection()->SetCellSelect(true);
  View->GetTableOptionsBehavior()->SetImmediateEditor(false);
  Layout();
  const Integer rowHeight = Row(0)->GetBounds().Height();
  const TPoint town = View->GetSite()->ClientToScreen(TPoint{150, rowHeight + rowHeight / 2});
  TcxGridEditingController* editing = Ctrl()->GetEditingController();
  // The first click focuses the record and the item, no editor.
  orv::headless::Click(town.X, town.Y);
  Run();
  EXPECT_EQ(Ctrl()->GetFocusedRecordIndex(), 1);
  EXPECT_EQ(Ctrl()->GetFocusedItem(), Town);
  EXPECT_FALSE(editing->IsEditing());
  // Shift-click on the focused cell never opens it.
  orv::headless::AdvanceTime(1000);
  orv::headless::KeyDown(VK_SHIFT);
  orv::headless::Click(town.X, town.Y);
  orv::headless::KeyUp(VK_SHIFT);
  orv::headless::AdvanceTime(1000);
  Run();
  EXPECT_FALSE(editing->IsEditing());
  // A plain second click opens it once the double-click time has passed.
  orv::headless::Click(town.X, town.Y);
  Run();
  EXPECT_FALSE(editing->IsEditing());
  EXPECT_TRUE(editing->IsEditShowingTimerActive());
  orv::headless::AdvanceTime(600);
  Run();
  EXPECT_TRUE(editing->IsEditing());
  EXPECT_EQ(editing->GetEditingItem(), Town);
}

TEST_F(TableLayoutTest, ACellShowsAHintOnlyForATruncatedTextOrFromItsItemsHandler) {
  Fill({{"Россия"_a, "Петропавловск-Камчатский, Камчатский край"_a, 1}, {"Россия"_a, "Омск"_a, 2}});
  View->GetTableOptionsBehavior()->SetCellHints(true);
  Layout();
  const Integer rowHeight = Row(0)->GetBounds().Height();
  TcxCustomGridController* ctrl = View->GetController();
  auto moveTo = [&](Integer x, Integer y) {
    const TPoint p = View->GetSite()->ClientToScreen(TPoint{x, y});
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  };
  auto hintShown = [&]() {
    THintWindow* hint = ctrl->GetHintWindow();
    return ctrl->GetHintCell() && hint && hint->HandleAllocated() && IsWindowVisible(hint->GetHandle());
  };
  // The long town does not fit its 100 pixels: its whole text is the hint.
  moveTo(150, rowHeight / 2);
  ASSERT_TRUE(hintShown());
  EXPECT_EQ(ctrl->GetHintCell(), Row(0)->Cells[1]);
  EXPECT_EQ(ctrl->GetHintWindow()->GetCaption(), "Петропавловск-Камчатский, Камчатский край"_a);
  // A text that fits shows none, and the one shown goes.
  moveTo(150, rowHeight + rowHeight / 2);
  EXPECT_FALSE(hintShown());
  // The item's handler gives a hint to any cell of its own, even without cell hints; an empty text shows none.
  View->GetTableOptionsBehavior()->SetCellHints(false);
  auto handler = [](TcxCustomGridTableItem*, TcxCustomGridRecord* record, TcxGridTableDataCellViewInfo*,
                    const TPoint&, AnsiString& text, Boolean&, TRect&) {
    if (record->GetIndex() == 1) text = "Второй"_a;
  };
  Id->SetOnGetCellHint(TcxGridGetCellHintEvent::Callable(handler));
  Run();
  moveTo(150, rowHeight / 2);
  EXPECT_FALSE(hintShown());
  moveTo(230, rowHeight / 2);
  EXPECT_FALSE(hintShown());
  moveTo(230, rowHeight + rowHeight / 2);
  ASSERT_TRUE(hintShown());
  EXPECT_EQ(ctrl->GetHintWindow()->GetCaption(), "Второй"_a);
}

TEST_F(TableLayoutTest, ACellWithEditButtonsTracksTheMouseOverItsButtonAndLetsGoWhenItLeaves) {
  Fill({{"Россия"_a, "Казань"_a, 1}, {"Россия"_a, "Москва"_a, 2}});
  Town->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  Town->GetPropertiesObject()->GetButtons()->Add();
  Town->GetOptions()->SetShowEditButtons(isebAlways);
  Layout();
  const Integer rowHeight = Row(0)->GetBounds().Height();
  TcxGridTableDataCellViewInfo* cell = Row(1)->Cells[1];
  ASSERT_TRUE(cell->HotTrackable());
  EXPECT_FALSE(Row(1)->Cells[0]->HotTrackable());
  ASSERT_EQ(cell->GetEditViewInfo()->GetButtonCount(), 1);
  const TRect button = cell->GetEditViewInfo()->GetButton(0)->Bounds;
  ASSERT_FALSE(RectIsEmpty(button));
  auto moveTo = [&](TPoint client) {
    const TPoint p = View->GetSite()->ClientToScreen(client);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  };
  // Over the text part the button stays normal; over the button it turns hot.
  moveTo(TPoint{cell->GetBounds().Left + 5, cell->GetBounds().Top + rowHeight / 2});
  EXPECT_EQ(cell->GetEditViewInfo()->GetButton(0)->State, ebsNormal);
  moveTo(TPoint{(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2});
  ASSERT_EQ(Row(1)->Cells[1], cell);
  EXPECT_EQ(cell->GetEditViewInfo()->GetButton(0)->State, ebsSelected);
  // Leaving the cell for the one above returns the button to normal once the mouse tracking sees it.
  moveTo(TPoint{(button.Left + button.Right) / 2, rowHeight / 2});
  orv::headless::AdvanceTime(200);
  Run();
  EXPECT_EQ(cell->GetEditViewInfo()->GetButton(0)->State, ebsNormal);
  EXPECT_EQ(cell->GetState(), gcsNone);
}

}  // namespace
}  // namespace grid_test
