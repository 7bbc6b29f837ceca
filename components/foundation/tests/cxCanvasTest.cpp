#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxStyles.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/drawing/Gdi.h"

namespace {

using paint_test::TPaintDC;
using CanvasPtr = std::unique_ptr<TcxCanvas, orv::FreeDeleter>;
using RegionPtr = std::unique_ptr<TcxRegion, orv::FreeDeleter>;
using BitmapPtr = std::unique_ptr<TcxBitmap, orv::FreeDeleter>;

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

LOGFONT TestFont(int height = -8) {
  LOGFONT lf{};
  lf.lfHeight = height;
  std::strcpy(lf.lfFaceName, orv::kTestFontFace);
  return lf;
}

// The bounding box of the pixels that differ from the background.
TRect Ink(TPaintDC& dc, const TRect& area, COLORREF background = 0xFFFFFF) {
  TRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x)
      if (dc.At(x, y) != background) {
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
               std::max(box.Bottom, y + 1)};
      }
  return box.Left == INT32_MAX ? TRect{} : box;
}

TEST(TcxCanvas, FillsHonourNoneAndDefault) {
  TPaintDC dc(4, 2);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  canvas->SetBrushColor(clBlue);
  canvas->FillRectWithColor({0, 0, 4, 2}, clNone);
  canvas->FillRectWithColor({0, 0, 2, 2}, clDefault);
  canvas->FillRectWithColor({2, 0, 4, 1}, clRed);
  canvas->FillRect({3, 1, 4, 2}, clBtnFace);
  EXPECT_TRUE(dc.Art({0, 0, 4, 2}, R"(
      bbrr
      bb.f)", {{'.', 0xFFFFFF}, {'b', kBlue}, {'r', kRed}, {'f', RGB(212, 208, 200)}}));
  EXPECT_EQ(canvas->GetBrushColor(), clBtnFace);
  canvas->SetBrushClear(true);
  EXPECT_TRUE(canvas->IsBrushClear());
  canvas->FillRectWithColor({0, 0, 4, 2}, clDefault);  // a clear brush fills nothing
  EXPECT_EQ(dc.At(0, 0), kBlue);
  canvas->SetBrushColor(clRed);
  EXPECT_FALSE(canvas->IsBrushClear());
}

TEST(TcxCanvas, BorderLinesFramesAndEdges) {
  TPaintDC dc(12, 10);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  // Width 5 on a rectangle 3 pixels wide: each strip is the whole 3 pixels.
  canvas->DrawBorderLines({0, 0, 3, 2}, clRed, 5, {bLeft, bRight});
  canvas->DrawTwoColorFrame({4, 0, 9, 4}, clRed, clBlue, cxBordersAll, 1);
  canvas->DrawBorderLines({0, 5, 5, 10}, clBlue, 2, {bTop, bLeft});
  canvas->Draw3DEdge({6, 5, 12, 10}, true, false);
  EXPECT_TRUE(dc.Art({0, 0, 12, 10}, R"(
      rrr.rrrrb...
      rrr.r...b...
      ....r...b...
      ....bbbbb...
      ............
      bbbbb.kkkkkl
      bbbbb.k....l
      bb....k....l
      bb....k....l
      bb....llllll)",
      {{'.', 0xFFFFFF}, {'r', kRed}, {'b', kBlue}, {'k', RGB(64, 64, 64)}, {'l', RGB(212, 208, 200)}}));
}

