#include "components/editors-more/cxProgressBar.h"

#include <algorithm>
#include <cmath>

#include "components/editors-more/cxExtEditUtils.h"
#include "components/editors-more/cxSpinEdit.h"
#include "components/editors/cxEditPublished.h"
#include "components/editors/cxFilterControlUtils.h"
#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"

// Prepares a spin editor for entering progress bar values in filter conditions: its buttons and
// the bar's range. Found through the filter-edits registry; nothing else names it.
class TcxFilterProgressBarHelper : public TcxFilterSpinEditHelper {
  ORV_CLASS(TcxFilterProgressBarHelper, TcxFilterSpinEditHelper)
 public:
  TcxFilterProgressBarHelper() = default;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
};

namespace {

inline constexpr TResStringRec scxSEditRepositoryProgressBarItem{"ProgressBar|Represents a ProgressBar"_a};

const bool kProgressBarRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxProgressBarProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryProgressBarItem));
  FilterEditsController()->AddHelperClass(TcxProgressBarProperties::StaticClass(),
                                          TcxFilterProgressBarHelper::StaticClass());
  return true;
}();

// 255 - p/100 * (255 - c) per channel: p = 100 keeps the colour, less moves it toward white.
TColor BarFade(TColor color, Integer percent) {
  const TColor c = ColorToRGB(color);
  auto ch = [&](Integer shift) {
    const Integer v = (c >> shift) & 0xFF;
    return Integer(255 - percent * (255 - v) / 100) & 0xFF;
  };
  return TColor(ch(0) | (ch(8) << 8) | (ch(16) << 16));
}

TColor BarScale(TColor color, Integer percent) {
  const TColor c = ColorToRGB(color);
  auto ch = [&](Integer shift) { return Integer(((c >> shift) & 0xFF) * percent / 100) & 0xFF; };
  return TColor(ch(0) | (ch(8) << 8) | (ch(16) << 16));
}

void BarGradient(TcxCanvas* canvas, const TRect& rect, TColor from, TColor to, Boolean horizontal) {
  if (orv::IsEmptyRect(rect)) return;
  DrawGradientRect(canvas->GetDCHandle(), rect, ColorToRGB(from), ColorToRGB(to), horizontal);
}

Double BarVariantToDouble(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value)) return 0;
  if (IsNumericVariant(value)) return value.AsDouble();
  double d = 0;
  if (TryStrToFloat(VarToStr(value), d)) return d;
  return 0;
}

}  // namespace

Boolean IsLEDStyle(TcxProgressBarBarStyle style) {
  return style == cxbsLEDs || style == cxbsGradientLEDs || style == cxbsBitmapLEDs || style == cxbsAnimationLEDs;
}

Boolean IsAnimationStyle(TcxProgressBarBarStyle style) {
  return style == cxbsAnimation || style == cxbsAnimationLEDs;
}

// ==== Properties ===============================================================================

TcxCustomProgressBarProperties::TcxCustomProgressBarProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner) {}

TcxCustomProgressBarProperties::~TcxCustomProgressBarProperties() { orv::Free(FForegroundImage); }

void TcxCustomProgressBarProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomProgressBarProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetAnimationPath(s->FAnimationPath);
    SetAnimationRestartDelay(s->FAnimationRestartDelay);
    SetBeginColor(s->FBeginColor);
    SetBarBevelOuter(s->FBarBevelOuter);
    SetEndColor(s->FEndColor);
    SetForegroundImage(s->FForegroundImage);
    SetMarquee(s->FMarquee);
    SetMin(s->GetMin());
    SetMax(s->GetMax());
    SetOrientation(s->FOrientation);
    SetShowText(s->FShowText);
    SetShowTextStyle(s->FShowTextStyle);
    SetTextOrientation(s->FTextOrientation);
    SetSolidTextColor(s->FSolidTextColor);
    SetBarStyle(s->FBarStyle);
    SetTransparentImage(s->FTransparentImage);
    SetBorderWidth(s->FBorderWidth);
    SetOverloadValue(s->FOverloadValue);
    SetShowOverload(s->FShowOverload);
    SetOverloadBeginColor(s->FOverloadBeginColor);
    SetOverloadEndColor(s->FOverloadEndColor);
    SetPeakValue(s->FPeakValue);
    SetShowPeak(s->FShowPeak);
    SetPeakColor(s->FPeakColor);
    SetPeakSize(s->FPeakSize);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxCustomEditClass TcxCustomProgressBarProperties::GetEditClass() { return TcxProgressBar::StaticClass(); }
TcxCustomEditViewInfoClass TcxCustomProgressBarProperties::GetViewInfoClass() {
  return TcxCustomProgressBarViewInfo::StaticClass();
}
TcxCustomEditViewDataClass TcxCustomProgressBarProperties::GetViewDataClass() {
  return TcxCustomProgressBarViewData::StaticClass();
}

void TcxCustomProgressBarProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean) {
  if (IsNumericVariant(value)) {
    displayValue = value;
    return;
  }
  displayValue = Variant(0);
  if (VarType(value) == varString) {
    double d = 0;
    if (TryStrToFloat(VarToStr(value), d)) displayValue = Variant(d);
  }
}

void TcxCustomProgressBarProperties::EditValueToDisplayText(const Variant& value, AnsiString& text) {
  Variant display;
  EditValueToDisplayValue(value, display, false);
  std::unique_ptr<TcxCustomProgressBarViewInfo, orv::FreeDeleter> info(new TcxCustomProgressBarViewInfo);
  info->Position = BarVariantToDouble(display);
  info->Min = GetMin();
  info->Max = GetMax();
  ClampViewInfoPosition(info.get());
  info->Marquee = FMarquee;
  info->ShowTextStyle = FShowTextStyle;
  info->Text = FText;
  text = info->GetProgressText();
}

