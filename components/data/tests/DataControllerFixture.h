// A small unbound controller with plain items and a fixture of towns, shared by the controller
// tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "components/data/cxCustomData.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/SysUtils.h"

namespace orv::test {

class TTestItem : public TObject {
  ORV_CLASS(TTestItem, TObject)
 public:
  TTestItem() = default;
};

// Items are plain objects owned by the controller, in the order they were added.
class TTestDataController : public TcxDataController {
  ORV_CLASS(TTestDataController, TcxDataController)
 public:
  explicit TTestDataController(TComponent* owner) : TcxDataController(owner) {}

  TObject* GetItem(Integer index) override { return FItems.at(std::size_t(index)); }

  // Adds an item of that value type; answers its index.
  Integer AddTestItem(TcxValueTypeClass valueType) {
    auto* item = new TTestItem;
    FItems.push_back(item);
    AddItem(item);
    const Integer index = Integer(FItems.size()) - 1;
    SetItemValueTypeClass(index, valueType);
    return index;
  }
  void RemoveTestItem(Integer index) {
    TObject* item = FItems.at(std::size_t(index));
    RemoveItem(item);
    FItems.erase(FItems.begin() + index);
    item->Free();
    UpdateItemIndexes();
  }

  void BeforeDestruction() override {
    inherited::BeforeDestruction();
    for (TObject* item : FItems) item->Free();
    FItems.clear();
  }

 private:
  std::vector<TObject*> FItems;
};

using TControllerPtr = std::unique_ptr<TTestDataController, orv::FreeDeleter>;

struct TTown {
  const char* Country;  // UTF-8
  const char* City;     // UTF-8
  double Lat;
};

// Record indexes follow this order.
inline const std::vector<TTown>& Towns() {
  static const std::vector<TTown> towns = {
      {"Россия", "Москва", 55.7558},          // 0
      {"Россия", "Орёл", 52.9651},            // 1
      {"Россия", "Омск", 54.9885},            // 2
      {"Украина", "Киев", 50.4501},           // 3
      {"Россия", "Екатеринбург", 56.8389},    // 4
      {"Беларусь", "Минск", 53.9045},         // 5
      {"Россия", "Ростов-на-Дону", 47.2357},  // 6
      {"Россия", "Ростов", 57.1855},          // 7
      {"Казахстан", "Алматы", 43.2220},       // 8
      {"Россия", "Абакан", 53.7156},          // 9
      {"Беларусь", "Гомель", 52.4345},        // 10
      {"Россия", "Ёлкино", 55.7558},          // 11: same latitude as Moscow
      {"Россия", "Ессентуки", 44.0444},       // 12
      {"Россия", "Комсомольск-на-Амуре", 50.5503},  // 13
  };
  return towns;
}

enum { kCountry = 0, kCity = 1, kLat = 2 };

// A controller with the three town items, loaded with Towns().
inline TControllerPtr MakeTownController() {
  TControllerPtr controller(new TTestDataController(nullptr));
  controller->AddTestItem(TcxStringValueType::StaticClass());
  controller->AddTestItem(TcxStringValueType::StaticClass());
  controller->AddTestItem(TcxFloatValueType::StaticClass());
  const auto& towns = Towns();
  controller->BeginUpdate();
  controller->SetRecordCount(Integer(towns.size()));
  for (std::size_t i = 0; i < towns.size(); ++i) {
    controller->SetValue(Integer(i), kCountry, Variant(Utf8ToAnsi(towns[i].Country)));
    controller->SetValue(Integer(i), kCity, Variant(Utf8ToAnsi(towns[i].City)));
    controller->SetValue(Integer(i), kLat, Variant(towns[i].Lat));
  }
  controller->EndUpdate();
  return controller;
}

// The cities of the rows, in row order, in UTF-8.
inline std::vector<std::string> RowCities(TcxCustomDataController* controller) {
  std::vector<std::string> cities;
  for (Integer row = 0; row < controller->GetRowCount(); ++row)
    cities.push_back(AnsiToUtf8(VarToStr(controller->GetValue(controller->GetRowInfo(row).RecordIndex, kCity))));
  return cities;
}

inline std::vector<Integer> RowRecords(TcxCustomDataController* controller) {
  std::vector<Integer> records;
  for (Integer row = 0; row < controller->GetRowCount(); ++row) records.push_back(controller->GetRowInfo(row).RecordIndex);
  return records;
}

}  // namespace orv::test
