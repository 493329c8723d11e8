// The copy request's judgement of its replies: the submission, the task
// polls, the resubmission that keeps both copies.

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/program_wide_objects.h"
#include "jobs/copy_request.h"
#include "support/fuzz_session.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  ServeFuzzReplies(SplitFuzzInput(data, size));
  g_copySources = {"/a/b.txt", "/c"};
  const std::string result = CopyIntoFolder(FuzzSession(), "%2Fd", "fuzz", 0);
  if (CopyResultAsksRepeat(result))
    CopyIntoFolder(FuzzSession(), "%2Fd", "fuzz", 1);
  return 0;
}
