#pragma once
// Internal: text edits the request builders share. Pure; any thread.

#include <string>
#include <string_view>

#include "foundation/text_search.h"  // ReplaceAllText

// The number of non-overlapping occurrences of `sought`; 0 when either text is
// empty. ASCII letters compare without case unless caseSensitive.
int CountTextOccurrences(std::string_view text, std::string_view sought,
                         bool caseSensitive = false);
