// Every column of a dozen functions against the true range of f over the
// column: the same function written in C++, sampled densely, plus its
// extrema from calculus.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "CoreUtilities/drawing/OurDrawing.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

const double kOraclePi = std::acos(-1.0);

struct GraphCase {
  const char* text;
  std::function<double(double)> f;
  // The critical points in [a, b].
  std::function<std::vector<double>(double, double)> extrema = [](double, double) { return std::vector<double>{}; };
  // The poles in [a, b].
  std::function<std::vector<double>(double, double)> poles = [](double, double) { return std::vector<double>{}; };
};

// The points x0 + k period that fall in [a, b].
std::vector<double> Periodic(double x0, double period, double a, double b) {
  std::vector<double> points;
  for (double k = std::ceil((a - x0) / period); x0 + k * period <= b; ++k) points.push_back(x0 + k * period);
  return points;
}

std::vector<double> Fixed(std::initializer_list<double> list, double a, double b) {
  std::vector<double> points;
  for (double x : list) {
    if (x >= a && x <= b) points.push_back(x);
  }
  return points;
}

const std::vector<GraphCase>& GraphCases() {
  static const std::vector<GraphCase> cases = {
      {"x^2 - 1", [](double x) { return x * x - 1; }, [](double a, double b) { return Fixed({0}, a, b); }},
      {"sin(3*x)", [](double x) { return std::sin(3 * x); },
       [](double a, double b) { return Periodic(kOraclePi / 6, kOraclePi / 3, a, b); }},
      {"sin(50*x)", [](double x) { return std::sin(50 * x); },
       [](double a, double b) { return Periodic(kOraclePi / 100, kOraclePi / 50, a, b); }},
      {"1/x", [](double x) { return 1 / x; }, [](double, double) { return std::vector<double>{}; },
       [](double a, double b) { return Fixed({0}, a, b); }},
      {"sqrt(x)", [](double x) { return std::sqrt(x); }},
      {"ln(x)", [](double x) { return std::log(x); }},
      {"tan(x)", [](double x) { return std::tan(x); }, [](double, double) { return std::vector<double>{}; },
       [](double a, double b) { return Periodic(kOraclePi / 2, kOraclePi, a, b); }},
      {"sin(x)/x", [](double x) { return std::sin(x) / x; }},
      {"(x^2 - 1)/(x - 1)", [](double x) { return (x * x - 1) / (x - 1); }},
      {"sqrt(1 - x^2)", [](double x) { return std::sqrt(1 - x * x); },
       [](double a, double b) { return Fixed({0}, a, b); }},
      {"exp(x) - 3", [](double x) { return std::exp(x) - 3; }},
      {"x^3 - x", [](double x) { return x * x * x - x; },
       [](double a, double b) {
         return Fixed({-1 / std::sqrt(3.0), 1 / std::sqrt(3.0)}, a, b);
       }},
  };
  return cases;
}

struct TrueRange {
  double lo = INFINITY, hi = -INFINITY;
  bool bad = false;  // undefined or overflowing somewhere in the column
  bool pole = false;
};

TrueRange RangeOver(const GraphCase& c, double a, double b) {
  TrueRange r;
  r.pole = !c.poles(a, b).empty();
  std::vector<double> points = c.extrema(a, b);
  for (int i = 0; i <= 256; ++i) points.push_back(a + (b - a) * i / 256);
  for (double x : points) {
    const double y = c.f(x);
    if (!std::isfinite(y)) {
      r.bad = true;
      continue;
    }
    r.lo = std::min(r.lo, y), r.hi = std::max(r.hi, y);
  }
  return r;
}

double Slack(double v) { return 1e-12 * (1 + std::fabs(v)); }

class FunctionOracleTest : public FunctionGraphTest, public testing::WithParamInterface<int> {};

TEST_P(FunctionOracleTest, EveryColumnAgainstTheTrueRange) {
  const int mode = GetParam();
  for (const GraphCase& c : GraphCases()) {
    SCOPED_TRACE(c.text);
    CurveInView curve(c.text, mode);
    const A2DTransform& t = curve.view.view.GraphTransform();
    const double w = t.xUnitsPerPixel;
    PortPtr blank(NewOffscreenPort(QRect(0, 0, 400, 300)));
    {
      APushPort push(blank.get());
      OurEraseRect(t.pixelRect);
      curve.graph->Draw();
    }
    int compared = 0;
    for (int k = 0; k < curve.graph->ColumnCount(); ++k) {
      const dPoint& p = curve.At(k);
      const int type = curve.Type(k);
      const double centre = t.ITOX(k);
      ASSERT_DOUBLE_EQ(p.centre, centre);
      const TrueRange truth = RangeOver(c, centre - w / 2, centre + w / 2);
      SCOPED_TRACE(testing::Message() << "column " << k << " type " << type << " [" << p.lo << ", " << p.hi << "]");
      ASSERT_NE(type, kColumnPending);
      if (type == kColumnUndefined) {
        EXPECT_TRUE(truth.bad);
        continue;
      }
      if (truth.bad) continue;
      ++compared;
      const bool edges = type == kColumnEdges;
      if (mode == kPlotSampling) {
        // The edges of a column holding a pole would join its branches.
        ASSERT_EQ(type, truth.pole ? kColumnUnbounded : kColumnEdges);
        if (truth.pole) continue;
        const double left = c.f(centre - w / 2), right = c.f(centre + w / 2);
        EXPECT_NEAR(p.lo, std::min(left, right), Slack(p.lo));
        EXPECT_NEAR(p.hi, std::max(left, right), Slack(p.hi));
        continue;
      }
      if (mode == kPlotInterval) {
        EXPECT_FALSE(edges);
      }
      int low = t.YTOI_InfSafe(truth.lo), high = t.YTOI_InfSafe(truth.hi);
      if (edges) {
        EXPECT_LE(std::abs(t.YTOI_InfSafe(p.lo) - low), 1);
        EXPECT_LE(std::abs(t.YTOI_InfSafe(p.hi) - high), 1);
        --low, ++high;  // within one pixel: the ends may fall short by one
      } else {
        EXPECT_LE(p.lo, truth.lo + Slack(truth.lo));
        EXPECT_GE(p.hi, truth.hi - Slack(truth.hi));
      }
      if (type == kColumnUnbounded) continue;  // drawn in grey, checked elsewhere
      for (int v = std::max(high, 0); v <= std::min(low, 299); ++v) {
        ASSERT_TRUE(IsInk(RgbAt(*blank, k, v))) << "row " << v;
      }
    }
    EXPECT_GT(compared, 120);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, FunctionOracleTest, testing::Values(0, 1, 2));

}  // namespace
