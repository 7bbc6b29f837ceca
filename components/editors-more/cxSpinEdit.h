// The spin editor: a text editor that holds a bounded number, integer or floating-point, and
// steps it with its spin buttons, the Up, Down, Page Up and Page Down keys, the mouse wheel and an
// auto-repeat timer while a button is held.
#pragma once

#include "components/editors/cxMaskEdit.h"

class TcxTimer;

enum TcxSpinEditValueType { vtInt, vtFloat };
enum TcxSpinEditButtonsPosition { sbpHorzLeftRight, sbpHorzRight, sbpVert };

using TcxSpinEditGetValueEvent = orv::Event<void(TObject* sender, const AnsiString& text, Variant& value,
                                                 AnsiString& errorText, Boolean& error)>;

class TcxCustomSpinEditProperties;

class TcxSpinEditButtons : public TPersistent {
  ORV_CLASS(TcxSpinEditButtons, TPersistent)
 public:
  explicit TcxSpinEditButtons(TcxCustomSpinEditProperties* owner) : FOwner(owner) {}
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;
  TcxSpinEditButtonsPosition GetPosition() const { return FPosition; }
  void SetPosition(TcxSpinEditButtonsPosition value);
  Boolean GetShowFastButtons() const { return FShowFastButtons; }
  void SetShowFastButtons(Boolean value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);

 private:
  TcxCustomSpinEditProperties* FOwner;
  TcxSpinEditButtonsPosition FPosition = sbpVert;
  Boolean FShowFastButtons = false;
  Boolean FVisible = true;
};

class TcxSpinEditPropertiesValues : public TcxTextEditPropertiesValues {
  ORV_CLASS(TcxSpinEditPropertiesValues, TcxTextEditPropertiesValues)
 public:
  using TcxTextEditPropertiesValues::TcxTextEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void ResetToDefaults() override;
  Boolean GetValueType() const { return FValueType; }
  void SetValueType(Boolean value);

 private:
  Boolean FValueType = false;
};

class TcxCustomSpinEditProperties : public TcxCustomMaskEditProperties {
  ORV_CLASS(TcxCustomSpinEditProperties, TcxCustomMaskEditProperties)
 public:
  explicit TcxCustomSpinEditProperties(TPersistent* owner);
  ~TcxCustomSpinEditProperties() override;

  void Assign(TPersistent* source) override;
  void NotifyChanged() override;
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() override {
    return TcxSpinEditPropertiesValues::StaticClass();
  }
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  TcxCustomEditClass GetEditClass() override;
  Integer GetValueExchangeMode(Boolean focused) override;
  Boolean IsEditValueNumeric() override { return true; }
  Boolean AcceptsEditValue(const Variant& value) override;
  void GetDefaultDisplayValue(Variant& value) override;
  void CheckDisplayValue(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                         Boolean& error) override;

  // ---- New virtual operations ----
  virtual Boolean ClampsAtBounds() { return true; }
  // 0 refuse, 1 clamp, 2 wrap.
  virtual Integer GetBoundsBehavior();
  virtual Variant GetSpinMaxValue();
  virtual Variant GetSpinMinValue();
  virtual Boolean ChecksNumericText() { return true; }
  virtual Variant PrepareValue(const Variant& value);
  virtual Boolean KeepsSelectionOnSpin() { return false; }

  // The signed step of a spin kind (0 decrement, 1 increment, 2 fast decrement, 3 fast increment).
  Double GetIncrement(Integer kind);
  Double GetTypeLimit(Boolean lower);
  Boolean IsInTypeRange(Double number);
  Double RoundToValueType(TcxSpinEditValueType type, Double number);
  Variant ToValueTypeVariant(const Variant& value);
  Boolean TextToNumber(const AnsiString& text, Variant& value);
  Variant LimitValue(const Variant& value);
  Integer GetSpinButtonCount();

  TcxSpinEditButtons* GetSpinButtons() const { return FSpinButtons; }
  void SetSpinButtons(TcxSpinEditButtons* value) { FSpinButtons->Assign(value); }
  Boolean GetCanEdit() const { return FCanEdit; }
  void SetCanEdit(Boolean value) { FCanEdit = value; }
  Boolean GetCircular() const { return FCircular; }
  void SetCircular(Boolean value);
  Double GetIncrementStep() const { return FIncrement; }
  void SetIncrement(Double value) { FIncrement = value; }
  Double GetLargeIncrement() const { return FLargeIncrement; }
  void SetLargeIncrement(Double value) { FLargeIncrement = value; }
  Boolean GetExceptionOnInvalidInput() const { return FExceptionOnInvalidInput; }
  void SetExceptionOnInvalidInput(Boolean value) { FExceptionOnInvalidInput = value; }
  Boolean GetUseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(Boolean value) { FUseCtrlIncrement = value; }
  TcxSpinEditValueType GetValueType();
  void SetValueType(TcxSpinEditValueType value);
  const TcxSpinEditGetValueEvent& GetOnGetValue() const { return FOnGetValue; }
  void SetOnGetValue(const TcxSpinEditGetValueEvent& value) { FOnGetValue = value; }
  TcxSpinEditPropertiesValues* GetSpinAssignedValues() {
    return static_cast<TcxSpinEditPropertiesValues*>(GetAssignedValues());
  }

