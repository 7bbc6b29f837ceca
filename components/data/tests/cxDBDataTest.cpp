// The dataset-bound controller over the program's table component: binding items to the
// table's fields, the reload after every search of the program (the fixture towns and the
// bundled table, checked against the conditions evaluated here), focus that follows the dataset
// and moves it, two controllers over one table, closed and silenced datasets, keys.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "components/data/tests/DBDataFixture.h"
#include "platform/runtime/SysUtils.h"

namespace {

using namespace orv::test;
using Ids = std::vector<Integer>;

Integer CurrentRecordId(TDataSet* dataSet) { return dataSet->FieldByName("ID")->GetAsInteger(); }

Integer FocusedRecordId(TcxCustomDataController* controller) {
  const Integer record = controller->GetFocusedRecordIndex();
  return record < 0 ? -1 : controller->GetValue(record, kFieldId).AsInteger();
}

// The focused row is the dataset's current record, and the provider counts it right.
void ExpectInStep(TTestDBDataController* controller, TDataSet* dataSet, const std::string& what) {
  ASSERT_GE(controller->GetFocusedRowIndex(), 0) << what;
  EXPECT_EQ(FocusedRecordId(controller), CurrentRecordId(dataSet)) << what;
  EXPECT_EQ(controller->GetDBProvider()->GetCurrentRecordIndex(), controller->GetFocusedRecordIndex()) << what;
}

TEST(cxDBDataFieldRoutines, ValueTypesTextsAndNames) {
  struct TField_ : TField {
    explicit TField_(TFieldType type) : TField(nullptr) { SetDataTypeInternal(type); }
  };
  const struct {
    TFieldType Type;
    TClass Expected;
  } types[] = {
      {ftString, TcxStringValueType::StaticClass()},     {ftSmallint, TcxSmallintValueType::StaticClass()},
      {ftInteger, TcxIntegerValueType::StaticClass()},   {ftAutoInc, TcxIntegerValueType::StaticClass()},
      {ftWord, TcxWordValueType::StaticClass()},         {ftBoolean, TcxBooleanValueType::StaticClass()},
      {ftFloat, TcxFloatValueType::StaticClass()},       {ftCurrency, TcxFloatValueType::StaticClass()},
      {ftBCD, TcxCurrencyValueType::StaticClass()},      {ftDate, TcxDateTimeValueType::StaticClass()},
      {ftTime, TcxDateTimeValueType::StaticClass()},     {ftDateTime, TcxDateTimeValueType::StaticClass()},
      {ftWideString, TcxWideStringValueType::StaticClass()}, {ftLargeint, TcxLargeIntValueType::StaticClass()},
      {ftTimeStamp, TcxSQLTimeStampValueType::StaticClass()}, {ftFMTBcd, TcxFMTBcdValueType::StaticClass()},
      {ftFixedChar, TcxVariantValueType::StaticClass()},  {ftMemo, TcxVariantValueType::StaticClass()},
  };
  for (const auto& t : types) {
    auto* field = new TField_(t.Type);
    EXPECT_EQ(TClass(GetFieldValueTypeClass(field)), t.Expected) << int(t.Type);
    field->Free();
  }
  EXPECT_EQ(TClass(GetFieldValueTypeClass(nullptr)), TClass(TcxStringValueType::StaticClass()));

  // Currency floats keep their display texts unless they have a display format; then they are
  // no currency fields either.
  auto* money = new TCurrencyField(nullptr);
  EXPECT_TRUE(IsCurrencyField(money));
  EXPECT_TRUE(IsFieldDisplayTextStored(money, false));
  money->SetDisplayFormat("0.00");
  EXPECT_FALSE(IsCurrencyField(money));
  EXPECT_TRUE(IsFieldDisplayTextStored(money, false));
  money->Free();
  auto* plain = new TFloatField(nullptr);
  EXPECT_FALSE(IsCurrencyField(plain));
  EXPECT_FALSE(IsFieldDisplayTextStored(plain, true));
  plain->SetEditMask("0.0");
  EXPECT_TRUE(IsFieldDisplayTextStored(plain, false));
  plain->Free();
  auto* flag = new TBooleanField(nullptr);
  EXPECT_TRUE(IsFieldDisplayTextStored(flag, true));
  EXPECT_FALSE(IsFieldDisplayTextStored(flag, false));
  flag->Free();

  // Names in filter texts.
  auto* city = new TStringField(nullptr);
  city->SetFieldName("CITY");
  EXPECT_EQ(GetFilterFieldName(city, true), "CITY");
  city->SetFieldName("TOWN NAME");
  EXPECT_EQ(GetFilterFieldName(city, true), "[TOWN NAME]");
  city->SetOrigin("T.TOWN NAME");
  EXPECT_EQ(GetFilterFieldName(city, false), "T.TOWN NAME");
  EXPECT_EQ(GetFilterFieldName(city, true), "[TOWN NAME]");
  city->Free();
  EXPECT_EQ(GetFilterFieldName(nullptr, true), "");
  for (const char* name : {"_a1", "Lon", "a_b"}) {
    AnsiString quoted = name;
    QuoteFieldName(quoted);
    EXPECT_EQ(quoted, name);
  }
  for (const char* name : {"1a", "a b", "", "a-b"}) {
    AnsiString quoted = name;
    QuoteFieldName(quoted);
    EXPECT_EQ(quoted, AnsiString("[") + name + "]");
  }

  EXPECT_TRUE(SameFieldName("city", "CITY"));
  EXPECT_TRUE(SameFieldName("город"_a, "ГОРОД"_a));
  EXPECT_FALSE(SameFieldName("CITY", "CITY2"));
  EXPECT_EQ(GetFieldNameCount(" ID ; CITY;"), 2);
  EXPECT_FALSE(HasSeveralFieldNames("ID"));
  EXPECT_TRUE(HasSeveralFieldNames("ID;CITY"));
  TStringList list;
  SplitFieldNames(" COUNTRY ;CITY", &list);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.Get(0), "COUNTRY");
  EXPECT_EQ(list.Get(1), "CITY");
}

