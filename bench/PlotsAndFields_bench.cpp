// A vector field and a differential-equation lattice on an 800 x 600 view at
// grain 1: the time until done and the time to draw, beside hand-written C++
// over the same lattice points (the field's formulas, and RK4 by the same
// step rule with a hand-written slope) measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DVectorPlot.h"
#include "graphs2d/ADEPlot.h"
#include "platform/OurPort.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

Compiled Formula(const std::string& text) {
  return std::make_unique<AnExpression>(CoreParseExpr(text.data(), static_cast<int32_t>(text.size())), nullptr);
}

Colour Blue() {
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = 0x0000D0;
  return colour;
}

struct Scene {
  Scene() : port(NewOffscreenPort(QRect(0, 0, kWidth, kHeight)), DisposeOffscreenPort) {
    StartComputeThreads();
    view.SetViewRect(MRect{0, 0, kHeight, kWidth});
    view.SetDefaultViewState();
    view.Resize();
  }
  ~Scene() { StopComputeThreads(); }
  template <typename Graph>
  double Recompute(Graph* graph) {
    const auto start = Clock::now();
    graph->ViewChanged();
    while (!graph->IsDoneComputing()) std::this_thread::yield();
    return Seconds(start);
  }
  double Draw() {
    const auto start = Clock::now();
    APushPort push(port.get());
    view.Draw(true);
    return Seconds(start);
  }
  std::unique_ptr<OurPort, void (*)(OurPort*)> port;
  A2DGraphView view;
};

void Report(benchmark::State& state, double ours, double hand, double draw) {
  const double n = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = 1e3 * ours / n;
  state.counters["hand_ms"] = 1e3 * hand / n;
  state.counters["ratio"] = ours / hand;
  state.counters["draw_ms"] = 1e3 * draw / n;
}

double Slope(double x, double y) { return std::sin(x) - y / 2; }

// The tracing rule with the slope written in C++: one pixel along the
// steeper axis, the walking sign carried over when the axis changes.
int HandCurve(double x, double y, double direction, const A2DTransform& t, std::vector<double>& out) {
  double s = Slope(x, y);
  bool alongX = std::fabs(s) <= 1;
  double walk = direction, lastX = 1, lastY = 1;
  int n = 0;
  while (n < 1000 && t.IsPointOnScreen(x, y)) {
    out[size_t(2 * n)] = x, out[size_t(2 * n + 1)] = y, ++n;
    s = Slope(x, y);
    if (std::fabs(s) > 1) {
      if (alongX) walk = lastY;
      alongX = false;
      const double h = walk * t.yUnitsPerPixel;
      const double k1 = h / s, k2 = h / Slope(x + k1 / 2, y + h / 2), k3 = h / Slope(x + k2 / 2, y + h / 2),
                   k4 = h / Slope(x + k3, y + h);
      const double dx = (k1 + 2 * k2 + 2 * k3 + k4) / 6;
      x += dx;
      y = std::fabs(dx) > 1.5 * std::fabs(h) ? NAN : y + h;
      if (dx != 0) lastX = dx > 0 ? 1 : -1;
    } else {
      if (!alongX) walk = lastX;
      alongX = true;
      const double h = walk * t.xUnitsPerPixel;
      const double k1 = h * s, k2 = h * Slope(x + h / 2, y + k1 / 2), k3 = h * Slope(x + h / 2, y + k2 / 2),
                   k4 = h * Slope(x + h, y + k3);
      double dy = (k1 + 2 * k2 + 2 * k3 + k4) / 6;
      if (std::fabs(dy) > 1.5 * std::fabs(h)) dy = NAN;
      x += h, y += dy;
      if (dy > 0) lastY = 1;
      if (dy < 0) lastY = -1;
    }
  }
  return n;
}

void BM_DELatticeVsHandRK4(benchmark::State& state) {
  Scene scene;
  auto owned = std::make_unique<ADEPlot>(Formula("sin(x) - y / 2"), nullptr, nullptr, nullptr, Blue(), 1,
                                         scene.view.GraphTransform());
  ADEPlot* plot = owned.get();
  scene.view.AddGraph(std::move(owned));
  std::vector<double> points(2000);
  double ours = 0, hand = 0, draw = 0;
  for (auto _ : state) {
    ours += scene.Recompute(plot);
    draw += scene.Draw();
    // The same start points: each pair of curves begins at one.
    std::vector<double> starts;
    for (int32_t c = 0; c + 1 < plot->CurveCount(); c += 2) {
      if (plot->Curve(c)->Count() == 0) continue;
      starts.push_back((*plot->Curve(c))[0].x), starts.push_back((*plot->Curve(c))[0].y);
    }
    const auto start = Clock::now();
    int total = 0;
    for (size_t k = 0; k < starts.size(); k += 2) {
      total += HandCurve(starts[k], starts[k + 1], +1, scene.view.GraphTransform(), points);
      total += HandCurve(starts[k], starts[k + 1], -1, scene.view.GraphTransform(), points);
    }
    benchmark::DoNotOptimize(total);
    hand += Seconds(start);
  }
  Report(state, ours, hand, draw);
}
BENCHMARK(BM_DELatticeVsHandRK4)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VectorFieldVsHandLoop(benchmark::State& state) {
  Scene scene;
  auto owned = std::make_unique<A2DVectorPlot>(Formula("cos(y)"), Formula("x - y"), 1, Blue(), false,
                                               scene.view.GraphTransform());
  A2DVectorPlot* plot = owned.get();
  scene.view.AddGraph(std::move(owned));
  double ours = 0, hand = 0, draw = 0;
  for (auto _ : state) {
    ours += scene.Recompute(plot);
    draw += scene.Draw();
    const auto start = Clock::now();
    double longest = 0;
    for (int j = 0; j < plot->Rows(); ++j) {
      for (int i = 0; i < plot->Columns(); ++i) {
        const A2DVectorPlot::Arrow& a = plot->ArrowAt(i, j);
        const double vx = std::cos(a.y), vy = a.x - a.y;
        longest = std::max(longest, std::sqrt(vx * vx + vy * vy));
      }
    }
    benchmark::DoNotOptimize(longest);
    hand += Seconds(start);
  }
  Report(state, ours, hand, draw);
}
BENCHMARK(BM_VectorFieldVsHandLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
