// A test view of the content: the shared and per-class models lit and
// textured in rows, and the HUD atlas pieces where the screens place them.
// orvelune-sim --gallery PATH.png draws it once and saves the picture.
#pragma once

#include <string>

// Needs a started Application (device, fonts and preloaded assets).
bool DrawGallery(const std::string& pngPath, std::string* error);

// A fixed camera over the start of a stage (index 0 to 4), its gimmicks and
// characters lit by the light file, saved as a picture.
bool DrawStageView(int stageIndex, const std::string& pngPath, std::string* error);
