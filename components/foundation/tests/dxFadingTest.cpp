// Fading on the hand-driven clock: frames, reversal, the limit, settings and snapshots.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "components/foundation/cxControls.h"
#include "components/foundation/dxFading.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/controls/Graphics.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using paint_test::TPaintDC;
template <class T>
using Ptr = std::unique_ptr<T, orv::FreeDeleter>;

constexpr Cardinal kNormal = 0xFF000000u;  // opaque black
constexpr Cardinal kHot = 0xFFFFFFFFu;     // opaque white

TBitmap* MakeBitmap(const std::vector<Cardinal>& pixels, TPixelFormat format = pf32bit) {
  auto* bitmap = new TBitmap;
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(Integer(pixels.size()), 1);
  std::memcpy(bitmap->ScanLine(0), pixels.data(), pixels.size() * 4);
  bitmap->Changed(bitmap);
  if (format != pf32bit) bitmap->SetPixelFormat(format);
  return bitmap;
}

// An element that fades between a black and a white pixel and records what the fader does.
class TFadingThing : public TdxFadingObjectHelper {
 public:
  Boolean CanFade() override { return Fades; }
  void RedrawFadingFrame() override {
    ++Redraws;
    if (const Cardinal frame = Frame()) Frames.push_back(frame);
  }
  void GetFadingBitmaps(TBitmap*& normal, TBitmap*& hot, Integer& fadeInFrameCount,
                        Integer& fadeInFrameDelay, Integer& fadeOutFrameCount,
                        Integer& fadeOutFrameDelay) override {
    ++Snapshots;
    DefaultSettings = {fadeInFrameCount, fadeInFrameDelay, fadeOutFrameCount, fadeOutFrameDelay};
    if (!Settings.empty()) {
      fadeInFrameCount = Settings[0];
      fadeInFrameDelay = Settings[1];
      fadeOutFrameCount = Settings[2];
      fadeOutFrameDelay = Settings[3];
    }
    normal = Normal.empty() ? nullptr : MakeBitmap(Normal, Format);
    hot = Hot.empty() ? nullptr : MakeBitmap(Hot, Format);
  }
  // The current frame's first pixel (alpha, red, green, blue), 0 when idle.
  Cardinal Frame() {
    TdxGPImage* image = nullptr;
    TdxFadingElement* element = GetGlobalFader()->FindElement(this);
    return element && element->GetFrameImage(image) ? image->GetPixels()[0] : 0;
  }

  Boolean Fades = true;
  std::vector<Cardinal> Normal{kNormal}, Hot{kHot};
  TPixelFormat Format = pf32bit;
  std::vector<Integer> Settings, DefaultSettings;
  std::vector<Cardinal> Frames;
  int Redraws = 0, Snapshots = 0;
};

class FadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    SystemParametersInfo(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(1), 0);
    Fader = GetGlobalFader();
  }
  void TearDown() override {
    for (auto& thing : Things) Fader->StopFading(thing.get(), true);
    Things.clear();
    orv::headless::Reset();
  }
  TFadingThing* Make() {
    Things.emplace_back(new TFadingThing);
    return Things.back().get();
  }
  static void Tick(int count = 1) { orv::headless::AdvanceTime(Cardinal(10 * count)); }
  static Byte Gray(Cardinal pixel) { return Byte(pixel & 0xFF); }

  TdxFader* Fader = nullptr;
  std::vector<Ptr<TFadingThing>> Things;
};

