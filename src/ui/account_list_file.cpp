#include "ui/account_list_file.h"

#include <filesystem>
#include <system_error>

#include "data/json_document.h"
#include "data/json_text_file.h"
#include "data/json_tree_node.h"
#include "data/script_json_object.h"
#include "foundation/date_time.h"
#include "foundation/file_system_path.h"
#include "foundation/files_and_paths.h"
#include "foundation/message_box.h"
#include "foundation/run_directory.h"
#include "foundation/text_encodings.h"
#include "foundation/text_file_encoding.h"
#include "foundation/waits.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "platform/staged_file.h"
#include "ui/account_list.h"
#include "ui/account_list_rows.h"
#include "web/main_window_controls.h"

namespace {

constexpr unsigned kPrivateFileMode = 0600;
constexpr int kAccountPage = 0;
constexpr int kRenameSettingsPage = 2;
constexpr const char* kUnreadableFileText =
    "读取帐号列表失败：baiduset.ini 不是帐号列表文件，已保持原样，未导入任何帐号。";

// True when `text` holds nothing but blanks and line breaks (and a UTF-8
// byte-order mark): a file with no account in it, not a broken one.
bool IsBlankText(std::string_view text) {
  return SkipUtf8ByteOrderMark(text).find_first_not_of(" \t\r\n") == std::string_view::npos;
}

void MakePrivate(const std::string& path) {
  std::error_code ignored;
  std::filesystem::permissions(
      FileSystemPathFromText(path),
      std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
      std::filesystem::perm_options::replace, ignored);
}

bool AskToSave() {
  return ShowTimedMessageBox("提示：", "确定保存上方最新的网盘帐号列表？以便软件以后自动读入。", 0,
                             kBoxYesNo | kBoxIconQuestion) == kBoxResultYes;
}

}  // namespace

std::string AccountListFilePath() {
  return RunDirectoryPath("baiduset.ini");
}

std::string AccountListBackupName() {
  return "baiduset_备份_" + MakeLocalStampText() + ".ini";
}

void LoadAccountList() {
  const std::string path = AccountListFilePath();
  const std::string text = ReadFileTextToZero(path);
  JsonDocument document;
  bool readable = true;
  int count = 0;
  if (!IsBlankText(text)) {
    const bool parsed = ParseJsonFileText(document, path, text);
    readable = parsed && document.GetType("data") == static_cast<int>(JsonNodeType::Array);
    count = readable ? document.GetCount("data") : 0;
  }
  std::vector<AccountRow> rows;
  for (int i = 0; i < count; ++i) {
    const std::string prefix = "data[" + std::to_string(i) + "].";
    AccountRow row;
    // Decided on the cell as the row will hold it: a text of tabs and line
    // breaks only would become a row with no cookies, saved as "" and dropped
    // at the next load.
    row.cookies = AccountCookieCell(document.GetText(prefix + "cookies"));
    if (row.cookies.empty()) {
      continue;
    }
    row.user = document.GetText(prefix + "user");
    row.uk = document.GetText(prefix + "uk");
    row.status = document.GetText(prefix + "status");
    if (row.status.empty()) {
      row.status = kStatusImported;
    }
    rows.push_back(row);
  }
  ReplaceAccountRows(rows);
  GetControlStore().SetSelection(kMainPages, rows.empty() ? kAccountPage : kRenameSettingsPage);
  if (!readable) {
    // The file is left as it is: the next save keeps it as a backup. The box
    // of this thread has no owner and may open behind the window, so the
    // status line says it too.
    ShowStatusText(kUnreadableFileText);
    ShowTimedMessageBox("提示：", kUnreadableFileText, 0, kBoxIconWarning);
  }
}

std::string AccountListJsonText() {
  const std::vector<AccountRow> rows = ReadAccountRows();
  ScriptJsonObject json;
  json.CreateNamed();
  json.SetProperty("dataname", "cookies");
  json.SetNumber("num", static_cast<double>(rows.size()));
  json.AddArrayItem("{}", "data", true);
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string element = "data[" + std::to_string(i) + "]";
    json.SetJson(element, "{}");
    json.SetProperty(element + ".user", rows[i].user);
    json.SetProperty(element + ".cookies", rows[i].cookies);
    json.SetProperty(element + ".uk", rows[i].uk);
    json.SetProperty(element + ".status", rows[i].status);
    PumpMessages();
  }
  return json.ToJsonText();
}

bool SaveAccountList(int silent) {
  if (silent < 1 && !AskToSave()) {
    return false;
  }
  const std::string newText = AccountListJsonText();
  const std::string path = AccountListFilePath();
  const std::string oldText = DecodeUtf8Text(ReadFileTextToZero(path));
  StagedFile staged;
  bool saved = staged.Write(FileSystemPathFromText(path), TextToUtf8(newText), kPrivateFileMode);
  if (saved) {
    // A backup of the same second already there, or no old file, leaves the
    // old text without a backup, as a failed move always has.
    const std::string backup = RunDirectoryPath(AccountListBackupName());
    const bool backedUp = oldText != newText && MoveFileChecked(path, backup);
    if (backedUp) {
      MakePrivate(backup);
    }
    saved = staged.Commit();
    if (!saved && backedUp) {
      MoveFileChecked(backup, path);  // the old file back in its place
    }
  }
  if (!saved) {
    ShowTimedMessageBox("提示：", "保存失败了。", 0, kBoxIconWarning);
    return false;
  }
  if (silent < 1) {
    ShowTimedMessageBox("提示：", "保存成功，软件下次启动将自动读取此记录。", 5000,
                        kBoxIconInformation);
  }
  return true;
}
