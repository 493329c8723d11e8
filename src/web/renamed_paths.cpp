#include "web/renamed_paths.h"

RenamedPathTable g_renamedPaths;

void RenamedPathTable::Set(const std::string& key, const std::string& value) {
  std::lock_guard lock(m_mutex);
  m_values[key] = value;
}

std::string RenamedPathTable::Get(const std::string& key) const {
  std::lock_guard lock(m_mutex);
  const auto found = m_values.find(key);
  return found == m_values.end() ? std::string() : found->second;
}

void RenamedPathTable::Clear() {
  std::lock_guard lock(m_mutex);
  m_values.clear();
}
