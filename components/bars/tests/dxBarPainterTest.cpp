// The bar painter's metrics and style answers of the plain look: the values that depend on the
// manager, the canvas and the system's metrics, which a painter reads at each call.

#include <gtest/gtest.h>

#include <memory>

#include "components/bars/dxBar.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxFading.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// A painter that can fade.
class TFadingTestPainter : public TdxBarFlatPainter, public IFadingPainter {
  ORV_CLASS(TFadingTestPainter, TdxBarFlatPainter)
 public:
  using TdxBarFlatPainter::TdxBarFlatPainter;
  void DrawMark(TObject*, HDC, Boolean, const TRect&) override {}
  Boolean NeedOpaqueFadeImages() override { return false; }
};

class BarPainterTest : public orv::test::HeadlessFormTest {
 protected:
  // A form of no size with border and caption, never shown: the bars are only built.
  BarPainterTest() : HeadlessFormTest({0, 0, 0, 0}, false) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = new TdxBarManager(Form.get());
  }
  TdxBarPainter* Painter() const { return Manager->GetPainter(); }

  TdxBarManager* Manager = nullptr;
};

TEST_F(BarPainterTest, TheButtonArrowIsAlwaysOddAndDoubledForLargeIcons) {
  struct {
    int width;
    bool large;
    int expected;
  } cases[] = {{8, false, 9}, {8, true, 17}, {9, false, 9}, {9, true, 19}, {16, false, 17}, {11, false, 11}};
  for (auto c : cases) {
    Manager->SetButtonArrowWidth(c.width);
    Manager->SetLargeIcons(c.large);
    EXPECT_EQ(Painter()->GetButtonArrowWidth(Manager), c.expected) << c.width << (c.large ? " large" : "");
  }
  Manager->SetLargeButtonArrowWidth(20);
  EXPECT_EQ(Painter()->GetLargeButtonArrowWidth(Manager), 20);
}

TEST_F(BarPainterTest, SizesDerivedFromOtherAnswers) {
  // The plain look every style falls back to (the classic styles never call items compact).
  Owned<TdxBarPainter> plain(new TdxBarPainter(Painter()->GetSkinPainter()));
  TdxBarPainter* p = plain.get();
  EXPECT_TRUE(p->IsCompactHeight(nullptr, TRect{0, 0, 10, 16}));
  EXPECT_FALSE(p->IsCompactHeight(nullptr, TRect{0, 0, 10, 17}));
  EXPECT_EQ(p->GetSeparatorOffset(), 2);
  EXPECT_EQ(p->CalcMenuArrowWidth(19), 13);  // 19 div 4 * 3 + 1
  EXPECT_EQ(p->CalcMenuArrowWidth(3), 1);
  EXPECT_EQ(p->CalcDetachGripOffset(11), 2);
  EXPECT_EQ(p->CalcComboArrowWidth(nullptr, 6), 11);
  EXPECT_EQ(p->GetMenuBorderOffset(nullptr), 2);
  TSize size;
  p->CalcExtendedSize(10, 20, size);
  EXPECT_EQ(size.cx, 17);
  EXPECT_EQ(size.cy, 26);
  TRect offsets;
  p->GetComboButtonOffsets(0, offsets);  // the edit buttons' offsets
  EXPECT_EQ(offsets, (TRect{2, 2, 2, 2}));
}

TEST_F(BarPainterTest, CaptionMetricsFollowTheSystemAtEachCall) {
  orv::SystemSettings().NonClient.iSmCaptionHeight = 15;
  TdxBarPainter* p = Painter();
  EXPECT_EQ(p->GetSmallCaptionHeight(), 15);
  EXPECT_EQ(p->GetFloatingCaptionHeight(nullptr), 16);
  TSize button;
  p->GetCaptionButtonSize(button);
  EXPECT_EQ(button.cx, 15);
  EXPECT_EQ(button.cy, 15);
  orv::SystemSettings().NonClient.iSmCaptionHeight = 21;  // no cache
  EXPECT_EQ(p->GetFloatingCaptionHeight(nullptr), 22);
  TSize grip;
  p->GetSizeGripSize(Manager, grip);
  EXPECT_EQ(grip.cx, GetSystemMetrics(SM_CXHSCROLL));
  EXPECT_EQ(grip.cy, GetSystemMetrics(SM_CYHSCROLL));
}

TEST_F(BarPainterTest, TheTextHeightIsThatOfWgPlusSix) {
  HDC dc = CreateCompatibleDC(nullptr);
  {
    TcxCanvas canvas(dc);
    Owned<TFont> font(new TFont);
    font->SetName(orv::kTestFontFace);
    font->SetHeight(-16);  // a cell of 16 + 4 pixels
    canvas.SetFont(font.get());
    EXPECT_EQ(Painter()->CalcTextHeight(&canvas), 26);
    EXPECT_EQ(Painter()->CalcMenuTextHeight(nullptr, &canvas), 26);
  }
  DeleteDC(dc);
}

TEST_F(BarPainterTest, OnlyAPainterThatCanFadeSupportsFading) {
  for (TdxBarManagerStyle style : {bmsStandard, bmsEnhanced, bmsFlat, bmsOffice11}) {
    Manager->SetStyle(style);
    EXPECT_FALSE(Painter()->SupportsFading()) << int(style);
  }
  Owned<TdxBarPainter> fading(new TFadingTestPainter(nullptr));
  EXPECT_TRUE(fading->SupportsFading());
}

}  // namespace
