// Entry point of the game in a browser: the content and the font come with
// the page's data (at the root of its file system), the player's settings
// and light files in the browser's storage (the page keeps the home folder
// in IndexedDB). The game runs one pass of its frame loop per display
// refresh; when it ends (Escape), the page shows its start screen again.
//   main [--hold-at-frame N]   stop running frames once frame N is shown
//                              (the page's tests compare that picture)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/application.h"
#include "app/settings.h"
#include "base/language.h"
#include "base/report_error.h"
#include "base/user_dirs.h"
#include "platform/sdl_gl/browser_loop.h"
#include "platform/sdl_gl/sdl_backend.h"

namespace {

const char* SceneName(int state) {
  if (state <= kSeqTitleEnd) return "title";
  if (state <= kSeqCreditEnd) return "credits";
  if (state <= kSeqOpeningEnd) return "opening";
  if (state <= kSeqGameEnd) return "game";
  return "ending";
}

// The passes of one display refresh: the window's messages, then the frame
// if one is due. A pass that found no frame due ends the refresh.
bool Refresh(Application& app, int64_t holdAt) {
  const int64_t before = app.GetFrameCount();
  if (holdAt > 0 && before >= holdAt) return true;
  for (int passes = 0; passes < 1000; ++passes) {
    if (!app.Step()) return false;
    if (app.GetFrameCount() != before || !app.FrameWasDue()) break;
  }
  TellPage("frame", static_cast<double>(app.GetFrameCount()));
  TellPage("scene", SceneName(app.GetState()));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int64_t holdAt = 0;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--hold-at-frame") == 0) holdAt = std::atoll(argv[i + 1]);

  const Settings settings = LoadSettings(SettingsPath());
  // The browser's language (Emscripten sets LANG from navigator.language)
  // unless the settings chose one.
  SetLanguage(settings.language.value_or(LanguageFromEnvironment()));
  ApplySettings(settings);

  SdlBackendOptions backendOptions;
  // The canvas shows the picture at its own size; the page scales it.
  backendOptions.windowWidth = kClientWidth;
  backendOptions.windowHeight = kClientHeight;
  // A software WebGL spends the processor on every sample.
  backendOptions.msaaSamples = 0;
  static std::unique_ptr<Backend> backend = CreateSdlBackend(backendOptions);
  if (!backend) {
    std::fprintf(stderr, "Orvelune: the canvas, drawing and sound could not be set up\n");
    return 1;
  }
  static Application app(*backend, DisplayMode::Windowed);
  app.UsePlayerSettings(settings, SettingsPath());
  app.UseLightFolder(UserDataDirectory());
  if (!app.Init()) {
    std::fprintf(stderr, "Orvelune: %s\n", ReportedErrorsText().c_str());
    app.Release();
    return 1;
  }
  RunAtEachDisplayRefresh([holdAt] {
    if (Refresh(app, holdAt)) return true;
    app.Release();
    return false;
  });
}
