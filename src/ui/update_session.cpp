#include "ui/update_session.h"

#include <unistd.h>

#include <cerrno>
#include <thread>

#include "foundation/date_time.h"
#include "foundation/file_system_path.h"
#include "foundation/files_and_paths.h"
#include "foundation/message_box.h"
#include "foundation/run_directory.h"
#include "foundation/shell_open.h"
#include "platform/desktop.h"
#include "platform/process_start.h"
#include "platform/staged_file.h"
#include "ui/file_version.h"
#include "ui/start_up.h"
#include "ui/update_manifest.h"
#include "web/http_request.h"
#include "web/service_text.h"

namespace {

constexpr const char* kCaption = "提示：";
constexpr int kNoticeTimeoutMs = 10000;
constexpr long long kMinimumUpdaterVersion = 1100;
constexpr int kManifestTries = 3;
constexpr int kHttpOk = 200;

constexpr const char* kFetching = "正在获取更新内容中";
constexpr const char* kNothingFound = "未检测到到时更新内容。";
constexpr const char* kUpToDate = "已是最新版本，无需更新。";
constexpr const char* kNoManifest = "可能获取的升级信息不正确，请重试。";
constexpr const char* kAskDownloadMissing = "自动升级程序.exe 不存在，是否下载？";
constexpr const char* kAskDownloadOld = "自动升级程序.exe 不是最新的，是否下载？";
constexpr const char* kDeclined =
    "自动升级程序.exe "
    "不是最新的，不能进行自动升级，请手动下载最新的压缩包解压后替换，不会影响原设置。";
constexpr const char* kDeleteFailed = "删除 自动升级程序.exe 失败，请手动强制删除后再试。";
constexpr const char* kDownloadFailed = "下载 自动升级程序.exe 失败，请重试。";
constexpr const char* kSaveFailed = "保存文件 自动升级程序.exe 失败，请重试。";
constexpr const char* kDownloaded = "下载文件 自动升级程序.exe 成功，请重新点击  开始更新 按钮。。";
constexpr const char* kStartFailed = "启动 自动升级程序.exe 失败，请重试。";

void Notice(const char* text, int timeoutMs = kNoticeTimeoutMs) {
  ShowTimedMessageBox(kCaption, text, timeoutMs, kBoxIconInformation);
}

bool AskYes(const char* question) {
  return ShowTimedMessageBox(kCaption, question, kNoticeTimeoutMs, kBoxYesNo | kBoxIconQuestion) ==
         kBoxResultYes;
}

// The start button comes back, then the box says why.
bool GiveUp(UpdateSession& session, const char* text, int timeoutMs = kNoticeTimeoutMs) {
  session.store->SetEnabled(kUpdateStartButton, true);
  Notice(text, timeoutMs);
  return false;
}

enum class Download { kFailed, kNotSaved, kSaved };

// A download counts only when the host answers 200 with a body; it goes to a
// temporary file that takes the updater's name only when complete.
Download DownloadUpdater(const std::string& path) {
  int status = 0;
  const std::string body = SendHttpRequest(UpdaterDownloadUrl(), {.status = &status});
  if (status != kHttpOk || body.empty()) {
    return Download::kFailed;
  }
  return WriteFileReplacing(FileSystemPathFromText(path), body, 0755) ? Download::kSaved
                                                                      : Download::kNotSaved;
}

// Downloads the updater; false, with the button enabled and the box shown,
// when that failed.
bool DownloadOrGiveUp(UpdateSession& session, const std::string& updater) {
  switch (DownloadUpdater(updater)) {
    case Download::kFailed:
      return GiveUp(session, kDownloadFailed);
    case Download::kNotSaved:
      return GiveUp(session, kSaveFailed);
    case Download::kSaved:
      break;
  }
  return true;
}

std::string HandoffText() {
  return g_productKey + "|" + g_programVersion + "|" + ProgramFileName() + "|启动真";
}

bool IsWebAddress(const std::string& url) {
  const auto startsWith = [&url](std::string_view scheme) {
    if (url.size() < scheme.size()) {
      return false;
    }
    for (std::size_t i = 0; i < scheme.size(); ++i) {
      const char c = url[i];
      if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != scheme[i]) {
        return false;
      }
    }
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

}  // namespace

UpdaterServices MakeUpdaterServices(std::function<void()> endProgram) {
  return {&StartDetachedProcess, &ReadFileVersionText, std::move(endProgram)};
}

bool UpdaterVersionAccepted(const std::string& versionText) {
  if (versionText.find('.') == std::string::npos) {
    return true;
  }
  return VersionInteger(ReplaceAllText(versionText, ".", "")) >= kMinimumUpdaterVersion;
}

void FetchUpdateInfo(UpdateSession& session) {
  ControlStore& store = *session.store;
  store.SetText(kUpdateNotesBox, kFetching);
  std::string reply;
  for (int i = 0; i < kManifestTries && reply.empty(); ++i) {
    reply = SendHttpRequest(UpdateManifestUrl());
  }
  const std::vector<ManifestEntry> entries = ReadManifestEntries(reply);
  SetUpdateDownloadUrl({});
  const ManifestEntry* entry = nullptr;
  for (const ManifestEntry& candidate : entries) {
    if (candidate.softname == g_productKey) {
      entry = &candidate;
      break;
    }
  }
  if (entry == nullptr) {
    store.SetText(kUpdateNotesBox, kNothingFound);
    session.fetchFinished = true;
    return;
  }
  SetUpdateDownloadUrl(ReplaceAllText(entry->downurl, "[rand]", MakeTimestamp()));
  std::string versionLine = "最新版本： " + entry->version;
  if (!entry->upTime.empty()) {
    versionLine += "     更新时间：" + entry->upTime;
  }
  store.SetText(kUpdateVersionLabel, versionLine);
  store.SetText(kUpdateNotesBox, NormalizeToCrLf(entry->explain));
  if (VersionInteger(g_programVersion) >= VersionInteger(entry->version)) {
    Notice(kUpToDate);
    session.closeWindow();
  } else if (entry->forceUpdate == "true") {
    store.SetEnabled(kUpdateStartButton, false);
    if (!LaunchUpdater(session)) {
      session.services.endProgram();
    }
  } else if (entry->explain.empty()) {
    store.SetText(kUpdateNotesBox, kNothingFound);
  } else {
    store.SetEnabled(kUpdateStartButton, true);
    store.SetEnabled(kUpdateDownloadButton, true);
  }
  session.fetchFinished = true;
}

void StartUpdate(const std::shared_ptr<UpdateSession>& session) {
  session->store->SetEnabled(kUpdateStartButton, false);
  std::thread([session] { LaunchUpdater(*session); }).detach();
}

bool LaunchUpdater(UpdateSession& session) {
  if (GetUpdateDownloadUrl().empty()) {
    return GiveUp(session, kNoManifest, 0);
  }
  const std::string updater = RunDirectoryPath(kUpdaterFileName);
  if (!FileExists(updater)) {
    if (!AskYes(kAskDownloadMissing)) {
      return GiveUp(session, kDeclined);
    }
    if (!DownloadOrGiveUp(session, updater)) {
      return false;
    }
    // The user starts the update again with the new updater.
    return GiveUp(session, kDownloaded);
  }
  std::string error;
  if (!UpdaterVersionAccepted(session.services.readVersion(updater, error))) {
    if (!AskYes(kAskDownloadOld)) {
      return GiveUp(session, kDeclined);
    }
    if (::unlink(FileSystemPathFromText(updater).c_str()) != 0 && errno != ENOENT) {
      return GiveUp(session, kDeleteFailed);
    }
    if (!DownloadOrGiveUp(session, updater)) {
      return false;
    }
  }
  // The program ends only when the updater has really taken over.
  if (!WriteFileReplacing(FileSystemPathFromText(RunDirectoryPath(kUpdaterHandoffFileName)),
                          HandoffText()) ||
      !session.services.startProcess(FileSystemPathFromText(updater),
                                     FileSystemPathFromText(GetRunDirectory()))) {
    return GiveUp(session, kStartFailed);
  }
  session.services.endProgram();
  return true;
}

void OpenDownloadPage(const UpdaterServices& services) {
  const std::string url = GetUpdateDownloadUrl();
  if (url.empty() || !IsWebAddress(url)) {
    return;
  }
  ShellOpen(url);
  services.endProgram();
}
