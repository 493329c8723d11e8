#pragma once
// The run directory: "the program's folder", where settings, logs, caches and
// "err.txt" live. It is $QUILLMERE_HOME when set (tests always set it), else
// the executable's folder when the program may write there, else
// $XDG_DATA_HOME/quillmere (~/.local/share/quillmere without XDG_DATA_HOME).
// The chosen folder is created when missing.
//
// The folder is resolved once to an absolute file-system path (UTF-8) and kept
// in that form, so a relative $QUILLMERE_HOME does not move once the program
// has entered the folder, and a folder name with characters that code page 936
// lacks ("björn") stays exact: the path texts built on the run directory carry
// "?" for such characters, and the file-system conversion
// (file_system_path.h) puts the exact folder back in front of them.

#include <string>

// The run directory as an absolute UTF-8 file-system path without a trailing
// "/". Resolved at the first call for each value of $QUILLMERE_HOME (a test may
// change it between calls); later calls with the same value give the same
// folder whatever the working directory is by then. Any thread.
std::string RunDirectoryFileSystemPath();

// The run directory as code page 936 text, without a trailing "/".
std::string GetRunDirectory();

// The executable's folder as a UTF-8 file-system path without a trailing "/"
// (the program's own files, such as the browser engine library, sit there),
// or empty when it cannot be read. Any thread.
std::string ExecutableFolder();

// The run directory + "/" + `name` (code page 936).
std::string RunDirectoryPath(const std::string& name);

// The program's own file name, without its folder (code page 936).
std::string ProgramFileName();

// Resolves the run directory and makes it the working directory (the first
// step of start-up; the listing cache creates its files in the working
// directory). False when the folder cannot be entered.
bool EnterRunDirectory();
