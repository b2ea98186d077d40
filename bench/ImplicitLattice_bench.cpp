// One slab walk of the lattice over [-2, 2]^3: the sphere, a torus and the
// gyroid drawn from compiled expressions (a whole layer at a time), beside
// the same walk with F as a C++ lambda in the same run. Reported: the
// ratio of the two times, the triangles, F evaluations per second of the
// lambda walk.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <cstring>
#include <string>

#include "bench/ImplicitCases.h"
#include "CoreUtilities/OurTime.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/implicit/ExpressionOnLattice.h"

namespace {

class Counted : public ALatticeFunction {
 public:
  explicit Counted(const Field& f) : fF(f) {}
  double At(double x, double y, double z) override {
    ++fEvaluations;
    return fF(x, y, z);
  }
  const Field& fF;
  long fEvaluations = 0;
};

double WalkSeconds(ALatticeFunction& f, int n, int32_t* triangles) {
  const auto start = std::chrono::steady_clock::now();
  SurfaceVertexList vertices;
  TriangleList list;
  ALattice lattice(f, -2, 2, -2, 2, -2, 2, n, n);
  while (!lattice.IsDoneComputing()) lattice.LoopOverUnitCubes(vertices, &list, OurTime() + OurDuration(60));
  *triangles = list.Count();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ImplicitLattice(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  const int n = int(state.range(1));
  std::unique_ptr<AnExpression> e(new AnExpression(CoreParseExpr(c.text, int32_t(std::strlen(c.text))), nullptr));
  AnExpression::Compile(e.get());
  std::unique_ptr<MGridData> data = AnExpression::CompileForGrid(e.get());
  double expressionSeconds = 0, lambdaSeconds = 0;
  long evaluations = 0;
  int32_t triangles = 0;
  for (auto _ : state) {
    ExpressionOnLattice onLattice(e.get(), nullptr, nullptr, nullptr, nullptr, data.get(), data.get());
    expressionSeconds += WalkSeconds(onLattice, n, &triangles);
    Counted lambda(c.f);
    lambdaSeconds += WalkSeconds(lambda, n, &triangles);
    evaluations += lambda.fEvaluations;
  }
  state.SetLabel(std::string(c.name) + " N=" + std::to_string(n));
  state.counters["expression/lambda"] = expressionSeconds / lambdaSeconds;
  state.counters["triangles"] = triangles;
  state.counters["lambda F/s"] = double(evaluations) / lambdaSeconds;
}
BENCHMARK(BM_ImplicitLattice)->ArgsProduct({{0, 1, 2}, {40, 80, 160}})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
