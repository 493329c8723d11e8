// Settings files of the main window's options: the writer and reader
// families, saving and loading through the dialogs, and the two buttons.

#include "ui/form_settings.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_dialogs.h"
#include "platform/private_profile.h"
#include "platform/scripted_file_dialogs.h"
#include "support/file_bytes.h"
#include "support/scoped_environment.h"
#include "support/scoped_file_size_limit.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"
#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "ui_test_support.h"

namespace {

// The keys of each section of a settings file, in file order.
std::map<std::string, std::vector<std::string>> KeysBySection(const std::string& content) {
  std::map<std::string, std::vector<std::string>> keys;
  std::istringstream lines(content);
  std::string line;
  std::string section;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (!line.empty() && line.front() == '[') {
      section = line.substr(1, line.size() - 2);
    } else if (const std::size_t equals = line.find('='); equals != std::string::npos) {
      keys[section].push_back(line.substr(0, equals));
    }
  }
  return keys;
}

class FormSettingsTest : public ::testing::Test {
 protected:
  FormSettingsTest() : m_home("QUILLMERE_HOME", m_folder.Utf8()) {}

  std::string Path(const std::string& name) const { return m_folder.Utf8(name); }
  void WriteFile(const std::string& name, const std::string& content) const {
    std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
    std::ofstream(Path(name), std::ios::binary) << content;
  }
  // Checks the last box shown.
  void ExpectLastBox(const char* caption, const char* text, int type, int timeoutMs) {
    const std::vector<RecordedBox> boxes = m_ui.desktop.Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().caption, caption);
    EXPECT_EQ(boxes.back().text, text);
    EXPECT_EQ(boxes.back().type, type);
    EXPECT_EQ(boxes.back().timeoutMs, timeoutMs);
  }

  ScratchFolder m_folder;
  ScopedEnvironment m_home;
  ScriptedDesktopGuard m_ui;
  ScriptedFileDialogs m_dialogs{ReportToGtest};
  ScopedFileDialogs m_useDialogs{m_dialogs};
  ControlStore m_store;
  FormWindow m_window = MainFormWindow(m_store);
};

struct EditRow {
  const char* name;
  std::string text;
  std::string stored;
  std::string loaded;
};

TEST_F(FormSettingsTest, EditTextsStayOnOneLineAndComeBack) {
  const EditRow rows[] = {
      {"two lines, the second with a quote", "第一行\r\n第二\"行", "第一行><br><第二#引号行",
       "第一行\r\n第二\"行"},
      {"a lone LF and a lone CR", "a\nb\rc", "a><br><b><br><c", "a\r\nb\r\nc"},
      {"the marks themselves come back as a break and a quote", "x><br><y#引号z", "x><br><y#引号z",
       "x\r\ny\"z"},
      {"blanks at the ends are kept in quotes", "  mid  ", "\"  mid  \"", "  mid  "},
      {"a prefix ending in a space", "2024 ", "\"2024 \"", "2024 "},
  };
  const std::string box = "编辑框_增加前缀内容";
  for (const EditRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Path("edit.ini");
    std::filesystem::remove(path);
    m_store.SetText(box, row.text);
    EXPECT_EQ(WriteEditTexts(m_window, path, "编辑框_百度cookies"), 17);
    EXPECT_NE(ReadFileBytes(path).find(box + "=" + row.stored + "\r\n"), std::string::npos);
    m_store.SetText(box, "changed");
    EXPECT_EQ(ReadEditTexts(m_window, path), 17);
    EXPECT_EQ(m_store.Text(box), row.loaded);
  }
}

struct TickRow {
  const char* value;  // nullptr: no key
  bool before;
  bool after;
};

