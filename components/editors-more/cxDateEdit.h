// The date editor: a text editor for a date, or a date with a time, typed through a date mask, a
// regular-expression date mask or free text, or picked in the drop-down calendar. Its edit value
// is a date-time or Null; in date kind with SaveTime the time of day of the value survives typing
// a new date.
#pragma once

#include "components/editors-more/cxCalendar.h"
#include "components/editors/cxDropDownEdit.h"

enum TcxInputKind { ikStandard, ikMask, ikRegExpr };
enum TDateOnError { deNoChange, deToday, deNull };

class TcxDateEditPropertiesValues : public TcxTextEditPropertiesValues {
  ORV_CLASS(TcxDateEditPropertiesValues, TcxTextEditPropertiesValues)
 public:
  using TcxTextEditPropertiesValues::TcxTextEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void ResetToDefaults() override;
  Boolean GetDateButtons() const { return FDateButtons; }
  void SetDateButtons(Boolean value);
  Boolean GetInputKind() const { return FInputKind; }
  void SetInputKind(Boolean value);

 private:
  Boolean FDateButtons = false;
  Boolean FInputKind = false;
};

class TcxCustomDateEditProperties : public TcxCustomPopupEditProperties {
  ORV_CLASS(TcxCustomDateEditProperties, TcxCustomPopupEditProperties)
 public:
  explicit TcxCustomDateEditProperties(TPersistent* owner);

  void Assign(TPersistent* source) override;
  void NotifyChanged() override;
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() override {
    return TcxDateEditPropertiesValues::StaticClass();
  }
  Integer GetDisplayFormatOptions() override { return dfoSupports | dfoNoCurrencyValue; }
  TcxCustomEditClass GetEditClass() override;
  Integer GetValueExchangeMode(Boolean focused) override { return UsesDefaultDisplayFormat(focused) ? 1 : 0; }
  Boolean IsEditValueNumeric() override { return true; }
  Boolean IsValueBoundDefined(Integer bound) override;
  Boolean IsValueBoundsDefined() override;
  TcxMaskEditCustomModeClass GetModeClass(TcxEditMaskKind kind) override;
  Boolean DefersPostUntilClosed() override { return true; }
  orv::ClassOf<TcxCustomEditPopupWindow> GetPopupWindowClass() override;
  Boolean PopupMustFitWorkArea() override { return false; }
  Boolean IsDisplayValueValid(Variant& displayValue, Boolean focused) override;
  Boolean AcceptsEditValue(const Variant& value) override;
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void CheckDisplayValue(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                         Boolean& error) override;

  // ---- New virtual operations ----
  virtual char GetBlankCharAt(Integer position);
  // The time part of a date-and-time mask at a 1-based position, as the time editor's part.
  virtual Boolean GetTimeElementAt(Integer position, TcxTimePartInfo& element);

  // ---- Rules ----
  // The mask's empty text; while editing a date-and-time mask shows midnight in its time part.
  AnsiString EmptyDisplayText(Boolean editing);
  static Boolean IsNullDateValue(const Variant& v);
  // Null for the empty text, else the parsed date (DateOnError deciding for a text that is none).
  Variant TextToDateValue(const AnsiString& text);
  Boolean IsTimeShown(Boolean editing, TDateTime d);
  AnsiString DateText(TDateTime d);
  void UpdateEditMask();

  // ---- Properties ----
  Boolean GetArrowsForYear() const { return FArrowsForYear; }
  void SetArrowsForYear(Boolean value);
  // The stored buttons when assigned, else the kind's defaults.
  TDateButtons GetDateButtons();
  void SetDateButtons(TDateButtons value);
  TDateOnError GetDateOnError() const { return FDateOnError; }
  void SetDateOnError(TDateOnError value);
  // ikStandard for a non-Gregorian locale calendar; else the stored kind when assigned, else the
  // kind's default.
  TcxInputKind GetInputKind();
  void SetInputKind(TcxInputKind value);
  TcxCalendarKind GetKind() const { return FKind; }
  void SetKind(TcxCalendarKind value);
  Boolean GetSaveTime() const { return FSaveTime; }
  void SetSaveTime(Boolean value);
  Boolean GetShowTime() const { return FShowTime; }
  void SetShowTime(Boolean value);
  Boolean GetWeekNumbers() const { return FWeekNumbers; }
  void SetWeekNumbers(Boolean value);
  Boolean GetYearsInMonthList() const { return FYearsInMonthList; }
  void SetYearsInMonthList(Boolean value);
  TDateTime GetMinDate() { return GetAssignedValues()->GetMinValue() ? GetMinValue() : 0; }
  void SetMinDate(TDateTime value) { SetMinValue(value); }
  TDateTime GetMaxDate() { return GetAssignedValues()->GetMaxValue() ? GetMaxValue() : 0; }
  void SetMaxDate(TDateTime value) { SetMaxValue(value); }
  TcxDateEditPropertiesValues* GetDateAssignedValues() {
    return static_cast<TcxDateEditPropertiesValues*>(GetAssignedValues());
  }

