#include "components/data/cxFilter.h"

#include <algorithm>
#include <memory>
#include <string>

#include "components/data/cxDataUtils.h"
#include "components/data/cxFilterConsts.h"
#include "components/foundation/dxCore.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

namespace {

// The smallest child in a criteria stream: the is-group byte, then a group's operator byte and
// child count (a condition takes at least 11 bytes).
constexpr Int64 kMinChildBytes = 6;

// A pair the platform cannot compare raises EVariantError instead of reading as "less": a
// condition such as "less than 'abc'" on a number is an error that fcoSoftCompare turns into a
// failed test, never a match.
Integer CompareFilterValues(const Variant& a, const Variant& b) { return orv::CompareVariantsRaising(a, b); }

// The platform's texts for a range or list test on a value that is no such array.
const char* const kNotAnArray = "Variant is not an array";
const char* const kOutOfBounds = "Variant or safe array index out of bounds";

Boolean IsStringVariant(const Variant& v) { return v.GetType() == varString || v.GetType() == varOleStr; }

// A date that cannot be encoded (beyond year 9999) leaves that side of a range open.
TDateTime DateOrOpen(Integer year, Integer month, Integer day) {
  TDateTime date = 0;
  if (year < 1 || year > 9999 || !TryEncodeDate(Word(year), Word(month), Word(day), date)) return 0;
  return date;
}

void DecodeToday(TDateTime today, Integer& year, Integer& month) {
  Word y, m, d;
  DecodeDate(today, y, m, d);
  year = y;
  month = m;
}

TDateTime FirstOfMonth(Integer year, Integer month) {
  while (month < 1) { month += 12; --year; }
  while (month > 12) { month -= 12; ++year; }
  return DateOrOpen(year, month, 1);
}

void CheckOperatorCode(Integer code) {
  if (code < 0 || code >= kFilterOperatorCodeCount) throw ERangeError("Invalid filter operator code");
}

// Raises and lowers a criteria's change lock around a block; the unlock reports the change.
template <class F>
void WithChangesLocked(TcxFilterCriteria* criteria, F&& body) {
  if (!criteria) {
    body();
    return;
  }
  criteria->LockChanges();
  try {
    body();
  } catch (...) {
    criteria->UnlockChanges();
    throw;
  }
  criteria->UnlockChanges();
}

// A date the platform cannot hold (NaN, beyond its range) has no stream form: a condition
// holding one could never be written, copied or compared again.
Boolean HasWritableDates(const Variant& value) {
  if (value.IsArray()) {
    for (Integer i = value.LowBound(); i <= value.HighBound(); ++i)
      if (!HasWritableDates(value.GetElement(i))) return false;
    return true;
  }
  if (value.GetType() != varDate) return true;
  try {
    value.AsDateTime();
    return true;
  } catch (const EVariantError&) {
    return false;
  }
}

Integer GroupDepth(const TcxCustomFilterCriteriaItem* item) {
  Integer depth = 0;
  for (auto* p = item->GetParent(); p; p = p->GetParent()) ++depth;
  return depth;
}

}  // namespace

// ==== The LIKE matcher and text helpers ======================================================

Boolean LikeMatches(std::string_view subject, std::string_view pattern, char percentWildcard,
                    char underscoreWildcard) {
  // Runs of percent wildcards inside the pattern act as one wildcard that takes any run of
  // characters; a trailing run of two or more needs at least one character left. Backtracking
  // goes to the last wildcard only, which is enough for these rules.
  constexpr std::size_t kNone = std::string_view::npos;
  std::size_t s = 0, p = 0, starPattern = kNone, starSubject = 0;
  for (;;) {
    if (p < pattern.size() && pattern[p] == percentWildcard) {
      const std::size_t runStart = p;
      while (p < pattern.size() && pattern[p] == percentWildcard) ++p;
      if (p == pattern.size()) return p - runStart == 1 || s < subject.size();
      starPattern = p;
      starSubject = s;
      continue;
    }
    if (s == subject.size()) return p == pattern.size();
    if (p < pattern.size() && (pattern[p] == underscoreWildcard || pattern[p] == subject[s])) {
      ++p;
      ++s;
      continue;
    }
    if (starPattern == kNone) return false;
    p = starPattern;
    s = ++starSubject;
  }
}

Integer StripLikeWildcards(AnsiString& text, char percentWildcard) {
  const char doubled[2] = {percentWildcard, percentWildcard};
  const std::string_view pair(doubled, 2);
  for (std::size_t at; (at = text.find(pair)) != AnsiString::npos;) text.erase(at, 1);
  if (text.size() < 2) return 0;
  Integer kind = 0;
  if (text.front() == percentWildcard) {
    kind += 2;
    text.erase(0, 1);
  }
  if (!text.empty() && text.back() == percentWildcard) {
    kind += 1;
    text.pop_back();
  }
  return kind;
}

AnsiString FilterVarToStr(const Variant& value) {
  return value.IsNull() ? FilterCaptionText(&cxSFilterBlankCaption) : VarToStr(value);
}

AnsiString ExtractListPiece(const AnsiString& text, Integer& position) {
  const std::size_t start = std::min<std::size_t>(std::size_t(std::max(position, 0)), text.size());
  std::size_t end = text.find(';', start);
  if (end == AnsiString::npos) end = text.size();
  position = Integer(end + 1);
  return Trim(text.substr(start, end - start));
}

void ParseBetweenText(const AnsiString& text, AnsiString& first, AnsiString& second) {
  const std::size_t at = text.find(';');
  if (at == AnsiString::npos) {
    first = Trim(text);
    second.clear();
  } else {
    first = Trim(text.substr(0, at));
    second = Trim(text.substr(at + 1));
  }
}

AnsiString BetweenPairToText(const AnsiString& first, const AnsiString& second) {
  return first + " " + FilterCaptionText(&cxSFilterAndCaption) + " " + second;
}

std::vector<AnsiString> ParseListText(const AnsiString& text) {
  std::vector<AnsiString> parts;
  if (text.empty()) return parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(';', start);
    if (at == AnsiString::npos) {
      parts.push_back(Trim(text.substr(start)));
      return parts;
    }
    parts.push_back(Trim(text.substr(start, at - start)));
    start = at + 1;
  }
}

AnsiString ListArrayToText(const std::vector<AnsiString>& parts) {
  AnsiString text = "(";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += ", ";
    text += parts[i];
  }
  return text + ")";
}

// ==== Operators ==============================================================================

TcxFilterCriteria* TcxFilterOperator::GetCriteria() const { return FCriteriaItem->OwnerCriteria(); }

AnsiString TcxFilterOperator::FieldName() const { return FCriteriaItem->GetFieldName(); }

const Variant& TcxFilterOperator::ConditionValue() const { return FCriteriaItem->GetValue(); }

namespace {

TcxFilterCriteriaOptions OptionsOf(const TcxFilterOperator* op) {
  TcxFilterCriteria* criteria = op->GetCriteria();
  return criteria ? criteria->GetOptions() : TcxFilterCriteriaOptions();
}

AnsiString Caption(const TResStringRec& rec) { return FilterCaptionText(&rec); }

}  // namespace

AnsiString TcxFilterOperator::BuildExpression(const Variant& value) { return FormatExpressionValue(value); }

