// The item outcomes a file operation's reply names (task lists and
// synchronous info lists).

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/fuzz_support.h"
#include "web/task_list_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadNamedOutcomes(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
