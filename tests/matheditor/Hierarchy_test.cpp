#include "MathLayoutFixture.h"

namespace {

using Hierarchy = MathLayoutTest;

bool Wrapped(const ExpressionRecord* operand) { return operand->opcode == kOpId; }

ExpressionRecord* Plus2() { return NewBinop(kOpPlus, MathLayoutTest::Var("a"), MathLayoutTest::Var("b")); }

// Each tree shows a rule deciding before a later one would have.
TEST_F(Hierarchy, FirstApplicableRuleWins) {
  // 1: nothing inside a big sum is wrapped (rule 10 would wrap its body).
  EXPECT_FALSE(Wrapped(LayOut(NewBinop(kOpSum, Plus2(), Var("k")))->operands[0]));
  // 2: a big sum that is not the last term of a plus.
  ExpressionRecord* sums =
      LayOut(NewBinop(kOpPlus, NewBinop(kOpSum, Var("k"), Var("k")), NewBinop(kOpSum, Var("j"), Var("j"))));
  EXPECT_TRUE(Wrapped(sums->operands[0]));
  EXPECT_FALSE(Wrapped(sums->operands[1]));
  // 3: an equation inside a plus, but not inside a list.
  EXPECT_TRUE(Wrapped(LayOut(NewBinop(kOpPlus, NewBinop(kOpEquals, Var("a"), Var("b")), Var("c")))->operands[0]));
  EXPECT_FALSE(Wrapped(LayOut(NewBinop(kOpComma, NewBinop(kOpEquals, Var("a"), Var("b")), Var("c")))->operands[0]));
  // 4: if inside a product (rule 5 would leave a two-operand template alone).
  EXPECT_TRUE(Wrapped(LayOut(NewBinop(kOpTimes, NewBinop(kOpIf, Var("a"), Var("b")), Var("c")))->operands[0]));
  // 5: products.
  ExpressionRecord* product = LayOut(NewBinop(kOpTimes, Plus2(), NewUnop(kOpSin, Var("x"))));
  EXPECT_TRUE(Wrapped(product->operands[0]));
  EXPECT_FALSE(Wrapped(product->operands[1]));
  EXPECT_TRUE(Wrapped(LayOut(NewBinop(kOpTimes, NewUnop(kOpMinus, Var("a")), Var("b")))->operands[0]));
  EXPECT_FALSE(Wrapped(LayOut(NewBinop(kOpTimes, Atomic(6), NewUnop(kOpMinus, Var("a"))))->operands[1]));
  EXPECT_FALSE(Wrapped(LayOut(NewBinop(kOpDot, NewBinop(kOpTimes, Var("a"), Var("b")), Var("c")))->operands[0]));
  EXPECT_TRUE(Wrapped(LayOut(NewBinop(kOpTimes, NewBinop(kOpDot, Var("a"), Var("b")), Var("c")))->operands[0]));
  // 6: a list on one side of an equation.
  EXPECT_TRUE(Wrapped(LayOut(NewBinop(kOpEquals, NewBinop(kOpComma, Var("a"), Var("b")), Var("c")))->operands[0]));
  // 7: a power's base, never its exponent.
  ExpressionRecord* power = LayOut(NewBinop(kOpPower, Plus2(), Plus2()));
  EXPECT_TRUE(Wrapped(power->operands[0]));
  EXPECT_FALSE(Wrapped(power->operands[1]));
  // 8: a list of the same kind; a product inside a plus stays bare.
  ExpressionRecord* nested = LayOut(NewBinop(kOpPlus, Plus2(), NewBinop(kOpTimes, Var("c"), Var("d"))));
  EXPECT_TRUE(Wrapped(nested->operands[0]));
  EXPECT_FALSE(Wrapped(nested->operands[1]));
  ExpressionRecord* three = LayOut(NewTrinop(kOpPlus, Var("a"), Var("b"), Var("c")));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Wrapped(three->operands[i]));
  // 9: a product under a named function, wrapped only around a fraction.
  EXPECT_TRUE(Wrapped(
      LayOut(NewUnop(kOpSin, NewBinop(kOpTimes, Var("a"), NewBinop(kOpOver, Var("b"), Var("c")))))->operands[0]));
  EXPECT_FALSE(Wrapped(LayOut(NewUnop(kOpSin, NewBinop(kOpTimes, Var("a"), Var("b"))))->operands[0]));
  // 10, 11: prefix and postfix operators.
  EXPECT_TRUE(Wrapped(LayOut(NewUnop(kOpMinus, Plus2()))->operands[0]));
  EXPECT_TRUE(Wrapped(LayOut(NewUnop(kOpFact, NewUnop(kOpSin, Var("x"))))->operands[0]));
  // 12: templates wrap nothing.
  ExpressionRecord* fraction = LayOut(NewBinop(kOpOver, Plus2(), Plus2()));
  EXPECT_FALSE(Wrapped(fraction->operands[0]));
  EXPECT_FALSE(Wrapped(fraction->operands[1]));
}

}  // namespace
