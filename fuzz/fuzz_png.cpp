// Textures come from files: any bytes must decode to a sane image or be refused.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/png_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Image image;
  std::string why;
  if (DecodePng(data, size, &image, &why) &&
      image.argb.size() != static_cast<size_t>(image.width) * image.height)
    std::abort();
  return 0;
}
