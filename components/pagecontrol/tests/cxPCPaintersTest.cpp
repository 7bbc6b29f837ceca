// The tab painters: the shared drawing routines, the sizes each style gives, and one golden
// image per style (classic system colours, the test font).
#include <cstring>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/tests/PaintFixture.h"
#include "components/pagecontrol/tests/PCFixture.h"

using namespace pc_test;

namespace {

COLORREF Pixel(TWinControl* c, int x, int y) {
  const orv::TSurface surface = orv::headless::CaptureWindow(c->GetHandle());
  return orv::PixelToColor(surface.Pixel(x, y));
}

}  // namespace

// ---- Drawing utilities ----

TEST(PCPainterUtilitiesTest, DrawRectLinesMovesEachSideInwards) {
  paint_test::TPaintDC dc(12, 12);
  TcxCanvas canvas(dc.Dc);
  TRect r{0, 0, 10, 10};
  DrawRectLines(&canvas, r, {0, 1, 2, 3}, {clRed, clLime, clBlue, clBlack}, true);
  EXPECT_EQ(r, Rect(1, 1, 9, 9));
  EXPECT_TRUE(dc.Art({0, 0, 10, 10},
                     "RGGGGGGGGG\n"
                     "R........B\n"
                     "R........B\n"
                     "R........B\n"
                     "R........B\n"
                     "R........B\n"
                     "R........B\n"
                     "R........B\n"
                     "R........B\n"
                     "RKKKKKKKKB\n",
                     {{'R', 0x0000FF}, {'G', 0x00FF00}, {'B', 0xFF0000}, {'K', 0x000000}, {'.', 0xFFFFFF}}));
  // Only the inside stays paintable.
  canvas.FillRectWithColor({0, 0, 12, 12}, clYellow);
  EXPECT_EQ(dc.At(0, 5), COLORREF(0x0000FF));
  EXPECT_EQ(dc.At(5, 5), COLORREF(0x00FFFF));
  EXPECT_EQ(dc.At(10, 10), COLORREF(0x00FFFF));
}

TEST(PCPainterUtilitiesTest, HueSaturationValue) {
  struct TCase {
    TColor Color;
    double H, S, V;
  };
  const TCase cases[] = {{TColor(RGB(255, 0, 0)), 0, 100, 100},
                         {TColor(RGB(0, 0, 255)), 240, 100, 100},
                         {TColor(RGB(128, 128, 128)), 0, 0, 128 * 100.0 / 255},
                         {TColor(RGB(255, 0, 255)), 300, 100, 100}};
  for (const TCase& k : cases) {
    double h, s, v;
    ColorToHSV(k.Color, h, s, v);
    EXPECT_DOUBLE_EQ(h, k.H);
    EXPECT_DOUBLE_EQ(s, k.S);
    EXPECT_DOUBLE_EQ(v, k.V);
  }
  EXPECT_EQ(HSVToColor(0, 0, 100), TColor(RGB(255, 255, 255)));
  EXPECT_EQ(HSVToColor(0, 0, 50), TColor(RGB(127, 127, 127)));
  EXPECT_EQ(HSVToColor(120, 100, 100), TColor(RGB(0, 255, 0)));
  // Value 90 raised by 20 percent stops at 100.
  double h, s, v;
  ColorToHSV(BrightenColor(HSVToColor(200, 50, 90), 20), h, s, v);
  EXPECT_NEAR(v, 100, 0.5);
  EXPECT_EQ(BrightenColor(TColor(RGB(0, 0, 0)), 50), TColor(RGB(0, 0, 0)));
  EXPECT_EQ(BrightenColor(TColor(RGB(255, 255, 255)), 50), TColor(RGB(255, 255, 255)));
}

