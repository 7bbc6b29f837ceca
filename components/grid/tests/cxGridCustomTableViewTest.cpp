// The table view's model: items over the controller's fields, lazily made records over its rows,
// the data, record and focused-record changes, selection and focus, clipboard copy, layout
// storage and form descriptions, options and styles.
#include <gtest/gtest.h>

#include "components/editors/cxTextEdit.h"
#include "components/grid/cxGridStrs.h"
#include "components/grid/cxGridTableView.h"
#include "components/grid/tests/GridTableFixture.h"
#include "platform/controls/Clipbrd.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

namespace grid_test {

ORV_PUBLISH(TTestColumn) {
  using T = TTestColumn;
  p.Property("MinWidth", &T::GetMinWidth, &T::SetMinWidth).Default(20);
  p.Property("SortIndex", &T::GetSortIndex, &T::SetSortIndex).Default(-1);
  p.Property("SortOrder", &T::GetSortOrder, &T::SetSortOrder).Stored([](T* c) { return c->IsSortOrderStored(); });
  p.Property("Width", &T::GetWidth, &T::SetWidth).Stored([](T* c) { return c->IsWidthStored(); });
}
ORV_PUBLISH(TTestTableView) {}

namespace {

using TableViewTest = GridTableFixture;

TEST_F(TableViewTest, ItemsTakeIndexesIdsAndVisibilityFromTheView) {
  EXPECT_EQ(View->GetItemCount(), 3);
  EXPECT_EQ(DC()->GetItemCount(), 3);
  for (Integer i = 0; i < 3; ++i) {
    EXPECT_EQ(View->GetItem(i)->GetIndex(), i);
    EXPECT_EQ(View->GetItem(i)->GetID(), i);
    EXPECT_EQ(View->GetItem(i)->GetVisibleIndex(), i);
    EXPECT_TRUE(View->GetItem(i)->GetVisible());
    EXPECT_EQ(DC()->GetItem(i), View->GetItem(i));
  }
  EXPECT_EQ(Town->GetWidth(), 64);
  EXPECT_EQ(Town->GetMinWidth(), 20);
  EXPECT_EQ(View->GetFilterableItemCount(), 3);

  // An item outside a view.
  Owned<TTestColumn> loose(new TTestColumn(nullptr));
  EXPECT_FALSE(loose->GetVisible());
  EXPECT_EQ(loose->GetIndex(), -1);

  // Width never below the minimum; a raised minimum raises the width.
  Town->SetWidth(5);
  EXPECT_EQ(Town->GetWidth(), 20);
  Town->SetMinWidth(90);
  EXPECT_EQ(Town->GetWidth(), 90);
  Town->SetMinWidth(-3);
  EXPECT_EQ(Town->GetMinWidth(), 0);

  // Moving clamps and moves the controller's fields with the item.
  DC()->SetRecordCount(1);
  DC()->SetValue(0, 1, Variant("Париж"_a));
  View->ChangeItemIndex(Town, 99);
  EXPECT_EQ(Town->GetIndex(), 2);
  EXPECT_EQ(Id->GetIndex(), 1);
  EXPECT_EQ(Town->GetVisibleIndex(), 2);
  EXPECT_EQ(VarToStr(DC()->GetValue(0, 2)), "Париж"_a);

  // Hiding leaves the visible list; the most recent ID is given back.
  Id->SetVisible(false);
  EXPECT_EQ(View->GetVisibleItemCount(), 2);
  EXPECT_EQ(Id->GetVisibleIndex(), -1);
  TcxCustomGridTableItem* extra = View->CreateItem();
  EXPECT_EQ(extra->GetID(), 3);
  extra->Free();
  EXPECT_EQ(View->CreateItem()->GetID(), 3);
  EXPECT_EQ(View->FindItemByID(3)->GetIndex(), 3);
}

TEST_F(TableViewTest, RecordsOfAThousandRowsAreMadeOnlyWhenAskedFor) {
  FillNumbered(1000);
  EXPECT_EQ(Data()->GetRecordCount(), 1000);
  EXPECT_EQ(Data()->CreatedRecordCount(), 0);

  TcxCustomGridRecord* record = Data()->RecordAt(500);
  EXPECT_EQ(Data()->CreatedRecordCount(), 1);
  EXPECT_EQ(Data()->RecordAt(500), record);
  EXPECT_TRUE(record->InheritsFrom(TTestDataRow::StaticClass()));
  EXPECT_EQ(record->GetIndex(), 500);
  EXPECT_EQ(record->GetRecordIndex(), 500);
  EXPECT_EQ(record->GetDisplayTexts(1), "Town500");
  EXPECT_EQ(record->GetDisplayTexts(0), "Франция"_a);
  EXPECT_EQ(record->GetValues(2).AsInteger(), 500);
  EXPECT_EQ(record->GetValueCount(), 3);
  EXPECT_FALSE(record->GetExpandable());
  EXPECT_TRUE(Data()->RecordAt(999)->IsLast());
  EXPECT_TRUE(Data()->RecordAt(0)->IsFirst());
  EXPECT_EQ(Data()->CheckedRecordAt(1000), nullptr);
  EXPECT_EQ(Data()->CheckedRecordAt(-1), nullptr);
  EXPECT_EQ(Data()->RecordOfKind(5, 0), nullptr);
  EXPECT_EQ(Data()->RecordOfDataRecord(42)->GetIndex(), 42);

  // Values written through a record reach the controller.
  record->SetValue(1, Variant("Лион"_a));
  EXPECT_EQ(VarToStr(DC()->GetValue(500, 1)), "Лион"_a);

  // Focus and selection live in the controller and survive record recreation.
  record = Data()->RecordAt(500);
  record->SetFocused(true);
  EXPECT_EQ(DC()->GetFocusedRowIndex(), 500);
  EXPECT_TRUE(Data()->RecordAt(500)->GetFocused());
  EXPECT_EQ(View->GetTableController()->GetFocusedRecord(), Data()->RecordAt(500));
  View->GetTableOptionsSelection()->SetMultiSelect(true);
  Data()->RecordAt(7)->SetSelected(true);
  EXPECT_TRUE(DC()->IsRowSelected(7));
  DC()->SetValue(3, 1, Variant("X"));  // a data change makes new record objects
  EXPECT_EQ(Data()->CreatedRecordCount(), 0);
  EXPECT_TRUE(Data()->RecordAt(7)->GetSelected());
  EXPECT_TRUE(Data()->RecordAt(500)->GetFocused());
  Data()->RecordAt(500)->SetFocused(false);
  EXPECT_EQ(DC()->GetFocusedRowIndex(), -1);

  // Without multi-selection a record's selection is left alone.
  View->GetTableOptionsSelection()->SetMultiSelect(false);
  Data()->RecordAt(8)->SetSelected(true);
  EXPECT_FALSE(DC()->IsRowSelected(8));
}

TEST_F(TableViewTest, GroupRowsExpandAndCollapseThroughTheController) {
  FillNumbered(10);
  Country->SetGroupIndex(0);
  EXPECT_EQ(View->GetGroupedItemCount(), 1);
  EXPECT_EQ(View->GetGroupedItem(0), Country);
  ASSERT_EQ(Data()->GetRecordCount(), 2);
  TcxCustomGridRecord* group = Data()->RecordAt(0);
  EXPECT_TRUE(group->GetExpandable());
  EXPECT_FALSE(group->GetExpanded());
  EXPECT_FALSE(group->GetIsData());
  group->SetExpanded(true);
  EXPECT_EQ(Data()->GetRecordCount(), 7);
  TcxCustomGridRecord* child = Data()->RecordAt(5);
  EXPECT_EQ(child->GetLevel(), 1);
  EXPECT_EQ(child->GetParentRecord(), Data()->RecordAt(0));
  EXPECT_EQ(child->LastParentRecordCount(), 1);
  EXPECT_EQ(Data()->RecordAt(4)->LastParentRecordCount(), 0);
  // Numeric-keypad minus collapses the focused group row and is consumed.
  Word key = VK_SUBTRACT;
  Data()->RecordAt(0)->KeyDown(key, TShiftState());
  EXPECT_EQ(key, 0);
  EXPECT_EQ(Data()->GetRecordCount(), 2);
  // The walk visits the rows counted at its start: the second group has moved past them.
  Data()->ExpandAll(false);
  EXPECT_EQ(Data()->GetRecordCount(), 7);
  Data()->CollapseAll(false);
  EXPECT_EQ(Data()->GetRecordCount(), 2);
}

TEST_F(TableViewTest, ABurstOfDataNoticesInsideTheGridLockLaysOutOnce) {
  Show();
  FillNumbered(20);
  int layouts = 0;
  std::vector<TcxCustomGridView*> layoutViews;
  auto onLayout = [&](TcxCustomGrid*, TcxCustomGridView* view) {
    ++layouts;
    layoutViews.push_back(view);
  };
  Grid->SetOnLayoutChanged(TcxGridLayoutChangedEvent::Callable(onLayout));
  Data()->RecordAt(3);
  Grid->BeginUpdate();
  for (Integer i = 0; i < 10; ++i) {
    DC()->SetValue(i, 1, Variant("T" + IntToStr(i)));
    // The data change ran at once: the records are new, the view's size change waits.
    EXPECT_EQ(Data()->CreatedRecordCount(), 0);
    Data()->RecordAt(i);
  }
  DC()->SetRecordCount(25);
  EXPECT_EQ(Data()->GetRecordCount(), 25);
  EXPECT_EQ(layouts, 0);
  Grid->EndUpdate();
  EXPECT_EQ(layouts, 1);
  // Without the lock every notice lays out.
  DC()->SetValue(0, 1, Variant("A"));
  DC()->SetValue(1, 1, Variant("B"));
  EXPECT_EQ(layouts, 3);
}

TEST_F(TableViewTest, AFocusMoveRepaintsTheTwoRecordsAndTellsTheListeners) {
  FillNumbered(10);
  std::vector<std::pair<Integer, Integer>> moves;
  auto onFocus = [&](TcxCustomGridTableView*, TcxCustomGridRecord* prev, TcxCustomGridRecord* focused, Boolean) {
    moves.emplace_back(prev ? prev->GetIndex() : -1, focused ? focused->GetIndex() : -1);
  };
  View->SetOnFocusedRecordChanged(TcxGridFocusedRecordChangedEvent::Callable(onFocus));
  View->GetTableController()->SetFocusedRecordIndex(3);
  RecordInvalidations().clear();
  View->GetTableController()->SetFocusedRecordIndex(7);
  EXPECT_EQ(RecordInvalidations(), (std::map<Integer, int>{{3, 1}, {7, 1}}));
  EXPECT_EQ(moves, (std::vector<std::pair<Integer, Integer>>{{-1, 3}, {3, 7}}));

  // Two repaints of one record while the grid is locked collapse into one; a size change
  // queued with them absorbs both.
  TcxCustomGridRecord* record = Data()->RecordAt(2);
  TcxGridRecordChange a(View, nullptr, 2, record), b(View, nullptr, 2, record), c(View, Town, 2, record);
  TcxGridSizeChange size(View);
  TcxGridDataChange data(View);
  EXPECT_TRUE(a.IsSameAs(&b));
  EXPECT_FALSE(a.IsSameAs(&c));
  EXPECT_TRUE(a.IsCoveredBy(&size));
  EXPECT_TRUE(a.IsCoveredBy(&data));
  EXPECT_FALSE(data.CanBeQueued());
  EXPECT_TRUE(size.IsCoveredBy(&data));
}

TEST_F(TableViewTest, ARecordRepaintQueuedBeforeTheRecordsWereRemadeDoesNotReachTheOldRecord) {
  FillNumbered(5);
  TcxCustomGridRecord* old = Data()->RecordAt(2);
  auto* change = new TcxGridRecordChange(View, nullptr, 2, old);
  DC()->SetValue(0, 1, Variant("Z"));  // frees the record objects
  // Runs without touching the freed record (the sanitizer build checks it).
  Grid->AddChange(change);
  SUCCEED();
}

TEST_F(TableViewTest, ARecordHitTestStaysValidWhenRecordsAreRemade) {
  FillNumbered(5);
  auto* hitTest = TcxCustomGridHitTest::InstanceOf<TcxGridRecordHitTest>(TPoint{1, 2});
  hitTest->SetHitRecord(Data()->RecordAt(4));
  DC()->SetValue(0, 1, Variant("Z"));
  ASSERT_NE(hitTest->HitRecord(), nullptr);
  EXPECT_EQ(hitTest->HitRecord()->GetIndex(), 4);
  EXPECT_EQ(hitTest->HitRecord(), Data()->RecordAt(4));
  hitTest->SetHitRecord(nullptr);
  EXPECT_EQ(hitTest->HitRecord(), nullptr);
  EXPECT_EQ(hitTest->GetGridRecordIndex(), -1);
}

TEST(GridHitTestCodes, EveryClassAnswersItsCodeCursorAndRecordArea) {
  struct Case {
    TcxCustomGridHitTest* HitTest;
    Integer Code;
  };
  auto get = [](TClass c) { return TcxCustomGridHitTest::Instance(c, TPoint()); };
  const Case cases[] = {
      {get(TcxGridDetailsSiteTabHitTest::StaticClass()), 50},
      {get(TcxGridFilterHitTest::StaticClass()), 101},
      {get(TcxGridFilterActivateButtonHitTest::StaticClass()), 102},
      {get(TcxGridFilterCloseButtonHitTest::StaticClass()), 103},
      {get(TcxGridFilterDropDownButtonHitTest::StaticClass()), 104},
      {get(TcxGridFilterCustomizeButtonHitTest::StaticClass()), 105},
      {get(TcxGridRecordHitTest::StaticClass()), 106},
      {get(TcxGridRecordCellHitTest::StaticClass()), 107},
      {get(TcxGridExpandButtonHitTest::StaticClass()), 108},
      {get(TcxGridGroupByBoxHitTest::StaticClass()), 201},
      {get(TcxGridColumnHeaderHitTest::StaticClass()), 202},
      {get(TcxGridColumnHeaderHorzSizingEdgeHitTest::StaticClass()), 203},
      {get(TcxGridColumnHeaderFilterButtonHitTest::StaticClass()), 204},
      {get(TcxGridFooterHitTest::StaticClass()), 205},
      {get(TcxGridFooterCellHitTest::StaticClass()), 206},
      {get(TcxGridGroupFooterHitTest::StaticClass()), 207},
      {get(TcxGridGroupFooterCellHitTest::StaticClass()), 208},
      {get(TcxGridRowIndicatorHitTest::StaticClass()), 209},
      {get(TcxGridRowSizingEdgeHitTest::StaticClass()), 210},
      {get(TcxGridIndicatorHitTest::StaticClass()), 211},
      {get(TcxGridIndicatorHeaderHitTest::StaticClass()), 212},
      {get(TcxGridRowLevelIndentHitTest::StaticClass()), 213},
      {get(TcxGridHeaderHitTest::StaticClass()), 214},
      {get(TcxGridGroupSummaryHitTest::StaticClass()), 215},
      {get(TcxGridPreviewHitTest::StaticClass()), 231},
  };
  for (const Case& c : cases) EXPECT_EQ(c.HitTest->GetHitTestCode(), c.Code) << c.HitTest->ClassName();
  EXPECT_EQ(get(TcxGridColumnHeaderHorzSizingEdgeHitTest::StaticClass())->Cursor(), crcxGridHorzSize);
  EXPECT_EQ(get(TcxGridRowSizingEdgeHitTest::StaticClass())->Cursor(), crcxGridVertSize);
  auto* indicator = static_cast<TcxGridRowIndicatorHitTest*>(get(TcxGridRowIndicatorHitTest::StaticClass()));
  indicator->SetMultiSelect(false);
  EXPECT_EQ(indicator->Cursor(), crDefault);
  indicator->SetMultiSelect(true);
  EXPECT_EQ(indicator->Cursor(), crcxGridSelectRow);
  EXPECT_FALSE(static_cast<TcxGridRecordHitTest*>(get(TcxGridExpandButtonHitTest::StaticClass()))->IsRecordArea());
  EXPECT_FALSE(static_cast<TcxGridRecordHitTest*>(get(TcxGridRowLevelIndentHitTest::StaticClass()))->IsRecordArea());
  EXPECT_TRUE(static_cast<TcxGridRecordHitTest*>(get(TcxGridRecordCellHitTest::StaticClass()))->IsRecordArea());
}

TEST_F(TableViewTest, CopyPutsCaptionsAndRowsOnTheClipboardAsTabSeparatedText) {
  Id->SetVisible(false);  // hidden columns are not copied
  Fill({{"Россия"_a, "Москва"_a, 1}, {"Франция"_a, "Париж"_a, 2}});
  View->CopyToClipboard(true);
  EXPECT_EQ(Clipboard()->GetAsText(), "Страна\tГород\r\nРоссия\tМосква\r\nФранция\tПариж"_a);

  View->GetTableOptionsBehavior()->SetCopyCaptionsToClipboard(false);
  View->GetTableOptionsSelection()->SetMultiSelect(true);
  DC()->ChangeRowSelection(1, true);
  EXPECT_EQ(View->GetCopyText(false), "Франция\tПариж"_a);

  // A group row gives one value on its line.
  View->GetTableOptionsBehavior()->SetCopyCaptionsToClipboard(true);
  Country->SetGroupIndex(0);
  DC()->GetGroups()->FullExpand();
  EXPECT_EQ(View->GetCopyText(true), "Страна\tГород\r\nРоссия\r\nРоссия\tМосква\r\nФранция\r\nФранция\tПариж"_a);

  // No rows: the caption line alone.
  DC()->SetRecordCount(0);
  EXPECT_EQ(View->GetCopyText(true), "Страна\tГород"_a);
  // The grid lock taken for the copy is released.
  EXPECT_FALSE(Grid->IsUpdateLocked());
}

// The stored values of a view and its items, as a layout storage keeps them.
std::map<AnsiString, Variant> StoreLayout(TcxCustomGridTableView* view) {
  std::map<AnsiString, Variant> values;
  TStringList names;
  view->GetStoredProperties(&names);
  for (Integer i = 0; i < names.GetCount(); ++i) view->GetStoredPropertyValue(names.Get(i), values[names.Get(i)]);
  for (Integer j = 0; j < view->GetItemCount(); ++j) {
    TcxCustomGridTableItem* item = view->GetItem(j);
    TStringList itemNames;
    item->GetStoredProperties(&itemNames);
    for (Integer i = 0; i < itemNames.GetCount(); ++i)
      item->GetStoredPropertyValue(itemNames.Get(i), values[item->GetObjectName() + "." + itemNames.Get(i)]);
  }
  return values;
}

void RestoreLayout(TcxCustomGridTableView* view, const std::map<AnsiString, Variant>& values) {
  view->BeforeRestoring();
  for (const auto& [name, value] : values) {
    const auto dot = name.find('.');
    if (dot == AnsiString::npos) {
      view->SetStoredPropertyValue(name, value);
    } else if (TcxCustomGridTableItem* item = view->FindItemByStoredName(name.substr(0, dot))) {
      item->SetStoredPropertyValue(name.substr(dot + 1), value);
    }
  }
  view->AfterRestoring();
}

TEST_F(TableViewTest, AStoredLayoutRestoresOrderWidthsVisibilityAndSorting) {
  View->SetStoringName("Towns");
  Fill({{"Россия"_a, "Москва"_a, 1}, {"Франция"_a, "Париж"_a, 2}, {"Россия"_a, "Казань"_a, 3}});
  View->SetStorageOptionsValue(1);
  View->ChangeItemIndex(Id, 0);
  Town->SetWidth(140);
  Country->SetVisible(false);
  Town->SetSortOrder(soDescending);
  Id->SetSortOrder(soAscending);
  const auto stored = StoreLayout(View);
  EXPECT_EQ(VarToStr(stored.at("Filter")), "");  // an empty filter stores an empty text

  // Another view with the same items in their first state.
  auto* other = static_cast<TTestTableView*>(Grid->CreateView(TTestTableView::StaticClass()));
  other->SetStoringName("Towns");
  other->SetStorageOptionsValue(1);
  for (int i = 0; i < 3; ++i) other->CreateItem();
  RestoreLayout(other, stored);
  EXPECT_EQ(other->FindItemByID(2)->GetIndex(), 0);
  EXPECT_EQ(other->FindItemByID(0)->GetIndex(), 1);
  EXPECT_EQ(other->FindItemByID(1)->GetWidth(), 140);
  EXPECT_FALSE(other->FindItemByID(0)->GetVisible());
  EXPECT_EQ(other->FindItemByID(1)->GetSortOrder(), soDescending);
  EXPECT_EQ(other->FindItemByID(1)->GetSortIndex(), 0);
  EXPECT_EQ(other->FindItemByID(2)->GetSortIndex(), 1);
  EXPECT_EQ(StoreLayout(other), stored);

  // A filter text of five characters or fewer changes nothing; a bad FilterActive raises.
  other->SetStoredPropertyValue("Filter", Variant("Hex:0"));
  EXPECT_THROW(other->SetStoredPropertyValue("FilterActive", Variant("maybe")), EConvertError);
  other->SetStoredPropertyValue("FilterActive", Variant("true"));
  EXPECT_TRUE(other->GetDataController()->GetFilter()->GetActive());
}

TEST_F(TableViewTest, ResettingItemsFromStorageBringsBackDesignedCaptionsAlignmentAndWidthsInOneLayout) {
  Town->SetWidth(140);
  Id->SetWidth(30);
  Id->SetHeaderAlignmentHorz(taRightJustify);
  ASSERT_TRUE(Town->IsWidthStored());
  const Integer calculations = View->TestViewInfo()->Calculations;
  View->ResetItemsFromStorage();
  for (TcxCustomGridTableItem* item : {Country, Town, Id}) {
    EXPECT_FALSE(item->IsWidthStored());
    EXPECT_FALSE(item->IsCaptionStored());
    EXPECT_EQ(item->GetWidth(), item->GetDefaultWidth());
    EXPECT_EQ(item->GetHeaderAlignmentHorz(), taLeftJustify);
  }
  // Three items reset under one lock: the view lays itself out once, not once per item.
  EXPECT_EQ(View->TestViewInfo()->Calculations, calculations + 1);
}

class TTableHost : public TForm {
  ORV_CLASS(TTableHost, TForm)
 public:
  explicit TTableHost(TComponent* owner) : TForm(owner) {}
};

}  // namespace

ORV_PUBLISH(TTableHost) {}

namespace {

TEST_F(TableViewTest, ItemsTravelThroughAFormDescriptionWithOrderWidthsVisibilityAndSorting) {
  Owned<TTableHost> source(new TTableHost(nullptr));
  source->AfterConstruction();
  source->SetName("Host");
  auto* grid = new TcxGrid(source.get());
  grid->SetName("grd");
  grid->SetParent(source.get());
  auto* view = static_cast<TTestTableView*>(grid->CreateView(TTestTableView::StaticClass()));
  view->SetName("grdView");
  const char* names[] = {"grdViewCountry", "grdViewTown", "grdViewId"};
  for (const char* name : names) view->CreateItem()->SetName(name);
  view->GetItem(1)->SetCaption("Город"_a);
  view->GetItem(0)->SetCaption("");
  view->GetItem(1)->SetWidth(150);
  view->GetItem(2)->SetVisible(false);
  view->ChangeItemIndex(view->GetItem(2), 0);
  view->GetItem(2)->SetSortOrder(soDescending);  // the town, now last
  view->GetItem(0)->SetSortOrder(soAscending);   // the id, now first
  const AnsiString text = orv::WriteComponentToText(source.get());
  EXPECT_NE(text.find("IsCaptionAssigned = True"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Width = 150"), AnsiString::npos) << text;

  Owned<TTableHost> target(new TTableHost(nullptr));
  target->AfterConstruction();
  orv::ReadComponentFromText(target.get(), text);
  auto* read = dynamic_cast<TTestTableView*>(target->FindComponent("grdView"));
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->GetItemCount(), 3);
  EXPECT_EQ(read->GetItem(0)->GetName(), "grdViewId");
  EXPECT_FALSE(read->GetItem(0)->GetVisible());
  EXPECT_EQ(read->GetItem(2)->GetSortIndex(), 0);
  EXPECT_EQ(read->GetItem(2)->GetSortOrder(), soDescending);
  EXPECT_EQ(read->GetItem(0)->GetSortIndex(), 1);
  EXPECT_EQ(read->GetItem(0)->GetSortOrder(), soAscending);
  EXPECT_EQ(read->GetItem(1)->GetSortIndex(), -1);
  EXPECT_EQ(read->GetItem(2)->GetWidth(), 150);
  EXPECT_EQ(read->GetItem(2)->GetCaption(), "Город"_a);
  EXPECT_TRUE(read->GetItem(1)->GetIsCaptionAssigned());
  EXPECT_EQ(orv::WriteComponentToText(target.get()), text);
}

TEST_F(TableViewTest, EvenAndOddRowsTakeTheirStylesAndTheEventWins) {
  FillNumbered(4);
  Owned<TcxStyle> even(new TcxStyle(nullptr)), odd(new TcxStyle(nullptr)), chosen(new TcxStyle(nullptr));
  even->SetColor(clYellow);
  odd->SetColor(clAqua);
  chosen->SetTextColor(clRed);
  TcxCustomGridTableViewStyles* styles = View->GetTableStyles();
  TcxViewParams params;
  styles->GetContentParams(Data()->RecordAt(0), Town, params);
  const TColor plain = params.Color;
  styles->SetContentEven(even.get());
  styles->SetContentOdd(odd.get());
  for (Integer i = 0; i < 4; ++i) {
    styles->GetContentParams(Data()->RecordAt(i), Town, params);
    EXPECT_EQ(params.Color, i % 2 == 0 ? clYellow : clAqua) << i;
  }
  auto onStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord* record, TcxCustomGridTableItem*, TcxStyle*& style) {
    if (record->GetIndex() == 2) style = chosen.get();
  };
  styles->SetOnGetContentStyle(TcxGridGetCellStyleEvent::Callable(onStyle));
  styles->GetContentParams(Data()->RecordAt(2), Town, params);
  EXPECT_EQ(params.TextColor, clRed);
  EXPECT_EQ(params.Color, clYellow);  // what the chosen style leaves unassigned
  // The item's content goes through the view's record content.
  Town->GetStyles()->GetContentParams(Data()->RecordAt(1), params);
  EXPECT_EQ(params.Color, clAqua);
  styles->SetContentEven(nullptr);
  styles->SetContentOdd(nullptr);
  styles->SetOnGetContentStyle(TcxGridGetCellStyleEvent());
  styles->GetContentParams(Data()->RecordAt(1), Town, params);
  EXPECT_EQ(params.Color, plain);
}

TEST_F(TableViewTest, OptionsClampAndTheNoDataTextFollowsItsReplacement) {
  TcxCustomGridTableOptionsView* options = View->GetTableOptionsView();
  options->SetNavigatorOffset(-10);
  EXPECT_EQ(options->GetNavigatorOffset(), 0);
  options->SetCellTextMaxLineCount(-1);
  EXPECT_EQ(options->GetCellTextMaxLineCount(), 0);
  View->GetDateTimeHandling()->SetGrouping(dtgDefault);
  EXPECT_EQ(View->GetDateTimeHandling()->GetGrouping(), dtgByDateAndTime);
  View->GetTableOptionsBehavior()->SetBestFitMaxRecordCount(-4);
  EXPECT_EQ(View->GetTableOptionsBehavior()->GetBestFitMaxRecordCount(), 0);
  EXPECT_EQ(options->GetNoDataToDisplayInfoText(), "<No data to display>");
  cxSetResourceString(&scxGridNoDataInfoText, "Нет данных"_a);
  EXPECT_EQ(options->GetNoDataToDisplayInfoText(), "Нет данных"_a);
  EXPECT_FALSE(options->IsNoDataToDisplayInfoTextStored());
  options->SetNoDataToDisplayInfoText("Пусто"_a);
  EXPECT_EQ(options->GetNoDataToDisplayInfoText(), "Пусто"_a);
  cxSetResourceString(&scxGridNoDataInfoText, "<No data to display>");

  TcxCustomGridTableOptionsSelection* selection = View->GetTableOptionsSelection();
  EXPECT_FALSE(selection->IsMultiSelectStored());
  EXPECT_FALSE(selection->IsInvertSelectStored());
  selection->SetMultiSelect(true);
  EXPECT_TRUE(DC()->GetMultiSelect());
  EXPECT_TRUE(selection->IsMultiSelectStored());
  selection->SetHideFocusRect(false);
  EXPECT_FALSE(selection->GetHideFocusRectOnExit());
  // Cell selection off takes the focus off the focused item.
  View->GetTableController()->SetFocusedItem(Town);
  EXPECT_TRUE(Town->GetFocused());
  selection->SetCellSelect(false);
  EXPECT_FALSE(Town->GetFocused());
}

TEST_F(TableViewTest, UnfocusingAnItemMovesTheFocusToTheNextOneAndRemovingItClearsIt) {
  FillNumbered(3);
  DC()->ChangeFocusedRowIndex(0);
  View->GetTableController()->SetFocusedItem(Town);
  Town->SetFocused(false);
  EXPECT_EQ(View->GetTableController()->GetFocusedItem(), Id);
  Id->Free();
  EXPECT_NE(View->GetTableController()->GetFocusedItem(), Id);
  EXPECT_EQ(View->GetItemCount(), 2);
  EXPECT_EQ(DC()->GetItemCount(), 2);
}

TEST_F(TableViewTest, FilteredFalseRemovesEveryConditionOfTheItem) {
  FillNumbered(4);
  TcxDataFilterCriteria* filter = DC()->GetFilter();
  filter->AddItem(nullptr, Town, focEqual, Variant("Town1"), "Town1");
  TcxFilterCriteriaItemList* group = filter->GetRoot()->AddGroup(fbcOr);
  filter->AddItem(group, Town, focEqual, Variant("Town2"), "Town2");
  filter->AddItem(group, Country, focEqual, Variant("Россия"_a), "Россия"_a);
  EXPECT_TRUE(Town->GetFiltered());
  Town->SetFiltered(true);
  EXPECT_TRUE(Town->GetFiltered());
  Town->SetFiltered(false);
  EXPECT_FALSE(Town->GetFiltered());
  EXPECT_TRUE(Country->GetFiltered());
}

}  // namespace
}  // namespace grid_test

