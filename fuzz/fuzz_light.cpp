// Light files are text a person may edit: any bytes must read into entries
// whose written form reads back to the same written form.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/lighting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string written = FormatLightText(ParseLightText(text));
  if (FormatLightText(ParseLightText(written)) != written) std::abort();
  return 0;
}
