#include "tests/app/ApplicationFixture.h"
#include "tests/app/HandClock.h"

#include <algorithm>
#include <cmath>

#include "graphpane/AGraphPane.h"
#include "graphs3d/views/A3DGraphView.h"
#include "renderer/RotationMath.h"

// A spinning view draws one frame in each refresh period of the screen, and
// turns by the time that passed: speed times seconds, however often the
// idle runs.

namespace {

using SpinFramesTest = WindowTest;

// The angle of the rotation taking a to b.
double AngleBetween(const Matrix3& a, const Matrix3& b) {
  double trace = 0;  // of b times a's transpose: the sum of their products
  for (int i = 0; i < 9; ++i) trace += b[i] * a[i];
  return std::acos(std::clamp((trace - 1) / 2, -1.0, 1.0));
}

TEST_F(SpinFramesTest, OneFramePerRefreshTurningBySpeedTimesElapsedTime) {
  DocumentMainWindow* window = Open("spin.zlf", "Zentrolabworksheet 4;\nExpr z = x*y;\n");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntilGraphed(window));
  AGraphPane& pane = *window->Document()->fGraphPane;
  auto& view = dynamic_cast<A3DGraphView&>(*pane.View3D(0));
  HandClock clock;
  const double rate = window->Frames().RefreshRate();
  ASSERT_TRUE(rate >= 1 && rate <= 1000) << rate;
  const auto periodStart = [&](int64_t k) { return HandClock::PeriodStart(k, rate); };

  // A fresh spin starts its timing at its first frame, turning nothing.
  pane.SetViewParameter(kAttributeDefaultSpin, kCurrentView);
  const double speed = view.SpinSpeed();
  ASSERT_GT(speed, 0);
  const int64_t k = 1000;
  clock.Set(periodStart(k));
  window->RunIdle();
  Matrix3 first;
  CopyMatrix(view.Camera().rotation, first);

  // However often the idle runs within the period, no other frame.
  for (int64_t t = periodStart(k); t < periodStart(k + 1); t += 1000) {
    clock.Set(t);
    window->RunIdle();
  }
  EXPECT_TRUE(EqualMatrix(first, view.Camera().rotation));

  // Two periods on, one frame turns by the two periods' time.
  clock.Set(periodStart(k + 2));
  window->RunIdle();
  const double seconds = double(periodStart(k + 2) - periodStart(k)) * 1e-6;
  EXPECT_NEAR(AngleBetween(first, view.Camera().rotation), speed * seconds, 1e-6);
  EXPECT_TRUE(window->IsIdleArmed());
}

}  // namespace