TEST_F(FormSettingsTest, OnlyJiaUnticksAndAnEmptyValueLeavesTheControl) {
  const TickRow rows[] = {
      {"真", false, true}, {"1", false, true}, {"false", false, true}, {"假", true, false},
      {"", true, true},    {"", false, false}, {nullptr, true, true},  {" \"\" ", true, true},
  };
  const std::string box = "选择框_删除文件";
  const std::string radio = "单选框_按时间倒排";
  for (const TickRow& row : rows) {
    SCOPED_TRACE(row.value == nullptr ? "no key" : row.value);
    std::string content = "[选择框]\r\n[单选框]\r\n";
    if (row.value != nullptr) {
      content = "[选择框]\r\n" + box + "=" + row.value + "\r\n[单选框]\r\n" + radio + "=" +
                row.value + "\r\n";
    }
    WriteFile("ticks.ini", content);
    m_store.SetChecked(box, row.before);
    m_store.SetChecked(radio, row.before);
    EXPECT_EQ(ReadCheckStates(m_window, Path("ticks.ini")), 17);
    EXPECT_EQ(ReadRadioStates(m_window, Path("ticks.ini")), 16);
    EXPECT_EQ(m_store.Checked(box), row.after);
    EXPECT_EQ(m_store.Checked(radio), row.after);
  }
}

TEST_F(FormSettingsTest, AWrittenFileHoldsTheMainWindowsControlsOnly) {
  // Another window's controls share the program's store.
  m_store.SetText("编辑框1", "keyword window");
  m_store.SetChecked("选择框1", true);
  m_store.SetText("编辑框_百度cookies", "BDUSS=secret");
  m_store.SetChecked("选择框_删除目录", true);
  const std::string path = Path("all.ini");
  EXPECT_EQ(WriteRadioStates(m_window, path, ""), 16);
  EXPECT_EQ(WriteCheckStates(m_window, path, ""), 17);
  EXPECT_EQ(WriteEditTexts(m_window, path, "编辑框_百度cookies"), 17);
  const std::string content = ReadFileBytes(path);
  const auto keys = KeysBySection(content);
  EXPECT_EQ(keys.at("单选框").size(), 16u);
  EXPECT_EQ(keys.at("选择框").size(), 17u);
  EXPECT_EQ(keys.at("编辑框").size(), 16u);
  EXPECT_EQ(content.find("编辑框1"), std::string::npos);
  EXPECT_EQ(content.find("选择框1="), std::string::npos);
  EXPECT_EQ(content.find("secret"), std::string::npos);
  EXPECT_NE(content.find("选择框_删除目录=真\r\n"), std::string::npos);
  // The window's control order.
  EXPECT_EQ(keys.at("单选框").front(), "单选框_修改对象全部修改");
  EXPECT_EQ(keys.at("单选框").back(), "单选框_复制到指定目录_包括子目录");
}

TEST_F(FormSettingsTest, ExclusionListsMatchWholeNames) {
  EXPECT_TRUE(IsControlNotExcluded("", "编辑框_a"));
  EXPECT_FALSE(IsControlNotExcluded("编辑框_b|编辑框_a", "编辑框_a"));
  EXPECT_TRUE(IsControlNotExcluded("编辑框_ab|编辑框", "编辑框_a"));
  EXPECT_TRUE(IsControlNotExcluded("编辑框_A", "编辑框_a"));
}

TEST_F(FormSettingsTest, AnEmptyPathMeansTheDefaultFileInData) {
  m_store.SetChecked("选择框_删除文件", true);
  EXPECT_EQ(WriteCheckStates(m_window, "", ""), 17);
  EXPECT_EQ(ReadProfileText(Path("data/setsoft.ini"), "选择框", "选择框_删除文件"), "真");
}

struct NameRow {
  const char* chosen;
  const char* saved;
};

TEST_F(FormSettingsTest, SavedNamesEndInOneIni) {
  const NameRow rows[] = {{"abc", "abc.ini"}, {"abc.ini", "abc.ini"}, {"abc.INI", "abc.INI.ini"}};
  for (const NameRow& row : rows) {
    SCOPED_TRACE(row.chosen);
    std::filesystem::remove_all(Path("renset"));
    m_dialogs.AnswerNextFile({Path(std::string("renset/") + row.chosen)});
    m_ui.desktop.AnswerNext(kBoxResultTimedOut);
    SaveFormSettings(m_store);
    EXPECT_TRUE(std::filesystem::exists(Path(std::string("renset/") + row.saved)));
    ExpectLastBox("提示", "保存成功。", 64, 5000);
  }
  const FileDialogRequest request = m_dialogs.FileRequests().at(0);
  EXPECT_EQ(request.kind, FileDialogKind::kSave);
  EXPECT_EQ(request.initialFile, "ren-set-20250709.ini");
  EXPECT_EQ(request.initialFolder, Path("renset"));
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].description, "改名参数界面配置ini文件");
  EXPECT_EQ(request.filters[0].patterns, "*.ini");
  EXPECT_FALSE(request.overwritePrompt);
  EXPECT_EQ(std::filesystem::directory_iterator(Path("renset"))->path().extension(), ".ini");
}