TEST(PCPainterUtilitiesTest, FigureRegionMovesOneGroupOfSegments) {
  // A 10 x 10 square: left edge up, top edge right, right edge down.
  const TPoints points{{0, 9}, {0, 0}, {9, 0}, {9, 9}};
  const TLinePositions positions{lpL, lpT, lpR};
  std::unique_ptr<TcxRegion, orv::FreeDeleter> left(CreateFigureRegion(points, positions, true));
  std::unique_ptr<TcxRegion, orv::FreeDeleter> right(CreateFigureRegion(points, positions, false));
  // The left group moves the left edge right and the top edge down.
  EXPECT_FALSE(left->PtInRegion(0, 5));
  EXPECT_TRUE(left->PtInRegion(1, 5));
  EXPECT_TRUE(right->PtInRegion(0, 5));
  EXPECT_TRUE(right->PtInRegion(9, 5));
}

// ---- Sizes by style ----

TEST_F(PCTest, TabSizesFollowTheStyle) {
  auto* c = Add(0, 0, 289, 193);
  AddTabs(c, {"abcde", "abcdefgh"});  // 30 and 48 pixels of text
  struct TCase {
    TcxPCStyleID Style;
    Integer Height, Width0, Width1;
  };
  const TCase cases[] = {{1, 18, 42, 60}, {2, 20, 42, 60}, {3, 20, 42, 60},
                         {5, 17, 39, 57}, {6, 17, 39, 57}, {8, 17, 39, 57}, {7, 18, 42, 60}};
  for (const TCase& k : cases) {
    c->SetStyle(k.Style);
    EXPECT_EQ(c->GetTabs()->GetTabNormalHeight(), k.Height) << k.Style;
    EXPECT_EQ(c->GetTabs()->GetTab(0)->GetNormalWidth(), k.Width0) << k.Style;
    EXPECT_EQ(c->GetTabs()->GetTab(1)->GetNormalWidth(), k.Width1) << k.Style;
  }
  c->SetStyle(1);
  c->SetTabWidth(100);
  EXPECT_EQ(c->GetTabs()->GetTab(0)->GetNormalWidth(), 100);
  c->SetTabHeight(10);
  EXPECT_EQ(c->GetTabs()->GetTabNormalHeight(), 18);
  c->SetTabHeight(30);
  EXPECT_EQ(c->GetTabs()->GetTabNormalHeight(), 30);
}

TEST_F(PCTest, Office11WithoutTabsIsOneGradient) {
  auto* c = Add(10, 10, 100, 60);
  c->SetStyle(8);
  Show();
  EXPECT_EQ(Pixel(c, 50, 0), COLORREF(ColorToRGB(Office11BackgroundColor1)));
  EXPECT_EQ(Pixel(c, 50, 59), COLORREF(ColorToRGB(Office11BackgroundColor2)));
  c->SetOptions(cxPCDefaultOptions - TcxPCOptions{pcoGradient});
  Run();
  const COLORREF mix = ColorToRGB(BlendColors(Office11BackgroundColor1, Office11BackgroundColor2, 50));
  EXPECT_EQ(Pixel(c, 50, 0), mix);
  EXPECT_EQ(Pixel(c, 50, 59), mix);
  c->SetShowFrame(true);
  Run();
  EXPECT_EQ(Pixel(c, 0, 30), COLORREF(ColorToRGB(Office11HighlightColor)));
  EXPECT_EQ(Pixel(c, 1, 30), mix);
}

TEST_F(PCTest, ExtraFlatLinesBetweenRowAndPage) {
  auto* c = Add(10, 10, 200, 80);
  c->SetStyle(5);
  AddTabs(c, {"One", "Two"});
  Show();
  const TRect second = TabRect(c, 1);
  const Integer x = second.Left + 5;
  EXPECT_EQ(second.Bottom, 17);
  EXPECT_EQ(Pixel(c, x, 17), COLORREF(0xFFFFFF));
  EXPECT_EQ(Pixel(c, x, 18), COLORREF(ColorToRGB(clBtnFace)));
  EXPECT_EQ(Pixel(c, x, 19), COLORREF(ColorToRGB(clBtnFace)));
}

// ---- One golden image per style ----

class PCStyleGoldenTest : public PCTest, public ::testing::WithParamInterface<TcxPCStyleID> {};

