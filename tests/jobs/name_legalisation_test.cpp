#include "jobs/name_legalisation.h"

#include <gtest/gtest.h>

namespace {

// "謡" is the code page 936 pair D6 7C: its second byte is the byte of "|".
const std::string kTrailBar = "\xD6\x7C";

TEST(MakeLegalName, ReplacesOrRemovesWhatTheServiceRefuses) {
  struct Row {
    const char* name;
    std::string input;
    std::string expected;
  } rows[] = {
      {"colon and question mark become full-width", "a:b?c", "a：b？c"},
      {"bar, star and slash are removed", "a|b*c/d", "abcd"},
      {"apostrophe becomes a right quotation mark", "it's", "it’s"},
      {"angle brackets become book-title marks", "<x>", "《x》"},
      {"only removed characters give the empty text", "|*/|", ""},
      {"empty stays empty", "", ""},
      {"backslash and double quote stay", "a\\b\"c", "a\\b\"c"},
      {"every occurrence", "::??", "：：？？"},
      {"double-byte character with a bar trail byte keeps it", kTrailBar + "|x", kTrailBar + "x"},
      {"Chinese text untouched", "中文名.txt", "中文名.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MakeLegalName(row.input), row.expected);
  }
}

}  // namespace
