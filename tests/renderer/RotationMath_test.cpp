#include "renderer/RotationMath.h"

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <Eigen/Geometry>
#include <cmath>
#include <fstream>
#include <random>

#include "renderer/RotationDecomposition.h"

namespace {

using Mat3 = Eigen::Matrix<double, 3, 3, Eigen::RowMajor>;
using Mat4 = Eigen::Matrix<double, 4, 4, Eigen::RowMajor>;

Mat3 AsEigen(const Matrix3& m) { return Eigen::Map<const Mat3>(m); }
Mat4 AsEigen(const Matrix4& m) { return Eigen::Map<const Mat4>(m); }

AVector RandomUnit(std::mt19937& random) {
  std::normal_distribution<double> normal;
  const Eigen::Vector3d v = Eigen::Vector3d(normal(random), normal(random), normal(random)).normalized();
  return {v.x(), v.y(), v.z()};
}

Eigen::Quaterniond AsQuaternion(const Eigen::Vector4d& v) { return {v[0], v[1], v[2], v[3]}; }

TEST(RotationMath, AxisAngleIsTheTransposedTextbookRotation) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> angles(-7, 7);
  for (int trial = 0; trial < 500; ++trial) {
    const AVector axis = RandomUnit(random);
    const double angle = angles(random);
    Matrix3 m;
    GenerateRotationMatrixFromAxisAndAngle(m, axis, angle);
    const Mat3 expected = Eigen::AngleAxisd(angle, Eigen::Vector3d(axis.x, axis.y, axis.z)).toRotationMatrix();
    EXPECT_LT((AsEigen(m) - expected.transpose()).cwiseAbs().maxCoeff(), 1e-14);
    // A longer axis means the same rotation.
    Matrix3 scaled;
    GenerateRotationMatrixFromAxisAndAngle(scaled, 5.5 * axis, angle);
    EXPECT_LT((AsEigen(scaled) - AsEigen(m)).cwiseAbs().maxCoeff(), 1e-14);
    const AVector v = RandomUnit(random);
    const AVector turned = v.RotateAroundAxis(axis, angle);
    const AVector back = InverseRotate(m, turned);
    EXPECT_NEAR(back.x, v.x, 1e-14);
    EXPECT_NEAR(back.y, v.y, 1e-14);
    EXPECT_NEAR(back.z, v.z, 1e-14);
  }
  // Without an axis there is no rotation, and nothing shrinks.
  Matrix3 identity, m;
  SetIdentityMatrix(identity);
  for (AVector axis : {AVector{0, 0, 0}, AVector{NAN, 0, 1}, AVector{INFINITY, 0, 0}, AVector{1e-320, 0, 0}}) {
    GenerateRotationMatrixFromAxisAndAngle(m, axis, 1.0);
    const bool tiny = axis.x == 1e-320;
    if (tiny) {  // a subnormal axis still has a direction
      EXPECT_NEAR(m[4], std::cos(1.0), 1e-15);
    } else {
      EXPECT_TRUE(EqualMatrix(m, identity));
    }
  }
}

