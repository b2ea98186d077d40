#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <random>

#include "CoreUtilities/MathConstants.h"
#include "platform/MouseSource.h"
#include "tests/graphs3d/ViewTestSupport.h"

namespace {

constexpr double kCap = 20 * gPi / 180;

struct SpinFixture {
  SpinFixture() {
    view.SetViewRect(MRect{0, 0, 300, 400});
    view.AddGraph(std::make_unique<StillGraph>());
  }
  // One frame after the given time, returning the turn it made.
  double Frame(int64_t microseconds) {
    Matrix3 before;
    CopyMatrix(view.Camera().rotation, before);
    gTestMicroseconds += microseconds;
    view.Rotate();
    return TurnBetween(before, view.Camera().rotation);
  }
  TestClock clock;
  A3DGraphView view;
};

TEST(A3DGraphViewSpin, FirstFrameTurnsNothingThenElapsedTimesSpeed) {
  SpinFixture f;
  f.view.SetSpin({0, 0, 1}, 0.5);
  EXPECT_EQ(f.Frame(0), 0);
  EXPECT_NEAR(f.Frame(100000), 0.05, 1e-12);
  // The wheel clears the timing: its first frame turns nothing again.
  f.view.MouseWheel(0, -10);
  EXPECT_EQ(f.view.SpinSpeed(), -2);
  EXPECT_EQ(f.Frame(50000), 0);
  EXPECT_NEAR(f.Frame(50000), 0.1, 1e-12);
}

TEST(A3DGraphViewSpin, EachFrameIsCappedEitherWay) {
  for (double speed : {100.0, -100.0}) {
    SpinFixture f;
    f.view.SetSpin({1, 0, 0}, speed);
    f.Frame(0);
    EXPECT_NEAR(f.Frame(1000000), kCap, 1e-12) << speed;
    // A fast negative wheel spin is held to the same cap.
    f.view.MouseWheel(0, speed > 0 ? -2000 : 2000);
    f.Frame(0);
    EXPECT_NEAR(f.Frame(1000000), kCap, 1e-12) << speed;
  }
}

TEST(A3DGraphViewSpin, ViewsWithoutGraphsOrWithUnusableSpinsStayStill) {
  TestClock clock;
  A3DGraphView empty;
  Matrix3 start;
  CopyMatrix(empty.Camera().rotation, start);
  EXPECT_EQ(empty.SpinSpeed(), A3DGraphView::kDefaultSpinSpeed);
  for (int i = 0; i < 5; ++i) {
    gTestMicroseconds += 100000;
    empty.Rotate();
  }
  EXPECT_TRUE(EqualMatrix(start, empty.Camera().rotation));

  SpinFixture f;
  for (AVector axis : {AVector{0, 0, 0}, AVector{NAN, 0, 1}, AVector{1, 0, 0}}) {
    f.view.SetSpin(axis, axis.x == 1 ? gInf : 1);
    EXPECT_EQ(f.view.SpinSpeed(), 0);
    f.Frame(0);
    EXPECT_EQ(f.Frame(100000), 0);
  }
}

// A scripted drag through the view's own loop.
struct DragFixture {
  explicit DragFixture(MRect rect = MRect{0, 0, 300, 400}) {
    view.SetViewRect(rect);
    view.AddGraph(std::make_unique<StillGraph>());
  }
  ~DragFixture() { SetMouseSource(nullptr); }
  void Drag(std::deque<ScriptedMouseSource::Step> steps, bool shift = false, bool control = false) {
    const QPoint first = steps.front().where;
    steps.pop_front();
    mouse = std::make_unique<ScriptedMouseSource>(std::move(steps));
    SetMouseSource(mouse.get());
    view.MouseDown(MPoint{int16_t(first.y()), int16_t(first.x())}, 0, false, false, control, shift, false);
  }
  TestClock clock;
  A3DGraphView view;
  std::unique_ptr<ScriptedMouseSource> mouse;
};

TEST(A3DGraphViewDrag, HeldStillLeavesNoMomentumAndAMovingReleaseIsCapped) {
  for (bool shift : {false, true}) {
    DragFixture f;
    gTickStepMicroseconds = 20000;
    std::deque<ScriptedMouseSource::Step> held;
    for (int i = 0; i < 10; ++i) held.push_back({QPoint(200 + 10 * i, 150)});
    for (int i = 0; i < 30; ++i) held.push_back({QPoint(290, 150)});
    f.Drag(held, shift);
    EXPECT_EQ(f.view.SpinSpeed(), 0) << shift;

    gTickStepMicroseconds = 1;
    std::deque<ScriptedMouseSource::Step> flung;
    for (int i = 0; i < 10; ++i) flung.push_back({QPoint(100 + 20 * i, 100 + 5 * i)});
    f.Drag(flung, shift);
    EXPECT_GT(f.view.SpinSpeed(), 0) << shift;
    EXPECT_LE(f.view.SpinSpeed(), 4 * gPi) << shift;
    const AVector axis = f.view.SpinAxis();
    EXPECT_NEAR(std::hypot(axis.x, axis.y, axis.z), 1, 1e-12);
  }
}

// However many frames are drawn while the mouse turns the view, it turns by
// the arc the mouse draws on the sphere: from the centre straight down by
// half the radius (120 pixels here) is asin(1/2), 30 degrees, tipping the
// top toward the viewer. The last step's arc over its time is the momentum.
TEST(A3DGraphViewDrag, FramesDrawnDuringADragTurnNoFurther) {
  DragFixture f;
  const FrameOnEachRedraw frames(f.view);
  gTickStepMicroseconds = 20000;
  Matrix3 before;
  CopyMatrix(f.view.Camera().rotation, before);
  std::deque<ScriptedMouseSource::Step> down;
  for (int i = 0; i <= 12; ++i) down.push_back({QPoint(200, 150 + 5 * i)});
  f.Drag(down);
  EXPECT_NEAR(TurnBetween(before, f.view.Camera().rotation), gPi / 6, 1e-9);
  EXPECT_NEAR(std::asin(f.view.Camera().rotation[6]) - std::asin(before[6]), gPi / 6, 1e-9);
  EXPECT_NEAR(f.view.SpinSpeed(), (std::asin(60.0 / 120) - std::asin(55.0 / 120)) / 0.02, 1e-6);
}

TEST(A3DGraphViewDrag, ZoomDragStopsAtItsLimits) {
  DragFixture f;
  f.Drag({{QPoint(200, 150)}, {QPoint(200, 160)}}, false, true);
  EXPECT_NEAR(f.view.Camera().zoom, M3DView::kDefaultZoom + 0.3, 1e-12);
  f.Drag({{QPoint(200, 150)}, {QPoint(200, 2000)}}, false, true);
  EXPECT_EQ(f.view.Camera().zoom, A3DGraphView::kMaximumZoom);
  f.Drag({{QPoint(200, 2000)}, {QPoint(200, -2000)}}, false, true);
  EXPECT_EQ(f.view.Camera().zoom, A3DGraphView::kMinimumZoom);
  // A command-click is the window's: nothing changes.
  EXPECT_EQ(f.view.MouseDown(MPoint{5, 5}, 0, true, false, false, false, false), 1);
  EXPECT_EQ(f.view.Camera().zoom, A3DGraphView::kMinimumZoom);
}

void ExpectRotation(const A3DGraphView& view, const char* what) {
  const Mat3 r = AsEigen(view.Camera().rotation);
  ASSERT_TRUE(r.allFinite()) << what;
  EXPECT_LT((r * r.transpose() - Mat3::Identity()).cwiseAbs().maxCoeff(), 1e-12) << what;
  EXPECT_NEAR(r.determinant(), 1, 1e-12) << what;
  const AVector axis = view.SpinAxis();
  const double speed = view.SpinSpeed();
  ASSERT_TRUE(std::isfinite(speed)) << what;
  if (speed != 0) {
    EXPECT_NEAR(std::hypot(axis.x, axis.y, axis.z), 1, 1e-12) << what;
  }
}

// Random steps, opposite rim points (a half turn), repeated points and
// panes too small for a sphere, in free and axis-locked drags.
TEST(A3DGraphViewDrag, TenThousandStepsKeepARotation) {
  std::mt19937 random(50);
  std::uniform_int_distribution<int> coordinate(-50, 450);
  std::uniform_int_distribution<int> kind(0, 3);
  int steps = 0;
  for (MRect rect : {MRect{0, 0, 300, 400}, MRect{0, 0, 2, 2}, MRect{10, 10, 11, 13}}) {
    DragFixture f(rect);
    gTickStepMicroseconds = 700;
    const int centreH = (rect.left + rect.right) / 2, centreV = (rect.top + rect.bottom) / 2;
    const int radius = int(0.4 * std::min(rect.right - rect.left, rect.bottom - rect.top));
    for (int drag = 0; drag < 40; ++drag) {
      std::deque<ScriptedMouseSource::Step> script;
      for (int i = 0; i < 90; ++i) {
        switch (kind(random)) {
          case 0:
            script.push_back({QPoint(centreH + radius, centreV)});
            script.push_back({QPoint(centreH - radius, centreV)});
            break;
          case 1:
            script.push_back({QPoint(centreH, centreV - radius)});
            script.push_back({QPoint(centreH, centreV + radius)});
            break;
          case 2: script.push_back({script.empty() ? QPoint(centreH, centreV) : script.back().where}); break;
          default: script.push_back({QPoint(coordinate(random), coordinate(random))}); break;
        }
      }
      steps += int(script.size());
      f.Drag(script, drag % 2 == 1);
      ExpectRotation(f.view, "after a drag");
      gTestMicroseconds += 100000;
      f.view.Rotate();
      ExpectRotation(f.view, "after a spin frame");
    }
  }
  EXPECT_GE(steps, 10000);
}

TEST(A3DGraphViewZoom, InThenOutGivesBackTheBoxAndShowAllNeverShrinks) {
  A3DGraphView view;
  view.Zoom(kZoomIn);
  EXPECT_EQ(view.Camera().xmax, 1);
  EXPECT_EQ(view.Camera().zmin, -1);
  view.Zoom(kZoomOut);
  for (double v : {view.Camera().xmin, view.Camera().ymin, view.Camera().zmin}) EXPECT_EQ(v, -2);
  for (double v : {view.Camera().xmax, view.Camera().ymax, view.Camera().zmax}) EXPECT_EQ(v, 2);

  view.AddGraph(std::make_unique<StillGraph>(std::array<double, 6>{-1, 1, -1, 1, -1, 1}));
  view.AddGraph(std::make_unique<StillGraph>());
  EXPECT_FALSE(view.EnableShowAllData());
  view.DoShowAllData();
  EXPECT_EQ(view.Camera().xmin, -2);
  view.AddGraph(std::make_unique<StillGraph>(std::array<double, 6>{-1, 7, -1, 1, -3, 1}));
  EXPECT_TRUE(view.EnableShowAllData());
  view.DoShowAllData();
  EXPECT_EQ(view.Camera().xmax, 7);
  EXPECT_EQ(view.Camera().xmin, -2);
  EXPECT_EQ(view.Camera().zmin, -3);
  EXPECT_EQ(view.Camera().ymax, 2);
  EXPECT_FALSE(view.EnableShowAllData());

  view.Zoom(kZoomReset);
  EXPECT_EQ(view.Camera().xmax, 2);
  EXPECT_EQ(view.Camera().zoom, M3DView::kDefaultZoom);
  Matrix3 defaultView;
  GetDefaultView(defaultView);
  EXPECT_TRUE(EqualMatrix(defaultView, view.Camera().rotation));
}

// Every box the view's own zoom and Show All Data reach is one a file may
// hold: zooming stops at eight float steps or at the floats' reach, and
// data past what any box spans leaves its axis alone.
TEST(A3DGraphViewZoom, ZoomAndShowAllStopWhereTheBoxCouldNoLongerBeDrawn) {
  A3DGraphView view;
  double(&box)[kCoordDisplayParamCount][2] = view.Record().ranges;
  box[kCoordZ][0] = 999998, box[kCoordZ][1] = 1000002;  // floats there are 1/16 apart
  box[kCoordX][0] = -1e38, box[kCoordX][1] = 1e38;
  for (int i = 0; i < 4; ++i) view.Zoom(kZoomIn);
  EXPECT_EQ(view.Camera().zmax - view.Camera().zmin, 0.5);
  for (int i = 0; i < 5; ++i) view.Zoom(kZoomOut);
  // Three zooms in, four out: at 4e38 the box would leave the floats.
  EXPECT_EQ(box[kCoordX][1], 2e38);
  view.AddGraph(std::make_unique<StillGraph>(std::array<double, 6>{-1, 1e39, -1, 100, 0, 1}));
  view.DoShowAllData();
  EXPECT_EQ(box[kCoordX][1], 2e38);
  EXPECT_EQ(box[kCoordY][1], 100);
}

}  // namespace
