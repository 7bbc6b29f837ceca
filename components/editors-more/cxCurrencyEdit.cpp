#include "components/editors-more/cxCurrencyEdit.h"

#include <cmath>

#include "components/data/cxFormats.h"
#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPublished.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"

namespace {

const bool kCurrencyEditRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxCurrencyEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryCurrencyItem));
  FilterEditsController()->AddHelperClass(TcxCurrencyEditProperties::StaticClass(),
                                          TcxFilterCurrencyEditHelper::StaticClass());
  return true;
}();

AnsiString WithoutThousandSeparators(const AnsiString& text) {
  AnsiString plain;
  for (char c : text)
    if (c != FormatSettings.ThousandSeparator) plain += c;
  return plain;
}

Boolean IsEmptyValue(const Variant& value) {
  return VarIsNull(value) || VarIsEmpty(value) || (VarIsStr(value) && VarToStr(value).empty());
}

}  // namespace

// ==== Assigned values ==========================================================================

void TcxCurrencyEditPropertiesValues::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* s = dynamic_cast<TcxCurrencyEditPropertiesValues*>(source)) SetDecimalPlaces(s->FDecimalPlaces);
}

void TcxCurrencyEditPropertiesValues::ResetToDefaults() {
  inherited::ResetToDefaults();
  SetDecimalPlaces(false);
}

void TcxCurrencyEditPropertiesValues::SetDecimalPlaces(Boolean value) {
  if (value == FDecimalPlaces) return;
  FDecimalPlaces = value;
  Changed();
}

// ==== Properties ===============================================================================

TcxCustomCurrencyEditProperties::TcxCustomCurrencyEditProperties(TPersistent* owner)
    : TcxCustomTextEditProperties(owner) {
  FNullable = true;
  SetValidateOnEnter(true);
}

TcxCustomEditClass TcxCustomCurrencyEditProperties::GetEditClass() { return TcxCurrencyEdit::StaticClass(); }

void TcxCustomCurrencyEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomCurrencyEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    GetCurrencyAssignedValues()->SetDecimalPlaces(false);
    if (s->IsDecimalPlacesStored()) SetDecimalPlaces(s->GetDecimalPlaces());
    SetNullable(s->FNullable);
    SetNullString(s->FNullString);
    SetUseThousandSeparator(s->FUseThousandSeparator);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

Integer TcxCustomCurrencyEditProperties::GetDecimalPlaces() {
  return IsDecimalPlacesStored() ? FDecimalPlaces : Integer(FormatSettings.CurrencyDecimals);
}

void TcxCustomCurrencyEditProperties::SetDecimalPlaces(Integer value) {
  if (IsDecimalPlacesStored() && value == FDecimalPlaces) return;
  GetCurrencyAssignedValues()->SetDecimalPlaces(true);
  FDecimalPlaces = value;
  Changed();
}

void TcxCustomCurrencyEditProperties::SetNullable(Boolean value) {
  if (value == FNullable) return;
  FNullable = value;
  Changed();
}

void TcxCustomCurrencyEditProperties::SetNullString(const AnsiString& value) {
  if (value == FNullString) return;
  FNullString = value;
  Changed();
}

void TcxCustomCurrencyEditProperties::SetUseThousandSeparator(Boolean value) {
  if (value == FUseThousandSeparator) return;
  FUseThousandSeparator = value;
  Changed();
}

Boolean TcxCustomCurrencyEditProperties::TextToCurrencyValue(const AnsiString& text, Double& value) {
  const AnsiString plain = WithoutThousandSeparators(text);
  double d = 0;
  if (TextToFloat(plain, d)) {
    const double magnitude = std::fabs(d);
    if (magnitude == 0 || (magnitude >= 5.0E-324 && magnitude <= 1.7E308)) {
      value = d;
      return true;
    }
  }
  value = 0;
  return plain.empty();
}

Boolean TcxCustomCurrencyEditProperties::FitsDecimalPlaces(const AnsiString& text) {
  const std::size_t separator = text.find(FormatSettings.DecimalSeparator);
  if (separator != AnsiString::npos) {
    std::size_t end = text.find_first_of("eE", separator + 1);
    if (end == AnsiString::npos) end = text.size();
    if (Integer(end - separator - 1) > GetDecimalPlaces()) return false;
  }
  Double value = 0;
  return TextToCurrencyValue(text, value);
}

Variant TcxCustomCurrencyEditProperties::DisplayTextToValue(const AnsiString& text) {
  Double value = 0;
  if (!text.empty() && text != FNullString && TextToCurrencyValue(text, value)) return Variant(value);
  return FNullable ? Null() : Variant(0.0);
}

