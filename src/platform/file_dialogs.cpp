#include "platform/file_dialogs.h"

#include <atomic>
#include <mutex>

namespace {

class HeadlessFileDialogs final : public FileDialogs {
 public:
  std::vector<std::string> ShowFileDialog(const FileDialogRequest&) override { return {}; }
  bool ShowFontDialog(const FontDialogRequest&, FontDialogAnswer&) override { return false; }
  bool ShowWideOpenDialog(WideOpenFileName&) override { return false; }
};

HeadlessFileDialogs s_headless;
std::atomic<FileDialogs*> s_installed{nullptr};

std::mutex s_answererMutex;
WideOpenAnswerer s_answerer;

}  // namespace

FileDialogs& GetFileDialogs() {
  FileDialogs* dialogs = s_installed.load();
  return dialogs != nullptr ? *dialogs : s_headless;
}

FileDialogs* InstallFileDialogs(FileDialogs* dialogs) {
  return s_installed.exchange(dialogs);
}

bool GetOpenFileNameWide(WideOpenFileName& dialog) {
  WideOpenAnswerer answerer;
  {
    std::lock_guard<std::mutex> lock(s_answererMutex);
    answerer = s_answerer;
  }
  // Called outside the lock: the answerer may show the real dialog, which
  // blocks for as long as the user takes.
  return answerer ? answerer(dialog) : ShowRealWideOpenDialog(dialog);
}

WideOpenAnswerer SetWideOpenAnswerer(WideOpenAnswerer answerer) {
  std::lock_guard<std::mutex> lock(s_answererMutex);
  std::swap(s_answerer, answerer);
  return answerer;
}

bool HasWideOpenAnswerer() {
  std::lock_guard<std::mutex> lock(s_answererMutex);
  return static_cast<bool>(s_answerer);
}

bool ShowRealWideOpenDialog(WideOpenFileName& dialog) {
  return GetFileDialogs().ShowWideOpenDialog(dialog);
}
