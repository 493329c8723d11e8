#pragma once
// The account list `超级列表框_百度帐号列表`: one row per account the user has
// added, with its cookie text, and the operations on it. The rows live in the
// control store as the list's items (columns joined by a tab): 0 the row
// number, 1 the user name, 2 the status text, 3 the cookie text, 4 the uk.
//
// Every change of the rows goes through this file, under the list's own lock;
// a check or a box is never waited for inside that lock. The routines named
// "worker thread" block their caller for requests and boxes; the others run on
// the user-interface thread and return at once.

#include <string>
#include <vector>

#include "foundation/thread_start.h"

struct AccountRow {
  std::string number;   // column 0
  std::string user;     // column 1
  std::string status;   // column 2
  std::string cookies;  // column 3
  std::string uk;       // column 4
};

// Status texts of column 2.
inline constexpr const char* kStatusImported = "从记录导入";
inline constexpr const char* kStatusChecking = "验证中";
inline constexpr const char* kStatusValid = "有效";
inline constexpr const char* kStatusExpired = "已失效";
inline constexpr const char* kStatusAdded = "刚添加";
inline constexpr const char* kStatusUpdated = "刚更新";

// The rows as the list holds them now. Any thread.
std::vector<AccountRow> ReadAccountRows();
// Removes every row, then appends `rows` in order, each numbered by the row
// count after its append (the `number` given is not used). Any thread.
void ReplaceAccountRows(const std::vector<AccountRow>& rows);

// The list's double-click and "切换操作cookies为当前选中": the selected row
// becomes the working account, then the root listing starts on a thread of its
// own.
void SwitchWorkingAccount();
// "复制当前选中cookies": the selected row's cookie text to the clipboard.
void CopySelectedCookies();
// "验证或刷新当前选中cookies有效性" (worker thread): checks the row selected when
// it starts and writes the result into that row only.
void VerifySelectedAccount();
// "验证或刷新所有cookies有效性" (worker thread): checks every row the list held
// when it started, each written back into its own row.
void VerifyAllAccounts();
// 按钮3: checks the pasted text of `编辑框_百度cookies`, then starts
// AddOrUpdateAccountFromCookies with the empty text and returns its thread
// (null when refused).
ThreadHandle AddAccountFromPastedCookies();
// Worker thread (the sign-in windows start it with StartThreadWithTexts, the
// cookie text as the first text): checks the cookie text (empty: the text of
// `编辑框_百度cookies`) and adds its account as a new row, or, after the user
// agrees, updates the row of the same user name.
void AddOrUpdateAccountFromCookies(const std::string& cookieText);
// "删除当前选中": removes the selected row after the user agrees.
void DeleteSelectedAccount();
// "查询选中网盘容量": with a selected row, starts QueryAccountQuota on a thread of
// its own with that row's cookie text, read now, and returns that thread (null
// without a selection).
ThreadHandle StartQuotaQuery();
// Worker thread: asks the service for the quota of the account of
// `cookieText` and shows it in a box.
void QueryAccountQuota(const std::string& cookieText);
