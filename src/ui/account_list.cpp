#include "ui/account_list.h"

#include <QClipboard>
#include <QGuiApplication>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "data/script_json_object.h"
#include "foundation/byte_size.h"
#include "foundation/contact_text.h"
#include "foundation/message_box.h"
#include "foundation/random_values.h"
#include "foundation/shared_locks.h"
#include "foundation/shell_open.h"
#include "foundation/text_search.h"
#include "foundation/thread_start.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "ui/account_list_rows.h"
#include "ui/own_thread.h"
#include "ui/qt_text.h"
#include "web/account_session.h"
#include "web/account_session_check.h"
#include "web/folder_listing.h"
#include "web/http_request.h"
#include "web/main_window_controls.h"
#include "web/service_config.h"
#include "web/service_conventions.h"

namespace {

constexpr const char* kCookieEdit = "编辑框_百度cookies";
constexpr const char* kNothingSelected = "没有选中项目。";
constexpr int kCheckAttempts = 2;
constexpr int kQuotaBoxMs = 15000;

std::string AccountCookiesTutorialUrl() {
  return "https://" + GetServiceConfig().updateHost + "/help/account-cookies.html";
}

// Checks each row and writes the outcome into that row alone. Holds g_viewLock
// across the checks, so a folder listing and another verification wait.
void CheckRows(const std::vector<AccountRowRef>& rows) {
  std::lock_guard view(g_viewLock);
  for (const AccountRowRef& ref : rows) {
    UpdateAccountRow(ref, [](AccountRow& row) { row.status = kStatusChecking; });
    std::string user;
    std::string bdstoken;
    std::string uk;
    CheckAccountSession(ref.row.cookies, user, bdstoken, uk, kCheckAttempts);
    UpdateAccountRow(ref, [&user](AccountRow& row) {
      if (user.empty()) {
        row.status = kStatusExpired;
      } else {
        row.user = user;
        row.status = kStatusValid;
      }
    });
  }
}

void ReportAdded(bool updated) {
  GetControlStore().SetText(kCookieEdit, "");
  ShowStatusText(updated ? "cookies更新成功" : "cookies添加成功");
  ShowPlainMessageBox(
      updated ? "更新成功，如果需要软件下次自动导入此cookies，请点击 保存帐号列表 按钮。"
              : "添加成功，如果需要软件下次自动导入此cookies，请点击 保存帐号列表 按钮。");
}

}  // namespace

std::vector<AccountRow> ReadAccountRows() {
  std::vector<AccountRow> rows;
  for (const AccountRowRef& ref : TakeAccountRows()) {
    rows.push_back(ref.row);
  }
  return rows;
}

void SwitchWorkingAccount() {
  const std::optional<AccountRowRef> selected = SelectedAccountRow();
  if (!selected) {
    ShowPlainMessageBox(kNothingSelected);
    return;
  }
  SetWorkingAccount(selected->row.user, selected->row.cookies);
  StartOnOwnThread([] { LoadRootFolderTree(0); });
}

void CopySelectedCookies() {
  const std::optional<AccountRowRef> selected = SelectedAccountRow();
  if (!selected) {
    ShowPlainMessageBox(kNothingSelected);
    return;
  }
  QGuiApplication::clipboard()->setText(WidgetTextFromCp936(selected->row.cookies));
}

void VerifySelectedAccount() {
  const std::optional<AccountRowRef> selected = SelectedAccountRow();
  if (!selected) {
    ShowPlainMessageBox(kNothingSelected);
    return;
  }
  CheckRows({*selected});
}

void VerifyAllAccounts() {
  const std::vector<AccountRowRef> rows = TakeAccountRows();
  if (rows.empty()) {
    ShowPlainMessageBox("没有要验证的cookies.");
    return;
  }
  CheckRows(rows);
  ShowPlainMessageBox("全部验证完成。");
}

