// The pocket calculator: a grid of 27 buttons (digits, operators, square root, percent,
// reciprocal, sign, decimal separator, backspace, two clear buttons and four memory buttons)
// working on a display text kept outside the control, with memory, precision and an error state.
#pragma once

#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxTextEdit.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"

class TcxCustomCalcEdit;

// The button codes: each equals the button's place in the button table.
enum TcxCalcButtonKind {
  cbBack, cbCancel, cbClear, cbMC, cbMR, cbMS, cbMP, cbNum0, cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6,
  cbNum7, cbNum8, cbNum9, cbSign, cbDecimal, cbDiv, cbMul, cbSub, cbAdd, cbSqrt, cbPercent, cbRev, cbEqual, cbNone
};
enum TcxCalcState { csFirst, csValid, csError };

using TcxButtonClickEvent = orv::Event<void(TObject* sender, TcxCalcButtonKind& button)>;
using TcxCalcCloseRequestEvent = orv::Event<void(TObject* sender, Integer reason)>;

struct TcxCalcButton {
  TRect Bounds{};
  Boolean Down = false;
  Boolean Disabled = false;
  TcxCalcButtonKind Code = cbNone;
  AnsiString Caption;
};

class TcxCustomCalculator : public TcxControl {
  ORV_CLASS(TcxCustomCalculator, TcxControl)
 public:
  explicit TcxCustomCalculator(TComponent* owner);

  // ---- New virtual operations ----
  virtual TcxCustomLookAndFeelPainterClass GetButtonPainter();
  virtual void GetCalcText(AnsiString& text) { text = FDisplay; }
  virtual void SetCalcText(const AnsiString& text) { FDisplay = text; }
  virtual void FireCloseRequest(TObject* sender, Integer reason);
  virtual void LockDisplayChanges(Boolean lock, Boolean fire) {}

  TcxCalcButtonKind ButtonAt(Integer x, Integer y);
  Double GetCalcValue();
  void SetCalcValue(Double value);
  void ExecuteButton(TcxCalcButtonKind code);
  void CopyDisplay();
  void PasteDisplay();
  void ShowError();
  void ClearAll();
  void ResetState();
  void LayoutButtons();
  void ScaleLayout(Integer width, Integer height);

  AnsiString GetDisplayText() { AnsiString t; GetCalcText(t); return t; }
  Boolean GetAutoFontSize() const { return FAutoFontSize; }
  void SetAutoFontSize(Boolean value);
  Boolean GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(Boolean value) { FBeepOnError = value; }
  Integer GetPrecision() const { return FPrecision; }
  void SetPrecision(Integer value) { FPrecision = std::max(1, std::min(value, 255)); }
  Double GetMemory() const { return FMemory; }
  TcxCalcState GetEntryState() const { return FEntryState; }
  const TcxCalcButton& GetButton(TcxCalcButtonKind code) const { return FButtons[code]; }
  Integer GetButtonWidth() const { return FButtonWidth; }
  Integer GetButtonHeight() const { return FButtonHeight; }
  Integer GetWideButtonWidth() const { return FWideButtonWidth; }
  Integer GetHorzGap() const { return FHorzGap; }
  Integer GetPanelWidth() const { return FPanelWidth; }
  Integer GetPanelHeight() const { return FPanelHeight; }

  const TNotifyEvent& GetOnDisplayValueChange() const { return FOnDisplayValueChange; }
  void SetOnDisplayValueChange(const TNotifyEvent& value) { FOnDisplayValueChange = value; }
  const TcxButtonClickEvent& GetOnCalcButtonClick() const { return FOnCalcButtonClick; }
  void SetOnCalcButtonClick(const TcxButtonClickEvent& value) { FOnCalcButtonClick = value; }
  const TNotifyEvent& GetOnCalcResult() const { return FOnCalcResult; }
  void SetOnCalcResult(const TNotifyEvent& value) { FOnCalcResult = value; }
  const TcxCalcCloseRequestEvent& GetOnCloseRequest() const { return FOnCloseRequest; }
  void SetOnCloseRequest(const TcxCalcCloseRequestEvent& value) { FOnCloseRequest = value; }

