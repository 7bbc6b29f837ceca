#include "components/editors-more/cxSpinEdit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditPublished.h"
#include "components/foundation/cxControls.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

const bool kSpinEditRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxSpinEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositorySpinItem));
  FilterEditsController()->AddHelperClass(TcxSpinEditProperties::StaticClass(),
                                          TcxFilterSpinEditHelper::StaticClass());
  return true;
}();

Boolean SpinIsNumeric(const Variant& v) { return IsNumericVariant(v); }

Double SpinToDouble(const Variant& v) {
  if (VarType(v) == varInt64) return Double(v.AsInt64());
  return v.AsDouble();
}

}  // namespace

// ==== Buttons and assigned values =============================================================

TPersistent* TcxSpinEditButtons::GetOwner() { return FOwner; }

void TcxSpinEditButtons::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxSpinEditButtons*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  if (FOwner) FOwner->BeginUpdate();
  SetPosition(s->FPosition);
  SetShowFastButtons(s->FShowFastButtons);
  SetVisible(s->FVisible);
  if (FOwner) FOwner->EndUpdate();
}

void TcxSpinEditButtons::SetPosition(TcxSpinEditButtonsPosition value) {
  if (value == FPosition) return;
  FPosition = value;
  if (FOwner) FOwner->Changed();
}

void TcxSpinEditButtons::SetShowFastButtons(Boolean value) {
  if (value == FShowFastButtons) return;
  FShowFastButtons = value;
  if (FOwner) FOwner->Changed();
}

void TcxSpinEditButtons::SetVisible(Boolean value) {
  if (value == FVisible) return;
  FVisible = value;
  if (FOwner) FOwner->Changed();
}

void TcxSpinEditPropertiesValues::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* s = dynamic_cast<TcxSpinEditPropertiesValues*>(source)) FValueType = s->FValueType;
}

void TcxSpinEditPropertiesValues::ResetToDefaults() {
  inherited::ResetToDefaults();
  FValueType = false;
}

void TcxSpinEditPropertiesValues::SetValueType(Boolean value) {
  if (value == FValueType) return;
  FValueType = value;
  Changed();
}

// ==== Properties ===============================================================================

TcxCustomSpinEditProperties::TcxCustomSpinEditProperties(TPersistent* owner)
    : TcxCustomMaskEditProperties(owner), FSpinButtons(new TcxSpinEditButtons(this)) {
  GetButtons()->Add();
  GetButtons()->Add();
}

TcxCustomSpinEditProperties::~TcxCustomSpinEditProperties() { orv::Free(FSpinButtons); }

TcxCustomEditViewDataClass TcxCustomSpinEditProperties::GetViewDataClass() { return TcxSpinEditViewData::StaticClass(); }
TcxCustomEditViewInfoClass TcxCustomSpinEditProperties::GetViewInfoClass() { return TcxSpinEditViewInfo::StaticClass(); }
TcxCustomEditClass TcxCustomSpinEditProperties::GetEditClass() { return TcxSpinEdit::StaticClass(); }

void TcxCustomSpinEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomSpinEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    GetSpinAssignedValues()->SetValueType(false);
    if (s->GetSpinAssignedValues()->GetValueType()) SetValueType(s->FValueType);
    inherited::Assign(source);
    FCanEdit = s->FCanEdit;
    SetCircular(s->FCircular);
    FExceptionOnInvalidInput = s->FExceptionOnInvalidInput;
    FIncrement = s->FIncrement;
    FLargeIncrement = s->FLargeIncrement;
    FSpinButtons->Assign(s->FSpinButtons);
    FUseCtrlIncrement = s->FUseCtrlIncrement;
    FOnGetValue = s->FOnGetValue;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomSpinEditProperties::NotifyChanged() {
  if (FSpinButtons && !FSyncingButtons) {
    // The edit buttons follow the spin buttons' count.
    FSyncingButtons = true;
    BeginUpdate();
    const Integer count = GetSpinButtonCount();
    while (GetButtons()->GetCount() < count) GetButtons()->Add();
    while (GetButtons()->GetCount() > count) GetButtons()->Delete(0);
    EndUpdate(false);
    FSyncingButtons = false;
  }
  inherited::NotifyChanged();
}

