#include "tools/SyntheticTownTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "tools/tests/ToolsTestSupport.h"

namespace {

TEST(SyntheticTownTable, SameSeedSameTownsAndEveryTownFitsTheLayout) {
  orv::SyntheticTownGenerator a(7), b(7), other(8);
  std::set<AnsiString> countries;
  bool differs = false;
  std::size_t cityLetters = 0;
  const int n = 5000;
  for (int i = 0; i < n; ++i) {
    const orv::TownRecord t = a.Next();
    const orv::TownRecord u = b.Next();
    const orv::TownRecord v = other.Next();
    ASSERT_EQ(t.Id, i + 1);
    ASSERT_EQ(t.City, u.City);
    ASSERT_EQ(t.Country, u.Country);
    ASSERT_EQ(t.Lon, u.Lon);
    differs = differs || t.City != v.City;

    ASSERT_FALSE(t.City.empty());
    ASSERT_LE(t.City.size(), std::size_t(orv::kTownCityLength));
    ASSERT_LE(t.Country.size(), std::size_t(orv::kTownCountryLength));
    ASSERT_NE(t.City.back(), ' ');
    ASSERT_TRUE(orv::HasCp866Form(t.City) && orv::HasCp866Form(t.Country));
    ASSERT_GE(t.Lon, 0);
    ASSERT_LT(t.Lon, 360);
    ASSERT_LE(std::abs(t.Lat), 89.5);
    countries.insert(t.Country);
    cityLetters += t.City.size();
  }
  EXPECT_TRUE(differs);
  // Names of the lengths real ones have, and many towns per country as in an atlas.
  EXPECT_GT(cityLetters / n, 6u);
  EXPECT_LT(cityLetters / n, 13u);
  EXPECT_GT(countries.size(), 100u);
  EXPECT_LT(countries.size(), 200u);
}

TEST(SyntheticTownTable, IndependentReaderAcceptsAWrittenTable) {
  if (!orv::test::HaveDbfRead()) GTEST_SKIP() << orv::test::kNoDbfRead;
  orv::test::TempDir dir;
  const std::string path = dir.File("synthetic.dbf");
  orv::WriteSyntheticTownTable(path, 3000, 42);
  EXPECT_EQ(std::filesystem::file_size(path), 385u + 3000 * 156 + 1);
  std::string output;
  EXPECT_EQ(orv::test::CheckTownTable(path + " synthetic 3000", output), 0) << output;
}

}  // namespace
