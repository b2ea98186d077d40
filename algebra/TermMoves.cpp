#include "algebra/TermMoves.h"

#include "algebra/AlgebraSwitches.h"
#include "algebra/Differentiation.h"
#include "algebra/MatrixElements.h"
#include "algebra/RewriteHelpers.h"
#include "algebra/SimplifierRules.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/MathEditRecord.h"
#include "expression/OwnedTree.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"

namespace {

void Select(ExpressionRecord* node) {
  if (!gMathCurrentMEH || !node) return;
  gMathCurrentMEH->selected = node;
  gMathCurrentMEH->caretType = kIPWholeNode;
}

ExpressionRecord* Selection() { return gMathCurrentMEH ? gMathCurrentMEH->selected : nullptr; }

// The factor, no longer in its old place, multiplied onto node and selected.
void MultOnAndSelect(ExpressionRecord* node, ExpressionRecord* factor) {
  MOVE_MultOn(node, factor);
  Select(factor);
}

bool Right() { return gMathMoveLR > 0; }

// The last index moving right, 0 moving left.
bool AtEnd(const ExpressionRecord* s) {
  const int32_t i = OP_NUM(s);
  return Right() ? i == s->parent->operandCount - 1 : i == 0;
}

void Simplified(ExpressionRecord* node) {
  SIMP_Recurse(node);
  SIMP_NegNumbersRecurse(node);
}

void DissolveId(ExpressionRecord* node) {
  if (node && node->opcode == kOpId && node->operandCount == 1) ReplaceWithFirstOperand(node);
}

// Takes s out of its product or sum p; s keeps no parent. A p left with one
// operand takes that operand's contents: the operand's old node is then
// gone, and p is returned in its place (else null).
ExpressionRecord* TakeOutKeepingBrackets(ExpressionRecord* s) {
  ExpressionRecord* p = s->parent;
  const bool collapses = p->operandCount == 2;
  MATH_RemoveOperand(p, OP_NUM(s));
  s->parent = nullptr;
  return collapses ? p : nullptr;
}

// The same, and a bracket left in p's place is dissolved.
ExpressionRecord* TakeOut(ExpressionRecord* s) {
  ExpressionRecord* p = s->parent;
  ExpressionRecord* collapsed = TakeOutKeepingBrackets(s);
  DissolveId(p);
  return collapsed;
}

// The variable a sum's or integral's operand depends on: the index of an
// index equation, else the operand itself.
const ExpressionRecord* BoundVariable(const ExpressionRecord* op) {
  if (op->opcode == kOpEquals && op->operandCount >= 1) return op->operands[0];
  return op;
}

// A factor may pass in or out of a sum or an integral that does not bind
// any of its variables; never across a product operator.
bool CanCross(const ExpressionRecord* s, const ExpressionRecord* linear) {
  if (linear->opcode == kOpProduct || linear->operandCount < 2) return false;
  const ExpressionRecord* v = BoundVariable(linear->operands[1]);
  return v->opcode == kOpAtom && DIFF_NoDep(s, v);
}

ExpressionRecord* Raised(ExpressionRecord* base, ExpressionRecord* exponent) {
  ExpressionRecord* power = Tothe(base, exponent);
  if (power) Simplified(power);
  return power;
}

// s into every operand of the sum or equation n, the far end first: copies
// for all but the nearest operand, which gets s itself.
void IntoEachOperand(ExpressionRecord* n, ExpressionRecord* s) {
  const int32_t count = n->operandCount;
  for (int32_t step = 0; step < count - 1; ++step) {
    ExpressionRecord* target = n->operands[Right() ? count - 1 - step : step];
    INTO_MultOn(target, Copy(s));
    SimplifyExpr(target);
  }
  INTO_MultOn(n->operands[Right() ? 0 : count - 1], s);
}

void MoveTermToEnd(ExpressionRecord* p, int32_t i) {
  ExpressionRecord* s = p->operands[i];
  if (Right()) {
    for (int32_t k = i; k + 1 < p->operandCount; ++k) p->operands[k] = p->operands[k + 1];
    p->operands[p->operandCount - 1] = s;
  } else {
    for (int32_t k = i; k > 0; --k) p->operands[k] = p->operands[k - 1];
    p->operands[0] = s;
  }
}

void Exchange(ExpressionRecord* p, int32_t i, int32_t j) {
  ExpressionRecord* a = p->operands[i];
  p->operands[i] = p->operands[j];
  p->operands[j] = a;
}

// The side of the equation q next to side p in the direction gets `toTarget`,
// every other side but p a copy through `each`.
template <typename Each>
ExpressionRecord* AcrossEquation(ExpressionRecord* q, int32_t from, bool right, Each each) {
  const int32_t target = from + (right ? 1 : -1);
  for (int32_t k = 0; k < q->operandCount; ++k)
    if (k != from && k != target) each(q->operands[k]);
  return q->operands[target];
}

void TermAcrossEquation(ExpressionRecord* s, ExpressionRecord* p, ExpressionRecord* q) {
  const int32_t from = OP_NUM(p);
  TakeOut(s);
  const bool right = Right();
  auto addNegated = [right, s](ExpressionRecord* side) {
    ExpressionRecord* term = Neg(Copy(s));
    if (right)
      DO_PlusOnLeft(side, term);
    else
      DO_PlusOn(side, term);
    SIMP_Recurse(side);
  };
  ExpressionRecord* target = AcrossEquation(q, from, right, addNegated);
  ExpressionRecord* negated = Neg(s);
  if (!negated) return;
  if (right)
    DO_PlusOnLeft(target, negated);
  else
    DO_PlusOn(target, negated);
  if (negated->operands[0]->opcode == kOpMinus && negated->operands[0]->operandCount == 1) {
    ReplaceWithFirstOperand(negated);
    ReplaceWithFirstOperand(negated);
  }
  Select(negated);
}

void FactorAcrossEquation(ExpressionRecord* s, ExpressionRecord* p, ExpressionRecord* q) {
  const int32_t from = OP_NUM(p);
  const bool right = Right();
  TakeOut(s);
  ExpressionRecord* inverse = Oneover(s);
  if (!inverse) return;
  SIMP_OneLevel(inverse);
  gMathMoveLR = -gMathMoveLR;
  ExpressionRecord* target = AcrossEquation(q, from, right, [inverse](ExpressionRecord* side) {
    MOVE_MultOn(side, Copy(inverse));
    SIMP_Recurse(side);
  });
  MultOnAndSelect(target, inverse);
}

// Step 7: s at the end of its product p, moving out of it.
void OutOfProduct(ExpressionRecord* s, ExpressionRecord* p) {
  ExpressionRecord* q = p->parent;
  if (!q) return;
  if (q->opcode == kOpEquals && !AtEnd(p)) return FactorAcrossEquation(s, p, q);
  if (q->opcode == kOpPlus) return LR_OutOfPlus(s, q);
  if (q->opcode == kOpMinus && q->parent && q->parent->opcode == kOpPlus) return LR_OutOfPlus(s, q->parent);
  if (OP_NUMeq(p, 0) && LR_IsLinOp(q->opcode)) {
    if (!CanCross(s, q)) return;
    TakeOut(s);
    return MultOnAndSelect(q, s);
  }
  if (q->opcode == kOpSqrt && q->operandCount == 1) {
    TakeOut(s);
    ExpressionRecord* root = Sqrt(s);
    return MultOnAndSelect(q, root);
  }
  if (q->opcode == kOpOver) {
    const bool numerator = OP_NUMeq(p, 0);
    TakeOut(s);
    ExpressionRecord* factor = numerator ? s : Oneover(s);
    return MultOnAndSelect(q, factor);
  }
  if (q->opcode == kOpId && q->parent && q->parent->opcode == kOpPower && OP_NUMeq(q, 0)) {
    ExpressionRecord* power = q->parent;
    TakeOut(s);
    DissolveId(q);
    ExpressionRecord* factor = Raised(s, Copy(power->operands[1]));
    return MultOnAndSelect(power, factor);
  }
  if (q->opcode == kOpId || q->opcode == kOpMinus) {
    TakeOut(s);
    return MultOnAndSelect(q, s);
  }
}

}  // namespace

