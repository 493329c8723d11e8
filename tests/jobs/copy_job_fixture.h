#pragma once
// Fixture of the copy and archive job tests: the service-request fixture
// (emulator, account "demo", scratch program folder, scripted desktop, fake
// clock) with the copy job's state zeroed, and readers of the copy logs of one
// job stamp and of "err.txt".

#include <cctype>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "data/program_wide_objects.h"
#include "foundation/file_system_path.h"
#include "foundation/run_directory.h"
#include "jobs/copy_job_state.h"
#include "support/service_test_fixture.h"
#include "web/result_log.h"

class CopyJobTest : public ServiceTest {
 protected:
  // The stamp the tests pass as the copy job's.
  static constexpr const char* kStamp = "2026年1月2日3时4分";

  void SetUp() override {
    ServiceTest::SetUp();
    ResetCopyState();
  }
  void TearDown() override {
    ServiceTest::TearDown();
    g_copyStopRequested = false;
    g_copyPaused = false;
  }

  static void ResetCopyState() {
    ZeroCopyJobState();
    g_copySources.clear();
  }

  static std::string ReadFile(const std::string& utf8Path) {
    std::ifstream in(utf8Path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // The whole text of a copy log of "demo" with `stamp`; empty when missing.
  static std::string CopyLog(const char* kind, const std::string& stamp = kStamp) {
    return ReadFile(FileSystemPathFromText(ResultLogPath("demo", kind, stamp)));
  }

  static std::string ErrTxt() {
    return ReadFile(FileSystemPathFromText(RunDirectoryPath("err.txt")));
  }

  // Replaces every varying request_id with R.
  static std::string Canonical(std::string text) {
    const std::string key = "\"request_id\":";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
      size_t end = at + key.size();
      while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) {
        ++end;
      }
      text.replace(at + key.size(), end - at - key.size(), "R");
    }
    return text;
  }

  // Answers every request as the emulator would (fault rules first, then the
  // model) and keeps each reply body, so a test can read the last reply a
  // routine saw.
  void RecordReplies() {
    Service().SetHook([this](const RecordedRequest& request) -> std::optional<FakeReply> {
      std::optional<FaultMatch> fault = Service().Faults().Match(request);
      std::optional<FakeReply> reply;
      if (!fault || fault->applyFirst) {
        reply = Service().Model().Handle(request);
      }
      if (fault) {
        reply = fault->reply;
      }
      if (reply) {
        std::lock_guard lock(m_replyMutex);
        m_replies.emplace_back(request.Path(),
                               reply->fault == ReplyFault::kNone ? reply->body : "");
      }
      return reply;
    });
  }
  // The body of the last recorded reply to `path`, request_id made R.
  std::string LastReply(const std::string& path) {
    std::lock_guard lock(m_replyMutex);
    for (auto at = m_replies.rbegin(); at != m_replies.rend(); ++at) {
      if (at->first == path) {
        return Canonical(at->second);
      }
    }
    return {};
  }
  void ClearReplies() {
    std::lock_guard lock(m_replyMutex);
    m_replies.clear();
  }

  static void Counts(int copied, int failed, int sameName) {
    EXPECT_EQ(g_copiedCount.load(), copied);
    EXPECT_EQ(g_copyFailedCount.load(), failed);
    EXPECT_EQ(g_copySameNameCount.load(), sameName);
  }

  std::mutex m_replyMutex;
  std::vector<std::pair<std::string, std::string>> m_replies;
};
