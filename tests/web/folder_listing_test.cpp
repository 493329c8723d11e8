// Folder listings against the service emulator: the page fetch of the
// traversal and the root listing that fills the folder tree.

#include "web/folder_listing.h"

#include <atomic>

#include "data/json_document.h"
#include "foundation/text_encodings.h"
#include "support/service_test_fixture.h"
#include "web/folder_tree_model.h"
#include "web/main_window_controls.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

class FolderListingTest : public ServiceTest {
 protected:
  std::vector<RecordedRequest> Listings() const { return RequestsTo("/api/list"); }
  std::vector<std::string> Statuses() const {
    std::vector<std::string> lines;
    for (const RecordedStatus& status : m_ui.desktop.StatusHistory()) {
      if (status.panel == 1) {
        lines.push_back(status.text);
      }
    }
    return lines;
  }
  static std::vector<std::string> ItemTexts() {
    std::vector<std::string> texts;
    for (const FolderTreeItem& item : GetFolderTree().Items()) {
      texts.push_back(Utf16ToText(item.textUtf16 + std::string(2, '\0')));
    }
    return texts;
  }
};

TEST_F(FolderListingTest, PagesOfAFolderOf450Entries) {
  RemoteTree tree;
  for (int i = 0; i < 450; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/big/f%03d.txt", i);
    tree.AddFile(name, i);
  }
  UseTree(tree);
  GetControlStore().SetChecked(kSortNameAscRadio, true);
  const int expected[] = {200, 200, 50, 0};
  for (int page = 1; page <= 4; ++page) {
    SCOPED_TRACE(page);
    JsonDocument document;
    ASSERT_TRUE(document.Parse(FetchFolderListPage("/big", 0, page), 0));
    EXPECT_EQ(document.GetCount("list"), expected[page - 1]);
    if (expected[page - 1] > 0) {
      EXPECT_EQ(document.GetText("list[0].server_filename"),
                "f" + std::to_string((page - 1) * 2) + "00.txt");
    }
  }
  const std::vector<RecordedRequest> listings = Listings();
  ASSERT_EQ(listings.size(), 4u);
  EXPECT_EQ(listings[2].target,
            "/api/list?order=name&desc=0&showempty=0&web=1&page=3&num=200&dir=%2Fbig&t="
            "0.9874196068828893&channel=chunlei&web=1&app_id=250528&bdstoken=&clienttype=0");
  EXPECT_EQ(listings[2].Header("Cookie"), Account().CookieText());
  EXPECT_THAT(Waits(), IsEmpty());
}

TEST_F(FolderListingTest, RootFlagListsTheRootWithItsOwnQuery) {
  EXPECT_THAT(FetchFolderListPage("/ignored", 1, 0), HasSubstr("{\"errno\":0,"));
  ASSERT_EQ(Listings().size(), 1u);
  EXPECT_EQ(
      Listings()[0].target,
      "/api/list?order=time&desc=1&showempty=0&web=1&page=1&num=200&dir=%2F&t="
      "0.18259558284517108&channel=chunlei&web=1&app_id=250528&bdstoken=&logid=&clienttype=0");
}

