// Small helpers shared by the enemy and boss classes.
#pragma once

#include <cmath>

#include "base/det_math.h"
#include "world/object_base.h"

class Mesh;

namespace enemy_common {

constexpr float kRadToDegF = 57.295776f;

// The yaw in degrees that faces from one point towards another.
inline float HeadingTo(const Vec3& from, const Vec3& to) {
  return dmath::Atan2(to.x - from.x, to.z - from.z) * kRadToDegF;
}

// The horizontal distance between two points.
inline float FlatDistance(const Vec3& a, const Vec3& b) {
  const float dx = b.x - a.x, dz = b.z - a.z;
  return std::sqrt(dx * dx + dz * dz);
}

// The character's world transform and the mesh.
void DrawCharacterMesh(const CharacterBase& c, Mesh& mesh);
// The character's blob shadow at its ground point.
void DrawCharacterShadow(const CharacterBase& c);

}  // namespace enemy_common
