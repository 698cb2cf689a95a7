#include "world/star_burst.h"

#include <cmath>

#include "base/det_math.h"
#include "base/random.h"
#include "platform/graphics.h"
#include "render/preload.h"
#include "world/object_base.h"

void DrawTumblingStar(const Vec3& p, const Vec3& r, const Vec3& s) {
  GetDevice()->SetTransform(
      D3DTS_WORLD,
      MatrixScaling(s.x, s.y, s.z) *
          MatrixRotationYawPitchRoll(r.y * kDegToRad, r.x * kDegToRad, r.z * kDegToRad) *
          MatrixTranslation(p.x, p.y, p.z));
  GetObjectMesh(kMeshStar)->Draw();
}

void StarBurst::Start(RandomStream& drawRandom, int upsideDown, const Vec3& point,
                      const Vec3& spread) {
  alpha_ = 255;
  sinkSpeed_ = 0;
  for (Star& s : stars_) {
    s.position = point;
    s.velocity.x = std::fabs(spread.x) * static_cast<float>(drawRandom.Next() % 2 + 1) / 100;
    s.velocity.y =
        static_cast<float>(drawRandom.Next() % 10 + 5) / 100 * (upsideDown ? -1.0f : 1.0f);
    s.velocity.z = std::fabs(spread.z) * static_cast<float>(drawRandom.Next() % 2 + 1) / 100;
    s.scale = {static_cast<float>(drawRandom.Next() % 7 + 1) / 10,
               static_cast<float>(drawRandom.Next() % 7 + 1) / 10,
               static_cast<float>(drawRandom.Next() % 7 + 1) / 10};
    const float yaw = static_cast<float>(drawRandom.Next() % 181);
    s.rotation = {static_cast<float>(drawRandom.Next() % 180), drawRandom.Next() % 2 ? yaw : -yaw,
                  static_cast<float>(drawRandom.Next() % 180)};
  }
}

void StarBurst::Update(int upsideDown) {
  if (!active_) return;
  alpha_ -= 5;
  if (alpha_ <= 0) {
    alpha_ = 0;
    active_ = false;
    return;
  }
  for (Star& s : stars_) {
    const float yaw = s.rotation.y * kDegToRad;
    s.position.x += dmath::Sin(yaw) * s.velocity.x;
    s.position.y += s.velocity.y - sinkSpeed_;
    s.position.z += dmath::Cos(yaw) * s.velocity.z;
    s.rotation.x += 1;
    s.rotation.z += 1;
    for (float* v : {&s.velocity.x, &s.velocity.z}) {
      if (*v > 0)
        *v = std::max(0.0f, *v - 0.001f);
      else if (*v < 0)
        *v = std::min(0.0f, *v + 0.001f);
    }
  }
  sinkSpeed_ += upsideDown ? -0.005f : 0.005f;
}

void StarBurst::Draw() {
  if (!active_) return;
  BeginTranslucent(alpha_);
  for (const Star& s : stars_) DrawTumblingStar(s.position, s.rotation, s.scale);
  EndTranslucent();
}
