// Plain hint view infos: the text with its shortcut, the size measured with word wrap inside the
// work area, and the framed painting.

#include <gtest/gtest.h>

#include "components/bars/dxBar.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"

namespace {

class BarHintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::headless::Reset();
    Bitmap = new TBitmap();
    Bitmap->SetSize(400, 200);
    Canvas = Bitmap->GetCanvas();
  }
  void TearDown() override {
    Bitmap->Free();
    orv::ResetSystemSettings();
    orv::headless::Reset();
  }
  TBitmap* Bitmap = nullptr;
  TCanvas* Canvas = nullptr;
};

TEST_F(BarHintTest, AShortcutAloneIsNoHint) {
  TdxBarHintViewInfo none(nullptr, TPoint{10, 10}, "", " (F2)");
  none.Calculate(Canvas);
  EXPECT_EQ(none.GetText(), "");
  EXPECT_EQ(none.GetBounds(), TRect());

  TdxBarHintViewInfo hint(nullptr, TPoint{10, 10}, "Copy", " (Ctrl+C)");
  hint.Calculate(Canvas);
  EXPECT_EQ(hint.GetText(), "Copy (Ctrl+C)");
  const TSize text = Canvas->TextExtent("Copy (Ctrl+C)");
  EXPECT_EQ(hint.GetBounds(), (TRect{0, 0, text.cx + 6, text.cy + 6}));
  EXPECT_EQ(hint.GetTextRect(), (TRect{3, 3, text.cx + 5, text.cy + 5}));
}

TEST_F(BarHintTest, ALongHintWrapsAtTheWidthOfTheWorkArea) {
  orv::SystemSettings().WorkArea = TRect{0, 0, 120, 400};
  const AnsiString long_ = "Find every town of the chart whose name begins with the typed letters";
  TdxBarHintViewInfo hint(nullptr, TPoint{10, 10}, long_, "");
  hint.Calculate(Canvas);
  const Integer line = Canvas->TextHeight("Wg");
  EXPECT_LE(hint.GetBounds().Right, 120 + 6);
  EXPECT_GT(Canvas->TextWidth(long_), 120);
  EXPECT_GE(hint.GetBounds().Bottom, 3 * line + 6);
  EXPECT_EQ((hint.GetBounds().Bottom - 6) % line, 0);
}

TEST_F(BarHintTest, PaintingFramesTheBoundsAndWritesTheText) {
  HBRUSH white = CreateSolidBrush(0xFFFFFF);
  TRect all{0, 0, 400, 200};
  FillRect(Canvas->GetHandle(), &all, white);
  DeleteObject(white);
  TdxBarHintViewInfo hint(nullptr, TPoint{10, 10}, "Copy", "");
  hint.Calculate(Canvas);
  hint.Paint(Canvas);
  const TRect b = hint.GetBounds();
  HDC dc = Canvas->GetHandle();
  EXPECT_NE(GetPixel(dc, b.Right - 1, b.Bottom - 1), 0xFFFFFFu);  // the frame's dark side
  EXPECT_EQ(GetPixel(dc, b.Right, b.Bottom), 0xFFFFFFu);          // nothing outside
  Integer inked = 0;
  const TRect t = hint.GetTextRect();
  for (Integer y = t.Top; y < t.Bottom; ++y)
    for (Integer x = t.Left; x < t.Right; ++x) inked += GetPixel(dc, x, y) != 0xFFFFFF;
  EXPECT_GT(inked, 10);
}

}  // namespace
