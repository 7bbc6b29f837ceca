// The bars' shared drawing helpers on memory surfaces: item arrows and their emboss, tiled
// backgrounds, the checkered pattern brush, dotted focus frames and clip-region saving; glyph
// looks, message flushing, menu sounds and bar fonts.

#include "components/bars/dxBarDrawing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "components/foundation/cxGraphics.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

// A white memory surface of the given size.
class TSurfaceDC {
 public:
  TSurfaceDC(int width, int height) : Width(width), Height(height) {
    HDC screen = GetDC(nullptr);
    DC = CreateCompatibleDC(screen);
    Bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    Old = SelectObject(DC, Bitmap);
    Clear(0xFFFFFF);
  }
  ~TSurfaceDC() {
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
  void Clear(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    TRect all{0, 0, Width, Height};
    FillRect(DC, &all, brush);
    DeleteObject(brush);
  }
  COLORREF At(int x, int y) const { return GetPixel(DC, x, y); }
  int Width, Height;
  HDC DC;
  HBITMAP Bitmap;
  HGDIOBJ Old;
};

class BarDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override { orv::headless::Reset(); }
  void TearDown() override {
    orv::ResetSystemSettings();
    orv::headless::Reset();
  }
};

TEST_F(BarDrawingTest, ItemArrowColoursAndTheDisabledEmboss) {
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), text = GetSysColor(COLOR_BTNTEXT);
  const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT), emboss = GetSysColor(COLOR_BTNHIGHLIGHT);
  struct TCase {
    Boolean Enabled, Selected, NoEmboss;
    COLORREF Arrow;
    Boolean Embossed;
  } cases[] = {
      {true, false, false, text, false},
      {true, true, false, highlightText, false},
      {false, false, false, shadow, true},
      {false, true, true, shadow, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "enabled " << c.Enabled << " selected " << c.Selected << " no emboss " << c.NoEmboss);
    TSurfaceDC s(20, 20);
    s.Clear(0x00FF00);  // neither of the colours involved
    // Size 3 pointing down: 5 wide, 3 high, centred in 20 x 20 at (7, 8).
    DrawItemArrow(s.DC, TRect{0, 0, 20, 20}, true, clDefault, c.NoEmboss, c.Enabled, c.Selected, 3);
    // Row 8 spans x 7..11, row 9 x 8..10, the tip (9, 10).
    for (int x = 7; x <= 11; ++x) EXPECT_EQ(s.At(x, 8), c.Arrow) << x;
    EXPECT_EQ(s.At(9, 10), c.Arrow);
    EXPECT_EQ(s.At(6, 8), 0x00FF00u);
    // The emboss lines run up from below the right edge, their end points excluded: (10, 10) to
    // (12, 8) and (10, 11) to (13, 8).
    for (const TPoint p : {TPoint{11, 9}, TPoint{10, 11}, TPoint{11, 10}, TPoint{12, 9}})
      EXPECT_EQ(s.At(p.X, p.Y), c.Embossed ? emboss : 0x00FF00u) << p.X << "," << p.Y;
    EXPECT_EQ(s.At(12, 8), 0x00FF00u);
    EXPECT_EQ(s.At(13, 8), 0x00FF00u);
  }
  // Pointing right: 3 wide, 5 high, centred at (8, 7); an explicit colour is kept.
  TSurfaceDC s(20, 20);
  DrawItemArrow(s.DC, TRect{0, 0, 20, 20}, false, TColor(0x0000FF), false, true, false, 3);
  for (int y = 7; y <= 11; ++y) EXPECT_EQ(s.At(8, y), 0x0000FFu) << y;
  EXPECT_EQ(s.At(10, 9), 0x0000FFu);
  EXPECT_EQ(s.At(11, 9), 0xFFFFFFu);
  EXPECT_EQ(s.At(10, 7), 0xFFFFFFu);
}

TEST_F(BarDrawingTest, ATiledBackgroundPaintedInTwoHalvesIsSeamless) {
  TBitmap* tile = new TBitmap();
  tile->SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) SetPixel(tile->GetCanvas()->GetHandle(), x, y, COLORREF(0x101010 * (1 + x + 3 * y)));
  const TRect origin{5, 4, 25, 20};
  TSurfaceDC whole(30, 24), halves(30, 24);
  TileBitmap(whole.DC, origin, origin, tile);
  TileBitmap(halves.DC, TRect{5, 4, 15, 20}, origin, tile);
  TileBitmap(halves.DC, TRect{15, 4, 25, 20}, origin, tile);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(whole.At(x, y), halves.At(x, y)) << x << "," << y;
  // Anchored at the origin's corner, and nothing outside the rectangle.
  EXPECT_EQ(whole.At(5, 4), 0x101010u);
  EXPECT_EQ(whole.At(8, 5), 0x101010u * 4);
  EXPECT_EQ(whole.At(4, 4), 0xFFFFFFu);
  EXPECT_EQ(whole.At(25, 19), 0xFFFFFFu);

  // The clip region is left as it was: drawing outside the tiled part still shows.
  TRect outside{0, 0, 2, 2};
  FillRect(whole.DC, &outside, GetSysColorBrush(COLOR_BTNTEXT));
  EXPECT_EQ(whole.At(1, 1), GetSysColor(COLOR_BTNTEXT));

  // Without a bitmap the brush fills, else a solid brush of the colour.
  FillRectOrTile(whole.DC, TRect{0, 0, 30, 24}, origin, nullptr, TColor(0x0000FF), nullptr);
  EXPECT_EQ(whole.At(29, 23), 0x0000FFu);
  FillRectOrTile(whole.DC, TRect{0, 0, 30, 24}, origin, nullptr, TColor(0x0000FF), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(whole.At(29, 23), GetSysColor(COLOR_BTNFACE));
  tile->Free();
}

