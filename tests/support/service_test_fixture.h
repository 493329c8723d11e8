#pragma once
// Fixture of the service request tests: one emulator per test suite, a fresh
// account "demo" with the test's remote tree, a scratch program folder for the
// result logs, a scripted desktop and a fake clock (no test waits in real
// time), and the rename task's state reset.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/program_wide_objects.h"
#include "support/emulator_fixture.h"
#include "fakeservice/fake_service.h"
#include "fakeservice/starting_trees.h"
#include "foundation/base64.h"
#include "foundation/file_system_path.h"
#include "foundation/shared_locks.h"
#include "platform/control_store.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"
#include "web/account_session.h"
#include "web/account_session_check.h"
#include "web/folder_tree_model.h"
#include "web/http_request.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"
#include "web/result_log.h"
#include "web/service_config.h"

class ServiceTest : public EmulatorFixture<::testing::Test> {
 protected:
  static void SetUpTestSuite() {
    EmulatorFixture::SetUpTestSuite();
    setenv("QUILLMERE_WEB_HOST", s_service->Host().c_str(), 1);
    setenv("QUILLMERE_PASSPORT_HOST", "passport.test", 1);
    setenv("QUILLMERE_UPDATE_HOST", "update.test", 1);
    LoadServiceConfig();
  }
  void SetUp() override {
    ASSERT_NE(s_service, nullptr);
    Reset();
  }

  // Back to the start state; table rows call it between rows.
  void Reset() {
    setenv("QUILLMERE_HOME", m_folder.Utf8().c_str(), 1);
    g_useCurl = 0;
    Service().ClearHook();
    Service().Faults().Clear();
    Service().Model().SetOptions(ModelOptions{});
    Service().Model().ClearItemFaults();
    UseTree(RemoteTree::FromPaths({"/docs/old.txt:10", "/docs/keep.txt:5"}));
    Service().ClearRequests();
    Service().ClearFailures();
    GetControlStore().Clear();
    GetFolderTree().Clear();
    ZeroRenameCounters();
    g_dailyRenamedCount = 0;
    g_renameStopRequested = 0;
    {
      std::lock_guard lock(g_counterLock);
      g_renamedPaths.clear();
      g_renameTaskStamp = "2025年7月9日13时5分";
    }
    m_waitMark = m_ui.clock.Sleeps().size();
    std::filesystem::remove_all(m_folder.Path());
    std::filesystem::create_directories(m_folder.Path());
  }

  void TearDown() override {
    EmulatorFixture::TearDown();
    g_renameStopRequested = 0;
  }

  // Makes "demo" the only account the test uses, with `tree`, and the
  // working account.
  void UseTree(RemoteTree tree) {
    FakeAccount account = FakeAccount::Make("demo", std::move(tree));
    m_account = account;
    Service().Model().AddAccount(account);
    SetAccountSession({"demo", account.CookieText(), account.bdstoken});
  }
  RemoteTree Tree() const { return Service().Model().Tree("demo"); }
  const FakeAccount& Account() const { return m_account; }
  // The logid the account's cookies give: the Base64 of its BAIDUID value.
  std::string MakeLogIdFromBaiduId() const { return Base64Encode(m_account.baiduid); }

  std::vector<RecordedRequest> RequestsTo(const std::string& path) const {
    return Service().RequestsTo(path);
  }

  // The whole text of a result log of "demo" (code page 936); empty when the
  // file does not exist.
  static std::string LogText(const char* kind, const std::string& user = "demo") {
    std::string path;
    {
      std::lock_guard lock(g_counterLock);
      path = FileSystemPathFromText(ResultLogPath(user, kind));
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static bool LogExists(const char* kind, const std::string& user = "demo") {
    std::lock_guard lock(g_counterLock);
    return std::filesystem::exists(FileSystemPathFromText(ResultLogPath(user, kind)));
  }

  // The milliseconds the code waited, in order.
  std::vector<std::int64_t> Waits() const {
    const std::vector<std::int64_t> all = m_ui.clock.Sleeps();
    return std::vector<std::int64_t>(all.begin() + static_cast<std::ptrdiff_t>(m_waitMark),
                                     all.end());
  }

  // Answers every request to `path` whose query holds `query` with `reply`.
  static void Fault(const std::string& name, const std::string& path, const std::string& query,
                    FakeReply reply, int from = 1, int times = -1) {
    FaultRule rule;
    rule.name = name;
    rule.path = path;
    rule.queryContains = query;
    rule.fromOccurrence = from;
    rule.times = times;
    rule.reply = std::move(reply);
    Service().Faults().Add(rule);
  }

  ScratchFolder m_folder;
  ScriptedDesktopGuard m_ui;
  FakeAccount m_account;
  size_t m_waitMark = 0;
};
