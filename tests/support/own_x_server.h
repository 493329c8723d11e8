#pragma once
// An X server of the test process's own (Xvfb), for the few tests that need
// activation, stacking and modality to come through a real window system,
// which the offscreen platform does not have.

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

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

// Starts an X server when QUILLMERE_TEST_X_SERVER is set (the test's build file
// sets it), before the QApplication is made. False when one was asked for and
// did not start (reported on stderr).
inline bool StartOwnXServerWhenAsked(std::optional<OwnXServer>& server) {
  if (std::getenv("QUILLMERE_TEST_X_SERVER") == nullptr) {
    return true;
  }
  server.emplace();
  if (!server->Running()) {
    std::fprintf(stderr, "no X server: Xvfb did not start (scripts/setup installs it)\n");
    return false;
  }
  return true;
}
