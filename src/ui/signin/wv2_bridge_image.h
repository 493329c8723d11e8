#pragma once
// The bridge library's image as the build made it: the bytes of the built
// bridge (src/platform/wv2_bridge), carried in the program's constant data so
// that the program can write the library next to itself when it is missing.

#include <cstddef>

const unsigned char* CarriedBridgeImageData();
std::size_t CarriedBridgeImageSize();
