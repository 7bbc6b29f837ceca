#include "components/editors-more/cxTimeEdit.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPublished.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"

namespace {

const bool kTimeEditRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxTimeEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryTimeItem));
  FilterEditsController()->AddHelperClass(TcxTimeEditProperties::StaticClass(),
                                          TcxFilterTimeEditHelper::StaticClass());
  return true;
}();

constexpr const char* kDisplayFormats[3][2] = {
    {"hh:nn:ss ampm", "hh:nn:ss"}, {"hh:nn ampm", "hh:nn"}, {"hh ampm", "hh"}};
constexpr const char* k24HourMasks[3] = {"00:00:00;1;0", "00:00;1;0", "00;1;0"};
constexpr Double kSecondsPerDay = 86400.0;

Boolean IsEmptyTimeValue(const Variant& v) {
  return VarIsNull(v) || VarIsEmpty(v) || (VarIsStr(v) && VarToStr(v).empty());
}

Boolean IsDateOrNumber(const Variant& v) { return VarType(v) == varDate || IsNumericVariant(v); }

Double FracOf(Double v) { return v - std::trunc(v); }

// The value of a date, number or date-time text; false when it is none of them.
Boolean ValueToDateTime(const Variant& v, TDateTime& result) {
  if (VarIsStr(v)) return TryStrToDateTime(VarToStr(v), result);
  if (IsDateOrNumber(v)) {
    result = v.AsDouble();
    return true;
  }
  return false;
}

Integer TwoDigits(const AnsiString& text, std::size_t at) {
  Integer r = 0;
  for (std::size_t i = at; i < at + 2; ++i) {
    r *= 10;
    if (i < text.size() && text[i] >= '0' && text[i] <= '9') r += text[i] - '0';
  }
  return r;
}

char UpCase(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

}  // namespace

namespace orv {

void GetAmPmStrings(Byte kind, AnsiString& am, AnsiString& pm) {
  switch (kind) {
    case 0: am = "A"; pm = "P"; break;
    case 1: am = "AM"; pm = "PM"; break;
    default: am = FormatSettings.TimeAMString; pm = FormatSettings.TimePMString; break;
  }
}

AnsiString TimeEditMask(TcxTimeEditTimeFormat format, Boolean use24Hour) {
  if (use24Hour) return k24HourMasks[format];
  // One optional any-character position per character of the locale's PM text, as noon shows it.
  const AnsiString noon = FormatDateTime("hh:mm:ss AMPM", 1.5);
  AnsiString tail;
  for (std::size_t i = 8; i < noon.size(); ++i) tail += noon[i] == ' ' ? ' ' : 'c';
  while (!tail.empty() && tail.back() == ' ') tail.pop_back();
  const AnsiString digits = AnsiString(k24HourMasks[format]).substr(0, std::size_t(8 - 3 * Integer(format)));
  return digits + tail + ";1;0";
}

}  // namespace orv

// ==== Properties ===============================================================================

TcxCustomTimeEditProperties::TcxCustomTimeEditProperties(TPersistent* owner) : TcxCustomSpinEditProperties(owner) {
  SetValueType(vtFloat);
  UpdateEditMask();
  SetIgnoreMaskBlank(true);
  SetIncrement(1.0);
  SetMinValue(0);
  SetMaxValue(86399);
  SetAlwaysShowBlanksAndLiterals(true);
}

TcxCustomEditClass TcxCustomTimeEditProperties::GetEditClass() { return TcxTimeEdit::StaticClass(); }

TcxMaskEditCustomModeClass TcxCustomTimeEditProperties::GetModeClass(TcxEditMaskKind kind) {
  return TcxTimeEditMaskMode::StaticClass();
}

void TcxCustomTimeEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomTimeEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetAutoCorrectHours(s->FAutoCorrectHours);
    SetShowDate(s->FShowDate);
    SetTimeFormat(s->FTimeFormat);
    SetUse24HourFormat(s->FUse24HourFormat);
    SetUseTimeFormatWhenUnfocused(s->FUseTimeFormatWhenUnfocused);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

