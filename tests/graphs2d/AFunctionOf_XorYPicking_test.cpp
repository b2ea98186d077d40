#include <cmath>

#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

using FunctionPickingTest = FunctionGraphTest;

constexpr double kPixel = 1.0 / 64;  // the default view's world size of one pixel

TEST_F(FunctionPickingTest, SamplingPicksTheValueAtTheMouseWithoutSnapping) {
  CurveInView c("x^2 - 1", kPlotSampling);
  const Selection s = c.graph->GetSelection(0.3, 5);
  EXPECT_EQ(s.kind, kSelectPoint);
  EXPECT_EQ(s.x, 0.3);
  EXPECT_DOUBLE_EQ(s.y, 0.3 * 0.3 - 1);
  EXPECT_EQ(s.snapped, 0);
}

TEST_F(FunctionPickingTest, IntervalModePicksTheColumnBox) {
  CurveInView c("x^2", kPlotInterval);
  const Selection s = c.graph->GetSelection(1.0, 0);
  EXPECT_EQ(s.kind, kSelectBox);
  EXPECT_LE(s.yRange[0], (1 - kPixel / 2) * (1 - kPixel / 2));
  EXPECT_GE(s.yRange[1], (1 + kPixel / 2) * (1 + kPixel / 2));
  EXPECT_DOUBLE_EQ(s.xRange[1] - s.xRange[0], kPixel);
}

// A pick near a special point snaps to it, the point worked out by hand.
TEST_F(FunctionPickingTest, SnapsToSpecialPointsNearTheMouse) {
  const struct {
    const char* text;
    bool yOfX;
    double mouseX, mouseY, x, y;  // y NaN: a hole; infinite: a pole
    double tolerance;
  } rows[] = {
      {"sqrt(x)", true, 1.3 * kPixel, 0.1, 0, 0, 0},                    // the start of the domain
      {"sin(x)/x", true, 0.4 * kPixel, 1, 0, NAN, 0},                   // a removable hole
      {"1/x", true, -1.2 * kPixel, 3, 0, INFINITY, 1e-15},              // a pole
      {"x - 1", true, 1 + 1.2 * kPixel, 0, 1, 0, 0},                    // a zero one column away
      {"y^2 - 1", false, 0.01, 1 - 1.3 * kPixel, 0, 1, 0},              // along rows
      {"(x - 0.5)^2 + 1", true, 0.5 + 1.3 * kPixel, 1, 0.5, 1, 1e-12},  // an extremum, through the derivative
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    CurveInView c(r.text, kPlotIntervalPixelTests, r.yOfX);
    const Selection s = c.graph->GetSelection(r.mouseX, r.mouseY);
    EXPECT_EQ(s.snapped, 1);
    EXPECT_EQ(s.kind, kSelectPoint);
    EXPECT_NEAR(s.x, r.x, r.tolerance);
    if (std::isnan(r.y)) {
      EXPECT_TRUE(std::isnan(s.y));
    } else if (std::isinf(r.y)) {
      EXPECT_TRUE(std::isinf(s.y));
    } else {
      EXPECT_NEAR(s.y, r.y, r.tolerance);
    }
  }
  // Four columns from the zero nothing snaps: the pick is the value at the mouse.
  CurveInView c("x - 1", kPlotIntervalPixelTests);
  const Selection far = c.graph->GetSelection(1 + 4.2 * kPixel, 0);
  EXPECT_EQ(far.snapped, 0);
  EXPECT_EQ(far.kind, kSelectPoint);
  EXPECT_DOUBLE_EQ(far.y, 4.2 * kPixel);
}

TEST_F(FunctionPickingTest, NonFiniteMousePositionsPickNothing) {
  CurveInView c("x", kPlotIntervalPixelTests);
  for (double v : {double(NAN), double(INFINITY), -double(INFINITY), 1e300}) {
    EXPECT_EQ(c.graph->GetSelection(v, 0).kind, kSelectNothing);
    EXPECT_FALSE(c.graph->IsPointOverCurve(v, 0));
    EXPECT_EQ(c.graph->GetNeighborhood(v, 0, 0.1, -INFINITY, INFINITY).found, 0);
  }
}

TEST_F(FunctionPickingTest, OverTheCurveWithinFourPixels) {
  CurveInView c("2*x", kPlotSampling);
  // Five columns of slope 2 span 10 pixels; 4 more on either side.
  EXPECT_TRUE(c.graph->IsPointOverCurve(0.5, 1 + 8.5 * kPixel));
  EXPECT_FALSE(c.graph->IsPointOverCurve(0.5, 1 + 9.5 * kPixel));
}

TEST_F(FunctionPickingTest, NeighbourhoodFollowsTheCurveBothWays) {
  CurveInView c("sin(x)", kPlotIntervalPixelTests);
  const Neighborhood n = c.graph->GetNeighborhood(0.5, std::sin(0.5), 0.2, -INFINITY, INFINITY);
  ASSERT_EQ(n.found, 1);
  EXPECT_LT(n.before.parameter, 0.5);
  EXPECT_GT(n.after.parameter, 0.5);
  for (const fPoint& p : {n.before, n.centre, n.after}) EXPECT_DOUBLE_EQ(p.y, std::sin(p.x));
  // Within a parameter range the centre is the curve's point nearest the mouse.
  const Neighborhood m = c.graph->GetNeighborhood(1.0, 0.0, 0.2, 0.0, 2.0);
  ASSERT_EQ(m.found, 1);
  EXPECT_GT(m.centre.parameter, 0.0);
  EXPECT_LT(m.centre.parameter, 1.0);
  // Only the pixel-test mode has neighbourhoods.
  EXPECT_EQ(CurveInView("sin(x)", kPlotSampling).graph->GetNeighborhood(0.5, 0.5, 0.2, -INFINITY, INFINITY).found, 0);
}

}  // namespace