AnsiString TcxFilterOperator::FormatExpressionValue(const Variant& value) {
  TcxFilterCriteria* criteria = GetCriteria();
  AnsiString text;
  if (!FormatSpecialValue(value, text)) {
    if (IsStringVariant(value))
      text = QuotedStr(VarToStr(value));
    else if (IsDateTimeVariant(value))
      text = "'" + (criteria ? criteria->DateValueToText(value) : VarToStr(value)) + "'";
    else if (value.GetType() == varBoolean)
      text = criteria ? criteria->ValueToText(value) : VarToStr(value);
    else if (value.IsNull())
      text = "NULL";
    else
      text = VarToStr(value);
  }
  if (criteria) criteria->DoFormatFilterTextValue(FCriteriaItem, value, text);
  return text;
}

// ---- equal, not equal

Boolean TcxFilterEqualOperator::WritesWholeExpression() { return ConditionValue().IsArray(); }

AnsiString TcxFilterEqualOperator::BuildExpression(const Variant& value) {
  if (!value.IsArray()) return inherited::BuildExpression(value);
  // One value per field of a ';'-separated field list.
  const AnsiString fields = FieldName();
  Integer position = 0;
  AnsiString text;
  for (Integer i = value.LowBound(); i <= value.HighBound(); ++i) {
    const AnsiString name = ExtractListPiece(fields, position);
    if (i > value.LowBound()) text += " AND ";
    text += "(" + name + " = " + FormatExpressionValue(value.GetElement(i)) + ")";
  }
  return text;
}

Boolean TcxFilterEqualOperator::Matches(const Variant& r, const Variant& c) { return CompareFilterValues(r, c) == 0; }

AnsiString TcxFilterEqualOperator::GetCaption() { return Caption(cxSFilterOperatorEqual); }

AnsiString TcxFilterNotEqualOperator::BuildExpression(const Variant& value) {
  return "NOT (" + inherited::BuildExpression(value) + ")";
}

AnsiString TcxFilterNotEqualOperator::GetCaption() { return Caption(cxSFilterOperatorNotEqual); }

// ---- ordering

Boolean TcxFilterLessOperator::Matches(const Variant& r, const Variant& c) { return CompareFilterValues(r, c) < 0; }
AnsiString TcxFilterLessOperator::GetCaption() { return Caption(cxSFilterOperatorLess); }

Boolean TcxFilterLessEqualOperator::Matches(const Variant& r, const Variant& c) { return CompareFilterValues(r, c) < 1; }
AnsiString TcxFilterLessEqualOperator::GetCaption() { return Caption(cxSFilterOperatorLessEqual); }

Boolean TcxFilterGreaterOperator::Matches(const Variant& r, const Variant& c) { return CompareFilterValues(r, c) > 0; }
AnsiString TcxFilterGreaterOperator::GetCaption() { return Caption(cxSFilterOperatorGreater); }

Boolean TcxFilterGreaterEqualOperator::Matches(const Variant& r, const Variant& c) { return CompareFilterValues(r, c) >= 0; }
AnsiString TcxFilterGreaterEqualOperator::GetCaption() { return Caption(cxSFilterOperatorGreaterEqual); }

// ---- like, not like

Integer TcxFilterLikeOperator::PatternKind() {
  TcxFilterCriteria* criteria = GetCriteria();
  AnsiString pattern = VarToStr(ConditionValue());
  return StripLikeWildcards(pattern, criteria ? criteria->GetPercentWildcard() : '%');
}

void TcxFilterLikeOperator::AdjustDisplayValueText(AnsiString& text) {
  TcxFilterCriteria* criteria = GetCriteria();
  if (criteria && criteria->GetOptions().Contains(fcoShowOperatorDescription))
    StripLikeWildcards(text, criteria->GetPercentWildcard());
}

Boolean TcxFilterLikeOperator::Matches(const Variant& r, const Variant& c) {
  TcxFilterCriteria* criteria = GetCriteria();
  const char percent = criteria ? criteria->GetPercentWildcard() : '%';
  const char underscore = criteria ? criteria->GetUnderscoreWildcard() : '_';
  // The condition's own prepared value keeps its text; anything else is converted here.
  TcxFilterCriteriaItem* item = GetCriteriaItem();
  const bool cached = &c == &item->FPreparedValue;
  const AnsiString converted = cached ? AnsiString() : VarToStr(c);
  const AnsiString& pattern = cached ? item->FPreparedValueText : converted;
  return LikeMatches(VarToStr(r), pattern, percent, underscore);
}

AnsiString TcxFilterLikeOperator::GetCaption() {
  static constexpr const TResStringRec* kCaptions[4] = {&cxSFilterOperatorLike, &cxSFilterOperatorBeginsWith,
                                                         &cxSFilterOperatorEndsWith, &cxSFilterOperatorContains};
  return FilterCaptionText(kCaptions[PatternKind()]);
}

Boolean TcxFilterNotLikeOperator::WritesWholeExpression() {
  TcxFilterCriteria* criteria = GetCriteria();
  return criteria && criteria->GetTranslateLike();
}

AnsiString TcxFilterNotLikeOperator::BuildExpression(const Variant& value) {
  return " NOT (" + FieldName() + " LIKE " + FormatExpressionValue(value) + ")";
}

AnsiString TcxFilterNotLikeOperator::GetCaption() {
  static constexpr const TResStringRec* kCaptions[4] = {&cxSFilterOperatorNotLike, &cxSFilterOperatorDoesNotBeginWith,
                                                         &cxSFilterOperatorDoesNotEndWith,
                                                         &cxSFilterOperatorDoesNotContain};
  return FilterCaptionText(kCaptions[PatternKind()]);
}

// ---- between, not between

Boolean TcxFilterBetweenOperator::WritesWholeExpression() {
  TcxFilterCriteria* criteria = GetCriteria();
  return criteria && criteria->GetTranslateBetween();
}

Boolean TcxFilterBetweenOperator::FormatSpecialValue(const Variant& value, AnsiString& text) {
  if (!value.IsArray() || value.HighBound() - value.LowBound() < 1) return false;
  text = FormatExpressionValue(value.GetElement(value.LowBound())) + " AND " +
         FormatExpressionValue(value.GetElement(value.LowBound() + 1));
  return true;
}

AnsiString TcxFilterBetweenOperator::BuildExpression(const Variant& value) {
  const AnsiString field = FieldName();
  const Integer low = value.LowBound();
  return "(" + field + " >= " + FormatExpressionValue(value.GetElement(low)) + ") AND (" + field +
         " <= " + FormatExpressionValue(value.GetElement(low + 1)) + ")";
}

void TcxFilterBetweenOperator::AdjustDisplayValueText(AnsiString& text) {
  AnsiString first, second;
  ParseBetweenText(text, first, second);
  text = BetweenPairToText(first, second);
}

Boolean TcxFilterBetweenOperator::Matches(const Variant& r, const Variant& c) {
  TcxFilterCriteriaItem* item = GetCriteriaItem();
  if (&c == &item->FPreparedValue) {
    // The bounds were taken out of the array when the condition was prepared.
    if (item->FPreparedElements.size() < 2) throw EVariantError(c.IsArray() ? kOutOfBounds : kNotAnArray);
    return CompareFilterValues(item->FPreparedElements[0], r) <= 0 &&
           CompareFilterValues(r, item->FPreparedElements[1]) <= 0;
  }
  const Integer low = c.LowBound();
  return CompareFilterValues(c.GetElement(low), r) <= 0 && CompareFilterValues(r, c.GetElement(low + 1)) <= 0;
}

AnsiString TcxFilterBetweenOperator::GetCaption() { return Caption(cxSFilterOperatorBetween); }

AnsiString TcxFilterNotBetweenOperator::BuildExpression(const Variant& value) {
  return "NOT (" + inherited::BuildExpression(value) + ")";
}