TEST(cxDBDataController, BindsItemsToTheTableFieldsAndLoadsEveryRecordInFileOrder) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);

  EXPECT_EQ(controller->LoadCount, 1);
  const Ids all = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15};
  EXPECT_EQ(RecordIds(controller.get()), all);
  EXPECT_EQ(controller->GetRecordCount(), 14);
  EXPECT_EQ(controller->GetRowCount(), 14);
  EXPECT_EQ(controller->GetDataSetRecordCount(), 15);  // the header counts the deleted town

  EXPECT_EQ(controller->GetItemField(kFieldCity), table->FieldByName("CITY"));
  EXPECT_EQ(controller->GetItemFieldName(kFieldLat), "LAT");
  EXPECT_EQ(TClass(controller->GetItemValueTypeClass(kFieldId)), TClass(TcxIntegerValueType::StaticClass()));
  EXPECT_EQ(TClass(controller->GetItemValueTypeClass(kFieldCity)), TClass(TcxStringValueType::StaticClass()));
  EXPECT_EQ(TClass(controller->GetItemValueTypeClass(kFieldLat)), TClass(TcxFloatValueType::StaticClass()));
  // A bound item keeps its field's type.
  controller->SetItemValueTypeClass(kFieldLat, TcxStringValueType::StaticClass());
  EXPECT_EQ(TClass(controller->GetItemValueTypeClass(kFieldLat)), TClass(TcxFloatValueType::StaticClass()));
  EXPECT_EQ(controller->GetItemByFieldName("city"), controller->GetItem(kFieldCity));
  EXPECT_EQ(controller->GetItemByFieldName("TOWN"), nullptr);
  EXPECT_THROW(controller->GetItemField(11), EcxInvalidDataControllerOperation);

  EXPECT_EQ(controller->GetValue(0, kFieldCity).AsString(), "Москва"_a);
  EXPECT_EQ(controller->GetValue(0, kFieldGDolg).AsString(), "37в37"_a);
  EXPECT_DOUBLE_EQ(controller->GetValue(0, kFieldLat).AsDouble(), 55.7558);
  EXPECT_TRUE(controller->GetValue(10, kFieldLat).IsNull()) << "Тверь has no latitude";
  EXPECT_EQ(controller->GetDisplayText(13, kFieldCity), "Омск"_a);

  // The focus is on the dataset's current record.
  ExpectInStep(controller.get(), table, "after opening");
  EXPECT_EQ(controller->GetFocusedRowIndex(), 0);

  // Two items bound to one field share its storage; renaming one hands the storage over.
  const Integer second = controller->AddFieldItem("city");
  EXPECT_EQ(controller->LoadCount, 1) << "a shared column needs no reload";
  EXPECT_EQ(controller->GetValue(2, second).AsString(), "Киев"_a);
  controller->ChangeItemFieldName(kFieldCity, "COUNTRY");
  EXPECT_EQ(controller->GetValue(2, kFieldCity).AsString(), "Украина"_a);
  EXPECT_EQ(controller->GetValue(2, second).AsString(), "Киев"_a);
  EXPECT_EQ(controller->GetItemField(second), table->FieldByName("CITY"));
  // An item bound to no field of the table holds nothing of it.
  const Integer unknown = controller->AddFieldItem("POPULATION");
  EXPECT_EQ(controller->GetItemField(unknown), nullptr);
  EXPECT_EQ(RecordIds(controller.get()), all);
}

