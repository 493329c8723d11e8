// The pooled collection of a prefetch run: a tree of 100,000 entries (100
// folders of 999 files below the ticked folder) listed from the local emulator
// into a listing cache with the pool's 18 threads, against a raw libcurl loop
// on 18 threads that fetches the same pages (one reused handle per thread) and
// only counts their entries. Items are entries; the ratio printed at the end
// is the collection's entries per second over the raw loop's. The collection
// keeps its fixed pacing (5 ms after every entry on each thread), so the
// ratio mostly shows that pacing. `peak_kib` is the process's VmHWM after the
// run (emulator and its tree included, in the same process); `rise_kib` is how
// much the run itself raised it.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <stdlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench_ratio.h"
#include "fakeservice/fake_service.h"
#include "foundation/thread_pool.h"
#include "jobs/folder_collection.h"
#include "jobs/prefetch_run.h"
#include "jobs/prefetch_run_hooks.h"
#include "platform/curl_support.h"
#include "web/account_session.h"
#include "web/folder_listing.h"
#include "web/service_config.h"

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 999;
constexpr int kEntries = kFolders * (kFilesPerFolder + 1);
constexpr int kThreads = 18;

std::string FolderName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "/top/d%03d", i);
  return name;
}

// One emulator with the tree, an account and a scratch program folder.
FakeService* Service() {
  static std::once_flag s_once;
  static std::unique_ptr<FakeService> s_service;
  std::call_once(s_once, [] {
    auto service = std::make_unique<FakeService>();
    if (!service->Start()) {
      return;
    }
    RemoteTree tree;
    for (int i = 0; i < kFolders; ++i) {
      for (int j = 0; j < kFilesPerFolder; ++j) {
        tree.AddFile(FolderName(i) + "/file" + std::to_string(j) + ".txt", j);
      }
    }
    FakeAccount account = FakeAccount::Make("bench", std::move(tree));
    service->Model().AddAccount(account);
    SetAccountSession({"bench", account.CookieText(), account.bdstoken});
    setenv("QUILLMERE_CA_FILE", service->CaFile().c_str(), 1);
    setenv("QUILLMERE_WEB_HOST", service->Host().c_str(), 1);
    static char home[] = "/tmp/quillmere-collection-bench-XXXXXX";
    if (mkdtemp(home) != nullptr) {
      setenv("QUILLMERE_HOME", home, 1);
    }
    LoadServiceConfig();
    InitializeCurlOnce();
    g_threadPool = ThreadPool::Create(1, 10);
    s_service = std::move(service);
  });
  return s_service.get();
}

long PeakKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::atol(line.c_str() + 6);
    }
  }
  return 0;
}

void SkipApply(const AccountSession&, int) {}

void BM_Collection(benchmark::State& state) {
  if (Service() == nullptr) {
    state.SkipWithError("the emulator did not start");
    return;
  }
  InstallApplyEngines(SkipApply, SkipApply);
  const long before = PeakKib();
  for (auto _ : state) {
    StartPrefetchRun(GetAccountSession(), "/top");
    const int collected = g_runCollectedCount.load();
    EndPrefetchCache();
    if (collected != kEntries) {
      state.SkipWithError(("collected " + std::to_string(collected)).c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
  state.counters["peak_kib"] = static_cast<double>(PeakKib());
  state.counters["rise_kib"] = static_cast<double>(PeakKib() - before);
  state.counters["pool_max"] = ThreadPool::MaxThreads(g_threadPool);
}

size_t CollectBody(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

int CountEntries(const std::string& body) {
  int count = 0;
  for (size_t at = body.find("\"server_filename\""); at != std::string::npos;
       at = body.find("\"server_filename\"", at + 1)) {
    ++count;
  }
  return count;
}

// The reference: the same pages (the ticked folder, then each folder page by
// page until a short one) over plain libcurl, 18 threads sharing the folders.
void BM_RawCurlPages(benchmark::State& state) {
  FakeService* service = Service();
  if (service == nullptr) {
    state.SkipWithError("the emulator did not start");
    return;
  }
  const std::string cookies = "Cookie: " + GetAccountSession().cookies;
  const std::string caFile = service->CaFile();
  const long before = PeakKib();
  for (auto _ : state) {
    std::atomic<int> next{-1};  // -1: the ticked folder
    std::atomic<int> entries{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&] {
        CURL* handle = curl_easy_init();
        curl_slist* headers = curl_slist_append(nullptr, cookies.c_str());
        std::string body;
        curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.c_str());
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1});
        curl_easy_setopt(handle, CURLOPT_PROXY, "");
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CollectBody);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
        for (int folder = next++; folder < kFolders; folder = next++) {
          const std::string path = folder < 0 ? "/top" : FolderName(folder);
          for (int page = 1;; ++page) {
            const std::string url =
                service->BaseUrl() +
                FolderListingQuery(EncodeListingDir(path), page, "time", "1", 100);
            body.clear();
            curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
            if (curl_easy_perform(handle) != CURLE_OK) {
              break;
            }
            const int count = CountEntries(body);
            entries += count;
            if (count != 100) {
              break;
            }
          }
        }
        curl_slist_free_all(headers);
        curl_easy_cleanup(handle);
      });
    }
    for (std::thread& thread : threads) {
      thread.join();
    }
    if (entries.load() != kEntries) {
      state.SkipWithError(("fetched " + std::to_string(entries.load())).c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
  state.counters["peak_kib"] = static_cast<double>(PeakKib());
  state.counters["rise_kib"] = static_cast<double>(PeakKib() - before);
}

BENCHMARK(BM_Collection)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_RawCurlPages)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(
      argc, argv,
      {{"collection of 100,000 entries", "BM_Collection/iterations:1/real_time",
        "BM_RawCurlPages/iterations:1/real_time", true, ""}});
}