int32_t LR_IsLinOp(int32_t op) { return op == kOpSum || op == kOpProduct || op == kOpIntegral ? 1 : 0; }

int32_t DIST_CanDistribute(int32_t op) {
  return LR_IsLinOp(op) || op == kOpPlus || op == kOpEquals || op == kOpSqrt || op == kOpPower ? 1 : 0;
}

void MOVE_StickTermInMult(ExpressionRecord* p, int32_t k, ExpressionRecord* t) {
  ExpressionRecord* grown = NewExpression(kOpTimes, p->operandCount + 1);
  if (!grown) return DisposExpr(t);
  for (int32_t j = 0, from = 0; j < grown->operandCount; ++j) SetOperand(grown, j, j == k ? t : p->operands[from++]);
  MATH_TransferAndDispose(grown, p);
}

void MOVE_MultOn(ExpressionRecord* node, ExpressionRecord* t) {
  if (!node || !t) return DisposExpr(t);
  ExpressionRecord* parent = node->parent;
  if (parent && parent->opcode == kOpId && parent->parent && parent->parent->opcode == kOpTimes) {
    ReplaceWithFirstOperand(parent);
    node = parent;
    parent = node->parent;
  }
  if (parent && parent->opcode == kOpTimes) return MOVE_StickTermInMult(parent, OP_NUM(node) + (Right() ? 1 : 0), t);
  if (Right())
    DO_MultOn(node, t);
  else
    DO_MultOnLeft(node, t);
}

