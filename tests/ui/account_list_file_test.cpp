// The account list's file "baiduset.ini": the round trip, the exact text of an
// empty list, backups only of changed texts and their names, a code page 936
// file, dropped elements, tabs inside cells, a byte-order mark, a file that is
// no account list, a failing write, the file mode and the start page.

#include "ui/account_list_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "foundation/text_encodings.h"
#include "platform/control_store.h"
#include "support/scoped_environment.h"
#include "support/scoped_file_size_limit.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"
#include "ui/account_list.h"
#include "web/main_window_controls.h"

namespace {

namespace fs = std::filesystem;

class AccountListFileTest : public ::testing::Test {
 protected:
  void SetUp() override { GetControlStore().Clear(); }
  void TearDown() override { GetControlStore().Clear(); }

  fs::path File() const { return m_folder.Path() / "baiduset.ini"; }
  std::string FileBytes() const {
    std::ifstream in(File(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  void WriteFile(const std::string& bytes) const {
    std::ofstream(File(), std::ios::binary) << bytes;
  }
  std::vector<fs::path> Backups() const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(m_folder.Path())) {
      if (entry.path().filename() != "baiduset.ini") {
        found.push_back(entry.path());
      }
    }
    return found;
  }
  // Saves without the question; the success box is answered.
  void Save() {
    m_ui.desktop.AnswerNext(kBoxResultYes);
    m_ui.desktop.AnswerNext(kBoxResultOk);
    ASSERT_TRUE(SaveAccountList(0));
  }

  ScratchFolder m_folder;
  ScopedEnvironment m_home{"QUILLMERE_HOME", m_folder.Utf8()};
  ScriptedDesktopGuard m_ui;
};

TEST_F(AccountListFileTest, RowsSurviveASaveAndALoad) {
  const std::vector<AccountRow> rows = {
      {"", "张三\\dir", "有效", "BDUSS=a\\b; STOKEN=\"q\"", "123"},
      {"", "李四", "刚添加", "BDUSS=c; STOKEN=d", ""},
  };
  ReplaceAccountRows(rows);
  Save();
  const std::vector<RecordedBox> boxes = m_ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "确定保存上方最新的网盘帐号列表？以便软件以后自动读入。");
  EXPECT_EQ(boxes[0].type, kBoxYesNo | kBoxIconQuestion);
  EXPECT_EQ(boxes[1].text, "保存成功，软件下次启动将自动读取此记录。");
  EXPECT_EQ(boxes[1].timeoutMs, 5000);
  // Standard JSON escapes, UTF-8, members in order, no final line break.
  EXPECT_EQ(FileBytes(),
            TextToUtf8("{\"dataname\":\"cookies\",\"num\":2,\"data\":[{\"user\":\"张三\\\\dir\","
                       "\"cookies\":\"BDUSS=a\\\\b; STOKEN=\\\"q\\\"\",\"uk\":\"123\",\"status\":"
                       "\"有效\"},{\"user\":\"李四\",\"cookies\":\"BDUSS=c; STOKEN=d\",\"uk\":\"\","
                       "\"status\":\"刚添加\"}]}"));

