#include "algebra/AlgebraStartup.h"
#include "algebra/Differentiation.h"
#include "algebra/MatrixAlgebra.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/TreeShorthands.h"
#include "tests/algebra/AlgebraTestSupport.h"
#include "tests/algebra/Derivatives.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>
#include <vector>

namespace {

std::string Derived(const std::string& text) { return RunCode(0x2000, text).formula; }

// Central differences with Richardson's step: error of order h^4. NaN where
// two step sizes disagree (not smooth there).
double Richardson(AnExpression& f, double x, double y) {
  auto central = [&](double h) { return (f.Evaluate(x + h, y) - f.Evaluate(x - h, y)) / (2 * h); };
  auto extrapolated = [&](double h) { return (4 * central(h / 2) - central(h)) / 3; };
  const double fine = extrapolated(1e-3);
  const double coarse = extrapolated(2e-3);
  return std::abs(fine - coarse) <= 1e-9 * std::max(1.0, std::abs(fine)) ? fine : NAN;
}

TEST(Differentiation, RulesKeepTheirDocumentedShape) {
  EXPECT_EQ(Derived("function(optotal(x),x^3)"), "3*x^2");
  EXPECT_EQ(Derived("function(optotal(x),log(x))"), "0.4342944819032518/x");
  EXPECT_EQ(Derived("function(optotal(x),3*sin(x))"), "3*cos(x)");
  EXPECT_EQ(Derived("function(oppartial(x),y)"), "0");
  EXPECT_EQ(Derived("function(optotal(x),y)"), "function(optotal(x),y)");
  EXPECT_EQ(Derived("function(optotal(t),vector(t,t^2))"), "vector(1,2*t)");
  EXPECT_EQ(Derived("function(optotal(t),vector(x,y))"), "function(optotal(t),vector(x,y))");
  // A second derivative loses one order per command.
  const std::string once = Derived("function(optotal(x,2),x^3)");
  EXPECT_EQ(once, "function(optotal(x),3*x^2)");
  EXPECT_EQ(Derived(once), "6*x");
  // Kinds without a rule stay written (a symbolic determinant also through
  // the matrix algebra of the same command).
  for (const char* kept : {"function(f,x)", "min(x,1)", "besselj(1,x)", "Det(matrix(2,2,x,1,y,2))"}) {
    const std::string text = std::string("function(optotal(x),") + kept + ")";
    EXPECT_EQ(Derived(text), Reparsed(text)) << kept;
  }
  // A row count does not vary; a standard deviation has no linear rule.
  EXPECT_EQ(Derived("function(optotal(x),Count(x))"), "0");
  EXPECT_EQ(Derived("function(optotal(x),StdDev(x))"), Reparsed("function(optotal(x),StdDev(x))"));
}

TEST(Differentiation, WhileExpandingDefinitionsAPartialOfAnotherVariableStaysWritten) {
  Tree tree = Parse("function(oppartial(x),y)");
  {
    ScopedAlgebraSwitch expanding(gMathExpandingDefinitions, 1);
    MATH_DifferentiateExprWithoutSimplifying(tree.get());
  }
  EXPECT_EQ(Written(tree.get()), Reparsed("function(oppartial(x),y)"));
}

TEST(Differentiation, ShortOfStackTheDerivativeStaysWritten) {
  Tree tree = Parse("function(optotal(x),sin(x))");
  gMathError.store(1);
  MATH_DifferentiateExprWithoutSimplifying(tree.get());
  InstallAlgebra();
  AnExpression compiled(Copy(tree.get()), nullptr);
  std::unique_ptr<AnExpression> derivative(compiled.CreateDerivativeExpr('x'));
  gMathError.store(0);
  EXPECT_EQ(Written(tree.get()), Reparsed("function(optotal(x),sin(x))"));
  // A compiled expression's derivative is NaN instead.
  ASSERT_TRUE(derivative);
  AnExpression::Compile(derivative.get());
  EXPECT_TRUE(std::isnan(derivative->Evaluate(1.0, 0.0)));
}

// 5,000 random formulas in x, y, a over every rule kind: both forms against
// GiNaC's derivative and against central differences.
TEST(Differentiation, RandomFormulasAgreeWithGiNaCAndWithDifferences) {
  const std::vector<std::string> lines = DataLines("derivatives_reference.txt");
  ASSERT_EQ(lines.size(), 5000u);
  int32_t differenced = 0, failures = 0, lostSigns = 0;
  for (const std::string& line : lines) {
    if (failures >= 10) break;
    std::istringstream fields(line);
    std::string text;
    double x = 0, y = 0, a = 0, reference = 0;
    std::getline(fields, text, '\t');
    fields >> x >> y >> a >> reference;
    Tree simplified = SimplifiedDerivative(text);
    Tree plain = Parse(text);
    ASSERT_TRUE(simplified && plain) << text;
    Tree unsimplified = UnsimplifiedDerivative(plain.get());
    const double d1 = CompiledWithA(simplified.get(), a)->Evaluate(x, y);
    const double d2 = CompiledWithA(unsimplified.get(), a)->Evaluate(x, y);
    // Only where the formula is real and smooth: GiNaC also passes through
    // complex values and takes 0^0 as 1.
    const auto f = CompiledWithA(plain.get(), a);
    const double numeric = Richardson(*f, x, y);
    if (std::isnan(numeric)) continue;
    // The rule set is formal: sqrt(u^2) is u and (u^2)^b is u^(2b), so where
    // u < 0 the simplified formula is another function; its derivative is
    // then not this one's.
    Tree tidied(Copy(plain.get()));
    SimplifyExpr(tidied.get());
    if (!Near(CompiledWithA(tidied.get(), a)->Evaluate(x, y), f->Evaluate(x, y), 1e-9)) continue;
    ++differenced;
    // Tidying an unsimplified derivative meets the same formal rules.
    if (std::isnan(d2)) ++lostSigns;
    if (!Near(d1, reference, 1e-7) || (!std::isnan(d2) && !Near(d2, reference, 1e-7)) || !Near(d1, numeric, 1e-7)) {
      ++failures;
      ADD_FAILURE() << text << " at " << x << "," << y << "," << a << ": " << d1 << " / " << d2 << " vs GiNaC "
                    << reference << ", differences " << numeric << "\n  " << Written(simplified.get());
    }
  }
  EXPECT_GT(differenced, 3500);
  EXPECT_LT(lostSigns, differenced / 50);
}

// Nests 5 to 60 deep whose levels repeat factors, so that differentiation
// builds long products that group: the simplified derivative and the
// compiled expression's derivative against mpmath's.
TEST(Differentiation, DeepNestsAgreeWithMpmath) {
  InstallAlgebra();
  const std::vector<std::string> lines = DataLines("nest_derivatives_reference.txt");
  ASSERT_EQ(lines.size(), 60u);
  for (const std::string& line : lines) {
    std::istringstream fields(line);
    std::string text;
    double x = 0, reference = 0;
    std::getline(fields, text, '\t');
    fields >> x >> reference;
    Tree simplified = SimplifiedDerivative(text);
    Tree plain = Parse(text);
    ASSERT_TRUE(simplified && plain) << text;
    std::unique_ptr<AnExpression> compiled = CompiledDerivative(plain.get());
    ASSERT_TRUE(compiled) << text;
    AnExpression::Compile(compiled.get());
    EXPECT_TRUE(Near(CompiledWithA(simplified.get(), 0)->Evaluate(x, 0), reference, 1e-8)) << text << " at " << x;
    EXPECT_TRUE(Near(compiled->Evaluate(x, 0), reference, 1e-8)) << text << " at " << x;
  }
}

// The compiled forms the engine rewrites to: an indexed sum, a branch, a
// comparison; derived twice, the second from the first's compiled tree.
TEST(Differentiation, CompiledExpressionsDeriveTwice) {
  InstallAlgebra();
  for (const char* text : {"sum(x^k/k, k=1, 4)", "branch(if(x^3, x < 1), sin(x))", "x^2*(x < 1) + exp(x)"}) {
    Tree tree = Parse(text);
    ASSERT_TRUE(tree) << text;
    AnExpression f(Copy(tree.get()), nullptr);
    std::unique_ptr<AnExpression> d(f.CreateDerivativeExpr('x'));
    ASSERT_TRUE(d) << text;
    std::unique_ptr<AnExpression> dd(d->CreateDerivativeExpr('x'));
    ASSERT_TRUE(dd) << text;
    AnExpression::Compile(&f);
    AnExpression::Compile(d.get());
    AnExpression::Compile(dd.get());
    for (double x : {0.3, 0.7, 1.6}) {
      EXPECT_NEAR(d->Evaluate(x, 0.0), Richardson(f, x, 0.0), 1e-7) << text << " at " << x;
      EXPECT_NEAR(dd->Evaluate(x, 0.0), Richardson(*d, x, 0.0), 1e-6) << text << " at " << x;
    }
  }
}

}  // namespace

