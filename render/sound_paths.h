// The sounds of the four sound sets; the index is the sound number the game
// requests (the order is part of the interface).
#pragma once

#include "base/resource_root.h"

constexpr int kGameSoundCount = 37;
extern const char* const kGameSoundPaths[kGameSoundCount];
constexpr int kEventSoundCount = 4;
extern const char* const kEventSoundPaths[kEventSoundCount];
constexpr int kTitleSoundCount = 3;
extern const char* const kTitleSoundPaths[kTitleSoundCount];
constexpr int kCreditSoundCount = 1;
extern const char* const kCreditSoundPaths[kCreditSoundCount];
