// How the game program starts: its command line, and where it finds its
// content (the folder holding Resource_Orvelune), so that it runs from any
// working directory.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/language.h"

struct LaunchOptions {
  enum class Action { kPlay, kHelp, kVersion, kUsageError };
  Action action = Action::kPlay;
  std::optional<bool> fullscreen;    // unset: the settings decide (windowed by default)
  std::string dataDirectory;         // --data DIR
  std::optional<Language> language;  // --lang ja|en (unset: the settings decide)
  std::string error;                 // for kUsageError
};

LaunchOptions ParseLaunchOptions(int argc, const char* const* argv);
std::string UsageText();
std::string VersionText();

// The folders that may hold the content, in the order they are tried: the
// program's own folder and its "run" folder (the build tree), then the
// installed data folder (relative to the program, then the configured
// absolute one). With --data only that folder counts.
std::vector<std::string> ContentCandidates(const std::string& programDirectory,
                                           const std::string& dataOption);
// The first candidate that holds Resource_Orvelune, or empty with the
// reason in *error.
std::string FindContentFolder(const std::vector<std::string>& candidates,
                              const std::string& dataOption, std::string* error);
