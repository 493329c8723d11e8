// The standalone emulator program as a person runs it: it starts, prints the
// settings and the cookie text needed to reach it, serves its sample account
// with them, and ends cleanly on SIGTERM, taking its CA folder with it.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "fakeservice/test_client.h"

extern char** environ;

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// Waits for output at most this many times 100 ms; the program prints its
// settings as soon as its listener runs.
constexpr int kOutputPolls = 300;

// The program running with its standard output in a pipe; killed and reaped
// when the test ends early.
class RunningProgram {
 public:
  RunningProgram() {
    int pipeEnds[2] = {-1, -1};
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    char name[] = "quillmere-fakeservice";
    char* arguments[] = {name, nullptr};
    if (posix_spawn(&m_pid, FAKESERVICE_PROGRAM, &actions, nullptr, arguments, environ) != 0) {
      m_pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    m_output = pipeEnds[0];
  }
  ~RunningProgram() {
    if (m_pid > 0) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_output >= 0) {
      close(m_output);
    }
  }
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  bool Started() const { return m_pid > 0 && m_output >= 0; }

  // The output up to and including the first line holding `marker`; all
  // that came when the program ended or stayed silent too long.
  std::string ReadUntil(const std::string& marker) {
    for (int poll = 0; poll < kOutputPolls && m_text.find(marker) == std::string::npos; ++poll) {
      pollfd entry{m_output, POLLIN, 0};
      if (::poll(&entry, 1, 100) <= 0) {
        continue;
      }
      char buffer[4096];
      const ssize_t got = read(m_output, buffer, sizeof buffer);
      if (got <= 0) {
        break;
      }
      m_text.append(buffer, static_cast<size_t>(got));
    }
    return m_text;
  }

  // Sends `signal` and returns the exit status, -1 when it did not exit normally.
  int StopWith(int signal) {
    kill(m_pid, signal);
    int status = 0;
    const pid_t reaped = waitpid(m_pid, &status, 0);
    m_pid = -1;
    return reaped > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t m_pid = -1;
  int m_output = -1;
  std::string m_text;
};

// The text after `key` up to the end of its line; empty when absent.
std::string ValueAfter(const std::string& text, const std::string& key) {
  const size_t at = text.find(key);
  if (at == std::string::npos) {
    return {};
  }
  const size_t start = at + key.size();
  return text.substr(start, text.find('\n', start) - start);
}

TEST(StandaloneProgram, PrintsHowToReachItServesItsAccountAndStopsOnSigterm) {
  RunningProgram program;
  ASSERT_TRUE(program.Started());
  const std::string printed = program.ReadUntil("Requests:");
  const std::string host = ValueAfter(printed, "export QUILLMERE_WEB_HOST=");
  const std::string caFile = ValueAfter(printed, "export QUILLMERE_CA_FILE=");
  // The cookie text stands indented on the line after its heading.
  const size_t heading = printed.find("Cookie text of account");
  const std::string cookie =
      heading == std::string::npos ? "" : ValueAfter(printed.substr(heading), "\n  ");
  ASSERT_THAT(host, StartsWith("pan.quill.localhost:")) << printed;
  ASSERT_TRUE(std::filesystem::exists(caFile)) << printed;
  EXPECT_THAT(printed, HasSubstr("export QUILLMERE_PASSPORT_HOST=passport.quill.localhost:"));
  EXPECT_THAT(cookie, HasSubstr("BDUSS="));

  ClientRequest listing;
  listing.url = "https://" + host + "/api/list?order=name&desc=0&page=1&num=100&dir=%2F";
  listing.caFile = caFile;
  listing.headers = {"Cookie: " + cookie};
  const ClientReply reply = Fetch(listing);
  EXPECT_EQ(reply.code, CURLE_OK);
  EXPECT_THAT(reply.body, StartsWith("{\"errno\":0,\"list\":[{\"server_filename\":"));
  EXPECT_THAT(reply.body, HasSubstr("\"path\":\"/docs\""));
  EXPECT_THAT(program.ReadUntil("GET /api/list"), HasSubstr("GET /api/list?order=name"));

  EXPECT_EQ(program.StopWith(SIGTERM), 0);
  EXPECT_FALSE(std::filesystem::exists(caFile));
}

}  // namespace
