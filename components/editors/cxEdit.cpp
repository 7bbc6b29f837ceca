#include "components/editors/cxEdit.h"

#include <algorithm>
#include <memory>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/data/cxFilterConsts.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/windowing/User.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

// Every living properties object. The list lives for the whole process: properties objects held
// by static objects (the grid's fallback repository item, for one) are freed during static
// destruction and must still find it.
std::vector<TcxCustomEditProperties*>& PropertiesList() {
  static auto* list = new std::vector<TcxCustomEditProperties*>;
  return *list;
}

// Every living in-place edit list.
std::vector<TcxInplaceEditList*>& InplaceEditLists() {
  static auto* lists = new std::vector<TcxInplaceEditList*>;  // lives for the whole process too
  return *lists;
}

// Set by CreateInplace around the virtual constructor.
Boolean gCreatingInplace = false;

AnsiString ResText(PResStringRec rec) { return GetLocalizedResourceString(rec); }

using TLinkGuard = orv::TObjectLinkGuard;

using orv::TFlagScope;

// A scoped raise of an integer counter.
class TCountScope {
 public:
  explicit TCountScope(Integer& count) : FCount(count) { ++FCount; }
  ~TCountScope() { --FCount; }
  TCountScope(const TCountScope&) = delete;
  TCountScope& operator=(const TCountScope&) = delete;

 private:
  Integer& FCount;
};

}  // namespace

Boolean cxEditCheckBoxLayoutSwitch = false;

// ==== Published properties ====================================================================

namespace {
const orv::EnumNames<TcxEditVertAlignment> kVertAlignmentNames("TcxEditVertAlignment",
                                                               {"taTopJustify", "taBottomJustify", "taVCenter"});
const orv::EnumNames<TcxEditButtonKind> kButtonKindNames("TcxEditButtonKind",
                                                         {"bkEllipsis", "bkDown", "bkGlyph", "bkText"});
const orv::EnumNames<TcxEditBorderStyle> kEditBorderStyleNames(
    "TcxEditBorderStyle", {"ebsNone", "ebsSingle", "ebsThick", "ebsFlat", "ebs3D", "ebsUltraFlat", "ebsOffice11"});
const orv::EnumNames<TcxEditButtonStyle> kButtonStyleNames(
    "TcxEditButtonStyle", {"btsDefault", "bts3D", "btsFlat", "btsSimple", "btsHotFlat", "btsUltraFlat", "btsOffice11"});
const orv::EnumNames<TcxEditButtonTransparency> kButtonTransparencyNames(
    "TcxEditButtonTransparency", {"ebtNone", "ebtInactive", "ebtAlways", "ebtHideInactive", "ebtHideUnselected"});
const orv::EnumNames<TcxEditPopupBorderStyle> kPopupBorderStyleNames(
    "TcxEditPopupBorderStyle", {"epbsDefault", "epbsSingle", "epbsFrame3D", "epbsFlat"});
const orv::EnumNames<TcxDirection> kDirectionNames("TcxDirection",
                                                   {"dirNone", "dirLeft", "dirRight", "dirUp", "dirDown"});
}  // namespace

ORV_PUBLISH(TcxEditAlignment) {
  using T = TcxEditAlignment;
  p.Property("Horz", &T::GetHorz, &T::SetHorz).Stored([](T* a) { return a->IsHorzStored(); });
  p.Property("Vert", &T::GetVert, &T::SetVert).Stored([](T* a) { return a->IsVertStored(); });
}

ORV_PUBLISH(TcxCustomEditPropertiesValues) {
  using T = TcxCustomEditPropertiesValues;
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T*) { return false; });
}

ORV_PUBLISH(TcxEditButton) {
  using T = TcxEditButton;
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  p.Property("ContentAlignment", &T::GetContentAlignment, &T::SetContentAlignment).Default(taCenter);
  p.Property("Default", &T::GetDefault, &T::SetDefault).Default(false);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("Glyph", &T::GetGlyph, &T::SetGlyph).Stored([](T* b) { return b->HasGlyph() && !b->GetGlyph()->GetEmpty(); });
  p.Property("Hint", &T::GetHint, &T::SetHint);
  p.Property("Kind", &T::GetKind, &T::SetKind).Default(bkDown);
  p.Property("LeftAlignment", &T::GetLeftAlignment, &T::SetLeftAlignment).Default(false);
  p.Property("Stretchable", &T::GetStretchable, &T::SetStretchable).Default(true);
  p.Property("Tag", &T::GetTag, &T::SetTag).Default(0);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(true);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Default(0);
}

ORV_PUBLISH(TcxEditStyle) {
  using T = TcxEditStyle;
  auto stored = [](Integer index, const char* name) {
    return [index, name](T* s) { return s->IsEditValueStored(index, name); };
  };
  p.Property("BorderStyle", &T::GetEditBorderStyle, &T::SetEditBorderStyle)
      .Stored([](T* s) { return s->IsValueStored(csvBorderStyle); });
  p.Property("ButtonStyle", &T::GetButtonStyle, &T::SetButtonStyle).Stored(stored(svButtonStyle, "ButtonStyle"));
  p.Property("ButtonTransparency", &T::GetButtonTransparency, &T::SetButtonTransparency)
      .Stored(stored(svButtonTransparency, "ButtonTransparency"));
  p.Property("Gradient", &T::GetGradient, &T::SetGradient).Stored(stored(svGradient, "Gradient"));
  p.Property("GradientDirection", &T::GetGradientDirection, &T::SetGradientDirection)
      .Stored(stored(svGradientDirection, "GradientDirection"));
  p.Property("PopupBorderStyle", &T::GetPopupBorderStyle, &T::SetPopupBorderStyle)
      .Stored(stored(svPopupBorderStyle, "PopupBorderStyle"));
}

ORV_PUBLISH(TcxEditStyleController) {
  using T = TcxEditStyleController;
  p.Property("Style", &T::GetStyle);
  p.Property("StyleDisabled", &T::GetStyleDisabled);
  p.Property("StyleFocused", &T::GetStyleFocused);
  p.Property("StyleHot", &T::GetStyleHot);
  p.Property("OnStyleChanged", &T::GetOnStyleChanged, &T::SetOnStyleChanged);
}

ORV_PUBLISH(TcxEditRepository) {}

ORV_PUBLISH(TcxEditRepositoryItem) {
  using T = TcxEditRepositoryItem;
  p.Property("PropertiesEvents", &T::GetPropertiesEvents, &T::SetPropertiesEvents);
}

// ==== Alignment ===============================================================================

void TcxEditAlignment::Assign(TPersistent* source) {
  if (auto* a = dynamic_cast<TcxEditAlignment*>(source)) {
    FHorz = a->FHorz;
    FIsHorzAssigned = a->FIsHorzAssigned;
    FVert = a->FVert;
    DoChanged();
    return;
  }
  inherited::Assign(source);
}

void TcxEditAlignment::SetHorz(TAlignment value) {
  if (FIsHorzAssigned && FHorz == value) return;
  FIsHorzAssigned = true;
  FHorz = value;
  DoChanged();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment value) {
  if (FVert == value) return;
  FVert = value;
  DoChanged();
}

void TcxEditAlignment::Reset() {
  FIsHorzAssigned = false;
  DoChanged();
}

// ==== Assigned values =========================================================================

TcxCustomEditProperties* TcxCustomEditPropertiesValues::Properties() const {
  return dynamic_cast<TcxCustomEditProperties*>(FOwner);
}

void TcxCustomEditPropertiesValues::Changed() {
  if (TcxCustomEditProperties* p = Properties()) p->Changed();
}

void TcxCustomEditPropertiesValues::Assign(TPersistent* source) {
  if (auto* v = dynamic_cast<TcxCustomEditPropertiesValues*>(source)) {
    TcxCustomEditProperties* p = Properties();
    if (p) p->BeginUpdate();
    try {
      SetMaxValue(v->FMaxValue);
      SetMinValue(v->FMinValue);
      SetReadOnly(v->FReadOnly);
    } catch (...) {
      if (p) p->EndUpdate(true);
      throw;
    }
    if (p) p->EndUpdate(true);
    return;
  }
  inherited::Assign(source);
}

void TcxCustomEditPropertiesValues::ResetToDefaults() {
  TcxCustomEditProperties* p = Properties();
  if (p) p->BeginUpdate();
  SetMaxValue(false);
  SetMinValue(false);
  SetReadOnly(false);
  if (p) p->EndUpdate(true);
}

void TcxCustomEditPropertiesValues::SetMaxValue(Boolean value) {
  if (FMaxValue == value) return;
  FMaxValue = value;
  Changed();
}

void TcxCustomEditPropertiesValues::SetMinValue(Boolean value) {
  if (FMinValue == value) return;
  FMinValue = value;
  Changed();
}

void TcxCustomEditPropertiesValues::SetReadOnly(Boolean value) {
  if (FReadOnly == value) return;
  FReadOnly = value;
  Changed();
}

// ==== Buttons =================================================================================

TcxEditButton::~TcxEditButton() { orv::Free(FGlyph); }

void TcxEditButton::Assign(TPersistent* source) {
  auto* b = dynamic_cast<TcxEditButton*>(source);
  if (!b) {
    inherited::Assign(source);
    return;
  }
  TCollection* collection = GetCollection();
  if (collection) collection->BeginUpdate();
  try {
    SetCaption(b->FCaption);
    SetContentAlignment(b->FContentAlignment);
    SetDefault(b->FDefault);
    SetEnabled(b->FEnabled);
    SetGlyph(b->FGlyph);
    SetHint(b->FHint);
    SetKind(b->FKind);
    SetLeftAlignment(b->FLeftAlignment);
    SetStretchable(b->FStretchable);
    SetTag(b->FTag);
    SetVisible(b->FVisible);
    SetWidth(b->FWidth);
    FVisibleCaption = b->FVisibleCaption;
    SetTextColor(b->FTextColor);
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

void TcxEditButton::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  FCaption = value;
  FVisibleCaption = StripAccelChars(value, true);
  Changed(false);
}

void TcxEditButton::SetContentAlignment(TAlignment value) {
  if (FContentAlignment == value) return;
  FContentAlignment = value;
  Changed(false);
}

void TcxEditButton::SetDefault(Boolean value) {
  if (FDefault == value) return;
  FDefault = value;
  if (value) {
    if (TCollection* collection = GetCollection())
      for (Integer i = 0; i < collection->GetCount(); ++i)
        if (auto* other = static_cast<TcxEditButton*>(collection->GetItem(i)); other != this) other->FDefault = false;
    Changed(true);
    return;
  }
  Changed(false);
}

void TcxEditButton::SetEnabled(Boolean value) {
  if (FEnabled == value) return;
  FEnabled = value;
  Changed(false);
}

TBitmap* TcxEditButton::GetGlyph() {
  if (!FGlyph) {
    FGlyph = new TBitmap;
    FGlyph->SetOnChange(TNotifyEvent(this, &TcxEditButton::GlyphChanged));
  }
  return FGlyph;
}

void TcxEditButton::SetGlyph(TBitmap* value) {
  if (!value) {
    if (!FGlyph) return;
    FreeAndNil(FGlyph);
    Changed(false);
    return;
  }
  GetGlyph()->Assign(value);
}

void TcxEditButton::SetHint(const AnsiString& value) {
  if (FHint == value) return;
  FHint = value;
  Changed(false);
}

void TcxEditButton::SetKind(TcxEditButtonKind value) {
  if (FKind == value) return;
  FKind = value;
  Changed(false);
}

void TcxEditButton::SetLeftAlignment(Boolean value) {
  if (FLeftAlignment == value) return;
  FLeftAlignment = value;
  Changed(false);
}

void TcxEditButton::SetStretchable(Boolean value) {
  if (FStretchable == value) return;
  FStretchable = value;
  Changed(false);
}

void TcxEditButton::SetTag(Integer value) {
  if (FTag == value) return;
  FTag = value;
  Changed(false);
}

void TcxEditButton::SetVisible(Boolean value) {
  if (FVisible == value) return;
  FVisible = value;
  Changed(false);
}

void TcxEditButton::SetWidth(Integer value) {
  if (value < 0 || FWidth == value) return;
  FWidth = value;
  Changed(false);
}

void TcxEditButton::SetTextColor(TColor value) {
  if (FTextColor == value) return;
  FTextColor = value;
  Changed(false);
}

Integer TcxEditButtons::GetVisibleCount() const {
  Integer count = 0;
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetVisible()) ++count;
  return count;
}

// ==== Default-values provider =================================================================

void TcxCustomEditDefaultValuesProvider::BeforeDestruction() {
  DetachFromProperties();
  inherited::BeforeDestruction();
}

void TcxCustomEditDefaultValuesProvider::DetachFromProperties() {
  IcxEditDefaultValuesProvider* self = this;
  for (TcxCustomEditProperties* p : PropertiesList())
    if (p->GetDefaultValuesProvider() == self) p->ClearDefaultValuesProvider();
}

