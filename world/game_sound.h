// The game's sound set: the one the run being played owns (RunState::sound).
// The world objects, the in-stage screens and the game scene write their
// requests here; the game scene loads the set, updates it once a frame and
// releases it.
#pragma once

#include "render/sound_sets.h"
#include "world/run_state.h"

class GameSound {
 public:
  static SoundSetCore& Core() { return Run().sound; }
  static int Load() { return Core().Load(); }
  static void Release() { Core().Release(); }
  static void Update() { Core().Update(); }
  static void Request(int i, int value) { Core().Request(i, value); }
  static int GetRequest(int i) { return Core().GetRequest(i); }
  static int IsStarted(int i) { return Core().IsStarted(i); }
  static void PlayOnce(int i) { Core().PlayOnce(i); }
  static int IsPlaying(int i) { return Core().IsPlaying(i); }
  static void StopAll() { Core().StopAll(); }
  static void Defer(int i, int value) { Core().Defer(i, value); }
  static void ApplyDeferred() { Core().ApplyDeferred(); }
};
