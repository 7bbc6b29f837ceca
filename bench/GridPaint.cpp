// links: components_grid components_editors components_data components_foundation platform_controls platform_windowing platform_backends platform_drawing platform_forms platform_runtime
// Painting a full table view on the headless surface: 40 visible rows of 8 text columns on a
// 1280 x 800 surface, painted through the table painters and the cells' editor view infos,
// against filling the same surface once with a brush. The goal is a frame under 4 ms.
#include <benchmark/benchmark.h>

#include <memory>

#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableView.h"
#include "components/grid/tests/GridTableRows.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Headless.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kColumns = 8;
constexpr int kRows = 40;

class TPaintDataController : public TcxGridDataController {
  ORV_CLASS(TPaintDataController, TcxGridDataController)
 public:
  explicit TPaintDataController(TComponent* owner) : TcxGridDataController(owner) {}
};

class TPaintViewData : public TcxCustomGridTableViewData {
  ORV_CLASS(TPaintViewData, TcxCustomGridTableViewData)
 public:
  explicit TPaintViewData(TcxCustomGridView* view) : TcxCustomGridTableViewData(view) {}
  TcxCustomGridRecordClass RecordClassForRow(const TcxRowInfo&) override { return grid_rows::TDataRow::StaticClass(); }
};

class TPaintColumn : public TcxCustomGridTableItem {
  ORV_CLASS(TPaintColumn, TcxCustomGridTableItem)
 public:
  explicit TPaintColumn(TComponent* owner) : TcxCustomGridTableItem(owner) {}
};

class TPaintView : public TcxCustomGridTableView {
  ORV_CLASS(TPaintView, TcxCustomGridTableView)
 public:
  explicit TPaintView(TComponent* owner) : TcxCustomGridTableView(owner) {}
  TcxCustomGridTableItemClass GetItemClass() override { return TPaintColumn::StaticClass(); }
  TcxCustomDataControllerClass GetDataControllerClass() override { return TPaintDataController::StaticClass(); }
  TcxCustomGridViewDataClass GetViewDataClass() override { return TPaintViewData::StaticClass(); }
  TcxCustomGridViewInfoClass GetViewInfoClass() override { return grid_rows::TTableViewInfo::StaticClass(); }
};

// A laid-out view filling a 1280 x 800 grid, and a memory surface of the same size to paint on.
struct TPaintBench {
  TPaintBench() {
    orv::headless::Reset();
    Form.reset(new TForm(nullptr));
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, kWidth, kHeight);
    Form->AfterConstruction();
    Grid = new TcxGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBorderStyle(cxcbsNone);
    Grid->GetFont()->SetName("Arial");
    Grid->GetFont()->SetHeight(-14);
    View = static_cast<TPaintView*>(Grid->CreateView(TPaintView::StaticClass()));
    Grid->AddLevel()->SetGridView(View);
    for (int c = 0; c < kColumns; ++c) View->CreateItem()->SetWidth(kWidth / kColumns);
    TcxCustomDataController* dc = View->GetDataController();
    dc->BeginUpdate();
    dc->SetRecordCount(1000);
    for (Integer r = 0; r < 1000; ++r)
      for (int c = 0; c < kColumns; ++c)
        dc->SetValue(r, c, Variant(c == 0 ? "Российская Федерация"_a : "Москва "_a + IntToStr(r * kColumns + c)));
    dc->EndUpdate();
    Form->Show();
    Application->ProcessMessages();
    // A grid as high as 40 whole rows.
    auto* rows = View->GetTableViewInfo()->GetRecordsViewInfo();
    const Integer rowHeight = rows->ExistingItem(0)->GetBounds().Height();
    Grid->SetBounds(0, 0, kWidth, std::min(kHeight, kRows * rowHeight));
    Application->ProcessMessages();
    HDC screen = orv::CreateScreenDC();
    Dc = CreateCompatibleDC(screen);
    Bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    DeleteDC(screen);
    Old = SelectObject(Dc, Bitmap);
    Canvas.reset(new TcxCanvas(Dc));
    Brush = CreateSolidBrush(RGB(255, 255, 255));
  }
  ~TPaintBench() {
    Canvas.reset();
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
    DeleteObject(Brush);
    Form.reset();
    orv::headless::Reset();
  }
  std::unique_ptr<TForm, orv::FreeDeleter> Form;
  TcxGrid* Grid = nullptr;
  TPaintView* View = nullptr;
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  HBRUSH Brush = nullptr;
  std::unique_ptr<TcxCanvas, orv::FreeDeleter> Canvas;
};

// Baseline: the surface filled once.
void BM_FillSurface(benchmark::State& state) {
  TPaintBench bench;
  const TRect all{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    FillRect(bench.Dc, &all, bench.Brush);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FillSurface)->Unit(benchmark::kMicrosecond);

// One full frame of the view through its painter.
void BM_PaintFullView(benchmark::State& state) {
  TPaintBench bench;
  TcxCustomGridPainter* painter = bench.View->GetPainter();
  TcxCustomGridTableViewInfo* viewInfo = bench.View->GetTableViewInfo();
  for (auto _ : state) {
    painter->Paint(bench.Canvas.get(), viewInfo);
    benchmark::ClobberMemory();
  }
  state.counters["rows"] = double(viewInfo->VisibleRecordCount());
  state.counters["cells"] = double(viewInfo->VisibleRecordCount() * kColumns);
}
BENCHMARK(BM_PaintFullView)->Unit(benchmark::kMicrosecond);

// Laying the view out again and painting it (what a data change costs on screen).
void BM_LayoutAndPaintFullView(benchmark::State& state) {
  TPaintBench bench;
  TcxCustomGridPainter* painter = bench.View->GetPainter();
  TcxCustomGridTableViewInfo* viewInfo = bench.View->GetTableViewInfo();
  for (auto _ : state) {
    viewInfo->Recalculate();
    painter->Paint(bench.Canvas.get(), viewInfo);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LayoutAndPaintFullView)->Unit(benchmark::kMicrosecond);

}  // namespace
