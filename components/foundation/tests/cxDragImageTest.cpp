// Drag images, the size frame and the drop arrow on the headless window system: placement by the
// hot spot, showing without activation, clicks passing through, alpha blending, the image
// painted, the frame-shaped window region and its hatching, the arrow's bounds, colour key and
// polygon region.
#include <gtest/gtest.h>

#include <memory>

#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

class TClickCounter : public TCustomControl {
  ORV_CLASS(TClickCounter, TCustomControl)
 public:
  explicit TClickCounter(TComponent* owner) : TCustomControl(owner) {}
  int Downs = 0;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override {
    ++Downs;
    inherited::MouseDown(button, shift, x, y);
  }
};

class DragImageTest : public orv::test::HeadlessFormTest {
 protected:
  DragImageTest() : HeadlessFormTest({100, 100, 400, 300}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Target = new TClickCounter(Form.get());
    Target->SetParent(Form.get());
    Target->SetBounds(0, 0, 400, 300);
    Form->Show();
    Application->ProcessMessages();
  }
  static COLORREF ScreenAt(int x, int y) {
    const orv::TSurface s = orv::headless::CaptureScreen();
    return orv::PixelToColor(s.Pixel(x, y)) & 0xFFFFFF;
  }

  TClickCounter* Target = nullptr;
};

TEST_F(DragImageTest, FollowsTheMouseByItsHotSpot) {
  Owned<TcxDragImage> image(new TcxDragImage);
  image->InitBounds({10, 10, 60, 40}, {20, 15});
  EXPECT_EQ(image->GetWidth(), 50);
  EXPECT_EQ(image->GetHeight(), 30);
  EXPECT_EQ(image->GetHotSpot(), (TPoint{10, 5}));
  EXPECT_FALSE(image->HandleAllocated());
  image->MoveTo({300, 200});
  EXPECT_TRUE(image->HandleAllocated());
  EXPECT_EQ(image->GetBoundsRect(), (TRect{290, 195, 340, 225}));
  // The image is kept at the window's size.
  EXPECT_EQ(image->GetImage()->GetWidth(), 50);
  EXPECT_EQ(image->GetImage()->GetHeight(), 30);
}

