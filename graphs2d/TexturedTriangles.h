#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"
#include "renderer/CountedMemory.h"

struct OurPort;

// One vertex of a textured triangle: destination pixel position and texture
// coordinates in 0 to 1 (v from the bottom of the picture).
struct VerTex2D {
  float x, y;
  float u, v;
  int32_t word1 = 0, word2 = 0;
};

// The ten levels of a mip-map pyramid in one block, level k being 2^k by 2^k
// 0x00RRGGBB texels, row 0 the bottom of the picture.
class MipPyramid {
 public:
  static constexpr int kLevels = 10;
  static constexpr int32_t kTexelCount = 349525;  // sum of 4^k for k < 10

  MipPyramid() = default;
  MipPyramid(const MipPyramid&) = delete;
  MipPyramid& operator=(const MipPyramid&) = delete;

  // The source rectangle of the world scaled to fill level 9, the smaller
  // levels averaged 2 x 2 from the next; false when memory or the
  // offscreen world is refused.
  bool CreateTexture(OurPort* source, const MRect& sourceRect);
  const uint32_t* Level(int k) const { return fLevels[k]; }
  bool Exists() const { return fBlock != nullptr; }

 private:
  CountedArray<uint32_t> fBlock;
  uint32_t* fLevels[kLevels] = {};
};

// The pixels a triangle is drawn into: 0x00RRGGBB words, row by row.
struct TriangleTarget {
  uint32_t* base;
  long rowWords;
  int32_t width, height;
};

// Sutherland-Hodgman clipping against the closed rectangle; writes at most
// seven vertices and returns their count, 0 when nothing remains.
int ClipTexturedTriangle2D(const VerTex2D* triangle, VerTex2D* out, const MRect& rect);

// Rasterises the triangle with 16 jittered texture samples a pixel, each
// pixel multiplied by the texture colour.
void DrawTexturedTriangle2D(const VerTex2D* a, const VerTex2D* b, const VerTex2D* c, const MipPyramid& texture,
                            const TriangleTarget& target);