Integer TcxCustomSpinEditProperties::GetSpinButtonCount() {
  if (!FSpinButtons->GetVisible()) return 0;
  return FSpinButtons->GetShowFastButtons() ? 4 : 2;
}

void TcxCustomSpinEditProperties::SetCircular(Boolean value) {
  if (value == FCircular) return;
  FCircular = value;
  Changed();
}

TcxSpinEditValueType TcxCustomSpinEditProperties::GetValueType() {
  if (GetSpinAssignedValues()->GetValueType()) return FValueType;
  if (IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider())
    return provider->IsFloatValue() ? vtFloat : vtInt;
  return vtFloat;
}

void TcxCustomSpinEditProperties::SetValueType(TcxSpinEditValueType value) {
  if (GetSpinAssignedValues()->GetValueType() && value == FValueType) return;
  FValueType = value;
  GetSpinAssignedValues()->SetValueType(true);
  Changed();
}

Integer TcxCustomSpinEditProperties::GetBoundsBehavior() {
  if (FCircular) return 2;
  return ClampsAtBounds() ? 1 : 0;
}

Double TcxCustomSpinEditProperties::GetTypeLimit(Boolean lower) {
  if (GetValueType() == vtFloat) return lower ? -1.7E308 : 1.7E308;
  return lower ? -9223372036854775808.0 : 9223372036854775807.0;
}

Boolean TcxCustomSpinEditProperties::IsInTypeRange(Double number) {
  return number >= GetTypeLimit(true) && number <= GetTypeLimit(false);
}

Double TcxCustomSpinEditProperties::RoundToValueType(TcxSpinEditValueType type, Double number) {
  if (type == vtFloat) return number;
  if (!(number >= -9223372036854775808.0 && number < 9223372036854775808.0)) return -9223372036854775808.0;
  return std::nearbyint(number);
}

Variant TcxCustomSpinEditProperties::ToValueTypeVariant(const Variant& value) {
  if (!SpinIsNumeric(value)) return value;
  const Double d = SpinToDouble(value);
  if (GetValueType() == vtFloat) return Variant(d);
  if (VarType(value) == varInt64) return value;
  return Variant(Int64(RoundToValueType(vtInt, d)));
}

Variant TcxCustomSpinEditProperties::GetSpinMaxValue() {
  const Double v = IsValueBoundDefined(1) ? RoundToValueType(GetValueType(), GetMaxValue()) : GetTypeLimit(false);
  return ToValueTypeVariant(Variant(v));
}

Variant TcxCustomSpinEditProperties::GetSpinMinValue() {
  const Double v = IsValueBoundDefined(0) ? RoundToValueType(GetValueType(), GetMinValue()) : GetTypeLimit(true);
  return ToValueTypeVariant(Variant(v));
}

Variant TcxCustomSpinEditProperties::PrepareValue(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value) || (VarIsStr(value) && VarToStr(value).empty()))
    return ToValueTypeVariant(Variant(0));
  return ToValueTypeVariant(value);
}

Double TcxCustomSpinEditProperties::GetIncrement(Integer kind) {
  switch (kind) {
    case 0: return -FIncrement;
    case 1: return FIncrement;
    case 2: return -FLargeIncrement;
    case 3: return FLargeIncrement;
    default: throw EdxException("TcxCustomSpinEditProperties.GetIncrement fails");
  }
}

Boolean TcxCustomSpinEditProperties::TextToNumber(const AnsiString& text, Variant& value) {
  if (GetValueType() == vtFloat) {
    double d = 0;
    if (!TryStrToFloat(text, d) || !IsInTypeRange(d)) return false;
    value = Variant(d);
    return true;
  }
  Int64 i = 0;
  if (!TryStrToInt64(text, i)) return false;
  value = Variant(i);
  return true;
}

Variant TcxCustomSpinEditProperties::LimitValue(const Variant& value) {
  if (!SpinIsNumeric(value)) return value;
  const Double d = SpinToDouble(value);
  if (IsValueBoundDefined(0) && d < GetMinValue()) return Variant(GetMinValue());
  if (IsValueBoundDefined(1) && d > GetMaxValue()) return Variant(GetMaxValue());
  return value;
}

Integer TcxCustomSpinEditProperties::GetValueExchangeMode(Boolean focused) {
  return (focused || GetTextAssignedValues()->GetDisplayFormat()) ? 0 : 1;
}

