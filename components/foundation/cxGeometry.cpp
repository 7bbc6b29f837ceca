#include "components/foundation/cxGeometry.h"

#include "platform/forms/Published.h"

// A component that publishes a rectangle stores its four edges and its change handler.
ORV_PUBLISH(TcxRect) {
  using T = TcxRect;
  p.Property("Left", &T::GetLeft, &T::SetLeft).Default(0);
  p.Property("Top", &T::GetTop, &T::SetTop).Default(0);
  p.Property("Right", &T::GetRight, &T::SetRight).Default(0);
  p.Property("Bottom", &T::GetBottom, &T::SetBottom).Default(0);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
}

void TcxRect::Assign(TPersistent* source) {
  // Only another rectangle is taken; other sources are ignored.
  if (auto* other = dynamic_cast<TcxRect*>(source)) SetRect(other->GetRect());
}

void TcxRect::SetRect(const TRect& value) {
  TRect r = value;
  ValidateRect(r);
  if (r == FRect) return;
  FRect = r;
  if (FOnChange) FOnChange(this);
}

Integer TcxRect::GetValue(Integer index) const {
  switch (index) {
    case 0: return FRect.Left;
    case 1: return FRect.Top;
    case 2: return FRect.Right;
    default: return FRect.Bottom;
  }
}

void TcxRect::SetValue(Integer index, Integer value) {
  TRect r = FRect;
  switch (index) {
    case 0: r.Left = value; break;
    case 1: r.Top = value; break;
    case 2: r.Right = value; break;
    default: r.Bottom = value; break;
  }
  SetRect(r);
}

namespace {

// Form descriptions create rectangles by class name.
struct TcxRectRegistration {
  TcxRectRegistration() { RegisterClass(TcxRect::StaticClass()); }
  ~TcxRectRegistration() { UnRegisterClass(TcxRect::StaticClass()); }
} gRectRegistration;

}  // namespace
