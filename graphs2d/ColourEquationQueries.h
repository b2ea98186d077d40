#pragma once

#include <cstdint>

#include "graphpane/AGraphColor.h"

// Whether one of the colour's own equations contains the variable.
inline bool ColourEquationsContain(const AGraphColor& colour, int32_t variableId) {
  for (const AnExpression* e : colour.fColorExpressions) {
    if (e != nullptr && e->Contains(variableId)) return true;
  }
  return false;
}
