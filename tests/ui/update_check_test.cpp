// The update check against the emulator's update host: the start-up check,
// the update window's fetch, the updater hand-over with fake process start,
// version reader and exit, and the window itself.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakeservice/fake_service.h"
#include "foundation/run_directory.h"
#include "platform/code_page_codec.h"
#include "support/emulator_fixture.h"
#include "support/file_bytes.h"
#include "support/pe_image_builder.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"
#include "ui/file_version.h"
#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "ui/start_up.h"
#include "ui/update_manifest.h"
#include "ui/update_session.h"
#include "ui/update_window.h"
#include "ui_test_support.h"
#include "web/service_config.h"

namespace {

constexpr const char* kManifestPath = "/softupdate/tarrowbyupdate.html";
// The updater's path as requested: its UTF-8 name percent-encoded.
constexpr const char* kUpdaterPath =
    "/softupdate/%E8%87%AA%E5%8A%A8%E5%8D%87%E7%BA%A7%E7%A8%8B%E5%BA%8F.exe";

std::string U8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

// One manifest entry (UTF-8 JSON).
std::string Entry(const std::string& softname, const std::string& version,
                  const std::string& force = "false", const std::string& notes = "line1\\nline2",
                  const std::string& upTime = "2024-01-01",
                  const std::string& downurl = "https://{U}/softupdate/x.zip?[rand]") {
  return "{\"softname\":\"" + softname + "\",\"version\":\"" + version + "\",\"up_time\":\"" +
         upTime + "\",\"version_explain\":\"" + notes + "\",\"version_force_update\":\"" + force +
         "\",\"downurl\":\"" + downurl + "\"}";
}

std::string Manifest(const std::vector<std::string>& entries) {
  std::string data;
  for (const std::string& entry : entries) {
    data += (data.empty() ? "" : ",") + entry;
  }
  return "{\"data\":[" + data + "]}";
}

bool IsStamp(const std::string& text) {
  return text.size() == 13 && text.find_first_not_of("0123456789") == std::string::npos;
}

class UpdateTest : public EmulatorFixture<::testing::Test> {
 protected:
  static void SetUpTestSuite() {
    EmulatorFixture::SetUpTestSuite();
    setenv("QUILLMERE_UPDATE_HOST", s_service->Host().c_str(), 1);
    LoadServiceConfig();
  }

  UpdateTest() : m_home("QUILLMERE_HOME", m_folder.Utf8()) {}

  void SetUp() override { Reset(); }

  void Reset() {
    Service().Faults().Clear();
    Service().Model().SetOptions(ModelOptions{});
    Service().ClearRequests();
    Service().ClearFailures();
    g_productKey = kProductKey;
    g_programVersion = kProgramVersion;
    SetUpdateDownloadUrl({});
    std::filesystem::remove_all(m_folder.Path());
    std::filesystem::create_directories(m_folder.Path());
    m_started.clear();
    m_ends = 0;
    m_closes = 0;
    m_boxMark = m_ui.desktop.Boxes().size();
  }

  // The boxes shown since the last Reset.
  std::vector<RecordedBox> Boxes() const {
    const std::vector<RecordedBox> all = m_ui.desktop.Boxes();
    return std::vector<RecordedBox>(all.begin() + static_cast<std::ptrdiff_t>(m_boxMark),
                                    all.end());
  }

  static void UseManifest(const std::string& manifest, const std::string& updater = "MZ new") {
    ModelOptions options;
    options.manifest = manifest;
    options.updaterBody = updater;
    Service().Model().SetOptions(options);
  }

  static void AnswerEveryRequestTo(const std::string& path, FakeReply reply) {
    FaultRule rule;
    rule.name = path;
    rule.path = path;
    rule.reply = std::move(reply);
    Service().Faults().Add(rule);
  }

