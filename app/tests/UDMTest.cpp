// The data module: its form description, the start on the folder beside the program, the one
// error box of a failed connection, and the one disconnect at the end.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/Program.h"
#include "app/tests/AppTestSupport.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/FieldDefs.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/SysUtils.h"

using namespace apptest;

namespace {

// Counts the connection's disconnects as a client of it.
class TDisconnectCounter : public TObject {
  ORV_CLASS(TDisconnectCounter, TObject)
 public:
  TDisconnectCounter() = default;
  void Listen(TDsDatabase* database) {
    database->RegisterClient(this, TConnectChangeEvent(this, &TDisconnectCounter::Changed));
  }
  int Disconnects = 0;

 private:
  void Changed(TObject*, bool connecting) {
    if (!connecting) ++Disconnects;
  }
};

void ExpectTownFieldDefs(TFieldDefs& defs, TFieldType idType) {
  const struct {
    const char* Name;
    TFieldType Type;
    Integer Size;
  } expected[] = {{"ID", idType, 0},        {"COUNTRY", ftString, 25}, {"CITY", ftString, 40},
                  {"G_DOLG", ftString, 10}, {"G_SHIR", ftString, 10},  {"E_DOLG", ftString, 10},
                  {"E_SHIR", ftString, 10}, {"LON", ftFloat, 0},       {"LAT", ftFloat, 0},
                  {"ECLLON", ftFloat, 0},   {"ECLLAT", ftFloat, 0}};
  ASSERT_EQ(defs.GetCount(), 11);
  for (Integer i = 0; i < 11; ++i) {
    SCOPED_TRACE(expected[i].Name);
    EXPECT_EQ(defs.GetItem(i)->GetName(), expected[i].Name);
    EXPECT_EQ(defs.GetItem(i)->GetDataType(), expected[i].Type);
    EXPECT_EQ(defs.GetItem(i)->GetSize(), expected[i].Size);
  }
}

TEST(DataModule, ItsDescriptionBuildsTheFourComponentsAndWritesBackTheSame) {
  MessageBoxes boxes;
  // What AfterConstruction does before OnCreate: read the module's description.
  DMPtr dm(new TDM(Application));
  ASSERT_TRUE(orv::InitInheritedComponent(dm.get(), TDataModule::StaticClass()));
  EXPECT_EQ(dm->GetName(), "DM");
  ASSERT_EQ(dm->GetComponentCount(), 4);
  EXPECT_EQ(dm->GetComponent(0), dm->DsDatabase);
  EXPECT_EQ(dm->GetComponent(1), dm->tblOrvane);
  EXPECT_EQ(dm->GetComponent(2), dm->tblCountry_City);
  EXPECT_EQ(dm->GetComponent(3), dm->mdCountry_City);
  EXPECT_EQ(dm->GetDesignSize(), (TPoint{372, 160}));
  EXPECT_FALSE(dm->GetOldCreateOrder());
  EXPECT_EQ(dm->GetOnCreate(), TNotifyEvent(dm.get(), &TDM::DataModuleCreate));
  EXPECT_EQ(dm->GetOnDestroy(), TNotifyEvent(dm.get(), &TDM::DataModuleDestroy));
  EXPECT_TRUE(dm->DsDatabase->GetDatabaseName().empty());
  for (TDsDbfTable* table : {dm->tblOrvane, dm->tblCountry_City}) {
    EXPECT_EQ(table->GetDatabase(), dm->DsDatabase);
    EXPECT_EQ(table->GetCodePage(), dBASE_RUS_cp866);
    EXPECT_EQ(table->GetTableName(), "ORVANE.DBF");
    EXPECT_FALSE(table->GetExclusive());
    EXPECT_FALSE(table->GetReadOnly());
    EXPECT_FALSE(table->GetActive());
  }
  ExpectTownFieldDefs(dm->tblOrvane->GetFieldDefs(), ftInteger);
  ExpectTownFieldDefs(dm->tblCountry_City->GetFieldDefs(), ftFloat);
  EXPECT_EQ(dm->mdCountry_City->GetFieldDefs().GetCount(), 0);
  EXPECT_FALSE(dm->DataReady);

  // Written back, the module gives its own description (an empty collection is not stored).
  std::string expected = *orv::FindFormDescription("TDM");
  const std::string empty = "    FieldDefs = <>\n";
  expected.erase(expected.find(empty), empty.size());
  EXPECT_EQ(orv::WriteComponentToText(dm.get()), expected);
  EXPECT_TRUE(boxes.Shown.empty());
}

TEST(DataModule, StartsOnTheTownTableBesideTheProgramAndDisconnectsOnceAtTheEnd) {
  MessageBoxes boxes;
  // The default folder is the program's own folder and "DB\"; the build puts the bundled table
  // beside the test program as it does beside the program.
  const AnsiString folder = ExtractFilePath(Application->GetExeName()) + "DB\\";
  ASSERT_TRUE(std::filesystem::exists(orv::ResolveFileName(folder + "ORVANE.DBF")))
      << "the build copies DB/ORVANE.DBF beside the programs of app/";
  Application->CreateForm(DM);
  DMPtr dm(DM);
  ASSERT_NE(DM, nullptr);
  EXPECT_TRUE(DM->DataReady);
  EXPECT_TRUE(boxes.Shown.empty());
  EXPECT_EQ(DM->DsDatabase->GetDatabaseName(), folder);
  EXPECT_TRUE(DM->DsDatabase->GetConnected());
  EXPECT_TRUE(DM->tblOrvane->GetActive());
  EXPECT_FALSE(DM->tblOrvane->GetFiltered());
  EXPECT_TRUE(DM->tblOrvane->GetFilter().empty());
  EXPECT_FALSE(DM->tblCountry_City->GetActive());
  EXPECT_EQ(DM->tblOrvane->GetRecordCount(), 11390);
  EXPECT_EQ(DM->tblOrvane->FieldByName("CITY")->GetSize(), 40);

  TDisconnectCounter counter;
  counter.Listen(DM->DsDatabase);
  dm.reset();  // the application frees its data module at the end of the run
  EXPECT_EQ(counter.Disconnects, 1);
  EXPECT_EQ(DM, nullptr);
  EXPECT_TRUE(boxes.Shown.empty());
}

TEST(DataModule, AFailedConnectionShowsOneErrorBoxAndNeverDisconnects) {
  TempDir temp;
  const std::vector<char> good = ReadBytes(BundledTable());
  std::vector<char> wrongVersion = good;
  wrongVersion[0] = 0x31;
  std::vector<char> damaged = good;
  damaged[10] = damaged[11] = 0;  // record size 0
  const struct {
    const char* What;
    AnsiString Folder;
    const std::vector<char>* Bytes;  // null: no file
  } cases[] = {
      {"missing folder", temp.Dir() + "NODB\\", &good},
      {"missing file", temp.Dir(), nullptr},
      {"wrong version byte", temp.Dir(), &wrongVersion},
      {"damaged header", temp.Dir(), &damaged},
      {"empty database name", AnsiString(), &good},
  };
  const AnsiString text =
      "Ошибка подключения к базе:\n\rлибо не найден файл DB\\Orvane.DBF,\n\rлибо у него неверный формат!"_a;
  EXPECT_EQ(orv::ConnectionErrorText(), text);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    std::filesystem::remove(temp.File("ORVANE.DBF"));
    if (c.Bytes) WriteBytes(temp.File("ORVANE.DBF"), *c.Bytes);
    MessageBoxes boxes;
    DMPtr dm = StartDataModule(c.Folder);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, text);
    EXPECT_EQ(boxes.Shown[0].Caption, "Ошибка"_a);
    EXPECT_EQ(boxes.Shown[0].Type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_FALSE(dm->DataReady);
    EXPECT_FALSE(dm->tblOrvane->GetActive());

    // The destroy handler leaves a connection that was made before the table failed alone.
    const bool connected = dm->DsDatabase->GetConnected();
    TDisconnectCounter counter;
    counter.Listen(dm->DsDatabase);
    dm->DataModuleDestroy(dm.get());
    EXPECT_EQ(dm->DsDatabase->GetConnected(), connected);
    EXPECT_EQ(counter.Disconnects, 0);
    dm.reset();
    EXPECT_EQ(boxes.Shown.size(), 1u);
  }
}

