#include "evaluation/complex/ComplexFunctions.h"

#include <benchmark/benchmark.h>

#include <complex>
#include <vector>

namespace {

const std::vector<Complex>& Points() {
  static const std::vector<Complex> points = [] {
    std::vector<Complex> all;
    for (int i = -16; i < 16; ++i) {
      for (int j = -16; j < 16; ++j) all.push_back({i * 0.31 + 0.05, j * 0.27 + 0.03});
    }
    return all;
  }();
  return points;
}

template <Complex (*Function)(const Complex&)>
void BM_Ours(benchmark::State& state) {
  for (auto _ : state) {
    for (const Complex& z : Points()) benchmark::DoNotOptimize(Function(z));
  }
  state.SetItemsProcessed(state.iterations() * Points().size());
}

template <std::complex<double> (*Function)(const std::complex<double>&)>
void BM_Std(benchmark::State& state) {
  for (auto _ : state) {
    for (const Complex& z : Points()) benchmark::DoNotOptimize(Function({z.re, z.im}));
  }
  state.SetItemsProcessed(state.iterations() * Points().size());
}

void BM_OursPow(benchmark::State& state) {
  const Complex w = {1.5, -0.5};
  for (auto _ : state) {
    for (const Complex& z : Points()) benchmark::DoNotOptimize(Pow(z, w));
  }
  state.SetItemsProcessed(state.iterations() * Points().size());
}

void BM_StdPow(benchmark::State& state) {
  const std::complex<double> w = {1.5, -0.5};
  for (auto _ : state) {
    for (const Complex& z : Points()) benchmark::DoNotOptimize(std::pow(std::complex<double>{z.re, z.im}, w));
  }
  state.SetItemsProcessed(state.iterations() * Points().size());
}

}  // namespace

BENCHMARK(BM_Ours<Sin>)->Name("Ours/Sin");
BENCHMARK(BM_Std<std::sin<double>>)->Name("Std/Sin");
BENCHMARK(BM_Ours<Tan>)->Name("Ours/Tan");
BENCHMARK(BM_Std<std::tan<double>>)->Name("Std/Tan");
BENCHMARK(BM_Ours<Log>)->Name("Ours/Log");
BENCHMARK(BM_Std<std::log<double>>)->Name("Std/Log");
BENCHMARK(BM_Ours<Asin>)->Name("Ours/Asin");
BENCHMARK(BM_Std<std::asin<double>>)->Name("Std/Asin");
BENCHMARK(BM_Ours<Sqrt>)->Name("Ours/Sqrt");
BENCHMARK(BM_Std<std::sqrt<double>>)->Name("Std/Sqrt");
BENCHMARK(BM_OursPow)->Name("Ours/Pow");
BENCHMARK(BM_StdPow)->Name("Std/Pow");
