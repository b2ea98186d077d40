#pragma once

#include <cstdint>

#include "evaluation/ColorEquations.h"

// A graph's colour as its view draws it.
class AGraphColor : public AColorEquations {
 public:
  uint32_t fSolidColor = 0;  // 0x00RRGGBB
};
