// The sound engine: one whole decoded WAV file per SoundBuffer, played once or
// looping with DirectSound's meaning (Play on a playing buffer goes on, Stop
// keeps the position, Rewind moves it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend.h"

int InitSound(GameWindow* window);
void ReleaseSound();

constexpr uint32_t DSBPLAY_LOOPING = 1;

// The player's volumes in percent, for music (files in a "BGM" folder) and
// for everything else; sounds already loaded take them at once, and sounds
// loaded afterwards play at them. The game's own requests and timing do not
// change.
void SetSoundVolumes(int musicPercent, int effectsPercent);
// The gain a sound at this path plays at (1 at 100 %; the curve follows the
// ear, so 50 % sounds about half as loud).
float SoundGainFor(const char* path);

// The sample data of a WAV file.
struct WaveData {
  WaveFormat format;
  std::vector<uint8_t> samples;
};

// Reads a RIFF WAVE image: PCM, or IMA ADPCM (read as the 16-bit PCM it
// stands for, as long as its "fact" chunk says), chunks walked to find
// "fmt " and "data".
// Returns false with a reason for anything else (truncated, sizes beyond the
// file, another format, no samples).
bool ParseWave(const uint8_t* bytes, size_t size, WaveData* out, std::string* why);

class SoundBuffer {
 public:
  SoundBuffer() = default;
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;
  ~SoundBuffer() { Release(); }

  int Load(const char* path);
  void Play(uint32_t flags);
  void Stop();
  void Rewind(uint32_t position);
  int IsPlaying();
  void Release();
  bool IsLoaded() const { return voice_ != nullptr; }
  // Sets the voice's gain from the volume of its kind (music or effects).
  void ApplyVolume();

 private:
  SoundVoice* voice_ = nullptr;
  bool music_ = false;  // loaded from the music folder (BGM)
};
