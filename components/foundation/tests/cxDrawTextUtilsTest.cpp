// The multi-line text engine with the test font (cell 10 pixels high, every character 5 wide):
// line breaking as tables of rows, placement, and the drawn pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "components/foundation/cxDrawTextUtils.h"
#include "components/foundation/dxCore.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/drawing/Gdi.h"

namespace {

using paint_test::TPaintDC;

HFONT MakeTestFont(int height, bool bold = false) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  std::strcpy(lf.lfFaceName, orv::kTestFontFace);
  return CreateFontIndirect(&lf);
}

std::u16string Rows(TcxTextRows& rows, Integer count) {
  std::u16string s;
  for (Integer i = 0; i < count; ++i) {
    if (i) s += u'|';
    const TextRow& r = GetTextRow(rows, i);
    s.append(r.Start, std::size_t(r.Length));
  }
  return s;
}

class TextLayout : public ::testing::Test {
 protected:
  TextLayout() : Font(MakeTestFont(-8)) {
    Old = SelectObject(Dc.Dc, Font);
    SetTextColor(Dc.Dc, 0x000000);
  }
  ~TextLayout() override {
    SelectObject(Dc.Dc, Old);
    DeleteObject(Font);
  }
  // Lays the text out in a rectangle `width` wide and `height` high.
  Integer Layout(const std::u16string& text, Cardinal flags, Integer width, Integer height = 1000,
                 Boolean* fits = nullptr) {
    CalculateTextParams(Dc.Dc, flags, Params);
    Integer count = 0;
    Text = text;
    const Boolean f =
        MakeTextRowsWide(Dc.Dc, Text.data(), Integer(Text.size()), {0, 0, width, height}, Params, Result, count);
    if (fits) *fits = f;
    return count;
  }
  ::testing::AssertionResult Art(const TRect& area, std::string_view art) {
    return Dc.Art(area, art, {{'#', 0x000000}, {'.', 0xFFFFFF}, {'b', 0xFF0000}, {'w', 0xFEFFFF}});
  }

  TPaintDC Dc{120, 80};
  HFONT Font;
  HGDIOBJ Old;
  TextLayoutParams Params;
  TcxTextRows Result;
  std::u16string Text;
};

TEST_F(TextLayout, Parameters) {
  CalculateTextParams(Dc.Dc, TextFlagEndEllipsis | TextFlagCenterHorz | TextFlagBottom | TextFlagWordBreak, Params);
  EXPECT_EQ(Params.FontHeight, 10);
  EXPECT_EQ(Params.RowHeight, 10);
  EXPECT_EQ(Params.EllipsisWidth, 15);
  EXPECT_EQ(Params.HorzAlign, 1);
  EXPECT_EQ(Params.VertAlign, 2);
  EXPECT_TRUE(Params.WordBreak);
  EXPECT_FALSE(Params.SingleLine);
  EXPECT_EQ(Params.OnePixel, 1);
  // The row pitch is scaled and rounded half to even.
  CalculateTextParams(Dc.Dc, 0, Params, 1.25);
  EXPECT_EQ(Params.RowHeight, 12);
  CalculateTextParams(Dc.Dc, 0, Params, 1.35);
  EXPECT_EQ(Params.RowHeight, 14);
  CalculateTextParams(Dc.Dc, TextFlagAutoIndents, Params);
  EXPECT_EQ(PrepareTextRect({0, 0, 100, 50}, Params, 3, 4), (TRect{5, 2, 94, 48}));
  EXPECT_EQ(UnprepareTextRect(PrepareTextRect({0, 0, 100, 50}, Params, 3, 4), Params, 3, 4),
            (TRect{0, 0, 100, 50}));
}

