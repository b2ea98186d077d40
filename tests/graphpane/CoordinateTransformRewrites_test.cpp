#include <gtest/gtest.h>

#include <random>

#include "evaluation/AnExpression.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/CoordinateTransformRewrites.h"
#include "tests/expression/ParserTestSupport.h"
#include "tests/support/ColourEquations.h"

namespace {

// Primed atoms are typed 'x''' and 'y'''.
struct Plane {
  Tree f, g;
  CoordinateTransformation ct;
  Plane(int32_t kind, const char* first, const char* second) : f(Parse(first)), g(Parse(second)) {
    ct.kind = kind;
    ct.formulas[0] = f.get();
    ct.formulas[1] = g.get();
  }
};

struct ExprRow {
  const char* equation;
  const char* f;  // x in the transformed coordinates
  const char* g;  // y in the transformed coordinates
  const char* expected;
};

// Worked out by hand: r and theta first become formulas in x and y, then x
// and y take f and g, then the primes drop.
const ExprRow kExprRows[] = {
    {"y = x^2", "2*'x'''", "'y''' + 1", "'y''' + 1 = (2*'x''')^2"},
    {"x*y = a", "'x''' - 'y'''", "'x''' + 'y'''", "('x''' - 'y''')*('x''' + 'y''') = a"},
    {"r = 1", "'x'''", "'y'''", "sqrt('x'''^2 + 'y'''^2) = 1"},
    // Swapping the axes reaches the x and y that r's formula brought in.
    {"r < 2", "'y'''", "'x'''", "sqrt('y'''^2 + 'x'''^2) < 2"},
    {"y = sin(x) + c", "3", "'x'''*'y'''", "'x'''*'y''' = sin(3) + c"},
};

TEST(CoordinateTransformRewrites, TransformExprTable) {
  for (const ExprRow& row : kExprRows) {
    Plane plane(CoordinateTransformation::kPlaneFromTransformed, row.f, row.g);
    Tree e = Parse(row.equation);
    ASSERT_TRUE(TransformExpr(e.get(), plane.ct)) << row.equation;
    // The expected text is written in primed names; the result has them renamed.
    Tree expected = Parse(row.expected);
    ReplaceAtoms(expected.get(), kIdXPrime, kIdX);
    ReplaceAtoms(expected.get(), kIdYPrime, kIdY);
    EXPECT_TRUE(MATH_Equal(e.get(), expected.get())) << row.equation << " gave " << Written(e.get());
  }
}

TEST(CoordinateTransformRewrites, TransformExprThetaAndOtherKinds) {
  Plane identity(CoordinateTransformation::kPlaneFromTransformed, "'x'''", "'y'''");
  Tree e = Parse("theta = 1");
  ASSERT_TRUE(TransformExpr(e.get(), identity.ct));
  const Tree expected(NewBinop(kOpEquals, NewBinop(kOpAngle, Atomic(kIdX), Atomic(kIdY)), Number(1)));
  EXPECT_TRUE(MATH_Equal(e.get(), expected.get())) << Written(e.get());

  Plane forward(CoordinateTransformation::kPlaneFromSource, "x + y", "x - y");
  Tree untouched = Parse("y = x^2");
  EXPECT_FALSE(TransformExpr(untouched.get(), forward.ct));
  EXPECT_TRUE(MATH_Equal(untouched.get(), Parse("y = x^2").get()));
}

struct XYRow {
  const char* f;  // x' in the source coordinates
  const char* g;  // y' in the source coordinates
  const char* x;
  const char* y;
  const char* expectedX;
  const char* expectedY;
};

const XYRow kXYRows[] = {
    {"x + y", "x*y", "cos(t)", "sin(t)", "cos(t) + sin(t)", "cos(t)*sin(t)"},
    {"x^2 - y", "2", "t", "t^2 + 1", "t^2 - (t^2 + 1)", "2"},
    {"y", "x", "a", "b", "b", "a"},
};

TEST(CoordinateTransformRewrites, TransformXYTable) {
  for (const XYRow& row : kXYRows) {
    Plane plane(CoordinateTransformation::kPlaneFromSource, row.f, row.g);
    ExpressionRecord* outX = nullptr;
    ExpressionRecord* outY = nullptr;
    ASSERT_TRUE(TransformXY(plane.ct, Parse(row.x).get(), Parse(row.y).get(), &outX, &outY)) << row.f;
    const Tree x(outX), y(outY);
    EXPECT_TRUE(MATH_Equal(x.get(), Parse(row.expectedX).get())) << row.f << " gave " << Written(x.get());
    EXPECT_TRUE(MATH_Equal(y.get(), Parse(row.expectedY).get())) << row.g << " gave " << Written(y.get());
    // The formulas themselves stay as they were.
    EXPECT_TRUE(MATH_Equal(plane.f.get(), Parse(row.f).get()));
  }
}

double Value(const ExpressionRecord* tree, double x, double y) {
  AnExpression e(Copy(tree), nullptr);
  AnExpression::Compile(&e);
  return e.Evaluate(x, y);
}

// Substitution carried out by the rewrite equals the original read at the
// transformed point.
TEST(CoordinateTransformRewrites, TransformExprAgreesWithEvaluation) {
  Plane plane(CoordinateTransformation::kPlaneFromTransformed, "'x''' + 'y'''*'y'''", "'x''' - 2");
  const Tree original = Parse("x^2 + r*sin(theta) - y/(1 + r)");
  Tree transformed(Copy(original.get()));
  ASSERT_TRUE(TransformExpr(transformed.get(), plane.ct));
  Tree f(Copy(plane.f.get())), g(Copy(plane.g.get()));
  for (Tree* formula : {&f, &g}) {
    ReplaceAtoms(formula->get(), kIdXPrime, kIdX);
    ReplaceAtoms(formula->get(), kIdYPrime, kIdY);
  }
  std::mt19937 random(24);
  std::uniform_real_distribution<double> coordinate(-3, 3);
  for (int i = 0; i < 50; ++i) {
    const double x = coordinate(random), y = coordinate(random);
    const double expected = Value(original.get(), Value(f.get(), x, y), Value(g.get(), x, y));
    EXPECT_NEAR(Value(transformed.get(), x, y), expected, 1e-9 * (1 + std::abs(expected))) << x << ", " << y;
  }
}

TEST(CoordinateTransformRewrites, TransformColorComposesEachEquation) {
  AGraphColor colour;
  FillColourEquations(colour, AGraphColor::kRGBEquations, "x/2", "y*z", "x + 1");
  AnExpression::Compile(colour.fColorExpressions[0].get());
  const Tree a(NewBinop(kOpEquals, Atomic(kIdXPrime), Parse("u + v").release()));
  const Tree b(NewBinop(kOpEquals, Atomic(kIdYPrime), Parse("u*v").release()));
  const Tree c(NewBinop(kOpEquals, Atomic(kIdZPrime), Parse("3").release()));
  ASSERT_TRUE(TransformColor(&colour, a.get(), b.get(), c.get()));
  EXPECT_NE(colour.fColorExpressions[0]->PointMachine(), nullptr);
  for (const std::unique_ptr<AnExpression>& e : colour.fColorExpressions) AnExpression::Compile(e.get());
  const double u = 0.7, v = -1.3;
  // Any x, y, z handed in must not matter: the equations now read u and v.
  EXPECT_NEAR(colour.fColorExpressions[0]->Evaluate(u, v, 9, 9, 9, 0), (u + v) / 2, 1e-12);
  EXPECT_NEAR(colour.fColorExpressions[1]->Evaluate(u, v, 9, 9, 9, 0), u * v * 3, 1e-12);
  EXPECT_NEAR(colour.fColorExpressions[2]->Evaluate(u, v, 9, 9, 9, 0), u + v + 1, 1e-12);
}

}  // namespace
