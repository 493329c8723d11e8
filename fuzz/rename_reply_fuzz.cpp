// The single rename's judgement of its replies (the submission, busy answers,
// the task polls), each part of the input one reply.

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/fuzz_session.h"
#include "support/fuzz_support.h"
#include "web/rename_item.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  ServeFuzzReplies(SplitFuzzInput(data, size));
  std::string path = "/a/it's.txt";
  std::string newName = "b.txt";
  RenameRemoteItem(FuzzSession(), path, newName, false, "123");
  return 0;
}
