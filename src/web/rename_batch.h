#pragma once
// Batch rename: up to 100 renames of the working account in one
// /api/filemanager request, the task that the service starts for it followed
// to the end, and every item of the batch booked (counter and result-log
// entry). Runs on the rename task's thread and blocks it until the batch is
// booked; waits run on the installed clock.

#include <string>

#include "web/account_session.h"

// `items`: the batch as the apply phase builds it, per item
// "%7B%22id%22%3A" + fs_id + "%2C%22path%22%3A%22" + encoded path +
// "%22%2C%22newname%22%3A%22" + encoded new name + "%22%7D%2C". Callers pass
// `resubmit` false; an undecided batch is submitted once more with true, and
// an undecided resubmission books every item as of unknown state. Nothing is
// sent for a text without items; nothing is booked when the stop flag ends
// the call.
// The first form submits with the working account; the second with `session`
// (cookies, bdstoken, and its user's result logs).
void SubmitRenameBatch(const std::string& items, bool resubmit = false);
void SubmitRenameBatch(const AccountSession& session, const std::string& items,
                       bool resubmit = false);

// One item of `items` for the item `fsId` at `path` renamed to `newName`
// (each plain text or backslash-u notation): the path and the name encoded
// exactly once, as the single rename sends them (the path exactly as listed).
std::string MakeRenameBatchItem(const std::string& fsId, const std::string& path,
                                const std::string& newName);

// Internal: the form body ("filelist=%5B" + items + "%5D", the comma after the
// last item dropped).
std::string BuildBatchBody(const std::string& items);
