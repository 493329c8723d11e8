#pragma once
// The file and font dialogs over Qt's QFileDialog and QFontDialog. main()
// installs one (InstallFileDialogs). The dialogs are modal and owned by the
// active window; a call from a worker thread is carried to the user-interface
// thread and waits there. The working directory never changes.

#include <QObject>
#include <QStringList>
#include <vector>

#include "platform/file_dialogs.h"

class QtFileDialogs final : public FileDialogs {
 public:
  std::vector<std::string> ShowFileDialog(const FileDialogRequest& request) override;
  bool ShowFontDialog(const FontDialogRequest& request, FontDialogAnswer& answer) override;
  bool ShowWideOpenDialog(WideOpenFileName& dialog) override;

 private:
  QObject m_context;  // the calls carried to the user-interface thread
};

// Filters as QFileDialog takes them: "文本文件 (*.txt)", patterns separated by
// ";" in the program becoming blanks.
QStringList QtNameFilters(const std::vector<FileDialogFilter>& filters);
