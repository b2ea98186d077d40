#pragma once

#include <cstdint>

// The number of contour levels (4 to 24) a grain gives. The grain is a file
// value: outside [0, 1] it is clamped and NaN counts as 0.5, so that the
// 24-level records and the colour ramp can never overflow.
int32_t GrainLevelCount(double grain);
// The density plot's colour steps for a grain: 4, 6, 8, 12 or 24.
int32_t GrainBandCount(double grain);
