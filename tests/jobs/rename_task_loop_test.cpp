// The rename task's folder loop, ends and loop mode, on the test clock with a
// stand-in prefetch run (run mode C) in place of the real one: the start
// button held from the click to the very end, the countdown and its stop, the
// counts box and the box that replaces it.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include "jobs/prefetch_run_hooks.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_task.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "rename_task_harness.h"
#include "web/account_session.h"
#include "web/main_window_controls.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"

namespace {

constexpr const char* kCountdownHead = "已在 改名前提条件中 开启 循环改名功能，将在 ";
constexpr const char* kNoSuccessText =
    "没有修改成功，请注意是否爆盘，或在网页上测试修改是否能成功。";

class RenameTaskLoopTest : public RenameTaskFixture {
 protected:
  RenameTaskLoopTest() { Arrange(); }
  ~RenameTaskLoopTest() override { GetControlStore().RemoveListener(m_listener); }

  void Arrange() {
    ControlStore& store = GetControlStore();
    store.SetChecked(kPrefixRuleBox, true);
    store.SetText(kPrefixEdit, "P_");
    store.SetChecked(kPrefetchBox, true);
    Tick(AddTreePath("/a/"));
    InstallPrefetchRun(
        [this](const AccountSession& session, const std::string& folder) {
          std::lock_guard lock(m_mutex);
          m_runs.push_back(folder);
          m_sessions.push_back(session.cookies);
          m_buttonDuringRuns.push_back(GetControlStore().Enabled(kStartRenameButton));
          if (m_worker) {
            m_worker(static_cast<int>(m_runs.size()));
          }
        },
        [this] { ++m_cacheEnds; });
  }

  // Every write of the start button's enabled state, in order.
  void WatchStartButton() {
    m_listener = GetControlStore().AddListener(
        [this](const std::string& name, ControlProperty property, ChangeOrigin) {
          if (name == kStartRenameButton && property == ControlProperty::Enabled) {
            std::lock_guard lock(m_mutex);
            m_buttonStates.push_back(GetControlStore().Enabled(kStartRenameButton));
          }
        });
  }

  // The countdown's status lines since the last MarkStatus.
  std::vector<std::string> CountdownLines() const {
    std::vector<std::string> lines;
    const std::vector<RecordedStatus> history = m_ui.desktop.StatusHistory();
    for (size_t i = m_statusMark; i < history.size(); ++i) {
      const RecordedStatus& status = history[i];
      if (status.panel == 1 && status.text.rfind(kCountdownHead, 0) == 0) {
        lines.push_back(status.text.substr(std::string(kCountdownHead).size()));
      }
    }
    return lines;
  }

  void MarkStatus() { m_statusMark = m_ui.desktop.StatusHistory().size(); }

  size_t Runs() {
    std::lock_guard lock(m_mutex);
    return m_runs.size();
  }

  std::mutex m_mutex;
  std::function<void(int run)> m_worker;  // called inside the stand-in with the run number
  std::vector<std::string> m_runs;
  std::vector<std::string> m_sessions;
  std::vector<bool> m_buttonDuringRuns;
  std::vector<bool> m_buttonStates;
  std::atomic<int> m_cacheEnds{0};
  int m_listener = -1;
  size_t m_statusMark = 0;
};

// Loop mode: the second run ends the loop by unticking its box.
void EndLoopOnSecondRun(int run) {
  if (run == 2) {
    GetControlStore().SetChecked(kLoopBox, false);
  }
}

TEST_F(RenameTaskLoopTest, FolderLoopKeepsTheButtonDisabledAndEndsTheCacheOnce) {
  Tick(AddTreePath("/b/"));
  GetControlStore().SetChecked(kNoSubfoldersRadio, true);
  WatchStartButton();
  SetAccountSession({"demo", "BDUSS=first", "t"});
  m_worker = [](int run) {
    if (run == 1) {
      SetAccountSession({"other", "BDUSS=second", "t2"});  // switched mid-run
    }
  };
  m_ui.desktop.AnswerNext(kBoxResultYes);  // confirmation
  m_ui.desktop.AnswerNext(kBoxResultOk);   // counts box
  RunTask(kRenameFirstRun);

  EXPECT_EQ(m_runs, (std::vector<std::string>{"/a", "/b"}));
  EXPECT_EQ(m_sessions, (std::vector<std::string>{"BDUSS=first", "BDUSS=first"}));
  EXPECT_EQ(m_buttonDuringRuns, (std::vector<bool>{false, false}));
  EXPECT_EQ(m_buttonStates.back(), true);
  EXPECT_EQ(std::count(m_buttonStates.begin(), m_buttonStates.end(), true), 1);
  EXPECT_EQ(m_cacheEnds.load(), 1);
  EXPECT_EQ(g_collectDepth.load(), 1);
  EXPECT_EQ(m_ui.desktop.Boxes().at(0).text,
            "确定针对勾选的\r\n\r\n目录：a\r\n目录：b\r\n\r\n\r\n 目录进行操作？");
  EXPECT_EQ(m_ui.desktop.StatusText(kBatchStatusPanel), "");
}

TEST_F(RenameTaskLoopTest, CountsBoxShowsTheCountersExactly) {
  m_worker = [](int) {
    g_processedCount = 7;
    g_renamedCount = 3;
    g_renameFailedCount = 1;
    g_deletedCount = 5;
  };
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);
  const RecordedBox box = m_ui.desktop.Boxes().at(1);
  EXPECT_EQ(box.text,
            "已完成。总检测文件数：7\r\n\r\n 修改成功数：3   修改失败/同名数：1   删除成功文件：5"
            "\r\n\r\n修改结果看下方提示，或点击 刷新根目录按钮 或查看日志文件。");
  EXPECT_EQ(box.type, kBoxIconInformation);
  EXPECT_EQ(box.timeoutMs, 0);
}

