// Latency of the mouse in an 800 x 600 2-D view of y = x^2 and y = 2 in
// interval mode: one tracked move with snapping (the graph-view thread's
// round trip included) and one crossing search, as p50 and p99 beside the
// full redraw of the same view in the same run. The target is a tracked
// move at p99 under one full redraw.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/IntersectionSnap.h"
#include "platform/OurPort.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;

std::unique_ptr<AFunctionOf_XorY> Curve(const std::string& text, const A2DTransform& transform) {
  auto e = std::make_unique<AnExpression>(CoreParseExpr(text.data(), static_cast<int32_t>(text.size())), nullptr);
  e->ReplaceAtoms(kIdX, kIdU);
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = 0xD00000;
  return std::make_unique<AFunctionOf_XorY>(std::move(e), true, std::move(colour), kPlotIntervalPixelTests, transform);
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

template <typename F>
double Seconds(F&& f) {
  const auto start = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_TrackedMoveAndSnapVsRedraw(benchmark::State& state) {
  InitializeZLThreads();
  {
    OurPort* port = NewOffscreenPort(QRect(0, 0, kWidth, kHeight));
    A2DGraphView view;
    view.SetViewRect(MRect{0, 0, kHeight, kWidth});
    view.SetDefaultViewState();
    view.Resize();
    std::unique_ptr<AFunctionOf_XorY> ownedParabola = Curve("x^2", view.GraphTransform());
    std::unique_ptr<AFunctionOf_XorY> ownedLevel = Curve("2", view.GraphTransform());
    AFunctionOf_XorY* parabola = ownedParabola.get();
    AFunctionOf_XorY* level = ownedLevel.get();
    view.AddGraph(std::move(ownedParabola));
    view.AddGraph(std::move(ownedLevel));
    while (!view.AreAllGraphsDoneComputing()) std::this_thread::yield();
    APushPort push(port);
    view.Draw(true);
    const A2DTransform& t = view.ViewTransform();
    const int16_t row = static_cast<int16_t>(t.YTOI_InfSafe(2)), column = static_cast<int16_t>(t.XTOI_InfSafe(1.41));
    const double radius = 4 * t.xUnitsPerPixel;
    std::vector<double> moves, snaps, draws;
    int snapped = 0;
    for (auto _ : state) {
      for (int d = -2; d <= 2; ++d) {
        moves.push_back(Seconds([&] { view.MouseMoveForTracking(MPoint{row, static_cast<int16_t>(column + d)}); }));
        snapped += view.CurrentSelection().snapped;
        const double x = t.ITOX(column + d);
        snaps.push_back(Seconds([&] {
          Selection s;
          benchmark::DoNotOptimize(FindIntersectionAndSnap(
              parabola->GetNeighborhood(x, x * x, radius, -INFINITY, INFINITY),
              level->GetNeighborhood(x, 2, radius, -INFINITY, INFINITY), *parabola, *level, t.xUnitsPerPixel, &s));
        }));
      }
      draws.push_back(Seconds([&] { view.Draw(true); }));
    }
    const double drawP50 = Percentile(draws, 0.5);
    state.counters["move_p50_ms"] = 1e3 * Percentile(moves, 0.5);
    state.counters["move_p99_ms"] = 1e3 * Percentile(moves, 0.99);
    state.counters["snap_p50_ms"] = 1e3 * Percentile(snaps, 0.5);
    state.counters["snap_p99_ms"] = 1e3 * Percentile(snaps, 0.99);
    state.counters["redraw_p50_ms"] = 1e3 * drawP50;
    state.counters["move_p99_vs_redraw"] = Percentile(moves, 0.99) / drawP50;
    state.counters["snapped_fraction"] = static_cast<double>(snapped) / static_cast<double>(moves.size());
    DisposeOffscreenPort(port);
  }
  ShutdownZLThreads();
}

BENCHMARK(BM_TrackedMoveAndSnapVsRedraw)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace
