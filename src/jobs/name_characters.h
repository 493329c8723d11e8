#pragma once
// Internal to the rename rules: a name taken apart into its characters, each
// with the UTF-16 code unit it stands for and the exact bytes that wrote it.
//
// The rules search, cut and insert on the code units, so they act alike on a
// code page 936 name and on a name in backslash-u notation; joining the bytes
// gives the name back in its own form, with every character the rules did not
// touch written exactly as before (an unchanged name joins to the same bytes).
// Pure functions, safe on any thread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct NameChar {
  char16_t unit = 0;
  std::uint8_t size = 0;  // bytes used in `form`
  char form[6] = {};      // at most "\uXXXX"

  std::string_view Form() const { return std::string_view(form, size); }
};

using NameChars = std::vector<NameChar>;

// The form that characters added by the rules take.
enum class NameForm {
  kPlain,    // code page 936 bytes
  kEscaped,  // backslash-u notation
};

// A code page 936 name: one entry per character (a lead byte with a valid trail
// byte, or one byte). A byte sequence without a Unicode character stands for
// U+FFFD and keeps its bytes.
NameChars SplitPlainName(std::string_view name);

// A name in backslash-u notation: "\u" with four hex digits (either case) is
// one character; everything else is read as code page 936 characters, so a
// backslash that starts no escape stands for itself.
NameChars SplitEscapedName(std::string_view name);

// Appends the characters of a code page 936 text, written in `form`. In the
// escaped form ASCII letters, digits and printable punctuation stay as they
// are (so the name legalisation still sees ":" or "?"), except the backslash
// and the percent sign; every other character becomes "\u" and four upper-case
// hex digits.
void AppendText(NameChars& chars, std::string_view text, NameForm form);
NameChars TextChars(std::string_view text, NameForm form);

// The UTF-16 code units of a code page 936 text (no terminator).
std::u16string TextUnits(std::string_view text);

std::string JoinName(const NameChars& chars);

// Index of the first occurrence of `units` at or after `from`; npos when there
// is none or `units` is empty.
std::size_t FindUnits(const NameChars& chars, std::u16string_view units, std::size_t from = 0);

bool EqualsUnits(const NameChars& chars, std::u16string_view units);

// Replaces every occurrence of `units`, left to right and without overlaps, by
// `replacement`. Returns whether anything was replaced.
bool ReplaceUnits(NameChars& chars, std::u16string_view units, const NameChars& replacement);

// Index of the dot that starts the name's extension: the last "." that no
// later backslash, slash or space follows (the rule of GetPathExtension);
// npos when there is none.
std::size_t ExtensionStart(const NameChars& chars);
