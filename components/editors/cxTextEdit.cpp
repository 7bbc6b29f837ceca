#include "components/editors/cxTextEdit.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxExtEditConsts.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Forms.h"
#include "platform/controls/UserControls.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

template <class T>
using TextEditOwned = std::unique_ptr<T, orv::FreeDeleter>;
using TextEditLinkGuard = orv::TObjectLinkGuard;

AnsiString TextEditResText(PResStringRec rec) { return GetLocalizedResourceString(rec); }

// Restores a Boolean on scope exit.
class TTextEditFlagSave {
 public:
  TTextEditFlagSave(Boolean& flag, Boolean value) : FFlag(flag), FOld(flag) { flag = value; }
  ~TTextEditFlagSave() { FFlag = FOld; }
  TTextEditFlagSave(const TTextEditFlagSave&) = delete;
  TTextEditFlagSave& operator=(const TTextEditFlagSave&) = delete;

 private:
  Boolean& FFlag;
  Boolean FOld;
};

// The user-edit flag of an editor, set for a scope and put back after it.
class TTextEditUserChange {
 public:
  TTextEditUserChange(TcxCustomEdit* edit, Boolean value) : FEdit(edit), FOld(edit->GetUserChangeInProgress()) {
    edit->SetUserChangeInProgress(value);
  }
  ~TTextEditUserChange() { FEdit->SetUserChangeInProgress(FOld); }
  TTextEditUserChange(const TTextEditUserChange&) = delete;
  TTextEditUserChange& operator=(const TTextEditUserChange&) = delete;

 private:
  TcxCustomEdit* FEdit;
  Boolean FOld;
};

Boolean TextEditVarIsDate(const Variant& v) { return VarType(v) == varDate; }

// Whether the class or one of its bases publishes a property of that name.
Boolean TextEditClassPublishes(TClass c, const char* name) {
  for (; c; c = c->ClassParent())
    if (const orv::PropertyList* list = orv::FindPublished(c))
      if (list->FindProperty(name)) return true;
  return false;
}

AnsiString TextEditPlainText(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value)) return {};
  try {
    if (TextEditVarIsDate(value)) return DateTimeToStr(VarToDateTime(value));
    return VarToStr(value);
  } catch (const EVariantError&) {
    return {};
  }
}

UINT gRedrawMisspellingsMessage = 0;
UINT gSpellCheckerAutoCorrectMessage = 0;

// The registration of the text editor at start-up.
struct TTextEditUnitStart {
  TTextEditUnitStart() {
    gRedrawMisspellingsMessage = RegisterWindowMessage("WM_REDRAWMISSPELLINGS");
    gSpellCheckerAutoCorrectMessage = RegisterWindowMessage("WM_SPELLCHECKERAUTOCORRECT");
  }
};

void EnsureTextEditUnitStarted() {
  static TTextEditUnitStart start;
  orv::StartExtEditConstsUnit();
  static bool registered = false;
  if (!registered) {
    registered = true;
    GetEditPropertiesRegistry()->AddClass(TcxTextEditProperties::StaticClass(),
                                          TextEditResText(&scxSEditRepositoryTextItem));
    FilterEditsController()->AddHelperClass(TcxTextEditProperties::StaticClass(),
                                            TcxFilterTextEditHelper::StaticClass());
  }
}

}  // namespace

UINT GetRedrawMisspellingsMessage() {
  EnsureTextEditUnitStarted();
  return gRedrawMisspellingsMessage;
}

UINT GetSpellCheckerAutoCorrectMessage() {
  EnsureTextEditUnitStarted();
  return gSpellCheckerAutoCorrectMessage;
}

// ==== Published ===============================================================================

const orv::EnumNames<TcxEditEchoMode> kEchoModeNames("TcxEditEchoMode", {"eemNormal", "eemPassword"});
const orv::EnumNames<TcxTextEditViewStyle> kTextEditViewStyleNames(
    "TcxTextEditViewStyle", {"vsNormal", "vsHideCursor", "vsButtonsOnly", "vsButtonsAutoWidth"});

ORV_PUBLISH(TcxTextEditPropertiesValues) {
  using T = TcxTextEditPropertiesValues;
  p.Property("DisplayFormat", &T::GetDisplayFormat, &T::SetDisplayFormat)
      .Stored([](T* v) { return v->IsDisplayFormatStored(); });
  p.Property("EditFormat", &T::GetEditFormat, &T::SetEditFormat).Stored([](T* v) { return v->IsEditFormatStored(); });
  p.Property("MaxLength", &T::GetMaxLength, &T::SetMaxLength).Stored([](T*) { return false; });
}

ORV_PUBLISH(TcxTextEditProperties) {
  using T = TcxTextEditProperties;
  p.Property("Alignment", &T::GetAlignment).Stored([](T* t) { return t->IsAlignmentStored(); });
  p.Property("AssignedValues", &T::GetTextAssignedValues);
  p.Property("AutoSelect", &T::GetAutoSelect, &T::SetAutoSelect).Default(true);
  p.Property("BeepOnError", &T::GetBeepOnError, &T::SetBeepOnError).Default(false);
  p.Property("CharCase", &T::GetCharCase, &T::SetCharCase).Default(ecNormal);
  p.Property("ClearKey", &T::GetClearKey, &T::SetClearKey).Default(TShortCut(0));
  p.Property("EchoMode", &T::GetEchoMode, &T::SetEchoMode).Default(eemNormal);
  p.Property("HideSelection", &T::GetHideSelection, &T::SetHideSelection).Default(true);
  p.Property("IncrementalSearch", &T::GetIncrementalSearch, &T::SetIncrementalSearch).Default(true);
  p.Property("LookupItems", &T::GetLookupItems, &T::SetLookupItems);
  p.Property("LookupItemsSorted", &T::GetLookupItemsSorted, &T::SetLookupItemsSorted).Default(false);
  p.Property("MaxLength", &T::GetMaxLength, &T::SetMaxLength).Stored([](T* t) { return t->IsMaxLengthStored(); });
  p.Property("OEMConvert", &T::GetOEMConvert, &T::SetOEMConvert).Default(false);
  p.Property("PasswordChar", &T::GetPasswordChar, &T::SetPasswordChar).Default(char(0));
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T* t) { return t->IsReadOnlyStored(); });
  p.Property("UseLeftAlignmentOnEditing", &T::GetUseLeftAlignmentOnEditing, &T::SetUseLeftAlignmentOnEditing)
      .Stored([](T* t) { return t->IsUseLeftAlignmentOnEditingStored(); });
  p.Property("ValidateOnEnter", &T::GetValidateOnEnter, &T::SetValidateOnEnter).Default(false);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnNewLookupDisplayText", &T::GetOnNewLookupDisplayText, &T::SetOnNewLookupDisplayText);
  p.Property("OnValidate", &T::GetOnValidate, &T::SetOnValidate);
}

ORV_PUBLISH(TcxTextEdit) {
  using T = TcxTextEdit;
  orv::PublishLayout(p);
  p.Property("AutoSize", &T::GetAutoSize, &T::SetAutoSize).Default(true);
  p.Property("BeepOnEnter", &T::GetBeepOnEnter, &T::SetBeepOnEnter).Default(true);
  orv::PublishDrag(p);
  orv::PublishState(p);
  orv::PublishColor(p, clWindow, false);
  orv::PublishFont(p);
  p.Property("Properties", &T::GetProperties);
  p.Property("Style", &T::GetEditStyle);
  p.Property("StyleDisabled", &T::GetEditStyleDisabled);
  p.Property("StyleFocused", &T::GetEditStyleFocused);
  p.Property("StyleHot", &T::GetEditStyleHot);
  orv::PublishTabs(p, true);
  p.Property("Text", &T::GetTextProperty, &T::SetTextProperty);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("OnEditing", &T::GetOnEditing, &T::SetOnEditing);
}

// ==== Assigned values =========================================================================

void TcxTextEditPropertiesValues::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxTextEditPropertiesValues*>(source)) {
    Properties()->BeginUpdate();
    try {
      inherited::Assign(source);
      FDisplayFormat = s->FDisplayFormat;
      FEditFormat = s->FEditFormat;
      FMaxLength = s->FMaxLength;
    } catch (...) {
      Properties()->EndUpdate();
      throw;
    }
    Properties()->EndUpdate();
    return;
  }
  inherited::Assign(source);
}

void TcxTextEditPropertiesValues::ResetToDefaults() {
  Properties()->BeginUpdate();
  try {
    inherited::ResetToDefaults();
    FDisplayFormat = false;
    FEditFormat = false;
    FMaxLength = false;
  } catch (...) {
    Properties()->EndUpdate();
    throw;
  }
  Properties()->EndUpdate();
}

void TcxTextEditPropertiesValues::SetDisplayFormat(Boolean value) {
  if (FDisplayFormat == value) return;
  FDisplayFormat = value;
  Changed();
}

void TcxTextEditPropertiesValues::SetEditFormat(Boolean value) {
  if (FEditFormat == value) return;
  FEditFormat = value;
  Changed();
}

void TcxTextEditPropertiesValues::SetMaxLength(Boolean value) {
  if (FMaxLength == value) return;
  FMaxLength = value;
  if (auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties())) p->MaxLengthChanged();
}

Boolean TcxTextEditPropertiesValues::IsDisplayFormatStored() {
  auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties());
  return FDisplayFormat && p && p->IsDisplayFormatStored() && p->GetDisplayFormat().empty() &&
         TextEditClassPublishes(p->ClassType(), "DisplayFormat");
}

Boolean TcxTextEditPropertiesValues::IsEditFormatStored() {
  auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties());
  return FEditFormat && p && p->GetEditFormat().empty() && TextEditClassPublishes(p->ClassType(), "EditFormat");
}

// ==== Properties ==============================================================================

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* owner) : TcxCustomEditProperties(owner) {
  EnsureTextEditUnitStarted();
  FLookupItems = new TStringList;
  FLookupItems->SetDuplicates(dupAccept);
  FLookupItems->SetOnChange(TNotifyEvent(this, &TcxCustomTextEditProperties::LookupItemsChanged));
  GetFormatController()->AddFormatListener(this);
}

void TcxCustomTextEditProperties::BeforeDestruction() {
  if (TcxFormatController* controller = GetFormatController()) controller->RemoveFormatListener(this);
  inherited::BeforeDestruction();
}

TcxCustomTextEditProperties::~TcxCustomTextEditProperties() { orv::Free(FLookupItems); }

void TcxCustomTextEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomTextEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetCharCase(s->FCharCase);
    SetEchoMode(s->FEchoMode);
    SetKeepFixedListPrefix(s->FKeepFixedListPrefix);
    SetHideCursor(s->FHideCursor);
    SetHideSelection(s->FHideSelection);
    FImmediateUpdateText = s->FImmediateUpdateText;
    SetIncrementalSearch(s->FIncrementalSearch);
    SetRecentItemsMode(s->FRecentItemsMode);
    FExtraValidChars = s->FExtraValidChars;
    FLookupItems->SetSorted(false);
    FLookupItems->Assign(s->FLookupItems);
    FLookupItems->SetSorted(s->FLookupItems->GetSorted());
    TcxTextEditPropertiesValues* values = GetTextAssignedValues();
    TcxTextEditPropertiesValues* sourceValues = s->GetTextAssignedValues();
    values->SetDisplayFormat(false);
    if (sourceValues->GetDisplayFormat()) SetDisplayFormat(s->FDisplayFormat);
    values->SetEditFormat(false);
    if (sourceValues->GetEditFormat()) SetEditFormat(s->FEditFormat);
    values->SetMaxLength(false);
    if (sourceValues->GetMaxLength()) SetMaxLength(s->FMaxLength);
    SetOEMConvert(s->FOEMConvert);
    SetPasswordChar(s->FPasswordChar);
    SetUseDisplayFormatWhenEditing(s->FUseDisplayFormatWhenEditing);
    FOnNewLookupDisplayText = s->FOnNewLookupDisplayText;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomTextEditProperties::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("IsDisplayFormatAssigned",
                        TReaderProc(this, &TcxCustomTextEditProperties::ReadIsDisplayFormatAssigned), TWriterProc(),
                        false);
}

void TcxCustomTextEditProperties::ReadIsDisplayFormatAssigned(TReader* reader) {
  if (reader->ReadBoolean()) GetTextAssignedValues()->SetDisplayFormat(true);
}

void TcxCustomTextEditProperties::FormatChanged() {
  TTextEditFlagSave inFormatChange(FInFormatChange, true);
  Changed();
}

