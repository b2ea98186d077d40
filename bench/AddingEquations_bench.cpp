// One pass of adding 100 mixed equations (2-D and 3-D kinds, some with
// conditions and options) with no graph makers installed: classification,
// options, the builders' trees and their compiled expressions, nothing
// computed. Beside it, in the same run, the baseline compiles alone the
// formulas that pass compiles (caught once by makers that keep a copy of
// each); vs_baseline is the ratio of the two.

#include <benchmark/benchmark.h>

#include <array>
#include <ctime>
#include <memory>
#include <vector>

#include "bench/CpuClock.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphMakers.h"

namespace {

struct Equation {
  const char* text;
  bool is3D;
  double xyType;
};

constexpr Equation kMix[] = {
    {"y = x^2 + sin(x)", false, 1},
    {"x = cos(y)*y", false, 1},
    {"sin(x)*exp(-x^2), 0 < x < 3", false, 1},
    {"r = 1 + cos(theta)", false, 1},
    {"theta = r^2", false, 1},
    {"x^2 + y^2 < 4, x > 0", false, 1},
    {"leq(x^2 - y^2, 1)", false, 1},
    {"x^3 + y^3 = 3*x*y", false, 1},
    {"z = sin(x*y)", false, 2},
    {"z = x^2 - y^2", false, 3},
    {"z = sin(x)*cos(y), x < 1", true, 1},
    {"r = theta*phi", true, 1},
    {"vector(r, theta, z) = vector(1, t, t/4)", true, 1},
    {"x^2 + y^2 + z^2 = 4", true, 1},
    {"y = x + z", true, 1},
    {"vector(r, theta, phi) = vector(1, u, v)", true, 1},
    {"vector(d*x, d*y, d*z) = vector(y, -x, z), x = y*z", true, 1},
    {"y = x, vector(r, g, b) = vector(x, 0, 1)", false, 1},
    {"vector(r, theta) = vector(t, 2*t)", false, 1},
    {"x + i*y = exp(i*z)", true, 1},
};
constexpr int kEquations = 100;

// The formulas the makers were handed.
std::vector<ExpressionRecord*> gFormulas;

void Take(const Compiled& e) {
  if (e != nullptr) gFormulas.push_back(Copy(e->Tree()));
}
void Take(const std::array<Compiled, 3>& list) {
  for (const Compiled& e : list) Take(e);
}
template <typename Other>
void Take(const Other&) {}

// A maker that keeps copies of its formulas and makes nothing.
template <typename Graph, typename... Args>
std::unique_ptr<Graph> Keep(Args... args) {
  (Take(args), ...);
  return nullptr;
}

void InstallKeepingMakers() {
  GraphMakers& m = gGraphMakers;
  m.FunctionOfXorY = &Keep;
  m.ParametricCurve = &Keep;
  m.Inequality = &Keep;
  m.DensityPlot = &Keep;
  m.ContourPlot = &Keep;
  m.GridSurface = &Keep;
  m.GridSurface4D = &Keep;
  m.ImplicitSurface = &Keep;
  m.SpaceCurve = &Keep;
  m.SpaceCurve4D = &Keep;
  m.StartOnLattice = &Keep;
  m.StartOnPoint = &Keep;
  m.StartOnImplicit = &Keep;
  m.StartOnGrid = &Keep;
}

void Pass(AGraphPane& pane, const std::vector<ExpressionRecord*>& trees) {
  const CoordinateTransformation none;
  pane.StartAddingEquations(false, false, false, false, none);
  for (int i = 0; i < kEquations; ++i) {
    const Equation& e = kMix[i % std::size(kMix)];
    benchmark::DoNotOptimize(pane.AddEquation(trees[i], e.is3D, false, none, 0, 0.5, 1, 2, e.xyType));
  }
  pane.DoneAddingEquations();
}

void BM_AddEquations(benchmark::State& state) {
  std::vector<ExpressionRecord*> trees;
  for (int i = 0; i < kEquations; ++i) trees.push_back(ParseExprFromString(kMix[i % std::size(kMix)].text));
  AGraphPane pane(MRect{0, 0, 300, 400}, nullptr, nullptr);
  InstallKeepingMakers();
  Pass(pane, trees);
  gGraphMakers = GraphMakers{};
  const double start = ThreadCpuSeconds();
  for (auto _ : state) Pass(pane, trees);
  const double ours = (ThreadCpuSeconds() - start) / double(state.iterations());

  const int runs = 1000;
  const double baseStart = ThreadCpuSeconds();
  for (int run = 0; run < runs; ++run) {
    for (ExpressionRecord* tree : gFormulas) {
      std::unique_ptr<AnExpression> compiled(new AnExpression(Copy(tree), nullptr));
      benchmark::DoNotOptimize(compiled.get());
    }
  }
  const double baseline = (ThreadCpuSeconds() - baseStart) / runs;
  state.counters["formulas"] = double(gFormulas.size());
  state.counters["vs_baseline"] = ours / baseline;
  for (ExpressionRecord* tree : trees) DisposExpr(tree);
  for (ExpressionRecord* tree : gFormulas) DisposExpr(tree);
  gFormulas.clear();
}

}  // namespace

BENCHMARK(BM_AddEquations);
