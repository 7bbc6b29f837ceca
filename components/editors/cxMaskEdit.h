// The mask editor's mask languages: the mask modes that turn a mask text into the rules of an
// edited text (the classic mask and the two regular-expression masks).
//
// A mode created for a properties object alone (conversions of unfocused editors and grid
// cells, and the check of a new mask) only compiles a mask, gives the empty text, fits a value
// into the mask for display, strips it back to the value and checks a text. A mode serving an
// editor also takes its keys, characters, caret moves and clipboard operations: its Process
// operations answer true when the inner edit is to handle the key itself as well.
//
// The mask editor (the text editor with an optional mask) is the base of every editor with a
// caret: drop-down, combo, button, spin, time and date editors.
#pragma once

#include "components/editors/cxEdit.h"
#include "components/editors/cxRegExpr.h"
#include "components/editors/cxTextEdit.h"
#include "components/editors/cxStandardMask.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/Object.h"

class TcxCustomMaskEdit;

enum TcxEditMaskKind { emkStandard, emkRegExpr, emkRegExprEx };
using TcxEditMask = AnsiString;

// A wrong mask (a regular expression that does not compile).
ORV_DECLARE_EXCEPTION(EcxMaskEditError, EcxEditError);

// True for an empty text and for one made only of #0, tab, line feed, form feed, carriage
// return and spaces: such a mask is no mask.
bool IsEmptyMask(const AnsiString& mask);

namespace orv {

// What a mask mode reads of the properties it serves (the mask editor's properties).
class IMaskModeProperties : public virtual IInterface {
 public:
  // Regular-expression masks compare letters without case.
  virtual bool GetCaseInsensitive() = 0;
  // A text whose editable positions are all blank passes the check.
  virtual bool GetIgnoreMaskBlank() = 0;
};

}  // namespace orv

// One mask language.
class TcxMaskEditCustomMode : public TObject {
  ORV_CLASS(TcxMaskEditCustomMode, TObject)
 public:
  using TCreateSignature = void(TcxCustomMaskEdit* edit, orv::IMaskModeProperties* properties);
  // Keeps the editor; without one keeps the properties.
  TcxMaskEditCustomMode(TcxCustomMaskEdit* edit, orv::IMaskModeProperties* properties);

  virtual TcxEditMaskKind GetKind() { return emkStandard; }
  // Takes a mask text; raises EcxMaskEditError when it is wrong.
  virtual void Compile(const AnsiString& mask) { FEditMask = mask; }
  // The text of an empty mask.
  virtual void GetEmptyText(AnsiString& text) { text.clear(); }
  // `text` fitted into the mask, for display.
  virtual void GetFormattedText(const AnsiString& text, bool keepLiteralPositions, AnsiString& result) { result = text; }
  virtual bool IsTextValid(const AnsiString& text) { return true; }
  // The text as the editor's Text reports it.
  virtual void GetStrippedText(const AnsiString& text, bool keepLiteralPositions, AnsiString& result) { result = text; }

  // ---- With an editor ----
  virtual void FinishPaste() {}
  // The editor got the focus with AutoSelect, or was double-clicked.
  virtual void HandleEnter() {}
  virtual bool IsCaretAtStart() { return GetSelStart() == 0; }
  virtual bool IsCaretAtEnd() { return GetSelStart() == Integer(GetEditText().size()); }
  // The left button went down or moved while held, or the inner edit's selection changed.
  virtual void HandleLeftMouseDown() {}
  // Before ClipboardTextLength characters are pasted or inserted.
  virtual void PreparePaste() {}
  virtual bool ProcessBackspace() { return true; }
  virtual bool ProcessDelete() { return true; }
  virtual bool ProcessEnd() { return true; }
  virtual bool ProcessHome() { return true; }
  virtual bool ProcessLeft() { return true; }
  virtual bool ProcessRight() { return true; }
  virtual bool ProcessChar(char& key) { return true; }
  // The editor's text was set from outside.
  virtual void TextAssigned(const AnsiString& text) {}
  // Shows the current value in the inner edit.
  virtual void RefreshInnerDisplay();
  // Applies an edit value a compile left pending.
  virtual void UpdateEditValueAfterCompile() {}

