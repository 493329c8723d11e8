#include "platform/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/memory_files.h"

namespace {

// The process's file-mode mask as the kernel reports it, without changing it;
// -1 when /proc cannot tell.
int ReportedMask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      try {
        return static_cast<int>(std::stoul(line.substr(6), nullptr, 8) & 0777);
      } catch (...) {
        return -1;
      }
    }
  }
  return -1;
}

// The mask is the whole process's: setting it, even for a moment, would give
// a file another thread creates then the wrong mode. So it is read once, when
// this library is loaded; only where /proc cannot tell is it set and restored
// then (at program start, before any other thread).
mode_t StartUpMask() {
  const int reported = ReportedMask();
  if (reported >= 0) {
    return static_cast<mode_t>(reported);
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

const mode_t s_startUpMask = StartUpMask();

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

StagedFile::~StagedFile() {
  if (!m_tempPath.empty())
    ::unlink(m_tempPath.c_str());
}

bool StagedFile::Write(const std::string& targetPath, std::string_view bytes, unsigned mode) {
  if (!m_tempPath.empty() || m_written || targetPath.empty() || targetPath.back() == '/')
    return false;
  if (InstalledMemoryFiles()) {
    m_targetPath = targetPath;
    m_memoryBytes = bytes;
    m_written = true;
    return true;
  }
  std::string pattern = FolderOf(targetPath) + "/.staged-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0)
    return false;
  m_tempPath = name.data();
  m_targetPath = targetPath;
  // mkostemp makes the file 0600; the wanted mode (less the mask) is applied
  // to the descriptor before any byte is written, so cookie texts are never
  // readable by others.
  bool ok = ::fchmod(fd, static_cast<mode_t>(mode) & ~s_startUpMask) == 0 && WriteAll(fd, bytes) &&
            ::fsync(fd) == 0;
  if (::close(fd) != 0)
    ok = false;
  m_written = ok;
  return ok;
}

bool StagedFile::Commit() {
  if (!m_written)
    return false;
  if (MemoryFiles* memory = InstalledMemoryFiles(); memory && m_tempPath.empty()) {
    memory->Write(m_targetPath, m_memoryBytes);
    m_written = false;
    return true;
  }
  if (::rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0)
    return false;
  m_tempPath.clear();
  m_written = false;
  return true;
}

bool StagedFile::CommitWithoutReplacing() {
  if (!m_written)
    return false;
  if (MemoryFiles* memory = InstalledMemoryFiles(); memory && m_tempPath.empty()) {
    if (!memory->WriteNew(m_targetPath, m_memoryBytes))
      return false;
    m_written = false;
    return true;
  }
  if (::link(m_tempPath.c_str(), m_targetPath.c_str()) != 0)
    return false;
  ::unlink(m_tempPath.c_str());
  m_tempPath.clear();
  m_written = false;
  return true;
}

bool WriteFileReplacing(const std::string& targetPath, std::string_view bytes, unsigned mode) {
  StagedFile file;
  return file.Write(targetPath, bytes, mode) && file.Commit();
}
