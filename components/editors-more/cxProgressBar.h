// The progress bar: a display-only editor whose edit value is a number shown as the filled part
// of a bar between Min and Max, with an overload zone, a peak mark, a text (percent, position or
// free text), LED segments, gradients, a tiled bitmap, a glass look and a marquee block that
// moves on a timer. Stand-alone it is a TcxProgressBar; in place grid cells draw it from
// TcxProgressBarProperties.
#pragma once

#include "components/editors/cxEdit.h"

class TBitmap;
class TcxTimer;

enum TcxProgressBarBarStyle {
  cxbsSolid, cxbsLEDs, cxbsGradient, cxbsGradientLEDs, cxbsBitmap, cxbsBitmapLEDs, cxbsAnimation, cxbsAnimationLEDs
};
enum TcxProgressBarBevelOuter { cxbvNone, cxbvLowered, cxbvRaised };
enum TcxProgressBarOrientation { cxorHorizontal, cxorVertical };
enum TcxProgressBarTextStyle { cxtsPercent, cxtsPosition, cxtsText };
enum TcxProgressBarAnimationPath { cxapCycle, cxapPingPong };

using TcxProgressBarAnimationSpeed = Byte;  // 0..20
using TcxNaturalNumber = Integer;            // 1..MaxInt
using TcxBorderWidth = Word;

Boolean IsLEDStyle(TcxProgressBarBarStyle style);
Boolean IsAnimationStyle(TcxProgressBarBarStyle style);

class TcxCustomProgressBarViewInfo;

// The assigned flags of Max and Min.
class TcxProgressBarPropertiesValues : public TcxCustomEditPropertiesValues {
  ORV_CLASS(TcxProgressBarPropertiesValues, TcxCustomEditPropertiesValues)
 public:
  using TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues;
  Boolean GetMax() const { return GetMaxValue(); }
  void SetMax(Boolean value) { SetMaxValue(value); }
  Boolean GetMin() const { return GetMinValue(); }
  void SetMin(Boolean value) { SetMinValue(value); }
};

class TcxCustomProgressBarProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxCustomProgressBarProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomProgressBarProperties(TPersistent* owner);
  ~TcxCustomProgressBarProperties() override;

  void Assign(TPersistent* source) override;
  Boolean IsEditValueComparable() override { return true; }
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() override {
    return TcxProgressBarPropertiesValues::StaticClass();
  }
  Boolean HasSeparateChangeEvents() override { return true; }
  Word GetCapabilities() override { return 265; }
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void EditValueToDisplayText(const Variant& value, AnsiString& text) override;

  // Keeps the view info's position within [Min, Max] when the range is not empty.
  virtual void ClampViewInfoPosition(TcxCustomProgressBarViewInfo* viewInfo);
  // The peak shown for a position; the stored PeakValue climbs to the highest laid out.
  Double TrackPeak(Double position);

  Double GetMax();
  void SetMax(Double value);
  Double GetMin();
  void SetMin(Double value);

  TcxProgressBarAnimationPath GetAnimationPath() const { return FAnimationPath; }
  void SetAnimationPath(TcxProgressBarAnimationPath value);
  Cardinal GetAnimationRestartDelay() const { return FAnimationRestartDelay; }
  void SetAnimationRestartDelay(Cardinal value);
  TcxProgressBarAnimationSpeed GetAnimationSpeed() const { return FAnimationSpeed; }
  // Above 20 is 20.
  void SetAnimationSpeed(TcxProgressBarAnimationSpeed value);
  TColor GetBeginColor() const { return FBeginColor; }
  void SetBeginColor(TColor value);
  TcxProgressBarBevelOuter GetBarBevelOuter() const { return FBarBevelOuter; }
  void SetBarBevelOuter(TcxProgressBarBevelOuter value);
  TColor GetEndColor() const { return FEndColor; }
  void SetEndColor(TColor value);
  TBitmap* GetForegroundImage();
  void SetForegroundImage(TBitmap* value);
  Boolean HasForegroundImage() const { return FForegroundImage != nullptr; }
  Boolean GetMarquee() const { return FMarquee; }
  void SetMarquee(Boolean value);
  TcxProgressBarOrientation GetOrientation() const { return FOrientation; }
  void SetOrientation(TcxProgressBarOrientation value);
  Boolean GetShowText() const { return FShowText; }
  void SetShowText(Boolean value);
  TcxProgressBarTextStyle GetShowTextStyle() const { return FShowTextStyle; }
  void SetShowTextStyle(TcxProgressBarTextStyle value);
  const AnsiString& GetText() const { return FText; }
  void SetText(const AnsiString& value);
  TcxProgressBarOrientation GetTextOrientation() const { return FTextOrientation; }
  void SetTextOrientation(TcxProgressBarOrientation value);
  Boolean GetSolidTextColor() const { return FSolidTextColor; }
  void SetSolidTextColor(Boolean value);
  TcxProgressBarBarStyle GetBarStyle() const { return FBarStyle; }
  void SetBarStyle(TcxProgressBarBarStyle value);
  Boolean GetTransparentImage() const { return FTransparentImage; }
  void SetTransparentImage(Boolean value);
  TcxBorderWidth GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(TcxBorderWidth value);
  Double GetOverloadValue() const { return FOverloadValue; }
  void SetOverloadValue(Double value);
  Boolean GetShowOverload() const { return FShowOverload; }
  void SetShowOverload(Boolean value);
  TColor GetOverloadBeginColor() const { return FOverloadBeginColor; }
  void SetOverloadBeginColor(TColor value);
  TColor GetOverloadEndColor() const { return FOverloadEndColor; }
  void SetOverloadEndColor(TColor value);
  Double GetPeakValue() const { return FPeakValue; }
  void SetPeakValue(Double value);
  Boolean GetShowPeak() const { return FShowPeak; }
  void SetShowPeak(Boolean value);
  TColor GetPeakColor() const { return FPeakColor; }
  void SetPeakColor(TColor value);
  TcxNaturalNumber GetPeakSize() const { return FPeakSize; }
  void SetPeakSize(TcxNaturalNumber value);

  Boolean ImageChanged = false;
  Boolean PositionChanged = false;

 private:
  void ImageChangedHandler(TObject* sender) { Changed(); }
  TcxProgressBarAnimationPath FAnimationPath = cxapCycle;
  Cardinal FAnimationRestartDelay = 0;
  TcxProgressBarAnimationSpeed FAnimationSpeed = 10;
  TColor FBeginColor = TColor(0x800000);
  TcxProgressBarBevelOuter FBarBevelOuter = cxbvNone;
  TColor FEndColor = TColor(0xFFFFFF);
  TBitmap* FForegroundImage = nullptr;
  Boolean FMarquee = false;
  TcxProgressBarOrientation FOrientation = cxorHorizontal;
  Boolean FShowText = true;
  TcxProgressBarTextStyle FShowTextStyle = cxtsPercent;
  AnsiString FText;
  TcxProgressBarOrientation FTextOrientation = cxorHorizontal;
  Boolean FSolidTextColor = false;
  TcxProgressBarBarStyle FBarStyle = cxbsSolid;
  Boolean FTransparentImage = true;
  TcxBorderWidth FBorderWidth = 0;
  Double FOverloadValue = 80;
  Boolean FShowOverload = false;
  TColor FOverloadBeginColor = TColor(0x8080FF);
  TColor FOverloadEndColor = TColor(0xFF00FF);
  Double FPeakValue = 0;
  Boolean FShowPeak = false;
  TColor FPeakColor = TColor(0x0000FF);
  TcxNaturalNumber FPeakSize = 2;
};

