#include <benchmark/benchmark.h>
#include <muParser.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/CpuClock.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/AnExpression.h"
#include "evaluation/compiler/ExpressionCompiler.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/grid/GridSetup.h"
#include "evaluation/StackMachine.h"
#include "evaluation/compiler/StackMachineRewriting.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeDisposal.h"

// Million grid points per second of four formulas over an 800 x 600 grid
// (row runs) and a 100^3 lattice (layer runs): the array run, point runs,
// a plain C++ loop, a C++ loop with the one-axis parts hoisted by hand
// (the baseline: every other figure is also given as its time over the
// baseline's), a C++ loop hoisting only what keeps every bit of a point's
// value (what the array run may do; the array run is also given over it)
// and a bulk-evaluating expression library.

namespace {

struct Formula {
  const char* text;
  double (*point)(double x, double y);
  void (*hoisted)(const double* xs, int nx, const double* ys, int ny, double* out);
  void (*sameValues)(const double* xs, int nx, const double* ys, int ny, double* out);
};

double Product(double x, double y) { return std::sin(x) * std::cos(y); }
double Circle(double x, double y) { return x * x + y * y - 1; }
double Gauss(double x, double y) { return std::exp(-(x * x + y * y)) * std::cos(3 * x); }
double Mixed(double x, double y) { return x * y + std::sin(x * y); }

void ProductHoisted(const double* xs, int nx, const double* ys, int ny, double* out) {
  std::vector<double> sx(static_cast<size_t>(nx));
  for (int i = 0; i < nx; ++i) sx[static_cast<size_t>(i)] = std::sin(xs[i]);
  for (int j = 0; j < ny; ++j) {
    const double cy = std::cos(ys[j]);
    for (int i = 0; i < nx; ++i) out[int64_t{j} * nx + i] = sx[static_cast<size_t>(i)] * cy;
  }
}
void CircleHoisted(const double* xs, int nx, const double* ys, int ny, double* out) {
  std::vector<double> sx(static_cast<size_t>(nx));
  for (int i = 0; i < nx; ++i) sx[static_cast<size_t>(i)] = xs[i] * xs[i];
  for (int j = 0; j < ny; ++j) {
    const double cy = ys[j] * ys[j] - 1;
    for (int i = 0; i < nx; ++i) out[int64_t{j} * nx + i] = sx[static_cast<size_t>(i)] + cy;
  }
}
void GaussHoisted(const double* xs, int nx, const double* ys, int ny, double* out) {
  std::vector<double> sx(static_cast<size_t>(nx));
  for (int i = 0; i < nx; ++i) sx[static_cast<size_t>(i)] = std::exp(-xs[i] * xs[i]) * std::cos(3 * xs[i]);
  for (int j = 0; j < ny; ++j) {
    const double cy = std::exp(-ys[j] * ys[j]);
    for (int i = 0; i < nx; ++i) out[int64_t{j} * nx + i] = sx[static_cast<size_t>(i)] * cy;
  }
}
void MixedHoisted(const double* xs, int nx, const double* ys, int ny, double* out) {
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      const double xy = xs[i] * ys[j];
      out[int64_t{j} * nx + i] = xy + std::sin(xy);
    }
  }
}

