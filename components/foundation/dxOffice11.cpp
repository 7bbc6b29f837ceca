#include "components/foundation/dxOffice11.h"

#include <algorithm>
#include <cstring>

#include "components/foundation/dxCore.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Math.h"

namespace {

Integer gScheme = 0;
Boolean gSchemeThemed = false;
Integer gReferenceCount = 0;
Boolean gMsimg32 = true;

Integer R(COLORREF c) { return Integer(c & 0xFF); }
Integer G(COLORREF c) { return Integer((c >> 8) & 0xFF); }
Integer B(COLORREF c) { return Integer((c >> 16) & 0xFF); }
Integer Clamp(Integer v) { return std::clamp(v, 0, 255); }
TColor Rgb(Integer r, Integer g, Integer b) { return TColor(RGB(BYTE(r), BYTE(g), BYTE(b))); }

TColor Resolve(TColor c) { return TColor(ColorToRGB(c)); }

WideString UpperW(const char16_t* s) {
  WideString r(s);
  for (char16_t& c : r)
    if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
  return r;
}

Integer DetermineScheme() {
  if (!IsVisualStyleActive()) return 0;
  char16_t file[1024] = {}, color[1024] = {}, size[1024] = {};
  if (GetCurrentThemeName(file, 1024, color, 1024, size, 1024) != S_OK) return 0;
  file[1023] = color[1023] = 0;
  WideString name = UpperW(file);
  const auto slash = name.find_last_of(u"\\/:");
  if (slash != WideString::npos) name.erase(0, slash + 1);
  if (name != u"LUNA.MSSTYLES" && orv::kPlatformMajorVersion <= 5) return 0;
  const WideString colorName = UpperW(color);
  if (colorName == u"NORMALCOLOR") return 1;
  if (colorName == u"HOMESTEAD") return 2;
  if (colorName == u"METALLIC") return 3;
  return 0;
}

void ComputePalette() {
  gScheme = DetermineScheme();
  gSchemeThemed = IsVisualStyleActive() && gScheme != 0;
  auto& c = orv::Office11Palette;
  const TColor face = Resolve(clBtnFace), shadow = Resolve(clBtnShadow),
               highlight = Resolve(clBtnHighlight), text = Resolve(clBtnText),
               grayText = Resolve(clGrayText), selection = Resolve(clHighlight),
               window = Resolve(clWindow);
  if (gSchemeThemed) {
    const Integer k = gScheme - 1;
    auto T = [k](TColor blue, TColor olive, TColor silver) {
      return k == 0 ? blue : k == 1 ? olive : silver;
    };
    c[1] = T(0xF5BE9E, 0xA7D9D9, 0xE5D7D7);
    c[2] = T(0xF9DAC3, 0xE4F0F2, 0xF7F3F3);
    c[3] = T(0xFEECDD, 0xDEF7F4, 0xFAF4F3);
    c[4] = T(0xE2A981, 0x91C6B7, 0xB59799);
    c[5] = T(0xF1A675, 0x8CC2B0, 0xC8B2B3);
    c[6] = T(0x913500, 0x6B7760, 0x927476);
    c[7] = T(0x9C613B, 0x588060, 0x947C7C);
    c[8] = T(0xE0A47B, 0x8FC4B5, 0xB09193);
    c[11] = T(0x764127, 0x335E51, 0x755454);
    c[12] = 0xFFFFFF;
    c[13] = T(0xCB8C6A, 0x588060, 0x8F6D6E);
    c[14] = T(0xFFF9F1, 0xDEF7F4, 0xFFFFFF);
    c[15] = 0x000000;
    c[16] = 0xFFFFFF;
    c[17] = T(0xC9662A, 0x5E8674, 0x99797A);
    c[18] = T(0xF9DBC4, 0xADDEE1, 0xE4DADB);
    c[21] = 0xFFFFFF;
    c[22] = 0x000000;
    c[23] = 0x000000;
    c[24] = T(0xF6F6F6, 0xEEF4F4, 0xFFFAFD);
    c[31] = T(0x962D00, 0x5E8D75, 0x947C7C);
    c[32] = 0xC2EEFF;
    c[33] = T(0x800000, 0x385D3F, 0x6F4B4B);
    c[34] = 0xCCF4FF;
    c[35] = 0x91D0FF;
    c[36] = 0x8ED3FF;
    c[37] = 0x4E91FE;
    c[38] = T(0xFCE1CB, 0xB6E3D8, 0xE7D3D6);
    c[39] = 0x6FC0FF;
    c[40] = 0x3E80FE;
    c[41] = T(0xF0C7A9, 0x9FD4C5, 0xD3C0C0);
    c[42] = 0x000000;
    c[43] = 0x8D8D8D;
    c[48] = T(0xFBDABE, 0x91BAAF, 0xEBE5E5);
    c[49] = 0x94E6FB;
    c[50] = T(0x962D00, 0x588060, 0x947C7C);
    c[51] = T(0xFADAC4, 0xE4F1F2, 0xF7F3F3);
    c[52] = 0xC9EEFD;
    c[53] = T(0xB96837, 0x548973, 0x916F70);
    c[9] = BlendColors(c[5], c[3], 90);
    c[10] = BlendColors(c[6], c[8], 50);
    c[54] = c[8];
    Office11TwoStageGradientPercent = T(41, 125, 40);
  } else {
    c[1] = face;
    c[2] = BlendColors(face, window, 20);
    c[3] = BlendColors(face, window, 22);
    c[4] = BlendColors(face, window, 96);
    c[5] = BlendColors(shadow, window, 74);
    c[6] = shadow;
    c[7] = BlendColors(face, window, 85);
    c[8] = face;
    c[11] = BlendColors(shadow, window, 76);
    c[12] = window;
    c[13] = BlendColors(shadow, window, 70);
    c[14] = 0xFFFFFF;
    c[15] = text;
    c[16] = window;
    c[17] = shadow;
    c[18] = c[4];
    c[21] = highlight;
    c[22] = text;
    c[23] = text;
    c[24] = window;
    c[31] = shadow;
    c[32] = GetNearestScreenColor(MixSystemColors(-2, 30, 72));
    c[33] = selection;
    c[34] = c[32];
    c[35] = c[32];
    c[40] = GetNearestScreenColor(MixSystemColors(14, 44, 40));
    c[36] = c[40];
    c[37] = c[40];
    c[38] = c[4];
    c[39] = MixSystemColors(41, 11, 48);
    c[41] = c[38];
    c[42] = text;
    c[43] = grayText;
    c[48] = face;
    c[49] = c[39];
    c[50] = c[31];
    c[51] = c[1];
    c[52] = face;
    c[53] = shadow;
    c[54] = shadow;
    c[9] = BlendColors(c[6], window, 50);
    c[10] = BlendColors(c[6], c[8], 50);
    Office11TwoStageGradientPercent = 75;
  }
  // Copies, in both cases.
  c[19] = c[3];
  c[20] = c[17];
  c[25] = c[3];
  c[26] = c[4];
  c[27] = c[3];
  c[28] = c[4];
  c[44] = c[1];
  c[45] = c[10];
  c[46] = c[21];
  // The toolbar mark in its normal, hot and pressed states: the normal colours are the palette's
  // own; the hot and pressed ones mix the system colours.
  const TColor hot = GetNearestScreenColor(MixSystemColors(-15, 29, 86));
  const TColor pressed = GetNearestScreenColor(MixSystemColors(42, 11, 47));
  const TColor colors1[3] = {c[5], hot, pressed}, colors2[3] = {c[6], hot, pressed};
  for (int i = 0; i < 3; ++i) {
    Office11MarkGradientColors1[i] = colors1[i];
    Office11MarkGradientColors2[i] = colors2[i];
    Office11MarkLightColors[i] = i == 0 ? c[9]
                                 : gSchemeThemed ? BlendColors(colors1[i], c[3], 90)
                                                 : BlendColors(colors2[i], window, 50);
    Office11MarkMidColors[i] = i == 0 ? c[10] : BlendColors(colors2[i], c[8], 50);
  }
  c[47] = c[31];
  c[29] = BlendColors(c[27], 0, 92);
  c[30] = BlendColors(c[28], 0, 92);
}

// ---- The palette's bitmaps ----------------------------------------------------------------

// A 32-bit bitmap drawn from rows of symbols.
HBITMAP BitmapFromArt(const char* const* rows, int height, TColor (*colorOf)(char)) {
  const int width = int(std::strlen(rows[0]));
  HBITMAP bitmap = CreateBitmap(width, height, 1, 32, nullptr);
  orv::TSurface* s = orv::GetBitmapSurface(bitmap);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) s->SetPixel(x, y, orv::ColorToPixel(colorOf(rows[y][x])));
  return bitmap;
}

