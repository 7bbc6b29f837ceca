// Regions (on pixman's 32-bit regions) and the pixel shapes that regions and primitives share.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/drawing/GdiInternal.h"

namespace orv::gdi {

// ---- TRgn -------------------------------------------------------------------------------------

namespace {

pixman_box32_t ToBox(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

}  // namespace

TRgn::TRgn(const TRect& r) {
  pixman_region32_init(&FR);
  SetRect(r);
}

TRgn::TRgn(const TRgn& other) {
  pixman_region32_init(&FR);
  pixman_region32_copy(&FR, const_cast<pixman_region32_t*>(&other.FR));
}

TRgn& TRgn::operator=(const TRgn& other) {
  if (this != &other) pixman_region32_copy(&FR, const_cast<pixman_region32_t*>(&other.FR));
  return *this;
}

bool TRgn::IsEmpty() const { return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&FR)); }

TRect TRgn::Box() const {
  if (IsEmpty()) return {};
  const pixman_box32_t* b = pixman_region32_extents(const_cast<pixman_region32_t*>(&FR));
  return {b->x1, b->y1, b->x2, b->y2};
}

int TRgn::Type() const {
  const int n = pixman_region32_n_rects(const_cast<pixman_region32_t*>(&FR));
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

std::vector<TRect> TRgn::Rects() const {
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(&FR), &n);
  std::vector<TRect> out;
  out.reserve(std::size_t(n));
  for (int i = 0; i < n; ++i) out.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
  return out;
}

void TRgn::SetRect(const TRect& r) {
  pixman_region32_fini(&FR);
  if (r.Left < r.Right && r.Top < r.Bottom)
    pixman_region32_init_rect(&FR, r.Left, r.Top, unsigned(r.Right - r.Left),
                              unsigned(r.Bottom - r.Top));
  else
    pixman_region32_init(&FR);
}

void TRgn::Offset(int dx, int dy) { pixman_region32_translate(&FR, dx, dy); }

void TRgn::Intersect(const TRgn& other) {
  pixman_region32_intersect(&FR, &FR, const_cast<pixman_region32_t*>(&other.FR));
}

void TRgn::Intersect(const TRect& r) {
  if (r.Left >= r.Right || r.Top >= r.Bottom) {
    pixman_region32_clear(&FR);
    return;
  }
  pixman_region32_intersect_rect(&FR, &FR, r.Left, r.Top, unsigned(r.Right - r.Left),
                                 unsigned(r.Bottom - r.Top));
}

void TRgn::Union(const TRgn& other) {
  pixman_region32_union(&FR, &FR, const_cast<pixman_region32_t*>(&other.FR));
}

void TRgn::Subtract(const TRgn& other) {
  pixman_region32_subtract(&FR, &FR, const_cast<pixman_region32_t*>(&other.FR));
}

void TRgn::Xor(const TRgn& other) {
  TRgn a = *this;
  a.Subtract(other);
  TRgn b = other;
  b.Subtract(*this);
  a.Union(b);
  *this = a;
}

bool TRgn::Contains(int x, int y) const {
  return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&FR), x, y, nullptr);
}

bool TRgn::Overlaps(const TRect& r) const {
  if (r.Left >= r.Right || r.Top >= r.Bottom) return false;
  pixman_box32_t box = ToBox(r);
  return pixman_region32_contains_rectangle(const_cast<pixman_region32_t*>(&FR), &box) !=
         PIXMAN_REGION_OUT;
}

bool TRgn::Equals(const TRgn& other) const {
  if (IsEmpty() && other.IsEmpty()) return true;
  return pixman_region32_equal(const_cast<pixman_region32_t*>(&FR),
                               const_cast<pixman_region32_t*>(&other.FR));
}

TRgn RegionFromSpans(const std::vector<TSpan>& spans) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(spans.size());
  for (const TSpan& s : spans)
    if (s.X0 < s.X1) boxes.push_back({s.X0, s.Y, s.X1, s.Y + 1});
  TRgn r;
  if (boxes.empty()) return r;
  // Rows of one pixel each, merged into bands; init_rects unites overlapping boxes.
  pixman_region32_fini(r.Get());
  pixman_region32_init_rects(r.Get(), boxes.data(), int(boxes.size()));
  return r;
}

// ---- Shapes -----------------------------------------------------------------------------------

namespace {

TRect Normalized(const TRect& r) {
  return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
          std::max(r.Top, r.Bottom)};
}

constexpr double kEps = 1e-9;

