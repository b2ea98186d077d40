// Solutions of dP/dt = F(P) through 512 lattice starts, 2000 fixed-length
// Runge-Kutta steps each, against the same steps by Boost.Odeint's
// runge_kutta4 on a C++ right-hand side scaled by 1/|F| at each step's
// start, in the same run. Arg 0 is (sin y - 0.2x, sin z - 0.2y,
// sin x - 0.2z), arg 1 the helix field (-y, x, 1), whose solutions leave the
// escape box after 990 steps. BM_SolutionPlotWorkers times the first field
// on 1, 2, 4 and 8 workers.
#include <benchmark/benchmark.h>

#include <boost/numeric/odeint.hpp>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "bench/GraphBenchSupport.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "algebra/AlgebraStartup.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/start/AStartOnLattice.h"
#include "platform/GuiApplication.h"

namespace {

using State = std::array<double, 3>;

struct FieldCase {
  const char *fx, *fy, *fz;
  void (*f)(const State&, State&);
};

const FieldCase kCases[2] = {
    {"sin(y) - 0.2*x", "sin(z) - 0.2*y", "sin(x) - 0.2*z",
     [](const State& p, State& f) {
       f = {std::sin(p[1]) - 0.2 * p[0], std::sin(p[2]) - 0.2 * p[1], std::sin(p[0]) - 0.2 * p[2]};
     }},
    {"-y", "x", "1",
     [](const State& p, State& f) {
       f = {-p[1], p[0], 1};
     }},
};

// Grain 1: 8 x 8 x 8 starts in the box [-2, 2]^3.
struct PlotInView {
  PlotInView(const FieldCase& c, int workers) {
    StartGraphWorkers();
    DebugSetNumProcessors(workers);
    DebugSetNumberComputeThreads(workers);
    view.SetViewRect(MRect{0, 0, 600, 800});
    view.ConstructContextNeededByGraphConstructors();
    double(*r)[2] = view.Record().ranges;
    for (int axis : {kCoordX, kCoordY, kCoordZ}) r[axis][0] = -2, r[axis][1] = 2;
    plot = std::make_unique<AStartOnLattice>(
        Parsed(c.fx), Parsed(c.fy), Parsed(c.fz), nullptr, nullptr, 1.0, 1.0, std::make_unique<AGraphColor>(),
        view.DrawContext(),
        BoxRefs{r[kCoordX][0], r[kCoordX][1], r[kCoordY][0], r[kCoordY][1], r[kCoordZ][0], r[kCoordZ][1]}, 1);
    Wait();
  }
  ~PlotInView() {
    plot.reset();
    DebugSetNumProcessors(0);
    DebugSetNumberComputeThreads(0);
  }
  void Wait() {
    while (!plot->IsDoneComputing()) std::this_thread::yield();
  }
  A3DGraphView view;
  std::unique_ptr<AStartOnLattice> plot;
};

void BM_SolutionPlot(benchmark::State& state) {
  PlotInView p(kCases[state.range(0)], 1);
  for (auto _ : state) {
    p.plot->ViewChanged();
    p.Wait();
    p.plot->SetParameter(kAttributeSaveFinishedModels, 0);
  }
}
BENCHMARK(BM_SolutionPlot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SolutionPlotWorkers(benchmark::State& state) {
  PlotInView p(kCases[0], int(state.range(0)));
  for (auto _ : state) {
    p.plot->ViewChanged();
    p.Wait();
    p.plot->SetParameter(kAttributeSaveFinishedModels, 0);
  }
}
BENCHMARK(BM_SolutionPlotWorkers)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: the same starts and steps, stopping where the plot stops.
void BM_OdeintSteps(benchmark::State& state) {
  const FieldCase& c = kCases[state.range(0)];
  boost::numeric::odeint::runge_kutta4<State> stepper;
  const double h = 0.02;
  for (auto _ : state) {
    for (int i = 0; i < 8; ++i)
      for (int j = 0; j < 8; ++j)
        for (int k = 0; k < 8; ++k) {
          State s{-2 + i * 4.0 / 7, -2 + j * 4.0 / 7, -2 + k * 4.0 / 7};
          for (int step = 0; step < 2000; ++step) {
            State f;
            c.f(s, f);
            const double scale = 1 / std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
            stepper.do_step(
                [&](const State& x, State& dxdt, double) {
                  c.f(x, dxdt);
                  for (double& d : dxdt) d *= scale;
                },
                s, 0.0, h);
            if (std::fabs(s[0]) >= 14 || std::fabs(s[1]) >= 14 || std::fabs(s[2]) >= 14) break;
          }
          benchmark::DoNotOptimize(s);
        }
  }
}
BENCHMARK(BM_OdeintSteps)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