// The program's searches on the fixture towns, as the dataset's own tests run them.
struct TSearchCase {
  const char* What;
  std::vector<AnsiString> Pieces;
  Ids Expected;
};

const std::vector<TSearchCase>& FixtureSearches() {
  static const std::vector<TSearchCase> searches = {
      {"east 30, north 50", {"(lon >= 25) and (lon <= 35) and", "(lat >= 45", ") and (lat <= 55)"}, {3, 4}},
      {"east 2, north 3: longitude around 0",
       {"(((lon >= 357) and (lon <= 360))", " or ((lon <= 7) and (lon >= 0))) and", "(lat + 2 >= 0", ") and (lat <= 8)"},
       {6, 7}},
      {"west 30, south 40: nothing", {"(lon >= 325) and (lon <= 335) and", "(lat + 45 >= 0", ") and (lat + 35 <= 0)"}, {}},
      {"ecliptic 55, 38", {"(EclLon >= 54) and (EclLon <= 56) and", "(EclLat - 37 >= 0", ") and (EclLat - 39 <= 0)"}, {1, 13}},
      {"country", {"(country = 'Россия*')"_a}, {1, 2, 12, 13, 15}},
      {"country and town", {"(country = 'Россия*')"_a, " and ", "(city = 'Москва*')"_a}, {1}},
      {"town alone", {"(city = 'Сан-Паулу*')"_a}, {14}},
      {"both lists on *: no filter", {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15}},
  };
  return searches;
}

// The grid's lock around a search: every reload happens inside it, the change reaches the owner
// once, when the lock ends, and the count is the accepted records'.
TEST(cxDBDataController, SearchReloadsExactlyTheAcceptedRecordsAndReportsOnceAtTheUnlock) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);
  Integer dataNotices = 0;
  struct TCounter {
    Integer* Count;
    void Notice(TcxUpdateControlInfo* info) {
      if (info->InheritsFrom(TcxDataChangedInfo::StaticClass())) ++*Count;
    }
  } counter{&dataNotices};
  controller->SetOnUpdateControl(TcxUpdateControlEvent(&counter, &TCounter::Notice));

  for (const TSearchCase& s : FixtureSearches()) {
    dataNotices = 0;
    controller->BeginUpdate();
    Search(table, s.Pieces);
    EXPECT_EQ(dataNotices, 0) << s.What;
    controller->EndUpdate();
    EXPECT_EQ(dataNotices, 1) << s.What;
    EXPECT_EQ(controller->GetRecordCount(), Integer(s.Expected.size())) << s.What;
    EXPECT_EQ(RecordIds(controller.get()), s.Expected) << s.What;
    if (s.Expected.empty()) {
      EXPECT_EQ(controller->GetFocusedRowIndex(), -1) << s.What;
    } else {
      EXPECT_EQ(controller->GetFocusedRowIndex(), 0) << s.What;
      ExpectInStep(controller.get(), table, s.What);
    }
  }
  // Searches without the grid's lock give the same.
  for (const TSearchCase& s : FixtureSearches()) {
    Search(table, s.Pieces);
    EXPECT_EQ(RecordIds(controller.get()), s.Expected) << s.What;
  }
  controller->SetOnUpdateControl(TcxUpdateControlEvent());
}

