// Sound output through OpenAL Soft: one buffer and one source per sound.
#pragma once

#include <string>

class SoundDevice;

// Null with a reason when no output device can be opened.
SoundDevice* CreateOpenAlSoundDevice(std::string* error);
