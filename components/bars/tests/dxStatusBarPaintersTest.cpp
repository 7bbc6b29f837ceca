// The status bar painters on the headless desktop: one golden image per painter of a bar with
// every panel style, and the painters' own metrics.
#include <gtest/gtest.h>

#include "components/bars/tests/StatusBarFixture.h"
#include "components/foundation/dxOffice11.h"

using namespace sb_test;

namespace {

class StatusBarPaintersTest : public StatusBarTest {
 protected:
  // Text, keyboard state, indicators, an empty container and a long last text.
  void Fill() {
    Form->SetBounds(100, 100, 520, 120);
    AddPanel("TdxStatusBarTextPanelStyle", 130, "Всего найдено: 12"_a);
    TdxStatusBarPanel* keys = AddPanel("TdxStatusBarKeyboardStatePanelStyle");
    static_cast<TdxStatusBarKeyboardStatePanelStyle*>(keys->GetPanelStyle())
        ->SetKeyboardStates({dxksCapsLock, dxksNumLock});
    TdxStatusBarPanel* lamps = AddPanel("TdxStatusBarStateIndicatorPanelStyle");
    auto* indicators = static_cast<TdxStatusBarStateIndicatorPanelStyle*>(lamps->GetPanelStyle())->GetIndicators();
    indicators->Add()->SetIndicatorType(sitGreen);
    indicators->Add()->SetIndicatorType(sitRed);
    AddPanel("TdxStatusBarContainerPanelStyle", 60);
    TdxStatusBarPanel* last = AddPanel("TdxStatusBarTextPanelStyle", 50, "Длинный текст последней панели"_a);
    static_cast<TdxStatusBarTextPanelStyle*>(last->GetPanelStyle())->SetEllipsisType(dxetTruncate);
  }
};

}  // namespace

TEST_F(StatusBarPaintersTest, GoldenImagePerPainter) {
  Fill();
  struct TCase {
    TdxStatusBarPaintStyle Style;
    TdxStatusBarPainterClass Painter;
    const char* Golden;
  };
  // Without visual styles the themed style falls back to the standard painter.
  const TCase cases[] = {
      {stpsStandard, TdxStatusBarStandardPainter::Class(), "statusbar-standard.png"},
      {stpsFlat, TdxStatusBarFlatPainter::Class(), "statusbar-flat.png"},
      {stpsOffice11, TdxStatusBarOffice11Painter::Class(), "statusbar-office11.png"},
      {stpsXP, TdxStatusBarStandardPainter::Class(), "statusbar-standard.png"},
  };
  Show();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Golden);
    Bar->SetPaintStyle(c.Style);
    Run();
    EXPECT_EQ(Bar->GetPainterClassValue(), c.Painter);
    EXPECT_TRUE(Golden(Capture(), c.Golden));
  }
}

TEST_F(StatusBarPaintersTest, LookAndFeelChoosesThePainter) {
  Bar->SetPaintStyle(stpsUseLookAndFeel);
  struct TCase {
    TcxLookAndFeelKind Kind;
    TdxStatusBarPainterClass Painter;
  };
  const TCase cases[] = {{lfFlat, TdxStatusBarStandardPainter::Class()},
                         {lfStandard, TdxStatusBarStandardPainter::Class()},
                         {lfUltraFlat, TdxStatusBarFlatPainter::Class()},
                         {lfOffice11, TdxStatusBarOffice11Painter::Class()}};
  for (const TCase& c : cases) {
    Bar->GetLookAndFeel()->SetKind(c.Kind);
    EXPECT_EQ(Bar->GetPainterClassValue(), c.Painter) << int(c.Kind);
  }
  // The native style needs visual styles, which this platform lacks.
  Bar->GetLookAndFeel()->SetNativeStyle(true);
  EXPECT_FALSE(Bar->IsVisualStylesAvailable());
  EXPECT_EQ(Bar->GetPainterClassValue(), TdxStatusBarOffice11Painter::Class());
}

