// orvelune-assetgen --compress-music RESOURCE_DIR: rewrites the music (every
// WAV under Sound/BGM) in IMA ADPCM, a quarter of its size, for the browser
// build's download. The game reads either form.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "platform/ima_adpcm.h"
#include "platform/sound.h"
#include "tools/assetgen/assetgen.h"

namespace {

bool CompressOne(const std::filesystem::path& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  if (!in.good() && !in.eof()) {
    *error = path.string() + ": cannot be read";
    return false;
  }
  WaveData wave;
  std::string why;
  if (!ParseWave(bytes.data(), bytes.size(), &wave, &why)) {
    *error = path.string() + ": " + why;
    return false;
  }
  if (wave.format.bitsPerSample != 16) {
    *error = path.string() + ": not 16-bit PCM";
    return false;
  }
  const uint32_t channels = wave.format.channels;
  const uint32_t frames = static_cast<uint32_t>(wave.samples.size() / (2 * channels));
  std::vector<int16_t> samples(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(wave.samples[2 * i] | wave.samples[2 * i + 1] << 8);
  const std::vector<uint8_t> file =
      ImaAdpcmWaveFile(samples.data(), frames, channels, wave.format.samplesPerSec);
  return WriteFileAtomically(path.string(), std::string(file.begin(), file.end()), error);
}

}  // namespace

int CompressMusic(const std::string& resourceDir) {
  const std::filesystem::path folder = std::filesystem::path(resourceDir) / "Sound" / "BGM";
  std::error_code ec;
  int done = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().extension() != ".wav") continue;
    std::string error;
    if (!CompressOne(entry.path(), &error)) {
      std::fprintf(stderr, "orvelune-assetgen: %s\n", error.c_str());
      return 1;
    }
    ++done;
  }
  if (ec || done == 0) {
    std::fprintf(stderr, "orvelune-assetgen: no music found in %s\n", folder.string().c_str());
    return 1;
  }
  std::printf("orvelune-assetgen: %d pieces of music compressed in %s\n", done,
              folder.string().c_str());
  return 0;
}
