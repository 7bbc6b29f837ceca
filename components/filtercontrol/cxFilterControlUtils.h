// What the filter control and the custom filter dialog need beside the editors' registry of filter
// edit helpers: the filter control's operators with their texts and their criteria operator
// codes, the editor a filter value is typed into, the check of a typed value and the filter
// control's exception.
#pragma once

#include "components/data/cxFilter.h"
#include "components/editors/cxFilterControlUtils.h"
#include "platform/runtime/Exceptions.h"

class TcxInplaceEditList;

enum TcxFilterControlOperator : Byte {
  fcopNone, fcopEqual, fcopNotEqual, fcopLess, fcopLessEqual, fcopGreater, fcopGreaterEqual, fcopLike,
  fcopNotLike, fcopBlanks, fcopNonBlanks, fcopBetween, fcopNotBetween, fcopInList, fcopNotInList,
  fcopYesterday, fcopToday, fcopTomorrow, fcopLast7Days, fcopLastWeek, fcopLast14Days, fcopLastTwoWeeks,
  fcopLast30Days, fcopLastMonth, fcopLastYear, fcopInPast, fcopThisWeek, fcopThisMonth, fcopThisYear,
  fcopNext7Days, fcopNextWeek, fcopNext14Days, fcopNextTwoWeeks, fcopNext30Days, fcopNextMonth,
  fcopNextYear, fcopInFuture
};
inline constexpr Integer kFilterControlOperatorCount = 37;

// The filter control's exception; raised with a message only.
ORV_DECLARE_EXCEPTION(EcxFilterControlError, EdxException);

// The localized text of the operator; empty for fcopNone and anything outside 1..36.
AnsiString GetFilterControlOperatorText(Integer op);
// The criteria operator code a condition with the operator stores (blanks: equal, non blanks:
// not equal, each with a Null value).
TcxFilterOperatorCode FilterControlOperatorToOperatorKind(TcxFilterControlOperator op);
// The inverse; with `isNull` equal becomes blanks and not equal non blanks.
TcxFilterControlOperator OperatorKindToFilterControlOperator(TcxFilterOperatorCode kind, Boolean isNull);
// Operators of one value count.
inline Boolean IsBetweenOperator(Integer op) { return op == fcopBetween || op == fcopNotBetween; }
inline Boolean IsListOperator(Integer op) { return op == fcopInList || op == fcopNotInList; }

// The editor a filter value of the helper's kind is entered with: the edit list's editor for the
// helper's editor class, or (without a list) a new editor without owner that the caller frees.
// The helper prepares it from the source properties either way. (nullptr helper: the text helper.)
TcxCustomEdit* GetFilterEdit(TcxCustomFilterEditHelperClass helper, TcxCustomEditProperties* sourceProperties,
                             TcxInplaceEditList* editList = nullptr);
// Checks a typed value: an empty text of a non-string item becomes Null; like patterns stay as
// typed; anything else must convert to the value type (and is converted), else
// EcxFilterControlError "Invalid value".
void ValidateFilterValue(TcxCustomEdit* edit, Variant& value, Integer op, TcxValueTypeClass valueTypeClass,
                         TcxCustomFilterEditHelperClass helper);
[[noreturn]] void RaiseFilterControlError(const AnsiString& message);
// The text helper, which stands in for kinds without a helper of their own.
TcxCustomFilterEditHelperClass FilterTextEditHelper();
