// The library's own scroll bar: drawn entirely by the look-and-feel painter (so that it matches
// the flat, ultra-flat, Office 11 and standard looks), with its own layout of arrows, thumb and
// page areas, hit testing, auto-repeat of arrow and page scrolling while a button is held (the
// first repeat after 400 ms, then every 60 ms) and thumb tracking. Every step is reported
// through OnScroll; a change of Position through OnChange.
//
// Base controls own two of them (TcxControlScrollBar), containers place them beside their inner
// controls.
#pragma once

#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/Controls.h"
#include "platform/controls/StdCtrls.h"

class TcxBitmap;
class TcxScrollBar;
class TcxTimer;
class TdxThemeChangedNotificator;

// The parts of a bar: 0 none, 1 first arrow (left or top), 2 second arrow (right or bottom),
// 3 thumb, 4 page-up area (first arrow to thumb), 5 page-down area (thumb to second arrow).
using TcxScrollBarHitTest = TcxScrollBarPart;

// The bar's rectangles, computed from its size, kind, range and the system metrics.
class TcxScrollBarViewInfo : public TObject {
  ORV_CLASS(TcxScrollBarViewInfo, TObject)
 public:
  using TCreateSignature = void(TcxScrollBar* scrollBar);
  explicit TcxScrollBarViewInfo(TcxScrollBar* scrollBar) : FScrollBar(scrollBar) {}

  // Arrows, then the thumb and page areas.
  virtual void CalculateLayout();
  virtual void Recalculate() { CalculateLayout(); }
  // The thumb and both page areas from the range and position (empty on a disabled bar).
  void CalculateThumb();
  // Moves the thumb along the bar so that it starts at `start` (clamped between the arrows);
  // the page areas follow.
  void SetThumbStart(Integer start);

  TcxScrollBar* GetScrollBar() const { return FScrollBar; }
  const TRect& GetBottomRightArrowRect() const { return FBottomRightArrowRect; }
  const TRect& GetPageDownRect() const { return FPageDownRect; }
  const TRect& GetPageUpRect() const { return FPageUpRect; }
  const TRect& GetThumbnailRect() const { return FThumbnailRect; }
  const TRect& GetTopLeftArrowRect() const { return FTopLeftArrowRect; }
  Integer GetMinThumbnailSize() const { return FMinThumbnailSize; }
  void SetMinThumbnailSize(Integer value) { FMinThumbnailSize = value; }

  // Along the bar: where the first arrow ends, where the second begins, the thumb's start and
  // length (0 without a thumb).
  Integer TrackStart() const;
  Integer TrackEnd() const;
  Integer ThumbStart() const;
  Integer ThumbLength() const;

 private:
  void CalculatePageAreas();
  TRect FBottomRightArrowRect;
  TRect FPageDownRect;
  TRect FPageUpRect;
  TcxScrollBar* FScrollBar;
  TRect FThumbnailRect;
  Integer FMinThumbnailSize = 8;
  TRect FTopLeftArrowRect;
};

using TcxScrollBarViewInfoClass = orv::ClassOf<TcxScrollBarViewInfo>;

class TcxScrollBar : public TCustomControl {
  ORV_CLASS(TcxScrollBar, TCustomControl)
 public:
  explicit TcxScrollBar(TComponent* owner);
  ~TcxScrollBar() override;
  void Dispatch(TMessage& message) override;
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;

  // The single setter behind Min, Max, PageSize and Position: EInvalidOperation "Scrollbar
  // property out of range" when max < min or max < pageSize (nothing changes then); the
  // position is clamped into [min, max]; a changed position enables the bar and fires OnChange.
  void SetScrollParameters(Integer min, Integer max, Integer position, Integer pageSize,
                           Boolean redraw = true);

