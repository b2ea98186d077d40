#include "renderer/RotationMath.h"

#include <algorithm>
#include <cmath>

#include "CoreUtilities/MathConstants.h"

namespace {

template <int N>
void MultiplyInto(const double* a, const double* b, double* c) {
  double product[N * N];
  for (int r = 0; r < N; ++r)
    for (int k = 0; k < N; ++k) {
      double sum = 0;
      for (int j = 0; j < N; ++j) sum += a[r * N + j] * b[j * N + k];
      product[r * N + k] = sum;
    }
  std::copy(product, product + N * N, c);
}

template <int N>
void Transpose(const double* m, double* t) {
  for (int r = 0; r < N; ++r)
    for (int c = 0; c < N; ++c) t[c * N + r] = m[r * N + c];
}

template <int N>
bool EqualWithin(const double* a, const double* b) {
  for (int i = 0; i < N * N; ++i)
    if (!(std::fabs(a[i] - b[i]) <= 8 * gDoubleEpsilon)) return false;
  return true;
}

// In extended precision, so that each element is the nearest double to its
// exact value: plain double rounding leans one way and a drag's rotation
// grows by half a unit in the last place per step.
template <int N>
void NormaliseRow(double* m, int row) {
  long double squares = 0;
  for (int c = 0; c < N; ++c) squares += (long double)m[row * N + c] * m[row * N + c];
  const long double length = std::sqrt(squares);
  for (int c = 0; c < N; ++c) m[row * N + c] = double(m[row * N + c] / length);
}

AVector Row3(const double* m, int r) { return {m[3 * r], m[3 * r + 1], m[3 * r + 2]}; }
void SetRow3(double* m, int r, AVector v) {
  m[3 * r] = v.x;
  m[3 * r + 1] = v.y;
  m[3 * r + 2] = v.z;
}

A4Vector Row4(const double* m, int r) { return {m[4 * r], m[4 * r + 1], m[4 * r + 2], m[4 * r + 3]}; }
void SetRow4(double* m, int r, A4Vector v) {
  m[4 * r] = v.a;
  m[4 * r + 1] = v.b;
  m[4 * r + 2] = v.c;
  m[4 * r + 3] = v.d;
}
double Dot4(A4Vector u, A4Vector v) { return u.a * v.a + u.b * v.b + u.c * v.c + u.d * v.d; }

// The table's matrix for a unit axis u with given sine and cosine.
void FillRotation(double* m, AVector u, double s, double c) {
  const double t = 1 - c;
  const double r[9] = {t * u.x * u.x + c,       t * u.x * u.y + s * u.z, t * u.x * u.z - s * u.y,
                       t * u.x * u.y - s * u.z, t * u.y * u.y + c,       t * u.y * u.z + s * u.x,
                       t * u.x * u.z + s * u.y, t * u.y * u.z - s * u.x, t * u.z * u.z + c};
  std::copy(r, r + 9, m);
}

// The unit axis, or false for a zero or non-finite one.
bool UnitAxis(AVector axis, AVector* unit) {
  const double length = std::hypot(axis.x, axis.y, axis.z);
  if (!(length > 0) || !std::isfinite(length)) return false;
  *unit = {axis.x / length, axis.y / length, axis.z / length};
  return true;
}

// Any unit vector perpendicular to a unit vector.
AVector Perpendicular(AVector a) {
  const AVector least = std::fabs(a.x) <= std::fabs(a.y) && std::fabs(a.x) <= std::fabs(a.z) ? AVector{1, 0, 0}
                        : std::fabs(a.y) <= std::fabs(a.z)                                   ? AVector{0, 1, 0}
                                                                                             : AVector{0, 0, 1};
  const AVector n = Cross(a, least);
  return (1 / std::hypot(n.x, n.y, n.z)) * n;
}

// Step 1 to 4 of a drag step: the 3 x 3 rotation, false when the radius is
// too small to read the mouse.
bool DragRotation(MPoint now, MPoint previous, MPoint centre, long radius, double* b) {
  if (radius < 1) return false;
  AVector a, p;
  PointOnUnitSphere(now, centre, radius, &a);
  PointOnUnitSphere(previous, centre, radius, &p);
  AVector n = Cross(p, a);
  double s = std::hypot(n.x, n.y, n.z);
  double c = Dot(a, p);
  if (s > 0) {
    n = (1 / s) * n;
  } else if (c < 0) {
    // Opposite points: a half turn about any axis perpendicular to both.
    n = Perpendicular(a);
    c = -1;
  } else {
    c = 1;
  }
  FillRotation(b, {n.z, n.x, n.y}, s, c);
  return true;
}

using Quaternion = double[4];

void QuaternionOf(AVector axis, double angle, Quaternion q) {
  AVector unit;
  if (!UnitAxis(axis, &unit)) {
    q[0] = 1;
    q[1] = q[2] = q[3] = 0;
    return;
  }
  const double s = std::sin(angle / 2);
  q[0] = std::cos(angle / 2);
  q[1] = s * unit.x;
  q[2] = s * unit.y;
  q[3] = s * unit.z;
}

void QuaternionProduct(const double* a, const double* b, double* out) {
  const double r[4] = {
      a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3], a[0] * b[1] + a[1] * b[0] + a[2] * b[3] - a[3] * b[2],
      a[0] * b[2] + a[2] * b[0] + a[3] * b[1] - a[1] * b[3], a[0] * b[3] + a[3] * b[0] + a[1] * b[2] - a[2] * b[1]};
  std::copy(r, r + 4, out);
}

}  // namespace

