#pragma once
// A statistics test that tells whether a buffer without a byte-order mark
// holds UTF-16LE text. It stands in for the system's text-statistics test
// used when classifying the encoding of a settings or keyword file.

#include <string_view>

// True when `data` reads as UTF-16LE text: an even length of at least two
// bytes; every code unit a text character (no control characters other than
// tab, line feed, form feed and carriage return, paired surrogates, no
// byte-swapped byte-order mark, zero units only as a trailing terminator);
// and at least one unit from the ASCII and Latin-1 range (a zero high byte),
// more of those than units that look byte-swapped (a zero low byte).
//
// Text in a single- or multi-byte encoding (ASCII, code page 936, UTF-8)
// holds no zero bytes and is therefore never claimed. UTF-16LE text made only
// of characters above U+00FF (Chinese without any digit, space or line break)
// is not recognised either; callers then fall back to their other tests.
bool LooksLikeUtf16LeText(std::string_view data);