TEST_F(FadingTest, FadeInShowsFourFramesThenEnds) {
  ASSERT_TRUE(Fader->CanAnimate());
  TFadingThing* thing = Make();
  EXPECT_TRUE(thing->IsIdle());
  Fader->FadeIn(thing);
  EXPECT_FALSE(thing->IsIdle());
  EXPECT_EQ(thing->DefaultSettings, (std::vector<Integer>{4, 15, 12, 20}));
  EXPECT_TRUE(Fader->GetTimer()->GetEnabled());
  // The first frame is the normal picture.
  EXPECT_EQ(thing->Frame(), kNormal);
  std::vector<Byte> grays;
  for (int i = 0; i < 4; ++i) {
    Tick();
    grays.push_back(Gray(thing->Frame()));
  }
  EXPECT_EQ(grays, (std::vector<Byte>{64, 128, 192, 255}));
  // One frame interval later the fade ends on the hot picture and the object paints itself.
  const int redraws = thing->Redraws;
  Tick();
  EXPECT_TRUE(thing->IsIdle());
  EXPECT_EQ(thing->Redraws, redraws + 1);
  EXPECT_EQ(Fader->GetList()->GetCount(), 0);
  EXPECT_FALSE(Fader->GetTimer()->GetEnabled());
}

TEST_F(FadingTest, FadeOutStepsEverySecondTick) {
  TFadingThing* thing = Make();
  Fader->FadeOut(thing);
  EXPECT_EQ(thing->Frame(), kHot);
  Tick();
  EXPECT_EQ(Gray(thing->Frame()), 255);
  Tick();
  EXPECT_EQ(Gray(thing->Frame()), 234);
  Tick(2);
  EXPECT_EQ(Gray(thing->Frame()), 213);
  Tick(2 * 10);
  EXPECT_EQ(Gray(thing->Frame()), 3);
  Tick(2);
  EXPECT_TRUE(thing->IsIdle());
}

TEST_F(FadingTest, ReversedHalfWay) {
  TFadingThing* thing = Make();
  Fader->FadeIn(thing);
  Tick(2);  // stage 2 of 4
  Fader->FadeIn(thing);  // the same direction changes nothing
  TdxFadingElement* element = Fader->FindElement(thing);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->GetStage(), 2);
  Fader->FadeOut(thing);
  EXPECT_EQ(element->GetStage(), 7);  // round(0.6 x 12)
  EXPECT_EQ(Gray(thing->Frame()), 128);  // unchanged until the next step
  Tick(2);
  EXPECT_EQ(Gray(thing->Frame()), 255 - 21 * 8);
  EXPECT_EQ(thing->Snapshots, 1);
}

TEST_F(FadingTest, AfterTheEndANewFadeStartsFromTheHotPicture) {
  TFadingThing* thing = Make();
  Fader->FadeIn(thing);
  Tick(5);
  ASSERT_TRUE(thing->IsIdle());
  Fader->FadeOut(thing);
  EXPECT_EQ(thing->Frame(), kHot);
  EXPECT_EQ(thing->Snapshots, 2);
}

TEST_F(FadingTest, TheEleventhFadeEndsTheOldest) {
  std::vector<TFadingThing*> things;
  for (int i = 0; i < 11; ++i) {
    things.push_back(Make());
    Fader->FadeIn(things.back());
  }
  EXPECT_EQ(Fader->GetList()->GetCount(), 10);
  EXPECT_TRUE(things[0]->IsIdle());
  // It showed its end picture at once.
  EXPECT_EQ(things[0]->Frames.back(), kHot);
  EXPECT_FALSE(things[1]->IsIdle());
  EXPECT_FALSE(things[10]->IsIdle());
}

TEST_F(FadingTest, SettingsAreKeptWithinBounds) {
  struct Case {
    std::vector<Integer> Given;
    Integer InCount, InDelay, OutCount, OutDelay, DelayCount;
  };
  const Case cases[] = {
      {{0, 9, -1, 29}, 4, 15, 12, 29, 1},
      {{40, 1000, 32, 10}, 32, 300, 32, 10, 30},
      {{1, 10, 1, 300}, 1, 10, 1, 300, 1},
  };
  for (const Case& c : cases) {
    TFadingThing* thing = Make();
    thing->Settings = c.Given;
    Fader->FadeIn(thing);
    TdxFadingElement* element = Fader->FindElement(thing);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->GetFadeInFrameCount(), c.InCount);
    EXPECT_EQ(element->GetFadeInFrameDelay(), c.InDelay);
    EXPECT_EQ(element->GetFadeOutFrameCount(), c.OutCount);
    EXPECT_EQ(element->GetFadeOutFrameDelay(), c.OutDelay);
    EXPECT_EQ(element->GetDelayCount(), c.DelayCount);
    Fader->FadeOut(thing);
    EXPECT_EQ(element->GetDelayCount(), std::max<Integer>(c.OutDelay / 10, 1));
    Fader->StopFading(thing);
  }
}

