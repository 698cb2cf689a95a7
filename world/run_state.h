// The run being played: the state a play-through keeps outside the objects
// that own it (the game state, the values the world objects share, the
// camera, the info panel, the random streams, the game's sound set, and where
// the live star gathers and stage meshes are). The game scene owns one and
// installs it while it lives (RunScope); the world's functions reach it
// through Run(). Outside a game (the title, the runner's tools, the tests) an
// idle run stands in, so every function keeps working there as before.
#pragma once

#include "base/random.h"
#include "render/sound_sets.h"
#include "world/camera.h"
#include "world/game_state.h"
#include "world/info_board.h"
#include "world/world_values.h"

class StageMeshes;
class StarGatherList;

struct RunState {
  GameState game;
  WorldValues world;
  CameraState camera;
  InfoPanel panel;
  PanelRequest panelRequest;
  RandomStream gameRandom;                // everything random that can change the game
  RandomStream drawRandom;                // what only the drawing varies
  SoundSetCore sound = GameSoundSet();    // the game's sounds (world/game_sound.h)
  StarGatherList* starGathers = nullptr;  // the field's, while it lives
  StageMeshes* stageMeshes = nullptr;     // the game scene's, while they are loaded
};

// The run installed last, or the idle run when none is.
RunState& Run();

// Makes a run the current one for its lifetime, then gives back the one
// before. The run takes over the random streams where the run before left
// them and hands them back at its end, so the numbers drawn are those of
// one stream through the whole program (as replays recorded them).
class RunScope {
 public:
  explicit RunScope(RunState& run);
  ~RunScope();
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  RunState* previous_;
};

// The current run's streams: a number from 0 to kRandMax, and a new seed.
int GameRand();
void GameSrand(uint32_t seed);
int DrawRand();
void DrawSrand(uint32_t seed);

// What every stage load starts afresh: the values the world objects share
// (the published stage values and the ride values) and the info panel (an
// open panel would otherwise keep the next stage's world frozen).
void ResetStageValues();
// All of the current run as at program start (the game state, the camera and
// the stage values), and the view's clearance.
void ResetRunState();