AnsiString TcxCustomTimeEditProperties::GetDisplayFormat() {
  return kDisplayFormats[FTimeFormat][FUse24HourFormat ? 1 : 0];
}

void TcxCustomTimeEditProperties::UpdateEditMask() { SetEditMask(orv::TimeEditMask(FTimeFormat, FUse24HourFormat)); }

void TcxCustomTimeEditProperties::SetShowDate(Boolean value) {
  if (value == FShowDate) return;
  FShowDate = value;
  Changed();
}

void TcxCustomTimeEditProperties::SetTimeFormat(TcxTimeEditTimeFormat value) {
  if (value == FTimeFormat) return;
  FTimeFormat = value;
  UpdateEditMask();
  Changed();
}

void TcxCustomTimeEditProperties::SetUse24HourFormat(Boolean value) {
  if (value == FUse24HourFormat) return;
  FUse24HourFormat = value;
  UpdateEditMask();
  Changed();
}

void TcxCustomTimeEditProperties::SetUseTimeFormatWhenUnfocused(Boolean value) {
  if (value == FUseTimeFormatWhenUnfocused) return;
  FUseTimeFormatWhenUnfocused = value;
  Changed();
}

void TcxCustomTimeEditProperties::FormatChanged() {
  // The locale's AM/PM text shapes the 12-hour masks.
  BeginUpdate();
  try {
    UpdateEditMask();
    inherited::FormatChanged();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

Byte TcxCustomTimeEditProperties::GetTimePartAt(Integer position) {
  const Integer maxLength = GetMaxLength();
  if (maxLength > 0 && maxLength < position) position = maxLength;
  if (!FUse24HourFormat && position > 8 - 3 * Integer(FTimeFormat)) return tpAmPm;
  const AnsiString format = UpperCase(GetDisplayFormat());
  const Integer length = Integer(format.size());
  position = std::clamp(position, 1, length);
  char c = format[std::size_t(position - 1)];
  if (c != 'H' && c != 'N' && c != 'S') c = format[std::size_t(std::min(position + 1, length) - 1)];
  return c == 'H' ? tpHour : c == 'N' ? tpMinute : tpSecond;
}

Integer TcxCustomTimeEditProperties::GetTimePartStart(Byte part) {
  return part == tpAmPm ? 10 - 3 * Integer(FTimeFormat) : 3 * Integer(part) + 1;
}

void TcxCustomTimeEditProperties::GetTimePartInfo(Integer position, TcxTimePartInfo& info) {
  info.Part = GetTimePartAt(position);
  info.Start = GetTimePartStart(info.Part);
  info.Length = GetTimePartLength(info.Part);
  info.AmPmKind = GetAmPmKind();
  info.Use24HourFormat = FUse24HourFormat;
}

Boolean TcxCustomTimeEditProperties::IsDisplayValueValid(Variant& displayValue, Boolean focused) {
  TDateTime t = 0;
  if (!TryStrToDateTime(VarToStr(displayValue), t)) return false;
  displayValue = Variant(TrimRight(FormatDateTime(GetDisplayFormat(), t)));
  return true;
}

Boolean TcxCustomTimeEditProperties::AcceptsEditValue(const Variant& value) {
  if (VarIsStr(value)) {
    Variant v = value;
    return IsDisplayValueValid(v, false);
  }
  return VarIsNull(value) || VarIsEmpty(value) || IsDateOrNumber(value);
}

void TcxCustomTimeEditProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue,
                                                          Boolean focused) {
  const AnsiString format = GetDisplayFormat();
  if (VarIsNull(value) || VarIsEmpty(value)) {
    displayValue = Variant(focused ? TrimRight(FormatDateTime(format, 0)) : AnsiString());
    return;
  }
  if (!VarIsStr(value) && !IsDateOrNumber(value))
    throw EConvertError(GetLocalizedResourceString(&cxSEditTimeConvertError));
  AnsiString text;
  auto formatValue = [&](TDateTime v) {
    const Boolean withDate = v != 0 && FShowDate && std::trunc(v) != 0;
    if (focused) return FormatDateTime(format, v);
    if (FUseTimeFormatWhenUnfocused) return withDate ? DateTimeToStr(v) : FormatDateTime(format, v);
    return withDate ? DateTimeToStr(v) : TimeToStr(v);
  };
  try {
    TDateTime v = 0;
    if (VarIsStr(value))
      v = StrToDateTime(VarToStr(value));
    else
      v = value.AsDouble();
    text = formatValue(v);
  } catch (const Exception&) {
    // A text that is no time shows the current time rather than failing the display.
    text = formatValue(Now());
  }
  displayValue = Variant(TrimRight(text));
}

void TcxCustomTimeEditProperties::CheckDisplayValue(Variant& displayValue, AnsiString& errorText,
                                                    TcxCustomEdit* editor, Boolean& error) {
  if (errorText.empty()) errorText = GetLocalizedResourceString(&cxSEditTimeConvertError);
  Boolean changed = false;
  RunValidateHandlers(displayValue, errorText, changed, editor, error);
}

void TcxCustomTimeEditProperties::GetDefaultDisplayValue(Variant& value) {
  value = Variant(TrimRight(FormatDateTime(GetDisplayFormat(), 0)));
}

// ==== Mask mode ================================================================================

char TcxTimeEditMaskMode::GetBlankChar(Integer position) {
  auto* p = dynamic_cast<TcxCustomTimeEditProperties*>(GetModeProperties());
  if (p && p->GetTimePartAt(position) == tpAmPm) return 0;
  return '0';
}

// ==== Editor ===================================================================================

TcxCustomEditPropertiesClass TcxCustomTimeEdit::GetPropertiesClass() {
  return TcxCustomTimeEditProperties::StaticClass();
}

TcxCustomEditPropertiesClass TcxTimeEdit::GetPropertiesClass() { return TcxTimeEditProperties::StaticClass(); }

void TcxCustomTimeEdit::Initialize() {
  inherited::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
}

void TcxCustomTimeEdit::GetDisplayValue(Variant& value) { DisplayValueToEditValue(Variant(GetText()), value, true); }

void TcxCustomTimeEdit::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) {
  TcxCustomTimeEditProperties* p = TimeProperties();
  const AnsiString display = VarToStr(displayValue);
  const std::size_t digits = std::size_t(8 - 3 * Integer(p->GetTimeFormat()));
  AnsiString text = p->GetUse24HourFormat() ? display : display.substr(0, std::min(digits, display.size()));
  if (text.size() == 2) text += ":00";
  if (!p->GetUse24HourFormat()) {
    const AnsiString tail = display.size() >= digits ? display.substr(digits) : AnsiString();
    const AnsiString& am = FormatSettings.TimeAMString;
    const AnsiString& pm = FormatSettings.TimePMString;
    const AnsiString& suffix = tail.find(am) != AnsiString::npos ? am : pm;
    if (!suffix.empty()) text += " " + suffix;
  }
  TDateTime t = 0;
  if (!TryStrToTime(text, t)) t = 0;
  const Double sign = FDatePart < 0 ? -1 : 1;
  const Double v = sign * t + FDatePart;
  editValue = v != 0 ? Variant::FromDate(v) : Variant(0.0);
}

