#include "platform/drawing/Surface.h"

#include <algorithm>
#include <cstring>

namespace orv {

TSurface::TSurface(int width, int height, bool bottomUp) {
  FWidth = std::max(width, 0);
  FHeight = std::max(height, 0);
  if (FWidth == 0 || FHeight == 0) FWidth = FHeight = 0;
  FStorage.assign(std::size_t(FWidth) * std::size_t(FHeight), 0);
  if (bottomUp && FHeight > 0) {
    FStride = -std::ptrdiff_t(FWidth);
    FTop = FStorage.data() + std::ptrdiff_t(FWidth) * (FHeight - 1);
  } else {
    FStride = FWidth;
    FTop = FStorage.data();
  }
}

TSurface TSurface::Wrap(TPixel* topRow, int width, int height, std::ptrdiff_t stride) {
  TSurface s;
  s.FTop = topRow;
  s.FWidth = std::max(width, 0);
  s.FHeight = std::max(height, 0);
  s.FStride = stride;
  return s;
}

TSurface::TSurface(TSurface&& other) noexcept { *this = std::move(other); }

TSurface& TSurface::operator=(TSurface&& other) noexcept {
  if (this == &other) return *this;
  // Moving a vector keeps its buffer, so the row pointer stays valid.
  FStorage = std::move(other.FStorage);
  FTop = other.FTop;
  FWidth = other.FWidth;
  FHeight = other.FHeight;
  FStride = other.FStride;
  other.FStorage.clear();
  other.FTop = nullptr;
  other.FWidth = other.FHeight = 0;
  other.FStride = 0;
  return *this;
}

TSurface TSurface::Clone() const {
  TSurface copy(FWidth, FHeight, IsBottomUp());
  for (int y = 0; y < FHeight; ++y)
    std::memcpy(copy.Row(y), Row(y), std::size_t(FWidth) * sizeof(TPixel));
  return copy;
}

TPixel* TSurface::Bits() { return FStride < 0 && FHeight > 0 ? Row(FHeight - 1) : FTop; }

void TSurface::Resize(int width, int height) { *this = TSurface(width, height, IsBottomUp()); }

void TSurface::Fill(TPixel p) { Fill(Bounds(), p); }

void TSurface::Fill(const TRect& rect, TPixel p) {
  const int l = std::max(rect.Left, 0), r = std::min(rect.Right, FWidth);
  const int t = std::max(rect.Top, 0), b = std::min(rect.Bottom, FHeight);
  if (l >= r || t >= b) return;
  for (int y = t; y < b; ++y) std::fill(Row(y) + l, Row(y) + r, p);
}

}  // namespace orv
