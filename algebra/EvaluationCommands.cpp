#include "algebra/EvaluationCommands.h"

#include "algebra/Differentiation.h"
#include "algebra/PowerConditions.h"
#include "algebra/RewriteHelpers.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/Substitution.h"
#include "algebra/WholeTreeSimplification.h"
#include "evaluation/special/RealFunctions.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/MathEditorHooks.h"
#include "expression/OwnedTree.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComputability.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"

#include <cmath>

namespace {

constexpr int32_t kMostWrittenOutPower = 20;

// A value that may replace a node: neither NaN nor infinite.
bool IsFinite(double v) { return std::isfinite(v); }

// The sum of the logarithms (of the kind) of every factor.
ExpressionRecord* LogOfEachFactor(OpCodeT kind, const ExpressionRecord* product) {
  Tree sum(NewExpression(kOpPlus, product->operandCount));
  if (!sum) return nullptr;
  for (int32_t i = 0; i < product->operandCount; ++i) {
    sum->operands[i] = NewUnop(kind, Copy(product->operands[i]));
    if (!sum->operands[i]) return nullptr;
    sum->operands[i]->parent = sum.get();
  }
  return sum.release();
}

ExpressionRecord* EvaluateLog(const ExpressionRecord* s) {
  if (s->operandCount == 2) return Div(Ln(Copy(s->operands[0])), Ln(Copy(s->operands[1])));
  if (s->operandCount != 1) return nullptr;
  const ExpressionRecord* u = s->operands[0];
  if (IsProduct(u)) return LogSpreadsOverFactors(u) ? LogOfEachFactor(s->opcode, u) : nullptr;
  if (!IsPower(u)) return nullptr;
  switch (BringingDownExponent(u)) {
    case LogOfPower::kBring: return Times(Copy(u->operands[1]), NewUnop(s->opcode, Copy(u->operands[0])));
    case LogOfPower::kBringAbsolute:
      return Times(Copy(u->operands[1]), NewUnop(s->opcode, NewUnop(kOpAbs, Copy(u->operands[0]))));
    case LogOfPower::kLeave: return nullptr;
  }
  return nullptr;
}

ExpressionRecord* Determinant(const ExpressionRecord* m) {
  const MatrixShape shape = m->payload.shape;
  if (shape.rows != shape.columns || m->operandCount != shape.rows * shape.columns) return nullptr;
  if (shape.rows == 1) return Copy(m->operands[0]);
  if (shape.rows != 2) return nullptr;
  ExpressionRecord* const* a = m->operands;
  return Plus(Times(Copy(a[0]), Copy(a[3])), Neg(Times(Copy(a[1]), Copy(a[2]))));
}

ExpressionRecord* WrittenOutPower(const ExpressionRecord* s) {
  double n = 0;
  if (!NumberValue(s->operands[1], &n) || n != std::trunc(n) || n <= 0 || n >= kMostWrittenOutPower) return nullptr;
  const int32_t count = static_cast<int32_t>(n);
  if (count == 1) return Copy(s->operands[0]);
  ExpressionRecord* product = NewExpression(kOpTimes, count);
  if (!product) return nullptr;
  for (int32_t i = 0; i < count; ++i) {
    product->operands[i] = Copy(s->operands[0]);
    product->operands[i]->parent = product;
  }
  return product;
}

ExpressionRecord* Factorial(ExpressionRecord* a) { return NewUnop(kOpFact, a); }

// The evaluated form of s, or null when s is not one the command evaluates.
ExpressionRecord* Evaluated(ExpressionRecord* s) {
  double n = 0;
  switch (s->opcode) {
    case kOpFact: {
      if (s->operandCount != 1 || !NumberValue(s->operands[0], &n) || n < 0) return nullptr;
      // Like the rule set: a factorial too large for a double stays written.
      const double value = Fact(n);
      return IsFinite(value) ? Number(value) : nullptr;
    }
    case kOpLog:
    case kOpLn: return EvaluateLog(s);
    case kOpAbs:
      if (s->operandCount != 1 || s->operands[0]->opcode != kOpMatrix) return nullptr;
      return Determinant(s->operands[0]);
    case kOpPower: return s->operandCount == 2 ? WrittenOutPower(s) : nullptr;
    case kOpChoice: {
      if (s->operandCount != 2) return nullptr;
      ExpressionRecord* k = s->operands[1];
      ExpressionRecord* nk = Plus(Copy(s->operands[0]), Neg(Copy(k)));
      return Div(Factorial(Copy(s->operands[0])), Times(Factorial(Copy(k)), Factorial(nk)));
    }
    case kOpIntegral: {
      if (s->operandCount != 4) return nullptr;
      ExpressionRecord* antiderivative = NewBinop(kOpIntegral, Copy(s->operands[0]), Copy(s->operands[1]));
      return NewTrinop(kOpSubstitution, antiderivative, NewBinop(kOpEquals, Copy(s->operands[1]), Copy(s->operands[2])),
                       Copy(s->operands[3]));
    }
    default: return nullptr;
  }
}

bool IsSumIndexEquation(const ExpressionRecord* n) {
  const ExpressionRecord* p = n->parent;
  return n->opcode == kOpEquals && p && (p->opcode == kOpSum || p->opcode == kOpProduct);
}

bool IsBaseE(const ExpressionRecord* n) {
  const ExpressionRecord* p = n->parent;
  return IsAtom(n, kIdE) && p && p->opcode == kOpPower && p->operands[0] == n;
}

// Replaces n by its value; false when it has none, n unchanged.
bool ReplaceByValue(ExpressionRecord* n, DocumentRecord* document) {
  if (ContainsInterval(n)) {
    double lo = 0;
    double hi = 0;
    IntervalExprEval(n, document, &lo, &hi);
    if (std::isnan(lo) || std::isnan(hi)) return false;
    return Become(n, NewBinop(kOpInterval, Number(lo), Number(hi)));
  }
  const double v = ScalarExprEval(n, document);
  if (IsFinite(v)) return Become(n, Number(v));
  const Complex z = ComplexExprEval(n, document);
  if (!IsFinite(z.re) || !IsFinite(z.im)) return false;
  return Become(n, ComplexNumber(z));
}

// The node after n's subtree in a pre-order walk of root; null at the end.
ExpressionRecord* NextOutside(ExpressionRecord* n, const ExpressionRecord* root) {
  for (; n != root && n->parent; n = n->parent) {
    const ExpressionRecord* p = n->parent;
    for (int32_t i = 0; i + 1 < p->operandCount; ++i)
      if (p->operands[i] == n) return p->operands[i + 1];
  }
  return nullptr;
}

}  // namespace

