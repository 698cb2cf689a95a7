#include "world/world_values.h"

namespace {
WorldValues g_world;
}

WorldValues& World() {
  return g_world;
}
void ResetWorldValues() {
  g_world = WorldValues{};
}
