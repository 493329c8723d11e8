// Start-up and exit of the program-wide objects.

#include "ui/global_objects.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "data/program_wide_objects.h"
#include "data/sqlite_callback_adapters.h"
#include "foundation/code_page.h"
#include "jobs/keyword_replacement_lists.h"
#include "platform/qt/qt_drop_target_host.h"
#include "platform/qt/qt_window_handle.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

namespace {

// Constructed before the program-wide objects (this file links before the
// libraries), so destroyed after them: in the exiting child it keeps the
// process alive for a moment after the static destructors ran, while the
// worker goes on.
struct LingerAfterStaticDestructors {
  std::atomic<bool> linger{false};
  ~LingerAfterStaticDestructors() {
    if (linger) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
};
LingerAfterStaticDestructors s_linger;

TEST(GlobalObjects, StartUpLeavesEveryObjectEmpty) {
  g_replaceKeywords = {"旧"};
  g_specifiedReplacements = {"a---->b"};
  ASSERT_TRUE(g_cacheDb.Open(":memory:", 6));
  sqlite3* open = g_cacheDb.GetHandle();
  g_renamedPaths["1"] = "已修改过";
  g_jobQueue.PushText("x");
  g_copySources = {"/a"};
  int bridgeObject = 0;
  g_wv2Webview.SetHandle(&bridgeObject);
  g_wv2Controller.SetHandle(&bridgeObject);

  CreateGlobalObjects();

  EXPECT_TRUE(g_replaceKeywords.empty());
  EXPECT_TRUE(g_replacementWords.empty());
  EXPECT_TRUE(g_specifiedReplacements.empty());
  EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);
  EXPECT_TRUE(g_renamedPaths.empty());
  EXPECT_EQ(g_jobQueue.Count(), 0);
  EXPECT_TRUE(g_copySources.empty());
  EXPECT_FALSE(g_keywordEditDropTarget.IsRegistered());
  EXPECT_FALSE(g_keywordLabelDropTarget.IsRegistered());
  EXPECT_EQ(g_wv2Webview.GetHandle(), nullptr);
  EXPECT_EQ(g_wv2Environment.GetHandle(), nullptr);
  EXPECT_EQ(g_wv2Controller.GetHandle(), nullptr);
  SqliteDatabase(open).Close();
}

TEST(GlobalObjects, StartupEntersTheRunDirectoryAndRunsTheInitialisers) {
  ScratchFolder home;
  std::filesystem::path old = std::filesystem::current_path();
  ScopedEnvironment homeVariable("QUILLMERE_HOME", home.Utf8());

  EXPECT_TRUE(RunProgramStartup());

  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(home.Path()));
  EXPECT_EQ(g_codePage, 936);
  EXPECT_TRUE(g_copySources.empty());
  std::filesystem::current_path(old);
}

TEST(GlobalObjects, ExitRoutineUnregistersDropTargetsAndKeepsTheRest) {
  QtDropTargetHost host;
  ScopedDropTargetHost use(host);
  QWidget edit;
  QWidget label7;
  QWidget label2;
  CreateGlobalObjects();
  g_keywordEditDropTarget.Register(
      WindowHandleOf(&edit), [](const std::string&) {}, false);
  g_keywordLabelDropTarget.Register(
      WindowHandleOf(&label7), [](const std::string&) {}, false);
  g_keywordLabelDropTarget.Register(
      WindowHandleOf(&label2), [](const std::string&) {}, false);
  ASSERT_TRUE(edit.acceptDrops() && label7.acceptDrops() && label2.acceptDrops());
  g_copySources = {"/复制/源.txt"};
  g_jobQueue.PushText("1-|||||-/a-|||||-1-|||||-0");

  DestroyGlobalObjects();
  DestroyGlobalObjects();

  EXPECT_FALSE(edit.acceptDrops());
  EXPECT_FALSE(label7.acceptDrops());
  EXPECT_FALSE(label2.acceptDrops());
  // What workers use is still whole after the exit routine.
  EXPECT_EQ(g_copySources, std::vector<std::string>{"/复制/源.txt"});
  std::string item;
  EXPECT_TRUE(g_jobQueue.PopText(item));
  EXPECT_EQ(item, "1-|||||-/a-|||||-1-|||||-0");
  CreateGlobalObjects();
}

// A rename-task worker (keyword lists, renamed items) and a pooled listing
// task going on while the process ends through the exit routine and exit().
void BusyWorker(std::atomic<bool>& started) {
  for (unsigned i = 0;; ++i) {
    g_copySources.push_back("/复制/源.txt");
    if (g_copySources.size() > 64) {
      g_copySources.clear();
    }
    g_renamedPaths[std::to_string(i % 128)] = "已修改过";
    g_jobQueue.PushText("1-|||||-/folder-|||||-1-|||||-0");
    std::string item;
    g_jobQueue.PopText(item);
    bool prepared = false;
    SqliteStatement statement = g_cacheDb.Prepare("select 1", prepared);
    statement.Finalize();
    {
      std::lock_guard lock(g_keywordRulesLock);
      g_replaceKeywords.push_back("旧");
      g_replacementWords.assign(g_replaceKeywords.size() % 8, "新");
      if (g_replaceKeywords.size() > 64) {
        g_replaceKeywords.clear();
      }
    }
    PickReplacementWord();
    started = true;
  }
}

TEST(GlobalObjectsDeathTest, ExitWhileAWorkerStillRunsDoesNotCrash) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CreateGlobalObjects();
        g_cacheDb.Open(":memory:", 6);
        std::atomic<bool> started{false};
        std::thread(BusyWorker, std::ref(started)).detach();
        while (!started) {
          std::this_thread::yield();
        }
        DestroyGlobalObjects();
        s_linger.linger = true;
        // exit() runs the static destructors while the worker goes on.
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