// ==== Edit data ===============================================================================

TcxCustomEditData::TcxCustomEditData(TcxCustomEdit* edit) : FEdit(edit) {
  FFreeNotificator = new TcxFreeNotificator(nullptr);
  FFreeNotificator->SetOnFreeNotification(TcxFreeNotificationEvent(this, &TcxCustomEditData::EditFreed));
  FFreeNotificator->AddSender(edit);
  Clear();
}

void TcxCustomEditData::BeforeDestruction() {
  FreeAndNil(FFreeNotificator);
  inherited::BeforeDestruction();
}

void TcxCustomEditData::EditFreed(TComponent* sender) {
  if (sender == FEdit) FEdit = nullptr;
}

void TcxCustomEditData::Clear() {
  FCleared = true;
  if (FEdit && FEdit->GetEditData() == this) {
    FEdit->InitializeEditData();
    FCleared = false;
  }
}

// ==== Properties ==============================================================================

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* owner) : TcxInterfacedPersistent(owner) {
  orv::StartEditFramework();
  PropertiesList().push_back(this);
  FAlignment = new TcxEditAlignment(this);
  FAlignment->SetOnChanged(TNotifyEvent(this, &TcxCustomEditProperties::AlignmentChanged));
  FInnerAlignment = new TcxEditAlignment(this);
}

void TcxCustomEditProperties::BeforeDestruction() {
  for (TcxInplaceEditList* list : InplaceEditLists()) list->ForgetProperties(this);
  FDefaultValuesProvider = nullptr;
  inherited::BeforeDestruction();
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  orv::Free(FButtons);
  orv::Free(FInnerAlignment);
  orv::Free(FAssignedValues);
  orv::Free(FAlignment);
  orv::Free(FFreeNotificator);
  auto& list = PropertiesList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

Integer TcxCustomEditProperties::GetInstanceCount() { return Integer(PropertiesList().size()); }

TcxCustomEditProperties* TcxCustomEditProperties::GetInstance(Integer index) {
  return PropertiesList()[std::size_t(index)];
}

TcxFreeNotificator* TcxCustomEditProperties::GetFreeNotificator() {
  if (!FFreeNotificator) {
    FFreeNotificator = new TcxFreeNotificator(nullptr);
    FFreeNotificator->SetOnFreeNotification(TcxFreeNotificationEvent(this, &TcxCustomEditProperties::ComponentFreed));
  }
  return FFreeNotificator;
}

TcxCustomEditPropertiesValues* TcxCustomEditProperties::GetAssignedValues() {
  if (!FAssignedValues) FAssignedValues = GetAssignedValuesClass().Create(this);
  return FAssignedValues;
}

TcxEditButtons* TcxCustomEditProperties::GetButtons() {
  if (!FButtons) {
    FButtons = GetButtonsClass().Create(this, TcxEditButton::StaticClass());
    FButtons->SetOnChange(TNotifyEvent(this, &TcxCustomEditProperties::ButtonsChanged));
  }
  return FButtons;
}

void TcxCustomEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    SetAutoSelect(s->GetAutoSelect());
    GetButtons()->Assign(s->GetButtons());
    SetButtonsViewStyle(s->GetButtonsViewStyle());
    SetBeepOnError(s->GetBeepOnError());
    SetClearKey(s->GetClearKey());
    SetClickKey(s->GetClickKey());
    SetUseLeftAlignmentOnEditing(s->GetUseLeftAlignmentOnEditing());
    FDefaultValuesProvider = s->FDefaultValuesProvider;
    SetAlignment(s->GetAlignment());
    TcxCustomEditPropertiesValues* values = GetAssignedValues();
    TcxCustomEditPropertiesValues* sourceValues = s->GetAssignedValues();
    values->SetMaxValue(false);
    if (sourceValues->GetMaxValue()) SetMaxValue(s->GetMaxValue());
    values->SetMinValue(false);
    if (sourceValues->GetMinValue()) SetMinValue(s->GetMinValue());
    values->SetReadOnly(false);
    if (sourceValues->GetReadOnly()) SetReadOnly(s->GetReadOnly());
    SetImmediatePost(s->GetImmediatePost());
    SetTransparent(s->GetTransparent());
    SetMouseWheelEnabled(s->GetMouseWheelEnabled());
    SetValidateOnEnter(s->GetValidateOnEnter());
    FOnButtonClick = s->FOnButtonClick;
    FOnChange = s->FOnChange;
    FOnEditValueChanged = s->FOnEditValueChanged;
    FOnValidate = s->FOnValidate;
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TcxCustomEditProperties::BeginUpdate() {
  if (FUpdateCount == 0) FChangedOccurred = false;
  ++FUpdateCount;
}

void TcxCustomEditProperties::EndUpdate(Boolean notify) {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0 && notify && FChangedOccurred) Changed();
}

Boolean TcxCustomEditProperties::IsOwnerLoading() {
  for (TPersistent* p = GetOwner(); p; p = p->GetOwner())
    if (auto* c = dynamic_cast<TComponent*>(p)) return c->GetComponentState().Contains(csLoading);
  return false;
}

void TcxCustomEditProperties::Changed() {
  if (IsChangeLocked() || IsOwnerLoading()) {
    FChangedOccurred = true;
    return;
  }
  FChangedOccurred = false;
  NotifyChanged();
}

void TcxCustomEditProperties::NotifyChanged() {
  if (!FOnPropertiesChanged) return;
  TCountScope lock(FNotifyLockCount);
  FOnPropertiesChanged(this);
}

TcxEditAlignment* TcxCustomEditProperties::GetAlignment() {
  const TNotifyEvent handler = FAlignment->GetOnChanged();
  FAlignment->SetOnChanged({});
  FAlignment->FHorz = FInnerAlignment->FHorz;
  FAlignment->FIsHorzAssigned = FInnerAlignment->FIsHorzAssigned;
  FAlignment->FVert = FInnerAlignment->FVert;
  TComponent* ownerComponent = nullptr;
  for (TPersistent* p = GetOwner(); p && !ownerComponent; p = p->GetOwner()) ownerComponent = dynamic_cast<TComponent*>(p);
  const Boolean writing = ownerComponent && ownerComponent->GetComponentState().Contains(csWriting);
  if (!(IsAlignmentStored() && writing) && !FInnerAlignment->FIsHorzAssigned) {
    FAlignment->FHorz = GetDefaultHorzAlignment();
    FAlignment->FIsHorzAssigned = false;
  }
  FAlignment->SetOnChanged(handler);
  return FAlignment;
}

Boolean TcxCustomEditProperties::IsAlignmentStored() const {
  return FInnerAlignment->FIsHorzAssigned || FInnerAlignment->FVert != taTopJustify;
}

void TcxCustomEditProperties::AlignmentChanged(TObject* sender) {
  FInnerAlignment->FHorz = FAlignment->FHorz;
  FInnerAlignment->FIsHorzAssigned = FAlignment->FIsHorzAssigned;
  FInnerAlignment->FVert = FAlignment->FVert;
  Changed();
}

void TcxCustomEditProperties::SetAlignment(TcxEditAlignment* value) {
  FInnerAlignment->FHorz = value->FHorz;
  FInnerAlignment->FIsHorzAssigned = value->FIsHorzAssigned;
  FInnerAlignment->FVert = value->FVert;
  Changed();
}

#define ORV_EDIT_SETTER(Name, Type, Field) \
  void TcxCustomEditProperties::Set##Name(Type value) { \
    if (Field == value) return;                          \
    Field = value;                                       \
    Changed();                                           \
  }
ORV_EDIT_SETTER(AutoSelect, Boolean, FAutoSelect)
ORV_EDIT_SETTER(BeepOnError, Boolean, FBeepOnError)
ORV_EDIT_SETTER(ButtonsViewStyle, Integer, FButtonsViewStyle)
ORV_EDIT_SETTER(ClearKey, TShortCut, FClearKey)
ORV_EDIT_SETTER(ClickKey, TShortCut, FClickKey)
ORV_EDIT_SETTER(ImmediatePost, Boolean, FImmediatePost)
ORV_EDIT_SETTER(MouseWheelEnabled, Boolean, FMouseWheelEnabled)
ORV_EDIT_SETTER(Transparent, Boolean, FTransparent)
ORV_EDIT_SETTER(UseLeftAlignmentOnEditing, Boolean, FUseLeftAlignmentOnEditing)
ORV_EDIT_SETTER(ValidateOnEnter, Boolean, FValidateOnEnter)
#undef ORV_EDIT_SETTER

Double TcxCustomEditProperties::GetMaxValue() {
  if (GetAssignedValues()->GetMaxValue()) return FMaxValue;
  return FDefaultValuesProvider ? FDefaultValuesProvider->DefaultMaxValue() : 0;
}

void TcxCustomEditProperties::SetMaxValue(Double value) {
  if (GetAssignedValues()->GetMaxValue() && FMaxValue == value) return;
  BeginUpdate();
  FMaxValue = value;
  GetAssignedValues()->SetMaxValue(true);
  FChangedOccurred = true;
  EndUpdate(true);
}

Double TcxCustomEditProperties::GetMinValue() {
  if (GetAssignedValues()->GetMinValue()) return FMinValue;
  return FDefaultValuesProvider ? FDefaultValuesProvider->DefaultMinValue() : 0;
}

void TcxCustomEditProperties::SetMinValue(Double value) {
  if (GetAssignedValues()->GetMinValue() && FMinValue == value) return;
  BeginUpdate();
  FMinValue = value;
  GetAssignedValues()->SetMinValue(true);
  FChangedOccurred = true;
  EndUpdate(true);
}

Boolean TcxCustomEditProperties::GetReadOnly() {
  if (GetAssignedValues()->GetReadOnly()) return FReadOnly;
  return FDefaultValuesProvider ? FDefaultValuesProvider->DefaultReadOnly() : false;
}

void TcxCustomEditProperties::SetReadOnly(Boolean value) {
  if (GetAssignedValues()->GetReadOnly() && FReadOnly == value) return;
  BeginUpdate();
  FReadOnly = value;
  GetAssignedValues()->SetReadOnly(true);
  FChangedOccurred = true;
  EndUpdate(true);
}

void TcxCustomEditProperties::SetDefaultValuesProvider(IcxEditDefaultValuesProvider* provider) {
  FDefaultValuesProvider = provider;
  if (dynamic_cast<TcxCustomEdit*>(GetOwner())) Changed();
}

TAlignment TcxCustomEditProperties::GetDefaultHorzAlignment() {
  if (FDefaultValuesProvider) return FDefaultValuesProvider->DefaultAlignment();
  return FInnerAlignment->FHorz;
}

AnsiString TcxCustomEditProperties::GetDefaultErrorText() { return ResText(&cxSEditValidateErrorText); }

Boolean TcxCustomEditProperties::UsesDefaultDisplayFormat(Boolean isEditing) {
  if (isEditing || !(GetDisplayFormatOptions() & dfoSupports) || !FDefaultValuesProvider) return false;
  return FDefaultValuesProvider->HasDefaultDisplayFormat(!(GetDisplayFormatOptions() & dfoNoCurrencyValue));
}

TcxCustomEditViewDataClass TcxCustomEditProperties::GetViewDataClass() {
  return TcxCustomEditViewData::StaticClass();
}
TcxCustomEditClass TcxCustomEditProperties::GetEditClass() { return TcxCustomEdit::StaticClass(); }
TcxCustomEditStyleClass TcxCustomEditProperties::GetStyleClass() { return TcxEditStyle::StaticClass(); }
TcxCustomEditViewInfoClass TcxCustomEditProperties::GetViewInfoClass() {
  return TcxCustomEditViewInfo::StaticClass();
}

Boolean TcxCustomEditProperties::AreDisplayValuesEqual(const Variant& v1, const Variant& v2) {
  Variant d1, d2;
  EditValueToDisplayValue(v1, d1, false);
  EditValueToDisplayValue(v2, d2, false);
  return SameVariants(d1, d2);
}

TcxCustomEditProperties* TcxCustomEditProperties::CreateEmptyCopy() {
  return TcxCustomEditPropertiesClass(ClassType()).Create(nullptr);
}

TcxCustomEditViewData* TcxCustomEditProperties::CreateViewData(TcxCustomEditStyle* style, Boolean isInplace,
                                                               Boolean previewMode) {
  TcxCustomEditViewData* viewData = TcxCustomEditViewData::CreateFor(GetViewDataClass(), this, style, isInplace);
  viewData->PreviewMode = previewMode;
  return viewData;
}

Word TcxCustomEditProperties::GetCapabilities() {
  return GetButtons()->GetCount() > 0 ? cxEditCapabilityButtons : 0;
}

