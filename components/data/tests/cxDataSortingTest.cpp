// Rows, sorting, comparison, locating and focus of the unbound controller over a fixture of towns.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string_view>

#include "components/data/tests/DataControllerFixture.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

namespace {

using namespace orv::test;
using Cities = std::vector<std::string>;

TEST(TcxDataControllerRows, LoadedTownsGiveCountRowsInLoadOrder) {
  TControllerPtr c = MakeTownController();
  EXPECT_EQ(c->GetRecordCount(), Integer(Towns().size()));
  EXPECT_EQ(c->GetRowCount(), c->GetRecordCount());
  std::vector<Integer> expected(Towns().size());
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(RowRecords(c.get()), expected);
  EXPECT_EQ(orv::AnsiToUtf8(VarToStr(c->GetValue(3, kCity))), "Киев");
  EXPECT_DOUBLE_EQ(c->GetValue(3, kLat).AsDouble(), 50.4501);
  EXPECT_THROW(c->GetRowInfo(-1), EcxInvalidDataControllerOperation);
  EXPECT_THROW(c->GetRowInfo(c->GetRowCount()), EcxInvalidDataControllerOperation);
}

TEST(TcxDataControllerSorting, OneTextFieldUnderTheRussianCollation) {
  TControllerPtr c = MakeTownController();
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoAnsiSort});
  c->ChangeSorting(kCity, soAscending);
  const Cities ascending = {"Абакан", "Алматы", "Гомель", "Екатеринбург", "Ёлкино", "Ессентуки", "Киев",
                            "Комсомольск-на-Амуре", "Минск", "Москва", "Омск", "Орёл", "Ростов", "Ростов-на-Дону"};
  EXPECT_EQ(RowCities(c.get()), ascending);
  c->ChangeSorting(kCity, soDescending);
  EXPECT_EQ(RowCities(c.get()), Cities(ascending.rbegin(), ascending.rend()));
  EXPECT_EQ(c->GetItemSortOrder(kCity), soDescending);
  EXPECT_EQ(c->GetItemSortIndex(kCity), 0);
  c->ChangeSorting(kCity, soNone);
  EXPECT_EQ(RowCities(c.get())[0], "Москва");  // load order again
}

TEST(TcxDataControllerSorting, WithoutAnsiSortTextComparesByCodes) {
  TControllerPtr c = MakeTownController();
  c->ChangeSorting(kCity, soAscending);
  const Cities rows = RowCities(c.get());
  // "Ё" has a lower code than every other capital letter of the code page.
  EXPECT_EQ(rows.front(), "Ёлкино");
  EXPECT_EQ(rows[1], "Абакан");
}

TEST(TcxDataControllerSorting, SeveralFieldsWithDirectionsAndTieBreaks) {
  TControllerPtr c = MakeTownController();
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoAnsiSort});
  // A second Rostov (record 14) equal to record 7 on both fields.
  c->SetRecordCount(15);
  c->SetValue(14, kCountry, Variant("Россия"_a));
  c->SetValue(14, kCity, Variant("Ростов"_a));
  c->ChangeSorting(kCountry, soAscending);
  c->ChangeSorting(kCity, soDescending);
  EXPECT_EQ(RowRecords(c.get()), (std::vector<Integer>{5, 10,   // Беларусь: Минск, Гомель
                                                       8,       // Казахстан
                                                       6, 7, 14, 1, 2, 0, 13, 12, 11, 4, 9,  // Россия, cities descending
                                                       3}));    // Украина
  // The equal Rostovs keep their load order in a descending sort too.
  c->ChangeSorting(kCountry, soDescending);
  const std::vector<Integer> rows = RowRecords(c.get());
  EXPECT_EQ(rows.front(), 3);
  const auto first = std::find(rows.begin(), rows.end(), 7);
  ASSERT_NE(first, rows.end());
  EXPECT_EQ(*(first + 1), 14);
  // The sort index of an item can move it to the front.
  c->ChangeSortIndex(kCity, 0);
  EXPECT_EQ(c->GetSortingItemIndex(0), kCity);
  EXPECT_EQ(RowRecords(c.get())[0], 6);  // Ростов-на-Дону, then the two Rostovs
  EXPECT_EQ(RowRecords(c.get())[1], 7);
  EXPECT_EQ(RowRecords(c.get())[2], 14);
}