 private:
  Boolean FArrowsForYear = true;
  TDateButtons FDateButtons;
  TDateOnError FDateOnError = deNoChange;
  TcxInputKind FInputKind = ikRegExpr;
  TcxCalendarKind FKind = ckDate;
  Boolean FSaveTime = true;
  Boolean FShowTime = true;
  Boolean FWeekNumbers = false;
  Boolean FYearsInMonthList = true;
  Boolean FUpdatingMask = false;
};

class TcxDateEditProperties : public TcxCustomDateEditProperties {
  ORV_CLASS(TcxDateEditProperties, TcxCustomDateEditProperties)
 public:
  explicit TcxDateEditProperties(TPersistent* owner) : TcxCustomDateEditProperties(owner) {}
};

// Closing keys reach the calendar even while one of its buttons or its time editor is focused.
class TcxDateEditPopupWindow : public TcxPopupEditPopupWindow {
  ORV_CLASS(TcxDateEditPopupWindow, TcxPopupEditPopupWindow)
 public:
  explicit TcxDateEditPopupWindow(TControl* ownerControl);
  virtual Boolean IsCalendarKey(Word key, TShiftState shift);

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
};

// Date masks show blanks as spaces; a time part of a date-and-time mask keeps its zeros.
class TcxDateEditMaskStandardMode : public TcxMaskEditStandardMode {
  ORV_CLASS(TcxDateEditMaskStandardMode, TcxMaskEditStandardMode)
 public:
  using TcxMaskEditStandardMode::TcxMaskEditStandardMode;
  char GetBlankChar(Integer position) override;
};

class TcxCustomDateEdit : public TcxCustomPopupEdit {
  ORV_CLASS(TcxCustomDateEdit, TcxCustomPopupEdit)
 public:
  explicit TcxCustomDateEdit(TComponent* owner) : TcxCustomPopupEdit(owner) {}
  void BeforeDestruction() override;

  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  void Clear() override { SetDate(NullDate); }
  void GetDisplayValue(Variant& value) override;
  void AssignEditValue(const Variant& value, Boolean isUserAction) override;
  void ApplyValidatedDisplayValue(const Variant& value) override;
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  void ClampValueToBounds() override;
  void DoGetText(AnsiString& text) override { GetDisplayText(text); }
  Boolean DoSetText(const AnsiString& text) override { return TrySetDisplayText(text); }
  Boolean CanSynchronizeModeText() override { return Focused() || IsValidating(); }
  Boolean CanInsertCharAt(char& key, Integer position) override;
  void UpdateDisplayValueFromText() override {}
  Boolean CanDropDown() override;
  void CreatePopupWindow() override;
  void DropDown() override;
  void ApplyPopupWindowProperties() override;
  void SetupPopupWindow() override;
  void PopupWindowClosed(TObject* sender) override;
  void PopupWindowShowed(TObject* sender) override;

  // ---- New virtual operations ----
  virtual void CreateCalendar();
  virtual void CalendarDateTimeChosen(TObject* sender);
  virtual orv::ClassOf<TcxPopupCalendar> GetCalendarClass() { return TcxPopupCalendar::StaticClass(); }
  virtual TDateTime GetDate();
  virtual AnsiString GetDateDisplayText(TDateTime date);
  virtual void SetDate(TDateTime value);

  // The date the editor shows now: the typed text while it is being edited.
  TDateTime GetCurrentDate();
  TDateTime GetSavedTime() const { return FSavedTime; }
  TcxPopupCalendar* GetCalendar() const { return FCalendar; }
  TcxCustomDateEditProperties* DateProperties() {
    return static_cast<TcxCustomDateEditProperties*>(GetEffectiveProperties());
  }
  void SetSavedTime(TDateTime value) { FSavedTime = value; }

 private:
  TDateTime DisplayTextToDate(const AnsiString& text);
  void CalendarHidePopup(TObject* sender, Integer reason);
  TDateTime FPopupStartValue = NullDate;
  TDateTime FSavedTime = 0;
  TcxPopupCalendar* FCalendar = nullptr;
  Boolean FClamping = false;
};

class TcxDateEdit : public TcxCustomDateEdit {
  ORV_CLASS(TcxDateEdit, TcxCustomDateEdit)
 public:
  using TcxCustomDateEdit::TcxCustomDateEdit;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxDateEditProperties* GetProperties() {
    return static_cast<TcxDateEditProperties*>(TcxCustomDateEdit::GetProperties());
  }
  void SetProperties(TcxDateEditProperties* value) { GetProperties()->Assign(value); }
  Boolean HasEditableText() override { return CanEditPlainText(); }
};

class TcxFilterDateEditHelper : public TcxFilterDropDownEditHelper {
  ORV_CLASS(TcxFilterDateEditHelper, TcxFilterDropDownEditHelper)
 public:
  TcxFilterDateEditHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
};
