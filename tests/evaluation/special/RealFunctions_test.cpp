#include "evaluation/special/RealFunctions.h"

#include "tests/evaluation/ReferenceTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

const auto& ReferenceTable() {
  static const auto table = ReadReferenceTable("real_functions_reference.txt");
  return table;
}

}  // namespace

TEST(RealFunctions, FactorialOfWholeNumbersIsTheNearestDouble) {
  int checked = 0;
  for (const auto& row : ReferenceTable().at("fact")) {
    if (row[0] != std::trunc(row[0]) || row[0] > 170) continue;
    EXPECT_EQ(Fact(row[0]), row[1]) << row[0] << "!";
    ++checked;
  }
  EXPECT_EQ(checked, 171);
}

TEST(RealFunctions, FactorialOfRealsMatchesGamma) {
  for (const auto& row : ReferenceTable().at("fact")) {
    if (row[0] == std::trunc(row[0])) continue;
    if (std::isinf(row[1])) {
      EXPECT_EQ(Fact(row[0]), row[1]) << row[0];
    } else {
      EXPECT_LE(RelativeError(Fact(row[0]), row[1]), 1e-13) << row[0];
    }
  }
}

TEST(RealFunctions, FactorialStaysFiniteToItsLimitAndHasPoles) {
  EXPECT_TRUE(std::isfinite(Fact(170.62)));
  EXPECT_TRUE(std::isfinite(Fact(150.5)));  // the old power form overflowed from 142
  EXPECT_EQ(Fact(170.63), INFINITY);
  EXPECT_EQ(Fact(800.5), INFINITY);  // and gave NaN past 739
  EXPECT_EQ(Fact(1e300), INFINITY);
  EXPECT_TRUE(std::isnan(Fact(-1)));
  EXPECT_TRUE(std::isnan(Fact(-3e9)));
  EXPECT_TRUE(std::isnan(Fact(NAN)));
  EXPECT_EQ(Fact(-1000.5), 0.0);
}

TEST(RealFunctions, ChooseIsExactForSmallRowsAndAccurateBeyond) {
  for (const auto& row : ReferenceTable().at("choose")) {
    if (row[0] <= 60) {
      EXPECT_EQ(Choose(row[0], row[1]), row[2]) << row[0] << " " << row[1];
    } else if (std::isinf(row[2])) {
      EXPECT_EQ(Choose(row[0], row[1]), row[2]) << row[0] << " " << row[1];
    } else {
      EXPECT_LE(RelativeError(Choose(row[0], row[1]), row[2]), 1e-12) << row[0] << " " << row[1];
    }
  }
}

TEST(RealFunctions, ChooseOfFormerFailures) {
  EXPECT_EQ(Choose(2000, 1), 2000.0);  // the Stirling form gave 2168.9
  EXPECT_EQ(Choose(1000, 0), 1.0);     // and infinity here
  EXPECT_EQ(Choose(2, 5), 0.0);
  EXPECT_EQ(Choose(2.5e9, 1), 2.5e9);  // beyond 32-bit integers
  EXPECT_NEAR(Choose(2.5, 1), Fact(2.5) / Fact(1.5), 1e-15);
  EXPECT_TRUE(std::isnan(Choose(NAN, 1)));
}

// The reciprocals themselves are checked through their opcodes.
TEST(RealFunctions, InverseReciprocalsUndoTheirReciprocals) {
  EXPECT_DOUBLE_EQ(Csc(Acsc(3.0)), 3.0);
  EXPECT_DOUBLE_EQ(Sec(Asec(3.0)), 3.0);
  EXPECT_DOUBLE_EQ(Csch(Acsch(3.0)), 3.0);
  EXPECT_DOUBLE_EQ(Sech(Asech(0.25)), 0.25);
  EXPECT_DOUBLE_EQ(Coth(Acoth(3.0)), 3.0);
  EXPECT_EQ(Csc(0.0), INFINITY);
  EXPECT_TRUE(std::isnan(Asec(0.5)));
}

TEST(RealFunctions, ArcCotangentIsContinuousThroughZero) {
  EXPECT_DOUBLE_EQ(Acot(-1), 3 * std::numbers::pi / 4);
  EXPECT_DOUBLE_EQ(Acot(1), std::numbers::pi / 4);
  EXPECT_EQ(Acot(0), std::numbers::pi / 2);
  EXPECT_EQ(Acot(-0.0), std::numbers::pi / 2);
  EXPECT_NEAR(Acot(-1e-12), std::numbers::pi / 2, 1e-11);
  EXPECT_NEAR(Acot(1e-12), std::numbers::pi / 2, 1e-11);
  EXPECT_TRUE(std::isnan(Acot(NAN)));
}

TEST(RealFunctions, SignParityAndModuloByZero) {
  EXPECT_EQ(Sgn(-3), -1);
  EXPECT_EQ(Sgn(1e-300), 1);
  EXPECT_TRUE(std::signbit(Sgn(-0.0)));
  EXPECT_TRUE(std::isnan(Sgn(NAN)));
  EXPECT_TRUE(IsInteger(INFINITY));
  EXPECT_FALSE(IsInteger(NAN));
  EXPECT_FALSE(IsInteger(2.5));
  EXPECT_TRUE(IsEven(-4));
  EXPECT_FALSE(IsEven(3));
  EXPECT_TRUE(std::isnan(Mod(1, 0)));
  EXPECT_TRUE(std::isnan(Mod(0, 0)));
}

// Every quotient, far beyond 2^53 too: the exact remainder, rounded once.
TEST(RealFunctions, ModuloIsTheExactRemainder) {
  static const auto table = ReadReferenceTable("accuracy_reference.txt");
  for (const auto& row : table.at("mod")) {
    EXPECT_EQ(Mod(row[0], row[1]), row[2]) << "mod(" << row[0] << ", " << row[1] << ")";
  }
}

// Over the whole exponent range within 1 ulp, perfect powers exactly; the
// fractional power 1/n and the root with an index are the same function.
TEST(RealFunctions, RootsWithAnIndexAreWithinOneUlp) {
  static const auto table = ReadReferenceTable("accuracy_reference.txt");
  for (const auto& row : table.at("root")) {
    const double x = row[0], want = row[2];
    const int n = static_cast<int>(row[1]);
    EXPECT_LE(UlpError(NthRoot(x, n), want), 1) << "root(" << x << ", " << n << ")";
    EXPECT_EQ(PowFrac(x, n, 1), NthRoot(x, n));
  }
  for (const auto& row : table.at("perfect")) {
    EXPECT_EQ(NthRoot(row[0], static_cast<int>(row[1])), row[2]) << "root(" << row[0] << ", " << row[1] << ")";
  }
  EXPECT_TRUE(std::isnan(NthRoot(-16, 4)));
  EXPECT_TRUE(std::signbit(NthRoot(-0.0, 5)));
}

TEST(RealFunctions, FractionalPowersTakeRealOddRoots) {
  EXPECT_DOUBLE_EQ(PowFrac(-8, 3, 1), -2);
  EXPECT_DOUBLE_EQ(PowFrac(-8, 3, 2), 4);
  EXPECT_DOUBLE_EQ(PowFrac(-8, 6, 2), -2);  // 2/6 reduces to 1/3
  EXPECT_DOUBLE_EQ(PowFrac(-32, 5, -3), -0.125);
  EXPECT_TRUE(std::isnan(PowFrac(-4, 2, 1)));
  EXPECT_DOUBLE_EQ(PowFrac(8, 3, 1), 2);
  EXPECT_TRUE(std::isnan(PowFrac(-8, 3e10, 1e10)));  // not 32-bit: plain pow
}
