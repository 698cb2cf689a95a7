#include "platform/common/null_sound.h"

namespace {

class NullVoice : public SoundVoice {
 public:
  NullVoice(Clock& clock, const WaveFormat& format, uint32_t bytes)
      : clock_(clock),
        bytesPerSecond_(format.avgBytesPerSec ? format.avgBytesPerSec : 1),
        blockAlign_(format.blockAlign ? format.blockAlign : 1),
        size_(bytes) {}

  void Play(bool looping) override {
    Advance();
    looping_ = looping;
    if (playing_) return;
    playing_ = true;
    startCounter_ = clock_.QueryPerformanceCounter();
    startPosition_ = position_;
  }

  void Stop() override {
    Advance();
    playing_ = false;
  }

  void SetCurrentPosition(uint32_t offset) override {
    Advance();
    position_ = offset < size_ ? offset - offset % blockAlign_ : 0;
    startPosition_ = position_;
    startCounter_ = clock_.QueryPerformanceCounter();
  }

  uint32_t GetStatus() override {
    Advance();
    if (!playing_) return 0;
    return DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0);
  }

 private:
  // Moves the position on by the time passed since playing started.
  void Advance() {
    if (!playing_) return;
    const int64_t now = clock_.QueryPerformanceCounter();
    const double seconds = static_cast<double>(now - startCounter_) /
                           static_cast<double>(clock_.QueryPerformanceFrequency());
    const uint64_t played = static_cast<uint64_t>(seconds * bytesPerSecond_);
    const uint64_t pos = startPosition_ + played;
    if (pos >= size_) {
      if (looping_) {
        position_ = static_cast<uint32_t>(pos % size_);
      } else {
        playing_ = false;
        position_ = 0;
      }
      startPosition_ = position_;
      startCounter_ = now;
    } else {
      position_ = static_cast<uint32_t>(pos);
    }
  }

  Clock& clock_;
  uint32_t bytesPerSecond_;
  uint32_t blockAlign_;
  uint32_t size_;
  uint32_t position_ = 0;
  uint32_t startPosition_ = 0;
  int64_t startCounter_ = 0;
  bool playing_ = false;
  bool looping_ = false;
};

class NullSoundDevice : public SoundDevice {
 public:
  explicit NullSoundDevice(Clock& clock) : clock_(clock) {}
  SoundVoice* CreateVoice(const WaveFormat& format, const uint8_t*, uint32_t bytes) override {
    if (bytes == 0) return nullptr;
    return new NullVoice(clock_, format, bytes);
  }

 private:
  Clock& clock_;
};

}  // namespace

SoundDevice* CreateNullSoundDevice(Clock& clock) {
  return new NullSoundDevice(clock);
}
