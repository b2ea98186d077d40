#include "window/FrameGate.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "graphs3d/views/ViewClock.h"

namespace {

constexpr double kUnsaidRate = 60;
constexpr double kFastestRate = 1000;

}  // namespace

double FrameGate::RefreshRate(const QWidget* widget) {
  const QScreen* screen = widget ? widget->screen() : nullptr;
  const double rate = screen ? screen->refreshRate() : 0;
  return std::isfinite(rate) && rate >= 1 ? std::min(rate, kFastestRate) : kUnsaidRate;
}

void FrameGate::SetRefreshRate(double framesPerSecond) {
  fRate =
      std::isfinite(framesPerSecond) && framesPerSecond >= 1 ? std::min(framesPerSecond, kFastestRate) : kUnsaidRate;
}

int FrameGate::IntervalMilliseconds() const { return std::max(1, static_cast<int>(1000 / fRate)); }

bool FrameGate::Due() {
  const auto period = static_cast<int64_t>(std::floor(double(gViewClock.microseconds()) * fRate * 1e-6));
  if (period == fLastPeriod) return false;
  fLastPeriod = period;
  return true;
}
