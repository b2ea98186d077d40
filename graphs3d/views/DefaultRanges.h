#pragma once

#include "CoreUtilities/MathConstants.h"
#include "graphpane/GraphViewRecord.h"

// The ranges a new 3-D or 4-D view keeps: x, y, z and w from -2 to 2, r
// from 0 to 2, theta from 0 to 2 pi, phi from 0 to pi, t, u and v from 0 to 1.
inline void SetDefaultRanges(GraphViewRecord& record) {
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p) {
    if (!record.Keeps(p)) continue;
    double* range = record.ranges[p];
    range[0] = p <= kCoordW ? -2 : 0;
    range[1] = p <= kCoordW ? 2 : p == kCoordR ? 2 : p == kCoordTheta ? 2 * gPi : p == kCoordPhi ? gPi : 1;
  }
}
