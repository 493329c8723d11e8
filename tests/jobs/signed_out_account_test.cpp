// Jobs started for an account whose sign-in the service no longer accepts.
// The root refresh checks the session; when the follow-list probe answers
// -6 the session keeps its user name and cookies but has no bdstoken. File
// operations carry that token, so none may go out without it: every job that
// changes remote items says that the account has to be signed in again and
// sends nothing. The emulator's strict mode refuses a file operation without
// its token, as the service does.

#include "jobs/archive_job.h"
#include "jobs/copy_job.h"
#include "jobs/copy_job_state.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_task.h"
#include "jobs/rename_task_controls.h"
#include "rename_task_harness.h"
#include "support/service_test_fixture.h"
#include "web/folder_listing.h"
#include "web/main_window_controls.h"

namespace {

using ::testing::IsEmpty;

class SignedOutAccountTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    UseTree(RemoteTree::FromPaths({"/docs/old.txt:10", "/f/a.txt"}));
    ModelOptions options;
    options.strictBdstoken = true;
    Service().Model().SetOptions(options);
    Fault("probe signed out", "/mbox/relation/getfollowlist", "", FakeReply::Json(InvalidReply()));
    // The user refreshes the root: the listing itself still answers.
    LoadRootFolderTree(0);
    ASSERT_EQ(GetAccountSession().user, "demo");
    ASSERT_EQ(GetAccountSession().bdstoken, "");
    ASSERT_FALSE(RequestsTo("/api/list").empty());
    GetFolderTree().Clear();
    m_tree = AddTreeRoot();
  }
  void TearDown() override {
    ServiceTest::TearDown();
    GetFolderTree().Clear();
  }

  // Nothing but listings and the session check reached the service, the tree
  // is as it was, and the last box is the notice.
  void ExpectRefusedWithTheNotice() {
    EXPECT_THAT(RequestsTo("/api/filemanager"), IsEmpty());
    EXPECT_THAT(RequestsTo("/api/create"), IsEmpty());
    EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/docs/old.txt:10", "/f/a.txt"}));
    ASSERT_FALSE(m_ui.desktop.Boxes().empty());
    EXPECT_EQ(m_ui.desktop.Boxes().back().text, kSignInAgainNotice);
  }

  int m_tree = 0;
};

TEST_F(SignedOutAccountTest, TheRenameTaskSendsNothingInAnyMode) {
  struct Row {
    const char* name;
    const char* modeRadio;
  };
  const Row rows[] = {{"ticked items", kTickedItemsOnlyRadio}, {"folders", kModifyAllRadio}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ControlStore& store = GetControlStore();
    store.SetChecked(row.modeRadio, true);
    store.SetChecked(kRenameSyncRadio, true);
    store.SetChecked(kPrefixRuleBox, true);
    store.SetText(kPrefixEdit, "P_");
    store.SetChecked(kDeleteFilesBox, true);
    store.SetText(kDeleteFilesKeywordsEdit, "old");
    Tick(AddTreePath("/docs/"));
    m_ui.desktop.AnswerNext(kBoxResultOk);
    store.SetEnabled(kStartRenameButton, false);
    RunRenameTask(kRenameFirstRun);
    EXPECT_TRUE(store.Enabled(kStartRenameButton));
    ExpectRefusedWithTheNotice();
  }
}

TEST_F(SignedOutAccountTest, TheCopyJobSendsNothing) {
  ControlStore& store = GetControlStore();
  store.SetText(kCopySourcesEdit, "[\"/docs/old.txt\"]");
  store.SetText(kCopyDestinationEdit, "/f");
  store.SetChecked(kCopyDestinationOnlyRadio, true);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  EXPECT_EQ(OnStartCopyClicked(), nullptr);
  EXPECT_TRUE(store.Enabled(kStartCopyButton));
  ExpectRefusedWithTheNotice();
}

TEST_F(SignedOutAccountTest, TheArchiveJobSendsNothing) {
  GetFolderTree().SetCurrent(AddTreePath("/f/"));
  m_ui.desktop.AnswerNext(kBoxResultOk);
  EXPECT_EQ(OnArchiveClicked(), nullptr);
  EXPECT_TRUE(GetControlStore().Enabled(kArchiveButton));
  ExpectRefusedWithTheNotice();
}

}  // namespace
