#include "platform/memory_files.h"

#include <atomic>

namespace {

std::atomic<MemoryFiles*> s_installed{nullptr};

}  // namespace

std::optional<std::string> MemoryFiles::Read(const std::string& path) const {
  std::lock_guard lock(m_lock);
  const auto found = m_files.find(path);
  if (found == m_files.end())
    return std::nullopt;
  return found->second;
}

void MemoryFiles::Write(const std::string& path, std::string_view bytes) {
  std::lock_guard lock(m_lock);
  m_files[path] = std::string(bytes);
}

bool MemoryFiles::WriteNew(const std::string& path, std::string_view bytes) {
  std::lock_guard lock(m_lock);
  return m_files.emplace(path, std::string(bytes)).second;
}

bool MemoryFiles::MoveWithoutReplacing(const std::string& from, const std::string& to) {
  std::lock_guard lock(m_lock);
  const auto source = m_files.find(from);
  if (source == m_files.end() || m_files.contains(to))
    return false;
  std::string bytes = std::move(source->second);
  m_files.erase(source);
  m_files.emplace(to, std::move(bytes));
  return true;
}

void MemoryFiles::Clear() {
  std::lock_guard lock(m_lock);
  m_files.clear();
}

void InstallMemoryFiles(MemoryFiles* files) {
  s_installed.store(files);
}

MemoryFiles* InstalledMemoryFiles() {
  return s_installed.load();
}
