#pragma once

#include "graphs3d/start/AStartPointGenerator.h"
#include "graphs3d/views/A3DGraphView.h"

// The view's x, y and z ranges, the box start points are placed in.
inline BoxRefs ViewBox(A3DGraphView& view) {
  const double(*r)[2] = view.Record().ranges;
  return {r[kCoordX][0], r[kCoordX][1], r[kCoordY][0], r[kCoordY][1], r[kCoordZ][0], r[kCoordZ][1]};
}
