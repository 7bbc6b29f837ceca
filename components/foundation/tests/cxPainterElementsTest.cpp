// The painters' clock, progress text, calendar, navigator, group box, splitter and navigation
// elements, and the themed painter without visual styles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxStyles.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/DateTime.h"
#include "platform/windowing/Headless.h"

namespace {

using paint_test::TPaintDC;
using CanvasPtr = std::unique_ptr<TcxCanvas, orv::FreeDeleter>;
using Painter = TcxCustomLookAndFeelPainterClass;

const Painter kBasePainter = TcxCustomLookAndFeelPainter::Class();
const Painter kStandardPainter = TcxStandardLookAndFeelPainter::Class();
const Painter kFlatPainter = TcxFlatLookAndFeelPainter::Class();
const Painter kUltraFlatPainter = TcxUltraFlatLookAndFeelPainter::Class();
const Painter kOffice11Painter = TcxOffice11LookAndFeelPainter::Class();
const Painter kThemedPainter = TcxWinXPLookAndFeelPainter::Class();

constexpr COLORREF kTeal = 0x808000, kAqua = 0xFFFF00, kElementRed = 0x0000FF, kWhite = 0xFFFFFF;

class PainterElementsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AcquireOffice11Resources();
    RefreshOffice11Colors();
  }
  void TearDown() override { ReleaseOffice11Resources(); }

  static void SetTestFont(TcxCanvas* canvas, Integer height = -8) {
    LOGFONT lf{};
    lf.lfHeight = height;
    std::strcpy(lf.lfFaceName, orv::kTestFontFace);
    canvas->SetFont(lf);
  }
  // Every pixel (all 32 bits) of the two surfaces is equal.
  static bool SameImage(TPaintDC& a, TPaintDC& b) {
    orv::TSurface &sa = a.Surface(), &sb = b.Surface();
    if (sa.Width() != sb.Width() || sa.Height() != sb.Height()) return false;
    for (int y = 0; y < sa.Height(); ++y)
      if (std::memcmp(sa.Row(y), sb.Row(y), std::size_t(sa.Width()) * 4) != 0) return false;
    return true;
  }
  // Pixels of `area` equal to `color`.
  static int Count(TPaintDC& dc, const TRect& area, COLORREF color) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x) n += dc.At(x, y) == color;
    return n;
  }
};

TEST_F(PainterElementsTest, ClockAtNoonPointsEveryHandUp) {
  TPaintDC dc(60, 60, 0x00FF00);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kUltraFlatPainter->DrawClockFace(canvas.get(), {0, 0, 60, 60}, EncodeTime(12, 0, 0, 0), clWhite);
  // The mark at three o'clock: the teal dot, aqua on its left and top, button text below and
  // right; the face fill left it alone.
  EXPECT_EQ(dc.At(58, 30), kTeal);
  EXPECT_EQ(dc.At(57, 29), kAqua);
  EXPECT_EQ(dc.At(57, 31), kAqua);
  EXPECT_EQ(dc.At(59, 30), ColorToRGB(clBtnText));
  EXPECT_EQ(dc.At(58, 31), ColorToRGB(clBtnText));
  // Twelve o'clock's mark at the top, six o'clock's at the bottom.
  EXPECT_EQ(dc.At(30, 2), kTeal);
  EXPECT_EQ(dc.At(30, 58), kTeal);
  // The second hand runs up from the centre over the teal hands; nothing hangs below it.
  EXPECT_EQ(dc.At(30, 12), kElementRed);
  EXPECT_EQ(dc.At(30, 7), kElementRed);
  EXPECT_EQ(dc.At(30, 45), kWhite);
  EXPECT_EQ(dc.At(30, 33), kTeal);  // the hands' short tails below the centre
  EXPECT_EQ(dc.At(45, 30), kWhite);
  // Outside the rect nothing changed.
  TPaintDC big(70, 70, 0x00FF00);
  CanvasPtr bigCanvas(new TcxCanvas(big.Dc));
  kUltraFlatPainter->DrawClockFace(bigCanvas.get(), {5, 5, 65, 65}, EncodeTime(12, 0, 0, 0), clWhite);
  EXPECT_EQ(Count(big, {0, 0, 70, 5}, 0x00FF00), 70 * 5);
  EXPECT_EQ(Count(big, {0, 65, 70, 70}, 0x00FF00), 70 * 5);
}

