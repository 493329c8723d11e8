#pragma once
// Opening a web address or a file with its default program, over the installed
// Desktop. Any thread.

#include <string_view>

// The box shown when a target cannot be opened (no browser, say): this text,
// then a blank line and the target, so the user can copy the address.
inline constexpr const char* kCannotOpenText =
    "无法打开此网页（可能没有安装浏览器）。请复制下面的地址，在浏览器中打开：";

// Returns above 32 on success, a small number on failure. A failure shows a
// box titled "提示：" with kCannotOpenText and the target, which blocks the
// calling thread until the user closes it.
int ShellOpen(std::string_view target);

// Opens a page of the maker's site (tutorials, the update page); an empty
// address opens nothing and gives 0.
int OpenWebPage(std::string_view address);
