#include "components/data/cxFilterConsts.h"

namespace {

orv::TFilterCaptionTextHook gFilterCaptionTextHook = nullptr;

void AddFilterResourceStrings(TdxProductResourceStrings* product) {
  product->AddResourceString("cxSFilterOperatorEqual", &cxSFilterOperatorEqual);
  product->AddResourceString("cxSFilterOperatorNotEqual", &cxSFilterOperatorNotEqual);
  product->AddResourceString("cxSFilterOperatorLess", &cxSFilterOperatorLess);
  product->AddResourceString("cxSFilterOperatorLessEqual", &cxSFilterOperatorLessEqual);
  product->AddResourceString("cxSFilterOperatorGreater", &cxSFilterOperatorGreater);
  product->AddResourceString("cxSFilterOperatorGreaterEqual", &cxSFilterOperatorGreaterEqual);
  product->AddResourceString("cxSFilterOperatorLike", &cxSFilterOperatorLike);
  product->AddResourceString("cxSFilterOperatorNotLike", &cxSFilterOperatorNotLike);
  product->AddResourceString("cxSFilterOperatorBetween", &cxSFilterOperatorBetween);
  product->AddResourceString("cxSFilterOperatorNotBetween", &cxSFilterOperatorNotBetween);
  product->AddResourceString("cxSFilterOperatorInList", &cxSFilterOperatorInList);
  product->AddResourceString("cxSFilterOperatorNotInList", &cxSFilterOperatorNotInList);
  product->AddResourceString("cxSFilterOperatorYesterday", &cxSFilterOperatorYesterday);
  product->AddResourceString("cxSFilterOperatorToday", &cxSFilterOperatorToday);
  product->AddResourceString("cxSFilterOperatorTomorrow", &cxSFilterOperatorTomorrow);
  product->AddResourceString("cxSFilterOperatorLast7Days", &cxSFilterOperatorLast7Days);
  product->AddResourceString("cxSFilterOperatorLastWeek", &cxSFilterOperatorLastWeek);
  product->AddResourceString("cxSFilterOperatorLast14Days", &cxSFilterOperatorLast14Days);
  product->AddResourceString("cxSFilterOperatorLastTwoWeeks", &cxSFilterOperatorLastTwoWeeks);
  product->AddResourceString("cxSFilterOperatorLast30Days", &cxSFilterOperatorLast30Days);
  product->AddResourceString("cxSFilterOperatorLastMonth", &cxSFilterOperatorLastMonth);
  product->AddResourceString("cxSFilterOperatorLastYear", &cxSFilterOperatorLastYear);
  product->AddResourceString("cxSFilterOperatorPast", &cxSFilterOperatorPast);
  product->AddResourceString("cxSFilterOperatorThisWeek", &cxSFilterOperatorThisWeek);
  product->AddResourceString("cxSFilterOperatorThisMonth", &cxSFilterOperatorThisMonth);
  product->AddResourceString("cxSFilterOperatorThisYear", &cxSFilterOperatorThisYear);
  product->AddResourceString("cxSFilterOperatorNext7Days", &cxSFilterOperatorNext7Days);
  product->AddResourceString("cxSFilterOperatorNextWeek", &cxSFilterOperatorNextWeek);
  product->AddResourceString("cxSFilterOperatorNext14Days", &cxSFilterOperatorNext14Days);
  product->AddResourceString("cxSFilterOperatorNextTwoWeeks", &cxSFilterOperatorNextTwoWeeks);
  product->AddResourceString("cxSFilterOperatorNext30Days", &cxSFilterOperatorNext30Days);
  product->AddResourceString("cxSFilterOperatorNextMonth", &cxSFilterOperatorNextMonth);
  product->AddResourceString("cxSFilterOperatorNextYear", &cxSFilterOperatorNextYear);
  product->AddResourceString("cxSFilterOperatorFuture", &cxSFilterOperatorFuture);
  product->AddResourceString("cxSFilterAndCaption", &cxSFilterAndCaption);
  product->AddResourceString("cxSFilterOrCaption", &cxSFilterOrCaption);
  product->AddResourceString("cxSFilterNotCaption", &cxSFilterNotCaption);
  product->AddResourceString("cxSFilterBlankCaption", &cxSFilterBlankCaption);
  product->AddResourceString("cxSFilterOperatorIsNull", &cxSFilterOperatorIsNull);
  product->AddResourceString("cxSFilterOperatorIsNotNull", &cxSFilterOperatorIsNotNull);
  product->AddResourceString("cxSFilterOperatorBeginsWith", &cxSFilterOperatorBeginsWith);
  product->AddResourceString("cxSFilterOperatorDoesNotBeginWith", &cxSFilterOperatorDoesNotBeginWith);
  product->AddResourceString("cxSFilterOperatorEndsWith", &cxSFilterOperatorEndsWith);
  product->AddResourceString("cxSFilterOperatorDoesNotEndWith", &cxSFilterOperatorDoesNotEndWith);
  product->AddResourceString("cxSFilterOperatorContains", &cxSFilterOperatorContains);
  product->AddResourceString("cxSFilterOperatorDoesNotContain", &cxSFilterOperatorDoesNotContain);
  product->AddResourceString("cxSFilterBoxAllCaption", &cxSFilterBoxAllCaption);
  product->AddResourceString("cxSFilterBoxCustomCaption", &cxSFilterBoxCustomCaption);
  product->AddResourceString("cxSFilterBoxBlanksCaption", &cxSFilterBoxBlanksCaption);
  product->AddResourceString("cxSFilterBoxNonBlanksCaption", &cxSFilterBoxNonBlanksCaption);
}

}  // namespace

AnsiString FilterCaptionText(PResStringRec rec) {
  return gFilterCaptionTextHook ? gFilterCaptionTextHook(rec) : LoadResString(rec);
}

orv::TFilterCaptionTextHook orv::SetFilterCaptionTextHook(TFilterCaptionTextHook hook) {
  const TFilterCaptionTextHook previous = gFilterCaptionTextHook;
  gFilterCaptionTextHook = hook;
  return previous;
}

void orv::StartFilterConstsUnit() {
  static TResourceStringsUnit unit(kFilterConstsProductName, &AddFilterResourceStrings);
}
