// Function graphs y = f(x): a whole view computed in each plotting mode, on
// one worker and on several, and a finished view redrawn; each beside a
// hand-written loop measured in the same run, a view of a thousand curves
// among them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "bench/CpuClock.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "platform/OurPort.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kSet[] = {"sin(3*x)*exp(-x^2/8) + x/3", "tan(x)", "sqrt(4 - x^2)", "sin(1/x)"};

Compiled CurveInU(const std::string& text) {
  auto e = std::make_unique<AnExpression>(CoreParseExpr(text.data(), static_cast<int32_t>(text.size())), nullptr);
  e->ReplaceAtoms(kIdX, kIdU);
  return e;
}

Colour Red() {
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = 0xD00000;
  return colour;
}

bool gSampleBuffer = false;

// A default view of the given size with one function graph in it.
struct Scene {
  Scene(const std::string& text, int mode, int width, int height) {
    gRendererHooks.UseSampleBuffer = [](DocumentRecord*) { return gSampleBuffer; };
    view.SetViewRect(MRect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)});
    view.SetDefaultViewState();
    view.Resize();
    auto owned = std::make_unique<AFunctionOf_XorY>(CurveInU(text), true, Red(), mode, view.GraphTransform());
    graph = owned.get();
    view.AddGraph(std::move(owned));
    Wait();
  }
  void Wait() {
    while (!graph->IsDoneComputing()) std::this_thread::yield();
  }
  // One full computation of every column.
  double Recompute() {
    const auto start = Clock::now();
    graph->ViewChanged();
    Wait();
    return std::chrono::duration<double>(Clock::now() - start).count();
  }
  A2DGraphView view;
  AFunctionOf_XorY* graph;
};

struct Workers {
  Workers(int threads, int jobs) {
    StartComputeThreads();
    DebugSetNumberComputeThreads(threads);
    DebugSetNumProcessors(jobs);
  }
  ~Workers() {
    DebugSetNumProcessors(0);
    StopComputeThreads();
  }
};

