#include "components/editors/cxMaskEdit.h"

#include <algorithm>
#include <memory>

#include "components/editors/cxEditConsts.h"
#include "components/foundation/cxClasses.h"

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
