#pragma once
// A stand-in for the disk under the program's own files, for fuzz targets
// that run the real load and save routines thousands of times a second. While
// one is installed, the routines at the bottom of those paths work on it
// instead of the disk: reading a whole file (ReadFileTextToZero,
// DetectTextFileEncoding, ProfileFile::Load), staging and replacing one
// (StagedFile, WriteFileReplacing) and moving one without replacing
// (MoveFileChecked). Everything above them runs as it does on the disk. Modes
// are not kept, and a write never fails.
//
// Paths are the file-system paths (UTF-8) the disk would be given. Any thread.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

class MemoryFiles {
 public:
  // The bytes of the file at `path`; nothing when there is none.
  std::optional<std::string> Read(const std::string& path) const;
  // Creates the file or replaces its bytes.
  void Write(const std::string& path, std::string_view bytes);
  // Creates the file; false, changing nothing, when it exists.
  bool WriteNew(const std::string& path, std::string_view bytes);
  // Renames `from` to `to`; false, changing nothing, when `from` is missing or
  // `to` exists.
  bool MoveWithoutReplacing(const std::string& from, const std::string& to);
  // Removes every file.
  void Clear();

 private:
  mutable std::mutex m_lock;
  std::map<std::string, std::string, std::less<>> m_files;
};

// Installs `files` (null: the disk again). Set before other threads use files.
void InstallMemoryFiles(MemoryFiles* files);
// The installed stand-in; null when files are on the disk.
MemoryFiles* InstalledMemoryFiles();