// Pixel x lies inside when its centre lies within [from, to].
void AddCentreSpan(int y, double from, double to, std::vector<TSpan>& out) {
  const int x0 = int(std::ceil(from - 0.5 - kEps));
  const int x1 = int(std::floor(to - 0.5 + kEps)) + 1;
  if (x0 < x1) out.push_back({y, x0, x1});
}

std::int64_t CeilDiv(std::int64_t num, std::int64_t den) {  // den > 0
  return num >= 0 ? (num + den - 1) / den : -((-num) / den);
}

}  // namespace

void EllipseSpans(const TRect& box, std::vector<TSpan>& out) {
  const TRect b = Normalized(box);
  if (b.Width() <= 0 || b.Height() <= 0) return;
  const double cx = (double(b.Left) + b.Right) / 2, cy = (double(b.Top) + b.Bottom) / 2;
  const double a = b.Width() / 2.0, rb = b.Height() / 2.0;
  for (int y = b.Top; y < b.Bottom; ++y) {
    const double dy = (y + 0.5 - cy) / rb;
    const double hw = a * std::sqrt(std::max(0.0, 1 - dy * dy));
    AddCentreSpan(y, cx - hw, cx + hw, out);
  }
}

void RoundRectSpans(const TRect& box, int w, int h, std::vector<TSpan>& out) {
  const TRect b = Normalized(box);
  if (b.Width() <= 0 || b.Height() <= 0) return;
  const int ew = std::min(std::abs(w), b.Width()), eh = std::min(std::abs(h), b.Height());
  if (ew <= 1 || eh <= 1) {
    for (int y = b.Top; y < b.Bottom; ++y) out.push_back({y, b.Left, b.Right});
    return;
  }
  const double rx = ew / 2.0, ry = eh / 2.0;
  for (int y = b.Top; y < b.Bottom; ++y) {
    const double yc = y + 0.5;
    double dy = 0;
    if (yc < b.Top + ry) dy = (b.Top + ry - yc) / ry;
    else if (yc > b.Bottom - ry) dy = (yc - (b.Bottom - ry)) / ry;
    const double inset = rx - rx * std::sqrt(std::max(0.0, 1 - dy * dy));
    AddCentreSpan(y, b.Left + inset, b.Right - inset, out);
  }
}

void PolygonSpans(const TPoint* points, const int* counts, int polygons, int fillMode,
                  std::vector<TSpan>& out) {
  struct TEdge {
    std::int64_t XA, YA, XB, YB;
    int Dir;
  };
  std::vector<TEdge> edges;
  int yMin = INT32_MAX, yMax = INT32_MIN;
  const TPoint* p = points;
  for (int k = 0; k < polygons; ++k) {
    const int n = counts[k];
    for (int i = 0; i < n; ++i) {
      TPoint a = p[i], b = p[(i + 1) % n];
      if (a.Y == b.Y) continue;
      int dir = 1;
      if (a.Y > b.Y) {
        std::swap(a, b);
        dir = -1;
      }
      edges.push_back({a.X, a.Y, b.X, b.Y, dir});
      yMin = std::min(yMin, a.Y);
      yMax = std::max(yMax, b.Y);
    }
    p += std::max(n, 0);
  }
  if (edges.empty()) return;
  struct TCross {
    std::int64_t X;
    int Dir;
  };
  std::vector<TCross> crossings;
  for (int y = yMin; y < yMax; ++y) {
    crossings.clear();
    for (const TEdge& e : edges)
      if (e.YA <= y && y < e.YB)
        crossings.push_back(
            {e.XA + CeilDiv((y - e.YA) * (e.XB - e.XA), e.YB - e.YA), e.Dir});
    std::sort(crossings.begin(), crossings.end(),
              [](const TCross& a, const TCross& b) { return a.X < b.X; });
    if (fillMode == WINDING) {
      int wind = 0;
      for (std::size_t i = 0; i < crossings.size(); ++i) {
        const int before = wind;
        wind += crossings[i].Dir;
        if (before == 0 && wind != 0) {
          std::size_t j = i + 1;
          int w2 = wind;
          for (; j < crossings.size(); ++j) {
            w2 += crossings[j].Dir;
            if (w2 == 0) break;
          }
          if (j >= crossings.size()) break;
          if (crossings[i].X < crossings[j].X)
            out.push_back({y, int(crossings[i].X), int(crossings[j].X)});
          wind = 0;
          i = j;
        }
      }
    } else {
      for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
        if (crossings[i].X < crossings[i + 1].X)
          out.push_back({y, int(crossings[i].X), int(crossings[i + 1].X)});
    }
  }
}