Boolean TcxCustomSpinEditProperties::AcceptsEditValue(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value)) return true;
  if (VarIsStr(value) || SpinIsNumeric(value)) {
    Variant number;
    const AnsiString text = SpinIsNumeric(value) ? FloatToStr(SpinToDouble(value)) : VarToStr(value);
    if (VarIsStr(value) && text.empty()) return true;
    return TextToNumber(Trim(text), number) || SpinIsNumeric(value);
  }
  return VarType(value) == varDate;
}

void TcxCustomSpinEditProperties::GetDefaultDisplayValue(Variant& value) {
  EditValueToDisplayValue(ToValueTypeVariant(LimitValue(Variant(0))), value, true);
}

void TcxCustomSpinEditProperties::CheckDisplayValue(Variant& displayValue, AnsiString& errorText,
                                                    TcxCustomEdit* editor, Boolean& error) {
  auto* spin = dynamic_cast<TcxCustomSpinEdit*>(editor);
  Variant v;
  if (spin && spin->GetTextEdited())
    error = !spin->TextToValue(displayValue, false, errorText, v);
  else if (spin)
    v = spin->GetInternalValue();
  else
    error = !TextToNumber(Trim(VarToStr(displayValue)), v);
  if (!error) {
    if (VarIsNull(v) || VarIsEmpty(v)) v = ToValueTypeVariant(LimitValue(Variant(0)));
    const Double d = SpinToDouble(v);
    const Double min = SpinToDouble(GetSpinMinValue());
    const Double max = SpinToDouble(GetSpinMaxValue());
    if (!FExceptionOnInvalidInput) {
      if (d < min)
        v = GetSpinMinValue();
      else if (d > max)
        v = GetSpinMaxValue();
    } else if (d < min || d > max) {
      error = true;
      errorText = GetLocalizedResourceString(&cxSEditValueOutOfBounds);
    }
    Variant shown;
    EditValueToDisplayValue(ToValueTypeVariant(v), shown, true);
    displayValue = shown;
  }
  Boolean changed = false;
  RunValidateHandlers(displayValue, errorText, changed, editor, error);
}

// ==== View data and view info ==================================================================

void TcxSpinEditViewData::CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                                   TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                                   Integer button, const TPoint& mousePos) {
  inherited::CalculateButtonsViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  auto* info = static_cast<TcxSpinEditViewInfo*>(viewInfo);
  auto* p = static_cast<TcxCustomSpinEditProperties*>(Properties);
  info->ButtonsPosition = p->GetSpinButtons()->GetPosition();
  if (viewInfo->GetButtonCount() < 2 || info->ButtonsPosition != sbpVert) return;
  // The up and down buttons share one column, increment above decrement.
  TcxEditButtonViewInfo* down = viewInfo->GetButton(0);
  TcxEditButtonViewInfo* up = viewInfo->GetButton(1);
  const Integer width = up->Bounds.Width();
  const TRect column{up->Bounds.Right - width, up->Bounds.Top, up->Bounds.Right, up->Bounds.Bottom};
  const Integer half = column.Height() / 2;
  up->Bounds = TRect{column.Left, column.Top, column.Right, column.Top + half};
  down->Bounds = TRect{column.Left, column.Top + half, column.Right, column.Bottom};
  up->VisibleBounds = up->Bounds;
  down->VisibleBounds = down->Bounds;
  info->ArrowSize = std::max(2, (width - 4) / 4);
  if (isMouseEvent || mousePos.X >= 0) {
    // Hit tests by the new rectangles: the inherited ones saw the buttons side by side, so a
    // press on the lower half found the increment button, or none.
    const Boolean leftMouseDown = isMouseEvent && button == 1 && shift.Contains(ssLeft);
    for (Integer i = 0; i < 2; ++i) {
      TcxEditButtonViewInfo* b = viewInfo->GetButton(i);
      if (b->State == ebsDisabled) continue;
      const Boolean over = IsPointInRect(b->Bounds, mousePos);
      if (over && leftMouseDown && CanPressButton(viewInfo, i)) {
        b->State = ebsPressed;
        viewInfo->PressedButtonIndex = i;
        continue;
      }
      if (viewInfo->PressedButtonIndex == i && !over) {
        b->State = ebsSelected;
        if (leftMouseDown) viewInfo->PressedButtonIndex = -1;
      }
      if (viewInfo->PressedButtonIndex != i && b->State == ebsPressed && !over) b->State = ebsNormal;
    }
  }
}

