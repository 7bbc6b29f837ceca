// Criteria bound to a controller: rows filtered by condition trees over the town items, one
// refilter per change, extra criteria that filter nothing, the "Criteria" property in form
// descriptions and the binary stream, and the filter drop-down's value list.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "components/data/tests/DataControllerFixture.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Streams.h"

using namespace orv::test;

namespace {

// Items answer their position as ID; filter values and refilters are counted.
class TCountingController : public TTestDataController {
  ORV_CLASS(TCountingController, TTestDataController)
 public:
  explicit TCountingController(TComponent* owner) : TTestDataController(owner) {}
  Integer GetItemID(TObject* item) override {
    for (Integer i = 0; i < GetItemCount(); ++i)
      if (GetItem(i) == item) return i;
    return -1;
  }
  // Every pass over the rows reads the first record's country once when a country condition
  // comes first.
  Variant GetFilterValue(Integer recordIndex, TcxCustomDataField* field) override {
    if (recordIndex == 0 && field->GetIndex() == kCountry) ++FirstRecordReads;
    return inherited::GetFilterValue(recordIndex, field);
  }
  void FilterChanged() override {
    ++FilterChangedCount;
    inherited::FilterChanged();
  }
  Integer FirstRecordReads = 0;
  Integer FilterChangedCount = 0;
};

using TCountingPtr = std::unique_ptr<TCountingController, orv::FreeDeleter>;

void FillTowns(TCountingController* controller) {
  controller->AddTestItem(TcxStringValueType::StaticClass());
  controller->AddTestItem(TcxStringValueType::StaticClass());
  controller->AddTestItem(TcxFloatValueType::StaticClass());
  const auto& towns = Towns();
  controller->BeginUpdate();
  controller->SetRecordCount(Integer(towns.size()));
  for (std::size_t i = 0; i < towns.size(); ++i) {
    controller->SetValue(Integer(i), kCountry, Variant(orv::Utf8ToAnsi(towns[i].Country)));
    controller->SetValue(Integer(i), kCity, Variant(orv::Utf8ToAnsi(towns[i].City)));
    controller->SetValue(Integer(i), kLat, Variant(towns[i].Lat));
  }
  controller->EndUpdate();
}

TCountingPtr MakeTowns() {
  TCountingPtr controller(new TCountingController(nullptr));
  FillTowns(controller.get());
  return controller;
}

TObject* Item(TcxCustomDataController* controller, Integer index) { return controller->GetItem(index); }

std::vector<Integer> Expected(const std::function<bool(const TTown&)>& predicate) {
  std::vector<Integer> records;
  for (std::size_t i = 0; i < Towns().size(); ++i)
    if (predicate(Towns()[i])) records.push_back(Integer(i));
  return records;
}

bool Is(const char* a, const char* b) { return std::string(a) == b; }
bool StartsWith(const char* a, const char* prefix) { return std::string(a).rfind(prefix, 0) == 0; }

// One case: builds the criteria and gives the direct predicate.
struct TCriteriaCase {
  const char* Name;
  std::function<void(TcxCustomDataController*, TcxDataFilterCriteria*)> Build;
  std::function<bool(const TTown&)> Predicate;
};

std::vector<TCriteriaCase> Cases() {
  return {
      {"country and latitude",
       [](TcxCustomDataController* c, TcxDataFilterCriteria* f) {
         f->AddItem(nullptr, Item(c, kCountry), focEqual, Variant("Россия"_a), "Россия"_a);
         f->AddItem(nullptr, Item(c, kLat), focGreater, Variant(54.0), "54");
       },
       [](const TTown& t) { return Is(t.Country, "Россия") && t.Lat > 54.0; }},
      {"or of likes, and not and",
       [](TcxCustomDataController* c, TcxDataFilterCriteria* f) {
         TcxFilterCriteriaItemList* names = f->GetRoot()->AddGroup(fbcOr);
         f->AddItem(names, Item(c, kCity), focLike, Variant("Ро%"_a), "Ро%"_a);
         f->AddItem(names, Item(c, kCity), focLike, Variant("О%"_a), "О%"_a);
         TcxFilterCriteriaItemList* no = f->GetRoot()->AddGroup(fbcNotAnd);
         f->AddItem(no, Item(c, kCountry), focEqual, Variant("Россия"_a), "Россия"_a);
         f->AddItem(no, Item(c, kLat), focLess, Variant(53.0), "53");
       },
       [](const TTown& t) {
         return (StartsWith(t.City, "Ро") || StartsWith(t.City, "О")) && !(Is(t.Country, "Россия") && t.Lat < 53.0);
       }},
      {"not or at the root",
       [](TcxCustomDataController* c, TcxDataFilterCriteria* f) {
         f->GetRoot()->SetBoolOperator(fbcNotOr);
         f->AddItem(nullptr, Item(c, kCountry), focEqual, Variant("Беларусь"_a), "Беларусь"_a);
         f->AddItem(nullptr, Item(c, kCountry), focEqual, Variant("Украина"_a), "Украина"_a);
         f->AddItem(nullptr, Item(c, kLat), focLessEqual, Variant(47.2357), "47.2357");
       },
       [](const TTown& t) { return !(Is(t.Country, "Беларусь") || Is(t.Country, "Украина") || t.Lat <= 47.2357); }},
      {"nothing passes",
       [](TcxCustomDataController* c, TcxDataFilterCriteria* f) {
         f->AddItem(nullptr, Item(c, kLat), focGreaterEqual, Variant(90.0), "90");
       },
       [](const TTown&) { return false; }},
  };
}

TEST(cxDataFilterCriteria, RowsEqualTheDirectPredicate) {
  for (const TCriteriaCase& c : Cases()) {
    SCOPED_TRACE(c.Name);
    auto controller = MakeTowns();
    TcxDataFilterCriteria* filter = controller->GetFilter();
    filter->BeginUpdate();
    c.Build(controller.get(), filter);
    filter->SetActive(true);
    filter->EndUpdate();
    EXPECT_TRUE(filter->IsFiltering() || filter->IsEmptyCriteria());
    EXPECT_EQ(RowRecords(controller.get()), Expected(c.Predicate));
    EXPECT_EQ(controller->GetFilteredRecordCount(), Integer(Expected(c.Predicate).size()));
    // Deactivating brings every record back.
    filter->SetActive(false);
    EXPECT_EQ(controller->GetRowCount(), Integer(Towns().size()));
  }
}

TEST(cxDataFilterCriteria, CriteriaAndEventBothFilter) {
  auto controller = MakeTowns();
  struct TRejectOdd : TObject {
    void Handle(TcxCustomDataController*, Integer record, Boolean& accept) { accept = record % 2 == 0; }
  } handler;
  controller->SetOnFilterRecord(TcxDataFilterRecordEvent(&handler, &TRejectOdd::Handle));
  TcxDataFilterCriteria* filter = controller->GetFilter();
  filter->AddItem(nullptr, Item(controller.get(), kCountry), focEqual, Variant("Россия"_a), "Россия"_a);
  filter->SetActive(true);
  std::vector<Integer> expected;
  for (std::size_t i = 0; i < Towns().size(); ++i)
    if (i % 2 == 0 && Is(Towns()[i].Country, "Россия")) expected.push_back(Integer(i));
  EXPECT_EQ(RowRecords(controller.get()), expected);
}

TEST(cxDataFilterCriteria, ActiveWithoutConditionsKeepsEveryRow) {
  auto controller = MakeTowns();
  controller->GetFilter()->SetActive(true);
  EXPECT_FALSE(controller->GetFilter()->IsFiltering());
  EXPECT_EQ(controller->GetRowCount(), Integer(Towns().size()));
}

TEST(cxDataFilterCriteria, ChangesRefilterOnceAtTheOutermostUnlock) {
  auto controller = MakeTowns();
  TcxDataFilterCriteria* filter = controller->GetFilter();
  controller->FirstRecordReads = 0;
  filter->BeginUpdate();
  filter->AddItem(nullptr, Item(controller.get(), kCountry), focEqual, Variant("Россия"_a), "Россия"_a);
  filter->BeginUpdate();
  filter->AddItem(nullptr, Item(controller.get(), kLat), focGreater, Variant(54.0), "54");
  filter->SetActive(true);
  filter->EndUpdate();
  EXPECT_EQ(controller->FilterChangedCount, 0);
  filter->EndUpdate();
  EXPECT_EQ(controller->FilterChangedCount, 1);
  EXPECT_EQ(controller->FirstRecordReads, 1);

  // Inside the controller's lock the rows are rebuilt once, at its unlock.
  controller->FirstRecordReads = 0;
  controller->BeginUpdate();
  filter->GetRoot()->SetBoolOperator(fbcOr);
  filter->AddItem(nullptr, Item(controller.get(), kCity), focEqual, Variant("Минск"_a), "Минск"_a);
  EXPECT_EQ(controller->FirstRecordReads, 0);
  controller->EndUpdate();
  EXPECT_EQ(controller->FirstRecordReads, 1);
  EXPECT_EQ(RowRecords(controller.get()), Expected([](const TTown& t) {
              return Is(t.Country, "Россия") || t.Lat > 54.0 || Is(t.City, "Минск");
            }));
}

TEST(cxDataFilterCriteria, APendingEditIsPostedBeforeTheRowsAreFilteredAgain) {
  auto controller = MakeTowns();
  ASSERT_TRUE(controller->ChangeFocusedRecordIndex(3));  // Kiev
  controller->Edit();
  controller->SetEditValue(kCountry, Variant("Россия"_a), evsValue);
  ASSERT_TRUE(controller->IsEditing());
  TcxDataFilterCriteria* filter = controller->GetFilter();
  filter->AddItem(nullptr, Item(controller.get(), kCountry), focEqual, Variant("Россия"_a), "Россия"_a);
  filter->SetActive(true);
  EXPECT_FALSE(controller->IsEditing());
  EXPECT_EQ(controller->GetValue(3, kCountry).AsString(), "Россия"_a);
  const std::vector<Integer> rows = RowRecords(controller.get());
  EXPECT_NE(std::find(rows.begin(), rows.end(), 3), rows.end());
  EXPECT_EQ(rows.size(), Expected([](const TTown& t) { return Is(t.Country, "Россия"); }).size() + 1);
}

TEST(cxDataFilterCriteria, ExtraCriteriaNeverRefilterAndDieWithTheController) {
  auto controller = MakeTowns();
  TcxDataFilterCriteria* extra = controller->CreateFilter();
  TcxDataFilterCriteria* second = controller->CreateFilter();
  ASSERT_EQ(controller->GetFilters()->GetCount(), 2);
  extra->AddItem(nullptr, Item(controller.get(), kLat), focGreater, Variant(55.0), "55");
  extra->SetActive(true);
  EXPECT_EQ(controller->FilterChangedCount, 0);
  EXPECT_EQ(controller->GetRowCount(), Integer(Towns().size()));
  // Its own evaluation still works.
  EXPECT_TRUE(extra->DoFilterRecord(0));
  EXPECT_FALSE(extra->DoFilterRecord(3));
  second->Free();
  EXPECT_EQ(controller->GetFilters()->GetCount(), 1);
  // Freeing the controller frees the remaining one (the sanitizer build checks for a leak).
}

TEST(cxDataFilterCriteria, RemovingAnItemRemovesItsConditions) {
  auto controller = MakeTowns();
  TcxDataFilterCriteria* filter = controller->GetFilter();
  TcxDataFilterCriteria* extra = controller->CreateFilter();
  filter->AddItem(nullptr, Item(controller.get(), kCountry), focEqual, Variant("Россия"_a), "Россия"_a);
  TcxFilterCriteriaItemList* group = filter->GetRoot()->AddGroup(fbcOr);
  filter->AddItem(group, Item(controller.get(), kLat), focGreater, Variant(55.0), "55");
  filter->AddItem(group, Item(controller.get(), kLat), focLess, Variant(50.0), "50");
  extra->AddItem(nullptr, Item(controller.get(), kLat), focGreater, Variant(55.0), "55");
  filter->SetActive(true);
  ASSERT_NE(filter->FindItemByItemLink(Item(controller.get(), kLat)), nullptr);
  controller->RemoveTestItem(kLat);
  EXPECT_EQ(filter->FindItemByItemLink(controller->GetItemField(kCountry)) != nullptr, true);
  EXPECT_EQ(filter->GetRoot()->GetCount(), 1);
  EXPECT_TRUE(extra->IsEmptyCriteria());
  EXPECT_EQ(RowRecords(controller.get()), Expected([](const TTown& t) { return Is(t.Country, "Россия"); }));
}

TEST(cxDataFilterCriteria, ConditionsLinkFieldsAndAnswerItems) {
  auto controller = MakeTowns();
  TcxDataFilterCriteria* filter = controller->GetFilter();
  // A condition may be given the item or its field; it answers the item.
  auto* byItem = static_cast<TcxDataFilterCriteriaItem*>(
      filter->AddItem(nullptr, Item(controller.get(), kCity), focEqual, Variant("Омск"_a), "Омск"_a));
  auto* byField = static_cast<TcxDataFilterCriteriaItem*>(
      filter->AddItem(nullptr, controller->GetItemField(kLat), focGreater, Variant(1.0), "1"));
  EXPECT_EQ(byItem->GetItemLink(), Item(controller.get(), kCity));
  EXPECT_EQ(byItem->GetField(), controller->GetItemField(kCity));
  EXPECT_EQ(byField->GetItemLink(), Item(controller.get(), kLat));
  EXPECT_EQ(byField->GetItemIndex(), kLat);
  // An object that is no item of the controller leaves the condition without a field.
  TTestItem stranger;
  byField->SetItemLink(&stranger);
  EXPECT_EQ(byField->GetItemLink(), nullptr);
  Variant value = 1;
  byField->GetDataValue(0, value);
  EXPECT_TRUE(value.IsNull());
  EXPECT_EQ(byItem->GetFieldCaption(), "");
}

TEST(cxDataFilterCriteria, ControllerAssignAndSetFilterCopyConditionsAndActive) {
  auto source = MakeTowns();
  source->GetFilter()->AddItem(nullptr, Item(source.get(), kCountry), focEqual, Variant("Беларусь"_a), "Беларусь"_a);
  source->GetFilter()->SetActive(true);
  auto target = MakeTowns();
  target->Assign(source.get());
  EXPECT_TRUE(target->GetFilter()->GetActive());
  EXPECT_EQ(RowRecords(target.get()), RowRecords(source.get()));
  auto other = MakeTowns();
  other->SetFilter(source->GetFilter());
  EXPECT_TRUE(other->GetFilter()->HasSameItems(source->GetFilter(), true));
  EXPECT_EQ(RowRecords(other.get()), (std::vector<Integer>{5, 10}));
}

// ---- persistence

TEST(cxDataFilterCriteria, StreamRoundTrip) {
  auto source = MakeTowns();
  for (const TCriteriaCase& c : Cases()) {
    SCOPED_TRACE(c.Name);
    source->GetFilter()->Clear();
    c.Build(source.get(), source->GetFilter());
    TMemoryStream stream;
    source->GetFilter()->WriteToStream(&stream);
    stream.SetPosition(0);
    auto target = MakeTowns();
    target->GetFilter()->ReadBinaryData(&stream);
    target->GetFilter()->SetActive(true);
    EXPECT_TRUE(target->GetFilter()->HasSameItems(source->GetFilter(), false));
    EXPECT_EQ(RowRecords(target.get()), Expected(c.Predicate));
  }
}

// A component holding a controller that publishes its criteria as "Filter".
class TFilterHost : public TComponent {
  ORV_CLASS(TFilterHost, TComponent)
 public:
  explicit TFilterHost(TComponent* owner) : TComponent(owner), FController(new TCountingController(this)) {
    FillTowns(FController.get());
  }
  TcxDataFilterCriteria* GetFilter() { return FController->GetFilter(); }
  TCountingController* Controller() const { return FController.get(); }
  void Loaded() override {
    inherited::Loaded();
    FController->Loaded();
  }