// f at the same column edges, kept as each column's smaller and larger edge
// value.
double HandEdges(AnExpression* f, const A2DTransform& t, int columns, std::vector<double>& out) {
  const auto start = Clock::now();
  double left = f->Evaluate((t.pixelRect.left - 0.5 - t.xOrigin) * t.xUnitsPerPixel);
  for (int k = 0; k < columns; ++k) {
    const double right = f->Evaluate((t.pixelRect.left + k + 0.5 - t.xOrigin) * t.xUnitsPerPixel);
    out[2 * k] = std::min(left, right), out[2 * k + 1] = std::max(left, right);
    left = right;
  }
  benchmark::DoNotOptimize(out.data());
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// 64 samples per column, kept as the column's range.
double HandSamples(AnExpression* f, const A2DTransform& t, int columns, std::vector<double>& out) {
  const auto start = Clock::now();
  for (int k = 0; k < columns; ++k) {
    double lo = INFINITY, hi = -INFINITY;
    for (int i = 0; i < 64; ++i) {
      const double v = f->Evaluate((t.pixelRect.left + k - 0.5 + i / 63.0 - t.xOrigin) * t.xUnitsPerPixel);
      lo = std::min(lo, v), hi = std::max(hi, v);
    }
    out[2 * k] = lo, out[2 * k + 1] = hi;
  }
  benchmark::DoNotOptimize(out.data());
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_SamplingVsHandEdges(benchmark::State& state) {
  const int columns = static_cast<int>(state.range(0));
  Workers workers(1, 1);
  Scene scene(kSet[0], kPlotSampling, columns, 600);
  const Compiled owned = CurveInU(kSet[0]);
  AnExpression* f = owned.get();
  AnExpression::Compile(f);
  std::vector<double> out(2 * columns);
  double ours = 0, hand = 0;
  for (auto _ : state) {
    ours += scene.Recompute();
    hand += HandEdges(f, scene.view.GraphTransform(), columns, out);
  }
  state.counters["ms"] = 1e3 * ours / state.iterations();
  state.counters["vs_hand"] = ours / hand;
}

void BM_ModeOnTheSet(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  const char* text = kSet[state.range(1)];
  state.SetLabel(text);
  Workers workers(1, 1);
  Scene scene(text, mode, 800, 600);
  const Compiled owned = CurveInU(text);
  AnExpression* f = owned.get();
  AnExpression::Compile(f);
  std::vector<double> out(2 * 800);
  const int64_t evaluationsBefore = scene.graph->Evaluations();
  double ours = 0, hand = 0;
  for (auto _ : state) {
    ours += scene.Recompute();
    hand += HandSamples(f, scene.view.GraphTransform(), 800, out);
  }
  state.counters["ms"] = 1e3 * ours / state.iterations();
  state.counters["evals_per_column"] =
      static_cast<double>(scene.graph->Evaluations() - evaluationsBefore) / (800.0 * state.iterations());
  state.counters["vs_hand64"] = ours / hand;
}

void BM_WorkerScaling(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  double single = 0;
  {
    Workers one(1, 8);
    Scene scene(kSet[0], kPlotIntervalPixelTests, 1600, 600);
    for (int i = 0; i < 20; ++i) single += scene.Recompute() / 20;
  }
  Workers workers(threads, 8);
  Scene scene(kSet[0], kPlotIntervalPixelTests, 1600, 600);
  double ours = 0;
  for (auto _ : state) ours += scene.Recompute();
  state.counters["ms"] = 1e3 * ours / state.iterations();
  state.counters["speedup_vs_1"] = single / (ours / state.iterations());
}

// The finished curve's runs written into a plain pixel array; its processor
// time.
double HandRuns(const AFunctionOf_XorY& graph, const A2DTransform& t, std::vector<uint32_t>& pixels, int width,
                int height) {
  const double start = ThreadCpuSeconds();
  for (int k = 0; k < graph.ColumnCount(); ++k) {
    const dPoint& p = graph.Records()[k];
    const int top = std::clamp(t.YTOI_InfSafe(p.hi), 0, height - 1),
              bottom = std::clamp(t.YTOI_InfSafe(p.lo), 0, height - 1);
    for (int v = top; v <= bottom; ++v) pixels[static_cast<size_t>(v) * width + k] = 0xD00000;
  }
  benchmark::DoNotOptimize(pixels.data());
  return ThreadCpuSeconds() - start;
}

void BM_Redraw(benchmark::State& state) {
  gSampleBuffer = state.range(0) != 0;
  Workers workers(8, 8);
  Scene scene(kSet[0], kPlotIntervalPixelTests, 800, 600);
  OurPort* port = NewOffscreenPort(QRect(0, 0, 800, 600));
  APushPort push(port);
  scene.view.Draw(true);  // makes the buffer and its transform
  scene.Wait();
  OurPort* target = gSampleBuffer ? scene.view.SampleBuffer() : port;
  const A2DTransform& t = scene.view.GraphTransform();
  const int width = t.pixelRect.right, height = t.pixelRect.bottom;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  APushPort drawInto(target);
  double ours = 0, hand = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    scene.graph->Draw();
    benchmark::ClobberMemory();
    ours += ThreadCpuSeconds() - start;
    hand += HandRuns(*scene.graph, t, pixels, width, height);
  }
  state.counters["ms"] = 1e3 * ours / state.iterations();
  state.counters["vs_hand"] = ours / hand;
  DisposeOffscreenPort(port);
  gSampleBuffer = false;
}

// The function graphs of the tests' thousand-curve document, in a graph pane
// the size its export at 640 x 800 has, drawn through the sample buffer.
struct ManyCurves {
  ManyCurves() {
    gRendererHooks.UseSampleBuffer = [](DocumentRecord*) { return true; };
    view.SetViewRect(MRect{0, 0, 800, 320});
    view.SetDefaultViewState();
    view.Resize();
    std::ifstream in(ZL_TEST_DATA_DIR "/many_curves_1000.zlf");
    const uint32_t colours[] = {0xD00000, 0x0060C0, 0x008000, 0x800080, 0xC06000};
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("Expr ", 0) != 0) continue;
      const bool yOfX = line[5] == 'y';
      auto e = std::make_unique<AnExpression>(CoreParseExpr(line.data() + 9, static_cast<int32_t>(line.size() - 10)),
                                              nullptr);
      e->ReplaceAtoms(yOfX ? kIdX : kIdY, kIdU);
      auto colour = std::make_unique<AGraphColor>();
      colour->fSolidColor = colours[graphs.size() % 5];
      auto graph = std::make_unique<AFunctionOf_XorY>(std::move(e), yOfX, std::move(colour), kPlotIntervalPixelTests,
                                                      view.GraphTransform());
      graphs.push_back(graph.get());
      view.AddGraph(std::move(graph));
    }
    Wait();
  }
  void Wait() {
    for (AFunctionOf_XorY* g : graphs)
      while (!g->IsDoneComputing()) std::this_thread::yield();
  }
  A2DGraphView view;
  std::vector<AFunctionOf_XorY*> graphs;
};

// Drawing all the curves over the view's paper beside the hand loop writing
// their columns into a plain array, in processor time. The export of such a
// document draws them once, when the graphs are done.
void BM_ManyCurvesRedraw(benchmark::State& state) {
  Workers workers(1, 1);
  ManyCurves scene;
  OurPort* port = NewOffscreenPort(QRect(0, 0, 320, 800));
  APushPort push(port);
  scene.view.Draw(false);  // the paper alone, kept to draw over
  OurPort* buffer = scene.view.SampleBuffer();
  const QImage paper = buffer->image.copy();
  const A2DTransform& t = scene.view.GraphTransform();
  const int width = t.pixelRect.right, height = t.pixelRect.bottom;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  APushPort drawInto(buffer);
  double draw = 0, hand = 0;
  for (auto _ : state) {
    std::memcpy(buffer->image.bits(), paper.constBits(), static_cast<size_t>(paper.sizeInBytes()));
    const double start = ThreadCpuSeconds();
    for (AFunctionOf_XorY* g : scene.graphs) g->Draw();
    benchmark::ClobberMemory();
    draw += ThreadCpuSeconds() - start;
    for (AFunctionOf_XorY* g : scene.graphs) hand += HandRuns(*g, t, pixels, width, height);
  }
  state.counters["draw_ms"] = 1e3 * draw / state.iterations();
  state.counters["draw_vs_hand"] = draw / hand;
  DisposeOffscreenPort(port);
}

BENCHMARK(BM_SamplingVsHandEdges)->Arg(800)->Arg(1600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModeOnTheSet)->ArgsProduct({{1, 2}, {0, 1, 2, 3}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkerScaling)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Redraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyCurvesRedraw)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
