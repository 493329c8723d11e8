// The remote folder tree's operations against the service emulator: folder
// listings (addresses, pages, failures, the collapse rule, one listing at a
// time), the tick operations, the copy destination, the menu's copy and
// archive, and the deletion.

#include "ui/remote_tree.h"

#include <QClipboard>
#include <QGuiApplication>
#include <future>
#include <thread>

#include "fakeservice/service_replies.h"
#include "foundation/run_directory.h"
#include "foundation/text_encodings.h"
#include "foundation/unicode_notation.h"
#include "foundation/url_encoding.h"
#include "foundation/wait_until.h"
#include "jobs/archive_job.h"
#include "jobs/copy_job.h"
#include "jobs/copy_job_state.h"
#include "platform/code_page_codec.h"
#include "support/service_test_fixture.h"
#include "web/delete_paths.h"
#include "web/folder_tree_model.h"
#include "web/main_window_controls.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

FolderTreeModel& FolderTree() {
  return GetFolderTree();
}

class RemoteTreeTest : public ServiceTest {
 protected:
  // The root item (index 0), as the root listing makes it.
  static int AddRoot() {
    return FolderTree().Add(-1, TextToUtf16("demo的网盘", true), kRootImage, kRootItemData);
  }
  static int AddFolder(int parent, const std::string& utf8Name, bool expanded = false) {
    const int index = FolderTree().Add(parent, Utf16(utf8Name), kFolderImage, kFolderItemData);
    FolderTree().SetExpanded(index, expanded);
    return index;
  }
  static int AddFile(int parent, const std::string& utf8Name) {
    return FolderTree().Add(parent, Utf16(utf8Name), 9, kFileItemData);
  }
  static std::string Utf16(const std::string& utf8) { return CutUtf16AtNul(Utf8TextToUtf16(utf8)); }
  static std::vector<std::string> ChildNames(int index) {
    std::vector<std::string> names;
    for (int child : FolderTree().Children(index)) {
      names.push_back(Utf16ToUtf8(FolderTree().Item(child).textUtf16));
    }
    return names;
  }
  std::vector<RecordedRequest> Listings() const { return RequestsTo("/api/list"); }
  std::vector<RecordedBox> Boxes() const { return m_ui.desktop.Boxes(); }
  std::string Status() const { return m_ui.desktop.StatusText(1); }
  static std::u16string Units(const std::string& utf8) {
    return DecodeToUtf16(utf8, kCodePageUtf8);
  }
  // "err.txt" of the program's folder; empty when missing.
  static std::string ErrTxt() {
    std::ifstream in(FileSystemPathFromText(RunDirectoryPath("err.txt")), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void WaitForListing() {
    while (IsThreadRunning(g_treeListingThread) == 1) {
      std::this_thread::yield();
    }
  }
};

TEST_F(RemoteTreeTest, ListingAddressesFollowTheSortRadios) {
  struct Row {
    const char* radio;  // nullptr: none ticked
    const char* orderAndDesc;
    const char* tail;
  };
  const char* nameTail =
      "&t=0.9227398003716567&channel=chunlei&web=1&app_id=250528&bdstoken=&logid=&clienttype=0";
  const char* timeTail =
      "&t=0.9874196068828893&channel=chunlei&web=1&app_id=250528&bdstoken=&clienttype=0";
  const Row rows[] = {
      {kSortNameAscRadio, "order=name&desc=0", nameTail},
      {kSortNameDescRadio, "order=name&desc=1", nameTail},
      {kSortTimeAscRadio, "order=time&desc=0", timeTail},
      {kSortTimeDescRadio, "order=time&desc=1", timeTail},
      {nullptr, "order=time&desc=1", timeTail},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.orderAndDesc);
    Reset();
    UseTree(RemoteTree::FromPaths({U8(u8"/电影/a b/x.txt")}));
    if (row.radio != nullptr) {
      GetControlStore().SetChecked(row.radio, true);
    }
    const int folder = AddFolder(AddFolder(AddRoot(), U8(u8"电影"), true), "a b");
    ListTreeFolder(folder);
    ASSERT_EQ(Listings().size(), 1u);
    EXPECT_EQ(Listings()[0].target,
              std::string("/api/list?") + row.orderAndDesc +
                  "&showempty=0&web=1&page=1&num=100&dir=%2F%E7%94%B5%E5%BD%B1%2Fa+b" + row.tail);
    EXPECT_EQ(Listings()[0].Header("Cookie").value_or(""), Account().CookieText());
    EXPECT_THAT(ChildNames(folder), ElementsAre("x.txt"));
    EXPECT_TRUE(FolderTree().Item(folder).expanded);
  }
}

TEST_F(RemoteTreeTest, AFolderWhoseNameCodePage936CannotHoldOpens) {
  UseTree(RemoteTree::FromPaths({U8(u8"/한국/😀.mp4"), U8(u8"/한국/sub/")}));
  const int folder = AddFolder(AddRoot(), U8(u8"한국"));
  EXPECT_EQ(TreeFolderDir(folder), "%2F%ED%95%9C%EA%B5%AD");
  ListTreeFolder(folder);
  EXPECT_THAT(ChildNames(folder), ElementsAre("sub", U8(u8"😀.mp4")));
  const std::vector<int> children = FolderTree().Children(folder);
  EXPECT_EQ(FolderTree().Item(children[0]).data, kFolderItemData);
  EXPECT_EQ(FolderTree().Item(children[1]).data, kFileItemData);
  EXPECT_EQ(FolderTree().Item(children[1]).image, 1);
  // One level further down, through the whole name.
  ListTreeFolder(children[0]);
  ASSERT_EQ(Listings().size(), 2u);
  EXPECT_THAT(Listings()[1].target, ::testing::HasSubstr("&dir=%2F%ED%95%9C%EA%B5%AD%2Fsub&"));
}

TEST_F(RemoteTreeTest, PagesOfOneHundred) {
  struct Row {
    int entries;
    std::vector<std::string> pages;
  };
  const Row rows[] = {{99, {"1"}}, {100, {"1", "2"}}, {0, {"1"}}, {230, {"1", "2", "3"}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entries);
    Reset();
    RemoteTree tree;
    tree.AddFolder("/big");
    for (int i = 0; i < row.entries; ++i) {
      tree.AddFile("/big/f" + std::to_string(1000 + i) + ".txt", 1);
    }
    UseTree(tree);
    const int folder = AddFolder(AddRoot(), "big");
    ListTreeFolder(folder);
    std::vector<std::string> pages;
    for (const RecordedRequest& request : Listings()) {
      pages.push_back(request.QueryValue("page").value_or(""));
      EXPECT_EQ(request.QueryValue("num").value_or(""), "100");
    }
    EXPECT_EQ(pages, row.pages);
    EXPECT_EQ(FolderTree().Children(folder).size(), static_cast<size_t>(row.entries));
    EXPECT_EQ(Status(), "获取成功。  本次获取数量：" + std::to_string(row.entries));
    EXPECT_TRUE(FolderTree().Item(folder).expanded);
  }
}

TEST_F(RemoteTreeTest, ListingFailures) {
  struct Row {
    FakeReply reply;
    bool box;
  };
  const std::string other = ErrnoReply(-6);
  const Row rows[] = {
      {FakeReply::Json(GoneReply()), false},
      {FakeReply::Json(other), true},
      {FakeReply::Fault(ReplyFault::kCloseWithoutReply), true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reply.body);
    Reset();
    const int folder = AddFolder(AddRoot(), "docs");
    Fault("list", "/api/list", "", row.reply);
    if (row.box) {
      m_ui.desktop.AnswerNext(kBoxResultOk);
    }
    const size_t marks = Boxes().size();
    ListTreeFolder(folder);
    EXPECT_FALSE(FolderTree().Item(folder).expanded);
    EXPECT_THAT(FolderTree().Children(folder), IsEmpty());
    if (!row.box) {
      EXPECT_EQ(Status(), "当前目录已不存在（已被删除或改名），需要重新刷新。");
      EXPECT_EQ(Boxes().size(), marks);
      continue;
    }
    const std::string reply = row.reply.fault == ReplyFault::kNone ? row.reply.body : "";
    EXPECT_EQ(Listings().size(), reply.empty() ? 2u : 1u);
    EXPECT_EQ(Status(), "获取目录列表时失败：" + reply);
    ASSERT_EQ(Boxes().size(), marks + 1);
    EXPECT_EQ(Boxes().back().caption, "提示：");
    EXPECT_EQ(Boxes().back().text, "获取失败，请重试。\r\n\r\n失败原因：" + reply);
    EXPECT_EQ(Boxes().back().timeoutMs, 15000);
    EXPECT_EQ(Boxes().back().type, kBoxIconInformation);
  }
}

TEST_F(RemoteTreeTest, ACollapsedFolderIsEmptiedAndListedAfreshOnTheNextDoubleClick) {
  const int root = AddRoot();
  const int docs = AddFolder(root, "docs");
  const int file = AddFile(root, "top.txt");
  ListTreeFolder(docs);
  EXPECT_THAT(ChildNames(docs), ElementsAre("keep.txt", "old.txt"));
  ListTreeFolder(docs);  // expanded: nothing happens
  ListTreeFolder(file);  // a file: nothing happens
  ListTreeFolder(root);  // the root: nothing happens
  EXPECT_EQ(Listings().size(), 1u);

  FolderTree().SetExpanded(docs, false);  // the user collapses it
  ListTreeFolder(docs);
  EXPECT_THAT(FolderTree().Children(docs), IsEmpty());
  EXPECT_EQ(Listings().size(), 1u);

  GetControlStore().SetChecked(kSortNameDescRadio, true);
  ListTreeFolder(docs);
  EXPECT_THAT(ChildNames(docs), ElementsAre("old.txt", "keep.txt"));
  ASSERT_EQ(Listings().size(), 2u);
  EXPECT_EQ(Listings()[1].QueryValue("desc").value_or(""), "1");
}

TEST_F(RemoteTreeTest, OneListingAtATimeAndUntickingDoesNotWaitForIt) {
  const int docs = AddFolder(AddRoot(), "docs");
  const int other = AddFile(0, "a.txt");
  FolderTree().SetChecked(other, true);
  std::promise<void> held;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> answered{false};
  Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/api/list") {
      held.set_value();
      released.wait_for(std::chrono::seconds(5));
      answered = true;
    }
    return std::nullopt;
  });
  FolderTree().SetCurrent(docs);
  StartTreeFolderListing();
  held.get_future().wait();

  m_ui.desktop.AnswerNext(kBoxResultOk);
  StartTreeFolderListing();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "当前有获取目录列表的任务，请等待完成后再获取。");
  EXPECT_EQ(Boxes()[0].timeoutMs, 5000);
  EXPECT_EQ(Boxes()[0].type, kBoxIconInformation);

  EXPECT_FALSE(g_viewLock.try_lock());  // the listing holds the view lock
  UntickAllTreeItems();
  EXPECT_FALSE(answered.load());  // returned while the listing still waited
  EXPECT_FALSE(FolderTree().IsChecked(other));
  release.set_value();
  WaitForListing();
  EXPECT_THAT(ChildNames(docs), ElementsAre("keep.txt", "old.txt"));
  EXPECT_EQ(Listings().size(), 1u);
}

