// The archive job's two requests: the folder creation's confirmation and the
// move's submission and task polls.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jobs/archive_requests.h"
#include "support/fuzz_session.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  const std::vector<std::string> replies = SplitFuzzInput(data, size);
  ServeFuzzReplies(replies);
  CreateRemoteFolder(FuzzSession(), "%2Fa%2Fb");
  ServeFuzzReplies(replies);
  MoveRemoteFile(FuzzSession(), "%2Fa%2Fb.txt", "%2Fa%2Fb", "b.txt");
  return 0;
}
