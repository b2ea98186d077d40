#pragma once

#include <cstring>

// Equal bit for bit: -0 differs from 0, and a NaN from a NaN of other bits.
template <typename T>
inline bool SameBits(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Equal bit for bit; which NaN an operation passes on is left open by
// IEEE 754, so any NaN matches any NaN.
inline bool SameResult(double a, double b) { return SameBits(a, b) || (a != a && b != b); }