TEST_F(RemoteTreeTest, TickOperations) {
  // root(0) / A(1, expanded): f1(2), sub(3, expanded): f3(4); f2(5) / B(6, collapsed): g(7)
  const int root = AddRoot();
  const int a = AddFolder(root, "A", true);
  const int f1 = AddFile(a, "f1");
  const int sub = AddFolder(a, "sub", true);
  const int f3 = AddFile(sub, "f3");
  const int f2 = AddFile(a, "f2");
  const int b = AddFolder(root, "B", false);
  AddFile(b, "g");
  const auto ticks = [&] {
    std::vector<int> ticked;
    for (int i = 0; i <= 7; ++i) {
      if (FolderTree().IsChecked(i)) {
        ticked.push_back(i);
      }
    }
    return ticked;
  };
  struct Refusal {
    int current;
    const char* text;
  };
  const Refusal refusals[] = {
      {-1, "没有选中。"},
      {root, "没有选中。"},
      {f1, "选中的不是目录，不用批量操作。"},
      {b, "选中的目录没有展开子目录，不能批量操作。"},
  };
  for (void (*operation)() : {&TickAllFolderItems, &TickFolderFiles, &TickFolderSubfolders}) {
    for (const Refusal& refusal : refusals) {
      FolderTree().SetCurrent(refusal.current);
      m_ui.desktop.AnswerNext(kBoxResultOk);
      operation();
      EXPECT_EQ(Boxes().back().text, refusal.text);
      EXPECT_EQ(Boxes().back().timeoutMs, 10000);
      EXPECT_THAT(ticks(), IsEmpty());
    }
  }
  FolderTree().SetCurrent(a);
  FolderTree().SetChecked(a, true);
  TickAllFolderItems();
  EXPECT_EQ(ticks(), (std::vector<int>{f1, sub, f3, f2}));

  FolderTree().UncheckAll();
  FolderTree().SetChecked(sub, true);
  TickFolderFiles();
  EXPECT_EQ(ticks(), (std::vector<int>{f1, f2}));

  FolderTree().SetChecked(f3, true);
  TickFolderSubfolders();
  EXPECT_EQ(ticks(), (std::vector<int>{sub, f3}));  // only the direct children change
}

