// The rasterizer core: raster operations on whole 32-bit pixels, brush tiles, and painting runs
// of pixels through a DC's clip (rectangles first: a single clip rectangle is the fast path).
#include <algorithm>

#include "platform/drawing/GdiInternal.h"

namespace orv::gdi {

std::uint8_t Rop2ToRop3(int rop2) {
  // Bit (2P + D) of (rop2 - 1) gives the result for pattern bit P and destination bit D.
  const int t = std::clamp(rop2, R2_BLACK, R2_WHITE) - 1;
  std::uint8_t code = 0;
  for (int i = 0; i < 8; ++i) {
    const int p = (i >> 2) & 1, d = i & 1;
    if ((t >> (p * 2 + d)) & 1) code |= std::uint8_t(1 << i);
  }
  return code;
}

TPixel ApplyRop(std::uint8_t rop, TPixel p, TPixel s, TPixel d) {
  switch (rop) {
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFFFF;
    case 0xF0: return p;
    case 0xCC: return s;
    case 0xAA: return d;
    case 0x55: return ~d;
    case 0x33: return ~s;
    case 0x0F: return ~p;
    case 0x5A: return p ^ d;
    case 0x66: return s ^ d;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0xBB: return ~s | d;
    case 0x44: return s & ~d;
    case 0x11: return ~(s | d);
    case 0xC0: return p & s;
    case 0xA0: return p & d;
    case 0xFA: return p | d;
    default: break;
  }
  TPixel r = 0;
  for (int i = 0; i < 8; ++i)
    if ((rop >> i) & 1) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r;
}

namespace {

COLORREF BrushColor(const TDc& dc, const TBrush& b) {
  if (b.SysColor >= 0) return SysColor(b.SysColor);
  if (b.DCBrush) return dc.S.DCBrushColor;
  return b.Color;
}

int Mod(int a, int m) {
  const int r = a % m;
  return r < 0 ? r + m : r;
}

}  // namespace

TPaint BrushPaint(const TDc& dc, const TBrush* brush, std::uint8_t rop) {
  TPaint p;
  p.Rop = rop;
  p.MonoDest = dc.IsMonoTarget();
  if (!brush || brush->Style == BS_NULL) {
    p.None = true;
    return p;
  }
  p.OrgX = dc.Origin.X + dc.S.BrushOrg.X;
  p.OrgY = dc.Origin.Y + dc.S.BrushOrg.Y;
  switch (brush->Style) {
    case BS_HATCHED:
      p.Tile = &brush->Pattern;
      p.MonoTile = true;
      p.Fore = SolidPixel(dc, BrushColor(dc, *brush));
      p.Back = SolidPixel(dc, dc.S.BkColor);
      p.SkipBack = dc.S.BkMode == TRANSPARENT;
      break;
    case BS_PATTERN:
      p.Tile = &brush->Pattern;
      p.MonoTile = brush->MonoPattern;
      p.Fore = SolidPixel(dc, dc.S.TextColor);
      p.Back = SolidPixel(dc, dc.S.BkColor);
      break;
    default: p.Color = SolidPixel(dc, BrushColor(dc, *brush)); break;
  }
  return p;
}

TPaint ColorPaint(const TDc& dc, COLORREF color, std::uint8_t rop) {
  TPaint p;
  p.Rop = rop;
  p.MonoDest = dc.IsMonoTarget();
  p.Color = SolidPixel(dc, color);
  return p;
}

void PaintSpanRaw(TSurface& s, int y, int x0, int x1, const TPaint& paint) {
  if (paint.None || x0 >= x1) return;
  TPixel* row = s.Row(y);
  const std::uint8_t rop = paint.Rop;
  if (!paint.Tile) {
    const TPixel c = paint.Color;
    if (rop == 0xF0) {
      std::fill(row + x0, row + x1, c);
      return;
    }
    if (rop == 0xAA) return;
    for (int x = x0; x < x1; ++x) {
      TPixel r = ApplyRop(rop, c, 0, row[x]);
      if (paint.MonoDest) r &= 0x00FFFFFF;
      row[x] = r;
    }
    return;
  }
  const TSurface& tile = *paint.Tile;
  const int tw = tile.Width(), th = tile.Height();
  const TPixel* trow = tile.Row(Mod(y - paint.OrgY, th));
  int tx = Mod(x0 - paint.OrgX, tw);
  for (int x = x0; x < x1; ++x) {
    TPixel pat = trow[tx];
    if (++tx == tw) tx = 0;
    if (paint.MonoTile) {
      if ((pat & 0x00FFFFFF) == 0) {
        pat = paint.Fore;
      } else {
        if (paint.SkipBack) continue;
        pat = paint.Back;
      }
    } else {
      pat &= 0x00FFFFFF;
    }
    TPixel r = ApplyRop(rop, pat, 0, row[x]);
    if (paint.MonoDest) r &= 0x00FFFFFF;
    row[x] = r;
  }
}

void PaintRect(TDc& dc, const TRect& rect, const TPaint& paint) {
  if (paint.None || !dc.Surface || rect.Left >= rect.Right || rect.Top >= rect.Bottom) return;
  dc.UpdateClip();
  for (const TRect& c : dc.ClipRects) {
    const int l = std::max(rect.Left, c.Left), r = std::min(rect.Right, c.Right);
    const int t = std::max(rect.Top, c.Top), b = std::min(rect.Bottom, c.Bottom);
    if (l >= r || t >= b) continue;
    for (int y = t; y < b; ++y) PaintSpanRaw(*dc.Surface, y, l, r, paint);
  }
}

void PaintSpans(TDc& dc, const std::vector<TSpan>& spans, const TPaint& paint) {
  if (paint.None || !dc.Surface || spans.empty()) return;
  dc.UpdateClip();
  for (const TRect& c : dc.ClipRects) {
    for (const TSpan& s : spans) {
      if (s.Y < c.Top || s.Y >= c.Bottom) continue;
      const int l = std::max(s.X0, c.Left), r = std::min(s.X1, c.Right);
      if (l < r) PaintSpanRaw(*dc.Surface, s.Y, l, r, paint);
    }
  }
}

void PaintRegion(TDc& dc, const TRgn& region, const TPaint& paint) {
  if (paint.None || !dc.Surface) return;
  dc.UpdateClip();
  TRgn r = region;
  r.Intersect(dc.ClipSurface);
  for (const TRect& rc : r.Rects())
    for (int y = rc.Top; y < rc.Bottom; ++y) PaintSpanRaw(*dc.Surface, y, rc.Left, rc.Right, paint);
}

}  // namespace orv::gdi