void TcxCustomTimeEdit::StoreDisplayValue(const Variant& value) {
  // In the 12-hour form an empty field shows no mask at all.
  if (!TimeProperties()->GetUse24HourFormat() && VarToStr(value).empty()) {
    SetInnerDisplayValue(Variant(AnsiString()));
    return;
  }
  inherited::StoreDisplayValue(value);
}

void TcxCustomTimeEdit::AssignEditValue(const Variant& value, Boolean isUserAction) {
  TDateTime v = 0;
  if ((isUserAction && !TimeProperties()->AcceptsEditValueFocused(value, Focused())) || IsEmptyTimeValue(value) ||
      !ValueToDateTime(value, v))
    FDatePart = 0;
  else
    FDatePart = std::trunc(v);
  inherited::AssignEditValue(value, isUserAction);
}

void TcxCustomTimeEdit::HandlePropertiesChange(TObject* sender) {
  if (GetInnerEdit()) {
    if (!Focused()) GetDataBinding()->UpdateDisplayValue();
    if (IcxInnerTextEdit* inner = GetInnerTextEdit()) inner->SetSelStart(Integer(GetText().size()));
  }
  inherited::HandlePropertiesChange(sender);
}

TDateTime TcxCustomTimeEdit::GetTime() {
  TDateTime v = 0;
  if (Focused()) {
    Variant edit;
    DisplayValueToEditValue(Variant(GetText()), edit, true);
    v = edit.AsDouble();
  } else {
    const Variant edit = GetEditValueProperty();
    if (!IsEmptyTimeValue(edit) && !ValueToDateTime(edit, v)) v = 0;
  }
  return std::fabs(FracOf(v));
}

