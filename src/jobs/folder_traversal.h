#pragma once
// The folder traversal of the rename task's run mode B: one remote folder
// listed whole, then entry by entry either deleted because its name holds a
// delete keyword, or given a new name by the rule engine and renamed; its
// sub-folders are entered (unless `单选框_不修改子目录` is selected) and renamed
// after their contents.
//
// Every request uses the account snapshot the task took at its start. Options
// are read from the control store at the moment they are needed. The stop flag
// g_renameStopRequested is tested before each page, before each entry and
// after a folder's number is taken; a set flag ends every level at once.
// Runs on the rename task's worker thread (and, for RenameListedItem, on the
// per-item apply's thread).

#include <string>

#include "web/account_session.h"

// Entries a listing page holds at most.
inline constexpr int kTraversalPageSize = 200;

// Lists and processes `folderPath` (a remote path, "/" for the root, plain or
// in backslash-u notation) and, unless `单选框_不修改子目录` is selected, every
// folder below it. All pages of a folder are read before any of its entries is
// deleted or renamed (so nothing moves between pages while they are read); a
// page the listing gives up on ends the folder's listing, and the entries read
// so far are processed once. Numbering restarts in every folder, separately
// for files and sub-folders. An empty path does nothing.
void ProcessRemoteFolder(const AccountSession& session, const std::string& folderPath);

// The rename step shared with the per-item apply: drops a rename that changes
// nothing (for an old path in backslash-u notation ASCII letters compare
// without case), honours the modify-object radios and sends the rest with
// RenameRemoteItem. `oldPath` is the item's full remote path, plain or in
// backslash-u notation; `folderFlag` 1 a folder, 0 a file.
void RenameListedItem(const AccountSession& session, const std::string& oldPath,
                      const std::string& newName, int folderFlag, const std::string& fsId);

// A name or path as the listing gave it (backslash-u notation possible) as code
// page 936 text: the backslash-u escapes are decoded once, a character code
// page 936 cannot hold becomes "?", and everything else, "%" included, stays a
// character. Any thread.
std::string DecodeListedText(const std::string& listed);

// Whether an entry is worked on in backslash-u notation: its decoded full path
// (DecodeListedText), parent folders included, holds "?" (a character code
// page 936 cannot hold), "'", "+" or "-", which do not survive the plain route
// unchanged, or a real backslash before "u", which the plain route would read
// as backslash-u notation. Any thread.
bool NeedsEscapedForm(const std::string& decodedPath);