// A double chevron on a magenta background: the upper stroke in a lighter grey than the lower,
// so that recolouring spreads it from Office11Color04 (lower) to Office11Color03 (upper).
HBITMAP CreateSubMenuExpandBitmap() {
  static const char* const rows[] = {
      ".......", ".a...a.", "..a.a..", "...a...", ".b...b.", "..b.b..", "...b...", "......."};
  HBITMAP bitmap = BitmapFromArt(rows, 8, [](char ch) -> TColor {
    return ch == 'a' ? 0x909090 : ch == 'b' ? 0x404040 : 0xFF00FF;
  });
  // Recolouring: every pixel that is neither the background (the pixel at (0, 0)) nor black
  // becomes a mix of C1 and C2 by its red component's place between the darkest and lightest.
  orv::TSurface* s = orv::GetBitmapSurface(bitmap);
  const orv::TPixel background = s->Pixel(0, 0) & 0xFFFFFF;
  TColor c1 = Office11Color03, c2 = Office11Color04;
  if (c1 == c2) c2 = c1 != 0 ? 0 : 0xFFFFFF;
  Integer lo = 255, hi = 1;
  auto recolourable = [&](orv::TPixel p) { return (p & 0xFFFFFF) != background && (p & 0xFFFFFF) != 0; };
  for (int y = 0; y < s->Height(); ++y)
    for (int x = 0; x < s->Width(); ++x)
      if (const orv::TPixel p = s->Pixel(x, y); recolourable(p)) {
        const Integer red = Integer((p >> 16) & 0xFF);
        lo = std::min(lo, red);
        hi = std::max(hi, red);
      }
  for (int y = 0; y < s->Height(); ++y)
    for (int x = 0; x < s->Width(); ++x)
      if (const orv::TPixel p = s->Pixel(x, y); recolourable(p)) {
        // One grey level only: all of it takes C1.
        const Integer red = Integer((p >> 16) & 0xFF);
        const Integer percent = hi > lo ? MulDiv(red - lo, 100, hi - lo) : 100;
        s->SetPixel(x, y, orv::ColorToPixel(BlendColors(c1, c2, percent)));
      }
  return bitmap;
}

