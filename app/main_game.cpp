// Entry point of the game: orvelune (full screen) and orvelune-windowed are
// built from this file and differ only in ORVELUNE_WINDOWED.
#include <cstdio>

#include "app/application.h"
#include "app/single_instance.h"
#include "base/report_error.h"
#include "platform/sdl_gl/sdl_backend.h"

#ifdef ORVELUNE_WINDOWED
constexpr DisplayMode kDisplayMode = DisplayMode::Windowed;
#else
constexpr DisplayMode kDisplayMode = DisplayMode::FullScreen;
#endif

int main() {
  SingleInstanceGuard guard;
  std::string why;
  switch (guard.TryAcquire(&why)) {
    case SingleInstanceGuard::Result::kAcquired:
      break;
    case SingleInstanceGuard::Result::kHeldByAnother:
      ReportError("多重起動できません");
      ReportErrorDetail(
          ("another copy of Orvelune is running (lock " + guard.Path() + ")").c_str());
      return 1;
    case SingleInstanceGuard::Result::kUnusable:
      // Without a usable lock the game still starts; only the check is lost.
      std::fprintf(stderr, "orvelune: warning: %s; starting without the single-instance check\n",
                   why.c_str());
      break;
  }
  std::unique_ptr<Backend> backend = CreateSdlBackend(SdlBackendOptions{});
  if (!backend) return 1;
  SetBackend(backend.get());

  int status = 0;
  {
    Application app(kDisplayMode);
    if (app.Init()) {
      app.Run();
    } else {
      status = 1;
    }
    app.Release();
  }
  SetBackend(nullptr);
  return status;
}
