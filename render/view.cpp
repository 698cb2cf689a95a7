#include "render/view.h"

#include "base/det_math.h"
#include "platform/graphics.h"
#include "render/constants.h"

namespace {

constexpr float kFieldOfView = 60 * kDegToRad;
constexpr float kNear = 0.1f;
constexpr float kFar = 500.0f;
constexpr float kCullMargin = 6.0f;

DrawView g_drawView;

}  // namespace

DrawView& CurrentView() {
  return g_drawView;
}

void ApplyView(const Vec3& eye, const Vec3& lookAt, const Vec3& up) {
  const Matrix view = MatrixLookAtLH(eye, lookAt, up);
  const Matrix projection = MatrixPerspectiveFovLH(kFieldOfView, 1280.0f / 720.0f, kNear, kFar);
  const float c = dmath::Cos(kFieldOfView), s = dmath::Sin(kFieldOfView);
  const Plane viewPlanes[6] = {{0, c, s, 0},  {-c, 0, s, 0},    {c, 0, s, 0},
                               {0, -c, s, 0}, {0, 0, -1, kFar}, {0, 0, 1, kNear}};
  const Matrix m = MatrixTranspose(view);
  for (int i = 0; i < 6; ++i)
    g_drawView.planes[i] = PlaneNormalize(PlaneTransform(PlaneNormalize(viewPlanes[i]), m));
  if (GraphicsDevice* d = GetDevice()) {
    d->SetTransform(D3DTS_VIEW, view);
    d->SetTransform(D3DTS_PROJECTION, projection);
  }
}

int IsInView(const Vec3& point) {
  for (const Plane& p : g_drawView.planes)
    if (PlaneDotCoord(p, point) < -kCullMargin) return 0;
  return 1;
}

void ResetView() {
  for (Plane& p : g_drawView.planes) p = Plane{};
}

void ResetDrawView() {
  ResetView();
  view_clearance::Reset();
}
