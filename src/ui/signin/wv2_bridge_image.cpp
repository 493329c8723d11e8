#include "ui/signin/wv2_bridge_image.h"

// Both ends of the image, placed by the assembler source that the build
// generates round the built bridge library (cmake/EmbedFileImage.cmake).
extern "C" const unsigned char quill_wv2_bridge_image_begin[];
extern "C" const unsigned char quill_wv2_bridge_image_end[];

const unsigned char* CarriedBridgeImageData() {
  return quill_wv2_bridge_image_begin;
}

std::size_t CarriedBridgeImageSize() {
  return static_cast<std::size_t>(quill_wv2_bridge_image_end - quill_wv2_bridge_image_begin);
}