TEST_F(TextLayout, LineBreaking) {
  const Cardinal wb = TextFlagWordBreak;
  const struct {
    const char16_t* Text;
    Integer Width;
    Cardinal Flags;
    const char16_t* Rows;
  } cases[] = {
      {u"aa bb cc", 25, wb, u"aa bb|cc"},
      // Left alignment keeps the blank before the break and skips the one after it.
      {u"aa bb cc", 20, wb, u"aa |bb |cc"},
      {u"aa bb cc", 12, wb, u"aa|bb|cc"},
      {u"aa bb cc", 20, wb | TextFlagRight, u"aa|bb|cc"},
      {u"aa bb cc", 20, wb | TextFlagCenterHorz, u"aa|bb|cc"},
      // Justify and distribute always break, and trim the blanks at the end.
      {u"aa bb cc", 20, TextFlagJustify, u"aa|bb|cc"},
      {u"aa    bb", 10, wb | TextFlagSkipLeadingBlanks, u"aa|bb"},
      // A word wider than the row stays whole unless characters may break.
      {u"abcdefgh xy", 20, wb, u"abcdefgh|xy"},
      {u"abcdefgh xy", 20, wb | TextFlagCharBreak, u"abcd|efgh|xy"},
      {u"abcdefgh xy", 20, wb | TextFlagEditControl, u"abcd|efgh|xy"},
      {u"abcdefgh", 3, wb | TextFlagCharBreak, u"a|b|c|d|e|f|g|h"},  // one character at least
      // Line ends: CR LF, LF CR, and a pair of the same kind makes an empty row.
      {u"AB\r\nCD", 100, wb, u"AB|CD"},
      {u"AB\n\rCD", 100, wb, u"AB|CD"},
      {u"AB\r\rCD", 100, wb, u"AB||CD"},
      {u"AB\n\nCD", 100, 0, u"AB||CD"},
      {u"AB\r\n", 100, 0, u"AB"},
      // Without word break only line ends break.
      {u"aa bb cc\ndd", 10, 0, u"aa bb cc|dd"},
      // An ideograph is a word; a full stop after it stays on its row.
      {u"\u4E00\u3002\u4E01", 10, wb, u"\u4E00\u3002|\u4E01"},
      {u"\u4E00\u4E01\u4E02", 10, wb, u"\u4E00\u4E01|\u4E02"},
      {u"ab\u4E00cd", 15, wb, u"ab\u4E00|cd"},
  };
  for (const auto& c : cases) {
    const Integer count = Layout(c.Text, c.Flags, c.Width);
    EXPECT_EQ(Rows(Result, count), std::u16string(c.Rows))
        << "text #" << (&c - cases) << " width " << c.Width;
  }
}

TEST_F(TextLayout, JustifyLeavesParagraphEndsAloneDistributeDoesNot) {
  Integer count = Layout(u"aa bb cc dd", TextFlagJustify, 30);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(Rows(Result, count), u"aa bb|cc dd");
  EXPECT_EQ(GetTextRow(Result, 0).BlankCount, 1);
  EXPECT_EQ(GetTextRow(Result, 0).Width, 25);
  EXPECT_EQ(GetTextRow(Result, 1).BlankCount, 0);
  count = Layout(u"aa bb cc dd", TextFlagDistribute, 30);
  EXPECT_EQ(GetTextRow(Result, 1).BlankCount, 1);
  count = Layout(u"aabbcc", TextFlagDistribute, 50);
  EXPECT_EQ(GetTextRow(Result, 0).BlankCount, 0);
}

TEST_F(TextLayout, RowsThatFitAndTheLastRow) {
  Boolean fits = false;
  // 2.5 rows of room: an edit control shows no partly visible row.
  EXPECT_EQ(Layout(u"a b c d e", TextFlagWordBreak | TextFlagEditControl, 5, 25, &fits), 2);
  EXPECT_FALSE(fits);
  EXPECT_EQ(Layout(u"a b c d e", TextFlagWordBreak, 5, 25, &fits), 3);
  EXPECT_FALSE(fits);
  EXPECT_EQ(Layout(u"a b c", TextFlagWordBreak, 5, 30, &fits), 3);
  EXPECT_TRUE(fits);
  // A single line is measured against the width.
  EXPECT_EQ(Layout(u"abc def", TextFlagSingleLine, 30, 10, &fits), 1);
  EXPECT_FALSE(fits);
  EXPECT_EQ(Layout(u"", TextFlagWordBreak, 30, 10, &fits), 0);
  EXPECT_TRUE(fits);
  // Measuring is never short of room.
  // Measuring breaks only at line ends and inside overlong lines, one character a row here.
  EXPECT_EQ(Layout(u"a b c d e", TextFlagWordBreak | TextFlagCalcRect | TextFlagCharBreak, 5, 10, &fits), 9);
  EXPECT_TRUE(fits);
}

