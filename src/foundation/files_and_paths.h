#pragma once
// The few file-system operations the program needs: extensions, existence
// checks, directory creation level by level, a checked move that never
// replaces its target, and listing a folder's files by pattern.
//
// Paths are code page 936 texts (the "...Wide" forms take UTF-16 bytes) and
// reach the file system as UTF-8 with "/" between levels (file_system_path.h).
// An absolute path begins with "/". Nothing here reports an error beyond its
// result. All operations may run on any thread and keep no state.

#include <string>
#include <string_view>
#include <vector>

// The extension with its dot: from the last "." that no later "/", "\" or
// space follows; empty when there is none.
std::string GetPathExtension(std::string_view path);

// True when the path names an existing directory (a link to one counts).
bool DirectoryExists(std::string_view path);
bool DirectoryExistsWide(std::string_view utf16Bytes);

// Creates every missing level; true when the directory exists afterwards.
bool CreateDirectoryPath(std::string_view path);
// Creates each missing level of a UTF-16 path. A path shorter than three
// characters is left alone; single failures are ignored.
void CreateDirectoryLevels(std::string_view utf16Bytes);

// True when the path names an existing entry that is not a directory. A file
// name holding "*" or "?" is a pattern: true when its first match (in name
// order) is not a directory.
bool FileExists(std::string_view path);
bool FileExistsWide(std::string_view utf16Bytes);

// The bytes of the file up to its first zero byte; empty when the file is
// missing or unreadable.
std::string ReadFileTextToZero(std::string_view path);

// Moves or renames a file. False when IsValidTargetPath refuses the target,
// when the target already exists (it is never replaced) or when the move fails.
bool MoveFileChecked(std::string_view source, std::string_view target);

// A path is acceptable as a target when it is absolute (begins with "/"), its
// file-name part is not empty and holds none of the nine forbidden characters,
// and, with `extensionOptional` off, that part has a dot that is neither its
// first nor its last character.
bool IsValidTargetPath(std::string_view path, bool extensionOptional = true);

// True when `name` holds one of ? / \ < > * | : and the double quote. Trail
// bytes of double-byte characters never count.
bool HasForbiddenNameChars(std::string_view name);

// Collects the files (never directories) of `folder` matching the "|"-separated
// patterns ("*" and "?" wildcards, ASCII case ignored, "x.*" also matching "x"),
// pattern by pattern and each pattern's matches in name order; bare names or
// folder + "/" + name. Without `recurse` the result array is emptied first;
// with it, sub-folders (symbolic links to folders excluded) are searched after
// the folder's own files and the results appended. Returns the number of texts
// in `results`. Pending user-interface events are handled after every file
// and every sub-folder (nothing happens off the user-interface thread).
int FindFilesRecursive(std::string_view folder, std::string_view patterns,
                       std::vector<std::string>& results, bool fullPath = false, bool sort = false,
                       bool recurse = false);
