// The game state: the values that say where the play stands (game mode,
// stage, enemies left, life, fade, ...), part of the run being played
// (world/run_state.h). The game scene drives it; the world objects read and
// write it through these functions.
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

// What the functions below read and write.
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

int GetGameMode();
void SetGameMode(int mode);
int GetStageNumber();
void SetStageNumber(int stage);
int GetBossesLeft();
void SetBossesLeft(int n);
int GetEnemiesLeft();
void SetEnemiesLeft(int n);
int GetBossEventSeen();
void SetBossEventSeen(int seen);
int GetLife();
void SetLife(int life);
int GetMaxLife();
void SetMaxLife(int maxLife);
int GetHudMark();
void SetHudMark(int mark);
int GetPlayerUnderside();
void SetPlayerUnderside(int underside);
float GetBridgeTimer();
void SetBridgeTimer(float seconds);
float GetBridgeFront();
void SetBridgeFront(float x);
int GetBridgeAdvance();
void SetBridgeAdvance(int advance);
int GetFadeAlpha();
void SetFadeAlpha(int alpha);
int GetFadingIn();
void SetFadingIn(int on);
int GetFadingOut();
void SetFadingOut(int on);

// Life: Damage pays one life (0 when the gauge was already empty), Heal
// gives one back up to the maximum, ResetLife starts a stage with 5 of 9.
int Damage();
void Heal();
void ResetLife();

// The enemy count rule, after a character other than the player has left:
// no boss left starts the defeat event; otherwise in free play with few
// enough ordinary enemies left (1 on stage number 1, else 0) the boss is armed.
void CheckEnemiesLeft();
// At every stage load: free play, no enemies counted; the boss is armed from
// the start on stages 2 and 3.
void ResetStageState();

void StepFadeIn();
void StepFadeOut();
void ResetFade();
// The screen darkens for a change of side (asked for by the camera while it
// turns with the player), unless it is already darkening.
void StartSideChangeFade();
// The preloaded fade picture over the whole screen in the colour's RGB, with
// the fade alpha.
void DrawFade(unsigned colour);

// Everything back to the values at program start (for tests and new runs).
void ResetGameState();
