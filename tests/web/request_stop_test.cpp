// A job's stop flag reaches the transfer in flight: a request waiting for a
// slow reply ends within about a second once the flag is set, in both back
// ends, and the item is booked as not done.

#include <atomic>
#include <chrono>

#include "support/service_test_fixture.h"
#include "web/folder_listing.h"
#include "web/main_window_controls.h"
#include "web/rename_batch.h"
#include "web/rename_item.h"

namespace {

using ::testing::IsEmpty;

// The emulator holds every reply this long; a stopped request must end long before.
constexpr long kSlowReplyMs = 30000;
// Far below the hold above, and above libcurl's about-once-a-second check.
constexpr double kStopLimitSeconds = 5.0;

class RequestStopTest : public ServiceTest {
 protected:
  // Every request to `path` sets `flag` when it arrives and is then answered
  // with `reply` only after kSlowReplyMs.
  static void StopOnArrival(const std::string& path, std::atomic<bool>* flag, FakeReply reply) {
    Service().SetHook(
        [path, flag, reply](const RecordedRequest& request) -> std::optional<FakeReply> {
          if (request.Path() != path) {
            return std::nullopt;
          }
          flag->store(true);
          return FakeReply::Slow(kSlowReplyMs, reply);
        });
  }
  static double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
};

TEST_F(RequestStopTest, AStopEndsTheTransferInBothBackEnds) {
  for (int useCurl : {0, 1}) {
    SCOPED_TRACE(useCurl);
    Reset();
    g_useCurl = useCurl;
    std::atomic<bool> stop{false};
    StopOnArrival("/slow", &stop, FakeReply::Json("{\"late\":1}"));
    int status = -1;
    const auto start = std::chrono::steady_clock::now();
    const std::string body =
        SendHttpRequest(Service().BaseUrl() + "/slow",
                        {.status = &status, .timeoutSeconds = 60, .stopFlag = &stop});
    EXPECT_LT(SecondsSince(start), kStopLimitSeconds);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(body, "");
  }
  g_useCurl = 0;
}

TEST_F(RequestStopTest, AStoppedRenameOrListingBooksNothing) {
  struct Row {
    const char* name;
    const char* path;
    std::function<void()> run;
  };
  const Row rows[] = {
      {"single rename", "/api/filemanager",
       [] {
         std::string path = "/docs/old.txt";
         std::string newName = "b.txt";
         EXPECT_FALSE(RenameRemoteItem(path, newName, false, ""));
       }},
      {"batch", "/api/filemanager",
       [this] {
         SubmitRenameBatch(MakeRenameBatchItem(std::to_string(*Tree().FsId("/docs/old.txt")),
                                               "/docs/old.txt", "b.txt"));
       }},
      {"folder page", "/api/list", [] { EXPECT_EQ(FetchFolderListPage("/docs", 0, 1), ""); }},
  };
  for (int useCurl : {0, 1}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (useCurl != 0 ? " (libcurl)" : ""));
      Reset();
      g_useCurl = useCurl;
      GetControlStore().SetChecked(kRenameSyncRadio, true);
      StopOnArrival(row.path, &g_renameStopRequested,
                    FakeReply::Json(SyncReply({"/docs/old.txt"})));
      const auto start = std::chrono::steady_clock::now();
      row.run();
      EXPECT_LT(SecondsSince(start), kStopLimitSeconds);
      EXPECT_EQ(RequestsTo(row.path).size(), 1u);
      EXPECT_EQ(g_renamedCount.load() + g_renameFailedCount.load() + g_unknownStateCount.load(), 0);
      EXPECT_FALSE(LogExists(kLogRenamed));
      EXPECT_FALSE(LogExists(kLogRenameFailed));
      EXPECT_FALSE(LogExists(kLogUnknownState));
      EXPECT_THAT(m_ui.desktop.Boxes(), IsEmpty());
    }
  }
  g_useCurl = 0;
}

}  // namespace