void INTO_MultOn(ExpressionRecord* target, ExpressionRecord* t) {
  if (!target || !t) return DisposExpr(t);
  DissolveId(target);
  if (target->opcode == kOpMinus && target->operandCount == 1) target = target->operands[0];
  ExpressionRecord* parent = target->parent;
  if (parent && parent->opcode == kOpTimes) return MOVE_StickTermInMult(parent, OP_NUM(target) + (Right() ? 0 : 1), t);
  double one = 0;
  if (NumberValue(target, &one) && one == 1) {
    const bool selected = Selection() == t;
    MATH_TransferAndDispose(t, target);
    if (selected) Select(target);
    return;
  }
  if (Right())
    DO_MultOnLeft(target, t);
  else
    DO_MultOn(target, t);
}

void LR_OutOfPlus(ExpressionRecord* s, ExpressionRecord* sum) {
  // s may be one of the terms divided below.
  ExpressionRecord* factor = Copy(s);
  if (!factor) return;
  for (int32_t k = 0; k < sum->operandCount; ++k) {
    ExpressionRecord* term = sum->operands[k];
    if (DO_DivOn(term, Copy(factor))) Simplified(term);
  }
  MultOnAndSelect(sum, factor);
}

void MOVE_Distribute(ExpressionRecord* p, int32_t i) {
  ExpressionRecord* s = p->operands[i];
  ExpressionRecord* n = p->operands[i + gMathMoveLR];
  // Taking s out of p may make p the neighbour's node.
  auto takeOut = [&n, s] {
    if (ExpressionRecord* collapsed = TakeOut(s)) n = collapsed;
  };
  switch (n->opcode) {
    case kOpPlus:
    case kOpEquals: takeOut(); return IntoEachOperand(n, s);
    case kOpSqrt: {
      if (n->operandCount != 1) return;  // a root with an index: refused
      takeOut();
      ExpressionRecord* square = Square(s);
      if (!square) return;
      SIMP_Recurse(square);
      Select(square);
      return INTO_MultOn(n->operands[0], square);
    }
    case kOpSum:
    case kOpProduct:
    case kOpIntegral:
      if (!CanCross(s, n)) return;
      takeOut();
      return INTO_MultOn(n->operands[0], s);
    case kOpId: {
      if (ExpressionRecord* collapsed = TakeOutKeepingBrackets(s)) n = collapsed;
      ExpressionRecord* inner = n->operands[0];
      if (inner->opcode == kOpPlus || inner->opcode == kOpEquals)
        IntoEachOperand(inner, s);
      else
        INTO_MultOn(inner, s);
      if (n == p) DissolveId(p);
      return;
    }
    case kOpOver: {
      takeOut();
      double one = 0;
      const bool reciprocal = s->opcode == kOpOver && NumberValue(s->operands[0], &one) && one == 1;
      if (reciprocal) MATH_DeleteOperand(s, 0);  // s becomes its denominator
      return INTO_MultOn(n->operands[reciprocal ? 1 : 0], s);
    }
    case kOpPower: {
      ExpressionRecord* base = n->operands[0];
      if (MATH_Equal(s, base)) {
        if (DO_PlusOn(n->operands[1], Number(1))) SIMP_Recurse(n->operands[1]);
        MATH_DeleteOperand(p, i);
        return Select(base);
      }
      takeOut();
      ExpressionRecord* root = Raised(s, Oneover(Copy(n->operands[1])));
      Select(root);
      return INTO_MultOn(n->operands[0], root);
    }
    default: return;
  }
}

