#include "base/math.h"

#include <cstring>

#include "base/det_math.h"

Matrix Matrix::operator*(const Matrix& o) const {
  return MatrixMultiply(*this, o);
}

bool Matrix::operator==(const Matrix& o) const {
  return std::memcmp(m, o.m, sizeof m) == 0;
}

Vec3 Vec3Normalize(const Vec3& v) {
  const float len = Vec3Length(v);
  if (len == 0.0f) return {0, 0, 0};
  return {v.x / len, v.y / len, v.z / len};
}

Vec4 Vec4Transform(const Vec4& v, const Matrix& m) {
  return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0] + v.w * m[3][0],
          v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1] + v.w * m[3][1],
          v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2] + v.w * m[3][2],
          v.x * m[0][3] + v.y * m[1][3] + v.z * m[2][3] + v.w * m[3][3]};
}

Vec3 Vec3TransformCoord(const Vec3& v, const Matrix& m) {
  const Vec4 r = Vec4Transform({v.x, v.y, v.z, 1.0f}, m);
  const float inv = r.w != 0.0f ? 1.0f / r.w : 1.0f;
  return {r.x * inv, r.y * inv, r.z * inv};
}

Vec3 Vec3TransformNormal(const Vec3& v, const Matrix& m) {
  return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
          v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
          v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
  Matrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
    }
  }
  return r;
}

Matrix MatrixTranspose(const Matrix& m) {
  Matrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r[i][j] = m[j][i];
  return r;
}

Matrix MatrixTranslation(float x, float y, float z) {
  Matrix r;
  r[3][0] = x;
  r[3][1] = y;
  r[3][2] = z;
  return r;
}

Matrix MatrixScaling(float x, float y, float z) {
  Matrix r;
  r[0][0] = x;
  r[1][1] = y;
  r[2][2] = z;
  return r;
}

Matrix MatrixRotationX(float a) {
  const float c = dmath::Cos(a), s = dmath::Sin(a);
  Matrix r;
  r[1][1] = c;
  r[1][2] = s;
  r[2][1] = -s;
  r[2][2] = c;
  return r;
}

Matrix MatrixRotationY(float a) {
  const float c = dmath::Cos(a), s = dmath::Sin(a);
  Matrix r;
  r[0][0] = c;
  r[0][2] = -s;
  r[2][0] = s;
  r[2][2] = c;
  return r;
}

Matrix MatrixRotationZ(float a) {
  const float c = dmath::Cos(a), s = dmath::Sin(a);
  Matrix r;
  r[0][0] = c;
  r[0][1] = s;
  r[1][0] = -s;
  r[1][1] = c;
  return r;
}

Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll) {
  return MatrixRotationZ(roll) * MatrixRotationX(pitch) * MatrixRotationY(yaw);
}

Matrix MatrixRotationQuaternion(const Quaternion& q) {
  Matrix r;
  r[0][0] = 1.0f - 2.0f * (q.y * q.y + q.z * q.z);
  r[0][1] = 2.0f * (q.x * q.y + q.z * q.w);
  r[0][2] = 2.0f * (q.x * q.z - q.y * q.w);
  r[1][0] = 2.0f * (q.x * q.y - q.z * q.w);
  r[1][1] = 1.0f - 2.0f * (q.x * q.x + q.z * q.z);
  r[1][2] = 2.0f * (q.y * q.z + q.x * q.w);
  r[2][0] = 2.0f * (q.x * q.z + q.y * q.w);
  r[2][1] = 2.0f * (q.y * q.z - q.x * q.w);
  r[2][2] = 1.0f - 2.0f * (q.x * q.x + q.y * q.y);
  return r;
}

