#include "platform/sound.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/failed_files.h"
#include "base/report_error.h"
#include "platform/ima_adpcm.h"

namespace {

SoundDevice* g_soundDevice = nullptr;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t ReadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>* out) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->insert(out->end(), buf, buf + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace

int InitSound(GameWindow* /*window*/) {
  Backend* backend = GetBackend();
  g_soundDevice = backend ? backend->CreateSoundDevice() : nullptr;
  if (!g_soundDevice) {
    ReportError("DirectSoundの作成に失敗");
    return 0;
  }
  return 1;
}

void ReleaseSound() {
  if (g_soundDevice) {
    delete g_soundDevice;
    g_soundDevice = nullptr;
  }
}

namespace {

// The "fmt " chunk: PCM of 8 or 16 bits, or IMA ADPCM; mono or stereo.
bool ReadFormat(const uint8_t* f, uint64_t chunkSize, WaveFormat* format, std::string* why) {
  if (chunkSize < 16) {
    *why = "format chunk too short";
    return false;
  }
  format->formatTag = ReadU16(f);
  format->channels = ReadU16(f + 2);
  format->samplesPerSec = ReadU32(f + 4);
  format->avgBytesPerSec = ReadU32(f + 8);
  format->blockAlign = ReadU16(f + 12);
  format->bitsPerSample = ReadU16(f + 14);
  const bool channelsAndRate = (format->channels == 1 || format->channels == 2) &&
                               format->samplesPerSec != 0 && format->samplesPerSec <= 192000;
  if (format->formatTag == kWaveFormatImaAdpcm) {
    if (!channelsAndRate || format->bitsPerSample != 4 ||
        ImaSamplesPerBlock(format->blockAlign, format->channels) == 0) {
      *why = "unsupported IMA ADPCM layout";
      return false;
    }
    return true;
  }
  if (format->formatTag != 1) {
    *why = "not PCM (format tag " + std::to_string(format->formatTag) + ")";
    return false;
  }
  if (!channelsAndRate || (format->bitsPerSample != 8 && format->bitsPerSample != 16) ||
      format->blockAlign != format->channels * format->bitsPerSample / 8) {
    *why = "unsupported PCM layout";
    return false;
  }
  return true;
}

// IMA ADPCM samples, read as the 16-bit PCM they stand for (frames: the
// "fact" chunk's count, which the last block may hold fewer than).
bool ReadImaAdpcm(const uint8_t* data, size_t bytes, uint32_t frames, WaveData* out,
                  std::string* why) {
  WaveFormat& f = out->format;
  if (!DecodeImaAdpcm(data, bytes, f.channels, f.blockAlign, frames, &out->samples, why))
    return false;
  f.formatTag = 1;
  f.bitsPerSample = 16;
  f.blockAlign = static_cast<uint16_t>(2 * f.channels);
  f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
  return true;
}

}  // namespace

bool ParseWave(const uint8_t* bytes, size_t size, WaveData* out, std::string* why) {
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
    *why = "not a RIFF WAVE file";
    return false;
  }
  const uint64_t riffEnd = 8ull + ReadU32(bytes + 4);
  if (riffEnd > size) {
    *why = "RIFF size larger than the file";
    return false;
  }
  bool haveFormat = false;
  uint32_t frames = UINT32_MAX;
  size_t pos = 12;
  while (pos + 8 <= riffEnd) {
    const uint8_t* chunk = bytes + pos;
    const uint64_t chunkSize = ReadU32(chunk + 4);
    const uint64_t bodyEnd = pos + 8 + chunkSize;
    if (bodyEnd > riffEnd) {
      *why = "chunk larger than the file";
      return false;
    }
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (!ReadFormat(chunk + 8, chunkSize, &out->format, why)) return false;
      haveFormat = true;
    } else if (std::memcmp(chunk, "fact", 4) == 0 && chunkSize >= 4) {
      frames = ReadU32(chunk + 8);  // how many frames compressed data holds
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) {
        *why = "sample data before the format";
        return false;
      }
      if (chunkSize == 0) {
        *why = "no sample data";
        return false;
      }
      if (out->format.formatTag == kWaveFormatImaAdpcm)
        return ReadImaAdpcm(chunk + 8, chunkSize, frames, out, why);
      out->samples.assign(chunk + 8, chunk + 8 + chunkSize);
      // Whole sample frames only.
      out->samples.resize(out->samples.size() - out->samples.size() % out->format.blockAlign);
      if (out->samples.empty()) {
        *why = "no whole sample frame";
        return false;
      }
      return true;
    }
    pos = static_cast<size_t>(bodyEnd + (chunkSize & 1));  // chunks are padded to even sizes
  }
  *why = haveFormat ? "no sample data chunk" : "no format chunk";
  return false;
}

