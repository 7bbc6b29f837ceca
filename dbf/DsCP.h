// Language drivers of dBASE tables: the driver byte and name that table headers carry, and the
// translation of text between the table's code page and Windows-1251, the system's own.
//
// Text fields and memo text are translated byte for byte through two 256-byte tables per
// driver: the read table (table byte -> Windows-1251 byte) and the write table (Windows-1251
// byte -> table byte). Drivers of Windows and multi-byte code pages pass bytes unchanged. For a
// DOS code page, a character that Windows-1251 also has keeps its identity, a Latin letter with
// a diacritic that Windows-1251 lacks reads as its plain letter, and everything else (box
// drawing, Greek, Hebrew, Thai, ...) becomes "#" in either direction.
#pragma once

#include <array>
#include <string_view>

#include "platform/runtime/Types.h"

// The language drivers, in the order of the table component's CodePage property.
enum CP_TYPE : Byte {
  Access_General,
  Access_Greece,
  Access_Japanese,
  Access_NordDanish,
  Access_SwedFinnish,
  ascii_ANSI,
  Borland_ANSI_Arabic,
  Borland_DAN_Latin1,
  Borland_DEU_Latin1,
  Borland_ENG_Latin1,
  Borland_ENU_Latin1,
  Borland_ESP_Latin1,
  Borland_FIN_Latin1,
  Borland_FRA_Latin1,
  Borland_FRC_Latin1,
  Borland_ISL_Latin1,
  Borland_ITA_Latin1,
  Borland_NLD_Latin1,
  Borland_NOR_Latin1,
  Borland_PTG_Latin1,
  Borland_SVE_Latin1,
  DB2_SQL_ANSI_DEU,
  dBASE_BUL_868,
  dBASE_CHS_cp936,
  dBASE_CHT_cp950,
  dBASE_CSY_cp852,
  dBASE_CSY_cp867,
  dBASE_DAN_cp865,
  dBASE_DEU_cp437,
  dBASE_DEU_cp850,
  dBASE_ELL_GR437,
  dBASE_ENG_cp437,
  dBASE_ENG_cp850,
  dBASE_ENU_cp437,
  dBASE_ENU_cp850,
  dBASE_ESP_cp437,
  dBASE_ESP_cp850,
  dBASE_FIN_cp437,
  dBASE_FRA_cp437,
  dBASE_FRA_cp850,
  dBASE_FRC_cp850,
  dBASE_FRC_cp863,
  dBASE_HUN_cp852,
  dBASE_ITA_cp437,
  dBASE_ITA_cp850,
  dBASE_JPN_cp932,
  dBASE_JPN_Dic932,
  dBASE_KOR_cp949,
  dBASE_NLD_cp437,
  dBASE_NLD_cp850,
  dBASE_NOR_cp865,
  dBASE_PLK_cp852,
  dBASE_PTB_cp850,
  dBASE_PTG_cp860,
  dBASE_RUS_cp866,
  dBASE_SLO_cp852,
  dBASE_SVE_cp437,
  dBASE_SVE_cp850,
  dBASE_THA_cp874,
  dBASE_TRK_cp857,
  FoxPro_Czech_1250,
  FoxPro_Czech_DOS895,
  FoxPro_German_1252,
  FoxPro_German_437,
  FoxPro_Nordic_1252,
  FoxPro_Nordic_437,
  FoxPro_Nordic_850,
  Hebrew_dBASE,
  MSSQL_ANSI_Greek,
  Oracle_SQL_WE850,
  Paradox_ANSI_HEBREW,
  Paradox_ascii,
  Paradox_BUL_868,
  Paradox_China_936,
  Paradox_Cyrr_866,
  Paradox_Czech_852,
  Paradox_Czech_867,
  Paradox_ESP_437,
  Paradox_Greek_GR437,
  Paradox_hebrew,
  Paradox_Hun_852_DC,
  Paradox_intl_850,
  Paradox_intl,
  Paradox_ISL_861,
  Paradox_japan,
  Paradox_Korea_949,
  Paradox_nordan,
  Paradox_nordan40,
  Paradox_Polish_852,
  Paradox_Slovene_852,
  Paradox_swedfin,
  Paradox_Taiwan_950,
  Paradox_Thai_874,
  Paradox_turk,
  Pdox_ANSI_Bulgaria,
  Pdox_ANSI_Cyrillic,
  Pdox_ANSI_Czech,
  Pdox_ANSI_Greek,
  Pdox_ANSI_Hun_DC,
  Pdox_ANSI_Intl,
  Pdox_ANSI_Intl850,
  Pdox_ANSI_Nordan4,
  Pdox_ANSI_Polish,
  Pdox_ANSI_Slovene,
  Pdox_ANSI_Spanish,
  Pdox_ANSI_Swedfin,
  Pdox_ANSI_Turkish,
  Pdox_ascii_Japan,
  pdx_ANSI_Czech_CH,
  pdx_ANSI_ISO_L_2_CZ,
  pdx_Czech_852_CH,
  pdx_Czech_867_CH,
  pdx_ISO_L_2_Czech,
  Spanish_ANSI,
  SQL_Link_ROMAN8,
  Sybase_SQL_Dic437,
  Sybase_SQL_Dic850,
  WEurope_ANSI,
};

inline constexpr Integer CP_TYPE_COUNT = 118;

// The language-driver byte that a table header of this driver carries at offset 29.
Byte DsDriverByte(CP_TYPE codePage);
// The driver name (at most 8 characters) that a dBASE VII header carries at offset 32.
const char* DsDriverName(CP_TYPE codePage);
// The identifier of the value ("dBASE_RUS_cp866"), as form descriptions write it.
const char* DsCodePageName(CP_TYPE codePage);
// The value with that identifier (compared exactly); False when there is none.
bool DsCodePageFromName(std::string_view name, CP_TYPE& codePage);

// The driver's read table (table byte -> Windows-1251) and write table (Windows-1251 -> table
// byte), 256 entries each. A value outside the enumeration gets the identity tables.
const Byte* DsReadTable(CP_TYPE codePage);
const Byte* DsWriteTable(CP_TYPE codePage);
// True when both tables leave every byte unchanged.
bool DsIsIdentityCodePage(CP_TYPE codePage);

// Translate `count` bytes in place, from the table's code page to Windows-1251 / back. No byte
// is added, removed or merged. Both return 0.
Byte DsTranslateFromFile(CP_TYPE codePage, void* bytes, Integer count);
Byte DsTranslateToFile(CP_TYPE codePage, void* bytes, Integer count);

// Windows-1251 byte -> its upper-case byte (Latin and Cyrillic letters, the Cyrillic
// extensions such as ё -> Ё included); every other byte unchanged. For case-insensitive
// matching of text values.
extern const std::array<Byte, 256> DsUpperCaseTable;
