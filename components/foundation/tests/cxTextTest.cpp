#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Strings.h"

namespace {

using paint_test::TPaintDC;

LOGFONT TextTestFont() {
  LOGFONT lf{};
  lf.lfHeight = -8;  // cell 10, characters 5 wide
  std::strcpy(lf.lfFaceName, orv::kTestFontFace);
  return lf;
}

class TextOnDC : public ::testing::Test {
 protected:
  TextOnDC() : Font(CreateFontIndirect(&Lf)) { Old = SelectObject(Dc.Dc, Font); }
  ~TextOnDC() override {
    SelectObject(Dc.Dc, Old);
    DeleteObject(Font);
  }
  LOGFONT Lf = TextTestFont();
  TPaintDC Dc{200, 60};
  HFONT Font;
  HGDIOBJ Old;
};

TEST_F(TextOnDC, CalculateTextRect) {
  EXPECT_EQ(CalculateTextRect(Dc.Dc, "abc def"), (TRect{0, 0, 35, 10}));
  EXPECT_EQ(MeasureTextOnDC(Dc.Dc, "abc def"), (TSize{35, 10}));
  // Two lines: the narrowest width that keeps the text within two lines of "Wg".
  const TRect two = CalculateTextRect(Dc.Dc, "aa bb cc dd", 2);
  EXPECT_EQ(two.Height(), 20);
  EXPECT_EQ(two.Width(), 25);  // "aa bb" / "cc dd"
  EXPECT_EQ(CalculateTextRect(Dc.Dc, "aa bb cc dd", 2, true).Bottom, 20);
  TSize size;
  EXPECT_TRUE(GetStringExtent(Dc.Dc, "abcdef", size, 2));
  EXPECT_EQ(size, (TSize{10, 10}));
}

TEST_F(TextOnDC, WrapTextToLines) {
  std::unique_ptr<TcxCanvas, orv::FreeDeleter> canvas(new TcxCanvas(Dc.Dc));
  const struct {
    const char* Text;
    Integer Width;
    const char* Lines;
  } cases[] = {
      {"aa bb cc", 100, "aa bb cc"},
      {"aa bb cc", 25, "aa bb|cc"},
      {"aa bb cc", 10, "aa|bb|cc"},
      // Hard breaks are kept, runs of them make one.
      {"aa\r\n\r\nbb\ncc", 100, "aa|bb|cc"},
      // A word wider than the rectangle after other text goes on a line of its own, whole.
      {"a verylongword b", 30, "a|verylongword|b"},
      {"verylongword", 10, "verylongword"},
      {"ends\n", 100, "ends|"},
      {"aa  \n\nbb", 100, "aa  |bb"},
  };
  for (const auto& c : cases) {
    TStringList lines;
    WrapTextToLines(c.Text, canvas.get(), {0, 0, c.Width, 10}, &lines);
    AnsiString joined;
    for (Integer i = 0; i < lines.GetCount(); ++i) joined += (i ? "|" : "") + lines.Get(i);
    EXPECT_EQ(joined, c.Lines) << c.Text << " in " << c.Width;
  }
}

TEST(TextHelpers, CharsetsFontsAndObjectQueries) {
  EXPECT_FALSE(IsChineseOrArabicCharset(GB2312_CHARSET, "Latin"));
  EXPECT_TRUE(IsChineseOrArabicCharset(GB2312_CHARSET, "\xC0"));
  EXPECT_TRUE(IsChineseOrArabicCharset(ARABIC_CHARSET, ""));
  EXPECT_FALSE(IsChineseOrArabicCharset(DEFAULT_CHARSET, "\xC0"));
  EXPECT_EQ(FontTextExtent(TextTestFont(), "abcd"), (TSize{20, 10}));
  EXPECT_EQ(FontTextWidth(TextTestFont(), "abcd", 12), 40);  // 12 points at 96 dpi: a 16-pixel em
  EXPECT_EQ(GetScreenLogPixels(), 96);
  EXPECT_FALSE(GetScreenCanvas()->HandleAllocated());
  const LOGFONT testFont = TextTestFont();
  HFONT font = CreateFontIndirect(&testFont);
  LOGFONT lf{};
  EXPECT_TRUE(GetFontInfo(font, lf));
  EXPECT_STREQ(lf.lfFaceName, orv::kTestFontFace);
  DeleteObject(font);
  LOGBRUSH lb{};
  EXPECT_TRUE(GetBrushInfo(static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), lb));
  EXPECT_EQ(lb.lbStyle, BS_SOLID);
  LOGPEN lp{};
  EXPECT_TRUE(GetPenData(static_cast<HPEN>(GetStockObject(WHITE_PEN)), lp));
  EXPECT_EQ(lp.lopnColor, RGB(255, 255, 255));
  HBITMAP bitmap = CreateBitmap(3, 2, 1, 8, nullptr);
  BITMAP bm{};
  EXPECT_TRUE(GetBitmapData(bitmap, bm));
  EXPECT_EQ(bm.bmWidth, 3);
  DeleteObject(bitmap);
  EXPECT_FALSE(GetBitmapData(nullptr, bm));
}

}  // namespace
