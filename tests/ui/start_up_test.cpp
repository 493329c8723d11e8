// Start-up: the HTTP back-end switch of "netset.ini", the caption built from
// the contact text, and the main window's created handler.

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/contact_text.h"
#include "foundation/thread_pool.h"
#include "platform/code_page_codec.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"
#include "ui/main_window.h"
#include "ui/start_up.h"
#include "ui_test_support.h"
#include "web/http_request.h"

namespace {

// Points the run directory at a fresh scratch folder for one test.
class ScopedRunDirectory {
 public:
  void Write(const std::string& utf8Name, const std::string& bytes) const {
    std::ofstream(m_folder.Path() / std::filesystem::u8path(utf8Name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& utf8Name) const {
    std::ifstream file(m_folder.Path() / std::filesystem::u8path(utf8Name), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  bool Exists(const std::string& utf8Name) const {
    return std::filesystem::exists(m_folder.Path() / std::filesystem::u8path(utf8Name));
  }

 private:
  ScratchFolder m_folder;
  ScopedEnvironment m_home{"QUILLMERE_HOME", m_folder.Utf8()};
};

std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

struct NetSettingsRow {
  const char* name;
  const char* fileText;  // nullptr: no file
  bool curl;
};

// Without a code page 936 converter every Chinese character would become
// "?": the program refuses to start and says why.
TEST(StartUpTest, WithoutACodePage936ConverterStartUpFailsWithAClearMessage) {
  ScriptedDesktopGuard ui;
  ui.desktop.AnswerNext(kBoxResultOk);
  SetCp936CharsetNameForTesting("QUILLMERE-NO-SUCH-CHARSET");
  const bool available = CodePageConverterAvailable();
  const int code = RunProgram();
  SetCp936CharsetNameForTesting(nullptr);
  EXPECT_FALSE(available);
  EXPECT_TRUE(CodePageConverterAvailable());
  EXPECT_EQ(code, 1);
  const std::vector<RecordedBox> boxes = ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].type, kBoxIconError);
  EXPECT_NE(boxes[0].text.find("code page 936"), std::string::npos);
}

TEST(StartUpTest, NetSettingsSwitchToLibcurlOnlyForTheExactMarker) {
  const NetSettingsRow rows[] = {
      {"marker inside braces", R"({"curl":"1"})", true},
      {"marker among other settings", R"({"proxy":"", "curl":"1", "x":2})", true},
      {"blank after the colon", R"({"curl": "1"})", false},
      {"capitals", R"({"CURL":"1"})", false},
      {"switched off", R"({"curl":"0"})", false},
      {"empty file", "", false},
      {"no file", nullptr, false},
  };
  for (const NetSettingsRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScopedRunDirectory home;
    ScriptedDesktopGuard ui;
    if (row.fileText != nullptr) {
      home.Write("netset.ini", row.fileText);
    }
    if (row.curl) {
      ui.desktop.AnswerNext(kBoxResultTimedOut);
    }
    g_useCurl = row.curl ? 0 : 1;  // proves the value is written either way

    ApplyNetSettings();

    EXPECT_EQ(g_useCurl, row.curl ? 1 : 0);
    const std::vector<RecordedBox> boxes = ui.desktop.Boxes();
    ASSERT_EQ(boxes.size(), row.curl ? 1u : 0u);
    if (row.curl) {
      EXPECT_EQ(boxes[0].caption, "提示：");
      EXPECT_EQ(boxes[0].text,
                "开启了curl访问网络模式，如果出现异常问题，请在netset.ini中将1为改0，"
                "关闭此模式后再重启软件。");
      EXPECT_EQ(boxes[0].type, 64);
      EXPECT_EQ(boxes[0].timeoutMs, 30000);
    }
  }
  g_useCurl = 0;
}

TEST(StartUpTest, PreparationSetsTheProgramValuesFromTheRunDirectory) {
  ScopedRunDirectory home;
  home.Write("netset.ini", R"({"curl":"1"})");
  home.Write(Utf8(u8"联系方式.txt"), "联系：小王\r\n\r\n电话：123");  // code page 936
  const std::filesystem::path oldDirectory = std::filesystem::current_path();
  ScriptedDesktopGuard ui;
  ui.desktop.AnswerNext(kBoxResultTimedOut);  // the libcurl notice
  g_productKey.clear();
  g_programVersion.clear();
  g_contactText.clear();

  PrepareProgram();

  EXPECT_EQ(g_productKey, "quillmere");
  EXPECT_EQ(g_programVersion, "11210");
  EXPECT_EQ(g_useCurl, 1);
  ASSERT_EQ(ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(ui.desktop.Boxes()[0].timeoutMs, 30000);
  EXPECT_EQ(g_contactText, "联系：小王\r\n电话：123");
  EXPECT_EQ(std::filesystem::current_path(),
            std::filesystem::canonical(std::getenv("QUILLMERE_HOME")));
  std::filesystem::current_path(oldDirectory);
  g_useCurl = 0;
}

struct CaptionRow {
  const char* name;
  std::string contact;
  std::string expected;
};

TEST(StartUpTest, CaptionCarriesTheContactTextAndTheVersion) {
  const CaptionRow rows[] = {
      {"built-in line keeps the maker prefix", kBuiltInContactLine,
       std::string("Tarrowby-Quillmere  ") + kBuiltInContactLine + "  当前版本：11210"},
      {"someone else's contact drops the maker prefix", "联系：小王 12345",
       "Quillmere  联系：小王 12345  当前版本：11210"},
      {"every occurrence of the prefix goes", "Tarrowby-客服 Tarrowby-",
       "Quillmere  客服   当前版本：11210"},
      {"a contact with the service number keeps it", "电话800066888 Tarrowby-",
       "Tarrowby-Quillmere  电话800066888 Tarrowby-  当前版本：11210"},
      {"two contact lines", "第一行\r\n第二行", "Quillmere  第一行\r\n第二行  当前版本：11210"},
  };
  for (const CaptionRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(BuildMainWindowCaption("Tarrowby-Quillmere", row.contact, "11210"), row.expected);
  }
}

TEST(StartUpTest, CreatedHandlerPreparesTheWindowAndTheRun) {
  ScopedRunDirectory home;
  home.Write("err.txt", "old entries\r\n");
  home.Write("folderlist_re_1765300000.db", "left by a cut-off run");
  home.Write(Utf8(u8"联系方式.txt"), Utf8(u8"客服：小王\r\n\r\n\r\n电话：123\r\n"));
  g_programVersion = kProgramVersion;
  ControlStore store;
  MainWindow window{store};
  std::vector<std::string> started;
  window.Handlers().startAccountListLoader = [&] { started.push_back("accounts"); };
  window.Handlers().startUpdateCheck = [&] { started.push_back("update"); };

  window.OnCreated();

  EXPECT_EQ(window.windowTitle(), Q(u"Quillmere  客服：小王\n电话：123  当前版本：11210"));
  EXPECT_EQ(started, (std::vector<std::string>{"accounts", "update"}));
  EXPECT_TRUE(home.Exists("err.txt"));
  EXPECT_EQ(home.Read("err.txt"), "");
  EXPECT_TRUE(ProcessEventsUntil([&] { return !home.Exists("folderlist_re_1765300000.db"); }));
  ASSERT_NE(g_threadPool, nullptr);
  EXPECT_EQ(ThreadPool::MinThreads(g_threadPool), 1);
  EXPECT_EQ(ThreadPool::MaxThreads(g_threadPool), 10);
  const std::pair<const char16_t*, const char16_t*> tips[] = {
      {u"选择框_删除文件", u"根据文件名中包含的关键词删除文件。"},
      {u"编辑框_删除目录关键词", u"根据文件名中包含的关键词删除目录。"},
      {u"选择框_包含关键词才修改", u"支持多个，用英文,号分隔。"},
      {u"编辑框_不包含的关键词", u"支持多个，用英文,号分隔。"},
  };
  for (const auto& [control, start] : tips) {
    EXPECT_TRUE(window.Control(control)->toolTip().startsWith(Q(start)))
        << Q(control).toStdString();
  }
  EXPECT_TRUE(window.Control(u"按钮_开始改名")->toolTip().isEmpty());
  EXPECT_TRUE(window.testAttribute(Qt::WA_AlwaysShowToolTips));
  ThreadPool::Shutdown(g_threadPool);
  g_threadPool = nullptr;
}

}  // namespace
