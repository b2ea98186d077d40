// Compiled expressions against their limits, each figure with its
// baseline measured in the same run:
// - point evaluation in double: nanoseconds per evaluation, as a ratio to
//   hand-written C++ with the same library calls (vs_hand), to a general
//   expression library (vs_muparser) and, where our algorithm differs from
//   the hand code's, to that algorithm written out by hand
//   (vs_same_algorithm);
// - interval evaluation: boxes per second, as a ratio to the same Interval
//   calls chained by hand (vs_hand);
// - evaluation of a grid on 1, 2, 4 and 8 threads (speedup over one thread
//   of the same run).
// ZL_BENCH_ITERATIONS=n runs every benchmark exactly n iterations, so that
// an instruction counter gives a stable figure on a noisy machine.

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <atomic>
#include <barrier>
#include <bit>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "document/DocumentFunctionList.h"
#include "document/DocumentHooks.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/AnExpression.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/interval/Interval.h"
#include "evaluation/interval/IntervalElementary.h"
#include "evaluation/interval/IntervalTrig.h"
#include "evaluation/special/SpecialFunctions.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeWalking.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsOf(const auto& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Point {
  double x, y;
};

const std::vector<Point>& Points() {
  static const std::vector<Point> points = [] {
    std::vector<Point> result;
    for (int i = 0; i < 1024; ++i) result.push_back({-2 + 4.0 * (i % 32) / 31, 0.1 + 1.9 * (i / 32) / 31});
    return result;
  }();
  return points;
}

double SumOfSines(double x) {
  double s = 0;
  for (int k = 1; k <= 20; ++k) s += std::sin(k * x) / k;
  return s;
}

std::string SumOfSinesText() {
  std::string text;
  for (int k = 1; k <= 20; ++k) text += (k > 1 ? "+" : "") + ("sin(" + std::to_string(k) + "*x)/" + std::to_string(k));
  return text;
}

double JTwo(double x) { return jv(2, x); }

// The complex case as our evaluator computes it, written out by hand: the
// power in polar form, then the modulus by hypot. The floor for a run that
// keeps every bit of its value.
double PolarCubeLessOneModulus(double x, double y) {
  const double logModulus = std::log(std::hypot(x, y));
  const double angle = std::atan2(y, x);
  const double a = angle * 3 + logModulus * 0;
  const double m = std::exp(logModulus * 3 - angle * 0);
  return std::hypot(m * std::cos(a) - 1, m * std::sin(a));
}

struct PointCase {
  const char* name;
  std::string ours;
  std::string muparser;
  double (*hand)(double x, double y);
  double (*sameAlgorithm)(double x, double y) = nullptr;
};

std::vector<PointCase> PointCases() {
  return {
      {"polynomial", "3 * x ^ 3 - 2 * x ^ 2 * y + x * y - 7", "3*x^3-2*x^2*y+x*y-7",
       [](double x, double y) { return 3 * x * x * x - 2 * x * x * y + x * y - 7; }},
      {"trig_product", "sin(x) * cos(y) * sin(x * y)", "sin(x)*cos(y)*sin(x*y)",
       [](double x, double y) { return std::sin(x) * std::cos(y) * std::sin(x * y); }},
      {"gaussian", "exp(-(x ^ 2 + y ^ 2) / 2) / (2 * pi)", "exp(-(x^2+y^2)/2)/(2*_pi)",
       [](double x, double y) { return std::exp(-(x * x + y * y) / 2) / (2 * M_PI); }},
      {"sum_20_terms", "sum(sin(k * x) / k, k = 1, 20)", SumOfSinesText(),
       [](double x, double) { return SumOfSines(x); }},
      {"bessel", "besselj(x * y, 2)", "J2(x*y)", [](double x, double y) { return jv(2, x * y); }},
      {"piecewise", "branch(if(x * x, x < 0), if(sqrt(x), x < 1), 1 + ln(x))", "x<0 ? x*x : (x<1 ? sqrt(x) : 1+ln(x))",
       [](double x, double) { return x < 0 ? x * x : (x < 1 ? std::sqrt(x) : 1 + std::log(x)); }},
      {"document_function", "'f'(x) + 'f'(y)", "x^2+sin(x)+y^2+sin(y)",
       [](double x, double y) { return x * x + std::sin(x) + y * y + std::sin(y); }},
      {"complex", "abs((x + i * y) ^ 3 - 1)", "sqrt((x^3-3*x*y^2-1)^2+(3*x^2*y-y^3)^2)",
       [](double x, double y) { return std::abs(std::pow(std::complex<double>(x, y), 3) - 1.0); },
       PolarCubeLessOneModulus},
      {"rational", "(x ^ 2 + 1) / (y ^ 2 + x * y + 3)", "(x^2+1)/(y^2+x*y+3)",
       [](double x, double y) { return (x * x + 1) / (y * y + x * y + 3); }},
      {"exp_log", "ln(1 + exp(x)) - sqrt(1 + y ^ 2)", "ln(1+exp(x))-sqrt(1+y^2)",
       [](double x, double y) { return std::log(1 + std::exp(x)) - std::sqrt(1 + y * y); }},
      // Whole powers other than 2, worked out by multiplying.
      {"cube", "x ^ 3 + y", "x^3+y", [](double x, double y) { return x * x * x + y; }},
      {"fourth_power", "x ^ 4 - y ^ 4", "x^4-y^4", [](double x, double y) { return x * x * x * x - y * y * y * y; }},
      // Nothing but a cached constant: what a run costs besides its work.
      {"constant", "2 * pi + sqrt(2)", "2*_pi+sqrt(2)", [](double, double) { return 2 * M_PI + std::sqrt(2.0); }},
  };
}

