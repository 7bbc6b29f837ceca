#include "components/editors/cxMaskEdit.h"

#include <algorithm>
#include <memory>

#include "components/editors/cxEditConsts.h"
#include "components/foundation/cxClasses.h"
#include "components/data/cxVariants.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

using TRegExprPtr = std::unique_ptr<TcxRegExpr, orv::FreeDeleter>;

void CompileText(TcxRegExpr* expression, const AnsiString& text) {
  TStringStream stream(text);
  expression->Compile(&stream);
}

}  // namespace

bool IsEmptyMask(const AnsiString& mask) {
  return std::all_of(mask.begin(), mask.end(), [](char c) {
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
  });
}

// ==== The base mode ==========================================================================

TcxMaskEditCustomMode::TcxMaskEditCustomMode(TcxCustomMaskEdit* edit, orv::IMaskModeProperties* properties)
    : FProperties(edit ? nullptr : properties), FEdit(edit) {}

orv::IMaskModeProperties* TcxMaskEditCustomMode::GetModeProperties() const {
  return FEdit ? FEdit->GetMaskProperties() : FProperties;
}

bool TcxMaskEditCustomMode::HasInnerEdit() const { return FEdit && !FEdit->IsInnerEditPending(); }

AnsiString TcxMaskEditCustomMode::GetEditText() const { return FEdit ? FEdit->GetInnerText() : AnsiString(); }

Integer TcxMaskEditCustomMode::GetSelStart() const { return FEdit ? FEdit->GetInnerSelStart() : 0; }

Integer TcxMaskEditCustomMode::GetSelLength() const { return FEdit ? FEdit->GetInnerSelLength() : 0; }

void TcxMaskEditCustomMode::SetSelStart(Integer value) {
  if (FEdit) FEdit->SetSelStartInternal(value);
}

void TcxMaskEditCustomMode::SetSelLength(Integer value) {
  if (FEdit) FEdit->SetSelLengthInternal(value);
}

void TcxMaskEditCustomMode::BeepOnError() {
  if (FEdit && FEdit->GetMaskProperties()->GetBeepOnError()) MessageBeep(0);
}

void TcxMaskEditCustomMode::RefreshInnerDisplay() {
  if (!HasInnerEdit()) return;
  Variant display;
  if (FEdit->GetModifiedAfterEnter()) {
    AnsiString text;
    FEdit->GetDisplayText(text);
    AnsiString formatted;
    GetFormattedText(text, true, formatted);
    display = Variant(formatted);
  } else {
    Variant value;
    FEdit->GetEditValue(value);
    FEdit->GetMaskProperties()->EditValueToDisplayValue(value, display, FEdit->IsFocusedForDisplay());
  }
  FEdit->SetInnerDisplayValue(display);
}

// ==== The classic mask =======================================================================

TcxMaskEditStandardMode::TcxMaskEditStandardMode(TcxCustomMaskEdit* edit, orv::IMaskModeProperties* properties)
    : TcxMaskEditCustomMode(edit, properties), FMask(new TcxStandardMask) {}

TcxMaskEditStandardMode::~TcxMaskEditStandardMode() { FMask->Free(); }

void TcxMaskEditStandardMode::Compile(const AnsiString& mask) {
  FEditMask = mask;
  if (IsEmptyMask(mask)) return;
  FMask->Compile(mask);
  FNeedUpdateEditValue = !HasInnerEdit();
}

void TcxMaskEditStandardMode::GetFormattedText(const AnsiString& text, bool keepLiteralPositions,
                                               AnsiString& result) {
  result = text;
  FMask->Format(result, true, keepLiteralPositions);
}

bool TcxMaskEditStandardMode::IsTextValid(const AnsiString& text) {
  AnsiString tested = text;
  if (FMask->IsValid(tested)) return true;
  if (!GetModeProperties() || !GetModeProperties()->GetIgnoreMaskBlank()) return false;
  AnsiString blank;
  GetFormattedText(AnsiString(), true, blank);
  return text == blank;
}

void TcxMaskEditStandardMode::GetStrippedText(const AnsiString& text, bool keepLiteralPositions,
                                              AnsiString& result) {
  result = text;
  if (FMask->GetCount() == 0) return;
  FMask->Format(result, FCharCase == ecNormal, keepLiteralPositions);
  FMask->Strip(result);
}

// ==== Regular-expression masks ===============================================================

TcxMaskEditRegExprMode::TcxMaskEditRegExprMode(TcxCustomMaskEdit* edit, orv::IMaskModeProperties* properties)
    : TcxMaskEditCustomMode(edit, properties), FMaskExpression(CreateExpression()) {}

TcxMaskEditRegExprMode::~TcxMaskEditRegExprMode() { FMaskExpression->Free(); }

TcxRegExpr* TcxMaskEditRegExprMode::CreateExpression() const {
  auto* result = new TcxRegExpr;
  if (GetModeProperties()) result->SetCaseInsensitive(GetModeProperties()->GetCaseInsensitive());
  return result;
}

void TcxMaskEditRegExprMode::ApplyCaseInsensitive() {
  if (GetModeProperties()) FMaskExpression->SetCaseInsensitive(GetModeProperties()->GetCaseInsensitive());
}

void TcxMaskEditRegExprMode::Compile(const AnsiString& mask) {
  FEditMask = mask;
  if (IsEmptyMask(mask)) return;
  try {
    CompileText(FMaskExpression, mask);
  } catch (const EcxRegExprError& e) {
    AnsiString message = GetLocalizedResourceString(&scxMaskEditRegExprError);
    TcxRegExprErrors* errors = e.GetErrors();
    for (Integer i = 0; i < errors->GetCount(); ++i) message += "\r\n" + errors->GetItem(i)->GetPositionedMessage();
    throw EcxMaskEditError(message);
  }
}

bool TcxMaskEditRegExprMode::CompileCopy(TcxRegExpr* expression) {
  if (!FMaskExpression->IsCompiled()) return false;
  TStream* source = FMaskExpression->GetSource();
  source->SetPosition(0);
  expression->Compile(source);
  return true;
}

void TcxMaskEditRegExprMode::GetFormattedText(const AnsiString& text, bool keepLiteralPositions,
                                              AnsiString& result) {
  result.clear();
  if (!FMaskExpression->IsCompiled()) return;
  FMaskExpression->Restart();
  for (char c : text)
    if (FMaskExpression->Step(c)) result += c;
}

bool TcxMaskEditRegExprMode::CheckText(TcxRegExpr* expression, const AnsiString& text) const {
  for (char c : text)
    if (!expression->Step(c)) return false;
  return (GetModeProperties() && GetModeProperties()->GetIgnoreMaskBlank()) || expression->IsAccepting();
}

bool TcxMaskEditRegExprMode::IsTextValid(const AnsiString& text) {
  if (text.empty()) return true;
  TRegExprPtr expression(CreateExpression());
  try {
    if (!CompileCopy(expression.get())) return false;
  } catch (const EcxRegExprError&) {
    return false;
  }
  return CheckText(expression.get(), text);
}

TcxMaskEditRegExprExMode::TcxMaskEditRegExprExMode(TcxCustomMaskEdit* edit, orv::IMaskModeProperties* properties)
    : TcxMaskEditRegExprMode(edit, properties) {
  TcxRegExpr* expression = GetMaskExpression();
  expression->SetOnForcedCharAdded(TcxRegExprForcedCharAddedEvent(this, &TcxMaskEditRegExprExMode::ForcedCharAdded));
  expression->SetOnForcedCharRemoved(
      TcxRegExprForcedCharRemovedEvent(this, &TcxMaskEditRegExprExMode::ForcedCharRemoved));
  expression->SetInsertForcedChars(true);
  ResetForcedText();
}

void TcxMaskEditRegExprExMode::Compile(const AnsiString& mask) {
  ResetForcedText();
  TcxMaskEditRegExprMode::Compile(mask);
  FNeedUpdateEditValue = !HasInnerEdit();
}

