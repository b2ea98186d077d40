#include <gtest/gtest.h>

#include <Eigen/Dense>

#include <array>
#include <deque>
#include <memory>
#include <vector>

#include "graphpane/GraphHooks.h"
#include "graphs3d/views/A4DGraphView.h"
#include "platform/MouseSource.h"
#include "tests/graphs3d/ViewTestSupport.h"

namespace {

using Mat4 = Eigen::Matrix<double, 4, 4, Eigen::RowMajor>;

Mat4 Q(const A4DGraphView& view) { return Eigen::Map<const Mat4>(view.Orientation()); }

bool IsRotation(const Mat4& q) {
  return q.allFinite() && (q * q.transpose()).isApprox(Mat4::Identity(), 1e-12) &&
         std::abs(q.determinant() - 1) < 1e-12;
}

// A 4-D graph that is done at once and counts what would make it compute again.
class CountingGraph : public A4DGraph {
 public:
  int32_t Compute(int32_t) override { return kComputeFinished; }
  bool IsDoneComputing() override { return true; }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t) override { ++recomputes; }
  void SetParameter(ViewAttribute, double) override {}
  void ViewChanged() override { ++recomputes; }
  void Draw() override {}
  double MaximumModelSpaceRadius() override { return 1; }
  int recomputes = 0;
};

struct ViewFixture {
  ViewFixture() {
    view.SetViewRect(MRect{0, 0, 300, 400});
    view.AddGraph(std::unique_ptr<AGraph>(graph = new CountingGraph));
  }
  ~ViewFixture() { SetMouseSource(nullptr); }
  void Frames(int count, int64_t microseconds) {
    for (int i = 0; i < count; ++i) {
      gTestMicroseconds += microseconds;
      view.Rotate();
    }
  }
  void Drag(std::deque<ScriptedMouseSource::Step> steps, bool shift = false) {
    const QPoint first = steps.front().where;
    steps.pop_front();
    mouse = std::make_unique<ScriptedMouseSource>(std::move(steps));
    SetMouseSource(mouse.get());
    view.MouseDown(MPoint{int16_t(first.y()), int16_t(first.x())}, 0, false, false, false, shift, false);
  }
  std::deque<ScriptedMouseSource::Step> Line(int count) {
    std::deque<ScriptedMouseSource::Step> steps;
    for (int i = 0; i < count; ++i) steps.push_back({QPoint(150 + 8 * i, 120 + 3 * i)});
    return steps;
  }
  TestClock clock;
  A4DGraphView view;
  CountingGraph* graph;
  std::unique_ptr<ScriptedMouseSource> mouse;
};

TEST(A4DGraphView, TheWheelAfterAResetTurnsNothingUntilThereAreAxes) {
  ViewFixture f;
  f.view.Zoom(kZoomReset);
  const Mat4 reset = Q(f.view);
  f.view.MouseWheel(0, 40);
  EXPECT_EQ(f.view.SpinSpeed(0), 8);
  EXPECT_EQ(f.view.SpinSpeed(1), 8);
  f.Frames(10000, 16000);
  EXPECT_TRUE(Q(f.view).isApprox(reset, 1e-14));

  // A plane spin gives axes: the wheel then turns, and keeps Q a rotation
  // however long it runs, either way.
  f.view.SetViewParameter4D(ViewAttribute(kAttributeSpinXY + 4), 90);
  for (int dv : {40, -300}) {
    f.view.MouseWheel(0, dv);
    const Mat4 before = Q(f.view);
    f.Frames(10000, 16000);
    EXPECT_TRUE(IsRotation(Q(f.view))) << dv;
    EXPECT_FALSE(Q(f.view).isApprox(before, 1e-3)) << dv;
  }
}