  // A session as a fresh update window has it, with fake services.
  std::shared_ptr<UpdateSession> NewSession() {
    auto session = std::make_shared<UpdateSession>();
    session->store->SetEnabled(kUpdateStartButton, false);
    session->store->SetEnabled(kUpdateDownloadButton, false);
    session->services.startProcess = [this](const std::string& path, const std::string& folder) {
      m_started.push_back({path, folder});
      return m_startWorks;
    };
    session->services.readVersion = [this](const std::string& path, std::string& error) {
      m_versionAsked = path;
      error.clear();
      return m_updaterVersion;
    };
    session->services.endProgram = [this] { ++m_ends; };
    session->closeWindow = [this] { ++m_closes; };
    return session;
  }

  std::string UpdaterFile() const { return m_folder.Utf8(U8(u8"自动升级程序.exe")); }
  std::string HandoffFile() const { return m_folder.Utf8("updateset.ini"); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  void ExpectBoxes(const std::vector<std::string>& texts) const {
    const std::vector<RecordedBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), texts.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
      EXPECT_EQ(boxes[i].caption, "提示：");
      EXPECT_EQ(boxes[i].text, texts[i]);
    }
  }

  ScratchFolder m_folder;
  ScopedEnvironment m_home;
  ScriptedDesktopGuard m_ui;
  std::vector<std::pair<std::string, std::string>> m_started;
  bool m_startWorks = true;
  std::string m_updaterVersion = "1.1.0.0";
  std::string m_versionAsked;
  int m_ends = 0;
  int m_closes = 0;
  size_t m_boxMark = 0;
};

struct CheckRow {
  const char* name;
  std::string manifest;  // empty: the emulator's sample (11211)
  bool emptyReplies;
  bool opens;
};

TEST_F(UpdateTest, TheStartUpCheckOpensTheWindowOnlyForANewerVersion) {
  const CheckRow rows[] = {
      {"newer", "", false, true},
      {"equal", Manifest({Entry("quillmere", "11210")}), false, false},
      {"11210.5 is newer as a number", Manifest({Entry("quillmere", "11210.5")}), false, true},
      {"a newer entry after an older one",
       Manifest(
           {Entry("other", "99999"), Entry("quillmere", "11000"), Entry("quillmere", "11300")}),
       false, true},
      {"only another product is newer", Manifest({Entry("other", "99999")}), false, false},
      {"not a number", Manifest({Entry("quillmere", "new")}), false, false},
      {"not JSON", "<html>busy</html>", false, false},
      {"an empty reply", "", true, false},
  };
  for (const CheckRow& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseManifest(row.manifest);
    if (row.emptyReplies) {
      AnswerEveryRequestTo(kManifestPath, FakeReply{});
    }
    int opened = 0;
    EXPECT_EQ(CheckForUpdate([&opened] { ++opened; }), row.opens);
    EXPECT_EQ(opened, row.opens ? 1 : 0);
    const std::vector<RecordedRequest> requests = Service().RequestsTo(kManifestPath);
    ASSERT_EQ(requests.size(), 1u);  // once, without retry
    EXPECT_TRUE(requests[0].tls);
    EXPECT_TRUE(IsStamp(requests[0].Query()));
    EXPECT_TRUE(Boxes().empty());
  }
}

struct FetchRow {
  const char* name;
  std::string manifest;
  bool emptyReplies;
  std::string versionLine;  // 透明标签1; empty: untouched
  std::string notes;
  bool buttonsEnabled;
  bool upToDate;  // the box and the close
};