TEST_F(TextLayout, RowsBeyondTheInlineOnesAndOffsets) {
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"ab\n";
  const Integer count = Layout(text, 0, 100);
  ASSERT_EQ(count, 40);
  EXPECT_EQ(GetTextRowCount(Result), 40);
  EXPECT_EQ(GetTextRow(Result, 35).Offset, 105);
  EXPECT_EQ(GetTextRow(Result, 35).Length, 2);
  EXPECT_GE(Result.DynamicRows.size(), 8u);
  EXPECT_EQ(GetMaxTextRowWidth(Result, 100), 10);
  ClearTextRows(Result);
  EXPECT_EQ(GetTextRowCount(Result), 0);
  EXPECT_EQ(GetMaxTextRowWidth(Result, 10), 0);
}

TEST_F(TextLayout, Placement) {
  const struct {
    Cardinal Flags;
    Integer Top0, Top1, Left1;
  } cases[] = {
      {TextFlagTop, 10, 20, 20},
      {TextFlagCenterVert | TextFlagCenterHorz, 25, 35, 45},  // (50 - 20) / 2; (60 - 10) / 2 + 20
      {TextFlagBottom | TextFlagRight, 40, 50, 70},
      {TextFlagDistributeVert, 10, 50, 20},                   // the gap grows to 50 - 10
  };
  for (const auto& c : cases) {
    const TRect r{20, 10, 80, 60};
    CalculateTextParams(Dc.Dc, c.Flags, Params);
    Integer count = 0;
    Text = u"abcd\nab";
    MakeTextRowsWide(Dc.Dc, Text.data(), Integer(Text.size()), r, Params, Result, count, 0);
    ASSERT_EQ(count, 2);
    ArrangeTextRows(Dc.Dc, r, Params, Result, count);
    EXPECT_EQ(GetTextRow(Result, 0).Top, c.Top0) << c.Flags;
    EXPECT_EQ(GetTextRow(Result, 1).Top, c.Top1) << c.Flags;
    EXPECT_EQ(GetTextRow(Result, 1).Left, c.Left1) << c.Flags;
  }
  // Clamps keep overflowing rows inside the rectangle's left and top.
  CalculateTextParams(Dc.Dc, TextFlagRight | TextFlagBottom | TextFlagClampLeft | TextFlagClampTop, Params);
  Integer count = 0;
  Text = u"abcdefgh\nx\ny";
  MakeTextRowsWide(Dc.Dc, Text.data(), Integer(Text.size()), {0, 0, 20, 20}, Params, Result, count, 0);
  ArrangeTextRows(Dc.Dc, {0, 0, 20, 20}, Params, Result, count);
  EXPECT_EQ(GetTextRow(Result, 0).Left, 0);
  EXPECT_EQ(GetTextRow(Result, 0).Top, 0);
}

TEST_F(TextLayout, MeasuringInOneCall) {
  TRect r{10, 10, 200, 10};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "aa bb\ncc", r, TextFlagCalcRect | TextFlagWordBreak), 20);
  EXPECT_EQ(r, (TRect{10, 10, 35, 30}));  // as wide as the widest line, as high as its rows
  r = {0, 0, 12, 0};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "abcdef", r, TextFlagCalcRect | TextFlagWordBreak | TextFlagCharBreak), 30);
  EXPECT_EQ(r, (TRect{0, 0, 10, 30}));
  r = {0, 0, 100, 0};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "a\nb\nc", r, TextFlagCalcRect | TextFlagReturnRowCount), 3);
  r = {0, 0, 100, 0};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "a\nb\nc", r, TextFlagCalcRect, nullptr, 2), 20);
  EXPECT_EQ(r.Bottom, 20);
  r = {0, 0, 100, 100};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "&File", r, TextFlagCalcRect | TextFlagSingleLine | TextFlagRemovePrefix), 10);
  EXPECT_EQ(r.Right, 20);
}

