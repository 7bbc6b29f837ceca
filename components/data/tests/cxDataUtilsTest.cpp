#include <gtest/gtest.h>

#include <memory>

#include "components/data/cxDataUtils.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

class TValueItem : public TCollectionItem {
  ORV_CLASS(TValueItem, TCollectionItem)
 public:
  explicit TValueItem(TCollection* collection) : TCollectionItem(collection) {}
  Integer Value = 0;
  void Assign(TPersistent* source) override {
    if (auto* item = dynamic_cast<TValueItem*>(source)) {
      Value = item->Value;
      return;
    }
    inherited::Assign(source);
  }
};

class TCountingCollection : public TcxCollection {
  ORV_CLASS(TCountingCollection, TcxCollection)
 public:
  TCountingCollection() : TcxCollection(TValueItem::StaticClass()) {}
  Integer Updates = 0;

 protected:
  void Update(TCollectionItem* item) override { ++Updates; }
};

class TRecordingBinding : public TcxCustomDataBinding {
  ORV_CLASS(TRecordingBinding, TcxCustomDataBinding)
 public:
  TRecordingBinding(TComponent* owner, TComponent* dataComponent) : TcxCustomDataBinding(owner, dataComponent) {}
  Integer InnerChanges = 0;

 protected:
  void InnerControlChanged() override { ++InnerChanges; }
};

