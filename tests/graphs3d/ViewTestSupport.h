#pragma once

#include <Eigen/Dense>

#include <array>
#include <cmath>
#include <cstdint>

#include "graphpane/A3DGraph.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/ViewClock.h"
#include "renderer/RendererHooks.h"
#include "tests/support/FinishedGraph.h"

using Mat3 = Eigen::Matrix<double, 3, 3, Eigen::RowMajor>;

inline Mat3 AsEigen(const Matrix3& m) { return Eigen::Map<const Mat3>(m); }

// The angle of the turn from one orientation to the next.
inline double TurnBetween(const Matrix3& before, const Matrix3& after) {
  const Mat3 d = AsEigen(after) * AsEigen(before).transpose();
  return std::acos(std::clamp((d.trace() - 1) / 2, -1.0, 1.0));
}

// A clock the test steps by hand; every tick read moves it on by
// gTickStepMicroseconds, so a drag loop sees time pass between its waits.
inline int64_t gTestMicroseconds = 1000000;
inline int64_t gTickStepMicroseconds = 0;

struct TestClock {
  TestClock() {
    gTestMicroseconds = 1000000;
    gTickStepMicroseconds = 0;
    gViewClock = {[] { return gTestMicroseconds; },
                  [] {
                    gTestMicroseconds += gTickStepMicroseconds;
                    return static_cast<uint32_t>(gTestMicroseconds * 1000 / 65536);
                  }};
  }
  ~TestClock() { gViewClock = kRealClock; }
  TestClock(const TestClock&) = delete;
  TestClock& operator=(const TestClock&) = delete;
  static inline const ViewClock kRealClock = gViewClock;
};

// While it lives, every redraw a view asks for draws a frame of the view
// given, as the window does: its spin step.
template <typename View>
class FrameOnEachRedraw {
 public:
  explicit FrameOnEachRedraw(View& view) {
    sView = &view;
    gRendererHooks.RedrawGraph = [](DocumentRecord*) { sView->Rotate(); };
  }
  ~FrameOnEachRedraw() { gRendererHooks.RedrawGraph = fSaved; }
  FrameOnEachRedraw(const FrameOnEachRedraw&) = delete;
  FrameOnEachRedraw& operator=(const FrameOnEachRedraw&) = delete;

 private:
  static inline View* sView = nullptr;
  void (*fSaved)(DocumentRecord*) = gRendererHooks.RedrawGraph;
};

// A graph that is always done and draws nothing; it may report a data box.
class StillGraph : public FinishedSpaceGraph<A3DGraph> {
 public:
  StillGraph() = default;
  // Its data box: x0, x1, y0, y1, z0, z1.
  explicit StillGraph(const std::array<double, 6>& box) : fHasBox(true), fBox(box) {}
  bool GetDataBounds(double* x0, double* x1, double* y0, double* y1, double* z0, double* z1) override {
    if (!fHasBox) return false;
    *x0 = fBox[0], *x1 = fBox[1], *y0 = fBox[2], *y1 = fBox[3], *z0 = fBox[4], *z1 = fBox[5];
    return true;
  }

 private:
  bool fHasBox = false;
  std::array<double, 6> fBox = {};
};
