#include "tests/view_probe.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Models larger than this are the surroundings (the sky ball around the
// whole stage), not something that stands in the view.
constexpr float kSurroundings = 150;
constexpr float kAtThePoint = 0.5f;

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

// Moeller and Trumbore: where the segment a + t (b - a), t in [0, 1], meets
// the triangle (both sides count).
bool SegmentMeetsTriangle(const Vec3& a, const Vec3& b, const Vec3* tri) {
  const Vec3 d = b - a;
  const Vec3 e1 = tri[1] - tri[0], e2 = tri[2] - tri[0];
  const Vec3 p = Vec3Cross(d, e2);
  const float det = Vec3Dot(e1, p);
  if (std::fabs(det) < 1e-12f) return false;
  const float inv = 1 / det;
  const Vec3 s = a - tri[0];
  const float u = Vec3Dot(s, p) * inv;
  if (u < 0 || u > 1) return false;
  const Vec3 q = Vec3Cross(s, e1);
  const float v = Vec3Dot(d, q) * inv;
  if (v < 0 || u + v > 1) return false;
  const float t = Vec3Dot(e2, q) * inv;
  return t >= 0 && t <= 1;
}

bool Inside(const Vec3& p, const Vec3& lo, const Vec3& hi) {
  return p.x > lo.x && p.x < hi.x && p.y > lo.y && p.y < hi.y && p.z > lo.z && p.z < hi.z;
}

}  // namespace

const ViewProbeDevice::Shape& ViewProbeDevice::ShapeOf(const DrawCall& call) {
  const Key key{stream_,
                stream_->Version(),
                indices_,
                indices_->Version(),
                streamOffset_,
                call.startIndex,
                call.baseVertexIndex,
                static_cast<int>(call.type),
                call.primitiveCount};
  auto found = shapes_.find(key);
  if (found != shapes_.end()) return found->second;
  if (shapes_.size() > 20000) shapes_.clear();  // buffers rewritten every frame

  const auto* idx = reinterpret_cast<const uint16_t*>(indices_->Data()) + call.startIndex;
  auto vertex = [&](uint32_t i) {
    Vec3 v;
    const uint32_t at =
        streamOffset_ +
        static_cast<uint32_t>(static_cast<int64_t>(idx[i]) + call.baseVertexIndex) * streamStride_;
    std::memcpy(&v, stream_->Data() + at, sizeof v);
    return v;
  };
  auto triangles = std::make_shared<std::vector<Vec3>>();
  for (uint32_t f = 0; f < call.primitiveCount; ++f) {
    uint32_t i0, i1, i2;
    if (call.type == D3DPT_TRIANGLELIST) {
      i0 = 3 * f, i1 = 3 * f + 1, i2 = 3 * f + 2;
    } else if (call.type == D3DPT_TRIANGLESTRIP) {
      i0 = f, i1 = f + 1, i2 = f + 2;
    } else {
      i0 = 0, i1 = f + 1, i2 = f + 2;
    }
    triangles->push_back(vertex(i0));
    triangles->push_back(vertex(i1));
    triangles->push_back(vertex(i2));
  }
  Shape shape;
  shape.lo = shape.hi = triangles->empty() ? Vec3{} : (*triangles)[0];
  for (const Vec3& v : *triangles) {
    shape.lo = {std::min(shape.lo.x, v.x), std::min(shape.lo.y, v.y), std::min(shape.lo.z, v.z)};
    shape.hi = {std::max(shape.hi.x, v.x), std::max(shape.hi.y, v.y), std::max(shape.hi.z, v.z)};
  }
  shape.triangles = std::move(triangles);
  return shapes_.emplace(key, std::move(shape)).first->second;
}

void ViewProbeDevice::DoDraw(const DrawCall& call) {
  if (renderStates_[D3DRS_ALPHABLENDENABLE]) ++blended_;
  if (renderStates_[D3DRS_ALPHABLENDENABLE] || !renderStates_[D3DRS_ZWRITEENABLE] ||
      !renderStates_[D3DRS_ZENABLE])
    return;
  const Shape& shape = ShapeOf(call);
  if (Vec3Length(shape.hi - shape.lo) > kSurroundings) return;
  if (drawing_.empty()) {
    shownView_ = view_;
    shownProjection_ = projection_;
  }
  Model m;
  m.world = world_;
  if (!MatrixInverse(&m.inverse, nullptr, world_)) return;
  m.lo = shape.lo;
  m.hi = shape.hi;
  m.triangles = shape.triangles;
  drawing_.push_back(std::move(m));
}

HRESULT ViewProbeDevice::DoPresent() {
  shown_ = std::move(drawing_);
  drawing_.clear();
  Matrix inverse;
  if (MatrixInverse(&inverse, nullptr, shownView_))
    eye_ = {inverse[3][0], inverse[3][1], inverse[3][2]};
  return CountingDevice::DoPresent();
}

const ViewProbeDevice::Model* ViewProbeDevice::FirstBetween(const Vec3& eye, const Vec3& point,
                                                            const Matrix* skip) const {
  // What touches the point itself (within half a unit) is at it, not between.
  const float length = Vec3Length(point - eye);
  if (length <= kAtThePoint) return nullptr;
  const Vec3 end = eye + (point - eye) * ((length - kAtThePoint) / length);
  // Nor is what the point stands inside of (a star it carries, a boss it
  // runs into, the boss the camera follows): every part drawn with the same
  // placement as a part that holds it.
  std::vector<const Matrix*> holders;
  for (const Model& m : shown_)
    if (Inside(Vec3TransformCoord(point, m.inverse), m.lo, m.hi)) holders.push_back(&m.world);
  auto held = [&](const Matrix& world) {
    for (const Matrix* h : holders)
      if (std::memcmp(h, &world, sizeof(Matrix)) == 0) return true;
    return false;
  };
  for (const Model& m : shown_) {
    if (skip && std::memcmp(&m.world, skip, sizeof(Matrix)) == 0) continue;
    if (held(m.world)) continue;
    const Vec3 a = Vec3TransformCoord(eye, m.inverse), b = Vec3TransformCoord(end, m.inverse);
    if (!SegmentMeetsBox(a, b, m.lo, m.hi)) continue;
    const std::vector<Vec3>& t = *m.triangles;
    for (size_t i = 0; i + 2 < t.size(); i += 3)
      if (SegmentMeetsTriangle(a, b, &t[i])) return &m;
  }
  return nullptr;
}

std::vector<const ViewProbeDevice::Model*> ViewProbeDevice::Holding(const Vec3& point) const {
  std::vector<const Model*> out;
  for (const Model& m : shown_)
    if (Inside(Vec3TransformCoord(point, m.inverse), m.lo, m.hi)) out.push_back(&m);
  return out;
}

bool ViewProbeDevice::InView(const Vec3& point) const {
  const Vec3 v = Vec3TransformCoord(point, shownView_);
  if (v.z <= 0.1f) return false;
  const Vec3 c = Vec3TransformCoord(v, shownProjection_);
  return c.x >= -1 && c.x <= 1 && c.y >= -1 && c.y <= 1 && c.z >= 0 && c.z <= 1;
}
