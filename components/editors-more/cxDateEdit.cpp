#include "components/editors-more/cxDateEdit.h"

#include <algorithm>
#include <cmath>

#include "components/data/cxDateUtils.h"
#include "components/data/cxFormats.h"
#include "components/data/cxVariants.h"
#include "components/editors/cxButtons.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPublished.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"

namespace {

const bool kDateEditRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxDateEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryDateItem));
  FilterEditsController()->AddHelperClass(TcxDateEditProperties::StaticClass(),
                                          TcxFilterDateEditHelper::StaticClass());
  return true;
}();

Double DateSignOf(Double v) { return v < 0 ? -1 : 1; }
Double TimeOf(Double v) { return std::fabs(v - std::trunc(v)); }

Boolean IsEmptyDateValue(const Variant& v) {
  return VarIsNull(v) || VarIsEmpty(v) || (VarIsStr(v) && VarToStr(v).empty());
}

Boolean IsDateOrNumberValue(const Variant& v) { return VarType(v) == varDate || IsNumericVariant(v); }

AnsiString TrimTrailing(AnsiString text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

// ==== Assigned values ==========================================================================

void TcxDateEditPropertiesValues::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* s = dynamic_cast<TcxDateEditPropertiesValues*>(source)) {
    SetDateButtons(s->FDateButtons);
    SetInputKind(s->FInputKind);
  }
}

void TcxDateEditPropertiesValues::ResetToDefaults() {
  inherited::ResetToDefaults();
  SetDateButtons(false);
  SetInputKind(false);
}

void TcxDateEditPropertiesValues::SetDateButtons(Boolean value) {
  if (value == FDateButtons) return;
  FDateButtons = value;
  Changed();
}

void TcxDateEditPropertiesValues::SetInputKind(Boolean value) {
  if (value == FInputKind) return;
  FInputKind = value;
  Changed();
}

// ==== Properties ===============================================================================

TcxCustomDateEditProperties::TcxCustomDateEditProperties(TPersistent* owner) : TcxCustomPopupEditProperties(owner) {
  SetCaseInsensitive(true);
  SetImmediateDropDown(false);
  SetPopupSizeable(false);
  UpdateEditMask();
}

TcxCustomEditClass TcxCustomDateEditProperties::GetEditClass() { return TcxDateEdit::StaticClass(); }

orv::ClassOf<TcxCustomEditPopupWindow> TcxCustomDateEditProperties::GetPopupWindowClass() {
  return TcxDateEditPopupWindow::StaticClass();
}

TcxMaskEditCustomModeClass TcxCustomDateEditProperties::GetModeClass(TcxEditMaskKind kind) {
  if (kind == emkStandard) return TcxDateEditMaskStandardMode::StaticClass();
  return inherited::GetModeClass(kind);
}

void TcxCustomDateEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomDateEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetArrowsForYear(s->FArrowsForYear);
    if (s->GetDateAssignedValues()->GetDateButtons())
      SetDateButtons(s->FDateButtons);
    else
      GetDateAssignedValues()->SetDateButtons(false);
    SetDateOnError(s->FDateOnError);
    if (s->GetDateAssignedValues()->GetInputKind())
      SetInputKind(s->FInputKind);
    else
      GetDateAssignedValues()->SetInputKind(false);
    SetKind(s->FKind);
    SetSaveTime(s->FSaveTime);
    SetShowTime(s->FShowTime);
    SetWeekNumbers(s->FWeekNumbers);
    SetYearsInMonthList(s->FYearsInMonthList);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomDateEditProperties::NotifyChanged() {
  // The mask follows Kind and InputKind on every change.
  if (!FUpdatingMask) {
    FUpdatingMask = true;
    try {
      UpdateEditMask();
    } catch (...) {
      FUpdatingMask = false;
      throw;
    }
    FUpdatingMask = false;
  }
  inherited::NotifyChanged();
}