// Refreshes deferred around a search: the filter's pieces each change the dataset, yet the
// controller loads once, at the last end, and then holds what the finished filter lets through.
TEST(cxDBDataController, DeferredRefreshesMakeOneReloadPerSearch) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);
  const TSearchCase& box = FixtureSearches()[0];
  const TSearchCase& country = FixtureSearches()[4];

  // Undeferred, the same search reloads on every step (what the deferral saves).
  controller->LoadCount = 0;
  Search(table, box.Pieces);
  EXPECT_GT(controller->LoadCount, 1);
  EXPECT_EQ(RecordIds(controller.get()), box.Expected);

  for (const TSearchCase* s : {&country, &box, &FixtureSearches()[7], &FixtureSearches()[2]}) {
    const Ids before = RecordIds(controller.get());
    controller->LoadCount = 0;
    controller->BeginDeferDataSetRefresh();
    controller->BeginDeferDataSetRefresh();  // nested
    Search(table, s->Pieces);
    EXPECT_EQ(controller->LoadCount, 0) << s->What;
    EXPECT_EQ(RecordIds(controller.get()), before) << s->What << ": the old data until the end";
    controller->EndDeferDataSetRefresh();
    EXPECT_EQ(controller->LoadCount, 0) << s->What;
    controller->EndDeferDataSetRefresh();
    EXPECT_EQ(controller->LoadCount, 1) << s->What;
    EXPECT_EQ(RecordIds(controller.get()), s->Expected) << s->What;
    if (!s->Expected.empty()) ExpectInStep(controller.get(), table, s->What);
  }

  // Nothing changed: no reload at the end; an end too many does nothing.
  controller->LoadCount = 0;
  controller->BeginDeferDataSetRefresh();
  controller->EndDeferDataSetRefresh();
  controller->EndDeferDataSetRefresh();
  EXPECT_EQ(controller->LoadCount, 0);

  // The dataset closed while deferred: empty at once, and nothing held for the end; opened again
  // while deferred: loaded as it opens.
  controller->BeginDeferDataSetRefresh();
  Search(table, country.Pieces);
  table->Close();
  EXPECT_EQ(controller->GetRecordCount(), 0);
  controller->EndDeferDataSetRefresh();
  EXPECT_EQ(controller->GetRecordCount(), 0);
  controller->BeginDeferDataSetRefresh();
  table->Open();
  EXPECT_EQ(RecordIds(controller.get()), country.Expected);
  controller->EndDeferDataSetRefresh();
  EXPECT_EQ(RecordIds(controller.get()), country.Expected);
  ExpectInStep(controller.get(), table, "opened while deferred");
}