void TcxSpinEditViewInfo::DrawButtonContent(TcxCanvas* canvas, TcxEditButtonViewInfo* button, Boolean pressedOffset,
                                            TColor faceColor, TColor textColor, const TRect& rect) {
  Integer direction;
  const Boolean vertical = ButtonsPosition == sbpVert;
  switch (button->ButtonIndex) {
    case 0: direction = vertical ? cxEditArrowDown : cxEditArrowLeft; break;
    case 1: direction = vertical ? cxEditArrowUp : cxEditArrowRight; break;
    case 2: direction = cxEditArrowLeft; break;
    default: direction = cxEditArrowRight; break;
  }
  const Integer size = std::max(2, std::min(rect.Width(), rect.Height()) / 3);
  DrawEditArrow(canvas, size, rect, direction, button->ButtonIndex >= 2, pressedOffset && button->State == ebsPressed,
                button->State == ebsDisabled ? clBtnShadow : textColor);
}

// ==== The control ==============================================================================

TcxCustomEditPropertiesClass TcxCustomSpinEdit::GetPropertiesClass() {
  return TcxCustomSpinEditProperties::StaticClass();
}
TcxCustomEditPropertiesClass TcxSpinEdit::GetPropertiesClass() { return TcxSpinEditProperties::StaticClass(); }

void TcxCustomSpinEdit::Initialize() {
  inherited::Initialize();
  FInternalValue = SpinProperties()->ToValueTypeVariant(Variant(0));
  ChangeEditValue(FInternalValue);
  FKeyPressedButton = 0;
}

void TcxCustomSpinEdit::BeforeDestruction() {
  FreeAndNil(FRepeatTimer);
  inherited::BeforeDestruction();
}

TcxCustomEditViewData* TcxCustomSpinEdit::CreateViewData() {
  TcxCustomEditViewData* viewData = inherited::CreateViewData();
  if (auto* spin = dynamic_cast<TcxSpinEditViewData*>(viewData)) spin->KeyPressedButton = FKeyPressedButton;
  return viewData;
}

Double TcxCustomSpinEdit::GetIncrement(Integer kind) {
  const Double step = SpinProperties()->GetIncrement(kind);
  return SpinProperties()->GetValueType() == vtInt ? std::nearbyint(step) : step;
}

Boolean TcxCustomSpinEdit::TextToValue(const Variant& displayValue, Boolean raise, AnsiString& errorText,
                                       Variant& value) {
  TcxCustomSpinEditProperties* p = SpinProperties();
  const AnsiString text = Trim(VarToStr(displayValue));
  if (text.empty()) {
    IcxEditDefaultValuesProvider* provider = p->GetDefaultValuesProvider();
    value = (provider && provider->DefaultRequired()) ? p->ToValueTypeVariant(p->LimitValue(Variant(0))) : Null();
    return true;
  }
  if (p->TextToNumber(text, value)) {
    value = p->ToValueTypeVariant(value);
    return true;
  }
  Boolean error = true;
  if (p->GetOnGetValue()) {
    try {
      p->GetOnGetValue()(this, text, value, errorText, error);
    } catch (const Exception& e) {
      if (raise) throw;
      errorText = e.GetMessage();
      return false;
    }
  }
  if (!error) {
    value = p->ToValueTypeVariant(value);
    return true;
  }
  if (errorText.empty()) errorText = GetLocalizedResourceString(&cxSSpinEditInvalidNumericValue);
  if (!p->GetExceptionOnInvalidInput()) errorText.clear();
  if (raise && p->GetExceptionOnInvalidInput()) throw EcxEditError(errorText);
  value = FInternalValue;
  return false;
}

void TcxCustomSpinEdit::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) {
  AnsiString ignored;
  TextToValue(displayValue, true, ignored, editValue);
}

Variant TcxCustomSpinEdit::GetValue() {
  TcxCustomSpinEditProperties* p = SpinProperties();
  Variant v;
  if (Focused()) {
    if (FTextEdited) {
      AnsiString ignored;
      TextToValue(Variant(GetText()), false, ignored, v);
    } else {
      v = FInternalValue;
    }
  } else {
    const Variant edit = GetEditValueProperty();
    if (SpinIsNumeric(edit))
      v = edit;
    else if (VarIsStr(edit) && !VarToStr(edit).empty())
      p->TextToNumber(Trim(VarToStr(edit)), v);
  }
  if (!SpinIsNumeric(v)) v = p->LimitValue(Variant(0));
  return p->ToValueTypeVariant(v);
}