TEST(TcxDataControllerSorting, FloatFieldWithEqualValuesAndNulls) {
  TControllerPtr c = MakeTownController();
  c->SetRecordCount(15);  // record 14 has no latitude
  c->ChangeSorting(kLat, soAscending);
  std::vector<Integer> rows = RowRecords(c.get());
  EXPECT_EQ(rows.front(), 14);  // Null first
  EXPECT_EQ(rows[1], 8);        // Алматы, the southernmost
  EXPECT_EQ(rows.back(), 7);    // Ростов, the northernmost
  // Moscow (0) and Ёлкино (11) share a latitude: load order decides, in both directions.
  auto pos = [&](Integer r) { return std::find(rows.begin(), rows.end(), r) - rows.begin(); };
  EXPECT_EQ(pos(11), pos(0) + 1);
  c->ChangeSorting(kLat, soDescending);
  rows = RowRecords(c.get());
  EXPECT_EQ(rows.front(), 7);
  EXPECT_EQ(rows.back(), 14);
  EXPECT_EQ(pos(11), pos(0) + 1);
}

TEST(TcxDataControllerSorting, EveryStoredTypeSortsByItsValuesWithNullsFirst) {
  // The sort compares number keys made once per sort; the order must be the values' own.
  const TcxValueTypeClass types[] = {TcxIntegerValueType::StaticClass(), TcxSmallintValueType::StaticClass(),
                                     TcxWordValueType::StaticClass(),    TcxLargeIntValueType::StaticClass(),
                                     TcxBooleanValueType::StaticClass(), TcxCurrencyValueType::StaticClass(),
                                     TcxFloatValueType::StaticClass(),   TcxDateTimeValueType::StaticClass(),
                                     TcxStringValueType::StaticClass()};
  std::mt19937 random(5);
  for (const TcxValueTypeClass type : types) {
    SCOPED_TRACE(TClass(type)->ClassName());
    TControllerPtr c(new TTestDataController(nullptr));
    c->AddTestItem(type);
    c->SetRecordCount(300);
    for (Integer i = 0; i < 300; ++i)
      if (random() % 10 != 0) c->SetValue(i, 0, Variant(Integer(random() % 41) - 20 + (TClass(type) == TcxWordValueType::StaticClass() ? 20 : 0)));
    for (const TcxDataSortOrder order : {soAscending, soDescending}) {
      c->ChangeSorting(0, order);
      std::vector<Integer> expected(300);
      std::iota(expected.begin(), expected.end(), 0);
      std::stable_sort(expected.begin(), expected.end(), [&](Integer a, Integer b) {
        const Variant va = c->GetValue(a, 0), vb = c->GetValue(b, 0);
        // Without text options, texts compare code by code, as stored.
        const Integer r = VarIsStr(va) && VarIsStr(vb) ? va.AsString().compare(vb.AsString()) : CompareVariants(va, vb);
        return order == soAscending ? r < 0 : r > 0;
      });
      EXPECT_EQ(RowRecords(c.get()), expected);
    }
  }
}

TEST(TcxDataControllerSorting, CaseInsensitiveWithoutAnsiSortFallsBackToRecordOrder) {
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxStringValueType::StaticClass());
  c->SetRecordCount(4);
  const char* values[] = {"abc", "ABD", "ABC", "abd"};
  for (Integer i = 0; i < 4; ++i) c->SetValue(i, 0, Variant(AnsiString(values[i])));
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoCaseInsensitive});
  c->ChangeSorting(0, soAscending);
  EXPECT_EQ(RowRecords(c.get()), (std::vector<Integer>{0, 2, 1, 3}));
  // Case counts again without the option: ordinal order puts capitals first.
  c->SetOptions(c->GetOptions() - TcxDataControllerOptions{dcoCaseInsensitive});
  EXPECT_EQ(RowRecords(c.get()), (std::vector<Integer>{2, 1, 0, 3}));
}