AVector AVector::RotateAroundAxis(AVector axis, double angle) const {
  Matrix3 m;
  GenerateRotationMatrixFromAxisAndAngle(m, axis, angle);
  return Rotate(m, *this);
}

void SetIdentityMatrix(Matrix3& m) {
  for (int i = 0; i < 9; ++i) m[i] = i % 4 == 0 ? 1 : 0;
}
void SetIdentityMatrix(Matrix4& m) {
  for (int i = 0; i < 16; ++i) m[i] = i % 5 == 0 ? 1 : 0;
}
void CopyMatrix(const Matrix3& source, Matrix3& destination) { std::copy(source, source + 9, destination); }
void CopyMatrix(const Matrix4& source, Matrix4& destination) { std::copy(source, source + 16, destination); }
bool EqualMatrix(const Matrix3& a, const Matrix3& b) { return EqualWithin<3>(a, b); }
bool EqualMatrix(const Matrix4& a, const Matrix4& b) { return EqualWithin<4>(a, b); }

void MultiplyMatrix(const double* a, const double* b, double* c) { MultiplyInto<3>(a, b, c); }
void Multiply(const double* a, const double* b, double* c) { MultiplyInto<4>(a, b, c); }

AVector Rotate(const double* m, AVector v) {
  return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
          m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

AVector InverseRotate(const double* m, AVector v) {
  return {m[0] * v.x + m[3] * v.y + m[6] * v.z, m[1] * v.x + m[4] * v.y + m[7] * v.z,
          m[2] * v.x + m[5] * v.y + m[8] * v.z};
}

A4Vector Cross4(A4Vector a, A4Vector b, A4Vector c) {
  // Signed minors of the first row of det[d; a; b; c].
  const double rows[3][4] = {{a.a, a.b, a.c, a.d}, {b.a, b.b, b.c, b.d}, {c.a, c.b, c.c, c.d}};
  double x[4];
  for (int j = 0; j < 4; ++j) {
    double m[9];
    int k = 0;
    for (int r = 0; r < 3; ++r)
      for (int col = 0; col < 4; ++col)
        if (col != j) m[k++] = rows[r][col];
    const double minor =
        m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
    x[j] = j % 2 ? -minor : minor;
  }
  return {x[0], x[1], x[2], x[3]};
}

void GenerateRotationMatrixFromAxisAndAngle(double* m, AVector axis, double angle) {
  AVector unit;
  if (!UnitAxis(axis, &unit)) {
    for (int i = 0; i < 9; ++i) m[i] = i % 4 == 0 ? 1 : 0;
    return;
  }
  FillRotation(m, unit, std::sin(angle), std::cos(angle));
}

void PointOnUnitSphere(MPoint p, MPoint centre, long radius, AVector* out) {
  if (radius < 1) {
    *out = {0, 0, 1};
    return;
  }
  const double x = double(p.h - centre.h) / double(radius);
  const double y = double(centre.v - p.v) / double(radius);
  const double r2 = x * x + y * y;
  if (r2 >= 1) {
    const double length = std::sqrt(r2);
    *out = {x / length, y / length, 0};
  } else {
    *out = {x, y, std::sqrt(1 - r2)};
  }
}

void VirtualSphere(MPoint now, MPoint previous, MPoint centre, long radius, Matrix3& out) {
  if (!DragRotation(now, previous, centre, radius, out)) SetIdentityMatrix(out);
}

void VirtualSphere(MPoint now, MPoint previous, MPoint centre, long radius, Matrix4& out, MouseAction4D action) {
  if (action != kRotate4DXYZ && action != kRotate4DYZW) return;
  Matrix3 b;
  if (!DragRotation(now, previous, centre, radius, b)) SetIdentityMatrix(b);
  SetIdentityMatrix(out);
  // Action 2 moves the view frame's first axis (toward the viewer) to w.
  const int place[3] = {action == kRotate4DXYZ ? 0 : 3, 1, 2};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out[place[i] * 4 + place[j]] = b[i * 3 + j];
}

void GetDefaultView(Matrix3& m) {
  const double a = 0.3, b = -M_PI / 6;
  const Matrix3 first = {std::cos(a), std::sin(a), 0, -std::sin(a), std::cos(a), 0, 0, 0, 1};
  const Matrix3 second = {std::cos(b), 0, std::sin(b), 0, 1, 0, -std::sin(b), 0, std::cos(b)};
  MultiplyMatrix(first, second, m);
}

void RotationMatrixToBodyCoordinates(const Matrix3& r, Matrix3& m) {
  Matrix3 t;
  Transpose<3>(r, t);
  MultiplyMatrix(r, m, m);
  MultiplyMatrix(m, t, m);
  OrthonormaliseRotation(m);
}

void OrthonormaliseRotation(Matrix3& m) {
  NormaliseRow<3>(m, 1);
  SetRow3(m, 0, Cross(Row3(m, 1), Row3(m, 2)));
  NormaliseRow<3>(m, 0);
  SetRow3(m, 2, Cross(Row3(m, 0), Row3(m, 1)));
  NormaliseRow<3>(m, 2);
}

void RotationMatrixToBodyCoordinates(const Matrix4& r, Matrix4& m) {
  Matrix4 t;
  Transpose<4>(r, t);
  Multiply(r, m, m);
  Multiply(m, t, m);
  OrthonormaliseRotation(m);
}

void OrthonormaliseRotation(Matrix4& m) {
  NormaliseRow<4>(m, 1);
  SetRow4(m, 0, Cross4(Row4(m, 1), Row4(m, 2), Row4(m, 3)));
  NormaliseRow<4>(m, 0);
  // Each of rows 2 and 3 again orthogonal to the other three, keeping its
  // side so the determinant stays +1.
  for (int row : {2, 3}) {
    A4Vector x = Cross4(Row4(m, 0), Row4(m, 1), Row4(m, row == 2 ? 3 : 2));
    if (Dot4(x, Row4(m, row)) < 0) x = {-x.a, -x.b, -x.c, -x.d};
    SetRow4(m, row, x);
    NormaliseRow<4>(m, row);
  }
}

void GenerateMatrixfromDoubleQuaternion(Matrix4& m, AVector axis1, double angle1, AVector axis2, double angle2) {
  Quaternion p, q;
  QuaternionOf(axis1, angle1, p);
  QuaternionOf(axis2, angle2, q);
  for (int k = 0; k < 4; ++k) {
    double e[4] = {0, 0, 0, 0}, pe[4], column[4];
    e[k] = 1;
    QuaternionProduct(p, e, pe);
    QuaternionProduct(pe, q, column);
    for (int row = 0; row < 4; ++row) m[row * 4 + k] = column[row];
  }
}
