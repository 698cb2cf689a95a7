#include "base/user_dirs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// An XDG variable counts only when it holds an absolute path.
std::string BaseDirectory(const char* variable, const char* fallbackUnderHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return std::string(value) + "/orvelune";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/" + fallbackUnderHome + "/orvelune";
  return "";
}

}  // namespace

std::string UserConfigDirectory() {
  return BaseDirectory("XDG_CONFIG_HOME", ".config");
}

std::string UserDataDirectory() {
  return BaseDirectory("XDG_DATA_HOME", ".local/share");
}

bool MakeDirectories(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  const size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash)))
    return false;
  return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string ProgramDirectory() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  path[n] = 0;
  char* slash = std::strrchr(path, '/');
  if (!slash) return "";
  *slash = 0;
  return path;
}

std::string SystemLanguageTag() {
  return "";
}