TcxRegExpr* TcxMaskEditRegExprExMode::CreatePrefixExpression() {
  TRegExprPtr expression(CreateExpression());
  try {
    if (!CompileCopy(expression.get())) return nullptr;
  } catch (const EcxRegExprError&) {
    return nullptr;
  }
  expression->SetOnForcedCharAdded(
      TcxRegExprForcedCharAddedEvent(this, &TcxMaskEditRegExprExMode::ForcedPrefixCharAdded));
  FForcedPrefix.clear();
  expression->SetInsertForcedChars(true);
  return expression.release();
}

void TcxMaskEditRegExprExMode::GetEmptyText(AnsiString& text) {
  TRegExprPtr expression(CreatePrefixExpression());
  text = expression ? FForcedPrefix : AnsiString();
}

bool TcxMaskEditRegExprExMode::IsTextValid(const AnsiString& text) {
  TRegExprPtr expression(CreatePrefixExpression());
  if (!expression) return text.empty();
  if (text == FForcedPrefix) return true;
  expression->SetInsertForcedChars(false);
  expression->Restart();
  return text.empty() || CheckText(expression.get(), text);
}

void TcxMaskEditRegExprExMode::GetFormattedText(const AnsiString& text, bool keepLiteralPositions,
                                                AnsiString& result) {
  result.clear();
  TcxRegExpr* expression = GetMaskExpression();
  if (!expression->IsCompiled()) return;
  expression->SetInsertForcedChars(false);
  ResetForcedText();
  TcxMaskEditRegExprMode::GetFormattedText(text, keepLiteralPositions, result);
  expression->SetInsertForcedChars(true);
  result += FForcedText;
}

// ==== The classic mask with an editor ========================================================
//
// The inner edit always holds one character per mask position. A typed character overwrites the
// position at the caret and the caret moves on, skipping literals; the mode keeps one character
// selected as its caret.

bool TcxMaskEditStandardMode::IsLiteralAt(Integer position) const {
  return position >= 0 && position < FMask->GetCount() &&
         FMask->GetItem(position)->InheritsFrom(TcxStandardMaskLiteralItem::StaticClass());
}

Integer TcxMaskEditStandardMode::CaretIndex() const {
  const Integer length = GetSelLength();
  return length <= 1 ? GetSelStart() : GetSelStart() + length;
}

void TcxMaskEditStandardMode::UpdateEditValueAfterCompile() {
  if (!FNeedUpdateEditValue || !FEdit) return;
  AnsiString empty;
  FMask->GetEmptyText(empty);
  FEdit->ChangeEditValue(Variant(empty));
  FNeedUpdateEditValue = false;
}

void TcxMaskEditStandardMode::HandleLeftMouseDown() {
  if (!FEdit || !FEdit->HandleAllocated() || !FEdit->IsMasked()) return;
  if (GetSelLength() == 0) SetSelLength(1);
}

bool TcxMaskEditStandardMode::IsCaretAtStart() {
  Integer first = 0;
  while (first < FMask->GetCount() && IsLiteralAt(first)) ++first;
  return GetSelStart() <= first && (GetSelLength() < 2 || CaretIndex() == GetSelStart());
}

bool TcxMaskEditStandardMode::IsCaretAtEnd() { return GetSelStart() == Integer(GetEditText().size()); }

bool TcxMaskEditStandardMode::ProcessHome() {
  if (FEdit->GetShiftKeyPressed()) return true;
  SetSelStart(0);
  if (FMask->GetCount() > 0 && IsLiteralAt(0))
    ProcessRight();
  else
    HandleLeftMouseDown();
  return false;
}

bool TcxMaskEditStandardMode::ProcessEnd() {
  if (FEdit->GetShiftKeyPressed()) return true;
  SetSelStart(Integer(GetEditText().size()));
  return false;
}

bool TcxMaskEditStandardMode::ProcessLeft() {
  const Integer start = GetSelStart();
  const Integer length = GetSelLength();
  const Integer textLength = Integer(GetEditText().size());
  if (FEdit->GetShiftKeyPressed()) {
    if (length == 1) {
      SetSelStart(start + 1);
      FEdit->SendInternalKeyDown(VK_LEFT, TShiftState{ssShift});
      FEdit->SendInternalKeyDown(VK_LEFT, TShiftState{ssShift});
    }
    return true;
  }
  Integer target = start;
  if (length >= 2) {
    Integer i = start;
    while (i < start + length && !IsEditableAt(i)) ++i;
    if (i < start + length)
      target = i;
    else
      target = start + length >= textLength ? textLength : start;
  } else {
    Integer i = start - 1;
    while (i >= 0 && !IsEditableAt(i)) --i;
    if (i >= 0) target = i;
  }
  SetSelStart(target);
  HandleLeftMouseDown();
  return false;
}

bool TcxMaskEditStandardMode::ProcessRight() {
  const Integer start = GetSelStart();
  const Integer length = GetSelLength();
  const Integer textLength = Integer(GetEditText().size());
  if (FEdit->GetShiftKeyPressed()) {
    if (length == 1 && CaretIndex() == start) SetSelLength(0);
    return true;
  }
  Integer target = start;
  if (length >= 2) {
    if (start + length < textLength) {
      Integer i = start + length - 1;
      while (i >= start && !IsEditableAt(i)) --i;
      target = i >= start ? i : start + length - 1;
    } else {
      target = textLength;
    }
  } else if (start < textLength) {
    Integer i = start + 1;
    while (i < textLength && !IsEditableAt(i)) ++i;
    target = i < textLength ? i : textLength;
  }
  SetSelStart(target);
  HandleLeftMouseDown();
  return false;
}

bool TcxMaskEditStandardMode::ProcessDelete() {
  const Integer start = GetSelStart();
  const Integer length = GetSelLength();
  AnsiString text = GetEditText();
  for (Integer i = start; i < start + length && i < Integer(text.size()); ++i) {
    if (!IsEditableAt(i)) continue;
    const char blank = GetBlankChar(i + 1);
    if (blank == 0) continue;
    text[std::size_t(i)] = blank;
    FEdit->SetInnerDisplayValue(Variant(text));
    SetSelStart(start);
  }
  if (length > 0) {
    SetSelStart(start);
    SetSelLength(length);
  }
  return false;
}

bool TcxMaskEditStandardMode::ProcessBackspace() {
  if (GetSelLength() <= 1) ProcessLeft();
  const Integer start = GetSelStart();
  ProcessDelete();
  SetSelStart(start);
  HandleLeftMouseDown();
  return false;
}

bool TcxMaskEditStandardMode::ProcessChar(char& key) {
  AnsiString text = GetEditText();
  const Integer start = GetSelStart();
  if (text.empty() || start >= Integer(text.size())) return false;
  if (IsLiteralAt(start)) {
    FEdit->SetShiftKeyPressed(false);
    if (GetSelLength() > 1) ProcessDelete();
    ProcessRight();
    if (GetSelStart() != start) ProcessChar(key);
    return false;
  }
  if (!IsEditableAt(start)) return false;
  char ch = key;
  if (!FMask->GetItem(start)->Check(ch)) return false;
  if (!FEdit->CanInsertCharAt(ch, start + 1)) return false;
  if (ch == 0) {
    BeepOnError();
    return false;
  }
  // The editor's rule may have rewritten the text and moved the caret on (a time part whose
  // first digit became 0 takes the key as its second digit).
  text = GetEditText();
  const Integer at = GetSelStart();
  if (at != start && !IsEditableAt(at)) return false;
  if (GetSelLength() > 1) {
    ProcessDelete();
    text = GetEditText();
  }
  text[std::size_t(at)] = ch;
  FEdit->SetInnerDisplayValue(Variant(text));
  SetSelStart(at);
  FEdit->SetShiftKeyPressed(false);
  ProcessRight();
  return false;
}