void FLOAT_Replace(ExpressionRecord* e, DocumentRecord* document) {
  ExpressionRecord* n = e;
  while (n) {
    const bool leftAlone = n->opcode == kOpNumber || IsSumIndexEquation(n) || IsBaseE(n);
    if (leftAlone || (DIM_EvalsToNumForFloatReplace(n, e, document) && ReplaceByValue(n, document))) {
      n = NextOutside(n, e);
    } else {
      n = NextTopDownWithin(n, e);
    }
  }
}

void CMD_Evaluate() {
  CMD_Differentiate();
  if (ExpressionRecord* s = gMathCurrentMEH ? gMathCurrentMEH->selected : nullptr) {
    MATH_RemoveIdentities(s);
    const bool determinant = s->opcode == kOpAbs;
    if (s->opcode == kOpSubstitution) {
      TAYLOR_Subst(s);
    } else if (Become(s, Evaluated(s)) && determinant) {
      SIMP_Recurse(s);
      SIMP_NegNumbersRecurse(s);
    }
  }
  EditorRecalculateAndDraw();
}

void CMD_NumberKrunch() {
  if (ExpressionRecord* s = gMathCurrentMEH ? gMathCurrentMEH->selected : nullptr) {
    MATH_RemoveIdentities(s);
    FLOAT_Replace(s, gMathCurrentMEH->document);
    SIMP_NegNumbersRecurse(s);
  }
  EditorRecalculateAndDraw();
}

void RewriteHats(ExpressionRecord* e) {
  if (!e) return;
  PostOrder(e, [](ExpressionRecord* n) {
    if (n->opcode != kOpHat || n->operandCount != 1) return;
    const ExpressionRecord* v = n->operands[0];
    for (int32_t axis = 0; axis < 3; ++axis) {
      if (IsAtom(v, kIdX + axis)) {
        Become(n, Vector(Number(axis == 0), Number(axis == 1), Number(axis == 2)));
        return;
      }
    }
    Become(n, Div(Copy(v), NewUnop(kOpAbs, Copy(v))));
  });
}

void RewriteColor(ExpressionRecord* e) {
  if (!e) return;
  const int32_t color = GetVariableIDFromString("color");
  PostOrder(e, [color](ExpressionRecord* n) {
    if (n->opcode != kOpEquals || n->operandCount != 2 || !IsAtom(n->operands[0], color)) return;
    Become(n, NewBinop(kOpEquals, Vector(Atomic('h'), Atomic('s'), Atomic('v')),
                       Vector(Copy(n->operands[1]), Number(1), Number(1))));
  });
}
