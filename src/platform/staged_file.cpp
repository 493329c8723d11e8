#include "platform/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

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
  if (!m_tempPath.empty() || targetPath.empty() || targetPath.back() == '/')
    return false;
  std::string pattern = FolderOf(targetPath) + "/.staged-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0)
    return false;
  m_tempPath = name.data();
  m_targetPath = targetPath;
  // mkostemp makes the file 0600; the wanted mode (less the umask) is applied
  // before any byte is written, so cookie texts are never readable by others.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  bool ok = ::fchmod(fd, static_cast<mode_t>(mode) & ~mask) == 0 && WriteAll(fd, bytes) &&
            ::fsync(fd) == 0;
  if (::close(fd) != 0)
    ok = false;
  m_written = ok;
  return ok;
}

bool StagedFile::Commit() {
  if (!m_written)
    return false;
  if (::rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0)
    return false;
  m_tempPath.clear();
  m_written = false;
  return true;
}

bool StagedFile::CommitWithoutReplacing() {
  if (!m_written)
    return false;
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
