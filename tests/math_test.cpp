// The D3DX conventions the game's drawing and movement rely on, checked
// against values worked out by hand.
#include "base/math.h"

#include <gtest/gtest.h>

namespace {

constexpr float kEps = 1e-5f;

void ExpectVec(const Vec3& v, float x, float y, float z, float eps = kEps) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

void ExpectMatrixNear(const Matrix& a, const Matrix& b, float eps = 1e-5f) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(a[i][j], b[i][j], eps) << "at " << i << "," << j;
}

const float kQuarter = kPi / 2;

}  // namespace

TEST(Math, RotationsTurnLeftHandedWithRowVectors) {
  // Forward along a yaw a is (sin a, 0, cos a).
  ExpectVec(Vec3TransformCoord({0, 0, 1}, MatrixRotationY(kQuarter)), 1, 0, 0);
  // Pitch tips +z down, roll turns +x up.
  ExpectVec(Vec3TransformCoord({0, 0, 1}, MatrixRotationX(kQuarter)), 0, -1, 0);
  ExpectVec(Vec3TransformCoord({1, 0, 0}, MatrixRotationZ(kQuarter)), 0, 1, 0);
}

TEST(Math, YawPitchRollAppliesRollThenPitchThenYaw) {
  const Matrix m = MatrixRotationYawPitchRoll(kQuarter, kQuarter, 0);
  ExpectVec(Vec3TransformCoord({0, 0, 1}, m), 0, -1, 0);
  ExpectVec(Vec3TransformCoord({1, 0, 0}, m), 0, 0, -1);
  const Matrix r = MatrixRotationYawPitchRoll(0, kQuarter, kQuarter);
  // Roll takes +x to +y, then pitch takes +y to +z.
  ExpectVec(Vec3TransformCoord({1, 0, 0}, r), 0, 0, 1);
}

TEST(Math, QuaternionYawPitchRollMatchesTheMatrix) {
  const float angles[][3] = {
      {0.3f, -1.1f, 2.0f}, {kPi, 0.5f, -0.25f}, {-2.5f, 1.5f, 0.75f}, {0, 270 * kDegToRad, 0}};
  for (const auto& a : angles) {
    ExpectMatrixNear(MatrixRotationQuaternion(QuaternionRotationYawPitchRoll(a[0], a[1], a[2])),
                     MatrixRotationYawPitchRoll(a[0], a[1], a[2]));
  }
}

TEST(Math, LookAtPutsTheEyeAtTheOriginLookingDownPlusZ) {
  const Matrix v = MatrixLookAtLH({5, 0, 0}, {0, 0, 0}, {0, 1, 0});
  ExpectVec(Vec3TransformCoord({5, 0, 0}, v), 0, 0, 0);
  ExpectVec(Vec3TransformCoord({0, 0, 0}, v), 0, 0, 5);
  // Looking down -x with y up (left-handed), world +z lies to the right.
  ExpectVec(Vec3TransformCoord({5, 0, 1}, v), 1, 0, 0);
  ExpectVec(Vec3TransformCoord({5, 1, 0}, v), 0, 1, 0);
  // The hand-built rows.
  EXPECT_FLOAT_EQ(v[0][2], -1);
  EXPECT_FLOAT_EQ(v[2][0], 1);
  EXPECT_FLOAT_EQ(v[3][2], 5);
}

TEST(Math, PerspectiveMapsNearToZeroAndFarToOne) {
  const Matrix p = MatrixPerspectiveFovLH(kQuarter, 1.0f, 1.0f, 101.0f);
  EXPECT_FLOAT_EQ(p[0][0], 1.0f);
  EXPECT_FLOAT_EQ(p[1][1], 1.0f);
  EXPECT_FLOAT_EQ(p[2][2], 1.01f);
  EXPECT_FLOAT_EQ(p[2][3], 1.0f);
  EXPECT_FLOAT_EQ(p[3][2], -1.01f);
  EXPECT_FLOAT_EQ(p[3][3], 0.0f);
  ExpectVec(Vec3TransformCoord({0, 0, 1}, p), 0, 0, 0);
  ExpectVec(Vec3TransformCoord({0, 0, 101}, p), 0, 0, 1);
  // A point at 45 degrees up lands on the top edge, whatever its depth.
  ExpectVec(Vec3TransformCoord({0, 10, 10}, p), 0, 1, Vec3TransformCoord({0, 0, 10}, p).z);
  // The game's projection: 60 degrees, 16:9.
  const Matrix g = MatrixPerspectiveFovLH(60 * kDegToRad, 1280.0f / 720.0f, 0.1f, 500.0f);
  EXPECT_NEAR(g[1][1], 1.7320508f, 1e-5f);
  EXPECT_NEAR(g[0][0], 1.7320508f * 720.0f / 1280.0f, 1e-5f);
}