  Integer GetClipboardTextLength() const { return FClipboardTextLength; }
  void SetClipboardTextLength(Integer value) { FClipboardTextLength = value; }
  TcxCustomMaskEdit* GetEdit() const { return FEdit; }
  TcxEditEchoMode GetEchoMode() const { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode value) { FEchoMode = value; }

  const AnsiString& GetEditMask() const { return FEditMask; }
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value) { FCharCase = value; }
  bool GetNeedUpdateEditValue() const { return FNeedUpdateEditValue; }

 protected:
  // The properties in effect: the editor's, else the ones the mode was made for.
  orv::IMaskModeProperties* GetModeProperties() const;
  // Whether the mode serves an editor whose inner edit exists.
  bool HasInnerEdit() const;
  // The inner edit's text and selection (empty without an editor).
  AnsiString GetEditText() const;
  Integer GetSelStart() const;
  Integer GetSelLength() const;
  void SetSelStart(Integer value);
  void SetSelLength(Integer value);
  void BeepOnError();

  TEditCharCase FCharCase = ecNormal;
  AnsiString FEditMask;
  orv::IMaskModeProperties* FProperties;
  TcxCustomMaskEdit* FEdit;
  bool FNeedUpdateEditValue = false;
  TcxEditEchoMode FEchoMode = eemNormal;
  Integer FClipboardTextLength = 0;
};

using TcxMaskEditCustomModeClass = orv::ClassOf<TcxMaskEditCustomMode>;

// The classic mask.
class TcxMaskEditStandardMode : public TcxMaskEditCustomMode {
  ORV_CLASS(TcxMaskEditStandardMode, TcxMaskEditCustomMode)
 public:
  TcxMaskEditStandardMode(TcxCustomMaskEdit* edit, orv::IMaskModeProperties* properties);
  ~TcxMaskEditStandardMode() override;

  void Compile(const AnsiString& mask) override;
  void GetEmptyText(AnsiString& text) override { FMask->GetEmptyText(text); }
  void GetFormattedText(const AnsiString& text, bool keepLiteralPositions, AnsiString& result) override;
  // Valid masked text, or (with IgnoreMaskBlank) the mask's own blanks and literals.
  bool IsTextValid(const AnsiString& text) override;
  void GetStrippedText(const AnsiString& text, bool keepLiteralPositions, AnsiString& result) override;
  // The character written into an editable position (1-based) that is cleared.
  virtual char GetBlankChar(Integer position) { return FMask->GetBlank(); }

  void UpdateEditValueAfterCompile() override;
  void HandleLeftMouseDown() override;
  bool IsCaretAtStart() override;
  bool IsCaretAtEnd() override;
  bool ProcessHome() override;
  bool ProcessEnd() override;
  bool ProcessLeft() override;
  bool ProcessRight() override;
  bool ProcessDelete() override;
  bool ProcessBackspace() override;
  bool ProcessChar(char& key) override;
  void PreparePaste() override;
  void FinishPaste() override;
  void TextAssigned(const AnsiString& text) override { HandleLeftMouseDown(); }
  void RefreshInnerDisplay() override;

  TcxStandardMask* GetMask() const { return FMask; }

 private:
  bool IsLiteralAt(Integer position) const;
  bool IsEditableAt(Integer position) const { return position >= 0 && position < FMask->GetCount() && !IsLiteralAt(position); }
  // The caret index: where the selection's moving end is (its start for a one-character caret).
  Integer CaretIndex() const;

  TcxStandardMask* FMask;
  Integer FPasteSelStart = 0;
};

