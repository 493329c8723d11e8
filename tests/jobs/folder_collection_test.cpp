// The pooled collection against the emulator: what lands in the cache, what
// goes over the wire, the depth limit, the account snapshot and failing pages.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "collection_fixture.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

std::string TwoDigits(int value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string ThreeDigits(int value) {
  const std::string digits = std::to_string(value);
  return std::string(3 - std::min<size_t>(3, digits.size()), '0') + digits;
}

std::string ParentOf(const std::string& path) {
  return path.substr(0, path.rfind('/'));
}

int LevelBelowTop(const std::string& path) {
  return static_cast<int>(std::count(path.begin(), path.end(), '/')) - 1;
}

// Four levels below /top, a few hundred folders; names with characters
// outside ASCII (backslash-u notation in the replies), "'" and "-"; folders of
// 100, 99 and 130 entries.
RemoteTree DeepTree() {
  RemoteTree tree;
  tree.AddFolder("/top");
  const std::vector<std::string> firstLevel = {"a",          "b-c",           "it's",
                                               U8(u8"中文"), U8(u8"名'字-1"), "plain"};
  for (const std::string& first : firstLevel) {
    for (int j = 0; j < 5; ++j) {
      const std::string second =
          "/top/" + first + "/" + (j == 0 ? U8(u8"子-0") : "s" + std::to_string(j));
      for (int k = 0; k < 6; ++k) {
        const std::string third = second + "/t" + std::to_string(k);
        tree.AddFile(third + "/f.txt", 1);
        tree.AddFile(third + "/g'h-" + std::to_string(k) + ".txt", 2);
      }
    }
  }
  tree.AddFile("/top/a/Tom &amp; Jerry.mp4", 3);
  tree.AddFile("/top/a/x%2541.txt", 4);
  tree.AddFile("/top/a/[b],c~.txt", 5);
  const struct {
    const char* folder;
    int entries;
  } sized[] = {{"/top/plain/hundred", 100}, {"/top/plain/ninety-nine", 99}, {"/top/b-c/many", 130}};
  for (const auto& folder : sized) {
    tree.AddFolder(folder.folder);
    for (int i = 0; i < folder.entries; ++i) {
      tree.AddFile(std::string(folder.folder) + "/e" + ThreeDigits(i) + ".txt", i);
    }
  }
  return tree;
}

// The listing requests whose decoded `dir` is `dir`.
std::vector<RecordedRequest> ListingsOf(const std::vector<RecordedRequest>& requests,
                                        const std::string& dir) {
  std::vector<RecordedRequest> picked;
  for (const RecordedRequest& request : requests) {
    if (request.QueryValue("dir") == dir) {
      picked.push_back(request);
    }
  }
  return picked;
}

std::string Curly(std::string text) {
  for (size_t at = text.find('\''); at != std::string::npos; at = text.find('\'', at)) {
    text.replace(at, 1, U8(u8"\u2019"));
  }
  return text;
}

TEST_F(CollectionTest, TheCacheHoldsTheWholeTreeOnceWithItsColumns) {
  UseTree(DeepTree());
  const RemoteTree tree = Tree();
  const std::vector<CachedRow> rows = Collect("/top");
  ASSERT_THAT(Applied(), ElementsAre("per-item"));

  std::vector<std::string> collected;
  std::map<std::string, const CachedRow*> byPath;
  for (const CachedRow& row : rows) {
    collected.push_back(row.TreePath());
    byPath[RemoteNameUtf8(DecodeCacheText(row.folder))] = &row;
  }
  std::sort(collected.begin(), collected.end());
  EXPECT_EQ(collected, TreeBelow("/top"));  // each entry once
  EXPECT_EQ(g_runCollectedCount.load(), static_cast<int>(rows.size()));
  EXPECT_EQ(g_collectedTotal.load(), static_cast<int>(rows.size()));

  for (const auto& [path, row] : byPath) {
    SCOPED_TRACE(path);
    const int level = LevelBelowTop(path);
    EXPECT_EQ(row->order, TwoDigits(level));
    EXPECT_EQ(row->lowernum, TwoDigits(level + 1));
    EXPECT_EQ(row->target, std::to_string(tree.FsId(path).value_or(-1)));
    EXPECT_EQ(row->queried, row->type == "1" ? "1" : "0");
    // count and ordersign: the index on the listing page, restarting on
    // every page, behind the parent's ordersign.
    const std::string parent = ParentOf(path);
    const auto siblings = tree.List(parent, "time", true, false);
    ASSERT_TRUE(siblings.has_value());
    const auto at = std::find_if(siblings->begin(), siblings->end(),
                                 [&](const ListedItem& item) { return item.path == path; });
    ASSERT_NE(at, siblings->end());
    const int index = static_cast<int>(at - siblings->begin()) % 100 + 1;
    EXPECT_EQ(row->count, std::to_string(index));
    const std::string parentSign = parent == "/top" ? "" : byPath.at(parent)->ordersign;
    EXPECT_EQ(row->ordersign, parentSign + ThreeDigits(index));
  }
  // Page 2 counts from 1 again.
  const std::string onPageTwo = tree.List("/top/b-c/many", "time", true, false)->at(120).path;
  EXPECT_EQ(byPath.at(onPageTwo)->count, "21");
  EXPECT_EQ(byPath.at(onPageTwo)->ordersign, byPath.at("/top/b-c/many")->ordersign + "021");

  // The plain name of each entry, decoded once.
  const struct {
    std::string path;
    std::string other1;  // code page 936
    std::string filename;
  } names[] = {
      {U8(u8"/top/中文"), "中文", "\\u4e2d\\u6587"},
      {"/top/it's", "it's", "it's"},
      {"/top/a/Tom &amp; Jerry.mp4", "Tom &amp; Jerry.mp4", "Tom &amp; Jerry.mp4"},
      {"/top/a/x%2541.txt", "x%2541.txt", "x%2541.txt"},  // "%" is a character
      {"/top/a/[b],c~.txt", "[b],c~.txt", "[b],c~.txt"},
  };
  for (const auto& name : names) {
    SCOPED_TRACE(name.path);
    ASSERT_EQ(byPath.count(name.path), 1u);
    EXPECT_EQ(DecodeCacheText(byPath.at(name.path)->other_1), name.other1);
    EXPECT_EQ(DecodeCacheText(byPath.at(name.path)->filename), name.filename);
  }
  EXPECT_EQ(byPath.at("/top/a/[b],c~.txt")->other_1, "&#91;b&#93;&#44;c&#126;.txt");
}

TEST_F(CollectionTest, AnEntryWithoutAPathIsPlacedUnderItsFolderByItsListedName) {
  Service().SetHook([](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() != "/api/list" || request.QueryValue("dir") != "/top") {
      return std::nullopt;
    }
    return FakeReply::Json(
        "{\"errno\":0,\"list\":[{\"server_filename\":\"x%41.txt\",\"fs_id\":5,\"isdir\":0,"
        "\"path\":\"\",\"size\":1},{\"server_filename\":\"\\u4e2d%20\\ud83d\\ude00.txt\","
        "\"fs_id\":6,\"isdir\":0,\"size\":2}],\"request_id\":1}");
  });
  const std::vector<CachedRow> rows = Collect("/top");
  Service().ClearHook();
  ASSERT_THAT(rows, SizeIs(2));
  // "%" stays a character; a character code page 936 lacks keeps its notation.
  EXPECT_EQ(RemoteNameUtf8(DecodeCacheText(rows[0].folder)), "/top/x%41.txt");
  EXPECT_EQ(DecodeCacheText(rows[0].other_1), "x%41.txt");
  EXPECT_EQ(RemoteNameUtf8(DecodeCacheText(rows[1].folder)), U8(u8"/top/中%20😀.txt"));
  EXPECT_EQ(DecodeCacheText(rows[1].other_1), "中%20?.txt");
}

