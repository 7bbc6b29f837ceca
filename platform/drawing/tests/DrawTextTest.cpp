#include <gtest/gtest.h>

#include "platform/drawing/tests/DrawingFixture.h"
#include "platform/runtime/AnsiString.h"

using drawing_test::TCanvas;

namespace {

// The test font at -8: a cell of 10 x 5 pixels per character.
struct TTestText : TCanvas {
  TTestText(int w, int h) : TCanvas(w, h) {
    Font = CreateFont(-8, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                      orv::kTestFontFace);
    Old = SelectObject(Dc, Font);
    SetBkMode(Dc, TRANSPARENT);
  }
  ~TTestText() {
    SelectObject(Dc, Old);
    DeleteObject(Font);
  }
  RECT Calc(const char* text, RECT r, UINT format) {
    DrawText(Dc, text, -1, &r, format | DT_CALCRECT);
    return r;
  }
  HFONT Font;
  HGDIOBJ Old;
};

TEST(DrawText, CalculatesRectangles) {
  TTestText t(100, 60);
  struct TCase {
    const char* Text;
    RECT In;
    UINT Format;
    RECT Out;
  } cases[] = {
      {"abc", {0, 0, 0, 0}, DT_SINGLELINE, {0, 0, 15, 10}},
      {"ab\r\ncdef", {0, 0, 100, 0}, 0, {0, 0, 20, 20}},
      {"ab\n\ncd", {0, 0, 100, 0}, 0, {0, 0, 10, 30}},
      {"aa bb cc", {0, 0, 30, 0}, DT_WORDBREAK, {0, 0, 25, 20}},        // "aa bb" / "cc"
      {"aaaaaaaaaa b", {0, 0, 30, 0}, DT_WORDBREAK, {0, 0, 50, 20}},    // a long word stays whole
      {"aaaaaaaaaa b", {0, 0, 30, 0}, DT_WORDBREAK | DT_EDITCONTROL, {0, 0, 30, 20}},
      {"&File", {5, 5, 5, 5}, DT_SINGLELINE, {5, 5, 25, 15}},
      {"&File", {5, 5, 5, 5}, DT_SINGLELINE | DT_NOPREFIX, {5, 5, 30, 15}},
      {"a&&b", {0, 0, 0, 0}, DT_SINGLELINE, {0, 0, 15, 10}},
      {"a\tb", {0, 0, 0, 0}, DT_SINGLELINE | DT_EXPANDTABS, {0, 0, 45, 10}},
      {"", {3, 3, 9, 9}, DT_SINGLELINE, {3, 3, 3, 13}},
  };
  for (const TCase& c : cases) EXPECT_EQ(t.Calc(c.Text, c.In, c.Format), c.Out) << c.Text;
  RECT r{0, 0, 100, 0};
  EXPECT_EQ(DrawText(t.Dc, "a\nb", -1, &r, DT_CALCRECT), 20);
  // A tab length of two average characters (DT_TABSTOP cannot be combined with DT_CALCRECT).
  DRAWTEXTPARAMS params;
  params.iTabLength = 2;
  RECT tab{0, 0, 0, 0};
  DrawTextEx(t.Dc, "a\tb", 3, &tab,
             DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS, &params);
  EXPECT_EQ(tab.Right, 15);
}

TEST(DrawText, AlignsWithinTheRectangle) {
  struct TCase {
    UINT Format;
    TRect Ink;
    int Result;
  } cases[] = {
      {DT_SINGLELINE, {0, 2, 4, 8}, 10},
      {DT_SINGLELINE | DT_CENTER | DT_VCENTER, {17, 7, 21, 13}, 15},
      {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, {35, 12, 39, 18}, 20},
      {DT_CENTER | DT_VCENTER, {17, 2, 21, 8}, 10},  // vertical centring needs a single line
  };
  for (const TCase& c : cases) {
    TTestText t(40, 20);
    RECT r{0, 0, 40, 20};
    EXPECT_EQ(DrawText(t.Dc, "H", 1, &r, c.Format), c.Result) << c.Format;
    TRect ink{40, 20, 0, 0};
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x)
        if (t.At(x, y) == 0) ink = {std::min(ink.Left, x), std::min(ink.Top, y),
                                    std::max(ink.Right, x + 1), std::max(ink.Bottom, y + 1)};
    EXPECT_EQ(ink, c.Ink) << c.Format;
  }
}

