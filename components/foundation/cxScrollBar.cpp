#include "components/foundation/cxScrollBar.h"

#include <algorithm>

#include "components/foundation/cxControls.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/ControlProperties.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Math.h"
#include "platform/windowing/User.h"

namespace {

constexpr Cardinal kFirstRepeatDelay = 400;
constexpr Cardinal kRepeatInterval = 60;
// How far the pointer may leave a bar while it drags the thumb before the thumb snaps back.
constexpr Integer kTrackingMarginAlong = 34;
constexpr Integer kTrackingMarginAcross = 136;

const orv::EnumNames<TScrollBarKind> kScrollBarKindNames("TScrollBarKind", {"sbHorizontal", "sbVertical"});

Boolean IsRepeatingPart(TcxScrollBarPart part) {
  return part == sbpLineUp || part == sbpLineDown || part == sbpPageUp || part == sbpPageDown;
}

}  // namespace

TSize GetSystemScrollBarSize() { return {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}; }

// ==== View info ===============================================================================

Integer TcxScrollBarViewInfo::TrackStart() const {
  return FScrollBar->GetKind() == sbHorizontal ? FTopLeftArrowRect.Right : FTopLeftArrowRect.Bottom;
}

Integer TcxScrollBarViewInfo::TrackEnd() const {
  return FScrollBar->GetKind() == sbHorizontal ? FBottomRightArrowRect.Left : FBottomRightArrowRect.Top;
}

Integer TcxScrollBarViewInfo::ThumbStart() const {
  return FScrollBar->GetKind() == sbHorizontal ? FThumbnailRect.Left : FThumbnailRect.Top;
}

Integer TcxScrollBarViewInfo::ThumbLength() const {
  return FScrollBar->GetKind() == sbHorizontal ? FThumbnailRect.Width() : FThumbnailRect.Height();
}

void TcxScrollBarViewInfo::CalculateLayout() {
  const Integer width = FScrollBar->GetWidth();
  const Integer height = FScrollBar->GetHeight();
  if (FScrollBar->GetKind() == sbHorizontal) {
    const Integer w = std::max(0, std::min(GetSystemMetrics(SM_CYHSCROLL), width / 2));
    FTopLeftArrowRect = Rect(0, 0, w, height);
    FBottomRightArrowRect = Rect(width - w, 0, width, height);
  } else {
    const Integer h = std::max(0, std::min(GetSystemMetrics(SM_CXVSCROLL), height / 2));
    FTopLeftArrowRect = Rect(0, 0, width, h);
    FBottomRightArrowRect = Rect(0, height - h, width, height);
  }
  CalculateThumb();
}

void TcxScrollBarViewInfo::CalculateThumb() {
  FThumbnailRect = TRect();
  FPageUpRect = TRect();
  FPageDownRect = TRect();
  if (!FScrollBar->GetEnabled()) return;
  const Boolean horizontal = FScrollBar->GetKind() == sbHorizontal;
  const Integer min = FScrollBar->GetMin();
  const Integer max = FScrollBar->GetMax();
  const Integer pageSize = FScrollBar->GetPageSize();
  const Integer position = FScrollBar->GetPosition();
  const Integer trackStart = TrackStart();
  const Integer track = TrackEnd() - trackStart;
  // Ranges are computed in 64 bits: Max - Min + 1 overflows for the widest ranges.
  const Int64 range = Int64(max) - min + 1;
  Integer length;
  Integer offset = 0;
  if (pageSize != 0) {
    length = Integer(std::min<Int64>(track, Int64(pageSize) * track / std::max<Int64>(range, 1)));
    if (track < FMinThumbnailSize || max == min) return;
    length = std::max(length, FMinThumbnailSize);
    // A page as large as the whole range (possible when Min > 0) leaves no way to move: the
    // thumb then stays at the start instead of being placed by a zero or negative divisor.
    const Int64 steps = Int64(max) - min - pageSize + 1;
    if (steps > 0 && track > length)
      offset = Integer(Int64(track - length) * std::min<Int64>(Int64(position) - min, steps) / steps);
  } else {
    length = GetSystemMetrics(horizontal ? SM_CXHTHUMB : SM_CYVTHUMB);
    if (track < length) return;
    if (track - length > 0 && max != min)
      offset = MulDiv(track - length, position - min, max - min);
  }
  const Integer start = trackStart + offset;
  if (horizontal)
    FThumbnailRect = Rect(start, 0, start + length, FScrollBar->GetHeight());
  else
    FThumbnailRect = Rect(0, start, FScrollBar->GetWidth(), start + length);
  CalculatePageAreas();
}