void TcxCustomEditProperties::ResetToDefaults() {
  FInnerAlignment->FIsHorzAssigned = false;
  BeginUpdate();
  try {
    GetAssignedValues()->ResetToDefaults();
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TcxCustomEditProperties::CheckDisplayValue(Variant& displayValue, AnsiString& errorText,
                                                TcxCustomEdit* editor, Boolean& error) {
  if (!SupportsValidation()) return;
  if (errorText.empty()) errorText = GetDefaultErrorText();
  Boolean changed = false;
  RunValidateHandlers(displayValue, errorText, changed, editor, error);
}

void TcxCustomEditProperties::RunValidateHandlers(Variant& displayValue, AnsiString& errorText,
                                                  Boolean& displayValueChanged, TcxCustomEdit* editor,
                                                  Boolean& error) {
  displayValueChanged = false;
  if (!editor || !editor->HasOnValidateHandler()) return;
  const Variant previous = displayValue;
  editor->RunOnValidate(displayValue, errorText, error);
  if (!error) return;
  displayValueChanged = VarToStr(displayValue) != VarToStr(previous);
  if (!displayValueChanged) {
    AnsiString text;
    editor->GetDisplayText(text);
    displayValue = Variant(text);
  }
}

TSize TcxCustomEditProperties::CalculateEditSize(TcxCanvas* canvas, TcxCustomEditStyle* style, Boolean isInplace,
                                                 const Variant& value, TcxEditSizeProperties& sizeLimits) {
  Owned<TcxCustomEditViewData> viewData(CreateViewData(style, isInplace, false));
  TSize size{0, 0};
  viewData->CalculateEditorSize(canvas, value, size, nullptr, sizeLimits);
  return size;
}

Boolean TcxCustomEditProperties::HasDataDisplayFormat() {
  const Integer options = GetDisplayFormatOptions();
  return (options & dfoSupports) && GetValueExchangeMode(true) == 0 && GetValueExchangeMode(false) == 1 &&
         FDefaultValuesProvider && FDefaultValuesProvider->HasDefaultDisplayFormat(!(options & dfoNoCurrencyValue));
}

Boolean TcxCustomEditProperties::CanModifyValue() {
  if (GetAssignedValues()->GetReadOnly()) return !FReadOnly;
  if (GetReadOnly()) return false;
  if (FDefaultValuesProvider)
    return FDefaultValuesProvider->IsModifiable() && FDefaultValuesProvider->CanEnterEditMode();
  return true;
}

// ==== Styles ==================================================================================

namespace {
const char* const kEditStyleValueNames[] = {"ButtonStyle", "ButtonTransparency", "PopupBorderStyle",
                                            "GradientButtons", "Gradient", "GradientDirection"};
}

TcxEditStyleController* GetDefaultEditStyleController() {
  // Freed at exit; its teardown clears the foundation's default controller.
  static Owned<TcxEditStyleController> controller([] {
    auto* c = new TcxEditStyleController(nullptr);
    if (!GlobalDefaultStyleController) GlobalDefaultStyleController = c;
    return c;
  }());
  return controller.get();
}

namespace orv {

void StartEditFramework() {
  static const bool started = [] {
    GetDefaultEditStyleController();
    // Filter captions take the replacements an application sets for the texts.
    SetFilterCaptionTextHook(&GetLocalizedResourceString);
    return true;
  }();
  (void)started;
}

}  // namespace orv

void TcxCustomEditStyle::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomEditStyle*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    FButtonStyle = s->FButtonStyle;
    FButtonTransparency = s->FButtonTransparency;
    FGradient = s->FGradient;
    FGradientButtons = s->FGradientButtons;
    FGradientDirection = s->FGradientDirection;
    FPopupBorderStyle = s->FPopupBorderStyle;
    FShowPopupCloseButton = s->FShowPopupCloseButton;
    FEditAssigned = s->FEditAssigned;
    inherited::Assign(source);
    StyleChanged();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

Boolean TcxCustomEditStyle::GetValueName(Integer index, AnsiString& name) const {
  if (index >= svButtonStyle && index <= svGradientDirection) {
    name = kEditStyleValueNames[index - svButtonStyle];
    return true;
  }
  return inherited::GetValueName(index, name);
}

const TcxCustomEditStyle* TcxCustomEditStyle::FindEditValueSource(Integer index) const {
  const TcxCustomEditStyle* style = this;
  // A chain of controllers is short; the bound guards against a controller following itself.
  for (int depth = 0; style && depth < 8; ++depth) {
    if (style->IsOwnValueAssigned(index)) return style;
    if (style->GetDirectAccessMode()) return nullptr;
    TcxStyleController* controller = style->GetEffectiveStyleController();
    if (!controller || controller->IsDestroying()) return nullptr;
    auto* next = dynamic_cast<TcxCustomEditStyle*>(controller->GetStyles()->GetStyleByState(GetState()));
    if (next == style) return nullptr;
    style = next;
  }
  return nullptr;
}

Boolean TcxCustomEditStyle::IsValueAssigned(Integer index) const {
  if (index >= svButtonStyle && index <= svGradientDirection) return FindEditValueSource(index) != nullptr;
  return inherited::IsValueAssigned(index);
}

TcxStyleController* TcxCustomEditStyle::GetDefaultController() const {
  if (GetDirectAccessMode()) return nullptr;
  if (TcxCustomEdit* edit = GetEdit(); edit && edit->IsInplace()) return nullptr;
  return GetDefaultEditStyleController();
}

TcxContainerStyleValues TcxCustomEditStyle::GetUnpublishedExtendedValues() const {
  TcxContainerStyleValues values = inherited::GetUnpublishedExtendedValues();
  for (Integer index : {svButtonTransparency, svPopupBorderStyle, svGradientButtons, svGradient, svGradientDirection})
    values.Include(TcxContainerStyleValue(index));
  return values;
}

TcxCustomEdit* TcxCustomEditStyle::GetEdit() const {
  return dynamic_cast<TcxCustomEdit*>(const_cast<TcxCustomEditStyle*>(this)->GetStyleOwner());
}

Boolean TcxCustomEditStyle::IsEditValueStored(Integer index, const char* name) const {
  if (!IsOwnValueAssigned(index)) return false;
  if (TcxCustomEdit* edit = GetEdit()) return edit->IsStylePropertyStored(name, GetState() != csNormalStyle);
  return true;
}

TcxCustomEditStyle* TcxCustomEditStyle::WriteTarget(Integer index) {
  return index == svButtonStyle ? this : GetBaseStyle();
}

#define ORV_EDIT_STYLE_VALUE(Name, Type, Field, Index)                                  \
  Type TcxCustomEditStyle::Get##Name() const {                                          \
    if (const TcxCustomEditStyle* source = FindEditValueSource(Index))                  \
      return Type(source->Field);                                                       \
    return GetDefault##Name();                                                          \
  }                                                                                     \
  void TcxCustomEditStyle::Set##Name(Type value) {                                      \
    TcxCustomEditStyle* target = WriteTarget(Index);                                    \
    if (target->IsOwnValueAssigned(Index) && Type(target->Field) == value) return;      \
    target->Field = Byte(value);                                                        \
    target->FEditAssigned |= 1u << (Index);                                             \
    target->StyleChanged();                                                             \
  }
ORV_EDIT_STYLE_VALUE(ButtonStyle, TcxEditButtonStyle, FButtonStyle, svButtonStyle)
ORV_EDIT_STYLE_VALUE(ButtonTransparency, TcxEditButtonTransparency, FButtonTransparency, svButtonTransparency)
ORV_EDIT_STYLE_VALUE(PopupBorderStyle, TcxEditPopupBorderStyle, FPopupBorderStyle, svPopupBorderStyle)
ORV_EDIT_STYLE_VALUE(GradientButtons, Boolean, FGradientButtons, svGradientButtons)
ORV_EDIT_STYLE_VALUE(Gradient, Boolean, FGradient, svGradient)
ORV_EDIT_STYLE_VALUE(GradientDirection, TcxEditGradientDirection, FGradientDirection, svGradientDirection)
#undef ORV_EDIT_STYLE_VALUE

TcxEditButtonStyle TcxCustomEditStyle::GetDefaultButtonStyle() const {
  return IsRootStyle() ? btsDefault : GetBaseStyle()->GetButtonStyle();
}
TcxEditButtonTransparency TcxCustomEditStyle::GetDefaultButtonTransparency() const {
  return IsRootStyle() ? ebtNone : GetBaseStyle()->GetButtonTransparency();
}
Boolean TcxCustomEditStyle::GetDefaultGradient() const {
  return IsRootStyle() ? false : GetBaseStyle()->GetGradient();
}
Boolean TcxCustomEditStyle::GetDefaultGradientButtons() const {
  return IsRootStyle() ? false : GetBaseStyle()->GetGradientButtons();
}
TcxEditGradientDirection TcxCustomEditStyle::GetDefaultGradientDirection() const {
  return IsRootStyle() ? dirDown : GetBaseStyle()->GetGradientDirection();
}
TcxEditPopupBorderStyle TcxCustomEditStyle::GetDefaultPopupBorderStyle() const {
  return IsRootStyle() ? epbsDefault : GetBaseStyle()->GetPopupBorderStyle();
}

Boolean TcxCustomEditStyle::GetShowPopupCloseButton() const { return GetBaseStyle()->FShowPopupCloseButton != 0; }

void TcxCustomEditStyle::SetShowPopupCloseButton(Boolean value) {
  TcxCustomEditStyle* base = GetBaseStyle();
  if ((base->FShowPopupCloseButton != 0) == value) return;
  base->FShowPopupCloseButton = value;
  base->StyleChanged();
}

// ==== Change-event catcher ====================================================================

void TcxEditChangeEventsCatcher::Lock(Boolean lock, Boolean invokeChangedOnUnlock) {
  if (lock) {
    if (FLockCount == 0) {
      OnChangeEvent = false;
      OnEditValueChangedEvent = false;
    }
    ++FLockCount;
    return;
  }
  if (FLockCount == 0) return;
  --FLockCount;
  if (FLockCount > 0 || !invokeChangedOnUnlock || FEdit->IsLoadingOrDestroying()) return;
  if (OnChangeEvent && FEdit->HasOnChangeHandler()) {
    OnChangeEvent = false;
    FEdit->FireOnChange();
  }
  if (OnEditValueChangedEvent && FEdit->HasOnEditValueChangedHandler()) {
    OnEditValueChangedEvent = false;
    FEdit->FireOnEditValueChanged();
  }
}

// ==== Data binding ============================================================================

TcxEditDataBinding::~TcxEditDataBinding() { orv::Free(FDefaultValuesProvider); }

TcxCustomEditDefaultValuesProvider* TcxEditDataBinding::GetDefaultValuesProvider() {
  if (!FDefaultValuesProvider) FDefaultValuesProvider = GetDefaultValuesProviderClass().Create(nullptr);
  return FDefaultValuesProvider;
}

void TcxEditDataBinding::DefaultValuesChanged() {
  if (!FEdit->GetRepositoryItem()) {
    FEdit->GetProperties()->Changed();
    return;
  }
  TcxCustomEditProperties* properties = FEdit->GetRepositoryItem()->GetProperties();
  properties->BeginUpdate();
  properties->Changed();
  properties->EndUpdate(false);
  FEdit->HandlePropertiesChange(properties);
}

void TcxEditDataBinding::GetDisplayValue(Variant& value) {
  AnsiString text;
  FEdit->GetDisplayText(text);
  value = Variant(text);
}

Boolean TcxEditDataBinding::IsEditing() { return FEdit->GetModifiedAfterEnter(); }
Boolean TcxEditDataBinding::IsInEditMode() { return FEdit->GetModifiedAfterEnter(); }
void TcxEditDataBinding::GetStoredValue(Variant& value) { FEdit->GetEditValue(value); }
void TcxEditDataBinding::Reset() { FEdit->RevertValue(); }
void TcxEditDataBinding::ShowDisplayValue(const Variant& value) { FEdit->SetInnerDisplayValue(value); }

Boolean TcxEditDataBinding::EnterEditMode() {
  FEdit->SetModifiedAfterEnter(true);
  return true;
}

Boolean TcxEditDataBinding::CanCheckEditorValue() {
  return FEdit->GetComponentState().Contains(csDesigning) || !FEdit->GetModifiedAfterEnter();
}

void TcxEditDataBinding::SetModified() {
  if (FEdit->Focused()) FEdit->SetModifiedAfterEnter(true);
}

void TcxEditDataBinding::UpdateDisplayValue() { FEdit->UpdateDisplayValue(); }

// ==== The editor: construction and parts ======================================================

ORV_PUBLISH(TcxCustomEdit) {
  using T = TcxCustomEdit;
  // The size travels as the custom values "Height" and "Width" (DefineProperties), which an
  // auto-sized editor leaves out.
  p.Property("Height", &T::GetHeight, &T::SetHeight).Stored([](T*) { return false; });
  p.Property("PropertiesEvents", &T::GetPropertiesEvents, &T::SetPropertiesEvents);
  p.Property("RepositoryItem", &T::GetRepositoryItem, &T::SetRepositoryItem);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Stored([](T*) { return false; });
  p.Property("OnFocusChanged", &T::GetOnFocusChanged, &T::SetOnFocusChanged);
}

