#include "evaluation/special/SpecialFunctions.h"

#include <benchmark/benchmark.h>
#include <boost/math/special_functions/bessel.hpp>

#include <cmath>
#include <vector>

namespace {

struct Point {
  double order;
  double x;
};

// Orders -20..20 by 0.25 at arguments 0.1..60: the range the graphs use.
const std::vector<Point>& Points() {
  static const std::vector<Point> points = [] {
    std::vector<Point> all;
    for (int i = -80; i <= 80; ++i) {
      for (int j = 1; j <= 40; ++j) all.push_back({i * 0.25, j * 1.5 - 0.07});
    }
    return all;
  }();
  return points;
}

void BM_jv(benchmark::State& state) {
  const auto& points = Points();
  for (auto _ : state) {
    for (const Point& p : points) benchmark::DoNotOptimize(jv(p.order, p.x));
  }
  state.SetItemsProcessed(state.iterations() * points.size());
  // Largest difference from the baseline: absolute where |J| <= 1, relative beyond.
  double maxDifference = 0;
  for (const Point& p : points) {
    const double ours = jv(p.order, p.x);
    const double theirs = boost::math::cyl_bessel_j(p.order, p.x);
    maxDifference = std::fmax(maxDifference, std::fabs(ours - theirs) / std::fmax(1.0, std::fabs(theirs)));
  }
  state.counters["max_difference"] = maxDifference;
}

void BM_boost_cyl_bessel_j(benchmark::State& state) {
  const auto& points = Points();
  for (auto _ : state) {
    for (const Point& p : points) benchmark::DoNotOptimize(boost::math::cyl_bessel_j(p.order, p.x));
  }
  state.SetItemsProcessed(state.iterations() * points.size());
}

}  // namespace

BENCHMARK(BM_jv);
BENCHMARK(BM_boost_cyl_bessel_j);
