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
  g_current = &run;
}

RunScope::~RunScope() {
  g_current = previous_;
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
