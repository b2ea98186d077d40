#pragma once

#include <cstdint>

inline constexpr int32_t kMaxContourLevels = 24;

// Chooses count (at most kMaxContourLevels) evenly spaced round levels over
// [min, max]: an anchor that is a round multiple near the middle, a step of
// one significant digit or a half step, as many levels on each side as fit.
// False, levels untouched, when min is not below max or the span is not a
// finite positive number, or when the range is too small or too large for
// round levels (powers of ten outside the normal doubles, levels that
// doubles cannot tell apart).
bool ChooseContourLevels(double min, double max, int32_t count, double* levels);
