// The fading objects of a toolbar's mark and of a maximized child's buttons: with the painters of
// this system (none can draw fading parts) and without child windows nothing fades and no
// pictures are made; under a look that fades, the mark fades on the hand-driven clock.

#include <gtest/gtest.h>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarFadingHelpers.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

class FadingHelpersTest : public BarFormTest {
 protected:
  FadingHelpersTest() : BarFormTest({100, 100, 200, 120}) {}
};

TEST_F(FadingHelpersTest, NothingFadesWithoutAFadingPainter) {
  Manager->BeginUpdate();
  TdxBar* bar = Manager->AddToolbar(false);
  for (Integer i = 0; i < 12; ++i) {
    auto* button = new TdxBarButton(Form.get());
    button->SetParentComponent(Manager);
    button->SetCaption("Button" + AnsiString(1, char('A' + i)));
    bar->GetLinks()->AddItem(button);
  }
  bar->SetDockingStyle(dsTop);
  Manager->EndUpdate();
  Form->Show();
  Run();
  for (TdxBarManagerStyle style : {bmsStandard, bmsEnhanced, bmsFlat, bmsOffice11, bmsXP}) {
    SCOPED_TRACE(style);
    Manager->SetStyle(style);
    Run();
    auto* toolbar = dynamic_cast<TdxBarControl*>(bar->GetControl());
    ASSERT_NE(toolbar, nullptr);
    ASSERT_TRUE(toolbar->IsMarkVisible());
    EXPECT_FALSE(Manager->GetPainter()->SupportsFading());
    TdxBarControlMarkFadingHelper mark(toolbar);
    EXPECT_FALSE(mark.CanFade());
    mark.FadeIn();
    EXPECT_EQ(GetGlobalFader()->FindElement(&mark), nullptr);
    TBitmap* normal = nullptr;
    TBitmap* hot = nullptr;
    mark.PrepareFadingImages(normal, hot);
    EXPECT_EQ(normal, nullptr);
    EXPECT_EQ(hot, nullptr);
    for (Integer kind = 0; kind < 3; ++kind) {
      TdxBarControlMDIButtonFadingHelper button(toolbar, kind);
      EXPECT_FALSE(button.CanFade());
      button.FadeIn();
      EXPECT_EQ(GetGlobalFader()->FindElement(&button), nullptr);
    }
  }
}

// A look that fades: the flat look with the mark's background solid red when normal and solid
// blue when hot, drawn the same way into the fader's two pictures.
class TFadingMarkPainter : public TdxBarFlatPainter, public IFadingPainter {
  ORV_CLASS(TFadingMarkPainter, TdxBarFlatPainter)
 public:
  using TdxBarFlatPainter::TdxBarFlatPainter;
  static constexpr COLORREF kNormal = RGB(255, 0, 0);
  static constexpr COLORREF kHot = RGB(0, 0, 255);
  void DrawMarkBackground(TdxBarControl*, HDC dc, HBRUSH, Integer state, const TRect& rect) override {
    HBRUSH brush = CreateSolidBrush(state == 1 ? kHot : kNormal);
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  void DrawMark(TObject* toolbar, HDC dc, Boolean hot, const TRect& rect) override {
    ++gSnapshots;
    DrawMarkBackground(static_cast<TdxBarControl*>(toolbar), dc, nullptr, hot ? 1 : 0, rect);
  }
  Boolean NeedOpaqueFadeImages() override { return true; }
  static inline int gSnapshots = 0;
};

class TFadingTestSkin : public TcxUltraFlatLookAndFeelPainter {
  ORV_CLASS(TFadingTestSkin, TcxUltraFlatLookAndFeelPainter)
};

const TFadingTestSkin& FadingTestSkin() {
  static const TFadingTestSkin skin;
  return skin;
}

// A docked toolbar of twelve buttons, its mark shown, under a skin whose bar look fades.
class MarkFadingTest : public BarFormTest {
 protected:
  MarkFadingTest() : BarFormTest({100, 100, 200, 120}) {}
  void SetUp() override {
    BarFormTest::SetUp();
    SystemParametersInfo(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(1), 0);
    FSavedSkinPainterClass = dxBarSkinPainterClass;
    dxBarSkinPainterClass = TFadingMarkPainter::StaticClass();
    RegisterLookAndFeelPainter(&FadingTestSkin());
    GetExtendedStylePainters()->Register("BarFadingTestSkin", &FadingTestSkin());
    Manager->GetLookAndFeel()->SetSkinName("BarFadingTestSkin");
    Manager->SetStyle(bmsUseLookAndFeel);
    Bar = AddTestToolbar(Manager, Form.get(), "Button", dsTop, 12);
    Show();
    TFadingMarkPainter::gSnapshots = 0;
  }
  void TearDown() override {
    Form.reset();
    dxBarSkinPainterClass = FSavedSkinPainterClass;
    GetExtendedStylePainters()->Unregister("BarFadingTestSkin");
    BarFormTest::TearDown();
  }