TEST_F(UpdateTest, TheWindowShowsTheFirstEntryOfTheProduct) {
  const std::string nothing = "未检测到到时更新内容。";
  const FetchRow rows[] = {
      {"newer", "", false, "最新版本： 11211     更新时间：2024-01-01", "line1\r\nline2", true,
       false},
      {"equal", Manifest({Entry("quillmere", "11210")}), false,
       "最新版本： 11210     更新时间：2024-01-01", "line1\r\nline2", false, true},
      {"11210.5 is not newer as an integer", Manifest({Entry("quillmere", "11210.5")}), false,
       "最新版本： 11210.5     更新时间：2024-01-01", "line1\r\nline2", false, true},
      {"the first entry counts",
       Manifest({Entry("quillmere", "11000"), Entry("quillmere", "11300")}), false,
       "最新版本： 11000     更新时间：2024-01-01", "line1\r\nline2", false, true},
      {"an empty up_time", Manifest({Entry("quillmere", "11300", "false", "a", "")}), false,
       "最新版本： 11300", "a", true, false},
      {"notes in Chinese with LF and CR LF",
       Manifest({Entry("quillmere", "11300", "false", U8(u8"修复\\n新增\\r\\n完"))}), false,
       "最新版本： 11300     更新时间：2024-01-01", "修复\r\n新增\r\n完", true, false},
      {"newer without notes", Manifest({Entry("quillmere", "11300", "false", "")}), false,
       "最新版本： 11300     更新时间：2024-01-01", nothing, false, false},
      {"product missing", Manifest({Entry("other", "99999")}), false, "", nothing, false, false},
      {"not JSON", "<html>busy</html>", false, "", nothing, false, false},
      {"three empty replies", "", true, "", nothing, false, false},
  };
  for (const FetchRow& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseManifest(row.manifest);
    if (row.emptyReplies) {
      AnswerEveryRequestTo(kManifestPath, FakeReply{});
    }
    if (row.upToDate) {
      m_ui.desktop.AnswerNext(kBoxResultTimedOut);
    }
    const auto session = NewSession();
    FetchUpdateInfo(*session);
    const ControlStore& store = *session->store;
    EXPECT_EQ(store.Text(kUpdateVersionLabel), row.versionLine);
    EXPECT_EQ(store.Text(kUpdateNotesBox), row.notes);
    EXPECT_EQ(store.Enabled(kUpdateStartButton), row.buttonsEnabled);
    EXPECT_EQ(store.Enabled(kUpdateDownloadButton), row.buttonsEnabled);
    EXPECT_EQ(m_closes, row.upToDate ? 1 : 0);
    if (row.upToDate) {
      ExpectBoxes({"已是最新版本，无需更新。"});
      EXPECT_EQ(Boxes()[0].type, 64);
      EXPECT_EQ(Boxes()[0].timeoutMs, 10000);
    } else {
      ExpectBoxes({});
    }
    EXPECT_EQ(Service().RequestsTo(kManifestPath).size(), row.emptyReplies ? 3u : 1u);
    EXPECT_EQ(GetUpdateDownloadUrl().empty(), row.versionLine.empty());
    EXPECT_TRUE(session->fetchFinished);
    EXPECT_EQ(m_ends, 0);
    EXPECT_TRUE(m_started.empty());
  }
}

TEST_F(UpdateTest, EveryRandInTheDownloadAddressGetsAStamp) {
  UseManifest(
      Manifest({Entry("quillmere", "11300", "false", "n", "", "https://{U}/a?[rand]&b=[rand]")}));
  FetchUpdateInfo(*NewSession());
  const std::string url = GetUpdateDownloadUrl();
  const std::string prefix = "https://" + Service().Host() + "/a?";
  ASSERT_EQ(url.rfind(prefix, 0), 0u) << url;
  const std::string query = url.substr(prefix.size());
  ASSERT_EQ(query.size(), 13u + 3 + 13);
  EXPECT_TRUE(IsStamp(query.substr(0, 13)));
  EXPECT_EQ(query.substr(13, 3), "&b=");
  EXPECT_TRUE(IsStamp(query.substr(16)));
}

TEST_F(UpdateTest, AForcedUpdateHandsOverToARecentUpdaterWithoutAClick) {
  std::ofstream(UpdaterFile()) << "old updater";
  UseManifest(Manifest({Entry("quillmere", "11300", "true")}));
  const auto session = NewSession();
  FetchUpdateInfo(*session);
  EXPECT_EQ(ReadFileBytes(HandoffFile()), "quillmere|11210|" + ProgramFileName() + "|启动真");
  EXPECT_EQ(m_versionAsked, RunDirectoryPath("自动升级程序.exe"));
  ASSERT_EQ(m_started.size(), 1u);
  EXPECT_EQ(m_started[0].first, UpdaterFile());
  EXPECT_EQ(m_started[0].second, m_folder.Utf8());
  EXPECT_EQ(m_ends, 1);
  EXPECT_FALSE(session->store->Enabled(kUpdateStartButton));
  ExpectBoxes({});
  EXPECT_EQ(ReadFileBytes(UpdaterFile()), "old updater");
}

