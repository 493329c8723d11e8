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
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fakeservice/json_text.h"
#include "fakeservice/remote_tree.h"
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
  explicit RunningProgram(std::vector<std::string> options = {}) {
    int pipeEnds[2] = {-1, -1};
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    options.insert(options.begin(), "quillmere-fakeservice");
    std::vector<char*> arguments;
    for (std::string& option : options) {
      arguments.push_back(option.data());
    }
    arguments.push_back(nullptr);
    if (posix_spawn(&m_pid, FAKESERVICE_PROGRAM, &actions, nullptr, arguments.data(), environ) !=
        0) {
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

// How to reach a running program, read from what it printed.
struct Reach {
  std::string host;
  std::string caFile;
  std::string cookie;
};

Reach ReachOf(const std::string& printed) {
  // The cookie text stands indented on the line after its heading.
  const size_t heading = printed.find("Cookie text of account");
  return {ValueAfter(printed, "export QUILLMERE_WEB_HOST="),
          ValueAfter(printed, "export QUILLMERE_CA_FILE="),
          heading == std::string::npos ? "" : ValueAfter(printed.substr(heading), "\n  ")};
}

// The body of the listing of `encodedDir` (percent-encoded).
std::string Listing(const Reach& reach, const std::string& encodedDir) {
  ClientRequest listing;
  listing.url =
      "https://" + reach.host + "/api/list?order=name&desc=0&page=1&num=100&dir=" + encodedDir;
  listing.caFile = reach.caFile;
  listing.headers = {"Cookie: " + reach.cookie};
  const ClientReply reply = Fetch(listing);
  EXPECT_EQ(reply.code, CURLE_OK);
  return reply.body;
}

TEST(StandaloneProgram, PrintsHowToReachItServesItsAccountAndStopsOnSigterm) {
  RunningProgram program;
  ASSERT_TRUE(program.Started());
  const std::string printed = program.ReadUntil("Requests:");
  const Reach reach = ReachOf(printed);
  ASSERT_THAT(reach.host, StartsWith("pan.quill.localhost:")) << printed;
  ASSERT_TRUE(std::filesystem::exists(reach.caFile)) << printed;
  EXPECT_THAT(printed, HasSubstr("export QUILLMERE_PASSPORT_HOST=passport.quill.localhost:"));
  EXPECT_THAT(reach.cookie, HasSubstr("BDUSS="));

  const std::string body = Listing(reach, "%2F");
  EXPECT_THAT(body, StartsWith("{\"errno\":0,\"list\":[{\"server_filename\":"));
  EXPECT_THAT(body, HasSubstr("\"path\":\"/docs\""));
  EXPECT_THAT(program.ReadUntil("GET /api/list"), HasSubstr("GET /api/list?order=name"));

  EXPECT_EQ(program.StopWith(SIGTERM), 0);
  EXPECT_FALSE(std::filesystem::exists(reach.caFile));
}

// A tree of one's own: the paths of a file (instead of the sample tree) and
// those added one by one, names with "%", "'", Hangul and an emoji included.
TEST(StandaloneProgram, ServesTheTreeItWasStartedWith) {
  const std::filesystem::path list =
      std::filesystem::temp_directory_path() / ("fakeservice-tree-" + std::to_string(getpid()));
  std::ofstream(list) << "/my folder/\r\n"
                      << "/my folder/100% it's.txt:2048\n"
                      << "\n"
                      << U8(u8"/한글/😀 note.txt\n") << "/a:b\n";
  RunningProgram program(
      {"--tree", list.string(), "--add", U8(u8"/added/하나/"), "--add", "/added/%41.txt"});
  ASSERT_TRUE(program.Started());
  const Reach reach = ReachOf(program.ReadUntil("Requests:"));
  std::filesystem::remove(list);
  ASSERT_FALSE(reach.host.empty());
  struct Row {
    const char* name;
    const char* encodedDir;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  };
  const Row rows[] = {
      {"the root: the file's folders, the added one, a name with a colon, no sample",
       "%2F",
       {"/my folder", U8(u8"/한글"), "/added", "/a:b"},
       {"/docs"}},
      {"a folder of the file", "%2Fmy%20folder", {"/my folder/100% it's.txt"}, {}},
      {"Hangul and an emoji", "%2F%ED%95%9C%EA%B8%80", {U8(u8"/한글/😀 note.txt")}, {}},
      {"added paths", "%2Fadded", {U8(u8"/added/하나"), "/added/%41.txt"}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string body = Listing(reach, row.encodedDir);
    for (const std::string& path : row.present) {
      EXPECT_THAT(body, HasSubstr("\"path\":" + JsonQuote(path))) << body;
    }
    for (const std::string& path : row.absent) {
      EXPECT_THAT(body, ::testing::Not(HasSubstr("\"path\":" + JsonQuote(path)))) << body;
    }
  }
  EXPECT_THAT(Listing(reach, "%2Fmy%20folder"), HasSubstr("\"size\":2048"));
  EXPECT_EQ(program.StopWith(SIGTERM), 0);
}

TEST(StandaloneProgram, ATreeFileThatCannotBeReadEndsItAtOnce) {
  RunningProgram program({"--tree", "/nonexistent/tree.txt"});
  ASSERT_TRUE(program.Started());
  EXPECT_EQ(program.StopWith(0), 2);  // signal 0: only waits for its exit
}

}  // namespace