TEST_F(CollectionTest, PagesAreAskedForUntilOneIsShortAndEachPathTravelsInItsForm) {
  UseTree(DeepTree());
  const RemoteTree tree = Tree();
  Collect("/top");
  const std::vector<RecordedRequest> listings = RequestsTo("/api/list");
  std::vector<std::string> folders = {"/top"};
  for (const std::string& path : TreeBelow("/top")) {
    if (path.back() == '/') {
      folders.push_back(path.substr(0, path.size() - 1));
    }
  }
  for (const std::string& folder : folders) {
    SCOPED_TRACE(folder);
    const size_t entries = tree.List(folder, "time", true, false)->size();
    const size_t pages = entries / 100 + 1;  // 100 entries cost a second, empty page
    const std::vector<RecordedRequest> asked = ListingsOf(listings, folder);
    ASSERT_THAT(asked, SizeIs(pages));
    for (size_t page = 1; page <= pages; ++page) {
      EXPECT_EQ(asked[page - 1].QueryValue("page"), std::to_string(page));
      EXPECT_EQ(asked[page - 1].QueryValue("num"), "100");
    }
    // A path goes out as listed: an apostrophe never as U+2019.
    if (folder.find('\'') != std::string::npos) {
      EXPECT_THAT(ListingsOf(listings, Curly(folder)), IsEmpty());
    }
  }
  EXPECT_THAT(ListingsOf(listings, "/top/plain/hundred"), SizeIs(2));
  EXPECT_THAT(ListingsOf(listings, "/top/plain/ninety-nine"), SizeIs(1));
  size_t expected = 0;
  for (const std::string& folder : folders) {
    const size_t pages = tree.List(folder, "time", true, false)->size() / 100 + 1;
    expected += pages;
  }
  EXPECT_EQ(listings.size(), expected);

  // The raw dir values of a backslash-u path and of a plain path with "'".
  std::set<std::string> rawDirs;
  for (const RecordedRequest& request : listings) {
    rawDirs.insert(request.RawQueryValue("dir").value_or(""));
    EXPECT_EQ(request.QueryValue("order"), "time");
    EXPECT_EQ(request.QueryValue("desc"), "1");
  }
  EXPECT_EQ(rawDirs.count("%2Ftop%2F%E4%B8%AD%E6%96%87"), 1u);
  EXPECT_EQ(rawDirs.count("%2Ftop%2F%E5%90%8D'%E5%AD%97-1"), 1u);
  EXPECT_EQ(rawDirs.count("%2Ftop%2Fit%E2%80%99s"), 0u);
  EXPECT_EQ(rawDirs.count("%2Ftop%2Fit's"), 1u);
  EXPECT_THAT(ErrorLogEntries(), IsEmpty());
}

