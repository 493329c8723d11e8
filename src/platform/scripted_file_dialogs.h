#pragma once
// FileDialogs for tests: answers every dialog from a script and records every
// request; never shows anything.
//
//   ScriptedFileDialogs dialogs(ReportToGtest);
//   ScopedFileDialogs use(dialogs);
//   dialogs.AnswerNextFile({"/run/renset/ren-set-20260102.ini"});
//   ... code under test ...
//   EXPECT_EQ(dialogs.FileRequests().at(0).initialFolder, "/run/renset");
//
// A dialog that finds no scripted answer is reported through the failure
// reporter and answered as cancelled. Any thread.

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_dialogs.h"

class ScriptedFileDialogs final : public FileDialogs {
 public:
  using FailureReporter = std::function<void(const std::string& message)>;

  explicit ScriptedFileDialogs(FailureReporter reporter = {}) : m_reporter(std::move(reporter)) {}

  // The next file dialog (open, save or open-many) chooses `paths`; an empty
  // list cancels it.
  void AnswerNextFile(std::vector<std::string> paths);
  // The next font dialog confirms `answer`, or is cancelled (nullopt).
  void AnswerNextFont(std::optional<FontDialogAnswer> answer);
  // The next wide open dialog chooses `path`, or is cancelled (nullopt).
  void AnswerNextWideOpen(std::optional<std::u16string> path);

  std::vector<std::string> ShowFileDialog(const FileDialogRequest& request) override;
  bool ShowFontDialog(const FontDialogRequest& request, FontDialogAnswer& answer) override;
  bool ShowWideOpenDialog(WideOpenFileName& dialog) override;

  std::vector<FileDialogRequest> FileRequests() const;
  std::vector<FontDialogRequest> FontRequests() const;
  std::vector<WideOpenFileName> WideOpenRequests() const;
  // Scripted answers not yet asked for.
  int PendingAnswers() const;

 private:
  void Report(const std::string& message);

  FailureReporter m_reporter;
  mutable std::mutex m_mutex;
  std::deque<std::vector<std::string>> m_fileAnswers;
  std::deque<std::optional<FontDialogAnswer>> m_fontAnswers;
  std::deque<std::optional<std::u16string>> m_wideAnswers;
  std::vector<FileDialogRequest> m_fileRequests;
  std::vector<FontDialogRequest> m_fontRequests;
  std::vector<WideOpenFileName> m_wideRequests;
};
