// The runner's pictures and recording window on Linux: SDL and OpenGL.
#include "platform/sdl_gl/gl_device.h"
#include "platform/sdl_gl/sdl_backend.h"
#include "tools/sim/services.h"

GraphicsDevice* CreatePictureDevice(std::string* error, bool asTheGameDraws) {
  return CreateOffscreenGlDevice(
      error, kBackBufferWidth, kBackBufferHeight, PictureSize::kFixed,
      asTheGameDraws ? FrameTarget::kWindowWhenItFits : FrameTarget::kPicture);
}

std::unique_ptr<Backend> CreateRecordingBackend() {
  SdlBackendOptions options;
  options.fixedStepClock = true;
  return CreateSdlBackend(options);
}
