// The user's folders by the XDG base-directory rules: settings go to the
// config folder, files the game rewrites to the data folder. On Windows both
// are the Orvelune folder in the user's application data.
#pragma once

#include <string>

// $XDG_CONFIG_HOME/orvelune, else ~/.config/orvelune (empty when neither
// the variable nor HOME is set).
std::string UserConfigDirectory();
// $XDG_DATA_HOME/orvelune, else ~/.local/share/orvelune (or empty).
std::string UserDataDirectory();
// Creates a folder and its parents (mode 0700 for new ones); true when it
// exists afterwards.
bool MakeDirectories(const std::string& path);
// The folder of the running program (from /proc/self/exe, or the module's
// file name on Windows), or "".
std::string ProgramDirectory();
// The user's language as the system keeps it outside the locale variables
// ("ja-JP" on a Japanese Windows), or "" where those variables say it
// (Linux).
std::string SystemLanguageTag();
