#include "renderer/RotationDecomposition.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double kRotationTolerance = 1e-4;
// Below this sine the antisymmetric part no longer fixes the axis well.
constexpr double kSmallSine = 1e-6;

using QuaternionArray = std::array<double, 4>;  // scalar, i, j, k

QuaternionArray HamiltonProduct(const QuaternionArray& a, const QuaternionArray& b) {
  return {a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3], a[0] * b[1] + a[1] * b[0] + a[2] * b[3] - a[3] * b[2],
          a[0] * b[2] - a[1] * b[3] + a[2] * b[0] + a[3] * b[1], a[0] * b[3] + a[1] * b[2] - a[2] * b[1] + a[3] * b[0]};
}

QuaternionArray Unit(int i) {
  QuaternionArray q{};
  q[size_t(i)] = 1;
  return q;
}

double Determinant(const double* m, int size) {
  if (size == 3)
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
  double total = 0;
  for (int column = 0; column < 4; ++column) {
    double minor[9];
    int k = 0;
    for (int row = 1; row < 4; ++row)
      for (int c = 0; c < 4; ++c)
        if (c != column) minor[k++] = m[row * 4 + c];
    total += (column % 2 ? -1 : 1) * m[column] * Determinant(minor, 3);
  }
  return total;
}

void AxisAndAngle(const QuaternionArray& q, double axis[3], double* angle) {
  const double length = std::hypot(q[1], q[2], q[3]);
  *angle = 2 * std::acos(std::clamp(q[0], -1.0, 1.0));
  if (length == 0 || *angle == 0) {
    axis[0] = axis[1] = axis[2] = 0;
    *angle = 0;
    return;
  }
  for (int i = 0; i < 3; ++i) axis[i] = q[size_t(i) + 1] / length;
}

void Normalise(QuaternionArray& q) {
  const double length = std::hypot(std::hypot(q[0], q[1]), std::hypot(q[2], q[3]));
  if (length > 0)
    for (double& part : q) part /= length;
}

}  // namespace

bool IsRotationMatrix(const double* m, int size) {
  for (int i = 0; i < size * size; ++i)
    if (!std::isfinite(m[i])) return false;
  for (int a = 0; a < size; ++a)
    for (int b = 0; b < size; ++b) {
      double dot = 0;
      for (int k = 0; k < size; ++k) dot += m[a * size + k] * m[b * size + k];
      if (std::fabs(dot - (a == b ? 1 : 0)) > kRotationTolerance) return false;
    }
  return Determinant(m, size) > 0;
}

void GenerateAxisAndAnglefromRotationMatrix(double axis[3], double* angle, const double m[9]) {
  const double trace = m[0] + m[4] + m[8];
  if (!(trace < 3)) {
    axis[0] = axis[1] = 0;
    axis[2] = -1;
    *angle = 0;
    return;
  }
  *angle = std::acos(std::clamp((trace - 1) / 2, -1.0, 1.0));
  const double sine = std::sin(*angle);
  const double twice[3] = {m[5] - m[7], m[6] - m[2], m[1] - m[3]};  // 2 sin(angle) axis
  if (sine > kSmallSine || *angle < 1) {
    for (int i = 0; i < 3; ++i) axis[i] = twice[i] / (2 * sine);
    return;
  }
  // Near a half turn M + M^T = 2 (1 - cos) a a^T + 2 cos I: read a from the
  // largest diagonal entry, its sign from what is left of the
  // antisymmetric part.
  const double cosine = std::cos(*angle);
  int k = 0;
  for (int i = 1; i < 3; ++i)
    if (m[i * 4] > m[k * 4]) k = i;
  double a[3];
  const double scale = 1 - cosine;
  a[k] = std::sqrt(std::max((m[k * 4] - cosine) / scale, 0.0));
  for (int i = 0; i < 3; ++i)
    if (i != k) a[i] = (m[i * 3 + k] + m[k * 3 + i]) / (2 * scale * a[k]);
  const double length = std::hypot(a[0], a[1], a[2]);
  const double sign = a[0] * twice[0] + a[1] * twice[1] + a[2] * twice[2] < 0 ? -1 : 1;
  for (int i = 0; i < 3; ++i) axis[i] = sign * a[i] / length;
}

void GenerateDoubleQuaternionfromRotation(double axis1[3], double* angle1, double axis2[3], double* angle2,
                                          const double m[16]) {
  if (!std::all_of(m, m + 16, [](double v) { return std::isfinite(v); })) {
    for (int i = 0; i < 3; ++i) axis1[i] = axis2[i] = 0;
    *angle1 = *angle2 = 0;
    return;
  }
  // The maps v -> e_i v e_j are orthogonal with squared norm 4, so the
  // matrix's projections onto them are the products p_i q_j.
  double products[4][4];
  int bestRow = 0, bestColumn = 0;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double sum = 0;
      for (int column = 0; column < 4; ++column) {
        const QuaternionArray image = HamiltonProduct(HamiltonProduct(Unit(i), Unit(column)), Unit(j));
        for (int row = 0; row < 4; ++row) sum += m[row * 4 + column] * image[size_t(row)];
      }
      products[i][j] = sum / 4;
      if (std::fabs(products[i][j]) > std::fabs(products[bestRow][bestColumn])) {
        bestRow = i;
        bestColumn = j;
      }
    }
  QuaternionArray p{}, q{};
  for (int k = 0; k < 4; ++k) {
    p[size_t(k)] = products[k][bestColumn];
    q[size_t(k)] = products[bestRow][k];
  }
  Normalise(p);
  Normalise(q);
  if (products[bestRow][bestColumn] < 0)
    for (double& part : q) part = -part;
  // (p, q) and (-p, -q) give the same rotation.
  if (p[0] < 0 || (p[0] == 0 && q[0] < 0)) {
    for (double& part : p) part = -part;
    for (double& part : q) part = -part;
  }
  AxisAndAngle(p, axis1, angle1);
  AxisAndAngle(q, axis2, angle2);
}

void GenerateAxisAndAnglefromRotationMatrix(AVector* axis, double* angle, const double matrix[9]) {
  double a[3];
  GenerateAxisAndAnglefromRotationMatrix(a, angle, matrix);
  *axis = {a[0], a[1], a[2]};
}

void GenerateDoubleQuaternionfromRotation(AVector* axis1, double* angle1, AVector* axis2, double* angle2,
                                          const double matrix[16]) {
  double a1[3], a2[3];
  GenerateDoubleQuaternionfromRotation(a1, angle1, a2, angle2, matrix);
  *axis1 = {a1[0], a1[1], a1[2]};
  *axis2 = {a2[0], a2[1], a2[2]};
}
