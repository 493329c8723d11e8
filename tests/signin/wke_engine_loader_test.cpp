#include <filesystem>
#include <fstream>

#include "signin_test_support.h"
#include "support/scripted_desktop_guard.h"
#include "ui/control_events.h"

namespace {

HostHandle CreateControl(int windowId, QWidget& parent) {
  return WkeBrowserControl::Create(nullptr, 0, 0, WindowHandleOf(&parent), 1, 8, 29, 100, 50,
                                   windowId, 1, 0, false);
}

const std::string kNotFound =
    "请把\"miniblink_4975_x32.dll\"\r\n或者 \"miniblink_4957_x32.dll\"\r\n"
    "或者 \"miniblink_4949_x32.dll\"\r\n或者 \"node.dll\"\r\n放在[";

TEST(WkeEngineLoader, ChoosesTheFirstCandidateThatExists) {
  struct Row {
    std::vector<std::string> files;
    std::string chosen;
  };
  const Row rows[] = {
      {{"node.dll"}, "node.dll"},
      {{"miniblink_4949_x32.dll", "miniblink_4957_x32.dll"}, "miniblink_4957_x32.dll"},
      {{"node.dll", "miniblink_4975_x32.dll"}, "miniblink_4975_x32.dll"},
  };
  for (const Row& row : rows) {
    ScriptedDesktopGuard ui;
    EngineFolder folder("");
    for (const std::string& file : row.files) {
      folder.Put(WKE_RECORDING_FULL, file);
    }
    EXPECT_TRUE(WkeEngine::EnsureReady()) << row.chosen;
    EXPECT_EQ(WkeEngine::LibraryPath(), folder.Path(row.chosen));
    EXPECT_TRUE(ui.desktop.Boxes().empty());
  }
}

TEST(WkeEngineLoader, NoCandidateShowsWhereToPutItAtEveryCreation) {
  ScriptedDesktopGuard ui;
  EngineFolder folder("");
  QWidget parent;
  for (int attempt = 0; attempt < 2; ++attempt) {
    ui.desktop.AnswerNext(kBoxResultOk);
    EXPECT_EQ(CreateControl(NewOwnerWindowId(), parent), 0);
  }
  const auto boxes = ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const RecordedBox& box : boxes) {
    EXPECT_EQ(box.caption, "错误");
    EXPECT_EQ(box.text, kNotFound + folder.Path("") + "/]这个目下");
  }
}

TEST(WkeEngineLoader, ALibFolderIsSearchedAsItsParent) {
  ScriptedDesktopGuard ui;
  EngineFolder folder("");
  const std::filesystem::path base = std::filesystem::path(folder.Path("")) / "q";
  std::filesystem::create_directories(base / "lib");
  std::filesystem::create_directories(base / "Lib");
  std::filesystem::copy_file(WKE_RECORDING_FULL, base / "node.dll");
  SetWkeSearchFolderForTesting((base / "lib").string() + "/");
  EXPECT_TRUE(WkeEngine::EnsureReady());
  EXPECT_EQ(WkeEngine::LibraryPath(), (base / "node.dll").string());

  ResetWkeEngineForTesting();
  SetWkeSearchFolderForTesting((base / "Lib").string() + "/");
  ui.desktop.AnswerNext(kBoxResultOk);
  EXPECT_FALSE(WkeEngine::EnsureReady());
  EXPECT_NE(ui.desktop.Boxes().at(0).text.find("q/Lib/]"), std::string::npos);
}

TEST(WkeEngineLoader, AFileThatDoesNotLoadGivesTheCreationFailureAndNoControl) {
  ScriptedDesktopGuard ui;
  EngineFolder folder("");
  std::ofstream(folder.Path()).close();
  QWidget parent;
  ui.desktop.AnswerNext(kBoxResultOk);
  EXPECT_EQ(CreateControl(NewOwnerWindowId(), parent), 0);
  ASSERT_EQ(ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(ui.desktop.Boxes()[0].caption, "创建组件失败");
  EXPECT_EQ(ui.desktop.Boxes()[0].text.rfind("创建webkit浏览器组件失败\n错误码 = ", 0), 0u);
  EXPECT_EQ(ui.desktop.Boxes()[0].type, kBoxOk | kBoxIconError);
  EXPECT_EQ(ui.desktop.Boxes()[0].owner, WindowHandleOf(&parent));
}

TEST(WkeEngineLoader, MissingExportsAreReportedInBindingOrderAndTheControlStillWorks) {
  ScriptedDesktopGuard ui;
  EngineFolder folder(WKE_RECORDING_LACKING_THREE);
  for (int i = 0; i < 3; ++i) {
    ui.desktop.AnswerNext(kBoxResultOk);
  }
  QWidget parent;
  EXPECT_NE(CreateControl(NewOwnerWindowId(), parent), 0);
  const auto boxes = ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  const char* names[] = {"wkeGC", "wkeSetDragFiles", "jsGC"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(boxes[static_cast<size_t>(i)].caption, names[i]);
    EXPECT_EQ(boxes[static_cast<size_t>(i)].text, "wke api not found");
  }
}

TEST(WkeEngineLoader, AnEngineWithoutWhatTheControlCallsMakesNoControl) {
  ScriptedDesktopGuard ui;
  EngineFolder folder(WKE_RECORDING_LACKING_COOKIE);
  ui.desktop.AnswerNext(kBoxResultOk);  // wkeGetCookie is missing
  ui.desktop.AnswerNext(kBoxResultOk);  // the creation failure
  QWidget parent;
  EXPECT_EQ(CreateControl(NewOwnerWindowId(), parent), 0);
  EXPECT_EQ(ui.desktop.Boxes().at(0).caption, "wkeGetCookie");
  EXPECT_EQ(ui.desktop.Boxes().at(1).caption, "创建组件失败");
  EXPECT_EQ(ui.desktop.Boxes().at(1).owner, WindowHandleOf(&parent));
  EXPECT_EQ(folder.Log().find("wkeCreateWebWindow"), std::string::npos);
}

TEST(WkeEngineLoader, LaterCreationsNeitherSearchLoadNorBindAgain) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  QWidget parent;
  EXPECT_NE(CreateControl(NewOwnerWindowId(), parent), 0);
  std::filesystem::remove(folder.Path());
  EXPECT_NE(CreateControl(NewOwnerWindowId(), parent), 0);
  EXPECT_NE(CreateControl(NewOwnerWindowId(), parent), 0);
  const std::string log = folder.Log();
  size_t count = 0;
  for (size_t at = log.find("wkeInitializeEx"); at != std::string::npos;
       at = log.find("wkeInitializeEx", at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 1u);
  EXPECT_TRUE(ui.desktop.Boxes().empty());
}

}  // namespace
