#include "fakeservice/https_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

#include "fakeservice/test_certificates.h"

namespace {

// Ceilings on what a client may send; the program's requests are far smaller.
constexpr size_t kMaxHeadBytes = 64 * 1024;
constexpr size_t kMaxBodyBytes = 16 * 1024 * 1024;
constexpr auto kSlice = std::chrono::milliseconds(10);

// One accepted socket, with or without TLS on it.
class Connection {
 public:
  explicit Connection(int fd) : m_fd(fd) {}
  ~Connection() { SSL_free(m_ssl); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Sniffs the first byte and runs the TLS handshake when it opens one.
  bool Open(SSL_CTX* context, bool& tls) {
    unsigned char first = 0;
    if (recv(m_fd, &first, 1, MSG_PEEK) != 1) {
      return false;
    }
    tls = first == 0x16;
    if (!tls) {
      return true;
    }
    m_ssl = SSL_new(context);
    if (m_ssl == nullptr || SSL_set_fd(m_ssl, m_fd) != 1) {
      return false;
    }
    if (SSL_accept(m_ssl) != 1) {
      ERR_clear_error();
      return false;
    }
    return true;
  }

  // Bytes read, 0 at the end of the stream or on an error.
  size_t Read(char* buffer, size_t size) {
    if (m_ssl != nullptr) {
      const int got = SSL_read(m_ssl, buffer, static_cast<int>(size));
      if (got <= 0) {
        ERR_clear_error();
        return 0;
      }
      return static_cast<size_t>(got);
    }
    const ssize_t got = recv(m_fd, buffer, size, 0);
    return got > 0 ? static_cast<size_t>(got) : 0;
  }

  bool Write(std::string_view data) {
    while (!data.empty()) {
      if (m_ssl != nullptr) {
        const int sent = SSL_write(m_ssl, data.data(), static_cast<int>(data.size()));
        if (sent <= 0) {
          ERR_clear_error();
          return false;
        }
        data.remove_prefix(static_cast<size_t>(sent));
      } else {
        const ssize_t sent = send(m_fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
          return false;
        }
        data.remove_prefix(static_cast<size_t>(sent));
      }
    }
    return true;
  }

  // An orderly end: TLS close_notify, the socket shut for writing, then what
  // the peer still sends is read away until it closes (bounded), so that the
  // final close never turns into a reset that could cost the peer the reply.
  void Finish() {
    if (m_ssl != nullptr) {
      SSL_shutdown(m_ssl);
      ERR_clear_error();
    }
    shutdown(m_fd, SHUT_WR);
    char sink[4096];
    for (int round = 0; round < 100; ++round) {
      pollfd entry{m_fd, POLLIN, 0};
      if (poll(&entry, 1, 10) > 0 && recv(m_fd, sink, sizeof sink, 0) <= 0) {
        return;
      }
    }
  }

  // The next close sends a TCP reset instead of a FIN.
  void ArmReset() {
    linger option{1, 0};
    setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &option, sizeof option);
  }

  // True when the peer has closed its side (or the socket failed).
  bool PeerGone() {
    pollfd entry{m_fd, POLLRDHUP, 0};
    return poll(&entry, 1, 0) > 0 && (entry.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
  }

 private:
  int m_fd;
  SSL* m_ssl = nullptr;
};

// Reads one request. Returns false when nothing usable arrived; `malformed`
// tells a broken request from a silent peer.
bool ReadRequest(Connection& connection, RecordedRequest& request, bool& malformed) {
  malformed = false;
  std::string data;
  char buffer[16384];
  size_t headEnd = std::string::npos;
  while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
    if (data.size() > kMaxHeadBytes) {
      malformed = true;
      return false;
    }
    const size_t got = connection.Read(buffer, sizeof buffer);
    if (got == 0) {
      malformed = !data.empty();
      return false;
    }
    data.append(buffer, got);
  }
  if (headEnd > kMaxHeadBytes || ParseRequestHead(std::string_view(data).substr(0, headEnd + 4),
                                                  request) != HeadParse::kComplete) {
    malformed = true;
    return false;
  }
  std::string rest = data.substr(headEnd + 4);
  const auto expect = request.Header("Expect");
  if (expect && expect->find("100-continue") != std::string::npos) {
    connection.Write("HTTP/1.1 100 Continue\r\n\r\n");
  }
  const auto encoding = request.Header("Transfer-Encoding");
  if (encoding && encoding->find("chunked") != std::string::npos) {
    request.chunked = true;
    bool broken = false;
    while (!DecodeChunkedBody(rest, request.body, broken)) {
      const size_t got =
          broken || rest.size() > kMaxBodyBytes ? 0 : connection.Read(buffer, sizeof buffer);
      if (got == 0) {
        request.bodyIncomplete = true;
        return true;
      }
      rest.append(buffer, got);
    }
    return true;
  }
  const auto lengthText = request.Header("Content-Length");
  const size_t length =
      lengthText ? static_cast<size_t>(std::strtoull(lengthText->c_str(), nullptr, 10)) : 0;
  if (length > kMaxBodyBytes) {
    malformed = true;
    return false;
  }
  while (rest.size() < length) {
    const size_t got = connection.Read(buffer, sizeof buffer);
    if (got == 0) {
      request.bodyIncomplete = true;
      break;
    }
    rest.append(buffer, got);
  }
  request.body = rest.substr(0, length);
  return true;
}

}  // namespace

