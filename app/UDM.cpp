#include "app/UDM.h"

#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "memdata/RxMemDS.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/WinTypes.h"

TDM* DM = nullptr;

namespace {

// The field definitions both tables store: the layout the program expects of ORVANE.DBF. The
// tables are opened without persistent fields, so the engine takes the file's own descriptors.
#define ORV_TOWN_FIELD_DEFS(ID_TYPE)    \
  "    FieldDefs = <\n"                 \
  "      item\n"                        \
  "        Name = 'ID'\n"               \
  "        DataType = " ID_TYPE "\n"    \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'COUNTRY'\n"          \
  "        DataType = ftString\n"       \
  "        Size = 25\n"                 \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'CITY'\n"             \
  "        DataType = ftString\n"       \
  "        Size = 40\n"                 \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'G_DOLG'\n"           \
  "        DataType = ftString\n"       \
  "        Size = 10\n"                 \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'G_SHIR'\n"           \
  "        DataType = ftString\n"       \
  "        Size = 10\n"                 \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'E_DOLG'\n"           \
  "        DataType = ftString\n"       \
  "        Size = 10\n"                 \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'E_SHIR'\n"           \
  "        DataType = ftString\n"       \
  "        Size = 10\n"                 \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'LON'\n"              \
  "        DataType = ftFloat\n"        \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'LAT'\n"              \
  "        DataType = ftFloat\n"        \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'ECLLON'\n"           \
  "        DataType = ftFloat\n"        \
  "      end\n"                         \
  "      item\n"                        \
  "        Name = 'ECLLAT'\n"           \
  "        DataType = ftFloat\n"        \
  "      end>\n"

const char* const kDataModuleDescription =
    "object DM: TDM\n"
    "  OldCreateOrder = False\n"
    "  OnCreate = DataModuleCreate\n"
    "  OnDestroy = DataModuleDestroy\n"
    "  Left = 192\n"
    "  Top = 107\n"
    "  Height = 160\n"
    "  Width = 372\n"
    "  object DsDatabase: TDsDatabase\n"
    "    Left = 24\n"
    "    Top = 16\n"
    "  end\n"
    "  object tblOrvane: TDsDbfTable\n" ORV_TOWN_FIELD_DEFS("ftInteger")
    "    CodePage = dBASE_RUS_cp866\n"
    "    Database = DsDatabase\n"
    "    TableName = 'ORVANE.DBF'\n"
    "    Left = 112\n"
    "    Top = 16\n"
    "  end\n"
    "  object tblCountry_City: TDsDbfTable\n" ORV_TOWN_FIELD_DEFS("ftFloat")
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

#undef ORV_TOWN_FIELD_DEFS

struct TDataModuleDescription {
  TDataModuleDescription() { orv::RegisterFormDescription("TDM", kDataModuleDescription); }
};
const TDataModuleDescription kDescription;

}  // namespace

AnsiString TDM::DataFolder() const { return ExtractFilePath(Application->GetExeName()) + "DB\\"; }

void TDM::DataModuleCreate(TObject* sender) {
  DataReady = false;
  try {
    DsDatabase->SetDatabaseName(DataFolder());
    DsDatabase->SetConnected(true);
    tblOrvane->SetFilter(AnsiString());
    tblOrvane->SetFiltered(false);
    tblOrvane->SetActive(true);
    DataReady = true;
  } catch (const Exception&) {
    // The reason (no folder, no file, a file of another kind) is not shown: one box names them.
    Application->MessageBox(orv::ConnectionErrorText(), "Ошибка"_a, MB_ICONERROR);
  }
}

void TDM::DataModuleDestroy(TObject* sender) {
  if (DataReady) DsDatabase->SetConnected(false);
}

namespace orv {

AnsiString ConnectionErrorText() {
  // Each break is LF then CR, as the box has always shown it.
  const AnsiString lineBreak = "\n\r";
  return "Ошибка подключения к базе:"_a + lineBreak + "либо не найден файл DB\\Orvane.DBF,"_a + lineBreak +
         "либо у него неверный формат!"_a;
}

}  // namespace orv

ORV_PUBLISH(TDM) {
  using T = TDM;
  p.Method("DataModuleCreate", &T::DataModuleCreate);
  p.Method("DataModuleDestroy", &T::DataModuleDestroy);
  p.Field("DsDatabase", &T::DsDatabase);
  p.Field("tblOrvane", &T::tblOrvane);
  p.Field("tblCountry_City", &T::tblCountry_City);
  p.Field("mdCountry_City", &T::mdCountry_City);
}
