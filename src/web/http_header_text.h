#pragma once
// Header-line and cookie-text routines of the request-object back end. Texts
// are code page 936; "trimmed" removes ASCII and full-width blanks at both ends.

#include <string>
#include <vector>

// Rebuilds header lines joined by CRLF: lines without ":" are dropped, each
// "-"-separated part of a name gets its first letter upper-cased, the rest of
// each line is kept from its first ":" on. No CRLF after the last line.
std::string NormalizeHeaderLines(const std::string& headerText);

// The word with its first byte upper-cased when that byte is a to z.
std::string CapitalizeHeaderWord(const std::string& word);

// The trimmed text before / after the first ":" of a header line; empty when
// the line has no ":".
std::string GetHeaderName(const std::string& line);
std::string GetHeaderValue(const std::string& line);

// The trimmed text before the first "=" of a cookie pair (the whole pair,
// trimmed, when it has none).
std::string GetCookieName(const std::string& pair);

// True when some pair's name equals `name` (with case).
bool HasCookieName(const std::vector<std::string>& pairs, const std::string& name);

// Merges sent and received cookie texts: the received pairs first, then the
// sent pairs of other names, without pairs ending in "=deleted" and without
// repeated pairs. The result is returned and also left in `sent`; `received`
// is left trimmed.
std::string MergeCookieText(std::string& sent, std::string& received);
