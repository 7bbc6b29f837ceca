#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "memdata/RxMemDS.h"
#include "memdata/tests/MemDataTestSupport.h"
#include "platform/dataset/DataSource.h"
#include "platform/runtime/Streams.h"

using memtest::Column;
using memtest::MakeTowns;
using memtest::Owner;
using memtest::Town;
using Strings = std::vector<std::string>;

namespace {

constexpr Integer kFirstId = std::numeric_limits<Integer>::min() + 1;

const std::vector<Town> kMemTowns = {
    {1, "Россия", "Москва", 55.75},
    {2, "Россия", "Тверь", 56.86},
    {3, "Франция", "Париж", 48.85},
    {4, "Австрия", "Вена", 48.21},
    {5, "Россия", "Мурманск", 68.97},
};

// ---------------------------------------------------------------------------------------------
// Opening, navigation, record numbers

TEST(RxMemoryData, OpensWithDefaultFieldsAndNavigates) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kMemTowns);
  EXPECT_EQ(data->GetFieldCount(), 4);
  EXPECT_EQ(data->GetRecordCount(), 5);
  EXPECT_TRUE(data->GetBOF());
  EXPECT_EQ(data->GetRecNo(), 1);
  EXPECT_EQ(Column(data, "CITY"), (Strings{"Москва", "Тверь", "Париж", "Вена", "Мурманск"}));
  EXPECT_TRUE(data->GetEOF());

  data->Last();
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 5);
  EXPECT_EQ(data->GetRecNo(), 5);
  data->Prior();
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 4);
  EXPECT_EQ(data->MoveBy(-10), -3);
  EXPECT_TRUE(data->GetBOF());
  EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), 1);

  data->SetRecNo(3);
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Париж"_a);
  EXPECT_EQ(data->GetRecNo(), 3);
  data->SetRecNo(99);  // out of range: stays
  EXPECT_EQ(data->GetRecNo(), 3);
  EXPECT_DOUBLE_EQ(data->FieldByName("LAT")->GetAsFloat(), 48.85);

  data->Close();
  EXPECT_EQ(data->GetRecordCount(), 0);  // closing discards the records
  EXPECT_EQ(data->GetFieldCount(), 0);   // and the default fields
  data->Open();
  EXPECT_TRUE(data->IsEmpty());
}

TEST(RxMemoryData, RecordNumbersFollowAWideRing) {
  Owner owner;
  std::vector<Town> towns;
  for (Integer i = 1; i <= 40; ++i) towns.push_back({i, "Россия", "Город", 50.0 + i});
  TRxMemoryData* data = MakeTowns(owner.Root, towns);
  auto* source = new TDataSource(owner.Root);
  source->SetDataSet(data);
  std::unique_ptr<TDataLink, orv::FreeDeleter> link(new TDataLink);
  link->SetBufferCount(7);
  link->SetDataSource(source);
  for (Integer i = 1; i <= 40; ++i) {
    EXPECT_EQ(data->GetRecNo(), i);
    EXPECT_EQ(data->FieldByName("ID")->GetAsInteger(), i);
    data->Next();
  }
  data->SetRecNo(20);
  data->Edit();
  data->FieldByName("CITY")->SetAsString("Двадцатый"_a);
  data->Post();
  data->MoveBy(-6);
  data->MoveBy(6);
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Двадцатый"_a);
  EXPECT_EQ(data->GetRecNo(), 20);
  link->SetDataSource(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Editing

TEST(RxMemoryData, EditsInsertsCancelsAndDeletes) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kMemTowns);
  data->SetRecNo(2);
  data->Edit();
  data->FieldByName("CITY")->SetAsString("Тверь-2"_a);
  data->Cancel();
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Тверь"_a);

  data->Edit();
  data->FieldByName("CITY")->SetAsString("Торжок"_a);
  data->Post();
  EXPECT_EQ(data->GetRecNo(), 2);

  // Insert goes before the current record.
  data->Insert();
  data->FieldByName("ID")->SetAsInteger(9);
  data->FieldByName("CITY")->SetAsString("Клин"_a);
  data->Post();
  EXPECT_EQ(data->GetRecNo(), 2);
  EXPECT_EQ(Column(data, "CITY"), (Strings{"Москва", "Клин", "Торжок", "Париж", "Вена", "Мурманск"}));

  // Deleting the last record moves back; deleting in the middle moves to the next.
  data->Last();
  data->Delete();
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Вена"_a);
  data->SetRecNo(2);
  data->Delete();
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Торжок"_a);
  EXPECT_EQ(data->GetRecordCount(), 4);

  // Insert into an empty dataset.
  while (!data->IsEmpty()) data->Delete();
  data->Insert();
  data->FieldByName("CITY")->SetAsString("Омск"_a);
  data->Post();
  EXPECT_EQ(Column(data, "CITY"), (Strings{"Омск"}));
}

