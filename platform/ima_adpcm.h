// IMA ADPCM, as WAV files carry it (format tag 0x11): four bits a sample,
// a quarter of 16-bit PCM. The browser build ships its music this way
// (scripts/build-web.sh), to cut the download; the game reads it back to
// 16-bit PCM when it loads the file (ParseWave).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t kWaveFormatImaAdpcm = 0x11;

// The sample frames one block holds, or 0 when the block size cannot hold
// the channels' headers and at least one group of samples.
uint32_t ImaSamplesPerBlock(uint32_t blockAlign, uint32_t channels);

// Decodes whole and partial blocks into 16-bit PCM (interleaved, little
// endian), keeping at most maxFrames frames; false with a reason when the
// data is not IMA ADPCM of that layout.
bool DecodeImaAdpcm(const uint8_t* data, size_t bytes, uint32_t channels, uint32_t blockAlign,
                    uint32_t maxFrames, std::vector<uint8_t>* pcm, std::string* why);

// A whole WAV file of 16-bit PCM frames (interleaved) in IMA ADPCM, with a
// "fact" chunk that keeps the exact number of frames.
std::vector<uint8_t> ImaAdpcmWaveFile(const int16_t* samples, uint32_t frames, uint32_t channels,
                                      uint32_t sampleRate, uint32_t blockAlign = 1024);