void TcxScrollBarViewInfo::CalculatePageAreas() {
  FPageUpRect = TRect();
  FPageDownRect = TRect();
  if (RectIsEmpty(FThumbnailRect)) return;
  if (FScrollBar->GetKind() == sbHorizontal) {
    FPageUpRect = Rect(TrackStart(), 0, FThumbnailRect.Left, FScrollBar->GetHeight());
    FPageDownRect = Rect(FThumbnailRect.Right, 0, TrackEnd(), FScrollBar->GetHeight());
  } else {
    FPageUpRect = Rect(0, TrackStart(), FScrollBar->GetWidth(), FThumbnailRect.Top);
    FPageDownRect = Rect(0, FThumbnailRect.Bottom, FScrollBar->GetWidth(), TrackEnd());
  }
}

void TcxScrollBarViewInfo::SetThumbStart(Integer start) {
  if (RectIsEmpty(FThumbnailRect)) return;
  const Integer length = ThumbLength();
  start = std::max(TrackStart(), std::min(start, TrackEnd() - length));
  if (FScrollBar->GetKind() == sbHorizontal) {
    FThumbnailRect.Left = start;
    FThumbnailRect.Right = start + length;
  } else {
    FThumbnailRect.Top = start;
    FThumbnailRect.Bottom = start + length;
  }
  CalculatePageAreas();
}

// ==== Scroll bar ==============================================================================

ORV_PUBLISH(TcxScrollBar) {
  using T = TcxScrollBar;
  orv::PublishLayout(p);
  p.Property("Ctl3D", &T::GetCtl3D, &T::SetCtl3D).Default(true).Stored([](T* c) { return !c->GetParentCtl3D(); });
  orv::PublishDrag(p);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled)
      .Default(true)
      .Stored([](T* c) { return orv::IsControlEnabledStored(c); });
  p.Property("Kind", &T::GetKind, &T::SetKind).Default(sbHorizontal);
  p.Property("LargeChange", &T::GetLargeChange, &T::SetLargeChange).Default(1);
  p.Property("LookAndFeel", &T::GetLookAndFeel);
  p.Property("Max", &T::GetMax, &T::SetMax).Default(100);
  p.Property("Min", &T::GetMin, &T::SetMin).Default(0);
  p.Property("PageSize", &T::GetPageSize, &T::SetPageSize).Default(0);
  p.Property("ParentCtl3D", &T::GetParentCtl3D, &T::SetParentCtl3D).Default(true);
  p.Property("ParentShowHint", &T::GetParentShowHint, &T::SetParentShowHint).Default(true);
  p.Property("PopupMenu", [](T* c) { return c->GetPopupMenu(); },
             [](T* c, TPopupMenu* value) { c->SetPopupMenu(value); });
  p.Property("Position", &T::GetPosition, &T::SetPosition).Default(0);
  p.Property("ShowHint", &T::GetShowHint, &T::SetShowHint).Stored([](T* c) { return !c->GetParentShowHint(); });
  p.Property("SmallChange", &T::GetSmallChange, &T::SetSmallChange).Default(1);
  p.Property("UnlimitedTracking", &T::GetUnlimitedTracking, &T::SetUnlimitedTracking).Default(false);
  p.Property("Visible", &T::GetVisible, &T::SetVisible)
      .Default(true)
      .Stored([](T* c) { return orv::IsControlVisibleStored(c); });
  p.Property("OnContextPopup", &T::GetOnContextPopup, &T::SetOnContextPopup);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnDragDrop", &T::GetOnDragDrop, &T::SetOnDragDrop);
  p.Property("OnDragOver", &T::GetOnDragOver, &T::SetOnDragOver);
  p.Property("OnEndDrag", &T::GetOnEndDrag, &T::SetOnEndDrag);
  orv::PublishKeyEvents(p);
  p.Property("OnScroll", &T::GetOnScroll, &T::SetOnScroll);
  p.Property("OnStartDrag", &T::GetOnStartDrag, &T::SetOnStartDrag);
  orv::PublishDockEvents(p);
}

