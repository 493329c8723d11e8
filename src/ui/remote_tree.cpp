#include "ui/remote_tree.h"

#include <QClipboard>
#include <QGuiApplication>
#include <mutex>

#include "data/json_document.h"
#include "data/json_writer.h"
#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/shell_open.h"
#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/unicode_notation.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "platform/code_page_codec.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "ui/main_window.h"
#include "ui/own_thread.h"
#include "web/account_session.h"
#include "web/delete_paths.h"
#include "web/folder_listing.h"
#include "web/folder_tree_model.h"
#include "web/http_request.h"
#include "web/main_window_controls.h"
#include "web/remote_tree_paths.h"
#include "web/service_conventions.h"

ThreadHandle g_treeListingThread;

namespace {

constexpr int kTreePageSize = 100;
constexpr int kListingAttempts = 2;
constexpr int kListingTimeoutSeconds = 5;
constexpr int kDeleteTimeoutSeconds = 5;
constexpr int kTickBoxMs = 10000;
constexpr int kDeleteBoxMs = 20000;
constexpr const char* kCopyDestinationEdit = "编辑框_复制到目标位置";
constexpr const char* kStartCopyButton = "按钮_开始复制文件";

FolderTreeModel& Tree() {
  return GetFolderTree();
}

// The tick operations' common checks on the current item; the folder's index
// or -1 after the box that ends the operation.
int TickableFolder() {
  const int current = Tree().Current();
  const FolderTreeItem item = Tree().Item(current);
  const char* refusal = nullptr;
  if (current < 0 || item.data == kRootItemData) {
    refusal = "没有选中。";
  } else if (item.data == kFileItemData) {
    refusal = "选中的不是目录，不用批量操作。";
  } else if (!item.expanded) {
    refusal = "选中的目录没有展开子目录，不能批量操作。";
  }
  if (refusal != nullptr) {
    ShowTimedMessageBox("提示：", refusal, kTickBoxMs, kBoxIconInformation);
    return -1;
  }
  return current;
}

// Ticks the folder's direct children whose item data is `tickedData`, unticks
// the others.
void TickChildren(int tickedData) {
  const int folder = TickableFolder();
  if (folder < 0) {
    return;
  }
  const std::vector<int> children = Tree().Children(folder);
  if (children.empty()) {
    return;
  }
  std::lock_guard view(g_viewLock);
  for (int child : children) {
    Tree().SetChecked(child, Tree().Item(child).data == tickedData);
    PumpMessages();
  }
}

std::string SendListingPage(const std::string& cookies, const std::string& dir, int page) {
  std::string reply;
  for (int attempt = 1; attempt <= kListingAttempts && reply.empty(); ++attempt) {
    std::string cookieText = cookies;
    reply = SendHttpRequest(ServiceUrl(TreeListingQuery(dir, page)),
                            {.cookies = &cookieText, .timeoutSeconds = kListingTimeoutSeconds});
  }
  return reply;
}

// Adds a page's entries under `folder`; returns their number.
int AddListedEntries(const std::string& reply, int folder) {
  JsonDocument document;
  ParseListingReply(document, reply);
  const int count = document.GetCount("list");
  for (int i = 0; i < count; ++i) {
    const std::string prefix = "list[" + std::to_string(i) + "].";
    const std::string name = document.GetText(prefix + "server_filename");
    const bool isFolder = document.GetText(prefix + "isdir") == "1";
    Tree().Add(folder, CutUtf16AtNul(DecodeUnicodeEscapes(name)),
               isFolder ? kFolderImage : GetFileIconIndex(name),
               isFolder ? kFolderItemData : kFileItemData);
    PumpMessages();
  }
  return count;
}

}  // namespace

std::string TreeFolderDir(int index) {
  std::string dir;
  for (int i = index; i >= 1;) {
    const FolderTreeItem item = Tree().Item(i);
    dir = "%2F" + UrlEncodeBytes(Utf16ToUtf8(item.textUtf16), 1) + dir;
    const int parent = item.parent;
    if (parent < 1 || Tree().Item(parent).data == kRootItemData) {
      break;
    }
    i = parent;
  }
  return dir;
}

