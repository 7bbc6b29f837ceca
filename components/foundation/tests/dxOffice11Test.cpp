#include <gtest/gtest.h>

#include <set>
#include <string>

#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/drawing/Gdi.h"

namespace {

using paint_test::TPaintDC;

// Every test starts from the palette of the classic system colours.
class Office11 : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::SetSysColorTable(nullptr);
    AcquireOffice11Resources();
  }
  void TearDown() override {
    ReleaseOffice11Resources();
    orv::SetMsimg32Available(true);
    orv::SetSysColorTable(nullptr);
    RefreshOffice11Colors();
  }
};

TEST_F(Office11, WithoutVisualStylesThePaletteDerivesFromSystemColours) {
  EXPECT_EQ(GetOffice11ColorScheme(), 0);
  EXPECT_FALSE(IsOffice11SchemeThemed());
  EXPECT_EQ(Office11TwoStageGradientPercent, 75);
  // Classic colours: face (212, 208, 200), shadow 128 grey, highlight (10, 36, 106), window
  // white, text black, grey text 128 grey. Expected values worked out by hand.
  const struct {
    int Entry;
    COLORREF Value;
  } cases[] = {
      {1, RGB(212, 208, 200)},  {2, RGB(246, 246, 244)},  {3, RGB(246, 245, 243)},
      {4, RGB(214, 210, 202)},  {5, RGB(161, 161, 161)},  {6, RGB(128, 128, 128)},
      {7, RGB(218, 215, 208)},  {9, RGB(192, 192, 192)},  {10, RGB(170, 168, 164)},
      {11, RGB(158, 158, 158)}, {12, RGB(255, 255, 255)}, {13, RGB(167, 167, 167)},
      {14, RGB(255, 255, 255)}, {15, RGB(0, 0, 0)},       {17, RGB(128, 128, 128)},
      {18, RGB(214, 210, 202)}, {21, RGB(255, 255, 255)}, {29, RGB(226, 225, 224)},
      {31, RGB(128, 128, 128)}, {32, RGB(183, 191, 212)}, {33, RGB(10, 36, 106)},
      {34, RGB(183, 191, 212)}, {39, RGB(210, 211, 216)}, {40, RGB(136, 147, 177)},
      {37, RGB(136, 147, 177)}, {41, RGB(214, 210, 202)}, {42, RGB(0, 0, 0)},
      {43, RGB(128, 128, 128)}, {45, RGB(170, 168, 164)}, {49, RGB(210, 211, 216)},
      {51, RGB(212, 208, 200)}, {54, RGB(128, 128, 128)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(COLORREF(orv::Office11Palette[std::size_t(c.Entry)]), c.Value) << "entry " << c.Entry;
  // The names other subsystems read are the same entries.
  EXPECT_EQ(&Office11ToolbarGradientColor1, &Office11Color03);
  EXPECT_EQ(&Office11BorderColor, &Office11Color31);
  EXPECT_EQ(&Office11SelectedColor1, &Office11Color34);
  EXPECT_EQ(&dxOffice11BackgroundColor2, &Office11Color04);
  // The toolbar mark's state colours: normal from the palette, hot and pressed mixed.
  EXPECT_EQ(Office11MarkGradientColors1[0], Office11Color05);
  EXPECT_EQ(Office11MarkGradientColors2[0], Office11Color06);
  EXPECT_EQ(Office11MarkLightColors[0], Office11Color09);
  EXPECT_EQ(Office11MarkMidColors[0], Office11Color10);
  const TColor hot = GetNearestScreenColor(MixSystemColors(-15, 29, 86));
  EXPECT_EQ(Office11MarkGradientColors1[1], hot);
  EXPECT_EQ(Office11MarkGradientColors2[1], hot);
  EXPECT_EQ(Office11MarkLightColors[1], BlendColors(hot, clWhite, 50));
  EXPECT_EQ(Office11MarkMidColors[2],
            BlendColors(GetNearestScreenColor(MixSystemColors(42, 11, 47)), Office11Color08, 50));
}

TEST_F(Office11, ResourcesAreReferenceCounted) {
  ASSERT_NE(Office11HighlightBrush, nullptr);
  // Live palette listeners of earlier tests (brush caches, painters) hold references too: lend
  // theirs for the test so that the fixture's reference is the last one.
  const Integer others = Office11ResourcesReferenceCount() - 1;
  for (Integer i = 0; i < others; ++i) ReleaseOffice11Resources();
  AcquireOffice11Resources();
  ReleaseOffice11Resources();
  LOGBRUSH lb{};
  EXPECT_EQ(GetObject(Office11HighlightBrush, sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(10, 36, 106));
  ASSERT_NE(Office11SubMenuExpandBitmap, nullptr);
  ReleaseOffice11Resources();
  EXPECT_EQ(Office11HighlightBrush, nullptr);
  EXPECT_EQ(Office11SubMenuExpandBitmap, nullptr);
  // The colours stay readable; a refresh without references recomputes only them.
  orv::SetSysColor(COLOR_HIGHLIGHT, RGB(200, 0, 0));
  RefreshOffice11Colors();
  EXPECT_EQ(COLORREF(Office11Color33), RGB(200, 0, 0));
  EXPECT_EQ(Office11HighlightBrush, nullptr);
  AcquireOffice11Resources();  // balanced by TearDown
  for (Integer i = 0; i < others; ++i) AcquireOffice11Resources();
}

TEST_F(Office11, TheSubMenuArrowIsRecolouredBetweenTheTwoBackgroundColours) {
  orv::TSurface* s = orv::GetBitmapSurface(Office11SubMenuExpandBitmap);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(orv::PixelToColor(s->Pixel(0, 0)), 0xFF00FFu);
  EXPECT_EQ(orv::PixelToColor(s->Pixel(1, 1)), COLORREF(Office11Color03));  // lighter stroke
  EXPECT_EQ(orv::PixelToColor(s->Pixel(1, 4)), COLORREF(Office11Color04));  // darker stroke
}

TEST_F(Office11, ColourArithmetic) {
  EXPECT_EQ(BlendColors(clWhite, clBlack, 50), TColor(RGB(128, 128, 128)));
  EXPECT_EQ(BlendColors(clRed, clBlue, 100), clRed);
  EXPECT_EQ(ScaleColorComponents(RGB(200, 100, 51), 50), TColor(RGB(100, 50, 25)));
  EXPECT_EQ(FadeColorToWhite(RGB(0, 100, 255), 50), TColor(RGB(128, 178, 255)));
  EXPECT_EQ(MixSystemColors(100, 0, 0), TColor(RGB(212, 208, 200)));
  // A black or white button face answers the highlight colour itself.
  orv::SetSysColor(COLOR_BTNFACE, 0);
  EXPECT_EQ(MixSystemColors(-2, 30, 72), TColor(RGB(10, 36, 106)));
  EXPECT_TRUE(IsBlackButtonFace());
  EXPECT_TRUE(IsBlackButtonFaceColoredText());
  orv::SetSysColor(COLOR_BTNFACE, 0xFFFFFF);
  EXPECT_TRUE(IsWhiteButtonFace());
}

TEST_F(Office11, SoftwareGradientsUseAtMost256BandsEndingInTheSecondColour) {
  orv::SetMsimg32Available(false);
  TPaintDC dc(1000, 2);
  const TRect r{0, 0, 1000, 2};
  DrawGradientRect(dc.Dc, r, RGB(0, 0, 0), RGB(255, 255, 255), true);
  std::set<COLORREF> colours;
  for (int x = 0; x < 1000; ++x) {
    colours.insert(dc.At(x, 1));
    ASSERT_EQ(dc.At(x, 0), COLORREF(GetGradientColorAtPos(r, x, RGB(0, 0, 0), RGB(255, 255, 255), true)))
        << "x " << x;
  }
  EXPECT_EQ(colours.size(), 256u);
  EXPECT_EQ(dc.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(dc.At(999, 0), RGB(255, 255, 255));
  // Fewer pixels than 256: one band per pixel, vertically too.
  TPaintDC tall(1, 5);
  DrawGradientRect(tall.Dc, {0, 0, 1, 5}, RGB(0, 0, 0), RGB(200, 100, 40), false);
  EXPECT_EQ(tall.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(tall.At(0, 2), RGB(100, 50, 20));
  EXPECT_EQ(tall.At(0, 4), RGB(200, 100, 40));
}

TEST_F(Office11, AOnePixelGradientTakesTheStartColour) {
  orv::SetMsimg32Available(false);
  TPaintDC dc(3, 3);
  DrawGradientRect(dc.Dc, {1, 1, 2, 2}, RGB(0, 10, 20), RGB(255, 255, 255), true);
  EXPECT_EQ(dc.At(1, 1), RGB(0, 10, 20));
  EXPECT_EQ(GetGradientColorAtPos({1, 1, 2, 2}, 1, RGB(0, 10, 20), clWhite, true),
            TColor(RGB(0, 10, 20)));
}

TEST_F(Office11, EqualColoursFillSolid) {
  for (bool msimg : {true, false}) {
    orv::SetMsimg32Available(msimg);
    TPaintDC dc(6, 4);
    DrawGradientRect(dc.Dc, {0, 0, 6, 4}, clBtnFace, RGB(212, 208, 200), true);
    FillTwoStageGradient(dc.Dc, {0, 2, 6, 4}, RGB(1, 2, 3), RGB(1, 2, 3), false);
    EXPECT_TRUE(dc.Art({0, 0, 6, 4}, R"(
        ffffff
        ffffff
        cccccc
        cccccc)", {{'f', RGB(212, 208, 200)}, {'c', RGB(1, 2, 3)}}));
  }
}

TEST_F(Office11, TwoStageGradientPassesTheMiddleColourHalfWay) {
  TPaintDC dc(10, 1);
  FillTwoStageGradient(dc.Dc, {0, 0, 10, 1}, RGB(200, 200, 200), RGB(0, 100, 40), true);
  // P = 75: the middle colour lies 37.5 percent of the way, at band 5.
  EXPECT_EQ(dc.At(0, 0), RGB(200, 200, 200));
  EXPECT_EQ(dc.At(5, 0), RGB(125, 162, 140));
  EXPECT_EQ(dc.At(9, 0), RGB(0, 100, 40));
  for (int x = 1; x < 10; ++x) EXPECT_LE(GetRValue(dc.At(x, 0)), GetRValue(dc.At(x - 1, 0)));
}

TEST_F(Office11, GripDotsAndTheDiagonalSizeGrip) {
  TPaintDC dc(14, 12);
  HBRUSH black = CreateSolidBrush(0), red = CreateSolidBrush(RGB(255, 0, 0));
  DrawOffice11GripDots(dc.Dc, {0, 0, 14, 4}, false, black, red);
  // 14 = 3 x 4 + 2: the run starts one pixel in.
  EXPECT_TRUE(dc.Art({0, 0, 14, 4}, R"(
      .##..##..##...
      .##r.##r.##r..
      ..rr..rr..rr..
      ..............)", {{'.', 0xFFFFFF}, {'#', 0}, {'r', RGB(255, 0, 0)}}));
  dc.Clear(0xFFFFFF);
  DrawOffice11GripDots(dc.Dc, {0, 0, 4, 9}, true, black, red);
  // 9 = 2 x 4 + 1: one pixel down.
  EXPECT_TRUE(dc.Art({0, 0, 4, 9}, R"(
      ....
      ##..
      ##r.
      .rr.
      ....
      ##..
      ##r.
      .rr.
      ....)", {{'.', 0xFFFFFF}, {'#', 0}, {'r', RGB(255, 0, 0)}}));
  DeleteObject(black);
  DeleteObject(red);
  dc.Clear(0xFFFFFF);
  DrawDiagonalSizeGrip(dc.Dc, {2, 0, 14, 12}, clBlack, clRed);
  EXPECT_TRUE(dc.Art({2, 0, 14, 12}, R"(
      ............
      ........##..
      ........##r.
      .........rr.
      ............
      ....##..##..
      ....##r.##r.
      .....rr..rr.
      ............
      ##..##..##..
      ##r.##r.##r.
      .rr..rr..rr.)", {{'.', 0xFFFFFF}, {'#', 0}, {'r', RGB(255, 0, 0)}}));
  // Default colours: the palette's light dots over dark shades.
  dc.Clear(0);
  DrawDiagonalSizeGrip(dc.Dc, {0, 0, 12, 12});
  EXPECT_EQ(dc.At(0, 9), COLORREF(Office11Color12));
  EXPECT_EQ(dc.At(2, 11), COLORREF(Office11Color11));
}

TEST_F(Office11, ArrowsAreSizedByTheirRectangleAndColouredByState) {
  TPaintDC dc(16, 16);
  DrawOffice11ArrowInRect(dc.Dc, {0, 0, 16, 8}, true, true, false);
  DrawOffice11ArrowInRect(dc.Dc, {0, 8, 8, 24}, false, false, false);
  EXPECT_TRUE(dc.Art({0, 0, 16, 16}, R"(
      ................
      ................
      .....#####......
      ......###.......
      .......#........
      ................
      ................
      ................
      ................
      ................
      ................
      ................
      ..g.............
      ..gg............
      ..ggg...........
      ..gggg..........)", {{'.', 0xFFFFFF}, {'#', 0}, {'g', RGB(128, 128, 128)}}));
  // Selected on a white button face: white.
  orv::SetSysColor(COLOR_BTNFACE, 0xFFFFFF);
  dc.Clear(0);
  DrawOffice11Arrow(dc.Dc, {0, 0, 16, 8}, true, 3, true, true);
  EXPECT_EQ(dc.At(7, 3), RGB(255, 255, 255));
}

TEST_F(Office11, SelectionFrame) {
  TPaintDC dc(4, 3);
  DrawOffice11SelectionFrame(dc.Dc, {0, 0, 4, 3});
  EXPECT_TRUE(dc.Art({0, 0, 4, 3}, R"(
      hhhh
      h..h
      hhhh)", {{'.', 0xFFFFFF}, {'h', RGB(10, 36, 106)}}));
}

TEST_F(Office11, GradientsGolden) {
  TPaintDC dc(64, 40);
  DrawGradientRect(dc.Dc, {0, 0, 64, 8}, RGB(255, 0, 0), RGB(0, 0, 255), true);
  orv::SetMsimg32Available(false);
  DrawGradientRect(dc.Dc, {0, 8, 64, 16}, RGB(255, 0, 0), RGB(0, 0, 255), true);
  DrawGradientRect(dc.Dc, {0, 24, 24, 40}, RGB(0, 128, 0), RGB(255, 255, 0), false);
  orv::SetMsimg32Available(true);
  FillTwoStageGradient(dc.Dc, {0, 16, 64, 24}, RGB(255, 255, 255), RGB(0, 0, 128), true);
  FillTwoStageGradient(dc.Dc, {24, 24, 40, 40}, Office11Color03, Office11Color04, false);
  DrawDiagonalSizeGrip(dc.Dc, {40, 24, 64, 40});
  DrawOffice11GripDots(dc.Dc, {40, 24, 44, 40}, true);
  EXPECT_TRUE(dc.Golden("office11-gradients.png"));
}

// A bound theme library with the stock theme and its colour names selects the schemes.
struct LunaLibrary {
  static inline const char16_t* File = u"C:\\Themes\\Luna.msstyles";
  static inline const char16_t* Color = u"NormalColor";
  static orv::TThemeLibrary Make() {
    orv::TThemeLibrary lib;
    lib.IsThemeActive = [] { return BOOL(1); };
    lib.OpenThemeData = [](HANDLE, const char16_t*) { return HTHEME(1); };
    lib.CloseThemeData = [](HTHEME) { return S_OK; };
    lib.GetCurrentThemeName = [](char16_t* f, int, char16_t* c, int, char16_t*, int) {
      std::u16string(File).copy(f, 1000);
      std::u16string(Color).copy(c, 1000);
      return S_OK;
    };
    return lib;
  }
};

TEST_F(Office11, ThemedSchemesTakeTheirOwnColumn) {
  const orv::TThemeLibrary lib = LunaLibrary::Make();
  orv::BindThemeLibrary(&lib);
  const struct {
    const char16_t* File;
    const char16_t* Color;
    int Scheme;
    COLORREF First;
    int Percent;
  } cases[] = {
      {u"C:\\Themes\\Luna.msstyles", u"NormalColor", 1, 0xF5BE9E, 41},
      {u"C:\\Themes\\luna.msstyles", u"HomeStead", 2, 0xA7D9D9, 125},
      {u"C:\\Themes\\Luna.msstyles", u"Metallic", 3, 0xE5D7D7, 40},
      {u"C:\\Themes\\Luna.msstyles", u"Other", 0, RGB(212, 208, 200), 75},
      // Another theme on a platform of version 5: no scheme, whatever its colour name.
      {u"C:\\Themes\\Zune.msstyles", u"NormalColor", 0, RGB(212, 208, 200), 75},
  };
  for (const auto& c : cases) {
    LunaLibrary::File = c.File;
    LunaLibrary::Color = c.Color;
    RefreshOffice11Colors();
    EXPECT_EQ(GetOffice11ColorScheme(), c.Scheme);
    EXPECT_EQ(IsOffice11SchemeThemed(), c.Scheme != 0);
    EXPECT_EQ(COLORREF(Office11Color01), c.First);
    EXPECT_EQ(Office11TwoStageGradientPercent, c.Percent);
  }
  LunaLibrary::File = u"C:\\Themes\\Luna.msstyles";
  LunaLibrary::Color = u"NormalColor";
  RefreshOffice11Colors();
  // Derived entries follow the scheme's own values.
  EXPECT_EQ(Office11Color45, Office11Color10);
  EXPECT_EQ(Office11Color10, BlendColors(0x913500, 0xE0A47B, 50));
  EXPECT_EQ(COLORREF(Office11Color54), 0xE0A47Bu);
  orv::BindThemeLibrary(nullptr);
}

}  // namespace
