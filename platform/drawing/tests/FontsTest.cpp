#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <string>

#include "platform/drawing/tests/DrawingFixture.h"
#include "platform/runtime/AnsiString.h"

using drawing_test::TCanvas;

namespace {

HFONT Font(const char* face, int height, int weight = FW_NORMAL, BYTE charset = DEFAULT_CHARSET) {
  return CreateFont(height, 0, 0, 0, weight, 0, 0, 0, charset, 0, 0, 0, 0, face);
}

TEST(InstalledFonts, PlatformFacesMapToMetricCompatibleOnes) {
  TCanvas c(100, 30);
  for (const char* face : {"MS Sans Serif", "Arial", "Segoe UI", "Times New Roman", "Courier New"}) {
    HFONT f = Font(face, -11);
    HGDIOBJ old = SelectObject(c.Dc, f);
    TEXTMETRIC tm;
    GetTextMetrics(c.Dc, &tm);
    EXPECT_GE(tm.tmHeight, 11) << face;
    EXPECT_LE(tm.tmHeight, 15) << face;
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << face;
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 11) << face;
    EXPECT_GT(tm.tmAveCharWidth, 3) << face;
    SelectObject(c.Dc, old);
    DeleteObject(f);
  }
  // A positive height is the cell height.
  HFONT cell = Font("Arial", 16);
  HGDIOBJ old = SelectObject(c.Dc, cell);
  TEXTMETRIC tm;
  GetTextMetrics(c.Dc, &tm);
  EXPECT_EQ(tm.tmHeight, 16);
  SelectObject(c.Dc, old);
  DeleteObject(cell);
}

TEST(InstalledFonts, TextIsAntialiasedAndClearsAlpha) {
  TCanvas c(80, 20);
  c.Surface().Fill(orv::MakePixel(255, 255, 255, 255));
  HFONT f = Font("Arial", -13);
  SelectObject(c.Dc, f);
  SetBkMode(c.Dc, TRANSPARENT);
  const AnsiString text = "Москва, Wg"_a;
  TextOut(c.Dc, 2, 2, text.c_str(), int(text.size()));
  int black = 0, grey = 0, touchedWithAlpha = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 80; ++x) {
      const orv::TPixel p = c.Surface().Pixel(x, y);
      const int g = int(p & 0xFF);
      if (g == 0) ++black;
      else if (g < 255) ++grey;
      if (g < 255 && (p >> 24) != 0) ++touchedWithAlpha;
    }
  EXPECT_GT(black, 10);
  EXPECT_GT(grey, 10);  // grayscale antialiasing
  EXPECT_EQ(touchedWithAlpha, 0);
  // Bold is wider than regular.
  SIZE regular, bold;
  GetTextExtentPoint32(c.Dc, text.c_str(), int(text.size()), &regular);
  HFONT b = Font("Arial", -13, FW_BOLD);
  SelectObject(c.Dc, b);
  GetTextExtentPoint32(c.Dc, text.c_str(), int(text.size()), &bold);
  EXPECT_GT(bold.cx, regular.cx);
  SelectObject(c.Dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
  DeleteObject(b);
}

