#pragma once
// Folder listings of the working account (/api/list): the root listing that
// fills the remote folder tree, and the page fetch of any remote folder that
// the rename task's traversal calls page after page. Both take the sort order
// from the main window's sort radios and run on worker threads.

#include <string>

#include "data/json_document.h"
#include "web/account_session.h"

// The body of the root-listing thread. Makes sure a working account is chosen
// (row 0 of the account list otherwise), checks its session, then fills the
// folder tree with the root folder's entries, 200 a page. Quiet (no progress
// and failure status lines) when `quiet` is 1 or a rename job runs (its start
// button disabled). The refresh button is disabled while it runs. A root
// listing started meanwhile (another account, refresh again) supersedes this
// one, which then stops without touching the tree: the tree shows one account.
void LoadRootFolderTree(int quiet = 0);

// One page (200 entries) of a remote folder: the reply text, or the empty text
// after a failure it has already reported with a box that closes itself after
// 30 s, or at once and without a box when the rename task's stop flag ends it. `folderPath` is
// plain text or backslash-u notation; with `rootFlag` the root is listed and the path ignored.
// Pages count from 1. The first form lists with the working account; the second with `session`
// (cookies and all), whatever the working account is meanwhile.
std::string FetchFolderListPage(const std::string& folderPath, int rootFlag, int page);
std::string FetchFolderListPage(const AccountSession& session, const std::string& folderPath,
                                int rootFlag, int page);

// Parses a listing reply into `document` as every listing reads it: names and
// paths keep their backslash-u escapes (the program's notation, decoded once
// where a name leaves the program), and each reads back from that notation as
// exactly the listed name. A real backslash that a "u" follows (the reply's
// "\\u"), which the notation would read as the start of an escape, is
// written "\u005C"; every other text keeps the form the reply gives it.
void ParseListingReply(JsonDocument& document, const std::string& reply);

// Internal, tested on its own: the `dir` value of a folder page: the path's
// UTF-8 bytes, decoded from its own notation, percent-encoded once. The path
// goes out exactly as listed (an apostrophe as itself), so a folder that the
// service cannot find is gone.
std::string EncodeListingDir(const std::string& folderPath);
// Internal: the path and query of a root page and of a folder page (200
// entries a page unless `pageSize` says otherwise).
std::string RootListingQuery(int page, const std::string& order, const std::string& desc);
std::string FolderListingQuery(const std::string& encodedDir, int page, const std::string& order,
                               const std::string& desc, int pageSize = 200);

// Rows of the account list are items whose columns are joined by a tab.
inline constexpr char kAccountListColumnSeparator = '\t';
