#include "foundation/unicode_notation.h"

#include "foundation/hex_digit.h"
#include "foundation/script_literal.h"
#include "foundation/text_search.h"
#include "platform/code_page_codec.h"

namespace {

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
  for (size_t at = text.find(from); at != std::u16string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// UTF-16 bytes up to the first zero code unit; a trailing odd byte is ignored.
std::u16string UnitsBeforeNul(const std::string& bytes) {
  std::u16string units = LeBytesToUtf16(bytes);
  const size_t nul = units.find(u'\0');
  if (nul != std::u16string::npos)
    units.resize(nul);
  return units;
}

constexpr char16_t kRightQuote = u'\u2019';
constexpr char kUpperHex[] = "0123456789ABCDEF";

}  // namespace

std::string DecodeUnicodeEscapes(const std::string& text) {
  const std::u16string input = DecodeToUtf16(text, kCodePageLocal);
  std::u16string out;
  out.reserve(input.size());
  size_t at = input.find(u"\\u");
  out.append(input, 0, std::min(at, input.size()));
  while (at != std::u16string::npos) {
    const size_t begin = at + 2;
    at = input.find(u"\\u", begin);
    const std::u16string_view piece = std::u16string_view(input).substr(
        begin, (at == std::u16string::npos ? input.size() : at) - begin);
    const std::u16string_view head = piece.substr(0, 4);
    unsigned value = 0;
    for (char16_t c : head) {
      const int digit = HexDigitValue(c);
      if (digit < 0)
        break;
      value = value * 16 + static_cast<unsigned>(digit);
    }
    out += static_cast<char16_t>(value);
    if (piece.size() > 4)
      out.append(piece.substr(4));
  }
  if (out.empty())
    return std::string();
  out += u'\0';
  return Utf16ToLeBytes(out);
}

std::string EscapeToUnicodeNotation(const std::string& utf16Bytes, bool keepLettersDigits,
                                    bool keepPunctuation) {
  const std::u16string units = UnitsBeforeNul(utf16Bytes);
  std::string out;
  out.reserve(units.size() * 6 + 1);
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    // A real backslash before "u" would read as the start of an escape.
    const bool startsEscape = c == u'\\' && i + 1 < units.size() && units[i + 1] == u'u';
    const bool letterOrDigit =
        (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
    const bool punctuation = c >= 0x20 && c <= 0x7E && !letterOrDigit;
    if (!startsEscape &&
        ((letterOrDigit && keepLettersDigits) || (punctuation && keepPunctuation))) {
      out += static_cast<char>(c);
      continue;
    }
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
      out += kUpperHex[(c >> shift) & 15];
  }
  return out;
}

namespace {

void AppendUnitEscape(std::string& out, char16_t unit) {
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4)
    out += kUpperHex[(unit >> shift) & 15];
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// True when code page 936 holds the character `units` (one unit, or a
// surrogate pair).
bool CodePageHolds(std::u16string_view units) {
  if (units.size() == 1 && units[0] == u'?')
    return true;
  return DecodeToUtf16(EncodeFromUtf16(units, kCodePageLocal), kCodePageLocal) == units;
}

// The unit written by "\u" and four hex digits at `at` of `text`, or -1.
int EscapedUnitAt(std::string_view text, size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u')
    return -1;
  int value = 0;
  for (size_t i = at + 2; i < at + 6; ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0)
      return -1;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

std::string EscapeBeyondCodePage(const std::string& utf16Bytes, bool escapeBackslashU) {
  const std::u16string units = UnitsBeforeNul(utf16Bytes);
  std::string out = EncodeFromUtf16(units, kCodePageLocal);
  if (DecodeToUtf16(out, kCodePageLocal) == units &&
      !(escapeBackslashU && units.find(u"\\u") != std::u16string::npos))
    return out;  // the common case: code page 936 holds the whole text
  out.clear();
  size_t plainFrom = 0;  // start of the units not yet written
  const auto flushPlain = [&](size_t end) {
    out += EncodeFromUtf16(std::u16string_view(units).substr(plainFrom, end - plainFrom),
                           kCodePageLocal);
  };
  for (size_t i = 0; i < units.size();) {
    const size_t length =
        IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1]) ? 2 : 1;
    const std::u16string_view character = std::u16string_view(units).substr(i, length);
    const bool backslashU =
        escapeBackslashU && units[i] == u'\\' && i + 1 < units.size() && units[i + 1] == u'u';
    if (backslashU || !CodePageHolds(character)) {
      flushPlain(i);
      for (char16_t unit : character)
        AppendUnitEscape(out, unit);
      plainFrom = i + length;
    }
    i += length;
  }
  flushPlain(units.size());
  return out;
}

std::u16string DecodeEscapesBeyondCodePage(std::string_view text) {
  std::u16string out;
  size_t plainFrom = 0;
  const auto flushPlain = [&](size_t end) {
    out += DecodeToUtf16(text.substr(plainFrom, end - plainFrom), kCodePageLocal);
  };
  for (size_t i = 0; i < text.size();) {
    const int first = EscapedUnitAt(text, i);
    if (first < 0) {
      i += Cp936CharLength(text, i);
      continue;
    }
    std::u16string character(1, static_cast<char16_t>(first));
    if (IsHighSurrogate(character[0])) {
      const int second = EscapedUnitAt(text, i + 6);
      if (second >= 0 && IsLowSurrogate(static_cast<char16_t>(second)))
        character += static_cast<char16_t>(second);
    }
    const bool lone =
        character.size() == 1 && (IsHighSurrogate(character[0]) || IsLowSurrogate(character[0]));
    if (lone || CodePageHolds(character)) {
      i += 6;  // an escape the program would not have written: it stands
      continue;
    }
    flushPlain(i);
    out += character;
    i += 6 * character.size();
    plainFrom = i;
  }
  flushPlain(text.size());
  return out;
}

std::string UnescapeToText(const std::string& text) {
  std::u16string work = DecodeToUtf16(text, kCodePageLocal);
  // Line breaks and apostrophes are protected by marks while the escapes are
  // read, and put back afterwards.
  ReplaceAll(work, u"\r\n", u"{$}");
  ReplaceAll(work, u"\n", u"{//n//}");
  if (!work.empty() && work.front() == u'\r')
    work.erase(0, 1);
  ReplaceAll(work, u"\\u", u"%u");
  ReplaceAll(work, u"'", std::u16string(1, kRightQuote));
  std::u16string literal;
  if (!DecodeScriptStringLiteral(work, literal))
    return text;
  std::u16string result = ScriptUnescape(literal);
  ReplaceAll(result, std::u16string(1, kRightQuote), u"'");
  ReplaceAll(result, u"{$}", u"\r\n");
  ReplaceAll(result, u"{//n//}", u"\n");
  return EncodeFromUtf16(result, kCodePageLocal);
}

std::string EscapeWithScript(const std::string& text, bool restoreBrackets, bool restorePunctuation,
                             const std::string& percentUReplacement) {
  std::u16string work = DecodeToUtf16(text, kCodePageLocal);
  ReplaceAll(work, u"'", std::u16string(1, kRightQuote));
  std::u16string literal;
  if (!DecodeScriptStringLiteral(work, literal))
    literal = work;  // malformed escapes: take the backslashes literally
  std::string out = EncodeFromUtf16(ScriptEscape(literal), kCodePageLocal);
  if (restoreBrackets) {
    out = ReplaceAllText(out, "%7B", "{");
    out = ReplaceAllText(out, "%7D", "}");
    out = ReplaceAllText(out, "%5B", "[");
    out = ReplaceAllText(out, "%5D", "]");
    out = ReplaceAllText(out, "%28", "(");
    out = ReplaceAllText(out, "%29", ")");
  }
  if (restorePunctuation) {
    out = ReplaceAllText(out, "%3A", ":");
    out = ReplaceAllText(out, "%2C", ",");
    out = ReplaceAllText(out, "%22", "\"");
  }
  const bool blank = percentUReplacement.find_first_not_of(' ') == std::string::npos;
  if (percentUReplacement != "%u" && !blank)
    out = ReplaceAllText(out, "%u", percentUReplacement);
  return out;
}

int FindBytes(const std::string& haystack, const std::string& needle, int start) {
  if (haystack.empty() || needle.empty())
    return -1;
  size_t offset = start > 1 ? static_cast<size_t>(start - 1) : 0;
  offset += offset % 2;  // the next code unit boundary
  for (; offset + needle.size() <= haystack.size(); offset += 2) {
    if (haystack.compare(offset, needle.size(), needle) == 0)
      return static_cast<int>(offset) + 1;
  }
  return -1;
}
