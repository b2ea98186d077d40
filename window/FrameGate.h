#pragma once

#include <cstdint>

class QWidget;

// Lets a moving picture draw at most one frame in each refresh period of
// the screen, counted on the views' clock (which tests step by hand): the
// first ask in a period gets the frame, later ones in it get none.
class FrameGate {
 public:
  // The refresh rate of the screen the widget shows on, in frames a second;
  // 60 when the screen does not say.
  static double RefreshRate(const QWidget* widget);

  void SetRefreshRate(double framesPerSecond);
  double RefreshRate() const { return fRate; }
  // Whole milliseconds of a period, at least one.
  int IntervalMilliseconds() const;
  bool Due();

 private:
  double fRate = 60;
  int64_t fLastPeriod = INT64_MIN;
};
