// Inequalities and implicit curves on an 800 x 600 view: the time until
// done on one and on all workers beside a 16 x 16 per-pixel sampler of the
// same conditions written in C++ on the same workers, as ratios; 1 x 1 and
// 4 x 4 samplers beside it with their wrong pixels (against the 16 x 16
// sampler); evaluation counts; worker scaling; drawing a finished map.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/A2DTransform.h"
#include "platform/OurPort.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;

struct Formula {
  const char* text;
  bool equation;
  // Inequality: holds where > 0. Equation: continuous, 0 on the curve.
  std::function<double(double, double)> margin;
};

const std::vector<Formula>& Formulas() {
  static const std::vector<Formula> formulas = {
      {"y < sin(x)", false, [](double x, double y) { return std::sin(x) - y; }},
      {"x^2 + y^2 < 9", false, [](double x, double y) { return 9 - x * x - y * y; }},
      {"sin(x*y) > 0", false, [](double x, double y) { return std::sin(x * y); }},
      {"sin(x) + cos(y) > 0.5", false, [](double x, double y) { return std::sin(x) + std::cos(y) - 0.5; }},
      {"y < tan(x)", false, [](double x, double y) { return std::tan(x) - y; }},
      {"x^2 + y^2 = 9", true, [](double x, double y) { return x * x + y * y - 9; }},
      {"x^3 + y^3 = 3*x*y", true, [](double x, double y) { return x * x * x + y * y * y - 3 * x * y; }},
      {"sin(x^2 + y^2) = 0", true, [](double x, double y) { return std::sin(x * x + y * y); }},
      {"sin(x) = cos(y)", true, [](double x, double y) { return std::sin(x) - std::cos(y); }},
  };
  return formulas;
}

A2DTransform View() {
  A2DTransform t;
  t.pixelRect = MRect{0, 0, kHeight, kWidth};
  t.xPixelsPerUnit = 64, t.yPixelsPerUnit = -64;
  t.xOrigin = kWidth / 2 - 0.5, t.yOrigin = kHeight / 2 - 0.5;
  t.FinishFromOrigins();
  return t;
}

Compiled Parse(const std::string& text) {
  return std::make_unique<AnExpression>(CoreParseExpr(text.data(), static_cast<int32_t>(text.size())), nullptr);
}

void UseWorkers(int n) {
  DebugSetNumberComputeThreads(n);
  DebugSetNumProcessors(n);
}

struct Run {
  double seconds;
  InequalityCounts counts;
  std::vector<uint8_t> map;
};

Run RunGraph(const Formula& f, const A2DTransform& t) {
  auto colour = std::make_unique<AGraphColor>();
  const auto start = Clock::now();
  A2DInequality graph(Parse(f.text), Parse("0"), std::move(colour), 2, f.equation, t);
  while (!graph.IsDoneComputing()) std::this_thread::sleep_for(std::chrono::microseconds(20));
  Run run{std::chrono::duration<double>(Clock::now() - start).count(), graph.Counts(), {}};
  for (int v = 0; v < kHeight; ++v) {
    for (int h = 0; h < kWidth; ++h) run.map.push_back(uint8_t(graph.PixelAt(h, v)));
  }
  return run;
}

// A K x K sampler's verdict per pixel: full, empty or tint for a region;
// for a curve, 3 where a sample is 0 or changes sign to its right or below
// within the pixel, and a separate list of pixels whose sign change crosses
// into the right or lower neighbour.
struct Sampled {
  double seconds;
  std::vector<uint8_t> map;
  std::vector<uint8_t> border;  // bit 1: toward the right, bit 2: toward below
};

