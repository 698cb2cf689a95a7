#include "platform/sdl_gl/openal_sound.h"

#include <AL/al.h>
#include <AL/alc.h>

#include "platform/backend.h"

namespace {

class OpenAlVoice : public SoundVoice {
 public:
  OpenAlVoice(ALuint buffer, ALuint source) : buffer_(buffer), source_(source) {}
  ~OpenAlVoice() override {
    alSourceStop(source_);
    alDeleteSources(1, &source_);
    alDeleteBuffers(1, &buffer_);
  }

  // DirectSound's Play: a playing sound goes on (OpenAL would restart it), a
  // stopped one continues from its position.
  void Play(bool looping) override {
    alSourcei(source_, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    if (State() != AL_PLAYING) alSourcePlay(source_);
  }

  // DirectSound's Stop keeps the position: a pause in OpenAL's terms.
  void Stop() override {
    if (State() == AL_PLAYING) alSourcePause(source_);
  }

  void SetCurrentPosition(uint32_t offset) override {
    if (offset == 0 && State() != AL_PLAYING) {
      alSourceRewind(source_);  // back to the initial state, position 0
      return;
    }
    alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(offset));
  }

  void SetVolume(float gain) override { alSourcef(source_, AL_GAIN, gain); }

  uint32_t GetStatus() override {
    if (State() != AL_PLAYING) return 0;
    ALint looping = AL_FALSE;
    alGetSourcei(source_, AL_LOOPING, &looping);
    return DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0);
  }

 private:
  ALint State() const {
    ALint state = AL_INITIAL;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state;
  }

  ALuint buffer_;
  ALuint source_;
};

class OpenAlSoundDevice : public SoundDevice {
 public:
  OpenAlSoundDevice(ALCdevice* device, ALCcontext* context) : device_(device), context_(context) {}
  ~OpenAlSoundDevice() override {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
    alcCloseDevice(device_);
  }

  SoundVoice* CreateVoice(const WaveFormat& format, const uint8_t* data, uint32_t bytes) override {
    ALenum alFormat;
    if (format.channels == 1 && format.bitsPerSample == 8)
      alFormat = AL_FORMAT_MONO8;
    else if (format.channels == 1 && format.bitsPerSample == 16)
      alFormat = AL_FORMAT_MONO16;
    else if (format.channels == 2 && format.bitsPerSample == 8)
      alFormat = AL_FORMAT_STEREO8;
    else if (format.channels == 2 && format.bitsPerSample == 16)
      alFormat = AL_FORMAT_STEREO16;
    else
      return nullptr;
    if (bytes == 0) return nullptr;
    alGetError();
    ALuint buffer = 0, source = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, alFormat, data, static_cast<ALsizei>(bytes),
                 static_cast<ALsizei>(format.samplesPerSec));
    if (alGetError() != AL_NO_ERROR) {
      alDeleteBuffers(1, &buffer);
      return nullptr;
    }
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);  // no 3D placement: plain playback
    if (alGetError() != AL_NO_ERROR) {
      alDeleteSources(1, &source);
      alDeleteBuffers(1, &buffer);
      return nullptr;
    }
    return new OpenAlVoice(buffer, source);
  }

 private:
  ALCdevice* device_;
  ALCcontext* context_;
};

}  // namespace

SoundDevice* CreateOpenAlSoundDevice(std::string* error) {
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) {
    *error = "no sound output device could be opened";
    return nullptr;
  }
  ALCcontext* context = alcCreateContext(device, nullptr);
  if (!context || !alcMakeContextCurrent(context)) {
    if (context) alcDestroyContext(context);
    alcCloseDevice(device);
    *error = "no OpenAL context could be created";
    return nullptr;
  }
  return new OpenAlSoundDevice(device, context);
}
