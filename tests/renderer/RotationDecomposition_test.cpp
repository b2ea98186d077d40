#include "renderer/RotationDecomposition.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

namespace {

using Q = std::array<double, 4>;

Q Product(const Q& a, const Q& b) {
  return {a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3], a[0] * b[1] + a[1] * b[0] + a[2] * b[3] - a[3] * b[2],
          a[0] * b[2] + a[2] * b[0] + a[3] * b[1] - a[1] * b[3], a[0] * b[3] + a[3] * b[0] + a[1] * b[2] - a[2] * b[1]};
}

Q FromAxis(const double axis[3], double angle) {
  return {std::cos(angle / 2), std::sin(angle / 2) * axis[0], std::sin(angle / 2) * axis[1],
          std::sin(angle / 2) * axis[2]};
}

// Column k is p e_k q.
void FillMatrix4(double m[16], const Q& p, const Q& q) {
  for (int k = 0; k < 4; ++k) {
    Q e{};
    e[size_t(k)] = 1;
    const Q column = Product(Product(p, e), q);
    for (int row = 0; row < 4; ++row) m[row * 4 + k] = column[size_t(row)];
  }
}

// The views' form: the transpose of the textbook rotation.
void FillMatrix3(double m[9], const double a[3], double angle) {
  const double s = std::sin(angle), c = std::cos(angle), t = 1 - c;
  const double r[9] = {t * a[0] * a[0] + c,        t * a[0] * a[1] + s * a[2], t * a[0] * a[2] - s * a[1],
                       t * a[0] * a[1] - s * a[2], t * a[1] * a[1] + c,        t * a[1] * a[2] + s * a[0],
                       t * a[0] * a[2] + s * a[1], t * a[1] * a[2] - s * a[0], t * a[2] * a[2] + c};
  std::copy(r, r + 9, m);
}

void RandomAxis(std::mt19937& random, double axis[3]) {
  std::normal_distribution<double> normal;
  for (int i = 0; i < 3; ++i) axis[i] = normal(random);
  const double length = std::hypot(axis[0], axis[1], axis[2]);
  for (int i = 0; i < 3; ++i) axis[i] /= length;
}

TEST(RotationDecomposition, ThreeDRoundTripsAndSpecialCases) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 200; ++trial) {
    double axis[3], m[9], found[3], angle = 0;
    RandomAxis(random, axis);
    const double turn = std::uniform_real_distribution<double>(0.01, 3.14159)(random);
    FillMatrix3(m, axis, turn);
    EXPECT_TRUE(IsRotationMatrix(m, 3));
    GenerateAxisAndAnglefromRotationMatrix(found, &angle, m);
    EXPECT_NEAR(angle, turn, 1e-9);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(found[i], axis[i], 1e-6);
  }
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  double found[3], angle = 1;
  GenerateAxisAndAnglefromRotationMatrix(found, &angle, identity);
  EXPECT_EQ(angle, 0);
  EXPECT_EQ(found[2], -1);
  // A half turn about (0, 0.6, 0.8): finite, unit axis up to sign.
  const double axis[3] = {0, 0.6, 0.8};
  double half[9];
  FillMatrix3(half, axis, M_PI);
  GenerateAxisAndAnglefromRotationMatrix(found, &angle, half);
  EXPECT_NEAR(angle, M_PI, 1e-7);  // acos near -1 keeps half the digits
  EXPECT_NEAR(std::fabs(found[1]), 0.6, 1e-9);
  EXPECT_NEAR(std::fabs(found[2]), 0.8, 1e-9);
  const double sheared[9] = {1, 0.5, 0, 0, 1, 0, 0, 0, 1};
  EXPECT_FALSE(IsRotationMatrix(sheared, 3));
  const double mirror[9] = {-1, 0, 0, 0, 1, 0, 0, 0, 1};
  EXPECT_FALSE(IsRotationMatrix(mirror, 3));
}

TEST(RotationDecomposition, FourDRecoversTheDoubleQuaternion) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 200; ++trial) {
    double a1[3], a2[3], m[16];
    RandomAxis(random, a1);
    RandomAxis(random, a2);
    const double t1 = std::uniform_real_distribution<double>(0.01, 3.1)(random);
    const double t2 = std::uniform_real_distribution<double>(0.01, 6.2)(random);
    FillMatrix4(m, FromAxis(a1, t1), FromAxis(a2, t2));
    EXPECT_TRUE(IsRotationMatrix(m, 4));
    double b1[3], b2[3], u1 = 0, u2 = 0;
    GenerateDoubleQuaternionfromRotation(b1, &u1, b2, &u2, m);
    EXPECT_NEAR(u1, t1, 1e-7);
    EXPECT_NEAR(u2, t2, 1e-7);
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(b1[i], a1[i], 1e-6);
      EXPECT_NEAR(b2[i], a2[i], 1e-6);
    }
  }
  // The identity and a rotation whose q has no scalar part stay finite and
  // still reproduce their matrices.
  const double z[3] = {0, 0, 1};
  for (const auto& [t1, t2] : {std::pair{0.0, 0.0}, std::pair{1.0, M_PI}, std::pair{0.0, 1.0}}) {
    double m[16], again[16], b1[3], b2[3], u1 = 0, u2 = 0;
    FillMatrix4(m, FromAxis(z, t1), FromAxis(z, t2));
    GenerateDoubleQuaternionfromRotation(b1, &u1, b2, &u2, m);
    for (double v : {b1[0], b1[1], b1[2], b2[0], b2[1], b2[2], u1, u2}) EXPECT_TRUE(std::isfinite(v));
    FillMatrix4(again, FromAxis(b1, u1), FromAxis(b2, u2));
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(again[i], m[i], 1e-12);
  }
}

}  // namespace
