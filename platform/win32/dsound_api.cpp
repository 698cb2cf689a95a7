#include "platform/win32/dsound_api.h"

#include <windows.h>
#include <dsound.h>
#include <mmreg.h>

#include <cmath>
#include <cstring>

namespace dsound {

struct Output {
  IDirectSound8* sound = nullptr;
};

struct Buffer {
  IDirectSoundBuffer* buffer = nullptr;
};

Output* Open(void* window, std::string* error) {
  auto* out = new Output;
  if (FAILED(DirectSoundCreate8(nullptr, &out->sound, nullptr))) {
    *error = "no sound output (DirectSoundCreate8 failed)";
    delete out;
    return nullptr;
  }
  HWND focus = window ? static_cast<HWND>(window) : GetDesktopWindow();
  if (FAILED(out->sound->SetCooperativeLevel(focus, DSSCL_PRIORITY))) {
    *error = "the sound output refused the game (SetCooperativeLevel failed)";
    Close(out);
    return nullptr;
  }
  return out;
}

void Close(Output* output) {
  if (!output) return;
  if (output->sound) output->sound->Release();
  delete output;
}

Buffer* CreateBuffer(Output* output, const WaveFormat& format, const uint8_t* data,
                     uint32_t bytes) {
  if (!output || bytes == 0 || format.formatTag != WAVE_FORMAT_PCM) return nullptr;
  WAVEFORMATEX wave{};
  wave.wFormatTag = format.formatTag;
  wave.nChannels = format.channels;
  wave.nSamplesPerSec = format.samplesPerSec;
  wave.nAvgBytesPerSec = format.avgBytesPerSec;
  wave.nBlockAlign = format.blockAlign;
  wave.wBitsPerSample = format.bitsPerSample;
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  // Sounds go on while the window is in the background, as the game expects.
  desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
  desc.dwBufferBytes = bytes;
  desc.lpwfxFormat = &wave;
  IDirectSoundBuffer* buffer = nullptr;
  if (FAILED(output->sound->CreateSoundBuffer(&desc, &buffer, nullptr))) return nullptr;
  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (FAILED(buffer->Lock(0, bytes, &p1, &n1, &p2, &n2, 0))) {
    buffer->Release();
    return nullptr;
  }
  std::memcpy(p1, data, n1);
  if (p2) std::memcpy(p2, data + n1, n2);
  buffer->Unlock(p1, n1, p2, n2);
  return new Buffer{buffer};
}

void DestroyBuffer(Buffer* b) {
  if (!b) return;
  b->buffer->Stop();
  b->buffer->Release();
  delete b;
}

namespace {
// A buffer whose memory was taken (another program in exclusive mode) gets
// it back before it plays; its samples are gone, so it plays silence.
void Restore(Buffer* b) {
  DWORD status = 0;
  if (SUCCEEDED(b->buffer->GetStatus(&status)) && (status & DSBSTATUS_BUFFERLOST))
    b->buffer->Restore();
}
}  // namespace

void Play(Buffer* b, bool looping) {
  Restore(b);
  b->buffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0);
}

void Stop(Buffer* b) {
  b->buffer->Stop();
}

void SetPosition(Buffer* b, uint32_t byteOffset) {
  b->buffer->SetCurrentPosition(byteOffset);
}

bool IsPlaying(Buffer* b, bool* looping) {
  DWORD status = 0;
  if (FAILED(b->buffer->GetStatus(&status))) return false;
  *looping = (status & DSBSTATUS_LOOPING) != 0;
  return (status & DSBSTATUS_PLAYING) != 0;
}

void SetGain(Buffer* b, float gain) {
  LONG volume = DSBVOLUME_MIN;
  if (gain >= 1.0f) {
    volume = DSBVOLUME_MAX;
  } else if (gain > 0.0f) {
    volume = static_cast<LONG>(std::lround(2000.0 * std::log10(gain)));
    if (volume < DSBVOLUME_MIN) volume = DSBVOLUME_MIN;
  }
  b->buffer->SetVolume(volume);
}

}  // namespace dsound