void TcxCustomTextEditProperties::AlignmentChanged(TObject* sender) {
  BeginUpdate();
  try {
    inherited::AlignmentChanged(sender);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

AnsiString TcxCustomTextEditProperties::GetDisplayFormat() {
  if (GetTextAssignedValues()->GetDisplayFormat()) return FDisplayFormat;
  if (IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider()) {
    AnsiString format = provider->DefaultDisplayFormat();
    if (!format.empty()) return format;
  }
  return GetDefaultDisplayFormat();
}

void TcxCustomTextEditProperties::SetDisplayFormat(const AnsiString& value) {
  TcxTextEditPropertiesValues* values = GetTextAssignedValues();
  if (values->GetDisplayFormat() && FDisplayFormat == value) return;
  BeginUpdate();
  try {
    values->SetDisplayFormat(true);
    FDisplayFormat = value;
    Changed();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

AnsiString TcxCustomTextEditProperties::GetEditFormat() {
  Boolean isCurrency = false;
  Boolean useFieldText = false;
  AnsiString format;
  GetEditingFormat(isCurrency, useFieldText, format, nullptr);
  return format;
}

void TcxCustomTextEditProperties::SetEditFormat(const AnsiString& value) {
  TcxTextEditPropertiesValues* values = GetTextAssignedValues();
  if (values->GetEditFormat() && FEditFormat == value) return;
  BeginUpdate();
  try {
    values->SetEditFormat(true);
    FEditFormat = value;
    Changed();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

Integer TcxCustomTextEditProperties::GetMaxLength() {
  return GetTextAssignedValues()->GetMaxLength() ? FMaxLength : GetDefaultMaxLength();
}

void TcxCustomTextEditProperties::SetMaxLength(Integer value) {
  if (value < 0) value = 0;
  TcxTextEditPropertiesValues* values = GetTextAssignedValues();
  if (values->GetMaxLength() && FMaxLength == value) return;
  BeginUpdate();
  try {
    FMaxLength = value;
    values->SetMaxLength(true);
    MaxLengthChanged();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

Integer TcxCustomTextEditProperties::GetDefaultMaxLength() {
  IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return provider ? provider->DefaultMaxLength() : 0;
}

void TcxCustomTextEditProperties::SetCharCase(TEditCharCase value) {
  if (FCharCase == value) return;
  FCharCase = value;
  Changed();
}

void TcxCustomTextEditProperties::SetEchoMode(TcxEditEchoMode value) {
  if (FEchoMode == value) return;
  FEchoMode = value;
  Changed();
}

void TcxCustomTextEditProperties::SetHideCursor(Boolean value) {
  if (FHideCursor == value) return;
  FHideCursor = value;
  Changed();
}

void TcxCustomTextEditProperties::SetHideSelection(Boolean value) {
  if (FHideSelection == value) return;
  FHideSelection = value;
  Changed();
}

void TcxCustomTextEditProperties::SetIncrementalSearch(Boolean value) {
  if (FIncrementalSearch == value) return;
  FIncrementalSearch = value;
  Changed();
}

void TcxCustomTextEditProperties::SetKeepFixedListPrefix(Boolean value) {
  if (FKeepFixedListPrefix == value) return;
  FKeepFixedListPrefix = value;
  if (GetEditingStyle() == 2) Changed();
}

void TcxCustomTextEditProperties::SetOEMConvert(Boolean value) {
  if (FOEMConvert == value) return;
  FOEMConvert = value;
  Changed();
}

void TcxCustomTextEditProperties::SetPasswordChar(char value) {
  if (FPasswordChar == value) return;
  FPasswordChar = value;
  Changed();
}

void TcxCustomTextEditProperties::SetRecentItemsMode(Boolean value) {
  if (FRecentItemsMode == value) return;
  FRecentItemsMode = value;
  Changed();
}

void TcxCustomTextEditProperties::SetUseDisplayFormatWhenEditing(Boolean value) {
  if (FUseDisplayFormatWhenEditing == value) return;
  FUseDisplayFormatWhenEditing = value;
  Changed();
}

TcxTextEditViewStyle TcxCustomTextEditProperties::GetViewStyle() {
  switch (GetButtonsViewStyle()) {
    case 1: return vsButtonsOnly;
    case 2: return vsButtonsAutoWidth;
    default: return FHideCursor ? vsHideCursor : vsNormal;
  }
}

void TcxCustomTextEditProperties::SetViewStyle(TcxTextEditViewStyle value) {
  if (GetViewStyle() == value) return;
  BeginUpdate();
  try {
    SetButtonsViewStyle(value == vsButtonsOnly ? 1 : value == vsButtonsAutoWidth ? 2 : 0);
    SetHideCursor(value != vsNormal);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomTextEditProperties::ValidateValueBounds(Variant& displayValue, AnsiString& errorText,
                                                      TcxCustomEdit* editor, Boolean& error) {
  Variant value;
  editor->DisplayValueToEditValue(displayValue, value, editor->IsFocusedForDisplay());
  if (!VarIsNumeric(value) && !TextEditVarIsDate(value)) return;
  const Double v = value.AsDouble();
  if ((IsValueBoundDefined(0) && v < GetMinValue()) || (IsValueBoundDefined(1) && v > GetMaxValue())) {
    error = true;
    errorText = TextEditResText(&cxSEditValueOutOfBounds);
  }
}

Boolean TcxCustomTextEditProperties::IsLookupText(const AnsiString& text) {
  const AnsiString upper = AnsiUpperCase(text);
  for (Integer i = 0; i < FLookupItems->GetCount(); ++i)
    if (AnsiUpperCase(FLookupItems->Get(i)) == upper) return true;
  return false;
}

TClass TcxCustomTextEditProperties::GetLookupDataClass() { return TcxCustomTextEditLookupData::StaticClass(); }

void TcxCustomTextEditProperties::GetEditingFormat(Boolean& isCurrency, Boolean& useFieldText, AnsiString& format,
                                                   TcxCustomEdit* editor) {
  isCurrency = false;
  useFieldText = false;
  format.clear();
  if (GetTextAssignedValues()->GetEditFormat()) {
    format = FEditFormat;
    return;
  }
  IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  if ((!editor || !editor->IsInplace()) && provider && provider->UsesFieldDisplayText()) {
    useFieldText = true;
    return;
  }
  if (provider && !provider->DefaultEditFormat().empty()) {
    format = provider->DefaultEditFormat();
    return;
  }
  if (GetTextAssignedValues()->GetDisplayFormat()) format = FDisplayFormat;
  if (format.empty() && provider) format = provider->DefaultDisplayFormat();
  if (format.empty()) format = GetDefaultDisplayFormat();
  if (format.empty() && provider)
    isCurrency = !(GetDisplayFormatOptions() & dfoNoCurrencyValue) && provider->IsCurrency();
  if (!FUseDisplayFormatWhenEditing) format.clear();
}

Boolean TcxCustomTextEditProperties::IsValueBoundDefined(Integer bound) {
  TcxCustomEditPropertiesValues* values = GetAssignedValues();
  if (values->GetMinValue() != values->GetMaxValue()) return bound == 0 ? values->GetMinValue() : values->GetMaxValue();
  return GetMaxValue() > GetMinValue();
}

void TcxCustomTextEditProperties::ApplyEchoModeAndCharCase(AnsiString& text) {
  if (FEchoMode == eemPassword) {
    text.assign(text.size(), FPasswordChar ? FPasswordChar : '*');
    return;
  }
  if (FCharCase == ecUpperCase)
    text = AnsiUpperCase(text);
  else if (FCharCase == ecLowerCase)
    text = AnsiLowerCase(text);
}

Boolean TcxCustomTextEditProperties::IsDisplayValueValid(Variant& displayValue, Boolean focused) {
  AnsiString text = TextEditPlainText(displayValue);
  const Integer style = GetEditingStyle();
  if (!text.empty() && (style == 1 || style == 2) && UseLookupData() && !IsLookupText(text)) return false;
  if (FCharCase == ecUpperCase)
    text = AnsiUpperCase(text);
  else if (FCharCase == ecLowerCase)
    text = AnsiLowerCase(text);
  displayValue = Variant(text);
  return true;
}

TcxCustomEditViewDataClass TcxCustomTextEditProperties::GetViewDataClass() {
  return TcxCustomTextEditViewData::StaticClass();
}

TcxCustomEditClass TcxCustomTextEditProperties::GetEditClass() { return TcxTextEdit::StaticClass(); }

TcxCustomEditViewInfoClass TcxCustomTextEditProperties::GetViewInfoClass() {
  return TcxCustomTextEditViewInfo::StaticClass();
}

Boolean TcxCustomTextEditProperties::AreDisplayValuesEqual(const Variant& v1, const Variant& v2) {
  AnsiString a;
  AnsiString b;
  EditValueToDisplayTextFocused(v1, a, true);
  EditValueToDisplayTextFocused(v2, b, true);
  return AnsiCompareStr(a, b) == 0;
}

void TcxCustomTextEditProperties::EditValueToDisplayText(const Variant& value, AnsiString& text) {
  EditValueToDisplayTextFocused(value, text, !IsFocusDependent());
}

void TcxCustomTextEditProperties::EditValueToDisplayTextFocused(const Variant& value, AnsiString& text,
                                                                Boolean focused) {
  text.clear();
  try {
    if (HasDataDisplayFormat()) {
      text = TextEditPlainText(value);
    } else if (AcceptsEditValueFocused(value, focused)) {
      Variant display;
      EditValueToDisplayValue(value, display, focused);
      text = TextEditPlainText(display);
    } else {
      text = TextEditPlainText(value);
    }
  } catch (const Exception&) {
    ApplyEchoModeAndCharCase(text);
    throw;
  }
  ApplyEchoModeAndCharCase(text);
}

Word TcxCustomTextEditProperties::GetCapabilities() { return Word(inherited::GetCapabilities() | 0x15E); }

Boolean TcxCustomTextEditProperties::AcceptsEditValue(const Variant& value) {
  return AcceptsEditValueFocused(value, false);
}

Boolean TcxCustomTextEditProperties::AcceptsEditValueFocused(const Variant& value, Boolean focused) {
  if (VarIsNull(value) || !VarIsStr(value)) return true;
  Variant v = value;
  return IsDisplayValueValid(v, focused);
}

AnsiString TcxCustomTextEditProperties::FormatNumericValue(const Variant& value, Boolean focused) {
  const AnsiString text = TextEditPlainText(value);
  Double number = 0;
  const Boolean isNumber = VarIsNumeric(value) ? (number = value.AsDouble(), true) : TryStrToFloat(text, number);
  if (focused) {
    Boolean isCurrency = false;
    Boolean useFieldText = false;
    AnsiString format;
    GetEditingFormat(isCurrency, useFieldText, format, nullptr);
    IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
    const Integer precision = provider ? provider->DefaultPrecision() : 15;
    if (isCurrency) {
      return isNumber ? FloatToStrF(number, ffFixed, precision, FormatSettings.CurrencyDecimals) : text;
    }
    if (!format.empty() && isNumber) return FormatFloat(format, number);
    return isNumber ? FloatToStrF(number, ffGeneral, precision, 0) : text;
  }
  const AnsiString format = GetDisplayFormat();
  if (!format.empty() && isNumber) return FormatFloat(format, number);
  return isNumber && VarIsNumeric(value) ? FloatToStrF(number, ffGeneral, 15, 0) : text;
}

void TcxCustomTextEditProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue,
                                                          Boolean focused) {
  if (IsEditValueNumeric()) {
    if (VarIsNull(value) || VarIsEmpty(value) || (VarIsStr(value) && VarToStr(value).empty())) {
      displayValue = Variant(AnsiString());
      return;
    }
    if (!VarIsNumeric(value) && !VarIsStr(value))
      throw EConvertError(TextEditResText(&cxSEditNumericValueConvertError));
    displayValue = Variant(FormatNumericValue(value, focused));
    return;
  }
  if (VarIsArray(value) && VarArrayDimCount(value) != 1) {
    displayValue = Variant(AnsiString());
    return;
  }
  displayValue = Variant(TextEditPlainText(value));
}

void TcxCustomTextEditProperties::CheckDisplayValue(Variant& displayValue, AnsiString& errorText,
                                                    TcxCustomEdit* editor, Boolean& error) {
  if (IsEditValueNumeric() && IsValueBoundsDefined()) ValidateValueBounds(displayValue, errorText, editor, error);
  inherited::CheckDisplayValue(displayValue, errorText, editor, error);
}

void TcxCustomTextEditProperties::DoNewLookupDisplayText(TObject* sender, const AnsiString& text) {
  if (FOnNewLookupDisplayText) FOnNewLookupDisplayText(sender, text);
}

// ==== Inner edit window =======================================================================

TcxCustomInnerTextEdit::TcxCustomInnerTextEdit(TComponent* owner) : TCustomEdit(owner) {
  FDoubleClickTimer = new TcxTimer(this);
  FDoubleClickTimer->SetEnabled(false);
  FDoubleClickTimer->SetInterval(GetDoubleClickTime());
  FDoubleClickTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomInnerTextEdit::DoubleClickTimerHandler));
  TControlStyle style = GetControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetParentColor(true);
  SetParentFont(false);
  TCustomEdit::SetAutoSize(false);
  FShownAlignment = taLeftJustify;
  FKeyHandled = false;
  FEchoMode = eemNormal;
  ApplyPasswordChar();
  FCreatingInner = false;
}

void TcxCustomInnerTextEdit::BeforeDestruction() {
  Destroying();
  // Its own message handlers watch it through links while they call into the editor, whose
  // handlers may free both.
  InvalidateObjectLinks(this);
  FOnSelChange = TNotifyEvent();
  inherited::BeforeDestruction();
}

TcxCustomTextEdit* TcxCustomInnerTextEdit::GetEdit() const {
  return dynamic_cast<TcxCustomTextEdit*>(const_cast<TcxCustomInnerTextEdit*>(this)->GetOwner());
}

TcxContainer* TcxCustomInnerTextEdit::GetControlContainer() { return GetEdit(); }

LRESULT TcxCustomInnerTextEdit::CallDefWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!HandleAllocated()) return 0;
  return CallWindowProc(GetDefWndProc(), GetHandle(), msg, wParam, lParam);
}

void TcxCustomInnerTextEdit::LockBounds(Boolean lock) {
  if (lock)
    ++FBoundsLock;
  else if (FBoundsLock > 0)
    --FBoundsLock;
}

void TcxCustomInnerTextEdit::SafelySetFocus() {
  const Boolean autoSelect = TCustomEdit::GetAutoSelect();
  TCustomEdit::SetAutoSelect(false);
  try {
    SetFocus();
  } catch (...) {
    TCustomEdit::SetAutoSelect(autoSelect);
    throw;
  }
  TCustomEdit::SetAutoSelect(autoSelect);
}

void TcxCustomInnerTextEdit::SetEditValue(const Variant& value) {
  const AnsiString text = VarIsNull(value) ? AnsiString() : VarToStr(value);
  const AnsiString old = GetText();
  SetText(text);
  if (GetComponentState().Contains(csDesigning) && old != text) Change();
}

Integer TcxCustomInnerTextEdit::GetFirstVisibleCharIndex() {
  if (!HandleAllocated()) return 0;
  return Integer(LOWORD(SendMessage(GetHandle(), EM_CHARFROMPOS, 0, MAKELPARAM(0, 0))));
}

void TcxCustomInnerTextEdit::SelectAll() {
  if (HandleAllocated()) TCustomEdit::SelectAll();
}

void TcxCustomInnerTextEdit::SetSelLength(Integer value) {
  if (HandleAllocated()) TCustomEdit::SetSelLength(value);
}

void TcxCustomInnerTextEdit::SetSelStart(Integer value) {
  if (HandleAllocated()) TCustomEdit::SetSelStart(value);
}

void TcxCustomInnerTextEdit::SetEchoMode(TcxEditEchoMode value) {
  if (FEchoMode == value) return;
  FEchoMode = value;
  ApplyPasswordChar();
}

void TcxCustomInnerTextEdit::SetPasswordChar(char value) {
  if (FPasswordValue == value) return;
  FPasswordValue = value;
  if (FEchoMode == eemPassword) ApplyPasswordChar();
}

void TcxCustomInnerTextEdit::ApplyPasswordChar() {
  TCustomEdit::SetPasswordChar(FEchoMode == eemPassword ? (FPasswordValue ? FPasswordValue : '*') : char(0));
}

Boolean TcxCustomInnerTextEdit::LeftAlignmentOnEditingApplies() {
  TcxCustomTextEdit* edit = GetEdit();
  if (!edit) return false;
  TcxCustomEditProperties* properties = edit->GetEffectiveProperties();
  return properties->GetUseLeftAlignmentOnEditing() && properties->GetAlignment()->GetHorz() != taLeftJustify;
}

void TcxCustomInnerTextEdit::SetAlignment(TAlignment value) {
  if (FAlignmentLock) return;
  TcxCustomTextEdit* edit = GetEdit();
  if (edit && edit->IsInplace() && LeftAlignmentOnEditingApplies()) value = taLeftJustify;
  if (value == FShownAlignment) return;
  FShownAlignment = value;
  TTextEditFlagSave lock(FAlignmentLock, true);
  TCustomEdit::SetAlignment(value);
  if (HandleAllocated()) RecreateControlWnd(this);
}

void TcxCustomInnerTextEdit::ApplyAlignmentForFocus(Boolean focused) {
  if (!LeftAlignmentOnEditingApplies()) return;
  TcxCustomTextEdit* edit = GetEdit();
  if (focused && edit->IsActiveControl()) {
    SetAlignment(taLeftJustify);
    edit->RefreshStateAtCursor(false);
  } else {
    SetAlignment(edit->GetEffectiveProperties()->GetAlignment()->GetHorz());
  }
}

void TcxCustomInnerTextEdit::DoubleClickTimerHandler(TObject* sender) { FDoubleClickTimer->SetEnabled(false); }

void TcxCustomInnerTextEdit::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  if (FCreatingInner || FBoundsLock > 0) return;
  TcxCustomTextEdit* edit = GetEdit();
  if (edit) edit->LockInnerControlMove(true);
  try {
    inherited::SetBounds(left, top, width, height);
  } catch (...) {
    if (edit) edit->LockInnerControlMove(false);
    throw;
  }
  if (edit) edit->LockInnerControlMove(false);
}

bool TcxCustomInnerTextEdit::CanFocus() {
  TcxCustomTextEdit* edit = GetEdit();
  return edit ? edit->CanFocus() : inherited::CanFocus();
}

void TcxCustomInnerTextEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  static constexpr DWORD kAlignStyles[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  params.Style &= ~DWORD(ES_RIGHT | ES_CENTER | WS_BORDER | WS_CAPTION | WS_THICKFRAME);
  params.Style |= kAlignStyles[FShownAlignment] | ES_AUTOHSCROLL;
  params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
}

void TcxCustomInnerTextEdit::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(GetHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 1));
}

void TcxCustomInnerTextEdit::DefaultHandler(TMessage& message) {
  TcxCustomTextEdit* edit = GetEdit();
  if (edit && edit->TryHandleInnerControlMessage(message)) return;
  inherited::DefaultHandler(message);
}

void TcxCustomInnerTextEdit::Click() {
  TextEditLinkGuard guard(this);
  inherited::Click();
  if (guard.Alive() && GetEdit()) GetEdit()->InnerClick();
}

void TcxCustomInnerTextEdit::DblClick() {
  TextEditLinkGuard guard(this);
  inherited::DblClick();
  if (guard.Alive() && GetEdit()) GetEdit()->InnerDblClick();
}

void TcxCustomInnerTextEdit::KeyDown(Word& key, TShiftState shift) {
  FDoubleClickTimer->SetEnabled(false);
  FKeyHandled = false;
  TextEditLinkGuard guard(this);
  if (TcxCustomTextEdit* edit = GetEdit()) edit->InnerKeyDown(key, shift);
  if (!guard.Alive()) return;
  FKeyHandled = key == 0;
  if (key != 0) inherited::KeyDown(key, shift);
}

void TcxCustomInnerTextEdit::KeyPress(char& key) {
  FKeyHandled = false;
  if (key == '\t') key = 0;
  TextEditLinkGuard guard(this);
  TcxCustomTextEdit* edit = GetEdit();
  if (edit) edit->InnerKeyPress(key);
  if (!guard.Alive()) return;
  if (edit && (key == '\r' || key == '\x1b') &&
      (edit->IsInplace() || edit->GetKeyClosedPopup() || (key == '\r' && !edit->GetBeepOnEnter()))) {
    key = 0;
    edit->SetKeyClosedPopup(false);
  }
  FKeyHandled = key == 0;
  if (key != 0) inherited::KeyPress(key);
}

void TcxCustomInnerTextEdit::KeyUp(Word& key, TShiftState shift) {
  FKeyHandled = false;
  if (key == VK_TAB) key = 0;
  TextEditLinkGuard guard(this);
  if (TcxCustomTextEdit* edit = GetEdit()) edit->InnerKeyUp(key, shift);
  if (!guard.Alive()) return;
  FKeyHandled = key == 0;
  if (key != 0) inherited::KeyUp(key, shift);
}

void TcxCustomInnerTextEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TextEditLinkGuard guard(this);
  inherited::MouseDown(button, shift, x, y);
  TcxCustomTextEdit* edit = GetEdit();
  if (!guard.Alive() || !edit) return;
  TextEditLinkGuard editGuard(edit);
  edit->SetInnerControlMouseDown(true);
  try {
    edit->InnerMouseDown(button, shift, x + GetLeft(), y + GetTop());
  } catch (...) {
    if (editGuard.Alive()) edit->SetInnerControlMouseDown(false);
    throw;
  }
  if (editGuard.Alive()) edit->SetInnerControlMouseDown(false);
}

void TcxCustomInnerTextEdit::MouseMove(TShiftState shift, Integer x, Integer y) {
  TextEditLinkGuard guard(this);
  inherited::MouseMove(shift, x, y);
  if (guard.Alive() && GetEdit()) GetEdit()->InnerMouseMove(shift, x + GetLeft(), y + GetTop());
}

void TcxCustomInnerTextEdit::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TextEditLinkGuard guard(this);
  inherited::MouseUp(button, shift, x, y);
  if (guard.Alive() && GetEdit()) GetEdit()->InnerMouseUp(button, shift, x + GetLeft(), y + GetTop());
}