AnsiString TcxFilterNotBetweenOperator::GetCaption() { return Caption(cxSFilterOperatorNotBetween); }

// ---- in list, not in list

Boolean TcxFilterInListOperator::WritesWholeExpression() {
  TcxFilterCriteria* criteria = GetCriteria();
  return criteria && criteria->GetTranslateIn();
}

Boolean TcxFilterInListOperator::FormatSpecialValue(const Variant& value, AnsiString& text) {
  if (!value.IsArray()) return false;
  text = "(";
  for (Integer i = value.LowBound(); i <= value.HighBound(); ++i) {
    if (i > value.LowBound()) text += ", ";
    text += FormatExpressionValue(value.GetElement(i));
  }
  text += ")";
  return true;
}

AnsiString TcxFilterInListOperator::BuildExpression(const Variant& value) {
  const AnsiString field = FieldName();
  AnsiString text;
  for (Integer i = value.LowBound(); i <= value.HighBound(); ++i) {
    if (i > value.LowBound()) text += " OR ";
    text += "(" + field + " = " + FormatExpressionValue(value.GetElement(i)) + ")";
  }
  return text;
}

void TcxFilterInListOperator::AdjustDisplayValueText(AnsiString& text) {
  const std::vector<AnsiString> parts = ParseListText(text);
  // An empty display value stays empty rather than showing "()".
  if (!parts.empty()) text = ListArrayToText(parts);
}

Boolean TcxFilterInListOperator::Matches(const Variant& r, const Variant& c) {
  TcxFilterCriteriaItem* item = GetCriteriaItem();
  if (&c == &item->FPreparedValue) {
    if (!c.IsArray()) throw EVariantError(kNotAnArray);
    for (const Variant& element : item->FPreparedElements)
      if (r == element) return true;
    return false;
  }
  for (Integer i = c.LowBound(); i <= c.HighBound(); ++i)
    if (r == c.GetElement(i)) return true;
  return false;
}

AnsiString TcxFilterInListOperator::GetCaption() { return Caption(cxSFilterOperatorInList); }

AnsiString TcxFilterNotInListOperator::BuildExpression(const Variant& value) {
  return "NOT (" + inherited::BuildExpression(value) + ")";
}

AnsiString TcxFilterNotInListOperator::GetCaption() { return Caption(cxSFilterOperatorNotInList); }

// ---- blank, not blank

void TcxFilterNullOperator::AdjustDisplayValueText(AnsiString& text) {
  if (OptionsOf(this).Contains(fcoShowOperatorDescription)) text.clear();
}

Boolean TcxFilterNullOperator::Matches(const Variant& r, const Variant& c) {
  TcxFilterCriteria* criteria = GetCriteria();
  return criteria ? criteria->IsNullValue(r) : r.IsNull();
}

AnsiString TcxFilterNullOperator::GetCaption() { return Caption(cxSFilterOperatorIsNull); }

AnsiString TcxFilterNotNullOperator::GetCaption() { return Caption(cxSFilterOperatorIsNotNull); }

// ---- dates

AnsiString TcxFilterDateOperator::BuildExpression(const Variant& value) {
  const AnsiString field = FieldName();
  AnsiString text;
  if (FStart != 0) text = "(" + field + " >= " + FormatExpressionValue(VarFromDateTime(FStart)) + ")";
  if (FEnd != 0) {
    if (!text.empty()) text += " AND ";
    text += "(" + field + " < " + FormatExpressionValue(VarFromDateTime(FEnd)) + ")";
  }
  return text;
}

Boolean TcxFilterDateOperator::Matches(const Variant& r, const Variant& c) {
  TcxFilterCriteria* criteria = GetCriteria();
  if (criteria ? criteria->IsNullValue(r) : r.IsNull()) return false;
  if (FStart != 0 && Variant::FromDate(FStart) > r) return false;
  return FEnd == 0 || r < Variant::FromDate(FEnd);
}

void TcxFilterLastNDaysOperator::PrepareOperands() {
  const TDateTime today = Date();
  SetRange(today + 1 - DayCount(), today + 1);
}

void TcxFilterNextNDaysOperator::PrepareOperands() {
  const TDateTime today = Date();
  SetRange(today, today + DayCount());
}

void TcxFilterYesterdayOperator::PrepareOperands() { SetRange(Date() - 1, Date()); }
void TcxFilterTodayOperator::PrepareOperands() { SetRange(Date(), Date() + 1); }
void TcxFilterTomorrowOperator::PrepareOperands() { SetRange(Date() + 1, Date() + 2); }
void TcxFilterInPastOperator::PrepareOperands() { SetRange(0, Date()); }
void TcxFilterInFutureOperator::PrepareOperands() { SetRange(Date() + 1, 0); }

void TcxFilterLastWeekOperator::PrepareOperands() {
  const TDateTime weekStart = GetWeekStartDate(Date());
  SetRange(weekStart - 7, weekStart);
}
void TcxFilterLastTwoWeeksOperator::PrepareOperands() {
  const TDateTime weekStart = GetWeekStartDate(Date());
  SetRange(weekStart - 14, weekStart);
}
void TcxFilterThisWeekOperator::PrepareOperands() {
  const TDateTime weekStart = GetWeekStartDate(Date());
  SetRange(weekStart, weekStart + 7);
}
void TcxFilterNextWeekOperator::PrepareOperands() {
  const TDateTime weekStart = GetWeekStartDate(Date());
  SetRange(weekStart + 7, weekStart + 14);
}
void TcxFilterNextTwoWeeksOperator::PrepareOperands() {
  const TDateTime weekStart = GetWeekStartDate(Date());
  SetRange(weekStart + 7, weekStart + 21);
}

void TcxFilterLastMonthOperator::PrepareOperands() {
  Integer year, month;
  DecodeToday(Date(), year, month);
  SetRange(FirstOfMonth(year, month - 1), FirstOfMonth(year, month));
}
void TcxFilterThisMonthOperator::PrepareOperands() {
  Integer year, month;
  DecodeToday(Date(), year, month);
  SetRange(FirstOfMonth(year, month), FirstOfMonth(year, month + 1));
}
void TcxFilterNextMonthOperator::PrepareOperands() {
  Integer year, month;
  DecodeToday(Date(), year, month);
  SetRange(FirstOfMonth(year, month + 1), FirstOfMonth(year, month + 2));
}
void TcxFilterLastYearOperator::PrepareOperands() {
  Integer year, month;
  DecodeToday(Date(), year, month);
  SetRange(DateOrOpen(year - 1, 1, 1), DateOrOpen(year, 1, 1));
}
void TcxFilterThisYearOperator::PrepareOperands() {
  Integer year, month;
  DecodeToday(Date(), year, month);
  SetRange(DateOrOpen(year, 1, 1), DateOrOpen(year + 1, 1, 1));
}
void TcxFilterNextYearOperator::PrepareOperands() {
  Integer year, month;
  DecodeToday(Date(), year, month);
  SetRange(DateOrOpen(year + 1, 1, 1), DateOrOpen(year + 2, 1, 1));
}