TEST(DrawText, ClipsUnlessAskedNotTo) {
  for (bool noClip : {false, true}) {
    TTestText t(30, 12);
    RECT r{0, 0, 7, 10};
    DrawText(t.Dc, "HH", 2, &r, DT_SINGLELINE | (noClip ? DT_NOCLIP : 0));
    EXPECT_EQ(t.At(8, 2), noClip ? 0u : 0xFFFFFFu);
  }
}

TEST(DrawText, UnderlinesThePrefixedCharacter) {
  TTestText t(30, 12);
  RECT r{0, 0, 30, 12};
  DrawText(t.Dc, "a&bc", -1, &r, DT_SINGLELINE);
  // The underline below "b" (columns 5..9) on the first row under the baseline.
  EXPECT_TRUE(t.Art({0, 8, 15, 9}, ".....#####....."));
  TTestText h(30, 12);
  DrawText(h.Dc, "a&bc", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_TRUE(h.Art({0, 8, 15, 9}, "..............."));
}

TEST(DrawText, EllipsesShortenTextThatDoesNotFit) {
  TTestText t(100, 12);
  // End ellipsis: as much as fits before "...".
  RECT r{0, 0, 40, 10};
  DrawText(t.Dc, "abcdefghij", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_EQ(r.Right, 40);  // "abcde..."
  // Path ellipsis keeps the file name.
  RECT p{0, 0, 60, 10};
  const char* path = "C:\\folder\\sub\\file.txt";
  DrawText(t.Dc, path, -1, &p, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_CALCRECT);
  EXPECT_EQ(p.Right, 60);  // "...\file.txt" is 12 characters
  // Text that fits is left alone.
  RECT f{0, 0, 100, 10};
  DrawText(t.Dc, "abc", -1, &f, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_EQ(f.Right, 15);
}

TEST(DrawText, EditControlHidesAPartlyVisibleLastLine) {
  for (bool edit : {false, true}) {
    TTestText t(40, 30);
    RECT r{0, 0, 40, 25};  // two and a half lines
    const int h = DrawText(t.Dc, "A\nB\nC", -1, &r, edit ? DT_EDITCONTROL : 0);
    EXPECT_EQ(h, edit ? 20 : 30);
    EXPECT_EQ(t.At(0, 22), edit ? 0xFFFFFFu : 0u);  // the third line's box starts at row 22
  }
  // With an end ellipsis the last whole line shows that more text follows.
  TTestText t(40, 30);
  RECT r{0, 0, 40, 25};
  DrawText(t.Dc, "aaaaaaaa\nbbbbbbbb\ncc", -1, &r, DT_EDITCONTROL | DT_WORDBREAK | DT_END_ELLIPSIS);
  // Line 2 ends in "..." (three boxes of the "." glyph at the baseline).
  EXPECT_EQ(t.At(35, 17), 0u);
  EXPECT_EQ(t.At(35, 14), 0xFFFFFFu);
}

TEST(DrawText, ConvertsWindows1251AndTakesWideText) {
  TTestText t(60, 12);
  const AnsiString ansi = "Ёж"_a;
  RECT a{0, 0, 0, 0};
  DrawText(t.Dc, ansi.c_str(), int(ansi.size()), &a, DT_CALCRECT | DT_SINGLELINE);
  RECT w{0, 0, 0, 0};
  DrawTextW(t.Dc, u"Ёж", -1, &w, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(a, w);
  EXPECT_EQ(a.Right, 10);
  DRAWTEXTPARAMS params;
  params.iLeftMargin = 3;
  params.iRightMargin = 4;
  RECT m{0, 0, 0, 0};
  DrawTextEx(t.Dc, "ab", 2, &m, DT_CALCRECT | DT_SINGLELINE, &params);
  EXPECT_EQ(m.Right, 17);
  EXPECT_EQ(params.uiLengthDrawn, 2u);
}

}  // namespace
