#pragma once
// One environment variable changed for the life of the object: what was there
// before (its value, or its absence) comes back when the object goes, however
// the test changed the variable in between. Not for tests that run threads
// reading the environment while it changes.

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

class ScopedEnvironment {
 public:
  // Only remembers the variable; the test sets it as it needs.
  explicit ScopedEnvironment(std::string name) : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str()))
      m_old = old;
  }
  ScopedEnvironment(std::string name, const std::string& value)
      : ScopedEnvironment(std::move(name)) {
    setenv(m_name.c_str(), value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (m_old)
      setenv(m_name.c_str(), m_old->c_str(), 1);
    else
      unsetenv(m_name.c_str());
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_old;
};