TEST(TcxCanvas, ExcludingStripsLeavesThemOutOfTheClip) {
  TPaintDC dc(6, 3);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  canvas->DrawBorderLines({0, 0, 6, 3}, clRed, 1, {bLeft, bRight}, true);
  canvas->FillRectWithColor({0, 0, 6, 3}, clBlue);
  EXPECT_TRUE(dc.Art({0, 0, 6, 3}, R"(
      rbbbbr
      rbbbbr
      rbbbbr)", {{'r', kRed}, {'b', kBlue}}));
}

TEST(TcxCanvas, TilesSitOnTheCanvasGridAlsoLeftOfTheOrigin) {
  BitmapPtr tile(new TcxBitmap(4, 4, pf32bit));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) SetPixel(tile->GetCanvas()->GetDCHandle(), x, y, RGB(x * 60, y * 60, 0));
  TPaintDC dc(12, 8);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  // The window origin puts logical (-6, -6) at the top-left pixel.
  canvas->SetWindowOrigin({-6, -6});
  canvas->FillRectOrTile({-5, -5, 5, 1}, tile.get());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) {
      const int lx = x - 6, ly = y - 6;
      const bool inside = lx >= -5 && lx < 5 && ly >= -5 && ly < 1;
      const int tx = ((lx % 4) + 4) % 4, ty = ((ly % 4) + 4) % 4;
      EXPECT_EQ(dc.At(x, y), inside ? RGB(tx * 60, ty * 60, 0) : 0xFFFFFFu) << x << "," << y;
    }
  // From the design's example: a 16 x 16 tile into (8, 8, 40, 24) starts at tile offset (8, 8).
  BitmapPtr big(new TcxBitmap(16, 16, pf32bit));
  big->GetCanvas()->FillRectWithColor(big->GetBoundsRect(), clBlue);
  SetPixel(big->GetCanvas()->GetDCHandle(), 8, 8, kRed);
  TPaintDC wide(48, 32);
  CanvasPtr c2(new TcxCanvas(wide.Dc));
  c2->FillRectOrTile({8, 8, 40, 24}, big.get());
  EXPECT_EQ(wide.At(8, 8), kRed);
  EXPECT_EQ(wide.At(24, 8), kRed);
  EXPECT_EQ(Ink(wide, {0, 0, 48, 32}), (TRect{8, 8, 40, 24}));
}

