#include "platform/ima_adpcm.h"

#include <algorithm>

namespace {

constexpr int16_t kSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kIndexMoves[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

// One channel's running state: the last sample and the step's index.
struct Channel {
  int predictor = 0;
  int index = 0;

  // The sample a nibble stands for, which becomes the predictor.
  int16_t Take(int nibble) {
    const int step = kSteps[index];
    int diff = step >> 3;
    if (nibble & 4) diff += step;
    if (nibble & 2) diff += step >> 1;
    if (nibble & 1) diff += step >> 2;
    predictor = std::clamp(nibble & 8 ? predictor - diff : predictor + diff, -32768, 32767);
    index = std::clamp(index + kIndexMoves[nibble], 0, 88);
    return static_cast<int16_t>(predictor);
  }

  // The nibble that comes closest to a sample (and takes it, as decoding would).
  int Encode(int sample) {
    const int step = kSteps[index];
    int delta = sample - predictor;
    int nibble = 0;
    if (delta < 0) {
      nibble = 8;
      delta = -delta;
    }
    if (delta >= step) {
      nibble |= 4;
      delta -= step;
    }
    if (delta >= step >> 1) {
      nibble |= 2;
      delta -= step >> 1;
    }
    if (delta >= step >> 2) nibble |= 1;
    Take(nibble);
    return nibble;
  }
};

void PutU16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>* out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>* out, const char* tag) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace

uint32_t ImaSamplesPerBlock(uint32_t blockAlign, uint32_t channels) {
  if (channels == 0 || blockAlign < 8 * channels || (blockAlign - 4 * channels) % (4 * channels))
    return 0;
  return (blockAlign - 4 * channels) * 2 / channels + 1;
}

bool DecodeImaAdpcm(const uint8_t* data, size_t bytes, uint32_t channels, uint32_t blockAlign,
                    uint32_t maxFrames, std::vector<uint8_t>* pcm, std::string* why) {
  const uint32_t perBlock = ImaSamplesPerBlock(blockAlign, channels);
  if (perBlock == 0 || channels > 2) {
    *why = "unsupported IMA ADPCM layout";
    return false;
  }
  std::vector<int16_t> out;
  out.reserve(std::min<size_t>(maxFrames, bytes * 2 / channels + 1) * channels);
  std::vector<int16_t> block(static_cast<size_t>(perBlock) * channels);
  for (size_t at = 0; at + 4 * channels <= bytes && out.size() < size_t{maxFrames} * channels;
       at += blockAlign) {
    const size_t size = std::min<size_t>(blockAlign, bytes - at);
    const uint8_t* b = data + at;
    Channel state[2];
    for (uint32_t c = 0; c < channels; ++c) {
      state[c].predictor = static_cast<int16_t>(b[4 * c] | b[4 * c + 1] << 8);
      if (b[4 * c + 2] > 88) {
        *why = "IMA ADPCM step index out of range";
        return false;
      }
      state[c].index = b[4 * c + 2];
      block[c] = static_cast<int16_t>(state[c].predictor);
    }
    // Then groups of four bytes a channel, eight samples each, low nibble first.
    uint32_t frames = 1;
    for (size_t g = 4 * channels; g + 4 * channels <= size; g += 4 * channels, frames += 8) {
      for (uint32_t c = 0; c < channels; ++c) {
        for (int i = 0; i < 8; ++i) {
          const uint8_t byte = b[g + 4 * c + i / 2];
          block[(frames + i) * channels + c] = state[c].Take(i % 2 ? byte >> 4 : byte & 15);
        }
      }
    }
    out.insert(out.end(), block.begin(), block.begin() + static_cast<ptrdiff_t>(frames) * channels);
  }
  out.resize(std::min(out.size(), size_t{maxFrames} * channels));
  if (out.empty()) {
    *why = "no whole IMA ADPCM block";
    return false;
  }
  pcm->resize(out.size() * 2);
  for (size_t i = 0; i < out.size(); ++i) {
    (*pcm)[2 * i] = static_cast<uint8_t>(out[i]);
    (*pcm)[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(out[i]) >> 8);
  }
  return true;
}

std::vector<uint8_t> ImaAdpcmWaveFile(const int16_t* samples, uint32_t frames, uint32_t channels,
                                      uint32_t sampleRate, uint32_t blockAlign) {
  const uint32_t perBlock = ImaSamplesPerBlock(blockAlign, channels);
  const uint32_t blocks = (frames + perBlock - 1) / perBlock;
  std::vector<uint8_t> data;
  data.reserve(static_cast<size_t>(blocks) * blockAlign);
  Channel state[2];
  auto sample = [&](uint32_t frame, uint32_t c) {
    return frame < frames ? samples[static_cast<size_t>(frame) * channels + c] : 0;
  };
  for (uint32_t first = 0; first < frames; first += perBlock) {
    for (uint32_t c = 0; c < channels; ++c) {
      state[c].predictor = sample(first, c);
      PutU16(&data, static_cast<uint16_t>(state[c].predictor));
      data.push_back(static_cast<uint8_t>(state[c].index));
      data.push_back(0);
    }
    for (uint32_t f = first + 1; f < first + perBlock; f += 8) {
      for (uint32_t c = 0; c < channels; ++c) {
        for (int i = 0; i < 8; i += 2) {
          const int low = state[c].Encode(sample(f + i, c));
          const int high = state[c].Encode(sample(f + i + 1, c));
          data.push_back(static_cast<uint8_t>(low | high << 4));
        }
      }
    }
  }
  std::vector<uint8_t> file;
  PutTag(&file, "RIFF");
  PutU32(&file, 0);  // the size, once known
  PutTag(&file, "WAVE");
  PutTag(&file, "fmt ");
  PutU32(&file, 20);
  PutU16(&file, kWaveFormatImaAdpcm);
  PutU16(&file, channels);
  PutU32(&file, sampleRate);
  PutU32(&file, static_cast<uint32_t>(uint64_t{sampleRate} * blockAlign / perBlock));
  PutU16(&file, blockAlign);
  PutU16(&file, 4);
  PutU16(&file, 2);
  PutU16(&file, perBlock);
  PutTag(&file, "fact");
  PutU32(&file, 4);
  PutU32(&file, frames);
  PutTag(&file, "data");
  PutU32(&file, static_cast<uint32_t>(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  if (data.size() % 2) file.push_back(0);  // chunks are padded to even sizes
  const uint32_t riff = static_cast<uint32_t>(file.size() - 8);
  for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
  return file;
}
