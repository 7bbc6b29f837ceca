#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/drawing/tests/DrawingFixture.h"

using drawing_test::TCanvas;

namespace {

BITMAPINFO Header(int w, int h, int bpp) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biBitCount = WORD(bpp);
  return info;
}

TEST(Bitmaps, DeviceIndependentBitsRoundTripBothRowOrders) {
  TCanvas c(3, 2);
  orv::TSurface& s = c.Surface();
  s.SetPixel(0, 0, orv::MakePixel(1, 2, 3, 4));
  s.SetPixel(2, 1, orv::MakePixel(10, 20, 30, 40));
  // 32 bits top-down: the pixels as they are, alpha included.
  BITMAPINFO top = Header(3, -2, 32);
  std::vector<std::uint32_t> bits(6);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bitmap, 0, 2, bits.data(), &top, DIB_RGB_COLORS), 2);
  EXPECT_EQ(bits[0], orv::MakePixel(1, 2, 3, 4));
  EXPECT_EQ(bits[5], orv::MakePixel(10, 20, 30, 40));
  // 24 bits bottom-up: rows padded to 4 bytes, the bottom row first.
  BITMAPINFO bottom = Header(3, 2, 24);
  std::vector<BYTE> rgb(2 * 12);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bitmap, 0, 2, rgb.data(), &bottom, DIB_RGB_COLORS), 2);
  EXPECT_EQ(rgb[6], 30);  // blue of (2, 1), first row in memory
  EXPECT_EQ(rgb[8], 10);
  EXPECT_EQ(rgb[12 + 2], 1);  // red of (0, 0), second row
  // Writing them back gives the colours with alpha 0.
  s.Fill(0);
  EXPECT_EQ(SetDIBits(c.Dc, c.Bitmap, 0, 2, rgb.data(), &bottom, DIB_RGB_COLORS), 2);
  EXPECT_EQ(s.Pixel(2, 1), orv::MakePixel(10, 20, 30, 0));
  EXPECT_EQ(s.Pixel(0, 0), orv::MakePixel(1, 2, 3, 0));
  // Asking with no bit count describes the bitmap.
  BITMAPINFO ask{};
  GetDIBits(c.Dc, c.Bitmap, 0, 0, nullptr, &ask, DIB_RGB_COLORS);
  EXPECT_EQ(ask.bmiHeader.biBitCount, 32);
  EXPECT_EQ(ask.bmiHeader.biHeight, 2);
}

