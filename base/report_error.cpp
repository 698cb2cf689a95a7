#include "base/report_error.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {
std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}

// The file the last report was about, for the reports that follow it.
std::string& LastSubject() {
  static std::string subject;
  return subject;
}

std::string Shown(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[4096];
  if (!::getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

bool Has(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

constexpr const char* kReinstall =
    "The game's files are missing or damaged: reinstall Orvelune, or build it again and start "
    "the program the build made (it finds the files it wrote next to itself).";
constexpr const char* kCheckDisplay =
    "Check that the game runs in a desktop session (X11 or Wayland) and that OpenGL 3.3 works "
    "there (on Debian the Mesa drivers come with libgl1-mesa-dri).";
}  // namespace

std::string EnglishReportLine(const std::string& j, const std::string& subject) {
  std::string what, advice = kReinstall;
  if (Has(j, "多重起動")) {
    return "Orvelune is already running; switch to its window, or close it before starting "
           "another.";
  } else if (Has(j, "書き出し")) {
    what = "A file could not be written";
    advice = "Check that its folder exists and is writable, and that the disk is not full.";
  } else if (Has(j, "テクスチャ")) {
    what = "A picture could not be loaded";
  } else if (Has(j, "メッシュ") || Has(j, "ITEM")) {
    what = "A model could not be loaded";
  } else if (Has(j, "DirectSoundの作成")) {
    what = "Sound output could not be started";
    advice = "Check the sound settings of the system (PulseAudio, PipeWire or ALSA).";
  } else if (Has(j, "サウンド") || Has(j, "Sound") || Has(j, "SOUNDBUFFER")) {
    what = "A sound could not be loaded";
  } else if (Has(j, "ファイル")) {
    what = "A game file could not be read";
  } else if (Has(j, "DirectInput")) {
    what = "The keyboard and pad input could not be set up";
    advice = kCheckDisplay;
  } else if (Has(j, "ウィンドウ") || Has(j, "RegisterClassEx")) {
    what = "The game window could not be opened";
    advice = kCheckDisplay;
  } else {
    what = "The graphics device could not be set up";
    advice = kCheckDisplay;
  }
  const std::string named = subject.empty() ? what : what + ": " + Shown(subject);
  return named + ". " + advice;
}

void SetReportSubject(const std::string& path) {
  LastSubject() = path;
}

void ReportError(const char* text, const std::string& subject) {
  const bool device = !Has(text, "ファイル") && !Has(text, "テクスチャ") &&
                      !Has(text, "メッシュ") && !Has(text, "ITEM") && !Has(text, "サウンド") &&
                      !Has(text, "Sound") && !Has(text, "SOUNDBUFFER");
  if (!subject.empty()) LastSubject() = subject;
  const std::string about = subject.empty() && !device ? LastSubject() : subject;
  std::fprintf(stderr, "Orvelune: %s\n  %s\n", text, EnglishReportLine(text, about).c_str());
  std::fflush(stderr);
  if (Reports().size() < 1000) Reports().emplace_back(text);
}

void ReportErrorDetail(const char* detail) {
  std::fprintf(stderr, "  %s\n", detail);
  std::fflush(stderr);
}

const std::vector<std::string>& ReportedErrors() {
  return Reports();
}
void ClearReportedErrors() {
  Reports().clear();
}