TEST(TcxCanvas, ClipRegionStackNests) {
  TPaintDC dc(8, 4);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  RegionPtr none(canvas->CreateClipRegion());
  RECT box{};
  GetRgnBox(none->GetHandle(), &box);
  EXPECT_EQ(box, (TRect{0, 0, 30000, 30000}));
  canvas->PopClipRegion();  // empty stack: nothing
  canvas->PushClipRegion();
  canvas->IntersectClip({0, 0, 6, 4});
  canvas->PushClipRegion();
  canvas->ExcludeFromClip({2, 0, 4, 4});
  canvas->FillRectWithColor({0, 0, 8, 1}, clRed);
  canvas->PopClipRegion();
  canvas->FillRectWithColor({0, 1, 8, 2}, clRed);
  canvas->SetClipRegion(new TcxRegion(1, 0, 3, 4), roIntersect);
  canvas->FillRectWithColor({0, 2, 8, 3}, clRed);
  canvas->PopClipRegion();
  canvas->FillRectWithColor({0, 3, 8, 4}, clRed);
  EXPECT_EQ(canvas->GetClipRegionStackDepth(), 0);
  EXPECT_TRUE(dc.Art({0, 0, 8, 4}, R"(
      rr..rr..
      rrrrrr..
      .rr.....
      rrrrrrrr)", {{'.', 0xFFFFFF}, {'r', kRed}}));
}

TEST(TcxCanvas, ClipRegionsAreRelativeToTheOrigin) {
  TPaintDC dc(8, 4);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  canvas->SetWindowOrigin({-2, 0});
  canvas->SetClipRegion(new TcxRegion(0, 0, 2, 4), roSet);
  canvas->FillRectWithColor({-2, 0, 6, 4}, clRed);
  RegionPtr clip(canvas->CreateClipRegion(true));
  EXPECT_TRUE(clip->IsEqual(RegionPtr(new TcxRegion(0, 0, 2, 4)).get()));
  EXPECT_TRUE(dc.Art({0, 0, 8, 1}, "..rr....", {{'.', 0xFFFFFF}, {'r', kRed}}));
}

TEST(TcxCanvas, StateStackRestoresColoursFontAndClip) {
  TPaintDC dc(8, 2);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  canvas->SetBrushColor(clRed);
  canvas->SetFontColor(clBlue);
  canvas->PushState();
  canvas->SetBrushColor(clLime);
  canvas->SetFontColor(clRed);
  canvas->SetFont(TestFont());
  canvas->IntersectClip({0, 0, 1, 1});
  canvas->PopState();
  canvas->PopState();  // empty stack: nothing
  EXPECT_EQ(canvas->GetBrushColor(), clRed);
  EXPECT_EQ(canvas->GetFontColor(), clBlue);
  EXPECT_NE(std::strcmp(canvas->GetFontInfo().lfFaceName, orv::kTestFontFace), 0);
  canvas->FillRectWithColor({0, 0, 8, 2}, clDefault);
  EXPECT_EQ(dc.At(7, 1), kRed);
}

TEST(TcxCanvas, TextFlagsTranslate) {
  EXPECT_EQ(cxFlagsToDTFlags(0), DT_NOPREFIX);
  EXPECT_EQ(cxFlagsToDTFlags(cxAlignRight | cxAlignBottom | cxSingleLine),
            DT_NOPREFIX | DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
  EXPECT_EQ(cxFlagsToDTFlags(cxShowPrefix | cxWordBreak), DT_WORDBREAK | DT_EDITCONTROL);
  EXPECT_EQ(cxFlagsToDTFlags(cxWordBreak | cxDontBreakChars), DT_NOPREFIX | DT_WORDBREAK);
  EXPECT_EQ(cxFlagsToDTFlags(cxWordBreak | cxDontBreakChars | cxNoFullWidthCharBreak),
            DT_NOPREFIX | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK);
  EXPECT_EQ(cxFlagsToDTFlags(cxDontPrint | cxShowEndEllipsis | cxShowPathEllipsis | cxExpandTabs |
                             cxDontClip | cxAlignHCenter | cxAlignVCenter),
            DT_NOPREFIX | DT_CALCRECT | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_EXPANDTABS |
                DT_NOCLIP | DT_CENTER | DT_VCENTER);
}

TEST(TcxCanvas, MeasuringAlignsTheTextInTheGivenRectangle) {
  TPaintDC dc(100, 40);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  canvas->SetFont(TestFont());  // cell 10 high, characters 5 wide
  EXPECT_EQ(canvas->GetTextSize("abcd"), (TSize{20, 10}));
  EXPECT_EQ(canvas->FontHeight(canvas->GetFontHandle()), 10);
  TRect r{10, 0, 60, 30};
  canvas->MeasureTextRect("abcd", r, cxSingleLine | cxAlignRight | cxAlignBottom);
  EXPECT_EQ(r, (TRect{40, 20, 60, 30}));
  r = {10, 0, 60, 30};
  canvas->MeasureTextRect("abcd", r, cxSingleLine | cxAlignHCenter | cxAlignVCenter);
  EXPECT_EQ(r, (TRect{25, 10, 45, 20}));
  // No width: measured as if one pixel wide (a word per line).
  r = {0, 0, 0, 0};
  canvas->MeasureTextRect("ab cd", r, cxWordBreak | cxDontBreakChars);
  EXPECT_EQ(r.Height(), 20);
  r = {0, 0, 0, 0};
  canvas->MeasureTextRect("ab cd", r, cxWordBreak);  // breaks between characters too
  EXPECT_EQ(r.Height(), 40);
  TRect a{0, 0, 50, 40};
  canvas->AlignMultiLineTextVertically(a, "ab cd", 1, false, false);
  EXPECT_EQ(a.Top, 30);
  a = {0, 0, 50, 40};
  canvas->AlignMultiLineTextVertically(a, "ab cd", 2, false, false, false);
  EXPECT_EQ(a.Top, 15);
  // With end ellipsis and word break: whole lines that fit.
  a = {0, 0, 50, 35};
  canvas->AlignMultiLineTextVertically(a, "x", 1, true, false, true, false, true);
  EXPECT_EQ(a.Top, 5);
}

TEST(TcxCanvas, AlignedAndDisabledTextGolden) {
  TPaintDC dc(120, 64);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  canvas->SetFont(TestFont());
  canvas->SetBrushClear(true);
  canvas->SetFontColor(clBlack);
  const struct {
    TRect Rect;
    Integer Flags;
  } cells[] = {
      {{0, 0, 40, 20}, cxSingleLine | cxAlignLeft | cxAlignTop},
      {{40, 0, 80, 20}, cxSingleLine | cxAlignHCenter | cxAlignVCenter},
      {{80, 0, 120, 20}, cxSingleLine | cxAlignRight | cxAlignBottom},
      {{0, 20, 40, 64}, cxWordBreak | cxAlignBottom},
      {{40, 20, 80, 64}, cxWordBreak | cxAlignVCenter | cxAlignHCenter},
  };
  for (const auto& c : cells) canvas->DrawTextInRect("ab cd", c.Rect, c.Flags);
  canvas->DrawTextInRect("ab", {80, 20, 120, 40}, cxSingleLine | cxAlignHCenter | cxAlignVCenter, false);
  // Clipped: the text is wider than its cell.
  canvas->DrawTextInRect("abcdefgh", {80, 44, 100, 64}, cxSingleLine);
  EXPECT_TRUE(canvas->IsBrushClear());
  EXPECT_EQ(canvas->GetFontColor(), clBlack);
  EXPECT_EQ(Ink(dc, {0, 0, 40, 20}).Left, 0);
  EXPECT_LE(Ink(dc, {80, 44, 120, 64}).Right, 100);
  EXPECT_GE(Ink(dc, {80, 44, 120, 64}).Right, 96);
  EXPECT_EQ(Ink(dc, {40, 0, 80, 20}).Left, 40 + (40 - 25) / 2);
  // Disabled text: a highlight copy one pixel right and down, then the shadow copy.
  TPaintDC grey(40, 20, RGB(212, 208, 200));
  CanvasPtr g(new TcxCanvas(grey.Dc));
  g->SetFont(TestFont());
  g->SetFontColor(clBlack);
  g->SetBrushColor(clBtnFace);
  g->DrawTextInRect("ab", {0, 0, 40, 20}, cxSingleLine, false);
  EXPECT_FALSE(g->IsBrushClear());
  EXPECT_EQ(g->GetFontColor(), clBlack);
  // The shadow copy's ink starts at its glyphs' top, the highlight copy ends one pixel lower.
  const TRect ink = Ink(grey, {0, 0, 40, 20}, RGB(212, 208, 200));
  EXPECT_EQ(ink, (TRect{0, 2, 10, 9}));
  int shadow = 0, highlight = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      shadow += grey.At(x, y) == RGB(128, 128, 128);
      highlight += grey.At(x, y) == RGB(255, 255, 255);
      // Every shadow pixel has its highlight twin one pixel down and right, or covers it.
      if (grey.At(x, y) == RGB(255, 255, 255)) {
        EXPECT_NE(grey.At(x - 1, y - 1), RGB(212, 208, 200)) << x << "," << y;
      }
    }
  EXPECT_GT(shadow, 10);
  EXPECT_GT(highlight, 3);
  EXPECT_TRUE(dc.Golden("canvas-text.png"));
}

TEST(TcxCanvas, FocusFramesAndInversion) {
  TPaintDC dc(6, 6);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  canvas->InvertArea({0, 0, 6, 6});
  canvas->DrawFocusFrames({0, 0, 6, 6}, 2);
  canvas->SetFontColor(clRed);
  canvas->InvertArea({4, 4, 6, 6});
  // Two dotted rings, one inside the other, over the inverted (black) area; then the corner
  // inverted again.
  EXPECT_TRUE(dc.Art({0, 0, 6, 6}, R"(
      .#.#.#
      #.#.#.
      .###.#
      #.###.
      .#.##.
      #.#..#)", {{'.', 0xFFFFFF}, {'#', 0}}));
  // Focus frames are exclusive-or frames: drawing them again takes them away.
  canvas->InvertArea({4, 4, 6, 6});
  canvas->DrawFocusFrames({0, 0, 6, 6}, 2);
  EXPECT_EQ(Ink(dc, {0, 0, 6, 6}, 0), TRect{});
}

TEST(TcxCanvas, RegionsFillAndFrame) {
  TPaintDC dc(6, 5);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  RegionPtr region(new TcxRegion(0, 0, 6, 5));
  canvas->FillAndFrameRegion(region.get(), clBlue, clRed);
  EXPECT_TRUE(dc.Art({0, 0, 6, 5}, R"(
      rrrrrr
      rbbbbr
      rbbbbr
      rbbbbr
      rrrrrr)", {{'r', kRed}, {'b', kBlue}}));
}

// ---- Regions against a bitmask ----

using Mask = std::vector<bool>;
constexpr int kField = 24;

Mask MaskOf(const TcxRegion& region) {
  Mask m(kField * kField);
  for (int y = 0; y < kField; ++y)
    for (int x = 0; x < kField; ++x) m[std::size_t(y * kField + x)] = region.PtInRegion(x, y);
  return m;
}

Mask RectMask(const TRect& r) {
  Mask m(kField * kField);
  for (int y = 0; y < kField; ++y)
    for (int x = 0; x < kField; ++x)
      m[std::size_t(y * kField + x)] = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
  return m;
}

TEST(TcxRegion, ArithmeticMatchesABruteForceBitmask) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(0, kField);
  for (int round = 0; round < 200; ++round) {
    RegionPtr region(new TcxRegion());
    Mask expected(kField * kField);
    for (int step = 0; step < 6; ++step) {
      int l = coordinate(random), t = coordinate(random), r = coordinate(random), b = coordinate(random);
      const TRect rect{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
      const auto op = TcxRegionOperation(random() % 4);
      const Mask m = RectMask(rect);
      for (std::size_t i = 0; i < expected.size(); ++i) {
        switch (op) {
          case roSet: expected[i] = m[i]; break;
          case roAdd: expected[i] = expected[i] || m[i]; break;
          case roSubtract: expected[i] = expected[i] && !m[i]; break;
          case roIntersect: expected[i] = expected[i] && m[i]; break;
        }
      }
      region->CombineWith(new TcxRegion(rect), op, true);
      ASSERT_EQ(MaskOf(*region), expected) << "round " << round << " step " << step;
      bool any = false;
      for (bool bit : expected) any = any || bit;
      EXPECT_EQ(region->IsEmpty(), !any);
    }
    const int dx = coordinate(random) - kField / 2, dy = coordinate(random) - kField / 2;
    region->OffsetBy(dx, dy);
    for (int y = 0; y < kField; ++y)
      for (int x = 0; x < kField; ++x) {
        const int sx = x - dx, sy = y - dy;
        const bool was = sx >= 0 && sy >= 0 && sx < kField && sy < kField && expected[std::size_t(sy * kField + sx)];
        if (sx >= 0 && sy >= 0 && sx < kField && sy < kField) {
          ASSERT_EQ(region->PtInRegion(x, y), was);
        }
      }
  }
}

TEST(TcxRegion, EqualityEmptinessAndOwnership) {
  RegionPtr a(new TcxRegion()), b(new TcxRegion(5, 5, 5, 9));
  EXPECT_TRUE(a->IsEmpty());
  EXPECT_TRUE(a->IsEqual(b.get()));  // two empty regions, made differently
  EXPECT_FALSE(a->IsEqual(nullptr));
  RegionPtr c(new TcxRegion(0, 0, 4, 4)), d(new TcxRegion(0, 0, 2, 4));
  d->CombineWith(new TcxRegion(2, 0, 4, 4), roAdd);
  EXPECT_TRUE(c->IsEqual(d.get()));
  // Set copies; the other region survives unless asked to be freed.
  RegionPtr e(new TcxRegion(10, 10, 12, 12));
  a->CombineWith(e.get(), roSet, false);
  EXPECT_TRUE(a->IsEqual(e.get()));
  EXPECT_TRUE(e->PtInRegion(11, 11));
  // The round rectangle starts one pixel in.
  RegionPtr round(TcxRegion::CreateRoundFromRect({0, 0, 10, 10}, 4, 4));
  RECT box{};
  GetRgnBox(round->GetHandle(), &box);
  EXPECT_EQ(box, (TRect{1, 1, 10, 10}));
  round->DestroyHandle();
  EXPECT_EQ(round->GetHandle(), nullptr);
}

// ---- Shared canvases ----

TEST(TcxPaintCanvas, NestedBeginsReturnToThePreviousHandle) {
  TPaintDC first(4, 4), second(4, 4);
  TcxPaintCanvas* canvas = GetPaintCanvas();
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(GetPaintCanvas(), canvas);
  canvas->EndPaintOnDC();  // nothing open: nothing happens
  canvas->BeginPaintOnDC(first.Dc);
  canvas->SetBrushColor(clRed);
  canvas->BeginPaintOnDC(second.Dc);
  EXPECT_EQ(canvas->GetDCHandle(), second.Dc);
  canvas->SetBrushColor(clBlue);
  canvas->FillRectWithColor({0, 0, 4, 4}, clDefault);
  CanvasPtr other(new TcxCanvas(first.Dc));
  canvas->BeginPaintOnCanvas(other.get());
  EXPECT_EQ(canvas->GetDCHandle(), first.Dc);
  canvas->EndPaintOnDC();
  canvas->EndPaintOnDC();
  EXPECT_EQ(canvas->GetDCHandle(), first.Dc);
  canvas->FillRectWithColor({0, 0, 4, 4}, clDefault);
  canvas->EndPaintOnDC();
  EXPECT_EQ(canvas->GetPaintDepth(), 0);
  EXPECT_FALSE(canvas->HandleAllocated());
  EXPECT_EQ(second.At(0, 0), kBlue);
  EXPECT_EQ(first.At(0, 0), kRed);
  // The second DC's own state came back: its brush is not the blue one.
  EXPECT_NE(GetCurrentObject(second.Dc, OBJ_BRUSH), GetStockObject(DC_BRUSH));
}

TEST(TcxScreenCanvas, MakesItsDCOnDemandAndLetsItGo) {
  TcxScreenCanvas* screen = GetScreenCanvas();
  ASSERT_NE(screen, nullptr);
  screen->FreeScreenHandle();  // an earlier test in this process may have drawn on the screen
  EXPECT_FALSE(screen->HandleAllocated());
  EXPECT_EQ(GetDeviceCaps(screen->GetDCHandle(), BITSPIXEL), 32);
  EXPECT_TRUE(screen->HandleAllocated());
  screen->FreeScreenHandle();
  EXPECT_FALSE(screen->HandleAllocated());
}

}  // namespace

namespace {

// A platform bitmap's canvas: the component canvas wraps it, as a control's or a bitmap's.
struct TWrappedBitmap {
  TWrappedBitmap(int width, int height) : Bitmap(new TBitmap) {
    Bitmap->SetPixelFormat(pf32bit);
    Bitmap->SetSize(width, height);
    Canvas.reset(new TcxCanvas(Bitmap->GetCanvas()));
  }
  ~TWrappedBitmap() {
    Canvas.reset();
    orv::Free(Bitmap);
  }
  COLORREF At(int x, int y) { return ColorToRGB(Bitmap->GetCanvas()->GetPixels(x, y)); }
  TBitmap* Bitmap;
  CanvasPtr Canvas;
};

}  // namespace

TEST(TcxCanvas, WrapsThePlatformCanvasAndItsObjects) {
  TWrappedBitmap w(6, 2);
  TCanvas* platform = w.Bitmap->GetCanvas();
  EXPECT_EQ(w.Canvas->GetCanvas(), platform);
  EXPECT_EQ(w.Canvas->GetBrush(), platform->GetBrush());
  EXPECT_EQ(w.Canvas->GetFont(), platform->GetFont());
  // Equal colours change nothing, so no change notification reaches the platform canvas.
  w.Canvas->SetBrushColor(clRed);
  Integer changes = 0;
  struct TCounter : TObject {
    Integer* Count;
    void Changed(TObject*) { ++*Count; }
  } counter;
  counter.Count = &changes;
  platform->GetBrush()->SetOnChange(TNotifyEvent(&counter, &TCounter::Changed));
  w.Canvas->SetBrushColor(clRed);
  EXPECT_EQ(changes, 0);
  platform->GetBrush()->SetOnChange({});
  // Drawing through either canvas shares one brush.
  w.Canvas->FillRectWithColor({0, 0, 3, 2}, clDefault);
  platform->GetBrush()->SetColor(clBlue);
  w.Canvas->FillRectWithColor({3, 0, 6, 2}, clDefault);
  EXPECT_EQ(w.At(0, 0), kRed);
  EXPECT_EQ(w.At(5, 1), kBlue);
  // Style parameters: brush colour, font and font colour, and back.
  TcxViewParams params = w.Canvas->GetStyleParams();
  EXPECT_EQ(params.Color, clBlue);
  EXPECT_EQ(params.Font, platform->GetFont());
  TFont font;
  font.SetName(orv::kTestFontFace);
  font.SetHeight(-10);
  params.Font = &font;
  params.Color = clLime;
  params.TextColor = clMaroon;
  w.Canvas->ApplyStyleParams(params);
  EXPECT_EQ(platform->GetBrush()->GetColor(), clLime);
  EXPECT_EQ(platform->GetFont()->GetHeight(), -10);
  EXPECT_EQ(platform->GetFont()->GetColor(), clMaroon);
}

TEST(TcxCanvas, RestoringTheDCNeverLeavesStaleObjectsSelected) {
  // A brush changed after a save must be the one that draws after the restore, although the
  // restored DC holds the objects of the moment it was saved.
  TWrappedBitmap w(4, 1);
  w.Canvas->SetBrushColor(clRed);
  w.Canvas->FillRectWithColor({0, 0, 1, 1}, clDefault);
  w.Canvas->SetFontColor(clRed);
  w.Canvas->SaveDC();
  EXPECT_EQ(w.Bitmap->GetCanvas()->GetLockCount(), 1);
  w.Canvas->SetBrushColor(clBlue);
  w.Canvas->SetFontColor(clBlue);
  w.Canvas->FillRectWithColor({1, 0, 2, 1}, clDefault);
  w.Canvas->RestoreDC();
  EXPECT_EQ(w.Bitmap->GetCanvas()->GetLockCount(), 0);
  // Whoever asks for the DC finds the canvas's own objects and text colour in it.
  HDC dc = w.Canvas->GetDCHandle();
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), w.Canvas->GetBrushHandle());
  EXPECT_EQ(GetTextColor(dc), kBlue);
  w.Canvas->FillRectWithColor({2, 0, 4, 1}, clDefault);
  EXPECT_EQ(w.At(0, 0), kRed);
  EXPECT_EQ(w.At(1, 0), kBlue);
  EXPECT_EQ(w.At(3, 0), kBlue);
}

TEST(TcxCanvas, PushAndPopStateRestoreTheObjects) {
  TWrappedBitmap w(2, 1);
  w.Canvas->SetBrushColor(clRed);
  w.Canvas->SetFontColor(clGreen);
  w.Canvas->SetPenColor(clNavy);
  w.Canvas->GetFont()->SetHeight(-12);
  w.Canvas->PushState();
  w.Canvas->SetBrushColor(clBlue);
  w.Canvas->SetBrushClear(true);
  w.Canvas->SetFontColor(clYellow);
  w.Canvas->GetFont()->SetHeight(-20);
  w.Canvas->SetPenColor(clWhite);
  w.Canvas->PopState();
  EXPECT_EQ(w.Canvas->GetBrushColor(), clRed);
  EXPECT_FALSE(w.Canvas->IsBrushClear());
  EXPECT_EQ(w.Canvas->GetFontColor(), clGreen);
  EXPECT_EQ(w.Canvas->GetFont()->GetHeight(), -12);
  EXPECT_EQ(w.Canvas->GetPenColor(), clNavy);
  w.Canvas->FillRectWithColor({0, 0, 2, 1}, clDefault);
  EXPECT_EQ(w.At(1, 0), kRed);
  EXPECT_EQ(w.Canvas->GetStateStackDepth(), 0);
}

TEST(TcxCanvas, SynchronizesWithTheObjectsSelectedIntoADC) {
  TPaintDC dc(2, 2);
  const struct {
    LOGBRUSH Brush;
    TBrushStyle Style;
  } brushes[] = {
      {{BS_SOLID, kRed, 0}, bsSolid},
      {{BS_NULL, 0, 0}, bsClear},
      {{BS_HATCHED, kBlue, HS_CROSS}, bsCross},
      {{BS_HATCHED, kBlue, HS_BDIAGONAL}, bsBDiagonal},
  };
  for (const auto& c : brushes) {
    HBRUSH brush = CreateBrushIndirect(&c.Brush);
    HGDIOBJ old = SelectObject(dc.Dc, brush);
    CanvasPtr canvas(new TcxCanvas(static_cast<HDC>(nullptr)));
    canvas->SynchronizeObjects(dc.Dc);
    EXPECT_EQ(canvas->GetBrush()->GetStyle(), c.Style) << c.Brush.lbStyle;
    if (c.Style != bsClear) {
      EXPECT_EQ(ColorToRGB(canvas->GetBrushColor()), c.Brush.lbColor);
    }
    canvas.reset();
    SelectObject(dc.Dc, old);
    DeleteObject(brush);
  }
  LOGPEN pen{PS_DOT, {3, 0}, kBlue};
  HPEN hpen = CreatePenIndirect(&pen);
  HGDIOBJ old = SelectObject(dc.Dc, hpen);
  SetROP2(dc.Dc, R2_XORPEN);
  SetTextColor(dc.Dc, kRed);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));  // takes up what the DC holds
  EXPECT_EQ(canvas->GetPen()->GetStyle(), psDot);
  EXPECT_EQ(canvas->GetPen()->GetWidth(), 3);
  EXPECT_EQ(ColorToRGB(canvas->GetPenColor()), kBlue);
  EXPECT_EQ(canvas->GetPen()->GetMode(), pmXor);
  EXPECT_EQ(ColorToRGB(canvas->GetFontColor()), kRed);
  canvas.reset();
  SelectObject(dc.Dc, old);
  DeleteObject(hpen);
}

