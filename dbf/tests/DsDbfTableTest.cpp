// The table dataset and the database component: the program's data module over a town table
// beside the test executable and its searches; opening failures; the filter properties;
// bookmarks, record numbers, locate, lookup and find; editing checked in the file's bytes;
// the connection's rules.
#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "dbf/DsDatabase.h"
#include "dbf/DsDbfApi.h"
#include "dbf/DsDbfTable.h"
#include "dbf/tests/TownFixture.h"
#include "platform/dataset/FieldDirectRead.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/SysUtils.h"

namespace {

using namespace std::string_literals;
using Ids = std::vector<Integer>;

void WriteBytes(const std::string& path, const std::vector<Byte>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The folder "DB" beside the test executable with the fixture town table in it, as the program
// finds its table. Several test processes may prepare it at once: each writes its own file and
// renames it into place, so a reader always sees a whole table.
AnsiString PrepareDataFolderBesideExecutable() {
  const AnsiString exeDir = ExtractFilePath(orv::ExecutableFileName());
  const std::string dir = exeDir + "DB";
  std::filesystem::create_directories(dir);
  const std::string part = dir + "/ORVANE.DBF." + std::to_string(getpid());
  WriteBytes(part, dbftest::TownTableBytes());
  std::filesystem::rename(part, dir + "/ORVANE.DBF");
  return exeDir + "DB\\";
}

// The data module's components, as its form description creates them.
struct TDataModule {
  TDataModule() : Owner(new TComponent(nullptr)) {
    DsDatabase = new TDsDatabase(Owner.get());
    DsDatabase->SetName("DsDatabase");
    for (TDsDbfTable** table : {&tblOrvane, &tblCountry_City}) {
      *table = new TDsDbfTable(Owner.get());
      (*table)->SetCodePage(dBASE_RUS_cp866);
      (*table)->SetDatabase(DsDatabase);
      (*table)->SetExclusive(false);
      (*table)->SetReadOnly(false);
      (*table)->SetTableName("ORVANE.DBF");
    }
    tblOrvane->SetName("tblOrvane");
    tblCountry_City->SetName("tblCountry_City");
    // The stored definitions describe the expected file; the open reads the file's own.
    AddStoredDefs(tblOrvane, ftInteger);
    AddStoredDefs(tblCountry_City, ftFloat);
  }
  static void AddStoredDefs(TDsDbfTable* t, TFieldType idType) {
    TFieldDefs& defs = t->GetFieldDefs();
    defs.Add("ID", idType);
    defs.Add("COUNTRY", ftString, 25);
    defs.Add("CITY", ftString, 40);
    for (const char* name : {"G_DOLG", "G_SHIR", "E_DOLG", "E_SHIR"}) defs.Add(name, ftString, 10);
    for (const char* name : {"LON", "LAT", "ECLLON", "ECLLAT"}) defs.Add(name, ftFloat);
  }
  // DataModuleCreate: connect and open the town table; any Exception is the connection error.
  bool Create(const AnsiString& folder, AnsiString* error = nullptr) {
    try {
      DsDatabase->SetDatabaseName(folder);
      DsDatabase->SetConnected(true);
      tblOrvane->SetFilter("");
      tblOrvane->SetFiltered(false);
      tblOrvane->SetActive(true);
      return true;
    } catch (const Exception& e) {
      if (error) *error = e.GetMessage();
      return false;
    }
  }

  std::unique_ptr<TComponent, orv::FreeDeleter> Owner;
  TDsDatabase* DsDatabase = nullptr;
  TDsDbfTable* tblOrvane = nullptr;
  TDsDbfTable* tblCountry_City = nullptr;
};

Ids IdsForward(TDataSet* t) {
  Ids ids;
  for (t->First(); !t->GetEOF(); t->Next()) ids.push_back(t->FieldByName("ID")->GetAsInteger());
  return ids;
}

Ids IdsBackward(TDataSet* t) {
  Ids ids;
  for (t->Last(); !t->GetBOF(); t->Prior()) ids.insert(ids.begin(), t->FieldByName("ID")->GetAsInteger());
  return ids;
}

// The searches' common frame: batch, filter off and empty, the pieces appended one by one,
// filter on when there is a text.
Ids Search(TDsDbfTable* t, const std::vector<AnsiString>& pieces) {
  t->BeginBatch();
  t->SetFiltered(false);
  t->SetFilter("");
  for (const AnsiString& piece : pieces) t->SetFilter(t->GetFilter() + piece);
  if (!t->GetFilter().empty()) t->SetFiltered(true);
  t->EndBatch();
  return IdsForward(t);
}

TEST(DsDbfTableDataModule, OpensTheTownTableBesideTheExecutableAndSearchesIt) {
  TDataModule dm;
  const AnsiString folder = PrepareDataFolderBesideExecutable();
  const std::string file = std::string(folder.substr(0, folder.size() - 1)) + "/ORVANE.DBF";
  const std::vector<Byte> before = dbftest::ReadFileBytes(file);
  AnsiString error;
  ASSERT_TRUE(dm.Create(folder, &error)) << error;
  TDsDbfTable* t = dm.tblOrvane;

  // Fields from the file's descriptors; texts in Windows-1251.
  ASSERT_EQ(t->GetFieldCount(), 11);
  EXPECT_EQ(t->FieldByName("ID")->GetDataType(), ftInteger);
  EXPECT_EQ(t->FieldByName("CITY")->GetDataType(), ftString);
  EXPECT_EQ(t->FieldByName("CITY")->GetSize(), 40);
  EXPECT_EQ(t->FieldByName("LAT")->GetDataType(), ftFloat);
  EXPECT_EQ(t->FieldByName("COUNTRY")->GetAsString(), "Россия"_a);
  EXPECT_EQ(t->FieldByName("CITY")->GetAsString(), "Москва"_a);
  EXPECT_EQ(t->FieldByName("G_DOLG")->GetAsString(), "37в37"_a);
  EXPECT_EQ(t->FieldByName("E_DOLG")->GetAsString(), "55°19'"_a);
  EXPECT_DOUBLE_EQ(t->FieldByName("LAT")->GetAsFloat(), 55.7558);
  EXPECT_EQ(t->GetRecordCount(), 15);
  const Ids all = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15};
  EXPECT_EQ(IdsForward(t), all);
  EXPECT_EQ(IdsBackward(t), all);

  const struct {
    const char* what;
    std::vector<AnsiString> pieces;
    Ids expected;
  } searches[] = {
      {"east 30, north 50, tolerances 5",
       {"(lon >= 25) and (lon <= 35) and", "(lat >= 45", ") and (lat <= 55)"}, {3, 4}},
      {"east 35, north 55: a blank latitude is rejected",
       {"(lon >= 30) and (lon <= 40) and", "(lat >= 50", ") and (lat <= 60)"}, {1, 3, 13}},
      {"east 2, north 3: longitude around 0",
       {"(((lon >= 357) and (lon <= 360))", " or ((lon <= 7) and (lon >= 0))) and",
        "(lat + 2 >= 0", ") and (lat <= 8)"},
       {6, 7}},
      {"west 30, south 40", {"(lon >= 325) and (lon <= 335) and", "(lat + 45 >= 0", ") and (lat + 35 <= 0)"}, {}},
      {"east 0, tolerance 1", {"(((lon >= 359) and (lon <= 360))", " or ((lon <= 1) and (lon >= 0))) and",
                              "(lat >= 50", ") and (lat <= 52)"}, {5}},
      {"tolerance 180 and 90: everything with a latitude",
       {"(((lon >= 190) and (lon <= 360))", " or ((lon <= 190) and (lon >= 0))) and", "(lat + 90 >= 0",
        ") and (lat <= 90)"},
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13, 14, 15}},
      {"north 2 with tolerance 5", {"(lon >= 275) and (lon <= 285) and", "(lat + 3 >= 0", ") and (lat <= 7)"}, {8}},
      {"south 2 with tolerance 5", {"(lon >= 277) and (lon <= 287) and", "(lat + 7 >= 0", ") and (lat - 3 <= 0)"}, {8}},
      {"west 46, south 23, tolerance 1",
       {"(lon >= 313) and (lon <= 315) and", "(lat + 24 >= 0", ") and (lat + 22 <= 0)"}, {14}},
      {"ecliptic 55, 38, tolerance 1",
       {"(EclLon >= 54) and (EclLon <= 56) and", "(EclLat - 37 >= 0", ") and (EclLat - 39 <= 0)"}, {1, 13}},
      {"ecliptic 310, -10: negative latitude",
       {"(EclLon >= 305) and (EclLon <= 315) and", "(EclLat + 15 >= 0", ") and (EclLat + 5 <= 0)"}, {14}},
      {"ecliptic 3, 3: longitude around 0",
       {"(((EclLon >= 358) and (EclLon <= 360))", " or ((EclLon <= 8) and (EclLon >= 0))) and",
        "(EclLat + 2 >= 0", ") and (EclLat - 8 <= 0)"},
       {6}},
      {"country", {"(country = 'Россия*')"_a}, {1, 2, 12, 13, 15}},
      {"country and town", {"(country = 'Россия*')"_a, " and ", "(city = 'Москва*')"_a}, {1}},
      {"town alone", {"(city = 'Сан-Паулу*')"_a}, {14}},
      {"names compare with case", {"(city = 'москва*')"_a}, {}},
      {"both lists on *: no filter", {}, all},
  };
  for (const auto& s : searches) {
    EXPECT_EQ(Search(t, s.pieces), s.expected) << s.what;
    EXPECT_EQ(IdsBackward(t), s.expected) << s.what;
    EXPECT_EQ(t->GetFiltered(), !s.pieces.empty()) << s.what;
  }
  // The searches wrote nothing.
  EXPECT_EQ(dbftest::ReadFileBytes(file), before);

