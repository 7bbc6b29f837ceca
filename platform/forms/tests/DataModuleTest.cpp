// The program's data module described as a form: its database, two tables over the town table
// with stored field definitions and the in-memory table, loaded with the real components and
// opened on the bundled table.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Fields.h"
#include "platform/forms/Filer.h"

using namespace orv;

namespace {

// Stands in for the platform's data module: a root that owns non-visual components, publishes
// its create and destroy events and its design size, and runs OnCreate once it is read.
class TTestDataModule : public TComponent {
  ORV_CLASS(TTestDataModule, TComponent)
 public:
  explicit TTestDataModule(TComponent* owner) : TComponent(owner) {}

  void BeforeDestruction() override {
    Destroying();
    if (FOnDestroy) FOnDestroy(this);
    inherited::BeforeDestruction();
  }
  void GetChildren(TGetChildProc proc, TComponent* root) override {
    for (Integer i = 0; i < GetComponentCount(); ++i)
      if (!GetComponent(i)->HasParent()) proc(GetComponent(i));
  }
  void DoCreate() {
    if (FOnCreate) FOnCreate(this);
  }

  bool GetOldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool v) { FOldCreateOrder = v; }
  const TNotifyEvent& GetOnCreate() const { return FOnCreate; }
  void SetOnCreate(const TNotifyEvent& v) { FOnCreate = v; }
  const TNotifyEvent& GetOnDestroy() const { return FOnDestroy; }
  void SetOnDestroy(const TNotifyEvent& v) { FOnDestroy = v; }
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer v) { FHeight = v; }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer v) { FWidth = v; }

 private:
  bool FOldCreateOrder = false;
  TNotifyEvent FOnCreate, FOnDestroy;
  Integer FHeight = 0, FWidth = 0;
};

ORV_PUBLISH(TTestDataModule) {
  using T = TTestDataModule;
  p.Property("OldCreateOrder", &T::GetOldCreateOrder, &T::SetOldCreateOrder);
  p.Property("OnCreate", &T::GetOnCreate, &T::SetOnCreate);
  p.Property("OnDestroy", &T::GetOnDestroy, &T::SetOnDestroy);
  p.Property("Height", &T::GetHeight, &T::SetHeight);
  p.Property("Width", &T::GetWidth, &T::SetWidth);
}

// The program's data module as its unit declares it.
class TDM : public TTestDataModule {
  ORV_CLASS(TDM, TTestDataModule)
 public:
  explicit TDM(TComponent* owner) : TTestDataModule(owner) {}

  TDsDatabase* DsDatabase = nullptr;
  TDsDbfTable* tblOrvane = nullptr;
  TDsDbfTable* tblCountry_City = nullptr;
  TRxMemoryData* mdCountry_City = nullptr;
  bool DataReady = false;
  AnsiString Folder = AnsiString(ORV_SOURCE_DIR) + "/DB/";

  void DataModuleCreate(TObject* sender) {
    DataReady = false;
    try {
      DsDatabase->SetDatabaseName(Folder);
      DsDatabase->SetConnected(true);
      tblOrvane->SetFilter("");
      tblOrvane->SetFiltered(false);
      tblOrvane->SetActive(true);
      DataReady = true;
    } catch (const Exception&) {
    }
  }
  void DataModuleDestroy(TObject* sender) {
    if (DataReady) DsDatabase->SetConnected(false);
  }
};

ORV_PUBLISH(TDM) {
  p.Method("DataModuleCreate", &TDM::DataModuleCreate);
  p.Method("DataModuleDestroy", &TDM::DataModuleDestroy);
  p.Field("DsDatabase", &TDM::DsDatabase);
  p.Field("tblOrvane", &TDM::tblOrvane);
  p.Field("tblCountry_City", &TDM::tblCountry_City);
  p.Field("mdCountry_City", &TDM::mdCountry_City);
}

#define TOWN_FIELDS(ID_TYPE)     \
  "    FieldDefs = <\n"          \
  "      item\n"                 \
  "        Name = 'ID'\n"        \
  "        DataType = " ID_TYPE "\n" \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'COUNTRY'\n"   \
  "        DataType = ftString\n" \
  "        Size = 25\n"          \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'CITY'\n"      \
  "        DataType = ftString\n" \
  "        Size = 40\n"          \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'G_DOLG'\n"    \
  "        DataType = ftString\n" \
  "        Size = 10\n"          \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'G_SHIR'\n"    \
  "        DataType = ftString\n" \
  "        Size = 10\n"          \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'E_DOLG'\n"    \
  "        DataType = ftString\n" \
  "        Size = 10\n"          \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'E_SHIR'\n"    \
  "        DataType = ftString\n" \
  "        Size = 10\n"          \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'LON'\n"       \
  "        DataType = ftFloat\n" \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'LAT'\n"       \
  "        DataType = ftFloat\n" \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'ECLLON'\n"    \
  "        DataType = ftFloat\n" \
  "      end\n"                  \
  "      item\n"                 \
  "        Name = 'ECLLAT'\n"    \
  "        DataType = ftFloat\n" \
  "      end>\n"

