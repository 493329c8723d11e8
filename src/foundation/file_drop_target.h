#pragma once
// FileDropTarget: lets windows accept files dropped on them and hands the full
// path of every dropped file, one call per file and in the drop's order, to a
// program routine. The program has two of these objects (the keyword-rules
// window's edit box and its labels).
//
// One object may be registered on several windows one after the other; all of
// them deliver their drops to the object's routine. Unregister (and the
// destructor) makes every window the object was registered on refuse drops
// again, so no window keeps a way into a released object.
//
// User-interface thread only (drops arrive there).

#include <functional>
#include <string>
#include <vector>

#include "platform/window_handle.h"

class FileDropTarget {
 public:
  // Called once per dropped file: the path as code page 936 text (characters
  // it cannot hold become "?"), or, with wide names, as UTF-16LE bytes without
  // terminator. Paths longer than 1023 characters arrive cut to 1023.
  using Routine = std::function<void(const std::string& path)>;

  FileDropTarget() = default;
  ~FileDropTarget();  // unregisters
  // Not copyable: a copy would share the windows' registrations.
  FileDropTarget(const FileDropTarget&) = delete;
  FileDropTarget& operator=(const FileDropTarget&) = delete;

  void Register(WindowHandle window, Routine routine, bool wideNames);
  void Unregister();
  // The entry every drop on a registered window passes: reports each path to
  // the routine (none set: nothing is called). Answers 0.
  int WindowProc(WindowHandle window, const std::vector<std::u16string>& paths);

  WindowHandle Window() const { return m_window; }
  bool WideNames() const { return m_wideNames; }
  bool HasRoutine() const { return static_cast<bool>(m_routine); }
  bool IsRegistered() const { return !m_registeredWindows.empty(); }

 private:
  WindowHandle m_window = 0;
  Routine m_routine;
  bool m_wideNames = false;
  std::vector<WindowHandle> m_registeredWindows;
};

// The longest path a routine receives, in UTF-16 code units.
inline constexpr size_t kMaxDroppedPathChars = 1023;