void TcxMaskEditStandardMode::PreparePaste() {
  FPasteSelStart = GetSelStart();
  SetSelStart(FPasteSelStart);
  SetSelLength(FClipboardTextLength);
}

void TcxMaskEditStandardMode::FinishPaste() {
  const Integer textLength = Integer(GetEditText().size());
  Integer position = std::min(FPasteSelStart + FClipboardTextLength, textLength - 1);
  position = std::max<Integer>(position, 0);
  SetSelStart(position);
  if (IsLiteralAt(position)) {
    FEdit->SetShiftKeyPressed(false);
    ProcessRight();
  } else {
    HandleLeftMouseDown();
  }
}

void TcxMaskEditStandardMode::RefreshInnerDisplay() {
  TcxMaskEditCustomMode::RefreshInnerDisplay();
  HandleLeftMouseDown();
}

// ==== Regular-expression masks with an editor ================================================
//
// The text before the caret has been fed to the expression character by character, so a typed
// character is accepted exactly when the expression can go on with it; the text after the caret
// is tested again after every change and dropped when it no longer fits.

void TcxMaskEditRegExprMode::SyncWithText() {
  const AnsiString text = GetEditText();
  if (!((FTextBeforeCaret.empty() && FTextAfterCaret.empty() && !text.empty()) || FCaretMoved)) return;
  FCaretMoved = false;
  FMaskExpression->Restart();
  FTextAfterCaret = text;
  FTextBeforeCaret.clear();
  const Integer caret = std::min<Integer>(GetSelStart() + GetSelLength(), Integer(text.size()));
  for (Integer i = 0; i < caret; ++i) {
    char c = FTextAfterCaret.front();
    FMaskExpression->Step(c);
    FTextBeforeCaret += FTextAfterCaret.front();
    FTextAfterCaret.erase(0, 1);
  }
}

bool TcxMaskEditRegExprMode::TextAfterCaretFits() {
  Integer accepted = 0;
  bool fits = true;
  for (char c : FTextAfterCaret) {
    if (!FMaskExpression->Step(c)) {
      fits = false;
      break;
    }
    ++accepted;
  }
  for (Integer i = 0; i < accepted; ++i) FMaskExpression->StepBack();
  return fits;
}

void TcxMaskEditRegExprMode::DropTextAfterCaret() {
  if (!FEdit) return;
  AnsiString text;
  FEdit->GetDisplayText(text);
  const Integer start = std::min<Integer>(GetSelStart(), Integer(text.size()));
  text.erase(std::size_t(start), FTextAfterCaret.size());
  FEdit->GetDataBinding()->ShowDisplayValue(Variant(text));
  SetSelStart(Integer(text.size()));
  FTextAfterCaret.clear();
}

void TcxMaskEditRegExprMode::StepLeft() {
  if (FTextBeforeCaret.empty()) return;
  FMaskExpression->StepBack();
  FTextAfterCaret.insert(FTextAfterCaret.begin(), FTextBeforeCaret.back());
  FTextBeforeCaret.pop_back();
}

void TcxMaskEditRegExprMode::StepRight() {
  if (FTextAfterCaret.empty()) return;
  char c = FTextAfterCaret.front();
  FMaskExpression->Step(c);
  FTextBeforeCaret += FTextAfterCaret.front();
  FTextAfterCaret.erase(0, 1);
}

void TcxMaskEditRegExprMode::CutSelection() {
  const Integer start = GetSelStart();
  const Integer length = GetSelLength();
  const Integer before = Integer(FTextBeforeCaret.size());
  if (start == before) {
    FCutText = FTextAfterCaret.substr(0, std::size_t(length));
    FTextAfterCaret.erase(0, std::size_t(length));
    FCutFromAfterCaret = true;
  } else if (start + length == before) {
    FCutText = FTextBeforeCaret.substr(std::size_t(before - length));
    FTextBeforeCaret.erase(std::size_t(before - length));
    for (Integer i = 0; i < length; ++i) FMaskExpression->StepBack();
    FCutFromAfterCaret = false;
  }
}

void TcxMaskEditRegExprMode::UndoCut() {
  if (FCutFromAfterCaret) {
    FTextAfterCaret = FCutText + FTextAfterCaret;
  } else {
    for (char c : FCutText) {
      char ch = c;
      FMaskExpression->Step(ch);
      FTextBeforeCaret += c;
    }
  }
}

void TcxMaskEditRegExprMode::HandleEnter() {
  SyncWithText();
  TcxMaskEditRegExprMode::ProcessEnd();
}

bool TcxMaskEditRegExprMode::ProcessEnd() {
  SyncWithText();
  for (char c : FTextAfterCaret) {
    char ch = c;
    FMaskExpression->Step(ch);
  }
  FTextBeforeCaret += FTextAfterCaret;
  FTextAfterCaret.clear();
  return true;
}

bool TcxMaskEditRegExprMode::ProcessHome() {
  SyncWithText();
  FTextAfterCaret = FTextBeforeCaret + FTextAfterCaret;
  FTextBeforeCaret.clear();
  FMaskExpression->Restart();
  return true;
}

bool TcxMaskEditRegExprMode::ProcessDelete() {
  SyncWithText();
  bool result = true;
  if (GetSelLength() > 0) {
    CutSelection();
    if (!TextAfterCaretFits()) {
      FEdit->SendInternalKeyDown(VK_DELETE);
      DropTextAfterCaret();
      result = false;
    }
  } else if (!FTextAfterCaret.empty()) {
    FCutText = FTextAfterCaret.substr(0, 1);
    FTextAfterCaret.erase(0, 1);
    if (!TextAfterCaretFits()) {
      DropTextAfterCaret();
      SetSelStart(std::max<Integer>(GetSelStart() - 1, 0));
    }
  }
  FCutText.clear();
  return result;
}

bool TcxMaskEditRegExprMode::ProcessBackspace() {
  SyncWithText();
  bool result = true;
  if (GetSelLength() > 0) {
    CutSelection();
    if (!TextAfterCaretFits()) {
      FEdit->SendInternalChar('\b');
      DropTextAfterCaret();
      result = false;
    }
  } else if (!FTextBeforeCaret.empty()) {
    FMaskExpression->StepBack();
    FTextBeforeCaret.pop_back();
    if (!TextAfterCaretFits()) DropTextAfterCaret();
  }
  FCutText.clear();
  return result;
}

bool TcxMaskEditRegExprMode::ProcessLeft() {
  SyncWithText();
  if (FTextBeforeCaret.empty()) return true;
  const Integer start = GetSelStart();
  const Integer length = GetSelLength();
  const Integer caret = Integer(FTextBeforeCaret.size());
  const bool shift = FEdit->GetShiftKeyPressed();
  if (length > 0 && start + length == caret && !shift) {
    for (Integer i = 0; i < length; ++i) StepLeft();
  } else if (length > 0 && start == caret && !shift) {
  } else {
    StepLeft();
  }
  return true;
}

bool TcxMaskEditRegExprMode::ProcessRight() {
  SyncWithText();
  if (FTextAfterCaret.empty()) return true;
  const Integer start = GetSelStart();
  const Integer length = GetSelLength();
  const Integer caret = Integer(FTextBeforeCaret.size());
  const bool shift = FEdit->GetShiftKeyPressed();
  if (length > 0 && start == caret && !shift) {
    for (Integer i = 0; i < length; ++i) StepRight();
  } else if (length > 0 && start + length == caret && !shift) {
  } else {
    StepRight();
  }
  return true;
}

bool TcxMaskEditRegExprMode::ProcessChar(char& key) {
  SyncWithText();
  const bool selected = GetSelLength() > 0;
  if (selected) CutSelection();
  char ch = key;
  bool result = false;
  if (!FMaskExpression->Step(ch)) {
    UndoCut();
    BeepOnError();
  } else {
    key = ch;
    FTextBeforeCaret += ch;
    result = true;
    if (!TextAfterCaretFits()) {
      if (selected) {
        FEdit->SendInternalKeyDown(VK_DELETE);
        FEdit->SendInternalChar(key);
        result = false;
      }
      DropTextAfterCaret();
    }
  }
  FCutText.clear();
  return result;
}

