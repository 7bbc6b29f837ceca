// links: app platform_backends tools
// The program's window at work: its start-up to the painted main window, a coordinate search
// through the window's handler, and the export of 100,000 towns through the window's action
// (save dialog answered at once, the message pump run and the progress bar moved per town).
//
//   BM_StartUp          the data module on the bundled table, the main window and the about box
//                       created, every message handled and the window presented; reports
//                       x_bare, its time over a bare captioned window made, painted and presented
//                       the same way. On the SDL2 backend when DISPLAY is set, else headless.
//   BM_SearchHandler    the coordinate search's handler (east 30, north 50, ±5) on 100,000
//                       synthetic towns, the status line's count included; x_scan is its time
//                       over the table's own filtered scan of the same box (filter set, First to
//                       EOF).
//   BM_Export           the export of all 100,000 towns through the window's action; x_direct
//                       is its time over writing the same bytes to the same file directly.
//
// Each baseline runs right after each iteration, untimed, and the ratio is the sum of the
// iterations' times over the sum of the baseline's:
//   bench_ProgramWindow --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/Program.h"
#include "app/TownExport.h"
#include "app/TownSearch.h"
#include "app/UDM.h"
#include "app/UMain.h"
#include "app/fMsgF1DE.h"
#include "components/editors-more/cxCalc.h"
#include "components/editors-more/cxSpinEdit.h"
#include "dbf/DsDbfTable.h"
#include "platform/backends/SdlBackend.h"
#include "platform/controls/Dialogs.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Variants.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "tools/SyntheticTownTable.h"

namespace {

using Clock = std::chrono::steady_clock;

// The data module on a folder of the benchmark's choice.
class TBenchDM : public TDM {
  ORV_CLASS(TBenchDM, TDM)
 public:
  explicit TBenchDM(TComponent* owner) : TDM(owner) {}
  static AnsiString& Folder() {
    static AnsiString folder;
    return folder;
  }

 protected:
  AnsiString DataFolder() const override { return Folder(); }
};

// A folder with a synthetic town table of 100,000 towns, made once.
const std::string& SyntheticFolder() {
  static const std::string folder = [] {
    const std::string dir = (std::filesystem::temp_directory_path() / "orv-bench-program").string();
    std::filesystem::create_directories(dir);
    if (!std::filesystem::exists(dir + "/ORVANE.DBF")) orv::WriteSyntheticTownTable(dir + "/ORVANE.DBF", 100000, 1);
    return dir + "/";
  }();
  return folder;
}

// The desktop the start-up is measured on.
orv::TSdlBackend* Desktop() {
  static std::unique_ptr<orv::TSdlBackend> backend = [] {
    std::unique_ptr<orv::TSdlBackend> b;
    const char* display = std::getenv("DISPLAY");
    if (display && *display) b = orv::TSdlBackend::Create();
    return b;
  }();
  return backend.get();
}

void StartWindows(const AnsiString& folder) {
  TBenchDM::Folder() = folder;
  orv::StartProgramData(TBenchDM::StaticClass());
  orv::CreateProgramWindows();
  Application->ProcessMessages();
  orv::FlushPresent();
}

LRESULT BareProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); }

void BM_StartUp(benchmark::State& state) {
  orv::headless::Reset();
  orv::SetManualClock(false);
  if (Desktop()) orv::SetWindowBackend(Desktop());
  WNDCLASS wc{};
  wc.lpfnWndProc = BareProc;
  wc.lpszClassName = "OrvBenchBare";
  wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
  RegisterClass(&wc);
  const AnsiString bundled = orv::Utf8ToAnsi(std::string(ORV_SOURCE_DIR) + "/DB/");
  double own = 0, bare = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    StartWindows(bundled);
    const auto t1 = Clock::now();
    own += std::chrono::duration<double>(t1 - t0).count();
    state.PauseTiming();
    orv::ShutDownProgram();
    Application->ProcessMessages();
    const auto b0 = Clock::now();
    HWND w = CreateWindowEx(0, "OrvBenchBare", "Орване"_a.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 660,
                            472, nullptr, nullptr, nullptr, nullptr);
    Application->ProcessMessages();
    orv::FlushPresent();
    bare += std::chrono::duration<double>(Clock::now() - b0).count();
    DestroyWindow(w);
    Application->ProcessMessages();
    state.ResumeTiming();
  }
  state.counters["x_bare"] = own / bare;
  state.SetLabel(Desktop() ? "SDL2" : "headless");
  orv::SetWindowBackend(nullptr);
  orv::headless::Reset();
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime();

// The main window on the synthetic table, for the search and the export.
class TSyntheticWindow {
 public:
  TSyntheticWindow() {
    orv::headless::Reset();
    orv::SetMessageBoxHandler([](HWND, const AnsiString&, const AnsiString&, UINT) { return IDOK; });
    StartWindows(orv::Utf8ToAnsi(SyntheticFolder()));
  }
  ~TSyntheticWindow() {
    orv::ShutDownProgram();
    orv::SetMessageBoxHandler(nullptr);
    orv::headless::Reset();
  }
};

void BM_SearchHandler(benchmark::State& state) {
  TSyntheticWindow window;
  FMain->cxCalcEdit1->SetValue(30);
  FMain->cxCalcEdit2->SetValue(50);
  FMain->cxSpinEdit1->SetValue(Variant(5));
  FMain->cxSpinEdit2->SetValue(Variant(5));
  TDsDbfTable* table = DM->tblOrvane;
  orv::TCoordinateSearch box;
  box.Longitude = "30";
  box.Latitude = "50";
  box.LongitudeTolerance = box.LatitudeTolerance = "5";
  box.LongitudeSign = "В"_a;
  box.LatitudeSign = "С"_a;
  const std::vector<AnsiString> pieces = orv::CoordinateFilterPieces(box);
  double own = 0, scan = 0;
  Integer found = 0;
  for (auto _ : state) {
    state.PauseTiming();
    table->SetFiltered(false);
    state.ResumeTiming();
    const auto t0 = Clock::now();
    FMain->cxButton1Click(nullptr);
    own += std::chrono::duration<double>(Clock::now() - t0).count();
    state.PauseTiming();
    table->SetFiltered(false);
    const auto s0 = Clock::now();
    table->SetFilter(AnsiString());
    for (const AnsiString& piece : pieces) table->SetFilter(table->GetFilter() + piece);
    table->SetFiltered(true);
    found = 0;
    for (table->First(); !table->GetEOF(); table->Next()) ++found;
    scan += std::chrono::duration<double>(Clock::now() - s0).count();
    state.ResumeTiming();
  }
  state.counters["found"] = found;
  state.counters["x_scan"] = own / scan;
}
BENCHMARK(BM_SearchHandler)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Export(benchmark::State& state) {
  TSyntheticWindow window;
  const std::string path = SyntheticFolder() + "export.txt";
  const AnsiString target = orv::Utf8ToAnsi(path);
  orv::SetFileDialogHandler([&](TOpenDialog*, bool, AnsiString& fileName) {
    fileName = target;
    return true;
  });
  double own = 0, direct = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    FMain->aWriteToFileExecute(nullptr);
    own += std::chrono::duration<double>(Clock::now() - t0).count();
    state.PauseTiming();
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto d0 = Clock::now();
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    direct += std::chrono::duration<double>(Clock::now() - d0).count();
    state.counters["bytes"] = double(bytes.size());
    state.ResumeTiming();
  }
  orv::SetFileDialogHandler(nullptr);
  state.counters["x_direct"] = own / direct;
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
