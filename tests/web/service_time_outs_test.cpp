// Time-outs of the service requests: the limit each request asks for, and a
// reply that comes later than its limit handled like no reply at all.

#include <functional>
#include <mutex>
#include <ostream>
#include <utility>

#include "foundation/url_encoding.h"
#include "platform/control_store.h"
#include "support/service_test_fixture.h"
#include "web/delete_paths.h"
#include "web/folder_listing.h"
#include "web/http_request_internal.h"
#include "web/main_window_controls.h"
#include "web/rename_batch.h"
#include "web/rename_item.h"

namespace {

using ::testing::ElementsAreArray;

struct SentRequest {
  std::string path;  // without host and query
  int timeoutSeconds;
  bool operator==(const SentRequest&) const = default;
};

void PrintTo(const SentRequest& request, std::ostream* out) {
  *out << request.path << " " << request.timeoutSeconds << " s";
}

std::mutex s_sentMutex;
std::vector<SentRequest> s_sent;

void RecordRequest(const std::string& url, const HttpRequestArgs& args) {
  const size_t hostEnd = url.find('/', url.find("://") + 3);
  const std::string target = hostEnd == std::string::npos ? "/" : url.substr(hostEnd);
  std::lock_guard lock(s_sentMutex);
  s_sent.push_back({target.substr(0, target.find('?')), args.timeoutSeconds});
}

class ServiceTimeOutsTest : public ServiceTest {
 public:
  // For the table's request runners.
  using ServiceTest::Account;
  using ServiceTest::Tree;

 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    SetHttpRequestObserverForTesting(RecordRequest);
  }
  void TearDown() override {
    SetHttpRequestObserverForTesting(nullptr);
    SetHttpSecondMsForTesting(1000);
    ServiceTest::TearDown();
  }
  static std::vector<SentRequest> TakeSent() {
    std::lock_guard lock(s_sentMutex);
    return std::exchange(s_sent, {});
  }
};

bool RenameOldFile() {
  std::string path = "/docs/old.txt";
  std::string name = "b.txt";
  return RenameRemoteItem(path, name, false, "");
}

TEST_F(ServiceTimeOutsTest, EachRequestAsksForItsOwnLimit) {
  struct Row {
    const char* name;
    std::function<void(ServiceTimeOutsTest&)> run;
    std::vector<SentRequest> sent;
  };
  const Row rows[] = {
      {"root listing: session page, probe, listing",
       [](ServiceTimeOutsTest&) { LoadRootFolderTree(0); },
       {{"/", 10}, {"/mbox/relation/getfollowlist", 15}, {"/api/list", 5}}},
      {"folder page",
       [](ServiceTimeOutsTest&) { FetchFolderListPage("/docs", 0, 1); },
       {{"/api/list", 5}}},
      {"rename and its task query",
       [](ServiceTimeOutsTest&) { RenameOldFile(); },
       {{"/api/filemanager", 60}, {"/share/taskquery", 60}}},
      {"batch rename and its task query",
       [](ServiceTimeOutsTest& test) {
         SubmitRenameBatch("%7B%22id%22%3A" + std::to_string(*test.Tree().FsId("/docs/old.txt")) +
                           "%2C%22path%22%3A%22%2Fdocs%2Fold.txt%22%2C%22newname%22%3A%22b.txt"
                           "%22%7D%2C");
       },
       {{"/api/filemanager", 100}, {"/share/taskquery", 60}}},
      {"delete and its task query",
       [](ServiceTimeOutsTest&) { DeleteRemotePaths({UrlEncodeText("/docs/old.txt")}); },
       {{"/api/filemanager", 5}, {"/share/taskquery", 5}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    TakeSent();
    row.run(*this);
    EXPECT_THAT(TakeSent(), ElementsAreArray(row.sent));
  }
}

TEST_F(ServiceTimeOutsTest, AReplyLaterThanTheLimitCountsAsNone) {
  // One "second" lasts 20 ms here, so the rename's limit is 1.2 s; the first
  // reply is held back far longer, and the service does not do that request.
  SetHttpSecondMsForTesting(20);
  GetControlStore().SetChecked(kRenameSyncRadio, true);
  Fault("slow", "/api/filemanager", "opera=rename", FakeReply::Slow(5000, FakeReply::Json("{}")), 1,
        1);
  EXPECT_TRUE(RenameOldFile());
  EXPECT_EQ(RequestsTo("/api/filemanager").size(), 2u);
  EXPECT_THAT(Waits(), ::testing::IsEmpty());  // sent again at once
  EXPECT_EQ(g_renamedCount.load(), 1);
  EXPECT_NE(Tree().Find("/docs/b.txt"), nullptr);
}

}  // namespace