void TcxCustomInnerTextEdit::WndProc(TMessage& message) {
  TcxCustomTextEdit* edit = GetEdit();
  if (edit && edit->PreprocessInnerKeyMessage(message)) return;
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
      if (edit && HandleAllocated() && LeftAlignmentOnEditingApplies() && GetFocus() != GetHandle() &&
          edit->GetEffectiveProperties()->GetAlignment()->GetHorz() == FShownAlignment) {
        inherited::WndProc(message);
        FDoubleClickTimer->SetEnabled(true);
        FClickSelectPending = true;
        return;
      }
      if (edit && edit->GetDragMode() == dmAutomatic && !GetComponentState().Contains(csDesigning)) {
        edit->BeginDrag(false);
        return;
      }
      if (FDoubleClickTimer->GetEnabled()) {
        FDoubleClickTimer->SetEnabled(false);
        FDoubleClickTimer->SetEnabled(true);
        message.Msg = WM_LBUTTONDBLCLK;
      }
      FClickSelectPending = false;
      break;
    case WM_LBUTTONDBLCLK:
      if (edit && edit->GetDragMode() == dmAutomatic && !GetComponentState().Contains(csDesigning)) {
        edit->BeginDrag(false);
        return;
      }
      if (FDoubleClickTimer->GetEnabled()) return;
      break;
    case WM_MOUSEMOVE: {
      TextEditLinkGuard guard(this);
      inherited::WndProc(message);
      if (guard.Alive() && FClickSelectPending) {
        FClickSelectPending = false;
        const Integer end = GetSelStart() + GetSelLength();
        TCustomEdit::SetSelStart(end);
        TCustomEdit::SetSelLength(0);
      }
      return;
    }
    default: break;
  }
  inherited::WndProc(message);
}

void TcxCustomInnerTextEdit::Dispatch(TMessage& message) {
  TcxCustomTextEdit* edit = GetEdit();
  auto selectionOf = [this](Integer& start, Integer& length) {
    DWORD s = 0;
    DWORD e = 0;
    if (HandleAllocated()) SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = Integer(s);
    length = Integer(e) - Integer(s);
  };
  switch (message.Msg) {
    case WM_KEYDOWN: {
      if (edit && edit->HasOpenPopup() &&
          edit->TextProperties()->IsLookupNavigationKey(Word(message.WParam), KeyDataToShiftState(message.LParam))) {
        if (IcxTextEditLookupData* data = edit->GetLookupDataInterface())
          if (TWinControl* list = data->GetListControl())
            if (list->HandleAllocated()) SendMessage(list->GetHandle(), WM_KEYDOWN, message.WParam, message.LParam);
        if (message.Result == 0) return;
      }
      const AnsiString oldText = GetText();
      Integer oldStart = 0;
      Integer oldLength = 0;
      selectionOf(oldStart, oldLength);
      FKeyHandled = false;
      TextEditLinkGuard guard(this);
      inherited::Dispatch(message);
      if (!guard.Alive() || !edit) return;
      Word key = Word(message.WParam);
      Integer start = 0;
      Integer length = 0;
      selectionOf(start, length);
      if (key != 0 && !FKeyHandled && oldText == GetText() && start == oldStart && length == oldLength &&
          PassesUnchangedKeyToOwner(key)) {
        edit->NotifyKeyToOwner(key, KeyDataToShiftState(message.LParam));
        message.WParam = key;
      }
      return;
    }
    case WM_CHAR: {
      const AnsiString oldText = GetText();
      Integer oldStart = 0;
      Integer oldLength = 0;
      selectionOf(oldStart, oldLength);
      FKeyHandled = false;
      TextEditLinkGuard guard(this);
      inherited::Dispatch(message);
      if (!guard.Alive() || !edit) return;
      edit->SetLookupSyncSuppressed(false);
      Integer start = 0;
      Integer length = 0;
      selectionOf(start, length);
      if (!FKeyHandled && (oldText != GetText() || start != oldStart || length != oldLength))
        edit->SetIncrementalSearchShown(false);
      return;
    }
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      message.Result |= DLGC_WANTCHARS;
      if (edit) {
        if (edit->WantsTabKey() && GetKeyState(VK_CONTROL) >= 0) message.Result |= DLGC_WANTTAB;
        if (edit->IsInplace() || edit->HasOpenPopup()) message.Result |= DLGC_WANTALLKEYS;
      }
      return;
    case EM_REPLACESEL:
      if (edit && edit->Focused() && !edit->DoEditing()) return;
      break;
    case EM_SETSEL: {
      TextEditLinkGuard guard(this);
      inherited::Dispatch(message);
      if (guard.Alive() && FOnSelChange) FOnSelChange(this);
      return;
    }
    case WM_CLEAR:
      if (TCustomEdit::GetReadOnly()) return;
      if (edit) {
        TTextEditUserChange user(edit, true);
        edit->ClearSelection();
        return;
      }
      break;
    case WM_UNDO: {
      TextEditLinkGuard guard(this);
      inherited::Dispatch(message);
      if (guard.Alive() && edit) edit->UndoPerformed();
      return;
    }
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_NCPAINT: message.Result = 0; return;
    case WM_SETFOCUS: {
      if (!GetComponentState().Contains(csDestroying)) ApplyAlignmentForFocus(true);
      TextEditLinkGuard guard(this);
      inherited::Dispatch(message);
      if (!guard.Alive() || GetComponentState().Contains(csDestroying) || !edit ||
          edit->IsContainerDestroying())
        return;
      if (!edit->HandleAllocated() || reinterpret_cast<HWND>(message.WParam) != edit->GetHandle())
        static_cast<TcxContainer*>(edit)->FocusChanged();
      return;
    }
    case WM_KILLFOCUS: {
      TextEditLinkGuard guard(this);
      inherited::Dispatch(message);
      if (!guard.Alive() || GetComponentState().Contains(csDestroying) || !edit || edit->IsContainerDestroying())
        return;
      FDoubleClickTimer->SetEnabled(false);
      ApplyAlignmentForFocus(false);
      static_cast<TcxContainer*>(edit)->FocusChanged();
      return;
    }
    case WM_SIZE: {
      inherited::Dispatch(message);
      if (HandleAllocated())
        SendMessage(GetHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 1));
      return;
    }
    case CM_MOUSEENTER: return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(message);
      if (edit) edit->RefreshStateAtCursor(true);
      return;
    default: break;
  }
  inherited::Dispatch(message);
}

// ==== Popup list box ==========================================================================

TcxCustomEditListBox::TcxCustomEditListBox(TComponent* owner) : TcxCustomInnerListBox(owner) {
  SetBorderStyle(bsNone);
  // Every item is measured (by the font), so a font change re-measures the rows.
  SetStyle(lbOwnerDrawVariable);
  // The rows are placeholders whose texts come from GetItemText: a fixed-height list has the
  // native list keep only their count, set in one message however many rows there are.
  SetOwnerDrawNoData(true);
}

void TcxCustomEditListBox::BeforeDestruction() {
  // The lookup data that made the list holds a link to it: it reads empty from here on.
  InvalidateObjectLinks(this);
  inherited::BeforeDestruction();
}

void TcxCustomEditListBox::SetItemCount(Integer count) {
  if (count < 0) count = 0;
  if (IsVirtual()) {
    if (GetCount() != count) SetCount(count);
    return;
  }
  TStrings* items = GetItems();
  if (items->GetCount() == count) return;
  items->BeginUpdate();
  try {
    while (items->GetCount() < count) items->Add(AnsiString());
    while (items->GetCount() > count) items->Delete(items->GetCount() - 1);
  } catch (...) {
    items->EndUpdate();
    throw;
  }
  items->EndUpdate();
}

void TcxCustomEditListBox::SelectionChanged() {
  SyncScrollBars();
  if (FOnSelectionChanged) FOnSelectionChanged(this);
}

void TcxCustomEditListBox::SetItemIndex(Integer value) {
  orv::TObjectLinkGuard guard(this);
  TcxCustomInnerListBox::SetItemIndex(value);
  if (guard.Alive()) SelectionChanged();
}

