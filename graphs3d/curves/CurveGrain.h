#pragma once

#include <cstdint>

// What the curves and points of a 3-D view take from a grain (a point's
// size is one too). The grain is a file value: outside [0, 1] it is clamped
// and NaN counts as 0.5.
double UsableGrain(double grain);
int32_t CurveSampleCount(double grain);  // 200 to 1,000 samples
int32_t TubeSideCount(double grain);     // 8 to 12 vertices a ring