TEST_F(FormSettingsTest, OverwritingAsksAndKeepsExtraKeys) {
  const std::string old =
      "[选择框]\r\n选择框_删除文件=假\r\n选择框_以后新增=真\r\n[mine]\r\nx=1\r\n";
  const int answers[] = {kBoxResultNo, kBoxResultTimedOut, kBoxResultYes};
  m_store.SetChecked("选择框_删除文件", true);
  for (int answer : answers) {
    SCOPED_TRACE(answer);
    WriteFile("renset/set.ini", old);
    m_dialogs.AnswerNextFile({Path("renset/set.ini")});
    m_ui.desktop.AnswerNext(answer);
    if (answer == kBoxResultYes) {
      m_ui.desktop.AnswerNext(kBoxResultOk);
    }
    SaveFormSettings(m_store);
    const std::string content = ReadFileBytes(Path("renset/set.ini"));
    if (answer != kBoxResultYes) {
      EXPECT_EQ(content, old);
      ExpectLastBox("提示", "此文件已存在，是否覆盖？", 52, 10000);
      continue;
    }
    ExpectLastBox("提示", "保存成功。", 64, 5000);
    EXPECT_EQ(content.rfind("[选择框]\r\n选择框_删除文件=真\r\n选择框_以后新增=真\r\n", 0), 0u);
    EXPECT_NE(content.find("[mine]\r\nx=1\r\n"), std::string::npos);
  }
}

TEST_F(FormSettingsTest, ACancelledDialogChangesNothing) {
  m_dialogs.AnswerNextFile({});
  SaveFormSettings(m_store);
  m_store.SetText("编辑框_当天修改数量", "500");
  m_dialogs.AnswerNextFile({});
  LoadFormSettings(m_store);
  EXPECT_EQ(m_store.Text("编辑框_当天修改数量"), "500");
  EXPECT_TRUE(m_ui.desktop.Boxes().empty());
  EXPECT_TRUE(std::filesystem::is_empty(Path("renset")));
}

TEST_F(FormSettingsTest, LoadingWithoutEditSectionEmptiesTheEditBoxesButTheCookies) {
  WriteFile("renset/radios.ini", "[单选框]\r\n单选框_按名称倒排=真\r\n单选框_按名称正排=假\r\n");
  for (const std::string& name : m_window.controlNames) {
    if (name.rfind("编辑框", 0) == 0) {
      m_store.SetText(name, "before");
    }
  }
  m_dialogs.AnswerNextFile({Path("renset/radios.ini")});
  m_ui.desktop.AnswerNext(kBoxResultOk);
  LoadFormSettings(m_store);
  ExpectLastBox("提示", "读取成功。", 64, 5000);
  int emptied = 0;
  for (const std::string& name : m_window.controlNames) {
    if (name.rfind("编辑框", 0) == 0 && name != "编辑框_百度cookies") {
      EXPECT_EQ(m_store.Text(name), "") << name;
      ++emptied;
    }
  }
  EXPECT_EQ(emptied, 16);
  EXPECT_EQ(m_store.Text("编辑框_百度cookies"), "before");
  EXPECT_TRUE(m_store.Checked("单选框_按名称倒排"));
  EXPECT_FALSE(m_store.Checked("单选框_按名称正排"));
  EXPECT_EQ(m_dialogs.FileRequests().at(0).kind, FileDialogKind::kOpen);
  EXPECT_EQ(m_dialogs.FileRequests().at(0).initialFolder, Path("renset"));
}