void TcxCustomDateEditProperties::UpdateEditMask() {
  TcxFormatController* formats = GetFormatController();
  const Boolean dateTime = FKind == ckDateTime;
  switch (GetInputKind()) {
    case ikMask:
      if (GetMaskKind() != emkStandard) SetMaskKind(emkStandard);
      SetEditMask(dateTime ? formats->GetStandardDateTimeMask() : formats->GetStandardDateMask());
      break;
    case ikRegExpr:
      if (GetMaskKind() != emkRegExprEx) SetMaskKind(emkRegExprEx);
      SetEditMask(dateTime ? formats->GetRegExprDateTimeMask() : formats->GetRegExprDateMask());
      break;
    default: SetEditMask(AnsiString()); break;
  }
}

#define ORV_DATE_SETTER(Name, Type, Field) \
  void TcxCustomDateEditProperties::Set##Name(Type value) { \
    if (value == Field) return;                             \
    Field = value;                                          \
    Changed();                                              \
  }
ORV_DATE_SETTER(ArrowsForYear, Boolean, FArrowsForYear)
ORV_DATE_SETTER(DateOnError, TDateOnError, FDateOnError)
ORV_DATE_SETTER(Kind, TcxCalendarKind, FKind)
ORV_DATE_SETTER(SaveTime, Boolean, FSaveTime)
ORV_DATE_SETTER(ShowTime, Boolean, FShowTime)
ORV_DATE_SETTER(WeekNumbers, Boolean, FWeekNumbers)
ORV_DATE_SETTER(YearsInMonthList, Boolean, FYearsInMonthList)
#undef ORV_DATE_SETTER

TDateButtons TcxCustomDateEditProperties::GetDateButtons() {
  if (GetDateAssignedValues()->GetDateButtons()) return FDateButtons;
  return FKind == ckDateTime ? TDateButtons{btnClear, btnNow} : TDateButtons{btnClear, btnToday};
}

void TcxCustomDateEditProperties::SetDateButtons(TDateButtons value) {
  if (GetDateAssignedValues()->GetDateButtons() && value == FDateButtons) return;
  FDateButtons = value;
  GetDateAssignedValues()->SetDateButtons(true);
  Changed();
}

TcxInputKind TcxCustomDateEditProperties::GetInputKind() {
  if (!IsGregorianCalendar(nullptr)) return ikStandard;
  if (GetDateAssignedValues()->GetInputKind()) return FInputKind;
  return FKind == ckDateTime ? ikMask : ikRegExpr;
}

void TcxCustomDateEditProperties::SetInputKind(TcxInputKind value) {
  if (GetDateAssignedValues()->GetInputKind() && value == FInputKind) return;
  FInputKind = value;
  GetDateAssignedValues()->SetInputKind(true);
  Changed();
}

Boolean TcxCustomDateEditProperties::IsValueBoundDefined(Integer bound) {
  if (GetMinValue() != 0 && GetMaxValue() != 0) return GetMaxValue() > GetMinValue();
  return (bound == 0 ? GetMinValue() : GetMaxValue()) != 0;
}

Boolean TcxCustomDateEditProperties::IsValueBoundsDefined() {
  if (GetMinValue() != 0 && GetMaxValue() != 0) return GetMaxValue() > GetMinValue();
  return GetMinValue() != 0 || GetMaxValue() != 0;
}

Boolean TcxCustomDateEditProperties::GetTimeElementAt(Integer position, TcxTimePartInfo& element) {
  TcxFormatController* formats = GetFormatController();
  if (FKind != ckDateTime || GetInputKind() != ikMask || formats->GetStandardDateTimeMaskFixed()) return false;
  const TcxDateTimeFormatInfo& info = formats->GetDateTimeFormatItems();
  TcxFormatItemPosition found;
  if (!TcxFormatController::FindFormatItemAt(info, position, found)) return false;
  switch (found.Kind) {
    case dfiHour: element.Part = tpHour; break;
    case dfiMinute: element.Part = tpMinute; break;
    case dfiSecond: element.Part = tpSecond; break;
    case dfiAmPm: element.Part = tpAmPm; break;
    default: return false;
  }
  element.Start = found.Start;
  element.Length = found.Length;
  element.AmPmKind = Byte(std::min(found.AmPmStyle, 2));
  element.Use24HourFormat = !info.HasItem(dfiAmPm);
  return true;
}

