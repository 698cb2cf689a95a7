#include "base/frame_time.h"

namespace {
float g_deltaTime = 0.0f;
}  // namespace

float GetDeltaTime() {
  return g_deltaTime;
}
void SetDeltaTime(float seconds) {
  g_deltaTime = seconds;
}
