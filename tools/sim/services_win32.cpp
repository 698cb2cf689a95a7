// The runner's pictures and recording window on Windows: Direct3D 9 in a
// Win32 window.
#include "platform/win32/win32_backend.h"
#include "tools/sim/services.h"

GraphicsDevice* CreatePictureDevice(std::string* error, bool /*asTheGameDraws*/) {
  return CreateHiddenD3d9Device(error);
}

std::unique_ptr<Backend> CreateRecordingBackend() {
  Win32BackendOptions options;
  options.fixedStepClock = true;
  return CreateWin32Backend(options);
}
