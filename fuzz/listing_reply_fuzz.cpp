// Listing replies, each part of the input one reply: the copy job's
// sub-folder listing and the root listing of the remote folder tree (whose
// session check reads the first replies).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jobs/copy_targets.h"
#include "support/fuzz_session.h"
#include "support/fuzz_support.h"
#include "web/account_session.h"
#include "web/folder_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  const std::vector<std::string> replies = SplitFuzzInput(data, size);
  ServeFuzzReplies(replies);
  std::vector<SubfolderEntry> entries;
  std::string lastReply;
  ListSubfolders(FuzzSession(), "%2Fa", entries, &lastReply);
  ServeFuzzReplies(replies);
  FetchFolderListPage(FuzzSession(), "/a'b", 0, 1);
  ServeFuzzReplies(replies);
  SetAccountSession(FuzzSession());
  LoadRootFolderTree(1);
  return 0;
}
