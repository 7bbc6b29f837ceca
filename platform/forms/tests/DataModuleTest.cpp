// A data module described as a form: the data-access components with their stored field
// definitions and references, loaded with the real components and written back.
#include <gtest/gtest.h>

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

// A module of its own with the data-access components of the program's kind: a database, a
// table with stored field definitions and an in-memory table.
class TDM : public TTestDataModule {
  ORV_CLASS(TDM, TTestDataModule)
 public:
  explicit TDM(TComponent* owner) : TTestDataModule(owner) {}

  TDsDatabase* Db = nullptr;
  TDsDbfTable* Towns = nullptr;
  TRxMemoryData* Memory = nullptr;
  int Created = 0;

  void ModuleCreate(TObject* sender) { ++Created; }
};

ORV_PUBLISH(TDM) {
  p.Method("ModuleCreate", &TDM::ModuleCreate);
  p.Field("Db", &TDM::Db);
  p.Field("Towns", &TDM::Towns);
  p.Field("Memory", &TDM::Memory);
}

const char* const kDataModule =
    "object Data: TDM\n"
    "  OldCreateOrder = False\n"
    "  OnCreate = ModuleCreate\n"
    "  Height = 120\n"
    "  Width = 240\n"
    "  Left = 10\n"
    "  Top = 20\n"
    "  object Db: TDsDatabase\n"
    "    Left = 24\n"
    "    Top = 16\n"
    "  end\n"
    "  object Towns: TDsDbfTable\n"
    "    FieldDefs = <\n"
    "      item\n"
    "        Name = 'ID'\n"
    "        DataType = ftInteger\n"
    "      end\n"
    "      item\n"
    "        Name = 'CITY'\n"
    "        DataType = ftString\n"
    "        Size = 40\n"
    "      end>\n"
    "    CodePage = dBASE_RUS_cp866\n"
    "    Database = Db\n"
    "    TableName = 'ORVANE.DBF'\n"
    "    Left = 112\n"
    "    Top = 16\n"
    "  end\n"
    "  object Memory: TRxMemoryData\n"
    "    Left = 216\n"
    "    Top = 16\n"
    "  end\n"
    "end\n";

struct DataModuleDescription {
  DataModuleDescription() { RegisterFormDescription("TDM", kDataModule); }
  ~DataModuleDescription() { UnregisterFormDescription("TDM"); }
};

using DMPtr = std::unique_ptr<TDM, FreeDeleter>;

DMPtr CreateDM() {
  DMPtr dm(new TDM(nullptr));
  EXPECT_TRUE(InitInheritedComponent(dm.get(), TTestDataModule::StaticClass()));
  dm->DoCreate();
  return dm;
}

TEST(DataModuleDescription, LoadsItsComponentsWithStoredFieldDefinitionsAndWritesThemBack) {
  DataModuleDescription description;
  DMPtr dm = CreateDM();
  EXPECT_EQ(dm->GetName(), "Data");
  ASSERT_EQ(dm->GetComponentCount(), 3);
  EXPECT_EQ(dm->GetComponent(0), dm->Db);
  EXPECT_EQ(dm->GetComponent(1), dm->Towns);
  EXPECT_EQ(dm->GetComponent(2), dm->Memory);
  EXPECT_EQ(dm->GetHeight(), 120);
  EXPECT_EQ(dm->GetWidth(), 240);
  EXPECT_EQ(dm->Created, 1);
  EXPECT_EQ(dm->Towns->GetDatabase(), dm->Db);
  EXPECT_EQ(dm->Towns->GetCodePage(), dBASE_RUS_cp866);
  EXPECT_EQ(dm->Towns->GetTableName(), "ORVANE.DBF");
  EXPECT_FALSE(dm->Towns->GetActive());
  TFieldDefs& defs = dm->Towns->GetFieldDefs();
  ASSERT_EQ(defs.GetCount(), 2);
  EXPECT_EQ(defs.GetItem(0)->GetName(), "ID");
  EXPECT_EQ(defs.GetItem(0)->GetDataType(), ftInteger);
  EXPECT_EQ(defs.GetItem(1)->GetName(), "CITY");
  EXPECT_EQ(defs.GetItem(1)->GetDataType(), ftString);
  EXPECT_EQ(defs.GetItem(1)->GetSize(), 40);
  EXPECT_EQ(dm->Memory->GetFieldDefs().GetCount(), 0);

  // Written back, the module gives its description again.
  EXPECT_EQ(WriteComponentToText(dm.get()), kDataModule);
}

TEST(DataModuleDescription, AFormReachesTheModulesTableByItsQualifiedName) {
  DataModuleDescription description;
  DMPtr dm = CreateDM();
  std::unique_ptr<TComponent, FreeDeleter> form(CreateComponentFromText(
      "object FMain: TTestDataModule\n  object dsTowns: TDataSource\n    DataSet = Data.Towns\n  end\nend"));
  auto* ds = static_cast<TDataSource*>(form->FindComponent("dsTowns"));
  EXPECT_EQ(ds->GetDataSet(), dm->Towns);
  EXPECT_EQ(WriteComponentToText(form.get()),
            "object FMain: TTestDataModule\n  OldCreateOrder = False\n  Height = 0\n  Width = 0\n"
            "  object dsTowns: TDataSource\n    DataSet = Data.Towns\n  end\nend\n");
}

}  // namespace