namespace {

TEST(cxDataUtils, CurrencyDisplayFormat) {
  {
    orv::TLocaleScope locale(orv::TLocaleProfile::Russian);
    EXPECT_EQ(CurrencyDisplayFormat(), ",0.00 р'.'"_a);
  }
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  EXPECT_EQ(CurrencyDisplayFormat(), "$,0.00");
  const struct {
    Byte position;
    Byte decimals;
    const char* symbol;
    const char* pattern;
  } cases[] = {
      {1, 0, "EUR", ",0EUR"}, {2, 3, "$", "$ ,0.000"}, {3, 2, "a,b.", ",0.00 a','b'.'"}, {9, 2, "$", ",0.00"},
  };
  for (const auto& c : cases) {
    FormatSettings.CurrencyFormat = c.position;
    FormatSettings.CurrencyDecimals = c.decimals;
    FormatSettings.CurrencyString = c.symbol;
    EXPECT_EQ(CurrencyDisplayFormat(), c.pattern);
  }
}

TEST(cxDataUtils, DaysAndWeeks) {
  EXPECT_EQ(WholeDays(2.75), 2.0);
  EXPECT_EQ(WholeDays(-1.25), -1.0);
  EXPECT_EQ(DayFraction(2.75), 0.75);
  EXPECT_EQ(DayFraction(-1.25), -0.25);

  const TDateTime sunday = EncodeDate(2024, 3, 10), monday = EncodeDate(2024, 3, 11), saturday = EncodeDate(2024, 3, 16);
  {
    orv::TLocaleScope locale(orv::TLocaleProfile::Russian);
    EXPECT_EQ(FirstWeekday(), 1);
    EXPECT_EQ(GetWeekStartDate(sunday + 0.5), EncodeDate(2024, 3, 4));
    EXPECT_EQ(GetWeekStartDate(monday), monday);
    EXPECT_EQ(GetWeekStartDate(saturday), monday);
    FormatSettings.FirstDayOfWeek = 8;  // a setting that names no day
    EXPECT_EQ(FirstWeekday(), 1);
  }
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  EXPECT_EQ(FirstWeekday(), 0);
  EXPECT_EQ(GetWeekStartDate(saturday), sunday);
  EXPECT_EQ(GetWeekStartDate(sunday), sunday);
  FirstWeekdayOverride = 3;
  EXPECT_EQ(FirstWeekday(), 3);
  EXPECT_EQ(GetWeekStartDate(monday), EncodeDate(2024, 3, 6));
  FirstWeekdayOverride = 10;
}

TEST(cxDataUtils, TextMatchesSearch) {
  const struct {
    const char* text;
    const char* search;
    bool partial;
    bool matches;
  } cases[] = {
      {"Moscow", "mo", true, true},   {"Moscow", "mo", false, false}, {"", "", true, true},
      {"", "", false, true},          {"abc", "", true, false},       {"mo", "moscow", true, false},
      {"Moscow", "MOSCOW", false, true},
  };
  for (const auto& c : cases) EXPECT_EQ(TextMatchesSearch(c.text, c.search, c.partial), c.matches) << c.text << "/" << c.search;
  EXPECT_TRUE(TextMatchesSearch("Москва"_a, "мос"_a, true));
  EXPECT_TRUE(TextMatchesSearch("ёлки"_a, "Ё"_a, true));
}

TEST(cxDataUtils, DataBindingBase) {
  std::unique_ptr<TComponent, orv::FreeDeleter> owner(new TComponent(nullptr)), data(new TComponent(nullptr)),
      inner(new TComponent(nullptr));
  struct TLog : TObject {
    AnsiString Calls;
    void Data() { Calls += "d"; }
    void ReadOnly() { Calls += "r"; }
    void Store() { Calls += "s"; }
  };
  std::unique_ptr<TLog, orv::FreeDeleter> log(new TLog);
  TcxCustomDataBindingClass bindingClass = TRecordingBinding::StaticClass();
  std::unique_ptr<TcxCustomDataBinding, orv::FreeDeleter> binding(bindingClass.Create(owner.get(), data.get()));
  auto* recording = static_cast<TRecordingBinding*>(binding.get());
  EXPECT_EQ(binding->GetOwner(), owner.get());
  EXPECT_EQ(binding->GetDataComponent(), data.get());

  binding->DataChanged();  // no callbacks yet
  binding->SetOnDataChanged(TcxCustomDataBinding::TCallback(log.get(), &TLog::Data));
  binding->SetOnReadOnlyChanged(TcxCustomDataBinding::TCallback(log.get(), &TLog::ReadOnly));
  binding->SetOnStoreValue(TcxCustomDataBinding::TCallback(log.get(), &TLog::Store));
  binding->DataChanged();
  binding->ChangeReadOnly(false);
  EXPECT_TRUE(binding->CanModify());
  binding->ChangeReadOnly(true);
  binding->ChangeReadOnly(true);
  binding->StoreControlValue();
  EXPECT_EQ(log->Calls, "drs");
  EXPECT_TRUE(binding->GetReadOnly());
  EXPECT_TRUE(binding->IsControlReadOnly());
  EXPECT_FALSE(binding->CanModify());
  EXPECT_FALSE(binding->StartModify());
  EXPECT_TRUE(binding->IsDataAvailable());
  EXPECT_TRUE(binding->GetStoredValue(evsValue, true).IsNull());
  binding->StoreValue(evsText, "ignored");
  EXPECT_FALSE(binding->ExecuteAction(nullptr));
  EXPECT_FALSE(binding->UpdateAction(nullptr));

  binding->AttachInnerControl(inner.get());
  binding->AttachInnerControl(inner.get());
  EXPECT_EQ(binding->GetInnerControl(), inner.get());
  EXPECT_EQ(recording->InnerChanges, 1);
}

TEST(cxDataUtils, CollectionAssignmentKeepsItems) {
  std::unique_ptr<TCountingCollection, orv::FreeDeleter> source(new TCountingCollection), target(new TCountingCollection);
  for (Integer v : {10, 20}) static_cast<TValueItem*>(source->Add())->Value = v;
  for (Integer v : {1, 2, 3}) static_cast<TValueItem*>(target->Add())->Value = v;
  TCollectionItem* first = target->GetItem(0);
  TCollectionItem* second = target->GetItem(1);
  const Integer firstID = first->GetID();
  target->Updates = 0;
  target->Assign(source.get());
  ASSERT_EQ(target->GetCount(), 2);
  EXPECT_EQ(target->GetItem(0), first);
  EXPECT_EQ(target->GetItem(1), second);
  EXPECT_EQ(first->GetID(), firstID);
  EXPECT_EQ(static_cast<TValueItem*>(first)->Value, 10);
  EXPECT_EQ(static_cast<TValueItem*>(second)->Value, 20);
  EXPECT_EQ(target->Updates, 1) << "one change for the whole assignment";

  static_cast<TValueItem*>(source->Add())->Value = 30;
  target->Assign(source.get());
  ASSERT_EQ(target->GetCount(), 3);
  EXPECT_EQ(target->GetItem(0), first);
  EXPECT_EQ(static_cast<TValueItem*>(target->GetItem(2))->Value, 30);

  std::unique_ptr<TCountingCollection, orv::FreeDeleter> empty1(new TCountingCollection), empty2(new TCountingCollection);
  empty1->Assign(empty2.get());
  EXPECT_EQ(empty1->Updates, 0);
  target->Assign(empty1.get());
  EXPECT_EQ(target->GetCount(), 0);
  std::unique_ptr<TComponent, orv::FreeDeleter> component(new TComponent(nullptr));
  EXPECT_THROW(target->Assign(component.get()), EConvertError);
}

}  // namespace
