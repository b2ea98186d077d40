#include "algebra/Solving.h"

#include "algebra/RewriteHelpers.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/MathEditorHooks.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"

namespace {

bool IsTrig(OpCodeT kind) { return kind >= kOpSin && kind <= kOpAsech; }

bool IsInvertible(const ExpressionRecord* n) {
  switch (n->opcode) {
    case kOpTimes:
    case kOpPlus:
    case kOpOver:
    case kOpPower:
    case kOpMinus:
    case kOpId:
    case kOpLn: return true;
    case kOpSqrt:
    case kOpLog: return n->operandCount == 1 || n->operandCount == 2;
    default: return IsTrig(n->opcode) && n->operandCount == 1;
  }
}

// The paired function: each function to its inverse and back.
OpCodeT InverseTrig(OpCodeT kind) {
  const bool inverse = (kind >= kOpAsin && kind <= kOpAsec) || kind >= kOpAsinh;
  return static_cast<OpCodeT>(inverse ? kind - 6 : kind + 6);
}

// A copy of n without operand k; a two-operand node's copy is its other
// operand.
ExpressionRecord* CopyWithout(const ExpressionRecord* n, int32_t k) {
  if (n->operandCount == 2) return Copy(n->operands[1 - k]);
  ExpressionRecord* rest = NewExpression(n->opcode, n->operandCount - 1);
  if (!rest) return nullptr;
  for (int32_t i = 0, j = 0; i < n->operandCount; ++i) {
    if (i == k) continue;
    rest->operands[j] = Copy(n->operands[i]);
    rest->operands[j++]->parent = rest;
  }
  return rest;
}

// r rewritten by the inverse of t's operation, the unknown in operand k.
void Invert(ExpressionRecord* r, const ExpressionRecord* t, int32_t k) {
  const ExpressionRecord* other = t->operandCount == 2 ? t->operands[1 - k] : nullptr;
  switch (t->opcode) {
    case kOpTimes: DO_DivOn(r, CopyWithout(t, k)); return;
    case kOpPlus: DO_PlusOn(r, Neg(CopyWithout(t, k))); return;
    case kOpMinus: DO_NegOn(r); return;
    case kOpId: return;
    case kOpOver:
      if (k == 0) {
        DO_MultOn(r, Copy(other));
      } else {
        DO_DivOn(r, Copy(other));
        DO_Recipricate(r);
      }
      return;
    case kOpPower:
      if (k == 0) {
        DO_ToTheOn(r, Oneover(Copy(other)));
      } else if (IsAtom(other, kIdE)) {
        DO_UnopOn(r, kOpLn);
      } else {
        DO_BinOpOn(r, Copy(other), 1, kOpLog);
      }
      return;
    case kOpSqrt:
      if (!other) {
        DO_ToTheOn(r, Number(2));
      } else if (k == 0) {
        DO_ToTheOn(r, Copy(other));
      } else {
        DO_BinOpOn(r, Copy(other), 1, kOpLog);
        DO_Recipricate(r);
      }
      return;
    case kOpLog:
      if (!other) {
        DO_BinOpOn(r, Number(10), 0, kOpPower);
      } else if (k == 0) {
        DO_BinOpOn(r, Copy(other), 0, kOpPower);
      } else {
        DO_Recipricate(r);
        DO_BinOpOn(r, Copy(other), 0, kOpPower);
      }
      return;
    case kOpLn: DO_BinOpOn(r, Atomic(kIdE), 0, kOpPower); return;
    default: DO_UnopOn(r, InverseTrig(t->opcode)); return;
  }
}

// The operand of t that holds s.
int32_t OperandHolding(const ExpressionRecord* t, const ExpressionRecord* s) {
  const ExpressionRecord* n = s;
  while (n->parent != t) n = n->parent;
  for (int32_t i = 0; i < t->operandCount; ++i)
    if (t->operands[i] == n) return i;
  return -1;
}

void SwapSides(ExpressionRecord* equation) {
  ExpressionRecord* left = equation->operands[0];
  equation->operands[0] = equation->operands[1];
  equation->operands[1] = left;
}

void PutSelectionOnTheLeft() {
  ExpressionRecord* s = gMathCurrentMEH->selected;
  ExpressionRecord* p = s->parent;
  if (p && p->opcode == kOpEquals && p->operandCount == 2 && p->operands[1] == s) SwapSides(p);
}

}  // namespace

int32_t SolveOngMathIPExpr() {
  if (!gMathCurrentMEH || !gMathCurrentMEH->selected) return 0;
  ExpressionRecord* s = gMathCurrentMEH->selected;
  ExpressionRecord* p = s->parent;
  if (!p) return 0;
  if (p->opcode == kOpEquals) {
    if (p->operandCount != 2 || p->operands[1] != s) return 0;
    SwapSides(p);
    return 1;
  }
  ExpressionRecord* e = p;
  while (e && e->opcode != kOpEquals) e = e->parent;
  if (!e || e->operandCount != 2) return 0;
  for (ExpressionRecord* n = p; n != e; n = n->parent) {
    if (!IsInvertible(n)) {
      EditorSetIP(n, kIPWholeNode);
      PutSelectionOnTheLeft();
      return 1;
    }
  }
  const int32_t side = OperandHolding(e, s);
  ExpressionRecord* r = e->operands[1 - side];
  for (ExpressionRecord* t = e->operands[side]; t != s;) {
    const int32_t k = OperandHolding(t, s);
    Invert(r, t, k);
    t = t->operands[k];
  }
  SIMP_Recurse(r);
  SIMP_NegNumbersRecurse(r);
  ExpressionRecord* isolated = Copy(s);
  if (!isolated) return 1;
  ExpressionRecord* old = e->operands[side];
  e->operands[side] = isolated;
  isolated->parent = e;
  DisposExpr(old);
  EditorSetIP(isolated, kIPWholeNode);
  PutSelectionOnTheLeft();
  return 1;
}

void CMD_SolveFor() {
  if (SolveOngMathIPExpr() == 1) EditorRecalculateAndDraw();
}

ExpressionRecord* SolveFor(ExpressionRecord* node) {
  if (!node) return nullptr;
  MERecord temporary{};
  temporary.selected = node;
  MERecord* const saved = gMathCurrentMEH;
  gMathCurrentMEH = &temporary;
  SolveOngMathIPExpr();
  ExpressionRecord* result = temporary.selected;
  gMathCurrentMEH = saved;
  return result;
}
