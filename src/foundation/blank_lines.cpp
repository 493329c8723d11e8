#include "foundation/blank_lines.h"

namespace {

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool StartsWithCrLf(std::string_view text) {
  return text.substr(0, 2) == "\r\n";
}

}  // namespace

std::string RemoveBlankLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\n') {
      // The LF, the white space after it, and the last CR inside that white
      // space go together; an LF without such a CR stays.
      size_t lastCr = 0;
      size_t j = i + 1;
      for (; j < text.size() && IsWhiteSpace(text[j]); ++j) {
        if (text[j] == '\r')
          lastCr = j;
      }
      if (lastCr != 0) {
        i = lastCr + 1;
        continue;
      }
    }
    out += text[i++];
  }
  if (StartsWithCrLf(out))
    out.erase(0, 2);
  if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0)
    out.resize(out.size() - 2);
  return out;
}

void PrepareRegex(int) {}
