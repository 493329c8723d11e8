#include "foundation/script_literal.h"

#include "foundation/hex_digit.h"

namespace {

// Reads `count` hex digits at `at`; -1 when they are not all there.
int ReadHex(std::u16string_view text, size_t at, size_t count) {
  if (at + count > text.size())
    return -1;
  int value = 0;
  for (size_t k = 0; k < count; ++k) {
    const int digit = HexDigitValue(text[at + k]);
    if (digit < 0)
      return -1;
    value = value * 16 + digit;
  }
  return value;
}

bool IsLineBreak(char16_t c) {
  return c == u'\r' || c == u'\n' || c == u'\u2028' || c == u'\u2029';
}

bool IsOctal(char16_t c) {
  return c >= u'0' && c <= u'7';
}

// Reads a legacy octal escape starting at `at` (the first digit): up to three
// digits for a value that stays below 0400.
char16_t ReadOctal(std::u16string_view text, size_t& at) {
  int value = text[at] - u'0';
  const size_t maxDigits = value <= 3 ? 3 : 2;
  size_t used = 1;
  while (used < maxDigits && at + used < text.size() && IsOctal(text[at + used])) {
    value = value * 8 + (text[at + used] - u'0');
    ++used;
  }
  at += used - 1;
  return static_cast<char16_t>(value);
}

const char16_t kHexDigits[] = u"0123456789ABCDEF";

}  // namespace

bool DecodeScriptStringLiteral(std::u16string_view body, std::u16string& out) {
  out.clear();
  out.reserve(body.size());
  for (size_t i = 0; i < body.size(); ++i) {
    const char16_t c = body[i];
    if (c == u'\'' || IsLineBreak(c))
      return false;
    if (c != u'\\') {
      out += c;
      continue;
    }
    if (++i >= body.size())
      return false;  // the backslash would escape the closing quote
    const char16_t e = body[i];
    switch (e) {
      case u'b':
        out += u'\b';
        break;
      case u'f':
        out += u'\f';
        break;
      case u'n':
        out += u'\n';
        break;
      case u'r':
        out += u'\r';
        break;
      case u't':
        out += u'\t';
        break;
      case u'v':
        out += u'\v';
        break;
      case u'x':
      case u'u': {
        const size_t digits = e == u'x' ? 2 : 4;
        const int value = ReadHex(body, i + 1, digits);
        if (value < 0)
          return false;
        out += static_cast<char16_t>(value);
        i += digits;
        break;
      }
      default:
        if (IsOctal(e)) {
          out += ReadOctal(body, i);
        } else if (IsLineBreak(e)) {
          // A continued line: the break belongs to neither line; CR LF is one break.
          if (e == u'\r' && i + 1 < body.size() && body[i + 1] == u'\n')
            ++i;
        } else {
          out += e;
        }
    }
  }
  return true;
}

std::u16string ScriptEscape(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() * 3);
  for (char16_t c : text) {
    const bool keep = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                      (c >= u'0' && c <= u'9') || c == u'@' || c == u'*' || c == u'_' ||
                      c == u'+' || c == u'-' || c == u'.' || c == u'/';
    if (keep) {
      out += c;
    } else if (c < 0x100) {
      out += u'%';
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 15];
    } else {
      out += u"%u";
      for (int shift = 12; shift >= 0; shift -= 4)
        out += kHexDigits[(c >> shift) & 15];
    }
  }
  return out;
}

std::u16string ScriptUnescape(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'%') {
      if (i + 1 < text.size() && text[i + 1] == u'u') {
        const int value = ReadHex(text, i + 2, 4);
        if (value >= 0) {
          out += static_cast<char16_t>(value);
          i += 5;
          continue;
        }
      }
      const int value = ReadHex(text, i + 1, 2);
      if (value >= 0) {
        out += static_cast<char16_t>(value);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}
