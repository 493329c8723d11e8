#pragma once
// The local emulator of the cloud-disk service for tests and for trying the
// program without an account. One object is one HTTPS server on 127.0.0.1 with
// a CA made for this run; point the program at it with BaseUrl()/Host() and
// CaFile() (QUILLMERE_WEB_HOST, QUILLMERE_CA_FILE).
//
// Every request is recorded before it is answered. Answers come from, in this
// order: the per-test hook, the fault table, the in-memory service model, and
// finally a fallback that answers 500 and records a failure. The emulator
// never aborts the test process: tests assert Failures() is empty.
//
// Thread-safety: the accessors may be called from any thread while requests
// are being served; the hook runs on the serving threads.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "fakeservice/fault_table.h"
#include "fakeservice/http_exchange.h"
#include "fakeservice/https_listener.h"
#include "fakeservice/service_model.h"
#include "fakeservice/test_certificates.h"

struct FakeServiceOptions {
  // Serve a self-signed certificate that the test CA did not sign, so that a
  // client trusting CaFile() must refuse the server.
  bool selfSignedCertificate = false;
  int port = 0;  // 0: a free port picked by the system
  int certificateDays = 2;
};

class FakeService {
 public:
  // Answers a request first when it returns a reply.
  using Hook = std::function<std::optional<FakeReply>(const RecordedRequest&)>;

  explicit FakeService(FakeServiceOptions options = {});
  ~FakeService();
  FakeService(const FakeService&) = delete;
  FakeService& operator=(const FakeService&) = delete;

  // Makes the certificates and starts listening. Returns false and fills
  // `error` (when given) on failure.
  [[nodiscard]] bool Start(std::string* error = nullptr);
  void Stop();

  int Port() const { return m_listener.Port(); }
  std::string Host() const;     // "127.0.0.1:<port>", the value for the web host
  std::string BaseUrl() const;  // "https://127.0.0.1:<port>"
  const std::string& CaFile() const { return m_certificates.CaFile(); }

  std::vector<RecordedRequest> Requests() const;
  // The recorded requests whose path (without query) equals `path`.
  std::vector<RecordedRequest> RequestsTo(const std::string& path) const;
  void ClearRequests();

  void SetHook(Hook hook);
  void ClearHook() { SetHook(nullptr); }

  // What went wrong on the server side: unexpected requests, chunked or short
  // bodies, malformed requests. Empty in a passing test.
  std::vector<std::string> Failures() const;
  void ClearFailures();
  void AddFailure(const std::string& failure);

  FaultTable& Faults() { return m_faults; }
  ServiceModel& Model() { return *m_model; }

 private:
  FakeReply Answer(RecordedRequest&& request);

  FakeServiceOptions m_options;
  TestCertificates m_certificates;
  HttpsListener m_listener;
  FaultTable m_faults;
  std::unique_ptr<ServiceModel> m_model;
  mutable std::mutex m_mutex;  // guards the members below
  std::vector<RecordedRequest> m_requests;
  std::vector<std::string> m_failures;
  Hook m_hook;
};
