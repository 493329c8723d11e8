#pragma once
// The work behind the update window: fetching and showing the newest version,
// starting the updater, opening the download page.
//
// An UpdateSession belongs to one update window and is shared with the
// threads the window starts. Its controls live in a ControlStore of its own,
// so the update window's "按钮2", "按钮3", "透明标签2" and "透明标签3" are
// never confused with the main window's controls of those names, and writes
// after the window has closed reach no widget. A start-up window and a
// "检测更新" window may be open at once, each with its own session.
//
// The updater is "自动升级程序.exe" in the run directory. Starting it leaves
// the hand-off file "updateset.ini" for it ("product|version|program file
// name|启动真", code page 936, no line break), starts it without arguments in
// the run directory and ends the program.

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "platform/control_store.h"

// What the update routines need from the rest of the program; tests replace
// each of them.
struct UpdaterServices {
  // Starts the program at the file-system path, detached, in the folder.
  std::function<bool(const std::string& path, const std::string& folder)> startProcess;
  // The "FileVersion" text of an executable (ReadFileVersionText).
  std::function<std::string(const std::string& path, std::string& error)> readVersion;
  // Ends the program (MainWindow::RequestEndProgram).
  std::function<void()> endProgram;
};

// The program's own services, ending through `endProgram`.
UpdaterServices MakeUpdaterServices(std::function<void()> endProgram);

struct UpdateSession {
  std::shared_ptr<ControlStore> store = std::make_shared<ControlStore>();
  UpdaterServices services;
  // Closes the window when it still exists. Any thread.
  std::function<void()> closeWindow;
  // Set when FetchUpdateInfo has returned.
  std::atomic<bool> fetchFinished{false};
};

// Control names of the update window.
inline constexpr const char* kUpdateStartButton = "按钮_开始更新程序";
inline constexpr const char* kUpdateDownloadButton = "按钮2";
inline constexpr const char* kUpdateLaterButton = "按钮3";
inline constexpr const char* kUpdateVersionLabel = "透明标签1";
inline constexpr const char* kUpdateCurrentLabel = "透明标签2";
inline constexpr const char* kUpdateNotesLabel = "透明标签3";
inline constexpr const char* kUpdateNotesBox = "超级编辑框1";
inline constexpr const char* kUpdateFocusBox = "编辑框2";

// The updater's version rule: a version text holding "." must read, without
// its dots, as an integer of at least 1100; any other text is not checked.
bool UpdaterVersionAccepted(const std::string& versionText);

// Fills the window from the manifest (worker thread of the window). A forced
// newer version starts the update at once and ends the program.
void FetchUpdateInfo(UpdateSession& session);

// The click on "开始更新": disables the button and runs LaunchUpdater on a new
// thread.
void StartUpdate(const std::shared_ptr<UpdateSession>& session);

// Makes sure a recent updater is there, hands over to it and ends the
// program. True when the updater was started (the program is then ending);
// false after every other path, which enables the start button again.
bool LaunchUpdater(UpdateSession& session);

// The click on "手动下载": opens the download address (http and https only)
// and ends the program; anything else does nothing.
void OpenDownloadPage(const UpdaterServices& services);