TEST(Math, TransformationScalesAboutNothingAndRotatesAboutItsCentre) {
  const Vec3 scaling{2, 2, 2};
  const Vec3 centre{1, 0, 0};
  const Quaternion yaw = QuaternionRotationYawPitchRoll(kQuarter, 0, 0);
  const Vec3 move{0, 0, 10};
  const Matrix m = MatrixTransformation(nullptr, nullptr, &scaling, &centre, &yaw, &move);
  // (1,0,0) scaled to (2,0,0), turned about (1,0,0) to (1,0,-1), moved to (1,0,9).
  ExpectVec(Vec3TransformCoord({1, 0, 0}, m), 1, 0, 9);
  // With nothing given it is the identity.
  ExpectMatrixNear(MatrixTransformation(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
                   Matrix::Identity());
}

TEST(Math, InverseUndoesAndRefusesSingularMatrices) {
  const Matrix m = MatrixScaling(2, 3, 4) * MatrixRotationYawPitchRoll(0.4f, 0.2f, -0.7f) *
                   MatrixTranslation(5, -6, 7);
  Matrix inv;
  float det = 0;
  ASSERT_TRUE(MatrixInverse(&inv, &det, m));
  EXPECT_NEAR(det, 24.0f, 1e-3f);
  ExpectMatrixNear(m * inv, Matrix::Identity(), 1e-5f);
  Matrix untouched = MatrixTranslation(1, 2, 3);
  EXPECT_FALSE(MatrixInverse(&untouched, nullptr, MatrixScaling(1, 0, 1)));
  EXPECT_TRUE(untouched == MatrixTranslation(1, 2, 3));
}

TEST(Math, PlanesNormaliseAndTransformByTheInverseTranspose) {
  const Plane p = PlaneNormalize({0, 3, 4, 10});
  EXPECT_FLOAT_EQ(p.a, 0);
  EXPECT_FLOAT_EQ(p.b, 0.6f);
  EXPECT_FLOAT_EQ(p.c, 0.8f);
  EXPECT_FLOAT_EQ(p.d, 2.0f);
  // The ground plane y = 0 moved up by 5 becomes y = 5.
  Matrix inv;
  ASSERT_TRUE(MatrixInverse(&inv, nullptr, MatrixTranslation(0, 5, 0)));
  const Plane moved = PlaneTransform({0, 1, 0, 0}, MatrixTranspose(inv));
  EXPECT_FLOAT_EQ(moved.b, 1);
  EXPECT_FLOAT_EQ(moved.d, -5);
  EXPECT_FLOAT_EQ(PlaneDotCoord(moved, {3, 5, 9}), 0);
}

TEST(Math, NormalsIgnoreTranslationAndCoordsDivideByW) {
  const Matrix m = MatrixRotationY(kQuarter) * MatrixTranslation(10, 20, 30);
  ExpectVec(Vec3TransformNormal({0, 0, 1}, m), 1, 0, 0);
  ExpectVec(Vec3TransformCoord({0, 0, 1}, m), 11, 20, 30);
  Matrix w;
  w[3][3] = 2;
  ExpectVec(Vec3TransformCoord({2, 4, 6}, w), 1, 2, 3);
  ExpectVec(Vec3Normalize({0, 0, 0}), 0, 0, 0);
}

TEST(Math, EaseOutStartsFastAndArrivesExactly) {
  EXPECT_FLOAT_EQ(EaseOut(4, 1, 0.5f, 0), 1);
  EXPECT_FLOAT_EQ(EaseOut(4, 1, 0.5f, 0.25f), 1 + 4 * 0.75f);
  EXPECT_FLOAT_EQ(EaseOut(4, 1, 0.5f, 0.5f), 5);
}
