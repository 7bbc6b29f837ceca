// 3-D edges and the classic look of the platform's frame controls: push buttons, check boxes,
// radio buttons, scroll arrows, the size grip, caption buttons and menu marks, in the system
// colours.
#include <algorithm>

#include "platform/drawing/GdiInternal.h"

using namespace orv;
using namespace orv::gdi;

namespace {

constexpr std::uint8_t kCopy = 0xF0;

void Fill(TDc& d, const TRect& r, int sysColor) {
  PaintRect(d, r, ColorPaint(d, SysColor(sysColor), kCopy));
}

void FillColor(TDc& d, const TRect& r, COLORREF color) {
  PaintRect(d, r, ColorPaint(d, color, kCopy));
}

// One ring of a 3-D edge on the chosen sides: top and left in `tl` (stopping one pixel short of
// the far corners), bottom and right in `br`.
void Ring(TDc& d, TRect& r, UINT flags, int tl, int br) {
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  if (flags & BF_TOP) Fill(d, {r.Left, r.Top, r.Right - 1, r.Top + 1}, tl);
  if (flags & BF_LEFT) Fill(d, {r.Left, r.Top, r.Left + 1, r.Bottom - 1}, tl);
  if (flags & BF_BOTTOM) Fill(d, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, br);
  if (flags & BF_RIGHT) Fill(d, {r.Right - 1, r.Top, r.Right, r.Bottom}, br);
  if (flags & BF_LEFT) ++r.Left;
  if (flags & BF_TOP) ++r.Top;
  if (flags & BF_RIGHT) --r.Right;
  if (flags & BF_BOTTOM) --r.Bottom;
}

// Draws an edge on surface coordinates; returns the inside.
TRect Edge(TDc& d, TRect r, UINT edge, UINT flags) {
  const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  if (flags & BF_MONO) {
    if (outer) Ring(d, r, flags, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
    if (inner) Ring(d, r, flags, COLOR_WINDOW, COLOR_WINDOW);
  } else if (flags & BF_FLAT) {
    if (outer) Ring(d, r, flags, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
    if (inner) Ring(d, r, flags, COLOR_BTNFACE, COLOR_BTNFACE);
  } else {
    const bool soft = flags & BF_SOFT;
    if (outer & BDR_RAISEDOUTER)
      Ring(d, r, flags, soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    else if (outer & BDR_SUNKENOUTER)
      Ring(d, r, flags, soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    if (inner & BDR_RAISEDINNER)
      Ring(d, r, flags, soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
    else if (inner & BDR_SUNKENINNER)
      Ring(d, r, flags, soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  }
  if (flags & BF_MIDDLE) Fill(d, r, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
  return r;
}

// A glyph drawn from rows of '#' centred in a rectangle.
void Glyph(TDc& d, const TRect& r, std::initializer_list<const char*> rows, COLORREF color,
           int dx = 0, int dy = 0) {
  const int h = int(rows.size());
  int w = 0;
  for (const char* row : rows) w = std::max(w, int(std::char_traits<char>::length(row)));
  const int x0 = r.Left + (r.Width() - w) / 2 + dx, y0 = r.Top + (r.Height() - h) / 2 + dy;
  std::vector<TSpan> spans;
  int y = y0;
  for (const char* row : rows) {
    for (int x = 0; row[x]; ++x)
      if (row[x] == '#') spans.push_back({y, x0 + x, x0 + x + 1});
    ++y;
  }
  PaintSpans(d, spans, ColorPaint(d, color, kCopy));
}

// A filled triangle pointing in a direction (0 up, 1 down, 2 left, 3 right).
void Arrow(TDc& d, const TRect& r, int dir, COLORREF color, int shift) {
  const int s = std::max(1, (std::min(r.Width(), r.Height()) + 1) / 4);
  std::vector<TSpan> spans;
  const int cx = r.Left + r.Width() / 2 + shift, cy = r.Top + r.Height() / 2 + shift;
  for (int i = 0; i < s; ++i) {
    const int half = dir == 0 || dir == 2 ? i : s - 1 - i;
    if (dir <= 1) {
      spans.push_back({cy - s / 2 + i, cx - half, cx + half + 1});
    } else {
      for (int k = -half; k <= half; ++k) spans.push_back({cy + k, cx - s / 2 + i, cx - s / 2 + i + 1});
    }
  }
  PaintSpans(d, spans, ColorPaint(d, color, kCopy));
}

void PushButton(TDc& d, TRect& r, UINT state) {
  const bool pushed = state & (DFCS_PUSHED | DFCS_CHECKED);
  if (state & DFCS_FLAT) r = Edge(d, r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_FLAT);
  else if (pushed) r = Edge(d, r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_FLAT);
  else r = Edge(d, r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

TRect Square(const TRect& r) {
  const int s = std::min(r.Width(), r.Height());
  const int top = r.Top + (r.Height() - s) / 2;
  return {r.Left, top, r.Left + s, top + s};
}

void CheckBox(TDc& d, const TRect& rect, UINT state) {
  TRect r = Square(rect);
  const bool inactive = state & DFCS_INACTIVE;
  if (state & (DFCS_FLAT | DFCS_MONO)) {
    Ring(d, r, BF_RECT, (state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW,
         (state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
  } else {
    r = Edge(d, r, EDGE_SUNKEN, BF_RECT);
  }
  Fill(d, r, inactive || (state & DFCS_PUSHED) ? COLOR_BTNFACE : COLOR_WINDOW);
  if (state & DFCS_CHECKED)
    Glyph(d, r, {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."},
          SysColor(inactive || (state & DFCS_BUTTON3STATE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
}

void RadioButton(TDc& d, const TRect& rect, UINT state) {
  const TRect r = Square(rect);
  std::vector<TSpan> s0, s1, s2;
  EllipseSpans(r, s0);
  EllipseSpans({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, s1);
  EllipseSpans({r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2}, s2);
  TRgn outer = RegionFromSpans(s0), middle = RegionFromSpans(s1), inner = RegionFromSpans(s2);
  TRgn ring0 = outer, ring1 = middle;
  ring0.Subtract(middle);
  ring1.Subtract(inner);
  // The upper-left half of each ring is dark, the lower-right light.
  const int diag = r.Left + r.Top + r.Width() - 1;
  auto split = [&](const TRgn& ring, int tl, int br) {
    std::vector<TSpan> a, b;
    for (const TRect& rc : ring.Rects())
      for (int y = rc.Top; y < rc.Bottom; ++y)
        for (int x = rc.Left; x < rc.Right; ++x) (x + y < diag ? a : b).push_back({y, x, x + 1});
    PaintSpans(d, a, ColorPaint(d, SysColor(tl), kCopy));
    PaintSpans(d, b, ColorPaint(d, SysColor(br), kCopy));
  };
  const bool flat = state & (DFCS_FLAT | DFCS_MONO);
  split(ring0, COLOR_BTNSHADOW, flat ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
  split(ring1, flat ? COLOR_WINDOW : COLOR_3DDKSHADOW, flat ? COLOR_WINDOW : COLOR_3DLIGHT);
  const bool inactive = state & DFCS_INACTIVE;
  PaintRegion(d, inner, ColorPaint(d, SysColor(inactive || (state & DFCS_PUSHED) ? COLOR_BTNFACE : COLOR_WINDOW), kCopy));
  if (state & DFCS_CHECKED) {
    const int dot = std::max(2, r.Width() / 3);
    const int l = r.Left + (r.Width() - dot) / 2, t = r.Top + (r.Height() - dot) / 2;
    std::vector<TSpan> spot;
    EllipseSpans({l, t, l + dot, t + dot}, spot);
    PaintSpans(d, spot, ColorPaint(d, SysColor(inactive ? COLOR_GRAYTEXT : COLOR_BTNTEXT), kCopy));
  }
}

void SizeGrip(TDc& d, const TRect& r) {
  Fill(d, r, COLOR_BTNFACE);
  std::vector<TSpan> light, dark;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const int dist = (r.Right - 1 - x) + (r.Bottom - 1 - y);
      if (dist >= 12) continue;
      const int k = dist % 4;
      if (k == 1) light.push_back({y, x, x + 1});
      else if (k >= 2) dark.push_back({y, x, x + 1});
    }
  PaintSpans(d, light, ColorPaint(d, SysColor(COLOR_BTNHIGHLIGHT), kCopy));
  PaintSpans(d, dark, ColorPaint(d, SysColor(COLOR_BTNSHADOW), kCopy));
}

void CaptionGlyph(TDc& d, const TRect& r, UINT kind, COLORREF color, int shift) {
  switch (kind) {
    case DFCS_CAPTIONCLOSE:
      Glyph(d, r, {"##....##", ".##..##.", "..####..", "...##...", "..####..", ".##..##.", "##....##"},
            color, shift, shift);
      break;
    case DFCS_CAPTIONMIN: Glyph(d, r, {"......", "......", "......", "......", "######", "######"}, color, shift, shift); break;
    case DFCS_CAPTIONMAX:
      Glyph(d, r, {"#########", "#########", "#.......#", "#.......#", "#.......#", "#.......#", "#########"},
            color, shift, shift);
      break;
    case DFCS_CAPTIONRESTORE:
      Glyph(d, r, {"..######", "..######", "..#....#", "######.#", "######.#", "#....###", "#....#..", "######.."},
            color, shift, shift);
      break;
    case DFCS_CAPTIONHELP:
      Glyph(d, r, {".####.", "##..##", "....##", "...##.", "..##..", "......", "..##.."}, color, shift, shift);
      break;
  }
}

}  // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
  TDc* d = AsDc(dc);
  if (!d || !rect) return 0;
  const TRect inside = Edge(*d, d->ToSurface(*rect), edge, flags);
  if (flags & BF_ADJUST) {
    const TPoint lt = d->ToLogical({inside.Left - d->Origin.X, inside.Top - d->Origin.Y});
    *rect = {lt.X, lt.Y, lt.X + inside.Width(), lt.Y + inside.Height()};
  }
  return 1;
}

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
  TDc* d = AsDc(dc);
  if (!d || !rect) return 0;
  TRect r = d->ToSurface(*rect);
  const bool inactive = state & DFCS_INACTIVE;
  const int shift = (state & DFCS_PUSHED) ? 1 : 0;
  switch (type) {
    case DFC_BUTTON:
      if (state & DFCS_BUTTONPUSH) {
        PushButton(*d, r, state);
      } else if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE)) {
        RadioButton(*d, r, state);
      } else {
        CheckBox(*d, r, state);
      }
      break;
    case DFC_SCROLL: {
      const UINT kind = state & 0x1F;
      if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
        SizeGrip(*d, r);
        break;
      }
      TRect face = r;
      PushButton(*d, face, state & ~DFCS_CHECKED);
      const int dir = kind == DFCS_SCROLLUP ? 0 : kind == DFCS_SCROLLLEFT ? 2
                      : kind == DFCS_SCROLLRIGHT ? 3 : 1;
      if (inactive) {
        Arrow(*d, r, dir, SysColor(COLOR_BTNHIGHLIGHT), 1);
        Arrow(*d, r, dir, SysColor(COLOR_BTNSHADOW), 0);
      } else {
        Arrow(*d, r, dir, SysColor(COLOR_BTNTEXT), shift);
      }
      break;
    }
    case DFC_CAPTION: {
      TRect face = r;
      PushButton(*d, face, state);
      const UINT kind = state & 0xFF;
      if (inactive) {
        CaptionGlyph(*d, r, kind, SysColor(COLOR_BTNHIGHLIGHT), 1);
        CaptionGlyph(*d, r, kind, SysColor(COLOR_BTNSHADOW), 0);
      } else {
        CaptionGlyph(*d, r, kind, SysColor(COLOR_BTNTEXT), shift);
      }
      break;
    }
    case DFC_MENU: {
      // Menu marks are masks: black on white.
      FillColor(*d, r, RGB(255, 255, 255));
      const UINT kind = state & 0xFF;
      if (kind == DFCS_MENUCHECK)
        Glyph(*d, r, {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."}, 0);
      else if (kind == DFCS_MENUBULLET)
        Glyph(*d, r, {".##.", "####", "####", ".##."}, 0);
      else
        Arrow(*d, r, 3, 0, 0);
      break;
    }
    default: return 0;
  }
  if (state & DFCS_ADJUSTRECT) {
    const TRect inside{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    const TPoint lt = d->ToLogical({inside.Left - d->Origin.X, inside.Top - d->Origin.Y});
    *rect = {lt.X, lt.Y, lt.X + inside.Width(), lt.Y + inside.Height()};
  }
  return 1;
}
