// The archive job against the service emulator: the remote tree afterwards,
// the requests it sent (and did not send), paging, a vanished folder, failed
// and busy moves with their "err.txt" lines.

#include "jobs/archive_job.h"

#include <algorithm>

#include "copy_job_fixture.h"
#include "foundation/url_encoding.h"
#include "foundation/wait_until.h"
#include "jobs/archive_requests.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;
using ::testing::UnorderedElementsAre;

class ArchiveJobTest : public CopyJobTest {
 protected:
  void Run(const std::string& folder) {
    GetControlStore().SetEnabled(kArchiveButton, false);
    RunArchiveJob(GetAccountSession(), folder);
    EXPECT_TRUE(GetControlStore().Enabled(kArchiveButton));
  }
  // Runs the job on `folder` and expects the summary box with the counts.
  void RunToSummary(const std::string& folder, int archived, int failed) {
    m_ui.desktop.AnswerNext(kBoxResultOk);
    Run(folder);
    const std::string counts =
        "归档成功数量：" + std::to_string(archived) + "   归档失败数量：" + std::to_string(failed);
    ASSERT_FALSE(m_ui.desktop.Boxes().empty());
    const RecordedBox box = m_ui.desktop.Boxes().back();
    EXPECT_EQ(box.text, "归档处理已完成。\r\n\r\n" + counts);
    EXPECT_EQ(box.caption, "提示：");
    EXPECT_EQ(box.type, 64);
    EXPECT_EQ(box.timeoutMs, 0);
    EXPECT_EQ(m_ui.desktop.StatusText(1), counts + "         归档处理已完成。");
  }
  std::vector<RecordedRequest> Creates() const { return RequestsTo("/api/create"); }
  std::vector<RecordedRequest> Moves() const { return RequestsTo("/api/filemanager"); }
  // The decoded `newname` of every move request.
  std::vector<std::string> MovedNames() const {
    std::vector<std::string> names;
    for (const RecordedRequest& move : Moves()) {
      const std::string list = move.FormValue("filelist").value_or("");
      const size_t at = list.find("\"newname\":\"");
      names.push_back(list.substr(at + 11, list.find('"', at + 11) - at - 11));
    }
    return names;
  }
};

TEST_F(ArchiveJobTest, FilesGoIntoFoldersNamedBeforeTheirFirstDot) {
  const std::string enye = U8(u8"\u00f1o.txt");
  UseTree(RemoteTree::FromPaths({"/f/a.part1.rar:3", "/f/a.txt:1", "/f/b:2", "/f/.hidden:4",
                                 "/f/x-1.txt:5", "/f/" + enye + ":6", "/f/c/old.txt:7",
                                 "/f/c.mp4:8", "/f/sub/inner.txt:9"}));
  Service().ClearRequests();
  RunToSummary("/f", 5, 0);
  EXPECT_EQ(Tree(),
            RemoteTree::FromPaths({"/f/a/a.part1.rar:3", "/f/a/a.txt:1", "/f/b:2", "/f/.hidden:4",
                                   "/f/x-1/x-1.txt:5", "/f/" + U8(u8"\u00f1o") + "/" + enye + ":6",
                                   "/f/c/old.txt:7", "/f/c/c.mp4:8", "/f/sub/inner.txt:9"}));
  std::vector<std::string> created;
  for (const RecordedRequest& create : Creates()) {
    created.push_back(create.FormValue("path").value_or(""));
  }
  EXPECT_THAT(created, UnorderedElementsAre("/f/a", "/f/x-1", "/f/" + U8(u8"\u00f1o")));
  std::vector<std::string> moved = MovedNames();
  std::sort(moved.begin(), moved.end());
  EXPECT_THAT(moved, ElementsAre("a.part1.rar", "a.txt", "c.mp4", "x-1.txt", enye));
  for (const RecordedRequest& listing : RequestsTo("/api/list")) {
    EXPECT_NE(listing.RawQueryValue("dir"), "%2Ff%2F") << "a file without a folder name was tested";
  }
  EXPECT_EQ(ErrTxt(), "");
}

