#include <gtest/gtest.h>

#include <Eigen/Dense>

#include <random>

#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/views/Transform4D.h"

namespace {

using Mat4 = Eigen::Matrix<double, 4, 4, Eigen::RowMajor>;

Mat4 AsEigen(const double* m) { return Eigen::Map<const Mat4>(m); }

// The plane turn of the view's codes 96 to 101, built apart from the view:
// value / 2 degrees in the plane (i, j), sin at (i, j).
Mat4 Turn(int i, int j, double value) {
  const double a = value * M_PI / 360;
  Mat4 p = Mat4::Identity();
  p(i, i) = p(j, j) = std::cos(a);
  p(i, j) = std::sin(a);
  p(j, i) = -std::sin(a);
  return p;
}

constexpr int kXY[2] = {0, 1}, kXZ[2] = {0, 2}, kXW[2] = {0, 3}, kYZ[2] = {1, 2}, kYW[2] = {1, 3}, kZW[2] = {2, 3};

struct Step {
  const int* plane;
  double value;
};

Mat4 Sequence(std::initializer_list<Step> steps) {
  Mat4 q = Mat4::Identity();
  for (const Step& s : steps) q = Turn(s.plane[0], s.plane[1], s.value) * q;
  return q;
}

// A rotation of no particular form: turns through random angles in each of
// the six planes, twice over (a random orthogonal matrix from a QR
// factorisation cost more to compile than the rest of the file).
Mat4 RandomRotation(std::mt19937& random) {
  std::uniform_real_distribution<double> value(0, 720);
  Mat4 q = Mat4::Identity();
  for (int round = 0; round < 2; ++round) {
    for (const int* plane : {kXY, kXZ, kXW, kYZ, kYW, kZW}) q = Turn(plane[0], plane[1], value(random)) * q;
  }
  return q;
}

MTransform4D TransformOf(const Mat4& q, double radius) {
  MTransform4D t;
  const double ranges[4][2] = {{-2, 2}, {-2, 2}, {-2, 2}, {-2, 2}};
  Matrix4 m;
  std::copy(q.data(), q.data() + 16, m);
  Setup4DTransform(t, m, ranges, radius);
  return t;
}

TEST(Transform4D, IdentityLooksAlongMinusW) {
  const MTransform4D t = TransformOf(Mat4::Identity(), 2.3);
  Mat4 expected = Mat4::Identity();
  expected(3, 3) = -1;
  EXPECT_TRUE(AsEigen(t.rows).isApprox(expected, 1e-15));
  EXPECT_EQ(Eigen::Vector4d(t.centre), Eigen::Vector4d(0, 0, 0, 50));
  AVector out;
  double colour;
  ToSpace(t, {0.5, -0.25, 1, 0}, &out, &colour);
  EXPECT_DOUBLE_EQ(out.x, 0.5);
  EXPECT_DOUBLE_EQ(out.y, -0.25);
  EXPECT_DOUBLE_EQ(out.z, 1);
  EXPECT_NEAR(colour, 0.5, 1e-12);
}

TEST(Transform4D, RowsAreAMirroredTransposeAndColourSpansTheModelSphere) {
  std::mt19937 random(53);
  const Mat4 mirror = Eigen::Vector4d(1, 1, 1, -1).asDiagonal();
  for (int n = 0; n < 50; ++n) {
    const Mat4 q = RandomRotation(random);
    const double radius = 2.3 + n * 0.1;
    const MTransform4D t = TransformOf(q, radius);
    const Mat4 r = AsEigen(t.rows);
    EXPECT_TRUE(r.isApprox(mirror * q.transpose(), 1e-12)) << n;
    EXPECT_NEAR(r.determinant(), -1, 1e-12);
    const Eigen::Vector4d eye(t.centre), inward = -eye.normalized();
    for (double side : {-1.0, 1.0}) {
      const Eigen::Vector4d p = eye + (50 + side * radius) * inward;
      AVector out;
      double colour;
      ToSpace(t, {p[0], p[1], p[2], p[3]}, &out, &colour);
      EXPECT_NEAR(colour, side < 0 ? 0 : 1, 1e-12) << n;
    }
  }
}

TEST(Transform4D, WindowIsAPerspectiveDivide) {
  const MTransform3D t = {{50, 0, 0}, {{0, 50, 0}, {0, 0, 50}, {-1, 0, 0}}};
  double x, y;
  ToWindow(t, {0, 1, 2}, &x, &y);
  EXPECT_DOUBLE_EQ(x, 1);
  EXPECT_DOUBLE_EQ(y, -2);
  ToWindow(t, {25, 1, 0}, &x, &y);
  EXPECT_DOUBLE_EQ(x, 2);
}

TEST(Transform4D, PresetsArePlaneTurnSequences) {
  A4DGraphView view;
  const Mat4 reset = AsEigen(view.Orientation());
  EXPECT_TRUE(reset.isApprox(Sequence({{kXZ, -60}, {kXY, 90}}), 1e-14));
  const Mat4 expected[4] = {
      Sequence({{kXZ, -60}, {kXY, 90}}),
      Sequence({{kZW, 540}, {kXW, -60}, {kXY, 90}}),
      Sequence({{kXZ, -60}, {kXY, 90}, {kYW, 540}, {kXZ, 180}, {kYZ, 360}}),
      Sequence({{kXZ, -60}, {kXY, 90}, {kXZ, 180}, {kZW, 360}, {kYW, -180}, {kXY, -180}}),
  };
  for (int preset = 7; preset >= 4; --preset) {
    view.SetViewParameter4D(kAttribute4DMouseAction, preset + 0.7);
    EXPECT_TRUE(AsEigen(view.Orientation()).isApprox(expected[preset - 4], 1e-12)) << preset;
    EXPECT_EQ(view.SpinSpeed(0), 0);
    EXPECT_EQ(view.MouseAction(), kRotate4DXYZ);
  }
  EXPECT_TRUE(AsEigen(view.Orientation()).isApprox(reset, 1e-14));
  view.SetViewParameter4D(kAttribute4DMouseAction, 2);
  EXPECT_EQ(view.MouseAction(), kRotate4DYZW);
  EXPECT_TRUE(AsEigen(view.Orientation()).isApprox(reset, 1e-14));
}

}  // namespace
