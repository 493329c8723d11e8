#pragma once
// Tells how a text file is encoded, for the settings and keyword files that
// may arrive as UTF-8, UTF-16 or local (code page 936) text.

#include <string_view>

// The UTF-8 byte-order mark, which some editors put before UTF-8 text.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// `bytes` without a leading UTF-8 byte-order mark (as they are without one).
constexpr std::string_view SkipUtf8ByteOrderMark(std::string_view bytes) {
  return bytes.starts_with(kUtf8ByteOrderMark) ? bytes.substr(kUtf8ByteOrderMark.size()) : bytes;
}

// Encoding codes returned by DetectTextFileEncoding.
inline constexpr int kTextFileUtf8 = 1;
inline constexpr int kTextFileUtf16Le = 2;
inline constexpr int kTextFileUtf16Be = 3;
inline constexpr int kTextFileLocal = 4;

// Classifies the file at `path` (local text): a byte-order mark decides
// (EF BB BF UTF-8, FF FE UTF-16LE, FE FF UTF-16BE); otherwise UTF-16LE text
// without a mark, then UTF-8 (LooksLikeUtf8); anything else, an empty or
// unreadable file included, is local text. Reads the whole file; any thread.
int DetectTextFileEncoding(std::string_view path);

// True when `bytes` start with the UTF-8 byte-order mark, or are valid UTF-8
// throughout and hold at least one non-ASCII character. Empty and pure ASCII
// data give false. The whole buffer is checked, because code page 936 text
// often begins with byte pairs that also form valid UTF-8 sequences.
bool LooksLikeUtf8(std::string_view bytes);
