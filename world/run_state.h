// The run being played: the state a play-through keeps outside the objects
// that own it (the game state, the values the world objects share, the
// camera, the info panel, the random streams, the game's sound set, and where
// the live star gathers and stage meshes are). The game scene owns one and
// hands it to the world objects in every call of their frame protocol;
// whoever reads a stage outside a game (the runner's tools, the tests) makes
// a run of its own for it.
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
  SoundSetCore sound = GameSoundSet();    // the game's sounds
  StarGatherList* starGathers = nullptr;  // the field's, while it lives
  StageMeshes* stageMeshes = nullptr;     // the game scene's, while they are loaded
};

// The program's random numbers: one stream of each kind through the whole
// program, however many games are played (as the replays recorded them).
// The application owns them.
struct RandomStreams {
  RandomStream game;
  RandomStream draw;
  // The streams of a run seeded with this number (the runner's --seed).
  static RandomStreams Seeded(uint32_t seed) {
    return {RandomStream(seed), RandomStream(seed ^ 0x5EEDu)};
  }
};

// Lends the program's streams to a run for the loan's lifetime: the run
// draws on from where the program left them, and gives them back at its end.
class RandomLoan {
 public:
  RandomLoan(RandomStreams& program, RunState& run);
  ~RandomLoan();
  RandomLoan(const RandomLoan&) = delete;
  RandomLoan& operator=(const RandomLoan&) = delete;

 private:
  RandomStreams& program_;
  RunState& run_;
};

// What every stage load starts afresh: the values the world objects share
// (the published stage values and the ride values) and the info panel (an
// open panel would otherwise keep the next stage's world frozen).
void ResetStageValues(RunState& run);