void TcxMaskEditRegExprMode::TextAssigned(const AnsiString& text) {
  FMaskExpression->Restart();
  if (FClipboardTextLength < 1 || text.empty()) {
    FTextBeforeCaret.clear();
    FTextAfterCaret = text;
    return;
  }
  const Integer n = std::min<Integer>(GetSelStart() + FClipboardTextLength, Integer(text.size()));
  FTextBeforeCaret = text.substr(0, std::size_t(n));
  FTextAfterCaret = text.substr(std::size_t(n));
  for (char c : FTextBeforeCaret) {
    char ch = c;
    FMaskExpression->Step(ch);
  }
  FClipboardTextLength = 0;
}

void TcxMaskEditRegExprMode::RefreshInnerDisplay() {
  TcxMaskEditCustomMode::RefreshInnerDisplay();
  if (!HasInnerEdit()) return;
  const AnsiString text = GetEditText();
  SetSelStart(Integer(text.size()));
  FTextBeforeCaret = text;
  FTextAfterCaret.clear();
  FMaskExpression->Restart();
  AnsiString accepted;
  FMaskExpression->StepText(text, accepted);
}

// ---- The extended mode: forced characters appear by themselves ------------------------------

void TcxMaskEditRegExprExMode::UpdateEditValueAfterCompile() {
  if (!FNeedUpdateEditValue || !FEdit) return;
  FEdit->ChangeEditValue(Variant(FForcedText));
  FNeedUpdateEditValue = false;
}

void TcxMaskEditRegExprExMode::ShiftRight() {
  ResetForcedText();
  if (FTextAfterCaret.empty()) return;
  char c = FTextAfterCaret.front();
  GetMaskExpression()->Step(c);
  FTextBeforeCaret += FTextAfterCaret.front();
  FTextAfterCaret.erase(0, 1);
  for (std::size_t i = 0; i < FForcedText.size() && !FTextAfterCaret.empty(); ++i) {
    FTextBeforeCaret += FTextAfterCaret.front();
    FTextAfterCaret.erase(0, 1);
  }
}

void TcxMaskEditRegExprExMode::ShiftLeft() {
  ResetForcedText();
  if (FTextBeforeCaret.empty()) return;
  GetMaskExpression()->StepBack();
  std::size_t count = std::size_t(FRemovedCount) + 1;
  if (GetMaskExpression()->IsAtStart()) count = FTextBeforeCaret.size();
  count = std::min(count, FTextBeforeCaret.size());
  FTextAfterCaret = FTextBeforeCaret.substr(FTextBeforeCaret.size() - count) + FTextAfterCaret;
  FTextBeforeCaret.erase(FTextBeforeCaret.size() - count);
}

void TcxMaskEditRegExprExMode::SyncWithCaret() {
  if (!HasInnerEdit() || !FEdit->HandleAllocated()) return;
  const AnsiString text = GetEditText();
  if (FTextBeforeCaret.empty() && FTextAfterCaret.empty() && !text.empty()) {
    FTextAfterCaret = text;
    GetMaskExpression()->Restart();
    FCaretMoved = true;
  }
  if (!FCaretMoved) return;
  FCaretMoved = false;
  const Integer a = GetSelStart();
  const Integer b = a + GetSelLength();
  SetForced(false);
  GetMaskExpression()->Restart();
  FTextAfterCaret = FTextBeforeCaret + FTextAfterCaret;
  if (FTextAfterCaret.empty()) FTextAfterCaret = text;
  FTextBeforeCaret.clear();
  SetForced(true);
  ResetForcedText();
  FTextBeforeCaret += FForcedText;
  if (FForcedText.size() <= FTextAfterCaret.size()) FTextAfterCaret.erase(0, FForcedText.size());
  while (Integer(FTextBeforeCaret.size()) < a && !FTextAfterCaret.empty()) ShiftRight();
  if (Integer(FTextBeforeCaret.size()) != a) SetSelStart(Integer(FTextBeforeCaret.size()));
  if (a < b) {
    while (Integer(FTextBeforeCaret.size()) < b && !FTextAfterCaret.empty()) ShiftRight();
    SetSelStart(a);
    SetSelLength(Integer(FTextBeforeCaret.size()) - a);
  }
  ResetForcedText();
}

void TcxMaskEditRegExprExMode::ReapplyTextAfterCaret() {
  ResetForcedText();
  const AnsiString after = FTextAfterCaret;
  for (char c : after) {
    char ch = c;
    GetMaskExpression()->Step(ch);
    FEdit->SendInternalKeyDown(VK_RIGHT);
  }
  SetForced(true);
  for (char c : FForcedText) {
    FTextAfterCaret += c;
    FEdit->SendInternalChar(c);
  }
  SetForced(false);
  for (std::size_t i = 0; i < FTextAfterCaret.size(); ++i) {
    GetMaskExpression()->StepBack();
    FEdit->SendInternalKeyDown(VK_LEFT);
  }
  ResetForcedText();
}

void TcxMaskEditRegExprExMode::RefitTextAfterCaret() {
  SetForced(false);
  if (TextAfterCaretFits())
    ReapplyTextAfterCaret();
  else
    DropTextAfterCaret();
  SetForced(true);
  ResetForcedText();
}

bool TcxMaskEditRegExprExMode::SkipForcedPrefix() {
  if (GetSelStart() != 0 || !FTextBeforeCaret.empty()) return false;
  SetForced(false);
  ResetForcedText();
  SetForced(true);
  if (FForcedText.empty()) return false;
  const AnsiString prefix = FForcedText;
  ResetForcedText();
  FTextBeforeCaret = prefix;
  const Integer end = GetSelStart() + GetSelLength();
  const std::size_t skip = std::min(prefix.size(), FCutText.size());
  FTextAfterCaret = FCutText.substr(skip) + FTextAfterCaret;
  FCutText.clear();
  SetSelStart(Integer(prefix.size()));
  SetSelLength(std::max<Integer>(end - Integer(prefix.size()), 0));
  // The selected characters behind the prefix stand after the caret again; take them as cut.
  FCutText = FTextAfterCaret.substr(0, std::size_t(GetSelLength()));
  FTextAfterCaret.erase(0, FCutText.size());
  FCutFromAfterCaret = true;
  return true;
}

void TcxMaskEditRegExprExMode::CutSelection() {
  SetForced(false);
  TcxMaskEditRegExprMode::CutSelection();
  SetForced(true);
  if (!FForcedText.empty()) {
    GetMaskExpression()->StepBack();
    ResetForcedText();
  }
}

void TcxMaskEditRegExprExMode::UndoCut() {
  SetForced(false);
  TcxMaskEditRegExprMode::UndoCut();
  SetForced(true);
  if (!FForcedText.empty()) {
    GetMaskExpression()->StepBack();
    ResetForcedText();
  }
}

void TcxMaskEditRegExprExMode::HandleEnter() {
  SetForced(false);
  TcxMaskEditRegExprMode::HandleEnter();
  SetForced(true);
  ResetForcedText();
}

bool TcxMaskEditRegExprExMode::ProcessEnd() {
  SyncWithCaret();
  ResetForcedText();
  SetForced(false);
  TcxMaskEditRegExprMode::ProcessEnd();
  SetForced(true);
  ResetForcedText();
  return true;
}

bool TcxMaskEditRegExprExMode::ProcessHome() {
  SyncWithCaret();
  ResetForcedText();
  TcxMaskEditRegExprMode::ProcessHome();
  ResetForcedText();
  return true;
}

