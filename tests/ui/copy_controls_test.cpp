#include "ui/copy_controls.h"

#include <gtest/gtest.h>

#include "jobs/copy_job_state.h"
#include "platform/control_store.h"
#include "support/scripted_desktop_guard.h"

namespace {

class CopyControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetControlStore().Clear();
    g_copyStopRequested = false;
    g_copyPaused = false;
  }
  void TearDown() override { GetControlStore().Clear(); }
  ControlStore& store = GetControlStore();
  ScriptedDesktopGuard ui;
};

TEST_F(CopyControlsTest, NothingWithoutAJob) {
  store.SetEnabled(kStartCopyButton, true);
  store.SetCaption(kCopyPauseButton, "暂停");
  StopCopyJob();
  ToggleCopyPause();
  EXPECT_FALSE(g_copyStopRequested);
  EXPECT_FALSE(g_copyPaused);
  EXPECT_EQ(store.Caption(kCopyPauseButton), "暂停");
}

TEST_F(CopyControlsTest, StopOnlyOnYes) {
  store.SetEnabled(kStartCopyButton, false);
  g_copyPaused = true;
  for (int answer : {kBoxResultNo, kBoxResultTimedOut}) {
    ui.desktop.AnswerNext(answer);
    StopCopyJob();
    EXPECT_FALSE(g_copyStopRequested);
    EXPECT_TRUE(g_copyPaused);
  }
  bool disabledDuringWait = false;
  ui.clock.SetSleepHook(
      [&](std::int64_t) { disabledDuringWait = !store.Enabled(kCopyStopButton); });
  ui.desktop.AnswerNext(kBoxResultYes);
  StopCopyJob();
  ui.clock.SetSleepHook({});
  EXPECT_TRUE(g_copyStopRequested);
  EXPECT_FALSE(g_copyPaused);
  EXPECT_TRUE(disabledDuringWait);
  EXPECT_TRUE(store.Enabled(kCopyStopButton));
  const auto box = ui.desktop.Boxes().back();
  EXPECT_EQ(box.caption, "提示");
  EXPECT_EQ(box.timeoutMs, 15000);
  EXPECT_EQ(box.type, 36);
}

TEST_F(CopyControlsTest, PauseAndResumeSwitchCaptionAndFlag) {
  store.SetEnabled(kStartCopyButton, false);
  store.SetCaption(kCopyPauseButton, "暂停");
  ToggleCopyPause();
  EXPECT_TRUE(g_copyPaused);
  EXPECT_EQ(store.Caption(kCopyPauseButton), "继续");
  ToggleCopyPause();
  EXPECT_FALSE(g_copyPaused);
  EXPECT_EQ(store.Caption(kCopyPauseButton), "暂停");
  store.SetCaption(kCopyPauseButton, "别的");
  ToggleCopyPause();
  EXPECT_FALSE(g_copyPaused);
  EXPECT_EQ(store.Caption(kCopyPauseButton), "别的");
}

}  // namespace