AnsiString TcxFilterYesterdayOperator::GetCaption() { return Caption(cxSFilterOperatorYesterday); }
AnsiString TcxFilterTodayOperator::GetCaption() { return Caption(cxSFilterOperatorToday); }
AnsiString TcxFilterTomorrowOperator::GetCaption() { return Caption(cxSFilterOperatorTomorrow); }
AnsiString TcxFilterLast7DaysOperator::GetCaption() { return Caption(cxSFilterOperatorLast7Days); }
AnsiString TcxFilterLastWeekOperator::GetCaption() { return Caption(cxSFilterOperatorLastWeek); }
AnsiString TcxFilterLast14DaysOperator::GetCaption() { return Caption(cxSFilterOperatorLast14Days); }
AnsiString TcxFilterLastTwoWeeksOperator::GetCaption() { return Caption(cxSFilterOperatorLastTwoWeeks); }
AnsiString TcxFilterLast30DaysOperator::GetCaption() { return Caption(cxSFilterOperatorLast30Days); }
AnsiString TcxFilterLastMonthOperator::GetCaption() { return Caption(cxSFilterOperatorLastMonth); }
AnsiString TcxFilterLastYearOperator::GetCaption() { return Caption(cxSFilterOperatorLastYear); }
AnsiString TcxFilterInPastOperator::GetCaption() { return Caption(cxSFilterOperatorPast); }
AnsiString TcxFilterThisWeekOperator::GetCaption() { return Caption(cxSFilterOperatorThisWeek); }
AnsiString TcxFilterThisMonthOperator::GetCaption() { return Caption(cxSFilterOperatorThisMonth); }
AnsiString TcxFilterThisYearOperator::GetCaption() { return Caption(cxSFilterOperatorThisYear); }
AnsiString TcxFilterNext7DaysOperator::GetCaption() { return Caption(cxSFilterOperatorNext7Days); }
AnsiString TcxFilterNextWeekOperator::GetCaption() { return Caption(cxSFilterOperatorNextWeek); }
AnsiString TcxFilterNext14DaysOperator::GetCaption() { return Caption(cxSFilterOperatorNext14Days); }
AnsiString TcxFilterNextTwoWeeksOperator::GetCaption() { return Caption(cxSFilterOperatorNextTwoWeeks); }
AnsiString TcxFilterNext30DaysOperator::GetCaption() { return Caption(cxSFilterOperatorNext30Days); }
AnsiString TcxFilterNextMonthOperator::GetCaption() { return Caption(cxSFilterOperatorNextMonth); }
AnsiString TcxFilterNextYearOperator::GetCaption() { return Caption(cxSFilterOperatorNextYear); }
AnsiString TcxFilterInFutureOperator::GetCaption() { return Caption(cxSFilterOperatorFuture); }

TcxFilterOperatorClass GetFilterOperatorClass(TcxFilterOperatorCode code) {
  static const TClass kClasses[kFilterOperatorCodeCount] = {
      TcxFilterEqualOperator::StaticClass(),        TcxFilterNotEqualOperator::StaticClass(),
      TcxFilterLessOperator::StaticClass(),         TcxFilterLessEqualOperator::StaticClass(),
      TcxFilterGreaterOperator::StaticClass(),      TcxFilterGreaterEqualOperator::StaticClass(),
      TcxFilterLikeOperator::StaticClass(),         TcxFilterNotLikeOperator::StaticClass(),
      TcxFilterBetweenOperator::StaticClass(),      TcxFilterNotBetweenOperator::StaticClass(),
      TcxFilterInListOperator::StaticClass(),       TcxFilterNotInListOperator::StaticClass(),
      TcxFilterYesterdayOperator::StaticClass(),    TcxFilterTodayOperator::StaticClass(),
      TcxFilterTomorrowOperator::StaticClass(),     TcxFilterLast7DaysOperator::StaticClass(),
      TcxFilterLastWeekOperator::StaticClass(),     TcxFilterLast14DaysOperator::StaticClass(),
      TcxFilterLastTwoWeeksOperator::StaticClass(), TcxFilterLast30DaysOperator::StaticClass(),
      TcxFilterLastMonthOperator::StaticClass(),    TcxFilterLastYearOperator::StaticClass(),
      TcxFilterInPastOperator::StaticClass(),       TcxFilterThisWeekOperator::StaticClass(),
      TcxFilterThisMonthOperator::StaticClass(),    TcxFilterThisYearOperator::StaticClass(),
      TcxFilterNext7DaysOperator::StaticClass(),    TcxFilterNextWeekOperator::StaticClass(),
      TcxFilterNext14DaysOperator::StaticClass(),   TcxFilterNextTwoWeeksOperator::StaticClass(),
      TcxFilterNext30DaysOperator::StaticClass(),   TcxFilterNextMonthOperator::StaticClass(),
      TcxFilterNextYearOperator::StaticClass(),     TcxFilterInFutureOperator::StaticClass(),
      TcxFilterNullOperator::StaticClass(),         TcxFilterNotNullOperator::StaticClass(),
  };
  if (Integer(code) >= kFilterOperatorCodeCount) return nullptr;
  return kClasses[code];
}

// ==== Criteria items =========================================================================

void TcxCustomFilterCriteriaItem::BeforeDestruction() {
  if (FParent) FParent->DetachChild(this);
  inherited::BeforeDestruction();
}

void TcxCustomFilterCriteriaItem::NotifyChanged() {
  if (TcxFilterCriteria* criteria = OwnerCriteria()) criteria->MarkChanged();
}

TcxFilterCriteria* TcxCustomFilterCriteriaItem::OwnerCriteria() { return FParent ? FParent->OwnerCriteria() : nullptr; }

// ---- groups

void TcxFilterCriteriaItemList::BeforeDestruction() {
  TcxFilterCriteria* criteria = OwnerCriteria();
  if (criteria) criteria->LockChanges();
  while (!FItems.empty()) FItems.back()->Free();
  if (criteria) criteria->UnlockChangesSilently();
  inherited::BeforeDestruction();
}

TcxFilterCriteria* TcxFilterCriteriaItemList::OwnerCriteria() {
  return FCriteria ? FCriteria : inherited::OwnerCriteria();
}

void TcxFilterCriteriaItemList::DetachChild(TcxCustomFilterCriteriaItem* item) {
  const auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
  NotifyChanged();
}

void TcxFilterCriteriaItemList::Append(TcxCustomFilterCriteriaItem* item) {
  FItems.push_back(item);
  item->FParent = this;
}

TcxFilterCriteriaItem* TcxFilterCriteriaItemList::AddCondition(TObject* itemLink, TcxFilterOperatorCode operatorCode,
                                                               const AnsiString& displayValue, const Variant& value) {
  CheckOperatorCode(operatorCode);
  TcxFilterCriteria* criteria = OwnerCriteria();
  const TcxFilterCriteriaItemClass itemClass =
      criteria ? criteria->GetItemClass() : TcxFilterCriteriaItemClass(TcxFilterCriteriaItem::StaticClass());
  TcxFilterCriteriaItem* item = itemClass.Create(this, itemLink, operatorCode, value, displayValue);
  try {
    item->AfterConstruction();
  } catch (...) {
    item->Free();
    throw;
  }
  Append(item);
  NotifyChanged();
  return item;
}

TcxFilterCriteriaItemList* TcxFilterCriteriaItemList::AddGroup(TcxFilterBoolCode boolOperator) {
  TcxFilterCriteria* criteria = OwnerCriteria();
  const TcxFilterCriteriaItemListClass listClass =
      criteria ? criteria->GetItemListClass() : TcxFilterCriteriaItemListClass(StaticClass());
  TcxFilterCriteriaItemList* group = listClass.Create(this, boolOperator);
  Append(group);
  NotifyChanged();
  return group;
}

void TcxFilterCriteriaItemList::RemoveChildren() {
  WithChangesLocked(OwnerCriteria(), [this] {
    while (!FItems.empty()) FItems.back()->Free();
  });
}

void TcxFilterCriteriaItemList::SetBoolOperator(TcxFilterBoolCode value) {
  if (FBoolOperator == value) return;
  FBoolOperator = value;
  NotifyChanged();
}