TEST_F(RenameTaskLoopTest, NothingProcessedShowsTheRowsCollectedOverEveryFolder) {
  Tick(AddTreePath("/b/"));
  // Each run counts its own rows; the task's total runs on.
  m_worker = [](int run) {
    const int rows = run == 1 ? 35 : 7;
    g_runCollectedCount = rows;
    g_collectedTotal += rows;
  };
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);
  EXPECT_EQ(Runs(), 2u);
  EXPECT_EQ(m_ui.desktop.Boxes().at(1).text.rfind("已完成。总检测文件数：42\r\n", 0), 0u);
}

TEST_F(RenameTaskLoopTest, NoSuccessAndBusyAnswersReplaceTheCountsBoxAndNeverLoop) {
  GetControlStore().SetChecked(kLoopBox, true);
  m_worker = [](int) { g_waitCount = 2; };
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultTimedOut);
  RunTask(kRenameFirstRun);
  ASSERT_EQ(m_ui.desktop.Boxes().size(), 2u);
  EXPECT_EQ(m_ui.desktop.Boxes()[1].text, kNoSuccessText);
  EXPECT_EQ(m_ui.desktop.Boxes()[1].timeoutMs, 15000);
  EXPECT_EQ(Runs(), 1u);
  EXPECT_TRUE(CountdownLines().empty());
  EXPECT_TRUE(GetControlStore().Enabled(kStartRenameButton));
}

TEST_F(RenameTaskLoopTest, LoopCountsDownAndRestartsWithoutGivingUpTheButton) {
  ControlStore& store = GetControlStore();
  store.SetChecked(kLoopBox, true);
  store.SetText(kLoopWaitEdit, "5");
  WatchStartButton();
  m_worker = EndLoopOnSecondRun;
  m_ui.desktop.AnswerNext(kBoxResultYes);  // the first run's confirmation only
  RunTask(kRenameFirstLoopRun);
  ASSERT_TRUE(WaitForStartButton());

  EXPECT_EQ(Runs(), 2u);
  EXPECT_EQ(m_ui.desktop.Boxes().size(), 1u) << "no counts box, no second confirmation";
  const std::string tail =
      "秒 后重新执行改名任务，请一定保持现有改名参数和已勾选的目录，不要做任何变动。";
  EXPECT_EQ(CountdownLines(),
            (std::vector<std::string>{"4" + tail, "3" + tail, "2" + tail, "1" + tail}));
  std::lock_guard lock(m_mutex);
  EXPECT_EQ(m_buttonDuringRuns, (std::vector<bool>{false, false}));
  EXPECT_EQ(std::count(m_buttonStates.begin(), m_buttonStates.end(), true), 1)
      << "enabled once, at the very end";
}

TEST_F(RenameTaskLoopTest, AnEmptyOrZeroWaitRestartsRightAfterTheTenSeconds) {
  for (const char* wait : {"", "0", "abc"}) {
    SCOPED_TRACE(wait);
    Reset();
    Arrange();
    m_runs.clear();
    MarkStatus();
    ControlStore& store = GetControlStore();
    store.SetChecked(kLoopBox, true);
    store.SetText(kLoopWaitEdit, wait);
    m_worker = EndLoopOnSecondRun;
    const size_t mark = m_ui.clock.Sleeps().size();
    m_ui.desktop.AnswerNext(kBoxResultYes);
    RunTask(kRenameFirstLoopRun);
    ASSERT_TRUE(WaitForStartButton());
    EXPECT_EQ(Runs(), 2u);
    EXPECT_TRUE(CountdownLines().empty());
    const std::vector<std::int64_t> sleeps = m_ui.clock.Sleeps();
    EXPECT_EQ(std::count(sleeps.begin() + static_cast<std::ptrdiff_t>(mark), sleeps.end(), 1000),
              0);
    EXPECT_EQ(std::count(sleeps.begin() + static_cast<std::ptrdiff_t>(mark), sleeps.end(), 10000),
              1);
  }
}

