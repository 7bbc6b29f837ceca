// Filter operators: the LIKE matcher, every operator's test on every kind of value, captions
// through the filter strings, symbols, expression forms and the date ranges.
#include <gtest/gtest.h>

#include <optional>

#include "components/data/cxDataUtils.h"
#include "components/data/cxFilterConsts.h"
#include "components/data/tests/cxFilterTestFixture.h"
#include "platform/runtime/Exceptions.h"

using namespace orv::test;

namespace {

// ---- LIKE ----------------------------------------------------------------------------------

struct LikeCase {
  const char* subject;
  const char* pattern;
  bool matches;
};

TEST(cxFilterLike, WildcardsAndExactCharacters) {
  const LikeCase cases[] = {
      {"ABC", "A%", true},      {"ABC", "%C", true},       {"ABC", "A_C", true},     {"ABC", "ab%", false},
      {"AB", "AB%%", false},    {"AB", "AB%", true},       {"", "%", true},          {"", "%A", false},
      {"", "", true},           {"A", "", false},          {"", "_", false},         {"", "%%", false},
      {"A", "%%", true},        {"ABC", "%%%", true},      {"ABC", "%B%", true},     {"ABC", "%%B%%", true},
      {"ABC", "ABC%%", false},  {"ABCD", "ABC%%", true},   {"ABC", "A%%C", true},    {"ABC", "___", true},
      {"ABC", "____", false},   {"ABC", "__", false},      {"AXBXC", "A%B%C", true}, {"AXBXD", "A%B%C", false},
      {"aaab", "%a%b", true},   {"aaaa", "%a%b", false},   {"abcabd", "%abd", true}, {"abcab", "%ab%c", false},
      {"abcabc", "%b_", true},  {"x", "%_", true},         {"", "%_", false},        {"ABC", "abc", false},
      {"Москва", "Мос%", true}, {"Москва", "%ква", true},  {"Москва", "мос%", false},
  };
  for (const LikeCase& c : cases) {
    const AnsiString subject = orv::Utf8ToAnsi(c.subject), pattern = orv::Utf8ToAnsi(c.pattern);
    EXPECT_EQ(LikeMatches(subject, pattern), c.matches) << c.subject << " LIKE " << c.pattern;
  }
}

TEST(cxFilterLike, OtherWildcardCharactersAndLiteralPercent) {
  EXPECT_TRUE(LikeMatches("ABC", "A*", '*', '?'));
  EXPECT_TRUE(LikeMatches("ABC", "A?C", '*', '?'));
  EXPECT_FALSE(LikeMatches("ABC", "A%", '*', '?'));  // '%' is then an ordinary character
  EXPECT_TRUE(LikeMatches("50%", "50%", '*', '?'));
  EXPECT_TRUE(LikeMatches("A_C", "A_C", '*', '?'));
  EXPECT_FALSE(LikeMatches("ABC", "A_C", '*', '?'));
}

TEST(cxFilterLike, ManyWildcardsStayFast) {
  // Patterns that take a naive backtracking matcher exponential time.
  const AnsiString subject(4000, 'a');
  EXPECT_FALSE(LikeMatches(subject, "%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%b"));
  EXPECT_TRUE(LikeMatches(subject + "b", "%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%b"));
}

TEST(cxFilterLike, StripLikeWildcardsGivesTheKindAndTheBareText) {
  struct Case {
    const char* text;
    Integer kind;
    const char* stripped;
  } const cases[] = {
      {"abc", 0, "abc"}, {"abc%", 1, "abc"}, {"%abc", 2, "abc"}, {"%abc%", 3, "abc"}, {"%%", 0, "%"},
      {"%", 0, "%"},     {"a", 0, "a"},      {"", 0, ""},        {"%%%abc%%", 3, "abc"}, {"a%%b", 0, "a%b"},
      {"%a", 2, "a"},    {"a%", 1, "a"},
  };
  for (const Case& c : cases) {
    AnsiString text = c.text;
    EXPECT_EQ(StripLikeWildcards(text, '%'), c.kind) << c.text;
    EXPECT_EQ(text, c.stripped) << c.text;
  }
}

// ---- operators on values -------------------------------------------------------------------

enum Outcome { F, T, X };  // fails, passes, raises a variant error

struct MatchCase {
  TcxFilterOperatorCode code;
  Variant condition;
  Variant record;
  Outcome outcome;
};

AnsiString Show(const Variant& v) {
  if (!v.IsArray()) return v.IsNull() ? AnsiString("Null") : VarToStr(v);
  AnsiString text = "[";
  for (Integer i = v.LowBound(); i <= v.HighBound(); ++i) text += (i > v.LowBound() ? ", " : "") + Show(v.GetElement(i));
  return text + "]";
}

Variant DateV(int y, int m, int d) { return Variant::FromDate(EncodeDate(Word(y), Word(m), Word(d))); }

TEST(cxFilterOperators, EveryOperatorOnEveryKindOfValue) {
  const Variant five = 5, six = 6, four = 4, n = Null(), e = Variant();
  const Variant cur = Variant(Currency::FromDouble(5));
  const MatchCase cases[] = {
      // equal: numbers across kinds, strings exactly, dates, Booleans, Null and Empty records
      {focEqual, five, five, T},               {focEqual, five, six, F},
      {focEqual, five, Variant(5.0), T},       {focEqual, five, cur, T},
      {focEqual, cur, five, T},                {focEqual, Variant(2.5), Variant(2.5f), T},
      {focEqual, "abc", "abc", T},             {focEqual, "abc", "ABC", F},
      {focEqual, DateV(2024, 3, 15), DateV(2024, 3, 15), T},
      {focEqual, DateV(2024, 3, 15), DateV(2024, 3, 16), F},
      {focEqual, true, true, T},               {focEqual, true, false, F},
      {focEqual, five, n, F},                  {focEqual, five, e, F},
      {focEqual, "abc", five, X},              {focEqual, five, "5", T},
      // not equal
      {focNotEqual, five, six, T},             {focNotEqual, five, five, F},
      {focNotEqual, five, n, T},               {focNotEqual, "abc", "abd", T},
      {focNotEqual, "abc", five, X},
      // ordering: Null and Empty records sort before every value
      {focLess, five, four, T},                {focLess, five, five, F},
      {focLess, five, n, T},                   {focLess, five, e, T},
      {focLess, "b", "a", T},                  {focLess, "a", "b", F},
      {focLess, DateV(2024, 3, 15), DateV(2024, 3, 14), T},
      {focLess, "abc", five, X},               {focLess, false, true, F},
      {focLessEqual, five, five, T},           {focLessEqual, five, six, F},
      {focLessEqual, Variant(2.5), Variant(2.5), T},
      {focGreater, five, six, T},              {focGreater, five, five, F},
      {focGreater, five, n, F},                {focGreater, Variant(2.5), Variant(3), T},
      {focGreater, true, false, F},            {focGreater, false, true, T},
      {focGreater, "abc", five, X},
      {focGreaterEqual, five, five, T},        {focGreaterEqual, five, four, F},
      {focGreaterEqual, DateV(2024, 1, 1), DateV(2024, 1, 1), T},
      // like on texts of any value (Null reads as '')
      {focLike, "a%", "abc", T},               {focLike, "a%", "xbc", F},
      {focLike, "%5", 15, T},                  {focLike, "%", n, T},
      {focLike, "_", n, F},                    {focLike, "a_c", "abc", T},
      {focNotLike, "a%", "abc", F},            {focNotLike, "a%", "xbc", T},
      // between: a pair, both bounds included
      {focBetween, MakeVariantPair(1, 5), 1, T},    {focBetween, MakeVariantPair(1, 5), 5, T},
      {focBetween, MakeVariantPair(1, 5), 0, F},    {focBetween, MakeVariantPair(1, 5), 6, F},
      {focBetween, MakeVariantPair(1, 5), n, F},    {focBetween, MakeVariantPair(1, 5), 2.5, T},
      {focBetween, MakeVariantPair("b", "d"), "c", T},
      {focBetween, MakeVariantPair(DateV(2024, 1, 1), DateV(2024, 12, 31)), DateV(2024, 6, 1), T},
      {focBetween, five, 5, X},                     {focBetween, MakeVariantArrayOf(1), 1, X},
      {focNotBetween, MakeVariantPair(1, 5), 0, T}, {focNotBetween, MakeVariantPair(1, 5), 3, F},
      {focNotBetween, MakeVariantPair(1, 5), n, T},
      // in list: platform equality, first hit wins
      {focInList, VarArrayOf({1, 2, 3}), 2, T},     {focInList, VarArrayOf({1, 2, 3}), 4, F},
      {focInList, VarArrayOf({1, 2, 3}), n, F},     {focInList, VarArrayOf({"a", "b"}), "b", T},
      {focInList, VarArrayOf({1, n}), n, T},        {focInList, VarArrayOf({1, 2}), 2.0, T},
      {focInList, five, 5, X},                      {focInList, VarArrayOf({1, 2}), "x", X},
      {focNotInList, VarArrayOf({1, 2, 3}), 4, T},  {focNotInList, VarArrayOf({1, 2, 3}), 1, F},
      // blank tests (Null condition values pick them for equal / like codes too)
      {focNull, n, n, T},                      {focNull, n, five, F},
      {focNull, n, "", F},                     {focNull, n, e, F},
      {focNotNull, n, n, F},                   {focNotNull, n, "", T},
      {focEqual, n, n, T},                     {focEqual, n, five, F},
      {focLike, n, n, T},                      {focNotEqual, n, five, T},
      {focNotLike, n, n, F},
  };
  for (const MatchCase& c : cases) {
    auto criteria = MakeTestCriteria();
    auto* field = criteria->AddField("F", "F", "F");
    criteria->Records = {{c.record}};
    criteria->AddItem(nullptr, field, c.code, c.condition, "");
    const AnsiString what = "code " + IntToStr(Integer(c.code)) + ", condition " + Show(c.condition) + ", record " + Show(c.record);
    if (c.outcome == X) {
      EXPECT_THROW(criteria->EvaluateRecord(0), EVariantError) << what;
      criteria->SetOptions({fcoSoftCompare});
      EXPECT_FALSE(criteria->EvaluateRecord(0)) << what;
    } else {
      EXPECT_EQ(criteria->EvaluateRecord(0), c.outcome == T) << what;
    }
  }
}

TEST(cxFilterOperators, NullAndEqualCodesPickTheBlankOperators) {
  auto criteria = MakeTestCriteria();
  auto* field = criteria->AddField("F", "F", "F");
  struct Case {
    TcxFilterOperatorCode code;
    Variant value;
    TClass expected;
  } const cases[] = {
      {focEqual, Null(), TcxFilterNullOperator::StaticClass()},
      {focLike, Null(), TcxFilterNullOperator::StaticClass()},
      {focNotEqual, Null(), TcxFilterNotNullOperator::StaticClass()},
      {focNotLike, Null(), TcxFilterNotNullOperator::StaticClass()},
      {focEqual, "", TcxFilterEqualOperator::StaticClass()},
      {focLess, Null(), TcxFilterLessOperator::StaticClass()},
      {focNull, 5, TcxFilterNullOperator::StaticClass()},
  };
  for (const Case& c : cases) {
    TcxFilterCriteriaItem* item = criteria->AddItem(nullptr, field, c.code, c.value, "");
    EXPECT_EQ(item->GetOperator()->ClassType(), c.expected) << Integer(c.code);
  }
  // With fcoSoftNull an empty string counts as blank; existing conditions follow the option.
  TcxFilterCriteriaItem* empty = criteria->AddItem(nullptr, field, focEqual, "", "");
  criteria->SetOptions({fcoSoftNull});
  EXPECT_EQ(empty->GetOperator()->ClassType(), TcxFilterNullOperator::StaticClass());
  EXPECT_EQ(criteria->AddItem(nullptr, field, focNotEqual, "", "")->GetOperator()->ClassType(),
            TcxFilterNotNullOperator::StaticClass());
}

TEST(cxFilterOperators, EveryCodeHasItsClass) {
  for (Integer code = 0; code < kFilterOperatorCodeCount; ++code) {
    const TcxFilterOperatorClass operatorClass = GetFilterOperatorClass(TcxFilterOperatorCode(code));
    ASSERT_TRUE(operatorClass) << code;
    EXPECT_FALSE(operatorClass->IsAbstract()) << code;
    const bool dated = code >= focYesterday && code <= focInFuture;
    EXPECT_EQ(operatorClass->InheritsFrom(TcxFilterDateOperator::StaticClass()), dated) << code;
  }
  EXPECT_FALSE(GetFilterOperatorClass(TcxFilterOperatorCode(36)));
  EXPECT_TRUE(TcxFilterNotNullOperator::StaticClass()->InheritsFrom(TcxFilterEqualOperator::StaticClass()));
  EXPECT_TRUE(TcxFilterNext14DaysOperator::StaticClass()->InheritsFrom(TcxFilterNextNDaysOperator::StaticClass()));
}

// ---- captions and symbols ------------------------------------------------------------------

struct CaptionCase {
  TcxFilterOperatorCode code;
  Variant value;
  const char* caption;
  const char* symbol;
};

TEST(cxFilterOperators, CaptionsAndSymbols) {
  const Variant pair = MakeVariantPair(1, 5), list = VarArrayOf({1, 2});
  const CaptionCase cases[] = {
      {focEqual, 1, "equals", "="},
      {focNotEqual, 1, "does not equal", "<>"},
      {focLess, 1, "is less than", "<"},
      {focLessEqual, 1, "is less than or equal to", "<="},
      {focGreater, 1, "is greater than", ">"},
      {focGreaterEqual, 1, "is greater than or equal to", ">="},
      {focLike, "abc", "like", "LIKE"},
      {focLike, "abc%", "begins with", "LIKE"},
      {focLike, "%abc", "ends with", "LIKE"},
      {focLike, "%abc%", "contains", "LIKE"},
      {focLike, "%%", "like", "LIKE"},
      {focNotLike, "abc", "not like", "NOT LIKE"},
      {focNotLike, "abc%", "does not begin with", "NOT LIKE"},
      {focNotLike, "%abc", "does not end with", "NOT LIKE"},
      {focNotLike, "%abc%", "does not contain", "NOT LIKE"},
      {focBetween, pair, "between", "BETWEEN"},
      {focNotBetween, pair, "not between", "NOT BETWEEN"},
      {focInList, list, "in", "IN"},
      {focNotInList, list, "not in", "NOT IN"},
      {focYesterday, 0, "is yesterday", "is yesterday"},
      {focToday, 0, "is today", "is today"},
      {focTomorrow, 0, "is tomorrow", "is tomorrow"},
      {focLast7Days, 0, "is last 7 days", "is last 7 days"},
      {focLastWeek, 0, "is last week", "is last week"},
      {focLast14Days, 0, "is last 14 days", "is last 14 days"},
      {focLastTwoWeeks, 0, "is last two weeks", "is last two weeks"},
      {focLast30Days, 0, "is last 30 days", "is last 30 days"},
      {focLastMonth, 0, "is last month", "is last month"},
      {focLastYear, 0, "is last year", "is last year"},
      {focInPast, 0, "is past", "is past"},
      {focThisWeek, 0, "is this week", "is this week"},
      {focThisMonth, 0, "is this month", "is this month"},
      {focThisYear, 0, "is this year", "is this year"},
      {focNext7Days, 0, "is next 7 days", "is next 7 days"},
      {focNextWeek, 0, "is next week", "is next week"},
      {focNext14Days, 0, "is next 14 days", "is next 14 days"},
      {focNextTwoWeeks, 0, "is next two weeks", "is next two weeks"},
      {focNext30Days, 0, "is next 30 days", "is next 30 days"},
      {focNextMonth, 0, "is next month", "is next month"},
      {focNextYear, 0, "is next year", "is next year"},
      {focInFuture, 0, "is future", "is future"},
      {focNull, Null(), "is blank", "="},
      {focNotNull, Null(), "is not blank", "<>"},
  };
  auto criteria = MakeTestCriteria();
  auto* field = criteria->AddField("F", "F", "F");
  for (const CaptionCase& c : cases) {
    TcxFilterOperator* op = criteria->AddItem(nullptr, field, c.code, c.value, "")->GetOperator();
    EXPECT_EQ(op->GetCaption(), c.caption) << Integer(c.code);
    EXPECT_EQ(op->GetSymbol(), c.symbol) << Integer(c.code);
  }
}

AnsiString BracketedCaption(PResStringRec rec) { return "[" + LoadResString(rec) + "]"; }

TEST(cxFilterOperators, CaptionsAreReadThroughTheHookOnEveryCall) {
  auto criteria = MakeTestCriteria();
  auto* field = criteria->AddField("F", "F", "F");
  TcxFilterOperator* op = criteria->AddItem(nullptr, field, focLike, "%x%", "")->GetOperator();
  const orv::TFilterCaptionTextHook previous = orv::SetFilterCaptionTextHook(&BracketedCaption);
  EXPECT_EQ(op->GetCaption(), "[contains]");
  EXPECT_EQ(FilterVarToStr(Null()), "[blank]");
  orv::SetFilterCaptionTextHook(previous);
  EXPECT_EQ(op->GetCaption(), "contains");
  EXPECT_EQ(FilterVarToStr(Null()), "blank");
  EXPECT_EQ(FilterVarToStr(5), "5");
}

// ---- condition texts -----------------------------------------------------------------------

struct TextCase {
  TcxFilterOperatorCode code;
  Variant value;
  const char* displayValue;
  TcxFilterCriteriaOptions options;
  bool translate;
  const char* expression;  // the condition's expression text
  const char* caption;     // the condition's caption text
};

TEST(cxFilterOperators, ConditionTexts) {
  const TcxFilterCriteriaOptions none, describe{fcoShowOperatorDescription};
  const TextCase cases[] = {
      {focEqual, 5, "5", none, false, "Price = 5", "Цена = 5"},
      {focEqual, "O'Brien", "O'Brien", none, false, "Price = 'O''Brien'", "Цена = O'Brien"},
      {focEqual, Null(), "", none, false, "Price = NULL", "Цена = blank"},
      {focEqual, Null(), "", describe, false, "Price = NULL", "Цена is blank"},
      {focNotEqual, Null(), "", describe, false, "Price <> NULL", "Цена is not blank"},
      {focLess, 5, "5", describe, false, "Price < 5", "Цена is less than 5"},
      {focBetween, MakeVariantPair(1, 5), "1;5", none, false, "Price BETWEEN 1 AND 5", "Цена between 1 and 5"},
      {focBetween, MakeVariantPair(1, 5), "1;5", none, true, "(Price >= 1) AND (Price <= 5)", "Цена between 1 and 5"},
      {focNotBetween, MakeVariantPair(1, 5), " 1 ; 5 ", none, true, "NOT ((Price >= 1) AND (Price <= 5))",
       "Цена not between 1 and 5"},
      {focBetween, MakeVariantPair(1, 5), "1", none, false, "Price BETWEEN 1 AND 5", "Цена between 1 and "},
      {focInList, VarArrayOf({1, 2, 3}), "1;2; 3", none, false, "Price IN (1, 2, 3)", "Цена in (1, 2, 3)"},
      {focInList, VarArrayOf({1, 2}), "1;2", none, true, "(Price = 1) OR (Price = 2)", "Цена in (1, 2)"},
      {focNotInList, VarArrayOf({1, 2}), "1;2", none, true, "NOT ((Price = 1) OR (Price = 2))",
       "Цена not in (1, 2)"},
      {focInList, VarArrayOf({1}), "", none, false, "Price IN (1)", "Цена in"},
      {focLike, "abc%", "abc%", none, false, "Price LIKE 'abc%'", "Цена LIKE abc%"},
      {focLike, "abc%", "abc%", describe, false, "Price LIKE 'abc%'", "Цена begins with abc"},
      {focNotLike, "%abc%", "%abc%", describe, false, "Price NOT LIKE '%abc%'", "Цена does not contain abc"},
      {focNotLike, "a%", "a%", none, true, " NOT (Price LIKE 'a%')", "Цена NOT LIKE a%"},
      {focEqual, true, "True", none, false, "Price = True", "Цена = True"},
  };
  for (const TextCase& c : cases) {
    auto criteria = MakeTestCriteria();
    auto* field = criteria->AddField("P", "Цена"_a, "Price");
    criteria->SetOptions(c.options);
    criteria->SetTranslateBetween(c.translate);
    criteria->SetTranslateIn(c.translate);
    criteria->SetTranslateLike(c.translate);
    TcxFilterCriteriaItem* item = criteria->AddItem(nullptr, field, c.code, c.value, c.displayValue);
    EXPECT_EQ(criteria->GetItemText(item, false), c.expression) << c.expression;
    EXPECT_EQ(orv::AnsiToUtf8(criteria->GetItemText(item, true)), c.caption) << c.expression;
  }
}

TEST(cxFilterOperators, MultiFieldEqualityAndDateValues) {
  auto criteria = MakeTestCriteria();
  auto* field = criteria->AddField("K", "Key", "COUNTRY; CITY ;ID");
  TcxFilterCriteriaItem* item =
      criteria->AddItem(nullptr, field, focEqual, VarArrayOf({"RU", "Moscow", 7}), "RU;Moscow;7");
  EXPECT_EQ(criteria->GetItemText(item, false), "(COUNTRY = 'RU') AND (CITY = 'Moscow') AND (ID = 7)");
  EXPECT_EQ(criteria->GetFilterText(), "((COUNTRY = 'RU') AND (CITY = 'Moscow') AND (ID = 7))");
  item->SetValue(VarArrayOf({"RU", "Moscow", 7, 8}));  // a value more than names: an empty name
  EXPECT_EQ(criteria->GetItemText(item, false),
            "(COUNTRY = 'RU') AND (CITY = 'Moscow') AND (ID = 7) AND ( = 8)");

  criteria->SetDateTimeFormat("yyyy-mm-dd");
  item->SetValue(DateV(2024, 3, 15));
  EXPECT_EQ(criteria->GetItemText(item, false), "COUNTRY; CITY ;ID = '2024-03-15'");
}

// ---- dates ---------------------------------------------------------------------------------

TDateTime gNow = 0;
TDateTime TestNow() { return gNow; }

class cxFilterDates : public ::testing::Test {
 protected:
  void SetUp() override {
    FPrevious = orv::SetNowFunction(&TestNow);
    FWeekday = FirstWeekdayOverride;
    FirstWeekdayOverride = 1;  // Monday
  }
  void TearDown() override {
    orv::SetNowFunction(FPrevious);
    FirstWeekdayOverride = FWeekday;
  }
  static void SetToday(int y, int m, int d, double time = 0.5) { gNow = EncodeDate(Word(y), Word(m), Word(d)) + time; }