  ReplaceAccountRows({});
  LoadAccountList();
  const std::vector<AccountRow> loaded = ReadAccountRows();
  ASSERT_EQ(loaded.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(loaded[i].number, std::to_string(i + 1));
    EXPECT_EQ(loaded[i].user, rows[i].user);
    EXPECT_EQ(loaded[i].status, rows[i].status);
    EXPECT_EQ(loaded[i].cookies, rows[i].cookies);
    EXPECT_EQ(loaded[i].uk, rows[i].uk);
  }
  EXPECT_EQ(GetControlStore().Selection(kMainPages), 2);
}

TEST_F(AccountListFileTest, AnEmptyListKeepsThePlaceholderAndLoadsNoRows) {
  Save();
  EXPECT_EQ(FileBytes(), "{\"dataname\":\"cookies\",\"num\":0,\"data\":[{}]}");
  GetControlStore().SetSelection(kMainPages, 1);
  LoadAccountList();
  EXPECT_TRUE(ReadAccountRows().empty());
  EXPECT_EQ(GetControlStore().Selection(kMainPages), 0);
}

TEST_F(AccountListFileTest, AnsweringNoWritesNothing) {
  m_ui.desktop.AnswerNext(kBoxResultNo);
  EXPECT_FALSE(SaveAccountList(0));
  EXPECT_FALSE(fs::exists(File()));
}

TEST_F(AccountListFileTest, OnlyAChangedTextIsBackedUpAndEveryFileIsPrivate) {
  ReplaceAccountRows({{"", "a", "有效", "BDUSS=1; STOKEN=1", ""}});
  Save();  // no old file: nothing to back up
  EXPECT_TRUE(Backups().empty());
  Save();  // the same text
  EXPECT_TRUE(Backups().empty());
  const std::string first = FileBytes();
  ReplaceAccountRows({{"", "b", "有效", "BDUSS=2; STOKEN=2", ""}});
  Save();
  const std::vector<fs::path> backups = Backups();
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(backups[0].filename().string(), TextToUtf8("baiduset_备份_2025年7月9日13时5分9秒.ini"));
  std::ifstream in(backups[0], std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
            first);
  for (const fs::path& path : {File(), backups[0]}) {
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << path;
  }
}

TEST_F(AccountListFileTest, TwoSavesOfOneChangedListMakeOneBackup) {
  WriteFile("{\"dataname\":\"cookies\",\"num\":0,\"data\":[{}]}");
  const std::string old = FileBytes();
  ReplaceAccountRows({{"", "a", "有效", "BDUSS=1; STOKEN=1", ""}});
  Save();
  // A second backup would get a name of its own.
  m_ui.clock.SetLocalTime({2025, 7, 9, 13, 6, 30, 0});
  Save();
  const std::vector<fs::path> backups = Backups();
  ASSERT_EQ(backups.size(), 1u);
  std::ifstream in(backups[0], std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
            old);
}

TEST_F(AccountListFileTest, BackupNamesFollowTheStampOfTheResultLogs) {
  struct Row {
    LocalDateTime time;
    const char* name;
  };
  const Row rows[] = {
      {{2025, 7, 9, 13, 5, 9, 0}, "baiduset_备份_2025年7月9日13时5分9秒.ini"},
      {{2025, 7, 9, 13, 5, 0, 0}, "baiduset_备份_2025年7月9日13时5分.ini"},
      {{2025, 12, 31, 8, 0, 0, 0}, "baiduset_备份_2025年12月31日8时.ini"},
      {{2026, 1, 2, 0, 0, 0, 0}, "baiduset_备份_2026年1月2日.ini"},
  };
  for (const Row& row : rows) {
    m_ui.clock.SetLocalTime(row.time);
    EXPECT_EQ(AccountListBackupName(), row.name);
  }
}

TEST_F(AccountListFileTest, ACodePage936FileLoadsAndTheNextSaveBacksItUpAsUtf8) {
  // Written by hand: code page 936 bytes, an element without cookies, an
  // element with an empty status and one without a status member.
  WriteFile(
      "{\"dataname\":\"cookies\",\"data\":[{\"user\":\"王五\",\"cookies\":\"BDUSS=w\",\"uk\":\"7\","
      "\"status\":\"\"},{\"user\":\"空\",\"cookies\":\"\"},{\"user\":\"赵六\",\"cookies\":"
      "\"BDUSS=z\"}]}");
  const std::string handWritten = FileBytes();
  LoadAccountList();
  const std::vector<AccountRow> rows = ReadAccountRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].user, "王五");
  EXPECT_EQ(rows[0].status, "从记录导入");
  EXPECT_EQ(rows[0].uk, "7");
  EXPECT_EQ(rows[1].user, "赵六");
  EXPECT_EQ(rows[1].number, "2");
  EXPECT_EQ(rows[1].status, "从记录导入");

  Save();
  ASSERT_EQ(Backups().size(), 1u);
  EXPECT_EQ(
      FileBytes(),
      TextToUtf8("{\"dataname\":\"cookies\",\"num\":2,\"data\":[{\"user\":\"王五\",\"cookies\":"
                 "\"BDUSS=w\",\"uk\":\"7\",\"status\":\"从记录导入\"},{\"user\":\"赵六\","
                 "\"cookies\":\"BDUSS=z\",\"uk\":\"\",\"status\":\"从记录导入\"}]}"));
  std::ifstream in(Backups()[0], std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
            handWritten);
}