TcxCustomFilterCriteriaItem* TcxFilterCriteriaItemList::GetItem(Integer index) const {
  return index >= 0 && index < GetCount() ? FItems[std::size_t(index)] : nullptr;
}

Integer TcxFilterCriteriaItemList::IndexOf(const TcxCustomFilterCriteriaItem* item) const {
  const auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : Integer(it - FItems.begin());
}

void TcxFilterCriteriaItemList::SaveItem(TStream* stream) {
  orv::WriteByte(stream, FBoolOperator);
  orv::WriteInteger(stream, GetCount());
  for (TcxCustomFilterCriteriaItem* child : FItems) {
    orv::WriteByte(stream, child->IsGroup() ? 1 : 0);
    child->SaveItem(stream);
  }
}

void TcxFilterCriteriaItemList::LoadItem(TStream* stream) {
  if (GroupDepth(this) > kMaxFilterNesting) orv::RaiseDataReadError();
  const Byte boolOperator = orv::ReadByte(stream);
  if (boolOperator > fbcNotOr) orv::RaiseDataReadError();
  SetBoolOperator(TcxFilterBoolCode(boolOperator));
  const Integer count = orv::ReadInteger(stream);
  LoadChildren(stream, count);
}

void TcxFilterCriteriaItemList::LoadChildren(TStream* stream, Integer count) {
  if (count < 0) orv::RaiseDataReadError();
  orv::CheckReadCount(stream, count, kMinChildBytes);
  for (Integer i = 0; i < count; ++i) {
    const Boolean isGroup = orv::ReadByte(stream) != 0;
    TcxCustomFilterCriteriaItem* child =
        isGroup ? static_cast<TcxCustomFilterCriteriaItem*>(AddGroup(fbcAnd))
                : static_cast<TcxCustomFilterCriteriaItem*>(AddCondition(nullptr, focEqual, AnsiString(), Variant()));
    try {
      child->LoadItem(stream);
    } catch (...) {
      // A child read halfway is no condition or group of the stream: it goes with the error.
      child->Free();
      throw;
    }
    if (child->IsVoid()) child->Free();
  }
}

// ---- conditions

TcxFilterCriteriaItem::TcxFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                             TcxFilterOperatorCode operatorCode, const Variant& value,
                                             const AnsiString& displayValue)
    : TcxCustomFilterCriteriaItem(parent),
      FDisplayValue(displayValue),
      FItemLink(itemLink),
      FOperatorCode(operatorCode),
      FValue(value) {}

TcxFilterCriteriaItem::~TcxFilterCriteriaItem() { orv::Free(FOperator); }

void TcxFilterCriteriaItem::AfterConstruction() {
  CheckOperatorCode(FOperatorCode);
  RebuildOperator();
  ApplyBlankDisplayFill();
}

void TcxFilterCriteriaItem::ApplyBlankDisplayFill() {
  if (FDisplayValue.empty() && FOperator && FOperator->InheritsFrom(TcxFilterNullOperator::StaticClass()))
    FDisplayValue = FilterCaptionText(&cxSFilterBlankCaption);
}

TcxFilterOperatorClass TcxFilterCriteriaItem::GetOperatorClass() {
  switch (FOperatorCode) {
    case focEqual:
    case focLike:
      if (IsNullValue(FValue)) return TcxFilterNullOperator::StaticClass();
      break;
    case focNotEqual:
    case focNotLike:
      if (IsNullValue(FValue)) return TcxFilterNotNullOperator::StaticClass();
      break;
    default: break;
  }
  return GetFilterOperatorClass(FOperatorCode);
}

void TcxFilterCriteriaItem::RebuildOperator() {
  const TcxFilterOperatorClass operatorClass = GetOperatorClass();
  if (!operatorClass) throw ERangeError("Invalid filter operator code");
  TcxFilterOperator* created = operatorClass.Create(this);
  TcxFilterOperator* old = FOperator;
  FOperator = created;
  FOperator->PrepareOperands();
  if (old) {
    old->Free();
    NotifyChanged();
  }
}

Boolean TcxFilterCriteriaItem::IsNullValue(const Variant& value) {
  TcxFilterCriteria* criteria = OwnerCriteria();
  return criteria ? criteria->IsNullValue(value) : value.IsNull();
}

AnsiString TcxFilterCriteriaItem::GetValueText(Boolean useCaptions) {
  if (!useCaptions) return FOperator->FormatExpressionValue(FValue);
  AnsiString text = GetDisplayValueText();
  FOperator->AdjustDisplayValueText(text);
  return text;
}

void TcxFilterCriteriaItem::SetDisplayValue(const AnsiString& value) {
  if (FDisplayValue == value) return;
  FDisplayValue = value;
  NotifyChanged();
}

void TcxFilterCriteriaItem::SetOperatorCode(TcxFilterOperatorCode value) {
  if (FOperatorCode == value) return;
  CheckOperatorCode(value);
  FOperatorCode = value;
  RebuildOperator();
}

void TcxFilterCriteriaItem::SetValue(const Variant& value) {
  if (CompareVariants(FValue, value) == 0) return;
  FValue = value;
  RebuildOperator();
}

const Variant& TcxFilterCriteriaItem::PreparedValue(TcxFilterCriteria* criteria) {
  if (FPreparedGeneration != criteria->GetChangeGeneration()) {
    criteria->PrepareCompareValue(FValue, FPreparedValue);
    FPreparedElements.clear();
    FPreparedValueText.clear();
    if (FPreparedValue.IsArray()) {
      for (Integer i = FPreparedValue.LowBound(); i <= FPreparedValue.HighBound(); ++i)
        FPreparedElements.push_back(FPreparedValue.GetElement(i));
    } else {
      FPreparedValueText = VarToStr(FPreparedValue);
    }
    FPreparedGeneration = criteria->GetChangeGeneration();
  }
  return FPreparedValue;
}

void TcxFilterCriteriaItem::SaveItem(TStream* stream) {
  TcxFilterCriteria* criteria = OwnerCriteria();
  WriteAnsiFormatSignature(stream);
  orv::WriteByte(stream, FOperatorCode);
  SaveAnsiText(stream, FDisplayValue);
  TObject* link = GetLinkedItem();
  orv::WriteInteger(stream, criteria ? criteria->GetIDByItemLink(link) : -1);
  if (criteria && criteria->GetWriteVersion() >= 3) SaveAnsiText(stream, criteria->GetNameByItemLink(link));
  SaveVariant(stream, FValue);
}

void TcxFilterCriteriaItem::LoadItem(TStream* stream) {
  TcxFilterCriteria* criteria = OwnerCriteria();
  TdxStream source(stream);
  const auto readText = [&source] {
    return source.GetIsUnicode() ? VarToStr(Variant(LoadUnicodeText(&source))) : LoadAnsiText(&source);
  };
  const Byte code = orv::ReadByte(&source);
  if (code >= kFilterOperatorCodeCount) orv::RaiseDataReadError();
  const AnsiString displayValue = readText();
  const Integer id = orv::ReadInteger(&source);
  const AnsiString name = criteria && criteria->GetReadVersion() >= 3 ? readText() : AnsiString();
  const Variant value = LoadVariant(&source);
  if (!HasWritableDates(value)) orv::RaiseDataReadError();

  SetOperatorCode(TcxFilterOperatorCode(code));
  SetDisplayValue(displayValue);
  SetValue(value);
  TObject* link = nullptr;
  if (criteria) {
    if (!name.empty()) {
      link = criteria->GetItemLinkByName(name);
      // Found by ID only: a named item is another item than the one this condition names.
      if (!link && (link = criteria->GetItemLinkByID(id)) && !criteria->GetNameByItemLink(link).empty())
        link = nullptr;
    } else {
      link = criteria->GetItemLinkByID(id);
    }
  }
  SetLinkedItem(link);
  ApplyBlankDisplayFill();
}

