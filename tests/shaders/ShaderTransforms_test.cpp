#include "shaders/ShaderTransforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "algebra/AlgebraSwitches.h"
#include "evaluation/AnExpression.h"
#include "evaluation/ScalarExprEval.h"
#include "evaluation/compiler/StackMachineRewriting.h"
#include "expression/ExpressionParser.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeWalking.h"
#include "shaders/ARBStrings.h"

namespace {

bool HasKind(ExpressionRecord* root, OpCodeT kind) {
  for (ExpressionRecord* node = root; node; node = NextTopDownWithin(node, root)) {
    if (node->opcode == kind) return true;
  }
  return false;
}

// Rewritten functions keep their values: libm is the reference.
TEST(ShaderTransforms, RewrittenFunctionsKeepTheirValues) {
  const struct {
    const char* text;
    double expected;
    OpCodeT gone;
  } cases[] = {
      {"tan(0.3)", std::tan(0.3), kOpTan},
      {"cot(0.3)", 1 / std::tan(0.3), kOpCot},
      {"csc(0.3)", 1 / std::sin(0.3), kOpCsc},
      {"sec(0.3)", 1 / std::cos(0.3), kOpSec},
      {"acos(0.3)", std::acos(0.3), kOpAcos},
      {"acsc(1.7)", std::asin(1 / 1.7), kOpAcsc},
      {"asec(1.7)", std::acos(1 / 1.7), kOpAsec},
      {"sinh(0.3)", std::sinh(0.3), kOpSinh},
      {"cosh(0.3)", std::cosh(0.3), kOpCosh},
      {"tanh(0.3)", std::tanh(0.3), kOpTanh},
      {"coth(0.3)", 1 / std::tanh(0.3), kOpCoth},
      {"csch(0.3)", 1 / std::sinh(0.3), kOpCsch},
      {"sech(0.3)", 1 / std::cosh(0.3), kOpSech},
      {"asinh(0.3)", std::asinh(0.3), kOpAsinh},
      {"acosh(1.7)", std::acosh(1.7), kOpAcosh},
      {"atanh(0.3)", std::atanh(0.3), kOpAtanh},
      {"acoth(1.7)", std::atanh(1 / 1.7), kOpAcoth},
      {"acsch(1.7)", std::asinh(1 / 1.7), kOpAcsch},
      {"asech(0.3)", std::acosh(1 / 0.3), kOpAsech},
      {"ceil(2.3)", 3, kOpCeil},
      {"ceil(-2.3)", -2, kOpCeil},
      {"clamp(5, 0, 1)", 1, kOpClamp},
      {"sin(tanh(0.3)) + ceil(cot(0.3))", std::sin(std::tanh(0.3)) + std::ceil(1 / std::tan(0.3)), kOpTanh},
  };
  for (const auto& c : cases) {
    ExpressionRecord* tree = ParseExprFromString(c.text);
    ASSERT_NE(tree, nullptr) << c.text;
    MungeMinMaxModClamp(tree, nullptr);
    ShaderTransformTreeReal(tree);
    EXPECT_FALSE(HasKind(tree, c.gone)) << c.text;
    EXPECT_FALSE(HasKind(tree, kOpCeil) || HasKind(tree, kOpCot)) << c.text;
    EXPECT_NEAR(ScalarExprEval(tree, nullptr), c.expected, 1e-12) << c.text;
    DisposExpr(tree);
  }
}

// The generator reads a formula in place when no node of it may change:
// whatever the preparation does change must have been foreseen.
TEST(ShaderTransforms, EveryChangeOfThePreparationIsForeseen) {
  int foreseen = 0;
  for (const char* text :
       {"x^2+y^2",     "max(x,y,z)",      "min(x,y)",     "mod(x,0.5)*2", "clamp(x,0.2,0.7)", "tan(x/2)",
        "ceil(2*y)/2", "sinh(x)+cosh(y)", "log(2,x)",     "sqrt(3,x)",    "sin(x)*cos(y)",    "abs(x)<0.8",
        "0<x<y",       "atan(y/x)",       "floor(3*x)/3", "acos(y/2)",    "sgn(x)",           "max(sin(x),cos(y))^3",
        "r*sin(phi)",  "exp(-x^2-y^2)",   "sec(x)/3",     "x^0.5",        "2*x^2-y^3"}) {
    ExpressionRecord* tree = ParseExprFromString(text);
    ASSERT_NE(tree, nullptr) << text;
    bool mayChange = false;
    for (ExpressionRecord* node = tree; node; node = NextTopDownWithin(node, tree))
      mayChange = mayChange || MinMaxModClampMayChange(node) || ShaderTransformChangesNode(node);
    ExpressionRecord* prepared = Copy(tree);
    MungeMinMaxModClamp(prepared, nullptr);
    ShaderTransformTreeReal(prepared);
    if (!MATH_Equal(prepared, tree)) {
      EXPECT_TRUE(mayChange) << text;
      foreseen += mayChange;
    }
    DisposExpr(prepared);
    DisposExpr(tree);
  }
  EXPECT_GE(foreseen, 10);
}

// Complex formulas become their real parts in real operations; the value
// at a point against std::complex. The processor's two-argument
// arctangent runs from 0 to 2 pi, the program's from -pi to pi: the points
// keep every angle taken in the upper half plane, where both agree.
TEST(ShaderTransforms, ComplexFormulasBecomeTheirRealParts) {
  using Z = std::complex<double>;
  const double x = 0.3, y = 0.7;
  const Z z(x, y), i(0, 1);
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"Re((x+i*y)^2)", (z * z).real()},
      {"Im(exp(i*x))", std::sin(x)},
      {"abs(x+i*y)", std::abs(z)},
      {"Re(sqrt(x+i*y))", std::sqrt(z).real()},
      {"Im(sqrt(x*i-y))", std::sqrt(Z(-y, x)).imag()},
      {"arg(x+i*y)", std::arg(z)},
      {"Re(ln(x+i*y))", std::log(z).real()},
      {"Im(sin(x+i*y))", std::sin(z).imag()},
      {"Re(cos(x+i*y))", std::cos(z).real()},
      {"Re(atan(x+i*y))", std::atan(z).real()},
      {"Im(asin(x-i*y))", std::asin(std::conj(z)).imag()},
      {"Re((x+i*y)/(y-i*x))", (z / Z(y, -x)).real()},
      {"Im((x+i*y)^(0.5+i))", std::pow(z, Z(0.5, 1)).imag()},
      {"(x+i*y)*(x-i*y)", std::norm(z)},
  };
  for (const auto& c : cases) {
    ExpressionRecord* tree = ParseExprFromString(c.text);
    ASSERT_NE(tree, nullptr) << c.text;
    MungeExprForStackMachine(tree, nullptr);
    ShaderTransformExprComplex(tree, nullptr);
    EXPECT_FALSE(DIM_Contains(tree, 'i')) << c.text;
    AnExpression real(tree, nullptr);
    AnExpression::Compile(&real);
    EXPECT_NEAR(real.Evaluate(x, y), c.expected, 1e-12) << c.text;
  }
}