bool TcxMaskEditRegExprExMode::ProcessChar(char& key) {
  SyncWithCaret();
  ResetForcedText();
  const bool selected = GetSelLength() > 0;
  if (selected) {
    CutSelection();
    if (SkipForcedPrefix()) return ProcessChar(key);
  }
  char ch = key;
  if (GetMaskExpression()->Step(ch)) {
    const AnsiString forced = FForcedText;
    ResetForcedText();
    FTextBeforeCaret += ch;
    FTextBeforeCaret += forced;
    if (selected) FEdit->SendInternalKeyDown(VK_DELETE);
    FEdit->SendInternalChar(ch);
    for (char f : forced) FEdit->SendInternalChar(f);
    RefitTextAfterCaret();
  } else {
    if (selected) UndoCut();
    BeepOnError();
  }
  FCutText.clear();
  return false;
}

bool TcxMaskEditRegExprExMode::ProcessBackspace() {
  SyncWithCaret();
  ResetForcedText();
  if (GetSelLength() > 0) {
    CutSelection();
    if (SkipForcedPrefix()) return ProcessBackspace();
    FEdit->SendInternalChar('\b');
    RefitTextAfterCaret();
    FCutText.clear();
    return false;
  }
  if (FTextBeforeCaret.empty()) return false;
  GetMaskExpression()->StepBack();
  if (GetMaskExpression()->IsAtStart() && GetSelStart() == FRemovedCount) {
    // Only forced characters stand before the caret.
    ResetForcedText();
    char c = FTextBeforeCaret.front();
    GetMaskExpression()->Step(c);
    ResetForcedText();
    BeepOnError();
    return false;
  }
  const Integer count = FRemovedCount + 1;
  const std::size_t before = GetEditText().size();
  for (Integer i = 0; i < count; ++i) FEdit->SendInternalChar('\b');
  const std::size_t lost = before - GetEditText().size();
  FTextBeforeCaret.erase(FTextBeforeCaret.size() - std::min(lost, FTextBeforeCaret.size()));
  ResetForcedText();
  RefitTextAfterCaret();
  return false;
}

bool TcxMaskEditRegExprExMode::ProcessDelete() {
  SyncWithCaret();
  ResetForcedText();
  if (GetSelLength() > 0) return ProcessBackspace();
  if (FTextAfterCaret.empty()) return false;
  if (GetSelStart() == 0) {
    SetForced(false);
    SetForced(true);
    if (!FForcedText.empty()) {
      GetMaskExpression()->StepBack();
      ResetForcedText();
      BeepOnError();
      return false;
    }
  }
  char c = FTextAfterCaret.front();
  GetMaskExpression()->Step(c);
  const std::size_t count = 1 + FForcedText.size();
  for (std::size_t i = 0; i < count; ++i) FEdit->SendInternalKeyDown(VK_DELETE);
  FTextAfterCaret.erase(0, std::min(count, FTextAfterCaret.size()));
  GetMaskExpression()->StepBack();
  ResetForcedText();
  RefitTextAfterCaret();
  return false;
}

bool TcxMaskEditRegExprExMode::ProcessLeft() {
  SyncWithCaret();
  ResetForcedText();
  const Integer start = GetSelStart();
  const Integer length = GetSelLength();
  const Integer caret = Integer(FTextBeforeCaret.size());
  const bool shift = FEdit->GetShiftKeyPressed();
  if (length > 0 && start + length == caret && !shift) {
    SetForced(false);
    TcxMaskEditRegExprMode::ProcessLeft();
    ResetForcedText();
    SetForced(true);
    if (!FForcedText.empty()) GetMaskExpression()->StepBack();
    ResetForcedText();
    return true;
  }
  if (length > 0 && start == caret && !shift) return true;
  if (FTextBeforeCaret.empty()) return true;
  TcxMaskEditRegExprMode::ProcessLeft();
  Integer removed = FRemovedCount;
  if (GetMaskExpression()->IsAtStart() && (start == 0 ? length : start) - 1 == removed && removed > 0) --removed;
  for (Integer i = 0; i < removed && !FTextBeforeCaret.empty(); ++i) {
    FTextAfterCaret.insert(FTextAfterCaret.begin(), FTextBeforeCaret.back());
    FTextBeforeCaret.pop_back();
    FEdit->SendInternalKeyDown(VK_LEFT);
  }
  ResetForcedText();
  return true;
}

bool TcxMaskEditRegExprExMode::ProcessRight() {
  SyncWithCaret();
  ResetForcedText();
  const Integer start = GetSelStart();
  const Integer length = GetSelLength();
  const Integer caret = Integer(FTextBeforeCaret.size());
  const bool shift = FEdit->GetShiftKeyPressed();
  if (length > 0 && start == caret && !shift) {
    SetForced(false);
    TcxMaskEditRegExprMode::ProcessRight();
    ResetForcedText();
    SetForced(true);
    ResetForcedText();
    return true;
  }
  if (length > 0 && start + length == caret && !shift) return true;
  if (FTextAfterCaret.empty()) return true;
  TcxMaskEditRegExprMode::ProcessRight();
  const AnsiString forced = FForcedText;
  for (std::size_t i = 0; i < forced.size() && !FTextAfterCaret.empty(); ++i) {
    FTextBeforeCaret += FTextAfterCaret.front();
    FTextAfterCaret.erase(0, 1);
    FEdit->SendInternalKeyDown(VK_RIGHT);
  }
  ResetForcedText();
  return true;
}

void TcxMaskEditRegExprExMode::TextAssigned(const AnsiString& text) {
  SetForced(false);
  GetMaskExpression()->Restart();
  for (char c : text) {
    char ch = c;
    GetMaskExpression()->Step(ch);
  }
  ResetForcedText();
  SetForced(true);
  FTextBeforeCaret = text + FForcedText;
  FTextAfterCaret.clear();
  ResetForcedText();
  if (HasInnerEdit()) {
    FCaretMoved = true;
    SyncWithCaret();
  }
  FClipboardTextLength = 0;
}

// ==== Mask editor properties ==================================================================

namespace {

struct TMaskEditUnitStart {
  TMaskEditUnitStart() {
    GetEditPropertiesRegistry()->AddClass(TcxMaskEditProperties::StaticClass(),
                                          GetLocalizedResourceString(&scxSEditRepositoryMaskItem));
    FilterEditsController()->AddHelperClass(TcxMaskEditProperties::StaticClass(),
                                            TcxFilterMaskEditHelper::StaticClass());
  }
};

void EnsureMaskEditUnitStarted() { static TMaskEditUnitStart start; }

using TMaskModePtr = std::unique_ptr<TcxMaskEditCustomMode, orv::FreeDeleter>;

}  // namespace

const orv::EnumNames<TcxEditMaskKind> kEditMaskKindNames("TcxEditMaskKind",
                                                          {"emkStandard", "emkRegExpr", "emkRegExprEx"});

ORV_PUBLISH(TcxMaskEditProperties) {
  using T = TcxMaskEditProperties;
  p.Property("AlwaysShowBlanksAndLiterals", &T::GetAlwaysShowBlanksAndLiterals, &T::SetAlwaysShowBlanksAndLiterals)
      .Default(false);
  p.Property("CaseInsensitive", &T::GetCaseInsensitive, &T::SetCaseInsensitive).Default(true);
  p.Property("IgnoreMaskBlank", &T::GetIgnoreMaskBlank, &T::SetIgnoreMaskBlank).Default(false);
  p.Property("MaskKind", &T::GetMaskKind, &T::SetMaskKind).Default(emkStandard);
  p.Property("EditMask", &T::GetEditMask, &T::SetEditMask);
  p.Property("ValidateOnEnter", &T::GetValidateOnEnter, &T::SetValidateOnEnter).Default(true);
}

ORV_PUBLISH(TcxMaskEdit) {
  using T = TcxMaskEdit;
  p.Property("Properties", &T::GetProperties);
  orv::PublishDockEvents(p);
}

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* owner) : TcxCustomTextEditProperties(owner) {
  EnsureMaskEditUnitStarted();
  SetMaskKind(emkStandard);
  FAlwaysShowBlanksAndLiterals = false;
  SetValidateOnEnter(true);
  SetCaseInsensitive(true);
}

