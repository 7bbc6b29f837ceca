#include "components/editors-more/cxHyperLinkEdit.h"

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPublished.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Menus.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/ShellApi.h"

namespace {

const bool kHyperLinkEditRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxHyperLinkEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryHyperLinkItem));
  FilterEditsController()->AddHelperClass(TcxHyperLinkEditProperties::StaticClass(),
                                          TcxFilterHyperLinkEditHelper::StaticClass());
  return true;
}();

AnsiString DefaultPrefix() { return GetLocalizedResourceString(&scxSHyperLinkPrefix); }

}  // namespace

// ==== Properties ===============================================================================

TcxCustomHyperLinkEditProperties::TcxCustomHyperLinkEditProperties(TPersistent* owner)
    : TcxCustomTextEditProperties(owner) {
  SetAutoSelect(false);
  FPrefix = DefaultPrefix();
}

TcxCustomEditClass TcxCustomHyperLinkEditProperties::GetEditClass() { return TcxHyperLinkEdit::StaticClass(); }

void TcxCustomHyperLinkEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomHyperLinkEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetLinkColor(s->FLinkColor);
    FPrefix = s->FPrefix;
    SetSingleClick(s->FSingleClick);
    FStartKey = s->FStartKey;
    FUsePrefix = s->FUsePrefix;
    FOnStartClick = s->FOnStartClick;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomHyperLinkEditProperties::SetSingleClick(Boolean value) {
  if (value == FSingleClick) return;
  FSingleClick = value;
  Changed();
}

void TcxCustomHyperLinkEditProperties::SetLinkColor(TColor value) {
  if (value == FLinkColor) return;
  FLinkColor = value;
  Changed();
}

Boolean TcxCustomHyperLinkEditProperties::IsPrefixStored() { return FPrefix != DefaultPrefix(); }

void TcxCustomHyperLinkEditProperties::AddPrefix(const AnsiString& text, AnsiString& result) {
  result = Trim(text);
  if (!FPrefix.empty() && !result.empty() && result.compare(0, FPrefix.size(), FPrefix) != 0)
    result = Trim(FPrefix + result);
}

Word TcxCustomHyperLinkEditProperties::GetCapabilities() {
  Word capabilities = inherited::GetCapabilities();
  if (FSingleClick) capabilities |= 1;
  return capabilities;
}

void TcxCustomHyperLinkEditProperties::CheckDisplayValue(Variant& displayValue, AnsiString& errorText,
                                                         TcxCustomEdit* editor, Boolean& error) {
  if (FUsePrefix == upAlways) {
    AnsiString prefixed;
    AddPrefix(VarToStr(displayValue), prefixed);
    displayValue = Variant(prefixed);
  }
  inherited::CheckDisplayValue(displayValue, errorText, editor, error);
}

// ==== Editor ===================================================================================

TcxCustomEditPropertiesClass TcxCustomHyperLinkEdit::GetPropertiesClass() {
  return TcxCustomHyperLinkEditProperties::StaticClass();
}

TcxCustomEditPropertiesClass TcxHyperLinkEdit::GetPropertiesClass() {
  return TcxHyperLinkEditProperties::StaticClass();
}

void TcxCustomHyperLinkEdit::StartLink() {
  auto* own = static_cast<TcxCustomHyperLinkEditProperties*>(GetProperties());
  TcxCustomHyperLinkEditProperties* effective = HyperLinkProperties();
  Boolean handled = false;
  if (own->GetOnStartClick()) {
    own->GetOnStartClick()(this);
    handled = true;
  }
  if (GetRepositoryItem() && effective != own && effective->GetOnStartClick()) {
    effective->GetOnStartClick()(this);
    handled = true;
  }
  if (handled) return;
  AnsiString link = Trim(GetText());
  if (effective->GetUsePrefix() != upNever) {
    AnsiString prefixed;
    effective->AddPrefix(link, prefixed);
    link = prefixed;
  }
  if (!link.empty()) ShellExecute(nullptr, "OPEN", link.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void TcxCustomHyperLinkEdit::SelectAll() {
  if (IsInplace() && HyperLinkProperties()->GetSingleClick()) return;
  inherited::SelectAll();
}

void TcxCustomHyperLinkEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  const TShortCut shortCut =
      ShortCut(key, shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt));
  if (shortCut != 0 && shortCut == HyperLinkProperties()->GetStartKey()) {
    StartLink();
    key = 0;
    return;
  }
  inherited::DoEditKeyDown(key, shift);
}

Boolean TcxCustomHyperLinkEdit::InClient(Integer x, Integer y) {
  // A press or release outside the editor (a drag that left it) starts nothing.
  const TRect r = GetClientRect();
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

void TcxCustomHyperLinkEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  if (button == mbLeft && shift.Contains(ssDouble) && !HyperLinkProperties()->GetSingleClick() && InClient(x, y))
    StartLink();
}

// The release of a left click, on the editor or on its inner edit (whose own release stays with
// the edit window's selection handling).
void TcxCustomHyperLinkEdit::Click() {
  inherited::Click();
  if (HyperLinkProperties()->GetSingleClick() && GetSelectionLength() == 0) StartLink();
}

TcxCustomEditClass TcxFilterHyperLinkEditHelper::GetFilterEditorClass() const {
  return TcxHyperLinkEdit::StaticClass();
}

// ==== Published ================================================================================

const orv::EnumNames<TcxHyperLinkEditUsePrefix> kUsePrefixNames("TcxHyperLinkEditUsePrefix",
                                                                {"upAlways", "upOnlyOnExecute", "upNever"});

ORV_PUBLISH(TcxHyperLinkEditProperties) {
  using T = TcxHyperLinkEditProperties;
  p.Property("AutoComplete", &T::GetAutoComplete, &T::SetAutoComplete).Stored([](T*) { return false; });
  p.Property("AutoSelect", &T::GetAutoSelect, &T::SetAutoSelect).Default(false);
  p.Property("LinkColor", &T::GetLinkColor, &T::SetLinkColor).Default(clBlue);
  p.Property("Prefix", &T::GetPrefix, &T::SetPrefix).Stored([](T* x) { return x->IsPrefixStored(); });
  p.Property("StartKey", &T::GetStartKey, &T::SetStartKey).Default(TShortCut(16397));
  p.Property("SingleClick", &T::GetSingleClick, &T::SetSingleClick).Default(false);
  p.Property("UsePrefix", &T::GetUsePrefix, &T::SetUsePrefix).Default(upAlways);
  p.Property("ValidateOnEnter", &T::GetValidateOnEnter, &T::SetValidateOnEnter).Default(false);
  p.Property("OnStartClick", &T::GetOnStartClick, &T::SetOnStartClick);
}

ORV_PUBLISH(TcxHyperLinkEdit) {
  using T = TcxHyperLinkEdit;
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
             [](T* x, TcxHyperLinkEditProperties* v) { x->SetProperties(v); });
  p.Property("Text", [](T* x) { return x->GetTextProperty(); }, [](T* x, AnsiString v) { x->SetTextProperty(v); });
}
