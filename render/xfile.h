// The reader of DirectX .x model files (the text form). It gives what
// D3DXLoadMeshFromX gives: every mesh of the file merged into one, positions in
// the file's left-handed space with the frame transforms applied, polygons
// split into triangle fans in file order, one subset per material in the
// order of the material lists, each material as stored (diffuse from the face
// colour, specular, emissive, power; ambient 0) and texture names exactly as
// written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/math.h"
#include "platform/d3d_types.h"

struct XVertex {
  Vec3 position;
  Vec3 normal;  // zero when the file has no normals
  Vec2 uv;      // zero when the file has no texture coordinates
};

struct XMaterial {
  D3DMATERIAL9 material;
  std::string textureFile;  // empty when the material names no texture
};

struct XModel {
  std::vector<XVertex> vertices;
  // Triangles grouped by subset: subset i owns triangles
  // [subsetStart[i], subsetStart[i + 1]).
  std::vector<uint16_t> indices;  // three per triangle
  std::vector<uint32_t> subsetStart;
  std::vector<XMaterial> materials;

  uint32_t TriangleCount() const { return static_cast<uint32_t>(indices.size() / 3); }
};

// Parses the bytes of a .x file. On failure returns false with a reason
// (including the line for syntax mistakes); never reads past the data.
bool ParseXFile(const char* data, size_t size, XModel* out, std::string* why);
