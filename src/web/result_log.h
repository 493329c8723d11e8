#pragma once
// The per-account result logs: text files in the program's folder named
// user name + kind + stamp + ".txt", to which each outcome of a rename,
// delete or copy request is appended as one entry (code page 936 text and
// CR LF). They are never read back. The rename and delete logs end with the
// rename task's stamp (g_renameTaskStamp); the copy logs with the copy job's
// own stamp, passed in.
//
// The remote user name becomes part of a file path, so it is first made safe
// for a file name. Write entries while holding g_counterLock, so that the
// counter and its entry change together and entries of concurrent requests
// never interleave.
//
// A write that fails (folder not writable, disk full) loses that entry but
// never silently: the first failure of a run (a stamp) is reported on the
// status line and as an "err.txt" line, and the run goes on.

#include <cstdio>
#include <string>
#include <string_view>

// The kinds of result logs.
inline constexpr const char* kLogRenamed = "_修改成功_";
inline constexpr const char* kLogRenameFailed = "_修改失败_";
inline constexpr const char* kLogUnchanged = "_修改无变化_";
inline constexpr const char* kLogUnknownState = "_未知状态_";
inline constexpr const char* kLogDeleted = "_删除文件成功_";
inline constexpr const char* kLogDeleteFailed = "_删除文件失败_";
inline constexpr const char* kLogCopied = "_复制文件成功_";
inline constexpr const char* kLogCopyFailed = "_复制文件失败_";

// The user name as a part of a file name: "/", "\", control characters and
// the dots of every ".." become "_" (double-byte characters are kept whole).
std::string SafeFileNamePart(std::string_view user);

// The full path (code page 936) of a result log of `user`: the program's
// folder + safe user + kind + g_renameTaskStamp + ".txt". Read the stamp with
// g_counterLock held.
std::string ResultLogPath(std::string_view user, std::string_view kind);
// The same with the stamp given.
std::string ResultLogPath(std::string_view user, std::string_view kind, std::string_view stamp);

// One result log of a user and kind. The file is opened at the first entry
// (and created when missing), so a log that gets no entry leaves no file;
// entries are always written at the end of the file. The name is fixed when
// the object is made: with g_renameTaskStamp (read it under g_counterLock) or
// with the stamp given.
class ResultLog {
 public:
  ResultLog(std::string_view user, std::string_view kind);
  ResultLog(std::string_view user, std::string_view kind, std::string_view stamp);
  ~ResultLog();
  ResultLog(const ResultLog&) = delete;
  ResultLog& operator=(const ResultLog&) = delete;

  // Writes entry + CR LF. False when the file cannot be opened or the write
  // failed (reported as above).
  bool Append(std::string_view entry);

 private:
  void ReportFailure();

  std::string m_stamp;
  std::string m_textPath;  // code page 936, as messages show it
  std::string m_path;      // UTF-8 file-system path
  std::FILE* m_file = nullptr;
  bool m_reported = false;
};

// The status line and "err.txt" line of a result log that cannot be written.
std::string ResultLogFailureText(std::string_view path);

// Opens the log, appends one entry and closes it. Hold g_counterLock.
bool AppendResultLogEntry(std::string_view user, std::string_view kind, std::string_view entry);
