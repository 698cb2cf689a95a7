// Entry point of the game program, orvelune: its options, the content
// folder, the player's settings, the single-instance check, then the game.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/launch.h"
#include "app/settings.h"
#include "base/language.h"
#include "base/report_error.h"
#include "base/single_instance.h"
#include "base/user_dirs.h"
// The backend this system plays on.
#ifdef _WIN32
#include "platform/win32/win32_backend.h"
using PlayBackendOptions = Win32BackendOptions;
constexpr auto CreatePlayBackend = CreateWin32Backend;
#else
#include "platform/sdl_gl/sdl_backend.h"
using PlayBackendOptions = SdlBackendOptions;
constexpr auto CreatePlayBackend = CreateSdlBackend;
#endif
#include "render/lighting.h"

namespace {

// Stderr has said why the game stops; a player who started the program from
// Explorer or a desktop launcher has no console, so a message box says it as
// well (see each backend's ShowErrorMessage).
void ShowFailure(const std::string& text) {
  ShowErrorMessage(text);
}

// What the error reports of a failed start said, for the message box.
std::string ReportsText(const char* otherwise = "The game could not start.") {
  const std::string text = ReportedErrorsText();
  return text.empty() ? otherwise : text;
}

// Answers --help, --version and a wrong option; the exit status, or -1 to
// play.
int AnswerWithoutPlaying(const LaunchOptions& options) {
  switch (options.action) {
    case LaunchOptions::Action::kUsageError:
      std::fprintf(stderr, "orvelune: %s\n%s", options.error.c_str(), UsageText().c_str());
      return 2;
    case LaunchOptions::Action::kHelp:
      std::printf(
          "%s\nOrvelune, an action-puzzle game on a field of blocks above a starry river.\n\n"
          "  --windowed      play in a window (the default; Alt+Enter switches)\n"
          "  --fullscreen    play in full screen\n"
          "  --data DIR      read the game's files from DIR (the folder holding\n"
          "                  Resource_Orvelune) instead of looking for them\n"
          "  --lang ja|en    play in Japanese or English this time (by default the\n"
          "                  settings decide, else the system's locale)\n"
          "  --help          show this text\n"
          "  --version       show the version\n\n"
          "Settings (volumes, window, language, keys and pad buttons): the options\n"
          "screen (Tab or the pad's Y on the title or the pause menu), kept in %s\n",
          UsageText().c_str(),
          SettingsPath().empty() ? "$XDG_CONFIG_HOME/orvelune/settings.txt"
                                 : SettingsPath().c_str());
      return 0;
    case LaunchOptions::Action::kVersion:
      std::printf("%s", VersionText().c_str());
      return 0;
    case LaunchOptions::Action::kPlay:
      break;
  }
  return -1;
}

// Makes the game's folder the working folder; false (said on stderr and in a
// message box) when it cannot be found or entered.
bool EnterContentFolder(const LaunchOptions& options) {
  std::string why;
  const std::string content = FindContentFolder(
      ContentCandidates(ProgramDirectory(), options.dataDirectory), options.dataDirectory, &why);
  if (content.empty()) {
    std::fprintf(stderr, "Orvelune: %s\n", why.c_str());
    ShowFailure(why);
    return false;
  }
  if (::chdir(content.c_str()) != 0) {
    std::fprintf(stderr, "Orvelune: cannot enter the game's folder %s\n", content.c_str());
    ShowFailure("cannot enter the game's folder " + content);
    return false;
  }
  return true;
}

// Takes the single-instance lock; false (said) when another copy holds it.
// Without a usable lock the game still starts; only the check is lost.
bool OnlyCopyRunning(SingleInstanceGuard& guard) {
  std::string why;
  switch (guard.TryAcquire(&why)) {
    case SingleInstanceGuard::Result::kAcquired:
      return true;
    case SingleInstanceGuard::Result::kHeldByAnother:
      ReportError("多重起動できません");
      ReportErrorDetail(("lock file " + guard.Path()).c_str());
      ShowFailure(ReportsText());
      return false;
    case SingleInstanceGuard::Result::kUnusable:
      std::fprintf(stderr, "orvelune: warning: %s; starting without the single-instance check\n",
                   why.c_str());
      return true;
  }
  return true;
}

// The game on this system's backend with the player's settings; the exit
// status.
int Play(const Settings& settings, const LaunchOptions& options) {
  ApplySettings(settings);

  PlayBackendOptions backendOptions;
  backendOptions.windowWidth = settings.windowWidth;
  backendOptions.windowHeight = settings.windowHeight;
  backendOptions.iconPath = "Resource_Orvelune/Icon/orvelune_64.png";
  std::unique_ptr<Backend> backend = CreatePlayBackend(backendOptions);
  if (!backend) {
    ShowFailure(ReportsText("The game's window, drawing and sound could not be set up."));
    return 1;
  }
  const bool fullscreen = options.fullscreen.value_or(settings.fullscreen);
  Application app(*backend, fullscreen ? DisplayMode::FullScreen : DisplayMode::Windowed);
  app.UsePlayerSettings(settings, SettingsPath());
  app.UseLightFolder(UserDataDirectory());
  int status = 0;
  if (app.Init()) {
    app.Run();
  } else {
    status = 1;
    ShowFailure(ReportsText());
  }
  app.Release();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const LaunchOptions options = ParseLaunchOptions(argc, argv);
  if (const int status = AnswerWithoutPlaying(options); status >= 0) return status;
  if (!EnterContentFolder(options)) return 1;

  // The settings first: the language they choose is the one every message
  // below speaks first.
  const Settings settings = LoadSettings(SettingsPath());
  SetLanguage(options.language.value_or(settings.language.value_or(LanguageFromEnvironment())));

  SingleInstanceGuard guard;
  if (!OnlyCopyRunning(guard)) return 1;
  return Play(settings, options);
}
