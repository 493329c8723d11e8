#include "foundation/code_page.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, InitialiserFixesTheCodePageAndTheVersion) {
  EXPECT_EQ(g_codePage, 936) << "holds before the initialiser runs";
  InitUtilityModule();
  EXPECT_EQ(g_codePage, 936);
  int32_t major = -1;
  int32_t minor = -1;
  uint16_t build = 0;
  ASSERT_TRUE(QueryOsVersionFromPeb(major, minor, build));
  EXPECT_GE(major, 3) << "a real kernel release";
  EXPECT_GE(minor, 0);
  EXPECT_EQ(g_osVersion, PackOsVersion(major, minor));
}

TEST(CodePage, PackOsVersionPutsMajorHighAndMinorLow) {
  struct Row {
    const char* name;
    int32_t major;
    int32_t minor;
    int32_t expected;
  } rows[] = {
      {"ten", 10, 0, 0x0A00},
      {"six one", 6, 1, 0x0601},
      {"each part one byte", 0x1FF, 0x102, 0xFF02},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(PackOsVersion(row.major, row.minor), row.expected);
  }
}

}  // namespace