// ==== Criteria ===============================================================================

TcxFilterCriteria::TcxFilterCriteria() {
  FRoot = new TcxFilterCriteriaItemList(nullptr, fbcAnd);
  FRoot->FCriteria = this;
}

TcxFilterCriteria::~TcxFilterCriteria() = default;

void TcxFilterCriteria::BeforeDestruction() {
  FDestroying = true;
  FreeAndNil(FRoot);
  inherited::BeforeDestruction();
}

void TcxFilterCriteria::Assign(TPersistent* source) {
  if (source && source->InheritsFrom(TcxFilterCriteria::StaticClass()))
    AssignCriteria(source, false);
  else
    inherited::Assign(source);
}

TcxFilterCriteriaItem* TcxFilterCriteria::AddItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                                  TcxFilterOperatorCode operatorCode, const Variant& value,
                                                  const AnsiString& displayValue) {
  return (parent ? parent : FRoot)->AddCondition(itemLink, operatorCode, displayValue, value);
}

void TcxFilterCriteria::RemoveAllItems() {
  WithChangesLocked(this, [this] {
    FRoot->RemoveChildren();
    FRoot->SetBoolOperator(fbcAnd);
  });
}

TcxFilterCriteriaItem* TcxFilterCriteria::FindItemForLinkIn(TcxFilterCriteriaItemList* group, TObject* itemLink) {
  for (Integer i = 0; i < group->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->GetItem(i);
    if (child->IsGroup()) {
      if (TcxFilterCriteriaItem* found = FindItemForLinkIn(static_cast<TcxFilterCriteriaItemList*>(child), itemLink))
        return found;
    } else {
      auto* condition = static_cast<TcxFilterCriteriaItem*>(child);
      if (condition->FItemLink == itemLink) return condition;
    }
  }
  return nullptr;
}

TcxFilterCriteriaItem* TcxFilterCriteria::FindItemForLink(TObject* itemLink) { return FindItemForLinkIn(FRoot, itemLink); }

void TcxFilterCriteria::RemoveItemsByLink(TObject* itemLink) {
  LockChanges();
  Boolean removed = false;
  try {
    while (TcxFilterCriteriaItem* condition = FindItemForLink(itemLink)) {
      removed = true;
      TcxFilterCriteriaItemList* parent = condition->GetParent();
      condition->Free();
      while (parent && parent != FRoot) {
        TcxFilterCriteriaItemList* grandparent = parent->GetParent();
        if (parent->GetCount() == 0) {
          parent->Free();
          parent = grandparent;
          continue;
        }
        if (parent->GetCount() == 1 && grandparent) {
          // The lone child takes the group's place at the end of the grandparent's list; the
          // group's boolean operator goes with it.
          TcxCustomFilterCriteriaItem* child = parent->FItems.front();
          parent->FItems.clear();
          grandparent->DetachChild(parent);
          grandparent->Append(child);
          parent->Free();
        }
        break;
      }
    }
  } catch (...) {
    UnlockChanges();
    throw;
  }
  if (removed)
    UnlockChanges();
  else
    UnlockChangesSilently();
}

Boolean TcxFilterCriteria::IsEmptyCriteria() { return FRoot->GetCount() == 0; }

Boolean TcxFilterCriteria::HasStorableItems() {
  return FSavingToStream || FRoot->GetBoolOperator() != fbcAnd || FRoot->GetCount() > 0;
}

// ---- change notification

void TcxFilterCriteria::UnlockChanges() {
  --FLockCount;
  CheckChanges();
}

void TcxFilterCriteria::MarkChanged() {
  if (FDestroying) return;
  ++FGeneration;
  FChanged = true;
  CheckChanges();
}

void TcxFilterCriteria::CheckChanges() {
  if (!FChanged || FLockCount != 0) return;
  FChanged = false;
  PrepareItemOperators();
  DoChanged();
}

void TcxFilterCriteria::PrepareOperators(TcxFilterCriteriaItemList* group) {
  for (Integer i = 0; i < group->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->GetItem(i);
    if (child->IsGroup())
      PrepareOperators(static_cast<TcxFilterCriteriaItemList*>(child));
    else if (TcxFilterOperator* op = static_cast<TcxFilterCriteriaItem*>(child)->GetOperator())
      op->PrepareOperands();
  }
}

void TcxFilterCriteria::PrepareItemOperators() { PrepareOperators(FRoot); }

void TcxFilterCriteria::DoChanged() {
  if (FOnChanged) FOnChanged(this);
}

void TcxFilterCriteria::RebuildOperators(TcxFilterCriteriaItemList* group) {
  for (Integer i = 0; i < group->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->GetItem(i);
    if (child->IsGroup())
      RebuildOperators(static_cast<TcxFilterCriteriaItemList*>(child));
    else
      static_cast<TcxFilterCriteriaItem*>(child)->RebuildOperator();
  }
}

// ---- properties

void TcxFilterCriteria::SetOptions(TcxFilterCriteriaOptions value) {
  if (FOptions == value) return;
  WithChangesLocked(this, [&] {
    FOptions = value;
    // The blank operators of '' values follow fcoSoftNull.
    RebuildOperators(FRoot);
    MarkChanged();
  });
}

void TcxFilterCriteria::SetPercentWildcard(char value) {
  if (FPercentWildcard == value) return;
  FPercentWildcard = value;
  MarkChanged();
}

void TcxFilterCriteria::SetUnderscoreWildcard(char value) {
  if (FUnderscoreWildcard == value) return;
  FUnderscoreWildcard = value;
  MarkChanged();
}

void TcxFilterCriteria::SetDateTimeFormat(const AnsiString& value) {
  if (FDateTimeFormat == value) return;
  FDateTimeFormat = value;
  MarkChanged();
}

void TcxFilterCriteria::RestoreDefaults() {
  WithChangesLocked(this, [this] {
    SetOptions({});
    SetPercentWildcard('%');
    SetSupportedLike(true);
    SetTranslateBetween(false);
    SetTranslateIn(false);
    SetTranslateLike(false);
    SetUnderscoreWildcard('_');
  });
}

// ---- texts

AnsiString TcxFilterCriteria::ValueToText(const Variant& value) { return VarToStr(value); }

AnsiString TcxFilterCriteria::DateValueToText(const Variant& value) {
  if (FDateTimeFormat.empty()) return VarToStr(value);
  return FormatDateTime(FDateTimeFormat, VarToDateTime(value));
}

AnsiString TcxFilterCriteria::GroupText(TcxFilterCriteriaItemList* group, Boolean useCaptions) {
  const TcxFilterBoolCode boolOperator = group->GetBoolOperator();
  const Boolean andWord = boolOperator == fbcAnd || boolOperator == fbcNotAnd;
  const AnsiString word = useCaptions ? FilterCaptionText(andWord ? &cxSFilterAndCaption : &cxSFilterOrCaption)
                                      : AnsiString(andWord ? "AND" : "OR");
  AnsiString text;
  for (Integer i = 0; i < group->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->GetItem(i);
    if (i > 0) text += " " + word + " ";
    if (child->IsGroup())
      text += "(" + GroupText(static_cast<TcxFilterCriteriaItemList*>(child), useCaptions) + ")";
    else
      text += "(" + GetItemText(static_cast<TcxFilterCriteriaItem*>(child), useCaptions) + ")";
  }
  if (boolOperator == fbcNotAnd || boolOperator == fbcNotOr)
    text = (useCaptions ? FilterCaptionText(&cxSFilterNotCaption) : AnsiString("NOT")) + " (" + text + ")";
  return text;
}

