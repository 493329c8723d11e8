// Parsing a 200-entry folder-listing reply, as the folder tree, the traversal
// and the collection do for every page they list, and reading each entry's
// name and folder flag by path.

#include <benchmark/benchmark.h>

#include <string>

#include "data/json_document.h"

namespace {

std::string ListingReply(int entries) {
  std::string text = "{\"errno\":0,\"guid_info\":\"\",\"list\":[";
  for (int i = 0; i < entries; ++i) {
    const std::string n = std::to_string(i);
    text += i ? "," : "";
    text +=
        "{\"tkbind_id\":0,\"owner_type\":0,\"category\":6,\"real_category\":\"\","
        "\"fs_id\":" +
        std::to_string(1100000000000000000LL + i * 7919) +
        ",\"oper_id\":1234567890,\"server_ctime\":1700000000,\"local_mtime\":1700000000,"
        "\"size\":" +
        std::to_string(i * 4096) + ",\"isdir\":" + std::to_string(i % 3 == 0) +
        ",\"share\":0,\"path\":\"\\/\\u6211\\u7684\\u8d44\\u6e90\\/\\u6587\\u4ef6" + n +
        ".mp4\",\"local_ctime\":1700000000,\"server_filename\":\"\\u6587\\u4ef6" + n +
        ".mp4\",\"server_mtime\":1700000000,\"dir_empty\":0,\"pl\":1,"
        "\"md5\":\"a1b2c3d4e5f60718293a4b5c6d7e8f90\",\"unlist\":0,\"server_atime\":0}";
  }
  text += "],\"request_id\":7781234567890123456,\"guid\":0}";
  return text;
}

void BM_ParseListingReply(benchmark::State& state) {
  const std::string reply = ListingReply(200);
  for (auto _ : state) {
    JsonDocument doc;
    benchmark::DoNotOptimize(doc.Parse(reply, 0));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(reply.size()));
}
BENCHMARK(BM_ParseListingReply);

void BM_ParseAndReadListingReply(benchmark::State& state) {
  const std::string reply = ListingReply(200);
  for (auto _ : state) {
    JsonDocument doc;
    doc.Parse(reply, 0);
    const int count = doc.GetCount("list");
    for (int i = 0; i < count; ++i) {
      const std::string entry = "list[" + std::to_string(i) + "]";
      benchmark::DoNotOptimize(doc.GetText(entry + ".server_filename"));
      benchmark::DoNotOptimize(doc.GetText(entry + ".isdir"));
    }
  }
}
BENCHMARK(BM_ParseAndReadListingReply);

}  // namespace
