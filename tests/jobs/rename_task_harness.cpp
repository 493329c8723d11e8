#include "rename_task_harness.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "foundation/screen_scaling.h"
#include "foundation/shared_locks.h"
#include "foundation/text_encodings.h"
#include "foundation/wait_until.h"
#include "jobs/number_prefix_counter.h"
#include "jobs/prefetch_run_hooks.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_task.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "web/account_session.h"
#include "web/folder_tree_model.h"
#include "web/main_window_controls.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"

std::string U16Bytes(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

int AddTreeRoot() {
  GetFolderTree().Clear();
  return GetFolderTree().Add(-1, U16Bytes(u"demo的网盘"), kRootImage, kRootItemData);
}

int AddTreeItem(int parent, std::u16string_view name, int data) {
  return GetFolderTree().Add(parent, U16Bytes(name), 0, data);
}

int AddTreePath(const std::string& path) {
  int parent = 0;
  size_t start = 1;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    const bool last = slash == std::string::npos || slash + 1 == path.size();
    const std::string name =
        path.substr(start, (slash == std::string::npos ? path.size() : slash) - start);
    const int data = last && slash == std::string::npos ? kFileItemData : kFolderItemData;
    const std::string text = TextToUtf16(name, true);
    int found = -1;
    const std::vector<FolderTreeItem> now = GetFolderTree().Items();
    for (int i = 0; i < static_cast<int>(now.size()); ++i) {
      if (now[i].parent == parent && now[i].textUtf16 == text) {
        found = i;
      }
    }
    parent = found != -1 ? found : GetFolderTree().Add(parent, text, 0, data);
    if (last) {
      break;
    }
    start = slash + 1;
  }
  return parent;
}

void Tick(int index) {
  GetFolderTree().SetChecked(index, true);
}

ControlWindows::ControlWindows(FakeWindowSystem& windows, std::vector<std::string> names)
    : m_windows(windows), m_names(std::move(names)) {
  std::map<std::string, WindowHandle, std::less<>> handles;
  for (size_t i = 0; i < m_names.size(); ++i) {
    handles[m_names[i]] = static_cast<WindowHandle>(i + 1);
  }
  InstallControlWindowLookup([handles](std::string_view name) -> WindowHandle {
    const auto found = handles.find(name);
    return found == handles.end() ? 0 : found->second;
  });
}

ControlWindows::~ControlWindows() {
  InstallControlWindowLookup({});
}

std::vector<std::string> ControlWindows::Flashed() const {
  std::vector<std::string> flashed;
  for (const OutlineToggle& toggle : m_windows.toggles) {
    flashed.push_back(m_names.at(static_cast<size_t>(toggle.window - 1)));
  }
  return flashed;
}

bool WaitForStartButton() {
  std::mutex mutex;
  std::condition_variable changed;
  ControlStore& store = GetControlStore();
  const int id = store.AddListener([&](const std::string& name, ControlProperty, ChangeOrigin) {
    if (name == kStartRenameButton) {
      std::lock_guard lock(mutex);
      changed.notify_all();
    }
  });
  bool enabled = false;
  {
    std::unique_lock lock(mutex);
    enabled = changed.wait_for(lock, std::chrono::seconds(120),
                               [&] { return store.Enabled(kStartRenameButton); });
  }
  store.RemoveListener(id);
  // The button comes back just before the task thread returns; wait for the
  // thread too, so no thread of this test runs on into the next one.
  return enabled && WaitUntil(RenameTaskThreadsEnded, 120000);
}

std::vector<std::string> FlashableControls() {
  return {kChineseDeletionCountEdit,
          kNewExtensionEdit,
          kPrefixEdit,
          kSuffixEdit,
          kRegexDeletionEdit,
          kDeleteFilesKeywordsEdit,
          kDeleteFoldersKeywordsEdit};
}

RenameTaskFixture::RenameTaskFixture() {
  Reset();
}

RenameTaskFixture::~RenameTaskFixture() {
  InstallPrefetchRun({}, {});
  GetControlStore().Clear();
  GetFolderTree().Clear();
  SetAccountSession({});
  g_renameStopRequested = false;
}

void RenameTaskFixture::Reset() {
  GetControlStore().Clear();
  AddTreeRoot();
  SetAccountSession({"demo", "BDUSS=b; STOKEN=s", "token"});
  ZeroRenameCounters();
  g_runCollectedCount = 0;
  g_renameStopRequested = false;
  g_numberPrefixCounter.Reset();
  InstallPrefetchRun([](const AccountSession&, const std::string&) {}, {});
  m_windows.toggles.clear();
}

void RenameTaskFixture::RunTask(int argument) {
  GetControlStore().SetEnabled(kStartRenameButton, false);
  RunRenameTask(argument);
}

std::vector<std::string> BoxTexts(const ScriptedDesktop& desktop) {
  std::vector<std::string> texts;
  for (const RecordedBox& box : desktop.Boxes()) {
    texts.push_back(box.text);
  }
  return texts;
}

std::vector<std::string> RenameTaskFixture::BoxTexts() const {
  return ::BoxTexts(m_ui.desktop);
}