char TcxCustomDateEditProperties::GetBlankCharAt(Integer position) {
  TcxTimePartInfo element;
  if (GetTimeElementAt(position, element)) return element.Part == tpAmPm ? char(0) : '0';
  return ' ';
}

AnsiString TcxCustomDateEditProperties::EmptyDisplayText(Boolean editing) {
  AnsiString text;
  if (TcxMaskEditCustomMode* mode = CreateCompiledMode()) {
    mode->GetEmptyText(text);
    mode->Free();
  }
  TcxFormatController* formats = GetFormatController();
  if (editing && FKind == ckDateTime && GetInputKind() == ikMask && !formats->GetStandardDateTimeMaskFixed()) {
    // An empty date-and-time mask shows midnight in its time part.
    AnsiString midnight;
    DateTimeToEditText(true, true, false, midnight, 0);
    const Integer timeLength = TcxFormatController::FormatTextLength(formats->GetTimeFormatItems());
    const std::size_t n = std::size_t(std::min<Integer>(timeLength, Integer(std::min(text.size(), midnight.size()))));
    if (n > 0) text.replace(text.size() - n, n, midnight.substr(midnight.size() - n));
  }
  return text;
}

Boolean TcxCustomDateEditProperties::IsNullDateValue(const Variant& v) {
  return IsDateOrNumberValue(v) && v.AsDouble() == NullDate;
}

Variant TcxCustomDateEditProperties::TextToDateValue(const AnsiString& text) {
  if (text == GetEmptyString() || text == EmptyDisplayText(true) || TrimTrailing(text) == TrimTrailing(EmptyDisplayText(true)))
    return Null();
  TDateTime d = NullDate;
  if (TryTextToDateTime(text, d) && d != NullDate) return Variant::FromDate(d);
  if (FDateOnError == deToday) return Variant::FromDate(FKind == ckDateTime ? Now() : Date());
  return Null();
}

Boolean TcxCustomDateEditProperties::IsTimeShown(Boolean editing, TDateTime d) {
  if (!editing) return FKind == ckDateTime || FShowTime;
  if (FKind == ckDateTime) return TimeOf(d) != 0 || GetInputKind() == ikMask;
  return FShowTime && TimeOf(d) != 0 && GetInputKind() == ikStandard;
}

AnsiString TcxCustomDateEditProperties::DateText(TDateTime d) {
  AnsiString text;
  DateTimeToEditText(GetInputKind() == ikMask, FKind == ckDateTime, false, text, d);
  text = TrimTrailing(text);
  // A two-digit year that would read back in another century is written out whole, so that
  // confirming the text unchanged keeps the date.
  TDateTime back = NullDate;
  if (GetInputKind() != ikMask && !text.empty() &&
      (!TryTextToDateTime(text, back) || std::trunc(back) != std::trunc(d))) {
    DateTimeToEditText(false, FKind == ckDateTime, true, text, d);
    text = TrimTrailing(text);
  }
  return text;
}

void TcxCustomDateEditProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue,
                                                          Boolean focused) {
  if (IsEmptyDateValue(value) || IsNullDateValue(value)) {
    displayValue = Variant(EmptyDisplayText(focused));
    return;
  }
  if (!VarIsStr(value) && !IsDateOrNumberValue(value))
    throw EConvertError(GetLocalizedResourceString(&cxSEditDateConvertError));
  Variant v = value;
  if (VarIsStr(value)) {
    v = TextToDateValue(VarToStr(value));
    if (VarIsNull(v) || IsNullDateValue(v)) throw EConvertError(GetLocalizedResourceString(&cxSEditDateConvertError));
  }
  TDateTime d = v.AsDouble();
  if (!IsTimeShown(focused, d)) d = GetDatePart(d);
  AnsiString text;
  if (focused)
    text = DateText(d);
  else
    DateTimeToEditText(false, false, false, text, d);
  text = TrimTrailing(text);
  if (focused && IsMasked()) {
    // Fitted into the mask by the masked conversion.
    Variant masked;
    inherited::EditValueToDisplayValue(Variant(text), masked, focused);
    displayValue = masked;
    return;
  }
  displayValue = Variant(text);
}