TcxScrollBar::TcxScrollBar(TComponent* owner) : TCustomControl(owner) {
  FBitmap = new TcxBitmap(0, 0, pfDevice);
  FLookAndFeel = new TcxLookAndFeel(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxScrollBar::LookAndFeelChangeHandler));
  FViewInfo = ViewInfoClass().Create(this);
  SetControlStyle(TControlStyle{csCaptureMouse, csFramed, csOpaque});
  FThemeChangedNotificator = new TdxThemeChangedNotificator;
  FThemeChangedNotificator->SetOnThemeChanged(TNotifyEvent(this, &TcxScrollBar::ThemeChanged));
  FTimer = new TcxTimer(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(kFirstRepeatDelay);
  FTimer->SetOnTimer(TNotifyEvent(this, &TcxScrollBar::RepeatTimerTick));
  FViewInfo->SetMinThumbnailSize(GetMinThumbSize());
  SetBounds(GetLeft(), GetTop(), 121, GetSystemMetrics(SM_CYHSCROLL));
  RecalculateLayout();
}

TcxScrollBar::~TcxScrollBar() {
  orv::Free(FTimer);
  orv::Free(FThemeChangedNotificator);
  orv::Free(FViewInfo);
  orv::Free(FLookAndFeel);
  orv::Free(FBitmap);
}

TcxCustomLookAndFeelPainterClass TcxScrollBar::GetPainter() const {
  return FLookAndFeel->GetPainterForThemeType(totScrollBar);
}

void TcxScrollBar::RecalculateLayout() {
  if (FViewInfo) FViewInfo->Recalculate();
}

void TcxScrollBar::Redraw() {
  if (HandleAllocated()) Repaint();
}

void TcxScrollBar::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  const TRect old = GetBoundsRect();
  inherited::SetBounds(left, top, width, height);
  if (GetBoundsRect() != old && GetWidth() > 0 && GetHeight() > 0 && FBitmap) {
    FBitmap->SetSize(GetWidth(), GetHeight());
    RecalculateLayout();
  }
}

void TcxScrollBar::SetScrollParameters(Integer min, Integer max, Integer position, Integer pageSize,
                                       Boolean redraw) {
  if (max < min || max < pageSize) throw EInvalidOperation("Scrollbar property out of range");
  redraw = redraw && HandleAllocated();
  position = std::max(min, std::min(position, max));
  if (min == FMin && max == FMax && pageSize == FPageSize && position == FPosition) return;
  FMin = min;
  FMax = max;
  FPageSize = pageSize;
  if (position == FPosition) {
    FViewInfo->CalculateThumb();
    if (redraw) Repaint();
    return;
  }
  // Setting the position re-enables the bar (the thumb needs it to be placed).
  SetEnabled(true);
  FPosition = position;
  FViewInfo->CalculateThumb();
  if (redraw) Repaint();
  NotifyChange();
}

void TcxScrollBar::SetKind(TScrollBarKind value) {
  if (FKind == value) return;
  FKind = value;
  if (GetComponentState().Contains(csLoading))
    RecalculateLayout();
  else
    SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
  RecalculateLayout();
  Invalidate();
}

void TcxScrollBar::SetLookAndFeel(TcxLookAndFeel* value) { FLookAndFeel->Assign(value); }

void TcxScrollBar::SetCtl3D(Boolean value) {
  FParentCtl3D = false;
  if (FRealCtl3D == value && FCtl3D == value) return;
  FRealCtl3D = value;
  LookAndFeelChangeHandler(FLookAndFeel, {});
}

void TcxScrollBar::SetParentCtl3D(Boolean value) {
  if (FParentCtl3D == value) return;
  if (value) {
    SetCtl3D(true);  // what every parent here draws with
  }
  FParentCtl3D = value;
}

