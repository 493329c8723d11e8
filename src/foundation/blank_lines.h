#pragma once
// Removal of blank lines from multi-line texts with CR LF line breaks, used to
// clean failure reasons before they are logged and imported keyword lists.

#include <string>
#include <string_view>

// Removes every run of lines that are empty or hold only white space (space,
// tab, vertical tab, form feed), keeping one CR LF between the remaining
// lines, then drops one CR LF at the very start and one at the very end.
// Precisely: every LF followed by white space up to the last CR of that white
// space is removed together with it. Lines ending in LF alone and white space
// inside non-blank lines stay as they are. Any thread.
std::string RemoveBlankLines(std::string_view text);

// Prepares the calling thread for regular expressions. Nothing needs
// preparing in this program; kept so callers can state the intent. The
// argument is ignored.
void PrepareRegex(int unused = 0);
