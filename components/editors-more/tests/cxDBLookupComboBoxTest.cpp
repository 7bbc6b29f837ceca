#include <gtest/gtest.h>

#include <vector>

#include "components/editors-more/cxDBLookupComboBox.h"
#include "components/editors-more/cxEditRepositoryItems.h"
#include "components/editors-more/cxImageComboBox.h"
#include "components/editors/cxTextEdit.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Fields.h"

namespace {

using edmore_test::FormTest;
using orv::test::Owned;

struct TCountry {
  int Id;
  orv::AnsiLiteral Name;
};

// Keys deliberately out of the names' order, so that a list sorted by name and one sorted by key
// differ.
const TCountry kCountries[] = {
    {7, "Россия"_a}, {33, "Франция"_a}, {49, "Германия"_a},
    {39, "Италия"_a}, {34, "Испания"_a}, {44, "Великобритания"_a},
    {1, "США"_a},     {81, "Япония"_a},  {86, "Китай"_a},
    {91, "Индия"_a},  {55, "Бразилия"_a}, {61, "Австралия"_a},
};

// The countries table: ID (the key) and NAME, in memory, with a data source.
class TCountryTable {
 public:
  TCountryTable() : FRoot(new TComponent(nullptr)) {
    Data = new TRxMemoryData(FRoot.get());
    Data->GetFieldDefs().Add("ID", ftInteger);
    Data->GetFieldDefs().Add("NAME", ftString, 30);
    Data->Open();
    for (const TCountry& c : kCountries) {
      Data->Append();
      Data->FieldByName("ID")->SetAsInteger(c.Id);
      Data->FieldByName("NAME")->SetAsString(AnsiString(c.Name));
      Data->Post();
    }
    Data->First();
    Source = new TDataSource(FRoot.get());
    Source->SetDataSet(Data);
  }
  TRxMemoryData* Data;
  TDataSource* Source;

 private:
  Owned<TComponent> FRoot;
};

AnsiString CountryName(int id) {
  for (const TCountry& c : kCountries)
    if (c.Id == id) return AnsiString(c.Name);
  return {};
}

class LookupComboBoxTest : public FormTest {
 protected:
  TcxLookupComboBox* NewCombo(TCountryTable& table) {
    auto* combo = new TcxLookupComboBox(Form.get());
    combo->SetParent(Form.get());
    combo->SetBounds(10, 10, 160, 21);
    TcxLookupComboBoxProperties* p = combo->GetProperties();
    p->SetListSource(table.Source);
    p->SetKeyFieldNames("ID");
    p->SetListFieldNames("NAME");
    return combo;
  }
  static Variant Value(TcxCustomEdit* e) { return e->GetEditValueProperty(); }
};

class LookupGridTest : public FormTest {
 protected:
  LookupGridTest() {}
  TcxCustomLookupDBGrid* NewGrid(TCountryTable& table, Integer height) {
    auto* grid = new TcxCustomLookupDBGrid(Form.get());
    grid->SetParent(Form.get());
    grid->SetBounds(10, 10, 200, height);
    grid->SetDataSource(table.Source);
    grid->SetKeyFieldNames("ID");
    grid->CreateColumnsForFields("ID;NAME");
    return grid;
  }
  // The keys of the rows from the top row on, as the grid shows them.
  static std::vector<int> KeysFromTop(TcxCustomLookupDBGrid* grid, Integer count) {
    std::vector<int> keys;
    TcxCustomDataController* dc = grid->GetDataController();
    for (Integer r = grid->GetTopRowIndex(); r < grid->GetTopRowIndex() + count && r < dc->GetRowCount(); ++r)
      keys.push_back(dc->GetValue(dc->GetRowInfo(r).RecordIndex, 0).AsInteger());
    return keys;
  }
  static int FocusedKey(TcxCustomLookupDBGrid* grid) {
    TcxCustomDataController* dc = grid->GetDataController();
    return dc->GetValue(dc->GetFocusedRecordIndex(), 0).AsInteger();
  }
  // A click on a column header in screen coordinates.
  void ClickHeader(TcxCustomLookupDBGrid* grid, Integer column, bool shift = false, bool ctrl = false) {
    const TcxLookupGridColumnViewInfo& c = grid->GetViewInfo()->Columns.at(std::size_t(column));
    const TPoint p = grid->ClientToScreen(TPoint{(c.Bounds.Left + c.Bounds.Right) / 2, (c.Bounds.Top + c.Bounds.Bottom) / 2});
    if (shift) orv::headless::KeyDown(VK_SHIFT);
    if (ctrl) orv::headless::KeyDown(VK_CONTROL);
    orv::headless::Click(p.X, p.Y);
    if (ctrl) orv::headless::KeyUp(VK_CONTROL);
    if (shift) orv::headless::KeyUp(VK_SHIFT);
    Run();
  }
};

}  // namespace

