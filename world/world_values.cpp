#include "world/world_values.h"

#include "world/run_state.h"

WorldValues& World() {
  return Run().world;
}
void ResetWorldValues() {
  Run().world = WorldValues{};
}