TEST(RxMemoryData, EmptyTextReadsBackAsNull) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, {{1, "", "Москва", 1}, {2, nullptr, "Тверь", 2}});
  EXPECT_TRUE(data->FieldByName("COUNTRY")->GetIsNull());
  EXPECT_TRUE(data->FieldByName("COUNTRY")->GetAsVariant().IsNull());
  data->Next();
  EXPECT_TRUE(data->FieldByName("COUNTRY")->GetIsNull());
  EXPECT_FALSE(data->FieldByName("CITY")->GetIsNull());
}

TEST(RxMemoryData, WritesOutsideEditingAreRefused) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kMemTowns);
  EXPECT_THROW(data->FieldByName("CITY")->SetAsString("X"), EDatabaseError);
  data->FieldByName("CITY")->SetReadOnly(true);
  data->Edit();
  try {
    data->FieldByName("CITY")->SetAsString("X");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.GetMessage()).find("Field 'CITY' cannot be modified"), std::string::npos);
  }
  data->Cancel();
}

TEST(RxMemoryData, TextLongerThanTheFieldIsCut) {
  Owner owner;
  auto* data = new TRxMemoryData(owner.Root);
  data->GetFieldDefs().Add("S", ftString, 4);
  data->Open();
  data->Append();
  data->FieldByName("S")->SetAsString("abcdefgh");
  data->Post();
  EXPECT_EQ(data->FieldByName("S")->GetAsString(), "abcd");
}

// ---------------------------------------------------------------------------------------------
// Identities and bookmarks

TEST(RxMemoryData, IdentitiesAreBookmarksAndAreNeverReused) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, {{1, "Россия", "Москва", 1}, {2, "Россия", "Тверь", 2}});
  const TBookmarkStr first = data->GetBookmark();
  ASSERT_EQ(first.size(), 4u);
  EXPECT_EQ(memtest::BookmarkId(first), kFirstId);
  data->Next();
  const TBookmarkStr second = data->GetBookmark();
  EXPECT_EQ(memtest::BookmarkId(second), kFirstId + 1);
  EXPECT_EQ(data->CompareBookmarks(first, second), -1);
  EXPECT_EQ(data->CompareBookmarks(second, first), 1);
  EXPECT_EQ(data->CompareBookmarks(first, first), 0);
  EXPECT_EQ(data->CompareBookmarks(TBookmarkStr(), first), -1);
  EXPECT_EQ(data->CompareBookmarks(first, TBookmarkStr()), 1);
  EXPECT_EQ(data->CompareBookmarks(TBookmarkStr(), TBookmarkStr()), 0);

  data->GotoBookmark(first);
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Москва"_a);
  EXPECT_TRUE(data->BookmarkValid(first));

  // A deleted record's bookmark is invalid, and going to it leaves the dataset where it is.
  data->Delete();
  EXPECT_FALSE(data->BookmarkValid(first));
  EXPECT_TRUE(data->BookmarkValid(second));
  data->GotoBookmark(first);
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Тверь"_a);

  // Emptying the list does not hand out the old identities again.
  data->Delete();
  EXPECT_TRUE(data->IsEmpty());
  memtest::AppendTown(data, {3, "Франция", "Париж", 3});
  EXPECT_EQ(memtest::BookmarkId(data->GetBookmark()), kFirstId + 2);
  EXPECT_FALSE(data->BookmarkValid(first));
  EXPECT_FALSE(data->BookmarkValid(second));
  data->GotoBookmark(first);
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Париж"_a);

  // Nor does closing and opening again.
  data->Close();
  data->Open();
  memtest::AppendTown(data, {4, "Франция", "Ницца", 4});
  EXPECT_EQ(memtest::BookmarkId(data->GetBookmark()), kFirstId + 3);
  EXPECT_FALSE(data->BookmarkValid(first));
  data->Close();
  EXPECT_FALSE(data->BookmarkValid(TBookmarkStr(4, '\x01')));
}

// ---------------------------------------------------------------------------------------------
// Filtering

struct CountryFilter {
  AnsiString Country;
  Integer Calls = 0;
  bool Throw = false;
  void Filter(TDataSet* dataSet, bool& accept) {
    ++Calls;
    accept = dataSet->FieldByName("COUNTRY")->GetAsString() == Country;
    if (Throw && dataSet->FieldByName("ID")->GetAsInteger() == 3) throw EDatabaseError("filter failed");
  }
};

