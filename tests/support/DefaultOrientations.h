#pragma once

#include <array>
#include <cmath>
#include <numbers>

// The orientations new views start in, made here from the turns that
// define them rather than by the views' code.

// A 3-D view: a turn by 0.3 about z after one by -pi/6 about y, row-major.
inline std::array<double, 9> DefaultSpaceOrientation() {
  const double a = 0.3, b = -std::numbers::pi / 6;
  const double first[3][3] = {{std::cos(a), std::sin(a), 0}, {-std::sin(a), std::cos(a), 0}, {0, 0, 1}};
  const double second[3][3] = {{std::cos(b), 0, std::sin(b)}, {0, 1, 0}, {-std::sin(b), 0, std::cos(b)}};
  std::array<double, 9> m{};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      for (int k = 0; k < 3; ++k) m[3 * r + c] += first[r][k] * second[k][c];
  return m;
}

// The 4-D view: a turn by pi/4 in the xy plane after one by -pi/6 in the
// xz plane, each with cos on the plane's diagonal, sin at (i, j) and -sin
// at (j, i), row-major.
inline std::array<double, 16> DefaultFourDOrientation() {
  const auto plane = [](int i, int j, double angle) {
    std::array<double, 16> p{};
    for (int k = 0; k < 4; ++k) p[5 * k] = 1;
    p[5 * i] = p[5 * j] = std::cos(angle);
    p[4 * i + j] = std::sin(angle);
    p[4 * j + i] = -std::sin(angle);
    return p;
  };
  const std::array<double, 16> xy = plane(0, 1, std::numbers::pi / 4), xz = plane(0, 2, -std::numbers::pi / 6);
  std::array<double, 16> m{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) m[4 * r + c] += xy[4 * r + k] * xz[4 * k + c];
  return m;
}