TEST_F(CollectionTest, DepthOneCollectsOnlyTheTickedFolderOwnEntries) {
  UseTree(DeepTree());
  g_collectDepth = 1;
  const std::vector<CachedRow> rows = Collect("/top");
  std::vector<std::string> collected;
  for (const CachedRow& row : rows) {
    collected.push_back(row.TreePath());
    EXPECT_EQ(row.order, "01");
  }
  std::sort(collected.begin(), collected.end());
  std::vector<std::string> own;
  for (const std::string& path : TreeBelow("/top")) {
    if (LevelBelowTop(path.back() == '/' ? path.substr(0, path.size() - 1) : path) == 1) {
      own.push_back(path);
    }
  }
  EXPECT_EQ(collected, own);
  // The folder rows were still queued, and their tasks went back at once.
  const std::vector<RecordedRequest> listings = RequestsTo("/api/list");
  ASSERT_THAT(listings, SizeIs(1));
  EXPECT_EQ(listings[0].QueryValue("dir"), "/top");
  int depthLines = 0;
  for (const RecordedStatus& status : m_ui.desktop.StatusHistory()) {
    depthLines += status.text == "超过设置的层了，返回。" ? 1 : 0;
  }
  EXPECT_EQ(depthLines, 6);  // one per folder of the first level
}

