// What the runner takes from the real backend of the system it is built
// for: a device that draws pictures without a display (screenshots, the
// benchmark) and the real backend, for recording in a window.
#pragma once

#include <memory>
#include <string>

#include "platform/backend.h"

// Null with the reason when pictures cannot be drawn here. asTheGameDraws:
// frames go where the game's window sends them (the benchmark measures
// that), else always through the readable off-screen picture.
GraphicsDevice* CreatePictureDevice(std::string* error, bool asTheGameDraws = false);
// The real backend with a clock that advances exactly one frame per frame
// (paced in real time), or null with a message on stderr.
std::unique_ptr<Backend> CreateRecordingBackend();
