// The glyph cache of item controls: a repaint in the same look copies the cached picture instead
// of building the look again, a changed glyph, index or look fills it anew, and what the cache
// shows is pixel for pixel what direct drawing shows.

#include <gtest/gtest.h>

#include <map>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarDrawing.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

using orv::test::Owned;

namespace {

// How often the foundation built each image's look (its hook is asked once per building).
std::map<Integer, Integer>& BuiltLooks() {
  static std::map<Integer, Integer> built;
  return built;
}
Boolean CountBuiltLook(TcxCanvas*, TCustomImageList*, Integer imageIndex, TcxImageDrawMode, const TRect&, TcxBitmap*) {
  ++BuiltLooks()[imageIndex];
  return false;
}

class BarGlyphCacheTest : public orv::test::HeadlessFormTest {
 protected:
  BarGlyphCacheTest() : HeadlessFormTest({100, 100, 240, 90}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
    Images = new TCustomImageList(Form.get(), 16, 16);
    AddImage(clRed);
    AddImage(clBlue);
    Manager->SetImages(Images);
    // The main menu takes the whole row, so both buttons show.
    Toolbar = Manager->AddToolbar(true);
    First = AddButton(0);
    Second = AddButton(1);
    Toolbar->SetVisible(true);
    BuiltLooks().clear();
    cxDrawGlyphHook = &CountBuiltLook;
  }
  void TearDown() override {
    cxDrawGlyphHook = nullptr;
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }

