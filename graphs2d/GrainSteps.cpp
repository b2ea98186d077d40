#include "graphs2d/GrainSteps.h"

#include <algorithm>
#include <cmath>

#include "platform/CheckedConvert.h"

int32_t GrainLevelCount(double grain) {
  const double g = std::isnan(grain) ? 0.5 : std::clamp(grain, 0.0, 1.0);
  return DoubleToInt32(20 * g + 4 + 0.5);
}

int32_t GrainBandCount(double grain) { return 24 / (24 / GrainLevelCount(grain)); }