  // The second table object over the same file opens beside the first, and moves on its own.
  dm.tblCountry_City->Open();
  ASSERT_TRUE(dm.tblCountry_City->GetActive());
  EXPECT_EQ(dm.tblCountry_City->FieldByName("ID")->GetDataType(), ftInteger);
  EXPECT_EQ(IdsForward(dm.tblCountry_City), all);
  EXPECT_EQ(IdsForward(t), all);

  // Disconnecting closes every table of the connection.
  dm.DsDatabase->SetConnected(false);
  EXPECT_FALSE(t->GetActive());
  EXPECT_FALSE(dm.tblCountry_City->GetActive());
  EXPECT_EQ(t->GetHandle(), nullptr);
}

class DsDbfTableFiles : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return Temp.Path(name); }
  // A data module over a copy of the fixture in the temporary folder.
  std::unique_ptr<TDataModule> Open(std::vector<Byte> bytes = dbftest::TownTableBytes()) {
    WriteBytes(Path("ORVANE.DBF"), bytes);
    auto dm = std::make_unique<TDataModule>();
    AnsiString error;
    EXPECT_TRUE(dm->Create(Dir, &error)) << error;
    return dm;
  }
  std::vector<Byte> Bytes() const { return dbftest::ReadFileBytes(Path("ORVANE.DBF")); }
  dbftest::TTempDir Temp;
  const std::string& Dir = Temp.Dir;
};

