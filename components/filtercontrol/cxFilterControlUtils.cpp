#include "components/filtercontrol/cxFilterControlUtils.h"

#include <map>

#include "components/data/cxFilterConsts.h"
#include "components/editors/cxTextEdit.h"
#include "components/filtercontrol/cxFilterControlStrs.h"
#include "components/foundation/cxClasses.h"

namespace {

const TResStringRec* const kOperatorTexts[kFilterControlOperatorCount] = {
    nullptr,
    &cxSFilterOperatorEqual, &cxSFilterOperatorNotEqual, &cxSFilterOperatorLess, &cxSFilterOperatorLessEqual,
    &cxSFilterOperatorGreater, &cxSFilterOperatorGreaterEqual, &cxSFilterOperatorLike, &cxSFilterOperatorNotLike,
    &cxSFilterOperatorIsNull, &cxSFilterOperatorIsNotNull, &cxSFilterOperatorBetween, &cxSFilterOperatorNotBetween,
    &cxSFilterOperatorInList, &cxSFilterOperatorNotInList, &cxSFilterOperatorYesterday, &cxSFilterOperatorToday,
    &cxSFilterOperatorTomorrow, &cxSFilterOperatorLast7Days, &cxSFilterOperatorLastWeek,
    &cxSFilterOperatorLast14Days, &cxSFilterOperatorLastTwoWeeks, &cxSFilterOperatorLast30Days,
    &cxSFilterOperatorLastMonth, &cxSFilterOperatorLastYear, &cxSFilterOperatorPast, &cxSFilterOperatorThisWeek,
    &cxSFilterOperatorThisMonth, &cxSFilterOperatorThisYear, &cxSFilterOperatorNext7Days,
    &cxSFilterOperatorNextWeek, &cxSFilterOperatorNext14Days, &cxSFilterOperatorNextTwoWeeks,
    &cxSFilterOperatorNext30Days, &cxSFilterOperatorNextMonth, &cxSFilterOperatorNextYear,
    &cxSFilterOperatorFuture};

// The properties class an editor class edits with (asked once of a throwaway editor).
TcxCustomEditPropertiesClass PropertiesClassOfEditor(TcxCustomEditClass editClass) {
  static std::map<TClass, TcxCustomEditPropertiesClass> known;
  auto it = known.find(editClass);
  if (it != known.end()) return it->second;
  TcxCustomEdit* edit = editClass.Create(nullptr);
  TcxCustomEditPropertiesClass result = edit->GetPropertiesClass();
  edit->Free();
  known[editClass] = result;
  return result;
}

}  // namespace

AnsiString GetFilterControlOperatorText(Integer op) {
  if (op <= fcopNone || op >= kFilterControlOperatorCount) return AnsiString();
  return GetLocalizedResourceString(kOperatorTexts[op]);
}

TcxFilterOperatorCode FilterControlOperatorToOperatorKind(TcxFilterControlOperator op) {
  if (op == fcopNone || op == fcopBlanks) return focEqual;
  if (op == fcopNonBlanks) return focNotEqual;
  if (op <= fcopNotLike) return TcxFilterOperatorCode(op - 1);
  if (op >= kFilterControlOperatorCount) return focEqual;
  return TcxFilterOperatorCode(op - 3);
}

TcxFilterControlOperator OperatorKindToFilterControlOperator(TcxFilterOperatorCode kind, Boolean isNull) {
  TcxFilterControlOperator op = fcopNone;
  if (kind <= focNotLike)
    op = TcxFilterControlOperator(kind + 1);
  else if (kind <= focInFuture)
    op = TcxFilterControlOperator(kind + 3);
  else if (kind == focNull)
    return fcopBlanks;
  else if (kind == focNotNull)
    return fcopNonBlanks;
  if (isNull && op == fcopEqual) return fcopBlanks;
  if (isNull && op == fcopNotEqual) return fcopNonBlanks;
  return op;
}

TcxCustomFilterEditHelperClass FilterTextEditHelper() {
  return TcxCustomFilterEditHelper::Of(TcxFilterTextEditHelper::StaticClass());
}

TcxCustomEdit* GetFilterEdit(TcxCustomFilterEditHelperClass helper, TcxCustomEditProperties* sourceProperties,
                             TcxInplaceEditList* editList) {
  if (!helper) helper = FilterTextEditHelper();
  TcxCustomEditClass editClass = helper->GetFilterEditorClass();
  if (!editClass) editClass = TcxTextEdit::StaticClass();
  TcxCustomEdit* edit = nullptr;
  if (editList) {
    edit = editList->GetEditorOfClass(PropertiesClassOfEditor(editClass));
  } else {
    edit = editClass.Create(nullptr);
  }
  helper->InitializeEdit(edit, sourceProperties);
  return edit;
}

void ValidateFilterValue(TcxCustomEdit* edit, Variant& value, Integer op, TcxValueTypeClass valueTypeClass,
                         TcxCustomFilterEditHelperClass helper) {
  if (valueTypeClass.Get() == nullptr) return;
  if (VarIsStr(value) && VarToStr(value).empty() && !valueTypeClass->IsString()) value = Null();
  if (VarIsNull(value) || op == fcopLike || op == fcopNotLike) return;
  if (!helper) helper = FilterTextEditHelper();
  Boolean ok = false;
  try {
    ok = helper->IsValueConvertible(valueTypeClass, value);
    if (ok) {
      Variant converted = value;
      ok = valueTypeClass->IsValueValid(converted);
      if (ok) value = converted;
    }
  } catch (const Exception&) {
    ok = false;
  }
  if (!ok) RaiseFilterControlError(GetLocalizedResourceString(&cxSFilterDialogInvalidValue));
}

void RaiseFilterControlError(const AnsiString& message) { throw EcxFilterControlError(message); }
