// Entry point of the sign-in tests: one QApplication for the process, with
// what Qt WebEngine needs when the engine library brings it in later. With
// QUILLMERE_TEST_X_SERVER set, the process first starts an X server of its own
// (Xvfb) and runs on it instead of the offscreen platform.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// An Xvfb process on the first free display; DISPLAY and the xcb platform are
// set for the process once it answers. Stopped with the object.
class OwnXServer {
 public:
  OwnXServer() {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
      return;
    }
    m_pid = fork();
    if (m_pid == 0) {
      // The server goes with the test process, also when that one aborts, and
      // keeps none of its output streams open (the test runner waits for them).
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      const int nowhere = open("/dev/null", O_RDWR);
      if (nowhere >= 0) {
        dup2(nowhere, 0);
        dup2(nowhere, 1);
        dup2(nowhere, 2);
      }
      close(pipeEnds[0]);
      const std::string fd = std::to_string(pipeEnds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1000x24", "-nolisten",
             "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(pipeEnds[1]);
    if (m_pid < 0) {
      close(pipeEnds[0]);
      return;
    }
    // Xvfb writes the display number and a line end once it accepts clients.
    std::string number;
    char c = 0;
    while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
      number += c;
    }
    close(pipeEnds[0]);
    if (number.empty()) {
      return;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    m_running = true;
  }
  ~OwnXServer() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
  }
  OwnXServer(const OwnXServer&) = delete;
  OwnXServer& operator=(const OwnXServer&) = delete;
  bool Running() const { return m_running; }

 private:
  pid_t m_pid = -1;
  bool m_running = false;
};

}  // namespace

int main(int argc, char** argv) {
  // Qt WebEngine's sandbox does not start as root; tests run as root in CI.
  if (geteuid() == 0) {
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  }
  std::optional<OwnXServer> server;
  if (std::getenv("QUILLMERE_TEST_X_SERVER") != nullptr) {
    server.emplace();
    if (!server->Running()) {
      std::fprintf(stderr, "no X server: Xvfb did not start (scripts/setup installs it)\n");
      return 1;
    }
  }
  int result = 0;
  {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  return result;
}