constexpr Integer kTownHeaderSize = 32 + 11 * 32 + 1;
constexpr Integer kTownRecordSize = 1 + 4 + 25 + 40 + 4 * 10 + 4 * 10;

TEST_F(DsDbfTableFiles, OpenFailuresRaiseTheDatabaseErrorTheConnectionBoxCatches) {
  std::vector<Byte> wrongVersion = dbftest::TownTableBytes();
  wrongVersion[0] = 0x31;
  std::vector<Byte> damaged = dbftest::TownTableBytes();
  damaged[10] = damaged[11] = 0;  // record size 0
  const struct {
    const char* what;
    std::vector<Byte> bytes;  // empty: no file
    const char* folder;       // relative to Dir
    const char* message;
  } cases[] = {
      {"missing folder", dbftest::TownTableBytes(), "/NODB", "Cannot open file"},
      {"missing file", {}, "", "Cannot open file"},
      {"wrong version byte", wrongVersion, "", "Invalid database file"},
      {"damaged header", damaged, "", "Invalid database file"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(Path("ORVANE.DBF"));
    if (!c.bytes.empty()) WriteBytes(Path("ORVANE.DBF"), c.bytes);
    TDataModule dm;
    try {
      dm.DsDatabase->SetDatabaseName(Dir + c.folder);
      dm.DsDatabase->SetConnected(true);
      dm.tblOrvane->SetActive(true);
      ADD_FAILURE() << c.what << ": opened";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.GetMessage(), c.message) << c.what;
    }
    EXPECT_FALSE(dm.tblOrvane->GetActive());
    EXPECT_EQ(dm.tblOrvane->GetHandle(), nullptr);
  }
  // An empty database name, and missing properties of the table.
  TDataModule dm;
  AnsiString error;
  EXPECT_FALSE(dm.Create("", &error));
  EXPECT_EQ(error, "DsDatabase: Database name missing");
  dm.DsDatabase->SetDatabaseName(Dir);
  dm.tblOrvane->SetTableName("");
  EXPECT_THROW(dm.tblOrvane->Open(), EDatabaseError);
  try {
    dm.tblOrvane->Open();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "tblOrvane: Missing TableName property");
  }
  dm.tblCountry_City->SetDatabase(nullptr);
  try {
    dm.tblCountry_City->Open();
    ADD_FAILURE() << "opened without a database";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "tblCountry_City: Missing Database property");
  }
}

TEST_F(DsDbfTableFiles, ACountPastTheRecordsTheFileHoldsAgreesWithReadingEitherWay) {
  // The header counts two records more than the file holds, the last of them cut off (a writer
  // stopped in the middle of an append): the 15 records that are there are the table.
  std::vector<Byte> cut = dbftest::TownTableBytes();
  cut[4] = 17;
  cut.insert(cut.end() - 1, std::size_t(kTownRecordSize / 2), Byte('x'));
  // A header size past the end of the file: no record, whatever the header counts.
  std::vector<Byte> past = dbftest::TownTableBytes();
  past[8] = 0xFF;
  past[9] = 0x7F;
  const Ids all = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15};  // 10 is deleted
  const struct {
    const char* what;
    std::vector<Byte> bytes;
    Integer count;
    Ids ids;
  } cases[] = {{"cut append", cut, 15, all}, {"header past the end", past, 0, {}}};
  for (const auto& c : cases) {
    auto dm = Open(c.bytes);
    TDsDbfTable* t = dm->tblOrvane;
    EXPECT_EQ(t->GetRecordCount(), c.count) << c.what;
    EXPECT_EQ(IdsForward(t), c.ids) << c.what;
    EXPECT_EQ(IdsBackward(t), c.ids) << c.what;
  }
}

TEST_F(DsDbfTableFiles, TableNameTakesTheExtensionDbfAndAnyLetterCase) {
  WriteBytes(Path("ORVANE.DBF"), dbftest::TownTableBytes());
  TDataModule dm;
  dm.DsDatabase->SetDatabaseName(Dir + "/");
  dm.tblOrvane->SetTableName("orvane.txt");
  ASSERT_NO_THROW(dm.tblOrvane->Open());
  EXPECT_EQ(dm.tblOrvane->GetRecordCount(), 15);
}

