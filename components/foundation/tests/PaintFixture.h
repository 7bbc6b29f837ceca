// A memory DC over a 32-bit bitmap, cleared to white, for the painting tests of the foundation.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"

namespace paint_test {

class TPaintDC {
 public:
  TPaintDC(int width, int height, COLORREF background = 0xFFFFFF) {
    HDC screen = orv::CreateScreenDC();
    Dc = CreateCompatibleDC(screen);
    Bitmap = CreateCompatibleBitmap(screen, width, height);
    DeleteDC(screen);
    Old = SelectObject(Dc, Bitmap);
    Clear(background);
  }
  ~TPaintDC() {
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
  }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;

  void Clear(COLORREF color) { Surface().Fill(orv::ColorToPixel(color)); }
  orv::TSurface& Surface() { return *orv::GetBitmapSurface(Bitmap); }
  COLORREF At(int x, int y) { return orv::PixelToColor(Surface().Pixel(x, y)); }
  ::testing::AssertionResult Art(const TRect& area, std::string_view art,
                                 std::initializer_list<orv::TArtColor> legend) {
    const orv::TImageCheck c = orv::MatchAsciiArt(Surface(), area, art, legend);
    if (c) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.Message;
  }
  ::testing::AssertionResult Golden(const std::string& name) {
    const orv::TImageCheck c = orv::MatchGoldenImage(
        Surface(), std::string(ORV_SOURCE_DIR) + "/components/foundation/tests/golden/" + name);
    if (c) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.Message;
  }

  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
};

}  // namespace paint_test