TEST_F(PainterElementsTest, ClockHandsFollowTheTime) {
  TPaintDC dc(60, 60);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  // 3:00:45: the hour hand to the right, the minute hand just past twelve, the second hand
  // to the left.
  kStandardPainter->DrawClockFace(canvas.get(), {0, 0, 60, 60}, EncodeTime(3, 0, 45, 0), clWhite);
  EXPECT_EQ(dc.At(45, 30), kTeal);
  EXPECT_EQ(dc.At(12, 30), kElementRed);
  EXPECT_GT(Count(dc, {28, 8, 36, 14}, kTeal), 0);
  EXPECT_EQ(Count(dc, {20, 40, 40, 56}, kTeal), 0);
}

TEST_F(PainterElementsTest, TinyClockAndClipRegionKept) {
  TPaintDC dc(10, 10);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  // Negative radii collapse the marks near the centre without failing.
  kStandardPainter->DrawClockFace(canvas.get(), {4, 4, 6, 6}, EncodeTime(9, 30, 0, 0), clWhite);
  // The marks were excluded only while the face was drawn.
  canvas->FillRectWithColor({0, 0, 10, 10}, clBlack);
  EXPECT_EQ(Count(dc, {0, 0, 10, 10}, 0x000000), 100);
}

TEST_F(PainterElementsTest, ProgressTextSolidOrInverted) {
  TPaintDC dc(80, 20);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  SetTestFont(canvas.get());
  const TRect bar{0, 0, 80, 20}, filled{0, 0, 40, 20}, text{20, 5, 60, 15};
  // Solid: one colour over the filled and the empty part.
  canvas->FillRectWithColor(filled, clBlack);
  kUltraFlatPainter->DrawProgressBarText(canvas.get(), false, true, "WWWWWWWW", text, bar, filled, clRed);
  EXPECT_GT(Count(dc, {20, 5, 40, 15}, kElementRed), 0);
  EXPECT_GT(Count(dc, {40, 5, 60, 15}, kElementRed), 0);
  // Inverted: white over the black part, black over the white part, nothing outside the text.
  dc.Clear(kWhite);
  canvas->FillRectWithColor(filled, clBlack);
  kUltraFlatPainter->DrawProgressBarText(canvas.get(), false, false, "WWWWWWWW", text, bar, filled, clRed);
  EXPECT_EQ(Count(dc, {0, 0, 80, 20}, kElementRed), 0);
  EXPECT_GT(Count(dc, {20, 5, 40, 15}, kWhite), 0);
  EXPECT_GT(Count(dc, {40, 5, 60, 15}, 0x000000), 0);
  EXPECT_EQ(Count(dc, {0, 0, 20, 20}, 0x000000), 20 * 20);
  EXPECT_EQ(Count(dc, {60, 0, 80, 20}, kWhite), 20 * 20);
  EXPECT_EQ(Count(dc, {0, 15, 80, 20}, 0x000000) + Count(dc, {0, 15, 80, 20}, kWhite), 80 * 5);
  // The canvas comes back as it was: clip and font.
  canvas->FillRectWithColor(bar, clRed);
  EXPECT_EQ(Count(dc, bar, kElementRed), 80 * 20);
}

TEST_F(PainterElementsTest, VerticalProgressTextStaysInItsRect) {
  TPaintDC dc(20, 80);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  SetTestFont(canvas.get());
  const TRect text{5, 20, 15, 60};
  kStandardPainter->DrawProgressBarText(canvas.get(), true, true, "WWWWWWWW", text, {0, 0, 20, 80},
                                 {0, 40, 20, 80}, clBlack);
  EXPECT_EQ(canvas->GetFontInfo().lfEscapement, 0);  // the canvas font is back upright
  const int inside = Count(dc, text, 0x000000);
  EXPECT_GT(inside, 0);
  EXPECT_EQ(Count(dc, {0, 0, 20, 80}, 0x000000), inside);
  // Taller than wide: the text runs downwards.
  int top = 80, bottom = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 20; ++x)
      if (dc.At(x, y) == 0x000000) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  EXPECT_GT(bottom - top, 30);
}

