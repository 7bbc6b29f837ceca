#include <gtest/gtest.h>

#include "platform/drawing/tests/DrawingFixture.h"

using drawing_test::TCanvas;

namespace {

HBRUSH Solid(COLORREF c) { return CreateSolidBrush(c); }

TEST(Primitives, FillRectExcludesRightAndBottomAndWritesAlphaZero) {
  TCanvas c(6, 4);
  orv::TSurface& s = c.Surface();
  s.Fill(orv::MakePixel(255, 255, 255, 0x80));
  HBRUSH red = Solid(RGB(255, 0, 0));
  const RECT r{1, 1, 4, 3};
  FillRect(c.Dc, &r, red);
  EXPECT_TRUE(c.Art({0, 0, 6, 4}, R"(
      ......
      .rrr..
      .rrr..
      ......)"));
  EXPECT_EQ(c.AlphaAt(1, 1), 0);     // drawn: alpha 0
  EXPECT_EQ(c.AlphaAt(4, 1), 0x80);  // untouched
  // A system colour index + 1 in place of a brush.
  const RECT one{0, 0, 1, 1};
  FillRect(c.Dc, &one, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1)));
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNFACE));
  DeleteObject(red);
}

TEST(Primitives, LinesOmitTheirLastPixel) {
  TCanvas c(8, 6);
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  MoveToEx(c.Dc, 1, 0, nullptr);
  LineTo(c.Dc, 5, 0);  // horizontal: 1..4
  MoveToEx(c.Dc, 7, 1, nullptr);
  LineTo(c.Dc, 7, 4);  // vertical: 1..3
  MoveToEx(c.Dc, 0, 1, nullptr);
  LineTo(c.Dc, 4, 5);  // diagonal: 4 pixels
  EXPECT_TRUE(c.Art({0, 0, 8, 6}, R"(
      .####...
      #......#
      .#.....#
      ..#....#
      ...#....
      ........)"));
  POINT p;
  GetCurrentPositionEx(c.Dc, &p);
  EXPECT_EQ(p, (POINT{4, 5}));
}

TEST(Primitives, PenMixesWorkOnWholePixels) {
  TCanvas c(4, 1);
  orv::TSurface& s = c.Surface();
  s.Fill(orv::MakePixel(0x10, 0x20, 0x30, 0x40));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xFF, 0, 0));
  SelectObject(c.Dc, pen);
  SetROP2(c.Dc, R2_XORPEN);
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 2, 0);
  EXPECT_EQ(s.Pixel(0, 0), orv::MakePixel(0xEF, 0x20, 0x30, 0x40));  // alpha kept
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 2, 0);
  EXPECT_EQ(s.Pixel(0, 0), orv::MakePixel(0x10, 0x20, 0x30, 0x40));  // twice: restored
  SetROP2(c.Dc, R2_NOT);
  LineTo(c.Dc, 3, 0);  // from (2, 0)
  EXPECT_EQ(s.Pixel(2, 0), ~orv::MakePixel(0x10, 0x20, 0x30, 0x40));  // all 32 bits
  SetROP2(c.Dc, R2_COPYPEN);
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  DeleteObject(pen);
}

