// The update manifest: its entries and the version comparison.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/fuzz_support.h"
#include "ui/update_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> parts = SplitFuzzInput(data, size, 2);
  const std::vector<ManifestEntry> entries = ReadManifestEntries(parts[0]);
  ListsNewerVersion(entries, "quillmere", "1.0.0.1");
  ListsNewerVersion(entries, parts[1], parts[1]);
  VersionNumber(parts[1]);
  VersionInteger(parts[1]);
  for (const ManifestEntry& entry : entries) {
    VersionNumber(entry.version);
    VersionInteger(entry.version);
  }
  return 0;
}
