// The batch rename's judgement of its replies: the submission, the task polls
// and the booking of every item the reply names (or does not name).

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/fuzz_session.h"
#include "support/fuzz_support.h"
#include "web/rename_batch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  ServeFuzzReplies(SplitFuzzInput(data, size));
  const std::string items = MakeRenameBatchItem("1", "/a/x.txt", "y.txt") +
                            MakeRenameBatchItem("2", "/a/\\u4e2d.txt", "z.txt");
  SubmitRenameBatch(FuzzSession(), items);
  return 0;
}
