// The quota reply of the copy job.

#include <cstddef>
#include <cstdint>

#include "jobs/copy_request.h"
#include "support/fuzz_session.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  ServeFuzzReplies(SplitFuzzInput(data, size));
  DriveQuota quota;
  int full = -1;
  QueryDriveQuota(FuzzSession().cookies, quota, full);
  return 0;
}