namespace grid_test {
namespace {

TEST_F(TableViewTest, ItemsShowTheirValuesThroughTextEditPropertiesUnlessTheyHaveTheirOwn) {
  FillNumbered(3);
  ASSERT_NE(Town->GetPropertiesValue(), nullptr);
  EXPECT_TRUE(Town->GetPropertiesValue()->InheritsFrom(TcxTextEditProperties::StaticClass()));
  EXPECT_EQ(Town->GetPropertiesObject(), nullptr);
  // Text editing exchanges values as text: unconverted, the controller forms the text itself.
  AnsiString text;
  EXPECT_FALSE(Data()->ItemDisplayText(2, 2, 0, false, text));
  EXPECT_TRUE(Data()->ItemDisplayText(2, 2, 0, true, text));
  EXPECT_EQ(text, "2");
  EXPECT_TRUE(Data()->ItemDisplayText(1, 1, 0, true, text));
  EXPECT_EQ(text, "Town1");

  Town->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  ASSERT_NE(Town->GetPropertiesObject(), nullptr);
  EXPECT_EQ(Town->GetPropertiesValue(), Town->GetPropertiesObject());
  EXPECT_EQ(Town->GetPropertiesClassName(), "TcxTextEditProperties");
  // An unknown class name leaves no own properties and the default in effect.
  Town->SetPropertiesClassName("TNoSuchProperties");
  EXPECT_EQ(Town->GetPropertiesObject(), nullptr);
  EXPECT_TRUE(Town->GetPropertiesValue()->InheritsFrom(TcxTextEditProperties::StaticClass()));

  // A repository item wins over the default and is forgotten when it goes.
  auto* repositoryItem = new TcxEditRepositoryItem(nullptr);
  Town->SetRepositoryItem(repositoryItem);
  EXPECT_EQ(Town->GetPropertiesValue(), repositoryItem->GetProperties());
  repositoryItem->Free();
  EXPECT_EQ(Town->GetRepositoryItem(), nullptr);
  EXPECT_TRUE(Town->GetPropertiesValue()->InheritsFrom(TcxTextEditProperties::StaticClass()));
}

}  // namespace
}  // namespace grid_test