TColor ExpandButtonColor(char ch) {
  return ch == '#' ? Office11ExpandButtonColor2 : ch == 'o' ? Office11ExpandButtonColor1
                   : ch == 'x' ? 0x000000 : 0xFFFFFF;
}

HBITMAP CreateExpandButtonBitmap(bool plus) {
  static const char* const minus[] = {"#########", "#.......#", "#.......#", "#.......#",
                                      "#.xxxxx.#", "#.......#", "#.......#", "#.......#",
                                      "#########"};
  static const char* const plusRows[] = {"#########", "#.......#", "#...x...#", "#...x...#",
                                         "#.xxxxx.#", "#...x...#", "#...x...#", "#.......#",
                                         "#########"};
  return BitmapFromArt(plus ? plusRows : minus, 9, ExpandButtonColor);
}

void CreateResources() {
  Office11GripDarkBrush = CreateSolidBrush(Office11Color11);
  Office11GripLightBrush = CreateSolidBrush(Office11Color12);
  Office11SeparatorDarkBrush = CreateSolidBrush(Office11Color13);
  Office11SeparatorLightBrush = CreateSolidBrush(Office11Color14);
  Office11MenuBackgroundBrush = CreateSolidBrush(Office11Color24);
  Office11HighlightBrush = CreateSolidBrush(Office11Color33);
  Office11SelectedBrush = CreateSolidBrush(Office11Color32);
  Office11PopupOwnerBrush = CreateSolidBrush(Office11Color38);
  Office11CheckedBrush = CreateSolidBrush(Office11Color39);
  Office11PressedSelectedBrush = CreateSolidBrush(Office11Color40);
  Office11BorderBrush = CreateSolidBrush(Office11Color31);
  Office11MenuAreaBrush = CreateSolidBrush(Office11Color41);
  Office11ArrowItemBrush = CreateSolidBrush(Office11Color45);
  Office11SubMenuExpandBitmap = CreateSubMenuExpandBitmap();
  Office11ExpandButtonMinusBitmap = CreateExpandButtonBitmap(false);
  Office11ExpandButtonPlusBitmap = CreateExpandButtonBitmap(true);
}

template <class H>
void Delete(H& handle) {
  if (handle) DeleteObject(handle);
  handle = nullptr;
}