TEST_F(BarDrawingTest, TheCheckeredBrushAlternatesHighlightAndFace) {
  RebuildCheckeredBrush();
  TSurfaceDC s(16, 16);
  TRect all{0, 0, 16, 16};
  FillRect(s.DC, &all, CheckeredBrush());
  const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  ASSERT_NE(face, highlight);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(s.At(x, y), (x % 2 == y % 2) ? face : highlight) << x << "," << y;
}

TEST_F(BarDrawingTest, FramesAndTheDottedFocusRectangle) {
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  TSurfaceDC s(12, 10);
  DrawDottedFocusRect(s.DC, TRect{1, 1, 11, 9});
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const Boolean outer = x >= 1 && x <= 10 && y >= 1 && y <= 8 && (x == 1 || x == 10 || y == 1 || y == 8);
      const Boolean inner = x >= 2 && x <= 9 && y >= 2 && y <= 7 && (x == 2 || x == 9 || y == 2 || y == 7);
      const Boolean dotted = (outer || inner) && (x + y) % 2 == 0;
      ASSERT_EQ(s.At(x, y), dotted ? text : 0xFFFFFFu) << x << "," << y;
    }

  TSurfaceDC f(10, 10);
  DrawDoubleFrame(f.DC, TRect{0, 0, 10, 10}, COLOR_BTNSHADOW);
  EXPECT_EQ(f.At(0, 5), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(f.At(1, 5), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(f.At(2, 5), 0xFFFFFFu);
  FrameHighlightRect(f.DC, TRect{0, 0, 10, 10});
  EXPECT_EQ(f.At(9, 9), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(f.At(1, 1), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(BarDrawingTest, ClipRegionsAreSavedWidenedAndRestored) {
  TSurfaceDC s(10, 10);
  IntersectClipRect(s.DC, 0, 0, 5, 5);
  HRGN saved = nullptr;
  Boolean had = false;
  SaveClipRegion(s.DC, saved, had);
  EXPECT_TRUE(had);
  UnionClipWithRect(s.DC, TRect{5, 5, 10, 10});
  TRect all{0, 0, 10, 10};
  FillRect(s.DC, &all, GetSysColorBrush(COLOR_BTNTEXT));
  RestoreClipRegion(s.DC, saved, had);
  EXPECT_EQ(saved, nullptr);
  s.Clear(0x0000FF);
  SelectClipRgn(s.DC, nullptr);  // to read every pixel
  EXPECT_EQ(s.At(2, 2), 0x0000FFu);
  EXPECT_EQ(s.At(7, 7), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(s.At(7, 2), 0xFFFFFFu);

  // A DC without a clip region gets none back.
  TSurfaceDC t(4, 4);
  SaveClipRegion(t.DC, saved, had);
  EXPECT_FALSE(had);
  IntersectClipRect(t.DC, 0, 0, 1, 1);
  RestoreClipRegion(t.DC, saved, had);
  t.Clear(0x0000FF);
  EXPECT_EQ(t.At(3, 3), 0x0000FFu);
}

}  // namespace

namespace {

TEST_F(BarDrawingTest, TheGlyphLookFollowsTheStateFlagsInOrder) {
  using F = TdxBarGlyphLookFlags;
  auto flags = [](auto edit) {
    F f;
    f.UsesGlyphShadow = true;
    edit(f);
    return f;
  };
  struct TCase {
    const char* Name;
    F Flags;
    Integer Depth;
    Integer Mode;
  } cases[] = {
      {"disabled without image", flags([](F& f) { f.CanDrawStateImage = false; f.GrayScale = true; }), 32, idmDisabled},
      {"disabled, faded images", flags([](F& f) { f.CanDrawStateImage = false; f.FadedDisabledImages = true; }), 32, idmFaded},
      {"gray scale before shadows", flags([](F& f) { f.GrayScale = true; f.UsesGlyphShadow = false; }), 32, idmGrayScale},
      {"no glyph shadows", flags([](F& f) { f.UsesGlyphShadow = false; }), 32, idmNormal},
      {"inactive glyph is light", flags([](F&) {}), 32, idmLight},
      {"inactive glyph on 256 colours", flags([](F&) {}), 8, idmNormal},
      {"selected raised with offset", flags([](F& f) { f.Selected = true; f.ShadowsOffset = true; }), 32, idmShadowed},
      {"selected raised on 256 colours", flags([](F& f) { f.Selected = true; f.ShadowsOffset = true; }), 8, idmShadowed},
      {"selected sunken", flags([](F& f) { f.Selected = true; f.ShadowsOffset = true; f.Sunken = true; }), 32, idmNormal},
      {"selected without offset", flags([](F& f) { f.Selected = true; }), 32, idmNormal},
      {"down", flags([](F& f) { f.Down = true; f.ShadowsOffset = true; }), 32, idmNormal},
  };
  for (const TCase& c : cases) EXPECT_EQ(BarGlyphDrawMode(c.Flags, c.Depth), c.Mode) << c.Name;
  // The headless screen has 32 bits per pixel.
  EXPECT_EQ(BarGlyphDrawMode(flags([](F&) {})), idmLight);
}

TEST_F(BarDrawingTest, FlushingMouseMessagesStopsAtAQuitAndPostsItAgain) {
  std::unique_ptr<TForm, orv::FreeDeleter> form(new TForm(nullptr));
  form->AfterConstruction();
  HWND window = form->GetHandle();
  PostMessage(window, WM_MOUSEMOVE, 0, 0);
  PostMessage(window, WM_KEYDOWN, VK_RETURN, 0);
  FlushMouseMessages();
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSEWHEEL, PM_NOREMOVE));
  EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));  // other messages stay

  PostQuitMessage(3);
  PostMessage(window, WM_MOUSEMOVE, 0, 0);
  FlushMouseMessages();
  // The quit is pending again and ends the flush; the queued move may wait behind it.
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, WPARAM(3));
}

