#pragma once
// Small text routines of the HTTP layer: blank trimming, case-blind search and
// splitting over code page 936 texts.
// Internal to src/web; exposed for its tests.

#include <string>
#include <string_view>
#include <vector>

// Removes ASCII blanks (0x20) and full-width blanks (0xA1 0xA1) at both ends,
// stepping over double-byte characters so a trail byte is never cut.
std::string TrimBlanks(std::string_view text);

// Removes every ASCII and full-width blank, stepping over double-byte characters.
std::string RemoveAllBlanks(std::string_view text);

// Byte offset of the first occurrence of `needle` at or after `from`, the ASCII
// letters compared without case, starting only at character boundaries;
// std::string::npos when none.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from = 0);

// SplitText (foundation/text_arrays.h) without its empty last piece: an empty
// text gives no items; a separator at the very end gives no empty last item.
std::vector<std::string> SplitItems(std::string_view text, std::string_view separator);

// Joins items with the separator.
std::string JoinText(const std::vector<std::string>& items, std::string_view separator);