void DestroyResources() {
  Delete(Office11GripDarkBrush);
  Delete(Office11GripLightBrush);
  Delete(Office11SeparatorDarkBrush);
  Delete(Office11SeparatorLightBrush);
  Delete(Office11MenuBackgroundBrush);
  Delete(Office11HighlightBrush);
  Delete(Office11SelectedBrush);
  Delete(Office11PopupOwnerBrush);
  Delete(Office11CheckedBrush);
  Delete(Office11PressedSelectedBrush);
  Delete(Office11BorderBrush);
  Delete(Office11MenuAreaBrush);
  Delete(Office11ArrowItemBrush);
  Delete(Office11SubMenuExpandBitmap);
  Delete(Office11ExpandButtonMinusBitmap);
  Delete(Office11ExpandButtonPlusBitmap);
}

}  // namespace

namespace orv {
void SetMsimg32Available(Boolean available) { gMsimg32 = available; }
Boolean IsMsimg32Available() { return gMsimg32; }
}  // namespace orv

// ---- Life cycle ---------------------------------------------------------------------------

void AcquireOffice11Resources() {
  if (gReferenceCount == 0) {
    ComputePalette();
    CreateResources();
  }
  ++gReferenceCount;
}

void ReleaseOffice11Resources() {
  if (gReferenceCount <= 0) return;
  if (--gReferenceCount == 0) DestroyResources();
}

void RefreshOffice11Colors() {
  ComputePalette();
  if (gReferenceCount > 0) {
    DestroyResources();
    CreateResources();
  }
}

Integer Office11ResourcesReferenceCount() { return gReferenceCount; }

// ---- Queries and colour arithmetic ----------------------------------------------------------

Integer GetOffice11ColorScheme() { return gScheme; }
Boolean IsOffice11SchemeThemed() { return gSchemeThemed; }
Boolean IsWhiteButtonFace() { return ColorToRGB(clBtnFace) == 0xFFFFFF; }
Boolean IsBlackButtonFace() { return ColorToRGB(clBtnFace) == 0; }
Boolean IsBlackButtonFaceColoredText() {
  return IsBlackButtonFace() && ColorToRGB(clBtnText) != 0xFFFFFF;
}

TColor GetNearestScreenColor(TColor color) {
  HDC screen = orv::CreateScreenDC();
  const COLORREF result = GetNearestColor(screen, ColorToRGB(color));
  DeleteDC(screen);
  return TColor(result);
}

TColor BlendColors(TColor color1, TColor color2, Integer percent) {
  const COLORREF a = ColorToRGB(color1), b = ColorToRGB(color2);
  auto mix = [percent](Integer ca, Integer cb) {
    return Clamp(MulDiv(cb, 100 - percent, 100) + MulDiv(ca, percent, 100));
  };
  return GetNearestScreenColor(Rgb(mix(R(a), R(b)), mix(G(a), G(b)), mix(B(a), B(b))));
}

TColor MixSystemColors(Integer facePercent, Integer highlightPercent, Integer windowPercent) {
  const COLORREF face = ColorToRGB(clBtnFace), highlight = ColorToRGB(clHighlight),
                 window = ColorToRGB(clWindow);
  if (face == 0 || face == 0xFFFFFF) return TColor(highlight);
  auto mix = [&](Integer (*channel)(COLORREF)) {
    return Clamp(MulDiv(channel(face), facePercent, 100) +
                 MulDiv(channel(highlight), highlightPercent, 100) +
                 MulDiv(channel(window), windowPercent, 100));
  };
  return Rgb(mix(R), mix(G), mix(B));
}

TColor ScaleColorComponents(TColor color, Integer percent) {
  const COLORREF c = ColorToRGB(color);
  auto scale = [percent](Integer v) { return Clamp(Integer(Int64(percent) * v / 100)); };
  return Rgb(scale(R(c)), scale(G(c)), scale(B(c)));
}

TColor FadeColorToWhite(TColor color, Integer percent) {
  const COLORREF c = ColorToRGB(color);
  auto fade = [percent](Integer v) { return Clamp(255 - Integer(Int64(percent) * (255 - v) / 100)); };
  return Rgb(fade(R(c)), fade(G(c)), fade(B(c)));
}

// ---- Drawing ------------------------------------------------------------------------------