TEST_F(LookupComboBoxTest, ShowsTheNameAndKeepsTheKey) {
  TCountryTable table;
  TcxLookupComboBox* combo = NewCombo(table);
  Show();
  combo->SetEditValueProperty(Variant(33));
  Run();
  EXPECT_EQ(combo->GetText(), CountryName(33));
  EXPECT_EQ(Value(combo).AsInteger(), 33);
  // Every key shows its own country's name.
  for (const TCountry& c : kCountries) {
    combo->SetEditValueProperty(Variant(c.Id));
    EXPECT_EQ(combo->GetText(), AnsiString(c.Name)) << c.Id;
  }
  combo->SetEditValueProperty(Variant(12345));
  EXPECT_EQ(combo->GetText(), "") << "a key that no record has shows nothing";
  combo->SetEditValueProperty(Null());
  EXPECT_EQ(combo->GetText(), "");
}

TEST_F(LookupComboBoxTest, TypingANameFindsItsKey) {
  TCountryTable table;
  TcxLookupComboBox* combo = NewCombo(table);
  Show();
  combo->SetFocus();
  Run();
  orv::headless::TypeText("Ит"_a);
  Run();
  EXPECT_EQ(combo->GetText(), CountryName(39)) << "completed from the list";
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_FALSE(combo->HasOpenPopup());
  combo->PostEditValue();
  EXPECT_EQ(Value(combo).AsInteger(), 39) << "the value is the key, not the name";
  // A text that matches no record leaves the empty key.
  Variant value;
  combo->DisplayValueToEditValue(Variant("Атлантида"_a), value, true);
  EXPECT_TRUE(VarIsNull(value));
  combo->DisplayValueToEditValue(Variant(CountryName(81)), value, true);
  EXPECT_EQ(value.AsInteger(), 81);
}

TEST_F(LookupComboBoxTest, ChoosingInTheListTakesTheRowKey) {
  TCountryTable table;
  TcxLookupComboBox* combo = NewCombo(table);
  Show();
  combo->SetEditValueProperty(Variant(7));
  combo->SetFocus();
  Run();
  orv::headless::PressKey(VK_DOWN, false, false, true);  // Alt+Down opens the list
  Run();
  ASSERT_TRUE(combo->HasOpenPopup());
  TcxCustomLookupGrid* grid = combo->GetProperties()->GetGrid();
  EXPECT_TRUE(grid->GetPopupMode());
  EXPECT_EQ(grid->GetParent(), combo->GetPopupWindow()) << "the list shows in the popup";
  TcxCustomDataController* dc = grid->GetDataController();
  EXPECT_EQ(dc->GetRecordID(dc->GetFocusedRecordIndex()).AsInteger(), 7) << "the list opens on the current key";
  orv::headless::PressKey(VK_DOWN);
  Run();
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_FALSE(combo->HasOpenPopup());
  EXPECT_EQ(Value(combo).AsInteger(), 33) << "the next row's key";
  EXPECT_EQ(combo->GetText(), CountryName(33));
}

TEST_F(LookupComboBoxTest, TypingWithTheListOpenNarrowsItToTheMatchingNames) {
  TCountryTable table;
  TcxLookupComboBox* combo = NewCombo(table);
  combo->GetProperties()->SetIncrementalFiltering(true);
  Show();
  combo->SetFocus();
  Run();
  orv::headless::PressKey(VK_DOWN, false, false, true);
  Run();
  ASSERT_TRUE(combo->HasOpenPopup());
  TcxCustomDataController* dc = combo->GetProperties()->GetGrid()->GetDataController();
  EXPECT_EQ(dc->GetRowCount(), Integer(std::size(kCountries)));
  orv::headless::TypeText("И"_a);  // Италия, Испания, Индия
  Run();
  EXPECT_EQ(dc->GetRowCount(), 3);
  orv::headless::TypeText("с"_a);
  Run();
  ASSERT_EQ(dc->GetRowCount(), 1);
  EXPECT_EQ(combo->GetText(), CountryName(34));
  orv::headless::PressKey(VK_RETURN);
  Run();
  combo->PostEditValue();
  EXPECT_EQ(Value(combo).AsInteger(), 34);
}

