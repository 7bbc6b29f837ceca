#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/drawing/Gdi.h"

namespace {

using paint_test::TPaintDC;
using CanvasPtr = std::unique_ptr<TcxCanvas, orv::FreeDeleter>;

// One sheet of the elements every control draws through a painter, in the classic system
// colours with the test font: buttons in each state, check boxes, radio buttons, expand
// buttons, header cells with sort arrows, a footer cell, indicator cells, scroll-bar parts, the
// filter buttons and the size grip.
void DrawSheet(TcxCustomLookAndFeelPainterClass painter, TcxCanvas* canvas) {
  LOGFONT lf{};
  lf.lfHeight = -8;
  std::strcpy(lf.lfFaceName, orv::kTestFontFace);
  canvas->SetFont(lf);
  canvas->FillRectWithColor({0, 0, 240, 100}, clBtnFace);
  const TcxButtonState states[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};
  for (int i = 0; i < 5; ++i) {
    painter->DrawPushButton(canvas, {2 + 46 * i, 2, 46 + 46 * i, 20}, "Ok", states[i]);
    painter->DrawCheckBox(canvas, {2 + 16 * i, 24, 15 + 16 * i, 37}, states[i], i % 2 == 0);
    painter->DrawRadioButton(canvas, 82 + 16 * i, 24, states[i], i % 2 == 0, false, clDefault);
  }
  painter->DrawCheckBoxWithState(canvas, {162, 24, 175, 37}, cxbsNormal, cbsGrayed);
  const Integer size = painter->ExpandCollapseButtonSize() ? painter->ExpandCollapseButtonSize() : 11;
  painter->DrawExpandCollapseButton(canvas, MakeRectBounds(180, 24, size, size), false);
  canvas->SetClipRegion(new TcxRegion(0, 0, 240, 100), roSet);
  painter->DrawExpandCollapseButton(canvas, MakeRectBounds(196, 24, size, size), true);
  canvas->SetClipRegion(new TcxRegion(0, 0, 240, 100), roSet);
  painter->DrawSmallPlusMinusButton(canvas, {214, 24, 223, 33}, false, clBtnShadow, clWindow);

  // Header: indicator, two cells (the second hot, sorted), a footer cell below.
  painter->DrawIndicatorCell(canvas, {2, 42, 14, 58}, ikArrow, painter->DefaultHeaderColor());
  const TRect cell1{14, 42, 74, 58}, cell2{74, 42, 134, 58};
  painter->DrawHeaderCell(canvas, cell1, GetInflatedRect(cell1, -3, -1), {nLeft, nRight},
                          painter->HeaderCellBorders({nLeft, nRight}), cxbsNormal, 0, vaCenter,
                          false, true, "Town", nullptr, painter->DefaultHeaderTextColor(),
                          painter->DefaultHeaderColor());
  painter->DrawHeaderCell(canvas, cell2, GetInflatedRect(cell2, -3, -1), {nLeft},
                          painter->HeaderCellBorders({nLeft}), cxbsHot, 0, vaCenter, false, true,
                          "Lat", nullptr, painter->DefaultHeaderTextColor(),
                          painter->DefaultHeaderColor());
  painter->DrawSortArrow(canvas, {116, 44, 132, 56}, true);
  painter->DrawFooterCell(canvas, {14, 60, 74, 76}, 1, vaCenter, false, "42", nullptr,
                          painter->DefaultFooterTextColor(), painter->DefaultFooterColor());
  painter->DrawIndicatorCell(canvas, {2, 60, 14, 76}, ikFilter, painter->DefaultHeaderColor());
  painter->DrawFilterDropDownArrowButton(canvas, {80, 62, 95, 76}, cxbsNormal, false);
  painter->DrawFilterDropDownArrowButton(canvas, {96, 62, 111, 76}, cxbsHot, true);
  painter->DrawFilterBoxCloseButton(canvas, {112, 62, 128, 76}, cxbsNormal);

  // A vertical scroll bar: arrows, page areas and thumb.
  painter->DrawScrollBarElement(canvas, false, {140, 42, 156, 58}, sbpLineUp, cxbsNormal);
  painter->DrawScrollBarElement(canvas, false, {140, 58, 156, 64}, sbpPageUp, cxbsPressed);
  painter->DrawScrollBarElement(canvas, false, {140, 64, 156, 76}, sbpThumbnail, cxbsHot);
  painter->DrawScrollBarElement(canvas, false, {140, 76, 156, 82}, sbpPageDown, cxbsNormal);
  painter->DrawScrollBarElement(canvas, false, {140, 82, 156, 98}, sbpLineDown, cxbsPressed);
  painter->DrawScrollBarElement(canvas, true, {160, 82, 176, 98}, sbpLineUp, cxbsDisabled);
  painter->DrawSizeGripArea(canvas, {180, 82, 196, 98}, painter->DefaultSizeGripAreaColor());
  painter->DrawControlBorder(canvas, {200, 42, 236, 78});
  painter->DrawLabelLine(canvas, {2, 84, 130, 86}, clDefault, clDefault, false);
}

class PainterGoldenTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    AcquireOffice11Resources();
    RefreshOffice11Colors();
    LookAndFeelPaintersSystemColorsChanged();
  }
  void TearDown() override { ReleaseOffice11Resources(); }
};

TEST_P(PainterGoldenTest, ElementSheet) {
  const AnsiString name = GetParam();
  TcxCustomLookAndFeelPainterClass painter =
      name == "standard"    ? TcxStandardLookAndFeelPainter::Class()
      : name == "flat"      ? TcxFlatLookAndFeelPainter::Class()
      : name == "ultraflat" ? TcxUltraFlatLookAndFeelPainter::Class()
                            : TcxOffice11LookAndFeelPainter::Class();
  TPaintDC dc(240, 100);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  DrawSheet(painter, canvas.get());
  EXPECT_TRUE(dc.Golden("painter-" + name + ".png"));
}

INSTANTIATE_TEST_SUITE_P(Painters, PainterGoldenTest,
                         ::testing::Values("standard", "flat", "ultraflat", "office11"));

}  // namespace
