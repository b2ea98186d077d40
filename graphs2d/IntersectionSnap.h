#pragma once

#include "graphpane/A2DGraph.h"
#include "graphpane/PointRecords.h"

// Moves a mark from near the crossing of two curves onto it. a and b are
// the neighbourhoods of the selected graph and of the other one around the
// mark; both graphs are asked again at shrinking radii. False (out left
// alone) when the curves do not cross there as nearly straight lines or
// coincide; otherwise out gets the crossing, snapped and rounded.
bool FindIntersectionAndSnap(Neighborhood a, Neighborhood b, A2DGraph& selected, A2DGraph& other, double unitsPerPixel,
                             Selection* out);
