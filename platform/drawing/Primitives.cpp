// Drawing primitives: fills and frames of rectangles, pattern blits, rectangles, ellipses,
// round rectangles, polygons, lines, pixels, paths, region painting and the focus rectangle.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "platform/drawing/GdiInternal.h"

namespace orv::gdi {

namespace {

COLORREF PenColor(const TDc& dc, const TPen& pen) {
  return pen.DCPen ? dc.S.DCPenColor : pen.Color;
}

bool PenIsNull(const TDc& dc) {
  return !dc.S.Pen || (dc.S.Pen->Style & PS_STYLE_MASK) == PS_NULL;
}

// The on/off run lengths of a cosmetic pen style; empty for a solid pen.
std::vector<int> DashPattern(const TPen& pen) {
  switch (pen.Style & PS_STYLE_MASK) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    case PS_USERSTYLE: {
      std::vector<int> v;
      for (DWORD d : pen.UserStyle) v.push_back(std::max<int>(int(d), 1));
      return v;
    }
    default: return {};
  }
}

// Adds a pixel to a span list, merging with the previous one when it continues it.
void AddPixel(std::vector<TSpan>& spans, int x, int y) {
  if (!spans.empty()) {
    TSpan& last = spans.back();
    if (last.Y == y && last.X1 == x) {
      ++last.X1;
      return;
    }
    if (last.Y == y && last.X0 == x + 1) {
      --last.X0;
      return;
    }
  }
  spans.push_back({y, x, x + 1});
}

// Visits the pixels of a line from a to b; the last point is visited only when asked.
template <class F>
void WalkLine(TPoint a, TPoint b, bool includeLast, F&& visit) {
  int x = a.X, y = a.Y;
  const int dx = std::abs(b.X - a.X), dy = std::abs(b.Y - a.Y);
  const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
  if (dx >= dy) {
    int err = 2 * dy - dx;
    for (int i = 0; i < dx; ++i) {
      visit(x, y);
      if (err > 0 || (err == 0 && sx < 0)) {
        y += sy;
        err -= 2 * dx;
      }
      err += 2 * dy;
      x += sx;
    }
  } else {
    int err = 2 * dx - dy;
    for (int i = 0; i < dy; ++i) {
      visit(x, y);
      if (err > 0 || (err == 0 && sy < 0)) {
        x += sx;
        err -= 2 * dy;
      }
      err += 2 * dx;
      y += sy;
    }
  }
  if (includeLast) visit(b.X, b.Y);
}

void WideStroke(TDc& dc, const TPoint* pts, int count, bool closed, int width,
                const TPaint& paint) {
  std::vector<TSpan> disc;
  const int lo = (width - 1) / 2;
  EllipseSpans({-lo, -lo, width - lo, width - lo}, disc);
  std::vector<TSpan> spans;
  auto stamp = [&](int x, int y) {
    for (const TSpan& s : disc) spans.push_back({s.Y + y, s.X0 + x, s.X1 + x});
  };
  const int segments = closed ? count : count - 1;
  for (int i = 0; i < segments; ++i) WalkLine(pts[i], pts[(i + 1) % count], true, stamp);
  if (count == 1) stamp(pts[0].X, pts[0].Y);
  PaintRegion(dc, RegionFromSpans(spans), paint);
}

}  // namespace

void StrokePolyline(TDc& dc, const TPoint* points, int count, bool closed) {
  if (PenIsNull(dc) || count < 2) return;
  const TPen& pen = *dc.S.Pen;
  const std::uint8_t rop = Rop2ToRop3(dc.S.Rop2);
  const TPaint on = ColorPaint(dc, PenColor(dc, pen), rop);
  if (pen.Width > 1) {
    WideStroke(dc, points, count, closed, pen.Width, on);
    return;
  }
  const std::vector<int> dash = DashPattern(pen);
  std::vector<TSpan> onSpans, offSpans;
  std::size_t dashIndex = 0;
  int dashLeft = dash.empty() ? 0 : dash[0];
  auto visit = [&](int x, int y) {
    if (dash.empty()) {
      AddPixel(onSpans, x, y);
      return;
    }
    AddPixel(dashIndex % 2 == 0 ? onSpans : offSpans, x, y);
    if (--dashLeft == 0) {
      dashIndex = (dashIndex + 1) % dash.size();
      dashLeft = dash[dashIndex];
    }
  };
  const int segments = closed ? count : count - 1;
  for (int i = 0; i < segments; ++i) WalkLine(points[i], points[(i + 1) % count], false, visit);
  PaintSpans(dc, onSpans, on);
  if (!offSpans.empty() && dc.S.BkMode == OPAQUE)
    PaintSpans(dc, offSpans, ColorPaint(dc, dc.S.BkColor, rop));
}

}  // namespace orv::gdi

