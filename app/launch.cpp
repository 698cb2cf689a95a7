#include "app/launch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#ifndef ORVELUNE_VERSION
#define ORVELUNE_VERSION "0.0.0"
#endif
// The installed data folder, absolute and relative to the program's folder
// (set by the build from GNUInstallDirs).
#ifndef ORVELUNE_DATA_DIR
#define ORVELUNE_DATA_DIR "/usr/local/share/orvelune"
#endif
#ifndef ORVELUNE_DATA_DIR_FROM_BIN
#define ORVELUNE_DATA_DIR_FROM_BIN "../share/orvelune"
#endif

namespace {

bool HoldsContent(const std::string& folder) {
  struct stat st;
  return ::stat((folder + "/Resource_Orvelune").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string UsageText() {
  return "usage: orvelune [--windowed | --fullscreen] [--data DIR] [--lang ja|en] [--help] "
         "[--version]\n";
}

std::string VersionText() {
  return std::string("Orvelune ") + ORVELUNE_VERSION + "\n";
}

LaunchOptions ParseLaunchOptions(int argc, const char* const* argv) {
  LaunchOptions o;
  auto fail = [&](const std::string& why) {
    o.action = LaunchOptions::Action::kUsageError;
    o.error = why;
    return o;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    // "--name VALUE" or "--name=VALUE".
    auto takesValue = [&](const std::string& name) {
      return a == name || a.rfind(name + "=", 0) == 0;
    };
    auto value = [&](std::string* out) {
      const size_t eq = a.find('=');
      if (eq != std::string::npos) {
        *out = a.substr(eq + 1);
        return true;
      }
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      o.action = LaunchOptions::Action::kHelp;
    } else if (a == "--version") {
      if (o.action == LaunchOptions::Action::kPlay) o.action = LaunchOptions::Action::kVersion;
    } else if (a == "--fullscreen") {
      o.fullscreen = true;
    } else if (a == "--windowed") {
      o.fullscreen = false;
    } else if (takesValue("--data")) {
      if (!value(&o.dataDirectory) || o.dataDirectory.empty()) return fail("--data needs a folder");
    } else if (takesValue("--lang")) {
      std::string code;
      if (!value(&code)) return fail("--lang needs ja or en");
      Language language;
      if (!ParseLanguage(code, &language)) return fail("--lang " + code + ": ja or en expected");
      o.language = language;
    } else {
      return fail("unknown option " + a);
    }
  }
  return o;
}

std::vector<std::string> ContentCandidates(const std::string& programDirectory,
                                           const std::string& dataOption) {
  if (!dataOption.empty()) return {dataOption};
  std::vector<std::string> c;
  if (!programDirectory.empty()) {
    c.push_back(programDirectory);
    c.push_back(programDirectory + "/run");
    c.push_back(programDirectory + "/" + ORVELUNE_DATA_DIR_FROM_BIN);
  }
  c.push_back(ORVELUNE_DATA_DIR);
  return c;
}

std::string FindContentFolder(const std::vector<std::string>& candidates,
                              const std::string& dataOption, std::string* error) {
  for (const std::string& folder : candidates)
    if (HoldsContent(folder)) return folder;
  if (!dataOption.empty()) {
    *error = "--data " + dataOption + ": no Resource_Orvelune folder there";
  } else {
    *error = "the game's files (a Resource_Orvelune folder) were not found in:";
    for (const std::string& folder : candidates) *error += "\n    " + folder;
    *error +=
        "\n  Build the game (it writes them to build/run), reinstall it, or name their folder "
        "with --data DIR.";
  }
  return "";
}
