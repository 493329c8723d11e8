// The emulated service end to end: requests as the program sends them, over
// HTTPS, and the exact reply texts and tree changes they must produce.

#include "fakeservice/service_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "fakeservice/fake_service.h"
#include "fakeservice/http_exchange.h"
#include "fakeservice/starting_trees.h"
#include "fakeservice/test_client.h"

namespace {

using ::testing::AllOf;
using ::testing::ContainsRegex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;
using ::testing::Not;
using ::testing::StartsWith;

const std::string kUser = "demo*01";

// Replaces the varying request_id with R so that whole replies can be compared.
std::string Canonical(std::string reply) {
  const std::string key = "\"request_id\":";
  for (size_t at = reply.find(key); at != std::string::npos; at = reply.find(key, at + 1)) {
    size_t end = at + key.size();
    while (end < reply.size() && std::isdigit(static_cast<unsigned char>(reply[end]))) {
      ++end;
    }
    reply.replace(at + key.size(), end - at - key.size(), "R");
  }
  return reply;
}

class ServiceModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_service.Start());
    m_service.Model().AddAccount(FakeAccount::Make(kUser, SampleTree()));
    m_cookie = m_service.Model().CookieText(kUser);
  }

  void TearDown() override { EXPECT_THAT(m_service.Failures(), IsEmpty()); }

  ClientReply Get(const std::string& target, const std::string& cookie) {
    ClientRequest request;
    request.url = m_service.BaseUrl() + target;
    request.caFile = m_service.CaFile();
    if (!cookie.empty()) {
      request.headers.push_back("Cookie: " + cookie);
    }
    return Fetch(request);
  }
  std::string GetBody(const std::string& target) { return Canonical(Get(target, m_cookie).body); }

  std::string Post(const std::string& target, const std::string& body) {
    ClientRequest request;
    request.url = m_service.BaseUrl() + target;
    request.caFile = m_service.CaFile();
    request.method = "POST";
    request.headers = {"Cookie: " + m_cookie};
    request.body = body;
    return Canonical(Fetch(request).body);
  }

  std::string List(const std::string& dir, const std::string& tail = "order=name&desc=0") {
    return GetBody("/api/list?" + tail + "&showempty=0&web=1&page=1&num=200&dir=" +
                   PercentEncode(dir) + "&bdstoken=&clienttype=0");
  }

  std::string FileOp(const std::string& opera, const std::string& async,
                     const std::string& filelist) {
    return Post("/api/filemanager?async=" + async + "&onnest=fail&opera=" + opera +
                    "&bdstoken=&clienttype=0&app_id=250528&web=1",
                "filelist=" + PercentEncode(filelist));
  }

  // The task id at the end of a TASK reply.
  static std::string TaskId(const std::string& reply) {
    const size_t at = reply.find("\"taskid\":");
    return at == std::string::npos ? "" : reply.substr(at + 9, reply.find('}', at) - at - 9);
  }

  std::string Poll(const std::string& taskId) {
    return GetBody("/share/taskquery?taskid=" + taskId + "&clienttype=0&app_id=250528&web=1");
  }

  RemoteTree Tree() { return m_service.Model().Tree(kUser); }

  FakeService m_service;
  std::string m_cookie;
};