TEST(TcxDataControllerSorting, CollationAgreesWithAndWithoutSortKeys) {
  // The same order whether the texts are compared through keys (no OnCompare) or one pair at a
  // time (OnCompare applying the same rule), for every combination of the text options.
  struct Handler {
    Integer Calls = 0;
    TcxDataControllerOptions Options;
    void Compare(TcxCustomDataController*, Integer, Integer, Integer, const Variant& v1, const Variant& v2, Integer& result) {
      ++Calls;
      const Cardinal flags = Options.Contains(dcoCaseInsensitive) ? NORM_IGNORECASE : 0;
      result = v1.IsNull() || v2.IsNull() ? CompareVariants(v1, v2)
                                          : CompareString(LOCALE_USER_DEFAULT, flags, v1.AsString(), v2.AsString()) - 2;
    }
  };
  std::mt19937 random(7);
  const char* parts[] = {"ё", "е", "Е", "Ё", "а", "-", "'", "z", "Z", "1", " ", "я", "ь", "ъ"};
  for (const TcxDataControllerOptions options : {TcxDataControllerOptions{dcoAnsiSort},
                                                 TcxDataControllerOptions{dcoAnsiSort, dcoCaseInsensitive}}) {
    TControllerPtr c(new TTestDataController(nullptr));
    c->AddTestItem(TcxStringValueType::StaticClass());
    c->SetOptions(options);
    c->SetRecordCount(400);
    for (Integer i = 0; i < 400; ++i) {
      std::string text;
      for (int n = random() % 5; n >= 0; --n) text += parts[random() % std::size(parts)];
      if (i % 50 != 7) c->SetValue(i, 0, Variant(orv::Utf8ToAnsi(text)));
    }
    c->ChangeSorting(0, soAscending);
    const std::vector<Integer> byKeys = RowRecords(c.get());
    Handler handler{0, options};
    c->SetOnCompare(TcxDataControllerCompareEvent(&handler, &Handler::Compare));
    c->Refresh();
    EXPECT_GT(handler.Calls, 0);
    EXPECT_EQ(RowRecords(c.get()), byKeys);
  }
}

// Texts of up to seven bytes are kept inside the record, longer ones apart: a sort must not
// care. Texts sharing prefixes on both sides of that length, zero bytes and high bytes.
TEST(TcxDataControllerSorting, ShortAndLongTextsSortTogether) {
  const std::string stems[] = {"", "Орё", "Орёл", "Орёл-5", "Орёлово", "Орёловка", "Орёловка-на-Оке",
                               "abcdefg", "abcdefgh", "abcdef", "z", "ZZZZZZZZ"};
  std::vector<std::string> texts;
  for (const std::string& stem : stems) texts.push_back(orv::Utf8ToAnsi(stem));
  texts.push_back(std::string("abc\0efg", 7));
  texts.push_back(std::string("abc\0efgh", 8));
  texts.push_back(std::string(7, '\xFF'));
  texts.push_back(std::string(9, '\xFF'));
  std::mt19937 random(11);
  const Integer count = 200;
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxStringValueType::StaticClass());
  c->SetRecordCount(count);
  for (Integer i = 0; i < count; ++i)
    if (i % 23 != 5) c->SetValue(i, 0, Variant(texts[random() % texts.size()]));
  // By codes: the bytes' own order (unsigned), no value first, equal texts in record order.
  for (const TcxDataSortOrder order : {soAscending, soDescending}) {
    c->ChangeSorting(0, order);
    std::vector<Integer> expected(count);
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(), [&](Integer a, Integer b) {
      const Variant va = c->GetValue(a, 0), vb = c->GetValue(b, 0);
      const Integer r = VarIsStr(va) && VarIsStr(vb) ? va.AsString().compare(vb.AsString()) : CompareVariants(va, vb);
      return order == soAscending ? r < 0 : r > 0;
    });
    EXPECT_EQ(RowRecords(c.get()), expected) << (order == soAscending ? "ascending" : "descending");
  }
  // Under the collation: the keys made once per sort and a comparison per pair agree.
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoAnsiSort});
  c->ChangeSorting(0, soAscending);
  const std::vector<Integer> byKeys = RowRecords(c.get());
  struct Handler {
    void Compare(TcxCustomDataController*, Integer, Integer, Integer, const Variant& v1, const Variant& v2, Integer& result) {
      result = v1.IsNull() || v2.IsNull() ? CompareVariants(v1, v2)
                                          : CompareString(LOCALE_USER_DEFAULT, 0, v1.AsString(), v2.AsString()) - 2;
    }
  } handler;
  c->SetOnCompare(TcxDataControllerCompareEvent(&handler, &Handler::Compare));
  c->Refresh();
  EXPECT_EQ(RowRecords(c.get()), byKeys);
  const Variant first = c->GetValue(byKeys[0], 0);
  EXPECT_TRUE(first.IsNull());
}