 private:
  TCountingPtr FController;
};

ORV_PUBLISH(TFilterHost) { p.Property("Filter", &TFilterHost::GetFilter); }

TEST(cxDataFilterCriteria, FormDescriptionRoundTrip) {
  std::unique_ptr<TFilterHost, orv::FreeDeleter> source(new TFilterHost(nullptr));
  source->SetName("Host");
  Cases()[1].Build(source->Controller(), source->GetFilter());
  source->GetFilter()->SetActive(true);
  const std::string text = orv::WriteComponentToText(source.get());
  EXPECT_NE(text.find("Filter.Active = True"), std::string::npos) << text;
  EXPECT_NE(text.find("Filter.Criteria = {"), std::string::npos) << text;

  std::unique_ptr<TFilterHost, orv::FreeDeleter> target(new TFilterHost(nullptr));
  target->Controller()->FilterChangedCount = 0;
  orv::ReadComponentFromText(target.get(), text);
  // Read while loading: one refilter, at Loaded.
  EXPECT_EQ(target->Controller()->FilterChangedCount, 1);
  EXPECT_TRUE(target->GetFilter()->HasSameItems(source->GetFilter(), false));
  EXPECT_EQ(RowRecords(target->Controller()), Expected(Cases()[1].Predicate));
  EXPECT_EQ(orv::WriteComponentToText(target.get()), text);

  // Empty criteria store nothing.
  std::unique_ptr<TFilterHost, orv::FreeDeleter> empty(new TFilterHost(nullptr));
  empty->SetName("Host");
  EXPECT_EQ(orv::WriteComponentToText(empty.get()).find("Filter."), std::string::npos);
}

TEST(cxDataFilterCriteria, HostileCriteriaBytesAreRefused) {
  std::unique_ptr<TFilterHost, orv::FreeDeleter> target(new TFilterHost(nullptr));
  // Version 3, root AND, a child count far beyond the bytes.
  const std::string text = "object Host: TFilterHost\n  Filter.Criteria = {FEFFFFFF00FFFFFF7F}\nend\n";
  EXPECT_THROW(orv::ReadComponentFromText(target.get(), text), Exception);
  EXPECT_EQ(target->Controller()->GetRowCount(), Integer(Towns().size()));
}

// ---- value lists

std::vector<std::pair<TcxFilterValueItemKind, std::string>> Entries(TcxFilterValueList* list) {
  std::vector<std::pair<TcxFilterValueItemKind, std::string>> entries;
  for (Integer i = 0; i < list->GetCount(); ++i)
    entries.push_back({list->GetEntry(i).Kind, orv::AnsiToUtf8(list->GetEntry(i).DisplayText)});
  return entries;
}

TCountingPtr MakeNumbers(const std::vector<Variant>& values) {
  TCountingPtr controller(new TCountingController(nullptr));
  controller->AddTestItem(TcxIntegerValueType::StaticClass());
  controller->SetRecordCount(Integer(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) controller->SetValue(Integer(i), 0, values[i]);
  return controller;
}

TEST(cxDataFilterCriteria, ValueListOfAColumn) {
  auto controller = MakeNumbers({3, Null(), 3, 5});
  std::unique_ptr<TcxDataFilterValueList, orv::FreeDeleter> list(controller->GetFilter()->CreateValueList());
  list->Load(0);
  using E = std::vector<std::pair<TcxFilterValueItemKind, std::string>>;
  EXPECT_EQ(Entries(list.get()), (E{{fvkAll, "(All)"}, {fvkCustom, "(Custom...)"}, {fvkBlanks, "(Blanks)"},
                                    {fvkNonBlanks, "(NonBlanks)"}, {fvkValue, "3"}, {fvkValue, "5"}}));
  EXPECT_EQ(list->FindValue(5), 5);
  // An item the controller does not have is refused, the list left as it was.
  EXPECT_THROW(list->Load(1), EcxInvalidDataControllerOperation);
  EXPECT_EQ(list->GetCount(), 6);

  // Filtered only, with a not-blank condition: no blank is read, yet (NonBlanks) stays.
  TcxDataFilterCriteria* filter = controller->GetFilter();
  filter->AddItem(nullptr, controller->GetItem(0), focNotEqual, Null(), "");
  filter->SetActive(true);
  ASSERT_EQ(controller->GetRowCount(), 3);
  list->Load(0, true, true);
  EXPECT_EQ(Entries(list.get()), (E{{fvkAll, "(All)"}, {fvkCustom, "(Custom...)"}, {fvkNonBlanks, "(NonBlanks)"},
                                    {fvkValue, "3"}, {fvkValue, "5"}}));
  // Filtered only with no record left reads every record.
  filter->AddItem(nullptr, controller->GetItem(0), focGreater, 100, "100");
  ASSERT_EQ(controller->GetRowCount(), 0);
  list->Load(0, true, true);
  EXPECT_EQ(list->GetCount(), 6);
}

TEST(cxDataFilterCriteria, ValueListOfTownCountriesIsDistinctAndSorted) {
  auto controller = MakeTowns();
  std::unique_ptr<TcxDataFilterValueList, orv::FreeDeleter> list(controller->GetFilter()->CreateValueList());
  struct TAppend : TObject {
    void Handle(TcxFilterCriteria*, Integer itemIndex, TcxDataFilterValueList* valueList) {
      ItemIndex = itemIndex;
      valueList->AddEntry(fvkSpecial, Null(), false, "extra");
    }
    Integer ItemIndex = -1;
  } handler;
  controller->GetFilter()->SetOnGetValueList(TcxDataFilterGetValueListEvent(&handler, &TAppend::Handle));
  list->Load(kCountry);
  EXPECT_EQ(handler.ItemIndex, kCountry);
  using E = std::vector<std::pair<TcxFilterValueItemKind, std::string>>;
  EXPECT_EQ(Entries(list.get()), (E{{fvkAll, "(All)"},
                                    {fvkCustom, "(Custom...)"},
                                    {fvkSpecial, "extra"},
                                    {fvkValue, "Беларусь"},
                                    {fvkValue, "Казахстан"},
                                    {fvkValue, "Россия"},
                                    {fvkValue, "Украина"}}));
}

}  // namespace
