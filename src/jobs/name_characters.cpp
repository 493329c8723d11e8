#include "jobs/name_characters.h"

#include <array>
#include <memory>

#include "foundation/hex_digit.h"
#include "platform/code_page_codec.h"

namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";

NameChar MakeChar(char16_t unit, std::string_view form) {
  NameChar c;
  c.unit = unit;
  c.size = static_cast<std::uint8_t>(form.size());
  form.copy(c.form, form.size());
  return c;
}

NameChar EscapedChar(char16_t unit) {
  const bool letterOrDigit = (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') ||
                             (unit >= u'0' && unit <= u'9');
  const bool keptPunctuation =
      unit >= 0x20 && unit <= 0x7E && unit != u'\\' && unit != u'%' && !letterOrDigit;
  if (letterOrDigit || keptPunctuation) {
    const char c = static_cast<char>(unit);
    return MakeChar(unit, std::string_view(&c, 1));
  }
  char escape[6] = {'\\', 'u'};
  for (int k = 0; k < 4; ++k)
    escape[2 + k] = kUpperHex[(unit >> (12 - 4 * k)) & 15];
  return MakeChar(unit, std::string_view(escape, 6));
}

// The code unit of each double-byte character this thread has decoded, so a
// run of names decodes each character through the converter once. The
// converter belongs to the thread, and so does what it decoded.
class PairUnits {
 public:
  char16_t Unit(unsigned char lead, unsigned char trail) {
    if (!m_units)
      m_units = std::make_unique<std::array<char16_t, kPairs>>();
    char16_t& unit = (*m_units)[(lead - kFirstLead) * 256u + trail];
    if (unit == kUnknown) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      unit = DecodeOne(std::string_view(pair, 2));
    }
    return unit;
  }

  // The unit of one character's bytes; U+FFFD unless the converter decodes
  // them to exactly one unit.
  static char16_t DecodeOne(std::string_view bytes) {
    const std::u16string decoded = DecodeToUtf16(bytes, kCodePageLocal);
    return decoded.size() == 1 && decoded[0] != kUnknown ? decoded[0] : u'\uFFFD';
  }

 private:
  static constexpr unsigned kFirstLead = 0x81;
  static constexpr std::size_t kPairs = (0xFE - kFirstLead + 1) * 256;
  static constexpr char16_t kUnknown = 0;  // no double-byte character decodes to it
  std::unique_ptr<std::array<char16_t, kPairs>> m_units;
};

// Appends the characters of a run of code page 936 text with their own bytes.
// Each character is decoded on its own, so a byte pair the converter rejects
// stands for U+FFFD and never lends its trail byte to the next character.
void AppendPlainRun(NameChars& chars, std::string_view text) {
  thread_local PairUnits s_pairs;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t length = Cp936DecodedCharLength(text, i);
    const std::string_view bytes = text.substr(i, length);
    char16_t unit = byte;
    if (length == 2)
      unit = s_pairs.Unit(byte, static_cast<unsigned char>(text[i + 1]));
    else if (byte >= 0x80)
      unit = PairUnits::DecodeOne(bytes);
    chars.push_back(MakeChar(unit, bytes));
    i += length;
  }
}

bool IsEscapeAt(std::string_view text, std::size_t i) {
  if (i + 6 > text.size() || text[i] != '\\' || text[i + 1] != 'u')
    return false;
  for (std::size_t k = 2; k < 6; ++k) {
    if (HexDigitValue(text[i + k]) < 0)
      return false;
  }
  return true;
}

}  // namespace

NameChars SplitPlainName(std::string_view name) {
  NameChars chars;
  chars.reserve(name.size());
  AppendPlainRun(chars, name);
  return chars;
}

NameChars SplitEscapedName(std::string_view name) {
  NameChars chars;
  chars.reserve(name.size());
  std::size_t runStart = 0;
  std::size_t i = 0;
  while (i < name.size()) {
    if (!IsEscapeAt(name, i)) {
      i += Cp936DecodedCharLength(name, i);
      continue;
    }
    AppendPlainRun(chars, name.substr(runStart, i - runStart));
    unsigned value = 0;
    for (std::size_t k = 2; k < 6; ++k)
      value = value * 16 + static_cast<unsigned>(HexDigitValue(name[i + k]));
    chars.push_back(MakeChar(static_cast<char16_t>(value), name.substr(i, 6)));
    i += 6;
    runStart = i;
  }
  AppendPlainRun(chars, name.substr(runStart));
  return chars;
}

void AppendText(NameChars& chars, std::string_view text, NameForm form) {
  if (form == NameForm::kPlain) {
    AppendPlainRun(chars, text);
    return;
  }
  for (char16_t unit : TextUnits(text))
    chars.push_back(EscapedChar(unit));
}

NameChars TextChars(std::string_view text, NameForm form) {
  NameChars chars;
  AppendText(chars, text, form);
  return chars;
}

std::u16string TextUnits(std::string_view text) {
  return DecodeToUtf16(text, kCodePageLocal);
}

std::string JoinName(const NameChars& chars) {
  std::string name;
  name.reserve(chars.size() * 2);
  for (const NameChar& c : chars)
    name.append(c.Form());
  return name;
}

std::size_t FindUnits(const NameChars& chars, std::u16string_view units, std::size_t from) {
  if (units.empty() || chars.size() < units.size())
    return std::string::npos;
  for (std::size_t i = from; i + units.size() <= chars.size(); ++i) {
    std::size_t k = 0;
    while (k < units.size() && chars[i + k].unit == units[k])
      ++k;
    if (k == units.size())
      return i;
  }
  return std::string::npos;
}

bool EqualsUnits(const NameChars& chars, std::u16string_view units) {
  return chars.size() == units.size() && (units.empty() || FindUnits(chars, units) == 0);
}

bool ReplaceUnits(NameChars& chars, std::u16string_view units, const NameChars& replacement) {
  std::size_t at = FindUnits(chars, units);
  if (at == std::string::npos)
    return false;
  NameChars out;
  out.reserve(chars.size() + replacement.size());
  std::size_t copied = 0;
  while (at != std::string::npos) {
    out.insert(out.end(), chars.begin() + static_cast<std::ptrdiff_t>(copied),
               chars.begin() + static_cast<std::ptrdiff_t>(at));
    out.insert(out.end(), replacement.begin(), replacement.end());
    copied = at + units.size();
    at = FindUnits(chars, units, copied);
  }
  out.insert(out.end(), chars.begin() + static_cast<std::ptrdiff_t>(copied), chars.end());
  chars = std::move(out);
  return true;
}

std::size_t ExtensionStart(const NameChars& chars) {
  std::size_t dot = std::string::npos;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i].unit == u'.')
      dot = i;
    else if (chars[i].unit == u'\\' || chars[i].unit == u'/' || chars[i].unit == u' ')
      dot = std::string::npos;
  }
  return dot;
}
