// The system headers of the code, checked on the source tree (so the Windows
// files are checked on Linux too): only the platform layer includes SDL,
// OpenGL or OpenAL, and only its Windows folder Windows' headers. The
// layers themselves are checked on what the compiler included, by
// tests/check_layers.py.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> kRank = {{"base", 0},  {"platform", 1}, {"render", 2},
                                          {"world", 3}, {"scenes", 4},   {"app", 5},
                                          {"tools", 6}};

struct Include {
  std::string file, target;
  bool system;
};

std::vector<Include> IncludesOf(const std::string& folder) {
  std::vector<Include> out;
  const fs::path root = fs::path(ORVELUNE_SOURCE_DIR) / folder;
  const std::regex line(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string ext = e.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    std::ifstream in(e.path());
    std::string text;
    while (std::getline(in, text)) {
      std::smatch m;
      if (std::regex_search(text, m, line))
        out.push_back({fs::relative(e.path(), ORVELUNE_SOURCE_DIR).string(), m[2], m[1] == "<"});
    }
  }
  return out;
}

}  // namespace

TEST(Layering, OnlyThePlatformLayerIncludesSdlOpenGlOrOpenAl) {
  const std::regex library(R"(^(SDL|GL/|AL/|al\.h|alc\.h|SDL2/))");
  for (const auto& [folder, rank] : kRank) {
    if (folder == "platform") continue;
    for (const Include& inc : IncludesOf(folder)) {
      const bool backendHeader = !inc.system && (inc.target.rfind("platform/sdl_gl/", 0) == 0 ||
                                                 inc.target.rfind("platform/win32/", 0) == 0);
      const bool entry =
          inc.file.find("main_") != std::string::npos || inc.file.rfind("tools/sim/", 0) == 0;
      EXPECT_FALSE(inc.system && std::regex_search(inc.target, library))
          << inc.file << " includes <" << inc.target << ">";
      // Only the programs' entries (which pick a backend) name a backend.
      if (backendHeader) {
        EXPECT_TRUE(entry) << inc.file << " includes " << inc.target;
      }
    }
  }
}

TEST(Layering, OnlyTheWindowsBackendIncludesWindowsHeaders) {
  const std::regex windows(
      R"(^(windows\.h|d3d9.*\.h|dsound\.h|wincodec\.h|shlobj\.h|objbase\.h|mmsystem\.h|mmreg\.h|xinput\.h|winuser\.h|wingdi\.h|io\.h|direct\.h)$)",
      std::regex::icase);
  int windowsFiles = 0;
  for (const auto& [folder, rank] : kRank) {
    for (const Include& inc : IncludesOf(folder)) {
      if (!inc.system || !std::regex_search(inc.target, windows)) continue;
      const bool inBackend = inc.file.rfind("platform/win32/", 0) == 0;
      EXPECT_TRUE(inBackend) << inc.file << " includes <" << inc.target << ">";
      windowsFiles += inBackend;
    }
  }
  EXPECT_GT(windowsFiles, 5);  // the scan found the Windows backend
}
