// Planted for the layering check: a world file reaching up into the app
// layer by a relative path, which the world library's include folders cannot
// stop. tests/check_layers.py must report it.
#include "../../app/launch.h"

int LayeringFixtureWorld() {
  return static_cast<int>(UsageText().size());
}