void TcxCustomProgressBarProperties::ClampViewInfoPosition(TcxCustomProgressBarViewInfo* viewInfo) {
  const Double max = GetMax();
  const Double min = GetMin();
  if (max > min) viewInfo->Position = std::min(max, std::max(min, viewInfo->Position));
}

Double TcxCustomProgressBarProperties::TrackPeak(Double position) {
  const Double result = std::max(position, std::min(GetMax(), std::max(GetMin(), FPeakValue)));
  FPeakValue = std::max(result, FPeakValue);
  return result;
}

Double TcxCustomProgressBarProperties::GetMax() {
  return GetAssignedValues()->GetMaxValue() ? GetMaxValue() : 100;
}

Double TcxCustomProgressBarProperties::GetMin() {
  return GetAssignedValues()->GetMinValue() ? GetMinValue() : 0;
}

void TcxCustomProgressBarProperties::SetMin(Double value) {
  BeginUpdate();
  try {
    SetMinValue(value);
    GetAssignedValues()->SetMinValue(true);
    if (GetMax() < GetMin()) {
      SetMaxValue(GetMin());
      GetAssignedValues()->SetMaxValue(true);
    }
    FOverloadValue = std::max(FOverloadValue, GetMin());
    FPeakValue = std::max(FPeakValue, GetMin());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomProgressBarProperties::SetMax(Double value) {
  BeginUpdate();
  try {
    SetMaxValue(value);
    GetAssignedValues()->SetMaxValue(true);
    if (GetMax() < GetMin()) {
      SetMinValue(GetMax());
      GetAssignedValues()->SetMinValue(true);
    }
    FOverloadValue = std::min(FOverloadValue, GetMax());
    FPeakValue = std::min(FPeakValue, GetMax());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

#define ORV_BAR_SETTER(Name, Type, Field) \
  void TcxCustomProgressBarProperties::Set##Name(Type value) { \
    if (value == Field) return;                                \
    Field = value;                                             \
    Changed();                                                 \
  }
ORV_BAR_SETTER(AnimationPath, TcxProgressBarAnimationPath, FAnimationPath)
ORV_BAR_SETTER(AnimationRestartDelay, Cardinal, FAnimationRestartDelay)
ORV_BAR_SETTER(BeginColor, TColor, FBeginColor)
ORV_BAR_SETTER(BarBevelOuter, TcxProgressBarBevelOuter, FBarBevelOuter)
ORV_BAR_SETTER(EndColor, TColor, FEndColor)
ORV_BAR_SETTER(Orientation, TcxProgressBarOrientation, FOrientation)
ORV_BAR_SETTER(ShowText, Boolean, FShowText)
ORV_BAR_SETTER(TextOrientation, TcxProgressBarOrientation, FTextOrientation)
ORV_BAR_SETTER(SolidTextColor, Boolean, FSolidTextColor)
ORV_BAR_SETTER(TransparentImage, Boolean, FTransparentImage)
ORV_BAR_SETTER(BorderWidth, TcxBorderWidth, FBorderWidth)
ORV_BAR_SETTER(ShowOverload, Boolean, FShowOverload)
ORV_BAR_SETTER(OverloadBeginColor, TColor, FOverloadBeginColor)
ORV_BAR_SETTER(OverloadEndColor, TColor, FOverloadEndColor)
ORV_BAR_SETTER(PeakValue, Double, FPeakValue)
ORV_BAR_SETTER(ShowPeak, Boolean, FShowPeak)
ORV_BAR_SETTER(PeakColor, TColor, FPeakColor)
#undef ORV_BAR_SETTER

void TcxCustomProgressBarProperties::SetPeakSize(TcxNaturalNumber value) {
  value = std::max(1, value);
  if (value == FPeakSize) return;
  FPeakSize = value;
  Changed();
}

void TcxCustomProgressBarProperties::SetAnimationSpeed(TcxProgressBarAnimationSpeed value) {
  value = std::min<TcxProgressBarAnimationSpeed>(value, 20);
  if (value == FAnimationSpeed) return;
  FAnimationSpeed = value;
  Changed();
}

void TcxCustomProgressBarProperties::SetMarquee(Boolean value) {
  if (value == FMarquee) return;
  FMarquee = value;
  if (value) FShowTextStyle = cxtsText;
  Changed();
}

void TcxCustomProgressBarProperties::SetShowTextStyle(TcxProgressBarTextStyle value) {
  if (value == FShowTextStyle) return;
  if (FMarquee && value != cxtsText) return;
  FShowTextStyle = value;
  Changed();
}

void TcxCustomProgressBarProperties::SetText(const AnsiString& value) {
  if (value == FText) return;
  FText = value;
  if (!value.empty()) FShowTextStyle = cxtsText;
  Changed();
}

void TcxCustomProgressBarProperties::SetBarStyle(TcxProgressBarBarStyle value) {
  if (value == FBarStyle) return;
  FBarStyle = value;
  if (IsAnimationStyle(value)) FBeginColor = TColor(0x00D328);
  Changed();
}

void TcxCustomProgressBarProperties::SetOverloadValue(Double value) {
  if (value == FOverloadValue) return;
  FOverloadValue = std::min(GetMax(), std::max(GetMin(), value));
  Changed();
}

TBitmap* TcxCustomProgressBarProperties::GetForegroundImage() {
  if (!FForegroundImage) {
    FForegroundImage = new TBitmap;
    FForegroundImage->SetOnChange(TNotifyEvent(this, &TcxCustomProgressBarProperties::ImageChangedHandler));
  }
  return FForegroundImage;
}

void TcxCustomProgressBarProperties::SetForegroundImage(TBitmap* value) {
  if (!value)
    FreeAndNil(FForegroundImage);
  else
    GetForegroundImage()->Assign(value);
  ImageChanged = true;
  Changed();
}

// ==== View info ================================================================================

TcxCustomProgressBarViewInfo::TcxCustomProgressBarViewInfo() = default;

void TcxCustomProgressBarViewInfo::BeforeDestruction() {
  FreeAndNil(FStepTimer);
  FreeAndNil(FPauseTimer);
  inherited::BeforeDestruction();
}

TcxCustomProgressBarViewInfo::~TcxCustomProgressBarViewInfo() { orv::Free(ForegroundImage); }

void TcxCustomProgressBarViewInfo::OffsetRects(Integer dx, Integer dy) {
  inherited::OffsetRects(dx, dy);
  BarBounds = GetOffsetRect(BarBounds, dx, dy);
  FilledBounds = GetOffsetRect(FilledBounds, dx, dy);
  OverloadBounds = GetOffsetRect(OverloadBounds, dx, dy);
  PeakBounds = GetOffsetRect(PeakBounds, dx, dy);
}

Integer TcxCustomProgressBarViewInfo::GetPercent() {
  const Double range = Max == Min ? 1 : Max - Min;
  const Double extent = Marquee ? Max - Min : Position - Min;
  const Double percent = std::nearbyint(100 * extent / range);
  return Integer(std::min(100.0, percent));
}

AnsiString TcxCustomProgressBarViewInfo::GetProgressText() {
  if (Marquee) return Text;
  switch (ShowTextStyle) {
    case cxtsPercent: return IntToStr(GetPercent()) + " %";
    case cxtsPosition: return FloatToStr(Position);
    case cxtsText: return Text;
  }
  return {};
}

Boolean TcxCustomProgressBarViewInfo::IsAnimating() {
  return (IsAnimationStyle(BarStyle) || Marquee) && AnimationSpeed > 0 && !Designing && !InplaceView;
}

Integer TcxCustomProgressBarViewInfo::GetLEDSize() {
  const Boolean horizontal = Orientation == cxorHorizontal;
  Integer size = horizontal ? 2 * GetClampedRectHeight(FilledBounds) / 3 + 2 : 2 * GetClampedRectWidth(FilledBounds) / 3 + 2;
  if (BarStyle == cxbsBitmapLEDs && ForegroundImage) {
    const Integer image = horizontal ? ForegroundImage->GetWidth() : ForegroundImage->GetHeight();
    if (image > 0 && image < size) size = image;
  }
  return std::max(size, 3);
}

void TcxCustomProgressBarViewInfo::SetAnimationPath(TcxProgressBarAnimationPath value) {
  if (value == AnimationPath) return;
  AnimationPath = value;
  StartAnimation();
}

void TcxCustomProgressBarViewInfo::SetAnimationSpeed(Cardinal value) {
  if (value == AnimationSpeed) return;
  AnimationSpeed = value;
  if (FStepTimer) {
    FStepTimer->SetInterval(30);
    if (value == 0) StopAnimation();
  } else if (value != 0) {
    StartAnimation();
  }
}

void TcxCustomProgressBarViewInfo::SetMarquee(Boolean value) {
  if (value == Marquee) return;
  Marquee = value;
  StartAnimation();
}

void TcxCustomProgressBarViewInfo::SetBarStyle(TcxProgressBarBarStyle value) {
  if (value == BarStyle) return;
  BarStyle = value;
  StartAnimation();
}

void TcxCustomProgressBarViewInfo::SetOrientation(TcxProgressBarOrientation value) {
  if (value == Orientation) return;
  Orientation = value;
  StartAnimation();
}

void TcxCustomProgressBarViewInfo::StartAnimation() {
  FreeAndNil(FStepTimer);
  if (!IsAnimating()) return;
  FStepTimer = new TcxTimer(nullptr);
  FStepTimer->SetInterval(30);
  FStepTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomProgressBarViewInfo::StepTimerHandler));
  FStepTimer->SetEnabled(true);
  ResetAnimation();
}

void TcxCustomProgressBarViewInfo::StopAnimation() { FreeAndNil(FStepTimer); }

void TcxCustomProgressBarViewInfo::MeasureFilledSpan(Integer& lo, Integer& hi) {
  const Double range = Max == Min ? 1 : Max - Min;
  const Double extent = Marquee ? Max - Min : Position - Min;
  if (Orientation == cxorHorizontal) {
    lo = 0;
    hi = Integer(std::trunc(GetClampedRectWidth(Bounds) / range * extent));
  } else {
    const Integer h = GetClampedRectHeight(Bounds);
    lo = h - Integer(std::trunc(h / range * extent));
    hi = h;
  }
}

void TcxCustomProgressBarViewInfo::ResetAnimation() {
  const Integer half = GetAnimationBarSize() / 2;
  Integer lo = 0, hi = 0;
  MeasureFilledSpan(lo, hi);
  AnimationOffset = AnimationPath == cxapCycle ? -half * GetAnimationDirection() : half;
  AnimationDirectionSign = 1;
  if (Orientation == cxorVertical) {
    AnimationDirectionSign = -1;
    AnimationOffset = -AnimationOffset;
  }
  AnimationOffset += AnimationDirectionSign > 0 ? lo : hi;
}

void TcxCustomProgressBarViewInfo::PauseAnimation() {
  FreeAndNil(FPauseTimer);
  if (AnimationRestartDelay == 0) return;
  FPauseTimer = new TcxTimer(nullptr);
  FPauseTimer->SetInterval(AnimationRestartDelay);
  FPauseTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomProgressBarViewInfo::PauseTimerHandler));
  FPauseTimer->SetEnabled(true);
}