 protected:
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void FocusChanged() override;
  void BeginEntry();
  void UpdateMemoryButtons();
  void InvalidateButton(TcxCalcButtonKind code);
  void PressKeyButton(TcxCalcButtonKind code);
  Boolean InPopup = false;

 private:
  void Beep();
  Boolean FAutoFontSize = true;
  Boolean FBeepOnError = true;
  Boolean FDrawsFocusRect = true;
  Integer FButtonFontSize = 8;
  Integer FButtonWidth = 28;
  Integer FButtonHeight = 22;
  Integer FWideButtonWidth = 47;
  Integer FHorzGap = 3;
  Integer FVertGap = 3;
  Integer FPanelWidth = 198;
  Integer FPanelHeight = 131;
  Double FMemory = 0;
  TcxCalcButtonKind FPendingOperator = cbEqual;
  Double FOperand = 0;
  Integer FPrecision = 15;
  TcxCalcState FEntryState = csFirst;
  TcxCalcButton FButtons[27];
  TcxCalcButtonKind FHotButton = cbNone;
  TcxCalcButtonKind FMouseButton = cbNone;
  TcxCalcButtonKind FKeyButton = cbNone;
  Boolean FTracking = false;
  Boolean FScaling = false;
  AnsiString FDisplay = "0";
  TNotifyEvent FOnDisplayValueChange;
  TcxButtonClickEvent FOnCalcButtonClick;
  TNotifyEvent FOnCalcResult;
  TcxCalcCloseRequestEvent FOnCloseRequest;
};

class TcxCalculator : public TcxCustomCalculator {
  ORV_CLASS(TcxCalculator, TcxCustomCalculator)
 public:
  using TcxCustomCalculator::TcxCustomCalculator;
};

// ==== Calculator editor ========================================================================
//
// A popup editor for a floating-point number whose drop-down button opens a calculator whose
// display is the editor's own text.

// The calculator inside the editor's popup.
class TcxPopupCalculator : public TcxCustomCalculator {
  ORV_CLASS(TcxPopupCalculator, TcxCustomCalculator)
 public:
  explicit TcxPopupCalculator(TComponent* owner);
  TcxCustomLookAndFeelPainterClass GetButtonPainter() override;
  void GetCalcText(AnsiString& text) override;
  void SetCalcText(const AnsiString& text) override;
  void LockDisplayChanges(Boolean lock, Boolean fire) override;
  void ResetKeyButton() { PressKeyButton(cbNone); }
  // Lays the buttons out again for the current font.
  void FitToFont() { Resize(); }
  TcxCustomCalcEdit* GetOwnerEdit() const { return FOwnerEdit; }
  void SetOwnerEdit(TcxCustomCalcEdit* value) { FOwnerEdit = value; }

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;

 private:
  TcxCustomCalcEdit* FOwnerEdit = nullptr;
};

// Which calculator settings were assigned rather than taken from the data.
class TcxCalcEditPropertiesValues : public TcxTextEditPropertiesValues {
  ORV_CLASS(TcxCalcEditPropertiesValues, TcxTextEditPropertiesValues)
 public:
  using TcxTextEditPropertiesValues::TcxTextEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void ResetToDefaults() override;
  Boolean GetPrecision() const { return FPrecision; }
  void SetPrecision(Boolean value);

 private:
  Boolean FPrecision = false;
};

class TcxCustomCalcEditProperties : public TcxCustomPopupEditProperties {
  ORV_CLASS(TcxCustomCalcEditProperties, TcxCustomPopupEditProperties)
 public:
  explicit TcxCustomCalcEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() override {
    return TcxCalcEditPropertiesValues::StaticClass();
  }
  TcxCalcEditPropertiesValues* GetCalcAssignedValues() {
    return static_cast<TcxCalcEditPropertiesValues*>(GetAssignedValues());
  }
  Boolean DefersPostUntilClosed() override { return true; }
  Boolean PopupMustFitWorkArea() override { return false; }
  Boolean IsDisplayValueValid(Variant& displayValue, Boolean focused) override { return true; }
  Boolean NeedRemoveThousandSeparators(Boolean synchronizing) override {
    return FUseThousandSeparator && !FScientificFormat;
  }
  Boolean AcceptsEditValue(const Variant& value) override;
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  // Exchanged as a value only while unfocused, without a display format of its own, when the
  // data formats the number itself.
  Integer GetValueExchangeMode(Boolean focused) override;