TEST_P(PCStyleGoldenTest, Paints) {
  auto* c = Add(10, 10, 240, 90);
  c->SetStyle(GetParam());
  AddTabs(c, {"One", "Two", "Three", "Off"});
  c->GetTabs()->GetTab(3)->SetEnabled(false);
  c->SetTabIndex(1);
  c->SetShowFrame(true);
  Show();
  EXPECT_TRUE(Golden(c, "style-" + std::to_string(GetParam()) + ".png"));
}

INSTANTIATE_TEST_SUITE_P(Styles, PCStyleGoldenTest, ::testing::Values(1, 2, 3, 5, 6, 7, 8, 9, 10));

TEST_F(PCTest, GoldenVerticalCaptionsAndNavigator) {
  auto* left = Add(10, 10, 120, 150);
  left->SetStyle(1);
  left->SetTabPosition(tpLeft);
  AddTabs(left, {"One", "Two", "Three"});
  auto* scrolled = Add(140, 10, 200, 60);
  scrolled->SetStyle(6);
  scrolled->SetOptions(cxPCDefaultOptions + TcxPCOptions{pcoGoDialog, pcoCloseButton});
  AddTabs(scrolled, {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"});
  auto* bottom = Add(140, 80, 200, 80);
  bottom->SetStyle(8);
  bottom->SetTabPosition(tpBottom);
  AddTabs(bottom, {"One", "Two", "Three"});
  bottom->SetTabIndex(2);
  Show();
  EXPECT_TRUE(Golden(left, "tabs-left.png"));
  EXPECT_TRUE(Golden(scrolled, "ultraflat-navigator.png"));
  EXPECT_TRUE(Golden(bottom, "office11-bottom.png"));
}

TEST_F(PCTest, SlantedTabsKeepTheirHeightFromLayoutToLayout) {
  auto* c = Add(10, 10, 240, 90);
  c->SetStyle(9);
  AddTabs(c, {"One", "Two"});
  const Integer height = c->GetTabs()->GetTabNormalHeight();
  const Integer cut = static_cast<TcxPCSlantedPainter*>(c->GetPainter())->GetCutValue();
  c->RequestLayout();
  c->RequestLayout();
  EXPECT_EQ(c->GetTabs()->GetTabNormalHeight(), height);
  EXPECT_EQ(static_cast<TcxPCSlantedPainter*>(c->GetPainter())->GetCutValue(), cut);
  EXPECT_EQ(cut, height - 1);
  // Without slant positions: vertical ends with small cut corners, an extra width of 8.
  c->GetTabSlants()->SetPositions({});
  EXPECT_EQ(static_cast<TcxPCSlantedPainter*>(c->GetPainter())->GetMinTabExtraWidth(), 8);
  c->SetRotate(true);
  EXPECT_EQ(static_cast<TcxPCSlantedPainter*>(c->GetPainter())->GetMinTabExtraWidth(), 0);
}

TEST_F(PCTest, GoldenMultiLineAndOtherSides) {
  auto makeRows = [&](Integer x, Integer y, TcxPCStyleID style, TcxTabPosition position) {
    auto* c = Add(x, y, 180, 110);
    c->SetStyle(style);
    c->SetTabPosition(position);
    c->SetMultiLine(true);
    AddTabs(c, {"One", "Two", "Three", "Four", "Five", "Six", "Seven"});
    c->SetTabIndex(1);
    return c;
  };
  auto* tabs = makeRows(5, 5, 1, tpTop);
  auto* office = makeRows(195, 5, 8, tpTop);
  auto* extraFlat = makeRows(5, 125, 5, tpBottom);
  auto* slanted = Add(195, 125, 180, 110);
  slanted->SetStyle(9);
  slanted->SetTabPosition(tpRight);
  AddTabs(slanted, {"One", "Two", "Three"});
  slanted->SetTabIndex(1);
  Show();
  EXPECT_EQ(tabs->GetRowCount(), 2);
  EXPECT_TRUE(Golden(tabs, "multiline-tabs.png"));
  EXPECT_TRUE(Golden(office, "multiline-office11.png"));
  EXPECT_TRUE(Golden(extraFlat, "multiline-extraflat-bottom.png"));
  EXPECT_TRUE(Golden(slanted, "slanted-right.png"));
}
