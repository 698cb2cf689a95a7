// The format of a sound's samples, shaped like WAVEFORMATEX (plain types
// only, so that the Windows sound layer can take it too).
#pragma once

#include <cstdint>

struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
};
