// Helpers of the memory dataset tests: a town dataset built in memory and readers of its rows.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "memdata/RxMemDS.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Component.h"

namespace memtest {

// An owner that frees the datasets of one test.
struct Owner {
  Owner() : Root(new TComponent(nullptr)) {}
  ~Owner() { Root->Free(); }
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;
  TComponent* Root;
};

struct Town {
  Integer Id;
  const char* Country;  // UTF-8; nullptr for none
  const char* City;
  double Lat;
};

inline Variant Text(const char* utf8) {
  return utf8 ? Variant(orv::Utf8ToAnsi(utf8)) : Null();
}

// The structure of the town table, as far as the tests need it.
inline void AddTownDefs(TDataSet* dataSet) {
  dataSet->GetFieldDefs().Add("ID", ftInteger);
  dataSet->GetFieldDefs().Add("COUNTRY", ftString, 25);
  dataSet->GetFieldDefs().Add("CITY", ftString, 40);
  dataSet->GetFieldDefs().Add("LAT", ftFloat);
}

inline void AppendTown(TDataSet* dataSet, const Town& town) {
  dataSet->Append();
  dataSet->FieldByName("ID")->SetAsInteger(town.Id);
  dataSet->FieldByName("COUNTRY")->SetAsVariant(Text(town.Country));
  dataSet->FieldByName("CITY")->SetAsVariant(Text(town.City));
  dataSet->FieldByName("LAT")->SetAsFloat(town.Lat);
  dataSet->Post();
}

// An open memory dataset holding `towns` in this order.
inline TRxMemoryData* MakeTowns(TComponent* owner, const std::vector<Town>& towns) {
  auto* data = new TRxMemoryData(owner);
  AddTownDefs(data);
  data->Open();
  for (const Town& town : towns) AppendTown(data, town);
  data->First();
  return data;
}

// The values of `field` (UTF-8; "<null>" for null) from the first record to the last.
inline std::vector<std::string> Column(TDataSet* dataSet, const char* field) {
  std::vector<std::string> values;
  dataSet->First();
  while (!dataSet->GetEOF()) {
    TField* f = dataSet->FieldByName(field);
    values.push_back(f->GetIsNull() ? std::string("<null>") : orv::AnsiToUtf8(f->GetAsString()));
    dataSet->Next();
  }
  return values;
}

// The record identity held in a bookmark.
inline Integer BookmarkId(const TBookmarkStr& bookmark) {
  Integer id = 0;
  if (bookmark.size() >= 4) std::memcpy(&id, bookmark.data(), 4);
  return id;
}

}  // namespace memtest