TcxCustomEdit::TcxCustomEdit(TComponent* owner) : TcxContainer(owner) {
  FIsInplace = gCreatingInplace;
  gCreatingInplace = false;
}

TcxCustomEdit* TcxCustomEdit::CreateInplace(TcxCustomEditClass cls, TComponent* owner, Boolean isInplace) {
  gCreatingInplace = isInplace;
  TcxCustomEdit* edit = nullptr;
  try {
    edit = cls.Create(owner);
  } catch (...) {
    gCreatingInplace = false;
    throw;
  }
  gCreatingInplace = false;
  return edit;
}

void TcxCustomEdit::EnsureInitialized() {
  if (FInitialized || FInitializing || GetComponentState().Contains(csDestroying)) return;
  FInitializing = true;
  try {
    Initialize();
  } catch (...) {
    FInitializing = false;
    throw;
  }
  FInitializing = false;
  FInitialized = true;
}

void TcxCustomEdit::Initialize() {
  FChangeEventsCatcher = new TcxEditChangeEventsCatcher(this);
  if (!FProperties) FProperties = GetPropertiesClass().Create(this);
  RememberEditMetrics();
  TControlStyle style = GetControlStyle();
  style.Include(csCaptureMouse);
  style.Include(csSetCaption);
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetTabStop(true);
  CreateInnerEdit();
  if (FInnerEdit) {
    InitializeInnerEdit();
    SetInnerControl(FInnerEdit->GetControl());
  }
  FDataBinding = GetDataBindingClass().Create(this);
  FAutoSize = !FIsInplace;
  FCapturedButtonIndex = -1;
  FEditValue = Null();
  AttachPropertiesHandler();
  if (FIsInplace) {
    TcxKeys keys{kAll, kArrows};
    if (!GetInnerEditClass()) keys.Include(kTab);
    SetWantedKeys(keys);
  }
  FDblClickTimer = new TcxTimer(this);
  FDblClickTimer->SetEnabled(false);
  FDblClickTimer->SetInterval(GetDoubleClickTime());
  FDblClickTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomEdit::DblClickTimerHandler));
  if (!FIsInplace) {
    // Quietly: nothing is laid out yet.
    FProperties->SetChangeLock(true);
    FProperties->SetDefaultValuesProvider(FDataBinding->GetDefaultValuesProviderIntf());
    FProperties->SetChangeLock(false);
  }
  GetEditViewInfo()->Edit = this;
  FFirstParentPending = true;
}

void TcxCustomEdit::RememberEditMetrics() {
  Owned<TcxCustomEditViewData> viewData(CreateViewData());
  viewData->GetEditMetrics(FEditMetrics);
  FEditMetricsKnown = true;
}

void TcxCustomEdit::BeforeDestruction() {
  Destroying();
  if (FDblClickTimer) FDblClickTimer->SetEnabled(false);
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  FRepositoryItem = nullptr;
  FInnerEdit = nullptr;
  if (FProperties) {
    DetachPropertiesHandler();
    if (!FIsInplace) FProperties->ClearDefaultValuesProvider();
  }
  inherited::BeforeDestruction();
}

TcxCustomEdit::~TcxCustomEdit() {
  orv::Free(FDataBinding);
  orv::Free(FProperties);
  orv::Free(FChangeEventsCatcher);
}

void TcxCustomEdit::AttachPropertiesHandler() {
  if (FProperties) FProperties->SetOnPropertiesChanged(TNotifyEvent(this, &TcxCustomEdit::HandlePropertiesChange));
}

void TcxCustomEdit::DetachPropertiesHandler() {
  if (FProperties) FProperties->SetOnPropertiesChanged({});
}

TcxCustomEditProperties* TcxCustomEdit::GetProperties() {
  if (!FProperties) FProperties = GetPropertiesClass().Create(this);
  EnsureInitialized();
  return FProperties;
}

TcxCustomEditProperties* TcxCustomEdit::GetEffectiveProperties() {
  if (!FRepositoryItem) return GetProperties();
  TcxCustomEditProperties* properties = FRepositoryItem->GetProperties();
  // The shared properties answer with this editor's data defaults.
  properties->FDefaultValuesProvider = GetDataBinding()->GetDefaultValuesProviderIntf();
  return properties;
}

TcxEditDataBinding* TcxCustomEdit::GetDataBinding() {
  EnsureInitialized();
  return FDataBinding;
}

TcxEditChangeEventsCatcher* TcxCustomEdit::GetChangeEventsCatcher() {
  EnsureInitialized();
  return FChangeEventsCatcher;
}

TcxCustomEditPropertiesClass TcxCustomEdit::GetPropertiesClass() { return TcxCustomEditProperties::StaticClass(); }

TcxContainerStyleClass TcxCustomEdit::GetStyleClass() {
  if (!FProperties) FProperties = GetPropertiesClass().Create(this);
  return FProperties->GetStyleClass();
}

TcxContainerViewInfoClass TcxCustomEdit::GetViewInfoClass() {
  if (!FProperties) FProperties = GetPropertiesClass().Create(this);
  return FProperties->GetViewInfoClass();
}

Boolean TcxCustomEdit::IsLoadingOrDestroying() {
  const TComponentState state = GetComponentState();
  return state.Contains(csLoading) || state.Contains(csDestroying);
}

Boolean TcxCustomEdit::IsInnerEditPending() {
  return GetComponentState().Contains(csDestroying) || (GetInnerEditClass() && !FInnerEdit);
}

TcxCustomEditViewData* TcxCustomEdit::CreateViewData() {
  TcxCustomEditProperties* properties = FProperties ? GetEffectiveProperties() : GetProperties();
  TcxCustomEditViewData* viewData =
      properties->CreateViewData(static_cast<TcxCustomEditStyle*>(GetActiveStyle()), FIsInplace, false);
  if (FIsInplace && FEditMetricsKnown) viewData->EditMetrics = FEditMetrics;
  viewData->Edit = IsInnerEditPending() ? nullptr : this;
  viewData->WindowHandle = HandleAllocated() ? GetHandle() : nullptr;
  InitializeViewData(viewData);
  return viewData;
}

void TcxCustomEdit::InitializeViewData(TcxCustomEditViewData* viewData) {
  viewData->IsEnabledView = GetEnabled();
  viewData->IsFocusedView = Focused();
  viewData->InnerEditRef = FInnerEdit;
  viewData->IsDesignView = IsDesigning();
}

// ==== Repository item =========================================================================

void TcxCustomEdit::ItemRemoved(TcxEditRepositoryItem* sender) {
  if (sender == FRepositoryItem) FRepositoryItem = nullptr;
}

void TcxCustomEdit::PropertiesChanged(TcxEditRepositoryItem* sender) {
  if (!IsLoadingOrDestroying()) HandlePropertiesChange(sender->GetProperties());
}

Boolean TcxCustomEdit::IsRepositoryItemAcceptable(TcxEditRepositoryItem* item) {
  return !item || item->GetProperties()->InheritsFrom(GetPropertiesClass());
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* value) {
  if (value == FRepositoryItem) return;
  if (!IsRepositoryItemAcceptable(value)) throw EcxEditError(ResText(&cxSEditInvalidRepositoryItem));
  EnsureInitialized();
  BeforeRepositoryItemChange();
  if (FRepositoryItem) {
    FRepositoryItem->RemoveListener(this);
    FRepositoryItem->RemoveFreeNotification(this);
  }
  FRepositoryItem = value;
  if (FRepositoryItem) {
    FRepositoryItem->AddListener(this);
    FRepositoryItem->FreeNotification(this);
  }
  if (FRepositoryItem) {
    FProperties->ClearDefaultValuesProvider();
    if (!IsLoadingOrDestroying()) HandlePropertiesChange(FRepositoryItem->GetProperties());
    DetachPropertiesHandler();
  } else {
    if (!IsLoadingOrDestroying()) AttachPropertiesHandler();
    FProperties->SetDefaultValuesProvider(FDataBinding->GetDefaultValuesProviderIntf());
  }
  AfterRepositoryItemChange();
}

void TcxCustomEdit::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FRepositoryItem) FRepositoryItem = nullptr;
}

// ==== Properties change, anchors, auto-size ===================================================

void TcxCustomEdit::HandlePropertiesChange(TObject* sender) {
  FIsEditValidated = false;
  UpdateInnerEditReadOnly();
  if (FModifiedAfterEnter && IsValueReadOnly()) SetModifiedAfterEnter(false);
  if (GetEffectiveProperties()->GetTransparent()) SetTransparent(true);
  CalculateAnchors();
  RefreshStateAtCursor(false);
}

void TcxCustomEdit::SetTransparent(Boolean value) {
  FTransparent = value;
  TControlStyle style = GetControlStyle();
  if (value)
    style.Exclude(csOpaque);
  else
    style.Include(csOpaque);
  SetControlStyle(style);
  RefreshStateAtCursor(false);
}

void TcxCustomEdit::UpdateInnerEditReadOnly() {
  if (FInnerEdit && !IsInnerEditPending()) FInnerEdit->SetReadOnly(IsValueReadOnly());
}

Boolean TcxCustomEdit::IsValueReadOnly() {
  return GetEffectiveProperties()->GetReadOnly() || GetDataBinding()->IsReadOnly();
}

Boolean TcxCustomEdit::IsReadOnly() { return IsValueReadOnly(); }

Boolean TcxCustomEdit::CanAutoSize() { return !FIsInplace && FAutoSize; }

Boolean TcxCustomEdit::CanAutoWidth() { return GetEffectiveProperties()->GetButtonsViewStyle() == 2; }

Boolean TcxCustomEdit::IsAutoWidth() {
  const TAlign align = GetAlign();
  return CanAutoSize() && CanAutoWidth() && align != alTop && align != alBottom && align != alClient &&
         align != alCustom;
}

void TcxCustomEdit::GetAutoSizeLimits(TcxEditSizeProperties& limits) {
  limits = TcxEditSizeProperties{};
  limits.MaxLineCount = 1;
  limits.Width = IsAutoWidth() ? orv::kMaxInt : GetWidth();
}

void TcxCustomEdit::CalculateAutoSize(Integer& width, Integer& height) {
  if (!CanAutoSize()) return;
  TcxEditSizeProperties limits;
  GetAutoSizeLimits(limits);
  Owned<TcxCustomEditViewData> viewData(CreateViewData());
  Variant value;
  GetEditValue(value);
  TSize size{0, 0};
  TcxCanvas* canvas = HandleAllocated() ? GetCanvas() : GetScreenCanvas();
  viewData->CalculateEditorSize(canvas, value, size, nullptr, limits);
  if (IsAutoWidth()) width = size.cx;
  const TAlign align = GetAlign();
  if (align != alLeft && align != alRight && align != alClient && align != alCustom) height = size.cy;
}

void TcxCustomEdit::CalculateAnchors() {
  const TComponentState state = GetComponentState();
  if (state.Contains(csLoading) || state.Contains(csReading)) return;
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  if (UsesAnchorX())
    FAnchorX = properties->GetAlignment()->GetHorz() == taCenter ? GetLeft() + (GetWidth() + 1) / 2
                                                                 : GetLeft() + GetWidth();
  if (UsesAnchorY())
    FAnchorY = properties->GetAlignment()->GetVert() == taVCenter ? GetTop() + (TcxContainer::GetHeight() + 1) / 2
                                                                  : GetTop() + TcxContainer::GetHeight();
}

void TcxCustomEdit::AlignInnerControl() {
  if (!HandleAllocated() || GetComponentState().Contains(csDestroying)) {
    inherited::AlignInnerControl();
    return;
  }
  Integer w = GetWidth();
  Integer h = TcxContainer::GetHeight();
  CalculateAutoSize(w, h);
  Integer left = GetLeft();
  Integer top = GetTop();
  if (UsesAnchors() && IsAutoWidth()) {
    if (!FKeepStreamedAnchors) CalculateAnchors();
    FKeepStreamedAnchors = false;
    TcxCustomEditProperties* properties = GetEffectiveProperties();
    if (UsesAnchorX() && FAnchorX != orv::kMaxInt)
      left = properties->GetAlignment()->GetHorz() == taCenter ? FAnchorX - (w + 1) / 2 : FAnchorX - w;
    if (UsesAnchorY() && FAnchorY != orv::kMaxInt)
      top = properties->GetAlignment()->GetVert() == taVCenter ? FAnchorY - (h + 1) / 2 : FAnchorY - h;
  }
  if (left != GetLeft() || top != GetTop() || w != GetWidth() || h != TcxContainer::GetHeight())
    SetBounds(left, top, w, h);
  AdjustInnerEditPosition();
}