TEST_F(AccountListFileTest, ATabOrLineBreakInACellKeepsEveryColumnThroughLoadSaveLoad) {
  struct Row {
    const char* name;
    const char* element;  // one element of "data", code page 936 JSON
    AccountRow loaded;    // columns 1 to 4 as the list shows them
  };
  const Row rows[] = {
      {"a tab in the cookie text: dropped, as a cookie text holds none",
       "{\"user\":\"a\",\"cookies\":\"BDUSS=a;\\tSTOKEN=b\\t\",\"uk\":\"9\",\"status\":\"有效\"}",
       {"1", "a", "有效", "BDUSS=a;STOKEN=b", "9"}},
      {"a tab in the user name: a blank",
       "{\"user\":\"张\\t三\",\"cookies\":\"BDUSS=z\",\"uk\":\"7\",\"status\":\"有效\"}",
       {"1", "张 三", "有效", "BDUSS=z", "7"}},
      {"a tab in the status: a blank",
       "{\"user\":\"b\",\"cookies\":\"BDUSS=b\",\"uk\":\"8\",\"status\":\"有\\t效\"}",
       {"1", "b", "有 效", "BDUSS=b", "8"}},
      // A lone LF was saved as "\n", which loads back as CR LF: the name
      // changed with every save.
      {"a lone line feed written as it is in the user name: a blank",
       "{\"user\":\"张\n三\",\"cookies\":\"BDUSS=z\",\"uk\":\"7\",\"status\":\"有效\"}",
       {"1", "张 三", "有效", "BDUSS=z", "7"}},
      {"a CR LF in the user name: one blank",
       "{\"user\":\"张\\r\\n三\",\"cookies\":\"BDUSS=z\",\"uk\":\"7\",\"status\":\"有效\"}",
       {"1", "张 三", "有效", "BDUSS=z", "7"}},
      {"line breaks in the cookie text: dropped",
       "{\"user\":\"c\",\"cookies\":\"BDUSS=c;\\r\\nSTOKEN=d\\n\",\"uk\":\"6\",\"status\":"
       "\"有效\"}",
       {"1", "c", "有效", "BDUSS=c;STOKEN=d", "6"}},
  };
  const auto expectRow = [](const AccountRow& row, const AccountRow& expected) {
    EXPECT_EQ(row.number, expected.number);
    EXPECT_EQ(row.user, expected.user);
    EXPECT_EQ(row.status, expected.status);
    EXPECT_EQ(row.cookies, expected.cookies);
    EXPECT_EQ(row.uk, expected.uk);
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(m_folder.Path());
    fs::create_directories(m_folder.Path());
    WriteFile(std::string("{\"dataname\":\"cookies\",\"num\":1,\"data\":[") + row.element + "]}");
    LoadAccountList();
    ASSERT_EQ(ReadAccountRows().size(), 1u);
    expectRow(ReadAccountRows()[0], row.loaded);
    Save();
    ReplaceAccountRows({});
    LoadAccountList();
    ASSERT_EQ(ReadAccountRows().size(), 1u);
    expectRow(ReadAccountRows()[0], row.loaded);
  }
}

// A cookie text of tabs and line breaks only is no account: its element is
// skipped at the first load, so the rows after a save and a load are the rows
// the first load gave (no row with an empty cookie cell, no renumbering).
TEST_F(AccountListFileTest, ACookieTextOfBlanksOnlyIsSkippedAndSavedRowsLoadBackAsTheyWere) {
  struct Row {
    const char* name;
    const char* cookies;  // the JSON string's content
  };
  const Row rows[] = {
      {"a tab", "\\t"},
      {"a CR LF", "\\r\\n"},
      {"a line feed", "\\n"},
      {"tabs and line breaks", "\\t\\r\\n\\t"},
  };
  const AccountRow expected{"1", "b", "有效", "BDUSS=b", "8"};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(m_folder.Path());
    fs::create_directories(m_folder.Path());
    WriteFile(std::string(
                  "{\"dataname\":\"cookies\",\"num\":2,\"data\":[{\"user\":\"a\",\"cookies\":\"") +
              row.cookies +
              "\",\"uk\":\"7\",\"status\":\"有效\"},{\"user\":\"b\",\"cookies\":\"BDUSS=b\",\"uk\":"
              "\"8\",\"status\":\"有效\"}]}");
    for (int load = 1; load <= 2; ++load) {
      SCOPED_TRACE(load == 1 ? "first load" : "after a save");
      ReplaceAccountRows({});
      LoadAccountList();
      const std::vector<AccountRow> loaded = ReadAccountRows();
      ASSERT_EQ(loaded.size(), 1u);
      EXPECT_EQ(loaded[0].number, expected.number);
      EXPECT_EQ(loaded[0].user, expected.user);
      EXPECT_EQ(loaded[0].cookies, expected.cookies);
      EXPECT_EQ(loaded[0].uk, expected.uk);
      Save();
    }
  }
}