class TcxProgressBarProperties : public TcxCustomProgressBarProperties {
  ORV_CLASS(TcxProgressBarProperties, TcxCustomProgressBarProperties)
 public:
  using TcxCustomProgressBarProperties::TcxCustomProgressBarProperties;
  TcxProgressBarPropertiesValues* GetProgressAssignedValues() {
    return static_cast<TcxProgressBarPropertiesValues*>(GetAssignedValues());
  }
};

class TcxCustomProgressBarViewInfo : public TcxCustomEditViewInfo {
  ORV_CLASS(TcxCustomProgressBarViewInfo, TcxCustomEditViewInfo)
 public:
  TcxCustomProgressBarViewInfo();
  void BeforeDestruction() override;
  ~TcxCustomProgressBarViewInfo() override;

  void OffsetRects(Integer dx, Integer dy) override;
  void DoPaint(TcxCanvas* canvas) override;

  virtual Integer GetAnimationBarSize() { return 50; }
  virtual Integer GetAnimationDirection() { return 1; }
  virtual void DrawBar(TcxCanvas* canvas);
  virtual void PaintText(TcxCanvas* canvas);

  // The text the bar shows for its position.
  AnsiString GetProgressText();
  Integer GetPercent();
  Boolean IsAnimating();
  Integer GetLEDSize();

  // Setters that restart the animation on a change.
  void SetAnimationPath(TcxProgressBarAnimationPath value);
  void SetAnimationSpeed(Cardinal value);
  void SetMarquee(Boolean value);
  void SetBarStyle(TcxProgressBarBarStyle value);
  void SetOrientation(TcxProgressBarOrientation value);
  void StartAnimation();
  void StopAnimation();
  // One animation step (what a tick of the step timer does before repainting).
  void StepAnimation();
  Boolean IsPaused() const { return FPauseTimer != nullptr; }
  TcxTimer* GetStepTimer() const { return FStepTimer; }