Boolean TcxCustomCurrencyEditProperties::UsesEditingFormat(TcxCustomEdit* editor) {
  Boolean isCurrency = false, useFieldText = false;
  AnsiString format;
  GetEditingFormat(isCurrency, useFieldText, format, editor);
  return !format.empty() || useFieldText;
}

AnsiString TcxCustomCurrencyEditProperties::GetDefaultDisplayFormat() {
  return GetFormatController()->GetCurrencyPattern();
}

Integer TcxCustomCurrencyEditProperties::GetValueExchangeMode(Boolean focused) {
  if (focused) return 0;
  IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return provider && provider->UsesFieldDisplayText() ? 1 : 0;
}

Boolean TcxCustomCurrencyEditProperties::IsDisplayValueValid(Variant& displayValue, Boolean focused) {
  if (focused && UsesEditingFormat(nullptr)) return true;
  const AnsiString text = Trim(VarToStr(displayValue));
  Double value = 0;
  if (!TextToCurrencyValue(text, value)) return false;
  displayValue = Variant(text);
  return true;
}

void TcxCustomCurrencyEditProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue,
                                                              Boolean focused) {
  if (IsEmptyValue(value)) {
    if (focused)
      displayValue = Variant(AnsiString());
    else if (FNullable)
      displayValue = Variant(FNullString);
    else
      inherited::EditValueToDisplayValue(Variant(0.0), displayValue, false);
    return;
  }
  try {
    inherited::EditValueToDisplayValue(value, displayValue, focused);
  } catch (const EConvertError&) {
    displayValue = focused ? Variant(AnsiString()) : value;
  } catch (const EVariantError&) {
    displayValue = focused ? Variant(AnsiString()) : value;
  }
}

void TcxCustomCurrencyEditProperties::CheckDisplayValue(Variant& displayValue, AnsiString& errorText,
                                                        TcxCustomEdit* editor, Boolean& error) {
  Double value = 0;
  if (!TextToCurrencyValue(VarToStr(displayValue), value)) error = true;
  inherited::CheckDisplayValue(displayValue, errorText, editor, error);
}

// ==== Editor ===================================================================================

TcxCustomEditPropertiesClass TcxCustomCurrencyEdit::GetPropertiesClass() {
  return TcxCustomCurrencyEditProperties::StaticClass();
}

TcxCustomEditPropertiesClass TcxCurrencyEdit::GetPropertiesClass() { return TcxCurrencyEditProperties::StaticClass(); }

void TcxCustomCurrencyEdit::Initialize() {
  inherited::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
}

Double TcxCustomCurrencyEdit::GetValue() {
  if (Focused() && GetModifiedAfterEnter() && !IsEditValidated()) {
    Variant v;
    GetDisplayValue(v);
    return IsNumericVariant(v) ? v.AsDouble() : 0;
  }
  const Variant v = GetEditValueProperty();
  if (VarIsNull(v) || VarIsEmpty(v)) return 0;
  if (IsNumericVariant(v)) return v.AsDouble();
  double d = 0;
  return TextToFloat(WithoutThousandSeparators(VarToStr(v)), d) ? d : 0;
}

void TcxCustomCurrencyEdit::SetValue(Double value) {
  TcxCustomCurrencyEditProperties* p = CurrencyProperties();
  if (p->IsValueBoundDefined(0) && p->GetMinValue() > value)
    value = p->GetMinValue();
  else if (p->IsValueBoundDefined(1) && p->GetMaxValue() < value)
    value = p->GetMaxValue();
  ChangeEditValue(Variant(value));
}

void TcxCustomCurrencyEdit::GetDisplayValue(Variant& value) {
  value = CurrencyProperties()->DisplayTextToValue(GetText());
}

void TcxCustomCurrencyEdit::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue,
                                                    Boolean focused) {
  editValue = CurrencyProperties()->DisplayTextToValue(VarToStr(displayValue));
}