std::string TreeListingQuery(const std::string& dir, int page) {
  const ControlStore& store = GetControlStore();
  const bool byName = store.Checked(kSortNameAscRadio) || store.Checked(kSortNameDescRadio);
  const ListingSortOrder sort = ReadListingSortOrder();
  const char* tail =
      byName ? "&t=0.9227398003716567&channel=chunlei&web=1&app_id=250528&bdstoken=&logid=&"
               "clienttype=0"
             : "&t=0.9874196068828893&channel=chunlei&web=1&app_id=250528&bdstoken=&clienttype=0";
  return "/api/list?order=" + sort.order + "&desc=" + sort.desc +
         "&showempty=0&web=1&page=" + std::to_string(page) +
         "&num=" + std::to_string(kTreePageSize) + "&dir=" + dir + tail;
}

void StartTreeFolderListing() {
  if (g_treeListingThread != nullptr && IsThreadRunning(g_treeListingThread) == 1) {
    ShowTimedMessageBox("提示：", "当前有获取目录列表的任务，请等待完成后再获取。", 5000,
                        kBoxIconInformation);
    return;
  }
  g_treeListingThread =
      StartThreadWithTexts([](int index, const std::string&, const std::string&, const std::string&,
                              const std::string&) { ListTreeFolder(index); },
                           Tree().Current(), "-1", "");
}

void ListTreeFolder(int index) {
  std::unique_lock view(g_viewLock);
  const FolderTreeItem item = Tree().Item(index);
  if (!Tree().Exists(index) || item.data != kFolderItemData) {
    return;
  }
  if (!Tree().Children(index).empty()) {
    if (!item.expanded) {
      Tree().RemoveChildren(index);
      PumpMessages();
    }
    return;
  }
  const std::string dir = TreeFolderDir(index);
  const std::string cookies = GetAccountSession().cookies;
  ShowStatusText("获取中");
  int total = 0;
  for (int page = 1;; ++page) {
    ShowStatusText("正在获取第 " + std::to_string(page) + " 页");
    const std::string reply = SendListingPage(cookies, dir, page);
    if (FindText(reply, "{\"errno\":-9,") != -1) {
      ShowStatusText("当前目录已不存在（已被删除或改名），需要重新刷新。");
      return;
    }
    if (FindText(reply, "{\"errno\":0,") == -1) {
      ShowStatusText("获取目录列表时失败：" + reply);
      view.unlock();
      ShowTimedMessageBox("提示：", "获取失败，请重试。\r\n\r\n失败原因：" + reply, 15000,
                          kBoxIconInformation);
      return;
    }
    const int count = AddListedEntries(reply, index);
    total += count;
    if (count < kTreePageSize) {
      break;
    }
  }
  Tree().Expand(index);
  if (GetControlStore().Enabled(kRefreshButton)) {
    ShowStatusText("获取成功。  本次获取数量：" + std::to_string(total));
  }
}

void StartRootFolderRefresh() {
  StartOnOwnThread([] { LoadRootFolderTree(0); });
}

void TickAllFolderItems() {
  const int folder = TickableFolder();
  if (folder < 0) {
    return;
  }
  std::lock_guard view(g_viewLock);
  Tree().SetDescendantsChecked(folder, true);
  Tree().SetChecked(folder, false);
}

void TickFolderFiles() {
  TickChildren(kFileItemData);
}

void TickFolderSubfolders() {
  TickChildren(kFolderItemData);
}

void UntickAllTreeItems() {
  Tree().UncheckAll();
}

void CopySelectedNodeName() {
  const int current = Tree().Current();
  if (current < 0) {
    ShowTimedMessageBox("提示：", "没有选中。", kTickBoxMs, kBoxIconInformation);
    return;
  }
  const std::u16string name = LeBytesToUtf16(Tree().Item(current).textUtf16);
  QGuiApplication::clipboard()->setText(
      QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size())));
}