  // ---- Fields ----
  AnsiString Text;
  TcxProgressBarAnimationPath AnimationPath = cxapCycle;
  Cardinal AnimationRestartDelay = 0;
  Integer AnimationOffset = 0;
  Integer AnimationDirectionSign = 1;
  Cardinal AnimationSpeed = 10;
  TColor BeginColor = TColor(0x800000);
  TcxProgressBarBevelOuter BarBevelOuter = cxbvNone;
  TColor EndColor = TColor(0xFFFFFF);
  Boolean Marquee = false;
  Double Max = 100;
  Double Min = 0;
  Double Position = 0;
  TBitmap* ForegroundImage = nullptr;
  TcxProgressBarOrientation Orientation = cxorHorizontal;
  TcxProgressBarOrientation TextOrientation = cxorHorizontal;
  Boolean ShowText = true;
  Boolean SolidTextColor = false;
  TcxProgressBarTextStyle ShowTextStyle = cxtsPercent;
  TcxProgressBarBarStyle BarStyle = cxbsSolid;
  Double OverloadValue = 80;
  TColor OverloadBeginColor = TColor(0x8080FF);
  TColor OverloadEndColor = TColor(0xFF00FF);
  Boolean ShowOverload = false;
  Double PeakValue = 0;
  TColor PeakColor = TColor(0x0000FF);
  Integer PeakSize = 2;
  Boolean ShowPeak = false;
  Boolean OverloadShown = false;
  Boolean PeakShown = false;
  Boolean DrawTransparent = false;
  Boolean RectsChanged = false;
  Boolean BarBoundsChanged = false;
  TRect BarBounds{};
  TRect FilledBounds{};
  TRect OverloadBounds{};
  TRect PeakBounds{};
  TRect AnimationBounds{};
  TRect FocusFrame{};
  TColor TextColor = clWindowText;
  Boolean Designing = false;

 private:
  void StepTimerHandler(TObject* sender);
  void PauseTimerHandler(TObject* sender);
  void ResetAnimation();
  void PauseAnimation();
  void MeasureFilledSpan(Integer& lo, Integer& hi);
  void DrawBevel(TcxCanvas* canvas, const TRect& rect);
  void DrawGlass(TcxCanvas* canvas, const TRect& rect, Boolean big, TColor color);
  TcxTimer* FStepTimer = nullptr;
  TcxTimer* FPauseTimer = nullptr;
};

class TcxCustomProgressBarViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxCustomProgressBarViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;

  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) override;
  void CalculateEditSize(TcxCanvas* canvas, Boolean isInplace, const Variant& value,
                         TcxCustomEditViewInfo* viewInfo, TSize& frameSize, TSize& minContentSize,
                         const TcxEditSizeProperties& sizeLimits) override;
  TSize GetContentSize(TcxCanvas* canvas, const Variant& value, const TcxEditSizeProperties& sizeLimits) override;

  virtual void ApplyPropertiesToViewInfo(TcxCustomProgressBarViewInfo* viewInfo);
  virtual Integer GetTextDrawFlags() { return 0; }

 protected:
  TcxCustomProgressBarProperties* BarProperties() const {
    return static_cast<TcxCustomProgressBarProperties*>(Properties);
  }
};

class TcxCustomProgressBar : public TcxCustomEdit {
  ORV_CLASS(TcxCustomProgressBar, TcxCustomEdit)
 public:
  explicit TcxCustomProgressBar(TComponent* owner);

  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  bool CanFocus() override;
  Boolean CanFocusOnClick() override;
  Boolean UsesParentColorByDefault() override { return true; }
  Integer GetColorState() override { return GetEnabled() ? 0 : 1; }
  TcxContainerStyleValues GetUnstoredStyleValues() override;
  void UpdateDisplayValue() override;
  void HandlePropertiesChange(TObject* sender) override;
  void GetAutoSizeLimits(TcxEditSizeProperties& limits) override;
  void GetDisplayText(AnsiString& text) override;

  virtual void ClampEditValue();
  virtual void ClampEditValueIfStandAlone();

  Double GetPosition();
  void SetPosition(Double value);
  TcxCustomProgressBarProperties* GetBarProperties() {
    return static_cast<TcxCustomProgressBarProperties*>(GetProperties());
  }
  TcxCustomProgressBarProperties* GetActiveBarProperties() {
    return static_cast<TcxCustomProgressBarProperties*>(GetEffectiveProperties());
  }
  TcxCustomProgressBarViewInfo* GetBarViewInfo() {
    return static_cast<TcxCustomProgressBarViewInfo*>(GetEditViewInfo());
  }
};

class TcxProgressBar : public TcxCustomProgressBar {
  ORV_CLASS(TcxProgressBar, TcxCustomProgressBar)
 public:
  using TcxCustomProgressBar::TcxCustomProgressBar;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxProgressBarProperties* GetProperties() {
    return static_cast<TcxProgressBarProperties*>(TcxCustomProgressBar::GetProperties());
  }
  void SetProperties(TcxProgressBarProperties* value) { GetProperties()->Assign(value); }
};

