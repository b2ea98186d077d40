#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphs2d/A2DVectorPlot.h"
#include "graphs2d/AContourPlot.h"
#include "graphs2d/ADEPlot.h"
#include "graphs2d/AParametricCurve.h"
#include "graphs2d/ATextureMapPlot.h"
#include "graphs2d/ContourLevels.h"
#include "graphs2d/GrainSteps.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs2d/GraphTestSupport.h"
#include "tests/platform/PortTestSupport.h"

namespace {

TEST(ContourLevels, AnchorAtZeroHitsZeroExactly) {
  // x + y sampled at the 20 x 20 cell centres of [-10, 10]^2.
  double levels[kMaxContourLevels];
  ASSERT_TRUE(ChooseContourLevels(-19, 19, 14, levels));
  EXPECT_EQ(levels[0], -18.0);  // step 38 / 14 rounds to 3, six levels below 0
  EXPECT_EQ(levels[6], 0.0);
  EXPECT_EQ(levels[13], 21.0);
}

TEST(ContourLevels, AnchorNearestTheMiddleAndRoundSteps) {
  double levels[kMaxContourLevels];
  ASSERT_TRUE(ChooseContourLevels(0.2, 0.95, 4, levels));
  EXPECT_NEAR(levels[1], 0.6, 1e-12);  // anchor 0.6, step 0.1875 -> 0.2
  EXPECT_NEAR(levels[1] - levels[0], 0.2, 1e-12);
  ASSERT_TRUE(ChooseContourLevels(0, 3.7, 10, levels));
  EXPECT_NEAR(levels[1] - levels[0], 0.4, 1e-12);  // 0.37 -> 0.4
  ASSERT_TRUE(ChooseContourLevels(0, 3.6, 10, levels));
  EXPECT_NEAR(levels[1] - levels[0], 0.35, 1e-12);  // 0.36 -> 0.35
  EXPECT_EQ(levels[0], 0.0);
}

TEST(ContourLevels, NoLevelsWithoutASpan) {
  double levels[kMaxContourLevels];
  EXPECT_FALSE(ChooseContourLevels(1, 1, 4, levels));
  EXPECT_FALSE(ChooseContourLevels(INFINITY, -INFINITY, 4, levels));  // nothing sampled
  EXPECT_FALSE(ChooseContourLevels(-1e308, 1e308, 4, levels));        // span overflows
  EXPECT_FALSE(ChooseContourLevels(0, 1, 25, levels));
}

// Spans from subnormal to near the largest double, either side of zero:
// every call returns; where levels come they rise by one round step (one
// significant digit or a half), and every span of ordinary size gets them.
TEST(ContourLevels, EveryRangeEndsAndOrdinaryRangesGetRoundLevels) {
  std::mt19937_64 random(69);
  std::uniform_real_distribution<double> exponent(-323, 308), unit(0, 1);
  double levels[kMaxContourLevels];
  const auto roundStep = [](double step) {
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    return std::fabs(mantissa * 2 - std::round(mantissa * 2)) < 1e-6;
  };
  for (int trial = 0; trial < 20000; ++trial) {
    const double scale = std::pow(10.0, exponent(random));
    const double a = (unit(random) * 2 - 1) * scale, b = (unit(random) * 2 - 1) * scale * unit(random);
    const double min = std::min(a, b), max = std::max(a, b);
    const int32_t count = 1 + int32_t(unit(random) * kMaxContourLevels) % kMaxContourLevels;
    const bool ordinary =
        max - min > 1e-290 && max - min < 1e290 && max - min > 1e-9 * std::max(std::fabs(min), std::fabs(max));
    if (!ChooseContourLevels(min, max, count, levels)) {
      EXPECT_FALSE(ordinary) << min << " " << max << " " << count;
      continue;
    }
    for (int32_t k = 1; k < count; ++k) {
      ASSERT_GT(levels[k], levels[k - 1]) << min << " " << max << " " << count;
      if (count > 2 && levels[k - 1] != 0 && levels[k] != 0) {
        EXPECT_TRUE(roundStep(levels[k] - levels[k - 1])) << min << " " << max << " " << count;
      }
    }
  }
  // The samples of x * 10^-310 over the default view, and the same range
  // at the top of the doubles.
  EXPECT_FALSE(ChooseContourLevels(-9.5e-310, 9.5e-310, 14, levels));
  EXPECT_FALSE(ChooseContourLevels(-1e-310, 1e-310, 14, levels));
  EXPECT_FALSE(ChooseContourLevels(1e300, 1.000000000000001e300, 14, levels));
  EXPECT_FALSE(ChooseContourLevels(-1.7e308, 1e307, 4, levels));
}

// Above 2^53 adding one to a double may leave it unchanged, so counting
// anchor candidates by stepping a double never ended for narrow ranges at
// any magnitude there. Millions of ranges from subnormal to 1e308, spans
// from one ulp up, each end under the watchdog; the plot's own samples of
// 1e17 + 32 (sgn(x) + 1) and 1e16 + 32 (sgn(x) + 1) among them.
TEST(ContourLevels, NarrowRangesAtEveryMagnitudeEnd) {
  Watchdog watchdog("the first ranges");
  double levels[kMaxContourLevels];
  EXPECT_FALSE(ChooseContourLevels(1e17, 1e17 + 64, 14, levels));  // levels 5 apart, doubles 16 apart
  ASSERT_TRUE(ChooseContourLevels(1e16, 1e16 + 64, 14, levels));
  for (int32_t k = 1; k < 14; ++k) EXPECT_GT(levels[k], levels[k - 1]) << k;
  std::mt19937_64 random(2053);
  std::uniform_real_distribution<double> exponent(-323.6, 308.25), unit(0, 1);
  int64_t withLevels = 0;
  constexpr int32_t kRanges = 1 << 21;
  for (int32_t trial = 0; trial < kRanges; ++trial) {
    if (trial % 65536 == 0) watchdog.Arm("ranges from number " + std::to_string(trial));
    const double a = (unit(random) < 0.5 ? -1 : 1) * std::pow(10.0, exponent(random)) * (1 + unit(random));
    double b = a;
    const double kind = unit(random);
    if (kind < 0.3) {
      for (int ulps = 1 + int(unit(random) * 64); ulps > 0; --ulps) b = std::nextafter(b, INFINITY);
    } else if (kind < 0.7) {
      b = a + std::fabs(a) * std::pow(10.0, -17 * unit(random));
    } else {
      b = (unit(random) * 2 - 1) * std::pow(10.0, exponent(random));
    }
    if (!std::isfinite(a) || !std::isfinite(b)) continue;
    const double min = std::min(a, b), max = std::max(a, b);
    const int32_t count = 1 + int32_t(unit(random) * kMaxContourLevels) % kMaxContourLevels;
    if (!ChooseContourLevels(min, max, count, levels)) continue;
    ++withLevels;
    for (int32_t k = 1; k < count; ++k) ASSERT_GT(levels[k], levels[k - 1]) << min << " " << max << " " << count;
  }
  EXPECT_GT(withLevels, kRanges / 2);
}

// Each kind's count or spacing from the grain slider: clamped to [0, 1],
// NaN taken as the middle, never a division by zero.
TEST(GrainSteps, EachKindClampsItsGrain) {
  const struct {
    const char* kind;
    std::function<int32_t(double)> of;
    std::vector<std::pair<double, int32_t>> steps;  // grain, count or spacing
  } kinds[] = {
      {"levels", GrainLevelCount, {{0, 4}, {1, 24}, {0.5, 14}, {7, 24}, {-3, 4}, {NAN, 14}}},
      {"bands", GrainBandCount, {{0.5, 24}, {0, 4}, {0.1, 6}, {-1e9, 4}, {1e9, 24}}},
      {"arrows",
       [](double g) { return A2DVectorPlot::Spacing(g, 1); },
       {{0, 100}, {1, 10}, {0.5, 55}, {-2, 100}, {3, 10}, {NAN, 55}}},
      {"arrows in 2-pixel cells", [](double g) { return A2DVectorPlot::Spacing(g, 2); }, {{1, 20}}},
      {"solutions",
       [](double g) { return ADEPlot::Spacing(g, 1); },
       {{0.5, 125}, {1, 50}, {0, 200}, {-4, 200}, {9, 50}, {NAN, 125}}},
      {"solutions sampled twice", [](double g) { return ADEPlot::Spacing(g, 2); }, {{0.5, 250}}},
      {"curve points", AParametricCurve::PointCount, {{0, 200}, {1, 1000}, {-3, 200}, {40, 1000}, {NAN, 600}}},
      {"texture step", TextureGridStep, {{0, 15}, {1, 5}, {1.45, 1}, {100, 1}, {NAN, 10}, {-1e300, 32767}}},
  };
  for (const auto& k : kinds) {
    for (const auto& [grain, want] : k.steps) EXPECT_EQ(k.of(grain), want) << k.kind << " at grain " << grain;
  }
}

using ContourPlotTest = ComputeTest;

// Every vertex lies within 1 % of a mesh edge of its level's curve (the
// level is crossed inside that box), every segment joins two vertices of
// one level in one mesh square.
void ExpectSegmentsOnLevels(AContourPlot& plot, AnExpression* f, double meshStep) {
  const auto& v = plot.Vertices();
  const auto& s = plot.Segments();
  const double d = 0.0101 * meshStep;
  for (int32_t k = 0; k < v.Count(); ++k) {
    const double level = plot.Level(v[k].level);
    bool below = false, above = false;
    for (double dx : {-d, 0.0, d}) {
      for (double dy : {-d, 0.0, d}) {
        const double value = f->Evaluate(0, 0, v[k].x + dx, v[k].y + dy, 0, 0) - level;
        below = below || value <= 0, above = above || value >= 0;
      }
    }
    EXPECT_TRUE(below && above) << v[k].x << ", " << v[k].y << " at " << level;
  }
  for (int32_t k = 0; k < s.Count(); ++k) {
    const ContourVertex &a = v[s[k].first], &b = v[s[k].second];
    EXPECT_EQ(a.level, b.level);
    EXPECT_LE(std::fabs(a.x - b.x), meshStep * (1 + 1e-9));
    EXPECT_LE(std::fabs(a.y - b.y), meshStep * (1 + 1e-9));
  }
}

TEST_F(ContourPlotTest, CircleLevelsLieOnTheFunction) {
  Watchdog watchdog("circle");
  const A2DTransform t = CentredTransform(200, 200, 10);
  auto f = CompiledExpression("x^2 + y^2");
  AContourPlot plot(MakeExpression("x^2 + y^2"), 0.5, SolidColour(0xFF0000), t);
  PortPtr port(NewOffscreenPort(QRect(0, 0, 200, 200)));
  APushPort push(port.get());
  // Drawn while it grows, with a pause between draws as an idle loop has:
  // each draw holds the graph's lock, and drawing back to back would keep
  // the job from ever taking it.
  WaitUntil("the contour plot done while drawn", [&] {
    plot.Draw();
    return plot.IsDoneComputing();
  });
  ASSERT_TRUE(plot.LevelsValid());
  EXPECT_EQ(plot.LevelCount(), 14);
  EXPECT_GT(plot.Segments().Count(), 100);
  ExpectSegmentsOnLevels(plot, f.get(), 0.4);
  EXPECT_EQ(plot.GraphVisibility(), 0);
  EXPECT_EQ(notifications.load(), 1);
}

// Across the pole of 1/(x - 0.3) every level changes sign, yet none is
// crossed there: each level L lies on the line x = 0.3 + 1/L alone.
TEST_F(ContourPlotTest, APoleIsNoLevelCurve) {
  Watchdog watchdog("pole");
  const A2DTransform t = CentredTransform(200, 200, 10);  // mesh corners at x = -10.05 + 0.4 i
  AContourPlot plot(MakeExpression("1/(x - 0.3)"), 0.5, SolidColour(0xFF0000), t);
  WaitUntilDone(plot);
  ASSERT_TRUE(plot.LevelsValid());
  const auto& v = plot.Vertices();
  ASSERT_GT(v.Count(), 0);
  for (int32_t k = 0; k < v.Count(); ++k) {
    const double level = plot.Level(v[k].level);
    ASSERT_NE(level, 0) << v[k].x;
    EXPECT_NEAR(v[k].x, 0.3 + 1 / level, 0.1 * 0.4) << "level " << level;  // a pole vertex would be 1/L away
  }
}

TEST_F(ContourPlotTest, SaddleIsPairedByTheDiagonal) {
  Watchdog watchdog("saddle");
  // Mesh corners at x = -10.05 + 0.4 i and y = -9.95 + 0.4 j: the square
  // [-0.05, 0.35] x [-0.35, 0.05] holds the saddle of x y, its corners
  // alternating in sign at level 0 and its rising diagonal positive.
  const A2DTransform t = CentredTransform(200, 200, 10);
  AContourPlot plot(MakeExpression("x*y"), 0.5, SolidColour(0xFF0000), t);
  WaitUntilDone(plot);
  const auto& v = plot.Vertices();
  const auto& s = plot.Segments();
  auto on = [](double a, double b) { return std::fabs(a - b) < 1e-9; };
  auto inSquare = [](const ContourVertex& p) {
    return p.x > -0.05 - 1e-9 && p.x < 0.35 + 1e-9 && p.y > -0.35 - 1e-9 && p.y < 0.05 + 1e-9;
  };
  int found = 0;
  for (int32_t k = 0; k < s.Count(); ++k) {
    const ContourVertex &a = v[s[k].first], &b = v[s[k].second];
    if (plot.Level(a.level) != 0.0 || !inSquare(a) || !inSquare(b)) continue;
    const double xl = std::fmin(a.x, b.x), xh = std::fmax(a.x, b.x), yl = std::fmin(a.y, b.y), yh = std::fmax(a.y, b.y);
    if (on(xh, -0.05) || on(xl, 0.35) || on(yl, 0.05) || on(yh, -0.35)) continue;  // a neighbour's edge segment
    ++found;
    // Left side to top, or bottom to right side: never across the diagonal.
    EXPECT_TRUE((on(xl, -0.05) && on(yh, 0.05)) || (on(yl, -0.35) && on(xh, 0.35)))
        << a.x << "," << a.y << " " << b.x << "," << b.y;
  }
  EXPECT_EQ(found, 2);
}

TEST_F(ContourPlotTest, HalfUndefinedViewContoursOnlyTheDefinedHalf) {
  Watchdog watchdog("half");
  const A2DTransform t = CentredTransform(200, 200, 10);
  auto f = CompiledExpression("sqrt(x) + y");
  AContourPlot plot(MakeExpression("sqrt(x) + y"), 0, SolidColour(0xFF0000), t);
  WaitUntilDone(plot);
  ASSERT_GT(plot.Segments().Count(), 0);
  for (int32_t k = 0; k < plot.Vertices().Count(); ++k) EXPECT_GE(plot.Vertices()[k].x, 0);
  ExpectSegmentsOnLevels(plot, f.get(), 0.4);
}

TEST_F(ContourPlotTest, NoLevelsIsDoneAndNotifies) {
  Watchdog watchdog("constant");
  const A2DTransform t = CentredTransform(100, 100, 10);
  for (const char* text : {"3", "sqrt(-1 - x^2)"}) {
    notifications = 0;
    AContourPlot plot(MakeExpression(text), 0.5, SolidColour(0xFF0000), t);
    WaitUntilDone(plot);
    EXPECT_FALSE(plot.LevelsValid());
    EXPECT_EQ(plot.GraphVisibility(), 10) << text;
    EXPECT_EQ(notifications.load(), 1) << text;
  }
}

TEST_F(ContourPlotTest, OutOfRangeGrainIsClampedAndLevelsKeptOnPan) {
  Watchdog watchdog("grain");
  const A2DTransform t = CentredTransform(100, 100, 10);
  AContourPlot plot(MakeExpression("x + y"), 40, SolidColour(0xFF0000), t);
  EXPECT_EQ(plot.LevelCount(), 24);
  WaitUntilDone(plot);
  const double first = plot.Level(0);
  plot.Pan(5, 5);
  WaitUntilDone(plot);
  EXPECT_EQ(plot.Level(0), first);
  plot.SetParameter(kAttributeGrain, NAN);
  WaitUntilDone(plot);
  EXPECT_EQ(plot.LevelCount(), 14);
  EXPECT_TRUE(plot.LevelsValid());
}

}  // namespace
