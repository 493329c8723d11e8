#include "foundation/file_name_pattern.h"

#include "foundation/file_system_path.h"
#include "foundation/text_search.h"

namespace {

bool SameChar(std::string_view name, size_t n, std::string_view pattern, size_t p, size_t length) {
  if (Cp936CharLength(pattern, p) != length) {
    return false;
  }
  if (length == 2) {
    return name.compare(n, 2, pattern, p, 2) == 0;
  }
  return FoldAscii(static_cast<unsigned char>(name[n])) ==
         FoldAscii(static_cast<unsigned char>(pattern[p]));
}

// Iterative wildcard match with one backtrack point per "*": linear in
// practice and without recursion, whatever the pattern.
bool Matches(std::string_view name, std::string_view pattern) {
  size_t n = 0;
  size_t p = 0;
  size_t starPattern = std::string_view::npos;
  size_t starName = 0;
  while (n < name.size()) {
    size_t length = Cp936CharLength(name, n);
    if (p < pattern.size() && pattern[p] == '*') {
      starPattern = ++p;
      starName = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || SameChar(name, n, pattern, p, length))) {
      p += pattern[p] == '?' ? 1 : length;
      n += length;
    } else if (starPattern != std::string_view::npos) {
      starName += Cp936CharLength(name, starName);
      n = starName;
      p = starPattern;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') {
    ++p;
  }
  return p == pattern.size();
}

}  // namespace

bool MatchesFileNamePattern(std::string_view name, std::string_view pattern) {
  if (pattern.empty()) {
    return false;
  }
  if (Matches(name, pattern)) {
    return true;
  }
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos) {
    return Matches(name, pattern.substr(0, pattern.size() - 2));
  }
  return false;
}
