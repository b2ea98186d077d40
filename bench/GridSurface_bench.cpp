// The 79 x 79 grid surface: computing z = sin(x) cos(y) with analytic
// normals (nine grid expressions) and a parametric torus, against a
// hand-written loop filling the same positions, cross-product normals and
// triangles from C++ lambdas, in the same run; beside them the nine
// expressions alone, evaluated a row at a time and point by point. Then one
// spin frame of the view holding the surface (12,168 lit triangles and the
// axes) on the software renderer at 800 x 600.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "bench/GraphBenchSupport.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "algebra/AlgebraStartup.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "expression/VariableIds.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/grid/AGridSurface.h"
#include "graphs3d/grid/GridMesh.h"
#include "platform/GuiApplication.h"
#include "renderer/RendererHooks.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr double kTwoPi = 6.283185307179586;

struct SurfaceCase {
  const char *x, *y, *z;
  double u0, u1, v0, v1;
  std::function<void(double, double, double*)> point;  // x, y, z, then du and dv of each
};

const SurfaceCase kCases[2] = {
    {"u", "v", "sin(u)*cos(v)", -3, 3, -3, 3,
     [](double u, double v, double* p) {
       const double su = std::sin(u), cu = std::cos(u), sv = std::sin(v), cv = std::cos(v);
       const double values[9] = {u, v, su * cv, 1, 0, cu * cv, 0, 1, -su * sv};
       std::copy(values, values + 9, p);
     }},
    {"(2 + cos(v))*cos(u)", "(2 + cos(v))*sin(u)", "sin(v)", 0, kTwoPi, 0, kTwoPi,
     [](double u, double v, double* p) {
       const double su = std::sin(u), cu = std::cos(u), sv = std::sin(v), cv = std::cos(v), r = 2 + cv;
       const double values[9] = {r * cu, r * su, sv, -r * su, r * cu, 0, -sv * cu, -sv * su, cv};
       std::copy(values, values + 9, p);
     }},
};

// Counts the surfaces finished, as the window is told of them; the
// benchmark sleeps on it, so that its own thread takes no processor time
// from the worker.
std::atomic<uint32_t> gFinished{0};

void CountFinished(DocumentRecord*) {
  gFinished.fetch_add(1, std::memory_order_release);
  gFinished.notify_all();
}

struct SurfaceInView {
  explicit SurfaceInView(const SurfaceCase& c) {
    StartGraphWorkers();
    gRendererHooks.NotifyWindowGraphFinished = CountFinished;
    view.SetViewRect(MRect{0, 0, kHeight, kWidth});
    view.ConstructContextNeededByGraphConstructors();
    double* u = view.Record().ranges[kCoordU];
    double* v = view.Record().ranges[kCoordV];
    u[0] = c.u0, u[1] = c.u1, v[0] = c.v0, v[1] = c.v1;
    auto colour = std::make_unique<AGraphColor>();
    const uint32_t before = gFinished.load(std::memory_order_acquire);
    surface = new AGridSurface(Parsed(c.x), Parsed(c.y), Parsed(c.z), 1, 1, std::move(colour), nullptr, kPlotInterval,
                               u[0], u[1], v[0], v[1], view.DrawContext());
    view.AddGraph(std::unique_ptr<AGraph>(surface));
    Wait(before);
  }
  ~SurfaceInView() { gRendererHooks.NotifyWindowGraphFinished = nullptr; }
  // The whole round trip: stop, clear, resubmit, wake the worker, compute.
  void Recompute() {
    const uint32_t before = gFinished.load(std::memory_order_acquire);
    surface->ViewChanged();
    Wait(before);
  }
  void Wait(uint32_t seen) {
    while (!surface->IsDoneComputing()) {
      gFinished.wait(seen, std::memory_order_acquire);
      seen = gFinished.load(std::memory_order_acquire);
    }
  }
  A3DGraphView view;
  AGridSurface* surface;
};

