// The handlers that read the remote folder tree: adding the current item to
// the copy sources, and starting the archive job on the current folder.

#include "foundation/text_encodings.h"
#include "foundation/wait_until.h"
#include "jobs/archive_job.h"
#include "jobs/copy_job.h"

#include "copy_job_fixture.h"

namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;

std::string U16(const char* text) {
  return TextToUtf16(text, true);
}

// root (0)
//   f (1)        folder
//     a.txt (2)  file
//   x.txt (3)    file
//   中文 (4)     folder
class CopyArchiveHandlersTest : public CopyJobTest {
 protected:
  void SetUp() override {
    CopyJobTest::SetUp();
    FolderTreeModel& tree = GetFolderTree();
    tree.Add(-1, U16("demo的网盘"), kRootImage, kRootItemData);
    tree.Add(0, U16("f"), kFolderImage, kFolderItemData);
    tree.Add(1, U16("a.txt"), 13, kFileItemData);
    tree.Add(0, U16("x.txt"), 13, kFileItemData);
    tree.Add(0, U16("中文"), kFolderImage, kFolderItemData);
    tree.SetCurrent(-1);
  }
  // Selects `item`, types `box` into the source box, answers the boxes given
  // and runs the handler; returns the new boxes.
  std::vector<RecordedBox> Add(int item, const std::string& box, std::vector<int> answers = {}) {
    GetFolderTree().SetCurrent(item);
    GetControlStore().SetText(kCopySourcesEdit, box);
    const size_t mark = m_ui.desktop.Boxes().size();
    for (int answer : answers) {
      m_ui.desktop.AnswerNext(answer);
    }
    OnAddCopySourceSelected();
    const std::vector<RecordedBox> all = m_ui.desktop.Boxes();
    return std::vector<RecordedBox>(all.begin() + static_cast<std::ptrdiff_t>(mark), all.end());
  }
  static std::string Sources() { return GetControlStore().Text(kCopySourcesEdit); }
};

TEST_F(CopyArchiveHandlersTest, AddingASource) {
  const char* const question =
      "确定新增加一个待复制的文件吗？如果需要清空，请手动删除下方文本框里的内容即可。";
  struct Row {
    const char* name;
    int item;
    std::string box;
    std::vector<int> answers;
    std::string boxText;  // the one box shown; "" none
    std::string result;
  };
  const Row rows[] = {
      {"an empty box asks nothing", 2, "", {}, "", "[\"/f/a.txt\"]"},
      {"a folder, the root, a Chinese name",
       4,
       "[\"/\"]",
       {kBoxResultYes},
       question,
       "[\"/\",\"/中文\"]"},
      {"the same path twice",
       2,
       "[\"/x.txt\",\"/f/a.txt\"]",
       {kBoxResultOk},
       "当前选择的文件已在复制列表中。",
       "[\"/x.txt\",\"/f/a.txt\"]"},
      {"a second path, Yes",
       3,
       "[\"/f/a.txt\"]",
       {kBoxResultYes},
       question,
       "[\"/f/a.txt\",\"/x.txt\"]"},
      {"a second path, No", 3, "[\"/f/a.txt\"]", {kBoxResultNo}, question, "[\"/f/a.txt\"]"},
      {"a list typed with commas is kept",
       3,
       "/f/a.txt,/b",
       {kBoxResultYes},
       question,
       "[\"/f/a.txt\",\"/b\",\"/x.txt\"]"},
      {"a path in a comma list is not added twice",
       3,
       "/x.txt,/b",
       {kBoxResultOk},
       "当前选择的文件已在复制列表中。",
       "/x.txt,/b"},
      {"no current item", -1, "[\"/f/a.txt\"]", {kBoxResultOk}, "没有选中。", "[\"/f/a.txt\"]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<RecordedBox> boxes = Add(row.item, row.box, row.answers);
    if (row.boxText.empty()) {
      EXPECT_THAT(boxes, IsEmpty());
    } else {
      ASSERT_THAT(boxes, SizeIs(1));
      EXPECT_EQ(boxes[0].text, row.boxText);
      const bool asked = row.boxText == question;
      EXPECT_EQ(boxes[0].type, asked ? 36 : 64);
      EXPECT_EQ(boxes[0].timeoutMs, asked ? 30000 : 10000);
      EXPECT_EQ(boxes[0].caption,
                row.boxText == "当前选择的文件已在复制列表中。" ? "提示" : "提示：");
    }
    EXPECT_EQ(Sources(), row.result);
  }
}

TEST_F(CopyArchiveHandlersTest, NoSourceIsAddedWhileACopyJobRuns) {
  GetControlStore().SetEnabled(kStartCopyButton, false);
  const std::vector<RecordedBox> boxes = Add(2, "", {kBoxResultOk});
  ASSERT_THAT(boxes, SizeIs(1));
  EXPECT_EQ(boxes[0].text, "当前已有复制任务，不能切换。");
  EXPECT_EQ(Sources(), "");
}

TEST_F(CopyArchiveHandlersTest, ArchivingAFileIsRefused) {
  GetFolderTree().SetCurrent(3);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  EXPECT_EQ(OnArchiveClicked(), nullptr);
  ASSERT_THAT(m_ui.desktop.Boxes(), SizeIs(1));
  EXPECT_EQ(m_ui.desktop.Boxes()[0].text, "选中的目标位置不能是文件，必须是目录。");
  EXPECT_EQ(m_ui.desktop.Boxes()[0].type, 48);
  EXPECT_THAT(Service().Requests(), IsEmpty());
}

TEST_F(CopyArchiveHandlersTest, ArchivingAsksFirst) {
  GetFolderTree().SetCurrent(1);
  m_ui.desktop.AnswerNext(kBoxResultNo);
  EXPECT_EQ(OnArchiveClicked(), nullptr);
  EXPECT_EQ(m_ui.desktop.Boxes()[0].text, "确定对选中的目录中的文件进行归档操作？");
  EXPECT_EQ(m_ui.desktop.Boxes()[0].caption, "确认：");
  EXPECT_EQ(m_ui.desktop.Boxes()[0].type, 52);
  EXPECT_TRUE(GetControlStore().Enabled(kArchiveButton));
  EXPECT_THAT(Service().Requests(), IsEmpty());
}

TEST_F(CopyArchiveHandlersTest, TheJobArchivesTheFolderThatWasConfirmed) {
  UseTree(RemoteTree::FromPaths({"/f/a.txt", "/x.txt"}));
  GetFolderTree().SetCurrent(1);
  // While the question is open the user selects a file.
  m_ui.desktop.SetBoxHook([](const RecordedBox&) { GetFolderTree().SetCurrent(3); });
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);  // the summary
  ThreadHandle job = OnArchiveClicked();
  ASSERT_NE(job, nullptr);
  EXPECT_FALSE(GetControlStore().Enabled(kArchiveButton));
  ASSERT_TRUE(WaitUntil([&] { return IsThreadRunning(job) == 0; }, 30000));
  m_ui.desktop.SetBoxHook({});
  EXPECT_TRUE(GetControlStore().Enabled(kArchiveButton));
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/f/a/a.txt", "/x.txt"}));
  EXPECT_EQ(m_ui.desktop.Boxes().back().text,
            "归档处理已完成。\r\n\r\n归档成功数量：1   归档失败数量：0");
}

}  // namespace
