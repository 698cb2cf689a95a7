#include "world/run_state.h"

#include "render/view_clearance.h"

namespace {

// The run outside a game, and the one installed.
RunState g_idleRun;
RunState* g_current = nullptr;

}  // namespace

RunState& Run() {
  return g_current ? *g_current : g_idleRun;
}

RunScope::RunScope(RunState& run) : previous_(g_current) {
  run.gameRandom = Run().gameRandom;
  run.drawRandom = Run().drawRandom;
  g_current = &run;
}

RunScope::~RunScope() {
  RunState& ending = Run();
  g_current = previous_;
  Run().gameRandom = ending.gameRandom;
  Run().drawRandom = ending.drawRandom;
}

int GameRand() {
  return Run().gameRandom.Next();
}
void GameSrand(uint32_t seed) {
  Run().gameRandom.Seed(seed);
}
int DrawRand() {
  return Run().drawRandom.Next();
}
void DrawSrand(uint32_t seed) {
  Run().drawRandom.Seed(seed);
}

void ResetStageValues() {
  ResetWorldValues();
  ResetInfoPanel();
}

void ResetRunState() {
  ResetGameState();
  ResetCamera();
  view_clearance::Reset();
  ResetStageValues();
}
