#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/drawing/tests/DrawingFixture.h"
#include "platform/runtime/AnsiString.h"

using drawing_test::TCanvas;

namespace {

// The test font at -8: cell 10 (ascent 8, descent 2, internal leading 2), every character 5
// wide, capitals 6 high (rows 2..7), small letters 4 (rows 4..7).
HFONT TestFont(int height = -8, int weight = FW_NORMAL, int escapement = 0, bool underline = false,
               bool strike = false) {
  return CreateFont(height, 0, escapement, escapement, weight, 0, underline, strike,
                    DEFAULT_CHARSET, 0, 0, 0, 0, orv::kTestFontFace);
}

struct TFontScope {
  TFontScope(HDC dc, HFONT font) : Dc(dc), Font(font), Old(SelectObject(dc, font)) {}
  ~TFontScope() {
    SelectObject(Dc, Old);
    DeleteObject(Font);
  }
  HDC Dc;
  HFONT Font;
  HGDIOBJ Old;
};

// The bounding box of the pixels that are not white.
TRect Inked(orv::TSurface& s) {
  TRect r{s.Width(), s.Height(), 0, 0};
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if ((s.Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
}

TEST(TestFont, HasFixedMetricsAndExtents) {
  TCanvas c(40, 20);
  TFontScope f(c.Dc, TestFont());
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(c.Dc, &tm));
  EXPECT_EQ(tm.tmHeight, 10);
  EXPECT_EQ(tm.tmAscent, 8);
  EXPECT_EQ(tm.tmDescent, 2);
  EXPECT_EQ(tm.tmInternalLeading, 2);
  EXPECT_EQ(tm.tmAveCharWidth, 5);
  EXPECT_EQ(tm.tmCharSet, RUSSIAN_CHARSET);
  char face[32];
  GetTextFace(c.Dc, sizeof face, face);
  EXPECT_STREQ(face, orv::kTestFontFace);

  SIZE size;
  const AnsiString text = "Ab Юя"_a;
  GetTextExtentPoint32(c.Dc, text.c_str(), int(text.size()), &size);
  EXPECT_EQ(size, (SIZE{25, 10}));
  INT fit = 0, dx[5];
  GetTextExtentExPoint(c.Dc, text.c_str(), 5, 12, &fit, dx, &size);
  EXPECT_EQ(fit, 2);
  EXPECT_EQ(dx[0], 5);
  EXPECT_EQ(dx[4], 25);
  SetTextCharacterExtra(c.Dc, 1);
  GetTextExtentPoint32(c.Dc, "ab", 2, &size);
  EXPECT_EQ(size.cx, 12);
  SetTextCharacterExtra(c.Dc, 0);
  // A positive height is the cell height.
  TFontScope g(c.Dc, TestFont(20));
  GetTextMetrics(c.Dc, &tm);
  EXPECT_EQ(tm.tmHeight, 20);
  EXPECT_EQ(tm.tmAveCharWidth, 10);
}

TEST(TextOut, PlacesTheCellByTheTextAlignment) {
  TCanvas c(20, 12);
  TFontScope f(c.Dc, TestFont());
  SetBkMode(c.Dc, TRANSPARENT);
  TextOut(c.Dc, 1, 1, "H", 1);
  // The box of a capital: columns 1..4, rows 1+2 .. 1+7.
  EXPECT_TRUE(c.Art({0, 0, 7, 10}, R"(
      .......
      .......
      .......
      .####..
      .#..#..
      .#..#..
      .#..#..
      .#..#..
      .####..
      .......)"));
  EXPECT_EQ(c.AlphaAt(1, 3), 0);
  const RECT all{0, 0, 20, 12};
  FillRect(c.Dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextAlign(c.Dc, TA_RIGHT | TA_BASELINE);
  TextOut(c.Dc, 20, 10, "Hi", 2);
  EXPECT_EQ(Inked(c.Surface()), (TRect{10, 4, 19, 10}));
  // Opaque mode paints the cell behind the text.
  FillRect(c.Dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextAlign(c.Dc, TA_LEFT | TA_TOP);
  SetBkMode(c.Dc, OPAQUE);
  SetBkColor(c.Dc, RGB(0, 255, 0));
  TextOut(c.Dc, 2, 1, " ", 1);
  EXPECT_EQ(Inked(c.Surface()), (TRect{2, 1, 7, 11}));
  EXPECT_EQ(c.At(2, 1), RGB(0, 255, 0));
}

TEST(TextOut, UpdatesTheCurrentPosition) {
  TCanvas c(30, 12);
  TFontScope f(c.Dc, TestFont());
  SetTextAlign(c.Dc, TA_UPDATECP);
  MoveToEx(c.Dc, 3, 0, nullptr);
  TextOut(c.Dc, 0, 0, "ab", 2);
  TextOut(c.Dc, 0, 0, "c", 1);
  POINT p;
  GetCurrentPositionEx(c.Dc, &p);
  EXPECT_EQ(p, (POINT{18, 0}));
}

TEST(ExtTextOut, ClipsAndFillsItsRectangle) {
  TCanvas c(20, 12);
  TFontScope f(c.Dc, TestFont());
  SetBkColor(c.Dc, RGB(255, 0, 0));
  const RECT r{0, 0, 7, 12};
  ExtTextOut(c.Dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &r, "HH", 2, nullptr);
  EXPECT_EQ(c.At(6, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.At(5, 3), 0u);         // second glyph starts at 5...
  EXPECT_EQ(c.At(7, 3), 0xFFFFFFu);  // ...and is cut at 7
  // Explicit advances.
  const INT dx[2] = {10, 10};
  const RECT all{0, 0, 20, 12};
  FillRect(c.Dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(c.Dc, TRANSPARENT);
  ExtTextOut(c.Dc, 0, 0, 0, nullptr, "HH", 2, dx);
  EXPECT_EQ(c.At(10, 2), 0u);
  EXPECT_EQ(c.At(5, 2), 0xFFFFFFu);
}

TEST(TextOut, UnderlineStrikeOutAndBold) {
  TCanvas c(12, 12);
  TFontScope f(c.Dc, TestFont(-8, FW_BOLD, 0, true, true));
  SetBkMode(c.Dc, TRANSPARENT);
  TextOut(c.Dc, 0, 0, "a ", 2);
  EXPECT_TRUE(c.Art({0, 0, 11, 10}, R"(
      ...........
      ...........
      ...........
      ...........
      ####.......
      ####.......
      ##########.
      ####.......
      ##########.
      ...........)"));
}

TEST(TextOut, EscapementTurnsTheText) {
  for (int esc : {900, 2700}) {
    TCanvas c(30, 30);
    TFontScope f(c.Dc, TestFont(-8, FW_NORMAL, esc));
    SetBkMode(c.Dc, TRANSPARENT);
    TextOut(c.Dc, 15, 15, "HHH", 3);
    const TRect ink = Inked(c.Surface());
    // Three capitals of 4 x 6 along the text: 14 long, 6 across.
    EXPECT_EQ(ink.Height(), 14) << esc;
    EXPECT_EQ(ink.Width(), 6) << esc;
    if (esc == 900) {
      EXPECT_EQ(ink.Bottom, 15);  // runs upward from the reference point
      EXPECT_EQ(ink.Left, 15 + 2);
    } else {
      EXPECT_EQ(ink.Top, 15);  // runs downward
      EXPECT_EQ(ink.Right, 15 - 2);
    }
  }
}

TEST(TabbedText, ExpandsTabsToStops) {
  TCanvas c(100, 12);
  TFontScope f(c.Dc, TestFont());
  EXPECT_EQ(GetTabbedTextExtent(c.Dc, "a\tb", 3, 0, nullptr), DWORD((10 << 16) | 45));
  const INT stops[1] = {12};
  EXPECT_EQ(GetTabbedTextExtent(c.Dc, "a\tb", 3, 1, stops) & 0xFFFF, 17u);
  const INT list[2] = {7, 30};
  SetBkMode(c.Dc, TRANSPARENT);
  const LONG r = TabbedTextOut(c.Dc, 0, 0, "a\tb\tc", 5, 2, list, 0);
  EXPECT_EQ(r & 0xFFFF, 35);
  EXPECT_EQ(c.At(7, 5), 0u);  // "b" at 7
  EXPECT_EQ(c.At(30, 5), 0u);  // "c" at 30
}

}  // namespace
