// Summaries of the unbound controller: the accumulation of each kind with and without nulls,
// finishing and formatting, footer and group values and texts, the per-item access the grid's
// columns use, selection-based options and the events.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "components/data/tests/DataControllerFixture.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Locale.h"

namespace {

using namespace orv::test;

// One float item with the values (nullopt: Null).
TControllerPtr MakeNumberController(const std::vector<std::optional<double>>& values) {
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxFloatValueType::StaticClass());
  c->BeginUpdate();
  c->SetRecordCount(Integer(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i)
    c->SetValue(Integer(i), 0, values[i] ? Variant(*values[i]) : Null());
  c->EndUpdate();
  return c;
}

TcxDataSummaryItem* AddFooter(TcxCustomDataController* c, Integer itemIndex, TcxSummaryKind kind) {
  TcxDataSummary* summary = c->GetSummary();
  return summary->GetFooterSummaryItems()->AddItem(itemIndex < 0 ? nullptr : c->GetItem(itemIndex), spFooter, kind, "");
}

TEST(TcxDataSummary, EachKindOverValuesAndNulls) {
  const std::optional<double> null;
  struct Case {
    std::vector<std::optional<double>> values;
    TcxSummaryKind kind;
    Boolean nullIgnore;
    Variant expected;  // Null: no value
  };
  const Case cases[] = {
      {{10.0, null, 5.0}, skSum, false, Variant(15.0)},
      {{10.0, null, 5.0}, skAverage, false, Variant(5.0)},
      {{10.0, null, 5.0}, skAverage, true, Variant(7.5)},
      {{10.0, null, 5.0}, skCount, false, Variant(3)},
      {{10.0, null, 5.0}, skCount, true, Variant(2)},
      {{null, 7.0, 3.0}, skMin, false, Variant(3.0)},
      {{null, 7.0, 3.0}, skMax, false, Variant(7.0)},
      {{null, null}, skMin, false, Null()},
      {{null, null, null}, skCount, false, Variant(3)},
      {{null, 4.0}, skSum, false, Variant(4.0)},  // a leading null counts as 0
      {{}, skSum, false, Null()},
      {{}, skCount, false, Variant(0)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << int(k.kind) << ", " << k.values.size() << " values");
    TControllerPtr c = MakeNumberController(k.values);
    if (k.nullIgnore) c->GetSummary()->SetOptions(TcxSummaryOptions{soNullIgnore});
    AddFooter(c.get(), 0, k.kind);
    const Variant value = c->GetSummary()->GetFooterSummaryValue(0);
    if (k.expected.IsNull()) {
      EXPECT_TRUE(value.IsNull());
    } else {
      ASSERT_FALSE(value.IsNull());
      EXPECT_DOUBLE_EQ(value.AsDouble(), k.expected.AsDouble());
    }
  }
}

TEST(TcxDataSummary, FooterValuesFollowTheFilterAndTheData) {
  TControllerPtr c = MakeTownController();
  AddFooter(c.get(), kLat, skMax);
  AddFooter(c.get(), kCity, skCount);
  TcxDataSummary* summary = c->GetSummary();
  EXPECT_DOUBLE_EQ(summary->GetFooterSummaryValue(0).AsDouble(), 57.1855);
  EXPECT_EQ(summary->GetFooterSummaryValue(1).AsInteger(), 14);
  EXPECT_TRUE(summary->GetFooterSummaryValue(2).IsNull());
  c->SetIncrementalFilter(kCity, "О"_a);  // Омск, Орёл
  EXPECT_DOUBLE_EQ(summary->GetFooterSummaryValue(0).AsDouble(), 54.9885);
  EXPECT_EQ(summary->GetFooterSummaryValue(1).AsInteger(), 2);
  c->ResetIncrementalFilter();
  c->SetValue(0, kLat, Variant(60.0));
  EXPECT_DOUBLE_EQ(summary->GetFooterSummaryValue(0).AsDouble(), 60.0);
  // A removed item leaves its summary items without a field: nothing more is summed.
  c->RemoveTestItem(kLat);
  EXPECT_EQ(summary->GetFooterSummaryItems()->GetSummaryItem(0)->GetField(), nullptr);
  EXPECT_TRUE(summary->GetFooterSummaryValue(0).IsEmpty());
}

TEST(TcxDataSummary, DefaultFormatsAndGroupRowTexts) {
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  TControllerPtr c = MakeNumberController({1234.5, 0.0});
  TcxDataSummary* summary = c->GetSummary();
  AddFooter(c.get(), 0, skSum);
  AddFooter(c.get(), -1, skCount);  // no field: not calculable, its value stays Empty
  EXPECT_EQ(summary->GetFooterSummaryText(0), "1234.50");
  EXPECT_TRUE(summary->GetFooterSummaryValue(1).IsEmpty());
  EXPECT_EQ(summary->GetFooterSummaryText(1), "0");
  AnsiString text;
  summary->GetFooterSummaryText(0, text);
  EXPECT_EQ(text, "1234.50");

  // Group rows: one group per value.
  TcxDataGroupSummaryItems* group = summary->GetDefaultGroupSummaryItems();
  group->AddItem(c->GetItem(0), spGroup, skSum, "");
  group->AddItem(nullptr, spGroup, skCount, "");  // a group count needs no field
  c->GetGroups()->ChangeGroupIndex(0, 0);
  ASSERT_EQ(c->GetRowCount(), 2);
  EXPECT_EQ(summary->GetGroupSummaryText(1), "(SUM=1234.50, COUNT=1)");
  EXPECT_EQ(summary->GetGroupSummaryText(0), "(SUM=0.00, COUNT=1)");
  group->SetBeginText("[");
  group->SetSeparator(";");
  group->SetEndText("");
  EXPECT_EQ(summary->GetGroupSummaryText(1), "[SUM=1234.50; COUNT=1");
  EXPECT_EQ(summary->GetGroupFooterSummaryText(1, 0, 0), "1234.50");
  c->GetGroups()->ChangeExpanding(1, true, false);
  EXPECT_EQ(summary->GetGroupFooterSummaryText(2, 0, 0), "1234.50");  // the data row's group
  EXPECT_EQ(summary->GetGroupSummaryText(2), "");                      // a data row has no group text
  EXPECT_EQ(summary->GetGroupFooterSummaryText(2, 0, 5), "");

  // A format of the item's own, a negative value, and OnGetText.
  summary->GetFooterSummaryItems()->GetSummaryItem(0)->SetFormat("#,##0.0 'р.'"_a);
  c->SetValue(1, 0, Variant(-2000.0));
  EXPECT_EQ(summary->GetFooterSummaryText(0), "-765.5 р."_a);
  struct Handler {
    void GetText(TcxDataSummaryItem*, const Variant& value, Boolean isFooter, AnsiString& text) {
      text = isFooter ? "footer " + text : text;
    }
  } handler;
  summary->GetFooterSummaryItems()->GetSummaryItem(0)->SetOnGetText(
      TcxDataSummaryItemGetTextEvent(&handler, &Handler::GetText));
  EXPECT_EQ(summary->GetFooterSummaryText(0), "footer -765.5 р."_a);
}

TEST(TcxDataSummary, DatesAndCurrenciesTakeTheirFormats) {
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  TControllerPtr c(new TTestDataController(nullptr));
  c->AddTestItem(TcxDateTimeValueType::StaticClass());
  c->AddTestItem(TcxCurrencyValueType::StaticClass());
  c->SetRecordCount(2);
  c->SetValue(0, 0, Variant::FromDate(EncodeDate(2024, 3, 5)));
  c->SetValue(1, 0, Variant::FromDate(EncodeDate(2024, 3, 1) + 0.5));
  c->SetValue(0, 1, Variant(Currency::FromDouble(10.25)));
  c->SetValue(1, 1, Variant(Currency::FromDouble(2.5)));
  AddFooter(c.get(), 0, skMin);
  AddFooter(c.get(), 0, skMax);
  AddFooter(c.get(), 1, skSum);
  AddFooter(c.get(), 1, skAverage);
  TcxDataSummary* summary = c->GetSummary();
  EXPECT_EQ(summary->GetFooterSummaryText(0), "MIN=" + DateToStr(EncodeDate(2024, 3, 1)) + " " +
                                                  TimeToStr(EncodeDate(2024, 3, 1) + 0.5));
  EXPECT_EQ(summary->GetFooterSummaryText(1), "MAX=" + DateToStr(EncodeDate(2024, 3, 5)));
  EXPECT_EQ(summary->GetFooterSummaryValue(2).GetType(), varCurrency);
  EXPECT_EQ(summary->GetFooterSummaryText(2), FormatFloat(CurrencyDisplayFormat(), 12.75));
  EXPECT_EQ(summary->GetFooterSummaryText(3), "AVG=" + FormatFloat(CurrencyDisplayFormat(), 6.375));
}

TEST(TcxDataSummary, PerItemPropertiesCreateAndRemoveItems) {
  TControllerPtr c = MakeTownController();
  TcxDataSummaryItems* footer = c->GetSummary()->GetFooterSummaryItems();
  footer->SetItemKind(kLat, spFooter, skAverage);
  ASSERT_EQ(footer->GetCount(), 1);
  EXPECT_EQ(footer->GetItemKind(kLat, spFooter), skAverage);
  EXPECT_EQ(footer->GetItemKind(kCity, spFooter), skNone);
  footer->SetItemFormat(kLat, spFooter, "0.0");
  EXPECT_EQ(footer->GetItemFormat(kLat, spFooter), "0.0");
  // Back to the defaults one property at a time: the item goes when all are default.
  footer->SetItemKind(kLat, spFooter, skNone);
  EXPECT_EQ(footer->GetCount(), 1);
  footer->SetItemFormat(kLat, spFooter, "");
  EXPECT_EQ(footer->GetCount(), 0);
  footer->SetItemFormat(kLat, spFooter, "");  // a default value makes no item
  EXPECT_EQ(footer->GetCount(), 0);
  EXPECT_THROW(footer->GetItemKind(7, spFooter), EcxInvalidDataControllerOperation);

  // At most one sorted group item.
  TcxDataSummaryItems* group = c->GetSummary()->GetDefaultGroupSummaryItems();
  group->SetItemSorted(kLat, spGroup, true);
  group->SetItemSorted(kCity, spGroup, true);
  EXPECT_FALSE(group->GetItemSorted(kLat, spGroup));
  EXPECT_TRUE(group->GetItemSorted(kCity, spGroup));
  EXPECT_EQ(group->GetCount(), 2);
  EXPECT_EQ(c->GetSummary()->GetDefaultGroupSummaryItems()->GetSortedItem()->GetItemLink(), c->GetItem(kCity));
}

TEST(TcxDataSummary, SelectionOptions) {
  TControllerPtr c = MakeTownController();
  TcxDataSummary* summary = c->GetSummary();
  summary->SetOptions(TcxSummaryOptions{soSelectedRecords});
  summary->SetOptions(TcxSummaryOptions{soSelectedRecords, soMultipleSelectedRecords});
  EXPECT_EQ(summary->GetOptions(), (TcxSummaryOptions{soMultipleSelectedRecords}));
  summary->SetOptions(TcxSummaryOptions{soSelectedRecords, soMultipleSelectedRecords});
  EXPECT_EQ(summary->GetOptions(), (TcxSummaryOptions{soSelectedRecords}));

  AddFooter(c.get(), kLat, skCount);
  // Single selection: the focused record only.
  EXPECT_EQ(summary->GetFooterSummaryValue(0).AsInteger(), 0);
  c->ChangeFocusedRowIndex(3);
  EXPECT_EQ(summary->GetFooterSummaryValue(0).AsInteger(), 1);
  c->SetMultiSelect(true);
  c->SelectRows(2, 6);
  EXPECT_EQ(summary->GetFooterSummaryValue(0).AsInteger(), 5);
  // Several selected rows count only themselves, a single one lets every row count.
  summary->SetOptions(TcxSummaryOptions{soMultipleSelectedRecords});
  EXPECT_EQ(summary->GetFooterSummaryValue(0).AsInteger(), 5);
  c->ClearSelection();
  c->ChangeRowSelection(4, true);
  EXPECT_EQ(summary->GetFooterSummaryValue(0).AsInteger(), 14);
}

TEST(TcxDataSummary, EventsOfTheCalculation) {
  TControllerPtr c = MakeNumberController({1.0, 2.0, 3.0});
  struct Handlers {
    Integer AfterSummary = 0;
    std::vector<Integer> Records;
    void Summary(TcxDataSummaryItems*, const TcxSummaryEventArguments& arguments, TcxSummaryEventOutArguments& out) {
      Records.push_back(arguments.RecordIndex);
      // Record 1 is counted as 10 by the handler itself.
      if (arguments.RecordIndex == 1 && arguments.SummaryItem->GetKind() == skSum) {
        out.SummaryValue = Variant((out.SummaryValue.IsEmpty() ? 0.0 : out.SummaryValue.AsDouble()) + 10.0);
        ++out.CountValue;
        out.Done = true;
      }
    }
    void After(TcxDataSummary*) { ++AfterSummary; }
  } handlers;
  TcxDataSummary* summary = c->GetSummary();
  summary->SetOnAfterSummary(TcxAfterSummaryEvent(&handlers, &Handlers::After));
  summary->GetFooterSummaryItems()->SetOnSummary(TcxSummaryEvent(&handlers, &Handlers::Summary));
  AddFooter(c.get(), 0, skSum);
  EXPECT_EQ(handlers.Records, (std::vector<Integer>{0, 1, 2}));
  EXPECT_DOUBLE_EQ(summary->GetFooterSummaryValue(0).AsDouble(), 14.0);
  EXPECT_EQ(handlers.AfterSummary, 1);
  // Changes inside one lock calculate once.
  c->BeginUpdate();
  c->SetValue(0, 0, Variant(5.0));
  c->SetValue(2, 0, Variant(5.0));
  summary->GetFooterSummaryItems()->GetSummaryItem(0)->SetKind(skMax);
  c->EndUpdate();
  EXPECT_EQ(handlers.AfterSummary, 2);
  EXPECT_DOUBLE_EQ(summary->GetFooterSummaryValue(0).AsDouble(), 5.0);
  // A format change only relayouts.
  summary->GetFooterSummaryItems()->GetSummaryItem(0)->SetFormat("0");
  EXPECT_EQ(handlers.AfterSummary, 2);
}

// Items no handler sees are added up without going through the per-record event road: their
// values (type and bits) and counts are those the event road gives.
TEST(TcxDataSummary, SumsAndCountsWithoutAHandlerMatchTheEventRoad) {
  const std::optional<double> null;
  const std::vector<std::vector<std::optional<double>>> tables = {
      {10.5, null, 5.25, 0.1, 0.2},
      {null, 4.0, null, -0.0},
      {null, null},
      {-0.0},
      {},
      {1e308, 1e308, -1e308},
  };
  struct Kind {
    TcxSummaryKind kind;
    Boolean withField;
  };
  const Kind kinds[] = {{skSum, true}, {skAverage, true}, {skCount, true}, {skCount, false}};
  struct PassThrough {
    void Summary(TcxDataSummaryItems*, const TcxSummaryEventArguments&, TcxSummaryEventOutArguments&) {}
  } pass;
  for (const auto& values : tables)
    for (const Kind& k : kinds)
      for (const Boolean nullIgnore : {false, true}) {
        SCOPED_TRACE(testing::Message() << values.size() << " values, kind " << int(k.kind) << (k.withField ? "" : " without field")
                                        << (nullIgnore ? ", nulls ignored" : ""));
        Variant results[2];
        for (const Boolean handler : {false, true}) {
          TControllerPtr c = MakeNumberController(values);
          if (nullIgnore) c->GetSummary()->SetOptions(TcxSummaryOptions{soNullIgnore});
          if (handler) c->GetSummary()->GetFooterSummaryItems()->SetOnSummary(TcxSummaryEvent(&pass, &PassThrough::Summary));
          AddFooter(c.get(), k.withField ? 0 : -1, k.kind);
          results[handler ? 1 : 0] = c->GetSummary()->GetFooterSummaryValue(0);
        }
        ASSERT_EQ(results[0].GetType(), results[1].GetType());
        if (!results[0].IsNull()) {
          const double a = results[0].AsDouble(), b = results[1].AsDouble();
          EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << a << " " << b;
        }
      }
}

TEST(TcxDataSummary, GroupValuesPerLevelAndSummaryGroups) {
  TControllerPtr c = MakeTownController();
  TcxDataSummary* summary = c->GetSummary();
  summary->GetDefaultGroupSummaryItems()->AddItem(c->GetItem(kLat), spGroup, skCount, "");
  // A summary group for the country level sums the latitudes instead.
  TcxDataSummaryGroup* group = summary->GetSummaryGroups()->Add();
  group->GetLinks()->Add()->SetItemLink(c->GetItem(kCountry));
  group->GetSummaryItems()->AddItem(c->GetItem(kLat), spGroup, skMax, "");
  c->GetGroups()->ChangeGroupIndex(kCountry, 0);
  c->GetGroups()->ChangeGroupIndex(kCity, 1);
  EXPECT_EQ(summary->GetGroupSummaryItems(0), group->GetSummaryItems());
  EXPECT_EQ(summary->GetGroupSummaryItems(1), summary->GetDefaultGroupSummaryItems());
  EXPECT_EQ(summary->GetGroupSummaryItems(2), nullptr);
  TcxDataSummaryItems* items;
  Variant values;
  ASSERT_TRUE(summary->GetGroupSummaryInfo(2, items, values));  // Россия
  EXPECT_EQ(items, group->GetSummaryItems());
  EXPECT_DOUBLE_EQ(values.GetElement(0).AsDouble(), 57.1855);
  c->GetGroups()->ChangeExpanding(2, true, false);
  ASSERT_TRUE(summary->GetGroupSummaryInfo(3, items, values));  // Абакан
  EXPECT_EQ(values.GetElement(0).AsInteger(), 1);
  // A link to the same item in a second group moves the item there.
  TcxDataSummaryGroup* second = summary->GetSummaryGroups()->Add();
  second->GetLinks()->Add()->SetItemLink(c->GetItem(kCountry));
  EXPECT_EQ(group->GetLinks()->GetCount(), 0);
  EXPECT_EQ(summary->GetGroupSummaryItems(0), second->GetSummaryItems());
}

// An engine that reverses the order of the level-0 groups, and a controller that names it.
Integer gEngineSorts = 0;

class TReversingEngine : public TcxSortingBySummaryEngine {
  ORV_CLASS(TReversingEngine, TcxSortingBySummaryEngine)
 public:
  explicit TReversingEngine(TcxCustomDataControllerInfo* info) : TcxSortingBySummaryEngine(info) {}
  void Sort() override {
    ++gEngineSorts;
    TcxDataGroups* groups = GetDataControllerInfo()->GetDataGroups();
    std::vector<TcxDataGroupInfo> items;
    for (Integer i = groups->GetCount() - 1; i >= 0; --i) items.push_back(*groups->GetItem(i));
    for (Integer i = 0; i < groups->GetCount(); ++i) groups->SetItem(i, items[std::size_t(i)]);
    groups->UpdateIndexes();
  }
};

class TEngineController : public TTestDataController {
  ORV_CLASS(TEngineController, TTestDataController)
 public:
  explicit TEngineController(TComponent* owner) : TTestDataController(owner) {}
  TcxSortingBySummaryEngineClass GetSortingBySummaryEngineClass() override { return TReversingEngine::StaticClass(); }
};

TEST(TcxDataSummary, ASortedGroupItemLetsTheEngineOrderTheGroups) {
  std::unique_ptr<TEngineController, orv::FreeDeleter> c(new TEngineController(nullptr));
  c->AddTestItem(TcxStringValueType::StaticClass());
  c->SetRecordCount(3);
  c->SetValue(0, 0, Variant("A"));
  c->SetValue(1, 0, Variant("B"));
  c->SetValue(2, 0, Variant("C"));
  c->GetGroups()->ChangeGroupIndex(0, 0);
  gEngineSorts = 0;
  EXPECT_EQ(c->GetRowInfo(0).RecordIndex, 0);
  // One level, one record per group: reversing the list keeps every group whole.
  c->GetSummary()->GetDefaultGroupSummaryItems()->AddItem(nullptr, spGroup, skCount, "")->SetSorted(true);
  EXPECT_GT(gEngineSorts, 0);
  EXPECT_EQ(c->GetRowCount(), 3);
  EXPECT_EQ(c->GetRowInfo(0).RecordIndex, 2);
  EXPECT_EQ(c->GetRowInfo(2).RecordIndex, 0);
  // Counting selected records turns the engine off.
  const Integer sorts = gEngineSorts;
  c->GetSummary()->SetOptions(TcxSummaryOptions{soSelectedRecords});
  EXPECT_EQ(gEngineSorts, sorts);
}

class TSummaryHost : public TComponent {
  ORV_CLASS(TSummaryHost, TComponent)
 public:
  explicit TSummaryHost(TComponent* owner) : TComponent(owner), FController(MakeNumberController({1.0, 2.0, 4.0})) {}
  TcxDataSummary* GetSummary() { return FController->GetSummary(); }

