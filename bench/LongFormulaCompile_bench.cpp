// Compiling one long formula into its point and grid programs, as graphing
// it does: sums of 1,000, 10,000 and 100,000 terms sin(k*x), and sin(...)
// nested 50 and 500 deep; and its derivative, as graphing a curve asks for,
// of the sums of 1,000 and 10,000 terms and of the nests, with tan, sec and
// sin(x^2*...) nests beside the sin nest. Figure: processor
// time per node of the tree (for a derivative, per node of the result: the
// derivative of an n-deep nest holds about n^2/2 nodes); ratio
// (per_node_vs_smallest): that time against the time per node of the
// series' smallest formula, worked out in the same run. The work grows with
// the formula when the ratio stays near 1. The series run one after another
// in one process, so the later ones also show whether the node pool, after
// the large trees before them were freed, still hands out blocks that lie
// together (per-node time close to that of a fresh process, filtered to one
// series).

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <string>

#include "bench/CpuClock.h"
#include "algebra/AlgebraStartup.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeWalking.h"

namespace {

std::string SumOfTerms(int64_t terms) {
  std::string text;
  for (int64_t k = 1; k <= terms; ++k) text += (k > 1 ? "+sin(" : "sin(") + std::to_string(k) + "*x)";
  return text;
}

std::string NestOf(const char* opening, int64_t depth) {
  std::string text;
  for (int64_t i = 0; i < depth; ++i) text += opening;
  text += "x";
  text.append(size_t(depth), ')');
  return text;
}

std::string Nest(int64_t depth) { return NestOf("sin(", depth); }
// Chain-rule factors that are powers: sec(...)^2 at every level.
std::string TanNest(int64_t depth) { return NestOf("tan(", depth); }
// Three factors at every level: sec(u)*tan(u)*u'.
std::string SecNest(int64_t depth) { return NestOf("sec(", depth); }
// A product at every level, so the product rule makes a sum there; two
// nodes deep a level, so 499 levels is the deepest the reader takes.
std::string SquareTimesNest(int64_t depth) { return NestOf("sin(x^2*", depth); }

struct Timing {
  double seconds;
  int64_t nodes;
};

// Compiling a fresh copy of the tree, both programs.
Timing Compiling(ExpressionRecord* source) {
  AnExpression expression(Copy(source), nullptr);
  const double start = ThreadCpuSeconds();
  AnExpression::Compile(&expression);
  benchmark::DoNotOptimize(AnExpression::CompileForGrid(&expression));
  return {ThreadCpuSeconds() - start, MATH_NodeCount(source)};
}

// The derivative with respect to x of a fresh copy; nodes of the result.
Timing Deriving(ExpressionRecord* source) {
  AnExpression expression(Copy(source), nullptr);
  const double start = ThreadCpuSeconds();
  std::unique_ptr<AnExpression> derivative(expression.CreateDerivativeExpr('x'));
  const double seconds = ThreadCpuSeconds() - start;
  return {seconds, derivative != nullptr ? MATH_NodeCount(derivative->Tree()) : 0};
}

void Series(benchmark::State& state, std::string (*formula)(int64_t), int64_t smallest,
            Timing (*work)(ExpressionRecord*)) {
  InstallAlgebra();
  ExpressionRecord* source = ParseExprFromString(formula(state.range(0)).c_str());
  ExpressionRecord* baseline = ParseExprFromString(formula(smallest).c_str());
  double perNode = 0, baselinePerNode = 0;
  for (auto _ : state) {
    if (source == nullptr || baseline == nullptr) {
      state.SkipWithError("the reader refuses the formula");
      break;
    }
    const Timing timing = work(source);
    const Timing base = work(baseline);
    if (timing.nodes == 0 || base.nodes == 0) {
      state.SkipWithError("no result to count");
      break;
    }
    perNode += timing.seconds / double(timing.nodes);
    baselinePerNode += base.seconds / double(base.nodes);
    state.SetIterationTime(timing.seconds);
  }
  state.counters["ns_per_node"] = perNode / double(state.iterations()) * 1e9;
  state.counters["per_node_vs_smallest"] = perNode / baselinePerNode;
  DisposExpr(source);
  DisposExpr(baseline);
}

void BM_CompileSum(benchmark::State& state) { Series(state, SumOfTerms, 1000, Compiling); }
void BM_CompileNest(benchmark::State& state) { Series(state, Nest, 50, Compiling); }
void BM_DeriveSum(benchmark::State& state) { Series(state, SumOfTerms, 1000, Deriving); }
void BM_DeriveNest(benchmark::State& state) { Series(state, Nest, 50, Deriving); }
void BM_DeriveTanNest(benchmark::State& state) { Series(state, TanNest, 50, Deriving); }
void BM_DeriveSecNest(benchmark::State& state) { Series(state, SecNest, 50, Deriving); }
void BM_DeriveSquareTimesNest(benchmark::State& state) { Series(state, SquareTimesNest, 50, Deriving); }

BENCHMARK(BM_CompileSum)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileNest)->Arg(50)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeriveSum)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeriveNest)->Arg(50)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeriveTanNest)->Arg(50)->Arg(150)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeriveSecNest)->Arg(50)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeriveSquareTimesNest)->Arg(50)->Arg(150)->Arg(450)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