void TcxCustomSpinEdit::SetValue(const Variant& value) {
  if (!SpinIsNumeric(value)) return;
  if (!SpinProperties()->AcceptsEditValue(value)) return;
  ChangeEditValue(SpinProperties()->ToValueTypeVariant(value));
}

AnsiString TcxCustomSpinEdit::ValueToDisplayText(const Variant& value) {
  Variant display;
  SpinProperties()->EditValueToDisplayValue(value, display, IsFocusedForDisplay());
  return VarToStr(display);
}

Variant TcxCustomSpinEdit::AddIncrement(const Variant& value, Double increment, Boolean& ok) {
  TcxCustomSpinEditProperties* p = SpinProperties();
  const Double v = SpinToDouble(value);
  const Double min = SpinToDouble(p->GetSpinMinValue());
  const Double max = SpinToDouble(p->GetSpinMaxValue());
  const Double low = min - v;
  const Double high = max - v;
  ok = true;
  if (increment >= low && increment <= high) return Variant(v + increment);
  switch (p->GetBoundsBehavior()) {
    case 0: ok = false; return value;
    case 1: return Variant(increment < low ? min : max);
    default: return Variant(increment < low ? max + increment + 1 - low : min + increment - 1 - high);
  }
}

Boolean TcxCustomSpinEdit::CalculateSpinValue(Integer kind, Variant& result) {
  TcxCustomSpinEditProperties* p = SpinProperties();
  const Integer behavior = p->GetBoundsBehavior();
  const Variant v = GetValue();
  const Double d = SpinToDouble(v);
  const Double min = SpinToDouble(p->GetSpinMinValue());
  const Double max = SpinToDouble(p->GetSpinMaxValue());
  const Boolean up = kind == 1 || kind == 3;
  Boolean ok = true;
  if (d < min) {
    if (up)
      result = p->GetSpinMinValue();
    else if (behavior == 2)
      result = p->GetSpinMaxValue();
    else
      return false;
  } else if (d > max) {
    if (!up)
      result = p->GetSpinMaxValue();
    else if (behavior == 2)
      result = p->GetSpinMinValue();
    else
      return false;
  } else {
    result = AddIncrement(v, GetIncrement(kind), ok);
    if (!ok) return false;
  }
  result = p->ToValueTypeVariant(result);
  return true;
}

Boolean TcxCustomSpinEdit::IncrementValue(Integer kind) {
  LockChangeEvents(true);
  Boolean changed = false;
  try {
    Variant value;
    if (DoEditing() && CalculateSpinValue(kind, value)) {
      const AnsiString oldText = GetText();
      const AnsiString newText = ValueToDisplayText(value);
      FInternalValue = value;
      SetUserChangeInProgress(true);
      try {
        SetInnerDisplayValue(Variant(newText));
      } catch (...) {
        SetUserChangeInProgress(false);
        throw;
      }
      SetUserChangeInProgress(false);
      FTextEdited = false;
      changed = GetText() != oldText;
      if (changed) {
        SetModifiedAfterEnter(true);
        if (!SpinProperties()->KeepsSelectionOnSpin()) SetSelection(Integer(GetText().size()), 0);
        if (SpinProperties()->GetImmediatePost() && CanPostEditValue() && ValidateEditValue(true)) {
          PostEditValue(false);
          UpdateDisplayValue();
        }
      }
    }
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
  return changed;
}

void TcxCustomSpinEdit::SetKeyPressedButton(Byte value) {
  if (value == FKeyPressedButton) return;
  FKeyPressedButton = value;
  if (GetEditViewInfo()->GetButtonCount() > 0) {
    RefreshStateAtCursor(false);
    Invalidate();
  }
}

void TcxCustomSpinEdit::StartRepeatTimer() {
  if (SpinProperties()->GetReadOnly()) return;
  FreeAndNil(FRepeatTimer);
  FRepeatTimer = new TcxTimer(this);
  FRepeatTimer->SetInterval(400);
  FRepeatTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomSpinEdit::RepeatTimerTick));
  FRepeatTimer->SetEnabled(true);
}