void TcxCustomEditListBox::Click() {
  orv::TObjectLinkGuard guard(this);
  inherited::Click();
  if (guard.Alive()) SelectionChanged();
}

AnsiString TcxCustomEditListBox::GetItemText(Integer index) { return GetItems()->Get(index); }

Integer TcxCustomEditListBox::GetItemHeight(Integer index) {
  TcxScreenCanvas* canvas = GetScreenCanvas();
  canvas->SetCanvasFont(GetFont());
  return canvas->TextHeightOf("Wg");
}

Integer TcxCustomEditListBox::GetItemWidth(Integer index) {
  TcxScreenCanvas* canvas = GetScreenCanvas();
  canvas->SetCanvasFont(GetFont());
  return canvas->TextWidthOf(GetItemText(index));
}

Boolean TcxCustomEditListBox::DrawsItemsByDefault() {
  if (!FEdit) return inherited::DrawsItemsByDefault();
  const Integer style = FEdit->TextProperties()->GetEditingStyle();
  return style == 2 || style == 3;
}

void TcxCustomEditListBox::DrawItem(Integer index, TRect rect, TOwnerDrawState state) {
  if (DoDrawItem(index, rect, state)) return;
  TCanvas* canvas = TCustomListBox::GetCanvas();
  canvas->FillRect(rect);
  if (index < 0 || index >= GetItems()->GetCount()) return;
  const AnsiString text = GetItemText(index);
  RECT r{rect.Left + 2, rect.Top, rect.Right, rect.Bottom};
  const int saved = SetBkMode(canvas->GetHandle(), TRANSPARENT);
  DrawText(canvas->GetHandle(), text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SetBkMode(canvas->GetHandle(), saved);
}

void TcxCustomEditListBox::MeasureItem(Integer index, Integer& height) { height = GetItemHeight(-1); }

void TcxCustomEditListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseMove(shift, x, y);
  if (!guard.Alive() || !FHotTrack || !HandleAllocated() || GetCapture() == GetHandle()) return;
  const Integer item = ItemAtPos(TPoint{x, y}, true);
  if (item >= 0 && item != GetItemIndex()) SetItemIndex(item);
}

