// The button editor: a masked text editor with embedded buttons; it starts with one ellipsis
// button that is the default button (its click key, Ctrl+Enter, presses it).
#pragma once

#include "components/editors/cxMaskEdit.h"

class TcxCustomButtonEditProperties : public TcxCustomMaskEditProperties {
  ORV_CLASS(TcxCustomButtonEditProperties, TcxCustomMaskEditProperties)
 public:
  explicit TcxCustomButtonEditProperties(TPersistent* owner);
  TcxCustomEditClass GetEditClass() override;
};

class TcxButtonEditProperties : public TcxCustomButtonEditProperties {
  ORV_CLASS(TcxButtonEditProperties, TcxCustomButtonEditProperties)
 public:
  explicit TcxButtonEditProperties(TPersistent* owner) : TcxCustomButtonEditProperties(owner) {}
};

class TcxCustomButtonEdit : public TcxCustomMaskEdit {
  ORV_CLASS(TcxCustomButtonEdit, TcxCustomMaskEdit)
 public:
  explicit TcxCustomButtonEdit(TComponent* owner) : TcxCustomMaskEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  // The button editor's style stores its button look (style, transparency, gradient buttons).
  TcxContainerStyleValues GetUnstoredStyleValues() override;
  Boolean HasEditableText() override { return CanEditPlainText(); }
  TcxCustomButtonEditProperties* GetButtonProperties() {
    return static_cast<TcxCustomButtonEditProperties*>(GetEffectiveProperties());
  }
};

class TcxButtonEdit : public TcxCustomButtonEdit {
  ORV_CLASS(TcxButtonEdit, TcxCustomButtonEdit)
 public:
  explicit TcxButtonEdit(TComponent* owner) : TcxCustomButtonEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxButtonEditProperties* GetProperties() {
    return static_cast<TcxButtonEditProperties*>(TcxCustomEdit::GetProperties());
  }
  void SetProperties(TcxButtonEditProperties* value) { GetProperties()->Assign(value); }
  TcxButtonEditProperties* GetActiveProperties() {
    return static_cast<TcxButtonEditProperties*>(GetEffectiveProperties());
  }
  Boolean GetButtonsReset() const { return FButtonsReset; }
  // A loaded editor has the buttons of its form data only: the default ellipsis goes first.
  void ReadState(TReader* reader) override;

 private:
  Boolean FButtonsReset = false;
};
