#include "algebra/Differentiation.h"
#include "algebra/RectangularForm.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include "evaluation/ScalarExprEval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr int32_t kEvaluateKey = 0x201B;

// The rectangular form of the text with its derivatives worked out.
Tree WorkedForm(const std::string& text) {
  Tree tree = Parse(text);
  Transform_RectangularRecurse(tree.get());
  MATH_DifferentiateExprWithoutSimplifying(tree.get());
  Transform_RectangularRecurse(tree.get());
  MATH_DifferentiateExprWithoutSimplifying(tree.get());
  return tree;
}

constexpr const char* kF = "sin(x*y)+z^3*x+exp(y*z)";
constexpr const char* kV[3] = {"x*y*z+cos(y)", "x^2*sin(z)", "y*exp(x)+z^2*y"};

std::string VectorText() { return std::string("matrix(3,1,") + kV[0] + "," + kV[1] + "," + kV[2] + ")"; }

TEST(RectangularForm, CurlOfGradAndDivOfCurlVanish) {
  Tree curlGrad = WorkedForm(std::string("curl(grad(") + kF + "))");
  Tree divCurl = WorkedForm("div(curl(" + VectorText() + "))");
  ASSERT_EQ(curlGrad->opcode, kOpMatrix) << Written(curlGrad.get());
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coordinate(-1.5, 1.5);
  for (int k = 0; k < 20; ++k) {
    const double x = coordinate(random), y = coordinate(random), z = coordinate(random);
    for (int32_t c = 0; c < 3; ++c) EXPECT_NEAR(ValueAt(curlGrad->operands[c], x, y, z), 0, 1e-9);
    EXPECT_NEAR(ValueAt(divCurl.get(), x, y, z), 0, 1e-9) << Written(divCurl.get());
  }
}

// Central differences of the plain formulas against the components.
TEST(RectangularForm, ComponentsAgreeWithDifferences) {
  Tree f = Parse(kF);
  Tree v[3] = {Parse(kV[0]), Parse(kV[1]), Parse(kV[2])};
  Tree grad = WorkedForm(std::string("grad(") + kF + ")");
  Tree div = WorkedForm("div(" + VectorText() + ")");
  Tree curl = WorkedForm("curl(" + VectorText() + ")");
  const double h = 1e-5;
  const double p[3] = {0.3, -0.7, 1.1};
  auto d = [&](const Tree& g, int axis) {
    double a[3] = {p[0], p[1], p[2]}, b[3] = {p[0], p[1], p[2]};
    a[axis] += h;
    b[axis] -= h;
    return (ValueAt(g.get(), a[0], a[1], a[2]) - ValueAt(g.get(), b[0], b[1], b[2])) / (2 * h);
  };
  for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(ValueAt(grad->operands[axis], p[0], p[1], p[2]), d(f, axis), 1e-6);
  EXPECT_NEAR(ValueAt(div.get(), p[0], p[1], p[2]), d(v[0], 0) + d(v[1], 1) + d(v[2], 2), 1e-6);
  const double curlExpected[3] = {d(v[2], 1) - d(v[1], 2), d(v[0], 2) - d(v[2], 0), d(v[1], 0) - d(v[0], 1)};
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(ValueAt(curl->operands[c], p[0], p[1], p[2]), curlExpected[c], 1e-6);
}

TEST(RectangularForm, ShapesThatDoNotFitStayWritten) {
  for (const char* text : {"div(matrix(4,1,x,y,z,t))", "div(x*y)", "curl(matrix(2,1,-y,x))"}) {
    Tree tree = Parse(text);
    Transform_RectangularRecurse(tree.get());
    EXPECT_EQ(Written(tree.get()), Reparsed(text));
  }
}

TEST(RectangularForm, TheCommandRewritesOnlyTheSelectedOperator) {
  const std::string inner = "div(matrix(2,1,x,y))";
  const CommandRun run =
      RunCode(kEvaluateKey, inner + "+curl(matrix(3,1,-y,x,0))", Reparsed("curl(matrix(3,1,-y,x,0))"));
  EXPECT_NE(run.formula.find(Reparsed(inner)), std::string::npos) << run.formula;
  EXPECT_EQ(run.formula.find("curl"), std::string::npos) << run.formula;
  Tree all = Parse(inner + "+curl(matrix(3,1,-y,x,0))");
  Transform_RectangularRecurse(all.get());
  EXPECT_EQ(Written(all.get()).find("div"), std::string::npos) << Written(all.get());
}

}  // namespace