TEST(RotationMath, ProductsAllowTheResultToBeAnOperand) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> value(-2, 2);
  Matrix3 a, b, c;
  Matrix4 a4, b4, c4;
  for (double& x : a) x = value(random);
  for (double& x : b) x = value(random);
  for (double& x : a4) x = value(random);
  for (double& x : b4) x = value(random);
  const Mat3 expected = AsEigen(a) * AsEigen(b);
  const Mat4 expected4 = AsEigen(a4) * AsEigen(b4);
  MultiplyMatrix(a, b, c);
  EXPECT_LT((AsEigen(c) - expected).cwiseAbs().maxCoeff(), 1e-14);
  CopyMatrix(a, c);
  MultiplyMatrix(c, b, c);
  EXPECT_LT((AsEigen(c) - expected).cwiseAbs().maxCoeff(), 1e-14);
  CopyMatrix(b, c);
  MultiplyMatrix(a, c, c);
  EXPECT_LT((AsEigen(c) - expected).cwiseAbs().maxCoeff(), 1e-14);
  CopyMatrix(a4, c4);
  Multiply(c4, b4, c4);
  EXPECT_LT((AsEigen(c4) - expected4).cwiseAbs().maxCoeff(), 1e-14);
  CopyMatrix(b4, c4);
  Multiply(a4, c4, c4);
  EXPECT_LT((AsEigen(c4) - expected4).cwiseAbs().maxCoeff(), 1e-14);
  const Eigen::Vector3d v(0.3, -1.2, 2.5);
  const AVector r = Rotate(a, {v.x(), v.y(), v.z()});
  EXPECT_LT((Eigen::Vector3d(r.x, r.y, r.z) - AsEigen(a) * v).cwiseAbs().maxCoeff(), 1e-14);
  const AVector t = InverseRotate(a, {v.x(), v.y(), v.z()});
  EXPECT_LT((Eigen::Vector3d(t.x, t.y, t.z) - AsEigen(a).transpose() * v).cwiseAbs().maxCoeff(), 1e-14);
}

TEST(RotationMath, EqualMatrixToleratesEightUnitsOfTheLastPlace) {
  Matrix3 a, b;
  SetIdentityMatrix(a);
  CopyMatrix(a, b);
  b[4] += 8 * std::ldexp(1.0, -52);
  EXPECT_TRUE(EqualMatrix(a, b));
  b[4] = std::nextafter(b[4], 2.0);
  EXPECT_FALSE(EqualMatrix(a, b));
  Matrix4 c, d;
  SetIdentityMatrix(c);
  CopyMatrix(c, d);
  EXPECT_TRUE(EqualMatrix(c, d));
  d[15] = NAN;
  EXPECT_FALSE(EqualMatrix(c, d));
}

TEST(RotationMath, Cross4IsTheDeterminantForm) {
  std::mt19937 random(9);
  std::uniform_real_distribution<double> value(-3, 3);
  for (int trial = 0; trial < 100; ++trial) {
    Eigen::Vector4d rows[4];
    for (auto& row : rows)
      for (int i = 0; i < 4; ++i) row[i] = value(random);
    const A4Vector x =
        Cross4({rows[1][0], rows[1][1], rows[1][2], rows[1][3]}, {rows[2][0], rows[2][1], rows[2][2], rows[2][3]},
               {rows[3][0], rows[3][1], rows[3][2], rows[3][3]});
    Mat4 m;
    for (int r = 0; r < 4; ++r) m.row(r) = rows[r];
    EXPECT_NEAR(x.a * rows[0][0] + x.b * rows[0][1] + x.c * rows[0][2] + x.d * rows[0][3], m.determinant(), 1e-11);
  }
}

TEST(RotationMath, DoubleQuaternionIsPVQ) {
  std::mt19937 random(13);
  std::uniform_real_distribution<double> angles(0.01, 6.2);
  for (int trial = 0; trial < 200; ++trial) {
    const AVector a1 = RandomUnit(random), a2 = RandomUnit(random);
    const double t1 = angles(random), t2 = angles(random);
    Matrix4 m;
    GenerateMatrixfromDoubleQuaternion(m, a1, t1, a2, t2);
    const Eigen::Quaterniond p(Eigen::AngleAxisd(t1, Eigen::Vector3d(a1.x, a1.y, a1.z)));
    const Eigen::Quaterniond q(Eigen::AngleAxisd(t2, Eigen::Vector3d(a2.x, a2.y, a2.z)));
    for (int k = 0; k < 4; ++k) {
      const Eigen::Quaterniond image = p * AsQuaternion(Eigen::Vector4d::Unit(k)) * q;
      const Eigen::Vector4d expected(image.w(), image.x(), image.y(), image.z());
      EXPECT_LT((AsEigen(m).col(k) - expected).cwiseAbs().maxCoeff(), 1e-14);
    }
    // And back: the decomposition reproduces the matrix.
    AVector b1, b2;
    double u1 = 0, u2 = 0;
    GenerateDoubleQuaternionfromRotation(&b1, &u1, &b2, &u2, m);
    Matrix4 again;
    GenerateMatrixfromDoubleQuaternion(again, b1, u1, b2, u2);
    EXPECT_LT((AsEigen(again) - AsEigen(m)).cwiseAbs().maxCoeff(), 1e-12);
  }
}