void SplitConvexOutline(const std::vector<TSpan>& shape, std::vector<TSpan>& outline,
                        std::vector<TSpan>& interior) {
  const std::size_t n = shape.size();
  for (std::size_t i = 0; i < n; ++i) {
    const TSpan& s = shape[i];
    const bool hasPrev = i > 0 && shape[i - 1].Y == s.Y - 1;
    const bool hasNext = i + 1 < n && shape[i + 1].Y == s.Y + 1;
    int in0 = s.X1, in1 = s.X1;  // empty interior
    if (hasPrev && hasNext) {
      in0 = std::max({s.X0 + 1, shape[i - 1].X0, shape[i + 1].X0});
      in1 = std::min({s.X1 - 1, shape[i - 1].X1, shape[i + 1].X1});
      if (in0 >= in1) in0 = in1 = s.X1;
    }
    if (in0 >= in1) {
      outline.push_back(s);
      continue;
    }
    interior.push_back({s.Y, in0, in1});
    if (s.X0 < in0) outline.push_back({s.Y, s.X0, in0});
    if (in1 < s.X1) outline.push_back({s.Y, in1, s.X1});
  }
}

}  // namespace orv::gdi

// ---- The platform's region calls ---------------------------------------------------------------

using namespace orv;
using namespace orv::gdi;

namespace {

HRGN NewRegion(TRgn r) {
  auto* region = new TRegion;
  region->R = std::move(r);
  Register(region, region);
  return region;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion(TRgn(TRect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                              std::max(top, bottom)}));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  return rect ? CreateRectRgn(rect->Left, rect->Top, rect->Right, rect->Bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  std::vector<TSpan> spans;
  RoundRectSpans({left, top, right, bottom}, width, height, spans);
  return NewRegion(RegionFromSpans(spans));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  std::vector<TSpan> spans;
  EllipseSpans({left, top, right, bottom}, spans);
  return NewRegion(RegionFromSpans(spans));
}

HRGN CreateEllipticRgnIndirect(const RECT* rect) {
  return rect ? CreateEllipticRgn(rect->Left, rect->Top, rect->Right, rect->Bottom) : nullptr;
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  return CreatePolyPolygonRgn(points, &count, 1, fillMode);
}

HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode) {
  if (!points || !counts || polygons <= 0) return nullptr;
  std::vector<TSpan> spans;
  PolygonSpans(points, counts, polygons, fillMode, spans);
  return NewRegion(RegionFromSpans(spans));
}

int CombineRgn(HRGN dest, HRGN source1, HRGN source2, int mode) {
  TRegion* d = AsRegion(dest);
  TRegion* a = AsRegion(source1);
  if (!d || !a) return ERROR;
  if (mode == RGN_COPY) {
    d->R = a->R;
    return d->R.Type();
  }
  TRegion* b = AsRegion(source2);
  if (!b) return ERROR;
  TRgn r = a->R;
  switch (mode) {
    case RGN_AND: r.Intersect(b->R); break;
    case RGN_OR: r.Union(b->R); break;
    case RGN_XOR: r.Xor(b->R); break;
    case RGN_DIFF: r.Subtract(b->R); break;
    default: return ERROR;
  }
  d->R = std::move(r);
  return d->R.Type();
}

int OffsetRgn(HRGN region, int dx, int dy) {
  TRegion* r = AsRegion(region);
  if (!r) return ERROR;
  r->R.Offset(dx, dy);
  return r->R.Type();
}

BOOL EqualRgn(HRGN a, HRGN b) {
  TRegion* ra = AsRegion(a);
  TRegion* rb = AsRegion(b);
  if (!ra || !rb) return ERROR;
  return ra->R.Equals(rb->R);
}

BOOL PtInRegion(HRGN region, int x, int y) {
  TRegion* r = AsRegion(region);
  return r && r->R.Contains(x, y);
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
  TRegion* r = AsRegion(region);
  return r && rect && r->R.Overlaps(*rect);
}

int GetRgnBox(HRGN region, RECT* rect) {
  TRegion* r = AsRegion(region);
  if (!r || !rect) return ERROR;
  *rect = r->R.Box();
  return r->R.Type();
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  TRegion* r = AsRegion(region);
  if (!r) return 0;
  r->R.SetRect({std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)});
  return 1;
}