TEST_F(RemoteTreeTest, CopyDestination) {
  const int root = AddRoot();
  const int folder = AddFolder(root, U8(u8"电影"), true);
  const int file = AddFile(folder, "a.mp4");
  struct Row {
    int current;
    bool copyRunning;
    const char* box;  // nullptr: taken
    const char* destination;
  };
  const Row rows[] = {
      {-1, false, "没有选中。", "/old"},
      {file, false, "目标位置不能是文件，必须是目录。", "/old"},
      {folder, true, "当前已有复制任务，不能切换。", "/old"},
      {folder, false, nullptr, "/电影"},
      {root, false, nullptr, "/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.destination);
    GetControlStore().SetText("编辑框_复制到目标位置", "/old");
    GetControlStore().SetEnabled("按钮_开始复制文件", !row.copyRunning);
    FolderTree().SetCurrent(row.current);
    const size_t marks = Boxes().size();
    if (row.box != nullptr) {
      m_ui.desktop.AnswerNext(kBoxResultOk);
    }
    SetCopyDestination();
    EXPECT_EQ(GetControlStore().Text("编辑框_复制到目标位置"), row.destination);
    ASSERT_EQ(Boxes().size(), marks + (row.box != nullptr ? 1 : 0));
    if (row.box != nullptr) {
      EXPECT_EQ(Boxes().back().text, row.box);
      EXPECT_EQ(Boxes().back().type, kBoxIconWarning);
      EXPECT_EQ(Boxes().back().timeoutMs, 0);
    }
  }
}

// Names that code page 936 cannot hold, as sources and destinations of the
// menu's copy and as the archive's folder: the box shows each name whole, the
// copy lands, the archive files it, and nothing fails.
TEST_F(RemoteTreeTest, CopyAndArchiveFromTheMenuKeepEveryCharacter) {
  struct Row {
    const char* name;
    std::string file;    // copied beside "plain.txt"
    std::string stem;    // its archive folder
    std::string folder;  // the destination, then archived
  };
  const Row rows[] = {
      {"emoji", U8(u8"文件0000 😀.txt"), U8(u8"文件0000 😀"), U8(u8"😀 夹")},
      {"Hangul", U8(u8"한국어.txt"), U8(u8"한국어"), U8(u8"한국 폴더")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    ZeroCopyJobState();
    g_copySources.clear();
    UseTree(RemoteTree::FromPaths(
        {"/src/" + row.file + ":3", "/src/plain.txt:4", "/" + row.folder + "/"}));
    ControlStore& store = GetControlStore();
    store.SetChecked(kCopyDestinationOnlyRadio, true);
    const int source = AddFolder(AddRoot(), "src", true);
    const int file = AddFile(source, row.file);
    const int plain = AddFile(source, "plain.txt");
    const int folder = AddFolder(0, row.folder);

    FolderTree().SetCurrent(file);
    OnAddCopySourceSelected();  // the first source: nothing asked
    FolderTree().SetCurrent(plain);
    m_ui.desktop.AnswerNext(kBoxResultYes);
    OnAddCopySourceSelected();
    FolderTree().SetCurrent(folder);
    SetCopyDestination();
    EXPECT_EQ(DecodeEscapesBeyondCodePage(store.Text(kCopySourcesEdit)),
              Units("[\"/src/" + row.file + "\",\"/src/plain.txt\"]"));
    EXPECT_EQ(DecodeEscapesBeyondCodePage(store.Text(kCopyDestinationEdit)),
              Units("/" + row.folder));

    m_ui.desktop.AnswerNext(kBoxResultOk);  // the notice
    m_ui.desktop.AnswerNext(kBoxResultOk);  // "复制任务完成。"
    ThreadHandle copy = OnStartCopyClicked();
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsThreadRunning(copy) == 0; }, 30000));
    EXPECT_EQ(g_copiedCount.load(), 1);
    EXPECT_EQ(g_copyFailedCount.load(), 0);
    EXPECT_EQ(m_ui.desktop.StatusUnicode(1),
              u"复制成功：1  失败数：0  重命名数：0  复制任务已完成！！！");

    FolderTree().SetCurrent(folder);
    m_ui.desktop.AnswerNext(kBoxResultYes);
    m_ui.desktop.AnswerNext(kBoxResultOk);  // the summary
    ThreadHandle archive = OnArchiveClicked();
    ASSERT_NE(archive, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsThreadRunning(archive) == 0; }, 30000));
    EXPECT_EQ(Boxes().back().text, "归档处理已完成。\r\n\r\n归档成功数量：2   归档失败数量：0");
    EXPECT_EQ(Tree(),
              RemoteTree::FromPaths({"/src/" + row.file + ":3", "/src/plain.txt:4",
                                     "/" + row.folder + "/" + row.stem + "/" + row.file + ":3",
                                     "/" + row.folder + "/plain/plain.txt:4"}));
    EXPECT_EQ(ErrTxt(), "");
  }
}

