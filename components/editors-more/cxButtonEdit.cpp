#include "components/editors-more/cxButtonEdit.h"

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPublished.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"

namespace {

const bool kButtonEditRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxButtonEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryButtonItem));
  return true;
}();

}  // namespace

TcxCustomButtonEditProperties::TcxCustomButtonEditProperties(TPersistent* owner)
    : TcxCustomMaskEditProperties(owner) {
  TcxEditButton* button = GetButtons()->Add();
  button->SetKind(bkEllipsis);
  button->SetDefault(true);
}

TcxCustomEditClass TcxCustomButtonEditProperties::GetEditClass() { return TcxButtonEdit::StaticClass(); }

TcxCustomEditPropertiesClass TcxCustomButtonEdit::GetPropertiesClass() {
  return TcxCustomButtonEditProperties::StaticClass();
}

TcxContainerStyleValues TcxCustomButtonEdit::GetUnstoredStyleValues() {
  TcxContainerStyleValues values = inherited::GetUnstoredStyleValues();
  values.Exclude(TcxContainerStyleValue(svButtonStyle));
  values.Exclude(TcxContainerStyleValue(svButtonTransparency));
  values.Exclude(TcxContainerStyleValue(svGradientButtons));
  return values;
}

TcxCustomEditPropertiesClass TcxButtonEdit::GetPropertiesClass() { return TcxButtonEditProperties::StaticClass(); }

void TcxButtonEdit::ReadState(TReader* reader) {
  if (!FButtonsReset) {
    GetProperties()->GetButtons()->Clear();
    GetEffectiveProperties()->GetButtons()->Clear();
    FButtonsReset = true;
  }
  inherited::ReadState(reader);
}

// ==== Published ================================================================================

ORV_PUBLISH(TcxButtonEditProperties) {
  using T = TcxButtonEditProperties;
  p.Property("BeepOnError", &T::GetBeepOnError, &T::SetBeepOnError).Default(false);
  p.Property("Buttons", &T::GetButtons, &T::SetButtons);
  p.Property("CaseInsensitive", &T::GetCaseInsensitive, &T::SetCaseInsensitive).Default(true);
  p.Property("ClickKey", &T::GetClickKey, &T::SetClickKey).Default(TShortCut(16397));
  p.Property("HideCursor", &T::GetHideCursor, &T::SetHideCursor).Stored([](T*) { return false; });
  p.Property("IgnoreMaskBlank", &T::GetIgnoreMaskBlank, &T::SetIgnoreMaskBlank).Default(false);
  p.Property("MaskKind", &T::GetMaskKind, &T::SetMaskKind).Default(emkStandard);
  p.Property("EditMask", &T::GetEditMask, &T::SetEditMask);
  p.Property("ValidateOnEnter", &T::GetValidateOnEnter, &T::SetValidateOnEnter).Default(true);
  p.Property("ViewStyle", &T::GetViewStyle, &T::SetViewStyle).Default(vsNormal);
  p.Property("OnButtonClick", &T::GetOnButtonClick, &T::SetOnButtonClick);
}

ORV_PUBLISH(TcxButtonEdit) {
  using T = TcxButtonEdit;
  orv::PublishLayout(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(true);
  orv::PublishDrag(p);
  orv::PublishState(p);
  orv::PublishFont(p);
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("Properties", [](T* x) { return x->GetProperties(); },
             [](T* x, TcxButtonEditProperties* v) { x->SetProperties(v); });
  p.Property("Text", [](T* x) { return x->GetTextProperty(); }, [](T* x, AnsiString v) { x->SetTextProperty(v); });
}
