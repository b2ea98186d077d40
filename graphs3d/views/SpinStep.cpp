#include "graphs3d/views/SpinStep.h"

#include <algorithm>
#include <cmath>

double SpinStepAngle(double speed, double elapsedSeconds, double previousAngle, bool followShrinking) {
  double a = elapsedSeconds >= 0 ? elapsedSeconds * speed : 0;
  const double p = previousAngle;
  if (p != 0 && a != 0) {
    if (a > p) a = 0.99 * p + 0.01 * a;
    if (followShrinking && a != 0 && a < p) a = 0.8 * p + 0.2 * a;
  }
  if (!std::isfinite(a)) return 0;
  return std::clamp(a, -kMaximumSpinStep, kMaximumSpinStep);
}

double DragSpinSpeed(double angle, double elapsedSeconds) {
  const double speed = angle / elapsedSeconds;
  if (!(speed > 0)) return 0;
  return std::min(speed, kMaximumDragSpin);
}

bool IsUsableSpin(AVector axis, double speed) {
  const double length = std::hypot(axis.x, axis.y, axis.z);
  return std::isfinite(speed) && length > 0 && std::isfinite(length);
}