TEST_F(RemoteTreeTest, CopyingANodeNamePutsTheSelectedItemsTextOnTheClipboard) {
  const int root = AddRoot();
  const int folder = AddFolder(root, U8(u8"电影"), true);
  const int file = AddFile(folder, "a b.mp4");
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  FolderTree().SetCurrent(-1);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  CopySelectedNodeName();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "提示：");
  EXPECT_EQ(Boxes()[0].text, "没有选中。");
  EXPECT_EQ(Boxes()[0].timeoutMs, 10000);
  EXPECT_EQ(Boxes()[0].type, kBoxIconInformation);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
  const std::pair<int, QString> rows[] = {
      {file, QStringLiteral("a b.mp4")},
      {folder, QString::fromUtf8(u8"电影")},
      {root, QString::fromUtf8(u8"demo的网盘")},  // the root item too
  };
  for (const auto& [current, text] : rows) {
    FolderTree().SetCurrent(current);
    CopySelectedNodeName();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
  }
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(RemoteTreeTest, DeletionOutcomes) {
  struct Row {
    const char* name;
    std::optional<FakeReply> reply;  // none: the emulator's own answer
    std::string text;
    int type;
  };
  const std::string failure = ErrnoReply(2);
  const std::string errmsg = "{\"errno\":132,\"errmsg\":\"need verify\",\"request_id\":7}";
  const Row rows[] = {
      {"busy", FakeReply::Json(ItemReply(111, "/docs/old.txt")), "当前有未完成的删除任务。",
       kBoxIconInformation},
      {"done", std::nullopt, "删除成功，如果文件夹下文件数量过多，要等一会才会全部删除完成。",
       kBoxIconInformation},
      {"identity", FakeReply::Json(IdentityReply()),
       "删除失败，需要手机验证码。\r\n\r\n是否打开处理教程？", kBoxYesNo | kBoxIconError},
      {"identity with errmsg", FakeReply::Json(errmsg),
       "删除失败，需要手机验证码。\r\n\r\n是否打开处理教程？", kBoxYesNo | kBoxIconError},
      {"other", FakeReply::Json(failure), "删除失败了，" + failure, kBoxIconError},
      {"empty", FakeReply::Fault(ReplyFault::kCloseWithoutReply), "删除失败了，", kBoxIconError},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    const int docs = AddFolder(AddRoot(), "docs", true);
    AddFile(docs, "keep.txt");
    FolderTree().SetCurrent(AddFile(docs, "old.txt"));
    if (row.reply) {
      Fault("delete", "/api/filemanager", "opera=delete", *row.reply);
    }
    m_ui.desktop.AnswerNext(kBoxResultYes);
    m_ui.desktop.AnswerNext((row.type & kBoxYesNo) != 0 ? kBoxResultYes : kBoxResultOk);
    const size_t marks = Boxes().size();
    DeleteRemoteItem();
    ASSERT_EQ(Boxes().size(), marks + 2);
    const RecordedBox question = Boxes()[marks];
    EXPECT_EQ(question.caption, "操作确认：");
    EXPECT_EQ(question.text, "确定从网盘删除：\r\n\r\n/docs/old.txt");
    EXPECT_EQ(question.type, kBoxYesNo | kBoxIconWarning);
    EXPECT_EQ(question.timeoutMs, 20000);
    EXPECT_EQ(Boxes().back().caption, "提示：");
    EXPECT_EQ(Boxes().back().text, row.text);
    EXPECT_EQ(Boxes().back().type, row.type);
    EXPECT_EQ(Boxes().back().timeoutMs, 20000);
    const std::vector<RecordedRequest> requests = RequestsTo("/api/filemanager");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target,
              "/api/filemanager?opera=delete&async=2&onnest=fail&channel=chunlei&web=1&app_id="
              "250528&bdstoken=" +
                  Account().bdstoken + "&logid=" + MakeLogIdFromBaiduId() + "&clienttype=0");
    EXPECT_EQ(requests[0].body, "filelist=%5B%22%2Fdocs%2Fold.txt%22%5D");
    EXPECT_EQ(FolderTree().Children(docs).size(), 2u);  // the tree is not changed
  }
  EXPECT_THAT(m_ui.desktop.OpenedTargets(),
              ElementsAre(IdentityCheckTutorialUrl(), IdentityCheckTutorialUrl()));
  EXPECT_EQ(FolderTree().Item(0).data, kRootItemData);
}