TEST(Primitives, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  TCanvas c(7, 6);
  HBRUSH green = Solid(RGB(0, 255, 0));
  SelectObject(c.Dc, green);
  Rectangle(c.Dc, 0, 0, 5, 4);
  SelectObject(c.Dc, GetStockObject(NULL_PEN));
  Rectangle(c.Dc, 4, 3, 7, 6);  // without a pen: one pixel smaller
  EXPECT_TRUE(c.Art({0, 0, 7, 6}, R"(
      #####..
      #ggg#..
      #ggg#..
      ####gg.
      ....gg.
      .......)"));
  SelectObject(c.Dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(green);
}

TEST(Primitives, PolygonFillModesAndOutline) {
  // Two overlapping squares as one polygon set: alternate leaves the overlap empty, winding
  // (same direction) fills it.
  const POINT pts[8] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {2, 2}, {6, 2}, {6, 6}, {2, 6}};
  const INT counts[2] = {4, 4};
  for (int mode : {ALTERNATE, WINDING}) {
    TCanvas c(7, 7);
    HBRUSH red = Solid(RGB(255, 0, 0));
    SelectObject(c.Dc, red);
    SelectObject(c.Dc, GetStockObject(NULL_PEN));
    SetPolyFillMode(c.Dc, mode);
    PolyPolygon(c.Dc, pts, counts, 2);
    const char* art = mode == ALTERNATE ? R"(
        rrrr...
        rrrr...
        rr..rr.
        rr..rr.
        ..rrrr.
        ..rrrr.
        .......)"
                                        : R"(
        rrrr...
        rrrr...
        rrrrrr.
        rrrrrr.
        ..rrrr.
        ..rrrr.
        .......)";
    EXPECT_TRUE(c.Art({0, 0, 7, 7}, art)) << "mode " << mode;
    SelectObject(c.Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
  }
  // A triangle with a pen: filled, then outlined through every vertex.
  TCanvas c(6, 5);
  SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
  const POINT tri[3] = {{0, 0}, {4, 0}, {2, 2}};
  Polygon(c.Dc, tri, 3);
  EXPECT_TRUE(c.Art({0, 0, 6, 3}, R"(
      #####.
      .###..
      ..#...)"));
}

TEST(Primitives, EllipseStaysInsideItsBoxAndIsSymmetric) {
  TCanvas c(12, 10);
  SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
  Ellipse(c.Dc, 1, 1, 11, 9);
  orv::TSurface& s = c.Surface();
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool other = s.Pixel(x, y) != 0x00FFFFFFu && s.Pixel(x, y) != 0;
      EXPECT_FALSE(other) << x << "," << y;  // only black or white
      const bool black = (s.Pixel(x, y) & 0xFFFFFF) == 0;
      if (x == 0 || y == 0 || x == 11 || y == 9) {
        EXPECT_FALSE(black) << x << "," << y;
      }
      EXPECT_EQ(black, (s.Pixel(11 - x, y) & 0xFFFFFF) == 0) << x << "," << y;
      EXPECT_EQ(black, (s.Pixel(x, 9 - y) & 0xFFFFFF) == 0) << x << "," << y;
    }
  EXPECT_EQ(c.At(1, 4), 0u);   // touches the left edge
  EXPECT_EQ(c.At(10, 4), 0u);  // and the right one (right - 1)
  EXPECT_EQ(c.At(5, 1), 0u);
  EXPECT_EQ(c.At(5, 8), 0u);
}

TEST(Primitives, StyledPensAndBackgroundMode) {
  TCanvas c(12, 2);
  HPEN dot = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  SelectObject(c.Dc, dot);
  SetBkColor(c.Dc, RGB(255, 0, 0));
  SetBkMode(c.Dc, TRANSPARENT);
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 12, 0);
  SetBkMode(c.Dc, OPAQUE);
  MoveToEx(c.Dc, 0, 1, nullptr);
  LineTo(c.Dc, 12, 1);
  EXPECT_TRUE(c.Art({0, 0, 12, 2}, R"(
      ###...###...
      ###rrr###rrr)"));
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  DeleteObject(dot);
}

TEST(Primitives, HatchAndPatternBrushesFollowTheBrushOrigin) {
  TCanvas c(8, 8);
  HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(0, 0, 0));
  SetBkMode(c.Dc, TRANSPARENT);
  const RECT r{0, 0, 8, 8};
  FillRect(c.Dc, &r, hatch);
  EXPECT_EQ(c.At(7, 0), 0u);
  EXPECT_EQ(c.At(0, 7), 0u);
  EXPECT_EQ(c.At(0, 0), 0xFFFFFFu);  // transparent background
  SetBrushOrgEx(c.Dc, 1, 1, nullptr);
  SetBkMode(c.Dc, OPAQUE);
  SetBkColor(c.Dc, RGB(255, 0, 0));
  FillRect(c.Dc, &r, hatch);
  EXPECT_EQ(c.At(0, 0), 0u);  // the hatch lines moved to x = 0 and y = 0
  EXPECT_EQ(c.At(1, 1), 0x0000FFu);
  DeleteObject(hatch);

  // An 8 x 8 monochrome pattern: 0 bits in the text colour, 1 bits in the background colour.
  const WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  HBITMAP mono = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH checker = CreatePatternBrush(mono);
  DeleteObject(mono);
  SetBrushOrgEx(c.Dc, 0, 0, nullptr);
  SetTextColor(c.Dc, RGB(0, 0, 255));
  SetBkColor(c.Dc, RGB(0, 255, 0));
  FillRect(c.Dc, &r, checker);
  EXPECT_TRUE(c.Art({0, 0, 4, 2}, R"(
      bgbg
      gbgb)"));
  DeleteObject(checker);
}

TEST(Primitives, FocusRectIsAnExclusiveOrFrame) {
  TCanvas c(6, 5);
  const RECT r{0, 0, 6, 5};
  DrawFocusRect(c.Dc, &r);
  EXPECT_TRUE(c.Art({0, 0, 6, 5}, R"(
      #.#.#.
      .....#
      #.....
      .....#
      #.#.#.)"));
  DrawFocusRect(c.Dc, &r);
  EXPECT_TRUE(c.Art({0, 0, 6, 5}, R"(
      ......
      ......
      ......
      ......
      ......)"));
}

TEST(Primitives, PatBltAndInvertUseRasterOperations) {
  TCanvas c(4, 1);
  orv::TSurface& s = c.Surface();
  s.Fill(orv::MakePixel(0x10, 0x20, 0x30, 0x40));
  const RECT r{0, 0, 2, 1};
  InvertRect(c.Dc, &r);
  EXPECT_EQ(s.Pixel(0, 0), ~orv::MakePixel(0x10, 0x20, 0x30, 0x40));
  SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
  PatBlt(c.Dc, 2, 0, 2, 1, PATCOPY);
  EXPECT_EQ(s.Pixel(2, 0), 0u);
  EXPECT_FALSE(PatBlt(c.Dc, 0, 0, 1, 1, SRCCOPY));  // no source
}

TEST(Primitives, ClippingRectanglesRegionsAndSaveRestore) {
  TCanvas c(6, 4);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const RECT all{0, 0, 6, 4};
  const int level = SaveDC(c.Dc);
  EXPECT_EQ(level, 1);
  IntersectClipRect(c.Dc, 1, 0, 5, 4);
  ExcludeClipRect(c.Dc, 2, 1, 4, 3);
  RECT box;
  EXPECT_EQ(GetClipBox(c.Dc, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{1, 0, 5, 4}));
  EXPECT_TRUE(RectVisible(c.Dc, &box));
  const RECT hole{2, 1, 4, 3};
  EXPECT_FALSE(RectVisible(c.Dc, &hole));
  EXPECT_TRUE(PtVisible(c.Dc, 1, 1));
  SaveDC(c.Dc);
  SetWindowOrgEx(c.Dc, -1, 0, nullptr);  // logical x = device x - 1
  FillRect(c.Dc, &all, black);
  RestoreDC(c.Dc, level);  // back past both levels
  EXPECT_TRUE(c.Art({0, 0, 6, 4}, R"(
      .####.
      .#..#.
      .#..#.
      .####.)"));
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.Dc, probe), 0);  // the clip is gone
  EXPECT_FALSE(RestoreDC(c.Dc, -1));       // nothing left to restore
  // A selected clip region is copied: changing the region later does not move the clip.
  HRGN r = CreateRectRgn(0, 0, 1, 1);
  SelectClipRgn(c.Dc, r);
  OffsetRgn(r, 3, 3);
  HBRUSH red = Solid(RGB(255, 0, 0));
  FillRect(c.Dc, &all, red);
  EXPECT_EQ(c.At(0, 0), 0x0000FFu);
  EXPECT_EQ(c.At(3, 3), 0x000000u);
  EXPECT_EQ(GetClipRgn(c.Dc, probe), 1);
  RECT rb;
  GetRgnBox(probe, &rb);
  EXPECT_EQ(rb, (RECT{0, 0, 1, 1}));
  SelectClipRgn(c.Dc, nullptr);
  DeleteObject(r);
  DeleteObject(probe);
  DeleteObject(red);
}

TEST(Primitives, ViewportAndWindowOriginsShiftDrawing) {
  TCanvas c(4, 4);
  SetViewportOrgEx(c.Dc, 2, 1, nullptr);
  SetWindowOrgEx(c.Dc, 1, 0, nullptr);
  POINT p{0, 0};
  LPtoDP(c.Dc, &p, 1);
  EXPECT_EQ(p, (POINT{1, 1}));
  SetPixel(c.Dc, 0, 0, RGB(255, 0, 0));
  EXPECT_EQ(c.At(1, 1), 0x0000FFu);
  EXPECT_EQ(GetPixel(c.Dc, 0, 0), 0x0000FFu);
  EXPECT_EQ(GetPixel(c.Dc, 100, 0), CLR_INVALID);
}

TEST(Primitives, DeletingASelectedObjectWaitsUntilItIsDeselected) {
  TCanvas c(2, 1);
  HBRUSH b = Solid(RGB(255, 0, 0));
  SelectObject(c.Dc, b);
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_EQ(GetObjectType(b), OBJ_BRUSH);  // still alive while selected
  PatBlt(c.Dc, 0, 0, 1, 1, PATCOPY);
  EXPECT_EQ(c.At(0, 0), 0x0000FFu);
  SelectObject(c.Dc, GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetObjectType(b), 0u);  // freed now
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), OBJ_BRUSH);
}

TEST(Primitives, ObjectQueriesDescribeWhatWasCreated) {
  HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
  LOGPEN lp{};
  EXPECT_EQ(GetObject(pen, sizeof lp, &lp), int(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, RGB(4, 5, 6));
  LOGBRUSH lb{};
  GetObject(hatch, sizeof lb, &lb);
  EXPECT_EQ(lb.lbStyle, BS_HATCHED);
  EXPECT_EQ(lb.lbHatch, ULONG_PTR(HS_BDIAGONAL));
  LOGBRUSH sys{};
  GetObject(GetSysColorBrush(COLOR_WINDOW), sizeof sys, &sys);
  EXPECT_EQ(sys.lbColor, GetSysColor(COLOR_WINDOW));
  DeleteObject(pen);
  DeleteObject(hatch);
}

TEST(Primitives, SystemColoursComeFromASettableTable) {
  TCanvas c(1, 1);
  orv::SetSysColor(COLOR_BTNFACE, RGB(1, 2, 3));
  const RECT r{0, 0, 1, 1};
  FillRect(c.Dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(c.At(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(1, 2, 3));
  EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
  orv::SetSysColorTable(nullptr);
  EXPECT_NE(GetSysColor(COLOR_BTNFACE), RGB(1, 2, 3));
}

TEST(Primitives, PathsFillAsPolygons) {
  TCanvas c(6, 6);
  SelectObject(c.Dc, GetStockObject(BLACK_BRUSH));
  BeginPath(c.Dc);
  MoveToEx(c.Dc, 1, 1, nullptr);
  LineTo(c.Dc, 5, 1);
  LineTo(c.Dc, 5, 5);
  LineTo(c.Dc, 1, 5);
  CloseFigure(c.Dc);
  EndPath(c.Dc);
  EXPECT_EQ(c.At(1, 1), 0xFFFFFFu);  // nothing drawn while recording
  FillPath(c.Dc);
  EXPECT_TRUE(c.Art({0, 0, 6, 6}, R"(
      ......
      .####.
      .####.
      .####.
      .####.
      ......)"));
  EXPECT_FALSE(FillPath(c.Dc));  // the path is used up
}

}  // namespace
