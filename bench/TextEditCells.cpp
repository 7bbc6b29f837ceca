// links: components_editors
// A grid screen of in-place text cells drawn without editor windows, as the grid draws them:
// for each of 1,000 cells the text view data lays the cell out for its value and the view info
// paints background and text; against filling the same cell rectangles with a brush.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "components/editors/cxTextEdit.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/AnsiString.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

constexpr int kCells = 1000;
constexpr int kCols = 5;
constexpr int kCellW = 150;
constexpr int kCellH = 18;
constexpr int kWidth = kCols * kCellW;
constexpr int kHeight = (kCells / kCols) * kCellH;

struct TCellScreen {
  TCellScreen() {
    HDC screen = orv::CreateScreenDC();
    Dc = CreateCompatibleDC(screen);
    Bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    DeleteDC(screen);
    Old = SelectObject(Dc, Bitmap);
    Canvas.reset(new TcxCanvas(Dc));
    Properties.reset(new TcxTextEditProperties(nullptr));
    Style.reset(new TcxEditStyle(nullptr, false));
    Style->GetFont()->SetName("Arial");
    Style->GetFont()->SetHeight(-11);
    Style->SetHotTrack(false);
    for (int i = 0; i < kCells; ++i) {
      Values.push_back(Variant(i % kCols == 0   ? "Российская Федерация"_a
                               : i % kCols == 1 ? "Москва "_a + std::to_string(i)
                                                : AnsiString(std::to_string(i * 37 % 360) + "," + std::to_string(i % 60))));
      Rects.push_back(TRect{(i % kCols) * kCellW, (i / kCols) * kCellH, (i % kCols) * kCellW + kCellW,
                            (i / kCols) * kCellH + kCellH});
    }
    Brush = CreateSolidBrush(RGB(255, 255, 255));
  }
  ~TCellScreen() {
    Canvas.reset();
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
    DeleteObject(Brush);
  }
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  HBRUSH Brush = nullptr;
  Owned<TcxCanvas> Canvas;
  Owned<TcxTextEditProperties> Properties;
  Owned<TcxEditStyle> Style;
  std::vector<Variant> Values;
  std::vector<TRect> Rects;
};

void BM_FillCellRectangles(benchmark::State& state) {
  TCellScreen s;
  for (auto _ : state) {
    for (const TRect& r : s.Rects) FillRect(s.Dc, &r, s.Brush);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_FillCellRectangles)->Unit(benchmark::kMicrosecond);

void BM_PaintInplaceTextCells(benchmark::State& state) {
  TCellScreen s;
  Owned<TcxCustomEditViewData> viewData(s.Properties->CreateViewData(s.Style.get(), true));
  Owned<TcxCustomEditViewInfo> viewInfo(
      static_cast<TcxCustomEditViewInfo*>(orv::ClassOf<TObject>(s.Properties->GetViewInfoClass()).Create()));
  for (auto _ : state) {
    for (int i = 0; i < kCells; ++i) {
      viewData->CalculateViewInfo(s.Canvas.get(), s.Rects[std::size_t(i)], false, viewInfo.get());
      viewData->SetViewInfoValue(s.Canvas.get(), s.Values[std::size_t(i)], viewInfo.get());
      viewInfo->Paint(s.Canvas.get());
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_PaintInplaceTextCells)->Unit(benchmark::kMicrosecond);

}  // namespace
