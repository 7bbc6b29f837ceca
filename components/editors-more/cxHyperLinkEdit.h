// The hyperlink editor: a text editor whose text is a link, started by a double click (or a
// single click), or by its start key, through the desktop's opener unless OnStartClick takes over.
#pragma once

#include "components/editors/cxTextEdit.h"

enum TcxHyperLinkEditUsePrefix { upAlways, upOnlyOnExecute, upNever };

class TcxCustomHyperLinkEditProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TcxCustomHyperLinkEditProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxCustomHyperLinkEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  Boolean GetSingleClick() const { return FSingleClick; }
  void SetSingleClick(Boolean value);
  TColor GetLinkColor() const { return FLinkColor; }
  void SetLinkColor(TColor value);
  const AnsiString& GetPrefix() const { return FPrefix; }
  void SetPrefix(const AnsiString& value) { FPrefix = value; }
  Boolean IsPrefixStored();
  TShortCut GetStartKey() const { return FStartKey; }
  void SetStartKey(TShortCut value) { FStartKey = value; }
  TcxHyperLinkEditUsePrefix GetUsePrefix() const { return FUsePrefix; }
  void SetUsePrefix(TcxHyperLinkEditUsePrefix value) { FUsePrefix = value; }
  Boolean GetAutoComplete() const { return FUsePrefix != upNever; }
  void SetAutoComplete(Boolean value) { FUsePrefix = value ? upAlways : upNever; }
  const TNotifyEvent& GetOnStartClick() const { return FOnStartClick; }
  void SetOnStartClick(const TNotifyEvent& value) { FOnStartClick = value; }

  // The trimmed text with the prefix in front, unless it is empty or already starts with it.
  virtual void AddPrefix(const AnsiString& text, AnsiString& result);

  TcxCustomEditClass GetEditClass() override;
  Word GetCapabilities() override;
  void CheckDisplayValue(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                         Boolean& error) override;

 private:
  Boolean FSingleClick = false;
  TColor FLinkColor = clBlue;
  TNotifyEvent FOnStartClick;
  AnsiString FPrefix;
  TShortCut FStartKey = 16397;
  TcxHyperLinkEditUsePrefix FUsePrefix = upAlways;
};

class TcxHyperLinkEditProperties : public TcxCustomHyperLinkEditProperties {
  ORV_CLASS(TcxHyperLinkEditProperties, TcxCustomHyperLinkEditProperties)
 public:
  explicit TcxHyperLinkEditProperties(TPersistent* owner) : TcxCustomHyperLinkEditProperties(owner) {}
};

class TcxCustomHyperLinkEdit : public TcxCustomTextEdit {
  ORV_CLASS(TcxCustomHyperLinkEdit, TcxCustomTextEdit)
 public:
  explicit TcxCustomHyperLinkEdit(TComponent* owner) : TcxCustomTextEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  Boolean HasEditableText() override { return CanEditPlainText(); }
  TcxCustomHyperLinkEditProperties* HyperLinkProperties() {
    return static_cast<TcxCustomHyperLinkEditProperties*>(GetEffectiveProperties());
  }

  // Fires OnStartClick; without a handler opens the (prefixed) text with the desktop's opener.
  virtual void StartLink();
  void SelectAll() override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void Click() override;

 private:
  Boolean InClient(Integer x, Integer y);
};

class TcxHyperLinkEdit : public TcxCustomHyperLinkEdit {
  ORV_CLASS(TcxHyperLinkEdit, TcxCustomHyperLinkEdit)
 public:
  explicit TcxHyperLinkEdit(TComponent* owner) : TcxCustomHyperLinkEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxHyperLinkEditProperties* GetProperties() {
    return static_cast<TcxHyperLinkEditProperties*>(TcxCustomEdit::GetProperties());
  }
  void SetProperties(TcxHyperLinkEditProperties* value) { GetProperties()->Assign(value); }
};

class TcxFilterHyperLinkEditHelper : public TcxFilterTextEditHelper {
  ORV_CLASS(TcxFilterHyperLinkEditHelper, TcxFilterTextEditHelper)
 public:
  TcxFilterHyperLinkEditHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
};
