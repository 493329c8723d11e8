// A request given an account snapshot uses that snapshot for everything
// (cookies, bdstoken, the user of its result logs), even after the working
// account was switched to another one.

#include <functional>

#include "foundation/url_encoding.h"
#include "support/service_test_fixture.h"
#include "web/delete_paths.h"
#include "web/folder_listing.h"
#include "web/main_window_controls.h"
#include "web/rename_batch.h"
#include "web/rename_item.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class AccountSnapshotTest : public ServiceTest {};

TEST_F(AccountSnapshotTest, RequestsUseTheGivenSnapshotAfterASwitch) {
  struct Row {
    const char* name;
    std::function<void(const AccountSession&)> run;
    const char* bookedKind;  // the result log the demo account gets; nullptr: none
    RemoteTree demoAfter;
  };
  const Row rows[] = {
      {"listing",
       [](const AccountSession& session) {
         EXPECT_THAT(FetchFolderListPage(session, "/d", 0, 1), HasSubstr("a.txt"));
       },
       nullptr, RemoteTree::FromPaths({"/d/a.txt", "/d/b.txt"})},
      {"rename",
       [](const AccountSession& session) {
         std::string path = "/d/a.txt";
         std::string newName = "c.txt";
         EXPECT_TRUE(RenameRemoteItem(session, path, newName, false, ""));
       },
       kLogRenamed, RemoteTree::FromPaths({"/d/c.txt", "/d/b.txt"})},
      {"batch",
       [this](const AccountSession& session) {
         SubmitRenameBatch(session, "%7B%22id%22%3A" + std::to_string(*Tree().FsId("/d/a.txt")) +
                                        "%2C%22path%22%3A%22%2Fd%2Fa.txt%22%2C%22newname%22%3A%"
                                        "22c.txt%22%7D%2C");
       },
       kLogRenamed, RemoteTree::FromPaths({"/d/c.txt", "/d/b.txt"})},
      {"delete",
       [](const AccountSession& session) {
         DeleteRemotePaths(session, {UrlEncodeText("/d/a.txt")});
       },
       kLogDeleted, RemoteTree::FromPaths({"/d/b.txt"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    GetControlStore().SetChecked(kRenameSyncRadio, true);
    UseTree(RemoteTree::FromPaths({"/d/a.txt", "/d/b.txt"}));
    const AccountSession snapshot = GetAccountSession();
    const FakeAccount other = FakeAccount::Make("other", RemoteTree::FromPaths({"/d/a.txt"}));
    Service().Model().AddAccount(other);
    SetWorkingAccount(other.userName, other.CookieText());

    row.run(snapshot);

    const std::vector<RecordedRequest> requests = Service().Requests();
    ASSERT_THAT(requests, Not(IsEmpty()));
    for (const RecordedRequest& request : requests) {
      EXPECT_EQ(request.Header("Cookie"), Account().CookieText()) << request.target;
      EXPECT_THAT(request.target, Not(HasSubstr(other.bdstoken)));
    }
    EXPECT_EQ(Tree(), row.demoAfter);
    EXPECT_EQ(Service().Model().Tree("other"), RemoteTree::FromPaths({"/d/a.txt"}));
    if (row.bookedKind != nullptr) {
      EXPECT_TRUE(LogExists(row.bookedKind));
      EXPECT_FALSE(LogExists(row.bookedKind, "other"));
    }
    EXPECT_EQ(GetAccountSession().user, "other");
  }
}

}  // namespace