// exp(a + b) is not exp(a) * exp(b) in doubles, nor (a + b) - 1 the same
// as a + (b - 1): only the squares and the cosine may leave the point.
void CircleSameValues(const double* xs, int nx, const double* ys, int ny, double* out) {
  std::vector<double> sx(static_cast<size_t>(nx));
  for (int i = 0; i < nx; ++i) sx[static_cast<size_t>(i)] = xs[i] * xs[i];
  for (int j = 0; j < ny; ++j) {
    const double sy = ys[j] * ys[j];
    for (int i = 0; i < nx; ++i) out[int64_t{j} * nx + i] = sx[static_cast<size_t>(i)] + sy - 1;
  }
}
void GaussSameValues(const double* xs, int nx, const double* ys, int ny, double* out) {
  std::vector<double> sx(static_cast<size_t>(nx)), cx(static_cast<size_t>(nx));
  for (int i = 0; i < nx; ++i) {
    sx[static_cast<size_t>(i)] = xs[i] * xs[i];
    cx[static_cast<size_t>(i)] = std::cos(3 * xs[i]);
  }
  for (int j = 0; j < ny; ++j) {
    const double sy = ys[j] * ys[j];
    for (int i = 0; i < nx; ++i) {
      out[int64_t{j} * nx + i] = std::exp(-(sx[static_cast<size_t>(i)] + sy)) * cx[static_cast<size_t>(i)];
    }
  }
}

const Formula kFormulas[] = {
    {"sin(x)*cos(y)", Product, ProductHoisted, ProductHoisted},
    {"x*x+y*y-1", Circle, CircleHoisted, CircleSameValues},
    {"exp(-(x^2+y^2))*cos(3*x)", Gauss, GaussHoisted, GaussSameValues},
    {"x*y+sin(x*y)", Mixed, MixedHoisted, MixedHoisted},
};
const char* kMuParserTexts[] = {"sin(x)*cos(y)", "x*x+y*y-1", "exp(-(x^2+y^2))*cos(3*x)", "x*y+sin(x*y)"};

struct Shape {
  int nx, ny, nz;  // nz = 0: a two-axis grid
  int64_t Points() const { return int64_t{nx} * ny * std::max(nz, 1); }
};
const Shape kShapes[] = {{800, 600, 0}, {100, 100, 100}};

// Seconds per point of the two hand loops, per formula and shape.
enum class Baseline { kNone, kHoisted, kSameValues };
std::map<int, double> gHoisted, gSameValues;

std::vector<double> Axis(int n, double origin, double step) {
  std::vector<double> values(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) values[static_cast<size_t>(i)] = GridCoordinate(origin, i, step);
  return values;
}

struct Geometry {
  explicit Geometry(const Shape& s)
      : shape(s),
        xs(Axis(s.nx, -2, 4.0 / s.nx)),
        ys(Axis(s.ny, -1.5, 3.0 / s.ny)),
        out(static_cast<size_t>(s.nx) * s.ny) {}
  Shape shape;
  std::vector<double> xs, ys, out;
};

template <typename Body>
void Measure(benchmark::State& state, int key, Baseline baseline, Body body) {
  const Shape& shape = kShapes[key % 2];
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    body();
    benchmark::ClobberMemory();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double perPoint = seconds / (double(state.iterations()) * double(shape.Points()));
  state.counters["Mpts/s"] = 1e-6 / perPoint;
  if (baseline == Baseline::kHoisted) gHoisted[key] = perPoint;
  if (baseline == Baseline::kSameValues) gSameValues[key] = perPoint;
  if (gHoisted.count(key) != 0) state.counters["x_hand_hoisted"] = perPoint / gHoisted[key];
  if (gSameValues.count(key) != 0) state.counters["x_same_values"] = perPoint / gSameValues[key];
}

void HandHoisted(benchmark::State& state) {
  const int key = static_cast<int>(state.range(0));
  Geometry g(kShapes[key % 2]);
  const Formula& f = kFormulas[key / 2];
  Measure(state, key, Baseline::kHoisted, [&] {
    for (int k = 0; k < std::max(g.shape.nz, 1); ++k)
      f.hoisted(g.xs.data(), g.shape.nx, g.ys.data(), g.shape.ny, g.out.data());
  });
}

void HandSameValues(benchmark::State& state) {
  const int key = static_cast<int>(state.range(0));
  Geometry g(kShapes[key % 2]);
  const Formula& f = kFormulas[key / 2];
  Measure(state, key, Baseline::kSameValues, [&] {
    for (int k = 0; k < std::max(g.shape.nz, 1); ++k)
      f.sameValues(g.xs.data(), g.shape.nx, g.ys.data(), g.shape.ny, g.out.data());
  });
}

