// Rectangle, point and size arithmetic of the component library.
//
// Rectangles exclude their right and bottom edge. Every function returns a new record and leaves
// its arguments alone. Sums and differences wrap around at the 32-bit limits instead of
// overflowing (halves are taken from a 64-bit sum), so extreme coordinates never make the
// arithmetic undefined.
#pragma once

#include "platform/runtime/Object.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Types.h"

namespace orv::geometry {

// Two's-complement wrapping arithmetic on 32-bit coordinates.
constexpr Integer Add(Integer a, Integer b) {
  return static_cast<Integer>(static_cast<Cardinal>(a) + static_cast<Cardinal>(b));
}
constexpr Integer Sub(Integer a, Integer b) {
  return static_cast<Integer>(static_cast<Cardinal>(a) - static_cast<Cardinal>(b));
}
// (a + b) / 2 with the half truncated toward zero, computed without overflow.
constexpr Integer HalfSum(Int64 a, Int64 b) { return static_cast<Integer>((a + b) / 2); }

}  // namespace orv::geometry

// ---- Rectangles ---------------------------------------------------------------------------

constexpr Integer GetRectWidth(const TRect& r) { return orv::geometry::Sub(r.Right, r.Left); }
constexpr Integer GetRectHeight(const TRect& r) { return orv::geometry::Sub(r.Bottom, r.Top); }

constexpr Boolean RectIsEmpty(const TRect& r) { return r.Left >= r.Right || r.Top >= r.Bottom; }
constexpr Boolean RectsEqual(const TRect& a, const TRect& b) { return a == b; }

constexpr TRect MakeRect(Integer left, Integer top, Integer right, Integer bottom) {
  return {left, top, right, bottom};
}
constexpr TRect MakeRectBounds(Integer left, Integer top, Integer width, Integer height) {
  using namespace orv::geometry;
  return {left, top, Add(left, width), Add(top, height)};
}

