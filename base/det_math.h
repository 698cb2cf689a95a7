// Sine, cosine, tangent and arc tangent that give the same bits on every
// system: the C libraries of Linux and Windows differ in the last bit of
// some results, and the game's state (and with it every replay) must not.
// Each is computed in double precision with fixed polynomials and only the
// four basic operations, which IEEE 754 rounds the same everywhere; the float
// versions round that result once. Accurate to about one unit in the last
// place of a double (so nearly always the correctly rounded float). Square
// roots need nothing of their own: IEEE 754 rounds them exactly.
#pragma once

namespace dmath {

double Sin(double x);
double Cos(double x);
double Tan(double x);
double Atan2(double y, double x);

inline float Sin(float x) {
  return static_cast<float>(Sin(static_cast<double>(x)));
}
inline float Cos(float x) {
  return static_cast<float>(Cos(static_cast<double>(x)));
}
inline float Tan(float x) {
  return static_cast<float>(Tan(static_cast<double>(x)));
}
inline float Atan2(float y, float x) {
  return static_cast<float>(Atan2(static_cast<double>(y), static_cast<double>(x)));
}

}  // namespace dmath
