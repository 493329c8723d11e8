#pragma once
// The contact text: the maker's contact line that the main window shows in its
// caption, read from the optional file "联系方式.txt" in the program's folder.
// A contact file without the built-in service number (someone else's) drops
// the maker's prefix from the caption, and the maker's web pages are offered
// only while the contact text holds that number.

#include <string>
#include <string_view>

// The digit string the built-in contact line carries.
inline constexpr const char* kBuiltInServiceNumber = "800066888";
// The contact line used when the contact file is missing or holds no text.
inline constexpr const char* kBuiltInContactLine = "客服电话：800066888";

// The contact text read at start-up. Written once on the user-interface thread
// before the main window opens, read afterwards without a lock.
extern std::string g_contactText;

// The contact text of a file's bytes: UTF-8 bytes (a leading byte-order mark
// dropped) are decoded, other bytes are taken as code page 936 text up to the
// first zero byte; line breaks become CR LF and blank lines are removed. The
// built-in contact line when nothing is left.
std::string ContactTextFromBytes(std::string_view bytes, bool isUtf8);

// The contact text of the file at `path` (code page 936 path): read whole,
// classified with DetectTextFileEncoding, then ContactTextFromBytes. A
// missing or unreadable file gives the built-in contact line. Any thread.
std::string ReadContactText(const std::string& path);

// True when `text` holds the built-in service number (plain search, with case).
bool HoldsBuiltInServiceNumber(std::string_view text);
