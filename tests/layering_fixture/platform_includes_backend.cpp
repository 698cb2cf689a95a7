// Planted for the layering check: a platform file reaching into a backend's
// folder, which the game must reach only through the platform interfaces.
// tests/check_layers.py must report it.
#include "../../platform/headless/counting_device.h"

int LayeringFixturePlatform() {
  return sizeof(CountingDevice) > 0;
}
