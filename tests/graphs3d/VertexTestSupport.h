#pragma once

#include <Eigen/Dense>

#include <memory>

#include "graphpane/AGraphColor.h"
#include "renderer/DrawContext.h"

using Vec3 = Eigen::Vector3d;

inline Vec3 Of(const Vertex& v) { return {v.x, v.y, v.z}; }

// A colour of the given type over a solid blue.
inline std::unique_ptr<AGraphColor> ColourOfType(GraphColorType type) {
  auto colour = std::make_unique<AGraphColor>();
  colour->fType = type;
  colour->fSolidColor = 0x3366CC;
  return colour;
}