  TScrollBarKind GetKind() const { return FKind; }
  // A horizontal bar turns into a vertical one of the same extent (width and height exchanged).
  void SetKind(TScrollBarKind value);
  SmallInt GetLargeChange() const { return FLargeChange; }
  void SetLargeChange(SmallInt value) { FLargeChange = value; }
  SmallInt GetSmallChange() const { return FSmallChange; }
  void SetSmallChange(SmallInt value) { FSmallChange = value; }
  Integer GetMax() const { return FMax; }
  void SetMax(Integer value) { SetScrollParameters(FMin, value, FPosition, FPageSize); }
  Integer GetMin() const { return FMin; }
  void SetMin(Integer value) { SetScrollParameters(value, FMax, FPosition, FPageSize); }
  Integer GetPageSize() const { return FPageSize; }
  void SetPageSize(Integer value) { SetScrollParameters(FMin, FMax, FPosition, value); }
  Integer GetPosition() const { return FPosition; }
  void SetPosition(Integer value) { SetScrollParameters(FMin, FMax, value, FPageSize); }
  // The thumb keeps following the mouse however far it goes from the bar.
  Boolean GetUnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(Boolean value) { FUnlimitedTracking = value; }
  TcxLookAndFeel* GetLookAndFeel() const { return FLookAndFeel; }
  // Assigns the values into the bar's own look and feel.
  void SetLookAndFeel(TcxLookAndFeel* value);
  // True when either the current or the stored value is.
  Boolean GetCtl3D() const { return FCtl3D || FRealCtl3D; }
  // Setting Ctl3D makes it the bar's own (ParentCtl3D false).
  void SetCtl3D(Boolean value);
  // The bar takes its depth from its parent; the platform's parents are always drawn in 3D.
  Boolean GetParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(Boolean value);

  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }
  const TScrollEvent& GetOnScroll() const { return FOnScroll; }
  void SetOnScroll(const TScrollEvent& value) { FOnScroll = value; }

  // One scroll step by scroll code; OnScroll may change the new position, which is clamped
  // into [Min, Max]. A track step stores the position without OnChange.
  void PerformScroll(TScrollCode code);
  // The part under a client point (0 outside the bar or on no part).
  TcxScrollBarPart HitTestPart(const TPoint& point);
  // The position the thumb's place stands for.
  Integer PositionFromThumb();
  // Ends a press (arrow, page or thumb): a thumb drag reports scPosition, every end
  // scEndScroll once.
  void StopScrolling();
  TcxButtonState GetPartState(TcxScrollBarPart part);

  TcxScrollBarViewInfo* GetViewInfo() const { return FViewInfo; }
  TcxScrollBarPart GetPressedPart() const { return FPressedPart; }
  TcxScrollBarPart GetHotPart() const { return FHotPart; }
  TcxTimer* GetRepeatTimer() const { return FTimer; }
  // The painter of the bar's look and feel for scroll-bar elements.
  TcxCustomLookAndFeelPainterClass GetPainter() const;

 protected:
  virtual void NotifyChange();
  virtual TcxScrollBarViewInfoClass ViewInfoClass() const { return TcxScrollBarViewInfo::StaticClass(); }
  virtual void DrawScrollBar(TcxCanvas* canvas);
  virtual void DrawBackground(TcxCanvas* canvas, const TRect& rect);
  virtual void DrawPart(TcxCanvas* canvas, const TRect& rect, TcxScrollBarPart part, TcxButtonState state);
  virtual void DrawPartAt(TcxCanvas* canvas, const TRect& rect, TcxScrollBarPart part);
  virtual Boolean IsHotTrackEnabled() const;
  virtual void DoScroll(TScrollCode code, Integer& position);
  virtual Integer GetMinThumbSize() const;
  virtual void MouseEnter(TControl* control);
  virtual void MouseLeave(TControl* control);

  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void Paint() override;
  void ScrollByPart(TcxScrollBarPart part);
  // The look and feel changed (or Ctl3D): the thumb's minimum and the layout are read again.
  void LookAndFeelChangeHandler(TcxLookAndFeel* sender, TcxLookAndFeelValues values);
  void ThemeChanged(TObject* sender);

 private:
  void RepeatTimerTick(TObject* sender);
  void RecalculateLayout();
  void Redraw();
  Boolean IsHorizontal() const { return FKind == sbHorizontal; }
  Integer AlongBar(const TPoint& point) const { return IsHorizontal() ? point.X : point.Y; }

  TcxBitmap* FBitmap = nullptr;
  TPoint FDownMousePos;
  TScrollBarKind FKind = sbHorizontal;
  SmallInt FLargeChange = 1;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  Integer FMax = 100;
  Integer FMin = 0;
  Integer FPageSize = 0;
  Integer FPosition = 0;
  Boolean FCtl3D = true;
  Boolean FRealCtl3D = true;
  Boolean FParentCtl3D = true;
  Integer FSavePosition = 0;
  TPoint FSaveThumbnailPos;
  SmallInt FSmallChange = 1;
  TdxThemeChangedNotificator* FThemeChangedNotificator = nullptr;
  TcxTimer* FTimer = nullptr;
  Boolean FUnlimitedTracking = false;
  TNotifyEvent FOnChange;
  TScrollEvent FOnScroll;
  TcxScrollBarPart FPressedPart = sbpNone;
  TcxScrollBarPart FHotPart = sbpNone;
  TcxScrollBarViewInfo* FViewInfo = nullptr;
};

// (SM_CXVSCROLL, SM_CYHSCROLL) of the system.
TSize GetSystemScrollBarSize();