TEST_F(UpdateTest, AForcedUpdateThatCannotStartStillEndsTheProgram) {
  std::ofstream(UpdaterFile()) << "old updater";
  m_startWorks = false;
  m_ui.desktop.AnswerNext(kBoxResultOk);
  UseManifest(Manifest({Entry("quillmere", "11300", "true")}));
  FetchUpdateInfo(*NewSession());
  ExpectBoxes({"启动 自动升级程序.exe 失败，请重试。"});
  EXPECT_EQ(m_ends, 1);
}

TEST_F(UpdateTest, TheUpdaterVersionRule) {
  const struct {
    const char* version;
    bool accepted;
  } rows[] = {{"1.0.9.9", false}, {"1.1.0.0", true}, {"2.0", false}, {"1.1.0.0.5", true},
              {"1,1,0,0", true},  {"", true},        {"x.y", false}};
  for (const auto& row : rows) {
    EXPECT_EQ(UpdaterVersionAccepted(row.version), row.accepted) << row.version;
  }
}

struct LaunchRow {
  const char* name;
  std::string updaterBefore;  // "-": no updater
  std::string version;        // what the version reader answers
  std::vector<int> answers;
  std::optional<FakeReply> download;  // none: the emulator's updater
  std::vector<std::string> boxes;
  std::string updaterAfter;  // "-": none
  bool started;
};

TEST_F(UpdateTest, LaunchingTheUpdater) {
  const std::string declined =
      "自动升级程序.exe "
      "不是最新的，不能进行自动升级，请手动下载最新的压缩包解压后替换，不会影响原设置。";
  const std::string missing = "自动升级程序.exe 不存在，是否下载？";
  const std::string tooOld = "自动升级程序.exe 不是最新的，是否下载？";
  const std::string failed = "下载 自动升级程序.exe 失败，请重试。";
  const std::optional<FakeReply> emulator;
  const FakeReply notFound = FakeReply::Html("<html>404 Not Found</html>", 404);
  const LaunchRow rows[] = {
      {"missing, Yes: saved, start again",
       "-",
       "",
       {6, 1},
       emulator,
       {missing, "下载文件 自动升级程序.exe 成功，请重新点击  开始更新 按钮。。"},
       "MZ new",
       false},
      {"missing, No", "-", "", {7, 1}, emulator, {missing, declined}, "-", false},
      {"missing, the question times out",
       "-",
       "",
       {32000, 1},
       emulator,
       {missing, declined},
       "-",
       false},
      {"missing, a 404 page writes nothing",
       "-",
       "",
       {6, 1},
       notFound,
       {missing, failed},
       "-",
       false},
      {"missing, an empty 200 writes nothing",
       "-",
       "",
       {6, 1},
       FakeReply::Html(""),
       {missing, failed},
       "-",
       false},
      {"recent: started", "old", "1.1.0.0", {}, emulator, {}, "old", true},
      {"no dots: not checked", "old", "1,0,0,0", {}, emulator, {}, "old", true},
      {"unreadable version: not checked", "old", "", {}, emulator, {}, "old", true},
      {"too old, No", "old", "1.0.9.9", {7, 1}, emulator, {tooOld, declined}, "old", false},
      {"too old, Yes: replaced and started",
       "old",
       "1.0.9.9",
       {6},
       emulator,
       {tooOld},
       "MZ new",
       true},
      {"too old, Yes, the download fails",
       "old",
       "1.0.9.9",
       {6, 1},
       notFound,
       {tooOld, failed},
       "-",
       false},
  };
  for (const LaunchRow& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseManifest("");
    if (row.download) {
      AnswerEveryRequestTo(kUpdaterPath, *row.download);
    }
    if (row.updaterBefore != "-") {
      std::ofstream(UpdaterFile()) << row.updaterBefore;
    }
    m_updaterVersion = row.version;
    for (int answer : row.answers) {
      m_ui.desktop.AnswerNext(answer);
    }
    const auto session = NewSession();
    SetUpdateDownloadUrl("https://example.test/x.zip");
    EXPECT_EQ(LaunchUpdater(*session), row.started);
    ExpectBoxes(row.boxes);
    for (const RecordedBox& box : Boxes()) {
      EXPECT_EQ(box.timeoutMs, 10000);
      EXPECT_EQ(box.type, box.text == missing || box.text == tooOld ? 36 : 64);
    }
    if (row.updaterAfter == "-") {
      EXPECT_FALSE(std::filesystem::exists(UpdaterFile()));
    } else {
      EXPECT_EQ(ReadFileBytes(UpdaterFile()), row.updaterAfter);
      struct stat info {};
      ASSERT_EQ(::stat(UpdaterFile().c_str(), &info), 0);
      if (row.updaterAfter != row.updaterBefore) {
        EXPECT_EQ(info.st_mode & 0111, 0111u);  // executable
      }
    }
    EXPECT_EQ(m_started.size(), row.started ? 1u : 0u);
    EXPECT_EQ(m_ends, row.started ? 1 : 0);
    EXPECT_EQ(std::filesystem::exists(HandoffFile()), row.started);
    // Every path that does not end the program gives the button back.
    EXPECT_EQ(session->store->Enabled(kUpdateStartButton), !row.started);
    // Nothing but the updater and the hand-off file is left behind.
    for (const std::string& name : Files()) {
      EXPECT_TRUE(name == "updateset.ini" || name == U8(u8"自动升级程序.exe")) << name;
    }
  }
}

