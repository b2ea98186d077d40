#include <cmath>

#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/MathConstants.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphpane/PlainGraph2D.h"
#include "tests/graphs2d/GraphTestSupport.h"
#include "tests/graphs2d/ViewTestSupport.h"

namespace {

// A graph that reports fixed data bounds and records its pans.
class BoundsGraph : public PlainGraph2D {
 public:
  BoundsGraph(double xl, double xh, double yl, double yh) : fBounds{xl, xh, yl, yh} {}
  void Pan(int32_t dh, int32_t dv) override { panH += dh, panV += dv; }
  // A box around the point asked about, as an uncertain curve answers.
  Selection GetSelection(double x, double y) override {
    Selection s;
    s.kind = kSelectBox;
    s.x = x, s.y = y;
    s.xRange[0] = x - 1, s.xRange[1] = x + 1;
    ++selections;
    return s;
  }
  bool GetDataBounds(double* xl, double* xh, double* yl, double* yh) override {
    *xl = fBounds[0], *xh = fBounds[1], *yl = fBounds[2], *yh = fBounds[3];
    return true;
  }
  double fBounds[4];
  int panH = 0, panV = 0, selections = 0;
};

TEST(A2DZoom, CommandsStepThroughTheScaleFamilyAroundTheAxes) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  const ViewState2D& s = v.view.State();
  const struct {
    ZoomCommand command;
    double xScale, yScale;
    int32_t tickState;
    double numberSpacing;
  } steps[] = {{kZoomOut, 0.5, 0.5, 2, 2},
               {kZoomIn, 0.25, 0.25, 1, 1},
               {kZoomIn, 0.1, 0.1, 5, 0.5},
               {kZoomOutY, 0.1, 0.25, 5, 0.5}};
  for (const auto& step : steps) {
    v.view.Zoom(step.command);
    EXPECT_EQ(s.xScale, step.xScale);
    EXPECT_EQ(s.yScale, step.yScale);
    EXPECT_EQ(s.xTickState, step.tickState);
    EXPECT_EQ(NumberSpacing(s.xScale, s.xTickState), step.numberSpacing);
    EXPECT_EQ(v.view.ViewTransform().XTOI_InfSafe(0), 200);  // the axes' crossing stays
    EXPECT_EQ(v.view.ViewTransform().YTOI_InfSafe(0), 149);
  }
  EXPECT_EQ(TickSpacing(0.5, 2), 1);
  EXPECT_EQ(HookRecorder::dirty, 4);
  EXPECT_GE(HookRecorder::redraws, 4 * 5);  // four animation frames and the last
}

TEST(A2DZoom, SelectionOutsideTheViewIsOnlyScrolledToTheCentre) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  Selection& selection = v.view.MutableSelection();
  selection.kind = kSelectPoint;
  selection.x = 40, selection.y = 1;
  v.view.Zoom(kZoomIn);
  EXPECT_EQ(v.view.State().xScale, 0.25);
  EXPECT_EQ(v.view.ViewTransform().XTOI_InfSafe(40), 200);
  EXPECT_EQ(v.view.ViewTransform().YTOI_InfSafe(1), 150);

  selection.x = gInf;  // cleared, then the axes are the fixed point
  v.view.Zoom(kZoomIn);
  EXPECT_EQ(v.view.CurrentSelection().kind, kSelectNothing);
  EXPECT_EQ(v.view.State().xScale, 0.1);
}

TEST(A2DZoom, ABoxSelectionIsEvaluatedAgainOnTheGraphViewThread) {
  Watchdog watchdog("selection evaluated again");
  InitializeZLThreads();
  {
    HookRecorder hooks;
    ViewOnPort v(400, 300);
    auto* graph = AddedTo(v.view, std::make_unique<BoundsGraph>(0, 1, 0, 1));
    Selection& selection = v.view.MutableSelection();
    selection.kind = kSelectBox;
    selection.x = 0.5, selection.y = 0.25;
    v.view.Zoom(kZoomOut);
    EXPECT_EQ(graph->selections, 1);
    EXPECT_EQ(v.view.CurrentSelection().kind, kSelectBox);
    EXPECT_EQ(v.view.CurrentSelection().xRange[1], 1.5);
    EXPECT_EQ(v.view.ViewTransform().XTOI_InfSafe(0.5), 232);  // the selection kept its pixel
  }
  ShutdownZLThreads();
}

TEST(A2DZoom, ResetAndDefaultView) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  v.view.SetViewParameter(kAttributeShowAxes);
  HookRecorder::dirty = 0;
  v.view.Zoom(kZoomReset);
  EXPECT_EQ(HookRecorder::dirty, 0);
  EXPECT_EQ(v.view.State().xMinimum, -2.0);
  EXPECT_EQ(v.view.State().xOrigin, 128);
  EXPECT_EQ(v.view.State().yOrigin, 299 - 128);
  EXPECT_TRUE(v.view.IsShowingAxes());
  v.view.Zoom(kZoomDefaultView);
  EXPECT_EQ(HookRecorder::dirty, 1);
  EXPECT_EQ(v.view.State().xMinimum, -3.125);
}

