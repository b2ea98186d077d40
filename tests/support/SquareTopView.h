#pragma once

#include <cstdint>

#include "graphs3d/views/A3DGraphView.h"

// Looking down the z axis, x to the right and y up the frame.
inline const Matrix3 kLookingDownZ = {0, 1, 0, 0, 0, 1, 1, 0, 0};

// The view `side` pixels square, seen from above, without axes or spin.
inline void SquareTopView(A3DGraphView& view, DocumentRecord* document, int16_t side) {
  view.SetDocument(document);
  view.SetViewRect(MRect{0, 0, side, side});
  view.SetViewParameter(kAttributeShowAxes);
  view.SetViewParameter(kAttributeStopSpin);
  view.SetRotation(kLookingDownZ);
}
