// A spin frame of w = z^2 at the default grain (42 x 42 points, 3,362 lit
// triangles) in the 4-D view, on the software renderer at 800 x 600: the
// turn, the projection of every point and tangent through the view's
// transform, the lit mesh and the axes. Beside it in the same run, the same
// triangles drawn already projected: a frame submitting the arrays the
// surface last made, as a 3-D graph with a cached model would.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "bench/GraphBenchSupport.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/grid/AGridSurface4D.h"
#include "renderer/Frame.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"
#include "renderer/Submission.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

OurPort* gWorld = nullptr;

void BM_SpinFrame4D(benchmark::State& state) {
  StartGraphWorkers();
  const int32_t openGL = gHasOpenGL;
  gHasOpenGL = 0;
  gWorld = OurNewGWorld({0, 0, kHeight, kWidth});
  gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return gWorld; };
  gRendererHooks.BackgroundColor = [](DocumentRecord*) { return uint32_t(0xFFFFFF); };
  {
    A4DGraphView view;
    view.SetViewRect(MRect{0, 0, kHeight, kWidth});
    view.ConstructContextNeededByGraphConstructors();
    const double* x = view.Record().ranges[kCoordX];
    const double* y = view.Record().ranges[kCoordY];
    auto colour = std::make_unique<AGraphColor>();
    colour->fSolidColor = 0x3366CC;
    auto* surface =
        new AGridSurface4D(Parsed("u"), Parsed("v"), Parsed("u^2 - v^2"), Parsed("2*u*v"), 0.5, 1, std::move(colour),
                           nullptr, x[0], x[1], y[0], y[1], view.DrawContext(), view.Transform());
    view.AddGraph(std::unique_ptr<AGraph>(surface));
    while (!surface->IsDoneComputing()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // Spins in the yz and zw planes.
    view.SetViewParameter4D(ViewAttribute(kAttributeSpinXY + 3), 90);
    view.SetViewParameter4D(ViewAttribute(kAttributeSpinXY + 5), 60);
    view.Draw(true);
    const int32_t points = surface->GridSize() * surface->GridSize();
    const std::vector<Vertex> vertices(surface->Vertices(), surface->Vertices() + points);
    const std::vector<Vertex> normals(surface->Normals(), surface->Normals() + points);
    const std::vector<Triangle> triangles(surface->Triangles(), surface->Triangles() + surface->TriangleCount());
    MDrawContext* ctx = view.DrawContext();
    double ours = 0, projected = 0;
    for (auto _ : state) {
      auto start = Clock::now();
      benchmark::DoNotOptimize(view.Draw(true));
      const double frame = Seconds(start);
      state.SetIterationTime(frame);
      ours += frame;
      start = Clock::now();
      if (RenderStart(ctx, false) == 0) {
        OurSubmitSolidColor(0x3366CC, ctx);
        OurSubmitOpacity(1, ctx);
        OurSubmitVertices(vertices.data(), points, ctx);
        OurSubmitNormals(normals.data(), ctx);
        OurSubmitTriangles(triangles.data(), int(triangles.size()), ctx);
        RenderEnd(ctx);
      }
      projected += Seconds(start);
    }
    const double n = double(state.iterations());
    state.counters["spin_ms"] = 1e3 * ours / n;
    state.counters["projected_ms"] = 1e3 * projected / n;
    state.counters["ratio"] = ours / projected;
    state.SetLabel(std::to_string(surface->GridSize()) + " x " + std::to_string(surface->GridSize()) + ", " +
                   std::to_string(surface->TriangleCount()) + " triangles, 800 x 600, software");
  }
  gRendererHooks = {};
  OurDisposeGWorld(gWorld);
  gHasOpenGL = openGL;
}
BENCHMARK(BM_SpinFrame4D)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(200);

}  // namespace
