// Text output and measuring: runs of glyphs composed into a coverage mask (with underline and
// strike-out), turned for escapements of 90, 180 and 270 degrees, and blended in the text
// colour through the clip; text extents with fit counts and positions; tabbed text.
#include <algorithm>
#include <cstring>

#include "platform/drawing/FontEngine.h"

namespace orv::gdi {

TRunLayout LayoutRun(TDc& dc, TFontInstance& font, std::u32string_view text, const INT* dx,
                     bool justify) {
  TRunLayout out;
  out.Advances.resize(text.size());
  const int breaks = justify ? dc.S.BreakCount : 0;
  int breakIndex = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int a;
    if (dx) {
      a = dx[i];
    } else {
      a = font.Advance(text[i]) + dc.S.CharExtra;
      if (breaks > 0 && text[i] == font.Metrics.tmBreakChar) {
        a += dc.S.BreakExtra / breaks + (breakIndex < dc.S.BreakExtra % breaks ? 1 : 0);
        ++breakIndex;
      }
    }
    out.Advances[i] = a;
    out.Width += a;
  }
  return out;
}

void FillBackground(TDc& dc, const TRect& logical) {
  const TRect r = dc.ToSurface(logical);
  PaintRect(dc, {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                 std::max(r.Top, r.Bottom)},
            ColorPaint(dc, dc.S.BkColor, 0xF0));
}

int NextTabStop(int x, int tabCount, const INT* tabStops, int defaultWidth) {
  if (tabCount > 1 && tabStops) {
    for (int i = 0; i < tabCount; ++i)
      if (std::abs(tabStops[i]) > x) return std::abs(tabStops[i]);
  }
  int step = defaultWidth;
  if (tabCount == 1 && tabStops && tabStops[0] > 0) step = tabStops[0];
  step = std::max(step, 1);
  return (x / step + 1) * step;
}

namespace {

// Maps a pixel offset in the text's own frame (along the text, down from its top) to the device
// for a quarter-turn count q (1 = 90 degrees counter-clockwise), and back.
TPoint TurnPixel(int q, int du, int dv) {
  switch (q & 3) {
    case 1: return {dv, -du - 1};
    case 2: return {-du - 1, -dv - 1};
    case 3: return {-dv - 1, du};
    default: return {du, dv};
  }
}

TPoint UnturnPixel(int q, int px, int py) {
  switch (q & 3) {
    case 1: return {-py - 1, px};
    case 2: return {-px - 1, -py - 1};
    case 3: return {py, -px - 1};
    default: return {px, py};
  }
}

// The device rectangle covering the text-frame rectangle [u0, u1) x [v0, v1).
TRect TurnRect(int q, int u0, int v0, int u1, int v1) {
  const TPoint a = TurnPixel(q, u0, v0), b = TurnPixel(q, u1 - 1, v1 - 1);
  return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1, std::max(a.Y, b.Y) + 1};
}

int QuarterTurns(const TDc& dc) {
  const int esc = dc.S.Font ? dc.S.Font->Log.lfEscapement : 0;
  const int e = ((esc % 3600) + 3600) % 3600;
  return ((e + 450) / 900) % 4;
}

struct TMask {
  int U0 = 0, V0 = 0, W = 0, H = 0;
  std::vector<std::uint8_t> Data;
  std::uint8_t& At(int u, int v) { return Data[std::size_t((v - V0) * W + (u - U0))]; }
};

}  // namespace

