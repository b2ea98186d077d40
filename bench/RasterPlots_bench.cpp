// Density and colour plots of 800 x 600 cells: cells per second by whole-row
// runs (the plot itself), by point runs (one grid evaluation per cell) and
// by a hand-written loop of the same formula and mapping, with ratios to the
// hand loop; the plot at 1, 2, 4 and 8 workers; Draw of a finished map
// against a hand-written composition loop; the contour walk.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/AColorPlot.h"
#include "graphs2d/AContourPlot.h"
#include "graphs2d/ADensityPlot.h"
#include "platform/OurPort.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;

struct Formula {
  const char* text;
  double (*hand)(double, double);
};
const Formula kFormulas[] = {
    {"sin(x)*cos(y) + x/10", [](double x, double y) { return std::sin(x) * std::cos(y) + x / 10; }},
    {"x^2 - y^2", [](double x, double y) { return x * x - y * y; }},
    {"exp(-(x^2 + y^2)/8)", [](double x, double y) { return std::exp(-(x * x + y * y) / 8); }},
};

A2DTransform View() {
  A2DTransform t;
  t.pixelRect = MRect{0, 0, kHeight, kWidth};
  t.xOrigin = kWidth / 2.0, t.yOrigin = kHeight / 2.0;
  t.xPixelsPerUnit = 40, t.yPixelsPerUnit = -40;
  t.FinishFromOrigins();
  return t;
}

Compiled Parse(const char* text) {
  return std::make_unique<AnExpression>(CoreParseExpr(text, static_cast<int32_t>(std::strlen(text))), nullptr);
}

Colour Blue() {
  auto c = std::make_unique<AGraphColor>();
  c->fSolidColor = 0x3366FF;
  return c;
}

template <typename Plot>
void WaitDone(Plot& plot) {
  while (!plot.IsDoneComputing()) std::this_thread::yield();
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The density mapping over the view by hand: the 20 x 20 range sample, then
// every cell.
double HandDensitySeconds(const A2DTransform& t, double (*f)(double, double), std::vector<uint8_t>& cells, double& min,
                          double& max) {
  const auto start = Clock::now();
  min = INFINITY, max = -INFINITY;
  const double x0 = t.ITOX(0), y0 = t.ITOY(0), dx = (t.ITOX(kWidth - 1) - x0) / 19,
               dy = (t.ITOY(kHeight - 1) - y0) / 19;
  for (int j = 0; j < 20; ++j) {
    for (int i = 0; i < 20; ++i) {
      const double v = f(x0 + i * dx, y0 + j * dy);
      if (std::isfinite(v)) min = std::min(min, v), max = std::max(max, v);
    }
  }
  const double scale = 240 / (max - min);
  for (int j = 0; j < kHeight; ++j) {
    const double y = t.ITOY(j);
    for (int i = 0; i < kWidth; ++i) {
      const double v = f(t.ITOX(i), y);
      cells[j * kWidth + i] = std::isnan(v) ? 254
                              : v <= min    ? 0
                              : v >= max    ? 239
                                            : static_cast<uint8_t>((v - min) * scale);
    }
  }
  benchmark::DoNotOptimize(cells.data());
  return Seconds(start);
}

// The per-cell path: one grid evaluation per cell, the same mapping.
double PointRunSeconds(const A2DTransform& t, const char* text, std::vector<uint8_t>& cells, double min, double max) {
  const Compiled owned = Parse(text);
  AnExpression* e = owned.get();
  auto data = AnExpression::CompileForGrid(e);
  MGridVariables grid;
  AnExpression::SetupGrid(t.ITOX(0), t.ITOY(0), t.xUnitsPerPixel, -t.yUnitsPerPixel, kWidth, kHeight, data.get(),
                          &grid);
  const auto start = Clock::now();
  for (int j = 0; j < kHeight; ++j) {
    for (int i = 0; i < kWidth; ++i) {
      const double v = e->EvaluateOnGrid(i, j, &grid);
      cells[j * kWidth + i] = std::isnan(v) ? 254
                              : v <= min    ? 0
                              : v >= max    ? 239
                                            : static_cast<uint8_t>((v - min) * (240 / (max - min)));
    }
  }
  benchmark::DoNotOptimize(cells.data());
  return Seconds(start);
}

// The pool starts here, not at static initialisation, where the queue may
// not exist yet, and stops at exit.
void Workers(int n) {
  static const bool stopAtExit = (StartComputeThreads(), std::atexit(StopComputeThreads) == 0);
  (void)stopAtExit;
  DebugSetNumProcessors(n);
  DebugSetNumberComputeThreads(n);
}

void BM_DensityCells(benchmark::State& state) {
  const Formula& f = kFormulas[state.range(0)];
  Workers(1);
  const A2DTransform t = View();
  std::vector<uint8_t> cells(kWidth * kHeight);
  double ours = 0, hand = 0, point = 0;
  int64_t runs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    ADensityPlot plot(Parse(f.text), 0.5, Blue(), t);
    WaitDone(plot);
    ours += Seconds(start);
    double min = 0, max = 0;
    hand += HandDensitySeconds(t, f.hand, cells, min, max);
    point += PointRunSeconds(t, f.text, cells, min, max);
    ++runs;
  }
  const double n = double(runs) * kWidth * kHeight;
  state.counters["Mcells_s_rows"] = 1e-6 * n / ours;
  state.counters["Mcells_s_points"] = 1e-6 * n / point;
  state.counters["Mcells_s_hand"] = 1e-6 * n / hand;
  state.counters["rows_vs_hand"] = ours / hand;
  state.SetLabel(f.text);
  Workers(0);
}

