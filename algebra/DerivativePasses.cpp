#include "algebra/Differentiation.h"
#include "algebra/FactorSummaries.h"
#include "algebra/RewriteHelpers.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/MathEditorHooks.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"

namespace {

bool IsPair(const ExpressionRecord* n) {
  return (n->opcode == kOpPartialPair || n->opcode == kOpTotalPair) && n->operandCount == 2;
}

}  // namespace

void DIFF_ConvertToDerivs(ExpressionRecord* e) {
  PostOrder(e, [](ExpressionRecord* n) {
    if (n->opcode != kOpFunction || n->operandCount != 2) return;
    ExpressionRecord* op = n->operands[0];
    if ((op->opcode != kOpOpTotal && op->opcode != kOpOpPartial) || op->operandCount < 1) return;
    const OpCodeT kind = op->opcode == kOpOpPartial ? kOpPartialPair : kOpTotalPair;
    // Read from text, the variable and the order arrive as one list.
    if (op->operandCount == 1 && op->operands[0]->opcode == kOpComma && op->operands[0]->operandCount == 2) {
      SIMP_ReplaceNthWithAll(op, 0);
    }
    if (op->operandCount == 1) {
      Become(n, NewBinop(kind, Copy(n->operands[1]), Copy(op->operands[0])));
    } else if (op->operandCount == 2) {
      DO_PlusOn(op->operands[1], Number(-1));
      DO_BinOpOn(n->operands[1], Copy(op->operands[0]), 1, kind);
    }
  });
}

// Differentiating a tree without matrices makes none, so the products of
// the growing derivative are not searched for one at every level.
void MATH_EvaluateRecurse(ExpressionRecord* e) {
  const MatrixFreeScope noMatrix(!ContainsMatrix(e));
  PostOrder(e, [](ExpressionRecord* n) {
    if (!IsPair(n)) return;
    Differentiate(n->operands[0], n->opcode, n->operands[1]);
    ReplaceWithFirstOperand(n);
  });
}

void DIFF_ConvertFromDerivs(ExpressionRecord* e) {
  PostOrder(e, [](ExpressionRecord* n) {
    if (!IsPair(n)) return;
    const OpCodeT op = n->opcode == kOpPartialPair ? kOpOpPartial : kOpOpTotal;
    Become(n, NewBinop(kOpFunction, NewUnop(op, Copy(n->operands[1])), Copy(n->operands[0])));
  });
}

void MATH_DifferentiateExprWithoutSimplifying(ExpressionRecord* e) {
  MATH_RemoveIdentities(e);
  DIFF_ConvertToDerivs(e);
  MATH_EvaluateRecurse(e);
  DIFF_ConvertFromDerivs(e);
}

void DifferentiateAndSimplify(ExpressionRecord* s) {
  MATH_RemoveIdentities(s);
  SIMP_Recurse(s);
  DIFF_ConvertToDerivs(s);
  MATH_EvaluateRecurse(s);
  DIFF_ConvertFromDerivs(s);
  SIMP_Recurse(s);
  SIMP_NegNumbersRecurse(s);
}

void MATH_EvaluateDers() {
  if (gMathCurrentMEH && gMathCurrentMEH->selected) DifferentiateAndSimplify(gMathCurrentMEH->selected);
  EditorRecalculateAndDraw();
}

void CMD_Differentiate() { MATH_EvaluateDers(); }