TEST(LookupComboBoxProperties, ListFieldsAndKeys) {
  TCountryTable table;
  Owned<TcxLookupComboBoxProperties> p(new TcxLookupComboBoxProperties(nullptr));
  EXPECT_EQ(p->GetEffectiveListFieldIndex(), -1) << "no columns, no list field";
  EXPECT_EQ(p->GetKeyDisplayText(Variant(7)), "");
  p->SetListSource(table.Source);
  p->SetKeyFieldNames("ID");
  p->SetListFieldNames("ID;NAME");
  EXPECT_EQ(p->GetListFieldNames(), "ID;NAME");
  EXPECT_EQ(p->GetListColumns()->GetCount(), 2);
  p->SetListFieldIndex(5);
  EXPECT_EQ(p->GetListFieldIndex(), 1) << "limited to the columns";
  p->SetListFieldIndex(-3);
  EXPECT_EQ(p->GetListFieldIndex(), 0);
  EXPECT_EQ(p->GetKeyDisplayText(Variant(44)), "44");
  p->SetListFieldIndex(1);
  EXPECT_EQ(p->GetKeyDisplayText(Variant(44)), CountryName(44));
  EXPECT_TRUE(VarIsNull(p->GetEmptyKey()));
  p->SetKeyFieldNames("ID;NAME");
  const Variant empty = p->GetEmptyKey();
  ASSERT_TRUE(VarIsArray(empty)) << "a compound key's empty key holds one Null per field";
  EXPECT_EQ(VarArrayHighBound(empty, 1) - VarArrayLowBound(empty, 1) + 1, 2);
  EXPECT_TRUE(VarIsNull(empty.GetElement(0)));
  EXPECT_TRUE(VarIsNull(empty.GetElement(1)));
}

TEST(LookupComboBoxProperties, GridModeFindsTextsInTheDatasetAndCachesKeyTexts) {
  TCountryTable table;
  Owned<TcxLookupComboBoxProperties> p(new TcxLookupComboBoxProperties(nullptr));
  p->SetListSource(table.Source);
  p->SetKeyFieldNames("ID");
  p->SetListFieldNames("NAME");
  p->SetGridMode(true);
  ASSERT_TRUE(p->GetGridMode());
  EXPECT_EQ(p->GetKeyDisplayText(Variant(49)), CountryName(49));
  EXPECT_EQ(p->GetKeyDisplayText(Variant(999)), "");
  EXPECT_EQ(p->GetLookupList()->GetCount(), 2) << "both answers are kept, the empty one too";
  p->SetCaseSensitiveSearch(false);
  EXPECT_NE(p->FindRecordIndexByText(0, "германия"_a, false), -1) << "letter case ignored";
  p->SetCaseSensitiveSearch(true);
  EXPECT_EQ(p->FindRecordIndexByText(0, "германия"_a, false), -1);
  EXPECT_NE(p->FindRecordIndexByText(0, "Герм"_a, true), -1) << "a prefix";
}

TEST_F(LookupGridTest, HeaderClicksSortByTheColumn) {
  TCountryTable table;
  TcxCustomLookupDBGrid* grid = NewGrid(table, 400);
  Show();
  Run();
  const Integer n = Integer(std::size(kCountries));
  ASSERT_EQ(grid->GetRowCount(), n);
  ClickHeader(grid, 0);
  EXPECT_EQ(grid->GetDBColumns()->GetColumn(0)->GetSortOrder(), soAscending);
  std::vector<int> keys = KeysFromTop(grid, n);
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << "ascending keys";
  ClickHeader(grid, 0);
  EXPECT_EQ(grid->GetDBColumns()->GetColumn(0)->GetSortOrder(), soDescending);
  keys = KeysFromTop(grid, n);
  EXPECT_TRUE(std::is_sorted(keys.rbegin(), keys.rend())) << "descending keys";
  ClickHeader(grid, 1, true);
  EXPECT_EQ(grid->GetDBColumns()->GetColumn(0)->GetSortOrder(), soDescending) << "Shift adds a second order";
  EXPECT_EQ(grid->GetDBColumns()->GetColumn(1)->GetSortOrder(), soAscending);
  ClickHeader(grid, 1);
  EXPECT_EQ(grid->GetDBColumns()->GetColumn(0)->GetSortOrder(), soNone) << "without Shift the others are cleared";
  ClickHeader(grid, 1, false, true);
  EXPECT_EQ(grid->GetDBColumns()->GetColumn(1)->GetSortOrder(), soNone) << "Ctrl removes the order";
  grid->GetDBColumns()->GetColumn(0)->SetSorting(false);
  ClickHeader(grid, 0);
  EXPECT_EQ(grid->GetDBColumns()->GetColumn(0)->GetSortOrder(), soNone) << "a column that may not sort";
}

