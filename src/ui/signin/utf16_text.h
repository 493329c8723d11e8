#pragma once
// The WebView2 sign-in's conversions between the program's text (code page
// 936) and the UTF-16 byte arrays the bridge takes and gives.

#include <string>
#include <string_view>

// The UTF-16 little-endian bytes of `text` with their terminator; the
// terminator alone (two zero bytes) for the empty text.
std::string EncodeUtf16Text(std::string_view text);

// The text of UTF-16 bytes, up to their first NUL code unit or their end; an
// odd last byte is no code unit and is ignored. Empty for no bytes, one zero
// byte or a NUL code unit alone.
std::string DecodeUtf16Text(std::string_view utf16);
