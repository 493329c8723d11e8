#pragma once
// The rename preview of `按钮6`: asks for a file name and shows what the
// current rename rules make of it, once as a folder and twice as a file.
//
// While a rename job runs, the preview works on a number counter of its own
// started from the job's current number, so it never takes numbers from the
// job. User-interface thread.

#include <string>

class QWidget;

// The three new names of `typedName` (folder, file, file), as the preview box
// shows them. Exposed for tests; ShowRenamePreview calls it.
struct RenamePreviewResults {
  std::string folder;
  std::string file1;
  std::string file2;
};
RenamePreviewResults PreviewNewNames(const std::string& typedName);

// The text of the preview box.
std::string RenamePreviewText(const std::string& typedName, const RenamePreviewResults& results);

// Does something only when `run` is 1: checks the Chinese-deletion count, asks
// for a name (the prompt; Cancel ends) and shows the box with the results.
void ShowRenamePreview(int unused, int run, QWidget* owner = nullptr);
