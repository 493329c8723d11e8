#pragma once
// Backslash-u notation and the escape forms of names. Remote names that code
// page 936 cannot hold travel inside the program as ASCII text in which a
// character is written as "\u" and four hex digits. These routines move names
// and rule texts between that notation, UTF-16 bytes (UTF-16LE code units),
// code page 936 text and the %XX / %uXXXX escape form.
//
// All of them are pure functions, safe on any thread; none runs a script
// engine, so names from the service are never evaluated as code.

#include <string>
#include <string_view>

// Backslash-u text to UTF-16 bytes. The text is split at every "\u" (lower-case
// u only); each later piece contributes the code unit written by the longest
// run of hex digits among its first four characters (0 when there is none),
// followed by the rest of the piece after its fourth character. Everything else
// passes through unchanged. Result: the code units plus one zero code unit;
// empty (no terminator) when the decoded text is empty.
std::string DecodeUnicodeEscapes(const std::string& text);

// UTF-16 bytes (up to the first zero code unit) to backslash-u text: each code
// unit becomes "\u" and four upper-case hex digits, except ASCII letters and
// digits when keepLettersDigits, and the space and printable ASCII punctuation
// when keepPunctuation, which are written as themselves. A supplementary
// character becomes two escapes (its surrogates). A backslash that a "u"
// follows is always written "\u005C", so DecodeUnicodeEscapes reads the result
// back as exactly these code units.
std::string EscapeToUnicodeNotation(const std::string& utf16Bytes, bool keepLettersDigits = false,
                                    bool keepPunctuation = false);

// UTF-16 bytes (up to the first zero code unit) to code page 936 text that
// keeps every character: a character that code page 936 holds is written as
// itself, every other code unit as "\u" and four upper-case hex digits (a
// supplementary character as its two surrogates). So a name that code page 936
// holds comes out as plain text, and one that it does not stays readable
// except for the characters it lacks. With escapeBackslashU, a backslash that
// is followed by "u" is written "\u005C", so that DecodeUnicodeEscapes gives
// back exactly the code units (the program's path texts); without it the text
// is for a JSON string or a box, whose own escapes keep such a backslash.
std::string EscapeBeyondCodePage(const std::string& utf16Bytes, bool escapeBackslashU);

// The reading of such a text for the eye: code page 936 text to UTF-16 code
// units in which each "\u" and four hex digits that write a character code
// page 936 cannot hold (two such escapes for a surrogate pair) becomes that
// character; everything else stands as it is. EscapeBeyondCodePage of the
// result (without escapeBackslashU) gives the text back.
std::u16string DecodeEscapesBeyondCodePage(std::string_view text);

// Backslash-u or percent-escaped text to code page 936 text: backslash escapes
// are read as a script string literal would read them ("\u4e2d", "\t", "\\"),
// then %uXXXX and %XX are decoded (%XX as the character with that code, not as
// a UTF-8 byte). CR LF, lone LF and apostrophes come through unchanged, and a
// right single quotation mark in the input becomes an apostrophe. Characters
// that code page 936 cannot hold become "?". When the backslash escapes are
// malformed (a bad \x, an odd backslash at the end, a stray CR) the input is
// returned unchanged.
std::string UnescapeToText(const std::string& text);

// Code page 936 text to the escaped form that escaped names are searched in:
// backslash escapes of the text are read first, apostrophes become U+2019, then
// every character but A-Z a-z 0-9 @ * _ + - . / becomes %XX or %uXXXX.
// restoreBrackets puts back { } [ ] ( ), restorePunctuation puts back : , and
// the double quote; every "%u" then becomes percentUReplacement unless that is
// "%u" or blank. When the backslash escapes are malformed (a bad \x or \u, an
// odd backslash at the end, a CR or LF) the text is escaped as it stands, its
// backslashes included, so a non-empty text never gives an empty result.
std::string EscapeWithScript(const std::string& text, bool restoreBrackets, bool restorePunctuation,
                             const std::string& percentUReplacement);

// 1-based byte position of the first occurrence of `needle` in `haystack` at
// or after the 1-based `start` (below 1 counts as 1), or -1. Both are UTF-16
// bytes: only even byte offsets (code unit boundaries) are candidates, so a
// needle never matches across two characters.
int FindBytes(const std::string& haystack, const std::string& needle, int start = 1);
