#include "world/run_state.h"

RandomLoan::RandomLoan(RandomStreams& program, RunState& run) : program_(program), run_(run) {
  run.gameRandom = program.game;
  run.drawRandom = program.draw;
}

RandomLoan::~RandomLoan() {
  program_.game = run_.gameRandom;
  program_.draw = run_.drawRandom;
}

void ResetStageValues(RunState& run) {
  run.world = WorldValues{};
  run.panel = InfoPanel{};
  run.panelRequest = {};
}
