// A counting device that keeps what each frame drew opaque in 3D, so a test
// can ask what the picture's eye sees: whether the eye stands inside a drawn
// model, whether a drawn model stands between the eye and a point, and
// whether a point lies in the view.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "base/math.h"
#include "platform/headless/counting_device.h"

class ViewProbeDevice : public CountingDevice {
 public:
  // An opaque, depth-writing 3D draw of the last frame.
  struct Model {
    Matrix world;
    Matrix inverse;
    Vec3 lo, hi;                                         // its vertices' box in its own space
    std::shared_ptr<const std::vector<Vec3>> triangles;  // in its own space, three a face
  };

  // The eye of the last frame's picture (from its view matrix).
  Vec3 Eye() const { return eye_; }
  const std::vector<Model>& Models() const { return shown_; }
  // The first model (other than those placed by skip) that the segment from
  // the eye to the point passes through; null when none. What touches the
  // point (within half a unit of it) or holds it is at the point, not
  // between.
  const Model* FirstBetween(const Vec3& eye, const Vec3& point, const Matrix* skip) const;
  // The models whose box holds the point.
  std::vector<const Model*> Holding(const Vec3& point) const;
  // Whether the point lies inside the last frame's view (its projection).
  bool InView(const Vec3& point) const;
  // Draws with blending so far (see-through models among them).
  int64_t BlendedDraws() const { return blended_; }

 protected:
  void DoDraw(const DrawCall& call) override;
  HRESULT DoPresent() override;

 private:
  using Key = std::tuple<const void*, uint64_t, const void*, uint64_t, uint32_t, uint32_t, int32_t,
                         int, uint32_t>;
  struct Shape {
    Vec3 lo, hi;
    std::shared_ptr<const std::vector<Vec3>> triangles;
  };
  const Shape& ShapeOf(const DrawCall& call);

  std::map<Key, Shape> shapes_;
  std::vector<Model> drawing_, shown_;
  Matrix shownView_, shownProjection_;
  Vec3 eye_;
  int64_t blended_ = 0;
};
