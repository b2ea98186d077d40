// The simplifier against a computer-algebra library, each figure as a
// ratio to the library's time for the same work in the same run:
// - multiplying out (x+y+z)^n, n = 5 to 15, and five other polynomials,
//   against its expand() (vs_ginac);
// - simplifying 200 fixed random rational formulas against the library
//   building them and applying expand() (vs_ginac_expand) or normal()
//   (vs_ginac_normal);
// - differentiating 200 fixed random formulas with functions, as the
//   editor's command does (MATH_EvaluateDers), against its diff()
//   (vs_ginac_diff).

#include <benchmark/benchmark.h>
#include <ginac/ginac.h>

#include <exception>
#include <map>
#include <random>
#include <vector>

#include "bench/CpuClock.h"
#include "algebra/AlgebraSwitches.h"
#include "algebra/Differentiation.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/MathEditRecord.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeComparison.h"
#include "expression/TreeShorthands.h"

namespace {

// Processor seconds: both sides of a ratio pay for the work alone, not for
// what other programs took of the core meanwhile.
double SecondsOf(const auto& work) {
  const double start = ThreadCpuSeconds();
  work();
  return ThreadCpuSeconds() - start;
}

const GiNaC::symbol& Symbol(int32_t id) {
  static std::map<int32_t, GiNaC::symbol> symbols;
  auto found = symbols.find(id);
  if (found == symbols.end()) found = symbols.emplace(id, GiNaC::symbol(std::string(1, char(id)))).first;
  return found->second;
}

// The library's expression for one of our trees of numbers, letters,
// sums, products, negations, quotients and whole powers.
GiNaC::ex ToLibrary(const ExpressionRecord* e) {
  switch (e->opcode) {
    case kOpNumber: return GiNaC::numeric(static_cast<long>(e->payload.number->value));
    case kOpAtom: return Symbol(e->payload.id);
    case kOpMinus: return -ToLibrary(e->operands[0]);
    case kOpOver: return ToLibrary(e->operands[0]) / ToLibrary(e->operands[1]);
    case kOpPower: return GiNaC::pow(ToLibrary(e->operands[0]), ToLibrary(e->operands[1]));
    case kOpSin: return GiNaC::sin(ToLibrary(e->operands[0]));
    case kOpCos: return GiNaC::cos(ToLibrary(e->operands[0]));
    case kOpExp: return GiNaC::exp(ToLibrary(e->operands[0]));
    case kOpLn: return GiNaC::log(ToLibrary(e->operands[0]));
    case kOpPlus: {
      GiNaC::ex sum = 0;
      for (int32_t k = 0; k < e->operandCount; ++k) sum += ToLibrary(e->operands[k]);
      return sum;
    }
    default: {
      GiNaC::ex product = 1;
      for (int32_t k = 0; k < e->operandCount; ++k) product *= ToLibrary(e->operands[k]);
      return product;
    }
  }
}

// The library refuses a formula that divides by an exact zero, such as
// 1/(x-x).
bool LibraryAccepts(const ExpressionRecord* formula) {
  try {
    ToLibrary(formula).normal();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

ExpressionRecord* RandomFormula(std::mt19937& random, int depth) {
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  if (depth == 0 || pick(0, 4) == 0) return pick(0, 2) == 0 ? Number(pick(1, 5)) : Atomic("xyz"[pick(0, 2)]);
  switch (pick(0, 5)) {
    case 0: return Plus(RandomFormula(random, depth - 1), RandomFormula(random, depth - 1));
    case 1: return Minus(RandomFormula(random, depth - 1), RandomFormula(random, depth - 1));
    case 2:
    case 3: return Times(RandomFormula(random, depth - 1), RandomFormula(random, depth - 1));
    case 4: return Div(RandomFormula(random, depth - 1), RandomFormula(random, depth - 1));
    default: return Tothe(RandomFormula(random, depth - 1), Number(pick(2, 3)));
  }
}

// Sums, products, quotients and powers of sin, cos, exp and ln.
ExpressionRecord* RandomSmoothFormula(std::mt19937& random, int depth) {
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  if (depth == 0 || pick(0, 5) == 0) return pick(0, 3) == 0 ? Number(pick(1, 5)) : Atomic("xxyz"[pick(0, 3)]);
  ExpressionRecord* u = RandomSmoothFormula(random, depth - 1);
  switch (pick(0, 8)) {
    case 0: return Plus(u, RandomSmoothFormula(random, depth - 1));
    case 1:
    case 2: return Times(u, RandomSmoothFormula(random, depth - 1));
    case 3: return Div(u, RandomSmoothFormula(random, depth - 1));
    case 4: return Tothe(u, Number(pick(2, 4)));
    case 5: return Sin(u);
    case 6: return Cos(u);
    case 7: return NewUnop(kOpExp, u);
    default: return Ln(u);
  }
}

void BM_DifferentiateRandomFormulas(benchmark::State& state) {
  std::mt19937 random(22);
  std::vector<ExpressionRecord*> sources;
  while (sources.size() < 200) {
    ExpressionRecord* formula = RandomSmoothFormula(random, 5);
    if (DIM_Contains(formula, 'x') && LibraryAccepts(formula))
      sources.push_back(formula);
    else
      DisposExpr(formula);
  }
  int64_t repeats = 0;
  MERecord record{};
  gMathCurrentMEH = &record;
  const double ours = SecondsOf([&] {
    for (auto _ : state) {
      for (const ExpressionRecord* source : sources) {
        ExpressionRecord* tree = NewBinop(kOpFunction, NewUnop(kOpOpPartial, Atomic('x')), Copy(source));
        record.root = record.selected = tree;
        MATH_EvaluateDers();
        DisposExpr(tree);
      }
      ++repeats;
    }
  });
  gMathCurrentMEH = nullptr;
  const GiNaC::symbol& x = Symbol('x');
  const double library = SecondsOf([&] {
    for (int64_t k = 0; k < repeats; ++k)
      for (const ExpressionRecord* source : sources) benchmark::DoNotOptimize(ToLibrary(source).diff(x));
  });
  for (ExpressionRecord* source : sources) DisposExpr(source);
  state.counters["vs_ginac_diff"] = ours / library;
}

// Terms of a multiplied-out polynomial: one for anything but a sum.
size_t TermCount(const ExpressionRecord* e) { return e->opcode == kOpPlus ? e->operandCount : 1; }

// Seconds spent multiplying out copies of the source, one a benchmark
// iteration, with how many there were and the terms of the last.
double MultiplyOutSeconds(benchmark::State& state, const ExpressionRecord* source, int64_t* repeats, size_t* terms) {
  return SecondsOf([&] {
    for (auto _ : state) {
      ExpressionRecord* tree = Copy(source);
      ScopedAlgebraSwitch multiply(Math_Multiply_Out, 1);
      SimplifyExpr(tree);
      *terms = TermCount(tree);
      DisposExpr(tree);
      ++*repeats;
    }
  });
}

void BM_MultiplyOutPowerOfThreeTerms(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ExpressionRecord* source = Tothe(Plus(Plus(Atomic('x'), Atomic('y')), Atomic('z')), Number(n));
  int64_t repeats = 0;
  size_t terms = 0;
  const double ours = MultiplyOutSeconds(state, source, &repeats, &terms);
  DisposExpr(source);
  const GiNaC::symbol &x = Symbol('x'), &y = Symbol('y'), &z = Symbol('z');
  size_t libraryTerms = 0;
  const double library = SecondsOf([&] {
    for (int64_t k = 0; k < repeats; ++k) libraryTerms = GiNaC::pow(x + y + z, n).expand().nops();
  });
  if (terms != libraryTerms) state.SkipWithError("the two expansions differ in their number of terms");
  state.counters["terms"] = static_cast<double>(terms);
  state.counters["vs_ginac"] = ours / library;
}

const char* const kPolynomials[] = {"(x+y+z+1)^12", "(a+b)^30", "(x^2+3*x-7)^10*(y-2)^5", "(x+y)^8*(x-y)^8",
                                    "(1+x+x^2+x^3)^15"};

void BM_MultiplyOutPolynomial(benchmark::State& state) {
  ExpressionRecord* source = ParseExprFromString(kPolynomials[state.range(0)]);
  if (source == nullptr) {
    state.SkipWithError("the reader refuses the polynomial");
    return;
  }
  int64_t repeats = 0;
  size_t terms = 0;
  const double ours = MultiplyOutSeconds(state, source, &repeats, &terms);
  const GiNaC::ex polynomial = ToLibrary(source);
  DisposExpr(source);
  size_t libraryTerms = 0;
  const double library = SecondsOf([&] {
    for (int64_t k = 0; k < repeats; ++k) libraryTerms = polynomial.expand().nops();
  });
  state.SetLabel(kPolynomials[state.range(0)]);
  state.counters["terms"] = static_cast<double>(terms);
  state.counters["library_terms"] = static_cast<double>(libraryTerms);
  state.counters["vs_ginac"] = ours / library;
}

void BM_SimplifyRandomFormulas(benchmark::State& state) {
  std::mt19937 random(2026);
  std::vector<ExpressionRecord*> sources;
  while (sources.size() < 200) {
    ExpressionRecord* formula = RandomFormula(random, 4);
    if (LibraryAccepts(formula))
      sources.push_back(formula);
    else
      DisposExpr(formula);
  }
  int64_t repeats = 0;
  const double ours = SecondsOf([&] {
    for (auto _ : state) {
      for (const ExpressionRecord* source : sources) {
        ExpressionRecord* tree = Copy(source);
        SimplifyExpr(tree);
        DisposExpr(tree);
      }
      ++repeats;
    }
  });
  const auto libraryTime = [&](auto finish) {
    return SecondsOf([&] {
      for (int64_t k = 0; k < repeats; ++k)
        for (const ExpressionRecord* source : sources) benchmark::DoNotOptimize(finish(ToLibrary(source)));
    });
  };
  const double expanded = libraryTime([](const GiNaC::ex& e) { return e.expand(); });
  const double normal = libraryTime([](const GiNaC::ex& e) { return e.normal(); });
  for (ExpressionRecord* source : sources) DisposExpr(source);
  state.counters["vs_ginac_expand"] = ours / expanded;
  state.counters["vs_ginac_normal"] = ours / normal;
}

}  // namespace

BENCHMARK(BM_MultiplyOutPowerOfThreeTerms)->DenseRange(5, 15)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MultiplyOutPolynomial)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SimplifyRandomFormulas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DifferentiateRandomFormulas)->Unit(benchmark::kMillisecond);
