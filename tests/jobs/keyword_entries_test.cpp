#include "jobs/keyword_entries.h"

#include <gtest/gtest.h>

namespace {

struct Row {
  const char* name;
  std::string text;
  TextArray expected;
};

TEST(KeywordEntriesTest, DropsEveryEmptyEntry) {
  const Row rows[] = {
      {"empty box", "", {}},
      {"only commas", ",,", {}},
      {"leading comma", ",a", {"a"}},
      {"doubled comma", "a,,b", {"a", "b"}},
      {"trailing comma", "a,", {"a"}},
      {"blanks are keywords", " , a", {" ", " a"}},
      {"double-byte text", "电影,剧集", {"电影", "剧集"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(KeywordEntries(row.text), row.expected);
  }
}

}  // namespace