// The bundled table: what the controller holds after each search is exactly what the search's
// condition, evaluated here on the values of the unfiltered load, accepts, in file order.
TEST(cxDBDataController, SearchesOfTheBundledTableMatchTheirConditions) {
  auto town = OpenBundledTownTable();
  TDBControllerPtr controller = MakeTownController(town->Source);
  const Integer total = controller->GetRecordCount();
  ASSERT_GT(total, 11000);
  struct TRow {
    Integer Id;
    AnsiString Country, City;
    Variant Lon, Lat, EclLon, EclLat;
  };
  std::vector<TRow> rows;
  for (Integer r = 0; r < total; ++r)
    rows.push_back({controller->GetValue(r, kFieldId).AsInteger(), controller->GetValue(r, kFieldCountry).AsString(),
                    controller->GetValue(r, kFieldCity).AsString(), controller->GetValue(r, kFieldLon),
                    controller->GetValue(r, kFieldLat), controller->GetValue(r, kFieldEclLon), controller->GetValue(r, kFieldEclLat)});
  auto between = [](const Variant& v, double lo, double hi) { return !v.IsNull() && v.AsDouble() >= lo && v.AsDouble() <= hi; };
  const struct {
    const char* What;
    std::vector<AnsiString> Pieces;
    bool (*Accepts)(const TRow&, decltype(between));
  } searches[] = {
      {"Moscow, tolerances 5",
       {"(lon >= 32) and (lon <= 42) and", "(lat >= 50", ") and (lat <= 60)"},
       [](const TRow& t, decltype(between) in) { return in(t.Lon, 32, 42) && in(t.Lat, 50, 60); }},
      {"around longitude 0",
       {"(((lon >= 357) and (lon <= 360))", " or ((lon <= 7) and (lon >= 0))) and", "(lat >= 45", ") and (lat <= 55)"},
       [](const TRow& t, decltype(between) in) {
         return (in(t.Lon, 357, 360) || in(t.Lon, 0, 7)) && in(t.Lat, 45, 55);
       }},
      {"ecliptic south",
       {"(EclLon >= 300) and (EclLon <= 320) and", "(EclLat + 15 >= 0", ") and (EclLat + 5 <= 0)"},
       [](const TRow& t, decltype(between) in) { return in(t.EclLon, 300, 320) && in(t.EclLat, -15, -5); }},
      {"country Россия",
       {"(country = 'Россия*')"_a},
       [](const TRow& t, decltype(between)) { return t.Country.rfind("Россия"_a, 0) == 0; }},
      {"town Нов",
       {"(city = 'Нов*')"_a},
       [](const TRow& t, decltype(between)) { return t.City.rfind("Нов"_a, 0) == 0; }},
  };
  bool first = true;
  for (const auto& s : searches) {
    Ids expected;
    for (const TRow& t : rows)
      if (s.Accepts(t, between)) expected.push_back(t.Id);
    ASSERT_FALSE(expected.empty()) << s.What;
    controller->BeginUpdate();
    if (first) {
      // The program's frame once (every piece reloads the unfiltered table); then the whole text
      // at once, which reloads only the accepted records.
      Search(town->Table, s.Pieces);
      first = false;
    } else {
      AnsiString text;
      for (const AnsiString& piece : s.Pieces) text += piece;
      town->Table->SetFilter(text);
    }
    controller->EndUpdate();
    EXPECT_EQ(controller->GetRecordCount(), Integer(expected.size())) << s.What;
    EXPECT_EQ(RecordIds(controller.get()), expected) << s.What;
    ExpectInStep(controller.get(), town->Table, s.What);
  }
}

// Random walks: moves of the dataset and moves of the controller's focus, interleaved, on the
// fixture and on the bundled table filtered to one country.
TEST(cxDBDataController, FocusAndDatasetCursorStayInStepOnRandomWalks) {
  TFixtureTownTable fixture;
  auto bundled = OpenBundledTownTable();
  Search(bundled->Table, {"(country = 'Россия*')"_a});
  for (TTownTable* town : {fixture.Town.get(), bundled.get()}) {
    TDsDbfTable* table = town->Table;
    TDBControllerPtr controller = MakeTownController(town->Source);
    const Integer count = controller->GetRowCount();
    ASSERT_GT(count, 10);
    std::mt19937 random(19);
    const int steps = town == bundled.get() ? 150 : 400;
    for (int step = 0; step < steps; ++step) {
      const int kind = int(random() % 12);
      const Integer distance = Integer(random() % 7) - 3;
      const Integer row = Integer(random() % std::uint32_t(count));
      switch (kind) {
        case 0: table->Next(); break;
        case 1: table->Prior(); break;
        case 2: table->MoveBy(distance * 5); break;
        case 3: table->First(); break;
        case 4: table->Last(); break;
        case 5: table->Locate("ID", controller->GetValue(row, kFieldId), {}); break;
        case 6: controller->GotoNext(); break;
        case 7: controller->GotoPrev(); break;
        case 8: controller->MoveBy(distance * 4); break;
        case 9: controller->ChangeFocusedRowIndex(row); break;
        case 10: controller->GotoFirst(); break;
        default: controller->GotoLast(); break;
      }
      ExpectInStep(controller.get(), table, "step " + std::to_string(step) + " kind " + std::to_string(kind));
      if (HasFailure()) return;
    }
    // The focus moved the dataset where it was asked to.
    controller->ChangeFocusedRowIndex(count / 2);
    EXPECT_EQ(controller->GetFocusedRowIndex(), count / 2);
    EXPECT_EQ(CurrentRecordId(table), controller->GetValue(count / 2, kFieldId).AsInteger());
  }
}

