// The daily rename limit: when it holds a job, what the pause shows, and what
// ends it. The fake clock moves three seconds per check.

#include "web/daily_pause.h"

#include "support/service_test_fixture.h"
#include "web/main_window_controls.h"
#include "web/rename_item.h"

namespace {

using ::testing::IsEmpty;

class DailyPauseTest : public ServiceTest {
 protected:
  void Limit(const char* text, bool ticked = true) {
    GetControlStore().SetChecked(kDailyPauseCheckBox, ticked);
    GetControlStore().SetText(kDailyLimitEdit, text);
  }
  void StartAt(int hour, int minute, int second) {
    m_ui.clock.SetLocalTime(LocalDateTime{2025, 7, 9, hour, minute, second, 0});
    m_waitMark = m_ui.clock.Sleeps().size();
  }
};

TEST_F(DailyPauseTest, NoLimitNeverPauses) {
  struct Row {
    const char* name;
    const char* limit;
    bool ticked;
  };
  const Row rows[] = {
      {"box not ticked", "1", false}, {"limit 0", "0", true},           {"empty", "", true},
      {"not a number", "abc", true},  {"below the limit", "600", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Limit(row.limit, row.ticked);
    g_dailyRenamedCount = 500;
    RunDailyPauseCheck();
    EXPECT_THAT(Waits(), IsEmpty());
    EXPECT_EQ(g_dailyRenamedCount.load(), 500);
  }
}

TEST_F(DailyPauseTest, APauseBeforeMidnightEndsWithTheDate) {
  Limit("500");
  g_renamedCount = 7;
  g_dailyRenamedCount = 500;
  StartAt(23, 59, 52);
  RunDailyPauseCheck();
  // 23:59:52, :55, :58 are still the same day; 00:00:01 is not.
  EXPECT_EQ(Waits(), (std::vector<std::int64_t>{3000, 3000, 3000}));
  EXPECT_EQ(g_dailyRenamedCount.load(), 0);
  EXPECT_EQ(m_ui.desktop.StatusText(1),
            "总成功数：7 当天已成功修改数量为：500，因开启了暂停功能，等 00:00:00 "
            "点后（第二天）再继续操作。 现在时间：2025-07-09 23:59:58");
}

TEST_F(DailyPauseTest, UntickingTheBoxEndsThePauseAndAChangedLimitDoesNot) {
  Limit("1");
  g_dailyRenamedCount = 1;
  StartAt(12, 0, 0);
  int waits = 0;
  m_ui.clock.SetSleepHook([&waits](std::int64_t) {
    ++waits;
    if (waits == 1) {
      GetControlStore().SetText(kDailyLimitEdit, "100");
    }
    if (waits == 3) {
      GetControlStore().SetChecked(kDailyPauseCheckBox, false);
    }
  });
  RunDailyPauseCheck();
  EXPECT_EQ(Waits().size(), 3u);
  EXPECT_EQ(g_dailyRenamedCount.load(), 0);
}

TEST_F(DailyPauseTest, TheSuccessThatReachesTheLimitHoldsTheRename) {
  Limit("2");
  StartAt(23, 59, 58);
  std::string path = "/docs/old.txt";
  std::string name = "a.txt";
  EXPECT_TRUE(RenameRemoteItem(path, name, false, ""));
  EXPECT_THAT(Waits(), IsEmpty());
  EXPECT_EQ(g_dailyRenamedCount.load(), 1);
  path = "/docs/keep.txt";
  name = "b.txt";
  EXPECT_TRUE(RenameRemoteItem(path, name, false, ""));
  EXPECT_EQ(g_renamedCount.load(), 2);
  EXPECT_EQ(g_dailyRenamedCount.load(), 0);
  EXPECT_FALSE(Waits().empty());
}

}  // namespace