TEST_F(FolderListingTest, FolderPathsAreEncodedForTheirRoute) {
  struct Row {
    const char* name;
    const char* path;
    const char* dir;
  };
  const Row rows[] = {
      {"plain", "/a b/c", "%2Fa+b%2Fc"},
      {"an apostrophe as itself", "/it's", "%2Fit's"},
      {"a real U+2019 as itself", "/it’s", "%2Fit%E2%80%99s"},
      {"a percent sign is a character", "/a%26b", "%2Fa%2526b"},
      {"a plus sign is a character", "/a+b", "%2Fa%2Bb"},
      {"Chinese", "/中文", "%2F%E4%B8%AD%E6%96%87"},
      {"backslash-u keeps a literal %20", "/\\u4e2d%20x", "%2F%E4%B8%AD%2520x"},
      {"backslash-u Hangul", "/\\uD55C\\uAD6D", "%2F%ED%95%9C%EA%B5%AD"},
      {"backslash-u emoji", "/\\uD83D\\uDE00dir", "%2F%F0%9F%98%80dir"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(EncodeListingDir(row.path), row.dir);
  }
}

TEST_F(FolderListingTest, FailedPagesShowABoxThatClosesItself) {
  const std::u16string gone =
      u"目录不存在，可能是选中的目录名有变化或有乱码，重新刷新目录后再试，30秒后将自动跳过。\r\n\r"
      u"\n";
  const std::u16string failed =
      u"连续5次获取失败，可能是选中的目录名有变化或乱码，重新刷新目录后再试，30秒后将自动跳过。\r\n"
      u"\r\n";
  struct Row {
    const char* name;
    const char* folder;
    bool revoked;
    int requests;
    std::vector<std::int64_t> waits;
    std::u16string shown;  // the box as the user reads it
  };
  const Row rows[] = {
      {"a gone folder ends at once", "/gone", false, 1, {}, gone + u"/gone"},
      {"an apostrophe folder gone: its twin is not tried",
       "/gone's",
       false,
       1,
       {},
       gone + u"/gone's"},
      {"a gone folder of Hangul and emoji shows every character",
       "/\\uD55C\\uAD6D\\uC5B4 \\uD83D\\uDE00",
       false,
       1,
       {},
       gone + u"/한국어 😀"},
      {"five failures", "/docs", true, 5, {500, 500, 500, 500, 500}, failed + u"/docs"},
      {"five failures of a folder with a literal backslash-u",
       "/a\\u005Cu0041",
       true,
       5,
       {500, 500, 500, 500, 500},
       failed + u"/a\\u0041"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/docs/a.txt", "/it's/b.txt", U8(u8"/gone’s/b.txt")}));
    if (row.revoked) {
      Service().Model().RevokeAccount("demo");
    }
    Service().ClearRequests();
    m_ui.desktop.AnswerNext(kBoxResultTimedOut);
    const size_t boxes = m_ui.desktop.Boxes().size();
    EXPECT_EQ(FetchFolderListPage(row.folder, 0, 1), "");
    EXPECT_EQ(static_cast<int>(Listings().size()), row.requests);
    std::vector<std::int64_t> waits = Waits();
    ASSERT_FALSE(waits.empty());
    EXPECT_EQ(waits.back(), 30000);  // the box ran out
    waits.pop_back();
    EXPECT_EQ(waits, row.waits);
    ASSERT_EQ(m_ui.desktop.Boxes().size(), boxes + 1);
    const RecordedBox box = m_ui.desktop.Boxes().back();
    EXPECT_EQ(box.caption, "提示：");
    EXPECT_TRUE(box.fromUtf16);
    EXPECT_EQ(box.unicode, row.shown);
    EXPECT_EQ(box.type, kBoxIconWarning);
    EXPECT_EQ(box.timeoutMs, 30000);
  }
}

TEST_F(FolderListingTest, ARealBackslashBeforeUIsListedAsItself) {
  UseTree(RemoteTree::FromPaths({"/a\\u0041.txt", "/aA.txt", "/b\\\\u0042\\x.txt"}));
  SetWorkingAccount("", Account().CookieText());
  GetControlStore().SetChecked(kSortNameAscRadio, true);
  LoadRootFolderTree(0);

  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"demo的网盘", "aA.txt", "a\\u0041.txt",
                                                   "b\\\\u0042\\x.txt"}));
}

TEST_F(FolderListingTest, RootListingFillsTheTree) {
  UseTree(RemoteTree::FromPaths({"/docs/", U8(u8"/中文.txt"), "/a.mp3"}));
  SetWorkingAccount("", Account().CookieText());
  GetControlStore().SetChecked(kSortNameAscRadio, true);
  LoadRootFolderTree(0);

  const std::vector<FolderTreeItem> items = GetFolderTree().Items();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"demo的网盘", "docs", "a.mp3", "中文.txt"}));
  EXPECT_EQ(items[0].parent, -1);
  EXPECT_EQ(items[0].image, kRootImage);
  EXPECT_EQ(items[0].data, kRootItemData);
  EXPECT_TRUE(items[0].expanded);
  EXPECT_EQ(items[1].parent, 0);
  EXPECT_EQ(items[1].data, kFolderItemData);
  EXPECT_EQ(items[2].data, kFileItemData);
  EXPECT_EQ(items[3].data, kFileItemData);

  const AccountSession session = GetAccountSession();
  EXPECT_EQ(session.user, "demo");
  EXPECT_EQ(session.bdstoken, Account().bdstoken);
  EXPECT_TRUE(GetControlStore().Enabled(kRefreshButton));
  EXPECT_FALSE(GetControlStore().Visible(kRefreshHintLabel));
  EXPECT_EQ(Statuses(),
            (std::vector<std::string>{
                "正在获取  的目录结构", "开始验证cookies有效性...", "正在获取第 1 页...",
                "demo    获取网盘主目录列表成功，双击右上方的对应目录，可继续获取文件列表。"}));
}

// A second root listing started while the first one waits for its page (the
// working account switched, or refresh pressed again) supersedes it: the tree
// shows one account only, and the first listing touches nothing afterwards.
TEST_F(FolderListingTest, ASecondRootListingSupersedesTheOneRunning) {
  struct Row {
    const char* name;
    bool otherAccount;
    std::vector<std::string> tree;
    const char* finalStatus;
  };
  const Row rows[] = {
      {"another account chosen",
       true,
       {"other的网盘", "b-docs", "b.txt"},
       "other    获取网盘主目录列表成功，双击右上方的对应目录，可继续获取文件列表。"},
      {"refresh pressed again",
       false,
       {"demo的网盘", "a-docs", "a.txt"},
       "demo    获取网盘主目录列表成功，双击右上方的对应目录，可继续获取文件列表。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/a-docs/", "/a.txt"}));
    const FakeAccount other =
        FakeAccount::Make("other", RemoteTree::FromPaths({"/b-docs/", "/b.txt"}));
    Service().Model().AddAccount(other);
    GetControlStore().SetChecked(kSortNameAscRadio, true);
    const std::string demoCookies = Account().CookieText();
    std::atomic<bool> started{false};
    // The first listing's first page is held until a second listing, started
    // right then, has run to its end.
    Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
      if (request.Path() == "/api/list" && request.Header("Cookie") == demoCookies &&
          !started.exchange(true)) {
        if (row.otherAccount) {
          SetWorkingAccount(other.userName, other.CookieText());
        }
        LoadRootFolderTree(0);
      }
      return std::nullopt;
    });
    LoadRootFolderTree(0);
    EXPECT_TRUE(started.load());
    EXPECT_EQ(ItemTexts(), row.tree);
    for (const FolderTreeItem& item : GetFolderTree().Items()) {
      EXPECT_EQ(item.parent, item.data == kRootItemData ? -1 : 0);
    }
    EXPECT_TRUE(GetControlStore().Enabled(kRefreshButton));
    ASSERT_FALSE(Statuses().empty());
    EXPECT_EQ(Statuses().back(), row.finalStatus);
    EXPECT_EQ(GetAccountSession().user, row.otherAccount ? "other" : "demo");
  }
}

