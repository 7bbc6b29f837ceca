// links: components_grid components_editors components_data components_foundation platform_controls platform_windowing platform_backends platform_drawing platform_forms platform_runtime
// The table view's record objects after a data change: the view data keeps one empty slot per
// row and makes a record object only when asked, so rebuilding the records of a view and
// making the screenful that is shown must cost far less than the data controller's own walk
// over its rows, and must not grow with the rows that are never shown.
#include <benchmark/benchmark.h>

#include <memory>

#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableView.h"
#include "platform/controls/Forms.h"
#include "platform/windowing/Headless.h"

namespace {

class TBenchDataController : public TcxDataController {
  ORV_CLASS(TBenchDataController, TcxDataController)
 public:
  explicit TBenchDataController(TComponent* owner) : TcxDataController(owner) {}
  TObject* GetItem(Integer index) override {
    return static_cast<TcxCustomGridTableView*>(GetOwnerComponent())->GetItem(index);
  }
};

class TBenchRow : public TcxCustomGridRecord {
  ORV_CLASS(TBenchRow, TcxCustomGridRecord)
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
  Boolean GetHasCells() override { return true; }
};

class TBenchViewData : public TcxCustomGridTableViewData {
  ORV_CLASS(TBenchViewData, TcxCustomGridTableViewData)
 public:
  explicit TBenchViewData(TcxCustomGridView* view) : TcxCustomGridTableViewData(view) {}
  TcxCustomGridRecordClass RecordClassForRow(const TcxRowInfo&) override { return TBenchRow::StaticClass(); }
};

class TBenchItem : public TcxCustomGridTableItem {
  ORV_CLASS(TBenchItem, TcxCustomGridTableItem)
 public:
  explicit TBenchItem(TComponent* owner) : TcxCustomGridTableItem(owner) {}
};

class TBenchView : public TcxCustomGridTableView {
  ORV_CLASS(TBenchView, TcxCustomGridTableView)
 public:
  explicit TBenchView(TComponent* owner) : TcxCustomGridTableView(owner) {}
  TcxCustomGridTableItemClass GetItemClass() override { return TBenchItem::StaticClass(); }
  TcxCustomDataControllerClass GetDataControllerClass() override { return TBenchDataController::StaticClass(); }
  TcxCustomGridPainterClass GetPainterClass() override { return TcxCustomGridPainter::StaticClass(); }
  TcxCustomGridViewDataClass GetViewDataClass() override { return TBenchViewData::StaticClass(); }
  TcxCustomGridViewInfoClass GetViewInfoClass() override { return TcxCustomGridViewInfo::StaticClass(); }
};

// A grid on a form with a view of three columns over `rows` records.
struct TBenchGrid {
  explicit TBenchGrid(Integer rows) {
    orv::headless::Reset();
    Form.reset(new TForm(nullptr));
    Form->AfterConstruction();
    Grid = new TcxGrid(Form.get());
    Grid->SetParent(Form.get());
    View = static_cast<TBenchView*>(Grid->CreateView(TBenchView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
    for (int i = 0; i < 3; ++i) View->CreateItem();
    TcxCustomDataController* dc = View->GetDataController();
    dc->BeginUpdate();
    dc->SetRecordCount(rows);
    for (Integer r = 0; r < rows; ++r) {
      dc->SetValue(r, 0, Variant("Россия"_a));
      dc->SetValue(r, 1, Variant("Town" + IntToStr(r)));
      dc->SetValue(r, 2, Variant("55c45"));
    }
    dc->EndUpdate();
  }
  ~TBenchGrid() {
    Form.reset();
    orv::headless::Reset();
  }
  std::unique_ptr<TForm, orv::FreeDeleter> Form;
  TcxGrid* Grid = nullptr;
  TBenchView* View = nullptr;
};

constexpr Integer kScreenRows = 40;

// Baseline: the data controller's walk over its rows (row info of each).
void BM_ControllerRowWalk(benchmark::State& state) {
  TBenchGrid bench(Integer(state.range(0)));
  TcxCustomDataController* dc = bench.View->GetDataController();
  for (auto _ : state) {
    Integer sum = 0;
    for (Integer i = 0, n = dc->GetRowCount(); i < n; ++i) sum += dc->GetRowInfo(i).RecordIndex;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_ControllerRowWalk)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// A data change of the view (records dropped and their slots laid out again) and the record
// objects of one screen, with the grid locked as a search locks it.
void BM_ViewDataChangeAndScreen(benchmark::State& state) {
  TBenchGrid bench(Integer(state.range(0)));
  TcxCustomGridTableViewData* data = bench.View->GetTableViewData();
  for (auto _ : state) {
    bench.Grid->BeginUpdate();
    bench.View->DataChanged();
    for (Integer i = 0; i < kScreenRows; ++i) benchmark::DoNotOptimize(data->RecordAt(i));
    bench.Grid->CancelUpdate();
  }
}
BENCHMARK(BM_ViewDataChangeAndScreen)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The same when every record object is made (what showing all rows would cost).
void BM_ViewDataChangeAndEveryRecord(benchmark::State& state) {
  TBenchGrid bench(Integer(state.range(0)));
  TcxCustomGridTableViewData* data = bench.View->GetTableViewData();
  for (auto _ : state) {
    bench.Grid->BeginUpdate();
    bench.View->DataChanged();
    for (Integer i = 0, n = data->GetRecordCount(); i < n; ++i) benchmark::DoNotOptimize(data->RecordAt(i));
    bench.Grid->CancelUpdate();
  }
}
BENCHMARK(BM_ViewDataChangeAndEveryRecord)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