void TcxCustomProgressBarViewInfo::PauseTimerHandler(TObject*) {
  // Freed on the next step: a timer is not freed from inside its own handler.
  if (FPauseTimer) FPauseTimer->SetEnabled(false);
}

void TcxCustomProgressBarViewInfo::StepAnimation() {
  if (FPauseTimer) {
    if (FPauseTimer->GetEnabled()) return;
    FreeAndNil(FPauseTimer);
  }
  const Integer half = GetAnimationBarSize() / 2;
  Integer lo = 0, hi = 0;
  MeasureFilledSpan(lo, hi);
  AnimationOffset += Integer(2 * AnimationSpeed) * AnimationDirectionSign;
  if (AnimationPath == cxapCycle) {
    if (AnimationOffset > hi + half || AnimationOffset < lo - half) {
      ResetAnimation();
      PauseAnimation();
    }
  } else if ((AnimationDirectionSign > 0 && AnimationOffset > hi - half) ||
             (AnimationDirectionSign < 0 && AnimationOffset < lo + half)) {
    AnimationDirectionSign = -AnimationDirectionSign;
    AnimationOffset += AnimationDirectionSign;
    PauseAnimation();
  }
}

void TcxCustomProgressBarViewInfo::StepTimerHandler(TObject*) {
  if (!IsAnimating()) {
    // Stopped on the next start: a timer is not freed from inside its own handler.
    if (FStepTimer) FStepTimer->SetEnabled(false);
    return;
  }
  StepAnimation();
  if (Edit && Edit->HandleAllocated()) {
    Edit->Invalidate();
    Edit->Update();
  }
}

