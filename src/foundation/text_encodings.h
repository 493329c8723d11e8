#pragma once
// Conversions between the program's local text (code page 936), UTF-8 and
// UTF-16 bytes (UTF-16LE code units in a std::string).
//
// Code pages: 936 local text, 65001 UTF-8, 0 the system's ANSI code page,
// which is 936 in this program. Any other number is treated as 936.
// A character that code page 936 cannot hold becomes one "?" on the way to
// local text; invalid input bytes are replaced, never reported, and never
// blank the rest of the text. Texts are read up to their first zero byte,
// UTF-16 bytes up to their first zero code unit (an odd last byte is
// ignored). All routines are safe to call from any thread.

#include <string>
#include <string_view>

// UTF-16 bytes of `bytes` (read up to the first zero byte) with a two-byte
// terminator; empty when the input is empty or starts with a zero byte.
std::string MultiByteToUtf16(std::string_view bytes, int codePage);

// Bytes in `codePage` of the UTF-16 bytes (up to the first zero code unit),
// without terminator; empty when the input is empty or starts with zero.
std::string Utf16ToMultiByte(std::string_view utf16, int codePage);

// Text in `codePage` when `useCodePage` is set, else in the ANSI code page.
std::string Utf16ToTextInCodePage(std::string_view utf16, int codePage, bool useCodePage);

// Local text of the UTF-16 bytes.
std::string Utf16ToText(std::string_view utf16);

// UTF-16 bytes of a local text, with a terminator unless `cutTerminator` is
// set; empty for the empty text in both forms.
std::string TextToUtf16(std::string_view text, bool cutTerminator = false);

// UTF-8 bytes of a local text, without terminator.
std::string TextToUtf8(std::string_view text);

// UTF-8 bytes of the UTF-16 bytes, without terminator.
std::string Utf16ToUtf8(std::string_view utf16);

// UTF-16 bytes, with terminator, of a text holding bytes of `codePage`.
std::string Utf8TextToUtf16(std::string_view text, int codePage = 65001);

// Local text of UTF-8 bytes. The two forms give the same result for the same
// bytes; both stop at the first zero byte.
std::string DecodeUtf8Text(std::string_view utf8Text);
std::string DecodeUtf8Bytes(std::string_view utf8Bytes);

// The code units before the first zero code unit, followed by one zero code
// unit when `keepTerminator` is set. Empty when the input is shorter than two
// bytes or starts with a zero code unit (even with `keepTerminator`).
std::string CutUtf16AtNul(std::string_view utf16, bool keepTerminator = false);

// Number of code units before the first zero code unit (all of them when
// there is none); 0 for empty input.
int Utf16Length(std::string_view utf16);

// Local text of UTF-16 bytes as a text stream reads them: a leading
// byte-order mark is skipped, and the text ends at the first zero code unit.
std::string Utf16BytesToText(std::string_view utf16);
