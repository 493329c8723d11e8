#pragma once
// Test helpers of the rename task: the remote folder tree's model built and
// ticked by hand, the control-name lookup that a flash goes through, and a
// wait for the start button's return (the end of a task and of every task it
// restarted).

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/fake_window_system.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"

// UTF-16LE bytes of a UTF-16 literal (the tree model's item texts).
std::string U16Bytes(std::u16string_view text);

// Empties the program's folder tree and adds its root item ("demo的网盘",
// item data -1); returns its index.
int AddTreeRoot();
// Adds an item under `parent`: data 1 a folder, 0 a file. Returns its index.
int AddTreeItem(int parent, std::u16string_view name, int data);
// Adds the folders and the file of `path` ("/a/b/c.txt"; a trailing "/" makes
// the last level a folder), each level once, below the root item; returns the
// index of the last level. Code page 936 names.
int AddTreePath(const std::string& path);
void Tick(int index);

// Installs a control-name lookup that gives every name in `names` a window of
// its own in `windows`, and takes it away again at the end of the scope.
class ControlWindows {
 public:
  ControlWindows(FakeWindowSystem& windows, std::vector<std::string> names);
  ~ControlWindows();
  // The name of the control each outline toggle was drawn round, in order.
  std::vector<std::string> Flashed() const;

 private:
  FakeWindowSystem& m_windows;
  std::vector<std::string> m_names;
};

// Blocks until `按钮_开始改名` is enabled and every task thread has returned
// (the task and every task it restarted have ended); false after a generous
// real-time bound, so a hang fails the test instead of the run.
bool WaitForStartButton();

// The texts of every box the desktop showed, in order.
std::vector<std::string> BoxTexts(const ScriptedDesktop& desktop);

// The controls the checks flash.
std::vector<std::string> FlashableControls();

// The state of a task test: a scripted desktop and test clock, a window system
// that records outlines with every flashable control, a scratch program
// folder, an empty control store, the tree with only its root item, the
// account "demo" as the working account, zeroed counters and a prefetch run
// that does nothing. Everything is put back at the end.
class RenameTaskFixture : public ::testing::Test {
 protected:
  RenameTaskFixture();
  ~RenameTaskFixture() override;
  // Back to the start state (table rows call it between rows).
  void Reset();
  // Simulates the click: the button disabled, then the task on this thread.
  void RunTask(int argument);
  std::vector<std::string> BoxTexts() const;  // of m_ui

  ScratchFolder m_folder;
  ScopedEnvironment m_home{"QUILLMERE_HOME", m_folder.Path().string()};
  ScriptedDesktopGuard m_ui;
  FakeWindowSystem m_windows;
  ScopedWindowSystem m_useWindows{m_windows};
  ControlWindows m_controls{m_windows, FlashableControls()};
};