// A reload keeps the dataset's current record focused, and a search that drops the focused
// record leaves focus and cursor together on the new first record.
TEST(cxDBDataController, ReloadKeepsTheCurrentRecordAndNeverPartsFocusAndCursor) {
  auto town = OpenBundledTownTable();
  TDsDbfTable* table = town->Table;
  TDBControllerPtr controller = MakeTownController(town->Source);
  controller->ChangeFocusedRowIndex(500);
  ExpectInStep(controller.get(), table, "row 500");
  const Integer id500 = CurrentRecordId(table);

  // A data-set change that keeps the record (a refresh) keeps the focus on it.
  table->Refresh();
  EXPECT_EQ(controller->GetFocusedRowIndex(), 500);
  EXPECT_EQ(FocusedRecordId(controller.get()), id500);
  ExpectInStep(controller.get(), table, "after refresh");

  // A search that excludes the focused town.
  const AnsiString country = controller->GetValue(500, kFieldCountry).AsString();
  Search(table, {"(country = 'Австралия*')"_a});
  ASSERT_GT(controller->GetRecordCount(), 10);
  ASSERT_NE(RecordIds(controller.get()), Ids{});
  for (Integer id : RecordIds(controller.get())) ASSERT_NE(id, id500);
  ExpectInStep(controller.get(), table, "after the search");
  controller->GotoNext();
  ExpectInStep(controller.get(), table, "focus moved after the search");
  table->MoveBy(3);
  ExpectInStep(controller.get(), table, "dataset moved after the search");

  // An empty result, then records again (the filter stays on, only its text changes).
  table->SetFilter("(city = 'Ъ*')"_a);
  EXPECT_EQ(controller->GetRecordCount(), 0);
  EXPECT_EQ(controller->GetFocusedRowIndex(), -1);
  table->SetFilter("(country = '"_a + country + "*')");
  ExpectInStep(controller.get(), table, "after the empty search");
  controller->MoveBy(7);
  ExpectInStep(controller.get(), table, "moved after the empty search");
  EXPECT_EQ(controller->GetFocusedRowIndex(), 7);
}

// Two controllers over one table (a grid and a pick list, say): each reloads once per change;
// the echo of one controller's reading waits for that reading to end and then only makes the
// other check its focus.
TEST(cxDBDataController, TwoControllersOverOneTableWaitForEachOther) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  auto* secondSource = new TDataSource(fixture.Town->Owner.get());
  secondSource->SetDataSet(table);
  TDBControllerPtr first = MakeTownController(fixture.Town->Source);
  TDBControllerPtr second = MakeTownController(secondSource);
  first->LoadCount = second->LoadCount = 0;
  first->ListenersAtLoadEnd.clear();
  second->ListenersAtLoadEnd.clear();

  // While one reads, the other is never reloaded.
  struct TWatch {
    TTestDBDataController* Other;
    Integer LoadsWhileOtherFrozen = 0;
    void Changed(TObject*) {
      if (Other->IsProviderFrozen()) ++LoadsWhileOtherFrozen;
    }
  } watchFirst{second.get()}, watchSecond{first.get()};
  first->SetOnDataChanged(TNotifyEvent(&watchFirst, &TWatch::Changed));
  second->SetOnDataChanged(TNotifyEvent(&watchSecond, &TWatch::Changed));

  table->SetFilter("(country = 'Россия*')"_a);
  table->SetFiltered(true);
  const Ids russia = {1, 2, 12, 13, 15};
  EXPECT_EQ(RecordIds(first.get()), russia);
  EXPECT_EQ(RecordIds(second.get()), russia);
  // Two changes (the text, then the switch), one load each per change.
  EXPECT_EQ(first->LoadCount, 2);
  EXPECT_EQ(second->LoadCount, 2);
  // The echo of each reading found the other controller waiting.
  for (Integer listeners : first->ListenersAtLoadEnd) EXPECT_EQ(listeners, 1);
  for (Integer listeners : second->ListenersAtLoadEnd) EXPECT_EQ(listeners, 1);
  EXPECT_EQ(watchFirst.LoadsWhileOtherFrozen, 0);
  EXPECT_EQ(watchSecond.LoadsWhileOtherFrozen, 0);
  ExpectInStep(first.get(), table, "first");
  ExpectInStep(second.get(), table, "second");

  // Focus moves made by one controller reach the other through the dataset.
  first->ChangeFocusedRowIndex(3);
  ExpectInStep(first.get(), table, "first moved");
  ExpectInStep(second.get(), table, "second followed");
  EXPECT_EQ(second->GetFocusedRowIndex(), 3);
  second->GotoFirst();
  ExpectInStep(first.get(), table, "first followed");

  // With keys, a locate by one controller makes the other wait and then find the same key.
  first->SetKeyFieldNames("ID");
  second->SetKeyFieldNames("ID");
  EXPECT_TRUE(first->LocateByKey(Variant(13)));
  EXPECT_EQ(CurrentRecordId(table), 13);
  EXPECT_EQ(FocusedRecordId(second.get()), 13);
  first->SetOnDataChanged(TNotifyEvent());
  second->SetOnDataChanged(TNotifyEvent());
  // Either may go first.
  second.reset();
  table->SetFiltered(false);
  EXPECT_EQ(first->GetRecordCount(), 14);
}

