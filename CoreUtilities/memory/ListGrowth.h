#pragma once

#include <cstdint>

// Growable arrays start with room for 16 entries and double; 0 when the
// next capacity would not fit a 32-bit count.
inline int32_t NextListCapacity(int32_t capacity) {
  if (capacity == 0) return 16;
  return capacity > INT32_MAX / 2 ? 0 : capacity * 2;
}