TEST_F(PainterElementsTest, CalendarPanelsAndMonthHeaders) {
  TPaintDC dc(100, 40, 0x00FF00);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  struct Case {
    Painter P;
    TRect After;
  };
  // Base and standard shrink past the raised edge, flat past the bottom line, Office 11 and the
  // themed painter without a theme keep the rect (the themed one draws nothing at all).
  for (const Case& c : {Case{kStandardPainter, {11, 11, 49, 29}}, Case{kFlatPainter, {10, 10, 50, 29}},
                        Case{kOffice11Painter, {10, 10, 50, 30}}, Case{kThemedPainter, {10, 10, 50, 30}}}) {
    dc.Clear(0x00FF00);
    TRect r{10, 10, 50, 30};
    c.P->DrawCalendarDateTimePanel(canvas.get(), r);
    EXPECT_EQ(r, c.After) << c.P->ClassName();
    EXPECT_EQ(Count(dc, {10, 10, 50, 30}, 0x00FF00), c.P == kThemedPainter ? 40 * 20 : 0)
        << c.P->ClassName();
  }

  // A standard month header: a black frame on the sides asked for, arrows at both inner ends.
  TcxViewParams params;
  params.Color = clBtnFace;
  params.TextColor = clBtnText;
  dc.Clear(0x00FF00);
  kStandardPainter->DrawCalendarMonthHeader(canvas.get(), {0, 0, 100, 20}, "", {}, params, 3,
                                     TcxBorders{bLeft});
  EXPECT_EQ(dc.At(0, 10), 0x000000);
  EXPECT_EQ(dc.At(50, 0), 0x000000);
  EXPECT_EQ(dc.At(50, 19), 0x000000);
  EXPECT_NE(dc.At(99, 10), 0x000000);
  EXPECT_GT(Count(dc, {0, 0, 15, 20}, ColorToRGB(clWindowText)), 4);
  EXPECT_GT(Count(dc, {85, 0, 100, 20}, ColorToRGB(clWindowText)), 4);
  // Only the left arrow.
  dc.Clear(0x00FF00);
  kUltraFlatPainter->DrawCalendarMonthHeader(canvas.get(), {0, 0, 100, 20}, "", {}, params, 1, {});
  EXPECT_GT(Count(dc, {0, 0, 15, 20}, ColorToRGB(clWindowText)), 4);
  EXPECT_EQ(Count(dc, {85, 2, 98, 18}, ColorToRGB(clWindowText)), 0);
}

TEST_F(PainterElementsTest, NavigatorGlyphIsTheImageListsImage) {
  std::unique_ptr<TCustomImageList, orv::FreeDeleter> images(new TCustomImageList(nullptr, 4, 4));
  std::unique_ptr<TBitmap, orv::FreeDeleter> image(new TBitmap);
  image->SetPixelFormat(pf24bit);
  image->SetSize(4, 4);
  image->GetCanvas()->GetBrush()->SetColor(clRed);
  image->GetCanvas()->FillRect({0, 0, 4, 4});
  images->AddMasked(image.get(), clNone);
  TPaintDC dc(10, 10);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kStandardPainter->DrawNavigatorButtonGlyph(canvas.get(), images.get(), 0, 0, TPoint{3, 2}, true, false);
  EXPECT_EQ(Count(dc, {3, 2, 7, 6}, kElementRed), 16);
  EXPECT_EQ(Count(dc, {0, 0, 10, 10}, kElementRed), 16);
  // The editors' form takes the glyph rect; no list draws nothing.
  kStandardPainter->DrawNavigatorButtonGlyph(canvas.get(), nullptr, 0, 0, TRect{0, 0, 4, 4}, true, false);
  EXPECT_EQ(Count(dc, {0, 0, 10, 10}, kElementRed), 16);
  EXPECT_EQ(kStandardPainter->NavigatorButtonGlyphSize(), (TSize{0, 0}));
}

