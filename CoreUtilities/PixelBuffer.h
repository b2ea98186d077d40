#pragma once

#include "CoreUtilities/MRect.h"

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

IntRect ToIntRect(const MRect& r);
IntRect Intersection(const IntRect& a, const IntRect& b);
