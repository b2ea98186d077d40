#pragma once

#include <cstdint>

// A software texture: one block of ten level pointers followed by the
// levels' pixels (0xAARRGGBB words). Level k is 2^k x 2^k texels, rows from
// the bottom of the picture up; each level is the 2 x 2 mean of the next.
struct OurTexture {
  uint32_t* levels[10];
};

inline constexpr int kTextureLevels = 10;
inline constexpr int kTextureSide = 512;
// 512^2 + 256^2 + ... + 1.
inline constexpr int kTextureTexels = 349525;
