#pragma once

#include "CoreUtilities/MRect.h"

#include <algorithm>
#include <cstdint>

// A 32-bit pixel buffer as the direct drawing sees it: the pixel of local
// point (h, v) lies at base + (v - bounds.top) * rowBytes + (h - bounds.left) * 4.
struct PixelBuffer {
  uint8_t* base = nullptr;
  long rowBytes = 0;
  MRect bounds;

  uint32_t* Pixel(int h, int v) const {
    return reinterpret_cast<uint32_t*>(base + static_cast<long>(v - bounds.top) * rowBytes) + (h - bounds.left);
  }
};

// The current port's pixels; base is null when there is no current port.
PixelBuffer CurrentPortPixels();

// Left, top, right and bottom in int, so that arithmetic on them never wraps.
struct IntRect {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;

  bool IsEmpty() const { return bottom <= top || right <= left; }
  bool Contains(int h, int v) const { return h >= left && h < right && v >= top && v < bottom; }
};

// Inline: composing a curve converts and clips each of its columns.
inline IntRect ToIntRect(const MRect& r) { return {r.top, r.left, r.bottom, r.right}; }

inline IntRect Intersection(const IntRect& a, const IntRect& b) {
  return {std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom), std::min(a.right, b.right)};
}