void TcxCustomProgressBarViewInfo::DoPaint(TcxCanvas* canvas) {
  if (BarBoundsChanged) BarBoundsChanged = false;
  if (!NativeStyle && (!InplaceView || !DrawTransparent)) inherited::DoPaint(canvas);
  DrawBar(canvas);
  RectsChanged = false;
}

void TcxCustomProgressBarViewInfo::DrawBevel(TcxCanvas* canvas, const TRect& rect) {
  if (BarBevelOuter == cxbvNone || orv::IsEmptyRect(rect)) return;
  TRect r = rect;
  DrawEdge(canvas->GetDCHandle(), &r, BarBevelOuter == cxbvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void TcxCustomProgressBarViewInfo::DrawGlass(TcxCanvas* canvas, const TRect& r, Boolean big, TColor color) {
  if (orv::IsEmptyRect(r)) return;
  const TColor l1 = BarFade(color, 40), l2 = BarFade(color, 80), d1 = BarScale(color, 90), d2 = BarScale(color, 80);
  Integer a = big ? 4 : 1;
  Integer e = big ? 20 : 8;
  canvas->FillRectWithColor(r, color);
  if (Orientation == cxorHorizontal) {
    const Integer w = GetClampedRectWidth(r);
    if (big && w < 3 * (a + e)) {
      const Integer t = 3 * (a + e);
      a = w * a / t;
      e = w * e / t;
    }
    const Integer t = a + e;
    BarGradient(canvas, TRect{r.Left, r.Top, r.Left + a, r.Bottom}, d1, d2, true);
    BarGradient(canvas, TRect{r.Right - a, r.Top, r.Right, r.Bottom}, d2, d1, true);
    BarGradient(canvas, TRect{r.Left + a, r.Top, r.Left + t, r.Bottom}, d2, color, true);
    BarGradient(canvas, TRect{r.Right - t, r.Top, r.Right - a, r.Bottom}, color, d2, true);
    BarGradient(canvas, TRect{r.Left, r.Top, r.Right, std::min(r.Bottom, r.Top + 6)}, l1, l2, false);
  } else {
    const Integer h = GetClampedRectHeight(r);
    if (h < 3 * (a + e)) {
      const Integer t = 3 * (a + e);
      a = h * a / t;
      e = h * e / t;
    }
    const Integer t = a + e;
    BarGradient(canvas, TRect{r.Left, r.Top, r.Right, r.Top + a}, d1, d2, false);
    BarGradient(canvas, TRect{r.Left, r.Bottom - a, r.Right, r.Bottom}, d2, d1, false);
    BarGradient(canvas, TRect{r.Left, r.Top + a, r.Right, r.Top + t}, d2, color, false);
    BarGradient(canvas, TRect{r.Left, r.Bottom - t, r.Right, r.Bottom - a}, color, d2, false);
    BarGradient(canvas, TRect{r.Left, r.Top, std::min(r.Right, r.Left + 6), r.Bottom}, l1, l2, true);
  }
}

void TcxCustomProgressBarViewInfo::DrawBar(TcxCanvas* canvas) {
  const Boolean horizontal = Orientation == cxorHorizontal;
  TRect p = FilledBounds;
  TRect o = OverloadBounds;
  const TRect k = PeakBounds;
  TRect a = AnimationBounds;
  if (horizontal)
    a = GetOffsetRect(a, AnimationOffset, 0);
  else
    a = GetOffsetRect(a, 0, AnimationOffset);
  const Boolean leds = IsLEDStyle(BarStyle);
  const Integer led = GetLEDSize();
  if (leds && OverloadShown) {
    if (horizontal) {
      const Integer r = GetClampedRectWidth(p) % led;
      p.Right -= r;
      o.Left -= r;
    } else {
      const Integer r = GetClampedRectHeight(p) % led;
      p.Top += r;
      o.Bottom += r;
    }
  }
  TRect s = p;
  if (OverloadShown) s = horizontal ? TRect{p.Left, p.Top, o.Right, o.Bottom} : TRect{o.Left, o.Top, p.Right, p.Bottom};
  const TRect b = BarBounds;
  canvas->PushState();
  canvas->SaveDC();
  try {
    if (DrawTransparent) {
      if (!InplaceView && Edit) DrawTransparentBackground(Edit, canvas, b);
    } else if (!IsAnimationStyle(BarStyle)) {
      canvas->FillRectWithColor(b, BackgroundColor);
    } else {
      DrawGlass(canvas, b, false, BackgroundColor);
    }
    auto clipLEDGaps = [&](const TRect& r) {
      if (!leds) return;
      const Integer length = horizontal ? GetClampedRectWidth(r) : GetClampedRectHeight(r);
      const Integer n = length / led;
      for (Integer i = 1; i <= n; ++i) {
        if (horizontal)
          canvas->ExcludeFromClip(TRect{r.Left + i * led - 2, r.Top, r.Left + i * led, r.Bottom});
        else
          canvas->ExcludeFromClip(TRect{r.Left, r.Bottom - i * led, r.Right, r.Bottom - i * led + 2});
      }
    };
    canvas->IntersectClip(s);
    if (!Marquee || InplaceView) {
      clipLEDGaps(s);
    } else {
      canvas->IntersectClip(a);
      clipLEDGaps(a);
      s = a;
    }
    switch (BarStyle) {
      case cxbsSolid:
      case cxbsLEDs:
      case cxbsGradient:
      case cxbsGradientLEDs:
        if (BarStyle == cxbsGradient || BarStyle == cxbsGradientLEDs) {
          if (horizontal)
            BarGradient(canvas, b, BeginColor, EndColor, true);
          else
            BarGradient(canvas, b, EndColor, BeginColor, false);
          if (OverloadShown) {
            if (horizontal)
              BarGradient(canvas, TRect{o.Left, b.Top, b.Right, b.Bottom}, OverloadBeginColor, OverloadEndColor, true);
            else
              BarGradient(canvas, TRect{b.Left, b.Top, b.Right, o.Bottom}, OverloadEndColor, OverloadBeginColor, false);
          }
        } else {
          canvas->FillRectWithColor(Marquee && !InplaceView ? s : p, BeginColor);
          if (OverloadShown) canvas->FillRectWithColor(o, OverloadBeginColor);
        }
        if (!leds) DrawBevel(canvas, s);
        break;
      case cxbsBitmap:
      case cxbsBitmapLEDs:
        if (ForegroundImage && !ForegroundImage->GetEmpty()) canvas->FillRectOrTile(s, ForegroundImage);
        break;
      case cxbsAnimation:
      case cxbsAnimationLEDs:
        if (!(Marquee && Designing)) DrawGlass(canvas, s, true, BeginColor);
        if (!Marquee && !IsAnimating()) StopAnimation();
        break;
    }
    if (leds && BarBevelOuter != cxbvNone) {
      const Integer length = horizontal ? GetClampedRectWidth(s) : GetClampedRectHeight(s);
      const Integer n = length / led;
      for (Integer i = 1; i <= n; ++i) {
        if (horizontal)
          DrawBevel(canvas, TRect{s.Left + (i - 1) * led, s.Top, s.Left + i * led - 2, s.Bottom});
        else
          DrawBevel(canvas, TRect{s.Left, s.Bottom - i * led + 2, s.Right, s.Bottom - (i - 1) * led});
      }
      if (horizontal)
        DrawBevel(canvas, TRect{s.Left + n * led, s.Top, s.Right, s.Bottom});
      else
        DrawBevel(canvas, TRect{s.Left, s.Top, s.Right, s.Bottom - n * led});
    }
  } catch (...) {
    canvas->RestoreDC();
    canvas->PopState();
    throw;
  }
  canvas->RestoreDC();
  if (!IsAnimationStyle(BarStyle) && PeakShown) {
    canvas->SaveDC();
    canvas->IntersectClip(b);
    canvas->FillRectWithColor(k, PeakColor);
    canvas->RestoreDC();
  }
  PaintText(canvas);
  canvas->PopState();
}

void TcxCustomProgressBarViewInfo::PaintText(TcxCanvas* canvas) {
  if (!ShowText) return;
  const AnsiString text = GetProgressText();
  if (text.empty()) return;
  TcxCustomLookAndFeelPainterClass painter =
      Painter ? Painter : TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass());
  const TRect r = BarBounds;
  canvas->SetFont(TextFont);
  canvas->SetBrushClear(true);
  TSize size = canvas->GetTextSize(text);
  const Boolean vertical = TextOrientation == cxorVertical;
  if (vertical) std::swap(size.cx, size.cy);
  TRect t;
  t.Left = r.Left + (GetClampedRectWidth(r) - size.cx) / 2;
  t.Top = r.Top + (GetClampedRectHeight(r) - size.cy) / 2;
  t.Right = t.Left + size.cx;
  t.Bottom = t.Top + size.cy;
  painter->DrawProgressBarText(canvas, vertical, SolidTextColor, text, t, r, FilledBounds, TextColor);
  canvas->SetBrushClear(false);
}

// ==== View data ================================================================================

void TcxCustomProgressBarViewData::ApplyPropertiesToViewInfo(TcxCustomProgressBarViewInfo* info) {
  TcxCustomProgressBarProperties* p = BarProperties();
  info->Designing = IsDesignView;
  info->AnimationRestartDelay = p->GetAnimationRestartDelay();
  info->BarBevelOuter = p->GetBarBevelOuter();
  info->Min = p->GetMin();
  info->Max = p->GetMax();
  info->ShowText = p->GetShowText();
  info->ShowTextStyle = p->GetShowTextStyle();
  info->Text = p->GetText();
  info->TextOrientation = p->GetTextOrientation();
  info->SolidTextColor = p->GetSolidTextColor();
  info->BorderWidth = p->GetBorderWidth();
  info->OverloadValue = p->GetOverloadValue();
  info->ShowOverload = p->GetShowOverload();
  info->PeakSize = p->GetPeakSize();
  info->ShowPeak = p->GetShowPeak();
  info->BeginColor = ColorToRGB(p->GetBeginColor());
  info->EndColor = ColorToRGB(p->GetEndColor());
  info->OverloadBeginColor = ColorToRGB(p->GetOverloadBeginColor());
  info->OverloadEndColor = ColorToRGB(p->GetOverloadEndColor());
  info->PeakColor = ColorToRGB(p->GetPeakColor());
  info->PeakValue = p->TrackPeak(info->Position);
  info->DrawTransparent = IsInplace ? info->IsTransparentView : (Edit && Edit->GetTransparent());
  info->SetAnimationPath(p->GetAnimationPath());
  info->SetAnimationSpeed(p->GetAnimationSpeed());
  info->SetMarquee(p->GetMarquee());
  info->SetOrientation(p->GetOrientation());
  info->SetBarStyle(p->GetBarStyle());
}

void TcxCustomProgressBarViewData::SetViewInfoValue(TcxCanvas* canvas, const Variant& value,
                                                    TcxCustomEditViewInfo* viewInfo) {
  auto* info = static_cast<TcxCustomProgressBarViewInfo*>(viewInfo);
  Variant display;
  if (PreviewMode)
    display = Variant(30);
  else
    Properties->EditValueToDisplayValue(value, display, false);
  info->Position = BarVariantToDouble(display);
  BarProperties()->ClampViewInfoPosition(info);
}

void TcxCustomProgressBarViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                                     TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                                     Integer button, const TPoint& mousePos) {
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  if (bounds.Right == orv::kMaxInt || bounds.Bottom == orv::kMaxInt) return;
  auto* info = static_cast<TcxCustomProgressBarViewInfo*>(viewInfo);
  TcxCustomProgressBarProperties* p = BarProperties();
  info->TextFont = Style->GetVisibleFont();
  info->TextColor = info->DefaultTextColor;
  ApplyPropertiesToViewInfo(info);
  const Boolean horizontal = info->Orientation == cxorHorizontal;
  const Integer bw = p->GetBorderWidth();
  TRect b, i;
  if (info->NativeStyle) {
    b = bounds;
    i = bounds;
    const Integer inset = IsInplace ? bw + 2 : (IsAnimationStyle(info->BarStyle) ? bw + 1 : -1);
    if (inset >= 0)
      i = TRect{i.Left + inset, i.Top + inset, i.Right - inset, i.Bottom - inset};
    else
      i = TRect{i.Left + bw + 3, i.Top + bw + 3, i.Right - bw - 2, i.Bottom - bw - 2};
  } else {
    b = IsInplace ? bounds : info->BorderRect;
    i = TRect{info->BorderRect.Left + bw, info->BorderRect.Top + bw, info->BorderRect.Right - bw,
              info->BorderRect.Bottom - bw};
  }
  info->FocusFrame = TRect{};
  const Double min = info->Min;
  const Double range = info->Max == info->Min ? 1 : info->Max - info->Min;
  const Integer iw = GetClampedRectWidth(i);
  const Integer ih = GetClampedRectHeight(i);
  auto along = [&](Double value, Integer length) { return Integer(std::trunc((value - min) * length / range)); };
  TRect f = i;
  if (!info->Marquee) {
    if (horizontal)
      f.Right = i.Left + along(info->Position, iw);
    else
      f.Top = i.Bottom - along(info->Position, ih);
  }
  TRect o{};
  info->OverloadShown = !info->Marquee && info->ShowOverload && !info->NativeStyle &&
                        info->Position >= info->OverloadValue;
  if (info->OverloadShown) {
    o = f;
    if (horizontal) {
      o.Left = i.Left + along(info->OverloadValue, iw);
      o.Right = std::min(o.Right, i.Right);
      f.Right = o.Left;
    } else {
      o.Top = i.Bottom - along(info->Position, ih);
      o.Bottom = std::max(i.Bottom - along(info->OverloadValue, ih), i.Top);
      f.Top = o.Bottom;
    }
  }
  TRect k{};
  info->PeakShown = info->ShowPeak && !info->Marquee;
  if (info->PeakShown) {
    k = f;
    if (horizontal) {
      k.Left = std::min(i.Left + along(info->PeakValue, iw), i.Right - info->PeakSize);
      k.Right = k.Left + info->PeakSize;
    } else {
      k.Bottom = std::max(i.Bottom - along(info->PeakValue, ih), i.Top + info->PeakSize);
      k.Top = k.Bottom - info->PeakSize;
    }
  }
  if (p->ImageChanged || !info->ForegroundImage || info->ForegroundImage->GetWidth() <= 0 ||
      info->ForegroundImage->GetHeight() <= 0) {
    if (!info->ForegroundImage) info->ForegroundImage = new TBitmap;
    info->ForegroundImage->Assign(p->GetForegroundImage());
    p->ImageChanged = false;
  }
  const Integer size = info->GetAnimationBarSize();
  if (horizontal)
    info->AnimationBounds = GetOffsetRect(TRect{f.Left, f.Top, f.Left + size, f.Bottom}, -size / 2, 0);
  else
    info->AnimationBounds = GetOffsetRect(TRect{f.Left, bounds.Top, f.Right, bounds.Top + size}, 0, -size / 2);
  const Boolean same = info->FilledBounds == f && info->BarBounds == b &&
                       (!info->OverloadShown || info->OverloadBounds == o) && (!info->PeakShown || info->PeakBounds == k);
  if (p->PositionChanged && !isMouseEvent && same) {
    info->RectsChanged = false;
  } else {
    info->FilledBounds = f;
    info->OverloadBounds = o;
    info->PeakBounds = k;
    if (info->BarBounds != b) info->BarBoundsChanged = true;
    info->BarBounds = b;
    info->RectsChanged = true;
  }
  p->PositionChanged = false;
}

