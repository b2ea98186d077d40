#include "graphs2d/LatticeAnchor.h"

#include <cmath>

#include "platform/CheckedConvert.h"
#include "graphs2d/A2DTransform.h"

void LatticeEdgeOffsets(const A2DTransform& t, int32_t spacing, int32_t* xOffset, int32_t* yOffset) {
  const MRect& r = t.pixelRect;
  const int32_t column = DoubleToInt32(std::floor(t.xOrigin + 0.5));
  const int32_t row = DoubleToInt32(std::floor(t.yOrigin + 0.5));
  *xOffset = column > r.left && column < r.right ? column % spacing - 6 : spacing / 2;
  *yOffset = row > r.top && row < r.bottom ? (r.bottom - row) % spacing : spacing / 2;
}