void TcxCustomTimeEdit::SetTime(TDateTime value) {
  const Double sign = FDatePart < 0 ? -1 : 1;
  ChangeEditValue(Variant::FromDate(sign * std::fabs(FracOf(value)) + FDatePart));
}

Variant TcxCustomTimeEdit::GetValue() {
  if (!Focused()) return Variant(std::nearbyint(GetTime() * kSecondsPerDay));
  TcxCustomTimeEditProperties* p = TimeProperties();
  const AnsiString text = GetText();
  Integer hours = TwoDigits(text, 0);
  if (!p->GetUse24HourFormat()) hours %= 12;
  Integer seconds = hours * 3600;
  if (p->GetTimeFormat() != tfHour) seconds += TwoDigits(text, 3) * 60;
  if (p->GetTimeFormat() == tfHourMinSec) seconds += TwoDigits(text, 6);
  const AnsiString& pm = FormatSettings.TimePMString;
  if (!p->GetUse24HourFormat() && !pm.empty() && text.size() >= pm.size() &&
      text.compare(text.size() - pm.size(), pm.size(), pm) == 0)
    seconds += 43200;
  return Variant(Double(seconds));
}

void TcxCustomTimeEdit::SetValue(const Variant& value) {
  if (!IsNumericVariant(value)) return;
  SetTime(value.AsDouble() / kSecondsPerDay);
}

AnsiString TcxCustomTimeEdit::ValueToDisplayText(const Variant& value) {
  return inherited::ValueToDisplayText(Variant(value.AsDouble() / kSecondsPerDay));
}

Double TcxCustomTimeEdit::GetIncrement(Integer kind) {
  const Double step = TimeProperties()->GetIncrement(kind);
  const Integer caret = GetInnerTextEdit() ? GetInnerTextEdit()->GetSelStart() : 0;
  switch (TimeProperties()->GetTimePartAt(caret + 1)) {
    case tpHour: return step * 3600;
    case tpMinute: return step * 60;
    case tpSecond: return step;
    default: return GetValue().AsDouble() < 43200 ? 43200 : -43200;  // AM and PM swap either way
  }
}

Boolean TcxCustomTimeEdit::IncrementValue(Integer kind) {
  TcxCustomTimeEditProperties* p = TimeProperties();
  IcxInnerTextEdit* inner = HandleAllocated() ? GetInnerTextEdit() : nullptr;
  Integer start = 0;
  Integer length = 1;
  if (inner) {
    const Integer caret = inner->GetSelStart();
    if (p->GetTimePartAt(caret + 1) == tpAmPm) {
      // Select the text the swap will show.
      const AnsiString text = GetText();
      std::size_t i = std::size_t(8 - 3 * Integer(p->GetTimeFormat()));
      while (i < text.size() && text[i] == ' ') ++i;
      start = Integer(i);
      length = Integer((GetTime() >= 0.5 ? FormatSettings.TimeAMString : FormatSettings.TimePMString).size());
    } else {
      start = caret < 2 ? 1 : caret < 5 ? 4 : 7;
    }
  }
  const Boolean changed = inherited::IncrementValue(kind);
  if (inner && HandleAllocated()) SetSelection(start, length);
  return changed;
}

