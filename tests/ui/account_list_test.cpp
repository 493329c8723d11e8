// The account list's operations against the service emulator: adding from a
// pasted or handed-over cookie text, updating, verifying, deleting rows and
// the quota query.

#include "ui/account_list.h"

#include <QClipboard>
#include <QGuiApplication>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include "fakeservice/service_replies.h"
#include "foundation/byte_size.h"
#include "foundation/shared_locks.h"
#include "foundation/text_encodings.h"
#include "foundation/wait_until.h"
#include "support/service_test_fixture.h"
#include "ui/account_list_rows.h"
#include "web/main_window_controls.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr const char* kCookieEdit = "编辑框_百度cookies";

class AccountListTest : public ServiceTest {
 protected:
  static std::string Cookies(const std::string& user) { return Service().Model().CookieText(user); }
  static void AddServiceAccount(const std::string& user) {
    Service().Model().AddAccount(FakeAccount::Make(user));
  }
  static void Select(int row) { GetControlStore().SetSelection(kAccountList, row); }
  std::vector<RecordedBox> Boxes() const { return m_ui.desktop.Boxes(); }
  static void WaitForThread(const ThreadHandle& thread) {
    ASSERT_NE(thread, nullptr);
    while (IsThreadRunning(thread) == 1) {
      std::this_thread::yield();
    }
  }
};

TEST_F(AccountListTest, PastedTextsAreCheckedBeforeAnyRequest) {
  struct Row {
    const char* text;
    const char* box;  // nullptr: accepted
    int type;
    std::int64_t timeoutMs;
  };
  const Row rows[] = {
      {"", "请填入要添加的帐号的cookies", kBoxIconInformation, 5000},
      {"BDUSS=abc; other=1", "请填入正确的百度帐号cookies，或填入的不完整。\r\n\r\n是否打开教程？",
       kBoxYesNo | kBoxIconWarning, 10000},
      {"stoken=1", "请填入正确的百度帐号cookies，或填入的不完整。\r\n\r\n是否打开教程？",
       kBoxYesNo | kBoxIconWarning, 10000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    Reset();
    GetControlStore().SetText(kCookieEdit, row.text);
    m_ui.desktop.AnswerNext((row.type & kBoxYesNo) != 0 ? kBoxResultYes : kBoxResultOk);
    const size_t mark = Boxes().size();
    AddAccountFromPastedCookies();
    ASSERT_EQ(Boxes().size(), mark + 1);
    const RecordedBox box = Boxes().back();
    EXPECT_EQ(box.caption, "提示：");
    EXPECT_EQ(box.text, row.box);
    EXPECT_EQ(box.type, row.type);
    EXPECT_EQ(box.timeoutMs, row.timeoutMs);
    EXPECT_TRUE(Service().Requests().empty());
  }
  EXPECT_THAT(m_ui.desktop.OpenedTargets(),
              ::testing::ElementsAre("https://update.test/help/account-cookies.html",
                                     "https://update.test/help/account-cookies.html"));
}

TEST_F(AccountListTest, PastedCookiesInCapitalsAddANewRow) {
  GetControlStore().SetText(kCookieEdit, Account().CookieText());  // BDUSS=...; STOKEN=...
  m_ui.desktop.AnswerNext(kBoxResultOk);
  WaitForThread(AddAccountFromPastedCookies());  // the add runs on a thread of its own
  const std::vector<AccountRow> rows = ReadAccountRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].number, "1");
  EXPECT_EQ(rows[0].user, "demo");
  EXPECT_EQ(rows[0].status, "刚添加");
  EXPECT_EQ(rows[0].cookies, Account().CookieText());
  EXPECT_EQ(rows[0].uk, Account().uk);
  EXPECT_EQ(GetControlStore().Text(kCookieEdit), "");
  EXPECT_EQ(m_ui.desktop.StatusText(1), "cookies添加成功");
  EXPECT_EQ(Boxes().back().caption, "信息：");
  EXPECT_EQ(Boxes().back().text,
            "添加成功，如果需要软件下次自动导入此cookies，请点击 保存帐号列表 按钮。");
}

