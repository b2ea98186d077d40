#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphs2d/A2DInequality.h"
#include "tests/graphs2d/GraphTestSupport.h"

inline std::unique_ptr<A2DInequality> MakeInequality(const std::string& condition, const std::string& boundary,
                                                     int mode, bool equation, const A2DTransform& transform,
                                                     DocumentRecord* document = nullptr) {
  return std::make_unique<A2DInequality>(MakeExpression(condition, document), MakeExpression(boundary, document),
                                         SolidColour(0x0000FF), mode, equation, transform);
}

// The map row by row.
inline std::vector<uint8_t> Pixels(const A2DInequality& graph, const A2DTransform& t) {
  std::vector<uint8_t> out;
  for (int v = t.pixelRect.top; v < t.pixelRect.bottom; ++v) {
    for (int h = t.pixelRect.left; h < t.pixelRect.right; ++h) out.push_back(uint8_t(graph.PixelAt(h, v)));
  }
  return out;
}