// After a second of spin the view has turned by the plane turn the spin
// was made from, whatever the frames.
TEST(A4DGraphView, APlaneSpinTurnsItsPlanePerSecond) {
  const int planes[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
  for (int k = 0; k < 6; ++k) {
    for (double degrees : {60.0, -150.0}) {
      ViewFixture f;
      f.view.SetViewParameter4D(ViewAttribute(kAttributeSpinXY + k), 2 * degrees);
      EXPECT_TRUE(f.view.IsMoving());
      const Mat4 start = Q(f.view);
      f.Frames(1, 0);
      f.Frames(40, 25000);
      const double a = degrees * M_PI / 180;
      Mat4 p = Mat4::Identity();
      const int i = planes[k][0], j = planes[k][1];
      p(i, i) = p(j, j) = std::cos(a);
      p(i, j) = std::sin(a);
      p(j, i) = -std::sin(a);
      EXPECT_TRUE(Q(f.view).isApprox(p * start, 1e-9)) << k << " " << degrees << "\n" << Q(f.view);
      // A turn code turns once, by half the value in degrees, and leaves the spin.
      const Mat4 before = Q(f.view);
      const double speed = f.view.SpinSpeed(0);
      f.view.SetViewParameter4D(ViewAttribute(kAttributeTurnXY + k), 2 * degrees);
      EXPECT_TRUE(Q(f.view).isApprox(p * before, 1e-12)) << k;
      EXPECT_EQ(f.view.SpinSpeed(0), speed) << k;
      f.view.SetViewParameter4D(kAttributeTurnXY, 0);
      EXPECT_TRUE(Q(f.view).isApprox(p * before, 1e-12)) << k;
    }
  }
}

TEST(A4DGraphView, DragsTurnTheirThreeCoordinatesAndLeaveMomentum) {
  for (bool otherAction : {false, true}) {
    for (bool shift : {false, true}) {
      ViewFixture f;
      if (otherAction) f.view.SetViewParameter4D(kAttribute4DMouseAction, 2);
      gTickStepMicroseconds = 1000;
      const Mat4 before = Q(f.view);
      f.Drag(f.Line(12), shift);
      const Mat4 step = before.transpose() * Q(f.view);
      EXPECT_TRUE(IsRotation(Q(f.view)));
      // Action 1 leaves w, action 2 leaves x.
      const int kept = (shift != otherAction) ? 0 : 3;
      EXPECT_NEAR(step(kept, kept), 1, 1e-12) << shift << otherAction;
      EXPECT_LT(step.trace(), 3.99);
      EXPECT_TRUE(f.view.IsMoving());
      EXPECT_LE(f.view.SpinSpeed(0), 4 * M_PI);
      EXPECT_LE(f.view.SpinSpeed(1), 4 * M_PI);
      const Mat4 released = Q(f.view);
      f.Frames(1, 0);
      f.Frames(5, 20000);
      EXPECT_FALSE(Q(f.view).isApprox(released, 1e-6));
      EXPECT_TRUE(IsRotation(Q(f.view)));
    }
  }
  // Held still before the release: no momentum.
  ViewFixture f;
  gTickStepMicroseconds = 20000;
  auto held = f.Line(5);
  for (int i = 0; i < 30; ++i) held.push_back(held.back());
  f.Drag(held);
  EXPECT_FALSE(f.view.IsMoving());
}

TEST(A4DGraphView, TurningNeverRecomputesButZoomingAndResettingDo) {
  ViewFixture f;
  f.view.SetViewParameter4D(kAttributeSpinXY, 90);
  f.Frames(20, 20000);
  f.view.SetViewParameter4D(ViewAttribute(kAttributeTurnXY + 3), 45);
  f.view.SetViewParameter4D(kAttribute4DMouseAction, 6);
  gTickStepMicroseconds = 1000;
  f.Drag(f.Line(6));
  f.Drag(f.Line(6), true);
  f.view.MouseWheel(0, 10);
  f.Frames(20, 20000);
  EXPECT_EQ(f.graph->recomputes, 0);

  f.view.Zoom(kZoomIn);
  EXPECT_EQ(f.view.Transform().ranges[3][1], 1);
  EXPECT_EQ(f.view.Record().ranges[kCoordW][0], -1);
  const int afterZoom = f.graph->recomputes;
  EXPECT_GE(afterZoom, 1);
  f.view.Zoom(kZoomReset);
  EXPECT_GT(f.graph->recomputes, afterZoom);
  EXPECT_EQ(f.view.Transform().ranges[3][1], 2);
}

// A drag or a plane spin stops the thumbwheels; the indicator hears of
// every drawn frame's axes.
TEST(A4DGraphView, StoppingASpinStopsTheThumbwheels) {
  static int stops;
  stops = 0;
  gGraphPaneHooks = GraphPaneHooks{};
  gGraphPaneHooks.StopThumbwheels = [](DocumentRecord*) { ++stops; };
  ViewFixture f;
  f.view.SetDocument(reinterpret_cast<DocumentRecord*>(&f));
  f.view.SetViewParameter4D(kAttributeSpinXY, 90);
  EXPECT_EQ(stops, 1);
  f.view.SetViewParameter4D(kAttributeStopSpin, 0);
  EXPECT_EQ(stops, 2);
  EXPECT_FALSE(f.view.IsMoving());
  gTickStepMicroseconds = 1000;
  f.Drag(f.Line(3));
  EXPECT_EQ(stops, 3);
  gGraphPaneHooks = GraphPaneHooks{};
}

TEST(A4DGraphView, StoredStateThatIsNoRotationGivesTheReset) {
  A4DGraphView view;
  const Mat4 reset = Q(view);
  view.SetViewParameter4D(kAttribute4DMouseAction, 5);
  const double zeros[16] = {};
  view.SetOrientation(zeros);
  EXPECT_TRUE(Q(view).isApprox(reset, 1e-14));
  view.SetZoom(0);
  EXPECT_EQ(view.Zoom(), M3DView::kDefaultZoom);
  view.SetZoom(NAN);
  EXPECT_EQ(view.Zoom(), M3DView::kDefaultZoom);
  view.SetZoom(3);
  EXPECT_EQ(view.Zoom(), 3);
  view.SetSpin({NAN, 0, 0}, 1, {0, 0, 0}, 2);
  EXPECT_EQ(view.SpinSpeed(0), 0);
  EXPECT_EQ(view.SpinSpeed(1), 0);
  view.SetSpin({1, 0, 0}, INFINITY, {0, 1, 0}, 2);
  EXPECT_EQ(view.SpinSpeed(0), 0);
  EXPECT_EQ(view.SpinSpeed(1), 2);
}

}  // namespace
