#include "algebra/Substitution.h"

#include "algebra/AlgebraSwitches.h"
#include "algebra/RewriteHelpers.h"
#include "algebra/RewriteStop.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/MathEditorHooks.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"

namespace {

bool IsTwoSidedEquation(const ExpressionRecord* n) { return n && n->opcode == kOpEquals && n->operandCount == 2; }

void SubstituteBetween(ExpressionRecord* node) {
  const ExpressionRecord* x = node->operands[0];
  const ExpressionRecord* lower = node->operands[1];
  const ExpressionRecord* upper = node->operands[2];
  ExpressionRecord* high = nullptr;
  ExpressionRecord* low = nullptr;
  if (IsTwoSidedEquation(lower)) {
    high = Subst(Copy(x), Copy(lower->operands[0]), Copy(upper));
    low = Subst(Copy(x), Copy(lower->operands[0]), Copy(lower->operands[1]));
  } else {
    high = NewBinop(kOpSubstitution, Copy(x), Copy(upper));
    low = NewBinop(kOpSubstitution, Copy(x), Copy(lower));
  }
  Become(node, Minus(high, low));
}

// The walk of the substitute command and of TAYLOR_SubstRecurse.
void SubstituteAll(ExpressionRecord* tree) {
  bool stopped = false;
  PostOrder(tree, [&stopped](ExpressionRecord* n) {
    if (stopped || (stopped = MathRewriteMustStop())) return;
    if (n->opcode == kOpSubstitution) TAYLOR_Subst(n);
  });
}

}  // namespace

void TAYLOR_SubstOne(ExpressionRecord* node, const ExpressionRecord* pattern, const ExpressionRecord* replacement) {
  if (!MATH_Equal(node, pattern)) return;
  const ExpressionRecord* parent = node->parent;
  if (pattern->opcode == kOpAtom && parent && parent->opcode == kOpIndexes && parent->operands[0] == node) return;
  Become(node, Copy(replacement));
}

void TAYLOR_Subst(ExpressionRecord* node) {
  if (!node || node->opcode != kOpSubstitution) return;
  if (node->operandCount == 3) return SubstituteBetween(node);
  if (node->operandCount != 2 || !IsTwoSidedEquation(node->operands[1])) return;
  ExpressionRecord* x = node->operands[0];
  const ExpressionRecord* equation = node->operands[1];
  PostOrder(x, [equation](ExpressionRecord* n) { TAYLOR_SubstOne(n, equation->operands[0], equation->operands[1]); });
  ReplaceWithFirstOperand(node);
  {
    ScopedAlgebraSwitch keepPowers(gSimplifyPowers, 0);
    SIMP_Recurse(node);
  }
  SIMP_NegNumbersRecurse(node);
}

void TAYLOR_SubstRecurse(ExpressionRecord* tree) {
  if (tree) SubstituteAll(tree);
}

void TAYLOR_ExpandOne(ExpressionRecord* node, int32_t isSum) {
  if (!node || node->operandCount != 3 || !IsTwoSidedEquation(node->operands[1])) return;
  ExpressionRecord* f = node->operands[0];
  ExpressionRecord* index = node->operands[1]->operands[0];
  ExpressionRecord* lower = node->operands[1]->operands[1];
  ExpressionRecord* upper = node->operands[2];
  double from = 0;
  double to = 0;
  // An empty numeric range has no term to write out.
  if (NumberValue(lower, &from) && NumberValue(upper, &to) && from > to) return;
  if (MATH_Equal(lower, upper)) {
    if (Become(node, Subst(Copy(f), Copy(index), Copy(lower)))) TAYLOR_Subst(node);
    return;
  }
  ExpressionRecord* term = Subst(Copy(f), Copy(index), Copy(lower));
  if (!term) return;
  if (!DO_BinOpOn(node, term, 0, isSum ? kOpPlus : kOpTimes)) return;
  TAYLOR_Subst(node->operands[0]);
  ExpressionRecord* rest = node->operands[1];
  ExpressionRecord* restLower = rest->operands[1]->operands[1];
  if (DO_PlusOn(restLower, Number(1))) SIMP_Recurse(restLower);
}

void CMD_Substitute() {
  if (gMathCurrentMEH && gMathCurrentMEH->selected) SubstituteAll(gMathCurrentMEH->selected);
  EditorRecalculateAndDraw();
}

void CMD_ExpandOne() {
  ExpressionRecord* s = gMathCurrentMEH ? gMathCurrentMEH->selected : nullptr;
  if (s) {
    bool stopped = false;
    PostOrder(s, [&stopped](ExpressionRecord* n) {
      if (stopped || (stopped = MathRewriteMustStop())) return;
      if (n->opcode == kOpSum) TAYLOR_ExpandOne(n, 1);
      if (n->opcode == kOpProduct) TAYLOR_ExpandOne(n, 0);
    });
    MATH_RemoveIdentities(s);
    SIMP_Recurse(s);
    SIMP_NegNumbersRecurse(s);
  }
  EditorRecalculateAndDraw();
}

void CMD_MultiplyOut() {
  ScopedAlgebraSwitch multiplying(Math_Multiply_Out, 1);
  if (ExpressionRecord* s = gMathCurrentMEH ? gMathCurrentMEH->selected : nullptr) {
    MATH_RemoveIdentities(s);
    SIMP_Recurse(s);
    SIMP_NegNumbersRecurse(s);
  }
  EditorRecalculateAndDraw();
}
