#include "jobs/folder_traversal.h"

#include <vector>

#include "data/json_document.h"
#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/unicode_notation.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "jobs/keyword_entries.h"
#include "jobs/name_legalisation.h"
#include "jobs/number_prefix_counter.h"
#include "jobs/rename_rules.h"
#include "jobs/rename_status_lines.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "web/delete_paths.h"
#include "web/folder_listing.h"
#include "web/rename_counters.h"
#include "web/rename_item.h"
#include "web/rename_task_state.h"

namespace {

struct ListedEntry {
  std::string name;  // server_filename as received
  std::string fsId;
  std::string path;  // path as received
  bool isFolder = false;
};

// The form a new name is built from: the raw (backslash-u) path with the
// escaped variant, or the decoded path with the plain one.
struct NameForm {
  std::string path;
  int variant = kPlainNameVariant;
};

bool Checked(const char* name) {
  return GetControlStore().Checked(name);
}

bool RenamesFolders() {
  return Checked(kModifyAllRadio) || Checked(kModifyFoldersOnlyRadio);
}

bool RenamesFiles() {
  return Checked(kModifyAllRadio) || Checked(kModifyFilesOnlyRadio);
}

// The part after the last "/" ("/" is never a trail byte of code page 936).
std::string LastLevel(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void CountProcessed() {
  std::lock_guard lock(g_counterLock);
  ++g_processedCount;
  ShowStatusText(TraversalProgressLine());
}

class FolderTraversal {
 public:
  FolderTraversal(const AccountSession& session, std::string folderPath)
      : m_session(session), m_folderPath(std::move(folderPath)) {}

  // False when the stop flag ended it.
  bool Run();

 private:
  std::vector<ListedEntry> ListAllPages(bool& stopped) const;
  bool ProcessEntry(const ListedEntry& entry);
  bool DeletedByKeyword(const ListedEntry& entry, const std::string& decodedName,
                        const std::string& decodedPath) const;
  static std::string NewName(const NameForm& form, const std::string& number, int folderFlag);

  const AccountSession& m_session;
  const std::string m_folderPath;
  std::string m_folderNumber;
  std::string m_fileNumber;
};

bool FolderTraversal::Run() {
  if (m_folderPath.empty()) {
    return true;
  }
  const std::string start = GetControlStore().Text(kNumberPrefixEdit);
  m_folderNumber = m_fileNumber = start.empty() ? "000" : start;
  bool stopped = false;
  const std::vector<ListedEntry> entries = ListAllPages(stopped);
  if (stopped) {
    return false;
  }
  for (const ListedEntry& entry : entries) {
    if (RenameStopRequested() || !ProcessEntry(entry)) {
      return false;
    }
    PumpMessages();
  }
  return true;
}

std::vector<ListedEntry> FolderTraversal::ListAllPages(bool& stopped) const {
  std::vector<ListedEntry> entries;
  const std::string listedPath = RestoreEncodedPunctuation(m_folderPath);
  for (int page = 1;; ++page) {
    if (RenameStopRequested()) {
      stopped = true;
      return entries;
    }
    const std::string reply = FetchFolderListPage(m_session, listedPath, 0, page);
    if (reply.empty()) {
      return entries;  // given up on (and reported): the pages read so far stand
    }
    JsonDocument document;
    ParseListingReply(document, reply);
    const int count = document.GetCount("list");
    for (int i = 0; i < count; ++i) {
      const std::string prefix = "list[" + std::to_string(i) + "].";
      entries.push_back({document.GetText(prefix + "server_filename"),
                         document.GetText(prefix + "fs_id"), document.GetText(prefix + "path"),
                         document.GetText(prefix + "isdir") == "1"});
    }
    PumpMessages();
    if (count < kTraversalPageSize) {
      return entries;
    }
  }
}

bool FolderTraversal::DeletedByKeyword(const ListedEntry& entry, const std::string& decodedName,
                                       const std::string& decodedPath) const {
  const char* box = entry.isFolder ? kDeleteFoldersBox : kDeleteFilesBox;
  const char* edit = entry.isFolder ? kDeleteFoldersKeywordsEdit : kDeleteFilesKeywordsEdit;
  if (!Checked(box)) {
    return false;
  }
  for (const std::string& keyword : KeywordEntries(GetControlStore().Text(edit))) {
    if (FindText(decodedName, keyword) == -1) {
      PumpMessages();
      continue;
    }
    CountProcessed();
    const std::string encoded =
        FindText(decodedPath, "?") != -1
            ? UrlEncodeUnreserved(Utf16ToUtf8(DecodeUnicodeEscapes(entry.path)))
            : UrlEncodeText(decodedPath);
    DeleteRemotePaths(m_session, {encoded});
    return true;
  }
  return false;
}

std::string FolderTraversal::NewName(const NameForm& form, const std::string& number,
                                     int folderFlag) {
  const std::string listed = LastLevel(form.path);
  return RestoreEncodedPunctuation(
      LegalNewName(listed, BuildNewName(listed, 1, 0, folderFlag, number, form.variant)));
}

bool FolderTraversal::ProcessEntry(const ListedEntry& entry) {
  const std::string decodedName = DecodeListedText(entry.name);
  const std::string decodedPath = DecodeListedText(entry.path);
  if (DeletedByKeyword(entry, decodedName, decodedPath)) {
    return true;
  }
  std::string& counter = entry.isFolder ? m_folderNumber : m_fileNumber;
  counter = StepNumberPrefix(counter);
  const std::string number = counter;
  if (entry.isFolder && RenameStopRequested()) {
    return false;
  }
  const bool escaped = NeedsEscapedForm(decodedPath);
  const NameForm form = escaped ? NameForm{entry.path, kEscapedNameVariant}
                                : NameForm{decodedPath, kPlainNameVariant};
  const int folderFlag = entry.isFolder ? 1 : 0;
  const std::string newName = NewName(form, number, folderFlag);
  CountProcessed();
  if (!entry.isFolder) {
    if (RenamesFiles()) {
      RenameListedItem(m_session, form.path, newName, 0, entry.fsId);
    }
    return true;
  }
  if (Checked(kNoSubfoldersRadio)) {
    if (RenamesFolders()) {
      RenameListedItem(m_session, form.path, newName, 1, entry.fsId);
    }
    return true;
  }
  if (!FolderTraversal(m_session, form.path).Run()) {
    return false;
  }
  if (m_folderPath != "/" && RenamesFolders()) {
    RenameListedItem(m_session, form.path, NewName(form, number, 1), 1, entry.fsId);
  }
  return true;
}

}  // namespace

bool NeedsEscapedForm(const std::string& decodedPath) {
  for (const char* mark : {"?", "'", "+", "-", "\\u"}) {
    if (FindText(decodedPath, mark) != -1) {
      return true;
    }
  }
  return false;
}

std::string DecodeListedText(const std::string& listed) {
  return Utf16ToText(DecodeUnicodeEscapes(listed));
}

void ProcessRemoteFolder(const AccountSession& session, const std::string& folderPath) {
  FolderTraversal(session, folderPath).Run();
}

void RenameListedItem(const AccountSession& session, const std::string& oldPath,
                      const std::string& newName, int folderFlag, const std::string& fsId) {
  const std::string oldName = LastLevel(oldPath);
  if (FindText(oldPath, "\\u") != -1) {
    if (oldName.size() == newName.size() && FindText(oldName, newName, 1, true) == 1) {
      return;
    }
  } else if (DecodeListedText(oldName) == newName) {
    return;
  }
  const bool send = folderFlag == 1 ? RenamesFolders() : folderFlag == 0 && RenamesFiles();
  if (!send) {
    return;
  }
  std::string path = oldPath;
  std::string name = newName;
  RenameRemoteItem(session, path, name, folderFlag == 1, fsId);
}