TEST_F(DsDbfTableFiles, FilterPropertiesStayConsistentWithTheHandle) {
  auto dm = Open();
  TDsDbfTable* t = dm->tblOrvane;
  t->SetFilter("(country = 'Россия*')"_a);
  EXPECT_EQ(IdsForward(t).size(), 14u);  // not filtered yet
  t->SetFiltered(true);
  EXPECT_EQ(IdsForward(t), (Ids{1, 2, 12, 13, 15}));

  // The same text again does nothing: no move to the first record.
  t->Next();
  t->Next();
  const Integer recNo = t->GetRecNo();
  t->SetFilter(t->GetFilter());
  EXPECT_EQ(t->GetRecNo(), recNo);

  // A refused text raises and changes nothing.
  for (const char* bad : {"(lat >= 45", "nosuch = 1", "lat >= '7' / '2'"}) {
    try {
      t->SetFilter(bad);
      ADD_FAILURE() << bad;
    } catch (const Exception& e) {
      EXPECT_EQ(e.GetMessage(), "Invalid filter expression.");
    }
    EXPECT_EQ(t->GetFilter(), "(country = 'Россия*')"_a);
    EXPECT_TRUE(t->GetFiltered());
    EXPECT_EQ(t->GetHandle()->GetFilterText(), t->GetFilter());
    EXPECT_EQ(IdsForward(t), (Ids{1, 2, 12, 13, 15}));
  }
  // Unfiltered, any text is kept unchecked; switching the filter on checks it.
  t->SetFiltered(false);
  t->SetFilter("(lat >= 45");
  EXPECT_EQ(t->GetHandle()->GetFilterText(), "");
  EXPECT_THROW(t->SetFiltered(true), Exception);
  EXPECT_FALSE(t->GetFiltered());
  EXPECT_EQ(IdsForward(t).size(), 14u);
  // A new text while unfiltered moves to the first record.
  t->Last();
  t->SetFilter("lat < 0");
  EXPECT_EQ(t->GetRecNo(), 1);
  // Filtered with an empty text shows every record.
  t->SetFilter("");
  t->SetFiltered(true);
  EXPECT_EQ(IdsForward(t).size(), 14u);
  // Filter options reach the language.
  t->SetFilter("(city = 'москва*')"_a);
  EXPECT_EQ(IdsForward(t), Ids{});
  t->SetFilterOptions(TFilterOptions{foCaseInsensitive});
  EXPECT_EQ(IdsForward(t), Ids{1});
  t->SetFilterOptions(TFilterOptions{foCaseInsensitive, foNoPartialCompare});
  EXPECT_EQ(IdsForward(t), Ids{});
  // A filter set while closed is installed when the table opens; a refused one fails the open.
  t->Close();
  t->SetFilter("lat < 0");
  t->Open();
  EXPECT_EQ(IdsForward(t), (Ids{8, 11, 14}));
  t->Close();
  t->SetFilter("lat <");
  EXPECT_THROW(t->Open(), Exception);
  EXPECT_FALSE(t->GetActive());
}

TEST_F(DsDbfTableFiles, BookmarksAndRecordNumbersArePhysical) {
  auto dm = Open();
  TDsDbfTable* t = dm->tblOrvane;
  t->SetRecNo(9);
  EXPECT_EQ(t->GetRecNo(), 9);
  t->Next();  // record 10 is deleted
  EXPECT_EQ(t->GetRecNo(), 11);
  const TBookmarkStr at11 = t->GetBookmark();
  ASSERT_EQ(at11.size(), 4u);
  t->First();
  const TBookmarkStr at1 = t->GetBookmark();
  EXPECT_EQ(t->CompareBookmarks(at1, at11), -1);
  EXPECT_EQ(t->CompareBookmarks(at11, at1), 1);
  EXPECT_EQ(t->CompareBookmarks(at11, at11), 0);
  EXPECT_TRUE(t->BookmarkValid(at11));
  t->GotoBookmark(at11);
  EXPECT_EQ(t->FieldByName("CITY")->GetAsString(), "Сидней"_a);
  // A record number on a deleted record stands on the next visible one.
  t->SetRecNo(10);
  EXPECT_EQ(t->GetRecNo(), 11);
  // RecordCount counts deleted records.
  EXPECT_EQ(t->GetRecordCount(), 15);
  EXPECT_FALSE(t->IsSequenced());
  // Shown deleted records.
  t->SetShowDeleted(true);
  EXPECT_EQ(IdsForward(t).size(), 15u);
  t->SetShowDeleted(false);
  EXPECT_EQ(IdsForward(t).size(), 14u);
}

