#pragma once
// Renaming one remote file or folder of the working account through
// /api/filemanager (opera=rename), in the mode the rename mode radios choose.
// An asynchronous answer is followed by polling its task; busy answers wait
// and retry; the outcome raises one rename counter and writes one result-log
// entry; a success marks the item for the skip option and counts towards the
// daily limit, whose pause may hold the calling thread until the next day.
//
// Runs on the rename task's thread (or a thread it started) and may block it
// for a long time; every wait runs on the installed clock.

#include <string>

#include "web/account_session.h"

// The mark a successful rename stores under the item's fs_id in g_renamedPaths.
inline constexpr const char* kRenamedMark = "已修改过";

// `path` and `newName` are each plain text or backslash-u notation and reach
// the service exactly as they read ("%" and "+" are characters); `newName` is
// a name, not a path. The old path goes out exactly as listed, apostrophes
// included, so "not found" (-9) means the item is gone. `fsId` may be empty;
// the skip rule and its mark apply only to a non-empty one. True after a
// successful rename, false otherwise (also when the stop flag ends the call).
// The first form renames with the working account; the second with `session`
// (cookies, bdstoken, and its user's result logs).
bool RenameRemoteItem(std::string& path, std::string& newName, bool isFolder,
                      const std::string& fsId);
bool RenameRemoteItem(const AccountSession& session, std::string& path, std::string& newName,
                      bool isFolder, const std::string& fsId);

// One element of a rename file list, percent-encoded: {"id":fsId,"path":...,
// "newname":...} (no id when `fsId` is empty). The path and the name are each
// encoded once from their own notation; the path exactly, the new name's
// apostrophes as U+2019 unless it is in backslash-u notation.
std::string RenameListEntry(const std::string& fsId, const std::string& path,
                            const std::string& newName);

// Internal: the form body of one attempt.
std::string BuildRenameBody(const std::string& path, const std::string& newName,
                            const std::string& fsId);

// Internal: the reason of a failed rename, from the last reply (the item's
// errno, or the error_code of a failed task).
std::string RenameFailureReason(const std::string& reply);
