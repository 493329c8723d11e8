#include "ui/account_list_rows.h"

#include <mutex>

#include "foundation/text_search.h"
#include "platform/control_store.h"
#include "web/main_window_controls.h"

namespace {

constexpr char kSeparator = '\t';

std::mutex s_rowsLock;
std::vector<std::uint64_t> s_rowIds;  // one per item of the list, under s_rowsLock
std::uint64_t s_nextRowId = 1;

// The list's items and their identities; rows written by anyone else (a test)
// get fresh identities.
std::vector<std::string> ItemsLocked() {
  std::vector<std::string> items = GetControlStore().Items(kAccountList);
  if (s_rowIds.size() != items.size()) {
    s_rowIds.clear();
    for (size_t i = 0; i < items.size(); ++i) {
      s_rowIds.push_back(s_nextRowId++);
    }
  }
  return items;
}

int IndexOfLocked(std::uint64_t id) {
  for (size_t i = 0; i < s_rowIds.size(); ++i) {
    if (s_rowIds[i] == id) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

// A tab or a line break in a name or status means a blank there.
std::string NameCell(std::string_view text) {
  std::string cell = ReplaceAllText(text, "\r\n", " ");
  for (const char* breaking : {"\t", "\r", "\n"}) {
    cell = ReplaceAllText(cell, breaking, " ");
  }
  return cell;
}

int IndexOfUserLocked(const std::vector<std::string>& items, const std::string& user) {
  const std::string cell = NameCell(user);
  for (size_t i = 0; i < items.size(); ++i) {
    if (SplitAccountRow(items[i]).user == cell) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void AppendLocked(std::vector<std::string>& items, AccountRow row) {
  row.number = std::to_string(items.size() + 1);
  items.push_back(JoinAccountRow(row));
  s_rowIds.push_back(s_nextRowId++);
  GetControlStore().SetItems(kAccountList, items);
}

bool IsLineBreakOrTab(char c) {
  return c == '\t' || c == '\r' || c == '\n';
}

bool IsBlankOrBreak(char c) {
  return c == ' ' || IsLineBreakOrTab(c);
}

// A character of a cookie name: a token character of the cookie grammar.
bool IsCookieNameChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte > 0x20 && byte < 0x7F &&
         std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
}

// True when `text` begins with a cookie pair: a name and "=".
bool StartsWithCookiePair(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCookieNameChar(text[i])) {
    ++i;
  }
  return i > 0 && i < text.size() && text[i] == '=';
}

// True when the last pair of `cell` (after its last ";") holds a "=".
bool EndsWithCookiePair(std::string_view cell) {
  const size_t semicolon = cell.rfind(';');
  const std::string_view last =
      semicolon == std::string_view::npos ? cell : cell.substr(semicolon + 1);
  return last.find('=') != std::string_view::npos;
}

}  // namespace

std::string AccountCookieCell(std::string_view cookieText) {
  std::string cell;
  size_t i = 0;
  while (i < cookieText.size()) {
    if (!IsLineBreakOrTab(cookieText[i])) {
      cell += cookieText[i++];
      continue;
    }
    // A run of tabs, line breaks and the blanks among them. Between two pairs
    // (one per line, as cookie tools export them) it separates them as "; "
    // does; elsewhere (inside a value, before or after the text, next to a
    // ";") only its tabs and line breaks are dropped.
    size_t end = i;
    while (end < cookieText.size() && IsBlankOrBreak(cookieText[end])) {
      ++end;
    }
    const size_t kept = cell.find_last_not_of(' ') + 1;  // npos + 1 == 0
    const std::string_view before = std::string_view(cell).substr(0, kept);
    if (!before.empty() && before.back() != ';' && EndsWithCookiePair(before) &&
        StartsWithCookiePair(cookieText.substr(end))) {
      cell.resize(kept);
      cell += "; ";
    } else {
      for (size_t j = i; j < end; ++j) {
        if (!IsLineBreakOrTab(cookieText[j])) {
          cell += cookieText[j];
        }
      }
    }
    i = end;
  }
  return cell;
}

std::string JoinAccountRow(const AccountRow& row) {
  return NameCell(row.number) + kSeparator + NameCell(row.user) + kSeparator +
         NameCell(row.status) + kSeparator + AccountCookieCell(row.cookies) + kSeparator +
         AccountCookieCell(row.uk);
}

AccountRow SplitAccountRow(const std::string& item) {
  std::string* columns[5];
  AccountRow row;
  columns[0] = &row.number;
  columns[1] = &row.user;
  columns[2] = &row.status;
  columns[3] = &row.cookies;
  columns[4] = &row.uk;
  size_t start = 0;
  for (std::string* column : columns) {
    if (start > item.size()) {
      break;
    }
    const size_t tab = item.find(kSeparator, start);
    *column = item.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    start = tab == std::string::npos ? item.size() + 1 : tab + 1;
  }
  return row;
}

std::vector<AccountRowRef> TakeAccountRows() {
  std::lock_guard lock(s_rowsLock);
  const std::vector<std::string> items = ItemsLocked();
  std::vector<AccountRowRef> rows;
  for (size_t i = 0; i < items.size(); ++i) {
    rows.push_back({s_rowIds[i], SplitAccountRow(items[i])});
  }
  return rows;
}

std::optional<AccountRowRef> SelectedAccountRow() {
  std::lock_guard lock(s_rowsLock);
  const std::vector<std::string> items = ItemsLocked();
  const int selected = GetControlStore().Selection(kAccountList);
  if (selected < 0 || selected >= static_cast<int>(items.size())) {
    return std::nullopt;
  }
  return AccountRowRef{s_rowIds[static_cast<size_t>(selected)],
                       SplitAccountRow(items[static_cast<size_t>(selected)])};
}

bool UpdateAccountRow(const AccountRowRef& ref, const std::function<void(AccountRow&)>& change) {
  std::lock_guard lock(s_rowsLock);
  std::vector<std::string> items = ItemsLocked();
  const int index = IndexOfLocked(ref.id);
  if (index < 0) {
    return false;
  }
  AccountRow row = SplitAccountRow(items[static_cast<size_t>(index)]);
  if (row.cookies != ref.row.cookies) {
    return false;  // updated meanwhile: the outcome belongs to the old cookies
  }
  change(row);
  items[static_cast<size_t>(index)] = JoinAccountRow(row);
  GetControlStore().SetItems(kAccountList, items);
  return true;
}

bool AppendAccountRowUnlessListed(const AccountRow& row) {
  std::lock_guard lock(s_rowsLock);
  std::vector<std::string> items = ItemsLocked();
  if (IndexOfUserLocked(items, row.user) >= 0) {
    return false;
  }
  AppendLocked(items, row);
  return true;
}

bool UpdateOrAppendAccountRow(const AccountRow& row) {
  std::lock_guard lock(s_rowsLock);
  std::vector<std::string> items = ItemsLocked();
  const int index = IndexOfUserLocked(items, row.user);
  if (index < 0) {
    AccountRow added = row;
    added.status = kStatusAdded;
    AppendLocked(items, added);
    return false;
  }
  AccountRow updated = row;
  updated.number = SplitAccountRow(items[static_cast<size_t>(index)]).number;
  items[static_cast<size_t>(index)] = JoinAccountRow(updated);
  GetControlStore().SetItems(kAccountList, items);
  return true;
}

bool RemoveAccountRow(const AccountRowRef& ref) {
  std::lock_guard lock(s_rowsLock);
  std::vector<std::string> items = ItemsLocked();
  const int index = IndexOfLocked(ref.id);
  if (index < 0) {
    return false;
  }
  items.erase(items.begin() + index);
  s_rowIds.erase(s_rowIds.begin() + index);
  ControlStore& store = GetControlStore();
  const int selected = store.Selection(kAccountList);
  store.SetItems(kAccountList, items);
  // The same row stays selected; the removed one leaves no selection.
  store.SetSelection(kAccountList, selected == index  ? -1
                                   : selected > index ? selected - 1
                                                      : selected);
  return true;
}

void ReplaceAccountRows(const std::vector<AccountRow>& rows) {
  std::lock_guard lock(s_rowsLock);
  std::vector<std::string> items;
  s_rowIds.clear();
  for (AccountRow row : rows) {
    row.number = std::to_string(items.size() + 1);
    items.push_back(JoinAccountRow(row));
    s_rowIds.push_back(s_nextRowId++);
  }
  ControlStore& store = GetControlStore();
  store.SetSelection(kAccountList, -1);
  store.SetItems(kAccountList, items);
}
