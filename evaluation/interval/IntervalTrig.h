#pragma once

#include "evaluation/interval/Interval.h"

// Sine (which == 1) or cosine (any other value) of an interval.
Interval sincos(const Interval& x, int which);
Interval Tan(const Interval& x);
Interval Cot(const Interval& x);
Interval Sec(const Interval& x);
Interval Csc(const Interval& x);

// Angle of the box y x [0, 2 pi).
Interval Atan2(const Interval& y, const Interval& x);
// Angle of the box in [-pi, pi]; [-pi, pi] whenever the box reaches the
// negative real axis from below.
Interval Arg(const Interval& y, const Interval& x);
Interval Hypot(const Interval& a, const Interval& b);