void TcxCustomEdit::AdjustInnerEditPosition() {
  if (!FInnerEdit) return;
  inherited::AlignInnerControl();
}

bool TcxCustomEdit::CanResize(Integer& newWidth, Integer& newHeight) {
  const bool result = inherited::CanResize(newWidth, newHeight);
  if (result && !GetComponentState().Contains(csLoading)) CalculateAutoSize(newWidth, newHeight);
  return result;
}

void TcxCustomEdit::SetAutoSize(bool value) {
  if (FIsInplace) return;
  EnsureInitialized();
  if (FAutoSize == value) return;
  FAutoSize = value;
  AutoSizeChanged();
  if (value) {
    EnsureHandle();
    AlignInnerControl();
    RefreshStateAtCursor(false);
  }
}

void TcxCustomEdit::EnsureHandle() {
  if (FHandleGuard || HandleAllocated() || !GetParent()) return;
  FHandleGuard = true;
  try {
    HandleNeeded();
  } catch (...) {
    FHandleGuard = false;
    throw;
  }
  FHandleGuard = false;
}

// ==== Streaming and parenting =================================================================

void TcxCustomEdit::ReadState(TReader* reader) {
  EnsureInitialized();
  DetachPropertiesHandler();
  inherited::ReadState(reader);
}

void TcxCustomEdit::Loaded() {
  EnsureInitialized();
  FKeepStreamedAnchors = true;
  inherited::Loaded();
  LockChangeEvents(true);
  LockClick(true);
  try {
    FDataBinding->RefreshFromData();
    RefreshStateAtCursor(false);
    if (!FRepositoryItem) AttachPropertiesHandler();
    HandlePropertiesChange(GetEffectiveProperties());
    GetEditViewInfo()->Shadow = false;
    ContainerStyleChanged(GetStyle());
  } catch (...) {
    LockClick(false);
    LockChangeEvents(false, false);
    throw;
  }
  LockClick(false);
  LockChangeEvents(false, false);
}

void TcxCustomEdit::SetParent(TWinControl* value) {
  EnsureInitialized();
  if (FFirstParentPending && value) {
    FFirstParentPending = false;
    FDataBinding->RefreshFromData();
    HandlePropertiesChange(FProperties);
    FDataBinding->UpdateDisplayValue();
  }
  inherited::SetParent(value);
}

void TcxCustomEdit::SetName(const AnsiString& newName) {
  inherited::SetName(newName);
  if (FDataBinding) FDataBinding->RefreshFromData();
}

void TcxCustomEdit::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("Height", TReaderProc(this, &TcxCustomEdit::ReadHeight),
                        TWriterProc(this, &TcxCustomEdit::WriteHeight), !CanAutoSize());
  filer->DefineProperty("Width", TReaderProc(this, &TcxCustomEdit::ReadWidth),
                        TWriterProc(this, &TcxCustomEdit::WriteWidth), !(CanAutoSize() && CanAutoWidth()));
  filer->DefineProperty("AnchorX", TReaderProc(this, &TcxCustomEdit::ReadAnchorX),
                        TWriterProc(this, &TcxCustomEdit::WriteAnchorX), UsesAnchorX());
  filer->DefineProperty("AnchorY", TReaderProc(this, &TcxCustomEdit::ReadAnchorY),
                        TWriterProc(this, &TcxCustomEdit::WriteAnchorY), UsesAnchorY());
}

void TcxCustomEdit::ReadHeight(TReader* reader) { SetHeight(reader->ReadInteger()); }
void TcxCustomEdit::WriteHeight(TWriter* writer) { writer->WriteInteger(TcxContainer::GetHeight()); }
void TcxCustomEdit::ReadWidth(TReader* reader) { SetWidth(reader->ReadInteger()); }
void TcxCustomEdit::WriteWidth(TWriter* writer) { writer->WriteInteger(GetWidth()); }

void TcxCustomEdit::ReadAnchorX(TReader* reader) {
  FAnchorX = reader->ReadInteger();
  AlignInnerControl();
}

void TcxCustomEdit::WriteAnchorX(TWriter* writer) {
  CalculateAnchors();
  writer->WriteInteger(FAnchorX);
}

void TcxCustomEdit::ReadAnchorY(TReader* reader) {
  FAnchorY = reader->ReadInteger();
  AlignInnerControl();
}

void TcxCustomEdit::WriteAnchorY(TWriter* writer) {
  CalculateAnchors();
  writer->WriteInteger(FAnchorY);
}

// ==== Value pipeline ==========================================================================

void TcxCustomEdit::SetModified(Boolean value) {
  FModified = value;
  if (!value) FModifiedAfterEnter = false;
}

void TcxCustomEdit::SetModifiedAfterEnter(Boolean value) {
  FModifiedAfterEnter = value;
  if (value) {
    FModified = true;
    FIsEditValidated = false;
  }
}

void TcxCustomEdit::SaveModifiedFlags() { FModifiedFlagsStack.emplace_back(FModified, FModifiedAfterEnter); }

void TcxCustomEdit::RestoreModifiedFlags() {
  if (FModifiedFlagsStack.empty()) return;
  FModified = FModifiedFlagsStack.back().first;
  FModifiedAfterEnter = FModifiedFlagsStack.back().second;
  FModifiedFlagsStack.pop_back();
}

void TcxCustomEdit::LockChangeEvents(Boolean lock, Boolean invokeChangedOnUnlock) {
  GetChangeEventsCatcher()->Lock(lock, invokeChangedOnUnlock);
}

void TcxCustomEdit::LockClick(Boolean lock) {
  if (lock)
    ++FClickLockCount;
  else if (FClickLockCount > 0)
    --FClickLockCount;
}

void TcxCustomEdit::LockEditValueChanging(Boolean lock) {
  if (lock)
    ++FEditValueChangingLockCount;
  else if (FEditValueChangingLockCount > 0)
    --FEditValueChangingLockCount;
}

void TcxCustomEdit::SetEditValue(const Variant& value) {
  if (FEditValueChangingLockCount > 0) return;
  EnsureInitialized();
  LockClick(true);
  try {
    if (!(FUserChangeInProgress && !DoEditing())) AssignEditValue(value, true);
  } catch (...) {
    LockClick(false);
    throw;
  }
  LockClick(false);
}

void TcxCustomEdit::ChangeEditValue(const Variant& value) {
  if (FEditValueChangingLockCount > 0) return;
  EnsureInitialized();
  if (FUserChangeInProgress && !DoEditing()) return;
  AssignEditValue(value, true);
}

void TcxCustomEdit::AssignEditValue(const Variant& value, Boolean isUserAction) {
  if (FUserChangeInProgress && !DoEditing()) return;
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  Boolean changed = false;
  if (properties->IsEditValueComparable()) {
    const Boolean comparable = (IsNumericVariant(FEditValue) && IsNumericVariant(value)) ||
                               VarType(FEditValue) == VarType(value);
    changed = !(comparable && AreVariantsEqual(FEditValue, value));
  }
  FEditValue = value;
  UpdateDisplayValue();
  if (FUserChangeInProgress)
    SetModifiedAfterEnter(true);
  else
    SetModified(false);
  if (changed) {
    DoEditValueChanged();
    if (!properties->HasSeparateChangeEvents()) DoChange();
  }
}

void TcxCustomEdit::Clear() {
  Variant value;
  GetClearValue(value);
  SetEditValue(value);
}

void TcxCustomEdit::GetEditingValue(Variant& value) {
  if (Focused() && FModifiedAfterEnter && !FIsEditValidated)
    GetDisplayValue(value);
  else
    GetEditValue(value);
}

void TcxCustomEdit::EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) {
  GetEffectiveProperties()->EditValueToDisplayValue(value, displayValue, focused);
}

Boolean TcxCustomEdit::IsEditValueStored() {
  Variant value;
  GetEditValue(value);
  return !VarIsNull(value);
}

void TcxCustomEdit::ApplyValidatedDisplayValue(const Variant& value) {
  SaveModifiedFlags();
  try {
    StoreDisplayValue(value);
  } catch (...) {
    RestoreModifiedFlags();
    throw;
  }
  RestoreModifiedFlags();
}

void TcxCustomEdit::Reset() { GetDataBinding()->Reset(); }

Boolean TcxCustomEdit::IsFocusedForDisplay() { return Focused() || !GetEffectiveProperties()->IsFocusDependent(); }

// ==== Editing permission ======================================================================

Boolean TcxCustomEdit::CanModify() {
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  if (properties->GetAssignedValues()->GetReadOnly()) return !properties->GetReadOnly();
  if (FIsInplace) return properties->CanModifyValue();
  IcxEditDefaultValuesProvider* provider = GetDataBinding()->GetDefaultValuesProviderIntf();
  return provider->IsModifiable() && provider->CanEnterEditMode();
}

Boolean TcxCustomEdit::DoEditing() {
  if (!CanEditValue()) return false;
  TcxEditDataBinding* binding = GetDataBinding();
  if (binding->IsInEditMode()) return true;
  Boolean canEdit = CanModify();
  if (!canEdit) return false;
  TFlagScope inOnEditing(FInOnEditing, true);
  if (FIsInplace) {
    LockEditValueChanging(true);
    try {
      if (FOnEditing) FOnEditing(this, canEdit);
    } catch (...) {
      LockEditValueChanging(false);
      throw;
    }
    LockEditValueChanging(false);
    return canEdit;
  }
  const Boolean wasEditing = binding->IsEditing();
  if (FOnEditing) FOnEditing(this, canEdit);
  if (!canEdit) return false;
  if (wasEditing) {
    binding->SetModified();
    return true;
  }
  LockEditValueChanging(true);
  try {
    canEdit = binding->EnterEditMode();
  } catch (...) {
    LockEditValueChanging(false);
    throw;
  }
  LockEditValueChanging(false);
  return canEdit;
}

Boolean TcxCustomEdit::IsValidChar(char c) {
  IcxEditDefaultValuesProvider* provider = GetEffectiveProperties()->GetDefaultValuesProvider();
  if (!provider) return true;
  return provider->IsValidCharacter(c) || provider->HasSetTextHandler();
}

// ==== Change events ===========================================================================

Boolean TcxCustomEdit::HasOnChangeHandler() {
  return bool(GetProperties()->GetOnChange()) || bool(GetEffectiveProperties()->GetOnChange());
}

Boolean TcxCustomEdit::HasOnEditValueChangedHandler() {
  return bool(GetProperties()->GetOnEditValueChanged()) || bool(GetEffectiveProperties()->GetOnEditValueChanged());
}

Boolean TcxCustomEdit::HasOnValidateHandler() {
  return bool(GetProperties()->GetOnValidate()) || bool(GetEffectiveProperties()->GetOnValidate());
}

namespace {
// Saves the modified flags of an in-place editor and marks it modified for the call.
class TInplaceModifiedScope {
 public:
  explicit TInplaceModifiedScope(TcxCustomEdit* edit) : FEdit(edit->IsInplace() ? edit : nullptr) {
    if (!FEdit) return;
    FEdit->SaveModifiedFlags();
    FEdit->SetModifiedAfterEnter(true);
  }
  ~TInplaceModifiedScope() {
    if (FEdit) FEdit->RestoreModifiedFlags();
  }
  TInplaceModifiedScope(const TInplaceModifiedScope&) = delete;
  TInplaceModifiedScope& operator=(const TInplaceModifiedScope&) = delete;

 private:
  TcxCustomEdit* FEdit;
};
}  // namespace

void TcxCustomEdit::DoChange() {
  if (IsLoadingOrDestroying()) return;
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  if (HasOnChangeHandler()) {
    if (GetChangeEventsCatcher()->IsLocked()) {
      FChangeEventsCatcher->OnChangeEvent = true;
    } else {
      TInplaceModifiedScope scope(this);
      FireOnChange();
    }
  }
  if (!properties->HasSeparateChangeEvents() && !properties->IsEditValueComparable()) DoEditValueChanged();
}

void TcxCustomEdit::DoEditValueChanged() {
  if (IsLoadingOrDestroying() || !HasOnEditValueChangedHandler()) return;
  if (GetChangeEventsCatcher()->IsLocked()) {
    FChangeEventsCatcher->OnEditValueChangedEvent = true;
    return;
  }
  TInplaceModifiedScope scope(this);
  FireOnEditValueChanged();
}

void TcxCustomEdit::FireOnChange() {
  TLinkGuard guard(this);
  if (const TNotifyEvent e = GetProperties()->GetOnChange()) e(this);
  if (guard.Alive() && FRepositoryItem)
    if (const TNotifyEvent e = GetEffectiveProperties()->GetOnChange()) e(this);
}