bool TcxCustomEditListBox::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  if (inherited::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  if (!HandleAllocated()) return false;
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  orv::TObjectLinkGuard guard(this);
  for (UINT i = 0; i < lines && guard.Alive(); ++i)
    Perform(WM_VSCROLL, wheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  return true;
}

void TcxCustomEditListBox::Dispatch(TMessage& message) {
  if (message.Msg == WM_SHOWWINDOW && message.WParam != 0 && HandleAllocated()) {
    inherited::Dispatch(message);
    // The list draws its selection as focused while the editor keeps the focus.
    CallWindowProc(GetDefWndProc(), GetHandle(), WM_SETFOCUS, 0, 0);
    return;
  }
  inherited::Dispatch(message);
}

// ==== Lookup data =============================================================================

TcxCustomTextEdit* TcxCustomTextEditLookupData::OwnerEditor() { return dynamic_cast<TcxCustomTextEdit*>(GetOwner()); }

TcxCustomTextEditProperties* TcxCustomTextEditLookupData::TextProperties() {
  TcxCustomTextEdit* edit = OwnerEditor();
  return edit ? edit->TextProperties() : nullptr;
}

TcxCustomTextEditLookupData::~TcxCustomTextEditLookupData() { ReleaseObjectLink(FListBoxLink); }

TcxCustomEditListBox* TcxCustomTextEditLookupData::GetListBox() {
  return FListBoxLink ? static_cast<TcxCustomEditListBox*>(FListBoxLink->Ref) : nullptr;
}

Boolean TcxCustomTextEditLookupData::IsListVisible() {
  TWinControl* list = GetListControl();
  return list && list->HandleAllocated() && IsWindowVisible(list->GetHandle());
}

void TcxCustomTextEditLookupData::SetListControlIndex(Integer index) {
  if (TcxCustomEditListBox* list = GetListBox()) list->SetItemIndex(index);
}

void TcxCustomTextEditLookupData::UpdateListItemCount() {
  if (TcxCustomEditListBox* list = GetListBox()) list->SetItemCount(GetItemCount());
}

void TcxCustomTextEditLookupData::ClosePopupList() {
  TcxCustomTextEdit* edit = OwnerEditor();
  if (edit && edit->IsInOnEditing()) return;
  SetListIndex(FCurrentItem);
}

void TcxCustomTextEditLookupData::DoPrepareList(TWinControl* parent) {
  TcxCustomEditListBox* list = GetListBox();
  if (!list) {
    TcxCustomEditListBoxClass listClass = GetListBoxClass();
    if (!listClass) return;
    list = listClass.Create(static_cast<TComponent*>(parent));
    ReleaseObjectLink(FListBoxLink);
    FListBoxLink = CreateObjectLink(list);
  }
  TcxCustomTextEdit* edit = OwnerEditor();
  list->SetEdit(edit);
  if (edit) {
    list->SetColor(edit->GetBackgroundColor());
    list->GetFont()->Assign(edit->GetActiveFont());
    list->GetCanvas()->SetCanvasFont(edit->GetActiveFont());
  }
  list->SetParent(parent);
  list->SetOnSelectionChanged(TNotifyEvent(this, &TcxCustomTextEditLookupData::ListSelectionChanged));
  list->SetItemCount(GetItemCount());
  list->SetItemIndex(FListIndex);
  list->RecalculateItems();
  SyncWithEditText();
}

void TcxCustomTextEditLookupData::DoSetListBounds(const TRect& rect) {
  TcxCustomEditListBox* list = GetListBox();
  if (!list) return;
  list->SetBoundsRect(rect);
  if (list->HandleAllocated()) {
    // Makes the native list re-measure its horizontal extent for the new width.
    const Integer width = list->GetScrollWidth();
    list->SetScrollWidth(0);
    list->SetScrollWidth(width);
  }
}

Boolean TcxCustomTextEditLookupData::IsRowAtPoint(const TPoint& screenPoint) {
  TWinControl* list = GetListControl();
  if (!list || !list->HandleAllocated()) return false;
  const TPoint p = list->ScreenToClient(screenPoint);
  const TRect r = list->GetClientRect();
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

AnsiString TcxCustomTextEditLookupData::GetItem(Integer index) {
  return TextProperties()->GetLookupItems()->Get(index);
}

Integer TcxCustomTextEditLookupData::GetItemCount() {
  TcxCustomTextEditProperties* properties = TextProperties();
  return properties ? properties->GetLookupItems()->GetCount() : 0;
}

void TcxCustomTextEditLookupData::ListSelectionChanged(TObject* sender) {
  if (auto* list = dynamic_cast<TCustomListBox*>(GetListControl())) FListIndex = list->GetItemIndex();
}

Integer TcxCustomTextEditLookupData::FindItem(const AnsiString& text) {
  const AnsiString upper = AnsiUpperCase(text);
  const Integer count = GetItemCount();
  for (Integer i = 0; i < count; ++i)
    if (AnsiUpperCase(GetItem(i)) == upper) return i;
  return -1;
}

void TcxCustomTextEditLookupData::SetCurrentItem(Integer index) {
  if (index < -1 || index >= GetItemCount()) return;
  FCurrentItem = index;
  SetListIndex(index);
}

void TcxCustomTextEditLookupData::SetListIndex(Integer index) {
  if (index < -1 || index >= GetItemCount()) return;
  if (index == FListIndex && index != -1) return;
  if (GetListControl() && GetItemCount() > 0) {
    if (index == -1) SetListControlIndex(0);
    SetListControlIndex(index);
  }
  FListIndex = index;
}

AnsiString TcxCustomTextEditLookupData::GetKeyText(Integer key) {
  if (key < 0 || key >= GetItemCount()) return {};
  return GetItem(key);
}

AnsiString TcxCustomTextEditLookupData::GetKeyDisplayText(const Variant& key) {
  if (VarIsNull(key) || VarIsEmpty(key)) return {};
  return GetKeyText(key.AsInteger());
}

Boolean TcxCustomTextEditLookupData::LocateTextEx(AnsiString& text, AnsiString& tail, Boolean fromCurrent,
                                                  Boolean exact) {
  tail.clear();
  const Integer style = TextProperties()->GetEditingStyle();
  const Integer count = GetItemCount();
  auto notFound = [&] {
    if (style == 1) {
      if (exact || text.empty()) SetCurrentItem(-1);
    } else if (style == 2) {
      if (exact) SetCurrentItem(-1);
    } else {
      SetCurrentItem(-1);
    }
    return false;
  };
  if (count == 0) return notFound();
  if (exact && TextProperties()->GetRecentItemsMode()) {
    const Integer i = FindItem(text);
    if (i == -1) {
      SetCurrentItem(-1);
      return false;
    }
    SetCurrentItem(i);
    return true;
  }
  const std::size_t n = text.size();
  if (n == 0) return notFound();
  const AnsiString upper = AnsiUpperCase(text);
  for (Integer i = fromCurrent ? FListIndex + 1 : 0; i < count; ++i) {
    const AnsiString item = GetItem(i);
    if (item.size() < n || AnsiUpperCase(item.substr(0, n)) != upper) continue;
    if (style != 0) text = item.substr(0, n);
    tail = item.substr(n);
    SetCurrentItem(i);
    return true;
  }
  return notFound();
}

void TcxCustomTextEditLookupData::MoveCurrent(Integer direction, Boolean cycle) {
  const Integer c = GetItemCount();
  if (c == 0) return;
  Integer i = FListIndex == -1 ? FCurrentItem : FListIndex;
  const Integer p = TextProperties()->GetDropDownRowCount();
  Integer a = i;
  switch (direction) {
    case cxLookupFirst: a = 0; break;
    case cxLookupLast: a = c - 1; break;
    case cxLookupNext: a = i + 1 == c ? (cycle ? 0 : i) : i + 1; break;
    case cxLookupPrev:
      a = i - 1;
      if (a < 0) a = cycle ? c - 1 : i;
      break;
    case cxLookupPageUp:
      if (i == -1) {
        a = cycle ? c - 1 : -1;
      } else {
        a = i - p + 1;
        if (a < 0) a = cycle && i == 0 ? c - 1 : 0;
      }
      break;
    case cxLookupPageDown:
      a = i == -1 ? p - 1 : i + p - 1;
      if (a >= c) a = cycle && i == c - 1 ? 0 : c - 1;
      break;
    default: return;
  }
  // A previous of nothing stays on nothing; the first step down from nothing takes the first.
  if (a < -1) a = -1;
  TcxCustomTextEdit* edit = OwnerEditor();
  if (!GetListControl() || !IsListVisible() || (TextProperties()->GetImmediateUpdateText() && edit->DoEditing()))
    SelectKey(Variant(a));
  else
    SetListIndex(a);
}

void TcxCustomTextEditLookupData::SelectKey(const Variant& key) {
  const Integer old = FCurrentItem;
  SetCurrentItem(VarIsNull(key) ? -1 : key.AsInteger());
  TcxCustomTextEdit* edit = OwnerEditor();
  if (!edit) return;
  edit->SetLookupSyncSuppressed(true);
  try {
    if (FCurrentItem != old) {
      if (FOnSelectItem) FOnSelectItem(this);
    } else if (FCurrentItem >= 0 && FCurrentItem < GetItemCount() && edit->GetText() != GetItem(FCurrentItem)) {
      if (FOnSelectItem) FOnSelectItem(this);
    }
  } catch (...) {
    edit->SetLookupSyncSuppressed(false);
    throw;
  }
  edit->SetLookupSyncSuppressed(false);
}

void TcxCustomTextEditLookupData::SelectListItem() {
  if (FListIndex == -1) return;
  TcxCustomTextEdit* edit = OwnerEditor();
  if (FListIndex != FCurrentItem && !edit->DoEditing()) return;
  const Integer old = FCurrentItem;
  SelectKey(Variant(FListIndex));
  if (FCurrentItem == old && FOnSelectItem) FOnSelectItem(this);
}

void TcxCustomTextEditLookupData::SyncWithEditText() {
  TcxCustomTextEdit* edit = OwnerEditor();
  if (!edit) return;
  const AnsiString text = edit->GetText();
  if (FListIndex < GetItemCount() && AnsiUpperCase(GetKeyText(FListIndex)) == AnsiUpperCase(text)) return;
  AnsiString t = text;
  AnsiString tail;
  LocateTextEx(t, tail, true, false);
}

// ==== View info ===============================================================================

void TcxCustomTextEditViewInfo::Assign(TObject* source) {
  inherited::Assign(source);
  if (auto* s = dynamic_cast<TcxCustomTextEditViewInfo*>(source)) {
    IsComboLike = s->IsComboLike;
    SelectionBarShown = s->SelectionBarShown;
    TextFlags = s->TextFlags;
    TextEditingStyle = s->TextEditingStyle;
    PopupIsOpen = s->PopupIsOpen;
    InnerEditShowsText = s->InnerEditShowsText;
    RowLimit = s->RowLimit;
    MarkStart = s->MarkStart;
    MarkLength = s->MarkLength;
    MarkTextColor = s->MarkTextColor;
    MarkBackColor = s->MarkBackColor;
    ShownText = s->ShownText;
    TextArea = s->TextArea;
    FLayoutPrepared = false;
  }
}

void TcxCustomTextEditViewInfo::OffsetRects(Integer dx, Integer dy) {
  inherited::OffsetRects(dx, dy);
  TextArea = GetOffsetRect(TextArea, dx, dy);
  if (FLayoutPrepared && FRows) {
    FLayoutRect = GetOffsetRect(FLayoutRect, dx, dy);
    for (Integer i = 0; i < FRowCount; ++i) {
      TextRow& row = GetTextRow(*FRows, i);
      row.Left += dx;
      row.Top += dy;
    }
  }
}

void TcxCustomTextEditViewInfo::DoPaint(TcxCanvas* canvas) {
  const Integer comboState = !IsComboLike ? 0 : (TextEditingStyle >= 2 ? 2 : 1);
  DrawEditBackgroundAndButtons(canvas, this, !(IsBackgroundTransparent() || SelectionBarShown), comboState);
  TRect r = ClientRect;
  if (!InplaceView) {
    if (!IsBackgroundTransparent() && TextEditingStyle != 3 && (NativeState == 0 || SelectionBarShown))
      canvas->DrawBorderLines(r, BackgroundColor, 1, cxBordersAll);
    r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  if (UsesCustomTextPainter && CustomTextPainter) {
    CustomTextPainter(canvas, r);
  } else {
    if (SelectionBarShown) canvas->FillRect(r, clHighlight);
    if (IsPaintingCopy || !InnerControlVisible || !InnerEditShowsText) PaintText(canvas);
  }
  if (!InnerEditShowsText && IsFocused && !InplaceView && !PopupIsOpen) {
    canvas->SetFontColor(SelectionBarShown ? clHighlightText : clBtnText);
    canvas->SetBrushColor(SelectionBarShown ? clHighlight : BackgroundColor);
    SetTextColor(canvas->GetHandle(), ColorToRGB(SelectionBarShown ? clHighlightText : clBtnText));
    SetBkColor(canvas->GetHandle(), ColorToRGB(SelectionBarShown ? clHighlight : BackgroundColor));
    ::DrawFocusRect(canvas->GetHandle(), &r);
  }
}

void TcxCustomTextEditViewInfo::PrepareTextLayout(TcxCanvas* canvas) {
  if (FLayoutPrepared) return;
  if (!FRows) FRows = std::make_shared<TcxTextRows>();
  CalculateTextParamsForCanvas(canvas, TextFlags, FParams);
  FLayoutRect = PrepareTextRect(TextArea, FParams, 0, 0);
  FRowCount = 0;
  FTruncated = false;
  if (orv::IsEmptyRect(FLayoutRect)) return;
  FTruncated = !MakeTextRowsOnCanvas(canvas, ShownText, RowLimit, FLayoutRect, FParams, *FRows, FRowCount);
  ArrangeTextRows(canvas->GetHandle(), FLayoutRect, FParams, *FRows, FRowCount);
  const Integer length = Integer(ShownText.size());
  if (MarkStart < 0 || MarkStart >= length) MarkLength = 0;
  if (MarkLength > 0 && MarkStart + MarkLength > length) MarkLength = length - MarkStart;
  FLayoutPrepared = true;
}

void TcxCustomTextEditViewInfo::PaintText(TcxCanvas* canvas) {
  if (ShownText.empty()) return;
  if (TextFont) canvas->SetFont(TextFont);
  canvas->SetFontColor(SelectionBarShown ? clHighlightText : DefaultTextColor);
  PrepareCanvasFont(canvas);
  PrepareTextLayout(canvas);
  if (!FLayoutPrepared || FRowCount == 0) return;
  const Integer saved = SaveDC(canvas->GetHandle());
  SetBkMode(canvas->GetHandle(), TRANSPARENT);
  SetTextColor(canvas->GetHandle(), ColorToRGB(SelectionBarShown ? clHighlightText : DefaultTextColor));
  DrawTextRows(canvas->GetHandle(), FLayoutRect, FParams, *FRows, FRowCount, MarkStart, MarkLength, MarkBackColor,
               MarkTextColor, FTruncated);
  RestoreDC(canvas->GetHandle(), saved);
}

Boolean TcxCustomTextEditViewInfo::GetHint(TcxCanvas* canvas, const TPoint& point, TRect& textRect,
                                           Boolean& isMultiLine, AnsiString& text, TRect& hintWindowRect) {
  TRect area = orv::IsEmptyRect(textRect) ? TextArea : textRect;
  area = GetOffsetRect(area, -Bounds.Left, -Bounds.Top);
  const TRect bounds = GetOffsetRect(Bounds, -Bounds.Left, -Bounds.Top);
  TRect clipped{};
  IntersectRects(clipped, area, bounds);
  if (!ShownText.empty() && IsPointInRect(clipped, point)) {
    TRect measured = clipped;
    if (TextFont) canvas->SetFont(TextFont);
    DrawFormattedText(canvas, ShownText, measured, (TextFlags & ~Cardinal(0x230)) | TextFlagCalcRect);
    if (measured.Bottom > clipped.Bottom || measured.Right > clipped.Right) {
      text = ShownText;
      isMultiLine = (TextFlags & TextFlagWordBreak) && !(TextFlags & TextFlagSingleLine);
      textRect = GetOffsetRect(TextArea, Bounds.Left, Bounds.Top);
      hintWindowRect = textRect;
      return true;
    }
  }
  return inherited::GetHint(canvas, point, textRect, isMultiLine, text, hintWindowRect);
}

// ==== View data ===============================================================================

Boolean TcxCustomTextEditViewData::InnerEditDisplaysText() {
  auto* edit = dynamic_cast<TcxCustomTextEdit*>(Edit);
  return edit && edit->InnerEditDisplaysText();
}

Cardinal TcxCustomTextEditViewData::GetDrawTextFlags() {
  static constexpr Cardinal kHorz[] = {TextFlagLeft, TextFlagRight, TextFlagCenterHorz};
  static constexpr Cardinal kVert[] = {TextFlagTop, TextFlagBottom, TextFlagCenterVert};
  return kHorz[HorzAlignment] | kVert[VertAlignment] | 0xC0200;
}

TRect TcxCustomTextEditViewData::GetTextAreaMargins() {
  TRect r = GetTextOffsets();
  const Integer style = TextProperties()->GetEditingStyle();
  if (!IsInplace && (style == 2 || style == 3)) {
    ++r.Top;
    --r.Bottom;
    if (HorzAlignment == taRightJustify)
      ++r.Right;
    else
      ++r.Left;
  }
  return r;
}

void TcxCustomTextEditViewData::InitializeFromProperties() {
  inherited::InitializeFromProperties();
  UsesDataDisplayText = Properties->HasDataDisplayFormat();
}

void TcxCustomTextEditViewData::EditValueToDrawText(const Variant& value, AnsiString& text) {
  TcxCustomTextEditProperties* properties = TextProperties();
  text.clear();
  try {
    if (UsesDataDisplayText) {
      text = TextEditPlainText(value);
    } else if (properties->AcceptsEditValueFocused(value, IsFocusedView)) {
      Variant display;
      properties->EditValueToDisplayValue(value, display, IsFocusedView);
      text = TextEditPlainText(display);
    } else {
      text = TextEditPlainText(value);
    }
  } catch (const Exception&) {
    // A value that cannot be shown is drawn as no text.
    text.clear();
  }
  properties->ApplyEchoModeAndCharCase(text);
}

void TcxCustomTextEditViewData::DisplayValueToDrawValue(const Variant& displayValue,
                                                        TcxCustomTextEditViewInfo* viewInfo) {
  AnsiString text = TextEditPlainText(displayValue);
  TextProperties()->ApplyEchoModeAndCharCase(text);
  viewInfo->ShownText = text;
  viewInfo->InvalidateTextLayout();
}

void TcxCustomTextEditViewData::CalculateTextLayout(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo) {
  viewInfo->TextFlags = GetDrawTextFlags();
  if (!TextProperties()->IsMultiLine() && (Properties->GetCapabilities() & 2) && (PaintFlags & 2) &&
      viewInfo->TextFont) {
    // Several rows of a single-line text in a tall cell.
    TextLayoutParams params;
    canvas->SetFont(viewInfo->TextFont);
    CalculateTextParamsForCanvas(canvas, viewInfo->TextFlags, params);
    const Integer rowHeight = std::max<Integer>(1, params.RowHeight);
    const Integer areaHeight = viewInfo->TextArea.Bottom - viewInfo->TextArea.Top;
    const Integer rowsAllowed = (areaHeight + rowHeight - 1) / rowHeight + 1;
    TRect measured = viewInfo->TextArea;
    const Integer rows = DrawFormattedText(canvas, viewInfo->ShownText, measured,
                                           ((viewInfo->TextFlags & ~TextFlagSingleLine) | TextFlagWordBreak |
                                            TextFlagEditControl | TextFlagCalcRect | TextFlagReturnRowCount),
                                           nullptr, rowsAllowed);
    if (rows > 1) {
      viewInfo->TextFlags = (viewInfo->TextFlags & ~TextFlagSingleLine) | TextFlagWordBreak | TextFlagEditControl;
      if (rows * rowHeight > areaHeight) viewInfo->TextFlags &= ~Cardinal(0x230);
    }
  }
  if (viewInfo->PaintOptionsSet & 8) viewInfo->TextFlags |= TextFlagEndEllipsis;
  viewInfo->IsComboLike = IsComboBoxStyle();
}

void TcxCustomTextEditViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                                  TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                                  Integer button, const TPoint& mousePos) {
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  auto* info = static_cast<TcxCustomTextEditViewInfo*>(viewInfo);
  info->SelectionBarShown = false;
  info->TextEditingStyle = TextProperties()->GetEditingStyle();
  info->InnerEditShowsText = InnerEditDisplaysText();
  info->PopupIsOpen = Edit && Edit->HasOpenPopup();
  const TRect m = GetTextAreaMargins();
  const TRect c = info->ClientRect;
  info->TextArea = TRect{c.Left + m.Left, c.Top + m.Top, c.Right - m.Right, c.Bottom - m.Bottom};
  if (!info->SelectedView && info->TextFont) {
    canvas->SetFont(info->TextFont);
    const Integer h = canvas->TextHeight("Zg");
    if (info->TextArea.Bottom - info->TextArea.Top < h)
      info->TextArea.Bottom = std::min(info->TextArea.Top + h, std::max(c.Bottom, info->TextArea.Top));
  }
  info->RowLimit = GetLineCountLimit();
  info->InvalidateTextLayout();
  CalculateTextLayout(canvas, info);
}

void TcxCustomTextEditViewData::SetViewInfoValue(TcxCanvas* canvas, const Variant& value,
                                                 TcxCustomEditViewInfo* viewInfo) {
  auto* info = static_cast<TcxCustomTextEditViewInfo*>(viewInfo);
  if (NoValue)
    info->ShownText.clear();
  else
    GetTextForValue(value, info->ShownText);
  info->InvalidateTextLayout();
  info->MarkStart = SelStart;
  info->MarkLength = SelLength;
  if (SelLength == 0) return;
  if (SelBackgroundColor == clDefault) {
    if (SelTextColor != clDefault) {
      info->MarkTextColor = SelTextColor;
      info->MarkBackColor = TColor(ColorToRGB(SelTextColor) ^ 0xFFFFFF);
    } else if (Style->GetColor() == clHighlight) {
      info->MarkBackColor = TColor(0);
      info->MarkTextColor = TColor(0xFFFFFF);
    } else {
      info->MarkBackColor = clHighlight;
      info->MarkTextColor = clHighlightText;
    }
  } else {
    info->MarkBackColor = SelBackgroundColor;
    info->MarkTextColor = SelTextColor != clDefault ? SelTextColor : TColor(ColorToRGB(SelBackgroundColor) ^ 0xFFFFFF);
  }
}

void TcxCustomTextEditViewData::CalculateContentSize(TcxCanvas* canvas, const Variant& value, TSize& size,
                                                     const TcxEditSizeProperties& sizeLimits) {
  inherited::CalculateContentSize(canvas, value, size, sizeLimits);
  AnsiString text;
  GetTextForValue(value, text);
  CalculateTextContentSize(canvas, text, size, true, 0, sizeLimits, GetDrawTextFlags());
}

void TcxCustomTextEditViewData::CalculateTextContentSize(TcxCanvas* canvas, const AnsiString& text, TSize& size,
                                                         Boolean addExtents, Integer rowCount,
                                                         const TcxEditSizeProperties& sizeLimits, Cardinal flags) {
  canvas->SetFont(Style->GetVisibleFont());
  const TSize extents = GetContentExtents();
  const Integer rowHeight = canvas->TextHeight("Zg");
  const Integer style = TextProperties()->GetEditingStyle();
  const Boolean alignmentApplies =
      (style == 2 || style == 3) && (IsInplace || !IsComboBoxStyle() || !UsesNativeStyleFlag);
  if (sizeLimits.Width < 0) {
    const Boolean rowsPath = !(flags & TextFlagSingleLine) || ((PaintFlags & 2) && (Properties->GetCapabilities() & 2));
    if (rowsPath) {
      TRect r{0, 0, orv::kMaxInt / 2, orv::kMaxInt / 2};
      const Integer limit = rowCount > 0 ? rowCount : sizeLimits.MaxLineCount;
      DrawFormattedText(canvas, text, r,
                        (flags & ~TextFlagSingleLine) | TextFlagWordBreak | TextFlagEditControl | TextFlagCalcRect,
                        nullptr, limit);
      size.cx = text.empty() ? 0 : r.Right - r.Left;
      size.cy = rowCount > 0 ? rowHeight * rowCount : rowHeight;
    } else {
      size.cy = rowHeight;
      size.cx = text.empty() ? 0 : canvas->TextWidth(text);
    }
    if (alignmentApplies) ++size.cx;
    if (addExtents) size.cx += extents.cx;
  } else if (rowCount > 0) {
    size.cx = sizeLimits.Width;
    size.cy = rowCount * rowHeight;
  } else {
    const Integer w = sizeLimits.Width;
    const Integer c = w + (IsInplace ? 0 : 2) + (alignmentApplies ? 0 : 1) - 3;
    if (c > 0) {
      size.cx = w;
      if (!text.empty()) {
        TRect r{0, 0, c, orv::kMaxInt / 2};
        const Integer rows = DrawFormattedText(
            canvas, text, r,
            ((flags & ~Cardinal(TextFlagSingleLine | 0x30)) | 0x4100 | TextFlagCalcRect | TextFlagReturnRowCount));
        size.cy = std::max<Integer>(1, rows) * rowHeight;
      } else {
        size.cy = (PaintFlags & 1) ? 0 : rowHeight;
      }
    } else {
      size.cx = 0;
      size.cy = ((PaintFlags & 1) && text.empty()) ? 0 : rowHeight;
    }
  }
  if (size.cy > 0) size.cy += extents.cy;
}

// ==== The text editor: life cycle =============================================================

void TcxCustomTextEdit::Initialize() {
  EnsureTextEditUnitStarted();
  inherited::Initialize();
  FBeepOnEnter = true;
  FIncrementalSearchShown = false;
  if (IcxInnerTextEdit* inner = GetInnerTextEdit()) {
    inner->GetControl()->SetColor(clWindow);
    inner->SetOnSelChange(TNotifyEvent(this, &TcxCustomTextEdit::InnerEditChanged));
  }
  if (!IsInplace()) {
    TcxContainer::SetBounds(GetLeft(), GetTop(), 121, 21);
  }
  TClass lookupClass = GetProperties()->InheritsFrom(TcxCustomTextEditProperties::StaticClass())
                           ? GetTextProperties()->GetLookupDataClass()
                           : nullptr;
  if (lookupClass) {
    FLookupData = static_cast<TcxCustomTextEditLookupData*>(
        orv::ClassOf<TcxInterfacedPersistent>(lookupClass).Create(static_cast<TPersistent*>(this)));
    FLookupData->SetOnSelectItem(TNotifyEvent(this, &TcxCustomTextEdit::LookupDataSelectItem));
  }
  GetFormatController()->AddFormatListener(this);
  FFormatListening = true;
}

void TcxCustomTextEdit::BeforeDestruction() {
  if (!FDestructionStarted) {
    FDestructionStarted = true;
    try {
      if (GetInnerEdit()) FTextAtDestruction = GetText();
    } catch (const Exception&) {
      FTextAtDestruction.clear();
    }
  }
  if (FFormatListening) {
    FFormatListening = false;
    if (TcxFormatController* controller = GetFormatController()) controller->RemoveFormatListener(this);
  }
  inherited::BeforeDestruction();
}

TcxCustomTextEdit::~TcxCustomTextEdit() { orv::Free(FLookupData); }

void TcxCustomTextEdit::Loaded() {
  inherited::Loaded();
  RefreshStateAtCursor(false);
}

TcxCustomEditPropertiesClass TcxCustomTextEdit::GetPropertiesClass() {
  return TcxCustomTextEditProperties::StaticClass();
}

TClass TcxCustomTextEdit::GetInnerEditClass() { return TcxCustomInnerTextEdit::StaticClass(); }

void TcxCustomTextEdit::FormatChanged() {
  GetProperties()->Changed();
  UpdateDisplayValue();
}

// ==== Text, display value and edit value ======================================================

void TcxCustomTextEdit::GetDisplayText(AnsiString& text) {
  text.clear();
  if (IcxCustomInnerEdit* inner = GetInnerEdit()) {
    Variant v;
    inner->GetEditValue(v);
    text = VarIsNull(v) ? AnsiString() : VarToStr(v);
  }
}

void TcxCustomTextEdit::SetInnerDisplayValue(const Variant& value) {
  if (IcxCustomInnerEdit* inner = GetInnerEdit()) inner->SetEditValue(value);
}

void TcxCustomTextEdit::StoreDisplayValue(const Variant& value) {
  GetDataBinding()->ShowDisplayValue(value);
  if (!GetUserChangeInProgress()) {
    ResetIncrementalSearch();
    UpdateEditValue();
    SetModified(false);
  }
}

Boolean TcxCustomTextEdit::TrySetDisplayText(const AnsiString& text) {
  Variant value(text);
  if (!TextProperties()->IsDisplayValueValid(value, IsFocusedForDisplay())) return false;
  if (GetUserChangeInProgress() && !DoEditing()) return false;
  StoreDisplayValue(value);
  return true;
}

void TcxCustomTextEdit::UpdateDisplayValue() {
  TcxCustomTextEditProperties* properties = TextProperties();
  Variant display;
  Variant e;
  GetEditValue(e);
  const Boolean focused = IsFocusedForDisplay();
  if (properties->SupportsValidation()) {
    if (properties->AcceptsEditValueFocused(e, focused) || Focused()) {
      if (properties->AcceptsEditValueFocused(e, focused))
        EditValueToDisplayValue(e, display, focused);
      else
        properties->GetDefaultDisplayValue(display);
    } else {
      display = Variant(TextEditPlainText(e));
    }
  } else {
    EditValueToDisplayValue(e, display, focused);
  }
  SaveModifiedFlags();
  FWritingDisplayValue = true;
  try {
    GetDataBinding()->ShowDisplayValue(display);
  } catch (...) {
    FWritingDisplayValue = false;
    RestoreModifiedFlags();
    throw;
  }
  FWritingDisplayValue = false;
  RestoreModifiedFlags();
  ResetIncrementalSearch();
  RefreshFocusDependentText();
}

void TcxCustomTextEdit::UpdateEditValue() {
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  const Boolean comparable = properties->IsEditValueComparable();
  Variant old;
  if (comparable) GetEditValue(old);
  AnsiString text;
  GetDisplayText(text);
  Variant value;
  DisplayValueToEditValue(Variant(text), value, IsFocusedForDisplay());
  StoreEditValueField(value);
  if (GetUserChangeInProgress())
    SetModifiedAfterEnter(true);
  else
    SetModified(false);
  if (comparable && !(VarType(old) == VarType(value) && AreVariantsEqual(old, value))) {
    DoEditValueChanged();
    if (!properties->HasSeparateChangeEvents()) DoChange();
  }
}

void TcxCustomTextEdit::ApplyValidatedDisplayValue(const Variant& value) {
  TcxCustomTextEditProperties* properties = TextProperties();
  if (properties->GetEditingStyle() == 0 && properties->UseLookupData() && FLookupData) {
    const AnsiString text = TextEditPlainText(value);
    if (!FLookupData->ContainsText(text)) DoNewLookupDisplayText(text);
  }
  inherited::ApplyValidatedDisplayValue(value);
}

void TcxCustomTextEdit::HandleInnerEditChange(TObject* sender) {
  LockChangeEvents(true);
  try {
    inherited::HandleInnerEditChange(sender);
    if (!GetTextViewInfo()->InnerEditShowsText) RefreshFocusDependentText();
    if (Focused() && TextProperties()->IsEditValueNumeric() &&
        TextProperties()->NeedRemoveThousandSeparators(FWritingDisplayValue))
      RegroupThousandSeparators();
  } catch (...) {
    LockChangeEvents(false, true);
    throw;
  }
  LockChangeEvents(false, true);
}

void TcxCustomTextEdit::RegroupThousandSeparators() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return;
  const AnsiString text = GetText();
  const char thousand = FormatSettings.ThousandSeparator;
  const char decimal = FormatSettings.DecimalSeparator;
  std::size_t first = text.find_first_not_of(' ');
  if (first == AnsiString::npos) return;
  std::size_t last = text.find_last_not_of(' ');
  const AnsiString leading = text.substr(0, first);
  const AnsiString trailing = text.substr(last + 1);
  AnsiString body = text.substr(first, last - first + 1);
  AnsiString exponent;
  const std::size_t e = body.find_first_of("eE");
  if (e != AnsiString::npos) {
    exponent = body.substr(e);
    body.erase(e);
  }
  AnsiString plain;
  for (char c : body)
    if (c != thousand) plain += c;
  body = plain;
  std::size_t p = body.find(decimal);
  if (p == AnsiString::npos) p = body.size();
  Integer digits = 0;
  for (std::size_t i = p; i > 0 && body[i - 1] >= '0' && body[i - 1] <= '9'; --i) {
    if (digits > 0 && digits % 3 == 0) body.insert(i, 1, thousand);
    ++digits;
  }
  const AnsiString newText = leading + body + exponent + trailing;
  Double number = 0;
  if (!TryStrToFloat(plain + exponent, number) || newText == text) return;
  const Integer caret = inner->GetSelStart();
  Integer kept = 0;
  for (Integer i = 0; i < caret && i < Integer(text.size()); ++i)
    if (text[std::size_t(i)] != thousand) ++kept;
  SetInnerDisplayValue(Variant(newText));
  Integer pos = 0;
  for (Integer seen = 0; pos < Integer(newText.size()) && seen < kept; ++pos)
    if (newText[std::size_t(pos)] != thousand) ++seen;
  inner->SetSelStart(pos);
  inner->SetSelLength(0);
}

void TcxCustomTextEdit::DoEditValueChanged() {
  inherited::DoEditValueChanged();
  InnerEditTextChanged();
}

Boolean TcxCustomTextEdit::IsValidChar(char c) {
  return inherited::IsValidChar(c) || TextProperties()->GetExtraValidChars().test(Byte(c));
}

Boolean TcxCustomTextEdit::IsValueChangingChar(char c) {
  return c == 8 || c == 22 || c == 24 || Byte(c) >= 32;
}

Boolean TcxCustomTextEdit::InnerEditDisplaysText() {
  return TextProperties()->GetEditingStyle() <= 1 && !IsInnerEditPending() &&
         !GetComponentState().Contains(csDesigning);
}

void TcxCustomTextEdit::CalculateChildClipRect(const TRect& containerRect, TControl* child,
                                               TcxContainerInnerControlClipState& clipState) {
  if (InnerEditDisplaysText()) {
    inherited::CalculateChildClipRect(containerRect, child, clipState);
    return;
  }
  clipState.IsWhollyVisible = false;
  clipState.VisibleRect = TRect{};
}

void TcxCustomTextEdit::GetAutoSizeLimits(TcxEditSizeProperties& limits) {
  inherited::GetAutoSizeLimits(limits);
  limits.MaxLineCount = 1;
}

Integer TcxCustomTextEdit::GetInnerEditTextHeight() {
  IcxCustomInnerEdit* inner = GetInnerEdit();
  if (!inner) return 0;
  TCanvas* canvas = GetCanvas()->GetCanvas();
  TFont* saved = new TFont;
  saved->Assign(canvas->GetFont());
  canvas->GetFont()->Assign(inner->GetControl()->GetFont());
  const Integer h = canvas->TextHeight("Wg");
  canvas->GetFont()->Assign(saved);
  saved->Free();
  return h;
}

void TcxCustomTextEdit::AdjustInnerEditPosition() {
  IcxCustomInnerEdit* inner = GetInnerEdit();
  if (!inner || FPlacingInnerEdit) return;
  TTextEditFlagSave placing(FPlacingInnerEdit, true);
  const Integer h = GetInnerEditTextHeight();
  const TRect c = GetViewInfo()->ClientRect;
  const TRect offsets = GetEditMetricsRecord().TextOffsets;
  Integer top = c.Top + offsets.Top;
  switch (GetEffectiveProperties()->GetAlignment()->GetVert()) {
    case taBottomJustify: top = c.Bottom - h - offsets.Bottom; break;
    case taVCenter: top = c.Top + offsets.Top + (c.Bottom - c.Top - h - offsets.Top - offsets.Bottom) / 2; break;
    default: break;
  }
  if (top < c.Top + offsets.Top) top = c.Top + offsets.Top;
  const Integer left = c.Left + offsets.Left;
  const Integer width = c.Right - c.Left + 1 - offsets.Left - offsets.Right;
  TWinControl* control = inner->GetControl();
  const TRect wanted{left, top, left + width, top + h};
  if (control->GetBoundsRect() != wanted) control->SetBounds(left, top, width, h);
  // The inner edit's window region follows from the position and from whether it shows the text
  // (an editor drawing its value itself hides it): a window made after it was placed, or a change
  // of style that kept its place, gets its region here.
  if (control->HandleAllocated()) AlignControl(control);
}

void TcxCustomTextEdit::UpdateInnerEditStyle() {
  IcxCustomInnerEdit* inner = GetInnerEdit();
  if (!inner || IsInnerEditPending()) return;
  inner->LockBounds(true);
  try {
    TWinControl* control = inner->GetControl();
    control->SetColor(GetViewInfo()->BackgroundColor);
    TFont* font = new TFont;
    font->Assign(GetActiveFont());
    font->SetColor(GetEditViewInfo()->DefaultTextColor);
    control->SetFont(font);
    font->Free();
  } catch (...) {
    inner->LockBounds(false);
    throw;
  }
  inner->LockBounds(false);
}

Boolean TcxCustomTextEdit::RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent,
                                            TShiftState shift) {
  const Boolean result = inherited::RefreshViewState(point, button, isMouseEvent, shift);
  UpdateInnerEditStyle();
  return result;
}