Boolean TcxCustomDateEditProperties::IsDisplayValueValid(Variant& displayValue, Boolean focused) {
  if (GetInputKind() != ikStandard) return inherited::IsDisplayValueValid(displayValue, focused);
  TDateTime d = NullDate;
  return TryTextToDateTime(VarToStr(displayValue), d) && d != NullDate;
}

Boolean TcxCustomDateEditProperties::AcceptsEditValue(const Variant& value) {
  if (VarIsStr(value)) {
    const Variant v = TextToDateValue(VarToStr(value));
    return !VarIsNull(v) && !IsNullDateValue(v);
  }
  return IsEmptyDateValue(value) || IsDateOrNumberValue(value);
}

void TcxCustomDateEditProperties::CheckDisplayValue(Variant& displayValue, AnsiString& errorText,
                                                    TcxCustomEdit* editor, Boolean& error) {
  auto* edit = dynamic_cast<TcxCustomDateEdit*>(editor);
  const AnsiString empty = EmptyDisplayText(true);
  auto isEmpty = [&] { return VarToStr(displayValue) == empty; };
  errorText = GetLocalizedResourceString(&cxSDateError);
  error = false;
  Boolean handled = false;
  TDateTime d = 0;
  // The text goes back to what the editor showed for its value before the unreadable text.
  auto restore = [&] {
    if (!edit) return;
    try {
      Variant shown;
      EditValueToDisplayValue(edit->GetEditValueProperty(), shown, true);
      displayValue = shown;
    } catch (const Exception&) {
      displayValue = Variant(edit->GetText());
    }
  };
  auto* own = editor ? editor->GetProperties() : nullptr;
  const Boolean hasHandler = GetOnValidate() || (own && own->GetOnValidate());
  try {
    if (!isEmpty()) {
      error = !TryParseDateText(VarToStr(displayValue), d);
      if (error) d = NullDate;
    }
    if (hasHandler) {
      if (!isEmpty() && !error) displayValue = Variant(DateText(d));
      const AnsiString before = VarToStr(displayValue);
      RunValidateHandlers(displayValue, errorText, handled, editor, error);
      handled = handled || VarToStr(displayValue) != before;
      if (!error && !isEmpty()) {
        error = !TryParseDateText(VarToStr(displayValue), d);
        if (error) d = NullDate;
      }
    } else if (error) {
      if (FDateOnError == deToday) {
        error = false;
        d = FKind == ckDateTime ? Now() : Date();
      } else if (FDateOnError == deNull) {
        error = false;
        d = NullDate;
      }
    }
  } catch (const Exception&) {
    error = true;
  }
  if (error) {
    if (!handled) restore();
    return;
  }
  if (d != NullDate && !isEmpty()) {
    if (IsValueBoundsDefined()) {
      Variant bound = Variant::FromDate(d);
      ValidateValueBounds(bound, errorText, editor, error);
      if (error) {
        restore();
        return;
      }
    }
    if (FKind == ckDate && edit) {
      if (TimeOf(d) != 0)
        edit->SetSavedTime(TimeOf(d));
      else if (FSaveTime)
        d = d + DateSignOf(d) * edit->GetSavedTime();
      if (!FSaveTime) edit->SetSavedTime(0);
    }
    displayValue = Variant(DateText(d));
    return;
  }
  if (d != NullDate && FKind == ckDate && FSaveTime && edit && edit->GetSavedTime() != 0) {
    displayValue = Variant(DateText(edit->GetSavedTime()));
    return;
  }
  if (edit) edit->SetSavedTime(0);
  displayValue = Variant(empty);
}

// ==== Popup window and mask mode ===============================================================

TcxDateEditPopupWindow::TcxDateEditPopupWindow(TControl* ownerControl) : TcxPopupEditPopupWindow(ownerControl) {
  SetKeyPreview(true);
}