TEST_F(AccountListTest, APastedTextWithATrailingTabIsCheckedAndAddedWithItsUk) {
  std::mutex mutex;
  std::vector<std::string> cookieHeaders;
  std::vector<std::string> statusLines;
  Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
    std::lock_guard lock(mutex);
    cookieHeaders.push_back(request.Header("Cookie").value_or(""));
    statusLines.push_back(m_ui.desktop.StatusText(1));
    return std::nullopt;
  });
  GetControlStore().SetText(kCookieEdit, Account().CookieText() + "\t");  // copied from a table
  m_ui.desktop.AnswerNext(kBoxResultOk);
  WaitForThread(AddAccountFromPastedCookies());
  const std::vector<AccountRow> rows = ReadAccountRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].user, "demo");
  EXPECT_EQ(rows[0].status, "刚添加");
  EXPECT_EQ(rows[0].cookies, Account().CookieText());
  EXPECT_EQ(rows[0].uk, Account().uk);
  EXPECT_FALSE(rows[0].uk.empty());
  std::lock_guard lock(mutex);
  ASSERT_FALSE(cookieHeaders.empty());
  for (size_t i = 0; i < cookieHeaders.size(); ++i) {
    EXPECT_EQ(cookieHeaders[i], Account().CookieText());
    EXPECT_EQ(statusLines[i], "正在验证cookies有效性");  // shown before the first request
  }
  EXPECT_EQ(m_ui.desktop.StatusText(1), "cookies添加成功");
}

// Cookie tools export one pair per line: a line break or tab between two pairs
// separates them as "; " does, one inside a value is dropped. Either way the
// text signs in and the row holds the pairs as the service set them.
TEST_F(AccountListTest, APastedTextWithOnePairPerLineSignsIn) {
  const FakeAccount& account = Account();
  const std::string bdussHead = account.bduss.substr(0, account.bduss.find('~'));
  const std::string bdussTail = account.bduss.substr(bdussHead.size());
  struct Row {
    const char* name;
    std::string pasted;
  };
  const Row rows[] = {
      {"line feeds", "BAIDUID=" + account.baiduid + "\nBDUSS=" + account.bduss +
                         "\nSTOKEN=" + account.stoken + "\n"},
      {"CR LF and a blank line", "BAIDUID=" + account.baiduid + "\r\n\r\nBDUSS=" + account.bduss +
                                     "\r\nSTOKEN=" + account.stoken},
      {"tabs with blanks around them",
       "BAIDUID=" + account.baiduid + " \t BDUSS=" + account.bduss + "\tSTOKEN=" + account.stoken},
      {"a line break inside a value as well", "BAIDUID=" + account.baiduid +
                                                  "\nBDUSS=" + bdussHead + "\n" + bdussTail +
                                                  "\nSTOKEN=" + account.stoken},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    std::mutex mutex;
    std::vector<std::string> cookieHeaders;
    Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
      std::lock_guard lock(mutex);
      cookieHeaders.push_back(request.Header("Cookie").value_or(""));
      return std::nullopt;
    });
    GetControlStore().SetText(kCookieEdit, row.pasted);
    m_ui.desktop.AnswerNext(kBoxResultOk);
    WaitForThread(AddAccountFromPastedCookies());
    Service().ClearHook();
    const std::vector<AccountRow> added = ReadAccountRows();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].user, "demo");
    EXPECT_EQ(added[0].cookies, account.CookieText());
    EXPECT_EQ(added[0].uk, account.uk);
    EXPECT_EQ(m_ui.desktop.StatusText(1), "cookies添加成功");
    std::lock_guard lock(mutex);
    ASSERT_FALSE(cookieHeaders.empty());
    for (const std::string& header : cookieHeaders) {
      EXPECT_EQ(header, account.CookieText());
    }
  }
}