TEST_F(ArchiveJobTest, RequestsGoOutInTheServicesForm) {
  UseTree(RemoteTree::FromPaths({"/f/a b.txt"}));
  Service().ClearRequests();
  RunToSummary("/f", 1, 0);
  const std::vector<RecordedRequest> listings = RequestsTo("/api/list");
  ASSERT_THAT(listings, SizeIs(2));
  const std::string tail =
      "&t=0.9874196068828893&channel=chunlei&web=1&app_id=250528&bdstoken=&clienttype=0";
  EXPECT_EQ(listings[0].target,
            "/api/list?order=time&desc=1&showempty=0&web=1&page=1&num=100&dir=%2Ff" + tail);
  EXPECT_EQ(listings[1].target,
            "/api/list?order=time&desc=1&showempty=0&web=1&page=1&num=100&dir=%2Ff%2Fa+b" + tail);
  ASSERT_THAT(Creates(), SizeIs(1));
  EXPECT_EQ(Creates()[0].target,
            "/api/create?a=commit&channel=chunlei&web=1&app_id=250528&bdstoken=" +
                Account().bdstoken + "&logid=" + MakeLogIdFromBaiduId() + "&clienttype=0");
  EXPECT_EQ(Creates()[0].body, "path=%2Ff%2Fa+b&isdir=1&block_list=%5B%5D");
  ASSERT_THAT(Moves(), SizeIs(1));
  EXPECT_EQ(Moves()[0].target, "/api/filemanager?async=2&onnest=fail&opera=move&bdstoken=" +
                                   Account().bdstoken + "&clienttype=0&app_id=250528&web=1");
  EXPECT_EQ(Moves()[0].body,
            "filelist=%5B%7B%22path%22%3A%22%2Ff%2Fa+b.txt%22%2C%22dest%22%3A%22%2Ff%2Fa+b%22%2C"
            "%22newname%22%3A%22a+b.txt%22%7D%5D");
  const std::vector<RecordedRequest> polls = RequestsTo("/share/taskquery");
  ASSERT_THAT(polls, SizeIs(1));
  EXPECT_EQ(polls[0].target, "/share/taskquery?taskid=" + polls[0].QueryValue("taskid").value() +
                                 "&clienttype=0&app_id=250528&web=1");
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/f/a b/a b.txt"}));
}

TEST_F(ArchiveJobTest, AllPagesAreReadBeforeAnythingMoves) {
  RemoteTree tree;
  for (int i = 0; i < 150; ++i) {
    tree.AddFile("/f/g." + std::to_string(i) + ".txt", 1);
  }
  UseTree(tree);
  Service().ClearRequests();
  RunToSummary("/f", 150, 0);
  const std::vector<RecordedRequest> all = Service().Requests();
  ASSERT_GE(all.size(), 3u);
  EXPECT_EQ(all[0].RawQueryValue("page"), "1");
  EXPECT_EQ(all[1].RawQueryValue("page"), "2");
  EXPECT_EQ(all[1].RawQueryValue("dir"), "%2Ff");
  EXPECT_THAT(Creates(), SizeIs(1));
  const RemoteTree after = Tree();  // Find points into this copy
  const RemoteItem* g = after.Find("/f/g");
  ASSERT_NE(g, nullptr);
  EXPECT_THAT(g->children, SizeIs(150));
  EXPECT_THAT(after.Find("/f")->children, SizeIs(1));
}

TEST_F(ArchiveJobTest, TheRootCanBeArchived) {
  UseTree(RemoteTree::FromPaths({"/a.txt", "/keep/"}));
  RunToSummary("/", 1, 0);
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/a/a.txt", "/keep/"}));
}

TEST_F(ArchiveJobTest, AVanishedFolderReloadsTheRootWithoutSummary) {
  m_ui.desktop.AnswerNext(kBoxResultOk);
  Run("/gone");
  const std::vector<RecordedBox> boxes = m_ui.desktop.Boxes();
  ASSERT_THAT(boxes, SizeIs(1));
  EXPECT_EQ(boxes[0].text, "当前目录已不存在（已被删除或改名或有乱码），需要重新刷新。");
  EXPECT_EQ(boxes[0].caption, "信息：");
  ThreadHandle reload = LastArchiveRootReload();
  ASSERT_NE(reload, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return IsThreadRunning(reload) == 0; }));
  EXPECT_THAT(Moves(), IsEmpty());
  std::vector<std::string> statuses;
  for (const RecordedStatus& status : m_ui.desktop.StatusHistory()) {
    statuses.push_back(status.text);
  }
  EXPECT_THAT(statuses, Contains("获取目录列表失败，请重试"));
  EXPECT_THAT(statuses, Contains("当前目录已不存在（已被删除或改名或有乱码），需要重新刷新。"));
  // The reload listed the root folder.
  bool rootListed = false;
  for (const RecordedRequest& listing : RequestsTo("/api/list")) {
    rootListed = rootListed || listing.RawQueryValue("dir") == "%2F";
  }
  EXPECT_TRUE(rootListed);
}

