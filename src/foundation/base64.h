#pragma once
// Standard base64 (RFC 4648 alphabet with "=" padding, no line breaks).

#include <string>
#include <string_view>

// The base64 text of `bytes`; empty for empty input.
std::string Base64Encode(std::string_view bytes);

// The bytes of a base64 text. Spaces (ASCII and the full-width space of code
// page 936) and CR LF pairs anywhere are ignored. A text whose length is not
// a multiple of four and that lacks its "=" padding decodes as if the missing
// characters were "A", leaving zero bytes at the end; `trimZeroBytes` removes
// every trailing zero byte. Text holding any other character outside the
// alphabet, or "=" anywhere but as the last one or two characters of the
// final group, is rejected with an empty result: such text has no meaning as
// base64, and decoding it anyway would hand back made-up bytes as if they were
// data (standard base64 decoders reject it the same way).
std::string Base64Decode(std::string_view text, bool trimZeroBytes = false);

// `bytes` without its trailing zero bytes (all zero bytes give empty).
std::string TrimTrailingZeroBytes(std::string_view bytes);