TEST_F(RemoteTreeTest, DeletionIsRefusedForTheRootAndAfterATimedOutQuestion) {
  const int root = AddRoot();
  const int docs = AddFolder(root, "docs", true);
  for (int current : {-1, root}) {
    FolderTree().SetCurrent(current);
    m_ui.desktop.AnswerNext(kBoxResultOk);
    StartRemoteItemDeletion();
    EXPECT_EQ(Boxes().back().caption, "信息：");
    EXPECT_EQ(Boxes().back().text, "没有选中");
  }
  FolderTree().SetCurrent(docs);
  m_ui.desktop.AnswerNext(kBoxResultTimedOut);
  DeleteRemoteItem();
  EXPECT_EQ(Boxes().back().text, "确定从网盘删除：\r\n\r\n/docs");
  EXPECT_THAT(RequestsTo("/api/filemanager"), IsEmpty());
  EXPECT_NE(Tree().Find("/docs/old.txt"), nullptr);
}

TEST_F(RemoteTreeTest, DeletionWithoutABdstokenSendsNothingAndAsksForASignIn) {
  // The session check found no token (the service no longer accepts the sign-in).
  SetAccountSession({"demo", Account().CookieText(), ""});
  FolderTree().SetCurrent(AddFile(AddFolder(AddRoot(), "docs", true), "old.txt"));
  m_ui.desktop.AnswerNext(kBoxResultOk);
  DeleteRemoteItem();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes().back().text, kSignInAgainNotice);
  EXPECT_THAT(RequestsTo("/api/filemanager"), IsEmpty());
  EXPECT_NE(Tree().Find("/docs/old.txt"), nullptr);
}

TEST_F(RemoteTreeTest, APathWithAQuoteAndABackslashNamesExactlyThatItem) {
  UseTree(RemoteTree::FromPaths({"/q\"x\\y.txt", "/q", "/keep.txt"}));
  FolderTree().SetCurrent(AddFile(AddRoot(), "q\"x\\y.txt"));
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  DeleteRemoteItem();
  const std::vector<RecordedRequest> requests = RequestsTo("/api/filemanager");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(UrlDecodeText(requests[0].body), "filelist=[\"/q\\\"x\\\\y.txt\"]");
  EXPECT_EQ(Tree().Find("/q\"x\\y.txt"), nullptr);
  EXPECT_NE(Tree().Find("/q"), nullptr);
  EXPECT_NE(Tree().Find("/keep.txt"), nullptr);
}

}  // namespace
