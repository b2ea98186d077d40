// Per-point colour equations against their limit: an HSV colour whose hue
// is the point's angle, coloured over a 1024 x 1024 grid on 1, 2 and 8
// threads, beside a hand-written loop of the same formula on as many
// threads in the same run (vs_hand).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/drawing/HSVColor.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "graphpane/AGraphColor.h"

namespace {

constexpr int kSide = 1024;
constexpr double kTwoPi = 6.283185307179586;

double Coordinate(int i) { return (i - kSide / 2 + 0.5) / 256.0; }

std::unique_ptr<AGraphColor> AngleHueColour() {
  auto colour = std::make_unique<AGraphColor>();
  colour->fType = AGraphColor::kHSVEquations;
  const char* texts[] = {"theta / (2 * pi)", "1", "1"};
  for (int c = 0; c < 3; ++c) {
    const std::string text = texts[c];
    colour->fColorExpressions[c] =
        std::make_unique<AnExpression>(CoreParseExpr(text.data(), int32_t(text.size())), nullptr);
  }
  colour->Compile();
  return colour;
}

void ByHand(double x, double y, double* r, double* g, double* b) {
  double theta = std::atan2(y, x);
  if (theta < 0) theta += kTwoPi;
  OurHSVtoRGB(theta / kTwoPi, 1.0, 1.0, r, g, b);
}

// Seconds to colour the grid, rows dealt out in turn to the threads.
template <typename Colour>
double GridSeconds(int threads, const Colour& colour) {
  std::vector<double> sums(threads, 0.0);
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      double sum = 0;
      for (int j = t; j < kSide; j += threads) {
        for (int i = 0; i < kSide; ++i) {
          double r, g, b;
          colour(Coordinate(i), Coordinate(j), &r, &g, &b);
          sum += r + g + b;
        }
      }
      sums[t] = sum;
    });
  }
  for (std::thread& w : workers) w.join();
  benchmark::DoNotOptimize(sums.data());
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ColourGrid(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  auto colour = AngleHueColour();
  const auto ours = [&](double x, double y, double* r, double* g, double* b) {
    colour->ComputeExplicitColor(0, 0, x, y, 0, 0, r, g, b);
  };
  double r1, g1, b1, r2, g2, b2;
  ours(-0.3, 0.7, &r1, &g1, &b1);
  ByHand(-0.3, 0.7, &r2, &g2, &b2);
  if (std::abs(r1 - r2) + std::abs(g1 - g2) + std::abs(b1 - b2) > 1e-12) state.SkipWithError("colours disagree");
  double seconds = 0, hand = 0;
  int64_t runs = 0;
  for (auto _ : state) {
    seconds += GridSeconds(threads, ours);
    ++runs;
  }
  for (int64_t k = 0; k < runs; ++k) hand += GridSeconds(threads, ByHand);
  state.counters["ns_per_point"] = 1e9 * seconds / (double(runs) * kSide * kSide);
  state.counters["vs_hand"] = seconds / hand;
  state.SetItemsProcessed(runs * kSide * kSide);
}

BENCHMARK(ColourGrid)->Arg(1)->Arg(2)->Arg(8)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