void TcxCustomTextEdit::HandlePropertiesChange(TObject* sender) {
  TcxCustomTextEditProperties* properties = TextProperties();
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (inner) inner->SetAlignment(properties->GetAlignment()->GetHorz());
  if (properties->UseLookupData() && FLookupData) {
    FLookupData->ItemsChanged();
    if (!FLookupSyncSuppressed) FLookupData->SyncWithEditText();
  }
  if (!IsInnerEditPending() && !InnerEditDisplaysText()) RefreshFocusDependentText();
  if (inner) {
    inner->SetAlignment(properties->GetAlignment()->GetHorz());
    if (!IsInplace()) inner->SetAutoSelect(properties->GetAutoSelect());
    inner->SetCharCase(properties->GetCharCase());
    inner->SetEchoMode(properties->GetEchoMode());
    inner->SetHideSelection(properties->GetHideSelection());
    inner->SetMaxLength(properties->GetMaxLength());
    inner->SetOEMConvert(properties->GetOEMConvert());
    inner->SetPasswordChar(properties->GetPasswordChar());
  }
  CheckValueBounds();
  if (!GetComponentState().Contains(csDestroying)) RefreshDisplayValue();
  RefreshFocusDependentText();
  inherited::HandlePropertiesChange(sender);
  if (inner && HandleAllocated()) AdjustInnerEditPosition();
}

void TcxCustomTextEdit::RefreshDisplayValue() {
  if (IsInnerEditPending()) return;
  TcxCustomTextEditProperties* properties = TextProperties();
  const Integer style = properties->GetEditingStyle();
  const Boolean loading = GetComponentState().Contains(csLoading);
  if (style == 0 || style == 3) {
    // Text the user has typed and not yet validated stays: the edit value under it is older, and
    // showing that would lose the typing (validation takes the text when the editor is left).
    const Boolean typing = Focused() && GetModifiedAfterEnter() && !IsValueReadOnly();
    if (!loading && !typing) UpdateDisplayValue();
    return;
  }
  if (loading || NeedValidateListText()) {
    Variant value(GetText());
    if (!properties->IsDisplayValueValid(value, true)) {
      SaveModifiedFlags();
      Variant display;
      properties->GetDefaultDisplayValue(display);
      GetDataBinding()->ShowDisplayValue(display);
      RestoreModifiedFlags();
      if (!loading) UpdateEditValue();
    }
    return;
  }
  UpdateDisplayValue();
}

