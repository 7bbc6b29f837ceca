// A small concrete table view for the table-view model's tests: unbound data whose items are the
// view's columns, data and group rows that count their repaint requests, and a view info that
// counts its calculations.
#pragma once

#include <map>

#include "components/grid/cxGridCustomTableView.h"
#include "components/grid/tests/GridFixture.h"

namespace grid_test {

// The view's own grid data controller.
class TTestTableDataController : public TcxGridDataController {
  ORV_CLASS(TTestTableDataController, TcxGridDataController)
 public:
  explicit TTestTableDataController(TComponent* owner) : TcxGridDataController(owner) {}
};

// Publishes what the table view's column publishes of the item.
class TTestColumn : public TcxCustomGridTableItem {
  ORV_CLASS(TTestColumn, TcxCustomGridTableItem)
 public:
  explicit TTestColumn(TComponent* owner) : TcxCustomGridTableItem(owner) {}
  Boolean GetStoredProperties(TStrings* properties) override {
    properties->Add("Width");
    return inherited::GetStoredProperties(properties);
  }
  void GetStoredPropertyValue(const AnsiString& name, Variant& value) override {
    if (name == "Width")
      value = GetWidth();
    else
      inherited::GetStoredPropertyValue(name, value);
  }
  void SetStoredPropertyValue(const AnsiString& name, const Variant& value) override {
    if (name == "Width")
      SetWidth(value.AsInteger());
    else
      inherited::SetStoredPropertyValue(name, value);
  }
};

// Repaint requests of every record, by row index (kept across record recreation).
inline std::map<Integer, int>& RecordInvalidations() {
  static std::map<Integer, int> counts;
  return counts;
}

class TTestDataRow : public TcxCustomGridRecord {
  ORV_CLASS(TTestDataRow, TcxCustomGridRecord)
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
  Boolean GetHasCells() override { return true; }
  void Invalidate(TcxCustomGridTableItem* item) override {
    ++RecordInvalidations()[GetIndex()];
    inherited::Invalidate(item);
  }
};

class TTestGroupRow : public TcxCustomGridRecord {
  ORV_CLASS(TTestGroupRow, TcxCustomGridRecord)
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
  Boolean GetIsData() override { return false; }
  Boolean GetExpandable() override { return true; }
  Boolean GetExpanded() override { return GetRecordInfo().Expanded; }
  Boolean GetIsParent() override { return true; }
  void DoExpand(Boolean recursive) override { GetDataController()->GetGroups()->ChangeExpanding(GetIndex(), true, recursive); }
  void DoCollapse(Boolean recursive) override {
    GetDataController()->GetGroups()->ChangeExpanding(GetIndex(), false, recursive);
  }
};

class TTestTableViewData : public TcxCustomGridTableViewData {
  ORV_CLASS(TTestTableViewData, TcxCustomGridTableViewData)
 public:
  explicit TTestTableViewData(TcxCustomGridView* view) : TcxCustomGridTableViewData(view) {}
  TcxCustomGridRecordClass RecordClassForRow(const TcxRowInfo& info) override {
    if (info.Level < GetDataController()->GetGroups()->GetGroupingLevelCount()) return TTestGroupRow::StaticClass();
    return TTestDataRow::StaticClass();
  }
};

class TTestTableViewInfo : public TcxCustomGridViewInfo {
  ORV_CLASS(TTestTableViewInfo, TcxCustomGridViewInfo)
 public:
  explicit TTestTableViewInfo(TcxCustomGridView* view) : TcxCustomGridViewInfo(view) {}
  int Calculations = 0;
  void Calculate() override {
    inherited::Calculate();
    ++Calculations;
  }
};

// Shows a fixed number of whole records, as a laid-out view of that height would.
class TTestTableController : public TcxCustomGridTableController {
  ORV_CLASS(TTestTableController, TcxCustomGridTableController)
 public:
  explicit TTestTableController(TcxCustomGridView* view) : TcxCustomGridTableController(view) {}
  Integer Visible = 10;
  Integer GetVisibleRecordCount() override {
    return std::min(Visible, std::max<Integer>(GetTableViewData()->GetRecordCount() - GetTopRecordIndex(), 0));
  }
};

class TTestTableView : public TcxCustomGridTableView {
  ORV_CLASS(TTestTableView, TcxCustomGridTableView)
 public:
  explicit TTestTableView(TComponent* owner) : TcxCustomGridTableView(owner) {}
  TcxCustomGridTableItemClass GetItemClass() override { return TTestColumn::StaticClass(); }
  TcxCustomGridControllerClass GetControllerClass() override { return TTestTableController::StaticClass(); }
  TcxCustomDataControllerClass GetDataControllerClass() override { return TTestTableDataController::StaticClass(); }
  TcxCustomGridPainterClass GetPainterClass() override { return TcxCustomGridPainter::StaticClass(); }
  TcxCustomGridViewDataClass GetViewDataClass() override { return TTestTableViewData::StaticClass(); }
  TcxCustomGridViewInfoClass GetViewInfoClass() override { return TTestTableViewInfo::StaticClass(); }
  TTestTableViewInfo* TestViewInfo() const { return static_cast<TTestTableViewInfo*>(GetViewInfo()); }
};

// A grid on a form with a table view of three columns (Country, Town, ID) at its level.
class GridTableFixture : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    RecordInvalidations().clear();
    View = static_cast<TTestTableView*>(Grid->CreateView(TTestTableView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
    Country = View->CreateItem();
    Country->SetCaption("Страна"_a);
    Town = View->CreateItem();
    Town->SetCaption("Город"_a);
    Id = View->CreateItem();
    Id->SetCaption("ID");
    Id->GetDataBinding()->SetValueType("Integer");
  }
  TcxCustomDataController* DC() const { return View->GetDataController(); }
  TcxCustomGridTableViewData* Data() const { return View->GetTableViewData(); }
  // Rows of (country, town, id) appended in one update.
  void Fill(const std::vector<std::tuple<AnsiString, AnsiString, Integer>>& rows) {
    DC()->BeginUpdate();
    const Integer first = DC()->GetRecordCount();
    DC()->SetRecordCount(first + Integer(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Integer r = first + Integer(i);
      DC()->SetValue(r, 0, Variant(std::get<0>(rows[i])));
      DC()->SetValue(r, 1, Variant(std::get<1>(rows[i])));
      DC()->SetValue(r, 2, Variant(std::get<2>(rows[i])));
    }
    DC()->EndUpdate();
  }
  void FillNumbered(Integer count) {
    std::vector<std::tuple<AnsiString, AnsiString, Integer>> rows;
    for (Integer i = 0; i < count; ++i)
      rows.emplace_back(i % 2 ? "Россия"_a : "Франция"_a, "Town" + IntToStr(i), i);
    Fill(rows);
  }

  TTestTableView* View = nullptr;
  TcxCustomGridTableItem* Country = nullptr;
  TcxCustomGridTableItem* Town = nullptr;
  TcxCustomGridTableItem* Id = nullptr;
};

}  // namespace grid_test