TEST_F(FolderListingTest, RootListingOfExactly200EntriesAsksForASecondPage) {
  RemoteTree tree;
  for (int i = 0; i < 200; ++i) {
    tree.AddFile("/f" + std::to_string(i), 1);
  }
  UseTree(tree);
  LoadRootFolderTree(0);
  EXPECT_EQ(Listings().size(), 2u);
  EXPECT_EQ(GetFolderTree().Items().size(), 201u);
}

TEST_F(FolderListingTest, RootListingTakesTheFirstAccountRowWithoutAWorkingAccount) {
  SetAccountSession({});
  GetControlStore().SetItems(kAccountList,
                             {"1\tdemo\t正常\t" + Account().CookieText() + "\t" + Account().uk});
  LoadRootFolderTree(0);
  EXPECT_EQ(GetAccountSession().cookies, Account().CookieText());
  EXPECT_EQ(GetAccountSession().user, "demo");
  EXPECT_EQ(Listings().size(), 1u);
}

TEST_F(FolderListingTest, RootListingWithoutAnyAccountAsksToSignIn) {
  SetAccountSession({});
  GetControlStore().SetSelection(kMainPages, 2);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  LoadRootFolderTree(0);
  ASSERT_EQ(m_ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(m_ui.desktop.Boxes()[0].text,
            "没有可操作的百度帐号cookies，请先通过 登陆百度帐号 操作。");
  EXPECT_EQ(m_ui.desktop.Boxes()[0].type, kBoxIconInformation);
  EXPECT_EQ(GetControlStore().Selection(kMainPages), 0);
  EXPECT_TRUE(GetControlStore().Enabled(kRefreshButton));
  EXPECT_THAT(Service().Requests(), IsEmpty());
}

TEST_F(FolderListingTest, RootListingFailuresEndWithAStatusLine) {
  struct Row {
    const char* name;
    FakeReply reply;
    const char* status;
  };
  const Row rows[] = {
      {"no reply", FakeReply::Fault(ReplyFault::kCloseWithoutReply),
       "获取失败，请检查自己的网络问题。"},
      {"invalid cookies", FakeReply::Json(InvalidReply()), "cookies可能无效,请重新登陆"},
      {"gone", FakeReply::Json(GoneReply()), "当前目录已不存在（已被删除或改名），需要重新刷新。"},
      {"anything else", FakeReply::Html("<html>502</html>", 502),
       "获取目录列表失败，可能是此目录已改名，或有乱码。请重试"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Fault(row.name, "/api/list", "", row.reply);
    LoadRootFolderTree(0);
    EXPECT_EQ(Statuses().back(), row.status);
    EXPECT_TRUE(GetControlStore().Enabled(kRefreshButton));
    EXPECT_EQ(GetFolderTree().Items().size(), 1u);  // the root item only
  }
}

TEST_F(FolderListingTest, RootListingIsQuietWhileARenameJobRuns) {
  GetControlStore().SetEnabled(kStartRenameButton, false);
  Fault("gone", "/api/list", "", FakeReply::Json(GoneReply()));
  LoadRootFolderTree(0);
  EXPECT_THAT(Statuses(), IsEmpty());
  EXPECT_EQ(Listings().size(), 1u);
}

TEST_F(FolderListingTest, RootListingWithDeadCookiesReportsTheCheck) {
  Service().Model().RevokeAccount("demo");
  GetControlStore().SetEnabled(kStartRenameButton, false);  // quiet, but this line still shows
  m_ui.desktop.AnswerNext(kBoxResultOk);
  LoadRootFolderTree(0);
  ASSERT_EQ(m_ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(m_ui.desktop.Boxes()[0].text, std::string("刷新失败，原因：") + kSessionInvalidNotice);
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"获取用户名失败，可能是cookies失效，或百度网盘已"
                                                  "更新。如果一直出现则联系更新，"}));
  EXPECT_EQ(GetAccountSession().user, "");
  EXPECT_THAT(Listings(), IsEmpty());
  EXPECT_TRUE(GetControlStore().Enabled(kRefreshButton));
}

}  // namespace