 private:
  orv::TNowFunction FPrevious = nullptr;
  Integer FWeekday = 10;
};

struct RangeCase {
  TcxFilterOperatorCode code;
  std::optional<TDateTime> start;  // nullopt: open
  std::optional<TDateTime> end;
};

TDateTime D(int y, int m, int d) { return EncodeDate(Word(y), Word(m), Word(d)); }

TEST_F(cxFilterDates, RangesOnAWednesdayInMarch) {
  SetToday(2024, 3, 13);  // a Wednesday; the week starts on Monday 11 March
  const RangeCase cases[] = {
      {focYesterday, D(2024, 3, 12), D(2024, 3, 13)},   {focToday, D(2024, 3, 13), D(2024, 3, 14)},
      {focTomorrow, D(2024, 3, 14), D(2024, 3, 15)},    {focLast7Days, D(2024, 3, 7), D(2024, 3, 14)},
      {focLastWeek, D(2024, 3, 4), D(2024, 3, 11)},     {focLast14Days, D(2024, 2, 29), D(2024, 3, 14)},
      {focLastTwoWeeks, D(2024, 2, 26), D(2024, 3, 11)}, {focLast30Days, D(2024, 2, 13), D(2024, 3, 14)},
      {focLastMonth, D(2024, 2, 1), D(2024, 3, 1)},     {focLastYear, D(2023, 1, 1), D(2024, 1, 1)},
      {focInPast, std::nullopt, D(2024, 3, 13)},        {focThisWeek, D(2024, 3, 11), D(2024, 3, 18)},
      {focThisMonth, D(2024, 3, 1), D(2024, 4, 1)},     {focThisYear, D(2024, 1, 1), D(2025, 1, 1)},
      {focNext7Days, D(2024, 3, 13), D(2024, 3, 20)},   {focNextWeek, D(2024, 3, 18), D(2024, 3, 25)},
      {focNext14Days, D(2024, 3, 13), D(2024, 3, 27)},  {focNextTwoWeeks, D(2024, 3, 18), D(2024, 4, 1)},
      {focNext30Days, D(2024, 3, 13), D(2024, 4, 12)},  {focNextMonth, D(2024, 4, 1), D(2024, 5, 1)},
      {focNextYear, D(2025, 1, 1), D(2026, 1, 1)},      {focInFuture, D(2024, 3, 14), std::nullopt},
  };
  auto criteria = MakeTestCriteria();
  auto* field = criteria->AddField("D", "D", "D");
  for (const RangeCase& c : cases) {
    auto* op = static_cast<TcxFilterDateOperator*>(criteria->AddItem(nullptr, field, c.code, Null(), "")->GetOperator());
    EXPECT_EQ(op->GetStart(), c.start.value_or(0)) << Integer(c.code);
    EXPECT_EQ(op->GetEnd(), c.end.value_or(0)) << Integer(c.code);
  }
}

TEST_F(cxFilterDates, MonthsAndYearsAcrossTheYearEnd) {
  auto criteria = MakeTestCriteria();
  auto* field = criteria->AddField("D", "D", "D");
  auto range = [&](TcxFilterOperatorCode code) {
    auto* op = static_cast<TcxFilterDateOperator*>(criteria->AddItem(nullptr, field, code, Null(), "")->GetOperator());
    return std::pair(op->GetStart(), op->GetEnd());
  };
  SetToday(2023, 12, 20);
  EXPECT_EQ(range(focThisMonth), std::pair(D(2023, 12, 1), D(2024, 1, 1)));
  EXPECT_EQ(range(focNextMonth), std::pair(D(2024, 1, 1), D(2024, 2, 1)));
  SetToday(2023, 11, 5);
  EXPECT_EQ(range(focNextMonth), std::pair(D(2023, 12, 1), D(2024, 1, 1)));
  SetToday(2024, 1, 31);
  EXPECT_EQ(range(focLastMonth), std::pair(D(2023, 12, 1), D(2024, 1, 1)));
  SetToday(9999, 6, 1);  // the years after 9999 do not exist: that side stays open
  EXPECT_EQ(range(focNextYear), std::pair(TDateTime(0), TDateTime(0)));
  EXPECT_EQ(range(focThisYear), std::pair(D(9999, 1, 1), TDateTime(0)));
}

TEST_F(cxFilterDates, TestsUseTheDateOfTheLastChange) {
  SetToday(2024, 3, 13, 0.9);
  auto criteria = MakeTestCriteria();
  auto* field = criteria->AddField("D", "D", "D");
  TcxFilterCriteriaItem* today = criteria->AddItem(nullptr, field, focToday, Null(), "");
  criteria->Records = {{Variant::FromDate(D(2024, 3, 13) + 0.25)}, {Variant::FromDate(D(2024, 3, 14) + 0.1)}};
  EXPECT_TRUE(criteria->EvaluateRecord(0));
  EXPECT_FALSE(criteria->EvaluateRecord(1));
  SetToday(2024, 3, 14, 0.01);  // past midnight: still the earlier day
  EXPECT_TRUE(criteria->EvaluateRecord(0));
  EXPECT_FALSE(criteria->EvaluateRecord(1));
  today->SetDisplayValue("changed");  // a change prepares the operators again
  EXPECT_FALSE(criteria->EvaluateRecord(0));
  EXPECT_TRUE(criteria->EvaluateRecord(1));
}

TEST_F(cxFilterDates, PastFutureAndNullRecords) {
  SetToday(2024, 3, 13, 0.6);
  auto criteria = MakeTestCriteria();
  auto* field = criteria->AddField("D", "D", "D");
  criteria->Records = {{Variant::FromDate(D(2024, 3, 12) + 0.5)}, {Variant::FromDate(D(2024, 3, 13) + 0.7)},
                       {Variant::FromDate(D(2024, 3, 14))},       {Null()},
                       {""},                                       {"abc"}};
  TcxFilterCriteriaItem* item = criteria->AddItem(nullptr, field, focInPast, Null(), "");
  const bool past[] = {true, false, false, false};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(criteria->EvaluateRecord(i), past[i]) << i;
  item->SetOperatorCode(focInFuture);
  const bool future[] = {false, false, true, false};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(criteria->EvaluateRecord(i), future[i]) << i;
  // '' is blank only with fcoSoftNull; otherwise it is compared and cannot be a date.
  EXPECT_THROW(criteria->EvaluateRecord(4), EVariantError);
  criteria->SetOptions({fcoSoftNull});
  EXPECT_FALSE(criteria->EvaluateRecord(4));
  criteria->SetOptions({fcoSoftCompare});
  EXPECT_FALSE(criteria->EvaluateRecord(5));
}

TEST_F(cxFilterDates, ExpressionsAndCaptions) {
  SetToday(2024, 3, 13);
  auto criteria = MakeTestCriteria();
  auto* field = criteria->AddField("D", "Дата"_a, "DATE");
  criteria->SetDateTimeFormat("dd.mm.yyyy");
  TcxFilterCriteriaItem* item = criteria->AddItem(nullptr, field, focToday, Null(), "whatever");
  EXPECT_EQ(criteria->GetItemText(item, false), "(DATE >= '13.03.2024') AND (DATE < '14.03.2024')");
  EXPECT_EQ(orv::AnsiToUtf8(criteria->GetItemText(item, true)), "Дата is today");
  item->SetOperatorCode(focInPast);
  EXPECT_EQ(criteria->GetItemText(item, false), "(DATE < '13.03.2024')");
  item->SetOperatorCode(focInFuture);
  EXPECT_EQ(criteria->GetItemText(item, false), "(DATE >= '14.03.2024')");
}

}  // namespace