using namespace orv;
using namespace orv::gdi;

namespace {

constexpr std::uint8_t kPatCopy = 0xF0;
constexpr std::uint8_t kDstInvert = 0x55;

TRect Normalize(int l, int t, int r, int b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

// A brush handle, or a system colour index + 1 passed in its place, as the platform allows.
const TBrush* ResolveBrush(HBRUSH brush) {
  if (TBrush* b = AsBrush(brush)) return b;
  const auto value = reinterpret_cast<std::uintptr_t>(brush);
  if (value >= 1 && value <= std::uintptr_t(orv::kSysColorCount))
    return AsBrush(GetSysColorBrush(int(value) - 1));
  return nullptr;
}

bool NoPen(const TDc& d) {
  return !d.S.Pen || (d.S.Pen->Style & PS_STYLE_MASK) == PS_NULL;
}

TPaint FillPaint(const TDc& d) { return BrushPaint(d, d.S.Brush, Rop2ToRop3(d.S.Rop2)); }

TPaint OutlinePaint(const TDc& d) {
  const TPen& pen = *d.S.Pen;
  return ColorPaint(d, pen.DCPen ? d.S.DCPenColor : pen.Color, Rop2ToRop3(d.S.Rop2));
}

std::vector<TPoint> ToSurface(const TDc& d, const POINT* points, int count) {
  std::vector<TPoint> out(std::size_t(std::max(count, 0)));
  for (int i = 0; i < count; ++i) out[std::size_t(i)] = d.ToSurface(points[i]);
  return out;
}

void AddFigure(TDc& d, std::vector<TPoint> points, bool closed) {
  if (points.empty()) return;
  d.Path.push_back({std::move(points), closed});
}

// An ellipse (or round-rectangle corner) as a polygon for paths.
void AddEllipseFigure(TDc& d, const TRect& box) {
  std::vector<TPoint> pts;
  const double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
  const double a = box.Width() / 2.0, b = box.Height() / 2.0;
  constexpr int kSteps = 64;
  for (int i = 0; i < kSteps; ++i) {
    const double t = 2 * std::numbers::pi * i / kSteps;
    pts.push_back({int(std::lround(cx + a * std::cos(t))), int(std::lround(cy + b * std::sin(t)))});
  }
  AddFigure(d, std::move(pts), true);
}

// Paints a convex shape (one span per row): the one-pixel outline with the pen, the rest with
// the brush; a wide pen takes the ring between the shape and the shape `inner` makes.
template <class MakeShape>
void DrawConvexShape(TDc& d, const TRect& box, MakeShape make) {
  if (NoPen(d)) {
    std::vector<TSpan> fill;
    make(TRect{box.Left, box.Top, box.Right - 1, box.Bottom - 1}, fill);
    PaintSpans(d, fill, FillPaint(d));
    return;
  }
  const int w = std::max(d.S.Pen->Width, 1);
  std::vector<TSpan> shape;
  make(box, shape);
  if (w == 1) {
    std::vector<TSpan> outline, interior;
    SplitConvexOutline(shape, outline, interior);
    PaintSpans(d, interior, FillPaint(d));
    PaintSpans(d, outline, OutlinePaint(d));
    return;
  }
  std::vector<TSpan> inner;
  make(TRect{box.Left + w, box.Top + w, box.Right - w, box.Bottom - w}, inner);
  TRgn ring = RegionFromSpans(shape);
  ring.Subtract(RegionFromSpans(inner));
  PaintSpans(d, inner, FillPaint(d));
  PaintRegion(d, ring, OutlinePaint(d));
}

}  // namespace

// ---- Rectangles -------------------------------------------------------------------------------

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  TDc* d = AsDc(dc);
  const TBrush* b = ResolveBrush(brush);
  if (!d || !rect || !b) return 0;
  PaintRect(*d, d->ToSurface(*rect), BrushPaint(*d, b, kPatCopy));
  return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
  TDc* d = AsDc(dc);
  const TBrush* b = ResolveBrush(brush);
  if (!d || !rect || !b) return 0;
  const TRect r = d->ToSurface(*rect);
  if (r.Left >= r.Right || r.Top >= r.Bottom) return 1;
  const TPaint p = BrushPaint(*d, b, kPatCopy);
  PaintRect(*d, {r.Left, r.Top, r.Right, r.Top + 1}, p);
  if (r.Bottom - r.Top > 1) PaintRect(*d, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, p);
  if (r.Bottom - r.Top > 2) {
    PaintRect(*d, {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, p);
    if (r.Right - r.Left > 1) PaintRect(*d, {r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, p);
  }
  return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
  TDc* d = AsDc(dc);
  if (!d || !rect) return 0;
  TPaint p;
  p.Rop = kDstInvert;
  p.MonoDest = d->IsMonoTarget();
  PaintRect(*d, d->ToSurface(*rect), p);
  return 1;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  const std::uint8_t code = std::uint8_t(rop >> 16);
  // Pattern blits know no source.
  if (((code >> 2) & 0x33) != (code & 0x33)) return 0;
  const TRect r = Normalize(x, y, x + width, y + height);
  PaintRect(*d, d->ToSurface(r), BrushPaint(*d, d->S.Brush ? d->S.Brush : StockBrush(WHITE_BRUSH), code));
  return 1;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  const TRect box = d->ToSurface(Normalize(left, top, right, bottom));
  if (d->InPath) {
    AddFigure(*d, {{box.Left, box.Top}, {box.Right, box.Top}, {box.Right, box.Bottom},
                   {box.Left, box.Bottom}}, true);
    return 1;
  }
  if (NoPen(*d)) {
    // Without a pen the platform fills one pixel less to the right and bottom.
    PaintRect(*d, {box.Left, box.Top, box.Right - 1, box.Bottom - 1}, FillPaint(*d));
    return 1;
  }
  const TPen& pen = *d->S.Pen;
  const int w = std::max(pen.Width, 1);
  const int kind = pen.Style & PS_STYLE_MASK;
  const bool styled = kind != PS_SOLID && kind != PS_INSIDEFRAME && w == 1;
  if (styled) {
    PaintRect(*d, {box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1}, FillPaint(*d));
    const TPoint pts[4] = {{box.Left, box.Top}, {box.Right - 1, box.Top},
                           {box.Right - 1, box.Bottom - 1}, {box.Left, box.Bottom - 1}};
    StrokePolyline(*d, pts, 4, true);
    return 1;
  }
  // The pen is centred on the rectangle's edge pixels, or lies inside for an inside frame.
  const int lo = kind == PS_INSIDEFRAME ? 0 : (w - 1) / 2;
  const TRect outer{box.Left - lo, box.Top - lo, box.Right + lo, box.Bottom + lo};
  const TRect inner{outer.Left + w, outer.Top + w, outer.Right - w, outer.Bottom - w};
  PaintRect(*d, inner, FillPaint(*d));
  TRgn ring(outer);
  if (inner.Left < inner.Right && inner.Top < inner.Bottom) ring.Subtract(TRgn(inner));
  PaintRegion(*d, ring, OutlinePaint(*d));
  return 1;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  const TRect box = d->ToSurface(Normalize(left, top, right, bottom));
  if (d->InPath) {
    std::vector<TSpan> spans;
    RoundRectSpans(box, width, height, spans);
    // The outline of the shape's rows, clockwise, as the path's figure.
    std::vector<TPoint> pts;
    for (const TSpan& s : spans) pts.push_back({s.X1, s.Y}), pts.push_back({s.X1, s.Y + 1});
    for (auto it = spans.rbegin(); it != spans.rend(); ++it)
      pts.push_back({it->X0, it->Y + 1}), pts.push_back({it->X0, it->Y});
    AddFigure(*d, std::move(pts), true);
    return 1;
  }
  DrawConvexShape(*d, box, [&](const TRect& b, std::vector<TSpan>& out) {
    RoundRectSpans(b, width, height, out);
  });
  return 1;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  const TRect box = d->ToSurface(Normalize(left, top, right, bottom));
  if (d->InPath) {
    AddEllipseFigure(*d, box);
    return 1;
  }
  DrawConvexShape(*d, box, [](const TRect& b, std::vector<TSpan>& out) { EllipseSpans(b, out); });
  return 1;
}

// ---- Polygons and lines -----------------------------------------------------------------------

BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons) {
  TDc* d = AsDc(dc);
  if (!d || !points || !counts || polygons <= 0) return 0;
  int total = 0;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 2) return 0;
    total += counts[i];
  }
  std::vector<TPoint> pts = ToSurface(*d, points, total);
  if (d->InPath) {
    int at = 0;
    for (int i = 0; i < polygons; ++i) {
      AddFigure(*d, {pts.begin() + at, pts.begin() + at + counts[i]}, true);
      at += counts[i];
    }
    return 1;
  }
  std::vector<TSpan> spans;
  PolygonSpans(pts.data(), counts, polygons, d->S.PolyFillMode, spans);
  PaintSpans(*d, spans, FillPaint(*d));
  int at = 0;
  for (int i = 0; i < polygons; ++i) {
    StrokePolyline(*d, pts.data() + at, counts[i], true);
    at += counts[i];
  }
  return 1;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
  return PolyPolygon(dc, points, &count, 1);
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
  TDc* d = AsDc(dc);
  if (!d || !points || count < 2) return 0;
  std::vector<TPoint> pts = ToSurface(*d, points, count);
  if (d->InPath) {
    AddFigure(*d, std::move(pts), false);
    return 1;
  }
  StrokePolyline(*d, pts.data(), count, false);
  return 1;
}

BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines) {
  TDc* d = AsDc(dc);
  if (!d || !points || !counts) return 0;
  const POINT* p = points;
  for (DWORD i = 0; i < polylines; ++i) {
    if (counts[i] < 2) return 0;
    Polyline(dc, p, int(counts[i]));
    p += counts[i];
  }
  return 1;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  if (previous) *previous = d->S.CurrentPos;
  d->S.CurrentPos = {x, y};
  if (d->InPath) d->Path.push_back({{d->ToSurface(TPoint{x, y})}, false});
  return 1;
}

BOOL LineTo(HDC dc, int x, int y) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  const TPoint from = d->ToSurface(d->S.CurrentPos), to = d->ToSurface(TPoint{x, y});
  d->S.CurrentPos = {x, y};
  if (d->InPath) {
    if (d->Path.empty() || d->Path.back().Closed) d->Path.push_back({{from}, false});
    d->Path.back().Points.push_back(to);
    return 1;
  }
  const TPoint pts[2] = {from, to};
  StrokePolyline(*d, pts, 2, false);
  return 1;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  TDc* d = AsDc(dc);
  if (!d) return CLR_INVALID;
  const TPaint p = ColorPaint(*d, color & 0xFFFFFF, kPatCopy);
  const int sx = d->SX(x), sy = d->SY(y);
  PaintRect(*d, {sx, sy, sx + 1, sy + 1}, p);
  return PixelToColor(p.Color);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) {
  return SetPixel(dc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  TDc* d = AsDc(dc);
  if (!d || !d->Surface) return CLR_INVALID;
  d->UpdateClip();
  const int sx = d->SX(x), sy = d->SY(y);
  if (!d->ClipSurface.Contains(sx, sy)) return CLR_INVALID;
  return PixelToColor(d->Surface->Pixel(sx, sy));
}

// ---- Paths ------------------------------------------------------------------------------------

BOOL BeginPath(HDC dc) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  d->InPath = true;
  d->PathDone = false;
  d->Path.clear();
  return 1;
}