void SetCopyDestination() {
  if (Tree().Current() < 0) {
    ShowTimedMessageBox("提示：", "没有选中。", 0, kBoxIconWarning);
    return;
  }
  ControlStore& store = GetControlStore();
  if (!store.Enabled(kStartCopyButton)) {
    ShowTimedMessageBox("提示：", "当前已有复制任务，不能切换。", 0, kBoxIconWarning);
    return;
  }
  int isFolder = 0;
  const std::string path = GetRemoteTreeNodePath(isFolder, 0);
  if (isFolder != 1) {
    ShowTimedMessageBox("提示：", "目标位置不能是文件，必须是目录。", 0, kBoxIconWarning);
    return;
  }
  store.SetText(kCopyDestinationEdit, path);
}

void StartRemoteItemDeletion() {
  const int current = Tree().Current();
  if (current < 0 || Tree().Item(current).data == kRootItemData) {
    ShowPlainMessageBox("没有选中");
    return;
  }
  StartOnOwnThread([] { DeleteRemoteItem(); });
}

std::string DeleteItemBody(const std::string& utf8Path) {
  std::u16string array = u"[\"";
  EscapeJsonString(DecodeToUtf16(utf8Path, kCodePageUtf8), array);
  array += u"\"]";
  return "filelist=" + PercentEncodeBytes(EncodeFromUtf16(array, kCodePageUtf8), true);
}

void DeleteRemoteItem() {
  const AccountSession session = GetAccountSession();
  const int item = Tree().Current();
  int isFolder = 0;
  const std::string path = item < 1 ? std::string() : GetRemoteTreeNodePath(isFolder, item);
  const std::string utf8Path = item < 1 ? std::string() : GetRemoteTreeNodePathUtf8(isFolder, item);
  if (path.empty() || path == "/") {
    ShowPlainMessageBox("没有选中");  // the selection moved to nothing or to the root meanwhile
    return;
  }
  if (!CanSendFileOperations(session)) {
    ShowTimedMessageBox("提示：", kSignInAgainNotice, kDeleteBoxMs, kBoxIconWarning);
    return;
  }
  const std::string question =
      TextToUtf16("确定从网盘删除：\r\n\r\n", true) + CutUtf16AtNul(Utf8TextToUtf16(utf8Path));
  if (ShowTimedMessageBoxUtf16("操作确认：", question, kDeleteBoxMs, kBoxYesNo | kBoxIconWarning) !=
      kBoxResultYes) {
    return;
  }
  std::string cookies = session.cookies;
  const std::string url = ServiceUrl(
      "/api/filemanager?opera=delete&async=2&onnest=fail&channel=chunlei&web=1&app_id=250528&"
      "bdstoken=" +
      session.bdstoken + "&logid=" + MakeLogIdFromCookies(cookies) + "&clienttype=0");
  const std::string reply = SendHttpRequest(url, {.method = kHttpPost,
                                                  .body = DeleteItemBody(utf8Path),
                                                  .cookies = &cookies,
                                                  .timeoutSeconds = kDeleteTimeoutSeconds});
  if (!TextBetweenMarkers(reply, "{\"errno\":12,\"info\":[{\"errno\":111,\"path\":\"", "\"")
           .empty()) {
    ShowTimedMessageBox("提示：", "当前有未完成的删除任务。", kDeleteBoxMs, kBoxIconInformation);
  } else if (FindText(reply, "\"errno\":0,\"info\":[],\"request_id") != -1) {
    ShowTimedMessageBox("提示：", "删除成功，如果文件夹下文件数量过多，要等一会才会全部删除完成。",
                        kDeleteBoxMs, kBoxIconInformation);
  } else if (FindText(reply, "{\"errno\":132,") != -1) {
    if (ShowTimedMessageBox("提示：", "删除失败，需要手机验证码。\r\n\r\n是否打开处理教程？",
                            kDeleteBoxMs, kBoxYesNo | kBoxIconError) == kBoxResultYes) {
      OpenWebPage(IdentityCheckTutorialUrl());
    }
  } else {
    ShowTimedMessageBox("提示：", "删除失败了，" + reply, kDeleteBoxMs, kBoxIconError);
  }
}

void MainWindow::RefreshRootFolder() {
  StartRootFolderRefresh();
}
