#include "components/foundation/cxGeometry.h"

#include <gtest/gtest.h>

#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

#include <climits>
#include <memory>

namespace {

TEST(cxGeometry, IntersectRects) {
  struct Case {
    TRect a, b, expected;
    bool overlaps;
  } cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}, true},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {}, false},  // touching at the right edge
      {{0, 0, 10, 10}, {0, 10, 10, 20}, {}, false},  // touching at the bottom edge
      {{0, 0, 10, 10}, {2, 2, 4, 4}, {2, 2, 4, 4}, true},
      {{0, 0, 10, 10}, {20, 20, 30, 30}, {}, false},
  };
  for (const auto& c : cases) {
    TRect r{-1, -1, -1, -1};
    EXPECT_EQ(IntersectRects(r, c.a, c.b), c.overlaps);
    EXPECT_EQ(r, c.expected);
  }
}

TEST(cxGeometry, UnionIgnoresAnEmptySecondRect) {
  const TRect a{0, 0, 10, 10};
  EXPECT_EQ(GetRectUnion(a, TRect{50, 50, 50, 60}), a);
  EXPECT_EQ(GetRectUnion(a, TRect{50, 50, 40, 60}), a);
  EXPECT_EQ(GetRectUnion(a, TRect{5, -5, 20, 8}), (TRect{0, -5, 20, 10}));
}

TEST(cxGeometry, CentringTruncatesTowardZero) {
  EXPECT_EQ(GetCenteredRect(TRect{0, 0, 10, 10}, 3, 3), (TRect{3, 3, 6, 6}));
  EXPECT_EQ(GetCenteredRect(TRect{-10, -10, 0, 0}, 3, 3), (TRect{-6, -6, -3, -3}));
  EXPECT_EQ(GetCenteredRectOfSize(TRect{0, 0, 10, 20}, TSize{4, 4}), (TRect{3, 8, 7, 12}));
  EXPECT_EQ(GetRectCenter(TRect{-3, -3, 0, 0}), (TPoint{-1, -1}));
  EXPECT_EQ(GetRectCenter(TRect{1, 1, 4, 6}), (TPoint{2, 3}));
  // Extreme coordinates: the halves come from a 64-bit sum.
  EXPECT_EQ(GetRectCenter(TRect{INT_MAX - 2, 0, INT_MAX, 0}), (TPoint{INT_MAX - 1, 0}));
}

TEST(cxGeometry, PointInRectExcludesRightAndBottomEdges) {
  const TRect r{0, 0, 10, 5};
  EXPECT_TRUE(IsPointInRect(r, 0, 0));
  EXPECT_TRUE(IsPointInRect(r, TPoint{9, 4}));
  EXPECT_FALSE(IsPointInRect(r, 10, 0));
  EXPECT_FALSE(IsPointInRect(r, 0, 5));
  EXPECT_FALSE(IsPointInRect(r, -1, 0));
}

