#pragma once
// The last clean-up of a new name before it is sent: characters the service
// does not take in names are replaced or removed.
//
// Texts are code page 936. The searches step over double-byte characters, so a
// Chinese character whose second byte equals the byte of "|" or "/" keeps it.
// Pure functions, safe on any thread; the argument is never changed.

#include <string>

// Replaces, in this order and each at every occurrence: ":" by "：", "|" by
// nothing, "<" by "《", ">" by "》", "?" by "？", "*" by nothing, "/" by
// nothing and "'" by "’". Backslash, double quote and all else stay. A name
// made only of removed characters becomes empty, which the rename request
// treats as an empty new name.
std::string MakeLegalName(const std::string& name);

// Gives back the name as it is. The rename rules write every character they
// add in backslash-u notation, never as a percent escape, so no percent escape
// in a name comes from the rename pipeline; the ones a name holds ("%26",
// "%20") are part of the real name and must reach the service unchanged.
// Callers keep calling it where a name or path leaves the pipeline.
std::string RestoreEncodedPunctuation(const std::string& text);