TEST_F(AccountListTest, AnExistingUserIsUpdatedOnlyAfterYes) {
  AddServiceAccount("alice");
  ReplaceAccountRows({{"", "alice", "有效", "BDUSS=old; STOKEN=old", "1"},
                      {"", "demo", "从记录导入", "BDUSS=stale; STOKEN=stale", ""}});
  GetControlStore().SetText(kCookieEdit, "kept");

  m_ui.desktop.AnswerNext(kBoxResultNo);
  AddOrUpdateAccountFromCookies(Account().CookieText());
  EXPECT_EQ(Boxes().back().text, "当前用户 demo 已存在列表中，是否更新记录？");
  EXPECT_EQ(Boxes().back().type, kBoxYesNo);
  EXPECT_EQ(ReadAccountRows()[1].cookies, "BDUSS=stale; STOKEN=stale");
  EXPECT_EQ(GetControlStore().Text(kCookieEdit), "kept");

  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  AddOrUpdateAccountFromCookies(Account().CookieText());
  const std::vector<AccountRow> rows = ReadAccountRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].cookies, "BDUSS=old; STOKEN=old");
  EXPECT_EQ(rows[1].number, "2");
  EXPECT_EQ(rows[1].status, "刚更新");
  EXPECT_EQ(rows[1].cookies, Account().CookieText());
  EXPECT_EQ(rows[1].uk, Account().uk);
  EXPECT_EQ(GetControlStore().Text(kCookieEdit), "");
  EXPECT_EQ(m_ui.desktop.StatusText(1), "cookies更新成功");
  EXPECT_EQ(Boxes().back().text,
            "更新成功，如果需要软件下次自动导入此cookies，请点击 保存帐号列表 按钮。");
}

TEST_F(AccountListTest, AHomePageWithABareUkAndAnEscapedNameFillsBothColumns) {
  ModelOptions options;
  options.numericUkEscapedName = true;
  Service().Model().SetOptions(options);
  AddServiceAccount(U8(u8"张三"));
  m_ui.desktop.AnswerNext(kBoxResultOk);
  AddOrUpdateAccountFromCookies(Cookies(U8(u8"张三")));
  ASSERT_EQ(ReadAccountRows().size(), 1u);
  EXPECT_EQ(ReadAccountRows()[0].user, "张三");
  EXPECT_EQ(ReadAccountRows()[0].uk, Service().Model().Account(U8(u8"张三"))->uk);
  EXPECT_FALSE(ReadAccountRows()[0].uk.empty());
}

TEST_F(AccountListTest, ARevokedTextLeavesTheListAlone) {
  const std::string cookies = Account().CookieText();
  Service().Model().RevokeAccount("demo");
  ReplaceAccountRows({{"", "other", "有效", "BDUSS=o", ""}});
  AddOrUpdateAccountFromCookies(cookies);
  ASSERT_EQ(ReadAccountRows().size(), 1u);
  EXPECT_EQ(ReadAccountRows()[0].user, "other");
  EXPECT_THAT(m_ui.desktop.StatusText(1),
              StartsWith("获取用户名失败，可能是cookies失效，或百度网盘已更新。"));
  EXPECT_THAT(m_ui.desktop.StatusText(1), HasSubstr("800066888"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AccountListTest, TwoConcurrentAddsOfOneNewUserGiveOneRow) {
  // Both session checks are held until both have arrived, so both adds look
  // the user up at about the same moment.
  std::mutex mutex;
  std::condition_variable arrived;
  int waiting = 0;
  Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/") {
      std::unique_lock lock(mutex);
      ++waiting;
      arrived.notify_all();
      arrived.wait_for(lock, std::chrono::seconds(5), [&] { return waiting >= 2; });
    }
    return std::nullopt;
  });
  // One success box and one update question, in either order; neither
  // answer is Yes.
  m_ui.desktop.AnswerNext(kBoxResultNo);
  m_ui.desktop.AnswerNext(kBoxResultNo);
  const std::string cookies = Account().CookieText();
  std::thread first([&] { AddOrUpdateAccountFromCookies(cookies); });
  std::thread second([&] { AddOrUpdateAccountFromCookies(cookies); });
  first.join();
  second.join();
  ASSERT_EQ(ReadAccountRows().size(), 1u);
  int questions = 0;
  for (const RecordedBox& box : Boxes()) {
    questions += box.text == "当前用户 demo 已存在列表中，是否更新记录？" ? 1 : 0;
  }
  EXPECT_EQ(questions, 1);
}

