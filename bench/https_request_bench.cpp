// CPU that one HTTPS request costs the calling thread, for each back end of
// SendHttpRequest, against the local emulator. The emulator answers on its own
// threads, so the CPU column is the client's share: the TLS set-up (the trust
// store included), the handshake and the transfer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "fakeservice/fake_service.h"
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

void BM_HttpsRequest(benchmark::State& state) {
  FakeService* service = Service();
  if (service == nullptr) {
    state.SkipWithError("the emulator did not start");
    return;
  }
  g_useCurl = static_cast<int>(state.range(0));
  const std::string url = service->BaseUrl() + "/api/bench";
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
// Argument: 0 the request-object back end, 1 the libcurl client.
BENCHMARK(BM_HttpsRequest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
// Many senders at once, as a rename or listing job runs them.
BENCHMARK(BM_HttpsRequest)
    ->Arg(0)
    ->Arg(1)
    ->Threads(8)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