Sampled Sample(const Formula& f, const A2DTransform& t, int k, int workers) {
  Sampled s{0, std::vector<uint8_t>(kWidth * kHeight), std::vector<uint8_t>(kWidth * kHeight)};
  const auto start = Clock::now();
  const auto rows = [&](int first) {
    std::vector<double> line(size_t(kWidth) * k), next(size_t(kWidth) * k);
    const auto fill = [&](std::vector<double>& out, int v, int sv) {
      const double top = -(v - t.yOrigin - 0.5) * t.yUnitsPerPixel;
      const double y = top - t.yUnitsPerPixel * (sv + 0.5) / k;
      for (int h = 0; h < kWidth; ++h) {
        const double left = (h - t.xOrigin - 0.5) * t.xUnitsPerPixel;
        for (int sh = 0; sh < k; ++sh) out[size_t(h) * k + sh] = f.margin(left + t.xUnitsPerPixel * (sh + 0.5) / k, y);
      }
    };
    const auto change = [](double a, double b) { return (a < 0 && b > 0) || (a > 0 && b < 0); };
    for (int v = first; v < kHeight; v += workers) {
      std::vector<int> trues(kWidth, 0);
      fill(line, v, 0);
      for (int sv = 0; sv < k; ++sv) {
        const bool last = sv + 1 == k;
        if (!last) {
          fill(next, v, sv + 1);
        } else if (v + 1 < kHeight) {
          fill(next, v + 1, 0);
        }
        for (int i = 0; i < kWidth * k; ++i) {
          const int h = i / k;
          const size_t p = size_t(v) * kWidth + h;
          trues[h] += line[i] > 0;
          if (!f.equation) continue;
          if (line[i] == 0) s.map[p] = 3;
          if (i + 1 < kWidth * k && change(line[i], line[i + 1])) {
            if ((i + 1) % k == 0)
              s.border[p] |= 1;
            else
              s.map[p] = 3;
          }
          if ((!last || v + 1 < kHeight) && change(line[i], next[i])) {
            if (last)
              s.border[p] |= 2;
            else
              s.map[p] = 3;
          }
        }
        std::swap(line, next);
      }
      if (f.equation) continue;
      for (int h = 0; h < kWidth; ++h) s.map[size_t(v) * kWidth + h] = trues[h] == k * k ? 3 : trues[h] == 0 ? 0 : 1;
    }
  };
  std::vector<std::thread> threads;
  for (int w = 0; w < workers; ++w) threads.emplace_back(rows, w);
  for (auto& thread : threads) thread.join();
  s.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return s;
}

// Pixels of a map that the reference sampler contradicts: a full or empty
// region pixel with a sample of the other kind; an unmarked curve pixel
// with a sampled crossing, or a crossing of a border with neither side marked.
int WrongPixels(const Formula& f, const std::vector<uint8_t>& map, const Sampled& reference) {
  int wrong = 0;
  for (int v = 0; v < kHeight; ++v) {
    for (int h = 0; h < kWidth; ++h) {
      const size_t p = size_t(v) * kWidth + h;
      if (!f.equation) {
        wrong += map[p] != 1 && map[p] != reference.map[p];
        continue;
      }
      bool missed = reference.map[p] != 0 && map[p] == 0;
      if ((reference.border[p] & 1) && map[p] == 0 && map[p + 1] == 0) missed = true;
      if ((reference.border[p] & 2) && map[p] == 0 && map[p + kWidth] == 0) missed = true;
      wrong += missed;
    }
  }
  return wrong;
}

// A sampler's own map as the graph's would be read: its tint stays tint.
Sampled AsMap(const Sampled& s, const Formula& f) {
  Sampled m = s;
  if (f.equation) {
    for (size_t p = 0; p < m.map.size(); ++p) m.map[p] = (s.map[p] || s.border[p]) ? 3 : 0;
  }
  return m;
}

