// Vector, matrix, quaternion and plane helpers with the conventions of D3DX:
// left-handed coordinates, row vectors (v' = v * M), row-major matrices with the
// translation in the fourth row, and yaw-pitch-roll rotation applied as
// roll (about z), then pitch (about x), then yaw (about y).
#pragma once

#include <cmath>

constexpr float kDegToRad = 0.017453292f;  // the factor the game uses for degrees
constexpr float kRadToDeg = 57.295776f;    // the factor the game uses for headings
constexpr float kPi = 3.14159265358979f;

struct Vec2 {
  float x = 0, y = 0;
};

struct Vec3 {
  float x = 0, y = 0, z = 0;

  constexpr Vec3() = default;
  constexpr Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

  constexpr Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  constexpr Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  constexpr Vec3 operator-() const { return {-x, -y, -z}; }
  constexpr Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
  constexpr Vec3 operator/(float s) const { return {x / s, y / s, z / s}; }
  Vec3& operator+=(const Vec3& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
  }
  Vec3& operator-=(const Vec3& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
  }
  Vec3& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  constexpr bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct Vec4 {
  float x = 0, y = 0, z = 0, w = 0;
};

struct Quaternion {
  float x = 0, y = 0, z = 0, w = 1;
};

struct Plane {
  float a = 0, b = 0, c = 0, d = 0;
};

struct Matrix {
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

  static Matrix Identity() { return Matrix{}; }
  float* operator[](int row) { return m[row]; }
  const float* operator[](int row) const { return m[row]; }
  Matrix operator*(const Matrix& o) const;
  bool operator==(const Matrix& o) const;
};

inline float Vec3Dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Vec3Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Vec3Length(const Vec3& v) {
  return std::sqrt(Vec3Dot(v, v));
}
inline float Vec3LengthSq(const Vec3& v) {
  return Vec3Dot(v, v);
}
// Like D3DXVec3Normalize: a zero vector stays zero.
Vec3 Vec3Normalize(const Vec3& v);
// (x, y, z, 1) * m, divided by the resulting w.
Vec3 Vec3TransformCoord(const Vec3& v, const Matrix& m);
// (x, y, z, 0) * m: direction vectors, no translation.
Vec3 Vec3TransformNormal(const Vec3& v, const Matrix& m);
Vec4 Vec4Transform(const Vec4& v, const Matrix& m);

Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
Matrix MatrixTranspose(const Matrix& m);
Matrix MatrixTranslation(float x, float y, float z);
Matrix MatrixScaling(float x, float y, float z);
Matrix MatrixRotationX(float radians);
Matrix MatrixRotationY(float radians);
Matrix MatrixRotationZ(float radians);
Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);
Matrix MatrixRotationQuaternion(const Quaternion& q);
// Inverse of a general 4x4 matrix. Returns false (and leaves *out alone) when
// the matrix is singular; the determinant is written when asked for.
bool MatrixInverse(Matrix* out, float* determinant, const Matrix& m);
Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up);
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear,
                              float zFar);
// D3DXMatrixTransformation: any of the pointer arguments may be null, meaning
// no scaling centre, no scaling rotation, unit scaling, no rotation centre,
// no rotation and no translation.
Matrix MatrixTransformation(const Vec3* scalingCenter, const Quaternion* scalingRotation,
                            const Vec3* scaling, const Vec3* rotationCenter,
                            const Quaternion* rotation, const Vec3* translation);

Quaternion QuaternionRotationYawPitchRoll(float yaw, float pitch, float roll);

Plane PlaneNormalize(const Plane& p);
// (a, b, c, d) * m; like D3DXPlaneTransform the caller passes the inverse
// transpose of the point transform.
Plane PlaneTransform(const Plane& p, const Matrix& m);
inline float PlaneDotCoord(const Plane& p, const Vec3& v) {
  return p.a * v.x + p.b * v.y + p.c * v.z + p.d;
}

// The quadratic ease-out the game uses for flips, lifts, the camera and effects:
// start + change * u * (2 - u) with u = t / duration.
inline float EaseOut(float change, float start, float duration, float t) {
  const float u = t / duration;
  return start - change * u * (u - 2.0f);
}
