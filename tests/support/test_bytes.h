#pragma once
// Builds byte strings from byte values, for tests that state exact bytes.

#include <initializer_list>
#include <string>

inline std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values)
    s += static_cast<char>(v);
  return s;
}
