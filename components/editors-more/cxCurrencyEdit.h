// The currency editor: a money amount held as a floating-point value, shown in the locale's
// currency format while unfocused and typed as a plain number with at most DecimalPlaces decimals.
#pragma once

#include "components/editors/cxTextEdit.h"

class TcxCurrencyEditPropertiesValues : public TcxTextEditPropertiesValues {
  ORV_CLASS(TcxCurrencyEditPropertiesValues, TcxTextEditPropertiesValues)
 public:
  using TcxTextEditPropertiesValues::TcxTextEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void ResetToDefaults() override;
  Boolean GetDecimalPlaces() const { return FDecimalPlaces; }
  void SetDecimalPlaces(Boolean value);

 private:
  Boolean FDecimalPlaces = false;
};

class TcxCustomCurrencyEditProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TcxCustomCurrencyEditProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxCustomCurrencyEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  // The assigned value, else the locale's currency decimals.
  Integer GetDecimalPlaces();
  void SetDecimalPlaces(Integer value);
  Boolean IsDecimalPlacesStored() { return GetCurrencyAssignedValues()->GetDecimalPlaces(); }
  Boolean GetNullable() const { return FNullable; }
  void SetNullable(Boolean value);
  const AnsiString& GetNullString() const { return FNullString; }
  void SetNullString(const AnsiString& value);
  Boolean GetUseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(Boolean value);
  TcxCurrencyEditPropertiesValues* GetCurrencyAssignedValues() {
    return static_cast<TcxCurrencyEditPropertiesValues*>(GetAssignedValues());
  }

  // A text (thousand separators ignored) as an amount: false for a text that is no number or out
  // of range, except an empty text, which counts as 0.
  static Boolean TextToCurrencyValue(const AnsiString& text, Double& value);
  // The text has no more decimals than allowed and is an amount.
  Boolean FitsDecimalPlaces(const AnsiString& text);
  // A display text as a value: Null (or 0 when not nullable) for the empty text, NullString and
  // anything that is no amount.
  Variant DisplayTextToValue(const AnsiString& text);
  Boolean UsesEditingFormat(TcxCustomEdit* editor);

  // ---- Overrides ----
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() override {
    return TcxCurrencyEditPropertiesValues::StaticClass();
  }
  AnsiString GetDefaultDisplayFormat() override;
  Integer GetDisplayFormatOptions() override { return 3; }
  Boolean NeedRemoveThousandSeparators(Boolean synchronizing) override {
    return !synchronizing && FUseThousandSeparator;
  }
  Boolean IsEditValueNumeric() override { return true; }
  Integer GetValueExchangeMode(Boolean focused) override;
  Boolean IsDisplayValueValid(Variant& displayValue, Boolean focused) override;
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void CheckDisplayValue(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                         Boolean& error) override;

 private:
  Integer FDecimalPlaces = 2;
  Boolean FNullable = true;
  AnsiString FNullString;
  Boolean FUseThousandSeparator = false;
};

class TcxCurrencyEditProperties : public TcxCustomCurrencyEditProperties {
  ORV_CLASS(TcxCurrencyEditProperties, TcxCustomCurrencyEditProperties)
 public:
  explicit TcxCurrencyEditProperties(TPersistent* owner) : TcxCustomCurrencyEditProperties(owner) {}
};

class TcxCustomCurrencyEdit : public TcxCustomTextEdit {
  ORV_CLASS(TcxCustomCurrencyEdit, TcxCustomTextEdit)
 public:
  explicit TcxCustomCurrencyEdit(TComponent* owner) : TcxCustomTextEdit(owner) {}

  Double GetValue();
  // Clamped to the defined bounds.
  void SetValue(Double value);
  TcxCustomCurrencyEditProperties* CurrencyProperties() {
    return static_cast<TcxCustomCurrencyEditProperties*>(GetEffectiveProperties());
  }

  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  Boolean HasEditableText() override { return CanEditPlainText(); }
  void GetDisplayValue(Variant& value) override;
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  Boolean IsValidChar(char c) override;
  void DoEditKeyPress(char& key) override;
  void ClampValueToBounds() override;
  void PasteFromClipboard() override;
  void HandlePropertiesChange(TObject* sender) override;
};

class TcxCurrencyEdit : public TcxCustomCurrencyEdit {
  ORV_CLASS(TcxCurrencyEdit, TcxCustomCurrencyEdit)
 public:
  explicit TcxCurrencyEdit(TComponent* owner) : TcxCustomCurrencyEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxCurrencyEditProperties* GetProperties() {
    return static_cast<TcxCurrencyEditProperties*>(TcxCustomEdit::GetProperties());
  }
  void SetProperties(TcxCurrencyEditProperties* value) { GetProperties()->Assign(value); }
  TcxCurrencyEditProperties* GetActiveProperties() {
    return static_cast<TcxCurrencyEditProperties*>(GetEffectiveProperties());
  }
};

// Prepares currency editors for entering the values of filter conditions.
class TcxFilterCurrencyEditHelper : public TcxFilterTextEditHelper {
  ORV_CLASS(TcxFilterCurrencyEditHelper, TcxFilterTextEditHelper)
 public:
  TcxFilterCurrencyEditHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override;
};
