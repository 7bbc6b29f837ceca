// The mask editor's mask languages: the mask modes that turn a mask text into the rules of an
// edited text (the classic mask and the two regular-expression masks).
//
// So far this unit holds the part of the modes that works without an editor control: compiling
// a mask, the empty text, fitting a value into the mask for display, stripping it back to the
// value and checking a text. A mode created for a properties object alone (conversions of
// unfocused editors and grid cells, and the check of a new mask) uses exactly this part. The
// typing, caret and clipboard handling join it with the mask editor control.
#pragma once

#include "components/editors/cxEdit.h"
#include "components/editors/cxRegExpr.h"
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

  const AnsiString& GetEditMask() const { return FEditMask; }
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value) { FCharCase = value; }
  bool GetNeedUpdateEditValue() const { return FNeedUpdateEditValue; }

 protected:
  // The properties in effect.
  orv::IMaskModeProperties* GetModeProperties() const { return FProperties; }
  // Whether the mode serves an editor whose inner edit exists (never yet: see the unit note).
  bool HasInnerEdit() const { return false; }

  TEditCharCase FCharCase = ecNormal;
  AnsiString FEditMask;
  orv::IMaskModeProperties* FProperties;
  TcxCustomMaskEdit* FEdit;
  bool FNeedUpdateEditValue = false;
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

  TcxStandardMask* GetMask() const { return FMask; }

 private:
  TcxStandardMask* FMask;
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

  AnsiString FForcedPrefix;
  Integer FRemovedCount = 0;
  AnsiString FForcedText;
};
