#pragma once
// Internal helpers behind the backslash-u routines: the rules by which a
// script engine reads a single-quoted string literal, and its escape and
// unescape functions, done natively on UTF-16 text so that names from the
// service are never handed to an engine as code.

#include <string>
#include <string_view>

// Reads `body` as the inside of a single-quoted script string literal: the
// escapes \b \f \n \r \t \v \0, octal escapes, \xHH, \uHHHH, a backslash before
// a line break (the break is dropped) and a backslash before any other
// character (that character). Returns false, leaving `out` unspecified, where
// the literal would not compile: a malformed \x or \u escape, a backslash at the
// very end, a raw apostrophe, CR, LF, U+2028 or U+2029.
bool DecodeScriptStringLiteral(std::u16string_view body, std::u16string& out);

// The script engines' escape(): A-Z a-z 0-9 @ * _ + - . / stay; other code
// units below U+0100 become %XX, the rest %uXXXX, with upper-case digits.
std::u16string ScriptEscape(std::u16string_view text);

// The script engines' unescape(): %uXXXX and %XX (either case) become that code
// unit; every other percent sign stays as it is.
std::u16string ScriptUnescape(std::u16string_view text);