// A document defining f(a) = a^2 + sin(a), the parameter as the
// placeholder the function list expects.
DocumentRecord* FunctionDocument() {
  static std::unique_ptr<DocumentRecord> document = [] {
    InstallDocumentHooks();
    constexpr char text[] = "Zentrolabworksheet 4;\n";
    auto d = ReadDocumentText(text, int32_t(sizeof text - 1));
    ExpressionRecord* definition = ParseExprFromString("'f'(a) = a ^ 2 + sin(a)");
    for (ExpressionRecord* n = definition; n != nullptr; n = NextTopDown(n)) {
      if (n->opcode == kOpAtom && n->payload.id == 'a') {
        n->opcode = kOpDummy;
        n->payload.id = 1000;
      }
    }
    AddDocumentFunction(d.get(), definition);
    CompileDocumentFunctionList(d.get());
    return d;
  }();
  return document.get();
}

std::unique_ptr<AnExpression> Compiled(const std::string& text) {
  auto e = std::make_unique<AnExpression>(ParseExprFromString(text.c_str()), FunctionDocument());
  AnExpression::Compile(e.get());
  return e;
}

double TimeHand(double (*hand)(double, double), int repeats) {
  double sink = 0;
  const double seconds = SecondsOf([&] {
    for (int r = 0; r < repeats; ++r) {
      for (const Point& p : Points()) sink += hand(p.x, p.y);
    }
  });
  benchmark::DoNotOptimize(sink);
  return seconds;
}

// The library's parser for the case, reading its variables from x and y.
void SetUpMuParser(mu::Parser& parser, const PointCase& c, double& x, double& y) {
  parser.DefineVar("x", &x);
  parser.DefineVar("y", &y);
  parser.DefineFun("J2", JTwo);
  parser.SetExpr(c.muparser);
}

double TimeMuParser(const PointCase& c, int repeats) {
  mu::Parser parser;
  double x = 0, y = 0;
  SetUpMuParser(parser, c, x, y);
  double sink = 0;
  const double seconds = SecondsOf([&] {
    for (int r = 0; r < repeats; ++r) {
      for (const Point& p : Points()) {
        x = p.x;
        y = p.y;
        sink += parser.Eval();
      }
    }
  });
  benchmark::DoNotOptimize(sink);
  return seconds;
}

// Our value, the hand value and the library's must agree before any of
// them is timed.
void CheckAgreement(const PointCase& c, AnExpression& e, benchmark::State& state) {
  mu::Parser parser;
  double x = 0.7, y = 1.3;
  SetUpMuParser(parser, c, x, y);
  const double ours = e.Evaluate(x, y), hand = c.hand(x, y), library = parser.Eval();
  const double tolerance = 1e-9 * std::max(1.0, std::abs(hand));
  if (!(std::abs(ours - hand) <= tolerance && std::abs(library - hand) <= tolerance)) {
    state.SkipWithError(
        ("values disagree: " + std::to_string(ours) + " " + std::to_string(hand) + " " + std::to_string(library))
            .c_str());
  }
  // Our algorithm by hand gives our value to the bit, at every point timed.
  if (c.sameAlgorithm == nullptr) return;
  for (const Point& p : Points()) {
    if (std::bit_cast<uint64_t>(e.Evaluate(p.x, p.y)) != std::bit_cast<uint64_t>(c.sameAlgorithm(p.x, p.y))) {
      state.SkipWithError("our algorithm by hand gives other bits");
      return;
    }
  }
}