void TcxCustomMaskEditProperties::BeforeDestruction() {
  orv::Free(FTempMode);
  FTempMode = nullptr;
  inherited::BeforeDestruction();
}

void TcxCustomMaskEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomMaskEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetMaskKind(s->FMaskKind);
    SetEditMask(s->FEditMask);
    SetCaseInsensitive(s->FCaseInsensitive);
    FIgnoreMaskBlank = s->FIgnoreMaskBlank;
    SetAlwaysShowBlanksAndLiterals(s->FAlwaysShowBlanksAndLiterals);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(Boolean value) {
  if (FAlwaysShowBlanksAndLiterals == value) return;
  FAlwaysShowBlanksAndLiterals = value;
  Changed();
}

void TcxCustomMaskEditProperties::SetCaseInsensitive(Boolean value) {
  FCaseInsensitive = value || GetCharCase() != ecNormal;
  Changed();
}

AnsiString TcxCustomMaskEditProperties::GetEditMask() {
  if (FMaskKind == emkStandard && IsEmptyMask(FEditMask)) {
    IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
    return provider ? provider->DefaultEditMask() : AnsiString();
  }
  return FEditMask;
}

void TcxCustomMaskEditProperties::SetEditMask(const AnsiString& value) {
  if (value == GetEditMask()) {
    FEditMask = value;
    return;
  }
  {
    TMaskModePtr mode(GetModeClass(FMaskKind).Create(nullptr, static_cast<orv::IMaskModeProperties*>(this)));
    mode->Compile(value);
  }
  FEditMask = value;
  Changed();
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind value) {
  if (FMaskKind == value) return;
  FMaskKind = value;
  Changed();
}

Boolean TcxCustomMaskEditProperties::IsMasked() { return !IsEmptyMask(GetEditMask()); }

TcxMaskEditCustomMode* TcxCustomMaskEditProperties::CreateCompiledMode() {
  if (!IsMasked()) return nullptr;
  TMaskModePtr mode(GetModeClass(FMaskKind).Create(nullptr, static_cast<orv::IMaskModeProperties*>(this)));
  mode->Compile(GetEditMask());
  return mode.release();
}

TcxMaskEditCustomModeClass TcxCustomMaskEditProperties::GetModeClass(TcxEditMaskKind kind) {
  switch (kind) {
    case emkRegExpr: return TcxMaskEditRegExprMode::StaticClass();
    case emkRegExprEx: return TcxMaskEditRegExprExMode::StaticClass();
    default: return TcxMaskEditStandardMode::StaticClass();
  }
}

TcxCustomEditClass TcxCustomMaskEditProperties::GetEditClass() { return TcxMaskEdit::StaticClass(); }

Integer TcxCustomMaskEditProperties::GetDisplayFormatOptions() { return IsMasked() ? 0 : dfoSupports; }

Boolean TcxCustomMaskEditProperties::AcceptsEditValue(const Variant& value) {
  return IsMasked() || inherited::AcceptsEditValue(value);
}

void TcxCustomMaskEditProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue,
                                                          Boolean focused) {
  IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  if (!IsMasked() || (!focused && provider && provider->HasDefaultDisplayFormat(true))) {
    inherited::EditValueToDisplayValue(value, displayValue, focused);
    return;
  }
  const AnsiString text = VarIsNull(value) || VarIsEmpty(value) ? AnsiString() : VarToStr(value);
  const AnsiString mask = GetEditMask();
  if (!FTempMode || FTempMode->ClassType() != GetModeClass(FMaskKind) || FTempMode->GetEditMask() != mask) {
    orv::Free(FTempMode);
    FTempMode = nullptr;
    FTempMode = CreateCompiledMode();
  }
  AnsiString result = text;
  if (FTempMode) {
    if (focused || !FTempMode->InheritsFrom(TcxMaskEditStandardMode::StaticClass()) ||
        FAlwaysShowBlanksAndLiterals)
      FTempMode->GetFormattedText(text, false, result);
    else
      FTempMode->GetStrippedText(text, false, result);
  }
  displayValue = Variant(result);
}

void TcxCustomMaskEditProperties::CheckDisplayValue(Variant& displayValue, AnsiString& errorText,
                                                    TcxCustomEdit* editor, Boolean& error) {
  auto* maskEdit = dynamic_cast<TcxCustomMaskEdit*>(editor);
  if (!error) {
    if (IsMasked() && maskEdit && maskEdit->GetMode()) {
      error = !maskEdit->GetMode()->IsTextValid(VarIsNull(displayValue) ? AnsiString() : VarToStr(displayValue));
      if (error) errorText = GetLocalizedResourceString(&scxMaskEditInvalidEditValue);
    } else {
      error = false;
    }
  }
  inherited::CheckDisplayValue(displayValue, errorText, editor, error);
}

void TcxCustomMaskEditProperties::NotifyChanged() {
  orv::Free(FTempMode);
  FTempMode = nullptr;
  inherited::NotifyChanged();
}

void TcxCustomMaskEditProperties::MaxLengthChanged() {
  if (!IsMasked()) {
    inherited::MaxLengthChanged();
    return;
  }
  if (FMaxLengthLock) return;
  FMaxLengthLock = true;
  BeginUpdate();
  try {
    SetMaxLength(0);
  } catch (...) {
    FMaxLengthLock = false;
    EndUpdate();
    throw;
  }
  FMaxLengthLock = false;
  EndUpdate();
}

void TcxCustomMaskEditProperties::SetCharCase(TEditCharCase value) {
  if (value == ecUpperCase || value == ecLowerCase) FCaseInsensitive = true;
  inherited::SetCharCase(value);
}

Boolean TcxCustomMaskEditProperties::UseLookupData() { return !IsMasked() && inherited::UseLookupData(); }

// ==== The mask editor =========================================================================

TcxCustomMaskEdit::~TcxCustomMaskEdit() { orv::Free(FMode); }

TcxCustomEditPropertiesClass TcxCustomMaskEdit::GetPropertiesClass() {
  return TcxCustomMaskEditProperties::StaticClass();
}

void TcxCustomMaskEdit::CreateMode() {
  TcxCustomMaskEditProperties* properties = GetMaskProperties();
  orv::Free(FMode);
  FMode = nullptr;
  FMode = properties->GetModeClass(properties->GetMaskKind())
              .Create(this, static_cast<orv::IMaskModeProperties*>(properties));
}

void TcxCustomMaskEdit::Initialize() {
  inherited::Initialize();
  TcxCustomMaskEditProperties* properties = GetMaskProperties();
  FMode = properties->GetModeClass(emkStandard).Create(this, static_cast<orv::IMaskModeProperties*>(properties));
  FShiftKeyPressed = false;
  AnsiString empty;
  FMode->GetEmptyText(empty);
  properties->SetEmptyString(empty);
}

void TcxCustomMaskEdit::Loaded() {
  inherited::Loaded();
  if (FMode && IsMasked()) {
    LockChangeEvents(true);
    try {
      UpdateDisplayValueFromText();
    } catch (...) {
      LockChangeEvents(false);
      throw;
    }
    LockChangeEvents(false);
  }
}

void TcxCustomMaskEdit::UpdateDisplayValueFromText() { StoreDisplayValue(Variant(GetText())); }

AnsiString TcxCustomMaskEdit::GetInnerText() {
  IcxCustomInnerEdit* inner = GetInnerEdit();
  if (!inner) return {};
  Variant v;
  inner->GetEditValue(v);
  return VarIsNull(v) ? AnsiString() : VarToStr(v);
}

Integer TcxCustomMaskEdit::GetInnerSelStart() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  return inner && inner->GetControl()->HandleAllocated() ? inner->GetSelStart() : 0;
}

Integer TcxCustomMaskEdit::GetInnerSelLength() {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  return inner && inner->GetControl()->HandleAllocated() ? inner->GetSelLength() : 0;
}

