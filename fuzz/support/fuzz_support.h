#pragma once
// What the fuzz targets share: the input cut into parts, a quiet program
// environment (a scratch program folder whose files the program reads and
// writes in memory, a clock whose waits pass at once, the silent desktop) and
// replies to the program's requests taken from the
// input, so a request routine judges what the input says without a network.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Parts of an input are separated by this line (seeds stay readable).
inline constexpr std::string_view kFuzzPartSeparator = "\n--\n";

// The input cut at every separator; at least `count` parts (missing ones
// empty).
std::vector<std::string> SplitFuzzInput(const uint8_t* data, size_t size, size_t count = 1);

// Once per process: a fresh program folder (QUILLMERE_HOME) under the
// temporary folder, memory files (platform/memory_files.h) installed, so the
// program's own files are read, saved and backed up in memory through their
// real routines, an instant clock installed and the request replies served by
// ServeFuzzReplies. Every call after the first empties the memory files and
// the program folder now and then, so backups and logs do not pile up.
void PrepareFuzzEnvironment();

// The program folder's path (code page 936 path text) of a file name.
std::string FuzzFilePath(const std::string& name);
// Writes bytes to a file of the program folder (in memory).
void WriteFuzzFile(const std::string& name, const std::string& bytes);

// The coming requests are answered by `replies` in order with status 200,
// every later one with no reply (status 0); the first request left without
// a reply also asks the copy and rename jobs to stop (g_copyStopRequested,
// g_renameStopRequested), which this call clears again.
void ServeFuzzReplies(std::vector<std::string> replies);

class JsonDocument;

// Checks that a parsed tree's text (UTF-8, so every character is kept) parses
// again and, written again, stays as it is from then on. Exactly the same
// after the first round when no string holds a line feed: the writer puts a
// lone LF out as "\n", which the reader takes as CR LF (texts inside the
// program break lines with CR LF), but for one at the very start of a key.
void CheckJsonReadsBack(const JsonDocument& doc);

// A broken promise of the code under test: prints both sides and aborts, so
// the fuzzer keeps the input.
[[noreturn]] void FuzzMismatch(const char* what, const std::string& expected,
                               const std::string& actual);
inline void FuzzCheckEqual(const char* what, const std::string& expected,
                           const std::string& actual) {
  if (expected != actual)
    FuzzMismatch(what, expected, actual);
}
