#pragma once
// Internal helpers of ScriptJsonObject: reading member paths without an
// engine, and the text repairs around the engine's JSON functions.

#include <optional>
#include <string>
#include <string_view>

// The steps of a path after its variable name ("da.a.b[3]['x y']" or, with
// the name left out, "a.b[3]['x y']"; "da" alone, or followed by "." or "[",
// is always the variable) as a JSON array of keys in UTF-16:
// member names as strings, [n] as numbers. The path is code page 936. Empty
// optional for a path that is not of this form (an empty member name, an
// unclosed bracket, a bracket holding neither digits nor a quoted name).
std::optional<std::u16string> PathKeysJson(std::string_view path);

// JSON text whose backslashes were written unescaped by older versions, made
// readable: a backslash that does not start a valid JSON escape is doubled,
// so it reads as the backslash it stood for.
std::u16string RepairLooseBackslashes(std::u16string_view json);

// JSON text with the characters that some readers take for line breaks or
// drop (U+007F to U+009F, U+00AD, U+0600 to U+0604, U+070F, U+17B4, U+17B5,
// U+200C to U+200F, U+2028 to U+202F, U+2060 to U+206F, U+FEFF, U+FFF0 to
// U+FFFF) written as \u escapes with lower-case digits. Such characters occur
// only inside strings, so the escapes are valid there.
std::u16string EscapeInvisibleCharacters(std::u16string_view json);