void TcxCustomMaskEdit::SetSelStartInternal(Integer value) {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return;
  const Boolean old = FInternalSelectionChange;
  FInternalSelectionChange = true;
  inner->SetSelStart(value);
  FInternalSelectionChange = old;
}

void TcxCustomMaskEdit::SetSelLengthInternal(Integer value) {
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return;
  const Boolean old = FInternalSelectionChange;
  FInternalSelectionChange = true;
  inner->SetSelLength(value);
  FInternalSelectionChange = old;
}

void TcxCustomMaskEdit::SendInternalKeyDown(Word key, TShiftState shift) {
  IcxCustomInnerEdit* inner = GetInnerEdit();
  if (!inner || !inner->GetControl()->HandleAllocated()) return;
  const Boolean old = FInternalKeyMessage;
  FInternalKeyMessage = true;
  try {
    SendMessage(inner->GetControl()->GetHandle(), WM_KEYDOWN, key, 1);
  } catch (...) {
    FInternalKeyMessage = old;
    throw;
  }
  FInternalKeyMessage = old;
}

void TcxCustomMaskEdit::SendInternalChar(char ch) {
  IcxCustomInnerEdit* inner = GetInnerEdit();
  if (!inner || !inner->GetControl()->HandleAllocated()) return;
  const Boolean old = FInternalKeyMessage;
  FInternalKeyMessage = true;
  try {
    SendMessage(inner->GetControl()->GetHandle(), WM_CHAR, WPARAM(Byte(ch)), 1);
  } catch (...) {
    FInternalKeyMessage = old;
    throw;
  }
  FInternalKeyMessage = old;
}

void TcxCustomMaskEdit::KeyDown(Word& key, TShiftState shift) {
  if (FInternalKeyMessage) return;
  inherited::KeyDown(key, shift);
}

void TcxCustomMaskEdit::KeyPress(char& key) {
  if (FInternalKeyMessage) return;
  inherited::KeyPress(key);
}

void TcxCustomMaskEdit::KeyUp(Word& key, TShiftState shift) {
  if (FInternalKeyMessage) return;
  inherited::KeyUp(key, shift);
}

void TcxCustomMaskEdit::SynchronizeModeText(const AnsiString& text) {
  if (FMode && IsMasked() && CanSynchronizeModeText()) FMode->TextAssigned(text);
}

void TcxCustomMaskEdit::StoreDisplayValue(const Variant& value) {
  if (!FMode || !IsMasked() || GetComponentState().Contains(csLoading)) {
    inherited::StoreDisplayValue(value);
    return;
  }
  const AnsiString text = VarIsNull(value) ? AnsiString() : VarToStr(value);
  AnsiString shown;
  if (Focused() || !FMode->InheritsFrom(TcxMaskEditStandardMode::StaticClass()) ||
      GetMaskProperties()->GetAlwaysShowBlanksAndLiterals())
    FMode->GetFormattedText(text, true, shown);
  else
    FMode->GetStrippedText(text, true, shown);
  inherited::StoreDisplayValue(Variant(shown));
  SynchronizeModeText(GetText());
}

void TcxCustomMaskEdit::UpdateDisplayValue() {
  inherited::UpdateDisplayValue();
  if (FMode && IsMasked()) {
    FMaskText.clear();
    FMode->GetStrippedText(GetInnerText(), true, FMaskText);
    SynchronizeModeText(GetText());
  }
}

void TcxCustomMaskEdit::UndoPerformed() { SynchronizeModeText(GetText()); }

void TcxCustomMaskEdit::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) {
  TcxCustomMaskEditProperties* properties = GetMaskProperties();
  if (FMode && IsMasked()) {
    auto* standard = dynamic_cast<TcxMaskEditStandardMode*>(FMode);
    if (focused || !standard ||
        (!standard->GetMask()->GetSaveLiteralCharacters() && properties->GetAlwaysShowBlanksAndLiterals())) {
      AnsiString stripped;
      FMode->GetStrippedText(VarIsNull(displayValue) ? AnsiString() : VarToStr(displayValue), true, stripped);
      editValue = Variant(stripped);
      return;
    }
  }
  inherited::DisplayValueToEditValue(displayValue, editValue, focused);
}

void TcxCustomMaskEdit::HandleInnerEditChange(TObject* sender) {
  if (FMode) {
    FMaskText.clear();
    FMode->GetStrippedText(GetInnerText(), true, FMaskText);
  }
  inherited::HandleInnerEditChange(sender);
}

void TcxCustomMaskEdit::DoGetText(AnsiString& text) {
  if (FMode && IsMasked()) {
    text = FMaskText;
    return;
  }
  inherited::DoGetText(text);
}

Boolean TcxCustomMaskEdit::DoSetText(const AnsiString& text) {
  if (!FMode || !IsMasked()) return inherited::DoSetText(text);
  ChangeEditValue(Variant(text));
  StoreEditValueField(Variant(FMaskText));
  return true;
}

Boolean TcxCustomMaskEdit::CanEditPlainText() {
  return GetMaskProperties()->GetEditMask().empty() && inherited::CanEditPlainText();
}

void TcxCustomMaskEdit::HandlePropertiesChange(TObject* sender) {
  TcxCustomMaskEditProperties* properties = GetMaskProperties();
  if (!FMode) {
    inherited::HandlePropertiesChange(sender);
    return;
  }
  Boolean maskChanged = false;
  Boolean kindChanged = false;
  Boolean caseChanged = false;
  Boolean echoChanged = false;
  Integer savedStart = 0;
  Integer savedLength = 0;
  const Boolean oldLock = false;
  properties->SetChangeLock(true);
  try {
    const AnsiString oldMask = properties->GetEditMask();
    maskChanged = FMode->GetEditMask() != oldMask || properties->GetInFormatChange();
    kindChanged = FMode->GetKind() != properties->GetMaskKind();
    caseChanged = properties->GetCharCase() != FMode->GetCharCase();
    Boolean ownMaskCleared = false;
    if (kindChanged) {
      const Boolean standardBefore = FMode->GetKind() == emkStandard;
      const Boolean standardAfter = properties->GetMaskKind() == emkStandard;
      if (standardBefore != standardAfter) {
        properties->ClearOwnEditMask();
        ownMaskCleared = true;
      }
      CreateMode();
      FMode->Compile(properties->GetEditMask());
      if (IsMasked()) FMode->RefreshInnerDisplay();
      AnsiString empty;
      FMode->GetEmptyText(empty);
      properties->SetEmptyString(empty);
    }
    if (maskChanged) {
      properties->SetMaxLength(0);
      FMode->Compile(oldMask);
      if (ownMaskCleared) properties->SetOwnEditMask(oldMask);
      if (!oldMask.empty()) {
        FMode->RefreshInnerDisplay();
      } else if (dynamic_cast<TcxMaskEditStandardMode*>(FMode) && HandleAllocated() && GetInnerSelLength() == 1) {
        SetSelLengthInternal(0);
      }
      AnsiString empty;
      FMode->GetEmptyText(empty);
      properties->SetEmptyString(empty);
    }
    if (caseChanged) {
      if (properties->GetCharCase() == ecNormal) {
        if (IcxInnerTextEdit* inner = GetInnerTextEdit()) inner->SetCharCase(ecNormal);
        FMode->RefreshInnerDisplay();
      }
      FMode->SetCharCase(properties->GetCharCase());
    }
    echoChanged = properties->GetEchoMode() != FMode->GetEchoMode();
    if (echoChanged && HandleAllocated()) {
      savedStart = GetInnerSelStart();
      savedLength = GetInnerSelLength();
    }
    Variant value;
    if (!IsInnerEditPending()) GetEditValue(value);
    if ((IsInnerEditPending() || !VarIsNull(value)) && IsMasked()) FMode->UpdateEditValueAfterCompile();
  } catch (...) {
    properties->SetChangeLock(oldLock);
    throw;
  }
  properties->SetChangeLock(oldLock);
  if (auto* regExpr = dynamic_cast<TcxMaskEditRegExprMode*>(FMode)) regExpr->ApplyCaseInsensitive();
  inherited::HandlePropertiesChange(sender);
  if (echoChanged) {
    if (HandleAllocated()) {
      SetSelStartInternal(savedStart);
      SetSelLengthInternal(savedLength);
    }
    FMode->SetEchoMode(properties->GetEchoMode());
  }
  if (caseChanged || kindChanged || maskChanged) {
    FMaskText.clear();
    FMode->GetStrippedText(GetInnerText(), true, FMaskText);
  }
}

void TcxCustomMaskEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  TcxCustomMaskEditProperties* properties = GetMaskProperties();
  const TShortCut shortCut = ShortCut(key, shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt));
  if (!FMode || !IsMasked() || (properties->GetClearKey() != 0 && shortCut == properties->GetClearKey()) ||
      (GetDefaultButtonIndex() >= 0 && shortCut == properties->GetClickKey())) {
    inherited::DoEditKeyDown(key, shift);
    return;
  }
  orv::TObjectLinkGuard guard(this);
  if (!CanProcessKeyDown(key, shift)) {
    NotifyKeyToOwner(key, shift);
    key = 0;
    return;
  }
  if (key == VK_TAB) {
    inherited::DoEditKeyDown(key, shift);
    return;
  }
  FShiftKeyPressed = shift.Contains(ssShift);
  auto handled = [&](bool leaveToInner) {
    if (!leaveToInner) key = 0;
  };
  switch (key) {
    case VK_UP:
    case VK_DOWN:
      if (!HasOpenPopup()) {
        NotifyKeyToOwner(key, shift);
        key = 0;
      }
      break;
    case VK_LEFT:
      if (shift.Contains(ssCtrl)) {
        SendInternalKeyDown(VK_HOME, shift);
        handled(FMode->ProcessHome());
      } else {
        const bool atStart = FMode->IsCaretAtStart();
        const bool result = FMode->ProcessLeft();
        if (!result && atStart) NotifyKeyToOwner(key, shift);
        handled(result);
      }
      break;
    case VK_RIGHT:
      if (shift.Contains(ssCtrl)) {
        SendInternalKeyDown(VK_END, shift);
        handled(FMode->ProcessEnd());
      } else {
        const bool atEnd = FMode->IsCaretAtEnd();
        const bool result = FMode->ProcessRight();
        if (!result && atEnd) NotifyKeyToOwner(key, shift);
        handled(result);
      }
      break;
    case VK_DELETE:
      if (!shift.Contains(ssShift))
        handled(FMode->ProcessDelete());
      else if (GetInnerSelLength() == 0)
        handled(FMode->ProcessBackspace());
      break;
    case VK_HOME: handled(FMode->ProcessHome()); break;
    case VK_END: handled(FMode->ProcessEnd()); break;
    default: break;
  }
  if (guard.Alive() && key != 0) inherited::DoEditKeyDown(key, shift);
}

void TcxCustomMaskEdit::DoEditKeyPress(char& key) {
  if (!FMode || !IsMasked()) {
    inherited::DoEditKeyPress(key);
    return;
  }
  if (key == '\t' || key == '\x1b') {
    key = 0;
    return;
  }
  if (!FilterKeyPress(key)) {
    key = 0;
    return;
  }
  if (key == '\r') return;
  if (key == 3 || key == 22 || key == 24) {
    inherited::DoEditKeyPress(key);
    return;
  }
  const bool leave = key == '\b' ? FMode->ProcessBackspace() : FMode->ProcessChar(key);
  if (!leave) key = 0;
}

void TcxCustomMaskEdit::PasteFromClipboard() {
  if (!FMode || !IsMasked() || !Clipboard()->HasFormat(CF_TEXT)) {
    inherited::PasteFromClipboard();
    return;
  }
  const AnsiString text = Clipboard()->GetAsText();
  FMode->SetClipboardTextLength(Integer(text.size()));
  FMode->PreparePaste();
  TcxCustomTextEdit::SetSelectedText(text);
  FMode->FinishPaste();
}

void TcxCustomMaskEdit::SetSelectedText(const AnsiString& text) {
  if (!FMode || !IsMasked()) {
    inherited::SetSelectedText(text);
    return;
  }
  FMode->SetClipboardTextLength(Integer(text.size()));
  FMode->PreparePaste();
  inherited::SetSelectedText(text);
  FMode->FinishPaste();
}

void TcxCustomMaskEdit::CutToClipboard() {
  if (!FMode || !IsMasked()) {
    inherited::CutToClipboard();
    return;
  }
  if (Focused() && !DoEditing()) return;
  CopyToClipboard();
  if (FMode->ProcessDelete()) SendInternalChar('\b');
}

void TcxCustomMaskEdit::InnerEditChanged(TObject* sender) {
  if (FMode && !FInternalSelectionChange) FMode->HandleLeftMouseDown();
}

void TcxCustomMaskEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (button == mbLeft && FMode && IsMasked()) FMode->HandleLeftMouseDown();
  inherited::MouseDown(button, shift, x, y);
}

void TcxCustomMaskEdit::MouseMove(TShiftState shift, Integer x, Integer y) {
  if (shift.Contains(ssLeft) && FMode && IsMasked()) {
    const Boolean old = FShiftKeyPressed;
    FShiftKeyPressed = true;
    FMode->HandleLeftMouseDown();
    FShiftKeyPressed = old;
  }
  inherited::MouseMove(shift, x, y);
}

void TcxCustomMaskEdit::DoEnter() {
  if (FMode && IsMasked() && GetMaskProperties()->GetAutoSelect()) FMode->HandleEnter();
  inherited::DoEnter();
}

void TcxCustomMaskEdit::DblClick() {
  if (FMode && IsMasked()) FMode->HandleEnter();
  inherited::DblClick();
}

void TcxCustomMaskEdit::HookInnerEdit() {
  if (!FMode || !IsMasked()) {
    inherited::HookInnerEdit();
    return;
  }
  if (IcxCustomInnerEdit* inner = GetInnerEdit())
    if (inner->GetControl()->HandleAllocated()) SendMessage(inner->GetControl()->GetHandle(), WM_SETREDRAW, 0, 0);
}

void TcxCustomMaskEdit::UnhookInnerEdit() {
  if (!FMode || !IsMasked()) {
    inherited::UnhookInnerEdit();
    return;
  }
  if (IcxCustomInnerEdit* inner = GetInnerEdit())
    if (inner->GetControl()->HandleAllocated()) {
      SendMessage(inner->GetControl()->GetHandle(), WM_SETREDRAW, 1, 0);
      inner->GetControl()->Invalidate();
    }
}

// ==== Filter helper ===========================================================================

TcxCustomEditClass TcxFilterMaskEditHelper::GetFilterEditorClass() const { return TcxMaskEdit::StaticClass(); }

void TcxFilterMaskEditHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                   TcxCustomEditProperties* sourceProperties,
                                                   Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  auto* mask = dynamic_cast<TcxCustomMaskEditProperties*>(properties);
  auto* source = dynamic_cast<TcxCustomMaskEditProperties*>(sourceProperties);
  if (!mask) return;
  if (source && source->GetMaskKind() == emkRegExpr) mask->SetMaskKind(emkRegExprEx);
  mask->SetAutoSelect(!mask->IsMasked());
}

void TcxFilterMaskEditHelper::GetSupportedOperators(TcxCustomEditProperties* properties,
                                                    TcxValueTypeClass valueTypeClass,
                                                    TcxFilterControlOperators& operators, Boolean extended) const {
  operators = TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10};
  auto* mask = dynamic_cast<TcxCustomMaskEditProperties*>(properties);
  if ((!mask || !mask->IsMasked()) && valueTypeClass.Get() != nullptr && valueTypeClass->IsString()) {
    operators.Include(7);
    operators.Include(8);
  }
  if (extended)
    for (Integer i = 11; i <= 14; ++i) operators.Include(i);
}