TEST(TcxDataControllerSorting, ManyRecordsOfFewTextsSortByTheirBytesThenTheNextFieldThenTheRecord) {
  // Few distinct texts among many records: one text begins another, capitals and small letters,
  // bytes above 0x7F (compared unsigned) and texts longer than eight bytes that differ late.
  const std::vector<std::string> texts = {"Ab",        "A",          "Abc",        "B",  "a",
                                          "\xC0\xE1", "\xFF",       "\x7F",      "AbcdefghXYZ",
                                          "AbcdefghXY", "AbcdefghXYA", "Abcdefgh"};
  TControllerPtr c(new TTestDataController(nullptr));
  const Integer text = c->AddTestItem(TcxStringValueType::StaticClass());
  const Integer number = c->AddTestItem(TcxIntegerValueType::StaticClass());
  const Integer count = 3000;
  std::vector<std::pair<std::string, Integer>> records;
  std::mt19937 random(7);
  c->BeginUpdate();
  c->SetRecordCount(count);
  for (Integer r = 0; r < count; ++r) {
    records.emplace_back(texts[random() % texts.size()], Integer(random() % 5));
    c->SetValue(r, text, Variant(AnsiString(records.back().first)));
    c->SetValue(r, number, Variant(records.back().second));
  }
  c->EndUpdate();
  auto expected = [&](Boolean textDescending, Boolean byNumber) {
    std::vector<Integer> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](Integer a, Integer b) {
      const auto& x = records[std::size_t(a)];
      const auto& y = records[std::size_t(b)];
      const int t = std::string_view(x.first).compare(y.first);  // byte-wise, unsigned
      if (t != 0) return textDescending ? t > 0 : t < 0;
      if (byNumber && x.second != y.second) return x.second > y.second;
      return a < b;
    });
    return order;
  };
  c->ChangeSorting(text, soAscending);
  EXPECT_EQ(RowRecords(c.get()), expected(false, false));
  c->ChangeSorting(text, soDescending);
  EXPECT_EQ(RowRecords(c.get()), expected(true, false));
  c->ChangeSorting(number, soDescending);
  EXPECT_EQ(RowRecords(c.get()), expected(true, true));
  c->ChangeSorting(text, soAscending);
  EXPECT_EQ(RowRecords(c.get()), expected(false, true));
}

TEST(TcxDataControllerSorting, OnCompareDecidesAndZeroKeepsLoadOrder) {
  TControllerPtr c = MakeTownController();
  struct Zero {
    void Compare(TcxCustomDataController*, Integer, Integer, Integer, const Variant&, const Variant&, Integer& r) { r = 0; }
  } zero;
  c->SetOnCompare(TcxDataControllerCompareEvent(&zero, &Zero::Compare));
  c->ChangeSorting(kCity, soAscending);
  std::vector<Integer> expected(Towns().size());
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(RowRecords(c.get()), expected);
}

TEST(TcxDataControllerSorting, ContradictoryComparisonStillEndsWithEveryRecord) {
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxIntegerValueType::StaticClass());
  c->SetRecordCount(3000);
  struct Random {
    std::mt19937 Engine{1};
    void Compare(TcxCustomDataController*, Integer, Integer, Integer, const Variant&, const Variant&, Integer& r) {
      r = Integer(Engine() % 3) - 1;
    }
  } chaos;
  c->SetOnCompare(TcxDataControllerCompareEvent(&chaos, &Random::Compare));
  c->ChangeSorting(0, soAscending);
  std::vector<Integer> rows = RowRecords(c.get());
  std::sort(rows.begin(), rows.end());
  std::vector<Integer> all(3000);
  std::iota(all.begin(), all.end(), 0);
  EXPECT_EQ(rows, all);
  for (Integer r = 0; r < 3000; r += 97) EXPECT_EQ(c->GetRowInfo(c->GetRowIndexByRecordIndex(r, false)).RecordIndex, r);
}

