// The program's one kind of 3D model: a mesh read from a .x file with one
// material and one texture per subset, drawn subset by subset, and answering
// ray queries against its geometry (kept on the CPU as well, so picking works
// on every backend).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/math.h"
#include "platform/graphics_device.h"
#include "render/xfile.h"

// Loads a PNG as a texture of its own size; opaque pure green (0xFF00FF00)
// becomes fully transparent. Null on failure (with a detail line on stderr).
Texture* LoadTexture(const char* path);

// The geometry of a loaded mesh: device buffers for drawing and the same
// vertices and triangles on the CPU for picking.
class MeshGeometry {
 public:
  static MeshGeometry* Create(GraphicsDevice* device, XModel model);
  ~MeshGeometry();
  uint32_t SubsetCount() const { return static_cast<uint32_t>(model_.subsetStart.size()) - 1; }
  uint32_t FaceCount() const { return model_.TriangleCount(); }
  void DrawSubset(uint32_t subset);
  // The nearest face met by a ray at or after its start (both sides of a
  // face count); false when none.
  bool Intersect(const Vec3& start, const Vec3& direction, uint32_t* face, float* u, float* v,
                 float* distance) const;
  void FaceVertices(uint32_t face, Vec3 out[3]) const;
  // The box around every vertex, in the model's own space.
  const Vec3& Lowest() const { return lo_; }
  const Vec3& Highest() const { return hi_; }

 private:
  explicit MeshGeometry(GraphicsDevice* device) : device_(device) {}
  GraphicsDevice* device_;
  XModel model_;
  VertexBuffer* vertices_ = nullptr;
  IndexBuffer* indices_ = nullptr;
  VertexDeclaration* declaration_ = nullptr;
  Vec3 lo_, hi_;
};

class Mesh {
 public:
  Mesh() = default;
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;
  ~Mesh() { Release(); }

  int Load(const char* path);
  // Draws every subset at the device's world transform. In the world's pass
  // a model standing between the eye and the player is set aside and drawn
  // see-through at its end (see render/view_clearance.h).
  void Draw() const;
  void DrawWithTexture(Texture* texture) const;
  void Release();
  // Where a ray (origin, direction in world space; the direction's length
  // does not matter) first meets the mesh placed by world: 1 and the point.
  int Pick(const Matrix& world, const Vec3& origin, const Vec3& direction, Vec3* hit) const;
  void GetFaceVertices(uint32_t face, Vec3 out[3]) const;
  // The box around the model in its own space; false when nothing is loaded.
  bool Bounds(Vec3* lo, Vec3* hi) const;

  // The four fields of the record, in their order.
  MeshGeometry* mesh = nullptr;
  std::vector<D3DMATERIAL9> materials;
  std::vector<Texture*> textures;
  uint32_t materialCount = 0;
};