TEST(InstalledFonts, SymbolCharsetMapsBytesToTheirCharacters) {
  EXPECT_EQ(orv::SymbolToUnicode(0xB4), U'\u00D7');  // multiplication sign
  EXPECT_EQ(orv::SymbolToUnicode('a'), U'\u03B1');   // alpha
  EXPECT_EQ(orv::SymbolToUnicode(0xB0), U'\u00B0');  // degree
  EXPECT_EQ(orv::SymbolToUnicode(0xD6), U'\u221A');  // square root
  TCanvas c(40, 20);
  HFONT sym = Font("Symbol", -14, FW_NORMAL, SYMBOL_CHARSET);
  SelectObject(c.Dc, sym);
  EXPECT_EQ(GetTextCharset(c.Dc), SYMBOL_CHARSET);
  // The byte draws the same pixels as the character itself does in the face the symbol font
  // maps to.
  SetBkMode(c.Dc, TRANSPARENT);
  const char times = char(0xB4);
  TextOut(c.Dc, 0, 0, &times, 1);
  orv::TSurface byByte = c.Surface().Clone();
  const RECT all{0, 0, 40, 20};
  FillRect(c.Dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HFONT plain = Font("DejaVu Sans", -14);
  SelectObject(c.Dc, plain);
  TextOutW(c.Dc, 0, 0, u"\u00D7", 1);
  int differing = 0, inked = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      differing += byByte.Pixel(x, y) != c.Surface().Pixel(x, y);
      inked += (byByte.Pixel(x, y) & 0xFF) < 128;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(inked, 3);
  SelectObject(c.Dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(sym);
  DeleteObject(plain);
}

// Edges, frame controls and text in the test font, against a reviewed golden image.
TEST(GoldenImages, ClassicFrameControlsAndText) {
  TCanvas c(160, 60);
  const RECT all{0, 0, 160, 60};
  FillRect(c.Dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  struct {
    RECT R;
    UINT Type, State;
  } controls[] = {
      {{2, 2, 18, 18}, DFC_BUTTON, DFCS_BUTTONPUSH},
      {{20, 2, 36, 18}, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
      {{38, 2, 51, 15}, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
      {{54, 2, 66, 14}, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
      {{70, 2, 86, 18}, DFC_SCROLL, DFCS_SCROLLUP},
      {{88, 2, 104, 18}, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE},
      {{106, 2, 122, 18}, DFC_SCROLL, DFCS_SCROLLRIGHT},
      {{124, 2, 140, 18}, DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
      {{142, 2, 158, 16}, DFC_CAPTION, DFCS_CAPTIONCLOSE},
  };
  for (auto& ctl : controls) DrawFrameControl(c.Dc, &ctl.R, ctl.Type, ctl.State);
  RECT edge{2, 22, 40, 40};
  DrawEdge(c.Dc, &edge, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
  RECT etched{44, 22, 80, 40};
  DrawEdge(c.Dc, &etched, EDGE_ETCHED, BF_RECT);
  HFONT f = CreateFont(-8, 0, 0, 0, FW_NORMAL, 0, 1, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                       orv::kTestFontFace);
  SelectObject(c.Dc, f);
  SetBkMode(c.Dc, TRANSPARENT);
  RECT text{84, 22, 158, 58};
  const AnsiString caption = "&Найти города по имени"_a;
  DrawText(c.Dc, caption.c_str(), int(caption.size()), &text, DT_WORDBREAK | DT_CENTER);
  RECT focus{2, 44, 80, 58};
  DrawFocusRect(c.Dc, &focus);
  SelectObject(c.Dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
  const std::string golden = std::string(ORV_SOURCE_DIR) +
                             "/platform/drawing/tests/golden/frame-controls.png";
  const orv::TImageCheck check = orv::MatchGoldenImage(c.Surface(), golden);
  EXPECT_TRUE(check) << check.Message;
}

TEST(GoldenImages, MismatchesWriteActualAndDifferenceImages) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("orv-golden-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  orv::TSurface s(4, 3);
  s.Fill(orv::MakePixel(255, 255, 255));
  const std::string path = (dir / "probe.png").string();
  ASSERT_TRUE(orv::WritePng(s, path, false));
  orv::TSurface back;
  ASSERT_TRUE(orv::ReadPng(path, back));
  EXPECT_TRUE(orv::MatchGoldenImage(back, path));
  s.SetPixel(1, 1, orv::MakePixel(255, 0, 0));
  setenv("ORV_GOLDEN_OUT", dir.string().c_str(), 1);
  const orv::TImageCheck check = orv::MatchGoldenImage(s, path);
  unsetenv("ORV_GOLDEN_OUT");
  EXPECT_FALSE(check);
  EXPECT_NE(check.Message.find("(1, 1)"), std::string::npos) << check.Message;
  EXPECT_TRUE(std::filesystem::exists(dir / "probe.actual.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "probe.diff.png"));
  std::filesystem::remove_all(dir);
}

}  // namespace