TEST(RxMemoryData, OnFilterRecordHidesRecordsButNotFromTheCount) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kMemTowns);
  CountryFilter filter{"Россия"_a};
  data->SetOnFilterRecord(TFilterRecordEvent(&filter, &CountryFilter::Filter));
  EXPECT_EQ(filter.Calls, 0);  // not filtered yet
  data->SetFiltered(true);
  EXPECT_FALSE(data->IsSequenced());
  EXPECT_EQ(Column(data, "CITY"), (Strings{"Москва", "Тверь", "Мурманск"}));
  EXPECT_EQ(data->GetRecordCount(), 5);
  data->Last();
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Мурманск"_a);
  data->Prior();
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Тверь"_a);

  // Deleting moves back to an accepted record.
  data->Last();
  data->Delete();
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Тверь"_a);

  // Changing the handler while filtered goes back to the first accepted record.
  filter.Country = "Франция"_a;
  data->SetOnFilterRecord(TFilterRecordEvent(&filter, &CountryFilter::Filter));
  EXPECT_EQ(data->FieldByName("CITY")->GetAsString(), "Париж"_a);
  EXPECT_EQ(Column(data, "CITY"), (Strings{"Париж"}));

  data->SetFiltered(false);
  EXPECT_EQ(Column(data, "CITY"), (Strings{"Москва", "Тверь", "Париж", "Вена"}));
}

TEST(RxMemoryData, AFailingFilterHandlerLeavesTheRecordAsItDecided) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kMemTowns);
  CountryFilter filter{"Франция"_a};
  filter.Throw = true;
  data->SetOnFilterRecord(TFilterRecordEvent(&filter, &CountryFilter::Filter));
  data->SetFiltered(true);
  // Record 3 (Франция) was accepted before the handler failed.
  EXPECT_EQ(Column(data, "CITY"), (Strings{"Париж"}));
  EXPECT_EQ(data->GetState(), dsBrowse);
}

// ---------------------------------------------------------------------------------------------
// Auto-increment, calculated fields, blobs

TEST(RxMemoryData, AutoIncrementNumbersNewRecords) {
  Owner owner;
  auto* data = new TRxMemoryData(owner.Root);
  data->GetFieldDefs().Add("N", ftAutoInc);
  data->GetFieldDefs().Add("NAME", ftString, 10);
  data->Open();
  for (const char* name : {"a", "b", "c"}) {
    data->Append();
    data->FieldByName("NAME")->SetAsString(name);
    data->Post();
  }
  data->First();
  data->Insert();
  data->FieldByName("NAME")->SetAsString("d");
  data->Post();
  EXPECT_EQ(Column(data, "N"), (Strings{"4", "1", "2", "3"}));
  data->Close();
  data->Open();
  data->Append();
  data->Post();
  EXPECT_EQ(data->FieldByName("N")->GetAsInteger(), 1);
}

struct CityLength {
  void Calc(TDataSet* dataSet) {
    dataSet->FieldByName("LEN")->SetAsInteger(
        static_cast<Integer>(dataSet->FieldByName("CITY")->GetAsString().size()));
  }
};

TEST(RxMemoryData, CalculatedFieldsAreComputedPerRecord) {
  Owner owner;
  auto* data = new TRxMemoryData(owner.Root);
  memtest::AddTownDefs(data);
  for (Integer i = 0; i < data->GetFieldDefs().GetCount(); ++i) data->GetFieldDefs()[i]->CreateField(owner.Root);
  auto* len = new TIntegerField(owner.Root);
  len->SetFieldName("LEN");
  len->SetFieldKind(fkCalculated);
  len->SetDataSet(data);
  CityLength calc;
  data->SetOnCalcFields(TDataSetNotifyEvent(&calc, &CityLength::Calc));
  data->Open();
  for (const Town& town : kMemTowns) memtest::AppendTown(data, town);
  EXPECT_EQ(Column(data, "LEN"), (Strings{"6", "5", "5", "4", "8"}));
  EXPECT_EQ(data->GetFieldDefs().GetCount(), 4);  // rebuilt from the data fields only
  try {
    data->SortByFields("LEN");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.GetMessage()).find("Type mismatch for field 'LEN'"), std::string::npos);
  }
  EXPECT_FALSE(data->GetIsIndexField(len));
}

