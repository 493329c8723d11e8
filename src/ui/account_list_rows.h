#pragma once
// The rows of the account list as the control store holds them, with an
// identity per row that stays with the row while rows before it are deleted,
// so that a check that took a row when it started writes back into that row
// or into none. Every read-modify-write of the rows happens here under one
// lock; nothing waits for a request or a box inside it. Any thread.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/account_list.h"

struct AccountRowRef {
  std::uint64_t id = 0;
  AccountRow row;
};

// A row as one list item (the columns joined by a tab) and back; missing
// columns read as empty. A cell never holds a tab or a line break: in a name,
// a status or a number each becomes a blank (a CR LF one blank); a cookie text
// or a uk is kept as AccountCookieCell gives it. So a row read from any file
// or paste keeps its five columns, and a saved row loads back as it was (the
// list file's writer puts a lone LF out as a CR LF).
std::string JoinAccountRow(const AccountRow& row);
AccountRow SplitAccountRow(const std::string& item);
// A cookie text as a row holds it: without tabs and line breaks. A run of
// them between two pairs ("BDUSS=a\nSTOKEN=b", one pair per line as cookie
// tools export them) separates the pairs as "; " does; anywhere else (inside a
// value, at either end, next to a ";") it is dropped, blanks kept. No cookie
// holds a tab or a line break; a pasted text may end with one.
std::string AccountCookieCell(std::string_view cookieText);

std::vector<AccountRowRef> TakeAccountRows();
// The list's selected row now; none when no row is selected.
std::optional<AccountRowRef> SelectedAccountRow();

// Applies `change` to the row `ref` took when that row still exists and still
// holds the cookie text it had then. True when written.
bool UpdateAccountRow(const AccountRowRef& ref, const std::function<void(AccountRow&)>& change);
// Appends `row` (numbered by the row count after the append) unless a row has
// the same user name (whole, exact). True when appended.
bool AppendAccountRowUnlessListed(const AccountRow& row);
// Writes user, status, cookies and uk of `row` into the row with the same
// user name (its number stays) and returns true; when there is none, appends
// it with the status "刚添加" and returns false.
bool UpdateOrAppendAccountRow(const AccountRow& row);
// Removes the row `ref` took, wherever it stands now. False when it is gone.
bool RemoveAccountRow(const AccountRowRef& ref);
