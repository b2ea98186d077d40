#include "CoreUtilities/MatrixOperations.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <random>
#include <utility>

namespace {

constexpr int kOrder = 8;
using Matrix = std::array<double, kOrder * kOrder>;

// A fixed, well-conditioned matrix: random entries on a dominant diagonal.
Matrix SampleMatrix() {
  std::mt19937 generator(8);
  std::uniform_real_distribution<double> entry(-1.0, 1.0);
  Matrix m;
  for (int i = 0; i < kOrder; ++i)
    for (int j = 0; j < kOrder; ++j) m[i * kOrder + j] = entry(generator) + (i == j ? 4.0 : 0.0);
  return m;
}

// Baseline: in-place Gauss-Jordan with partial pivoting, row after row.
// The inverse of the row-swapped matrix is turned back into the inverse of
// the given one by swapping columns in reverse order.
bool GaussJordanInvert(Matrix& a) {
  std::array<int, kOrder> pivotRows;
  for (int k = 0; k < kOrder; ++k) {
    int pivotRow = k;
    for (int i = k + 1; i < kOrder; ++i)
      if (std::fabs(a[i * kOrder + k]) > std::fabs(a[pivotRow * kOrder + k])) pivotRow = i;
    if (a[pivotRow * kOrder + k] == 0.0) return false;
    pivotRows[k] = pivotRow;
    for (int j = 0; j < kOrder; ++j) std::swap(a[k * kOrder + j], a[pivotRow * kOrder + j]);
    const double pivot = a[k * kOrder + k];
    a[k * kOrder + k] = 1.0;
    for (int j = 0; j < kOrder; ++j) a[k * kOrder + j] /= pivot;
    for (int i = 0; i < kOrder; ++i) {
      if (i == k) continue;
      const double factor = a[i * kOrder + k];
      a[i * kOrder + k] = 0.0;
      for (int j = 0; j < kOrder; ++j) a[i * kOrder + j] -= factor * a[k * kOrder + j];
    }
  }
  for (int k = kOrder - 1; k >= 0; --k)
    for (int i = 0; i < kOrder; ++i) std::swap(a[i * kOrder + k], a[i * kOrder + pivotRows[k]]);
  return true;
}

// Both inverses must agree before either is timed.
bool InversesAgree() {
  Matrix ours = SampleMatrix(), baseline = SampleMatrix();
  if (!OurInvertMatrix(kOrder, ours.data()) || !GaussJordanInvert(baseline)) return false;
  for (int i = 0; i < kOrder * kOrder; ++i)
    if (std::fabs(ours[i] - baseline[i]) > 1e-12) return false;
  return true;
}

void BM_OurInvertMatrix8x8(benchmark::State& state) {
  if (!InversesAgree()) state.SkipWithError("the two inverses differ");
  const Matrix input = SampleMatrix();
  for (auto _ : state) {
    Matrix m = input;
    benchmark::DoNotOptimize(OurInvertMatrix(kOrder, m.data()));
    benchmark::DoNotOptimize(m);
  }
}

void BM_GaussJordanBaseline8x8(benchmark::State& state) {
  const Matrix input = SampleMatrix();
  for (auto _ : state) {
    Matrix m = input;
    benchmark::DoNotOptimize(GaussJordanInvert(m));
    benchmark::DoNotOptimize(m);
  }
}

BENCHMARK(BM_OurInvertMatrix8x8);
BENCHMARK(BM_GaussJordanBaseline8x8);

}  // namespace
