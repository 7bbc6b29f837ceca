#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "memdata/RxMemDS.h"
#include "memdata/tests/MemDataTestSupport.h"

using memtest::Column;
using memtest::MakeTowns;
using memtest::Owner;
using memtest::Town;
using Strings = std::vector<std::string>;

namespace {

// ---------------------------------------------------------------------------------------------
// Sorting

TEST(SortByFields, OrdersByFieldsThenByInsertionOrder) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, {
                                                  {1, "Россия", "Тверь", 56.86},
                                                  {2, "Австрия", "Вена", 48.21},
                                                  {3, "РОССИЯ", "Москва", 55.75},
                                                  {4, "россия", "Ёлкино", 50},
                                                  {5, "Россия", "Елец", 52.62},
                                                  {6, "Австрия", "Грац", 47.07},
                                              });
  // Case-insensitive: countries that differ only in case keep the order they were added in.
  data->SortByFields("COUNTRY");
  EXPECT_EQ(Column(data, "ID"), (Strings{"2", "6", "1", "3", "4", "5"}));
  EXPECT_TRUE(data->GetIsIndexField(data->FieldByName("COUNTRY")));
  EXPECT_FALSE(data->GetIsIndexField(data->FieldByName("CITY")));

  // Case-sensitive: lower case first.
  data->SortByFields("COUNTRY", false);
  EXPECT_EQ(Column(data, "COUNTRY"), (Strings{"Австрия", "Австрия", "россия", "Россия", "Россия", "РОССИЯ"}));
  EXPECT_EQ(Column(data, "ID"), (Strings{"2", "6", "4", "1", "5", "3"}));

  // Two fields; Е before Ё, the collation's order of letters.
  data->SortByFields("COUNTRY;CITY");
  EXPECT_EQ(Column(data, "CITY"), (Strings{"Вена", "Грац", "Елец", "Ёлкино", "Москва", "Тверь"}));

  // Descending reverses the whole order, ties included.
  data->SortByFields("COUNTRY", true, true);
  EXPECT_EQ(Column(data, "ID"), (Strings{"5", "4", "3", "1", "6", "2"}));

  data->SortByFields("LAT");
  EXPECT_EQ(Column(data, "ID"), (Strings{"6", "2", "4", "5", "3", "1"}));
}

TEST(SortByFields, NullsComeFirstAscendingAndLastDescending) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, {
                                                  {1, "Россия", "Тверь", 1},
                                                  {2, nullptr, "Вена", 2},
                                                  {3, "Австрия", "Грац", 3},
                                                  {4, "", "Ницца", 4},
                                              });
  data->SortByFields("COUNTRY");
  EXPECT_EQ(Column(data, "ID"), (Strings{"2", "4", "3", "1"}));
  data->SortByFields("COUNTRY", true, true);
  EXPECT_EQ(Column(data, "ID"), (Strings{"1", "3", "4", "2"}));
}

TEST(SortByFields, ComparesEachTypeByItsValue) {
  Owner owner;
  auto* data = new TRxMemoryData(owner.Root);
  TFieldDefs& defs = data->GetFieldDefs();
  defs.Add("I", ftInteger);
  defs.Add("S", ftSmallint);
  defs.Add("W", ftWord);
  defs.Add("B", ftBoolean);
  defs.Add("F", ftFloat);
  defs.Add("L", ftLargeint);
  defs.Add("D", ftDate);
  defs.Add("WS", ftWideString, 10);
  data->Open();
  struct Row {
    Integer I;
    Integer S;
    Integer W;
    bool B;
    double F;
    Int64 L;
    Integer Day;
    const char* Ws;
  };
  const Row rows[] = {
      {-5, 300, 65000, true, 2.5, Int64(1) << 40, 3, "бета"},
      {7, -300, 1, false, -1e300, -(Int64(1) << 40), 1, "Альфа"},
      {0, 0, 40000, true, 0.0, 0, 2, "альфа"},
  };
  for (const Row& r : rows) {
    data->Append();
    data->FieldByName("I")->SetAsInteger(r.I);
    data->FieldByName("S")->SetAsInteger(r.S);
    data->FieldByName("W")->SetAsInteger(r.W);
    data->FieldByName("B")->SetAsBoolean(r.B);
    data->FieldByName("F")->SetAsFloat(r.F);
    data->FieldByName("L")->SetAsLargeInt(r.L);
    data->FieldByName("D")->SetAsDateTime(TDateTime(40000 + r.Day));
    data->FieldByName("WS")->SetAsString(orv::Utf8ToAnsi(r.Ws));
    data->Post();
  }
  const struct {
    const char* Field;
    bool CaseInsensitive;
    Strings Order;  // by I
  } cases[] = {
      {"I", true, {"-5", "0", "7"}},   {"S", true, {"7", "0", "-5"}},  {"W", true, {"7", "0", "-5"}},
      {"B", true, {"7", "-5", "0"}},   {"F", true, {"7", "0", "-5"}},  {"L", true, {"7", "0", "-5"}},
      {"D", true, {"7", "0", "-5"}},   {"WS", false, {"0", "7", "-5"}}, {"WS", true, {"7", "0", "-5"}},
  };
  for (const auto& c : cases) {
    data->SortByFields(c.Field, c.CaseInsensitive);
    EXPECT_EQ(Column(data, "I"), c.Order) << c.Field;
  }
}