void TcxCustomEdit::FireOnEditValueChanged() {
  TLinkGuard guard(this);
  if (const TNotifyEvent e = GetProperties()->GetOnEditValueChanged()) e(this);
  if (guard.Alive() && FRepositoryItem)
    if (const TNotifyEvent e = GetEffectiveProperties()->GetOnEditValueChanged()) e(this);
}

void TcxCustomEdit::DoButtonClick(Integer index) {
  TLinkGuard guard(this);
  if (const TcxEditButtonClickEvent e = GetProperties()->GetOnButtonClick()) e(this, index);
  if (guard.Alive() && FRepositoryItem)
    if (const TcxEditButtonClickEvent e = GetEffectiveProperties()->GetOnButtonClick()) e(this, index);
}

void TcxCustomEdit::FireOnCloseUp(Integer reason) {
  TLinkGuard guard(this);
  if (const TcxEditClosePopupEvent e = GetProperties()->GetOnPopupClosed()) e(this, reason);
  if (guard.Alive() && FRepositoryItem)
    if (const TcxEditClosePopupEvent e = GetEffectiveProperties()->GetOnPopupClosed()) e(this, reason);
}

Boolean TcxCustomEdit::RunOnValidate(Variant& displayValue, AnsiString& errorText, Boolean& error) {
  TLinkGuard guard(this);
  if (const TcxEditValidateEvent e = GetProperties()->GetOnValidate()) e(this, displayValue, errorText, error);
  if (guard.Alive() && FRepositoryItem)
    if (const TcxEditValidateEvent e = GetEffectiveProperties()->GetOnValidate())
      e(this, displayValue, errorText, error);
  return guard.Alive();
}

void TcxCustomEdit::MarkModifiedAndClick() {
  SetModifiedAfterEnter(true);
  if (FClickLockCount == 0) Click();
}

Integer TcxCustomEdit::ClickDefaultButton() {
  TcxCustomEditViewInfo* viewInfo = GetEditViewInfo();
  for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i)
    if (viewInfo->GetButton(i)->Default) {
      DoButtonClick(viewInfo->GetButton(i)->ButtonIndex);
      return 1;
    }
  return 0;
}

// ==== Validation, posting, revert =============================================================

Boolean TcxCustomEdit::ValidateEditValue(Boolean raiseOnError) {
  if (!FModifiedAfterEnter || FIsEditValidated) return true;
  TFlagScope validating(FIsValidating, true);
  AnsiString text;
  GetDisplayText(text);
  Variant value{text};
  AnsiString errorText;
  Boolean error = false;
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  if (properties->SupportsValidation()) properties->CheckDisplayValue(value, errorText, this, error);
  if (error) {
    // A handler that rewrote the display value gets its text shown even when validation fails.
    auto showValue = [&] {
      AnsiString shown;
      GetDisplayText(shown);
      if (shown == VarToStr(value)) return;
      SetInnerDisplayValue(value);
      if (GetVisible()) {
        SelectAll();
        if (!InnerEditDisplaysText()) RefreshFocusDependentText();
      }
    };
    if (raiseOnError) {
      try {
        HandleValidationError(errorText, true);
      } catch (...) {
        showValue();
        throw;
      }
    }
    showValue();
    return false;
  }
  if (FUserChangeInProgress && !DoEditing()) return true;
  ApplyValidatedDisplayValue(value);
  if (!FIsInplace && !Focused()) SetModifiedAfterEnter(false);
  FIsEditValidated = true;
  return true;
}

void TcxCustomEdit::HandleValidationError(const AnsiString& errorText, Boolean raiseAbort) {
  // A window that is not on the screen (its form not shown yet) cannot take the focus either.
  if (!CanFocus() || !HandleAllocated() || !IsWindowVisible(GetHandle())) {
    FIsEditValidated = true;
    return;
  }
  if (GetVisible()) {
    if (!Focused()) {
      TFlagScope focusing(FFocusingOnError, true);
      if (GetInnerControl() && GetInnerControl()->CanFocus())
        GetInnerControl()->SetFocus();
      else
        SetFocus();
    }
    SelectAll();
  }
  if (GetEffectiveProperties()->GetBeepOnError()) MessageBeep(0);
  if (!errorText.empty()) throw EcxEditValidationError(errorText);
  if (raiseAbort) throw EAbort(AnsiString());
}

Boolean TcxCustomEdit::CanPostEditValue() { return !IsDesigning() && GetDataBinding()->IsEditModeActive(); }

void TcxCustomEdit::PostEditValue(Boolean validateFirst) {
  if (validateFirst) {
    TFlagScope noUserChange(FUserChangeInProgress, false);
    if (!ValidateEditValue(true)) return;
  }
  BeginPost();
  try {
    if (FIsInplace) {
      if (FOnOwnerPostEditValue) FOnOwnerPostEditValue(this);
      SetModified(false);
    } else if (GetDataBinding()->IsEditModeActive()) {
      Variant value;
      GetEditValue(value);
      FDataBinding->StoreValue(value);
    }
  } catch (...) {
    EndPost();
    // The host reports its own errors.
    if (FIsInplace) return;
    HandleValidationError(AnsiString(), false);
    throw;
  }
  EndPost();
}

Boolean TcxCustomEdit::CanRevert() {
  return GetDataBinding()->GetDefaultValuesProviderIntf()->IsDataBound() ||
         GetEffectiveProperties()->IsValueRevertible();
}

void TcxCustomEdit::RevertValue() {
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  if (!FModifiedAfterEnter || !properties->IsValueRevertible()) return;
  LockChangeEvents(true);
  try {
    FModifiedAfterEnter = false;
    Variant value = FValueAtEnter;
    if (FDataBinding->GetDefaultValuesProviderIntf()->IsDataBound()) FDataBinding->GetStoredValue(value);
    ChangeEditValue(value);
    SetModified(true);
    SelectAll();
    if (properties->GetImmediatePost() && CanPostEditValue()) PostEditValue(false);
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

// ==== Inner control ===========================================================================

void TcxCustomEdit::CreateInnerEdit() {
  FInnerEdit = nullptr;
  const TClass cls = GetInnerEditClass();
  if (!cls) return;
  TComponent* control = orv::ClassOf<TComponent>(cls).Create(this);
  if (auto* provider = Supports<IcxInnerEditProvider>(control)) {
    provider->GetInnerEdit(FInnerEdit);
  } else {
    FInnerEdit = Supports<IcxCustomInnerEdit>(control);
  }
}

void TcxCustomEdit::InitializeInnerEdit() {
  FInnerEdit->SetParent(this);
  if (GetEffectiveProperties()->HasSeparateChangeEvents())
    FInnerEdit->SetOnChange(TNotifyEvent(this, &TcxCustomEdit::HandleInnerEditChange));
  FInnerEdit->GetControl()->SetParentShowHint(false);
}

void TcxCustomEdit::HandleInnerEditChange(TObject* sender) {
  if (Focused())
    SetModifiedAfterEnter(true);
  else if (GetEffectiveProperties()->GetNotifyLockCount() == 0)
    GetDataBinding()->SetModified();
  DoChange();
}

void TcxCustomEdit::HookInnerEdit() {
  if (!FInnerEdit || FInnerEditHooked) return;
  TWinControl* control = FInnerEdit->GetControl();
  FPrevInnerEditWndProc = control->GetWindowProc();
  control->SetWindowProc(TWndMethod(this, &TcxCustomEdit::InnerEditWndProc));
  FInnerEditHooked = true;
}

void TcxCustomEdit::UnhookInnerEdit() {
  if (!FInnerEditHooked) return;
  FInnerEditHooked = false;
  if (FInnerEdit) FInnerEdit->GetControl()->SetWindowProc(FPrevInnerEditWndProc);
}

void TcxCustomEdit::InnerEditWndProc(TMessage& message) {
  if (FPrevInnerEditWndProc) FPrevInnerEditWndProc(message);
}

void TcxCustomEdit::CreateHandle() {
  EnsureInitialized();
  inherited::CreateHandle();
  if (FInnerEdit && Focused()) FInnerEdit->SafelySetFocus();
}

void TcxCustomEdit::FocusInnerControl() {
  if (FInnerEdit && FInnerEdit->GetControl()->HandleAllocated())
    FInnerEdit->SafelySetFocus();
  else
    inherited::FocusInnerControl();
}

Boolean TcxCustomEdit::IsOwnWindow(HWND window) {
  if (!window || !HandleAllocated()) return false;
  return window == GetHandle() || IsWindowInsideControl(this, window);
}

Boolean TcxCustomEdit::IsActiveControl() {
  if (Focused()) return true;
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  TWinControl* active = form->GetActiveControl();
  return active == this || (GetInnerControl() && active == GetInnerControl());
}

Boolean TcxCustomEdit::IsPaintCopy() {
  return GetControlState().Contains(csPaintCopy) && GetDataBinding()->GetDefaultValuesProviderIntf()->IsDataBound();
}

void TcxCustomEdit::PaintCopy() {
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  Owned<TcxCustomEditViewInfo> viewInfo(properties->GetViewInfoClass().Create());
  Owned<TcxCustomEditViewData> viewData(CreateViewData());
  Variant value;
  GetDataBinding()->GetStoredValue(value);
  viewData->SetViewInfoValue(GetCanvas(), value, viewInfo.get());
  viewData->CalculateViewInfo(GetCanvas(), GetControlLocalRect(this), false, viewInfo.get());
  viewInfo->Paint(GetCanvas());
  GetCanvas()->ExcludeFromClip(GetControlLocalRect(this));
}

// ==== Keyboard ================================================================================

Boolean TcxCustomEdit::IsClickKey(Word key, TShiftState shift) {
  return GetDefaultButtonIndex() >= 0 &&
         ShortCut(key, shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt)) ==
             GetEffectiveProperties()->GetClickKey();
}

Integer TcxCustomEdit::GetDefaultButtonIndex() {
  TcxEditButtons* buttons = GetEffectiveProperties()->GetButtons();
  for (Integer i = 0; i < buttons->GetCount(); ++i)
    if (buttons->GetItem(i)->GetDefault() && buttons->GetItem(i)->GetVisible()) return i;
  return -1;
}

void TcxCustomEdit::KeyDown(Word& key, TShiftState shift) {
  TLinkGuard guard(this);
  FEscapeReverted = false;
  // Restored by hand, and only while the editor lives: a key handler may free it.
  const Boolean savedEscape = FEscapeKeyDown;
  FEscapeKeyDown = key == VK_ESCAPE;
  try {
    if (!IsClickKey(key, shift)) {
      // The container's own Tab handling is the editor's DoEditKeyDown; only OnKeyDown runs here.
      if (const TKeyEvent e = GetOnKeyDown()) e(this, key, shift);
      if (!guard.Alive()) return;
    }
    if (key != 0) DoEditKeyDown(key, shift);
    if (guard.Alive() && key != 0 && IsKeyPassedToOwner(key, shift)) NotifyKeyToOwner(key, shift);
  } catch (...) {
    if (guard.Alive()) FEscapeKeyDown = savedEscape;
    throw;
  }
  if (guard.Alive()) FEscapeKeyDown = savedEscape;
}

void TcxCustomEdit::NotifyKeyToOwner(Word& key, TShiftState shift) {
  if (FOnOwnerKeyDown) FOnOwnerKeyDown(this, key, shift);
}

Boolean TcxCustomEdit::CanProcessKeyDown(Word key, TShiftState shift) {
  return GetDataBinding()->IsInEditMode() || !IsValueChangingKey(key, shift) || DoEditing();
}

void TcxCustomEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  TLinkGuard guard(this);
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  const TShortCut shortCut = ShortCut(key, shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt));
  if (properties->GetClearKey() != 0 && shortCut == properties->GetClearKey()) {
    LockChangeEvents(true);
    try {
      TFlagScope user(FUserChangeInProgress, true);
      Variant value;
      GetClearValue(value);
      ChangeEditValue(value);
      if (properties->GetImmediatePost() && CanPostEditValue()) PostEditValue(false);
      FIsEditValidated = true;
    } catch (...) {
      LockChangeEvents(false);
      throw;
    }
    LockChangeEvents(false);
    key = 0;
    return;
  }
  if (GetDefaultButtonIndex() >= 0 && shortCut == properties->GetClickKey()) {
    if (HandleAllocated()) DiscardPendingMessages(GetHandle(), WM_CHAR, WM_CHAR);
    ClickDefaultButton();
    key = 0;
    return;
  }
  if (!CanProcessKeyDown(key, shift)) {
    if (guard.Alive()) NotifyKeyToOwner(key, shift);
    key = 0;
    return;
  }
  if (!guard.Alive()) return;
  switch (key) {
    case VK_TAB:
      if (Focused() && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl) && !properties->IsTabKeyConsumed()) {
        HandleTabKey(shift);
        NotifyKeyToOwner(key, shift);
        if (!guard.Alive() || key == 0) return;
        key = 0;
        if (TCustomForm* form = GetParentForm(this)) {
          form->SelectNext(form->GetActiveControl(), !shift.Contains(ssShift), true);
          if (!guard.Alive()) return;
        }
        if (HandleAllocated() && GetFocus() == GetHandle() && GetInnerControl() && GetInnerControl()->CanFocus())
          GetInnerControl()->SetFocus();
      }
      break;
    case VK_RETURN:
      if (properties->GetValidateOnEnter()) {
        key = 0;
        LockChangeEvents(true);
        try {
          if (ValidateEditValue(true) && CanPostEditValue()) PostEditValue(false);
        } catch (...) {
          if (guard.Alive()) LockChangeEvents(false);
          throw;
        }
        if (guard.Alive()) LockChangeEvents(false);
      }
      break;
    case VK_ESCAPE:
      if (FModifiedAfterEnter && CanRevert()) {
        LockChangeEvents(true);
        try {
          GetDataBinding()->Reset();
          SetModified(true);
        } catch (...) {
          LockChangeEvents(false);
          throw;
        }
        LockChangeEvents(false);
        FEscapeReverted = true;
        key = 0;
      }
      break;
    default: break;
  }
  if (key >= VK_PRIOR && key <= VK_DOWN && !HandlesNavigationKeys()) {
    NotifyKeyToOwner(key, shift);
    key = 0;
  }
}

