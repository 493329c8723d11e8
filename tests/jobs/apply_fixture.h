#pragma once
// Fixture of the apply-engine tests: a listing cache made ready for a run
// (no collection), filled with the rows the collection would write for a
// folder of the emulator's tree, and the apply engine run on the test thread
// with the account snapshot of "demo". Requests go to the emulator.

#include <string>
#include <vector>

#include "data/program_wide_objects.h"
#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/unicode_notation.h"
#include "jobs/keyword_replacement_lists.h"
#include "jobs/listing_cache.h"
#include "jobs/prefetch_run.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_task_controls.h"
#include "support/service_test_fixture.h"
#include "web/main_window_controls.h"

class ApplyTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    Options();
  }
  void TearDown() override {
    EndPrefetchCache();
    ServiceTest::TearDown();
    std::lock_guard lock(g_keywordRulesLock);
    g_keywordReplaceMode = kNormalReplaceMode;
    g_replaceKeywords.clear();
    g_replacementWords.clear();
    g_specifiedReplacements.clear();
  }
  void Reset() {
    EndPrefetchCache();
    ServiceTest::Reset();
    Options();
  }
  // Every kind renamed, synchronously; the start button as the task leaves it.
  static void Options() {
    ControlStore& store = GetControlStore();
    store.SetChecked(kModifyAllRadio, true);
    store.SetChecked(kRenameSyncRadio, true);
    store.SetEnabled(kStartRenameButton, false);
  }
  static void PrefixRule(const std::string& prefix) {
    GetControlStore().SetChecked(kPrefixRuleBox, true);
    GetControlStore().SetText(kPrefixEdit, prefix);
  }

  // The emulator's tree becomes `tree`, and the cache holds a row for every
  // entry below `top` (in the tree's sorted order).
  void Arrange(RemoteTree tree, const std::string& top = "/t") {
    UseTree(std::move(tree));
    m_run = PreparePrefetchCache();
    ASSERT_NE(m_run, 0);
    std::vector<CacheRow> rows;
    const std::string prefix = top == "/" ? "/" : top + "/";
    for (std::string path : Tree().Paths()) {
      if (path.rfind(prefix, 0) != 0 || path == prefix) {
        continue;
      }
      const bool folder = path.back() == '/';
      if (folder) {
        path.pop_back();
      } else if (path.rfind(':') != std::string::npos && path.rfind(':') > path.rfind('/')) {
        path.erase(path.rfind(':'));  // the size the listing of paths adds
      }
      rows.push_back(RowFor(path, folder, prefix));
    }
    ASSERT_TRUE(ExecuteCacheBatch(rows));
    g_collectedTotal = static_cast<int>(rows.size());
    Service().ClearRequests();
    m_statusMark = m_ui.desktop.StatusHistory().size();
  }

  // The row the collection writes for the entry at `path` (the emulator's
  // UTF-8) below `prefix`.
  CacheRow RowFor(const std::string& path, bool folder, const std::string& prefix) const {
    const std::string text = DecodeUtf8Text(path);
    const std::string name = text.substr(text.rfind('/') + 1);
    // The listing gives names beyond ASCII in backslash-u notation.
    const std::string listed = Listed(path);
    const std::string listedName = listed.substr(listed.rfind('/') + 1);
    int depth = 1;
    for (size_t at = prefix.size(); at < path.size(); ++at) {
      depth += path[at] == '/' ? 1 : 0;
    }
    const auto twoDigits = [](int value) {
      return (value < 10 ? "0" : "") + std::to_string(value);
    };
    CacheRow row;
    row.folder = EncodeCacheText(listed);
    row.filename = EncodeCacheText(listedName);
    row.order = twoDigits(depth);
    row.type = folder ? "1" : "0";
    row.time = "t";
    row.size = "0";
    row.ordersign = "001";
    row.count = "1";
    row.lowernum = twoDigits(depth + 1);
    row.target = std::to_string(*Tree().FsId(path));
    row.other_1 = EncodeCacheText(name);
    return row;
  }

  static std::string Listed(const std::string& utf8) {
    for (const char c : utf8) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        return EscapeToUnicodeNotation(Utf8TextToUtf16(utf8), true, true);
      }
    }
    return utf8;
  }

  int Run() const { return m_run; }

  // The bodies of the rename or delete requests, in order.
  std::vector<std::string> BodiesOf(const std::string& opera) const {
    std::vector<std::string> bodies;
    for (const RecordedRequest& request : RequestsTo("/api/filemanager")) {
      if (FindText(request.target, "opera=" + opera) != -1) {
        bodies.push_back(request.body);
      }
    }
    return bodies;
  }
  std::vector<std::string> RenameBodies() const { return BodiesOf("rename"); }
  std::vector<std::string> DeleteBodies() const { return BodiesOf("delete"); }
  // The status lines of panel 1 since the cache was arranged, in order.
  std::vector<std::string> StatusLines() const {
    std::vector<std::string> lines;
    const std::vector<RecordedStatus> history = m_ui.desktop.StatusHistory();
    for (size_t i = m_statusMark; i < history.size(); ++i) {
      const RecordedStatus& status = history[i];
      if (status.panel == 1) {
        lines.push_back(status.text);
      }
    }
    return lines;
  }
  static bool CacheOpen() { return g_cacheDb.GetHandle() != nullptr; }

  int m_run = 0;
  size_t m_statusMark = 0;
};
