#include "fakeservice/fake_service.h"

#include <openssl/crypto.h>

#include <iostream>

FakeService::FakeService(FakeServiceOptions options)
    : m_options(options), m_model(std::make_unique<ServiceModel>()) {}

FakeService::~FakeService() {
  Stop();
  std::lock_guard lock(m_mutex);
  for (const std::string& failure : m_failures) {
    std::cerr << "fake service: " << failure << "\n";
  }
}

bool FakeService::Start(std::string* error) {
  // The emulator is usually the first user of the TLS library in a test
  // process, so it sets the library up as the program does: no clean-up in an
  // exit handler, which could run while a job thread of the test is still
  // ending.
  OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
  std::string message;
  const bool ok =
      m_certificates.Make(m_options.selfSignedCertificate, m_options.certificateDays, message) &&
      m_listener.Start(
          m_certificates, m_options.port,
          [this](RecordedRequest&& request) { return Answer(std::move(request)); },
          [this](const std::string& failure) { AddFailure(failure); }, message);
  if (!ok && error != nullptr) {
    *error = message;
  }
  return ok;
}

void FakeService::Stop() {
  m_listener.Stop();
}

std::string FakeService::Host() const {
  return "127.0.0.1:" + std::to_string(Port());
}

std::string FakeService::BaseUrl() const {
  return "https://" + Host();
}

std::vector<RecordedRequest> FakeService::Requests() const {
  std::lock_guard lock(m_mutex);
  return m_requests;
}

std::vector<RecordedRequest> FakeService::RequestsTo(const std::string& path) const {
  std::vector<RecordedRequest> picked;
  for (RecordedRequest& request : Requests()) {
    if (request.Path() == path) {
      picked.push_back(std::move(request));
    }
  }
  return picked;
}

void FakeService::ClearRequests() {
  std::lock_guard lock(m_mutex);
  m_requests.clear();
}

void FakeService::SetHook(Hook hook) {
  std::lock_guard lock(m_mutex);
  m_hook = std::move(hook);
}

std::vector<std::string> FakeService::Failures() const {
  std::lock_guard lock(m_mutex);
  return m_failures;
}

void FakeService::ClearFailures() {
  std::lock_guard lock(m_mutex);
  m_failures.clear();
}

void FakeService::AddFailure(const std::string& failure) {
  std::lock_guard lock(m_mutex);
  m_failures.push_back(failure);
}

FakeReply FakeService::Answer(RecordedRequest&& request) {
  const std::string line = request.method + " " + request.target;
  Hook hook;
  {
    std::lock_guard lock(m_mutex);
    m_requests.push_back(request);
    hook = m_hook;
  }
  if (request.chunked) {
    AddFailure("chunked request body refused: " + line);
    return FakeReply::Html("chunked bodies are not accepted", 400);
  }
  if (request.bodyIncomplete) {
    AddFailure("request body shorter than its Content-Length: " + line);
    return FakeReply::Html("incomplete body", 400);
  }
  if (hook) {
    if (std::optional<FakeReply> reply = hook(request)) {
      return *reply;
    }
  }
  std::optional<FaultMatch> fault = m_faults.Match(request);
  if (fault && !fault->applyFirst) {
    return fault->reply;
  }
  std::optional<FakeReply> reply = m_model->Handle(request);
  if (fault) {
    return fault->reply;
  }
  if (reply) {
    return *reply;
  }
  AddFailure("unexpected request: " + line);
  return FakeReply::Html("unexpected request", 500);
}
