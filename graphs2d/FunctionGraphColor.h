#pragma once

#include <cstdint>

#include "graphpane/AGraphColor.h"
#include "graphpane/GraphEnums.h"

// What the curve kinds read of their colour until the pane's colour
// operations land: the solid value, whether the graph is hidden, and
// whether a colour equation uses a variable.
inline uint32_t CurveSolidColor(const AGraphColor* colour) { return colour ? colour->fSolidColor & 0xFFFFFF : 0; }
inline bool IsCurveHidden(const AGraphColor* colour) { return colour && colour->fType == kHiddenGraphColorType; }
inline bool CurveColorContains(const AGraphColor* colour, int32_t variableId) {
  if (!colour || (colour->fType != AGraphColor::kRGBEquations && colour->fType != AGraphColor::kHSVEquations)) {
    return false;
  }
  for (const AnExpression* e : colour->fColorExpressions) {
    if (e && e->Contains(variableId)) return true;
  }
  return false;
}

// Grey of unbounded columns.
inline constexpr uint32_t kInfinityGray = 0xBFBFBF;
