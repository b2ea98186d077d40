#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/evaluation/AnExpressionTestSupport.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/grid/GridSetup.h"
#include "evaluation/special/RealPower.h"
#include "tests/evaluation/ReferenceTable.h"
#include "tests/evaluation/SameBits.h"

// Whole exponents from -8 to 8 against mpmath's powers, long double's, and
// std::pow's special values; every run of a real formula computes them alike.

namespace {

constexpr int kLowest = -8;
constexpr int kHighest = 8;

bool ProcessorHasFusedMultiply() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("fma");
}

TEST(RealPower, WithinAnUlpOfMpmathOverTheWholeRange) {
  const auto table = ReadReferenceTable("integer_power_reference.txt");
  ASSERT_GT(table.at("pow").size(), 10000u);
  for (const auto& row : table.at("pow")) {
    const double n = row[0], x = row[1], want = row[2];
    const double got = RealPower(x, n);
    EXPECT_LE(UlpError(got, want), 1) << x << "^" << n << " = " << got << ", want " << want;
    if (want == 0) {
      EXPECT_EQ(std::signbit(got), std::signbit(want)) << x << "^" << n;
    }
  }
}

// A million bases per exponent, from every binade a power of them stays
// finite and normal in and a margin past both ends; long double's powl is
// the oracle, eleven bits longer than the result.
TEST(RealPower, WithinAnUlpOfLongDoubleForAMillionBasesPerExponent) {
  std::mt19937_64 random(73);
  std::uniform_real_distribution<double> mantissa(1, 2);
  for (int n = kLowest; n <= kHighest; ++n) {
    const int reach = n == 0 ? 1000 : 1022 / std::abs(n) + 20;
    std::uniform_int_distribution<int> binade(-reach, reach);
    int worse = 0;
    double example = 0;
    for (int k = 0; k < 1000000; ++k) {
      const double x = std::ldexp(mantissa(random), binade(random)) * (k % 2 != 0 ? -1 : 1);
      const double want = static_cast<double>(powl(static_cast<long double>(x), n));
      if (UlpError(RealPower(x, n), want) > 1 && worse++ == 0) example = x;
    }
    EXPECT_EQ(worse, 0) << "exponent " << n << ", e.g. base " << example;
  }
}

TEST(RealPower, SpecialValuesAreStdPows) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double bases[] = {0.0,
                          -0.0,
                          kInf,
                          -kInf,
                          NAN,
                          -NAN,
                          1.0,
                          -1.0,
                          5e-324,
                          -5e-324,
                          2.2250738585072014e-308,
                          1.7976931348623157e308,
                          -1.7976931348623157e308,
                          1e-160,
                          -1e-160,
                          1e160,
                          -1e160};
  for (int n = kLowest; n <= kHighest; ++n) {
    for (const double x : bases) {
      const double got = RealPower(x, n), want = std::pow(x, n);
      if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << x << "^" << n;
      } else {
        EXPECT_TRUE(SameBits<double>(got, want)) << x << "^" << n << " = " << got << ", want " << want;
      }
    }
  }
  // Exponents that are not whole from -8 to 8 are std::pow's own.
  for (const double y : {8.5, -8.5, 9.0, -9.0, 0.5, 1e300, -kInf, kInf, double(NAN)}) {
    for (const double x : {2.5, -2.5, 0.0, 1.0}) {
      const double want = std::pow(x, y);
      EXPECT_TRUE(SameBits<double>(RealPower(x, y), want) || (std::isnan(want) && std::isnan(RealPower(x, y))))
          << x << "^" << y;
    }
  }
}

// The versions with and without a fused multiply-add give the same bits, so
// a document's values do not depend on the processor.
TEST(RealPower, EveryProcessorGetsTheSameBits) {
  if (!ProcessorHasFusedMultiply()) GTEST_SKIP() << "only one version runs here";
  EXPECT_EQ(gRealPower, &FusedRealPower);
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(1, 2);
  std::uniform_int_distribution<int> binade(-110, 110);
  for (int n = kLowest; n <= kHighest; ++n) {
    for (int k = 0; k < 100000; ++k) {
      const double x = std::ldexp(mantissa(random), binade(random));
      ASSERT_TRUE(SameBits<double>(SplitRealPower(x, n), FusedRealPower(x, n))) << x << "^" << n;
    }
  }
}

// The power for an exponent known beforehand is RealPower's to the bit, in
// both versions; any other exponent has none.
TEST(RealPower, PowersForAKnownExponentAreRealPowers) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> mantissa(-2, 2);
  std::uniform_int_distribution<int> binade(-1100, 1030);
  std::vector<double> bases = {0.0,
                               -0.0,
                               INFINITY,
                               -INFINITY,
                               NAN,
                               -NAN,
                               5e-324,
                               -2.2250738585072014e-308,
                               1.7976931348623157e308,
                               0x1p-100,
                               0x1p100,
                               -0x1.fffffffffffffp99,
                               1.0,
                               -1.0};
  for (int k = 0; k < 200000; ++k) bases.push_back(std::ldexp(mantissa(random), binade(random)));
  std::vector<bool> versions = {false};
  if (ProcessorHasFusedMultiply()) versions.push_back(true);
  for (int n = kLowest; n <= kHighest; ++n) {
    EXPECT_EQ(WholeRealPower(n), WholeRealPower(n, gRealPower == &FusedRealPower)) << n;
    for (const bool fused : versions) {
      const WholePowerFunction power = WholeRealPower(n, fused);
      ASSERT_NE(power, nullptr) << n;
      for (const double x : bases) {
        ASSERT_TRUE(SameBits<double>(power(x), RealPower(x, n))) << x << "^" << n << (fused ? " fused" : " split");
      }
    }
  }
  EXPECT_EQ(WholeRealPower(-0.0)(NAN), 1.0);
  for (const double y : {8.5, -8.5, 9.0, -9.0, 0.5, -1e-300, 1e300, double(INFINITY), double(-INFINITY), double(NAN)}) {
    EXPECT_EQ(WholeRealPower(y), nullptr) << y;
  }
}

// Points and grid rows of a formula with whole powers give the power's
// bits, literal exponents and an exponent read from a variable alike.
TEST(RealPower, PointAndGridRunsComputeTheSamePower) {
  const char* const formulas[] = {"x ^ 3", "x ^ 4", "x ^ (-5)", "x ^ 8", "x ^ y"};
  auto oracle = [](int f, double x, double y) {
    const double exponents[] = {3, 4, -5, 8, y};
    return RealPower(x, exponents[f]);
  };
  constexpr int kColumns = 257;
  const double x0 = -3.7, dx = 7.3 / kColumns, y0 = -8, dy = 1;
  for (int f = 0; f < 5; ++f) {
    auto e = CompiledExpression(formulas[f]);
    std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
    ASSERT_NE(data, nullptr);
    MGridVariables grid;
    AnExpression::SetupGrid(x0, y0, dx, dy, kColumns, 17, data.get(), &grid);
    std::vector<double> row(kColumns);
    for (int j = 0; j < 17; ++j) {
      e->EvaluateArrayOnGrid(j, &grid, row.data());
      const double y = GridCoordinate(y0, j, dy);
      for (int i = 0; i < kColumns; ++i) {
        const double x = GridCoordinate(x0, i, dx);
        const double want = oracle(f, x, y);
        ASSERT_TRUE(SameBits<double>(e->Evaluate(x, y), want)) << formulas[f] << " at " << x << ", " << y;
        ASSERT_TRUE(SameBits<double>(row[size_t(i)], want)) << formulas[f] << " on the grid at " << x << ", " << y;
      }
    }
  }
}

}  // namespace