void TcxCustomTextEdit::RefreshFocusDependentText() {
  if (IsInnerEditPending()) return;
  TextEditOwned<TcxCustomEditViewData> viewData(CreateViewData());
  auto* textViewData = dynamic_cast<TcxCustomTextEditViewData*>(viewData.get());
  TcxCustomTextEditViewInfo* info = GetTextViewInfo();
  AnsiString text;
  GetDisplayText(text);
  if (textViewData) textViewData->DisplayValueToDrawValue(Variant(text), info);
  viewData.reset();
  if (!HandleAllocated()) return;
  RefreshStateAtCursor(false);
  const Integer style = TextProperties()->GetEditingStyle();
  if (style == 2 || style == 3) {
    IcxInnerTextEdit* inner = GetInnerTextEdit();
    if (style == 3 || !FIncrementalSearchShown || !TextProperties()->GetKeepFixedListPrefix() || !inner) {
      info->MarkLength = 0;
    } else if (info->SelectionBarShown) {
      info->MarkStart = 0;
      info->MarkLength = Integer(text.size()) - inner->GetSelLength();
      info->MarkTextColor = clHighlight;
      info->MarkBackColor = clHighlightText;
    } else {
      info->MarkStart = inner->GetSelStart();
      info->MarkLength = inner->GetSelLength();
      info->MarkTextColor = clHighlightText;
      info->MarkBackColor = clHighlight;
    }
    info->InvalidateTextLayout();
  }
  Invalidate();
}

void TcxCustomTextEdit::CheckValueBounds() {
  TcxCustomTextEditProperties* properties = TextProperties();
  if (GetDataBinding()->CanCheckEditorValue() && properties->IsEditValueNumeric() && !IsInnerEditPending() &&
      properties->IsValueBoundsDefined())
    ClampValueToBounds();
}

void TcxCustomTextEdit::DoNewLookupDisplayText(const AnsiString& text) {
  GetProperties()->InheritsFrom(TcxCustomTextEditProperties::StaticClass());
  GetTextProperties()->DoNewLookupDisplayText(this, text);
  if (TcxEditRepositoryItem* item = GetRepositoryItem())
    if (auto* p = dynamic_cast<TcxCustomTextEditProperties*>(item->GetProperties()))
      p->DoNewLookupDisplayText(this, text);
}

Boolean TcxCustomTextEdit::CanEditPlainText() {
  return TextProperties()->GetEchoMode() == eemNormal && GetEffectiveProperties()->CanModifyValue();
}

void TcxCustomTextEdit::SetTextIfEditable(const AnsiString& text) {
  if (!DoEditing()) return;
  SetText(text);
  SetModifiedAfterEnter(true);
}

void TcxCustomTextEdit::RequestRevertValue() { GetDataBinding()->Reset(); }

// ==== Spell-checker notices ===================================================================

void TcxCustomTextEdit::RedrawMisspellings() {
  if (SpellCheckerHook && GetInnerEdit()) SpellCheckerHook->RedrawMisspellings(GetInnerEdit()->GetControl());
}

void TcxCustomTextEdit::InnerEditScrolled() {
  if (IcxInnerTextEdit* inner = GetInnerTextEdit()) FKnownFirstVisibleChar = inner->GetFirstVisibleCharIndex();
  if (SpellCheckerHook && GetInnerEdit()) SpellCheckerHook->Scrolled(GetInnerEdit()->GetControl());
}

void TcxCustomTextEdit::InnerEditSelectionChanged() {
  if (SpellCheckerHook && GetInnerEdit()) SpellCheckerHook->SelectionChanged(GetInnerEdit()->GetControl());
}

void TcxCustomTextEdit::InnerEditTextChanged() {
  if (SpellCheckerHook && GetInnerEdit()) SpellCheckerHook->TextChanged(GetInnerEdit()->GetControl());
}

void TcxCustomTextEdit::CheckSelectionChange() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || !inner->GetControl()->HandleAllocated()) return;
  if (inner->GetFirstVisibleCharIndex() != FKnownFirstVisibleChar) {
    InnerEditScrolled();
    return;
  }
  const Integer start = inner->GetSelStart();
  const Integer length = inner->GetSelLength();
  if (start != FKnownSelStart || length != FKnownSelLength) {
    FKnownSelStart = start;
    FKnownSelLength = length;
    InnerEditSelectionChanged();
  }
}

void TcxCustomTextEdit::UpdateInnerScrollBars(Boolean skipPlacing) {
  inherited::UpdateInnerScrollBars(skipPlacing);
  CheckSelectionChange();
}

void TcxCustomTextEdit::ProcessInnerEditMessage(TMessage& message) {
  if (!SpellCheckerHook) return;
  TWinControl* control = GetInnerEdit() ? GetInnerEdit()->GetControl() : nullptr;
  if (!control) return;
  auto postRedraw = [&] {
    if (control->HandleAllocated()) PostMessage(control->GetHandle(), GetRedrawMisspellingsMessage(), 0, 0);
  };
  switch (message.Msg) {
    case WM_SIZE:
    case WM_SETFONT: InnerEditScrolled(); break;
    case WM_SETFOCUS: SpellCheckerHook->FocusEnter(control); break;
    case WM_KILLFOCUS: SpellCheckerHook->FocusExit(); break;
    case WM_PAINT: postRedraw(); break;
    case EM_UNDO:
    case WM_UNDO: SpellCheckerHook->Undo(); break;
    case WM_KEYUP:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: CheckSelectionChange(); break;
    case CN_CTLCOLOREDIT: postRedraw(); break;
    default:
      if (message.Msg == GetRedrawMisspellingsMessage()) RedrawMisspellings();
      break;
  }
}

Boolean TcxCustomTextEdit::HandleInnerControlMessage(TMessage& message) {
  ProcessInnerEditMessage(message);
  return inherited::HandleInnerControlMessage(message);
}

Boolean TcxCustomTextEdit::IsOwnWindow(HWND window) {
  return inherited::IsOwnWindow(window) || (SpellCheckerHook && SpellCheckerHook->IsOwnWindow(window));
}

// ==== Selection and clipboard =================================================================

Integer TcxCustomTextEdit::GetSelectionStart() {
  const Integer style = TextProperties()->GetEditingStyle();
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || style == 3 || (style == 2 && !FIncrementalSearchShown)) return 0;
  return inner->GetSelStart();
}

Integer TcxCustomTextEdit::GetSelectionLength() {
  const Integer style = TextProperties()->GetEditingStyle();
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || style == 3 || (style == 2 && !FIncrementalSearchShown)) return 0;
  return inner->GetSelLength();
}

void TcxCustomTextEdit::SetSelectionStart(Integer value) {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (inner && TextProperties()->GetEditingStyle() != 3) inner->SetSelStart(value);
}

void TcxCustomTextEdit::SetSelectionLength(Integer value) {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (inner && TextProperties()->GetEditingStyle() != 3) inner->SetSelLength(value);
}

void TcxCustomTextEdit::SetSelection(Integer start, Integer length) {
  SetSelectionStart(start);
  SetSelectionLength(length);
}

AnsiString TcxCustomTextEdit::GetSelectedText() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  return inner ? inner->GetSelText() : AnsiString();
}

void TcxCustomTextEdit::SelectAll() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (inner && inner->GetControl()->HandleAllocated()) inner->SelectAll();
}

Boolean TcxCustomTextEdit::CanReplaceSelection(const AnsiString& text, AnsiString& newText, Integer& newCaret) {
  const Integer style = TextProperties()->GetEditingStyle();
  const Boolean user = GetUserChangeInProgress();
  if (style == 3 && user) return false;
  if (style == 2 || style == 3) SelectAll();
  AnsiString current;
  GetDisplayText(current);
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  const Integer length = Integer(current.size());
  const Integer start = std::clamp(inner ? inner->GetSelStart() : 0, 0, length);
  const Integer selLength = std::clamp(inner ? inner->GetSelLength() : 0, 0, length - start);
  const AnsiString before = current.substr(0, std::size_t(start));
  const AnsiString after = current.substr(std::size_t(start + selLength));
  const Integer maxLength = TextProperties()->GetMaxLength();
  if (user && (style == 0 || style == 3) && maxLength > 0) {
    // Windows-1251 has one byte per character.
    newText = (before + text).substr(0, std::size_t(maxLength));
    newCaret = Integer(newText.size());
    if (newCaret < start) return false;
    newText = (newText + after).substr(0, std::size_t(maxLength));
  } else {
    newText = style == 2 ? text : before + text + after;
    newCaret = start + Integer(text.size());
  }
  Variant value(newText);
  if (!TextProperties()->IsDisplayValueValid(value, IsFocusedForDisplay())) return false;
  if (user && !DoEditing()) return false;
  newText = TextEditPlainText(value);
  return true;
}

void TcxCustomTextEdit::SetSelectedText(const AnsiString& text) {
  TTextEditUserChange user(this, Focused() || FInExternalText);
  AnsiString newText;
  Integer newCaret = 0;
  if (!CanReplaceSelection(text, newText, newCaret)) return;
  StoreDisplayValue(Variant(newText));
  if (IcxInnerTextEdit* inner = GetInnerTextEdit()) {
    inner->SetSelStart(newCaret);
    inner->SetSelLength(0);
  }
}

void TcxCustomTextEdit::ClearSelection() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || inner->GetSelLength() == 0) return;
  TTextEditUserChange user(this, Focused() || FInExternalText);
  AnsiString text;
  GetDisplayText(text);
  const Integer start = std::clamp(inner->GetSelStart(), 0, Integer(text.size()));
  const Integer length = std::clamp(inner->GetSelLength(), 0, Integer(text.size()) - start);
  text.erase(std::size_t(start), std::size_t(length));
  if (TrySetDisplayText(text)) {
    inner->SetSelStart(start);
    inner->SetSelLength(0);
  }
}

void TcxCustomTextEdit::CopyToClipboard() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return;
  const Integer style = TextProperties()->GetEditingStyle();
  if (style == 2 || style == 3) SelectAll();
  if (inner->GetSelLength() > 0) inner->CopyToClipboard();
}

void TcxCustomTextEdit::CutToClipboard() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || inner->GetSelLength() == 0) return;
  if (Focused()) {
    TTextEditUserChange user(this, true);
    AnsiString newText;
    Integer newCaret = 0;
    if (CanReplaceSelection(AnsiString(), newText, newCaret)) {
      // Copy and an undoable removal straight in the edit window, whose own cut would come back
      // here as a clear.
      inner->CallDefWndProc(WM_COPY, 0, 0);
      inner->CallDefWndProc(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(""));
    }
    return;
  }
  inner->CopyToClipboard();
  SetSelectedText(AnsiString());
}

void TcxCustomTextEdit::PasteFromClipboard() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || !Clipboard()->HasFormat(CF_TEXT)) return;
  const AnsiString text = Clipboard()->GetAsText();
  if (Focused()) {
    TTextEditUserChange user(this, true);
    AnsiString newText;
    Integer newCaret = 0;
    if (CanReplaceSelection(text, newText, newCaret)) inner->CallDefWndProc(WM_PASTE, 0, 0);
    return;
  }
  SetSelectedText(text);
}

void TcxCustomTextEdit::Activate(TcxCustomEditData*& editData) {
  inherited::Activate(editData);
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (inner && HandleAllocated()) {
    inner->SetSelStart(0);
    if (GetEffectiveProperties()->GetAutoSelect()) SelectAll();
  }
}

// ==== Window messages =========================================================================

void TcxCustomTextEdit::WndProc(TMessage& message) {
  if (message.Msg == GetSpellCheckerAutoCorrectMessage() && message.Msg != 0) {
    // The record a spell checker hands over: a replacement, the range it replaces and the caret.
    struct TAutoCorrect {
      const char16_t* Text;
      Integer SelStart;
      Integer SelLength;
      Integer NewCaret;
    };
    IcxInnerTextEdit* inner = GetInnerTextEdit();
    if (inner && inner->GetControl()->HandleAllocated() && message.LParam) {
      const auto* record = reinterpret_cast<const TAutoCorrect*>(message.LParam);
      const Boolean hide = inner->GetHideSelection();
      inner->SetHideSelection(true);
      try {
        inner->SetSelStart(record->SelStart);
        inner->SetSelLength(record->SelLength);
        const AnsiString text = orv::WideToAnsi(record->Text ? record->Text : u"");
        SendMessage(inner->GetControl()->GetHandle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text.c_str()));
        inner->SetSelStart(record->NewCaret);
        inner->SetSelLength(0);
      } catch (...) {
        inner->SetHideSelection(hide);
        throw;
      }
      inner->SetHideSelection(hide);
    }
  }
  inherited::WndProc(message);
}

void TcxCustomTextEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETTEXT: {
      const Integer size = Integer(message.WParam);
      if (size < 1 || !message.LParam) {
        message.Result = 0;
        return;
      }
      AnsiString text;
      if (FDestructionStarted || !GetInnerEdit())
        text = FTextAtDestruction;
      else
        DoGetText(text);
      if (Integer(text.size()) > size - 1) text.resize(std::size_t(size - 1));
      char* buffer = reinterpret_cast<char*>(message.LParam);
      std::copy(text.begin(), text.end(), buffer);
      buffer[text.size()] = 0;
      message.Result = LRESULT(text.size());
      return;
    }
    case WM_GETTEXTLENGTH: {
      AnsiString text;
      if (FDestructionStarted || !GetInnerEdit())
        text = FTextAtDestruction;
      else
        DoGetText(text);
      message.Result = LRESULT(text.size());
      return;
    }
    case WM_SETTEXT: {
      if (FInSetTextMessage || !GetInnerEdit()) {
        inherited::Dispatch(message);
        return;
      }
      message.Result = 0;
      TTextEditFlagSave inSetText(FInSetTextMessage, true);
      const char* text = reinterpret_cast<const char*>(message.LParam);
      if (DoSetText(text ? AnsiString(text) : AnsiString())) message.Result = 1;
      return;
    }
    case WM_SETFOCUS:
      if (IcxCustomInnerEdit* inner = GetInnerEdit())
        if (!IsInplace() && !GetComponentState().Contains(csDestroying)) inner->GetControl()->HandleNeeded();
      break;
    case WM_COMMAND: {
      const WORD code = HIWORD(message.WParam);
      inherited::Dispatch(message);
      if (code == EN_CHANGE) InnerEditTextChanged();
      if (code == EN_HSCROLL || code == EN_VSCROLL) InnerEditScrolled();
      return;
    }
    case WM_CLEAR:
      if (!TextProperties()->GetReadOnly() && GetDataBinding()->HasActiveData()) {
        TTextEditUserChange user(this, true);
        ClearSelection();
      }
      return;
    default: break;
  }
  inherited::Dispatch(message);
}