  // Text to a number: Null for an empty text; false for a text that is no number.
  Boolean TextToValue(const AnsiString& text, Variant& value);

  Boolean GetCalcBeepOnError() const { return FBeepOnError; }
  void SetCalcBeepOnError(Boolean value);
  // The assigned precision, else the data's; never above 15.
  Integer GetPrecision();
  void SetPrecision(Integer value);
  Boolean IsPrecisionAssigned() { return GetCalcAssignedValues()->GetPrecision(); }
  Boolean GetQuickClose() const { return FQuickClose; }
  void SetQuickClose(Boolean value);
  Boolean GetScientificFormat() const { return FScientificFormat; }
  void SetScientificFormat(Boolean value);
  Boolean GetUseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(Boolean value);

 private:
  Boolean FBeepOnError = true;
  Integer FPrecision = 15;
  Boolean FQuickClose = false;
  Boolean FScientificFormat = false;
  Boolean FUseThousandSeparator = false;
};

class TcxCalcEditProperties : public TcxCustomCalcEditProperties {
  ORV_CLASS(TcxCalcEditProperties, TcxCustomCalcEditProperties)
 public:
  using TcxCustomCalcEditProperties::TcxCustomCalcEditProperties;
};

class TcxCustomCalcEdit : public TcxCustomPopupEdit {
  ORV_CLASS(TcxCustomCalcEdit, TcxCustomPopupEdit)
 public:
  explicit TcxCustomCalcEdit(TComponent* owner) : TcxCustomPopupEdit(owner) {}
  ~TcxCustomCalcEdit() override;

  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  void DoEditKeyPress(char& key) override;
  Boolean IsValidChar(char c) override;
  Boolean CanDropDown() override;
  void CreatePopupWindow() override;
  void DoInitPopup() override;
  void ApplyPopupWindowProperties() override;
  void HandlePropertiesChange(TObject* sender) override;
  void PopupWindowShowed(TObject* sender) override;
  void PopupWindowClosed(TObject* sender) override;
  void PasteFromClipboard() override;
  void FormatChanged() override;

  Double GetValue();
  void SetValue(Double value);
  TcxPopupCalculator* GetCalculator() const { return FCalculator; }
  TcxCustomCalcEditProperties* CalcProperties() {
    return static_cast<TcxCustomCalcEditProperties*>(GetEffectiveProperties());
  }
  // What the popup calculator writes: the inner text, marked as the user's change.
  void SetCalculatorText(const AnsiString& text);

 protected:
  void DoEnter() override;
  void DoExit() override;

 private:
  void CalculatorCloseRequest(TObject* sender, Integer reason);
  TcxPopupCalculator* FCalculator = nullptr;
};

class TcxCalcEdit : public TcxCustomCalcEdit {
  ORV_CLASS(TcxCalcEdit, TcxCustomCalcEdit)
 public:
  using TcxCustomCalcEdit::TcxCustomCalcEdit;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxCalcEditProperties* GetProperties() {
    return static_cast<TcxCalcEditProperties*>(TcxCustomCalcEdit::GetProperties());
  }
  void SetProperties(TcxCalcEditProperties* value) { GetProperties()->Assign(value); }
};

// The filter control enters values for calculator columns with a calculator editor that closes
// on "=".
class TcxFilterCalcEditHelper : public TcxFilterDropDownEditHelper {
  ORV_CLASS(TcxFilterCalcEditHelper, TcxFilterDropDownEditHelper)
 public:
  TcxFilterCalcEditHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
};
