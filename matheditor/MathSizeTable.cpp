#include "matheditor/MathSizeTable.h"

#include <algorithm>
#include <cmath>

float gEquationFontMinSize = 7.0f;
float gEquationFontsizeSuperscriptFactor = 0.75f;

namespace {

float Clamped(float value, float low, float high, float fallback) {
  return std::isnan(value) ? fallback : std::clamp(value, low, high);
}

}  // namespace

void FillMathSizeTable(float table[6], float baseSize) {
  const float minimum = Clamped(gEquationFontMinSize, 1.0f, 49.0f, 7.0f);
  const float factor = Clamped(gEquationFontsizeSuperscriptFactor, 0.41f, 1.0f, 0.75f);
  const float base = std::max(std::isnan(baseSize) ? minimum : baseSize, minimum);
  table[0] = table[1] = table[2] = base;
  table[3] = std::max(minimum, base * factor);
  table[4] = table[5] = std::max(minimum, table[3] * factor);
}
