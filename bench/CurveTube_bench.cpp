// A tube of 12 sides around a 1,000-point helix (grain 1), against
// evaluating those points in the same run: x, y, z compiled together and the
// radius alone, as the space curve evaluates them. Reported: the ratio of
// the tube's processor time to the points', and the tube's triangles.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "bench/GraphBenchSupport.h"
#include "CoreUtilities/MathConstants.h"
#include "graphs3d/curves/ACurve3D.h"
#include "graphs3d/curves/CurveGrain.h"

namespace {

struct Helix {
  // The parameter reaches the expressions as u, as the builders pass it.
  Helix() : x(Parsed("cos(u)")), y(Parsed("sin(u)")), z(Parsed("u/4 - 1.5")), radius(Parsed("0.08")) {
    AnExpression::Compile(x.get(), y.get(), z.get());
    AnExpression::Compile(radius.get());
  }
  void Evaluate() {
    const double step = 4 * gPi / (kPoints - 1);
    for (int32_t i = 0; i < kPoints; ++i) {
      const double t = step * i;
      const double px = x->Evaluate(t), py = y->Evaluate(t), pz = z->Evaluate(t);
      radii[size_t(i)] = radius->Evaluate(t, 0, px, py, pz, 0);
      points[size_t(i)] = {float(px), float(py), float(pz)};
    }
  }
  static constexpr int32_t kPoints = 1000;
  std::unique_ptr<AnExpression> x, y, z, radius;
  std::vector<Vertex> points = std::vector<Vertex>(size_t(kPoints));
  std::vector<double> radii = std::vector<double>(size_t(kPoints));
};

// Processor time: on a loaded machine the wall clock counts the turns of
// other processes too.
double SecondsOf(const auto& work) {
  const double start = ThreadCpuSeconds();
  work();
  return ThreadCpuSeconds() - start;
}

void BM_TubeAgainstItsPoints(benchmark::State& state) {
  Helix helix;
  AGraphColor colour;
  ACurve3D tube(Helix::kPoints, helix.points.data(), helix.radii.data(), nullptr, &colour, 1.0, 1.0, false, nullptr);
  ModelSpace box;
  for (int a = 0; a < 3; ++a) box.low[a] = -2, box.high[a] = 2;
  double points = 0, rings = 0;
  for (auto _ : state) {
    points += SecondsOf([&] { helix.Evaluate(); });
    tube.ViewChanged();
    rings += SecondsOf([&] { tube.ComputeCurve(box); });
  }
  state.SetLabel(std::to_string(tube.Sides()) + " sides");
  state.counters["tube/points"] = rings / points;
  state.counters["triangles"] = tube.TriangleCount();
}
BENCHMARK(BM_TubeAgainstItsPoints)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