bool MatrixInverse(Matrix* out, float* determinant, const Matrix& m) {
  // Cofactor expansion in double precision for accuracy on near-singular input.
  double a[16];
  for (int i = 0; i < 16; ++i) a[i] = m.m[i / 4][i % 4];
  double inv[16];
  inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
           a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
  inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
           a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
  inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
           a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
  inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
            a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
  inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
           a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
  inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
           a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
  inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
           a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
  inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
            a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
  inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
           a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
  inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
           a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
  inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
            a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
  inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
            a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
  inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
           a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
  inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
           a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
  inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
            a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
  inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
            a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
  const double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
  if (determinant) *determinant = static_cast<float>(det);
  if (det == 0.0) return false;
  const double invDet = 1.0 / det;
  for (int i = 0; i < 16; ++i) out->m[i / 4][i % 4] = static_cast<float>(inv[i] * invDet);
  return true;
}

Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up) {
  const Vec3 z = Vec3Normalize(at - eye);
  const Vec3 x = Vec3Normalize(Vec3Cross(up, z));
  const Vec3 y = Vec3Cross(z, x);
  Matrix r;
  r[0][0] = x.x;
  r[0][1] = y.x;
  r[0][2] = z.x;
  r[0][3] = 0;
  r[1][0] = x.y;
  r[1][1] = y.y;
  r[1][2] = z.y;
  r[1][3] = 0;
  r[2][0] = x.z;
  r[2][1] = y.z;
  r[2][2] = z.z;
  r[2][3] = 0;
  r[3][0] = -Vec3Dot(x, eye);
  r[3][1] = -Vec3Dot(y, eye);
  r[3][2] = -Vec3Dot(z, eye);
  r[3][3] = 1;
  return r;
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
  const float yScale = 1.0f / dmath::Tan(fovY / 2.0f);
  const float xScale = yScale / aspect;
  Matrix r;
  r[0][0] = xScale;
  r[1][1] = yScale;
  r[2][2] = zFar / (zFar - zNear);
  r[2][3] = 1.0f;
  r[3][2] = -zNear * zFar / (zFar - zNear);
  r[3][3] = 0.0f;
  return r;
}

Matrix MatrixOrthoOffCenterLH(float l, float r, float b, float t, float zn, float zf) {
  Matrix m;
  m[0][0] = 2.0f / (r - l);
  m[1][1] = 2.0f / (t - b);
  m[2][2] = 1.0f / (zf - zn);
  m[3][0] = (l + r) / (l - r);
  m[3][1] = (t + b) / (b - t);
  m[3][2] = zn / (zn - zf);
  return m;
}

Matrix MatrixTransformation(const Vec3* scalingCenter, const Quaternion* scalingRotation,
                            const Vec3* scaling, const Vec3* rotationCenter,
                            const Quaternion* rotation, const Vec3* translation) {
  // M = Msc^-1 * Msr^-1 * Ms * Msr * Msc * Mrc^-1 * Mr * Mrc * Mt
  const Vec3 sc = scalingCenter ? *scalingCenter : Vec3{};
  const Vec3 rc = rotationCenter ? *rotationCenter : Vec3{};
  Matrix m = MatrixTranslation(-sc.x, -sc.y, -sc.z);
  if (scalingRotation) {
    const Matrix msr = MatrixRotationQuaternion(*scalingRotation);
    m = m * MatrixTranspose(msr);  // inverse of a pure rotation
    if (scaling) m = m * MatrixScaling(scaling->x, scaling->y, scaling->z);
    m = m * msr;
  } else if (scaling) {
    m = m * MatrixScaling(scaling->x, scaling->y, scaling->z);
  }
  m = m * MatrixTranslation(sc.x, sc.y, sc.z);
  m = m * MatrixTranslation(-rc.x, -rc.y, -rc.z);
  if (rotation) m = m * MatrixRotationQuaternion(*rotation);
  m = m * MatrixTranslation(rc.x, rc.y, rc.z);
  if (translation) m = m * MatrixTranslation(translation->x, translation->y, translation->z);
  return m;
}

Quaternion QuaternionRotationYawPitchRoll(float yaw, float pitch, float roll) {
  const float sy = dmath::Sin(yaw / 2), cy = dmath::Cos(yaw / 2);
  const float sp = dmath::Sin(pitch / 2), cp = dmath::Cos(pitch / 2);
  const float sr = dmath::Sin(roll / 2), cr = dmath::Cos(roll / 2);
  Quaternion q;
  q.x = sy * cp * sr + cy * sp * cr;
  q.y = sy * cp * cr - cy * sp * sr;
  q.z = cy * cp * sr - sy * sp * cr;
  q.w = cy * cp * cr + sy * sp * sr;
  return q;
}

Plane PlaneNormalize(const Plane& p) {
  const float len = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
  if (len == 0.0f) return {0, 0, 0, 0};
  return {p.a / len, p.b / len, p.c / len, p.d / len};
}

Plane PlaneTransform(const Plane& p, const Matrix& m) {
  const Vec4 r = Vec4Transform({p.a, p.b, p.c, p.d}, m);
  return {r.x, r.y, r.z, r.w};
}