AnsiString TcxFilterCriteria::BuildFilterText(Boolean useCaptions) {
  // No condition at all is no filter, whatever the root's operator.
  if (IsEmptyCriteria()) return AnsiString();
  return GroupText(FRoot, useCaptions);
}

AnsiString TcxFilterCriteria::GetItemText(TcxFilterCriteriaItem* item, Boolean useCaptions) {
  TcxFilterOperator* op = item->GetOperator();
  if (!useCaptions && op->WritesWholeExpression()) return op->BuildExpression(item->GetValue());
  const AnsiString value = GetItemValueText(item, useCaptions);
  AnsiString text = GetItemFieldText(item, useCaptions) + " " + GetItemOperatorText(item, useCaptions);
  if (!value.empty()) text += " " + value;
  return text;
}

AnsiString TcxFilterCriteria::GetItemFieldText(TcxFilterCriteriaItem* item, Boolean useCaptions) {
  return useCaptions ? item->GetFieldCaption() : item->GetFieldName();
}

AnsiString TcxFilterCriteria::GetItemOperatorText(TcxFilterCriteriaItem* item, Boolean useCaptions) {
  TcxFilterOperator* op = item->GetOperator();
  if (useCaptions && (op->IsCaptionOperator() || FOptions.Contains(fcoShowOperatorDescription))) return op->GetCaption();
  return op->GetSymbol();
}

AnsiString TcxFilterCriteria::GetItemValueText(TcxFilterCriteriaItem* item, Boolean useCaptions) {
  return item->GetValueText(useCaptions);
}

TcxFilterCriteriaItemClass TcxFilterCriteria::GetItemClass() { return TcxFilterCriteriaItem::StaticClass(); }

TcxFilterCriteriaItemListClass TcxFilterCriteria::GetItemListClass() { return TcxFilterCriteriaItemList::StaticClass(); }

orv::ClassOf<TcxFilterValueList> TcxFilterCriteria::GetValueListClass() { return TcxFilterValueList::StaticClass(); }

// ---- evaluation

Boolean TcxFilterCriteria::EvaluateRecord(Integer recordIndex) { return EvaluateGroup(FRoot, recordIndex); }

Boolean TcxFilterCriteria::EvaluateGroup(TcxFilterCriteriaItemList* group, Integer recordIndex) {
  const TcxFilterBoolCode boolOperator = group->GetBoolOperator();
  Boolean result = true;
  // Every child is evaluated: descendants may count on each condition being asked.
  for (Integer i = 0; i < group->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->GetItem(i);
    const Boolean r = child->IsGroup() ? EvaluateGroup(static_cast<TcxFilterCriteriaItemList*>(child), recordIndex)
                                       : TestCondition(static_cast<TcxFilterCriteriaItem*>(child), recordIndex);
    if (i == 0) {
      result = (boolOperator == fbcAnd || boolOperator == fbcOr) ? r : !r;
      continue;
    }
    switch (boolOperator) {
      case fbcAnd: result = result && r; break;
      case fbcOr: result = result || r; break;
      case fbcNotAnd: result = result || !r; break;
      case fbcNotOr: result = result && !r; break;
    }
  }
  return result;
}

Boolean TcxFilterCriteria::TestCondition(TcxFilterCriteriaItem* item, Integer recordIndex) {
  try {
    const Variant& c = item->PreparedValue(this);
    item->GetDataValue(recordIndex, item->FRecordValue);
    PrepareCompareValue(item->FRecordValue, item->FPreparedRecordValue);
    const Variant& r = item->FPreparedRecordValue;
    TcxFilterOperator* op = item->GetOperator();
    if (FOptions.Contains(fcoIgnoreNull) && !op->TestsForNull() && IsNullValue(r)) return false;
    return op->Matches(r, c);
  } catch (const EVariantError&) {
    if (FOptions.Contains(fcoSoftCompare)) return false;
    throw;
  }
}

void TcxFilterCriteria::PrepareCompareValue(const Variant& value, Variant& result) {
  if (value.IsArray()) {
    const Integer low = value.LowBound(), high = value.HighBound();
    Variant array = VarArrayCreate(low, high, varVariant);
    Variant element;
    for (Integer i = low; i <= high; ++i) {
      PrepareCompareValue(value.GetElement(i), element);
      array.PutElement(i, element);
    }
    result = std::move(array);
    return;
  }
  switch (value.GetType()) {
    case varCurrency: result = Variant(value.AsDouble()); return;
    case varString:
    case varOleStr:
      if (FOptions.Contains(fcoCaseInsensitive)) {
        result = Variant(AnsiUpperCase(VarToStr(value)));
        return;
      }
      break;
    default: break;
  }
  result = value;
}

Boolean TcxFilterCriteria::IsNullValue(const Variant& value) {
  return FOptions.Contains(fcoSoftNull) ? IsNullOrEmptyString(value) : value.IsNull();
}

// ---- copying

void TcxFilterCriteria::AssignCriteria(TPersistent* source, Boolean withoutNames) {
  if (!source || !source->InheritsFrom(TcxFilterCriteria::StaticClass())) {
    inherited::Assign(source);
    return;
  }
  auto* criteria = static_cast<TcxFilterCriteria*>(source);
  WithChangesLocked(this, [&] {
    SetDateTimeFormat(criteria->GetDateTimeFormat());
    SetMaxValueListCount(criteria->GetMaxValueListCount());
    SetOptions(criteria->GetOptions());
    SetPercentWildcard(criteria->GetPercentWildcard());
    SetTranslateBetween(criteria->GetTranslateBetween());
    SetTranslateLike(criteria->GetTranslateLike());
    SetTranslateIn(criteria->GetTranslateIn());
    SetSupportedLike(criteria->GetSupportedLike());
    SetUnderscoreWildcard(criteria->GetUnderscoreWildcard());
    AssignItems(criteria, withoutNames);
    CopyEvents(criteria);
  });
}

void TcxFilterCriteria::CopyEvents(TcxFilterCriteria* source) { SetOnChanged(source->GetOnChanged()); }

namespace {

Byte CommonStreamVersion(TcxFilterCriteria* a, TcxFilterCriteria* b, Boolean withoutNames) {
  Byte version = std::min(a->GetStreamVersion(), b->GetStreamVersion());
  return std::min<Byte>(version, withoutNames ? 2 : 3);
}

}  // namespace

Boolean TcxFilterCriteria::HasSameItems(TcxFilterCriteria* other, Boolean withoutNames) {
  if (other == this) return true;
  const Byte version = CommonStreamVersion(this, other, withoutNames);
  TMemoryStream own, others;
  WriteBinaryData(&own, version);
  other->WriteBinaryData(&others, version);
  return own.GetSize() == others.GetSize() &&
         std::equal(static_cast<const Byte*>(own.GetMemory()), static_cast<const Byte*>(own.GetMemory()) + own.GetSize(),
                    static_cast<const Byte*>(others.GetMemory()));
}

void TcxFilterCriteria::AssignItems(TcxFilterCriteria* source, Boolean withoutNames) {
  if (HasSameItems(source, withoutNames)) return;
  WithChangesLocked(this, [&] {
    RemoveAllItems();
    TMemoryStream stream;
    source->WriteBinaryData(&stream, CommonStreamVersion(this, source, withoutNames));
    stream.SetPosition(0);
    ReadBinaryData(&stream);
  });
}

