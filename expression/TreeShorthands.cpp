#include "expression/TreeShorthands.h"

#include "expression/TreeBuilding.h"

ExpressionRecord* Plus(ExpressionRecord* a, ExpressionRecord* b) { return NewBinop(kOpPlus, a, b); }

ExpressionRecord* Minus(ExpressionRecord* a, ExpressionRecord* b) { return Plus(a, Neg(b)); }

ExpressionRecord* Times(ExpressionRecord* a, ExpressionRecord* b) { return NewBinop(kOpTimes, a, b); }

ExpressionRecord* Div(ExpressionRecord* numerator, ExpressionRecord* denominator) {
  return NewBinop(kOpOver, numerator, denominator);
}

ExpressionRecord* Neg(ExpressionRecord* a) { return NewUnop(kOpMinus, a); }

ExpressionRecord* Tothe(ExpressionRecord* base, ExpressionRecord* exponent) {
  return NewBinop(kOpPower, base, exponent);
}

ExpressionRecord* Sqrt(ExpressionRecord* a) { return NewUnop(kOpSqrt, a); }

ExpressionRecord* Square(ExpressionRecord* a) { return Tothe(a, Number(2.0)); }

ExpressionRecord* Sub(ExpressionRecord* base, ExpressionRecord* index) {
  ExpressionRecord* node = NewBinop(kOpIndexes, base, index);
  if (node) node->payload.shape = MatrixShape{0, 1};
  return node;
}

ExpressionRecord* Partial(ExpressionRecord* expression, ExpressionRecord* variable) {
  return NewBinop(kOpPartialPair, expression, variable);
}

ExpressionRecord* Dummy(int32_t id) {
  ExpressionRecord* node = NewExpression(kOpDummy, 0);
  if (node) node->payload.id = id;
  return node;
}
