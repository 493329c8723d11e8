// The copy job's destination folders against the service emulator: the
// sub-folder listing as sent, first level and all levels breadth first, the
// sources left out, paging, a folder that cannot be listed, and the keyword
// filter of folder names.

#include "jobs/copy_targets.h"

#include "copy_job_fixture.h"
#include "foundation/url_encoding.h"
#include "jobs/rename_rule_options.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;
using ::testing::SizeIs;

MATCHER_P2(IsTarget, path, isEmpty, "") {
  return arg.path == path && arg.isEmpty == isEmpty;
}

class CopyTargetsTest : public CopyJobTest {
 protected:
  void SetUp() override {
    CopyJobTest::SetUp();
    UseTree(RemoteTree::FromPaths(
        {"/D/s1/x/", "/D/s1/f.txt", "/D/s2/", U8(u8"/D/s3/中/z/"), "/D/src/inner/"}));
    Service().ClearRequests();
  }
  std::vector<CopyTarget> Collect(const TextArray& sources = {"/D/src"},
                                  const std::string& destination = "/D") {
    std::vector<CopyTarget> targets;
    CollectCopyTargets(GetAccountSession(), sources, UrlEncodeText(destination), kStamp, targets);
    return targets;
  }
  // The `dir` of every listing request, in order.
  std::vector<std::string> ListedDirs() const {
    std::vector<std::string> dirs;
    for (const RecordedRequest& request : RequestsTo("/api/list")) {
      dirs.push_back(request.RawQueryValue("dir").value_or("?"));
    }
    return dirs;
  }
};

TEST_F(CopyTargetsTest, TheListingGoesOutInTheServicesForm) {
  std::vector<SubfolderEntry> entries;
  EXPECT_TRUE(ListSubfolders(GetAccountSession(), "%2FD", entries));
  ASSERT_THAT(RequestsTo("/api/list"), SizeIs(1));
  const RecordedRequest request = RequestsTo("/api/list")[0];
  EXPECT_THAT(
      request.target,
      MatchesRegex("/api/list\\?channel=chunlei&clienttype=0&web=1&app_id=250528"
                   "&showempty=0&dp-logid=[0-9]{16}&logId=" +
                   MakeLogIdFromBaiduId() + "&order=time&desc=1&dir=%2FD&num=100&page=1&folder=1"));
  EXPECT_EQ(request.Header("Content-Length"), "0");
  EXPECT_EQ(request.Header("Cookie"), Account().CookieText());
  ASSERT_THAT(entries, SizeIs(4));
  EXPECT_EQ(entries[0].path, "/D/src");
  EXPECT_EQ(entries[1].path, "/D/s3");
  EXPECT_EQ(entries[2].path, "/D/s2");
  EXPECT_EQ(entries[2].dirEmpty, "1");
  EXPECT_EQ(entries[3].dirEmpty, "0");
}

TEST_F(CopyTargetsTest, FirstLevelOnlyInTheServicesOrderWithoutTheSource) {
  GetControlStore().SetChecked(kCopyFirstLevelRadio, true);
  EXPECT_THAT(Collect(), ElementsAre(IsTarget("%2FD%2Fs3", "0"), IsTarget("%2FD%2Fs2", "1"),
                                     IsTarget("%2FD%2Fs1", "0")));
  EXPECT_THAT(ListedDirs(), ElementsAre("%2FD"));
  EXPECT_EQ(m_ui.desktop.StatusText(1), "正在初始化子目录数据，已获取待复制目录数量：3");
}

TEST_F(CopyTargetsTest, AllLevelsBreadthFirstAndEmptyFoldersAreNeverListed) {
  const std::string middle = "%2FD%2Fs3%2F%E4%B8%AD";
  EXPECT_THAT(Collect(),
              ElementsAre(IsTarget("%2FD%2Fs3", "0"), IsTarget("%2FD%2Fs2", "1"),
                          IsTarget("%2FD%2Fs1", "0"), IsTarget(middle, "0"),
                          IsTarget("%2FD%2Fs1%2Fx", "1"), IsTarget(middle + "%2Fz", "1")));
  // s2, x and z are empty: never listed; src is a source: neither a target nor listed.
  EXPECT_THAT(ListedDirs(), ElementsAre("%2FD", "%2FD%2Fs3", "%2FD%2Fs1", middle));
  EXPECT_EQ(g_copyFailedCount.load(), 0);
}

