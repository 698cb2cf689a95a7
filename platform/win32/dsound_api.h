// A thin layer over DirectSound 8 in neutral types (see d3d9_api.h for why).
#pragma once

#include <cstdint>
#include <string>

#include "platform/wave_format.h"

namespace dsound {

struct Output;
struct Buffer;

// Null with the reason when no sound output can be opened. window: the HWND
// whose focus the sound follows (null: the desktop).
Output* Open(void* window, std::string* error);
void Close(Output* output);

// A secondary buffer holding the samples; null when DirectSound refuses them.
Buffer* CreateBuffer(Output* output, const WaveFormat& format, const uint8_t* data, uint32_t bytes);
void DestroyBuffer(Buffer* buffer);
void Play(Buffer* buffer, bool looping);
void Stop(Buffer* buffer);
void SetPosition(Buffer* buffer, uint32_t byteOffset);
bool IsPlaying(Buffer* buffer, bool* looping);
// gain 0..1, as DirectSound's hundredths of a decibel.
void SetGain(Buffer* buffer, float gain);

}  // namespace dsound
