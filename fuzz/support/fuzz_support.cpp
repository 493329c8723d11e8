#include "support/fuzz_support.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "data/json_document.h"
#include "foundation/file_system_path.h"
#include "foundation/run_directory.h"
#include "jobs/copy_job_state.h"
#include "platform/clock.h"
#include "platform/memory_files.h"
#include "web/http_request_internal.h"
#include "web/rename_task_state.h"

namespace {

// Waits pass at once and move the time on, so retry loops of minutes run in
// no real time; the stop condition still ends a wait. The test clock does the
// same but keeps a record of every wait, which would grow without end over a
// fuzzing run.
class InstantClock final : public Clock {
 public:
  std::int64_t NowLocalMs() const override { return m_now.load(); }
  std::int64_t SteadyMs() const override { return m_now.load(); }
  bool SleepFor(std::int64_t ms, const StopCondition& stop) override {
    if (stop && stop())
      return false;
    m_now += ms > 0 ? ms : 0;
    return true;
  }

 private:
  std::atomic<std::int64_t> m_now{1'752'066'309'000};  // 2025-07-09 13:05:09
};

std::mutex s_repliesLock;
std::vector<std::string> s_replies;
size_t s_nextReply = 0;

// When the input has no reply left the user presses stop: the copy and rename
// jobs (delete and listing included) end as a stopped job does, instead of
// repeating the same unanswered request up to their hundreds of attempts,
// which would show the fuzzer nothing new and take most of its time.
std::string ServeReply(const std::string&, const HttpRequestArgs&, int& status) {
  std::lock_guard lock(s_repliesLock);
  if (s_nextReply >= s_replies.size()) {
    g_copyStopRequested = true;
    g_renameStopRequested = true;
    status = 0;
    return {};
  }
  status = 200;
  return s_replies[s_nextReply++];
}

std::filesystem::path s_folder;
MemoryFiles s_files;

// Runs between two emptyings of the program folder.
constexpr int kRunsPerCleaning = 512;

}  // namespace

std::vector<std::string> SplitFuzzInput(const uint8_t* data, size_t size, size_t count) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = input.find(kFuzzPartSeparator, start);
    if (at == std::string_view::npos) {
      parts.emplace_back(input.substr(start));
      break;
    }
    parts.emplace_back(input.substr(start, at - start));
    start = at + kFuzzPartSeparator.size();
  }
  if (parts.size() < count)
    parts.resize(count);
  return parts;
}

void PrepareFuzzEnvironment() {
  static int runs = 0;
  if (runs++ == 0) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmere-fuzz-XXXXXX");
    if (!mkdtemp(pattern.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    s_folder = pattern;
    setenv("QUILLMERE_HOME", pattern.c_str(), 1);
    static InstantClock clock;
    InstallClock(&clock);
    SetHttpReplySourceForTesting(&ServeReply);
    InstallMemoryFiles(&s_files);
    return;
  }
  if (runs % kRunsPerCleaning == 0) {
    s_files.Clear();
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(s_folder, ignored))
      std::filesystem::remove_all(entry.path(), ignored);
  }
}

std::string FuzzFilePath(const std::string& name) {
  return RunDirectoryPath(name);
}

void WriteFuzzFile(const std::string& name, const std::string& bytes) {
  s_files.Write(FileSystemPathFromText(FuzzFilePath(name)), bytes);
}

void ServeFuzzReplies(std::vector<std::string> replies) {
  std::lock_guard lock(s_repliesLock);
  s_replies = std::move(replies);
  s_nextReply = 0;
  g_copyStopRequested = false;
  g_renameStopRequested = false;
}

namespace {

void PrintBytes(const std::string& bytes) {
  for (const unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F)
      std::fputc(c, stderr);
    else
      std::fprintf(stderr, "\\x%02X", c);
  }
  std::fputc('\n', stderr);
}

}  // namespace

void FuzzMismatch(const char* what, const std::string& expected, const std::string& actual) {
  std::fprintf(stderr, "broken promise: %s\n  expected (%zu bytes): ", what, expected.size());
  PrintBytes(expected);
  std::fprintf(stderr, "  actual (%zu bytes):   ", actual.size());
  PrintBytes(actual);
  std::abort();
}

void CheckJsonReadsBack(const JsonDocument& doc) {
  const std::string written = doc.GetJsonTextUtf8("");
  JsonDocument again;
  if (!again.ParseUtf8(written))
    FuzzMismatch("the written text parses again", written, "(parse failed)");
  const std::string second = again.GetJsonTextUtf8("");
  if (written.find("\\n") == std::string::npos)
    FuzzCheckEqual("the written text parses to itself", written, second);
  JsonDocument third;
  if (!third.ParseUtf8(second))
    FuzzMismatch("the text written again parses", second, "(parse failed)");
  FuzzCheckEqual("the text written again parses to itself", second, third.GetJsonTextUtf8(""));
}