TEST_F(RenameTaskLoopTest, AWaitValueLoweredDuringTheCountdownEndsItEarly) {
  ControlStore& store = GetControlStore();
  store.SetChecked(kLoopBox, true);
  store.SetText(kLoopWaitEdit, "5");
  m_worker = EndLoopOnSecondRun;
  m_ui.clock.SetSleepHook([](std::int64_t ms) {
    if (ms == 1000) {
      GetControlStore().SetText(kLoopWaitEdit, "2");
    }
  });
  m_ui.desktop.AnswerNext(kBoxResultYes);
  RunTask(kRenameFirstLoopRun);
  ASSERT_TRUE(WaitForStartButton());
  m_ui.clock.SetSleepHook({});
  EXPECT_EQ(CountdownLines().size(), 1u);
  EXPECT_EQ(Runs(), 2u);
}

TEST_F(RenameTaskLoopTest, StopDuringTheCountdownMeansNoRestart) {
  struct Row {
    const char* name;
    bool untickLoop;  // the stop button also unticks the loop box
  };
  for (const Row& row : {Row{"stop button", true}, Row{"stop flag alone", false}}) {
    SCOPED_TRACE(row.name);
    Reset();
    Arrange();
    m_runs.clear();
    MarkStatus();
    ControlStore& store = GetControlStore();
    store.SetChecked(kLoopBox, true);
    store.SetText(kLoopWaitEdit, "5");
    m_ui.clock.SetSleepHook([&row](std::int64_t ms) {
      if (ms == 1000) {
        g_renameStopRequested = true;
        if (row.untickLoop) {
          GetControlStore().SetChecked(kLoopBox, false);
        }
      }
    });
    m_ui.desktop.AnswerNext(kBoxResultYes);
    RunTask(kRenameFirstLoopRun);
    m_ui.clock.SetSleepHook({});
    EXPECT_EQ(Runs(), 1u);
    EXPECT_EQ(CountdownLines().size(), 1u);
    EXPECT_TRUE(store.Enabled(kStartRenameButton));
  }
}

TEST_F(RenameTaskLoopTest, StopBetweenFoldersStartsNoFurtherFolder) {
  Tick(AddTreePath("/b/"));
  GetControlStore().SetChecked(kLoopBox, true);
  m_worker = [](int) { g_renameStopRequested = true; };
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);  // the counts box of a first run
  RunTask(kRenameFirstRun);
  EXPECT_EQ(m_runs, (std::vector<std::string>{"/a"}));
  EXPECT_TRUE(CountdownLines().empty());
  EXPECT_TRUE(GetControlStore().Enabled(kStartRenameButton));
}

TEST_F(RenameTaskLoopTest, AStartPressWhileATaskRunsIsRefused) {
  ControlStore& store = GetControlStore();
  store.SetChecked(kLoopBox, true);
  store.SetText(kLoopWaitEdit, "3");
  // Presses during the first run's worker and during its countdown.
  m_worker = [](int run) {
    OnStartRenameClicked();
    EndLoopOnSecondRun(run);
  };
  m_ui.clock.SetSleepHook([](std::int64_t ms) {
    if (ms == 1000) {
      OnStartRenameClicked();
    }
  });
  m_ui.desktop.AnswerNext(kBoxResultYes);
  RunTask(kRenameFirstLoopRun);
  ASSERT_TRUE(WaitForStartButton());
  m_ui.clock.SetSleepHook({});
  EXPECT_EQ(Runs(), 2u) << "the first run and its restart, nothing else";
}

TEST_F(RenameTaskLoopTest, OnlyOneTaskStartsFromAnEnabledButton) {
  GetControlStore().SetChecked(kLoopBox, false);
  // The first task is held in its run until the second click has returned:
  // a task that had already ended would rightly take that click as a new start.
  std::promise<void> secondClickDone;
  const std::shared_future<void> clicked = secondClickDone.get_future().share();
  m_worker = [clicked](int) { clicked.wait(); };
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  OnStartRenameClicked();
  OnStartRenameClicked();  // the button is disabled by now
  secondClickDone.set_value();
  ASSERT_TRUE(WaitForStartButton());
  EXPECT_EQ(Runs(), 1u);
}

// The stop button waits for the task thread itself, not only for the threads
// of its prefetch run: a task still on its way to its run counts as running
// until its routine has returned.
TEST_F(RenameTaskLoopTest, TheTaskCountsAsRunningUntilItsThreadReturns) {
  std::atomic<bool> entered{false};
  std::atomic<bool> release{false};
  m_worker = [&](int) {
    entered = true;
    while (!release) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  m_ui.desktop.AnswerNext(kBoxResultYes);  // confirmation
  m_ui.desktop.AnswerNext(kBoxResultOk);   // counts box
  ASSERT_TRUE(RenameTaskThreadsEnded());
  OnStartRenameClicked();
  EXPECT_FALSE(RenameTaskThreadsEnded());  // counted from the click on
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!entered && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(entered.load());
  EXPECT_FALSE(RenameTaskThreadsEnded());
  release = true;
  ASSERT_TRUE(WaitForStartButton());
  while (!RenameTaskThreadsEnded() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(RenameTaskThreadsEnded());
}

}  // namespace
