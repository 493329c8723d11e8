#include "platform/scripted_file_dialogs.h"

void ScriptedFileDialogs::AnswerNextFile(std::vector<std::string> paths) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_fileAnswers.push_back(std::move(paths));
}

void ScriptedFileDialogs::AnswerNextFont(std::optional<FontDialogAnswer> answer) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_fontAnswers.push_back(std::move(answer));
}

void ScriptedFileDialogs::AnswerNextWideOpen(std::optional<std::u16string> path) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_wideAnswers.push_back(std::move(path));
}

std::vector<std::string> ScriptedFileDialogs::ShowFileDialog(const FileDialogRequest& request) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_fileRequests.push_back(request);
  if (m_fileAnswers.empty()) {
    lock.unlock();
    Report("a file dialog was shown that no test scripted");
    return {};
  }
  std::vector<std::string> answer = std::move(m_fileAnswers.front());
  m_fileAnswers.pop_front();
  return answer;
}

bool ScriptedFileDialogs::ShowFontDialog(const FontDialogRequest& request,
                                         FontDialogAnswer& answer) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_fontRequests.push_back(request);
  if (m_fontAnswers.empty()) {
    lock.unlock();
    Report("a font dialog was shown that no test scripted");
    return false;
  }
  std::optional<FontDialogAnswer> scripted = std::move(m_fontAnswers.front());
  m_fontAnswers.pop_front();
  if (!scripted) {
    return false;
  }
  answer = *scripted;
  return true;
}

bool ScriptedFileDialogs::ShowWideOpenDialog(WideOpenFileName& dialog) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_wideRequests.push_back(dialog);
  if (m_wideAnswers.empty()) {
    lock.unlock();
    Report("a wide open dialog was shown that no test scripted");
    return false;
  }
  std::optional<std::u16string> scripted = std::move(m_wideAnswers.front());
  m_wideAnswers.pop_front();
  if (!scripted) {
    return false;
  }
  dialog.file = *scripted;
  return true;
}

std::vector<FileDialogRequest> ScriptedFileDialogs::FileRequests() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_fileRequests;
}

std::vector<FontDialogRequest> ScriptedFileDialogs::FontRequests() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_fontRequests;
}

std::vector<WideOpenFileName> ScriptedFileDialogs::WideOpenRequests() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_wideRequests;
}

int ScriptedFileDialogs::PendingAnswers() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return static_cast<int>(m_fileAnswers.size() + m_fontAnswers.size() + m_wideAnswers.size());
}

void ScriptedFileDialogs::Report(const std::string& message) {
  if (m_reporter) {
    m_reporter(message);
  }
}