// ---- stream

void TcxFilterCriteria::WriteBinaryData(TStream* stream, Byte versionCap) {
  Byte version = FStreamVersion;
  if (versionCap != 0 && versionCap < version) version = versionCap;
  FWriteVersion = std::min<Byte>(std::max<Byte>(version, 1), 3);
  switch (FWriteVersion) {
    case 3:
      orv::WriteInteger(stream, -2);
      FRoot->SaveItem(stream);
      break;
    case 2:
      orv::WriteInteger(stream, -1);
      FRoot->SaveItem(stream);
      break;
    default:
      // The oldest form: the root's children only, as its readers read them.
      orv::WriteInteger(stream, FRoot->GetCount());
      for (TcxCustomFilterCriteriaItem* child : FRoot->FItems) {
        orv::WriteByte(stream, child->IsGroup() ? 1 : 0);
        child->SaveItem(stream);
      }
      break;
  }
}

void TcxFilterCriteria::ReadBinaryData(TStream* stream) {
  WithChangesLocked(this, [&] {
    RemoveAllItems();
    MarkChanged();
    const Integer versionID = orv::ReadInteger(stream);
    if (versionID == -2 || versionID == -1) {
      FReadVersion = versionID == -2 ? 3 : 2;
      FRoot->LoadItem(stream);
    } else if (versionID >= 0) {
      FReadVersion = 1;
      FRoot->LoadChildren(stream, versionID);
    } else {
      orv::RaiseDataReadError();
    }
  });
}

// ---- component stream

void TcxFilterCriteria::SaveToStream(TStream* stream) {
  FSavingToStream = true;
  std::unique_ptr<TFilterWrapper, orv::FreeDeleter> wrapper(new TFilterWrapper(nullptr));
  try {
    wrapper->SetFilter(this);
    const std::string text = orv::WriteComponentToText(wrapper.get());
    stream->WriteBuffer(text.data(), Integer(text.size()));
  } catch (...) {
    FSavingToStream = false;
    throw;
  }
  FSavingToStream = false;
}

void TcxFilterCriteria::LoadFromStream(TStream* stream) {
  const Int64 size = stream->GetSize() - stream->GetPosition();
  if (size < 0 || size > Int64(64) * 1024 * 1024) orv::RaiseDataReadError();
  std::string text(std::size_t(size), '\0');
  if (size > 0) stream->ReadBuffer(text.data(), Integer(size));
  // What the criteria held, put back when the description turns out to be damaged.
  TMemoryStream backup;
  WriteBinaryData(&backup, 0);
  const TcxFilterCriteriaOptions options = FOptions;
  WithChangesLocked(this, [&] {
    std::unique_ptr<TFilterWrapper, orv::FreeDeleter> wrapper(new TFilterWrapper(nullptr));
    wrapper->SetFilter(this);
    try {
      orv::ReadComponentFromText(wrapper.get(), text);
    } catch (...) {
      FOptions = options;
      backup.SetPosition(0);
      ReadBinaryData(&backup);
      throw;
    }
  });
}

ORV_PUBLISH(TFilterWrapper) {
  using T = TFilterWrapper;
  p.Property("Filter", &T::GetFilter, &T::SetFilter);
}

// ==== Filter value list ======================================================================

void TcxFilterValueList::BeforeDestruction() {
  RemoveEntries();
  inherited::BeforeDestruction();
}

void TcxFilterValueList::RemoveEntries() { FItems.clear(); }

void TcxFilterValueList::DeleteEntry(Integer index) { FItems.erase(FItems.begin() + index); }

Integer TcxFilterValueList::FirstValueIndex() const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Kind == fvkValue) return Integer(i);
  return GetCount();
}

Integer TcxFilterValueList::CompareEntry(Integer index, const Variant& value, const AnsiString& displayText) {
  const TcxFilterValueItem& entry = FItems[std::size_t(index)];
  const Boolean caseInsensitive = FCriteria && FCriteria->GetOptions().Contains(fcoCaseInsensitive);
  if (FSortByDisplayText) {
    const Integer r = caseInsensitive ? AnsiCompareStr(AnsiUpperCase(entry.DisplayText), AnsiUpperCase(displayText))
                                      : AnsiCompareStr(entry.DisplayText, displayText);
    if (r != 0) return r;
  }
  if (!FCriteria) return CompareVariants(entry.Value, value);
  Variant a, b;
  FCriteria->PrepareCompareValue(entry.Value, a);
  FCriteria->PrepareCompareValue(value, b);
  return CompareVariants(a, b);
}

Boolean TcxFilterValueList::FindEntry(const Variant& value, const AnsiString& displayText, Integer& index) {
  for (Integer i = 0; i < GetCount() && FItems[std::size_t(i)].Kind == fvkRecent; ++i) {
    if (CompareEntry(i, value, displayText) == 0) {
      index = i;
      return true;
    }
  }
  Integer low = FirstValueIndex(), high = GetCount() - 1;
  while (low <= high) {
    const Integer middle = (low + high) / 2;
    const Integer r = CompareEntry(middle, value, displayText);
    if (r < 0)
      low = middle + 1;
    else if (r > 0)
      high = middle - 1;
    else {
      index = middle;
      return true;
    }
  }
  index = low;
  return false;
}

void TcxFilterValueList::AddEntry(TcxFilterValueItemKind kind, const Variant& value, Boolean appendUnsorted,
                                  const AnsiString& displayText) {
  TcxFilterValueItem entry{kind, value, displayText};
  switch (kind) {
    case fvkRecent: {
      Integer separator = 0;
      while (separator < GetCount() && FItems[std::size_t(separator)].Kind == fvkRecent) ++separator;
      if (separator >= GetCount() || FItems[std::size_t(separator)].Kind != fvkRecentSeparator) {
        FItems.insert(FItems.begin(), TcxFilterValueItem{fvkRecentSeparator, Null(), AnsiString()});
        separator = 0;
      }
      FItems.insert(FItems.begin() + separator, std::move(entry));
      return;
    }
    case fvkValue: {
      if (appendUnsorted) {
        FItems.push_back(std::move(entry));
        return;
      }
      if (FCriteria && FCriteria->GetMaxValueListCount() != 0 && GetCount() >= FCriteria->GetMaxValueListCount())
        return;
      Integer index;
      if (FindEntry(value, displayText, index)) return;
      FItems.insert(FItems.begin() + index, std::move(entry));
      return;
    }
    default: FItems.insert(FItems.begin() + FirstValueIndex(), std::move(entry)); return;
  }
}

Integer TcxFilterValueList::IndexOfKind(TcxFilterValueItemKind kind, const Variant& value) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Kind == kind && (value.IsNull() || SameVariants(FItems[i].Value, value))) return Integer(i);
  return -1;
}

Integer TcxFilterValueList::FindValue(const Variant& value) {
  Integer index;
  return FindEntry(value, VarToStr(value), index) ? index : -1;
}

Integer TcxFilterValueList::GetIndexForCondition(TcxFilterCriteriaItem* condition) {
  if (!condition) return FirstOfKind(fvkAll);
  const TcxFilterOperatorCode code = condition->GetOperatorCode();
  if ((code == focEqual || code == focNotEqual) && condition->IsNullValue(condition->GetValue()))
    return FirstOfKind(code == focEqual ? fvkBlanks : fvkNonBlanks);
  Integer index;
  if (code == focEqual && FindEntry(condition->GetValue(), condition->GetDisplayValue(), index)) return index;
  return FirstOfKind(fvkCustom);
}