TEST(TcxDataControllerSorting, QuickSortListSortsPointerListsAndSurvivesChaos) {
  std::mt19937 random(3);
  TList list;
  for (NativeInt i = 0; i < 1000; ++i) list.Add(reinterpret_cast<Pointer>(NativeInt(random() % 300)));
  auto byValue = [](void*, Pointer a, Pointer b) -> Integer {
    const NativeInt x = reinterpret_cast<NativeInt>(a), y = reinterpret_cast<NativeInt>(b);
    return x < y ? -1 : x > y ? 1 : 0;
  };
  SortPointerList(&list, 0, list.GetCount() - 1, byValue, nullptr);
  for (Integer i = 1; i < list.GetCount(); ++i)
    EXPECT_LE(reinterpret_cast<NativeInt>(list.Get(i - 1)), reinterpret_cast<NativeInt>(list.Get(i)));
  // Adversarial comparisons: every item "less", every item "greater", at random.
  for (int mode = 0; mode < 3; ++mode) {
    std::vector<Pointer> items(500);
    for (std::size_t i = 0; i < items.size(); ++i) items[i] = reinterpret_cast<Pointer>(NativeInt(i));
    std::mt19937 engine(mode);
    auto chaos = [](void* context, Pointer, Pointer) -> Integer {
      auto* e = static_cast<std::pair<int, std::mt19937*>*>(context);
      return e->first == 0 ? -1 : e->first == 1 ? 1 : Integer((*e->second)() % 3) - 1;
    };
    std::pair<int, std::mt19937*> context{mode, &engine};
    QuickSortList(items.data(), 0, Integer(items.size()) - 1, chaos, &context);
    std::sort(items.begin(), items.end());
    for (std::size_t i = 0; i < items.size(); ++i) ASSERT_EQ(reinterpret_cast<NativeInt>(items[i]), NativeInt(i));
  }
  EXPECT_THROW(SortPointerList(&list, 0, list.GetCount(), byValue, nullptr), EListError);
}

TEST(TcxDataControllerSorting, EditedRecordKeepsItsPlace) {
  TControllerPtr c = MakeTownController();
  c->ChangeSorting(kLat, soAscending);
  const std::vector<Integer> before = RowRecords(c.get());
  TcxCustomDataProvider* provider = c->GetProvider();
  // Record 2 (Омск) is edited; the record of the row below it is its neighbour.
  const Integer row = c->GetRowIndexByRecordIndex(2, false);
  provider->SetEditingRecordIndex(2);
  provider->SetEditingRecordIndex2(before[std::size_t(row) + 1]);
  c->SetValue(2, kLat, Variant(89.0));
  EXPECT_EQ(RowRecords(c.get()), before);
  // The last row edited stays last.
  provider->ResetEditing();
  c->Refresh();
  const std::vector<Integer> sorted = RowRecords(c.get());
  EXPECT_EQ(sorted.back(), 2);
  const Integer last = sorted.back();
  provider->SetEditingRecordIndex(last);
  provider->SetEditingRecordIndex1(sorted[sorted.size() - 2]);
  c->SetValue(last, kLat, Variant(-89.0));
  EXPECT_EQ(RowRecords(c.get()).back(), last);
  provider->ResetEditing();
  c->Refresh();
  EXPECT_EQ(RowRecords(c.get()).front(), last);
}

TEST(TcxDataControllerSorting, SortIndexOfAGroupedItem) {
  TControllerPtr c = MakeTownController();
  TcxCustomDataField* country = c->GetItemField(kCountry);
  c->GetDataControllerInfo()->ChangeGrouping(country, 0);
  EXPECT_EQ(c->GetItemSortOrder(kCountry), soAscending);
  EXPECT_EQ(RowCities(c.get()).front(), "Минск");  // Беларусь first
  c->ChangeSorting(kCountry, soAscending);
  EXPECT_EQ(c->GetItemSortIndex(kCountry), 0);
  c->ChangeSortIndex(kCountry, -1);
  EXPECT_EQ(c->GetItemSortIndex(kCountry), -1);
  EXPECT_EQ(c->GetItemSortOrder(kCountry), soAscending);  // still grouped
}