TEST_F(DsDbfTableFiles, LocateLookupAndFind) {
  auto dm = Open();
  TDsDbfTable* t = dm->tblOrvane;
  EXPECT_TRUE(t->Locate("ID", 14, {}));
  EXPECT_EQ(t->FieldByName("CITY")->GetAsString(), "Сан-Паулу"_a);
  EXPECT_TRUE(t->Locate("CITY", "Мос"_a, TLocateOptions{loPartialKey}));
  EXPECT_EQ(t->GetRecNo(), 1);
  EXPECT_FALSE(t->Locate("CITY", "Мос"_a, {}));
  EXPECT_EQ(t->GetRecNo(), 1);  // stays where it was
  Variant key = VarArrayCreate(0, 1, varVariant);
  key.PutElement(0, "Россия"_a);
  key.PutElement(1, "московский"_a);
  EXPECT_TRUE(t->Locate("COUNTRY;CITY", key, TLocateOptions{loCaseInsensitive}));
  EXPECT_EQ(t->GetRecNo(), 13);
  EXPECT_TRUE(t->Locate("LAT", -23.5475, {}));
  EXPECT_EQ(t->GetRecNo(), 14);
  // Locate sees only what the filter lets through.
  t->SetFilter("lat < 0");
  t->SetFiltered(true);
  EXPECT_FALSE(t->Locate("ID", 1, {}));
  EXPECT_TRUE(t->Locate("ID", 11, {}));
  t->SetFiltered(false);
  try {
    t->Locate("NOSUCH", 1, {});
    ADD_FAILURE() << "an unknown field was searched";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "tblOrvane: Field 'NOSUCH' not found");
  }
  try {
    t->Locate("ID;CITY", 1, {});
    ADD_FAILURE() << "one value for two fields";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "Invalid parameter");
  }

  // Lookup leaves the dataset on the found record.
  t->First();
  EXPECT_EQ(VarToStr(t->Lookup("ID", 8, "CITY")), "Кито"_a);
  EXPECT_EQ(t->GetRecNo(), 8);
  const Variant both = t->Lookup("ID", 3, "COUNTRY;CITY");
  ASSERT_TRUE(VarIsArray(both));
  EXPECT_EQ(VarToStr(both.GetElement(1)), "Киев"_a);
  EXPECT_TRUE(VarIsNull(t->Lookup("ID", 99, "CITY")));
  EXPECT_EQ(t->GetRecNo(), 3);

  // Find over the filter.
  t->SetFilter("lat < 0");
  t->SetFiltered(true);
  EXPECT_TRUE(t->FindFirst());
  EXPECT_EQ(t->GetRecNo(), 8);
  EXPECT_TRUE(t->FindNext());
  EXPECT_EQ(t->GetRecNo(), 11);
  EXPECT_TRUE(t->FindLast());
  EXPECT_EQ(t->GetRecNo(), 14);
  EXPECT_FALSE(t->FindNext());
  EXPECT_FALSE(t->GetFound());
  EXPECT_TRUE(t->FindPrior());
  EXPECT_EQ(t->GetRecNo(), 11);
}

TEST_F(DsDbfTableFiles, EditingWritesTheFileAndItsHeader) {
  auto dm = Open();
  TDsDbfTable* t = dm->tblOrvane;
  const std::size_t at3 = std::size_t(kTownHeaderSize + 2 * kTownRecordSize);

  // Edit and post: the record rewritten in place, in cp866.
  t->SetRecNo(3);
  t->Edit();
  t->FieldByName("CITY")->SetAsString("Киев-2"_a);
  t->Post();
  std::vector<Byte> b = Bytes();
  std::string city(reinterpret_cast<const char*>(&b[at3 + 30]), 6);
  DsTranslateFromFile(dBASE_RUS_cp866, city.data(), 6);
  EXPECT_EQ(city, "Киев-2"_a);
  EXPECT_EQ(b[4], 15);

  // Append outside a batch: record at the end, end mark, count.
  t->Append();
  t->FieldByName("ID")->SetAsInteger(16);
  t->FieldByName("CITY")->SetAsString("Новый"_a);
  t->FieldByName("LAT")->SetAsFloat(-1.5);
  t->Post();
  b = Bytes();
  ASSERT_EQ(b.size(), std::size_t(kTownHeaderSize + 16 * kTownRecordSize + 1));
  EXPECT_EQ(b[4], 16);
  EXPECT_EQ(b.back(), 0x1A);
  EXPECT_EQ(t->GetRecNo(), 16);
  EXPECT_EQ(t->FieldByName("CITY")->GetAsString(), "Новый"_a);
  const std::size_t at16 = std::size_t(kTownHeaderSize + 15 * kTownRecordSize);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[at16 + 1 + 4 + 25 + 40 + 40 + 10]), 10), "   -1.5000");

  // Appends inside a batch: the header waits for EndBatch.
  t->BeginBatch();
  t->Append();
  t->FieldByName("ID")->SetAsInteger(17);
  t->Post();
  b = Bytes();
  EXPECT_EQ(b[4], 16);
  t->EndBatch();
  b = Bytes();
  EXPECT_EQ(b[4], 17);
  EXPECT_EQ(b.size(), std::size_t(kTownHeaderSize + 17 * kTownRecordSize + 1));
  EXPECT_EQ(b.back(), 0x1A);

  // Delete marks the record and keeps it counted.
  t->SetRecNo(2);
  t->Delete();
  b = Bytes();
  EXPECT_EQ(b[std::size_t(kTownHeaderSize + kTownRecordSize)], '*');
  EXPECT_EQ(t->GetRecordCount(), 17);
  EXPECT_EQ(t->GetRecNo(), 3);
  EXPECT_EQ(IdsForward(t), (Ids{1, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17}));

  // The other table object sees the changes when it opens.
  dm->tblCountry_City->Open();
  EXPECT_EQ(dm->tblCountry_City->GetRecordCount(), 17);
}