TEST_F(DragImageTest, ShowsWithoutActivationAndLetsClicksThrough) {
  Owned<TcxDragImage> image(new TcxDragImage);
  image->InitBounds({0, 0, 100, 80}, {0, 0});
  image->MoveTo({150, 150});
  EXPECT_FALSE(image->GetShowing());
  image->SetShowing(true);
  Application->ProcessMessages();
  EXPECT_TRUE(image->GetShowing());
  EXPECT_EQ(GetActiveWindow(), Form->GetHandle());
  EXPECT_TRUE(GetWindowLong(image->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  // A click on the image reaches the control beneath it.
  orv::headless::Click(200, 200);
  Application->ProcessMessages();
  EXPECT_EQ(Target->Downs, 1);
  image->SetShowing(false);
  EXPECT_FALSE(image->GetShowing());
  EXPECT_FALSE(IsWindowVisible(image->GetHandle()));
}

TEST_F(DragImageTest, IsSemiTransparent) {
  Owned<TcxDragImage> image(new TcxDragImage);
  EXPECT_TRUE(image->GetAlphaBlend());
  EXPECT_EQ(image->GetAlphaBlendValue(), 180);
  EXPECT_TRUE(image->CanUseAlphaBlend());
  image->InitBounds({0, 0, 20, 20}, {0, 0});
  image->MoveTo({50, 50});
  EXPECT_TRUE(GetWindowLong(image->GetHandle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(image->GetHandle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 180);
  EXPECT_TRUE(flags & LWA_ALPHA);
  // Turned off: an opaque window.
  image->SetAlphaBlend(false);
  EXPECT_FALSE(image->CanUseAlphaBlend());
  EXPECT_FALSE(GetWindowLong(image->GetHandle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(DragImageTest, PaintsWhatWasDrawnIntoItsImage) {
  Owned<TcxDragImage> image(new TcxDragImage);
  image->SetAlphaBlend(false);
  image->InitBounds({0, 0, 40, 30}, {0, 0});
  image->GetImageCanvas()->FillRect({0, 0, 40, 30}, TColor(0x0000FF));
  image->GetImageCanvas()->FillRect({10, 10, 20, 20}, TColor(0x00FF00));
  image->MoveTo({500, 400});
  image->SetShowing(true);
  Application->ProcessMessages();
  EXPECT_EQ(ScreenAt(502, 402), 0x0000FFu);
  EXPECT_EQ(ScreenAt(515, 415), 0x00FF00u);
  EXPECT_EQ(ScreenAt(539, 429), 0x0000FFu);
}

// ---- Size frame -------------------------------------------------------------------------------

TEST_F(DragImageTest, SizeFrameShowsOnlyAHatchedFrame) {
  Owned<TcxSizeFrame> frame(new TcxSizeFrame(3));
  EXPECT_FALSE(frame->GetAlphaBlend());
  frame->SetFrameRect({500, 300, 600, 380});
  EXPECT_EQ(frame->GetBoundsRect(), (TRect{500, 300, 600, 380}));
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(frame->GetHandle(), region), ERROR);
  EXPECT_TRUE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, 2, 40));
  EXPECT_TRUE(PtInRegion(region, 97, 40));
  EXPECT_TRUE(PtInRegion(region, 50, 77));
  EXPECT_FALSE(PtInRegion(region, 3, 3));
  EXPECT_FALSE(PtInRegion(region, 50, 40));
  EXPECT_FALSE(PtInRegion(region, 96, 76));
  DeleteObject(region);
  const COLORREF beneath = ScreenAt(550, 340);
  frame->SetShowing(true);
  Application->ProcessMessages();
  // Hatched black and white on the frame; the form shows through the middle.
  const COLORREF a = ScreenAt(500, 300), b = ScreenAt(501, 300), c = ScreenAt(500, 301);
  EXPECT_TRUE((a == 0 && b == 0xFFFFFF) || (a == 0xFFFFFF && b == 0)) << std::hex << a << " " << b;
  EXPECT_EQ(a, ScreenAt(501, 301));
  EXPECT_EQ(b, c);
  EXPECT_EQ(ScreenAt(550, 340), beneath);
}

TEST_F(DragImageTest, SizeFrameFilledShowsTheWholeRectangle) {
  Owned<TcxSizeFrame> frame(new TcxSizeFrame(3));
  frame->SetFillSelection(true);
  frame->SetFrameRect({500, 300, 600, 380});
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(frame->GetHandle(), region), ERROR);
  EXPECT_TRUE(PtInRegion(region, 50, 40));
  EXPECT_TRUE(PtInRegion(region, 99, 79));
  EXPECT_FALSE(PtInRegion(region, 100, 80));
  DeleteObject(region);
}

TEST_F(DragImageTest, SizeFrameTooThinKeepsItsPreviousRegion) {
  Owned<TcxSizeFrame> frame(new TcxSizeFrame(3));
  frame->SetFrameRect({500, 300, 600, 380});
  for (const TRect& thin : {TRect{500, 300, 506, 380}, TRect{500, 300, 600, 305}}) {
    frame->SetFrameRect(thin);
    EXPECT_EQ(frame->GetBoundsRect(), thin);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(frame->GetHandle(), region), ERROR);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(TRect(box), (TRect{0, 0, 100, 80}));
    DeleteObject(region);
  }
}

// ---- Drop arrow -------------------------------------------------------------------------------

TEST_F(DragImageTest, ArrowSitsBesideTheTargetOfTheSite) {
  Owned<TcxDragAndDropArrow> arrow(new TcxDragAndDropArrow(false));
  EXPECT_FALSE(arrow->GetAlphaBlend());
  // The target in the site's client coordinates; the site's client area starts at (100, 100).
  arrow->ShowAt(Target, {100, 50, 200, 70}, apTop, {});
  EXPECT_EQ(arrow->GetBoundsRect(), (TRect{195, 141, 206, 150}));
  arrow->ShowAt(nullptr, {100, 50, 200, 70}, apBottom, {});
  EXPECT_EQ(arrow->GetBoundsRect(), (TRect{95, 70, 106, 79}));
  EXPECT_FALSE(arrow->GetShowing());
}

TEST_F(DragImageTest, OpaqueArrowIsShapedByItsPolygon) {
  Owned<TcxDragAndDropArrow> arrow(new TcxDragAndDropArrow(false));
  EXPECT_FALSE(arrow->GetTransparentColorEnabled());
  arrow->ShowAt(nullptr, {600, 400, 700, 420}, apLeft, {});
  const TRect r = arrow->GetBoundsRect();
  EXPECT_EQ(r, (TRect{591, 395, 600, 406}));
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(arrow->GetHandle(), region), ERROR);
  EXPECT_TRUE(PtInRegion(region, 1, 5));   // the shaft
  EXPECT_TRUE(PtInRegion(region, 7, 5));   // near the tip
  EXPECT_FALSE(PtInRegion(region, 0, 0));  // beside the shaft
  EXPECT_FALSE(PtInRegion(region, 8, 0));
  DeleteObject(region);
  arrow->SetShowing(true);
  Application->ProcessMessages();
  EXPECT_EQ(ScreenAt(r.Left + 2, r.Top + 5), 0x00FF00u);  // lime inside
  EXPECT_EQ(ScreenAt(r.Left + 1, r.Top + 3), 0x000000u);  // the black outline
}

TEST_F(DragImageTest, TransparentArrowUsesTheColourKey) {
  Owned<TcxDragAndDropArrow> arrow(new TcxDragAndDropArrow(true));
  EXPECT_TRUE(arrow->GetTransparentColorEnabled());
  EXPECT_EQ(arrow->GetTransparentColorValue(), TColor(0xFF00FF));
  arrow->ShowAt(nullptr, {600, 400, 700, 420}, apRight, {});
  COLORREF key = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(arrow->GetHandle(), &key, nullptr, &flags));
  EXPECT_EQ(key, 0xFF00FFu);
  EXPECT_TRUE(flags & LWA_COLORKEY);
  // No window region: the key colour hides the corners.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(arrow->GetHandle(), region), ERROR);
  DeleteObject(region);
  const TRect r = arrow->GetBoundsRect();
  const COLORREF beneath = ScreenAt(r.Right - 1, r.Top);
  arrow->SetShowing(true);
  Application->ProcessMessages();
  EXPECT_EQ(ScreenAt(r.Left + 5, r.Top + 5), 0x00FF00u);
  EXPECT_EQ(ScreenAt(r.Right - 1, r.Top), beneath);
}

