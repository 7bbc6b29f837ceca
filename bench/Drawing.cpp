// links: platform_drawing
// One frame of a grid-sized screen (40 rows of 6 cells with grid lines): cell backgrounds,
// clipped single-line text and lines, against a plain memset of the same surface. Also the
// rectangle-clipping fast path against a clip of many rectangles.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/AnsiString.h"

namespace {

constexpr int kRows = 40, kCols = 6, kCellW = 150, kCellH = 18;
constexpr int kWidth = kCols * kCellW, kHeight = kRows * kCellH;

struct TScreen {
  TScreen(const char* face) {
    HDC screen = orv::CreateScreenDC();
    Dc = CreateCompatibleDC(screen);
    Bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    DeleteDC(screen);
    SelectObject(Dc, Bitmap);
    Font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    SelectObject(Dc, Font);
    Back = CreateSolidBrush(RGB(255, 255, 255));
    Odd = CreateSolidBrush(RGB(238, 243, 250));
    Line = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
    SelectObject(Dc, Line);
    SetBkMode(Dc, TRANSPARENT);
    for (int i = 0; i < kRows * kCols; ++i)
      Texts.push_back(i % kCols == 1 ? "Российская Федерация"_a
                                     : i % kCols == 2 ? "Москва "_a + std::to_string(i)
                                                      : AnsiString(std::to_string(i * 37 % 360) + "в" + std::to_string(i % 60)));
  }
  ~TScreen() {
    SelectObject(Dc, GetStockObject(SYSTEM_FONT));
    SelectObject(Dc, GetStockObject(BLACK_PEN));
    DeleteDC(Dc);
    for (HGDIOBJ o : {HGDIOBJ(Bitmap), HGDIOBJ(Font), HGDIOBJ(Back), HGDIOBJ(Odd), HGDIOBJ(Line)})
      DeleteObject(o);
  }

  void Frame() {
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        RECT cell{c * kCellW, r * kCellH, (c + 1) * kCellW - 1, (r + 1) * kCellH - 1};
        FillRect(Dc, &cell, r % 2 ? Odd : Back);
        RECT text{cell.Left + 2, cell.Top, cell.Right - 2, cell.Bottom};
        const AnsiString& s = Texts[std::size_t(r * kCols + c)];
        DrawText(Dc, s.c_str(), int(s.size()), &text,
                 DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX |
                     (c == 0 ? DT_RIGHT : DT_LEFT));
      }
    for (int r = 1; r <= kRows; ++r) {
      MoveToEx(Dc, 0, r * kCellH - 1, nullptr);
      LineTo(Dc, kWidth, r * kCellH - 1);
    }
    for (int c = 1; c <= kCols; ++c) {
      MoveToEx(Dc, c * kCellW - 1, 0, nullptr);
      LineTo(Dc, c * kCellW - 1, kHeight);
    }
  }

  HDC Dc;
  HBITMAP Bitmap;
  HFONT Font;
  HBRUSH Back, Odd;
  HPEN Line;
  std::vector<AnsiString> Texts;
};

void BM_MemsetBaseline(benchmark::State& state) {
  TScreen s(orv::kTestFontFace);
  orv::TSurface& surface = *orv::GetBitmapSurface(s.Bitmap);
  for (auto _ : state) {
    std::memset(surface.Bits(), 0xFF, std::size_t(kWidth) * kHeight * sizeof(orv::TPixel));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemsetBaseline);

void BM_GridFrameInstalledFont(benchmark::State& state) {
  TScreen s("MS Sans Serif");
  for (auto _ : state) {
    s.Frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GridFrameInstalledFont);

void BM_GridFrameTestFont(benchmark::State& state) {
  TScreen s(orv::kTestFontFace);
  for (auto _ : state) {
    s.Frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GridFrameTestFont);

// The same fills through a clip of one rectangle (the fast path) and through a clip of many
// (a grid of holes excluded).
void BM_FillsClipOneRect(benchmark::State& state) {
  TScreen s(orv::kTestFontFace);
  IntersectClipRect(s.Dc, 1, 1, kWidth - 1, kHeight - 1);
  for (auto _ : state) {
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        RECT cell{c * kCellW, r * kCellH, (c + 1) * kCellW - 1, (r + 1) * kCellH - 1};
        FillRect(s.Dc, &cell, s.Back);
      }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FillsClipOneRect);

void BM_FillsClipManyRects(benchmark::State& state) {
  TScreen s(orv::kTestFontFace);
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c)
      ExcludeClipRect(s.Dc, c * kCellW + 70, r * kCellH + 5, c * kCellW + 74, r * kCellH + 9);
  for (auto _ : state) {
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        RECT cell{c * kCellW, r * kCellH, (c + 1) * kCellW - 1, (r + 1) * kCellH - 1};
        FillRect(s.Dc, &cell, s.Back);
      }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FillsClipManyRects);

}  // namespace
