#pragma once

#include <cstdint>

#include "renderer/AVector.h"
#include "renderer/DrawContext.h"

// The direction and the first side vector of one ring of a tube. A ring
// without a usable direction (a gap point, an isolated point, or a point
// equal to the next) is not valid; the frame restarts after it.
struct TubeFrame {
  AVector tangent;
  AVector side;
  // The unit vector across both, to rounding.
  AVector across;
  bool valid = false;
};

// Frames for the points of a polyline. A curved tube's tangent runs to the
// next point (from the previous one where the next is a gap or the last),
// mirrored on each axis whose `quarter` entry is negative (a reversed axis:
// rings are placed in model units, where the curve is mirrored too), and
// its side vector is carried from ring to ring by the turn that takes
// one tangent to the next. A straight tube has the one direction of first
// to last point, measured in model units (each component divided by its
// entry of `quarter`), and the same side vector on every ring. In a
// mirrored box (an odd number of negative entries) the rings run the other
// way round their tangents, so that each is the mirror image of its ring in
// the unmirrored box, in the same order: so are their normals and shading.
void ComputeTubeFrames(const Vertex* points, int32_t count, bool straight, AVector quarter, TubeFrame* frames);