// An updater that cannot be replaced: a folder where the new one would be
// saved, or an old updater that turns out to be a folder that cannot be
// deleted (swapped in while its version is read). Each stops with its box,
// the button back and nothing started.
TEST_F(UpdateTest, AnUpdaterThatCannotBeReplacedStopsWithItsBox) {
  const std::string missing = "自动升级程序.exe 不存在，是否下载？";
  const std::string tooOld = "自动升级程序.exe 不是最新的，是否下载？";
  struct Row {
    const char* name;
    bool oldUpdater;  // else a folder in the updater's place from the start
    std::vector<std::string> boxes;
    bool downloads;
  };
  const Row rows[] = {
      {"a folder in the way of the download", false,
       {missing, "保存文件 自动升级程序.exe 失败，请重试。"}, true},
      {"the old updater cannot be deleted", true,
       {tooOld, "删除 自动升级程序.exe 失败，请手动强制删除后再试。"}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseManifest("");
    const std::string updater = UpdaterFile();
    auto session = NewSession();
    if (row.oldUpdater) {
      std::ofstream(updater) << "old";
      session->services.readVersion = [updater](const std::string&, std::string& error) {
        error.clear();
        std::filesystem::remove(updater);
        std::filesystem::create_directories(updater + "/inside");
        return std::string("1.0.9.9");
      };
    } else {
      std::filesystem::create_directories(updater + "/inside");
    }
    m_ui.desktop.AnswerNext(kBoxResultYes);
    m_ui.desktop.AnswerNext(kBoxResultOk);
    SetUpdateDownloadUrl("https://example.test/x.zip");
    EXPECT_FALSE(LaunchUpdater(*session));
    ExpectBoxes(row.boxes);
    EXPECT_EQ(Boxes().back().type, 64);
    EXPECT_EQ(Service().RequestsTo(kUpdaterPath).size(), row.downloads ? 1u : 0u);
    EXPECT_TRUE(m_started.empty());
    EXPECT_EQ(m_ends, 0);
    EXPECT_TRUE(session->store->Enabled(kUpdateStartButton));
    EXPECT_TRUE(std::filesystem::is_directory(updater + "/inside"));
    // No half-written updater is left beside it.
    for (const std::string& name : Files()) {
      EXPECT_EQ(name, U8(u8"自动升级程序.exe"));
    }
  }
}

TEST_F(UpdateTest, AFailedStartOrHandOffKeepsTheProgramRunning) {
  std::ofstream(UpdaterFile()) << "old";
  SetUpdateDownloadUrl("https://example.test/x.zip");
  m_startWorks = false;
  m_ui.desktop.AnswerNext(kBoxResultOk);
  auto session = NewSession();
  EXPECT_FALSE(LaunchUpdater(*session));
  ExpectBoxes({"启动 自动升级程序.exe 失败，请重试。"});
  EXPECT_EQ(Boxes()[0].type, 64);
  EXPECT_EQ(m_ends, 0);
  EXPECT_TRUE(session->store->Enabled(kUpdateStartButton));

  // The hand-off file cannot be written: the updater is not started.
  Reset();
  std::ofstream(UpdaterFile()) << "old";
  std::filesystem::create_directories(HandoffFile());
  SetUpdateDownloadUrl("https://example.test/x.zip");
  m_startWorks = true;
  m_ui.desktop.AnswerNext(kBoxResultOk);
  session = NewSession();
  EXPECT_FALSE(LaunchUpdater(*session));
  ExpectBoxes({"启动 自动升级程序.exe 失败，请重试。"});
  EXPECT_TRUE(m_started.empty());
  EXPECT_EQ(m_ends, 0);
}

TEST_F(UpdateTest, StartingWithoutManifestDataOnlySaysSo) {
  m_ui.desktop.AnswerNext(kBoxResultOk);
  const auto session = NewSession();
  EXPECT_FALSE(LaunchUpdater(*session));
  ExpectBoxes({"可能获取的升级信息不正确，请重试。"});
  EXPECT_EQ(Boxes()[0].timeoutMs, 0);
  EXPECT_TRUE(session->store->Enabled(kUpdateStartButton));
  EXPECT_TRUE(Files().empty());
}

TEST_F(UpdateTest, TheDownloadPageOpensOnlyWebAddresses) {
  const struct {
    const char* url;
    bool opens;
  } rows[] = {{"https://example.test/x.zip", true}, {"HTTP://example.test/x.zip", true},
              {"file:///etc/passwd", false},        {"/usr/bin/xterm", false},
              {"javascript:alert(1)", false},       {"", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.url);
    ScriptedDesktopGuard ui;
    m_ends = 0;
    SetUpdateDownloadUrl(row.url);
    OpenDownloadPage(NewSession()->services);
    EXPECT_EQ(ui.desktop.OpenedTargets(),
              row.opens ? std::vector<std::string>{row.url} : std::vector<std::string>{});
    EXPECT_EQ(m_ends, row.opens ? 1 : 0);
  }
}

TEST_F(UpdateTest, TheFileVersionTextFollowsTheVersionLookups) {
  const struct {
    const char* name;
    std::string content;
    std::string version;
    std::string error;
  } rows[] = {
      {"a PE image", pe_test::PeImage(pe_test::VersionBlock({.fileVersion = u"1.0.9.9"})),
       "1.0.9.9", ""},
      {"another translation",
       pe_test::PeImage(
           pe_test::VersionBlock({.fileVersion = u"3.1", .language = 0x0409, .codePage = 1252})),
       "3.1", ""},
      {"no translation", pe_test::PeImage(pe_test::VersionBlock({.withTranslation = false})), "",
       "VerQueryValue（查询Version）失败"},
      {"a table of another translation",
       pe_test::PeImage(pe_test::VersionBlock({.tableKey = u"040904B0"})), "", ""},
      {"not a PE image", "MZ quillmere updater", "", "GetFileVersionInfoSize（获取信息长度）失败"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::ofstream(UpdaterFile(), std::ios::binary | std::ios::trunc) << row.content;
    std::string error = "stale";
    EXPECT_EQ(ReadFileVersionText(RunDirectoryPath("自动升级程序.exe"), error), row.version);
    EXPECT_EQ(error, row.error);
  }
}

// The update window over its own store, with the fake services.
class UpdateWindowTest : public UpdateTest {
 protected:
  UpdaterServices FakeServices() { return NewSession()->services; }
};

TEST_F(UpdateWindowTest, TheWindowShowsTheNewestVersionInItsOwnControls) {
  GetControlStore().SetText("透明标签2", "main window label");
  UpdateWindow window(FakeServices());
  window.show();
  window.OnCreated();
  const auto session = window.Session();
  ASSERT_TRUE(ProcessEventsUntil([&] { return session->fetchFinished.load(); }));
  // The fetch has made all its writes, so the calls that bring them to the
  // controls are all queued: run every one of them, not only the first few.
  QCoreApplication::sendPostedEvents();
  EXPECT_TRUE(window.findChild<QAbstractButton*>(Q(u"按钮_开始更新程序"))->isEnabled());
  EXPECT_TRUE(window.findChild<QAbstractButton*>(Q(u"按钮2"))->isEnabled());
  EXPECT_EQ(window.findChild<QLabel*>(Q(u"透明标签1"))->text(),
            Q(u"最新版本： 11211     更新时间：2024-01-01"));
  EXPECT_EQ(window.findChild<QLabel*>(Q(u"透明标签2"))->text(), Q(u"当前版本： 11210"));
  EXPECT_EQ(window.findChild<QPlainTextEdit*>(Q(u"超级编辑框1"))->toPlainText(),
            Q(u"line1\nline2"));
  EXPECT_EQ(window.windowTitle(), Q(u"检测新版本"));
  // The main window's control of the same name is another control.
  EXPECT_EQ(GetControlStore().Text("透明标签2"), "main window label");
  EXPECT_NE(session->store.get(), &GetControlStore());

  // "下次再说" closes the window and touches no file.
  window.findChild<QAbstractButton*>(Q(u"按钮3"))->click();
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(m_ends, 0);
  GetControlStore().Clear();
}

TEST_F(UpdateWindowTest, AFetchThatOutlivesItsWindowWritesOnlyItsStore) {
  UseManifest(Manifest({Entry("quillmere", "11210")}));
  std::shared_ptr<UpdateSession> session;
  {
    UpdateWindow window(FakeServices());
    session = window.Session();
  }
  m_ui.desktop.AnswerNext(kBoxResultTimedOut);
  FetchUpdateInfo(*session);
  QCoreApplication::processEvents();
  EXPECT_EQ(session->store->Text(kUpdateNotesBox), "line1\r\nline2");
  ExpectBoxes({"已是最新版本，无需更新。"});
}

// The main window opens the update window from the start-up check and from
// "检测更新", modally; the test closes it once its fetch is done.
TEST_F(UpdateWindowTest, StartUpAndTheButtonOpenTheWindow) {
  for (bool fromButton : {false, true}) {
    SCOPED_TRACE(fromButton ? "按钮10" : "start-up");
    ControlStore store;
    MainWindow main{store};
    main.SetProcessEnder([this] { ++m_ends; });
    InstallMainWindowHandlers(main.Handlers(), &main);
    std::string shown;
    bool modal = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* window = main.findChild<UpdateWindow*>();
      if (window == nullptr || !window->Session()->fetchFinished ||
          !window->findChild<QAbstractButton*>(Q(u"按钮2"))->isEnabled()) {
        return;
      }
      modal = QApplication::activeModalWidget() == window || window->isModal();
      shown = Cp936FromWidgetText(window->findChild<QLabel*>(Q(u"透明标签1"))->text());
      window->close();
    });
    poll.start();
    if (fromButton) {
      main.ControlAs<QAbstractButton>(u"按钮10")->click();
    } else {
      main.Handlers().startUpdateCheck();
    }
    EXPECT_TRUE(ProcessEventsUntil([&] { return !shown.empty(); }));
    EXPECT_TRUE(ProcessEventsUntil([&] { return main.findChild<UpdateWindow*>() == nullptr; }));
    EXPECT_EQ(shown, "最新版本： 11211     更新时间：2024-01-01");
    EXPECT_TRUE(modal);
    EXPECT_EQ(m_ends, 0);
  }
}

}  // namespace
