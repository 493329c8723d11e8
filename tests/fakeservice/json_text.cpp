#include "fakeservice/json_text.h"

#include <cstdlib>

namespace {

constexpr int kMaxDepth = 32;

// Decodes one UTF-8 sequence at `text[i]`; returns U+FFFD for a broken one.
char32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  int length = lead < 0x80         ? 1
               : (lead >> 5) == 6  ? 2
               : (lead >> 4) == 14 ? 3
               : (lead >> 3) == 30 ? 4
                                   : 0;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return 0xfffd;
  }
  char32_t point = length == 1 ? lead : lead & (0x3f >> (length - 1));
  for (int k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xc0) != 0x80) {
      ++i;
      return 0xfffd;
    }
    point = (point << 6) | (byte(i + k) & 0x3f);
  }
  i += length;
  return point;
}

void AppendUtf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xc0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3f));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xe0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (point & 0x3f));
  } else {
    out += static_cast<char>(0xf0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3f));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (point & 0x3f));
  }
}

void AppendEscape(std::string& out, unsigned unit) {
  static const char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) {
    out += kHex[(unit >> shift) & 15];
  }
}

// The code unit of a \uXXXX escape at `text[at]`, or -1 when there is none.
long EscapedUnit(std::string_view text, size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') {
    return -1;
  }
  long unit = 0;
  for (size_t k = at + 2; k < at + 6; ++k) {
    const char c = text[k];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) {
      return -1;
    }
    unit = unit * 16 + digit;
  }
  return unit;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : m_text(text) {}

  bool ReadDocument(JsonValue& value) {
    if (!ReadValue(value, 0)) {
      return false;
    }
    SkipBlanks();
    return m_at == m_text.size();
  }

 private:
  void SkipBlanks() {
    while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' ||
                                    m_text[m_at] == '\r' || m_text[m_at] == '\n')) {
      ++m_at;
    }
  }

  bool Take(char c) {
    SkipBlanks();
    if (m_at < m_text.size() && m_text[m_at] == c) {
      ++m_at;
      return true;
    }
    return false;
  }

  bool ReadWord(std::string_view word) {
    if (m_text.substr(m_at, word.size()) != word) {
      return false;
    }
    m_at += word.size();
    return true;
  }

  bool ReadHex4(unsigned& unit) {
    if (m_at + 4 > m_text.size()) {
      return false;
    }
    const std::string digits(m_text.substr(m_at, 4));
    char* end = nullptr;
    unit = static_cast<unsigned>(std::strtoul(digits.c_str(), &end, 16));
    m_at += 4;
    return end == digits.c_str() + 4;
  }

  bool ReadString(std::string& out) {
    if (!Take('"')) {
      return false;
    }
    while (m_at < m_text.size()) {
      const char c = m_text[m_at++];
      if (c == '"') {
        return true;
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      if (m_at >= m_text.size()) {
        return false;
      }
      const char escape = m_text[m_at++];
      switch (escape) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned unit = 0;
          if (!ReadHex4(unit)) {
            return false;
          }
          char32_t point = unit;
          if (unit >= 0xd800 && unit < 0xdc00 && ReadWord("\\u")) {
            unsigned low = 0;
            if (!ReadHex4(low) || low < 0xdc00 || low >= 0xe000) {
              return false;
            }
            point = 0x10000 + ((unit - 0xd800) << 10) + (low - 0xdc00);
          } else if (unit >= 0xd800 && unit < 0xe000) {
            point = 0xfffd;
          }
          AppendUtf8(out, point);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  bool ReadValue(JsonValue& value, int depth) {
    if (depth > kMaxDepth) {
      return false;
    }
    SkipBlanks();
    if (m_at >= m_text.size()) {
      return false;
    }
    const char c = m_text[m_at];
    if (c == '"') {
      value.kind = JsonValue::Kind::kString;
      return ReadString(value.text);
    }
    if (c == '[') {
      ++m_at;
      value.kind = JsonValue::Kind::kArray;
      if (Take(']')) {
        return true;
      }
      do {
        if (!ReadValue(value.items.emplace_back(), depth + 1)) {
          return false;
        }
      } while (Take(','));
      return Take(']');
    }
    if (c == '{') {
      ++m_at;
      value.kind = JsonValue::Kind::kObject;
      if (Take('}')) {
        return true;
      }
      do {
        auto& member = value.members.emplace_back();
        if (!ReadString(member.first) || !Take(':') || !ReadValue(member.second, depth + 1)) {
          return false;
        }
      } while (Take(','));
      return Take('}');
    }
    if (ReadWord("true") || ReadWord("false")) {
      value.kind = JsonValue::Kind::kBool;
      value.boolean = c == 't';
      return true;
    }
    if (ReadWord("null")) {
      return true;
    }
    const size_t start = m_at;
    while (m_at < m_text.size() &&
           std::string_view("+-0123456789.eE").find(m_text[m_at]) != std::string_view::npos) {
      ++m_at;
    }
    value.kind = JsonValue::Kind::kNumber;
    value.text = m_text.substr(start, m_at - start);
    return m_at > start;
  }

  std::string_view m_text;
  size_t m_at = 0;
};

}  // namespace

std::string JsonQuote(std::string_view text) {
  std::string out = "\"";
  size_t i = 0;
  while (i < text.size()) {
    const char32_t point = NextCodePoint(text, i);
    if (point == '"') {
      out += "\\\"";
    } else if (point == '\\') {
      out += "\\\\";
    } else if (point == '\n') {
      out += "\\n";
    } else if (point < 0x20) {
      AppendEscape(out, point);
    } else if (point < 0x80) {
      out += static_cast<char>(point);
    } else if (point < 0x10000) {
      AppendEscape(out, point);
    } else {
      AppendEscape(out, 0xd800 + ((point - 0x10000) >> 10));
      AppendEscape(out, 0xdc00 + ((point - 0x10000) & 0x3ff));
    }
  }
  return out + "\"";
}

std::string RawUtf8Escapes(std::string_view json) {
  std::string out;
  size_t i = 0;
  while (i < json.size()) {
    const long unit = EscapedUnit(json, i);
    if (unit < 0x80) {
      // Not a non-ASCII escape: copy it, an escape pair as a whole so that an
      // escaped backslash is never read as the start of an escape.
      const size_t length = json[i] == '\\' && i + 1 < json.size() ? 2 : 1;
      out.append(json.substr(i, length));
      i += length;
      continue;
    }
    const long low = EscapedUnit(json, i + 6);
    if (unit >= 0xd800 && unit < 0xdc00 && low >= 0xdc00 && low < 0xe000) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xd800) << 10) +
                          (static_cast<char32_t>(low) - 0xdc00));
      i += 12;
    } else {
      AppendUtf8(out, static_cast<char32_t>(unit));
      i += 6;
    }
  }
  return out;
}

const JsonValue* JsonValue::Member(std::string_view name) const {
  for (const auto& [key, value] : members) {
    if (key == name) {
      return &value;
    }
  }
  return nullptr;
}

std::optional<int64_t> JsonValue::Int(std::string_view name) const {
  const JsonValue* value = Member(name);
  if (value == nullptr || value->kind != Kind::kNumber) {
    return std::nullopt;
  }
  return std::strtoll(value->text.c_str(), nullptr, 10);
}

std::optional<std::string> JsonValue::String(std::string_view name) const {
  const JsonValue* value = Member(name);
  if (value == nullptr || value->kind != Kind::kString) {
    return std::nullopt;
  }
  return value->text;
}

std::optional<JsonValue> ParseJson(std::string_view text) {
  JsonValue value;
  Reader reader(text);
  if (!reader.ReadDocument(value)) {
    return std::nullopt;
  }
  return value;
}
