#include <cmath>
#include <functional>
#include <vector>

#include "graphs2d/ADEPlot.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

// A differential-equation plot in a default 400 x 300 view, computed.
struct DEInView {
  DEInView(const char* first, const char* second, const char* startX, const char* startY, double grain = 0.5)
      : view(400, 300),
        plot(AddedTo(view.view,
                     std::make_unique<ADEPlot>(Formula(first), Formula(second), Formula(startX), Formula(startY),
                                               SolidColour(), grain, view.view.GraphTransform()))) {
    WaitUntilDone(*plot);
  }
  const A2DTransform& T() const { return view.view.GraphTransform(); }
  double Width() const { return T().xUnitsPerPixel * (T().pixelRect.right - T().pixelRect.left); }
  ViewOnPort view;
  ADEPlot* plot;  // owned by the view
};

std::vector<dePoint> Points(const SolutionPath& path) {
  std::vector<dePoint> points;
  for (int32_t i = 0; i < path.Count(); ++i) points.push_back(path[i]);
  return points;
}

// The tracing rule written out afresh: RK4 steps of one pixel along the
// steeper axis, the walking sign carried over when the axis changes.
std::vector<dePoint> ReferenceCurve(const std::function<double(double, double)>& f, double x, double y,
                                    double direction, const A2DTransform& t, int limit) {
  std::vector<dePoint> points;
  double s = f(x, y);
  bool alongX = std::fabs(s) <= 1;
  double walk = direction, lastX = 1, lastY = 1;
  while (int(points.size()) < limit && t.IsPointOnScreen(x, y)) {
    points.push_back({x, y});
    s = f(x, y);
    if (std::fabs(s) > 1) {
      if (alongX) walk = lastY;
      alongX = false;
      const double h = walk * t.yUnitsPerPixel;
      const double k1 = h / s, k2 = h / f(x + k1 / 2, y + h / 2), k3 = h / f(x + k2 / 2, y + h / 2),
                   k4 = h / f(x + k3, y + h);
      const double dx = (k1 + 2 * k2 + 2 * k3 + k4) / 6;
      x += dx, y += h;
      if (dx != 0) lastX = dx > 0 ? 1 : -1;
    } else {
      if (!alongX) walk = lastX;
      alongX = true;
      const double h = walk * t.xUnitsPerPixel;
      const double k1 = h * s, k2 = h * f(x + h / 2, y + k1 / 2), k3 = h * f(x + h / 2, y + k2 / 2),
                   k4 = h * f(x + h, y + k3);
      const double dy = (k1 + 2 * k2 + 2 * k3 + k4) / 6;
      x += h, y += dy;
      if (dy != 0) lastY = dy > 0 ? 1 : -1;
    }
  }
  return points;
}

using DEPlotTest = FunctionGraphTest;

TEST_F(DEPlotTest, CurvesMatchAnIndependentRungeKutta) {
  DEInView de("x - y^2 / 3", nullptr, "-1", "0.5");
  ASSERT_EQ(de.plot->CurveCount(), 2);
  auto f = [](double x, double y) { return x - y * y / 3; };
  for (int c = 0; c < 2; ++c) {
    const std::vector<dePoint> got = Points(*de.plot->Curve(c));
    const std::vector<dePoint> want = ReferenceCurve(f, -1, 0.5, c == 0 ? 1 : -1, de.T(), 4000);
    ASSERT_EQ(got.size(), want.size()) << c;
    ASSERT_GT(got.size(), 50u);
    for (size_t i = 0; i < got.size(); ++i) {
      ASSERT_NEAR(got[i].x, want[i].x, 1e-10 * de.Width()) << c << " " << i;
      ASSERT_NEAR(got[i].y, want[i].y, 1e-10 * de.Width()) << c << " " << i;
    }
  }
}

TEST_F(DEPlotTest, ExponentialAndCircleAgainstTheirSolutions) {
  DEInView growth("y", nullptr, "0", "1");
  for (int c = 0; c < 2; ++c) {
    const SolutionPath& curve = *growth.plot->Curve(c);
    ASSERT_GT(curve.Count(), 20);
    for (int32_t i = 0; i < curve.Count(); ++i) {
      ASSERT_NEAR(curve[i].y / std::exp(curve[i].x), 1, 1e-6) << c << " " << i;
    }
  }
  // dx/dt = -y, dy/dt = x: a circle, traced round until the 4000-point cap.
  DEInView circle("-y", "x", "2", "0");
  const SolutionPath& round = *circle.plot->Curve(0);
  EXPECT_EQ(round.Count(), 4000);
  for (int32_t i = 0; i < round.Count(); ++i) {
    ASSERT_NEAR(std::hypot(round[i].x, round[i].y), 2, 1e-8) << i;
  }
  // Anticlockwise from (2, 0): upward first.
  EXPECT_GT(round[5].y, 0);
}

