// The runner where nothing can be drawn or shown (the browser build's
// runner under node): replays, state dumps and the benchmark's counts only.
#include <cstdio>

#include "tools/sim/services.h"

GraphicsDevice* CreatePictureDevice(std::string* error, bool /*asTheGameDraws*/) {
  *error = "this runner draws no pictures (it is built without a picture device)";
  return nullptr;
}

std::unique_ptr<Backend> CreateRecordingBackend() {
  std::fprintf(stderr, "orvelune-sim: this runner cannot record (it has no window)\n");
  return nullptr;
}
