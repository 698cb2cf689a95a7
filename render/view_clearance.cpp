#include "render/view_clearance.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/graphics.h"
#include "render/mesh.h"
#include "render/view.h"

namespace view_clearance {
namespace {

// Models larger than this are the surroundings (the sky ball), which the eye
// is always inside of.
constexpr float kSurroundings = 100;
// How far the drawn eye keeps from a model's box (the near plane is 0.1).
constexpr float kEyeMargin = 0.3f;
// The eye is pulled in at most this share of the way to the look-at.
constexpr float kMostPull = 0.85f;
// While the camera rises to follow a fall, it keeps its look but comes no
// farther than this from what it follows (it rises 7.5 units a second, and
// a boss washed down the river would shrink to a speck).
constexpr float kFollowDistance = 18;
// Hits this close to a point of the player do not count: what touches the
// player (the floor it stands on, a star it carries) is at it, not between.
constexpr float kNearTarget = 0.5f;

PassState& Pass() {
  return CurrentView().pass;
}

bool Inside(const Vec3& p, const Vec3& lo, const Vec3& hi, float margin) {
  return p.x > lo.x - margin && p.x < hi.x + margin && p.y > lo.y - margin && p.y < hi.y + margin &&
         p.z > lo.z - margin && p.z < hi.z + margin;
}

// Where the segment from a to b (a inside the box grown by margin) leaves it,
// as a share of the segment.
float ExitShare(const Vec3& a, const Vec3& b, const Vec3& lo, const Vec3& hi, float margin) {
  float t = 1e9f;
  const float from[3] = {a.x, a.y, a.z}, to[3] = {b.x, b.y, b.z};
  const float l[3] = {lo.x - margin, lo.y - margin, lo.z - margin};
  const float h[3] = {hi.x + margin, hi.y + margin, hi.z + margin};
  for (int i = 0; i < 3; ++i) {
    const float d = to[i] - from[i];
    if (d > 1e-9f) t = std::min(t, (h[i] - from[i]) / d);
    if (d < -1e-9f) t = std::min(t, (l[i] - from[i]) / d);
  }
  return t;
}

bool SegmentMeetsBox(const Vec3& a, const Vec3& b, const Vec3& lo, const Vec3& hi) {
  float t0 = 0, t1 = 1;
  const float from[3] = {a.x, a.y, a.z}, to[3] = {b.x, b.y, b.z};
  const float l[3] = {lo.x, lo.y, lo.z}, h[3] = {hi.x, hi.y, hi.z};
  for (int i = 0; i < 3; ++i) {
    const float d = to[i] - from[i];
    if (std::fabs(d) < 1e-9f) {
      if (from[i] < l[i] || from[i] > h[i]) return false;
      continue;
    }
    float u0 = (l[i] - from[i]) / d, u1 = (h[i] - from[i]) / d;
    if (u0 > u1) std::swap(u0, u1);
    t0 = std::max(t0, u0);
    t1 = std::min(t1, u1);
    if (t0 > t1) return false;
  }
  return true;
}

// True when the model stands on the way from the eye to a point to keep in
// sight (the player's, or the look-at's).
bool InTheWay(const Mesh& mesh, const Matrix& world, const Matrix& inverse, const Vec3& lo,
              const Vec3& hi) {
  // The player itself, or what it stands inside of, is not in its own way;
  // nor is what the camera looks at (a falling boss) in the way of its look.
  const bool holdsPlayer = Inside(Vec3TransformCoord(Pass().targetCentre, inverse), lo, hi, 0);
  const Vec3 eye = Vec3TransformCoord(Pass().eye, inverse);
  for (int t = 0; t < Pass().targetCount; ++t) {
    const Vec3& target = Pass().targets[t];
    const bool ofPlayer = t < 3;
    if (ofPlayer ? holdsPlayer : Inside(Vec3TransformCoord(target, inverse), lo, hi, 0)) continue;
    const Vec3 ray = target - Pass().eye;
    const float length = Vec3Length(ray);
    if (length <= kNearTarget) continue;
    if (!SegmentMeetsBox(eye, Vec3TransformCoord(target, inverse), lo, hi)) continue;
    Vec3 hit;
    if (mesh.Pick(world, Pass().eye, ray, &hit) &&
        Vec3Length(hit - Pass().eye) < length - kNearTarget)
      return true;
  }
  return false;
}

}  // namespace

Vec3 ClearEye(const Vec3& eye, const Vec3& lookAt, const PlacedBox* boxes, int count) {
  float share = 0;
  for (int round = 0; round < 8; ++round) {
    const Vec3 at = eye + (lookAt - eye) * share;
    float exit = -1;
    for (int i = 0; i < count; ++i) {
      const PlacedBox& b = boxes[i];
      const Vec3 from = Vec3TransformCoord(at, b.inverse);
      if (!Inside(from, b.lo, b.hi, kEyeMargin)) continue;
      if (Inside(Vec3TransformCoord(lookAt, b.inverse), b.lo, b.hi, kEyeMargin)) continue;
      const Vec3 to = Vec3TransformCoord(lookAt, b.inverse);
      exit = std::max(exit, share + (1 - share) * ExitShare(from, to, b.lo, b.hi, kEyeMargin));
    }
    if (exit < 0) return at;
    share = std::min(kMostPull, exit + 1e-3f);
    if (share >= kMostPull) return eye + (lookAt - eye) * kMostPull;
  }
  return eye + (lookAt - eye) * share;
}

Vec3 BeginWorld(const Vec3& eye, const Vec3& lookAt, const Vec3& player, float height,
                int upsideDown, bool lookAtToo) {
  Pass().inWorld = true;
  Pass().last.swap(Pass().seen);
  Pass().seen.clear();
  Pass().setAside.clear();
  Vec3 from = eye;
  const float away = Vec3Length(eye - lookAt);
  if (lookAtToo && away > kFollowDistance)
    from = lookAt + (eye - lookAt) * (kFollowDistance / away);  // the same ray, nearer
  Pass().eye = ClearEye(from, lookAt, Pass().last.data(), static_cast<int>(Pass().last.size()));
  const Vec3 up{0, upsideDown ? -1.0f : 1.0f, 0};
  Pass().targetCentre = player + up * (height / 2);
  Pass().targets[0] = player + up * 0.3f;
  Pass().targets[1] = Pass().targetCentre;
  Pass().targets[2] = player + up * std::max(0.3f, height - 0.15f);
  Pass().targetCount = 3;
  if (lookAtToo) Pass().targets[Pass().targetCount++] = lookAt;
  return Pass().eye;
}

bool InWorld() {
  return Pass().inWorld;
}

Vec3 DrawnEye() {
  return Pass().eye;
}

bool TakeDraw(const Mesh& mesh, Texture* texture) {
  if (!Pass().inWorld) return false;
  GraphicsDevice* d = GetDevice();
  if (!d || d->GetRenderState(D3DRS_ALPHABLENDENABLE) || !d->GetRenderState(D3DRS_ZWRITEENABLE))
    return false;  // already translucent, or a decal
  Vec3 lo, hi;
  if (!mesh.Bounds(&lo, &hi) || Vec3Length(hi - lo) > kSurroundings) return false;
  const Matrix world = d->GetTransform(D3DTS_WORLD);
  Matrix inverse;
  if (!MatrixInverse(&inverse, nullptr, world)) return false;
  Pass().seen.push_back({inverse, lo, hi});
  if (!InTheWay(mesh, world, inverse, lo, hi)) return false;
  const Vec3 at{world[3][0], world[3][1], world[3][2]};
  SetAside s;
  s.mesh = &mesh;
  s.texture = texture;
  s.world = world;
  s.cull = d->GetRenderState(D3DRS_CULLMODE);
  s.colorOp = d->GetTextureStageState(0, D3DTSS_COLOROP);
  s.colorArg1 = d->GetTextureStageState(0, D3DTSS_COLORARG1);
  s.colorArg2 = d->GetTextureStageState(0, D3DTSS_COLORARG2);
  s.factor = d->GetRenderState(D3DRS_TEXTUREFACTOR);
  s.lighting = d->GetRenderState(D3DRS_LIGHTING);
  s.tintOp = d->GetTextureStageState(1, D3DTSS_COLOROP);
  s.tintArg1 = d->GetTextureStageState(1, D3DTSS_COLORARG1);
  s.tintArg2 = d->GetTextureStageState(1, D3DTSS_COLORARG2);
  s.distance = Vec3Length(at - Pass().eye);
  Pass().setAside.push_back(s);
  return true;
}

void EndWorld() {
  Pass().inWorld = false;
  GraphicsDevice* d = GetDevice();
  if (!d || Pass().setAside.empty()) return;
  std::stable_sort(Pass().setAside.begin(), Pass().setAside.end(),
                   [](const SetAside& a, const SetAside& b) { return a.distance > b.distance; });
  const uint32_t cull = d->GetRenderState(D3DRS_CULLMODE);
  const uint32_t factor = d->GetRenderState(D3DRS_TEXTUREFACTOR);
  const uint32_t lighting = d->GetRenderState(D3DRS_LIGHTING);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  d->SetRenderState(D3DRS_ZWRITEENABLE, 0);
  for (const SetAside& s : Pass().setAside) {
    d->SetTransform(D3DTS_WORLD, s.world);
    d->SetRenderState(D3DRS_CULLMODE, s.cull);
    d->SetRenderState(D3DRS_LIGHTING, s.lighting);
    d->SetTextureStageState(0, D3DTSS_COLOROP, s.colorOp);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, s.colorArg1);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, s.colorArg2);
    d->SetTextureStageState(1, D3DTSS_COLOROP, s.tintOp);
    d->SetTextureStageState(1, D3DTSS_COLORARG1, s.tintArg1);
    d->SetTextureStageState(1, D3DTSS_COLORARG2, s.tintArg2);
    // The model's own tint (a boss flashing red) keeps its colour; the
    // factor's alpha makes it see-through.
    d->SetRenderState(D3DRS_TEXTUREFACTOR,
                      (static_cast<uint32_t>(kSeeThroughAlpha) << 24) | (s.factor & 0xFFFFFF));
    if (s.texture)
      s.mesh->DrawWithTexture(s.texture);
    else
      s.mesh->Draw();
  }
  d->SetRenderState(D3DRS_ZWRITEENABLE, 1);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  d->SetRenderState(D3DRS_CULLMODE, cull);
  d->SetRenderState(D3DRS_LIGHTING, lighting);
  d->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_ADD);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  Pass().setAside.clear();
}

void Reset() {
  Pass() = PassState{};
}

}  // namespace view_clearance
