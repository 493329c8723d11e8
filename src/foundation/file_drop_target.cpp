#include "foundation/file_drop_target.h"

#include <algorithm>

#include "platform/code_page_codec.h"
#include "platform/drop_target_host.h"

FileDropTarget::~FileDropTarget() {
  Unregister();
}

void FileDropTarget::Register(WindowHandle window, Routine routine, bool wideNames) {
  m_window = window;
  m_routine = std::move(routine);
  m_wideNames = wideNames;
  bool accepted = GetDropTargetHost().AcceptDrops(
      window,
      [this, window](const std::vector<std::u16string>& paths) { WindowProc(window, paths); });
  if (accepted && std::find(m_registeredWindows.begin(), m_registeredWindows.end(), window) ==
                      m_registeredWindows.end()) {
    m_registeredWindows.push_back(window);
  }
}

void FileDropTarget::Unregister() {
  for (WindowHandle window : m_registeredWindows) {
    GetDropTargetHost().RefuseDrops(window);
  }
  m_registeredWindows.clear();
  m_routine = nullptr;
  m_wideNames = false;
}

int FileDropTarget::WindowProc(WindowHandle, const std::vector<std::u16string>& paths) {
  for (const std::u16string& path : paths) {
    if (!m_routine) {
      break;
    }
    std::u16string_view cut(path.data(), std::min(path.size(), kMaxDroppedPathChars));
    // A copy: the routine may re-register or unregister this object.
    Routine routine = m_routine;
    routine(m_wideNames ? Utf16ToLeBytes(cut) : EncodeFromUtf16(cut, kCodePageLocal));
  }
  return 0;
}
