#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// The one place a double becomes an int. Truncates toward zero and
// saturates; NaN gives the most negative integer, as the old fixed-point
// conversion instruction did, without undefined behaviour.
inline int32_t DoubleToInt32(double x) {
  if (std::isnan(x)) return std::numeric_limits<int32_t>::min();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(x);
}

inline int16_t DoubleToInt16(double x) {
  if (std::isnan(x)) return std::numeric_limits<int16_t>::min();
  if (x <= -32768.0) return std::numeric_limits<int16_t>::min();
  if (x >= 32767.0) return std::numeric_limits<int16_t>::max();
  return static_cast<int16_t>(x);
}