// A regular-expression mask: only what the expression allows can be typed.
class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
  ORV_CLASS(TcxMaskEditRegExprMode, TcxMaskEditCustomMode)
 public:
  TcxMaskEditRegExprMode(TcxCustomMaskEdit* edit, orv::IMaskModeProperties* properties);
  ~TcxMaskEditRegExprMode() override;

  TcxEditMaskKind GetKind() override { return emkRegExpr; }
  void Compile(const AnsiString& mask) override;
  // The characters the expression accepts, each in the case the expression gives it.
  void GetFormattedText(const AnsiString& text, bool keepLiteralPositions, AnsiString& result) override;
  // An empty text, or one the expression takes whole (and complete unless IgnoreMaskBlank).
  bool IsTextValid(const AnsiString& text) override;

  void HandleEnter() override;
  bool IsCaretAtStart() override { return GetSelStart() == 0; }
  bool IsCaretAtEnd() override { return GetSelStart() == Integer(GetEditText().size()); }
  void HandleLeftMouseDown() override { FCaretMoved = true; }
  bool ProcessBackspace() override;
  bool ProcessDelete() override;
  bool ProcessEnd() override;
  bool ProcessHome() override;
  bool ProcessLeft() override;
  bool ProcessRight() override;
  bool ProcessChar(char& key) override;
  void TextAssigned(const AnsiString& text) override;
  void RefreshInnerDisplay() override;
  virtual void CutSelection();
  virtual void UndoCut();

  // Compiles `expression` from this mode's compiled mask; false when there is none.
  bool CompileCopy(TcxRegExpr* expression);
  // The expression's case flag follows the properties.
  void ApplyCaseInsensitive();
  TcxRegExpr* GetMaskExpression() const { return FMaskExpression; }

 protected:
  // A new expression with the properties' case flag (the caller frees it).
  TcxRegExpr* CreateExpression() const;
  // The check of IsTextValid on an expression already compiled and restarted.
  bool CheckText(TcxRegExpr* expression, const AnsiString& text) const;
  // Rebuilds the record of the text around the caret when the caret may have moved.
  void SyncWithText();
  bool TextAfterCaretFits();
  void DropTextAfterCaret();
  void StepLeft();
  void StepRight();

  bool FCutFromAfterCaret = false;
  AnsiString FTextBeforeCaret;
  AnsiString FCutText;
  AnsiString FTextAfterCaret;
  bool FCaretMoved = false;

 private:
  TcxRegExpr* FMaskExpression;
};

// The extended regular-expression mask: the characters the expression forces appear by
// themselves (the hyphen of \d\d-\d\d after two digits).
class TcxMaskEditRegExprExMode : public TcxMaskEditRegExprMode {
  ORV_CLASS(TcxMaskEditRegExprExMode, TcxMaskEditRegExprMode)
 public:
  TcxMaskEditRegExprExMode(TcxCustomMaskEdit* edit, orv::IMaskModeProperties* properties);

  TcxEditMaskKind GetKind() override { return emkRegExprEx; }
  void Compile(const AnsiString& mask) override;
  // The characters the expression forces at its start.
  void GetEmptyText(AnsiString& text) override;
  // The accepted characters followed by the characters forced after them.
  void GetFormattedText(const AnsiString& text, bool keepLiteralPositions, AnsiString& result) override;
  // The forced prefix alone is valid; otherwise as the plain mode.
  bool IsTextValid(const AnsiString& text) override;

  void HandleEnter() override;
  void PreparePaste() override { SyncWithCaret(); }
  bool ProcessBackspace() override;
  bool ProcessDelete() override;
  bool ProcessEnd() override;
  bool ProcessHome() override;
  bool ProcessLeft() override;
  bool ProcessRight() override;
  bool ProcessChar(char& key) override;
  void TextAssigned(const AnsiString& text) override;
  void UpdateEditValueAfterCompile() override;
  void GetStrippedText(const AnsiString& text, bool keepLiteralPositions, AnsiString& result) override {
    result = text;
  }
  void CutSelection() override;
  void UndoCut() override;

