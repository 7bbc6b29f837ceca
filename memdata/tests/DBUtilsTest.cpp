#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "memdata/DBUtils.h"
#include "memdata/MaxMin.h"
#include "memdata/RxMemDS.h"
#include "memdata/tests/MemDataTestSupport.h"
#include "platform/dataset/DataSource.h"

using memtest::MakeTowns;
using memtest::Owner;
using memtest::Town;

namespace {

const std::vector<Town> kTowns = {
    {1, "Россия", "Тверь", 56.86},
    {2, "Россия", "Москва", 55.75},
    {3, "Франция", "Париж", 48.85},
    {4, "Россия", "Мосальск", 54.49},
};

TEST(LesserInt, GivesTheSmaller) {
  EXPECT_EQ(LesserInt(3, -1), -1);
  EXPECT_EQ(LesserInt(-1, 3), -1);
  EXPECT_EQ(LesserInt(7, 7), 7);
}

// ---------------------------------------------------------------------------------------------
// CopyRecordFields

TEST(CopyRecordFields, ByNameCopiesTheFieldsBothHave) {
  Owner owner;
  TRxMemoryData* source = MakeTowns(owner.Root, kTowns);
  source->SetRecNo(3);
  auto* dest = new TRxMemoryData(owner.Root);
  dest->GetFieldDefs().Add("CITY", ftString, 40);
  dest->GetFieldDefs().Add("ID", ftFloat);
  dest->Open();
  EXPECT_THROW(CopyRecordFields(source, dest, true), EDatabaseError);  // not editing
  dest->Append();
  CopyRecordFields(source, dest, true);
  dest->Post();
  EXPECT_EQ(dest->FieldByName("CITY")->GetAsString(), "Париж"_a);
  EXPECT_DOUBLE_EQ(dest->FieldByName("ID")->GetAsFloat(), 3.0);
}

TEST(CopyRecordFields, ByPositionPairsTheDefinitions) {
  Owner owner;
  TRxMemoryData* source = MakeTowns(owner.Root, kTowns);
  auto* dest = new TRxMemoryData(owner.Root);
  dest->GetFieldDefs().Add("NUM", ftInteger);
  dest->GetFieldDefs().Add("LAND", ftString, 25);
  dest->Open();
  dest->Append();
  CopyRecordFields(source, dest, false);
  dest->Post();
  EXPECT_EQ(dest->FieldByName("NUM")->GetAsInteger(), 1);
  EXPECT_EQ(dest->FieldByName("LAND")->GetAsString(), "Россия"_a);

  // Null values stay null.
  source->Edit();
  source->FieldByName("COUNTRY")->Clear();
  source->Post();
  dest->Edit();
  CopyRecordFields(source, dest, false);
  dest->Post();
  EXPECT_TRUE(dest->FieldByName("LAND")->GetIsNull());
}

// ---------------------------------------------------------------------------------------------
// LocateInDataSet

struct ChangeCounter : TDataLink {
  Integer Changes = 0;
  void DataEvent(TDataEvent event, NativeInt info) override {
    if (event == deDataSetChange || event == deDataSetScroll) ++Changes;
    TDataLink::DataEvent(event, info);
  }
};

TEST(LocateInDataSet, FindsByPrefixIgnoringCaseOrExactly) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kTowns);
  const struct {
    const char* Key;
    TLocateOptions Options;
    Integer Id;  // 0: not found
  } cases[] = {
      {"Мос", {loPartialKey}, 2},
      {"Мос", {}, 0},
      {"мос", {loPartialKey}, 0},
      {"мос", {loPartialKey, loCaseInsensitive}, 2},
      {"Москва", {}, 2},
      {"москва", {loCaseInsensitive}, 2},
      {"Мосальск", {loPartialKey}, 4},
      {"Москвабад", {loPartialKey}, 0},
      {"", {loPartialKey}, 1},
  };
  for (const auto& c : cases) {
    data->First();
    const bool found = LocateInDataSet(data, "CITY", memtest::Text(c.Key), c.Options);
    EXPECT_EQ(found, c.Id != 0) << c.Key;
    EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), c.Id ? c.Id : 1) << c.Key;
  }
}

TEST(LocateInDataSet, TheCurrentRecordWinsWithoutMoving) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kTowns);
  auto* source = new TDataSource(owner.Root);
  source->SetDataSet(data);
  std::unique_ptr<ChangeCounter, orv::FreeDeleter> link(new ChangeCounter);
  link->SetDataSource(source);
  data->Last();  // Мосальск
  link->Changes = 0;
  EXPECT_TRUE(LocateInDataSet(data, "CITY", memtest::Text("Мос"), {loPartialKey}));
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 4);
  EXPECT_EQ(link->Changes, 0);

  // A scan shows the controls one change; a failed one leaves the record where it was.
  EXPECT_TRUE(LocateInDataSet(data, "COUNTRY;CITY", VarArrayOf({memtest::Text("Россия"), memtest::Text("Москва")}), {}));
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 2);
  EXPECT_EQ(link->Changes, 1);
  data->SetRecNo(3);
  EXPECT_FALSE(LocateInDataSet(data, "COUNTRY;CITY", VarArrayOf({memtest::Text("Франция"), memtest::Text("Москва")}), {}));
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 3);

  // Numbers compare as values; a key that is no number matches nothing.
  EXPECT_TRUE(LocateInDataSet(data, "ID", 4, {}));
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Мосальск"_a);
  EXPECT_TRUE(LocateInDataSet(data, "LAT", 48.85, {}));
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 3);
  EXPECT_FALSE(LocateInDataSet(data, "ID", Variant(AnsiString("x")), {}));

  EXPECT_THROW(LocateInDataSet(data, "NOPE", 1, {}), EDatabaseError);
  link->SetDataSource(nullptr);
}

TEST(LocateInDataSet, AnEmptyDatasetFindsNothing) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, {});
  EXPECT_FALSE(LocateInDataSet(data, "CITY", Variant(AnsiString("x")), {}));
}

TEST(LocateInDataSet, TheMemoryDatasetsLocateUsesIt) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kTowns);
  EXPECT_TRUE(data->Locate("CITY", memtest::Text("мос"), {loPartialKey, loCaseInsensitive}));
  EXPECT_TRUE(data->GetFound());
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 2);
  EXPECT_FALSE(data->Locate("CITY", memtest::Text("Лион"), {}));
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 2);
  EXPECT_EQ(data->Lookup("ID", 3, "CITY").AsString(), "Париж"_a);
}

}  // namespace