 private:
  TControllerPtr FController;
};

ORV_PUBLISH(TSummaryHost) { p.Property("Summary", &TSummaryHost::GetSummary); }

TEST(TcxDataSummary, FormDescriptionRoundTrip) {
  std::unique_ptr<TSummaryHost, orv::FreeDeleter> source(new TSummaryHost(nullptr));
  source->SetName("Host");
  TcxDataSummary* summary = source->GetSummary();
  summary->GetFooterSummaryItems()->AddItem(nullptr, spFooter, skCount, "0 шт."_a);
  summary->GetDefaultGroupSummaryItems()->AddItem(nullptr, spFooter, skAverage, "");
  summary->SetOptions(TcxSummaryOptions{soNullIgnore});
  const std::string text = orv::WriteComponentToText(source.get());
  EXPECT_NE(text.find("Kind = skCount"), std::string::npos) << text;
  EXPECT_NE(text.find("Position = spFooter"), std::string::npos) << text;
  EXPECT_NE(text.find("Summary.Options = [soNullIgnore]"), std::string::npos) << text;
  EXPECT_EQ(text.find("Format = ''"), std::string::npos) << text;  // defaults are not stored

  std::unique_ptr<TSummaryHost, orv::FreeDeleter> target(new TSummaryHost(nullptr));
  orv::ReadComponentFromText(target.get(), text);
  TcxDataSummary* read = target->GetSummary();
  ASSERT_EQ(read->GetFooterSummaryItems()->GetCount(), 1);
  EXPECT_EQ(read->GetFooterSummaryItems()->GetSummaryItem(0)->GetFormat(), "0 шт."_a);
  EXPECT_EQ(read->GetDefaultGroupSummaryItems()->GetSummaryItem(0)->GetPosition(), spFooter);
  EXPECT_EQ(read->GetOptions(), TcxSummaryOptions{soNullIgnore});
  EXPECT_EQ(orv::WriteComponentToText(target.get()), text);
}

}  // namespace
