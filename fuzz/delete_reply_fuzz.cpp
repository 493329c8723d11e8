// The delete's judgement of its replies and of the task it polls.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/fuzz_session.h"
#include "support/fuzz_support.h"
#include "web/delete_paths.h"
#include "web/remote_name_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  ServeFuzzReplies(SplitFuzzInput(data, size));
  DeleteRemotePaths(FuzzSession(), {EncodeRemoteJsonText("/a/b.txt", false),
                                    EncodeRemoteJsonText("/a/c 100%.txt", false)});
  return 0;
}
