#include "web/result_log.h"

#include <mutex>
#include <set>

#include "foundation/error_log.h"
#include "foundation/file_system_path.h"
#include "foundation/message_box.h"
#include "foundation/run_directory.h"
#include "web/rename_task_state.h"

std::string SafeFileNamePart(std::string_view user) {
  std::string safe;
  for (size_t i = 0; i < user.size();) {
    const size_t length = Cp936CharLength(user, i);
    if (length > 1) {
      safe.append(user.substr(i, length));
      i += length;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(user[i]);
    const bool dotPair =
        c == '.' && ((i + 1 < user.size() && user[i + 1] == '.') || (i > 0 && user[i - 1] == '.'));
    const bool unsafe = c < 0x20 || c == 0x7f || c == '/' || c == '\\' || dotPair;
    safe.push_back(unsafe ? '_' : static_cast<char>(c));
    ++i;
  }
  return safe;
}

std::string ResultLogPath(std::string_view user, std::string_view kind) {
  return ResultLogPath(user, kind, g_renameTaskStamp);
}

std::string ResultLogPath(std::string_view user, std::string_view kind, std::string_view stamp) {
  return RunDirectoryPath(SafeFileNamePart(user) + std::string(kind) + std::string(stamp) + ".txt");
}

ResultLog::ResultLog(std::string_view user, std::string_view kind)
    : ResultLog(user, kind, g_renameTaskStamp) {}

ResultLog::ResultLog(std::string_view user, std::string_view kind, std::string_view stamp)
    : m_stamp(stamp),
      m_textPath(ResultLogPath(user, kind, stamp)),
      m_path(FileSystemPathFromText(m_textPath)) {}

ResultLog::~ResultLog() {
  if (m_file != nullptr) {
    std::fclose(m_file);
  }
}

bool ResultLog::Append(std::string_view entry) {
  if (m_file == nullptr) {
    m_file = std::fopen(m_path.c_str(), "ab");
  }
  bool written = false;
  if (m_file != nullptr) {
    const std::string line = std::string(entry) + "\r\n";
    written = std::fwrite(line.data(), 1, line.size(), m_file) == line.size();
    written = std::fflush(m_file) == 0 && written;
  }
  if (!written) {
    ReportFailure();
  }
  return written;
}

std::string ResultLogFailureText(std::string_view path) {
  return "结果记录写入失败，本次任务的部分结果没有记下：" + std::string(path);
}

void ResultLog::ReportFailure() {
  if (m_reported) {
    return;
  }
  m_reported = true;
  // The stamps of the runs that have reported; a run is reported once.
  static std::mutex s_mutex;
  static auto* s_reportedStamps = new std::set<std::string>;
  {
    std::lock_guard lock(s_mutex);
    if (!s_reportedStamps->insert(m_stamp).second) {
      return;
    }
  }
  const std::string text = ResultLogFailureText(m_textPath);
  ShowStatusText(text);
  AppendErrorLogLine(text);
}

bool AppendResultLogEntry(std::string_view user, std::string_view kind, std::string_view entry) {
  ResultLog log(user, kind);
  return log.Append(entry);
}
