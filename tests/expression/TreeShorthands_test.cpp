#include "ParserTestSupport.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeShorthands.h"

#include <gtest/gtest.h>

#include <cmath>

// The shapes other code relies on: parents linked, matrix and subscript
// shapes set, and a missing operand freeing the others.
TEST(TreeShorthands, BuildTheirShapes) {
  Tree minus(Minus(Atomic('x'), Atomic('y'))), sum(Plus(Atomic('x'), Neg(Atomic('y'))));
  EXPECT_TRUE(MATH_Equal(minus.get(), sum.get()));
  EXPECT_EQ(minus->operands[1]->parent, minus.get());
  Tree vector(Vector(Atomic('a'), Atomic('b'), Atomic('c')));
  EXPECT_EQ(vector->payload.shape.rows, 3);
  EXPECT_EQ(vector->payload.shape.columns, 1);
  Tree sub(Sub(Atomic('x'), Number(1)));
  EXPECT_EQ(sub->payload.shape.rows, 0);
  EXPECT_EQ(sub->payload.shape.columns, 1);
  EXPECT_FALSE(MATH_Equal(Tree(Dummy(7)).get(), Tree(Dummy(8)).get()));
  EXPECT_EQ(Div(Number(1), nullptr), nullptr);  // the numerator is freed, not leaked
  EXPECT_EQ(Times(nullptr, nullptr), nullptr);
}

TEST(TreeShorthands, ComplexNumberWritesOnlyTheNonZeroParts) {
  EXPECT_EQ(Written(Tree(ComplexNumber({0, 0})).get()), "0");
  EXPECT_EQ(Written(Tree(ComplexNumber({0, 2})).get()), "2*i");
  EXPECT_EQ(Written(Tree(ComplexNumber({3, 0})).get()), "3");
  EXPECT_EQ(Written(Tree(ComplexNumber({3, -1})).get()), Reparsed("3 - 1*i"));  // a minus, as typed
  EXPECT_EQ(Written(Tree(ComplexNumber({NAN, 0})).get()), "NaN");
  EXPECT_EQ(Written(Tree(ComplexNumber({0, NAN})).get()), "NaN*i");
}

TEST(TreeShorthands, PredicatesFindTheirKindsAnywhere) {
  EXPECT_TRUE(ContainsMatrix(Parse("matrix(1,1,a)").get()));
  EXPECT_TRUE(ContainsMatrix(Parse("x+sin(2*matrix(1,2,a,b))").get()));
  EXPECT_FALSE(ContainsMatrix(Parse("x+y").get()));
  EXPECT_FALSE(ContainsInterval(Parse("x+y").get()));
  EXPECT_TRUE(IsSpecialSymbolChar(1) && IsSpecialSymbolChar(6));
  EXPECT_FALSE(IsSpecialSymbolChar(0) || IsSpecialSymbolChar(7) || IsSpecialSymbolChar('x'));

  Tree first(NewBinop(kOpFunction, NewUnop(kOpOpTotal, Atomic('x')), Atomic('f')));
  Tree second(NewBinop(kOpFunction, NewBinop(kOpOpTotal, Atomic('x'), Number(2)), Atomic('f')));
  EXPECT_FALSE(ContainsDerivative(second.get()));
  Tree nested(Plus(Atomic('y'), Sin(first.release())));
  EXPECT_TRUE(ContainsDerivative(nested.get()));
  EXPECT_FALSE(ContainsDerivative(nullptr));
}