TEST_F(LookupGridTest, KeysScrollThroughTheRowsSortedByKey) {
  TCountryTable table;
  TcxCustomLookupDBGrid* grid = NewGrid(table, 120);
  Show();
  Run();
  grid->GetDBColumns()->GetColumn(0)->SetSortOrder(soAscending);
  grid->SetFocus();
  Run();
  const Integer visible = grid->GetViewInfo()->VisibleRowCount;
  ASSERT_GT(visible, 1);
  ASSERT_LT(visible, grid->GetRowCount()) << "the fixture must need scrolling";
  std::vector<int> sorted;
  for (const TCountry& c : kCountries) sorted.push_back(c.Id);
  std::sort(sorted.begin(), sorted.end());
  grid->SetFocusedRowIndex(0);
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(FocusedKey(grid), sorted[1]);
  orv::headless::PressKey(VK_UP);
  orv::headless::PressKey(VK_UP);
  Run();
  EXPECT_EQ(FocusedKey(grid), sorted[0]) << "Up at the first row stays there";
  orv::headless::PressKey(VK_NEXT);
  Run();
  EXPECT_EQ(FocusedKey(grid), sorted[std::size_t(visible - 1)]) << "PageDown: the last visible row";
  EXPECT_EQ(grid->GetTopRowIndex(), 0);
  orv::headless::PressKey(VK_NEXT);
  Run();
  EXPECT_EQ(grid->GetTopRowIndex(), visible - 1) << "a second PageDown scrolls a page";
  EXPECT_EQ(KeysFromTop(grid, 1).front(), sorted[std::size_t(visible - 1)]);
  orv::headless::PressKey(VK_END, false, true);
  Run();
  EXPECT_EQ(FocusedKey(grid), sorted.back());
  EXPECT_EQ(grid->GetTopRowIndex(), grid->GetRowCount() - visible) << "the last page is full";
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(FocusedKey(grid), sorted.back()) << "Down at the last row stays there";
  orv::headless::PressKey(VK_HOME, false, true);
  Run();
  EXPECT_EQ(FocusedKey(grid), sorted.front());
  EXPECT_EQ(grid->GetTopRowIndex(), 0);
  grid->SetTopRowIndex(grid->GetRowCount() - 1);
  EXPECT_EQ(grid->GetTopRowIndex(), grid->GetRowCount() - visible) << "a top row past the last page is corrected";
}

TEST_F(LookupGridTest, LayoutFitsColumnsAndSnapsHeights) {
  TCountryTable table;
  TcxCustomLookupDBGrid* grid = NewGrid(table, 400);
  grid->SetWidth(300);
  Show();
  Run();
  TcxLookupGridViewInfo* vi = grid->GetViewInfo();
  ASSERT_EQ(vi->Columns.size(), 2u);
  EXPECT_EQ(vi->Columns.back().Bounds.Right, grid->GetClientBounds().Right) << "the columns fill the width";
  EXPECT_TRUE(vi->EmptyAreaRight.Right <= vi->EmptyAreaRight.Left);
  EXPECT_FALSE(vi->EmptyAreaBottom.Bottom <= vi->EmptyAreaBottom.Top) << "twelve rows leave room below";
  const Integer header = grid->GetHeaderHeight();
  const Integer row = grid->GetRowHeight();
  EXPECT_EQ(grid->GetListHeightForRows(3), header + 3 * row);
  EXPECT_EQ(grid->SnapListHeight(header + 3 * row + row / 2), header + 3 * row);
  EXPECT_EQ(grid->SnapListHeight(0), header + row) << "at least one row";
  grid->GetOptions()->SetShowHeader(false);
  EXPECT_EQ(grid->GetHeaderHeight(), 0);
  EXPECT_EQ(vi->HeaderArea.Bottom, vi->HeaderArea.Top);
  EXPECT_EQ(vi->Rows.front().Bounds.Top, grid->GetClientBounds().Top) << "rows start at the top";
  grid->GetOptions()->SetGridLines(TcxLookupGridLines::glNone);
  EXPECT_EQ(vi->Rows.front().Bounds.Bottom - vi->Rows.front().Bounds.Top, vi->RowMinHeight);
}