int DrawRun(TDc& dc, int x, int y, std::u32string_view text, const INT* dx, const TRect* clip,
            bool useAlign, bool justify, bool cellBackground) {
  TFontInstance& font = *FontOf(dc);
  const TRunLayout lay = LayoutRun(dc, font, text, dx, justify);
  const TEXTMETRICW& m = font.Metrics;
  const int width = lay.Width, height = m.tmHeight, ascent = m.tmAscent;
  const UINT align = useAlign ? dc.S.TextAlign : (TA_LEFT | TA_TOP);
  TPoint ref{x, y};
  if (align & TA_UPDATECP) ref = dc.S.CurrentPos;
  // Where the reference point lies in the text's frame.
  int uRef = 0, vRef = 0;
  if ((align & TA_CENTER) == TA_CENTER) uRef = width / 2;
  else if (align & TA_RIGHT) uRef = width;
  if ((align & TA_BASELINE) == TA_BASELINE) vRef = ascent;
  else if (align & TA_BOTTOM) vRef = height;
  const int q = QuarterTurns(dc);
  const TPoint refS = dc.ToSurface(ref);

  if (align & TA_UPDATECP) {
    if ((align & TA_CENTER) == TA_CENTER) {
    } else if (align & TA_RIGHT) {
      dc.S.CurrentPos.X -= width;
    } else {
      dc.S.CurrentPos.X += width;
    }
  }
  if (!dc.Surface) return width;

  // The clip: the DC's, and the caller's rectangle.
  dc.UpdateClip();
  TRect limit{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};
  if (clip) {
    const TRect c = dc.ToSurface(*clip);
    limit = {std::min(c.Left, c.Right), std::min(c.Top, c.Bottom), std::max(c.Left, c.Right),
             std::max(c.Top, c.Bottom)};
  }

  if (cellBackground && dc.S.BkMode == OPAQUE && width > 0) {
    TRect cell = TurnRect(q, -uRef, -vRef, width - uRef, height - vRef);
    cell = {cell.Left + refS.X, cell.Top + refS.Y, cell.Right + refS.X, cell.Bottom + refS.Y};
    cell = {std::max(cell.Left, limit.Left), std::max(cell.Top, limit.Top),
            std::min(cell.Right, limit.Right), std::min(cell.Bottom, limit.Bottom)};
    PaintRect(dc, cell, ColorPaint(dc, dc.S.BkColor, 0xF0));
  }

  // The coverage of the whole run in the text's frame.
  int u0 = 0, v0 = 0, u1 = width, v1 = height;
  {
    int pen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const TGlyph& g = font.Glyph(text[i]);
      if (g.Width > 0 && g.Height > 0) {
        u0 = std::min(u0, pen + g.Left);
        u1 = std::max(u1, pen + g.Left + g.Width);
        v0 = std::min(v0, ascent - g.Top);
        v1 = std::max(v1, ascent - g.Top + g.Height);
      }
      pen += lay.Advances[i];
    }
  }
  if (u1 <= u0 || v1 <= v0) return width;
  thread_local TMask mask;
  mask.U0 = u0;
  mask.V0 = v0;
  mask.W = u1 - u0;
  mask.H = v1 - v0;
  mask.Data.assign(std::size_t(mask.W) * std::size_t(mask.H), 0);
  bool any = false;
  int pen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const TGlyph& g = font.Glyph(text[i]);
    for (int gy = 0; gy < g.Height; ++gy) {
      const std::uint8_t* src = g.Coverage.data() + std::size_t(gy * g.Width);
      std::uint8_t* dst = &mask.At(pen + g.Left, ascent - g.Top + gy);
      for (int gx = 0; gx < g.Width; ++gx)
        if (src[gx]) {
          dst[gx] = std::max(dst[gx], src[gx]);
          any = true;
        }
    }
    pen += lay.Advances[i];
  }
  auto line = [&](int top, int size) {
    for (int v = top; v < top + size; ++v) {
      if (v < v0 || v >= v1) continue;
      for (int u = 0; u < width; ++u) mask.At(u, v) = 255;
      any = width > 0 || any;
    }
  };
  if (m.tmUnderlined) line(ascent + font.UnderlinePos - 1, font.UnderlineSize);
  if (m.tmStruckOut) line(ascent - font.StrikePos, font.StrikeSize);
  if (!any) return width;

  TRect bounds = TurnRect(q, u0 - uRef, v0 - vRef, u1 - uRef, v1 - vRef);
  bounds = {bounds.Left + refS.X, bounds.Top + refS.Y, bounds.Right + refS.X, bounds.Bottom + refS.Y};
  const TPixel color = SolidPixel(dc, dc.S.TextColor);
  const bool mono = dc.IsMonoTarget();
  const int tr = int((color >> 16) & 0xFF), tg = int((color >> 8) & 0xFF), tb = int(color & 0xFF);
  for (const TRect& c : dc.ClipRects) {
    const int l = std::max({bounds.Left, c.Left, limit.Left});
    const int r = std::min({bounds.Right, c.Right, limit.Right});
    const int t = std::max({bounds.Top, c.Top, limit.Top});
    const int b = std::min({bounds.Bottom, c.Bottom, limit.Bottom});
    for (int sy = t; sy < b; ++sy) {
      TPixel* row = dc.Surface->Row(sy);
      for (int sx = l; sx < r; ++sx) {
        const TPoint d = UnturnPixel(q, sx - refS.X, sy - refS.Y);
        const int u = d.X + uRef, v = d.Y + vRef;
        if (u < u0 || u >= u1 || v < v0 || v >= v1) continue;
        const int a = mask.At(u, v);
        if (a == 0) continue;
        if (mono) {
          if (a >= 128) row[sx] = color;
          continue;
        }
        if (a == 255) {
          row[sx] = color;
          continue;
        }
        const TPixel old = row[sx];
        const int ia = 255 - a;
        const int nr = (tr * a + int((old >> 16) & 0xFF) * ia + 127) / 255;
        const int ng = (tg * a + int((old >> 8) & 0xFF) * ia + 127) / 255;
        const int nb = (tb * a + int(old & 0xFF) * ia + 127) / 255;
        row[sx] = MakePixel(nr, ng, nb, 0);
      }
    }
  }
  return width;
}

}  // namespace orv::gdi