struct TransformFormula {
  explicit TransformFormula(const char* text) : tree(ParseExprFromString(text)), expression(Copy(tree), nullptr) {}
  ~TransformFormula() { DisposExpr(tree); }
  ExpressionRecord* tree;
  AnExpression expression;
};

TEST(ShaderTransforms, TheCallersFormulasStayAndUnsupportedOnesGiveNoText) {
  std::vector<ExpressionRecord*> uniforms;
  TransformFormula tangent("tan(x)"), inverse("acos(y)"), rounding("ceil(3*z)/3"), mask("x^2+y^2");
  std::vector<ExpressionRecord*> before;
  for (TransformFormula* f : {&tangent, &inverse, &rounding, &mask}) before.push_back(Copy(f->expression.Tree()));
  const std::string text = OurGetARBString(&tangent.expression, &inverse.expression, &rounding.expression,
                                           &mask.expression, false, &uniforms, false, nullptr);
  EXPECT_NE(text.find("SIN "), std::string::npos) << text;
  EXPECT_NE(text.find("COS "), std::string::npos) << text;
  EXPECT_NE(text.find("FLR "), std::string::npos) << text;
  EXPECT_NE(text.find("KIL "), std::string::npos) << text;
  int k = 0;
  for (TransformFormula* f : {&tangent, &inverse, &rounding, &mask}) {
    EXPECT_TRUE(MATH_Equal(before[size_t(k)], f->expression.Tree())) << k;
    DisposExpr(before[size_t(k++)]);
  }
  for (const char* unsupported : {"t*x", "u", "x!", "sum(k, k = 1, 3)"}) {
    TransformFormula f(unsupported);
    EXPECT_EQ(OurGetARBString(&f.expression, &inverse.expression, &rounding.expression, nullptr, false, &uniforms,
                              false, nullptr),
              "")
        << unsupported;
  }
  EXPECT_TRUE(uniforms.empty());
  TransformFormula complex("Re((x+i*y)^2)");
  const std::string squares = OurGetARBString(&complex.expression, &inverse.expression, &rounding.expression, nullptr,
                                              false, &uniforms, false, nullptr);
  EXPECT_FALSE(squares.empty());
  EXPECT_EQ(squares.find("POW "), std::string::npos) << squares;
  EXPECT_EQ(gSimplifyPowers, 1);
  // A textured surface without a mask has nothing to compute.
  EXPECT_EQ(OurGetARBString(nullptr, &uniforms, true, nullptr), "");
  const std::string textured = OurGetARBString(&mask.expression, &uniforms, true, nullptr);
  EXPECT_NE(textured.find("texture[0]"), std::string::npos) << textured;
  const std::string white = OurGetARBString(&mask.expression, &uniforms, false, nullptr);
  EXPECT_NE(white.find("KIL "), std::string::npos) << white;
  EXPECT_EQ(white.find("texture[0]"), std::string::npos) << white;
}

}  // namespace