TEST(Bitmaps, MonochromeAndPaletteDepthsKeepTheirColours) {
  // 1 bit per pixel through a DIB with its own two colours.
  struct {
    BITMAPINFOHEADER H;
    RGBQUAD C[2];
  } mono{};
  mono.H.biWidth = 8;
  mono.H.biHeight = -1;
  mono.H.biBitCount = 1;
  mono.C[0] = {0, 0, 255, 0};  // red
  mono.C[1] = {255, 0, 0, 0};  // blue
  const DWORD row = 0x000000A0;  // bits 1 0 1 0 0 0 0 0
  TCanvas c(8, 1);
  SetDIBitsToDevice(c.Dc, 0, 0, 8, 1, 0, 0, 0, 1, &row, reinterpret_cast<BITMAPINFO*>(&mono),
                    DIB_RGB_COLORS);
  EXPECT_TRUE(c.Art({0, 0, 4, 1}, "brbr"));
  // A 4-bit DIB section is not offered; a 32-bit one hands out its pixels, bottom-up.
  BITMAPINFO info = Header(2, 2, 32);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(c.Dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  static_cast<std::uint32_t*>(bits)[0] = 0x11223344;  // the bottom-left pixel
  EXPECT_EQ(orv::GetBitmapSurface(dib)->Pixel(0, 1), 0x11223344u);
  BITMAP bm{};
  GetObject(dib, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBits, bits);
  DeleteObject(dib);
  BITMAPINFO four = Header(2, 2, 4);
  EXPECT_EQ(CreateDIBSection(c.Dc, &four, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(Bitmaps, BlitsCopyAll32BitsAndConvertMonochrome) {
  TCanvas src(2, 1), dst(4, 2);
  src.Surface().SetPixel(0, 0, orv::MakePixel(1, 2, 3, 0x80));
  src.Surface().SetPixel(1, 0, orv::ColorToPixel(RGB(255, 0, 0)));
  BitBlt(dst.Dc, 1, 1, 2, 1, src.Dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.Surface().Pixel(1, 1), orv::MakePixel(1, 2, 3, 0x80));
  // Colour to monochrome: the source's background colour becomes white, the rest black.
  TCanvas mono(2, 1, 1);
  SetBkColor(src.Dc, RGB(255, 0, 0));
  BitBlt(mono.Dc, 0, 0, 2, 1, src.Dc, 0, 0, SRCCOPY);
  EXPECT_EQ(mono.At(0, 0), 0u);
  EXPECT_EQ(mono.At(1, 0), 0xFFFFFFu);
  // Monochrome to colour: black takes the text colour, white the background colour.
  SetTextColor(dst.Dc, RGB(0, 0, 255));
  SetBkColor(dst.Dc, RGB(0, 255, 0));
  BitBlt(dst.Dc, 0, 0, 2, 1, mono.Dc, 0, 0, SRCCOPY);
  EXPECT_TRUE(dst.Art({0, 0, 2, 1}, "bg"));
  // The mask operations (black text, white background): AND keeps where the mask is white.
  SetTextColor(dst.Dc, RGB(0, 0, 0));
  SetBkColor(dst.Dc, RGB(255, 255, 255));
  BitBlt(dst.Dc, 0, 0, 2, 1, mono.Dc, 0, 0, SRCAND);
  EXPECT_TRUE(dst.Art({0, 0, 2, 1}, "#g"));
  // A new memory DC holds a monochrome bitmap, so bitmaps compatible with it are monochrome.
  HDC fresh = CreateCompatibleDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(fresh, 4, 4);
  BITMAP bm{};
  GetObject(b, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteObject(b);
  DeleteDC(fresh);
}

TEST(Bitmaps, StretchAlphaBlendAndGradients) {
  TCanvas src(2, 2), dst(8, 8);
  orv::TSurface& s = src.Surface();
  s.SetPixel(0, 0, orv::ColorToPixel(RGB(255, 0, 0)));
  s.SetPixel(1, 0, orv::ColorToPixel(RGB(0, 255, 0)));
  s.SetPixel(0, 1, orv::ColorToPixel(RGB(0, 0, 255)));
  s.SetPixel(1, 1, orv::ColorToPixel(RGB(0, 0, 0)));
  StretchBlt(dst.Dc, 0, 0, 4, 4, src.Dc, 0, 0, 2, 2, SRCCOPY);
  EXPECT_TRUE(dst.Art({0, 0, 4, 4}, R"(
      rrgg
      rrgg
      bb##
      bb##)"));
  StretchBlt(dst.Dc, 8, 0, -4, 2, src.Dc, 0, 0, 2, 1, SRCCOPY);  // mirrored: 4..7
  EXPECT_TRUE(dst.Art({4, 0, 8, 1}, "ggrr"));

  // Premultiplied source over destination: 50% white over black gives grey.
  s.SetPixel(0, 0, orv::MakePixel(128, 128, 128, 128));
  dst.Surface().SetPixel(0, 5, orv::MakePixel(0, 0, 0, 255));
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dst.Dc, 0, 5, 1, 1, src.Dc, 0, 0, 1, 1, bf);
  EXPECT_EQ(dst.Surface().Pixel(0, 5), orv::MakePixel(128, 128, 128, 255));
  bf.SourceConstantAlpha = 0;  // constant alpha 0 leaves the destination
  AlphaBlend(dst.Dc, 0, 5, 1, 1, src.Dc, 0, 0, 1, 1, bf);
  EXPECT_EQ(dst.Surface().Pixel(0, 5), orv::MakePixel(128, 128, 128, 255));

  TRIVERTEX v[2] = {{0, 6, 0, 0, 0, 0}, {4, 8, 0xFF00, 0xFF00, 0xFF00, 0}};
  GRADIENT_RECT g{0, 1};
  GradientFill(dst.Dc, v, 2, &g, 1, GRADIENT_FILL_RECT_H);
  EXPECT_EQ(dst.At(0, 6), RGB(0, 0, 0));
  EXPECT_EQ(dst.At(2, 7), RGB(127, 127, 127));
  EXPECT_EQ(dst.At(3, 6), RGB(191, 191, 191));
}

TEST(Regions, CombineCompareAndHitTest) {
  HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  struct TCase {
    int Mode;
    int Type;
    RECT Box;
    bool In77, In22, In1212;
  } cases[] = {
      {RGN_AND, SIMPLEREGION, {5, 5, 10, 10}, true, false, false},
      {RGN_OR, COMPLEXREGION, {0, 0, 15, 15}, true, true, true},
      {RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}, false, true, true},
      {RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}, false, true, false},
      {RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}, true, true, false},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(CombineRgn(r, a, b, c.Mode), c.Type) << c.Mode;
    RECT box;
    GetRgnBox(r, &box);
    EXPECT_EQ(box, c.Box) << c.Mode;
    EXPECT_EQ(bool(PtInRegion(r, 7, 7)), c.In77) << c.Mode;
    EXPECT_EQ(bool(PtInRegion(r, 2, 2)), c.In22) << c.Mode;
    EXPECT_EQ(bool(PtInRegion(r, 12, 12)), c.In1212) << c.Mode;
  }
  EXPECT_FALSE(PtInRegion(a, 10, 5));  // right edge excluded
  OffsetRgn(b, -5, -5);
  EXPECT_TRUE(EqualRgn(a, b));
  HRGN e1 = CreateRectRgn(0, 0, 0, 0), e2 = CreateRectRgn(50, 50, 50, 60);
  EXPECT_TRUE(EqualRgn(e1, e2));  // two empty regions are equal
  const RECT probe{9, 9, 20, 20};
  EXPECT_TRUE(RectInRegion(a, &probe));
  for (HRGN h : {a, b, r, e1, e2}) DeleteObject(h);

  // Round and elliptic regions stay inside their box, touching each edge.
  HRGN round = CreateRoundRectRgn(0, 0, 10, 8, 4, 4);
  RECT box;
  GetRgnBox(round, &box);
  EXPECT_EQ(box, (RECT{0, 0, 10, 8}));
  EXPECT_FALSE(PtInRegion(round, 0, 0));  // the corner is cut
  EXPECT_TRUE(PtInRegion(round, 5, 0));
  HRGN ellipse = CreateEllipticRgn(0, 0, 9, 9);
  EXPECT_TRUE(PtInRegion(ellipse, 4, 4));
  EXPECT_FALSE(PtInRegion(ellipse, 0, 0));
  const POINT tri[3] = {{0, 0}, {8, 0}, {0, 8}};
  HRGN poly = CreatePolygonRgn(tri, 3, WINDING);
  EXPECT_TRUE(PtInRegion(poly, 0, 7));
  EXPECT_FALSE(PtInRegion(poly, 7, 7));
  for (HRGN h : {round, ellipse, poly}) DeleteObject(h);
}

TEST(Regions, FillFrameAndInvertOnADc) {
  TCanvas c(6, 6);
  HRGN r = CreateRectRgn(1, 1, 5, 5);
  FrameRgn(c.Dc, r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1);
  EXPECT_TRUE(c.Art({0, 0, 6, 6}, R"(
      ......
      .####.
      .#..#.
      .#..#.
      .####.
      ......)"));
  InvertRgn(c.Dc, r);
  EXPECT_TRUE(c.Art({0, 0, 6, 6}, R"(
      ......
      ......
      ..##..
      ..##..
      ......
      ......)"));
  DeleteObject(r);
}

}  // namespace