// A closed dataset, a dataset without source and a dataset whose controls are disabled.
TEST(cxDBDataController, ClosedOrSilencedDatasetsGiveEmptyOrUnchangedStorage) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);
  ASSERT_EQ(controller->GetRecordCount(), 14);

  table->Close();
  EXPECT_EQ(controller->GetRecordCount(), 0);
  EXPECT_EQ(controller->GetRowCount(), 0);
  EXPECT_EQ(controller->GetFocusedRowIndex(), -1);
  for (Integer i = 0; i < controller->GetItemCount(); ++i) EXPECT_EQ(controller->GetItemField(i), nullptr) << i;
  EXPECT_EQ(controller->GetDataSetRecordCount(), 0);
  EXPECT_EQ(controller->GetDataSetRecNo(), -1);

  table->Open();
  EXPECT_EQ(controller->GetRecordCount(), 14);
  EXPECT_EQ(controller->GetItemField(kFieldCity), table->FieldByName("CITY"));
  ExpectInStep(controller.get(), table, "reopened");

  // Controls disabled: no reload until they are enabled again, then one.
  const Integer loads = controller->LoadCount;
  table->DisableControls();
  table->SetFilter("(country = 'Россия*')"_a);
  table->SetFiltered(true);
  EXPECT_EQ(controller->GetRecordCount(), 14);
  EXPECT_EQ(controller->LoadCount, loads);
  table->EnableControls();
  EXPECT_EQ(controller->LoadCount, loads + 1);
  EXPECT_EQ(RecordIds(controller.get()), (Ids{1, 2, 12, 13, 15}));

  // Closed and opened again while the controls are disabled: a layout change when enabled.
  table->DisableControls();
  table->Close();
  table->Open();
  table->EnableControls();
  EXPECT_EQ(RecordIds(controller.get()), (Ids{1, 2, 12, 13, 15}));
  EXPECT_EQ(controller->GetItemField(kFieldCity), table->FieldByName("CITY"));
  ExpectInStep(controller.get(), table, "reopened while disabled");

  // No data source: empty.
  controller->SetDataSource(nullptr);
  EXPECT_EQ(controller->GetRecordCount(), 0);
  EXPECT_EQ(controller->GetDataSet(), nullptr);
  controller->SetDataSource(fixture.Town->Source);
  EXPECT_EQ(controller->GetRecordCount(), 5);

  // The table dies before the controller.
  fixture.Town->Table->Free();
  fixture.Town->Table = nullptr;
  EXPECT_EQ(controller->GetRecordCount(), 0);
  EXPECT_EQ(controller->GetItemField(kFieldCity), nullptr);
}