// A pause holds the collection where it comes: at the next entry of a listing
// or at the next level, in one-second steps, and the collection then goes on.
TEST_F(CopyTargetsTest, APauseHoldsTheEntryAndLevelLoops) {
  struct Row {
    const char* name;
    bool firstLevel;
    int pauseAtFolderWait;     // 0: the pause comes with the first listing
    size_t listingsMeanwhile;  // listings made while paused
    size_t targets;
  };
  const Row rows[] = {
      {"the entries of a listing", true, 0, 1, 3},
      {"the next level", false, 2, 3, 6},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Service().ClearRequests();
    g_copyPaused = false;
    GetControlStore().SetChecked(kCopyFirstLevelRadio, row.firstLevel);
    if (row.pauseAtFolderWait == 0) {
      Service().SetHook([](const RecordedRequest&) -> std::optional<FakeReply> {
        g_copyPaused = true;
        return std::nullopt;
      });
    }
    int folderWaits = 0;
    std::vector<size_t> listingsAtPauseSteps;
    m_ui.clock.SetSleepHook([&](std::int64_t ms) {
      if (ms == 50 && ++folderWaits == row.pauseAtFolderWait) {  // after a folder's listing
        g_copyPaused = true;
      }
      if (ms != 1000) {
        return;
      }
      listingsAtPauseSteps.push_back(RequestsTo("/api/list").size());
      Service().ClearHook();
      if (listingsAtPauseSteps.size() == 2) {
        g_copyPaused = false;
      }
    });
    EXPECT_THAT(Collect(), SizeIs(row.targets));
    m_ui.clock.SetSleepHook({});
    Service().ClearHook();
    EXPECT_EQ(listingsAtPauseSteps, std::vector<size_t>(2, row.listingsMeanwhile));
  }
}

TEST_F(CopyTargetsTest, SourcesAreComparedAsDecodedPathsOneByOne) {
  struct Row {
    const char* name;
    TextArray sources;
    size_t targets;
  };
  const Row rows[] = {
      {"no source below the destination", {"/elsewhere/a.txt"}, 8},
      {"a source folder and a file", {"/a.txt", "/D/src"}, 6},
      {"a trailing slash", {"/D/src/"}, 6},
      {"a source inside a sub-folder", {"/D/s3"}, 5},
      {"a Chinese source", {"/D/s3/中"}, 6},
      {"a name that only starts like a source", {"/D/s"}, 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_THAT(Collect(row.sources), SizeIs(row.targets));
  }
}

TEST_F(CopyTargetsTest, HundredSubfoldersCostASecondPage) {
  RemoteTree tree;
  for (int i = 0; i < 100; ++i) {
    tree.AddFolder("/D/f" + std::to_string(i));
  }
  UseTree(tree);
  Service().ClearRequests();
  GetControlStore().SetChecked(kCopyFirstLevelRadio, true);
  EXPECT_THAT(Collect(), SizeIs(100));
  const std::vector<RecordedRequest> listings = RequestsTo("/api/list");
  ASSERT_THAT(listings, SizeIs(2));
  EXPECT_EQ(listings[1].QueryValue("page"), "2");
}

TEST_F(CopyTargetsTest, AFolderThatCannotBeListedIsAFailure) {
  struct Row {
    const char* name;
    std::function<void()> arrange;
    int listings;
    std::string reply;
  };
  const Row rows[] = {
      {"the destination is gone", [] {}, 1, "{\"errno\":-9,\"request_id\":R}"},
      {"no answer ten times",
       [] { Fault("silent", "/api/list", "", FakeReply::Fault(ReplyFault::kCloseWithoutReply)); },
       10, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    ResetCopyState();
    UseTree(RemoteTree::FromPaths({"/other/"}));
    Service().ClearRequests();
    row.arrange();
    EXPECT_THAT(Collect(), IsEmpty());
    EXPECT_THAT(RequestsTo("/api/list"), SizeIs(row.listings));
    EXPECT_EQ(g_copyFailedCount.load(), 1);
    EXPECT_EQ(Canonical(CopyLog(kLogCopyFailed)),
              "获取子目录失败：/D----->ret：" + row.reply + "\r\n\r\n\r\n");
  }
}

TEST_F(CopyTargetsTest, KeywordFilter) {
  struct Row {
    const char* box;
    const char* edit;
    const char* keywords;
    std::vector<const char*> kept;
  };
  const Row rows[] = {
      {kExcludeRuleBox, kExcludeKeywordsEdit, "a,b", {"c"}},
      {kExcludeRuleBox, kExcludeKeywordsEdit, "a,,b", {"c"}},
      {kExcludeRuleBox, kExcludeKeywordsEdit, ",", {"a1", "ab", "b2", "c"}},
      {kIncludeRuleBox, kIncludeKeywordsEdit, "a,b", {"a1", "ab", "b2"}},
      {kIncludeRuleBox, kIncludeKeywordsEdit, "a,,", {"a1", "ab"}},
      {kIncludeRuleBox, kIncludeKeywordsEdit, "", {"a1", "ab", "b2", "c"}},
      {nullptr, kExcludeKeywordsEdit, "a", {"a1", "ab", "b2", "c"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.box == nullptr ? "no box" : row.box) + " " + row.keywords);
    GetControlStore().Clear();
    if (row.box != nullptr) {
      GetControlStore().SetChecked(row.box, true);
    }
    GetControlStore().SetText(row.edit, row.keywords);
    std::vector<const char*> kept;
    for (const char* name : {"a1", "ab", "b2", "c"}) {
      if (PassesCopyKeywordFilter(name)) {
        kept.push_back(name);
      }
    }
    EXPECT_EQ(std::vector<std::string>(kept.begin(), kept.end()),
              std::vector<std::string>(row.kept.begin(), row.kept.end()));
  }
}

}  // namespace