TEST_F(DsDbfTableFiles, ReadOnlyTablesRefuseChanges) {
  WriteBytes(Path("ORVANE.DBF"), dbftest::TownTableBytes());
  TDataModule dm;
  dm.DsDatabase->SetDatabaseName(Dir);
  dm.tblOrvane->SetReadOnly(true);
  dm.tblOrvane->Open();
  EXPECT_FALSE(dm.tblOrvane->GetCanModify());
  EXPECT_THROW(dm.tblOrvane->Edit(), EDatabaseError);
  dm.tblOrvane->BeginBatch();
  dm.tblOrvane->EndBatch();
  dm.tblOrvane->Close();

  // A file without write permission opens for reading and searching.
  chmod(Dir.c_str(), 0755);
  chmod(Path("ORVANE.DBF").c_str(), 0444);
  const std::vector<Byte> before = Bytes();
  const bool root = geteuid() == 0;
  if (root) setfsuid(65534);
  dm.tblOrvane->SetReadOnly(false);
  EXPECT_NO_THROW(dm.tblOrvane->Open());
  if (dm.tblOrvane->GetActive()) {
    EXPECT_FALSE(dm.tblOrvane->GetCanModify());
    EXPECT_EQ(Search(dm.tblOrvane, {"(country = 'Россия*')"_a}), (Ids{1, 2, 12, 13, 15}));
    EXPECT_TRUE(dm.tblOrvane->Locate("ID", 13, {}));
    try {
      dm.tblOrvane->Edit();
      ADD_FAILURE() << "edited a read-only file";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.GetMessage(), "tblOrvane: Cannot modify a read-only dataset");
    }
    dm.tblOrvane->Close();
  }
  if (root) setfsuid(0);
  EXPECT_EQ(Bytes(), before);
}

TEST_F(DsDbfTableFiles, ConnectionRules) {
  auto dm = Open();
  dm->tblCountry_City->Open();
  // The same value again does nothing.
  dm->DsDatabase->SetExclusive(false);
  EXPECT_TRUE(dm->tblOrvane->GetActive());
  // A new value closes every table and disconnects.
  dm->DsDatabase->SetExclusive(true);
  EXPECT_FALSE(dm->DsDatabase->GetConnected());
  EXPECT_FALSE(dm->tblOrvane->GetActive());
  EXPECT_FALSE(dm->tblCountry_City->GetActive());
  // Tables then open exclusively: a second one over the same file cannot.
  dm->tblOrvane->Open();
  EXPECT_TRUE(dm->DsDatabase->GetConnected());
  EXPECT_THROW(dm->tblCountry_City->Open(), EDatabaseError);
  dm->tblOrvane->Close();
  dm->DsDatabase->SetExclusive(false);

  // Properties that need a closed table.
  dm->tblOrvane->Open();
  EXPECT_THROW(dm->tblOrvane->SetTableName("OTHER.DBF"), EDatabaseError);
  EXPECT_THROW(dm->tblOrvane->SetBufferRecords(50), EDatabaseError);
  EXPECT_THROW(dm->tblOrvane->SetReadOnly(true), EDatabaseError);
  EXPECT_THROW(dm->tblOrvane->SetDatabase(nullptr), EDatabaseError);
  dm->tblOrvane->Close();
  dm->tblOrvane->SetBufferRecords(0);
  EXPECT_EQ(dm->tblOrvane->GetBufferRecords(), 10);
  dm->tblOrvane->SetBufferRecords(3);
  dm->tblOrvane->Open();
  EXPECT_EQ(dm->tblOrvane->GetHandle()->GetBufferRecords(), 3);
  EXPECT_EQ(IdsForward(dm->tblOrvane).size(), 14u);
  EXPECT_EQ(IdsBackward(dm->tblOrvane).size(), 14u);

  // A database that sets ReadOnly makes its tables read-only.
  dm->DsDatabase->SetReadOnly(true);
  dm->tblOrvane->SetReadOnly(false);
  EXPECT_TRUE(dm->tblOrvane->GetReadOnly());
  dm->DsDatabase->SetReadOnly(false);

  // Freeing the database leaves its tables closed and without a database.
  dm->tblOrvane->Open();
  dm->DsDatabase->Free();
  EXPECT_FALSE(dm->tblOrvane->GetActive());
  EXPECT_EQ(dm->tblOrvane->GetDatabase(), nullptr);
}

