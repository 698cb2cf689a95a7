#include "scenes/run_state.h"

#include "render/view_clearance.h"
#include "world/camera.h"
#include "world/game_state.h"
#include "world/info_board.h"
#include "world/world_values.h"

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
