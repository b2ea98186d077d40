#include <cmath>

#include "CoreUtilities/drawing/OurDrawing.h"
#include "graphs2d/AParametricCurve.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

const double kPi = std::acos(-1.0);

// (x(t), y(t)) in a default 400 x 300 view, computed.
struct ParametricInView {
  ParametricInView(const char* x, const char* y, double grain, double tmin, double tmax)
      : view(400, 300), range{tmin, tmax} {
    curve = AddedTo(view.view, std::make_unique<AParametricCurve>(CurveExpression(x, 't'), CurveExpression(y, 't'),
                                                                  SolidColour(), grain, kSelectParametric,
                                                                  view.view.GraphTransform(), range[0], range[1]));
    WaitUntilDone(*curve);
  }
  ViewOnPort view;
  double range[2];
  AParametricCurve* curve;  // owned by the view
};

using ParametricCurveTest = FunctionGraphTest;

TEST_F(ParametricCurveTest, PointsAreTheFormulaAtEqualParameterSteps) {
  ParametricInView c("cos(t)", "sin(2*t)", 0.5, 0, 2 * kPi);
  ASSERT_EQ(c.curve->Count(), 600);
  ASSERT_EQ(c.curve->Computed(), 600);
  for (int i = 0; i < 600; ++i) {
    const double t = 0 + i * (2 * kPi - 0) / (600 - 1);
    ASSERT_NEAR(c.curve->Points()[i].x, std::cos(t), 1e-14) << i;
    ASSERT_NEAR(c.curve->Points()[i].y, std::sin(2 * t), 1e-14) << i;
  }
  c.curve->SetParameter(kAttributeGrain, 1);
  WaitUntilDone(*c.curve);
  EXPECT_EQ(c.curve->Computed(), 1000);
  EXPECT_NEAR(c.curve->Points()[999].x, 1, 1e-14);
}

TEST_F(ParametricCurveTest, APoleAtASampleLeavesAGap) {
  // 201 points over [-1, 1]: t = 0 is point 100, where x is not finite.
  ParametricInView c("1/t", "t", 1.0 / 800, -1, 1);
  ASSERT_EQ(c.curve->Count(), 201);
  EXPECT_FALSE(std::isfinite(c.curve->Points()[100].x));
  PortPtr blank(NewOffscreenPort(QRect(0, 0, 400, 300)));
  {
    APushPort push(blank.get());
    OurEraseRect(MRect{0, 0, 300, 400});
    c.curve->Draw();
  }
  const A2DTransform& t = c.view.view.GraphTransform();
  const int zeroRow = WorldToPixel(0, t.yPixelsPerUnit, t.yOrigin);
  for (int h = 0; h < 400; ++h) ASSERT_FALSE(IsInk(RgbAt(*blank, h, zeroRow))) << h;
  // The branches themselves are drawn.
  EXPECT_TRUE(IsInk(
      RgbAt(*blank, WorldToPixel(2, t.xPixelsPerUnit, t.xOrigin), WorldToPixel(0.5, t.yPixelsPerUnit, t.yOrigin))));
}

TEST_F(ParametricCurveTest, PanAndZoomNeverRecompute) {
  ParametricInView c("t", "t^2", 0, -1, 1);
  const AParametricCurve::Point* points = c.curve->Points();
  const double first = points[0].y;
  c.view.view.Pan(25, -7);
  c.view.view.Zoom(kZoomIn);
  EXPECT_TRUE(c.curve->IsDoneComputing());
  EXPECT_EQ(c.curve->Points(), points);
  EXPECT_EQ(c.curve->Points()[0].y, first);
  EXPECT_EQ(c.curve->Computed(), 200);
}

TEST_F(ParametricCurveTest, Visibility) {
  EXPECT_EQ(ParametricInView("cos(t)", "sin(t)", 0, 0, 2 * kPi).curve->GraphVisibility(), 0);
  EXPECT_EQ(ParametricInView("100*cos(t)", "100*sin(t)", 0, 0, 2 * kPi).curve->GraphVisibility(), 5);
  EXPECT_EQ(ParametricInView("sqrt(-1 - t^2)", "t", 0, 0, 1).curve->GraphVisibility(), 2);
}

TEST_F(ParametricCurveTest, PickingOnACircleSnapsToTheZeroOfY) {
  ParametricInView c("cos(t)", "sin(t)", 0.5, -kPi, kPi);
  EXPECT_TRUE(c.curve->IsPointOverCurve(1.02, 0.03));
  EXPECT_FALSE(c.curve->IsPointOverCurve(1.2, 0.03));
  const Selection s = c.curve->GetSelection(1.01, 0.02);
  EXPECT_EQ(s.kind, kSelectParametric);
  EXPECT_EQ(s.snapped, 1);
  EXPECT_EQ(s.y, 0);
  EXPECT_NEAR(s.x, 1, 1e-12);
  EXPECT_NEAR(s.parameter, 0, 1e-12);
  // Away from special points the pick follows the curve and does not snap.
  const Selection away = c.curve->GetSelection(std::cos(0.7), std::sin(0.7) + 0.01);
  EXPECT_EQ(away.snapped, 0);
  EXPECT_NEAR(away.parameter, 0.7, 0.02);
}

TEST_F(ParametricCurveTest, NeighbourhoodAroundAPoint) {
  ParametricInView c("cos(t)", "sin(t)", 0.5, 0, 2 * kPi);
  const Neighborhood n = c.curve->GetNeighborhood(std::cos(1.0), std::sin(1.0), 0.3, -INFINITY, INFINITY);
  ASSERT_EQ(n.found, 1);
  EXPECT_NEAR(n.centre.parameter, 1.0, 1e-6);
  EXPECT_LT(n.before.parameter, n.centre.parameter);
  EXPECT_GT(n.after.parameter, n.centre.parameter);
  EXPECT_NEAR(n.after.x, std::cos(n.after.parameter), 1e-14);
}

}  // namespace
