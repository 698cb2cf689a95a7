// A sound device that plays nothing but keeps each sound's position moving
// with a clock, so a sound stops being "playing" when it would have ended.
// The headless backend uses it, and the real one falls back to it when the
// machine has no sound output.
#pragma once

#include "platform/backend.h"

SoundDevice* CreateNullSoundDevice(Clock& clock);