void TcxCustomProgressBarViewData::CalculateEditSize(TcxCanvas* canvas, Boolean isInplace, const Variant& value,
                                                     TcxCustomEditViewInfo* viewInfo, TSize& frameSize,
                                                     TSize& minContentSize, const TcxEditSizeProperties& sizeLimits) {
  inherited::CalculateEditSize(canvas, isInplace, value, viewInfo, frameSize, minContentSize, sizeLimits);
}

TSize TcxCustomProgressBarViewData::GetContentSize(TcxCanvas* canvas, const Variant& value,
                                                   const TcxEditSizeProperties& sizeLimits) {
  canvas->SetFont(Style->GetVisibleFont());
  const Integer h = canvas->TextHeightOf("Zg");
  return TSize{sizeLimits.Width >= 0 && sizeLimits.Width != orv::kMaxInt ? sizeLimits.Width : 0, h + 3};
}

// ==== The control ==============================================================================

TcxCustomProgressBar::TcxCustomProgressBar(TComponent* owner) : TcxCustomEdit(owner) {
  SetBounds(GetLeft(), GetTop(), 121, 21);
}

void TcxCustomProgressBar::Initialize() {
  inherited::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csCaptureMouse);
  style.Exclude(csClickEvents);
  style.Exclude(csDoubleClicks);
  SetControlStyle(style);
}