using namespace orv;
using namespace orv::gdi;

namespace {

template <class Char>
BOOL ExtentEx(HDC dc, const Char* text, int count, int maxExtent, INT* fit, INT* dx, SIZE* size) {
  TDc* d = AsDc(dc);
  if (!d || count < 0 || (!text && count > 0)) return 0;
  TFontInstance& font = *FontOf(*d);
  const std::u32string s = DecodeText(font, text, count);
  const TRunLayout lay = LayoutRun(*d, font, s, nullptr, true);
  int total = 0, fitted = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    total += lay.Advances[i];
    if (dx) dx[i] = total;
    if (total <= maxExtent) fitted = int(i) + 1;
  }
  if (fit) *fit = fitted;
  if (size) *size = {total, font.Metrics.tmHeight};
  return 1;
}

template <class Char>
BOOL TextOutT(HDC dc, int x, int y, const Char* text, int count) {
  TDc* d = AsDc(dc);
  if (!d || count < 0 || (!text && count > 0)) return 0;
  DrawRun(*d, x, y, DecodeText(*FontOf(*d), text, count), nullptr, nullptr, true, true, true);
  return 1;
}

template <class Char>
BOOL ExtTextOutT(HDC dc, int x, int y, UINT options, const RECT* rect, const Char* text,
                 UINT count, const INT* dx) {
  TDc* d = AsDc(dc);
  if (!d || (!text && count > 0)) return 0;
  const bool opaque = (options & ETO_OPAQUE) && rect;
  if (opaque) FillBackground(*d, *rect);
  if (count == 0) return 1;
  const TRect* clip = (options & ETO_CLIPPED) && rect ? rect : nullptr;
  DrawRun(*d, x, y, DecodeText(*FontOf(*d), text, int(count)), dx, clip, true, true, !opaque);
  return 1;
}

