// Settings stores: the text form read and written, values of each kind, erasing, and where the
// settings tree of a key path lives.

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/runtime/IniFiles.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

namespace {

TEST(IniFiles, TextIsReadLeniently) {
  TMemIniFile ini{AnsiString()};
  ini.SetText("stray=1\r\n; a comment\n[One]\nName = value with = sign \r\nbroken line\n[two]\nN=5\n[ONE]\nOther=x\n");
  TStringList sections;
  ini.ReadSections(&sections);
  ASSERT_EQ(sections.GetCount(), 2);
  EXPECT_EQ(sections.Get(0), "One");
  EXPECT_EQ(ini.ReadString("one", "NAME", "-"), " value with = sign");
  EXPECT_EQ(ini.ReadString("One", "Other", "-"), "x");
  EXPECT_EQ(ini.ReadString("One", "stray", "-"), "-");
  EXPECT_EQ(ini.ReadInteger("Two", "N", 0), 5);
  EXPECT_EQ(ini.GetText(), "[One]\r\nName= value with = sign\r\nOther=x\r\n\r\n[two]\r\nN=5\r\n\r\n");
}

TEST(IniFiles, ValuesOfEachKindAndTheirDefaults) {
  TMemIniFile ini{AnsiString()};
  ini.WriteInteger("S", "I", -42);
  ini.WriteBool("S", "B", true);
  ini.WriteString("S", "Bad", "12a");
  ini.WriteString("S", "Hex", "0x1F");
  EXPECT_EQ(ini.ReadInteger("S", "I", 0), -42);
  EXPECT_TRUE(ini.ReadBool("S", "B", false));
  EXPECT_EQ(ini.ReadInteger("S", "Bad", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 31);
  EXPECT_TRUE(ini.ReadBool("S", "Missing", true));

  TMemoryStream bytes;
  const Byte data[] = {0x00, 0xAB, 0x7F};
  bytes.WriteBuffer(data, 3);
  bytes.SetPosition(0);
  ini.WriteBinaryStream("S", "Bin", &bytes);
  EXPECT_EQ(ini.ReadString("S", "Bin", ""), "00AB7F");
  TMemoryStream back;
  EXPECT_EQ(ini.ReadBinaryStream("S", "Bin", &back), 3);
  EXPECT_EQ(static_cast<const Byte*>(back.GetMemory())[1], 0xAB);
  for (const char* bad : {"0", "0G", "ABC"}) {
    ini.WriteString("S", "Bin", bad);
    TMemoryStream none;
    EXPECT_EQ(ini.ReadBinaryStream("S", "Bin", &none), 0) << bad;
    EXPECT_EQ(none.GetSize(), 0) << bad;
  }

  ini.DeleteKey("S", "I");
  EXPECT_FALSE(ini.ValueExists("S", "I"));
  EXPECT_TRUE(ini.ValueExists("s", "b"));
  ini.EraseSection("s");
  EXPECT_FALSE(ini.SectionExists("S"));
  ini.WriteString("S", "Again", "1");
  EXPECT_EQ(ini.GetText(), "[S]\r\nAgain=1\r\n\r\n");
}

TEST(IniFiles, ManySectionsEraseAndReadBack) {
  TMemIniFile ini{AnsiString()};
  for (int i = 0; i < 500; ++i) ini.WriteInteger("Sec" + std::to_string(i), "V", i);
  for (int i = 0; i < 500; i += 2) ini.EraseSection("Sec" + std::to_string(i));
  TStringList sections;
  ini.ReadSections(&sections);
  ASSERT_EQ(sections.GetCount(), 250);
  EXPECT_EQ(sections.Get(0), "Sec1");
  EXPECT_EQ(ini.ReadInteger("Sec499", "V", 0), 499);
  EXPECT_EQ(ini.ReadInteger("Sec498", "V", 0), 0);
}

TEST(IniFiles, TheSettingsTreeOfAKeyPathLivesUnderTheConfigurationFolder) {
  const char* previous = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = previous ? previous : "";
  setenv("XDG_CONFIG_HOME", "/home/u/cfg", 1);
  EXPECT_EQ(orv::RegistryKeyFileName("\\Software\\Firm\\App\\"), "/home/u/cfg/Firm/App.ini");
  EXPECT_EQ(orv::RegistryKeyFileName("Firm\\..\\App"), "/home/u/cfg/Firm/App.ini");
  setenv("XDG_CONFIG_HOME", "relative", 1);
  setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/root", 1);
  EXPECT_EQ(orv::UserConfigDirectory(), AnsiString(std::getenv("HOME")) + "/.config/");
  if (previous)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