namespace {
int g_musicPercent = 100;
int g_effectsPercent = 100;
// Every loaded buffer, so a change of volume reaches the sounds already
// loaded (the music playing among them). Never destroyed: buffers owned by
// other files' statics may be released after this file's are gone.
std::vector<SoundBuffer*>& Loaded() {
  static auto* loaded = new std::vector<SoundBuffer*>;
  return *loaded;
}

// Music is what lives in a "BGM" folder; everything else is an effect.
bool IsMusicPath(const char* path) {
  return std::strstr(path, "/BGM/") != nullptr;
}

float GainOf(bool music) {
  const float share = (music ? g_musicPercent : g_effectsPercent) / 100.0f;
  return share * share;
}
}  // namespace

void SetSoundVolumes(int musicPercent, int effectsPercent) {
  g_musicPercent = std::clamp(musicPercent, 0, 100);
  g_effectsPercent = std::clamp(effectsPercent, 0, 100);
  for (SoundBuffer* b : Loaded()) b->ApplyVolume();
}

float SoundGainFor(const char* path) {
  return GainOf(IsMusicPath(path));
}

void SoundBuffer::ApplyVolume() {
  if (voice_) voice_->SetVolume(GainOf(music_));
}

int SoundBuffer::Load(const char* path) {
  Release();
  if (FailedBefore(path)) return 0;  // unchanged since it failed: not read again
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes)) {
    ReportError("Soundファイルオープンに失敗 -DirectSound-", path);
    ReportErrorDetail(path);
    RememberFailure(path);
    return 0;
  }
  WaveData wave;
  std::string why;
  if (!ParseWave(bytes.data(), bytes.size(), &wave, &why)) {
    ReportError("LPDIRECTSOUNDBUFFERの作成に失敗", path);
    ReportErrorDetail((std::string(path) + ": " + why).c_str());
    RememberFailure(path);
    return 0;
  }
  voice_ = g_soundDevice ? g_soundDevice->CreateVoice(wave.format, wave.samples.data(),
                                                      static_cast<uint32_t>(wave.samples.size()))
                         : nullptr;
  if (!voice_) {
    ReportError("LPDIRECTSOUNDBUFFERの作成に失敗", path);
    ReportErrorDetail(path);
    return 0;
  }
  music_ = IsMusicPath(path);
  ApplyVolume();
  Loaded().push_back(this);
  return 1;
}

void SoundBuffer::Play(uint32_t flags) {
  if (voice_) voice_->Play((flags & DSBPLAY_LOOPING) != 0);
}

void SoundBuffer::Stop() {
  if (voice_) voice_->Stop();
}

void SoundBuffer::Rewind(uint32_t position) {
  if (voice_) voice_->SetCurrentPosition(position);
}

int SoundBuffer::IsPlaying() {
  return voice_ && voice_->GetStatus() != 0 ? 1 : 0;
}

void SoundBuffer::Release() {
  if (voice_) {
    delete voice_;
    voice_ = nullptr;
    Loaded().erase(std::remove(Loaded().begin(), Loaded().end(), this), Loaded().end());
  }
}