TEST(TcxDataControllerLocate, ByKeyValuesAndByGroupValues) {
  TControllerPtr c = MakeTownController();
  TcxCustomDataField* country = c->GetItemField(kCountry);
  TcxCustomDataField* city = c->GetItemField(kCity);
  std::unique_ptr<TcxDataControllerKeyLocateObject, orv::FreeDeleter> locate(new TcxDataControllerKeyLocateObject(c.get()));
  EXPECT_EQ(locate->FindRecordIndex(), -1);  // nothing read yet
  TcxValueDefUnboundReader reader;
  reader.SetValue(country->GetValueDef(), Variant("Беларусь"_a));
  reader.SetValue(city->GetValueDef(), Variant("Гомель"_a));
  locate->ReadData(&reader);
  EXPECT_EQ(locate->FindRecordIndex(), -1);  // no key fields
  locate->KeyFields() = {country, city};
  EXPECT_EQ(locate->FindRecordIndex(), 10);
  reader.SetValue(city->GetValueDef(), Variant("Минск"_a));
  locate->ReadData(&reader);
  EXPECT_EQ(locate->FindRecordIndex(), 5);
  // Under the collation, a different case of the key still differs; ignoring case finds it.
  reader.SetValue(city->GetValueDef(), Variant("МИНСК"_a));
  locate->ReadData(&reader);
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoAnsiSort});
  EXPECT_EQ(locate->FindRecordIndex(), -1);
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoCaseInsensitive});
  EXPECT_EQ(locate->FindRecordIndex(), 5);
  // A truncated reader leaves the city null: no town has none.
  reader.Truncate(1);
  locate->ReadData(&reader);
  EXPECT_EQ(locate->FindRecordIndex(), -1);
  locate->Clear();
  EXPECT_EQ(locate->FindRecordIndex(), -1);

  // Group values: the first record of a country in the sorted rows.
  c->GetDataControllerInfo()->ChangeGrouping(country, 0);
  std::unique_ptr<TcxDataControllerGroupLocateObject, orv::FreeDeleter> group(new TcxDataControllerGroupLocateObject(c.get()));
  TcxValueDefUnboundReader groupReader;
  groupReader.SetValue(country->GetValueDef(), Variant("Казахстан"_a));
  group->ReadData(&groupReader);
  group->SetLevel(0);
  EXPECT_EQ(group->FindRecordIndex(), 8);
  groupReader.SetValue(country->GetValueDef(), Variant("Франция"_a));
  group->ReadData(&groupReader);
  EXPECT_EQ(group->FindRecordIndex(), -1);
}

TEST(TcxDataControllerFocus, NavigationRules) {
  TControllerPtr c = MakeTownController();
  const Integer last = c->GetRowCount() - 1;
  EXPECT_EQ(c->GetFocusedRowIndex(), -1);
  EXPECT_EQ(c->GetFocusedRecordIndex(), -1);
  EXPECT_FALSE(c->IsBOF());
  EXPECT_FALSE(c->IsEOF());
  c->GotoNext();  // from no row: the first
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  EXPECT_TRUE(c->IsBOF());
  c->GotoPrev();
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  c->MoveBy(5);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 5);
  c->MoveBy(1000);
  EXPECT_EQ(c->GetFocusedRowIndex(), last);
  EXPECT_TRUE(c->IsEOF());
  c->FocusNextRow();
  EXPECT_EQ(c->GetFocusedRowIndex(), last);
  c->MoveFocusBy(-1000);
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  c->GotoLast();
  c->FocusPreviousRow();
  EXPECT_EQ(c->GetFocusedRowIndex(), last - 1);
  c->ChangeFocusedRowIndex(-1);
  EXPECT_EQ(c->GetFocusedRowIndex(), -1);
  // Single selection: the focused row is the selection.
  EXPECT_EQ(c->GetSelectedCount(), 0);
  c->ChangeFocusedRecordIndex(9);
  EXPECT_EQ(c->GetSelectedCount(), 1);
  EXPECT_EQ(c->GetSelectedRowIndex(0), 9);
  EXPECT_EQ(c->GetSelectedRowIndex(1), -1);

  std::unique_ptr<TTestDataController, orv::FreeDeleter> empty(new TTestDataController(nullptr));
  EXPECT_TRUE(empty->IsBOF());
  EXPECT_TRUE(empty->IsEOF());
  empty->GotoFirst();
  EXPECT_EQ(empty->GetFocusedRowIndex(), -1);
}

TEST(TcxDataControllerFocus, FollowsTheRecordThroughSortsAndFilters) {
  TControllerPtr c = MakeTownController();
  c->ChangeFocusedRecordIndex(3);  // Киев
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoAnsiSort});
  c->ChangeSorting(kCity, soAscending);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 3);
  EXPECT_EQ(c->GetFocusedRowIndex(), 6);
  // A filter that removes the focused record focuses the first row.
  struct Filter {
    void Accept(TcxCustomDataController* dc, Integer record, Boolean& accept) {
      accept = VarToStr(dc->GetValue(record, kCountry)) != "Украина"_a;
    }
  } filter;
  c->SetOnFilterRecord(TcxDataFilterRecordEvent(&filter, &Filter::Accept));
  EXPECT_EQ(c->GetRowCount(), Integer(Towns().size()) - 1);
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 9);  // Абакан
  EXPECT_EQ(c->GetRowIndexByRecordIndex(3, true), -1);
  // Focus at the top after a change of sorting.
  c->ChangeFocusedRecordIndex(0);
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoFocusTopRowAfterSorting});
  c->ChangeSorting(kCity, soDescending);
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  EXPECT_EQ(orv::AnsiToUtf8(VarToStr(c->GetValue(c->GetFocusedRecordIndex(), kCity))), "Ростов-на-Дону");
}