TEST_F(FormSettingsTest, FilesThatAreNoSettingsAndTargetsThatCannotBeWrittenShowFailures) {
  m_store.SetText("编辑框_当天修改数量", "500");
  WriteFile("other.ini", "[netset]\r\ncurl=1\r\n");
  std::filesystem::create_directories(Path("a-folder.ini"));
  for (const char* name : {"other.ini", "missing.ini", "a-folder.ini"}) {
    SCOPED_TRACE(name);
    m_dialogs.AnswerNextFile({Path(name)});
    m_ui.desktop.AnswerNext(kBoxResultOk);
    LoadFormSettings(m_store);
    ExpectLastBox("提示", "读取失败，不是界面配置文件。", 48, 5000);
    EXPECT_EQ(m_store.Text("编辑框_当天修改数量"), "500");
  }

  WriteFile("kept/set.ini", "[单选框]\r\n");
  std::filesystem::permissions(
      Path("kept"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const bool writable = ::access(Path("kept").c_str(), W_OK) == 0;  // root writes anyway
  for (const char* name : {"no-such-folder/set.ini", "kept/set.ini"}) {
    SCOPED_TRACE(name);
    if (std::string(name) == "kept/set.ini") {
      if (writable) {
        break;
      }
      m_ui.desktop.AnswerNext(kBoxResultYes);
    }
    m_dialogs.AnswerNextFile({Path(name)});
    m_ui.desktop.AnswerNext(kBoxResultOk);
    SaveFormSettings(m_store);
    ExpectLastBox("提示", "保存失败了。", 48, 5000);
  }
  std::filesystem::permissions(Path("kept"), std::filesystem::perms::owner_all);
  EXPECT_EQ(ReadFileBytes(Path("kept/set.ini")), "[单选框]\r\n");
}

// A save over an existing settings file that cannot be written (here: the
// process may not write files that large, which holds for root too) keeps
// the old file as it was.
TEST_F(FormSettingsTest, AFailedSaveOverAnExistingFileKeepsIt) {
  WriteFile("kept/set.ini", "[单选框]\r\n");
  m_dialogs.AnswerNextFile({Path("kept/set.ini")});
  m_ui.desktop.AnswerNext(kBoxResultYes);  // replace the existing file
  m_ui.desktop.AnswerNext(kBoxResultOk);
  {
    ScopedFileSizeLimit limit(16);
    ASSERT_TRUE(limit.Active());
    SaveFormSettings(m_store);
  }
  ExpectLastBox("提示", "保存失败了。", 48, 5000);
  EXPECT_EQ(ReadFileBytes(Path("kept/set.ini")), "[单选框]\r\n");
  for (const auto& entry : std::filesystem::directory_iterator(Path("kept"))) {
    EXPECT_EQ(entry.path().filename(), "set.ini");  // no half-written file beside it
  }
}

TEST(FormSettingsWindowTest, TheButtonsSaveAndLoadTheWindowsControls) {
  ScratchFolder folder;
  ScopedEnvironment home("QUILLMERE_HOME", folder.Utf8());
  ScriptedDesktopGuard ui;
  ScriptedFileDialogs dialogs(ReportToGtest);
  ScopedFileDialogs useDialogs(dialogs);
  ControlStore store;
  MainWindow window{store};
  InstallMainWindowHandlers(window.Handlers(), &window);
  auto* byTimeDown = window.ControlAs<QRadioButton>(u"单选框_按时间倒排");
  auto* byNameUp = window.ControlAs<QRadioButton>(u"单选框_按名称正排");
  byTimeDown->click();
  ASSERT_TRUE(store.Checked(Cp(u"单选框_按时间倒排")));

  dialogs.AnswerNextFile({folder.Utf8("renset/mine")});
  ui.desktop.AnswerNext(kBoxResultOk);
  window.ControlAs<QAbstractButton>(u"按钮_保存界面配置")->click();
  byNameUp->click();
  ASSERT_FALSE(byTimeDown->isChecked());

  dialogs.AnswerNextFile({folder.Utf8("renset/mine.ini")});
  ui.desktop.AnswerNext(kBoxResultOk);
  window.ControlAs<QAbstractButton>(u"按钮_读取配置")->click();
  EXPECT_TRUE(byTimeDown->isChecked());
  EXPECT_FALSE(byNameUp->isChecked());
  EXPECT_FALSE(store.Checked(Cp(u"单选框_按名称正排")));
  ASSERT_EQ(ui.desktop.Boxes().size(), 2u);
  EXPECT_EQ(ui.desktop.Boxes()[1].text, "读取成功。");
}

}  // namespace