TEST(DataModule, TheDestroyHandlerDisconnectsAReadyModuleOnce) {
  TempDir temp;
  WriteBytes(temp.File("ORVANE.DBF"), ReadBytes(BundledTable()));
  MessageBoxes boxes;
  DMPtr dm = StartDataModule(temp.Dir());
  ASSERT_TRUE(dm->DataReady);
  dm->tblCountry_City->SetActive(true);
  TDisconnectCounter counter;
  counter.Listen(dm->DsDatabase);
  dm->DataModuleDestroy(dm.get());
  EXPECT_FALSE(dm->DsDatabase->GetConnected());
  // Disconnecting closed every table of the connection.
  EXPECT_FALSE(dm->tblOrvane->GetActive());
  EXPECT_FALSE(dm->tblCountry_City->GetActive());
  dm.reset();
  EXPECT_EQ(counter.Disconnects, 1);
  EXPECT_TRUE(boxes.Shown.empty());
}

}  // namespace

namespace {

TEST(ProgramStart, TitlesTheApplicationAndGoesOnOnlyWhenTheDataIsReady) {
  MessageBoxes boxes;
  {
    EXPECT_TRUE(orv::StartProgramData());
    DMPtr dm(DM);
    EXPECT_EQ(Application->GetTitle(), "Орване"_a);
    EXPECT_TRUE(dm->tblOrvane->GetActive());
    EXPECT_EQ(dm->ClassType(), TDM::StaticClass());
  }
  EXPECT_TRUE(boxes.Shown.empty());

  TempDir empty;
  TTestDM::Folder() = empty.Dir();
  EXPECT_FALSE(orv::StartProgramData(TTestDM::StaticClass()));
  DMPtr dm(DM);
  EXPECT_EQ(boxes.Shown.size(), 1u);
}

}  // namespace