TcxCustomEditPropertiesClass TcxCustomProgressBar::GetPropertiesClass() {
  return TcxCustomProgressBarProperties::StaticClass();
}
TcxCustomEditPropertiesClass TcxProgressBar::GetPropertiesClass() { return TcxProgressBarProperties::StaticClass(); }

bool TcxCustomProgressBar::CanFocus() { return IsInplace() && inherited::CanFocus(); }
Boolean TcxCustomProgressBar::CanFocusOnClick() { return IsInplace() && inherited::CanFocusOnClick(); }

TcxContainerStyleValues TcxCustomProgressBar::GetUnstoredStyleValues() {
  TcxContainerStyleValues values = inherited::GetUnstoredStyleValues();
  values.Include(csvHotTrack);
  return values;
}

Double TcxCustomProgressBar::GetPosition() {
  EnsureHandle();
  return GetBarViewInfo()->Position;
}

void TcxCustomProgressBar::SetPosition(Double value) {
  TcxCustomProgressBarViewInfo* info = GetBarViewInfo();
  if (value == info->Position && !VarIsNull(GetEditValueProperty())) return;
  TcxCustomProgressBarProperties* p = GetActiveBarProperties();
  p->PositionChanged = true;
  if (!GetComponentState().Contains(csLoading) && p->GetMax() > p->GetMin())
    value = std::min(p->GetMax(), std::max(p->GetMin(), value));
  SetEditValueProperty(Variant(value));
}

