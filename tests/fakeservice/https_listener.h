#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the emulator. It keeps what general
// servers throw away: the raw header order and case, the raw target and a
// chunked body as such. Each connection carries one request and is closed
// after the reply ("Connection: close"), so faults such as a dropped
// connection or a reply cut after its headers are easy to serve.
//
// The same port speaks TLS and plain HTTP: the first byte of a connection
// decides (0x16 opens a TLS handshake). One thread accepts; each connection
// gets its own thread, joined on Stop. The handler runs on those threads and
// must be thread-safe.

#include <openssl/ssl.h>

#include <atomic>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <thread>

#include "fakeservice/http_exchange.h"

class TestCertificates;

class HttpsListener {
 public:
  using Handler = std::function<FakeReply(RecordedRequest&&)>;
  using ErrorSink = std::function<void(const std::string&)>;

  HttpsListener() = default;
  ~HttpsListener();
  HttpsListener(const HttpsListener&) = delete;
  HttpsListener& operator=(const HttpsListener&) = delete;

  // Listens on 127.0.0.1:`port` (0: a free port the system picks) and serves
  // TLS with the server certificate of `certificates`, which must outlive the
  // listener. `onError` hears about malformed requests. Returns false and
  // fills `error` when the socket or the TLS context cannot be set up.
  [[nodiscard]] bool Start(const TestCertificates& certificates, int port, Handler handler,
                           ErrorSink onError, std::string& error);
  // Stops accepting, cuts open connections (waking delayed replies) and joins
  // every thread. Safe to call twice.
  void Stop();

  int Port() const { return m_port; }

 private:
  struct Worker {
    std::thread thread;
    int fd = -1;
    bool done = false;
  };

  void AcceptLoop();
  void Serve(Worker* worker);
  void ReapFinished();

  SSL_CTX* m_context = nullptr;
  int m_listenFd = -1;
  int m_port = 0;
  Handler m_handler;
  ErrorSink m_onError;
  std::atomic<bool> m_stopping{false};
  std::thread m_acceptThread;
  std::mutex m_workersMutex;
  std::list<Worker> m_workers;
};
