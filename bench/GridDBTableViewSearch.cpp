// links: app components_grid components_data dbf tools platform_backends
// The town search through the grid as the program runs it: a dataset-bound grid table view with
// the window's ten columns over a synthetic 100,000-town table; the grid locked, the coordinate
// filter's pieces handed to the table inside its batch, the grid unlocked and the view's record
// count read. Its time is reported as x_scan, over the table's own filtered scan (First to EOF
// under the same filter, on a second instance of the table that no control is bound to, so that
// no data-aware control hears the walk), measured right after each iteration; `reloads` counts
// the data changes the view's data controller delivered per search.
//
//   bench_GridDBTableViewSearch --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/TownSearch.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridDBTableView.h"
#include "components/grid/cxGridLevel.h"
#include "dbf/DsCP.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "platform/controls/Forms.h"
#include "platform/dataset/DataSource.h"
#include "platform/windowing/Headless.h"
#include "tools/SyntheticTownTable.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

constexpr std::size_t kTownCount = 100000;
const char* const kColumnFields[] = {"COUNTRY", "CITY", "G_DOLG", "G_SHIR", "E_DOLG",
                                     "E_SHIR",  "LON",  "LAT",    "ECLLON", "ECLLAT"};

// The synthetic table in a temporary folder, removed when the run ends.
struct TTownFile {
  std::string Dir;
  TTownFile() {
    char pattern[] = "/tmp/bench-grid-road-XXXXXX";
    if (!mkdtemp(pattern)) return;
    Dir = pattern;
    orv::WriteSyntheticTownTable(Dir + "/ORVANE.DBF", kTownCount, 7);
  }
  ~TTownFile() {
    if (Dir.empty()) return;
    std::remove((Dir + "/ORVANE.DBF").c_str());
    rmdir(Dir.c_str());
  }
};

const TTownFile& TownFile() {
  static TTownFile file;
  return file;
}

// The data module's table and the main window's grid with its one dataset-bound view.
struct TGridRoad {
  TGridRoad() : Form(new TForm(nullptr)) {
    Form->AfterConstruction();
    auto* database = new TDsDatabase(Form.get());
    database->SetDatabaseName(TownFile().Dir);
    Table = new TDsDbfTable(Form.get());
    Table->SetDatabase(database);
    Table->SetCodePage(dBASE_RUS_cp866);
    Table->SetTableName("ORVANE.DBF");
    Table->Open();
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(Table);
    Grid = new TcxGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, 660, 300);
    View = static_cast<TcxGridDBTableView*>(Grid->CreateView(TcxGridDBTableView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
    View->BeginUpdate();
    for (const char* field : kColumnFields) View->CreateColumn()->GetDataBinding()->SetFieldName(field);
    View->GetDataController()->SetOptions(View->GetDataController()->GetOptions() +
                                          TcxDataControllerOptions{dcoAnsiSort});
    View->EndUpdate();
    View->GetDataController()->SetDataSource(source);
    View->GetDataController()->SetOnDataChanged(TNotifyEvent(this, &TGridRoad::DataChanged));
    ScanTable = new TDsDbfTable(Form.get());
    ScanTable->SetDatabase(database);
    ScanTable->SetCodePage(dBASE_RUS_cp866);
    ScanTable->SetTableName("ORVANE.DBF");
    ScanTable->Open();
  }
  void DataChanged(TObject*) { ++Reloads; }
  // The search handler's common frame around the pieces.
  Integer Search(const std::vector<AnsiString>& pieces) {
    Grid->BeginUpdate();
    Table->BeginBatch();
    Table->SetFiltered(false);
    Table->SetFilter("");
    for (const AnsiString& piece : pieces) Table->SetFilter(Table->GetFilter() + piece);
    if (!Table->GetFilter().empty()) Table->SetFiltered(true);
    Table->EndBatch();
    Grid->EndUpdate();
    return View->GetDataController()->GetRecordCount();
  }
  // The table's own filtered scan under the search's filter.
  void PrepareScan() {
    ScanTable->SetFiltered(false);
    ScanTable->SetFilter(Table->GetFilter());
    ScanTable->SetFiltered(Table->GetFiltered());
  }
  Integer Scan() {
    Integer n = 0;
    for (ScanTable->First(); !ScanTable->GetEOF(); ScanTable->Next()) ++n;
    return n;
  }
  std::unique_ptr<TForm, orv::FreeDeleter> Form;
  TDsDbfTable* Table = nullptr;
  TDsDbfTable* ScanTable = nullptr;
  Integer Reloads = 0;
  TcxGrid* Grid = nullptr;
  TcxGridDBTableView* View = nullptr;
};

// A coordinate search around a town of the table.
std::vector<AnsiString> PiecesAround(TDsDbfTable* table, Integer recNo, Integer tolerance) {
  table->SetRecNo(recNo);
  const double lon = table->FieldByName("LON")->GetAsFloat();
  const double lat = table->FieldByName("LAT")->GetAsFloat();
  orv::TCoordinateSearch search;
  const bool west = lon > 180;
  search.Longitude = IntToStr(Int64(std::lround(west ? 360 - lon : lon)));
  search.LongitudeSign = west ? "З"_a : "В"_a;
  search.Latitude = IntToStr(Int64(std::lround(std::fabs(lat))));
  search.LatitudeSign = lat < 0 ? "Ю"_a : "С"_a;
  search.LongitudeTolerance = IntToStr(tolerance);
  search.LatitudeTolerance = IntToStr(tolerance);
  return orv::CoordinateFilterPieces(search);
}

void BM_GridSearchRoad(benchmark::State& state) {
  orv::headless::Reset();
  TGridRoad road;
  const std::vector<AnsiString> first = PiecesAround(road.Table, 1, 5);
  const std::vector<AnsiString> second = PiecesAround(road.Table, Integer(kTownCount / 2), 3);
  double total = 0, baseline = 0;
  Integer found = 0;
  road.Reloads = 0;
  bool odd = false;
  for (auto _ : state) {
    odd = !odd;
    const auto start = Clock::now();
    found = road.Search(odd ? first : second);
    const double seconds = Seconds(start);
    state.SetIterationTime(seconds);
    total += seconds;
    road.PrepareScan();
    const auto scanStart = Clock::now();
    benchmark::DoNotOptimize(road.Scan());
    baseline += Seconds(scanStart);
  }
  state.counters["found"] = double(found);
  state.counters["reloads"] = double(road.Reloads) / double(state.iterations());
  state.counters["x_scan"] = baseline > 0 ? total / baseline : 0;
}
BENCHMARK(BM_GridSearchRoad)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