void BM_ColourCells(benchmark::State& state) {
  Workers(1);
  const A2DTransform t = View();
  std::vector<uint32_t> cells(kWidth * kHeight);
  double ours = 0, hand = 0;
  int64_t runs = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    AColorPlot plot(Parse("sin(x)"), Parse("cos(y)"), Parse("x*y"), nullptr, false, Blue(), t);
    WaitDone(plot);
    ours += Seconds(start);
    // By hand: the ranges of the three are the sample's widened [0, 1].
    start = Clock::now();
    double lo[3] = {0, 0, 0}, hi[3] = {1, 1, 1};
    const double x0 = t.ITOX(0), y0 = t.ITOY(0), dx = (t.ITOX(kWidth - 1) - x0) / 19,
                 dy = (t.ITOY(kHeight - 1) - y0) / 19;
    for (int j = 0; j < 20; ++j) {
      for (int i = 0; i < 20; ++i) {
        const double x = x0 + i * dx, y = y0 + j * dy, v[3] = {std::sin(x), std::cos(y), x * y};
        for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], v[k]), hi[k] = std::max(hi[k], v[k]);
      }
    }
    for (int j = 0; j < kHeight; ++j) {
      const double y = t.ITOY(j);
      for (int i = 0; i < kWidth; ++i) {
        const double x = t.ITOX(i), v[3] = {std::sin(x), std::cos(y), x * y};
        uint32_t c = 0;
        for (int k = 0; k < 3; ++k) {
          const double n = std::clamp((v[k] - lo[k]) / (hi[k] - lo[k]), 0.0, 1.0);
          c = c << 8 | (static_cast<uint32_t>(n * 255) & 0xFF);
        }
        cells[j * kWidth + i] = c;
      }
    }
    benchmark::DoNotOptimize(cells.data());
    hand += Seconds(start);
    ++runs;
  }
  const double n = double(runs) * kWidth * kHeight;
  state.counters["Mcells_s_rows"] = 1e-6 * n / ours;
  state.counters["Mcells_s_hand"] = 1e-6 * n / hand;
  state.counters["rows_vs_hand"] = ours / hand;
  Workers(0);
}

void BM_DensityWorkers(benchmark::State& state) {
  Workers(static_cast<int>(state.range(0)));
  const A2DTransform t = View();
  double ours = 0;
  int64_t runs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    ADensityPlot plot(Parse(kFormulas[0].text), 0.5, Blue(), t);
    WaitDone(plot);
    ours += Seconds(start);
    ++runs;
  }
  state.counters["Mcells_s"] = 1e-6 * double(runs) * kWidth * kHeight / ours;
  Workers(0);
}

void BM_DensityDraw(benchmark::State& state) {
  Workers(0);
  const A2DTransform t = View();
  ADensityPlot plot(Parse(kFormulas[0].text), 0.5, Blue(), t);
  WaitDone(plot);
  OurPort* port = NewOffscreenPort(QRect(0, 0, kWidth, kHeight));
  APushPort push(port);
  std::vector<uint32_t> pixels(kWidth * kHeight, 0xFFFFFF), ramp(240, 0x3366FF);
  std::vector<uint8_t> cells(kWidth * kHeight);
  for (int j = 0; j < kHeight; ++j) {
    for (int i = 0; i < kWidth; ++i) cells[j * kWidth + i] = plot.CellAt(i, j);
  }
  double ours = 0, hand = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    plot.Draw();
    benchmark::ClobberMemory();
    ours += Seconds(start);
    start = Clock::now();
    for (int k = 0; k < kWidth * kHeight; ++k) {
      if (cells[k] < 254) pixels[k] = OurComposeColors(ramp[cells[k]], pixels[k]);
    }
    benchmark::DoNotOptimize(pixels.data());
    hand += Seconds(start);
  }
  state.counters["vs_hand"] = ours / hand;
  DisposeOffscreenPort(port);
}

void BM_ContourWalk(benchmark::State& state) {
  Workers(0);
  const A2DTransform t = View();
  int64_t segments = 0;
  for (auto _ : state) {
    AContourPlot plot(Parse(kFormulas[static_cast<size_t>(state.range(0))].text), 1, Blue(), t);
    WaitDone(plot);
    segments = plot.Segments().Count();
  }
  state.counters["segments"] = static_cast<double>(segments);
  state.SetLabel(kFormulas[state.range(0)].text);
}

BENCHMARK(BM_DensityCells)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DensityWorkers)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DensityDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContourWalk)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