void FillDCRectWithColor(HDC dc, const TRect& rect, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void FrameDCRectWithColor(HDC dc, const TRect& rect, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FrameRect(dc, &rect, brush);
  DeleteObject(brush);
}

namespace {

// c1 + i (c2 - c1) / (bands - 1) per channel; a single band is colour 1 (the division by
// bands - 1 would otherwise fail and push every channel one step below colour 1).
COLORREF BandColor(COLORREF c1, COLORREF c2, Integer i, Integer bands) {
  if (bands <= 1) return c1;
  auto ch = [&](Integer (*f)(COLORREF)) { return Clamp(f(c1) + MulDiv(i, f(c2) - f(c1), bands - 1)); };
  return RGB(BYTE(ch(R)), BYTE(ch(G)), BYTE(ch(B)));
}

}  // namespace

void DrawGradientRect(HDC dc, const TRect& rect, TColor color1, TColor color2, Boolean horizontal) {
  const COLORREF c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  if (c1 == c2) {
    FillDCRectWithColor(dc, rect, color1);
    return;
  }
  if (gMsimg32) {
    TRIVERTEX v[2] = {{rect.Left, rect.Top, COLOR16(R(c1) << 8), COLOR16(G(c1) << 8),
                       COLOR16(B(c1) << 8), 0},
                      {rect.Right, rect.Bottom, COLOR16(R(c2) << 8), COLOR16(G(c2) << 8),
                       COLOR16(B(c2) << 8), 0}};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, v, 2, &mesh, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
    return;
  }
  const Integer start = horizontal ? rect.Left : rect.Top;
  const Integer end = horizontal ? rect.Right : rect.Bottom;
  const Integer n = end - start;
  if (n <= 0) return;
  const Integer bands = std::min(n, 256);
  Integer from = start;
  for (Integer i = 0; i < bands; ++i) {
    const Integer to = start + MulDiv(i + 1, n, bands);
    if (to > from) {
      const TRect band = horizontal ? TRect{from, rect.Top, to, rect.Bottom}
                                    : TRect{rect.Left, from, rect.Right, to};
      FillDCRectWithColor(dc, band, TColor(BandColor(c1, c2, i, bands)));
    }
    from = to;
    if (from >= end) break;
  }
}

TColor GetGradientColorAtPos(const TRect& rect, Integer coordinate, TColor color1, TColor color2,
                             Boolean horizontal) {
  const Integer start = horizontal ? rect.Left : rect.Top;
  const Integer n = horizontal ? rect.Right - rect.Left : rect.Bottom - rect.Top;
  const COLORREF c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  if (n <= 0) return TColor(c1);
  const Integer bands = std::min(n, 256);
  // The band DrawGradientRect paints at the coordinate: its edges are start + MulDiv(k, n,
  // bands), rounded, so the first estimate can be one band off either way.
  Integer i = std::clamp(MulDiv(coordinate - start + 1, bands, n) - 1, 0, bands - 1);
  while (i > 0 && coordinate < start + MulDiv(i, n, bands)) --i;
  while (i < bands - 1 && coordinate >= start + MulDiv(i + 1, n, bands)) ++i;
  return TColor(BandColor(c1, c2, i, bands));
}

void FillTwoStageGradient(HDC dc, const TRect& rect, TColor color1, TColor color2,
                          Boolean horizontal) {
  const COLORREF c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  if (c1 == c2) {
    FillDCRectWithColor(dc, rect, color1);
    return;
  }
  const Integer start = horizontal ? rect.Left : rect.Top;
  const Integer end = horizontal ? rect.Right : rect.Bottom;
  const Integer n = end - start;
  if (n <= 0) return;
  const Integer h = n / 2;
  const Integer p = Office11TwoStageGradientPercent;
  Integer (*const channels[3])(COLORREF) = {R, G, B};
  Integer m[3], e[3], s[3];
  for (int k = 0; k < 3; ++k) {
    const Integer a = channels[k](c1);
    m[k] = a - MulDiv(a - channels[k](c2), p, 200);
    e[k] = a - MulDiv(a - m[k], n, h);
    s[k] = a;
  }
  for (Integer i = 0; i < n; ++i) {
    Integer v[3];
    for (int k = 0; k < 3; ++k) {
      const Integer b = channels[k](c2);
      if (i < h) v[k] = s[k] + MulDiv(i, e[k] - s[k], n - 1);
      else if (i == h) v[k] = m[k];
      else v[k] = s[k] + MulDiv(i, b - s[k], n - 1);
    }
    if (i == h)
      for (int k = 0; k < 3; ++k) s[k] = channels[k](c2) + MulDiv(m[k] - channels[k](c2), n, h);
    const TRect band = horizontal ? TRect{start + i, rect.Top, start + i + 1, rect.Bottom}
                                  : TRect{rect.Left, start + i, rect.Right, start + i + 1};
    // A ramp that would overshoot a channel is held at its limit rather than wrapped round.
    FillDCRectWithColor(dc, band, Rgb(Clamp(v[0]), Clamp(v[1]), Clamp(v[2])));
  }
}

void DrawOffice11SelectionFrame(HDC dc, const TRect& rect) {
  if (IsBlackButtonFace()) FrameDCRectWithColor(dc, rect, clHighlightText);
  else if (Office11HighlightBrush) FrameRect(dc, &rect, Office11HighlightBrush);
  else FrameDCRectWithColor(dc, rect, Office11Color33);
}

void DrawOffice11GripDots(HDC dc, const TRect& rect, Boolean verticalRun, HBRUSH brush1,
                          HBRUSH brush2) {
  if (!brush1) brush1 = Office11GripLightBrush;
  if (!brush2) brush2 = Office11GripDarkBrush;
  const Integer extent = verticalRun ? rect.Bottom - rect.Top : rect.Right - rect.Left;
  Integer r = extent % 4;
  if (r < 0) r += 4;
  if (r >= 2) r /= 2;
  TRect cell{rect.Left, rect.Top, rect.Left + 4, rect.Top + 4};
  if (verticalRun) cell = {cell.Left, cell.Top + r, cell.Right, cell.Bottom + r};
  else cell = {cell.Left + r, cell.Top, cell.Right + r, cell.Bottom};
  do {
    const TRect shade{cell.Left + 1, cell.Top + 1, cell.Left + 3, cell.Top + 3};
    const TRect dot{cell.Left, cell.Top, cell.Left + 2, cell.Top + 2};
    if (brush2) FillRect(dc, &shade, brush2);
    if (brush1) FillRect(dc, &dot, brush1);
    if (verticalRun) cell = {cell.Left, cell.Top + 4, cell.Right, cell.Bottom + 4};
    else cell = {cell.Left + 4, cell.Top, cell.Right + 4, cell.Bottom};
  } while (verticalRun ? cell.Bottom <= rect.Bottom : cell.Right <= rect.Right);
}

void DrawDiagonalSizeGrip(HDC dc, const TRect& rect, TColor color1, TColor color2) {
  HBRUSH brush1 = color1 == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(color1));
  HBRUSH brush2 = color2 == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(color2));
  const Integer r = rect.Right, b = rect.Bottom;
  DrawOffice11GripDots(dc, {r - 12, b - 3, r, b}, false, brush1, brush2);
  DrawOffice11GripDots(dc, {r - 8, b - 7, r, b - 4}, false, brush1, brush2);
  DrawOffice11GripDots(dc, {r - 4, b - 11, r, b - 8}, false, brush1, brush2);
  if (brush1) DeleteObject(brush1);
  if (brush2) DeleteObject(brush2);
}