void TcxScrollBar::NotifyChange() {
  Changed();
  if (FOnChange) FOnChange(this);
}

void TcxScrollBar::DoScroll(TScrollCode code, Integer& position) {
  if (FOnScroll) FOnScroll(this, code, position);
}

Boolean TcxScrollBar::IsHotTrackEnabled() const { return GetPainter()->SupportsButtonHotTrack(); }

Integer TcxScrollBar::GetMinThumbSize() const {
  return GetPainter()->ScrollBarMinThumbSize(FKind == sbVertical);
}

void TcxScrollBar::LookAndFeelChangeHandler(TcxLookAndFeel* sender, TcxLookAndFeelValues values) {
  // Skinned painters draw their own depth: there are none here, so the current value simply
  // follows the stored one.
  FCtl3D = FRealCtl3D;
  FViewInfo->SetMinThumbnailSize(GetMinThumbSize());
  RecalculateLayout();
  Invalidate();
}

void TcxScrollBar::ThemeChanged(TObject* sender) {
  FViewInfo->SetMinThumbnailSize(GetMinThumbSize());
  RecalculateLayout();
  UpdateScrollBarBitmaps();
  Invalidate();
  if (GetParent()) GetParent()->Realign();
}

// ---- Drawing ----

void TcxScrollBar::DrawScrollBar(TcxCanvas* canvas) {
  DrawBackground(canvas, Rect(0, 0, GetWidth(), GetHeight()));
  DrawPartAt(canvas, FViewInfo->GetTopLeftArrowRect(), sbpLineUp);
  DrawPartAt(canvas, FViewInfo->GetBottomRightArrowRect(), sbpLineDown);
  if (!RectIsEmpty(FViewInfo->GetThumbnailRect())) DrawPartAt(canvas, FViewInfo->GetThumbnailRect(), sbpThumbnail);
  if (!RectIsEmpty(FViewInfo->GetPageUpRect())) DrawPartAt(canvas, FViewInfo->GetPageUpRect(), sbpPageUp);
  if (!RectIsEmpty(FViewInfo->GetPageDownRect())) DrawPartAt(canvas, FViewInfo->GetPageDownRect(), sbpPageDown);
}

void TcxScrollBar::DrawBackground(TcxCanvas* canvas, const TRect& rect) {
  GetPainter()->DrawScrollBarBackground(canvas, rect, IsHorizontal());
}

void TcxScrollBar::DrawPart(TcxCanvas* canvas, const TRect& rect, TcxScrollBarPart part, TcxButtonState state) {
  GetPainter()->DrawScrollBarElement(canvas, IsHorizontal(), rect, part, state);
}

void TcxScrollBar::DrawPartAt(TcxCanvas* canvas, const TRect& rect, TcxScrollBarPart part) {
  DrawPart(canvas, rect, part, GetPartState(part));
}

TcxButtonState TcxScrollBar::GetPartState(TcxScrollBarPart part) {
  if (!GetEnabled()) return cxbsDisabled;
  if ((part == sbpThumbnail && !IsHotTrackEnabled()) || part != FHotPart) return cxbsNormal;
  if (FPressedPart != sbpNone) return part == FPressedPart ? cxbsPressed : cxbsNormal;
  return GetComponentState().Contains(csDesigning) ? cxbsNormal : cxbsHot;
}

void TcxScrollBar::Paint() {
  if (GetWidth() <= 0 || GetHeight() <= 0) return;
  if (FBitmap->GetWidth() != GetWidth() || FBitmap->GetHeight() != GetHeight())
    FBitmap->SetSize(GetWidth(), GetHeight());
  TcxCanvas* canvas = FBitmap->GetCanvas();
  DrawScrollBar(canvas);
  BitBlt(GetCanvas()->GetHandle(), 0, 0, GetWidth(), GetHeight(), canvas->GetDCHandle(), 0, 0, SRCCOPY);
}

// ---- Scrolling ----