TEST_F(FadingTest, SnapshotsBecomePictures) {
  // 24-bit snapshots are opaque; 32-bit ones keep black transparent pixels and make coloured
  // pixels of alpha 0 opaque.
  const std::vector<Cardinal> pixels{0x00000000u, 0x00102030u, 0x80FFFFFFu};
  Ptr<TBitmap> bits24(MakeBitmap(pixels, pf24bit)), bits32(MakeBitmap(pixels));
  Ptr<TdxGPImage> opaque(TdxFadingElement::BitmapToImage(bits24.get()));
  EXPECT_EQ(opaque->GetPixels(), (TdxRGBColors{0xFF000000u, 0xFF102030u, 0xFFFFFFFFu}));
  Ptr<TdxGPImage> alpha(TdxFadingElement::BitmapToImage(bits32.get()));
  EXPECT_EQ(alpha->GetPixels(), (TdxRGBColors{0x00000000u, 0xFF102030u, 0x80FFFFFFu}));
}

TEST_F(FadingTest, NoFadeWhenNotWantedOrNotPossible) {
  TFadingThing* refuses = Make();
  refuses->Fades = false;
  Fader->FadeIn(refuses);
  TFadingThing* noHot = Make();
  noHot->Hot.clear();
  Fader->FadeIn(noHot);
  EXPECT_EQ(noHot->Snapshots, 1);
  // The base helper never fades; neither does an object without the interface.
  Ptr<TdxFadingObjectHelper> helper(new TdxFadingObjectHelper);
  Fader->FadeIn(helper.get());
  Ptr<TObject> plain(new TObject);
  Fader->FadeIn(plain.get());
  EXPECT_EQ(Fader->GetList()->GetCount(), 0);
  EXPECT_FALSE(Fader->GetTimer()->GetEnabled());
  // Menu animation off: nothing fades.
  SystemParametersInfo(SPI_SETMENUANIMATION, 0, nullptr, 0);
  EXPECT_FALSE(Fader->CanAnimate());
  TFadingThing* thing = Make();
  Fader->FadeIn(thing);
  EXPECT_TRUE(thing->IsIdle());
  EXPECT_EQ(thing->Snapshots, 0);
  // Stopping without a fade does nothing.
  Fader->StopFading(thing);
  EXPECT_EQ(thing->Redraws, 0);
}

TEST_F(FadingTest, StopFadingShowsTheEndAndTheObjectPaintsItself) {
  TFadingThing* thing = Make();
  Fader->FadeIn(thing);
  Tick();
  TPaintDC dc(4, 4, 0x0000FF);
  thing->DrawFadingFrame(dc.Dc, {0, 0, 2, 2});
  EXPECT_EQ(dc.At(0, 0), RGB(64, 64, 64));
  EXPECT_EQ(dc.At(2, 2), 0x0000FFu);
  const int redraws = thing->Redraws;
  Fader->StopFading(thing, true);
  EXPECT_EQ(thing->Redraws, redraws + 1);
  EXPECT_EQ(thing->Frames.back(), kHot);
  EXPECT_TRUE(thing->IsIdle());
  dc.Clear(0x0000FF);
  thing->DrawFadingFrame(dc.Dc, {0, 0, 2, 2});
  EXPECT_EQ(dc.At(0, 0), 0x0000FFu);
  // The names the bars use.
  TBitmap* fadeOut = nullptr;
  TBitmap* fadeIn = nullptr;
  thing->PrepareFadingImages(fadeOut, fadeIn);
  Ptr<TBitmap> a(fadeOut), b(fadeIn);
  EXPECT_EQ(a->GetWidth(), 1);
  thing->RefreshFadingPart();
  EXPECT_EQ(thing->Redraws, redraws + 2);
}

}  // namespace

