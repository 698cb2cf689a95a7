// Input scripts are written by hand: any bytes must parse or be refused
// cleanly, and what parses must write back to a script that parses the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/headless/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InputScript script;
  std::string error;
  if (!script.Parse(std::string(reinterpret_cast<const char*>(data), size), "fuzz", &error))
    return 0;
  InputScript again;
  if (!again.Parse(script.Write(), "again", &error) || again.Write() != script.Write())
    std::abort();
  return 0;
}
