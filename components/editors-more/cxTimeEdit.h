// The time editor: a spin editor whose text is a masked time of day (hours, minutes and seconds,
// hours and minutes, or hours alone; 24-hour or 12-hour with the locale's AM/PM text). The spin
// buttons and arrow keys change the part under the caret; typed digits keep each part in range.
// The edit value is a date-time whose date stays while only the time is edited.
#pragma once

#include "components/editors-more/cxSpinEdit.h"

enum TcxTimeEditTimeFormat { tfHourMinSec, tfHourMin, tfHour };

// The parts of a time text.
inline constexpr Byte tpHour = 0;
inline constexpr Byte tpMinute = 1;
inline constexpr Byte tpSecond = 2;
inline constexpr Byte tpAmPm = 3;

struct TcxTimePartInfo {
  Byte Part = 0;
  Integer Start = 1;   // 1-based text position of the part's first character
  Integer Length = 2;
  Byte AmPmKind = 2;   // 0 "A"/"P", 1 "AM"/"PM", 2 the locale's strings
  Boolean Use24HourFormat = true;
};

class TcxCustomTimeEdit;

class TcxCustomTimeEditProperties : public TcxCustomSpinEditProperties {
  ORV_CLASS(TcxCustomTimeEditProperties, TcxCustomSpinEditProperties)
 public:
  explicit TcxCustomTimeEditProperties(TPersistent* owner);

  void Assign(TPersistent* source) override;
  TcxCustomEditClass GetEditClass() override;
  TcxMaskEditCustomModeClass GetModeClass(TcxEditMaskKind kind) override;
  Integer GetDisplayFormatOptions() override { return dfoSupports | dfoNoCurrencyValue; }
  Integer GetValueExchangeMode(Boolean focused) override { return UsesDefaultDisplayFormat(focused) ? 1 : 0; }
  Boolean IsEditValueNumeric() override { return false; }
  Boolean AcceptsEditValue(const Variant& value) override;
  Boolean IsDisplayValueValid(Variant& displayValue, Boolean focused) override;
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void CheckDisplayValue(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                         Boolean& error) override;
  void GetDefaultDisplayValue(Variant& value) override;
  void FormatChanged() override;
  Boolean ClampsAtBounds() override { return false; }
  Boolean ChecksNumericText() override { return false; }
  Variant PrepareValue(const Variant& value) override { return Variant(0); }
  Boolean KeepsSelectionOnSpin() override { return true; }

  // ---- New virtual operations ----
  virtual void GetTimePartInfo(Integer position, TcxTimePartInfo& info);
  virtual Integer GetTimePartLength(Byte part) { return 2; }
  virtual Integer GetTimePartStart(Byte part);
  virtual Byte GetAmPmKind() { return 2; }

  // The part at a 1-based text position.
  Byte GetTimePartAt(Integer position);
  // The display format and edit mask of the current layout.
  AnsiString GetDisplayFormat();
  void UpdateEditMask();

  Boolean GetAutoCorrectHours() const { return FAutoCorrectHours; }
  void SetAutoCorrectHours(Boolean value) { FAutoCorrectHours = value; }
  Boolean GetShowDate() const { return FShowDate; }
  void SetShowDate(Boolean value);
  TcxTimeEditTimeFormat GetTimeFormat() const { return FTimeFormat; }
  void SetTimeFormat(TcxTimeEditTimeFormat value);
  Boolean GetUse24HourFormat() const { return FUse24HourFormat; }
  void SetUse24HourFormat(Boolean value);
  Boolean GetUseTimeFormatWhenUnfocused() const { return FUseTimeFormatWhenUnfocused; }
  void SetUseTimeFormatWhenUnfocused(Boolean value);

 private:
  Boolean FAutoCorrectHours = true;
  Boolean FShowDate = false;
  TcxTimeEditTimeFormat FTimeFormat = tfHourMinSec;
  Boolean FUse24HourFormat = true;
  Boolean FUseTimeFormatWhenUnfocused = true;
};