namespace {

// Writes characters into the inner edit's text at a 1-based position, keeping the caret.
void ReplaceTextAt(TcxCustomTextEdit* edit, const AnsiString& part, Integer position) {
  IcxInnerTextEdit* inner = edit->GetInnerTextEdit();
  if (!inner) return;
  AnsiString text = edit->GetText();
  const std::size_t at = std::size_t(position - 1);
  if (text.size() < at + part.size()) text.resize(at + part.size(), ' ');
  text.replace(at, part.size(), part);
  const Integer selStart = inner->GetSelStart();
  edit->SetInnerDisplayValue(Variant(text));
  inner->SetSelStart(selStart);
}

Boolean CheckDigit(TcxCustomTextEdit* edit, char& key, Integer position, const TcxTimePartInfo& info) {
  IcxInnerTextEdit* inner = edit->GetInnerTextEdit();
  const AnsiString text = edit->GetText();
  AnsiString part = text.size() >= std::size_t(info.Start + 1) ? text.substr(std::size_t(info.Start - 1), 2) : "00";
  const std::size_t index = std::size_t(std::clamp(position - info.Start, 0, 1));
  AnsiString typed = part;
  typed[index] = key;
  const Integer low = info.Part == tpHour && !info.Use24HourFormat ? 1 : 0;
  const Integer high = info.Part == tpHour ? (info.Use24HourFormat ? 23 : 12) : 59;
  const Integer value = TwoDigits(typed, 0);
  if (value >= low && value <= high) return true;
  auto moveOn = [&] {
    if (inner) {
      inner->SetSelStart(position);
      inner->SetSelLength(0);
    }
  };
  if (index == 0) {
    const char highFirst = char('0' + high / 10);
    if (key == '0') {
      ReplaceTextAt(edit, AnsiString("0") + part[0], info.Start);
      moveOn();
      key = 0;
    } else if (key <= highFirst) {
      ReplaceTextAt(edit, AnsiString(1, key) + "0", info.Start);
      moveOn();
      key = 0;
    } else {
      // The digit can only be the second one: the first becomes 0 and the mask writes the key next.
      ReplaceTextAt(edit, "0", info.Start);
      moveOn();
    }
    return true;
  }
  if (key == '0') return false;
  ReplaceTextAt(edit, "0", info.Start);
  return true;
}

Boolean CheckAmPm(TcxCustomTextEdit* edit, char& key, Integer position, const TcxTimePartInfo& info) {
  AnsiString am, pm;
  orv::GetAmPmStrings(info.AmPmKind, am, pm);
  // The first 1-based position at which the two texts differ, ignoring case.
  std::size_t differ = 0;
  const std::size_t common = std::min(am.size(), pm.size());
  while (differ < common && UpCase(am[differ]) == UpCase(pm[differ])) ++differ;
  if (differ == common && am.size() == pm.size()) differ = std::size_t(-1);  // identical: never differ
  const Integer d = differ == std::size_t(-1) ? Integer(1 << 20) : Integer(differ) + 1;
  const Integer pivot = info.Start + d - 1;
  const AnsiString text = edit->GetText();
  if (position < pivot) {
    const std::size_t i = std::size_t(position - info.Start);
    if (i >= am.size() || UpCase(key) != UpCase(am[i])) return false;
    key = am[i];
    return true;
  }
  if (position > pivot) {
    const std::size_t i = std::size_t(position - 1);
    if (i >= text.size() || UpCase(key) != UpCase(text[i])) return false;
    key = text[i];
    return true;
  }
  const std::size_t i = std::size_t(d - 1);
  const AnsiString* chosen = nullptr;
  if (i < am.size() && UpCase(key) == UpCase(am[i]))
    chosen = &am;
  else if (i < pm.size() && UpCase(key) == UpCase(pm[i]))
    chosen = &pm;
  if (!chosen) return false;
  ReplaceTextAt(edit, *chosen, info.Start);
  if (IcxInnerTextEdit* inner = edit->GetInnerTextEdit()) {
    inner->SetSelStart(info.Start - 1 + Integer(chosen->size()));
    inner->SetSelLength(0);
  }
  key = 0;
  return true;
}

}  // namespace

