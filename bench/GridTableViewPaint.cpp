// links: components_grid components_editors components_data components_foundation platform_controls platform_windowing platform_backends platform_drawing platform_forms platform_runtime
// The grid table view on the headless desktop: a full frame of 40 rows x 8 columns on a
// 1280 x 800 grid (header, indicator, cells, vertical grid lines batched into one call,
// background), and a scroll by one row that copies the window's pixels and paints the new row,
// against a full repaint after the same scroll and against filling the surface once.
#include <benchmark/benchmark.h>

#include <memory>

#include "components/grid/cxGrid.h"
#include "components/grid/cxGridTableViewInfo.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Headless.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kColumns = 8;
constexpr int kRows = 40;
constexpr Integer kRecords = 2000;

struct TTableBench {
  TTableBench() {
    orv::headless::Reset();
    Form.reset(new TForm(nullptr));
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, kWidth, kHeight);
    Form->AfterConstruction();
    Grid = new TcxGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBorderStyle(cxcbsNone);
    Grid->GetFont()->SetName("MS Sans Serif");
    Grid->GetFont()->SetHeight(-11);
    Grid->GetLookAndFeel()->SetKind(lfOffice11);
    View = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
    View->GetOptionsView()->SetColumnAutoWidth(true);
    View->GetOptionsView()->SetGridLines(glVertical);
    View->GetOptionsView()->SetIndicator(true);
    View->GetOptionsView()->SetIndicatorWidth(15);
    View->GetOptionsView()->SetGroupByBox(false);
    View->GetOptionsView()->SetCellEndEllipsis(true);
    for (int c = 0; c < kColumns; ++c) View->CreateColumn()->SetWidth(kWidth / kColumns);
    TcxCustomDataController* dc = View->GetDataController();
    dc->BeginUpdate();
    dc->SetRecordCount(kRecords);
    for (Integer r = 0; r < kRecords; ++r)
      for (int c = 0; c < kColumns; ++c)
        dc->SetValue(r, c, Variant(c == 0 ? "Российская Федерация"_a : "Москва "_a + IntToStr(r * kColumns + c)));
    dc->EndUpdate();
    Form->Show();
    Application->ProcessMessages();
    // As high as the header and 40 whole rows.
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    const Integer rowHeight = viewInfo->RowsViewInfo()->GetRowHeight();
    Grid->SetBounds(0, 0, kWidth, std::min(kHeight, viewInfo->HeaderViewInfo()->GetBounds().Height() + kRows * rowHeight));
    Application->ProcessMessages();
    HDC screen = orv::CreateScreenDC();
    Dc = CreateCompatibleDC(screen);
    Bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    DeleteDC(screen);
    Old = SelectObject(Dc, Bitmap);
    Canvas.reset(new TcxCanvas(Dc));
    Brush = CreateSolidBrush(RGB(255, 255, 255));
  }
  ~TTableBench() {
    Canvas.reset();
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
    DeleteObject(Brush);
    Form.reset();
    orv::headless::Reset();
  }
  TcxGridTableViewInfo* ViewInfo() const { return static_cast<TcxGridTableViewInfo*>(View->GetViewInfo()); }

  std::unique_ptr<TForm, orv::FreeDeleter> Form;
  TcxGrid* Grid = nullptr;
  TcxGridTableView* View = nullptr;
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  HBRUSH Brush = nullptr;
  std::unique_ptr<TcxCanvas, orv::FreeDeleter> Canvas;
};

// Baseline: the surface filled once.
void BM_TableFillSurface(benchmark::State& state) {
  TTableBench bench;
  const TRect all{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    FillRect(bench.Dc, &all, bench.Brush);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TableFillSurface)->Unit(benchmark::kMicrosecond);

// One full frame of the view through its painter onto a memory surface.
void BM_TablePaintFullFrame(benchmark::State& state) {
  TTableBench bench;
  TcxCustomGridPainter* painter = bench.View->GetPainter();
  TcxGridTableViewInfo* viewInfo = bench.ViewInfo();
  for (auto _ : state) {
    painter->Paint(bench.Canvas.get(), viewInfo);
    benchmark::ClobberMemory();
  }
  state.counters["rows"] = double(viewInfo->VisibleRecordCount());
}
BENCHMARK(BM_TablePaintFullFrame)->Unit(benchmark::kMicrosecond);

// Scrolling down by one row on screen: the rows that stay are copied, the new row is painted.
void BM_TableScrollOneRow(benchmark::State& state) {
  TTableBench bench;
  TcxCustomGridTableController* controller = bench.View->GetTableController();
  Integer top = 0;
  for (auto _ : state) {
    top = top + 1 < kRecords - 2 * kRows ? top + 1 : 0;
    controller->SetTopRecordIndex(top);
    bench.View->GetSite()->Update();
  }
}
BENCHMARK(BM_TableScrollOneRow)->Unit(benchmark::kMicrosecond);

// The same scroll repainting the whole view, as without copying pixels.
void BM_TableScrollOneRowFullRepaint(benchmark::State& state) {
  TTableBench bench;
  TcxCustomGridTableController* controller = bench.View->GetTableController();
  Integer top = 0;
  for (auto _ : state) {
    top = top + 1 < kRecords - 2 * kRows ? top + 1 : 0;
    controller->SetTopRecordIndex(top);
    bench.View->GetSite()->Invalidate();
    bench.View->GetSite()->Update();
  }
}
BENCHMARK(BM_TableScrollOneRowFullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