namespace grid_test {
namespace {

TEST_F(TableViewTest, CellsShareOneStyleAndViewDataThatShowTheItemsText) {
  FillNumbered(3);
  TcxCustomEditStyle* style = Town->AcquireCellStyle();
  EXPECT_EQ(Town->AcquireCellStyle(), style);
  EXPECT_EQ(Town->GetCellStyleUseCount(), 2);
  Town->ReleaseCellStyle();
  Town->ReleaseCellStyle();
  EXPECT_EQ(Town->GetCellStyle(), nullptr);
  EXPECT_EQ(Town->CreateEditViewData(nullptr), nullptr);

  Town->CreateSharedEditViewData();
  ASSERT_NE(Town->GetSharedEditViewData(), nullptr);
  Boolean mustFree = true;
  EXPECT_EQ(Town->GetCellViewData(Town->GetPropertiesValue(), mustFree), Town->GetSharedEditViewData());
  EXPECT_FALSE(mustFree);
  // Per-record properties give every cell a view data of its own.
  auto onProperties = [](TcxCustomGridTableItem*, TcxCustomGridRecord*, TcxCustomEditProperties*&) {};
  Town->SetOnGetProperties(TcxGridGetPropertiesEvent::Callable(onProperties));
  TcxCustomEditViewData* own = Town->GetCellViewData(Town->GetPropertiesValue(), mustFree);
  EXPECT_TRUE(mustFree);
  EXPECT_NE(own, Town->GetSharedEditViewData());
  // The view data's text hook reaches the item's event with the record it shows.
  TcxCustomGridRecord* seen = nullptr;
  auto onText = [&](TcxCustomGridTableItem*, TcxCustomGridRecord* record, AnsiString& text) {
    seen = record;
    text += "!";
  };
  Town->SetOnGetDisplayText(TcxGridGetDisplayTextEvent::Callable(onText));
  own->Data = static_cast<TObject*>(Data()->RecordAt(1));
  AnsiString text = "Town1";
  own->OnGetDisplayText(own, text);
  EXPECT_EQ(text, "Town1!");
  EXPECT_EQ(seen, Data()->RecordAt(1));
  own->Data = static_cast<TObject*>(Town);
  own->OnGetDisplayText(own, text);
  EXPECT_EQ(seen, nullptr);
  Town->DestroyEditViewData(own);
  EXPECT_EQ(own, nullptr);
  EXPECT_EQ(Town->GetCellStyleUseCount(), 1);  // the shared view data's
  Town->DestroySharedEditViewData();
  EXPECT_EQ(Town->GetCellStyle(), nullptr);
}

TEST_F(TableViewTest, BestFitMeasuresTheRecordsInRangeAndKeepsToTheCap) {
  Show();
  Fill({{"Россия"_a, "Ош"_a, 1}, {"Россия"_a, "Санкт-Петербург"_a, 2}, {"Россия"_a, "Тверь"_a, 3}});
  TcxCanvas* canvas = View->GetViewInfo()->Canvas();
  ASSERT_NE(canvas, nullptr);
  Town->ApplyBestFit();
  const Integer all = Town->GetWidth();
  EXPECT_GT(all, canvas->TextWidth("Санкт-Петербург"_a));
  EXPECT_LT(all, canvas->TextWidth("Санкт-Петербург"_a) + 20);
  // Only the first record: a narrower width.
  View->GetTableOptionsBehavior()->SetBestFitMaxRecordCount(1);
  Town->ApplyBestFit();
  EXPECT_LT(Town->GetWidth(), all);
  View->GetTableOptionsBehavior()->SetBestFitMaxRecordCount(0);
  Town->SetBestFitMaxWidth(50);
  Town->ApplyBestFit();
  EXPECT_EQ(Town->GetWidth(), 50);
  EXPECT_GT(Town->CalculateDefaultCellHeight(canvas, Grid->GetFont()), 0);
}

}  // namespace
}  // namespace grid_test