class TcxTimeEditProperties : public TcxCustomTimeEditProperties {
  ORV_CLASS(TcxTimeEditProperties, TcxCustomTimeEditProperties)
 public:
  explicit TcxTimeEditProperties(TPersistent* owner) : TcxCustomTimeEditProperties(owner) {}
};

// Deleting leaves the AM/PM characters in place; deleted digits become zeros.
class TcxTimeEditMaskMode : public TcxMaskEditStandardMode {
  ORV_CLASS(TcxTimeEditMaskMode, TcxMaskEditStandardMode)
 public:
  using TcxMaskEditStandardMode::TcxMaskEditStandardMode;
  char GetBlankChar(Integer position) override;
};

class TcxCustomTimeEdit : public TcxCustomSpinEdit {
  ORV_CLASS(TcxCustomTimeEdit, TcxCustomSpinEdit)
 public:
  explicit TcxCustomTimeEdit(TComponent* owner) : TcxCustomSpinEdit(owner) {}

  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  void GetDisplayValue(Variant& value) override;
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  void StoreDisplayValue(const Variant& value) override;
  void AssignEditValue(const Variant& value, Boolean isUserAction) override;
  Boolean IsValidChar(char c) override { return true; }
  void HandlePropertiesChange(TObject* sender) override;
  void DoGetText(AnsiString& text) override { GetDisplayText(text); }
  Boolean DoSetText(const AnsiString& text) override { return TrySetDisplayText(text); }
  void Clear() override { SetTime(0); }
  Boolean CanInsertCharAt(char& key, Integer position) override;
  Double GetIncrement(Integer kind) override;
  Variant GetValue() override;
  AnsiString ValueToDisplayText(const Variant& value) override;
  void SetValue(const Variant& value) override;
  Boolean IncrementValue(Integer kind) override;

  // The time of day alone (the fraction of the value).
  TDateTime GetTime();
  // Keeps the date of the edit value.
  void SetTime(TDateTime value);
  Double GetDatePart() const { return FDatePart; }
  TcxCustomTimeEditProperties* TimeProperties() {
    return static_cast<TcxCustomTimeEditProperties*>(GetEffectiveProperties());
  }

 private:
  Double FDatePart = 0;
};

class TcxTimeEdit : public TcxCustomTimeEdit {
  ORV_CLASS(TcxTimeEdit, TcxCustomTimeEdit)
 public:
  using TcxCustomTimeEdit::TcxCustomTimeEdit;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxTimeEditProperties* GetProperties() {
    return static_cast<TcxTimeEditProperties*>(TcxCustomTimeEdit::GetProperties());
  }
  void SetProperties(TcxTimeEditProperties* value) { GetProperties()->Assign(value); }
};

// Time values in the filter control: a time editor that starts at midnight.
class TcxFilterTimeEditHelper : public TcxFilterSpinEditHelper {
  ORV_CLASS(TcxFilterTimeEditHelper, TcxFilterSpinEditHelper)
 public:
  TcxFilterTimeEditHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
  void InitializeEdit(TcxCustomEdit* edit, TcxCustomEditProperties* sourceProperties) const override;
};

// The character rule of a time part at a 1-based position of an editor's text, shared by the time
// editor and the time portion of the date editor's mask: keeps hours, minutes and seconds in range
// and takes AM/PM by its distinguishing letter. It may rewrite the part in the editor's text and
// consume the key (made #0).
Boolean CheckTimePartChar(TcxCustomTextEdit* edit, char& key, Integer position, const TcxTimePartInfo& info);

namespace orv {
// The AM and PM texts of an AM/PM kind (0 "A"/"P", 1 "AM"/"PM", 2 the locale's).
void GetAmPmStrings(Byte kind, AnsiString& am, AnsiString& pm);
// The edit mask of a layout (the 12-hour masks follow the locale's PM text).
AnsiString TimeEditMask(TcxTimeEditTimeFormat format, Boolean use24Hour);
}  // namespace orv
