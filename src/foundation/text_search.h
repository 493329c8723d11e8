#pragma once
// Searching code page 936 texts and cutting them at markers.
//
// Positions are 1-based byte positions; -1 means "not found". A lead byte
// (IsCp936LeadByte, 0x81-0xFE) starts a double-byte character together with
// the byte after it, and no search ever reports a match that starts on the second byte of such a
// character. The ignore-case option folds only the ASCII letters, and never a
// trail byte of a double-byte character (trail bytes can look like letters).
//
// All routines are pure and safe to call from any thread.

#include <climits>
#include <string>
#include <string_view>

#include "platform/code_page_codec.h"

// Default start of FindTextBackward: search the whole text.
inline constexpr int kSearchWholeText = INT_MAX;

// First occurrence of `sought` at or after `start` (values below 1 count as
// 1). -1 when there is none or when `start` lies past the end. An empty
// `sought` gives 1 as long as the scanned range holds at least one byte.
int FindText(std::string_view text, std::string_view sought, int start = 1,
             bool ignoreCase = false);

// Last occurrence of `sought` that lies wholly within the first `start - 1`
// bytes of the text; the whole text with the default start. -1 when there is
// none or when `start` is 1 or below.
int FindTextBackward(std::string_view text, std::string_view sought, int start = kSearchWholeText,
                     bool ignoreCase = false);

// The bytes before the marker. A start of 0 or above looks for the first
// occurrence at or after `start`; -1 for the last occurrence in the whole
// text, -n (n >= 2) for the last one within the first length - n bytes.
// The result always counts from the beginning of the text. Empty when the
// marker is not found.
std::string TextLeftOfMarker(std::string_view text, std::string_view marker, int start = 0,
                             bool ignoreCase = false);

// The bytes between the first left marker at or after `start` and the next
// right marker after it; empty when either is missing. In both markers the
// five bytes "#引号" stand for one double quote, so that callers can write
// markers holding double quotes as plain literals.
std::string TextBetweenMarkers(std::string_view text, std::string_view leftMarker,
                               std::string_view rightMarker, int start = 0,
                               bool ignoreCase = false);

// The bytes after the marker. A start of 0 looks for the last occurrence in
// the whole text, k >= 1 for the last one within the first length - k bytes;
// -1 for the first occurrence, -n (n >= 2) for the first one at or after byte
// n. Empty when the marker is not found or ends the text.
std::string TextRightOfMarker(std::string_view text, std::string_view marker, int start = 0,
                              bool ignoreCase = false);

// Every occurrence of `from` (found left to right with FindText, so never
// inside a double-byte character) replaced by `to`; the replaced text is not
// searched again. An empty `from` changes nothing.
std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to,
                           bool ignoreCase = false);