TEST(RxMemoryData, BlobsLiveInMemoryPerRecord) {
  Owner owner;
  auto* data = new TRxMemoryData(owner.Root);
  data->GetFieldDefs().Add("ID", ftInteger);
  data->GetFieldDefs().Add("NOTE", ftMemo);
  data->GetFieldDefs().Add("PIC", ftBlob);
  data->Open();
  const std::string binary("\x00\x01\xff\x00z", 5);
  for (Integer i = 1; i <= 3; ++i) {
    data->Append();
    data->FieldByName("ID")->SetAsInteger(i);
    data->FieldByName("NOTE")->SetAsString(AnsiString(static_cast<std::size_t>(i) * 1000, static_cast<char>('a' + i)));
    if (i == 2) data->FieldByName("PIC")->SetAsString(binary);
    data->Post();
  }
  data->First();
  for (Integer i = 1; i <= 3; ++i) {
    const AnsiString note = data->FieldByName("NOTE")->GetAsString();
    EXPECT_EQ(note.size(), static_cast<std::size_t>(i) * 1000);
    EXPECT_EQ(note[0], static_cast<char>('a' + i));
    EXPECT_EQ(data->FieldByName("PIC")->GetIsNull(), i != 2);
    if (i == 2) {
      EXPECT_EQ(data->FieldByName("PIC")->GetAsString(), binary);
    }
    data->Next();
  }

  // A stream writes in place, seeks and reads; Cancel brings back the stored text.
  data->SetRecNo(2);
  data->Edit();
  {
    std::unique_ptr<TStream, orv::FreeDeleter> stream(
        data->CreateBlobStream(data->FieldByName("NOTE"), bmReadWrite));
    EXPECT_EQ(stream->GetSize(), 2000);
    stream->Seek(-3, soEnd);
    stream->WriteBuffer("XYZW", 4);
    EXPECT_EQ(stream->GetSize(), 2001);
    stream->SetPosition(1998);
    char tail[4] = {};
    EXPECT_EQ(stream->Read(tail, 10), 3);
    EXPECT_EQ(std::string(tail, 3), "YZW");
  }
  EXPECT_TRUE(static_cast<TBlobField*>(data->FieldByName("NOTE"))->GetModified());
  data->Cancel();
  EXPECT_EQ(data->FieldByName("NOTE")->GetAsString().size(), 2000u);

  // Writing needs the edit state.
  EXPECT_THROW(orv::Free(data->CreateBlobStream(data->FieldByName("NOTE"), bmWrite)), EDatabaseError);

  data->Edit();
  data->FieldByName("NOTE")->Clear();
  data->Post();
  EXPECT_TRUE(data->FieldByName("NOTE")->GetIsNull());
}

// ---------------------------------------------------------------------------------------------
// Structure

TEST(RxMemoryData, TakeStructureFromLeavesOutUnsupportedTypes) {
  Owner owner;
  auto* source = new TRxMemoryData(owner.Root);
  memtest::AddTownDefs(source);
  auto* target = new TRxMemoryData(owner.Root);
  target->GetFieldDefs().Add("OLD", ftInteger);
  target->Open();
  EXPECT_THROW(target->TakeStructureFrom(source), EDatabaseError);  // must be closed
  target->Close();

  source->GetFieldDefs().Add("CUR", ftCursor);
  source->GetFieldDefs().Add("REF", ftReference);
  source->GetFieldDefs().Add("BIG", ftLargeint);
  target->TakeStructureFrom(source);
  ASSERT_EQ(target->GetFieldDefs().GetCount(), 5);
  EXPECT_EQ(target->GetFieldDefs()[4]->GetName(), "BIG");
  EXPECT_EQ(target->GetFieldCount(), 5);
  EXPECT_EQ(target->FindField("OLD"), nullptr);
  target->Open();
  target->Append();
  target->FieldByName("BIG")->SetAsLargeInt(Int64(1) << 40);
  target->Post();
  EXPECT_EQ(target->FieldByName("BIG")->GetAsLargeInt(), Int64(1) << 40);
  target->Close();
  target->TakeStructureFrom(nullptr);
  EXPECT_EQ(target->GetFieldCount(), 0);
  EXPECT_EQ(target->GetFieldDefs().GetCount(), 0);
}

TEST(RxMemoryData, CapacityReservesTheRecordList) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kMemTowns);
  data->SetCapacity(1000);
  EXPECT_EQ(data->GetCapacity(), 1000);
  EXPECT_THROW(data->SetCapacity(2), EListError);
  EXPECT_EQ(data->GetRecordCount(), 5);
}

TEST(RxMemoryData, MemoryRecordsKnowTheirPlace) {
  Owner owner;
  TRxMemoryData* data = MakeTowns(owner.Root, kMemTowns);
  auto* record = new TMemoryRecord(data);
  EXPECT_EQ(record->GetIndex(), 5);
  EXPECT_EQ(record->GetID(), kFirstId + 5);
  EXPECT_EQ(data->GetRecordCount(), 6);
  record->SetIndex(0);
  EXPECT_EQ(record->GetIndex(), 0);
  record->Free();
  EXPECT_EQ(data->GetRecordCount(), 5);
  data->Refresh();
  EXPECT_EQ(Column(data, "ID"), (Strings{"1", "2", "3", "4", "5"}));
}

}  // namespace