Boolean CheckTimePartChar(TcxCustomTextEdit* edit, char& key, Integer position, const TcxTimePartInfo& info) {
  return info.Part == tpAmPm ? CheckAmPm(edit, key, position, info) : CheckDigit(edit, key, position, info);
}

Boolean TcxCustomTimeEdit::CanInsertCharAt(char& key, Integer position) {
  TcxTimePartInfo info;
  TimeProperties()->GetTimePartInfo(position, info);
  return ::CheckTimePartChar(this, key, position, info);
}

// ==== Filter helper ============================================================================

TcxCustomEditClass TcxFilterTimeEditHelper::GetFilterEditorClass() const { return TcxTimeEdit::StaticClass(); }

void TcxFilterTimeEditHelper::InitializeEdit(TcxCustomEdit* edit, TcxCustomEditProperties* sourceProperties) const {
  inherited::InitializeEdit(edit, sourceProperties);
  if (auto* time = dynamic_cast<TcxCustomTimeEdit*>(edit)) time->SetTime(0);
}

// ==== Published ================================================================================

const orv::EnumNames<TcxTimeEditTimeFormat> kTimeFormatNames("TcxTimeEditTimeFormat",
                                                             {"tfHourMinSec", "tfHourMin", "tfHour"});

ORV_PUBLISH(TcxTimeEditProperties) {
  using T = TcxTimeEditProperties;
  p.Property("AutoCorrectHours", &T::GetAutoCorrectHours, &T::SetAutoCorrectHours).Default(true);
  p.Property("Circular", &T::GetCircular, &T::SetCircular).Default(false);
  p.Property("ImmediatePost", &T::GetImmediatePost, &T::SetImmediatePost).Default(false);
  p.Property("Increment", &T::GetIncrementStep, &T::SetIncrement).Stored([](T* x) { return x->GetIncrementStep() != 1.0; });
  p.Property("LargeIncrement", &T::GetLargeIncrement, &T::SetLargeIncrement)
      .Stored([](T* x) { return x->GetLargeIncrement() != 10.0; });
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T* x) { return x->IsReadOnlyStored(); });
  p.Property("ShowDate", &T::GetShowDate, &T::SetShowDate).Default(false);
  p.Property("SpinButtons", &T::GetSpinButtons, &T::SetSpinButtons);
  p.Property("TimeFormat", &T::GetTimeFormat, &T::SetTimeFormat).Default(tfHourMinSec);
  p.Property("UseCtrlIncrement", &T::GetUseCtrlIncrement, &T::SetUseCtrlIncrement).Default(false);
  p.Property("Use24HourFormat", &T::GetUse24HourFormat, &T::SetUse24HourFormat).Default(true);
  p.Property("UseTimeFormatWhenUnfocused", &T::GetUseTimeFormatWhenUnfocused, &T::SetUseTimeFormatWhenUnfocused)
      .Default(true);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnValidate", &T::GetOnValidate, &T::SetOnValidate);
}

ORV_PUBLISH(TcxTimeEdit) {
  using T = TcxTimeEdit;
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
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxTimeEditProperties* v) { x->SetProperties(v); });
  p.Property("EditValue", [](T* x) { return x->GetEditValueProperty(); },
             [](T* x, Variant v) { x->SetEditValue(v); });
  p.Property("Time", [](T* x) { return x->GetTime(); }, [](T* x, TDateTime v) { x->SetTime(v); }).Stored(false);
}
