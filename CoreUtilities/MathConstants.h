#pragma once

#include <limits>

// Process-wide numeric constants; read-only, usable before start-up.
inline constexpr double gNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double gInf = std::numeric_limits<double>::infinity();
inline constexpr double gPi = 3.14159265358979323846;
inline constexpr double g3PiOver2 = 4.71238898038469;
inline constexpr double gDoubleEpsilon = 2.220446049250313080847e-16;  // 2^-52