TEST_F(PainterElementsTest, GroupBoxBackgrounds) {
  TPaintDC dc(20, 20, 0x00FF00);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  // A default colour without a windowed control leaves the area alone; a colour fills.
  kThemedPainter->DrawGroupBoxBackground(canvas.get(), nullptr, {0, 0, 20, 20}, clDefault, clDefault);
  EXPECT_EQ(Count(dc, {0, 0, 20, 20}, 0x00FF00), 400);
  kThemedPainter->DrawGroupBoxBackground(canvas.get(), nullptr, {0, 0, 20, 20}, clRed, clBlue);
  EXPECT_EQ(Count(dc, {0, 0, 20, 20}, kElementRed), 400);
  kStandardPainter->DrawPanelBackground(canvas.get(), {0, 0, 20, 20});
  EXPECT_EQ(Count(dc, {0, 0, 20, 20}, ColorToRGB(clBtnFace)), 400);
  // Without the button theme the Office 11 and themed captions take the base colours.
  EXPECT_EQ(kOffice11Painter->GroupBoxCaptionTextColor(true), clWindowText);
  EXPECT_EQ(kThemedPainter->GroupBoxCaptionTextColor(false), clBtnShadow);
  EXPECT_EQ(kThemedPainter->GroupBoxCaptionTextColor(false, cpTop), clBtnShadow);
}

// A window filled with one colour.
class TFilledPanel : public TCustomControl {
 public:
  TFilledPanel(TComponent* owner, TColor color) : TCustomControl(owner), FFill(color) {}

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(FFill);
    GetCanvas()->FillRect({0, 0, GetClientWidth(), GetClientHeight()});
  }

 private:
  TColor FFill;
};

TEST_F(PainterElementsTest, GroupBoxShowsItsParentUnderADefaultColour) {
  orv::headless::Reset();
  {
    std::unique_ptr<TForm, orv::FreeDeleter> form(new TForm(nullptr));
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 60, 40);
    form->AfterConstruction();
    auto* parent = new TFilledPanel(form.get(), clBlue);
    parent->SetParent(form.get());
    parent->SetBoundsRect({0, 0, 60, 40});
    auto* box = new TFilledPanel(form.get(), clWhite);
    box->SetParent(parent);
    box->SetBoundsRect({10, 10, 30, 30});
    form->Show();
    for (const Painter p : {kOffice11Painter, kThemedPainter}) {
      TPaintDC dc(20, 20, 0x00FF00);
      CanvasPtr canvas(new TcxCanvas(dc.Dc));
      p->DrawGroupBoxBackground(canvas.get(), box, {0, 0, 20, 20}, clDefault, clDefault);
      EXPECT_EQ(Count(dc, {0, 0, 20, 20}, 0xFF0000), 400) << p->ClassName();
      // Not a window: nothing to show through.
      dc.Clear(0x00FF00);
      p->DrawGroupBoxBackground(canvas.get(), nullptr, {0, 0, 20, 20}, clDefault, clDefault);
      EXPECT_EQ(Count(dc, {0, 0, 20, 20}, 0x00FF00), 400) << p->ClassName();
    }
  }
  orv::headless::Reset();
}