void PointEvaluation(benchmark::State& state, const PointCase& c) {
  auto e = Compiled(c.ours);
  CheckAgreement(c, *e, state);
  const auto& points = Points();
  int64_t evaluations = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    double sink = 0;
    for (const Point& p : points) sink += e->Evaluate(p.x, p.y);
    benchmark::DoNotOptimize(sink);
    evaluations += static_cast<int64_t>(points.size());
  }
  const double ours = std::chrono::duration<double>(Clock::now() - start).count();
  const int repeats = static_cast<int>(std::max<int64_t>(1, evaluations / static_cast<int64_t>(points.size())));
  state.counters["ns_per_eval"] = 1e9 * ours / static_cast<double>(std::max<int64_t>(evaluations, 1));
  state.counters["vs_hand"] = ours / TimeHand(c.hand, repeats);
  state.counters["vs_muparser"] = ours / TimeMuParser(c, repeats);
  if (c.sameAlgorithm != nullptr) state.counters["vs_same_algorithm"] = ours / TimeHand(c.sameAlgorithm, repeats);
  state.SetItemsProcessed(evaluations);
}

struct Box {
  double x0, x1, y0, y1;
};

const std::vector<Box>& Boxes() {
  static const std::vector<Box> boxes = [] {
    std::vector<Box> result;
    const int n = 128;
    const double step = 8.0 / n;
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j)
        result.push_back({-4 + i * step, -4 + (i + 1) * step, -4 + j * step, -4 + (j + 1) * step});
    }
    return result;
  }();
  return boxes;
}

struct BoxCase {
  const char* name;
  const char* ours;
  Interval (*hand)(const Interval& x, const Interval& y);
};

const BoxCase kBoxCases[] = {
    {"disk", "x ^ 2 + y ^ 2 - 4",
     [](const Interval& x, const Interval& y) {
       return Sqr(x) + Sqr(y) - Interval{4, 4};
     }},
    {"waves", "sin(x) * cos(y)", [](const Interval& x, const Interval& y) { return sincos(x, 1) * sincos(y, 0); }},
    {"bump", "exp(-x ^ 2) / (1 + x ^ 2) + ln(1 + y ^ 2)",
     [](const Interval& x, const Interval& y) {
       const Interval one{1, 1};
       return Exp(-Sqr(x)) / (one + Sqr(x)) + Log(one + Sqr(y));
     }},
};

void IntervalEvaluation(benchmark::State& state, const BoxCase& c) {
  auto e = Compiled(c.ours);
  const auto& boxes = Boxes();
  int64_t evaluated = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    double sink = 0;
    for (const Box& b : boxes) {
      double lo, hi;
      e->EvaluateIntervalExtension(b.x0, b.x1, b.y0, b.y1, &lo, &hi);
      sink += lo + hi;
    }
    benchmark::DoNotOptimize(sink);
    evaluated += static_cast<int64_t>(boxes.size());
  }
  const double ours = std::chrono::duration<double>(Clock::now() - start).count();
  const int64_t repeats = std::max<int64_t>(1, evaluated / static_cast<int64_t>(boxes.size()));
  double sink = 0;
  const double hand = SecondsOf([&] {
    for (int64_t r = 0; r < repeats; ++r) {
      for (const Box& b : boxes) {
        const Interval v = c.hand({b.x0, b.x1}, {b.y0, b.y1});
        sink += v.lower + v.upper;
      }
    }
  });
  benchmark::DoNotOptimize(sink);
  state.counters["boxes_per_s"] = benchmark::Counter(static_cast<double>(evaluated) / ours);
  state.counters["vs_hand"] = ours / hand;
  state.SetItemsProcessed(evaluated);
}

constexpr int kGridX = 512;
constexpr int kGridY = 512;