TEST(RotationMath, DecompositionOfANonFiniteMatrixIsNoRotation) {
  Matrix4 m;
  SetIdentityMatrix(m);
  for (double bad : {NAN, INFINITY}) {
    m[6] = bad;
    AVector b1{9, 9, 9}, b2{9, 9, 9};
    double u1 = 9, u2 = 9;
    GenerateDoubleQuaternionfromRotation(&b1, &u1, &b2, &u2, m);
    for (double v : {b1.x, b1.y, b1.z, b2.x, b2.y, b2.z, u1, u2}) EXPECT_EQ(v, 0);
  }
  Matrix3 n = {NAN, 0, 0, 0, 1, 0, 0, 0, 1};
  AVector axis;
  double angle = 1;
  GenerateAxisAndAnglefromRotationMatrix(&axis, &angle, n);
  EXPECT_EQ(angle, 0);
  EXPECT_EQ(axis.z, -1);
}

TEST(RotationMath, PointsOnTheSphere) {
  AVector v;
  PointOnUnitSphere({100, 200}, {100, 200}, 50, &v);
  EXPECT_EQ(v.x, 0);
  EXPECT_EQ(v.y, 0);
  EXPECT_EQ(v.z, 1);
  // Screen down is sphere down.
  PointOnUnitSphere({130, 240}, {100, 200}, 50, &v);
  EXPECT_DOUBLE_EQ(v.x, 0.8);
  EXPECT_DOUBLE_EQ(v.y, -0.6);
  EXPECT_EQ(v.z, 0);
  PointOnUnitSphere({100, 400}, {100, 200}, 50, &v);
  EXPECT_DOUBLE_EQ(v.x, 1);
  EXPECT_EQ(v.z, 0);
  PointOnUnitSphere({110, 210}, {100, 200}, 0, &v);
  EXPECT_EQ(v.z, 1);
}

// Fixed sizes: a dynamic size would compile Eigen's general product and
// LU factorisation, for matrices of three and four rows.
template <int N>
bool IsProperRotation(const double* m, double tolerance) {
  using Square = Eigen::Matrix<double, N, N, Eigen::RowMajor>;
  const Square r = Eigen::Map<const Square>(m);
  return (r * r.transpose() - Square::Identity()).cwiseAbs().maxCoeff() < tolerance &&
         std::fabs(r.determinant() - 1) < tolerance;
}

TEST(RotationMath, VirtualSphereSteps) {
  const MPoint centre{200, 300};
  Matrix3 m, identity;
  SetIdentityMatrix(identity);
  VirtualSphere(centre, centre, centre, 100, m);
  EXPECT_TRUE(EqualMatrix(m, identity));
  // Opposite rim points: a half turn, never the mirror -I.
  VirtualSphere({200, 450}, {200, 150}, centre, 100, m);
  EXPECT_TRUE(IsProperRotation<3>(m, 1e-15));
  EXPECT_NEAR(m[0] + m[4] + m[8], -1, 1e-15);
  // No radius, no turn.
  VirtualSphere({210, 320}, {200, 300}, centre, 0, m);
  EXPECT_TRUE(EqualMatrix(m, identity));
  // A small step right turns about the view frame's up axis (index 2).
  VirtualSphere({200, 310}, {200, 300}, centre, 100, m);
  EXPECT_NEAR(m[8], 1, 1e-15);
  EXPECT_NEAR(m[1], std::sin(std::asin(0.1)), 1e-15);

  Matrix3 b;
  VirtualSphere({180, 330}, {205, 290}, centre, 100, b);
  Matrix4 four;
  VirtualSphere({180, 330}, {205, 290}, centre, 100, four, kRotate4DXYZ);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(four[i * 4 + j], b[i * 3 + j]);
  EXPECT_EQ(four[15], 1);
  VirtualSphere({180, 330}, {205, 290}, centre, 100, four, kRotate4DYZW);
  const int place[3] = {3, 1, 2};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(four[place[i] * 4 + place[j]], b[i * 3 + j]);
  EXPECT_EQ(four[0], 1);
  EXPECT_EQ(four[1], 0);
  EXPECT_EQ(four[4], 0);
  four[5] = 42;
  VirtualSphere({180, 330}, {205, 290}, centre, 100, four, MouseAction4D(3));
  EXPECT_EQ(four[5], 42);
}