namespace {

using MatrixOfRows = std::array<std::array<double, 2>, 2>;

// A(x) B(x), or A(x) C for the constant C, worked out here.
MatrixOfRows ProductAt(double x, bool constantRight) {
  const MatrixOfRows a{{{std::sin(x), x * x}, {1.0, std::exp(x)}}};
  const MatrixOfRows b =
      constantRight ? MatrixOfRows{{{1.0, 2.0}, {3.0, 4.0}}} : MatrixOfRows{{{x, std::cos(x)}, {x * x * x, 2.0}}};
  MatrixOfRows p{};
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) p[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j];
  return p;
}

// The entries of a matrix whose elements are numbers, row by row.
std::vector<double> Entries(const ExpressionRecord* m) {
  std::vector<double> entries;
  if (!m || m->opcode != kOpMatrix) return entries;
  for (int32_t k = 0; k < m->operandCount; ++k) entries.push_back(ScalarExprEval(m->operands[k], nullptr));
  return entries;
}

// Matrices do not commute: d(AB)/dx is A'B + AB', never B A' (A'B and
// B A' differ at the points tried), against central differences of the
// product worked out here.
TEST(Differentiation, AProductOfMatricesKeepsItsFactorsInOrder) {
  InstallAlgebra();
  for (const bool constantRight : {false, true}) {
    const std::string right = constantRight ? "matrix(2,2,1,2,3,4)" : "matrix(2,2,x,cos(x),x^3,2)";
    for (const double x0 : {0.3, 1.1, -0.7}) {
      Tree derivative = Parse("function(oppartial(x),matrix(2,2,sin(x),x^2,1,exp(x))*" + right + ")");
      DifferentiateAndSimplify(derivative.get());
      PostOrder(derivative.get(), [x0](ExpressionRecord* n) {
        if (IsAtom(n, 'x')) Become(n, Number(x0));
      });
      MENU_MatrixAlgebraRecurse(derivative.get(), nullptr);
      SimplifyExpr(derivative.get());
      const std::vector<double> ours = Entries(derivative.get());
      ASSERT_EQ(ours.size(), 4u) << Written(derivative.get());
      const double h = 1e-5;
      const MatrixOfRows above = ProductAt(x0 + h, constantRight), below = ProductAt(x0 - h, constantRight);
      for (int k = 0; k < 4; ++k) {
        const double difference = (above[k / 2][k % 2] - below[k / 2][k % 2]) / (2 * h);
        EXPECT_NEAR(ours[k], difference, 1e-6 * std::max(1.0, std::abs(difference)))
            << right << " at x = " << x0 << ", entry " << k;
      }
    }
  }
}

}  // namespace
