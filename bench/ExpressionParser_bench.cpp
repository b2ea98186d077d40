// Parse time of long sums and products, from 1,000 to 100,000 terms, with a
// baseline measured in the same run: a hand-written single pass over the
// same text that reads every term into a flat list (what any linear parser
// must at least do). Per-term time is the figure: constant when parsing is
// linear. vs_baseline is the ratio of the two at each length;
// ratio_per_doubling is our time at n over our time at n/2 from the run
// just before (2 for linear growth, 4 for quadratic).

#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "expression/ExpressionParser.h"
#include "expression/TreeDisposal.h"

namespace {

using Clock = std::chrono::steady_clock;

// "x + 1 + y + 2 + ..." or with '*': every other term a number.
std::string LongText(int terms, char op) {
  std::string text;
  for (int i = 0; i < terms; ++i) {
    if (i > 0) {
      text += ' ';
      text += op;
      text += ' ';
    }
    text += i % 2 == 0 ? std::string(1, "xyz"[i % 3]) : std::to_string(i);
  }
  return text;
}

// Terms read by one pass: letters as ids, numbers through from_chars.
std::vector<double> BaselineTerms(const std::string& text) {
  std::vector<double> terms;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    if (*p >= '0' && *p <= '9') {
      double v = 0;
      p = std::from_chars(p, end, v).ptr;
      terms.push_back(v);
    } else {
      if (*p >= 'a' && *p <= 'z') terms.push_back(-*p);
      ++p;
    }
  }
  return terms;
}

double SecondsPerRun(const auto& work, int runs) {
  const auto start = Clock::now();
  for (int i = 0; i < runs; ++i) work();
  return std::chrono::duration<double>(Clock::now() - start).count() / runs;
}

std::map<std::pair<char, int>, double>& Timings() {
  static std::map<std::pair<char, int>, double> timings;
  return timings;
}

void Parse(benchmark::State& state, char op) {
  const int terms = static_cast<int>(state.range(0));
  const std::string text = LongText(terms, op);
  const auto parseOnce = [&] {
    ExpressionRecord* tree = CoreParseExpr(text.data(), static_cast<int32_t>(text.size()));
    if (tree == nullptr) state.SkipWithError("parse failed");
    DisposExpr(tree);
  };
  for (auto _ : state) parseOnce();
  const double ours = SecondsPerRun(parseOnce, 3);
  const double baseline = SecondsPerRun([&] { benchmark::DoNotOptimize(BaselineTerms(text)); }, 3);
  state.SetComplexityN(terms);
  state.SetItemsProcessed(state.iterations() * terms);
  state.counters["ns_per_term"] = ours / terms * 1e9;
  state.counters["vs_baseline"] = ours / baseline;
  auto& timings = Timings();
  timings[{op, terms}] = ours;
  const auto half = timings.find({op, terms / 2});
  if (half != timings.end()) state.counters["ratio_per_doubling"] = ours / half->second;
}

void BM_ParseSum(benchmark::State& state) { Parse(state, '+'); }
void BM_ParseProduct(benchmark::State& state) { Parse(state, '*'); }

void Lengths(benchmark::internal::Benchmark* b) {
  for (int n = 1000; n <= 64000; n *= 2) b->Arg(n);
  b->Arg(100000);
  b->Complexity(benchmark::oN);
}

}  // namespace

BENCHMARK(BM_ParseSum)->Apply(Lengths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseProduct)->Apply(Lengths)->Unit(benchmark::kMillisecond);