const char* const kDataModule =
    "object DM: TDM\n"
    "  OldCreateOrder = False\n"
    "  OnCreate = DataModuleCreate\n"
    "  OnDestroy = DataModuleDestroy\n"
    "  Height = 160\n"
    "  Width = 372\n"
    "  Left = 192\n"
    "  Top = 107\n"
    "  object DsDatabase: TDsDatabase\n"
    "    Left = 24\n"
    "    Top = 16\n"
    "  end\n"
    "  object tblOrvane: TDsDbfTable\n" TOWN_FIELDS("ftInteger")
    "    CodePage = dBASE_RUS_cp866\n"
    "    Database = DsDatabase\n"
    "    TableName = 'ORVANE.DBF'\n"
    "    Left = 112\n"
    "    Top = 16\n"
    "  end\n"
    "  object tblCountry_City: TDsDbfTable\n" TOWN_FIELDS("ftFloat")
    "    CodePage = dBASE_RUS_cp866\n"
    "    Database = DsDatabase\n"
    "    TableName = 'ORVANE.DBF'\n"
    "    Left = 112\n"
    "    Top = 72\n"
    "  end\n"
    "  object mdCountry_City: TRxMemoryData\n"
    "    FieldDefs = <>\n"
    "    Left = 216\n"
    "    Top = 16\n"
    "  end\n"
    "end\n";

struct DataModuleDescription {
  DataModuleDescription() { RegisterFormDescription("TDM", kDataModule); }
  ~DataModuleDescription() { UnregisterFormDescription("TDM"); }
};

using DMPtr = std::unique_ptr<TDM, FreeDeleter>;

// What creating the program's data module does: build it from its description, then OnCreate.
DMPtr CreateDM(bool runCreate = true, AnsiString folder = AnsiString()) {
  DMPtr dm(new TDM(nullptr));
  if (!folder.empty()) dm->Folder = folder;
  EXPECT_TRUE(InitInheritedComponent(dm.get(), TTestDataModule::StaticClass()));
  if (runCreate) dm->DoCreate();
  return dm;
}

void ExpectTownFieldDefs(TFieldDefs& defs, TFieldType idType) {
  struct Def {
    const char* Name;
    TFieldType Type;
    Integer Size;
  };
  const Def expected[] = {{"ID", idType, 0},          {"COUNTRY", ftString, 25}, {"CITY", ftString, 40},
                          {"G_DOLG", ftString, 10},   {"G_SHIR", ftString, 10},  {"E_DOLG", ftString, 10},
                          {"E_SHIR", ftString, 10},   {"LON", ftFloat, 0},       {"LAT", ftFloat, 0},
                          {"ECLLON", ftFloat, 0},     {"ECLLAT", ftFloat, 0}};
  ASSERT_EQ(defs.GetCount(), 11);
  for (Integer i = 0; i < 11; ++i) {
    SCOPED_TRACE(expected[i].Name);
    EXPECT_EQ(defs.GetItem(i)->GetName(), expected[i].Name);
    EXPECT_EQ(defs.GetItem(i)->GetDataType(), expected[i].Type);
    EXPECT_EQ(defs.GetItem(i)->GetSize(), expected[i].Size);
  }
}

TEST(DataModuleDescription, LoadsItsFourComponentsWithStoredFieldDefinitions) {
  DataModuleDescription description;
  DMPtr dm = CreateDM(false);
  EXPECT_EQ(dm->GetName(), "DM");
  ASSERT_EQ(dm->GetComponentCount(), 4);
  EXPECT_EQ(dm->GetComponent(0), dm->DsDatabase);
  EXPECT_EQ(dm->GetComponent(1), dm->tblOrvane);
  EXPECT_EQ(dm->GetComponent(2), dm->tblCountry_City);
  EXPECT_EQ(dm->GetComponent(3), dm->mdCountry_City);
  EXPECT_EQ(dm->GetHeight(), 160);
  EXPECT_EQ(dm->GetWidth(), 372);
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
  EXPECT_EQ(dm->GetOnCreate(), TNotifyEvent(dm.get(), &TDM::DataModuleCreate));

  // Written back, the data module gives its description again.
  EXPECT_EQ(WriteComponentToText(dm.get()), std::string(kDataModule).replace(
                                                std::string(kDataModule).find("    FieldDefs = <>\n"),
                                                std::strlen("    FieldDefs = <>\n"), ""));
}

TEST(DataModuleDescription, OnCreateOpensTheTownTableAndAFormReachesIt) {
  DataModuleDescription description;
  DMPtr dm = CreateDM();
  ASSERT_TRUE(dm->DataReady);
  EXPECT_TRUE(dm->DsDatabase->GetConnected());
  EXPECT_TRUE(dm->tblOrvane->GetActive());
  EXPECT_GT(dm->tblOrvane->GetRecordCount(), 10000);
  EXPECT_EQ(dm->tblOrvane->FieldByName("CITY")->GetSize(), 40);
  EXPECT_FALSE(dm->tblCountry_City->GetActive());

  // The main window's data source names the table in the data module.
  std::unique_ptr<TComponent, FreeDeleter> form(CreateComponentFromText(
      "object FMain: TTestDataModule\n  object dsOrvane: TDataSource\n    DataSet = DM.tblOrvane\n  end\nend"));
  auto* ds = static_cast<TDataSource*>(form->FindComponent("dsOrvane"));
  EXPECT_EQ(ds->GetDataSet(), dm->tblOrvane);
  EXPECT_EQ(WriteComponentToText(form.get()),
            "object FMain: TTestDataModule\n  OldCreateOrder = False\n  Height = 0\n  Width = 0\n"
            "  object dsOrvane: TDataSource\n    DataSet = DM.tblOrvane\n  end\nend\n");
}

TEST(DataModuleDescription, AMissingFolderLeavesTheDataNotReady) {
  DataModuleDescription description;
  DMPtr dm = CreateDM(true, AnsiString(ORV_SOURCE_DIR) + "/no-such-folder/");
  EXPECT_FALSE(dm->DataReady);
  EXPECT_FALSE(dm->tblOrvane->GetActive());
}

}  // namespace
