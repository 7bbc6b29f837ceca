#include <gtest/gtest.h>

#include <memory>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/drawing/Gdi.h"

namespace {

using Cache = std::unique_ptr<TcxSolidBrushCache, orv::FreeDeleter>;

COLORREF BrushColor(HBRUSH brush) {
  LOGBRUSH lb{};
  EXPECT_EQ(GetObject(brush, sizeof lb, &lb), int(sizeof lb));
  return lb.lbColor;
}

TEST(TcxSolidBrushCache, SystemColoursComeFromThePlatform) {
  Cache cache(new TcxSolidBrushCache);
  EXPECT_EQ(cache->GetBrush(clSystemColor | COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(cache->GetBrush(TColor(0xFF00001E)), GetSysColorBrush(30));
  EXPECT_EQ(cache->GetCount(), 0);
  // Just past the table: an ordinary cached colour.
  HBRUSH brush = cache->GetBrush(TColor(0xFF00001F));
  EXPECT_NE(brush, nullptr);
  EXPECT_EQ(cache->GetCount(), 1);
}

TEST(TcxSolidBrushCache, HitsReturnTheSameBrushAndCount) {
  Cache cache(new TcxSolidBrushCache);
  HBRUSH red = cache->GetBrush(clRed);
  EXPECT_EQ(BrushColor(red), RGB(255, 0, 0));
  EXPECT_EQ(cache->GetUseCount(0), 0u);
  EXPECT_EQ(cache->GetBrush(clRed), red);
  EXPECT_EQ(cache->GetUseCount(0), 1u);
  cache->GetBrush(clBlack);
  cache->GetBrush(clWhite);
  // Kept in ascending order of colour.
  ASSERT_EQ(cache->GetCount(), 3);
  EXPECT_EQ(cache->GetColor(0), clBlack);
  EXPECT_EQ(cache->GetColor(1), clRed);
  EXPECT_EQ(cache->GetColor(2), clWhite);
}

TEST(TcxSolidBrushCache, TheLeastUsedEntryIsEvicted) {
  Cache cache(new TcxSolidBrushCache);
  ASSERT_EQ(cache->GetCapacity(), 128);
  for (TColor c = 1; c <= 128; ++c) cache->GetBrush(c * 2);
  ASSERT_EQ(cache->GetCount(), 128);
  // All counts equal: the 129th colour evicts the lowest colour.
  cache->GetBrush(TColor(1000));
  EXPECT_EQ(cache->GetCount(), 128);
  EXPECT_EQ(cache->GetColor(0), 4);
  EXPECT_EQ(cache->GetColor(127), 1000);
  // Hit everything but colour 100 and the new entry: the never-hit one with the lowest colour
  // goes next, and an entry inserted before it shifts the insertion point.
  for (Integer i = 0; i < cache->GetCount(); ++i)
    if (cache->GetColor(i) != 100 && cache->GetColor(i) != 1000) cache->GetBrush(cache->GetColor(i));
  cache->GetBrush(TColor(101));
  EXPECT_EQ(cache->GetCount(), 128);
  bool has100 = false, has101 = false;
  for (Integer i = 0; i < cache->GetCount(); ++i) {
    has100 |= cache->GetColor(i) == 100;
    has101 |= cache->GetColor(i) == 101;
    if (i > 0) {
      EXPECT_LT(Cardinal(cache->GetColor(i - 1)), Cardinal(cache->GetColor(i)));
    }
  }
  EXPECT_FALSE(has100);
  EXPECT_TRUE(has101);
  EXPECT_EQ(BrushColor(cache->GetBrush(TColor(101))), COLORREF(101));
}

TEST(TcxSolidBrushCache, PaletteChangeEmptiesIt) {
  Cache cache(new TcxSolidBrushCache);
  cache->GetBrush(clRed);
  cache->GetBrush(clRed);
  cache->SystemPaletteChanged();
  EXPECT_EQ(cache->GetCount(), 0);
  cache->GetBrush(clRed);
  EXPECT_EQ(cache->GetUseCount(0), 0u);  // a new entry
}

TEST(TcxSolidBrushCache, ASystemPaletteChangeReachesEveryLiveCache) {
  Cache first(new TcxSolidBrushCache);
  Cache second(new TcxSolidBrushCache);
  first->GetBrush(clRed);
  second->GetBrush(clRed);
  GetSystemPaletteChangedListener()->SystemColorsChanged();
  EXPECT_EQ(first->GetCount(), 0);
  EXPECT_EQ(second->GetCount(), 0);

  second->GetBrush(clRed);
  first.reset();  // a freed cache is no longer told (the sanitizers would see a dangling call)
  GetSystemPaletteChangedListener()->SystemColorsChanged();
  EXPECT_EQ(second->GetCount(), 0);
}

TEST(TcxSolidBrushCache, GlobalAccess) {
  HBRUSH brush = GetCachedSolidBrush(clTeal);
  EXPECT_EQ(GetCachedSolidBrushForCanvas(nullptr, clTeal), brush);
  EXPECT_EQ(GetCachedSolidBrushForCxCanvas(nullptr, clTeal), brush);
  EXPECT_EQ(BrushColor(brush), COLORREF(clTeal));
}

}  // namespace