TEST_F(AccountListTest, VerificationWritesTheOutcomeIntoEachRow) {
  AddServiceAccount("alice");
  const std::string aliceCookies = Cookies("alice");
  Service().Model().RevokeAccount("alice");
  ReplaceAccountRows({{"", "old-demo", "从记录导入", Account().CookieText(), ""},
                      {"", "alice-as-stored", "有效", aliceCookies, "5"}});
  m_ui.desktop.AnswerNext(kBoxResultOk);
  VerifyAllAccounts();
  const std::vector<AccountRow> rows = ReadAccountRows();
  EXPECT_EQ(rows[0].user, "demo");
  EXPECT_EQ(rows[0].status, "有效");
  EXPECT_EQ(rows[0].uk, "");                   // columns 3 and 4 stay
  EXPECT_EQ(rows[1].user, "alice-as-stored");  // the name is kept as it was
  EXPECT_EQ(rows[1].status, "已失效");
  EXPECT_EQ(rows[1].uk, "5");
  EXPECT_EQ(Boxes().back().text, "全部验证完成。");

  Select(0);
  Service().Model().RevokeAccount("demo");
  VerifySelectedAccount();
  EXPECT_EQ(ReadAccountRows()[0].status, "已失效");
  EXPECT_EQ(ReadAccountRows()[0].user, "demo");
}

TEST_F(AccountListTest, AVerificationHoldsTheViewLockAndShowsItsStatusAcrossItsRequests) {
  struct Row {
    const char* name;
    void (*verify)();
    std::vector<std::string> checkedUsers;
    bool endBox;  // "全部验证完成。"
  };
  const Row rows[] = {
      {"the selected row", &VerifySelectedAccount, {"alice"}, false},
      {"every row, without leaving the lock between them",
       &VerifyAllAccounts,
       {"demo", "alice"},
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    AddServiceAccount("alice");
    ReplaceAccountRows({{"", "demo", "从记录导入", Account().CookieText(), ""},
                        {"", "alice", "从记录导入", Cookies("alice"), ""}});
    Select(1);
    // Each request notes whether another thread holds the view lock, and the
    // status of the row whose cookies it carries.
    std::mutex mutex;
    std::vector<std::string> seen;
    Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
      const bool lockHeld = !g_viewLock.try_lock();
      if (!lockHeld) {
        g_viewLock.unlock();
      }
      const std::string cookie = request.Header("Cookie").value_or("");
      for (const AccountRow& listed : ReadAccountRows()) {
        if (listed.cookies == cookie) {
          std::lock_guard lock(mutex);
          seen.push_back(listed.user + (lockHeld ? " locked " : " unlocked ") + listed.status);
        }
      }
      return std::nullopt;
    });
    if (row.endBox) {
      m_ui.desktop.AnswerNext(kBoxResultOk);
    }
    std::thread verification(row.verify);
    verification.join();
    std::vector<std::string> expected;
    for (const std::string& user : row.checkedUsers) {
      expected.push_back(user + " locked 验证中");
    }
    std::lock_guard lock(mutex);
    std::vector<std::string> distinct;
    for (const std::string& entry : seen) {
      if (distinct.empty() || distinct.back() != entry) {
        distinct.push_back(entry);
      }
    }
    EXPECT_EQ(distinct, expected);  // every request, in the order of the rows
    EXPECT_TRUE(g_viewLock.try_lock());
    g_viewLock.unlock();
    for (const std::string& user : row.checkedUsers) {
      for (const AccountRow& listed : ReadAccountRows()) {
        if (listed.user == user) {
          EXPECT_EQ(listed.status, "有效");
        }
      }
    }
  }
}

