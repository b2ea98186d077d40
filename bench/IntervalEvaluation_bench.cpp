// Boxes per second through the interval chains of a few region formulas,
// ours against the same chains in boost::numeric::interval (which sets the
// rounding mode around every operation and rounds outward).

#include <benchmark/benchmark.h>

#include <boost/numeric/interval.hpp>
#include <random>
#include <vector>

#include "evaluation/interval/Interval.h"
#include "evaluation/interval/IntervalElementary.h"
#include "evaluation/interval/IntervalLogic.h"
#include "evaluation/interval/IntervalTrig.h"

namespace {

namespace bi = boost::numeric::interval_lib;
using BoostInterval =
    boost::numeric::interval<double,
                             bi::policies<bi::save_state<bi::rounded_transc_std<double>>, bi::checking_base<double>>>;

struct Box {
  double x0, x1, y0, y1;
};

// A 256 x 256 grid of cells over [-4, 4]^2, as a region graph's first pass.
const std::vector<Box>& Boxes() {
  static const std::vector<Box> boxes = [] {
    std::vector<Box> result;
    const int n = 256;
    const double step = 8.0 / n;
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        result.push_back({-4 + i * step, -4 + (i + 1) * step, -4 + j * step, -4 + (j + 1) * step});
      }
    }
    return result;
  }();
  return boxes;
}

// x^2 + y^2 < 4
Interval Disk(const Interval& x, const Interval& y) { return Less(Sqr(x) + Sqr(y), {4, 4}); }
bool Disk(const BoostInterval& x, const BoostInterval& y) {
  return bi::cerlt(boost::numeric::square(x) + boost::numeric::square(y), 4.0);
}

// sin(x) cos(y) > 0.3
Interval Waves(const Interval& x, const Interval& y) { return Greater(sincos(x, 1) * sincos(y, 0), {0.3, 0.3}); }
bool Waves(const BoostInterval& x, const BoostInterval& y) {
  return bi::cergt(boost::numeric::sin(x) * boost::numeric::cos(y), 0.3);
}

// y < exp(-x^2) / (1 + x^2) + log(1 + y^2)
Interval Bump(const Interval& x, const Interval& y) {
  const Interval one = {1, 1};
  return Less(y, Exp(-Sqr(x)) / (one + Sqr(x)) + Log(one + Sqr(y)));
}
bool Bump(const BoostInterval& x, const BoostInterval& y) {
  using namespace boost::numeric;
  return bi::cerlt(y, exp(-square(x)) / (1.0 + square(x)) + log(1.0 + square(y)));
}

template <typename Formula>
void Ours(benchmark::State& state, Formula formula) {
  const auto& boxes = Boxes();
  for (auto _ : state) {
    double decided = 0;
    for (const Box& b : boxes) decided += formula(Interval{b.x0, b.x1}, Interval{b.y0, b.y1}).lower;
    benchmark::DoNotOptimize(decided);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(boxes.size()));
}

template <typename Formula>
void Boost(benchmark::State& state, Formula formula) {
  const auto& boxes = Boxes();
  for (auto _ : state) {
    int decided = 0;
    for (const Box& b : boxes) decided += formula(BoostInterval(b.x0, b.x1), BoostInterval(b.y0, b.y1));
    benchmark::DoNotOptimize(decided);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(boxes.size()));
}

void BM_Disk_Ours(benchmark::State& s) {
  Ours(s, [](const Interval& x, const Interval& y) { return Disk(x, y); });
}
void BM_Disk_Boost(benchmark::State& s) {
  Boost(s, [](const BoostInterval& x, const BoostInterval& y) { return Disk(x, y); });
}
void BM_Waves_Ours(benchmark::State& s) {
  Ours(s, [](const Interval& x, const Interval& y) { return Waves(x, y); });
}
void BM_Waves_Boost(benchmark::State& s) {
  Boost(s, [](const BoostInterval& x, const BoostInterval& y) { return Waves(x, y); });
}
void BM_Bump_Ours(benchmark::State& s) {
  Ours(s, [](const Interval& x, const Interval& y) { return Bump(x, y); });
}
void BM_Bump_Boost(benchmark::State& s) {
  Boost(s, [](const BoostInterval& x, const BoostInterval& y) { return Bump(x, y); });
}

}  // namespace

BENCHMARK(BM_Disk_Ours);
BENCHMARK(BM_Disk_Boost);
BENCHMARK(BM_Waves_Ours);
BENCHMARK(BM_Waves_Boost);
BENCHMARK(BM_Bump_Ours);
BENCHMARK(BM_Bump_Boost);