Boolean TcxCustomCurrencyEdit::IsValidChar(char c) {
  if (Byte(c) < 32) return inherited::IsValidChar(c);
  TcxCustomCurrencyEditProperties* p = CurrencyProperties();
  const Boolean candidate = (c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'e' || c == 'E' ||
                            c == FormatSettings.DecimalSeparator ||
                            (p->GetUseThousandSeparator() && c == FormatSettings.ThousandSeparator);
  if (!candidate) return false;
  AnsiString text = GetText();
  if (p->UsesEditingFormat(this) && !p->FitsDecimalPlaces(text)) return true;
  const Integer start = std::max(0, std::min(GetSelectionStart(), Integer(text.size())));
  const Integer length = std::max(0, std::min(GetSelectionLength(), Integer(text.size()) - start));
  text = text.substr(0, std::size_t(start)) + c + text.substr(std::size_t(start + length));
  if (text == "-") return true;
  return p->FitsDecimalPlaces(text);
}

void TcxCustomCurrencyEdit::DoEditKeyPress(char& key) {
  if (!CurrencyProperties()->GetUseThousandSeparator() && (key == '.' || key == ','))
    key = FormatSettings.DecimalSeparator;
  inherited::DoEditKeyPress(key);
}

void TcxCustomCurrencyEdit::ClampValueToBounds() {
  TcxCustomCurrencyEditProperties* p = CurrencyProperties();
  SetUserChangeInProgress(GetModifiedAfterEnter());
  const Double value = GetValue();
  if (p->IsValueBoundDefined(0) && value < p->GetMinValue())
    SetValue(p->GetMinValue());
  else if (p->IsValueBoundDefined(1) && value > p->GetMaxValue())
    SetValue(p->GetMaxValue());
  SetUserChangeInProgress(false);
}

void TcxCustomCurrencyEdit::PasteFromClipboard() {
  if (CanModify()) inherited::PasteFromClipboard();
}

void TcxCustomCurrencyEdit::HandlePropertiesChange(TObject* sender) {
  if (CurrencyProperties()->GetInFormatChange()) return;
  inherited::HandlePropertiesChange(sender);
}

// ==== Filter helper ============================================================================

TcxCustomEditClass TcxFilterCurrencyEditHelper::GetFilterEditorClass() const {
  return TcxCurrencyEdit::StaticClass();
}

void TcxFilterCurrencyEditHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                       TcxCustomEditProperties* sourceProperties,
                                                       Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  auto* currency = dynamic_cast<TcxCustomCurrencyEditProperties*>(properties);
  if (!currency) return;
  currency->SetMinValue(0);
  currency->SetMaxValue(0);
  currency->SetNullable(true);
  currency->SetNullString(AnsiString());
}

void TcxFilterCurrencyEditHelper::GetSupportedOperators(TcxCustomEditProperties* properties,
                                                        TcxValueTypeClass valueTypeClass,
                                                        TcxFilterControlOperators& operators,
                                                        Boolean extended) const {
  operators = TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10};
  if (extended)
    for (Integer i = 11; i <= 14; ++i) operators.Include(i);
}

// ==== Published ================================================================================

ORV_PUBLISH(TcxCurrencyEditPropertiesValues) {
  using T = TcxCurrencyEditPropertiesValues;
  p.Property("DecimalPlaces", &T::GetDecimalPlaces, &T::SetDecimalPlaces).Stored([](T*) { return false; });
}

ORV_PUBLISH(TcxCurrencyEditProperties) {
  using T = TcxCurrencyEditProperties;
  p.Property("DecimalPlaces", &T::GetDecimalPlaces, &T::SetDecimalPlaces)
      .Stored([](T* x) { return x->IsDecimalPlacesStored(); });
  p.Property("MaxValue", &T::GetMaxValue, &T::SetMaxValue).Stored([](T* x) { return x->IsMaxValueStored(); });
  p.Property("MinValue", &T::GetMinValue, &T::SetMinValue).Stored([](T* x) { return x->IsMinValueStored(); });
  p.Property("Nullable", &T::GetNullable, &T::SetNullable).Default(true);
  p.Property("NullString", &T::GetNullString, &T::SetNullString);
  p.Property("UseDisplayFormatWhenEditing", &T::GetUseDisplayFormatWhenEditing, &T::SetUseDisplayFormatWhenEditing)
      .Default(false);
  p.Property("UseThousandSeparator", &T::GetUseThousandSeparator, &T::SetUseThousandSeparator).Default(false);
  p.Property("ValidateOnEnter", &T::GetValidateOnEnter, &T::SetValidateOnEnter).Default(true);
}

ORV_PUBLISH(TcxCurrencyEdit) {
  using T = TcxCurrencyEdit;
  orv::PublishLayout(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(true);
  orv::PublishDrag(p);
  orv::PublishState(p);
  orv::PublishFont(p);
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("Properties", [](T* x) { return x->GetProperties(); },
             [](T* x, TcxCurrencyEditProperties* v) { x->SetProperties(v); });
  p.Property("EditValue", [](T* x) { return x->GetEditValueProperty(); },
             [](T* x, Variant v) { x->ChangeEditValueProperty(v); })
      .Stored([](T* x) { return !VarIsNull(x->GetEditValueProperty()); });
}
