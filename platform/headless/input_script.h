// Input scripts: the plain-text record of what keys and pad controls change at
// which frame, written by hand or by the recorder, played by the headless
// backend. One command per line:
//
//   # comment
//   seed 42                       randomness seed of the run
//   @120 press RETURN             key down at frame 120, up at 121
//   @+30 press SPACE 45           30 frames after the last line, held 45 frames
//   @200 key LEFT down            (and "up"); keys by DirectInput name
//   @200 pad A down               pad buttons: A B X Y LB RB LS RS START BACK DPAD_*
//   @210 padpress START [FRAMES]
//   @220 stick L 32767 0          raw thumb values, y up positive
//   @230 trigger R 255
//   @240 pad connect              (and "disconnect"; pad commands connect it)
//   @900 quit                     end the run
//   @59 hash 0123456789abcdef     expected game-state hash after that frame
//
// Frames count from 0, the first frame whose input is read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/input_types.h"

struct InputEvent {
  enum class Kind {
    KeyDown,
    KeyUp,
    PadDown,
    PadUp,
    Stick,
    Trigger,
    PadConnect,
    PadDisconnect,
    Quit
  };
  int64_t frame = 0;
  Kind kind = Kind::KeyDown;
  int code = 0;  // DIK code, pad button bit, or 0/1 for left/right stick or trigger
  int x = 0;
  int y = 0;
};

// The last frame a script can name (every frame written back must read).
constexpr long long kMaxScriptFrame = 1000000000;

struct HashCheck {
  int64_t frame;
  uint64_t hash;
};

class InputScript {
 public:
  // Parses a script; on a mistake returns false with "name:line: what".
  bool Parse(const std::string& text, const std::string& name, std::string* error);
  bool Load(const std::string& path, std::string* error);
  std::string Write() const;

  // Events in frame order (lines of the same frame keep their order).
  std::vector<InputEvent> events;
  std::vector<HashCheck> hashes;
  std::optional<uint32_t> seed;
};

// Builds a script from the input each frame actually had (for recording).
class InputScriptRecorder {
 public:
  void RecordFrame(int64_t frame, const uint8_t keys[256], bool padConnected,
                   const XINPUT_GAMEPAD& pad);
  void RecordHash(int64_t frame, uint64_t hash) { script_.hashes.push_back({frame, hash}); }
  void SetSeed(uint32_t seed) { script_.seed = seed; }
  const InputScript& Script() const { return script_; }

 private:
  InputScript script_;
  uint8_t keys_[256] = {};
  bool connected_ = false;
  XINPUT_GAMEPAD pad_;
};
