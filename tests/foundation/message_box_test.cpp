#include "foundation/message_box.h"

#include "foundation/shared_locks.h"
#include "foundation/shell_open.h"
#include "foundation/waits.h"
#include "platform/code_page_codec.h"
#include "support/scripted_desktop_guard.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(ShowTimedMessageBox, PassesEverythingToTheDesktopAndReturnsTheButton) {
  ScriptedDesktopGuard ui;
  ui.desktop.AnswerNext(kBoxResultYes);
  ui.desktop.AnswerNext(kBoxResultTimedOut);
  EXPECT_EQ(ShowTimedMessageBox("确定：", "确定关闭关闭软件？", 0, 36), kBoxResultYes);
  int fromWorker = 0;
  std::thread worker([&] { fromWorker = ShowTimedMessageBox("提示：", "通知", 30000, 64); });
  worker.join();
  EXPECT_EQ(fromWorker, kBoxResultTimedOut);
  EXPECT_EQ(ui.clock.SteadyMs(), 30000) << "the box ran out its time-out";
  const auto boxes = ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "确定：");
  EXPECT_EQ(boxes[0].text, "确定关闭关闭软件？");
  EXPECT_EQ(boxes[0].type, 36);
  EXPECT_EQ(boxes[0].timeoutMs, 0);
  EXPECT_EQ(boxes[1].timeoutMs, 30000);
}

TEST(ShowStatusText, TextOrUtf16BytesOnPanelOne) {
  ScriptedDesktopGuard ui;
  const std::string hangul = Utf16ToLeBytes(std::u16string(u"改名 \uAC00.txt") + u'\0');
  struct Row {
    const char* name;
    std::string text;
    std::string bytes;
    std::u16string shown;
  } rows[] = {
      {"text", "正在改名：1", "", u"正在改名：1"},
      {"text wins over bytes", "文本", hangul, u"文本"},
      {"bytes show what code page 936 cannot", "", hangul, u"改名 \uAC00.txt"},
      {"both empty clear the line", "", "", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ShowStatusText(row.text, row.bytes);
    EXPECT_EQ(ui.desktop.StatusUnicode(1), row.shown);
  }
  EXPECT_EQ(ui.desktop.StatusText(2), "") << "only panel 1 is the status line";
}

// Checks from another thread that g_statusLock is held while a panel is set.
class LockProbeDesktop final : public Desktop {
 public:
  int ShowMessageBox(std::string_view, std::string_view, int, std::int64_t) override { return 0; }
  void SetStatusPanel(int, std::string_view) override { Probe(); }
  void SetStatusPanelUtf16(int, std::string_view) override { Probe(); }
  int OpenTarget(std::string_view) override { return 0; }
  bool IsUiThread() const override { return false; }
  void PumpEvents() override {}
  bool PumpEventsFor(std::int64_t, const StopCondition&) override { return true; }
  int held = 0;
  int probes = 0;

 private:
  void Probe() {
    ++probes;
    std::thread([&] {
      if (g_statusLock.try_lock())
        g_statusLock.unlock();
      else
        ++held;
    }).join();
  }
};

TEST(ShowStatusText, WritesUnderTheStatusLock) {
  LockProbeDesktop probe;
  ScopedDesktop use(probe);
  ShowStatusText("a");
  ShowStatusText("", "b\0");
  EXPECT_EQ(probe.probes, 2);
  EXPECT_EQ(probe.held, 2);
}

TEST(WaitPumpingMessages, WaitsOnTheClockAndPumpsOnlyOnTheUiThread) {
  struct Row {
    const char* name;
    std::int64_t amount;
    int unit;
    std::int64_t waitedMs;
  } rows[] = {
      {"milliseconds", 500, kWaitMilliseconds, 500},     {"seconds", 3, kWaitSeconds, 3000},
      {"two minutes", 2, kWaitMinutes, 120000},          {"an hour", 1, kWaitHours, 3600000},
      {"zero returns at once", 0, kWaitMilliseconds, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedDesktopGuard ui;
    EXPECT_EQ(WaitPumpingMessages(row.amount, row.unit), 1);
    EXPECT_EQ(ui.clock.SteadyMs(), row.waitedMs);
    EXPECT_EQ(ui.desktop.PumpCount(), 1) << "the UI thread keeps handling events";
    std::thread worker([&] { EXPECT_EQ(WaitPumpingMessages(row.amount, row.unit), 1); });
    worker.join();
    EXPECT_EQ(ui.clock.SteadyMs(), 2 * row.waitedMs);
    EXPECT_EQ(ui.desktop.PumpCount(), 1) << "a worker only sleeps";
  }
}

TEST(WaitPumpingMessages, StopConditionEndsTheWaitEarly) {
  ScriptedDesktopGuard ui;
  std::atomic<int> stopRequested{0};
  ui.clock.SetSleepHook([&](std::int64_t) { stopRequested = 1; });
  int result = 1;
  std::thread worker(
      [&] { result = WaitPumpingMessages(10, kWaitMinutes, [&] { return stopRequested != 0; }); });
  worker.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ui.clock.SteadyMs(), 0);
  EXPECT_EQ(WaitPumpingMessages(1, 4), 0) << "unknown unit";
}

TEST(WaitWithoutPumping, SleepsWithoutHandlingEvents) {
  ScriptedDesktopGuard ui;
  EXPECT_EQ(WaitWithoutPumping(800), 1);
  EXPECT_EQ(ui.clock.SteadyMs(), 800);
  EXPECT_EQ(ui.desktop.PumpCount(), 0);
  PumpMessages();
  EXPECT_EQ(ui.desktop.PumpCount(), 1);
}

TEST(OpenWebPage, EmptyAddressOpensNothingAndAnOpenedPageShowsNoBox) {
  ScriptedDesktopGuard ui;
  EXPECT_EQ(OpenWebPage(""), 0);
  EXPECT_TRUE(ui.desktop.OpenedTargets().empty());
  EXPECT_GT(OpenWebPage("https://example.invalid/help"), 32);
  EXPECT_EQ(ShellOpen("/tmp/a.txt"), 42);
  EXPECT_EQ(ui.desktop.OpenedTargets(),
            (std::vector<std::string>{"https://example.invalid/help", "/tmp/a.txt"}));
  EXPECT_TRUE(ui.desktop.Boxes().empty());
}

// With no browser (or nothing else that opens it) a target is not lost: a box
// shows its address, once per failed open, from any thread.
TEST(ShellOpen, AFailedOpenShowsTheAddressInABox) {
  ScriptedDesktopGuard ui;
  ui.desktop.SetOpenResult(2);
  const std::string address = "https://update.test/help/keyword-replacement.html?a=1&b=2";
  ui.desktop.AnswerNext(kBoxResultOk);
  EXPECT_EQ(OpenWebPage(address), 2);
  ui.desktop.AnswerNext(kBoxResultOk);
  int fromWorker = 0;
  std::thread worker([&] { fromWorker = ShellOpen("/tmp/a b.txt"); });
  worker.join();
  EXPECT_EQ(fromWorker, 2);
  const auto boxes = ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "提示：");
  EXPECT_EQ(boxes[0].text, std::string(kCannotOpenText) + "\r\n\r\n" + address);
  EXPECT_EQ(boxes[0].type, kBoxIconInformation);
  EXPECT_EQ(boxes[0].timeoutMs, 0);
  EXPECT_EQ(boxes[1].text, std::string(kCannotOpenText) + "\r\n\r\n/tmp/a b.txt");
  EXPECT_EQ(ui.desktop.OpenedTargets(), (std::vector<std::string>{address, "/tmp/a b.txt"}));
}

}  // namespace
