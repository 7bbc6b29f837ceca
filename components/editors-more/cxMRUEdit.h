// The MRU editor: a combo box whose items are the most recently confirmed texts, newest first,
// cut to MaxItemCount, with an ellipsis button (the default button) for the application's choice.
#pragma once

#include "components/editors/cxDropDownEdit.h"

class TcxCustomMRUEditProperties;
using TcxMRUEditDeleteLookupItemEvent =
    orv::Event<void(TcxCustomMRUEditProperties* properties, Integer itemIndex)>;

class TcxCustomMRUEditProperties : public TcxCustomComboBoxProperties {
  ORV_CLASS(TcxCustomMRUEditProperties, TcxCustomComboBoxProperties)
 public:
  explicit TcxCustomMRUEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  TcxCustomEditClass GetEditClass() override;

  Integer GetMaxItemCount() const { return FMaxItemCount; }
  // Negative values become 0 (unlimited); a lower count deletes items from the bottom at once.
  void SetMaxItemCount(Integer value);
  Boolean GetShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(Boolean value);
  const TNotifyEvent& GetOnButtonClick() const { return FOnButtonClick; }
  void SetOnButtonClick(const TNotifyEvent& value) { FOnButtonClick = value; }
  const TcxMRUEditDeleteLookupItemEvent& GetOnDeleteLookupItem() const { return FOnDeleteLookupItem; }
  void SetOnDeleteLookupItem(const TcxMRUEditDeleteLookupItemEvent& value) { FOnDeleteLookupItem = value; }

  virtual void FireNewLookupDisplayText(const AnsiString& text) { DoNewLookupDisplayText(this, text); }
  // Moves the text to the top of the list, or inserts it there and trims the list.
  virtual void AddRecentItem(const AnsiString& text, Boolean fire);
  void TrimToMaxItemCount();

 private:
  Integer FMaxItemCount = 0;
  Boolean FShowEllipsis = true;
  TNotifyEvent FOnButtonClick;
  TcxMRUEditDeleteLookupItemEvent FOnDeleteLookupItem;
};

class TcxMRUEditProperties : public TcxCustomMRUEditProperties {
  ORV_CLASS(TcxMRUEditProperties, TcxCustomMRUEditProperties)
 public:
  explicit TcxMRUEditProperties(TPersistent* owner) : TcxCustomMRUEditProperties(owner) {}
};

class TcxCustomMRUEdit : public TcxCustomComboBox {
  ORV_CLASS(TcxCustomMRUEdit, TcxCustomComboBox)
 public:
  explicit TcxCustomMRUEdit(TComponent* owner) : TcxCustomComboBox(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxCustomMRUEditProperties* MRUProperties() {
    return static_cast<TcxCustomMRUEditProperties*>(GetEffectiveProperties());
  }
  // Adds a confirmed text to the list of the properties in effect.
  virtual void AddText(const AnsiString& text);
  void DoButtonClick(Integer index) override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void ApplyValidatedDisplayValue(const Variant& value) override;
  // A row taken from the list counts as confirmed, unless the user is only moving through items.
  void LookupDataSelectItem(TObject* sender) override;
};

class TcxMRUEdit : public TcxCustomMRUEdit {
  ORV_CLASS(TcxMRUEdit, TcxCustomMRUEdit)
 public:
  explicit TcxMRUEdit(TComponent* owner) : TcxCustomMRUEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxMRUEditProperties* GetProperties() {
    return static_cast<TcxMRUEditProperties*>(TcxCustomEdit::GetProperties());
  }
  void SetProperties(TcxMRUEditProperties* value) { GetProperties()->Assign(value); }
  Boolean HasEditableText() override { return CanEditPlainText(); }
};