Boolean TcxDateEditPopupWindow::IsCalendarKey(Word key, TShiftState shift) {
  auto* edit = dynamic_cast<TcxCustomDateEdit*>(OwnerEditor());
  TcxPopupCalendar* calendar = edit ? edit->GetCalendar() : nullptr;
  if (!calendar) return false;
  if (key == VK_ESCAPE) {
    TWinControl* focused = GetActiveControl();
    if (!focused) return false;
    if (focused == calendar->GetTimeEdit()) return !calendar->GetTimeEdit()->GetModifiedAfterEnter();
    for (TCalendarButton b : {btnClear, btnNow, btnToday, btnOk})
      if (focused == calendar->GetButton(b)) return true;
    return false;
  }
  if ((key == VK_UP || key == VK_DOWN) && shift.Contains(ssAlt)) return true;
  return key == VK_F4 && !shift.Contains(ssAlt);
}

void TcxDateEditPopupWindow::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if (key == 0 || !IsCalendarKey(key, shift)) return;
  auto* edit = dynamic_cast<TcxCustomDateEdit*>(OwnerEditor());
  if (edit && edit->GetCalendar()) edit->GetCalendar()->CalendarKeyDown(key, shift);
}

char TcxDateEditMaskStandardMode::GetBlankChar(Integer position) {
  auto* p = dynamic_cast<TcxCustomDateEditProperties*>(GetModeProperties());
  return p ? p->GetBlankCharAt(position) : ' ';
}

// ==== Editor ===================================================================================

TcxCustomEditPropertiesClass TcxCustomDateEdit::GetPropertiesClass() {
  return TcxCustomDateEditProperties::StaticClass();
}

TcxCustomEditPropertiesClass TcxDateEdit::GetPropertiesClass() { return TcxDateEditProperties::StaticClass(); }

void TcxCustomDateEdit::Initialize() {
  inherited::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  FPopupStartValue = NullDate;
}

void TcxCustomDateEdit::BeforeDestruction() {
  if (FCalendar) {
    FCalendar->SetOnHidePopup({});
    FCalendar->SetEdit(nullptr);
    // Not owned by the popup window, which the inherited destruction frees.
    FCalendar->Free();
    FCalendar = nullptr;
  }
  inherited::BeforeDestruction();
}

void TcxCustomDateEdit::GetDisplayValue(Variant& value) { DisplayValueToEditValue(Variant(GetText()), value, true); }

void TcxCustomDateEdit::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) {
  TcxCustomDateEditProperties* p = DateProperties();
  Variant v = p->TextToDateValue(VarToStr(displayValue));
  if (!VarIsNull(v) && !p->IsNullDateValue(v) && p->GetKind() == ckDate && p->GetSaveTime()) {
    const TDateTime d = v.AsDouble();
    v = Variant::FromDate(std::trunc(d) + DateSignOf(d) * FSavedTime);
  }
  editValue = v;
}

void TcxCustomDateEdit::AssignEditValue(const Variant& value, Boolean isUserAction) {
  TcxCustomDateEditProperties* p = DateProperties();
  if (p->GetKind() == ckDate) {
    FSavedTime = 0;
    if (p->GetSaveTime()) {
      TDateTime d = 0;
      if (VarIsStr(value)) {
        if (TryTextToDateTime(VarToStr(value), d) && d != NullDate) FSavedTime = TimeOf(d);
      } else if (IsDateOrNumberValue(value)) {
        FSavedTime = TimeOf(value.AsDouble());
      }
    }
  }
  inherited::AssignEditValue(value, isUserAction);
}

void TcxCustomDateEdit::ApplyValidatedDisplayValue(const Variant& value) {
  if (VarIsStr(value)) {
    inherited::ApplyValidatedDisplayValue(value);
    return;
  }
  SaveModifiedFlags();
  try {
    ChangeEditValue(value);
  } catch (...) {
    RestoreModifiedFlags();
    throw;
  }
  RestoreModifiedFlags();
}

