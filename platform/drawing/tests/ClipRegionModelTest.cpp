// Regions and DC clipping against a plain per-pixel model: every operation is replayed on a
// boolean grid and the region, the clip box and the painted pixels must agree with it.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/drawing/tests/DrawingFixture.h"

using drawing_test::TCanvas;

namespace {

// A set of pixels in [0, W) x [0, H) (logical = device coordinates of the test DCs).
struct TClipPixelModel {
  int W = 0, H = 0;
  std::vector<char> In;
  TClipPixelModel(int w, int h, bool full) : W(w), H(h), In(std::size_t(w * h), full ? 1 : 0) {}
  bool At(int x, int y) const { return x >= 0 && y >= 0 && x < W && y < H && In[std::size_t(y * W + x)]; }
  void SetRect(const RECT& r, bool value) {
    for (int y = std::max(0, int(r.Top)); y < std::min(H, int(r.Bottom)); ++y)
      for (int x = std::max(0, int(r.Left)); x < std::min(W, int(r.Right)); ++x)
        In[std::size_t(y * W + x)] = value;
  }
  RECT Box() const {
    RECT b{W, H, 0, 0};
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (At(x, y)) b = {std::min(int(b.Left), x), std::min(int(b.Top), y),
                           std::max(int(b.Right), x + 1), std::max(int(b.Bottom), y + 1)};
    return b.Left < b.Right ? b : RECT{};
  }
};

TClipPixelModel ClipModelCombine(const TClipPixelModel& a, const TClipPixelModel& b, int mode) {
  TClipPixelModel r(a.W, a.H, false);
  for (std::size_t i = 0; i < r.In.size(); ++i) {
    const bool p = a.In[i], q = b.In[i];
    r.In[i] = mode == RGN_AND ? p && q : mode == RGN_OR ? p || q : mode == RGN_XOR ? p != q
              : mode == RGN_DIFF ? p && !q : p;
  }
  return r;
}

// Compares a region handle with the model: membership of every pixel, the box and the type.
::testing::AssertionResult ClipModelRegionMatches(HRGN rgn, const TClipPixelModel& m) {
  int count = 0;
  for (int y = -1; y <= m.H; ++y)
    for (int x = -1; x <= m.W; ++x)
      if (bool(PtInRegion(rgn, x, y)) != m.At(x, y))
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " should be "
                                             << (m.At(x, y) ? "in" : "out");
      else
        count += m.At(x, y);
  RECT box{};
  const int type = GetRgnBox(rgn, &box);
  const RECT want = m.Box();
  if (box != want)
    return ::testing::AssertionFailure() << "box " << box.Left << "," << box.Top << ","
                                         << box.Right << "," << box.Bottom;
  if ((type == NULLREGION) != (count == 0))
    return ::testing::AssertionFailure() << "type " << type << " for " << count << " pixels";
  return ::testing::AssertionSuccess();
}

RECT ClipModelRandomRect(std::mt19937& rng, int w, int h, int maxSize) {
  std::uniform_int_distribution<int> px(-3, w), py(-3, h), size(1, maxSize);
  const int l = px(rng), t = py(rng);
  return {l, t, l + size(rng), t + size(rng)};
}

// Day cells of a month page: seven columns of w x h cells one pixel apart.
std::vector<RECT> ClipModelMonthCells(int x0, int y0, int w, int h, int count) {
  std::vector<RECT> cells;
  for (int i = 0; i < count; ++i) {
    const int l = x0 + (i % 7) * (w + 1), t = y0 + (i / 7) * (h + 1);
    cells.push_back({l, t, l + w, t + h});
  }
  return cells;
}

TEST(ClipRegions, CombineModesPointsAndBoxesFollowThePixelModel) {
  std::mt19937 rng(20261211);
  const int W = 40, H = 32;
  const int modes[] = {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY};
  for (int round = 0; round < 60; ++round) {
    HRGN acc = CreateRectRgn(0, 0, 0, 0);
    TClipPixelModel model(W, H, false);
    for (int step = 0; step < 25; ++step) {
      RECT r = ClipModelRandomRect(rng, W, H, 14);
      // Inside the model's area, which a region (unbounded) must not leave.
      r = {std::max(0, int(r.Left)), std::max(0, int(r.Top)), std::min(W, int(r.Right)),
           std::min(H, int(r.Bottom))};
      if (r.Left > r.Right) r.Right = r.Left;  // empty, not turned around
      if (r.Top > r.Bottom) r.Bottom = r.Top;
      HRGN piece = CreateRectRgnIndirect(&r);
      TClipPixelModel pm(W, H, false);
      pm.SetRect(r, true);
      // Mostly growing and cutting, so the region keeps many bands of many rectangles.
      const int mode = step < 4 ? RGN_OR : modes[std::uniform_int_distribution<int>(0, 4)(rng)];
      CombineRgn(acc, acc, piece, mode);
      model = ClipModelCombine(model, pm, mode);
      DeleteObject(piece);
      ASSERT_TRUE(ClipModelRegionMatches(acc, model)) << "round " << round << " step " << step;
    }
    DeleteObject(acc);
  }
}

// Fills the whole canvas and checks the painted pixels against the clip model.
::testing::AssertionResult ClipModelPaintMatches(TCanvas& c, const TClipPixelModel& clip,
                                            COLORREF ink) {
  for (int y = 0; y < clip.H; ++y)
    for (int x = 0; x < clip.W; ++x) {
      const COLORREF want = clip.At(x, y) ? ink : RGB(255, 255, 255);
      if (c.At(x, y) != want)
        return ::testing::AssertionFailure()
               << "pixel " << x << "," << y << " is " << std::hex << c.At(x, y);
    }
  return ::testing::AssertionSuccess();
}

TEST(ClipRegions, FillsThroughAClipCutByMonthPageCellsPaintOnlyTheRest) {
  const int W = 170, H = 160;
  HBRUSH ink = CreateSolidBrush(RGB(0, 0, 255));
  for (int fill = 0; fill < 3; ++fill)
    for (int count : {6, 20, 42}) {
      TCanvas c(W, H);
      TClipPixelModel model(W, H, true);
      for (const RECT& r : ClipModelMonthCells(8, 24, 21, 17, count)) {
        ExcludeClipRect(c.Dc, r.Left, r.Top, r.Right, r.Bottom);
        model.SetRect(r, false);
      }
      // A thin line above the buttons band, as the control excludes it.
      ExcludeClipRect(c.Dc, 8, H - 20, W - 8, H - 19);
      model.SetRect({8, H - 20, W - 8, H - 19}, false);
      RECT box{};
      EXPECT_EQ(GetClipBox(c.Dc, &box), COMPLEXREGION);
      EXPECT_EQ(box, (RECT{0, 0, W, H}));
      HRGN clip = CreateRectRgn(0, 0, 0, 0);
      ASSERT_EQ(GetClipRgn(c.Dc, clip), 1);
      EXPECT_TRUE(ClipModelRegionMatches(clip, model)) << count;
      const RECT all{0, 0, W, H};
      if (fill == 0) {
        FillRect(c.Dc, &all, ink);
      } else {
        HRGN whole = CreateRectRgnIndirect(&all);
        if (fill == 1) {
          FillRgn(c.Dc, whole, ink);
        } else {
          HGDIOBJ old = SelectObject(c.Dc, ink);
          PaintRgn(c.Dc, whole);
          SelectObject(c.Dc, old);
        }
        DeleteObject(whole);
      }
      EXPECT_TRUE(ClipModelPaintMatches(c, model, RGB(0, 0, 255))) << "fill " << fill << " cells " << count;
      DeleteObject(clip);
    }
  DeleteObject(ink);
}

TEST(ClipRegions, RandomClipEditsOnADcFollowThePixelModel) {
  std::mt19937 rng(4177);
  const int W = 48, H = 40;
  HBRUSH ink = CreateSolidBrush(RGB(0, 0, 0));
  for (int round = 0; round < 40; ++round) {
    TCanvas c(W, H);
    // Logical coordinates shifted against the device's: the model stays in logical ones.
    const int ox = round % 3, oy = round % 5;
    SetWindowOrgEx(c.Dc, ox, oy, nullptr);
    TClipPixelModel logical(W + 8, H + 8, false);
    logical.SetRect({ox, oy, ox + W, oy + H}, true);  // the surface, logically
    for (int step = 0; step < 30; ++step) {
      RECT r = ClipModelRandomRect(rng, W + 4, H + 4, 12);
      TClipPixelModel pm(W + 8, H + 8, false);
      pm.SetRect(r, true);
      switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
        case 0:
        case 1:
          ExcludeClipRect(c.Dc, r.Left, r.Top, r.Right, r.Bottom);
          logical = ClipModelCombine(logical, pm, RGN_DIFF);
          break;
        case 2: {
          // Device-coordinate regions for the region calls.
          HRGN h = CreateRectRgn(r.Left - ox, r.Top - oy, r.Right - ox, r.Bottom - oy);
          const int mode = std::uniform_int_distribution<int>(0, 1)(rng) ? RGN_OR : RGN_XOR;
          ExtSelectClipRgn(c.Dc, h, mode);
          TClipPixelModel surface(W + 8, H + 8, false);
          surface.SetRect({ox, oy, ox + W, oy + H}, true);
          logical = ClipModelCombine(ClipModelCombine(logical, pm, mode), surface, RGN_AND);
          DeleteObject(h);
          break;
        }
        default:
          if (step % 6 == 5) {
            IntersectClipRect(c.Dc, r.Left - 6, r.Top - 6, r.Right + 20, r.Bottom + 20);
            TClipPixelModel big(W + 8, H + 8, false);
            big.SetRect({r.Left - 6, r.Top - 6, r.Right + 20, r.Bottom + 20}, true);
            logical = ClipModelCombine(logical, big, RGN_AND);
          }
      }
      // The clip box and each point's visibility, in logical coordinates.
      RECT box{};
      GetClipBox(c.Dc, &box);
      ASSERT_EQ(box, logical.Box()) << "round " << round << " step " << step;
      for (int y = oy; y < oy + H; y += 3)
        for (int x = ox; x < ox + W; x += 3)
          ASSERT_EQ(bool(PtVisible(c.Dc, x, y)), logical.At(x, y))
              << x << "," << y << " round " << round << " step " << step;
    }
    const RECT all{ox, oy, ox + W, oy + H};
    FillRect(c.Dc, &all, ink);
    TClipPixelModel device(W, H, false);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) device.In[std::size_t(y * W + x)] = logical.At(x + ox, y + oy);
    ASSERT_TRUE(ClipModelPaintMatches(c, device, 0)) << "round " << round;
  }
  DeleteObject(ink);
}