TEST(TcxDataControllerRows, FilterKeepsTheEditedRecordAndMapsRecordsToRows) {
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxIntegerValueType::StaticClass());
  c->SetRecordCount(5);
  struct Filter {
    std::vector<Integer> Seen;
    void Accept(TcxCustomDataController*, Integer record, Boolean& accept) {
      Seen.push_back(record);
      accept = record != 1 && record != 3;
    }
  } filter;
  // A filter change gives up an open edit, so the edit starts after it.
  c->SetOnFilterRecord(TcxDataFilterRecordEvent(&filter, &Filter::Accept));
  c->GetProvider()->SetEditingRecordIndex(3);
  filter.Seen.clear();
  c->Refresh();
  EXPECT_EQ(RowRecords(c.get()), (std::vector<Integer>{0, 2, 3, 4}));
  EXPECT_EQ(filter.Seen, (std::vector<Integer>{4, 2, 1, 0}));  // last to first; the edited one is not asked
  c->GetProvider()->ResetEditing();

  // Record-to-row lookups agree with a search of the rows after random filters and sorts.
  std::mt19937 random(11);
  c->SetOnFilterRecord(nullptr);
  c->SetRecordCount(2000);
  for (Integer i = 0; i < 2000; ++i) c->SetValue(i, 0, Variant(Integer(random() % 100)));
  struct Modulo {
    Integer M = 3;
    void Accept(TcxCustomDataController* dc, Integer record, Boolean& accept) { accept = dc->GetValue(record, 0).AsInteger() % M != 0; }
  } modulo;
  c->SetOnFilterRecord(TcxDataFilterRecordEvent(&modulo, &Modulo::Accept));
  c->ChangeSorting(0, soDescending);
  const std::vector<Integer> rows = RowRecords(c.get());
  for (Integer r = 0; r < 2000; ++r) {
    const auto it = std::find(rows.begin(), rows.end(), r);
    const Integer expected = it == rows.end() ? -1 : Integer(it - rows.begin());
    ASSERT_EQ(c->GetRowIndexByRecordIndex(r, false), expected) << r;
    ASSERT_EQ(c->GetFilteredIndexOfRecord(r), expected);
  }
  // Walking every record with the focus following it.
  for (Integer r = 0; r < 2000; ++r) {
    c->ChangeFocusedRecordIndex(r);
    ASSERT_EQ(c->GetFocusedRecordIndex(), c->GetRowIndexByRecordIndex(r, false) == -1 ? -1 : r);
  }
}

TEST(TcxDataControllerRows, MultiSelectionFollowsRowsAcrossASort) {
  TControllerPtr c = MakeTownController();
  c->SetMultiSelect(true);
  c->ChangeRowSelection(2, true);
  c->ChangeRowSelection(5, true);
  EXPECT_EQ(c->GetSelectedCount(), 2);
  c->SetOptions(c->GetOptions() + TcxDataControllerOptions{dcoAnsiSort});
  c->ChangeSorting(kCity, soAscending);
  // Омск (record 2) and Минск (record 5) keep their selection in their new rows.
  EXPECT_EQ(c->GetSelectedCount(), 2);
  EXPECT_TRUE(c->IsRowSelected(c->GetRowIndexByRecordIndex(2, false)));
  EXPECT_TRUE(c->IsRowSelected(c->GetRowIndexByRecordIndex(5, false)));
  EXPECT_LT(c->GetSelectedRowIndex(0), c->GetSelectedRowIndex(1));
  c->SetRecordCount(3);  // records 5 and beyond go
  EXPECT_EQ(c->GetSelectedCount(), 1);
  c->SetMultiSelect(false);
  EXPECT_EQ(c->GetSelection()->Count(), 0);
}

}  // namespace