void TcxCustomSpinEdit::RepeatTimerTick(TObject*) {
  if (FRepeatTimer->GetInterval() == 400) FRepeatTimer->SetInterval(100);
  const Integer pressed = GetEditViewInfo()->PressedButtonIndex;
  if (pressed >= 0) IncrementValue(pressed);
}

void TcxCustomSpinEdit::StopRepeating() {
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  SetKeyPressedButton(0);
}

void TcxCustomSpinEdit::DoButtonDown(Integer index) {
  inherited::DoButtonDown(index);
  if (FKeyPressedButton == 0 && index >= 0 && index < 4) {
    IncrementValue(index);
    StartRepeatTimer();
  }
}

void TcxCustomSpinEdit::DoButtonUp(Integer index) {
  StopRepeating();
  inherited::DoButtonUp(index);
}

void TcxCustomSpinEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  FTypingInProgress = false;
  TcxCustomSpinEditProperties* p = SpinProperties();
  const Boolean spinKey = key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT;
  if (spinKey && (!p->GetUseCtrlIncrement() || shift.Contains(ssCtrl))) {
    if (!GetDataBinding()->IsInEditMode() && !DoEditing()) return;
    const Integer kind = key == VK_PRIOR ? 3 : key == VK_UP ? 1 : key == VK_DOWN ? 0 : 2;
    SetKeyPressedButton(Byte(kind + 1));
    IncrementValue(kind);
    key = 0;
    return;
  }
  StopRepeating();
  if (key != VK_ESCAPE) FTypingInProgress = true;
  if (!p->GetCanEdit() && IsValueChangingKey(key, shift)) {
    NotifyKeyToOwner(key, shift);
    key = 0;
  }
  if (key != 0) inherited::DoEditKeyDown(key, shift);
}

void TcxCustomSpinEdit::DoEditKeyUp(Word& key, TShiftState shift) {
  FTypingInProgress = false;
  inherited::DoEditKeyUp(key, shift);
  if (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT) StopRepeating();
}

void TcxCustomSpinEdit::DoEditKeyPress(char& key) {
  if (key == '.' || key == ',') key = FormatSettings.DecimalSeparator;
  if ((key >= 32 || key == 8) && !IsValidChar(key)) {
    key = 0;
    MessageBeep(0);
    return;
  }
  if (key >= 32 || key == 8) FTypingInProgress = true;
  inherited::DoEditKeyPress(key);
}

Boolean TcxCustomSpinEdit::IsValidChar(char c) {
  TcxCustomSpinEditProperties* p = SpinProperties();
  if (!p->GetCanEdit()) return c < 32 && c != 8;
  if (p->GetOnGetValue()) return true;
  if (c < 32) return true;
  if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'e' || c == 'E') return true;
  if (p->GetValueType() == vtFloat && c == FormatSettings.DecimalSeparator) return true;
  return p->GetExtraValidChars().test(static_cast<unsigned char>(c));
}

void TcxCustomSpinEdit::UpdateDisplayValue() {
  TcxCustomSpinEditProperties* p = SpinProperties();
  const Variant edit = GetEditValueProperty();
  if (p->AcceptsEditValueFocused(edit, Focused()) && (SpinIsNumeric(edit) || VarIsNull(edit) || VarIsEmpty(edit) ||
                                                      VarIsStr(edit)))
    FInternalValue = p->PrepareValue(SpinIsNumeric(edit) ? edit : p->LimitValue(Variant(0)));
  else
    FInternalValue = p->ToValueTypeVariant(p->LimitValue(Variant(0)));
  FTextEdited = false;
  inherited::UpdateDisplayValue();
}

void TcxCustomSpinEdit::HandleInnerEditChange(TObject* sender) {
  FTextEdited = FTypingInProgress || FTextEdited;
  inherited::HandleInnerEditChange(sender);
  FTypingInProgress = false;
}

void TcxCustomSpinEdit::ClampValueToBounds() {
  TcxCustomSpinEditProperties* p = SpinProperties();
  const Double v = SpinToDouble(GetValue());
  SetUserChangeInProgress(GetModifiedAfterEnter());
  if (v < SpinToDouble(p->GetSpinMinValue()))
    SetValue(p->GetSpinMinValue());
  else if (v > SpinToDouble(p->GetSpinMaxValue()))
    SetValue(p->GetSpinMaxValue());
  SetUserChangeInProgress(false);
}

