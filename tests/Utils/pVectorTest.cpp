#include "Utils/pVector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

TEST(pVector, ExactEqualityAndArithmetic) {
    EXPECT_TRUE(pVector(1, 2, 3) == pVector(1, 2, 3));
    EXPECT_TRUE(pVector(1, 2, 3) != pVector(1, 2, std::nextafter(3.0f, 4.0f)));
    pVector v(1, 2, 3);
    pVector& alias = v;
    v = alias;
    EXPECT_EQ(v, pVector(1, 2, 3));
    EXPECT_EQ(v + pVector(1, 1, 1), pVector(2, 3, 4));
    EXPECT_EQ(-v, pVector(-1, -2, -3));
    EXPECT_EQ(2.0f * v, v * 2.0f);
    EXPECT_EQ(v / 2.0f, pVector(0.5f, 1, 1.5f));
    EXPECT_EQ(pVector(1, 0, 0).cross(pVector(0, 1, 0)), pVector(0, 0, 1));
    EXPECT_FLOAT_EQ(pVector(3, 4, 0).length(), 5);
    std::ostringstream out;
    out << pVector(1.5f, 2, -3);
    EXPECT_EQ(out.str(), "1.5, 2, -3");
}

TEST(pVector, MatricesAndRotation) {
    float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(pVector(1, 2, 3).matrixMultiply(identity), pVector(1, 2, 3));
    float translate[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1};
    EXPECT_EQ(pVector(1, 2, 3).matrixMultiply(translate), pVector(11, 22, 33));

    const float halfPi = static_cast<float>(M_PI / 2);
    pVector a(1, 0, 0);
    pVector copy = a.rotateAroundAxis(pVector(0, 0, 1), halfPi);
    EXPECT_NEAR(a.x, 0, 1e-6);
    EXPECT_NEAR(a.y, 1, 1e-6);
    EXPECT_EQ(copy, a);
    pVector b(0, 0, 1);
    b.rotateAroundAxis(pVector(0, 1, 0), halfPi);
    EXPECT_NEAR(b.x, 1, 1e-6);
    EXPECT_NEAR(b.z, 0, 1e-6);
}

TEST(pVectorDeathTest, BrokenConditionsAbortWithTheirLine) {
    EXPECT_DEATH(pVector(1, 1, 1) /= 0.0f,
                 "^Utils/pVector:[0-9]+: failed assertion `scaleFactor !=0'\n");
    EXPECT_DEATH(pVector().normalize(), "Utils/pVector:[0-9]+: failed assertion `len!=0'");
    EXPECT_DEATH(pVector()[3], "failed assertion `i>=0 && i < 3'");
}
