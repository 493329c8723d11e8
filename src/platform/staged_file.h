#pragma once
// Replacing a file so that no reader ever sees half of it and a failed write
// never loses the old one: the new bytes go to a temporary file beside the
// target, are flushed to disk, and only then renamed over the target in one
// step. The settings, account-list and keyword-rule files are written this
// way; a caller that backs up the old file first moves it between Write and
// Commit.
//
// Paths are file-system paths (UTF-8). Any thread; one object per write.
// With memory files installed (memory_files.h) the bytes are kept by the
// object until the commit puts them in place there.

#include <string>
#include <string_view>

class StagedFile {
 public:
  StagedFile() = default;
  // Removes the temporary file when Commit did not run or failed.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Writes `bytes` to a new temporary file in the folder of `targetPath`,
  // created with `mode` less the file-mode mask the process started with (read
  // once; never changed while other threads run), and flushes it to disk. False when the file
  // cannot be made or written completely; nothing else changes.
  [[nodiscard]] bool Write(const std::string& targetPath, std::string_view bytes,
                           unsigned mode = 0644);

  // Renames the written temporary file over the target (replacing it). False
  // without a successful Write or when the rename fails; the target is then as
  // it was.
  [[nodiscard]] bool Commit();
  // Gives the written temporary file the target's name only when no entry of
  // that name exists (a link is made, never a replacement); false, with the
  // existing entry untouched, otherwise.
  [[nodiscard]] bool CommitWithoutReplacing();

 private:
  std::string m_targetPath;
  std::string m_tempPath;
  std::string m_memoryBytes;  // the staged bytes when files are in memory
  bool m_written = false;
};

// Write and Commit in one call: true when `targetPath` now holds `bytes`.
[[nodiscard]] bool WriteFileReplacing(const std::string& targetPath, std::string_view bytes,
                                      unsigned mode = 0644);