TEST(A2DZoom, DialogZoomTakesRangesInEitherOrder) {
  HookRecorder hooks;
  ViewOnPort a(400, 300), b(400, 300);
  a.view.DialogZoomX(5, -5);
  b.view.DialogZoomX(-5, 5);
  EXPECT_EQ(a.view.State().xScale, b.view.State().xScale);
  EXPECT_EQ(a.view.State().xMinimum, b.view.State().xMinimum);
  EXPECT_EQ(a.view.State().xScale, 0.5);  // 10 units across 399 pixels
  EXPECT_EQ(a.view.State().xTickState, 2);
  EXPECT_LE(a.view.State().xMinimum, -5);

  ViewOnPort c(400, 300);
  const ViewState2D before = c.view.State();
  c.view.DialogZoomX(-1, 2);  // already shown at this scale
  EXPECT_EQ(c.view.State().xScale, before.xScale);
  EXPECT_EQ(c.view.State().xMinimum, before.xMinimum);
}

// Ranges without a size are refused and a deep zoom (the last) is taken;
// the state stays finite either way, and after a pan.
TEST(A2DZoom, DialogZoomKeepsTheStateFinite) {
  Watchdog watchdog("dialog zoom on extreme ranges");
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  const ViewState2D& s = v.view.State();
  const auto expectFinite = [&](double low, double high) {
    for (double value : {s.xScale, s.yScale, s.xMinimum, s.yMinimum, s.xOrigin, s.yPixelsPerUnit}) {
      EXPECT_TRUE(std::isfinite(value)) << low << " " << high;
    }
  };
  const double ends[][2] = {{-1e308, 1e308}, {-gInf, 1}, {0, gInf},        {gNaN, 1},
                            {gNaN, gNaN},    {3, 3},     {1e-320, 2e-320}, {-1e-300, 1e-300}};
  for (const auto& e : ends) {
    v.view.DialogZoom(e[0], e[1], e[0], e[1]);
    expectFinite(e[0], e[1]);
  }
  EXPECT_LT(s.xScale, 1e-299);
  EXPECT_LE(s.xMinimum, -1e-300);
  v.view.Pan(5, 5);
  expectFinite(-1e-300, 1e-300);
}

TEST(A2DPan, WheelPansThreePixelsAndGraphsFollow) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  auto* graph = AddedTo(v.view, std::make_unique<BoundsGraph>(0, 1, 0, 1));
  ASSERT_EQ(v.view.GraphCount(), 1);
  EXPECT_TRUE(v.view.MouseWheel(0, 1));
  EXPECT_EQ(v.view.State().yMinimum, -2.34375 - 3.0 / 64);
  EXPECT_EQ(v.view.State().xMinimum, -3.125);
  EXPECT_EQ(graph->panV, -3);
  v.view.Pan(5, 0);
  EXPECT_EQ(graph->panH, -5);
  EXPECT_EQ(HookRecorder::dirty, 2);

  // A drag step outside the view scrolls a quarter of the overshoot more.
  const double xBefore = v.view.State().xMinimum;
  v.view.MouseMoveForPanning(MPoint{100, 440}, MPoint{100, 390});
  EXPECT_EQ(v.view.State().xMinimum, xBefore - (50 + 10) / 64.0);
}

TEST(A2DZoom, ZoomRectangleAndShowAllData) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  const ViewState2D before = v.view.State();
  v.view.MouseUpForZoomRect(MPoint{50, 100}, MPoint{80, 100});  // no width
  EXPECT_EQ(v.view.State().xScale, before.xScale);
  EXPECT_EQ(v.view.State().yMinimum, before.yMinimum);
  v.view.MouseUpForZoomRect(MPoint{149, 264}, MPoint{85, 200});  // x 0..1, y 1..0
  // One unit over 399 pixels: 0.025 covers 0.62, one step up 1.25.
  EXPECT_EQ(v.view.State().xScale, 0.05);
  EXPECT_EQ(v.view.State().xTickState, 2);
  EXPECT_LE(v.view.State().xMinimum, 0);
  EXPECT_GE(v.view.ViewTransform().ITOX(399), 1);

  ViewOnPort w(400, 300);
  EXPECT_FALSE(w.view.EnableShowAllData());
  w.view.AddGraph(std::make_unique<BoundsGraph>(-1, 1, -1, 1));  // inside: nothing to do
  EXPECT_FALSE(w.view.EnableShowAllData());
  w.view.AddGraph(std::make_unique<BoundsGraph>(-10, 30, -1, 1));
  EXPECT_TRUE(w.view.EnableShowAllData());
  w.view.DoShowAllData();
  const A2DTransform& t = w.view.ViewTransform();
  EXPECT_LE(t.ITOX(0), -10);
  EXPECT_GE(t.ITOX(399), 30);
  EXPECT_FALSE(w.view.EnableShowAllData());
}

}  // namespace