BOOL EndPath(HDC dc) {
  TDc* d = AsDc(dc);
  if (!d || !d->InPath) return 0;
  d->InPath = false;
  d->PathDone = true;
  return 1;
}

BOOL AbortPath(HDC dc) {
  TDc* d = AsDc(dc);
  if (!d) return 0;
  d->InPath = false;
  d->PathDone = false;
  d->Path.clear();
  return 1;
}

BOOL CloseFigure(HDC dc) {
  TDc* d = AsDc(dc);
  if (!d || !d->InPath || d->Path.empty()) return 0;
  d->Path.back().Closed = true;
  return 1;
}

namespace {

std::vector<TSpan> PathSpans(const TDc& d) {
  std::vector<TPoint> pts;
  std::vector<int> counts;
  for (const TPathFigure& f : d.Path) {
    if (f.Points.size() < 2) continue;
    pts.insert(pts.end(), f.Points.begin(), f.Points.end());
    counts.push_back(int(f.Points.size()));
  }
  std::vector<TSpan> spans;
  if (!counts.empty())
    PolygonSpans(pts.data(), counts.data(), int(counts.size()), d.S.PolyFillMode, spans);
  return spans;
}

BOOL FinishPath(HDC dc, bool fill, bool stroke) {
  TDc* d = AsDc(dc);
  if (!d || !d->PathDone) return 0;
  if (fill) PaintSpans(*d, PathSpans(*d), FillPaint(*d));
  if (stroke)
    for (const TPathFigure& f : d->Path)
      StrokePolyline(*d, f.Points.data(), int(f.Points.size()), f.Closed);
  d->Path.clear();
  d->PathDone = false;
  return 1;
}

}  // namespace