TEST_F(CollectionTest, EveryRequestCarriesTheSnapshotAfterTheAccountWasSwitched) {
  UseTree(DeepTree());
  const AccountSession snapshot = GetAccountSession();
  FakeAccount other = FakeAccount::Make("other", RemoteTree::FromPaths({"/top/elsewhere.txt"}));
  Service().Model().AddAccount(other);
  Service().SetHook([other](const RecordedRequest&) -> std::optional<FakeReply> {
    SetWorkingAccount("other", other.CookieText());
    return std::nullopt;
  });
  const std::vector<CachedRow> rows = Collect("/top", snapshot);
  EXPECT_EQ(GetAccountSession().user, "other");
  EXPECT_THAT(rows, SizeIs(TreeBelow("/top").size()));
  const std::vector<RecordedRequest> listings = RequestsTo("/api/list");
  ASSERT_THAT(listings, SizeIs(::testing::Gt(200u)));
  for (const RecordedRequest& request : listings) {
    ASSERT_EQ(request.Header("Cookie"), snapshot.cookies);
  }
}

TEST_F(CollectionTest, TheDispatcherHandsOverToTheEngineOfTheFastModeBox) {
  UseTree(RemoteTree::FromPaths({"/top/x.txt", "/top/sub/y.txt"}));
  GetControlStore().SetChecked(kFastModeBox, true);
  EXPECT_THAT(Collect("/top"), SizeIs(3));
  EXPECT_THAT(Applied(), ElementsAre("batch"));
  EXPECT_EQ(m_ui.desktop.StatusText(1), "已采集完成，将进行判断否改名，需要判断的总文件数量：3");
}

TEST_F(CollectionTest, WithoutCookiesNothingIsCollected) {
  UseTree(RemoteTree::FromPaths({"/top/x.txt"}));
  m_ui.desktop.AnswerNext(kBoxResultOk);
  EXPECT_THAT(Collect("/top", AccountSession{}), IsEmpty());
  ASSERT_THAT(m_ui.desktop.Boxes(), SizeIs(1));
  EXPECT_EQ(m_ui.desktop.Boxes()[0].text, "请选切换要操作的百度帐号。");
  EXPECT_EQ(m_ui.desktop.Boxes()[0].type, 48);
  EXPECT_THAT(RequestsTo("/api/list"), IsEmpty());
  EXPECT_THAT(Applied(), IsEmpty());
}