  const AnsiString& GetForcedText() const { return FForcedText; }
  Integer GetRemovedCount() const { return FRemovedCount; }

 protected:
  void ResetForcedText() {
    FForcedText.clear();
    FRemovedCount = 0;
  }

 private:
  void ForcedCharAdded(char ch) { FForcedText += ch; }
  void ForcedCharRemoved() { ++FRemovedCount; }
  void ForcedPrefixCharAdded(char ch) { FForcedPrefix += ch; }
  // A new copy of the expression with its forced prefix collected into FForcedPrefix, or
  // nullptr when the mask does not compile.
  TcxRegExpr* CreatePrefixExpression();
  void SetForced(bool on) { GetMaskExpression()->SetInsertForcedChars(on); }
  void SyncWithCaret();
  void ShiftRight();
  void ShiftLeft();
  void ReapplyTextAfterCaret();
  void RefitTextAfterCaret();
  // At caret 0 with a selection cut: the forced prefix taken out of the cut text; true when
  // there was one (the operation then runs again behind it).
  bool SkipForcedPrefix();

  AnsiString FForcedPrefix;
  Integer FRemovedCount = 0;
  AnsiString FForcedText;
};

// ==== The mask editor =========================================================================

class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties, public orv::IMaskModeProperties {
  ORV_CLASS(TcxCustomMaskEditProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxCustomMaskEditProperties(TPersistent* owner);
  void BeforeDestruction() override;

  void Assign(TPersistent* source) override;

  Boolean GetAlwaysShowBlanksAndLiterals() const { return FAlwaysShowBlanksAndLiterals; }
  void SetAlwaysShowBlanksAndLiterals(Boolean value);
  bool GetCaseInsensitive() override { return FCaseInsensitive; }
  void SetCaseInsensitive(Boolean value);
  // The own mask, or for an empty standard mask the data's edit mask.
  AnsiString GetEditMask();
  // Compiles the mask first: a wrong regular expression raises and nothing is stored.
  void SetEditMask(const AnsiString& value);
  const AnsiString& GetOwnEditMask() const { return FEditMask; }
  void ClearOwnEditMask() { FEditMask.clear(); }
  void SetOwnEditMask(const AnsiString& value) { FEditMask = value; }
  const AnsiString& GetEmptyString() const { return FEmptyString; }
  void SetEmptyString(const AnsiString& value) { FEmptyString = value; }
  bool GetIgnoreMaskBlank() override { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(Boolean value) { FIgnoreMaskBlank = value; }
  TcxEditMaskKind GetMaskKind() const { return FMaskKind; }
  void SetMaskKind(TcxEditMaskKind value);
  Boolean IsMasked();
  // Nil without a mask; else a mode for these properties alone, compiled (the caller frees it).
  TcxMaskEditCustomMode* CreateCompiledMode();

  virtual TcxMaskEditCustomModeClass GetModeClass(TcxEditMaskKind kind);

  TcxCustomEditClass GetEditClass() override;
  Integer GetDisplayFormatOptions() override;
  Boolean AcceptsEditValue(const Variant& value) override;
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void CheckDisplayValue(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                         Boolean& error) override;
  void NotifyChanged() override;
  void MaxLengthChanged() override;
  void SetCharCase(TEditCharCase value) override;
  Boolean UseLookupData() override;

 private:
  Boolean FAlwaysShowBlanksAndLiterals = false;
  Boolean FCaseInsensitive = true;
  AnsiString FEditMask;
  AnsiString FEmptyString;
  Boolean FIgnoreMaskBlank = false;
  TcxEditMaskKind FMaskKind = emkStandard;
  Boolean FMaxLengthLock = false;
  TcxMaskEditCustomMode* FTempMode = nullptr;
};

class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
  ORV_CLASS(TcxMaskEditProperties, TcxCustomMaskEditProperties)
 public:
  explicit TcxMaskEditProperties(TPersistent* owner) : TcxCustomMaskEditProperties(owner) {}
};

class TcxCustomMaskEdit : public TcxCustomTextEdit {
  ORV_CLASS(TcxCustomMaskEdit, TcxCustomTextEdit)
 public:
  explicit TcxCustomMaskEdit(TComponent* owner) : TcxCustomTextEdit(owner) {}
  ~TcxCustomMaskEdit() override;

