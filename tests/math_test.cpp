#include <gtest/gtest.h>

#include "render/math.h"

TEST(Math, Builds) { EXPECT_TRUE(Matrix::Identity() == Matrix{}); }
