// One HTTPS request through SendHttpRequest, for each back end, against a raw
// libcurl loop that reuses one handle per thread, all against the local
// emulator with the same request, on one thread and on eight. The emulator
// closes every connection after its reply, so each request of either side
// opens a connection and makes a TLS handshake; the ratio printed at the end
// is the project's requests per second over the raw loop's, with the CPU the
// calling threads spend per request beside it.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "bench_ratio.h"
#include "fakeservice/fake_service.h"
#include "platform/curl_support.h"
#include "web/http_request.h"
#include "web/service_config.h"

namespace {

// One emulator for the whole run, trusted through the CA file setting.
FakeService* Service() {
  static std::once_flag s_once;
  static std::unique_ptr<FakeService> s_service;
  std::call_once(s_once, [] {
    auto service = std::make_unique<FakeService>();
    if (!service->Start()) {
      return;
    }
    service->SetHook([](const RecordedRequest&) { return std::optional(FakeReply::Json("{}")); });
    setenv("QUILLMERE_CA_FILE", service->CaFile().c_str(), 1);
    LoadServiceConfig();
    s_service = std::move(service);
  });
  return s_service.get();
}

std::string Url(FakeService* service) {
  return service->BaseUrl() + "/api/bench";
}

void BM_HttpsRequest(benchmark::State& state) {
  FakeService* service = Service();
  if (service == nullptr) {
    state.SkipWithError("the emulator did not start");
    return;
  }
  g_useCurl = static_cast<int>(state.range(0));
  const std::string url = Url(service);
  for (auto _ : state) {
    int status = 0;
    std::string body = SendHttpRequest(url, {.status = &status});
    if (status != 200) {
      state.SkipWithError("the request failed");
      break;
    }
    benchmark::DoNotOptimize(body);
  }
  state.SetItemsProcessed(state.iterations());
}

size_t CollectBody(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

// The reference: plain libcurl, one handle per thread reused for every
// request (its own TLS session cache and CA cache), certificates verified
// against the emulator's CA file.
void BM_RawCurl(benchmark::State& state) {
  FakeService* service = Service();
  if (service == nullptr) {
    state.SkipWithError("the emulator did not start");
    return;
  }
  InitializeCurlOnce();
  const std::string url = Url(service);
  const std::string caFile = service->CaFile();
  CURL* handle = curl_easy_init();
  std::string body;
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.c_str());
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1});
  curl_easy_setopt(handle, CURLOPT_PROXY, "");
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CollectBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
  for (auto _ : state) {
    body.clear();
    long status = 0;
    if (curl_easy_perform(handle) != CURLE_OK ||
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status != 200) {
      state.SkipWithError("the request failed");
      break;
    }
    benchmark::DoNotOptimize(body);
  }
  curl_easy_cleanup(handle);
  state.SetItemsProcessed(state.iterations());
}

// A second reference, as near to the program's way as plain libcurl gets:
// a new handle for every request (so its own connection, as each request of
// the program has), with TLS sessions resumed through one share object.
// What separates it from the reused handle is the cost of a handle and a
// connection per request, not the project's code.
void BM_RawCurlFreshHandle(benchmark::State& state) {
  FakeService* service = Service();
  if (service == nullptr) {
    state.SkipWithError("the emulator did not start");
    return;
  }
  InitializeCurlOnce();
  static CURLSH* const s_share = [] {
    CURLSH* share = curl_share_init();
    static std::mutex s_lock;
    curl_share_setopt(
        share, CURLSHOPT_LOCKFUNC,
        +[](CURL*, curl_lock_data, curl_lock_access, void*) { s_lock.lock(); });
    curl_share_setopt(
        share, CURLSHOPT_UNLOCKFUNC, +[](CURL*, curl_lock_data, void*) { s_lock.unlock(); });
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    return share;
  }();
  const std::string url = Url(service);
  const std::string caFile = service->CaFile();
  std::string body;
  for (auto _ : state) {
    CURL* handle = curl_easy_init();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1});
    curl_easy_setopt(handle, CURLOPT_PROXY, "");
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CollectBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(handle, CURLOPT_SHARE, s_share);
    body.clear();
    long status = 0;
    const bool ok = curl_easy_perform(handle) == CURLE_OK &&
                    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
                    status == 200;
    curl_easy_cleanup(handle);
    if (!ok) {
      state.SkipWithError("the request failed");
      break;
    }
    benchmark::DoNotOptimize(body);
  }
  state.SetItemsProcessed(state.iterations());
}

// Argument: 0 the request-object back end, 1 the libcurl client.
BENCHMARK(BM_HttpsRequest)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawCurl)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawCurlFreshHandle)->UseRealTime()->Unit(benchmark::kMillisecond);
// Many senders at once, as a rename or listing job runs them.
BENCHMARK(BM_HttpsRequest)
    ->Arg(0)
    ->Arg(1)
    ->Threads(8)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawCurl)->Threads(8)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawCurlFreshHandle)->Threads(8)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(
      argc, argv,
      {{"request object, 1 thread", "BM_HttpsRequest/0/real_time", "BM_RawCurl/real_time", true,
        ""},
       {"libcurl client, 1 thread", "BM_HttpsRequest/1/real_time", "BM_RawCurl/real_time", true,
        ""},
       {"request object, 8 threads", "BM_HttpsRequest/0/real_time/threads:8",
        "BM_RawCurl/real_time/threads:8", true, ""},
       {"libcurl client, 8 threads", "BM_HttpsRequest/1/real_time/threads:8",
        "BM_RawCurl/real_time/threads:8", true, ""},
       {"request object, 1 thread, fresh", "BM_HttpsRequest/0/real_time",
        "BM_RawCurlFreshHandle/real_time", true, ""},
       {"libcurl client, 1 thread, fresh", "BM_HttpsRequest/1/real_time",
        "BM_RawCurlFreshHandle/real_time", true, ""},
       {"request object, 8 threads, fresh", "BM_HttpsRequest/0/real_time/threads:8",
        "BM_RawCurlFreshHandle/real_time/threads:8", true, ""},
       {"libcurl client, 8 threads, fresh", "BM_HttpsRequest/1/real_time/threads:8",
        "BM_RawCurlFreshHandle/real_time/threads:8", true, ""}});
}
