#pragma once
// The run directory: "the program's folder", where settings, logs, caches and
// "err.txt" live. It is $QUILLMERE_HOME when set (tests always set it), else
// the executable's folder when the program may write there, else
// $XDG_DATA_HOME/quillmere (~/.local/share/quillmere without XDG_DATA_HOME).
// The chosen folder is created when missing.

#include <string>

// The run directory as code page 936 text, without a trailing "/". Computed
// on every call, so a test may change $QUILLMERE_HOME between calls. Any
// thread.
std::string GetRunDirectory();

// The run directory + "/" + `name` (code page 936).
std::string RunDirectoryPath(const std::string& name);

// The program's own file name, without its folder (code page 936).
std::string ProgramFileName();

// Makes the run directory the working directory (the first step of start-up;
// the listing cache creates its files in the working directory). False when
// the folder cannot be entered.
bool EnterRunDirectory();