// Threads made once and woken for each run, as the application's compute
// threads are: making threads inside the timed run would measure the
// system's thread start, not the grid. Thread t of n takes rows t, t + n, ...
class GridCrew {
 public:
  using Rows = std::function<void(int t, int threads, double* values)>;
  GridCrew(Rows rows, int threads)
      : fRows(std::move(rows)),
        fThreads(threads),
        fStart(threads + 1),
        fDone(threads + 1),
        fValues(size_t(kGridX) * kGridY) {
    for (int t = 0; t < threads; ++t) fWorkers.emplace_back([this, t] { Work(t); });
  }
  ~GridCrew() {
    fQuit = true;
    fStart.arrive_and_wait();
    for (std::thread& w : fWorkers) w.join();
  }
  double Seconds() {
    return SecondsOf([this] {
      fStart.arrive_and_wait();
      fDone.arrive_and_wait();
    });
  }

 private:
  void Work(int t) {
    for (;;) {
      fStart.arrive_and_wait();
      if (fQuit) return;
      fRows(t, fThreads, fValues.data());
      fDone.arrive_and_wait();
    }
  }
  Rows fRows;
  const int fThreads;
  std::barrier<> fStart, fDone;
  std::atomic<bool> fQuit{false};
  std::vector<double> fValues;
  std::vector<std::thread> fWorkers;
};

// Each thread sets up its own grid, as each graph job does.
GridCrew::Rows GridRows(AnExpression& e, MGridData* data) {
  return [&e, data](int t, int threads, double* values) {
    MGridVariables grid;
    AnExpression::SetupGrid(-3, -3, 6.0 / kGridX, 6.0 / kGridY, kGridX, kGridY, data, &grid);
    for (int j = t; j < kGridY; j += threads) e.EvaluateArrayOnGrid(j, &grid, values + size_t(j) * kGridX);
  };
}

// The same formula written out point by point: how far this machine lets
// plain code scale.
void HandRows(int t, int threads, double* values) {
  for (int j = t; j < kGridY; j += threads) {
    const double y = -3 + 6.0 / kGridY * j;
    for (int i = 0; i < kGridX; ++i) {
      const double x = -3 + 6.0 / kGridX * i;
      double sum = 0;
      for (int k = 1; k <= 8; ++k) sum += std::cos(k * x) / k;
      values[size_t(j) * kGridX + i] = std::sin(x * y) * std::exp(-(x * x + y * y) / 4) + sum;
    }
  }
}

double SpeedUp(GridCrew& crew, GridCrew& alone, int64_t runs) {
  double many = 0, one = 0;
  for (int64_t r = 0; r < runs; ++r) {
    many += crew.Seconds();
    one += alone.Seconds();
  }
  return one / many;
}

void ThreadScaling(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  auto e = Compiled("sin(x * y) * exp(-(x ^ 2 + y ^ 2) / 4) + sum(cos(k * x) / k, k = 1, 8)");
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
  GridCrew crew(GridRows(*e, data.get()), threads), alone(GridRows(*e, data.get()), 1);
  GridCrew handCrew(HandRows, threads), handAlone(HandRows, 1);
  double seconds = 0;
  int64_t runs = 0;
  for (auto _ : state) {
    seconds += crew.Seconds();
    ++runs;
  }
  double single = 0;
  for (int64_t r = 0; r < runs; ++r) single += alone.Seconds();
  state.counters["speedup"] = single / seconds;
  state.counters["hand_speedup"] = SpeedUp(handCrew, handAlone, runs);
  state.SetItemsProcessed(runs * kGridX * kGridY);
}

void Limit(benchmark::internal::Benchmark* b) {
  if (const char* n = std::getenv("ZL_BENCH_ITERATIONS")) b->Iterations(std::max(1, std::atoi(n)));
}

const bool kRegistered = [] {
  for (const PointCase& c : PointCases()) {
    Limit(benchmark::RegisterBenchmark((std::string("Point/") + c.name).c_str(),
                                       [c](benchmark::State& s) { PointEvaluation(s, c); }));
  }
  for (const BoxCase& c : kBoxCases) {
    Limit(benchmark::RegisterBenchmark((std::string("Interval/") + c.name).c_str(),
                                       [&c](benchmark::State& s) { IntervalEvaluation(s, c); }));
  }
  auto* scaling = benchmark::RegisterBenchmark("GridThreads", ThreadScaling)->Arg(1)->Arg(2)->Arg(4)->Arg(8);
  scaling->UseRealTime()->Unit(benchmark::kMillisecond);
  Limit(scaling);
  return true;
}();

}  // namespace