void BM_Condition(benchmark::State& state) {
  const Formula& f = Formulas()[size_t(state.range(0))];
  const int all = std::max(1, int(std::thread::hardware_concurrency()));
  const A2DTransform t = View();
  StartComputeThreads();
  for (auto _ : state) {
    UseWorkers(1);
    const Run one = RunGraph(f, t);
    UseWorkers(all);
    const Run many = RunGraph(f, t);
    const Sampled s16one = Sample(f, t, 16, 1), s16 = Sample(f, t, 16, all);
    const Sampled s4 = Sample(f, t, 4, all), s1 = Sample(f, t, 1, all);
    state.SetIterationTime(many.seconds);
    state.counters["ms_1_worker"] = 1e3 * one.seconds;
    state.counters["ms_all_workers"] = 1e3 * many.seconds;
    state.counters["x_vs_16x16_1_worker"] = s16one.seconds / one.seconds;
    state.counters["x_vs_16x16_all"] = s16.seconds / many.seconds;
    state.counters["x_vs_4x4_all"] = s4.seconds / many.seconds;
    state.counters["x_vs_1x1_all"] = s1.seconds / many.seconds;
    state.counters["wrong_ours"] = WrongPixels(f, many.map, s16);
    state.counters["wrong_4x4"] = WrongPixels(f, AsMap(s4, f).map, s16);
    state.counters["wrong_1x1"] = WrongPixels(f, AsMap(s1, f).map, s16);
    state.counters["same_map_1_and_all"] = one.map == many.map;
    state.counters["rect_evals"] = double(many.counts.rectangles);
    state.counters["pixel_evals"] = double(many.counts.pixels);
    state.counters["subbox_evals"] = double(many.counts.subBoxes);
    state.counters["point_evals"] = double(many.counts.points);
  }
  UseWorkers(0);
  StopComputeThreads();
  state.SetLabel(f.text);
}

void BM_WorkerScaling(benchmark::State& state) {
  const int workers = int(state.range(0));
  const Formula& f = Formulas()[7];
  const A2DTransform t = View();
  StartComputeThreads();
  UseWorkers(1);
  const double single = RunGraph(f, t).seconds;
  UseWorkers(workers);
  for (auto _ : state) {
    const double seconds = RunGraph(f, t).seconds;
    state.SetIterationTime(seconds);
    state.counters["speedup_vs_1"] = single / seconds;
  }
  UseWorkers(0);
  StopComputeThreads();
  state.SetLabel(f.text);
}

// Drawing a finished map beside a hand-written loop that paints the full
// pixels of the same map in the colour.
void BM_DrawFinishedMap(benchmark::State& state) {
  StartComputeThreads();
  const A2DTransform t = View();
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = 0x3060C0;
  A2DInequality graph(Parse("sin(x) + cos(y) > 0.5"), Parse("0"), std::move(colour), 1, false, t);
  while (!graph.IsDoneComputing()) std::this_thread::sleep_for(std::chrono::microseconds(20));
  OurPort* port = NewOffscreenPort(QRect(0, 0, kWidth, kHeight));
  std::vector<uint8_t> map;
  for (int v = 0; v < kHeight; ++v) {
    for (int h = 0; h < kWidth; ++h) map.push_back(uint8_t(graph.PixelAt(h, v)));
  }
  int64_t draws = 0;
  {
    APushPort push(port);
    const auto start = Clock::now();
    for (auto _ : state) {
      graph.Draw();
      benchmark::ClobberMemory();
      ++draws;
    }
    const double ours = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<uint32_t> screen(size_t(kWidth) * kHeight, 0xFFFFFF);
    const auto handStart = Clock::now();
    for (int64_t i = 0; i < draws; ++i) {
      for (size_t p = 0; p < map.size(); ++p) {
        if (map[p] == 3)
          screen[p] = 0x3060C0;
        else if (map[p] == 1)
          screen[p] = 0x97AFDF;
      }
      benchmark::DoNotOptimize(screen.data());
      benchmark::ClobberMemory();
    }
    const double hand = std::chrono::duration<double>(Clock::now() - handStart).count();
    state.counters["ms_per_draw"] = 1e3 * ours / double(std::max<int64_t>(draws, 1));
    state.counters["vs_hand"] = ours / hand;
  }
  DisposeOffscreenPort(port);
  StopComputeThreads();
}

BENCHMARK(BM_Condition)->DenseRange(0, 8)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkerScaling)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawFinishedMap)->Unit(benchmark::kMillisecond);

}  // namespace
