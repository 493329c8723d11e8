#pragma once
// Opening a web address or a file with its default program, over the installed
// Desktop. Any thread.

#include <string_view>

// Returns above 32 on success, a small number on failure.
int ShellOpen(std::string_view target);

// Opens a page of the maker's site (tutorials, the update page); an empty
// address opens nothing and gives 0.
int OpenWebPage(std::string_view address);