void Naive(benchmark::State& state) {
  const int key = static_cast<int>(state.range(0));
  Geometry g(kShapes[key % 2]);
  const Formula& f = kFormulas[key / 2];
  Measure(state, key, Baseline::kNone, [&] {
    for (int k = 0; k < std::max(g.shape.nz, 1); ++k) {
      for (int j = 0; j < g.shape.ny; ++j) {
        for (int i = 0; i < g.shape.nx; ++i)
          g.out[size_t(j) * g.shape.nx + i] = f.point(g.xs[size_t(i)], g.ys[size_t(j)]);
      }
    }
  });
}

ExpressionRecord* Prepared(const char* text) {
  ExpressionRecord* tree = CoreParseExpr(text, static_cast<int32_t>(std::strlen(text)));
  if (tree != nullptr) MungeExprForStackMachine(tree, nullptr);
  return tree;
}

// The formula compiled for the grid as a graph compiles it, with its
// hoisted lines computed.
struct GridProgram {
  explicit GridProgram(const Geometry& g, const char* text)
      : expression(CoreParseExpr(text, static_cast<int32_t>(std::strlen(text))), nullptr) {
    AnExpression::Compile(&expression);
    data = AnExpression::CompileForGrid(&expression);
    AnExpression::SetupGrid(g.xs[0], g.ys[0], 0, g.xs[1] - g.xs[0], g.ys[1] - g.ys[0], 1, g.shape.nx, g.shape.ny,
                            g.shape.nz, data.get(), &grid);
  }
  AnExpression expression;
  std::unique_ptr<MGridData> data;
  MGridVariables grid;
};

// Each row (layer) through the expression's own entry, which fills the
// coordinate slots the program reads before the run.
void ArrayRun(benchmark::State& state) {
  const int key = static_cast<int>(state.range(0));
  Geometry g(kShapes[key % 2]);
  GridProgram program(g, kFormulas[key / 2].text);
  const bool layer = g.shape.nz != 0;
  Measure(state, key, Baseline::kNone, [&] {
    const int runs = layer ? g.shape.nz : g.shape.ny;
    for (int run = 0; run < runs; ++run) {
      program.expression.EvaluateArrayOnGrid(run, &program.grid,
                                             g.out.data() + (layer ? 0 : int64_t{run} * g.shape.nx));
    }
  });
}

void PointRuns(benchmark::State& state) {
  const int key = static_cast<int>(state.range(0));
  Geometry g(kShapes[key % 2]);
  ExpressionRecord* tree = Prepared(kFormulas[key / 2].text);
  AStackMachine machine;
  CompileExpression(&machine, tree, nullptr, false, false, nullptr);
  CheckgVariablesSize(machine.VariableSlotCount());
  auto* variables = static_cast<double*>(GetThreadLocalVariables());
  Measure(state, key, Baseline::kNone, [&] {
    for (int k = 0; k < std::max(g.shape.nz, 1); ++k) {
      variables[5] = k;
      for (int j = 0; j < g.shape.ny; ++j) {
        variables[1] = variables[4] = g.ys[size_t(j)];
        for (int i = 0; i < g.shape.nx; ++i) {
          variables[0] = variables[3] = g.xs[size_t(i)];
          g.out[size_t(j) * g.shape.nx + i] = machine.Run(variables, nullptr);
        }
      }
    }
  });
  DisposExpr(tree);
}