TEST_F(AccountListFileTest, AUtf8FileWithAByteOrderMarkLoads) {
  struct Row {
    const char* name;
    std::string bytes;
    std::vector<std::string> users;
  };
  const std::string mark = "\xEF\xBB\xBF";
  const Row rows[] = {
      {"Chinese names",
       mark + TextToUtf8(
                  "{\"dataname\":\"cookies\",\"num\":2,\"data\":[{\"user\":\"王五\",\"cookies\":"
                  "\"BDUSS=w\",\"uk\":\"7\",\"status\":\"有效\"},{\"user\":\"赵六\","
                  "\"cookies\":\"BDUSS=z\"}]}"),
       {"王五", "赵六"}},
      {"ASCII names only",
       mark + "{\"dataname\":\"cookies\",\"num\":1,\"data\":[{\"user\":\"demo\",\"cookies\":"
              "\"BDUSS=d; STOKEN=s\",\"uk\":\"1\",\"status\":\"\"}]}",
       {"demo"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFile(row.bytes);
    GetControlStore().SetSelection(kMainPages, 0);
    LoadAccountList();
    std::vector<std::string> users;
    for (const AccountRow& loaded : ReadAccountRows()) {
      users.push_back(loaded.user);
    }
    EXPECT_EQ(users, row.users);
    EXPECT_EQ(GetControlStore().Selection(kMainPages), 2);
  }
  ASSERT_EQ(ReadAccountRows().size(), 1u);
  EXPECT_EQ(ReadAccountRows()[0].cookies, "BDUSS=d; STOKEN=s");
  EXPECT_EQ(ReadAccountRows()[0].status, "从记录导入");
}

TEST_F(AccountListFileTest, AFileThatIsNoAccountListIsReportedAndLeftAsItIs) {
  struct Row {
    const char* name;
    std::string bytes;
    bool reported;
  };
  const Row rows[] = {
      {"no JSON", "not json", true},
      {"cut short", "{\"data\":[{\"cookies\":\"x\"}", true},
      {"no array of accounts", "{\"data\":{}}", true},
      {"an object without accounts", "{\"other\":[1]}", true},
      {"UTF-16 text", std::string("\xFF\xFE{\0\"\0", 6), true},
      {"empty: no account, nothing to report", "", false},
      {"only blanks and a mark", "\xEF\xBB\xBF \r\n", false},
      {"accounts without cookies: dropped silently", "{\"data\":[{\"user\":\"x\"}]}", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFile(row.bytes);
    ReplaceAccountRows({{"", "old", "有效", "c", ""}});
    const size_t mark = m_ui.desktop.Boxes().size();
    if (row.reported) {
      m_ui.desktop.AnswerNext(kBoxResultOk);
    }
    LoadAccountList();
    EXPECT_TRUE(ReadAccountRows().empty());
    EXPECT_EQ(GetControlStore().Selection(kMainPages), 0);
    EXPECT_EQ(FileBytes(), row.bytes);
    EXPECT_EQ(Backups().size(), 0u);
    const std::vector<RecordedBox> boxes = m_ui.desktop.Boxes();
    ASSERT_EQ(boxes.size(), mark + (row.reported ? 1 : 0));
    if (row.reported) {
      EXPECT_EQ(boxes.back().caption, "提示：");
      EXPECT_EQ(boxes.back().text,
                "读取帐号列表失败：baiduset.ini 不是帐号列表文件，已保持原样，未导入任何帐号。");
      EXPECT_EQ(boxes.back().type, kBoxIconWarning);
      EXPECT_EQ(m_ui.desktop.StatusText(1), boxes.back().text);
    }
  }
}

TEST_F(AccountListFileTest, AFailingWriteKeepsTheOldFileAndSaysSo) {
  WriteFile("{\"dataname\":\"cookies\",\"num\":0,\"data\":[{}]}");
  const std::string old = FileBytes();
  ReplaceAccountRows({{"", "a", "有效", "BDUSS=1", ""}});
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  bool savedOk = true;
  {
    // The new text cannot be written.
    ScopedFileSizeLimit limit(16);
    ASSERT_TRUE(limit.Active());
    savedOk = SaveAccountList(0);
  }
  EXPECT_FALSE(savedOk);
  EXPECT_EQ(FileBytes(), old);
  EXPECT_TRUE(Backups().empty());
  const RecordedBox box = m_ui.desktop.Boxes().back();
  EXPECT_EQ(box.caption, "提示：");
  EXPECT_EQ(box.text, "保存失败了。");
  EXPECT_EQ(box.type, kBoxIconWarning);
}

}  // namespace
