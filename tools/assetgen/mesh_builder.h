// Builds models out of simple solids and writes them as text .x files.
// Front faces wind clockwise, as Direct3D expects; every solid is given with
// its outward direction so the winding comes out right.
#pragma once

#include <string>
#include <vector>

#include "base/math.h"
#include "tools/assetgen/canvas.h"

struct ModelMaterial {
  Rgba diffuse{1, 1, 1, 1};
  float power = 0;
  Rgba specular{0, 0, 0, 1};
  Rgba emissive{0, 0, 0, 1};
  std::string texture;  // path relative to the working directory, or empty
};

class MeshBuilder {
 public:
  // Adds a material and makes it current; returns its index.
  int Material(const ModelMaterial& m);
  void Use(int material) { current_ = material; }

  // Everything added goes through this transform (row vectors).
  void SetTransform(const Matrix& m) { transform_ = m; }
  const Matrix& Transform() const { return transform_; }

  // A triangle with a normal per corner (model space, before the
  // transform); its front is turned to face the way the normals point.
  void Triangle(const Vec3 p[3], const Vec3 n[3], const Vec2 uv[3]);
  // A flat four-cornered face (corners in order around it) facing outward.
  void Quad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, const Vec3& outward,
            const Vec2& ta, const Vec2& tb, const Vec2& tc, const Vec2& td);

  // Solids, centred on c unless said otherwise.
  void Box(const Vec3& c, const Vec3& size, float uvScale = 1.0f);
  // An axis-aligned box with texture coordinates continuous across faces in
  // world units (for walls and blocks that tile).
  void WorldBox(const Vec3& c, const Vec3& size, float unitsPerTile);
  // A cylinder (or cone/frustum) along y from y0 to y1.
  void Cylinder(const Vec3& base, float y1, float r0, float r1, int sides, bool caps = true);
  // An ellipsoid; inward turns its faces to the inside (a sky dome).
  void Sphere(const Vec3& c, const Vec3& radii, int slices, int stacks, bool inward = false);
  // A five-pointed star in the xy plane, thickness along z, points up (+y).
  void Star(const Vec3& c, float outer, float inner, float thickness);
  // A flat polygon in the xy plane (convex or star-shaped about its centroid),
  // extruded along z by depth, centred on z.
  void Extrude(const std::vector<Vec2>& outline, float z, float depth);
  // A smooth tube through the points with the given radii.
  void Tube(const std::vector<Vec3>& points, const std::vector<float>& radii, int sides);

  // Moves everything up or down so the lowest point sits at y = 0 (models
  // whose origin is their feet).
  void StandOnOrigin();

  std::string ToX(const std::string& comment) const;
  size_t VertexCount() const { return vertices_.size(); }

 private:
  struct Vertex {
    Vec3 p, n;
    Vec2 uv;
  };
  struct Face {
    int material;
    int v[3];
  };
  int AddVertex(const Vec3& p, const Vec3& n, const Vec2& uv);

  std::vector<ModelMaterial> materials_;
  std::vector<Vertex> vertices_;
  std::vector<Face> faces_;
  Matrix transform_;
  int current_ = 0;
};