 private:
  TcxSpinEditButtons* FSpinButtons;
  Boolean FCanEdit = true;
  Boolean FCircular = false;
  Double FIncrement = 1.0;
  Double FLargeIncrement = 10.0;
  Boolean FExceptionOnInvalidInput = false;
  Boolean FUseCtrlIncrement = false;
  TcxSpinEditValueType FValueType = vtInt;
  TcxSpinEditGetValueEvent FOnGetValue;
  Boolean FSyncingButtons = false;
};

class TcxSpinEditProperties : public TcxCustomSpinEditProperties {
  ORV_CLASS(TcxSpinEditProperties, TcxCustomSpinEditProperties)
 public:
  using TcxCustomSpinEditProperties::TcxCustomSpinEditProperties;
};

class TcxSpinEditViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxSpinEditViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxSpinEditViewInfo() = default;
  void DrawButtonContent(TcxCanvas* canvas, TcxEditButtonViewInfo* button, Boolean pressedOffset, TColor faceColor,
                         TColor textColor, const TRect& rect) override;
  Integer ArrowSize = 0;
  TcxSpinEditButtonsPosition ButtonsPosition = sbpVert;
};

class TcxSpinEditViewData : public TcxCustomTextEditViewData {
  ORV_CLASS(TcxSpinEditViewData, TcxCustomTextEditViewData)
 public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  void CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                const TPoint& mousePos) override;
  Boolean CanPressButton(TcxCustomEditViewInfo* viewInfo, Integer index) override { return KeyPressedButton == 0; }
  Boolean IsButtonHeldDown(TcxCustomEditViewInfo* viewInfo, Integer index) override {
    return KeyPressedButton == index + 1;
  }
  Byte KeyPressedButton = 0;
};

class TcxCustomSpinEdit : public TcxCustomMaskEdit {
  ORV_CLASS(TcxCustomSpinEdit, TcxCustomMaskEdit)
 public:
  explicit TcxCustomSpinEdit(TComponent* owner) : TcxCustomMaskEdit(owner) {}
  void BeforeDestruction() override;

  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  TcxCustomEditViewData* CreateViewData() override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyUp(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char& key) override;
  Boolean IsValidChar(char c) override;
  void DoButtonDown(Integer index) override;
  void DoButtonUp(Integer index) override;
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  void UpdateDisplayValue() override;
  void HandleInnerEditChange(TObject* sender) override;
  void ClampValueToBounds() override;

  // ---- New virtual operations ----
  virtual Double GetIncrement(Integer kind);
  virtual Variant GetValue();
  virtual AnsiString ValueToDisplayText(const Variant& value);
  virtual void SetValue(const Variant& value);
  virtual Boolean IncrementValue(Integer kind);

  // Text to a number: the success and, on failure, the error text.
  Boolean TextToValue(const Variant& displayValue, Boolean raise, AnsiString& errorText, Variant& value);
  Boolean GetTextEdited() const { return FTextEdited; }
  const Variant& GetInternalValue() const { return FInternalValue; }
  Byte GetKeyPressedButton() const { return FKeyPressedButton; }
  TcxTimer* GetRepeatTimer() const { return FRepeatTimer; }
  void StopRepeating();
  TcxCustomSpinEditProperties* SpinProperties() {
    return static_cast<TcxCustomSpinEditProperties*>(GetEffectiveProperties());
  }

 protected:
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;
  void DoExit() override;

 private:
  Boolean CalculateSpinValue(Integer kind, Variant& value);
  Variant AddIncrement(const Variant& value, Double increment, Boolean& ok);
  void StartRepeatTimer();
  void RepeatTimerTick(TObject* sender);
  void SetKeyPressedButton(Byte value);
  Variant FInternalValue;
  Boolean FTextEdited = false;
  Boolean FTypingInProgress = false;
  Byte FKeyPressedButton = 0;
  TcxTimer* FRepeatTimer = nullptr;
};

class TcxSpinEdit : public TcxCustomSpinEdit {
  ORV_CLASS(TcxSpinEdit, TcxCustomSpinEdit)
 public:
  using TcxCustomSpinEdit::TcxCustomSpinEdit;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxSpinEditProperties* GetProperties() {
    return static_cast<TcxSpinEditProperties*>(TcxCustomSpinEdit::GetProperties());
  }
  void SetProperties(TcxSpinEditProperties* value) { GetProperties()->Assign(value); }
};

// Prepares spin editors for entering the values of filter conditions: the filter row keeps the
// spin buttons and the text can be typed.
class TcxFilterSpinEditHelper : public TcxFilterMaskEditHelper {
  ORV_CLASS(TcxFilterSpinEditHelper, TcxFilterMaskEditHelper)
 public:
  TcxFilterSpinEditHelper() = default;
  Boolean KeepsEditButtons() const override { return true; }
  TcxCustomEditClass GetFilterEditorClass() const override;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override;
};
