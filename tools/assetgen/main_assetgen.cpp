// orvelune-assetgen --out RUN_DIR [--content CONTENT_DIR]
//                   [--only PART,...]   (parts: models textures sounds music content)
// orvelune-assetgen --compress-music RESOURCE_DIR   (the music in IMA ADPCM)
// Writes RUN_DIR/Resource_Orvelune/. Files whose bytes did not change are
// left alone; every file is written atomically.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/atomic_file.h"
#include "tools/assetgen/assetgen.h"

void AssetSet::Add(const std::string& path, std::string bytes) {
  files_[path] = std::move(bytes);
}

void AssetSet::Add(const std::string& path, const std::vector<uint8_t>& bytes) {
  files_[path] = std::string(bytes.begin(), bytes.end());
}

namespace {

bool SameContents(const std::filesystem::path& path, const std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str() == bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--compress-music") == 0) return CompressMusic(argv[2]);
  std::string outDir, contentDir, only;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--out" && i + 1 < argc)
      outDir = argv[++i];
    else if (a == "--content" && i + 1 < argc)
      contentDir = argv[++i];
    else if (a == "--only" && i + 1 < argc)
      only = argv[++i];
    else {
      std::fprintf(stderr,
                   "usage: orvelune-assetgen --out RUN_DIR [--content DIR] [--only PART]\n");
      return 2;
    }
  }
  if (outDir.empty()) {
    std::fprintf(stderr, "orvelune-assetgen: --out is required\n");
    return 2;
  }
  AssetSet set;
  // --only takes one part or a comma-separated list of parts.
  auto want = [&](const std::string& part) {
    return only.empty() || ("," + only + ",").find("," + part + ",") != std::string::npos;
  };
  if (want("models")) GenerateModels(set);
  if (want("textures")) GenerateTextures(set);
  if (want("sounds")) GenerateSounds(set);
  if (want("music")) GenerateMusic(set);
  if (want("content") && !contentDir.empty()) {
    std::string error;
    if (!ConvertContent(contentDir, set, &error)) {
      std::fprintf(stderr, "orvelune-assetgen: %s\n", error.c_str());
      return 1;
    }
  }
  const std::filesystem::path root = std::filesystem::path(outDir);
  int written = 0;
  for (const auto& [path, bytes] : set.Files()) {
    const std::filesystem::path target = root / path;
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (SameContents(target, bytes)) continue;
    std::string error;
    if (!WriteFileAtomically(target.string(), bytes, &error)) {
      std::fprintf(stderr, "orvelune-assetgen: %s\n", error.c_str());
      return 1;
    }
    ++written;
  }
  std::printf("orvelune-assetgen: %zu files (%d written) in %s\n", set.Files().size(), written,
              root.string().c_str());
  return 0;
}
