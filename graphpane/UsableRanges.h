#pragma once

#include <cmath>

// The largest magnitude a view's range end, scale or corner may take, from
// a file or typed: far enough inside the doubles that the spans, midpoints
// and pixel scales the views make of a few of them stay finite. NaN and the
// infinities lie outside too.
inline constexpr double kLargestViewValue = 1e300;

inline bool IsUsableViewValue(double v) { return std::fabs(v) <= kLargestViewValue; }

inline bool IsUsableViewRange(double low, double high) { return IsUsableViewValue(low) && IsUsableViewValue(high); }
