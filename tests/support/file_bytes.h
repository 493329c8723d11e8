#pragma once
// The whole content of a file, for tests that compare files byte for byte.

#include <fstream>
#include <sstream>
#include <string>

// Empty when the file cannot be read. `path` is a file-system path (UTF-8).
inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}