TcxScrollBarPart TcxScrollBar::HitTestPart(const TPoint& point) {
  if (!IsPointInRect(Rect(0, 0, GetWidth(), GetHeight()), point)) return sbpNone;
  if (IsPointInRect(FViewInfo->GetTopLeftArrowRect(), point)) return sbpLineUp;
  if (IsPointInRect(FViewInfo->GetBottomRightArrowRect(), point)) return sbpLineDown;
  if (RectIsEmpty(FViewInfo->GetThumbnailRect())) return sbpNone;
  if (IsPointInRect(FViewInfo->GetThumbnailRect(), point)) return sbpThumbnail;
  if (IsPointInRect(FViewInfo->GetPageUpRect(), point)) return sbpPageUp;
  if (IsPointInRect(FViewInfo->GetPageDownRect(), point)) return sbpPageDown;
  return sbpNone;
}

Integer TcxScrollBar::PositionFromThumb() {
  const Int64 range = FPageSize > 0 ? Int64(FMax) - FMin - FPageSize + 1 : Int64(FMax) - FMin;
  const Integer free = FViewInfo->TrackEnd() - FViewInfo->TrackStart() - FViewInfo->ThumbLength();
  // A thumb that fills the whole track stands for the first position (the plain formula would
  // divide by zero there).
  if (free <= 0 || range <= 0) return FMin;
  const Int64 moved = FViewInfo->ThumbStart() - FViewInfo->TrackStart();
  // Rounded to the nearest position, as MulDiv does, in 64 bits.
  const Int64 scaled = (range * moved * 2 + free) / (Int64(free) * 2);
  return Integer(std::max<Int64>(FMin, std::min<Int64>(FMax, FMin + scaled)));
}

void TcxScrollBar::PerformScroll(TScrollCode code) {
  Int64 position = FPosition;
  switch (code) {
    case scLineUp: position -= FSmallChange; break;
    case scLineDown: position += FSmallChange; break;
    case scPageUp: position -= FLargeChange; break;
    case scPageDown: position += FLargeChange; break;
    case scTop: position = FMin; break;
    case scBottom: position = FMax; break;
    default: break;
  }
  Integer newPosition = Integer(std::max<Int64>(FMin, std::min<Int64>(FMax, position)));
  DoScroll(code, newPosition);
  newPosition = std::max(FMin, std::min(newPosition, FMax));
  if (newPosition == FPosition) return;
  if (code == scTrack) {
    FPosition = newPosition;
    // While the thumb is dragged it follows the mouse, not the position.
    if (FPressedPart != sbpThumbnail) FViewInfo->CalculateThumb();
    Redraw();
  } else {
    SetPosition(newPosition);
  }
}

void TcxScrollBar::ScrollByPart(TcxScrollBarPart part) {
  switch (part) {
    case sbpLineUp: PerformScroll(scLineUp); break;
    case sbpLineDown: PerformScroll(scLineDown); break;
    case sbpThumbnail: PerformScroll(scTrack); break;
    case sbpPageUp: PerformScroll(scPageUp); break;
    case sbpPageDown: PerformScroll(scPageDown); break;
    default: break;
  }
}

void TcxScrollBar::StopScrolling() {
  if (FPressedPart == sbpNone) return;
  if (FPressedPart == sbpThumbnail) {
    SetPosition(PositionFromThumb());
    PerformScroll(scPosition);
  }
  FTimer->SetEnabled(false);
  FPressedPart = sbpNone;
  FHotPart = sbpNone;
  PerformScroll(scEndScroll);
  FViewInfo->CalculateThumb();
  Invalidate();
}

void TcxScrollBar::RepeatTimerTick(TObject* sender) {
  if (GetCaptureControl() == this && IsRepeatingPart(FPressedPart)) {
    if (FTimer->GetInterval() == kFirstRepeatDelay) FTimer->SetInterval(kRepeatInterval);
    ScrollByPart(FPressedPart);
    FTimer->SetEnabled(HitTestPart(ScreenToClient(SafeGetCursorPos())) == FPressedPart);
  } else {
    StopScrolling();
  }
}

// ---- Mouse ----