TEST_F(LookupGridTest, ReleasingTheMouseOnARowClosesUpAccepted) {
  TCountryTable table;
  TcxCustomLookupDBGrid* grid = NewGrid(table, 300);
  std::vector<bool> closeUps;
  struct TSink {
    std::vector<bool>* Log;
    void CloseUp(TObject*, Boolean accept) { Log->push_back(accept); }
  } sink{&closeUps};
  grid->SetOnCloseUp(TcxLookupGridCloseUpEvent(&sink, &TSink::CloseUp));
  Show();
  Run();
  const TcxLookupGridRowViewInfo& second = grid->GetViewInfo()->Rows.at(1);
  TPoint p = grid->ClientToScreen(TPoint{second.Bounds.Left + 5, second.Bounds.Top + 2});
  orv::headless::Click(p.X, p.Y);
  Run();
  ASSERT_EQ(closeUps.size(), 1u);
  EXPECT_TRUE(closeUps[0]);
  EXPECT_EQ(grid->GetFocusedRowIndex(), 1);
  const TcxLookupGridColumnViewInfo& header = grid->GetViewInfo()->Columns.at(0);
  orv::headless::MouseMove(p.X, p.Y);
  orv::headless::MouseDown();
  const TPoint h = grid->ClientToScreen(TPoint{header.Bounds.Left + 5, header.Bounds.Top + 2});
  orv::headless::MouseMove(h.X, h.Y);
  orv::headless::MouseUp();
  Run();
  ASSERT_EQ(closeUps.size(), 2u);
  EXPECT_FALSE(closeUps[1]) << "released on the header";
}

// The cells are drawn by each column's editor: a column whose repository item is an image combo
// box shows the descriptions of its keys, not the keys, and the selected row the selection colours.
TEST_F(LookupGridTest, CellsAreDrawnByTheirColumnsEditors) {
  TCountryTable table;
  Form->SetBounds(100, 100, 220, 140);
  TcxCustomLookupDBGrid* grid = NewGrid(table, 120);
  grid->SetBounds(0, 0, 220, 140);
  grid->GetFont()->SetName(orv::kTestFontFace);
  grid->GetFont()->SetHeight(-11);
  Owned<TcxEditRepositoryImageComboBoxItem> codes(new TcxEditRepositoryImageComboBoxItem(nullptr));
  struct TCode {
    int Id;
    const char* Code;
  };
  const TCode kCodes[] = {{7, "RU"}, {33, "FR"}, {49, "DE"}, {39, "IT"}};
  for (const TCode& c : kCodes) {
    TcxImageComboBoxItem* item = codes->GetItemProperties()->GetItems()->Add();
    item->SetValue(Variant(c.Id));
    item->SetDescription(c.Code);
  }
  grid->GetDBColumns()->GetColumn(0)->SetRepositoryItem(codes.get());
  grid->GetDBColumns()->GetColumn(0)->SetWidth(50);
  Show();
  grid->SetFocusedRowIndex(1);
  grid->GetDataController()->ChangeRowSelection(1, true);
  Run();
  TcxLookupGridViewInfo* vi = grid->GetViewInfo();
  ASSERT_GE(vi->Rows.size(), 4u);
  const char* const shown[] = {"RU", "FR", "DE", "IT"};
  for (std::size_t r = 0; r < 4; ++r) {
    SCOPED_TRACE(r);
    ASSERT_EQ(vi->Rows[r].Cells.size(), 2u);
    auto* code = dynamic_cast<TcxCustomTextEditViewInfo*>(vi->Rows[r].Cells[0].EditViewInfo.get());
    auto* name = dynamic_cast<TcxCustomTextEditViewInfo*>(vi->Rows[r].Cells[1].EditViewInfo.get());
    ASSERT_TRUE(code && name);
    EXPECT_TRUE(dynamic_cast<TcxImageComboBoxViewInfo*>(code)) << "the column's own editor";
    EXPECT_EQ(code->ShownText, shown[r]);
    EXPECT_EQ(name->ShownText, CountryName(kCountries[r].Id));
  }
  const TColor selection = grid->GetGridPainter()->LFPainter->DefaultSelectionColor();
  EXPECT_EQ(vi->Rows[1].Cells[1].EditViewInfo->BackgroundColor, selection) << "the selected focused row";
  EXPECT_EQ(vi->Rows[0].Cells[1].EditViewInfo->BackgroundColor, grid->GetColor());
  ExpectGolden(Form.get(), "lookupgrid-cells");
}
