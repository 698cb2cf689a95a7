#include "base/report_error.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "base/language.h"

namespace {
std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}

// The reports as they were printed (both lines, the player's language first).
std::vector<std::string>& PrintedReports() {
  static std::vector<std::string> printed;
  return printed;
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

// What a Japanese report is about: what failed, what to do, and whether it
// may concern a file (then the file reported last is named when the report
// itself names none).
struct Meaning {
  std::string what, advice;
  bool aboutFile = true;
  const char* joiner = ". ";
};

Meaning MeaningOf(const std::string& j) {
  if (Has(j, "ディスプレイ"))
    return {"There is no display to open a window on",
            "start the game in a desktop session (X11 or Wayland); DISPLAY and WAYLAND_DISPLAY "
            "tell programs where the display is.",
            false, "; "};
  if (Has(j, "多重起動"))
    return {"Orvelune is already running",
            "switch to its window, or close it before starting another.", false, "; "};
  if (Has(j, "書き出し"))
    return {"A file could not be written",
            "Check that its folder exists and is writable, and that the disk is not full."};
  if (Has(j, "テクスチャ")) return {"A picture could not be loaded", kReinstall};
  if (Has(j, "メッシュ") || Has(j, "ITEM")) return {"A model could not be loaded", kReinstall};
  if (Has(j, "DirectSoundの作成"))
    return {"Sound output could not be started",
            "Check the sound settings of the system (PulseAudio, PipeWire or ALSA)."};
  if (Has(j, "サウンド") || Has(j, "Sound") || Has(j, "SOUNDBUFFER"))
    return {"A sound could not be loaded", kReinstall};
  if (Has(j, "ファイル")) return {"A game file could not be read", kReinstall};
  if (Has(j, "DirectInput"))
    return {"The keyboard and pad input could not be set up", kCheckDisplay, false};
  if (Has(j, "ウィンドウ") || Has(j, "RegisterClassEx"))
    return {"The game window could not be opened", kCheckDisplay, false};
  return {"The graphics device could not be set up", kCheckDisplay, false};
}

std::string EnglishLine(const Meaning& m, const std::string& subject) {
  const std::string named = subject.empty() ? m.what : m.what + ": " + Shown(subject);
  return named + m.joiner + m.advice;
}

}  // namespace

std::string EnglishReportLine(const std::string& japanese, const std::string& subject) {
  return EnglishLine(MeaningOf(japanese), subject);
}

void SetReportSubject(const std::string& path) {
  LastSubject() = path;
}

void ReportError(const char* text, const std::string& subject) {
  if (!subject.empty()) LastSubject() = subject;
  const Meaning m = MeaningOf(text);
  const std::string english =
      EnglishLine(m, subject.empty() && m.aboutFile ? LastSubject() : subject);
  // The player's language first; the other line stays for bug reports.
  const bool englishFirst = CurrentLanguage() == Language::kEnglish;
  const std::string first = englishFirst ? english : text, second = englishFirst ? text : english;
  std::fprintf(stderr, "Orvelune: %s\n  %s\n", first.c_str(), second.c_str());
  std::fflush(stderr);
  if (Reports().size() < 1000) {
    Reports().emplace_back(text);
    PrintedReports().push_back(first + "\n" + second);
  }
}

void ReportErrorDetail(const char* detail) {
  std::fprintf(stderr, "  %s\n", detail);
  std::fflush(stderr);
}

const std::vector<std::string>& ReportedErrors() {
  return Reports();
}
std::string ReportedErrorsText() {
  std::string text;
  for (const std::string& report : PrintedReports()) text += (text.empty() ? "" : "\n\n") + report;
  return text;
}

void ClearReportedErrors() {
  Reports().clear();
  PrintedReports().clear();
}
