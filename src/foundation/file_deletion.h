#pragma once
// Deleting files and folder trees safely on Linux.
//
// Two differences from a plain unlink / recursive remove:
// - A folder tree is removed without ever following a symbolic link: a link
//   inside the tree is removed as a link, and whatever it points at stays.
// - A file this process holds open (the open listing cache, a log being
//   written) is not deleted. Linux would let the name go while the file stays
//   in use, and the open file would silently lose its name on disk.
// Paths are code page 936 texts. Any thread.

#include <string_view>

// Removes the folder and everything below it, links removed as links. Refuses
// (false) the empty path and "/". Entries go whatever their permission bits:
// a folder that its owner may not read, write or search is given that
// permission before it is emptied. Failures of single entries are ignored; the
// result tells whether the folder itself is gone. A link given as the folder
// itself is removed as a link.
bool RemoveDirectoryTree(std::string_view folder);

// True when some descriptor of this process refers to the same file.
bool IsFileOpenInThisProcess(std::string_view path);

// Deletes a file unless this process holds it open; true when it was deleted.
// Directories are never deleted here.
bool DeleteFileUnlessOpen(std::string_view path);
