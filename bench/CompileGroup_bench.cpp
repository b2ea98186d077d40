// Compiling the formulas of a document together, as an edit makes the
// document do: a dozen formulas copied, rewritten and compiled in one
// sharing scope. Baselines in the same run: parsing the same dozen, and
// another expression library compiling the same dozen.

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <memory>
#include <string>
#include <vector>

#include "evaluation/compiler/ExpressionCompiler.h"
#include "evaluation/StackMachine.h"
#include "evaluation/compiler/StackMachineRewriting.h"
#include "evaluation/compiler/SubexpressionSharing.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"

namespace {

struct Formula {
  const char* ours;
  const char* library;  // the same formula in the other library's syntax
};

const std::vector<Formula>& Dozen() {
  static const std::vector<Formula> formulas = {
      {"sin(x) * cos(y) + x ^ 2", "sin(x)*cos(y)+x^2"},
      {"sqrt(x ^ 2 + y ^ 2) - 1", "sqrt(x^2+y^2)-1"},
      {"exp(-(x ^ 2 + y ^ 2) / 2)", "exp(-(x^2+y^2)/2)"},
      {"x ^ 3 - 3 * x * y ^ 2", "x^3-3*x*y^2"},
      {"a * sin(x) * cos(y) + b", "a*sin(x)*cos(y)+b"},
      {"abs(sin(x * y)) + abs(cos(x - y))", "abs(sin(x*y))+abs(cos(x-y))"},
      {"(x ^ 2 + y ^ 2) * exp(-(x ^ 2 + y ^ 2))", "(x^2+y^2)*exp(-(x^2+y^2))"},
      {"ln(1 + x ^ 2) - ln(1 + y ^ 2)", "ln(1+x^2)-ln(1+y^2)"},
      {"sin(x) * cos(y) - sqrt(x ^ 2 + y ^ 2)", "sin(x)*cos(y)-sqrt(x^2+y^2)"},
      {"max(x, y) - min(x, y) + a", "max(x,y)-min(x,y)+a"},
      {"tan(x / 3) + atan(y) * b", "tan(x/3)+atan(y)*b"},
      {"(x - a) ^ 2 + (y - b) ^ 2 - 4", "(x-a)^2+(y-b)^2-4"},
  };
  return formulas;
}

std::vector<ExpressionRecord*> ParsedDozen() {
  std::vector<ExpressionRecord*> trees;
  for (const Formula& f : Dozen()) trees.push_back(ParseExprFromString(f.ours));
  return trees;
}

void BM_CompileGroupOfADozen(benchmark::State& state) {
  const std::vector<ExpressionRecord*> sources = ParsedDozen();
  for (auto _ : state) {
    std::vector<ExpressionRecord*> trees;
    std::vector<std::unique_ptr<AStackMachine>> machines;
    BeginCSE();
    for (ExpressionRecord* source : sources) {
      ExpressionRecord* tree = Copy(source);
      MungeExprForStackMachine(tree, nullptr);
      machines.push_back(std::make_unique<AStackMachine>());
      CompileExpression(machines.back().get(), tree, nullptr, false, false, nullptr);
      trees.push_back(tree);
    }
    benchmark::DoNotOptimize(EndCSE());
    for (ExpressionRecord* tree : trees) DisposExpr(tree);
  }
  for (ExpressionRecord* source : sources) DisposExpr(source);
  state.SetItemsProcessed(state.iterations());
}

void BM_ParseDozenBaseline(benchmark::State& state) {
  for (auto _ : state) {
    for (ExpressionRecord* tree : ParsedDozen()) DisposExpr(tree);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_OtherLibraryCompilesDozenBaseline(benchmark::State& state) {
  double x = 0.5, y = 0.25, a = 1, b = 2;
  for (auto _ : state) {
    for (const Formula& f : Dozen()) {
      mu::Parser parser;
      parser.DefineVar("x", &x);
      parser.DefineVar("y", &y);
      parser.DefineVar("a", &a);
      parser.DefineVar("b", &b);
      parser.SetExpr(f.library);
      benchmark::DoNotOptimize(parser.Eval());  // the first evaluation compiles
    }
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_CompileGroupOfADozen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseDozenBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OtherLibraryCompilesDozenBaseline)->Unit(benchmark::kMicrosecond);
