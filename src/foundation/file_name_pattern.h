#pragma once
// Internal: file-name patterns as the program writes them ("folderlist_re_*.*").
// "*" matches any run of characters, "?" exactly one character (a double-byte
// character counts as one), ASCII letters match without regard to case, and a
// pattern ending in ".*" also matches the name without any extension (so "*.*"
// matches every name). Both texts are code page 936.

#include <string_view>

bool MatchesFileNamePattern(std::string_view name, std::string_view pattern);
