#include "dbf/DsCP.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/runtime/AnsiString.h"

namespace {

// The tables that Python's codecs give for the code page rules (make_fixtures.py).
std::map<std::string, std::vector<Byte>> ReferenceTables() {
  std::map<std::string, std::vector<Byte>> tables;
  std::ifstream in(std::string(ORV_SOURCE_DIR) + "/dbf/tests/fixtures/codepages.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string codec, kind, hex;
    words >> codec >> kind >> hex;
    std::vector<Byte> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
      bytes.push_back(static_cast<Byte>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    tables[codec + " " + kind] = bytes;
  }
  return tables;
}

void ExpectTable(const Byte* actual, const std::vector<Byte>& expected, const std::string& what) {
  ASSERT_EQ(expected.size(), 256u) << what;
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(int(actual[b]), int(expected[b])) << what << " at byte 0x" << std::hex << b;
}

TEST(DsCP, DriverTableMatchesTheHeaderBytesAndNames) {
  EXPECT_EQ(DsDriverByte(dBASE_RUS_cp866), 0x26);
  EXPECT_STREQ(DsDriverName(dBASE_RUS_cp866), "db866ru0");
  EXPECT_EQ(DsDriverByte(ascii_ANSI), 0x57);
  EXPECT_STREQ(DsDriverName(ascii_ANSI), "DBWINUS0");
  EXPECT_EQ(DsDriverByte(Access_General), 0x5A);
  EXPECT_EQ(DsDriverByte(WEurope_ANSI), 0x58);
  EXPECT_EQ(static_cast<int>(WEurope_ANSI), CP_TYPE_COUNT - 1);
  // Two pairs of drivers share a byte; two share a name.
  EXPECT_EQ(DsDriverByte(Paradox_ANSI_HEBREW), DsDriverByte(Paradox_ascii));
  EXPECT_EQ(DsDriverByte(Pdox_ANSI_Turkish), DsDriverByte(Pdox_ascii_Japan));
  EXPECT_STREQ(DsDriverName(Paradox_ascii), DsDriverName(Pdox_ascii_Japan));

  EXPECT_STREQ(DsCodePageName(dBASE_RUS_cp866), "dBASE_RUS_cp866");
  CP_TYPE cp = ascii_ANSI;
  EXPECT_TRUE(DsCodePageFromName("Paradox_Cyrr_866", cp));
  EXPECT_EQ(cp, Paradox_Cyrr_866);
  EXPECT_FALSE(DsCodePageFromName("dbase_rus_cp866", cp));
  EXPECT_EQ(cp, Paradox_Cyrr_866);
  for (Integer i = 0; i < CP_TYPE_COUNT; ++i) {
    const auto c = static_cast<CP_TYPE>(i);
    ASSERT_TRUE(DsCodePageFromName(DsCodePageName(c), cp));
    EXPECT_EQ(cp, c);
    EXPECT_LE(std::string(DsDriverName(c)).size(), 8u);
  }
}

TEST(DsCP, IdentityDriversPassEveryByte) {
  int identity = 0;
  for (Integer i = 0; i < CP_TYPE_COUNT; ++i)
    if (DsIsIdentityCodePage(static_cast<CP_TYPE>(i))) ++identity;
  EXPECT_EQ(identity, 53);
  for (const CP_TYPE cp : {ascii_ANSI, Pdox_ANSI_Cyrillic, dBASE_JPN_cp932, WEurope_ANSI}) {
    ASSERT_TRUE(DsIsIdentityCodePage(cp));
    for (int b = 0; b < 256; ++b) {
      EXPECT_EQ(DsReadTable(cp)[b], b);
      EXPECT_EQ(DsWriteTable(cp)[b], b);
    }
  }
  // A value outside the enumeration translates nothing rather than reading past the tables.
  EXPECT_EQ(DsReadTable(static_cast<CP_TYPE>(200))[0xE0], 0xE0);
}

TEST(DsCP, Cp866TranslatesRussianTextBothWays) {
  // "Москва" in cp866, and a box-drawing byte that Windows-1251 lacks.
  Byte text[] = {0x8C, 0xAE, 0xE1, 0xAA, 0xA2, 0xA0, 0xB3, 0x80, 0xE0, 0xF1};
  EXPECT_EQ(DsTranslateFromFile(dBASE_RUS_cp866, text, sizeof text), 0);
  EXPECT_EQ(AnsiString(reinterpret_cast<char*>(text), sizeof text), "Москва#Арё"_a);
  EXPECT_EQ(DsReadTable(dBASE_RUS_cp866)[0x80], 0xC0);  // А
  EXPECT_EQ(DsReadTable(dBASE_RUS_cp866)[0xE0], 0xF0);  // р
  EXPECT_EQ(DsWriteTable(dBASE_RUS_cp866)[0xDF], 0x9F);  // Я

  AnsiString back = "Москва Ёж ѓ"_a;
  EXPECT_EQ(DsTranslateToFile(Paradox_Cyrr_866, back.data(), Integer(back.size())), 0);
  EXPECT_EQ(back, "\x8C\xAE\xE1\xAA\xA2\xA0 \xF0\xA6 \xA3");
}

TEST(DsCP, Cp866TablesMatchPythonCodecsEntryByEntry) {
  const auto tables = ReferenceTables();
  ASSERT_TRUE(tables.count("cp866 read")) << "fixtures/codepages.txt is missing";
  ExpectTable(DsReadTable(dBASE_RUS_cp866), tables.at("cp866 read"), "cp866 read");
  ExpectTable(DsWriteTable(dBASE_RUS_cp866), tables.at("cp866 write"), "cp866 write");
  ExpectTable(DsReadTable(Paradox_Cyrr_866), tables.at("cp866 read"), "cp866 read");
  ExpectTable(DsWriteTable(Paradox_Cyrr_866), tables.at("cp866 write"), "cp866 write");
}

TEST(DsCP, DosCodePagesFollowTheSameRulesAsPythonCodecs) {
  const auto tables = ReferenceTables();
  const struct {
    const char* Codec;
    CP_TYPE Driver;
  } cases[] = {
      {"cp437", dBASE_ENU_cp437},    {"cp437", Paradox_intl},      {"cp850", dBASE_DEU_cp850},
      {"cp852", dBASE_PLK_cp852},    {"cp857", dBASE_TRK_cp857},   {"cp860", dBASE_PTG_cp860},
      {"cp861", Paradox_ISL_861},    {"cp863", dBASE_FRC_cp863},   {"cp865", dBASE_NOR_cp865},
      {"cp737", dBASE_ELL_GR437},    {"cp862", Hebrew_dBASE},      {"iso8859_2", pdx_ISO_L_2_Czech},
      {"hp_roman8", SQL_Link_ROMAN8},
  };
  for (const auto& c : cases) {
    const std::string codec = c.Codec;
    ASSERT_TRUE(tables.count(codec + " read")) << codec;
    ExpectTable(DsReadTable(c.Driver), tables.at(codec + " read"), codec + " read");
    ExpectTable(DsWriteTable(c.Driver), tables.at(codec + " write"), codec + " write");
  }
  EXPECT_EQ(DsReadTable(dBASE_ENU_cp437)[0x82], 'e');  // é reads as plain e
  EXPECT_EQ(DsReadTable(dBASE_ENU_cp437)[0x80], 'C');  // Ç
  EXPECT_EQ(DsReadTable(dBASE_ENU_cp437)[0xC4], '#');  // box drawing
}

TEST(DsCP, EveryDosDriverKeepsAsciiAndMapsOnlyToDefinedBytes) {
  for (Integer i = 0; i < CP_TYPE_COUNT; ++i) {
    const auto cp = static_cast<CP_TYPE>(i);
    for (int b = 0; b < 0x80; ++b) {
      ASSERT_EQ(DsReadTable(cp)[b], b) << DsCodePageName(cp);
      ASSERT_EQ(DsWriteTable(cp)[b], b) << DsCodePageName(cp);
    }
    // A character written and read back is itself or "#" (cp866 writes Ѓ, ѓ, Ќ, ќ as
    // their plain letters).
    const bool cp866 = cp == dBASE_RUS_cp866 || cp == Paradox_Cyrr_866;
    for (int b = 0x80; b < 0x100; ++b) {
      if (cp866 && (b == 0x81 || b == 0x83 || b == 0x8D || b == 0x9D)) continue;
      const Byte round = DsReadTable(cp)[DsWriteTable(cp)[b]];
      EXPECT_TRUE(round == b || DsWriteTable(cp)[b] == '#') << DsCodePageName(cp) << " " << b;
    }
  }
  EXPECT_EQ(DsReadTable(dBASE_BUL_868)[0x80], 0xC0);  // MIK А
  EXPECT_EQ(DsReadTable(dBASE_BUL_868)[0xBF], 0xFF);  // MIK я
  EXPECT_EQ(DsReadTable(dBASE_CSY_cp867)[0x80], 'C');  // Kamenicky Č
  EXPECT_EQ(DsReadTable(dBASE_THA_cp874)[0xA1], '#');  // a Thai letter
}

TEST(DsCP, UpperCaseTableFollowsWindows1251LetterCases) {
  const auto tables = ReferenceTables();
  ASSERT_TRUE(tables.count("cp1251 upper"));
  ExpectTable(DsUpperCaseTable.data(), tables.at("cp1251 upper"), "cp1251 upper");
  EXPECT_EQ(DsUpperCaseTable[Byte("ё"_a[0])], Byte("Ё"_a[0]));
  EXPECT_EQ(DsUpperCaseTable[Byte("я"_a[0])], Byte("Я"_a[0]));
  EXPECT_EQ(DsUpperCaseTable['z'], 'Z');
  EXPECT_EQ(DsUpperCaseTable['*'], '*');
}

}  // namespace