void TcxCustomProgressBar::ClampEditValue() {
  TcxCustomProgressBarProperties* p = GetActiveBarProperties();
  if (!(p->GetMax() > p->GetMin())) return;
  SetUserChangeInProgress(true);
  try {
    Variant display;
    EditValueToDisplayValue(GetEditValueProperty(), display, Focused());
    const Double d = BarVariantToDouble(display);
    if (d < p->GetMin())
      SetEditValueProperty(Variant(p->GetMin()));
    else if (d > p->GetMax())
      SetEditValueProperty(Variant(p->GetMax()));
  } catch (...) {
    SetUserChangeInProgress(false);
    throw;
  }
  SetUserChangeInProgress(false);
}

void TcxCustomProgressBar::ClampEditValueIfStandAlone() {
  if (!IsInplace() && !IsInnerEditPending()) ClampEditValue();
}

void TcxCustomProgressBar::UpdateDisplayValue() {
  TcxCustomProgressBarViewInfo* info = GetBarViewInfo();
  Variant display;
  EditValueToDisplayValue(GetEditValueProperty(), display, Focused());
  info->Position = BarVariantToDouble(display);
  if (GetTransparent()) Invalidate();
  GetActiveBarProperties()->ClampViewInfoPosition(info);
  RefreshStateAtCursor(false);
}

void TcxCustomProgressBar::HandlePropertiesChange(TObject* sender) {
  if (!IsLoadingOrDestroying()) ClampEditValueIfStandAlone();
  GetActiveBarProperties()->ClampViewInfoPosition(GetBarViewInfo());
  inherited::HandlePropertiesChange(sender);
  if (GetTransparent()) Invalidate();
}

void TcxCustomProgressBar::GetAutoSizeLimits(TcxEditSizeProperties& limits) {
  inherited::GetAutoSizeLimits(limits);
  limits.MaxLineCount = 1;
  limits.Width = GetClampedRectWidth(GetBarViewInfo()->BarBounds);
}

void TcxCustomProgressBar::GetDisplayText(AnsiString& text) { text = GetBarViewInfo()->GetProgressText(); }

// ==== Published ================================================================================

const orv::EnumNames<TcxProgressBarBarStyle> kBarStyleNames(
    "TcxProgressBarBarStyle", {"cxbsSolid", "cxbsLEDs", "cxbsGradient", "cxbsGradientLEDs", "cxbsBitmap",
                               "cxbsBitmapLEDs", "cxbsAnimation", "cxbsAnimationLEDs"});
const orv::EnumNames<TcxProgressBarBevelOuter> kBarBevelNames("TcxProgressBarBevelOuter",
                                                              {"cxbvNone", "cxbvLowered", "cxbvRaised"});
const orv::EnumNames<TcxProgressBarOrientation> kBarOrientationNames("TcxProgressBarOrientation",
                                                                     {"cxorHorizontal", "cxorVertical"});
const orv::EnumNames<TcxProgressBarTextStyle> kBarTextStyleNames("TcxProgressBarTextStyle",
                                                                 {"cxtsPercent", "cxtsPosition", "cxtsText"});
const orv::EnumNames<TcxProgressBarAnimationPath> kBarPathNames("TcxProgressBarAnimationPath",
                                                                {"cxapCycle", "cxapPingPong"});