TEST(cxGeometry, RectangleBuilders) {
  const TRect r{10, 20, 30, 60};
  struct Case {
    TRect actual, expected;
  } cases[] = {
      {MakeRectBounds(1, 2, 3, 4), {1, 2, 4, 6}},
      {GetInflatedRect(r, 2, 3), {8, 17, 32, 63}},
      {ExtendRect(r, {1, 2, 3, 4}), {9, 18, 33, 64}},
      {GetInflatedRectBySides(r, 1, 2, 3, 4), {9, 18, 33, 64}},
      {GetContentRect(r, TRect{1, 2, 3, 4}), {11, 22, 27, 56}},
      {GetOffsetRect(r, 5, 6, true), {15, 26, 35, 66}},
      {GetOffsetRect(r, 5, 6, false), {5, 14, 25, 54}},
      {OffsetRectByPoint(r, TPoint{1, 1}, false), {9, 19, 29, 59}},
      {ShiftRectHorz(r, -10), {0, 20, 20, 60}},
      {RectFromTopLeftAndPoint(r, TPoint{100, 200}), {10, 20, 100, 200}},
      {RectWithTop(r, 5, 7), {10, 5, 30, 12}},
      {RectWithBottom(r, 50, 7), {10, 43, 30, 50}},
      {RectWithHeight(r, 4), {10, 20, 30, 24}},
      {RectWithWidth(r, 4), {10, 20, 14, 60}},
      {RectWithLeftWidth(r, 2, 3), {2, 20, 5, 60}},
      {RectWithLeftAndWidth(r, 2, 3), {2, 20, 5, 60}},
      {RectMovedToLeft(r, 0), {0, 20, 20, 60}},
      {RectWithRight(r, 50, 5), {45, 20, 50, 60}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(cases[i].actual, cases[i].expected) << "case " << i;
  EXPECT_EQ(GetRectWidth(r), 20);
  EXPECT_EQ(GetRectHeight(r), 40);
  EXPECT_TRUE(RectIsEmpty(TRect{0, 0, 0, 5}));
  EXPECT_TRUE(RectIsEmpty(TRect{0, 5, 5, 5}));
  EXPECT_FALSE(RectIsEmpty(TRect{0, 0, 1, 1}));
}

TEST(cxGeometry, Points) {
  EXPECT_EQ(NegatePoint(TPoint{3, -4}), (TPoint{-3, 4}));
  EXPECT_EQ(GetOffsetPoint(TPoint{1, 2}, 3, 4), (TPoint{4, 6}));
  EXPECT_EQ(GetOffsetPoint(TPoint{1, 2}, 3, 4, false), (TPoint{-2, -2}));
  EXPECT_EQ(OffsetPointByRectOrigin(TPoint{1, 2}, TRect{10, 20, 0, 0}), (TPoint{11, 22}));
  EXPECT_EQ(PointFromSize(MakeRectSize(5, 6)), MakePoint(5, 6));
  EXPECT_TRUE(ArePointsEqual(TPoint{1, 2}, TPoint{1, 2}));
  EXPECT_FALSE(SizesEqual(TSize{1, 2}, TSize{2, 1}));
}

}  // namespace

namespace {

struct GeometryChangeCounter : TObject {
  int Changes = 0;
  void Changed(TObject*) { ++Changes; }
};

class TNormalizedRect : public TcxRect {
  ORV_CLASS(TNormalizedRect, TcxRect)
 public:
  using TcxRect::TcxRect;

 protected:
  void ValidateRect(TRect& r) override {
    if (r.Right < r.Left) r.Right = r.Left;
  }
};

TEST(TcxRect, ChangesFireOnlyWhenTheRectangleChanges) {
  GeometryChangeCounter counter;
  std::unique_ptr<TcxRect, orv::FreeDeleter> r(new TcxRect(nullptr));
  r->SetOnChange(TNotifyEvent(&counter, &GeometryChangeCounter::Changed));
  r->SetLeft(0);  // the current value
  EXPECT_EQ(counter.Changes, 0);
  r->SetLeft(1);
  r->SetTop(2);
  r->SetRight(3);
  r->SetBottom(4);
  EXPECT_EQ(counter.Changes, 4);
  EXPECT_EQ(r->GetRect(), (TRect{1, 2, 3, 4}));
  r->SetRect(TRect{1, 2, 3, 4});
  EXPECT_EQ(counter.Changes, 4);

  std::unique_ptr<TcxRect, orv::FreeDeleter> other(new TcxRect(nullptr));
  other->Assign(r.get());
  EXPECT_EQ(other->GetRect(), r->GetRect());
  std::unique_ptr<TPersistent, orv::FreeDeleter> unrelated(new TPersistent);
  other->Assign(unrelated.get());  // ignored
  EXPECT_EQ(other->GetRect(), r->GetRect());
  EXPECT_EQ(GetClass("TcxRect"), TcxRect::StaticClass());
}

TEST(TcxRect, ValidateRectAdjustsBeforeStoring) {
  GeometryChangeCounter counter;
  TcxRectClass cls = TNormalizedRect::StaticClass();
  std::unique_ptr<TcxRect, orv::FreeDeleter> owner(new TcxRect(nullptr));
  std::unique_ptr<TcxRect, orv::FreeDeleter> r(cls.Create(owner.get()));
  EXPECT_EQ(r->GetOwner(), owner.get());
  r->SetOnChange(TNotifyEvent(&counter, &GeometryChangeCounter::Changed));
  r->SetRect(TRect{5, 0, 2, 1});
  EXPECT_EQ(r->GetRect(), (TRect{5, 0, 5, 1}));
  r->SetRight(4);  // adjusted back to the stored rectangle: no change
  EXPECT_EQ(counter.Changes, 1);
}

// A component that publishes a rectangle, with a handler for its changes.
class TRectHolderForGeometry : public TComponent {
  ORV_CLASS(TRectHolderForGeometry, TComponent)
 public:
  explicit TRectHolderForGeometry(TComponent* owner) : TComponent(owner), FMargins(new TcxRect(this)) {}
  ~TRectHolderForGeometry() override { orv::Free(FMargins); }
  TcxRect* GetMargins() const { return FMargins; }
  void MarginsChanged(TObject*) { ++Changes; }
  int Changes = 0;

 private:
  TcxRect* FMargins;
};

ORV_PUBLISH(TRectHolderForGeometry) {
  p.Property("Margins", &TRectHolderForGeometry::GetMargins);
  p.Method("MarginsChanged", &TRectHolderForGeometry::MarginsChanged);
}

TEST(TcxRect, EdgesAndChangeHandlerTravelThroughFormDescriptions) {
  std::unique_ptr<TRectHolderForGeometry, orv::FreeDeleter> holder(new TRectHolderForGeometry(nullptr));
  holder->SetName("Holder");
  // A zero edge is the default and is not written.
  holder->GetMargins()->SetRect(TRect{0, 2, 30, -4});
  holder->GetMargins()->SetOnChange(TNotifyEvent(holder.get(), &TRectHolderForGeometry::MarginsChanged));
  const std::string text = orv::WriteComponentToText(holder.get());
  EXPECT_EQ(text.find("Margins.Left"), std::string::npos) << text;
  EXPECT_NE(text.find("Margins.Top = 2"), std::string::npos) << text;
  EXPECT_NE(text.find("Margins.Right = 30"), std::string::npos) << text;
  EXPECT_NE(text.find("Margins.Bottom = -4"), std::string::npos) << text;
  EXPECT_NE(text.find("Margins.OnChange = MarginsChanged"), std::string::npos) << text;

  std::unique_ptr<TRectHolderForGeometry, orv::FreeDeleter> copy(new TRectHolderForGeometry(nullptr));
  orv::ReadComponentFromText(copy.get(), text);
  EXPECT_EQ(copy->GetMargins()->GetRect(), (TRect{0, 2, 30, -4}));
  // The handler read back is the copy's own and fires on a real change only.
  const int before = copy->Changes;
  copy->GetMargins()->SetLeft(0);
  EXPECT_EQ(copy->Changes, before);
  copy->GetMargins()->SetLeft(7);
  EXPECT_EQ(copy->Changes, before + 1);
  EXPECT_EQ(holder->Changes, 0);
}

}  // namespace