TEST_F(DragImageTest, ArrowShownAgainElsewherePaintsItsNewPlace) {
  Owned<TcxDragAndDropArrow> arrow(new TcxDragAndDropArrow(false));
  arrow->ShowAt(nullptr, {600, 400, 700, 420}, apLeft, {});
  arrow->SetShowing(true);
  Application->ProcessMessages();
  // The target is clamped into the bounding rectangle first: the arrow stays at its right edge.
  arrow->ShowAt(nullptr, {900, 500, 1000, 520}, apTop, {550, 450, 800, 600});
  EXPECT_EQ(arrow->GetBoundsRect(), (TRect{794, 491, 805, 500}));
  Application->ProcessMessages();
  EXPECT_EQ(ScreenAt(799, 494), 0x00FF00u);
  EXPECT_EQ(ScreenAt(799, 499), 0x000000u);  // the tip's outline
}

TEST_F(DragImageTest, ClassReferencesMakeTheDescendants) {
  TcxDragAndDropArrowClass arrowClass = TcxDragAndDropArrow::StaticClass();
  Owned<TcxDragAndDropArrow> arrow(arrowClass.Create(Boolean(true)));
  EXPECT_TRUE(arrow->GetTransparent());
  TcxDragImageClass imageClass = TcxDragImage::StaticClass();
  Owned<TcxDragImage> image(imageClass.Create());
  EXPECT_TRUE(image->GetAlphaBlend());
}

}  // namespace