TEST_F(PainterElementsTest, SplittersAndReservedElements) {
  TPaintDC dc(20, 10, 0x00FF00);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  TcxViewParams params;
  params.Color = clWhite;
  kStandardPainter->DrawSplitterBorder(canvas.get(), {0, 0, 20, 10}, params, true);
  EXPECT_EQ(dc.At(5, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(dc.At(5, 1), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(dc.At(5, 5), kWhite);
  EXPECT_EQ(dc.At(5, 8), ColorToRGB(clBtnShadow));
  EXPECT_EQ(dc.At(5, 9), ColorToRGB(cl3DDkShadow));
  dc.Clear(0x00FF00);
  kUltraFlatPainter->DrawSplitterBorder(canvas.get(), {0, 0, 20, 10}, params, false);
  EXPECT_EQ(dc.At(0, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(dc.At(19, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(dc.At(1, 5), kWhite);
  // Ultra-flat lightens the shadow colour by a third towards white.
  kUltraFlatPainter->DrawElement241(canvas.get(), {0, 0, 20, 10});
  const COLORREF shadow = ColorToRGB(clBtnShadow);
  EXPECT_EQ(dc.At(3, 3), RGB(GetRValue(shadow) + (255 - GetRValue(shadow)) / 3,
                             GetGValue(shadow) + (255 - GetGValue(shadow)) / 3,
                             GetBValue(shadow) + (255 - GetBValue(shadow)) / 3));
  kStandardPainter->DrawElement241(canvas.get(), {0, 0, 20, 10});
  EXPECT_EQ(dc.At(3, 3), shadow);
  EXPECT_EQ(kBasePainter->Margins240(), (TRect{2, 2, 4, 4}));
  EXPECT_EQ(kBasePainter->EventProgressMargins(), (TRect{2, 2, 2, 2}));
  EXPECT_EQ(kThemedPainter->EventProgressMargins(), (TRect{2, 2, 2, 2}));  // no progress theme
  EXPECT_EQ(kBasePainter->DefaultColor238(), clBtnFace);
  EXPECT_EQ(kBasePainter->BorderWidth202(), 1);
}

TEST_F(PainterElementsTest, NavigationButtonLayoutAndArrow) {
  TRect arrow, text;
  kStandardPainter->CalculateNavigationButtonLayout({0, 0, 30, 60}, false, arrow, text);
  EXPECT_EQ(arrow, (TRect{10, 6, 17, 13}));
  EXPECT_EQ(text, (TRect{0, 15, 28, 54}));
  TPaintDC dc(30, 60, 0x00FF00);
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  kUltraFlatPainter->DrawNavigationButtonWithArrow(canvas.get(), {0, 0, 30, 60}, true, cxbsNormal);
  // The arrow of a next button is widest in its middle rows and points right.
  const COLORREF glyph = ColorToRGB(kUltraFlatPainter->NavigationButtonTextColor());
  int middle = 0, first = 0;
  for (int x = 0; x < 30; ++x) {
    middle += dc.At(x, 8) == glyph || dc.At(x, 9) == glyph;
    first += dc.At(x, 6) == glyph;
  }
  EXPECT_GT(middle, first);
  EXPECT_EQ(dc.At(29, 30), ColorToRGB(clBtnText));  // the frame on the right side
}

// Visual styles are off here: the themed painter draws exactly what the standard painter draws,
// and its metrics take the values named for a missing theme.
TEST_F(PainterElementsTest, ThemedPainterFallsBackToTheStandardLook) {
  using Draw = void (*)(Painter, TcxCanvas*);
  const Draw draws[] = {
      [](Painter p, TcxCanvas* c) { p->DrawPushButton(c, {2, 2, 40, 20}, "Ok", cxbsHot); },
      [](Painter p, TcxCanvas* c) { p->DrawPushButton(c, {2, 2, 40, 20}, "Ok", cxbsDefault); },
      [](Painter p, TcxCanvas* c) { p->DrawCheckBox(c, {2, 2, 15, 15}, cxbsNormal, true); },
      [](Painter p, TcxCanvas* c) { p->DrawRadioButton(c, 2, 2, cxbsPressed, true, false, clDefault); },
      [](Painter p, TcxCanvas* c) { p->DrawExpandCollapseButton(c, {2, 2, 14, 14}, true); },
      [](Painter p, TcxCanvas* c) {
        p->DrawHeaderCell(c, {0, 0, 40, 18}, {3, 1, 37, 17}, {}, cxBordersAll, cxbsNormal, 0,
                          vaCenter, false, false, "A", nullptr, clBtnText, clBtnFace);
      },
      [](Painter p, TcxCanvas* c) {
        p->DrawFooterCell(c, {0, 0, 40, 18}, 0, vaCenter, false, "1", nullptr, clBtnText, clBtnFace);
      },
      [](Painter p, TcxCanvas* c) { p->DrawScrollBarElement(c, false, {2, 2, 18, 30}, sbpThumbnail, cxbsNormal); },
      [](Painter p, TcxCanvas* c) { p->DrawScrollBarElement(c, true, {2, 2, 18, 18}, sbpLineUp, cxbsPressed); },
      [](Painter p, TcxCanvas* c) { p->DrawGroupBoxOutline(c, {2, 2, 40, 30}, true, cpTop, cxBordersAll); },
      [](Painter p, TcxCanvas* c) { p->DrawFilterDropDownArrowButton(c, {2, 2, 17, 17}, cxbsNormal, true); },
      [](Painter p, TcxCanvas* c) { p->DrawFilterBoxCloseButton(c, {2, 2, 18, 16}, cxbsNormal); },
      [](Painter p, TcxCanvas* c) { p->DrawControlBorder(c, {0, 0, 40, 30}); },
      [](Painter p, TcxCanvas* c) { p->DrawTabsPane(c, {0, 0, 40, 30}, {bLeft, bTop}, false); },
      [](Painter p, TcxCanvas* c) { p->DrawFooterFrame(c, {0, 0, 40, 30}); },
      [](Painter p, TcxCanvas* c) {
        TcxViewParams params;
        params.Color = clWindow;
        p->DrawSplitterBorder(c, {0, 0, 40, 30}, params, true);
      },
  };
  int index = 0;
  for (Draw draw : draws) {
    TPaintDC standard(44, 34, 0x00FF00), themed(44, 34, 0x00FF00);
    CanvasPtr c1(new TcxCanvas(standard.Dc)), c2(new TcxCanvas(themed.Dc));
    SetTestFont(c1.get());
    SetTestFont(c2.get());
    draw(kStandardPainter, c1.get());
    draw(kThemedPainter, c2.get());
    EXPECT_TRUE(SameImage(standard, themed)) << "drawing " << index;
    ++index;
  }
  EXPECT_FALSE(kThemedPainter->UsesVisualStyles());
  EXPECT_EQ(kThemedPainter->ControlBorderWidth(), 2);
  EXPECT_EQ(kThemedPainter->ButtonBorderWidth(cxbsDefault), 3);
  EXPECT_EQ(kThemedPainter->ButtonTextIndent(), 2);
  EXPECT_EQ(kThemedPainter->ButtonPressedTextShift(), 0);
  EXPECT_EQ(kThemedPainter->CheckBoxBorderWidth(), 2);
  EXPECT_EQ(kThemedPainter->ExpandCollapseButtonSize(), 12);
  EXPECT_EQ(kThemedPainter->SmallPlusMinusButtonSize(), 9);
  EXPECT_EQ(kThemedPainter->GroupExpandChevronButtonSize(), 15);
  EXPECT_EQ(kThemedPainter->HeaderCellBorderWidth(), 1);
  EXPECT_EQ(kThemedPainter->FooterCellBorderWidth(), 1);
  EXPECT_EQ(kThemedPainter->ScrollBarMinThumbSize(true), 8);
  EXPECT_EQ(kThemedPainter->FilterBoxCloseButtonSize(), (TPoint{16, 14}));
  EXPECT_EQ(kThemedPainter->FilterCheckBoxSize(), (TPoint{13, 13}));
  EXPECT_EQ(kThemedPainter->CheckBoxSize(), kStandardPainter->CheckBoxSize());
  EXPECT_EQ(kThemedPainter->RadioButtonGlyphSize(), kStandardPainter->RadioButtonGlyphSize());
  EXPECT_FALSE(kThemedPainter->IsTabDrawingSupported(false));
  EXPECT_FALSE(kThemedPainter->SupportsTabHotTrack(false));
  EXPECT_FALSE(kThemedPainter->ExpandButtonDrawnFirst());
  EXPECT_FALSE(kThemedPainter->FooterCellsDrawnFirst());
  EXPECT_TRUE(kThemedPainter->SupportsButtonHotTrack());
  EXPECT_TRUE(kThemedPainter->SupportsHeaderHotTrack());
  EXPECT_EQ(kThemedPainter->SortArrowSize(), kUltraFlatPainter->SortArrowSize());
  EXPECT_TRUE(kThemedPainter->IsPointInGroupExpandChevronButton({0, 0, 10, 10}, {5, 5}));
  EXPECT_FALSE(kThemedPainter->IsPointInGroupExpandChevronButton({0, 0, 10, 10}, {10, 5}));
}

TEST_F(PainterElementsTest, ThemedPainterOwnDrawingsWithoutATheme) {
  TPaintDC standard(20, 20, 0x00FF00), themed(20, 20, 0x00FF00);
  CanvasPtr c1(new TcxCanvas(standard.Dc)), c2(new TcxCanvas(themed.Dc));
  // The small plus/minus button keeps the standard face, not the colour passed.
  kStandardPainter->DrawSmallPlusMinusButton(c1.get(), {2, 2, 11, 11}, false, clBtnShadow, clDefault);
  kThemedPainter->DrawSmallPlusMinusButton(c2.get(), {2, 2, 11, 11}, false, clBtnShadow, clRed);
  EXPECT_TRUE(SameImage(standard, themed));
  // A pressed header is not inverted.
  kThemedPainter->DrawHeaderCellPressed(c2.get(), {0, 0, 20, 20});
  EXPECT_TRUE(SameImage(standard, themed));
  // Its indicator cell is the flat painter's.
  TPaintDC flat(14, 18, 0x00FF00), themedIndicator(14, 18, 0x00FF00);
  CanvasPtr c3(new TcxCanvas(flat.Dc)), c4(new TcxCanvas(themedIndicator.Dc));
  kFlatPainter->DrawIndicatorCell(c3.get(), {0, 0, 14, 18}, ikArrow, clBtnFace);
  kThemedPainter->DrawIndicatorCell(c4.get(), {0, 0, 14, 18}, ikArrow, clBtnFace);
  EXPECT_TRUE(SameImage(flat, themedIndicator));
}

// One sheet of the elements of this file in every painter, reviewed by eye.
TEST_F(PainterElementsTest, GoldenSheet) {
  TPaintDC dc(330, 250, ColorToRGB(clBtnFace));
  CanvasPtr canvas(new TcxCanvas(dc.Dc));
  SetTestFont(canvas.get());
  const Painter painters[] = {kStandardPainter, kFlatPainter, kUltraFlatPainter, kOffice11Painter, kThemedPainter};
  TcxViewParams params;
  params.Color = clBtnFace;
  params.TextColor = clBtnText;
  for (int i = 0; i < 5; ++i) {
    const Painter p = painters[i];
    const Integer y = 4 + 49 * i;
    p->DrawClockFace(canvas.get(), {4, y, 48, y + 44}, EncodeTime(10, 8, 30, 0), clWindow);
    p->DrawCalendarMonthHeader(canvas.get(), {54, y, 154, y + 18}, "May", {}, params, 3,
                               cxBordersAll);
    TRect panel{54, y + 22, 154, y + 42};
    p->DrawCalendarDateTimePanel(canvas.get(), panel);
    canvas->FillRectWithColor({160, y, 200, y + 18}, clHighlight);
    p->DrawProgressBarText(canvas.get(), false, false, "50%", {170, y + 4, 190, y + 14},
                           {160, y, 240, y + 18}, {160, y, 200, y + 18}, clDefault);
    p->DrawGroupBoxOutline(canvas.get(), {160, y + 22, 240, y + 44}, i % 2 == 0, cpTop, cxBordersAll);
    canvas->SetClipRegion(new TcxRegion(0, 0, 330, 250), roSet);
    p->DrawNavigationButtonWithArrow(canvas.get(), {246, y, 270, y + 44}, false, cxbsNormal);
    p->DrawNavigationButtonWithArrow(canvas.get(), {272, y, 296, y + 44}, true, cxbsPressed);
    p->DrawElement242(canvas.get(), {300, y, 326, y + 20}, i % 2, true);
  }
  EXPECT_TRUE(dc.Golden("painter-elements.png"));
}

}  // namespace