BOOL FillPath(HDC dc) { return FinishPath(dc, true, false); }
BOOL StrokePath(HDC dc) { return FinishPath(dc, false, true); }
BOOL StrokeAndFillPath(HDC dc) { return FinishPath(dc, true, true); }

HRGN PathToRegion(HDC dc) {
  TDc* d = AsDc(dc);
  if (!d || !d->PathDone) return nullptr;
  TRgn r = RegionFromSpans(PathSpans(*d));
  // Regions live in device coordinates.
  r.Offset(-d->Origin.X, -d->Origin.Y);
  d->Path.clear();
  d->PathDone = false;
  auto* region = new TRegion;
  region->R = std::move(r);
  Register(region, region);
  return region;
}

// ---- Regions on a DC (logical coordinates) ----------------------------------------------------

namespace {

TRgn ToSurface(const TDc& d, const TRgn& r) {
  TRgn s = r;
  s.Offset(d.SX(0), d.SY(0));
  return s;
}

}  // namespace

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
  TDc* d = AsDc(dc);
  TRegion* r = AsRegion(region);
  const TBrush* b = ResolveBrush(brush);
  if (!d || !r || !b) return 0;
  PaintRegion(*d, ToSurface(*d, r->R), BrushPaint(*d, b, kPatCopy));
  return 1;
}

BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height) {
  TDc* d = AsDc(dc);
  TRegion* r = AsRegion(region);
  const TBrush* b = ResolveBrush(brush);
  if (!d || !r || !b) return 0;
  // The frame: the region minus the part that stays inside when moved by the frame's size in
  // each of the four directions.
  TRgn inner = r->R;
  const int offsets[4][2] = {{width, 0}, {-width, 0}, {0, height}, {0, -height}};
  for (const auto& o : offsets) {
    TRgn moved = r->R;
    moved.Offset(o[0], o[1]);
    inner.Intersect(moved);
  }
  TRgn frame = r->R;
  frame.Subtract(inner);
  PaintRegion(*d, ToSurface(*d, frame), BrushPaint(*d, b, kPatCopy));
  return 1;
}

BOOL PaintRgn(HDC dc, HRGN region) {
  TDc* d = AsDc(dc);
  TRegion* r = AsRegion(region);
  if (!d || !r) return 0;
  PaintRegion(*d, ToSurface(*d, r->R), BrushPaint(*d, d->S.Brush, kPatCopy));
  return 1;
}

BOOL InvertRgn(HDC dc, HRGN region) {
  TDc* d = AsDc(dc);
  TRegion* r = AsRegion(region);
  if (!d || !r) return 0;
  TPaint p;
  p.Rop = kDstInvert;
  p.MonoDest = d->IsMonoTarget();
  PaintRegion(*d, ToSurface(*d, r->R), p);
  return 1;
}

// ---- Focus rectangle --------------------------------------------------------------------------

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
  TDc* d = AsDc(dc);
  if (!d || !rect) return 0;
  const TRect r = d->ToSurface(*rect);
  if (r.Left >= r.Right || r.Top >= r.Bottom) return 1;
  // Every other pixel of the frame, on the device's checkerboard, inverted by exclusive-or.
  std::vector<TSpan> spans;
  auto dot = [&](int x, int y) {
    if (((x - d->Origin.X + y - d->Origin.Y) & 1) == 0) spans.push_back({y, x, x + 1});
  };
  for (int x = r.Left; x < r.Right; ++x) dot(x, r.Top);
  if (r.Bottom - r.Top > 1)
    for (int x = r.Left; x < r.Right; ++x) dot(x, r.Bottom - 1);
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    dot(r.Left, y);
    if (r.Right - r.Left > 1) dot(r.Right - 1, y);
  }
  PaintSpans(*d, spans, ColorPaint(*d, RGB(255, 255, 255), 0x5A));
  return 1;
}
