// Sounds come from files: any bytes must give PCM samples that fit the format
// or be refused with a reason. IMA ADPCM reads back as 16-bit PCM, four bytes
// of it at most for each byte of the file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WaveData wave;
  std::string why;
  if (ParseWave(data, size, &wave, &why)) {
    if (wave.samples.empty() || wave.samples.size() > 4 * size || wave.format.formatTag != 1 ||
        wave.samples.size() % wave.format.blockAlign != 0)
      std::abort();
  } else if (why.empty()) {
    std::abort();
  }
  return 0;
}
