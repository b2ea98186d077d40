#include "evaluation/ScalarExprEval.h"

#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/AnExpression.h"
#include "expression/TreeCopying.h"

namespace {

bool IsNumber(const ExpressionRecord* e) { return e->opcode == kOpNumber && e->payload.number != nullptr; }

}  // namespace

double ScalarExprEval(const ExpressionRecord* e, DocumentRecord* document) {
  if (e == nullptr) return gNaN;
  if (IsNumber(e)) return e->payload.number->value;
  if (e->opcode == kOpMinus && e->operandCount == 1 && IsNumber(e->operands[0])) {
    return -e->operands[0]->payload.number->value;
  }
  AnExpression expression(Copy(e), document);
  AnExpression::Compile(&expression);
  ReallocateThreadLocalVariablesIfNecessary();
  return expression.Evaluate(0.0);
}

Complex ComplexExprEval(const ExpressionRecord* e, DocumentRecord* document) {
  if (e == nullptr) return gNaNComplex;
  AnExpression expression(Copy(e), document);
  AnExpression::Compile(&expression);
  expression.PointConstants().fComplex.store(1, std::memory_order_release);
  ReallocateThreadLocalVariablesIfNecessary();
  return expression.EvaluateComplexConstant();
}

void IntervalExprEval(const ExpressionRecord* e, DocumentRecord* document, double* lo, double* hi) {
  *lo = *hi = gNaN;
  if (e == nullptr) return;
  AnExpression expression(Copy(e), document);
  AnExpression::Compile(&expression);
  ReallocateThreadLocalVariablesIfNecessary();
  expression.EvaluateIntervalExtension(0.0, 0.0, 0.0, 0.0, lo, hi);
}