TEST_F(DsDbfTableFiles, FieldDefinitionsFromAClosedTable) {
  // Three descriptors named NAME, and a record count that includes deleted records.
  const std::vector<dbftest::TFieldSpec> fields = {{"NAME", 'C', 5}, {"NAME", 'N', 4}, {"NAME", 'D', 8}, {"AUTO", '+', 4}};
  std::vector<std::string> rows;
  std::vector<bool> deleted;
  for (int i = 0; i < 10; ++i) {
    rows.push_back("abcde   1        \x01\x00\x00\x00"s);
    deleted.push_back(i % 3 == 0 && i > 0);
  }
  WriteBytes(Path("DUP.DBF"), dbftest::BuildDbf(0x03, 0, fields, rows, deleted));
  TDataModule dm;
  dm.DsDatabase->SetDatabaseName(Dir);
  dm.tblOrvane->SetTableName("DUP");
  dm.tblOrvane->GetFieldDefs().Clear();
  dm.tblOrvane->GetFieldDefs().Update();  // through a temporary handle
  EXPECT_FALSE(dm.tblOrvane->GetActive());
  TFieldDefs& defs = dm.tblOrvane->GetFieldDefs();
  ASSERT_EQ(defs.GetCount(), 4);
  EXPECT_EQ(defs[0]->GetName(), "NAME");
  EXPECT_EQ(defs[1]->GetName(), "NAME_1");
  EXPECT_EQ(defs[2]->GetName(), "NAME_2");
  EXPECT_EQ(defs[0]->GetSize(), 5);
  EXPECT_EQ(defs[1]->GetDataType(), ftFloat);
  EXPECT_EQ(defs[1]->GetSize(), 0);
  EXPECT_EQ(defs[2]->GetDataType(), ftDate);
  EXPECT_EQ(defs[3]->GetDataType(), ftAutoInc);
  EXPECT_TRUE(defs[3]->GetAttributes() & faReadonly);
  dm.tblOrvane->Open();
  EXPECT_EQ(dm.tblOrvane->GetRecordCount(), 10);
  Integer visible = 0;
  for (dm.tblOrvane->First(); !dm.tblOrvane->GetEOF(); dm.tblOrvane->Next()) ++visible;
  EXPECT_EQ(visible, 7);
}

TEST_F(DsDbfTableFiles, TablesWithMemoFieldsOpenAndReadTheirMemos) {
  // A FoxPro table written by python3-dbf, with its memo file beside it.
  std::filesystem::copy_file(dbftest::FixturePath("notes_fp.dbf"), Path("NOTES.DBF"));
  std::filesystem::copy_file(dbftest::FixturePath("notes_fp.fpt"), Path("NOTES.FPT"));
  TDataModule dm;
  dm.DsDatabase->SetDatabaseName(Dir);
  dm.tblOrvane->SetTableName("NOTES");
  dm.tblOrvane->GetFieldDefs().Clear();
  dm.tblOrvane->Open();
  ASSERT_EQ(dm.tblOrvane->GetFieldCount(), 3);
  TField* note = dm.tblOrvane->FieldByName("NOTE");
  EXPECT_EQ(note->GetDataType(), ftMemo);
  EXPECT_EQ(dm.tblOrvane->FieldByName("NAME")->GetAsString(), "Ёлки"_a);
  EXPECT_EQ(note->GetAsString(), "Первая заметка"_a);
  dm.tblOrvane->Next();
  EXPECT_DOUBLE_EQ(dm.tblOrvane->FieldByName("RATIO")->GetAsFloat(), -10.125);
}

}  // namespace

namespace {

TEST_F(DsDbfTableFiles, FieldsOfOtherWritersReachTheDatasetWhole) {
  // A FoxPro table with a character field of 300 bytes, a date-time and an 8-byte double.
  const std::string note = std::string(299, 'n') + "!";
  std::string record = note + "abc";
  record += std::string("\x4D\x72\x25\x00\xB0\x15\x38\x02", 8);  // 2006-12-23 10:20:30
  record += std::string("\x00\x00\x00\x00\x00\x80\x29\x40", 8);  // 12.75
  WriteBytes(Path("OTHER.DBF"), dbftest::BuildDbf(0x30, 0, {{"NOTE", 'C', 300, 1}, {"CODE", 'C', 3},
                                                              {"STAMP", 'T', 8}, {"RATIO", 'B', 8}},
                                                  {record}));
  std::unique_ptr<TComponent, orv::FreeDeleter> owner(new TComponent(nullptr));
  auto* database = new TDsDatabase(owner.get());
  database->SetDatabaseName(Dir);
  auto* table = new TDsDbfTable(owner.get());
  table->SetDatabase(database);
  table->SetTableName("other");
  table->Open();
  EXPECT_EQ(table->FieldByName("NOTE")->GetSize(), 300);
  EXPECT_EQ(table->FieldByName("NOTE")->GetAsString(), note);
  EXPECT_EQ(table->FieldByName("CODE")->GetAsString(), "abc");
  EXPECT_EQ(table->FieldByName("STAMP")->GetDataType(), ftDateTime);
  EXPECT_NEAR(table->FieldByName("STAMP")->GetAsDateTime(), EncodeDate(2006, 12, 23) + EncodeTime(10, 20, 30, 0),
              1e-9);
  EXPECT_EQ(table->FieldByName("RATIO")->GetDataType(), ftFloat);
  EXPECT_EQ(table->FieldByName("RATIO")->GetAsFloat(), 12.75);
}

}  // namespace