  void AddImage(TColor color) {
    Owned<TBitmap> picture(new TBitmap);
    picture->SetSize(16, 16);
    picture->GetCanvas()->GetBrush()->SetColor(clFuchsia);
    picture->GetCanvas()->FillRect(Rect(0, 0, 16, 16));
    picture->GetCanvas()->GetBrush()->SetColor(color);
    picture->GetCanvas()->FillRect(Rect(3, 3, 13, 13));
    Images->AddMasked(picture.get(), clFuchsia);
  }
  TdxBarButton* AddButton(Integer imageIndex) {
    auto* button = new TdxBarButton(Form.get());
    button->SetParentComponent(Manager);
    button->SetCaption("B");
    button->SetImageIndex(imageIndex);
    Toolbar->GetLinks()->AddItem(button);
    return button;
  }
  TCustomdxBarControl* Window() const { return Toolbar->GetControl(); }
  TdxBarItemControl* ControlOf(TdxBarButton* button) const {
    return Toolbar->GetLinks()->GetItem(button == First ? 0 : 1)->GetControl();
  }
  // Paints the toolbar window again at once.
  void Repaint() {
    RedrawWindow(Window()->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Run();
  }
  orv::TSurface Capture() { return orv::headless::CaptureWindow(Window()->GetHandle()); }
  // The colour at the centre of a button.
  COLORREF CentreOf(const orv::TSurface& s, TdxBarButton* button) {
    // The capture starts at the window's outer corner, the item rectangle at its client origin.
    const TRect r = ControlOf(button)->GetItemRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(Window()->GetHandle(), &p);
    RECT w{};
    GetWindowRect(Window()->GetHandle(), &w);
    return orv::PixelToColor(s.Pixel(p.X - w.Left, p.Y - w.Top));
  }
  static Boolean SameImage(const orv::TSurface& a, const orv::TSurface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if ((a.Pixel(x, y) & 0xFFFFFF) != (b.Pixel(x, y) & 0xFFFFFF)) return false;
    return true;
  }

  TdxBarManager* Manager = nullptr;
  TCustomImageList* Images = nullptr;
  TdxBar* Toolbar = nullptr;
  TdxBarButton* First = nullptr;
  TdxBarButton* Second = nullptr;
};

}  // namespace

TEST_F(BarGlyphCacheTest, RepaintsInTheSameLookCopyTheCachedGlyphs) {
  Show();
  ASSERT_NE(Window(), nullptr);
  ASSERT_TRUE(Window()->HandleAllocated());
  // The first painting builds each look once.
  EXPECT_EQ(BuiltLooks()[0], 1);
  EXPECT_EQ(BuiltLooks()[1], 1);
  BuiltLooks().clear();
  Repaint();
  Repaint();
  EXPECT_TRUE(BuiltLooks().empty());
  const orv::TSurface cached = Capture();
  EXPECT_EQ(CentreOf(cached, First), ColorToRGB(clRed));
  EXPECT_EQ(CentreOf(cached, Second), ColorToRGB(clBlue));

  // Without caching every repaint builds every look, and shows the same pixels.
  Manager->GetImageOptions()->SetCacheGlyphs(false);
  Repaint();
  Repaint();
  EXPECT_EQ(BuiltLooks()[0], 2);
  EXPECT_EQ(BuiltLooks()[1], 2);
  EXPECT_TRUE(SameImage(Capture(), cached));
}

TEST_F(BarGlyphCacheTest, AChangedImageIndexOrLookFillsTheCacheAgain) {
  Show();
  BuiltLooks().clear();
  // Same list, another image: a cache that only compared the list would show the red one.
  First->SetImageIndex(1);
  Repaint();
  EXPECT_GE(BuiltLooks()[1], 1);
  EXPECT_EQ(CentreOf(Capture(), First), ColorToRGB(clBlue));
  BuiltLooks().clear();
  // Disabled is another look: built, then copied.
  Second->SetEnabled(false);
  Repaint();
  const Integer built = BuiltLooks()[1];
  EXPECT_GE(built, 1);
  Repaint();
  EXPECT_EQ(BuiltLooks()[1], built);
  EXPECT_NE(CentreOf(Capture(), Second), ColorToRGB(clBlue));
  // Back to enabled: the normal look again.
  Second->SetEnabled(true);
  Repaint();
  EXPECT_EQ(CentreOf(Capture(), Second), ColorToRGB(clBlue));
  // The image list's contents change: every control's cached picture goes.
  BuiltLooks().clear();
  AddImage(clGreen);
  Repaint();
  EXPECT_EQ(BuiltLooks()[1], 2);
}

TEST_F(BarGlyphCacheTest, CachedGlyphsMatchDirectDrawingInEveryLook) {
  for (TdxBarManagerStyle style : {bmsStandard, bmsEnhanced, bmsFlat, bmsOffice11}) {
    SCOPED_TRACE(int(style));
    Manager->SetStyle(style);
    Manager->GetImageOptions()->SetCacheGlyphs(true);
    Show();
    Repaint();
    Repaint();
    const orv::TSurface cached = Capture();
    Manager->GetImageOptions()->SetCacheGlyphs(false);
    Repaint();
    EXPECT_TRUE(SameImage(Capture(), cached));
  }
}

TEST(BarGlyphDrawing, TheCacheKeepsOneLookOfOneSource) {
  Owned<TCustomImageList> images(new TCustomImageList(nullptr, 8, 8));
  Owned<TCustomImageList> other(new TCustomImageList(nullptr, 8, 8));
  Owned<TBitmap> picture(new TBitmap);
  picture->SetSize(8, 8);
  picture->GetCanvas()->GetBrush()->SetColor(clRed);
  picture->GetCanvas()->FillRect(Rect(0, 0, 8, 8));
  images->AddMasked(picture.get(), clNone);
  TdxCachedImageOptions cache;
  EXPECT_FALSE(cache.IsValid(idmNormal, images.get(), nullptr));
  cache.Fill(TRect{0, 0, 8, 8}, idmNormal, images.get(), 0, nullptr, clNone, true, false);
  EXPECT_TRUE(cache.IsValid(idmNormal, images.get(), nullptr));
  EXPECT_FALSE(cache.IsValid(idmLight, images.get(), nullptr));
  EXPECT_FALSE(cache.IsValid(idmNormal, other.get(), nullptr));
  EXPECT_FALSE(cache.IsValid(idmNormal, images.get(), picture.get()));
  cache.Fill(TRect{0, 0, 8, 8}, idmNormal, nullptr, -1, picture.get(), clNone, true, false);
  EXPECT_TRUE(cache.IsValid(idmNormal, nullptr, picture.get()));
  EXPECT_FALSE(cache.IsValid(idmNormal, images.get(), nullptr));
  cache.Invalidate();
  EXPECT_FALSE(cache.IsValid(idmNormal, nullptr, picture.get()));
  // Nothing to draw leaves an empty picture, which is never valid.
  cache.Fill(TRect{0, 0, 0, 0}, idmNormal, images.get(), 0, nullptr, clNone, true, false);
  EXPECT_FALSE(cache.IsValid(idmNormal, images.get(), nullptr));
}

TEST(BarGlyphDrawing, TheListImageLooksTheSameDrawnDirectlyOrFromTheCache) {
  Owned<TCustomImageList> images(new TCustomImageList(nullptr, 8, 8));
  Owned<TBitmap> picture(new TBitmap);
  picture->SetSize(8, 8);
  picture->GetCanvas()->GetBrush()->SetColor(clFuchsia);
  picture->GetCanvas()->FillRect(Rect(0, 0, 8, 8));
  picture->GetCanvas()->GetBrush()->SetColor(clRed);
  picture->GetCanvas()->FillRect(Rect(2, 2, 6, 6));
  images->AddMasked(picture.get(), clFuchsia);
  TdxCachedImageOptions cache;
  for (TdxCachedImageOptions* c : {static_cast<TdxCachedImageOptions*>(nullptr), &cache, &cache}) {
    Owned<TBitmap> target(new TBitmap);
    target->SetSize(12, 12);
    target->GetCanvas()->GetBrush()->SetColor(clLime);
    target->GetCanvas()->FillRect(Rect(0, 0, 12, 12));
    const TRect glyphRect{2, 2, 10, 10};
    DrawItemGlyphImage(c, target->GetCanvas()->GetHandle(), nullptr, true, false, TdxBarGlyphLookFlags(), clFuchsia, 0,
                       images.get(), nullptr, glyphRect, glyphRect);
    HDC dc = target->GetCanvas()->GetHandle();
    EXPECT_EQ(::GetPixel(dc, 5, 5), ColorToRGB(clRed));
    // The list's transparent colour lets the background through.
    EXPECT_EQ(::GetPixel(dc, 2, 2), ColorToRGB(clLime));
    EXPECT_EQ(::GetPixel(dc, 0, 0), ColorToRGB(clLime));
  }
}
