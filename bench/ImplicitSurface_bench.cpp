// The implicit surface on every worker over [-2, 2]^3 at N = 40 (grain 1):
// the sphere, a torus and the gyroid. Each figure is a ratio against a
// baseline run in the same process: the whole graph on 2 x cores jobs
// against one lattice walk with F as a C++ lambda; the graph on 8 workers
// against 1; partial publishing every tick against none.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "bench/ImplicitCases.h"
#include "bench/GraphBenchSupport.h"
#include "algebra/AlgebraStartup.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/OurTime.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/implicit/ALatticeFunction.h"
#include "graphs3d/implicit/AnImplicitSurface.h"
#include "expression/ExpressionParser.h"
#include "platform/GuiApplication.h"

namespace {

struct SurfaceInView {
  explicit SurfaceInView(const Case& c) {
    StartGraphWorkers();
    view.SetViewRect(MRect{0, 0, 400, 400});
    view.ConstructContextNeededByGraphConstructors();
    auto& r = view.Record().ranges;
    for (int a : {kCoordX, kCoordY, kCoordZ}) r[a][0] = -2, r[a][1] = 2;
    surface = std::make_unique<AnImplicitSurface>(
        std::make_unique<AnExpression>(CoreParseExpr(c.text, int32_t(std::strlen(c.text))), nullptr), 1.0, 1.0,
        std::make_unique<AGraphColor>(), nullptr, kPlotSampling, r[kCoordX][0], r[kCoordX][1], r[kCoordY][0],
        r[kCoordY][1], r[kCoordZ][0], r[kCoordZ][1], view.DrawContext());
    Seconds();
  }
  ~SurfaceInView() { surface.reset(); }
  // One whole computation, the model picked up as the pane does.
  double Seconds() {
    const auto start = std::chrono::steady_clock::now();
    surface->ViewChanged();
    while (!surface->IsDoneComputing()) std::this_thread::yield();
    surface->SetParameter(kAttributeUpdateSavedVertexObjects, 0);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  A3DGraphView view;
  std::unique_ptr<AnImplicitSurface> surface;
};

void BM_ImplicitSurfaceAgainstLambdaWalk(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  SurfaceInView s(c);
  double graph = 0, lambda = 0;
  for (auto _ : state) {
    graph += s.Seconds();
    lambda += LambdaWalkSeconds(c.f, 40);
  }
  state.SetLabel(std::string(c.name) + " N=40, " + std::to_string(s.surface->JobCount()) + " jobs");
  state.counters["graph/lambda"] = graph / lambda;
  state.counters["triangles"] = s.surface->TriangleCount();
}
BENCHMARK(BM_ImplicitSurfaceAgainstLambdaWalk)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImplicitSurfaceSpeedUp(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  SurfaceInView s(c);
  double one = 0, eight = 0;
  for (auto _ : state) {
    DebugSetNumberComputeThreads(1);
    one += s.Seconds();
    DebugSetNumberComputeThreads(8);
    eight += s.Seconds();
  }
  DebugSetNumberComputeThreads(0);
  state.SetLabel(std::string(c.name) + " N=40");
  state.counters["1 worker/8 workers"] = one / eight;
}
BENCHMARK(BM_ImplicitSurfaceSpeedUp)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImplicitSurfacePublishing(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  SurfaceInView s(c);
  double publishing = 0, quiet = 0;
  for (auto _ : state) {
    s.surface->SetPublishingInterval(1);
    publishing += s.Seconds();
    s.surface->SetPublishingInterval(1 << 20);
    quiet += s.Seconds();
  }
  state.SetLabel(std::string(c.name) + " N=40");
  state.counters["publishing/quiet"] = publishing / quiet;
}
BENCHMARK(BM_ImplicitSurfacePublishing)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