TEST_F(DEPlotTest, CurvesEndAtTheCapsAStationaryPointOrTheViewsEdge) {
  // Horizontal lines cross the view in fewer than 1000 pixels, but a
  // circle from the lattice runs into its cap of 1000.
  DEInView lattice("-x / y", nullptr, nullptr, nullptr);
  int32_t longest = 0;
  for (int32_t c = 0; c < lattice.plot->CurveCount(); ++c) longest = std::max(longest, lattice.plot->Curve(c)->Count());
  EXPECT_EQ(longest, 1000);

  // dx/dt = 1 - x stops one pixel short of x = 1, where the last step's
  // slope is undefined.
  DEInView stopping("1 - x", "0", "1 - 10 / 64", "0.5");
  const double ux = stopping.T().xUnitsPerPixel;
  ASSERT_EQ(ux, 1.0 / 64) << "the start lies ten pixels left of the stationary line";
  const SolutionPath& forward = *stopping.plot->Curve(0);
  EXPECT_EQ(forward.Count(), 10);
  EXPECT_NEAR(forward[9].x, 1 - ux, 1e-12);

  DEInView away("1", nullptr, "1000", "0");
  ASSERT_EQ(away.plot->CurveCount(), 2);
  EXPECT_EQ(away.plot->Curve(0)->Count(), 0);
  EXPECT_EQ(away.plot->Curve(1)->Count(), 0);
}

TEST_F(DEPlotTest, ACoveredLatticePointStartsNoCurve) {
  // dy/dx = 0: the first lattice point of each row traces the whole row, so
  // every row on the view gives exactly one pair of curves.
  DEInView flat("0", nullptr, nullptr, nullptr);
  const A2DTransform& t = flat.T();
  const MRect& r = t.pixelRect;
  const int spacing = 125;
  const int yAxis = int(std::floor(t.yOrigin + 0.5));
  ASSERT_TRUE(yAxis > r.top && yAxis < r.bottom);
  int rowsOnView = 0;
  for (int v = yAxis % spacing; v < r.bottom; v += spacing) rowsOnView += v >= r.top;
  EXPECT_EQ(flat.plot->CurveCount(), 2 * rowsOnView);
  for (int32_t c = 0; c < flat.plot->CurveCount(); ++c) {
    const SolutionPath& curve = *flat.plot->Curve(c);
    const double y = curve[0].y;
    // Every row falls on the x axis's lattice.
    EXPECT_EQ((WorldToPixel(y, t.yPixelsPerUnit, t.yOrigin) - yAxis) % spacing, 0);
    for (int32_t i = 0; i < curve.Count(); ++i) ASSERT_EQ(curve[i].y, y);
  }
}

TEST_F(DEPlotTest, AClickCarriesItsSolutionAndLeavesThePlotAlone) {
  DEInView lattice("-x / y", nullptr, nullptr, nullptr);
  const int32_t before = lattice.plot->CurveCount();
  std::vector<dePoint> first = Points(*lattice.plot->Curve(0));
  Selection s = lattice.plot->GetSelection(1, 2);
  EXPECT_EQ(s.kind, kSelectSolutionPaths);
  ASSERT_NE(s.path1, nullptr);
  ASSERT_NE(s.path2, nullptr);
  EXPECT_EQ((*s.path1)[0].x, 1);
  EXPECT_NEAR(std::hypot((*s.path1)[40].x, (*s.path1)[40].y), std::sqrt(5.0), 1e-8);
  // Tracing again from the lattice gives the same curves: the click left the
  // coverage alone.
  lattice.plot->ViewChanged();
  WaitUntilDone(*lattice.plot);
  EXPECT_EQ(lattice.plot->CurveCount(), before);
  std::vector<dePoint> again = Points(*lattice.plot->Curve(0));
  ASSERT_EQ(again.size(), first.size());
  EXPECT_EQ(again.back().x, first.back().x);

  DEInView system("-y", "x", nullptr, nullptr);
  Selection t = system.plot->GetSelection(1, 1);
  EXPECT_NE(t.path1, nullptr);
  EXPECT_EQ(t.path2, nullptr);
}

TEST_F(DEPlotTest, DrawsTheCurvesPixels) {
  DEInView line("0", nullptr, "0", "1");
  line.view.Draw();
  const A2DTransform& t = line.T();
  const int v = WorldToPixel(1, t.yPixelsPerUnit, t.yOrigin);
  for (int h = 10; h < 390; h += 20) ASSERT_EQ(line.view.At(h, v), 0xFF0000u) << h;
}

}  // namespace