TEST(SortByFields, OrdersEveryFloatIncludingNaN) {
  Owner owner;
  auto* data = new TRxMemoryData(owner.Root);
  data->GetFieldDefs().Add("I", ftInteger);
  data->GetFieldDefs().Add("F", ftFloat);
  data->Open();
  const double values[] = {std::nan(""), 1.0, -0.0, -std::numeric_limits<double>::infinity(), 0.0,
                           std::nan(""), -5.0};
  Integer i = 0;
  for (double v : values) {
    data->Append();
    data->FieldByName("I")->SetAsInteger(i++);
    data->FieldByName("F")->SetAsFloat(v);
    data->Post();
  }
  // -0 and 0 are equal (insertion order decides); a NaN sorts above every number.
  data->SortByFields("F");
  EXPECT_EQ(Column(data, "I"), (Strings{"3", "6", "2", "4", "1", "0", "5"}));
  data->SortByFields("F", true, true);
  EXPECT_EQ(Column(data, "I"), (Strings{"5", "0", "1", "4", "2", "6", "3"}));
}

TEST(SortByFields, KeepsTheCurrentRecordAndPostsAPendingEdit) {
  Owner owner;
  std::vector<Town> towns;
  for (Integer i = 0; i < 50; ++i) towns.push_back({i, "Россия", nullptr, static_cast<double>((i * 37) % 50)});
  TRxMemoryData* data = MakeTowns(owner.Root, towns);
  data->SetRecNo(10);  // ID 9, LAT 33
  data->Edit();
  data->FieldByName("CITY")->SetAsString("Правка"_a);
  data->SortByFields("LAT");
  EXPECT_EQ(data->GetState(), dsBrowse);
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 9);
  EXPECT_EQ(data->GetRecNo(), 34);
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Правка"_a);
  data->Next();
  EXPECT_DOUBLE_EQ(data->FieldByName("LAT")->GetAsFloat(), 34);
}

TEST(SortByFields, RejectsFieldsItCannotOrderBy) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, {{1, "Россия", "Тверь", 1}});
  EXPECT_THROW(data->SortByFields("NOPE"), EDatabaseError);
  data->SortByFields("COUNTRY");
  EXPECT_TRUE(data->GetIsIndexField(data->FieldByName("COUNTRY")));
  // A failed sort drops the sort fields.
  EXPECT_THROW(data->SortByFields("CITY;NOPE"), EDatabaseError);
  EXPECT_FALSE(data->GetIsIndexField(data->FieldByName("COUNTRY")));

  auto* blobs = new TRxMemoryData(owner.Root);
  blobs->GetFieldDefs().Add("NOTE", ftMemo);
  blobs->Open();
  try {
    blobs->SortByFields("NOTE");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.GetMessage()).find("Type mismatch for field 'NOTE', expecting:"), std::string::npos);
  }
}

TEST(SortByFields, EmptyOrClosedDatasetsStayAsTheyAre) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, {});
  data->SortByFields("COUNTRY");
  EXPECT_TRUE(data->IsEmpty());
  data->Close();
  // Closed: the default fields are gone, so the names are unknown.
  EXPECT_THROW(data->SortByFields("COUNTRY"), EDatabaseError);
  auto* persistent = new TRxMemoryData(owner.Root);
  memtest::AddTownDefs(persistent);
  persistent->GetFieldDefs()[1]->CreateField(owner.Root);
  persistent->SortByFields("COUNTRY");  // closed but the field exists: nothing to sort
  EXPECT_FALSE(persistent->GetActive());
}