  TdxBarControl* Window() const { return dynamic_cast<TdxBarControl*>(Bar->GetControl()); }
  TdxBarControlMarkFadingHelper* Mark() const { return Window()->GetMarkFadingHelper(); }
  TdxFadingElement* Fade() const { return GetGlobalFader()->FindElement(Mark()); }
  static TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  void MoveTo(const TPoint& p) {
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  void MoveOntoMark() { MoveTo(Centre(Window()->GetMarkScreenRect())); }
  // Off the toolbar, onto the form near its bottom (the form spans 100..300 by 100..220).
  void MoveAway() { MoveTo(TPoint{105, 215}); }
  // Ten milliseconds of the clock, then the paints they caused.
  void Tick(int count = 1) {
    orv::headless::AdvanceTime(Cardinal(10 * count));
    Run();
  }
  // The painted colour of the mark's background (its top-left corner, clear of its glyphs).
  COLORREF MarkPixel() const {
    const TRect mark = Window()->GetMarkRect();
    HDC dc = GetDC(Window()->GetHandle());
    const COLORREF color = GetPixel(dc, mark.Left + 1, mark.Top + 1);
    ReleaseDC(Window()->GetHandle(), dc);
    return color;
  }
  // How far the painted mark has come from red to blue (0 to 255).
  int Blueness() const { return GetBValue(MarkPixel()); }

  TdxBar* Bar = nullptr;
  TdxBarPainterClass FSavedSkinPainterClass;
};

TEST_F(MarkFadingTest, TheMarkFadesInOverFourFramesAndOutOverTwelveThenStopsAndPaintsItself) {
  ASSERT_TRUE(Manager->GetPainter()->SupportsFading());
  ASSERT_TRUE(Window()->CanFadeMark());
  ASSERT_TRUE(Window()->IsMarkVisible());
  EXPECT_EQ(MarkPixel(), TFadingMarkPainter::kNormal);
  EXPECT_TRUE(Mark()->IsIdle());

  MoveOntoMark();
  ASSERT_EQ(Window()->GetMarkState(), 1);
  ASSERT_NE(Fade(), nullptr);
  EXPECT_EQ(Fade()->GetState(), dxFadingIn);
  EXPECT_FALSE(Mark()->IsIdle());
  EXPECT_EQ(TFadingMarkPainter::gSnapshots, 2) << "one normal and one hot picture";
  // The first frame is the normal picture, then a quarter of the way at each tick.
  EXPECT_EQ(MarkPixel(), TFadingMarkPainter::kNormal);
  for (int expected : {64, 128, 191, 255}) {
    Tick();
    EXPECT_NEAR(Blueness(), expected, 1);
    EXPECT_NEAR(GetRValue(MarkPixel()), 255 - expected, 1);
  }
  // One tick later the fade is over: the fader lets the mark go, stops its timer and the mark
  // paints its own hot background again.
  Tick();
  EXPECT_EQ(Fade(), nullptr);
  EXPECT_TRUE(Mark()->IsIdle());
  EXPECT_EQ(GetGlobalFader()->GetList()->GetCount(), 0);
  EXPECT_FALSE(GetGlobalFader()->GetTimer()->GetEnabled());
  EXPECT_EQ(MarkPixel(), TFadingMarkPainter::kHot);

  // Leaving fades out from the hot picture: a new frame every second tick, twelve of them.
  MoveAway();
  ASSERT_EQ(Window()->GetMarkState(), 0);
  ASSERT_NE(Fade(), nullptr);
  EXPECT_EQ(Fade()->GetState(), dxFadingOut);
  EXPECT_EQ(MarkPixel(), TFadingMarkPainter::kHot);
  std::vector<int> blues;
  for (int i = 0; i < 24; ++i) {
    Tick();
    blues.push_back(Blueness());
  }
  for (std::size_t i = 2; i < blues.size(); i += 2) EXPECT_LT(blues[i], blues[i - 2]) << i;
  EXPECT_LT(blues.back(), 8);
  Tick(2);
  EXPECT_EQ(Fade(), nullptr);
  EXPECT_FALSE(GetGlobalFader()->GetTimer()->GetEnabled());
  EXPECT_EQ(MarkPixel(), TFadingMarkPainter::kNormal);
}

TEST_F(MarkFadingTest, LeavingDuringTheFadeInTurnsItRoundFromWhereItWas) {
  MoveOntoMark();
  Tick(2);
  const int halfway = Blueness();
  EXPECT_NEAR(halfway, 128, 1);
  MoveAway();
  ASSERT_NE(Fade(), nullptr);
  EXPECT_EQ(Fade()->GetState(), dxFadingOut);
  // No jump to either end: the fade goes on from about where it was, towards red.
  const int turned = Blueness();
  EXPECT_GT(turned, 16);
  EXPECT_LT(turned, 240);
  Tick(40);
  EXPECT_EQ(Fade(), nullptr);
  EXPECT_EQ(MarkPixel(), TFadingMarkPainter::kNormal);
}

TEST_F(MarkFadingTest, APressedMarkNeverFades) {
  // Opened from the normal state (by code) and closed again: neither change fades.
  Window()->SetMarkState(2);
  ASSERT_NE(Window()->GetQuickControl(), nullptr);
  EXPECT_EQ(Fade(), nullptr);
  EXPECT_FALSE(Mark()->CanFade());
  Window()->SetMarkState(0);
  Run();
  EXPECT_EQ(Fade(), nullptr);
  EXPECT_EQ(TFadingMarkPainter::gSnapshots, 0);
}

TEST_F(MarkFadingTest, FreeingTheBarOrHidingItsWindowMidFadeEndsTheFade) {
  struct TCase {
    const char* name;
    bool free;
  } cases[] = {{"hidden", false}, {"freed", true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    if (!Bar) Bar = AddTestToolbar(Manager, Form.get(), "Button", dsTop, 12);
    Bar->SetVisible(true);
    Run();
    MoveOntoMark();
    Tick();
    TdxBarControlMarkFadingHelper* mark = Mark();
    ASSERT_NE(GetGlobalFader()->FindElement(mark), nullptr);
    if (c.free) {
      TdxBar* bar = Bar;
      Bar = nullptr;
      bar->Free();
    } else {
      Bar->SetVisible(false);
    }
    Run();
    // The window went with its fading objects; the fader holds nothing and stops.
    EXPECT_EQ(GetGlobalFader()->GetList()->GetCount(), 0);
    EXPECT_FALSE(GetGlobalFader()->GetTimer()->GetEnabled());
    orv::headless::AdvanceTime(500);
    Run();
    MoveAway();
  }
}

}  // namespace
