#pragma once
// The single conversion layer between the program's code page 936 texts, UTF-8
// and UTF-16. Every other part of the program converts through these routines;
// nothing else calls iconv.
//
// Rules that callers rely on:
// - A character that code page 936 cannot hold becomes exactly one "?" (a UTF-16
//   surrogate pair is one character). The rename pipeline reads that mark.
// - Invalid input never blanks the whole text: each invalid byte (or unpaired
//   surrogate) becomes one U+FFFD on the way to UTF-16, and one "?" on the way
//   to code page 936.
// - Thread-safe: each thread keeps its own converter state.

#include <cstdint>
#include <string>
#include <string_view>

// Code page numbers as the program names them.
inline constexpr unsigned kCodePageLocal = 936;  // every text inside the program
inline constexpr unsigned kCodePageUtf8 = 65001;
inline constexpr unsigned kCodePageAnsi = 0;  // the system's ANSI code page; 936 here

// Bytes in the given code page (936, 65001 or 0) to UTF-16 code units. Stops at
// nothing: embedded zero bytes convert to zero code units.
std::u16string DecodeToUtf16(std::string_view bytes, unsigned codePage);

// UTF-16 code units to bytes in the given code page. Unmappable characters and
// unpaired surrogates become "?" in code page 936; U+FFFD in UTF-8.
std::string EncodeFromUtf16(std::u16string_view units, unsigned codePage);

// UTF-8 decoding that also accepts surrogates encoded one by one as three-byte
// sequences (CESU-8, as some script engines hand out their strings).
std::u16string DecodeCesu8ToUtf16(std::string_view bytes);

// True when the system's code page 936 converter opens in both directions.
// Without it every non-ASCII character would become "?"; start-up refuses to
// run instead. Any thread.
bool CodePageConverterAvailable();

// Tests only: the iconv name of code page 936 for converters opened from now
// on (nullptr restores "CP936"), to see what happens when the system has no
// such converter.
void SetCp936CharsetNameForTesting(const char* name);

// Shortcuts for the common edges.
std::string Cp936ToUtf8(std::string_view text);
std::string Utf8ToCp936(std::string_view utf8);

// UTF-16 code units to and from little-endian bytes (the program's
// "UTF-16 bytes"). An odd trailing byte is dropped.
std::string Utf16ToLeBytes(std::u16string_view units);
std::u16string LeBytesToUtf16(std::string_view bytes);

// The one lead-byte rule of code page 936: 0x81-0xFE start a double-byte
// character. Every routine that steps through code page 936 text uses it, so
// a trail byte that equals an ASCII character ("東" is 0x96 0x7C, a "|") is
// never taken for that character.
constexpr bool IsCp936LeadByte(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}

// An ASCII letter in upper case; every other byte as it is. Callers fold only
// bytes that are not trail bytes of a double-byte character.
constexpr unsigned char FoldAscii(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// The ASCII fold of UTF-16 text: an ASCII letter in lower case; every other
// unit as it is. Lower case, not upper as above, because key orders rest on
// it: "_" and the other marks between "Z" and "a" sort before letters.
constexpr char16_t FoldAsciiToLower(char16_t unit) {
  return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

// The byte length of the character starting at `text[i]`: 2 for a lead byte
// followed by a byte, else 1.
inline size_t Cp936CharLength(std::string_view text, size_t i) {
  return IsCp936LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// The byte length of the character the converter decodes at `text[i]`: 2 for
// a lead byte followed by a valid trail byte (0x40-0xFE except 0x7F), else 1.
// For mapping positions between code page 936 text and its UTF-16 form.
inline size_t Cp936DecodedCharLength(std::string_view text, size_t i) {
  if (Cp936CharLength(text, i) != 2)
    return 1;
  const auto trail = static_cast<unsigned char>(text[i + 1]);
  return trail >= 0x40 && trail != 0xFF && trail != 0x7F ? 2 : 1;
}
