#pragma once
// How remote names and paths travel between the program and the service. A
// name inside the program is either plain text (code page 936) or backslash-u
// notation (it holds "\u"; characters written as "\u" and four hex digits).
// On its way out a name is decoded once, from its own notation, to UTF-8
// bytes, and those bytes are percent-encoded once: every character, "%" and
// "+" included, reaches the service as itself. Pure; any thread.

#include <string>

// Whether `text` is written in backslash-u notation.
bool IsUnicodeNotation(const std::string& text);

// The UTF-8 bytes of a name or path, decoded from its own notation.
std::string RemoteNameUtf8(const std::string& text);

// A name or path as a query value: its UTF-8 bytes percent-encoded once
// (letters, digits and ' ( ) * - . _ kept, a space as "+").
std::string EncodeRemoteQueryValue(const std::string& text);

// A name or path as a string inside a percent-encoded JSON form value
// (`filelist`): the double quote, the backslash and control characters
// escaped for JSON, then encoded as above with the space as "%20".
// `curlyApostrophes` writes each apostrophe as U+2019 ("%E2%80%99").
std::string EncodeRemoteJsonText(const std::string& text, bool curlyApostrophes);

// The UTF-16LE bytes of a name or path, decoded from its own notation: every
// character as the service holds it (for a box that shows it).
std::string RemoteNameUtf16(const std::string& text);

// The name as result logs and messages show it: plain text as it is; a name
// in backslash-u notation as code page 936 text when every character fits,
// else left in its notation, so no character turns into "?".
std::string RemoteNameForDisplay(const std::string& text);

// UTF-16 bytes of a name (as the service's replies give it) in the same
// display form.
std::string RemoteNameFromUtf16(const std::string& utf16);

// Percent-encoded UTF-8 (as callers of the delete request give a path) in the
// same display form.
std::string RemoteNameFromEncoded(const std::string& encoded);
