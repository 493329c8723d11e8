#pragma once
// Internal to the rename rules: the regular-expression deletion on the
// characters of a name (name_characters.h).
//
// Names in backslash-u notation hold characters that code page 936 cannot
// hold, so the expression runs over the name's Unicode text rather than over
// a code page 936 subject; it follows the same dialect as RegExp (PCRE2 in UTF
// mode with \uHHHH and \xHH escapes, "." stopping at CR and LF, "$" without
// Multiline only at the very end, unset back-references matching nothing)
// with case ignored, Multiline and Global on, under RegExp's match, depth and
// whole-search work limits. Each thread keeps the last pattern it compiled, so a job that runs
// one pattern over many names compiles it once.

#include <string>
#include <string_view>

#include "jobs/name_characters.h"
#include "platform/reg_exp.h"

// Whether the code page 936 pattern compiles. On failure `error` (when given)
// gets the reason. Any thread.
RegExpStatus CheckNamePattern(std::string_view pattern, std::string* error = nullptr);

// Removes every match of the pattern from the characters. On any failure the
// characters stay as they were and `error` (when given) gets the reason. A
// surrogate pair is one character to the expression and is removed whole.
// Any thread.
RegExpStatus DeleteNameMatches(NameChars& chars, std::string_view pattern,
                               std::string* error = nullptr);
