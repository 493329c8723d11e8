#pragma once
// Batch rename: up to 100 renames of the working account in one
// /api/filemanager request, the task that the service starts for it followed
// to the end, and every item of the batch booked (counter and result-log
// entry). Runs on the rename task's thread and blocks it until the batch is
// booked; waits run on the installed clock.

#include <string>
#include <vector>

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
// exactly once, as the single rename's first attempt sends them.
std::string MakeRenameBatchItem(const std::string& fsId, const std::string& path,
                                const std::string& newName);

// The items of one batch as the batch apply collects them: the text
// SubmitRenameBatch takes, and for each item whose old path holds an
// apostrophe the same item with that apostrophe sent plain.
class RenameBatchItems {
 public:
  void Add(const std::string& fsId, const std::string& path, const std::string& newName);
  void Clear();
  const std::string& Text() const { return m_text; }
  size_t Count() const { return m_plainForms.size(); }
  // Per item in order: its plain-apostrophe form, empty when it has none.
  const std::vector<std::string>& PlainForms() const { return m_plainForms; }

 private:
  std::string m_text;
  std::vector<std::string> m_plainForms;
};

// Submits and books `items` as above, except that an item sent with U+2019
// for its apostrophes and answered "not found" (-9) is not booked then: such
// items are submitted once more, in a batch of their own with their plain
// apostrophes, and booked by that outcome (the rule of the single rename).
void SubmitRenameBatch(const AccountSession& session, const RenameBatchItems& items);

// Internal: the form body ("filelist=%5B" + items + "%5D", the comma after the
// last item dropped).
std::string BuildBatchBody(const std::string& items);