void TcxCustomTextEdit::InnerEditWndProc(TMessage& message) {
  if (message.Msg == WM_SETFOCUS) {
    IcxInnerTextEdit* inner = GetInnerTextEdit();
    if (inner && inner->GetAutoSelect()) SelectAll();
    return;
  }
  inherited::InnerEditWndProc(message);
}

void TcxCustomTextEdit::UnhookInnerEdit() {
  inherited::UnhookInnerEdit();
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || !inner->GetControl()->HandleAllocated()) return;
  const Boolean autoSelect = inner->GetAutoSelect();
  inner->SetAutoSelect(false);
  SendMessage(inner->GetControl()->GetHandle(), WM_SETFOCUS, 0, 0);
  inner->SetAutoSelect(autoSelect);
}

void TcxCustomTextEdit::DoExit() {
  inherited::DoExit();
  SetIncrementalSearchShown(false);
}

// ==== Incremental search and lookup navigation ================================================

void TcxCustomTextEdit::SetIncrementalSearchShown(Boolean value) {
  if (!HandleAllocated() || FIncrementalSearchShown == value) return;
  FIncrementalSearchShown = value;
  RefreshStateAtCursor(false);
  RefreshFocusDependentText();
}

void TcxCustomTextEdit::ResetIncrementalSearch() {
  if (TextProperties()->UseLookupData()) SetIncrementalSearchShown(false);
}

Integer TcxCustomTextEdit::GetItemIndex() {
  return FLookupData ? LookupKeyToItemIndex(FLookupData->GetKey()) : -1;
}

TObject* TcxCustomTextEdit::GetItemObject() {
  const Integer index = GetItemIndex();
  if (index == -1) return nullptr;
  return TextProperties()->GetLookupItems()->GetObject(index);
}

Integer TcxCustomTextEdit::LookupKeyToItemIndex(const Variant& key) {
  return VarIsNull(key) || VarIsEmpty(key) ? -1 : key.AsInteger();
}

Variant TcxCustomTextEdit::LookupKeyToEditValue(const Variant& key) {
  const AnsiString text = FLookupData ? FLookupData->GetKeyText(LookupKeyToItemIndex(key)) : AnsiString();
  Variant value;
  DisplayValueToEditValue(Variant(text), value, false);
  return value;
}

Boolean TcxCustomTextEdit::NeedValidateListText() {
  return !IsInplace() && !GetDataBinding()->GetDefaultValuesProviderIntf()->IsDataBound();
}

void TcxCustomTextEdit::LookupDataSelectItem(TObject* sender) {
  const Variant v = LookupKeyToEditValue(FLookupData->GetKey());
  Variant current;
  GetEditValue(current);
  const Boolean changed = !AreVariantsEqual(v, current);
  if (changed && !DoEditing()) return;
  SaveModifiedFlags();
  FLookupSyncSuppressed = true;
  try {
    ChangeEditValue(v);
  } catch (...) {
    FLookupSyncSuppressed = false;
    RestoreModifiedFlags();
    throw;
  }
  FLookupSyncSuppressed = false;
  RestoreModifiedFlags();
  if (changed) SetModifiedAfterEnter(true);
  SelectAll();
  RefreshStateAtCursor(false);
}

void TcxCustomTextEdit::SetItemIndex(Integer value) {
  const Integer old = GetItemIndex();
  LockClick(true);
  try {
    if (FLookupData) {
      FLookupData->SelectKey(ItemIndexToLookupKey(value));
      const Variant v = LookupKeyToEditValue(FLookupData->GetKey());
      Variant current;
      GetEditValue(current);
      if (!AreVariantsEqual(v, current)) SetEditValue(v);
    }
  } catch (...) {
    LockClick(false);
    throw;
  }
  LockClick(false);
  if (GetItemIndex() != old) {
    SetModified(false);
    Click();
  }
}

Boolean TcxCustomTextEdit::SearchStep(AnsiString text, Integer editingStyle) {
  AnsiString tail;
  const Boolean found = FLookupData && FLookupData->LocateTextEx(text, tail, false, false);
  FIncrementalSearchShown = found;
  if (text.empty()) {
    if (editingStyle != 2) StoreDisplayValue(Variant(AnsiString()));
    FIncrementalSearchShown = false;
  }
  if (found) {
    GetDataBinding()->ShowDisplayValue(Variant(text + tail));
    if (IcxInnerTextEdit* inner = GetInnerTextEdit()) {
      inner->SetSelStart(Integer(text.size()));
      inner->SetSelLength(Integer(tail.size()));
    }
  }
  RefreshFocusDependentText();
  return found;
}

void TcxCustomTextEdit::KeyPress(char& key) {
  if (key == '\x1b' && GetEscapeReverted() && !HasOpenPopup()) FKeyClosedPopup = false;
  inherited::KeyPress(key);
}

void TcxCustomTextEdit::DoEditKeyPress(char& key) {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (inner) inner->SetKeyHandled(true);
  inherited::DoEditKeyPress(key);
  if (key == 0) return;
  FLookupSyncSuppressed = false;
  TcxCustomTextEditProperties* properties = TextProperties();
  const Integer s = properties->GetEditingStyle();
  TextEditLinkGuard guard(this);
  if (s == 2 && key == '\b' && !properties->GetKeepFixedListPrefix()) {
    key = 0;
    SetIncrementalSearchShown(false);
  }
  const Variant oldKey = FLookupData ? FLookupData->GetKey() : Variant();
  const Boolean searchWasShown = FIncrementalSearchShown;
  Boolean found = false;
  LockClick(true);
  SetUserChangeInProgress(true);
  auto finish = [&] {
    if (!guard.Alive()) return;
    LockClick(false);
    SetUserChangeInProgress(false);
    if (properties->UseLookupData() && FLookupData && !AreVariantsEqual(FLookupData->GetKey(), oldKey))
      MarkModifiedAndClick();
  };
  try {
    const Boolean searchAllowed =
        properties->UseLookupData() && FLookupData &&
        ((s == 0 && properties->GetIncrementalSearch()) || s == 1 || s == 2);
    AnsiString text;
    GetDisplayText(text);
    const Integer selStart = inner ? inner->GetSelStart() : 0;
    const Integer selLength = inner ? inner->GetSelLength() : 0;
    if (key == '\b' && searchAllowed) {
      if (s == 1 && !text.empty() && !FIncrementalSearchShown) {
        SetSelectionLength(Integer(text.size()) - selStart);
        SetIncrementalSearchShown(true);
      }
      if (FIncrementalSearchShown) {
        AnsiString prefix = text.substr(0, std::size_t(std::clamp(selStart, 0, Integer(text.size()))));
        if (!prefix.empty()) prefix.pop_back();
        FLookupSyncSuppressed = true;
        found = SearchStep(prefix, s);
      }
      if (s == 2) key = 0;
    } else if (Byte(key) >= 32 && properties->UseLookupData() && searchAllowed &&
               (s == 1 || s == 2 || (selLength == 0 && selStart == Integer(text.size())) || FIncrementalSearchShown ||
                selLength > 0)) {
      FLookupSyncSuppressed = true;
      AnsiString t = text;
      if (selLength > 0) {
        t = text.substr(0, std::size_t(selStart)) + key;
      } else if (s != 2) {
        t.insert(std::size_t(std::clamp(selStart, 0, Integer(t.size()))), 1, key);
      } else if (FIncrementalSearchShown) {
        t += key;
        found = SearchStep(t, s);
        if (!found) t = AnsiString(1, key);
      } else {
        t = AnsiString(1, key);
      }
      if (!found) found = SearchStep(t, s);
      if (s == 2 && !properties->GetKeepFixedListPrefix() && !found) found = SearchStep(AnsiString(1, key), s);
    }
    if ((s == 1 || s == 2) && Byte(key) >= 32 && !found) {
      key = 0;
      AnsiString now;
      GetDisplayText(now);
      if (s == 1 && !now.empty()) SetIncrementalSearchShown(true);
      if (s == 2 && properties->GetKeepFixedListPrefix() && searchWasShown) SetIncrementalSearchShown(true);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  if (!guard.Alive()) return;
  if (found) key = 0;
  if (key != 0 && inner) inner->SetKeyHandled(false);
}

void TcxCustomTextEdit::MoveLookup(Integer direction) {
  const Variant oldKey = FLookupData->GetKey();
  LockClick(true);
  try {
    FLookupData->MoveCurrent(direction, false);
  } catch (...) {
    LockClick(false);
    throw;
  }
  LockClick(false);
  if (!AreVariantsEqual(FLookupData->GetKey(), oldKey)) {
    MarkModifiedAndClick();
    if (CanPostEditValue() && GetEffectiveProperties()->GetImmediatePost() && ValidateEditValue(true))
      PostEditValue(false);
  }
}

void TcxCustomTextEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  TcxCustomTextEditProperties* properties = TextProperties();
  const Integer s = properties->GetEditingStyle();
  const TShortCut shortCut = ShortCut(key, shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt));
  TextEditLinkGuard guard(this);
  if (s == 2 && !(properties->GetClearKey() != 0 && shortCut == properties->GetClearKey()) &&
      !(GetDefaultButtonIndex() >= 0 && shortCut == properties->GetClickKey()) &&
      (key == VK_LEFT || key == VK_RIGHT || key == VK_DELETE)) {
    SetIncrementalSearchShown(false);
    NotifyKeyToOwner(key, shift);
    key = 0;
    return;
  }
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (inner) inner->SetKeyHandled(true);
  const Word oldKey = key;
  const Boolean searchWasShown = FIncrementalSearchShown;
  inherited::DoEditKeyDown(key, shift);
  if (!guard.Alive()) return;
  if (oldKey == VK_RETURN && searchWasShown) SelectAll();
  if (key != 0) {
    switch (key) {
      case VK_LEFT:
      case VK_RIGHT:
        if (!shift.Contains(ssShift) && inner && inner->GetSelLength() > 0) {
          const Integer start = inner->GetSelStart();
          const Integer length = inner->GetSelLength();
          inner->SetSelStart(key == VK_LEFT ? start : start + length);
          inner->SetSelLength(0);
          key = 0;
        }
        SetIncrementalSearchShown(false);
        break;
      case VK_DELETE:
        if (s == 1) {
          NotifyKeyToOwner(key, shift);
          key = 0;
        } else {
          SetIncrementalSearchShown(false);
        }
        break;
      case VK_PRIOR:
      case VK_NEXT:
      case VK_END:
      case VK_HOME:
      case VK_UP:
      case VK_DOWN: {
        const Boolean homeEnd = key == VK_HOME || key == VK_END;
        if (homeEnd && s != 2) break;
        if (properties->UseLookupData() && FLookupData && IsLookupNavigationAllowed(false) &&
            !FLookupData->IsListEmpty()) {
          LockChangeEvents(true);
          TTextEditFlagSave navigating(FNavigatingLookupItems, true);
          try {
            Integer direction = cxLookupNext;
            switch (key) {
              case VK_PRIOR: direction = shift.Contains(ssCtrl) ? cxLookupFirst : cxLookupPageUp; break;
              case VK_NEXT: direction = shift.Contains(ssCtrl) ? cxLookupLast : cxLookupPageDown; break;
              case VK_END: direction = cxLookupLast; break;
              case VK_HOME: direction = cxLookupFirst; break;
              case VK_UP: direction = cxLookupPrev; break;
              default: direction = cxLookupNext; break;
            }
            MoveLookup(direction);
          } catch (...) {
            if (guard.Alive()) LockChangeEvents(false, true);
            throw;
          }
          if (!guard.Alive()) return;
          LockChangeEvents(false, true);
          key = 0;
        }
        if (homeEnd || key == 0) break;
        if (!(inner && inner->GetMultiLine())) {
          NotifyKeyToOwner(key, shift);
          key = 0;
        }
        break;
      }
      default: break;
    }
  }
  if (!guard.Alive()) return;
  if (oldKey == VK_END && s != 2 && inner && inner->GetSelLength() == 0) SetIncrementalSearchShown(false);
  if (key != 0 && inner) inner->SetKeyHandled(false);
}

Boolean TcxCustomTextEdit::IsValueChangingKey(Word key, TShiftState shift) {
  if (inherited::IsValueChangingKey(key, shift) || key == VK_DELETE) return true;
  if (TextProperties()->UseLookupData() && FLookupData && !FLookupData->IsListEmpty() &&
      IsLookupNavigationAllowed(false)) {
    if ((key == VK_PRIOR || key == VK_NEXT) && !HasOpenPopup()) return true;
    if ((key == VK_UP || key == VK_DOWN) && !shift.Contains(ssAlt) && !HasOpenPopup()) return true;
  }
  return false;
}

bool TcxCustomTextEdit::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  if (inherited::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  const Boolean taken = IsLookupNavigationAllowed(true) && !HasOpenPopup() && TextProperties()->UseLookupData() &&
                        FLookupData && !FLookupData->IsListEmpty() && CanUseMouseWheel(shift);
  if (!taken || !DoEditing()) return taken;
  TextEditLinkGuard guard(this);
  LockChangeEvents(true);
  TTextEditFlagSave navigating(FNavigatingLookupItems, true);
  try {
    MoveLookup(wheelDelta >= 1 ? cxLookupPrev : cxLookupNext);
  } catch (...) {
    if (guard.Alive()) LockChangeEvents(false, true);
    throw;
  }
  if (guard.Alive()) LockChangeEvents(false, true);
  return true;
}

// ==== Filter helper ===========================================================================

TcxCustomEditClass TcxFilterTextEditHelper::GetFilterEditorClass() const { return TcxTextEdit::StaticClass(); }

void TcxFilterTextEditHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                   TcxCustomEditProperties* sourceProperties,
                                                   Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  auto* text = dynamic_cast<TcxCustomTextEditProperties*>(properties);
  if (!text) return;
  text->SetAutoSelect(true);
  text->SetHideSelection(true);
  text->SetViewStyle(vsNormal);
}
