// Parsing a folder-listing reply and reading each entry's name, path, folder
// flag and file id by path, as the folder tree, the traversal and the
// collection do for every page they list: the project's JSON tree against
// nlohmann::json doing the same work on the same bytes. Prints the time ratio
// and the bytes each tree holds (counted by a replacement of the global
// allocation functions).

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <nlohmann/json.hpp>
#include <string>

#include "bench_ratio.h"
#include "data/json_arena.h"
#include "data/json_document.h"

// --- counting allocator: every block carries its size in front of it ---

namespace {
std::atomic<int64_t> g_liveBytes{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* CountedAllocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (!block)
    throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  g_liveBytes += static_cast<int64_t>(size);
  return static_cast<char*>(block) + kHeader;
}

void CountedFree(void* p) noexcept {
  if (!p)
    return;
  char* block = static_cast<char*>(p) - kHeader;
  g_liveBytes -= static_cast<int64_t>(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
  return CountedAllocate(size);
}
void* operator new[](std::size_t size) {
  return CountedAllocate(size);
}
void operator delete(void* p) noexcept {
  CountedFree(p);
}
void operator delete[](void* p) noexcept {
  CountedFree(p);
}
void operator delete(void* p, std::size_t) noexcept {
  CountedFree(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  CountedFree(p);
}

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

const std::string& Reply(int entries) {
  static const std::string s_small = ListingReply(200);
  static const std::string s_large = ListingReply(10000);
  return entries == 200 ? s_small : s_large;
}

// The four values of every entry, read by path as the listing readers do.
size_t ReadOurs(const JsonDocument& doc) {
  size_t bytes = 0;
  const int count = doc.GetCount("list");
  for (int i = 0; i < count; ++i) {
    const std::string entry = "list[" + std::to_string(i) + "].";
    bytes += doc.GetText(entry + "server_filename").size();
    bytes += doc.GetText(entry + "path").size();
    bytes += doc.GetText(entry + "isdir").size();
    bytes += doc.GetText(entry + "fs_id").size();
  }
  return bytes;
}

size_t ReadReference(const nlohmann::json& doc) {
  size_t bytes = 0;
  const nlohmann::json& list = doc.at("list");
  for (size_t i = 0; i < list.size(); ++i) {
    const nlohmann::json& entry = list.at(i);
    bytes += entry.at("server_filename").get_ref<const std::string&>().size();
    bytes += entry.at("path").get_ref<const std::string&>().size();
    bytes += static_cast<size_t>(entry.at("isdir").get<int64_t>());
    bytes += static_cast<size_t>(entry.at("fs_id").get<uint64_t>() & 1);
  }
  return bytes;
}

void BM_Ours(benchmark::State& state) {
  const std::string& reply = Reply(static_cast<int>(state.range(0)));
  int64_t treeBytes = 0;
  // Freed arena blocks kept for reuse stay allocated: what a tree holds is
  // the change of the bytes allocated and not pooled.
  const auto held = [] { return g_liveBytes - static_cast<int64_t>(JsonArenaPooledBytes()); };
  for (auto _ : state) {
    const int64_t before = held();
    JsonDocument doc;
    if (!doc.Parse(reply, 0)) {
      state.SkipWithError("the reply did not parse");
      break;
    }
    treeBytes = held() - before;
    benchmark::DoNotOptimize(ReadOurs(doc));
  }
  state.counters["tree_bytes"] = static_cast<double>(treeBytes);
  state.counters["input_bytes"] = static_cast<double>(reply.size());
}

void BM_Nlohmann(benchmark::State& state) {
  const std::string& reply = Reply(static_cast<int>(state.range(0)));
  int64_t treeBytes = 0;
  for (auto _ : state) {
    const int64_t before = g_liveBytes;
    nlohmann::json doc = nlohmann::json::parse(reply);
    treeBytes = g_liveBytes - before;
    benchmark::DoNotOptimize(ReadReference(doc));
  }
  state.counters["tree_bytes"] = static_cast<double>(treeBytes);
  state.counters["input_bytes"] = static_cast<double>(reply.size());
}

// Argument: entries in the listing.
BENCHMARK(BM_Ours)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Nlohmann)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(
      argc, argv,
      {{"parse + read, 200 entries", "BM_Ours/200", "BM_Nlohmann/200", false, "tree_bytes"},
       {"parse + read, 10,000 entries", "BM_Ours/10000", "BM_Nlohmann/10000", false,
        "tree_bytes"}});
}