TEST_F(BarDrawingTest, MenuSoundsPlayTheirAliasAsynchronouslyAndStopWithNone) {
  std::vector<orv::TSoundEvent> sounds;
  orv::SetSoundSink([&](const orv::TSoundEvent& e) { sounds.push_back(e); });
  PlayMenuSound(msPopup);
  PlayMenuSound(msCommand);
  StopMenuSound();
  ASSERT_EQ(sounds.size(), 3u);
  const DWORD flags = SND_ASYNC | SND_NODEFAULT | SND_NOWAIT | SND_ALIAS;
  EXPECT_EQ(sounds[0].Name, "MenuPopup");
  EXPECT_EQ(sounds[1].Name, "MenuCommand");
  EXPECT_EQ(sounds[2].Name, "");
  for (const auto& s : sounds) EXPECT_EQ(s.Flags, flags);
  orv::SetSoundSink(nullptr);
}

TEST_F(BarDrawingTest, BarFontsTakeSystemHeightsOfAtLeastElevenPixels) {
  std::unique_ptr<TFont, orv::FreeDeleter> source(new TFont()), target(new TFont());
  source->SetName("Arial");
  source->SetHeight(-20);
  source->SetColor(clRed);
  orv::SystemSettings().IconTitleFont.lfHeight = -8;
  orv::SystemSettings().NonClient.lfSmCaptionFont.lfHeight = -9;
  std::strcpy(orv::SystemSettings().NonClient.lfSmCaptionFont.lfFaceName, "Tahoma");

  AssignBarFont(source.get(), target.get(), false);
  EXPECT_EQ(target->GetHeight(), -20);
  AssignBarFont(source.get(), target.get(), true);
  EXPECT_EQ(target->GetHeight(), -11);
  EXPECT_EQ(target->GetName(), "Arial");
  EXPECT_EQ(target->GetColor(), clRed);
  orv::SystemSettings().IconTitleFont.lfHeight = -15;
  AssignBarFont(source.get(), target.get(), true);
  EXPECT_EQ(target->GetHeight(), -15);

  LOGFONT made{};
  HFONT own = CreateSmallCaptionFont(source.get(), false);
  GetObject(own, sizeof(made), &made);
  EXPECT_EQ(made.lfHeight, -11);
  EXPECT_STREQ(made.lfFaceName, "Arial");
  HFONT system = CreateSmallCaptionFont(source.get(), true);
  GetObject(system, sizeof(made), &made);
  EXPECT_EQ(made.lfHeight, -9);
  EXPECT_STREQ(made.lfFaceName, "Tahoma");
  HFONT copy = CopyFontHandle(system);
  EXPECT_NE(copy, system);
  LOGFONT copied{};
  GetObject(copy, sizeof(copied), &copied);
  EXPECT_EQ(std::memcmp(&copied, &made, sizeof(made)), 0);
  for (HFONT f : {own, system, copy}) DeleteObject(f);
}

}  // namespace