TDateTime TcxCustomDateEdit::DisplayTextToDate(const AnsiString& text) {
  Variant v;
  DisplayValueToEditValue(Variant(text), v, Focused());
  return VarIsNull(v) ? NullDate : v.AsDouble();
}

TDateTime TcxCustomDateEdit::GetDate() {
  const Variant v = GetEditValueProperty();
  if (VarIsNull(v) || VarIsEmpty(v)) return NullDate;
  if (IsDateOrNumberValue(v)) return v.AsDouble();
  if (VarIsStr(v)) return DisplayTextToDate(VarToStr(v));
  return NullDate;
}

void TcxCustomDateEdit::SetDate(TDateTime value) {
  if (value == NullDate) {
    SetEditValue(Null());
    return;
  }
  TcxCustomDateEditProperties* p = DateProperties();
  if (p->GetKind() == ckDate && TimeOf(value) == 0)
    value = p->GetSaveTime() ? std::trunc(value) + DateSignOf(value) * FSavedTime : std::trunc(value);
  SetEditValue(Variant::FromDate(value));
}

TDateTime TcxCustomDateEdit::GetCurrentDate() {
  if (Focused() && GetModifiedAfterEnter() && !IsEditValidated()) return DisplayTextToDate(GetText());
  return GetDate();
}

AnsiString TcxCustomDateEdit::GetDateDisplayText(TDateTime date) {
  TcxCustomDateEditProperties* p = DateProperties();
  Variant display;
  if (p->GetInputKind() == ikStandard && date != NullDate) {
    p->EditValueToDisplayValue(Variant::FromDate(date), display, true);
    Variant back;
    DisplayValueToEditValue(display, back, true);
    if (VarIsNull(back) || std::trunc(back.AsDouble()) != std::trunc(date)) {
      // A text that would not read back as the same day (a two-digit year) shows the whole date.
      const TDateTime shown = p->IsTimeShown(true, date) ? date : GetDatePart(date);
      AnsiString text;
      DateTimeToEditText(false, p->GetKind() == ckDateTime, true, text, shown);
      return TrimTrailing(text);
    }
    return VarToStr(display);
  }
  p->EditValueToDisplayValue(date == NullDate ? Null() : Variant::FromDate(date), display, true);
  return VarToStr(display);
}

void TcxCustomDateEdit::ClampValueToBounds() {
  if (FClamping || GetDate() == NullDate) return;
  TcxCustomDateEditProperties* p = DateProperties();
  FClamping = true;
  try {
    if (p->IsValueBoundDefined(0) && p->GetMinValue() > GetDate())
      SetDate(p->GetMinValue());
    else if (p->IsValueBoundDefined(1) && GetDate() > p->GetMaxValue())
      SetDate(p->GetMaxValue());
  } catch (...) {
    FClamping = false;
    throw;
  }
  FClamping = false;
}

Boolean TcxCustomDateEdit::CanInsertCharAt(char& key, Integer position) {
  TcxTimePartInfo element;
  if (!DateProperties()->GetTimeElementAt(position, element)) return true;
  // The time portion of a date-and-time mask follows the time editor's rule.
  return ::CheckTimePartChar(this, key, position, element);
}

// ---- Popup ------------------------------------------------------------------------------------

Boolean TcxCustomDateEdit::CanDropDown() { return !DateProperties()->GetReadOnly(); }

void TcxCustomDateEdit::CreatePopupWindow() {
  inherited::CreatePopupWindow();
  GetPopupWindow()->SetOwnLoop(false);
}

void TcxCustomDateEdit::CreateCalendar() {
  // Not owned: it must go before the popup window it sits in.
  FCalendar = static_cast<TcxPopupCalendar*>(GetCalendarClass().Create(nullptr));
  FCalendar->SetEdit(this);
  FCalendar->SetParent(GetPopupWindow());
  FCalendar->SetOnHidePopup(TcxCalendarHidePopupEvent(this, &TcxCustomDateEdit::CalendarHidePopup));
  FCalendar->GetLookAndFeel()->SetMaster(GetPopupLookAndFeel());
}

