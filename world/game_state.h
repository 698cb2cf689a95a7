// The game state: the values that say where the play stands (game mode,
// stage, enemies left, life, fade, ...), part of the run being played
// (world/run_state.h). Whoever is handed the run reads and writes its
// fields; the rules below take the state they work on.
#pragma once

// Game modes.
enum GameMode {
  kModeFreePlay = 0,       // ordinary enemies to defeat
  kModeBossArmed = 1,      // free play; the boss is armed
  kModeBossEncounter = 2,  // the encounter event
  kModeBossBattle = 3,
  kModeBossDefeated = 4,  // the defeat event
  kModeClear = 5,         // the stage clear screen
  kModeBlownAway = 6,     // free play while the player is blown away
  kModeGameOver = 7,
  kModeBridge = 8,  // the bridge builds towards the goal
  kModeGoal = 9,    // the goal event
  kModePause = 11,
};

struct GameState {
  int gameMode = 0;
  int stageNumber = 0;
  int bossesLeft = 0;
  int enemiesLeft = 0;
  int bossEventSeen = 0;
  int life = 5;
  int maxLife = 9;
  int hudMark = 0;
  int playerUnderside = 0;
  float bridgeTimer = 0;
  float bridgeFront = 0;
  int bridgeAdvance = 0;
  int fadeAlpha = 0;
  int fadingIn = 0;
  int fadingOut = 0;
};

// Life: Damage pays one life (0 when the gauge was already empty), Heal
// gives one back up to the maximum, ResetLife starts a stage with 5 of 9.
int Damage(GameState& state);
void Heal(GameState& state);
void ResetLife(GameState& state);

// The enemy count rule, after a character other than the player has left:
// no boss left starts the defeat event; otherwise in free play with few
// enough ordinary enemies left (1 on stage number 1, else 0) the boss is armed.
void CheckEnemiesLeft(GameState& state);
// At every stage load: free play, no enemies counted; the boss is armed from
// the start on stages 2 and 3.
void ResetStageState(GameState& state);

void StepFadeIn(GameState& state);
void StepFadeOut(GameState& state);
void ResetFade(GameState& state);
// The screen darkens for a change of side (asked for by the camera while it
// turns with the player), unless it is already darkening.
void StartSideChangeFade(GameState& state);
// The preloaded fade picture over the whole screen in the colour's RGB, with
// the fade alpha.
void DrawFade(const GameState& state, unsigned colour);
