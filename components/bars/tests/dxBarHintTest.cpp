// Plain hint view infos: the text with its shortcut, the size measured with word wrap inside the
// work area, and the framed painting; the hint window that shows them at the cursor.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "components/bars/dxBar.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

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

class TScreenTipInfo : public TdxBarCustomHintViewInfo {
  ORV_CLASS(TScreenTipInfo, TdxBarCustomHintViewInfo)
 public:
  using TdxBarCustomHintViewInfo::TdxBarCustomHintViewInfo;
  Boolean IsScreenTip() override { return true; }
};

TEST_F(BarHintTest, TheHintWindowShowsTheHintAtTheCursorAndNothingWithoutText) {
  SetCursorPos(200, 150);
  std::unique_ptr<TdxBarHintWindow, orv::FreeDeleter> window(new TdxBarHintWindow(nullptr));
  EXPECT_FALSE(window->ShowHint(nullptr, "", " (F1)"));
  EXPECT_FALSE(window->HandleAllocated() && IsWindowVisible(window->GetHandle()));

  ASSERT_TRUE(window->ShowHint(nullptr, "Find", " (F2)"));
  auto* info = static_cast<TdxBarHintViewInfo*>(window->GetViewInfo());
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->GetText(), "Find (F2)");
  EXPECT_TRUE(IsWindowVisible(window->GetHandle()));
  TRect shown;
  GetWindowRect(window->GetHandle(), &shown);
  EXPECT_EQ(shown.Left, 200);
  EXPECT_EQ(shown.Top, 150);
  EXPECT_EQ(shown.Right - shown.Left, info->GetBounds().Right);
  EXPECT_EQ(shown.Bottom - shown.Top, info->GetBounds().Bottom);
  EXPECT_EQ(window->GetHidePause(), 10000u);
  EXPECT_EQ(window->GetShowPause(), 1000u);

  // Hiding the window frees what it showed.
  ShowWindow(window->GetHandle(), SW_HIDE);
  EXPECT_EQ(window->GetViewInfo(), nullptr);
}

TEST_F(BarHintTest, AScreenTipViewInfoMakesTheWindowAgainWithItsPauses) {
  std::unique_ptr<TdxBarHintWindow, orv::FreeDeleter> window(new TdxBarHintWindow(nullptr));
  window->HandleNeeded();
  const HWND plain = window->GetHandle();
  TScreenTipInfo tip(nullptr);
  tip.PrepareHintWindow(window.get());
  EXPECT_TRUE(window->GetIsScreenTip());
  EXPECT_TRUE(window->HandleAllocated());
  EXPECT_FALSE(IsWindow(plain));
  EXPECT_EQ(window->GetHidePause(), 200000u);
  EXPECT_EQ(window->GetShowPause(), 900u);
  const HWND screenTip = window->GetHandle();
  tip.PrepareHintWindow(window.get());  // same kind: kept
  EXPECT_EQ(window->GetHandle(), screenTip);
}

TEST_F(BarHintTest, TheHintFontIsTheSystemStatusFontOrTheManagersFont) {
  std::unique_ptr<TForm, orv::FreeDeleter> form(new TForm(nullptr));
  form->AfterConstruction();
  auto* manager = new TdxBarManager(form.get());
  manager->GetFont()->SetName("Courier New");
  manager->GetFont()->SetHeight(-17);
  std::strcpy(orv::SystemSettings().NonClient.lfStatusFont.lfFaceName, "Status Face");
  orv::SystemSettings().NonClient.lfStatusFont.lfHeight = -13;
  std::unique_ptr<TdxBarHintWindow, orv::FreeDeleter> window(new TdxBarHintWindow(nullptr));

  ASSERT_FALSE(manager->GetUseSystemFont());
  ASSERT_TRUE(window->ShowHint(manager, "Copy", ""));
  EXPECT_EQ(window->GetCanvas()->GetFont()->GetName(), "Courier New");
  EXPECT_EQ(window->GetCanvas()->GetFont()->GetHeight(), manager->GetFont()->GetHeight());
  EXPECT_EQ(window->GetCanvas()->GetFont()->GetColor(), Screen->GetHintFont()->GetColor());

  manager->SetUseSystemFont(true);
  ASSERT_TRUE(window->ShowHint(manager, "Copy", ""));
  EXPECT_EQ(window->GetCanvas()->GetFont()->GetName(), "Status Face");
  EXPECT_EQ(window->GetCanvas()->GetFont()->GetHeight(), -13);
  ASSERT_TRUE(window->ShowHint(nullptr, "Copy", ""));
  EXPECT_EQ(window->GetCanvas()->GetFont()->GetName(), "Status Face");
}

}  // namespace
