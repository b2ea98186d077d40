#include "graphs3d/views/Transform4D.h"

#include <cmath>

namespace {

A4Vector Column(const Matrix4& m, int k) { return {m[k], m[4 + k], m[8 + k], m[12 + k]}; }

double Dot4(const double* row, const double* d) {
  return row[0] * d[0] + row[1] * d[1] + row[2] * d[2] + row[3] * d[3];
}

void SetRow(Matrix4& m, int row, A4Vector v) {
  const double length = std::sqrt(v.a * v.a + v.b * v.b + v.c * v.c + v.d * v.d);
  m[4 * row] = v.a / length, m[4 * row + 1] = v.b / length, m[4 * row + 2] = v.c / length,
        m[4 * row + 3] = v.d / length;
}

A4Vector Row(const Matrix4& m, int row) { return {m[4 * row], m[4 * row + 1], m[4 * row + 2], m[4 * row + 3]}; }

}  // namespace

void ToSpace(const MTransform4D& t, const A4Vector& p, AVector* out, double* colour) {
  const double d[4] = {p.a - t.centre[0], p.b - t.centre[1], p.c - t.centre[2], p.d - t.centre[3]};
  *out = {Dot4(t.rows, d), Dot4(t.rows + 4, d), Dot4(t.rows + 8, d)};
  *colour = Dot4(t.rows + 12, d) * t.a + t.b;
}

void ToWindow(const MTransform3D& t, const AVector& v, double* x, double* y) {
  const AVector d{v.x - t.centre[0], v.y - t.centre[1], v.z - t.centre[2]};
  const auto row = [&](int r) { return AVector{t.rows[r][0], t.rows[r][1], t.rows[r][2]}; };
  const double depth = Dot(row(2), d);
  *x = Dot(row(0), d) / depth;
  *y = -Dot(row(1), d) / depth;
}

void Setup4DTransform(MTransform4D& t, const Matrix4& q, const double (&ranges)[4][2], double modelRadius) {
  const A4Vector c = Column(q, 3);
  const double length = std::sqrt(c.a * c.a + c.b * c.b + c.c * c.c + c.d * c.d);
  t.centre[0] = kEyeDistance4D * c.a, t.centre[1] = kEyeDistance4D * c.b;
  t.centre[2] = kEyeDistance4D * c.c, t.centre[3] = kEyeDistance4D * c.d;
  SetRow(t.rows, 3, {-c.a / length, -c.b / length, -c.c / length, -c.d / length});
  const A4Vector u = Column(q, 1), v = Column(q, 2);
  SetRow(t.rows, 0, Cross4(v, u, Row(t.rows, 3)));
  SetRow(t.rows, 1, Cross4(v, Row(t.rows, 3), Row(t.rows, 0)));
  SetRow(t.rows, 2, Cross4(Row(t.rows, 1), Row(t.rows, 0), Row(t.rows, 3)));
  for (int k = 0; k < 4; ++k) t.ranges[k][0] = ranges[k][0], t.ranges[k][1] = ranges[k][1];
  const double nearSide = kEyeDistance4D - modelRadius, farSide = kEyeDistance4D + modelRadius;
  t.a = 1 / (farSide - nearSide);
  t.b = nearSide / (nearSide - farSide);
}

void PlaneRotation(int i, int j, double angle, Matrix4& out) {
  SetIdentityMatrix(out);
  const double c = std::cos(angle), s = std::sin(angle);
  out[4 * i + i] = c, out[4 * i + j] = s, out[4 * j + i] = -s, out[4 * j + j] = c;
}

bool PlaneOfCode(int code, int* i, int* j) {
  static constexpr int kPlanes[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
  const int k = code >= 96 ? code - 96 : code - 32;
  if (k < 0 || k > 5 || (code > 37 && code < 96)) return false;
  *i = kPlanes[k][0], *j = kPlanes[k][1];
  return true;
}
