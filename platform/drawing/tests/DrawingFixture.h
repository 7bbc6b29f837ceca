// A memory DC over a 32-bit bitmap, cleared to white, for the drawing tests.
#pragma once

#include <gtest/gtest.h>

#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"

namespace drawing_test {

class TCanvas {
 public:
  TCanvas(int width, int height, int bpp = 32) {
    HDC screen = orv::CreateScreenDC();
    Dc = CreateCompatibleDC(screen);
    Bitmap = bpp == 32 ? CreateCompatibleBitmap(screen, width, height)
                       : CreateBitmap(width, height, 1, UINT(bpp), nullptr);
    DeleteDC(screen);
    Old = SelectObject(Dc, Bitmap);
    const RECT all{0, 0, width, height};
    if (bpp == 32) FillRect(Dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~TCanvas() {
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
  }
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  orv::TSurface& Surface() { return *orv::GetBitmapSurface(Bitmap); }
  COLORREF At(int x, int y) { return orv::PixelToColor(Surface().Pixel(x, y)); }
  int AlphaAt(int x, int y) { return orv::PixelAlpha(Surface().Pixel(x, y)); }
  ::testing::AssertionResult Art(const TRect& area, std::string_view art,
                                 std::initializer_list<orv::TArtColor> legend = {
                                     {'.', 0xFFFFFF}, {'#', 0x000000}, {'r', 0x0000FF},
                                     {'g', 0x00FF00}, {'b', 0xFF0000}}) {
    const orv::TImageCheck c = orv::MatchAsciiArt(Surface(), area, art, legend);
    if (c) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.Message;
  }

  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
};

}  // namespace drawing_test