// ---------------------------------------------------------------------------------------------
// Loading from another dataset

std::vector<Town> NumberedTowns(Integer count) {
  std::vector<Town> towns;
  for (Integer i = 1; i <= count; ++i) towns.push_back({i, i % 2 ? "Россия" : "Франция", "Город", 40.0 + i});
  return towns;
}

struct OddFilter {
  void Filter(TDataSet* dataSet, bool& accept) { accept = dataSet->FieldByName("ID")->GetAsInteger() % 2 == 1; }
};

TEST(LoadRecordsFrom, CopiesStructureAndTheRecordsTheSourceShows) {
  Owner owner;
  TRxMemoryData* source = MakeTowns(owner.Root, NumberedTowns(20));
  OddFilter odd;
  source->SetOnFilterRecord(TFilterRecordEvent(&odd, &OddFilter::Filter));
  source->SetFiltered(true);

  auto* copy = new TRxMemoryData(owner.Root);
  copy->GetFieldDefs().Add("OTHER", ftInteger);
  EXPECT_EQ(copy->LoadRecordsFrom(source), 10);
  EXPECT_TRUE(copy->GetActive());
  EXPECT_EQ(copy->GetFieldCount(), 4);
  EXPECT_EQ(copy->FindField("OTHER"), nullptr);
  EXPECT_EQ(copy->GetRecNo(), 1);
  EXPECT_EQ(Column(copy, "ID"), (Strings{"1", "3", "5", "7", "9", "11", "13", "15", "17", "19"}));
  EXPECT_EQ(copy->LoadRecordsFrom(copy), 0);
}

TEST(LoadRecordsFrom, CopiesACountFromTheCurrentRecordOrAppends) {
  Owner owner;
  TRxMemoryData* source = MakeTowns(owner.Root, NumberedTowns(20));
  source->SetRecNo(5);
  auto* copy = new TRxMemoryData(owner.Root);
  EXPECT_EQ(copy->LoadRecordsFrom(source, 10), 10);
  EXPECT_EQ(Column(copy, "ID"), (Strings{"5", "6", "7", "8", "9", "10", "11", "12", "13", "14"}));
  EXPECT_EQ(source->FieldByName("ID")->GetAsInteger(), 14);

  // Appending keeps the structure and the records; a count beyond the end stops at the end.
  source->SetRecNo(18);
  EXPECT_EQ(copy->LoadRecordsFrom(source, 10, lmAppend), 3);
  EXPECT_EQ(copy->GetRecordCount(), 13);
  copy->Last();
  EXPECT_EQ(copy->FieldByName("ID")->GetAsInteger(), 20);

  // A closed source is opened for the copy and closed again.
  auto* closed = new TRxMemoryData(owner.Root);
  memtest::AddTownDefs(closed);
  EXPECT_EQ(copy->LoadRecordsFrom(closed), 0);
  EXPECT_FALSE(closed->GetActive());
  EXPECT_TRUE(copy->GetActive());
  EXPECT_TRUE(copy->IsEmpty());
}

TEST(LoadRecordsFrom, SwitchesItsOwnFilterOffAndDropsTheSortFields) {
  Owner owner;
  TRxMemoryData* source = MakeTowns(owner.Root, NumberedTowns(6));
  auto* copy = new TRxMemoryData(owner.Root);
  copy->LoadRecordsFrom(source);
  copy->SortByFields("COUNTRY");
  OddFilter odd;
  copy->SetOnFilterRecord(TFilterRecordEvent(&odd, &OddFilter::Filter));
  copy->SetFiltered(true);
  EXPECT_EQ(copy->LoadRecordsFrom(source, 0, lmAppend), 6);
  EXPECT_FALSE(copy->GetFiltered());
  EXPECT_FALSE(copy->GetIsIndexField(copy->FieldByName("COUNTRY")));
  EXPECT_EQ(Column(copy, "ID"), (Strings{"1", "3", "5", "2", "4", "6", "1", "2", "3", "4", "5", "6"}));
}

}  // namespace
