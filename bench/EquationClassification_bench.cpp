// ExprType on implicit equations of about 50, 500 and 5,000 nodes, which
// run through most of the cascade, beside a baseline measured in the same
// run: one plain pre-order walk of the same tree. vs_baseline is the ratio
// of the two; it stays flat with size when no step is quadratic.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "expression/ExpressionParser.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeWalking.h"
#include "graphpane/EquationClassification.h"

namespace {

using Clock = std::chrono::steady_clock;

// "x*y*z + sin(x + 1) + ... = 1", about nodes nodes.
std::string ImplicitEquation(int nodes) {
  std::string text = "x*y*z";
  for (int made = 4; made < nodes; made += 6) text += " + sin(" + std::string(1, "xyz"[made % 3]) + " + 1)*y";
  return text + " = 1";
}

int32_t CountNodes(ExpressionRecord* tree) {
  int32_t count = 0;
  for (ExpressionRecord* node = tree; node != nullptr; node = NextTopDownWithin(node, tree)) ++count;
  return count;
}

void BM_ExprType(benchmark::State& state) {
  const std::string text = ImplicitEquation(static_cast<int>(state.range(0)));
  ExpressionRecord* tree = ParseExprFromString(text.c_str());
  int32_t kind = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    kind = ExprType(tree, true, false, nullptr);
    benchmark::DoNotOptimize(kind);
  }
  const double ours = std::chrono::duration<double>(Clock::now() - start).count() / double(state.iterations());
  const int runs = 2000;
  int32_t nodes = 0;
  const auto walkStart = Clock::now();
  for (int i = 0; i < runs; ++i) {
    nodes = CountNodes(tree);
    benchmark::DoNotOptimize(nodes);
  }
  const double walk = std::chrono::duration<double>(Clock::now() - walkStart).count() / runs;
  state.counters["nodes"] = nodes;
  state.counters["kind"] = kind;
  state.counters["vs_baseline"] = ours / walk;
  DisposExpr(tree);
}

}  // namespace

BENCHMARK(BM_ExprType)->Arg(50)->Arg(500)->Arg(5000);
