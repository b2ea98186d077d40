#include "graphs3d/curves/CurveGrain.h"

#include <algorithm>
#include <cmath>

#include "platform/CheckedConvert.h"

double UsableGrain(double grain) { return std::isnan(grain) ? 0.5 : std::clamp(grain, 0.0, 1.0); }

int32_t CurveSampleCount(double grain) { return DoubleToInt32(UsableGrain(grain) * 800 + 200); }

int32_t TubeSideCount(double grain) { return DoubleToInt32(UsableGrain(grain) * 4 + 8); }
