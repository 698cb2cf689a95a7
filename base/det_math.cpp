#include "base/det_math.h"

#include <cmath>

namespace dmath {

namespace {

// pi/2 in three parts; the first has 33 bits, so k * kPio2Hi is exact for
// every k the game can reach.
constexpr double kPio2Hi = 1.57079632673412561417e+00;
constexpr double kPio2Mid = 6.07710050630396597660e-11;
constexpr double kPio2Lo = 2.02226624871116645580e-21;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kPi = 3.14159265358979311600e+00;
constexpr double kPiLo = 1.22464679914735317720e-16;

// sin and cos on [-pi/4, pi/4] (minimax polynomials of the classic Sun
// libm).
double KernelSin(double x) {
  // Below 2^-27 sin x is x to the last bit (and keeps the sign of a zero).
  if (std::fabs(x) < 7.450580596923828e-9) return x;
  constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03,
                   S3 = -1.98412698298579493134e-04, S4 = 2.75573137070700676789e-06,
                   S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
  const double z = x * x;
  const double r = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
  return x + z * x * (S1 + z * r);
}

double KernelCos(double x) {
  constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03,
                   C3 = 2.48015872894767294178e-05, C4 = -2.75573143513906633035e-07,
                   C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;
  const double z = x * x;
  const double r = z * (C1 + z * (C2 + z * (C3 + z * (C4 + z * (C5 + z * C6)))));
  const double hz = 0.5 * z;
  const double w = 1.0 - hz;
  return w + (((1.0 - w) - hz) + z * r);
}

// x = k * pi/2 + r with |r| <= pi/4; returns k mod 4.
int Reduce(double x, double* r) {
  const double k = std::floor(x * kTwoOverPi + 0.5);
  *r = ((x - k * kPio2Hi) - k * kPio2Mid) - k * kPio2Lo;
  const double quadrant = k - 4.0 * std::floor(k * 0.25);
  return static_cast<int>(quadrant);
}

double Atan(double x) {
  static constexpr double kAtanHi[] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                                       9.82793723247329054082e-01, 1.57079632679489655800e+00};
  static constexpr double kAtanLo[] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                                       1.39033110312309984516e-17, 6.12323399573676603587e-17};
  static constexpr double aT[] = {
      3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
      -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
      6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
      -3.65315727442169155270e-02, 1.62858201153657823623e-02};
  const bool negative = std::signbit(x);
  double a = std::fabs(x);
  if (std::isnan(x)) return x;
  if (a >= 7.378697629483821e19) return negative ? -kAtanHi[3] : kAtanHi[3];  // 2^66
  if (a < 7.450580596923828e-9) return x;                                     // 2^-27
  int id;
  if (a < 0.4375) {
    id = -1;
  } else if (a < 1.1875) {
    if (a < 0.6875) {
      id = 0;
      a = (2.0 * a - 1.0) / (2.0 + a);
    } else {
      id = 1;
      a = (a - 1.0) / (a + 1.0);
    }
  } else if (a < 2.4375) {
    id = 2;
    a = (a - 1.5) / (1.0 + 1.5 * a);
  } else {
    id = 3;
    a = -1.0 / a;
  }
  const double z = a * a;
  const double w = z * z;
  const double s1 =
      z * (aT[0] + w * (aT[2] + w * (aT[4] + w * (aT[6] + w * (aT[8] + w * aT[10])))));
  const double s2 = w * (aT[1] + w * (aT[3] + w * (aT[5] + w * (aT[7] + w * aT[9]))));
  double result;
  if (id < 0) {
    result = a - a * (s1 + s2);
  } else {
    result = kAtanHi[id] - ((a * (s1 + s2) - kAtanLo[id]) - a);
  }
  return negative ? -result : result;
}

}  // namespace

double Sin(double x) {
  if (!std::isfinite(x)) return x - x;  // NaN
  if (std::fabs(x) < 0.7853981633974483) return KernelSin(x);
  double r;
  switch (Reduce(x, &r)) {
    case 0:
      return KernelSin(r);
    case 1:
      return KernelCos(r);
    case 2:
      return -KernelSin(r);
    default:
      return -KernelCos(r);
  }
}

double Cos(double x) {
  if (!std::isfinite(x)) return x - x;
  if (std::fabs(x) < 0.7853981633974483) return KernelCos(x);
  double r;
  switch (Reduce(x, &r)) {
    case 0:
      return KernelCos(r);
    case 1:
      return -KernelSin(r);
    case 2:
      return -KernelCos(r);
    default:
      return KernelSin(r);
  }
}

double Tan(double x) {
  return Sin(x) / Cos(x);
}

double Atan2(double y, double x) {
  if (std::isnan(x) || std::isnan(y)) return x + y;
  if (y == 0.0) {
    if (x > 0.0 || (x == 0.0 && !std::signbit(x))) return y;  // +-0
    return std::copysign(kPi, y);
  }
  if (x == 0.0) return std::copysign(kPi / 2, y);
  if (std::isinf(x)) {
    if (std::isinf(y)) return std::copysign(x > 0 ? kPi / 4 : 3 * kPi / 4, y);
    return x > 0 ? std::copysign(0.0, y) : std::copysign(kPi, y);
  }
  if (std::isinf(y)) return std::copysign(kPi / 2, y);
  const double z = Atan(std::fabs(y / x));
  if (x > 0.0) return std::copysign(z, y);
  return std::copysign(kPi - (z - kPiLo), y);
}

}  // namespace dmath
