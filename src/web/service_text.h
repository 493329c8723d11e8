#pragma once
// Internal: text edits the request builders share. Pure; any thread.

#include <string>
#include <string_view>

// Every occurrence of `from` (found left to right with FindText, so never
// inside a double-byte character) replaced by `to`; the replaced text is not
// searched again. An empty `from` changes nothing.
std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to,
                           bool ignoreCase = false);

// The number of non-overlapping occurrences of `sought`; 0 when either text is
// empty. ASCII letters compare without case unless caseSensitive.
int CountTextOccurrences(std::string_view text, std::string_view sought,
                         bool caseSensitive = false);
