// The committed DB/ORVANE.DBF, read through an independent reader: layout, code page, every
// record's ranges and derived fields, and a few well-known towns.
#include <gtest/gtest.h>

#include <filesystem>

#include "tools/tests/ToolsTestSupport.h"

namespace {

TEST(BundledTownTable, IndependentReaderFindsTheLayoutAndKnownTowns) {
  const std::string path = std::string(ORV_SOURCE_DIR) + "/DB/ORVANE.DBF";
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  if (!orv::test::HaveDbfRead()) GTEST_SKIP() << orv::test::kNoDbfRead;
  std::string output;
  EXPECT_EQ(orv::test::CheckTownTable(path + " bundled", output), 0) << output;
}

}  // namespace
