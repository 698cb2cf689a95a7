// The small screens of the game scene: the stage-clear caption, the
// game-over caption with its two choices, the pause menu, and the HUD.
#pragma once

#include "platform/d3d_types.h"
#include "platform/input.h"

class SoundSetCore;
struct GameState;
class Texture;

// The three hopping letters of the clear caption.
class GameClear {
 public:
  ~GameClear() { Release(); }
  int Load();
  // The caption's sound plays from the game's sounds.
  void Update(SoundSetCore& sounds, const InputFrame& input);
  void Draw();
  int IsDone() const { return done; }
  void Reset();
  void Release();

  Texture* texture = nullptr;
  int done = 0;
  int letterAlpha[3] = {0, 0, 0};
  float letterLift[3] = {0, 0, 0};
  int count = 3;
  float letterAngle[3] = {0, 0, 0};
  float timer = 0;
};

// The game-over caption with retry (choice 1) and give up (choice 0).
class GameOver {
 public:
  GameOver() { Reset(); }
  ~GameOver() { Release(); }
  int Load();
  void Update(SoundSetCore& sounds, const InputFrame& input);
  void Draw();
  int IsDecided() const { return decided; }
  int GetChoice() const { return choice; }
  void Reset();
  void Release();

  Texture* texture = nullptr;
  int decided = 0;
  int choice = 1;
  int itemAlpha[4] = {0, 0, 0, 0};
  RECT itemRect[4];
};

// The pause menu: resume (only with P or START), retry the stage, or quit.
class PauseMenu {
 public:
  enum Cursor { kResume = 0, kRetry = 1, kQuit = 2 };
  enum Phase { kChoosing = 1, kDone = 2, kFadingOut = 3 };

  PauseMenu() { Reset(false); }
  // blinkRising: the reset after a resume or a retry starts the blink rising.
  void Reset(bool blinkRising = true);
  // 1 when the menu has finished; its cursor sounds play from the game's.
  int Update(SoundSetCore& sounds, const InputFrame& input);
  // The hints name the keys, or the pad's buttons when it was used last.
  void Draw(InputDevice prompts);
  // True while a choice can be made (faded in, nothing chosen yet).
  bool Choosing() const { return phase == kChoosing && !decided; }

  int GetCursor() const { return cursor; }
  int IsDecided() const { return decided; }
  int GetSavedMode() const { return savedMode; }
  void SetSavedMode(int mode) { savedMode = mode; }
  void SetMenuAlpha(int a) { menuAlpha = a; }

  int savedMode = 0;
  int cursor = kRetry;
  int phase = kChoosing;
  int fade = 0;
  int pieceAlpha[8] = {};
  int menuAlpha = 0;
  int decided = 0;
  int blinkLevel = 32;
  int blinkRising = 0;
};

// 1 when P or the pad's START was pressed in this frame.
int IsPauseRequested(const InputFrame& input);
// The life gauge with the hud mark and the label, top left.
void DrawHud(const GameState& state);
// The source rectangle of the life gauge picture for a life of 0 to 9.
RECT LifeGaugeRect(int life);
