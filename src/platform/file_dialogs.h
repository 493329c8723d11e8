#pragma once
// The common file dialogs: open, save, open several, and the font dialog, plus
// the wide-character open dialog that other components (the browser engine's
// file chooser) ask for, which can be made to answer itself.
//
// Implementations: the Qt one (platform/qt/qt_file_dialogs.h), installed by
// main(); ScriptedFileDialogs (platform/scripted_file_dialogs.h) for tests; a
// silent headless one until anything else is installed, which cancels every
// dialog. Texts are code page 936. Dialogs are modal and block the caller until
// they close; call them on the user-interface thread.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class FileDialogKind { kOpen, kSave, kOpenMany };

// One entry of a dialog's type list: "文本文件" with "*.txt" (several
// patterns separated by ";").
struct FileDialogFilter {
  std::string description;
  std::string patterns;
};

struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::kOpen;
  bool preview = false;
  std::string title;  // empty: the dialog's own title
  std::string initialFile;
  std::string initialFolder;
  std::string defaultExtension;
  std::vector<FileDialogFilter> filters;
  bool createPrompt = false;       // open: offer to create a missing file
  bool fileMustExist = false;      // open
  bool pathMustExist = false;      // open and save
  bool overwritePrompt = false;    // save: confirm replacing a file
  bool keepCurrentFolder = false;  // the working directory stays as it was
};

// Colours are 0x00BBGGRR.
struct FontDialogRequest {
  std::string faceName;
  int pointSize = 0;
  std::uint32_t colour = 0;
  bool bold = false;
  bool italic = false;
  bool strikeout = false;
  bool underline = false;
  int minimumPointSize = 8;
  int maximumPointSize = 72;
};

struct FontDialogAnswer {
  std::string faceName;
  int pointSizeTenths = 0;
  int weight = 400;  // 700 for bold
  bool italic = false;
  bool strikeout = false;
  bool underline = false;
  int escapement = 0;  // tenths of a degree
};

// The wide-character open dialog's request and answer. `file` holds the chosen
// path afterwards; `maxFileChars` is the room for it, terminator included.
struct WideOpenFileName {
  std::u16string title;
  std::u16string initialFolder;
  std::vector<FileDialogFilter> filters;
  std::u16string file;
  std::size_t maxFileChars = 260;
  std::uint32_t flags = 0;
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen paths (one for kOpen and kSave), empty when cancelled.
  virtual std::vector<std::string> ShowFileDialog(const FileDialogRequest& request) = 0;
  // True when the user confirmed; `answer` is filled only then.
  virtual bool ShowFontDialog(const FontDialogRequest& request, FontDialogAnswer& answer) = 0;
  // True when a file was chosen; it is in `dialog.file`.
  virtual bool ShowWideOpenDialog(WideOpenFileName& dialog) = 0;
};

// The installed dialogs (the cancelling headless ones unless another is
// installed). Any thread.
FileDialogs& GetFileDialogs();
// Installs `dialogs` (nullptr: the headless ones) and returns the previous
// (nullptr for the headless ones). The caller keeps `dialogs` alive.
FileDialogs* InstallFileDialogs(FileDialogs* dialogs);

class ScopedFileDialogs {
 public:
  explicit ScopedFileDialogs(FileDialogs& dialogs) : m_previous(InstallFileDialogs(&dialogs)) {}
  ~ScopedFileDialogs() { InstallFileDialogs(m_previous); }
  ScopedFileDialogs(const ScopedFileDialogs&) = delete;
  ScopedFileDialogs& operator=(const ScopedFileDialogs&) = delete;

 private:
  FileDialogs* m_previous;
};

// The wide-character open dialog of the whole process. While an answerer is
// set, it answers every call instead of the dialog; otherwise the installed
// FileDialogs shows it. True when a file was chosen.
bool GetOpenFileNameWide(WideOpenFileName& dialog);

using WideOpenAnswerer = std::function<bool(WideOpenFileName& dialog)>;
// Sets (or, with an empty function, removes) the process's answerer and
// returns the one it replaces, so that a temporary answerer can put the
// previous one back. Any thread.
WideOpenAnswerer SetWideOpenAnswerer(WideOpenAnswerer answerer);
bool HasWideOpenAnswerer();
// Shows the dialog through the installed FileDialogs, bypassing the answerer.
bool ShowRealWideOpenDialog(WideOpenFileName& dialog);