// Splits at tabs; returns the extent and, when `draw`, draws the pieces.
template <class Char>
LONG Tabbed(HDC dc, int x, int y, const Char* text, int count, int tabCount, const INT* tabStops,
            int tabOrigin, bool draw) {
  TDc* d = AsDc(dc);
  if (!d || count < 0 || (!text && count > 0)) return 0;
  TFontInstance& font = *FontOf(*d);
  const std::u32string s = DecodeText(font, text, count);
  const int defaultTab = 8 * font.Metrics.tmAveCharWidth;
  const int height = font.Metrics.tmHeight;
  // Layout first, so that an opaque background can be painted under the whole line.
  struct TPiece {
    std::size_t From, To;
    int X;
  };
  std::vector<TPiece> pieces;
  int pos = x;
  std::size_t from = 0;
  for (std::size_t i = 0; i <= s.size(); ++i) {
    if (i < s.size() && s[i] != U'\t') continue;
    const std::u32string_view piece(s.data() + from, i - from);
    pieces.push_back({from, i, pos});
    pos += LayoutRun(*d, font, piece, nullptr, false).Width;
    if (i < s.size()) pos = tabOrigin + NextTabStop(pos - tabOrigin, tabCount, tabStops, defaultTab);
    from = i + 1;
  }
  const int width = pos - x;
  if (draw) {
    if (d->S.BkMode == OPAQUE) FillBackground(*d, {x, y, x + width, y + height});
    for (const TPiece& p : pieces)
      DrawRun(*d, p.X, y, std::u32string_view(s.data() + p.From, p.To - p.From), nullptr, nullptr,
              false, false, false);
  }
  return LONG((std::uint32_t(height) << 16) | (std::uint32_t(width) & 0xFFFF));
}

}  // namespace

BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size) {
  return ExtentEx(dc, text, count, 0, nullptr, nullptr, size);
}
BOOL GetTextExtentPoint32W(HDC dc, const char16_t* text, int count, SIZE* size) {
  return ExtentEx(dc, text, count, 0, nullptr, nullptr, size);
}
BOOL GetTextExtentExPoint(HDC dc, const char* text, int count, int maxExtent, INT* fit, INT* dx,
                          SIZE* size) {
  return ExtentEx(dc, text, count, maxExtent, fit, dx, size);
}
BOOL GetTextExtentExPointW(HDC dc, const char16_t* text, int count, int maxExtent, INT* fit,
                           INT* dx, SIZE* size) {
  return ExtentEx(dc, text, count, maxExtent, fit, dx, size);
}
DWORD GetTabbedTextExtent(HDC dc, const char* text, int count, int tabCount, const INT* tabStops) {
  return DWORD(Tabbed(dc, 0, 0, text, count, tabCount, tabStops, 0, false));
}
DWORD GetTabbedTextExtentW(HDC dc, const char16_t* text, int count, int tabCount,
                           const INT* tabStops) {
  return DWORD(Tabbed(dc, 0, 0, text, count, tabCount, tabStops, 0, false));
}
BOOL TextOut(HDC dc, int x, int y, const char* text, int count) {
  return TextOutT(dc, x, y, text, count);
}
BOOL TextOutW(HDC dc, int x, int y, const char16_t* text, int count) {
  return TextOutT(dc, x, y, text, count);
}
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text,
                UINT count, const INT* dx) {
  return ExtTextOutT(dc, x, y, options, rect, text, count, dx);
}
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, const char16_t* text,
                 UINT count, const INT* dx) {
  return ExtTextOutT(dc, x, y, options, rect, text, count, dx);
}
LONG TabbedTextOut(HDC dc, int x, int y, const char* text, int count, int tabCount,
                   const INT* tabStops, int tabOrigin) {
  return Tabbed(dc, x, y, text, count, tabCount, tabStops, tabOrigin, true);
}
LONG TabbedTextOutW(HDC dc, int x, int y, const char16_t* text, int count, int tabCount,
                    const INT* tabStops, int tabOrigin) {
  return Tabbed(dc, x, y, text, count, tabCount, tabStops, tabOrigin, true);
}
