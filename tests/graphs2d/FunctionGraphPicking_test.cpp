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

TEST_F(FunctionPickingTest, SnapsToTheStartOfTheDomain) {
  CurveInView c("sqrt(x)", kPlotIntervalPixelTests);
  const Selection s = c.graph->GetSelection(1.3 * kPixel, 0.1);
  EXPECT_EQ(s.snapped, 1);
  EXPECT_EQ(s.kind, kSelectPoint);
  EXPECT_EQ(s.x, 0);
  EXPECT_EQ(s.y, 0);
}

TEST_F(FunctionPickingTest, SnapsToARemovableHole) {
  CurveInView c("sin(x)/x", kPlotIntervalPixelTests);
  const Selection s = c.graph->GetSelection(0.4 * kPixel, 1);
  EXPECT_EQ(s.snapped, 1);
  EXPECT_EQ(s.x, 0);
  EXPECT_TRUE(std::isnan(s.y));
}

TEST_F(FunctionPickingTest, SnapsToAPole) {
  CurveInView c("1/x", kPlotIntervalPixelTests);
  const Selection s = c.graph->GetSelection(-1.2 * kPixel, 3);
  EXPECT_EQ(s.snapped, 1);
  EXPECT_NEAR(s.x, 0, 1e-15);
  EXPECT_TRUE(std::isinf(s.y));
}

TEST_F(FunctionPickingTest, SnapsToAZeroOneColumnAway) {
  CurveInView c("x - 1", kPlotIntervalPixelTests);
  const Selection s = c.graph->GetSelection(1 + 1.2 * kPixel, 0);
  EXPECT_EQ(s.snapped, 1);
  EXPECT_EQ(s.x, 1);
  EXPECT_EQ(s.y, 0);
  // Four columns away nothing snaps: the pick is the value at the mouse.
  const Selection far = c.graph->GetSelection(1 + 4.2 * kPixel, 0);
  EXPECT_EQ(far.snapped, 0);
  EXPECT_EQ(far.kind, kSelectPoint);
  EXPECT_DOUBLE_EQ(far.y, 4.2 * kPixel);
}

TEST_F(FunctionPickingTest, XOfYSnapsAlongRows) {
  CurveInView c("y^2 - 1", kPlotIntervalPixelTests, false);
  const Selection s = c.graph->GetSelection(0.01, 1 - 1.3 * kPixel);
  EXPECT_EQ(s.snapped, 1);
  EXPECT_EQ(s.x, 0);
  EXPECT_EQ(s.y, 1);
}

TEST_F(FunctionPickingTest, NonFiniteMousePositionsPickNothing) {
  CurveInView c("x", kPlotIntervalPixelTests);
  for (double v : {double(NAN), double(INFINITY), -double(INFINITY), 1e300}) {
    EXPECT_EQ(c.graph->GetSelection(v, 0).kind, kSelectNothing);
    EXPECT_FALSE(c.graph->IsPointOverCurve(v, 0));
    EXPECT_EQ(c.graph->GetNeighborhood(v, 0, 0.1, -INFINITY, INFINITY).found, 0);
  }
}

TEST_F(FunctionPickingTest, SnapsToAnExtremumThroughTheDerivative) {
  CurveInView c("(x - 0.5)^2 + 1", kPlotIntervalPixelTests);
  const std::unique_ptr<AnExpression> probe(CurveExpression("x"));
  const std::unique_ptr<AnExpression> derivative(probe->CreateDerivativeExpr(kIdU));
  ASSERT_NE(derivative, nullptr);
  const Selection s = c.graph->GetSelection(0.5 + 1.3 * kPixel, 1);
  EXPECT_EQ(s.snapped, 1);
  EXPECT_NEAR(s.x, 0.5, 1e-12);
  EXPECT_NEAR(s.y, 1, 1e-12);
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