void DrawOffice11Arrow(HDC dc, const TRect& rect, Boolean down, Integer size, Boolean selected,
                       Boolean enabled) {
  TColor color = Office11Color42;
  if (!enabled) color = Office11Color43;
  else if (selected && IsWhiteButtonFace()) color = 0xFFFFFF;
  const Integer s = size;
  POINT p[3];
  if (down) {
    const Integer x0 = (rect.Left + rect.Right - (2 * s - 1)) / 2;
    const Integer y0 = (rect.Top + rect.Bottom - s) / 2;
    p[0] = {x0, y0};
    p[1] = {x0 + 2 * s - 2, y0};
    p[2] = {x0 + s - 1, y0 + s - 1};
  } else {
    const Integer x0 = (rect.Left + rect.Right - s) / 2;
    const Integer y0 = (rect.Top + rect.Bottom - (2 * s - 1)) / 2;
    p[0] = {x0, y0};
    p[1] = {x0, y0 + 2 * s - 2};
    p[2] = {x0 + s - 1, y0 + s - 1};
  }
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(color));
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Polygon(dc, p, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void DrawOffice11ArrowInRect(HDC dc, const TRect& rect, Boolean down, Boolean enabled,
                             Boolean selected) {
  const Integer e = down ? (rect.Right - rect.Left) - 8 : (rect.Bottom - rect.Top) - 6;
  Integer size = (e - 1) / 2;
  if (e % 2 != 0) ++size;
  DrawOffice11Arrow(dc, rect, down, std::max(size, 3), selected, enabled);
}
