#include "data/script_json_support.h"

#include "foundation/hex_digit.h"
#include "platform/code_page_codec.h"

namespace {

void AppendJsonString(std::u16string& out, std::u16string_view text) {
  static const char16_t kHex[] = u"0123456789abcdef";
  out += u'"';
  for (char16_t c : text) {
    if (c == u'"' || c == u'\\') {
      out += u'\\';
      out += c;
    } else if (c < 0x20) {
      out += u"\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += c;
    }
  }
  out += u'"';
}

bool IsInvisible(char16_t c) {
  return (c >= 0x7F && c <= 0x9F) || c == 0xAD || (c >= 0x600 && c <= 0x604) || c == 0x70F ||
         c == 0x17B4 || c == 0x17B5 || (c >= 0x200C && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202F) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || c >= 0xFFF0;
}

}  // namespace

std::optional<std::u16string> PathKeysJson(std::string_view localPath) {
  // Read as UTF-16, so that no trail byte of a double-byte character is taken
  // for a bracket or a backslash.
  const std::u16string wide = DecodeToUtf16(localPath, kCodePageLocal);
  std::u16string_view path = wide;
  if (path.substr(0, 2) == u"da" && (path.size() == 2 || path[2] == u'.' || path[2] == u'['))
    path.remove_prefix(2);
  std::u16string keys = u"[";
  bool first = true;
  auto add = [&](std::u16string_view key, bool number) {
    if (!first)
      keys += u',';
    first = false;
    if (number)
      keys += key;
    else
      AppendJsonString(keys, key);
  };
  size_t i = 0;
  // A path that starts with a member name reads as if it started with a dot.
  bool expectName = !path.empty() && path.front() != u'[' && path.front() != u'.';
  while (i < path.size() || expectName) {
    if (expectName || path[i] == u'.') {
      if (!expectName)
        ++i;
      expectName = false;
      const size_t end = path.find_first_of(u".[]", i);
      const size_t stop = end == std::u16string_view::npos ? path.size() : end;
      if (stop == i)
        return std::nullopt;
      add(path.substr(i, stop - i), false);
      i = stop;
      continue;
    }
    if (path[i] != u'[')
      return std::nullopt;
    ++i;
    if (i < path.size() && (path[i] == u'\'' || path[i] == u'"')) {
      const char16_t quote = path[i++];
      std::u16string name;
      while (i < path.size() && path[i] != quote) {
        if (path[i] == u'\\' && i + 1 < path.size())
          ++i;
        name += path[i++];
      }
      if (i + 1 >= path.size() || path[i + 1] != u']')
        return std::nullopt;
      i += 2;
      add(name, false);
      continue;
    }
    const size_t close = path.find(u']', i);
    if (close == std::u16string_view::npos || close == i)
      return std::nullopt;
    for (size_t k = i; k < close; ++k) {
      if (path[k] < u'0' || path[k] > u'9')
        return std::nullopt;
    }
    add(path.substr(i, close - i), true);
    i = close + 1;
  }
  keys += u']';
  return keys;
}

std::u16string RepairLooseBackslashes(std::u16string_view json) {
  std::u16string out;
  out.reserve(json.size() + 8);
  bool inString = false;
  for (size_t i = 0; i < json.size(); ++i) {
    const char16_t c = json[i];
    if (c == u'"') {
      inString = !inString;
    } else if (c == u'\\' && inString) {
      const char16_t next = i + 1 < json.size() ? json[i + 1] : u'\0';
      bool valid = next == u'"' || next == u'\\' || next == u'/' || next == u'b' || next == u'f' ||
                   next == u'n' || next == u'r' || next == u't';
      if (next == u'u') {
        valid = i + 5 < json.size();
        for (size_t k = i + 2; valid && k < i + 6; ++k)
          valid = HexDigitValue(json[k]) >= 0;
      }
      if (!valid) {
        out += u"\\\\";
        continue;
      }
      out += c;
      out += next;
      ++i;
      continue;
    }
    out += c;
  }
  return out;
}

std::u16string EscapeInvisibleCharacters(std::u16string_view json) {
  static const char16_t kHex[] = u"0123456789abcdef";
  std::u16string out;
  out.reserve(json.size());
  for (char16_t c : json) {
    if (!IsInvisible(c)) {
      out += c;
      continue;
    }
    out += u"\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
      out += kHex[(c >> shift) & 15];
  }
  return out;
}
