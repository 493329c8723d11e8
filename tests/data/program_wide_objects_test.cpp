// The program-wide objects: their empty start-up state. A process end while a
// worker still uses them is tested with the exit routine (tests/ui).

#include "data/program_wide_objects.h"

#include <gtest/gtest.h>

namespace {

void FillEverything() {
  ASSERT_TRUE(g_cacheDb.Open(":memory:", 6));
  g_renamedPaths["123"] = "已修改过";
  g_jobQueue.PushText("1-|||||-/a-|||||-1-|||||-0");
  g_copySources = {"/a.txt"};
}

TEST(ProgramWideObjects, ResetLeavesEveryObjectEmpty) {
  FillEverything();
  sqlite3* open = g_cacheDb.GetHandle();
  ResetSharedDataObjects();
  EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);
  EXPECT_TRUE(g_renamedPaths.empty());
  EXPECT_EQ(g_jobQueue.Count(), 0);
  EXPECT_TRUE(g_copySources.empty());
  EXPECT_FALSE(g_keywordEditDropTarget.IsRegistered());
  EXPECT_FALSE(g_keywordLabelDropTarget.IsRegistered());
  // The connection itself was not closed by the reset: whoever opened it
  // closes it.
  SqliteDatabase(open).Close();
}

}  // namespace