void BulkLibrary(benchmark::State& state) {
  const int key = static_cast<int>(state.range(0));
  Geometry g(kShapes[key % 2]);
  std::vector<double> x(g.xs), y(g.xs.size());
  mu::Parser parser;
  parser.DefineVar("x", x.data());
  parser.DefineVar("y", y.data());
  parser.SetExpr(kMuParserTexts[key / 2]);
  Measure(state, key, Baseline::kNone, [&] {
    for (int k = 0; k < std::max(g.shape.nz, 1); ++k) {
      for (int j = 0; j < g.shape.ny; ++j) {
        std::fill(y.begin(), y.end(), g.ys[size_t(j)]);
        parser.Eval(g.out.data() + size_t(j) * g.shape.nx, g.shape.nx);
      }
    }
  });
}

// Rows of one grid shared by `threads` threads, each with its own grid
// record set up and every threads-th row, as the expression benchmark's
// thread scaling runs them (same formula, its grid is the 512 one). The
// speed-up is over one thread, timed alternately with the threaded runs
// so that a change of the machine's load hits both. fixed_share is the
// part of the threaded time spent starting the threads and setting up
// their grids, which the larger grid shows amortised; cpu_vs_single is
// the processor time of all threads over that of one thread, which stays
// near 1 when nothing they share slows them, however loaded the machine.
struct RowsTiming {
  double seconds = 0;
  double cpuSeconds = 0;
};

RowsTiming ThreadedRows(AnExpression& e, MGridData* data, int n, int threads, bool rows, std::vector<double>& values) {
  std::vector<double> cpu(static_cast<size_t>(threads));
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      const double cpuStart = ThreadCpuSeconds();
      MGridVariables grid;
      AnExpression::SetupGrid(-3, -3, 6.0 / n, 6.0 / n, n, n, data, &grid);
      for (int j = t; rows && j < n; j += threads) e.EvaluateArrayOnGrid(j, &grid, values.data() + size_t(j) * n);
      cpu[size_t(t)] = ThreadCpuSeconds() - cpuStart;
    });
  }
  for (std::thread& w : workers) w.join();
  RowsTiming timing;
  timing.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (double c : cpu) timing.cpuSeconds += c;
  return timing;
}

void RowThreads(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  const char text[] = "sin(x * y) * exp(-(x ^ 2 + y ^ 2) / 4) + sum(cos(k * x) / k, k = 1, 8)";
  AnExpression e(CoreParseExpr(text, static_cast<int32_t>(std::strlen(text))), nullptr);
  AnExpression::Compile(&e);
  std::unique_ptr<MGridData> data = AnExpression::CompileForGrid(&e);
  std::vector<double> values(size_t(n) * n);
  RowsTiming threaded, single;
  double fixed = 0;
  for (auto _ : state) {
    const RowsTiming run = ThreadedRows(e, data.get(), n, threads, true, values);
    state.SetIterationTime(run.seconds);
    threaded.seconds += run.seconds;
    threaded.cpuSeconds += run.cpuSeconds;
    const RowsTiming one = ThreadedRows(e, data.get(), n, 1, true, values);
    single.seconds += one.seconds;
    single.cpuSeconds += one.cpuSeconds;
    fixed += ThreadedRows(e, data.get(), n, threads, false, values).seconds;
  }
  state.counters["speedup"] = single.seconds / threaded.seconds;
  state.counters["fixed_share"] = fixed / threaded.seconds;
  state.counters["cpu_vs_single"] = threaded.cpuSeconds / single.cpuSeconds;
}

// Keys: formula * 2 + shape; the baseline of a key runs before the others.
void Keys(benchmark::internal::Benchmark* b) {
  for (int key = 0; key < 8; ++key) b->Arg(key);
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(HandHoisted)->Apply(Keys);
BENCHMARK(HandSameValues)->Apply(Keys);
BENCHMARK(ArrayRun)->Apply(Keys);
BENCHMARK(PointRuns)->Apply(Keys);
BENCHMARK(Naive)->Apply(Keys);
BENCHMARK(BulkLibrary)->Apply(Keys);
BENCHMARK(RowThreads)->ArgsProduct({{1, 2, 4, 8}, {512, 2048}})->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
