// orvelune-assetgen: writes the whole Resource_Orvelune/ tree (models,
// textures, sounds, and the text files made from content/). The same inputs
// always give the same bytes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The files produced, by path below the run directory (each starts with
// "Resource_Orvelune/").
class AssetSet {
 public:
  void Add(const std::string& path, std::string bytes);
  void Add(const std::string& path, const std::vector<uint8_t>& bytes);
  const std::map<std::string, std::string>& Files() const { return files_; }

 private:
  std::map<std::string, std::string> files_;
};

// A small deterministic random generator for the generators.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
  double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  int Int(int lo, int hi) {
    return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1));
  }

 private:
  uint64_t state_;
};

void GenerateModels(AssetSet& out);
void GenerateTextures(AssetSet& out);
void GenerateSounds(AssetSet& out);
void GenerateMusic(AssetSet& out);
// Converts the hand-written sources of content/ (UTF-8) into the game's
// files (Shift-JIS). False with a message naming the file on a problem.
bool ConvertContent(const std::string& contentDir, AssetSet& out, std::string* error);
// Rewrites the music of a written Resource_Orvelune folder in IMA ADPCM (the
// browser build's); the exit status.
int CompressMusic(const std::string& resourceDir);
// Turns a stage source (legend and grids) into the stage format; false with
// "name:line: what" on a mistake.
bool CompileStage(const std::string& source, const std::string& name, std::string* out,
                  std::string* error);