TEST_F(ServiceModelTest, SessionPageNeedsBothCookiesOfALiveAccount) {
  const FakeAccount account = *m_service.Model().Account(kUser);
  struct Row {
    const char* name;
    std::string cookie;
    bool valid;
  };
  const Row rows[] = {
      {"as stored", m_cookie, true},
      {"no blanks, trailing separator, other pairs",
       "x=1;BDUSS=" + account.bduss + ";STOKEN=" + account.stoken + "; ", true},
      {"lower-case names", "bduss=" + account.bduss + "; stoken=" + account.stoken, true},
      {"BDUSS only", "BDUSS=" + account.bduss, false},
      {"stoken only inside another value",
       "BDUSS=" + account.bduss + "; HINT=STOKEN=" + account.stoken, false},
      {"wrong stoken", "BDUSS=" + account.bduss + "; STOKEN=other", false},
      {"no cookie", "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ClientReply reply = Get("/", row.cookie);
    if (row.valid) {
      EXPECT_EQ(reply.status, 200);
      EXPECT_THAT(
          reply.body,
          HasSubstr("<script>var context={\"userInfo\":{\"username\":\"demo*01\",\"uk\":\"" +
                    account.uk + "\",\"bdstoken\":\"" + account.bdstoken + "\"}};</script>"));
    } else {
      EXPECT_EQ(reply.status, 302);
      EXPECT_THAT(reply.head,
                  HasSubstr("\r\nLocation: /login?redirecturl=https%3A%2F%2F127.0.0.1%3A" +
                            std::to_string(m_service.Port()) + "%2Fdisk%2Fmain\r\n"));
    }
  }
  m_service.Model().RevokeAccount(kUser);
  EXPECT_EQ(Get("/", m_cookie).status, 302);
  EXPECT_THAT(GetBody("/mbox/relation/getfollowlist?start=0&limit=10"),
              StartsWith("{\"errno\":-6,\"request_id\":R}"));
}

TEST_F(ServiceModelTest, ListingRepliesInTheServiceForm) {
  m_service.Model().SetTree(kUser, RemoteTree::FromPaths({"/d/sub/x.txt", U8(u8"/d/中文.txt:1024"),
                                                          "/empty/", "/f.txt"}));
  const RemoteItem sub = *Tree().Find("/d/sub");
  const RemoteItem file = *Tree().Find(U8(u8"/d/中文.txt"));
  EXPECT_EQ(
      List("/d"),
      "{\"errno\":0,\"list\":["
      "{\"server_filename\":\"sub\",\"fs_id\":" +
          std::to_string(sub.fsId) +
          ",\"isdir\":1,\"path\":\"/d/sub\",\"size\":0,\"dir_empty\":0,\"server_mtime\":" +
          std::to_string(sub.mtime) +
          "},{\"server_filename\":\"\\u4e2d\\u6587.txt\",\"fs_id\":" + std::to_string(file.fsId) +
          ",\"isdir\":0,\"path\":\"/d/\\u4e2d\\u6587.txt\",\"size\":1024,\"dir_empty\":0,"
          "\"server_mtime\":" +
          std::to_string(file.mtime) + "}],\"request_id\":R}");
  EXPECT_THAT(List("/empty"), StartsWith("{\"errno\":0,\"list\":[],\"request_id\":"));
  EXPECT_THAT(List("/"), HasSubstr("\"path\":\"/empty\",\"size\":0,\"dir_empty\":1,"));
  EXPECT_EQ(List("/f.txt"), "{\"errno\":-9,\"request_id\":R}");
  EXPECT_EQ(List("/nowhere"), "{\"errno\":-9,\"request_id\":R}");
  EXPECT_EQ(List(""), "{\"errno\":-9,\"request_id\":R}");
  EXPECT_THAT(List("//d///sub/"), HasSubstr("\"path\":\"/d/sub/x.txt\""));
  // A space may come as "+" in the query.
  m_service.Model().SetTree(kUser, RemoteTree::FromPaths({"/my docs/a b.txt"}));
  EXPECT_THAT(GetBody("/api/list?dir=%2Fmy+docs&order=name"),
              HasSubstr("\"path\":\"/my docs/a b.txt\""));
  m_service.Model().SetTree(kUser, SampleTree());
  EXPECT_THAT(GetBody("/api/list?dir=%2Fmusic&order=name"),
              HasSubstr("\"server_filename\":\"Don\\u2019t.mp3\""));
  // The apostrophe and U+2019 are different names.
  m_service.Model().SetTree(kUser, AwkwardNamesTree());
  EXPECT_THAT(List("/names/it's"), StartsWith("{\"errno\":0,"));
  EXPECT_EQ(List(U8(u8"/names/it’s")), "{\"errno\":-9,\"request_id\":R}");
  EXPECT_THAT(List("/names"), HasSubstr("\"server_filename\":\"smile\\ud83d\\ude00.txt\""));
}

TEST_F(ServiceModelTest, ListingOrderFoldersFirstAndPages) {
  m_service.Model().SetTree(
      kUser, RemoteTree::FromPaths({"/d/b.txt", "/d/a/", "/d/c.txt", "/d/z/", "/d/a.txt"}));
  struct Row {
    const char* tail;
    std::vector<std::string> names;
  };
  const Row rows[] = {
      {"order=name&desc=0", {"a", "z", "a.txt", "b.txt", "c.txt"}},
      {"order=name&desc=1", {"z", "a", "c.txt", "b.txt", "a.txt"}},
      {"order=time&desc=0", {"a", "z", "b.txt", "c.txt", "a.txt"}},
      {"order=time&desc=1", {"z", "a", "a.txt", "c.txt", "b.txt"}},
      {"order=time&desc=1&folder=1", {"z", "a"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tail);
    const std::string reply = List("/d", row.tail);
    std::vector<std::string> names;
    const std::string key = "\"server_filename\":\"";
    for (size_t at = reply.find(key); at != std::string::npos; at = reply.find(key, at + 1)) {
      names.push_back(
          reply.substr(at + key.size(), reply.find('"', at + key.size()) - at - key.size()));
    }
    EXPECT_EQ(names, row.names);
  }

  m_service.Model().SetTree(kUser, PageBoundaryTree());
  struct Page {
    const char* dir;
    int page;
    int num;
    int count;
  };
  const Page pages[] = {{"/p200", 1, 200, 200}, {"/p200", 2, 200, 0}, {"/p199", 2, 100, 99},
                        {"/p100", 1, 100, 100}, {"/p100", 2, 100, 0}, {"/p99", 1, 100, 99}};
  for (const Page& page : pages) {
    SCOPED_TRACE(std::string(page.dir) + " page " + std::to_string(page.page));
    const std::string reply =
        GetBody("/api/list?order=name&desc=0&page=" + std::to_string(page.page) +
                "&num=" + std::to_string(page.num) + "&dir=" + PercentEncode(page.dir));
    int count = 0;
    for (size_t at = reply.find("\"fs_id\""); at != std::string::npos;
         at = reply.find("\"fs_id\"", at + 1)) {
      ++count;
    }
    EXPECT_EQ(count, page.count);
  }
  EXPECT_THAT(GetBody("/api/list?order=name&page=2&num=100&dir=%2Fp199"),
              HasSubstr("{\"server_filename\":\"f101.txt\""));
}

TEST_F(ServiceModelTest, SyncRenameRepliesAndKeepsFsId) {
  const int64_t id = *Tree().FsId("/docs/notes/a.txt");
  struct Row {
    const char* name;
    std::string item;
    std::string reply;
  };
  const Row rows[] = {
      {"renamed",
       "{\"id\":" + std::to_string(id) + ",\"path\":\"/docs/notes/a.txt\",\"newname\":\"x.txt\"}",
       "{\"errno\":0,\"info\":[{\"errno\":0,\"path\":\"/docs/notes/a.txt\"}],\"request_id\":R}"},
      {"unchanged", "{\"path\":\"/docs/notes/x.txt\",\"newname\":\"x.txt\"}",
       "{\"errno\":12,\"info\":[],\"request_id\":R}"},
      {"name taken", "{\"path\":\"/docs/notes/x.txt\",\"newname\":\"b.txt\"}",
       "{\"errno\":12,\"info\":[{\"errno\":-8,\"path\":\"/docs/notes/x.txt\"}],\"request_id\":R}"},
      {"missing", "{\"path\":\"/docs/notes/a.txt\",\"newname\":\"y.txt\"}",
       "{\"errno\":12,\"info\":[{\"errno\":-9,\"path\":\"/docs/notes/a.txt\"}],\"request_id\":R}"},
      {"slash in name", "{\"path\":\"/docs/notes/x.txt\",\"newname\":\"a/b\"}",
       "{\"errno\":12,\"info\":[{\"errno\":-7,\"path\":\"/docs/notes/x.txt\"}],\"request_id\":R}"},
      {"non-ASCII path escaped",
       "{\"path\":\"" + U8(u8"/docs/中文.txt") + "\",\"newname\":\"" + U8(u8"新.txt") + "\"}",
       "{\"errno\":0,\"info\":[{\"errno\":0,\"path\":\"/docs/\\u4e2d\\u6587.txt\"}],"
       "\"request_id\":R}"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FileOp("rename", "0", "[" + row.item + "]"), row.reply);
  }
  EXPECT_EQ(Tree().FsId("/docs/notes/x.txt"), id);
  EXPECT_TRUE(Tree().Find(U8(u8"/docs/新.txt")) != nullptr);
  EXPECT_THAT(m_service.Model().Notes(), IsEmpty());

  FileOp("rename", "0", "[{\"id\":1,\"path\":\"/docs/notes/x.txt\",\"newname\":\"y.txt\"}]");
  EXPECT_THAT(m_service.Model().Notes(),
              ElementsAre("rename id 1 is not the fs_id of /docs/notes/x.txt"));
  EXPECT_EQ(Tree().FsId("/docs/notes/y.txt"), id);
}

TEST_F(ServiceModelTest, BatchRenameTaskRunsThenListsFailuresFirst) {
  ModelOptions options;
  options.taskRunningPolls = 2;
  m_service.Model().SetOptions(options);
  m_service.Model().FailItem("/docs/notes/b.txt", -8, 1);
  const std::string submitted = FileOp("rename", "2",
                                       "[{\"path\":\"/docs/notes/a.txt\",\"newname\":\"a2.txt\"},"
                                       "{\"path\":\"/docs/notes/b.txt\",\"newname\":\"b2.txt\"},"
                                       "{\"path\":\"/docs/gone.txt\",\"newname\":\"g.txt\"}]");
  EXPECT_THAT(submitted, MatchesRegex("\\{\"errno\":0,\"info\":\\[\\],\"request_id\":R,"
                                      "\"taskid\":[0-9]+\\}"));
  const std::string task = TaskId(submitted);
  EXPECT_EQ(
      Poll(task),
      "{\"errno\":0,\"request_id\":R,\"task_errno\":0,\"status\":\"running\",\"progress\":33}");
  EXPECT_THAT(Poll(task), HasSubstr("\"status\":\"running\",\"progress\":66}"));
  EXPECT_EQ(Poll(task),
            "{\"errno\":0,\"request_id\":R,\"task_errno\":4,\"status\":\"failed\",\"list\":["
            "{\"error_code\":-8,\"from\":\"/docs/notes/b.txt\",\"to\":\"/docs/notes/b2.txt\"},"
            "{\"error_code\":-9,\"from\":\"/docs/gone.txt\",\"to\":\"/docs/g.txt\"},"
            "{\"from\":\"/docs/notes/a.txt\",\"to\":\"/docs/notes/a2.txt\"}]}");
  RemoteTree expected = SampleTree();
  ASSERT_EQ(expected.Rename("/docs/notes/a.txt", "a2.txt", -8), kErrnoOk);
  EXPECT_EQ(Tree(), expected);

  // The fault was for one use only: the resubmission succeeds.
  const std::string again =
      FileOp("rename", "1", "[{\"path\":\"/docs/notes/b.txt\",\"newname\":\"b2.txt\"}]");
  for (int i = 0; i < 2; ++i) {
    Poll(TaskId(again));
  }
  EXPECT_EQ(Poll(TaskId(again)),
            "{\"errno\":0,\"request_id\":R,\"task_errno\":0,\"status\":\"success\",\"list\":["
            "{\"from\":\"/docs/notes/b.txt\",\"to\":\"/docs/notes/b2.txt\"}]}");
  EXPECT_EQ(Poll("1"), "{\"errno\":0,\"request_id\":R,\"task_errno\":4,\"status\":\"failed\"}");
}

TEST_F(ServiceModelTest, TaskThatNeverFinishesStopsAtProgress100) {
  ModelOptions options;
  options.tasksNeverFinish = true;
  m_service.Model().SetOptions(options);
  const std::string task =
      TaskId(FileOp("rename", "2", "[{\"path\":\"/readme.txt\",\"newname\":\"r.txt\"}]"));
  std::string last;
  for (int i = 0; i < 12; ++i) {
    last = Poll(task);
  }
  EXPECT_THAT(last, HasSubstr("\"task_errno\":0,\"status\":\"running\",\"progress\":100}"));
}

TEST_F(ServiceModelTest, DeleteRemovesSubtreesOrNamesTheFailingItem) {
  EXPECT_THAT(FileOp("delete", "2", "[\"/docs/notes\",\"/readme.txt\"]"),
              StartsWith("{\"errno\":0,\"info\":[],\"request_id\":R,\"taskid\":"));
  EXPECT_EQ(Tree().Find("/docs/notes"), nullptr);
  EXPECT_EQ(Tree().Find("/readme.txt"), nullptr);
  EXPECT_EQ(FileOp("delete", "2", "[\"/readme.txt\"]"),
            "{\"errno\":12,\"info\":[{\"errno\":-9,\"path\":\"/readme.txt\"}],\"request_id\":R}");
  m_service.Model().FailItem("/empty", 111, 1);
  EXPECT_EQ(FileOp("delete", "2", "[\"/empty\"]"),
            "{\"errno\":12,\"info\":[{\"errno\":111,\"path\":\"/empty\"}],\"request_id\":R}");
  EXPECT_TRUE(Tree().Find("/empty") != nullptr);
}

TEST_F(ServiceModelTest, BusyItemRefusesTheWholeRequestAtSubmission) {
  struct Row {
    const char* name;
    std::string opera;
    std::string async;
    std::string filelist;
    int busy;
  };
  const Row rows[] = {
      {"rename asking for a task", "rename", "2",
       "[{\"path\":\"/readme.txt\",\"newname\":\"r.txt\"},"
       "{\"path\":\"/docs/notes/a.txt\",\"newname\":\"z.txt\"}]",
       111},
      {"synchronous rename", "rename", "0",
       "[{\"path\":\"/docs/notes/a.txt\",\"newname\":\"z.txt\"}]", 31034},
      {"copy", "copy", "2",
       "[{\"path\":\"/docs/notes/a.txt\",\"dest\":\"/empty\",\"newname\":\"a.txt\"}]", 111},
      {"move", "move", "2",
       "[{\"path\":\"/docs/notes/a.txt\",\"dest\":\"/empty\",\"newname\":\"a.txt\"}]", 31034},
      {"delete", "delete", "2", "[\"/readme.txt\",\"/docs/notes/a.txt\"]", 111},
  };
  const RemoteTree before = Tree();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    m_service.Model().FailItem("/docs/notes/a.txt", row.busy, 1);
    EXPECT_EQ(FileOp(row.opera, row.async, row.filelist),
              "{\"errno\":12,\"info\":[{\"errno\":" + std::to_string(row.busy) +
                  ",\"path\":\"/docs/notes/a.txt\"}],\"request_id\":R}");
    EXPECT_EQ(Tree(), before);
    EXPECT_EQ(m_service.Model().TaskCount(), 0);
  }
  // The fault was used up: the same request now goes through.
  EXPECT_THAT(FileOp("delete", "2", "[\"/docs/notes/a.txt\"]"),
              StartsWith("{\"errno\":0,\"info\":[],\"request_id\":R,\"taskid\":"));
  EXPECT_EQ(Tree().Find("/docs/notes/a.txt"), nullptr);
}

TEST_F(ServiceModelTest, RawUtf8NamesOptionLeavesNamesUnescaped) {
  m_service.Model().SetTree(kUser, RemoteTree::FromPaths({U8(u8"/d/中文.txt:1")}));
  EXPECT_THAT(List("/d"), HasSubstr("\"server_filename\":\"\\u4e2d\\u6587.txt\""));
  ModelOptions options;
  options.rawUtf8Names = true;
  m_service.Model().SetOptions(options);
  EXPECT_THAT(List("/d"), HasSubstr("\"path\":\"" + U8(u8"/d/中文.txt") + "\","));
  const std::string renamed = FileOp(
      "rename", "0",
      "[{\"path\":\"" + U8(u8"/d/中文.txt") + "\",\"newname\":\"" + U8(u8"英文.txt") + "\"}]");
  EXPECT_EQ(renamed, "{\"errno\":0,\"info\":[{\"errno\":0,\"path\":\"" + U8(u8"/d/中文.txt") +
                         "\"}],\"request_id\":R}");
}

TEST_F(ServiceModelTest, CopyMakesNewIdsAndAnswersSameNames) {
  const std::string copied =
      FileOp("copy", "2", "[{\"path\":\"/docs/notes\",\"dest\":\"/empty\",\"newname\":\"notes\"}]");
  EXPECT_THAT(Poll(TaskId(copied)),
              HasSubstr("\"task_errno\":0,\"status\":\"success\",\"list\":[{\"from\":"
                        "\"/docs/notes\",\"to\":\"/empty/notes\"}]}"));
  EXPECT_TRUE(Tree().Find("/empty/notes/a.txt") != nullptr);
  EXPECT_NE(Tree().FsId("/empty/notes/a.txt"), Tree().FsId("/docs/notes/a.txt"));
  EXPECT_NE(Tree().FsId("/empty/notes"), Tree().FsId("/docs/notes"));

  const std::string same =
      FileOp("copy", "2",
             "[{\"path\":\"/docs/notes/a.txt\",\"dest\":\"/empty/notes\",\"newname\":\"a.txt\"},"
             "{\"path\":\"/readme.txt\",\"dest\":\"/empty/notes\",\"newname\":\"readme.txt\"}]");
  EXPECT_EQ(Poll(TaskId(same)),
            "{\"errno\":0,\"request_id\":R,\"task_errno\":-30,\"status\":\"failed\",\"list\":["
            "{\"error_code\":-30,\"from\":\"/docs/notes/a.txt\",\"to\":\"/empty/notes/a.txt\"},"
            "{\"from\":\"/readme.txt\",\"to\":\"/empty/notes/readme.txt\"}]}");

  const std::string both = FileOp("copy", "2",
                                  "[{\"path\":\"/docs/notes/a.txt\",\"dest\":\"/empty/notes\","
                                  "\"newname\":\"a.txt\",\"ondup\":\"newcopy\"}]");
  EXPECT_THAT(Poll(TaskId(both)), HasSubstr("\"status\":\"success\""));
  EXPECT_EQ(Tree().Find("/empty/notes")->children.size(), 4u);

  struct Row {
    const char* name;
    std::string item;
    std::string listHead;
  };
  const Row rows[] = {
      {"missing source", "{\"path\":\"/nope\",\"dest\":\"/empty\",\"newname\":\"nope\"}",
       "\"list\":[{\"error_code\":-9,\"from\":\"/nope\""},
      {"into itself", "{\"path\":\"/docs\",\"dest\":\"/docs/notes\",\"newname\":\"docs\"}",
       "\"list\":[{\"error_code\":-7,\"from\":\"/docs\""},
      {"missing destination", "{\"path\":\"/docs\",\"dest\":\"/nope\",\"newname\":\"docs\"}",
       "\"list\":[{\"error_code\":-7,\"from\":\"/docs\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_THAT(Poll(TaskId(FileOp("copy", "2", "[" + row.item + "]"))),
                HasSubstr("\"task_errno\":4,\"status\":\"failed\"," + row.listHead));
  }
}

TEST_F(ServiceModelTest, SameNameCopyCanLeaveEveryItemUncopied) {
  ModelOptions options;
  options.copyKeepsOthersOnConflict = false;
  m_service.Model().SetOptions(options);
  const RemoteTree before = Tree();
  const std::string same =
      FileOp("copy", "2",
             "[{\"path\":\"/readme.txt\",\"dest\":\"/empty\",\"newname\":\"readme.txt\"},"
             "{\"path\":\"/docs/notes/a.txt\",\"dest\":\"/docs/notes\",\"newname\":\"a.txt\"}]");
  EXPECT_THAT(Poll(TaskId(same)),
              HasSubstr("\"task_errno\":-30,\"status\":\"failed\",\"list\":[{\"error_code\":-30,"
                        "\"from\":\"/docs/notes/a.txt\",\"to\":\"/docs/notes/a.txt\"}]}"));
  EXPECT_EQ(Tree(), before);
}

TEST_F(ServiceModelTest, MoveKeepsIdsAndTreatsMovesOntoThemselvesByOption) {
  const int64_t id = *Tree().FsId("/archive/a.part1.rar");
  const std::string moved = FileOp(
      "move", "2",
      "[{\"path\":\"/archive/a.part1.rar\",\"dest\":\"/docs//\",\"newname\":\"a.part1.rar\"}]");
  EXPECT_THAT(Poll(TaskId(moved)), HasSubstr("\"task_errno\":0,\"status\":\"success\""));
  EXPECT_EQ(Tree().FsId("/docs/a.part1.rar"), id);
  EXPECT_EQ(Tree().Find("/archive/a.part1.rar"), nullptr);

  const std::string self = "[{\"path\":\"/readme.txt\",\"dest\":\"/\",\"newname\":\"readme.txt\"}]";
  EXPECT_EQ(FileOp("move", "0", self),
            "{\"errno\":0,\"info\":[{\"errno\":0,\"path\":\"/readme.txt\"}],\"request_id\":R}");
  ModelOptions options;
  options.moveOntoItselfSucceeds = false;
  m_service.Model().SetOptions(options);
  EXPECT_THAT(Poll(TaskId(FileOp("move", "2", self))),
              HasSubstr("\"status\":\"failed\",\"list\":[{\"error_code\":-8,"));
  EXPECT_THAT(Poll(TaskId(FileOp("move", "2",
                                 "[{\"path\":\"/docs\",\"dest\":\"/\",\"newname\":\"music\"}]"))),
              HasSubstr("\"list\":[{\"error_code\":-8,\"from\":\"/docs\""));
}

TEST_F(ServiceModelTest, CreateFolderQuotaAndUpdateHost) {
  const std::string created =
      Post("/api/create?a=commit&channel=chunlei&web=1&app_id=250528&bdstoken=&clienttype=0",
           "path=" + PercentEncode("//archive/a/") + "&isdir=1&block_list=%5B%5D");
  const RemoteTree tree = Tree();
  const RemoteItem* folder = tree.Find("/archive/a");
  ASSERT_NE(folder, nullptr);
  const std::string time = std::to_string(folder->mtime);
  EXPECT_EQ(created, "{\"fs_id\":" + std::to_string(folder->fsId) +
                         ",\"path\":\"/archive/a\",\"ctime\":" + time + ",\"mtime\":" + time +
                         ",\"status\":0,\"errno\":0,\"isdir\":1,\"request_id\":R}");
  EXPECT_EQ(Post("/api/create?a=commit", "path=%2Fnope%2Fa&isdir=1"),
            "{\"errno\":-9,\"request_id\":R}");

  EXPECT_EQ(GetBody("/api/quota?clienttype=0&app_id=250528&web=1&dp-logid=1"),
            "{\"errno\":0,\"total\":2199023255552,\"used\":" + std::to_string(Tree().UsedBytes()) +
                ",\"request_id\":R}");

  const ClientReply manifest = Get("/softupdate/tarrowbyupdate.html?1700000000000", "");
  EXPECT_EQ(manifest.body,
            "{\"data\":[{\"softname\":\"quillmere\",\"version\":\"11211\",\"up_time\":"
            "\"2024-01-01\",\"version_explain\":\"line1\\nline2\",\"version_force_update\":"
            "\"false\",\"downurl\":\"https://" +
                m_service.Host() + "/softupdate/x.zip?[rand]\"}]}");
  const ClientReply updater = Get(
      "/softupdate/%E8%87%AA%E5%8A%A8%E5%8D%87%E7%BA%A7%E7%A8%8B%E5%BA%8F.exe?1700000000000", "");
  EXPECT_EQ(updater.status, 200);
  EXPECT_EQ(updater.body, "MZ quillmere updater");
  EXPECT_EQ(Get("/softupdate/other.exe", "").status, 404);
}

TEST_F(ServiceModelTest, SignInSetsTheChosenCookiesAndRedirects) {
  const FakeAccount account = *m_service.Model().Account(kUser);
  const std::string target = "https://" + m_service.Host() + "/disk/main#/im/session";
  const ClientReply page = Get("/login?redirecturl=" + PercentEncode(target), "");
  EXPECT_THAT(page.body, HasSubstr("action=\"https://" + m_service.Host() + "/login/submit\""));
  EXPECT_THAT(page.body, HasSubstr("name=\"user\" value=\"demo*01\""));

  struct Row {
    const char* name;
    SignInCookies cookies;
    std::string host;
    std::string setCookies;
  };
  // A named host gets BDUSS for its parent domain; an address gets host-only cookies.
  const std::string named = "pan.quill.localhost:" + std::to_string(m_service.Port());
  const Row rows[] = {
      {"all", SignInCookies::kAll, m_service.Host(),
       "Set-Cookie: BDUSS=" + account.bduss +
           "; path=/; HttpOnly\r\nSet-Cookie: STOKEN=" + account.stoken +
           "; path=/; HttpOnly\r\nSet-Cookie: BAIDUID=" + account.baiduid + "; path=/\r\n"},
      {"all, named host", SignInCookies::kAll, named,
       "Set-Cookie: BDUSS=" + account.bduss +
           "; path=/; domain=quill.localhost; HttpOnly\r\nSet-Cookie: STOKEN=" + account.stoken +
           "; path=/; HttpOnly\r\nSet-Cookie: BAIDUID=" + account.baiduid + "; path=/\r\n"},
      {"BDUSS only", SignInCookies::kBdussOnly, m_service.Host(),
       "Set-Cookie: BDUSS=" + account.bduss + "; path=/; HttpOnly\r\nSet-Cookie: BAIDUID="},
      {"lower case", SignInCookies::kLowerCaseNames, m_service.Host(),
       "Set-Cookie: bduss=" + account.bduss + "; path=/; HttpOnly\r\nSet-Cookie: stoken="},
      {"none", SignInCookies::kNone, m_service.Host(),
       "Location: " + target + "\r\nContent-Length: 0\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ModelOptions options;
    options.signInCookies = row.cookies;
    m_service.Model().SetOptions(options);
    ClientRequest submit;
    submit.url = "https://" + row.host + "/login/submit";
    submit.caFile = m_service.CaFile();
    submit.method = "POST";
    submit.body = "user=" + PercentEncode(kUser) + "&redirect=" + PercentEncode(target);
    const ClientReply reply = Fetch(submit);
    EXPECT_EQ(reply.status, 302);
    EXPECT_THAT(reply.head, HasSubstr("Location: " + target + "\r\n"));
    EXPECT_THAT(reply.head, HasSubstr(row.setCookies));
  }
}

TEST_F(ServiceModelTest, FaultRulesAnswerFirstOrAfterTheOperation) {
  FaultRule gone;
  gone.name = "notes gone";
  gone.path = "/api/list";
  gone.textContains = "dir=/docs/notes";
  gone.times = 1;
  gone.reply = FakeReply::Json(GoneReply());
  m_service.Faults().Add(gone);
  EXPECT_EQ(List("/docs/notes"), "{\"errno\":-9,\"request_id\":R}");
  EXPECT_THAT(List("/docs/notes"), StartsWith("{\"errno\":0,"));

  FaultRule lost;
  lost.name = "rename done, reply lost";
  lost.queryContains = "opera=rename";
  lost.applyFirst = true;
  lost.times = 1;
  lost.reply = FakeReply::Fault(ReplyFault::kCloseWithoutReply);
  m_service.Faults().Add(lost);
  const std::string rename = "[{\"path\":\"/readme.txt\",\"newname\":\"r.txt\"}]";
  EXPECT_EQ(FileOp("rename", "0", rename), "");
  EXPECT_EQ(FileOp("rename", "0", rename),
            "{\"errno\":12,\"info\":[{\"errno\":-9,\"path\":\"/readme.txt\"}],\"request_id\":R}");
  EXPECT_EQ(m_service.Faults().Picked("rename done, reply lost"), 2);
}

TEST_F(ServiceModelTest, StrictChecksRefuseAWrongBdstokenOrLogid) {
  const FakeAccount account = *m_service.Model().Account(kUser);
  ModelOptions options;
  options.strictBdstoken = true;
  options.strictLogid = true;
  m_service.Model().SetOptions(options);
  const std::string rename = "filelist=" + PercentEncode("[{\"path\":\"/x\",\"newname\":\"y\"}]");
  EXPECT_THAT(Post("/api/filemanager?opera=rename&async=0&bdstoken=ffff", rename),
              StartsWith("{\"errno\":-6,"));
  EXPECT_THAT(Post("/api/filemanager?opera=rename&async=0&bdstoken=" + account.bdstoken, rename),
              StartsWith("{\"errno\":12,"));
  // A file operation or folder creation without its token is refused too;
  // listings send it empty and pass.
  for (const std::string& target : {std::string("/api/filemanager?opera=rename&async=0&bdstoken="),
                                    std::string("/api/filemanager?opera=rename&async=0"),
                                    std::string("/api/create?a=commit&bdstoken=&clienttype=0")}) {
    SCOPED_TRACE(target);
    EXPECT_THAT(Post(target, rename + "&path=%2Fz&isdir=1"), StartsWith("{\"errno\":-6,"));
  }
  EXPECT_EQ(Tree().Find("/z"), nullptr);
  EXPECT_THAT(GetBody("/api/list?dir=%2F&logid=QUJD"), StartsWith("{\"errno\":-6,"));
  // The logid is the Base64 of the BAIDUID value, sent raw.
  unsigned char base64[128] = {};
  EVP_EncodeBlock(base64, reinterpret_cast<const unsigned char*>(account.baiduid.data()),
                  static_cast<int>(account.baiduid.size()));
  EXPECT_THAT(GetBody("/api/list?dir=%2F&logid=" + std::string(reinterpret_cast<char*>(base64))),
              StartsWith("{\"errno\":0,"));
}

TEST_F(ServiceModelTest, ADelayedTaskChangesTheTreeOnlyWhenItsTurnComes) {
  ModelOptions options;
  options.taskDelayRequests = 4;
  m_service.Model().SetOptions(options);
  const std::string deleted = FileOp("delete", "2", "[\"/docs/notes\"]");
  const std::string renamed =
      FileOp("rename", "2", "[{\"path\":\"/readme.txt\",\"newname\":\"r.txt\"}]");
  // Both tasks run: the listing still shows both items, and so do the queries.
  EXPECT_THAT(List("/docs"), HasSubstr("\"server_filename\":\"notes\""));
  EXPECT_THAT(GetBody("/share/taskquery?taskid=" + TaskId(deleted)), HasSubstr("\"running\""));
  EXPECT_NE(Tree().Find("/readme.txt"), nullptr);
  // Their turns come: the delete's with the fourth request after it, the rename's after that.
  EXPECT_THAT(List("/docs"), Not(HasSubstr("\"server_filename\":\"notes\"")));
  EXPECT_THAT(GetBody("/share/taskquery?taskid=" + TaskId(deleted)), HasSubstr("\"success\""));
  EXPECT_THAT(GetBody("/share/taskquery?taskid=" + TaskId(renamed)), HasSubstr("\"success\""));
  EXPECT_EQ(Tree().Find("/readme.txt"), nullptr);
  EXPECT_NE(Tree().Find("/r.txt"), nullptr);
  // A delayed delete whose item is missing fails in its task.
  const std::string missing = FileOp("delete", "2", "[\"/none\"]");
  for (int i = 0; i < 3; ++i) {
    List("/");
  }
  EXPECT_THAT(GetBody("/share/taskquery?taskid=" + TaskId(missing)),
              AllOf(HasSubstr("\"failed\""), HasSubstr("\"error_code\":-9")));
}

}  // namespace