  void Loaded() override;

  TcxCustomMaskEditProperties* GetMaskProperties() {
    return static_cast<TcxCustomMaskEditProperties*>(GetEffectiveProperties());
  }
  TcxMaskEditCustomMode* GetMode() const { return FMode; }
  Boolean IsMasked() { return GetMaskProperties()->IsMasked(); }
  AnsiString GetInnerText();
  const AnsiString& GetMaskText() const { return FMaskText; }
  Boolean GetShiftKeyPressed() const { return FShiftKeyPressed; }
  void SetShiftKeyPressed(Boolean value) { FShiftKeyPressed = value; }
  // The inner edit's own selection (not the editing style's view of it).
  Integer GetInnerSelStart();
  Integer GetInnerSelLength();
  void SetSelStartInternal(Integer value);
  void SetSelLengthInternal(Integer value);
  // A key or a character the inner edit handles as if typed, without the editor's own handling.
  void SendInternalKeyDown(Word key, TShiftState shift = {});
  void SendInternalChar(char ch);
  void SynchronizeModeText(const AnsiString& text);

  // ---- New virtual operations ----
  virtual Boolean CanSynchronizeModeText() { return true; }
  // Whether a typed character may go into the mask position (1-based).
  virtual Boolean CanInsertCharAt(char& key, Integer position) { return true; }
  virtual void UpdateDisplayValueFromText();

  // ---- Overrides ----
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  void HandlePropertiesChange(TObject* sender) override;
  void StoreDisplayValue(const Variant& value) override;
  void UpdateDisplayValue() override;
  void UndoPerformed() override;
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  void HandleInnerEditChange(TObject* sender) override;
  void DoGetText(AnsiString& text) override;
  Boolean DoSetText(const AnsiString& text) override;
  Boolean CanEditPlainText() override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char& key) override;
  void PasteFromClipboard() override;
  void CutToClipboard() override;
  void SetSelectedText(const AnsiString& text) override;
  void InnerEditChanged(TObject* sender) override;
  void DblClick() override;
  void HookInnerEdit() override;
  void UnhookInnerEdit() override;

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void DoEnter() override;

 private:
  void CreateMode();

  Boolean FInternalSelectionChange = false;
  TcxMaskEditCustomMode* FMode = nullptr;
  Boolean FInternalKeyMessage = false;
  Boolean FShiftKeyPressed = false;
  AnsiString FMaskText;
};

class TcxMaskEdit : public TcxCustomMaskEdit {
  ORV_CLASS(TcxMaskEdit, TcxCustomMaskEdit)
 public:
  explicit TcxMaskEdit(TComponent* owner) : TcxCustomMaskEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TcxMaskEditProperties::StaticClass(); }
  TcxMaskEditProperties* GetProperties() { return static_cast<TcxMaskEditProperties*>(TcxCustomEdit::GetProperties()); }
  void SetProperties(TcxMaskEditProperties* value) { GetProperties()->Assign(value); }
  TcxMaskEditProperties* GetActiveProperties() {
    return static_cast<TcxMaskEditProperties*>(GetEffectiveProperties());
  }
  Boolean HasEditableText() override { return CanEditPlainText(); }
};

// Prepares mask editors for entering the values of filter conditions: a regular-expression mask
// becomes the extended kind, and "like" is offered only without a mask.
class TcxFilterMaskEditHelper : public TcxFilterTextEditHelper {
  ORV_CLASS(TcxFilterMaskEditHelper, TcxFilterTextEditHelper)
 public:
  TcxFilterMaskEditHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override;
};
