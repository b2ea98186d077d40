#pragma once

#include "evaluation/interval/Interval.h"

// Truth intervals: [1, 1] true over the whole box, [0, 0] false over the
// whole box, [0, 1] undecided, [NaN, NaN] undefined.
inline constexpr Interval kTrue = {1, 1};
inline constexpr Interval kFalse = {0, 0};
inline constexpr Interval kUndecided = {0, 1};

Interval Less(const Interval& a, const Interval& b);
Interval Greater(const Interval& a, const Interval& b);
Interval LessOrEqual(const Interval& a, const Interval& b);
Interval GreaterOrEqual(const Interval& a, const Interval& b);
Interval Equal(const Interval& a, const Interval& b);

// An exact [0, 0] decides And even against an undefined operand; Or and Not
// never give the undefined value.
Interval LogicalAnd(const Interval& a, const Interval& b);
Interval LogicalOr(const Interval& a, const Interval& b);
Interval LogicalNot(const Interval& a);