TEST_F(AccountListTest, SwitchingMakesTheSelectedRowTheWorkingAccountAndListsItsRoot) {
  AddServiceAccount("alice");
  const FakeAccount alice = *Service().Model().Account("alice");
  SetAccountSession({"demo", Account().CookieText(), Account().bdstoken});
  ReplaceAccountRows({{"", "demo", "有效", Account().CookieText(), ""},
                      {"", "alice", "有效", Cookies("alice"), ""}});
  Select(1);
  GetControlStore().SetEnabled(kRefreshButton, false);
  SwitchWorkingAccount();
  // The root listing runs on a thread of its own; it gives the refresh
  // button back and then writes its closing status line, the last thing it
  // does. Waiting for the line keeps its thread from running on into the
  // fixture's end.
  // The checks below fail when it never comes.
  WaitUntil(
      [this] {
        return GetControlStore().Enabled(kRefreshButton) &&
               m_ui.desktop.StatusText(1).find("获取网盘主目录列表成功") != std::string::npos;
      },
      120000);
  const AccountSession session = GetAccountSession();
  EXPECT_EQ(session.user, "alice");
  EXPECT_EQ(session.cookies, Cookies("alice"));
  EXPECT_EQ(session.bdstoken, alice.bdstoken);
  const std::vector<RecordedRequest> listings = RequestsTo("/api/list");
  ASSERT_FALSE(listings.empty());
  for (const RecordedRequest& request : listings) {
    EXPECT_EQ(request.Header("Cookie").value_or(""), Cookies("alice"));
  }
  ASSERT_TRUE(GetFolderTree().Exists(0));
  EXPECT_EQ(GetFolderTree().Item(0).textUtf16, TextToUtf16("alice的网盘", true));
}

TEST_F(AccountListTest, CopyingCookiesPutsTheSelectedRowsTextOnTheClipboard) {
  ReplaceAccountRows({{"", "demo", "有效", "BDUSS=first; STOKEN=1", ""},
                      {"", "alice", "有效", "BDUSS=second; STOKEN=2", ""}});
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  Select(1);
  CopySelectedCookies();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("BDUSS=second; STOKEN=2"));
}

TEST_F(AccountListTest, SwitchingOrCopyingWithoutASelectionOnlySaysSo) {
  ReplaceAccountRows({{"", "demo", "有效", Account().CookieText(), ""}});
  SetAccountSession({"other", "BDUSS=other", ""});
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  for (void (*operation)() : {&SwitchWorkingAccount, &CopySelectedCookies}) {
    m_ui.desktop.AnswerNext(kBoxResultOk);
    operation();
    EXPECT_EQ(Boxes().back().text, "没有选中项目。");
  }
  EXPECT_EQ(GetAccountSession().user, "other");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
  EXPECT_TRUE(Service().Requests().empty());
}

TEST_F(AccountListTest, NothingToVerifyOrNothingSelected) {
  for (int i = 0; i < 3; ++i) {
    m_ui.desktop.AnswerNext(kBoxResultOk);
  }
  VerifyAllAccounts();
  ReplaceAccountRows({{"", "demo", "有效", "c", ""}});
  VerifySelectedAccount();
  DeleteSelectedAccount();
  ASSERT_EQ(Boxes().size(), 3u);
  EXPECT_EQ(Boxes()[0].text, "没有要验证的cookies.");
  EXPECT_EQ(Boxes()[1].text, "没有选中项目。");
  EXPECT_EQ(Boxes()[2].text, "没有选中项目。");
  EXPECT_EQ(Boxes()[2].caption, "信息：");
  EXPECT_TRUE(Service().Requests().empty());
}

TEST_F(AccountListTest, RowNumbersStayAfterADeletionAndTheNextAddCountsRows) {
  ReplaceAccountRows(
      {{"", "a", "有效", "c1", ""}, {"", "b", "有效", "c2", ""}, {"", "c", "有效", "c3", ""}});
  SetAccountSession({"b", "c2", "t"});
  Select(1);
  m_ui.desktop.AnswerNext(kBoxResultYes);
  DeleteSelectedAccount();
  EXPECT_EQ(Boxes().back().text, "确定删除 b 的cookies?");
  m_ui.desktop.AnswerNext(kBoxResultOk);
  AddOrUpdateAccountFromCookies(Account().CookieText());
  std::vector<std::string> numbers;
  std::vector<std::string> users;
  for (const AccountRow& row : ReadAccountRows()) {
    numbers.push_back(row.number);
    users.push_back(row.user);
  }
  EXPECT_EQ(numbers, (std::vector<std::string>{"1", "3", "3"}));
  EXPECT_EQ(users, (std::vector<std::string>{"a", "c", "demo"}));
  EXPECT_EQ(GetAccountSession().cookies, "c2");  // the working account stays
}