// The overlap of a and b in `result`. When they do not overlap (touching edges included), the
// result is the all-zero rectangle and the answer false.
constexpr Boolean IntersectRects(TRect& result, const TRect& a, const TRect& b) {
  const TRect r{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
                a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
  if (RectIsEmpty(r)) {
    result = TRect{};
    return false;
  }
  result = r;
  return true;
}

// a extended to cover b; an empty b (no positive width and height) leaves a unchanged.
constexpr TRect GetRectUnion(const TRect& a, const TRect& b) {
  if (b.Right <= b.Left || b.Bottom <= b.Top) return a;
  return {a.Left < b.Left ? a.Left : b.Left, a.Top < b.Top ? a.Top : b.Top,
          a.Right > b.Right ? a.Right : b.Right, a.Bottom > b.Bottom ? a.Bottom : b.Bottom};
}

constexpr TRect GetInflatedRectBySides(const TRect& r, Integer dl, Integer dt, Integer dr,
                                       Integer db) {
  using namespace orv::geometry;
  return {Sub(r.Left, dl), Sub(r.Top, dt), Add(r.Right, dr), Add(r.Bottom, db)};
}
constexpr TRect GetInflatedRect(const TRect& r, Integer dx, Integer dy) {
  return GetInflatedRectBySides(r, dx, dy, dx, dy);
}
// r less the four margins (each margin moves its side inward).
constexpr TRect GetContentRect(const TRect& r, const TRect& margins) {
  using namespace orv::geometry;
  return {Add(r.Left, margins.Left), Add(r.Top, margins.Top), Sub(r.Right, margins.Right),
          Sub(r.Bottom, margins.Bottom)};
}

// r grown by the four margins (each margin moves its side outward); the page control and the
// grid call it ExtendRect.
constexpr TRect ExtendRect(const TRect& r, const TRect& margins) {
  return GetInflatedRectBySides(r, margins.Left, margins.Top, margins.Right, margins.Bottom);
}
// The null size and the empty rectangle.
inline constexpr TSize cxNullSize{0, 0};
inline constexpr TRect cxEmptyRect{0, 0, 0, 0};

// Both corners moved by (dx, dy), or by (-dx, -dy) when `add` is false.
constexpr TRect GetOffsetRect(const TRect& r, Integer dx, Integer dy, Boolean add = true) {
  using namespace orv::geometry;
  if (add) return {Add(r.Left, dx), Add(r.Top, dy), Add(r.Right, dx), Add(r.Bottom, dy)};
  return {Sub(r.Left, dx), Sub(r.Top, dy), Sub(r.Right, dx), Sub(r.Bottom, dy)};
}
constexpr TRect OffsetRectByPoint(const TRect& r, const TPoint& p, Boolean add = true) {
  return GetOffsetRect(r, p.X, p.Y, add);
}
constexpr TRect ShiftRectHorz(const TRect& r, Integer dx) { return GetOffsetRect(r, dx, 0); }

// r's top-left corner with p as the bottom-right one.
constexpr TRect RectFromTopLeftAndPoint(const TRect& r, const TPoint& p) {
  return {r.Left, r.Top, p.X, p.Y};
}
constexpr TRect RectWithTop(const TRect& r, Integer y, Integer h) {
  return {r.Left, y, r.Right, orv::geometry::Add(y, h)};
}
constexpr TRect RectWithBottom(const TRect& r, Integer y, Integer h) {
  return {r.Left, orv::geometry::Sub(y, h), r.Right, y};
}
constexpr TRect RectWithHeight(const TRect& r, Integer h) {
  return {r.Left, r.Top, r.Right, orv::geometry::Add(r.Top, h)};
}
constexpr TRect RectWithWidth(const TRect& r, Integer w) {
  return {r.Left, r.Top, orv::geometry::Add(r.Left, w), r.Bottom};
}
constexpr TRect RectWithLeftWidth(const TRect& r, Integer x, Integer w) {
  return {x, r.Top, orv::geometry::Add(x, w), r.Bottom};
}
// The painters' name for RectWithLeftWidth.
constexpr TRect RectWithLeftAndWidth(const TRect& r, Integer x, Integer w) {
  return RectWithLeftWidth(r, x, w);
}
constexpr TRect RectMovedToLeft(const TRect& r, Integer x) {
  return {x, r.Top, orv::geometry::Add(x, GetRectWidth(r)), r.Bottom};
}
constexpr TRect RectWithRight(const TRect& r, Integer x, Integer w) {
  return {orv::geometry::Sub(x, w), r.Top, x, r.Bottom};
}

// The centre, halves truncated toward zero.
constexpr TPoint GetRectCenter(const TRect& r) {
  using orv::geometry::HalfSum;
  return {HalfSum(r.Left, r.Right), HalfSum(r.Top, r.Bottom)};
}
// A w x h rectangle centred in r (offsets truncated toward zero).
constexpr TRect GetCenteredRect(const TRect& r, Integer w, Integer h) {
  using namespace orv::geometry;
  const Integer left = HalfSum(Int64(r.Left) + r.Right, -Int64(w));
  const Integer top = HalfSum(Int64(r.Top) + r.Bottom, -Int64(h));
  return {left, top, Add(left, w), Add(top, h)};
}
constexpr TRect GetCenteredRectOfSize(const TRect& r, const TSize& size) {
  return GetCenteredRect(r, size.cx, size.cy);
}

// Left <= x < Right and Top <= y < Bottom: the right and bottom edges lie outside.
constexpr Boolean IsPointInRect(const TRect& r, Integer x, Integer y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}
constexpr Boolean IsPointInRect(const TRect& r, const TPoint& p) { return IsPointInRect(r, p.X, p.Y); }

// ---- Points and sizes ---------------------------------------------------------------------

constexpr TPoint MakePoint(Integer x, Integer y) { return {x, y}; }
constexpr TPoint PointFromSize(const TSize& size) { return {size.cx, size.cy}; }
constexpr TPoint NegatePoint(const TPoint& p) {
  using orv::geometry::Sub;
  return {Sub(0, p.X), Sub(0, p.Y)};
}
constexpr Boolean ArePointsEqual(const TPoint& a, const TPoint& b) { return a == b; }
constexpr Boolean SizesEqual(const TSize& a, const TSize& b) { return a == b; }
// p + (x, y), or p - (x, y) when `add` is false.
constexpr TPoint GetOffsetPoint(const TPoint& p, Integer x, Integer y, Boolean add = true) {
  using namespace orv::geometry;
  return add ? TPoint{Add(p.X, x), Add(p.Y, y)} : TPoint{Sub(p.X, x), Sub(p.Y, y)};
}
constexpr TPoint OffsetPointByRectOrigin(const TPoint& p, const TRect& r, Boolean add = true) {
  return GetOffsetPoint(p, r.Left, r.Top, add);
}
constexpr TSize MakeRectSize(Integer width, Integer height) { return {width, height}; }

// ==== A persistent rectangle =================================================================

// A rectangle that components publish as a property; OnChange fires on every real change.
class TcxRect : public TPersistent {
  ORV_CLASS(TcxRect, TPersistent)
 public:
  using TCreateSignature = void(TPersistent* owner);
  explicit TcxRect(TPersistent* owner) : FOwner(owner) {}

  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override { return FOwner; }

  const TRect& GetRect() const { return FRect; }
  // Stores the rectangle as ValidateRect leaves it and fires OnChange, when it differs.
  void SetRect(const TRect& value);

  Integer GetLeft() const { return GetValue(0); }
  void SetLeft(Integer value) { SetValue(0, value); }
  Integer GetTop() const { return GetValue(1); }
  void SetTop(Integer value) { SetValue(1, value); }
  Integer GetRight() const { return GetValue(2); }
  void SetRight(Integer value) { SetValue(2, value); }
  Integer GetBottom() const { return GetValue(3); }
  void SetBottom(Integer value) { SetValue(3, value); }

  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

 protected:
  // May adjust a new rectangle before it is stored; nothing here.
  virtual void ValidateRect(TRect& r) {}

 private:
  // 0 Left, 1 Top, 2 Right, 3 Bottom.
  Integer GetValue(Integer index) const;
  void SetValue(Integer index, Integer value);

  TPersistent* FOwner;
  TRect FRect;
  TNotifyEvent FOnChange;
};

using TcxRectClass = orv::ClassOf<TcxRect>;
