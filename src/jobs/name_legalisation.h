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

// The name to send for an item listed as `listed` once the rename rules made
// `built` of it (both in the same form): `built` legalised, or `listed` as it
// is when the rules left it unchanged. A name the service already holds is
// legal there, so the legalisation alone never renames an item (the batch
// apply books such a row as unchanged before it legalises).
std::string LegalNewName(const std::string& listed, const std::string& built);

// Undoes the percent escapes that the rename pipeline itself left in a name,
// and nothing else. The rename rules write the characters they add (space,
// "~", "&", "=", "·" included) as themselves or in backslash-u notation, never
// as percent escapes, so every "%XX" a name or path holds here is part of the
// real name ("a%26b" must reach the service as "a%26b") and the text comes
// back unchanged. Callers still call it where a name or path leaves the
// pipeline. Any thread.
std::string RestoreEncodedPunctuation(const std::string& text);
