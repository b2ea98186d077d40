#pragma once

#include "renderer/AVector.h"

// The largest turn of one spin frame, either way.
inline constexpr double kMaximumSpinStep = 20 * 3.14159265358979323846 / 180;
// The fastest spin a drag leaves, radians per second.
inline constexpr double kMaximumDragSpin = 4 * 3.14159265358979323846;

// The turn of one spin frame from the time since the last one (negative:
// none recorded, the first frame turns 0) and the last frame's turn:
// growing turns are followed slowly, shrinking ones quickly, and the
// result is capped both ways, so a slow frame or a fast wheel never jumps.
// Without followShrinking a shrinking turn is taken at once.
double SpinStepAngle(double speed, double elapsedSeconds, double previousAngle, bool followShrinking = true);

// A drag step's speed, radians per second, in 0 .. kMaximumDragSpin; an
// undefined quotient (no time passed, no turn) is no spin.
double DragSpinSpeed(double angle, double elapsedSeconds);

// A spin needs a finite, non-zero axis and a finite speed.
bool IsUsableSpin(AVector axis, double speed);
