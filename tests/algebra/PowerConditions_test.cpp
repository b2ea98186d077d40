#include "AlgebraTestSupport.h"

#include <gtest/gtest.h>

// Powers, roots and logarithms of arguments that may be negative: the
// rewrites keep the value the numeric engine gives (odd roots of negatives
// real), an absolute value standing in where only it does.

namespace {

constexpr int32_t kSimplify = 0x2000;
constexpr int32_t kEvaluateCommand = 0x201B;

double SimplifiedValueAt(const std::string& text, double x, double y = 0) {
  Tree simplified = Parse(Rewritten(text));
  return simplified ? ValueAt(simplified.get(), x, y) : NAN;
}

TEST(RealPowers, RootsOfEvenPowersGiveAbsoluteValues) {
  EXPECT_EQ(Rewritten("sqrt(x^2)"), "abs(x)");
  EXPECT_EQ(Rewritten("(x^2)^(3/2)"), "abs(x)^3");
  EXPECT_EQ(Rewritten("(x^(2/3))^(3/2)"), "abs(x)");
  EXPECT_EQ(Rewritten("sqrt(4*x^2)"), "abs(x)*sqrt(4)");
  EXPECT_EQ(Rewritten("(x^2)^y"), "abs(x)^(2*y)");
  // Where the joined power keeps its sign no absolute value is needed.
  EXPECT_EQ(Rewritten("(x^4)^(1/2)"), "x^2");
  EXPECT_EQ(Rewritten("(x^2)^(1/3)"), "x^(2/3)");
  EXPECT_EQ(Rewritten("(x^3)^(1/3)"), "x");
  EXPECT_EQ(Rewritten("(x^2)^3"), "x^6");
  EXPECT_EQ(SimplifiedValueAt("(x^(2/3))^(3/2)", -8), 8);
}

TEST(RealPowers, ProductsAndNegationsSplitOnlyWhereTheValueHolds) {
  EXPECT_EQ(Rewritten("sqrt(x*y)"), "sqrt(x*y)");
  EXPECT_EQ(Rewritten("(a*x)^y"), "(a*x)^y");
  EXPECT_EQ(Rewritten("(-x)^(1/2)"), "sqrt(-x)");
  EXPECT_EQ(Rewritten("(x*y)^2"), "x^2*y^2");
  EXPECT_EQ(Rewritten("(2*x)^y"), "2^y*x^y");
  EXPECT_EQ(Rewritten("(x*y)^(1/3)"), "x^(1/3)*y^(1/3)");
  EXPECT_EQ(SimplifiedValueAt("sqrt(x*y)", -1, -4), 2);
  EXPECT_NEAR(SimplifiedValueAt("sqrt((2*x)^(-2))*x^(2/3)", -8), 0.25, 1e-15);
  EXPECT_DOUBLE_EQ(SimplifiedValueAt("(-x)^x*(-x)^3", -2), 2);
  EXPECT_DOUBLE_EQ(SimplifiedValueAt("(-x)^x*(-x)^3", 3), 729);
}

// With i in the formula powers are on the principal branch: odd roots of
// negatives are no longer real, and only identities of that branch apply.
TEST(RealPowers, FormulasWithIKeepOnlyPrincipalBranchRules) {
  EXPECT_EQ(Rewritten("(x*y)^(1/3)+i"), "(x*y)^(1/3)+i");
  EXPECT_EQ(Rewritten("(x^3)^(1/3)+i"), "(x^3)^(1/3)+i");
  EXPECT_EQ(Rewritten("(x^2)^(1/3)+i"), "abs(x)^(2/3)+i");
  EXPECT_EQ(Rewritten("(x^2)^(1/2)+i"), "abs(x)+i");
}

// An exponent the engine takes as a root and one it takes as a whole number
// add up to one it takes as neither.
TEST(RealPowers, LikeFactorsCombineWhereTheirExponentsAdd) {
  EXPECT_EQ(Rewritten("x^y*x^(1/3)"), "x^y*x^(1/3)");
  EXPECT_EQ(Rewritten("x^y*x^(1/3)+i"), "x^(y+1/3)+i");
  // An even root has no value at a negative base either way.
  EXPECT_EQ(Rewritten("x^y*sqrt(x)"), "x^(y+1/2)");
  EXPECT_EQ(Rewritten("x^(1/3)/x"), "x^(-(2/3))");
  EXPECT_EQ(Rewritten("x^a*x^b"), "x^(a+b)");
}

TEST(RealPowers, EvaluateSplitsLogarithmsOnlyWhereTheyHold) {
  EXPECT_EQ(RunCode(kEvaluateCommand, "ln(x*y)").formula, "ln(x*y)");
  EXPECT_EQ(RunCode(kEvaluateCommand, "ln(2*x)").formula, "ln(2)+ln(x)");
  EXPECT_EQ(RunCode(kEvaluateCommand, "ln(x^2)").formula, "2*ln(abs(x))");
  EXPECT_EQ(RunCode(kEvaluateCommand, "ln(x^(2/3))").formula, "2*ln(abs(x))/3");
  EXPECT_EQ(RunCode(kEvaluateCommand, "ln(x^3)").formula, "3*ln(x)");
  EXPECT_EQ(RunCode(kEvaluateCommand, "ln(x^y)").formula, "ln(x^y)");
  EXPECT_EQ(RunCode(kEvaluateCommand, "ln(e^y)").formula, "y");
}

TEST(RealPowers, DerivativeOfTheRootOfASquareIsTheSign) {
  const std::string derivative = RunCode(kSimplify, "function(optotal(x),sqrt(x^2))").formula;
  EXPECT_EQ(derivative, "sgn(x)");
  Tree tree = Parse(derivative);
  EXPECT_EQ(ValueAt(tree.get(), -3, 0), -1);
}

}  // namespace