void TcxCustomEdit::KeyPress(char& key) {
  if (key == char(VK_ESCAPE) && FEscapeReverted) {
    FEscapeReverted = false;
    key = 0;
    return;
  }
  TLinkGuard guard(this);
  if (const TKeyPressEvent e = GetOnKeyPress()) e(this, key);
  if (guard.Alive() && key != 0) DoEditKeyPress(key);
  if (guard.Alive() && key != 0 && SpellCheckerHook) SpellCheckerHook->KeyPress(key);
}

void TcxCustomEdit::DoEditKeyPress(char& key) { FilterKeyPress(key); }

Boolean TcxCustomEdit::FilterKeyPress(char& key) {
  if (Byte(key) >= 32 && !IsValidChar(key)) {
    key = 0;
    MessageBeep(0);
  } else if (key != 0 && !GetDataBinding()->IsInEditMode() && IsValueChangingChar(key) && !DoEditing()) {
    key = 0;
  }
  return key != 0;
}

void TcxCustomEdit::KeyUp(Word& key, TShiftState shift) {
  TLinkGuard guard(this);
  inherited::KeyUp(key, shift);
  if (guard.Alive() && key != 0) DoEditKeyUp(key, shift);
}

// ==== Mouse ===================================================================================

void TcxCustomEdit::DblClickTimerHandler(TObject* sender) { FDblClickTimer->SetEnabled(false); }

Integer TcxCustomEdit::GetButtonIndexAt(const TPoint& point) {
  TcxCustomEditViewInfo* viewInfo = GetEditViewInfo();
  for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i)
    if (IsPointInRect(viewInfo->GetButton(i)->VisibleBounds, point)) return viewInfo->GetButton(i)->ButtonIndex;
  return -1;
}

void TcxCustomEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  if (button == mbLeft && FDblClickTimer && FDblClickTimer->GetEnabled()) {
    FDblClickTimer->SetEnabled(false);
    if (GetButtonIndexAt(TPoint{x, y}) < 0) {
      DblClick();
      if (!guard.Alive()) return;
    }
  }
  inherited::MouseDown(button, shift, x, y);
  if (!guard.Alive() || button != mbLeft || !HandleAllocated() || GetCapture() != GetHandle()) return;
  TcxCustomEditViewInfo* viewInfo = GetEditViewInfo();
  for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i) {
    TcxEditButtonViewInfo* b = viewInfo->GetButton(i);
    if (b->State == ebsPressed && IsPointInRect(b->VisibleBounds, TPoint{x, y})) {
      FCapturedButtonIndex = i;
      break;
    }
  }
}

void TcxCustomEdit::DblClick() {
  const TPoint p = HandleAllocated() ? ScreenToClient(QueryCursorPos()) : TPoint{-1, -1};
  if (GetButtonIndexAt(p) < 0) {
    inherited::DblClick();
    return;
  }
  TShiftState shift = GetCurrentShiftState();
  shift.Include(ssLeft);
  TLinkGuard guard(this);
  MouseDown(mbLeft, shift, p.X, p.Y);
  if (guard.Alive()) Click();
}

void TcxCustomEdit::Click() {
  if (GetComponentState().Contains(csDestroying) || FClickLockCount > 0) return;
  if (GetComponentState().Contains(csLoading) && !CanClickWhileLoading()) return;
  inherited::Click();
}

Boolean TcxCustomEdit::CanUseMouseWheel(TShiftState shift) {
  return !FIsInplace || GetEffectiveProperties()->GetMouseWheelEnabled() || shift.Contains(ssCtrl);
}

bool TcxCustomEdit::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  if (!CanUseMouseWheel(shift)) return false;
  return inherited::DoMouseWheel(shift, wheelDelta, mousePos);
}

void TcxCustomEdit::UpdateViewInfoFor(const TPoint& point, Integer button, Boolean isMouseEvent, TShiftState shift) {
  Owned<TcxCustomEditViewData> viewData(CreateViewData());
  viewData->CalculateViewInfo(GetCanvas(), GetControlLocalRect(this), isMouseEvent, GetEditViewInfo(), shift,
                              button, point);
}

Boolean TcxCustomEdit::RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent,
                                        TShiftState shift) {
  EnsureInitialized();
  if (!HandleAllocated() || GetCapture() != GetHandle()) FCapturedButtonIndex = -1;
  TcxCustomEditViewInfo* viewInfo = GetEditViewInfo();
  Owned<TcxCustomEditViewInfo> copy;
  if (isMouseEvent) {
    copy.reset(static_cast<TcxCustomEditViewInfo*>(GetViewInfoClass().Create()));
    copy->Assign(viewInfo);
  }
  UpdateViewInfoFor(point, button, isMouseEvent, shift);
  const Boolean changed = viewInfo->InvalidateChanges(this, copy.get());
  if (!changed && copy) return true;
  TLinkGuard guard(this);
  AlignInnerControl();
  if (!guard.Alive()) return false;
  UpdateViewInfoFor(point, button, isMouseEvent, shift);
  ApplyColorsToInnerControl();
  UpdateWindowRegion();
  if (viewInfo->ContainerState.Contains(csHotTrack) && HandleAllocated())
    StartMouseTracking(this, GetBounds(), this);
  if (copy) ProcessButtonStateChange(copy.get());
  return guard.Alive();
}

void TcxCustomEdit::ProcessButtonStateChange(TcxCustomEditViewInfo* previous) {
  TcxCustomEditViewInfo* viewInfo = GetEditViewInfo();
  if (previous->PressedButtonIndex == viewInfo->PressedButtonIndex &&
      previous->HotButtonIndex == viewInfo->HotButtonIndex)
    return;
  TLinkGuard guard(this);
  const Integer pressed = previous->PressedButtonIndex;
  if (pressed >= 0 && viewInfo->PressedButtonIndex != pressed) {
    const Boolean releasedOver = viewInfo->HotButtonIndex == pressed;
    DoButtonUp(pressed);
    if (guard.Alive() && releasedOver) DoButtonClick(pressed);
    if (!guard.Alive()) return;
  }
  if (viewInfo->PressedButtonIndex >= 0 && pressed < 0) DoButtonDown(viewInfo->PressedButtonIndex);
}

// ==== Focus ===================================================================================

void TcxCustomEdit::DoEnter() {
  if (GetComponentState().Contains(csDestroying)) return;
  TLinkGuard guard(this);
  if (!FFocusingOnError) EnterEdit();
  if (!guard.Alive()) return;
  RefreshStateAtCursor(false);
  if (guard.Alive() && SpellCheckerHook) SpellCheckerHook->FocusEnter(GetInnerControl());
}

void TcxCustomEdit::EnterEdit() {
  SaveModifiedFlags();
  try {
    inherited::DoEnter();
    if (RefreshesDisplayOnFocus()) GetDataBinding()->UpdateDisplayValue();
    if (GetEffectiveProperties()->IsValueRevertible()) GetEditValue(FValueAtEnter);
    if (RefreshesDisplayOnFocus()) UpdateDisplayValue();
  } catch (...) {
    RestoreModifiedFlags();
    FModifiedAfterEnter = false;
    throw;
  }
  RestoreModifiedFlags();
  FModifiedAfterEnter = false;
}

void TcxCustomEdit::DoExit() {
  TFlagScope noUserChange(FUserChangeInProgress, false);
  if (SpellCheckerHook) SpellCheckerHook->FocusExit();
  ExitEdit(true);
}

void TcxCustomEdit::ExitEdit(Boolean callDoExit) {
  if (GetComponentState().Contains(csDestroying) || FFocusingOnError) return;
  TLinkGuard guard(this);
  SaveModifiedFlags();
  LockChangeEvents(true);
  Boolean valid = false;
  try {
    valid = ValidateEditValue(true);
    if (valid && !FIsInplace && CanPostEditValue()) PostEditValue(false);
  } catch (...) {
    if (guard.Alive()) {
      RestoreModifiedFlags();
      LockChangeEvents(false);
    }
    throw;
  }
  if (!guard.Alive()) return;
  LockChangeEvents(false);
  if (!guard.Alive()) return;
  if (RefreshesDisplayOnFocus()) GetDataBinding()->UpdateDisplayValue();
  RefreshFocusDependentText();
  RefreshStateAtCursor(false);
  RestoreModifiedFlags();
  if (callDoExit) {
    try {
      inherited::DoExit();
    } catch (...) {
      if (guard.Alive()) SetModifiedAfterEnter(false);
      throw;
    }
  }
  if (guard.Alive()) SetModifiedAfterEnter(false);
}

void TcxCustomEdit::FocusChanged() {
  if (GetComponentState().Contains(csDestroying) || FFocusingOnError) return;
  const Boolean state = Focused() && Application->GetActive();
  if (state == FLastFocusState) {
    // No change to announce; the look may still follow the window focus.
    RefreshStateAtCursor(false);
    return;
  }
  FLastFocusState = state;
  TLinkGuard guard(this);
  inherited::FocusChanged();
  if (guard.Alive()) HandleFocusChanged();
}

void TcxCustomEdit::HandleFocusChanged() {
  RefreshFocusDependentText();
  TCustomForm* form = GetParentForm(this);
  if (form && !form->GetVisible() && form->GetModalResult() != mrNone && form->GetModalResult() != mrCancel)
    ValidateEditValue(false);
}

// ==== In-place activation =====================================================================

void TcxCustomEdit::Activate(TcxCustomEditData*& editData) {
  EnsureInitialized();
  if (!editData && GetEditDataClass()) editData = GetEditDataClass().Create(this);
  FEditData = editData;
  if (FEditData && FEditData->GetCleared()) {
    InitializeEditData();
    FEditData->SetCleared(false);
  }
  SetVisible(true);
  if (HandleAllocated() && CanFocus()) {
    SetFocus();
    if (GetEffectiveProperties()->GetAutoSelect()) SelectAll();
  }
  UpdateDisplayValue();
  SetModified(false);
  FIsActivated = true;
}

void TcxCustomEdit::ActivateByKey(char key, TcxCustomEditData*& editData) {
  HookInnerEdit();
  try {
    Activate(editData);
    if (PassesActivationKey(key) && HandleAllocated()) SendMessage(GetHandle(), WM_CHAR, WPARAM(Byte(key)), 0);
  } catch (...) {
    UnhookInnerEdit();
    throw;
  }
  UnhookInnerEdit();
}

void TcxCustomEdit::ActivateByMouse(TShiftState shift, Integer x, Integer y, TcxCustomEditData*& editData) {
  Activate(editData);
  if (!HandleAllocated()) return;
  TPoint p{x, y};
  if (GetParent() && GetParent()->HandleAllocated()) p = ScreenToClient(GetParent()->ClientToScreen(p));
  const LPARAM lParam = MAKELPARAM(p.X, p.Y);
  WPARAM wParam = 0;
  if (shift.Contains(ssShift)) wParam |= MK_SHIFT;
  if (shift.Contains(ssCtrl)) wParam |= MK_CONTROL;
  if (shift.Contains(ssLeft)) {
    wParam |= MK_LBUTTON;
    SendMessage(GetHandle(), WM_MOUSEMOVE, wParam, lParam);
    SendMessage(GetHandle(), WM_LBUTTONDOWN, wParam, lParam);
    if (GetCapture() == GetHandle() && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) ReleaseCapture();
  } else {
    SendMessage(GetHandle(), WM_LBUTTONUP, wParam, lParam);
  }
  FDblClickTimer->SetEnabled(true);
}

Boolean TcxCustomEdit::Deactivate() {
  if (FDblClickTimer) FDblClickTimer->SetEnabled(false);
  FUserChangeInProgress = false;
  const Boolean result = ValidateEditValue(true);
  if (result) {
    UpdateDisplayValue();
    FIsEditValidated = true;
  }
  return result;
}

