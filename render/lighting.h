// The stage's lights, read from two text files: light.txt for play on the
// top side of the field and light_rev.txt for the underside. Each light is
// eight lines: name, enabled, type letter (D, P or S), position x,y,z,
// rotation x,y,z in degrees (the direction is (1,1,1) turned by it), and the
// ambient, specular and diffuse colours as a,r,g,b. The files are written back
// when the Light object goes (atomically: a crash never leaves half a file).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/math.h"
#include "platform/d3d_types.h"

struct LightEntry {
  std::string name;  // the first line as read, with its line end
  Vec3 rotation;
  D3DLIGHT9 light{};
  int enabled = 0;
};

// Reads a light file's text into entries (missing values read as 0).
std::vector<LightEntry> ParseLightText(const std::string& text);
// The written form of a list of entries.
std::string FormatLightText(const std::vector<LightEntry>& entries);
// The direction a light's rotation gives: (1, 1, 1) turned by x, then y, then z.
D3DVECTOR LightDirection(const Vec3& rotationDegrees);

class Light {
 public:
  // userFolder: the player's data folder (the game program gives it). Then a
  // light file whose content folder cannot be written is written to, and read
  // back from, the same path below that folder. Without it (the runner, the
  // tests) the files are read and written where they are.
  Light(std::string normalPath, std::string reversedPath, std::string userFolder = {});
  // The game's files below Resource_Orvelune/Light/.
  explicit Light(std::string userFolder = {});
  ~Light();
  Light(const Light&) = delete;
  Light& operator=(const Light&) = delete;

  // Reads both files and puts the normal set on the device; 1 on success.
  int Load();
  // Puts the reversed set (underside != 0) or the normal set on the device.
  void Apply(int underside);
  // Writes both lists back to their files and empties them.
  void SaveLights();

  const std::vector<LightEntry>& Normal() const { return normal_; }
  const std::vector<LightEntry>& Reversed() const { return reversed_; }

 private:
  // Where each file is read from (the user's copy when there is one).
  std::string ReadPath(const std::string& path) const;
  // Where each file is written (the user's folder when its own is read-only).
  std::string WritePath(const std::string& path) const;

  std::string normalPath_, reversedPath_;
  std::string userFolder_;
  std::vector<LightEntry> normal_, reversed_;
};