namespace grid_test {
namespace {

TEST_F(TableViewTest, TheGridDataControllerAsksTheViewForTextsSelectionAndLocking) {
  FillNumbered(3);
  EXPECT_EQ(DC()->GetDisplayText(2, 2), "2");
  auto onDataText = [](TcxCustomGridTableItem*, Integer recordIndex, AnsiString& text) {
    text = "№"_a + IntToStr(recordIndex) + " " + text;
  };
  Town->SetOnGetDataText(TcxGridGetDataTextEvent::Callable(onDataText));
  EXPECT_EQ(Data()->RecordAt(1)->GetDisplayTexts(1), "№1 Town1"_a);
  EXPECT_TRUE(Town->SortByDisplayText(false));
  EXPECT_EQ(DC()->GetItemFilterCaption(1), "Город"_a);
  Town->SetAlternateCaption("Населённый пункт"_a);
  EXPECT_EQ(DC()->GetItemFilterCaption(1), "Населённый пункт"_a);
  auto onCanSelect = [](TcxCustomGridTableView*, TcxCustomGridRecord* record, Boolean& allow) {
    allow = record && record->GetIndex() != 0;
  };
  View->SetOnCanSelectRecord(TcxGridAllowRecordOperationEvent::Callable(onCanSelect));
  EXPECT_FALSE(DC()->CanSelectRow(0));
  EXPECT_TRUE(DC()->CanSelectRow(1));
  // The controller's update locks the view and through it the grid.
  DC()->BeginUpdate();
  EXPECT_TRUE(View->IsUpdateLocked());
  EXPECT_TRUE(Grid->IsUpdateLocked());
  DC()->EndUpdate();
  EXPECT_FALSE(Grid->IsUpdateLocked());
}

TEST_F(TableViewTest, AssigningAViewMatchesItsItemsByID) {
  auto* other = static_cast<TTestTableView*>(Grid->CreateView(TTestTableView::StaticClass()));
  TcxCustomGridTableItem* first = other->CreateItem();
  for (int i = 0; i < 4; ++i) other->CreateItem();
  Town->SetWidth(120);
  other->Assign(View);
  ASSERT_EQ(other->GetItemCount(), 3);
  EXPECT_EQ(other->GetItem(0), first);  // the item with ID 0 was kept
  EXPECT_EQ(other->FindItemByID(1)->GetCaption(), "Город"_a);
  EXPECT_EQ(other->FindItemByID(1)->GetWidth(), 120);
  EXPECT_EQ(other->GetNextID(), View->GetNextID());
}

TEST_F(TableViewTest, DateItemsFilterByTheirDateWhenTimeIsIgnored) {
  TcxCustomGridTableItem* when = View->CreateItem();
  when->GetDataBinding()->SetValueType("DateTime");
  TcxCustomGridTableViewData* data = Data();
  // Only a date item, only for filtering, only with both options on.
  View->GetDateTimeHandling()->SetIgnoreTimeForFiltering(true);
  EXPECT_TRUE(data->UsesDateHandling(when, 2));
  EXPECT_FALSE(data->UsesDateHandling(when, 1));
  EXPECT_FALSE(data->UsesDateHandling(Town, 2));
  when->GetOptions()->SetIgnoreTimeForFiltering(false);
  EXPECT_FALSE(data->UsesDateHandling(when, 2));
  View->GetDateTimeHandling()->SetIgnoreTimeForFiltering(false);
  when->GetOptions()->SetIgnoreTimeForFiltering(true);
  EXPECT_FALSE(data->UsesDateHandling(when, 2));
  EXPECT_FALSE(data->ComparesConvertedValues(when->GetIndex(), 0));
  // Converted values keep the date; nulls stay null.
  const TDateTime day = EncodeDate(2024, 3, 12);
  Variant result;
  data->ConvertDateValue(when, VarFromDateTime(day + 0.75), result, 2);
  EXPECT_EQ(VarToDateTime(result), day);
  data->ConvertDateValue(when, Null(), result, 2);
  EXPECT_TRUE(VarIsNull(result));
  EXPECT_EQ(data->CompareItemValues(when->GetIndex(), VarFromDateTime(day + 0.1), VarFromDateTime(day + 0.9), 1), 0);
  EXPECT_EQ(data->CompareItemValues(when->GetIndex(), VarFromDateTime(day), VarFromDateTime(day + 1.5), 1), -1);
  EXPECT_EQ(data->CompareItemValues(when->GetIndex(), VarFromDateTime(day + 2), VarFromDateTime(day), 0), 1);
}

}  // namespace
}  // namespace grid_test
