// The game's own trigonometry: as accurate as the C library's (so nothing in
// the game moves differently by more than rounding), with the C library's
// signs, quadrants and special values. That it gives the same bits on Linux
// and Windows is what the replays verified under Wine show.
#include "base/det_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Distance in units of the last place between two doubles of the same sign.
int64_t UlpsApart(double a, double b) {
  int64_t ia, ib;
  std::memcpy(&ia, &a, 8);
  std::memcpy(&ib, &b, 8);
  if (ia < 0) ia = std::numeric_limits<int64_t>::min() - ia;
  if (ib < 0) ib = std::numeric_limits<int64_t>::min() - ib;
  return ia > ib ? ia - ib : ib - ia;
}

// Long double (80-bit here) as the better answer to measure both against.
void ExpectCloseToTheTruth(double got, long double truth, const char* what, double x) {
  const double err = std::fabs(static_cast<double>(got - truth));
  const double scale = std::max(std::fabs(static_cast<double>(truth)), 1e-300);
  EXPECT_LE(err / scale, 4e-16) << what << "(" << x << ") = " << got << ", truth "
                                << static_cast<double>(truth);
}

}  // namespace

TEST(DetMath, SineCosineAndTangentAreAccurateOverTheGamesRange) {
  // Angles the game uses: radians of a few turns either way, in fine steps,
  // and the large values a long-running timer can reach.
  for (int i = -200000; i <= 200000; ++i) {
    const double x = i * 0.000314159 + (i % 7) * 1e-9;
    ExpectCloseToTheTruth(dmath::Sin(x), std::sin(static_cast<long double>(x)), "Sin", x);
    ExpectCloseToTheTruth(dmath::Cos(x), std::cos(static_cast<long double>(x)), "Cos", x);
    if (::testing::Test::HasFailure()) return;
  }
  for (double x : {1000.5, 12345.678, -98765.4321, 314159.0})
    ExpectCloseToTheTruth(dmath::Sin(x), std::sin(static_cast<long double>(x)), "Sin", x);
  for (double x : {0.1, 0.7, 1.2, 1.5, -1.5, 3.0})
    EXPECT_NEAR(dmath::Tan(x), std::tan(x), 4e-16 * std::fabs(std::tan(x)) + 1e-300) << x;
}

TEST(DetMath, FloatResultsAreTheCorrectlyRoundedOnesNearlyAlways) {
  // The game calls the float forms; compare with the long double answer
  // rounded to float. A double error of 1e-16 can only flip a float whose
  // exact value lies within that of a halfway point.
  int off = 0, total = 0;
  for (int i = -100000; i <= 100000; ++i) {
    const float x = static_cast<float>(i) * 0.00031f;
    const float s = dmath::Sin(x), c = dmath::Cos(x);
    off += s != static_cast<float>(std::sin(static_cast<long double>(x)));
    off += c != static_cast<float>(std::cos(static_cast<long double>(x)));
    total += 2;
  }
  EXPECT_LT(off, total / 10000) << off << " of " << total;
}

TEST(DetMath, ExactValuesSignsAndSymmetry) {
  EXPECT_EQ(dmath::Sin(0.0), 0.0);
  EXPECT_TRUE(std::signbit(dmath::Sin(-0.0)));
  EXPECT_EQ(dmath::Cos(0.0), 1.0);
  EXPECT_EQ(dmath::Sin(0.0f), 0.0f);
  EXPECT_EQ(dmath::Cos(0.0f), 1.0f);
  for (double x : {0.3, 1.0, 2.5, 4.0, 10.0, 123.4}) {
    EXPECT_EQ(dmath::Sin(-x), -dmath::Sin(x)) << x;
    EXPECT_EQ(dmath::Cos(-x), dmath::Cos(x)) << x;
  }
  // Quarter turns land on the right sides.
  EXPECT_NEAR(dmath::Sin(M_PI / 2), 1.0, 1e-16);
  EXPECT_NEAR(dmath::Cos(M_PI), -1.0, 1e-16);
  EXPECT_NEAR(dmath::Sin(3 * M_PI / 2), -1.0, 1e-16);
  EXPECT_LT(std::fabs(dmath::Sin(M_PI)), 2e-16);
  EXPECT_TRUE(std::isnan(dmath::Sin(std::numeric_limits<double>::infinity())));
  EXPECT_TRUE(std::isnan(dmath::Cos(std::nan(""))));
}

TEST(DetMath, ArcTangentMatchesTheLibraryInEveryQuadrantAndEdge) {
  for (int i = -300; i <= 300; ++i) {
    for (int j = -300; j <= 300; j += 7) {
      const double y = i * 0.37, x = j * 0.41 + (j == 0 ? 0.0 : 1e-3);
      const double got = dmath::Atan2(y, x), want = std::atan2(y, x);
      ASSERT_LE(UlpsApart(got, want), 2)
          << "Atan2(" << y << ", " << x << ") = " << got << ", the library says " << want;
    }
  }
  // Small, large and between the breakpoints of the reduction.
  for (double t : {1e-12, 1e-9, 0.2, 0.4375, 0.6875, 1.0, 1.1875, 2.4375, 1e3, 1e20, 1e300})
    EXPECT_LE(UlpsApart(dmath::Atan2(t, 1.0), std::atan2(t, 1.0)), 2) << t;
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double y, x;
  } edges[] = {{0.0, 1.0},  {-0.0, 1.0}, {0.0, -1.0},  {-0.0, -1.0}, {0.0, 0.0},
               {-0.0, 0.0}, {0.0, -0.0}, {-0.0, -0.0}, {1.0, 0.0},   {-1.0, 0.0},
               {inf, inf},  {-inf, inf}, {inf, -inf},  {-inf, -inf}, {1.0, inf},
               {-1.0, inf}, {1.0, -inf}, {-1.0, -inf}, {inf, 1.0},   {-inf, 1.0}};
  for (const auto& e : edges) {
    const double got = dmath::Atan2(e.y, e.x), want = std::atan2(e.y, e.x);
    EXPECT_EQ(got, want) << "Atan2(" << e.y << ", " << e.x << ")";
    EXPECT_EQ(std::signbit(got), std::signbit(want)) << "Atan2(" << e.y << ", " << e.x << ")";
  }
  EXPECT_TRUE(std::isnan(dmath::Atan2(std::nan(""), 1.0)));
  EXPECT_TRUE(std::isnan(dmath::Atan2(1.0f, std::nanf(""))));
}
