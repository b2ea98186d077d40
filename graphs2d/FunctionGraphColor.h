#pragma once

#include <cstdint>

#include "graphpane/AGraphColor.h"
#include "graphpane/GraphEnums.h"

// What the curve kinds read of their colour, which they may be drawn without.
inline uint32_t CurveSolidColor(const AGraphColor* colour) { return colour ? colour->fSolidColor & 0xFFFFFF : 0; }
inline bool IsCurveHidden(const AGraphColor* colour) { return colour && colour->fType == AGraphColor::kHidden; }
inline bool CurveColorContains(const AGraphColor* colour, int32_t variableId) {
  return colour && colour->Contains(variableId);
}

// Grey of unbounded columns.
inline constexpr uint32_t kInfinityGray = 0xBFBFBF;