void TcxCustomEdit::GetTabOrderList(TList* list) {
  inherited::GetTabOrderList(list);
  if (FIsInplace && GetVisible() && GetParent()) list->Remove(GetParent());
}

void TcxCustomEdit::DefaultHandler(TMessage& message) {
  if (FIsInplace && message.Msg == WM_CONTEXTMENU) return;
  inherited::DefaultHandler(message);
}

// ==== Messages, painting, container overrides =================================================

void TcxCustomEdit::HandleClipboardMessage(TMessage& message) {
  TFlagScope user(FUserChangeInProgress, true);
  const Boolean noData = !GetDataBinding()->HasDataSource();
  switch (message.Msg) {
    case WM_COPY: CopyToClipboard(); break;
    case WM_CUT:
      if (IsValueReadOnly() || noData)
        CopyToClipboard();
      else
        CutToClipboard();
      break;
    case WM_PASTE:
      if (!IsValueReadOnly() && !noData) PasteFromClipboard();
      break;
    default: break;
  }
}

void TcxCustomEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_COPY:
    case WM_CUT:
    case WM_PASTE: HandleClipboardMessage(message); return;
    case CM_DIALOGCHAR: {
      TcxCustomEditViewInfo* viewInfo = GetEditViewInfo();
      for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i) {
        TcxEditButtonViewInfo* b = viewInfo->GetButton(i);
        if (b->Kind == bkText && IsAccel(Word(message.WParam), b->Caption)) {
          DoButtonClick(b->ButtonIndex);
          message.Result = 1;
          return;
        }
      }
      break;
    }
    case CM_SHOWINGCHANGED: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (guard.Alive() && GetShowing()) AlignInnerControl();
      return;
    }
    case CM_HINTSHOW: {
      auto* info = reinterpret_cast<THintInfo*>(message.LParam);
      if (!info) break;
      TcxCustomEditViewInfo* viewInfo = GetEditViewInfo();
      const Integer part = viewInfo->GetPartIndexAt(info->CursorPos);
      if (part == -2) {
        message.Result = -1;
        return;
      }
      AnsiString hint;
      if (part >= 0 && part < GetEffectiveProperties()->GetButtons()->GetCount())
        hint = GetEffectiveProperties()->GetButtons()->GetItem(part)->GetHint();
      if (hint.empty() && GetShowHint()) hint = GetHint();
      info->HintStr = hint.substr(0, hint.find('|'));
      info->CursorRect = viewInfo->GetPartRect(part);
      message.Result = 0;
      return;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

Boolean TcxCustomEdit::HandleInnerControlMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_CUT:
    case WM_PASTE: {
      GetDataBinding()->EnterEditMode();
      if (!FInnerEdit || FInnerEdit->RejectsClipboardMessages()) return false;
      TFlagScope user(FUserChangeInProgress, true);
      if (message.Msg == WM_CUT) {
        if (FInnerEdit->GetReadOnly())
          CopyToClipboard();
        else
          CutToClipboard();
      } else if (!FInnerEdit->GetReadOnly()) {
        PasteFromClipboard();
      }
      return true;
    }
    case WM_CLEAR: GetDataBinding()->EnterEditMode(); return false;
    default: return inherited::HandleInnerControlMessage(message);
  }
}

void TcxCustomEdit::Paint() {
  if (IsPaintCopy()) {
    PaintCopy();
    return;
  }
  inherited::Paint();
}

TRect TcxCustomEdit::GetBorderExtent() {
  TcxCustomEditViewInfo* viewInfo = GetEditViewInfo();
  const TRect b = viewInfo->Bounds;
  const TRect i = viewInfo->InnerBorderRect;
  return TRect{i.Left - b.Left, i.Top - b.Top, b.Right - i.Right, b.Bottom - i.Bottom};
}

Integer TcxCustomEdit::GetColorState() {
  if (GetEnabled() && GetEffectiveProperties()->GetReadOnly()) return 3;
  return inherited::GetColorState();
}

Boolean TcxCustomEdit::IsNativeStyleAvailable() {
  return TcxCustomEditViewData::UsesNativeStyle(GetStyle()->GetLookAndFeel());
}

TcxContainerStyleValues TcxCustomEdit::GetUnstoredStyleValues() {
  TcxContainerStyleValues values;
  for (Integer index = svButtonStyle; index <= svGradientDirection; ++index)
    values.Include(TcxContainerStyleValue(index));
  return values;
}

// ==== Repository ==============================================================================

TcxEditRepositoryItem::TcxEditRepositoryItem(TComponent* owner) : TComponent(owner) {}

void TcxEditRepositoryItem::BeforeDestruction() {
  Destroying();
  for (Integer i = Integer(FListeners.size()) - 1; i >= 0; --i) {
    if (i >= Integer(FListeners.size())) continue;
    FListeners[std::size_t(i)]->ItemRemoved(this);
  }
  FListeners.clear();
  SetRepository(nullptr);
  inherited::BeforeDestruction();
}

TcxEditRepositoryItem::~TcxEditRepositoryItem() { orv::Free(FProperties); }

TcxCustomEditProperties* TcxEditRepositoryItem::GetProperties() {
  if (!FProperties) {
    FProperties = GetPropertiesClass().Create(this);
    FProperties->SetOnPropertiesChanged(TNotifyEvent(this, &TcxEditRepositoryItem::NotifyPropertiesChanged));
  }
  return FProperties;
}

TcxCustomEditPropertiesClass TcxEditRepositoryItem::GetPropertiesClass() {
  return TcxCustomEditProperties::StaticClass();
}

void TcxEditRepositoryItem::NotifyPropertiesChanged(TObject* sender) {
  const std::vector<IcxEditRepositoryItemListener*> listeners = FListeners;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
    if (std::find(FListeners.begin(), FListeners.end(), *it) != FListeners.end()) (*it)->PropertiesChanged(this);
}

void TcxEditRepositoryItem::AddListener(IcxEditRepositoryItemListener* listener) {
  if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) FListeners.push_back(listener);
}

void TcxEditRepositoryItem::RemoveListener(IcxEditRepositoryItemListener* listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}

void TcxEditRepositoryItem::GetDefaultItemName(AnsiString& name) {
  static const AnsiString kPrefix = "TcxEditRepository";
  const AnsiString className = ClassName();
  const std::size_t at = className.find(kPrefix);
  name = (FRepository ? FRepository->GetName() : AnsiString()) +
         (at == AnsiString::npos ? AnsiString() : className.substr(at + kPrefix.size()));
}

Boolean TcxEditRepositoryItem::IsPropertiesClassCompatible(TClass cls) {
  return GetProperties()->InheritsFrom(cls);
}

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* value) {
  if (value == FRepository) return;
  if (FRepository) {
    auto& items = FRepository->FItems;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
  }
  FRepository = value;
  if (FRepository && std::find(FRepository->FItems.begin(), FRepository->FItems.end(), this) == FRepository->FItems.end())
    FRepository->FItems.push_back(this);
}

TComponent* TcxEditRepositoryItem::GetParentComponent() const { return FRepository; }

void TcxEditRepositoryItem::SetParentComponent(TComponent* value) {
  // While loading, ReadState joins the repository the reader names.
  if (GetComponentState().Contains(csLoading)) return;
  if (auto* repository = dynamic_cast<TcxEditRepository*>(value)) SetRepository(repository);
}

void TcxEditRepositoryItem::ReadState(TReader* reader) {
  inherited::ReadState(reader);
  if (auto* repository = dynamic_cast<TcxEditRepository*>(reader->GetParent())) SetRepository(repository);
}

void TcxEditRepository::BeforeDestruction() {
  Destroying();
  ClearItems();
  inherited::BeforeDestruction();
}

void TcxEditRepository::GetChildren(TGetChildProc proc, TComponent* root) {
  for (TcxEditRepositoryItem* item : FItems)
    if (item->GetOwner() == root) proc(item);
}

void TcxEditRepository::DetachItem(TcxEditRepositoryItem* item) { item->SetRepository(nullptr); }

void TcxEditRepository::ClearItems() {
  while (!FItems.empty()) {
    TcxEditRepositoryItem* item = FItems.back();
    item->SetRepository(nullptr);
    item->Free();
  }
}

TcxEditRepositoryItem* TcxEditRepository::CreateItem(TcxEditRepositoryItemClass itemClass) {
  return CreateItemEx(itemClass, this);
}

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TcxEditRepositoryItemClass itemClass, TComponent* owner) {
  TcxEditRepositoryItem* item = itemClass.Create(owner);
  item->SetRepository(this);
  return item;
}

TcxRegisteredClasses* GetEditPropertiesRegistry() {
  static Owned<TcxRegisteredClasses> registry([] {
    auto* r = new TcxRegisteredClasses(false);
    r->SetSortedState(true);
    return r;
  }());
  return registry.get();
}

TcxEditRepository* GetGlobalEditRepository() {
  static Owned<TcxEditRepository> repository(new TcxEditRepository(nullptr));
  return repository.get();
}

Boolean UseOwnPropertiesIfCompatible(TcxCustomEditProperties* ownProperties, TcxEditRepositoryItem* repositoryItem,
                                     TcxCustomEditProperties*& properties) {
  if (!ownProperties || !repositoryItem || properties != repositoryItem->GetProperties()) return false;
  if (!properties->InheritsFrom(ownProperties->ClassType())) return false;
  properties = ownProperties;
  return true;
}

// ==== In-place edit list ======================================================================

TcxInplaceEditList::TcxInplaceEditList(TComponent* editorOwner) : FEditorOwner(editorOwner) {
  InplaceEditLists().push_back(this);
}

void TcxInplaceEditList::BeforeDestruction() {
  auto& lists = InplaceEditLists();
  lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
  std::vector<TItem> items;
  items.swap(FItems);
  for (TItem& item : items) item.Edit->Free();
  inherited::BeforeDestruction();
}

Integer TcxInplaceEditList::GetListCount() { return Integer(InplaceEditLists().size()); }
TcxInplaceEditList* TcxInplaceEditList::GetList(Integer index) { return InplaceEditLists()[std::size_t(index)]; }

TcxCustomEdit* TcxInplaceEditList::CreateEditor(TcxCustomEditPropertiesClass propertiesClass) {
  Owned<TcxCustomEditProperties> probe(propertiesClass.Create(nullptr));
  TcxCustomEdit* edit = TcxCustomEdit::CreateInplace(probe->GetEditClass(), FEditorOwner, true);
  edit->SetVisible(false);
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::FindEditorFor(TcxCustomEditProperties* properties) {
  for (TItem& item : FItems)
    if (item.Properties == properties) return item.Edit;
  const TClass editClass = properties->GetEditClass();
  for (TItem& item : FItems)
    if (!item.Properties && item.Edit->ClassType() == editClass) {
      item.Properties = properties;
      return item.Edit;
    }
  return nullptr;
}

TcxCustomEdit* TcxInplaceEditList::GetEditorFor(TcxCustomEditProperties* properties) {
  TcxCustomEdit* edit = FindEditorFor(properties);
  if (!edit) {
    edit = TcxCustomEdit::CreateInplace(properties->GetEditClass(), FEditorOwner, true);
    edit->SetVisible(false);
    FItems.push_back(TItem{edit, properties});
  }
  edit->LockChangeEvents(true);
  try {
    edit->GetProperties()->Assign(properties);
  } catch (...) {
    edit->LockChangeEvents(false, false);
    throw;
  }
  edit->LockChangeEvents(false, false);
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::FindEditorOfClass(TcxCustomEditPropertiesClass propertiesClass) {
  Owned<TcxCustomEditProperties> probe(propertiesClass.Create(nullptr));
  const TClass editClass = probe->GetEditClass();
  for (TItem& item : FItems)
    if (!item.Properties && item.Edit->ClassType() == editClass) return item.Edit;
  return nullptr;
}

TcxCustomEdit* TcxInplaceEditList::GetEditorOfClass(TcxCustomEditPropertiesClass propertiesClass) {
  if (TcxCustomEdit* edit = FindEditorOfClass(propertiesClass)) return edit;
  TcxCustomEdit* edit = CreateEditor(propertiesClass);
  FItems.push_back(TItem{edit, nullptr});
  return edit;
}

void TcxInplaceEditList::ForgetProperties(TcxCustomEditProperties* properties) {
  for (TItem& item : FItems)
    if (item.Properties == properties) item.Properties = nullptr;
}

void TcxInplaceEditList::RemoveByProperties(TcxCustomEditProperties* properties) {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Properties == properties) {
      TcxCustomEdit* edit = FItems[i].Edit;
      FItems.erase(FItems.begin() + std::ptrdiff_t(i));
      edit->SetParent(nullptr);
      edit->Free();
      return;
    }
}