TEST(cxDBDataController, KeysFindAndLocateRecords) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  TDBControllerPtr controller = MakeTownController(fixture.Town->Source);

  EXPECT_EQ(controller->FindRecordIndexByKey(Variant(13)), -1) << "no key fields";
  EXPECT_TRUE(controller->GetRecordID(0).IsNull());
  controller->SetKeyFieldNames("ID");
  EXPECT_TRUE(controller->HasRecordKeys());
  EXPECT_EQ(controller->FindRecordIndexByKey(Variant(13)), 11);
  EXPECT_EQ(controller->FindRecordIndexByKey(Variant(10)), -1) << "the deleted town is not loaded";
  EXPECT_EQ(controller->FindRecordIndexByKey(VarArrayOf({Variant(13)})), -1);
  EXPECT_EQ(controller->GetRecordID(11).AsInteger(), 13);
  EXPECT_TRUE(controller->LocateByKey(Variant(14)));
  EXPECT_EQ(CurrentRecordId(table), 14);
  ExpectInStep(controller.get(), table, "located");
  EXPECT_FALSE(controller->LocateByKey(Variant(99)));
  // With keys the focus follows the dataset by key.
  table->First();
  ExpectInStep(controller.get(), table, "dataset moved with keys");
  table->MoveBy(4);
  ExpectInStep(controller.get(), table, "dataset moved by 4 with keys");

  // Two names: one sub-field per name, an array per record.
  controller->SetKeyFieldNames("COUNTRY; CITY");
  ASSERT_NE(controller->GetKeyField(), nullptr);
  EXPECT_EQ(controller->GetKeyField()->GetFieldCount(), 2);
  const Variant id = controller->GetRecordID(2);
  ASSERT_TRUE(id.IsArray());
  EXPECT_EQ(id.GetElement(0).AsString(), "Украина"_a);
  EXPECT_EQ(id.GetElement(1).AsString(), "Киев"_a);
  EXPECT_EQ(controller->FindRecordIndexByKey(VarArrayOf({Variant("Россия"_a), Variant("Омск"_a)})), 13);
  EXPECT_EQ(controller->FindRecordIndexByKey(VarArrayOf({Variant("Россия"_a)})), -1);
  EXPECT_EQ(controller->FindRecordIndexByKey(Variant("Россия"_a)), -1);
  EXPECT_TRUE(controller->LocateByKey(VarArrayOf({Variant("Беларусь"_a), Variant("Минск"_a)})));
  EXPECT_EQ(CurrentRecordId(table), 4);

  controller->SetKeyFieldNames("");
  EXPECT_FALSE(controller->HasRecordKeys());
  EXPECT_EQ(controller->GetKeyField(), nullptr);
  table->Next();
  ExpectInStep(controller.get(), table, "without keys again");
}

TEST(cxDBDataController, KeyValuesFitTheDataset) {
  TFixtureTownTable fixture;
  TDsDbfTable* table = fixture.Town->Table;
  EXPECT_TRUE(CheckKeyValues(table, "ID", Variant(3)));
  EXPECT_TRUE(CheckKeyValues(table, "ID", Null()));
  EXPECT_TRUE(CheckKeyValues(table, "ID", VarArrayOf({Variant(3)})));
  EXPECT_FALSE(CheckKeyValues(table, "ID;CITY", Variant(3)));
  EXPECT_TRUE(CheckKeyValues(table, "ID;CITY", VarArrayOf({Variant(3), Variant("Киев"_a)})));
  EXPECT_FALSE(CheckKeyValues(table, "ID;CITY", VarArrayOf({Variant(3)})));
  EXPECT_FALSE(CheckKeyValues(table, "ID;TOWN", VarArrayOf({Variant(3), Variant(4)})));
  EXPECT_EQ(ReadFieldValues(table, {}).IsNull(), true);
  const Variant both = ReadFieldValues(table, {table->FieldByName("ID"), table->FieldByName("CITY")});
  EXPECT_EQ(both.GetElement(0).AsInteger(), 1);
  EXPECT_EQ(both.GetElement(1).AsString(), "Москва"_a);
}

}  // namespace