void TcxCustomDateEdit::CalendarHidePopup(TObject* sender, Integer reason) {
  ClosePopup(TcxDropDownCloseReason(reason));
}

void TcxCustomDateEdit::DropDown() {
  if (!FCalendar) CreateCalendar();
  DateProperties()->SetPopupControl(FCalendar);
  inherited::DropDown();
}

void TcxCustomDateEdit::ApplyPopupWindowProperties() {
  inherited::ApplyPopupWindowProperties();
  TcxCustomDateEditProperties* p = DateProperties();
  FCalendar->HandleNeeded();
  FCalendar->SetColor(GetStyle()->GetColor());
  FCalendar->SetFlat(GetPopupLookAndFeel()->GetKind() != lfStandard);
  FCalendar->SetDateButtons(p->GetDateButtons());
  FCalendar->SetOnDateTimeChosen({});
  FPopupStartValue = GetCurrentDate();
  const TDateTime d = FPopupStartValue == NullDate ? Date() : FPopupStartValue;
  if (p->GetKind() == ckDateTime) FCalendar->GetTimeEdit()->SetTime(TimeOf(d));
  FCalendar->SetDisplayMonth(GetDatePart(d));
  FCalendar->SetSelectedDate(GetDatePart(d));
  FCalendar->GetFont()->Assign(GetStyle()->GetVisibleFont());
  FCalendar->GetFont()->SetColor(clBtnText);
  FCalendar->SetArrowsForYear(p->GetArrowsForYear());
  FCalendar->SetKind(p->GetKind());
  const TcxDateTimeFormatInfo& info = GetFormatController()->GetDateTimeFormatItems();
  const Boolean seconds = info.HasItem(dfiSecond);
  const Boolean minutes = info.HasItem(dfiMinute);
  const Boolean hours = info.HasItem(dfiHour);
  Boolean hours24 = false;
  for (const TcxDateTimeFormatItem& item : info.Items)
    if (item.Kind == dfiHour && item.Data.find("24") != AnsiString::npos) hours24 = true;
  FCalendar->SetTimeFormat(seconds ? tfHourMinSec : minutes ? tfHourMin : hours ? tfHour : tfHourMinSec);
  FCalendar->SetUse24HourFormat(hours24);
  FCalendar->SetWeekNumbers(p->GetWeekNumbers());
  FCalendar->SetYearsInMonthList(p->GetYearsInMonthList());
  FCalendar->ApplySize();
  FCalendar->SetOnDateTimeChosen(TNotifyEvent(this, &TcxCustomDateEdit::CalendarDateTimeChosen));
}

void TcxCustomDateEdit::SetupPopupWindow() { inherited::SetupPopupWindow(); }

void TcxCustomDateEdit::PopupWindowShowed(TObject* sender) {
  inherited::PopupWindowShowed(sender);
  if (!FCalendar) return;
  FCalendar->LayoutChanged();
  FCalendar->UpdateHotPart();
}

void TcxCustomDateEdit::PopupWindowClosed(TObject* sender) {
  inherited::PopupWindowClosed(sender);
  if (FCalendar) FCalendar->UpdateHotPart();
}

void TcxCustomDateEdit::CalendarDateTimeChosen(TObject* sender) {
  SetCloseReason(dcrAccept);
  TcxCustomDateEditProperties* p = DateProperties();
  TDateTime d = FCalendar->GetSelectedDate();
  if (d != NullDate) {
    if (p->GetKind() == ckDateTime)
      d = std::trunc(d) + DateSignOf(d) * TimeOf(FCalendar->GetTimeEdit()->GetTime());
    else if (p->GetSaveTime() && FPopupStartValue != NullDate)
      d = d + DateSignOf(d) * TimeOf(FPopupStartValue);
  }
  const AnsiString text = GetDateDisplayText(d);
  if (GetDate() == d && GetText() == text) return;
  if (!DoEditing()) return;
  LockChangeEvents(true);
  try {
    SetDate(d);
    SetModifiedAfterEnter(true);
    SetInnerDisplayValue(Variant(text));
    SelectAll();
  } catch (...) {
    LockChangeEvents(false, true);
    throw;
  }
  LockChangeEvents(false, true);
}

