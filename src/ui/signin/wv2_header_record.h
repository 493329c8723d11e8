#pragma once
// One entry of a header list of the WebView2 bridge library: the header's
// name and value as UTF-16 bytes, each ending in its NUL code unit.

#include <cstdint>
#include <string>
#include <vector>

struct Wv2HeaderRecord {
  std::string name;
  std::string value;
};

// Replaces `headers` by the `count` entries of a header-list block of the
// bridge (Wv2HeaderEntry), each text copied up to and including its NUL code
// unit.
void ReadWv2HeaderBlock(const void* block, std::uint32_t count,
                        std::vector<Wv2HeaderRecord>& headers);