TEST(TcxPaintCanvas, PaintsOnAnotherCanvasAndGivesItBackUnchanged) {
  TWrappedBitmap w(2, 1);
  w.Canvas->SetBrushColor(clRed);
  TcxPaintCanvas* paint = GetPaintCanvas();
  TCanvas* own = paint->GetCanvas();
  paint->BeginPaintOnCanvas(w.Canvas.get());
  EXPECT_EQ(paint->GetCanvas(), w.Bitmap->GetCanvas());
  paint->FillRectWithColor({0, 0, 1, 1}, clBlue);
  paint->EndPaintOnDC();
  EXPECT_EQ(paint->GetCanvas(), own);
  EXPECT_EQ(w.Canvas->GetBrushColor(), clRed);  // the state pushed at the begin is back
  EXPECT_EQ(w.At(0, 0), kBlue);
  paint->EndPaintOnDC();  // nothing open: nothing happens
  EXPECT_EQ(paint->GetPaintDepth(), 0);
}

TEST(TcxCanvas, DrawsGraphicsAndComponentBitmaps) {
  TWrappedBitmap w(4, 2);
  w.Canvas->FillRectWithColor({0, 0, 4, 2}, clWhite);
  BitmapPtr glyph(new TcxBitmap(2, 2));
  glyph->GetCanvas()->FillRectWithColor({0, 0, 2, 2}, clRed);
  w.Canvas->DrawGraphic(2, 0, glyph.get());  // a component bitmap is a platform graphic
  EXPECT_EQ(w.At(1, 1), 0xFFFFFFu);
  EXPECT_EQ(w.At(2, 0), kRed);
  EXPECT_EQ(w.At(3, 1), kRed);
}
