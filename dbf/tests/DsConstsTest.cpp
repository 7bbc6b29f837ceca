#include "dbf/DsConsts.h"

#include <gtest/gtest.h>

#include "dbf/DsDbApi.h"
#include "dbf/DsDbUtils.h"
#include "platform/runtime/Exceptions.h"

namespace {

TEST(DsErrors, TableHoldsATextForEveryCodeButSuccess) {
  EXPECT_STREQ(DsErrorTexts[dsErrNone], "");
  for (Integer code = 1; code < DsErrorCount; ++code)
    EXPECT_GT(std::string(DsErrorTexts[code]).size(), 0u) << code;
  EXPECT_STREQ(DsErrorTexts[dsErrCannotOpenFile], "Cannot open file");
  EXPECT_STREQ(DsErrorTexts[dsErrRecordDeleted],
               "The cursor is positioned on a record that has been deleted");
  EXPECT_STREQ(DsErrorTexts[dsErrInvalidDatabaseFile], "Invalid database file");
  EXPECT_STREQ(DsErrorTexts[dsErrUnexpectedIdentifier], "Unexpected identifier");
}

TEST(DsErrors, CheckPassesSuccessAndRaisesTheMessageOfAFailure) {
  EXPECT_EQ(DsCheck(0), 0);
  EXPECT_EQ(DsCheck(0x100), 0x100);  // only the low byte is a code
  try {
    DsCheck(dsErrCannotOpenFile);
    FAIL() << "no exception";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "Cannot open file");
  }
  EXPECT_THROW(DsCheck(dsErrTableCrypted), EDatabaseError);
}

TEST(DsErrors, ACodeOutsideTheTableGetsAGenericMessage) {
  EXPECT_EQ(DsErrorMessage(62), "Unknown error code 62");
  EXPECT_EQ(DsErrorMessage(200), "Unknown error code 200");
  EXPECT_EQ(DsErrorMessage(-1), "Unknown error code -1");
  try {
    DsCheck(130);  // not masked to 7 bits: 130 is no "Cannot open file"
    FAIL() << "no exception";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.GetMessage(), "Unknown error code 130");
  }
}

TEST(DsDbUtils, ByteRoutines) {
  EXPECT_EQ(DsPosByte("abcabc", 'b', 1), 2);
  EXPECT_EQ(DsPosByte("abcabc", 'b', 3), 5);
  EXPECT_EQ(DsPosByte("abcabc", 'x', 1), 0);
  EXPECT_EQ(DsPosByte("abc", 'a', 4), 0);
  EXPECT_EQ(DsPosByte("abc", 'a', 0), 0);
  EXPECT_EQ(DsPosByte("", 'a', 1), 0);

  EXPECT_TRUE(DsMatchSingle("ABC", "A?C", '?'));
  EXPECT_FALSE(DsMatchSingle("ABC", "A?D", '?'));
  EXPECT_FALSE(DsMatchSingle("ABC", "AB", '?'));
  EXPECT_FALSE(DsMatchSingle("", "", '?'));

  const Byte bytes[] = {1, 2, 1, 1, 3};
  EXPECT_EQ(DsCountByte(1, bytes, 5), 3);
  EXPECT_EQ(DsCountByte(1, bytes, 2), 1);
  EXPECT_EQ(DsCountByte(1, bytes, 0), 0);

  char moved[8] = "abcdefg";
  DsMove(moved, moved + 1, 5);  // overlapping
  EXPECT_STREQ(moved, "aabcdeg");

  static_assert(DsSwap32(0x04030201u) == 0x01020304u);
  static_assert(DsSwap64(0x0807060504030201ull) == 0x0102030405060708ull);
  const Byte be[] = {0x80, 0x00, 0x00, 0x05};
  EXPECT_EQ(DsGetBigEndian32(be), 0x80000005u);
  EXPECT_EQ(DsGetLittleEndian32(be), 0x05000080u);

  EXPECT_EQ(DsBoolToStr(true), "True");
  EXPECT_EQ(DsBoolToStr(false), "False");
}

TEST(DsDbUtils, IncludeTrailingBackslash) {
  const struct {
    const char* In;
    const char* Out;
  } cases[] = {{"", ""}, {"C", "C:\\"}, {"d", "d:\\"}, {"D:\\DATA", "D:\\DATA\\"},
               {"D:\\DATA\\", "D:\\DATA\\"}, {"1", "1\\"}, {"DB", "DB\\"}};
  for (const auto& c : cases) EXPECT_EQ(DsIncludeTrailingBackslash(c.In), c.Out) << c.In;
}

}  // namespace