TEST_F(StatusBarPaintersTest, EmptyBarAndPanelBevels) {
  Show();
  // Without panels one lowered panel covers the content area: its shadow edge at the top left.
  const TRect area = Bar->GetPanelsBounds();
  orv::TSurface s = Capture();
  EXPECT_EQ(At(s, area.Left + 3, area.Top), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(s, area.Left, area.Top + 3), ColorToRGB(clBtnShadow));
  // A panel without bevel is background over its whole rectangle.
  TdxStatusBarPanel* panel = AddPanel("TdxStatusBarTextPanelStyle", 100);
  panel->SetBevel(dxpbNone);
  auto* style = static_cast<TdxStatusBarTextPanelStyle*>(panel->GetPanelStyle());
  style->SetColor(clYellow);
  AddPanel("TdxStatusBarTextPanelStyle", 50);
  Run();
  const TRect cell = Bar->GetPanelRect(0);
  s = Capture();
  EXPECT_EQ(CountColor(s, cell, ColorToRGB(clYellow)), cell.Width() * cell.Height());
  // The Office 11 painter draws its frame in 90 % of the second gradient colour and ignores the
  // panel colour.
  panel->SetBevel(dxpbLowered);
  Bar->SetPaintStyle(stpsOffice11);
  Run();
  const TRect cell11 = Bar->GetPanelRect(0);
  s = Capture();
  EXPECT_EQ(At(s, cell11.Left, cell11.Top + 5), ColorToRGB(BlendColors(Office11ToolbarGradientColor2, clBlack, 90)));
  EXPECT_EQ(CountColor(s, cell11, ColorToRGB(clYellow)), 0);
}

TEST_F(StatusBarPaintersTest, FlatKeyCellsHaveTheirOwnFrames) {
  Bar->SetPaintStyle(stpsFlat);
  TdxStatusBarPanel* keys = AddPanel("TdxStatusBarKeyboardStatePanelStyle");
  auto* style = static_cast<TdxStatusBarKeyboardStatePanelStyle*>(keys->GetPanelStyle());
  style->SetKeyboardStates({dxksCapsLock, dxksNumLock});
  AddPanel("TdxStatusBarTextPanelStyle", 50);
  Show();
  const TRect cell = Bar->GetPanelRect(0);
  TcxCanvas* canvas = Bar->GetCanvasOrScreenCanvas();
  canvas->SetFont(style->GetFont());
  const Integer capsWidth = style->GetCapsLockKeyAppearance()->GetCellWidth(canvas) + 2;
  const COLORREF shadow = ColorToRGB(clBtnShadow);
  orv::TSurface s = Capture();
  // The first cell's frame, then the separator gap in the bar colour, then the second frame.
  EXPECT_EQ(At(s, cell.Left, cell.Top + 5), shadow);
  EXPECT_EQ(At(s, cell.Left + capsWidth - 1, cell.Top + 5), shadow);
  EXPECT_EQ(At(s, cell.Left + capsWidth, cell.Top + 5), ColorToRGB(clBtnFace));
  EXPECT_EQ(At(s, cell.Left + capsWidth + 2, cell.Top + 5), shadow);
  EXPECT_EQ(keys->GetWidth(), capsWidth + 2 + style->GetNumLockKeyAppearance()->GetCellWidth(canvas) + 2);
}

TEST_F(StatusBarPaintersTest, GripSquareReachesFurtherWhenPanelsFillTheWidth) {
  AddPanel("TdxStatusBarTextPanelStyle", 100);
  Show();
  ASSERT_FALSE(Bar->GetViewInfo()->GetPanelsFillWidth());
  const TRect r = Bar->GetPanelsBounds();
  // The grip's background square ends one pixel inside the content; it fills one more column
  // when the panels fill the width.
  Bar->SetColor(clRed);
  Run();
  const int y = r.Bottom - 12;
  EXPECT_EQ(At(Capture(), r.Right - 1, y), ColorToRGB(clRed));
  TdxStatusBarPanel* wide = AddPanel("TdxStatusBarTextPanelStyle", 2000);
  (void)wide;
  Run();
  ASSERT_TRUE(Bar->GetViewInfo()->GetPanelsFillWidth());
  EXPECT_EQ(At(Capture(), r.Right - 1, y), ColorToRGB(clRed));
  EXPECT_EQ(Bar->GetPainterClassValue()->GetSizeGripSize(), (TSize{16, 16}));
}

TEST_F(StatusBarPaintersTest, ThemedPainterMetricsWithoutVisualStyles) {
  TdxStatusBarPainterClass xp = TdxStatusBarXPPainter::Class();
  EXPECT_EQ(xp->GetSizeGripSize(), (TSize{16, 16}));
  EXPECT_EQ(xp->GetSeparatorWidth(), 2);
  Bar->SetBorderWidth(4);
  EXPECT_EQ(xp->GetBorderWidths(Bar), Rect(0, 2, 0, 0));
  EXPECT_EQ(TdxStatusBarStandardPainter::Class()->GetBorderWidths(Bar), Rect(4, 6, 4, 4));
}
