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

// Shortcuts for the common edges.
std::string Cp936ToUtf8(std::string_view text);
std::string Utf8ToCp936(std::string_view utf8);

// UTF-16 code units to and from little-endian bytes (the program's
// "UTF-16 bytes"). An odd trailing byte is dropped.
std::string Utf16ToLeBytes(std::u16string_view units);
std::u16string LeBytesToUtf16(std::string_view bytes);