namespace {

// The bytes of a field of a record of the fixture copy, padded with blanks to `length`.
void PutField(std::vector<Byte>& bytes, Integer recNo, Integer offset, Integer length, const std::string& text) {
  const std::size_t at = std::size_t(kTownHeaderSize + (recNo - 1) * kTownRecordSize + offset);
  for (Integer i = 0; i < length; ++i) bytes[at + std::size_t(i)] = i < Integer(text.size()) ? Byte(text[std::size_t(i)]) : ' ';
}

// The direct reader's answer for the current record, as the field's own read gives it.
struct TDirectAnswer {
  bool HasValue = false;
  AnsiString Text;
  double Float = 0;
};

TDirectAnswer ReadDirect(TField* field, const TFieldDirectRead& read) {
  TDirectAnswer a;
  const TRecordBuffer record = field->GetDataSet()->GetActiveRecordBuffer();
  if (read.Text) {
    a.HasValue = read.Text(read.Source, record, a.Text);
    if (static_cast<TStringField*>(field)->GetFixedChar() && static_cast<TStringField*>(field)->GetTransliterate())
      while (!a.Text.empty() && a.Text.back() == ' ') a.Text.pop_back();
  } else {
    a.HasValue = read.Float(read.Source, record, a.Float);
  }
  return a;
}

TDirectAnswer ReadOwn(TField* field, const TFieldDirectRead& read) {
  TDirectAnswer a;
  if (read.Text)
    a.HasValue = static_cast<TStringField*>(field)->GetValueText(a.Text);
  else
    a.HasValue = static_cast<orv::TRealField*>(field)->GetValueFloat(a.Float);
  return a;
}

}  // namespace

TEST_F(DsDbfTableFiles, DirectFieldReadsGiveWhatTheFieldsThemselvesRead) {
  // Texts and numbers in every form a writer may leave: blank, cut by a zero byte, with leading
  // blanks, Cyrillic in cp866, filling the field; numbers right- and left-aligned, signed, with
  // fewer or more decimals than declared, exponents and junk.
  std::vector<Byte> bytes = dbftest::TownTableBytes();
  const std::string texts[] = {"", std::string("ab\0cd", 5), "  lead", "\x8c\xae\xe1\xaa\xa2\xa0",
                               std::string(40, 'x'), "tail  "};
  const std::string numbers[] = {"", "  -0.5000", "12.5", "   +3.1416", " 1234567.8", "1e3",
                                 "abc", "   -   ", "  12.34567", "0000.0001"};
  for (Integer recNo = 1; recNo <= 15; ++recNo) {
    const std::string& text = texts[std::size_t(recNo) % std::size(texts)];
    PutField(bytes, recNo, 30, 40, text);
    PutField(bytes, recNo, 5, 25, texts[std::size_t(recNo + 1) % std::size(texts)].substr(0, 25));
    PutField(bytes, recNo, 110, 10, numbers[std::size_t(recNo) % std::size(numbers)]);
    PutField(bytes, recNo, 120, 10, numbers[std::size_t(recNo + 3) % std::size(numbers)]);
  }
  auto dm = Open(bytes);
  TDsDbfTable* t = dm->tblOrvane;
  // The text fields get a text reader, the number fields read as doubles a float reader.
  Integer withText = 0, withFloat = 0;
  std::vector<std::pair<TField*, TFieldDirectRead>> reads;
  for (Integer i = 0; i < t->GetFields().GetCount(); ++i) {
    TField* field = t->GetFields()[i];
    TFieldDirectRead read;
    if (!FindFieldDirectRead(field, read)) continue;
    withText += read.Text != nullptr;
    withFloat += read.Float != nullptr;
    reads.emplace_back(field, read);
  }
  EXPECT_EQ(withText, 6);
  EXPECT_EQ(withFloat, 4);
  auto check = [&](const char* when) {
    for (const auto& [field, read] : reads) {
      const TDirectAnswer direct = ReadDirect(field, read), own = ReadOwn(field, read);
      const std::string where = std::string(when) + " record " + std::to_string(t->GetRecNo()) + " " + field->GetFieldName();
      ASSERT_EQ(direct.HasValue, own.HasValue) << where;
      ASSERT_EQ(direct.Text, own.Text) << where;
      ASSERT_EQ(std::memcmp(&direct.Float, &own.Float, sizeof(double)), 0) << where;
    }
  };
  for (t->First(); !t->GetEOF(); t->Next()) check("browsing");
  // A record being edited reads its edited values.
  t->SetRecNo(2);
  t->Edit();
  t->FieldByName("CITY")->SetAsString("Новый"_a);
  t->FieldByName("LON")->SetAsFloat(-7.25);
  check("editing");
  t->Cancel();
  // Fixed-width texts lose their trailing blanks as the field trims them.
  static_cast<TStringField*>(t->FieldByName("CITY"))->SetFixedChar(true);
  for (t->First(); !t->GetEOF(); t->Next()) check("fixed-width");

  // Nothing for the fields of a closed table.
  dm->tblCountry_City->Open();
  TField* closedCity = dm->tblCountry_City->FieldByName("CITY");
  TFieldDirectRead read;
  EXPECT_TRUE(FindFieldDirectRead(closedCity, read));
  dm->tblCountry_City->SetActive(false);
  if (dm->tblCountry_City->GetFields().GetCount() > 0) {
    EXPECT_FALSE(FindFieldDirectRead(dm->tblCountry_City->GetFields()[0], read));
    EXPECT_EQ(read.Text, nullptr);
    EXPECT_EQ(read.Float, nullptr);
  }
}
