// The player: the one character the keyboard and pad drive. It walks the
// field relative to the camera, never jumps, and acts on the chips through an
// action code the field reads each frame.
#pragma once

#include "world/object_base.h"

class Mesh;
struct InputFrame;

// Action codes.
enum PlayerAction {
  kActionIdle = 0x01,
  kActionSelecting = 0x02,
  kActionFlip = 0x04,
  kActionLift = 0x08,
  kActionCarrying = 0x10,
  kActionFlipRunning = 0x80,
  kActionFlipStarted = 0x88,
};

class Player : public CharacterBase {
 public:
  explicit Player(RunState& run);
  int Init(RunState& run) override;
  // One frame of the player, driven by the frame's input.
  void Update(RunState& run, const InputFrame& input);
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "Player"; }

  Mesh* mesh;
  Vec3 cursor;
  int request = 0;
  int throwNow = 0;
  int throwHeld = 0;
  int action = kActionIdle;
  int chargeFrames = 0;
  float chargeLevel = 1.5f;
  float inputAngle = 0;
  float inputTimer = 0;
  float slowdown = 1.0f;
  int recoilOn = 0;
  Vec3 recoilVelocity;
  int standing = 0;
  Vec3 cameraDirection;  // the camera's view direction, kept for the camera's use
  // Lets walking input steer the cursor while a selection button is held.
  int cursorSteering = 1;

 private:
  // The base's frame (falling, gravity) runs at the end of the player's own;
  // nothing calls it on its own for the player.
  using CharacterBase::Update;
  void ActionInput(RunState& run, const InputFrame& input);
  void ThrowInput(RunState& run, const InputFrame& input);
  void Recoil();
  void Walk(RunState& run, const InputFrame& input);
  void EnterSelection(RunState& run, int newRequest, bool moveCamera);
};