TEST_F(TextLayout, NothingToDrawAnswersZeroAndDrawsNothing) {
  TRect r{0, 0, 100, 40};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "", r, TextFlagWordBreak), 0);
  r = {10, 0, 10, 40};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "abc", r, TextFlagWordBreak), 0);
  r = {0, 0, 100, 0};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "abc", r, TextFlagWordBreak), 0);
  r = {0, 0, 100, 40};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "&", r, TextFlagRemovePrefix), 0);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) ASSERT_EQ(Dc.At(x, y), 0xFFFFFFu);
  // The DC keeps its colour, font and background mode.
  SetBkMode(Dc.Dc, OPAQUE);
  HFONT other = MakeTestFont(-16);
  r = {0, 0, 100, 40};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "abc", r, 0, other, 0, 0, 0, clRed), 20);
  EXPECT_EQ(GetTextColor(Dc.Dc), 0x000000u);
  EXPECT_EQ(GetCurrentObject(Dc.Dc, OBJ_FONT), Font);
  EXPECT_EQ(GetBkMode(Dc.Dc), OPAQUE);
  DeleteObject(other);
}

TEST_F(TextLayout, EllipsisEndsTheLastVisibleRow) {
  TRect r{0, 0, 30, 10};
  DrawFormattedTextDC(Dc.Dc, "ABCDEFG", r, TextFlagSingleLine | TextFlagEndEllipsis);
  // "ABC" (15 pixels) leaves room for "..." in 30.
  EXPECT_TRUE(Art({0, 0, 32, 10}, R"(
      ................................
      ................................
      ####.####.####..................
      #..#.#..#.#..#..................
      #..#.#..#.#..#..................
      #..#.#..#.#..#..................
      #..#.#..#.#..#..................
      ####.####.####.####.####.####...
      ................................
      ................................)"));
  // More text than rows: the last visible row says so, even when it is empty.
  Dc.Clear(0xFFFFFF);
  r = {0, 0, 40, 15};
  EXPECT_EQ(DrawFormattedTextDC(Dc.Dc, "AB\n\nCD", r, TextFlagEndEllipsis), 20);
  EXPECT_TRUE(Art({0, 10, 20, 20}, R"(
      ....................
      ....................
      ....................
      ....................
      ....................
      ....................
      ....................
      ####.####.####......
      ....................
      ....................)"));
  // Text that fits shows no ellipsis.
  Dc.Clear(0xFFFFFF);
  r = {0, 0, 40, 20};
  DrawFormattedTextDC(Dc.Dc, "AB", r, TextFlagEndEllipsis);
  EXPECT_EQ(Dc.At(12, 7), 0xFFFFFFu);
}

TEST_F(TextLayout, AlignmentAndClipping) {
  TRect r{0, 0, 20, 10};
  DrawFormattedTextDC(Dc.Dc, "AB", r, TextFlagRight);
  r = {0, 10, 20, 20};
  DrawFormattedTextDC(Dc.Dc, "A", r, TextFlagCenterHorz);
  // Clipped to the rectangle: the third character would start at 10.
  r = {0, 20, 12, 30};
  DrawFormattedTextDC(Dc.Dc, "ABC", r, 0);
  EXPECT_TRUE(Art({0, 0, 20, 30}, R"(
      ....................
      ....................
      ..........####.####.
      ..........#..#.#..#.
      ..........#..#.#..#.
      ..........#..#.#..#.
      ..........#..#.#..#.
      ..........####.####.
      ....................
      ....................
      ....................
      ....................
      .......####.........
      .......#..#.........
      .......#..#.........
      .......#..#.........
      .......#..#.........
      .......####.........
      ....................
      ....................
      ....................
      ....................
      ####.####.##........
      #..#.#..#.#.........
      #..#.#..#.#.........
      #..#.#..#.#.........
      #..#.#..#.#.........
      ####.####.##........
      ....................
      ....................)"));
  // Without clipping the row runs on.
  Dc.Clear(0xFFFFFF);
  r = {0, 0, 12, 10};
  DrawFormattedTextDC(Dc.Dc, "ABC", r, TextFlagNoClip);
  EXPECT_EQ(Dc.At(13, 2), 0x000000u);
}

TEST_F(TextLayout, HighlightedRange) {
  TRect r{0, 0, 25, 10};
  EXPECT_EQ(DrawFormattedTextWide(Dc.Dc, u"ABCD", r, 0, 1, 2, nullptr, clBlue, TColor(0xFEFFFF)), 10);
  // "BC" on blue in near-white, the rest black on white.
  EXPECT_TRUE(Art({0, 0, 21, 10}, R"(
      .....bbbbbbbbbb......
      .....bbbbbbbbbb......
      ####.wwwwbwwwwb####..
      #..#.wbbwbwbbwb#..#..
      #..#.wbbwbwbbwb#..#..
      #..#.wbbwbwbbwb#..#..
      #..#.wbbwbwbbwb#..#..
      ####.wwwwbwwwwb####..
      .....bbbbbbbbbb......
      .....bbbbbbbbbb......)"));
  // A range beyond the text is cut at its end; one starting outside it draws no highlight.
  Dc.Clear(0xFFFFFF);
  r = {0, 0, 25, 10};
  DrawFormattedTextWide(Dc.Dc, u"AB", r, 0, 1, 50, nullptr, clBlue, clDefault);
  EXPECT_EQ(Dc.At(6, 0), 0xFF0000u);
  EXPECT_EQ(Dc.At(11, 0), 0xFFFFFFu);
  Dc.Clear(0xFFFFFF);
  DrawFormattedTextWide(Dc.Dc, u"AB", r, 0, 2, 5, nullptr, clBlue, clDefault);
  DrawFormattedTextWide(Dc.Dc, u"AB", r, 0, -1, 5, nullptr, clBlue, clDefault);
  EXPECT_EQ(Dc.At(6, 0), 0xFFFFFFu);
}

TEST_F(TextLayout, TinyFontsDrawPatterns) {
  HFONT tiny = MakeTestFont(-4);  // cell 5 pixels, characters 2 wide
  HFONT tinyBold = MakeTestFont(-4, true);
  TRect r{0, 0, 20, 10};
  DrawFormattedTextDC(Dc.Dc, "abcd", r, TextFlagPatternFill, tiny);
  r = {0, 5, 20, 10};
  DrawFormattedTextDC(Dc.Dc, "ab", r, TextFlagPatternFill, tinyBold);
  EXPECT_TRUE(Art({0, 0, 20, 10}, R"(
      ....................
      .#.#.#.#............
      #.#.#.#.............
      .#.#.#.#............
      ....................
      ....................
      ####................
      ####................
      ####................
      ....................)"));
  // A readable font ignores the flag.
  CalculateTextParams(Dc.Dc, TextFlagPatternFill, Params);
  EXPECT_FALSE(Params.PatternFill);
  DeleteObject(tiny);
  DeleteObject(tinyBold);
}

TEST_F(TextLayout, AParagraphInOneCall) {
  TRect r{4, 4, 116, 76};
  Dc.Clear(0xFFFFFF);
  HBRUSH frame = CreateSolidBrush(0xC0C0C0);
  RECT outline = r;
  FrameRect(Dc.Dc, &outline, frame);
  DeleteObject(frame);
  const WideString text =
      u"Justified text spreads its blanks\r\nover each wrapped row; the last one stays. "
      u"Rows that do not fit end in an ellipsis.";
  EXPECT_EQ(DrawFormattedTextWide(Dc.Dc, text, r, TextFlagJustify | TextFlagEndEllipsis | TextFlagAutoIndents, 10,
                                  8, nullptr, clYellow, clDefault),
            70);
  EXPECT_TRUE(Dc.Golden("text_layout_paragraph.png"));
}

}  // namespace
