#pragma once
// Lets windows accept files dragged onto them from the desktop's file manager.
//
// Implementations: the Qt one (platform/qt/qt_drop_target_host.h), installed by
// main(); a headless one until anything else is installed, which accepts no
// drops. Tests install their own. Used on the user-interface thread only.

#include <functional>
#include <string>
#include <vector>

#include "platform/window_handle.h"

// Receives the full paths of one drop (UTF-16, in the order the file manager
// gave them).
using DroppedFilesHandler = std::function<void(const std::vector<std::u16string>& paths)>;

class DropTargetHost {
 public:
  virtual ~DropTargetHost() = default;
  // Makes `window` accept dropped files and hand each drop to `handler`,
  // replacing a handler the window had before. False when the window is
  // unknown.
  virtual bool AcceptDrops(WindowHandle window, DroppedFilesHandler handler) = 0;
  // The window refuses drops again and forgets its handler.
  virtual void RefuseDrops(WindowHandle window) = 0;
};

DropTargetHost& GetDropTargetHost();
// Installs `host` (nullptr: the headless one) and returns the previous
// (nullptr for the headless one). The caller keeps `host` alive.
DropTargetHost* InstallDropTargetHost(DropTargetHost* host);

class ScopedDropTargetHost {
 public:
  explicit ScopedDropTargetHost(DropTargetHost& host) : m_previous(InstallDropTargetHost(&host)) {}
  ~ScopedDropTargetHost() { InstallDropTargetHost(m_previous); }
  ScopedDropTargetHost(const ScopedDropTargetHost&) = delete;
  ScopedDropTargetHost& operator=(const ScopedDropTargetHost&) = delete;

 private:
  DropTargetHost* m_previous;
};
