#include "algebra/SimpsonsRule.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/SymbolTable.h"
#include "expression/TreeCopying.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

double Integrated(const std::string& text) {
  Tree tree = Parse(text);
  if (!tree) return NAN;
  RewriteDefiniteIntegralsUsingSimpsonsRule(tree.get());
  return ScalarExprEval(tree.get(), nullptr);
}

TEST(SimpsonsRule, CubicsAreExact) {
  EXPECT_NEAR(Integrated("integral(1,x,0,1)"), 1.0, 1e-12);
  EXPECT_NEAR(Integrated("integral(x,x,0,2)"), 2.0, 1e-12);
  EXPECT_NEAR(Integrated("integral(x^2,x,0,3)"), 9.0, 1e-12);
  EXPECT_NEAR(Integrated("integral(x^3,x,0,1)"), 0.25, 1e-12);
  EXPECT_NEAR(Integrated("integral(x^3-2*x,x,2,-1)"), -(3.75 - 3.0), 1e-12);
  Tree indefinite = Parse("integral(x^2,x)");
  RewriteDefiniteIntegralsUsingSimpsonsRule(indefinite.get());
  EXPECT_EQ(Written(indefinite.get()), "integral(x^2,x)");
}

// Within the rule's error: h^4 for smooth integrands, h^1.5 for sqrt at 0.
TEST(SimpsonsRule, SmoothIntegralsAgreeWithQuadrature) {
  const std::vector<std::string> lines = DataLines("simpson_reference.txt");
  EXPECT_EQ(lines.size(), 6u);
  for (const std::string& line : lines) {
    std::istringstream fields(line);
    std::string f, a, b;
    double reference = 0;
    std::getline(fields, f, '\t');
    std::getline(fields, a, '\t');
    std::getline(fields, b, '\t');
    fields >> reference;
    const double tolerance = f == "sqrt(x)" ? 1e-4 : 1e-9;
    EXPECT_NEAR(Integrated("integral(" + f + ",x," + a + "," + b + ")"), reference, tolerance) << f;
  }
}

TEST(SimpsonsRule, InnerIntegralsAreRewrittenFirst) {
  // The inner integral is 1/3, in the bound and in the integrand.
  EXPECT_NEAR(Integrated("integral(x,x,0,3*integral(t^2,t,0,1))"), 0.5, 1e-12);
  EXPECT_NEAR(Integrated("integral(integral(x*y,y,0,x),x,0,2)"), 2.0, 1e-10);
}

TEST(SimpsonsRule, RewritesReuseTheirIndexIds) {
  Integrated("integral(integral(x*y,y,0,x),x,0,2)");
  const Tree integral = Parse("integral(x,x,0,1)");
  const int32_t before = GenerateNewAtomUID();
  for (int32_t i = 0; i < 100000; ++i) {
    Tree tree(Copy(integral.get()));
    RewriteDefiniteIntegralsUsingSimpsonsRule(tree.get());
  }
  EXPECT_EQ(GenerateNewAtomUID(), before + 1);
}

}  // namespace