TEST_F(AccountListTest, ARowDeletedDuringItsCheckIsNotWrittenAndNoOtherRowChanges) {
  AddServiceAccount("alice");
  AddServiceAccount("bob");
  const std::string alice = Cookies("alice");
  ReplaceAccountRows(
      {{"", "alice-old", "有效", alice, ""}, {"", "bob-old", "有效", Cookies("bob"), ""}});
  std::promise<void> held;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  bool first = true;
  Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
    const std::string cookie = request.Header("Cookie").value_or("");
    if (request.Path() == "/" && first && cookie.find(alice.substr(0, 20)) != std::string::npos) {
      first = false;
      held.set_value();
      released.wait_for(std::chrono::seconds(10));
    }
    return std::nullopt;
  });
  m_ui.desktop.AnswerNext(kBoxResultYes);  // the deletion
  m_ui.desktop.AnswerNext(kBoxResultOk);   // "全部验证完成。"
  std::thread verification([] { VerifyAllAccounts(); });
  held.get_future().wait();
  Select(0);
  DeleteSelectedAccount();
  release.set_value();
  verification.join();
  const std::vector<AccountRow> rows = ReadAccountRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].number, "2");
  EXPECT_EQ(rows[0].user, "bob");
  EXPECT_EQ(rows[0].status, "有效");
}

TEST_F(AccountListTest, QuotaBoxes) {
  struct Row {
    std::string reply;
    std::string text;
  };
  const std::string total = "2199023255552";
  const std::string used = "1073741824";
  const Row rows[] = {
      {QuotaReply(2199023255552, 1073741824),
       "已使用：" + FormatByteSize(used) + "\r\n总容量：" + FormatByteSize(total)},
      {InvalidReply(), "查询网盘容量时：cookies已失效，请重新登陆后操作。"},
      {"{\"errno\":0,\"used\":5}", "查询网盘容量时：查询失败，请重试。"},
      {"", "查询网盘容量时：查询失败，请重试。"},
  };
  AddServiceAccount("alice");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reply);
    Reset();
    Fault("quota", "/api/quota", "", FakeReply::Json(row.reply));
    m_ui.desktop.AnswerNext(kBoxResultOk);
    const size_t mark = Boxes().size();
    QueryAccountQuota(Cookies("alice"));
    ASSERT_EQ(Boxes().size(), mark + 1);
    const RecordedBox box = Boxes().back();
    EXPECT_EQ(box.caption, "提示：");
    EXPECT_EQ(box.text, row.text);
    EXPECT_EQ(box.type, kBoxIconInformation);
    EXPECT_EQ(box.timeoutMs, 15000);
    const std::vector<RecordedRequest> requests = RequestsTo("/api/quota");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("Cookie").value_or(""), Cookies("alice"));
    EXPECT_THAT(requests[0].target,
                StartsWith("/api/quota?clienttype=0&app_id=250528&web=1&dp-logid="));
  }
}

TEST_F(AccountListTest, TheQuotaMenuTakesTheSelectedRowsCookiesWhenChosen) {
  AddServiceAccount("alice");
  ReplaceAccountRows({{"", "demo", "有效", Account().CookieText(), ""},
                      {"", "alice", "有效", Cookies("alice"), ""}});
  Select(1);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  const ThreadHandle query = StartQuotaQuery();
  Select(0);  // a later choice does not redirect the running query
  WaitForThread(query);
  ASSERT_EQ(RequestsTo("/api/quota").size(), 1u);
  EXPECT_EQ(RequestsTo("/api/quota")[0].Header("Cookie").value_or(""), Cookies("alice"));
}

}  // namespace
