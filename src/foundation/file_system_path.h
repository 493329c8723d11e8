#pragma once
// Internal: how the program's path texts reach the Linux file system.
//
// Paths inside the program are code page 936 texts. The file system takes
// UTF-8, with "/" between levels. A "\" the program writes between levels (as
// in run directory + "\renset") becomes "/"; the conversion to UTF-8 comes
// first, so a trail byte of a double-byte character that happens to equal "\"
// is never mistaken for a separator.

#include <string>
#include <string_view>

#include "platform/code_page_codec.h"

// Code page 936 path text to the UTF-8 path the file system takes. A path
// that begins with the text form of the exact folder (SetExactFolderPrefix)
// begins with that folder's own UTF-8 name instead, so characters code page
// 936 lacks ("?" in the text) are not lost.
std::string FileSystemPathFromText(std::string_view path);
// UTF-16 bytes (little-endian, optionally zero-terminated; the text ends at the
// first zero code unit) to the UTF-8 path the file system takes.
std::string FileSystemPathFromWide(std::string_view utf16Bytes);
// Registers the absolute UTF-8 folder whose text form (one "?" for each
// character code page 936 lacks) the two conversions above map back to the
// folder itself; the run directory registers itself. Any thread.
void SetExactFolderPrefix(const std::string& utf8Folder);
// A UTF-8 name or path from the file system to code page 936 text.
std::string TextFromFileSystemPath(std::string_view utf8Path);
// The code page 936 path with every "\" between levels written as "/" (for
// the places that hand a path text on unconverted, such as a dialog's folder).
std::string TextPathWithSlashes(std::string_view path);

// True for "/" and "\".
inline bool IsPathSeparator(char c) {
  return c == '/' || c == '\\';
}
