#include "AlgebraTestSupport.h"
#include "algebra/SimplifierRules.h"
#include "algebra/WholeNumberArithmetic.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeComparison.h"
#include "expression/TreeShorthands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>

namespace {

struct Case {
  const char* input;
  Rewrite rewrite;
  const char* expected;
};

constexpr Rewrite S = Rewrite::kSimplify;
constexpr Rewrite M = Rewrite::kMultiplyOut;

// Each row: what a reader of the rules expects the formula to become.
constexpr Case kCases[] = {
    // numbers gather and fold; sums and products flatten
    {"2*x*3+x", S, "7*x"},
    {"2+x+3", S, "x+5"},
    {"x+0", S, "x"},
    {"0*x*y", S, "0"},
    {"2*(-3)", S, "-6"},
    // fractions of numbers
    {"1/2+1/3", S, "5/6"},
    {"1/2+1", S, "3/2"},
    {"(6*x)/(4*y)", S, "3*x/(2*y)"},
    {"(2*x)/(4*x)", S, "1/2"},
    {"(a/b)*(c/d)", S, "a*c/(b*d)"},
    {"a/(b/c)", S, "a*c/b"},
    {"0/0", S, "0/0"},
    {"0/x", S, "0"},
    // signs
    {"-(a+b)", S, "-a-b"},
    {"-(-x)", S, "x"},
    {"a/(-b)", S, "-(a/b)"},
    {"(-a)/b", S, "-(a/b)"},
    {"x*(-y)", S, "-(x*y)"},
    // powers and roots
    {"x^0", S, "1"},
    {"0^0", S, "1"},
    {"0^x", S, "0"},
    {"1^x", S, "1"},
    {"2^10", S, "1024"},
    {"i^3", S, "-i"},
    {"i^-1", S, "-i"},
    // i bound as an index or an integral's variable is a real number
    {"sum(i^(-1),i=1,3)", S, "sum(i^(-1),i=1,3)"},
    {"product(i^2,i=1,3)", S, "product(i^2,i=1,3)"},
    {"integral(i^(-1),i,1,2)", S, "integral(i^(-1),i,1,2)"},
    {"sum(k+i^2,k=1,3)", S, "sum(k-1,k=1,3)"},
    {"sum(i,i=1,3)+i^2", S, "sum(i,i=1,3)-1"},
    {"integral(i^2,x,0,1)", S, "integral(-1,x,0,1)"},
    // powers of products, powers and negative numbers; roots
    {"(x*y)^2", S, "x^2*y^2"},
    {"(x*y)^2", Rewrite::kKeepPowers, "(x*y)^2"},
    {"(x^2)^3", S, "x^6"},
    {"(x^2)^3", Rewrite::kKeepPowers, "(x^2)^3"},
    {"(-3)^x", S, "(-1)^x*3^x"},
    {"(-1)^x", S, "(-1)^x"},
    {"(-0.5)^x", S, "(-0.5)^x"},
    {"sqrt(-4)", S, "sqrt(-1)*sqrt(4)"},
    {"sqrt(16)", S, "4"},
    {"sqrt(8)", S, "sqrt(8)"},
    {"x^(1/2)", S, "sqrt(x)"},
    {"sqrt(27,3)", S, "3"},
    // special values
    {"4!", S, "24"},
    {"5!", S, "5!"},
    {"ln(e)", S, "1"},
    {"sin(3*pi/2)", S, "-1"},
    {"sin(5*pi/2)", S, "1"},
    {"sin(pi/2)", S, "sin(pi/2)"},
    {"cos(2*pi)", S, "1"},
    {"cos(3*pi/2)", S, "0"},
    {"min(3,5)", S, "3"},
    {"mod(7,3)", S, "1"},
    {"mod(-7,3)", S, "2"},
    {"a=(b=c)", S, "a=b=c"},
    // like terms and factors
    {"3*x+5*x", S, "8*x"},
    {"-x+x", S, "0"},
    {"x+y-x", S, "y"},
    {"2*a*b+3*a*b", S, "5*a*b"},
    {"-2*x+5*x", S, "3*x"},
    {"x*x^2", S, "x^3"},
    {"x^a*x^b", S, "x^(a+b)"},
    {"x^2*x^(-2)*y", S, "y"},
    {"x^3/x", S, "x^2"},
    {"x^2/x^5", S, "x^(-3)"},
    {"(x*y)/x", S, "y"},
    {"(x*y^2)/(x^2*y)", S, "y/x"},
    // order of factors
    {"3*y*x*b", S, "3*b*x*y"},
    {"3*y*x*b", Rewrite::kNoOrdering, "3*y*x*b"},
    {"x*pi", S, "pi*x"},
    {"e*x", S, "x*e"},
    {"x^2*y", S, "y*x^2"},
    {"y^3*x^2", S, "x^2*y^3"},
    // multiplying out
    {"(x+1)^3", M, "x^3+3*x^2+3*x+1"},
    {"(x+1)^3", S, "(x+1)^3"},
    {"(x+1)^24", M, "(x+1)^24"},
    {"a*(b+c)", M, "a*b+a*c"},
    {"(a+b)^2-(a-b)^2", M, "4*a*b"},
};

TEST(SimplifierRules, EdgeCasesRewriteAsTheRulesSay) {
  for (const Case& c : kCases) EXPECT_EQ(Rewritten(c.input, c.rewrite), c.expected) << c.input;
}

// Only the imaginary unit obeys i^2 = -1; an index named i keeps the sum's
// value 1 + 1/2 + 1/3.
TEST(SimplifierRules, SummingOverIKeepsTheValue) {
  Tree sum = Parse("sum(i^(-1),i=1,3)");
  ASSERT_TRUE(sum);
  EXPECT_NEAR(CompiledWithA(sum.get(), 0.0)->Evaluate(0.0, 0.0), 11.0 / 6.0, 1e-12);
  RunRewrite(sum.get(), S);
  EXPECT_NEAR(CompiledWithA(sum.get(), 0.0)->Evaluate(0.0, 0.0), 11.0 / 6.0, 1e-12);
}

// Folds that would turn finite operands into NaN or infinity, and 0 to a
// negative power, keep the formula as written.
TEST(SimplifierRules, FoldsThatWouldLoseTheValueAreNotMade) {
  EXPECT_EQ(Rewritten("0^(-1)"), "0^(-1)");
  EXPECT_EQ(Rewritten("0^(-2.5)"), "0^(-2.5)");
  EXPECT_EQ(Rewritten("mod(7,0)"), "mod(7,0)");
  EXPECT_EQ(Rewritten("10^400"), "10^400");
  EXPECT_EQ(Rewritten("1e300*1e300*x"), "1e+300^2*x");
  EXPECT_EQ(Rewritten("1e308+1e308").find("Infinity"), std::string::npos);
  EXPECT_EQ(Rewritten("x^1e308*x^1e308"), "x^1e+308*x^1e+308");
  EXPECT_EQ(Rewritten("x^1e308/x^(-1e308)"), "x^1e+308/x^(-1e+308)");
}

TEST(SimplifierRules, RootsWithAnIndexFoldOnlyToExactWholeRoots) {
  EXPECT_EQ(Rewritten("sqrt(3125,5)"), "5");
  EXPECT_EQ(Rewritten("sqrt(64,3)"), "4");
  EXPECT_EQ(Rewritten("sqrt(65,3)"), "65^(1/3)");
  EXPECT_EQ(Rewritten("sqrt(8,0)"), "8^(1/0)");
  EXPECT_EQ(Rewritten("sqrt(8,1.5)"), "8^(1/1.5)");
  // Every perfect power below 2^31 folds to its exact root; its neighbours
  // do not fold.
  for (int64_t n = 2; n <= 31; ++n) {
    for (int64_t t = 2;; ++t) {
      int64_t a = 1;
      for (int64_t k = 0; k < n; ++k) a *= t;
      if (a > INT32_MAX) break;
      double root = 0.0;
      ASSERT_TRUE(WholeRootOf(double(a), double(n), &root)) << t << "^" << n;
      EXPECT_EQ(root, double(t));
      EXPECT_FALSE(WholeRootOf(double(a + 1), double(n), &root)) << a + 1;
      EXPECT_FALSE(WholeRootOf(double(a - 1), double(n), &root)) << a - 1;
    }
  }
  double root = 0.0;
  EXPECT_FALSE(WholeRootOf(8.0, -3.0, &root));
  EXPECT_FALSE(WholeRootOf(-8.0, 3.0, &root));
}

TEST(SimplifierRules, WholeNumbersAreThoseA32BitIntegerHolds) {
  for (double x : {std::nan(""), double(INFINITY), -double(INFINITY), 3e9, -2147483649.0, 0.5})
    EXPECT_FALSE(IsWholeNumber(x)) << x;
  EXPECT_TRUE(IsWholeNumber(-2147483648.0));
  EXPECT_EQ(SIMP_Power(3.0, 5), 243.0);
  EXPECT_EQ(BinomialCoefficient(23, 11), 1352078);
  Tree a(Number(6e9));
  Tree b(Number(4.0));
  SIMP_GCD(a.get(), b.get());
  EXPECT_EQ(a->payload.number->value, 6e9);
  EXPECT_EQ(b->payload.number->value, 4.0);
  EXPECT_EQ(Rewritten("3000000000/6000000000"), "3000000000/6000000000");
}

// Factors holding a matrix keep their places, and a power of a product
// holding one is not spread over its factors: matrices do not commute.
TEST(SimplifierRules, FactorsHoldingMatricesKeepTheirPlaces) {
  const std::string m = "matrix(2,2,a,b,c,d)";
  const std::string n = "matrix(2,2,e,f,g,h)";
  EXPECT_EQ(Rewritten("transpose(" + m + ")*" + n + "^(-1)"),
            Written(Parse("transpose(" + m + ")*" + n + "^(-1)").get()));
  EXPECT_EQ(Rewritten("(" + m + "*" + n + ")^(-1)"), "(" + m + "*" + n + ")^(-1)");
  EXPECT_EQ(Rewritten(n + "*" + m), n + "*" + m);
  EXPECT_EQ(Rewritten("x*" + m + "*" + n + "*x"), "x^2*" + m + "*" + n);
  EXPECT_EQ(Rewritten(m + "+" + m), m + "+" + m);
}

// Above the cap the product or power stays unexpanded (its factors may
// still group: S S becomes S^2, which is small enough to expand).
TEST(SimplifierRules, MultiplyingOutAboveTheTermCapLeavesTheFormula) {
  const std::string sum = "(a+b+c+d+f+g+h+j+k+l)";
  for (const std::string& text : {sum + "^23", sum + "^7"}) EXPECT_EQ(Rewritten(text, M), Reparsed(text)) << text;
  Tree product = Parse(sum + "*" + sum + "*" + sum + "*" + sum + "*" + sum);
  RunRewrite(product.get(), M);
  EXPECT_EQ(product->opcode, kOpTimes);
  EXPECT_EQ(gMathError.load(), 0);
}

// A node with an operand count its kind does not have, or an empty operand
// slot, is left as it is and never read past.
TEST(SimplifierRules, MalformedNodesAreLeftAlone) {
  const OpCodeT kinds[] = {kOpPower, kOpOver, kOpSqrt, kOpMinus, kOpSin, kOpFact,
                           kOpMod,   kOpSn,   kOpLn,   kOpTimes, kOpPlus};
  for (OpCodeT kind : kinds) {
    for (int32_t count : {1, 2, 3}) {
      Tree node(NewExpression(kind, count));
      for (int32_t k = 0; k < count; ++k) {
        node->operands[k] = Number(2.0 + k);
        node->operands[k]->parent = node.get();
      }
      Tree before(Copy(node.get()));
      const bool wellFormed = (kind == kOpTimes || kind == kOpPlus) ||
                              ((kind == kOpPower || kind == kOpOver || kind == kOpSn) && count == 2) ||
                              (kind == kOpSqrt && count <= 2) || count == 1;
      SIMP_OneLevel(node.get());
      if (!wellFormed) {
        EXPECT_TRUE(MATH_Equal(node.get(), before.get())) << kind << " " << count;
      }
    }
    Tree holed(NewExpression(kind, 2));
    holed->operands[0] = Number(1.0);
    holed->operands[0]->parent = holed.get();
    SIMP_Recurse(holed.get());
    EXPECT_EQ(holed->opcode, kind);
    EXPECT_EQ(holed->operands[1], nullptr);
  }
}

// Each thread starts at the design values; a scoped change is undone on
// leaving its scope and never seen by another thread.
TEST(AlgebraSwitches, EachThreadHasItsOwnAndScopedChangesAreUndone) {
  {
    ScopedAlgebraSwitch multiply(Math_Multiply_Out, 1);
    ScopedAlgebraSwitch powers(gSimplifyPowers, 0);
    int32_t seen[7] = {};
    std::thread([&] {
      seen[0] = Math_Multiply_Out, seen[1] = gSimplifyPowers, seen[2] = gMathOrderTerms;
      seen[3] = gMathGroupTermsInSum, seen[4] = gMathExpandingDefinitions, seen[5] = Order_By_Increasing;
      seen[6] = gMathMoveLR;
    }).join();
    const int32_t designValues[7] = {0, 1, 1, 1, 0, 1, 1};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(seen[k], designValues[k]) << k;
    EXPECT_EQ(Math_Multiply_Out, 1);
  }
  EXPECT_EQ(Math_Multiply_Out, 0);
  EXPECT_EQ(gSimplifyPowers, 1);
}

}  // namespace