void FACTOR_Move(DragFlagsT flag) {
  ExpressionRecord* s = Selection();
  if (!s || !s->parent) return;
  ExpressionRecord* p = s->parent;
  const int32_t i = OP_NUM(s);
  const OpCodeT kind = p->opcode;
  // Exchanging the sides of a sum's index equation would break the sum.
  if (kind == kOpEquals && p->parent && OP_NUMeq(p, 1) &&
      (p->parent->opcode == kOpSum || p->parent->opcode == kOpProduct))
    return;
  const bool listLike = kind == kOpTimes || kind == kOpPlus || kind == kOpEquals || kind == kOpComma;
  if (listLike && !AtEnd(s)) {
    ExpressionRecord* n = p->operands[i + gMathMoveLR];
    if (flag == kMoveInto && kind == kOpTimes &&
        (DIST_CanDistribute(n->opcode) || n->opcode == kOpId || n->opcode == kOpOver))
      return MOVE_Distribute(p, i);
    if (flag == kMoveAllTheWay) return MoveTermToEnd(p, i);
    return Exchange(p, i, i + gMathMoveLR);
  }
  switch (kind) {
    case kOpMinus:
    case kOpId: return Select(p);
    case kOpIntegral:
    case kOpSum:
    case kOpProduct: {
      if (i != 0 || !CanCross(s, p)) return;
      Tree factor(Copy(s));
      if (!factor || !Become(s, Number(1))) return;
      return MultOnAndSelect(p, factor.release());
    }
    case kOpOver:
      if (i == 1) {
        Tree denominator(Copy(s));
        if (!denominator || !ReplaceWithFirstOperand(p)) return;
        return MultOnAndSelect(p, Oneover(denominator.release()));
      } else {
        Tree numerator(Copy(s));
        if (!numerator || !Become(s, Number(1))) return;
        return MultOnAndSelect(p, numerator.release());
      }
    case kOpPower: {
      if (i != 0) return;
      ExpressionRecord* exponent = p->operands[1];
      if (DO_PlusOn(exponent, Number(-1))) Simplified(exponent);
      ExpressionRecord* factor = Copy(s);
      return MultOnAndSelect(p, factor);
    }
    case kOpPlus: {
      ExpressionRecord* q = p->parent;
      if (q && q->opcode == kOpEquals && !AtEnd(p)) return TermAcrossEquation(s, p, q);
      return LR_OutOfPlus(s, p);
    }
    case kOpTimes: return OutOfProduct(s, p);
    default: return;
  }
}

void MOVE_Swap() {
  ExpressionRecord* s = Selection();
  if (!s || !s->parent || AtEnd(s)) return;
  Exchange(s->parent, OP_NUM(s), OP_NUM(s) + gMathMoveLR);
}

namespace {

// s^-1, simplified.
ExpressionRecord* Reciprocal(ExpressionRecord* s) { return Raised(s, Number(-1)); }

void Horizontal(int32_t direction, DragFlagsT flag) {
  gMathMoveLR = direction;
  FACTOR_Move(flag);
  ExpressionRecord* s = Selection();
  if (s && s->opcode == kOpId && s->operandCount == 1) {
    ReplaceWithFirstOperand(s);
  }
}

}  // namespace

void CMD_MoveRight(DragFlagsT flag) { Horizontal(1, flag); }
void CMD_MoveRightInto() { Horizontal(1, kMoveInto); }
void CMD_MoveRightAllTheWay() { Horizontal(1, kMoveAllTheWay); }
void CMD_MoveLeft(DragFlagsT flag) { Horizontal(-1, flag); }
void CMD_MoveLeftInto() { Horizontal(-1, kMoveInto); }
void CMD_MoveLeftAllTheWay() { Horizontal(-1, kMoveAllTheWay); }

void CMD_MoveUp() {
  gMathMoveLR = 1;
  ExpressionRecord* s = Selection();
  if (!s || !s->parent) return;
  ExpressionRecord* p = s->parent;
  if (p->opcode == kOpOver && OP_NUMeq(s, 1)) {
    Tree factor(Reciprocal(Copy(s)));
    if (!factor || !ReplaceWithFirstOperand(p)) return;
    return MultOnAndSelect(p, factor.release());
  }
  if (p->opcode == kOpTimes && p->parent && p->parent->opcode == kOpOver && OP_NUMeq(p, 1)) {
    ExpressionRecord* over = p->parent;
    TakeOut(s);
    ExpressionRecord* factor = Reciprocal(s);
    MultOnAndSelect(over->operands[0], factor);
  }
}

void CMD_MoveDown() {
  gMathMoveLR = -1;
  ExpressionRecord* s = Selection();
  if (!s || !s->parent) return;
  ExpressionRecord* p = s->parent;
  if (p->opcode == kOpOver && OP_NUMeq(s, 0)) {
    Tree factor(Reciprocal(Copy(s)));
    if (!factor || !Become(s, Number(1))) return;
    return MultOnAndSelect(p->operands[1], factor.release());
  }
  if (p->opcode == kOpTimes && p->parent && p->parent->opcode == kOpOver && OP_NUMeq(p, 0)) {
    ExpressionRecord* over = p->parent;
    TakeOut(s);
    ExpressionRecord* factor = Reciprocal(s);
    MultOnAndSelect(over->operands[1], factor);
  }
}

void CMD_MoveLeftSwap() {
  gMathMoveLR = -1;
  MOVE_Swap();
}

void CMD_MoveRightSwap() {
  gMathMoveLR = 1;
  MOVE_Swap();
}
