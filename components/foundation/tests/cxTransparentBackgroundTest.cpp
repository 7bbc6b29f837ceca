// Painting what lies behind a control: the parent and the windowed siblings below the control
// paint into the control's canvas at the control's position; siblings above it stay out; the
// edges of bordered siblings are drawn; a control without a parent gets nothing.
#include <gtest/gtest.h>

#include <memory>

#include "components/foundation/cxGraphics.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

constexpr COLORREF kBackRed = RGB(255, 0, 0), kBackBlue = RGB(0, 0, 255), kBackGreen = RGB(0, 255, 0);

// A window that fills its client area with one colour and notes whether it painted a copy.
class TFill : public TCustomControl {
  ORV_CLASS(TFill, TCustomControl)
 public:
  TFill(TComponent* owner, TColor color, DWORD exStyle = 0, DWORD style = 0)
      : TCustomControl(owner), FFill(color), FExStyle(exStyle), FStyle(style) {}
  int CopyPaints = 0;

 protected:
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.ExStyle |= FExStyle;
    params.Style |= FStyle;
  }
  void Paint() override {
    if (GetControlState().Contains(csPaintCopy)) ++CopyPaints;
    GetCanvas()->GetBrush()->SetColor(FFill);
    GetCanvas()->FillRect({0, 0, GetClientWidth(), GetClientHeight()});
  }

 private:
  TColor FFill;
  DWORD FExStyle, FStyle;
};

class TransparentBackground : public orv::test::HeadlessFormTest {
 protected:
  TransparentBackground() : HeadlessFormTest({0, 0, 100, 60}) {}
  TFill* Add(TWinControl* parent, const TRect& bounds, TColor color, DWORD exStyle = 0, DWORD style = 0) {
    auto* c = new TFill(Form.get(), color, exStyle, style);
    c->SetParent(parent);
    c->SetBoundsRect(bounds);
    return c;
  }
};

TEST_F(TransparentBackground, ParentAndLowerSiblingsPaintIntoTheControl) {
  TFill* panel = Add(Form.get(), {10, 10, 90, 50}, clRed);
  TFill* below = Add(panel, {0, 0, 12, 12}, clBlue);
  TFill* control = Add(panel, {5, 5, 25, 25}, clWhite);
  TFill* above = Add(panel, {15, 15, 40, 40}, clLime);
  Form->Show();
  Application->ProcessMessages();

  Owned<TBitmap> bitmap(new TBitmap);
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(20, 20);
  bitmap->GetCanvas()->GetBrush()->SetColor(clBlack);
  bitmap->GetCanvas()->FillRect({0, 0, 20, 20});
  DrawTransparentBackgroundOnCanvas(control, bitmap->GetCanvas(), {0, 0, 20, 20});
  auto at = [&](int x, int y) { return ColorToRGB(bitmap->GetCanvas()->GetPixels(x, y)); };
  EXPECT_EQ(at(0, 0), kBackBlue);    // the sibling below covers panel (5..12)
  EXPECT_EQ(at(6, 6), kBackBlue);
  EXPECT_EQ(at(7, 7), kBackRed);     // panel (12, 12): the parent itself
  EXPECT_EQ(at(19, 19), kBackRed);   // under the sibling above, which stays out
  EXPECT_NE(at(15, 15), kBackGreen);
  EXPECT_EQ(below->CopyPaints, 1);
  EXPECT_EQ(panel->CopyPaints, 1);
  EXPECT_EQ(above->CopyPaints, 0);
  EXPECT_FALSE(panel->GetControlState().Contains(csPaintCopy));

  // Only the asked rectangle is painted.
  bitmap->GetCanvas()->FillRect({0, 0, 20, 20});
  DrawTransparentBackgroundOnCanvas(control, bitmap->GetCanvas(), {10, 10, 20, 20});
  EXPECT_EQ(ColorToRGB(bitmap->GetCanvas()->GetPixels(9, 9)), 0u);
  EXPECT_EQ(ColorToRGB(bitmap->GetCanvas()->GetPixels(10, 10)), kBackRed);
}

TEST_F(TransparentBackground, BorderedSiblingsBringTheirEdges) {
  TFill* panel = Add(Form.get(), {0, 0, 60, 40}, clRed);
  Add(panel, {0, 0, 10, 10}, clBlue, WS_EX_CLIENTEDGE);
  Add(panel, {10, 0, 20, 10}, clBlue, 0, WS_BORDER);
  TFill* control = Add(panel, {0, 0, 30, 20}, clWhite);
  Form->Show();
  Application->ProcessMessages();
  Owned<TBitmap> bitmap(new TBitmap);
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(30, 20);
  TcxCanvas canvas(bitmap->GetCanvas());
  DrawParentBackground(control, &canvas, {0, 0, 30, 20});
  auto at = [&](int x, int y) { return ColorToRGB(bitmap->GetCanvas()->GetPixels(x, y)); };
  // The sunken client edge is two pixels wide: shadow outside, dark shadow inside.
  EXPECT_EQ(at(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(at(1, 1), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(at(2, 2), kBackBlue);
  // The mono border: one pixel of the window frame colour around the client area.
  EXPECT_EQ(at(10, 0), ColorToRGB(clWindowFrame));
  EXPECT_EQ(at(11, 1), kBackBlue);
  EXPECT_EQ(at(25, 15), kBackRed);
}

TEST_F(TransparentBackground, AControlWithoutParentGetsNothing) {
  TFill* lonely = new TFill(Form.get(), clBlue);
  Owned<TBitmap> bitmap(new TBitmap);
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(4, 4);
  bitmap->GetCanvas()->GetBrush()->SetColor(clBlack);
  bitmap->GetCanvas()->FillRect({0, 0, 4, 4});
  DrawTransparentBackgroundOnCanvas(lonely, bitmap->GetCanvas(), {0, 0, 4, 4});
  EXPECT_EQ(ColorToRGB(bitmap->GetCanvas()->GetPixels(1, 1)), 0u);
}

}  // namespace