// Wall time beside the processor time of the whole process: on a busy
// machine the wall time of either side also counts the waits for a core.
void BM_GridSurface(benchmark::State& state) {
  SurfaceInView s(kCases[state.range(0)]);
  for (auto _ : state) s.Recompute();
  state.SetLabel(std::string(state.range(0) ? "torus" : "sin(x) cos(y)") +
                 (s.surface->UsesAnalyticNormals() ? ", nine expressions" : ", three expressions"));
}
BENCHMARK(BM_GridSurface)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// The baseline: the same grid filled by lambdas.
void BM_HandWrittenGrid(benchmark::State& state) {
  const SurfaceCase& c = kCases[state.range(0)];
  constexpr int n = 79;
  std::vector<Vertex> positions(n * n), normals(n * n);
  std::vector<uint8_t> valid(n * n);
  std::vector<Triangle> triangles(2 * (n - 1) * (n - 1));
  for (auto _ : state) {
    const double du = (c.u1 - c.u0) / (n - 1), dv = (c.v1 - c.v0) / (n - 1);
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        double p[9];
        c.point(c.u0 + du * i, c.v0 + dv * j, p);
        const int k = i * n + j;
        positions[size_t(k)] = {float(p[0]), float(p[1]), float(p[2])};
        normals[size_t(k)] = {float(p[4] * p[8] - p[5] * p[7]), float(p[5] * p[6] - p[3] * p[8]),
                              float(p[3] * p[7] - p[4] * p[6])};
        valid[size_t(k)] = std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
      }
    benchmark::DoNotOptimize(TriangulateGrid(valid.data(), n, CornerCopies::kOnePerPoint, triangles.data()));
    benchmark::ClobberMemory();
  }
  state.SetLabel(state.range(0) ? "torus" : "sin(x) cos(y)");
}
BENCHMARK(BM_HandWrittenGrid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// The nine grid expressions of a case (x, y, z and their partials in u and
// v), compiled together as the surface compiles them.
struct NineExpressions {
  explicit NineExpressions(const SurfaceCase& c) {
    StartGraphWorkers();
    const char* texts[3] = {c.x, c.y, c.z};
    for (int k = 0; k < 3; ++k) owned[k] = Parsed(texts[k]);
    for (int k = 0; k < 6; ++k) owned[3 + k].reset(owned[k % 3]->CreateDerivativeExpr(k < 3 ? kIdU : kIdV));
    AnExpression* all[9];
    for (int k = 0; k < 9; ++k) all[k] = owned[k].get();
    data = AnExpression::CompileForGrid(all);
    AnExpression::SetupGrid(c.u0, c.v0, (c.u1 - c.u0) / (kN - 1), (c.v1 - c.v0) / (kN - 1), kN, kN, data.get(), &grid);
  }
  static constexpr int kN = 79;
  std::unique_ptr<AnExpression> owned[9];
  std::unique_ptr<MGridData> data;
  MGridVariables grid;
};

void BM_NineExpressionsByRow(benchmark::State& state) {
  NineExpressions e(kCases[state.range(0)]);
  std::vector<double> rows(size_t(9 * NineExpressions::kN));
  for (auto _ : state) {
    for (int j = 0; j < NineExpressions::kN; ++j)
      for (int k = 0; k < 9; ++k) e.owned[k]->EvaluateArrayOnGrid(j, &e.grid, &rows[size_t(k * NineExpressions::kN)]);
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetLabel(state.range(0) ? "torus" : "sin(x) cos(y)");
}
BENCHMARK(BM_NineExpressionsByRow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_NineExpressionsByPoint(benchmark::State& state) {
  NineExpressions e(kCases[state.range(0)]);
  double sum = 0;
  for (auto _ : state) {
    for (int j = 0; j < NineExpressions::kN; ++j)
      for (int i = 0; i < NineExpressions::kN; ++i)
        for (int k = 0; k < 9; ++k) sum += e.owned[k]->EvaluateOnGrid(i, j, &e.grid);
    benchmark::DoNotOptimize(sum);
  }
  state.SetLabel(state.range(0) ? "torus" : "sin(x) cos(y)");
}
BENCHMARK(BM_NineExpressionsByPoint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

OurPort* gWorld = nullptr;

// One spin frame: the turn, the lit mesh and the axes, into the world.
void BM_SpinFrame(benchmark::State& state) {
  gWorld = OurNewGWorld({0, 0, kHeight, kWidth});
  gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return gWorld; };
  gRendererHooks.BackgroundColor = [](DocumentRecord*) { return uint32_t(0xFFFFFF); };
  {
    SurfaceInView s(kCases[0]);
    s.view.SetViewParameter(kAttributeUpdateVertexObjects);
    s.view.SetSpin({0, 0, 1}, 3);
    s.view.Draw(true);
    for (auto _ : state) benchmark::DoNotOptimize(s.view.Draw(true));
    state.SetLabel(std::to_string(s.surface->TriangleCount()) + " triangles, 800 x 600, software");
  }
  gRendererHooks = {};
  OurDisposeGWorld(gWorld);
}
BENCHMARK(BM_SpinFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
