#include "components/foundation/cxGraphics.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "platform/drawing/Gdi.h"

// ==== Solid brush cache ======================================================================

namespace {

constexpr Cardinal kFirstSystemColor = 0xFF000000u;
constexpr Cardinal kLastSystemColor = 0xFF00001Eu;  // system colours 0 to 30

}  // namespace

TcxSolidBrushCache::TcxSolidBrushCache(Integer capacity) : FCapacity(std::max(capacity, 1)) {
  FColors.reserve(std::size_t(FCapacity));
  FBrushes.reserve(std::size_t(FCapacity));
  FUseCounts.reserve(std::size_t(FCapacity));
}

TcxSolidBrushCache::~TcxSolidBrushCache() { Clear(); }

HBRUSH TcxSolidBrushCache::GetBrush(TColor color) {
  const auto key = Cardinal(color);
  if (key >= kFirstSystemColor && key <= kLastSystemColor)
    return GetSysColorBrush(int(key - kFirstSystemColor));

  auto pos = std::size_t(std::lower_bound(FColors.begin(), FColors.end(), key) - FColors.begin());
  if (pos < FColors.size() && FColors[pos] == key) {
    if (FUseCounts[pos] < std::numeric_limits<Cardinal>::max()) ++FUseCounts[pos];
    return FBrushes[pos];
  }
  if (GetCount() >= FCapacity) {
    // The least-used entry goes (the lowest colour among equals); a new entry starts at 0, so it
    // is the first candidate until it has been hit once.
    const auto victim = std::size_t(std::min_element(FUseCounts.begin(), FUseCounts.end()) - FUseCounts.begin());
    DeleteObject(FBrushes[victim]);
    FColors.erase(FColors.begin() + std::ptrdiff_t(victim));
    FBrushes.erase(FBrushes.begin() + std::ptrdiff_t(victim));
    FUseCounts.erase(FUseCounts.begin() + std::ptrdiff_t(victim));
    if (victim < pos) --pos;
  }
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FColors.insert(FColors.begin() + std::ptrdiff_t(pos), key);
  FBrushes.insert(FBrushes.begin() + std::ptrdiff_t(pos), brush);
  FUseCounts.insert(FUseCounts.begin() + std::ptrdiff_t(pos), 0);
  return brush;
}

void TcxSolidBrushCache::Clear() {
  for (HBRUSH brush : FBrushes) DeleteObject(brush);
  FColors.clear();
  FBrushes.clear();
  FUseCounts.clear();
}

TcxSolidBrushCache* GetSolidBrushCache() {
  // Freed through the one Free path at exit.
  static const std::unique_ptr<TcxSolidBrushCache, orv::FreeDeleter> cache(new TcxSolidBrushCache(128));
  return cache.get();
}

HBRUSH GetCachedSolidBrush(TColor color) { return GetSolidBrushCache()->GetBrush(color); }