ThreadHandle AddAccountFromPastedCookies() {
  const std::string text = GetControlStore().Text(kCookieEdit);
  if (text.empty()) {
    ShowTimedMessageBox("提示：", "请填入要添加的帐号的cookies", 5000, kBoxIconInformation);
    return nullptr;
  }
  if (FindText(text, "stoken", 1, true) == -1 || FindText(text, "bduss", 1, true) == -1) {
    if (ShowTimedMessageBox("提示：",
                            "请填入正确的百度帐号cookies，或填入的不完整。\r\n\r\n是否打开教程？",
                            10000, kBoxYesNo | kBoxIconWarning) == kBoxResultYes) {
      OpenWebPage(AccountCookiesTutorialUrl());
    }
    return nullptr;
  }
  return StartThreadWithTexts(
      [](int, const std::string& cookies, const std::string&, const std::string&,
         const std::string&) { AddOrUpdateAccountFromCookies(cookies); },
      0, "", "");
}

void AddOrUpdateAccountFromCookies(const std::string& cookieText) {
  // Checked and kept as the row will hold it.
  const std::string cookies =
      AccountCookieCell(cookieText.empty() ? GetControlStore().Text(kCookieEdit) : cookieText);
  if (cookies.empty()) {
    return;
  }
  ShowStatusText("正在验证cookies有效性");
  std::string user;
  std::string bdstoken;
  std::string uk;
  CheckAccountSession(cookies, user, bdstoken, uk, kCheckAttempts);
  if (user.empty()) {
    ShowStatusText(
        std::string(
            "获取用户名失败，可能是cookies失效，或百度网盘已更新。如果一直出现此提示则联系更新，") +
        kBuiltInContactLine);
    return;
  }
  const AccountRow fresh{"", user, kStatusAdded, cookies, uk};
  if (AppendAccountRowUnlessListed(fresh)) {
    ReportAdded(false);
    return;
  }
  if (ShowPlainMessageBox("当前用户 " + user + " 已存在列表中，是否更新记录？", kBoxYesNo) !=
      kBoxResultYes) {
    return;
  }
  AccountRow updated = fresh;
  updated.status = kStatusUpdated;
  // The row may have been deleted while the question was open: then the
  // account comes back as a new row.
  ReportAdded(UpdateOrAppendAccountRow(updated));
}

void DeleteSelectedAccount() {
  const std::optional<AccountRowRef> selected = SelectedAccountRow();
  if (!selected) {
    ShowPlainMessageBox(kNothingSelected);
    return;
  }
  if (ShowPlainMessageBox("确定删除 " + selected->row.user + " 的cookies?", kBoxYesNo) ==
      kBoxResultYes) {
    RemoveAccountRow(*selected);
  }
}

ThreadHandle StartQuotaQuery() {
  const std::optional<AccountRowRef> selected = SelectedAccountRow();
  if (!selected) {
    ShowPlainMessageBox(kNothingSelected);
    return nullptr;
  }
  return StartThreadWithTexts(
      [](int, const std::string& cookies, const std::string&, const std::string&,
         const std::string&) { QueryAccountQuota(cookies); },
      0, selected->row.cookies);
}

void QueryAccountQuota(const std::string& cookieText) {
  std::string cookies = cookieText;
  const std::string reply = SendHttpRequest(
      ServiceUrl("/api/quota?clienttype=0&app_id=250528&web=1&dp-logid=" + MakeRandomLogId()),
      {.cookies = &cookies});
  std::string text;
  if (FindText(reply, "errno\":-6,\"") != -1) {
    text = "查询网盘容量时：cookies已失效，请重新登陆后操作。";
  } else {
    ScriptJsonObject json;
    json.CreateNamed();
    json.Parse(reply);
    const std::string total = json.GetText("total");
    text = total.empty() ? "查询网盘容量时：查询失败，请重试。"
                         : "已使用：" + FormatByteSize(json.GetText("used")) + "\r\n总容量：" +
                               FormatByteSize(total);
  }
  ShowTimedMessageBox("提示：", text, kQuotaBoxMs, kBoxIconInformation);
}