// A window's DC: device (0, 0) inside a larger surface, a visible region, a clip saved and
// given back the way the control canvas keeps its clip, and logical coordinates shifted.
TEST(ClipRegions, WindowDcClipCutByCellsPaintsOnlyItsVisibleRest) {
  orv::TSurface surface(300, 260);
  const int ox = 30, oy = 40, W = 170, H = 160;
  HRGN vis = CreateRectRgn(0, 0, W, H);
  HDC dc = orv::CreateSurfaceDC(&surface, {ox, oy}, vis, false, nullptr);
  // No clip yet: the canvas keeps a region larger than any surface to give back later.
  HRGN saved = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc, saved), 0);
  SetRectRgn(saved, 0, 0, 30000, 30000);
  IntersectClipRect(dc, 1, 1, W - 1, H - 1);
  const int s = SaveDC(dc);
  SetWindowOrgEx(dc, -2, -3, nullptr);
  TClipPixelModel model(W, H, false);
  model.SetRect({1, 1, W - 1, H - 1}, true);
  for (const RECT& r : ClipModelMonthCells(8, 24, 21, 17, 42)) {
    ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    model.SetRect({r.Left + 2, r.Top + 3, r.Right + 2, r.Bottom + 3}, false);
  }
  ExcludeClipRect(dc, 8, H - 20, W - 8, H - 19);
  model.SetRect({10, H - 17, W - 6, H - 16}, false);
  RECT box{};
  EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{-1, -2, W - 3, H - 4}));  // the visible clip, logically
  HBRUSH ink = CreateSolidBrush(RGB(0, 0, 255));
  const RECT all{-2, -3, W, H};
  FillRect(dc, &all, ink);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const bool painted = surface.Pixel(x + ox, y + oy) != 0;
      ASSERT_EQ(painted, model.At(x, y)) << x << "," << y;
    }
  RestoreDC(dc, s);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{1, 1, W - 1, H - 1}));
  SelectClipRgn(dc, saved);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, W, H}));  // the big region, cut to the visible one
  DeleteObject(ink);
  DeleteObject(saved);
  DeleteObject(vis);
  DeleteDC(dc);
}

}  // namespace