// The ticked folder's own page, answered with faults: the 414 page is tried
// again at once and counts as an attempt; other failures wait 500 ms; after
// ten attempts one "err.txt" line and nothing of the folder.
TEST_F(CollectionTest, FailingPagesAreTriedTenTimesAndLoggedOnce) {
  const struct {
    const char* name;
    FakeReply reply;
    int times;
    size_t requests;
    int retryWaits;
    bool collected;
    std::string logged;  // the err.txt entry; empty: none
  } rows[] = {
      {"414 three times",
       FakeReply::Html("<html><title>414 Request-URI Too Large</title></html>", 414), 3, 4, 0, true,
       ""},
      {"414 always", FakeReply::Html("<html><title>414 Request-URI Too Large</title></html>", 414),
       -1, 10, 0, false, "%2Ftop----0----<html><title>414 Request-URI Too Large</title></html>"},
      {"error always", FakeReply::Json("{\"errno\":-1}"), -1, 10, 9, false,
       "%2Ftop----0----{\"errno\":-1}"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/top/x.txt", "/top/y.txt"}));
    Fault(row.name, "/api/list", "", row.reply, 1, row.times);
    // Waits of 500 ms on the collection's threads (the run's own thread,
    // this one, tests its collection thread every 500 ms).
    const std::thread::id self = std::this_thread::get_id();
    std::atomic<int> retryWaits{0};
    m_ui.clock.SetSleepHook([&](std::int64_t ms) {
      if (ms == 500 && std::this_thread::get_id() != self) {
        ++retryWaits;
      }
    });
    const std::vector<CachedRow> cached = Collect("/top");
    m_ui.clock.SetSleepHook({});
    EXPECT_THAT(RequestsTo("/api/list"), SizeIs(row.requests));
    EXPECT_EQ(retryWaits.load(), row.retryWaits);
    EXPECT_THAT(cached, SizeIs(row.collected ? 2 : 0));
    if (row.logged.empty()) {
      EXPECT_THAT(ErrorLogEntries(), IsEmpty());
    } else {
      EXPECT_THAT(ErrorLogEntries(), ElementsAre(row.logged));
    }
  }
}

TEST_F(CollectionTest, AFailingSecondPageEndsTheFolderWithoutDuplicates) {
  RemoteTree tree = RemoteTree::FromPaths({"/top/other/z.txt"});
  for (int i = 0; i < 150; ++i) {
    tree.AddFile("/top/big/e" + ThreeDigits(i) + ".txt", i);
  }
  UseTree(std::move(tree));
  Fault("big page 2", "/api/list", "page=2", FakeReply::Json("{\"errno\":-1}"));
  const std::vector<CachedRow> rows = Collect("/top");
  std::vector<std::string> collected;
  for (const CachedRow& row : rows) {
    collected.push_back(row.TreePath());
  }
  std::sort(collected.begin(), collected.end());
  EXPECT_EQ(std::adjacent_find(collected.begin(), collected.end()), collected.end());
  const auto inBig = std::count_if(collected.begin(), collected.end(), [](const std::string& p) {
    return p.rfind("/top/big/", 0) == 0 && p != "/top/big/";
  });
  EXPECT_EQ(inBig, 100);
  EXPECT_EQ(std::count(collected.begin(), collected.end(), "/top/other/z.txt"), 1);
  const std::vector<RecordedRequest> big = ListingsOf(RequestsTo("/api/list"), "/top/big");
  EXPECT_THAT(big, SizeIs(11));  // page 1, then page 2 ten times; no page 3
  EXPECT_EQ(std::count_if(big.begin(), big.end(),
                          [](const RecordedRequest& r) { return r.QueryValue("page") == "2"; }),
            10);
  ASSERT_THAT(ErrorLogEntries(), SizeIs(1));
  EXPECT_EQ(ErrorLogEntries()[0], "%2Ftop%2Fbig----0----{\"errno\":-1}");
}

TEST(ListingTaskTest, ItsFourPartsComeBack) {
  const struct {
    std::string count, folder, lowernum, ordersign;
  } rows[] = {
      {"7", "/top/a", "03", "001007"},
      {"1", "", "02", ""},
      {"3", "/top/odd-|||||-name", "04", "002003001"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.folder);
    const std::string text = MakeListingTask(row.count, row.folder, row.lowernum, row.ordersign);
    ListingTaskParts parts;
    ASSERT_TRUE(SplitListingTask(text, parts));
    EXPECT_EQ(parts.count, row.count);
    EXPECT_EQ(parts.folder, row.folder);
    EXPECT_EQ(parts.lowernum, row.lowernum);
    EXPECT_EQ(parts.ordersign, row.ordersign);
  }
  EXPECT_EQ(MakeListingTask("7", "/top/a", "03", "001007"), "7-|||||-/top/a-|||||-03-|||||-001007");
  ListingTaskParts parts;
  EXPECT_FALSE(SplitListingTask("7-|||||-/top/a-|||||-03", parts));
}

}  // namespace