void TcxScrollBar::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  const TcxScrollBarPart part = HitTestPart(Point(x, y));
  if (part == sbpNone) return;
  if (part == sbpThumbnail) {
    FDownMousePos = Point(x, y);
    FSavePosition = FPosition;
    FSaveThumbnailPos = FViewInfo->GetThumbnailRect().TopLeft();
    PerformScroll(scTrack);
  }
  FPressedPart = part;
  FHotPart = part;
  if (part != sbpThumbnail) {
    ScrollByPart(part);
    FTimer->SetInterval(kFirstRepeatDelay);
    FTimer->SetEnabled(true);
  }
  Redraw();
}

void TcxScrollBar::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  const TPoint point = Point(x, y);
  const TcxScrollBarPart part = HitTestPart(point);
  if (FPressedPart != sbpThumbnail) {
    if (FPressedPart != sbpNone) FTimer->SetEnabled(part == FPressedPart);
    if (part != FHotPart) {
      FHotPart = part;
      if (IsHotTrackEnabled()) Redraw();
    }
    return;
  }
  TRect tracking = Rect(0, 0, GetWidth(), GetHeight());
  if (IsHorizontal())
    tracking = Rect(tracking.Left - kTrackingMarginAlong, tracking.Top - kTrackingMarginAcross,
                    tracking.Right + kTrackingMarginAlong, tracking.Bottom + kTrackingMarginAcross);
  else
    tracking = Rect(tracking.Left - kTrackingMarginAcross, tracking.Top - kTrackingMarginAlong,
                    tracking.Right + kTrackingMarginAcross, tracking.Bottom + kTrackingMarginAlong);
  if (FUnlimitedTracking || IsPointInRect(tracking, point)) {
    const Integer offset = AlongBar(point) - AlongBar(FDownMousePos);
    if (offset == 0 && FViewInfo->ThumbStart() == AlongBar(FSaveThumbnailPos)) return;
    FViewInfo->SetThumbStart(AlongBar(FSaveThumbnailPos) + offset);
    Redraw();
    const Integer position = PositionFromThumb();
    if (position != FPosition) {
      FPosition = position;
      PerformScroll(scTrack);
    }
  } else {
    if (FSavePosition != FPosition) SetPosition(FSavePosition);
    // The thumb goes back to where the drag began even when the position never changed.
    FViewInfo->SetThumbStart(AlongBar(FSaveThumbnailPos));
    Redraw();
    PerformScroll(scTrack);
  }
}

void TcxScrollBar::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseUp(button, shift, x, y);
  StopScrolling();
  FHotPart = HitTestPart(Point(x, y));
}

void TcxScrollBar::MouseEnter(TControl* control) {
  if (IsHotTrackEnabled() || IsRepeatingPart(FPressedPart)) Redraw();
}

void TcxScrollBar::MouseLeave(TControl* control) {
  if (FPressedPart != sbpThumbnail) FHotPart = sbpNone;
  if (IsHotTrackEnabled() || IsRepeatingPart(FPressedPart)) Invalidate();
}

// ---- Messages ----

void TcxScrollBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(message);
      RecalculateLayout();
      if (!GetEnabled()) StopScrolling();
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      if (message.WParam == 0) StopScrolling();
      inherited::Dispatch(message);
      return;
    case WM_CANCELMODE:
      StopScrolling();
      inherited::Dispatch(message);
      return;
    case CN_HSCROLL:
    case CN_VSCROLL: PerformScroll(TScrollCode(LOWORD(message.WParam))); return;
    case CM_SYSCOLORCHANGE:
      UpdateScrollBarBitmaps();
      inherited::Dispatch(message);
      return;
    case CN_CTLCOLORSCROLLBAR:
      UpdateScrollBarBitmaps();
      DefaultHandler(message);
      return;
    case WM_ERASEBKGND: message.Result = 1; return;
    case CM_CTL3DCHANGED:
      inherited::Dispatch(message);
      FRealCtl3D = FCtl3D;
      LookAndFeelChangeHandler(FLookAndFeel, {});
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      inherited::Dispatch(message);
      TControl* control = message.LParam ? reinterpret_cast<TControl*>(message.LParam) : this;
      if (message.Msg == CM_MOUSEENTER)
        MouseEnter(control);
      else
        MouseLeave(control);
      return;
    }
    default: inherited::Dispatch(message); return;
  }
}