ORV_PUBLISH(TcxProgressBarPropertiesValues) {
  using T = TcxProgressBarPropertiesValues;
  p.Property("Max", &T::GetMax, &T::SetMax).Stored([](T* v) {
    auto* owner = dynamic_cast<TcxCustomProgressBarProperties*>(v->GetOwner());
    return v->GetMax() && owner && owner->GetMax() == 0;
  });
  p.Property("Min", &T::GetMin, &T::SetMin).Stored([](T* v) {
    auto* owner = dynamic_cast<TcxCustomProgressBarProperties*>(v->GetOwner());
    return v->GetMin() && owner && owner->GetMin() == 0;
  });
}

ORV_PUBLISH(TcxProgressBarProperties) {
  using T = TcxProgressBarProperties;
  p.Property("AnimationPath", &T::GetAnimationPath, &T::SetAnimationPath).Default(cxapCycle);
  p.Property("AnimationRestartDelay", &T::GetAnimationRestartDelay, &T::SetAnimationRestartDelay).Default(Cardinal(0));
  p.Property("AnimationSpeed", &T::GetAnimationSpeed, &T::SetAnimationSpeed).Default(TcxProgressBarAnimationSpeed(10));
  p.Property("AssignedValues", [](T* x) { return x->GetProgressAssignedValues(); });
  p.Property("BarBevelOuter", &T::GetBarBevelOuter, &T::SetBarBevelOuter).Default(cxbvNone);
  p.Property("BarStyle", &T::GetBarStyle, &T::SetBarStyle).Default(cxbsSolid);
  p.Property("BeginColor", &T::GetBeginColor, &T::SetBeginColor).Kind("TColor").Default(TColor(0x800000));
  p.Property("BorderWidth", &T::GetBorderWidth, &T::SetBorderWidth).Default(TcxBorderWidth(0));
  p.Property("EndColor", &T::GetEndColor, &T::SetEndColor).Kind("TColor").Default(TColor(0xFFFFFF));
  p.Property("ForegroundImage", &T::GetForegroundImage, &T::SetForegroundImage)
      .Stored([](T* x) { return x->HasForegroundImage() && !x->GetForegroundImage()->GetEmpty(); });
  p.Property("Marquee", &T::GetMarquee, &T::SetMarquee).Default(false);
  p.Property("Max", &T::GetMax, &T::SetMax).Stored([](T* x) { return x->GetAssignedValues()->GetMaxValue(); });
  p.Property("Min", &T::GetMin, &T::SetMin).Stored([](T* x) { return x->GetAssignedValues()->GetMinValue(); });
  p.Property("Orientation", &T::GetOrientation, &T::SetOrientation).Default(cxorHorizontal);
  p.Property("OverloadBeginColor", &T::GetOverloadBeginColor, &T::SetOverloadBeginColor).Kind("TColor").Default(TColor(0x8080FF));
  p.Property("OverloadEndColor", &T::GetOverloadEndColor, &T::SetOverloadEndColor).Kind("TColor").Default(TColor(0xFF00FF));
  p.Property("OverloadValue", &T::GetOverloadValue, &T::SetOverloadValue).Stored([](T* x) { return x->GetOverloadValue() != 80; });
  p.Property("PeakColor", &T::GetPeakColor, &T::SetPeakColor).Kind("TColor").Default(TColor(0x0000FF));
  p.Property("PeakSize", &T::GetPeakSize, &T::SetPeakSize).Default(2);
  p.Property("PeakValue", &T::GetPeakValue, &T::SetPeakValue).Stored([](T* x) { return x->GetPeakValue() != 0; });
  p.Property("ShowOverload", &T::GetShowOverload, &T::SetShowOverload).Default(false);
  p.Property("ShowPeak", &T::GetShowPeak, &T::SetShowPeak).Default(false);
  p.Property("ShowText", &T::GetShowText, &T::SetShowText).Default(true);
  p.Property("ShowTextStyle", &T::GetShowTextStyle, &T::SetShowTextStyle)
      .Stored([](T* x) { return !x->GetMarquee() && x->GetShowTextStyle() != cxtsPercent; });
  p.Property("SolidTextColor", &T::GetSolidTextColor, &T::SetSolidTextColor).Default(false);
  p.Property("Text", &T::GetText, &T::SetText);
  p.Property("TextOrientation", &T::GetTextOrientation, &T::SetTextOrientation).Default(cxorHorizontal);
  p.Property("Transparent", &T::GetTransparent, &T::SetTransparent).Stored([](T*) { return false; });
  p.Property("TransparentImage", &T::GetTransparentImage, &T::SetTransparentImage).Default(true);
}

ORV_PUBLISH(TcxProgressBar) {
  using T = TcxProgressBar;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishDrag(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(true);
  p.Property("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor).Default(true);
  p.Property("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont).Default(true);
  p.Property("Position", &T::GetPosition, &T::SetPosition).Stored([](T* x) { return x->GetPosition() != 0; });
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxProgressBarProperties* v) { x->SetProperties(v); });
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  p.Property("Transparent", [](T* x) { return x->GetTransparent(); }, [](T* x, bool v) { x->SetTransparent(v); }).Default(false);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
}

// ==== Filter helper ===========================================================================

void TcxFilterProgressBarHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                      TcxCustomEditProperties* sourceProperties,
                                                      Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  auto* spin = dynamic_cast<TcxCustomSpinEditProperties*>(properties);
  if (!spin) return;
  // A progress bar has no buttons of its own to keep: the spin buttons are added.
  spin->GetButtons()->Add();
  spin->GetButtons()->Add();
  if (auto* bar = dynamic_cast<TcxCustomProgressBarProperties*>(sourceProperties)) {
    spin->SetMinValue(bar->GetMin());
    spin->SetMaxValue(bar->GetMax());
  }
}
