// A 32-bit surface: the pixels every device context draws on.
//
// A pixel is one 32-bit value with blue in bits 0-7, green 8-15, red 16-23 and alpha 24-31
// (memory order blue, green, red, alpha). Rows may run top-down or bottom-up in memory (a
// bottom-up bitmap keeps the platform's layout so that its bits can be handed out as they are);
// Row(0) is always the top row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/runtime/Types.h"

namespace orv {

using TPixel = std::uint32_t;

constexpr TPixel MakePixel(int r, int g, int b, int a = 0) {
  return TPixel(b & 0xFF) | (TPixel(g & 0xFF) << 8) | (TPixel(r & 0xFF) << 16) |
         (TPixel(a & 0xFF) << 24);
}
// A colour value (red in the low byte) as a pixel with alpha 0, as drawing writes it.
constexpr TPixel ColorToPixel(std::uint32_t color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
constexpr std::uint32_t PixelToColor(TPixel p) {
  return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}
constexpr int PixelAlpha(TPixel p) { return int(p >> 24); }

class TSurface {
 public:
  TSurface() = default;
  // A zero-filled surface (transparent black); negative sizes count as 0.
  TSurface(int width, int height, bool bottomUp = false);
  // A surface over memory owned by someone else (e.g. a window backend's buffer); `stride` is
  // the distance between rows in pixels and may be negative.
  static TSurface Wrap(TPixel* topRow, int width, int height, std::ptrdiff_t stride);

  TSurface(TSurface&& other) noexcept;
  TSurface& operator=(TSurface&& other) noexcept;
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;
  TSurface Clone() const;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool IsEmpty() const { return FWidth <= 0 || FHeight <= 0; }
  TRect Bounds() const { return {0, 0, FWidth, FHeight}; }
  std::ptrdiff_t Stride() const { return FStride; }
  bool IsBottomUp() const { return FStride < 0; }

  TPixel* Row(int y) { return FTop + FStride * y; }
  const TPixel* Row(int y) const { return FTop + FStride * y; }
  TPixel Pixel(int x, int y) const { return Row(y)[x]; }
  void SetPixel(int x, int y, TPixel p) { Row(y)[x] = p; }
  // The lowest address of the pixels (the bottom row for a bottom-up surface).
  TPixel* Bits();

  // Resizes an owned surface (the contents become zero); keeps the row direction.
  void Resize(int width, int height);
  void Fill(TPixel p);
  void Fill(const TRect& rect, TPixel p);

 private:
  std::vector<TPixel> FStorage;
  TPixel* FTop = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  std::ptrdiff_t FStride = 0;
};

}  // namespace orv