HttpsListener::~HttpsListener() {
  Stop();
  SSL_CTX_free(m_context);
}

bool HttpsListener::Start(const TestCertificates& certificates, int port, Handler handler,
                          ErrorSink onError, std::string& error) {
  m_handler = std::move(handler);
  m_onError = std::move(onError);
  // TLS writes go through write(), which would kill the process with SIGPIPE
  // when a client hangs up before its reply; the failed write is enough.
  signal(SIGPIPE, SIG_IGN);
  m_context = SSL_CTX_new(TLS_server_method());
  if (m_context == nullptr || SSL_CTX_set_min_proto_version(m_context, TLS1_2_VERSION) != 1 ||
      SSL_CTX_use_certificate(m_context, certificates.ServerCertificate()) != 1 ||
      SSL_CTX_use_PrivateKey(m_context, certificates.ServerKey()) != 1) {
    error = "cannot set up the TLS context";
    return false;
  }
  m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (m_listenFd < 0) {
    error = "cannot make a socket";
    return false;
  }
  const int reuse = 1;
  setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(m_listenFd, 64) != 0 ||
      getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    error = "cannot listen on 127.0.0.1:" + std::to_string(port);
    close(m_listenFd);
    m_listenFd = -1;
    return false;
  }
  m_port = ntohs(address.sin_port);
  m_acceptThread = std::thread([this] { AcceptLoop(); });
  return true;
}

void HttpsListener::Stop() {
  if (m_stopping.exchange(true)) {
    return;
  }
  if (m_listenFd >= 0) {
    shutdown(m_listenFd, SHUT_RDWR);
  }
  if (m_acceptThread.joinable()) {
    m_acceptThread.join();
  }
  if (m_listenFd >= 0) {
    close(m_listenFd);
    m_listenFd = -1;
  }
  {
    std::lock_guard lock(m_workersMutex);
    for (Worker& worker : m_workers) {
      if (worker.fd >= 0) {
        shutdown(worker.fd, SHUT_RDWR);
      }
    }
  }
  for (Worker& worker : m_workers) {
    if (worker.thread.joinable()) {
      worker.thread.join();
    }
  }
  m_workers.clear();
}

void HttpsListener::AcceptLoop() {
  while (!m_stopping) {
    const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (m_stopping) {
        return;
      }
      continue;
    }
    ReapFinished();
    std::lock_guard lock(m_workersMutex);
    Worker& worker = m_workers.emplace_back();
    worker.fd = fd;
    worker.thread = std::thread([this, &worker] { Serve(&worker); });
  }
}

void HttpsListener::ReapFinished() {
  std::list<Worker> finished;
  {
    std::lock_guard lock(m_workersMutex);
    for (auto it = m_workers.begin(); it != m_workers.end();) {
      auto next = std::next(it);
      if (it->done) {
        finished.splice(finished.end(), m_workers, it);
      }
      it = next;
    }
  }
  for (Worker& worker : finished) {
    worker.thread.join();
  }
}

void HttpsListener::Serve(Worker* worker) {
  int fd = -1;
  {
    std::lock_guard lock(m_workersMutex);
    fd = worker->fd;
  }
  {
    Connection connection(fd);
    RecordedRequest request;
    bool malformed = false;
    if (connection.Open(m_context, request.tls)) {
      if (ReadRequest(connection, request, malformed)) {
        FakeReply reply = m_handler(std::move(request));
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(reply.delayMs);
        while (std::chrono::steady_clock::now() < until && !m_stopping && !connection.PeerGone()) {
          std::this_thread::sleep_for(kSlice);
        }
        switch (reply.fault) {
          case ReplyFault::kNone:
            if (connection.Write(SerializeReplyHead(reply))) {
              connection.Write(reply.body);
            }
            connection.Finish();
            break;
          case ReplyFault::kCloseWithoutReply:
            connection.Finish();
            break;
          case ReplyFault::kResetConnection:
            connection.ArmReset();
            break;
          case ReplyFault::kDropAfterHeaders:
            connection.Write(SerializeReplyHead(reply));
            connection.Finish();
            break;
        }
      } else if (malformed) {
        if (m_onError) {
          m_onError("malformed request");
        }
        connection.Write(SerializeReplyHead(FakeReply::Html("", 400)));
        connection.Finish();
      }
    }
  }
  std::lock_guard lock(m_workersMutex);
  close(worker->fd);
  worker->fd = -1;
  worker->done = true;
}
