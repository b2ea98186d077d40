#include "expression/TreeShorthands.h"

#include "expression/TreeBuilding.h"
#include "expression/VariableIds.h"

#include <cmath>
#include <vector>

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

ExpressionRecord* Times3(ExpressionRecord* a, ExpressionRecord* b, ExpressionRecord* c) {
  return NewTrinop(kOpTimes, a, b, c);
}

ExpressionRecord* Oneover(ExpressionRecord* a) { return Div(Number(1.0), a); }

ExpressionRecord* OnePlus(ExpressionRecord* a) { return Plus(Number(1.0), Square(a)); }

ExpressionRecord* MinusOne(ExpressionRecord* a) { return Minus(Square(a), Number(1.0)); }

ExpressionRecord* Ln(ExpressionRecord* a) { return NewUnop(kOpLn, a); }

ExpressionRecord* Sin(ExpressionRecord* a) { return NewUnop(kOpSin, a); }

ExpressionRecord* Cos(ExpressionRecord* a) { return NewUnop(kOpCos, a); }

ExpressionRecord* Real(ExpressionRecord* a) { return NewUnop(kOpReal, a); }

ExpressionRecord* Imag(ExpressionRecord* a) { return NewUnop(kOpImag, a); }

ExpressionRecord* Subst(ExpressionRecord* expression, ExpressionRecord* lhs, ExpressionRecord* rhs) {
  return NewBinop(kOpSubstitution, expression, NewBinop(kOpEquals, lhs, rhs));
}

ExpressionRecord* Vector(ExpressionRecord* a, ExpressionRecord* b, ExpressionRecord* c) {
  ExpressionRecord* node = NewTrinop(kOpMatrix, a, b, c);
  if (node) node->payload.shape = MatrixShape{3, 1};
  return node;
}

ExpressionRecord* ComplexNumber(Complex c) {
  const bool hasReal = c.re != 0.0 || std::isnan(c.re);
  const bool hasImaginary = c.im != 0.0 || std::isnan(c.im);
  if (!hasImaginary) return Number(c.re);
  // Written as the user would type it: 3 - 4*i, not 3 + -4*i.
  if (hasReal && c.im < 0) return Minus(Number(c.re), Times(Number(-c.im), Atomic(kIdI)));
  ExpressionRecord* imaginary = Times(Number(c.im), Atomic(kIdI));
  return hasReal ? Plus(Number(c.re), imaginary) : imaginary;
}

namespace {

// Pre-order with a stack of its own: the parent-link walkers search each
// node's siblings, which is quadratic in a long sum. The stack's storage is
// kept per thread (predicates never search again).
template <typename Predicate>
bool AnyNode(const ExpressionRecord* tree, Predicate predicate) {
  thread_local std::vector<const ExpressionRecord*> pending;
  pending.clear();
  if (tree) pending.push_back(tree);
  while (!pending.empty()) {
    const ExpressionRecord* node = pending.back();
    pending.pop_back();
    if (predicate(node)) return true;
    for (int32_t k = node->operands ? node->operandCount - 1 : -1; k >= 0; --k)
      if (node->operands[k]) pending.push_back(node->operands[k]);
  }
  return false;
}

bool IsDerivativeOperator(const ExpressionRecord* node) {
  return node && (node->opcode == kOpOpTotal || node->opcode == kOpOpPartial) && node->operandCount == 1;
}

}  // namespace

bool ContainsDerivative(const ExpressionRecord* tree) {
  return AnyNode(tree, [](const ExpressionRecord* node) {
    return node->opcode == kOpFunction && node->operandCount >= 1 && IsDerivativeOperator(node->operands[0]);
  });
}

bool ContainsMatrix(const ExpressionRecord* tree) {
  return AnyNode(tree, [](const ExpressionRecord* node) { return node->opcode == kOpMatrix; });
}

bool ContainsInterval(const ExpressionRecord* tree) {
  return AnyNode(tree, [](const ExpressionRecord* node) { return node->opcode == kOpInterval; });
}

bool IsSpecialSymbolChar(int32_t variableId) { return variableId >= kIdPi && variableId <= kIdLdots; }
