// Filter criteria trees: evaluation of nested groups, options, change reports, texts, removal
// by link, copying; the filter value list.
#include <gtest/gtest.h>

#include "components/data/tests/cxFilterTestFixture.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Strings.h"

using namespace orv::test;

namespace {

// Four fields F0..F3 over one record holding 1, 0, 1, 0: "Fi = 1" is true for F0 and F2.
struct BoolFixture {
  TestCriteriaPtr criteria = MakeTestCriteria();
  BoolFixture() {
    for (int i = 0; i < 4; ++i) criteria->AddField("F" + IntToStr(i), "F" + IntToStr(i), "F" + IntToStr(i));
    criteria->Records = {{1, 0, 1, 0}};
  }
  TObject* TrueField(int n) { return criteria->Field(n % 2 == 0 ? 0 : 2); }
  TObject* FalseField(int n) { return criteria->Field(n % 2 == 0 ? 1 : 3); }
};

TEST(cxFilterCriteria, GroupsCombineTheirChildren) {
  struct Case {
    TcxFilterBoolCode op;
    std::vector<bool> children;
    bool expected;
  } const cases[] = {
      {fbcAnd, {}, true},           {fbcOr, {}, true},            {fbcNotAnd, {}, true},        {fbcNotOr, {}, true},
      {fbcAnd, {true}, true},       {fbcAnd, {false}, false},     {fbcOr, {true}, true},        {fbcOr, {false}, false},
      {fbcNotAnd, {true}, false},   {fbcNotAnd, {false}, true},   {fbcNotOr, {true}, false},    {fbcNotOr, {false}, true},
      {fbcAnd, {true, true}, true}, {fbcAnd, {true, false}, false}, {fbcOr, {false, true}, true},
      {fbcOr, {false, false}, false}, {fbcNotAnd, {true, true}, false}, {fbcNotAnd, {true, false}, true},
      {fbcNotAnd, {false, false}, true}, {fbcNotOr, {true, false}, false}, {fbcNotOr, {false, false}, true},
      {fbcNotOr, {false, true, false}, false}, {fbcNotAnd, {true, true, false}, true},
  };
  for (const Case& c : cases) {
    BoolFixture f;
    f.criteria->GetRoot()->SetBoolOperator(c.op);
    for (std::size_t i = 0; i < c.children.size(); ++i)
      f.criteria->AddItem(nullptr, c.children[i] ? f.TrueField(int(i)) : f.FalseField(int(i)), focEqual, 1, "1");
    EXPECT_EQ(f.criteria->EvaluateRecord(0), c.expected) << "operator " << int(c.op) << ", " << c.children.size();
    // The same group one level down, under an AND root, gives the same answer.
    BoolFixture g;
    TcxFilterCriteriaItemList* group = g.criteria->GetRoot()->AddGroup(c.op);
    for (std::size_t i = 0; i < c.children.size(); ++i)
      g.criteria->AddItem(group, c.children[i] ? g.TrueField(int(i)) : g.FalseField(int(i)), focEqual, 1, "1");
    EXPECT_EQ(g.criteria->EvaluateRecord(0), c.expected) << "nested operator " << int(c.op);
  }
}

TEST(cxFilterCriteria, NestedTreeTextsAndEvaluation) {
  auto criteria = MakeTestCriteria();
  auto* a = criteria->AddField("A", "Страна"_a, "COUNTRY");
  auto* b = criteria->AddField("B", "Город"_a, "CITY");
  auto* c = criteria->AddField("C", "Широта"_a, "LAT");
  criteria->Records = {{"RU", "Moscow", 55.75}, {"RU", "Omsk", 54.98}, {"AU", "Sydney", -33.87}, {Null(), "X", 0}};
  // (COUNTRY = 'RU') AND NOT ((CITY = 'Omsk') OR (LAT < 0)) -> only Moscow
  TcxFilterCriteriaItemList* root = criteria->GetRoot();
  criteria->AddItem(nullptr, a, focEqual, "RU", "RU");
  TcxFilterCriteriaItemList* none = root->AddGroup(fbcNotOr);
  criteria->AddItem(none, b, focEqual, "Omsk", "Omsk");
  criteria->AddItem(none, c, focLess, 0, "0");
  EXPECT_EQ(criteria->GetFilterText(), "(COUNTRY = 'RU') AND (NOT ((CITY = 'Omsk') OR (LAT < 0)))");
  EXPECT_EQ(orv::AnsiToUtf8(criteria->GetFilterCaption()),
            "(Страна = RU) and (not ((Город = Omsk) or (Широта < 0)))");
  const bool expected[] = {true, false, false, false};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(criteria->EvaluateRecord(i), expected[i]) << i;

  // Every child is asked, without short-cuts.
  criteria->DataReads = 0;
  criteria->EvaluateRecord(2);
  EXPECT_EQ(criteria->DataReads, 3);

  root->SetBoolOperator(fbcNotAnd);
  EXPECT_EQ(criteria->GetFilterText(), "NOT ((COUNTRY = 'RU') AND (NOT ((CITY = 'Omsk') OR (LAT < 0))))");
  const bool notAll[] = {false, true, true, true};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(criteria->EvaluateRecord(i), notAll[i]) << i;
}

TEST(cxFilterCriteria, FilterTextsOfTheRootGroup) {
  auto criteria = MakeTestCriteria();
  auto* a = criteria->AddField("A", "A", "A");
  auto* b = criteria->AddField("B", "B", "B");
  EXPECT_EQ(criteria->GetFilterText(), "");
  criteria->GetRoot()->SetBoolOperator(fbcNotOr);
  EXPECT_EQ(criteria->GetFilterText(), "");  // no condition is no filter, whatever the operator
  criteria->GetRoot()->SetBoolOperator(fbcAnd);
  criteria->AddItem(nullptr, a, focEqual, 1, "1");
  criteria->AddItem(nullptr, b, focEqual, 2, "2");
  EXPECT_EQ(criteria->GetFilterText(), "(A = 1) AND (B = 2)");
  criteria->GetRoot()->SetBoolOperator(fbcNotOr);
  EXPECT_EQ(criteria->GetFilterText(), "NOT ((A = 1) OR (B = 2))");
  EXPECT_EQ(criteria->GetFilterCaption(), "not ((A = 1) or (B = 2))");
  criteria->GetRoot()->SetBoolOperator(fbcOr);
  criteria->GetRoot()->AddGroup(fbcAnd);
  EXPECT_EQ(criteria->GetFilterText(), "(A = 1) OR (B = 2) OR ()");
}

TEST(cxFilterCriteria, Options) {
  auto criteria = MakeTestCriteria();
  auto* name = criteria->AddField("N", "N", "N");
  criteria->Records = {{"Smith"}, {Null()}, {""}, {5}};
  TcxFilterCriteriaItem* item = criteria->AddItem(nullptr, name, focEqual, "smith", "smith");
  EXPECT_FALSE(criteria->EvaluateRecord(0));
  criteria->SetOptions({fcoCaseInsensitive});
  EXPECT_TRUE(criteria->EvaluateRecord(0));
  item->SetOperatorCode(focLike);
  item->SetValue("SMI%");
  EXPECT_TRUE(criteria->EvaluateRecord(0));

  // fcoIgnoreNull: a Null record fails every test but the blank tests.
  criteria->SetOptions({});
  item->SetOperatorCode(focNotEqual);
  item->SetValue("x");
  EXPECT_TRUE(criteria->EvaluateRecord(1));
  criteria->SetOptions({fcoIgnoreNull});
  EXPECT_FALSE(criteria->EvaluateRecord(1));
  item->SetValue(Null());  // now the not-blank operator
  item->SetOperatorCode(focEqual);  // and the blank operator
  EXPECT_TRUE(criteria->EvaluateRecord(1));

  // fcoSoftNull: '' is blank, in conditions and in records.
  criteria->SetOptions({fcoSoftNull});
  item->SetValue("");
  EXPECT_EQ(item->GetOperator()->ClassType(), TcxFilterNullOperator::StaticClass());
  EXPECT_TRUE(criteria->EvaluateRecord(1));
  EXPECT_TRUE(criteria->EvaluateRecord(2));
  EXPECT_FALSE(criteria->EvaluateRecord(0));

  // fcoSoftCompare: a comparison the platform cannot make fails the record instead of raising.
  criteria->SetOptions({});
  item->SetOperatorCode(focLess);
  item->SetValue("abc");
  EXPECT_THROW(criteria->EvaluateRecord(3), EVariantError);
  criteria->SetOptions({fcoSoftCompare});
  EXPECT_FALSE(criteria->EvaluateRecord(3));
}

TEST(cxFilterCriteria, ChangesAreReportedOnceWhenUnlocked) {
  auto criteria = MakeTestCriteria();
  auto* f = criteria->AddField("F", "F", "F");
  criteria->WatchChanges();
  criteria->LockChanges();
  for (int i = 0; i < 10; ++i) criteria->AddItem(nullptr, f, focEqual, i, IntToStr(i));
  EXPECT_EQ(criteria->ChangeCount, 0);
  criteria->UnlockChanges();
  EXPECT_EQ(criteria->ChangeCount, 1);

  auto* item = static_cast<TcxFilterCriteriaItem*>(criteria->GetRoot()->GetItem(0));
  item->SetDisplayValue("0");  // unchanged
  item->SetValue(0.0);         // equal by CompareVariants
  item->SetOperatorCode(focEqual);
  criteria->GetRoot()->SetBoolOperator(fbcAnd);
  criteria->SetOptions({});
  EXPECT_EQ(criteria->ChangeCount, 1);
  item->SetDisplayValue("zero");
  item->SetValue(1);
  item->SetOperatorCode(focGreater);
  criteria->SetPercentWildcard('*');
  criteria->SetDateTimeFormat("yyyy");
  EXPECT_EQ(criteria->ChangeCount, 6);
  criteria->SetMaxValueListCount(5);  // reports nothing
  EXPECT_EQ(criteria->ChangeCount, 6);

  criteria->LockChanges();
  item->SetDisplayValue("one");
  criteria->UnlockChangesSilently();
  EXPECT_EQ(criteria->ChangeCount, 6);
  criteria->RemoveAllItems();
  EXPECT_EQ(criteria->ChangeCount, 7);
  EXPECT_TRUE(criteria->IsEmptyCriteria());
}

TEST(cxFilterCriteria, RemovingConditionsTidiesTheirGroups) {
  auto criteria = MakeTestCriteria();
  auto* a = criteria->AddField("A", "A", "A");
  auto* b = criteria->AddField("B", "B", "B");
  auto* c = criteria->AddField("C", "C", "C");
  TcxFilterCriteriaItemList* root = criteria->GetRoot();
  criteria->AddItem(nullptr, a, focEqual, 1, "1");
  TcxFilterCriteriaItemList* lone = root->AddGroup(fbcOr);
  criteria->AddItem(lone, b, focEqual, 2, "2");
  TcxFilterCriteriaItemList* notAll = root->AddGroup(fbcNotAnd);
  criteria->AddItem(notAll, b, focEqual, 3, "3");
  criteria->AddItem(notAll, c, focEqual, 4, "4");
  criteria->AddItem(nullptr, a, focEqual, 5, "5");
  EXPECT_EQ(criteria->GetFilterText(), "(A = 1) AND ((B = 2)) AND (NOT ((B = 3) AND (C = 4))) AND (A = 5)");

  criteria->WatchChanges();
  criteria->RemoveItemsByLink(b);
  // The lone group went with its condition; the NOT AND group was replaced by its remaining
  // child, appended at the end of the root, without the NOT.
  EXPECT_EQ(criteria->GetFilterText(), "(A = 1) AND (A = 5) AND (C = 4)");
  EXPECT_EQ(criteria->ChangeCount, 1);
  criteria->RemoveItemsByLink(b);  // nothing left to remove: no report
  EXPECT_EQ(criteria->ChangeCount, 1);
  EXPECT_EQ(criteria->FindItemForLink(c), criteria->GetRoot()->GetItem(2));
  criteria->RemoveItemsByLink(a);
  EXPECT_EQ(criteria->GetFilterText(), "(C = 4)");

  // Groups emptied inside groups go all the way up.
  TcxFilterCriteriaItemList* outer = root->AddGroup(fbcAnd);
  TcxFilterCriteriaItemList* inner = outer->AddGroup(fbcOr);
  criteria->AddItem(inner, a, focEqual, 6, "6");
  criteria->RemoveItemsByLink(a);
  EXPECT_EQ(root->GetCount(), 1);
  EXPECT_EQ(criteria->FindItemForLink(a), nullptr);
}

TEST(cxFilterCriteria, TreeQueriesAndFreeing) {
  auto criteria = MakeTestCriteria();
  auto* a = criteria->AddField("A", "A", "A");
  TcxFilterCriteriaItemList* root = criteria->GetRoot();
  EXPECT_FALSE(criteria->HasStorableItems());
  EXPECT_EQ(root->GetItem(0), nullptr);
  EXPECT_EQ(root->GetItem(-1), nullptr);
  TcxFilterCriteriaItemList* group = root->AddGroup(fbcOr);
  EXPECT_FALSE(criteria->IsEmptyCriteria());  // an empty subgroup counts
  EXPECT_TRUE(criteria->HasStorableItems());
  TcxFilterCriteriaItem* item = criteria->AddItem(group, a, focEqual, 1, "1");
  EXPECT_EQ(item->GetParent(), group);
  EXPECT_EQ(item->OwnerCriteria(), criteria.get());
  item->Free();
  EXPECT_EQ(group->GetCount(), 0);
  group->Free();
  EXPECT_TRUE(criteria->IsEmptyCriteria());
  root->SetBoolOperator(fbcNotAnd);
  EXPECT_TRUE(criteria->HasStorableItems());
  EXPECT_THROW(criteria->AddItem(nullptr, a, TcxFilterOperatorCode(36), 1, ""), ERangeError);
  EXPECT_EQ(root->GetCount(), 0);
  // The base item class is abstract: a criteria that names no class of its own builds no conditions.
  EXPECT_TRUE(TcxFilterCriteriaItem::StaticClass()->IsAbstract());
}

TEST(cxFilterCriteria, BlankDisplayFill) {
  auto criteria = MakeTestCriteria();
  auto* a = criteria->AddField("A", "A", "A");
  EXPECT_EQ(criteria->AddItem(nullptr, a, focEqual, Null(), "")->GetDisplayValue(), "blank");
  EXPECT_EQ(criteria->AddItem(nullptr, a, focNotNull, 1, "")->GetDisplayValue(), "blank");
  EXPECT_EQ(criteria->AddItem(nullptr, a, focEqual, Null(), "nothing")->GetDisplayValue(), "nothing");
  EXPECT_EQ(criteria->AddItem(nullptr, a, focEqual, 1, "")->GetDisplayValue(), "");
}

TEST(cxFilterCriteria, AssignCopiesPropertiesTreeAndEvents) {
  auto source = MakeTestCriteria();
  auto target = MakeTestCriteria();
  for (auto* c : {source.get(), target.get()}) {
    c->AddField("A", "A", "A");
    c->AddField("B", "B", "B");
  }
  source->SetOptions({fcoCaseInsensitive, fcoSoftCompare});
  source->SetPercentWildcard('*');
  source->SetUnderscoreWildcard('?');
  source->SetDateTimeFormat("dd.mm.yyyy");
  source->SetMaxValueListCount(7);
  source->SetTranslateBetween(true);
  source->SetTranslateLike(true);
  source->SetTranslateIn(true);
  source->SetSupportedLike(false);
  source->WatchChanges();
  source->GetRoot()->SetBoolOperator(fbcOr);
  source->AddItem(nullptr, source->Field(0), focLike, "a*", "a*");
  TcxFilterCriteriaItemList* group = source->GetRoot()->AddGroup(fbcNotOr);
  source->AddItem(group, source->Field(1), focBetween, MakeVariantPair(1, 5), "1;5");

  target->WatchChanges();
  const Integer sourceReports = source->ChangeCount;
  target->Assign(source.get());
  EXPECT_EQ(target->GetOptions(), source->GetOptions());
  EXPECT_EQ(target->GetPercentWildcard(), '*');
  EXPECT_EQ(target->GetUnderscoreWildcard(), '?');
  EXPECT_EQ(target->GetDateTimeFormat(), "dd.mm.yyyy");
  EXPECT_EQ(target->GetMaxValueListCount(), 7);
  EXPECT_TRUE(target->GetTranslateBetween() && target->GetTranslateLike() && target->GetTranslateIn());
  EXPECT_FALSE(target->GetSupportedLike());
  EXPECT_EQ(target->GetFilterText(), source->GetFilterText());
  EXPECT_EQ(target->FindItemForLink(target->Field(1))->GetValue().HighBound(), 1);
  // One report, at the unlock, after the events were copied: the source's handler hears it.
  EXPECT_EQ(target->ChangeCount, 0);
  EXPECT_EQ(source->ChangeCount, sourceReports + 1);
  EXPECT_EQ(target->GetOnChanged(), source->GetOnChanged());
  EXPECT_TRUE(target->HasSameItems(source.get(), false));

  // Copying equal trees, or a criteria onto itself, changes nothing.
  const Integer reports = source->ChangeCount;
  source->AssignItems(source.get());
  source->AssignItems(target.get());
  EXPECT_EQ(source->ChangeCount, reports);

  TStringList list;
  EXPECT_THROW(target->Assign(&list), EConvertError);
}

TEST(cxFilterCriteria, AssignItemsWithoutNamesMatchesByID) {
  auto source = MakeTestCriteria();
  auto target = MakeTestCriteria();
  source->SetStreamVersion(3);
  target->SetStreamVersion(3);
  source->AddField("Price", "Price", "PRICE", 10);
  target->AddField("Cost", "Cost", "COST", 10);  // the same ID under another name
  source->AddItem(nullptr, source->Field(0), focGreater, 5, "5");
  target->AssignItems(source.get(), false);
  EXPECT_TRUE(target->IsEmptyCriteria());  // by name: Price is unknown, Cost is named otherwise
  target->AssignItems(source.get(), true);
  EXPECT_EQ(target->GetFilterText(), "(COST > 5)");
}

// ---- value list ------------------------------------------------------------------------------

struct ValueListFixture {
  TestCriteriaPtr criteria = MakeTestCriteria();
  std::unique_ptr<TcxFilterValueList, orv::FreeDeleter> list{criteria->GetValueListClass().Create(criteria.get())};
  AnsiString Kinds() const {
    AnsiString text;
    for (Integer i = 0; i < list->GetCount(); ++i) {
      const TcxFilterValueItem& e = list->GetEntry(i);
      if (!text.empty()) text += " ";
      text += e.Kind == fvkValue || e.Kind == fvkRecent ? VarToStr(e.Value) : "<" + IntToStr(Integer(e.Kind)) + ">";
    }
    return text;
  }
};

TEST(cxFilterValueList, SortedValuesSpecialEntriesAndRecentValues) {
  ValueListFixture f;
  f.list->AddEntry(fvkValue, 3, false, "3");
  f.list->AddEntry(fvkValue, 1, false, "1");
  f.list->AddEntry(fvkValue, 2, false, "2");
  f.list->AddEntry(fvkValue, 2, false, "2");
  EXPECT_EQ(f.Kinds(), "1 2 3");
  f.list->AddEntry(fvkAll, Null(), false, "(All)");
  f.list->AddEntry(fvkBlanks, Null(), false, "(Blanks)");
  f.list->AddEntry(fvkValue, 9, true, "9");
  f.list->AddEntry(fvkValue, 0, true, "0");  // appended unsorted
  EXPECT_EQ(f.Kinds(), "<0> <2> 1 2 3 9 0");
  f.list->AddEntry(fvkRecent, 7, false, "7");
  f.list->AddEntry(fvkRecent, 8, false, "8");
  EXPECT_EQ(f.Kinds(), "7 8 <7> <0> <2> 1 2 3 9 0");
  EXPECT_EQ(f.list->FindValue(8), 1);
  EXPECT_EQ(f.list->FindItemByValue(2), 6);
  EXPECT_EQ(f.list->FindValue(42), -1);
  EXPECT_EQ(f.list->IndexOfKind(fvkValue, 3), 7);
  EXPECT_EQ(f.list->FirstOfKind(fvkBlanks), 4);
  EXPECT_EQ(f.list->FirstOfKind(fvkNonBlanks), -1);
  f.list->DeleteEntry(0);
  EXPECT_EQ(f.Kinds(), "8 <7> <0> <2> 1 2 3 9 0");
  f.list->RemoveEntries();
  EXPECT_EQ(f.list->GetCount(), 0);
}

TEST(cxFilterValueList, RecentValuesGoAboveASeparator) {
  ValueListFixture f;
  f.list->AddEntry(fvkAll, Null(), false, "(All)");
  f.list->AddEntry(fvkRecent, "A", false, "A");
  f.list->AddEntry(fvkRecent, "B", false, "B");
  EXPECT_EQ(f.Kinds(), "A B <7> <0>");
}

TEST(cxFilterValueList, MaxValueListCountCountsEveryEntry) {
  ValueListFixture f;
  f.criteria->SetMaxValueListCount(3);
  f.list->AddEntry(fvkAll, Null(), false, "(All)");
  f.list->AddEntry(fvkCustom, Null(), false, "(Custom...)");
  for (int v : {5, 4, 3}) f.list->AddEntry(fvkValue, v, false, IntToStr(v));
  EXPECT_EQ(f.Kinds(), "<0> <1> 5");
}

TEST(cxFilterValueList, SortingByDisplayText) {
  ValueListFixture f;
  f.list->SetSortByDisplayText(true);
  f.criteria->SetOptions({fcoCaseInsensitive});
  f.list->AddEntry(fvkValue, 1, false, "b");
  f.list->AddEntry(fvkValue, 2, false, "A");
  EXPECT_EQ(f.list->GetEntry(0).DisplayText, "A");
  EXPECT_EQ(f.list->GetEntry(1).DisplayText, "b");
  // Case-insensitively equal values are one entry.
  f.list->SetSortByDisplayText(false);
  f.list->RemoveEntries();
  f.list->AddEntry(fvkValue, "abc", false, "abc");
  f.list->AddEntry(fvkValue, "ABC", false, "ABC");
  EXPECT_EQ(f.list->GetCount(), 1);
}

TEST(cxFilterValueList, EntryForACondition) {
  ValueListFixture f;
  auto* field = f.criteria->AddField("F", "F", "F");
  for (auto kind : {fvkAll, fvkCustom, fvkBlanks, fvkNonBlanks}) f.list->AddEntry(kind, Null(), false, "");
  for (int v : {10, 20, 30}) f.list->AddEntry(fvkValue, v, false, IntToStr(v));
  auto condition = [&](TcxFilterOperatorCode code, const Variant& value) {
    return f.list->GetIndexForCondition(f.criteria->AddItem(nullptr, field, code, value, VarToStr(value)));
  };
  EXPECT_EQ(f.list->GetIndexForCondition(nullptr), 0);
  EXPECT_EQ(condition(focEqual, Null()), 2);
  EXPECT_EQ(condition(focNotEqual, Null()), 3);
  EXPECT_EQ(condition(focEqual, 20), 5);
  EXPECT_EQ(condition(focEqual, 25), 1);
  EXPECT_EQ(condition(focNotEqual, 5), 1);
  EXPECT_EQ(condition(focNull, Null()), 1);
  f.list->DeleteEntry(1);
  EXPECT_EQ(condition(focLess, 5), -1);  // no (Custom...) entry
}

}  // namespace
