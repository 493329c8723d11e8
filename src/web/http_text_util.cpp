#include "web/http_text_util.h"

#include "foundation/text_arrays.h"
#include "platform/code_page_codec.h"

namespace {

bool IsBlankAt(std::string_view text, size_t pos, size_t length) {
  if (length == 1) {
    return text[pos] == ' ';
  }
  return static_cast<unsigned char>(text[pos]) == 0xA1 &&
         static_cast<unsigned char>(text[pos + 1]) == 0xA1;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  size_t begin = std::string_view::npos;
  size_t end = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t length = Cp936CharLength(text, pos);
    if (!IsBlankAt(text, pos, length)) {
      if (begin == std::string_view::npos) {
        begin = pos;
      }
      end = pos + length;
    }
    pos += length;
  }
  return begin == std::string_view::npos ? std::string()
                                         : std::string(text.substr(begin, end - begin));
}

std::string RemoveAllBlanks(std::string_view text) {
  std::string kept;
  for (size_t pos = 0; pos < text.size();) {
    size_t length = Cp936CharLength(text, pos);
    if (!IsBlankAt(text, pos, length)) {
      kept.append(text.substr(pos, length));
    }
    pos += length;
  }
  return kept;
}

size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
  for (size_t pos = 0; pos < text.size(); pos += Cp936CharLength(text, pos)) {
    if (pos < from || text.size() - pos < needle.size()) {
      continue;
    }
    bool same = true;
    for (size_t i = 0; same && i < needle.size(); ++i) {
      same = LowerAscii(text[pos + i]) == LowerAscii(needle[i]);
    }
    if (same) {
      return pos;
    }
  }
  return needle.empty() && from <= text.size() ? from : std::string::npos;
}

std::vector<std::string> SplitItems(std::string_view text, std::string_view separator) {
  std::vector<std::string> items = SplitText(text, separator);
  if (!items.empty() && items.back().empty()) {
    items.pop_back();
  }
  return items;
}

std::string JoinText(const std::vector<std::string>& items, std::string_view separator) {
  std::string joined;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) {
      joined += separator;
    }
    joined += items[i];
  }
  return joined;
}