// ==== Filter helper ============================================================================

TcxCustomEditClass TcxFilterDateEditHelper::GetFilterEditorClass() const { return TcxDateEdit::StaticClass(); }

void TcxFilterDateEditHelper::GetSupportedOperators(TcxCustomEditProperties* properties,
                                                    TcxValueTypeClass valueTypeClass,
                                                    TcxFilterControlOperators& operators, Boolean extended) const {
  operators = TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10};
  if (extended)
    for (Integer i = 11; i <= 36; ++i) operators.Include(i);
}

void TcxFilterDateEditHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                   TcxCustomEditProperties* sourceProperties,
                                                   Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  if (auto* p = dynamic_cast<TcxCustomDateEditProperties*>(properties)) {
    p->SetDateButtons(TDateButtons{btnClear, btnToday});
    p->SetDateOnError(deNull);
    p->SetInputKind(ikRegExpr);
    p->SetSaveTime(true);
  }
}

// ==== Published ================================================================================

const orv::EnumNames<TcxInputKind> kInputKindNames("TcxInputKind", {"ikStandard", "ikMask", "ikRegExpr"});
const orv::EnumNames<TDateOnError> kDateOnErrorNames("TDateOnError", {"deNoChange", "deToday", "deNull"});
const orv::EnumNames<TcxCalendarKind> kCalendarKindNames("TcxCalendarKind", {"ckDate", "ckDateTime"});

ORV_PUBLISH(TcxDateEditProperties) {
  using T = TcxDateEditProperties;
  p.Property("ArrowsForYear", &T::GetArrowsForYear, &T::SetArrowsForYear).Default(true);
  p.Property("DateOnError", &T::GetDateOnError, &T::SetDateOnError).Default(deNoChange);
  p.Property("ImmediatePost", &T::GetImmediatePost, &T::SetImmediatePost).Default(false);
  p.Property("InputKind", &T::GetInputKind, &T::SetInputKind)
      .Stored([](T* x) { return x->GetDateAssignedValues()->GetInputKind(); });
  p.Property("Kind", &T::GetKind, &T::SetKind).Default(ckDate);
  p.Property("MaxDate", &T::GetMaxDate, &T::SetMaxDate).Stored([](T* x) { return x->IsMaxValueStored(); });
  p.Property("MinDate", &T::GetMinDate, &T::SetMinDate).Stored([](T* x) { return x->IsMinValueStored(); });
  p.Property("PostPopupValueOnTab", &T::GetPostPopupValueOnTab, &T::SetPostPopupValueOnTab).Default(false);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T* x) { return x->IsReadOnlyStored(); });
  p.Property("SaveTime", &T::GetSaveTime, &T::SetSaveTime).Default(true);
  p.Property("ShowTime", &T::GetShowTime, &T::SetShowTime).Default(true);
  p.Property("WeekNumbers", &T::GetWeekNumbers, &T::SetWeekNumbers).Default(false);
  p.Property("YearsInMonthList", &T::GetYearsInMonthList, &T::SetYearsInMonthList).Default(true);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnCloseUp", &T::GetOnCloseUp, &T::SetOnCloseUp);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnInitPopup", &T::GetOnInitPopup, &T::SetOnInitPopup);
  p.Property("OnPopup", &T::GetOnPopup, &T::SetOnPopup);
  p.Property("OnValidate", &T::GetOnValidate, &T::SetOnValidate);
}

ORV_PUBLISH(TcxDateEdit) {
  using T = TcxDateEdit;
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
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxDateEditProperties* v) { x->SetProperties(v); });
  p.Property("EditValue", [](T* x) { return x->GetEditValueProperty(); }, [](T* x, Variant v) { x->SetEditValue(v); });
  p.Property("Date", [](T* x) { return x->GetDate(); }, [](T* x, TDateTime v) { x->SetDate(v); }).Stored(false);
}