// Many drag steps, composed as the views do, stay rotations.
TEST(RotationMath, DraggingKeepsARotation) {
  std::mt19937 random(17);
  std::uniform_int_distribution<int> coordinate(-150, 150);
  const MPoint centre{0, 0};
  Matrix3 r;
  Matrix4 r4;
  GetDefaultView(r);
  SetIdentityMatrix(r4);
  MPoint previous{0, 0};
  for (int step = 0; step < 10000; ++step) {
    MPoint now{int16_t(coordinate(random)), int16_t(coordinate(random))};
    long radius = 100;
    if (step % 97 == 0) now = {int16_t(-previous.v), int16_t(-previous.h)};  // antipodal
    if (step % 89 == 0) radius = 0;
    Matrix3 m;
    VirtualSphere(now, previous, centre, radius, m);
    RotationMatrixToBodyCoordinates(r, m);
    MultiplyMatrix(m, r, r);
    Matrix4 m4;
    VirtualSphere(now, previous, centre, radius, m4, step % 2 ? kRotate4DXYZ : kRotate4DYZW);
    RotationMatrixToBodyCoordinates(r4, m4);
    Multiply(m4, r4, r4);
    previous = now;
  }
  EXPECT_TRUE(IsProperRotation<3>(r, 1e-12));
  EXPECT_TRUE(IsProperRotation<4>(r4, 1e-12));
}

TEST(RotationMath, BodyCoordinatesConjugateByTheOrientation) {
  std::mt19937 random(19);
  Matrix3 r, m;
  GenerateRotationMatrixFromAxisAndAngle(r, RandomUnit(random), 0.7);
  GenerateRotationMatrixFromAxisAndAngle(m, RandomUnit(random), 0.4);
  const Mat3 e = AsEigen(r) * AsEigen(m) * AsEigen(r).transpose();
  RotationMatrixToBodyCoordinates(r, m);
  EXPECT_LT((AsEigen(m) - e).cwiseAbs().maxCoeff(), 1e-14);
  Matrix4 r4, m4;
  GenerateMatrixfromDoubleQuaternion(r4, RandomUnit(random), 0.5, RandomUnit(random), 1.1);
  GenerateMatrixfromDoubleQuaternion(m4, RandomUnit(random), 0.2, RandomUnit(random), 0.3);
  const Mat4 e4 = AsEigen(r4) * AsEigen(m4) * AsEigen(r4).transpose();
  RotationMatrixToBodyCoordinates(r4, m4);
  EXPECT_LT((AsEigen(m4) - e4).cwiseAbs().maxCoeff(), 1e-14);
}

TEST(RotationMath, DefaultViewMatchesHighPrecision) {
  std::ifstream in(ZL_TEST_DATA_DIR "/renderer/default_view.txt");
  ASSERT_TRUE(in);
  Matrix3 m;
  GetDefaultView(m);
  for (int i = 0; i < 9; ++i) {
    double expected = 0;
    in >> expected;
    EXPECT_NEAR(m[i], expected, 2e-16) << i;
  }
}

}  // namespace