bool TcxCustomSpinEdit::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  if (!CanUseMouseWheel(shift)) return false;
  IncrementValue(wheelDelta < 0 ? 0 : 1);
  return true;
}

void TcxCustomSpinEdit::DoExit() {
  StopRepeating();
  inherited::DoExit();
}

// ==== Published ================================================================================

const orv::EnumNames<TcxSpinEditValueType> kSpinValueTypeNames("TcxSpinEditValueType", {"vtInt", "vtFloat"});
const orv::EnumNames<TcxSpinEditButtonsPosition> kSpinPositionNames("TcxSpinEditButtonsPosition",
                                                                    {"sbpHorzLeftRight", "sbpHorzRight", "sbpVert"});

ORV_PUBLISH(TcxSpinEditButtons) {
  using T = TcxSpinEditButtons;
  p.Property("Position", &T::GetPosition, &T::SetPosition).Default(sbpVert);
  p.Property("ShowFastButtons", &T::GetShowFastButtons, &T::SetShowFastButtons).Default(false);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(true);
}

ORV_PUBLISH(TcxSpinEditProperties) {
  using T = TcxSpinEditProperties;
  p.Property("CanEdit", &T::GetCanEdit, &T::SetCanEdit).Default(true);
  p.Property("ExceptionOnInvalidInput", &T::GetExceptionOnInvalidInput, &T::SetExceptionOnInvalidInput).Default(false);
  p.Property("ImmediatePost", &T::GetImmediatePost, &T::SetImmediatePost).Default(false);
  p.Property("Increment", &T::GetIncrementStep, &T::SetIncrement).Stored([](T* x) { return x->GetIncrementStep() != 1.0; });
  p.Property("LargeIncrement", &T::GetLargeIncrement, &T::SetLargeIncrement)
      .Stored([](T* x) { return x->GetLargeIncrement() != 10.0; });
  p.Property("MaxValue", &T::GetMaxValue, &T::SetMaxValue).Stored([](T* x) { return x->IsMaxValueStored(); });
  p.Property("MinValue", &T::GetMinValue, &T::SetMinValue).Stored([](T* x) { return x->IsMinValueStored(); });
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T* x) { return x->IsReadOnlyStored(); });
  p.Property("SpinButtons", &T::GetSpinButtons, &T::SetSpinButtons);
  p.Property("UseCtrlIncrement", &T::GetUseCtrlIncrement, &T::SetUseCtrlIncrement).Default(false);
  p.Property("ValueType", &T::GetValueType, &T::SetValueType)
      .Stored([](T* x) { return x->GetSpinAssignedValues()->GetValueType(); });
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnGetValue", &T::GetOnGetValue, &T::SetOnGetValue);
  p.Property("OnValidate", &T::GetOnValidate, &T::SetOnValidate);
}

ORV_PUBLISH(TcxSpinEdit) {
  using T = TcxSpinEdit;
  orv::PublishLayout(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(true);
  orv::PublishDrag(p);
  orv::PublishState(p);
  orv::PublishColor(p, clWindow, false);
  orv::PublishFont(p);
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxSpinEditProperties* v) { x->SetProperties(v); });
  p.Property("Value", [](T* x) { return x->GetValue(); }, [](T* x, Variant v) { x->SetValue(v); })
      .Stored([](T* x) { return !VarEqualsExactly(x->GetValue(), Variant(Int64(0))); });
}

// ==== Filter helper ===========================================================================

TcxCustomEditClass TcxFilterSpinEditHelper::GetFilterEditorClass() const { return TcxSpinEdit::StaticClass(); }

void TcxFilterSpinEditHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                   TcxCustomEditProperties* sourceProperties,
                                                   Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  if (auto* spin = dynamic_cast<TcxCustomSpinEditProperties*>(properties)) spin->SetCanEdit(true);
}

void TcxFilterSpinEditHelper::GetSupportedOperators(TcxCustomEditProperties* properties,
                                                    TcxValueTypeClass valueTypeClass,
                                                    TcxFilterControlOperators& operators, Boolean extended) const {
  // Numbers: comparisons and ranges, no "like".
  operators = TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10};
  if (extended)
    for (Integer i = 11; i <= 14; ++i) operators.Include(i);
}