TEST_F(ArchiveJobTest, AFailedListingEndsWithoutSummary) {
  UseTree(RemoteTree::FromPaths({"/f/a.txt"}));
  Fault("broken", "/api/list", "", FakeReply::Json(ErrnoReply(2)));
  const ThreadHandle reloadBefore = LastArchiveRootReload();
  Run("/f");
  EXPECT_THAT(m_ui.desktop.Boxes(), IsEmpty());
  EXPECT_EQ(m_ui.desktop.StatusText(1), "获取目录列表失败，请重试");
  EXPECT_EQ(LastArchiveRootReload(), reloadBefore);
}

TEST_F(ArchiveJobTest, AMoveWhosePollSaysInvalidCookiesFails) {
  UseTree(RemoteTree::FromPaths({"/f/a.txt"}));
  Fault("invalid", "/share/taskquery", "", FakeReply::Json(InvalidReply()));
  RunToSummary("/f", 0, 1);
  ASSERT_THAT(RequestsTo("/share/taskquery"), SizeIs(1));
  const std::string taskId = RequestsTo("/share/taskquery")[0].QueryValue("taskid").value();
  EXPECT_EQ(Canonical(ErrTxt()),
            "移动失败2：%2Ff%2Fa.txt---->名：a.txt----->到：%2Ff%2Fa----->"
            "taskid:" +
                taskId + "  ret：{\"errno\":-6,\"request_id\":R}\r\n");
}

TEST_F(ArchiveJobTest, AMoveThatNeverSucceedsCostsTwentyPasses) {
  UseTree(RemoteTree::FromPaths({"/f/a.txt"}));
  Fault("refused", "/api/filemanager", "", FakeReply::Json(ErrnoReply(2)));
  RunToSummary("/f", 0, 1);
  EXPECT_THAT(Moves(), SizeIs(20));
  EXPECT_EQ(Canonical(ErrTxt()),
            "移动失败2：%2Ff%2Fa.txt---->名：a.txt----->到：%2Ff%2Fa----->"
            "taskid:  ret：{\"errno\":2,\"request_id\":R}\r\n");
}

TEST_F(ArchiveJobTest, BusyAnswersWaitFifteenSeconds) {
  struct Row {
    const char* name;
    FakeReply reply;
  };
  const Row rows[] = {
      {"whole request", FakeReply::Json(TopBusyReply(31034))},
      {"item form", FakeReply::Json(ItemReply(111, "/f/a.txt"))},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/f/a.txt"}));
    Fault(row.name, "/api/filemanager", "", row.reply, 1, 1);
    RunToSummary("/f", 1, 0);
    EXPECT_THAT(Waits(), Contains(15000));
    EXPECT_THAT(Moves(), SizeIs(2));
    EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/f/a/a.txt"}));
  }
}

TEST_F(ArchiveJobTest, CreationIsJudgedByItsErrnoWhereverItStands) {
  struct Row {
    const char* name;
    std::string reply;
    bool created;
    int attempts;
  };
  const Row rows[] = {
      {"the service's order",
       "{\"fs_id\":1,\"path\":\"/f/a\",\"ctime\":1,\"mtime\":1,\"status\":0,\"isdir\":1,"
       "\"errno\":0,\"request_id\":1}",
       true, 1},
      {"errno before isdir",
       "{\"fs_id\":1,\"path\":\"/f/a\",\"status\":0,\"errno\":0,\"isdir\":1,\"request_id\":1}",
       true, 1},
      {"no folder", "{\"fs_id\":1,\"status\":0,\"errno\":0,\"isdir\":0,\"request_id\":1}", false,
       10},
      {"an error", "{\"errno\":-8,\"request_id\":1}", false, 10},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Fault(row.name, "/api/create", "", FakeReply::Json(row.reply));
    EXPECT_EQ(CreateRemoteFolder(GetAccountSession(), "%2Ff%2Fa"), row.created);
    EXPECT_THAT(Creates(), SizeIs(row.attempts));
    EXPECT_EQ(Waits(), std::vector<std::int64_t>(row.created ? 0 : 10, 500));
  }
}

}  // namespace
